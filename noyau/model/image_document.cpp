// L'image du canevas d'un document : ses contrôles (surface Hmm1 et boîtes) dessinés hors écran.
#include "model/document.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/image_modele.h"

#include <QPainter>
#include <algorithm>

namespace ImageModele {

void Peindre(QPainter &p, const DocumentModele &doc)
{
    THmm *h = doc.Hmm1;
    h->Dessiner(p);
    // Les boîtes par-dessus, dans l'ordre d'empilement du panneau (START d'abord).
    for (int k = 0; k <= doc.N() && k < 100; ++k) {
        TEtat2 *b = doc.Etats[k];
        if (!b || (k == 0 && !doc.StartPresent()) || b->isHidden())
            continue;
        p.save();
        p.translate(b->Left() - h->x(), b->Top() - h->y());
        b->Dessiner(p);
        p.restore();
    }
}

QImage Rendre(const DocumentModele &doc)
{
    return RendreCanevas(doc.Hmm1->size(), [&](QPainter &p) { Peindre(p, doc); });
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
    const THmm *h = doc.Hmm1;
    for (int k = 0; k <= doc.N() && k < 100; ++k) {
        const TEtat2 *b = doc.Etats[k];
        if (b && !(k == 0 && !doc.StartPresent()) && !b->isHidden())
            boites << b->geometry().translated(-h->x(), -h->y());
    }
    return Etendue(*h, boites, marge);
}

namespace {
// Appelle `dessin` avec les indicateurs de sélection posés à blanc, puis les rend.
template <typename F> void sansSelection(DocumentModele &doc, F dessin)
{
    THmm *h = doc.Hmm1;
    // Les indicateurs de sélection sont posés à blanc le temps du dessin, puis rendus.
    bool arcs[THmm::Taille];
    std::copy(std::begin(h->ArcSelectionne), std::end(h->ArcSelectionne), arcs);
    std::fill(std::begin(h->ArcSelectionne), std::end(h->ArcSelectionne), false);
    QList<TEtat2 *> choisies;
    for (int k = 0; k <= doc.N() && k < 100; ++k)
        if (TEtat2 *b = doc.Etats[k]; b && b->Selectionne) {
            choisies << b;
            b->Selectionne = false;
        }
    dessin();
    std::copy(std::begin(arcs), std::end(arcs), h->ArcSelectionne);
    for (TEtat2 *b : choisies)
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
    THmm *h = doc.Hmm1;
    const QRect etendue = Etendue(doc, 10);
    const QSize avant = h->size();
    const QSize besoin = SurfacePour(avant, etendue);
    if (besoin != avant)
        h->resize(besoin);
    const QImage canevas = RendreSansSelection(doc);
    if (besoin != avant)
        h->resize(avant);
    return Decouper(canevas, etendue, besoin);
}

}
