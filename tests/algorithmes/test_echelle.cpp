// Calculs mis à l'échelle : accord avec le calcul exact là où les deux sont représentables,
// accord avec un calcul indépendant en logarithmes sur les longues séquences, décision
// « exact puis mis à l'échelle » et écriture des probabilités hors de l'étendu.
#include "modeles_test.h"
#include "outils_test.h"
#include "reference.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/echelle.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "graph/nombres.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cfloat>
#include <cmath>
#include <random>

namespace {

using LD = long double;

LD EcartRelatif(LD a, LD b)
{
    if (a == b)
        return 0;
    return std::fabs(a - b) / std::max(std::fabs(a), std::fabs(b));
}

QStringList Textes(const QJsonValue &v)
{
    QStringList l;
    for (const QJsonValue &x : v.toArray())
        l << x.toString();
    return l;
}

// Les cas de référence : λ et O.
struct Cas {
    QString id;
    ParametresModele p;
    std::vector<int> O;
    int iterations = 1;
};

std::vector<Cas> CasReference()
{
    std::vector<Cas> tous;
    QFile f(FichierDonnees("cas_reference.json"));
    if (!f.open(QIODevice::ReadOnly))
        return tous;
    for (const QJsonValue &v : QJsonDocument::fromJson(f.readAll()).array()) {
        const QJsonObject c = v.toObject();
        QList<QStringList> A, B;
        for (const QJsonValue &l : c.value("A").toArray())
            A << Textes(l);
        for (const QJsonValue &l : c.value("B").toArray())
            B << Textes(l);
        Cas k{c.value("id").toString(),
              ParametresTextes(Textes(c.value("states")), Textes(c.value("symbols")), Textes(c.value("pi")), A, B),
              {},
              std::max(1, c.value("bw_iterations").toInt())};
        for (const QJsonValue &o : c.value("observation_index").toArray())
            k.O.push_back(o.toInt());
        tous.push_back(k);
    }
    return tous;
}

// log P(O|λ) indépendant : Forward entièrement en logarithmes, logsumexp en étendu.
LD LogForward(const ParametresModele &p, const std::vector<int> &O)
{
    const int N = p.N;
    auto lg = [](LD x) { return x > 0 ? std::log(x) : -INFINITY; };
    auto lse = [](const std::vector<LD> &v) {
        LD m = -INFINITY;
        for (LD x : v)
            m = std::max(m, x);
        if (std::isinf(m))
            return m;
        LD s = 0;
        for (LD x : v)
            s += std::exp(x - m);
        return m + std::log(s);
    };
    const std::size_t n = std::size_t(N);
    std::vector<LD> a(n + 1), b(n + 1), termes(n);
    for (int i = 1; i <= N; ++i)
        a[std::size_t(i)] = lg(p.PI[i]) + lg(p.B[i][O[0]]);
    for (std::size_t t = 1; t < O.size(); ++t) {
        for (int j = 1; j <= N; ++j) {
            for (int i = 1; i <= N; ++i)
                termes[std::size_t(i - 1)] = a[std::size_t(i)] + lg(p.A[i][j]);
            b[std::size_t(j)] = lse(termes) + lg(p.B[j][O[t]]);
        }
        std::swap(a, b);
    }
    return lse(std::vector<LD>(a.begin() + 1, a.end()));
}

class Echelle_ : public TestAvecRepertoire {};

}

