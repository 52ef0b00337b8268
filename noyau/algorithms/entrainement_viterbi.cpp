#include "algorithms/entrainement_viterbi.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "model/parametres.h"

#include <algorithm>

namespace {

// Les passes sont au plus deux ; la borne ne sert que de garde-fou.
constexpr int PassesMax = 100;

}

void ViderComptes(int N, int M, EspaceTravail &e)
{
    for (int i = 1; i <= N; ++i) {
        e.NombreDepuis[i] = 0;
        e.NombreEtat[i] = 0;
        int *nt = e.NombreTransitions.LigneBrute(i);
        int *ng = e.NombreGeneration.LigneBrute(i);
        std::fill(nt + 1, nt + N + 1, 0);
        std::fill(ng + 1, ng + M + 1, 0);
    }
}

void AjouterComptes(int N, int M, const VecteurVerifie<int> &Q, const VecteurVerifie<int> &O, int T, EspaceTravail &e)
{
    for (int t = 1; t <= T; ++t) {
        const int i = Q[t];
        if (i < 1 || i > N)
            continue;
        ++e.NombreEtat[i];
        const int k = O[t];
        if (k >= 1 && k <= M)
            ++e.NombreGeneration(i, k);
        if (t <= T - 1) {
            ++e.NombreDepuis[i];
            const int j = Q[t + 1];
            if (j >= 1 && j <= N)
                ++e.NombreTransitions(i, j);
        }
    }
}

bool ReestimerParComptes(ParametresModele &p, const EspaceTravail &e)
{
    using LD = long double;
    const int N = p.N, M = p.M;
    bool stable = true;
    for (int i = 1; i <= N; ++i) {
        const int depuis = e.NombreDepuis[i];
        if (depuis == 0)
            continue;
        for (int j = 1; j <= N; ++j)
            Remplacer(p.A[i][j], LD(e.NombreTransitions(i, j)) / LD(depuis), stable);
    }
    for (int i = 1; i <= N; ++i) {
        const int etat = e.NombreEtat[i];
        if (etat == 0)
            continue;
        for (int k = 1; k <= M; ++k)
            Remplacer(p.B[i][k], LD(e.NombreGeneration(i, k)) / LD(etat), stable);
    }
    return stable;
}

void PasseViterbi(ParametresModele &p, EspaceTravail &e)
{
    const int N = p.N, M = p.M;
    const VecteurVerifie<int> &Q = e.CheminViterbi;
    for (int i = 1; i <= N; ++i)
        p.PI[i] = (Q[1] == i) ? 1 : 0;
    // Les comptes en un seul parcours du chemin (au lieu d'un parcours par case) ; les
    // réestimations suivent ensuite l'ordre des cases de la définition.
    ViderComptes(N, M, e);
    AjouterComptes(N, M, Q, e.Observations, e.LongueurSequence, e);
    e.Stable = ReestimerParComptes(p, e);
}

void DimensionnerComptes(int N, int M, EspaceTravail &e)
{
    const int L = N + 1;
    e.NombreDepuis.resize(std::size_t(L));
    e.NombreEtat.resize(std::size_t(L));
    e.NombreTransitions.Dimensionner(L, L);
    e.NombreGeneration.Dimensionner(L, M + 1);
}

IssueEntrainement DeroulerPassesViterbi(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs,
                                        const std::function<void()> &passe)
{
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    if (obs)
        obs->Debut(Entrainement::Viterbi, p, e);
    DimensionnerComptes(p.N, p.M, e);
    e.IterationCourante = 0;
    e.IterationsEffectuees = 0;
    do {
        ++e.IterationCourante;
        passe();
        e.IterationsEffectuees = e.IterationCourante;
        if (obs)
            obs->Iteration(Entrainement::Viterbi, p, e);
    } while (!e.Stable && e.IterationCourante < PassesMax);
    return IssueEntrainement::Termine;
}

IssueEntrainement BouclerViterbi(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    CalculerViterbi(p, e);
    return DeroulerPassesViterbi(p, e, obs, [&] {
        PasseViterbi(p, e);
        CalculerForward(p, e);
    });
}

