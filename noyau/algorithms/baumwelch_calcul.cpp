// Baum-Welch. Les sommes sur t se font toujours t croissant à partir de 0 ; ξ n'est pas
// rangé en entier : chaque ξ[t][i][j] est ajouté à sa somme dès qu'il est calculé, ce qui
// donne exactement les mêmes additions que de sommer la table complète ensuite.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/formation.h"
#include "algorithms/sequence.h"
#include "algorithms/tables.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using LD = long double;
using Calcul::TablesModele;

// Copies transposées de α, β et B[j][O[t+1]] lues par les sommes de ξ, gardées d'une
// itération à l'autre (mêmes tailles : ni allocation ni défaut de page).
struct TamponsXi {
    std::vector<LD> aT, bT, cE;
    std::vector<double> cH, cB;
    std::vector<int> dests;
    std::vector<LD> valeurs;
};

// Un jeu de tampons par fil, gardé d'un appel à l'autre : les itérations successives (et les
// appels répétés de IterationBaumWelch) ne réallouent ni ne remettent à zéro leurs tables.
TamponsXi &tamponsXi()
{
    thread_local TamponsXi tp;
    return tp;
}

// Adresse que le compilateur ne peut pas croire invariante dans une boucle : une valeur de A
// en double, sortie de la boucle et convertie en étendu, y prendrait un registre x87 et serait
// rangée en pile puis rechargée en 80 bits (chargement bien plus coûteux que celui du double).
template <typename T>
inline const T *opaque(const T *p)
{
#if defined(__GNUC__)
    asm("" : "+r"(p));
#endif
    return p;
}

// Peu d'états : t à l'extérieur, α[t] et β[t+1] lus sur leurs lignes, sans copie transposée.
// Chaque case reçoit toujours ses termes t croissant.
void sommesXiDirectes(const TablesModele &m, const int *O, int T, const Matrice<LD> &alpha,
                      const Matrice<LD> &beta, LD P, Matrice<LD> &n)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const LD p = P;
    for (int t = 1; t < T; ++t) {
        const LD *a = alpha.LigneBrute(t);
        const LD *b = beta.LigneBrute(t + 1);
        const LD *c = m.Bt.data() + std::size_t(O[t + 1]) * L;
        for (int i = 1; i <= N; ++i) {
            const LD x = a[i];
            const LD *ai = m.A.data() + std::size_t(i) * L;
            LD *ni = n.LigneBrute(i);
            for (int j = 1; j <= N; ++j)
                ni[j] = ni[j] + (((b[j] * x) * ai[j]) * c[j]) / p;
        }
    }
}

// Les sauts des arcs absents ne sont exacts que si chaque ξ[t][i][j] d'un arc absent vaut +0 :
// modèle Positif, P fini et > 0, α et β finis et leur produit borné.
bool xiCreuxPermis(const TablesModele &m, int T, const Matrice<LD> &alpha, const Matrice<LD> &beta, LD P)
{
    if (!m.Creux || !m.Positif || !(P > 0 && P <= std::numeric_limits<LD>::max()))
        return false;
    LD amax = 0, bmax = 0;
    for (int t = 1; t <= T; ++t) {
        const LD *a = alpha.LigneBrute(t);
        const LD *b = beta.LigneBrute(t);
        for (int i = 1; i <= m.N; ++i) {
            if (!(a[i] >= 0 && a[i] <= std::numeric_limits<LD>::max() && b[i] >= 0 &&
                  b[i] <= std::numeric_limits<LD>::max()))
                return false;
            amax = std::max(amax, a[i]);
            bmax = std::max(bmax, b[i]);
        }
    }
    return amax * bmax <= std::numeric_limits<LD>::max();
}

