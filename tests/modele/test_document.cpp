// Registre des états, fichiers récents, options d'affichage.
#include "outils_test.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "model/document.h"
#include "model/options.h"
#include "model/recents.h"
#include "model/textes.h"

namespace {

class Document : public TestAvecRepertoire {
protected:
    // START, A, B, C ; arcs START->A, A->C, C->C, B->A.
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        const QStringList l = {
            QStringLiteral("[MotDePasse]=Vide"), QStringLiteral("[Start]=1"), QStringLiteral("[Etats]=3"),
            QStringLiteral("[Dernier]=0"), QStringLiteral("START 0 10 10 40 80 "),
            QStringLiteral("A 1 150 10 60 100 x 1 "), QStringLiteral("B 1 150 150 60 100 x 1 "),
            QStringLiteral("C 1 300 10 60 100 x 1 "), QStringLiteral("[Arcs]=4"),
            QStringLiteral("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "), QStringLiteral("1 0.5 1 1 "),
            QStringLiteral("0 0 0 0 0 0 0 0 "), QStringLiteral("0 0 0 0 "), QStringLiteral("0 1 1 3 3 3 2 1 "),
            QStringLiteral("0 0 0 0 0 0 0 0 "),
        };
        QString erreur;
        ASSERT_EQ(d.ChargerLignes(l, false, QStringLiteral("t"), &erreur), Chargement::Reussi) << qPrintable(erreur);
    }
    DocumentModele d;
};

}

TEST_F(Document, RechercherIndiceParNom)
{
    EXPECT_EQ(d.RechercherIndice(QStringLiteral("START"), false), 0);
    EXPECT_EQ(d.RechercherIndice(QStringLiteral("C"), false), 3);
    EXPECT_EQ(d.RechercherIndice(QStringLiteral("c"), false), -1);
    // Sans START, la case 0 n'est plus consultée.
    ContenuModele c = d.Contenu();
    c.Start = false;
    c.Etats.removeFirst();
    c.Arcs.clear();
    DocumentModele sans;
    sans.PoserContenu(c);
    EXPECT_EQ(sans.RechercherIndice(QStringLiteral("START"), false), -1);
    EXPECT_EQ(sans.RechercherIndice(QStringLiteral("A"), false), 1);
}

TEST_F(Document, SupprimerUnEtatRenumeroteLesArcs)
{
    d.SupprimerEtats({d.Etat(2)}); // B : son arc B->A disparaît, C devient 2
    EXPECT_EQ(d.N(), 2);
    EXPECT_EQ(d.BoiteVue(2)->Nom, QStringLiteral("C"));
    EXPECT_EQ(d.BoiteVue(3), nullptr);
    ASSERT_EQ(d.GrapheVue()->NbArcs, 3);
    EXPECT_EQ(d.GrapheVue()->ExisteARC(0, 1), 1);
    EXPECT_EQ(d.GrapheVue()->ExisteARC(1, 2), 2);
    EXPECT_EQ(d.GrapheVue()->ExisteARC(2, 2), 3);

    d.SupprimerEtats({d.Etat(0)}); // START : rien n'est renuméroté
    EXPECT_FALSE(d.StartPresent());
    EXPECT_EQ(d.GrapheVue()->NbArcs, 2);
    EXPECT_EQ(d.GrapheVue()->ExisteARC(1, 2), 1);
    EXPECT_EQ(d.RechercherIndice(QStringLiteral("START"), false), -1);
}

TEST_F(Document, LesNouvellesBoitesPrennentLesCouleursDesOptions)
{
    OptionsAffichage o;
    o.FondArcs = 0x123456;
    o.FondEtats = 0x00FF00;
    o.StyloEtats = 0x0000FF;
    o.Fleche = 1;
    Options::Appliquer(d, o);
    EXPECT_FALSE(d.GrapheVue()->DefautFond);
    EXPECT_EQ(d.GrapheVue()->TypeFleche, 1);
    for (int k = 0; k <= d.N(); ++k) {
        EXPECT_EQ(d.BoiteVue(k)->CouleurFond, 0x123456u);
        EXPECT_EQ(d.BoiteVue(k)->CouleurRemplissage, 0x00FF00u);
    }
    const BoiteEtat *e = d.AjouterEtat({QStringLiteral("D"), 10, 10, 50, 80, {}});
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->DefautRemplissage);
    EXPECT_EQ(e->CouleurStylo, 0x0000FFu);
    EXPECT_EQ(e->CouleurSurligne, Couleurs::Bleu);
    EXPECT_EQ(e->EpaisseurSurligne, 3);
}

