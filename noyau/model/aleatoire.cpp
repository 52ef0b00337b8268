#include "model/aleatoire.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace Aleatoire {

namespace {
QString texteDecimal(int unites, int decimales, int total)
{
    if (unites >= total)
        return QStringLiteral("1");
    QString chiffres = QString::number(unites).rightJustified(decimales, QLatin1Char('0'));
    while (chiffres.endsWith(QLatin1Char('0')))
        chiffres.chop(1);
    return QStringLiteral("0.") + chiffres;
}
}

QStringList Ligne(int n, std::uint32_t &etat)
{
    if (n <= 0)
        return {};
    const int decimales = n <= 20 ? 2 : 3;
    const int total = decimales == 2 ? 100 : 1000;
    // Poids entiers tirés, puis partage du reste au plus fort reste : la somme est exacte.
    std::mt19937 g(etat);
    std::vector<std::int64_t> poids(static_cast<std::size_t>(n));
    for (auto &p : poids)
        p = std::int64_t(g() % 1000) + 1;
    etat = g();
    const std::int64_t somme = std::accumulate(poids.begin(), poids.end(), std::int64_t(0));
    const std::int64_t reste = total - n;
    std::vector<int> unites(static_cast<std::size_t>(n));
    std::vector<std::pair<std::int64_t, int>> restes;
    int donnees = 0;
    for (int k = 0; k < n; ++k) {
        const std::int64_t part = reste * poids[std::size_t(k)];
        unites[std::size_t(k)] = 1 + int(part / somme);
        donnees += unites[std::size_t(k)];
        restes.push_back({part % somme, k});
    }
    std::stable_sort(restes.begin(), restes.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (std::size_t r = 0; donnees < total; ++r, ++donnees)
        ++unites[std::size_t(restes[r % restes.size()].second)];
    QStringList l;
    for (const int u : unites)
        l << texteDecimal(u, decimales, total);
    return l;
}

ContenuModele Remplir(const ContenuModele &c, std::uint32_t graine)
{
    ContenuModele r = c;
    std::uint32_t etat = graine;
    // Départs dans l'ordre de leurs index, arcs dans l'ordre du graphe.
    std::vector<int> departs;
    for (const auto &a : c.Arcs)
        departs.push_back(a.Source);
    std::sort(departs.begin(), departs.end());
    departs.erase(std::unique(departs.begin(), departs.end()), departs.end());
    for (const int s : departs) {
        std::vector<qsizetype> arcs;
        for (qsizetype a = 0; a < c.Arcs.size(); ++a)
            if (c.Arcs[a].Source == s)
                arcs.push_back(a);
        const QStringList l = Ligne(int(arcs.size()), etat);
        for (std::size_t k = 0; k < arcs.size(); ++k)
            r.Arcs[arcs[k]].Etiquette = l[qsizetype(k)];
    }
    for (qsizetype e = c.Start ? 1 : 0; e < r.Etats.size(); ++e) {
        auto &paires = r.Etats[e].Paires;
        const QStringList l = Ligne(int(paires.size()), etat);
        for (qsizetype k = 0; k < paires.size(); ++k)
            paires[k].second = l[k];
    }
    return r;
}

bool AQuoiTirer(const ContenuModele &c)
{
    if (!c.Arcs.isEmpty())
        return true;
    for (qsizetype e = c.Start ? 1 : 0; e < c.Etats.size(); ++e)
        if (!c.Etats[e].Paires.isEmpty())
            return true;
    return false;
}

}
