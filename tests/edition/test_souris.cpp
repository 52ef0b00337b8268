// Édition à la souris et au clavier sur la fenêtre principale, et annulation.
#include "editor/canevas.h"
#include "outils_edition.h"
#include "dialogs/proprieres.h"
#include "editor/defaire.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/repertoire.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

namespace {
using Souris_ = EditionFenetre;

// Point du milieu d'un arc droit : là où la recherche d'arc le trouve.
QPoint milieuArc(const THmm *h, int i)
{
    return (h->PointsARC[i][1] + h->PointsARC[i][2]) / 2;
}
}

TEST_F(Souris_, TroisClicsEnModeEtatCreentEtat1a3)
{
    DocumentModele &d = *Parties(*f).Document;
    for (QPoint p : {QPoint(150, 150), QPoint(400, 150), QPoint(650, 150)})
        creerEtat(p);
    EXPECT_EQ(noms(), QStringList({QStringLiteral("Etat_1"), QStringLiteral("Etat_2"), QStringLiteral("Etat_3")}));
    EXPECT_EQ(d.Dernier(), 3);
    EXPECT_TRUE(d.EstModifie());
    // Boîte centrée sur le clic, à sa taille minimale ; la palette revient à Sourie.
    const TEtat2 *b = VueEtat(d, 1);
    EXPECT_EQ(b->size(), QSize(95, 50));
    EXPECT_EQ(b->pos(), QPoint(150 - 95 / 2, 150 - 25));
    EXPECT_TRUE(Parties(*f).Sourie->isChecked());
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'état: Etat_3"));

    // START : 95 x 26, une seule fois ; son bouton se grise.
    TEtat2 *s = creerStart(QPoint(150, 400));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->size(), QSize(95, 26));
    EXPECT_FALSE(Parties(*f).Start->isEnabled());
    EXPECT_EQ(d.N(), 3);
}

TEST_F(Souris_, NomSuivantApresRenommageDansLEditeur)
{
    DocumentModele &d = *Parties(*f).Document;
    for (QPoint p : {QPoint(150, 150), QPoint(400, 150), QPoint(650, 150)})
        creerEtat(p);
    // Etat_2 renommé Etat_4 dans l'éditeur d'état ouvert par un double-clic.
    doubleCliquer(centre(VueEtat(d, 2)));
    auto *e = f->findChild<TForm2 *>();
    ASSERT_TRUE(e);
    e->Edit1->setText(QStringLiteral("Etat_4"));
    e->Edit2->setText(QStringLiteral("a"));
    e->Edit3->setText(QStringLiteral("1"));
    e->AjouterClick();
    ASSERT_TRUE(e->OkClick());
    EXPECT_EQ(noms(), QStringList({QStringLiteral("Etat_1"), QStringLiteral("Etat_4"), QStringLiteral("Etat_3")}));
    // Les aides techniques lisent le nom courant, aussi après un renommage et son annulation.
    EXPECT_EQ(VueEtat(d, 2)->accessibleName(), QStringLiteral("État Etat_4"));
    // (trois étapes : le nom, le nombre de symboles, les symboles)
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(d.Defaire());
    EXPECT_EQ(VueEtat(d, 2)->accessibleName(), QStringLiteral("État Etat_2"));
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(d.Refaire());
    creerEtat(QPoint(150, 400));
    EXPECT_EQ(VueEtat(d, 4)->Nom, QStringLiteral("Etat_5"));
    EXPECT_EQ(d.Dernier(), 5);
}

