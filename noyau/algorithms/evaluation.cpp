// Forward et Backward. Chaque case est la somme, i (ou j) croissant à partir de 0, des
// produits formés dans l'ordre de la définition ; les noyaux calculent plusieurs cases
// indépendantes à la fois (quatre ou cinq sommes en vol) sur des lignes contiguës, ce qui ne
// change aucun arrondi. Sur un modèle creux, seuls les arcs existants sont parcourus, et une
// ligne presque toute nulle (émissions creuses) n'est propagée que depuis ses cases non nulles.
#include "algorithms/evaluation.h"
#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <cstring>
#include <limits>

namespace {

using Calcul::EnsembleEtats;
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
    for (; j + 1 <= N; j += 2) {
        const std::size_t k0 = std::size_t(j) * L, k1 = k0 + L;
        LD s0 = 0, s1 = 0;
        for (int i = 1; i <= N; ++i) {
            const LD x = a[i];
            s0 = s0 + x * at[k0 + std::size_t(i)];
            s1 = s1 + x * at[k1 + std::size_t(i)];
        }
        suivant[j] = s0 * b[j];
        suivant[j + 1] = s1 * b[j + 1];
    }
    for (; j <= N; ++j) {
        const std::size_t k0 = std::size_t(j) * L;
        LD s0 = 0;
        for (int i = 1; i <= N; ++i)
            s0 = s0 + a[i] * at[k0 + std::size_t(i)];
        suivant[j] = s0 * b[j];
    }
}

// Cases atteintes par une propagation, j croissant : valeur (× B[j] quand b est donné)
// écrite, somme remise à 0, cases non nulles relevées ; rend la somme des valeurs écrites.
LD ecrireAtteints(const EnsembleEtats &atteints, LD *somme, const LD *b, LD *ligne, EnsembleEtats &nonNuls)
{
    EnsembleEtats suite;
    LD total = 0;
    atteints.Parcourir([&](int j) {
        const LD v = b ? somme[j] * b[j] : somme[j];
        somme[j] = 0;
        ligne[j] = v;
        total += v;
        suite.AjouterSi(j, v != 0);
    });
    nonNuls = suite;
    return total;
}

// Cases non nulles d'une ligne.
EnsembleEtats releverNonNuls(const LD *x, int N)
{
    EnsembleEtats r;
    for (int i = 1; i <= N; ++i)
        r.AjouterSi(i, x[i] != 0);
    return r;
}

// Ligne suivante de α sur les seuls arcs existants, i croissant. Rend la somme de la ligne
// écrite : finie si et seulement si chaque case l'est (valeurs >= 0). Relève aussi les cases
// non nulles de la ligne écrite quand `nonNuls` est donné.
template <typename Arc>
LD forwardCreux(const TablesModele &m, const Arc *val, const LD *a, const LD *b, LD *suivant,
                EnsembleEtats *nonNuls)
{
    const int N = m.N;
    const int *debut = m.DebutDest.data();
    const int *source = m.Source.data();
    LD total = 0;
    EnsembleEtats suite;
    for (int j = 1; j <= N; ++j) {
        LD s0 = 0;
        for (int k = debut[j]; k < debut[j + 1]; ++k)
            s0 = s0 + a[source[k]] * static_cast<LD>(val[k]);
        const LD v = s0 * b[j];
        suivant[j] = v;
        total += v;
        suite.AjouterSi(j, v != 0);
    }
    if (nonNuls)
        *nonNuls = suite;
    return total;
}