// Modèle plein, A et B en doubles : les mêmes sommes, quatre cases à la fois, lues directement
// dans α, β et B (sans copie transposée) ; A et B lus en un chargement de 64 bits depuis la
// mémoire, α chargé en 80 bits (chargement coûteux) une fois pour quatre termes. Chaque terme
// reste (((β α) a) b) / P, ajouté t croissant.
void sommesXiDoubles(const TablesModele &m, const int *O, int T, const Matrice<LD> &alpha, const Matrice<LD> &beta,
                     LD P, Matrice<LD> &n)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const std::size_t nt = std::size_t(T - 1); // k = t - 1, t = 1..T-1
    const LD *a1 = alpha.LigneBrute(1);         // α[t][i] = a1[k * L + i]
    const LD *b2 = beta.LigneBrute(2);          // β[t+1][j] = b2[k * L + j]
    const double *bh = m.Bth.data();            // B[j][O[t+1]] = bh[O[k + 2] * L + j]
    const LD p = P;
    constexpr std::size_t Tuile = 256;
    for (std::size_t k0 = 0; k0 < nt; k0 += Tuile) {
        const std::size_t k1 = std::min(nt, k0 + Tuile);
        for (std::size_t i = 1; i <= std::size_t(N); ++i) {
            const double *ah = m.Ah.data() + i * L;
            LD *ni = n.LigneBrute(static_cast<long long>(i));
            std::size_t j = 1;
            for (; j + 3 <= std::size_t(N); j += 4) {
                LD s0 = ni[j], s1 = ni[j + 1], s2 = ni[j + 2], s3 = ni[j + 3];
                for (std::size_t k = k0; k < k1; ++k) {
                    const LD x = a1[k * L + i];
                    const LD *b = b2 + k * L + j;
                    const double *c = bh + std::size_t(O[k + 2]) * L + j;
                    const double *a = opaque(ah + j);
                    s0 = s0 + (((b[0] * x) * static_cast<LD>(a[0])) * static_cast<LD>(c[0])) / p;
                    s1 = s1 + (((b[1] * x) * static_cast<LD>(a[1])) * static_cast<LD>(c[1])) / p;
                    s2 = s2 + (((b[2] * x) * static_cast<LD>(a[2])) * static_cast<LD>(c[2])) / p;
                    s3 = s3 + (((b[3] * x) * static_cast<LD>(a[3])) * static_cast<LD>(c[3])) / p;
                }
                ni[j] = s0;
                ni[j + 1] = s1;
                ni[j + 2] = s2;
                ni[j + 3] = s3;
            }
            for (; j <= std::size_t(N); ++j) {
                LD s0 = ni[j];
                const LD a = static_cast<LD>(ah[j]);
                for (std::size_t k = k0; k < k1; ++k)
                    s0 = s0 + (((b2[k * L + j] * a1[k * L + i]) * a) * static_cast<LD>(bh[std::size_t(O[k + 2]) * L + j])) / p;
                ni[j] = s0;
            }
        }
    }
}

