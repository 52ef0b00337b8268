// Viterbi. Pour chaque case, le résultat est celui du parcours i = 1..N avec « si meilleur < v
// alors meilleur = v » : le premier indice du maximum des produits δ[t-1][i] × A[i][j] quand
// ce maximum est positif, sinon (0, état 1).
//
// Pour aller vite, une approximation en double des produits écarte d'abord les indices qui ne
// peuvent pas être le maximum, puis seuls les candidats restants sont recalculés exactement en
// précision étendue, dans l'ordre croissant. L'écart relatif entre un produit approché et le
// produit exact est inférieur à 2^-51 (plus 2^-1070 en absolu) : un indice dont l'approximation
// reste sous max × (1 - 2^-48) - 2^-1060 a un produit exact strictement plus petit que le
// maximum exact et ne peut donc pas l'emporter ; le premier indice du maximum exact reste
// toujours candidat. Un seul candidat est donc ce premier indice, et son produit exact le
// maximum (positif : son approximation dépasse un seuil > 0). Quand les hypothèses de cette
// borne ne tiennent pas (valeurs négatives, infinies, NaN, A > 16, δ hors d'une plage sûre de
// l'étendu, maximum trop petit pour les doubles), la colonne est parcourue exactement comme
// dans la définition.
// Plus de 16 états : chaque colonne approchée (quatre produits à la fois) liste ses candidats.
// Peu d'états : tous les produits d'une ligne à la fois (une colonne par voie), qui compte les
// candidats de chaque colonne ; un seul, il est recalculé, sinon (quasi-égalité, colonne
// presque nulle) la colonne est exacte. Modèle creux : arcs existants seulement, et une ligne
// de δ presque toute nulle n'est poussée que depuis ses cases non nulles. Le Viterbi mis à
// l'échelle (δ × 2^K) prend les mêmes lignes : mêmes produits, mêmes décisions.
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#endif
#include <limits>
#include <memory>

namespace {

using LD = long double;
using Calcul::TablesModele;

constexpr double Marge = 1.0 - 0x1p-48;
constexpr double Plancher = 0x1p-1060;
constexpr double PlusPetitMaximum = 0x1p-900;
constexpr double PlusGrandA = 16.0;
constexpr int ExposantMin = -15000, ExposantMax = 16000;
constexpr int PetitN = 16;
constexpr int Bloc = 8; // les colonnes approchées sont complétées de zéros jusqu'à un multiple de 8

// Candidats d'une colonne : maximum approché pm des dd[i] × col[i] (i = 0..n-1, n multiple de
// Bloc, valeurs positives ou nulles), puis, i croissant, les i dont l'approximation atteint
// pm × Marge - Plancher. Rend leur nombre, ou -1 quand pm est trop petit pour la borne.
// Deux versions : AVX2 (quatre produits à la fois) quand le processeur le permet, SSE2 sinon.
using ListeCandidats = int (*)(const double *dd, const double *col, int n, int *liste);

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) int candidatsAvx2(const double *dd, const double *col, int n, int *liste)
{
    __m256d m0 = _mm256_setzero_pd(), m1 = _mm256_setzero_pd();
    for (int i = 0; i < n; i += Bloc) {
        m0 = _mm256_max_pd(m0, _mm256_mul_pd(_mm256_loadu_pd(dd + i), _mm256_loadu_pd(col + i)));
        m1 = _mm256_max_pd(m1, _mm256_mul_pd(_mm256_loadu_pd(dd + i + 4), _mm256_loadu_pd(col + i + 4)));
    }
    m0 = _mm256_max_pd(m0, m1);
    const __m128d h = _mm_max_pd(_mm256_castpd256_pd128(m0), _mm256_extractf128_pd(m0, 1));
    const double pm = _mm_cvtsd_f64(_mm_max_sd(h, _mm_unpackhi_pd(h, h)));
    if (!(pm >= PlusPetitMaximum))
        return -1;
    const __m256d seuil = _mm256_set1_pd(pm * Marge - Plancher);
    int nombre = 0;
    for (int i = 0; i < n; i += 4) {
        unsigned masque = unsigned(_mm256_movemask_pd(
            _mm256_cmp_pd(_mm256_mul_pd(_mm256_loadu_pd(dd + i), _mm256_loadu_pd(col + i)), seuil, _CMP_GE_OQ)));
        while (masque) {
            liste[nombre++] = i + __builtin_ctz(masque);
            masque &= masque - 1;
        }
    }
    return nombre;
}
#endif