TEST_F(Souris_, BandeStricteEtEtatAuxBornesDeLaBande)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(200, 200));
    TEtat2 *b = creerEtat(QPoint(500, 200));
    const int droiteA = a->Left() + a->Width();
    // Bande dont le bord gauche touche le bord droit de A et qui couvre B.
    glisser(QPoint(droiteA, 100), QPoint(b->Left() + 10, 300), {QPoint(droiteA + 20, 150)});
    EXPECT_FALSE(a->Selectionne);
    EXPECT_TRUE(b->Selectionne);
    EXPECT_FALSE(Parties(*f).Souris->BandeVisible());
    // Un clic sur le canevas vide désélectionne tout.
    cliquer(QPoint(700, 500));
    EXPECT_FALSE(b->Selectionne);
    // Un pixel de plus : A est prise.
    glisser(QPoint(droiteA - 1, 100), QPoint(droiteA + 30, 300), {QPoint(droiteA + 5, 150)});
    EXPECT_TRUE(a->Selectionne);

    // En mode Etat, la bande sélectionne ce qu'elle chevauche et donne ses bornes à l'état.
    Parties(*f).Etat->trigger();
    glisser(QPoint(150, 350), QPoint(450, 480), {QPoint(200, 400)});
    ASSERT_EQ(d.N(), 3);
    EXPECT_EQ(VueEtat(d, 3)->geometry(), QRect(150, 350, 300, 130));
    // Une bande plus petite que le minimum est relevée.
    Parties(*f).Etat->trigger();
    glisser(QPoint(600, 400), QPoint(610, 405), {QPoint(605, 402)});
    EXPECT_EQ(VueEtat(d, 4)->geometry(), QRect(600, 400, 95, 50));
}

TEST_F(Souris_, SelectionAuClicEtAvecCtrl)
{
    TEtat2 *s = creerStart(QPoint(150, 100));
    TEtat2 *a = creerEtat(QPoint(150, 250));
    TEtat2 *b = creerEtat(QPoint(400, 250));
    cliquer(centre(a));
    EXPECT_TRUE(a->Selectionne);
    EXPECT_EQ(Parties(*f).Document->EtatCourant(), a);
    cliquer(centre(b), Qt::ControlModifier);
    EXPECT_TRUE(a->Selectionne);
    EXPECT_TRUE(b->Selectionne);
    // Ctrl+clic sur une boîte sélectionnée la retire de la sélection.
    cliquer(centre(a), Qt::ControlModifier);
    EXPECT_FALSE(a->Selectionne);
    EXPECT_TRUE(b->Selectionne);
    // Ctrl+clic sur START ne change pas sa sélection.
    EXPECT_FALSE(s->Selectionne);
    cliquer(centre(s), Qt::ControlModifier);
    EXPECT_FALSE(s->Selectionne);
    EXPECT_TRUE(b->Selectionne);
    // Un clic simple : seule cette boîte.
    cliquer(centre(a));
    EXPECT_TRUE(a->Selectionne);
    EXPECT_FALSE(b->Selectionne);
}

