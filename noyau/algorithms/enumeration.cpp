#include "algorithms/enumeration.h"
#include "algorithms/espace.h"
#include "algorithms/tables.h"
#include "graph/nombres.h"
#include "model/parametres.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

using LD = long double;

// Le produit de la définition, lu dans les tables contiguës. `nulAbandon` : dès que le
// produit vaut 0 il ne peut plus devenir positif, seul « > 0 » intéresse alors l'appelant.
template <bool NulAbandon>
double produitChemin(const Calcul::TablesModele &m, const int *O, const int *s, int T)
{
    const std::size_t L = std::size_t(m.L);
    double p = double(m.PI[std::size_t(s[1])] * m.Bt[std::size_t(O[1]) * L + std::size_t(s[1])]);
    for (int t = 2; t <= T; ++t) {
        if constexpr (NulAbandon)
            if (p == 0)
                return 0;
        const LD x = m.A[std::size_t(s[t - 1]) * L + std::size_t(s[t])] * static_cast<LD>(p);
        p = double(m.Bt[std::size_t(O[t]) * L + std::size_t(s[t])] * x);
    }
    return p;
}

QString texteNombreDeChemins(int N, int T, LD n)
{
    const QString puissance = QStringLiteral("%1^%2").arg(N).arg(T);
    if (std::isinf(n))
        return puissance + QStringLiteral(" (plus de 10^4932)");
    return puissance + QStringLiteral(" = ") + Nombres::Formater(n);
}

}

long double NombreDeChemins(int N, int T)
{
    LD n = 1;
    for (int t = 1; t <= T; ++t)
        n = n * N;
    return n;
}

double ProbabiliteChemin(const ParametresModele &p, const EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const int T = e.LongueurSequence;
    if (e.CheminCourant.longueur() < T + 1)
        throw EHorsBornes(T, e.CheminCourant.longueur());
    for (int t = 1; t <= T; ++t)
        if (e.CheminCourant[t] < 1 || e.CheminCourant[t] > p.N)
            throw EHorsBornes(e.CheminCourant[t], p.N + 1);
    const Calcul::TablesModele m(p);
    return produitChemin<false>(m, e.Observations.data(), e.CheminCourant.data(), T);
}

namespace {

// La valeur du texte à 15 chiffres d'une probabilité, sans passer par le texte affiché :
// Formater arrondit par "%.14Le" puis VersExtended relit par strtold, tous deux en langue C ;
// le même aller-retour sur un tampon de caractères donne la même valeur, bien plus vite.
class ValeurTexte {
public:
    ValeurTexte()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        precedente = c ? uselocale(c) : locale_t(nullptr);
    }
    ~ValeurTexte()
    {
        if (precedente)
            uselocale(precedente);
    }
    ValeurTexte(const ValeurTexte &) = delete;
    ValeurTexte &operator=(const ValeurTexte &) = delete;
    long double operator()(double x) const
    {
        if (!precedente || !std::isfinite(x))
            return Nombres::VersExtended(Nombres::Formater(x));
        char tampon[64];
        std::snprintf(tampon, sizeof tampon, "%.14Le", static_cast<long double>(x));
        return std::strtold(tampon, nullptr);
    }

private:
    locale_t precedente = locale_t(nullptr);
};

}

bool EnumererChemins(const ParametresModele &p, EspaceTravail &e, const SuiviEnumeration &suivi)
{
    Calcul::ControlerSequence(p, e);
    const int N = p.N;
    const int T = e.LongueurSequence;
    const LD total = NombreDeChemins(N, T);
    if (!(total <= LD(LimiteChemins)))
        throw ERefusCalcul(QStringLiteral("L'énumération porterait sur N^T = %1 chemins, au-delà de la limite "
                                          "de %2 chemins : elle est refusée. Raccourcissez la séquence "
                                          "d'observations.")
                               .arg(texteNombreDeChemins(N, T, total))
                               .arg(LimiteChemins));
    if (N > 255)
        throw ERefusCalcul(QStringLiteral("Le modèle a trop d'états pour l'énumération des chemins."));

    const Calcul::TablesModele m(p);
    const int *O = e.Observations.data();
    QStringList noms;
    for (int i = 0; i <= N; ++i)
        noms << p.NomEtat(i);

    e.ArretEnumeration = false;
    e.NombreCheminsNonNuls = 0;
    e.CheminsEvalues = 0;
    e.MeilleurChemin = 0;
    e.TableChemins.Vider(T, noms);
    e.CheminCourant.resize(std::size_t(T) + 1);
    int *s = e.CheminCourant.data();
    s[0] = 0;
    for (int t = 1; t <= T; ++t)
        s[t] = 1;

    int dernierPourcent = -1;
    for (;;) {
        // Début d'un appel de niveau 1 : c'est là que la demande d'arrêt est lue.
        if (e.ArretEnumeration)
            return false;
        for (int etat = 1; etat <= N; ++etat) {
            s[1] = etat;
            const double pr = produitChemin<true>(m, O, s, T);
            if (pr > 0) {
                e.TableChemins.Ajouter(s, pr);
                ++e.NombreCheminsNonNuls;
            }
            ++e.CheminsEvalues;
            const int pourcent = int(std::trunc(LD(e.CheminsEvalues) * 100 / total));
            if (pourcent != dernierPourcent) {
                dernierPourcent = pourcent;
                if (suivi.Progression)
                    suivi.Progression(pourcent);
            }
            if (suivi.ApresChemin)
                suivi.ApresChemin();
        }
        int niveau = 2;
        while (niveau <= T) {
            if (++s[niveau] <= N)
                break;
            s[niveau] = 1;
            ++niveau;
        }
        if (niveau > T)
            break;
    }
    // Comme à la fin de la récurrence : le dernier chemin visité (N, ..., N).
    for (int t = 1; t <= T; ++t)
        s[t] = N;

    // Somme des textes à 15 chiffres, relus en précision étendue, dans l'ordre des lignes ;
    // la meilleure ligne est comparée en double précision, la première à égalité.
    LD somme = 0;
    double meilleure = 0;
    const ValeurTexte valeurTexte;
    for (long long r = 1; r <= e.TableChemins.Lignes(); ++r) {
        const LD v = valeurTexte(e.TableChemins.Probabilite(r));
        somme = somme + v;
        if (r == 1 || double(v) > meilleure) {
            meilleure = double(v);
            e.MeilleurChemin = r;
        }
    }
    e.Probabilite = somme;
    return true;
}
