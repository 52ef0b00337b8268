#pragma once
// Tables internes des calculs : λ recopié en blocs contigus, rangés pour l'ordre de lecture
// des noyaux. Les valeurs sont exactement celles de ParametresModele ; seule la disposition
// change, jamais l'ordre des opérations.
#include "algorithms/memoire.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct ParametresModele;
struct EspaceTravail;

namespace Calcul {

// Ensemble d'états 0..127 rangé en bits, parcouru par indices croissants : les lignes de α, β
// ou δ presque toutes nulles (émissions creuses) ne propagent que leurs cases non nulles.
struct EnsembleEtats {
    static constexpr int Mots = 2;
    static constexpr int Capacite = 64 * Mots;
    std::uint64_t m[Mots] = {};
    void Ajouter(int i) { m[i >> 6] |= std::uint64_t(1) << (i & 63); }
    // Ajoute i quand `oui`, sans branche (le test porte sur des valeurs imprévisibles).
    void AjouterSi(int i, bool oui) { m[i >> 6] |= std::uint64_t(oui) << (i & 63); }
    int Nombre() const
    {
        // Compte des bits à la main : sans l'instruction popcnt (non exigée à la compilation),
        // __builtin_popcountll appelle une fonction de bibliothèque.
        int n = 0;
        for (std::uint64_t x : m) {
            x = x - ((x >> 1) & 0x5555555555555555ULL);
            x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
            x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
            n += int((x * 0x0101010101010101ULL) >> 56);
        }
        return n;
    }
    EnsembleEtats Inter(const EnsembleEtats &autre) const
    {
        EnsembleEtats r;
        for (int k = 0; k < Mots; ++k)
            r.m[k] = m[k] & autre.m[k];
        return r;
    }
    template <typename F>
    void Parcourir(F &&f) const
    {
        for (int k = 0; k < Mots; ++k)
            for (std::uint64_t x = m[k]; x; x &= x - 1)
                f(64 * k + __builtin_ctzll(x));
    }
};

// Un étendu de A lu en deux doubles (haut + bas) : charger un étendu de 80 bits depuis la
// mémoire coûte cher (instruction microcodée), deux doubles et une addition exacte non.
// La découpe n'est employée que si elle rend chaque valeur exactement.
struct TablesModele {
    int N = 0, M = 0;
    int L = 1;                   // N + 1 : longueur d'une ligne d'états
    std::vector<long double> PI; // [i]
    // Les trois grandes tables (157 Kio chacune pour N = M = 99) en grandes pages.
    std::vector<long double, AllocateurTables<long double>> A;  // A[i * L + j]
    std::vector<long double, AllocateurTables<long double>> At; // At[j * L + i] = A[i][j]
    std::vector<long double, AllocateurTables<long double>> Bt; // Bt[o * L + j] = B[j][o], o = 0..M (ligne 0 nulle)
    bool Scinde = false;         // découpes exactes de A disponibles
    std::vector<double> Ah, Al;  // A = Ah + Al (Al et Atl vides quand ADouble : A = Ah)
    std::vector<double> Ath, Atl; // At = Ath + Atl
    bool ADouble = false;         // chaque A[i][j] est un double : A se lit en un seul double
    bool BScinde = false;         // découpes exactes de Bt disponibles
    std::vector<double> Bth, Btl; // Bt = Bth + Btl
    bool BDouble = false;         // Btl tout à zéro : B se lit en un seul double

