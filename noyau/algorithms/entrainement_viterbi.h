#pragma once
// Entraînement de Viterbi : π, A, B réestimés en comptant le long du chemin de Viterbi.
#include "algorithms/observateur.h"

#include <functional>

template <typename T>
class VecteurVerifie;
struct ParametresModele;
struct EspaceTravail;
class DocumentModele;

// Décode le chemin une fois (CalculerViterbi), puis répète les passes de comptage jusqu'à ce
// que plus rien ne change (deux passes au plus : le chemin ne change pas). Un état dont le
// compte est nul garde sa ligne de A (ou de B) ; sa ligne de comptes est remise à 0.
// Ne touche pas au graphe.
IssueEntrainement BouclerViterbi(ParametresModele &parametres, EspaceTravail &espace,
                                 ObservateurEntrainement *observateur = nullptr);

// Comptes de l'espace (NombreDepuis, NombreEtat, NombreTransitions, NombreGeneration) aux
// dimensions du modèle.
void DimensionnerComptes(int N, int M, EspaceTravail &espace);
// Une passe de comptage le long de CheminViterbi (une séquence) : π, comptes, A et B, Stable.
// P(O|λ) n'est pas recalculée.
void PasseViterbi(ParametresModele &parametres, EspaceTravail &espace);
// Le déroulement des passes après le décodage, commun au calcul exact, au calcul mis à
// l'échelle et aux séquences multiples : Debut, comptes dimensionnés, puis `passe` jusqu'à ce
// que plus rien ne change, chaque passe signalée à l'observateur.
IssueEntrainement DeroulerPassesViterbi(ParametresModele &parametres, EspaceTravail &espace,
                                        ObservateurEntrainement *observateur, const std::function<void()> &passe);

// Les comptes de l'espace (NombreDepuis, NombreEtat, NombreTransitions, NombreGeneration, déjà
// dimensionnés) remis à 0.
void ViderComptes(int N, int M, EspaceTravail &espace);
// Ajoute aux comptes ceux du chemin Q[1..T] sur les observations O[1..T] (un état ou un
// symbole hors bornes n'est pas compté).
void AjouterComptes(int N, int M, const VecteurVerifie<int> &Q, const VecteurVerifie<int> &O, int T,
                    EspaceTravail &espace);
// A puis B réestimés depuis les comptes, dans l'ordre des cases ; un état jamais compté garde
// sa ligne. Rend vrai quand aucune valeur n'a changé.
bool ReestimerParComptes(ParametresModele &parametres, const EspaceTravail &espace);

// L'entraînement complet sur le document (mêmes refus et même conclusion que Baum-Welch).
IssueEntrainement EntrainerViterbi(DocumentModele &document, EspaceTravail &espace,
                                   ObservateurEntrainement *observateur = nullptr);
