#pragma once
// Décodage : le chemin de Viterbi.
#include <QStringList>

struct ParametresModele;
struct EspaceTravail;

// Écrit Delta, Psi, CheminViterbi (Q[0] = 0 pour START) et Probabilite (la probabilité du
// meilleur chemin). Comparaisons strictes, états parcourus en ordre croissant : à égalité le
// plus petit numéro l'emporte, et l'état 1 quand tout vaut 0. Lève ERefusCalcul quand T = 0.
void CalculerViterbi(const ParametresModele &parametres, EspaceTravail &espace);
// Noms des états de CheminViterbi aux temps 1..T.
QStringList EtatsCheminViterbi(const ParametresModele &parametres, const EspaceTravail &espace);
// Le texte d'un chemin d'états tel que listes et hmmcalc l'écrivent : « Start - E1 - E2 ».
QString TexteCheminEtats(const QStringList &etats);

namespace Calcul {
// Tests : fait prendre au décodage sa version SSE2 même quand AVX2 est disponible.
void ViterbiSansAvx2(bool oui);
// CheminViterbi[1..T-1] remonté depuis CheminViterbi[T], par Psi (T + 1 lignes) ou PsiOctets.
void RemonterChemin(EspaceTravail &espace, int T, int L);
}
