#include "algorithms/espace.h"
#include "graph/nombres.h"

ERefusCalcul::ERefusCalcul(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString ERefusCalcul::Message() const
{
    return QString::fromStdString(what());
}

void TableDesChemins::Vider(int longueur, const QStringList &nomsEtats)
{
    T = longueur;
    noms = nomsEtats;
    etats.clear();
    probabilites.clear();
}

void TableDesChemins::Ajouter(const int *chemin, double probabilite)
{
    for (int t = 1; t <= T; ++t)
        etats.push_back((unsigned char)chemin[t]);
    probabilites.push_back(probabilite);
}

void TableDesChemins::verifier(long long r) const
{
    if (r < 1 || r > Lignes())
        throw EHorsBornes(r, Lignes() + 1);
}

int TableDesChemins::Etat(long long r, int t) const
{
    verifier(r);
    if (t < 1 || t > T)
        throw EHorsBornes(t, T + 1);
    return etats[std::size_t((r - 1) * T + (t - 1))];
}

double TableDesChemins::Probabilite(long long r) const
{
    verifier(r);
    return probabilites[std::size_t(r - 1)];
}

QString TableDesChemins::Texte(long long r, int t) const
{
    if (t == T + 1)
        return Nombres::Formater(Probabilite(r));
    const int e = Etat(r, t);
    return e < noms.size() ? noms.at(e) : QString();
}

QString TableDesChemins::TexteChemin(long long r) const
{
    QString s = QStringLiteral("Start");
    for (int t = 1; t <= T; ++t)
        s += QStringLiteral(" - ") + Texte(r, t);
    return s;
}