#if defined(__SSE2__)
int candidatsSse2(const double *dd, const double *col, int n, int *liste)
{
    __m128d m0 = _mm_setzero_pd(), m1 = _mm_setzero_pd();
    for (int i = 0; i < n; i += 4) {
        m0 = _mm_max_pd(m0, _mm_mul_pd(_mm_loadu_pd(dd + i), _mm_loadu_pd(col + i)));
        m1 = _mm_max_pd(m1, _mm_mul_pd(_mm_loadu_pd(dd + i + 2), _mm_loadu_pd(col + i + 2)));
    }
    m0 = _mm_max_pd(m0, m1);
    const double pm = _mm_cvtsd_f64(_mm_max_sd(m0, _mm_unpackhi_pd(m0, m0)));
    if (!(pm >= PlusPetitMaximum))
        return -1;
    const __m128d seuil = _mm_set1_pd(pm * Marge - Plancher);
    int nombre = 0;
    for (int i = 0; i < n; i += 2) {
        unsigned masque =
            unsigned(_mm_movemask_pd(_mm_cmpge_pd(_mm_mul_pd(_mm_loadu_pd(dd + i), _mm_loadu_pd(col + i)), seuil)));
        while (masque) {
            liste[nombre++] = i + __builtin_ctz(masque);
            masque &= masque - 1;
        }
    }
    return nombre;
}
#endif

bool sansAvx2 = false;

#if defined(__x86_64__) || defined(__i386__)
// AVX2 utilisable : le processeur l'a (CPUID 7, EBX bit 5) et le système sauve les registres
// YMM (OSXSAVE, AVX, XCR0 bits 1 et 2). Relevé une fois, au premier Viterbi plein seulement :
// __builtin_cpu_supports lierait le constructeur de libgcc, qui fait une dizaine de CPUID à
// chaque démarrage de programme (plusieurs µs chacune en machine virtuelle).
bool avx2Utilisable()
{
    static const bool oui = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 27)) || !(c & (1u << 28)))
            return false;
        unsigned xcr0 = 0, haut = 0;
        __asm__("xgetbv" : "=a"(xcr0), "=d"(haut) : "c"(0));
        if ((xcr0 & 6u) != 6u)
            return false;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
            return false;
        return (b & (1u << 5)) != 0;
    }();
    return oui;
}
#endif

// Nul hors x86 : toutes les colonnes sont alors parcourues exactement.
ListeCandidats choisirListe()
{
#if defined(__x86_64__) || defined(__i386__)
    if (!sansAvx2 && avx2Utilisable())
        return candidatsAvx2;
#endif
#if defined(__SSE2__)
    return candidatsSse2;
#else
    return nullptr;
#endif
}

// Petit modèle plein (N <= PetitN) : tous les produits d'une ligne à la fois, la colonne j sur
// la voie j - 1 (R groupes de quatre voies), la ligne i de A en double complétée de zéros en
// lignes[(i - 1) * 4R ..]. Pour chaque voie : pm, le maximum approché, puis la clé 256 × n + s
// des n indices dont l'approximation atteint le seuil pm × Marge - Plancher (s : leur somme ;
// n = 1, s est le seul candidat). Seuil nul quand pm < PlusPetitMaximum : tous les indices
// restent candidats (n = N) et la colonne se fait exactement. Boucles sur les groupes
// déroulées : sinon les accumulateurs passent par la mémoire à chaque indice.
using ClesLigne = void (*)(const double *dd, const double *lignes, int N, long long *cles);