TEST_F(Souris_, ArcsParGlisserDeposerEtReglesDeDepot)
{
    DocumentModele &d = *Parties(*f).Document;
    THmm *h = VueGraphe(d);
    TEtat2 *s = creerStart(QPoint(150, 100));
    TEtat2 *a = creerEtat(QPoint(150, 300));
    TEtat2 *b = creerEtat(QPoint(500, 300));

    // Pendant le glisser : la ligne élastique suit la souris sur le canevas, la cible est cernée.
    Parties(*f).Arc->trigger();
    deplacer(centre(a));
    appuyer(centre(a));
    deplacer(QPoint(320, 450));
    EXPECT_TRUE(Parties(*f).Souris->LigneVisible());
    EXPECT_EQ(Parties(*f).Souris->FinLigne(), QPoint(320, 450));
    deplacer(centre(b));
    EXPECT_TRUE(b->Surligne);
    relacher(centre(b));
    EXPECT_FALSE(Parties(*f).Souris->LigneVisible());
    EXPECT_FALSE(b->Surligne);
    ASSERT_EQ(h->NbArcs, 1);
    EXPECT_EQ(h->ARC[1][1], 1);
    EXPECT_EQ(h->ARC[1][2], 2);
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("??"));
    EXPECT_TRUE(Parties(*f).Sourie->isChecked());
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'arc: (Etat_1,Etat_2)"));
    EXPECT_EQ(h->RayonCourbe[1], 0);

    // L'arc opposé : les deux deviennent des courbes.
    creerArc(b, a);
    ASSERT_EQ(h->NbArcs, 2);
    EXPECT_GT(h->RayonCourbe[1], 0);
    EXPECT_GT(h->RayonCourbe[2], 0);
    EXPECT_EQ(h->RayonCourbe[1], h->RayonCourbe[2]);

    // Refusés sans message : doublon, vers START, vers soi-même, depuis "END".
    creerArc(a, b);
    creerArc(a, s);
    Parties(*f).Arc->trigger();
    glisser(centre(a), centre(a) + QPoint(5, 0), {QPoint(150, 450), centre(a)});
    TEtat2 *fin = creerEtat(QPoint(500, 100));
    fin->Nom = QStringLiteral("END");
    creerArc(fin, b);
    EXPECT_EQ(h->NbArcs, 2);
    EXPECT_TRUE(Parties(*f).Arc->isChecked()); // un dépôt refusé laisse le mode
    creerArc(s, a);
    creerArc(b, fin);
    EXPECT_EQ(h->NbArcs, 4);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Souris_, BoucleAvecSonRetourDeCible)
{
    THmm *h = VueGraphe(*Parties(*f).Document);
    TEtat2 *s = creerStart(QPoint(150, 100));
    TEtat2 *a = creerEtat(QPoint(300, 300));
    Parties(*f).Boucle->trigger();
    deplacer(centre(a) + QPoint(2, 2));
    EXPECT_TRUE(a->Surligne);
    deplacer(QPoint(600, 500)); // sur le canevas : plus de cible
    EXPECT_FALSE(a->Surligne);
    cliquer(centre(s)); // START ne prend pas de boucle
    EXPECT_EQ(h->NbArcs, 0);
    EXPECT_TRUE(Parties(*f).Boucle->isChecked());
    cliquer(centre(a));
    ASSERT_EQ(h->NbArcs, 1);
    EXPECT_EQ(h->ARC[1][1], 1);
    EXPECT_EQ(h->ARC[1][2], 1);
    EXPECT_FALSE(a->Surligne);
    EXPECT_TRUE(Parties(*f).Sourie->isChecked());
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création d'arc boucle de l'etat: Etat_1"));
    // Une seconde boucle n'est pas possible.
    Parties(*f).Boucle->trigger();
    cliquer(centre(a));
    EXPECT_EQ(h->NbArcs, 1);
}

// Outils d'arc et de boucle : un clic sur l'outil le donne pour un seul usage (retour à la
// sélection) ; un double-clic le garde jusqu'à Échap ou un clic sur l'outil de sélection.
TEST_F(Souris_, OutilMaintenuParDoubleClic)
{
    DocumentModele &d = *Parties(*f).Document;
    THmm *h = VueGraphe(d);
    TEtat2 *e[] = {creerEtat(QPoint(150, 150)), creerEtat(QPoint(500, 150)), creerEtat(QPoint(320, 420))};
    auto *palette = f->findChild<QToolBar *>(QStringLiteral("Palette"));
    ASSERT_TRUE(palette);
    enum Fin { Aucune, Echap, Selection };
    const struct {
        bool boucle, doubleClic;
        Fin fin;
    } cas[] = {
        {false, false, Aucune}, {false, true, Echap}, {false, true, Selection},
        {true, false, Aucune},  {true, true, Echap},  {true, true, Selection},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(testing::Message() << c.boucle << c.doubleClic << c.fin);
        while (h->NbArcs > 0)
            d.SupprimerArc(1);
        QAction *outil = c.boucle ? Parties(*f).Boucle : Parties(*f).Arc;
        // Un usage de l'outil sur l'état k (boucle) ou de l'état k au suivant (arc).
        auto utiliser = [&](int k) {
            TEtat2 *a = e[k], *b = e[(k + 1) % 3];
            if (c.boucle)
                return cliquer(centre(a));
            const QPoint milieu((centre(a).x() + centre(b).x()) / 2, 560);
            glisser(centre(a), centre(b), {milieu, milieu + QPoint(3, 3)});
        };
        QWidget *bouton = palette->widgetForAction(outil);
        if (c.doubleClic)
            QTest::mouseDClick(bouton, Qt::LeftButton);
        else
            QTest::mouseClick(bouton, Qt::LeftButton);
        ASSERT_TRUE(outil->isChecked());
        utiliser(0);
        ASSERT_EQ(h->NbArcs, 1);
        EXPECT_EQ(outil->isChecked(), c.doubleClic);
        EXPECT_EQ(Parties(*f).Sourie->isChecked(), !c.doubleClic);
        if (!c.doubleClic)
            continue;
        utiliser(1);
        EXPECT_EQ(h->NbArcs, 2);
        EXPECT_TRUE(outil->isChecked());
        if (c.fin == Echap)
            touche(Qt::Key_Escape);
        else
            QTest::mouseClick(palette->widgetForAction(Parties(*f).Sourie), Qt::LeftButton);
        EXPECT_TRUE(Parties(*f).Sourie->isChecked());
        // Relâché : l'outil repris d'un clic ne sert plus qu'une fois.
        QTest::mouseClick(bouton, Qt::LeftButton);
        utiliser(2);
        EXPECT_EQ(h->NbArcs, 3);
        EXPECT_TRUE(Parties(*f).Sourie->isChecked());
    }
}