    // Les arcs qui existent (A[i][j] != 0), rangés deux fois : par destination, i croissant
    // (Forward, Viterbi) et par source, j croissant (Backward, ξ). Un terme sauté vaut +0 ajouté
    // à une somme déjà >= +0, ou un candidat nul qui ne gagne jamais un maximum strict : les
    // noyaux creux rendent exactement les sommes et maxima de la définition.
    int Arcs = 0;                       // nombre de A[i][j] non nuls
    bool Creux = false;                 // assez peu d'arcs pour que les parcours creux paient
    bool Positif = false;               // π, A, B finis et >= 0 : condition des sommes creuses
    // Positif, Σ π et chaque Σ_j A[i][j] au plus 1 + 1e-9, chaque B au plus 1 : la somme d'une
    // ligne de α, β ou δ ne peut alors pas remonter d'un instant à l'autre (au facteur 1 + 1e-9
    // près), et une ligne très en dessous de la plage annonce un résultat hors de la plage.
    bool Decroissant = false;
    std::vector<int> DebutDest, Source; // arcs vers j : Source[DebutDest[j] .. DebutDest[j+1])
    std::vector<long double> ADest;     // A[Source[k]][j]
    std::vector<int> DebutSource, Dest; // arcs depuis i : Dest[DebutSource[i] .. DebutSource[i+1])
    std::vector<long double> ASource;   // A[i][Dest[k]]
    bool ArcsDouble = false;            // chaque A[i][j] est un double : copies ci-dessous
    std::vector<double> ADestD, ASourceD; // arrondies au double le plus proche sinon
    bool ArcsArrondis = false;            // ces arrondis et ceux de B restent normaux et finis
    // Propagation des seules cases non nulles d'une ligne (modèle creux, Positif, N < 128 et
    // chaque A[i][j] × B[j][k] fini : un terme de case nulle vaut alors exactement +0).
    bool Propager = false;
    bool ToujoursPropager = false;      // imposé par les tests, même aux lignes pleines
    std::vector<EnsembleEtats> BNonNul; // [o] : les j tels que B[j][o] != 0
    // Propager une ligne dont `nonNuls` sont les cases non nulles : au plus un quart des cases
    // non nul, la propagation coûte moins que le parcours de tous les arcs.
    bool Pousser(const EnsembleEtats &nonNuls) const
    {
        return Propager && (ToujoursPropager || 4 * nonNuls.Nombre() <= N);
    }

