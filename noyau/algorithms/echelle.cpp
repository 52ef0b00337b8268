// Les récurrences mises à l'échelle : elles ne servent que lorsque le calcul exact sort de la
// plage de l'étendu. Mêmes tables du modèle que les noyaux exacts (arcs existants d'un modèle
// creux, colonnes contiguës sinon), lignes dans des blocs plats ; seules les tables demandées
// (GarderTables) sont gardées en entier.
#include "algorithms/echelle.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

using LD = long double;
using Calcul::TablesModele;

void marquer(EspaceTravail &e, const GrandeProbabilite &p)
{
    e.MisALEchelle = true;
    e.ProbabiliteEchelle = p;
    e.Probabilite = p.VersEtendu();
}

// s[j] = (Σ_i a[i] A[i][j]) × b[j], i croissant ; rend Σ_j s[j], j croissant. Quatre colonnes
// à la fois (quatre sommes indépendantes en vol), chacune gardant ses termes i croissant.
template <typename C>
LD avantPlein(const C *at, std::size_t L, int N, const LD *a, const LD *b, LD *s)
{
    LD total = 0;
    int j = 1;
    for (; j + 3 <= N; j += 4) {
        const C *c0 = at + std::size_t(j) * L, *c1 = c0 + L, *c2 = c1 + L, *c3 = c2 + L;
        LD s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int i = 1; i <= N; ++i) {
            const LD x = a[i];
            s0 += x * static_cast<LD>(c0[i]);
            s1 += x * static_cast<LD>(c1[i]);
            s2 += x * static_cast<LD>(c2[i]);
            s3 += x * static_cast<LD>(c3[i]);
        }
        s[j] = s0 * b[j];
        s[j + 1] = s1 * b[j + 1];
        s[j + 2] = s2 * b[j + 2];
        s[j + 3] = s3 * b[j + 3];
        total += s[j];
        total += s[j + 1];
        total += s[j + 2];
        total += s[j + 3];
    }
    for (; j + 1 <= N; j += 2) {
        const C *c0 = at + std::size_t(j) * L, *c1 = c0 + L;
        LD s0 = 0, s1 = 0;
        for (int i = 1; i <= N; ++i) {
            const LD x = a[i];
            s0 += x * static_cast<LD>(c0[i]);
            s1 += x * static_cast<LD>(c1[i]);
        }
        s[j] = s0 * b[j];
        s[j + 1] = s1 * b[j + 1];
        total += s[j];
        total += s[j + 1];
    }
    for (; j <= N; ++j) {
        const C *c0 = at + std::size_t(j) * L;
        LD s0 = 0;
        for (int i = 1; i <= N; ++i)
            s0 += a[i] * static_cast<LD>(c0[i]);
        s[j] = s0 * b[j];
        total += s[j];
    }
    return total;
}

template <typename C>
LD avantCreux(const TablesModele &m, const C *val, const LD *a, const LD *b, LD *s)
{
    const int *debut = m.DebutDest.data(), *source = m.Source.data();
    LD total = 0;
    for (int j = 1; j <= m.N; ++j) {
        LD s0 = 0;
        for (int k = debut[j]; k < debut[j + 1]; ++k)
            s0 += a[source[k]] * static_cast<LD>(val[k]);
        s[j] = s0 * b[j];
        total += s[j];
    }
    return total;
}

// Lignes pleines mises à l'échelle en doubles : ᾱ et β̂ y sont ramenés à chaque instant (ᾱ à une
// somme de 1, β̂ par c_t), loin des bornes des doubles. Les N² produits s'y font en registres SSE au
// lieu de la pile x87, A lu en un double (arrondi au plus près quand il n'en est pas un) ; l'écart
// relatif reste de l'ordre de N × 2^-53 par instant, sans cumul au fil de t (chaque ligne est
// ramenée), bien sous ce que vérifient les comparaisons au calcul exact. Le calcul exact ne passe
// jamais par ici.
// A et B dans la plage des doubles (découpes exactes) ; une ligne dont la somme en doubles
// frôle leur plancher est refaite en étendu, qui ne la perd pas.
constexpr int LigneDoubleMax = 128;
constexpr LD PlancherDoubles = 1e-280L;

// Moins de PeuDEtats états : les conversions de chaque ligne coûtent autant que les N² produits,
// le calcul reste en étendu.
constexpr int PeuDEtats = 8;

// Plein : A découpé ou en doubles (lu dans Ah, Ath), B découpé ; creux : les copies arrondies
// des arcs (ADestD, ASourceD) et B restent normales et finies.
bool enDoubles(const TablesModele &m)
{
    const bool valeurs = m.Creux ? m.ArcsArrondis : (m.ADouble || m.Scinde) && m.BScinde;
    return valeurs && m.N >= PeuDEtats && m.L <= LigneDoubleMax;
}

