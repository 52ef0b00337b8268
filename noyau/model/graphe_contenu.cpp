#include "model/graphe_contenu.h"
#include "graph/graphe.h"

#include <algorithm>

namespace GrapheContenu {

QList<ContenuModele::Arc> Arcs(const GrapheHmm &h)
{
    QList<ContenuModele::Arc> arcs;
    for (int i = 1; i <= h.NbArcs; ++i) {
        ContenuModele::Arc a;
        a.Debut = h.PointsARC[i][1];
        a.Fin = h.PointsARC[i][2];
        a.Etiquette = h.Etiquette[i];
        a.Centre = h.CentreCourbe[i];
        a.Rayon = h.RayonCourbe[i];
        a.Source = h.ARC[i][1];
        a.Destination = h.ARC[i][2];
        a.PosEtiquette = h.PosEtiquette[i];
        arcs.append(a);
    }
    return arcs;
}

void PoserArcs(GrapheHmm &h, const QList<ContenuModele::Arc> &arcs)
{
    // Les lectures ont déjà refusé plus d'arcs que le graphe n'en porte.
    h.NbArcs = int(std::min<qsizetype>(arcs.size(), GrapheHmm::CapaciteArcs));
    for (int i = 1; i <= h.NbArcs; ++i) {
        const auto &a = arcs[i - 1];
        h.PointsARC[i][1] = a.Debut;
        h.PointsARC[i][2] = a.Fin;
        h.Etiquette[i] = a.Etiquette;
        h.CentreCourbe[i] = a.Centre;
        h.RayonCourbe[i] = a.Rayon;
        h.ARC[i][1] = a.Source;
        h.ARC[i][2] = a.Destination;
        h.PosEtiquette[i] = a.PosEtiquette;
        h.ArcSelectionne[i] = false;
        h.EtiquetteVisible[i] = true;
        h.ArcSurligne[i] = false;
    }
}

void RedessinerArcsEtat(GrapheHmm &h, int k, const std::function<std::optional<QRect>(int)> &interieur)
{
    for (int i = 1; i <= h.NbArcs; ++i) {
        if (k < 0 || (h.ARC[i][1] != k && h.ARC[i][2] != k))
            continue;
        const std::optional<QRect> s = interieur(h.ARC[i][1]), d = interieur(h.ARC[i][2]);
        if (!s || !d)
            continue;
        const QRect a = *s, b = *d;
        h.DessinerARC(a.x(), a.y(), a.width(), a.height(), b.x(), b.y(), b.width(), b.height(), i, h.ARC[i][1],
                      h.ARC[i][2]);
    }
    h.Actualiser();
}

void AjouterArcs(ContenuModele &c, const QList<ArcPose> &arcs)
{
    GrapheHmm g;
    g.RayonBoucle = 20;
    PoserArcs(g, c.Arcs);
    for (const ArcPose &a : arcs) {
        const ContenuModele::Etat *s = c.EtatRegistre(a.Source), *d = c.EtatRegistre(a.Destination);
        if (!s || !d)
            continue;
        const int i = g.DessinerARC(s->Left + 2, s->Top + 2, s->Width - 4, s->Height - 4, d->Left + 2, d->Top + 2,
                                    d->Width - 4, d->Height - 4, -1, a.Source, a.Destination);
        if (i != -1)
            g.Etiquette[i] = a.Etiquette;
    }
    c.Arcs = Arcs(g);
}

}
