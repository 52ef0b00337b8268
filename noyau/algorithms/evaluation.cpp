// Forward et Backward. Chaque case est la somme, i (ou j) croissant à partir de 0, des
// produits formés dans l'ordre de la définition ; les noyaux calculent plusieurs cases
// indépendantes à la fois (quatre sommes en vol) sur des lignes contiguës, ce qui ne change
// aucun arrondi.
#include "algorithms/evaluation.h"
#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <limits>

namespace {

using Calcul::TablesModele;
using LD = long double;

// Valeur At[j][i] (Forward) ou A[i][j] (Backward) à la position k de la table choisie :
// étendu, deux doubles (haut + bas), ou le seul double haut quand A tient en doubles.
enum Lecture { Etendu, Scinde, Double };

template <int Mode>
struct LecteurA {
    const double *h;
    const double *b;
    const LD *e;
    LD operator[](std::size_t k) const
    {
        if constexpr (Mode == Scinde)
            return static_cast<LD>(h[k]) + b[k];
        else if constexpr (Mode == Double)
            return static_cast<LD>(h[k]);
        else
            return e[k];
    }
};

// Ligne suivante de α, boucle pleine : pour chaque j, la somme sur i = 1..N.
template <int Mode>
void forwardPlein(const TablesModele &m, const LD *a, const LD *b, LD *suivant)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const LecteurA<Mode> at{m.Ath.data(), m.Atl.data(), m.At.data()};
    int j = 1;
    for (; j + 3 <= N; j += 4) {
        const std::size_t k0 = std::size_t(j) * L, k1 = k0 + L, k2 = k1 + L, k3 = k2 + L;
        LD s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int i = 1; i <= N; ++i) {
            const LD x = a[i];
            s0 = s0 + x * at[k0 + std::size_t(i)];
            s1 = s1 + x * at[k1 + std::size_t(i)];
            s2 = s2 + x * at[k2 + std::size_t(i)];
            s3 = s3 + x * at[k3 + std::size_t(i)];
        }
        suivant[j] = s0 * b[j];
        suivant[j + 1] = s1 * b[j + 1];
        suivant[j + 2] = s2 * b[j + 2];
        suivant[j + 3] = s3 * b[j + 3];
    }
    for (; j <= N; ++j) {
        const std::size_t k0 = std::size_t(j) * L;
        LD s0 = 0;
        for (int i = 1; i <= N; ++i)
            s0 = s0 + a[i] * at[k0 + std::size_t(i)];
        suivant[j] = s0 * b[j];
    }
}

// Ligne suivante de α sur les seuls arcs existants, i croissant. Rend la somme de la ligne
// écrite : finie si et seulement si chaque case l'est (valeurs >= 0).
template <typename Arc>
LD forwardCreux(const TablesModele &m, const Arc *val, const LD *a, const LD *b, LD *suivant)
{
    const int N = m.N;
    const int *debut = m.DebutDest.data();
    const int *source = m.Source.data();
    LD total = 0;
    for (int j = 1; j <= N; ++j) {
        LD s0 = 0;
        for (int k = debut[j]; k < debut[j + 1]; ++k)
            s0 = s0 + a[source[k]] * static_cast<LD>(val[k]);
        const LD v = s0 * b[j];
        suivant[j] = v;
        total += v;
    }
    return total;
}

bool finie(LD x)
{
    return x <= std::numeric_limits<LD>::max();
}

// Somme d'une ligne >= 0 : finie si et seulement si chaque case l'est.
LD totalLigne(const LD *x, int N)
{
    LD total = 0;
    for (int i = 1; i <= N; ++i)
        total += x[i];
    return total;
}

// Les sauts de termes nuls ne sont exacts que sur des valeurs finies et >= 0 : chaque pas
// creux exige une ligne précédente finie (le modèle étant Positif, elle est >= 0) ; sinon ce
// pas est fait en entier.
template <int Mode>
void forward(const TablesModele &m, const int *O, int T, Matrice<LD> &alpha)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const bool creux = m.Creux && m.Positif;
    bool ligneFinie = false;
    {
        LD *a1 = alpha.LigneBrute(1);
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        for (int i = 1; i <= N; ++i)
            a1[i] = m.PI[std::size_t(i)] * b[i];
        if (creux)
            ligneFinie = finie(totalLigne(a1, N));
    }
    for (int t = 1; t < T; ++t) {
        const LD *a = alpha.LigneBrute(t);
        LD *suivant = alpha.LigneBrute(t + 1);
        const LD *b = m.Bt.data() + std::size_t(O[t + 1]) * L;
        if (ligneFinie) {
            ligneFinie = finie(m.ArcsDouble ? forwardCreux(m, m.ADestD.data(), a, b, suivant)
                                            : forwardCreux(m, m.ADest.data(), a, b, suivant));
        } else {
            forwardPlein<Mode>(m, a, b, suivant);
            if (creux)
                ligneFinie = finie(totalLigne(suivant, N));
        }
    }
}

