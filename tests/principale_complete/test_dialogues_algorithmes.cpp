// Les sept boîtes des algorithmes pilotées comme un utilisateur : séquence tapée, bouton
// cliqué, lignes ajoutées aux listes de la fenêtre principale, messages, refus.
#include "editor/canevas.h"
#include "outils_principale.h"
#include "calculs/app_viterbi.h"
#include "calculs/approchedirect.h"
#include "calculs/backward.h"
#include "calculs/baumwelch.h"
#include "calculs/cheminspossible.h"
#include "calculs/forward.h"
#include "algorithms/sequence.h"
#include "calculs/viterbi.h"
#include "editor/listes.h"
#include "editor/verification_panneau.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/textes.h"
#include "skin/champ_sequence.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {

using Ouvreur = std::function<DialogueAlgorithme *(TForm1 &)>;

struct CasEvaluation {
    const char *nom;
    Ouvreur ouvrir;
    const char *methode;
    const char *message;
};

class Dialogues : public FenetreComplete {};

class Evaluation : public FenetreComplete, public ::testing::WithParamInterface<CasEvaluation> {
protected:
    void SetUp() override { FenetreComplete::SetUp(); }
    void TearDown() override { FenetreComplete::TearDown(); }
};

QWidget *toolButton23(TForm1 &f)
{
    for (QToolBar *b : f.findChildren<QToolBar *>())
        if (QWidget *w = b->widgetForAction(Parties(f).Rapport1))
            return w;
    return nullptr;
}

}

TEST_P(Evaluation, UneLigneDeProbabiliteParCalculEtLaTraceEstProposee)
{
    const CasEvaluation &c = GetParam();
    ouvrir();
    EXPECT_FALSE(Parties(*f).Rapport1->isEnabled());
    for (int fois = 1; fois <= 2; ++fois) {
        QPointer<DialogueAlgorithme> d = c.ouvrir(*f);
        ASSERT_TRUE(d);
        // Boîte non modale au sens de Qt mais qui rend la fenêtre principale inutilisable.
        EXPECT_EQ(QApplication::activeModalWidget(), d.data());
        EXPECT_FALSE(d->BitBtn1->isEnabled());
        lancer(d, QStringLiteral("ab"));
        traiterFermetures();
        EXPECT_TRUE(d.isNull()) << "la boîte se ferme après un calcul réussi";
        ASSERT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), fois);
        EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, fois - 1),
                  (QStringList{QStringLiteral("ab"), QStringLiteral("0.1915"), QString::fromUtf8(c.methode)}));
        EXPECT_EQ(ListesResultats::IconeDe(Parties(*f).Listes->ListView2->topLevelItem(fois - 1)), 19);
        EXPECT_TRUE(f->statusBar()->currentMessage().startsWith(QStringLiteral("Durée du calcul : ")))
            << qPrintable(f->statusBar()->currentMessage());
    }
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].Titre, QStringLiteral("hmmbench   Information"));
    EXPECT_EQ(messages[0].Texte, QString::fromUtf8(c.message));
    const QString nom = QString::fromUtf8(c.nom);
    EXPECT_EQ(Parties(*f).Espace.DernierAlgorithme, nom);
    EXPECT_EQ(Parties(*f).Rapport1->text(), QStringLiteral("Voir la trace d'exécution (") + nom + QLatin1Char(')'));
    EXPECT_TRUE(Parties(*f).Rapport1->isEnabled());
    QWidget *bouton = toolButton23(*f);
    ASSERT_NE(bouton, nullptr);
    EXPECT_TRUE(bouton->isEnabled());
    EXPECT_EQ(bouton->toolTip(), QStringLiteral("Voir la trace d'exécution"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    TroisEvaluations, Evaluation,
    ::testing::Values(
        CasEvaluation{"Forward", [](TForm1 &f) -> DialogueAlgorithme * { return f.Forward1Click(); }, "Forward",
                      "Le calcul de probabilité, avec l'algorithme de Forward, de la séquence d'observations est "
                      "terminé avec succès."},
        CasEvaluation{"Backward", [](TForm1 &f) -> DialogueAlgorithme * { return f.Backward1Click(); }, "Backward",
                      "Le calcul de probabilité, avec l'algorithme de Backward, de la séquence d'observations est "
                      "terminé avec succès."},
        CasEvaluation{"Evaluation, Approche directe",
                      [](TForm1 &f) -> DialogueAlgorithme * { return f.Approchedirect1Click(); }, "A. Direct",
                      "Le calcul de probabilité, avec l'approche directe, de la séquence d'observations est terminé "
                      "avec succès."}),
    [](const auto &info) { return std::string(info.param.methode == std::string("A. Direct") ? "Directe" : info.param.nom); });

TEST_F(Dialogues, LaProbabiliteSEcritAvecLeSeparateurDeLaLangue)
{
    Nombres::DefinirSeparateur(QLatin1Char(','));
    ouvrir();
    lancer(f->Forward1Click(), QStringLiteral("ab"));
    EXPECT_EQ(Parties(*f).Listes->ListView2->topLevelItem(0)->text(1), QStringLiteral("0,1915"));
}

TEST_F(Dialogues, ViterbiDeuxFoisLaisseUneSeuleLigne)
{
    ouvrir();
    for (int fois = 0; fois < 2; ++fois)
        lancer(f->Viterbi1Click(), QStringLiteral("ab"));
    ASSERT_EQ(Parties(*f).Listes->ListView3->topLevelItemCount(), 1);
    EXPECT_EQ(ligne(Parties(*f).Listes->ListView3, 0), (QStringList{QStringLiteral("Start - E1 - E2"), QStringLiteral("0.108")}));
    EXPECT_EQ(ListesResultats::IconeDe(Parties(*f).Listes->ListView3->topLevelItem(0)), 22);
    EXPECT_EQ(Parties(*f).Rapport1->text(), QStringLiteral("Voir la trace d'exécution (Viterbi)"));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].Texte, QStringLiteral("L'opération de décodage de la séquence d'observations est terminée avec succès."));
}

