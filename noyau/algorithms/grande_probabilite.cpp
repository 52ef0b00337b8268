#include "algorithms/grande_probabilite.h"
#include "graph/nombres.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace {

using LD = long double;

// log10(2) et ln(2) coupés en une partie haute de 32 bits (son produit par un exposant entier
// est exact) et le reste : log10(m × 2^e) garde ainsi ses 19 chiffres même pour e ≈ -20 000.
struct Coupe {
    LD haut, bas;
    explicit Coupe(LD v) : haut(std::floor(v * 4294967296.0L) / 4294967296.0L), bas(v - haut) {}
};
const Coupe Log10De2(0.301029995663981195213738894724493026768L);
const Coupe LnDe2(0.693147180559945309417232121458176568076L);

}

GrandeProbabilite GrandeProbabilite::De(LD x)
{
    GrandeProbabilite g;
    if (x == 0 || !std::isfinite(x)) {
        g.Mantisse = std::isfinite(x) ? 0 : x;
        return g;
    }
    int e = 0;
    g.Mantisse = std::frexp(x, &e);
    g.Exposant = e;
    return g;
}

GrandeProbabilite GrandeProbabilite::DeLogarithme(LD ln)
{
    GrandeProbabilite g;
    if (std::isinf(ln) && ln < 0)
        return g;
    const LD e = std::floor(ln / LnDe2.haut);
    // ln - e × ln 2, l'essentiel exact : le reste est dans [0 ; ln 2) à peu près.
    const LD reste = (ln - e * LnDe2.haut) - e * LnDe2.bas;
    g = De(std::exp(reste));
    g.Exposant += (long long)e;
    return g;
}

GrandeProbabilite &GrandeProbabilite::operator*=(LD x)
{
    int e = 0;
    Mantisse = std::frexp(Mantisse * x, &e);
    Exposant = Mantisse == 0 ? 0 : Exposant + e;
    return *this;
}

GrandeProbabilite &GrandeProbabilite::operator*=(const GrandeProbabilite &x)
{
    const long long e = x.Exposant;
    *this *= x.Mantisse;
    if (Mantisse != 0)
        Exposant += e;
    return *this;
}

LD GrandeProbabilite::Ln() const
{
    if (Mantisse == 0)
        return -INFINITY;
    const LD e = LD(Exposant);
    return (e * LnDe2.haut + e * LnDe2.bas) + std::log(Mantisse);
}

LD GrandeProbabilite::Log10() const
{
    if (Mantisse == 0)
        return -INFINITY;
    const LD e = LD(Exposant);
    return (e * Log10De2.haut + e * Log10De2.bas) + std::log10(Mantisse);
}

LD GrandeProbabilite::VersEtendu() const
{
    if (Exposant > LDBL_MAX_EXP)
        return INFINITY;
    if (Exposant < LDBL_MIN_EXP - LDBL_MANT_DIG - 1)
        return 0;
    return std::ldexp(Mantisse, int(Exposant));
}

bool GrandeProbabilite::Representable() const
{
    // frexp(LDBL_MIN) donne l'exposant LDBL_MIN_EXP ; LDBL_MAX a LDBL_MAX_EXP.
    return Mantisse != 0 && std::isfinite(Mantisse) && Exposant >= LDBL_MIN_EXP && Exposant <= LDBL_MAX_EXP;
}

QString GrandeProbabilite::Texte(int chiffres) const
{
    if (Mantisse == 0 || !std::isfinite(Mantisse) || Representable())
        return Nombres::Formater(VersEtendu(), chiffres);
    if (chiffres < 1)
        chiffres = 1;
    if (chiffres > 18)
        chiffres = 18;
    // Exposant décimal D et mantisse 10^f, f = log10 - D calculé sans perdre de chiffres :
    // e × haut est exact, D s'en retire exactement.
    const LD e = LD(Exposant);
    const LD grossier = e * Log10De2.haut + std::log10(Mantisse);
    long long D = (long long)std::floor(grossier + e * Log10De2.bas);
    const LD f = ((e * Log10De2.haut - LD(D)) + e * Log10De2.bas) + std::log10(Mantisse);
    LD m = std::pow(10.0L, f);
    char tampon[64];
    std::snprintf(tampon, sizeof tampon, "%.*Lf", chiffres - 1, m);
    QString s = QString::fromLatin1(tampon);
    if (s.startsWith(QLatin1String("10"))) { // 9,99…95 arrondi au-dessus
        ++D;
        std::snprintf(tampon, sizeof tampon, "%.*Lf", chiffres - 1, m / 10);
        s = QString::fromLatin1(tampon);
    }
    // Le point de la langue C (snprintf dépend de LC_NUMERIC) devient le séparateur.
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), Nombres::Separateur());
    return s + QStringLiteral("E") + QString::number(D);
}

bool AuMoins(const GrandeProbabilite &x, LD seuil)
{
    if (std::isnan(seuil))
        return false;
    if (seuil <= 0)
        return true;
    if (x.EstNulle())
        return false;
    return x.Ln() >= std::log(seuil);
}

bool HorsPortee(long double probabilite)
{
    return probabilite < LDBL_MIN; // 0 et sous-normaux (une probabilité n'est pas négative)
}