TEST_F(Document, OptionsLuesEtEcrites)
{
    // Fichier absent : les valeurs par défaut de la lecture au démarrage.
    OptionsAffichage o = Options::Lire();
    EXPECT_EQ(o.Fleche, 2);
    EXPECT_EQ(o.FondEtats, 0x9DFFE7u);
    o.Fleche = 3;
    o.Prob = 255;
    ASSERT_TRUE(Options::Ecrire(o));
    const QStringList lignes = Textes::LireLignes(Chemin(QStringLiteral("Options.ini")));
    EXPECT_TRUE(lignes.contains(QStringLiteral("Fleche=3")));
    const OptionsAffichage r = Options::Lire();
    EXPECT_EQ(r.Fleche, 3);
    EXPECT_EQ(r.Prob, 255u);
    EXPECT_EQ(r.StyloArcs, 0xFF0000u);
}

class FichiersRecents : public TestAvecRepertoire {};

TEST_F(FichiersRecents, AjoutSansDoublonEtLimiteDeCinq)
{
    EXPECT_TRUE(Recents::EntreesMenu().isEmpty());
    EXPECT_FALSE(Recents::Ajouter(QString()));
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(Recents::Ajouter(QStringLiteral("/m/%1.hmm").arg(i)));
    EXPECT_FALSE(Recents::Ajouter(QStringLiteral(" /m/3.hmm ")));
    EXPECT_EQ(Recents::Lire().size(), 5);
    EXPECT_TRUE(Recents::Ajouter(QStringLiteral("/m/6.hmm")));
    const QStringList l = Recents::Lire();
    EXPECT_EQ(l.first(), QStringLiteral("/m/2.hmm"));
    EXPECT_EQ(l.last(), QStringLiteral("/m/6.hmm"));
    // Le menu : la plus récente d'abord.
    EXPECT_EQ(Recents::EntreesMenu(), (QStringList{QStringLiteral("/m/6.hmm"), QStringLiteral("/m/5.hmm"),
                                                   QStringLiteral("/m/4.hmm"), QStringLiteral("/m/3.hmm"),
                                                   QStringLiteral("/m/2.hmm")}));
}

TEST_F(FichiersRecents, SixLignesSurDisqueDonnentCinqEntrees)
{
    QStringList six;
    for (int i = 1; i <= 6; ++i)
        six << QStringLiteral("/r/%1.hmm").arg(i);
    ASSERT_TRUE(Textes::EcrireLignes(Chemin(QStringLiteral("FichiersRecent.txt")), six));
    const QStringList m = Recents::EntreesMenu();
    ASSERT_EQ(m.size(), 5);
    EXPECT_EQ(m.first(), QStringLiteral("/r/6.hmm"));
    EXPECT_FALSE(m.contains(QStringLiteral("/r/1.hmm")));
}

TEST_F(Document, DeuxEtatsDuMemeNomNeSeConfondentPas)
{
    // B renommé C : deux états "C" (2 et 3). Supprimer la boîte 2 ne touche que ses arcs.
    d.BoiteVue(2)->Nom = QStringLiteral("C");
    const BoiteEtat *troisieme = d.Etat(3);
    d.SupprimerEtats({d.Etat(2)});
    EXPECT_EQ(d.N(), 2);
    EXPECT_EQ(d.BoiteVue(2), troisieme);
    ASSERT_EQ(d.GrapheVue()->NbArcs, 3);
    EXPECT_EQ(d.GrapheVue()->ExisteARC(1, 2), 2); // A->C garde sa destination renumérotée
    EXPECT_EQ(d.GrapheVue()->ExisteARC(2, 2), 3);

    // Un état ordinaire nommé "START" se supprime comme les autres : START reste.
    d.BoiteVue(1)->Nom = QStringLiteral("START");
    d.SupprimerEtats({d.Etat(1)});
    EXPECT_TRUE(d.StartPresent());
    EXPECT_EQ(d.N(), 1);
    EXPECT_EQ(d.BoiteVue(1), troisieme);
    EXPECT_EQ(d.BoiteVue(2), nullptr);
}
