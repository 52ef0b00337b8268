// Ce que partagent les traces : nombres, marqueurs, balises, tableaux du modèle, image,
// modèles de trace livrés.
#include "graph/boite.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/image_modele.h"
#include "modeles_test.h"
#include "outils_trace.h"
#include "trace/document_trace.h"
#include "trace/image.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

using namespace Trace;

namespace {
const QString TB = QStringLiteral("<table border=\"1\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: "
                                  "collapse\" bordercolor=\"#111111\" id=\"AutoNumber1\">");
const QString TL = QStringLiteral("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: "
                                  "collapse\" bordercolor=\"#111111\" id=\"AutoNumber1\">");
}

TEST(NombresTrace, FormatGeneralEtExposant)
{
    Nombres::DefinirSeparateur(QChar(','));
    const struct {
        long double x;
        const char *texte, *exposant;
    } cas[] = {
        {0.0L, "0", "0"},
        {1.0L, "1", "1"},
        {0.25L, "0,25", "0,25"},
        {1.5e-7L, "1,5E-7", "1,5.10<sup>-7</sup>"},
        {3.1e-6L, "3,1E-6", "3,1.10<sup>-6</sup>"},
        {3.1e-5L, "0,000031", "0,000031"},
        {2e-12L, "2E-12", "2.10<sup>-12</sup>"},
        {0.00001L, "0,00001", "0,00001"},
        {1.0L / 3.0L, "0,333333333333333", "0,333333333333333"},
    };
    for (const auto &c : cas) {
        EXPECT_EQ(Nombres::Formater(c.x), QString::fromUtf8(c.texte)) << c.texte;
        EXPECT_EQ(FormaterExposant(Nombres::Formater(c.x)), QString::fromUtf8(c.exposant)) << c.texte;
    }
    EXPECT_EQ(FormaterExposant("3,1E-5"), "3,1.10<sup>-5</sup>");
    EXPECT_EQ(FormaterExposant("1E20"), "1.10<sup>20</sup>");
    // Un texte sans "E" ne change pas.
    EXPECT_EQ(FormaterExposant("NAN"), "NAN");
    EXPECT_EQ(FormaterExposant("-INF"), "-INF");
    Nombres::DefinirSeparateur(QChar('.'));
}

TEST(MarqueursTrace, RemplissageDansLOrdreEtSansDecalage)
{
    QString d = "a!!b!!c";
    EXPECT_TRUE(RemplirMarqueur(d, "1"));
    EXPECT_TRUE(RemplirMarqueur(d, "2"));
    EXPECT_EQ(d, "a1b2c");
    EXPECT_FALSE(RemplirMarqueur(d, "3"));
    EXPECT_EQ(d, "a1b2c");
    // Un fragment qui porte un "!!" serait trouvé par la recherche suivante : c'est pourquoi les
    // noms passent par Nom().
    d = "x!!y!!z";
    RemplirMarqueur(d, "p!!q");
    RemplirMarqueur(d, "r");
    EXPECT_EQ(d, "xprqy!!z");
    EXPECT_THROW(RemplirMarqueurOuEchouer(d = "rien", "f", "Modeles/X.htm"), ETrace);
}

TEST(MarqueursTrace, NomsProteges)
{
    const struct {
        const char *nom, *page;
    } cas[] = {
        {"E1", "E1"},
        {"a<b&c", "a<b&c"}, // balises et entités passent telles quelles
        {"Oui!", "Oui!"},
        {"a?b", "a?b"},
        {"x!!y", "x&#33;&#33;y"},
        {"q???", "q&#63;&#63;&#63;"},
        {"!!?", "&#33;&#33;&#63;"},
    };
    for (const auto &c : cas)
        EXPECT_EQ(Nom(QString::fromUtf8(c.nom)), QString::fromUtf8(c.page)) << c.nom;
}

TEST(TablesTrace, BalisesEtCellules)
{
    EXPECT_EQ(BaliseTableau, TB);
    EXPECT_EQ(BaliseDisposition, TL);
    EXPECT_EQ(P11, "<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;");
    EXPECT_EQ(P11B, P11 + "<b>");
    EXPECT_EQ(FragmentImage, "<img src=\"A_directe_fichiers/Hmm.bmp\"></img>");
    EXPECT_EQ(CelluleEtat("E1"), H("E1"));
    EXPECT_EQ(CelluleSymbole("a"), H("'a'"));
    EXPECT_EQ(CelluleValeur("0.5"), V("0.5"));
    EXPECT_EQ(EnteteLigne("t=1"), R("t=1"));
}

