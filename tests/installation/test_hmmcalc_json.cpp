// hmmcalc --format json : un seul objet JSON par exécution, lisible quelle que soit la langue.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct CasJson {
    const char *nom;
    QStringList arguments; // "@e1e2" désigne l'exemple
    int code;
    std::function<void(const QJsonObject &)> verifier;
};

QJsonValue Chemin(const QJsonObject &o, const QString &chemin)
{
    QJsonValue v = o;
    for (const QString &c : chemin.split(QLatin1Char('.'))) {
        bool indice = false;
        const int i = c.toInt(&indice);
        v = indice ? v.toArray().at(i) : v.toObject().value(c);
    }
    return v;
}

// Une probabilité : le nombre et son texte exact, au point décimal.
void Probabilite(const QJsonObject &o, const QString &chemin, const char *texte)
{
    const QJsonValue p = Chemin(o, chemin);
    EXPECT_EQ(p[QStringLiteral("texte")].toString(), QLatin1String(texte)) << qPrintable(chemin);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("valeur")].toDouble(), QByteArray(texte).toDouble()) << qPrintable(chemin);
}

void PrintTo(const CasJson &c, std::ostream *os)
{
    *os << c.nom;
}

class SortieJson : public ::testing::TestWithParam<CasJson> {};

}

TEST_P(SortieJson, UnObjetParExecution)
{
    const CasJson &c = GetParam();
    QStringList args;
    for (const QString &a : c.arguments)
        args << (a == QLatin1String("@e1e2") ? QStringLiteral(HMM_EXEMPLES "/e1e2.hmm") : a);
    args << QStringLiteral("--format") << QStringLiteral("json");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("fr_FR.UTF-8")); // virgule décimale dans le texte
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(HMMCALC), args);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), c.code);
    const QByteArray sortie = p.readAllStandardOutput();
    EXPECT_EQ(sortie.count('\n'), 1) << sortie.constData();
    QJsonParseError e;
    const QJsonDocument d = QJsonDocument::fromJson(sortie, &e);
    ASSERT_EQ(e.error, QJsonParseError::NoError) << sortie.constData();
    ASSERT_TRUE(d.isObject());
    c.verifier(d.object());
}

INSTANTIATE_TEST_SUITE_P(
    Commandes, SortieJson,
    ::testing::Values(
        CasJson{"Forward", {"forward", "@e1e2", "ab"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_EQ(o["commande"].toString(), "forward");
                    EXPECT_EQ(o["sequence"].toString(), "ab");
                    Probabilite(o, "probabilite", "0.1915");
                }},
        CasJson{"Direct", {"direct", "@e1e2", "ab"}, 0, [](const QJsonObject &o) { Probabilite(o, "probabilite", "0.1915"); }},
        CasJson{"Viterbi", {"viterbi", "@e1e2", "ab"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_EQ(o["chemin"].toArray(), QJsonArray({"Start", "E1", "E2"}));
                    Probabilite(o, "probabilite", "0.108");
                }},
        CasJson{"Chemins", {"chemins", "@e1e2", "ab"}, 0,
                [](const QJsonObject &o) {
                    const QJsonArray c = o["chemins"].toArray();
                    ASSERT_EQ(c.size(), 4);
                    int meilleurs = 0;
                    for (const QJsonValue &l : c)
                        if (l["meilleur"].toBool()) {
                            ++meilleurs;
                            EXPECT_EQ(l["chemin"].toArray(), QJsonArray({"Start", "E1", "E2"}));
                        }
                    EXPECT_EQ(meilleurs, 1);
                    Probabilite(o, "chemins.0.probabilite", "0.0315");
                }},
        CasJson{"Parametres", {"parametres", "@e1e2"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_EQ(Chemin(o, "parametres.etats").toArray(), QJsonArray({"E1", "E2"}));
                    EXPECT_EQ(Chemin(o, "parametres.symboles").toArray(), QJsonArray({"a", "b"}));
                    Probabilite(o, "parametres.pi.1", "0.5");
                    Probabilite(o, "parametres.A.0.1", "0.3");
                    Probabilite(o, "parametres.B.1.0", "0.2");
                }},
        CasJson{"Verification", {"verifier", "@e1e2"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_TRUE(Chemin(o, "verification.correct").toBool());
                    EXPECT_EQ(Chemin(o, "verification.erreurs").toArray(), QJsonArray());
                }},
        CasJson{"BaumWelch", {"baumwelch", "@e1e2", "abba", "--iterations", "2"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_EQ(o["iterations"].toInt(), 2);
                    EXPECT_EQ(o["issue"].toString(), "termine");
                    Probabilite(o, "avant", "0.04605225");
                    EXPECT_EQ(Chemin(o, "parametres.A").toArray().size(), 2);
                    EXPECT_EQ(Chemin(o, "apres.texte").toString().size(), 19); // 0. et 17 chiffres
                }},
        // Les tableaux par séquence sont écrits élément par élément, chacun à la place de sa clé.
        CasJson{"PlusieursSequences", {"baumwelch", "@e1e2", "ab", "abb", "ba", "--iterations", "1"}, 0,
                [](const QJsonObject &o) {
                    EXPECT_EQ(o["sequences"].toArray(), QJsonArray({"ab", "abb", "ba"}));
                    Probabilite(o, "avant_sequences.0", "0.1915");
                    Probabilite(o, "avant_sequences.2", "0.2265");
                    Probabilite(o, "avant", "0.00399589884375");
                    EXPECT_EQ(o["apres_sequences"].toArray().size(), 3);
                    EXPECT_EQ(o["iterations"].toInt(), 1);
                }},
        CasJson{"EntrainementViterbi", {"entrainement-viterbi", "@e1e2", "abba"}, 0,
                [](const QJsonObject &o) { EXPECT_EQ(Chemin(o, "parametres.etats").toArray().size(), 2); }},
        CasJson{"Erreur", {"forward", "absent.hmm", "ab"}, 2,
                [](const QJsonObject &o) {
                    EXPECT_EQ(o["code"].toInt(), 2);
                    EXPECT_TRUE(o["erreur"].toString().contains("absent.hmm"));
                }}),
    [](const ::testing::TestParamInfo<CasJson> &i) { return std::string(i.param.nom); });
