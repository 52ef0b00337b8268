// L'image du canevas d'un document : ses arcs puis ses boîtes, dessinés hors écran.
#include "model/document.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "model/image_modele.h"

#include <QPainter>
#include <algorithm>

namespace ImageModele {

void Peindre(QPainter &p, const DocumentModele &doc)
{
    GrapheHmm *h = doc.GrapheVue();
    h->Dessiner(p, h->TailleSurface());
    // Les boîtes par-dessus, dans l'ordre d'empilement du panneau (START d'abord).
    for (int k = 0; k <= doc.N() && k < 100; ++k) {
        BoiteEtat *b = doc.BoiteVue(k);
        if (!b || (k == 0 && !doc.StartPresent()) || b->Cachee())
            continue;
        p.save();
        p.translate(b->Left(), b->Top());
        b->Peindre(p, h->Police);
        p.restore();
    }
}

QImage Rendre(const DocumentModele &doc)
{
    return RendreCanevas(doc.Graphe().TailleSurface(), [&](QPainter &p) { Peindre(p, doc); });
}

QImage Rendre(const DocumentModele &doc, QSize cible)
{
    const QImage brute = Rendre(doc);
    if (cible.width() < 1 || cible.height() < 1)
        return brute;
    if (cible == brute.size())
        return brute;
    // Étirement lissé : une image réduite reste lisible (traits fins, étiquettes).
    return brute.scaled(cible, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QRect Etendue(const DocumentModele &doc, int marge)
{
    QList<QRect> boites;
    for (int k = 0; k <= doc.N() && k < 100; ++k) {
        const BoiteEtat *b = doc.Etat(k);
        if (b && !(k == 0 && !doc.StartPresent()) && !b->Cachee())
            boites << b->Bornes();
    }
    return Etendue(*doc.GrapheVue(), boites, marge);
}

namespace {
// Appelle `dessin` avec les indicateurs de sélection posés à blanc, puis les rend.
template <typename F> void sansSelection(DocumentModele &doc, F dessin)
{
    GrapheHmm *h = doc.GrapheVue();
    // Les indicateurs de sélection sont posés à blanc le temps du dessin, puis rendus.
    bool arcs[GrapheHmm::Taille];
    std::copy(std::begin(h->ArcSelectionne), std::end(h->ArcSelectionne), arcs);
    std::fill(std::begin(h->ArcSelectionne), std::end(h->ArcSelectionne), false);
    QList<BoiteEtat *> choisies;
    for (int k = 0; k <= doc.N() && k < 100; ++k)
        if (BoiteEtat *b = doc.BoiteVue(k); b && b->Selectionne) {
            choisies << b;
            b->Selectionne = false;
        }
    dessin();
    std::copy(std::begin(arcs), std::end(arcs), h->ArcSelectionne);
    for (BoiteEtat *b : choisies)
        b->Selectionne = true;
}
}

void PeindreSansSelection(QPainter &p, DocumentModele &doc)
{
    sansSelection(doc, [&] { Peindre(p, doc); });
}

QImage RendreSansSelection(DocumentModele &doc)
{
    QImage image;
    sansSelection(doc, [&] { image = Rendre(doc); });
    return image;
}

QImage RendreModele(DocumentModele &doc)
{
    // Sans fenêtre, le panneau ne grandit pas avec le modèle : la surface est agrandie le temps
    // du dessin, pour que rien ne soit coupé à droite ni en bas.
    GrapheHmm *h = doc.GrapheVue();
    const QRect etendue = Etendue(doc, 10);
    const QSize avant = h->TailleSurface();
    const QSize besoin = SurfacePour(avant, etendue);
    if (besoin != avant)
        h->DefinirTailleSurface(besoin);
    const QImage canevas = RendreSansSelection(doc);
    if (besoin != avant)
        h->DefinirTailleSurface(avant);
    return Decouper(canevas, etendue, besoin);
}

}
