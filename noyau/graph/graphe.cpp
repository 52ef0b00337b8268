// GrapheHmm : la tenue des tables d'arcs (création, suppression, renumérotation).
// La géométrie est dans geometrie.cpp, le dessin dans dessin.cpp.
#include "graph/graphe.h"
#include "graph/nombres.h"

#include <QGuiApplication>

GrapheHmm::GrapheHmm()
{
    for (bool &v : EtiquetteVisible)
        v = true;
    Actualiser();
}

int GrapheHmm::ExisteARC(int source, int destination) const
{
    int trouve = -1;
    for (int i = 1; i <= NbArcs; ++i)
        if (ARC[i][1] == source && ARC[i][2] == destination)
            trouve = i;
    return trouve;
}

void GrapheHmm::SuppARC(int i)
{
    if (i < 1 || i > NbArcs)
        return;
    --NbArcs;
    for (int k = i; k <= NbArcs; ++k) {
        ARC[k][1] = ARC[k + 1][1];
        ARC[k][2] = ARC[k + 1][2];
        PointsARC[k][1] = PointsARC[k + 1][1];
        PointsARC[k][2] = PointsARC[k + 1][2];
        PosEtiquette[k] = PosEtiquette[k + 1];
        CentreCourbe[k] = CentreCourbe[k + 1];
        RayonCourbe[k] = RayonCourbe[k + 1];
        ArcSelectionne[k] = ArcSelectionne[k + 1];
        EtiquetteVisible[k] = EtiquetteVisible[k + 1];
        ArcSurligne[k] = ArcSurligne[k + 1];
        CouleurArcSurligne[k] = CouleurArcSurligne[k + 1];
        Etiquette[k] = Etiquette[k + 1];
    }
    // La ligne libérée redevient neutre : un arc créé plus tard n'hérite de rien.
    const int l = NbArcs + 1;
    ARC[l][1] = ARC[l][2] = 0;
    PointsARC[l][1] = PointsARC[l][2] = QPoint();
    PosEtiquette[l] = CentreCourbe[l] = QPoint();
    RayonCourbe[l] = 0;
    ArcSelectionne[l] = ArcSurligne[l] = false;
    CouleurArcSurligne[l] = QColor();
    EtiquetteVisible[l] = true;
    Etiquette[l].clear();
}

void GrapheHmm::SuppETAT(int e)
{
    int i = 1;
    while (i <= NbArcs) {
        if (ARC[i][1] == e || ARC[i][2] == e)
            SuppARC(i);
        else
            ++i;
    }
    if (e != 0)
        for (int k = 1; k <= NbArcs; ++k) {
            if (ARC[k][1] > e)
                --ARC[k][1];
            if (ARC[k][2] > e)
                --ARC[k][2];
        }
}

void GrapheHmm::Actualiser()
{
    int i = 1;
    while (i <= NbArcs) {
        if (Etiquette[i] != QLatin1String("??") && Nombres::VersExtended(Etiquette[i]) == 0)
            SuppARC(i);
        else
            ++i;
    }
    Rafraichir();
}

