#pragma once
// Ce que toute liste de résultats offre en plus de ses colonnes : bulle du texte entier de la
// case sous la souris, action « Copier » (menu contextuel et Ctrl+C) qui copie les lignes
// choisies, cases séparées par des tabulations, et colonnes ajustées à leur contenu avec
// défilement horizontal. Vaut pour toute vue d'éléments (liste à éléments ou modèle/vue).
#include <QString>

class QAbstractItemView;
class QTreeView;

namespace OutilsListe {
// Bulle, action « Copier », choix de plusieurs lignes, défilement horizontal.
void Equiper(QTreeView *liste);
// Les lignes choisies, dans l'ordre de la liste : cases séparées par "\t", lignes par "\n".
QString TexteLignesChoisies(const QAbstractItemView *liste);
// Colonnes à la largeur de leur contenu visible, LargeurMax au plus (texte coupé au milieu).
constexpr int LargeurMax = 240;
// Largeur en deçà de laquelle la première colonne ne cède plus de place.
constexpr int LargeurMin = 90;
void AjusterColonnes(QTreeView *liste);
// Texte d'une bulle : coupé en lignes, un très long texte réduit à son début et à sa fin.
QString TexteBulle(const QString &texte);
}