    TablesModele() = default;
    explicit TablesModele(const ParametresModele &p);
    // Reprend les tables pour de nouveaux paramètres en gardant la mémoire déjà prise.
    void Construire(const ParametresModele &p);
};

// Tables de p pour un calcul isolé (CalculerForward...) : une table par fil, reconstruite à
// chaque appel dans la mémoire déjà prise (ni allocation, ni défaut de page, ni remise à zéro
// d'un appel à l'autre). Valable jusqu'au prochain appel sur ce fil.
const TablesModele &TablesDuCalcul(const ParametresModele &p);

// Tests et bancs d'essai : impose les boucles pleines, les parcours creux arc par arc, ou les
// parcours creux avec propagation de chaque ligne (quand ils sont permis) au lieu du choix
// d'après le nombre d'arcs et de cases non nulles.
enum class Noyaux { Auto, Pleins, Creux, Propages };
void ImposerNoyaux(Noyaux choix);
Noyaux NoyauxImposes();

// Forward et Backward sur des tables déjà construites (les entraînements les construisent une
// fois par itération) ; mêmes résultats que CalculerForward et CalculerBackward.
// `visite` : chaque ligne α_t lui est montrée dès qu'elle est écrite, t croissant (même sur
// deux lignes de travail), pour des sommes faites au fil du calcul.
struct VisiteLigne {
    virtual void Ligne(int t, const long double *ligne) = 0;

protected:
    ~VisiteLigne() = default;
};
void Forward(const TablesModele &m, EspaceTravail &e, VisiteLigne *visite = nullptr);
void Backward(const TablesModele &m, EspaceTravail &e);
void Viterbi(const TablesModele &m, EspaceTravail &e);
// Une ligne de δ et ψ poussée depuis les seules cases `nonNuls` de d (modèle Propager, d fini et
// >= 0) : les valeurs et les indices du parcours complet (i croissant, « meilleur < v »), les
// cases non atteintes à (0, état 1) ; `nonNuls` devient un ensemble qui contient les cases non
// nulles de dt. `meilleurs` et `args` : L cases à 0 et à 1, rendues ainsi.
void PousserViterbi(const TablesModele &m, const long double *d, const long double *b, long double *dt, int *pt,
                    EnsembleEtats &nonNuls, long double *meilleurs, int *args);
// Lignes de δ et ψ d'un modèle non creux, dt[j] = max_i d[i] × A[i][j] × b[j] : les valeurs et
// les indices du parcours complet (i croissant, « meilleur < v »), d'après un filtre en doubles
// dont les tables sont faites une fois, à la construction, pour tout un Viterbi.
class DecodeurPlein {
public:
    explicit DecodeurPlein(const TablesModele &m);
    ~DecodeurPlein();
    DecodeurPlein(const DecodeurPlein &) = delete;
    DecodeurPlein &operator=(const DecodeurPlein &) = delete;
    void Ligne(const long double *d, const long double *b, long double *dt, int *pt);

private:
    class Filtre;
    std::unique_ptr<Filtre> filtre;
};

// Somme de ligne sous laquelle le résultat exact sort sûrement de la plage (modèle Decroissant) :
// 2^-40 sous le plus petit étendu normal laisse 2·10^10 instants de remontée possible.
constexpr long double SeuilHorsPortee = 0x1p-16422L;
// Somme d'une ligne 1..N.
inline long double SommeLigne(const long double *x, int N)
{
    long double s = 0;
    for (int i = 1; i <= N; ++i)
        s += x[i];
    return s;
}

// ilogb(x) pour x > 0 et 2^k (k dans [-16382, 16383]) : sur l'étendu x87, l'exposant se lit et
// s'écrit en entier dans ses octets 8 et 9 ; les appels à ilogbl et scalbnl coûtent autant
// qu'une ligne de petit modèle.
#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))
constexpr bool ExposantLisible = true;
// Le champ signe + exposant d'un étendu x87, sans le charger sur la pile.
inline unsigned ChampExposant(const long double *x)
{
    std::uint16_t e;
    std::memcpy(&e, reinterpret_cast<const unsigned char *>(x) + 8, sizeof e);
    return e;
}
inline int Exposant(long double x)
{
    const unsigned e = ChampExposant(&x) & 0x7fffu;
    return e != 0 && e != 0x7fffu ? int(e) - 16383 : std::ilogb(x);
}
inline long double PuissanceDeDeux(int k)
{
    long double x = 0;
    const std::uint64_t m = std::uint64_t(1) << 63;
    const std::uint16_t e = std::uint16_t(16383 + k);
    std::memcpy(&x, &m, sizeof m);
    std::memcpy(reinterpret_cast<unsigned char *>(&x) + 8, &e, sizeof e);
    return x;
}
#else
constexpr bool ExposantLisible = false;
inline unsigned ChampExposant(const long double *)
{
    return 0;
}
inline int Exposant(long double x)
{
    return std::ilogb(x);
}
inline long double PuissanceDeDeux(int k)
{
    return std::scalbn(1.0L, k);
}
#endif

// Viterbi mis à l'échelle : x[1..N] (étendus >= 0, le maximum normal) multiplié par 2^k, k =
// -ilogb(max), et K += k, en ajoutant k aux champs d'exposant (entiers) tant que chaque valeur
// reste normale, sinon par le produit, exact, par 2^k : les mêmes bits. Faux, sans rien changer,
// quand ces conditions ne tiennent pas ou que l'exposant n'est pas lisible.
bool RamenerParExposants(long double *x, int N, long long &K);

// Contrôle commun : N >= 1, T >= 1 (sinon ERefusCalcul) et chaque observation dans 0..M
// (sinon EHorsBornes).
void ControlerSequence(const ParametresModele &p, const EspaceTravail &e);

}
