#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "model/parametres.h"

#include <QStringList>
#include <vector>

QString CiterSequence(const QString &texte, bool parMot)
{
    if (!parMot) {
        if (texte.size() <= LimiteCitation)
            return texte;
        // Une paire de substitution n'est pas coupée en deux.
        qsizetype fin = LimiteCitation;
        if (texte.at(fin - 1).isHighSurrogate())
            --fin;
        return texte.left(fin) + QStringLiteral("… (%1 symboles)").arg(texte.size());
    }
    // Mot par mot : les mots sont séparés par des espaces (code 32), comme au découpage.
    qsizetype mots = 0, finCitation = -1, pos = 0;
    const qsizetype n = texte.size();
    while (pos < n) {
        while (pos < n && texte.at(pos) == QLatin1Char(' '))
            ++pos;
        if (pos == n)
            break;
        while (pos < n && texte.at(pos) != QLatin1Char(' '))
            ++pos;
        if (++mots == LimiteCitation)
            finCitation = pos;
    }
    if (mots <= LimiteCitation)
        return texte;
    return texte.left(finCitation) + QStringLiteral("… (%1 symboles)").arg(mots);
}

namespace {
// Le morceau t (1..T) de la séquence, découpée comme pour le calcul.
QString morceau(const EspaceTravail &e, int t)
{
    if (e.DecoupageCaractere)
        return e.SequenceObservations.mid(t - 1, 1);
    return e.SequenceObservations.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(t - 1);
}
}

QString CauseNonGeneration(const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    for (int t = 1; t <= T; ++t)
        if (e.Observations[t] <= 0)
            return QStringLiteral("\nLe symbole « %1 » (instant %2) n'est émis par aucun état du modèle.")
                .arg(morceau(e, t))
                .arg(t);
    // États atteints avec une probabilité non nulle, instant après instant.
    std::vector<char> atteint(std::size_t(p.N) + 1, 0), suivant(atteint.size(), 0);
    for (int t = 1; t <= T; ++t) {
        const int o = e.Observations[t];
        bool unAuMoins = false;
        for (int j = 1; j <= p.N; ++j) {
            bool arrive = false;
            if (t == 1)
                arrive = p.PI[j] > 0;
            else
                for (int i = 1; i <= p.N && !arrive; ++i)
                    arrive = atteint[std::size_t(i)] && p.A[i][j] > 0;
            suivant[std::size_t(j)] = arrive && p.B[j][o] > 0;
            unAuMoins = unAuMoins || suivant[std::size_t(j)];
        }
        if (!unAuMoins)
            return t == 1 ? QStringLiteral("\nAucun état de départ n'émet le premier symbole « %1 ».").arg(morceau(e, 1))
                          : QStringLiteral("\nÉtape impossible à l'instant %1 : aucun état atteint à l'instant %2 "
                                           "ne mène à un état qui émet « %3 ».")
                                .arg(t)
                                .arg(t - 1)
                                .arg(morceau(e, t));
        atteint.swap(suivant);
    }
    return QString();
}
