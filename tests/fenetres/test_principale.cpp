// Fenêtre principale : démarrage, fichiers récents, un modèle par fenêtre, fermeture.
#include "editor/canevas.h"
#include "outils_test.h"
#include "dialogs/changermotdepasse.h"
#include "dialogs/identification.h"
#include "dialogs/motdepass.h"
#include "dialogs/suppmotdepass.h"
#include "editor/principale.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/fichier.h"
#include "model/recents.h"
#include "model/textes.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>

namespace {

const QStringList modele = {
    QStringLiteral("[MotDePasse]=Vide"), QStringLiteral("[Start]=1"), QStringLiteral("[Etats]=1"),
    QStringLiteral("[Dernier]=1"), QStringLiteral("START 0 20 20 40 80 "), QStringLiteral("Etat_1 1 160 40 70 110 a 1 "),
    QStringLiteral("[Arcs]=2"), QStringLiteral("98 48 162 63 157 61 162 63 "), QStringLiteral("1 1 "),
    QStringLiteral("0 0 0 0 "), QStringLiteral("0 0 "), QStringLiteral("0 1 1 1 "), QStringLiteral("130 55 162 22 "),
};

class Principale : public TestAvecRepertoire {
protected:
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        Presentation::DefinirAnimations(false);
        Messages::DefinirRepondeur([this](const Messages::Message &m) {
            messages << m.Texte;
            return reponse;
        });
    }
    void TearDown() override
    {
        Messages::DefinirRepondeur({});
        TestAvecRepertoire::TearDown();
    }
    QString ecrireModele(const QString &nom, const QStringList &lignes = modele)
    {
        const QString c = Chemin(nom);
        QString e;
        // Écriture brute : les cas mal formés ne passeraient pas l'écrivain validé.
        EXPECT_TRUE(Textes::EcrireOctets(c, FichierModele::Octets(lignes), &e));
        return c;
    }
    // Fenêtre dont les accroches ne lancent rien et ne montrent aucune boîte système.
    std::unique_ptr<TForm1> fenetre(const QString &argument = QString())
    {
        auto f = std::make_unique<TForm1>(argument);
        Parties(*f).LancerInstance = [this] { ++instances; };
        Parties(*f).DemanderOuverture = [this] { return aOuvrir; };
        Parties(*f).DemanderEnregistrement = [this] { return aEnregistrer; };
        Parties(*f).DemanderMotDePasse = [this](const QString &m) { return m == motDePasseTape; };
        f->PremiereActivation();
        return f;
    }
    QString lire(const QString &nom) { return Textes::LireLignesPartagees(Chemin(nom), 1 << 20, nullptr, nullptr).value(0); }

    QStringList messages;
    Messages::Reponse reponse = Messages::Reponse::Ok;
    int instances = 0;
    QString aOuvrir, aEnregistrer, motDePasseTape;
};

}

TEST_F(Principale, DemarrageDepuisCheminTxtOuDepuisLArgument)
{
    const QString a = ecrireModele(QStringLiteral("a.hmm"));
    Textes::EcrireTexte(Chemin(QStringLiteral("Chemin.txt")), a);
    auto f = fenetre();
    EXPECT_EQ(Parties(*f).Document->NomFichier(), a);
    EXPECT_EQ(Parties(*f).Document->N(), 1);
    EXPECT_EQ(f->windowTitle(), QStringLiteral(" hmmbench 1.0 - a.hmm[*]"));
    EXPECT_FALSE(Parties(*f).Start->isEnabled());

    // L'argument l'emporte sur "Chemin.txt".
    // « & » et un caractère hors Windows-1252 : affiché tel quel, rouvert tel quel.
    const QString b = ecrireModele(QStringLiteral("b&c ω.hmm"));
    auto g = fenetre(b);
    EXPECT_EQ(Parties(*g).Document->NomFichier(), b);

    // "Vide" ou fichier absent : rien n'est ouvert.
    Textes::EcrireTexte(Chemin(QStringLiteral("Chemin.txt")), QStringLiteral("Vide"));
    auto h = fenetre();
    EXPECT_TRUE(Parties(*h).Document->NomFichier().isEmpty());
    EXPECT_EQ(Parties(*h).Document->N(), 0);
    QFile::remove(Chemin(QStringLiteral("Chemin.txt")));
    auto i = fenetre();
    EXPECT_TRUE(Parties(*i).Document->NomFichier().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Principale, FichierMalFormeAuDemarrageLaisseLaFenetreVide)
{
    QStringList mauvais = modele;
    mauvais[2] = QStringLiteral("[Etats]=x");
    const QString c = ecrireModele(QStringLiteral("mauvais.hmm"), mauvais);
    auto f = fenetre(c);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("mauvais.hmm")));
    EXPECT_TRUE(Parties(*f).Document->NomFichier().isEmpty());
    EXPECT_EQ(Parties(*f).Document->N(), 0);
}

