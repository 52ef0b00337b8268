#pragma once
// Décodage a posteriori : à chaque instant l'état le plus probable sachant toute la
// séquence, argmax_i γ_t(i) avec γ_t(i) = α_t(i) β_t(i) / P(O|λ). Contrairement au chemin
// de Viterbi, ce chemin peut emprunter une transition de probabilité nulle.
#include <QStringList>
#include <vector>

struct ParametresModele;
struct EspaceTravail;

// Forward et Backward (exacts, ou mis à l'échelle quand P(O|λ) sort de la plage de l'étendu),
// refus quand P(O|λ) = 0, γ dans Gamma ; rend q[0..T] (q[0] = 0 pour
// START). À égalité le plus petit numéro l'emporte, comme pour Viterbi.
std::vector<int> CalculerCheminPosterieur(const ParametresModele &parametres, EspaceTravail &espace);
// Noms des états q[1..T].
QStringList EtatsChemin(const ParametresModele &parametres, const std::vector<int> &chemin);
