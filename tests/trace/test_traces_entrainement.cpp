// Les traces des deux entraînements : en-tête, blocs d'itération au caractère près (E1/E2
// sur "ab"), phrases d'arrêt, fin, consultation.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "modeles_test.h"
#include "outils_trace.h"
#include "trace/document_trace.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Trace;

namespace {
const QString TB = BaliseTableau;
const QString TL = BaliseDisposition;
const QString DOU = "</table></td><td>&nbsp;</td><td>&nbsp;&nbsp;D'ou :&nbsp;&nbsp;</td><td width=40%>";
const QString FIN_DISPO = "</table></td></tr></table><BR>";
const QString STOP_NOMBRE = "Le nombre d'itération donnée est atteint, donc on arrête l'entraînement. <br>";
const QString STOP_SEUIL =
    "La probabilité de génération de O est superieur ou égale du seuil donné, donc on arrête l'entraînement. <br>";
const QString STOP_STABLE = "Le paramétrage du modèle est stable, donc on arrête l'entraînement. <br>";
const QString ENCORE = "On n'a pas atteint la stabilité du paramétrage, ni le critère d'arrêt, donc on re-itère la "
                       "procédure d'entraînement :<br>";
const QString ENCORE_VITERBI =
    "On n'a pas atteint la stabilité du paramétrage, donc on re-itère la procédure d'entraînement :<br>";

// Lignes d'un vecteur sur E1, E2 : en-tête `titre`, ligne `libelle`, valeurs, fermeture.
QStringList Vecteur(const QString &titre, const QString &libelle, const QString &v1, const QString &v2,
                    const QString &fin)
{
    return {titre, H("E1"), H("E2"), "</tr><tr><td><b>&nbsp;" + libelle + "&nbsp;</b></td>", V(v1), V(v2), fin};
}
// Lignes d'une matrice 2 × 2 (colonnes E1, E2 ou 'a', 'b').
QStringList Lignes2x2(bool symboles, const QStringList &v)
{
    const QString c1 = symboles ? "'a'" : "E1", c2 = symboles ? "'b'" : "E2";
    return {C, H(c1), H(c2), "</tr>", R("E1"), V(v[0]), V(v[1]), "</tr>", R("E2"), V(v[2]), V(v[3]), "</tr>"};
}
}

class TracesEntrainement : public TestTrace {
protected:
    DocumentModele d;
    EspaceTravail e;
    ObservateurTrace trace;
    void SetUp() override
    {
        TestTrace::SetUp();
        ConstruireE1E2(d);
        e.SequenceObservations = "ab";
        e.DecoupageCaractere = true;
    }
    IssueEntrainement BaumWelch(int iterations, long double seuil = 2)
    {
        e.NombreIterations = iterations;
        e.Seuil = seuil;
        return EntrainerBaumWelch(d, e, &trace);
    }
    // Les blocs d'itération du journal, chacun terminé par "<HR><br>".
    QList<QStringList> Blocs(const QStringList &journal)
    {
        QList<QStringList> b{{}};
        for (const QString &l : journal) {
            b.last() << l;
            if (l == "<HR><br>")
                b << QStringList{};
        }
        b.removeLast();
        return b;
    }
};

