// Viterbi. Pour chaque case, le résultat est celui du parcours i = 1..N avec « si meilleur < v
// alors meilleur = v » : le premier indice du maximum des produits δ[t-1][i] × A[i][j] quand
// ce maximum est positif, sinon (0, état 1).
//
// Pour aller vite, une approximation en double de tous les produits d'une colonne (quatre à la
// fois) écarte d'abord les indices qui ne peuvent pas être le maximum, puis seuls les candidats
// restants sont recalculés exactement en précision étendue, dans l'ordre croissant. L'écart
// relatif entre un produit approché et le produit exact est inférieur à 2^-51 (plus 2^-1070 en
// absolu) : un indice dont l'approximation reste sous max × (1 - 2^-48) - 2^-1060 a un produit
// exact strictement plus petit que le maximum exact et ne peut donc pas l'emporter. Quand les
// hypothèses de cette borne ne tiennent pas (valeurs négatives, infinies, NaN, A > 16,
// δ hors d'une plage sûre de l'étendu, maximum trop petit pour les doubles), la colonne est
// parcourue exactement comme dans la définition. Peu d'états : colonnes exactes, sans filtre ;
// modèle creux : arcs existants seulement, et une ligne de δ presque toute nulle n'est poussée
// que depuis ses cases non nulles.
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

class Decodeur {
public:
    explicit Decodeur(const TablesModele &m)
        : m(m), N(m.N), L(m.L), Np((m.L + Bloc - 1) / Bloc * Bloc)
    {
        meilleur.assign(std::size_t(L), 0.0L);
        arg.assign(std::size_t(L), 1);
        // Peu d'arcs : les colonnes ne parcourent que les A[i][j] non nuls, sans filtre.
        creux = m.Creux;
        // Peu d'états : la colonne exacte coûte moins que le filtre et sa mise à l'échelle.
        // (Les tests imposent les boucles pleines pour éprouver le filtre sur de petits modèles.)
        direct = creux || (N <= PetitN && Calcul::NoyauxImposes() != Calcul::Noyaux::Pleins);
        approche = lister != nullptr && !direct;
        // Colonnes de A en double, i contigu : Adt[j * Np + i] ≈ A[i][j].
        if (approche)
            Adt.assign(std::size_t(L) * std::size_t(Np), 0.0);
        for (int i = 1; i <= N && approche; ++i)
            for (int j = 1; j <= N; ++j) {
                const LD a = m.A[std::size_t(i * L + j)];
                if (!(a >= 0 && a <= PlusGrandA)) {
                    approche = false;
                    break;
                }
                Adt[std::size_t(j) * std::size_t(Np) + std::size_t(i)] = double(a);
            }
        if (approche) {
            dd.assign(std::size_t(Np), 0.0);
            candidats.assign(std::size_t(Np), 0);
        } else {
            Adt.clear();
        }
    }

    // Pour chaque j : meilleur[j], arg[j] sur la ligne d = δ[t-1].
    void Ligne(const LD *d)
    {
        if (creux) {
            // Un produit δ × 0 vaut ±0 ou NaN : il ne dépasse jamais le meilleur (>= 0) ; sauter
            // les arcs absents laisse donc le même maximum et le même premier indice.
            const int *debut = m.DebutDest.data();
            const int *source = m.Source.data();
            const LD *val = m.ADest.data();
            for (int j = 1; j <= N; ++j) {
                LD best = 0;
                int a = 1;
                for (int k = debut[j]; k < debut[j + 1]; ++k) {
                    const LD v = d[source[k]] * val[k];
                    if (best < v) {
                        best = v;
                        a = source[k];
                    }
                }
                meilleur[std::size_t(j)] = best;
                arg[std::size_t(j)] = a;
            }
            return;
        }
        if (Approcher(d))
            return;
        for (int j = 1; j <= N; ++j)
            colonneExacte(d, m.At.data() + std::size_t(j * L), N, meilleur[std::size_t(j)], arg[std::size_t(j)]);
    }

    std::vector<LD> meilleur;
    std::vector<int> arg;
    // Ni filtre ni colonnes approchées : Viterbi parcourt lui-même les colonnes exactes.
    bool Direct() const { return direct; }

private:
    bool Approcher(const LD *d)
    {
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
        // Mise à l'échelle par une puissance de deux : exacte, δ ramené dans [0, 2).
        const LD echelle = std::scalbn(1.0L, -k);
        for (int i = 1; i <= N; ++i)
            dd[std::size_t(i)] = double(d[i] * echelle);

        for (int j = 1; j <= N; ++j) {
            LD &best = meilleur[std::size_t(j)];
            int &a = arg[std::size_t(j)];
            const double *col = Adt.data() + std::size_t(j) * std::size_t(Np);
            const int n = lister(dd.data(), col, Np, candidats.data());
            if (n < 0) {
                colonneExacte(d, m.At.data() + std::size_t(j * L), N, best, a);
                continue;
            }
            LD b = 0;
            int ib = 1;
            const LD *colonne = m.At.data() + std::size_t(j * L);
            for (int c = 0; c < n; ++c) {
                const int i = candidats[std::size_t(c)];
                const LD v = d[i] * colonne[i];
                if (b < v) {
                    b = v;
                    ib = i;
                }
            }
            best = b;
            a = ib;
        }
        return true;
    }

    const TablesModele &m;
    const int N, L, Np;
    bool approche = false;
    bool creux = false;
    bool direct = false;
    std::vector<double> Adt; // colonnes de A en double
    std::vector<double> dd;  // δ[t-1] mis à l'échelle, en double
    std::vector<int> candidats;
    const ListeCandidats lister = choisirListe();
};

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

void Calcul::LignePleineViterbi(const TablesModele &m, const long double *d, const long double *b, long double *dt,
                                int *pt)
{
    lignePleineA(m, d, b, dt, pt);
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
    Decodeur dec(m);
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
        if (dec.Direct()) {
            // Peu d'états ou arcs creux : chaque colonne d'un trait, maximum dans un registre.
            const LD *d = ligneDelta(t - 1);
            if (!m.Creux) {
                lignePleineA(m, d, b, dt, pt);
                continue;
            }
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
        dec.Ligne(ligneDelta(t - 1));
        for (int j = 1; j <= N; ++j) {
            dt[j] = dec.meilleur[std::size_t(j)] * b[j];
            pt[j] = dec.arg[std::size_t(j)];
        }
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
