#pragma once
// Les algorithmes mis à l'échelle, pour les séquences dont P(O|λ) sort de la plage de l'étendu
// (en dessous de 10^-4951 environ : quelques milliers d'observations suffisent).
//
// Forward : à chaque instant la ligne α̃_t est ramenée à une somme de 1 par le facteur
// c_t = 1 / Σ_i α̃_t(i) ; ᾱ_t(i) = c_t α̃_t(i) = α_t(i) / P(o_1 … o_t). Alors
// P(O|λ) = Π_t 1 / c_t, log P(O|λ) = -Σ_t log c_t.
// Backward, avec les mêmes facteurs : β̂_T(i) = c_T, β̂_t(i) = c_t Σ_j a_ij b_j(o_t+1) β̂_t+1(j).
// Baum-Welch : γ_t(i) = ᾱ_t(i) β̂_t(i) / c_t, ξ_t(i,j) = ᾱ_t(i) a_ij b_j(o_t+1) β̂_t+1(j).
// Viterbi : chaque ligne δ_t est ramenée près de 1 par une puissance de deux 2^k_t, ce qui ne
// change aucun arrondi : mêmes produits, mêmes égalités, même chemin que le calcul exact tant
// qu'il reste dans la plage, et au-delà ln δ_t(i) = ln δ̃_t(i) - (k_1 + … + k_t) ln 2. Un
// Viterbi fait en sommes de logarithmes départagerait autrement des produits égaux à un
// arrondi près.
//
// Chaque fonction met MisALEchelle et ProbabiliteEchelle ; Probabilite reçoit la valeur
// ramenée en étendu (0 ou sous-normale hors de la plage).
#include "algorithms/observateur.h"

struct ParametresModele;
struct EspaceTravail;
struct SommesFormation;

namespace Echelle {

// Alpha = ᾱ, FacteursEchelle = c, ProbabiliteEchelle = P(O|λ) (nulle : séquence impossible).
void Forward(const ParametresModele &parametres, EspaceTravail &espace);
// Forward d'abord (pour les c_t), puis Beta = β̂ ; P(O|λ) = Σ_i π_i b_i(o_1) β̂_1(i) × Π_t 1 / c_t.
void Backward(const ParametresModele &parametres, EspaceTravail &espace);
// γ_t(i) = ᾱ_t(i) β̂_t(i) / c_t dans Gamma, d'après les tables pleines de Backward.
void Gamma(const ParametresModele &parametres, EspaceTravail &espace);
// Delta = ln δ (logarithme naturel), Psi, CheminViterbi ; ProbabiliteEchelle = la probabilité
// du meilleur chemin (égale à celle du calcul exact quand il est dans la plage).
void Viterbi(const ParametresModele &parametres, EspaceTravail &espace);

// Les boucles des deux entraînements, mêmes règles d'arrêt et mêmes points d'observation que
// les boucles exactes (BouclerBaumWelch, BouclerViterbi) ; le seuil se compare à
// ProbabiliteEchelle. Le chemin de l'entraînement de Viterbi est celui du Viterbi logarithmique.
// Forward sans tables demandées, gardé pour BouclerBaumWelch : c_t et ᾱ par points (√T lignes).
void ForwardPourEntrainement(const ParametresModele &parametres, EspaceTravail &espace);
// `forwardFait` : ForwardPourEntrainement vient d'être fait sur ces paramètres et cette séquence
// (sans tables demandées) ; il n'est pas refait.
IssueEntrainement BouclerBaumWelch(ParametresModele &parametres, EspaceTravail &espace,
                                   ObservateurEntrainement *observateur = nullptr, bool forwardFait = false);
IssueEntrainement BouclerViterbi(ParametresModele &parametres, EspaceTravail &espace,
                                 ObservateurEntrainement *observateur = nullptr);

// Plusieurs séquences : pour chacune ᾱ, c_t et β̂, puis γ et ξ (les facteurs s'y simplifient,
// chaque séquence est ainsi normalisée par sa propre P(O_k|λ)) ajoutés à `s`.
void SommesBaumWelch(const ParametresModele &parametres, EspaceTravail &espace, SommesFormation &s);

}
