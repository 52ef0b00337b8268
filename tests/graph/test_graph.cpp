// Tables d'arcs, géométrie et recherche de l'arc sous la souris.
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

struct Boite {
    int x, y, l, h;
};

int Arc(THmm &g, Boite s, Boite d, int source, int destination, int i = -1)
{
    return g.DessinerARC(s.x, s.y, s.l, s.h, d.x, d.y, d.l, d.h, i, source, destination);
}

// Le point est sur le bord de la boîte, à la troncature près.
bool SurBord(QPoint p, Boite b)
{
    const bool dansX = p.x() >= b.x - 1 && p.x() <= b.x + b.l + 1;
    const bool dansY = p.y() >= b.y - 1 && p.y() <= b.y + b.h + 1;
    const bool cote = std::abs(p.x() - b.x) <= 1 || std::abs(p.x() - b.x - b.l) <= 1 || std::abs(p.y() - b.y) <= 1 ||
                      std::abs(p.y() - b.y - b.h) <= 1;
    return dansX && dansY && cote;
}

double Distance(QPoint a, QPoint b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

struct CasArcSimple {
    const char *nom;
    Boite b1, b2;
    QPoint S, E;
};

class ArcSimple : public ::testing::TestWithParam<CasArcSimple> {};

TEST_P(ArcSimple, PointsAttache)
{
    const CasArcSimple &c = GetParam();
    THmm g;
    ASSERT_EQ(Arc(g, c.b1, c.b2, 1, 2), 1);
    EXPECT_EQ(g.PointsARC[1][1], c.S);
    EXPECT_EQ(g.PointsARC[1][2], c.E);
    EXPECT_EQ(g.Etiquette[1], "??");
    EXPECT_EQ(g.ARC[1][1], 1);
    EXPECT_EQ(g.ARC[1][2], 2);
}

INSTANTIATE_TEST_SUITE_P(
    Geometrie, ArcSimple,
    ::testing::Values(
        CasArcSimple{"CoteACote", {10, 10, 100, 40}, {200, 10, 100, 40}, {110, 30}, {200, 30}},
        CasArcSimple{"CoteACoteVersLaGauche", {200, 10, 100, 40}, {10, 10, 100, 40}, {200, 30}, {110, 30}},
        // Centres alignés : c2.x décalé d'un pixel, sortie par le bas, entrée par le haut.
        CasArcSimple{"AuDessus", {10, 10, 100, 40}, {10, 110, 100, 40}, {59, 50}, {59, 110}},
        CasArcSimple{"AuDessous", {10, 110, 100, 40}, {10, 10, 100, 40}, {59, 110}, {59, 50}},
        CasArcSimple{"Diagonale", {10, 10, 100, 40}, {300, 200, 100, 40}, {90, 50}, {319, 200}},
        CasArcSimple{"Chevauchement6", {100, 100, 100, 40}, {194, 134, 100, 40}, {0, 0}, {0, 0}},
        CasArcSimple{"Chevauchement5Horizontal", {100, 100, 100, 40}, {195, 134, 100, 40}, {200, 137}, {195, 136}},
        CasArcSimple{"Chevauchement5Vertical", {100, 100, 100, 40}, {194, 135, 100, 40}, {200, 138}, {194, 136}}),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(Geometrie, EtiquetteAuMilieuEtBoucle)
{
    THmm g;
    Arc(g, {10, 10, 100, 40}, {200, 10, 100, 40}, 1, 2);
    EXPECT_EQ(g.PosEtiquette[1], QPoint(155, 30));
    for (int rayon : {20, 30}) {
        g.RayonBoucle = rayon;
        const int i = Arc(g, {50, 60, 100, 40}, {50, 60, 100, 40}, 3, 3);
        EXPECT_EQ(g.PointsARC[i][1], QPoint(45, 60 + rayon - 1));
        EXPECT_EQ(g.PointsARC[i][2], QPoint(50, 60 + rayon + 1));
        EXPECT_EQ(g.PosEtiquette[i], QPoint(50, 60 - rayon));
    }
}

// Paire aller-retour, créée dans les deux ordres : l'arc vers la droite passe au-dessus
// de la ligne des centres, l'arc vers la gauche au-dessous.
class PaireAllerRetour : public ::testing::TestWithParam<bool> {};

TEST_P(PaireAllerRetour, CourbesEtAffectationDesCercles)
{
    const Boite gauche{10, 10, 100, 40}, droite{300, 10, 100, 40};
    THmm g;
    int versDroite, versGauche;
    if (GetParam()) {
        versDroite = Arc(g, gauche, droite, 1, 2);
        versGauche = Arc(g, droite, gauche, 2, 1);
    } else {
        versGauche = Arc(g, droite, gauche, 2, 1);
        versDroite = Arc(g, gauche, droite, 1, 2);
    }
    EXPECT_EQ(g.PointsARC[versDroite][1], QPoint(102, 10));
    EXPECT_EQ(g.PointsARC[versDroite][2], QPoint(307, 10));
    EXPECT_EQ(g.CentreCourbe[versDroite], QPoint(205, 281));
    EXPECT_EQ(g.PointsARC[versGauche][1], QPoint(307, 50));
    EXPECT_EQ(g.PointsARC[versGauche][2], QPoint(102, 50));
    EXPECT_EQ(g.CentreCourbe[versGauche], QPoint(205, -221));
    for (int k : {versDroite, versGauche}) {
        EXPECT_EQ(g.RayonCourbe[k], 290);
        for (int e : {1, 2})
            EXPECT_NEAR(Distance(g.PointsARC[k][e], g.CentreCourbe[k]), 290, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Geometrie, PaireAllerRetour, ::testing::Bool());

TEST(Geometrie, PaireDiagonaleSurLesBords)
{
    const Boite a{50, 300, 90, 40}, b{400, 60, 120, 50};
    THmm g;
    Arc(g, a, b, 1, 2);
    Arc(g, b, a, 2, 1);
    EXPECT_TRUE(SurBord(g.PointsARC[1][1], a));
    EXPECT_TRUE(SurBord(g.PointsARC[1][2], b));
    EXPECT_TRUE(SurBord(g.PointsARC[2][1], b));
    EXPECT_TRUE(SurBord(g.PointsARC[2][2], a));
    EXPECT_NE(g.CentreCourbe[1], g.CentreCourbe[2]);
}

TEST(Geometrie, SuppressionDUnArcDeLaPaire)
{
    const Boite gauche{10, 10, 100, 40}, droite{300, 10, 100, 40};
    THmm g;
    Arc(g, gauche, droite, 1, 2);
    Arc(g, droite, gauche, 2, 1);
    g.SuppARC(2);
    // Le survivant garde ses points courbes jusqu'au prochain déplacement d'une boîte.
    EXPECT_EQ(g.PointsARC[1][1], QPoint(102, 10));
    Arc(g, gauche, droite, 1, 2, 1);
    EXPECT_EQ(g.PointsARC[1][1], QPoint(110, 30));
    EXPECT_EQ(g.PointsARC[1][2], QPoint(300, 30));
}

TEST(Geometrie, PaireDeBoitesQuiSeTouchentHorsDeLaSurface)
{
    const Boite a{100, 100, 100, 40}, b{199, 139, 100, 40};
    THmm g;
    Arc(g, a, b, 1, 2);
    EXPECT_NE(g.PointsARC[1][1], QPoint(0, 0)); // recouvrement de 1 : arc simple normal
    Arc(g, b, a, 2, 1);
    for (int k : {1, 2}) {
        EXPECT_EQ(g.PointsARC[k][1], QPoint(-5, -5));
        EXPECT_EQ(g.PointsARC[k][2], QPoint(-5, -5));
        EXPECT_EQ(g.CentreCourbe[k], QPoint(-111, -111));
        EXPECT_EQ(g.RayonCourbe[k], 106);
    }
}

// Cas que les formules ne couvrent pas : tout reste fini et borné.
TEST(Geometrie, CasDegeneresFinis)
{
    const Boite cas[][2] = {
        {{10, 10, 4, 4}, {10, 10, 4, 4}},       // centres confondus
        {{10, 10, 0, 0}, {10, 10, 0, 0}},       // boîtes réduites à un point
        {{10, 10, 0, 0}, {20, 10, 0, 0}},       // candidats manqués d'un arrondi
        {{10, 10, 0, 0}, {10, 30, 0, 0}},
        {{10, 10, -8, -8}, {100, 10, -8, -8}},  // tailles négatives
        {{0, 0, 100, 40}, {200000000, 0, 100, 40}},
        {{0, 0, 100, 40}, {0, 0, 100, 40}},
        {{100000000, 0, 100, 40}, {100000000, 50, 100, 40}}, // décalage d'un pixel perdu en float
    };
    for (const auto &c : cas) {
        THmm g;
        Arc(g, c[0], c[1], 1, 2);
        Arc(g, c[1], c[0], 3, 4);
        Arc(g, c[1], c[0], 4, 3); // paire 3 <-> 4
        g.DoubleARC(c[0].x, c[0].y, c[0].l, c[0].h, c[1].x, c[1].y, c[1].l, c[1].h);
        const auto &r = g.ResultatDouble;
        for (float v : {r.PointA1.x, r.PointA1.y, r.PointA2.x, r.PointA2.y, r.PointB1.x, r.PointB1.y, r.PointB2.x,
                        r.PointB2.y, r.CentreA.x, r.CentreA.y, r.CentreB.x, r.CentreB.y, r.Rayon})
            EXPECT_TRUE(std::isfinite(v));
        for (int k = 1; k <= 3; ++k)
            for (QPoint p : {g.PointsARC[k][1], g.PointsARC[k][2], g.PosEtiquette[k], g.CentreCourbe[k]})
                EXPECT_LE(std::max(std::abs(p.x()), std::abs(p.y())), 1000000000);
        EXPECT_EQ(g.Verifier(12, 12) >= -1, true);
    }
}

TEST(Geometrie, CapaciteDesArcs)
{
    THmm g;
    for (int k = 1; k <= THmm::CapaciteArcs; ++k)
        ASSERT_EQ(Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, k, k + 1), k);
    EXPECT_EQ(Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 500, 501), -1);
    EXPECT_EQ(g.NbArcs, THmm::CapaciteArcs);
    EXPECT_EQ(g.ARC[99][1], 0);
    EXPECT_TRUE(g.Etiquette[99].isEmpty());
    EXPECT_EQ(Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 1, 2, 99), -1); // index hors table
}

// Recherche de l'arc sous la souris sur un graphe fixe :
// 1 = arc droit 1 -> 2, 2 = boucle sur 3, 3 = 4 -> 5 (au-dessus), 4 = 5 -> 4 (au-dessous).
class Verification : public ::testing::TestWithParam<std::tuple<int, int, int>> {
protected:
    void SetUp() override
    {
        Arc(g, {10, 10, 100, 40}, {200, 10, 100, 40}, 1, 2);
        Arc(g, {400, 300, 100, 40}, {400, 300, 100, 40}, 3, 3);
        Arc(g, {100, 500, 100, 40}, {400, 500, 100, 40}, 4, 5);
        Arc(g, {400, 500, 100, 40}, {100, 500, 100, 40}, 5, 4);
    }
    THmm g;
};

TEST_P(Verification, ArcTouche)
{
    const auto [x, y, attendu] = GetParam();
    for (bool &s : g.ArcSelectionne)
        s = true;
    EXPECT_EQ(g.Verifier(x, y), attendu);
    for (int k = 0; k < THmm::Taille; ++k)
        EXPECT_EQ(g.ArcSelectionne[k], k == attendu) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Geometrie, Verification,
    ::testing::Values(std::make_tuple(155, 34, 1), std::make_tuple(155, 26, 1), // 4 pixels à côté
                      std::make_tuple(155, 37, -1), std::make_tuple(250, 30, -1), // prolongement dans la boîte 2
                      std::make_tuple(60, 30, -1), std::make_tuple(414, 314, 2), // boucle cachée par la boîte
                      std::make_tuple(400, 282, 2), std::make_tuple(400, 300, -1),
                      std::make_tuple(300, 481, 3), std::make_tuple(300, 558, 4), std::make_tuple(300, 520, -1),
                      std::make_tuple(900, 900, -1)));

TEST(Geometrie, ArcDroitPrioritaireSurLaBoucle)
{
    THmm g;
    Arc(g, {400, 300, 100, 40}, {400, 300, 100, 40}, 1, 1);
    Arc(g, {300, 270, 50, 20}, {500, 270, 50, 20}, 2, 3);
    EXPECT_EQ(g.Verifier(400, 280), 2);
    EXPECT_EQ(g.Verifier(380, 300), 1);
}

TEST(Tables, SuppETATRenumerote)
{
    THmm g;
    const Boite b{0, 0, 10, 10}, c{100, 0, 10, 10};
    Arc(g, b, c, 1, 3);
    Arc(g, c, c, 3, 3);
    Arc(g, b, c, 2, 1);
    Arc(g, b, c, 0, 2);
    g.SuppETAT(2);
    ASSERT_EQ(g.NbArcs, 2);
    EXPECT_EQ(g.ARC[1][1], 1);
    EXPECT_EQ(g.ARC[1][2], 2);
    EXPECT_EQ(g.ARC[2][1], 2);
    EXPECT_EQ(g.ARC[2][2], 2);

    THmm h;
    Arc(h, b, c, 0, 1);
    Arc(h, b, c, 2, 3);
    Arc(h, b, c, 1, 0);
    h.SuppETAT(0);
    ASSERT_EQ(h.NbArcs, 1);
    EXPECT_EQ(h.ARC[1][1], 2);
    EXPECT_EQ(h.ARC[1][2], 3);
}

TEST(Tables, ExisteARCRendLeDernier)
{
    THmm g;
    Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 1, 2);
    Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 2, 3);
    Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 1, 2);
    EXPECT_EQ(g.ExisteARC(1, 2), 3);
    EXPECT_EQ(g.ExisteARC(2, 1), -1);
}

