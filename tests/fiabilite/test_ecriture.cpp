// Écritures sur un disque plein ou au-delà de la taille permise : l'échec est dit en français,
// l'ancien fichier reste identique octet pour octet et aucun fichier temporaire ne traîne.
#include "outils_fiabilite.h"
#include "outils_test.h"
#include "editor/principale.h"
#include "algorithms/sequence.h"
#include "model/document.h"
#include "model/reglages.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr rlim_t LimiteOctets = 64;

// Limite de taille des fichiers du processus ; SIGXFSZ ignoré : write rend alors EFBIG.
void limiterTaille()
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = LimiteOctets;
    setrlimit(RLIMIT_FSIZE, &r);
}

// La même limite dans le processus des tests, le temps d'une écriture (rétablie ensuite : la
// limite souple remonte sans privilège jusqu'à la limite dure).
class LimiteTemporaire {
public:
    LimiteTemporaire()
    {
        getrlimit(RLIMIT_FSIZE, &avant);
        signalAvant = std::signal(SIGXFSZ, SIG_IGN);
        limiterTaille();
    }
    ~LimiteTemporaire()
    {
        setrlimit(RLIMIT_FSIZE, &avant);
        std::signal(SIGXFSZ, signalAvant);
    }

private:
    rlimit avant{};
    void (*signalAvant)(int) = SIG_DFL;
};

enum class Panne { TailleLimitee, DisquePlein };
enum class Voie { Fonction, Enregistrer, Hmmcalc, Treillis };

struct CasPanne {
    const char *nom;
    Panne panne;
    Voie voie;
    const char *cause;
};

class PanneEcriture : public TestAvecRepertoire, public ::testing::WithParamInterface<CasPanne> {
protected:
    void TearDown() override
    {
        if (!monte.isEmpty())
            umount2(QFile::encodeName(monte).constData(), MNT_DETACH);
        Messages::DefinirRepondeur({});
        TestAvecRepertoire::TearDown();
    }
    QString monte;
};

// Remplit le disque jusqu'au dernier octet.
void remplir(const QString &chemin)
{
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const QByteArray bloc(512, 'x');
    while (::write(fd, bloc.constData(), std::size_t(bloc.size())) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    ::close(fd);
}

}