#if defined(__x86_64__) || defined(__i386__)
template <int R>
__attribute__((target("avx2"))) void clesAvx2(const double *dd, const double *lignes, int N, long long *cles)
{
    constexpr int W = 4 * R;
    // Deux maxima par voie (i pair, i impair) : deux chaînes de dépendances qui se recouvrent.
    __m256d m0[R], m1[R];
    #pragma GCC unroll 8
    for (int r = 0; r < R; ++r)
        m0[r] = m1[r] = _mm256_setzero_pd();
    int i = 0;
    for (; i + 1 < N; i += 2) {
        const __m256d x0 = _mm256_broadcast_sd(dd + i), x1 = _mm256_broadcast_sd(dd + i + 1);
        #pragma GCC unroll 8
        for (int r = 0; r < R; ++r) {
            m0[r] = _mm256_max_pd(m0[r], _mm256_mul_pd(x0, _mm256_loadu_pd(lignes + i * W + 4 * r)));
            m1[r] = _mm256_max_pd(m1[r], _mm256_mul_pd(x1, _mm256_loadu_pd(lignes + (i + 1) * W + 4 * r)));
        }
    }
    if (i < N) {
        const __m256d x0 = _mm256_broadcast_sd(dd + i);
        #pragma GCC unroll 8
        for (int r = 0; r < R; ++r)
            m0[r] = _mm256_max_pd(m0[r], _mm256_mul_pd(x0, _mm256_loadu_pd(lignes + i * W + 4 * r)));
    }
    __m256d seuil[R];
    #pragma GCC unroll 8
    for (int r = 0; r < R; ++r) {
        const __m256d pm = _mm256_max_pd(m0[r], m1[r]);
        const __m256d s = _mm256_sub_pd(_mm256_mul_pd(pm, _mm256_set1_pd(Marge)), _mm256_set1_pd(Plancher));
        seuil[r] = _mm256_and_pd(_mm256_cmp_pd(pm, _mm256_set1_pd(PlusPetitMaximum), _CMP_GE_OQ), s);
    }
    __m256i cle[R];
    #pragma GCC unroll 8
    for (int r = 0; r < R; ++r)
        cle[r] = _mm256_setzero_si256();
    for (i = 0; i < N; ++i) {
        const __m256d x = _mm256_broadcast_sd(dd + i);
        const __m256i poids = _mm256_set1_epi64x(256 + i + 1);
        #pragma GCC unroll 8
        for (int r = 0; r < R; ++r) {
            const __m256d p = _mm256_mul_pd(x, _mm256_loadu_pd(lignes + i * W + 4 * r));
            const __m256i retenu = _mm256_castpd_si256(_mm256_cmp_pd(p, seuil[r], _CMP_GE_OQ));
            cle[r] = _mm256_add_epi64(cle[r], _mm256_and_si256(retenu, poids));
        }
    }
    #pragma GCC unroll 8
    for (int r = 0; r < R; ++r)
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(cles + 4 * r), cle[r]);
}
#endif

#if defined(__SSE2__)
template <int R>
void clesSse2(const double *dd, const double *lignes, int N, long long *cles)
{
    constexpr int W = 4 * R, G = 2 * R; // G registres de deux voies
    __m128d m0[G], m1[G];
    #pragma GCC unroll 8
    for (int r = 0; r < G; ++r)
        m0[r] = m1[r] = _mm_setzero_pd();
    int i = 0;
    for (; i + 1 < N; i += 2) {
        const __m128d x0 = _mm_set1_pd(dd[i]), x1 = _mm_set1_pd(dd[i + 1]);
        #pragma GCC unroll 8
        for (int r = 0; r < G; ++r) {
            m0[r] = _mm_max_pd(m0[r], _mm_mul_pd(x0, _mm_loadu_pd(lignes + i * W + 2 * r)));
            m1[r] = _mm_max_pd(m1[r], _mm_mul_pd(x1, _mm_loadu_pd(lignes + (i + 1) * W + 2 * r)));
        }
    }
    if (i < N) {
        const __m128d x0 = _mm_set1_pd(dd[i]);
        #pragma GCC unroll 8
        for (int r = 0; r < G; ++r)
            m0[r] = _mm_max_pd(m0[r], _mm_mul_pd(x0, _mm_loadu_pd(lignes + i * W + 2 * r)));
    }
    __m128d seuil[G];
    #pragma GCC unroll 8
    for (int r = 0; r < G; ++r) {
        const __m128d pm = _mm_max_pd(m0[r], m1[r]);
        const __m128d s = _mm_sub_pd(_mm_mul_pd(pm, _mm_set1_pd(Marge)), _mm_set1_pd(Plancher));
        seuil[r] = _mm_and_pd(_mm_cmpge_pd(pm, _mm_set1_pd(PlusPetitMaximum)), s);
    }
    __m128i cle[G];
    #pragma GCC unroll 8
    for (int r = 0; r < G; ++r)
        cle[r] = _mm_setzero_si128();
    for (i = 0; i < N; ++i) {
        const __m128d x = _mm_set1_pd(dd[i]);
        const __m128i poids = _mm_set1_epi64x(256 + i + 1);
        #pragma GCC unroll 8
        for (int r = 0; r < G; ++r) {
            const __m128d p = _mm_mul_pd(x, _mm_loadu_pd(lignes + i * W + 2 * r));
            const __m128i retenu = _mm_castpd_si128(_mm_cmpge_pd(p, seuil[r]));
            cle[r] = _mm_add_epi64(cle[r], _mm_and_si128(retenu, poids));
        }
    }
    #pragma GCC unroll 8
    for (int r = 0; r < G; ++r)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(cles + 2 * r), cle[r]);
}
#endif

