// Paramètres tirés du graphe et rapport de vérification.
#include "modeles_test.h"
#include "outils_test.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/edition_etat.h"
#include "model/fichier.h"
#include "model/parametres.h"

namespace {

using Paires = QList<QPair<QString, QString>>;

class Verification : public TestAvecRepertoire {
protected:
    QStringList rapport;
};

// Les lignes du rapport entre deux titres (exclus).
QStringList Entre(const QStringList &rapport, const QString &debut, const QString &fin)
{
    const qsizetype a = rapport.indexOf(debut), b = rapport.indexOf(fin);
    return (a < 0 || b < 0) ? QStringList{QStringLiteral("<titre absent>")} : rapport.mid(a + 1, b - a - 1);
}

}

TEST_F(Verification, ModeleCorrectRapportComplet)
{
    DocumentModele d;
    ConstruireE1E2(d);
    EXPECT_TRUE(d.VerifierModele(rapport));
    const QStringList attendu = {
        " Vérifiant les états ...",
        "  -    Existence de l'état initiale START",
        "  -    Unicité du nom d'état",
        "  -    Longueur maximale du nom d'état",
        "  -    Somme des probabilités de générations ",
        "  -    Somme des probabilités de transitions ",
        " Vérifiant les arcs ...",
        "  -    Existence des probabilités ",
        "",
        " 0 erreur(s).",
        " Le modèle est correct, pas de erreurs trouvées.",
    };
    EXPECT_EQ(rapport, attendu);
}

TEST_F(Verification, ModeleIncorrectRapportComplet)
{
    // Sans START ; S1 génère 0,5 en tout ; S1 -> S1 vaut 0,5 et S1 -> S2 attend sa valeur.
    DocumentModele d;
    Construire(d, false, {{"S1", {{"a", "0.5"}}}, {"S2", {{"a", "1"}}}},
               {{1, 1, "0.5"}, {1, 2, "??"}, {2, 2, "1"}});
    EXPECT_FALSE(d.VerifierModele(rapport));
    const QStringList attendu = {
        " Vérifiant les états ...",
        "  -    Existence de l'état initiale START",
        "       Erreur : l'état START est introuvable",
        "  -    Unicité du nom d'état",
        "  -    Longueur maximale du nom d'état",
        "  -    Somme des probabilités de générations ",
        "       Erreur : La somme des probabilités de génération associée aux états suivants est différente de 1  ",
        "                -> \" S1 \"",
        "  -    Somme des probabilités de transitions ",
        "       Erreur : La somme des probabilités de transitions sortant des états suivants est différente de 1  ",
        "                -> \" S1 \"",
        " Vérifiant les arcs ...",
        "  -    Existence des probabilités ",
        "       Erreur : La probabilité des arcs suivants est indéfinie",
        "                  -> S1 --> S2",
        "",
        " 4 erreur(s).",
        " Le modèle est incorrect, il y a 4 erreur(s).",
    };
    EXPECT_EQ(rapport, attendu);
}

TEST_F(Verification, ModeleVideUneSeuleEntree)
{
    DocumentModele d;
    Construire(d, true, {}, {});
    EXPECT_FALSE(d.VerifierModele(rapport));
    EXPECT_EQ(rapport, QStringList{"Le modèle est vide !\nAucune vérification n'est faite."});
}

TEST_F(Verification, NomsEnDoubleUneErreurParNom)
{
    // X, X, Y, Z, Z, Z : chaque X et chaque Z va vers Y (les recherches par nom tombent alors
    // sur des arcs qui existent), si bien que seuls les doubles sont fautifs.
    DocumentModele d;
    const Paires a1 = {{"a", "1"}};
    Construire(d, true, {{"X", a1}, {"X", a1}, {"Y", a1}, {"Z", a1}, {"Z", a1}, {"Z", a1}},
               {{0, 3, "1"}, {2, 3, "1"}, {3, 3, "1"}, {6, 3, "1"}});
    EXPECT_FALSE(d.VerifierModele(rapport));
    const QStringList attendu = {
        "       Erreur : Les noms suivants sont portés par plusieurs états",
        "                -> \" X \" : 2 états",
        "                -> \" Z \" : 3 états",
    };
    EXPECT_EQ(Entre(rapport, "  -    Unicité du nom d'état", "  -    Longueur maximale du nom d'état"), attendu);
    EXPECT_TRUE(rapport.contains(" 2 erreur(s).")) << qPrintable(rapport.join('\n'));
}

