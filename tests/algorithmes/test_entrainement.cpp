// Entraînements sur le document : Viterbi sur "ab", Baum-Welch dans ses deux modes, arrêts,
// refus, points d'attache de l'observateur et report dans le graphe.
#include "modeles_test.h"
#include "outils_test.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/evaluation.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/textes.h"

#include <QFile>

namespace {

using LD = long double;

// Note chaque appel, ajoute une ligne au journal par itération, peut demander l'arrêt.
class Espion : public ObservateurEntrainement {
public:
    QStringList appels;
    int arretApres = 0; // 0 : jamais
    int iterations = 0;
    QString etiquetteAvant; // une étiquette lue juste avant la modification du graphe
    DocumentModele *document = nullptr;

    void Debut(Entrainement, const ParametresModele &, EspaceTravail &e) override
    {
        appels << "Debut";
        e.JournalEntrainement.clear();
    }
    void Iteration(Entrainement, const ParametresModele &, EspaceTravail &e) override
    {
        ++iterations;
        appels << QStringLiteral("Iteration%1").arg(e.Stable ? "Stable" : "");
        e.JournalEntrainement << QStringLiteral("itération %1").arg(iterations);
    }
    bool Continuer(Entrainement) override
    {
        appels << "Continuer";
        return arretApres == 0 || iterations + 1 < arretApres;
    }
    void AvantModification(Entrainement) override
    {
        appels << "AvantModification";
        if (document)
            etiquetteAvant = document->GrapheVue()->Etiquette[1];
    }
    void Fin(Entrainement, const ParametresModele &, EspaceTravail &) override { appels << "Fin"; }
    void FinSansIteration(Entrainement, const ParametresModele &, EspaceTravail &) override
    {
        appels << "FinSansIteration";
    }
};

class Entrainements : public TestAvecRepertoire {
protected:
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        ConstruireE1E2(d);
        espion.document = &d;
        e.SequenceObservations = "ab";
        e.DecoupageCaractere = true;
    }
    QString Etiquette(int source, int destination) const
    {
        const int a = d.GrapheVue()->ExisteARC(source, destination);
        return a == -1 ? QStringLiteral("<aucun>") : d.GrapheVue()->Etiquette[a];
    }
    QStringList Paires(int etat) const
    {
        QStringList l;
        for (int k = 1; k <= d.BoiteVue(etat)->NbSymboles; ++k)
            l << d.BoiteVue(etat)->Generation[k][1] + "=" + d.BoiteVue(etat)->Generation[k][2];
        return l;
    }
    DocumentModele d;
    EspaceTravail e;
    Espion espion;
};

}

TEST_F(Entrainements, ViterbiSurAb)
{
    EXPECT_EQ(EntrainerViterbi(d, e, &espion), IssueEntrainement::Termine);
    const ParametresModele &p = d.Parametres();
    EXPECT_EQ(p.PI[1], 1.0L);
    EXPECT_EQ(p.PI[2], 0.0L);
    EXPECT_EQ(p.A[1][1], 0.0L);
    EXPECT_EQ(p.A[1][2], 1.0L);
    EXPECT_EQ(Nombres::Formater(p.A[2][1]), "0.4"); // E2 n'est pas aux temps 1..T-1
    EXPECT_EQ(Nombres::Formater(p.A[2][2]), "0.6");
    EXPECT_EQ(p.B[1][1], 1.0L);
    EXPECT_EQ(p.B[1][2], 0.0L);
    EXPECT_EQ(p.B[2][1], 0.0L);
    EXPECT_EQ(p.B[2][2], 1.0L);
    // Deux passes : la première change tout, la seconde reproduit les mêmes valeurs.
    EXPECT_EQ(espion.appels,
              QStringList({"Debut", "Iteration", "IterationStable", "AvantModification", "Fin"}));
    EXPECT_EQ(e.NombreDepuis[1], 1);
    EXPECT_EQ(e.NombreDepuis[2], 0);
    EXPECT_EQ(e.NombreTransitions(1, 2), 1);
    EXPECT_EQ(e.NombreEtat[2], 1);
    EXPECT_EQ(e.NombreGeneration(2, 2), 1);
    EXPECT_EQ(Nombres::Formater(e.Probabilite), "1"); // le modèle appris génère "ab" sûrement

    // Report : les étiquettes existantes reçoivent les textes ; celles qui valent 0
    // disparaissent comme à la saisie ; rien n'est créé.
    EXPECT_EQ(Etiquette(0, 1), "1");
    EXPECT_EQ(Etiquette(0, 2), "<aucun>");
    EXPECT_EQ(Etiquette(1, 1), "<aucun>");
    EXPECT_EQ(Etiquette(1, 2), "1");
    EXPECT_EQ(Etiquette(2, 1), "0.4");
    EXPECT_EQ(Etiquette(2, 2), "0.6");
    EXPECT_EQ(Paires(1), QStringList{"a=1"});
    EXPECT_EQ(Paires(2), QStringList{"b=1"});
    EXPECT_EQ(espion.etiquetteAvant, "0.5"); // l'étape d'annulation voit le modèle d'avant

    // Le journal est enregistré dans APP.txt.
    EXPECT_EQ(Textes::LireLignes(Chemin("APP.txt")), QStringList({"itération 1", "itération 2"}));
}