TEST_F(Dialogues, EnumerationListeLesQuatreCheminsEtMarqueLeTroisieme)
{
    ouvrir();
    QPointer<TForm16> d = f->Enumerer1Click();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Enumérer tous les chemins possible"));
    EXPECT_EQ(d->BitBtn1->text(), QStringLiteral("Enumérer les chemins"));
    ASSERT_NE(d->ProgressBar1, nullptr);
    EXPECT_TRUE(d->ProgressBar1->isHidden());
    lancer(d, QStringLiteral("ab"));
    QTreeView *l = Parties(*f).Listes->ListView1;
    ASSERT_EQ(l->model()->rowCount(), 4);
    const QStringList chemins = {"Start - E1 - E1", "Start - E2 - E1", "Start - E1 - E2", "Start - E2 - E2"};
    const QStringList probabilites = {"0.0315", "0.004", "0.108", "0.048"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(ligne(l, r), (QStringList{chemins[r], probabilites[r]}));
        EXPECT_EQ(ListesResultats::IconeDe(l->model()->index(r, 0)), r == 2 ? 22 : 19);
    }
    // L'énumération seule n'a pas de trace.
    EXPECT_FALSE(Parties(*f).Rapport1->isEnabled());
    EXPECT_EQ(Parties(*f).Rapport1->text(), QStringLiteral("Voir la trace d'exécution"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Texte, QStringLiteral("L'énumération de tous les chemins qui génèrent la séquence "
                                                "d'observations est terminée avec succès."));
}

TEST_F(Dialogues, ApprocheDirecteAvecEtSansLaCaseDesChemins)
{
    ouvrir();
    QPointer<TForm12> d = f->Approchedirect1Click();
    EXPECT_FALSE(d->CheckBox1->isChecked());
    lancer(d, QStringLiteral("ab"));
    EXPECT_EQ(Parties(*f).Listes->ListView1->model()->rowCount(), 0) << "case décochée : la liste des chemins n'est pas touchée";
    ASSERT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), 1);

    d = f->Approchedirect1Click();
    d->CheckBox1->setChecked(true);
    lancer(d, QStringLiteral("ab"));
    EXPECT_EQ(Parties(*f).Listes->ListView1->model()->rowCount(), 4);
    EXPECT_EQ(ListesResultats::IconeDe(Parties(*f).Listes->ListView1->model()->index(2, 0)), 22);
    EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 1),
              (QStringList{QStringLiteral("ab"), QStringLiteral("0.1915"), QStringLiteral("A. Direct")}));

    // Une séquence impossible : une ligne "0", la liste des chemins garde son contenu.
    d = f->Approchedirect1Click();
    d->CheckBox1->setChecked(true);
    lancer(d, QStringLiteral("ac"));
    EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 2), (QStringList{QStringLiteral("ac"), QStringLiteral("0"), QStringLiteral("A. Direct")}));
    EXPECT_EQ(Parties(*f).Listes->ListView1->model()->rowCount(), 4);
}

