// Les programmes d'en face pour la mesure de processus entiers (bench/mesurer_processus.sh) :
// lire λ et la séquence, faire un calcul, écrire log10 P. Sans Qt, comme un petit outil C :
//   bench_processus ghmm|simple forward|backward|viterbi|baumwelch MODELE.lambda SEQUENCE.txt
//   bench_processus mesurer ENTREE COMMANDE... : lance COMMANDE (entrée standard ENTREE, sortie
//   jetée) et écrit « ms Mo », son temps processeur (utilisateur + système, à la microseconde)
//   et son plus grand résident ; code 1 quand elle échoue.
// MODELE.lambda (écrit par « bench_familles --modeles ») : « N M », les M symboles, π, puis les
// N lignes de A et les N lignes de B. SEQUENCE.txt : les symboles séparés par des espaces, le
// texte que lit « hmmcalc ... --mot ».
// « simple » : boucles directes en double sur tableaux plats (denses), mises à l'échelle.
// « ghmm » : la bibliothèque GHMM (construit seulement quand elle est installée).
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#ifdef HMM_AVEC_GHMM
extern "C" {
#include <ghmm/foba.h>
#include <ghmm/model.h>
#include <ghmm/reestimate.h>
#include <ghmm/viterbi.h>
// Fonctions d'ATLAS que l'archive de GHMM appelle pour ses modèles continus seulement.
int clapack_dgetrf() { std::abort(); }
int clapack_dgetri() { std::abort(); }
int clapack_dpotrf() { std::abort(); }
}
#endif