// Produit des sommes de ligne : la mantisse de P multipliée en étendu et ramenée dans [0,5 ; 1)
// seulement loin de 1. Une puissance de deux ne change aucun arrondi tant que tout reste normal
// (produit entre 2^-12000 et 2^12000) : mêmes bits qu'un frexp à chaque instant.
struct Produit {
    LD x;
    long long e;
    explicit Produit(const GrandeProbabilite &p) : x(p.Mantisse), e(p.Exposant) {}
    void ramener()
    {
        int k = 0;
        x = std::frexp(x, &k);
        e = x == 0 ? 0 : e + k;
    }
    void operator*=(LD somme)
    {
        if (!(somme >= 0x1p-4000L && somme <= 0x1p4000L))
            ramener();
        x *= somme;
        if (!(x > 0x1p-8000L && x < 0x1p8000L))
            ramener();
    }
    GrandeProbabilite Valeur()
    {
        ramener();
        GrandeProbabilite g;
        g.Mantisse = x;
        g.Exposant = e;
        return g;
    }
    // Backward : le dernier facteur, Σ π b β̂_1 ; nul quand la séquence est impossible.
    GrandeProbabilite Finir(LD somme)
    {
        if (!(somme > 0))
            return GrandeProbabilite();
        *this *= somme;
        return Valeur();
    }
};

// Σ_i π_i b_i(o_1) y_1(i), i croissant.
LD sommeDepart(const TablesModele &m, int o1, const LD *y1)
{
    const LD *b = m.Bt.data() + std::size_t(o1) * std::size_t(m.L);
    LD s = 0;
    for (int i = 1; i <= m.N; ++i)
        s += m.PI[std::size_t(i)] * b[i] * y1[i];
    return s;
}

// s[r] = (Σ_k lignes_r[k]·w[k]) × facteur[r] (facteur nul : 1) pour r = 1..N, lignes de
// longueur L rangées bout à bout ; rend Σ s, r croissant, en étendu. Quatre lignes à la fois :
// w n'est lu qu'une fois.
LD lignesParVecteur(const double *lignes, std::size_t L, int N, const double *w, const double *facteur, double *s)
{
    LD total = 0;
    const auto poser = [&](int r, double v) {
        s[r] = facteur ? v * facteur[r] : v;
        total += LD(s[r]);
    };
    int r = 1;
    for (; r + 3 <= N; r += 4) {
        const double *l0 = lignes + std::size_t(r) * L, *l1 = l0 + L, *l2 = l1 + L, *l3 = l2 + L;
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int k = 1; k <= N; ++k) {
            const double wk = w[k];
            s0 += wk * l0[k];
            s1 += wk * l1[k];
            s2 += wk * l2[k];
            s3 += wk * l3[k];
        }
        poser(r, s0);
        poser(r + 1, s1);
        poser(r + 2, s2);
        poser(r + 3, s3);
    }
    for (; r <= N; ++r) {
        const double *l0 = lignes + std::size_t(r) * L;
        double s0 = 0;
        for (int k = 1; k <= N; ++k)
            s0 += w[k] * l0[k];
        poser(r, s0);
    }
    return total;
}

// La même chose sur les seuls arcs existants : par destination (Forward, A[Source[k]][j]) ou par
// source (Backward, A[i][Dest[k]]), termes dans l'ordre des arcs.
LD arcsParVecteur(const int *debut, const int *indice, const double *val, int N, const double *w,
                  const double *facteur, double *s)
{
    LD total = 0;
    for (int r = 1; r <= N; ++r) {
        double s0 = 0;
        for (int k = debut[r]; k < debut[r + 1]; ++k)
            s0 += w[indice[k]] * val[k];
        s[r] = facteur ? s0 * facteur[r] : s0;
        total += LD(s[r]);
    }
    return total;
}

// Un pas en doubles : Forward, s = (Aᵀ x) × b ; Backward, s = A w (w = b·β̂ déjà formé).
LD produitDoubles(const TablesModele &m, bool arriere, const double *w, const double *b, double *s)
{
    if (m.Creux)
        return arriere ? arcsParVecteur(m.DebutSource.data(), m.Dest.data(), m.ASourceD.data(), m.N, w, nullptr, s)
                       : arcsParVecteur(m.DebutDest.data(), m.Source.data(), m.ADestD.data(), m.N, w, b, s);
    return lignesParVecteur(arriere ? m.Ah.data() : m.Ath.data(), std::size_t(m.L), m.N, w, arriere ? nullptr : b, s);
}

// Les pas en doubles sur des lignes d'étendus : ᾱ (ou b·β̂) converti, produit, résultat rendu
// en étendus.
LD avantDoubles(const TablesModele &m, const LD *a, const LD *b, LD *s)
{
    double x[LigneDoubleMax], bd[LigneDoubleMax], r[LigneDoubleMax];
    x[0] = bd[0] = 0;
    for (int i = 1; i <= m.N; ++i) {
        x[i] = double(a[i]);
        bd[i] = double(b[i]);
    }
    const LD total = produitDoubles(m, false, x, bd, r);
    for (int j = 1; j <= m.N; ++j)
        s[j] = LD(r[j]);
    return total;
}

LD arriereDoubles(const TablesModele &m, const LD *y, const LD *b, LD *s)
{
    double z[LigneDoubleMax], r[LigneDoubleMax];
    z[0] = 0;
    for (int j = 1; j <= m.N; ++j)
        z[j] = double(b[j]) * double(y[j]);
    const LD total = produitDoubles(m, true, z, nullptr, r);
    for (int i = 1; i <= m.N; ++i)
        s[i] = LD(r[i]);
    return total;
}

