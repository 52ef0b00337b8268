#pragma once
// Évaluation de P(O|λ) : récurrences avant (Forward) et arrière (Backward), en précision
// étendue, sans mise à l'échelle ni logarithme.
struct ParametresModele;
struct EspaceTravail;

// Écrit Alpha[1..T][1..N] et Probabilite. Lève ERefusCalcul quand T = 0.
void CalculerForward(const ParametresModele &parametres, EspaceTravail &espace);
// Écrit Beta[1..T][1..N] et Probabilite. Lève ERefusCalcul quand T = 0.
void CalculerBackward(const ParametresModele &parametres, EspaceTravail &espace);
// Forward, puis ERefusCalcul (« Ce modèle ne génère pas la séquence d'observations : ... »)
// quand P(O|λ) = 0 : Viterbi et les entraînements n'ont alors rien à décoder ni à réestimer.
void ExigerGeneration(const ParametresModele &parametres, EspaceTravail &espace);
