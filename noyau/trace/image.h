#pragma once
// L'image du graphe que montrent toutes les traces : "Modeles/A_directe_fichiers/Hmm.bmp".
#include <QImage>

class DocumentModele;

namespace Trace {
constexpr int LargeurImage = 500;
constexpr int HauteurImage = 400;

// Le modèle entier (son étendue, marge comprise), réduit sans déformation dans 500 × 400
// et centré sur fond blanc. Sans fenêtre.
QImage ImageModele(DocumentModele &doc);

// Enregistre cette image au format BMP sous "Modeles/A_directe_fichiers/Hmm.bmp" (le
// sous-répertoire est créé au besoin). Lève ETrace quand l'écriture échoue.
void ExporterImageModele(DocumentModele &doc);
}
