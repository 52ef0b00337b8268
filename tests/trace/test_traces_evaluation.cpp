// Les quatre traces d'évaluation : fragments au caractère près pour le modèle E1/E2 sur "ab",
// cas limites, documents écrits.
#include "algorithms/decodage.h"
#include "algorithms/enumeration.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/image_modele.h"
#include "modeles_test.h"
#include "outils_trace.h"
#include "trace/bornes_trace.h"
#include "trace/document_trace.h"
#include "trace/traces_echelle.h"
#include "trace/traces_evaluation.h"

#include <QFileInfo>
#include <functional>

using namespace Trace;

namespace {
const QString TB = BaliseTableau;
const QString TL = BaliseDisposition;

const QString P11s = "<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;";
const QString NB9 = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
const QString NB8 = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
const QString NB18 = NB9 + NB9;
// La case développée qui précède un tableau des temps (caractères non ASCII en entités).
QString Dev(const QString &formule)
{
    QString r = "<i>Une case d&eacute;velopp&eacute;e :</i> ";
    for (const QChar c : formule)
        r += c.unicode() > 0x7E ? QStringLiteral("&#%1;").arg(c.unicode()) : QString(c);
    return r + "<BR><BR>";
}
}

class TracesEvaluation : public TestTrace {
protected:
    ParametresModele p = ModeleE1E2();
    EspaceTravail e = EspaceAB();

    // Le document attendu : le modèle de trace dont chaque "!!" reçoit un fragment.
    QString Assembler(const QString &modele, const QStringList &fragments)
    {
        const QStringList m = Morceaux(modele);
        EXPECT_EQ(m.size(), fragments.size() + 1);
        QString d = m[0];
        for (int k = 0; k < fragments.size(); ++k)
            d += fragments[k] + m[k + 1];
        return d;
    }
    QStringList Communs()
    {
        return {"\"a-b\"", "<img src=\"A_directe_fichiers/Hmm.bmp\"></img>", FragmentTablesModele(p, false)};
    }
};

TEST_F(TracesEvaluation, Forward)
{
    CalculerForward(p, e);
    const QStringList f = FragmentsForward(p, e);
    ASSERT_EQ(f.size(), 2);
    const QString h = "<td><center><b>&nbsp;&#945;<sub>t</sub>(";
    EXPECT_EQ(f[0], Dev("α2(E1) = [α1(E1)·a(E1,E1) + α1(E2)·a(E2,E1)]·b(E1,b) = [0.45 × 0.7 + 0.1 × 0.4] × 0.1 = 0.0355") +
                        TB + C + h + "E1)&nbsp;</b></center></td>" + h + "E2)&nbsp;</b></center></td></tr>" + R("t=1") +
                        V("0.45") + V("0.1") + "</tr>" + R("t=2") + V("0.0355") + V("0.156") + "</tr></table><BR>");
    EXPECT_EQ(f[1], "P(O|&#955;)=&nbsp;&#945;<sub>2</sub>(E1)+&#945;<sub>2</sub>(E2)" + P11s + "0.0355+0.156" + P11s +
                        "<b>0.1915</b>.");

    DocumentModele d;
    ConstruireE1E2(d);
    const QImage image = ImageModele::RendreModele(d.Contenu());
    GenererTraceForward(p, e, &image);
    EXPECT_EQ(Texte("Modeles/Trace.htm"), Assembler("Forward.htm", Communs() + f));
    EXPECT_TRUE(QFileInfo::exists(Chemin("Modeles/A_directe_fichiers/Hmm.bmp")));
    // Lire ne change rien : une deuxième trace donne le même document.
    const QByteArray premier = Octets("Modeles/Trace.htm");
    GenererTraceForward(p, e, &image);
    EXPECT_EQ(Octets("Modeles/Trace.htm"), premier);
}

