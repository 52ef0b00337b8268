// Lectures bornées : ce qui n'est pas un fichier ordinaire, ou qui dépasse la borne du lecteur,
// est refusé sans être lu et sans bloquer ; hmmcalc lit une longue séquence sur son entrée
// standard, cite une séquence refusée sans la recopier entière, et efface son répertoire
// de travail quand on l'interrompt.
#include "outils_fiabilite.h"
#include "outils_test.h"
#include "algorithms/citation.h"
#include "algorithms/sequence.h"
#include "editor/pressepapiers.h"
#include "model/fichier.h"
#include "model/options.h"
#include "model/recents.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Genre { Dossier, Tube, Peripherique, Creux2Gio };
enum class Lecteur { Modele, Options, Recents, Historique, Hmmcalc, Import };

struct CasLecture {
    const char *nom;
    Lecteur lecteur;
    Genre genre;
    const char *cause;
};

class LectureBornee : public TestAvecRepertoire, public ::testing::WithParamInterface<CasLecture> {};

// Prépare à `chemin` un objet du genre demandé ; /dev/zero sert de périphérique.
QString preparer(const QString &chemin, Genre g)
{
    switch (g) {
    case Genre::Dossier:
        QDir().mkpath(chemin);
        return chemin;
    case Genre::Tube:
        mkfifo(QFile::encodeName(chemin).constData(), 0600);
        return chemin;
    case Genre::Peripherique:
        QFile::link(QStringLiteral("/dev/zero"), chemin);
        return chemin;
    case Genre::Creux2Gio:
        // Un fichier creux : 2 Gio annoncés, presque rien sur le disque.
        QFile f(chemin);
        if (f.open(QIODevice::WriteOnly))
            f.resize(2LL * 1024 * 1024 * 1024);
        return chemin;
    }
    return chemin;
}

}

TEST_P(LectureBornee, RefusEnFrancaisSansBloquer)
{
    const CasLecture &c = GetParam();
    QString erreur;
    bool refuse = false;
    switch (c.lecteur) {
    case Lecteur::Modele: {
        QStringList lignes;
        refuse = !FichierModele::LireFichier(preparer(Chemin("m.hmm"), c.genre), &lignes, &erreur);
        break;
    }
    case Lecteur::Options: {
        preparer(Repertoire::Fichier(QStringLiteral("Options.ini")), c.genre);
        OptionsAffichage defauts;
        defauts.Fleche = 7;
        refuse = Options::Lire(defauts, &erreur).Fleche == 7;
        break;
    }
    case Lecteur::Recents:
        preparer(Repertoire::Fichier(QStringLiteral("FichiersRecent.txt")), c.genre);
        refuse = Recents::Lire(&erreur).isEmpty();
        break;
    case Lecteur::Historique: {
        preparer(HistoriqueSequences::Chemin(), c.genre);
        HistoriqueSequences h;
        h.Charger(&erreur);
        refuse = h.Sequences().isEmpty();
        // Le fichier refusé n'est pas remplacé par la seule séquence suivante.
        EXPECT_FALSE(h.Memoriser(QStringLiteral("ab")));
        break;
    }
    case Lecteur::Hmmcalc: {
        const Issue r = LancerHmmcalc({"verifier", preparer(Chemin("m.hmm"), c.genre)});
        refuse = r.code == 2;
        erreur = r.erreurs;
        break;
    }
    case Lecteur::Import: {
        const Issue r = LancerHmmcalc({"importer", preparer(Chemin("m.json"), c.genre), Chemin("n.hmm")});
        refuse = r.code != 0 && !QFileInfo::exists(Chemin("n.hmm"));
        erreur = r.erreurs;
        break;
    }
    }
    EXPECT_TRUE(refuse);
    EXPECT_TRUE(erreur.contains(QString::fromUtf8(c.cause))) << qPrintable(erreur);
}

