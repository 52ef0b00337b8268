// Les traces des entraînements : en-tête, journal des itérations, fin, consultation.
#include "trace/traces_entrainement.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "model/textes.h"
#include "trace/bornes_trace.h"
#include "trace/document_trace.h"
#include "trace/traces_echelle.h"

#include <QDir>
#include <functional>

namespace Trace {

namespace {

const QString ModeleBaumWelch = QStringLiteral("AppBaumWelch.htm");
const QString ModeleViterbi = QStringLiteral("AppViterbi.htm");

const QString PhraseNombreAtteint =
    QStringLiteral("Le nombre d'itération donnée est atteint, donc on arrête l'entraînement. <br>");
const QString PhraseSeuilAtteint = QStringLiteral(
    "La probabilité de génération de O est superieur ou égale du seuil donné, donc on arrête l'entraînement. <br>");
const QString PhraseStable = QStringLiteral("Le paramétrage du modèle est stable, donc on arrête l'entraînement. <br>");
const QString PhraseReiterer = QStringLiteral(
    "On n'a pas atteint la stabilité du paramétrage, ni le critère d'arrêt, donc on re-itère la procédure "
    "d'entraînement :<br>");
const QString PhraseReitererViterbi = QStringLiteral(
    "On n'a pas atteint la stabilité du paramétrage, donc on re-itère la procédure d'entraînement :<br>");
const QString FinIteration = QStringLiteral("<HR><br>");

bool modeIterations(const EspaceTravail &e)
{
    return e.Seuil == 2;
}

// Texte d'un nombre des itérations : Baum-Welch réécrit les exposants, Viterbi non.
using Format = std::function<QString(long double)>;

// P(O|H) d'un entraînement mis à l'échelle : mantisse et exposant décimal, hors de l'étendu.
// Plusieurs séquences : le produit des P(O_k|H), qui peut sortir de l'étendu lui aussi.
QString probabilite(const Format &F, const EspaceTravail &e)
{
    if (e.MisALEchelle)
        return FormaterExposant(e.ProbabiliteEchelle.Texte()) + QStringLiteral(" (mis à l'échelle)");
    if (e.PlusieursSequences())
        return FormaterExposant(e.ProbabiliteEchelle.Texte());
    return F(e.Probabilite);
}

// Au plus ce nombre de séquences sont citées une à une dans une trace.
constexpr int SequencesCitees = 50;

// Plusieurs séquences : les P(O_k|H) de chacune, puis leur produit, P(O|H) suivie par
// l'entraînement.
QStringList lignesProbabilitesFormation(const EspaceTravail &e)
{
    const int K = int(e.Formation.size());
    QStringList l;
    l << QStringLiteral("<i>Les probabilit&eacute;s des %1 s&eacute;quences :</i><BR>").arg(K) + BaliseTableau +
             CelluleCoin;
    const auto montree = [&](int k) { return k <= SequencesCitees / 2 || k > K - SequencesCitees / 2; };
    for (int k = 1; k <= K; ++k)
        if (montree(k))
            l << CelluleEtat(QStringLiteral("O<sub>%1</sub>").arg(k));
    l << QStringLiteral("</tr><tr><td><b>&nbsp;P(O<sub>k</sub>|H)&nbsp;</b></td>");
    for (int k = 1; k <= K; ++k)
        if (montree(k))
            l << CelluleValeur(FormaterExposant(TexteProbabiliteFormation(e, k)));
    l << QStringLiteral("</tr></table>");
    if (K > SequencesCitees)
        l << QStringLiteral("(%1 s&eacute;quences du milieu omises)<BR>").arg(K - SequencesCitees);
    l << QStringLiteral("P(O|H) est leur produit &#928;<sub>k=1..%1</sub> P(O<sub>k</sub>|H) :<br>").arg(K);
    return l;
}

// Plusieurs séquences : la liste qui prend la place de la séquence dans l'en-tête.
QString observationsFormation(const ParametresModele &p, const EspaceTravail &e)
{
    const int K = int(e.Formation.size());
    QString s = QStringLiteral("%1 s&eacute;quences de formation").arg(K);
    for (int k = 1; k <= K; ++k) {
        if (k > SequencesCitees) {
            s += QStringLiteral("<br>&hellip; (%1 autres s&eacute;quences)").arg(K - SequencesCitees);
            break;
        }
        EspaceTravail x;
        e.Formation.ChargerObservations(std::size_t(k - 1), x.Observations);
        x.LongueurSequence = e.Formation.Longueur(std::size_t(k - 1));
        s += QStringLiteral("<br>O<sub>%1</sub> = ").arg(k) + TexteObservations(p, x);
    }
    return s;
}

QString formatBaumWelch(long double x)
{
    return FormaterExposant(Nombres::Formater(x));
}

// Ajoute au journal un tableau de valeurs : en-tête des colonnes, puis une ligne par état.
// `colonnes` : N états ou M symboles ; `valeur(i, j)` le texte de la case.
void matrice(QStringList &l, const ParametresModele &p, bool symboles,
             const std::function<QString(int, int)> &valeur)
{
    const int colonnes = symboles ? p.M : p.N;
    l << CelluleCoin;
    for (int j = 1; j <= colonnes; ++j)
        l << (symboles ? CelluleSymbole(p.Symboles[j]) : CelluleEtat(p.NomEtat(j)));
    l << QStringLiteral("</tr>");
    for (int i = 1; i <= p.N; ++i) {
        l << EnteteLigne(Nom(p.NomEtat(i)));
        for (int j = 1; j <= colonnes; ++j)
            l << CelluleValeur(valeur(i, j));
        l << QStringLiteral("</tr>");
    }
}

// Un vecteur sur les états : `titre` (qui porte déjà BaliseTableau et le coin), les en-têtes,
// la ligne `libelle`, les valeurs.
void vecteur(QStringList &l, const ParametresModele &p, const QString &titre, const QString &libelle,
             const std::function<QString(int)> &valeur, const QString &fin)
{
    l << titre;
    for (int i = 1; i <= p.N; ++i)
        l << CelluleEtat(p.NomEtat(i));
    l << QStringLiteral("</tr><tr><td><b>&nbsp;") + libelle + QStringLiteral("&nbsp;</b></td>");
    for (int i = 1; i <= p.N; ++i)
        l << CelluleValeur(valeur(i));
    l << fin;
}

// Les libellés et les comptes qui distinguent les deux entraînements.
struct Comptes {
    QString depuis, transitions, etat, generation;
    std::function<QString(int)> valeurDepuis, valeurEtat;
    std::function<QString(int, int)> valeurTransitions, valeurGeneration;
};

// Plusieurs séquences : les titres des tableaux disent que ce sont des sommes sur les séquences.
void sommesSurSequences(Comptes &c, const EspaceTravail &e)
{
    if (!e.PlusieursSequences())
        return;
    const QString somme = QStringLiteral("<i>(somm&eacute;s sur les %1 s&eacute;quences)</i><BR>").arg(e.Formation.size());
    for (QString *t : {&c.depuis, &c.transitions, &c.etat, &c.generation})
        *t += somme;
}

// Les articles 2 à 14 du journal, communs aux deux entraînements.
void corpsIteration(QStringList &l, const ParametresModele &p, const Format &F, const Comptes &c)
{
    const QString Ns = QStringLiteral("N<sub>s</sub>");
    const QString dou = QStringLiteral("</table></td><td>&nbsp;</td><td>&nbsp;&nbsp;D'ou :&nbsp;&nbsp;</td><td width=40%>");
    const QString disposition = QStringLiteral("<BR>") + BaliseDisposition + QStringLiteral("<tr><td width=40%>");

    vecteur(l, p, QStringLiteral("<i>Le tableau &#960; :</i><BR>") + BaliseTableau + CelluleCoin,
            QStringLiteral("START"), [&](int i) { return F(p.PI[i]); }, QStringLiteral("</tr></table><br>"));

    l << QStringLiteral("La re-estimation des probabilités de transitions :<br>");
    l << disposition;
    vecteur(l, p, c.depuis + BaliseTableau + CelluleCoin, Ns, c.valeurDepuis, QStringLiteral("</tr></table>"));
    l << c.transitions + BaliseTableau;
    matrice(l, p, false, c.valeurTransitions);
    l << dou;
    l << QStringLiteral("<i>La matrice A :</i><BR>") + BaliseTableau;
    matrice(l, p, false, [&](int i, int j) { return F(p.A[i][j]); });
    l << QStringLiteral("</table></td></tr></table><BR>");

    l << QStringLiteral("La re-estimation des probabilités de générations :<br>");
    l << disposition;
    vecteur(l, p, c.etat + BaliseTableau + CelluleCoin, Ns, c.valeurEtat, QStringLiteral("</tr></table>"));
    l << c.generation + BaliseTableau;
    matrice(l, p, true, c.valeurGeneration);
    l << dou;
    l << QStringLiteral("<i>La matrice B :</i><BR>") + BaliseTableau;
    matrice(l, p, true, [&](int i, int k) { return F(p.B[i][k]); });
    l << QStringLiteral("</table></td></tr></table><BR>");
}

void ecrireJournal(const EspaceTravail &e)
{
    QString erreur;
    if (!Textes::EcrireLignes(CheminJournal(), e.JournalEntrainement, &erreur))
        throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : %2")
                         .arg(QDir::toNativeSeparators(CheminJournal()), erreur));
}

// " - <b>E1</b> - <b>E2</b>..." : les états du chemin Q[1..T], le milieu omis s'il est long.
QString cheminTexte(const ParametresModele &p, const VecteurVerifie<int> &Q, int T)
{
    QString s;
    for (int k = 1; k <= T; ++k) {
        if (!InstantMontre(k, T)) {
            if (k == PremierOmis(T))
                s += QStringLiteral(" - &hellip; (%1 états omis)").arg(NombreOmis(T));
            continue;
        }
        s += QStringLiteral(" - <b>") + Nom(p.NomEtat(Q[k])) + QStringLiteral("</b>");
    }
    return s;
}

// Ce qui suit les tableaux du modèle initial : comment les séquences se combinent (plusieurs
// séquences) et ce que calcule la mise à l'échelle (calcul mis à l'échelle). Vide sinon.
QString fragmentFormation(const ParametresModele &p, const EspaceTravail &e, bool baumWelch)
{
    QString s;
    if (e.PlusieursSequences()) {
        const QString K = QString::number(e.Formation.size());
        s += QStringLiteral("<h3>Plusieurs s&eacute;quences de formation (K = ") + K + QStringLiteral(")</h3><p>");
        if (baumWelch)
            s += QStringLiteral(
                "Pour chaque s&eacute;quence O<sub>k</sub>, Forward et Backward donnent ses propres &#945;, &#946; et "
                "P(O<sub>k</sub>|H) ; ses &#947;<sub>t</sub>(i) et &#958;<sub>t</sub>(i,j) sont divis&eacute;s par "
                "<b>sa</b> probabilit&eacute; P(O<sub>k</sub>|H). Les nombres d'esp&eacute;rances de chaque it&eacute;ration "
                "sont les <b>sommes sur les K s&eacute;quences</b> : a<sub>ij</sub> = &#931;<sub>k</sub> &#931;<sub>t</sub> "
                "&#958;<sup>k</sup><sub>t</sub>(i,j) / &#931;<sub>k</sub> &#931;<sub>t&lt;T<sub>k</sub></sub> "
                "&#947;<sup>k</sup><sub>t</sub>(i), b<sub>i</sub>(o) = &#931;<sub>k</sub> "
                "&#931;<sub>o<sub>t</sub>=o</sub> &#947;<sup>k</sup><sub>t</sub>(i) / &#931;<sub>k</sub> "
                "&#931;<sub>t</sub> &#947;<sup>k</sup><sub>t</sub>(i), et &#960;<sub>i</sub> est la moyenne des "
                "&#947;<sup>k</sup><sub>1</sub>(i) : &#960;<sub>i</sub> = (1/K) &#931;<sub>k</sub> "
                "&#947;<sup>k</sup><sub>1</sub>(i).");
        else
            s += QStringLiteral(
                "Chaque s&eacute;quence O<sub>k</sub> a son chemin de <i>Viterbi</i> ; les nombres N<sub>s</sub>, "
                "N<sub>s,s'</sub> et N<sub>s</sub><sup>o</sup> de chaque passe sont les <b>sommes des comptes des K "
                "chemins</b>, et &#960;<sub>i</sub> est la part des chemins qui partent de S<sub>i</sub>.");
        s += QStringLiteral(" La probabilit&eacute; suivie est le produit P(O|H) = &#928;<sub>k</sub> "
                            "P(O<sub>k</sub>|H) ; un seuil se compare &agrave; ce produit.</p>");
        if (!baumWelch) {
            s += QStringLiteral("<p>Les chemins de <i>Viterbi</i> des s&eacute;quences :</p><p>");
            const int K2 = int(e.Formation.size());
            VecteurVerifie<int> Q;
            for (int k = 1; k <= std::min(K2, SequencesCitees); ++k) {
                e.Formation.ChargerChemin(std::size_t(k - 1), Q);
                s += QStringLiteral("C<sub>viterbi</sub>(O<sub>%1</sub>) =&nbsp;<b>START</b>").arg(k) +
                     cheminTexte(p, Q, e.Formation.Longueur(std::size_t(k - 1))) + QStringLiteral("<br>");
            }
            if (K2 > SequencesCitees)
                s += QStringLiteral("&hellip; (%1 autres chemins)<br>").arg(K2 - SequencesCitees);
            s += QStringLiteral("</p>");
        }
    }
    if (e.MisALEchelle)
        s += QStringLiteral("<h3>Calcul mis &agrave; l'&eacute;chelle</h3><p>P(O|H) est trop petite pour &ecirc;tre "
                            "repr&eacute;sent&eacute;e en pr&eacute;cision &eacute;tendue : cet entra&icirc;nement "
                            "calcule chaque it&eacute;ration sous forme mise &agrave; l'&eacute;chelle. Les nombres "
                            "d'esp&eacute;rances, &#960;, A et B ci-dessous sont les m&ecirc;mes quantit&eacute;s que "
                            "dans le calcul direct ; seule P(O|H) s'&eacute;crit avec un exposant d&eacute;cimal.</p>") +
             ExplicationEchelle();
    return s;
}

// En-tête commun : "Trace.htm" vidé, puis observations, image, tableaux du modèle initial
// (suivis de `apresTables` dans le même marqueur).
QString debuter(const QString &nomModele, const ParametresModele &p, EspaceTravail &e, const QString &apresTables)
{
    e.JournalEntrainement.clear();
    EcrireFichier(CheminDocument(), QString());
    const QString modele = CheminModele(nomModele);
    QString document = LireFichier(modele);
    RemplirMarqueurOuEchouer(document, e.PlusieursSequences() ? observationsFormation(p, e) : TexteObservations(p, e),
                             modele);
    RemplirMarqueurOuEchouer(document, FragmentImage, modele);
    RemplirMarqueurOuEchouer(document, FragmentTablesModele(p, false) + apresTables +
                                                   fragmentFormation(p, e, nomModele == ModeleBaumWelch),
                             modele);
    return document;
}

void terminer(const QString &nomModele, const ParametresModele &p, bool avecExposants)
{
    QString document = LireFichier(CheminDocument());
    EcrireTablesModele(document, p, avecExposants, CheminModele(nomModele));
    EcrireFichier(CheminDocument(), document);
}

// Fin commune aux deux entraînements : journal écrit si `ecrire`, puis tableaux du modèle
// entraîné quand l'en-tête a réussi. Le premier échec est gardé dans `erreur`.
void conclure(Entrainement type, const ParametresModele &p, const EspaceTravail &e, bool ecrire, QString &erreur)
{
    try {
        if (ecrire)
            ecrireJournal(e);
        if (erreur.isEmpty())
            terminer(type == Entrainement::BaumWelch ? ModeleBaumWelch : ModeleViterbi, p,
                     type == Entrainement::BaumWelch);
    } catch (const ETrace &x) {
        if (erreur.isEmpty())
            erreur = x.Message();
    }
}

}