TEST_F(TracesEntrainement, BaumWelchUneIteration)
{
    ASSERT_EQ(BaumWelch(1), IssueEntrainement::Termine);
    EXPECT_TRUE(trace.Erreur.isEmpty()) << trace.Erreur.toStdString();
    QStringList attendu{"<b>L'itération Numéro 1 :</b><BR><BR>"};
    attendu << Vecteur("<i>Le tableau &#960; :</i><BR>" + TB + C, "START", "0.72845953002611", "0.27154046997389",
                       "</tr></table><br>");
    attendu << "La re-estimation des probabilités de transitions :<br>"
            << "<BR>" + TL + "<tr><td width=40%>";
    attendu << Vecteur("<i>Les Nombres d'espérences de puis S<sub>i</sub> :</i><BR>" + TB + C, "N<sub>s</sub>",
                       "0.72845953002611", "0.27154046997389", "</tr></table>");
    attendu << "<i>Les Nombres d'espérences de S<sub>i</sub> vers S<sub>j</sub> :</i><BR>" + TB;
    attendu << Lignes2x2(false, {"0.164490861618799", "0.563968668407311", "0.02088772845953", "0.25065274151436"});
    attendu << DOU << "<i>La matrice A :</i><BR>" + TB;
    attendu << Lignes2x2(false, {"0.225806451612903", "0.774193548387097", "0.0769230769230769", "0.923076923076923"});
    attendu << FIN_DISPO << "La re-estimation des probabilités de générations :<br>"
            << "<BR>" + TL + "<tr><td width=40%>";
    attendu << Vecteur("<i>Les Nombres d'espérences depuis S<sub>i</sub> :</i><BR>" + TB + C, "N<sub>s</sub>",
                       "0.913838120104439", "1.08616187989556", "</tr></table>");
    attendu << "<i>Les Nombre d'espérences de générer o depuis S<sub>i</sub> :</i><BR>" + TB;
    attendu << Lignes2x2(true, {"0.72845953002611", "0.185378590078329", "0.27154046997389", "0.814621409921671"});
    attendu << DOU << "<i>La matrice B :</i><BR>" + TB;
    attendu << Lignes2x2(true, {"0.797142857142857", "0.202857142857143", "0.25", "0.75"});
    attendu << FIN_DISPO << "<BR>"
            << "P(O|H)=0.411828571428571. <br>" << STOP_NOMBRE << "<HR><br>";
    EXPECT_EQ(e.JournalEntrainement, attendu);
    // "APP.txt" : chaque ligne suivie de CR LF.
    EXPECT_EQ(Texte("APP.txt"), attendu.join("\r\n") + "\r\n");

    // Avant consultation : tout sauf le journal ; le dernier "!!" a reçu le modèle entraîné.
    const QStringList m = Morceaux("AppBaumWelch.htm");
    ASSERT_EQ(m.size(), 6);
    const QString tete = m[0] + "\"a-b\"" + m[1] + "<img src=\"A_directe_fichiers/Hmm.bmp\"></img>" + m[2] +
                         FragmentTablesModele(ModeleE1E2(), false) + m[3] +
                         "&nbsp;&nbsp;&nbsp;<b><i>Un nombre d'itérations égale à 1, jugé suffisamment "
                         "important.</i></b><br>" +
                         m[4];
    const QString finale = FragmentTablesModele(d.Parametres(), true) + m[5];
    EXPECT_EQ(Texte("Modeles/Trace.htm"), tete + finale);
    EXPECT_TRUE(finale.contains(V("0.797142857142857")));

    // Consultation : le journal prend la place de "???", une seule fois.
    CompleterTraceEntrainement();
    QString complet = tete + finale;
    complet.replace("???", Texte("APP.txt"));
    EXPECT_EQ(Texte("Modeles/Trace.htm"), complet);
    CompleterTraceEntrainement();
    EXPECT_EQ(Texte("Modeles/Trace.htm"), complet);
    EXPECT_EQ(Texte("Modeles/Trace.htm").count("L'itération Numéro 1"), 1);
}

TEST_F(TracesEntrainement, BaumWelchModeleDejaStable)
{
    // Un état, un symbole : π, A et B valent 1 et ne bougent plus.
    Construire(d, true, {{"S", {{"x", "1"}}}}, {{0, 1, "1"}, {1, 1, "1"}});
    e.SequenceObservations = "xx";
    // Limité à une itération : la phrase du nombre d'itérations l'emporte sur la stabilité.
    BaumWelch(1);
    ASSERT_TRUE(e.Stable);
    EXPECT_EQ(e.JournalEntrainement.first(), "<b>L'itération Numéro 1 :</b><BR><BR>");
    EXPECT_EQ(e.JournalEntrainement.mid(e.JournalEntrainement.size() - 2), (QStringList{STOP_NOMBRE, "<HR><br>"}));
    // Avec plus d'itérations permises, c'est la stabilité qui arrête, dès la première.
    BaumWelch(5);
    EXPECT_EQ(Blocs(e.JournalEntrainement).size(), 1);
    EXPECT_EQ(e.JournalEntrainement.mid(e.JournalEntrainement.size() - 2), (QStringList{STOP_STABLE, "<HR><br>"}));
}

