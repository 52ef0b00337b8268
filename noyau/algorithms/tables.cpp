#include "algorithms/tables.h"
#include "algorithms/espace.h"
#include "model/parametres.h"

#include <limits>

namespace Calcul {

namespace {
Noyaux imposes = Noyaux::Auto;
}

void ImposerNoyaux(Noyaux choix)
{
    imposes = choix;
}

Noyaux NoyauxImposes()
{
    return imposes;
}

bool Scinder(long double x, double &haut, double &bas)
{
    haut = double(x);
    bas = double(x - static_cast<long double>(haut));
    // Vrai aussi pour 0 ; faux pour NaN, l'infini et les valeurs hors de l'étendue des doubles.
    return static_cast<long double>(haut) + static_cast<long double>(bas) == x;
}

TablesModele::TablesModele(const ParametresModele &p)
{
    Construire(p);
}

void TablesModele::Construire(const ParametresModele &p)
{
    N = p.N;
    M = p.M;
    L = p.N + 1;
    const std::size_t LL = std::size_t(L) * std::size_t(L);
    PI.assign(std::size_t(L), 0.0L);
    A.assign(LL, 0.0L);
    At.assign(LL, 0.0L);
    Bt.assign(std::size_t(M + 1) * std::size_t(L), 0.0L);
    for (int i = 1; i <= N; ++i) {
        PI[std::size_t(i)] = p.PI[i];
        for (int j = 1; j <= N; ++j) {
            const long double a = p.A[i][j];
            A[std::size_t(i * L + j)] = a;
            At[std::size_t(j * L + i)] = a;
        }
        for (int o = 0; o <= M; ++o)
            Bt[std::size_t(o * L + i)] = p.B[i][o];
    }
    const auto positif = [](long double x) { return x >= 0 && x <= std::numeric_limits<long double>::max(); };
    Positif = true;
    for (int i = 1; i <= N && Positif; ++i)
        Positif = positif(PI[std::size_t(i)]);
    for (std::size_t k = 0; k < A.size() && Positif; ++k)
        Positif = positif(A[k]);
    for (std::size_t k = 0; k < Bt.size() && Positif; ++k)
        Positif = positif(Bt[k]);

    DebutDest.assign(std::size_t(L) + 1, 0);
    DebutSource.assign(std::size_t(L) + 1, 0);
    Source.clear();
    ADest.clear();
    Dest.clear();
    ASource.clear();
    for (int j = 1; j <= N; ++j) {
        DebutDest[std::size_t(j)] = int(Source.size());
        for (int i = 1; i <= N; ++i)
            if (At[std::size_t(j * L + i)] != 0) {
                Source.push_back(i);
                ADest.push_back(At[std::size_t(j * L + i)]);
            }
    }
    DebutDest[std::size_t(L)] = int(Source.size());
    for (int i = 1; i <= N; ++i) {
        DebutSource[std::size_t(i)] = int(Dest.size());
        for (int j = 1; j <= N; ++j)
            if (A[std::size_t(i * L + j)] != 0) {
                Dest.push_back(j);
                ASource.push_back(A[std::size_t(i * L + j)]);
            }
    }
    DebutSource[std::size_t(L)] = int(Dest.size());
    Arcs = int(Source.size());
    // Des valeurs qui sont des doubles (2^-20 près, entraînées en double...) se lisent en un
    // chargement de 64 bits, bien moins cher que celui d'un étendu.
    ArcsDouble = true;
    ADestD.resize(ADest.size());
    ASourceD.resize(ASource.size());
    for (std::size_t k = 0; k < ADest.size() && ArcsDouble; ++k) {
        ADestD[k] = double(ADest[k]);
        ASourceD[k] = double(ASource[k]);
        ArcsDouble = static_cast<long double>(ADestD[k]) == ADest[k] && static_cast<long double>(ASourceD[k]) == ASource[k];
    }
    // Au-delà d'un quart des cases, les boucles pleines (plusieurs sommes en vol, lignes
    // contiguës) vont plus vite que les parcours indirects.
    Creux = imposes == Noyaux::Auto ? 4LL * Arcs <= (long long)N * N : imposes == Noyaux::Creux;
    // Les découpes en doubles ne servent qu'aux boucles pleines : un modèle creux ne les
    // construit pas (ses rares pas pleins lisent les étendus, de mêmes valeurs).
    Scinde = false;
    ADouble = false;
    BScinde = false;
    if (Creux) {
        Ah.clear();
        Al.clear();
        Ath.clear();
        Atl.clear();
        Bth.clear();
        Btl.clear();
        return;
    }
    Ah.assign(LL, 0.0);
    Al.assign(LL, 0.0);
    Ath.assign(LL, 0.0);
    Atl.assign(LL, 0.0);
    Scinde = true;
    for (int i = 0; i < L && Scinde; ++i)
        for (int j = 0; j < L; ++j) {
            double h, b;
            if (!Scinder(A[std::size_t(i * L + j)], h, b)) {
                Scinde = false;
                break;
            }
            Ah[std::size_t(i * L + j)] = h;
            Al[std::size_t(i * L + j)] = b;
            Ath[std::size_t(j * L + i)] = h;
            Atl[std::size_t(j * L + i)] = b;
        }
    ADouble = Scinde;
    for (std::size_t k = 0; k < Al.size() && ADouble; ++k)
        ADouble = Al[k] == 0;
    Bth.assign(Bt.size(), 0.0);
    Btl.assign(Bt.size(), 0.0);
    BScinde = true;
    for (std::size_t k = 0; k < Bt.size() && BScinde; ++k)
        BScinde = Scinder(Bt[k], Bth[k], Btl[k]);

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