// Les clés d'une ligne pour R groupes de quatre voies ; nul hors x86.
ClesLigne choisirCles(int R)
{
#if defined(__x86_64__) || defined(__i386__)
    if (!sansAvx2 && avx2Utilisable()) {
        static constexpr ClesLigne avx2[] = {clesAvx2<1>, clesAvx2<2>, clesAvx2<3>, clesAvx2<4>};
        return avx2[R - 1];
    }
#endif
#if defined(__SSE2__)
    static constexpr ClesLigne sse2[] = {clesSse2<1>, clesSse2<2>, clesSse2<3>, clesSse2<4>};
    return sse2[R - 1];
#else
    (void)R;
    return nullptr;
#endif
}

// Le maximum reste dans un registre (une référence vers la table le ferait écrire en mémoire
// à chaque amélioration : d et colonne pourraient la recouvrir).
void colonneExacte(const LD *d, const LD *colonne, int N, LD &meilleur, int &arg)
{
    LD best = 0;
    int a = 1;
    for (int i = 1; i <= N; ++i) {
        const LD v = d[i] * colonne[i];
        if (best < v) {
            best = v;
            a = i;
        }
    }
    meilleur = best;
    arg = a;
}

// Ligne de δ et ψ par colonnes pleines (At ou Ath : colonne j en c[j * L + i]), sans branche (le
// gagnant d'une colonne pleine est imprévisible). Deux colonnes à la fois : le maximum d'une
// colonne est une chaîne de dépendances (comparaison puis choix), deux chaînes indépendantes
// se recouvrent ; chaque colonne garde ses candidats i croissant. (Au-delà de deux, la pile
// x87 manque de registres et le compilateur revient à des branches.)
// A[i][j] de la colonne : l'étendu, le double quand A tient en doubles, ou haut + bas (somme
// exacte de la découpe : la même valeur, sans le chargement microcodé d'un étendu).
template <typename C, bool Bas>
struct Colonne {
    const C *h;
    const double *l; // la partie basse (Bas) ; sinon inutilisé
    LD operator[](int i) const
    {
        if constexpr (Bas)
            return static_cast<LD>(h[i]) + static_cast<LD>(l[i]);
        else
            return static_cast<LD>(h[i]);
    }
};

template <typename C, bool Bas>
void lignePleine(const C *c, const double *cl, std::size_t L, const LD *d, const LD *b, int N, LD *dt, int *pt)
{
    const auto colonne = [&](int j) {
        const std::size_t k = std::size_t(j) * L;
        return Colonne<C, Bas>{c + k, Bas ? cl + k : nullptr};
    };
    int j = 1;
    for (; j + 1 <= N; j += 2) {
        const Colonne<C, Bas> c0 = colonne(j), c1 = colonne(j + 1);
        LD b0 = 0, b1 = 0;
        int a0 = 1, a1 = 1;
        for (int i = 1; i <= N; ++i) {
            const LD x = d[i];
            const LD v0 = x * c0[i];
            const bool m0 = b0 < v0;
            b0 = m0 ? v0 : b0;
            a0 = m0 ? i : a0;
            const LD v1 = x * c1[i];
            const bool m1 = b1 < v1;
            b1 = m1 ? v1 : b1;
            a1 = m1 ? i : a1;
        }
        dt[j] = b0 * b[j];
        dt[j + 1] = b1 * b[j + 1];
        pt[j] = a0;
        pt[j + 1] = a1;
    }
    for (; j <= N; ++j) {
        const Colonne<C, Bas> c0 = colonne(j);
        LD b0 = 0;
        int a0 = 1;
        for (int i = 1; i <= N; ++i) {
            const LD v0 = d[i] * c0[i];
            const bool m0 = b0 < v0;
            b0 = m0 ? v0 : b0;
            a0 = m0 ? i : a0;
        }
        dt[j] = b0 * b[j];
        pt[j] = a0;
    }
}

// Les colonnes de A sous leur forme la moins chère à lire.
void lignePleineA(const TablesModele &m, const LD *d, const LD *b, LD *dt, int *pt)
{
    const std::size_t L = std::size_t(m.L);
    if (m.ADouble)
        lignePleine<double, false>(m.Ath.data(), nullptr, L, d, b, m.N, dt, pt);
    else if (m.Scinde)
        lignePleine<double, true>(m.Ath.data(), m.Atl.data(), L, d, b, m.N, dt, pt);
    else
        lignePleine<LD, false>(m.At.data(), nullptr, L, d, b, m.N, dt, pt);
}