TEST_F(TracesEvaluation, Backward)
{
    CalculerBackward(p, e);
    const QStringList f = FragmentsBackward(p, e);
    ASSERT_EQ(f.size(), 2);
    const QString h = "<td><center><b>&nbsp;&#946;<sub>t</sub>(";
    // Lignes dans l'ordre décroissant du temps.
    EXPECT_EQ(f[0], Dev("β1(E1) = a(E1,E1)·b(E1,b)·β2(E1) + a(E1,E2)·b(E2,b)·β2(E2) = 0.7 × 0.1 × 1 + 0.3 × 0.8 × 1 = 0.31") +
                        TB + C + h + "E1)&nbsp;</b></center></td>" + h + "E2)&nbsp;</b></center></td></tr>" + R("t=2") +
                        V("1") + V("1") + "</tr>" + R("t=1") + V("0.31") + V("0.52") + "</tr></table><BR>");
    EXPECT_EQ(f[1], "P(O|&#955;)=&nbsp;&#960;<sub>E1</sub>·&#946;<sub>1</sub>(E1)·b<sub>E1</sub>(a)"
                    "+&#960;<sub>E2</sub>·&#946;<sub>1</sub>(E2)·b<sub>E2</sub>(a)" +
                        P11s + "0.5 × 0.31 × 0.9+0.5 × 0.52 × 0.2" + P11s + "0.1395+0.052" + P11s + "<b>0.1915</b>.");
    DocumentModele d;
    ConstruireE1E2(d);
    const QImage image = ImageModele::RendreModele(d.Contenu());
    GenererTraceBackward(p, e, &image);
    EXPECT_EQ(Texte("Modeles/Trace.htm"), Assembler("Backward.htm", Communs() + f));
}

TEST_F(TracesEvaluation, Viterbi)
{
    CalculerViterbi(p, e);
    const QStringList f = FragmentsViterbi(p, e);
    ASSERT_EQ(f.size(), 4);
    const QString hd = "<td><center><b>&nbsp;&#948;<sub>t</sub>(", hp = "<td><center><b>&nbsp;&#968;<sub>t</sub>(";
    const QString fin = ")&nbsp;</b></center></td>";
    EXPECT_EQ(f[0], Dev("δ2(E1) = max[δ1(E1)·a(E1,E1) ; δ1(E2)·a(E2,E1)]·b(E1,b) = max[0.45 × 0.7 ; 0.1 × 0.4] × 0.1 = 0.0315 ; "
                        "ψ2(E1) = E1") +
                        TL + "<tr><td><i>Les &#948;<sub>i</sub> :</i><BR>" + TB + C + hd + "E1" + fin + hd + "E2" + fin +
                        "</tr>" + R("t=1") + V("0.45") + V("0.1") + "</tr>" + R("t=2") + V("0.0315") + V("0.108") +
                        "</tr></table></td><td>&nbsp;</td><td><i>Les &#968;<sub>i</sub> :</i><BR>" + TB + C + hp +
                        "E1" + fin + hp + "E2" + fin + "</tr>" + R("t=1") + V("START") + V("START") + "</tr>" +
                        R("t=2") + V("E1") + V("E1") + "</tr></table></td></tr></table><BR>");
    EXPECT_EQ(f[1], "P<sub>max</sub>=&nbsp;Max{ &#948;<sub>2</sub>(E1) ; &#948;<sub>2</sub>(E2) }<BR>" + NB9 +
                        "=&nbsp;Max{ 0.0315 ; 0.108 }<BR>" + NB9 + "=&nbsp;<b>0.108</b>.<BR><BR>" +
                        "q<sub>2</sub>=&nbsp;ArgMax{ &#948;<sub>2</sub>(E1) ; &#948;<sub>2</sub>(E2) }<BR>" + NB8 +
                        "=&nbsp;<b>E2</b>.<BR>");
    EXPECT_EQ(f[2], "<b>q<sub>2</sub>=&nbsp;E2</b>");
    EXPECT_EQ(f[3], "<ul><li>q<sub>2</sub> = E2.</li><li>q<sub>1</sub> = &#968;<sub>2</sub>(E2) = E1.</li>"
                    "<li>q<sub>0</sub> = &#968;<sub>1</sub>(E1) = START.</li></ul><BR><BR>"
                    "D'où le chemin de <i>Viterbi</i> :<BR><BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;C<sub>viterbi</sub> "
                    "=&nbsp;q<sub>0</sub>q<sub>1</sub>q<sub>2</sub><BR>" +
                        NB18 + "=&nbsp;<b>START</b> - <b>E1</b> - <b>E2</b>");
    DocumentModele d;
    ConstruireE1E2(d);
    const QImage image = ImageModele::RendreModele(d.Contenu());
    GenererTraceViterbi(p, e, &image);
    EXPECT_EQ(Texte("Modeles/Trace.htm"), Assembler("Viterbi.htm", Communs() + f));
}

