// Zoom et vue d'ensemble, "Ajuster au texte".
#include "editor/canevas.h"
#include "commun_affichage.h"
#include "editor/defaire.h"
#include "editor/defilement.h"
#include "editor/zoom.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/image_modele.h"

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QTest>
#include <functional>

namespace {

using Zoom = Affichage;

enum Pas { Avant, Arriere };

struct Etape {
    Pas pas;
    int niveau;
    bool avantActif, arriereActif;
};

}

TEST_F(Zoom, NiveauxEtCommandesActivees)
{
    auto f = fenetre();
    QApplication::setActiveWindow(f.get());
    EXPECT_TRUE(Parties(*f).Zoomavant1->isEnabled());
    EXPECT_TRUE(Parties(*f).Zoomarriere1->isEnabled());
    EXPECT_FALSE(Parties(*f).Zoom->Visible());

    // Quatre pas avant désactivent "Zoom avant", un pas arrière le réactive ;
    // puis jusqu'à -4, où "Zoom arrière" se désactive à son tour.
    const Etape etapes[] = {
        {Avant, 1, true, true},     {Avant, 2, true, true},     {Avant, 3, true, true},
        {Avant, 4, false, true},    {Arriere, 3, true, true},   {Arriere, 2, true, true},
        {Arriere, 1, true, true},   {Arriere, 0, true, true},   {Arriere, -1, true, true},
        {Arriere, -2, true, true},  {Arriere, -3, true, true},  {Arriere, -4, true, false},
        {Avant, -3, true, true},    {Arriere, -4, true, false},
    };
    for (const Etape &e : etapes) {
        (e.pas == Avant ? Parties(*f).Zoomavant1 : Parties(*f).Zoomarriere1)->trigger();
        SCOPED_TRACE(e.niveau);
        EXPECT_EQ(Parties(*f).Zoom->Niveau, e.niveau);
        EXPECT_EQ(Parties(*f).Zoomavant1->isEnabled(), e.avantActif);
        EXPECT_EQ(Parties(*f).Zoomarriere1->isEnabled(), e.arriereActif);
        EXPECT_TRUE(Parties(*f).Zoom->Visible());
    }
    // Le clavier n'atteint plus le canevas recouvert.
    EXPECT_TRUE(Parties(*f).Zoom->Vue->hasFocus());

    // Double-clic sur le fond de la vue (l'image réduite n'en couvre qu'une partie).
    QWidget *vue = Parties(*f).Zoom->Vue;
    const QPoint fond(vue->width() - 5, vue->height() - 5);
    ASSERT_FALSE(Parties(*f).Zoom->Image->geometry().contains(fond));
    QTest::mouseDClick(vue, Qt::LeftButton, Qt::NoModifier, fond);
    EXPECT_FALSE(Parties(*f).Zoom->Visible());
    EXPECT_EQ(Parties(*f).Zoom->Niveau, 0);
    EXPECT_TRUE(Parties(*f).Zoomavant1->isEnabled());
    EXPECT_TRUE(Parties(*f).Zoomarriere1->isEnabled());
    EXPECT_EQ(Parties(*f).Zoom->Image->geometry(), vue->rect());
}

TEST_F(Zoom, ImagePriseAuDebutEtMiseALEchelle)
{
    auto f = fenetre();
    THmm *h = VueGraphe(*Parties(*f).Document);
    const QSize canevas = h->size();
    ASSERT_GT(canevas.width(), 500);

    Parties(*f).Zoom->Zoomavant1Click();
    ImageZoom *im = Parties(*f).Zoom->Image;
    EXPECT_EQ(im->Image.size(), canevas);
    EXPECT_EQ(im->pos(), QPoint(0, 0));
    EXPECT_EQ(im->size(), QSize(qRound(canevas.width() * 4.0 / 3), qRound(canevas.height() * 4.0 / 3)));
    // L'image montre le canevas : le fond blanc et les boîtes vertes de l'état.
    EXPECT_EQ(im->Image.pixelColor(5, 5), QColor(Qt::white));
    TEtat2 *e1 = VueEtat(*Parties(*f).Document, 1);
    EXPECT_EQ(im->Image.pixelColor(e1->x() + 20, e1->y() + 40), VersQColor(Couleurs::VertClair));

    // Un pas avant puis un pas arrière : niveau 0, la vue reste, l'image à 4/3 x 3/4.
    const QSize agrandie = im->size();
    Parties(*f).Zoom->Zoomarriere1Click();
    EXPECT_EQ(Parties(*f).Zoom->Niveau, 0);
    EXPECT_TRUE(Parties(*f).Zoom->Visible());
    EXPECT_EQ(im->size(), QSize(qRound(agrandie.width() * 0.75), qRound(agrandie.height() * 0.75)));

    // Les changements du modèle n'atteignent pas l'image tant que la vue reste.
    const QImage avant = im->Image;
    VueGraphe(*Parties(*f).Document)->CouleurFond = Couleurs::Noir;
    VueGraphe(*Parties(*f).Document)->DefautFond = false;
    Parties(*f).Zoom->Zoomavant1Click();
    EXPECT_EQ(im->Image, avant);
    // En sortant puis en revenant, l'image est reprise.
    Parties(*f).Zoom->Quitter();
    Parties(*f).Zoom->Zoomavant1Click();
    EXPECT_EQ(im->Image.pixelColor(5, 5), QColor(Qt::black));
}

