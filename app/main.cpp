// hmmbench : atelier de modèles de Markov cachés.
#include "editor/principale.h"
#include "model/repertoire.h"
#include "skin/accessibilite.h"
#include "skin/messages.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QScreen>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hmmbench 1.0"));
    // L'entrée de menu et l'icône installées (hmmbench.desktop, thème hicolor).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hmmbench.hmmbench"));
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
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("hmmbench")));
    // Chaque contrôle nommé pour les aides techniques, dès qu'il paraît.
    Accessibilite::Installer();
    const QStringList args = app.arguments();
    TForm1 Form1(args.size() > 1 ? args.at(1) : QString());
    Accessibilite::AjouterMnemoniques(Form1.menuBar());
    // Sans gestionnaire de fenêtres, "maximisé" n'a pas d'effet : on prend tout l'écran.
    if (QScreen *ecran = QGuiApplication::primaryScreen())
        Form1.setGeometry(ecran->availableGeometry());
    Form1.showMaximized();
    // Dossiers de l'utilisateur inaccessibles : le programme marche quand même, et le dit une fois.
    const QStringList manques = Repertoire::Indisponibles();
    if (!manques.isEmpty())
        Messages::Afficher(&Form1, Messages::TitreAvertissement, manques.join(QStringLiteral("\n\n")),
                           Messages::Icone::Avertissement, Messages::Boutons::Ok);
    // Le dossier de session est effacé à la destruction de l'application, après la fenêtre.
    return app.exec();
}
