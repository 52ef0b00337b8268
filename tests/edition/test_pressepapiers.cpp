// Presse-papiers des états : copier, coller (décalage, renommage), couper, supprimer.
#include "editor/canevas.h"
#include "outils_edition.h"
#include "editor/defaire.h"
#include "editor/pressepapiers.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/repertoire.h"
#include "skin/messages.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

namespace {
using PressePapiersFenetre = EditionFenetre;

void donnerPaires(TEtat2 *b, const QList<QPair<QString, QString>> &p)
{
    b->NbSymboles = int(p.size());
    for (int k = 0; k < p.size(); ++k) {
        b->Generation[k + 1][1] = p[k].first;
        b->Generation[k + 1][2] = p[k].second;
    }
    ReglesEdition::Reappliquer(b);
}
}

TEST_F(PressePapiersFenetre, CopierTroisEtatsEtCollerDeuxFois)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(150, 150));
    creerEtat(QPoint(400, 150));
    creerEtat(QPoint(650, 150));
    donnerPaires(a, {{QStringLiteral("a"), QStringLiteral("0.9")}, {QStringLiteral("b"), QStringLiteral("0.1")}});
    touche(Qt::Key_A, Qt::ControlModifier);
    touche(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Parties(*f).Presse->Decalage, 5);
    // Le presse-papiers ne porte que du brouillé.
    EXPECT_FALSE(QGuiApplication::clipboard()->text().contains(QStringLiteral("Etat_1")));
    const int etapes = Parties(*f).Historique->Defaire.Taille();
    const QList<QRect> origines = {VueEtat(d, 1)->geometry(), VueEtat(d, 2)->geometry(), VueEtat(d, 3)->geometry()};

    touche(Qt::Key_V, Qt::ControlModifier);
    touche(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(d.N(), 9);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(VueEtat(d, 4 + i)->geometry(), origines[i].translated(5, 5));
        EXPECT_EQ(VueEtat(d, 7 + i)->geometry(), origines[i].translated(10, 10));
        EXPECT_FALSE(VueEtat(d, 4 + i)->Selectionne);
    }
    EXPECT_EQ(Parties(*f).Presse->Decalage, 15);
    // Les paires voyagent ; les noms sont refaits à partir de 1 en sautant les pris.
    EXPECT_EQ(VueEtat(d, 4)->NbSymboles, 2);
    EXPECT_EQ(VueEtat(d, 4)->Generation[2][2], QStringLiteral("0.1"));
    EXPECT_EQ(noms().mid(3), QStringList({QStringLiteral("Etat_4"), QStringLiteral("Etat_5"), QStringLiteral("Etat_6"),
                                          QStringLiteral("Etat_7"), QStringLiteral("Etat_8"), QStringLiteral("Etat_9")}));
    EXPECT_EQ(d.Dernier(), 9);
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 2);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler le collage de(s) 3 etat(s)"));
    EXPECT_EQ(VueGraphe(d)->NbArcs, 0);
    EXPECT_TRUE(QFile::exists(Repertoire::Fichier(QStringLiteral("EtatsCopies.tmp"))));
}

TEST_F(PressePapiersFenetre, RenommageAuCollage)
{
    DocumentModele &d = *Parties(*f).Document;
    creerEtat(QPoint(150, 150));
    QList<ContenuModele::Etat> bloc;
    for (const char *n : {"Etat_3", "A", "Etat_0"}) {
        ContenuModele::Etat e;
        e.Nom = QString::fromLatin1(n);
        e.Left = 300;
        e.Top = 300;
        e.Height = 50;
        e.Width = 120;
        bloc << e;
    }
    QGuiApplication::clipboard()->setText(BlocCopie::VersPressePapiers(BlocCopie::Ecrire(bloc)));
    Parties(*f).Coller1->trigger();
    EXPECT_EQ(noms(), QStringList({QStringLiteral("Etat_1"), QStringLiteral("Etat_2"), QStringLiteral("A1"),
                                   QStringLiteral("Etat_01")}));
    // Aucune copie dans cette fenêtre : décalage 0, bornes intactes.
    EXPECT_EQ(VueEtat(d, 2)->geometry(), QRect(300, 300, 120, 50));
}

