// Forward, Backward, Viterbi, énumération, itération de Baum-Welch : l'exemple du modèle
// E1/E2 et l'identité au bit près avec les implémentations de référence sur des modèles variés.
#include "modeles_test.h"
#include "outils_test.h"
#include "reference.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/chrono.h"
#include "algorithms/citation.h"
#include "algorithms/sequence.h"
#include "algorithms/decodage.h"
#include "algorithms/echelle.h"
#include "algorithms/enumeration.h"
#include "algorithms/evaluation.h"
#include "algorithms/tables.h"
#include "graph/nombres.h"

#include <cfloat>
#include <clocale>
#include <limits>
#include <cmath>
#include <string>

namespace {

using LD = long double;

class Exemple : public TestAvecRepertoire {
protected:
    ParametresModele p = ModeleE1E2();
    EspaceTravail e = EspacePour({1, 2}); // a, b
};

QString F(LD x)
{
    return Nombres::Formater(x);
}

}

TEST_F(Exemple, Forward)
{
    CalculerForward(p, e);
    EXPECT_EQ(F(e.Alpha[1][1]), "0.45");
    EXPECT_EQ(F(e.Alpha[1][2]), "0.1");
    EXPECT_EQ(F(e.Alpha[2][1]), "0.0355");
    EXPECT_EQ(F(e.Alpha[2][2]), "0.156");
    EXPECT_EQ(F(e.Probabilite), "0.1915");
}

TEST_F(Exemple, Backward)
{
    CalculerBackward(p, e);
    EXPECT_EQ(e.Beta[2][1], 1.0L);
    EXPECT_EQ(e.Beta[2][2], 1.0L);
    EXPECT_EQ(F(e.Beta[1][1]), "0.31");
    EXPECT_EQ(F(e.Beta[1][2]), "0.52");
    EXPECT_EQ(F(e.Probabilite), "0.1915");
}

TEST_F(Exemple, Viterbi)
{
    CalculerViterbi(p, e);
    EXPECT_EQ(F(e.Delta[1][1]), "0.45");
    EXPECT_EQ(F(e.Delta[1][2]), "0.1");
    EXPECT_EQ(F(e.Delta[2][1]), "0.0315");
    EXPECT_EQ(F(e.Delta[2][2]), "0.108");
    EXPECT_EQ(e.Psi[1][1], 0);
    EXPECT_EQ(e.Psi[2][1], 1);
    EXPECT_EQ(e.Psi[2][2], 1);
    EXPECT_EQ(e.CheminViterbi[0], 0);
    EXPECT_EQ(e.CheminViterbi[1], 1);
    EXPECT_EQ(e.CheminViterbi[2], 2);
    EXPECT_EQ(F(e.Probabilite), "0.108");
}

TEST_F(Exemple, EnumerationQuatreCheminsDansLOrdre)
{
    std::vector<int> pourcents;
    int apres = 0;
    SuiviEnumeration suivi{[&](int v) { pourcents.push_back(v); }, [&] { ++apres; }};
    ASSERT_TRUE(EnumererChemins(p, e, suivi));
    const TableDesChemins &t = e.TableChemins;
    ASSERT_EQ(t.Lignes(), 4);
    const QStringList attendus = {"Start - E1 - E1", "Start - E2 - E1", "Start - E1 - E2", "Start - E2 - E2"};
    const QStringList probabilites = {"0.0315", "0.004", "0.108", "0.048"};
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(t.TexteChemin(r), attendus[r - 1]);
        EXPECT_EQ(t.Texte(r, 3), probabilites[r - 1]);
    }
    EXPECT_EQ(t.Texte(3, 1), "E1");
    EXPECT_EQ(t.Texte(3, 2), "E2");
    EXPECT_EQ(e.MeilleurChemin, 3);
    EXPECT_EQ(F(e.Probabilite), "0.1915");
    EXPECT_EQ(e.CheminsEvalues, 4);
    EXPECT_EQ(e.NombreCheminsNonNuls, 4);
    EXPECT_EQ(apres, 4);
    EXPECT_EQ(pourcents, (std::vector<int>{25, 50, 75, 100}));
}