TEST_F(Principale, MenuReouvrirEtUnModeleParFenetre)
{
    const QString a = ecrireModele(QStringLiteral("a.hmm"));
    // « & » et un caractère hors Windows-1252 : affiché tel quel, rouvert tel quel.
    const QString b = ecrireModele(QStringLiteral("b&c ω.hmm"));
    const QString absent = Chemin(QStringLiteral("parti.hmm"));
    Textes::EcrireOctets(Chemin(QStringLiteral("FichiersRecent.txt")), (QStringList{absent, a, b}.join("\r\n") + "\r\n").toUtf8());
    auto f = fenetre();
    const QList<QAction *> entrees = Parties(*f).Reouvrir1->actions();
    ASSERT_EQ(entrees.size(), 3);
    EXPECT_EQ(entrees[0]->text(), QString(b).replace("&", "&&"));
    EXPECT_TRUE(entrees[0]->isEnabled());
    EXPECT_FALSE(entrees[2]->isEnabled());
    EXPECT_TRUE(Parties(*f).Reouvrir1->isEnabled());

    // Fichier disparu : message, rien d'autre.
    f->OuvrirRecent(absent);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Fichier introuvable\npeut être qu'il est supprimmé ou déplacé"));

    // Fenêtre libre : ouvert ici (le "&" d'accélérateur est retiré).
    f->OuvrirRecent(QLatin1Char('&') + a);
    EXPECT_EQ(Parties(*f).Document->NomFichier(), a);
    EXPECT_EQ(instances, 0);
    // Fenêtre occupée : nouvelle instance par "Chemin.txt".
    entrees[0]->trigger();
    EXPECT_EQ(instances, 1);
    EXPECT_EQ(lire(QStringLiteral("Chemin.txt")), b);
    EXPECT_EQ(Parties(*f).Document->NomFichier(), a);
    EXPECT_EQ(Recents::Lire().size(), 3);
}

TEST_F(Principale, OuvrirAjouteAuxRecentsEtNouveauLanceUneInstance)
{
    auto f = fenetre();
    EXPECT_FALSE(Parties(*f).Reouvrir1->isEnabled());
    aOuvrir = Chemin(QStringLiteral("absent.hmm"));
    f->Ouvrir1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Fichier introuvable"));

    aOuvrir = ecrireModele(QStringLiteral("a.hmm"));
    f->Ouvrir1Click();
    f->Ouvrir1Click(); // deuxième fois : nouvelle instance, pas de doublon dans les récents
    EXPECT_EQ(Parties(*f).Document->NomFichier(), aOuvrir);
    EXPECT_EQ(instances, 1);
    EXPECT_EQ(Textes::LireLignes(Chemin(QStringLiteral("FichiersRecent.txt"))), QStringList{aOuvrir});
    EXPECT_EQ(Parties(*f).Reouvrir1->actions().size(), 1);

    // Un fichier qui n'est pas un modèle n'entre pas dans "Réouvrir".
    aOuvrir = Chemin(QStringLiteral("texte.hmm"));
    Textes::EcrireTexte(aOuvrir, QStringLiteral("bonjour"));
    f->Ouvrir1Click();
    EXPECT_EQ(instances, 2);
    EXPECT_EQ(Parties(*f).Reouvrir1->actions().size(), 1);

    f->Nouveau1Click();
    EXPECT_EQ(instances, 3);
    EXPECT_EQ(lire(QStringLiteral("Chemin.txt")), QStringLiteral("Vide"));
    EXPECT_EQ(Parties(*f).Document->NomFichier(), Chemin(QStringLiteral("a.hmm")));
}

TEST_F(Principale, EnregistrerSousPuisEnregistrer)
{
    auto f = fenetre(ecrireModele(QStringLiteral("a.hmm")));
    Parties(*f).Document->DeplacerEtat(VueEtat(*Parties(*f).Document, 1), QPoint(310, 310));
    aEnregistrer = Chemin(QStringLiteral("copie"));
    ASSERT_TRUE(f->Enregistrersous1Click());
    EXPECT_TRUE(QFile::exists(aEnregistrer + QStringLiteral(".hmm"))); // extension ajoutée
    EXPECT_FALSE(QFile::exists(aEnregistrer));
    EXPECT_FALSE(Parties(*f).Document->EstModifie());
    EXPECT_EQ(f->windowTitle(), QStringLiteral(" hmmbench 1.0 - copie.hmm[*]"));
    EXPECT_FALSE(f->isWindowModified());
    EXPECT_EQ(Parties(*f).Reouvrir1->actions().value(0)->text(), aEnregistrer + QStringLiteral(".hmm"));
    Parties(*f).Document->DeplacerEtat(VueEtat(*Parties(*f).Document, 1), QPoint(300, 300));
    EXPECT_TRUE(f->isWindowModified());

    // Échec d'écriture (dossier disparu) : message, le modèle reste modifié.
    QString erreur;
    ASSERT_TRUE(QDir().mkpath(Chemin(QStringLiteral("disparu"))));
    ASSERT_TRUE(Parties(*f).Document->Enregistrer(Chemin(QStringLiteral("disparu/m.hmm")), &erreur)) << qPrintable(erreur);
    ASSERT_TRUE(QDir(Chemin(QStringLiteral("disparu"))).removeRecursively());
    Parties(*f).Document->DeplacerEtat(VueEtat(*Parties(*f).Document, 1), QPoint(320, 320));
    EXPECT_FALSE(f->Enregistrer1Click());
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
}