// Sur chaque cas de référence : P, α, β, chemin de Viterbi et Baum-Welch, exacts et mis à
// l'échelle, à 1e-12 près en relatif.
TEST_F(Echelle_, AccordAvecLeCalculExactSurLesCasDeReference)
{
    const std::vector<Cas> tous = CasReference();
    ASSERT_FALSE(tous.empty());
    for (const Cas &c : tous) {
        SCOPED_TRACE(c.id.toStdString());
        const int T = int(c.O.size()), N = c.p.N;
        EspaceTravail x = EspacePour(c.O), s = EspacePour(c.O);
        CalculerForward(c.p, x);
        Evaluer(c.p, s, false, ModeCalcul::Echelle);
        ASSERT_TRUE(s.MisALEchelle);
        EXPECT_LE(EcartRelatif(x.Probabilite, s.ProbabiliteEchelle.VersEtendu()), 1e-12L);
        if (x.Probabilite == 0) {
            EXPECT_TRUE(s.ProbabiliteEchelle.EstNulle());
            continue;
        }
        // α_t(i) = ᾱ_t(i) × Π_{u<=t} 1 / c_u.
        LD produit = 1;
        for (int t = 1; t <= T; ++t) {
            produit /= s.FacteursEchelle[t];
            for (int i = 1; i <= N; ++i)
                EXPECT_LE(EcartRelatif(x.Alpha[t][i], s.Alpha[t][i] * produit), 1e-12L) << t << " " << i;
        }
        CalculerBackward(c.p, x);
        Evaluer(c.p, s, true, ModeCalcul::Echelle);
        EXPECT_LE(EcartRelatif(x.Probabilite, s.ProbabiliteEchelle.VersEtendu()), 1e-12L);
        // β_t(i) = β̂_t(i) × Π_{u>=t} 1 / c_u.
        produit = 1;
        for (int t = T; t >= 1; --t) {
            produit /= s.FacteursEchelle[t];
            for (int i = 1; i <= N; ++i)
                EXPECT_LE(EcartRelatif(x.Beta[t][i], s.Beta[t][i] * produit), 1e-12L) << t << " " << i;
        }
        CalculerViterbi(c.p, x);
        Decoder(c.p, s, ModeCalcul::Echelle);
        EXPECT_LE(EcartRelatif(x.Probabilite, s.ProbabiliteEchelle.VersEtendu()), 1e-12L);
        for (int t = 1; t <= T; ++t)
            EXPECT_EQ(x.CheminViterbi[t], s.CheminViterbi[t]) << t;

        ParametresModele px = c.p, ps = c.p;
        x.NombreIterations = s.NombreIterations = c.iterations;
        x.Seuil = s.Seuil = 2;
        BouclerBaumWelch(px, x);
        Echelle::BouclerBaumWelch(ps, s);
        EXPECT_EQ(x.IterationsEffectuees, s.IterationsEffectuees);
        EXPECT_LE(EcartRelatif(x.Probabilite, s.ProbabiliteEchelle.VersEtendu()), 1e-12L);
        for (int i = 1; i <= N; ++i) {
            EXPECT_LE(EcartRelatif(px.PI[i], ps.PI[i]), 1e-12L);
            for (int j = 1; j <= N; ++j)
                EXPECT_LE(EcartRelatif(px.A[i][j], ps.A[i][j]), 1e-12L) << i << " " << j;
            for (int k = 1; k <= c.p.M; ++k)
                EXPECT_LE(EcartRelatif(px.B[i][k], ps.B[i][k]), 1e-12L) << i << " " << k;
        }
    }
}

// Longues séquences : le calcul exact sort de l'étendu, la décision passe au calcul mis à
// l'échelle, dont log P s'accorde avec le Forward logarithmique indépendant à 1e-10 près.
TEST_F(Echelle_, LonguesSequencesContreLogarithmesIndependants)
{
    const ReglageAleatoire reglages[] = {{"Deux", 2, 2, 20000, 0.0, false, ""}, {"Cinq", 5, 4, 12000, 0.0, false, ""}};
    for (const ReglageAleatoire &r : reglages) {
        SCOPED_TRACE(r.nom);
        std::vector<int> O;
        ParametresModele p = ModeleAleatoire(r, 3, O);
        Stochastique(p);
        const std::vector<int> o(O.begin() + 1, O.end());
        const LD reference = LogForward(p, o);
        for (bool arriere : {false, true}) {
            EspaceTravail e = EspacePour(o);
            Evaluer(p, e, arriere);
            ASSERT_TRUE(e.MisALEchelle);
            EXPECT_TRUE(HorsPortee(e.Probabilite));
            EXPECT_LE(EcartRelatif(e.ProbabiliteEchelle.Ln(), reference), 1e-10L) << arriere;
        }
        EspaceTravail v = EspacePour(o);
        Decoder(p, v);
        EXPECT_TRUE(v.MisALEchelle);
        EXPECT_LE(v.ProbabiliteEchelle.Ln(), reference);
        EXPECT_EQ(v.CheminViterbi.longueur(), r.T + 1);
    }
}