TEST_F(TracesEntrainement, BaumWelchPlusieursIterations)
{
    BaumWelch(3);
    const auto blocs = Blocs(e.JournalEntrainement);
    ASSERT_EQ(blocs.size(), 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(blocs[k].first(), QString("<b>L'itération Numéro %1 :</b><BR><BR>").arg(k + 1));
        EXPECT_EQ(blocs[k][blocs[k].size() - 2], k < 2 ? ENCORE : STOP_NOMBRE);
        // Mode nombre d'itérations : pas de comparaison au seuil.
        EXPECT_FALSE(blocs[k].join("").contains("P(O|H)<"));
        EXPECT_FALSE(blocs[k].join("").contains("P(O|H)&lt;"));
        EXPECT_FALSE(blocs[k].join("").contains("P(O|H)&#8805;"));
    }
}

TEST_F(TracesEntrainement, BaumWelchSeuil)
{
    // Seuil atteint dès la première itération (P passe de 0,1915 à 0,411828571428571).
    BaumWelch(10, 0.3L);
    auto blocs = Blocs(e.JournalEntrainement);
    ASSERT_EQ(blocs.size(), 1);
    EXPECT_EQ(blocs[0].mid(blocs[0].size() - 5),
              (QStringList{"<BR>", "P(O|H)=0.411828571428571. <br>", "P(O|H)&#8805;0.3. <br>", STOP_SEUIL, "<HR><br>"}));
    EXPECT_FALSE(blocs[0].first().contains("Numéro")); // pas d'en-tête d'itération
    EXPECT_TRUE(Texte("Modeles/Trace.htm")
                    .contains("<b><i>La probabilité de générations soit superieur ou égale à un seuil qui égale à "
                              "0.3.</i></b><br>"));

    // Seuil plus haut : les blocs qui ne l'atteignent pas disent "<" (écrit "&lt;" : un "<" nu
    // serait lu comme une balise) et re-itèrent ; le dernier
    // dit "&#8805;" et s'arrête sur le seuil.
    ConstruireE1E2(d);
    BaumWelch(10, 0.5L);
    blocs = Blocs(e.JournalEntrainement);
    ASSERT_GE(blocs.size(), 2);
    for (int k = 0; k + 1 < blocs.size(); ++k) {
        EXPECT_TRUE(blocs[k].contains("P(O|H)&lt;0.5. <br>"));
        EXPECT_EQ(blocs[k][blocs[k].size() - 2], ENCORE);
    }
    EXPECT_TRUE(blocs.last().contains("P(O|H)&#8805;0.5. <br>"));
    EXPECT_EQ(blocs.last()[blocs.last().size() - 2], STOP_SEUIL);
}

TEST_F(TracesEntrainement, BaumWelchSeuilEgalALaProbabilite)
{
    BaumWelch(1);
    const long double p1 = e.Probabilite; // P(O|H) après une itération, exactement
    ConstruireE1E2(d);
    BaumWelch(10, p1);
    const auto blocs = Blocs(e.JournalEntrainement);
    ASSERT_EQ(blocs.size(), 1);
    EXPECT_TRUE(blocs[0].contains("P(O|H)&#8805;0.411828571428571. <br>"));
    EXPECT_EQ(blocs[0][blocs[0].size() - 2], STOP_SEUIL);
}