TEST(TablesTrace, ModeleE1E2)
{
    const ParametresModele p = ModeleE1E2();
    const QString attendu =
        "<i>Le tableau &#960; :</i><BR>" + TB + "<tr><td>&nbsp;</td>" + H("E1") + H("E2") +
        "</tr><tr><td><b>&nbsp;START&nbsp;</b></td>" + V("0.5") + V("0.5") + "</tr></table><BR>" + TL +
        "<tr><td width=40%><i>La matrice de transitions A :</i><BR>" + TB + "<tr><td>&nbsp;</td>" + H("E1") + H("E2") +
        "</tr>" + R("E1") + V("0.7") + V("0.3") + "</tr>" + R("E2") + V("0.4") + V("0.6") + "</tr>" +
        "</table></td><td>&nbsp;</td><td width=40%>" + "<i>La matrice de génération B :</i><BR>" + TB +
        "<tr><td>&nbsp;</td>" + H("'a'") + H("'b'") + "</tr>" + R("E1") + V("0.9") + V("0.1") + "</tr>" + R("E2") +
        V("0.2") + V("0.8") + "</tr>" + "</table></td></tr></table><BR>";
    EXPECT_EQ(FragmentTablesModele(p, false), attendu);
    QString doc = "<p>!!</p><p>!!</p>";
    EcrireTablesModele(doc, p, false);
    EXPECT_EQ(doc, "<p>" + attendu + "</p><p>!!</p>");
}

TEST(TablesTrace, UnEtatUnSymboleEtExposants)
{
    ParametresModele p = ParametresTextes({"S<1>"}, {"&"}, {"1"}, {{"1"}}, {{"0.000002"}});
    const QString attendu = "<i>Le tableau &#960; :</i><BR>" + TB + "<tr><td>&nbsp;</td>" + H("S<1>") +
                            "</tr><tr><td><b>&nbsp;START&nbsp;</b></td>" + V("1") + "</tr></table><BR>" + TL +
                            "<tr><td width=40%><i>La matrice de transitions A :</i><BR>" + TB + "<tr><td>&nbsp;</td>" +
                            H("S<1>") + "</tr>" + R("S<1>") + V("1") + "</tr>" +
                            "</table></td><td>&nbsp;</td><td width=40%><i>La matrice de génération B :</i><BR>" + TB +
                            "<tr><td>&nbsp;</td>" + H("'&'") + "</tr>" + R("S<1>") + V("%1") + "</tr>" +
                            "</table></td></tr></table><BR>";
    EXPECT_EQ(FragmentTablesModele(p, false), attendu.arg("2E-6"));
    EXPECT_EQ(FragmentTablesModele(p, true), attendu.arg("2.10<sup>-6</sup>"));
}

class DocumentTrace : public TestTrace {};

TEST_F(DocumentTrace, ObservationsEtSymbolesInconnus)
{
    const ParametresModele p = ModeleE1E2();
    EspaceTravail e = EspacePour({1, 2, 1});
    EXPECT_EQ(TexteObservations(p, e), "\"a-b-a\"");
    // Un morceau qui n'est pas un symbole (O = 0) laisse une place vide.
    e = EspacePour({2, 0, 2});
    EXPECT_EQ(TexteObservations(p, e), "\"b--b\"");
    // Une observation hors de 0..M ne lit jamais hors du tableau des symboles.
    e = EspacePour({1, 7});
    EXPECT_THROW(TexteObservations(p, e), EHorsBornes);
}

TEST_F(DocumentTrace, ImageDuModeleSansFenetre)
{
    DocumentModele d;
    ConstruireE1E2(d);
    // Le sous-répertoire de l'image n'existe pas encore : il est créé.
    ASSERT_FALSE(QDir(Chemin("Modeles/A_directe_fichiers")).exists());
    ExporterImageModele(::ImageModele::RendreModele(d.Contenu()));
    QImageReader lecteur(Chemin("Modeles/A_directe_fichiers/Hmm.bmp"));
    EXPECT_EQ(lecteur.format(), "bmp");
    const QImage image = lecteur.read();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(500, 400));
    // Le graphe est dessiné : l'image n'est pas d'une seule couleur.
    const QImage reduite = image.convertToFormat(QImage::Format_RGB32);
    bool varie = false;
    for (int y = 0; y < reduite.height() && !varie; y += 3)
        for (int x = 0; x < reduite.width() && !varie; x += 3)
            varie = reduite.pixel(x, y) != reduite.pixel(0, 0);
    EXPECT_TRUE(varie);
}

// Sans contrôle, le modèle est dessiné depuis sa valeur : pixel pour pixel l'image des
// contrôles (boucles, paires aller-retour, arcs simples, noms coupés, boîtes élargies).
TEST_F(DocumentTrace, ImageDepuisLaValeurEgaleAuxControles)
{
    for (const char *nom : {"e1e2.hmm", "meteo.hmm", "gauche_droite.hmm"}) {
        SCOPED_TRACE(nom);
        DocumentModele d;
        QString erreur;
        ASSERT_EQ(d.DessinerFichier(QStringLiteral(HMM_EXEMPLES "/") + nom, &erreur), Chargement::Reussi)
            << erreur.toStdString();
        const ContenuModele c = d.Contenu();
        const QImage controles = ::ImageModele::RendreModele(d);
        EXPECT_EQ(::ImageModele::RendreModele(c), controles);
        // Une boîte trop étroite pour son nom s'élargit au dessin, des deux côtés.
        DocumentModele etroit;
        ContenuModele e = c;
        e.Etats.last().Width = 20;
        ASSERT_EQ(etroit.ChargerLignes(FichierModele::Ecrire(e), false, "x", &erreur), Chargement::Reussi);
        EXPECT_EQ(::ImageModele::RendreModele(e), ::ImageModele::RendreModele(etroit));
    }
}