TEST_F(Exemple, CheminNulCompteMaisNonListe)
{
    p.A[2][1] = 0; // E2 -> E1 impossible
    ASSERT_TRUE(EnumererChemins(p, e));
    EXPECT_EQ(e.CheminsEvalues, 4);
    ASSERT_EQ(e.TableChemins.Lignes(), 3);
    EXPECT_EQ(e.TableChemins.TexteChemin(2), "Start - E1 - E2");
    EXPECT_EQ(e.MeilleurChemin, 2);
}

TEST_F(Exemple, ArretPrisEnCompteAuGroupeSuivant)
{
    // N = 3, T = 3 : arrêt demandé après le premier chemin ; les deux autres chemins du même
    // groupe (seul l'état du temps 1 change) sont encore évalués, puis tout s'arrête.
    ParametresModele p3 = ParametresTextes({"A", "B", "C"}, {"a"}, {"0.3", "0.3", "0.4"},
                                           {{"0.3", "0.3", "0.4"}, {"0.3", "0.3", "0.4"}, {"0.3", "0.3", "0.4"}},
                                           {{"1"}, {"1"}, {"1"}});
    EspaceTravail e3 = EspacePour({1, 1, 1});
    SuiviEnumeration suivi{nullptr, [&] { e3.ArretEnumeration = true; }};
    EXPECT_FALSE(EnumererChemins(p3, e3, suivi));
    EXPECT_EQ(e3.CheminsEvalues, 3);
    EXPECT_TRUE(e3.ArretEnumeration);
    // Une nouvelle énumération repart de zéro.
    EXPECT_TRUE(EnumererChemins(p3, e3));
    EXPECT_EQ(e3.CheminsEvalues, 27);
    EXPECT_EQ(e3.TableChemins.Lignes(), 27);
}

TEST(Enumeration, NombreDeCheminsBorne)
{
    EXPECT_EQ(NombreDeChemins(3, 4), 81.0L);
    EXPECT_EQ(NombreDeChemins(7, 0), 1.0L);
    struct Cas {
        int N, T;
        const char *texte;
    };
    for (const Cas &c : {Cas{2, 20, "2^20 = 1048576"}, Cas{10, 10, "10^10 = 10000000000"},
                         Cas{99, 5000, "99^5000 (plus de 10^4932)"}}) {
        ParametresModele p;
        p.N = c.N;
        p.M = 1;
        p.Dimensionner(c.N, 1);
        EspaceTravail e = EspacePour(std::vector<int>(std::size_t(c.T), 1));
        try {
            EnumererChemins(p, e);
            ADD_FAILURE() << c.N << "^" << c.T << " accepté";
        } catch (const ERefusCalcul &r) {
            EXPECT_TRUE(r.Message().contains(c.texte)) << qPrintable(r.Message());
            EXPECT_EQ(e.TableChemins.Lignes(), 0);
        }
    }
    // Juste sous la borne : 2^19 chemins, aucun n'est alloué d'avance.
    ParametresModele p;
    p.N = 2;
    p.M = 1;
    p.Dimensionner(2, 1);
    EspaceTravail e = EspacePour(std::vector<int>(19, 1));
    EXPECT_TRUE(EnumererChemins(p, e)); // tout est nul : rien n'est gardé
    EXPECT_EQ(e.CheminsEvalues, 524288);
    EXPECT_EQ(e.TableChemins.Lignes(), 0);
    EXPECT_EQ(e.Probabilite, 0.0L);
}