TEST_F(TracesEvaluation, ApprocheDirecte)
{
    ASSERT_TRUE(EnumererChemins(p, e));
    const QStringList f = FragmentsDirecte(p, e);
    ASSERT_EQ(f.size(), 4);
    // Chemins dans l'ordre de l'énumération : l'état du temps 1 varie le plus vite.
    EXPECT_EQ(f[0], "4");
    EXPECT_EQ(f[1], "<ul><li>C<sub>1</sub>={E1, E1}</li><li>C<sub>2</sub>={E2, E1}</li>"
                    "<li>C<sub>3</sub>={E1, E2}</li><li>C<sub>4</sub>={E2, E2}</li></ul>");
    EXPECT_EQ(f[2], "<ul><li>P(O,C<sub>1</sub>|&#955;)=0.0315</li><li>P(O,C<sub>2</sub>|&#955;)=0.004</li>"
                    "<li>P(O,C<sub>3</sub>|&#955;)=0.108</li><li>P(O,C<sub>4</sub>|&#955;)=0.048</li></ul>");
    EXPECT_EQ(f[3], "P(O|&#955;)=&nbsp;P(O,C<sub>1</sub>|&#955;)+P(O,C<sub>2</sub>|&#955;)+P(O,C<sub>3</sub>|&#955;)"
                    "+P(O,C<sub>4</sub>|&#955;)" +
                        P11s + "0.0315+0.004+0.108+0.048" + P11s + "<b>0.1915</b>.");
    DocumentModele d;
    ConstruireE1E2(d);
    const QImage image = ImageModele::RendreModele(d.Contenu());
    GenererTraceDirecte(p, e, &image);
    EXPECT_EQ(Texte("Modeles/Trace.htm"), Assembler("A_directe.htm", Communs() + f));
}

TEST_F(TracesEvaluation, ApprocheDirecteSansChemin)
{
    // "c" n'est pas un symbole : aucun chemin n'a de probabilité non nulle.
    e = EspacePour({1, 0});
    ASSERT_TRUE(EnumererChemins(p, e));
    const QStringList f = FragmentsDirecte(p, e);
    EXPECT_EQ(f, (QStringList{"0", "<ul></ul>", "<ul></ul>",
                              "P(O|&#955;)=&nbsp;P(O,C<sub>1</sub>|&#955;)" + P11s + P11s + "<b>0</b>."}));
}

TEST_F(TracesEvaluation, UnSeulEtatEtUnSeulInstant)
{
    p = ParametresTextes({"S"}, {"x", "y"}, {"1"}, {{"1"}}, {{"0.25", "0.75"}});
    e = EspacePour({2});
    CalculerForward(p, e);
    const QString ha = "<td><center><b>&nbsp;&#945;<sub>t</sub>(S)&nbsp;</b></center></td>";
    EXPECT_EQ(FragmentsForward(p, e),
              (QStringList{Dev("α1(S) = π(S)·b(S,y) = 1 × 0.75 = 0.75") + TB + C + ha + "</tr>" + R("t=1") + V("0.75") +
                               "</tr></table><BR>",
                           "P(O|&#955;)=&nbsp;&#945;<sub>1</sub>(S)" + P11s + "0.75" + P11s + "<b>0.75</b>."}));
    CalculerBackward(p, e);
    EXPECT_EQ(FragmentsBackward(p, e)[1], "P(O|&#955;)=&nbsp;&#960;<sub>S</sub>·&#946;<sub>1</sub>(S)·b<sub>S</sub>(y)" +
                                              P11s + "1 × 1 × 0.75" + P11s + "0.75" + P11s + "<b>0.75</b>.");
    CalculerViterbi(p, e);
    const QStringList v = FragmentsViterbi(p, e);
    EXPECT_EQ(v[1], "P<sub>max</sub>=&nbsp;Max{ &#948;<sub>1</sub>(S) }<BR>" + NB9 + "=&nbsp;Max{ 0.75 }<BR>" + NB9 +
                        "=&nbsp;<b>0.75</b>.<BR><BR>q<sub>1</sub>=&nbsp;ArgMax{ &#948;<sub>1</sub>(S) }<BR>" + NB8 +
                        "=&nbsp;<b>S</b>.<BR>");
    EXPECT_EQ(v[3], "<ul><li>q<sub>1</sub> = S.</li><li>q<sub>0</sub> = &#968;<sub>1</sub>(S) = START.</li></ul>"
                    "<BR><BR>D'où le chemin de <i>Viterbi</i> :<BR><BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;C<sub>viterbi</sub> "
                    "=&nbsp;q<sub>0</sub>q<sub>1</sub><BR>" +
                        NB18 + "=&nbsp;<b>START</b> - <b>S</b>");
    ASSERT_TRUE(EnumererChemins(p, e));
    EXPECT_EQ(FragmentsDirecte(p, e)[3], "P(O|&#955;)=&nbsp;P(O,C<sub>1</sub>|&#955;)" + P11s + "0.75" + P11s +
                                             "<b>0.75</b>.");
}