// Les sommes n[i][j] = Σ_t ξ[t][i][j] : pour chaque case, t croissant, comme la définition.
// Le calcul parcourt t à l'intérieur (la somme reste dans un registre, A[i][j] et P aussi) par
// tuiles de t, sur des copies transposées de α, β et de B[j][O[t+1]] lues en continu. En
// creux, seuls les arcs existants sont sommés ; les autres cases restent à +0.
template <bool Scinde>
void sommesXi(const TablesModele &m, const int *O, int T, const Matrice<LD> &alpha, const Matrice<LD> &beta, LD P,
              Matrice<LD> &n, TamponsXi &tp)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    if (T < 2)
        return;
    const bool creux = xiCreuxPermis(m, T, alpha, beta, P);
    if (N <= 4 && !creux) {
        sommesXiDirectes(m, O, T, alpha, beta, P, n);
        return;
    }
    if (!creux && m.ADouble && m.BDouble) {
        sommesXiDoubles(m, O, T, alpha, beta, P, n);
        return;
    }
    const std::size_t nt = std::size_t(T - 1); // k = t - 1, t = 1..T-1
    tp.aT.resize(L * nt);
    tp.bT.resize(L * nt);
    tp.cH.resize(L * nt);
    tp.cB.resize(Scinde ? L * nt : 0);
    tp.cE.resize(Scinde ? 0 : L * nt);
    LD *aT = tp.aT.data(), *bT = tp.bT.data(), *cE = tp.cE.data();
    double *cH = tp.cH.data(), *cB = tp.cB.data();
    for (std::size_t k = 0; k < nt; ++k) {
        const int t = int(k) + 1;
        const LD *a = alpha.LigneBrute(t);
        const LD *b = beta.LigneBrute(t + 1);
        const std::size_t o = std::size_t(O[t + 1]) * L;
        for (std::size_t i = 1; i <= std::size_t(N); ++i) {
            aT[i * nt + k] = a[i];
            bT[i * nt + k] = b[i];
            if constexpr (Scinde) {
                cH[i * nt + k] = m.Bth[o + i];
                cB[i * nt + k] = m.Btl[o + i];
            } else {
                cE[i * nt + k] = m.Bt[o + i];
            }
        }
    }
    constexpr std::size_t Tuile = 256;
    auto c = [&](std::size_t j, std::size_t k) -> LD {
        if constexpr (Scinde)
            return static_cast<LD>(cH[j * nt + k]) + cB[j * nt + k];
        else
            return cE[j * nt + k];
    };
    const LD p = P;
    for (std::size_t k0 = 0; k0 < nt; k0 += Tuile) {
        const std::size_t k1 = std::min(nt, k0 + Tuile);
        for (std::size_t i = 1; i <= std::size_t(N); ++i) {
            // Les j sommés pour i : tous, ou les arcs existants (j croissant).
            const int *js;
            const LD *as;
            std::size_t nj;
            if (creux) {
                const std::size_t d = std::size_t(m.DebutSource[i]);
                js = m.Dest.data() + d;
                as = m.ASource.data() + d;
                nj = std::size_t(m.DebutSource[i + 1]) - d;
            } else {
                tp.dests.resize(std::size_t(N));
                tp.valeurs.resize(std::size_t(N));
                for (int j = 1; j <= N; ++j) {
                    tp.dests[std::size_t(j - 1)] = j;
                    tp.valeurs[std::size_t(j - 1)] = m.A[i * L + std::size_t(j)];
                }
                js = tp.dests.data();
                as = tp.valeurs.data();
                nj = std::size_t(N);
            }
            const LD *ai = aT + i * nt;
            LD *ni = n.LigneBrute(static_cast<long long>(i));
            std::size_t q = 0;
            // Deux cases à la fois : deux sommes indépendantes en vol.
            for (; q + 2 <= nj; q += 2) {
                const std::size_t j0 = std::size_t(js[q]), j1 = std::size_t(js[q + 1]);
                const LD a0 = as[q], a1 = as[q + 1];
                const LD *b0 = bT + j0 * nt, *b1 = bT + j1 * nt;
                LD s0 = ni[j0], s1 = ni[j1];
                for (std::size_t k = k0; k < k1; ++k) {
                    const LD x = ai[k];
                    s0 = s0 + (((b0[k] * x) * a0) * c(j0, k)) / p;
                    s1 = s1 + (((b1[k] * x) * a1) * c(j1, k)) / p;
                }
                ni[j0] = s0;
                ni[j1] = s1;
            }
            for (; q < nj; ++q) {
                const std::size_t j0 = std::size_t(js[q]);
                const LD a0 = as[q];
                const LD *b0 = bT + j0 * nt;
                LD s0 = ni[j0];
                for (std::size_t k = k0; k < k1; ++k)
                    s0 = s0 + (((b0[k] * ai[k]) * a0) * c(j0, k)) / p;
                ni[j0] = s0;
            }
        }
    }
}