TEST_F(Dialogues, ModeleIncorrectProposeLeRapportEtNOuvreRien)
{
    ouvrir();
    const int a = arc(QStringLiteral("START"), QStringLiteral("E1"));
    ASSERT_GT(a, 0);
    VueGraphe(*Parties(*f).Document)->Etiquette[a] = QStringLiteral("0.4");

    const std::vector<std::function<QWidget *()>> commandes = {
        [&] { return f->Enumerer1Click(); },     [&] { return f->Approchedirect1Click(); },
        [&] { return f->Forward1Click(); },      [&] { return f->Backward1Click(); },
        [&] { return f->Viterbi1Click(); },      [&] { return f->AppViterbi1Click(); },
        [&] { return f->AppBaumWelch1Click(); }};
    reponse = Messages::Reponse::Non;
    for (const auto &commande : commandes) {
        messages.clear();
        EXPECT_EQ(commande(), nullptr);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].Titre, QStringLiteral("hmmbench   Avertissement"));
        EXPECT_EQ(messages[0].Texte, QStringLiteral("Le modèle est incorrect !\n\nVoulez vous voir le rapport des erreurs ?"));
        EXPECT_EQ(messages[0].BoutonsMessage, Messages::Boutons::OuiNon);
        EXPECT_TRUE(Parties(*f).Verification->isHidden());
    }
    reponse = Messages::Reponse::Oui;
    EXPECT_EQ(f->Forward1Click(), nullptr);
    EXPECT_FALSE(Parties(*f).Verification->isHidden());
    EXPECT_TRUE(Parties(*f).Verification->Texte().contains(QStringLiteral(" Le modèle est incorrect, il y a 1 erreur(s).")));
    EXPECT_TRUE(Parties(*f).Verification->Texte().contains(QStringLiteral("-> \" START \"")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Dialogues, RefusEnFrancaisLaBoiteResteOuverte)
{
    ouvrir();
    const QString avant = VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E1"), QStringLiteral("E2"))];
    struct Cas {
        std::function<DialogueAlgorithme *()> ouvrir;
        QString sequence;
        bool mot;
        QString debutMessage;
    };
    const QString nonGeneree = QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ");
    const std::vector<Cas> cas = {
        // T = 0 : que des espaces, mot par mot.
        {[&] { return f->Forward1Click(); }, QStringLiteral("   "), true, QStringLiteral("La séquence d'observations")},
        {[&] { return f->Viterbi1Click(); }, QStringLiteral("   "), true, QStringLiteral("La séquence d'observations")},
        {[&] { return f->Enumerer1Click(); }, QStringLiteral(" "), true, QStringLiteral("La séquence d'observations")},
        // P = 0.
        {[&] { return f->Viterbi1Click(); }, QStringLiteral("ac"), false, nonGeneree + QStringLiteral("ac")},
        {[&] { return f->AppViterbi1Click(); }, QStringLiteral("a c"), true, nonGeneree + QStringLiteral("a c")},
        {[&] { return f->AppBaumWelch1Click(); }, QStringLiteral("ca"), false, nonGeneree + QStringLiteral("ca")},
        // N^T au-delà de la borne : 2^21 chemins.
        {[&] { return f->Enumerer1Click(); }, QString(21, QLatin1Char('a')), false, QStringLiteral("L'énumération porterait sur N^T = 2^21 = 2097152")},
        {[&] { return f->Approchedirect1Click(); }, QString(21, QLatin1Char('b')), false, QStringLiteral("L'énumération porterait sur N^T = 2^21 = 2097152")},
    };
    for (const Cas &c : cas) {
        messages.clear();
        QPointer<DialogueAlgorithme> d = c.ouvrir();
        ASSERT_TRUE(d);
        lancer(d, c.sequence, c.mot);
        traiterFermetures();
        ASSERT_EQ(messages.size(), 1) << c.sequence.toStdString();
        EXPECT_EQ(messages[0].Titre, QStringLiteral("hmmbench   Erreur"));
        EXPECT_TRUE(messages[0].Texte.startsWith(c.debutMessage)) << messages[0].Texte.toStdString();
        EXPECT_FALSE(d.isNull()) << "la boîte reste ouverte pour corriger la séquence";
        EXPECT_EQ(d->BitBtn2->text(), QStringLiteral("Annuler"));
        EXPECT_TRUE(d->BitBtn1->isEnabled());
        d->close();
        traiterFermetures();
    }
    EXPECT_EQ(Parties(*f).Listes->ListView1->model()->rowCount(), 0);
    EXPECT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), 0);
    EXPECT_EQ(Parties(*f).Listes->ListView3->topLevelItemCount(), 0);
    EXPECT_FALSE(Parties(*f).Document->EstModifie());
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E1"), QStringLiteral("E2"))], avant);
    EXPECT_FALSE(Parties(*f).Rapport1->isEnabled());
}

