#pragma once
// Les arcs d'un graphe (GrapheHmm) <-> les arcs de la valeur du modèle, dans le même ordre.
#include "model/fichier.h"

#include <QRect>
#include <functional>
#include <optional>

class GrapheHmm;

namespace GrapheContenu {
struct ArcPose {
    int Source = 0, Destination = 0; // index de registre (0 = START)
    QString Etiquette;
};
// Ces arcs ajoutés l'un après l'autre entre les boîtes du modèle, comme à la souris
// (DessinerARC, boucles de rayon 20), chacun avec son étiquette.
void AjouterArcs(ContenuModele &c, const QList<ArcPose> &arcs);

QList<ContenuModele::Arc> Arcs(const GrapheHmm &graphe);
// Remplace les arcs du graphe par ceux-ci, ni choisis ni surlignés, étiquettes visibles.
void PoserArcs(GrapheHmm &graphe, const QList<ContenuModele::Arc> &arcs);
// Recalcule la géométrie des arcs qui touchent l'état k (index de registre), d'après les
// rectangles intérieurs des boîtes, puis ôte les arcs de probabilité nulle.
void RedessinerArcsEtat(GrapheHmm &graphe, int k, const std::function<std::optional<QRect>(int)> &interieur);
}