void xi(const TablesModele &m, EspaceTravail &e, TamponsXi &tp)
{
    if (e.EsperancesTransitions.Lignes() == m.L && e.EsperancesTransitions.Colonnes() == m.L)
        std::fill(e.EsperancesTransitions.LigneBrute(0), e.EsperancesTransitions.LigneBrute(m.L), 0.0L);
    else
        e.EsperancesTransitions.Dimensionner(m.L, m.L);
    if (m.BScinde)
        sommesXi<true>(m, e.Observations.data(), e.LongueurSequence, e.Alpha, e.Beta, e.Probabilite,
                       e.EsperancesTransitions, tp);
    else
        sommesXi<false>(m, e.Observations.data(), e.LongueurSequence, e.Alpha, e.Beta, e.Probabilite,
                        e.EsperancesTransitions, tp);
}

}

void DimensionnerEsperances(const ParametresModele &p, EspaceTravail &e)
{
    const int L = p.N + 1;
    // Sans tables gardées, γ n'est pas rangé (les entraînements mis à l'échelle le somment au
    // fil du calcul ; les boucles exactes gardent leurs tables) : T × N étendus de moins.
    if (e.GarderTables)
        e.Gamma.Dimensionner(e.LongueurSequence + 1, L);
    else
        e.Gamma.Dimensionner(0, 0);
    e.EsperancesDepuis.resize(std::size_t(L));
    e.EsperancesEtat.resize(std::size_t(L));
    e.EsperancesTransitions.Dimensionner(L, L);
    e.EsperancesGeneration.Dimensionner(L, p.M + 1);
}

void CalculerGamma(const ParametresModele &p, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const int N = p.N;
    const LD P = e.Probabilite;
    if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1)
        e.Gamma.Dimensionner(T + 1, N + 1);
    for (int t = 1; t <= T; ++t) {
        const LD *a = e.Alpha.LigneBrute(t);
        const LD *b = e.Beta.LigneBrute(t);
        LD *g = e.Gamma.LigneBrute(t);
        for (int i = 1; i <= N; ++i)
            g[i] = (b[i] * a[i]) / P;
    }
}

void CalculerXi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    xi(Calcul::TablesDuCalcul(p), e, tamponsXi());
}