LD avant(const TablesModele &m, const LD *a, const LD *b, LD *s)
{
    if (enDoubles(m)) {
        const LD total = avantDoubles(m, a, b, s);
        if (total > PlancherDoubles)
            return total;
    }
    if (m.Creux)
        return m.ArcsDouble ? avantCreux(m, m.ADestD.data(), a, b, s) : avantCreux(m, m.ADest.data(), a, b, s);
    return m.ADouble ? avantPlein(m.Ath.data(), std::size_t(m.L), m.N, a, b, s)
                     : avantPlein(m.At.data(), std::size_t(m.L), m.N, a, b, s);
}

// s[i] = Σ_j (A[i][j] × b[j]) × y[j], j croissant ; rend Σ_i s[i], i croissant. Quatre lignes
// à la fois, b[j] et y[j] lus une fois pour les quatre, chaque somme gardant ses termes.
template <typename C>
LD arrierePlein(const C *a, std::size_t L, int N, const LD *y, const LD *b, LD *s)
{
    LD total = 0;
    int i = 1;
    for (; i + 3 <= N; i += 4) {
        const C *a0 = a + std::size_t(i) * L, *a1 = a0 + L, *a2 = a1 + L, *a3 = a2 + L;
        LD s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int j = 1; j <= N; ++j) {
            const LD c = b[j], z = y[j];
            s0 += static_cast<LD>(a0[j]) * c * z;
            s1 += static_cast<LD>(a1[j]) * c * z;
            s2 += static_cast<LD>(a2[j]) * c * z;
            s3 += static_cast<LD>(a3[j]) * c * z;
        }
        s[i] = s0;
        s[i + 1] = s1;
        s[i + 2] = s2;
        s[i + 3] = s3;
        total += s0;
        total += s1;
        total += s2;
        total += s3;
    }
    for (; i <= N; ++i) {
        const C *ai = a + std::size_t(i) * L;
        LD s0 = 0;
        for (int j = 1; j <= N; ++j)
            s0 += static_cast<LD>(ai[j]) * b[j] * y[j];
        s[i] = s0;
        total += s0;
    }
    return total;
}

template <typename C>
LD arriereCreux(const TablesModele &m, const C *val, const LD *y, const LD *b, LD *s)
{
    const int *debut = m.DebutSource.data(), *dest = m.Dest.data();
    LD total = 0;
    for (int i = 1; i <= m.N; ++i) {
        LD s0 = 0;
        for (int k = debut[i]; k < debut[i + 1]; ++k) {
            const int j = dest[k];
            s0 += static_cast<LD>(val[k]) * b[j] * y[j];
        }
        s[i] = s0;
        total += s0;
    }
    return total;
}

LD arriere(const TablesModele &m, const LD *y, const LD *b, LD *s)
{
    if (enDoubles(m)) {
        const LD total = arriereDoubles(m, y, b, s);
        if (total > PlancherDoubles)
            return total;
    }
    if (m.Creux)
        return m.ArcsDouble ? arriereCreux(m, m.ASourceD.data(), y, b, s) : arriereCreux(m, m.ASource.data(), y, b, s);
    return m.ADouble ? arrierePlein(m.Ah.data(), std::size_t(m.L), m.N, y, b, s)
                     : arrierePlein(m.A.data(), std::size_t(m.L), m.N, y, b, s);
}

// Table de lignes : T + 1 lignes (pleine) ou deux lignes de travail (ligne t en t & 1).
struct Lignes {
    LD *base = nullptr;
    std::size_t masque = 0, L = 0;
    LD *operator()(int t) const { return base + (std::size_t(t) & masque) * L; }
};

Lignes preparer(Matrice<LD> &table, int T, int L, bool pleine)
{
    const int n = pleine ? T + 1 : 2;
    if (table.Lignes() != n || table.Colonnes() != L)
        table.Dimensionner(n, L);
    return {table.LigneBrute(0), pleine ? ~std::size_t(0) : 1, std::size_t(L)};
}

// ᾱ dans `a`, c_t dans c[1..T] (quand c est donné) ; rend P(O|λ), nulle pour une séquence
// impossible (les c_t restants valent alors 0).
// `points` (quand il est donné) : la ligne ᾱ_t de chaque t = 1 + q K y est recopiée en ligne q.
GrandeProbabilite forward(const TablesModele &m, const int *O, int T, const Lignes &a, LD *c, LD *points = nullptr,
                          int K = 1)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    Produit P(GrandeProbabilite::De(1));
    for (int t = 1; t <= T; ++t) {
        LD *x = a(t);
        const LD *b = m.Bt.data() + std::size_t(O[t]) * L;
        LD somme = 0;
        if (t == 1) {
            for (int j = 1; j <= N; ++j) {
                x[j] = m.PI[std::size_t(j)] * b[j];
                somme += x[j];
            }
        } else {
            somme = avant(m, a(t - 1), b, x);
        }
        if (!(somme > 0)) {
            // Aucun état ne génère o_t : la séquence est impossible (un zéro du modèle).
            if (c)
                for (int u = t; u <= T; ++u)
                    c[u] = 0;
            return GrandeProbabilite();
        }
        const LD f = 1 / somme;
        if (c)
            c[t] = f;
        for (int j = 1; j <= N; ++j)
            x[j] *= f;
        if (points && (t - 1) % K == 0)
            std::memcpy(static_cast<void *>(points + std::size_t((t - 1) / K) * L), x, sizeof(LD) * L);
        P *= somme;
    }
    return P.Valeur();
}

