// Viterbi. Pour chaque case, le résultat est celui du parcours i = 1..N avec « si meilleur < v
// alors meilleur = v » : le premier indice du maximum des produits δ[t-1][i] × A[i][j] quand
// ce maximum est positif, sinon (0, état 1).
//
// Pour aller vite, une approximation en double de tous les produits (deux à la fois, SSE2)
// écarte d'abord les indices qui ne peuvent pas être le maximum, puis seuls les candidats
// restants sont recalculés exactement en précision étendue, dans l'ordre croissant. L'écart
// relatif entre un produit approché et le produit exact est inférieur à 2^-51 (plus 2^-1070 en
// absolu) : un indice dont l'approximation reste sous max × (1 - 2^-48) - 2^-1060 a un produit
// exact strictement plus petit que le maximum exact et ne peut donc pas l'emporter. Quand les
// hypothèses de cette borne ne tiennent pas (valeurs négatives, infinies, NaN, A > 16,
// δ hors d'une plage sûre de l'étendu, maximum trop petit pour les doubles), la colonne est
// parcourue exactement comme dans la définition.
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <cmath>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using LD = long double;
using Calcul::TablesModele;

constexpr double Marge = 1.0 - 0x1p-48;
constexpr double Plancher = 0x1p-1060;
constexpr double PlusPetitMaximum = 0x1p-900;
constexpr double PlusGrandA = 16.0;
constexpr int ExposantMin = -15000, ExposantMax = 16000;

void colonneExacte(const LD *d, const LD *colonne, int N, LD &meilleur, int &arg)
{
    meilleur = 0;
    arg = 1;
    for (int i = 1; i <= N; ++i) {
        const LD v = d[i] * colonne[i];
        if (meilleur < v) {
            meilleur = v;
            arg = i;
        }
    }
}

class Decodeur {
public:
    explicit Decodeur(const TablesModele &m)
        : m(m), N(m.N), L(m.L), Lp((m.L + 1) & ~1)
    {
        meilleur.assign(std::size_t(L), 0.0L);
        arg.assign(std::size_t(L), 1);
#if defined(__SSE2__)
        approche = true;
        Ad.assign(std::size_t(L) * std::size_t(Lp), 0.0);
        for (int i = 1; i <= N && approche; ++i)
            for (int j = 1; j <= N; ++j) {
                const LD a = m.A[std::size_t(i * L + j)];
                if (!(a >= 0 && a <= PlusGrandA)) {
                    approche = false;
                    break;
                }
                Ad[std::size_t(i) * std::size_t(Lp) + std::size_t(j)] = double(a);
            }
        dd.assign(std::size_t(L), 0.0);
        pm.assign(std::size_t(Lp), 0.0);
        seuil.assign(std::size_t(Lp), 0.0);
#endif
    }

    // Pour chaque j : meilleur[j], arg[j] sur la ligne d = δ[t-1].
    void Ligne(const LD *d)
    {
        if (!Approcher(d))
            for (int j = 1; j <= N; ++j)
                colonneExacte(d, m.At.data() + std::size_t(j * L), N, meilleur[std::size_t(j)],
                              arg[std::size_t(j)]);
    }