namespace {

// Ce que garde une suite d'itérations : les tables du modèle courant (construites une fois
// par itération, celles du modèle réestimé servent à l'itération suivante) et les tampons.
struct Contexte {
    TablesModele m;
    TamponsXi &tp = tamponsXi();
    std::vector<LD> d, g; // Σ_{t<T} γ[t][i] ; Σ_{O[t]=k} γ[t][i] en g[i * (M + 1) + k]
    std::vector<LD> tuile; // lignes de α d'une tuile (sommes au fil)
};

// Sommes de γ sur t, t croissant pour chaque case comme la définition, mais lues ligne par
// ligne : c.d = Σ_{t<T} γ, c.g = Σ_{O[t]=k} γ (la somme sur t <= T prolonge exactement c.d).
void sommerGamma(Contexte &c, const EspaceTravail &e, int N, int M)
{
    const int T = e.LongueurSequence;
    const int *O = e.Observations.data();
    const std::size_t Mc = std::size_t(M) + 1;
    c.d.assign(std::size_t(N) + 1, 0.0L);
    c.g.assign((std::size_t(N) + 1) * Mc, 0.0L);
    for (int t = 1; t <= T; ++t) {
        const LD *gt = e.Gamma.LigneBrute(t);
        if (t < T)
            for (int i = 1; i <= N; ++i)
                c.d[std::size_t(i)] = c.d[std::size_t(i)] + gt[i];
        if (O[t] >= 1)
            for (int i = 1; i <= N; ++i) {
                LD &x = c.g[std::size_t(i) * Mc + std::size_t(O[t])];
                x = x + gt[i];
            }
    }
}

// Réestimation de π, A, B d'après les sommes : c.d, c.g, ξ dans EsperancesTransitions, γ_1 et
// γ_T ; Stable, puis Forward du modèle réestimé.
void reestimer(ParametresModele &p, EspaceTravail &e, Contexte &c, const LD *g1, const LD *gT)
{
    const int N = p.N, M = p.M;
    bool stable = true;
    for (int i = 1; i <= N; ++i)
        Remplacer(p.PI[i], g1[i], stable);

    // d = Σ_{t<T} γ, e = Σ_{t<=T} γ (la seconde prolonge exactement la première).
    const std::size_t Mc = std::size_t(M) + 1;
    for (int i = 1; i <= N; ++i) {
        const LD d = c.d[std::size_t(i)];
        const LD eI = d + gT[i];
        e.EsperancesDepuis[i] = d;
        const LD *n = e.EsperancesTransitions.LigneBrute(i);
        for (int j = 1; j <= N; ++j)
            Remplacer(p.A[i][j], QuotientReestime(n[j], d, p.A[i][j]), stable);

        e.EsperancesEtat[i] = eI;
        const LD *g = c.g.data() + std::size_t(i) * Mc;
        LD *eg = e.EsperancesGeneration.LigneBrute(i);
        for (int k = 1; k <= M; ++k) {
            eg[k] = g[k];
            Remplacer(p.B[i][k], QuotientReestime(g[k], eI, p.B[i][k]), stable);
        }
    }
    e.Stable = stable;
    c.m.Construire(p);
    Calcul::Forward(c.m, e);
}

// Sommes de γ et de ξ faites au fil du Forward, β entier déjà calculé : à chaque instant t,
// γ_t = (β_t α_t) / P et ξ_t = (((β_t+1 α_t) a) b) / P, chaque somme recevant ses termes t
// croissant à partir de +0, exactement comme les sommes sur les tables entières. Les arcs
// absents ne sont pas parcourus : leurs termes valent +0 (modèle Positif et Decroissant, donc
// α et β finis et bornés), et +0 ajouté à une somme >= +0 ne la change pas.
// Les lignes de α sont gardées par tuiles de t : chaque somme de ξ parcourt ensuite sa tuile
// dans un registre, sans ranger ni relire 80 bits à chaque terme (un rangement de 80 bits coûte
// une vingtaine de cycles), mêmes termes dans le même ordre.
template <typename Arc>
struct SommesAuFil final : Calcul::VisiteLigne {
    const TablesModele &m;
    const Arc *val; // A[i][Dest[k]], ordre par source
    const LD *beta;
    const int *O;
    int T;
    LD P;
    std::size_t L, Mc;
    LD *n; // Σ ξ, ligne i en n + i L
    Contexte &c;
    LD *g1, *gT;
    int debutTuile = 1, lignesTuile = 0;

    SommesAuFil(const TablesModele &m, const Arc *val, const EspaceTravail &e, LD *n, Contexte &c, LD *g1, LD *gT)
        : m(m), val(val), beta(e.Beta.LigneBrute(0)), O(e.Observations.data()), T(e.LongueurSequence),
          P(e.Probabilite), L(std::size_t(m.L)), Mc(std::size_t(m.M) + 1), n(n), c(c), g1(g1), gT(gT)
    {
        c.tuile.resize(std::size_t(Tuile) * L);
    }

    // Des lignes par tuile de quelques dizaines de Kio au plus (elles restent en cache).
    static constexpr int Tuile = 32;

    void Ligne(int t, const LD *a) override
    {
        if (lignesTuile == 0)
            debutTuile = t;
        std::memcpy(static_cast<void *>(c.tuile.data() + std::size_t(lignesTuile) * L), a, sizeof(LD) * L);
        if (++lignesTuile == Tuile || t == T) {
            sommerGammaTuile();
            sommerTuile();
            lignesTuile = 0;
        }
    }

