// hmmbench : atelier de modèles de Markov cachés.
#include "editor/principale.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QUELDAR 1.0"));
    // Les boîtes de Qt lui-même en français.
    QTranslator qtFr;
    if (qtFr.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFr);
    const QStringList args = app.arguments();
    TForm1 Form1(args.size() > 1 ? args.at(1) : QString());
    // Sans gestionnaire de fenêtres, "maximisé" n'a pas d'effet : on prend tout l'écran.
    if (QScreen *ecran = QGuiApplication::primaryScreen())
        Form1.setGeometry(ecran->availableGeometry());
    Form1.showMaximized();
    return app.exec();
}