TEST_F(PressePapiersFenetre, CopieSansEtatOrdinaire)
{
    TEtat2 *s = creerStart(QPoint(150, 150));
    creerEtat(QPoint(400, 150));
    QGuiApplication::clipboard()->setText(QStringLiteral("avant"));
    cliquer(centre(s));
    s->Selectionne = true;
    Parties(*f).Copier1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("avant"));
    EXPECT_EQ(Parties(*f).Presse->Decalage, 5);
    // "avant" n'est pas un bloc : coller ne fait rien et ne dit rien.
    Parties(*f).Coller1->trigger();
    EXPECT_EQ(Parties(*f).Document->N(), 1);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PressePapiersFenetre, PressePapiersEtrangerOuMalForme)
{
    DocumentModele &d = *Parties(*f).Document;
    creerEtat(QPoint(150, 150));
    const int etapes = Parties(*f).Historique->Defaire.Taille();
    const QStringList textes = {
        QString(), QStringLiteral("[Etats_Copies]= 1\r\nA 0 1 1 50 50"), // en clair : pas un bloc brouillé
        QStringLiteral("\u4e2d\u6587\u0000\uffff"), QString(5000, QChar(0x2022)),
    };
    for (const QString &t : textes) {
        QGuiApplication::clipboard()->setText(t);
        Parties(*f).Coller1->trigger();
    }
    EXPECT_TRUE(messages.isEmpty());
    // Un bloc brouillé mais faux : message, rien de collé, aucune étape.
    for (const QString &faux : {QStringLiteral("[Etats_Copies]= 3\r\nA 0 1 1 50 50"),
                                QStringLiteral("[Etats_Copies]= 1\r\nA 2 1 1 50 50 a"),
                                QStringLiteral("[Etats_Copies]= 1\r\nA 0 1 1 999999999 50")}) {
        QGuiApplication::clipboard()->setText(BlocCopie::VersPressePapiers(faux));
        Parties(*f).Coller1->trigger();
    }
    EXPECT_EQ(messages.size(), 3);
    EXPECT_EQ(d.N(), 1);
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes);
}