    // γ des lignes de la tuile : pour chaque état, t croissant (Σ_{t<T} γ dans un registre).
    void sommerGammaTuile()
    {
        const int N = m.N, R = lignesTuile;
        const LD *tuile = c.tuile.data();
        LD *d = c.d.data(), *g = c.g.data();
        const LD p = P;
        for (int i = 1; i <= N; ++i) {
            const std::size_t si = std::size_t(i);
            LD *gi = g + si * Mc;
            LD di = d[si];
            for (int r = 0; r < R; ++r) {
                const int t = debutTuile + r;
                const LD v = (beta[std::size_t(t) * L + si] * tuile[std::size_t(r) * L + si]) / p;
                if (t < T)
                    di = di + v;
                const std::size_t o = std::size_t(O[t]);
                if (o >= 1)
                    gi[o] = gi[o] + v;
                if (t == 1)
                    g1[i] = v;
                if (t == T)
                    gT[i] = v;
            }
            d[si] = di;
        }
    }

    // ξ des lignes de la tuile (t < T) : pour chaque arc, t croissant ; quatre arcs d'une même
    // source à la fois (α_t(i) chargé une fois pour quatre termes).
    void sommerTuile()
    {
        const int N = m.N, R = debutTuile + lignesTuile - 1 == T ? lignesTuile - 1 : lignesTuile;
        const int *debut = m.DebutSource.data(), *dest = m.Dest.data();
        const LD *tuile = c.tuile.data(), *bt = m.Bt.data();
        const LD p = P;
        for (int i = 1; i <= N; ++i) {
            LD *ni = n + std::size_t(i) * L;
            int k = debut[i];
            for (; k + 3 < debut[i + 1]; k += 4) {
                const std::size_t j0 = std::size_t(dest[k]), j1 = std::size_t(dest[k + 1]),
                                  j2 = std::size_t(dest[k + 2]), j3 = std::size_t(dest[k + 3]);
                LD s0 = ni[j0], s1 = ni[j1], s2 = ni[j2], s3 = ni[j3];
                for (int r = 0; r < R; ++r) {
                    const int t = debutTuile + r;
                    const LD x = tuile[std::size_t(r) * L + std::size_t(i)];
                    const LD *b2 = beta + std::size_t(t + 1) * L;
                    const LD *cb = bt + std::size_t(O[t + 1]) * L;
                    const Arc *v = opaque(val + k);
                    s0 = s0 + (((b2[j0] * x) * static_cast<LD>(v[0])) * cb[j0]) / p;
                    s1 = s1 + (((b2[j1] * x) * static_cast<LD>(v[1])) * cb[j1]) / p;
                    s2 = s2 + (((b2[j2] * x) * static_cast<LD>(v[2])) * cb[j2]) / p;
                    s3 = s3 + (((b2[j3] * x) * static_cast<LD>(v[3])) * cb[j3]) / p;
                }
                ni[j0] = s0;
                ni[j1] = s1;
                ni[j2] = s2;
                ni[j3] = s3;
            }
            for (; k < debut[i + 1]; ++k) {
                const std::size_t j = std::size_t(dest[k]);
                LD s0 = ni[j];
                for (int r = 0; r < R; ++r) {
                    const int t = debutTuile + r;
                    const LD x = tuile[std::size_t(r) * L + std::size_t(i)];
                    const Arc *v = opaque(val + k);
                    s0 = s0 + (((beta[std::size_t(t + 1) * L + j] * x) * static_cast<LD>(v[0])) *
                               bt[std::size_t(O[t + 1]) * L + j]) /
                              p;
                }
                ni[j] = s0;
            }
        }
    }
};

// Une itération sans tables gardées (ni trace ni treillis) : β entier, puis α sur deux lignes
// de travail avec γ et ξ sommés au fil du calcul ; ni α ni γ entiers, ni copies transposées.
// Rend false, sans rien changer aux paramètres, quand ce chemin ne serait pas exact.
bool iterationAuFil(ParametresModele &p, EspaceTravail &e, bool tablesAJour, Contexte &c)
{
    const int N = p.N, M = p.M;
    if (!tablesAJour) {
        Calcul::ControlerSequence(p, e);
        c.m.Construire(p);
    }
    if (!c.m.Positif || !c.m.Decroissant)
        return false;
    e.GarderTables = true;
    Calcul::Backward(c.m, e);
    e.GarderTables = false;
    const LD P = e.Probabilite;
    if (!(P > 0 && P <= std::numeric_limits<LD>::max()))
        return false;
    if (e.EsperancesGeneration.Colonnes() != M + 1 || e.EsperancesDepuis.longueur() != N + 1)
        DimensionnerEsperances(p, e);
    const std::size_t L = std::size_t(c.m.L), Mc = std::size_t(M) + 1;
    if (e.EsperancesTransitions.Lignes() == c.m.L && e.EsperancesTransitions.Colonnes() == c.m.L)
        std::fill(e.EsperancesTransitions.LigneBrute(0), e.EsperancesTransitions.LigneBrute(c.m.L), 0.0L);
    else
        e.EsperancesTransitions.Dimensionner(c.m.L, c.m.L);
    c.d.assign(L, 0.0L);
    c.g.assign(L * Mc, 0.0L);
    std::vector<LD> g1(L, 0.0L), gT(L, 0.0L);
    LD *n = e.EsperancesTransitions.LigneBrute(0);
    if (c.m.ArcsDouble) {
        SommesAuFil<double> s(c.m, c.m.ASourceD.data(), e, n, c, g1.data(), gT.data());
        Calcul::Forward(c.m, e, &s);
    } else {
        SommesAuFil<LD> s(c.m, c.m.ASource.data(), e, n, c, g1.data(), gT.data());
        Calcul::Forward(c.m, e, &s);
    }
    reestimer(p, e, c, g1.data(), gT.data());
    return true;
}

// `alphaAJour` : Alpha et c.m sont déjà ceux de ces paramètres (le Forward qui clôt
// l'itération précédente) ; les recalculer donnerait exactement les mêmes valeurs.
void iteration(ParametresModele &p, EspaceTravail &e, bool alphaAJour, Contexte &c)
{
    const int N = p.N, M = p.M, T = e.LongueurSequence;
    if (!e.GarderTables) {
        if (iterationAuFil(p, e, alphaAJour, c))
            return;
        // Cas rare (valeurs hors des bornes du chemin au fil) : tables entières, Forward refait.
        e.GarderTables = true;
        alphaAJour = false;
    }
    if (!alphaAJour) {
        Calcul::ControlerSequence(p, e);
        c.m.Construire(p);
        Calcul::Forward(c.m, e);
    }
    Calcul::Backward(c.m, e);
    if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1 || e.EsperancesGeneration.Colonnes() != M + 1 ||
        e.EsperancesDepuis.longueur() != N + 1)
        DimensionnerEsperances(p, e);
    CalculerGamma(p, e);
    xi(c.m, e, c.tp);
    sommerGamma(c, e, N, M);
    reestimer(p, e, c, e.Gamma.LigneBrute(1), e.Gamma.LigneBrute(T));
}

}

