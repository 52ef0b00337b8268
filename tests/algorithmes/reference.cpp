#include "reference.h"
#include "graph/nombres.h"

#include <cmath>
#include <cstring>

bool Identiques(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

namespace Reference {

LD Forward(const ParametresModele &p, const std::vector<int> &O, Matrice &alpha)
{
    const int N = p.N, T = int(O.size()) - 1;
    alpha.assign(std::size_t(T + 1), std::vector<LD>(std::size_t(N + 1), 0));
    for (int i = 1; i <= N; ++i)
        alpha.at(1).at(i) = p.PI[i] * p.B[i][O.at(1)];
    for (int t = 1; t <= T - 1; ++t)
        for (int j = 1; j <= N; ++j) {
            LD s = 0;
            for (int i = 1; i <= N; ++i)
                s = s + alpha.at(t).at(i) * p.A[i][j];
            alpha.at(t + 1).at(j) = s * p.B[j][O.at(t + 1)];
        }
    LD P = 0;
    for (int i = 1; i <= N; ++i)
        P = P + alpha.at(T).at(i);
    return P;
}

LD Backward(const ParametresModele &p, const std::vector<int> &O, Matrice &beta)
{
    const int N = p.N, T = int(O.size()) - 1;
    beta.assign(std::size_t(T + 1), std::vector<LD>(std::size_t(N + 1), 0));
    for (int i = 1; i <= N; ++i)
        beta.at(T).at(i) = 1;
    for (int t = T - 1; t >= 1; --t)
        for (int i = 1; i <= N; ++i) {
            LD s = 0;
            for (int j = 1; j <= N; ++j)
                s = s + beta.at(t + 1).at(j) * (p.A[i][j] * p.B[j][O.at(t + 1)]);
            beta.at(t).at(i) = s;
        }
    LD P = 0;
    for (int i = 1; i <= N; ++i)
        P = P + (p.PI[i] * beta.at(1).at(i)) * p.B[i][O.at(1)];
    return P;
}

LD Viterbi(const ParametresModele &p, const std::vector<int> &O, Matrice &delta, std::vector<std::vector<int>> &psi,
           std::vector<int> &Q)
{
    const int N = p.N, T = int(O.size()) - 1;
    delta.assign(std::size_t(T + 1), std::vector<LD>(std::size_t(N + 1), 0));
    psi.assign(std::size_t(T + 1), std::vector<int>(std::size_t(N + 1), 0));
    Q.assign(std::size_t(T + 1), 0);
    for (int i = 1; i <= N; ++i) {
        delta.at(1).at(i) = p.PI[i] * p.B[i][O.at(1)];
        psi.at(1).at(i) = 0;
    }
    for (int t = 2; t <= T; ++t)
        for (int j = 1; j <= N; ++j) {
            LD best = 0;
            int arg = 1;
            for (int i = 1; i <= N; ++i) {
                const LD v = delta.at(t - 1).at(i) * p.A[i][j];
                if (best < v) {
                    best = v;
                    arg = i;
                }
            }
            delta.at(t).at(j) = best * p.B[j][O.at(t)];
            psi.at(t).at(j) = arg;
        }
    LD P = 0;
    Q.at(T) = 1;
    Q.at(0) = 0;
    for (int i = 1; i <= N; ++i)
        if (P < delta.at(T).at(i)) {
            P = delta.at(T).at(i);
            Q.at(T) = i;
        }
    for (int t = T - 1; t >= 1; --t)
        Q.at(t) = psi.at(t + 1).at(Q.at(t + 1));
    return P;
}

bool IterationBaumWelch(ParametresModele &p, const std::vector<int> &O, Comptes &c, LD &probabilite)
{
    const int N = p.N, M = p.M, T = int(O.size()) - 1;
    Matrice alpha, beta;
    Forward(p, O, alpha);
    const LD P = Backward(p, O, beta);
    Matrice gamma(std::size_t(T + 1), std::vector<LD>(std::size_t(N + 1), 0));
    for (int t = 1; t <= T; ++t)
        for (int i = 1; i <= N; ++i)
            gamma.at(t).at(i) = (beta.at(t).at(i) * alpha.at(t).at(i)) / P;
    std::vector<Matrice> xi(std::size_t(T + 1), Matrice(std::size_t(N + 1), std::vector<LD>(std::size_t(N + 1), 0)));
    for (int t = 1; t <= T - 1; ++t)
        for (int i = 1; i <= N; ++i)
            for (int j = 1; j <= N; ++j)
                xi.at(t).at(i).at(j) =
                    (((beta.at(t + 1).at(j) * alpha.at(t).at(i)) * p.A[i][j]) * p.B[j][O.at(t + 1)]) / P;

    c.depuis.assign(std::size_t(N + 1), 0);
    c.etat.assign(std::size_t(N + 1), 0);
    c.transitions.assign(std::size_t(N + 1), std::vector<LD>(std::size_t(N + 1), 0));
    c.generation.assign(std::size_t(N + 1), std::vector<LD>(std::size_t(M + 1), 0));
    bool stable = true;
    for (int i = 1; i <= N; ++i) {
        if (stable)
            stable = (p.PI[i] == gamma.at(1).at(i));
        p.PI[i] = gamma.at(1).at(i);
    }
    auto nouveau = [](LD n, LD d, LD ancien) {
        const LD q = n / d;
        return Nombres::Formater(q).contains(QLatin1String("NAN")) ? ancien : q;
    };
    for (int i = 1; i <= N; ++i) {
        LD d = 0;
        for (int t = 1; t <= T - 1; ++t)
            d = d + gamma.at(t).at(i);
        c.depuis.at(i) = d;
        for (int j = 1; j <= N; ++j) {
            LD n = 0;
            for (int t = 1; t <= T - 1; ++t)
                n = n + xi.at(t).at(i).at(j);
            c.transitions.at(i).at(j) = n;
            const LD v = nouveau(n, d, p.A[i][j]);
            if (stable)
                stable = (p.A[i][j] == v);
            p.A[i][j] = v;
        }
        LD e = 0;
        for (int t = 1; t <= T; ++t)
            e = e + gamma.at(t).at(i);
        c.etat.at(i) = e;
        for (int k = 1; k <= M; ++k) {
            LD g = 0;
            for (int t = 1; t <= T; ++t)
                if (O.at(t) == k)
                    g = g + gamma.at(t).at(i);
            c.generation.at(i).at(k) = g;
            const LD v = nouveau(g, e, p.B[i][k]);
            if (stable)
                stable = (p.B[i][k] == v);
            p.B[i][k] = v;
        }
    }
    Matrice a2;
    probabilite = Forward(p, O, a2);
    return stable;
}

namespace {
int indiceNom(const ParametresModele &p, const QString &nom)
{
    int trouve = -1;
    for (int k = 1; k <= p.N; ++k)
        if (p.Noms[k] == nom)
            trouve = k;
    return trouve;
}

double probabiliteChemin(const ParametresModele &p, const std::vector<int> &O, const QStringList &chemin)
{
    const int T = int(O.size()) - 1;
    int s = indiceNom(p, chemin.at(1));
    double pr = double(p.PI[s] * p.B[s][O.at(1)]);
    for (int t = 2; t <= T; ++t) {
        const int prec = s;
        s = indiceNom(p, chemin.at(t));
        const LD x = p.A[prec][s] * static_cast<LD>(pr);
        pr = double(p.B[s][O.at(t)] * x);
    }
    return pr;
}

void enumerer(const ParametresModele &p, const std::vector<int> &O, QStringList &courant, int niveau,
              Enumeration &r)
{
    const int n = p.N;
    if (niveau > 1) {
        for (int s = 1; s <= n; ++s) {
            courant[niveau] = p.Noms[s];
            enumerer(p, O, courant, niveau - 1, r);
        }
        return;
    }
    for (int s = 1; s <= n; ++s) {
        courant[1] = p.Noms[s];
        const double pr = probabiliteChemin(p, O, courant);
        if (pr > 0) {
            QStringList ligne = courant.mid(1);
            ligne << Nombres::Formater(pr);
            r.lignes.push_back(ligne);
        }
    }
}
}

Enumeration Enumerer(const ParametresModele &p, const std::vector<int> &O)
{
    const int T = int(O.size()) - 1;
    Enumeration r;
    QStringList courant;
    for (int t = 0; t <= T; ++t)
        courant << QString();
    enumerer(p, O, courant, T, r);
    LD somme = 0;
    double meilleur = 0;
    for (std::size_t k = 0; k < r.lignes.size(); ++k) {
        const LD v = Nombres::VersExtended(r.lignes[k].last());
        somme = somme + v;
        if (k == 0 || double(v) > meilleur) {
            meilleur = double(v);
            r.meilleure = int(k) + 1;
        }
    }
    r.probabilite = somme;
    return r;
}

bool PasseViterbi(ParametresModele &p, const std::vector<int> &O, const std::vector<int> &Q)
{
    const int N = p.N, M = p.M, T = int(O.size()) - 1;
    for (int i = 1; i <= N; ++i)
        p.PI[i] = (Q.at(1) == i) ? 1 : 0;
    bool stable = true;
    for (int i = 1; i <= N; ++i) {
        int depuis = 0;
        for (int t = 1; t <= T - 1; ++t)
            depuis += Q.at(t) == i;
        if (depuis == 0)
            continue;
        for (int j = 1; j <= N; ++j) {
            int n = 0;
            for (int t = 1; t <= T - 1; ++t)
                n += Q.at(t) == i && Q.at(t + 1) == j;
            const LD v = LD(n) / LD(depuis);
            if (stable)
                stable = (p.A[i][j] == v);
            p.A[i][j] = v;
        }
    }
    for (int i = 1; i <= N; ++i) {
        int etat = 0;
        for (int t = 1; t <= T; ++t)
            etat += Q.at(t) == i;
        if (etat == 0)
            continue;
        for (int k = 1; k <= M; ++k) {
            int n = 0;
            for (int t = 1; t <= T; ++t)
                n += Q.at(t) == i && O.at(t) == k;
            const LD v = LD(n) / LD(etat);
            if (stable)
                stable = (p.B[i][k] == v);
            p.B[i][k] = v;
        }
    }
    return stable;
}

}