TEST(Tables, ActualiserSupprimeLesZeros)
{
    Nombres::DefinirSeparateur(QChar('.'));
    THmm g;
    const QString etiquettes[] = {"0", "??", "0.0", "0,25", "0,0", "1"};
    for (int k = 0; k < 6; ++k)
        Arc(g, {0, 0, 10, 10}, {100, 0, 10, 10}, 1, 2);
    for (int k = 0; k < 6; ++k)
        g.Etiquette[k + 1] = etiquettes[k];
    g.Actualiser();
    ASSERT_EQ(g.NbArcs, 3);
    EXPECT_EQ(g.Etiquette[1], "??");
    EXPECT_EQ(g.Etiquette[2], "0,25");
    EXPECT_EQ(g.Etiquette[3], "1");
    g.Etiquette[2] = "abc";
    EXPECT_THROW(g.Actualiser(), EConversion);
    Nombres::SeparateurSysteme();
}

TEST(Tables, EtatActualiserSupprimeLesPairesNulles)
{
    TEtat2 e;
    const char *paires[][2] = {{"a", "0"}, {"b", "0,5"}, {"c", "0.0"}, {"d", "0,5"}};
    for (const auto &p : paires) {
        ++e.NbSymboles;
        e.Generation[e.NbSymboles][1] = p[0];
        e.Generation[e.NbSymboles][2] = p[1];
    }
    e.Actualiser();
    ASSERT_EQ(e.NbSymboles, 2);
    EXPECT_EQ(e.Generation[1][1], "b");
    EXPECT_EQ(e.Generation[2][1], "d");
    EXPECT_TRUE(e.Generation[3][1].isEmpty());
}

