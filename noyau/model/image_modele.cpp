#include "model/image_modele.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ImageModele {

double Echelle(QSize canevas)
{
    const double octets = 4.0 * std::max(1, canevas.width()) * std::max(1, canevas.height());
    return octets <= double(LimiteOctets) ? 1.0 : std::sqrt(double(LimiteOctets) / octets);
}

void Peindre(QPainter &p, const DocumentModele &doc)
{
    THmm *h = doc.Hmm1;
    h->Dessiner(p);
    // Les boîtes par-dessus, dans l'ordre d'empilement du panneau (START d'abord).
    for (int k = 0; k <= doc.N && k < 100; ++k) {
        TEtat2 *b = doc.Etats[k];
        if (!b || (k == 0 && !doc.StartPresent) || b->isHidden())
            continue;
        p.save();
        p.translate(b->Left() - h->x(), b->Top() - h->y());
        b->Dessiner(p);
        p.restore();
    }
}

QImage Rendre(const DocumentModele &doc)
{
    THmm *h = doc.Hmm1;
    const QSize canevas(std::max(1, h->width()), std::max(1, h->height()));
    // Un graphe très étendu est dessiné réduit : l'image reste sous LimiteOctets.
    const double f = Echelle(canevas);
    const QSize taille(std::max(1, int(canevas.width() * f)), std::max(1, int(canevas.height() * f)));
    QImage image(taille, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(f, f);
    Peindre(p, doc);
    p.end();
    return image;
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
    QRect r;
    const THmm *h = doc.Hmm1;
    for (int k = 0; k <= doc.N && k < 100; ++k) {
        const TEtat2 *b = doc.Etats[k];
        if (b && !(k == 0 && !doc.StartPresent) && !b->isHidden())
            r |= b->geometry().translated(-h->x(), -h->y());
    }
    const int n = std::min(h->NbArcs, THmm::Taille - 1);
    for (int i = 1; i <= n; ++i) {
        const QPoint P1 = h->PointsARC[i][1], P2 = h->PointsARC[i][2];
        if (h->ARC[i][1] == h->ARC[i][2])
            r |= h->PlacerBoucle(i).Cercle; // au coin où la boucle est dessinée
        else if (h->ExisteARC(h->ARC[i][2], h->ARC[i][1]) != -1)
            // Le sommet de la courbe : l'ancre de l'étiquette, recalculée (PosEtiquette ne l'est
            // qu'au dessin et peut dater du fichier).
            r |= QRect(P1, P2).normalized().united(QRect(h->RectangleEtiquette(i).center(), QSize(1, 1)));
        else
            r |= QRect(P1, P2).normalized();
        if (h->EtiquetteVisible[i])
            r |= h->RectangleEtiquette(i);
    }
    return r.isNull() ? r : r.adjusted(-marge, -marge, marge, marge);
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
    for (int k = 0; k <= doc.N && k < 100; ++k)
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
    // Le cadre de la surface tombe alors juste hors de l'étendue.
    const QSize besoin = etendue.isNull() ? avant
                                          : QSize(std::max(avant.width(), etendue.right() + 2),
                                                  std::max(avant.height(), etendue.bottom() + 2));
    if (besoin != avant)
        h->resize(besoin);
    const QImage canevas = RendreSansSelection(doc);
    if (besoin != avant)
        h->resize(avant);
    return Decouper(canevas, etendue, besoin);
}

QImage Decouper(const QImage &canevas, const QRect &etendue, QSize taille)
{
    // Le canevas a pu être réduit : l'étendue suit la même échelle.
    const double f = taille.width() > 0 ? double(canevas.width()) / taille.width() : 1.0;
    const QRect r = f == 1.0 ? etendue
                             : QRect(int(etendue.x() * f), int(etendue.y() * f), int(std::ceil(etendue.width() * f)),
                                     int(std::ceil(etendue.height() * f)));
    const QRect e = r.intersected(canevas.rect());
    return e.isEmpty() ? canevas : canevas.copy(e);
}

}
