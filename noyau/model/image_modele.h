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
// Plafond d'une image du modèle : au-delà, le canevas est dessiné réduit pour y tenir.
constexpr qint64 LimiteOctets = 256LL * 1024 * 1024;
// Facteur de réduction d'un canevas de cette taille (1 quand il tient sous LimiteOctets).
double Echelle(QSize canevas);
// Le canevas entier, pixel pour pixel (taille de Hmm1), réduit d'après Echelle s'il le faut.
QImage Rendre(const DocumentModele &doc);
// Le canevas entier étiré dans une image de la taille `cible`.
QImage Rendre(const DocumentModele &doc, QSize cible);
// Le rectangle qui contient tout ce que le modèle dessine (boîtes, arcs, boucles, étiquettes),
// agrandi de `marge` ; vide sans modèle.
QRect Etendue(const DocumentModele &doc, int marge = 0);
// Le canevas entier sans poignées de sélection (impression, images enregistrées).
QImage RendreSansSelection(DocumentModele &doc);
// La partie `etendue` (coordonnées du canevas de taille `taille`) d'une image du canevas,
// réduite ou non.
QImage Decouper(const QImage &canevas, const QRect &etendue, QSize taille);
// Le modèle seul : son étendue (marge de 10 pixels) découpée dans le canevas, sans poignées.
QImage RendreModele(DocumentModele &doc);
}
