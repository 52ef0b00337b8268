#include "outils_test.h"
#include "graph/nombres.h"
#include "model/repertoire.h"

void TestAvecRepertoire::SetUp()
{
    dossier = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dossier->isValid());
    Repertoire::Definir(dossier->path());
    Nombres::DefinirSeparateur(QChar('.'));
}

void TestAvecRepertoire::TearDown()
{
    Repertoire::Definir(QString());
    dossier.reset();
}

QString TestAvecRepertoire::Chemin(const QString &nom) const
{
    return dossier->path() + QLatin1Char('/') + nom;
}

QString FichierDonnees(const QString &nom)
{
    return QStringLiteral(HMM_DONNEES_TEST) + QLatin1Char('/') + nom;
}