void IterationBaumWelch(ParametresModele &p, EspaceTravail &e)
{
    // Tables et tampons gardés d'un appel à l'autre (itérations pas à pas) : ni allocation ni
    // défaut de page ; chaque itération reconstruit les tables de p.
    thread_local Contexte c;
    iteration(p, e, false, c);
}

void SommesBaumWelch(const ParametresModele &p, EspaceTravail &e, SommesFormation &s)
{
    // Tables et tampons gardés d'une itération à l'autre : ni allocation ni remise à zéro.
    thread_local Contexte c;
    const int N = p.N, M = p.M;
    const std::size_t L = std::size_t(s.L), Mc = std::size_t(s.Mc);
    c.m.Construire(p);
    if (e.EsperancesTransitions.Lignes() != N + 1 || e.EsperancesTransitions.Colonnes() != N + 1)
        e.EsperancesTransitions.Dimensionner(N + 1, N + 1);
    RetourPremiereSequence retour(e);
    for (std::size_t k = 0; k < e.Formation.size(); ++k) {
        // La séquence k prend la place de celle de l'espace le temps de ses calculs.
        e.ChargerFormation(k);
        Calcul::ControlerSequence(p, e);
        Calcul::Forward(c.m, e);
        Calcul::Backward(c.m, e);
        CalculerGamma(p, e);
        xi(c.m, e, c.tp);
        const int T = e.LongueurSequence;
        sommerGamma(c, e, N, M);
        const LD *g1 = e.Gamma.LigneBrute(1);
        const LD *gT = e.Gamma.LigneBrute(T);
        for (int i = 1; i <= N; ++i) {
            const std::size_t si = std::size_t(i);
            s.Pi[si] += g1[i];
            s.Depuis[si] += c.d[si];
            s.Etat[si] += c.d[si] + gT[i];
            const LD *n = e.EsperancesTransitions.LigneBrute(i);
            for (int j = 1; j <= N; ++j)
                s.Transitions[si * L + std::size_t(j)] += n[j];
            for (int o = 1; o <= M; ++o)
                s.Generation[si * Mc + std::size_t(o)] += c.g[si * Mc + std::size_t(o)];
        }
    }
}

