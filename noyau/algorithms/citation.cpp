#include "algorithms/citation.h"

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