TEST(CasLimites, UneSeuleObservationEtEgalites)
{
    // T = 1 : P = Σ π B ; à égalité de δ le plus petit numéro l'emporte.
    ParametresModele p = ParametresTextes({"E1", "E2", "E3"}, {"a"}, {"0.25", "0.5", "0.25"},
                                          {{"0.5", "0.5", "0"}, {"0.5", "0.5", "0"}, {"0", "0", "1"}},
                                          {{"1"}, {"0.5"}, {"1"}});
    EspaceTravail e = EspacePour({1});
    CalculerForward(p, e);
    EXPECT_EQ(e.Probabilite, 0.75L);
    CalculerViterbi(p, e);
    EXPECT_EQ(e.CheminViterbi[1], 1);
    EXPECT_EQ(e.Probabilite, 0.25L);

    // Deux prédécesseurs de produits égaux : ψ retient le plus petit.
    EspaceTravail e2 = EspacePour({1, 1});
    CalculerViterbi(p, e2);
    EXPECT_EQ(e2.Psi[2][1], 1);
    EXPECT_EQ(e2.Psi[2][2], 1);

    // Tout est nul : état 1 partout, probabilité 0.
    EspaceTravail e0 = EspacePour({0, 1});
    CalculerViterbi(p, e0);
    EXPECT_EQ(e0.CheminViterbi[2], 1);
    EXPECT_EQ(e0.Psi[2][3], 1);
    EXPECT_EQ(e0.Probabilite, 0.0L);
    CalculerForward(p, e0);
    EXPECT_EQ(e0.Probabilite, 0.0L);
}

// ---- Identité au bit près avec les références, sur des modèles variés ----

namespace {

const ReglageAleatoire Reglages[] = {
    {"Petit", 3, 2, 6, 0.0, false, ""},
    {"Creux", 7, 5, 40, 0.5, false, ""},
    {"Egalites", 6, 3, 30, 0.2, true, ""},
    {"Moyen", 23, 11, 60, 0.1, false, ""},
    {"Impair", 13, 4, 25, 0.0, false, ""},
    {"Doubles", 9, 4, 40, 0.1, false, "doubles"},
    {"AGrand", 9, 3, 20, 0.0, false, "grand"},
    {"ANegatif", 6, 3, 20, 0.1, false, "negatif"},
    {"AMinuscule", 5, 3, 20, 0.0, false, "minuscule"},
    {"BMinuscule", 5, 3, 20, 0.0, false, "bminuscule"},
    {"LongueSequence", 3, 4, 4500, 0.0, false, ""}, // δ traverse les sous-normaux puis 0
    // Les familles des bancs d'essai : chaîne de 97 états (98 arcs), 10 états à 98 arcs, et
    // un α qui déborde en cours de route (les pas creux cèdent la place aux pas pleins).
    {"Chaine97", 97, 98, 60, 0.0, false, "chaine"},
    {"ChaineEmissions", 97, 98, 200, 0.0, false, "chaine4"}, // lignes de α, β, δ presque toutes nulles
    {"Ergodique10", 10, 6, 80, 0.0, false, "arcs98"},
    {"Plein16", 16, 5, 60, 0.0, false, ""}, // le plus grand modèle du filtre par lignes
    {"Debordement", 8, 3, 14, 0.6, false, "enorme"},
};

// Chaque comparaison est faite avec les boucles pleines, avec les parcours creux partout où
// ils sont permis (arc par arc, ou en propageant chaque ligne), et avec le choix automatique.
const Calcul::Noyaux ToutesLesVariantes[] = {Calcul::Noyaux::Auto, Calcul::Noyaux::Pleins, Calcul::Noyaux::Creux,
                                             Calcul::Noyaux::Propages};

struct VariantesNoyaux {
    explicit VariantesNoyaux(Calcul::Noyaux n) { Calcul::ImposerNoyaux(n); }
    ~VariantesNoyaux() { Calcul::ImposerNoyaux(Calcul::Noyaux::Auto); }
};

class Identite : public TestAvecRepertoire, public ::testing::WithParamInterface<ReglageAleatoire> {};

void ComparerMatrices(const Matrice<LD> &m, const Reference::Matrice &r, int T, int N, const char *quoi)
{
    int ecarts = 0;
    for (int t = 1; t <= T; ++t)
        for (int i = 1; i <= N; ++i)
            if (!Identiques(m(t, i), r[std::size_t(t)][std::size_t(i)]) && ++ecarts <= 3)
                ADD_FAILURE() << quoi << "[" << t << "][" << i << "] : " << (double)m(t, i) << " au lieu de "
                              << (double)r[std::size_t(t)][std::size_t(i)];
    EXPECT_EQ(ecarts, 0) << quoi;
}

}