// Des noms qui portent "!!", "???", des balises : la page les garde lisibles et chaque
// fragment arrive à son marqueur.
TEST_F(TracesEvaluation, NomsQuiRessemblentAuxMarqueurs)
{
    p = ParametresTextes({"A!!", "B???"}, {"x!!", "<y>"}, {"0.5", "0.5"}, {{"0.7", "0.3"}, {"0.4", "0.6"}},
                         {{"0.9", "0.1"}, {"0.2", "0.8"}});
    CalculerViterbi(p, e);
    GenererTraceViterbi(p, e, nullptr);
    const QString t = Texte("Modeles/Trace.htm");
    // Plus aucun marqueur : les 7 fragments sont tous placés.
    EXPECT_FALSE(t.contains("!!"));
    EXPECT_FALSE(t.contains("???"));
    EXPECT_TRUE(t.contains("O =\r\n<b><font color=\"#C00000\">\"x&#33;&#33;-<y>\"</font></b>"));
    EXPECT_TRUE(t.contains("<b>q<sub>2</sub>=&nbsp;B&#63;&#63;&#63;</b>"));
    // Le dernier fragment (la remontée) suit le 6e, à sa place dans le modèle.
    const QStringList m = Morceaux("Viterbi.htm");
    EXPECT_LT(t.indexOf("<b>q<sub>2</sub>=&nbsp;"), t.indexOf("<ul><li>q<sub>2</sub>"));
    EXPECT_TRUE(t.endsWith(m.last()));
}

