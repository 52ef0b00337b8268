// Les écrivains des traces d'évaluation : lisent l'espace de travail et λ, ne les changent pas.
#include "trace/traces_evaluation.h"
#include "graph/nombres.h"
#include "trace/bornes_trace.h"
#include "trace/document_trace.h"
#include "trace/image.h"
#include "trace/traces_echelle.h"
#include "trace/traces_entrainement.h"
#include "trace/treillis.h"

#include <algorithm>
#include <functional>

namespace Trace {

namespace {

const QString Br = QStringLiteral("<BR>");

QString N(int n)
{
    return QString::number(n);
}

QString F(long double x)
{
    return Nombres::Formater(x);
}

QString nomEtat(const ParametresModele &p, int i)
{
    return Nom(p.NomEtat(i));
}

// En-tête "<lettre><sub>t</sub>(nom)" de chaque état, puis une ligne par instant dans l'ordre
// donné ; le "</table>" est laissé à l'appelant.
QString tableauTemps(const ParametresModele &p, const EspaceTravail &e, const QString &lettre, bool decroissant,
                     const std::function<QString(int t, int i)> &valeur)
{
    QString s = BaliseTableau + CelluleCoin;
    for (int i = 1; i <= p.N; ++i)
        s += QStringLiteral("<td><center><b>&nbsp;") + lettre + QStringLiteral("<sub>t</sub>(") + nomEtat(p, i) +
             QStringLiteral(")&nbsp;</b></center></td>");
    s += QStringLiteral("</tr>");
    const int T = e.LongueurSequence;
    for (int k = 1; k <= T; ++k) {
        // Longue séquence : le début et la fin, le milieu résumé en une ligne.
        if (!InstantMontre(k, T)) {
            if (k == PremierOmis(T))
                s += LigneInstantsOmis(p.N + 1, NombreOmis(T));
            continue;
        }
        const int t = decroissant ? T + 1 - k : k;
        s += EnteteLigne(QStringLiteral("t=") + N(t));
        for (int i = 1; i <= p.N; ++i)
            s += CelluleValeur(valeur(t, i));
        s += QStringLiteral("</tr>");
    }
    return s;
}

// Avant un tableau des temps, une case développée avec ses nombres, comme dans le treillis :
// la première induction (t = 2, ou T - 1 pour β), pour le premier état.
QString caseDeveloppee(const ParametresModele &p, const EspaceTravail &e, Treillis::Valeurs v)
{
    const int T = e.LongueurSequence;
    const int t = v == Treillis::Valeurs::Beta ? std::max(1, T - 1) : std::min(2, T);
    return QStringLiteral("<i>Une case d&eacute;velopp&eacute;e :</i> ") +
           Treillis::FormuleHtml(Treillis::Copier(p, e, v), t, 1) + Br + Br;
}

// Le nom de l'état q(t) du chemin de Viterbi (q(0) = START).
QString q(const ParametresModele &p, const EspaceTravail &e, int t)
{
    return nomEtat(p, e.CheminViterbi[t]);
}

// Chaque trace d'évaluation : son algorithme, son modèle de trace et ses fragments propres.
struct TraceEvaluation {
    QString algorithme, modele;
    QStringList (*fragments)(const ParametresModele &, const EspaceTravail &);
};

// La trace choisie par `algorithme` ; nul quand ce n'est pas une évaluation.
const TraceEvaluation *traceDe(const QString &algorithme)
{
    static const TraceEvaluation traces[] = {
        {AlgorithmeDirect, QStringLiteral("A_directe.htm"), FragmentsDirecte},
        {AlgorithmeForward, QStringLiteral("Forward.htm"), FragmentsForward},
        {AlgorithmeBackward, QStringLiteral("Backward.htm"), FragmentsBackward},
        {AlgorithmeViterbi, QStringLiteral("Viterbi.htm"), FragmentsViterbi},
    };
    for (const TraceEvaluation &t : traces)
        if (t.algorithme == algorithme)
            return &t;
    return nullptr;
}

void generer(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    // Un calcul mis à l'échelle a sa propre trace (facteurs c_t, logarithmes).
    if (e.MisALEchelle && algorithme != AlgorithmeDirect) {
        EcrireFichier(CheminDocument(), DocumentEchelle(algorithme, p, e, imageModele));
        return;
    }
    EcrireFichier(CheminDocument(), DocumentEvaluation(algorithme, p, e, imageModele));
}

}

QString TableauAlpha(const ParametresModele &p, const EspaceTravail &e)
{
    return tableauTemps(p, e, QStringLiteral("&#945;"), false, [&](int t, int i) { return F(e.Alpha[t][i]); });
}

QString TableauBeta(const ParametresModele &p, const EspaceTravail &e)
{
    return tableauTemps(p, e, QStringLiteral("&#946;"), true, [&](int t, int i) { return F(e.Beta[t][i]); });
}

QString TableauDelta(const ParametresModele &p, const EspaceTravail &e)
{
    return tableauTemps(p, e, QStringLiteral("&#948;"), false, [&](int t, int i) { return F(e.Delta[t][i]); });
}

QString TableauPsi(const ParametresModele &p, const EspaceTravail &e)
{
    return tableauTemps(p, e, QStringLiteral("&#968;"), false, [&](int t, int i) {
        return t == 1 ? QStringLiteral("START") : nomEtat(p, e.Psi[t][i]);
    });
}

QStringList FragmentsDirecte(const ParametresModele &, const EspaceTravail &e)
{
    const TableDesChemins &c = e.TableChemins;
    const long long K = std::min<long long>(e.NombreCheminsNonNuls, c.Lignes());
    const int T = e.LongueurSequence;
    const auto Kt = [](long long k) { return QString::number(k); };

    QString chemins = QStringLiteral("<ul>");
    for (long long k = 1; k <= K; ++k) {
        chemins += QStringLiteral("<li>C<sub>") + Kt(k) + QStringLiteral("</sub>={") + Nom(c.Texte(k, 1));
        for (int t = 2; t <= T; ++t)
            chemins += QStringLiteral(", ") + Nom(c.Texte(k, t));
        chemins += QStringLiteral("}</li>");
    }
    chemins += QStringLiteral("</ul>");

    QString probabilites = QStringLiteral("<ul>");
    for (long long k = 1; k <= K; ++k)
        probabilites += QStringLiteral("<li>P(O,C<sub>") + Kt(k) + QStringLiteral("</sub>|&#955;)=") +
                        c.Texte(k, T + 1) + QStringLiteral("</li>");
    probabilites += QStringLiteral("</ul>");

    QString somme = QStringLiteral("P(O|&#955;)=&nbsp;P(O,C<sub>1</sub>|&#955;)");
    for (long long k = 2; k <= K; ++k)
        somme += QStringLiteral("+P(O,C<sub>") + Kt(k) + QStringLiteral("</sub>|&#955;)");
    somme += P11;
    if (K >= 1)
        somme += c.Texte(1, T + 1);
    for (long long k = 2; k <= K; ++k)
        somme += QLatin1Char('+') + c.Texte(k, T + 1);
    somme += P11B + F(e.Probabilite) + QStringLiteral("</b>.");

    return {QString::number(e.NombreCheminsNonNuls), chemins, probabilites, somme};
}

QStringList FragmentsForward(const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const QString alphaT = QStringLiteral("&#945;<sub>") + N(T) + QStringLiteral("</sub>(");
    QString s = QStringLiteral("P(O|&#955;)=&nbsp;") + alphaT + nomEtat(p, 1) + QLatin1Char(')');
    for (int i = 2; i <= p.N; ++i)
        s += QLatin1Char('+') + alphaT + nomEtat(p, i) + QLatin1Char(')');
    s += P11 + F(e.Alpha[T][1]);
    for (int i = 2; i <= p.N; ++i)
        s += QLatin1Char('+') + F(e.Alpha[T][i]);
    s += P11B + F(e.Probabilite) + QStringLiteral("</b>.");
    return {caseDeveloppee(p, e, Treillis::Valeurs::Alpha) + TableauAlpha(p, e) + QStringLiteral("</table>") + Br, s};
}

QStringList FragmentsBackward(const ParametresModele &p, const EspaceTravail &e)
{
    const int o1 = e.Observations[1];
    const QString symbole = Nom(Symbole(p, o1));
    QString s;
    for (int i = 1; i <= p.N; ++i) {
        const QString n = nomEtat(p, i);
        s += (i == 1 ? QStringLiteral("P(O|&#955;)=&nbsp;") : QStringLiteral("+")) + QStringLiteral("&#960;<sub>") +
             n + QStringLiteral("</sub>·&#946;<sub>1</sub>(") + n + QStringLiteral(")·b<sub>") + n +
             QStringLiteral("</sub>(") + symbole + QLatin1Char(')');
    }
    s += P11;
    for (int i = 1; i <= p.N; ++i)
        s += (i == 1 ? QString() : QStringLiteral("+")) + F(p.PI[i]) + QStringLiteral(" × ") + F(e.Beta[1][i]) +
             QStringLiteral(" × ") + F(p.B[i][o1]);
    s += P11;
    for (int i = 1; i <= p.N; ++i) {
        // (π × β) × b, en précision étendue.
        const long double produit = (p.PI[i] * e.Beta[1][i]) * p.B[i][o1];
        s += (i == 1 ? QString() : QStringLiteral("+")) + F(produit);
    }
    s += P11B + F(e.Probabilite) + QStringLiteral("</b>.");
    return {caseDeveloppee(p, e, Treillis::Valeurs::Beta) + TableauBeta(p, e) + QStringLiteral("</table>") + Br, s};
}

QStringList FragmentsViterbi(const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const QString tT = N(T);

    const QString tableaux = caseDeveloppee(p, e, Treillis::Valeurs::Delta) + BaliseDisposition +
                             QStringLiteral("<tr><td><i>Les &#948;<sub>i</sub> :</i><BR>") +
                             TableauDelta(p, e) +
                             QStringLiteral("</table></td><td>&nbsp;</td><td><i>Les &#968;<sub>i</sub> :</i><BR>") +
                             TableauPsi(p, e) + QStringLiteral("</table></td></tr></table><BR>");

    const QString deltaT = QStringLiteral("&#948;<sub>") + tT + QStringLiteral("</sub>(");
    QString listeDelta = deltaT + nomEtat(p, 1) + QLatin1Char(')');
    for (int i = 2; i <= p.N; ++i)
        listeDelta += QStringLiteral(" ; ") + deltaT + nomEtat(p, i) + QLatin1Char(')');
    QString valeurs = F(e.Delta[T][1]);
    for (int i = 2; i <= p.N; ++i)
        valeurs += QStringLiteral(" ; ") + F(e.Delta[T][i]);
    const QString qT = q(p, e, T);

    QString fin = QStringLiteral("P<sub>max</sub>=&nbsp;Max{ ") + listeDelta;
    fin += QStringLiteral(" }<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;Max{ ") + valeurs;
    fin += QStringLiteral(" }<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;<b>") + F(e.Probabilite) +
           QStringLiteral("</b>.<BR><BR>");
    fin += QStringLiteral("q<sub>") + tT + QStringLiteral("</sub>=&nbsp;ArgMax{ ") + listeDelta;
    fin += QStringLiteral(" }<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;<b>") + qT +
           QStringLiteral("</b>.<BR>");

    const QString etatFinal = QStringLiteral("<b>q<sub>") + tT + QStringLiteral("</sub>=&nbsp;") + qT +
                              QStringLiteral("</b>");

    QString retour = QStringLiteral("<ul><li>q<sub>") + tT + QStringLiteral("</sub> = ") + qT + QStringLiteral(".</li>");
    for (int t = T - 1; t >= 0; --t) {
        if (!InstantMontre(T - t, T + 1)) {
            if (T - t == PremierOmis(T + 1))
                retour += QStringLiteral("<li><i>&hellip; %1 étapes omises &hellip;</i></li>").arg(NombreOmis(T + 1));
            continue;
        }
        retour += QStringLiteral("<li>q<sub>") + N(t) + QStringLiteral("</sub> = &#968;<sub>") + N(t + 1) +
                  QStringLiteral("</sub>(") + q(p, e, t + 1) + QStringLiteral(") = ") + q(p, e, t) +
                  QStringLiteral(".</li>");
    }
    retour += QStringLiteral("</ul><BR><BR>D'où le chemin de <i>Viterbi</i> :<BR><BR>");
    retour += QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;C<sub>viterbi</sub> =&nbsp;");
    for (int t = 0; t <= T; ++t) {
        if (!InstantMontre(t + 1, T + 1)) {
            if (t + 1 == PremierOmis(T + 1))
                retour += QStringLiteral("&hellip;");
            continue;
        }
        retour += QStringLiteral("q<sub>") + N(t) + QStringLiteral("</sub>");
    }
    retour += QStringLiteral("<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                             "&nbsp;&nbsp;&nbsp;=&nbsp;<b>START</b>");
    for (int t = 1; t <= T; ++t) {
        if (!InstantMontre(t + 1, T + 1)) {
            if (t + 1 == PremierOmis(T + 1))
                retour += QStringLiteral(" - &hellip; (%1 états omis)").arg(NombreOmis(T + 1));
            continue;
        }
        retour += QStringLiteral(" - <b>") + q(p, e, t) + QStringLiteral("</b>");
    }

    return {tableaux, fin, etatFinal, retour};
}

QString DocumentEvaluation(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e,
                           const QImage *imageModele)
{
    const TraceEvaluation *trace = traceDe(algorithme);
    if (!trace)
        throw ETrace(QStringLiteral("Aucune trace d'évaluation ne correspond à « %1 ».").arg(algorithme));
    const QString modele = CheminModele(trace->modele);
    QString document = LireFichier(modele);

    // Les fragments sont tous calculés avant toute écriture : une erreur n'écrit rien.
    QStringList fragments;
    QString observations;
    try {
        observations = TexteObservations(p, e);
        fragments = trace->fragments(p, e);
    } catch (const EHorsBornes &) {
        // Tables absentes ou d'une autre taille que la séquence : jamais de lecture hors bornes.
        throw ETrace(QStringLiteral("Les résultats du calcul « %1 » ne sont plus disponibles : "
                                    "relancez le calcul pour voir sa trace.")
                         .arg(algorithme));
    }

    RemplirMarqueurOuEchouer(document, observations, modele);
    if (imageModele)
        ExporterImageModele(*imageModele);
    RemplirMarqueurOuEchouer(document, FragmentImage, modele);
    EcrireTablesModele(document, p, false, modele);
    for (const QString &f : fragments)
        RemplirMarqueurOuEchouer(document, f, modele);
    return document;
}

void GenererTraceDirecte(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    generer(AlgorithmeDirect, p, e, imageModele);
}

void GenererTraceForward(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    generer(AlgorithmeForward, p, e, imageModele);
}

void GenererTraceBackward(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    generer(AlgorithmeBackward, p, e, imageModele);
}

void GenererTraceViterbi(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    generer(AlgorithmeViterbi, p, e, imageModele);
}

void InstantaneTrace::Prendre(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e)
{
    Algorithme = algorithme;
    // Les entraînements écrivent leur trace pendant le calcul : rien à garder pour eux.
    if (!traceDe(algorithme)) {
        Parametres = ParametresModele();
        Espace = EspaceTravail();
        return;
    }
    Parametres = p;
    Espace = e;
}

bool ProduireTrace(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele)
{
    if (traceDe(algorithme)) {
        generer(algorithme, p, e, imageModele);
        return true;
    }
    if (algorithme == AlgorithmeBaumWelch || algorithme == AlgorithmeAppViterbi) {
        CompleterTraceEntrainement();
        return true;
    }
    return false;
}

}