QString FragmentCritereArret(const EspaceTravail &e)
{
    if (modeIterations(e))
        return QStringLiteral("&nbsp;&nbsp;&nbsp;<b><i>Un nombre d'itérations égale à ") +
               QString::number(e.NombreIterations) + QStringLiteral(", jugé suffisamment important.</i></b><br>");
    return QStringLiteral("&nbsp;&nbsp;&nbsp;<b><i>La probabilité de générations soit superieur ou égale à un seuil "
                          "qui égale à ") +
           Nombres::Formater(e.Seuil) + QStringLiteral(".</i></b><br>");
}

QString FragmentCheminViterbi(const ParametresModele &p, const EspaceTravail &e)
{
    QString s = QStringLiteral("<BR><BR>Le chemin de <i>Viterbi</i> de la séquence d'observation O :<BR><BR>"
                               "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;C<sub>viterbi</sub> =&nbsp;<b>START</b>");
    const QStringList etats = EtatsCheminViterbi(p, e);
    const int T = int(etats.size());
    for (int k = 1; k <= T; ++k) {
        if (!InstantMontre(k, T)) {
            if (k == PremierOmis(T))
                s += QStringLiteral(" - &hellip; (%1 états omis)").arg(NombreOmis(T));
            continue;
        }
        s += QStringLiteral(" - <b>") + Nom(etats[k - 1]) + QStringLiteral("</b>");
    }
    return s + QStringLiteral("<br><br>");
}

