// Les récurrences mises à l'échelle, écrites dans l'ordre des formules : elles ne servent que
// lorsque le calcul exact sort de la plage de l'étendu.
#include "algorithms/echelle.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <cmath>
#include <vector>

namespace {

using LD = long double;

void marquer(EspaceTravail &e, const GrandeProbabilite &p)
{
    e.MisALEchelle = true;
    e.ProbabiliteEchelle = p;
    e.Probabilite = p.VersEtendu();
}

}

namespace Echelle {

void Forward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const int N = p.N, T = e.LongueurSequence;
    const VecteurVerifie<int> &O = e.Observations;
    e.Alpha.Dimensionner(T + 1, N + 1);
    e.FacteursEchelle.resize(std::size_t(T) + 1);
    e.FacteursEchelle[0] = 0;
    GrandeProbabilite P = GrandeProbabilite::De(1);
    for (int t = 1; t <= T; ++t) {
        LD *a = e.Alpha.LigneBrute(t);
        const LD *avant = t > 1 ? e.Alpha.LigneBrute(t - 1) : nullptr;
        LD somme = 0;
        for (int j = 1; j <= N; ++j) {
            LD s = 0;
            if (t == 1) {
                s = p.PI[j];
            } else {
                for (int i = 1; i <= N; ++i)
                    s += avant[i] * p.A[i][j];
            }
            a[j] = s * p.B[j][O[t]];
            somme += a[j];
        }
        if (!(somme > 0)) {
            // Aucun état ne génère o_t : la séquence est impossible (un zéro du modèle).
            for (int u = t; u <= T; ++u)
                e.FacteursEchelle[u] = 0;
            marquer(e, GrandeProbabilite());
            return;
        }
        const LD c = 1 / somme;
        e.FacteursEchelle[t] = c;
        for (int j = 1; j <= N; ++j)
            a[j] *= c;
        P *= somme;
    }
    marquer(e, P);
}

void Backward(const ParametresModele &p, EspaceTravail &e)
{
    Forward(p, e);
    const int N = p.N, T = e.LongueurSequence;
    const VecteurVerifie<int> &O = e.Observations;
    e.Beta.Dimensionner(T + 1, N + 1);
    const GrandeProbabilite avant = e.ProbabiliteEchelle;
    if (avant.EstNulle())
        return; // β̂ reste nul : la séquence est impossible
    const VecteurVerifie<LD> &c = e.FacteursEchelle;
    for (int i = 1; i <= N; ++i)
        e.Beta[T][i] = c[T];
    for (int t = T - 1; t >= 1; --t) {
        const LD *suivant = e.Beta.LigneBrute(t + 1);
        LD *b = e.Beta.LigneBrute(t);
        for (int i = 1; i <= N; ++i) {
            LD s = 0;
            for (int j = 1; j <= N; ++j)
                s += p.A[i][j] * p.B[j][O[t + 1]] * suivant[j];
            b[i] = c[t] * s;
        }
    }
    LD s = 0;
    for (int i = 1; i <= N; ++i)
        s += p.PI[i] * p.B[i][O[1]] * e.Beta[1][i];
    GrandeProbabilite P = avant;
    P *= s; // s = P(O|λ) × Π c_t, à l'arrondi près
    marquer(e, P);
}

void Viterbi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const int N = p.N, T = e.LongueurSequence;
    const VecteurVerifie<int> &O = e.Observations;
    e.CheminViterbi.resize(std::size_t(T) + 1);
    e.Psi.Dimensionner(T + 1, N + 1);
    e.Delta.Dimensionner(T + 1, N + 1);
    // δ̃_t = δ_t × 2^K_t : une puissance de deux ne change aucun arrondi, les comparaisons
    // sont donc celles du calcul exact (mêmes égalités, même chemin) tant qu'il reste normal.
    std::vector<LD> d(std::size_t(N) + 1), suivant(std::size_t(N) + 1);
    long long K = 0;
    const auto ramener = [&](int t) {
        LD m = 0;
        for (int i = 1; i <= N; ++i)
            m = std::max(m, d[std::size_t(i)]);
        if (m > 0) {
            const int k = -std::ilogb(m);
            for (int i = 1; i <= N; ++i)
                d[std::size_t(i)] = std::ldexp(d[std::size_t(i)], k);
            K += k;
        }
        // Delta montre ln δ_t(i) = ln δ̃_t(i) - K_t ln 2.
        for (int i = 1; i <= N; ++i)
            e.Delta[t][i] = GrandeProbabilite::De(d[std::size_t(i)]).Ln() - LD(K) * 0.693147180559945309417232121458176568L;
    };
    for (int i = 1; i <= N; ++i) {
        d[std::size_t(i)] = p.PI[i] * p.B[i][O[1]];
        e.Psi[1][i] = 0;
    }
    ramener(1);
    for (int t = 2; t <= T; ++t) {
        for (int j = 1; j <= N; ++j) {
            LD meilleur = 0;
            int arg = 1;
            for (int i = 1; i <= N; ++i) {
                const LD v = d[std::size_t(i)] * p.A[i][j];
                if (meilleur < v) {
                    meilleur = v;
                    arg = i;
                }
            }
            suivant[std::size_t(j)] = meilleur * p.B[j][O[t]];
            e.Psi[t][j] = arg;
        }
        std::swap(d, suivant);
        ramener(t);
    }
    LD P = 0;
    int q = 1;
    for (int i = 1; i <= N; ++i)
        if (P < d[std::size_t(i)]) {
            P = d[std::size_t(i)];
            q = i;
        }
    e.CheminViterbi[0] = 0;
    e.CheminViterbi[T] = q;
    for (int t = T - 1; t >= 1; --t)
        e.CheminViterbi[t] = e.Psi(t + 1, e.CheminViterbi[t + 1]);
    GrandeProbabilite g = GrandeProbabilite::De(P);
    if (!g.EstNulle())
        g.Exposant -= K;
    marquer(e, g);
}

}

