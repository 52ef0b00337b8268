// hmmbench : atelier de modèles de Markov cachés.
#include "editor/principale.h"

#include <QApplication>
#include <QIcon>
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
    // Hors d'un bureau, Qt n'a pas de thème d'icônes : on prend Tango (icônes en couleur,
    // installé avec le programme) ; un thème du bureau reste prioritaire.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Tango"));
    else
        QIcon::setFallbackThemeName(QStringLiteral("Tango"));
    const QStringList args = app.arguments();
    TForm1 Form1(args.size() > 1 ? args.at(1) : QString());
    // Sans gestionnaire de fenêtres, "maximisé" n'a pas d'effet : on prend tout l'écran.
    if (QScreen *ecran = QGuiApplication::primaryScreen())
        Form1.setGeometry(ecran->availableGeometry());
    Form1.showMaximized();
    return app.exec();
}