namespace {

struct Lambda {
    int N = 0, M = 0;
    std::vector<double> pi, a, b; // a[i * N + j], b[i * M + k]
};

[[noreturn]] void echec(const char *quoi)
{
    std::fprintf(stderr, "bench_processus : %s\n", quoi);
    std::exit(2);
}

Lambda lireLambda(const char *chemin, std::unordered_map<std::string, int> &symboles)
{
    FILE *f = std::fopen(chemin, "r");
    if (!f)
        echec("modèle illisible");
    Lambda l;
    if (std::fscanf(f, "%d %d", &l.N, &l.M) != 2 || l.N < 1 || l.M < 1)
        echec("en-tête du modèle");
    char mot[256];
    for (int k = 0; k < l.M; ++k) {
        if (std::fscanf(f, "%255s", mot) != 1)
            echec("symboles");
        symboles[mot] = k;
    }
    const auto lire = [&](std::vector<double> &v, std::size_t n) {
        v.resize(n);
        for (double &x : v)
            if (std::fscanf(f, "%lf", &x) != 1)
                echec("probabilités");
    };
    lire(l.pi, std::size_t(l.N));
    lire(l.a, std::size_t(l.N) * std::size_t(l.N));
    lire(l.b, std::size_t(l.N) * std::size_t(l.M));
    std::fclose(f);
    return l;
}

std::vector<int> lireSequence(const char *chemin, const std::unordered_map<std::string, int> &symboles)
{
    FILE *f = std::fopen(chemin, "r");
    if (!f)
        echec("séquence illisible");
    std::vector<int> o;
    char mot[256];
    while (std::fscanf(f, "%255s", mot) == 1) {
        const auto it = symboles.find(mot);
        if (it == symboles.end())
            echec("symbole inconnu");
        o.push_back(it->second);
    }
    std::fclose(f);
    return o;
}

// Forward mis à l'échelle ; alpha (T × N) et c (T) quand ils sont donnés, sinon deux lignes.
double forward(const Lambda &l, const std::vector<int> &o, double *alpha, double *c)
{
    const int N = l.N, T = int(o.size());
    std::vector<double> x(static_cast<std::size_t>(N)), y(static_cast<std::size_t>(N));
    double logp = 0;
    for (int t = 0; t < T; ++t) {
        double *ligne = alpha ? alpha + std::size_t(t) * std::size_t(N) : y.data();
        const double *prec = alpha && t > 0 ? alpha + std::size_t(t - 1) * std::size_t(N) : x.data();
        double s = 0;
        for (int j = 0; j < N; ++j) {
            double v = 0;
            if (t == 0) {
                v = l.pi[std::size_t(j)];
            } else {
                for (int i = 0; i < N; ++i)
                    v += prec[i] * l.a[std::size_t(i * N + j)];
            }
            ligne[j] = v * l.b[std::size_t(j * l.M + o[std::size_t(t)])];
            s += ligne[j];
        }
        for (int j = 0; j < N; ++j)
            ligne[j] /= s;
        if (c)
            c[t] = s;
        logp += std::log(s);
        if (!alpha)
            std::swap(x, y);
    }
    return logp / std::log(10.0);
}

// Backward avec les facteurs du Forward.
void backward(const Lambda &l, const std::vector<int> &o, const double *c, double *beta)
{
    const int N = l.N, T = int(o.size());
    for (int i = 0; i < N; ++i)
        beta[std::size_t(T - 1) * std::size_t(N) + std::size_t(i)] = 1;
    for (int t = T - 2; t >= 0; --t)
        for (int i = 0; i < N; ++i) {
            double v = 0;
            for (int j = 0; j < N; ++j)
                v += l.a[std::size_t(i * N + j)] * l.b[std::size_t(j * l.M + o[std::size_t(t + 1)])] *
                     beta[std::size_t(t + 1) * std::size_t(N) + std::size_t(j)];
            beta[std::size_t(t) * std::size_t(N) + std::size_t(i)] = v / c[t + 1];
        }
}

double viterbi(const Lambda &l, const std::vector<int> &o)
{
    const int N = l.N, T = int(o.size());
    const auto ln = [](double x) { return x > 0 ? std::log(x) : -INFINITY; };
    std::vector<double> la(l.a.size()), lb(l.b.size());
    for (std::size_t k = 0; k < la.size(); ++k)
        la[k] = ln(l.a[k]);
    for (std::size_t k = 0; k < lb.size(); ++k)
        lb[k] = ln(l.b[k]);
    std::vector<double> d(static_cast<std::size_t>(N)), e(static_cast<std::size_t>(N));
    std::vector<unsigned char> psi(std::size_t(T) * std::size_t(N));
    for (int j = 0; j < N; ++j)
        d[std::size_t(j)] = ln(l.pi[std::size_t(j)]) + lb[std::size_t(j * l.M + o[0])];
    for (int t = 1; t < T; ++t) {
        for (int j = 0; j < N; ++j) {
            double m = -INFINITY;
            int arg = 0;
            for (int i = 0; i < N; ++i)
                if (d[std::size_t(i)] + la[std::size_t(i * N + j)] > m) {
                    m = d[std::size_t(i)] + la[std::size_t(i * N + j)];
                    arg = i;
                }
            e[std::size_t(j)] = m + lb[std::size_t(j * l.M + o[std::size_t(t)])];
            psi[std::size_t(t) * std::size_t(N) + std::size_t(j)] = (unsigned char)arg;
        }
        std::swap(d, e);
    }
    double m = -INFINITY;
    for (double v : d)
        m = std::max(m, v);
    return m / std::log(10.0);
}

// Une itération de Baum-Welch, puis log10 P du modèle réestimé.
double baumWelch(Lambda l, const std::vector<int> &o)
{
    const int N = l.N, M = l.M, T = int(o.size());
    std::vector<double> alpha(std::size_t(T) * std::size_t(N)), beta(alpha.size()), c(static_cast<std::size_t>(T));
    forward(l, o, alpha.data(), c.data());
    backward(l, o, c.data(), beta.data());
    std::vector<double> xi(std::size_t(N) * std::size_t(N), 0), g(std::size_t(N), 0), gb(std::size_t(N) * std::size_t(M), 0),
        pi(static_cast<std::size_t>(N));
    for (int t = 0; t < T; ++t) {
        const double *at = alpha.data() + std::size_t(t) * std::size_t(N), *bt = beta.data() + std::size_t(t) * std::size_t(N);
        for (int i = 0; i < N; ++i) {
            const double gamma = at[i] * bt[i];
            if (t == 0)
                pi[std::size_t(i)] = gamma;
            if (t < T - 1) {
                g[std::size_t(i)] += gamma;
                const double *b1 = bt + N;
                for (int j = 0; j < N; ++j)
                    xi[std::size_t(i * N + j)] += at[i] * l.a[std::size_t(i * N + j)] *
                                                  l.b[std::size_t(j * M + o[std::size_t(t + 1)])] * b1[j] / c[std::size_t(t + 1)];
            }
            gb[std::size_t(i * M + o[std::size_t(t)])] += gamma;
        }
    }
    for (int i = 0; i < N; ++i) {
        double ge = 0;
        for (int k = 0; k < M; ++k)
            ge += gb[std::size_t(i * M + k)];
        l.pi[std::size_t(i)] = pi[std::size_t(i)];
        for (int j = 0; j < N; ++j)
            if (g[std::size_t(i)] > 0)
                l.a[std::size_t(i * N + j)] = xi[std::size_t(i * N + j)] / g[std::size_t(i)];
        for (int k = 0; k < M; ++k)
            if (ge > 0)
                l.b[std::size_t(i * M + k)] = gb[std::size_t(i * M + k)] / ge;
    }
    return forward(l, o, nullptr, nullptr);
}

#ifdef HMM_AVEC_GHMM
ghmm_dmodel *modeleGhmm(const Lambda &l)
{
    const int N = l.N, M = l.M;
    std::vector<int> entrants(std::size_t(N), 0), sortants(std::size_t(N), 0);
    for (int i = 0; i < N; ++i)
        for (int j = 0; j < N; ++j)
            if (l.a[std::size_t(i * N + j)] != 0) {
                ++sortants[std::size_t(i)];
                ++entrants[std::size_t(j)];
            }
    ghmm_dmodel *mo = ghmm_dmodel_calloc(M, N, GHMM_kDiscreteHMM, entrants.data(), sortants.data());
    if (!mo)
        echec("GHMM refuse le modèle");
    mo->prior = -1;
    std::vector<int> nIn(std::size_t(N), 0), nOut(std::size_t(N), 0);
    for (int i = 0; i < N; ++i) {
        ghmm_dstate &s = mo->s[i];
        s.pi = l.pi[std::size_t(i)];
        s.in_states = entrants[std::size_t(i)];
        s.out_states = sortants[std::size_t(i)];
        for (int k = 0; k < M; ++k)
            s.b[k] = l.b[std::size_t(i * M + k)];
        for (int j = 0; j < N; ++j)
            if (const double a = l.a[std::size_t(i * N + j)]; a != 0) {
                ghmm_dstate &d = mo->s[j];
                s.out_id[nOut[std::size_t(i)]] = j;
                s.out_a[nOut[std::size_t(i)]++] = a;
                d.in_id[nIn[std::size_t(j)]] = i;
                d.in_a[nIn[std::size_t(j)]++] = a;
            }
    }
    return mo;
}

double ghmm(const Lambda &l, std::vector<int> &o, const std::string &algo)
{
    ghmm_dmodel *mo = modeleGhmm(l);
    const int T = int(o.size()), N = l.N;
    double logp = 0;
    if (algo == "viterbi") {
        int longueur = 0;
        std::free(ghmm_dmodel_viterbi(mo, o.data(), T, &longueur, &logp));
        return logp / std::log(10.0);
    }
    if (algo == "baumwelch") {
        ghmm_dseq *sq = ghmm_dseq_calloc(1);
        sq->seq[0] = o.data();
        sq->seq_len[0] = T;
        sq->seq_w[0] = 1;
        sq->total_w = 1;
        ghmm_dmodel_baum_welch_nstep(mo, sq, 1, 0.0);
        sq->seq[0] = nullptr;
    }
    std::vector<double> cases(std::size_t(T) * std::size_t(N)), c(static_cast<std::size_t>(T));
    std::vector<double *> lignes(static_cast<std::size_t>(T));
    for (int t = 0; t < T; ++t)
        lignes[std::size_t(t)] = cases.data() + std::size_t(t) * std::size_t(N);
    if (ghmm_dmodel_forward(mo, o.data(), T, lignes.data(), c.data(), &logp) != 0)
        echec("GHMM : Forward refusé");
    if (algo == "backward")
        ghmm_dmodel_backward(mo, o.data(), T, lignes.data(), c.data());
    return logp / std::log(10.0);
}
#endif

}