// P(O|λ) seule d'un modèle dans la plage des doubles : les lignes de travail en doubles, sans
// aller-retour par des étendus en mémoire. Chaque valeur est celle que forward() et
// backwardSeul() rangent puis relisent (l'étendu ramené, arrondi au double), d'où les mêmes bits.
// Rien quand une ligne frôle le plancher des doubles : le calcul en étendus est alors refait.
struct LignesDoubles {
    std::vector<double> B; // B[o][j] arrondis, o = 0..M
    double x[LigneDoubleMax], r[LigneDoubleMax];
    explicit LignesDoubles(const TablesModele &m) : B(m.Bt.begin(), m.Bt.end())
    {
        x[0] = r[0] = 0;
    }
};

std::optional<GrandeProbabilite> forwardSeulDoubles(const TablesModele &m, const int *O, int T)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    LignesDoubles d(m);
    Produit P(GrandeProbabilite::De(1));
    {
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        LD x1[LigneDoubleMax], somme = 0;
        for (int j = 1; j <= N; ++j) {
            x1[j] = m.PI[std::size_t(j)] * b[j];
            somme += x1[j];
        }
        if (!(somme > 0))
            return GrandeProbabilite();
        const LD f = 1 / somme;
        for (int j = 1; j <= N; ++j)
            d.x[j] = double(x1[j] * f);
        P *= somme;
    }
    for (int t = 2; t <= T; ++t) {
        const LD somme = produitDoubles(m, false, d.x, d.B.data() + std::size_t(O[t]) * L, d.r);
        if (!(somme > PlancherDoubles))
            return std::nullopt;
        const LD f = 1 / somme;
        for (int j = 1; j <= N; ++j)
            d.x[j] = double(LD(d.r[j]) * f);
        P *= somme;
    }
    return P.Valeur();
}

std::optional<GrandeProbabilite> backwardSeulDoubles(const TablesModele &m, const int *O, int T)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    LignesDoubles d(m);
    Produit P(GrandeProbabilite::De(1));
    LD y1[LigneDoubleMax];
    for (int i = 1; i <= N; ++i) {
        d.x[i] = 1;
        y1[i] = 1;
    }
    for (int t = T - 1; t >= 1; --t) {
        const double *b = d.B.data() + std::size_t(O[t + 1]) * L;
        for (int j = 1; j <= N; ++j)
            d.x[j] = b[j] * d.x[j];
        const LD somme = produitDoubles(m, true, d.x, nullptr, d.r);
        if (!(somme > PlancherDoubles))
            return std::nullopt;
        const LD f = 1 / somme;
        if (t > 1)
            for (int i = 1; i <= N; ++i)
                d.x[i] = double(LD(d.r[i]) * f);
        else
            for (int i = 1; i <= N; ++i)
                y1[i] = LD(d.r[i]) * f;
        P *= somme;
    }
    return P.Finir(sommeDepart(m, O[1], y1));
}

// β̂ dans `y` avec les facteurs c du Forward ; rend Σ_i π_i b_i(o_1) β̂_1(i).
LD backward(const TablesModele &m, const int *O, int T, const Lignes &y, const LD *c)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    {
        LD *yT = y(T);
        for (int i = 1; i <= N; ++i)
            yT[i] = c[T];
    }
    for (int t = T - 1; t >= 1; --t) {
        LD *x = y(t);
        arriere(m, y(t + 1), m.Bt.data() + std::size_t(O[t + 1]) * L, x);
        for (int i = 1; i <= N; ++i)
            x[i] *= c[t];
    }
    return sommeDepart(m, O[1], y(1));
}

// Backward seul, sur deux lignes, chaque ligne ramenée à une somme de 1 par son propre facteur.
GrandeProbabilite backwardSeul(const TablesModele &m, const int *O, int T, const Lignes &y)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    if (enDoubles(m))
        if (const std::optional<GrandeProbabilite> P = backwardSeulDoubles(m, O, T))
            return *P;
    Produit P(GrandeProbabilite::De(1));
    {
        LD *yT = y(T);
        for (int i = 1; i <= N; ++i)
            yT[i] = 1;
    }
    for (int t = T - 1; t >= 1; --t) {
        LD *x = y(t);
        const LD somme = arriere(m, y(t + 1), m.Bt.data() + std::size_t(O[t + 1]) * L, x);
        if (!(somme > 0))
            return GrandeProbabilite();
        const LD f = 1 / somme;
        for (int i = 1; i <= N; ++i)
            x[i] *= f;
        P *= somme;
    }
    return P.Finir(sommeDepart(m, O[1], y(1)));
}

