// Bancs d'essai par famille de modèles : Forward, Backward, Viterbi et une itération de
// Baum-Welch du programme, chacun à côté de sa boucle simple (tableaux plats, ordre de la
// définition, aucun contrôle d'indice, ξ sommé sans être rangé). Avant de mesurer, chaque
// version du programme est comparée au bit près à sa boucle simple.
//   bench_familles [options de Google Benchmark]
// Les familles : dense N = 99 (T = 1000), chaîne de 97 états et 10 états à 98 arcs (T = 2000),
// modèle d'enseignement à 3 états (T = 100 000).
#include "familles.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/evaluation.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>

extern char **environ;

namespace {

using LD = long double;
using Bancs::Famille;

// ---- Boucles simples ----

struct Plat {
    int N = 0, M = 0, T = 0, L = 1;
    std::vector<LD> PI, A, B; // A[i * L + j], B[i * (M + 1) + k]
    std::vector<int> O;
    std::vector<LD> alpha, beta, delta, gamma; // [t * L + i]
    std::vector<int> psi, Q;

    void Charger(const ParametresModele &p, const EspaceTravail &e)
    {
        N = p.N;
        M = p.M;
        T = e.LongueurSequence;
        L = N + 1;
        PI.assign(std::size_t(L), 0);
        A.assign(std::size_t(L * L), 0);
        B.assign(std::size_t(L * (M + 1)), 0);
        for (int i = 1; i <= N; ++i) {
            PI[std::size_t(i)] = p.PI[i];
            for (int j = 1; j <= N; ++j)
                A[std::size_t(i * L + j)] = p.A[i][j];
            for (int k = 0; k <= M; ++k)
                B[std::size_t(i * (M + 1) + k)] = p.B[i][k];
        }
        O.assign(std::size_t(T) + 1, 0);
        for (int t = 1; t <= T; ++t)
            O[std::size_t(t)] = e.Observations[t];
        const std::size_t n = std::size_t(T + 1) * std::size_t(L);
        alpha.assign(n, 0);
        beta.assign(n, 0);
        delta.assign(n, 0);
        gamma.assign(n, 0);
        psi.assign(n, 0);
        Q.assign(std::size_t(T) + 1, 0);
    }
    LD b(int i, int t) const { return B[std::size_t(i * (M + 1) + O[std::size_t(t)])]; }
    LD a(int i, int j) const { return A[std::size_t(i * L + j)]; }