TEST_F(PressePapiersFenetre, CouperAvecStartSelectionne)
{
    DocumentModele &d = *Parties(*f).Document;
    creerStart(QPoint(150, 100));
    creerEtat(QPoint(150, 300));
    creerEtat(QPoint(450, 300));
    creerArc(VueEtat(d, 1), VueEtat(d, 2));
    EXPECT_FALSE(Parties(*f).Start->isEnabled());
    Parties(*f).Selectionnertout1->trigger();
    EXPECT_TRUE(VueEtat(d, 0)->Selectionne);
    touche(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(d.N(), 0);
    EXPECT_FALSE(d.StartPresent());
    EXPECT_EQ(VueGraphe(d)->NbArcs, 0);
    EXPECT_TRUE(Parties(*f).Start->isEnabled());
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la suppression de(s) 3 etat(s)"));
    // Seuls les deux états ordinaires sont dans le presse-papiers.
    Parties(*f).Coller1->trigger();
    EXPECT_EQ(noms(), QStringList({QStringLiteral("Etat_1"), QStringLiteral("Etat_2")}));
    EXPECT_EQ(VueEtat(d, 1)->pos(), QPoint(150 - 47, 300 - 25) + QPoint(5, 5));
    // L'annulation rend START et l'arc.
    Parties(*f).Defaire1->trigger();
    Parties(*f).Defaire1->trigger();
    EXPECT_TRUE(d.StartPresent());
    EXPECT_EQ(d.N(), 2);
    EXPECT_EQ(VueGraphe(d)->NbArcs, 1);
    EXPECT_FALSE(Parties(*f).Start->isEnabled());
}

TEST_F(PressePapiersFenetre, SupprimerEtatsPuisArcEnDeuxEtapes)
{
    DocumentModele &d = *Parties(*f).Document;
    THmm *h = VueGraphe(d);
    TEtat2 *a = creerEtat(QPoint(150, 200));
    TEtat2 *b = creerEtat(QPoint(500, 200));
    TEtat2 *c = creerEtat(QPoint(150, 450));
    creerArc(a, b);
    creerArc(b, a);
    ASSERT_GT(h->RayonCourbe[1], 0);
    // Un arc de la paire sélectionné et l'état c : deux étapes, l'arc restant redevient droit.
    c->Selectionne = true;
    h->ArcSelectionne[2] = true;
    const int etapes = Parties(*f).Historique->Defaire.Taille();
    Parties(*f).Supprimer1->trigger();
    EXPECT_EQ(d.N(), 2);
    ASSERT_EQ(h->NbArcs, 1);
    EXPECT_EQ(h->ARC[1][1], 1);
    EXPECT_EQ(h->ARC[1][2], 2);
    EXPECT_EQ(Parties(*f).Historique->Defaire.Taille(), etapes + 2);
    EXPECT_EQ(Parties(*f).Defaire1->text(), QStringLiteral("Annuler la suppression de l'arc (Etat_2,Etat_1)"));
    // Droit : son étiquette est au milieu de ses extrémités.
    const QPoint p1 = h->PointsARC[1][1], p2 = h->PointsARC[1][2];
    EXPECT_EQ(h->PosEtiquette[1], QPoint((p1.x() + p2.x()) / 2, (p1.y() + p2.y()) / 2));
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(h->NbArcs, 2);
    EXPECT_EQ(d.N(), 2);
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(d.N(), 3);
}

TEST_F(PressePapiersFenetre, CollageEntreDeuxFenetres)
{
    DocumentModele &d = *Parties(*f).Document;
    TEtat2 *a = creerEtat(QPoint(150, 150));
    donnerPaires(a, {{QStringLiteral("pluie"), QStringLiteral("0.25")}, {QStringLiteral("soleil"), QStringLiteral("0.75")}});
    a->Selectionne = true;
    const QRect g = a->geometry();
    Parties(*f).Copier1->trigger();

    // Une autre fenêtre principale, qui n'a rien copié : décalage 0.
    TForm1 autre;
    autre.PremiereActivation();
    Parties(autre).Coller1->trigger();
    ASSERT_EQ(Parties(autre).Document->N(), 1);
    const TEtat2 *b = VueEtat(*Parties(autre).Document, 1);
    EXPECT_EQ(b->Nom, QStringLiteral("Etat_1"));
    EXPECT_EQ(b->geometry(), g);
    EXPECT_EQ(b->NbSymboles, 2);
    EXPECT_EQ(b->Generation[1][1], QStringLiteral("pluie"));
    EXPECT_EQ(b->Generation[2][2], QStringLiteral("0.75"));
    EXPECT_EQ(d.N(), 1);
}

TEST_F(PressePapiersFenetre, CollageAuDelaDeLaCapacite)
{
    DocumentModele &d = *Parties(*f).Document;
    ContenuModele c;
    for (int i = 1; i <= 98; ++i)
        c.Etats.append({QStringLiteral("S") + QString::number(i), 0, 0, 30, 100, {}});
    d.PoserContenu(c);
    QList<ContenuModele::Etat> deux(2);
    deux[0].Nom = QStringLiteral("x");
    deux[1].Nom = QStringLiteral("y");
    QGuiApplication::clipboard()->setText(BlocCopie::VersPressePapiers(BlocCopie::Ecrire(deux)));
    Parties(*f).Coller1->trigger();
    EXPECT_EQ(d.N(), 98);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("99")));
    deux.removeLast();
    QGuiApplication::clipboard()->setText(BlocCopie::VersPressePapiers(BlocCopie::Ecrire(deux)));
    Parties(*f).Coller1->trigger();
    EXPECT_EQ(d.N(), 99);
}