// Ligne suivante de α poussée depuis les seules cases non nulles de la ligne courante (finie,
// modèle Propager). Chaque somme reçoit ses termes i croissant, comme la boucle par
// destination : les termes omis valent +0 et ne changent pas une somme >= +0 ; une case jamais
// atteinte vaut +0 × B = +0. `somme` (L cases à 0) est rendu à 0.
template <typename Arc>
LD forwardPousse(const TablesModele &m, const Arc *val, const LD *a, const LD *b, LD *suivant,
                 EnsembleEtats &nonNuls, LD *somme)
{
    const int *debut = m.DebutSource.data();
    const int *dest = m.Dest.data();
    std::memset(static_cast<void *>(suivant), 0, sizeof(LD) * std::size_t(m.L));
    EnsembleEtats atteints;
    nonNuls.Parcourir([&](int i) {
        const LD x = a[i];
        for (int k = debut[i]; k < debut[i + 1]; ++k) {
            const int j = dest[k];
            somme[j] = somme[j] + x * static_cast<LD>(val[k]);
            atteints.Ajouter(j);
        }
    });
    return ecrireAtteints(atteints, somme, b, suivant, nonNuls);
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
// Lignes de α rangées dans `table` : ligne t en table + (t & masque) × L (masque = 1 : deux
// lignes de travail). `arret` : arrêt dès qu'une ligne annonce un résultat hors de la plage
// (modèle Decroissant) ; rend false dans ce cas. `visite` (quand il est donné) reçoit chaque
// ligne dès qu'elle est écrite, t croissant.
bool forward(const TablesModele &m, const int *O, int T, LD *table, std::size_t masque, bool arret,
             Calcul::VisiteLigne *visite = nullptr)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const bool creux = m.Creux && m.Positif;
    bool ligneFinie = false;
    EnsembleEtats nonNuls; // cases non nulles de la ligne courante, quand m.Propager
    std::vector<LD> somme(m.Propager ? L : 0, 0.0L);
    const auto ligne = [&](int t) { return table + (std::size_t(t) & masque) * L; };
    arret = arret && m.Decroissant;
    {
        LD *a1 = ligne(1);
        const LD *b = m.Bt.data() + std::size_t(O[1]) * L;
        for (int i = 1; i <= N; ++i)
            a1[i] = m.PI[std::size_t(i)] * b[i];
        if (creux)
            ligneFinie = finie(totalLigne(a1, N));
        if (m.Propager)
            nonNuls = releverNonNuls(a1, N);
        if (visite)
            visite->Ligne(1, a1);
    }
    for (int t = 1; t < T; ++t) {
        const LD *a = ligne(t);
        LD *suivant = ligne(t + 1);
        const LD *b = m.Bt.data() + std::size_t(O[t + 1]) * L;
        if (ligneFinie && m.Pousser(nonNuls)) {
            ligneFinie = finie(m.ArcsDouble ? forwardPousse(m, m.ASourceD.data(), a, b, suivant, nonNuls, somme.data())
                                            : forwardPousse(m, m.ASource.data(), a, b, suivant, nonNuls, somme.data()));
        } else if (ligneFinie) {
            EnsembleEtats *suivi = m.Propager ? &nonNuls : nullptr;
            ligneFinie = finie(m.ArcsDouble ? forwardCreux(m, m.ADestD.data(), a, b, suivant, suivi)
                                            : forwardCreux(m, m.ADest.data(), a, b, suivant, suivi));
        } else {
            forwardPlein<Mode>(m, a, b, suivant);
            if (creux)
                ligneFinie = finie(totalLigne(suivant, N));
            if (m.Propager)
                nonNuls = releverNonNuls(suivant, N);
        }
        if (visite)
            visite->Ligne(t + 1, suivant);
        if (arret && (t & 31) == 0 && Calcul::SommeLigne(suivant, N) < Calcul::SeuilHorsPortee)
            return false;
    }
    return true;
}