// Vue d'ensemble : tout le modèle, même une boîte hors de la partie visible, ajusté à la vue.
TEST_F(Zoom, ArriereMontreToutLeModele)
{
    auto f = fenetre();
    f->resize(1024, 740);
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *e2 = VueEtat(d, 2);
    e2->move(1800, 700);
    VueGraphe(d)->repaint(); // le canevas grandit après son dessin
    QApplication::processEvents();
    QApplication::processEvents();
    auto *defilement = f->findChild<QScrollArea *>(QStringLiteral("DefilementCanevas"));
    ASSERT_TRUE(defilement);
    const QSize visible = defilement->viewport()->size();
    ASSERT_GT(e2->x() + e2->width(), visible.width());

    Parties(*f).Zoom->Zoomarriere1Click();
    ImageZoom *im = Parties(*f).Zoom->Image;
    const QRect e = ImageModele::Etendue(d, 10);
    EXPECT_EQ(im->Image.size(), e.size());
    EXPECT_EQ(im->Image.pixelColor(e2->x() + 20 - e.x(), e2->y() + 40 - e.y()), VersQColor(Couleurs::VertClair));
    EXPECT_TRUE(QRect(QPoint(), visible).contains(im->geometry())) << im->width() << "x" << im->height();
    EXPECT_TRUE(im->width() == visible.width() || im->height() == visible.height());
}

// Le canevas défile : une boîte poussée à droite ou en bas agrandit le panneau, qui la contient
// avec sa marge, et la zone de défilement l'amène à l'écran.
TEST_F(Zoom, LeCanevasGranditAvecLeModele)
{
    for (const QPoint position : {QPoint(1800, 100), QPoint(100, 1500), QPoint(1800, 1500)}) {
        SCOPED_TRACE(position.x() * 10000 + position.y());
        auto f = fenetre();
        f->resize(1024, 740);
        f->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.get()));
        auto *defilement = f->findChild<QScrollArea *>(QStringLiteral("DefilementCanevas"));
        ASSERT_TRUE(defilement);
        DocumentModele &d = *Parties(*f).Document;
        d.DeplacerEtat(d.Etat(2), position);
        TEtat2 *e2 = VueEtat(d, 2);
        VueGraphe(d)->repaint(); // le canevas grandit après son dessin
        QApplication::processEvents();
        QApplication::processEvents();
        const QWidget *panneau = defilement->widget();
        EXPECT_GE(panneau->width(), e2->geometry().right() + CanevasDefilant::Marge);
        EXPECT_GE(panneau->height(), e2->geometry().bottom() + CanevasDefilant::Marge);
        EXPECT_GE(VueGraphe(d)->width(), e2->geometry().right());
        defilement->ensureWidgetVisible(e2);
        QApplication::processEvents();
        const QRect vue(e2->mapTo(defilement->viewport(), QPoint()), e2->size());
        EXPECT_TRUE(defilement->viewport()->rect().contains(vue));
    }
}

// Un graphe très étendu (modèle importé de 49 états en chaîne) : l'image du canevas et celle du
// modèle restent sous le plafond, réduites, et gardent le modèle entier.
TEST(ImageModeleBornee, ReduiteSousLePlafond)
{
    DocumentModele d;
    d.GrapheVue()->DefinirTailleSurface(QSize(60000, 20000));
    const BoiteEtat *b = d.AjouterEtat({QStringLiteral("Loin"), 59000, 19000, 60, 80, {}}, false);
    ASSERT_TRUE(b);
    {
        const QImage canevas = ImageModele::Rendre(d);
        EXPECT_LE(canevas.sizeInBytes(), ImageModele::LimiteOctets);
        EXPECT_NEAR(double(canevas.width()) / canevas.height(), 3.0, 0.01);
    }
    const QImage modele = ImageModele::RendreModele(d);
    EXPECT_FALSE(modele.isNull());
    EXPECT_LE(modele.sizeInBytes(), ImageModele::LimiteOctets);
}