// Un clic sur le texte d'une étiquette choisit son arc, quel qu'il soit ; le texte reste sur la
// surface même pour une boucle d'une boîte du haut.
TEST(Geometrie, EtiquetteToucheeQuelQueSoitLArc)
{
    THmm g;
    g.resize(800, 700);
    const int boucle = Arc(g, {300, 4, 100, 40}, {300, 4, 100, 40}, 1, 1);
    const int droit = Arc(g, {10, 300, 100, 40}, {500, 300, 100, 40}, 2, 3);
    const int montant = Arc(g, {100, 450, 100, 40}, {101, 640, 100, 40}, 4, 5); // paire verticale
    const int descendant = Arc(g, {101, 640, 100, 40}, {100, 450, 100, 40}, 5, 4);
    Arc(g, {100, 450, 100, 40}, {101, 640, 100, 40}, 4, 5, montant); // géométrie de la paire
    for (const int k : {boucle, droit, montant, descendant}) {
        g.Etiquette[k] = QStringLiteral("0,123456789");
        const QRect r = g.RectangleEtiquette(k);
        ASSERT_FALSE(r.isEmpty()) << k;
        EXPECT_GE(r.top(), 0) << k;
        EXPECT_EQ(g.Verifier(r.center().x(), r.center().y()), k) << k;
        EXPECT_EQ(g.Verifier(r.right() + 40, r.center().y() + 40) == k, false) << k;
    }
}