TEST_F(Souris_, EtiquetteEditeeEnPlace)
{
    DocumentModele &d = *Parties(*f).Document;
    THmm *h = VueGraphe(d);
    TEtat2 *a = creerEtat(QPoint(150, 300));
    TEtat2 *b = creerEtat(QPoint(550, 300));
    creerArc(a, b);
    ASSERT_EQ(h->NbArcs, 1);
    QLineEdit *e3 = Parties(*f).Souris->Edit3;

    cliquer(milieuArc(h, 1));
    ASSERT_TRUE(e3->isVisible());
    EXPECT_EQ(e3->text(), QStringLiteral("??"));
    EXPECT_EQ(Parties(*f).Souris->ArcEdite, 1);
    EXPECT_FALSE(h->EtiquetteVisible[1]);
    QTest::keyClick(e3, Qt::Key_5);
    EXPECT_EQ(e3->text(), QStringLiteral("5"));
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("5"));
    // Lettres refusées ; un seul séparateur.
    QTest::keyClicks(e3, QStringLiteral("x.2.3"));
    EXPECT_EQ(e3->text(), QStringLiteral("5.23"));
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("5.23"));
    // Effacé : "0".
    e3->selectAll();
    QTest::keyClick(e3, Qt::Key_Backspace);
    EXPECT_EQ(e3->text(), QStringLiteral("0"));
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("0"));
    QTest::keyClicks(e3, QStringLiteral(".50"));
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("0.5"));
    // Entrée : fin de l'édition, une étape d'annulation, l'étiquette se montre.
    QTest::keyClick(e3, Qt::Key_Return);
    EXPECT_FALSE(e3->isVisible());
    EXPECT_TRUE(h->EtiquetteVisible[1]);
    EXPECT_FALSE(h->ArcSelectionne[1]);
    EXPECT_EQ(Parties(*f).Souris->ArcEdite, -1);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la modification de l'arc (Etat_1,Etat_2)"));
    // L'étape garde l'ancienne étiquette : annuler la rend.
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(VueGraphe(d)->Etiquette[1], QStringLiteral("??"));

    // Vidé puis validé : "0", et l'arc disparaît aussitôt (plus d'arc nul dessiné jusqu'au
    // prochain calcul) ; annuler le rend.
    cliquer(milieuArc(VueGraphe(d), 1));
    Parties(*f).Souris->Edit3->selectAll();
    QTest::keyClick(Parties(*f).Souris->Edit3, Qt::Key_Backspace);
    QTest::keyClick(Parties(*f).Souris->Edit3, Qt::Key_Return);
    EXPECT_EQ(VueGraphe(d)->NbArcs, 0);
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(VueGraphe(d)->NbArcs, 1);
}

