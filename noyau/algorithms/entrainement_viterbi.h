#pragma once
// Entraînement de Viterbi : π, A, B réestimés en comptant le long du chemin de Viterbi.
#include "algorithms/observateur.h"

struct ParametresModele;
struct EspaceTravail;
class DocumentModele;

// Décode le chemin une fois (CalculerViterbi), puis répète les passes de comptage jusqu'à ce
// que plus rien ne change (deux passes au plus : le chemin ne change pas). Un état dont le
// compte est nul garde sa ligne de A (ou de B) ; sa ligne de comptes est remise à 0.
// Ne touche pas au graphe.
IssueEntrainement BouclerViterbi(ParametresModele &parametres, EspaceTravail &espace,
                                 ObservateurEntrainement *observateur = nullptr);

// L'entraînement complet sur le document (mêmes refus et même conclusion que Baum-Welch).
IssueEntrainement EntrainerViterbi(DocumentModele &document, EspaceTravail &espace,
                                   ObservateurEntrainement *observateur = nullptr);