INSTANTIATE_TEST_SUITE_P(
    Cas, LectureBornee,
    ::testing::Values(CasLecture{"ModeleDossier", Lecteur::Modele, Genre::Dossier, "c'est un dossier"},
                      CasLecture{"ModeleTube", Lecteur::Modele, Genre::Tube, "pas un fichier ordinaire"},
                      CasLecture{"ModeleCreux", Lecteur::Modele, Genre::Creux2Gio, "au-delà de la limite"},
                      CasLecture{"OptionsTube", Lecteur::Options, Genre::Tube, "pas un fichier ordinaire"},
                      CasLecture{"OptionsCreux", Lecteur::Options, Genre::Creux2Gio, "au-delà de la limite"},
                      CasLecture{"RecentsDossier", Lecteur::Recents, Genre::Dossier, "c'est un dossier"},
                      CasLecture{"RecentsCreux", Lecteur::Recents, Genre::Creux2Gio, "au-delà de la limite"},
                      CasLecture{"HistoriqueTube", Lecteur::Historique, Genre::Tube, "pas un fichier ordinaire"},
                      CasLecture{"HistoriqueCreux", Lecteur::Historique, Genre::Creux2Gio, "au-delà de la limite"},
                      CasLecture{"HmmcalcZero", Lecteur::Hmmcalc, Genre::Peripherique, "pas un fichier ordinaire"},
                      CasLecture{"HmmcalcTube", Lecteur::Hmmcalc, Genre::Tube, "pas un fichier ordinaire"},
                      CasLecture{"HmmcalcDossier", Lecteur::Hmmcalc, Genre::Dossier, "c'est un dossier"},
                      CasLecture{"HmmcalcCreux", Lecteur::Hmmcalc, Genre::Creux2Gio, "au-delà de la limite"},
                      CasLecture{"ImportZero", Lecteur::Import, Genre::Peripherique, "pas un fichier ordinaire"},
                      CasLecture{"ImportTube", Lecteur::Import, Genre::Tube, "pas un fichier ordinaire"},
                      CasLecture{"ImportCreux", Lecteur::Import, Genre::Creux2Gio, "au-delà de la limite"}),
    [](const ::testing::TestParamInfo<CasLecture> &i) { return std::string(i.param.nom); });

// Positions, tailles et coordonnées hors des bornes : refusées à la lecture du modèle et du
// presse-papiers (elles déborderaient les rectangles à l'affichage).
TEST(BornesDesBoites, PositionsRefusees)
{
    const QString etat = QStringLiteral("Etat_1 1 %1 %2 70 110 a 1 ");
    const struct {
        QString ligneEtat, arcs;
    } cas[] = {
        {etat.arg(2147483647).arg(-2147483648LL), QStringLiteral("0 0 0 0 ")},
        {etat.arg(100001).arg(0), QStringLiteral("0 0 0 0 ")},
        {etat.arg(0).arg(-100001), QStringLiteral("0 0 0 0 ")},
        {etat.arg(10).arg(10), QStringLiteral("0 0 2147483647 0 ")},
    };
    for (const auto &c : cas) {
        const QStringList lignes = {"[MotDePasse]=Vide", "[Start]=0", "[Etats]=1", "[Dernier]=1", c.ligneEtat,
                                    "[Arcs]=1", c.arcs, "1 ", "0 0 ", "0 ", "1 1 ", "0 0 "};
        ContenuModele m;
        QString erreur;
        EXPECT_FALSE(FichierModele::Lire(lignes, &m, &erreur)) << qPrintable(c.ligneEtat + c.arcs);
        EXPECT_TRUE(erreur.contains(QStringLiteral("impossible"))) << qPrintable(erreur);
        QList<ContenuModele::Etat> etats;
        if (c.arcs.startsWith(QLatin1String("0 0 0 0"))) {
            EXPECT_FALSE(BlocCopie::Lire(QStringLiteral("[Etats_Copies]= 1\r\n") + c.ligneEtat, &etats, &erreur));
        }
    }
    QList<ContenuModele::Etat> etats;
    QString erreur;
    EXPECT_FALSE(BlocCopie::Lire(QStringLiteral("[Etats_Copies]= 0 ") + QString(BlocCopie::LimiteTexte, ' '), &etats, &erreur));
    EXPECT_TRUE(erreur.contains(QStringLiteral("au-delà de la limite"))) << qPrintable(erreur);
}

TEST(Citation, QuaranteSymbolesPuisLaLongueur)
{
    const struct {
        QString texte;
        bool parMot;
        QString attendu;
    } cas[] = {
        {QString(40, 'a'), false, QString(40, 'a')},
        {QString(5000, 'c'), false, QString(40, 'c') + QStringLiteral("… (5000 symboles)")},
        {QStringLiteral("x ").repeated(41), true, QStringLiteral("x ").repeated(39) + QStringLiteral("x… (41 symboles)")},
        {QStringLiteral("x ").repeated(40), true, QStringLiteral("x ").repeated(40)},
    };
    for (const auto &c : cas)
        EXPECT_EQ(CiterSequence(c.texte, c.parMot), c.attendu);
}