TEST_F(TracesEntrainement, BaumWelchSeuilDejaAtteint)
{
    // Un entraînement précédent laisse son journal ; le suivant, au seuil déjà atteint, ne doit
    // ni le reprendre ni laisser de marqueur.
    BaumWelch(2);
    ConstruireE1E2(d);
    ASSERT_EQ(BaumWelch(10, 0.1L), IssueEntrainement::SeuilDejaAtteint);
    EXPECT_TRUE(trace.Erreur.isEmpty());
    EXPECT_EQ(Texte("APP.txt"), e.JournalEntrainement.join("\r\n") + "\r\n");
    EXPECT_FALSE(Texte("APP.txt").contains("Numéro"));
    EXPECT_TRUE(Texte("APP.txt").contains("P(O|H)=0.1915. <br>\r\nP(O|H)&#8805;0.1. <br>\r\n"));
    CompleterTraceEntrainement();
    const QString t = Texte("Modeles/Trace.htm");
    EXPECT_FALSE(t.contains("!!"));
    EXPECT_FALSE(t.contains("???"));
    // Le modèle final est le modèle initial, inchangé.
    EXPECT_EQ(t.count(FragmentTablesModele(ModeleE1E2(), false)), 2);
}

TEST_F(TracesEntrainement, BaumWelchSansIteration)
{
    BaumWelch(0);
    CompleterTraceEntrainement();
    const QString t = Texte("Modeles/Trace.htm");
    EXPECT_FALSE(t.contains("!!"));
    EXPECT_FALSE(t.contains("???"));
    EXPECT_TRUE(t.contains("Aucune itération n'a été faite"));
}

TEST_F(TracesEntrainement, BaumWelchExposants)
{
    // Au fil des itérations des valeurs tombent sous 0,00001 et passent en puissances de dix,
    // dans le journal et dans les tableaux finals, jamais dans les tableaux initiaux.
    BaumWelch(5);
    const QRegularExpression exposant("[0-9]E-?[0-9]");
    const QString journal = e.JournalEntrainement.join("");
    EXPECT_TRUE(journal.contains(".10<sup>-"));
    EXPECT_FALSE(journal.contains(exposant));
    const QString finale = FragmentTablesModele(d.Parametres(), true);
    EXPECT_TRUE(finale.contains(".10<sup>-"));
    EXPECT_FALSE(finale.contains(exposant));
    EXPECT_TRUE(FragmentTablesModele(d.Parametres(), false).contains(exposant));
    CompleterTraceEntrainement();
    EXPECT_TRUE(Texte("Modeles/Trace.htm").contains(finale));
}

TEST_F(TracesEntrainement, Viterbi)
{
    ASSERT_EQ(EntrainerViterbi(d, e, &trace), IssueEntrainement::Termine);
    EXPECT_TRUE(trace.Erreur.isEmpty());
    // Chemin E1, E2 : π = (1 ; 0), ligne E1 de A = (0 ; 1), ligne E2 gardée ; B diagonal.
    QStringList bloc = Vecteur("<i>Le tableau &#960; :</i><BR>" + TB + C, "START", "1", "0", "</tr></table><br>");
    bloc << "La re-estimation des probabilités de transitions :<br>"
         << "<BR>" + TL + "<tr><td width=40%>";
    bloc << Vecteur("<i>Les N<sub>s</sub> :</i><BR>" + TB + C, "N<sub>s</sub>", "1", "0", "</tr></table>");
    bloc << "<i>Les N<sub>s,s'</sub> :</i><BR>" + TB << Lignes2x2(false, {"0", "1", "0", "0"});
    bloc << DOU << "<i>La matrice A :</i><BR>" + TB << Lignes2x2(false, {"0", "1", "0.4", "0.6"});
    bloc << FIN_DISPO << "La re-estimation des probabilités de générations :<br>"
         << "<BR>" + TL + "<tr><td width=40%>";
    bloc << Vecteur("<i>Les N<sub>s</sub> :</i><BR>" + TB + C, "N<sub>s</sub>", "1", "1", "</tr></table>");
    bloc << "<i>Les N<sub>s</sub><sup>o</sup> :</i><BR>" + TB << Lignes2x2(true, {"1", "0", "0", "1"});
    bloc << DOU << "<i>La matrice B :</i><BR>" + TB << Lignes2x2(true, {"1", "0", "0", "1"});
    bloc << FIN_DISPO << "P(O|H)=1. <br>"
         << "<BR>";
    // Deux passes : la première change le modèle, la seconde le retrouve identique.
    const QStringList attendu = bloc + QStringList{ENCORE_VITERBI, "<HR><br>"} + bloc +
                                QStringList{STOP_STABLE, "<HR><br>"};
    EXPECT_EQ(e.JournalEntrainement, attendu);
    EXPECT_FALSE(e.JournalEntrainement.join("").contains("Numéro"));

    const QStringList m = Morceaux("AppViterbi.htm");
    ASSERT_EQ(m.size(), 5);
    const QString chemin = "<BR><BR>Le chemin de <i>Viterbi</i> de la séquence d'observation O :<BR><BR>"
                           "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;C<sub>viterbi</sub> =&nbsp;<b>START</b> - <b>E1</b> - "
                           "<b>E2</b><br><br>";
    EXPECT_EQ(FragmentCheminViterbi(ModeleE1E2(), e), chemin);
    CompleterTraceEntrainement();
    QString attenduDoc = m[0] + "\"a-b\"" + m[1] + "<img src=\"A_directe_fichiers/Hmm.bmp\"></img>" + m[2] +
                         FragmentTablesModele(ModeleE1E2(), false) + chemin + m[3] +
                         FragmentTablesModele(d.Parametres(), false) + m[4];
    attenduDoc.replace("???", attendu.join("\r\n") + "\r\n");
    EXPECT_EQ(Texte("Modeles/Trace.htm"), attenduDoc);
}

