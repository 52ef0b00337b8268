#pragma once
// L'image du graphe que montrent toutes les traces : "Modeles/A_directe_fichiers/Hmm.bmp".
#include <QImage>
#include <QSize>


namespace Trace {
// Taille de l'image d'un petit modèle, et plus petite taille de toute image.
constexpr int LargeurImage = 500;
constexpr int HauteurImage = 400;
// Échelle sous laquelle les noms des états ne se lisent plus : un modèle qu'il faudrait réduire
// davantage pour tenir dans 500 × 400 agrandit l'image au lieu de rapetisser.
constexpr double EchelleLisible = 0.7;
// Taille maximale de l'image agrandie ; un modèle plus grand encore y est réduit.
constexpr int LargeurImageMax = 1600;
constexpr int HauteurImageMax = 1200;

// Dimensions de l'image et échelle du modèle (de taille `modele`) dans celle-ci : le modèle
// n'est jamais agrandi ; réduit pour tenir dans 500 × 400 tant que l'échelle reste au moins
// EchelleLisible ; sinon l'image grandit (sans déformer le modèle) pour garder cette échelle,
// jusqu'à 1600 × 1200.
struct CadrageImage {
    QSize Taille;
    double Echelle = 1;
};
CadrageImage Cadrer(QSize modele);

// L'image du modèle seul (son étendue, marge comprise : ImageModele::RendreModele), cadrée
// comme ci-dessus et centrée sur fond blanc.
QImage ImageModele(const QImage &modele);

// Enregistre cette image au format BMP sous "Modeles/A_directe_fichiers/Hmm.bmp" (le
// sous-répertoire est créé au besoin). Lève ETrace quand l'écriture échoue.
void ExporterImageModele(const QImage &modele);
}
