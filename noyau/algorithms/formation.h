#pragma once
// Entraînement sur plusieurs séquences de formation O_1 … O_K (K >= 2), la réestimation
// classique à plusieurs séquences : les espérances de chaque séquence sont normalisées par sa
// propre P(O_k|λ), numérateurs et dénominateurs de A et B sont sommés sur k, π est la moyenne
// des γ_1 ; l'entraînement de Viterbi somme les comptes des chemins de Viterbi de chaque
// séquence. La probabilité suivie (seuil, trace, listes) est le produit des P(O_k|λ).
// Une seule séquence passe toujours par le calcul d'une séquence (EntrainerBaumWelch...).
#include "algorithms/grande_probabilite.h"
#include "algorithms/observateur.h"

#include <QString>
#include <QStringList>
#include <vector>

struct ParametresModele;
struct EspaceTravail;
class DocumentModele;

// Les sommes sur toutes les séquences d'une itération de Baum-Welch, indices comme λ.
struct SommesFormation {
    int L = 1, Mc = 1;                      // N + 1, M + 1
    std::vector<long double> Pi;            // Σ_k γ_k[1][i]
    std::vector<long double> Depuis, Etat;  // Σ_k Σ_{t<T_k} γ_k[t][i] ; Σ_k Σ_{t<=T_k} γ_k[t][i]
    std::vector<long double> Transitions;   // [i * L + j] : Σ_k Σ_t ξ_k[t][i][j]
    std::vector<long double> Generation;    // [i * Mc + o] : Σ_k Σ_{O_k[t]=o} γ_k[t][i]
    // Toutes les sommes à 0, sans réallouer quand les tailles ne changent pas.
    void Vider(int N, int M);
};

// Les séquences à entraîner : une seule devient SequenceObservations (le calcul d'une
// séquence) ; plusieurs remplissent Formation. Les lignes vides sont ignorées.
void DefinirSequencesFormation(EspaceTravail &espace, const QStringList &sequences);
// La même fin quand Formation a été remplie directement (Formation.Ajouter, AjouterLignes).
void TerminerSequencesFormation(EspaceTravail &espace);
// Le texte, une séquence par ligne (fin de ligne CR LF ou LF), en liste sans lignes vides.
QStringList LignesSequences(const QString &texte);

// π, A, B depuis les sommes (0/0 garde l'ancienne valeur), Stable, et les tables
// Esperances* de la trace.
void ReestimerFormation(ParametresModele &parametres, EspaceTravail &espace, const SommesFormation &s);
// P(O_k|λ) de chaque séquence (Forward exact, ou mis à l'échelle) et leur produit dans
// Probabilite / ProbabiliteEchelle.
void EvaluerFormation(const ParametresModele &parametres, EspaceTravail &espace, bool echelle);

// L'entraînement complet sur le document (Formation déjà remplie) : séquences découpées, refus
// d'une séquence que le modèle ne génère pas (nommée par son numéro), calcul exact quand chaque
// P(O_k|λ) (et chaque chemin de Viterbi) est dans la plage de l'étendu, mis à l'échelle sinon ;
// boucle avec les mêmes arrêts et points d'observation qu'une séquence, puis report.
IssueEntrainement EntrainerFormation(Entrainement type, DocumentModele &document, EspaceTravail &espace,
                                     ObservateurEntrainement *observateur, ModeCalcul mode);
// Le même calcul sans document, sur des paramètres déjà tirés du modèle ; rien n'est reporté.
IssueEntrainement EntrainerParametresFormation(Entrainement type, ParametresModele &parametres,
                                               EspaceTravail &espace, ObservateurEntrainement *observateur,
                                               ModeCalcul mode);
// La boucle seule, sur des paramètres et des séquences déjà découpées (tests) ; `echelle` :
// ᾱ, β̂ et le Viterbi ramené au lieu du calcul exact.
IssueEntrainement BouclerFormation(Entrainement type, ParametresModele &parametres, EspaceTravail &espace,
                                   ObservateurEntrainement *observateur, bool echelle);
// Découpe chaque séquence de Formation (Observations, Longueur) ; la première reste aussi dans
// Observations / SequenceObservations.
void DecouperFormation(const ParametresModele &parametres, EspaceTravail &espace);

// Le texte de P(O_k|λ) de la séquence k (1..K), ou du produit pour k = 0.
QString TexteProbabiliteFormation(const EspaceTravail &espace, int k, int chiffres = 15);