TEST_F(Principale, FermetureQuestionEtCheminVide)
{
    // Sans modification : aucune question, "Chemin.txt" vaut "Vide".
    {
        auto f = fenetre();
        f->show();
        EXPECT_TRUE(f->close());
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_EQ(lire(QStringLiteral("Chemin.txt")), QStringLiteral("Vide"));
    }
    // "Annuler" garde la fenêtre ; "Oui" sur un nouveau modèle puis boîte annulée aussi.
    auto f = fenetre();
    f->show();
    Parties(*f).Document->NouvelEtat(true, QPoint(100, 100));
    reponse = Messages::Reponse::Annuler;
    EXPECT_FALSE(f->close());
    reponse = Messages::Reponse::Oui;
    aEnregistrer.clear();
    EXPECT_FALSE(f->close());
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    // "Oui" avec un nom choisi : enregistré puis fermé.
    aEnregistrer = Chemin(QStringLiteral("fin.hmm"));
    EXPECT_TRUE(f->close());
    EXPECT_TRUE(QFile::exists(aEnregistrer));
    EXPECT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], QStringLiteral("Voulez vous enregistrer les modifications apportées au modèle ?"));
}

TEST_F(Principale, FichiersDeTravailSupprimesALaDestruction)
{
    Textes::EcrireTexte(Chemin(QStringLiteral("EtatsCopies.tmp")), QStringLiteral("x"));
    fenetre().reset();
    EXPECT_FALSE(QFile::exists(Chemin(QStringLiteral("EtatsCopies.tmp"))));
}

TEST_F(Principale, ModeleProtegeDemandeLeMotDePasse)
{
    QStringList protege = modele;
    protege[0] = QStringLiteral("[MotDePasse]=clef");
    const QString c = ecrireModele(QStringLiteral("p.hmm"), protege);
    motDePasseTape = QStringLiteral("faux");
    auto f = fenetre(c);
    EXPECT_EQ(Parties(*f).Document->N(), 0);
    EXPECT_TRUE(Parties(*f).Document->NomFichier().isEmpty());
    EXPECT_TRUE(Parties(*f).Ajouterunmotdepasse1->isEnabled());

    motDePasseTape = QStringLiteral("clef");
    auto g = fenetre(c);
    EXPECT_EQ(Parties(*g).Document->N(), 1);
    EXPECT_FALSE(Parties(*g).Ajouterunmotdepasse1->isEnabled());
    EXPECT_TRUE(Parties(*g).Modifierlemotdepasse1->isEnabled());
    EXPECT_TRUE(Parties(*g).Supprimerlemotdepasse1->isEnabled());
}

TEST_F(Principale, AjouterPuisSupprimerLeMotDePasseDepuisLeMenu)
{
    auto f = fenetre();
    Parties(*f).Ajouterunmotdepasse1->trigger();
    auto *ajout = f->findChild<TForm6 *>();
    ASSERT_NE(ajout, nullptr);
    EXPECT_TRUE(ajout->isModal() || ajout->windowModality() != Qt::NonModal);
    ajout->Edit1->setText(QStringLiteral("clef"));
    ajout->Edit2->setText(QStringLiteral("clef"));
    ajout->Valider->click();
    EXPECT_EQ(Parties(*f).Document->MotDePasse(), QStringLiteral("clef"));
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    EXPECT_FALSE(Parties(*f).Ajouterunmotdepasse1->isEnabled());
    EXPECT_TRUE(Parties(*f).Supprimerlemotdepasse1->isEnabled());
    // Le premier enregistrement porte le mot de passe.
    aEnregistrer = Chemin(QStringLiteral("p.hmm"));
    ASSERT_TRUE(f->Enregistrer1Click());
    QStringList lignes;
    QString e;
    ASSERT_TRUE(FichierModele::LireFichier(aEnregistrer, &lignes, &e));
    EXPECT_EQ(lignes.value(0), QStringLiteral("[MotDePasse]=clef"));

    Parties(*f).Supprimerlemotdepasse1->trigger();
    auto *supp = f->findChild<TForm7 *>();
    ASSERT_NE(supp, nullptr);
    supp->Edit1->setText(QStringLiteral("clef"));
    supp->Valider->click();
    EXPECT_EQ(Parties(*f).Document->MotDePasse(), QStringLiteral("Vide"));
    EXPECT_TRUE(Parties(*f).Ajouterunmotdepasse1->isEnabled());
    EXPECT_FALSE(Parties(*f).Modifierlemotdepasse1->isEnabled());
    ASSERT_TRUE(f->Enregistrer1Click());
    ASSERT_TRUE(FichierModele::LireFichier(aEnregistrer, &lignes, &e));
    EXPECT_EQ(lignes.value(0), QStringLiteral("[MotDePasse]=Vide"));
}