template <int Mode>
void backwardPlein(const TablesModele &m, const LD *suivant, const LD *b, LD *courant)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const LecteurA<Mode> a{m.Ah.data(), m.Al.data(), m.A.data()};
    int i = 1;
    for (; i + 3 <= N; i += 4) {
        const std::size_t k0 = std::size_t(i) * L, k1 = k0 + L, k2 = k1 + L, k3 = k2 + L;
        LD s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int j = 1; j <= N; ++j) {
            const LD y = suivant[j];
            const LD c = b[j];
            // β[t+1][j] × (A[i][j] × B[j][O[t+1]]) : le produit entre parenthèses d'abord.
            s0 = s0 + y * (a[k0 + std::size_t(j)] * c);
            s1 = s1 + y * (a[k1 + std::size_t(j)] * c);
            s2 = s2 + y * (a[k2 + std::size_t(j)] * c);
            s3 = s3 + y * (a[k3 + std::size_t(j)] * c);
        }
        courant[i] = s0;
        courant[i + 1] = s1;
        courant[i + 2] = s2;
        courant[i + 3] = s3;
    }
    for (; i <= N; ++i) {
        const std::size_t k0 = std::size_t(i) * L;
        LD s0 = 0;
        for (int j = 1; j <= N; ++j)
            s0 = s0 + suivant[j] * (a[k0 + std::size_t(j)] * b[j]);
        courant[i] = s0;
    }
}

template <typename Arc>
LD backwardCreux(const TablesModele &m, const Arc *val, const LD *suivant, const LD *b, LD *courant)
{
    const int N = m.N;
    const int *debut = m.DebutSource.data();
    const int *dest = m.Dest.data();
    LD total = 0;
    for (int i = 1; i <= N; ++i) {
        LD s0 = 0;
        for (int k = debut[i]; k < debut[i + 1]; ++k) {
            const int j = dest[k];
            s0 = s0 + suivant[j] * (static_cast<LD>(val[k]) * b[j]);
        }
        courant[i] = s0;
        total += s0;
    }
    return total;
}

template <int Mode>
void backward(const TablesModele &m, const int *O, int T, Matrice<LD> &beta)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    {
        LD *bT = beta.LigneBrute(T);
        for (int i = 1; i <= N; ++i)
            bT[i] = 1;
    }
    const bool creux = m.Creux && m.Positif;
    bool ligneFinie = creux;
    for (int t = T - 1; t >= 1; --t) {
        const LD *suivant = beta.LigneBrute(t + 1);
        LD *courant = beta.LigneBrute(t);
        const LD *b = m.Bt.data() + std::size_t(O[t + 1]) * L;
        if (ligneFinie) {
            ligneFinie = finie(m.ArcsDouble ? backwardCreux(m, m.ASourceD.data(), suivant, b, courant)
                                            : backwardCreux(m, m.ASource.data(), suivant, b, courant));
        } else {
            backwardPlein<Mode>(m, suivant, b, courant);
            if (creux)
                ligneFinie = finie(totalLigne(courant, N));
        }
    }
}

}

void Calcul::Forward(const TablesModele &m, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    if (e.Alpha.Lignes() != T + 1 || e.Alpha.Colonnes() != m.L)
        e.Alpha.Dimensionner(T + 1, m.L);
    const int *O = e.Observations.data();
    if (m.ADouble)
        forward<Double>(m, O, T, e.Alpha);
    else if (m.Scinde)
        forward<Scinde>(m, O, T, e.Alpha);
    else
        forward<Etendu>(m, O, T, e.Alpha);
    LD P = 0;
    const LD *aT = e.Alpha.LigneBrute(T);
    for (int i = 1; i <= m.N; ++i)
        P = P + aT[i];
    e.Probabilite = P;
}

void Calcul::Backward(const TablesModele &m, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    if (e.Beta.Lignes() != T + 1 || e.Beta.Colonnes() != m.L)
        e.Beta.Dimensionner(T + 1, m.L);
    const int *O = e.Observations.data();
    if (m.ADouble)
        backward<Double>(m, O, T, e.Beta);
    else if (m.Scinde)
        backward<Scinde>(m, O, T, e.Beta);
    else
        backward<Etendu>(m, O, T, e.Beta);
    LD P = 0;
    const LD *b1 = e.Beta.LigneBrute(1);
    const LD *b = m.Bt.data() + std::size_t(O[1]) * std::size_t(m.L);
    for (int i = 1; i <= m.N; ++i)
        P = P + (m.PI[std::size_t(i)] * b1[i]) * b[i];
    e.Probabilite = P;
}

void CalculerForward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    Calcul::Forward(TablesModele(p), e);
}

void CalculerBackward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    Calcul::Backward(TablesModele(p), e);
}

void ExigerGeneration(const ParametresModele &p, EspaceTravail &e)
{
    CalculerForward(p, e);
    if (e.Probabilite == 0)
        throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                           CiterSequence(e.SequenceObservations, !e.DecoupageCaractere));
}