// ᾱ gardé par points (entraînement sans tables demandées) : les lignes t = 1 + q K seulement,
// K ≈ √T, suivies de K lignes (deux au moins : celles du Forward) où esperances() refait chaque
// tranche [1 + q K, q K + K] depuis son point avec les c_t gardés (mêmes produits, mêmes
// facteurs : les mêmes valeurs).
int pasPoints(int T)
{
    int K = int(std::sqrt(double(T)));
    while ((long long)K * K < T)
        ++K;
    return K < 1 ? 1 : K;
}

void forwardPoints(const TablesModele &m, EspaceTravail &e)
{
    const int T = e.LongueurSequence, K = pasPoints(T);
    const int points = (T - 1) / K + 1, lignes = points + std::max(K, 2);
    if (e.Alpha.Lignes() != lignes || e.Alpha.Colonnes() != m.L)
        e.Alpha.Dimensionner(lignes, m.L);
    e.FacteursEchelle.resize(std::size_t(T) + 1);
    e.FacteursEchelle[0] = 0;
    // Les deux lignes de travail du calcul sont les deux premières de la tranche.
    const Lignes a{e.Alpha.LigneBrute(points), 1, std::size_t(m.L)};
    marquer(e, forward(m, e.Observations.data(), T, a, e.FacteursEchelle.data(), e.Alpha.LigneBrute(0), K));
}

// Forward mis à l'échelle sur les tables m : Alpha pleine quand `pleine`, c_t gardés alors.
void forwardTables(const TablesModele &m, EspaceTravail &e, bool pleine)
{
    const int T = e.LongueurSequence;
    const Lignes a = preparer(e.Alpha, T, m.L, pleine);
    LD *c = nullptr;
    if (pleine) {
        e.FacteursEchelle.resize(std::size_t(T) + 1);
        e.FacteursEchelle[0] = 0;
        c = e.FacteursEchelle.data();
    } else {
        e.FacteursEchelle.resize(0);
        if (enDoubles(m))
            if (const std::optional<GrandeProbabilite> P = forwardSeulDoubles(m, e.Observations.data(), T)) {
                marquer(e, *P);
                return;
            }
    }
    marquer(e, forward(m, e.Observations.data(), T, a, c));
}