// Coin de la boucle de l'état 2 (boîte b), selon sa place et les arcs qui la touchent ;
// l'étiquette et la recherche de l'arc suivent le coin choisi.
struct CasBoucle {
    const char *nom;
    Boite b;
    int arrivee; // 0 : aucun arc ; 1 : arc 1 -> 2 ; -1 : arc 2 -> 1 (départ, sans pointe)
    Boite autre;
    bool boitesConnues;
    CoinBoucle attendu;
};

class PlacementDesBoucles : public ::testing::TestWithParam<CasBoucle> {};

TEST_P(PlacementDesBoucles, CoinChoisi)
{
    const CasBoucle &c = GetParam();
    THmm g;
    g.resize(800, 600);
    if (c.boitesConnues)
        g.InterieurEtat = [&](int e) {
            const Boite b = e == 2 ? c.b : c.autre;
            return QRect(b.x, b.y, b.l, b.h);
        };
    if (c.arrivee == 1)
        Arc(g, c.autre, c.b, 1, 2);
    else if (c.arrivee == -1)
        Arc(g, c.b, c.autre, 2, 1);
    const int i = Arc(g, c.b, c.b, 2, 2);
    g.Etiquette[i] = QStringLiteral("0,25");
    const PlacementBoucle p = g.PlacerBoucle(i);
    EXPECT_EQ(int(p.Coin), int(c.attendu));
    const bool droite = c.attendu == CoinBoucle::HautDroite || c.attendu == CoinBoucle::BasDroite;
    const bool bas = c.attendu == CoinBoucle::BasGauche || c.attendu == CoinBoucle::BasDroite;
    EXPECT_EQ(p.Centre, QPoint(c.b.x + (droite ? c.b.l : 0), c.b.y + (bas ? c.b.h : 0)));
    if (!c.boitesConnues)
        return;
    EXPECT_GE(p.Cercle.top(), 0);
    EXPECT_GE(p.Cercle.left(), 0);
    EXPECT_EQ(g.RectangleEtiquette(i), p.Etiquette);
    EXPECT_EQ(p.Etiquette.center().y() > p.Centre.y(), bas);
    EXPECT_EQ(g.Verifier(p.Etiquette.center().x(), p.Etiquette.center().y()), i);
    // Le point du cercle tourné vers l'extérieur de la boîte.
    EXPECT_EQ(g.Verifier(p.Centre.x() + (droite ? 14 : -14), p.Centre.y() + (bas ? 14 : -14)), i);
}