TEST_P(Identite, ForwardBackwardViterbi)
{
    const ReglageAleatoire &r = GetParam();
    for (const Calcul::Noyaux variante : ToutesLesVariantes)
    for (unsigned graine = 1; graine <= 3; ++graine) {
        const VariantesNoyaux v(variante);
        SCOPED_TRACE(testing::Message() << "noyaux " << int(variante) << ", graine " << graine);
        std::vector<int> O;
        ParametresModele p = ModeleAleatoire(r, graine, O);
        EspaceTravail e = EspacePour(std::vector<int>(O.begin() + 1, O.end()));
        const int T = r.T, N = r.N;

        Reference::Matrice alpha, beta, delta;
        std::vector<std::vector<int>> psi;
        std::vector<int> Q;
        CalculerForward(p, e);
        EXPECT_TRUE(Identiques(e.Probabilite, Reference::Forward(p, O, alpha)));
        ComparerMatrices(e.Alpha, alpha, T, N, "alpha");

        CalculerBackward(p, e);
        EXPECT_TRUE(Identiques(e.Probabilite, Reference::Backward(p, O, beta)));
        ComparerMatrices(e.Beta, beta, T, N, "beta");

        const LD Pv = Reference::Viterbi(p, O, delta, psi, Q);
        const auto ecartsPsi = [&](const EspaceTravail &x) {
            int ecarts = 0;
            for (int t = 1; t <= T; ++t) {
                ecarts += x.CheminViterbi[t] != Q[std::size_t(t)];
                for (int i = 1; i <= N; ++i)
                    ecarts += x.Psi(t, i) != psi[std::size_t(t)][std::size_t(i)];
            }
            return ecarts;
        };
        // Le Viterbi mis à l'échelle (δ × 2^K) a les mêmes ψ tant que δ reste normal et fini.
        bool normal = true;
        for (int t = 1; t <= T; ++t)
            for (int i = 1; i <= N; ++i) {
                const LD x = std::fabs(delta[std::size_t(t)][std::size_t(i)]);
                normal &= x == 0 || (x >= LDBL_MIN && x <= LDBL_MAX);
            }
        for (const bool sse2 : {false, true}) { // les deux versions du filtre approché
            Calcul::ViterbiSansAvx2(sse2);
            CalculerViterbi(p, e);
            EspaceTravail s = EspacePour(std::vector<int>(O.begin() + 1, O.end()));
            if (normal)
                Echelle::Viterbi(p, s);
            Calcul::ViterbiSansAvx2(false);
            EXPECT_TRUE(Identiques(e.Probabilite, Pv));
            ComparerMatrices(e.Delta, delta, T, N, "delta");
            EXPECT_EQ(ecartsPsi(e), 0) << "psi / chemin, graine " << graine << (sse2 ? " (SSE2)" : "");
            if (normal) {
                EXPECT_TRUE(Identiques(s.ProbabiliteEchelle.VersEtendu(), Pv));
                EXPECT_EQ(ecartsPsi(s), 0) << "mis à l'échelle, graine " << graine << (sse2 ? " (SSE2)" : "");
            }
        }
    }
}