// L'image de la trace : 500 × 400 pour un petit modèle ; un modèle étalé agrandit l'image
// plutôt que de descendre sous l'échelle lisible (0,7), jusqu'à 1600 × 1200.
TEST_F(DocumentTrace, ImageLisibleQuelleQueSoitLEtendue)
{
    // Largeur des pixels non blancs : le dessin du modèle.
    auto largeurDessin = [](const QImage &im) {
        int g = im.width(), d = -1;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                if (im.pixelColor(x, y) != QColor(Qt::white)) {
                    g = std::min(g, x);
                    d = std::max(d, x);
                }
        return d - g + 1;
    };
    const struct {
        int xE2, largeurSurface;
        QSize tailleMin, tailleMax;
        double echelleMin;
    } cas[] = {
        {0, 2000, {500, 400}, {500, 400}, 1.0},
        {1800, 1000, {501, 400}, {1600, 1200}, 0.69}, // surface sans fenêtre plus étroite que le modèle
        {4000, 5000, {1600, 400}, {1600, 1200}, 0.39},
    };
    for (const auto &c : cas) {
        DocumentModele d;
        ConstruireE1E2(d);
        if (c.xE2) {
            d.DeplacerEtat(d.Etat(2), QPoint(c.xE2, d.Etat(2)->Top()));
        }
        d.GrapheVue()->DefinirTailleSurface(QSize(c.largeurSurface, 700));
        const QImage image = Trace::ImageModele(::ImageModele::RendreModele(d));
        EXPECT_GE(image.width(), c.tailleMin.width()) << c.xE2;
        EXPECT_GE(image.height(), c.tailleMin.height()) << c.xE2;
        EXPECT_LE(image.width(), c.tailleMax.width()) << c.xE2;
        EXPECT_LE(image.height(), c.tailleMax.height()) << c.xE2;
        const double modele = ::ImageModele::Etendue(d, 10).width();
        EXPECT_GE(largeurDessin(image.convertToFormat(QImage::Format_RGB32)), c.echelleMin * (modele - 30)) << c.xE2;
    }
}

TEST_F(DocumentTrace, ImageImpossibleAEcrire)
{
    DocumentModele d;
    ConstruireE1E2(d);
    // Un fichier ordinaire à la place du répertoire de l'image.
    QFile f(Chemin("Modeles/A_directe_fichiers"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    try {
        ExporterImageModele(::ImageModele::RendreModele(d));
        FAIL() << "l'écriture aurait dû échouer";
    } catch (const ETrace &x) {
        EXPECT_TRUE(x.Message().contains("Hmm.bmp")) << x.Message().toStdString();
    }
}

TEST_F(DocumentTrace, FichierAbsentNomme)
{
    try {
        LireModele("Absent.htm");
        FAIL();
    } catch (const ETrace &x) {
        EXPECT_TRUE(x.Message().contains("Absent.htm"));
        EXPECT_TRUE(x.Message().contains("introuvable"));
    }
}

// Les six modèles livrés : Windows-1252 déclaré, CR LF, marqueurs exacts et dans l'ordre.
TEST_F(DocumentTrace, ModelesLivres)
{
    const struct {
        const char *nom;
        int marqueurs;
        int journalApres; // nombre de "!!" avant "???", -1 sans journal
    } cas[] = {
        {"A_directe.htm", 7, -1}, {"Forward.htm", 5, -1},     {"Backward.htm", 5, -1},
        {"Viterbi.htm", 7, -1},   {"AppBaumWelch.htm", 5, 4}, {"AppViterbi.htm", 4, 3},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(c.nom);
        const QByteArray octets = Octets(QStringLiteral("Modeles/") + c.nom);
        ASSERT_FALSE(octets.isEmpty());
        EXPECT_TRUE(octets.contains("charset=windows-1252"));
        // Chaque fin de ligne est CR LF ; aucun octet n'est de l'UTF-8 déguisé.
        EXPECT_EQ(octets.count("\n"), octets.count("\r\n"));
        EXPECT_FALSE(octets.contains("\xC3\xA9"));
        const QString t = Texte(QStringLiteral("Modeles/") + c.nom);
        EXPECT_EQ(t.count("!!"), c.marqueurs);
        EXPECT_EQ(t.count("!!!"), 0);
        if (c.journalApres < 0) {
            EXPECT_FALSE(t.contains("??"));
        } else {
            EXPECT_EQ(t.count("???"), 1);
            EXPECT_EQ(t.count("??"), 2); // les deux paires, chevauchantes, du seul "???"
            EXPECT_EQ(t.left(t.indexOf("???")).count("!!"), c.journalApres);
        }
    }
}
