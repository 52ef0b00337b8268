// Fenêtre des options d'affichage et "Options.ini".
#include "editor/canevas.h"
#include "commun_affichage.h"
#include "editor/options_fenetre.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/textes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

class OptionsFenetre : public Affichage {
protected:
    void TearDown() override
    {
        ListeCouleurs::DemanderCouleur = sauve;
        Affichage::TearDown();
    }
    QString ini() const { return Chemin(QStringLiteral("Options.ini")); }
    int cle(const char *section, const char *nom)
    {
        QSettings s(ini(), QSettings::IniFormat);
        return s.value(QLatin1String(section) + QLatin1Char('/') + QLatin1String(nom), -1).toInt();
    }
    std::function<QColor(const QColor &, QWidget *)> sauve = ListeCouleurs::DemanderCouleur;
};

// Index d'une entrée par son libellé.
int entree(QComboBox *c, const QString &texte)
{
    return c->findText(texte);
}

}

TEST_F(OptionsFenetre, SansFichierStyle2AuCanevasEt3DansLaFenetrePuisOkEcrit3)
{
    auto f = fenetre();
    THmm *h = VueGraphe(*Parties(*f).Document);
    EXPECT_EQ(h->TypeFleche, 2);

    TForm19 *o = f->Optionsgenerales1Click();
    EXPECT_EQ(o->windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(o->size(), QSize(554, 415));
    EXPECT_EQ(o->minimumSize(), o->maximumSize());
    EXPECT_FALSE(o->isModal()); // la fenêtre principale reste utilisable
    EXPECT_EQ(o->ComboBoxFleche->count(), 3);
    EXPECT_EQ(o->ComboBoxFleche->currentIndex(), 2);
    EXPECT_EQ(o->ColorBoxFond->Couleur(), Couleurs::Blanc);
    EXPECT_EQ(o->ColorBoxStyloArc->Couleur(), Couleurs::Bleu);
    EXPECT_EQ(o->ColorBoxProb->Couleur(), Couleurs::Rouge);
    EXPECT_EQ(o->ColorBoxFondEtat->Couleur(), Couleurs::VertClair);
    EXPECT_EQ(o->ColorBoxStyloEtat->Couleur(), Couleurs::Bleu);
    EXPECT_FALSE(o->BitBtnAppliquer->isEnabled());
    // Les aperçus : un arc droit étiqueté "0,5", une boîte aux couleurs choisies.
    EXPECT_EQ(o->ApercuArcs->NbArcs, 1);
    EXPECT_EQ(o->ApercuArcs->Etiquette[1], QStringLiteral("0,5"));
    EXPECT_NE(o->ApercuArcs->ARC[1][1], o->ApercuArcs->ARC[1][2]);
    EXPECT_EQ(o->ApercuArcs->size(), QSize(120, 82));
    EXPECT_EQ(o->ApercuEtat->size(), QSize(114, 64));
    EXPECT_EQ(o->ApercuArcs->TypeFleche, 3);

    o->BitBtnOk->click();
    EXPECT_FALSE(o->isVisible());
    EXPECT_EQ(cle("Arcs", "Fond"), 0xFFFFFF);
    EXPECT_EQ(cle("Arcs", "Stylo"), 0xFF0000);
    EXPECT_EQ(cle("Arcs", "Prob"), 0x0000FF);
    EXPECT_EQ(cle("Arcs", "Fleche"), 3);
    EXPECT_EQ(cle("Etats", "Fond"), 0x9DFFE7);
    EXPECT_EQ(cle("Etats", "Stylo"), 0xFF0000);
    EXPECT_EQ(h->TypeFleche, 3);
    // Fichier de travail Windows : CR LF.
    QFile fichier(ini());
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.readAll().contains("\r\n"));
}

