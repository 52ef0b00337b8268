// Fenêtres de l'apprentissage ouvertes sur un modèle : ce qu'elles montrent et leur place à l'écran.
#include "editor/canevas.h"
#include "outils_principale.h"
#include "apprentissage/dialogue_generation.h"
#include "apprentissage/dialogue_posterieur.h"
#include "apprentissage/fenetre_convergence.h"
#include "apprentissage/fenetre_treillis.h"
#include "calculs/app_viterbi.h"
#include "calculs/approchedirect.h"
#include "calculs/backward.h"
#include "calculs/baumwelch.h"
#include "calculs/cheminspossible.h"
#include "calculs/forward.h"
#include "calculs/viterbi.h"
#include "editor/apercu_etiquettes.h"
#include "editor/listes.h"
#include "direct/graphe_gamma.h"
#include "algorithms/direct.h"
#include "editor/listes_outils.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "algorithms/sequence.h"
#include "model/textes.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QChartView>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QMenuBar>
#include <QToolTip>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QCategoryAxis>
#include <QValueAxis>
#include <algorithm>
#include <functional>

namespace {

class FenetresApprentissage : public FenetreComplete {
protected:
    QAction *action(const QString &texte) const
    {
        for (QAction *a : f->findChildren<QAction *>())
            if (a->text() == texte || a->objectName() == texte)
                return a;
        return nullptr;
    }
    // Déclenche `a`, qui ouvre une boîte modale, et passe la boîte à `pendant` avant de la fermer.
    static void modale(QAction *a, const std::function<void(QDialog *)> &pendant)
    {
        bool vue = false;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            vue = true;
            pendant(d);
            if (d->isVisible())
                d->reject();
        });
        a->trigger();
        EXPECT_TRUE(vue);
    }
    static QRect ecran() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

}

