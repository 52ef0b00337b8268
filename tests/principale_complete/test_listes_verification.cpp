// Listes de résultats (hauteurs, animation, surlignage, "Vider"), volet de vérification,
// paramètres du modèle et tables, menus et programmes du menu "Outils".
#include "editor/canevas.h"
#include "outils_principale.h"
#include "calculs/cheminspossible.h"
#include "calculs/viterbi.h"
#include "dialogs/pi_a_b.h"
#include "dialogs/proprietesmodele.h"
#include "editor/listes.h"
#include "editor/listes_outils.h"
#include "editor/verification_panneau.h"
#include "graph/hmm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHelpEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace {

class Listes : public FenetreComplete {
protected:
    ListesResultats &l() { return *Parties(*f).Listes; }
    void finirAnimation()
    {
        while (l().Anime())
            l().Pas();
    }
    int h(const QTreeView *liste) { return l().Hauteur(liste); }
    int H() { return l().H(); }
};

using Verification = Listes;
using Parametres = Listes;
using Commandes = Listes;

QList<int> arcsSurlignes(const THmm &h)
{
    QList<int> r;
    for (int i = 1; i <= h.NbArcs; ++i)
        if (h.ArcSurligne[i])
            r << i;
    return r;
}

}

TEST_F(Listes, HauteursInitialesEtRepliDesChemins)
{
    ouvrir();
    const int V = 40;
    ASSERT_GT(H(), 300);
    EXPECT_EQ(h(l().ListView1), (H() - 75 - V) / 2);
    EXPECT_EQ(h(l().ListView2), (H() - 75 - V) / 2);
    EXPECT_EQ(h(l().ListView3), V);

    // Repli : la liste des probabilités prend toute la place d'un coup, celle des chemins
    // est divisée par 4 à chaque pas jusqu'à 1 pixel.
    const int depart = h(l().ListView1);
    QTest::mouseClick(l().EnteteChemins, Qt::LeftButton);
    EXPECT_TRUE(l().Anime());
    EXPECT_EQ(h(l().ListView2), H() - 75 - V - 1);
    l().Pas();
    EXPECT_EQ(h(l().ListView1), depart / 4);
    // Un seul en-tête s'anime à la fois.
    QTest::mouseClick(l().EnteteProbabilites, Qt::LeftButton);
    EXPECT_EQ(h(l().ListView2), H() - 75 - V - 1);
    finirAnimation();
    EXPECT_EQ(h(l().ListView1), 1);
    EXPECT_TRUE(l().ListView1->isHidden());

    // Dépli : multiplié par 4 à chaque pas (1, 4, 16...) jusqu'à la moitié.
    QTest::mouseClick(l().EnteteChemins, Qt::LeftButton);
    EXPECT_FALSE(l().ListView1->isHidden());
    EXPECT_EQ(h(l().ListView2), (H() - 75 - V) / 2);
    l().Pas();
    EXPECT_EQ(h(l().ListView1), 4);
    l().Pas();
    EXPECT_EQ(h(l().ListView1), 16);
    finirAnimation();
    EXPECT_EQ(h(l().ListView1), (H() - 75 - V) / 2);
}