TEST_F(OptionsFenetre, ChoixAppliquesAuCanevasEtATouteLesBoites)
{
    auto f = fenetre();
    TForm19 *o = f->Optionsgenerales1Click();
    o->ColorBoxFond->DefinirCouleur(0x00FFFF);
    emit o->ColorBoxFond->couleurChangee();
    EXPECT_TRUE(o->BitBtnAppliquer->isEnabled());
    // L'aperçu suit aussitôt, le canevas pas encore.
    EXPECT_EQ(o->ApercuArcs->CouleurFond, TCouleur(0x00FFFF));
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->CouleurFond, Couleurs::Blanc);

    o->ComboBoxFleche->setCurrentIndex(0);
    EXPECT_EQ(o->ApercuArcs->TypeFleche, 1);
    o->ColorBoxFondEtat->setCurrentIndex(entree(o->ColorBoxFondEtat, QStringLiteral("Argent")));
    o->ColorBoxStyloEtat->setCurrentIndex(entree(o->ColorBoxStyloEtat, QStringLiteral("Aucune")));
    EXPECT_EQ(o->ApercuEtat->CouleurRemplissage, TCouleur(0xC0C0C0));
    EXPECT_EQ(o->ApercuEtat->CouleurStylo, Couleurs::Aucune);

    o->BitBtnAppliquer->click();
    EXPECT_FALSE(o->BitBtnAppliquer->isEnabled());
    EXPECT_TRUE(o->isVisible());
    THmm *h = VueGraphe(*Parties(*f).Document);
    EXPECT_EQ(h->CouleurFond, TCouleur(0x00FFFF));
    EXPECT_EQ(h->TypeFleche, 1);
    EXPECT_FALSE(h->DefautFond);
    EXPECT_EQ(cle("Arcs", "Fleche"), 1);
    EXPECT_EQ(cle("Etats", "Stylo"), int(Couleurs::Aucune));
    // Chaque boîte, START compris.
    for (int k = 0; k <= Parties(*f).Document->N(); ++k) {
        TEtat2 *b = VueEtat(*Parties(*f).Document, k);
        SCOPED_TRACE(b->Nom.toStdString());
        EXPECT_EQ(b->CouleurFond, TCouleur(0x00FFFF));
        EXPECT_EQ(b->CouleurRemplissage, TCouleur(0xC0C0C0));
        EXPECT_EQ(b->CouleurStylo, Couleurs::Aucune);
    }
    // Les boîtes créées ensuite prennent les mêmes couleurs.
    const BoiteEtat *nouvelle = Parties(*f).Document->AjouterEtat({QStringLiteral("D"), 10, 400, 50, 80, {}});
    ASSERT_NE(nouvelle, nullptr);
    EXPECT_EQ(nouvelle->CouleurRemplissage, TCouleur(0xC0C0C0));
}

TEST_F(OptionsFenetre, AnnulerOuEchapLaissentLeCanevasInchange)
{
    auto f = fenetre();
    THmm *h = VueGraphe(*Parties(*f).Document);
    for (bool echap : {false, true}) {
        SCOPED_TRACE(echap);
        TForm19 *o = f->Optionsgenerales1Click();
        o->ComboBoxFleche->setCurrentIndex(0);
        o->ColorBoxFond->setCurrentIndex(entree(o->ColorBoxFond, QStringLiteral("Noir")));
        o->ColorBoxFondEtat->setCurrentIndex(entree(o->ColorBoxFondEtat, QStringLiteral("Jaune")));
        EXPECT_EQ(o->ApercuArcs->CouleurFond, Couleurs::Noir);
        if (echap)
            QTest::keyClick(o, Qt::Key_Escape);
        else
            o->BitBtnAnnuler->click();
        EXPECT_FALSE(o->isVisible());
        EXPECT_EQ(h->TypeFleche, 2);
        EXPECT_EQ(h->CouleurFond, Couleurs::Blanc);
        EXPECT_EQ(VueEtat(*Parties(*f).Document, 1)->CouleurRemplissage, Couleurs::VertClair);
        EXPECT_FALSE(QFile::exists(ini()));
    }
}

TEST_F(OptionsFenetre, FichierExistantRelu)
{
    // Une couleur hors liste devient la personnalisée ; un style hors 1..3 se montre comme le 3.
    Textes::EcrireLignes(ini(), {QStringLiteral("[Arcs]"), QStringLiteral("Fond=1193046"), QStringLiteral("Prob=536870911"),
                                 QStringLiteral("Fleche=7"), QStringLiteral("[Etats]"), QStringLiteral("Stylo=255")});
    auto f = fenetre();
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->CouleurFond, TCouleur(1193046));
    TForm19 *o = f->Optionsgenerales1Click();
    EXPECT_EQ(o->ColorBoxFond->currentIndex(), ListeCouleurs::IndexPersonnalisee);
    EXPECT_EQ(o->ColorBoxFond->Couleur(), TCouleur(1193046));
    EXPECT_EQ(o->ColorBoxProb->currentText(), QStringLiteral("Aucune"));
    EXPECT_EQ(o->ColorBoxStyloEtat->currentText(), QStringLiteral("Rouge"));
    EXPECT_EQ(o->ColorBoxStyloArc->Couleur(), Couleurs::Bleu); // clé absente : défaut
    EXPECT_EQ(o->ComboBoxFleche->currentIndex(), 2);
    EXPECT_FALSE(o->BitBtnAppliquer->isEnabled());
    // "Aucune" n'est offerte que pour le stylo des états et la couleur des probabilités.
    EXPECT_EQ(entree(o->ColorBoxFond, QStringLiteral("Aucune")), -1);
    EXPECT_EQ(entree(o->ColorBoxStyloArc, QStringLiteral("Aucune")), -1);
    EXPECT_EQ(entree(o->ColorBoxFondEtat, QStringLiteral("Aucune")), -1);
    EXPECT_GE(entree(o->ColorBoxStyloEtat, QStringLiteral("Aucune")), 0);
}