IssueEntrainement BouclerBaumWelch(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    const bool modeIterations = (e.Seuil == 2);
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    e.IterationsEffectuees = 0;
    Contexte c;
    if (!modeIterations) {
        Calcul::ControlerSequence(p, e);
        c.m.Construire(p);
        Calcul::Forward(c.m, e);
    }
    if (obs)
        obs->Debut(Entrainement::BaumWelch, p, e);
    DimensionnerEsperances(p, e);
    if (!modeIterations && e.Probabilite >= e.Seuil) {
        if (obs)
            obs->FinSansIteration(Entrainement::BaumWelch, p, e);
        return IssueEntrainement::SeuilDejaAtteint;
    }

    bool alphaAJour = !modeIterations; // le Forward du test du seuil vient d'être fait
    return DeroulerIterations(
        p, e, obs,
        [&] {
            iteration(p, e, alphaAJour, c);
            alphaAJour = true;
        },
        [&] { return !(e.Probabilite < e.Seuil); });
}

IssueEntrainement DeroulerIterations(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs,
                                     const std::function<void()> &iterer, const std::function<bool()> &seuilAtteint)
{
    const bool modeIterations = (e.Seuil == 2);
    e.IterationCourante = 1;
    for (;;) {
        if (modeIterations && !(e.IterationCourante <= e.NombreIterations && !e.Stable))
            break;
        iterer();
        ++e.IterationsEffectuees;
        const bool atteint = seuilAtteint();
        if (!modeIterations)
            e.LimiteAtteinte = e.IterationCourante >= LimiteIterationsSeuil && !atteint && !e.Stable;
        if (obs && !obs->Continuer(Entrainement::BaumWelch))
            e.Interrompu = true;
        if (obs)
            obs->Iteration(Entrainement::BaumWelch, p, e);
        if (e.Interrompu)
            return IssueEntrainement::Interrompu;
        if (!modeIterations) {
            if (atteint || e.Stable)
                break;
            if (e.LimiteAtteinte)
                return IssueEntrainement::LimiteAtteinte;
        }
        ++e.IterationCourante;
    }
    return IssueEntrainement::Termine;
}

QString CheminJournalEntrainement()
{
    return Repertoire::Fichier(QStringLiteral("APP.txt"));
}

QString DescriptionEntrainement(Entrainement type, const QString &sequence)
{
    return (type == Entrainement::BaumWelch ? QStringLiteral("l'Entrainnement de BaumWelch avec la séquence ")
                                            : QStringLiteral("l'Entrainnement de Viterbi avec la séquence ")) +
           sequence;
}

QString DescriptionEntrainement(Entrainement type, int nombre)
{
    return (type == Entrainement::BaumWelch ? QStringLiteral("l'Entrainnement de BaumWelch avec %1 séquences")
                                            : QStringLiteral("l'Entrainnement de Viterbi avec %1 séquences"))
        .arg(nombre);
}