// Treillis, convergence, génération et a posteriori sur E1/E2 : leurs valeurs, et chacune dans
// l'écran.
TEST_F(FenetresApprentissage, ChaqueFenetreMontreLeModeleDansLEcran)
{
    ouvrir();
    lancer(f->Forward1Click(), QStringLiteral("abba"));
    traiterFermetures();
    const QString p = ligne(Parties(*f).Listes->ListView2, 0).value(1);
    ASSERT_FALSE(p.isEmpty());

    const struct {
        const char *nom;
        std::function<QWidget *()> ouvrir;
        std::function<void(QWidget *)> verifier;
    } cas[] = {
        {"treillis",
         [&]() -> QWidget * {
             action(QStringLiteral("Treillis1"))->trigger();
             return f->findChild<FenetreTreillis *>();
         },
         [&](QWidget *w) {
             auto *t = static_cast<FenetreTreillis *>(w);
             const QAbstractItemModel *m = t->Tableau->model();
             ASSERT_EQ(m->columnCount(), 4);
             ASSERT_EQ(m->rowCount(), 2);
             // α1(E1) = π(E1)·b(E1,a) = 0,5 × 0,9 ; la dernière colonne somme à P(O|λ).
             EXPECT_EQ(m->index(0, 0).data().toString(), Nombres::Formater(0.45L));
             EXPECT_EQ(m->headerData(0, Qt::Vertical).toString(), QStringLiteral("E1"));
             const long double somme = Nombres::VersExtended(m->index(0, 3).data().toString()) +
                                       Nombres::VersExtended(m->index(1, 3).data().toString());
             EXPECT_EQ(Nombres::Formater(somme), p);
             // Noms des états et en-tête fixes : le défilement ne déplace que les nœuds.
             t->resize(300, 300);
             QApplication::processEvents();
             const QRect etats = t->Defilement->BandeEtats->geometry();
             t->Defilement->horizontalScrollBar()->setValue(t->Defilement->horizontalScrollBar()->maximum());
             QApplication::processEvents();
             EXPECT_GT(t->Defilement->horizontalScrollBar()->value(), 0);
             EXPECT_EQ(t->Defilement->BandeEtats->geometry(), etats);
             EXPECT_LT(t->Vue->x(), 0);
             // La légende passe à la ligne dans la largeur de la fenêtre.
             EXPECT_TRUE(t->Legende->wordWrap());
             EXPECT_LE(t->Legende->width(), t->width());
             EXPECT_GT(t->Legende->height(), t->Legende->fontMetrics().height());
             // Une case choisie, cliquée ou au clavier : le graphe surligne exactement les arcs que
             // lit sa formule et la boîte de son état ; la formule s'annonce avec ce qu'elle lit.
             DocumentModele &doc = *Parties(*f).Document;
             const auto indice = [&](const char *nom) { return doc.RechercherIndice(QLatin1String(nom), false); };
             const struct {
                 bool clic;
                 int t, j;
                 std::vector<std::pair<const char *, const char *>> arcs;
             } choix[] = {{false, 2, 2, {{"E1", "E2"}, {"E2", "E2"}}}, {true, 1, 1, {{"START", "E1"}}}};
             for (const auto &c : choix) {
                 if (c.clic) {
                     t->Onglets->setCurrentIndex(0);
                     QApplication::processEvents();
                     const QRect r = Treillis::Geometrie(t->Vue->Donnees()).Noeud(c.t, c.j).translated(-t->Vue->Origine());
                     QTest::mouseClick(t->Vue, Qt::LeftButton, {}, r.center());
                 } else {
                     t->Onglets->setCurrentIndex(1);
                     t->Tableau->setCurrentIndex(m->index(c.j - 1, c.t - 1));
                 }
                 std::vector<bool> attendus(THmm::Taille, false);
                 for (const auto &[de, vers] : c.arcs) {
                     const int a = VueGraphe(doc)->ExisteARC(indice(de), indice(vers));
                     ASSERT_GT(a, 0) << de << " " << vers;
                     attendus[std::size_t(a)] = true;
                 }
                 EXPECT_EQ(std::vector<bool>(VueGraphe(doc)->ArcSurligne, VueGraphe(doc)->ArcSurligne + THmm::Taille), attendus);
                 // Chaque arc dans la couleur de son terme.
                 const Treillis::Donnees &donnees = t->Vue->Donnees();
                 for (const Treillis::Terme &x : Treillis::Lues(donnees, c.t, c.j).Termes) {
                     if (x.De < 0)
                         continue;
                     const int a = VueGraphe(doc)->ExisteARC(doc.RechercherIndice(donnees.Etats[x.De], false),
                                                       doc.RechercherIndice(donnees.Etats[x.Vers], false));
                     ASSERT_GT(a, 0);
                     EXPECT_EQ(VueGraphe(doc)->CouleurArcSurligne[a], Treillis::CouleurTerme(x.Couleur));
                 }
                 for (int k = 0; k <= doc.N(); ++k) {
                     if (VueEtat(doc, k)) {
                         EXPECT_EQ(VueEtat(doc, k)->Surligne, VueEtat(doc, k)->Nom == t->Vue->Donnees().Etats[c.j]) << k;
                     }
                 }
                 EXPECT_EQ(t->Formule->accessibleDescription(), Treillis::Lues(t->Vue->Donnees(), c.t, c.j).Texte);
                 EXPECT_TRUE(t->Formule->accessibleName().endsWith(Treillis::Formule(t->Vue->Donnees(), c.t, c.j)));
             }
             // Fermé, le treillis ne laisse rien de surligné.
             t->close();
             EXPECT_EQ(std::count(VueGraphe(doc)->ArcSurligne, VueGraphe(doc)->ArcSurligne + THmm::Taille, true), 0);
             for (int k = 0; k <= doc.N(); ++k)
                 EXPECT_FALSE(VueEtat(doc, k) && VueEtat(doc, k)->Surligne) << k;
         }},
        {"convergence",
         [&]() -> QWidget * {
             lancer(f->AppBaumWelch1Click(), QStringLiteral("abba"));
             traiterFermetures();
             return f->findChild<FenetreConvergence *>();
         },
         [&](QWidget *w) {
             auto *c = static_cast<FenetreConvergence *>(w);
             c->Vider();
             ASSERT_GE(c->Courbe->count(), 2);
             // Un point par itération, de 0 à la dernière, graduations entières sur elles.
             for (int k = 0; k < c->Courbe->count(); ++k)
                 EXPECT_EQ(c->Courbe->at(k).x(), k);
             const QStringList graduations = c->AxeX->categoriesLabels();
             ASSERT_FALSE(graduations.isEmpty());
             for (const QString &g : graduations)
                 EXPECT_EQ(c->AxeX->endValue(g), g.toInt()) << g.toStdString();
             EXPECT_FALSE(c->AxeX->titleText().isEmpty());
             EXPECT_FALSE(c->AxeY->titleText().isEmpty());
             EXPECT_TRUE(c->Vue->chart()->localizeNumbers());
             // La courbe monte (Baum-Welch ne fait jamais baisser P(O|λ)).
             EXPECT_GE(c->Courbe->at(c->Courbe->count() - 1).y(), c->Courbe->at(0).y());
             // Revoir l'entraînement : le curseur montre chaque itération sans toucher au modèle ;
             // « Garder » met celle-ci dans le modèle en une étape, que Défaire retire.
             DocumentModele &doc = *Parties(*f).Document;
             ASSERT_TRUE(c->Curseur->isEnabled());
             EXPECT_EQ(c->Curseur->maximum(), c->Courbe->count() - 1);
             EXPECT_EQ(c->Curseur->value(), c->Curseur->maximum());
             // Les nombres du modèle (la taille des boîtes suit leurs textes).
             const auto nombres = [&doc] {
                 QStringList l;
                 const ContenuModele m = doc.Contenu();
                 for (const auto &a : m.Arcs)
                     l << a.Etiquette;
                 for (const auto &e : m.Etats)
                     for (const auto &[symbole, probabilite] : e.Paires)
                         l << symbole + QLatin1Char('=') + probabilite;
                 return l;
             };
             const QStringList entraine = nombres();
             c->Curseur->setValue(0);
             EXPECT_TRUE(c->Choix->text().startsWith(QStringLiteral("Itération 0 sur "))) << c->Choix->text().toStdString();
             EXPECT_TRUE(c->Valeurs->toPlainText().contains(QStringLiteral("\nE1\t0.7\t0.3\n")))
                 << c->Valeurs->toPlainText().toStdString();
             EXPECT_EQ(nombres(), entraine);
             const int boucle = VueGraphe(doc)->ExisteARC(doc.RechercherIndice(QStringLiteral("E1"), false),
                                                    doc.RechercherIndice(QStringLiteral("E1"), false));
             ASSERT_GT(boucle, 0);
             // Le graphe montre en aperçu les étiquettes de l'itération 0, sans changer le modèle ;
             // la fenêtre fermée, il revient au modèle.
             auto *apercu = f->findChild<ApercuEtiquettes *>();
             ASSERT_NE(apercu, nullptr);
             EXPECT_TRUE(apercu->Actif());
             EXPECT_EQ(apercu->Texte(boucle), QStringLiteral("0.7"));
             EXPECT_NE(VueGraphe(doc)->Etiquette[boucle], QStringLiteral("0.7"));
             const int e1 = doc.RechercherIndice(QStringLiteral("E1"), false);
             ASSERT_EQ(VueEtat(doc, e1)->Generation[1][1], QStringLiteral("a"));
             EXPECT_EQ(apercu->TextePaire(e1, 1), QStringLiteral("0.9"));
             EXPECT_NE(VueEtat(doc, e1)->Generation[1][2], QStringLiteral("0.9"));
             // Et le dessin le montre : l'étiquette de la boucle peinte sur le fond de l'aperçu.
             const auto jaunes = [&] {
                 const QImage image = VueGraphe(doc)->grab().toImage();
                 const QRect r = VueGraphe(doc)->RectangleEtiquette(boucle).adjusted(-20, 0, 20, 0);
                 int n = 0;
                 for (int y = r.top(); y <= r.bottom(); ++y)
                     for (int x = r.left(); x <= r.right(); ++x)
                         n += image.pixelColor(x, y) == QColor(255, 240, 170);
                 return n;
             };
             EXPECT_GT(jaunes(), 50);
             c->hide();
             EXPECT_FALSE(apercu->Actif());
             EXPECT_EQ(apercu->TextePaire(e1, 1), Nombres::TexteAffiche(VueEtat(doc, e1)->Generation[1][2]));
             c->show();
             EXPECT_EQ(apercu->Texte(boucle), QStringLiteral("0.7"));
             // γ de l'itération montrée : une courbe par état et le chemin de Viterbi.
             auto *gamma = c->findChild<GrapheGamma *>();
             ASSERT_NE(gamma, nullptr);
             auto *titre = c->findChild<QLabel *>(QStringLiteral("TitreRevue"));
             ASSERT_NE(titre, nullptr);
             const auto tracee = [titre](int k) {
                 return QTest::qWaitFor([=] { return titre->text().startsWith(QStringLiteral("γ a posteriori, itération %1 :").arg(k)); }, 2000);
             };
             ASSERT_TRUE(tracee(0)) << titre->text().toStdString();
             ASSERT_EQ(gamma->chart()->series().size(), 3);
             const auto courbeE1 = [gamma] { return qobject_cast<QLineSeries *>(gamma->chart()->series().value(0))->points(); };
             const QList<QPointF> gammaInitial = courbeE1();
             const int etapes = doc.Annulations().Taille();
             c->Garder->click();
             EXPECT_EQ(VueGraphe(doc)->Etiquette[boucle], QStringLiteral("0.7"));
             EXPECT_EQ(doc.Annulations().Taille(), etapes + 1);
             EXPECT_TRUE(c->Garder->isEnabled());
             EXPECT_FALSE(apercu->Actif());
             EXPECT_EQ(jaunes(), 0);
             // Ce γ est celui du calcul sans fenêtre sur le modèle gardé.
             const ResultatDirect r = Direct::Calculer(doc.Contenu(), {QStringLiteral("abba")}, true);
             ASSERT_EQ(gammaInitial.size(), qsizetype(r.Gamma.size()));
             for (qsizetype k = 0; k < gammaInitial.size(); ++k)
                 EXPECT_EQ(gammaInitial[k].y(), r.Gamma[std::size_t(k)][0]) << k;
             c->Curseur->setValue(c->Curseur->maximum());
             ASSERT_TRUE(tracee(c->Curseur->maximum()));
             EXPECT_NE(courbeE1(), gammaInitial);
             EXPECT_TRUE(apercu->Actif());
             Parties(*f).Defaire1->trigger();
             EXPECT_EQ(nombres(), entraine);
             EXPECT_FALSE(c->Garder->isEnabled());
             // Le modèle a changé depuis : plus d'aperçu.
             c->Curseur->setValue(0);
             EXPECT_FALSE(apercu->Actif());
         }},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(c.nom);
        QWidget *w = c.ouvrir();
        ASSERT_NE(w, nullptr);
        w->show();
        QApplication::processEvents();
        EXPECT_TRUE(ecran().contains(w->frameGeometry())) << w->frameGeometry().width() << "x" << w->frameGeometry().height();
        // Jamais sur la barre de menus de la fenêtre principale.
        EXPECT_FALSE(w->frameGeometry().intersects(QRect(f->menuBar()->mapToGlobal(QPoint(0, 0)), f->menuBar()->size())));
        c.verifier(w);
        w->close();
    }

    // Les deux boîtes modales : génération (graine fixée) et chemin a posteriori.
    modale(action(QStringLiteral("Générer une séquence...")), [&](QDialog *d) {
        auto *g = qobject_cast<DialogueGeneration *>(d);
        ASSERT_NE(g, nullptr);
        g->Longueur->setValue(12);
        g->Graine->setText(QStringLiteral("7"));
        g->GenererClick();
        EXPECT_EQ(g->Texte.size(), 12);
        EXPECT_EQ(g->Observations->toPlainText(), g->Texte);
        g->ComparerClick();
        EXPECT_EQ(g->Comparaison->rowCount(), 12);
        EXPECT_TRUE(ecran().contains(g->frameGeometry()));
    });
    modale(action(QStringLiteral("Chemin a posteriori...")), [&](QDialog *d) {
        auto *a = qobject_cast<DialoguePosterieur *>(d);
        ASSERT_NE(a, nullptr);
        a->Sequence->setEditText(QStringLiteral("abba"));
        a->accept();
    });
    EXPECT_EQ(ligne(Parties(*f).Listes->ListView3, 0).value(0), QStringLiteral("Start - E1 - E2 - E2 - E1"));
    EXPECT_EQ(ligne(Parties(*f).Listes->ListView3, 0).value(1), QStringLiteral("a posteriori (argmax γ)"));
}