template <int Mode>
void backwardPlein(const TablesModele &m, const LD *suivant, const LD *b, LD *courant)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const LecteurA<Mode> a{m.Ah.data(), m.Al.data(), m.A.data()};
    int i = 1;
    if constexpr (Mode == Double) {
        // A lu en un seul double : cinq sommes en vol (les huit registres x87 : cinq sommes,
        // β, B et un produit), β et B chargés en 80 bits une fois pour cinq cases.
        for (; i + 4 <= N; i += 5) {
            const double *a0 = m.Ah.data() + std::size_t(i) * L, *a1 = a0 + L, *a2 = a1 + L, *a3 = a2 + L,
                         *a4 = a3 + L;
            LD s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
            for (int j = 1; j <= N; ++j) {
                const LD y = suivant[j];
                const LD c = b[j];
                s0 = s0 + y * (static_cast<LD>(a0[j]) * c);
                s1 = s1 + y * (static_cast<LD>(a1[j]) * c);
                s2 = s2 + y * (static_cast<LD>(a2[j]) * c);
                s3 = s3 + y * (static_cast<LD>(a3[j]) * c);
                s4 = s4 + y * (static_cast<LD>(a4[j]) * c);
            }
            courant[i] = s0;
            courant[i + 1] = s1;
            courant[i + 2] = s2;
            courant[i + 3] = s3;
            courant[i + 4] = s4;
        }
    }
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
LD backwardCreux(const TablesModele &m, const Arc *val, const LD *suivant, const LD *b, LD *courant,
                 EnsembleEtats *nonNuls)
{
    const int N = m.N;
    const int *debut = m.DebutSource.data();
    const int *dest = m.Dest.data();
    LD total = 0;
    EnsembleEtats suite;
    for (int i = 1; i <= N; ++i) {
        LD s0 = 0;
        for (int k = debut[i]; k < debut[i + 1]; ++k) {
            const int j = dest[k];
            s0 = s0 + suivant[j] * (static_cast<LD>(val[k]) * b[j]);
        }
        courant[i] = s0;
        total += s0;
        suite.AjouterSi(i, s0 != 0);
    }
    if (nonNuls)
        *nonNuls = suite;
    return total;
}

// Ligne de β poussée depuis les seuls j où β[t+1][j] et B[j][O[t+1]] sont non nuls (ligne
// finie, modèle Propager : A × B fini, donc chaque terme omis vaut +0). Chaque somme reçoit ses
// termes j croissant, comme la boucle par source.
template <typename Arc>
LD backwardPousse(const TablesModele &m, const Arc *val, const LD *suivant, const LD *b, LD *courant,
                  const EnsembleEtats &bNonNul, EnsembleEtats &nonNuls, LD *somme)
{
    const int *debut = m.DebutDest.data();
    const int *source = m.Source.data();
    std::memset(static_cast<void *>(courant), 0, sizeof(LD) * std::size_t(m.L));
    EnsembleEtats atteints;
    nonNuls.Inter(bNonNul).Parcourir([&](int j) {
        const LD y = suivant[j];
        const LD c = b[j];
        for (int k = debut[j]; k < debut[j + 1]; ++k) {
            const int i = source[k];
            somme[i] = somme[i] + y * (static_cast<LD>(val[k]) * c);
            atteints.Ajouter(i);
        }
    });
    return ecrireAtteints(atteints, somme, nullptr, courant, nonNuls);
}

template <int Mode>
bool backward(const TablesModele &m, const int *O, int T, LD *table, std::size_t masque, bool arret)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    const auto ligne = [&](int t) { return table + (std::size_t(t) & masque) * L; };
    arret = arret && m.Decroissant;
    {
        LD *bT = ligne(T);
        for (int i = 1; i <= N; ++i)
            bT[i] = 1;
    }
    const bool creux = m.Creux && m.Positif;
    bool ligneFinie = creux;
    EnsembleEtats nonNuls; // cases non nulles de la ligne t + 1, quand m.Propager
    for (int i = 1; i <= N && m.Propager; ++i)
        nonNuls.Ajouter(i);
    std::vector<LD> somme(m.Propager ? L : 0, 0.0L);
    for (int t = T - 1; t >= 1; --t) {
        const LD *suivant = ligne(t + 1);
        LD *courant = ligne(t);
        const LD *b = m.Bt.data() + std::size_t(O[t + 1]) * L;
        const EnsembleEtats &bNonNul = m.BNonNul[std::size_t(O[t + 1])];
        if (ligneFinie && m.Pousser(nonNuls.Inter(bNonNul))) {
            ligneFinie = finie(m.ArcsDouble
                                   ? backwardPousse(m, m.ADestD.data(), suivant, b, courant, bNonNul, nonNuls, somme.data())
                                   : backwardPousse(m, m.ADest.data(), suivant, b, courant, bNonNul, nonNuls, somme.data()));
        } else if (ligneFinie) {
            EnsembleEtats *suivi = m.Propager ? &nonNuls : nullptr;
            ligneFinie = finie(m.ArcsDouble ? backwardCreux(m, m.ASourceD.data(), suivant, b, courant, suivi)
                                            : backwardCreux(m, m.ASource.data(), suivant, b, courant, suivi));
        } else {
            backwardPlein<Mode>(m, suivant, b, courant);
            if (creux)
                ligneFinie = finie(totalLigne(courant, N));
            if (m.Propager)
                nonNuls = releverNonNuls(courant, N);
        }
        if (arret && (t & 31) == 0 && Calcul::SommeLigne(courant, N) < Calcul::SeuilHorsPortee)
            return false;
    }
    return true;
}

}

