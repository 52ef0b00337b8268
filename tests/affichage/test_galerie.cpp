// Galerie des algorithmes, "A propos ...", pages d'aide.
#include "commun_affichage.h"
#include "dialogs/aide.h"
#include "dialogs/algorithmes.h"
#include "dialogs/apropos.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

class Galerie : public Affichage {
protected:
    // Cinq petites images de tailles distinctes, à côté du "programme".
    void ecrireImages()
    {
        for (int i = 0; i < 5; ++i) {
            QImage im(10 + i, 20, QImage::Format_RGB32);
            im.fill(Qt::green);
            ASSERT_TRUE(im.save(Chemin(QLatin1String(TForm10::Fichiers[i])), "BMP"));
        }
    }
};

}

TEST_F(Galerie, CinqPagesEtTailleFixe)
{
    TForm10 g;
    EXPECT_EQ(g.windowTitle(), QStringLiteral("Les algorithmes"));
    EXPECT_EQ(g.size(), QSize(523, 565));
    EXPECT_EQ(g.minimumSize(), g.maximumSize());
    const QStringList onglets = {QStringLiteral("Forward        "), QStringLiteral("Backward        "),
                                 QStringLiteral("Viterbi        "), QStringLiteral("Entraînement de Viterbi        "),
                                 QStringLiteral("Entraînement de Baum-Welch        ")};
    ASSERT_EQ(g.PageControl1->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g.PageControl1->tabText(i), onglets[i]);
    EXPECT_EQ(g.ImageForward->size(), QSize(473, 345));
    EXPECT_EQ(g.ImageViterbi->size(), QSize(470, 425));
    EXPECT_EQ(g.ImageAppBaum->size(), QSize(475, 417));
    EXPECT_EQ(g.BitBtn1->text(), QStringLiteral("&Fermer"));
    EXPECT_EQ(g.BitBtn2->text(), QStringLiteral("&Aide"));
}

TEST_F(Galerie, ChaqueActivationRelitLesImagesEtRevientAForward)
{
    ecrireImages();
    auto f = fenetre(false);
    TForm10 *g = f->Voiralgorithmes1Click();
    EXPECT_FALSE(g->isModal()); // la fenêtre principale reste utilisable
    QApplication::setActiveWindow(g);
    ASSERT_TRUE(g->isActiveWindow());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g->Image(i)->Picture.width(), 10 + i);
    EXPECT_EQ(g->PageControl1->currentIndex(), 0);

    // L'utilisateur va sur une autre page, passe à la fenêtre principale et revient.
    g->PageControl1->setCurrentIndex(3);
    QImage autre(7, 7, QImage::Format_RGB32);
    autre.fill(Qt::red);
    ASSERT_TRUE(autre.save(Chemin(QStringLiteral("Viterbi2.bmp")), "BMP"));
    QApplication::setActiveWindow(f.get());
    EXPECT_EQ(g->PageControl1->currentIndex(), 3);
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->PageControl1->currentIndex(), 0);
    EXPECT_EQ(g->ImageViterbi->Picture.size(), QSize(7, 7));

    // Un clic sur un onglet de la galerie inactive l'active : la page cliquée reste.
    QApplication::setActiveWindow(f.get());
    QTabBar *onglets = g->PageControl1->tabBar();
    QTest::mouseClick(onglets, Qt::LeftButton, Qt::NoModifier, onglets->tabRect(1).center());
    EXPECT_EQ(g->PageControl1->currentIndex(), 1);
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->PageControl1->currentIndex(), 1);
    // La fois suivante, revenir sans cliquer d'onglet ramène Forward.
    QApplication::setActiveWindow(f.get());
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->PageControl1->currentIndex(), 0);

    // "&Fermer" libère les images et ferme.
    QPointer<TForm10> p(g);
    g->BitBtn1->click();
    EXPECT_FALSE(g->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(p.isNull());

    // Une deuxième galerie montre aussi Forward en premier.
    TForm10 *g2 = f->Voiralgorithmes1Click();
    QApplication::setActiveWindow(g2);
    EXPECT_EQ(g2->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Galerie, ImageManquanteSignaleeDansSaPage)
{
    ecrireImages();
    QFile::remove(Chemin(QStringLiteral("Backward2.bmp")));
    TForm10 g;
    g.PageControl1->setCurrentIndex(2);
    g.FormActivate();
    EXPECT_TRUE(g.ImageBackward->Picture.isNull());
    EXPECT_TRUE(g.ImageBackward->Absente.endsWith(QStringLiteral("Backward2.bmp")));
    // Les suivantes sont lues quand même, et la page Forward est montrée.
    EXPECT_FALSE(g.ImageViterbi->Picture.isNull());
    EXPECT_TRUE(g.ImageForward->Absente.isEmpty());
    EXPECT_EQ(g.PageControl1->currentIndex(), 0);
    // Aucune boîte de message : elle relancerait l'activation sans fin.
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Galerie, AideSurLeSujetIDH1)
{
    ASSERT_TRUE(QDir(dossier->path()).mkdir(QStringLiteral("Aide")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(HMM_RESSOURCES "/Aide/IDH_1.htm"), Chemin(QStringLiteral("Aide/IDH_1.htm"))));
    TForm10 g;
    g.BitBtn2->click();
    QWidget *aide = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *a = qobject_cast<FenetreAide *>(w))
            aide = a;
    ASSERT_NE(aide, nullptr);
    auto *fa = static_cast<FenetreAide *>(aide);
    EXPECT_TRUE(fa->Navigateur->source().toLocalFile().endsWith(QStringLiteral("Aide/IDH_1.htm")));
    EXPECT_TRUE(fa->Navigateur->toPlainText().contains(QStringLiteral("Forward")));
    fa->close();
}

