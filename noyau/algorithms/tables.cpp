#include "algorithms/tables.h"
#include "algorithms/espace.h"
#include "model/parametres.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace Calcul {

namespace {
using LD = long double;
Noyaux imposes = Noyaux::Auto;

// Vrai aussi pour 0 ; faux pour NaN, l'infini et les valeurs hors de l'étendue des doubles.
inline bool scinder(long double x, double &haut, double &bas)
{
    haut = double(x);
    bas = double(x - static_cast<long double>(haut));
    return static_cast<long double>(haut) + static_cast<long double>(bas) == x;
}
}

void ImposerNoyaux(Noyaux choix)
{
    imposes = choix;
}

Noyaux NoyauxImposes()
{
    return imposes;
}

TablesModele::TablesModele(const ParametresModele &p)
{
    Construire(p);
}

void TablesModele::Construire(const ParametresModele &p)
{
    static_assert(ParametresModele::Taille <= EnsembleEtats::Capacite, "un état hors des ensembles de bits");
    N = p.N;
    M = p.M;
    L = p.N + 1;
    const std::size_t Lz = std::size_t(L), LL = Lz * Lz;
    // Ces tables sont refaites à chaque calcul : chaque case est écrite une seule fois, d'un
    // seul passage qui relève aussi les arcs, les signes et les plus grandes valeurs.
    PI.resize(Lz);
    A.resize(LL);
    At.resize(LL);
    Bt.resize(std::size_t(M + 1) * Lz);
    LD *a = A.data(), *at = At.data(), *bt = Bt.data();
    const LD Max = std::numeric_limits<LD>::max();
    bool positif = true; // π, A, B finis et >= 0
    LD maxB = 0;
    PI[0] = 0;
    for (std::size_t j = 0; j < Lz; ++j) {
        a[j] = 0;
        at[j] = 0;
    }
    DebutDest.assign(Lz + 1, 0);
    DebutSource.assign(Lz + 1, 0);
    Dest.clear();
    ASource.clear();
    for (int i = 1; i <= N; ++i) {
        const std::size_t iz = std::size_t(i);
        const LD pi = p.PI[i];
        PI[iz] = pi;
        positif &= pi >= 0 && pi <= Max;
        (void)p.A[i][N]; // lignes trop courtes : EHorsBornes, comme un accès case par case
        const LD *ligne = p.A[i].data();
        LD *ai = a + iz * Lz;
        ai[0] = 0;
        at[iz * Lz] = 0;
        DebutSource[iz] = int(Dest.size());
        // Copies octet pour octet : ni chargement ni rangement de 80 bits sur la pile x87.
        std::memcpy(static_cast<void *>(ai + 1), ligne + 1, sizeof(LD) * std::size_t(N));
        for (int j = 1; j <= N; ++j) {
            std::memcpy(static_cast<void *>(at + std::size_t(j) * Lz + iz), ligne + j, sizeof(LD));
            const LD x = ligne[j];
            positif &= x >= 0 && x <= Max;
            if (x != 0) {
                Dest.push_back(j);
                ASource.push_back(x);
                ++DebutDest[std::size_t(j)];
            }
        }
    }
    DebutSource[Lz] = int(Dest.size());
    BNonNul.assign(std::size_t(M + 1), EnsembleEtats());
    for (int o = 0; o <= M; ++o)
        bt[std::size_t(o) * Lz] = 0;
    for (int i = 1; i <= N; ++i) {
        (void)p.B[i][M];
        const LD *ligne = p.B[i].data();
        for (int o = 0; o <= M; ++o) {
            std::memcpy(static_cast<void *>(bt + std::size_t(o) * Lz + std::size_t(i)), ligne + o, sizeof(LD));
            const LD x = ligne[o];
            positif &= x >= 0 && x <= Max;
            maxB = x > maxB ? x : maxB;
            BNonNul[std::size_t(o)].AjouterSi(i, x != 0);
        }
    }
    Positif = positif;
    {
        constexpr LD Borne = 1 + 1e-9L;
        LD spi = 0;
        for (int i = 1; i <= N; ++i)
            spi += PI[std::size_t(i)];
        bool d = positif && spi <= Borne && maxB <= 1;
        for (int i = 1; i <= N && d; ++i) {
            LD s = 0;
            for (int j = 1; j <= N; ++j)
                s += a[std::size_t(i) * Lz + std::size_t(j)];
            d = s <= Borne;
        }
        Decroissant = d;
    }

    // Arcs par destination, i croissant : comptes de chaque colonne, puis rangement des arcs
    // déjà relevés par source (i croissant, donc croissant dans chaque colonne).
    Arcs = int(Dest.size());
    for (std::size_t j = 1, debut = 0; j <= Lz; ++j) {
        const std::size_t n = j < Lz ? std::size_t(DebutDest[j]) : 0;
        DebutDest[j] = int(debut);
        debut += n;
    }
    DebutDest[0] = 0;
    Source.resize(std::size_t(Arcs));
    ADest.resize(std::size_t(Arcs));
    {
        std::vector<int> place(DebutDest.begin(), DebutDest.end());
        for (int i = 1; i <= N; ++i)
            for (int k = DebutSource[std::size_t(i)]; k < DebutSource[std::size_t(i) + 1]; ++k) {
                const std::size_t q = std::size_t(place[std::size_t(Dest[std::size_t(k)])]++);
                Source[q] = i;
                ADest[q] = ASource[std::size_t(k)];
            }
    }
    // Des valeurs qui sont des doubles (2^-20 près, entraînées en double...) se lisent en un
    // chargement de 64 bits, bien moins cher que celui d'un étendu.
    // Sinon les copies arrondies servent encore aux lignes mises à l'échelle en doubles, quand
    // chaque valeur y tient (ni infinie, ni perdue en 0) et B aussi.
    ArcsDouble = true;
    bool arrondis = true;
    ADestD.resize(ADest.size());
    ASourceD.resize(ASource.size());
    const auto tient = [](LD x, double d) { return std::isfinite(d) && (x == 0) == (d == 0); };
    for (std::size_t k = 0; k < ADest.size(); ++k) {
        ADestD[k] = double(ADest[k]);
        ASourceD[k] = double(ASource[k]);
        ArcsDouble = ArcsDouble && static_cast<long double>(ADestD[k]) == ADest[k] &&
                     static_cast<long double>(ASourceD[k]) == ASource[k];
        arrondis = arrondis && tient(ADest[k], ADestD[k]) && tient(ASource[k], ASourceD[k]);
    }
    for (std::size_t k = 0; k < Bt.size() && arrondis; ++k)
        arrondis = Bt[k] == 0 || (std::isfinite(double(Bt[k])) && std::fabs(double(Bt[k])) >= 0x1p-1000);
    ArcsArrondis = arrondis;
    // Au-delà d'un quart des cases, les boucles pleines (plusieurs sommes en vol, lignes
    // contiguës) vont plus vite que les parcours indirects.
    Creux = imposes == Noyaux::Auto ? 4LL * Arcs <= (long long)N * N
                                    : imposes == Noyaux::Creux || imposes == Noyaux::Propages;
    Propager = Creux && imposes != Noyaux::Creux && Positif && N < EnsembleEtats::Capacite;
    if (Propager) {
        LD maxA = 0;
        for (const LD x : ASource)
            maxA = x > maxA ? x : maxA;
        Propager = maxA * maxB <= Max;
    }
    ToujoursPropager = imposes == Noyaux::Propages;
    // Les découpes en doubles ne servent qu'aux boucles pleines : un modèle creux ne les
    // construit pas (ses rares pas pleins lisent les étendus, de mêmes valeurs).
    Scinde = false;
    ADouble = false;
    BScinde = false;
    BDouble = false;
    if (Creux) {
        Ah.clear();
        Al.clear();
        Ath.clear();
        Atl.clear();
        Bth.clear();
        Btl.clear();
        return;
    }
    // Cas courant : chaque A[i][j] est un double (valeurs tapées, entraînées en double...) ;
    // la partie basse, nulle, n'est alors ni rangée ni lue.
    ADouble = true;
    for (std::size_t k = 0; k < LL && ADouble; ++k)
        ADouble = static_cast<LD>(double(a[k])) == a[k];
    Ah.resize(LL);
    Ath.resize(LL);
    Scinde = true;
    if (ADouble) {
        Al.clear();
        Atl.clear();
        for (std::size_t i = 0; i < Lz; ++i)
            for (std::size_t j = 0; j < Lz; ++j) {
                const double h = double(a[i * Lz + j]);
                Ah[i * Lz + j] = h;
                Ath[j * Lz + i] = h;
            }
    } else {
        // Chaque case est écrite tant que la découpe réussit ; sinon les tables ne sont pas lues.
        Al.resize(LL);
        Atl.resize(LL);
        for (std::size_t i = 0; i < Lz && Scinde; ++i)
            for (std::size_t j = 0; j < Lz; ++j) {
                double h, l;
                if (!scinder(a[i * Lz + j], h, l)) {
                    Scinde = false;
                    break;
                }
                Ah[i * Lz + j] = h;
                Al[i * Lz + j] = l;
                Ath[j * Lz + i] = h;
                Atl[j * Lz + i] = l;
            }
    }
    Bth.resize(Bt.size());
    Btl.resize(Bt.size());
    BScinde = true;
    for (std::size_t k = 0; k < Bt.size() && BScinde; ++k)
        BScinde = scinder(Bt[k], Bth[k], Btl[k]);
    BDouble = BScinde;
    for (std::size_t k = 0; k < Btl.size() && BDouble; ++k)
        BDouble = Btl[k] == 0;

}

const TablesModele &TablesDuCalcul(const ParametresModele &p)
{
    thread_local TablesModele m;
    m.Construire(p);
    return m;
}

void ControlerSequence(const ParametresModele &p, const EspaceTravail &e)
{
    if (p.N < 1)
        throw ERefusCalcul(QStringLiteral("Le modèle ne contient aucun état : il n'y a rien à calculer."));
    const int T = e.LongueurSequence;
    if (T < 1)
        throw ERefusCalcul(QStringLiteral("La séquence d'observations ne contient aucune observation : "
                                          "il n'y a rien à calculer."));
    if (e.Observations.longueur() < T + 1)
        throw EHorsBornes(T, e.Observations.longueur());
    for (int t = 1; t <= T; ++t)
        if (e.Observations[t] < 0 || e.Observations[t] > p.M)
            throw EHorsBornes(e.Observations[t], p.M + 1);
}

}