namespace {
struct CasDeplacement {
    QPoint position;
    QSize image, vue;
    QPoint d, attendu;
};
}

TEST(ZoomDeplacement, BornesDeLImage)
{
    const QSize vue(800, 600);
    const CasDeplacement cas[] = {
        // Vers la gauche et le haut, dans les bornes.
        {{0, 0}, {1200, 900}, vue, {-100, -50}, {-100, -50}},
        // Jamais au-delà du coin haut-gauche.
        {{-30, -20}, {1200, 900}, vue, {100, 100}, {0, 0}},
        // Jamais de vide à droite ni en bas.
        {{-300, -200}, {1200, 900}, vue, {-500, -500}, {-400, -300}},
        {{0, 0}, {1200, 900}, vue, {-400, -300}, {-400, -300}},
        // Image plus haute que la vue mais plus étroite : collée à gauche, déplacée en hauteur.
        {{0, 0}, {600, 900}, vue, {-50, -50}, {0, -50}},
        // Image plus large mais moins haute : collée en haut.
        {{0, 0}, {1200, 500}, vue, {-70, 40}, {-70, 0}},
        // Exactement la taille de la vue : immobile.
        {{0, 0}, {800, 600}, vue, {-10, -10}, {0, 0}},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(testing::Message() << c.d.x() << "," << c.d.y());
        EXPECT_EQ(VueZoom::Deplacer(c.position, c.image, c.vue, c.d), c.attendu);
    }
}