void DebuterTraceBaumWelch(const ParametresModele &p, EspaceTravail &e)
{
    QString document = debuter(ModeleBaumWelch, p, e, QString());
    RemplirMarqueurOuEchouer(document, FragmentCritereArret(e), CheminModele(ModeleBaumWelch));
    EcrireFichier(CheminDocument(), document);
}

void DebuterTraceViterbi(const ParametresModele &p, EspaceTravail &e)
{
    // Plusieurs séquences : les chemins de chacune sont dans le fragment des séquences.
    EcrireFichier(CheminDocument(),
                  debuter(ModeleViterbi, p, e, e.PlusieursSequences() ? QString() : FragmentCheminViterbi(p, e)));
}

QStringList LignesIterationBaumWelch(const ParametresModele &p, const EspaceTravail &e)
{
    const Format F = formatBaumWelch;
    const bool iterations = modeIterations(e);
    QStringList l;
    if (iterations)
        l << QStringLiteral("<b>L'itération Numéro ") + QString::number(e.IterationCourante) +
                 QStringLiteral(" :</b><BR><BR>");
    Comptes c;
    c.depuis = QStringLiteral("<i>Les Nombres d'espérences de puis S<sub>i</sub> :</i><BR>");
    c.transitions = QStringLiteral("<i>Les Nombres d'espérences de S<sub>i</sub> vers S<sub>j</sub> :</i><BR>");
    c.etat = QStringLiteral("<i>Les Nombres d'espérences depuis S<sub>i</sub> :</i><BR>");
    c.generation = QStringLiteral("<i>Les Nombre d'espérences de générer o depuis S<sub>i</sub> :</i><BR>");
    c.valeurDepuis = [&](int i) { return F(e.EsperancesDepuis[i]); };
    c.valeurEtat = [&](int i) { return F(e.EsperancesEtat[i]); };
    c.valeurTransitions = [&](int i, int j) { return F(e.EsperancesTransitions[i][j]); };
    c.valeurGeneration = [&](int i, int k) { return F(e.EsperancesGeneration[i][k]); };
    sommesSurSequences(c, e);
    corpsIteration(l, p, F, c);

    l << QStringLiteral("<BR>");
    if (e.PlusieursSequences())
        l << lignesProbabilitesFormation(e);
    l << QStringLiteral("P(O|H)=") + probabilite(F, e) + QStringLiteral(". <br>");
    const bool seuilAtteint =
        !iterations && (e.MisALEchelle || e.PlusieursSequences() ? AuMoins(e.ProbabiliteEchelle, e.Seuil)
                                                                 : !(e.Probabilite < e.Seuil));
    if (!iterations)
        l << (seuilAtteint ? QStringLiteral("P(O|H)&#8805;") : QStringLiteral("P(O|H)&lt;")) + F(e.Seuil) +
                 QStringLiteral(". <br>");
    if (iterations && e.IterationCourante == e.NombreIterations)
        l << PhraseNombreAtteint;
    else if (seuilAtteint)
        l << PhraseSeuilAtteint;
    else if (e.Stable)
        l << PhraseStable;
    else if (e.Interrompu)
        // L'utilisateur a arrêté : annoncer une nouvelle itération serait faux.
        l << QStringLiteral("L'entraînement est interrompu à la demande de l'utilisateur, donc on arrête là. <br>");
    else if (e.LimiteAtteinte)
        // Le mode seuil est borné : la dernière itération le dit au lieu d'en annoncer une autre.
        l << QStringLiteral("Le seuil n'est pas atteint après %1 itérations, la limite fixée, donc on arrête "
                            "l'entraînement. <br>")
                 .arg(LimiteIterationsSeuil);
    else
        l << PhraseReiterer;
    l << FinIteration;
    return l;
}