// Chemins de Viterbi : identiques à ceux du calcul exact tant que son maximum reste normal.
TEST_F(Echelle_, CheminsDeViterbiIdentiquesAuCalculExact)
{
    const ReglageAleatoire reglages[] = {{"Petit", 3, 4, 300, 0.0, false, ""},
                                         {"Creux", 7, 5, 400, 0.4, false, ""},
                                         {"Moyen", 12, 6, 1500, 0.1, false, ""}};
    int compares = 0;
    for (const ReglageAleatoire &r : reglages)
        for (unsigned graine = 1; graine <= 4; ++graine) {
            std::vector<int> O;
            const ParametresModele p = ModeleAleatoire(r, graine, O);
            const std::vector<int> o(O.begin() + 1, O.end());
            EspaceTravail x = EspacePour(o), s = EspacePour(o);
            CalculerViterbi(p, x);
            if (x.Probabilite < LDBL_MIN)
                continue;
            ++compares;
            Echelle::Viterbi(p, s);
            int ecarts = 0;
            for (int t = 1; t <= r.T; ++t)
                ecarts += x.CheminViterbi[t] != s.CheminViterbi[t];
            EXPECT_EQ(ecarts, 0) << r.nom << " " << graine;
            EXPECT_EQ(x.Probabilite, s.ProbabiliteEchelle.VersEtendu());
            EXPECT_LE(EcartRelatif(std::log(x.Delta[r.T][1]), s.Delta[r.T][1]), 1e-12L);
        }
    EXPECT_GE(compares, 6);
}

// Sans tables demandées (ᾱ gardé par points, β̂ et δ sur deux lignes, ψ en octets) : mêmes
// paramètres réestimés, mêmes probabilités et même chemin, bit pour bit, qu'avec les tables.
TEST_F(Echelle_, SansTablesIdentiqueAuxTables)
{
    const ReglageAleatoire reglages[] = {{"Un", 3, 2, 1, 0.0, false, ""},
                                         {"Petit", 3, 4, 7, 0.0, false, ""},
                                         {"Creux", 7, 5, 400, 0.4, false, ""},
                                         {"Long", 5, 4, 9000, 0.1, false, ""},
                                         {"Plein", 12, 6, 3000, 0.0, false, ""},
                                         {"Chaine", 30, 31, 3000, 0.0, false, "chaine4"}};
    for (const ReglageAleatoire &r : reglages) {
        SCOPED_TRACE(r.nom);
        std::vector<int> O;
        ParametresModele p = ModeleAleatoire(r, 5, O);
        Stochastique(p);
        const std::vector<int> o(O.begin() + 1, O.end());
        ParametresModele appris[2] = {p, p};
        EspaceTravail e[2] = {EspacePour(o), EspacePour(o)};
        // P(O|λ) seule (lignes de travail) : les mêmes bits que le Forward qui garde ᾱ.
        for (int k = 0; k < 2; ++k) {
            e[k].GarderTables = k == 0;
            Evaluer(p, e[k], false, ModeCalcul::Echelle);
        }
        EXPECT_TRUE(Identiques(e[0].ProbabiliteEchelle.Ln(), e[1].ProbabiliteEchelle.Ln()));
        for (int k = 0; k < 2; ++k) {
            e[k].GarderTables = k == 0;
            e[k].NombreIterations = 3;
            e[k].Seuil = 2;
            Echelle::BouclerBaumWelch(appris[k], e[k]);
        }
        EXPECT_EQ(e[0].IterationsEffectuees, e[1].IterationsEffectuees);
        EXPECT_TRUE(Identiques(e[0].ProbabiliteEchelle.Ln(), e[1].ProbabiliteEchelle.Ln()));
        int ecarts = 0;
        for (int i = 1; i <= p.N; ++i) {
            ecarts += !Identiques(appris[0].PI[i], appris[1].PI[i]);
            for (int j = 1; j <= p.N; ++j)
                ecarts += !Identiques(appris[0].A[i][j], appris[1].A[i][j]);
            for (int k = 1; k <= p.M; ++k)
                ecarts += !Identiques(appris[0].B[i][k], appris[1].B[i][k]);
        }
        EXPECT_EQ(ecarts, 0);
        for (int k = 0; k < 2; ++k) {
            e[k] = EspacePour(o);
            e[k].GarderTables = k == 0;
            Echelle::Viterbi(p, e[k]);
        }
        EXPECT_TRUE(Identiques(e[0].ProbabiliteEchelle.Ln(), e[1].ProbabiliteEchelle.Ln()));
        for (int t = 1; t <= r.T; ++t)
            ecarts += e[0].CheminViterbi[t] != e[1].CheminViterbi[t];
        EXPECT_EQ(ecarts, 0);
    }
}