TEST_F(TracesEvaluation, ModeleDeTraceAbsentOuIncomplet)
{
    CalculerForward(p, e);
    GenererTraceForward(p, e, nullptr);
    const QByteArray avant = Octets("Modeles/Trace.htm");
    ASSERT_TRUE(QFile::remove(Chemin("Modeles/Backward.htm")));
    CalculerBackward(p, e);
    try {
        GenererTraceBackward(p, e, nullptr);
        FAIL();
    } catch (const ETrace &x) {
        EXPECT_TRUE(x.Message().contains("Backward.htm"));
    }
    // Rien n'est écrit : l'ancienne trace reste.
    EXPECT_EQ(Octets("Modeles/Trace.htm"), avant);

    // Un modèle de trace qui n'a que deux marqueurs : erreur qui le nomme, rien d'écrit.
    QFile f(Chemin("Modeles/Forward.htm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<p>!!</p><p>!!</p>");
    f.close();
    try {
        GenererTraceForward(p, e, nullptr);
        FAIL();
    } catch (const ETrace &x) {
        EXPECT_TRUE(x.Message().contains("Forward.htm"));
    }
    EXPECT_EQ(Octets("Modeles/Trace.htm"), avant);
}

TEST_F(TracesEvaluation, MarqueursEnTropLaissesEnPlace)
{
    QFile f(Chemin("Modeles/Forward.htm"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("!!|!!|!!|!!|!!|!!");
    f.close();
    CalculerForward(p, e);
    GenererTraceForward(p, e, nullptr);
    EXPECT_TRUE(Texte("Modeles/Trace.htm").endsWith("</b>.|!!"));
}

TEST_F(TracesEvaluation, ResultatsQuiNeCorrespondentPlus)
{
    // α calculé pour T = 2, puis la séquence change sans nouveau calcul : la trace refuse au
    // lieu de lire hors des tables.
    CalculerForward(p, e);
    EspaceTravail autre = e;
    autre.Observations = EspacePour({1, 2, 1}).Observations;
    autre.LongueurSequence = 3;
    EXPECT_THROW(GenererTraceForward(p, autre, nullptr), ETrace);
}

TEST_F(TracesEvaluation, ChoixParDernierAlgorithme)
{
    CalculerForward(p, e);
    EXPECT_FALSE(ProduireTrace("", p, e, nullptr));
    EXPECT_FALSE(ProduireTrace("forward", p, e, nullptr)); // comparaison exacte
    EXPECT_FALSE(QFileInfo::exists(Chemin("Modeles/Trace.htm")));
    EXPECT_TRUE(ProduireTrace("Forward", p, e, nullptr));
    EXPECT_TRUE(Texte("Modeles/Trace.htm").contains("&#945;<sub>t</sub>(E1)"));
    // La trace suivante remplace la précédente.
    CalculerBackward(p, e);
    EXPECT_TRUE(ProduireTrace("Backward", p, e, nullptr));
    EXPECT_FALSE(Texte("Modeles/Trace.htm").contains("&#945;<sub>t</sub>(E1)"));
}

// Trace d'un calcul mis à l'échelle : la case développée avant le tableau, avec ses nombres
// et la valeur de la case, et un tableau borné pour une longue séquence.
TEST_F(TestTrace, EchelleCaseDeveloppeeEtTableauBorne)
{
    const ParametresModele p = ModeleE1E2();
    const struct {
        QString algorithme;
        int T;
        QString debut;                                   // début de la formule développée
        std::function<long double(const EspaceTravail &)> valeur; // la case développée
    } cas[] = {
        {AlgorithmeForward, 2, "&#945;&#771;<sub>2</sub>(E1) = [ &#931;<sub>i</sub> &#945;&#772;<sub>1</sub>(i)",
         [](const EspaceTravail &e) { return e.Alpha[2][1]; }},
        {AlgorithmeBackward, 3, "&#946;&#770;<sub>2</sub>(E1) = c<sub>2</sub> &middot; &#931;<sub>j</sub>",
         [](const EspaceTravail &e) { return e.Beta[2][1]; }},
        {AlgorithmeViterbi, 2, "ln &#948;<sub>2</sub>(E1) = max<sub>i</sub> [ ln &#948;<sub>1</sub>(i)",
         [](const EspaceTravail &e) { return e.Delta[2][1]; }},
        {AlgorithmeForward, 1, "&#945;&#772;<sub>1</sub>(E1) = c<sub>1</sub> &middot; &#960;<sub>E1</sub>",
         [](const EspaceTravail &e) { return e.Alpha[1][1]; }},
        {AlgorithmeForward, 1000, "&#945;&#771;<sub>2</sub>(E1)", [](const EspaceTravail &e) { return e.Alpha[2][1]; }},
    };
    for (const auto &c : cas) {
        std::vector<int> O;
        for (int t = 0; t < c.T; ++t)
            O.push_back(1 + t % 2);
        EspaceTravail e = EspacePour(O);
        if (c.algorithme == AlgorithmeViterbi)
            Decoder(p, e, ModeCalcul::Echelle);
        else
            Evaluer(p, e, c.algorithme == AlgorithmeBackward, ModeCalcul::Echelle);
        const QString d = DocumentEchelle(c.algorithme, p, e, nullptr);
        const QString formule = CaseDeveloppeeEchelle(c.algorithme, p, e);
        EXPECT_TRUE(formule.startsWith("<i>Une case d&eacute;velopp&eacute;e :</i> " + c.debut)) << qPrintable(formule);
        EXPECT_TRUE(formule.endsWith(Nombres::Formater(c.valeur(e)) + "<BR><BR>")) << qPrintable(formule);
        EXPECT_TRUE(d.contains(formule + BaliseTableau));
        EXPECT_EQ(d.contains("instants omis"), c.T > InstantsMontres) << c.T;
    }
}

