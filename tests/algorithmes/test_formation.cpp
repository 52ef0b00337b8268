// Entraînements sur plusieurs séquences : comparés à une réestimation à plusieurs séquences
// écrite ici sans rien partager avec le programme (boucles simples sur des tableaux plats) ;
// une seule séquence reste exactement le calcul d'une séquence.
#include "modeles_test.h"
#include "outils_test.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "model/document.h"

#include <QProcess>
#include <cmath>
#include <random>

namespace {

using LD = long double;

// λ à plat, indices à partir de 0 : A[i * N + j], B[i * M + k].
struct Lambda {
    int N = 0, M = 0;
    std::vector<LD> pi, A, B;
};

Lambda APlat(const ParametresModele &p)
{
    Lambda l;
    l.N = p.N;
    l.M = p.M;
    for (int i = 1; i <= p.N; ++i) {
        l.pi.push_back(p.PI[i]);
        for (int j = 1; j <= p.N; ++j)
            l.A.push_back(p.A[i][j]);
        for (int k = 1; k <= p.M; ++k)
            l.B.push_back(p.B[i][k]);
    }
    return l;
}

using Sequences = std::vector<std::vector<int>>; // symboles 0..M-1

// Baum-Welch à plusieurs séquences, tel qu'un manuel l'écrit.
void BaumWelchReference(Lambda &l, const Sequences &S, int iterations)
{
    const int N = l.N, M = l.M;
    for (int it = 0; it < iterations; ++it) {
        std::vector<LD> piS(N, 0), nA(N * N, 0), dA(N, 0), nB(N * M, 0), dB(N, 0);
        for (const std::vector<int> &O : S) {
            const int T = int(O.size());
            std::vector<LD> a(T * N), b(T * N);
            for (int i = 0; i < N; ++i)
                a[i] = l.pi[i] * l.B[i * M + O[0]];
            for (int t = 1; t < T; ++t)
                for (int j = 0; j < N; ++j) {
                    LD s = 0;
                    for (int i = 0; i < N; ++i)
                        s += a[(t - 1) * N + i] * l.A[i * N + j];
                    a[t * N + j] = s * l.B[j * M + O[t]];
                }
            LD P = 0;
            for (int i = 0; i < N; ++i)
                P += a[(T - 1) * N + i];
            for (int i = 0; i < N; ++i)
                b[(T - 1) * N + i] = 1;
            for (int t = T - 2; t >= 0; --t)
                for (int i = 0; i < N; ++i) {
                    LD s = 0;
                    for (int j = 0; j < N; ++j)
                        s += l.A[i * N + j] * l.B[j * M + O[t + 1]] * b[(t + 1) * N + j];
                    b[t * N + i] = s;
                }
            for (int t = 0; t < T; ++t)
                for (int i = 0; i < N; ++i) {
                    const LD g = a[t * N + i] * b[t * N + i] / P;
                    if (t == 0)
                        piS[i] += g;
                    if (t < T - 1) {
                        dA[i] += g;
                        for (int j = 0; j < N; ++j)
                            nA[i * N + j] += a[t * N + i] * l.A[i * N + j] * l.B[j * M + O[t + 1]] * b[(t + 1) * N + j] / P;
                    }
                    dB[i] += g;
                    nB[i * M + O[t]] += g;
                }
        }
        for (int i = 0; i < N; ++i) {
            l.pi[i] = piS[i] / LD(S.size());
            for (int j = 0; j < N && dA[i] != 0; ++j)
                l.A[i * N + j] = nA[i * N + j] / dA[i];
            for (int k = 0; k < M && dB[i] != 0; ++k)
                l.B[i * M + k] = nB[i * M + k] / dB[i];
        }
    }
}

// Entraînement de Viterbi à plusieurs séquences : une passe de comptage le long du meilleur
// chemin de chaque séquence (à égalité, le plus petit état).
void ViterbiReference(Lambda &l, const Sequences &S)
{
    const int N = l.N, M = l.M;
    std::vector<int> depart(N, 0), nT(N * N, 0), nD(N, 0), nG(N * M, 0), nE(N, 0);
    for (const std::vector<int> &O : S) {
        const int T = int(O.size());
        std::vector<LD> d(T * N);
        std::vector<int> psi(T * N, 0), q(T);
        for (int i = 0; i < N; ++i)
            d[i] = l.pi[i] * l.B[i * M + O[0]];
        for (int t = 1; t < T; ++t)
            for (int j = 0; j < N; ++j) {
                LD m = 0;
                int arg = 0;
                for (int i = 0; i < N; ++i)
                    if (d[(t - 1) * N + i] * l.A[i * N + j] > m) {
                        m = d[(t - 1) * N + i] * l.A[i * N + j];
                        arg = i;
                    }
                d[t * N + j] = m * l.B[j * M + O[t]];
                psi[t * N + j] = arg;
            }
        LD m = 0;
        q[T - 1] = 0;
        for (int i = 0; i < N; ++i)
            if (d[(T - 1) * N + i] > m) {
                m = d[(T - 1) * N + i];
                q[T - 1] = i;
            }
        for (int t = T - 2; t >= 0; --t)
            q[t] = psi[(t + 1) * N + q[t + 1]];
        ++depart[q[0]];
        for (int t = 0; t < T; ++t) {
            ++nE[q[t]];
            ++nG[q[t] * M + O[t]];
            if (t < T - 1) {
                ++nD[q[t]];
                ++nT[q[t] * N + q[t + 1]];
            }
        }
    }
    for (int i = 0; i < N; ++i) {
        l.pi[i] = LD(depart[i]) / LD(S.size());
        for (int j = 0; j < N && nD[i] != 0; ++j)
            l.A[i * N + j] = LD(nT[i * N + j]) / LD(nD[i]);
        for (int k = 0; k < M && nE[i] != 0; ++k)
            l.B[i * M + k] = LD(nG[i * M + k]) / LD(nE[i]);
    }
}

// Les séquences dans Formation, O_k[1..T_k] (symboles 1..M) ; la première aussi dans l'espace.
void Remplir(EspaceTravail &e, const Sequences &S)
{
    e.Formation.clear();
    for (std::size_t k = 0; k < S.size(); ++k)
        e.Formation.Ajouter(QString::number(k + 1));
    e.Formation.ViderObservations();
    for (const std::vector<int> &s : S) {
        std::vector<int> O;
        for (int o : s)
            O.push_back(o + 1);
        e.Formation.RangerObservations(O.data(), int(O.size()));
    }
    e.ChargerFormation(0);
}

// L'écart relatif le plus grand entre λ entraîné et la référence.
LD Ecart(const ParametresModele &p, const Lambda &r)
{
    const Lambda l = APlat(p);
    LD pire = 0;
    const auto comparer = [&](const std::vector<LD> &x, const std::vector<LD> &y) {
        for (std::size_t k = 0; k < x.size(); ++k)
            if (x[k] != y[k])
                pire = std::max(pire, std::fabs(x[k] - y[k]) / std::max(std::fabs(y[k]), LD(1e-300)));
    };
    comparer(l.pi, r.pi);
    comparer(l.A, r.A);
    comparer(l.B, r.B);
    return pire;
}

struct CasFormation {
    const char *nom;
    Entrainement type;
    int modele; // 0 : E1/E2 ; sinon graine d'un modèle aléatoire plein à 3 états et 4 symboles
    int iterations;
    bool echelle;
};

class Formation : public ::testing::TestWithParam<CasFormation> {};

}