TEST_F(Listes, ReplisCroisesEtListeDeViterbi)
{
    ouvrir();
    const int V = 40;
    // Les probabilités repliées : les chemins prennent tout, et se redéplient ensuite seuls.
    QTest::mouseClick(l().EnteteProbabilites, Qt::LeftButton);
    finirAnimation();
    EXPECT_EQ(h(l().ListView2), 1);
    EXPECT_EQ(h(l().ListView1), H() - 75 - V - 1);

    // Viterbi replié : la place va aux chemins (seule autre liste ouverte).
    QTest::mouseClick(l().EnteteViterbi, Qt::LeftButton);
    EXPECT_EQ(h(l().ListView1), H() - 75 - V - 1 + 40);
    finirAnimation();
    EXPECT_EQ(h(l().ListView3), 1);
    // Viterbi déplié : les chemins rendent 40 pixels.
    QTest::mouseClick(l().EnteteViterbi, Qt::LeftButton);
    finirAnimation();
    EXPECT_EQ(h(l().ListView3), 40);
    EXPECT_EQ(h(l().ListView1), H() - 75 - V - 1);

    // Les deux autres ouvertes : Viterbi replié donne ses 40 pixels aux probabilités, puis
    // déplié les remet toutes deux à (H - 115) / 2.
    QTest::mouseClick(l().EnteteProbabilites, Qt::LeftButton);
    finirAnimation();
    EXPECT_EQ(h(l().ListView1), (H() - 75 - V) / 2);
    const int avant = h(l().ListView2);
    QTest::mouseClick(l().EnteteViterbi, Qt::LeftButton);
    finirAnimation();
    EXPECT_EQ(h(l().ListView2), avant + 40);
    QTest::mouseClick(l().EnteteViterbi, Qt::LeftButton);
    finirAnimation();
    EXPECT_EQ(h(l().ListView1), (H() - 115) / 2);
    EXPECT_EQ(h(l().ListView2), (H() - 115) / 2);

    // Redimensionner le panneau partage à nouveau la place entre les deux listes ouvertes.
    f->resize(1200, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(h(l().ListView1), (H() - 75 - V) / 2);
    EXPECT_EQ(h(l().ListView2), (H() - 75 - V) / 2);
}

TEST_F(Listes, SurlignageDuCheminChoisiEtDuCheminDeViterbi)
{
    ouvrir();
    lancer(f->Enumerer1Click(), QStringLiteral("ab"));
    traiterFermetures();
    THmm &hmm = *VueGraphe(*Parties(*f).Document);
    QTreeView *chemins = l().ListView1;
    ASSERT_EQ(chemins->model()->rowCount(), 4);
    const struct {
        int rang;
        QList<std::pair<QString, QString>> arcs;
    } cas[] = {
        {0, {{"START", "E1"}, {"E1", "E1"}}},
        {1, {{"START", "E2"}, {"E2", "E1"}}},
        {2, {{"START", "E1"}, {"E1", "E2"}}},
        {3, {{"START", "E2"}, {"E2", "E2"}}},
    };
    for (const auto &c : cas) {
        const QRect r = chemins->visualRect(chemins->model()->index(c.rang, 0));
        QTest::mouseClick(chemins->viewport(), Qt::LeftButton, {}, r.center());
        QList<int> attendus;
        for (const auto &[a, b] : c.arcs)
            attendus << arc(a, b);
        std::sort(attendus.begin(), attendus.end());
        EXPECT_EQ(arcsSurlignes(hmm), attendus) << "ligne " << c.rang;
    }

    lancer(f->Viterbi1Click(), QStringLiteral("ba"));
    traiterFermetures();
    QTreeWidget *viterbi = l().ListView3;
    ASSERT_EQ(viterbi->topLevelItemCount(), 1);
    const QString texte = viterbi->topLevelItem(0)->text(0);
    QTest::mouseClick(viterbi->viewport(), Qt::LeftButton, {}, viterbi->visualItemRect(viterbi->topLevelItem(0)).center());
    const QStringList etats = texte.split(QStringLiteral(" - ")).mid(1);
    ASSERT_EQ(etats.size(), 2);
    QList<int> attendus = {arc(QStringLiteral("START"), etats[0]), arc(etats[0], etats[1])};
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(arcsSurlignes(hmm), attendus);

    l().EffacerSurlignage();
    EXPECT_TRUE(arcsSurlignes(hmm).isEmpty());
}

TEST_F(Listes, TriDesCheminsParEnteteEtCopieDesLignesTriees)
{
    ouvrir();
    lancer(f->Enumerer1Click(), QStringLiteral("ab"));
    traiterFermetures();
    QTreeView *chemins = l().ListView1;
    QHeaderView *entete = chemins->header();
    const QStringList textes = {"Start - E1 - E1\t0.0315", "Start - E2 - E1\t0.004", "Start - E1 - E2\t0.108",
                                "Start - E2 - E2\t0.048"};
    // Clics successifs sur un en-tête : croissant, décroissant, puis ordre de l'énumération.
    const struct {
        int colonne;
        QList<int> ordre; // rangs de l'énumération, de haut en bas
    } cas[] = {
        {1, {1, 0, 3, 2}}, {1, {2, 3, 0, 1}}, {1, {0, 1, 2, 3}}, {0, {0, 2, 1, 3}}, {0, {3, 1, 2, 0}},
    };
    for (const auto &c : cas) {
        const QPoint centre(entete->sectionViewportPosition(c.colonne) + entete->sectionSize(c.colonne) / 2,
                            entete->height() / 2);
        QTest::mouseClick(entete->viewport(), Qt::LeftButton, {}, centre);
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(ligne(chemins, r).join(QLatin1Char('\t')), textes[c.ordre[r]]) << c.colonne << " " << r;
            EXPECT_EQ(ListesResultats::IconeDe(chemins->model()->index(r, 0)), c.ordre[r] == 2 ? 22 : 19);
        }
    }
    // Copie et surlignage suivent l'ordre affiché.
    chemins->selectionModel()->select(QItemSelection(chemins->model()->index(0, 0), chemins->model()->index(1, 1)),
                                      QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(OutilsListe::TexteLignesChoisies(chemins), textes[3] + QLatin1Char('\n') + textes[1]);
    QTest::mouseClick(chemins->viewport(), Qt::LeftButton, {}, chemins->visualRect(chemins->model()->index(0, 0)).center());
    QList<int> attendus = {arc(QStringLiteral("START"), QStringLiteral("E2")), arc(QStringLiteral("E2"), QStringLiteral("E2"))};
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(arcsSurlignes(*VueGraphe(*Parties(*f).Document)), attendus);
}

TEST_F(Listes, ViderChaqueListeOuToutes)
{
    ouvrir();
    lancer(f->Enumerer1Click(), QStringLiteral("ab"));
    lancer(f->Viterbi1Click(), QStringLiteral("ab"));
    traiterFermetures();
    l().AjouterProbabilite(QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("Forward"));
    const auto tailles = [&] {
        return QList<int>{l().ListView1->model()->rowCount(), l().ListView3->topLevelItemCount(),
                          l().ListView2->topLevelItemCount()};
    };
    EXPECT_EQ(tailles(), (QList<int>{4, 1, 1}));
    Parties(*f).ViderViterbi1->trigger();
    EXPECT_EQ(tailles(), (QList<int>{4, 0, 1}));
    Parties(*f).Viderchemins1->trigger();
    EXPECT_EQ(tailles(), (QList<int>{0, 0, 1}));
    Parties(*f).Viderprobabilites1->trigger();
    EXPECT_EQ(tailles(), (QList<int>{0, 0, 0}));
    lancer(f->Viterbi1Click(), QStringLiteral("ab"));
    l().AjouterProbabilite(QStringLiteral("x"), QStringLiteral("0"), QStringLiteral("Forward"));
    Parties(*f).Vidertout1->trigger();
    EXPECT_EQ(tailles(), (QList<int>{0, 0, 0}));
}

TEST_F(Verification, VoletDuRapportEtSonMenu)
{
    ouvrir();
    PanneauVerification &v = *Parties(*f).Verification;
    EXPECT_TRUE(v.isHidden());
    Parties(*f).Verifier1->trigger();
    EXPECT_FALSE(v.isHidden());
    EXPECT_EQ(Parties(*f).SeparateurCanevas->sizes().value(1), PanneauVerification::HauteurAffichee);
    EXPECT_TRUE(v.Texte().startsWith(QStringLiteral(" Vérifiant les états ...")));
    EXPECT_TRUE(v.Texte().endsWith(QStringLiteral(" 0 erreur(s).\n Le modèle est correct, pas de erreurs trouvées.")));
    EXPECT_EQ(v.Onglets->tabText(0), QStringLiteral("Vérification du modèle"));
    EXPECT_TRUE(v.Toutselectionner1->isEnabled());
    EXPECT_FALSE(v.Imprimer1->isEnabled());

    // Ctrl+A dans le rapport : tout est choisi et "Imprimer" devient possible ; Ctrl+C copie.
    v.RichEdit1->setFocus();
    QTest::keyClick(v.RichEdit1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(v.Imprimer1->isEnabled());
    QTest::keyClick(v.RichEdit1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), v.Texte());

    // Impression : le travail porte le texte du rapport comme titre.
    QString titre;
    const QString pdf = Chemin(QStringLiteral("rapport.pdf"));
    v.DemanderImprimante = [&](QPrinter &p) {
        titre = p.docName();
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    EXPECT_TRUE(v.Imprimer());
    EXPECT_EQ(titre, v.Texte());
    EXPECT_GT(QFileInfo(pdf).size(), 0);

    // "Supprimer" vide le rapport et grise "Tout sélectionner" et "Imprimer".
    v.Supprimer1->trigger();
    EXPECT_TRUE(v.Texte().isEmpty());
    EXPECT_FALSE(v.Toutselectionner1->isEnabled());
    EXPECT_FALSE(v.Imprimer1->isEnabled());
    EXPECT_FALSE(v.Imprimer());

    // "Cacher" et le petit bouton cachent le volet (et son séparateur).
    v.Cacher1->trigger();
    EXPECT_TRUE(v.isHidden());
    Parties(*f).Verifier1->trigger();
    EXPECT_FALSE(v.isHidden());
    QTest::mouseClick(v.BoutonFermer, Qt::LeftButton);
    EXPECT_TRUE(v.isHidden());
}

TEST_F(Verification, RapportDUnModeleVideOuFaux)
{
    ouvrir(QString());
    Parties(*f).Verifier1->trigger();
    EXPECT_EQ(Parties(*f).Verification->Texte(), QStringLiteral("Le modèle est vide !\nAucune vérification n'est faite."));

    ouvrir();
    VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E1"), QStringLiteral("E2"))] = QStringLiteral("??");
    Parties(*f).Verifier1->trigger();
    EXPECT_TRUE(Parties(*f).Verification->Texte().contains(QStringLiteral("E1 --> E2")));
    EXPECT_TRUE(Parties(*f).Verification->Texte().contains(QStringLiteral(" Le modèle est incorrect, il y a 2 erreur(s).")));
}

TEST_F(Parametres, LesParametresEtLesTroisTables)
{
    ouvrir();
    QPointer<TForm4> p = f->Parametres1Click();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Les paramètres du modèle"));
    EXPECT_EQ(QApplication::activeModalWidget(), p.data());
    EXPECT_EQ(p->LabelN->text(), QStringLiteral("2"));
    EXPECT_EQ(p->LabelM->text(), QStringLiteral("2"));
    ASSERT_EQ(p->ListBoxEtats->count(), 3);
    EXPECT_EQ(p->ListBoxEtats->item(0)->text(), QStringLiteral("Start"));
    EXPECT_EQ(p->ListBoxSymboles->item(1)->text(), QStringLiteral("b"));
    EXPECT_TRUE(p->BoutonPI->isEnabled() && p->BoutonA->isEnabled() && p->BoutonB->isEnabled());

    const auto contenu = [](TForm18 *t) {
        QList<QStringList> lignes;
        for (int r = 0; r < t->Tableau->rowCount(); ++r) {
            QStringList l;
            for (int c = 0; c < t->Tableau->columnCount(); ++c)
                l << t->Lire(c, r);
            lignes << l;
        }
        return lignes;
    };
    TForm18 *pi = p->VoirPI();
    EXPECT_EQ(pi->windowTitle(), QStringLiteral(" La distribution initiale PI"));
    EXPECT_EQ(contenu(pi), (QList<QStringList>{{"", "E1", "E2"}, {"Start", "0.5", "0.5"}}));
    EXPECT_EQ(pi->size(), TForm18::TailleFenetre(3, 2, p->StatusBar1->height()));
    EXPECT_EQ(pi->size(), QSize(64 * 3 + 6, 24 * 2 + 5 + 22 + 24));
    EXPECT_EQ(QApplication::activeModalWidget(), pi);
    pi->close();
    TForm18 *a = p->VoirA();
    EXPECT_EQ(a->windowTitle(), QStringLiteral(" La matrice de transition A"));
    EXPECT_EQ(contenu(a), (QList<QStringList>{{"", "E1", "E2"}, {"E1", "0.7", "0.3"}, {"E2", "0.4", "0.6"}}));
    a->close();
    TForm18 *b = p->VoirB();
    EXPECT_EQ(b->windowTitle(), QStringLiteral(" La matrice de génération B"));
    EXPECT_EQ(contenu(b), (QList<QStringList>{{"", "a", "b"}, {"E1", "0.9", "0.1"}, {"E2", "0.2", "0.8"}}));
    b->close();
    p->close();
    traiterFermetures();
    EXPECT_TRUE(p.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Parametres, ModeleVideEtProbabiliteIllisible)
{
    ouvrir(QString());
    TForm4 *p = f->Parametres1Click();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->LabelN->text(), QStringLiteral("0"));
    EXPECT_FALSE(p->BoutonPI->isEnabled() || p->BoutonA->isEnabled() || p->BoutonB->isEnabled());
    EXPECT_EQ(p->VoirA(), nullptr);
    p->close();
    traiterFermetures();

    ouvrir();
    VueGraphe(*Parties(*f).Document)->Etiquette[arc(QStringLiteral("E1"), QStringLiteral("E2"))] = QStringLiteral("??");
    EXPECT_EQ(f->Parametres1Click(), nullptr);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Titre, QStringLiteral("hmmbench    Erreur"));
}

TEST_F(Commandes, MenusActivesAuDemarrageEtOutils)
{
    ouvrir();
    for (QAction *a : {Parties(*f).Viderchemins1, Parties(*f).ViderViterbi1, Parties(*f).Viderprobabilites1, Parties(*f).Vidertout1, Parties(*f).Parametres1,
                       Parties(*f).Verifier1, Parties(*f).Enumerer1, Parties(*f).Approchedirect1, Parties(*f).Forward1, Parties(*f).Backward1, Parties(*f).Viterbi1,
                       Parties(*f).AppViterbi1, Parties(*f).AppBaumWelch1, Parties(*f).Word1, Parties(*f).BlocNote1, Parties(*f).Calculatrice1})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    EXPECT_FALSE(Parties(*f).Rapport1->isEnabled());
    QStringList titres;
    for (QAction *m : f->menuBar()->actions())
        titres << m->text();
    // Chaque titre porte sa mnémonique.
    EXPECT_EQ(titres, (QStringList{"&Fichier", "&Edition", "&Affichage", "&Modèle", "&Outils", "A&ide"}));

    // Le premier programme disponible de la liste est lancé ; aucun : rien, sans message.
    QStringList lances;
    Parties(*f).LancerProgramme = [&](const QString &programme, const QStringList &arguments) {
        lances << QFileInfo(programme).fileName() + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    };
    f->LancerOutil({QStringLiteral("programme-absent-de-la-machine"), QStringLiteral("sh -c true")});
    EXPECT_EQ(lances, QStringList{QStringLiteral("sh -c true")});
    f->LancerOutil({QStringLiteral("programme-absent-de-la-machine")});
    EXPECT_EQ(lances.size(), 1);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(f->ProgrammesOutil(Parties(*f).Calculatrice1).contains(QStringLiteral("xcalc")));
    EXPECT_TRUE(f->ProgrammesOutil(Parties(*f).Word1).contains(QStringLiteral("libreoffice --writer")));
}

// Chaque liste de résultats donne ses cases entières, même coupées à l'écran : en bulle sur la
// case, et par « Copier » (lignes choisies, cases séparées par des tabulations).
TEST_F(Listes, BulleEtCopieDuTexteEntier)
{
    ouvrir();
    const QString p = QStringLiteral("1,35075601060693E-1564");
    QStringList etats;
    for (int t = 0; t < 40; ++t)
        etats << (t % 2 ? QStringLiteral("Pluvieux") : QStringLiteral("Ensoleille"));
    l().AjouterViterbi(etats, p);
    l().AjouterProbabilite(QString(120, QLatin1Char('a')), p, QStringLiteral("Forward"));
    l().AjouterProbabilite(QStringLiteral("ab"), QStringLiteral("0,5"), QStringLiteral("Backward"));
    const struct {
        QTreeWidget *liste;
        QString attendu; // texte copié de toutes les lignes
    } cas[] = {
        {l().ListView3, ListesResultats::TexteChemin(etats) + "\t" + p},
        {l().ListView2, QString(120, QLatin1Char('a')) + "\t" + p + "\tForward\nab\t0,5\tBackward"},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(c.liste->objectName().toStdString());
        c.liste->resize(150, c.liste->height()); // cases coupées à l'écran
        c.liste->selectAll();
        QAction *copier = nullptr;
        for (QAction *a : c.liste->actions())
            if (a->text().remove(QLatin1Char('&')) == QStringLiteral("Copier"))
                copier = a;
        ASSERT_TRUE(copier);
        EXPECT_EQ(c.liste->contextMenuPolicy(), Qt::ActionsContextMenu);
        QApplication::clipboard()->clear();
        copier->trigger();
        EXPECT_EQ(QApplication::clipboard()->text(), c.attendu);
        for (int col = 0; col < 2; ++col) {
            const QRect r = c.liste->visualRect(c.liste->model()->index(0, col));
            ASSERT_FALSE(r.isEmpty());
            QHelpEvent bulle(QEvent::ToolTip, r.center(), c.liste->viewport()->mapToGlobal(r.center()));
            QApplication::sendEvent(c.liste->viewport(), &bulle);
            // Le texte entier, en lignes qui tiennent à l'écran.
            EXPECT_EQ(QToolTip::text().remove(QLatin1Char('\n')), c.liste->topLevelItem(0)->text(col));
            QToolTip::hideText();
        }
    }
}

// Chaque menu de la barre s'ouvre au clavier par Alt et une lettre de son titre, à lui seul
// (dite par sa bulle) ; F10 active le premier.
TEST_F(Commandes, MenusAuClavier)
{
    ouvrir();
    QMenuBar *barre = f->menuBar();
    auto fermer = [barre] {
        for (QAction *m : barre->actions())
            if (m->menu())
                m->menu()->hide();
        barre->setActiveAction(nullptr);
    };
    QString prises;
    for (QAction *m : barre->actions()) {
        SCOPED_TRACE(m->text().toStdString());
        const QString bulle = m->toolTip();
        ASSERT_TRUE(bulle.startsWith(QStringLiteral("Alt+")) && bulle.size() == 5) << bulle.toStdString();
        const QChar lettre = bulle.back();
        EXPECT_TRUE(m->text().toUpper().contains(lettre));
        EXPECT_FALSE(prises.contains(lettre));
        prises += lettre;
        fermer();
        QTest::keyClick(f.get(), Qt::Key(lettre.unicode()), Qt::AltModifier);
        EXPECT_EQ(barre->activeAction(), m);
    }
    fermer();
    QTest::keyClick(f.get(), Qt::Key_F10);
    EXPECT_EQ(barre->activeAction(), barre->actions().constFirst());
    fermer();
}