// Une séquence de 20 000 symboles dans l'historique et dans les listes : aucune boîte ne
// dépasse l'écran, la colonne « Séquence » reste bornée et reprend sa largeur quand on vide.
TEST_F(FenetresApprentissage, UneSequenceDeVingtMilleSymbolesNeFaitRienDeborder)
{
    ouvrir();
    QString longue;
    for (int k = 0; k < 20000; ++k)
        longue += QLatin1Char(k % 3 ? 'a' : 'b');
    ASSERT_TRUE(Textes::EcrireLignes(HistoriqueSequences::Chemin(), {QStringLiteral("ab"), longue}));
    for (const auto &o : ouvreursBoites()) {
        QPointer<DialogueAlgorithme> d = o();
        ASSERT_TRUE(d);
        d->LabeledEdit1->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_TRUE(ecran().contains(d->frameGeometry())) << d->windowTitle().toStdString();
        // La bulle tient à l'écran ; la copie donne le texte entier.
        EXPECT_LE(QFontMetrics(QToolTip::font()).boundingRect(QRect(0, 0, 100000, 100000), 0, d->LabeledEdit1->toolTip()).width(),
                  ecran().width());
        d->LabeledEdit1->findChild<QAction *>(QStringLiteral("CopierSequence"))->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), longue);
        d->close();
        traiterFermetures();
    }
    modale(action(QStringLiteral("Chemin a posteriori...")), [&](QDialog *d) {
        EXPECT_EQ(qobject_cast<DialoguePosterieur *>(d)->Sequence->currentText(), longue);
        EXPECT_LE(d->frameGeometry().width(), ecran().width());
        EXPECT_TRUE(ecran().contains(d->frameGeometry()));
    });

    lancer(f->Forward1Click(), QStringLiteral("ab"));
    traiterFermetures();
    Parties(*f).Listes->AjouterProbabilite(longue, QStringLiteral("0"), QStringLiteral("Forward"));
    QTreeWidget *l = Parties(*f).Listes->ListView2;
    EXPECT_LE(l->columnWidth(0), OutilsListe::LargeurMax);
    // La probabilité reste dans la liste : la séquence lui cède la place.
    EXPECT_LE(l->columnWidth(0) + l->columnWidth(1), std::max(l->viewport()->width(), OutilsListe::LargeurMin + l->columnWidth(1)));
    Parties(*f).Listes->ViderTout();
    Parties(*f).Listes->AjouterProbabilite(QStringLiteral("ab"), QStringLiteral("0,5"), QStringLiteral("Forward"));
    EXPECT_LT(l->columnWidth(0), OutilsListe::LargeurMax);
}