TEST(PagesAide, LeSommaireMeneAuxPagesDeLaGalerieEtDeLEditeurDEtat)
{
    QFile index(QStringLiteral(HMM_RESSOURCES "/Aide/index.htm"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray texte = index.readAll();
    for (const char *page : {"IDH_1.htm", "IDH_13.htm"}) {
        SCOPED_TRACE(page);
        EXPECT_TRUE(texte.contains(page));
        QFile f(QStringLiteral(HMM_RESSOURCES "/Aide/") + QLatin1String(page));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray contenu = f.readAll();
        // Pages lues en Windows-1252 : rien que de l'ASCII, les accents en entités.
        for (char c : contenu)
            EXPECT_GE(static_cast<signed char>(c), 0);
        EXPECT_TRUE(contenu.contains("index.htm"));
    }
}

namespace {
struct CasForme {
    QPoint point;
    bool dedans;
    const char *quoi;
};
}

TEST(APropos, FormeEtoileEtAnneau)
{
    const int W = TForm3::Largeur, H = TForm3::Hauteur;
    const QRegion r = TForm3::Forme(W, H);
    const QPoint c = TForm3::Centre(W, H);
    EXPECT_EQ(c, QPoint(312, 198));
    const CasForme cas[] = {
        {c, true, "centre de l'étoile"},
        {{0, 0}, false, "coin haut-gauche"},
        {{W - 1, 0}, false, "coin haut-droit"},
        {{0, H - 1}, false, "coin bas-gauche"},
        {{W - 1, H - 1}, false, "coin bas-droit"},
        {{3, H / 2}, true, "anneau, côté gauche"},
        {{W / 2, H - 9}, true, "anneau, en bas"},
        {{100, 300}, false, "entre l'anneau et l'étoile"},
        {{40, 108}, true, "branche gauche de l'étoile"},
        {{312, 2}, true, "branche haute de l'étoile"},
        {{312 + 40, 198 + 20}, true, "pentagone central"},
    };
    for (const auto &k : cas) {
        SCOPED_TRACE(k.quoi);
        EXPECT_EQ(r.contains(k.point), k.dedans);
    }
}

TEST_F(Galerie, AProposBloqueLaFenetrePrincipaleEtSeFermeAuClic)
{
    auto f = fenetre(false);
    QPointer<TForm3> a = f->Apropos1Click();
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(a->size(), QSize(TForm3::Largeur, TForm3::Hauteur));
    EXPECT_TRUE(a->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(a->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(a->mask().isEmpty());
    // Modale pour l'application : la fenêtre principale ne reçoit plus rien.
    EXPECT_EQ(QApplication::activeModalWidget(), a.data());

    QTest::mouseClick(a.data(), Qt::LeftButton, Qt::NoModifier, QPoint(320, 210));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(f->isEnabled());
}