// γ et ξ d'une séquence dont Alpha (pleine, ou par points avec `parPoints`) et les c_t sont à
// jour : β̂ calculé t décroissant
// (Beta pleine quand GarderTables, sinon deux lignes), γ_t(i) = ᾱ_t(i) β̂_t(i) / c_t et
// ξ_t(i,j) = ᾱ_t(i) a_ij b_j(o_t+1) β̂_t+1(j) ajoutés aux sommes au fil du calcul (γ dans Gamma
// quand GarderTables). `xi` : une somme par arc (ordre par source). Rend P(O|λ).
GrandeProbabilite esperances(const TablesModele &m, EspaceTravail &e, SommesFormation &s, std::vector<LD> &xi,
                             bool parPoints = false)
{
    const int N = m.N, T = e.LongueurSequence;
    const std::size_t L = std::size_t(m.L), Lf = std::size_t(s.L), Mc = std::size_t(s.Mc);
    const int *O = e.Observations.data();
    const LD *c = e.FacteursEchelle.data();
    const Lignes y = preparer(e.Beta, T, m.L, e.GarderTables);
    // ᾱ_t, t décroissant : la ligne de la table pleine, ou celle de la tranche refaite depuis son
    // point (forwardPoints) quand t passe sous la tranche courante.
    const int K = parPoints ? pasPoints(T) : 1;
    LD *const base = e.Alpha.LigneBrute(0);
    LD *const tranche = parPoints ? e.Alpha.LigneBrute((T - 1) / K + 1) : nullptr;
    int debutTranche = T + 1;
    const auto a = [&](int t) -> const LD * {
        if (!parPoints)
            return base + std::size_t(t) * L;
        if (t < debutTranche) {
            debutTranche = (t - 1) / K * K + 1;
            const int fin = std::min(debutTranche + K - 1, T);
            std::memcpy(static_cast<void *>(tranche), base + std::size_t((debutTranche - 1) / K) * L, sizeof(LD) * L);
            for (int u = debutTranche + 1; u <= fin; ++u) {
                LD *x = tranche + std::size_t(u - debutTranche) * L;
                avant(m, x - L, m.Bt.data() + std::size_t(O[u]) * L, x);
                const LD f = c[u];
                for (int j = 1; j <= N; ++j)
                    x[j] *= f;
            }
        }
        return tranche + std::size_t(t - debutTranche) * L;
    };
    const bool gamma = e.GarderTables;
    if (gamma && (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1))
        e.Gamma.Dimensionner(T + 1, N + 1);
    xi.assign(std::size_t(m.Arcs), 0.0L);
    const int *debut = m.DebutSource.data(), *dest = m.Dest.data();
    const LD *val = m.ASource.data();
    // Les mêmes valeurs en doubles quand elles en sont : un chargement de 64 bits au lieu de 80.
    const double *valD = m.ArcsDouble ? m.ASourceD.data() : nullptr;
    // Modèle dans la plage des doubles : ξ et γ en doubles aussi (comme avant() et arriere()).
    const bool doubles = enDoubles(m);
    std::vector<double> xiD(doubles ? std::size_t(m.Arcs) : 0, 0.0);
    double xd[LigneDoubleMax], wd[LigneDoubleMax];
    const auto ajouterGamma = [&](int t) {
        const LD *x = a(t), *z = y(t);
        LD *g = gamma ? e.Gamma.LigneBrute(t) : nullptr;
        const std::size_t o = std::size_t(O[t]);
        const double cd = double(c[t]);
        for (int i = 1; i <= N; ++i) {
            const LD v = doubles ? LD(double(x[i]) * double(z[i]) / cd) : x[i] * z[i] / c[t];
            if (g)
                g[i] = v;
            const std::size_t si = std::size_t(i);
            if (t < T)
                s.Depuis[si] += v;
            s.Etat[si] += v;
            if (t == 1)
                s.Pi[si] += v;
            if (o >= 1)
                s.Generation[si * Mc + o] += v;
        }
    };
    {
        LD *yT = y(T);
        for (int i = 1; i <= N; ++i)
            yT[i] = c[T];
    }
    ajouterGamma(T);
    for (int t = T - 1; t >= 1; --t) {
        const LD *suivant = y(t + 1);
        const LD *b = m.Bt.data() + std::size_t(O[t + 1]) * L;
        const LD *x = a(t);
        // ξ_t avant que la ligne t + 1 de β̂ ne soit remplacée (deux lignes de travail).
        if (doubles) {
            for (int j = 1; j <= N; ++j)
                wd[j] = double(b[j]) * double(suivant[j]);
            for (int i = 1; i <= N; ++i)
                xd[i] = double(x[i]);
            // Les arcs par source, valeurs arrondies (les mêmes que Ah pour un modèle plein).
            const double *arc = m.ASourceD.data();
            for (int i = 1; i <= N; ++i) {
                const double ai = xd[i];
                for (int k = debut[i]; k < debut[i + 1]; ++k)
                    xiD[std::size_t(k)] += ai * arc[k] * wd[dest[k]];
            }
        } else if (valD) {
            for (int i = 1; i <= N; ++i) {
                const LD ai = x[i];
                for (int k = debut[i]; k < debut[i + 1]; ++k) {
                    const int j = dest[k];
                    xi[std::size_t(k)] += ai * static_cast<LD>(valD[k]) * b[j] * suivant[j];
                }
            }
        } else {
            for (int i = 1; i <= N; ++i) {
                const LD ai = x[i];
                for (int k = debut[i]; k < debut[i + 1]; ++k) {
                    const int j = dest[k];
                    xi[std::size_t(k)] += ai * val[k] * b[j] * suivant[j];
                }
            }
        }
        LD *z = y(t);
        arriere(m, suivant, b, z);
        for (int i = 1; i <= N; ++i)
            z[i] *= c[t];
        ajouterGamma(t);
    }
    if (doubles)
        for (std::size_t k = 0; k < xiD.size(); ++k)
            xi[k] = LD(xiD[k]);
    for (int i = 1; i <= N; ++i)
        for (int k = debut[i]; k < debut[i + 1]; ++k)
            s.Transitions[std::size_t(i) * Lf + std::size_t(dest[k])] += xi[std::size_t(k)];
    const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
    const LD *y1 = y(1);
    LD somme = 0;
    for (int i = 1; i <= N; ++i)
        somme += m.PI[std::size_t(i)] * b[i] * y1[i];
    GrandeProbabilite P = e.ProbabiliteEchelle;
    P *= somme;
    return P;
}

}

namespace Echelle {

void Forward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    forwardTables(Calcul::TablesDuCalcul(p), e, e.GarderTables);
}

void Backward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const TablesModele &m = Calcul::TablesDuCalcul(p);
    const int T = e.LongueurSequence;
    const int *O = e.Observations.data();
    if (!e.GarderTables) {
        // Seule P(O|λ) : ni ᾱ ni c_t, β̂ sur deux lignes.
        e.FacteursEchelle.resize(0);
        marquer(e, backwardSeul(m, O, T, preparer(e.Beta, T, m.L, false)));
        return;
    }
    forwardTables(m, e, true);
    const Lignes y = preparer(e.Beta, T, m.L, true);
    const GrandeProbabilite avant = e.ProbabiliteEchelle;
    if (avant.EstNulle()) {
        std::memset(static_cast<void *>(y.base), 0, sizeof(LD) * std::size_t(T + 1) * y.L);
        return; // β̂ reste nul : la séquence est impossible
    }
    GrandeProbabilite P = avant;
    P *= backward(m, O, T, y, e.FacteursEchelle.data()); // P(O|λ) × Π c_t, à l'arrondi près
    marquer(e, P);
}