TEST_F(Souris_, EtiquetteDeBoucleEtFinParLaSouris)
{
    THmm *h = VueGraphe(*Parties(*f).Document);
    TEtat2 *a = creerEtat(QPoint(300, 300));
    Parties(*f).Boucle->trigger();
    cliquer(centre(a));
    ASSERT_EQ(h->NbArcs, 1);
    // Le haut du cercle de la boucle.
    const QPoint p2 = h->PointsARC[1][2];
    cliquer(QPoint(p2.x(), p2.y() - 2 * h->RayonBoucle - 1));
    ASSERT_TRUE(Parties(*f).Souris->Edit3->isVisible());
    QTest::keyClick(Parties(*f).Souris->Edit3, Qt::Key_7);
    // Un clic sur le canevas vide termine l'édition.
    cliquer(QPoint(700, 550));
    EXPECT_FALSE(Parties(*f).Souris->Edit3->isVisible());
    EXPECT_EQ(h->Etiquette[1], QStringLiteral("7"));
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la modification de la boucle de l'état: Etat_1"));
}

TEST_F(Souris_, DeplacementEtRedimensionnement)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(200, 200));
    TEtat2 *b = creerEtat(QPoint(500, 200));
    creerArc(a, b);
    const QPoint avantArc = VueGraphe(d)->PointsARC[1][1];
    const QPoint pos = a->pos();

    // Déplacement : le fantôme suit, la boîte ne bouge qu'au relâchement.
    deplacer(centre(a));
    appuyer(centre(a));
    deplacer(centre(a) + QPoint(20, 40));
    EXPECT_TRUE(Parties(*f).Souris->FantomeVisible());
    EXPECT_EQ(Parties(*f).Souris->RectangleFantome().topLeft(), pos + QPoint(20, 40));
    EXPECT_EQ(a->pos(), pos);
    relacher(centre(a) + QPoint(20, 40));
    EXPECT_FALSE(Parties(*f).Souris->FantomeVisible());
    EXPECT_EQ(a->pos(), pos + QPoint(20, 40));
    EXPECT_NE(VueGraphe(d)->PointsARC[1][1], avantArc);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler le déplacement de l'état: Etat_1"));

    // Redimensionnement par la poignée bas-droite : le coin haut-gauche reste.
    const QRect g = a->geometry();
    const QPoint poignee(g.right() - 1, g.bottom() - 1);
    cliquer(centre(a)); // sélectionnée
    deplacer(poignee);
    EXPECT_EQ(a->cursor().shape(), Qt::SizeFDiagCursor);
    appuyer(poignee);
    deplacer(poignee + QPoint(30, 20));
    EXPECT_TRUE(Parties(*f).Souris->CadreVisible());
    relacher(poignee + QPoint(30, 20));
    // Le bord droit et le bas suivent la souris.
    EXPECT_EQ(a->geometry(), QRect(g.topLeft(), QPoint(poignee.x() + 30, poignee.y() + 20)).adjusted(0, 0, -1, -1));
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler le redimentionnement de l'état: Etat_1"));

    // Poignée gauche tirée presque jusqu'au bord droit : la largeur minimale s'applique.
    const QRect g2 = a->geometry();
    const QPoint gauche(g2.left() + 1, g2.top() + g2.height() / 2);
    deplacer(gauche);
    EXPECT_EQ(a->cursor().shape(), Qt::SizeHorCursor);
    appuyer(gauche);
    deplacer(QPoint(g2.right() - 20, gauche.y()));
    relacher(QPoint(g2.right() - 20, gauche.y()));
    EXPECT_EQ(a->width(), 95);
    EXPECT_EQ(a->height(), g2.height());
}

TEST_F(Souris_, ClavierDuCanevas)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(200, 200));
    cliquer(centre(a));
    const QPoint p = a->pos();
    const int etapes = Parties(*f).Historique->Defaire.Taille();
    touche(Qt::Key_Right, Qt::ControlModifier);
    touche(Qt::Key_Right, Qt::ControlModifier);
    touche(Qt::Key_Down, Qt::ControlModifier);
    touche(Qt::Key_Left, Qt::ControlModifier);
    touche(Qt::Key_Up, Qt::ControlModifier);
    touche(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(a->pos(), p + QPoint(3, -3));
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 6);
    // Ctrl avec une autre touche : rien.
    touche(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 6);

    // Échap efface le surlignage des arcs.
    TEtat2 *b = creerEtat(QPoint(500, 200));
    creerArc(a, b);
    VueGraphe(d)->ArcSurligne[1] = true;
    touche(Qt::Key_Escape);
    EXPECT_FALSE(VueGraphe(d)->ArcSurligne[1]);

    // Suppr supprime la sélection.
    cliquer(centre(b));
    touche(Qt::Key_Delete);
    EXPECT_EQ(d.N(), 1);
    EXPECT_EQ(VueGraphe(d)->NbArcs, 0);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la suppression de(s) 1 etat(s)"));
}

