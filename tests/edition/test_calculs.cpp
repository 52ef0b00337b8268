// Calculs de l'édition sans fenêtre : tailles minimales, noms, bande, poignées, étiquette,
// bloc de copie, renommage au collage, journal d'annulation, somme des probabilités.
#include "outils_edition.h"
#include "dialogs/proprieres.h"
#include "editor/defaire.h"
#include "editor/pressepapiers.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/nombres.h"
#include "model/edition_etat.h"

TEST(TailleMinimale, SelonLeNomEtLesPaires)
{
    struct Cas {
        QString nom;
        QList<QPair<QString, QString>> paires;
        QSize attendu;
    };
    const QList<Cas> cas = {
        {QStringLiteral("START"), {}, {95, 26}},
        {QStringLiteral("END"), {{QStringLiteral("a"), QStringLiteral("1")}}, {75, 26}},
        // 6 × 7,5 + 10 = 55, + 40 ; sans paire 50 de haut.
        {QStringLiteral("Etat_1"), {}, {95, 50}},
        // "E1" : 25 ; la paire (a, 0.9) : (1 + 3) × 5 + 3 = 23 ne l'emporte pas.
        {QStringLiteral("E1"), {{QStringLiteral("a"), QStringLiteral("0.9")}, {QStringLiteral("b"), QStringLiteral("0.1")}}, {65, 65}},
        // Une longue probabilité élargit : (1 + 17) × 5 + 3 = 93.
        {QStringLiteral("E1"), {{QStringLiteral("a"), QStringLiteral("0.333333333333333")}}, {133, 50}},
        // Nom de longueur impaire : 3 × 7,5 + 10 = 32,5 tronqué à 32.
        {QStringLiteral("abc"), {}, {72, 50}},
    };
    for (const Cas &c : cas) {
        TEtat2 e;
        e.Nom = c.nom;
        e.NbSymboles = int(c.paires.size());
        for (int k = 0; k < c.paires.size(); ++k) {
            e.Generation[k + 1][1] = c.paires[k].first;
            e.Generation[k + 1][2] = c.paires[k].second;
        }
        EXPECT_EQ(ReglesEdition::TailleMinimale(e), c.attendu) << c.nom.toStdString();
        // Placer ne fait jamais une boîte plus petite, même à 0 x 0.
        ReglesEdition::Placer(&e, QRect(10, 20, 0, 0));
        EXPECT_EQ(e.size(), c.attendu);
        EXPECT_EQ(e.pos(), QPoint(10, 20));
        ReglesEdition::Placer(&e, QRect(0, 0, 300, 200));
        EXPECT_EQ(e.size(), QSize(300, 200));
    }
}

TEST(NomAutomatique, ComptageDepuisNPlusUnEtNomsPris)
{
    struct Cas {
        QStringList noms;
        QString attendu;
        int dernier;
    };
    const QList<Cas> cas = {
        {{}, QStringLiteral("Etat_1"), 1},
        {{QStringLiteral("Etat_1"), QStringLiteral("Etat_2")}, QStringLiteral("Etat_3"), 3},
        // "Etat_4" est pris : on passe à 5 (le comptage part de N + 1 = 4).
        {{QStringLiteral("Etat_1"), QStringLiteral("Etat_4"), QStringLiteral("Etat_3")}, QStringLiteral("Etat_5"), 5},
        // Un trou plus bas n'est pas comblé.
        {{QStringLiteral("Etat_2"), QStringLiteral("Etat_3")}, QStringLiteral("Etat_4"), 4},
        {{QStringLiteral("Etat_3"), QStringLiteral("Etat_4"), QStringLiteral("x")}, QStringLiteral("Etat_5"), 5},
    };
    for (const Cas &c : cas) {
        int d = 0;
        EXPECT_EQ(ReglesEdition::NomAutomatique(c.noms, &d), c.attendu);
        EXPECT_EQ(d, c.dernier);
    }
}

TEST(Bande, ChevauchementStrict)
{
    const QRect boite(100, 100, 95, 50); // bord droit 195, bas 150
    struct Cas {
        QPoint a, b;
        bool attendu;
    };
    const QList<Cas> cas = {
        {{195, 90}, {260, 160}, false}, // bord gauche de la bande = bord droit de la boîte
        {{194, 90}, {260, 160}, true},
        {{10, 10}, {100, 300}, false},  // bord droit de la bande = bord gauche de la boîte
        {{10, 10}, {101, 300}, true},
        {{120, 150}, {130, 200}, false}, // touche le bas
        {{120, 10}, {130, 100}, false},  // touche le haut
        {{260, 160}, {120, 120}, true},  // tracée de droite à gauche, normalisée
        {{120, 120}, {120, 140}, true},  // largeur nulle, à travers la boîte
    };
    for (const Cas &c : cas)
        EXPECT_EQ(ReglesEdition::Chevauche(boite, ReglesEdition::Bande(c.a, c.b)), c.attendu) << c.a.x() << "," << c.a.y();
    EXPECT_EQ(ReglesEdition::Bande({50, 80}, {10, 20}), QRect(10, 20, 40, 60));
}

