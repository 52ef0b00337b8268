// Impression du graphe, "Hmm.bmp", aperçu avant impression.
#include "editor/canevas.h"
#include "commun_affichage.h"
#include "editor/impression.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/image_modele.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

namespace {

class Impression_ : public Affichage {
protected:
    void SetUp() override
    {
        Affichage::SetUp();
        // Chaque demande d'impression écrit un PDF dans le répertoire du test.
        Impression::DefinirDemande([this](QPrinter &p, QWidget *) {
            ++demandes;
            if (annuler)
                return false;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(Chemin(QStringLiteral("sortie%1.pdf").arg(demandes)));
            return true;
        });
    }
    void TearDown() override
    {
        Impression::DefinirDemande({});
        Affichage::TearDown();
    }
    int demandes = 0;
    bool annuler = false;
};

}

TEST_F(Impression_, ImprimerEcritHmmBmpALaTailleDuCanevasPuisImprime)
{
    auto f = fenetre();
    const QSize canevas = VueGraphe(*Parties(*f).Document)->size();
    Parties(*f).Imprimer1->trigger();
    EXPECT_EQ(demandes, 1);
    QImage bmp(Chemin(QStringLiteral("Hmm.bmp")), "BMP");
    ASSERT_FALSE(bmp.isNull());
    EXPECT_EQ(bmp.size(), canevas);
    QFile pdf(Chemin(QStringLiteral("sortie1.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 1000);

    // Une deuxième impression remplace "Hmm.bmp" par le canevas du moment.
    VueGraphe(*Parties(*f).Document)->DefautFond = false;
    VueGraphe(*Parties(*f).Document)->CouleurFond = Couleurs::Rouge;
    Parties(*f).Imprimer1->trigger();
    QImage bmp2(Chemin(QStringLiteral("Hmm.bmp")), "BMP");
    EXPECT_EQ(bmp2.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(bmp.pixelColor(5, 5), QColor(Qt::white));

    // Boîte d'impression annulée : rien n'est imprimé, aucun message.
    annuler = true;
    Parties(*f).Imprimer1->trigger();
    EXPECT_FALSE(QFile::exists(Chemin(QStringLiteral("sortie3.pdf"))));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Impression_, HmmBmpImpossibleAEcrireEstSignaleEtLImpressionSeFait)
{
    auto f = fenetre();
    // Un dossier à la place du fichier : l'écriture échoue.
    ASSERT_TRUE(QDir(dossier->path()).mkdir(QStringLiteral("Hmm.bmp")));
    Parties(*f).Imprimer1->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Hmm.bmp")));
    EXPECT_EQ(demandes, 1);
}

TEST_F(Impression_, ApercuFixeModalEtImageALaTailleDuCadrePuisDuCanevas)
{
    auto f = fenetre();
    TForm21 *a = Parties(*f).Impressions->Form21;
    Parties(*f).Apercu1->trigger();
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(a->isModal());
    EXPECT_EQ(a->windowTitle(), QStringLiteral(" Aperçu avant impréssion"));
    EXPECT_EQ(a->size(), QSize(477, 500));
    EXPECT_EQ(a->minimumSize(), a->maximumSize());
    EXPECT_EQ(a->Image1->geometry(), QRect(8, 34, 458, 399));
    // Le canevas entier étiré dans l'image du cadre.
    EXPECT_EQ(a->Image1->Picture.size(), QSize(458, 399));
    EXPECT_EQ(a->Image1->Picture, ImageModele::Rendre(*Parties(*f).Document, QSize(458, 399)));
    a->close();

    // Après "Imprimer", l'aperçu suivant montre l'image à la taille du canevas.
    Parties(*f).Imprimer1->trigger();
    Parties(*f).Apercu1->trigger();
    EXPECT_EQ(a->Image1->Picture.size(), VueGraphe(*Parties(*f).Document)->size());
    EXPECT_EQ(a->size(), QSize(477, 500));
    a->close();
}

TEST_F(Impression_, ApercuEntreeImprimeEchapEnregistre)
{
    auto f = fenetre();
    TForm21 *a = Parties(*f).Impressions->Form21;
    Parties(*f).Apercu1->trigger();
    QStringList demandesFichier;
    QString reponse = Chemin(QStringLiteral("copie.bmp"));
    a->DemanderFichier = [&] {
        demandesFichier << QStringLiteral("x");
        return reponse;
    };

    EXPECT_TRUE(a->BitBtn1->isDefault());
    QTest::keyClick(a, Qt::Key_Escape);
    EXPECT_EQ(demandesFichier.size(), 1);
    EXPECT_TRUE(a->isVisible()); // Échap enregistre, il ne ferme pas
    QImage copie(reponse, "BMP");
    EXPECT_EQ(copie.size(), QSize(458, 399));

    // Un nom sans ".bmp" reçoit quand même un bitmap.
    reponse = Chemin(QStringLiteral("image.png"));
    a->BitBtn2->click();
    QFile png(reponse);
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(png.read(2), QByteArray("BM"));

    // Annulé : rien n'est écrit ; impossible à écrire : message.
    reponse.clear();
    EXPECT_FALSE(a->BitBtn2Click());
    reponse = Chemin(QStringLiteral("absent/dossier/x.bmp"));
    EXPECT_FALSE(a->BitBtn2Click());
    EXPECT_EQ(messages.size(), 1);

    // Entrée : "Imprimer" (Hmm.bmp à la taille de l'image, puis impression).
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_EQ(demandes, 1);
    EXPECT_EQ(QImage(Chemin(QStringLiteral("Hmm.bmp")), "BMP").size(), QSize(458, 399));
    EXPECT_TRUE(QFile::exists(Chemin(QStringLiteral("sortie1.pdf"))));

    a->BitBtn3->click();
    EXPECT_FALSE(a->isVisible());
}

namespace {
struct CasCadre {
    QSize image;
    QRect page, attendu;
};
}

TEST(ImpressionPage, ImageAjusteeALaPageEnGardantSesProportions)
{
    const QRect page(0, 0, 4000, 6000);
    const CasCadre cas[] = {
        // Large : toute la largeur, hauteur proportionnelle, en haut.
        {{1000, 500}, page, {0, 0, 4000, 2000}},
        // Haute : toute la hauteur, centrée en largeur.
        {{300, 900}, page, {1000, 0, 2000, 6000}},
        // Petite : agrandie jusqu'à la page.
        {{40, 30}, page, {0, 0, 4000, 3000}},
        // Zone imprimable décalée.
        {{100, 100}, {50, 80, 400, 600}, {50, 80, 400, 400}},
        // Rien à imprimer.
        {{0, 0}, page, {}},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(testing::Message() << c.image.width() << "x" << c.image.height());
        EXPECT_EQ(Impression::Cadre(c.image, c.page), c.attendu);
    }
    QPrinter p(QPrinter::HighResolution);
    EXPECT_FALSE(Impression::Peindre(p, QImage()));
}

// Le modèle imprimé est tracé à la finesse de l'imprimante : quatre fois plus de points par
// côté donnent seize fois plus de points du texte rouge des noms, pas une image agrandie floue.
TEST_F(Impression_, ModeleTraceALaFinesseDeLImprimante)
{
    auto f = fenetre();
    const QSize canevas = VueGraphe(*Parties(*f).Document)->size();
    const auto rouges = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(Qt::red);
        return n;
    };
    const QImage ecran = ImageModele::RendreSansSelection(*Parties(*f).Document);
    const QImage fine = Impression::ImageImpression(*Parties(*f).Document, canevas * 4);
    EXPECT_EQ(fine.size(), canevas * 4);
    ASSERT_GT(rouges(ecran), 0);
    EXPECT_GT(rouges(fine), 8 * rouges(ecran));
    // Une imprimante démesurée ne demande pas une image démesurée.
    const QImage bornee = Impression::ImageImpression(*Parties(*f).Document, canevas * 100);
    EXPECT_LE(double(bornee.width()) * bornee.height(), 40e6);
}