TEST_P(Formation, AccordAvecUneReestimationIndependante)
{
    const CasFormation &c = GetParam();
    ParametresModele p;
    Sequences S;
    if (c.modele == 0) {
        p = ModeleE1E2();
        S = {{0, 1, 1, 0}, {1, 1, 1, 0, 1}, {0, 0, 1}};
    } else {
        std::vector<int> inutile;
        p = ModeleAleatoire({"plein", 3, 4, 5, 0.0, false, ""}, unsigned(c.modele), inutile);
        std::mt19937 g(unsigned(c.modele));
        for (int T : {7, 12, 4}) {
            S.emplace_back();
            for (int t = 0; t < T; ++t)
                S.back().push_back(int(g() % 4));
        }
    }
    Lambda r = APlat(p);
    if (c.type == Entrainement::BaumWelch)
        BaumWelchReference(r, S, c.iterations);
    else
        ViterbiReference(r, S);

    EspaceTravail e;
    Remplir(e, S);
    e.NombreIterations = c.iterations;
    e.Seuil = 2;
    BouclerFormation(c.type, p, e, nullptr, c.echelle);
    const LD ecart = Ecart(p, r);
    RecordProperty("ecart_relatif", QString::number(double(ecart), 'g', 3).toStdString());
    EXPECT_LE(ecart, 1e-12L) << "itérations faites : " << e.IterationsEffectuees;
    if (c.type == Entrainement::BaumWelch) {
        EXPECT_EQ(e.IterationsEffectuees, c.iterations);
    }
    // Le produit suivi est celui des P(O_k|λ) du modèle entraîné.
    LD produit = 1;
    for (std::size_t k = 0; k < e.Formation.size(); ++k)
        produit *= e.Formation.Probabilite(k);
    EXPECT_NEAR(double(e.Probabilite / produit), 1.0, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Formation,
    ::testing::Values(CasFormation{"BaumWelchE1E2_1", Entrainement::BaumWelch, 0, 1, false},
                      CasFormation{"BaumWelchE1E2_10", Entrainement::BaumWelch, 0, 10, false},
                      CasFormation{"BaumWelchAleatoire_1", Entrainement::BaumWelch, 7, 1, false},
                      CasFormation{"BaumWelchAleatoire_10", Entrainement::BaumWelch, 7, 10, false},
                      CasFormation{"BaumWelchE1E2_10_Echelle", Entrainement::BaumWelch, 0, 10, true},
                      CasFormation{"BaumWelchAleatoire_10_Echelle", Entrainement::BaumWelch, 7, 10, true},
                      CasFormation{"ViterbiE1E2", Entrainement::Viterbi, 0, 1, false},
                      CasFormation{"ViterbiAleatoire", Entrainement::Viterbi, 11, 1, false},
                      CasFormation{"ViterbiAleatoire_Echelle", Entrainement::Viterbi, 11, 1, true}),
    [](const ::testing::TestParamInfo<CasFormation> &i) { return std::string(i.param.nom); });

// Rangement à plat : symboles et chemins relus tels quels (largeur élargie en cours de route,
// débuts pris des textes puis propres), P(O_k|λ) relue à l'identique.
struct CasRangement {
    const char *nom;
    std::vector<std::vector<int>> O; // O_k[1..T_k]
    std::vector<int> ecarts;         // longueur du texte k moins T_k
};

class Rangement : public ::testing::TestWithParam<CasRangement> {};

TEST_P(Rangement, RelectureIdentique)
{
    const CasRangement &c = GetParam();
    SequencesFormation f;
    for (std::size_t k = 0; k < c.O.size(); ++k)
        f.Ajouter(QString(qsizetype(c.O[k].size()) + c.ecarts[k], QLatin1Char('x')));
    f.ViderObservations();
    for (const std::vector<int> &O : c.O)
        f.RangerObservations(O.data(), int(O.size()));
    VecteurVerifie<int> Q(1), lu;
    for (std::size_t k = 0; k < c.O.size(); ++k) {
        Q.resize(1);
        for (int o : c.O[k]) {
            Q.resize(Q.size() + 1);
            Q[Q.longueur() - 1] = o + 1;
        }
        f.RangerChemin(k, Q);
        GrandeProbabilite g;
        g.Mantisse = k == 0 ? 0 : std::nextafter(1.0L, 0.0L) - LD(k) / 8;
        g.Exposant = -1000000LL * (long long)k;
        f.DefinirProbabilite(k, g);
    }
    for (std::size_t k = 0; k < c.O.size(); ++k) {
        f.ChargerObservations(k, lu);
        ASSERT_EQ(f.Longueur(k), int(c.O[k].size()));
        EXPECT_EQ(lu[0], 0);
        for (int t = 1; t <= f.Longueur(k); ++t)
            EXPECT_EQ(lu[t], c.O[k][std::size_t(t - 1)]) << k << " " << t;
        f.ChargerChemin(k, lu);
        for (int t = 1; t <= f.Longueur(k); ++t)
            EXPECT_EQ(lu[t], c.O[k][std::size_t(t - 1)] + 1) << k << " " << t;
        const GrandeProbabilite g = f.ProbabiliteEchelle(k);
        EXPECT_EQ(g.Mantisse, k == 0 ? 0 : std::nextafter(1.0L, 0.0L) - LD(k) / 8);
        EXPECT_EQ(g.Exposant, -1000000LL * (long long)k);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cas, Rangement,
    ::testing::Values(CasRangement{"ParCaractere", {{1, 2, 1}, {2}, {1, 1, 2, 2, 1}}, {0, 0, 0}},
                      CasRangement{"ParMot", {{1, 2, 1}, {2}, {1, 1, 2, 2, 1}}, {2, 1, -3}},
                      CasRangement{"PuisParMot", {{1, 2}, {2, 1}, {3}}, {0, 3, 0}},
                      CasRangement{"Elargis", {{1, 2}, {300, 0}, {70000, 254}, {-2, 5}}, {0, 0, 1, 0}}),
    [](const ::testing::TestParamInfo<CasRangement> &i) { return std::string(i.param.nom); });

// Une seule séquence donnée comme « plusieurs » : exactement l'entraînement d'une séquence.
TEST_F(TestAvecRepertoire, UneSeuleSequenceIdentiqueAuCalculDUneSequence)
{
    for (const Entrainement type : {Entrainement::BaumWelch, Entrainement::Viterbi}) {
        DocumentModele d1, d2;
        ConstruireE1E2(d1);
        ConstruireE1E2(d2);
        EspaceTravail e1, e2;
        e1.SequenceObservations = QStringLiteral("abbab");
        if (type == Entrainement::BaumWelch)
            EntrainerBaumWelch(d1, e1);
        else
            EntrainerViterbi(d1, e1);
        DefinirSequencesFormation(e2, {QStringLiteral(""), QStringLiteral(" abbab "), QStringLiteral("  ")});
        EXPECT_FALSE(e2.PlusieursSequences());
        Entrainer(type, d2, e2);
        const ParametresModele &p1 = d1.Parametres(), &p2 = d2.Parametres();
        for (int i = 1; i <= p1.N; ++i) {
            EXPECT_EQ(p1.PI[i], p2.PI[i]);
            for (int j = 1; j <= p1.N; ++j)
                EXPECT_EQ(p1.A[i][j], p2.A[i][j]);
            for (int k = 1; k <= p1.M; ++k)
                EXPECT_EQ(p1.B[i][k], p2.B[i][k]);
        }
        EXPECT_EQ(e1.Probabilite, e2.Probabilite);
        EXPECT_EQ(e1.JournalEntrainement, e2.JournalEntrainement);
    }
}

namespace {

struct Sortie {
    int code = -1;
    QString sortie, erreurs;
};

Sortie Hmmcalc(QStringList arguments, const QByteArray &entree)
{
    for (QString &a : arguments)
        if (a == QLatin1String("@e1e2"))
            a = QStringLiteral(HMM_EXEMPLES "/e1e2.hmm");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(HMMCALC), arguments);
    p.write(entree);
    p.closeWriteChannel();
    Sortie s;
    if (!p.waitForFinished(60000))
        return s;
    s.code = p.exitCode();
    s.sortie = QString::fromUtf8(p.readAllStandardOutput());
    s.erreurs = QString::fromUtf8(p.readAllStandardError());
    return s;
}

struct CasHmmcalc {
    const char *nom;
    QStringList arguments;
    QByteArray entree;
    int code;
    QString contient;        // dans la sortie ou les erreurs
    QStringList memeSortieQue; // une autre exécution (sans entrée) dont la sortie doit être identique
};

class FormationHmmcalc : public ::testing::TestWithParam<CasHmmcalc> {};

}

TEST_P(FormationHmmcalc, SequencesRepeteesEtEntreeStandard)
{
    const CasHmmcalc &c = GetParam();
    const Sortie s = Hmmcalc(c.arguments, c.entree);
    EXPECT_EQ(s.code, c.code) << qPrintable(s.sortie + s.erreurs);
    EXPECT_TRUE((s.sortie + s.erreurs).contains(c.contient)) << qPrintable(s.sortie + "|" + s.erreurs);
    if (!c.memeSortieQue.isEmpty()) {
        EXPECT_EQ(s.sortie, Hmmcalc(c.memeSortieQue, {}).sortie);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cas, FormationHmmcalc,
    ::testing::Values(
        CasHmmcalc{"Repetee", {"baumwelch", "@e1e2", "abba", "bbbab", "aab"}, {}, 0,
                   "Séquences : 3\nP(O_1|λ) avant : 0.04605225\n", {}},
        CasHmmcalc{"EntreeStandard", {"baumwelch", "@e1e2", "-"}, "abba\r\n\n  \nbbbab\naab\n", 0,
                   "P(O|λ) après (produit) : ", {"baumwelch", "@e1e2", "abba", "bbbab", "aab"}},
        CasHmmcalc{"MelangeArgumentsEtEntree", {"baumwelch", "@e1e2", "abba", "-", "--iterations", "3"}, "bbbab\naab", 0,
                   "Itérations : 3", {"baumwelch", "@e1e2", "abba", "bbbab", "aab", "--iterations", "3"}},
        CasHmmcalc{"UneLigneCommeAvant", {"baumwelch", "@e1e2", "-"}, "abba\n", 0, "P(O|λ) avant : 0.04605225\n",
                   {"baumwelch", "@e1e2", "abba"}},
        CasHmmcalc{"Viterbi", {"entrainement-viterbi", "@e1e2", "-", "--echelle"}, "abba\nbbbab\naab\n", 0,
                   "log10 P(O|λ) après (produit) : ", {"entrainement-viterbi", "@e1e2", "abba", "bbbab", "aab", "--echelle"}},
        CasHmmcalc{"SequenceImpossibleNommee", {"baumwelch", "@e1e2", "ab", "abc", "ba"}, {}, 1,
                   "Ce modèle ne génère pas la séquence d'observations n° 2 : abc", {}},
        CasHmmcalc{"DeuxFoisEntreeStandard", {"baumwelch", "@e1e2", "-", "-"}, "ab\n", 2, "ne se lit qu'une fois", {}}),
    [](const ::testing::TestParamInfo<CasHmmcalc> &i) { return std::string(i.param.nom); });
