#include "sortie_json.h"
#include "algorithms/espace.h"
#include "algorithms/observateur.h"
#include "model/parametres.h"

#include <QJsonDocument>
#include <algorithm>
#include <charconv>
#include <cstdio>

namespace SortieJson {

QString Texte17(long double x)
{
    char tampon[64];
    const auto r = std::to_chars(tampon, tampon + sizeof tampon, x, std::chars_format::general, 17);
    return QString::fromLatin1(tampon, r.ptr - tampon);
}

QJsonObject Probabilite(long double x)
{
    return {{QStringLiteral("valeur"), double(x)}, {QStringLiteral("texte"), Texte17(x)}};
}

QJsonObject HorsEtendu(const GrandeProbabilite &g, bool misALEchelle)
{
    return {{QStringLiteral("valeur"), 0.0},
            {QStringLiteral("texte"), g.Texte(17)},
            {QStringLiteral("log10"), double(g.Log10())},
            {QStringLiteral("mis_a_l_echelle"), misALEchelle}};
}

QJsonArray Noms(const QStringList &noms)
{
    return QJsonArray::fromStringList(noms);
}

QJsonObject Parametres(const ParametresModele &p)
{
    QStringList etats, symboles;
    QJsonArray pi, a, b;
    for (int i = 1; i <= p.N; ++i) {
        etats << p.NomEtat(i);
        pi.append(Probabilite(p.PI[i]));
        QJsonArray ligneA, ligneB;
        for (int j = 1; j <= p.N; ++j)
            ligneA.append(Probabilite(p.A[i][j]));
        for (int k = 1; k <= p.M; ++k)
            ligneB.append(Probabilite(p.B[i][k]));
        a.append(ligneA);
        b.append(ligneB);
    }
    for (int k = 1; k <= p.M; ++k)
        symboles << p.Symboles[k];
    return {{QStringLiteral("N"), p.N},           {QStringLiteral("M"), p.M},
            {QStringLiteral("etats"), Noms(etats)}, {QStringLiteral("symboles"), Noms(symboles)},
            {QStringLiteral("pi"), pi},           {QStringLiteral("A"), a},
            {QStringLiteral("B"), b}};
}

QJsonObject Verification(bool correct, const QStringList &rapport)
{
    return {{QStringLiteral("correct"), correct},
            {QStringLiteral("erreurs"), correct ? QJsonArray() : Noms(rapport)}};
}

namespace {
// Une valeur en JSON compact : un tableau d'un élément, crochets ôtés.
QByteArray compact(const QJsonValue &v)
{
    const QByteArray o = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return o.mid(1, o.size() - 2);
}

void ecrire(const QByteArray &octets)
{
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
}

QJsonObject chemin(const TableDesChemins &t, long long r, long long meilleur)
{
    QStringList etats{QStringLiteral("Start")};
    for (int k = 1; k <= t.Longueur(); ++k)
        etats << t.Texte(r, k);
    return QJsonObject{{QStringLiteral("chemin"), Noms(etats)},
                       {QStringLiteral("probabilite"), Probabilite(t.Probabilite(r))},
                       {QStringLiteral("meilleur"), r == meilleur}};
}
}

QJsonArray Chemins(const TableDesChemins &t, long long meilleur)
{
    QJsonArray chemins;
    for (long long r = 1; r <= t.Lignes(); ++r)
        chemins.append(chemin(t, r, meilleur));
    return chemins;
}

void EcrireAvecChemins(const QJsonObject &objet, const TableDesChemins &t, long long meilleur)
{
    QByteArray debut = QJsonDocument(objet).toJson(QJsonDocument::Compact);
    debut.chop(1); // l'accolade fermante vient après les chemins
    if (debut.size() > 1)
        debut += ',';
    debut += "\"chemins\":[";
    std::fwrite(debut.constData(), 1, size_t(debut.size()), stdout);
    for (long long r = 1; r <= t.Lignes(); ++r) {
        if (r > 1)
            std::fputc(',', stdout);
        ecrire(compact(chemin(t, r, meilleur)));
    }
    std::fputs("]}\n", stdout);
}

void EcrireAvecTableaux(const QJsonObject &objet, const std::vector<TableauEnFlux> &tableaux)
{
    // Chaque tableau est d'abord une marque à sa place (une chaîne que rien d'autre ne
    // contient), puis l'objet écrit est coupé à ses marques.
    QJsonObject o = objet;
    std::vector<std::pair<qsizetype, const TableauEnFlux *>> places;
    std::vector<QByteArray> marques;
    for (const TableauEnFlux &t : tableaux) {
        const QString marque = QChar(1) + QStringLiteral("flux") + QChar(1) + t.cle;
        o[t.cle] = marque;
        marques.push_back(compact(marque));
    }
    const QByteArray octets = QJsonDocument(o).toJson(QJsonDocument::Compact);
    for (std::size_t k = 0; k < tableaux.size(); ++k)
        places.emplace_back(octets.indexOf(marques[k]), &tableaux[k]);
    std::sort(places.begin(), places.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    qsizetype debut = 0;
    for (const auto &[place, t] : places) {
        const std::size_t k = std::size_t(t - tableaux.data());
        ecrire(octets.mid(debut, place - debut));
        std::fputc('[', stdout);
        for (qsizetype i = 0; i < t->nombre; ++i) {
            if (i > 0)
                std::fputc(',', stdout);
            ecrire(compact(t->element(i)));
        }
        std::fputc(']', stdout);
        debut = place + marques[k].size();
    }
    ecrire(octets.mid(debut));
    std::fputc('\n', stdout);
}

QString Issue(IssueEntrainement issue)
{
    switch (issue) {
    case IssueEntrainement::SeuilDejaAtteint:
        return QStringLiteral("seuil-deja-atteint");
    case IssueEntrainement::LimiteAtteinte:
        return QStringLiteral("limite-atteinte");
    case IssueEntrainement::Interrompu:
        return QStringLiteral("interrompu");
    case IssueEntrainement::Termine:
        break;
    }
    return QStringLiteral("termine");
}

void Ecrire(const QJsonObject &objet)
{
    const QByteArray octets = QJsonDocument(objet).toJson(QJsonDocument::Compact);
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
    std::fputc('\n', stdout);
}

}