void Gamma(const ParametresModele &p, EspaceTravail &e)
{
    const int T = e.LongueurSequence, N = p.N;
    if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1)
        e.Gamma.Dimensionner(T + 1, N + 1);
    for (int t = 1; t <= T; ++t) {
        const LD *a = e.Alpha.LigneBrute(t), *b = e.Beta.LigneBrute(t);
        const LD c = e.FacteursEchelle[t];
        LD *g = e.Gamma.LigneBrute(t);
        for (int i = 1; i <= N; ++i)
            g[i] = a[i] * b[i] / c;
    }
}

void Viterbi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const TablesModele &m = Calcul::TablesDuCalcul(p);
    const int N = p.N, T = e.LongueurSequence;
    const std::size_t L = std::size_t(m.L);
    const int *O = e.Observations.data();
    e.CheminViterbi.resize(std::size_t(T) + 1);
    const bool octets = !e.GarderTables && N <= 255;
    if (octets) {
        MemoireTables::Exiger(std::size_t(T + 1) * L);
        e.PsiOctets.assign(std::size_t(T + 1) * L, 0);
        e.Psi.Dimensionner(0, 0);
    } else {
        e.Psi.Dimensionner(T + 1, m.L);
    }
    if (e.GarderTables)
        e.Delta.Dimensionner(T + 1, m.L);
    else
        e.Delta.Dimensionner(0, 0);
    // δ̃_t = δ_t × 2^K_t : une puissance de deux ne change aucun arrondi, les comparaisons
    // sont donc celles du calcul exact (mêmes égalités, même chemin) tant qu'il reste normal.
    std::vector<LD> d(L, 0.0L), suivant(L, 0.0L);
    std::vector<int> psiTravail(octets ? L : 0, 0);
    // Modèle Propager : une ligne presque toute nulle (émissions creuses) ne pousse que ses cases
    // non nulles, comme le Viterbi exact (mêmes maxima, mêmes indices).
    Calcul::EnsembleEtats nonNuls;
    std::vector<LD> meilleurs(m.Propager ? L : 0, 0.0L);
    std::vector<int> args(m.Propager ? L : 0, 1);
    // Les tables du filtre, une fois pour toute la séquence (modèle plein seulement).
    std::unique_ptr<Calcul::DecodeurPlein> plein;
    if (!m.Creux)
        plein = std::make_unique<Calcul::DecodeurPlein>(m);
    long long K = 0;
    // ψ_t écrit directement à sa place (octets : une ligne d'entiers de travail recopiée).
    const auto lignePsi = [&](int t) { return octets ? psiTravail.data() : e.Psi.LigneBrute(t); };
    const auto ranger = [&](int t) {
        if (!octets)
            return;
        unsigned char *q = e.PsiOctets.data() + std::size_t(t) * L;
        for (int j = 1; j <= N; ++j)
            q[j] = static_cast<unsigned char>(psiTravail[std::size_t(j)]);
    };
    // `pousse` : seules les cases de nonNuls peuvent être non nulles (sans tables à écrire, les
    // autres ne sont ni lues ni ramenées : 0 × 2^k = 0).
    const auto ramener = [&](int t, bool pousse) {
        LD *x = d.data();
        const bool partiel = pousse && !e.GarderTables;
        LD mx = 0;
        // Ligne entière : d'abord par les champs d'exposant, sans charger les étendus sur la
        // pile x87 (mx reste nul quand c'est fait).
        if (partiel)
            nonNuls.Parcourir([&](int i) { mx = std::max(mx, x[i]); });
        else if (!Calcul::RamenerParExposants(x, N, K))
            for (int i = 1; i <= N; ++i)
                mx = std::max(mx, x[i]);
        if (mx > 0) {
            const int k = -Calcul::Exposant(mx); // sans appel à ilogbl ni à ldexpl
            if (k > -16000 && k < 16000) {
                const LD f = Calcul::PuissanceDeDeux(k); // produit exact par une puissance de deux
                if (partiel)
                    nonNuls.Parcourir([&](int i) { x[i] *= f; });
                else
                    for (int i = 1; i <= N; ++i)
                        x[i] *= f;
            } else {
                for (int i = 1; i <= N; ++i)
                    x[i] = std::ldexp(x[i], k);
            }
            K += k;
        }
        // Delta montre ln δ_t(i) = ln δ̃_t(i) - K_t ln 2.
        if (e.GarderTables) {
            LD *lt = e.Delta.LigneBrute(t);
            for (int i = 1; i <= N; ++i)
                lt[i] = GrandeProbabilite::De(x[i]).Ln() - LD(K) * 0.693147180559945309417232121458176568L;
        }
    };
    {
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        for (int i = 1; i <= N; ++i) {
            d[std::size_t(i)] = m.PI[std::size_t(i)] * b[i];
            nonNuls.AjouterSi(i, d[std::size_t(i)] != 0);
        }
    }
    ramener(1, false);
    const int *debutDest = m.DebutDest.data(), *source = m.Source.data();
    // Colonne j sur les arcs existants (valeurs en doubles quand elles en sont), sans branche.
    const auto colonneCreuse = [&](const auto *val, const LD *x, int j, LD &meilleur, int &arg) {
        for (int k = debutDest[j]; k < debutDest[j + 1]; ++k) {
            const int i = source[k];
            const LD v = x[i] * static_cast<LD>(val[k]);
            const bool mieux = meilleur < v;
            meilleur = mieux ? v : meilleur;
            arg = mieux ? i : arg;
        }
    };
    for (int t = 2; t <= T; ++t) {
        const LD *b = m.Bt.data() + std::size_t(O[t]) * L;
        const LD *x = d.data();
        int *pt = lignePsi(t);
        const bool pousse = m.Pousser(nonNuls);
        if (pousse) {
            Calcul::PousserViterbi(m, x, b, suivant.data(), pt, nonNuls, meilleurs.data(), args.data());
        } else if (!m.Creux) {
            // Modèle plein (jamais Propager) : les lignes du Viterbi exact, filtre compris.
            plein->Ligne(x, b, suivant.data(), pt);
        } else {
            Calcul::EnsembleEtats suite;
            for (int j = 1; j <= N; ++j) {
                LD meilleur = 0;
                int arg = 1;
                if (m.ArcsDouble)
                    colonneCreuse(m.ADestD.data(), x, j, meilleur, arg);
                else
                    colonneCreuse(m.ADest.data(), x, j, meilleur, arg);
                const LD v = meilleur * b[j];
                suivant[std::size_t(j)] = v;
                pt[j] = arg;
                suite.AjouterSi(j, v != 0);
            }
            nonNuls = suite;
        }
        ranger(t);
        std::swap(d, suivant);
        ramener(t, pousse);
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
    Calcul::RemonterChemin(e, T, m.L);
    GrandeProbabilite g = GrandeProbabilite::De(P);
    if (!g.EstNulle())
        g.Exposant -= K;
    marquer(e, g);
}

}

