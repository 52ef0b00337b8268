// Dessin de la surface et des boîtes sur une image hors écran.
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QColor Bleu = VersQColor(Couleurs::Bleu);

QImage Rendu(THmm &g, QPoint decalage = {})
{
    QImage im(g.width() + 2 * decalage.x(), g.height() + 2 * decalage.y(), QImage::Format_RGB32);
    im.fill(Qt::gray);
    QPainter p(&im);
    p.translate(decalage);
    g.Dessiner(p);
    return im;
}

QImage Rendu(TEtat2 &e)
{
    QImage im(e.width(), e.height(), QImage::Format_RGB32);
    im.fill(Qt::white);
    QPainter p(&im);
    e.Dessiner(p);
    return im;
}

int Compter(const QImage &im, QRect zone, const std::function<bool(QColor)> &test)
{
    int n = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            n += test(im.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool EstBleu(QColor c)
{
    return c == Bleu;
}

// Texte rouge, lissé ou non.
bool EstRougeatre(QColor c)
{
    return c.red() > c.green() + 60 && c.red() > c.blue() + 60;
}

// Arc horizontal de (60, 100) à (200, 100) sur une surface 400 x 200.
struct SurfaceUnArc {
    SurfaceUnArc()
    {
        g.resize(400, 200);
        g.DessinerARC(10, 90, 50, 20, 200, 90, 50, 20, -1, 1, 2);
        g.Etiquette[1] = "0,75";
    }
    THmm g;
};

} // namespace

TEST(Dessin, ArcSurligneLargeDeTroisPixels)
{
    for (bool surligne : {false, true}) {
        SurfaceUnArc s;
        s.g.ArcSurligne[1] = surligne;
        const QImage im = Rendu(s.g);
        EXPECT_EQ(Compter(im, QRect(80, 90, 1, 21), EstBleu), surligne ? 3 : 1);
        EXPECT_EQ(im.pixelColor(80, 100), Bleu);
    }
}

TEST(Dessin, EtiquetteMasqueeLaisseLArc)
{
    SurfaceUnArc s;
    const QRect zoneEtiquette(100, 85, 60, 30);
    EXPECT_GT(Compter(Rendu(s.g), zoneEtiquette, EstRougeatre), 0);
    s.g.EtiquetteVisible[1] = false;
    const QImage im = Rendu(s.g);
    EXPECT_EQ(Compter(im, zoneEtiquette, EstRougeatre), 0);
    EXPECT_EQ(im.pixelColor(130, 100), Bleu); // sous l'étiquette
    EXPECT_EQ(im.pixelColor(195, 103), Bleu); // aile de la flèche
}

TEST(Dessin, FondEtBordure)
{
    SurfaceUnArc s;
    s.g.DefautFond = false;
    s.g.CouleurFond = 0x00FFFF; // jaune
    const QImage im = Rendu(s.g);
    EXPECT_EQ(im.pixelColor(0, 50), QColor(Qt::black));
    EXPECT_EQ(im.pixelColor(399, 199), QColor(Qt::black));
    EXPECT_EQ(im.pixelColor(20, 20), QColor(Qt::yellow));
}

// Arc de longueur nulle (boîtes qui se chevauchent) : pointe en (0, 0) vers la droite.
TEST(Dessin, FlecheDeLArcNulDansLeCoin)
{
    THmm g;
    g.resize(100, 100);
    g.DessinerARC(10, 10, 50, 50, 20, 20, 50, 50, -1, 1, 2);
    ASSERT_EQ(g.PointsARC[1][2], QPoint(0, 0));
    g.EtiquetteVisible[1] = false;
    EXPECT_EQ(Rendu(g).pixelColor(0, 0), Bleu);
    const QImage im = Rendu(g, {30, 30});
    EXPECT_GT(Compter(im, QRect(15, 15, 15, 31), EstBleu), 20);
    EXPECT_EQ(Compter(im, QRect(31, 15, 15, 31), EstBleu), 0);
}

// Pointe horizontale en (200, 100) : remplie jusqu'à l'encoche, vide derrière.
TEST(Dessin, StylesDeFleche)
{
    struct Cas {
        int type, encoche;
    } cas[] = {{1, 189}, {2, 193}, {3, 197}, {0, 197}};
    for (const Cas &c : cas) {
        THmm g;
        g.resize(300, 200);
        g.TypeFleche = c.type;
        g.ModeTrace = 2;
        QImage im(300, 200, QImage::Format_RGB32);
        im.fill(Qt::white);
        QPainter p(&im);
        g.Fleche(p, 100, 100, 200, 100, Couleurs::Bleu, -1);
        p.end();
        EXPECT_EQ(im.pixelColor(c.encoche + 1, 100), Bleu) << c.type;
        EXPECT_NE(im.pixelColor(c.encoche - 2, 100), Bleu) << c.type;
        EXPECT_EQ(im.pixelColor(190, 109), Bleu) << c.type;
        EXPECT_NE(im.pixelColor(150, 100), Bleu) << c.type; // pas de trait en mode 2
        // Même flèche vers la gauche (x2 < x1 : angle + pi), pointe en (100, 100).
        im.fill(Qt::white);
        p.begin(&im);
        g.Fleche(p, 200, 100, 100, 100, Couleurs::Bleu, -1);
        p.end();
        EXPECT_EQ(im.pixelColor(300 - (c.encoche + 1), 100), Bleu) << c.type;
        EXPECT_NE(im.pixelColor(300 - (c.encoche - 2), 100), Bleu) << c.type;
    }
}

// Boucle : cercle centré sur le coin intérieur de la boîte, étiquette au-dessus.
TEST(Dessin, BoucleEtSonEtiquette)
{
    THmm g;
    g.resize(300, 200);
    const int i = g.DessinerARC(100, 100, 80, 40, 100, 100, 80, 40, -1, 1, 1);
    g.Etiquette[i] = "0,5";
    const QImage im = Rendu(g);
    EXPECT_EQ(im.pixelColor(80, 100), Bleu);  // gauche
    EXPECT_EQ(im.pixelColor(120, 100), Bleu); // droite
    EXPECT_EQ(im.pixelColor(100, 100), QColor(Qt::white));
    // Étiquette posée 2 R + 7 au-dessus de la fin de la boucle (y = 74), sur le haut du cercle.
    EXPECT_GT(Compter(im, QRect(80, 74, 40, 10), EstRougeatre), 0);
    EXPECT_EQ(Compter(im, QRect(0, 0, 300, 72), EstRougeatre), 0);
    EXPECT_EQ(Compter(im, QRect(60, 95, 80, 60), EstRougeatre), 0);
}

// Paire : arcs de cercle de part et d'autre de la corde, étiquette ancrée sur l'arc.
TEST(Dessin, PaireEnArcsDeCercle)
{
    THmm g;
    g.resize(600, 400);
    g.DessinerARC(50, 180, 100, 40, 400, 180, 100, 40, -1, 1, 2);
    g.DessinerARC(400, 180, 100, 40, 50, 180, 100, 40, -1, 2, 1);
    g.EtiquetteVisible[1] = g.EtiquetteVisible[2] = false;
    const QImage im = Rendu(g);
    for (int k : {1, 2}) {
        const QPoint a = g.PosEtiquette[k];
        EXPECT_NEAR(std::hypot(a.x() - g.CentreCourbe[k].x(), a.y() - g.CentreCourbe[k].y()), g.RayonCourbe[k], 1.5);
        EXPECT_GT(Compter(im, QRect(a - QPoint(1, 1), QSize(3, 3)), EstBleu), 0) << k;
        const QPoint p2 = g.PointsARC[k][2];
        EXPECT_GT(Compter(im, QRect(p2 - QPoint(3, 3), QSize(7, 7)), EstBleu), 5) << k;
    }
    EXPECT_LT(g.PosEtiquette[1].y(), 200); // vers la droite : au-dessus
    EXPECT_GT(g.PosEtiquette[2].y(), 200);
    EXPECT_EQ(Compter(im, QRect(200, 195, 150, 10), EstBleu), 0); // rien sur la corde
}

TEST(Dessin, PoigneesDeSelection)
{
    SurfaceUnArc s;
    s.g.ArcSelectionne[1] = true;
    const QImage im = Rendu(s.g);
    for (int x : {60, 95, 130, 165, 200}) // extrémités, milieu et quarts
        EXPECT_EQ(im.pixelColor(x - 2, 98), QColor(Qt::black)) << x;
}

TEST(DessinEtat, StartSansSeparateurNiPaires)
{
    for (const char *nom : {"START", "Etat_1"}) {
        TEtat2 e;
        e.Nom = nom;
        e.NbSymboles = 1;
        e.Generation[1][1] = "a";
        e.Generation[1][2] = "0,5";
        e.resize(120, 60);
        const QImage im = Rendu(e);
        const bool start = QString(nom) == "START";
        EXPECT_EQ(Compter(im, QRect(10, 22, 100, 1), EstBleu), start ? 0 : 100) << nom;
        EXPECT_EQ(Compter(im, QRect(2, 24, 116, 30), [](QColor c) { return c.lightness() < 80; }) > 0, !start) << nom;
        EXPECT_GT(Compter(im, QRect(2, 2, 116, 18), EstRougeatre), 0) << nom;
    }
}

TEST(DessinEtat, LargeurGranditSansJamaisRetrecir)
{
    TEtat2 e;
    e.Nom = "E";
    e.NbSymboles = 1;
    e.Generation[1][1] = "un_symbole_assez_long";
    e.Generation[1][2] = "0,125";
    e.resize(40, 60);
    QFont police = e.font();
    police.setPointSize(8);
    const int w = QFontMetrics(police, &e.Image).horizontalAdvance("un_symbole_assez_long : 0,125");
    ASSERT_GT(w, 40);
    Rendu(e);
    EXPECT_EQ(e.width(), w + 30);
    EXPECT_EQ(e.Image.width(), w + 26);
    e.resize(w + 10, 60); // trop étroite pour le retrait de 15 pixels des paires : élargie
    Rendu(e);
    EXPECT_EQ(e.width(), w + 30);
    e.resize(w + 40, 60); // déjà assez large : inchangée
    Rendu(e);
    EXPECT_EQ(e.width(), w + 40);
    e.resize(500, 60);
    Rendu(e);
    EXPECT_EQ(e.width(), 500);
}

TEST(DessinEtat, PoigneesQuandSelectionnee)
{
    TEtat2 e;
    e.Nom = "X";
    e.resize(80, 50);
    EXPECT_NE(Rendu(e).pixelColor(0, 0), QColor(Qt::black));
    e.Selectionne = true;
    const QImage im = Rendu(e);
    for (QPoint p : {QPoint(0, 0), QPoint(79, 49), QPoint(38, 0), QPoint(0, 23), QPoint(79, 26)})
        EXPECT_EQ(im.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
}

// La boîte tient tout le texte de ses paires, retrait compris ; un nom trop long est coupé et
// donné entier dans la bulle, comme les valeurs arrondies à l'affichage.
TEST(DessinEtat, LaBoiteTientSonTexte)
{
    Nombres::DefinirChiffresAffiches(Nombres::ChiffresTous);
    TEtat2 e;
    e.Nom = "E";
    e.NbSymboles = 1;
    e.Generation[1][1] = "symbole_tres_long_xyz";
    e.Generation[1][2] = "0.123456789";
    e.resize(100, 60);
    QFont police = e.font();
    police.setPointSize(8);
    const int w = QFontMetrics(police, &e.Image).horizontalAdvance(
        "symbole_tres_long_xyz : " + Nombres::TexteAffiche("0.123456789"));
    Rendu(e);
    EXPECT_GE(e.width(), 2 + 15 + w + 2);
    EXPECT_TRUE(e.toolTip().isEmpty() || Nombres::Separateur() != QLatin1Char('.'));

    e.Nom = QString(41, QLatin1Char('N'));
    e.resize(100, 60);
    Nombres::DefinirChiffresAffiches(4);
    Rendu(e);
    EXPECT_LE(e.width(), TEtat2::LargeurMax);
    EXPECT_TRUE(e.toolTip().startsWith(e.Nom + "\n")) << e.toolTip().toStdString();
    EXPECT_TRUE(e.toolTip().contains("0.123456789"));
    Nombres::DefinirChiffresAffiches(Nombres::ChiffresParDefaut);
}