TEST_F(Entrainements, BaumWelchUneIterationReportee)
{
    e.NombreIterations = 1;
    e.Seuil = 2;
    EXPECT_EQ(EntrainerBaumWelch(d, e, &espion), IssueEntrainement::Termine);
    EXPECT_EQ(espion.appels, QStringList({"Debut", "Continuer", "Iteration", "AvantModification", "Fin"}));
    EXPECT_EQ(e.IterationCourante, 2);
    // Valeurs du cas de référence c01, au format général à 15 chiffres.
    EXPECT_EQ(Etiquette(0, 1), "0.72845953002611");
    EXPECT_EQ(Etiquette(0, 2), "0.27154046997389");
    EXPECT_EQ(Etiquette(1, 1), "0.225806451612903");
    EXPECT_EQ(Etiquette(1, 2), "0.774193548387097");
    EXPECT_EQ(Etiquette(2, 1), "0.0769230769230769");
    EXPECT_EQ(Etiquette(2, 2), "0.923076923076923");
    EXPECT_EQ(Paires(1), QStringList({"a=0.797142857142857", "b=0.202857142857143"}));
    EXPECT_EQ(Paires(2), QStringList({"a=0.25", "b=0.75"}));
    EXPECT_EQ(Nombres::Formater(e.Probabilite), "0.411828571428571");
    EXPECT_EQ(d.GrapheVue()->NbArcs, 6);
}

TEST_F(Entrainements, SequenceNonGenereeRefuseeSansRienChanger)
{
    e.SequenceObservations = "ac";
    for (int mode = 0; mode < 2; ++mode) {
        try {
            if (mode == 0)
                EntrainerBaumWelch(d, e, &espion);
            else
                EntrainerViterbi(d, e, &espion);
            FAIL() << "accepté";
        } catch (const ERefusCalcul &r) {
            EXPECT_EQ(r.Message(), "Ce modèle ne génère pas la séquence d'observations : ac\nLe symbole « c » "
                                   "(instant 2) n'est émis par aucun état du modèle.");
        }
    }
    EXPECT_TRUE(espion.appels.isEmpty());
    EXPECT_EQ(Etiquette(0, 1), "0.5");
    EXPECT_FALSE(QFile::exists(Chemin("APP.txt")));
}

TEST_F(Entrainements, SeuilDejaAtteintNeTouchePasAuGraphe)
{
    e.Seuil = Nombres::VersExtended("0.1915"); // égal à P : compte comme atteint
    EXPECT_EQ(EntrainerBaumWelch(d, e, &espion), IssueEntrainement::SeuilDejaAtteint);
    EXPECT_EQ(espion.appels, QStringList({"Debut", "FinSansIteration"}));
    EXPECT_EQ(Etiquette(1, 1), "0.7");
    EXPECT_EQ(Paires(1), QStringList({"a=0.9", "b=0.1"}));
}

TEST_F(Entrainements, SeuilAtteintApresQuelquesIterations)
{
    e.Seuil = Nombres::VersExtended("0.4");
    EXPECT_EQ(EntrainerBaumWelch(d, e, &espion), IssueEntrainement::Termine);
    EXPECT_EQ(espion.iterations, 1);
    EXPECT_GE(e.Probabilite, e.Seuil);
}

TEST_F(Entrainements, InterruptionEcritLesIterationsFaites)
{
    e.NombreIterations = 50;
    e.Seuil = 2;
    espion.arretApres = 2;
    EXPECT_EQ(EntrainerBaumWelch(d, e, &espion), IssueEntrainement::Interrompu);
    EXPECT_TRUE(e.Interrompu);
    EXPECT_EQ(espion.iterations, 2);
    EXPECT_EQ(espion.appels.mid(espion.appels.size() - 2), QStringList({"AvantModification", "Fin"}));
    EXPECT_NE(Etiquette(1, 1), "0.7");
}

TEST_F(Entrainements, NombreDIterationsInferieurAUnReformateSeulement)
{
    d.GrapheVue()->Etiquette[d.GrapheVue()->ExisteARC(1, 1)] = "0.70";
    e.NombreIterations = 0;
    e.Seuil = 2;
    EXPECT_EQ(EntrainerBaumWelch(d, e, &espion), IssueEntrainement::Termine);
    EXPECT_EQ(espion.iterations, 0);
    EXPECT_EQ(Etiquette(1, 1), "0.7");
}

// ---- La boucle seule, sur des paramètres remplis directement ----

TEST(BoucleBaumWelch, PointFixeArreteApresUneIterationDansLesDeuxModes)
{
    // Un état, B égal aux fréquences de "abbc" : point fixe exact.
    const ParametresModele p0 = ParametresTextes({"E1"}, {"a", "b", "c"}, {"1"}, {{"1"}}, {{"0.25", "0.5", "0.25"}});
    for (const LD seuil : {2.0L, 0.5L}) {
        ParametresModele p = p0;
        EspaceTravail e = EspacePour({1, 2, 2, 3});
        e.NombreIterations = 10;
        e.Seuil = seuil;
        Espion espion;
        EXPECT_EQ(BouclerBaumWelch(p, e, &espion), IssueEntrainement::Termine);
        EXPECT_EQ(espion.iterations, 1) << (double)seuil;
        EXPECT_TRUE(e.Stable);
        EXPECT_EQ(p.B[1][2], 0.5L);
    }
}