// La séquence « - » vient de l'entrée standard ; un refus la cite sans la recopier.
TEST(HmmcalcEntree, SequenceSurLEntreeStandard)
{
    QByteArray million(1000000, 'a');
    for (int i = 1; i < million.size(); i += 3)
        million[i] = 'b';
    const struct {
        QStringList arguments;
        QByteArray entree;
        int code;
        QString sortie, erreurs;
    } cas[] = {
        {{"forward", Exemple("e1e2.hmm"), "-"}, "ab\n", 0, "0.1915\n", ""},
        {{"forward", Exemple("e1e2.hmm"), "-"}, "a\r\nb\r\n", 0, "0.1915\n", ""},
        {{"forward", Exemple("e1e2.hmm"), "-", "--mot"}, "a\nb\n", 0, "0.1915\n", ""},
        {{"forward", Exemple("e1e2.hmm"), "-"}, million, 0, "", ""},
        {{"viterbi", Exemple("e1e2.hmm"), "-"}, QByteArray(5000, 'c'), 1, "",
         QString(40, 'c') + QStringLiteral("… (5000 symboles)")},
    };
    for (const auto &c : cas) {
        const Issue r = LancerHmmcalc(c.arguments, c.entree);
        EXPECT_EQ(r.code, c.code) << qPrintable(r.erreurs);
        if (!c.sortie.isEmpty()) {
            EXPECT_EQ(r.sortie, c.sortie);
        }
        EXPECT_TRUE(r.erreurs.contains(c.erreurs)) << qPrintable(r.erreurs);
        EXPECT_FALSE(r.erreurs.contains(QString(41, 'c')));
        // Un million de symboles : P(O|λ) mis à l'échelle, suivi de log10 P(O|λ).
        if (c.code == 0) {
            EXPECT_EQ(r.sortie.count(QLatin1Char('\n')), c.sortie.isEmpty() ? 2 : 1) << qPrintable(r.sortie.left(200));
        }
    }
}

// Interrompu pendant qu'il attend sa séquence, hmmcalc efface son répertoire de travail ; tué
// (SIGKILL), c'est le hmmcalc suivant qui l'efface.
TEST_F(TestAvecRepertoire, HmmcalcInterrompuEffaceSonRepertoire)
{
    for (int numero : {SIGINT, SIGTERM, SIGKILL}) {
        const QString tmp = Chemin(QStringLiteral("tmp%1").arg(numero));
        ASSERT_TRUE(QDir().mkpath(tmp));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.insert("TMPDIR", tmp);
        p.setProcessEnvironment(env);
        p.setChildProcessModifier([] {
            std::signal(SIGINT, SIG_DFL);
            std::signal(SIGTERM, SIG_DFL);
        });
        // Une trace : c'est elle qui prend un répertoire de travail (un entraînement enregistré
        // n'en a plus besoin).
        p.start(QStringLiteral(HMMCALC), {"forward", Exemple("e1e2.hmm"), "-", "--trace", Chemin("n.htm")});
        ASSERT_TRUE(p.waitForStarted());
        // Attend qu'il soit bloqué dans la lecture de l'entrée standard (appel système 0, fd 0).
        const QString appel = QStringLiteral("/proc/%1/syscall").arg(p.processId());
        bool bloque = false;
        for (int i = 0; i < 60000 && !bloque; ++i) {
            // Un hmmcalc qui s'arrête avant de lire (plantage) n'est pas attendu davantage.
            ASSERT_FALSE(p.waitForFinished(0)) << p.readAllStandardError().toStdString();
            QFile f(appel);
            if (!f.open(QIODevice::ReadOnly))
                GTEST_SKIP() << "/proc/PID/syscall illisible";
            bloque = f.readAll().startsWith("0 0x0 ");
            if (!bloque)
                QThread::msleep(5);
        }
        ASSERT_TRUE(bloque);
        EXPECT_EQ(QDir(tmp).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        ::kill(pid_t(p.processId()), numero);
        ASSERT_TRUE(p.waitForFinished());
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        if (numero == SIGKILL)
            // Le suivant qui prend un répertoire de travail (une trace) efface l'orphelin.
            EXPECT_EQ(LancerHmmcalc({"forward", Exemple("e1e2.hmm"), "ab", "--trace", Chemin("m.htm")}, {}, {}, tmp).code,
                      0);
        EXPECT_TRUE(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
            << qPrintable(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' '));
    }
}