    std::vector<LD> meilleur;
    std::vector<int> arg;

private:
    bool Approcher(const LD *d)
    {
#if defined(__SSE2__)
        if (!approche)
            return false;
        LD dmax = 0;
        for (int i = 1; i <= N; ++i) {
            const LD x = d[i];
            if (!(x >= 0) || x == std::numeric_limits<LD>::infinity())
                return false;
            if (x > dmax)
                dmax = x;
        }
        if (dmax == 0) {
            // Tous les produits valent ±0 : aucun ne dépasse 0, l'état 1 est retenu.
            for (int j = 1; j <= N; ++j) {
                meilleur[std::size_t(j)] = 0;
                arg[std::size_t(j)] = 1;
            }
            return true;
        }
        const int k = std::ilogb(dmax);
        if (k < ExposantMin || k > ExposantMax)
            return false;
        for (int i = 1; i <= N; ++i)
            dd[std::size_t(i)] = double(std::scalbn(d[i], -k));

        // Passe 1 : maximum approché de chaque colonne.
        for (int j = 0; j < Lp; ++j)
            pm[std::size_t(j)] = 0;
        for (int i = 1; i <= N; ++i) {
            const __m128d x = _mm_set1_pd(dd[std::size_t(i)]);
            const double *ligne = Ad.data() + std::size_t(i) * std::size_t(Lp);
            for (int j = 0; j < Lp; j += 2) {
                const __m128d p = _mm_mul_pd(x, _mm_loadu_pd(ligne + j));
                _mm_storeu_pd(pm.data() + j, _mm_max_pd(_mm_loadu_pd(pm.data() + j), p));
            }
        }
        const double infini = std::numeric_limits<double>::infinity();
        for (int j = 0; j < Lp; ++j)
            seuil[std::size_t(j)] = infini;
        for (int j = 1; j <= N; ++j) {
            meilleur[std::size_t(j)] = 0;
            arg[std::size_t(j)] = 1;
            if (pm[std::size_t(j)] >= PlusPetitMaximum)
                seuil[std::size_t(j)] = pm[std::size_t(j)] * Marge - Plancher;
        }

        // Passe 2 : les candidats, recalculés exactement, i croissant.
        for (int i = 1; i <= N; ++i) {
            const __m128d x = _mm_set1_pd(dd[std::size_t(i)]);
            const double *ligne = Ad.data() + std::size_t(i) * std::size_t(Lp);
            const LD di = d[i];
            const LD *ai = m.A.data() + std::size_t(i * L);
            for (int j = 0; j < Lp; j += 2) {
                const __m128d p = _mm_mul_pd(x, _mm_loadu_pd(ligne + j));
                const int masque = _mm_movemask_pd(_mm_cmpge_pd(p, _mm_loadu_pd(seuil.data() + j)));
                if (masque == 0)
                    continue;
                for (int voie = 0; voie < 2; ++voie) {
                    if (!(masque & (1 << voie)))
                        continue;
                    const std::size_t c = std::size_t(j + voie);
                    const LD v = di * ai[c];
                    if (meilleur[c] < v) {
                        meilleur[c] = v;
                        arg[c] = i;
                    }
                }
            }
        }

        // Colonnes dont le maximum est trop petit pour la borne : parcours exact.
        for (int j = 1; j <= N; ++j)
            if (!(pm[std::size_t(j)] >= PlusPetitMaximum))
                colonneExacte(d, m.At.data() + std::size_t(j * L), N, meilleur[std::size_t(j)],
                              arg[std::size_t(j)]);
        return true;
#else
        (void)d;
        return false;
#endif
    }

    const TablesModele &m;
    const int N, L, Lp;
    bool approche = false;
    std::vector<double> Ad; // Ad[i * Lp + j] ≈ A[i][j]
    std::vector<double> dd, pm, seuil;
};

}

void CalculerViterbi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const TablesModele m(p);
    const int T = e.LongueurSequence;
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const int *O = e.Observations.data();

    e.CheminViterbi.resize(std::size_t(T) + 1);
    e.Psi.Dimensionner(T + 1, m.L);
    e.Delta.Dimensionner(T + 1, m.L);

    {
        LD *d1 = e.Delta.LigneBrute(1);
        int *p1 = e.Psi.LigneBrute(1);
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        for (int i = 1; i <= N; ++i) {
            d1[i] = m.PI[std::size_t(i)] * b[i];
            p1[i] = 0;
        }
    }
    Decodeur dec(m);
    for (int t = 2; t <= T; ++t) {
        dec.Ligne(e.Delta.LigneBrute(t - 1));
        LD *dt = e.Delta.LigneBrute(t);
        int *pt = e.Psi.LigneBrute(t);
        const LD *b = m.Bt.data() + std::size_t(O[t]) * L;
        for (int j = 1; j <= N; ++j) {
            dt[j] = dec.meilleur[std::size_t(j)] * b[j];
            pt[j] = dec.arg[std::size_t(j)];
        }
    }

    LD P = 0;
    int q = 1;
    const LD *dT = e.Delta.LigneBrute(T);
    for (int i = 1; i <= N; ++i)
        if (P < dT[i]) {
            P = dT[i];
            q = i;
        }
    e.Probabilite = P;
    e.CheminViterbi[0] = 0;
    e.CheminViterbi[T] = q;
    for (int t = T - 1; t >= 1; --t)
        e.CheminViterbi[t] = e.Psi(t + 1, e.CheminViterbi[t + 1]);
}