TEST(BoucleBaumWelch, UneSeuleObservation)
{
    // T = 1 : A inchangé, π = γ[1], B[i][O[1]] = 1 et les autres 0 pour γ > 0 ; un état de
    // γ nul garde sa ligne de B.
    ParametresModele p = ParametresTextes({"E1", "E2", "E3"}, {"a", "b"}, {"0.5", "0.5", "0"},
                                          {{"0.7", "0.3", "0"}, {"0.4", "0.6", "0"}, {"0", "0", "1"}},
                                          {{"0.9", "0.1"}, {"0.2", "0.8"}, {"0.3", "0.7"}});
    const ParametresModele avant = p;
    EspaceTravail e = EspacePour({1});
    e.NombreIterations = 1;
    EXPECT_EQ(BouclerBaumWelch(p, e), IssueEntrainement::Termine);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(p.A[i][j], avant.A[i][j]);
    EXPECT_EQ(Nombres::Formater(p.PI[1]), Nombres::Formater(0.45L / 0.55L));
    EXPECT_EQ(p.B[1][1], 1.0L);
    EXPECT_EQ(p.B[1][2], 0.0L);
    EXPECT_EQ(p.B[2][1], 1.0L);
    EXPECT_EQ(p.B[3][1], avant.B[3][1]);
    EXPECT_EQ(p.B[3][2], avant.B[3][2]);
    EXPECT_EQ(e.EsperancesDepuis[1], 0.0L);
}

TEST(BoucleBaumWelch, EtatJamaisOccupeGardeSesLignes)
{
    // E3 : ni arc de START ni arc entrant ; γ nul, ses lignes de A et B restent.
    ParametresModele p = ParametresTextes({"E1", "E2", "E3"}, {"a", "b", "c"}, {"0.6", "0.4", "0"},
                                          {{"0.5", "0.5", "0"}, {"0.3", "0.7", "0"}, {"0.2", "0.3", "0.5"}},
                                          {{"0.5", "0.2", "0.3"}, {"0.1", "0.6", "0.3"}, {"0.3", "0.3", "0.4"}});
    const ParametresModele avant = p;
    EspaceTravail e = EspacePour({1, 3, 3, 2, 1, 1, 3, 2});
    e.NombreIterations = 2;
    BouclerBaumWelch(p, e);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(p.A[3][k], avant.A[3][k]);
        EXPECT_EQ(p.B[3][k], avant.B[3][k]);
    }
    // Une transition nulle le reste.
    EXPECT_EQ(p.A[1][3], 0.0L);
    EXPECT_EQ(p.A[2][3], 0.0L);
    EXPECT_EQ(e.EsperancesEtat[3], 0.0L);
}

TEST(BoucleBaumWelch, ModeSeuilBorne)
{
    // Un seuil que P(O|λ) ne peut pas atteindre : la boucle s'arrête à la borne.
    std::vector<int> O;
    ParametresModele p = ModeleAleatoire({"borne", 3, 3, 12, 0.0, false, ""}, 5, O);
    EspaceTravail e = EspacePour(std::vector<int>(O.begin() + 1, O.end()));
    e.Seuil = 100; // après la première réestimation, P(O|λ) <= 1
    int iterations = 0;
    struct Compteur : ObservateurEntrainement {
        int *n;
        void Iteration(Entrainement, const ParametresModele &, EspaceTravail &) override { ++*n; }
    } compteur;
    compteur.n = &iterations;
    const IssueEntrainement issue = BouclerBaumWelch(p, e, &compteur);
    ASSERT_NE(issue, IssueEntrainement::SeuilDejaAtteint) << (double)e.Probabilite;
    // Ce modèle ne se stabilise pas exactement en 1000 itérations.
    EXPECT_FALSE(e.Stable);
    EXPECT_EQ(issue, IssueEntrainement::LimiteAtteinte);
    EXPECT_TRUE(e.LimiteAtteinte);
    EXPECT_EQ(iterations, LimiteIterationsSeuil);
    EXPECT_EQ(e.IterationsEffectuees, LimiteIterationsSeuil);
}

TEST(BoucleViterbi, PremierePasseSansChangement)
{
    // Le modèle est déjà celui que compte le chemin : une seule passe.
    ParametresModele p = ParametresTextes({"E1", "E2"}, {"a", "b"}, {"1", "0"}, {{"0", "1"}, {"0", "1"}},
                                          {{"1", "0"}, {"0", "1"}});
    EspaceTravail e = EspacePour({1, 2, 2});
    Espion espion;
    BouclerViterbi(p, e, &espion);
    EXPECT_EQ(espion.iterations, 1);
    EXPECT_TRUE(e.Stable);
}