TEST_F(OptionsFenetre, CouleurPersonnaliseeEtParDefaut)
{
    ListeCouleurs l(Couleurs::VertClair, false);
    QColor proposee;
    QColor reponse(0x12, 0x34, 0x56);
    ListeCouleurs::DemanderCouleur = [&](const QColor &initiale, QWidget *) {
        proposee = initiale;
        return reponse;
    };
    int changements = 0;
    QObject::connect(&l, &ListeCouleurs::couleurChangee, [&] { ++changements; });
    EXPECT_EQ(l.currentText(), QStringLiteral("Par défaut"));

    l.setCurrentIndex(ListeCouleurs::IndexPersonnalisee);
    emit l.activated(ListeCouleurs::IndexPersonnalisee);
    EXPECT_EQ(l.Couleur(), TCouleur(0x563412));
    EXPECT_EQ(changements, 1);

    // Boîte annulée : l'entrée précédente revient, rien ne change.
    l.setCurrentIndex(entree(&l, QStringLiteral("Blanc")));
    EXPECT_EQ(changements, 2);
    reponse = QColor();
    l.setCurrentIndex(ListeCouleurs::IndexPersonnalisee);
    emit l.activated(ListeCouleurs::IndexPersonnalisee);
    EXPECT_EQ(l.Couleur(), Couleurs::Blanc);
    EXPECT_EQ(changements, 2);
    EXPECT_EQ(proposee, QColor(0x12, 0x34, 0x56)); // la boîte part de la couleur personnalisée

    // Couleurs nommées : noms lisibles, valeurs 0x00BBGGRR.
    EXPECT_EQ(TCouleur(l.itemData(entree(&l, QStringLiteral("Rouge"))).toULongLong()), Couleurs::Rouge);
    EXPECT_EQ(TCouleur(l.itemData(entree(&l, QStringLiteral("Bleu marine"))).toULongLong()), TCouleur(0x800000));
    EXPECT_GE(entree(&l, QStringLiteral("Fond des boutons")), 0);
    l.setCurrentIndex(entree(&l, QStringLiteral("Par défaut")));
    EXPECT_EQ(l.Couleur(), Couleurs::VertClair);
}

TEST_F(OptionsFenetre, EcritureImpossibleGardeLaFenetreOuverte)
{
    auto f = fenetre();
    ASSERT_TRUE(QDir(dossier->path()).mkdir(QStringLiteral("Options.ini")));
    TForm19 *o = f->Optionsgenerales1Click();
    o->ComboBoxFleche->setCurrentIndex(0);
    o->BitBtnOk->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Options.ini")));
    EXPECT_TRUE(o->isVisible());
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->TypeFleche, 2);
}

TEST(OptionsImages, TroisStylesDeFlecheDifferents)
{
    const QImage a = TForm19::ImageFleche(1, {60, 18}).toImage();
    const QImage b = TForm19::ImageFleche(2, {60, 18}).toImage();
    const QImage c = TForm19::ImageFleche(3, {60, 18}).toImage();
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, c);
}

// "Chiffres affichés sur le graphe" : lu, montré, enregistré, appliqué ; la valeur gardée de
// l'étiquette ne change pas.
TEST_F(OptionsFenetre, ChiffresAffichesSurLeGraphe)
{
    const struct {
        const char *ini; // valeur écrite dans Options.ini (vide : clé absente)
        int lu;
        const char *liste;
    } cas[] = {{"", 4, "4"}, {"2", 2, "2"}, {"0", 0, "tous"}, {"9", 4, "4"}};
    for (const auto &c : cas) {
        QStringList lignes{QStringLiteral("[Arcs]"), QStringLiteral("Fleche=2")};
        if (*c.ini)
            lignes << QStringLiteral("[Graphe]") << QStringLiteral("Chiffres=") + QLatin1String(c.ini);
        Textes::EcrireLignes(ini(), lignes);
        auto f = fenetre();
        EXPECT_EQ(Nombres::ChiffresAffiches(), c.lu) << c.ini;
        TForm19 *o = f->Optionsgenerales1Click();
        EXPECT_EQ(o->ComboBoxChiffres->currentText(), QLatin1String(c.liste)) << c.ini;
        o->ComboBoxChiffres->setCurrentIndex(o->ComboBoxChiffres->findText(QStringLiteral("3")));
        QTest::mouseClick(o->BitBtnOk, Qt::LeftButton);
        EXPECT_EQ(cle("Graphe", "Chiffres"), 3) << c.ini;
        EXPECT_EQ(Nombres::ChiffresAffiches(), 3) << c.ini;
        EXPECT_EQ(Nombres::TexteAffiche(QStringLiteral("0.123456")), QString("0") + Nombres::Separateur() + "123");
    }
    Nombres::DefinirChiffresAffiches(Nombres::ChiffresParDefaut);
}