    LD Forward()
    {
        LD *al = alpha.data();
        for (int i = 1; i <= N; ++i)
            al[L + i] = PI[std::size_t(i)] * b(i, 1);
        for (int t = 1; t < T; ++t)
            for (int j = 1; j <= N; ++j) {
                LD s = 0;
                for (int i = 1; i <= N; ++i)
                    s = s + al[t * L + i] * a(i, j);
                al[(t + 1) * L + j] = s * b(j, t + 1);
            }
        LD P = 0;
        for (int i = 1; i <= N; ++i)
            P = P + al[T * L + i];
        return P;
    }
    LD Backward()
    {
        LD *be = beta.data();
        for (int i = 1; i <= N; ++i)
            be[T * L + i] = 1;
        for (int t = T - 1; t >= 1; --t)
            for (int i = 1; i <= N; ++i) {
                LD s = 0;
                for (int j = 1; j <= N; ++j)
                    s = s + be[(t + 1) * L + j] * (a(i, j) * b(j, t + 1));
                be[t * L + i] = s;
            }
        LD P = 0;
        for (int i = 1; i <= N; ++i)
            P = P + (PI[std::size_t(i)] * be[L + i]) * b(i, 1);
        return P;
    }
    LD Viterbi()
    {
        LD *d = delta.data();
        for (int i = 1; i <= N; ++i) {
            d[L + i] = PI[std::size_t(i)] * b(i, 1);
            psi[std::size_t(L + i)] = 0;
        }
        for (int t = 2; t <= T; ++t)
            for (int j = 1; j <= N; ++j) {
                LD m = 0;
                int arg = 1;
                for (int i = 1; i <= N; ++i) {
                    const LD v = d[(t - 1) * L + i] * a(i, j);
                    if (m < v) {
                        m = v;
                        arg = i;
                    }
                }
                d[t * L + j] = m * b(j, t);
                psi[std::size_t(t * L + j)] = arg;
            }
        LD P = 0;
        int q = 1;
        for (int i = 1; i <= N; ++i)
            if (P < d[T * L + i]) {
                P = d[T * L + i];
                q = i;
            }
        Q[std::size_t(T)] = q;
        for (int t = T - 1; t >= 1; --t)
            Q[std::size_t(t)] = psi[std::size_t((t + 1) * L + Q[std::size_t(t + 1)])];
        return P;
    }
    // Forward, Backward, γ, sommes de ξ (t croissant pour chaque case), réestimation (0/0
    // garde l'ancienne valeur), puis Forward du modèle réestimé, comme une itération du programme.
    LD IterationBaumWelch()
    {
        Forward();
        const LD P = Backward();
        for (int t = 1; t <= T; ++t)
            for (int i = 1; i <= N; ++i)
                gamma[std::size_t(t * L + i)] = (beta[std::size_t(t * L + i)] * alpha[std::size_t(t * L + i)]) / P;
        std::vector<LD> n(std::size_t(L * L), 0);
        for (int t = 1; t < T; ++t)
            for (int i = 1; i <= N; ++i)
                for (int j = 1; j <= N; ++j)
                    n[std::size_t(i * L + j)] =
                        n[std::size_t(i * L + j)] +
                        (((beta[std::size_t((t + 1) * L + j)] * alpha[std::size_t(t * L + i)]) * a(i, j)) * b(j, t + 1)) / P;
        auto q = [](LD x, LD y, LD ancien) {
            const LD r = x / y;
            return r != r ? ancien : r;
        };
        for (int i = 1; i <= N; ++i)
            PI[std::size_t(i)] = gamma[std::size_t(L + i)];
        std::vector<LD> g(std::size_t(M) + 1);
        for (int i = 1; i <= N; ++i) {
            LD d = 0;
            for (int t = 1; t < T; ++t)
                d = d + gamma[std::size_t(t * L + i)];
            const LD e = d + gamma[std::size_t(T * L + i)];
            for (int j = 1; j <= N; ++j)
                A[std::size_t(i * L + j)] = q(n[std::size_t(i * L + j)], d, A[std::size_t(i * L + j)]);
            std::fill(g.begin(), g.end(), 0.0L);
            for (int t = 1; t <= T; ++t)
                if (O[std::size_t(t)] >= 1)
                    g[std::size_t(O[std::size_t(t)])] = g[std::size_t(O[std::size_t(t)])] + gamma[std::size_t(t * L + i)];
            for (int k = 1; k <= M; ++k)
                B[std::size_t(i * (M + 1) + k)] = q(g[std::size_t(k)], e, B[std::size_t(i * (M + 1) + k)]);
        }
        return Forward();
    }
};

bool identiques(LD a, LD b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

using Bancs::LesCas;

// Le programme et la boucle simple donnent les mêmes bits (α, β, δ, ψ, P, et après une
// itération de Baum-Welch π, A, B et P).
bool verifier(int k)
{
    Bancs::Donnees d = Bancs::DonneesCas(k);
    Plat s;
    s.Charger(d.p, d.e);
    const int T = s.T, N = s.N, L = s.L;
    int ecarts = 0;
    CalculerForward(d.p, d.e);
    ecarts += !identiques(d.e.Probabilite, s.Forward());
    CalculerBackward(d.p, d.e);
    ecarts += !identiques(d.e.Probabilite, s.Backward());
    CalculerViterbi(d.p, d.e);
    ecarts += !identiques(d.e.Probabilite, s.Viterbi());
    for (int t = 1; t <= T; ++t) {
        ecarts += d.e.CheminViterbi[t] != s.Q[std::size_t(t)];
        for (int i = 1; i <= N; ++i) {
            ecarts += !identiques(d.e.Alpha(t, i), s.alpha[std::size_t(t * L + i)]);
            ecarts += !identiques(d.e.Beta(t, i), s.beta[std::size_t(t * L + i)]);
            ecarts += !identiques(d.e.Delta(t, i), s.delta[std::size_t(t * L + i)]);
            ecarts += d.e.Psi(t, i) != s.psi[std::size_t(t * L + i)];
        }
    }
    IterationBaumWelch(d.p, d.e);
    ecarts += !identiques(d.e.Probabilite, s.IterationBaumWelch());
    for (int i = 1; i <= N; ++i) {
        ecarts += !identiques(d.p.PI[i], s.PI[std::size_t(i)]);
        for (int j = 1; j <= N; ++j)
            ecarts += !identiques(d.p.A[i][j], s.a(i, j));
        for (int m = 1; m <= s.M; ++m)
            ecarts += !identiques(d.p.B[i][m], s.B[std::size_t(i * (s.M + 1) + m)]);
    }
    if (ecarts)
        std::fprintf(stderr, "%s : %d écarts avec la boucle simple\n", Bancs::Nom(LesCas[k].f), ecarts);
    return ecarts == 0;
}

using Bancs::Algo;

void simple(benchmark::State &st, int k, Algo a)
{
    Bancs::Donnees &d = Bancs::DonneesCas(k);
    Plat s;
    s.Charger(d.p, d.e);
    const Plat depart = s;
    for (auto _ : st) {
        LD P = 0;
        switch (a) {
        case Algo::Forward:
            P = s.Forward();
            break;
        case Algo::Backward:
            P = s.Backward();
            break;
        case Algo::Viterbi:
            P = s.Viterbi();
            break;
        case Algo::BaumWelch:
            s.PI = depart.PI;
            s.A = depart.A;
            s.B = depart.B;
            P = s.IterationBaumWelch();
            break;
        }
        benchmark::DoNotOptimize(P);
    }
}

// Démarrage de hmmcalc : temps processeur du processus entier (enfant), à côté du démarrage nu
// (« hmmcalc --help » : Qt chargé, aucun modèle lu) et d'un processus vide (/bin/true).
double cpuEnfant(const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    rusage avant{}, apres{};
    getrusage(RUSAGE_CHILDREN, &avant);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int statut = 0;
    waitpid(pid, &statut, 0);
    getrusage(RUSAGE_CHILDREN, &apres);
    auto ms = [](const rusage &r) {
        return (double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
                double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3);
    };
    return ms(apres) - ms(avant);
}

void demarrage(benchmark::State &st, std::vector<std::string> arguments)
{
    for (auto _ : st) {
        const double ms = cpuEnfant(arguments);
        if (ms < 0) {
            st.SkipWithError("hmmcalc introuvable");
            return;
        }
        st.SetIterationTime(ms / 1e3);
    }
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], "--modeles") == 0) {
        // Écrit chaine97.hmm et ergodique10.hmm (T = 2000, séquences en .txt) pour hmmcalc --chrono,
        // le même λ en nombres (.lambda, pour bench_processus), et pour chaque T donné ensuite
        // une séquence X_T.txt (bench/mesurer_processus.sh).
        for (const Famille f : {Famille::Chaine97, Famille::Ergodique10}) {
            const Bancs::Donnees d = Bancs::Modele(f, 2000);
            const QString base = QDir(QString::fromLocal8Bit(argv[2])).filePath(QLatin1String(Bancs::Nom(f)));
            if (!Bancs::EcrireFichier(d.p, base + QStringLiteral(".hmm")))
                return 1;
            const auto ecrire = [](const QString &chemin, const QByteArray &octets) {
                QFile s(chemin);
                return s.open(QIODevice::WriteOnly) && s.write(octets) == octets.size();
            };
            if (!ecrire(base + QStringLiteral(".txt"), d.e.SequenceObservations.toUtf8()))
                return 1;
            QByteArray l = QByteArray::number(d.p.N) + ' ' + QByteArray::number(d.p.M) + '\n';
            for (int k = 1; k <= d.p.M; ++k)
                l += d.p.Symboles[k].toUtf8() + (k < d.p.M ? ' ' : '\n');
            const auto nombre = [](long double x) {
                char t[64];
                std::snprintf(t, sizeof t, "%.17Lg", x);
                return QByteArray(t);
            };
            for (int i = 1; i <= d.p.N; ++i)
                l += nombre(d.p.PI[i]) + (i < d.p.N ? ' ' : '\n');
            for (int i = 1; i <= d.p.N; ++i)
                for (int j = 1; j <= d.p.N; ++j)
                    l += nombre(d.p.A[i][j]) + (j < d.p.N ? ' ' : '\n');
            for (int i = 1; i <= d.p.N; ++i)
                for (int k = 1; k <= d.p.M; ++k)
                    l += nombre(d.p.B[i][k]) + (k < d.p.M ? ' ' : '\n');
            if (!ecrire(base + QStringLiteral(".lambda"), l))
                return 1;
            for (int a = 3; a < argc; ++a) {
                const int T = std::atoi(argv[a]);
                if (T < 1 || !ecrire(base + QStringLiteral("_%1.txt").arg(T), Bancs::Modele(f, T).e.SequenceObservations.toUtf8()))
                    return 1;
            }
        }
        return 0;
    }
    bool ok = true;
    for (int k = 0; k < int(std::size(LesCas)); ++k)
        ok &= verifier(k);
    if (!ok)
        return 1;
    const char *noms[] = {"Forward", "Backward", "Viterbi", "IterationBaumWelch"};
    for (int k = 0; k < int(std::size(LesCas)); ++k)
        for (int a = 0; a < 4; ++a) {
            const std::string base = std::string(Bancs::Nom(LesCas[k].f)) + "/" + noms[a];
            benchmark::RegisterBenchmark((base + "/simple").c_str(), simple, k, Algo(a))
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
            benchmark::RegisterBenchmark((base + "/programme").c_str(), Bancs::Programme, k, Algo(a),
                                         ModeCalcul::Automatique)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime();
        }
    // Le démarrage de hmmcalc sur la chaîne de 97 états, T = 1.
    QTemporaryDir dossier;
    const QString chaine = dossier.filePath(QStringLiteral("chaine97.hmm"));
    const Bancs::Donnees c = Bancs::Modele(Famille::Chaine97, 1);
    if (Bancs::EcrireFichier(c.p, chaine)) {
        const std::string hmmcalc = HMMCALC;
        // Le plancher : un processus qui ne fait rien (création et fin du processus seules).
        benchmark::RegisterBenchmark("demarrage/processus vide", demarrage, std::vector<std::string>{"/bin/true"})
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(20);
        benchmark::RegisterBenchmark("demarrage/hmmcalc --help/nu", demarrage, std::vector<std::string>{hmmcalc, "--help"})
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(20);
        benchmark::RegisterBenchmark("demarrage/hmmcalc forward chaine97 T=1", demarrage,
                                     std::vector<std::string>{hmmcalc, "forward", chaine.toStdString(),
                                                              c.e.SequenceObservations.toStdString(), "--mot"})
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(20);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