INSTANTIATE_TEST_SUITE_P(
    Geometrie, PlacementDesBoucles,
    ::testing::Values(
        CasBoucle{"AuMilieu", {300, 100, 100, 40}, 0, {}, true, CoinBoucle::HautGauche},
        CasBoucle{"RangeeDuHaut", {300, 4, 100, 40}, 0, {}, true, CoinBoucle::BasGauche},
        CasBoucle{"BordGauche", {5, 100, 100, 40}, 0, {}, true, CoinBoucle::HautDroite},
        CasBoucle{"CoinDeLaSurface", {5, 4, 100, 40}, 0, {}, true, CoinBoucle::BasDroite},
        // Pointe de l'arc qui arrive à 16 pixels sous le coin haut-gauche.
        CasBoucle{"PointeAuCoin", {300, 100, 100, 40}, 1, {100, 90, 60, 30}, true, CoinBoucle::HautDroite},
        CasBoucle{"DepartAuCoin", {300, 100, 100, 40}, -1, {100, 90, 60, 30}, true, CoinBoucle::HautGauche},
        CasBoucle{"RangeeDuHautPointeEnBas", {300, 4, 100, 40}, 1, {100, 30, 60, 30}, true, CoinBoucle::BasDroite},
        // Sans les boîtes (surface seule), la boucle garde le coin haut-gauche.
        CasBoucle{"BoitesInconnues", {300, 4, 100, 40}, 0, {}, false, CoinBoucle::HautGauche}),
    [](const auto &info) { return std::string(info.param.nom); });

TEST(Nombres, TexteAfficheSurLeGraphe)
{
    const struct {
        const char *texte;
        int chiffres;
        char separateur;
        const char *montre;
    } cas[] = {
        {"0.6179314892345635980884", 4, ',', "0,6179"}, {"0,123456789", 6, '.', "0.123457"},
        {"0.7", Nombres::ChiffresTous, ',', "0,7"},     {"0,1915", Nombres::ChiffresTous, '.', "0.1915"},
        {"0.0000012345", 2, '.', "1.2E-6"},              {"1", 4, ',', "1"},
        {"??", 4, ',', "??"},                           {"0.5", 2, '.', "0.5"},
    };
    for (const auto &c : cas) {
        Nombres::DefinirSeparateur(QLatin1Char(c.separateur));
        EXPECT_EQ(Nombres::TexteAffiche(QString::fromUtf8(c.texte), c.chiffres), QString::fromUtf8(c.montre)) << c.texte;
    }
    Nombres::SeparateurSysteme();
    // Le réglage : 2 à 6, tout le reste vaut « tous ».
    for (const auto &[demande, retenu] : {std::pair{2, 2}, {6, 6}, {1, 0}, {7, 0}, {0, 0}}) {
        Nombres::DefinirChiffresAffiches(demande);
        EXPECT_EQ(Nombres::ChiffresAffiches(), retenu) << demande;
    }
    Nombres::DefinirChiffresAffiches(Nombres::ChiffresParDefaut);
}
