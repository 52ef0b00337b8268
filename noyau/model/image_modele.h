#pragma once
// L'image du canevas : la surface Hmm1 puis chaque boîte d'état, dessinées hors écran.
// Sert au zoom, à l'aperçu, à l'impression et à l'image de la trace ("Hmm.bmp"). La même image
// se dessine sans contrôle depuis la valeur du modèle (hmmcalc).
#include "graph/couleurs.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <functional>

class QPainter;
class DocumentModele;
class GrapheHmm;
struct ContenuModele;

namespace ImageModele {
// Ce que le dessin d'un modèle prend de sa fenêtre : taille de la surface, police, couleurs
// données aux boîtes. Par défaut : celles d'un document sans fenêtre.
struct Apparence {
    QSize Surface{1000, 700};
    QFont Police; // celle de l'application
    TCouleur CouleurFondEtat = Couleurs::VertClair;
    TCouleur CouleurStyloEtat = Couleurs::Bleu;
};
// Le modèle seul, comme RendreModele(doc), dessiné depuis sa valeur, sans contrôle.
QImage RendreModele(const ContenuModele &modele, const Apparence &apparence = {});
// Le rectangle qui contient tout ce que dessinent ces arcs et ces boîtes (bornes des boîtes
// dans les coordonnées de la surface), agrandi de `marge` ; vide quand il n'y a rien.
QRect Etendue(const GrapheHmm &graphe, const QList<QRect> &boites, int marge);
// Le canevas d'une surface de cette taille sur fond blanc, dessiné par `peindre`, réduit
// d'après Echelle s'il le faut.
QImage RendreCanevas(QSize surface, const std::function<void(QPainter &)> &peindre);
// La surface agrandie pour que l'étendue tienne (le cadre de la surface tombe alors juste hors
// de l'étendue).
QSize SurfacePour(QSize surface, const QRect &etendue);

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
