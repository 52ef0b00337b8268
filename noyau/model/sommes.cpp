#include "model/sommes.h"

#include <algorithm>
#include <vector>

namespace {

// Au-delà, un texte ne peut pas contribuer à une somme décimale exacte de 1 écrite à la main.
constexpr int ExposantLimite = 2000;

// Un nombre décimal positif : chiffres × 10^exposant, chiffres en ordre de lecture.
struct Decimal {
    std::vector<unsigned char> chiffres;
    long exposant = 0;
};

enum class Lecture { Nombre, PasUnNombre, HorsRegle };

// Même grammaire que la conversion des probabilités : [signe] chiffres [sep chiffres] [E [signe] chiffres].
Lecture lire(const QString &texte, Decimal &d)
{
    const QString t = texte.trimmed();
    const int n = int(t.size());
    int i = 0;
    auto chiffre = [&](int k) { return k < n && t.at(k) >= QLatin1Char('0') && t.at(k) <= QLatin1Char('9'); };
    bool negatif = false;
    if (i < n && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
        negatif = t.at(i++) == QLatin1Char('-');
    int apresSeparateur = 0;
    while (chiffre(i))
        d.chiffres.push_back((unsigned char)(t.at(i++).unicode() - '0'));
    if (i < n && (t.at(i) == QLatin1Char(',') || t.at(i) == QLatin1Char('.'))) {
        ++i;
        while (chiffre(i)) {
            d.chiffres.push_back((unsigned char)(t.at(i++).unicode() - '0'));
            ++apresSeparateur;
        }
    }
    if (d.chiffres.empty())
        return Lecture::PasUnNombre;
    long exposant = 0;
    if (i < n && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        ++i;
        bool moins = false;
        if (i < n && (t.at(i) == QLatin1Char('+') || t.at(i) == QLatin1Char('-')))
            moins = t.at(i++) == QLatin1Char('-');
        if (!chiffre(i))
            return Lecture::PasUnNombre;
        while (chiffre(i)) {
            exposant = exposant * 10 + (t.at(i++).unicode() - '0');
            if (exposant > 1000000)
                exposant = 1000000; // borne : le texte sera de toute façon hors règle
        }
        if (moins)
            exposant = -exposant;
    }
    if (i != n)
        return Lecture::PasUnNombre;
    // Zéros de tête retirés : ils ne comptent pas dans la longueur.
    const auto debut = std::find_if(d.chiffres.begin(), d.chiffres.end(), [](unsigned char c) { return c != 0; });
    d.chiffres.erase(d.chiffres.begin(), debut);
    if (d.chiffres.empty())
        return Lecture::Nombre; // zéro, quel que soit son signe
    if (negatif)
        return Lecture::HorsRegle;
    d.exposant = exposant - apresSeparateur;
    if (d.exposant < -ExposantLimite || d.exposant + long(d.chiffres.size()) > 2)
        return Lecture::HorsRegle; // trop petit pour la règle, ou au moins 100
    return Lecture::Nombre;
}

}

namespace Sommes {

bool DecimaleVautUn(const QStringList &textes)
{
    std::vector<Decimal> termes;
    long bas = 0; // le plus petit exposant, jamais au-dessus de 0 (1 = 1 × 10^0)
    for (const QString &t : textes) {
        Decimal d;
        switch (lire(t, d)) {
        case Lecture::HorsRegle:
            return false;
        case Lecture::PasUnNombre:
            continue;
        case Lecture::Nombre:
            if (d.chiffres.empty())
                continue;
            bas = std::min(bas, d.exposant);
            termes.push_back(std::move(d));
        }
    }
    // Somme des entiers chiffres × 10^(exposant - bas), chiffres de poids faible d'abord.
    std::vector<unsigned> somme(std::size_t(-bas) + 4, 0);
    for (const Decimal &d : termes) {
        std::size_t k = std::size_t(d.exposant - bas);
        for (auto c = d.chiffres.rbegin(); c != d.chiffres.rend(); ++c, ++k)
            somme[k] += *c;
    }
    unsigned retenue = 0;
    for (unsigned &c : somme) {
        c += retenue;
        retenue = c / 10;
        c %= 10;
    }
    if (retenue != 0)
        return false;
    // 1 × 10^0 : un seul chiffre 1, au rang -bas.
    for (std::size_t k = 0; k < somme.size(); ++k)
        if (somme[k] != (k == std::size_t(-bas) ? 1u : 0u))
            return false;
    return true;
}

}