QStringList LignesIterationViterbi(const ParametresModele &p, const EspaceTravail &e)
{
    const Format F = [](long double x) { return Nombres::Formater(x); };
    const auto n = [](int x) { return QString::number(x); };
    QStringList l;
    Comptes c;
    c.depuis = QStringLiteral("<i>Les N<sub>s</sub> :</i><BR>");
    c.transitions = QStringLiteral("<i>Les N<sub>s,s'</sub> :</i><BR>");
    c.etat = QStringLiteral("<i>Les N<sub>s</sub> :</i><BR>");
    c.generation = QStringLiteral("<i>Les N<sub>s</sub><sup>o</sup> :</i><BR>");
    c.valeurDepuis = [&](int i) { return n(e.NombreDepuis[i]); };
    c.valeurEtat = [&](int i) { return n(e.NombreEtat[i]); };
    c.valeurTransitions = [&](int i, int j) { return n(e.NombreTransitions[i][j]); };
    c.valeurGeneration = [&](int i, int k) { return n(e.NombreGeneration[i][k]); };
    sommesSurSequences(c, e);
    corpsIteration(l, p, F, c);

    if (e.PlusieursSequences())
        l << lignesProbabilitesFormation(e);
    l << QStringLiteral("P(O|H)=") + probabilite(F, e) + QStringLiteral(". <br>");
    l << QStringLiteral("<BR>");
    l << (e.Stable ? PhraseStable : PhraseReitererViterbi);
    l << FinIteration;
    return l;
}