TEST_F(TracesEntrainement, ConsultationSansJournal)
{
    BaumWelch(1);
    const QByteArray avant = Octets("Modeles/Trace.htm");
    ASSERT_TRUE(QFile::remove(Chemin("APP.txt")));
    try {
        CompleterTraceEntrainement();
        FAIL();
    } catch (const ETrace &x) {
        EXPECT_TRUE(x.Message().contains("APP.txt"));
    }
    // Le document n'est pas réécrit.
    EXPECT_EQ(Octets("Modeles/Trace.htm"), avant);
}

TEST_F(TracesEntrainement, ModeleDeTraceAbsent)
{
    ASSERT_TRUE(QFile::remove(Chemin("Modeles/AppBaumWelch.htm")));
    // L'entraînement a lieu quand même ; l'erreur est gardée pour la consultation.
    EXPECT_EQ(BaumWelch(1), IssueEntrainement::Termine);
    EXPECT_TRUE(trace.Erreur.contains("AppBaumWelch.htm"));
    EXPECT_NE(d.Parametres().PI[1], ModeleE1E2().PI[1]);
    // Un entraînement suivant qui réussit efface l'erreur.
    QFile::copy(QStringLiteral(HMM_MODELES_TRACE) + "/AppBaumWelch.htm", Chemin("Modeles/AppBaumWelch.htm"));
    BaumWelch(1);
    EXPECT_TRUE(trace.Erreur.isEmpty());
}

TEST_F(TracesEntrainement, NomsQuiRessemblentAuxMarqueurs)
{
    Construire(d, true, {{"P!!", {{"a???", "0.9"}, {"b", "0.1"}}}, {"Q", {{"a???", "0.2"}, {"b", "0.8"}}}},
               {{0, 1, "0.5"}, {0, 2, "0.5"}, {1, 1, "0.7"}, {1, 2, "0.3"}, {2, 1, "0.4"}, {2, 2, "0.6"}});
    e.SequenceObservations = "a??? b";
    e.DecoupageCaractere = false;
    BaumWelch(1);
    CompleterTraceEntrainement();
    const QString t = Texte("Modeles/Trace.htm");
    EXPECT_FALSE(t.contains("!!"));
    EXPECT_FALSE(t.contains("???"));
    // Le journal est à sa place (après le critère d'arrêt), une seule fois.
    EXPECT_EQ(t.count("L'itération Numéro 1"), 1);
    EXPECT_LT(t.indexOf("jugé suffisamment important"), t.indexOf("L'itération Numéro 1"));
    EXPECT_TRUE(t.contains("P&#33;&#33;"));
    CompleterTraceEntrainement();
    EXPECT_EQ(Texte("Modeles/Trace.htm"), t);
}

