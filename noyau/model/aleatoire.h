#pragma once
// « Probabilités aléatoires » : un modèle dessiné (états, arcs, symboles) reçoit des
// probabilités tirées au hasard, pour un exercice. La même graine redonne le même modèle, sur
// toute machine : le générateur (mt19937) et la conversion sont fixés ici, pas laissés à la
// bibliothèque.
#include "model/fichier.h"

#include <QStringList>
#include <cstdint>

namespace Aleatoire {

// `n` probabilités décimales (centièmes, millièmes au-delà de 20), chacune d'au moins une unité,
// dont la somme décimale vaut exactement 1 ; vide pour n <= 0.
QStringList Ligne(int n, std::uint32_t &etat);

// Le contenu aux étiquettes des arcs et aux probabilités des symboles tirées : une ligne par
// état de départ (START compris) sur ses arcs sortants, une ligne par état sur ses symboles.
// Noms, symboles, arcs et positions restent ceux du contenu donné.
ContenuModele Remplir(const ContenuModele &c, std::uint32_t graine);

// Le contenu a-t-il au moins un arc ou un symbole à tirer ?
bool AQuoiTirer(const ContenuModele &c);

}
