// Bancs d'essai : Forward, Backward, Viterbi et une itération de Baum-Welch à N = 99, M = 99,
// T = 1000, chacun à côté de la boucle directe (les formules telles qu'écrites, sur des
// vecteurs vérifiés imbriqués) ; et le coût par chemin de l'énumération. Avant de mesurer,
// chaque version du programme est comparée au bit près à sa boucle directe.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/enumeration.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "graph/nombres.h"
#include "model/parametres.h"

#include <QGuiApplication>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using LD = long double;
using Vecteur = VecteurVerifie<LD>;
using Table = VecteurVerifie<Vecteur>;

Table table(int lignes, int colonnes)
{
    Table t(std::size_t(lignes + 1));
    for (int i = 0; i <= lignes; ++i)
        t[i].resize(std::size_t(colonnes + 1));
    return t;
}

bool identiques(LD a, LD b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

// ---- Modèle de mesure : probabilités tapées en texte, lignes de somme voisine de 1 ----

struct Donnees {
    ParametresModele p;
    EspaceTravail e;
    std::vector<int> O;
};

Donnees modele(int N, int M, int T, unsigned graine)
{
    std::mt19937 g(graine);
    Donnees d;
    ParametresModele &p = d.p;
    p.N = N;
    p.M = M;
    for (int i = 1; i <= N; ++i)
        p.Noms[i] = QStringLiteral("E%1").arg(i);
    for (int k = 1; k <= M; ++k)
        p.Symboles[k] = QStringLiteral("s%1").arg(k);
    p.Dimensionner(N, M);
    auto valeur = [&](int n) {
        // Autour de 1/n, écrite comme on la taperait : "0.0123".
        const int v = int((0.5 + double(g() % 10000) / 10000.0) * 1000000.0 / n);
        return Nombres::VersExtended(QStringLiteral("0.%1").arg(v, 6, 10, QChar('0')));
    };
    for (int i = 1; i <= N; ++i) {
        p.PI[i] = valeur(N);
        for (int j = 1; j <= N; ++j)
            p.A[i][j] = valeur(N);
        for (int k = 1; k <= M; ++k)
            p.B[i][k] = valeur(M);
    }
    d.O.assign(std::size_t(T + 1), 0);
    d.e.LongueurSequence = T;
    d.e.Observations.resize(std::size_t(T + 1));
    for (int t = 1; t <= T; ++t) {
        d.O[std::size_t(t)] = 1 + int(g() % unsigned(M));
        d.e.Observations[t] = d.O[std::size_t(t)];
    }
    return d;
}

// ---- Boucles directes ----

LD forwardDirect(const ParametresModele &p, const std::vector<int> &O, int T, Table &alpha)
{
    const int N = p.N;
    for (int i = 1; i <= N; ++i)
        alpha[1][i] = p.PI[i] * p.B[i][O[std::size_t(1)]];
    for (int t = 1; t <= T - 1; ++t)
        for (int j = 1; j <= N; ++j) {
            LD s = 0;
            for (int i = 1; i <= N; ++i)
                s = s + alpha[t][i] * p.A[i][j];
            alpha[t + 1][j] = s * p.B[j][O[std::size_t(t + 1)]];
        }
    LD P = 0;
    for (int i = 1; i <= N; ++i)
        P = P + alpha[T][i];
    return P;
}

LD backwardDirect(const ParametresModele &p, const std::vector<int> &O, int T, Table &beta)
{
    const int N = p.N;
    for (int i = 1; i <= N; ++i)
        beta[T][i] = 1;
    for (int t = T - 1; t >= 1; --t)
        for (int i = 1; i <= N; ++i) {
            LD s = 0;
            for (int j = 1; j <= N; ++j)
                s = s + beta[t + 1][j] * (p.A[i][j] * p.B[j][O[std::size_t(t + 1)]]);
            beta[t][i] = s;
        }
    LD P = 0;
    for (int i = 1; i <= N; ++i)
        P = P + (p.PI[i] * beta[1][i]) * p.B[i][O[std::size_t(1)]];
    return P;
}

LD viterbiDirect(const ParametresModele &p, const std::vector<int> &O, int T, Table &delta,
                 VecteurVerifie<VecteurVerifie<int>> &psi, VecteurVerifie<int> &Q)
{
    const int N = p.N;
    for (int i = 1; i <= N; ++i) {
        delta[1][i] = p.PI[i] * p.B[i][O[std::size_t(1)]];
        psi[1][i] = 0;
    }
    for (int t = 2; t <= T; ++t)
        for (int j = 1; j <= N; ++j) {
            LD best = 0;
            int arg = 1;
            for (int i = 1; i <= N; ++i) {
                const LD v = delta[t - 1][i] * p.A[i][j];
                if (best < v) {
                    best = v;
                    arg = i;
                }
            }
            delta[t][j] = best * p.B[j][O[std::size_t(t)]];
            psi[t][j] = arg;
        }
    LD P = 0;
    Q[T] = 1;
    for (int i = 1; i <= N; ++i)
        if (P < delta[T][i]) {
            P = delta[T][i];
            Q[T] = i;
        }
    for (int t = T - 1; t >= 1; --t)
        Q[t] = psi[t + 1][Q[t + 1]];
    return P;
}

struct TablesDirectes {
    Table alpha, beta, gamma;
    VecteurVerifie<Table> xi;
    TablesDirectes(int T, int N) : alpha(table(T, N)), beta(table(T, N)), gamma(table(T, N)), xi(std::size_t(T + 1))
    {
        for (int t = 0; t <= T; ++t)
            xi[t] = table(N, N);
    }
};

// Une itération de Baum-Welch telle qu'écrite (ξ complet, sommes par case). Rend Stable.
bool iterationDirecte(ParametresModele &p, const std::vector<int> &O, int T, TablesDirectes &d, LD &Papres)
{
    const int N = p.N, M = p.M;
    forwardDirect(p, O, T, d.alpha);
    const LD P = backwardDirect(p, O, T, d.beta);
    for (int t = 1; t <= T; ++t)
        for (int i = 1; i <= N; ++i)
            d.gamma[t][i] = (d.beta[t][i] * d.alpha[t][i]) / P;
    for (int t = 1; t <= T - 1; ++t)
        for (int i = 1; i <= N; ++i)
            for (int j = 1; j <= N; ++j)
                d.xi[t][i][j] = (((d.beta[t + 1][j] * d.alpha[t][i]) * p.A[i][j]) * p.B[j][O[std::size_t(t + 1)]]) / P;
    bool stable = true;
    for (int i = 1; i <= N; ++i) {
        if (stable)
            stable = (p.PI[i] == d.gamma[1][i]);
        p.PI[i] = d.gamma[1][i];
    }
    auto nouveau = [](LD n, LD q, LD ancien) {
        const LD v = n / q;
        return std::isnan(v) ? ancien : v;
    };
    for (int i = 1; i <= N; ++i) {
        LD dd = 0;
        for (int t = 1; t <= T - 1; ++t)
            dd = dd + d.gamma[t][i];
        for (int j = 1; j <= N; ++j) {
            LD n = 0;
            for (int t = 1; t <= T - 1; ++t)
                n = n + d.xi[t][i][j];
            const LD v = nouveau(n, dd, p.A[i][j]);
            if (stable)
                stable = (p.A[i][j] == v);
            p.A[i][j] = v;
        }
        LD e = 0;
        for (int t = 1; t <= T; ++t)
            e = e + d.gamma[t][i];
        for (int k = 1; k <= M; ++k) {
            LD g = 0;
            for (int t = 1; t <= T; ++t)
                if (O[std::size_t(t)] == k)
                    g = g + d.gamma[t][i];
            const LD v = nouveau(g, e, p.B[i][k]);
            if (stable)
                stable = (p.B[i][k] == v);
            p.B[i][k] = v;
        }
    }
    Papres = forwardDirect(p, O, T, d.alpha);
    return stable;
}

// ---- Vérifications d'identité, une fois avant les mesures ----

constexpr int N0 = 99, M0 = 99, T0 = 1000;

Donnees &donnees()
{
    static Donnees d = modele(N0, M0, T0, 2024);
    return d;
}

bool verifier()
{
    Donnees &d = donnees();
    const ParametresModele &p = d.p;
    EspaceTravail e = d.e;
    bool ok = true;
    auto compter = [&](bool egal, const char *quoi) {
        if (!egal) {
            std::fprintf(stderr, "ÉCART : %s\n", quoi);
            ok = false;
        }
    };
    Table alpha = table(T0, N0), beta = table(T0, N0), delta = table(T0, N0);
    VecteurVerifie<VecteurVerifie<int>> psi(T0 + 1);
    for (int t = 0; t <= T0; ++t)
        psi[t].resize(N0 + 1);
    VecteurVerifie<int> Q(T0 + 1);

    const LD Pf = forwardDirect(p, d.O, T0, alpha);
    CalculerForward(p, e);
    bool egal = identiques(Pf, e.Probabilite);
    for (int t = 1; t <= T0; ++t)
        for (int i = 1; i <= N0; ++i)
            egal = egal && identiques(alpha[t][i], e.Alpha(t, i));
    compter(egal, "Forward");

    const LD Pb = backwardDirect(p, d.O, T0, beta);
    CalculerBackward(p, e);
    egal = identiques(Pb, e.Probabilite);
    for (int t = 1; t <= T0; ++t)
        for (int i = 1; i <= N0; ++i)
            egal = egal && identiques(beta[t][i], e.Beta(t, i));
    compter(egal, "Backward");

    const LD Pv = viterbiDirect(p, d.O, T0, delta, psi, Q);
    CalculerViterbi(p, e);
    egal = identiques(Pv, e.Probabilite);
    for (int t = 1; t <= T0; ++t) {
        egal = egal && Q[t] == e.CheminViterbi[t];
        for (int i = 1; i <= N0; ++i)
            egal = egal && identiques(delta[t][i], e.Delta(t, i)) && psi[t][i] == e.Psi(t, i);
    }
    compter(egal, "Viterbi");

    ParametresModele p1 = p, p2 = p;
    TablesDirectes td(T0, N0);
    LD Pd = 0;
    const bool stable = iterationDirecte(p1, d.O, T0, td, Pd);
    EspaceTravail e2 = d.e;
    IterationBaumWelch(p2, e2);
    egal = identiques(Pd, e2.Probabilite) && stable == e2.Stable;
    for (int i = 1; i <= N0; ++i) {
        egal = egal && identiques(p1.PI[i], p2.PI[i]);
        for (int j = 1; j <= N0; ++j)
            egal = egal && identiques(p1.A[i][j], p2.A[i][j]);
        for (int k = 1; k <= M0; ++k)
            egal = egal && identiques(p1.B[i][k], p2.B[i][k]);
    }
    compter(egal, "itération de Baum-Welch");
    std::fprintf(stderr, "Identité au bit près (Forward, Backward, Viterbi, Baum-Welch) : %s\n",
                 ok ? "vérifiée" : "ÉCHEC");
    return ok;
}

// ---- Mesures ----

void BM_ForwardDirect(benchmark::State &s)
{
    Donnees &d = donnees();
    Table alpha = table(T0, N0);
    for (auto _ : s)
        benchmark::DoNotOptimize(forwardDirect(d.p, d.O, T0, alpha));
}
void BM_Forward(benchmark::State &s)
{
    Donnees &d = donnees();
    EspaceTravail e = d.e;
    for (auto _ : s) {
        CalculerForward(d.p, e);
        benchmark::DoNotOptimize(e.Probabilite);
    }
}
void BM_BackwardDirect(benchmark::State &s)
{
    Donnees &d = donnees();
    Table beta = table(T0, N0);
    for (auto _ : s)
        benchmark::DoNotOptimize(backwardDirect(d.p, d.O, T0, beta));
}
void BM_Backward(benchmark::State &s)
{
    Donnees &d = donnees();
    EspaceTravail e = d.e;
    for (auto _ : s) {
        CalculerBackward(d.p, e);
        benchmark::DoNotOptimize(e.Probabilite);
    }
}
void BM_ViterbiDirect(benchmark::State &s)
{
    Donnees &d = donnees();
    Table delta = table(T0, N0);
    VecteurVerifie<VecteurVerifie<int>> psi(T0 + 1);
    for (int t = 0; t <= T0; ++t)
        psi[t].resize(N0 + 1);
    VecteurVerifie<int> Q(T0 + 1);
    for (auto _ : s)
        benchmark::DoNotOptimize(viterbiDirect(d.p, d.O, T0, delta, psi, Q));
}
void BM_Viterbi(benchmark::State &s)
{
    Donnees &d = donnees();
    EspaceTravail e = d.e;
    for (auto _ : s) {
        CalculerViterbi(d.p, e);
        benchmark::DoNotOptimize(e.Probabilite);
    }
}
void BM_IterationBaumWelchDirecte(benchmark::State &s)
{
    Donnees &d = donnees();
    TablesDirectes td(T0, N0);
    for (auto _ : s) {
        s.PauseTiming();
        ParametresModele p = d.p;
        s.ResumeTiming();
        LD P = 0;
        benchmark::DoNotOptimize(iterationDirecte(p, d.O, T0, td, P));
    }
}
void BM_IterationBaumWelch(benchmark::State &s)
{
    Donnees &d = donnees();
    EspaceTravail e = d.e;
    for (auto _ : s) {
        s.PauseTiming();
        ParametresModele p = d.p;
        s.ResumeTiming();
        IterationBaumWelch(p, e);
        benchmark::DoNotOptimize(e.Probabilite);
    }
}

// Énumération : N = 3, T = 12 (531 441 chemins) ; coût par chemin, rappel de fin de chemin compris.
void BM_EnumerationParChemin(benchmark::State &s)
{
    static Donnees d = modele(3, 4, 12, 7);
    EspaceTravail e = d.e;
    long long chemins = 0;
    int rappels = 0;
    SuiviEnumeration suivi{nullptr, [&] { ++rappels; }};
    for (auto _ : s) {
        EnumererChemins(d.p, e, suivi);
        chemins += e.CheminsEvalues;
    }
    s.SetItemsProcessed(chemins);
    // Secondes par chemin (affiché avec son préfixe : 250n = 250 ns).
    s.counters["par_chemin"] =
        benchmark::Counter(double(chemins), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ForwardDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Forward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackwardDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViterbiDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Viterbi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IterationBaumWelchDirecte)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IterationBaumWelch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerationParChemin)->Unit(benchmark::kMillisecond);

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Nombres::DefinirSeparateur(QChar('.'));
    if (!verifier())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