namespace {

// Une itération de Baum-Welch sur ᾱ et β̂ ; `alphaAJour` : Alpha et les c_t sont ceux de λ.
void iterationBaumWelch(ParametresModele &p, EspaceTravail &e, bool alphaAJour)
{
    const int N = p.N, M = p.M, T = e.LongueurSequence;
    const VecteurVerifie<int> &O = e.Observations;
    if (!alphaAJour)
        Echelle::Forward(p, e);
    // Beta avec les facteurs du Forward : Backward refait ce Forward, à l'identique.
    Echelle::Backward(p, e);
    const VecteurVerifie<LD> &c = e.FacteursEchelle;
    for (int t = 1; t <= T; ++t)
        for (int i = 1; i <= N; ++i)
            e.Gamma[t][i] = e.Alpha[t][i] * e.Beta[t][i] / c[t];
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j) {
            LD s = 0;
            for (int t = 1; t < T; ++t)
                s += e.Alpha[t][i] * p.A[i][j] * p.B[j][O[t + 1]] * e.Beta[t + 1][j];
            e.EsperancesTransitions[i][j] = s;
        }

    bool stable = true;
    for (int i = 1; i <= N; ++i)
        Remplacer(p.PI[i], e.Gamma[1][i], stable);
    std::vector<LD> g(std::size_t(M) + 1);
    for (int i = 1; i <= N; ++i) {
        LD d = 0;
        for (int t = 1; t < T; ++t)
            d += e.Gamma[t][i];
        const LD eI = d + e.Gamma[T][i];
        e.EsperancesDepuis[i] = d;
        for (int j = 1; j <= N; ++j)
            Remplacer(p.A[i][j], QuotientReestime(e.EsperancesTransitions[i][j], d, p.A[i][j]), stable);
        e.EsperancesEtat[i] = eI;
        std::fill(g.begin(), g.end(), 0.0L);
        for (int t = 1; t <= T; ++t)
            if (O[t] >= 1)
                g[std::size_t(O[t])] += e.Gamma[t][i];
        for (int k = 1; k <= M; ++k) {
            e.EsperancesGeneration[i][k] = g[std::size_t(k)];
            Remplacer(p.B[i][k], QuotientReestime(g[std::size_t(k)], eI, p.B[i][k]), stable);
        }
    }
    e.Stable = stable;
    Echelle::Forward(p, e);
}


}

namespace Echelle {

IssueEntrainement BouclerBaumWelch(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    const bool modeIterations = (e.Seuil == 2);
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    e.IterationsEffectuees = 0;
    Forward(p, e);
    if (obs)
        obs->Debut(Entrainement::BaumWelch, p, e);
    DimensionnerEsperances(p, e);
    if (!modeIterations && AuMoins(e.ProbabiliteEchelle, e.Seuil)) {
        if (obs)
            obs->FinSansIteration(Entrainement::BaumWelch, p, e);
        return IssueEntrainement::SeuilDejaAtteint;
    }
    return DeroulerIterations(
        p, e, obs, [&] { iterationBaumWelch(p, e, true); }, [&] { return AuMoins(e.ProbabiliteEchelle, e.Seuil); });
}

IssueEntrainement BouclerViterbi(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    Viterbi(p, e);
    return DeroulerPassesViterbi(p, e, obs, [&] {
        PasseViterbi(p, e);
        Forward(p, e);
    });
}

void SommesBaumWelch(const ParametresModele &p, EspaceTravail &e, SommesFormation &s)
{
    const int N = p.N, M = p.M;
    const std::size_t L = std::size_t(s.L), Mc = std::size_t(s.Mc);
    for (SequenceFormation &sq : e.Formation) {
        std::swap(e.Observations, sq.Observations);
        std::swap(e.LongueurSequence, sq.Longueur);
        const int T = e.LongueurSequence;
        const VecteurVerifie<int> &O = e.Observations;
        try {
            Backward(p, e); // refait le Forward : ᾱ, c_t, puis β̂
            const VecteurVerifie<LD> &c = e.FacteursEchelle;
            if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1)
                e.Gamma.Dimensionner(T + 1, N + 1);
            for (int t = 1; t <= T; ++t)
                for (int i = 1; i <= N; ++i)
                    e.Gamma[t][i] = e.Alpha[t][i] * e.Beta[t][i] / c[t];
            for (int i = 1; i <= N; ++i) {
                const std::size_t si = std::size_t(i);
                for (int j = 1; j <= N; ++j) {
                    LD x = 0;
                    for (int t = 1; t < T; ++t)
                        x += e.Alpha[t][i] * p.A[i][j] * p.B[j][O[t + 1]] * e.Beta[t + 1][j];
                    s.Transitions[si * L + std::size_t(j)] += x;
                }
                LD d = 0;
                for (int t = 1; t < T; ++t)
                    d += e.Gamma[t][i];
                s.Pi[si] += e.Gamma[1][i];
                s.Depuis[si] += d;
                s.Etat[si] += d + e.Gamma[T][i];
                for (int t = 1; t <= T; ++t)
                    if (O[t] >= 1 && O[t] <= M)
                        s.Generation[si * Mc + std::size_t(O[t])] += e.Gamma[t][i];
            }
        } catch (...) {
            std::swap(e.Observations, sq.Observations);
            std::swap(e.LongueurSequence, sq.Longueur);
            throw;
        }
        std::swap(e.Observations, sq.Observations);
        std::swap(e.LongueurSequence, sq.Longueur);
    }
}

}