TEST_P(Identite, IterationsDeBaumWelch)
{
    const ReglageAleatoire &r = GetParam();
    if (r.T > 200)
        GTEST_SKIP() << "ξ complet de la référence trop grand";
    // Tables gardées (trace) ou non : sans elles, γ et ξ sont sommés au fil du Forward, par
    // tuiles de t, pour un modèle dont les lignes somment à 1 au plus (ramené à 1 ici).
    for (const bool garder : {true, false})
    for (const bool stochastique : {false, true})
    for (const Calcul::Noyaux variante : ToutesLesVariantes) {
    const VariantesNoyaux v(variante);
    SCOPED_TRACE(testing::Message() << "noyaux " << int(variante) << (garder ? ", tables" : ", au fil")
                                    << (stochastique ? ", stochastique" : ""));
    std::vector<int> O;
    ParametresModele p = ModeleAleatoire(r, 7, O);
    if (stochastique)
        Stochastique(p);
    ParametresModele ref = p;
    EspaceTravail e = EspacePour(std::vector<int>(O.begin() + 1, O.end()));
    e.GarderTables = garder;
    e.Gamma.Dimensionner(r.T + 1, r.N + 1);
    for (int iteration = 1; iteration <= 3; ++iteration) {
        Reference::Comptes c;
        LD P = 0;
        const bool stable = Reference::IterationBaumWelch(ref, O, c, P);
        IterationBaumWelch(p, e);
        EXPECT_EQ(e.Stable, stable);
        EXPECT_TRUE(Identiques(e.Probabilite, P)) << "itération " << iteration;
        int ecarts = 0;
        for (int i = 1; i <= r.N; ++i) {
            ecarts += !Identiques(p.PI[i], ref.PI[i]);
            ecarts += !Identiques(e.EsperancesDepuis[i], c.depuis[std::size_t(i)]);
            ecarts += !Identiques(e.EsperancesEtat[i], c.etat[std::size_t(i)]);
            for (int j = 1; j <= r.N; ++j) {
                ecarts += !Identiques(p.A[i][j], ref.A[i][j]);
                ecarts += !Identiques(e.EsperancesTransitions(i, j), c.transitions[std::size_t(i)][std::size_t(j)]);
            }
            for (int k = 1; k <= r.M; ++k) {
                ecarts += !Identiques(p.B[i][k], ref.B[i][k]);
                ecarts += !Identiques(e.EsperancesGeneration(i, k), c.generation[std::size_t(i)][std::size_t(k)]);
            }
        }
        EXPECT_EQ(ecarts, 0) << "itération " << iteration;
    }
    }
}

TEST_P(Identite, EnumerationDesChemins)
{
    ReglageAleatoire r = GetParam();
    r.T = r.N > 6 ? 3 : 6; // N^T raisonnable
    if (r.N > 30)
        GTEST_SKIP();
    std::vector<int> O;
    ParametresModele p = ModeleAleatoire(r, 11, O);
    EspaceTravail e = EspacePour(std::vector<int>(O.begin() + 1, O.end()));
    ASSERT_TRUE(EnumererChemins(p, e));
    const Reference::Enumeration ref = Reference::Enumerer(p, O);
    ASSERT_EQ(e.TableChemins.Lignes(), (long long)ref.lignes.size());
    for (long long k = 1; k <= e.TableChemins.Lignes(); ++k)
        for (int t = 1; t <= r.T + 1; ++t)
            ASSERT_EQ(e.TableChemins.Texte(k, t), ref.lignes[std::size_t(k - 1)][t - 1]) << "ligne " << k;
    EXPECT_TRUE(Identiques(e.Probabilite, ref.probabilite));
    EXPECT_EQ(e.MeilleurChemin, ref.meilleure);

    // ProbabiliteChemin sur un chemin choisi : la même valeur que la référence.
    if (!ref.lignes.empty()) {
        e.CheminCourant.resize(std::size_t(r.T) + 1);
        for (int t = 1; t <= r.T; ++t)
            e.CheminCourant[t] = e.TableChemins.Etat(1, t);
        EXPECT_EQ(e.TableChemins.Texte(1, r.T + 1), Nombres::Formater(ProbabiliteChemin(p, e)));
    }
}

INSTANTIATE_TEST_SUITE_P(Modeles, Identite, ::testing::ValuesIn(Reglages),
                         [](const auto &i) { return std::string(i.param.nom); });

