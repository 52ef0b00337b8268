#pragma once
// L'image du canevas : la surface Hmm1 puis chaque boîte d'état, dessinées hors écran.
// Sert au zoom, à l'aperçu, à l'impression et à l'image de la trace ("Hmm.bmp").
#include <QImage>
#include <QSize>

class DocumentModele;

namespace ImageModele {
// Le canevas entier, pixel pour pixel (taille de Hmm1).
QImage Rendre(const DocumentModele &doc);
// Le canevas entier étiré dans une image de la taille `cible`.
QImage Rendre(const DocumentModele &doc, QSize cible);
}
