#pragma once
// Les arcs d'un graphe (GrapheHmm) <-> les arcs de la valeur du modèle, dans le même ordre.
#include "model/fichier.h"

#include <QRect>
#include <functional>
#include <optional>

class GrapheHmm;

namespace GrapheContenu {
QList<ContenuModele::Arc> Arcs(const GrapheHmm &graphe);
// Remplace les arcs du graphe par ceux-ci, ni choisis ni surlignés, étiquettes visibles.
void PoserArcs(GrapheHmm &graphe, const QList<ContenuModele::Arc> &arcs);
// Recalcule la géométrie des arcs qui touchent l'état k (index de registre), d'après les
// rectangles intérieurs des boîtes, puis ôte les arcs de probabilité nulle.
void RedessinerArcsEtat(GrapheHmm &graphe, int k, const std::function<std::optional<QRect>(int)> &interieur);
}