TEST(IdentiteViterbi, QuasiEgalitesIndiscernablesEnDouble)
{
    // ψ_2(2) départage δ_1(1) × A[1][2] et δ_1(3) × A[3][2] (δ_1 = π). Dans chaque cas les
    // doubles les plus proches ne mettent pas le gagnant exact devant : égalité (A différents
    // d'une unité de l'étendu), ou ordre inverse de trois unités des doubles, qu'un filtre sans
    // marge suffisante trancherait à tort.
    const LD a = Nombres::VersExtended("0.3"), a2 = std::nextafter(a, 1.0L);
    const struct {
        LD pi1, pi3, a12, a32;
        int psi; // ψ_2(2) exact
    } cas[] = {
        {a, a, a2, a, 1},
        {a, a, a, a2, 3},
        {0.5681L, 0.5297L, 0.7375L, 0xc.a7ca1a6d2a85234p-4L, 3},
        {0.2951L, 0.8241L, 0.1001L, 0x9.2d1c172cd886d3p-8L, 1},
    };
    for (const auto &c : cas)
    for (const Calcul::Noyaux variante : ToutesLesVariantes)
    for (const bool sse2 : {false, true}) {
        const VariantesNoyaux v(variante);
        SCOPED_TRACE(testing::Message() << "psi " << c.psi << ", noyaux " << int(variante) << (sse2 ? ", SSE2" : ""));
        ParametresModele p = ParametresTextes({"E1", "E2", "E3"}, {"a"}, {"0.3", "0.1", "0.4"},
                                              {{"0.3", "0.3", "0.4"}, {"0.3", "0.1", "0.4"}, {"0.3", "0.3", "0.4"}},
                                              {{"1"}, {"1"}, {"1"}});
        p.PI[1] = c.pi1;
        p.PI[3] = c.pi3;
        p.A[1][2] = c.a12;
        p.A[3][2] = c.a32;
        const int perdant = 4 - c.psi;
        EXPECT_LE(double(p.PI[c.psi]) * double(p.A[c.psi][2]), double(p.PI[perdant]) * double(p.A[perdant][2]));
        std::vector<int> O = {0, 1, 1, 1};
        EspaceTravail e = EspacePour({1, 1, 1}), s = EspacePour({1, 1, 1});
        Reference::Matrice delta;
        std::vector<std::vector<int>> psi;
        std::vector<int> Q;
        const LD P = Reference::Viterbi(p, O, delta, psi, Q);
        Calcul::ViterbiSansAvx2(sse2);
        CalculerViterbi(p, e);
        Echelle::Viterbi(p, s);
        Calcul::ViterbiSansAvx2(false);
        EXPECT_TRUE(Identiques(e.Probabilite, P));
        EXPECT_TRUE(Identiques(s.ProbabiliteEchelle.VersEtendu(), P));
        for (int t = 1; t <= 3; ++t)
            for (int i = 1; i <= 3; ++i) {
                EXPECT_EQ(e.Psi(t, i), psi[std::size_t(t)][std::size_t(i)]) << t << " " << i;
                EXPECT_EQ(s.Psi(t, i), psi[std::size_t(t)][std::size_t(i)]) << t << " " << i;
                EXPECT_TRUE(Identiques(e.Delta(t, i), delta[std::size_t(t)][std::size_t(i)]));
            }
        EXPECT_EQ(e.Psi(2, 2), c.psi);
    }
}

TEST(IdentiteViterbi, RamenerParExposantsCommeLeProduitParUnePuissanceDeDeux)
{
    // Ligne x[1..2] du Viterbi mis à l'échelle : x × 2^k, k = -ilogb(max), exactement comme
    // ldexp, valeurs sous-normales avant ou après comprises ; sinon rien ne change.
    const LD inf = std::numeric_limits<LD>::infinity(), nan = std::numeric_limits<LD>::quiet_NaN();
    const struct {
        LD x1, x2;
        bool fait;
    } cas[] = {
        {1.5L, 0.0L, true},                   // k = 0
        {0x1p-100L, 3e-40L, true},            // normales avant et après
        {0x1p-10L, 0x1.8p-16440L, true},      // sous-normale avant
        {0x1p20L, 0x1.8p-16370L, true},       // sous-normale après
        {0x1p-16000L, 0x1p-16440L, false},    // k hors de la plage du produit exact
        {0x1p-16440L, 0.0L, false},           // maximum sous-normal
        {0.0L, 0.0L, false},
        {-0.5L, 1.0L, false},
        {inf, 1.0L, false},
        {nan, 1.0L, false},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(testing::Message() << double(c.x1) << " " << double(c.x2));
        LD x[3] = {0, c.x1, c.x2};
        long long K = 5;
        ASSERT_EQ(Calcul::RamenerParExposants(x, 2, K), c.fait);
        const int k = c.fait ? -std::ilogb(std::max(c.x1, c.x2)) : 0;
        EXPECT_EQ(K, 5 + k);
        EXPECT_TRUE(Identiques(x[1], std::ldexp(c.x1, k)) || std::isnan(c.x1));
        EXPECT_TRUE(Identiques(x[2], std::ldexp(c.x2, k)));
    }
}