TEST_F(Verification, UnEtatNommeStartEnPlusDeStartEstUnDouble)
{
    DocumentModele d;
    Construire(d, true, {{"START", {{"a", "1"}}}}, {{0, 1, "1"}, {1, 1, "1"}});
    EXPECT_FALSE(d.VerifierModele(rapport));
    EXPECT_TRUE(rapport.contains("                -> \" START \" : 2 états"));
}

// Une ligne passe quand sa somme en simple précision vaut exactement 1 ou quand la somme
// décimale exacte de ses textes vaut 1.
struct CasSomme {
    const char *nom;
    QStringList probabilites;
    bool correct;
};

class SommeGeneration : public Verification, public ::testing::WithParamInterface<CasSomme> {};

TEST_P(SommeGeneration, Verdict)
{
    const CasSomme &c = GetParam();
    Paires paires;
    for (int k = 0; k < c.probabilites.size(); ++k)
        paires << qMakePair(QStringLiteral("s%1").arg(k), c.probabilites[k]);
    DocumentModele d;
    Construire(d, true, {{"S", paires}}, {{0, 1, "1"}, {1, 1, "1"}});
    EXPECT_EQ(d.VerifierModele(rapport), c.correct) << qPrintable(rapport.join('\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Cas, SommeGeneration,
    ::testing::Values(CasSomme{"DixiemeDeuxDixiemesSeptDixiemes", {"0.1", "0.2", "0.7"}, true},
                      CasSomme{"TroisFois033", {"0.33", "0.33", "0.33"}, false},
                      CasSomme{"DixFois01DecimalExact", QStringList(10, "0.1"), true},
                      CasSomme{"QuatreDecimalesExactes", {"0,35", "0,3", "0,15", "0,2"}, true},
                      CasSomme{"EtiquettesEntraineesQuinzeChiffres",
                               {"0,333333333333333", "0,333333333333333", "0,333333333333333"}, true},
                      CasSomme{"ExposantEtSeparateursMeles", {"5E-1", "0,25", "2.5e-1"}, true},
                      CasSomme{"DecimalPresqueUn", {"0,5", "0,4999"}, false},
                      CasSomme{"CinqFois02", QStringList(5, "0.2"), true},
                      CasSomme{"AucunePaire", {}, false},
                      CasSomme{"VirguleAcceptee", {"0,5", "0.5"}, true},
                      CasSomme{"UnSeul", {"1"}, true}),
    [](const auto &i) { return std::string(i.param.nom); });

TEST_F(Verification, TransitionsDeStartEtArcIndefini)
{
    // START 0,5 + 0,5 passe ; S1 : 0,5 et "??" donnent deux erreurs (somme et arc).
    DocumentModele d;
    Construire(d, true, {{"S1", {{"a", "1"}}}, {"S2", {{"a", "1"}}}},
               {{0, 1, "0.5"}, {0, 2, "0.5"}, {1, 1, "0.5"}, {1, 2, "??"}, {2, 2, "1"}});
    EXPECT_FALSE(d.VerifierModele(rapport));
    EXPECT_TRUE(rapport.contains(" 2 erreur(s).")) << qPrintable(rapport.join('\n'));
    const QStringList transitions =
        Entre(rapport, "  -    Somme des probabilités de transitions ", " Vérifiant les arcs ...");
    EXPECT_EQ(transitions.size(), 2);
    EXPECT_EQ(transitions.value(1), "                -> \" S1 \"");
}

TEST_F(Verification, TransitionsDecimalesExactesEtEditeurEtat)
{
    // START : 0,35 + 0,3 + 0,15 + 0,2 ; S1 : dix fois 0,1 ; S2 : 3 × 0,33 reste refusé.
    DocumentModele d;
    QList<EtatTest> etats;
    QList<ArcTest> arcs = {{0, 1, "0,35"}, {0, 2, "0,3"}, {0, 3, "0,15"}, {0, 4, "0,2"}};
    for (int i = 1; i <= 10; ++i) {
        etats.append({QStringLiteral("S%1").arg(i), {{"a", "1"}}});
        arcs.append({1, i, "0.1"});
        if (i >= 3)
            arcs.append({i, i, "1"});
    }
    for (int j = 1; j <= 3; ++j)
        arcs.append({2, j, "0.33"});
    Construire(d, true, etats, arcs);
    EXPECT_FALSE(d.VerifierModele(rapport));
    EXPECT_EQ(Entre(rapport, "  -    Somme des probabilités de transitions ", " Vérifiant les arcs ..."),
              (QStringList{"       Erreur : La somme des probabilités de transitions sortant des états suivants est "
                           "différente de 1  ",
                           "                -> \" S2 \""}));
    // L'éditeur d'état suit la même règle.
    EXPECT_TRUE(EditionEtat::Controler(d, 1, "S1", QStringList(10, "0,1")).Accepte());
    EXPECT_TRUE(EditionEtat::Controler(d, 1, "S1", {"0.35", "0.3", "0.15", "0.2"}).Accepte());
    EXPECT_FALSE(EditionEtat::Controler(d, 1, "S1", {"0.33", "0.33", "0.33"}).Accepte());
}

TEST_F(Verification, ProbabiliteDeGenerationNonNumeriqueRemonte)
{
    DocumentModele d;
    Construire(d, true, {{"S", {{"a", "x"}}}}, {{0, 1, "1"}, {1, 1, "1"}});
    EXPECT_THROW(d.VerifierModele(rapport), EConversion);
}

// ---- CalculerParametres ----

class Parametres : public TestAvecRepertoire {};

TEST_F(Parametres, UnEtatAvecBoucle)
{
    DocumentModele d;
    Construire(d, true, {{"S", {{"a", "1"}}}}, {{0, 1, "0.8"}, {1, 1, "1"}});
    d.CalculerParametres();
    const ParametresModele &p = d.Parametres();
    EXPECT_EQ(p.N, 1);
    EXPECT_EQ(p.M, 1);
    EXPECT_EQ(p.PI[1], 0.8L);
    EXPECT_EQ(p.A[1][1], 1.0L);
    EXPECT_EQ(p.B[1][1], 1.0L);
    EXPECT_EQ(p.A[0].longueur(), 0);
    EXPECT_EQ(p.NomEtat(1), "S");
    EXPECT_EQ(p.NomEtat(0), "START");
}

TEST_F(Parametres, SymbolesDansLOrdreDApparitionEtCasParticuliers)
{
    // START liste z (ignoré) ; E1 : b, a ; E2 : a, c, a (le second a l'emporte) ; E3 : rien.
    DocumentModele d;
    Construire(d, true,
               {{"E1", {{"b", "0.5"}, {"a", "0.5"}}},
                {"E2", {{"a", "0.1"}, {"c", "0.6"}, {"a", "0.4"}}},
                {"E3", {}}},
               {{0, 1, "1"}, {1, 2, "1"}, {2, 3, "0.25"}});
    d.BoiteVue(0)->NbSymboles = 1;
    d.BoiteVue(0)->Generation[1][1] = "z";
    d.BoiteVue(0)->Generation[1][2] = "1";
    d.CalculerParametres();
    const ParametresModele &p = d.Parametres();
    ASSERT_EQ(p.M, 3);
    EXPECT_EQ(p.Symboles[1], "b");
    EXPECT_EQ(p.Symboles[2], "a");
    EXPECT_EQ(p.Symboles[3], "c");
    EXPECT_EQ(p.B[2][2], Nombres::VersExtended("0.4"));
    for (int k = 0; k <= 3; ++k)
        EXPECT_EQ(p.B[3][k], 0.0L);
    EXPECT_EQ(p.A[1][1], 0.0L); // pas d'arc : 0, pas d'erreur
    EXPECT_EQ(p.A[2][3], 0.25L);
    EXPECT_EQ(p.PI[2], 0.0L);
}

TEST_F(Parametres, SansStartPiEstNul)
{
    DocumentModele d;
    Construire(d, false, {{"E1", {{"a", "1"}}}, {"E2", {{"a", "1"}}}}, {{1, 2, "1"}, {2, 1, "1"}});
    d.CalculerParametres();
    EXPECT_EQ(d.Parametres().PI[1], 0.0L);
    EXPECT_EQ(d.Parametres().PI[2], 0.0L);
}

TEST_F(Parametres, CentiemeSymboleRefuse)
{
    auto construire = [](DocumentModele &d, int symboles) {
        Paires p1, p2;
        for (int k = 0; k < symboles; ++k)
            (k < 50 ? p1 : p2) << qMakePair(QStringLiteral("s%1").arg(k), QStringLiteral("0.01"));
        Construire(d, true, {{"E1", p1}, {"E2", p2}}, {{0, 1, "1"}, {1, 2, "1"}, {2, 2, "1"}});
    };
    DocumentModele d99;
    construire(d99, 99);
    d99.CalculerParametres();
    EXPECT_EQ(d99.Parametres().M, 99);

    DocumentModele d100;
    construire(d100, 100);
    EXPECT_THROW(d100.CalculerParametres(), ETropDeSymboles);
}

TEST_F(Parametres, ArcSansValeurLeveLErreurDeConversion)
{
    DocumentModele d;
    Construire(d, true, {{"E1", {{"a", "1"}}}}, {{0, 1, "1"}, {1, 1, "??"}});
    EXPECT_THROW(d.CalculerParametres(), EConversion);
}

TEST_F(Parametres, AccesHorsBornesPorteIndexEtLongueur)
{
    ParametresModele p = ModeleE1E2();
    try {
        (void)p.A[1][5];
        FAIL() << "pas d'erreur";
    } catch (const EHorsBornes &e) {
        EXPECT_EQ(e.Index, 5);
        EXPECT_EQ(e.Longueur, 3);
        EXPECT_TRUE(QString::fromStdString(e.what()).contains("5"));
    }
    EXPECT_THROW((void)p.PI[-1], EHorsBornes);
    EXPECT_THROW((void)p.B[3], EHorsBornes);
}

// Un état de plus que les arcs du fichier ne peuvent servir : le rapport le dit.
TEST_F(Verification, CapaciteDuFichier)
{
    const QString entete = QStringLiteral("Erreur : Le modèle dépasse la capacité du fichier");
    for (const int n : {97, 98, 99}) {
        SCOPED_TRACE(n);
        ContenuModele c;
        c.Start = true;
        ContenuModele::Etat start;
        start.Nom = QStringLiteral("START");
        c.Etats << start;
        for (int k = 1; k <= n; ++k) {
            ContenuModele::Etat e;
            e.Nom = QStringLiteral("S%1").arg(k);
            e.Paires = {{QStringLiteral("a"), QStringLiteral("1")}};
            c.Etats << e;
            ContenuModele::Arc a;
            a.Source = a.Destination = k;
            a.Etiquette = QStringLiteral("1");
            c.Arcs << a;
        }
        ContenuModele::Arc a;
        a.Source = 0, a.Destination = 1, a.Etiquette = QStringLiteral("1");
        c.Arcs << a;
        VerifierContenu(c, rapport);
        const QString texte = rapport.join('\n');
        EXPECT_EQ(texte.contains(entete), n + 1 > 98) << qPrintable(texte);
        if (n + 1 > 98) {
            EXPECT_TRUE(texte.contains(QStringLiteral("retirez au moins %1 état(s)").arg(n + 1 - 98)));
        }
    }
}