TEST_F(Dialogues, HistoriquePartageSansDoublonDeCasse)
{
    ouvrir();
    lancer(f->Forward1Click(), QStringLiteral("abb"));
    QPointer<TForm15> d = f->Viterbi1Click();
    ASSERT_EQ(d->LabeledEdit1->count(), 1);
    EXPECT_EQ(d->LabeledEdit1->itemText(0), QStringLiteral("abb"));
    EXPECT_TRUE(d->LabeledEdit1->currentText().isEmpty());
    EXPECT_TRUE(d->RadioButton1->isChecked());
    lancer(d, QStringLiteral("ABB"));
    lancer(f->Backward1Click(), QStringLiteral("ba"));
    EXPECT_EQ(Textes::LireLignes(HistoriqueSequences::Chemin()), (QStringList{QStringLiteral("abb"), QStringLiteral("ba")}));
}

TEST_F(Dialogues, LeBoutonDeLancementSuitLeTexte)
{
    ouvrir();
    TForm13 *d = f->Forward1Click();
    EXPECT_FALSE(d->BitBtn1->isEnabled());
    QTest::keyClicks(d->LabeledEdit1->lineEdit(), QStringLiteral("a"));
    EXPECT_TRUE(d->BitBtn1->isEnabled());
    QTest::keyClick(d->LabeledEdit1->lineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(d->BitBtn1->isEnabled());
    QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), 0);
}

TEST_F(Dialogues, ArreterUneEnumerationLaLaisseOuverteEtLaRelancePart)
{
    ouvrir();
    QPointer<TForm16> d = f->Enumerer1Click();
    // "Arrêter" est cliqué au premier passage de la boucle d'événements pendant l'énumération.
    bool vuPendant = false;
    QTimer::singleShot(0, d, [&] {
        vuPendant = d->BitBtn2->text() == QStringLiteral("Arrêter") && !d->BitBtn1->isEnabled() &&
                    !d->BitBtn3->isEnabled() && d->ProgressBar1->isVisible();
        QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
    });
    lancer(d, QStringLiteral("abababab"));
    traiterFermetures();
    EXPECT_TRUE(vuPendant);
    ASSERT_FALSE(d.isNull());
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(Parties(*f).Espace.ArretEnumeration);
    EXPECT_LT(Parties(*f).Espace.CheminsEvalues, 256);
    EXPECT_EQ(d->BitBtn2->text(), QStringLiteral("Annuler"));
    EXPECT_TRUE(d->BitBtn1->isEnabled());
    EXPECT_TRUE(d->BitBtn3->isEnabled());
    EXPECT_TRUE(d->ProgressBar1->isHidden());
    EXPECT_EQ(d->ProgressBar1->value(), 0);
    EXPECT_EQ(Parties(*f).Listes->ListView1->model()->rowCount(), 0);
    EXPECT_TRUE(messages.isEmpty());

    // Nouvel essai : énumération complète, depuis zéro.
    QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(Parties(*f).Espace.CheminsEvalues, 256);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_GT(Parties(*f).Listes->ListView1->model()->rowCount(), 0);
}