TEST(Poignees, CurseurSelonLaPositionDansLaBoite)
{
    const int W = 100, H = 60;
    struct Cas {
        int x, y;
        Qt::CursorShape attendu;
    };
    const QList<Cas> cas = {
        {0, 0, Qt::SizeFDiagCursor},     {4, 4, Qt::SizeFDiagCursor},   {99, 59, Qt::SizeFDiagCursor},
        {96, 56, Qt::SizeFDiagCursor},   {0, 59, Qt::SizeBDiagCursor},  {99, 0, Qt::SizeBDiagCursor},
        {2, 28, Qt::SizeHorCursor},      {2, 32, Qt::SizeHorCursor},    {98, 30, Qt::SizeHorCursor},
        {2, 33, Qt::ArrowCursor},        {50, 2, Qt::SizeVerCursor},    {46, 58, Qt::SizeVerCursor},
        {54, 2, Qt::SizeVerCursor},      {55, 2, Qt::ArrowCursor},      {5, 5, Qt::ArrowCursor},
        {50, 30, Qt::ArrowCursor},       {95, 30, Qt::ArrowCursor},
    };
    for (const Cas &c : cas)
        EXPECT_EQ(ReglesEdition::Poignee(c.x, c.y, W, H), c.attendu) << c.x << "," << c.y;
}

TEST(Poignees, LeBordOpposeResteFixe)
{
    const QRect d(100, 100, 100, 60); // droite 200, bas 160
    struct Cas {
        Qt::CursorShape poignee;
        QPoint appui, souris;
        QRect attendu;
    };
    const QList<Cas> cas = {
        {Qt::SizeHorCursor, {98, 30}, {250, 10}, QRect(100, 100, 150, 60)},  // droite
        {Qt::SizeHorCursor, {1, 30}, {50, 500}, QRect(50, 100, 150, 60)},    // gauche
        {Qt::SizeHorCursor, {98, 30}, {60, 0}, QRect(60, 100, 40, 60)},      // croise le bord fixe
        {Qt::SizeVerCursor, {50, 58}, {0, 200}, QRect(100, 100, 100, 100)},  // bas
        {Qt::SizeVerCursor, {50, 1}, {0, 80}, QRect(100, 80, 100, 80)},      // haut
        {Qt::SizeFDiagCursor, {98, 58}, {230, 190}, QRect(100, 100, 130, 90)}, // bas-droit
        {Qt::SizeFDiagCursor, {1, 1}, {90, 80}, QRect(90, 80, 110, 80)},      // haut-gauche
        {Qt::SizeBDiagCursor, {98, 1}, {230, 70}, QRect(100, 70, 130, 90)},   // haut-droit
        {Qt::SizeBDiagCursor, {1, 58}, {80, 190}, QRect(80, 100, 120, 90)},   // bas-gauche
    };
    for (const Cas &c : cas)
        EXPECT_EQ(ReglesEdition::Redimensionner(d, c.poignee, c.appui, c.souris), c.attendu) << int(c.poignee);
}

TEST(Etiquette, NettoyageEtFiltreDesTouches)
{
    const QList<QPair<QString, QString>> cas = {
        {QStringLiteral("??"), QStringLiteral("??")},  {QStringLiteral("5??"), QStringLiteral("5")},
        {QStringLiteral("??5"), QStringLiteral("5")},  {QStringLiteral("?5?"), QStringLiteral("5")},
        {QStringLiteral("?"), QStringLiteral("0")},    {QString(), QStringLiteral("0")},
        {QStringLiteral("0.5"), QStringLiteral("0.5")}, {QStringLiteral("???"), QStringLiteral("?")},
    };
    for (const auto &[entree, sortie] : cas)
        EXPECT_EQ(ReglesEdition::NettoyerEtiquette(entree), sortie) << entree.toStdString();

    // Frappe -> caractère écrit (vide : refusée), sous chaque séparateur de langue.
    struct Frappe {
        char separateur;
        const char *texte;
        char touche, ecrit;
    };
    const Frappe frappes[] = {
        {',', "0", ',', ','}, {',', "0", '.', ','}, {'.', "0", ',', '.'}, {'.', "0", '.', '.'},
        {',', "0,5", ',', 0}, {',', "0,5", '.', 0},  {'.', "", '7', '7'},  {'.', "", 'a', 0},
        {'.', "", '-', 0},    {'.', "", 'e', 0},     {'.', "1", 'e', 'E'}, {'.', "1E", '-', '-'},
        {'.', "1E-", '-', 0}, {'.', "1E-3", 'e', 0}, {'.', "1E3", '.', 0}, {'.', "1", ' ', 0},
        {'.', "1", '?', 0},
    };
    for (const Frappe &f : frappes) {
        SCOPED_TRACE(testing::Message() << f.separateur << " " << f.texte << " " << f.touche);
        Nombres::DefinirSeparateur(QLatin1Char(f.separateur));
        const QChar ecrit = ReglesEdition::SaisieNombre(QLatin1String(f.texte), QLatin1Char(f.touche));
        EXPECT_EQ(ecrit, f.ecrit ? QChar(QLatin1Char(f.ecrit)) : QChar());
        EXPECT_EQ(ReglesEdition::CaractereProbabilite(QLatin1String(f.texte), QLatin1Char(f.touche)), f.ecrit != 0);
    }
    Nombres::DefinirSeparateur(QLatin1Char('.'));
}

