#include "commun_fuzz.h"
#include "graph/nombres.h"
#include "model/repertoire.h"

#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {
// Jamais détruite : à la sortie, ~QGuiApplication passerait après les objets globaux de Qt.
QGuiApplication *application = nullptr;
std::unique_ptr<QTemporaryDir> dossier;
}

namespace Fuzz {

void Initialiser(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QString racine = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    dossier = std::make_unique<QTemporaryDir>(racine + QStringLiteral("/hmmfuzz-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", dossier->path().toLocal8Bit());
    application = new QGuiApplication(*argc, *argv);
    Repertoire::Definir(dossier->path());
    Nombres::DefinirSeparateur(QChar(','));
}

QString Dossier()
{
    return dossier->path();
}

void Echec(const QString &message)
{
    std::fprintf(stderr, "Invariant violé : %s\n", message.toLocal8Bit().constData());
    std::abort();
}

}