TEST_F(Dialogues, FermerPendantLEnumerationLArreteEtFerme)
{
    ouvrir();
    QPointer<TForm12> d = f->Approchedirect1Click();
    QTimer::singleShot(0, d, [&] { d->close(); });
    lancer(d, QStringLiteral("abababab"));
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_TRUE(Parties(*f).Espace.ArretEnumeration);
    EXPECT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), 0);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Dialogues, BaumWelchReecritLesEtiquettesEtMarqueLeModeleModifie)
{
    ouvrir();
    const int a = arc(QStringLiteral("E1"), QStringLiteral("E2"));
    const QString avant = VueGraphe(*Parties(*f).Document)->Etiquette[a];
    QPointer<TForm11> d = f->AppBaumWelch1Click();
    EXPECT_EQ(d->GroupBox1->title(), QStringLiteral(" La séquence de formation : "));
    EXPECT_TRUE(d->RadioButton3->isChecked());
    EXPECT_EQ(d->CSpinEditIteration->value(), 10);
    EXPECT_TRUE(d->CSpinEditIteration->isEnabled());
    EXPECT_FALSE(d->Edit1->isEnabled());
    lancer(d, QStringLiteral("abba"));
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_NE(VueGraphe(*Parties(*f).Document)->Etiquette[a], avant);
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    EXPECT_EQ(Parties(*f).Espace.DernierAlgorithme, QStringLiteral("Entraînement de BaumWelch"));
    EXPECT_EQ(Parties(*f).Rapport1->text(), QStringLiteral("Voir la trace d'exécution (Entraînement de BaumWelch)"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Texte, QStringLiteral("L'entraînement de BaumWelch pour la séquence de formation est terminé avec succès."));
}

TEST_F(Dialogues, BaumWelchModeSeuil)
{
    ouvrir();
    // Seuil déjà atteint : rien ne change.
    QPointer<TForm11> d = f->AppBaumWelch1Click();
    d->RadioButton4->setChecked(true);
    EXPECT_TRUE(d->Edit1->isEnabled());
    EXPECT_FALSE(d->CSpinEditIteration->isEnabled());
    QTest::keyClicks(d->Edit1, QStringLiteral("0x.1.5a"));
    EXPECT_EQ(d->Edit1->text(), QStringLiteral("0.15")) << "seuls les chiffres et un séparateur passent";
    const QStringList etiquettes(std::begin(VueGraphe(*Parties(*f).Document)->Etiquette), std::end(VueGraphe(*Parties(*f).Document)->Etiquette));
    lancer(d, QStringLiteral("ab"));
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_FALSE(Parties(*f).Document->EstModifie());
    EXPECT_EQ(QStringList(std::begin(VueGraphe(*Parties(*f).Document)->Etiquette), std::end(VueGraphe(*Parties(*f).Document)->Etiquette)), etiquettes);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].Texte.contains(QStringLiteral("n'est pas modifié")));

    // Un seuil qui n'est pas un nombre (collé) : refusé avant tout calcul.
    messages.clear();
    d = f->AppBaumWelch1Click();
    d->RadioButton4->setChecked(true);
    d->Edit1->setText(QStringLiteral("1.2.3"));
    lancer(d, QStringLiteral("ab"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Titre, QStringLiteral("hmmbench   Erreur"));
    EXPECT_TRUE(messages[0].Texte.contains(QStringLiteral("n'est pas un nombre décimal")));
    EXPECT_FALSE(d.isNull());
    EXPECT_FALSE(Parties(*f).Document->EstModifie());

    // Un seuil à atteindre : l'entraînement tourne et réécrit le graphe.
    messages.clear();
    d->Edit1->setText(QStringLiteral("0.2"));
    QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    EXPECT_GE(Parties(*f).Espace.Probabilite, 0.2L);
}