// A[i][j] exact, ligne par ligne, sous la même forme que les colonnes de lignePleineA.
enum class FormeA { Double, Scinde, Etendu };
template <FormeA F>
LD valeurA(const TablesModele &m, std::size_t k)
{
    if constexpr (F == FormeA::Double)
        return static_cast<LD>(m.Ah[k]);
    else if constexpr (F == FormeA::Scinde)
        return static_cast<LD>(m.Ah[k]) + static_cast<LD>(m.Al[k]);
    else
        return m.A[k];
}

}

// Les lignes pleines de δ et ψ : filtre par lignes (peu d'états), par colonnes (au-delà), ou
// colonnes exactes quand le filtre ne s'applique pas. Les tables approchées sont faites une
// fois, à la construction.
class Calcul::DecodeurPlein::Filtre {
public:
    explicit Filtre(const TablesModele &m)
        : m(m), N(m.N), L(m.L)
    {
        // Les tests imposent les boucles pleines pour éprouver le filtre par colonnes sur de
        // petits modèles.
        const bool petit = N <= PetitN && Calcul::NoyauxImposes() != Calcul::Noyaux::Pleins;
        if (m.Creux)
            return;
        bool aBorne = true; // chaque A[i][j] dans [0, PlusGrandA] : hypothèse de la borne
        for (int i = 1; i <= N && aBorne; ++i)
            for (int j = 1; j <= N; ++j) {
                const LD a = m.A[std::size_t(i * L + j)];
                if (!(a >= 0 && a <= PlusGrandA)) {
                    aBorne = false;
                    break;
                }
            }
        if (!aBorne)
            return;
        if (petit) {
            const int R = (N + 3) / 4;
            cles = choisirCles(R);
            if (!cles)
                return;
            W = 4 * R;
            // Lignes de A en double, j contigu : lignes[(i - 1) * W + j - 1] ≈ A[i][j].
            lignes.assign(std::size_t(N) * std::size_t(W), 0.0);
            for (int i = 1; i <= N; ++i)
                for (int j = 1; j <= N; ++j)
                    lignes[std::size_t(i - 1) * std::size_t(W) + std::size_t(j - 1)] =
                        double(m.A[std::size_t(i * L + j)]);
            dd.assign(std::size_t(W), 0.0);
            cle.assign(std::size_t(W), 0);
            return;
        }
        lister = choisirListe();
        if (!lister)
            return;
        Np = (L + Bloc - 1) / Bloc * Bloc;
        // Colonnes de A en double, i contigu : Adt[j * Np + i] ≈ A[i][j].
        Adt.assign(std::size_t(L) * std::size_t(Np), 0.0);
        for (int i = 1; i <= N; ++i)
            for (int j = 1; j <= N; ++j)
                Adt[std::size_t(j) * std::size_t(Np) + std::size_t(i)] = double(m.A[std::size_t(i * L + j)]);
        dd.assign(std::size_t(Np), 0.0);
        candidats.assign(std::size_t(Np), 0);
    }

    void Ligne(const LD *d, const LD *b, LD *dt, int *pt)
    {
        if (cles) {
            if (ParLignes(d, b, dt, pt))
                return;
        } else if (lister) {
            if (ParColonnes(d, b, dt, pt))
                return;
        }
        lignePleineA(m, d, b, dt, pt);
    }

private:
    // δ ramené en doubles dans x[1..N] : 1 quand c'est fait, 0 quand δ est tout nul, -1 quand
    // les hypothèses de la borne ne tiennent pas (valeur négative, infinie, NaN, exposant hors
    // de la plage sûre).
    int EnDoubles(const LD *d, double *x) const
    {
        int k;
        if constexpr (Calcul::ExposantLisible) {
            // Champs signe + exposant lus en entiers : un négatif (bit de signe), un infini ou un
            // NaN (0x7fff) dépasse 0x7ffe ; un maximum nul : valeurs nulles ou sous-normales.
            unsigned emax = 0;
            for (int i = 1; i <= N; ++i)
                emax = std::max(emax, Calcul::ChampExposant(d + i));
            if (emax > 0x7ffeu)
                return -1;
            if (emax == 0) {
                for (int i = 1; i <= N; ++i)
                    if (d[i] != 0)
                        return -1;
                return 0;
            }
            k = int(emax) - 16383;
        } else {
            LD dmax = 0;
            for (int i = 1; i <= N; ++i) {
                const LD v = d[i];
                if (!(v >= 0) || v == std::numeric_limits<LD>::infinity())
                    return -1;
                if (v > dmax)
                    dmax = v;
            }
            if (dmax == 0)
                return 0;
            k = std::ilogb(dmax);
        }
        if (k < ExposantMin || k > ExposantMax)
            return -1;
        // Mise à l'échelle par une puissance de deux : exacte, δ ramené dans [0, 2).
        const LD echelle = Calcul::PuissanceDeDeux(-k);
        for (int i = 1; i <= N; ++i)
            x[i] = double(d[i] * echelle);
        return 1;
    }

