// Textes de probabilités et calculs : les jetons de l'entrée sont lus comme des probabilités
// (la conversion du texte formaté est stable), remplissent π, A et B d'un modèle de 1 à 4
// états et 1 à 4 symboles ; la dernière ligne est découpée en séquence, puis Forward,
// Backward et Viterbi tournent dessus.
#include "commun_fuzz.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/parametres.h"

#include <QStringList>
#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::Initialiser(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    if (taille < 2)
        return 0;
    const int n = 1 + donnees[0] % 4, m = 1 + donnees[1] % 4;
    const bool parMot = donnees[0] & 0x80;
    const QString texte = QString::fromLatin1(reinterpret_cast<const char *>(donnees + 2), qsizetype(taille - 2));
    QStringList lignes = texte.split(QLatin1Char('\n'));
    const QString sequence = lignes.takeLast().left(4000);

    // Conversions : un texte accepté, formaté puis relu, redonne le même texte formaté.
    QList<long double> valeurs;
    for (const QString &jeton : lignes.join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const long double x = Nombres::VersExtended(jeton, &ok);
        if (!ok || !std::isfinite(x))
            continue;
        for (int chiffres : {15, 17}) {
            const QString f = Nombres::Formater(x, chiffres);
            bool relu = false;
            const long double y = Nombres::VersExtended(f, &relu);
            if (!relu || Nombres::Formater(y, chiffres) != f)
                Fuzz::Echec(QStringLiteral("« %1 » formaté en « %2 » ne se relit pas").arg(jeton, f));
        }
        valeurs << std::fabs(x) - std::floor(std::fabs(x));
    }

    ParametresModele p;
    p.N = n;
    p.M = m;
    p.Dimensionner(n, m);
    for (int k = 1; k <= m; ++k)
        p.Symboles[k] = parMot ? QStringLiteral("s%1").arg(k) : QString(QChar(u'a' + k - 1));
    for (int i = 1; i <= n; ++i)
        p.Noms[i] = QStringLiteral("E%1").arg(i);
    qsizetype v = 0;
    auto suivante = [&] { return valeurs.isEmpty() ? 0.5L : valeurs[v++ % valeurs.size()]; };
    for (int i = 1; i <= n; ++i) {
        p.PI[i] = suivante();
        for (int j = 1; j <= n; ++j)
            p.A[i][j] = suivante();
        for (int k = 1; k <= m; ++k)
            p.B[i][k] = suivante();
    }

    EspaceTravail e;
    e.SequenceObservations = sequence;
    e.DecoupageCaractere = !parMot;
    try {
        DecouperSequence(p, e);
    } catch (const ERefusCalcul &) {
        return 0; // séquence sans observation : refus annoncé
    }
    CalculerForward(p, e);
    const long double avant = e.Probabilite;
    CalculerBackward(p, e);
    const long double arriere = e.Probabilite;
    CalculerViterbi(p, e);
    const long double viterbi = e.Probabilite;
    if (std::isnan(avant) || std::isnan(arriere) || std::isnan(viterbi))
        Fuzz::Echec(QStringLiteral("probabilité NaN"));
    // Toutes les valeurs sont dans [0, 1[ : le meilleur chemin ne dépasse pas la somme des chemins.
    if (avant > 1e-4000L && viterbi > avant * (1 + 1e-9L))
        Fuzz::Echec(QStringLiteral("Viterbi %1 > Forward %2").arg(Nombres::Formater(viterbi), Nombres::Formater(avant)));
    return 0;
}