TEST(BlocCopie, EcritureLectureEtBrouillage)
{
    ContenuModele::Etat a;
    a.Nom = QStringLiteral("Etat_3");
    a.Left = 10;
    a.Top = 20;
    a.Height = 65;
    a.Width = 95;
    a.Paires = {{QStringLiteral("a"), QStringLiteral("0.9")}, {QStringLiteral("b"), QStringLiteral("0.1")}};
    ContenuModele::Etat b;
    b.Nom = QStringLiteral("Été");
    b.Left = -4;
    b.Top = 7;
    b.Height = 50;
    b.Width = 100;
    const QString clair = BlocCopie::Ecrire({a, b});
    EXPECT_EQ(clair, QStringLiteral("[Etats_Copies]= 2\r\nEtat_3 2 10 20 65 95 a 0.9 b 0.1 \r\nÉté 0 -4 7 50 100 \r\n"));

    // Aller-retour par le presse-papiers : le texte y est brouillé, rien n'y est en clair.
    const QString transporte = BlocCopie::VersPressePapiers(clair);
    EXPECT_FALSE(transporte.contains(QStringLiteral("Etats_Copies")));
    EXPECT_EQ(BlocCopie::DepuisPressePapiers(transporte), clair);

    QList<ContenuModele::Etat> lus;
    QString e;
    ASSERT_TRUE(BlocCopie::Lire(clair, &lus, &e)) << e.toStdString();
    ASSERT_EQ(lus.size(), 2);
    EXPECT_EQ(lus[0].Nom, a.Nom);
    EXPECT_EQ(lus[0].Paires, a.Paires);
    EXPECT_EQ(lus[1].Left, -4);
    EXPECT_EQ(lus[1].Width, 100);
    // Des lignes en plus du compte annoncé sont ignorées.
    ASSERT_TRUE(BlocCopie::Lire(QStringLiteral("[Etats_Copies]= 1\r\n") + FichierModele::LigneEtat(a) + QStringLiteral("\r\nB 0 1 1 50 50"), &lus, &e));
    EXPECT_EQ(lus.size(), 1);
}

TEST(BlocCopie, BlocMalFormeOuEtrangerRefuse)
{
    const QStringList mauvais = {
        QStringLiteral("bonjour"),
        QStringLiteral("[Etats_Copies]="),
        QStringLiteral("[Etats_Copies]= x"),
        QStringLiteral("[Etats_Copies]= -1"),
        QStringLiteral("[Etats_Copies]= 100"),
        QStringLiteral("[Etats_Copies]= 2\r\nA 0 1 1 50 50"),            // un état manque
        QStringLiteral("[Etats_Copies]= 1\r\nA 2 1 1 50 50 a 0.5"),      // une paire incomplète
        QStringLiteral("[Etats_Copies]= 1\r\nA 1 1 1 50 50 a x"),        // probabilité illisible
        QStringLiteral("[Etats_Copies]= 1\r\nA 0 1 1 -5 50"),            // taille négative
        QStringLiteral("[Etats_Copies]= 1\r\nA 0 z 1 50 50"),            // position illisible
        QStringLiteral("[Etats_Copies]= 1\r\nA 0 99999999 1 50 50"),     // position démesurée
        QStringLiteral("[Etats_Copies]= 1\r\nA 99 1 1 50 50"),           // plus de 98 paires
        QStringLiteral("[Etats_Copies]= 1\r\nAâ 0 1 1 50 50"),           // nom non enregistrable
        QStringLiteral("[Etats_Copies]= 1\r\nA 1 1 1 50 50 \u4e2d 1"),    // symbole hors Windows-1252
        QStringLiteral("x [Etats_Copies]= 1\r\nA 0 1 1 50 50"),
    };
    for (const QString &m : mauvais) {
        QList<ContenuModele::Etat> lus;
        QString e;
        EXPECT_FALSE(BlocCopie::Lire(m, &lus, &e)) << m.toStdString();
        EXPECT_FALSE(e.isEmpty());
        EXPECT_TRUE(lus.isEmpty());
    }
    // Un texte qui n'a pas pu être produit par le brouillage ne donne rien.
    EXPECT_TRUE(BlocCopie::DepuisPressePapiers(QStringLiteral("\u4e2d\u6587")).isEmpty());
}

