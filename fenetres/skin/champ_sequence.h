#pragma once
// Le champ d'une séquence d'observations tirée de l'historique : sa largeur ne suit jamais
// la longueur des séquences (une séquence de 20 000 symboles n'élargit aucune boîte) ; les
// longues entrées sont coupées au milieu, leur texte entier est en bulle (bornée à l'écran)
// et « Copier la séquence » le met dans le presse-papiers.
#include <QString>
#include <QStringList>

class QComboBox;

namespace ChampSequence {
// Caractères visibles dans le champ : sa largeur.
constexpr int Largeur = 40;
// Règle un champ modifiable : largeur fixe, élision, bulle, action de copie.
void Equiper(QComboBox *champ);
// Remplace les entrées par `sequences`, chacune avec sa bulle ; le champ reste vide.
void Remplir(QComboBox *champ, const QStringList &sequences);
// Ajoute une entrée (avec sa bulle).
void Ajouter(QComboBox *champ, const QString &sequence);
// Texte d'une bulle : coupé en lignes, un très long texte réduit à son début et à sa fin.
QString Bulle(const QString &texte);
}
