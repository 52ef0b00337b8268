// Les noyaux du programme à côté de ceux de GHMM (bibliothèque C de modèles de Markov cachés,
// double précision mise à l'échelle), sur les mêmes modèles et les mêmes séquences que
// bench_familles : Forward, Backward, Viterbi et une itération de Baum-Welch. Construit
// seulement quand GHMM est installé (libghmm-dev) ; il ne sert qu'à mesurer.
//   bench_ghmm [options de Google Benchmark]
#include "familles.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

extern "C" {
#include <ghmm/foba.h>
#include <ghmm/model.h>
#include <ghmm/reestimate.h>
#include <ghmm/viterbi.h>

// L'archive de GHMM appelle ces fonctions d'ATLAS pour ses modèles continus seulement ; la
// LAPACK de référence ne les a pas. Jamais appelées ici.
int clapack_dgetrf() { std::abort(); }
int clapack_dgetri() { std::abort(); }
int clapack_dpotrf() { std::abort(); }
}

namespace {

using Bancs::Famille;

using Bancs::LesCas;

// Le même λ chez GHMM : états 0..N-1, symboles 0..M-1, arcs existants seulement (listes
// d'arcs entrants et sortants, comme GHMM les range).
ghmm_dmodel *modeleGhmm(const ParametresModele &p)
{
    const int N = p.N, M = p.M;
    std::vector<int> entrants(std::size_t(N), 0), sortants(std::size_t(N), 0);
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j)
            if (p.A[i][j] != 0) {
                ++sortants[std::size_t(i - 1)];
                ++entrants[std::size_t(j - 1)];
            }
    ghmm_dmodel *mo = ghmm_dmodel_calloc(M, N, GHMM_kDiscreteHMM, entrants.data(), sortants.data());
    if (!mo)
        return nullptr;
    mo->prior = -1;
    std::vector<int> nIn(std::size_t(N), 0), nOut(std::size_t(N), 0);
    for (int i = 1; i <= N; ++i) {
        ghmm_dstate &s = mo->s[i - 1];
        s.pi = double(p.PI[i]);
        s.in_states = entrants[std::size_t(i - 1)];
        s.out_states = sortants[std::size_t(i - 1)];
        for (int k = 1; k <= M; ++k)
            s.b[k - 1] = double(p.B[i][k]);
        for (int j = 1; j <= N; ++j)
            if (p.A[i][j] != 0) {
                const double a = double(p.A[i][j]);
                ghmm_dstate &d = mo->s[j - 1];
                s.out_id[nOut[std::size_t(i - 1)]] = j - 1;
                s.out_a[nOut[std::size_t(i - 1)]++] = a;
                d.in_id[nIn[std::size_t(j - 1)]] = i - 1;
                d.in_a[nIn[std::size_t(j - 1)]++] = a;
            }
    }
    return mo;
}

std::vector<int> sequenceGhmm(const EspaceTravail &e)
{
    std::vector<int> o;
    for (int t = 1; t <= e.LongueurSequence; ++t)
        o.push_back(e.Observations[t] - 1);
    return o;
}

struct Matrice {
    std::vector<double> cases;
    std::vector<double *> lignes;
    Matrice(int T, int N)
        : cases(std::size_t(T) * std::size_t(N)), lignes(std::size_t(T))
    {
        for (int t = 0; t < T; ++t)
            lignes[std::size_t(t)] = cases.data() + std::size_t(t) * std::size_t(N);
    }
};

using Bancs::Algo;

void ghmm(benchmark::State &st, int k, Algo a)
{
    Bancs::Donnees &d = Bancs::DonneesCas(k);
    ghmm_dmodel *mo = modeleGhmm(d.p);
    std::vector<int> o = sequenceGhmm(d.e);
    const int T = int(o.size()), N = d.p.N;
    Matrice alpha(T, N), beta(T, N);
    std::vector<double> echelle(static_cast<std::size_t>(T));
    double logp = 0;
    if (!mo || ghmm_dmodel_forward(mo, o.data(), T, alpha.lignes.data(), echelle.data(), &logp) != 0) {
        st.SkipWithError("GHMM refuse le modèle");
        return;
    }
    ghmm_dseq *sq = ghmm_dseq_calloc(1);
    sq->seq[0] = o.data();
    sq->seq_len[0] = T;
    sq->seq_w[0] = 1;
    sq->total_w = 1;
    for (auto _ : st) {
        switch (a) {
        case Algo::Forward:
            ghmm_dmodel_forward(mo, o.data(), T, alpha.lignes.data(), echelle.data(), &logp);
            break;
        case Algo::Backward:
            ghmm_dmodel_backward(mo, o.data(), T, beta.lignes.data(), echelle.data());
            break;
        case Algo::Viterbi: {
            int longueur = 0;
            int *chemin = ghmm_dmodel_viterbi(mo, o.data(), T, &longueur, &logp);
            std::free(chemin);
            break;
        }
        case Algo::BaumWelch: {
            st.PauseTiming();
            ghmm_dmodel *copie = ghmm_dmodel_copy(mo);
            st.ResumeTiming();
            ghmm_dmodel_baum_welch_nstep(copie, sq, 1, 0.0);
            st.PauseTiming();
            ghmm_dmodel_free(&copie);
            st.ResumeTiming();
            break;
        }
        }
        benchmark::DoNotOptimize(logp);
    }
    sq->seq[0] = nullptr;
    ghmm_dmodel_free(&mo);
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const char *noms[] = {"Forward", "Backward", "Viterbi", "IterationBaumWelch"};
    for (int k = 0; k < int(std::size(LesCas)); ++k)
        for (int a = 0; a < 4; ++a) {
            const std::string base = std::string(Bancs::Nom(LesCas[k].f)) + "/" + noms[a];
            benchmark::RegisterBenchmark((base + "/programme").c_str(), Bancs::Programme, k, Algo(a),
                                         ModeCalcul::Automatique)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark((base + "/programme_echelle").c_str(), Bancs::Programme, k, Algo(a),
                                         ModeCalcul::Echelle)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark((base + "/ghmm").c_str(), ghmm, k, Algo(a))
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