// Le calcul exact reste celui du programme quand il suffit ; une séquence impossible reste 0 et
// est dite impossible ; une probabilité hors de l'étendu s'écrit en mantisse et exposant.
TEST_F(Echelle_, DecisionEtTextes)
{
    const ParametresModele p = ModeleE1E2();
    EspaceTravail e = EspacePour({1, 2});
    Evaluer(p, e, false);
    EXPECT_FALSE(e.MisALEchelle);
    EXPECT_EQ(TexteProbabilite(e), Nombres::Formater(0.1915L));
    EXPECT_EQ(NomMethode("Forward", e), "Forward");
    EXPECT_TRUE(ExplicationZero(p, e).isEmpty());

    ParametresModele q = p;
    q.B[1][2] = 0;
    q.B[2][2] = 0; // b jamais généré
    EspaceTravail z = EspacePour({1, 2});
    Evaluer(q, z, false);
    EXPECT_EQ(z.Probabilite, 0);
    EXPECT_FALSE(z.MisALEchelle);
    EXPECT_TRUE(ExplicationZero(q, z).contains("impossible"));
    EXPECT_THROW(Decoder(q, z), ERefusCalcul);

    std::vector<int> alterne(20000);
    for (std::size_t t = 0; t < alterne.size(); ++t)
        alterne[t] = 1 + int(t % 2);
    EspaceTravail l = EspacePour(alterne);
    CalculerForward(p, l);
    ASSERT_EQ(l.Probabilite, 0);
    EXPECT_TRUE(ExplicationZero(p, l).contains("trop petite pour être représentée"));
    Evaluer(p, l, false);
    EXPECT_TRUE(l.MisALEchelle);
    EXPECT_EQ(NomMethode("Forward", l), "Forward (mis à l'échelle)");

    Nombres::DefinirSeparateur(QLatin1Char(','));
    const struct {
        GrandeProbabilite g;
        const char *texte;
    } textes[] = {{GrandeProbabilite::DeLogarithme(std::log(9.23L) - 6237 * std::log(10.0L)), "9,23E-6237"},
                  {GrandeProbabilite::DeLogarithme(-100000 * std::log(10.0L)), "1E-100000"},
                  {GrandeProbabilite::De(0.25L), "0,25"},
                  {GrandeProbabilite(), "0"}};
    // Six chiffres : les valeurs construites ici par exp(ln) ne sont justes qu'à 1e-15 près.
    for (const auto &t : textes)
        EXPECT_EQ(t.g.Texte(6), QString::fromUtf8(t.texte));
    EXPECT_NEAR(double(textes[0].g.Log10() + 6236), double(std::log10(9.23L) - 1), 1e-12);
    Nombres::SeparateurSysteme();
}