void TracerIterationBaumWelch(const ParametresModele &p, EspaceTravail &e)
{
    AjouterIteration(e, LignesIterationBaumWelch(p, e));
}

void TracerIterationViterbi(const ParametresModele &p, EspaceTravail &e)
{
    AjouterIteration(e, LignesIterationViterbi(p, e));
}

void TerminerTraceBaumWelch(const ParametresModele &p)
{
    terminer(ModeleBaumWelch, p, true);
}

void TerminerTraceViterbi(const ParametresModele &p)
{
    terminer(ModeleViterbi, p, false);
}

void CompleterTraceEntrainement()
{
    QString document = LireFichier(CheminDocument());
    const qsizetype p = document.indexOf(MarqueurJournal);
    if (p < 0)
        return;
    const QString journal = LireFichier(CheminJournal());
    document.replace(p, MarqueurJournal.size(), journal);
    EcrireFichier(CheminDocument(), document);
}

// --- Branchement sur les entraînements -------------------------------------------------

void ObservateurTrace::Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    Erreur.clear();
    try {
        if (type == Entrainement::BaumWelch)
            DebuterTraceBaumWelch(p, e);
        else
            DebuterTraceViterbi(p, e);
    } catch (const ETrace &x) {
        Erreur = x.Message();
    }
    if (Relais)
        Relais->Debut(type, p, e);
}

