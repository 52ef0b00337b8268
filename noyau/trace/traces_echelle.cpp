#include "trace/traces_echelle.h"
#include "algorithms/espace.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "trace/bornes_trace.h"
#include "trace/document_trace.h"
#include "trace/image.h"
#include "trace/traces_evaluation.h"

#include <cmath>

namespace Trace {

namespace {

QString F(long double x)
{
    return Nombres::Formater(x);
}

QString entete(const QString &texte)
{
    return QStringLiteral("<td><center><b>&nbsp;") + texte + QStringLiteral("&nbsp;</b></center></td>");
}

// Tableau : une ligne par instant, colonnes c_t et log10 c_t (si `facteurs`), puis une colonne
// par état pour chaque variable donnée.
struct Colonne {
    QString lettre;
    std::function<QString(int t, int i)> valeur;
};

QString tableau(const ParametresModele &p, const EspaceTravail &e, bool facteurs, const QList<Colonne> &colonnes)
{
    QString s = BaliseTableau + CelluleCoin;
    if (facteurs)
        s += entete(QStringLiteral("c<sub>t</sub>")) + entete(QStringLiteral("log<sub>10</sub> c<sub>t</sub>"));
    for (const Colonne &c : colonnes)
        for (int i = 1; i <= p.N; ++i)
            s += entete(c.lettre + QStringLiteral("<sub>t</sub>(") + Nom(p.NomEtat(i)) + QLatin1Char(')'));
    s += QStringLiteral("</tr>");
    const int T = e.LongueurSequence;
    const int cases = 1 + (facteurs ? 2 : 0) + int(colonnes.size()) * p.N;
    for (int t = 1; t <= T; ++t) {
        // Longue séquence : le début et la fin, le milieu résumé en une ligne.
        if (!InstantMontre(t, T)) {
            if (t == PremierOmis(T))
                s += LigneInstantsOmis(cases, NombreOmis(T));
            continue;
        }
        s += EnteteLigne(QStringLiteral("t=") + QString::number(t));
        if (facteurs)
            s += CelluleValeur(F(e.FacteursEchelle[t])) + CelluleValeur(F(std::log10(e.FacteursEchelle[t])));
        for (const Colonne &c : colonnes)
            for (int i = 1; i <= p.N; ++i)
                s += CelluleValeur(c.valeur(t, i));
        s += QStringLiteral("</tr>");
    }
    return s + QStringLiteral("</table>");
}

QString resultatEvaluation(const ParametresModele &p, const EspaceTravail &e, bool arriere)
{
    long double somme = 0; // -Σ log10 c_t, somme directe pour la lecture
    for (int t = 1; t <= e.LongueurSequence; ++t)
        somme -= std::log10(e.FacteursEchelle[t]);
    QString s = QStringLiteral("log<sub>10</sub> P(O|&#955;) = &#8722; &#931;<sub>t=1..") +
                QString::number(e.LongueurSequence) + QStringLiteral("</sub> log<sub>10</sub> c<sub>t</sub>");
    if (arriere) {
        long double r = 0;
        for (int i = 1; i <= p.N; ++i)
            r += p.PI[i] * p.B[i][e.Observations[1]] * e.Beta[1][i];
        s += QStringLiteral(" + log<sub>10</sub> [ &#931;<sub>i</sub> &#960;<sub>i</sub> &middot; b<sub>i</sub>(o<sub>1</sub>) "
                            "&middot; &#946;&#770;<sub>1</sub>(i) ]") +
             P11 + F(somme) + QStringLiteral(" + log<sub>10</sub> ") + F(r);
    } else {
        s += P11 + F(somme);
    }
    s += P11B + F(e.ProbabiliteEchelle.Log10()) + QStringLiteral("</b><BR><BR>P(O|&#955;) = 10<sup>") +
         F(e.ProbabiliteEchelle.Log10()) + QStringLiteral("</sup> = <b>") +
         FormaterExposant(e.ProbabiliteEchelle.Texte()) + QStringLiteral("</b>.");
    return s;
}

QString resultatViterbi(const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const int qT = e.CheminViterbi[T];
    QString s = QStringLiteral("ln P<sub>max</sub> = Max<sub>i</sub> ln &#948;<sub>") + QString::number(T) +
                QStringLiteral("</sub>(i) = ln &#948;<sub>") + QString::number(T) + QStringLiteral("</sub>(") +
                Nom(p.NomEtat(qT)) + QStringLiteral(") = ") + F(e.Delta[T][qT]) + QStringLiteral("<BR>log<sub>10</sub> P<sub>max</sub> = ") +
                F(e.ProbabiliteEchelle.Log10()) + QStringLiteral("<BR>P<sub>max</sub> = <b>") +
                FormaterExposant(e.ProbabiliteEchelle.Texte()) + QStringLiteral("</b>.<BR><BR>");
    s += QStringLiteral("En remontant les &#936; depuis q<sub>") + QString::number(T) + QStringLiteral("</sub> = ") +
         Nom(p.NomEtat(qT)) + QStringLiteral(", le chemin de <i>Viterbi</i> :<BR><b>START");
    for (int t = 1; t <= T; ++t)
        s += QStringLiteral(" - ") + Nom(p.NomEtat(e.CheminViterbi[t]));
    return s + QStringLiteral("</b>");
}

}

QString DocumentEchelle(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e,
                        const QImage *imageModele)
{
    const QString modele = CheminModele(ModeleEchelle);
    QString document = LireFichier(modele);
    const bool viterbi = algorithme == AlgorithmeViterbi, arriere = algorithme == AlgorithmeBackward;
    QString observations, nom, valeurs, resultat;
    try {
        observations = TexteObservations(p, e);
        if (viterbi) {
            nom = QStringLiteral("Viterbi (&#948; ramen&eacute;s par puissances de deux)");
            valeurs = tableau(p, e, false,
                              {{QStringLiteral("ln &#948;"), [&](int t, int i) { return F(e.Delta[t][i]); }},
                               {QStringLiteral("&#936;"), [&](int t, int i) {
                                    return t == 1 ? QStringLiteral("START") : Nom(p.NomEtat(e.Psi[t][i]));
                                }}});
            resultat = resultatViterbi(p, e);
            valeurs = CaseDeveloppeeEchelle(algorithme, p, e) + valeurs;
        } else {
            nom = arriere ? QStringLiteral("Backward (&#946;&#770; avec les c<sub>t</sub> du Forward)")
                          : QStringLiteral("Forward (&#945;&#772; et c<sub>t</sub>)");
            QList<Colonne> c = {{QStringLiteral("&#945;&#772;"), [&](int t, int i) { return F(e.Alpha[t][i]); }}};
            if (arriere)
                c.append({QStringLiteral("&#946;&#770;"), [&](int t, int i) { return F(e.Beta[t][i]); }});
            valeurs = tableau(p, e, true, c);
            resultat = resultatEvaluation(p, e, arriere);
            valeurs = CaseDeveloppeeEchelle(algorithme, p, e) + valeurs;
        }
    } catch (const EHorsBornes &) {
        throw ETrace(QStringLiteral("Les résultats du calcul « %1 » ne sont plus disponibles : "
                                    "relancez le calcul pour voir sa trace.")
                         .arg(algorithme));
    }
    RemplirMarqueurOuEchouer(document, observations, modele);
    RemplirMarqueurOuEchouer(document, nom, modele);
    if (imageModele)
        ExporterImageModele(*imageModele);
    RemplirMarqueurOuEchouer(document, FragmentImage, modele);
    EcrireTablesModele(document, p, false, modele);
    RemplirMarqueurOuEchouer(document, valeurs, modele);
    RemplirMarqueurOuEchouer(document, resultat, modele);
    return document;
}

QString ExplicationEchelle()
{
    const QString debut = QStringLiteral("<!-- explication -->"), fin = QStringLiteral("<!-- fin de l'explication -->");
    const QString modele = LireFichier(CheminModele(ModeleEchelle));
    QString s;
    qsizetype i = 0;
    for (;;) {
        const qsizetype a = modele.indexOf(debut, i);
        if (a < 0)
            break;
        const qsizetype b = modele.indexOf(fin, a);
        if (b < 0)
            break;
        s += modele.mid(a + debut.size(), b - a - debut.size());
        i = b + fin.size();
    }
    if (s.isEmpty())
        throw ETrace(QStringLiteral("Le modèle de trace « %1 » ne contient pas l'explication de la mise à l'échelle.")
                         .arg(ModeleEchelle));
    return s;
}

QString CaseDeveloppeeEchelle(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence, N = p.N;
    const auto nom = [&](int i) { return Nom(p.NomEtat(i)); };
    const auto symbole = [&](int t) { return Nom(Symbole(p, e.Observations[t])); };
    const auto sub = [](const QString &x) { return QStringLiteral("<sub>") + x + QStringLiteral("</sub>"); };
    const QString alphaB = QStringLiteral("&#945;&#772;"), alphaT = QStringLiteral("&#945;&#771;"),
                  betaC = QStringLiteral("&#946;&#770;");
    const QString b1 = QStringLiteral("b") + sub(nom(1));
    QString s = QStringLiteral("<i>Une case d&eacute;velopp&eacute;e :</i> ");
    if (algorithme == AlgorithmeViterbi) {
        const auto ln = [](long double x) { return F(std::log(x)); };
        if (T == 1) {
            s += QStringLiteral("ln &#948;") + sub(QStringLiteral("1")) + QLatin1Char('(') + nom(1) +
                 QStringLiteral(") = ln &#960;") + sub(nom(1)) + QStringLiteral(" + ln ") + b1 + QLatin1Char('(') +
                 symbole(1) + QStringLiteral(") = ") + ln(p.PI[1]) + QStringLiteral(" + ") +
                 ln(p.B[1][e.Observations[1]]) + QStringLiteral(" = ") + F(e.Delta[1][1]);
        } else {
            s += QStringLiteral("ln &#948;") + sub(QStringLiteral("2")) + QLatin1Char('(') + nom(1) +
                 QStringLiteral(") = max") + sub(QStringLiteral("i")) + QStringLiteral(" [ ln &#948;") +
                 sub(QStringLiteral("1")) + QStringLiteral("(i) + ln a") + sub(QStringLiteral("i,") + nom(1)) +
                 QStringLiteral(" ] + ln ") + b1 + QLatin1Char('(') + symbole(2) + QStringLiteral(")") + P11 +
                 QStringLiteral("max(");
            for (int i = 1; i <= N; ++i)
                s += (i > 1 ? QStringLiteral(" ; ") : QString()) + F(e.Delta[1][i]) + QStringLiteral(" + ") +
                     ln(p.A[i][1]);
            s += QStringLiteral(") + ") + ln(p.B[1][e.Observations[2]]) + P11 + F(e.Delta[2][1]);
        }
    } else if (algorithme == AlgorithmeBackward) {
        if (T == 1) {
            s += betaC + sub(QStringLiteral("1")) + QLatin1Char('(') + nom(1) + QStringLiteral(") = c") +
                 sub(QStringLiteral("1")) + QStringLiteral(" = ") + F(e.Beta[1][1]);
        } else {
            const int t = T - 1;
            const QString tt = QString::number(t), tT = QString::number(T);
            s += betaC + sub(tt) + QLatin1Char('(') + nom(1) + QStringLiteral(") = c") + sub(tt) +
                 QStringLiteral(" &middot; &#931;") + sub(QStringLiteral("j")) + QStringLiteral(" a") +
                 sub(nom(1) + QStringLiteral(",j")) + QStringLiteral(" &middot; b") + sub(QStringLiteral("j")) +
                 QLatin1Char('(') + symbole(T) + QStringLiteral(") &middot; ") + betaC + sub(tT) +
                 QStringLiteral("(j)") + P11 + F(e.FacteursEchelle[t]) + QStringLiteral(" &middot; [");
            for (int j = 1; j <= N; ++j)
                s += (j > 1 ? QStringLiteral(" + ") : QString()) + F(p.A[1][j]) + QStringLiteral(" &middot; ") +
                     F(p.B[j][e.Observations[T]]) + QStringLiteral(" &middot; ") + F(e.Beta[T][j]);
            s += QStringLiteral("]") + P11 + F(e.Beta[t][1]);
        }
    } else {
        if (T == 1) {
            s += alphaB + sub(QStringLiteral("1")) + QLatin1Char('(') + nom(1) + QStringLiteral(") = c") +
                 sub(QStringLiteral("1")) + QStringLiteral(" &middot; &#960;") + sub(nom(1)) +
                 QStringLiteral(" &middot; ") + b1 + QLatin1Char('(') + symbole(1) + QStringLiteral(") = ") +
                 F(e.FacteursEchelle[1]) + QStringLiteral(" &middot; ") + F(p.PI[1]) + QStringLiteral(" &middot; ") +
                 F(p.B[1][e.Observations[1]]) + QStringLiteral(" = ") + F(e.Alpha[1][1]);
        } else {
            long double somme = 0;
            QString termes;
            for (int i = 1; i <= N; ++i) {
                somme += e.Alpha[1][i] * p.A[i][1];
                termes += (i > 1 ? QStringLiteral(" + ") : QString()) + F(e.Alpha[1][i]) +
                          QStringLiteral(" &middot; ") + F(p.A[i][1]);
            }
            const long double b = p.B[1][e.Observations[2]];
            s += alphaT + sub(QStringLiteral("2")) + QLatin1Char('(') + nom(1) + QStringLiteral(") = [ &#931;") +
                 sub(QStringLiteral("i")) + QLatin1Char(' ') + alphaB + sub(QStringLiteral("1")) +
                 QStringLiteral("(i) &middot; a") + sub(QStringLiteral("i,") + nom(1)) + QStringLiteral(" ] &middot; ") +
                 b1 + QLatin1Char('(') + symbole(2) + QLatin1Char(')') + P11 + QStringLiteral("[") + termes +
                 QStringLiteral("] &middot; ") + F(b) + QStringLiteral(" = ") + F(somme * b) + QStringLiteral("<BR>") +
                 alphaB + sub(QStringLiteral("2")) + QLatin1Char('(') + nom(1) + QStringLiteral(") = c") +
                 sub(QStringLiteral("2")) + QStringLiteral(" &middot; ") + alphaT + sub(QStringLiteral("2")) +
                 QLatin1Char('(') + nom(1) + QStringLiteral(") = ") + F(e.FacteursEchelle[2]) +
                 QStringLiteral(" &middot; ") + F(somme * b) + QStringLiteral(" = ") + F(e.Alpha[2][1]);
        }
    }
    return s + QStringLiteral("<BR><BR>");
}

}
