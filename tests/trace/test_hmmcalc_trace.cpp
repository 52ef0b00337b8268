// hmmcalc --trace : la trace d'un calcul en ligne de commande, avec son image à côté.
#include "outils_trace.h"
#include "model/textes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

namespace {
struct Sortie {
    int code;
    QString sortie, erreurs;
};
Sortie Lancer(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(HMMCALC), arguments);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}
QString Lire(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? Textes::Decoder(f.readAll()) : QString();
}
const QString Modele = QStringLiteral(HMM_EXEMPLES "/e1e2.hmm");
}

class HmmcalcTrace : public TestTrace {};

TEST_F(HmmcalcTrace, EvaluationsEtEntrainements)
{
    const struct {
        QStringList arguments;
        const char *attendu;
    } cas[] = {
        {{"forward", Modele, "ab"}, "&#945;<sub>2</sub>(E1)+&#945;<sub>2</sub>(E2)"},
        {{"backward", Modele, "ab"}, "0.5 × 0.31 × 0.9+0.5 × 0.52 × 0.2"},
        {{"viterbi", Modele, "ab"}, "=&nbsp;<b>START</b> - <b>E1</b> - <b>E2</b>"},
        {{"direct", Modele, "ab"}, "<li>C<sub>4</sub>={E2, E2}</li>"},
        {{"baumwelch", Modele, "ab", "--iterations", "1"}, "<b>L'itération Numéro 1 :</b>"},
        {{"baumwelch", Modele, "ab", "--seuil", "0.1"}, "P(O|H)&#8805;0.1. <br>"},
        {{"entrainement-viterbi", Modele, "ab"}, "C<sub>viterbi</sub> =&nbsp;<b>START</b> - <b>E1</b>"},
    };
    int n = 0;
    for (const auto &c : cas) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const QString page = Chemin(QStringLiteral("sorties/trace %1.htm").arg(++n));
        QDir().mkpath(Chemin("sorties"));
        const Sortie s = Lancer(c.arguments + QStringList{"--trace", page});
        ASSERT_EQ(s.code, 0) << s.erreurs.toStdString();
        const QString t = Lire(page);
        EXPECT_TRUE(t.contains(QString::fromUtf8(c.attendu)));
        EXPECT_TRUE(t.contains("charset=windows-1252"));
        EXPECT_FALSE(t.contains("!!"));
        EXPECT_FALSE(t.contains("???"));
        EXPECT_TRUE(t.contains(QStringLiteral("<img src=\"trace%20%1_fichiers/Hmm.bmp\"></img>").arg(n)));
        const QImage image(Chemin(QStringLiteral("sorties/trace %1_fichiers/Hmm.bmp").arg(n)));
        EXPECT_EQ(image.size(), QSize(500, 400));
    }
    // Rien d'autre n'est écrit à côté.
    EXPECT_EQ(QDir(Chemin("sorties")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2 * n);
}

TEST_F(HmmcalcTrace, UsageEtEchecs)
{
    Sortie s = Lancer({"chemins", Modele, "ab", "--trace", Chemin("x.htm")});
    EXPECT_EQ(s.code, 2);
    EXPECT_TRUE(s.erreurs.contains("--trace"));
    s = Lancer({"forward", Modele, "ab", "--trace", Chemin("absent/x.htm")});
    EXPECT_EQ(s.code, 2);
    EXPECT_TRUE(s.erreurs.contains("x.htm"));
    EXPECT_TRUE(Lancer({"--help"}).sortie.contains("--trace FICHIER.htm"));
}