void ObservateurTrace::Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    if (type == Entrainement::BaumWelch)
        TracerIterationBaumWelch(p, e);
    else
        TracerIterationViterbi(p, e);
    if (Relais)
        Relais->Iteration(type, p, e);
}

bool ObservateurTrace::Continuer(Entrainement type)
{
    return Relais ? Relais->Continuer(type) : true;
}

void ObservateurTrace::AvantModification(Entrainement type)
{
    if (Relais)
        Relais->AvantModification(type);
}

void ObservateurTrace::Fin(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    // Aucune itération (nombre demandé inférieur à 1) : le journal le dit, plutôt que de
    // laisser une partie vide.
    const bool vide = e.JournalEntrainement.isEmpty();
    if (vide)
        e.JournalEntrainement << QStringLiteral("Aucune itération n'a été faite : le nombre d'itérations "
                                                "demandé est inférieur à 1, le modèle est inchangé. <br>")
                              << FinIteration;
    conclure(type, p, e, vide, Erreur);
    if (Relais)
        Relais->Fin(type, p, e);
}

void ObservateurTrace::FinSansIteration(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    // Le seuil est atteint avant toute itération : rien n'est réestimé. La trace est tout de
    // même menée à son terme (journal d'une seule explication, modèle final = modèle initial),
    // pour ne montrer ni marqueur resté en place ni journal d'un entraînement précédent.
    const Format F = formatBaumWelch;
    e.JournalEntrainement = QStringList{
        QStringLiteral("P(O|H)=") + probabilite(F, e) + QStringLiteral(". <br>"),
        QStringLiteral("P(O|H)&#8805;") + F(e.Seuil) + QStringLiteral(". <br>"),
        QStringLiteral("La probabilité de génération de O atteint déjà le seuil donné avant la première itération, "
                       "donc on n'entraîne pas le modèle : il reste inchangé. <br>"),
        FinIteration};
    conclure(type, p, e, true, Erreur);
    if (Relais)
        Relais->FinSansIteration(type, p, e);
}

}