TEST_F(Dialogues, BaumWelchArreteEntreDeuxIterations)
{
    ouvrir();
    QPointer<TForm11> d = f->AppBaumWelch1Click();
    d->CSpinEditIteration->setValue(1000000);
    QTimer::singleShot(0, d, [&] { QTest::mouseClick(d->BitBtn2, Qt::LeftButton); });
    lancer(d, QStringLiteral("abbaab"));
    traiterFermetures();
    EXPECT_TRUE(d.isNull());
    EXPECT_LT(Parties(*f).Espace.IterationsEffectuees, 1000);
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].Texte.startsWith(QStringLiteral("L'entraînement de BaumWelch a été arrêté"))) << messages[0].Texte.toStdString();
}

TEST_F(Dialogues, EntrainementDeViterbiSuitLeCheminDecode)
{
    ouvrir();
    lancer(f->AppViterbi1Click(), QStringLiteral("ab"));
    traiterFermetures();
    // Chemin E1, E2 : π = (1 ; 0), A[E1] = (0 ; 1), E2 garde sa ligne ; B[E1] = (1 ; 0), B[E2] = (0 ; 1).
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("START"), QStringLiteral("E1"))], QStringLiteral("1"));
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E1"), QStringLiteral("E2"))], QStringLiteral("1"));
    EXPECT_EQ(VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E2"), QStringLiteral("E2"))], QStringLiteral("0.6"));
    EXPECT_TRUE(Parties(*f).Document->EstModifie());
    EXPECT_EQ(Parties(*f).Rapport1->text(), QStringLiteral("Voir la trace d'exécution (Entraînement de Viterbi)"));
    EXPECT_TRUE(QFile::exists(Chemin(QStringLiteral("Modeles/A_directe_fichiers/Hmm.bmp"))));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Texte, QStringLiteral("L'entraînement de Viterbi pour la séquence de formation est terminé avec succès."));
}

TEST_F(Dialogues, LesSeptBoitesLeursLegendesEtLeurTailleFixe)
{
    ouvrir();
    struct Cas {
        std::function<DialogueAlgorithme *()> ouvrir;
        QString titre, lancer, aide;
    };
    const std::vector<Cas> cas = {
        {[&] { return f->Enumerer1Click(); }, "Enumérer tous les chemins possible", "Enumérer les chemins", "IDH_2"},
        {[&] { return f->Approchedirect1Click(); }, "Calculer la probabilité de génération (Aproche dirrecte)", "Lancer le calcul", "IDH_5"},
        {[&] { return f->Forward1Click(); }, "Calculer la probabilité de génération (Forward)", "Lancer le calcul", "IDH_3"},
        {[&] { return f->Backward1Click(); }, "Calculer la probabilité de génération (Backward)", "Lancer le calcul", "IDH_4"},
        {[&] { return f->Viterbi1Click(); }, "Trouver le chemin de Viterbi", "Trouver le chemin", "IDH_6"},
        {[&] { return f->AppViterbi1Click(); }, "Entraînement de Viterbi", "Lancer l'entraînement", "IDH_7"},
        {[&] { return f->AppBaumWelch1Click(); }, "Entraînement de BaumWelch", "Lancer l'entraînement", "IDH_8"},
    };
    for (const Cas &c : cas) {
        QPointer<DialogueAlgorithme> d = c.ouvrir();
        ASSERT_TRUE(d);
        EXPECT_EQ(d->windowTitle(), c.titre);
        EXPECT_EQ(d->BitBtn1->text(), c.lancer);
        EXPECT_TRUE(d->BitBtn1->isDefault());
        EXPECT_EQ(d->BitBtn2->text(), QStringLiteral("Annuler"));
        EXPECT_EQ(d->BitBtn3->text(), QStringLiteral("&Aide"));
        EXPECT_EQ(d->RadioButton1->text(), QStringLiteral("Caractère par caractère"));
        EXPECT_EQ(d->RadioButton2->text(), QStringLiteral("Mot par mot"));
        EXPECT_EQ(d->minimumSize(), d->maximumSize()) << "taille fixe";
        // "&Aide" : la page du sujet, dans une fenêtre d'aide utilisable malgré la boîte.
        QTest::mouseClick(d->BitBtn3, Qt::LeftButton);
        QPointer<QWidget> aide = QApplication::activeModalWidget();
        ASSERT_TRUE(aide);
        ASSERT_NE(aide.data(), d.data());
        EXPECT_TRUE(aide->findChild<QTextBrowser *>()->toHtml().contains(c.aide + QStringLiteral(".htm")));
        aide->close();
        traiterFermetures();
        EXPECT_EQ(QApplication::activeModalWidget(), d.data());
        QTest::mouseClick(d->BitBtn2, Qt::LeftButton);
        traiterFermetures();
        EXPECT_TRUE(d.isNull());
    }
}

