#include "algorithms/chrono.h"
#include "graph/nombres.h"

#include <cmath>
#include <ctime>

namespace {

double maintenant()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

}

ChronoCalcul::ChronoCalcul() : debut(maintenant()) {}

double ChronoCalcul::Millisecondes() const
{
    return maintenant() - debut;
}

QString TexteDureeCalcul(double ms)
{
    QString texte = QStringLiteral("0");
    if (ms > 0 && std::isfinite(ms)) {
        // Nombre de décimales pour trois chiffres significatifs ; au-delà de 100 ms, l'entier
        // arrondi à trois chiffres (1234 -> 1230), sans exposant.
        const int e = int(std::floor(std::log10(ms)));
        const int decimales = std::max(0, 2 - e);
        double v = ms;
        if (e > 2) {
            const double p = std::pow(10.0, e - 2);
            v = std::round(ms / p) * p;
        }
        texte = QString::number(v, 'f', decimales);
        if (texte.contains(QLatin1Char('.'))) {
            while (texte.endsWith(QLatin1Char('0')))
                texte.chop(1);
            if (texte.endsWith(QLatin1Char('.')))
                texte.chop(1);
        }
        texte.replace(QLatin1Char('.'), Nombres::Separateur());
    }
    return QStringLiteral("Durée du calcul : ") + texte + QStringLiteral(" ms");
}