    // Tous les produits ±0 : aucun ne dépasse 0, l'état 1 est retenu.
    void Nulle(const LD *b, LD *dt, int *pt) const
    {
        for (int j = 1; j <= N; ++j) {
            dt[j] = LD(0) * b[j];
            pt[j] = 1;
        }
    }

    bool ParLignes(const LD *d, const LD *b, LD *dt, int *pt)
    {
        const int etat = EnDoubles(d, dd.data() - 1);
        if (etat <= 0) {
            if (etat == 0)
                Nulle(b, dt, pt);
            return etat == 0;
        }
        cles(dd.data(), lignes.data(), N, cle.data());
        if (m.ADouble)
            Gagnants<FormeA::Double>(d, b, dt, pt);
        else if (m.Scinde)
            Gagnants<FormeA::Scinde>(d, b, dt, pt);
        else
            Gagnants<FormeA::Etendu>(d, b, dt, pt);
        return true;
    }

    template <FormeA F>
    void Gagnants(const LD *d, const LD *b, LD *dt, int *pt) const
    {
        for (int j = 1; j <= N; ++j) {
            const long long c = cle[std::size_t(j - 1)];
            LD best;
            int a;
            if ((c >> 8) == 1) {
                // Un seul candidat : il porte le maximum exact, positif (son approximation
                // atteint un seuil > 0), ou N = 1.
                a = int(c & 255);
                best = d[a] * valeurA<F>(m, std::size_t(a) * std::size_t(L) + std::size_t(j));
            } else {
                colonneExacte(d, m.At.data() + std::size_t(j * L), N, best, a);
            }
            dt[j] = best * b[j];
            pt[j] = a;
        }
    }

    bool ParColonnes(const LD *d, const LD *b, LD *dt, int *pt)
    {
        const int etat = EnDoubles(d, dd.data());
        if (etat <= 0) {
            if (etat == 0)
                Nulle(b, dt, pt);
            return etat == 0;
        }
        for (int j = 1; j <= N; ++j) {
            const LD *colonne = m.At.data() + std::size_t(j * L);
            const double *col = Adt.data() + std::size_t(j) * std::size_t(Np);
            const int n = lister(dd.data(), col, Np, candidats.data());
            LD best = 0;
            int a = 1;
            if (n < 0) {
                colonneExacte(d, colonne, N, best, a);
            } else {
                for (int c = 0; c < n; ++c) {
                    const int i = candidats[std::size_t(c)];
                    const LD v = d[i] * colonne[i];
                    if (best < v) {
                        best = v;
                        a = i;
                    }
                }
            }
            dt[j] = best * b[j];
            pt[j] = a;
        }
        return true;
    }

    const TablesModele &m;
    const int N, L;
    int Np = 0, W = 0;
    ClesLigne cles = nullptr;      // filtre par lignes
    ListeCandidats lister = nullptr; // filtre par colonnes
    std::vector<double> lignes;    // lignes de A en double (filtre par lignes)
    std::vector<double> Adt;       // colonnes de A en double (filtre par colonnes)
    std::vector<double> dd;        // δ[t-1] mis à l'échelle, en double
    std::vector<long long> cle;
    std::vector<int> candidats;
};

Calcul::DecodeurPlein::DecodeurPlein(const TablesModele &m)
    : filtre(std::make_unique<Filtre>(m))
{
}

Calcul::DecodeurPlein::~DecodeurPlein() = default;

void Calcul::DecodeurPlein::Ligne(const long double *d, const long double *b, long double *dt, int *pt)
{
    filtre->Ligne(d, b, dt, pt);
}

namespace {


// Ligne t de δ et ψ poussée depuis les seules cases non nulles de δ[t-1] (modèle Propager),
// i croissant : chaque colonne voit ses candidats dans l'ordre de la définition, et un
// candidat omis (δ nul) vaut ±0, qui ne bat jamais le meilleur. Une colonne jamais atteinte
// garde (0, état 1) : δ = +0 × B = +0, ψ = 1. `meilleurs` et `args` (0 et 1) y sont rendus.
template <typename Arc>
void viterbiPousse(const TablesModele &m, const Arc *val, const LD *d, const LD *b, LD *dt, int *pt,
                   Calcul::EnsembleEtats &nonNuls, LD *meilleurs, int *args)
{
    const int *debut = m.DebutSource.data();
    const int *dest = m.Dest.data();
    std::memset(static_cast<void *>(dt), 0, sizeof(LD) * std::size_t(m.L));
    std::fill(pt + 1, pt + m.L, 1);
    Calcul::EnsembleEtats atteints;
    nonNuls.Parcourir([&](int i) {
        const LD x = d[i];
        for (int k = debut[i]; k < debut[i + 1]; ++k) {
            const int j = dest[k];
            const LD v = x * static_cast<LD>(val[k]);
            if (meilleurs[j] < v) {
                meilleurs[j] = v;
                args[j] = i;
            }
            atteints.Ajouter(j);
        }
    });
    Calcul::EnsembleEtats suite;
    atteints.Parcourir([&](int j) {
        const LD v = meilleurs[j] * b[j];
        dt[j] = v;
        pt[j] = args[j];
        meilleurs[j] = 0;
        args[j] = 1;
        suite.AjouterSi(j, v != 0);
    });
    nonNuls = suite;
}

}

