#pragma once
// Les familles de modèles des bancs d'essai : λ tiré au hasard (graine fixe) avec des
// probabilités écrites comme on les taperait, et une séquence générée par le modèle.
#include "algorithms/espace.h"
#include "algorithms/grande_probabilite.h"
#include "model/parametres.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <vector>

namespace Bancs {

enum class Famille {
    Dense99,     // N = 99, M = 99, tous les arcs (cœur seulement : un fichier en tient 98)
    Chaine97,    // cycle de 97 états : START -> E1 -> ... -> E97 -> E1, 98 arcs, M = 98
    Ergodique10, // 10 états, 98 arcs (10 depuis START, 88 dans A), M = 10
    Enseignement // 3 états, 2 symboles, tous les arcs
};

struct Donnees {
    ParametresModele p;
    EspaceTravail e;
};

Donnees Modele(Famille f, int T, unsigned graine = 1);

enum class Algo { Forward, Backward, Viterbi, BaumWelch };
// Un calcul du programme sur les données ; Baum-Welch réestime une copie de λ (d reste le même).
// Automatique : ce que fait hmmcalc (exact, mis à l'échelle s'il le faut) ; Echelle : en
// doubles mis à l'échelle d'emblée, la même arithmétique que GHMM.
void Executer(Donnees &d, Algo a, ModeCalcul mode = ModeCalcul::Automatique);
const char *Nom(Famille f);

// Les cas mesurés par les bancs : une famille et la longueur de sa séquence.
struct Cas {
    Famille f;
    int T;
};
inline constexpr Cas LesCas[] = {
    {Famille::Dense99, 1000}, {Famille::Chaine97, 2000}, {Famille::Ergodique10, 2000}, {Famille::Enseignement, 100000}};
// Les données du cas k, tirées une fois.
Donnees &DonneesCas(int k);
// Banc : le calcul du programme sur le cas k (temps processeur du processus).
void Programme(benchmark::State &st, int k, Algo a, ModeCalcul mode = ModeCalcul::Automatique);

// Le même modèle écrit en fichier .hmm par l'écrivain du programme (boîtes, arcs et paires) ;
// false quand l'écriture échoue.
bool EcrireFichier(const ParametresModele &p, const QString &chemin);

}