namespace {
struct CasFormationTrace {
    const char *nom;
    Entrainement type;
    QStringList sequences;
    ModeCalcul mode;
    QStringList contient; // morceaux de la trace complète, dans cet ordre
    QString annulation;   // description de l'étape d'annulation
};
class TraceFormation : public TracesEntrainement, public ::testing::WithParamInterface<CasFormationTrace> {};
}

// Plusieurs séquences (liste, P(O_k|H) et produit, tableaux sommés) et calcul mis à l'échelle
// (explication des facteurs c_t) dans la trace complète d'un entraînement.
TEST_P(TraceFormation, SequencesProbabilitesEtMiseALEchelle)
{
    const CasFormationTrace &c = GetParam();
    DefinirSequencesFormation(e, c.sequences);
    e.NombreIterations = 2;
    e.Seuil = 2;
    Entrainer(c.type, d, e, &trace, c.mode);
    ASSERT_TRUE(trace.Erreur.isEmpty()) << qPrintable(trace.Erreur);
    CompleterTraceEntrainement();
    const QString t = Texte("Modeles/Trace.htm");
    qsizetype depuis = 0;
    for (const QString &morceau : c.contient) {
        const qsizetype i = t.indexOf(morceau, depuis);
        EXPECT_GE(i, 0) << qPrintable(morceau);
        depuis = std::max(depuis, i);
    }
    EXPECT_FALSE(t.contains("!!") || t.contains("???"));
    EXPECT_EQ(d.Annulations().DerniereDescription(), c.annulation);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, TraceFormation,
    ::testing::Values(
        CasFormationTrace{"BaumWelchTroisSequences",
                          Entrainement::BaumWelch,
                          {"abba", "bbbab", "aab"},
                          ModeCalcul::Automatique,
                          {"3 s&eacute;quences de formation<br>O<sub>1</sub> = \"a-b-b-a\"", "O<sub>3</sub> = \"a-a-b\"",
                           "Plusieurs s&eacute;quences de formation (K = 3)", "L'itération Numéro 1",
                           "(somm&eacute;s sur les 3 s&eacute;quences)", "P(O<sub>k</sub>|H)",
                           "P(O|H) est leur produit &#928;<sub>k=1..3</sub> P(O<sub>k</sub>|H) :<br>", "P(O|H)=", "L'itération Numéro 2"},
                          "l'Entrainnement de BaumWelch avec 3 séquences"},
        CasFormationTrace{"ViterbiDeuxSequences",
                          Entrainement::Viterbi,
                          {"ab", "bba"},
                          ModeCalcul::Automatique,
                          {"2 s&eacute;quences de formation", "C<sub>viterbi</sub>(O<sub>1</sub>) =&nbsp;<b>START</b> - <b>E1</b> - <b>E2</b>",
                           "C<sub>viterbi</sub>(O<sub>2</sub>)", "<i>Les N<sub>s</sub> :</i><BR><i>(somm&eacute;s sur les 2",
                           "&#928;<sub>k=1..2</sub>"},
                          "l'Entrainnement de Viterbi avec 2 séquences"},
        CasFormationTrace{"BaumWelchMisALEchelle",
                          Entrainement::BaumWelch,
                          {"abba"},
                          ModeCalcul::Echelle,
                          {"Calcul mis &agrave; l'&eacute;chelle", "c<sub>t</sub> = 1 / &#931;<sub>i</sub>",
                           "log P(O|&#955;) = &#8722; &#931;<sub>t=1..T</sub> log c<sub>t</sub>",
                           "(mis à l'échelle)"},
                          "l'Entrainnement de BaumWelch avec la séquence abba"}),
    [](const ::testing::TestParamInfo<CasFormationTrace> &i) { return std::string(i.param.nom); });