TEST_F(Dialogues, UneLongueSequenceDeLHistoriqueNElargitAucuneBoite)
{
    ouvrir();
    const QString longue(5000, QLatin1Char('a'));
    ASSERT_TRUE(Textes::EcrireLignes(HistoriqueSequences::Chemin(), {QStringLiteral("ab"), longue}));
    for (const auto &ouvrirBoite : ouvreursBoites()) {
        QPointer<DialogueAlgorithme> d = ouvrirBoite();
        ASSERT_TRUE(d);
        const int largeur = d->width();
        EXPECT_LT(largeur, 700) << d->windowTitle().toStdString();
        d->LabeledEdit1->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_EQ(d->width(), largeur) << d->windowTitle().toStdString();
        EXPECT_EQ(d->LabeledEdit1->toolTip(), ChampSequence::Bulle(longue));
        EXPECT_EQ(d->LabeledEdit1->itemData(1, Qt::ToolTipRole).toString(), ChampSequence::Bulle(longue));
        d->close();
        traiterFermetures();
    }
}

// Les deux entraînements sur plusieurs séquences chargées d'un fichier : boîte de taille fixe,
// une ligne par séquence et une pour le produit, message et étape d'annulation au pluriel ; un
// fichier illisible est refusé en français.
TEST_F(Dialogues, EntrainementsSurPlusieursSequencesChargees)
{
    ouvrir();
    const QString longue(5000, QLatin1Char('a'));
    const QString fichier = QDir(dossier->path()).filePath(QStringLiteral("sequences.txt"));
    ASSERT_TRUE(Textes::EcrireLignes(fichier, {QStringLiteral("abba"), QString(), QStringLiteral("bbbab"), longue}));
    const struct {
        std::function<DialogueAlgorithme *()> ouvrir;
        QString methode, message, annulation;
    } cas[] = {
        {[&] { return f->AppBaumWelch1Click(); }, QStringLiteral("Baum-Welch"),
         QStringLiteral("L'entraînement de BaumWelch pour les 3 séquences de formation est terminé avec succès."),
         QStringLiteral("l'Entrainnement de BaumWelch avec 3 séquences")},
        {[&] { return f->AppViterbi1Click(); }, QStringLiteral("Entraînement de Viterbi"),
         QStringLiteral("L'entraînement de Viterbi pour les 3 séquences de formation est terminé avec succès."),
         QStringLiteral("l'Entrainnement de Viterbi avec 3 séquences")},
    };
    for (const auto &c : cas) {
        messages.clear();
        Parties(*f).Listes->ListView2->clear();
        QPointer<DialogueAlgorithme> d = c.ouvrir();
        ASSERT_TRUE(d && d->MemoSequences && d->BoutonCharger);
        const int largeur = d->width();
        EXPECT_FALSE(d->ChargerSequences(dossier->path())); // un dossier
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].Texte.startsWith(QStringLiteral("Les séquences du fichier"))) << messages[0].Texte.toStdString();
        EXPECT_TRUE(d->MemoSequences->toPlainText().isEmpty());
        messages.clear();
        ASSERT_TRUE(d->ChargerSequences(fichier));
        QApplication::processEvents();
        EXPECT_EQ(d->width(), largeur);
        EXPECT_TRUE(d->BitBtn1->isEnabled());
        QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
        traiterFermetures();
        EXPECT_TRUE(d.isNull());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].Texte, c.message);
        ASSERT_EQ(Parties(*f).Listes->ListView2->topLevelItemCount(), 4);
        EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 0)[0], QStringLiteral("abba"));
        EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 1)[2], c.methode + QStringLiteral(" (séquence 2/3)"));
        EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 3)[0], QStringLiteral("Produit des 3 séquences"));
        EXPECT_EQ(ligne(Parties(*f).Listes->ListView2, 3)[2], c.methode + QStringLiteral(" (produit)"));
        EXPECT_EQ(Parties(*f).Document->Annulations().DerniereDescription(), c.annulation);
    }
}