void Calcul::PousserViterbi(const TablesModele &m, const long double *d, const long double *b, long double *dt, int *pt,
                            EnsembleEtats &nonNuls, long double *meilleurs, int *args)
{
    if (m.ArcsDouble)
        viterbiPousse(m, m.ASourceD.data(), d, b, dt, pt, nonNuls, meilleurs, args);
    else
        viterbiPousse(m, m.ASource.data(), d, b, dt, pt, nonNuls, meilleurs, args);
}

bool Calcul::RamenerParExposants(long double *x, int N, long long &K)
{
    if constexpr (!ExposantLisible) {
        (void)x, (void)N, (void)K;
        return false;
    } else {
        unsigned emax = 0;
        for (int i = 1; i <= N; ++i)
            emax = std::max(emax, ChampExposant(x + i));
        // Signe, infini ou NaN au-delà de 0x7ffe ; maximum sous-normal ou nul à 0.
        if (emax == 0 || emax > 0x7ffeu)
            return false;
        const int k = 16383 - int(emax);
        if (k <= -16000 || k >= 16000)
            return false;
        if (k != 0) {
            const LD f = PuissanceDeDeux(k);
            for (int i = 1; i <= N; ++i) {
                unsigned char *champ = reinterpret_cast<unsigned char *>(x + i) + 8;
                const int e = int(ChampExposant(x + i));
                const int decale = e + k;
                if (e != 0 && decale >= 1 && decale <= 0x7ffe) {
                    const std::uint16_t nouveau = std::uint16_t(decale);
                    std::memcpy(champ, &nouveau, sizeof nouveau);
                } else if (e != 0 || x[i] != 0) {
                    x[i] *= f; // sous-normal avant ou après : le produit arrondit comme avant
                }
            }
        }
        K += k;
        return true;
    }
}

void Calcul::ViterbiSansAvx2(bool oui)
{
    sansAvx2 = oui;
}

void CalculerViterbi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    Calcul::Viterbi(Calcul::TablesDuCalcul(p), e);
}

