#pragma once
// L'image du canevas : la surface Hmm1 puis chaque boîte d'état, dessinées hors écran.
// Sert au zoom, à l'aperçu, à l'impression et à l'image de la trace ("Hmm.bmp").
#include <QImage>

class QPainter;
#include <QRect>
#include <QSize>

class DocumentModele;

namespace ImageModele {
// Le canevas dessiné par `p` dans ses coordonnées (0, 0)-(taille de Hmm1) : à l'échelle
// du périphérique (une imprimante trace alors à sa propre résolution).
void Peindre(QPainter &p, const DocumentModele &doc);
// Le même dessin sans poignées de sélection.
void PeindreSansSelection(QPainter &p, DocumentModele &doc);
// Le canevas entier, pixel pour pixel (taille de Hmm1).
QImage Rendre(const DocumentModele &doc);
// Le canevas entier étiré dans une image de la taille `cible`.
QImage Rendre(const DocumentModele &doc, QSize cible);
// Le rectangle qui contient tout ce que le modèle dessine (boîtes, arcs, boucles, étiquettes),
// agrandi de `marge` ; vide sans modèle.
QRect Etendue(const DocumentModele &doc, int marge = 0);
// Le canevas entier sans poignées de sélection (impression, images enregistrées).
QImage RendreSansSelection(DocumentModele &doc);
// Le modèle seul : son étendue (marge de 10 pixels) découpée dans le canevas, sans poignées.
QImage RendreModele(DocumentModele &doc);
}