TEST(DureeDuCalcul, TroisChiffresSignificatifsEtSeparateurDeLaLangue)
{
    Nombres::DefinirSeparateur(QLatin1Char(','));
    const struct {
        double ms;
        const char *texte;
    } cas[] = {{0.42, "0,42"},     {12.345, "12,3"},  {1234.5, "1230"}, {0.0012345, "0,00123"},
               {99.96, "100"},     {3, "3"},          {0, "0"}};
    for (const auto &c : cas)
        EXPECT_EQ(TexteDureeCalcul(c.ms), QStringLiteral("Durée du calcul : ") + QLatin1String(c.texte) +
                                              QStringLiteral(" ms"));
    Nombres::DefinirSeparateur(QLatin1Char('.'));
}

TEST(NombresSousLangueAVirgule, ConversionsIndependantesDeLaLangueC)
{
    // QApplication installe la langue de l'utilisateur (setlocale) : sous une langue à virgule,
    // strtold et printf ne doivent pas changer les textes des probabilités.
    const std::string avant = std::setlocale(LC_NUMERIC, nullptr);
    bool trouvee = false;
    for (const char *nom : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "de_DE.UTF-8", "de_DE.utf8"})
        if (std::setlocale(LC_NUMERIC, nom)) {
            trouvee = true;
            break;
        }
    if (!trouvee)
        GTEST_SKIP() << "aucune langue à virgule décimale installée";
    Nombres::DefinirSeparateur(QChar('.'));
    const bool virgule = std::localeconv()->decimal_point[0] == ',';
    EXPECT_EQ(Nombres::VersExtended("0.5"), 0.5L);
    EXPECT_EQ(Nombres::VersExtended("0,25"), 0.25L);
    EXPECT_EQ(Nombres::Formater(Nombres::VersExtended("0.1915")), "0.1915");
    EXPECT_EQ(Nombres::Formater(1.5e-7L), "1.5E-7");
    std::setlocale(LC_NUMERIC, avant.c_str());
    EXPECT_TRUE(virgule);
}

// La cause d'un refus : le premier morceau inconnu, sinon le premier instant inatteignable.
TEST(Refus, CauseDeLaNonGeneration)
{
    // E1 -> E2 seulement ; E1 émet a, E2 émet b ; départ en E1.
    ParametresModele p;
    p.N = 2;
    p.M = 2;
    p.Symboles[1] = QStringLiteral("a");
    p.Symboles[2] = QStringLiteral("b");
    p.Dimensionner(2, 2);
    p.PI[1] = 1;
    p.A[1][2] = 1;
    p.A[2][2] = 1;
    p.B[1][1] = 1;
    p.B[2][2] = 1;
    struct Cas {
        const char *sequence;
        bool parMot;
        const char *cause;
    };
    const Cas cas[] = {
        {"abb", false, ""},
        {"abcb", false, "\nLe symbole « c » (instant 3) n'est émis par aucun état du modèle."},
        {"a b zz", true, "\nLe symbole « zz » (instant 3) n'est émis par aucun état du modèle."},
        {"ba", false, "\nAucun état de départ n'émet le premier symbole « b »."},
        {"abba", false, "\nÉtape impossible à l'instant 4 : aucun état atteint à l'instant 3 ne mène à un état qui émet « a »."},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.sequence);
        EspaceTravail e;
        e.SequenceObservations = QString::fromUtf8(c.sequence);
        e.DecoupageCaractere = !c.parMot;
        DecouperSequence(p, e);
        EXPECT_EQ(CauseNonGeneration(p, e), QString::fromUtf8(c.cause));
    }
}
