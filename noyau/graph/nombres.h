#pragma once
// Le texte des probabilités : seul endroit du système qui convertit texte <-> nombre.
// Lecture : le séparateur décimal de l'utilisateur ET l'autre ("," et ".") sont acceptés,
// pour qu'un modèle écrit sous une langue s'ouvre sous l'autre. Écriture : le séparateur
// de l'utilisateur.
#include "hmmgraph_export.h"
#include <QChar>
#include <QString>
#include <stdexcept>

// Erreur de conversion d'un texte en nombre (texte non numérique, "??"...).
class HMMGRAPH_EXPORT EConversion : public std::runtime_error {
public:
    explicit EConversion(const QString &texte);
    QString Texte;
    QString Message() const;
};

namespace Nombres {
// Séparateur décimal en vigueur (celui de la langue du système, sauf si un test l'a fixé).
HMMGRAPH_EXPORT QChar Separateur();
HMMGRAPH_EXPORT void DefinirSeparateur(QChar c);
// Revient au séparateur de QLocale::system().
HMMGRAPH_EXPORT void SeparateurSysteme();

// Conversion qui lève EConversion quand le texte n'est pas un nombre.
HMMGRAPH_EXPORT long double VersExtended(const QString &texte);
// Conversion qui ne lève pas : ok = false et 0 quand le texte n'est pas un nombre.
HMMGRAPH_EXPORT long double VersExtended(const QString &texte, bool *ok);

// Format général à 15 chiffres significatifs (ou `chiffres`) : décimal quand
// 0.00001 <= |x| < 10^chiffres, sinon mantisse, "E", exposant sans zéros de tête ;
// zéros de fin supprimés ; "0", "NAN", "INF", "-INF".
HMMGRAPH_EXPORT QString Formater(long double x, int chiffres = 15);

// Chiffres significatifs des nombres montrés sur le graphe (étiquettes des arcs, paires des
// boîtes) : 2 à 6, ou ChiffresTous. Seul l'affichage change : le texte gardé, les fichiers,
// les calculs et l'éditeur d'état gardent la valeur entière.
constexpr int ChiffresTous = 0;
constexpr int ChiffresParDefaut = 4;
HMMGRAPH_EXPORT int ChiffresAffiches();
HMMGRAPH_EXPORT void DefinirChiffresAffiches(int chiffres); // hors 2..6 : ChiffresTous
// Le texte d'une probabilité tel que le graphe le montre, au séparateur de l'utilisateur :
// arrondi à `chiffres` chiffres significatifs, ou le texte entier (ChiffresTous). Un texte
// qui n'est pas un nombre ("??") reste tel quel.
HMMGRAPH_EXPORT QString TexteAffiche(const QString &texte, int chiffres);
HMMGRAPH_EXPORT QString TexteAffiche(const QString &texte);
}
