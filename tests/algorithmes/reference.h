#pragma once
// Implémentations de référence : les formules dans l'ordre écrit, sur des vecteurs imbriqués,
// sans aucune optimisation. Les calculs du programme doivent leur être identiques au bit près.
#include "model/parametres.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace Reference {

using LD = long double;
using Matrice = std::vector<std::vector<LD>>;

LD Forward(const ParametresModele &p, const std::vector<int> &O, Matrice &alpha);
LD Backward(const ParametresModele &p, const std::vector<int> &O, Matrice &beta);
LD Viterbi(const ParametresModele &p, const std::vector<int> &O, Matrice &delta, std::vector<std::vector<int>> &psi,
           std::vector<int> &Q);

// Une itération de Baum-Welch avec la table ξ complète ; rend Stable.
struct Comptes {
    std::vector<LD> depuis, etat;
    Matrice transitions, generation;
};
bool IterationBaumWelch(ParametresModele &p, const std::vector<int> &O, Comptes &c, LD &probabilite);

// Énumération récursive par les noms, table de textes. Rend false quand aucune ligne.
struct Enumeration {
    std::vector<QStringList> lignes; // noms des états, puis la probabilité en texte
    LD probabilite = 0;
    int meilleure = 0; // 1..lignes
};
Enumeration Enumerer(const ParametresModele &p, const std::vector<int> &O);

// Une passe de l'entraînement de Viterbi sur le chemin Q ; rend Stable.
bool PasseViterbi(ParametresModele &p, const std::vector<int> &O, const std::vector<int> &Q);

}

// Égalité des 80 bits utiles de deux étendus (NaN compris).
bool Identiques(long double a, long double b);
