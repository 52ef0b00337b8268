#include "algorithms/entrainement_viterbi.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "model/document.h"
#include "model/parametres.h"

namespace {

// Les passes sont au plus deux ; la borne ne sert que de garde-fou.
constexpr int PassesMax = 100;

void passe(ParametresModele &p, EspaceTravail &e)
{
    using LD = long double;
    const int N = p.N, M = p.M, T = e.LongueurSequence;
    const VecteurVerifie<int> &Q = e.CheminViterbi;

    for (int i = 1; i <= N; ++i)
        p.PI[i] = (Q[1] == i) ? 1 : 0;
    bool stable = true;

    for (int i = 1; i <= N; ++i) {
        int depuis = 0;
        for (int t = 1; t <= T - 1; ++t)
            if (Q[t] == i)
                ++depuis;
        e.NombreDepuis[i] = depuis;
        for (int j = 1; j <= N; ++j) {
            int n = 0;
            if (depuis != 0)
                for (int t = 1; t <= T - 1; ++t)
                    if (Q[t] == i && Q[t + 1] == j)
                        ++n;
            e.NombreTransitions(i, j) = n;
            if (depuis == 0)
                continue;
            const LD nouveau = LD(n) / LD(depuis);
            if (stable)
                stable = (p.A[i][j] == nouveau);
            p.A[i][j] = nouveau;
        }
    }

    for (int i = 1; i <= N; ++i) {
        int etat = 0;
        for (int t = 1; t <= T; ++t)
            if (Q[t] == i)
                ++etat;
        e.NombreEtat[i] = etat;
        for (int k = 1; k <= M; ++k) {
            int n = 0;
            if (etat != 0)
                for (int t = 1; t <= T; ++t)
                    if (Q[t] == i && e.Observations[t] == k)
                        ++n;
            e.NombreGeneration(i, k) = n;
            if (etat == 0)
                continue;
            const LD nouveau = LD(n) / LD(etat);
            if (stable)
                stable = (p.B[i][k] == nouveau);
            p.B[i][k] = nouveau;
        }
    }
    e.Stable = stable;
    CalculerForward(p, e);
}

}

IssueEntrainement BouclerViterbi(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    CalculerViterbi(p, e);
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    if (obs)
        obs->Debut(Entrainement::Viterbi, p, e);
    const int L = p.N + 1;
    e.NombreDepuis.resize(std::size_t(L));
    e.NombreEtat.resize(std::size_t(L));
    e.NombreTransitions.Dimensionner(L, L);
    e.NombreGeneration.Dimensionner(L, p.M + 1);
    e.IterationCourante = 0;
    e.IterationsEffectuees = 0;
    do {
        ++e.IterationCourante;
        passe(p, e);
        e.IterationsEffectuees = e.IterationCourante;
        if (obs)
            obs->Iteration(Entrainement::Viterbi, p, e);
    } while (!e.Stable && e.IterationCourante < PassesMax);
    return IssueEntrainement::Termine;
}

IssueEntrainement EntrainerViterbi(DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs)
{
    PreparerEntrainement(doc, e);
    const IssueEntrainement issue = BouclerViterbi(doc.Parametres, e, obs);
    ConclureEntrainement(Entrainement::Viterbi, doc, e, obs);
    return issue;
}
