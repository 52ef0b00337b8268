// Les huit cas de référence (tests/donnees/cas_reference.json) : α, β, δ, P, chemin de
// Viterbi et Baum-Welch comparés à 17 chiffres significatifs et au texte à 15 chiffres.
#include "modeles_test.h"
#include "outils_test.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/evaluation.h"
#include "graph/nombres.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using LD = long double;

QJsonArray Cas()
{
    QFile f(FichierDonnees("cas_reference.json"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).array();
}

QStringList Textes(const QJsonValue &v)
{
    QStringList l;
    for (const QJsonValue &x : v.toArray())
        l << x.toString();
    return l;
}

// Le texte de référence et le nôtre, tous deux ramenés au format général à `chiffres`
// chiffres : la comparaison porte sur les chiffres significatifs, pas sur l'écriture de
// l'exposant.
QString Attendu(const QJsonValue &v, int chiffres)
{
    return Nombres::Formater(Nombres::VersExtended(v.toString()), chiffres);
}

class CasReference : public TestAvecRepertoire, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        const QJsonArray tous = Cas();
        ASSERT_GT(tous.size(), GetParam());
        c = tous.at(GetParam()).toObject();
        x = c.value("expected").toObject();
        QList<QStringList> A, B;
        for (const QJsonValue &l : c.value("A").toArray())
            A << Textes(l);
        for (const QJsonValue &l : c.value("B").toArray())
            B << Textes(l);
        p = ParametresTextes(Textes(c.value("states")), Textes(c.value("symbols")), Textes(c.value("pi")), A, B);
        for (const QJsonValue &o : c.value("observation_index").toArray())
            O.push_back(o.toInt());
        e = EspacePour(O);
        T = int(O.size());
    }

    // Compare x à la valeur attendue `cle` (17 chiffres) et `cle_15` (texte à 15 chiffres).
    void Verifier(LD valeur, const QJsonValue &v17, const QJsonValue &v15, const QString &quoi)
    {
        EXPECT_EQ(Nombres::Formater(valeur, 17), Attendu(v17, 17)) << qPrintable(Id() + " " + quoi);
        EXPECT_EQ(Nombres::Formater(valeur), Attendu(v15, 15)) << qPrintable(Id() + " " + quoi);
    }
    void VerifierMatrice(const Matrice<LD> &m, const QString &cle)
    {
        const QJsonArray l17 = x.value(cle).toArray(), l15 = x.value(cle + "_15").toArray();
        ASSERT_EQ(l17.size(), T) << qPrintable(cle);
        for (int t = 1; t <= T; ++t)
            for (int i = 1; i <= p.N; ++i)
                Verifier(m(t, i), l17[t - 1].toArray()[i - 1], l15[t - 1].toArray()[i - 1],
                         QStringLiteral("%1[%2][%3]").arg(cle).arg(t).arg(i));
    }
    QString Id() const { return c.value("id").toString(); }

    QJsonObject c, x;
    ParametresModele p;
    std::vector<int> O;
    EspaceTravail e;
    int T = 0;
};

}

TEST_P(CasReference, Forward)
{
    CalculerForward(p, e);
    Verifier(e.Probabilite, x["forward_P"], x["forward_P_15"], "P forward");
    VerifierMatrice(e.Alpha, "alpha");
}

TEST_P(CasReference, Backward)
{
    CalculerBackward(p, e);
    Verifier(e.Probabilite, x["backward_P"], x["backward_P_15"], "P backward");
    VerifierMatrice(e.Beta, "beta");
}

TEST_P(CasReference, Viterbi)
{
    CalculerViterbi(p, e);
    Verifier(e.Probabilite, x["viterbi_P"], x["viterbi_P_15"], "P viterbi");
    VerifierMatrice(e.Delta, "delta");
    const QJsonArray chemin = x["viterbi_path_idx"].toArray();
    const QStringList noms = Textes(x["viterbi_path"]);
    ASSERT_EQ(chemin.size(), T);
    for (int t = 1; t <= T; ++t) {
        EXPECT_EQ(e.CheminViterbi[t], chemin[t - 1].toInt()) << qPrintable(Id()) << " t = " << t;
        EXPECT_EQ(p.NomEtat(e.CheminViterbi[t]), noms.value(t - 1));
    }
}

TEST_P(CasReference, BaumWelch)
{
    const int K = x["bw_iterations"].toInt();
    const QJsonArray avant = x["bw_P_before"].toArray(), avant15 = x["bw_P_before_15"].toArray();
    const QJsonArray apres = x["bw_P_after"].toArray(), apres15 = x["bw_P_after_15"].toArray();
    ASSERT_EQ(avant.size(), K);
    ParametresModele q = p;
    for (int k = 0; k < K; ++k) {
        CalculerForward(q, e);
        Verifier(e.Probabilite, avant[k], avant15[k], QStringLiteral("P avant l'itération %1").arg(k + 1));
        IterationBaumWelch(q, e);
        Verifier(e.Probabilite, apres[k], apres15[k], QStringLiteral("P après l'itération %1").arg(k + 1));
    }
    // La boucle complète (mode nombre d'itérations) aboutit aux mêmes paramètres, même quand
    // elle s'arrête plus tôt sur un point fixe.
    ParametresModele r = p;
    EspaceTravail e2 = EspacePour(O);
    e2.NombreIterations = K;
    e2.Seuil = 2;
    EXPECT_EQ(BouclerBaumWelch(r, e2), IssueEntrainement::Termine);
    for (const ParametresModele *m : {&q, &r}) {
        for (int i = 1; i <= p.N; ++i) {
            Verifier(m->PI[i], x["bw_pi"].toArray()[i - 1], x["bw_pi_15"].toArray()[i - 1],
                     QStringLiteral("pi[%1]").arg(i));
            for (int j = 1; j <= p.N; ++j)
                Verifier(m->A[i][j], x["bw_A"].toArray()[i - 1].toArray()[j - 1],
                         x["bw_A_15"].toArray()[i - 1].toArray()[j - 1], QStringLiteral("A[%1][%2]").arg(i).arg(j));
            for (int k = 1; k <= p.M; ++k)
                Verifier(m->B[i][k], x["bw_B"].toArray()[i - 1].toArray()[k - 1],
                         x["bw_B_15"].toArray()[i - 1].toArray()[k - 1], QStringLiteral("B[%1][%2]").arg(i).arg(k));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Donnees, CasReference, ::testing::Range(0, int(Cas().size())),
                         [](const auto &i) { return Cas().at(i.param).toObject().value("id").toString().toStdString(); });

TEST(CasReferenceFichier, HuitCasPresents)
{
    EXPECT_EQ(Cas().size(), 8);
}