namespace {
// Table de travail : T + 1 lignes, ou deux quand seule la probabilité est demandée.
LD *preparer(Matrice<LD> &table, const EspaceTravail &e, int L, std::size_t &masque)
{
    const int lignes = e.GarderTables ? e.LongueurSequence + 1 : 2;
    masque = e.GarderTables ? ~std::size_t(0) : 1;
    if (table.Lignes() != lignes || table.Colonnes() != L)
        table.Dimensionner(lignes, L);
    return table.LigneBrute(0);
}
}

void Calcul::Forward(const TablesModele &m, EspaceTravail &e, VisiteLigne *visite)
{
    const int T = e.LongueurSequence;
    std::size_t masque = 0;
    LD *table = preparer(e.Alpha, e, m.L, masque);
    const int *O = e.Observations.data();
    const bool arret = e.ArretHorsPortee && !visite;
    bool complet;
    if (m.ADouble)
        complet = forward<Double>(m, O, T, table, masque, arret, visite);
    else if (m.Scinde)
        complet = forward<Scinde>(m, O, T, table, masque, arret, visite);
    else
        complet = forward<Etendu>(m, O, T, table, masque, arret, visite);
    e.ArreteHorsPortee = !complet;
    if (!complet) {
        e.Probabilite = 0;
        return;
    }
    LD P = 0;
    const LD *aT = table + (std::size_t(T) & masque) * std::size_t(m.L);
    for (int i = 1; i <= m.N; ++i)
        P = P + aT[i];
    e.Probabilite = P;
}

void Calcul::Backward(const TablesModele &m, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    std::size_t masque = 0;
    LD *table = preparer(e.Beta, e, m.L, masque);
    const int *O = e.Observations.data();
    const bool arret = e.ArretHorsPortee;
    bool complet;
    if (m.ADouble)
        complet = backward<Double>(m, O, T, table, masque, arret);
    else if (m.Scinde)
        complet = backward<Scinde>(m, O, T, table, masque, arret);
    else
        complet = backward<Etendu>(m, O, T, table, masque, arret);
    e.ArreteHorsPortee = !complet;
    if (!complet) {
        e.Probabilite = 0;
        return;
    }
    LD P = 0;
    const LD *b1 = table + (std::size_t(1) & masque) * std::size_t(m.L);
    const LD *b = m.Bt.data() + std::size_t(O[1]) * std::size_t(m.L);
    for (int i = 1; i <= m.N; ++i)
        P = P + (m.PI[std::size_t(i)] * b1[i]) * b[i];
    e.Probabilite = P;
}

void CalculerForward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    Calcul::Forward(Calcul::TablesDuCalcul(p), e);
}

void CalculerBackward(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    Calcul::Backward(Calcul::TablesDuCalcul(p), e);
}

void ExigerGeneration(const ParametresModele &p, EspaceTravail &e)
{
    CalculerForward(p, e);
    if (e.Probabilite == 0)
        throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                           CiterSequence(e.SequenceObservations, !e.DecoupageCaractere) + CauseNonGeneration(p, e));
}