TEST(NomColle, NumeroFinalRetireEtPremierLibre)
{
    struct Cas {
        QString lu;
        QStringList existants;
        QString attendu;
        int numero;
    };
    const QList<Cas> cas = {
        {QStringLiteral("Etat_3"), {QStringLiteral("Etat_1")}, QStringLiteral("Etat_2"), 2},
        {QStringLiteral("A"), {QStringLiteral("Etat_1")}, QStringLiteral("A1"), 1},
        {QStringLiteral("Etat_0"), {QStringLiteral("Etat_1")}, QStringLiteral("Etat_01"), 1},
        {QStringLiteral("Etat_3"), {}, QStringLiteral("Etat_1"), 1},
        {QStringLiteral("E12"), {QStringLiteral("E1"), QStringLiteral("E2")}, QStringLiteral("E3"), 3},
        {QStringLiteral("x007"), {}, QStringLiteral("x001"), 1}, // "7" n'a qu'un chiffre
        {QStringLiteral("123"), {}, QStringLiteral("1"), 1},
        {QStringLiteral("n99999999999999999999"), {}, QStringLiteral("n999999999999999999991"), 1},
    };
    for (const Cas &c : cas) {
        int n = 0;
        EXPECT_EQ(BlocCopie::NomColle(c.lu, c.existants, &n), c.attendu) << c.lu.toStdString();
        EXPECT_EQ(n, c.numero);
    }
}

TEST(CalculsEditeurEtat, CompleterEtNormaliser)
{
    struct Cas {
        QStringList probas;
        int ligne;
        QString complete;     // Completer(probas, ligne)
        QStringList normale;  // Normaliser(probas)
    };
    const Cas cas[] = {
        {{"0.3", "", "0.2"}, 1, "0.5", {"0.6", "0", "0.4"}},
        {{"0.7", "0.6", "x"}, 2, "", {"0.538461538461538", "0.461538461538462", "0"}},
        {{"1", "1", "2"}, 0, "", {"0.25", "0.25", "0.5"}},
        {{"0.5", "0.5", "0.2"}, 2, "0", {"0.416666666666667", "0.416666666666667", "0.166666666666667"}},
        {{"0", "0"}, 0, "1", {"0", "0"}},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.probas.join(' ').toStdString());
        EXPECT_EQ(EditionEtat::Completer(c.probas, c.ligne), c.complete);
        EXPECT_EQ(EditionEtat::Normaliser(c.probas), c.normale);
    }
}

TEST(CalculsEditeurEtat, SommeEnSimplePrecisionEtCouleurs)
{
    EXPECT_EQ(EditionEtat::Somme({QStringLiteral("0.5"), QStringLiteral("0.3"), QStringLiteral("0.2")}), 1.0f);
    QStringList dix;
    for (int i = 0; i < 10; ++i)
        dix << QStringLiteral("0.1");
    EXPECT_NE(EditionEtat::Somme(dix), 1.0f);
    EXPECT_FLOAT_EQ(EditionEtat::Somme(dix), 1.0000001f);
    EXPECT_EQ(EditionEtat::Somme({QStringLiteral("0.9"), QStringLiteral("0.1")}), 1.0f);

    EXPECT_EQ(TForm2::CouleurLigne(1), QColor(0, 0, 255));
    EXPECT_EQ(TForm2::CouleurLigne(2), QColor(255, 0, 0));
    EXPECT_EQ(TForm2::CouleurLigne(3), QColor(0, 128, 0));
    EXPECT_EQ(TForm2::CouleurLigne(4), QColor(255, 255, 0));
    EXPECT_EQ(TForm2::CouleurLigne(5), QColor(255, 255, 255));
    // Au-delà, des couleurs distinctes des cinq premières pour les lignes voisines.
    for (int l = 6; l <= 12; ++l)
        for (int m = 1; m < l; ++m)
            EXPECT_NE(TForm2::CouleurLigne(l), TForm2::CouleurLigne(m)) << l << " " << m;
}