int mesurer(char **argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int entree = ::open(argv[0], O_RDONLY), rien = ::open("/dev/null", O_WRONLY);
        if (entree < 0 || rien < 0)
            ::_exit(127);
        ::dup2(entree, 0);
        ::dup2(rien, 1);
        ::dup2(rien, 2);
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    int statut = 0;
    rusage r{};
    if (pid < 0 || ::wait4(pid, &statut, 0, &r) < 0)
        return 1;
    const double ms = double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 +
                      double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
    std::printf("%.2f %.1f\n", ms, double(r.ru_maxrss) / 1024);
    return WIFEXITED(statut) && WEXITSTATUS(statut) == 0 ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "mesurer") == 0)
        return mesurer(argv + 2);
    if (argc != 5)
        echec("usage : bench_processus ghmm|simple forward|backward|viterbi|baumwelch MODELE.lambda SEQUENCE.txt");
    const std::string qui = argv[1], algo = argv[2];
    std::unordered_map<std::string, int> symboles;
    const Lambda l = lireLambda(argv[3], symboles);
    std::vector<int> o = lireSequence(argv[4], symboles);
    if (o.empty())
        echec("séquence vide");
    double r = 0;
    if (qui == "ghmm") {
#ifdef HMM_AVEC_GHMM
        r = ghmm(l, o, algo);
#else
        echec("construit sans GHMM");
#endif
    } else if (algo == "forward") {
        r = forward(l, o, nullptr, nullptr);
    } else if (algo == "backward") {
        std::vector<double> alpha(o.size() * std::size_t(l.N)), beta(alpha.size()), c(o.size());
        r = forward(l, o, alpha.data(), c.data());
        backward(l, o, c.data(), beta.data());
    } else if (algo == "viterbi") {
        r = viterbi(l, o);
    } else {
        r = baumWelch(l, o);
    }
    std::printf("log10 P = %.12g\n", r);
    return 0;
}
