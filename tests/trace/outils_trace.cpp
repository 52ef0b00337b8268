#include "outils_trace.h"
#include "model/textes.h"
#include "modeles_test.h"

#include <QDir>
#include <QFile>

void TestTrace::SetUp()
{
    TestAvecRepertoire::SetUp();
    const QDir source(QStringLiteral(HMM_MODELES_TRACE));
    ASSERT_TRUE(QDir().mkpath(Chemin("Modeles")));
    for (const QString &f : source.entryList({"*.htm"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(f), Chemin("Modeles/" + f)));
}

QByteArray TestTrace::Octets(const QString &nom) const
{
    QFile f(Chemin(nom));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString TestTrace::Texte(const QString &nom) const
{
    return Textes::Decoder(Octets(nom));
}

QStringList TestTrace::Morceaux(const QString &modele) const
{
    return Texte("Modeles/" + modele).split(QStringLiteral("!!"));
}

EspaceTravail EspaceAB()
{
    EspaceTravail e = EspacePour({1, 2});
    e.SequenceObservations = QStringLiteral("ab");
    return e;
}