TEST_P(PanneEcriture, RienNEstPerdu)
{
    const CasPanne &c = GetParam();
    QString dossierModele = dossier->path();
    if (c.panne == Panne::DisquePlein) {
        dossierModele = Chemin(QStringLiteral("plein"));
        ASSERT_TRUE(QDir().mkpath(dossierModele));
        if (geteuid() != 0 ||
            mount("tmpfs", QFile::encodeName(dossierModele).constData(), "tmpfs", 0, "size=16k") != 0)
            GTEST_SKIP() << "montage d'un tmpfs impossible (il faut être root)";
        monte = dossierModele;
    }
    const QString nom = c.voie == Voie::Treillis ? QStringLiteral("m.svg") : QStringLiteral("m.hmm");
    const QString m = dossierModele + QLatin1Char('/') + nom;
    const QByteArray avant = Octets(Exemple("e1e2.hmm"));
    ASSERT_TRUE(Textes::EcrireOctets(m, avant));
    if (c.panne == Panne::DisquePlein)
        remplir(dossierModele + QStringLiteral("/remplissage"));

    QString message;
    switch (c.voie) {
    case Voie::Fonction: {
        LimiteTemporaire limite;
        EXPECT_FALSE(Textes::EcrireOctets(m, QByteArray(20000, 'x'), &message));
        break;
    }
    case Voie::Enregistrer: {
        Presentation::DefinirAnimations(false);
        Messages::DefinirRepondeur([&](const Messages::Message &mes) {
            message += mes.Texte;
            return Messages::Reponse::Ok;
        });
        TForm1 f(m);
        f.PremiereActivation();
        ASSERT_EQ(Parties(f).Document->NomFichier(), m);
        Parties(f).Document->ChangerMotDePasse(Parties(f).Document->MotDePasse()); // modifié, contenu inchangé
        {
            std::unique_ptr<LimiteTemporaire> limite;
            if (c.panne == Panne::TailleLimitee)
                limite = std::make_unique<LimiteTemporaire>();
            EXPECT_FALSE(f.Enregistrer1Click());
        }
        EXPECT_TRUE(Parties(f).Document->EstModifie());
        break;
    }
    case Voie::Hmmcalc: {
        const Issue r = LancerHmmcalc({"baumwelch", m, "ab", "--iterations", "1", "--sortie", m}, {},
                                      c.panne == Panne::TailleLimitee ? std::function<void()>(limiterTaille)
                                                                                : std::function<void()>());
        EXPECT_EQ(r.code, 2) << qPrintable(r.erreurs);
        message = r.erreurs;
        break;
    }
    case Voie::Treillis: {
        const Issue r = LancerHmmcalc({"treillis", Exemple("e1e2.hmm"), "abba", "--valeurs", "alpha", "--image", m}, {},
                                      c.panne == Panne::TailleLimitee ? std::function<void()>(limiterTaille)
                                                                                : std::function<void()>());
        EXPECT_NE(r.code, 0) << qPrintable(r.erreurs);
        message = r.erreurs;
        break;
    }
    }
    EXPECT_TRUE(message.contains(QString::fromUtf8(c.cause))) << qPrintable(message);
    EXPECT_TRUE(message.contains(nom)) << qPrintable(message);
    EXPECT_EQ(Octets(m), avant);
    QStringList temporaires = QDir(dossierModele).entryList(QDir::Files | QDir::Hidden);
    temporaires.removeAll(nom);
    temporaires.removeAll(QStringLiteral("remplissage"));
    EXPECT_TRUE(temporaires.isEmpty()) << qPrintable(temporaires.join(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Cas, PanneEcriture,
    ::testing::Values(
        CasPanne{"FonctionTailleLimitee", Panne::TailleLimitee, Voie::Fonction, "dépasse la taille permise"},
        CasPanne{"EnregistrerTailleLimitee", Panne::TailleLimitee, Voie::Enregistrer, "dépasse la taille permise"},
        CasPanne{"HmmcalcTailleLimitee", Panne::TailleLimitee, Voie::Hmmcalc, "dépasse la taille permise"},
        CasPanne{"FonctionDisquePlein", Panne::DisquePlein, Voie::Fonction, "plus de place sur le disque"},
        CasPanne{"EnregistrerDisquePlein", Panne::DisquePlein, Voie::Enregistrer, "plus de place sur le disque"},
        CasPanne{"HmmcalcDisquePlein", Panne::DisquePlein, Voie::Hmmcalc, "plus de place sur le disque"},
        CasPanne{"TreillisTailleLimitee", Panne::TailleLimitee, Voie::Treillis, "dépasse la taille permise"},
        CasPanne{"TreillisDisquePlein", Panne::DisquePlein, Voie::Treillis, "plus de place sur le disque"}),
    [](const ::testing::TestParamInfo<CasPanne> &i) { return std::string(i.param.nom); });

// La cible d'une écriture : ce qui n'est pas un fichier ordinaire n'est jamais remplacé ; un
// lien symbolique est suivi jusqu'à sa cible, qui est écrite, et reste un lien.
TEST_F(TestAvecRepertoire, EcritureSelonLaCible)
{
    const QString fifo = Chemin(QStringLiteral("tube")), sousDossier = Chemin(QStringLiteral("dossier"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(sousDossier));
    const QString cible = Chemin(QStringLiteral("cible.hmm")), lien = Chemin(QStringLiteral("lien.hmm")),
                  lien2 = Chemin(QStringLiteral("lien2.hmm")), pendant = Chemin(QStringLiteral("pendant.hmm"));
    ASSERT_TRUE(Textes::EcrireOctets(cible, "ancien"));
    ASSERT_TRUE(QFile::link(QStringLiteral("cible.hmm"), lien));
    ASSERT_TRUE(QFile::link(QStringLiteral("lien.hmm"), lien2));
    ASSERT_TRUE(QFile::link(QStringLiteral("neuf.hmm"), pendant));
    struct Cas {
        QString chemin, ecrit; // ecrit : le fichier qui doit recevoir le contenu, vide = refus
        const char *cause;
    };
    const Cas cas[] = {
        {QStringLiteral("/dev/full"), {}, "pas un fichier ordinaire"},
        {fifo, {}, "pas un fichier ordinaire"},
        {sousDossier, {}, "dossier"},
        {lien, cible, ""},
        {lien2, cible, ""},
        {pendant, Chemin(QStringLiteral("neuf.hmm")), ""},
    };
    for (const Cas &c : cas) {
        QString erreur;
        const bool ok = Textes::EcrireOctets(c.chemin, "nouveau", &erreur);
        EXPECT_EQ(ok, !c.ecrit.isEmpty()) << qPrintable(c.chemin + " : " + erreur);
        if (c.ecrit.isEmpty()) {
            EXPECT_TRUE(erreur.contains(QString::fromUtf8(c.cause))) << qPrintable(erreur);
            EXPECT_FALSE(QFileInfo(c.chemin).isFile()) << qPrintable(c.chemin);
        } else {
            EXPECT_EQ(Octets(c.ecrit), QByteArray("nouveau")) << qPrintable(c.chemin);
            EXPECT_TRUE(QFileInfo(c.chemin).isSymLink()) << qPrintable(c.chemin);
        }
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/full")).exists() && !QFileInfo(QStringLiteral("/dev/full")).isFile());
    EXPECT_EQ(QDir(dossier->path()).entryList(QStringList{QStringLiteral(".*.??????")}, QDir::Files | QDir::Hidden),
              QStringList());
}

// Deux instances qui ajoutent chacune 200 séquences à l'historique et 200 réglages en même temps :
// les 400 restent, et une séquence hors Windows-1252 ou une valeur de plusieurs lignes se relit
// telle quelle.
TEST_F(TestAvecRepertoire, HistoriquePartageEntreInstances)
{
    pid_t enfants[2];
    for (int k = 0; k < 2; ++k) {
        enfants[k] = ::fork();
        ASSERT_GE(enfants[k], 0);
        if (enfants[k] == 0) {
            bool ok = true;
            for (int i = 0; i < 200; ++i) {
                HistoriqueSequences h;
                h.Charger();
                ok &= h.Memoriser(QStringLiteral("ω%1-%2").arg(k).arg(i));
                ok &= Reglages::Ecrire(QStringLiteral("Essai%1/c%2").arg(k).arg(i), QStringLiteral("a\\b\nω%1").arg(i));
            }
            std::_Exit(ok ? 0 : 1);
        }
    }
    for (pid_t e : enfants) {
        int statut = 0;
        ASSERT_EQ(::waitpid(e, &statut, 0), e);
        EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0);
    }
    HistoriqueSequences h;
    h.Charger();
    EXPECT_EQ(h.Sequences().size(), 400);
    EXPECT_TRUE(h.Sequences().contains(QStringLiteral("ω1-199")));
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(Reglages::Lire(QStringLiteral("Essai%1/c%2").arg(k).arg(i)), QStringLiteral("a\\b\nω%1").arg(i));
    // Un rectangle des versions précédentes se relit ; un Fenetres.ini qui n'est pas un fichier
    // ordinaire n'est jamais remplacé.
    ASSERT_TRUE(Reglages::Ecrire(QStringLiteral("Fenetres/TForm2"), QStringLiteral("@Rect(10 20 300 200)")));
    EXPECT_EQ(Reglages::LireRectangle(QStringLiteral("Fenetres/TForm2")), QRect(10, 20, 300, 200));
    const QString ini = Repertoire::Fichier(QStringLiteral("Fenetres.ini"));
    ASSERT_TRUE(QFile::remove(ini) && QDir().mkpath(ini));
    QString erreur;
    EXPECT_FALSE(Reglages::EcrireRectangle(QStringLiteral("Fenetres/TForm2"), QRect(1, 2, 3, 4), &erreur));
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_TRUE(QFileInfo(ini).isDir());
}
