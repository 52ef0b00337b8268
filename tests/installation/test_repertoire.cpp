// Où le programme lit et écrit : ressources à côté de l'exécutable, fichiers de
// l'utilisateur dans ses dossiers, un dossier de session par processus.
#include "model/repertoire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

enum class Lieu { Configuration, Donnees, Session, Ressource };

struct CasFichier {
    const char *nom;
    Lieu lieu;
};

void PrintTo(const CasFichier &c, std::ostream *os)
{
    *os << c.nom;
}

QString Dossier(Lieu l)
{
    switch (l) {
    case Lieu::Configuration:
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/hmmbench");
    case Lieu::Donnees:
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/hmmbench");
    case Lieu::Session:
        return Repertoire::DossierSession();
    case Lieu::Ressource:
        return Repertoire::DossierRessources();
    }
    return {};
}

// Sans répertoire fixé, comme le programme ; la session est refaite à chaque test.
class Emplacements : public ::testing::TestWithParam<CasFichier> {
protected:
    void SetUp() override { Repertoire::Definir(QString()); }
    void TearDown() override { Repertoire::FermerSession(); }
};

}

TEST_P(Emplacements, ChaqueFichierASonDossier)
{
    const CasFichier &c = GetParam();
    const QString chemin = Repertoire::Fichier(QLatin1String(c.nom));
    EXPECT_EQ(chemin, Dossier(c.lieu) + QLatin1Char('/') + QLatin1String(c.nom));
    EXPECT_FALSE(chemin.startsWith(QCoreApplication::applicationDirPath() + QLatin1Char('/')) &&
                 c.lieu != Lieu::Ressource)
        << qPrintable(chemin);
    if (c.lieu == Lieu::Ressource) {
        EXPECT_TRUE(QFile::exists(chemin)) << qPrintable(chemin);
    } else {
        // Le dossier du fichier existe : l'écriture n'a pas à le créer.
        EXPECT_TRUE(QDir(QFileInfo(chemin).absolutePath()).exists()) << qPrintable(chemin);
    }
}

INSTANTIATE_TEST_SUITE_P(Fichiers, Emplacements,
                         ::testing::Values(CasFichier{"Options.ini", Lieu::Configuration},
                                           CasFichier{"FichiersRecent.txt", Lieu::Configuration},
                                           CasFichier{"Sequences.txt", Lieu::Donnees},
                                           CasFichier{"Chemin.txt", Lieu::Donnees},
                                           CasFichier{"EtatsCopies.tmp", Lieu::Session},
                                           CasFichier{"APP.txt", Lieu::Session},
                                           CasFichier{"Modeles/Trace.htm", Lieu::Session},
                                           CasFichier{"Modeles/A_directe_fichiers/Hmm.bmp", Lieu::Session},
                                           CasFichier{"Aide/index.htm", Lieu::Ressource}));

// Le dossier de session porte le numéro du processus ; ceux des processus disparus sont
// effacés à l'ouverture d'une session, ceux des processus vivants gardés ; le sien est
// effacé à la fermeture.
TEST(Session, OrphelinsEffacesVivantsGardes)
{
    Repertoire::Definir(QString());
    const QString session = Repertoire::DossierSession();
    ASSERT_TRUE(session.endsWith(QLatin1Char('/') + QString::number(QCoreApplication::applicationPid())));
    const QString parent = QFileInfo(session).absolutePath();
    const QString mort = parent + QStringLiteral("/999999999"), vivant = parent + QStringLiteral("/1");
    ASSERT_TRUE(QDir().mkpath(mort + QStringLiteral("/Modeles")));
    ASSERT_TRUE(QDir().mkpath(vivant));
    Repertoire::FermerSession();
    EXPECT_FALSE(QDir(session).exists());
    EXPECT_EQ(Repertoire::DossierSession(), session);
    EXPECT_FALSE(QDir(mort).exists());
    EXPECT_TRUE(QDir(vivant).exists());
    QDir(vivant).removeRecursively();
    Repertoire::FermerSession();
}

// Dossiers de l'utilisateur impossibles à créer (HOME est un fichier) : le programme le dit,
// une phrase par dossier, et le dossier de session (ailleurs) reste utilisable.
TEST(Session, DossiersInaccessiblesSignales)
{
    Repertoire::Definir(QString());
    const QByteArray home = qgetenv("HOME");
    QTemporaryDir t;
    QFile fichier(t.filePath(QStringLiteral("pas_un_dossier")));
    ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    qputenv("HOME", QFile::encodeName(fichier.fileName()));
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    const QStringList manques = Repertoire::Indisponibles();
    qputenv("HOME", home);
    ASSERT_EQ(manques.size(), 2) << qPrintable(manques.join('\n'));
    EXPECT_TRUE(manques[0].contains(QStringLiteral("options d'affichage")));
    EXPECT_TRUE(manques[1].contains(QStringLiteral("séquences")));
    EXPECT_TRUE(Repertoire::Indisponibles().isEmpty());
    Repertoire::FermerSession();
}