TEST_F(Souris_, LegendesDefaireRefaire)
{
    DocumentModele &d = *Parties(*f).Document;
    EXPECT_FALSE(Parties(*f).Defaire1->isEnabled());
    EXPECT_FALSE(Parties(*f).Refaire1->isEnabled());
    TEtat2 *a = creerEtat(QPoint(200, 200));
    TEtat2 *b = creerEtat(QPoint(500, 200));
    creerArc(a, b);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'arc: (Etat_1,Etat_2)"));

    // Ctrl+Z depuis le canevas.
    touche(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(VueGraphe(d)->NbArcs, 0);
    EXPECT_EQ(d.N(), 2);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'état: Etat_2"));
    EXPECT_EQ(Parties(*f).Refaire1->text(), QStringLiteral("Rétablir la création de l'arc: (Etat_1,Etat_2)"));
    EXPECT_TRUE(Parties(*f).Refaire1->isEnabled());
    EXPECT_TRUE(d.EstModifie());

    // Tout défaire : "Defaire" grisé, sans le texte du raccourci.
    touche(Qt::Key_Z, Qt::ControlModifier);
    touche(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(d.N(), 0);
    EXPECT_FALSE(Parties(*f).Defaire1->isEnabled());
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Defaire"));
    EXPECT_EQ(Parties(*f).Refaire1->text(), QStringLiteral("Rétablir la création de l'état: Etat_1"));
    touche(Qt::Key_Z, Qt::ControlModifier); // grisé : rien
    EXPECT_EQ(Parties(*f).Historique->Refaire.Taille(), 3);

    // Ctrl+W rétablit dans l'ordre.
    touche(Qt::Key_W, Qt::ControlModifier);
    touche(Qt::Key_W, Qt::ControlModifier);
    touche(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(noms(), QStringList({QStringLiteral("Etat_1"), QStringLiteral("Etat_2")}));
    EXPECT_EQ(VueGraphe(d)->NbArcs, 1);
    EXPECT_FALSE(Parties(*f).Refaire1->isEnabled());
    EXPECT_EQ(Parties(*f).Refaire1->text(), QStringLiteral("Refaire"));
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'arc: (Etat_1,Etat_2)"));

    // Défaire puis une nouvelle modification : plus rien à rétablir.
    Parties(*f).Defaire1->trigger();
    EXPECT_TRUE(Parties(*f).Refaire1->isEnabled());
    creerEtat(QPoint(300, 450));
    EXPECT_FALSE(Parties(*f).Refaire1->isEnabled());
    EXPECT_TRUE(Parties(*f).Historique->Refaire.EstVide());

    // Les boîtes rechargées restent éditables à la souris.
    TEtat2 *c = VueEtat(d, 1);
    const QPoint p = c->pos();
    glisser(centre(c), centre(c) + QPoint(10, 10));
    EXPECT_EQ(c->pos(), p + QPoint(10, 10));
}

TEST_F(Souris_, LeMotDePasseNEstPasUneEtape)
{
    DocumentModele &d = *Parties(*f).Document;
    creerEtat(QPoint(200, 200));
    d.ChangerMotDePasse(QStringLiteral("secret"));
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(d.N(), 0);
    EXPECT_EQ(d.MotDePasse(), QStringLiteral("secret"));
}

TEST_F(Souris_, CapacitesRefuseesAvecMessage)
{
    DocumentModele &d = *Parties(*f).Document;
    // 99 états en plus de START : le centième est refusé.
    ContenuModele c;
    for (int i = 1; i <= DocumentModele::CapaciteEtats; ++i)
        c.Etats.append({QStringLiteral("S") + QString::number(i), 5 + (i % 10) * 60, 5 + (i / 10) * 40, 26, 40, {}});
    d.PoserContenu(c);
    Parties(*f).Etat->trigger();
    cliquer(QPoint(700, 550));
    EXPECT_EQ(d.N(), 99);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("99")));
    EXPECT_FALSE(Parties(*f).Defaire1->isEnabled());
}

TEST_F(Souris_, QuatreVingtDixNeuviemeArcRefuse)
{
    DocumentModele &d = *Parties(*f).Document;
    THmm *h = VueGraphe(d);
    QList<TEtat2 *> b;
    for (int i = 0; i < 11; ++i)
        b << creerEtat(QPoint(60 + (i % 6) * 120, 80 + (i / 6) * 250));
    // 98 arcs posés directement, puis un 99e demandé à la souris.
    for (int s = 1; s <= 11 && h->NbArcs < THmm::CapaciteArcs; ++s)
        for (int t = 1; t <= 11 && h->NbArcs < THmm::CapaciteArcs; ++t)
            if (s != t && !(s == 11 && t == 10))
                h->DessinerARC(0, 0, 10, 10, 100, 100, 10, 10, -1, s, t);
    ASSERT_EQ(h->NbArcs, 98);
    creerArc(b[10], b[9]);
    EXPECT_EQ(h->NbArcs, 98);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("98")));
    Parties(*f).Boucle->trigger();
    cliquer(centre(b[0]));
    EXPECT_EQ(h->NbArcs, 98);
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(Souris_, TailleMinimaleDesBoitesRechargees)
{
    DocumentModele &d = *Parties(*f).Document;
    creerStart(QPoint(200, 100));
    creerEtat(QPoint(200, 300));
    Parties(*f).Defaire1->trigger();
    ASSERT_TRUE(d.StartPresent());
    EXPECT_EQ(VueEtat(d, 0)->size(), QSize(95, 26));
    // Un modèle dont les boîtes sont trop petites : relevées au chargement.
    QString e;
    ASSERT_EQ(d.ChargerLignes({QStringLiteral("[MotDePasse]=Vide"), QStringLiteral("[Start]=1"), QStringLiteral("[Etats]=1"),
                               QStringLiteral("[Dernier]=1"), QStringLiteral("START 0 20 20 20 80 "),
                               QStringLiteral("E1 1 160 40 30 40 a 1 "), QStringLiteral("[Arcs]=0"), QString(), QString(),
                               QString(), QString(), QString(), QString()},
                              false, QStringLiteral("x"), &e),
              Chargement::Reussi)
        << e.toStdString();
    EXPECT_EQ(VueEtat(d, 0)->size(), QSize(95, 26));
    EXPECT_EQ(VueEtat(d, 1)->size(), QSize(65, 50));
}

TEST_F(Souris_, DefaireAuMilieuDUneEditionDEtiquette)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(150, 300));
    TEtat2 *b = creerEtat(QPoint(550, 300));
    creerArc(a, b);
    cliquer(milieuArc(VueGraphe(d), 1));
    QLineEdit *e3 = Parties(*f).Souris->Edit3;
    ASSERT_TRUE(e3->isVisible());
    QTest::keyClick(e3, Qt::Key_5);
    // Ctrl+Z depuis l'éditeur : l'édition est d'abord validée, puis c'est elle qui est annulée.
    QTest::keyClick(e3, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(e3->isVisible());
    EXPECT_EQ(Parties(*f).Souris->ArcEdite, -1);
    ASSERT_EQ(VueGraphe(d)->NbArcs, 1);
    EXPECT_EQ(VueGraphe(d)->Etiquette[1], QStringLiteral("??"));
    EXPECT_EQ(Parties(*f).Refaire1->text(), QStringLiteral("Rétablir la modification de l'arc (Etat_1,Etat_2)"));
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la création de l'arc: (Etat_1,Etat_2)"));
}