TEST_F(Zoom, GlisserLImageALaSouris)
{
    auto f = fenetre();
    ImageZoom *im = Parties(*f).Zoom->Image;
    QWidget *vue = Parties(*f).Zoom->Vue;

    // Image réduite : appuyer ne fait rien.
    Parties(*f).Zoom->Zoomarriere1Click();
    EXPECT_FALSE(Parties(*f).Zoom->Deplacable());
    QTest::mousePress(im, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mouseRelease(im, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(im->pos(), QPoint(0, 0));
    Parties(*f).Zoom->Quitter();

    // Niveau +2 : l'image dépasse ; déposée plus haut à gauche, elle suit.
    Parties(*f).Zoom->Zoomavant1Click();
    Parties(*f).Zoom->Zoomavant1Click();
    ASSERT_TRUE(Parties(*f).Zoom->Deplacable());
    QTest::mousePress(im, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    EXPECT_EQ(im->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(im, Qt::LeftButton, Qt::NoModifier, QPoint(260, 270));
    EXPECT_EQ(im->pos(), QPoint(-40, -30));
    EXPECT_EQ(im->cursor().shape(), Qt::OpenHandCursor);

    // Vers la droite : bornée au coin de la vue ; très loin à gauche : bord droit aligné.
    QTest::mousePress(im, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(im, Qt::LeftButton, Qt::NoModifier, QPoint(400, 400));
    EXPECT_EQ(im->pos(), QPoint(0, 0));
    QTest::mousePress(im, Qt::LeftButton, Qt::NoModifier, QPoint(im->width() - 2, im->height() - 2));
    QTest::mouseRelease(im, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_EQ(im->x() + im->width(), vue->width());
    EXPECT_EQ(im->y() + im->height(), vue->height());

    // Double-clic sur l'image : retour au canevas.
    QTest::mouseDClick(im, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_FALSE(Parties(*f).Zoom->Visible());
    EXPECT_EQ(Parties(*f).Zoom->Niveau, 0);
}

TEST_F(Zoom, AjusterAuTexteLesBoitesChoisiesSeulement)
{
    auto f = fenetre();
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *start = VueEtat(d, 0), *e1 = VueEtat(d, 1), *e2 = VueEtat(d, 2);
    start->resize(150, 60);
    start->Selectionne = true;
    e1->Selectionne = true;
    e2->Selectionne = false;
    const QPoint arcAvant = VueGraphe(d)->PointsARC[2][1]; // Etat_1 -> Etat_2, parti du bord de Etat_1
    const QSize e2Avant = e2->size();

    const int etapes = Parties(*f).Historique->Defaire.Taille();
    Parties(*f).Ajuster1->trigger();
    EXPECT_EQ(e1->size(), QSize(95, 50));
    EXPECT_EQ(e1->pos(), QPoint(250, 60));
    EXPECT_EQ(start->size(), QSize(150, 60)); // START n'est jamais ajusté
    EXPECT_EQ(e2->size(), e2Avant);
    EXPECT_TRUE(d.EstModifie());
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 1);
    EXPECT_EQ(Parties(*f).Historique->Defaire.DerniereDescription(), QStringLiteral("le redimentionnement de l'état: Etat_1"));
    // Les arcs de la boîte suivent sa nouvelle taille.
    EXPECT_NE(VueGraphe(d)->PointsARC[2][1], arcAvant);

    // Rien de choisi : rien ne change, le modèle n'est pas marqué modifié.
    QString erreur;
    ASSERT_TRUE(d.Enregistrer(Chemin(QStringLiteral("ajuste.hmm")), &erreur)) << qPrintable(erreur);
    e1->Selectionne = false;
    start->Selectionne = false;
    Parties(*f).Ajuster1->trigger();
    EXPECT_FALSE(d.EstModifie());
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 1);
}

TEST_F(Zoom, AjusterAuTexteUneEtapeParBoite)
{
    auto f = fenetre();
    DocumentModele &d = *Parties(*f).Document;
    VueEtat(d, 1)->Selectionne = true;
    VueEtat(d, 2)->Selectionne = true;
    const int etapes = Parties(*f).Historique->Defaire.Taille();
    Parties(*f).Ajuster1->trigger();
    // Etat_2 : deux paires courtes ; 6 x 7,5 + 10 = 55 l'emporte, hauteur 2 x 15 + 35.
    EXPECT_EQ(VueEtat(d, 2)->size(), QSize(95, 65));
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 2);
    EXPECT_EQ(Parties(*f).Historique->Defaire.DerniereDescription(), QStringLiteral("le redimentionnement de l'état: Etat_2"));

    // Défaire une fois rend sa taille à la dernière boîte seulement.
    Parties(*f).Historique->Defaire1Click();
    EXPECT_EQ(VueEtat(d, 2)->size(), QSize(180, 110));
    EXPECT_EQ(VueEtat(d, 1)->size(), QSize(95, 50));
    Parties(*f).Historique->Defaire1Click();
    EXPECT_EQ(VueEtat(d, 1)->size(), QSize(200, 120));
}

// Le modèle changé pendant le zoom (ouvert, annulé, déplacé, réestimé) : la vue montre le
// nouveau modèle au même niveau, et dit comment revenir à l'édition.
TEST_F(Zoom, LaVueSuitLeModele)
{
    struct Cas {
        const char *nom;
        int niveau;
        std::function<void(TForm1 &)> changer;
    };
    const Cas cas[] = {
        {"déplacement", 1, [](TForm1 &f) { Parties(f).Document->DeplacerEtat(VueEtat(*Parties(f).Document, 2), QPoint(100, 400)); }},
        {"défaire", 2,
         [](TForm1 &f) {
             Parties(f).Document->DeplacerEtat(VueEtat(*Parties(f).Document, 1), QPoint(600, 30));
             Parties(f).Historique->Defaire1Click();
         }},
        {"ouverture", 1,
         [this](TForm1 &f) {
             chargerModele(f);
             Parties(f).Document->DeplacerEtat(VueEtat(*Parties(f).Document, 1), QPoint(40, 500));
         }},
        {"étiquette", -1, [](TForm1 &f) { Parties(f).Document->ChangerEtiquette(1, QStringLiteral("0.25")); }},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        auto f = fenetre();
        for (int k = 0; k != c.niveau; k += c.niveau > 0 ? 1 : -1)
            (c.niveau > 0 ? Parties(*f).Zoomavant1 : Parties(*f).Zoomarriere1)->trigger();
        const QSize agrandie = Parties(*f).Zoom->Image->size();
        c.changer(*f);
        EXPECT_TRUE(Parties(*f).Zoom->Visible());
        EXPECT_EQ(Parties(*f).Zoom->Niveau, c.niveau);
        const QImage attendue = ImageModele::Rendre(*Parties(*f).Document);
        if (c.niveau > 0) {
            EXPECT_EQ(Parties(*f).Zoom->Image->Image, attendue);
            EXPECT_EQ(Parties(*f).Zoom->Image->size(), agrandie);
        } else {
            const QRect e = ImageModele::Etendue(*Parties(*f).Document, 10).intersected(attendue.rect());
            EXPECT_EQ(Parties(*f).Zoom->Image->Image, attendue.copy(e));
        }
        EXPECT_TRUE(Parties(*f).Zoom->Consigne->isVisible());
        EXPECT_TRUE(Parties(*f).Zoom->Vue->geometry().contains(Parties(*f).Zoom->Consigne->geometry()));
    }
}