void Calcul::Viterbi(const TablesModele &m, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const int *O = e.Observations.data();

    e.CheminViterbi.resize(std::size_t(T) + 1);
    // Seule la probabilité et le chemin demandés : δ sur deux lignes de travail, ψ en octets
    // (une ligne d'entiers de travail recopiée à chaque instant).
    const bool octets = !e.GarderTables && N <= 255;
    const int lignesDelta = e.GarderTables ? T + 1 : 2;
    const std::size_t masque = e.GarderTables ? ~std::size_t(0) : 1;
    std::vector<int> psiTravail;
    if (octets) {
        MemoireTables::Exiger(std::size_t(T + 1) * L);
        e.PsiOctets.assign(std::size_t(T + 1) * L, 0);
        e.Psi.Dimensionner(0, 0);
        psiTravail.assign(L, 0);
    } else if (e.Psi.Lignes() != T + 1 || e.Psi.Colonnes() != m.L) {
        e.Psi.Dimensionner(T + 1, m.L);
    }
    if (e.Delta.Lignes() != lignesDelta || e.Delta.Colonnes() != m.L)
        e.Delta.Dimensionner(lignesDelta, m.L);
    LD *const tableDelta = e.Delta.LigneBrute(0);
    const auto ligneDelta = [&](int t) { return tableDelta + (std::size_t(t) & masque) * L; };
    const auto lignePsi = [&](int t) { return octets ? psiTravail.data() : e.Psi.LigneBrute(t); };
    const auto rangerPsi = [&](int t) {
        if (octets) {
            unsigned char *q = e.PsiOctets.data() + std::size_t(t) * L;
            for (int j = 1; j <= N; ++j)
                q[j] = static_cast<unsigned char>(psiTravail[std::size_t(j)]);
        }
    };
    const bool arret = e.ArretHorsPortee && m.Decroissant;
    e.ArreteHorsPortee = false;

    {
        LD *d1 = ligneDelta(1);
        int *p1 = lignePsi(1);
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        for (int i = 1; i <= N; ++i) {
            d1[i] = m.PI[std::size_t(i)] * b[i];
            p1[i] = 0;
        }
    }
    Calcul::DecodeurPlein dec(m);
    // Modèle Propager : une ligne de δ presque toute nulle ne pousse que ses cases non nulles.
    Calcul::EnsembleEtats nonNuls;
    std::vector<LD> meilleurs;
    std::vector<int> args;
    if (m.Propager) {
        meilleurs.assign(L, 0.0L);
        args.assign(L, 1);
        const LD *d1 = ligneDelta(1);
        for (int i = 1; i <= N; ++i)
            nonNuls.AjouterSi(i, d1[i] != 0);
    }
    for (int t = 2; t <= T; ++t) {
        if (t > 2)
            rangerPsi(t - 1);
        if (arret && (t & 31) == 0 && Calcul::SommeLigne(ligneDelta(t - 1), N) < Calcul::SeuilHorsPortee) {
            e.ArreteHorsPortee = true;
            e.Probabilite = 0;
            return;
        }
        LD *dt = ligneDelta(t);
        int *pt = lignePsi(t);
        const LD *b = m.Bt.data() + std::size_t(O[t]) * L;
        if (m.Pousser(nonNuls)) {
            const LD *d = ligneDelta(t - 1);
            if (m.ArcsDouble)
                viterbiPousse(m, m.ASourceD.data(), d, b, dt, pt, nonNuls, meilleurs.data(), args.data());
            else
                viterbiPousse(m, m.ASource.data(), d, b, dt, pt, nonNuls, meilleurs.data(), args.data());
            continue;
        }
        if (m.Creux) {
            // Arcs creux : chaque colonne d'un trait, maximum dans un registre.
            const LD *d = ligneDelta(t - 1);
            Calcul::EnsembleEtats suite;
            const int *debut = m.DebutDest.data();
            const int *source = m.Source.data();
            for (int j = 1; j <= N; ++j) {
                LD best = 0;
                int a = 1;
                // A lu en doubles quand ses valeurs en sont (un chargement de 64 bits). Sans
                // branche : le gagnant parmi les arcs entrants est imprévisible.
                const auto arcs = [&](const auto *val) {
                    for (int k = debut[j]; k < debut[j + 1]; ++k) {
                        const int i = source[k];
                        const LD v = d[i] * static_cast<LD>(val[k]);
                        const bool mieux = best < v;
                        best = mieux ? v : best;
                        a = mieux ? i : a;
                    }
                };
                if (m.ArcsDouble)
                    arcs(m.ADestD.data());
                else
                    arcs(m.ADest.data());
                const LD v = best * b[j];
                dt[j] = v;
                pt[j] = a;
                suite.AjouterSi(j, v != 0);
            }
            nonNuls = suite;
            continue;
        }
        dec.Ligne(ligneDelta(t - 1), b, dt, pt);
    }

    if (T >= 2)
        rangerPsi(T);
    LD P = 0;
    int q = 1;
    const LD *dT = ligneDelta(T);
    for (int i = 1; i <= N; ++i)
        if (P < dT[i]) {
            P = dT[i];
            q = i;
        }
    e.Probabilite = P;
    e.CheminViterbi[0] = 0;
    e.CheminViterbi[T] = q;
    Calcul::RemonterChemin(e, T, m.L);
}

void Calcul::RemonterChemin(EspaceTravail &e, int T, int L)
{
    if (e.Psi.Lignes() == T + 1) {
        for (int t = T - 1; t >= 1; --t)
            e.CheminViterbi[t] = e.Psi(t + 1, e.CheminViterbi[t + 1]);
        return;
    }
    const unsigned char *psi = e.PsiOctets.data();
    for (int t = T - 1; t >= 1; --t)
        e.CheminViterbi[t] = psi[std::size_t(t + 1) * std::size_t(L) + std::size_t(e.CheminViterbi[t + 1])];
}

QStringList EtatsCheminViterbi(const ParametresModele &p, const EspaceTravail &e)
{
    QStringList etats;
    for (int t = 1; t <= e.LongueurSequence; ++t)
        etats << p.NomEtat(e.CheminViterbi[t]);
    return etats;
}

QString TexteCheminEtats(const QStringList &etats)
{
    return (QStringList{QStringLiteral("Start")} + etats).join(QStringLiteral(" - "));
}
