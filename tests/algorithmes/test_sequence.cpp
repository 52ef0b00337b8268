// Découpage des séquences et historique "Sequences.txt".
#include "modeles_test.h"
#include "outils_test.h"
#include "algorithms/decodage.h"
#include "algorithms/enumeration.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QFile>

namespace {

struct CasDecoupage {
    const char *nom;
    QStringList symboles;
    QString texte;
    bool caractere;
    std::vector<int> attendu; // O[1..T]
};

class Decoupage : public TestAvecRepertoire, public ::testing::WithParamInterface<CasDecoupage> {};

}

TEST_P(Decoupage, Observations)
{
    const CasDecoupage &c = GetParam();
    ParametresModele p;
    p.M = int(c.symboles.size());
    for (int k = 1; k <= p.M; ++k)
        p.Symboles[k] = c.symboles[k - 1];
    EspaceTravail e;
    e.SequenceObservations = c.texte;
    e.DecoupageCaractere = c.caractere;
    DecouperSequence(p, e);
    ASSERT_EQ(e.LongueurSequence, int(c.attendu.size()));
    ASSERT_EQ(e.Observations.longueur(), e.LongueurSequence + 1);
    EXPECT_EQ(e.Observations[0], 0);
    for (int t = 1; t <= e.LongueurSequence; ++t)
        EXPECT_EQ(e.Observations[t], c.attendu[std::size_t(t - 1)]) << "t = " << t;
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Decoupage,
    ::testing::Values(CasDecoupage{"Abba", {"a", "b"}, "abba", true, {1, 2, 2, 1}},
                      CasDecoupage{"EspaceCompteEnCaracteres", {"a", "b"}, "a b", true, {1, 0, 2}},
                      CasDecoupage{"CasseRespectee", {"a", "b"}, "Ab", true, {0, 2}},
                      CasDecoupage{"MotsEspacesMultiples", {"le", "chat"}, "  le  chat le ", false, {1, 2, 1}},
                      CasDecoupage{"MotInconnu", {"le", "chat"}, "le chien", false, {1, 0}},
                      CasDecoupage{"TabulationDansLeMot", {"le", "chat"}, "le\tchat chat", false, {0, 2}},
                      CasDecoupage{"MotEntier", {"ab", "a"}, "ab a", false, {1, 2}},
                      CasDecoupage{"CaracteresAccentues", {"é", "à"}, "éàé", true, {1, 2, 1}}),
    [](const auto &i) { return std::string(i.param.nom); });

TEST(SequenceVide, RefuseeAvantToutCalcul)
{
    ParametresModele p = ModeleE1E2();
    EspaceTravail e;
    e.DecoupageCaractere = false;
    e.SequenceObservations = "   ";
    try {
        DecouperSequence(p, e);
        FAIL() << "séquence vide acceptée";
    } catch (const ERefusCalcul &r) {
        EXPECT_TRUE(r.Message().contains("aucune observation")) << qPrintable(r.Message());
    }
    EXPECT_EQ(e.LongueurSequence, 0);
    e.DecoupageCaractere = true;
    e.SequenceObservations.clear();
    EXPECT_THROW(DecouperSequence(p, e), ERefusCalcul);

    // Les calculs eux-mêmes refusent T = 0 au lieu de lire O[1].
    EspaceTravail vide;
    EXPECT_THROW(CalculerForward(p, vide), ERefusCalcul);
    EXPECT_THROW(CalculerBackward(p, vide), ERefusCalcul);
    EXPECT_THROW(CalculerViterbi(p, vide), ERefusCalcul);
    EXPECT_THROW(EnumererChemins(p, vide), ERefusCalcul);
}

TEST(SequenceHorsModele, ObservationInconnueRefusee)
{
    // Une observation plus grande que M (espace d'un autre modèle) n'est jamais lue hors table.
    ParametresModele p = ModeleE1E2();
    EspaceTravail e = EspacePour({1, 3});
    EXPECT_THROW(CalculerForward(p, e), EHorsBornes);
}

class Historique : public TestAvecRepertoire {};

TEST_F(Historique, AjoutSansEgardALaCasseEtEnregistrement)
{
    HistoriqueSequences h;
    h.Charger(); // fichier absent : historique vide
    EXPECT_TRUE(h.Sequences().isEmpty());
    EXPECT_TRUE(h.Memoriser("abb"));
    EXPECT_TRUE(h.Memoriser("le chat"));
    EXPECT_FALSE(h.Ajouter("ABB"));
    EXPECT_FALSE(h.Ajouter(""));
    QFile f(Chemin("Sequences.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("abb\r\nle chat\r\n"));
    f.close();

    // "ABB" déjà présent (casse ignorée) : le fichier n'est pas réécrit.
    QFile::remove(Chemin("Sequences.txt"));
    EXPECT_TRUE(h.Memoriser("ABB"));
    EXPECT_FALSE(QFile::exists(Chemin("Sequences.txt")));

    HistoriqueSequences relu;
    ASSERT_TRUE(Textes::EcrireLignes(HistoriqueSequences::Chemin(), {"été", "abb"}));
    relu.Charger();
    EXPECT_EQ(relu.Sequences(), QStringList({"été", "abb"}));
}