namespace {

// Une itération de Baum-Welch sur ᾱ et β̂ ; Alpha (pleine, ou par points sans tables
// demandées) et les c_t sont ceux de λ.
void iterationBaumWelch(ParametresModele &p, EspaceTravail &e)
{
    const int N = p.N, M = p.M;
    const TablesModele &m = Calcul::TablesDuCalcul(p);
    SommesFormation s;
    s.Vider(N, M);
    std::vector<LD> xi;
    marquer(e, esperances(m, e, s, xi, !e.GarderTables));
    const std::size_t L = std::size_t(s.L), Mc = std::size_t(s.Mc);
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j)
            e.EsperancesTransitions[i][j] = s.Transitions[std::size_t(i) * L + std::size_t(j)];

    bool stable = true;
    for (int i = 1; i <= N; ++i)
        Remplacer(p.PI[i], s.Pi[std::size_t(i)], stable);
    for (int i = 1; i <= N; ++i) {
        const std::size_t si = std::size_t(i);
        const LD d = s.Depuis[si], eI = s.Etat[si];
        e.EsperancesDepuis[i] = d;
        for (int j = 1; j <= N; ++j)
            Remplacer(p.A[i][j], QuotientReestime(e.EsperancesTransitions[i][j], d, p.A[i][j]), stable);
        e.EsperancesEtat[i] = eI;
        for (int k = 1; k <= M; ++k) {
            const LD g = s.Generation[si * Mc + std::size_t(k)];
            e.EsperancesGeneration[i][k] = g;
            Remplacer(p.B[i][k], QuotientReestime(g, eI, p.B[i][k]), stable);
        }
    }
    e.Stable = stable;
    if (e.GarderTables)
        forwardTables(Calcul::TablesDuCalcul(p), e, true);
    else
        forwardPoints(Calcul::TablesDuCalcul(p), e);
}

}

namespace Echelle {

void ForwardPourEntrainement(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    forwardPoints(Calcul::TablesDuCalcul(p), e);
}

IssueEntrainement BouclerBaumWelch(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs,
                                   bool forwardFait)
{
    const bool modeIterations = (e.Seuil == 2);
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    e.IterationsEffectuees = 0;
    Calcul::ControlerSequence(p, e);
    if (e.GarderTables)
        forwardTables(Calcul::TablesDuCalcul(p), e, true);
    else if (!forwardFait)
        forwardPoints(Calcul::TablesDuCalcul(p), e);
    if (obs)
        obs->Debut(Entrainement::BaumWelch, p, e);
    DimensionnerEsperances(p, e);
    if (!modeIterations && AuMoins(e.ProbabiliteEchelle, e.Seuil)) {
        if (obs)
            obs->FinSansIteration(Entrainement::BaumWelch, p, e);
        return IssueEntrainement::SeuilDejaAtteint;
    }
    return DeroulerIterations(
        p, e, obs, [&] { iterationBaumWelch(p, e); }, [&] { return AuMoins(e.ProbabiliteEchelle, e.Seuil); });
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
    const TablesModele &m = Calcul::TablesDuCalcul(p);
    std::vector<LD> xi;
    RetourPremiereSequence retour(e);
    for (std::size_t k = 0; k < e.Formation.size(); ++k) {
        e.ChargerFormation(k);
        Calcul::ControlerSequence(p, e);
        forwardTables(m, e, true);
        if (!e.ProbabiliteEchelle.EstNulle())
            marquer(e, esperances(m, e, s, xi));
    }
}

}
