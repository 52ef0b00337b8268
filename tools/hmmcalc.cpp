// hmmcalc : les calculs du programme en ligne de commande, sans affichage.
// Codes de sortie : 0 succès, 1 modèle incorrect ou calcul refusé, 2 mauvais usage ou
// fichier illisible.
//
// Un seul programme, sans fenêtre ni contrôle : le modèle est la valeur lue du fichier. Les
// évaluations, Viterbi, les chemins et les entraînements (--sortie compris) ne chargent que
// Qt Core. Ce qui dessine ou mesure du texte (--trace, l'apprentissage : treillis, import...)
// est dans le module de dessin, chargé dans ce processus avec Qt Gui pour ces commandes seules.
#include "commandes.h"
#include "complements.h"
#include "model/textes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>
#include <dlfcn.h>
#include <unistd.h>

#ifndef HMM_BIN_VERS_LIB
#define HMM_BIN_VERS_LIB "../lib"
#endif

namespace {

using namespace Commandes;

// Le dossier de l'exécutable, lu avant toute application Qt.
QString dossierExecutable()
{
    char chemin[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", chemin, sizeof chemin - 1);
    if (n <= 0)
        return QDir::currentPath();
    return QFileInfo(QFile::decodeName(QByteArray(chemin, int(n)))).absolutePath();
}

// Le module : à côté de hmmcalc dans l'arbre de construction, sous lib/hmmbench une fois
// installé.
[[noreturn]] void dessiner(int argc, char **argv)
{
    const QString ici = dossierExecutable();
    const QString nom = QStringLiteral("libhmmcalc-dessin.so");
    QString chemin = ici + QLatin1Char('/') + nom;
    if (!QFileInfo::exists(chemin))
        chemin = QDir::cleanPath(ici + QStringLiteral("/" HMM_BIN_VERS_LIB "/hmmbench/") + nom);
    void *module = ::dlopen(QFile::encodeName(chemin).constData(), RTLD_NOW | RTLD_LOCAL);
    using Entree = void (*)(int, char **);
    Entree entree = module ? reinterpret_cast<Entree>(::dlsym(module, "hmmcalc_dessin")) : nullptr;
    if (!entree) {
        const char *cause = ::dlerror();
        Ecrire(stderr, QStringLiteral("Le module de dessin « %1 » ne peut pas être chargé : %2.")
                           .arg(chemin, cause ? QString::fromLocal8Bit(cause) : QStringLiteral("inconnu")));
        Terminer(Usage);
    }
    entree(argc, argv);
    Terminer(Usage); // l'entrée du module ne rend pas la main
}

int lancer(int argc, char **argv)
{
    // Les avertissements de Qt ne doivent pas se mêler aux messages.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Les arguments lus avant toute application : le module crée la sienne, avec Qt Gui.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    try {
        if (const std::optional<int> code = AideOuVersion(args))
            return *code;
        NoterFormat(args);
        const Lecture l = Lire(args);
        if (!l.erreur && (EstCommandeApprentissage(l.commande) || l.Valeur(QStringLiteral("trace"))))
            dessiner(argc, argv);
        const Options o = LireOptions(args);
        // L'application ne sert qu'à enregistrer le modèle (dossiers de l'utilisateur, nom du
        // programme) : sans elle, une évaluation s'épargne la lecture des locales du système et
        // une quarantaine de défauts de page. Jamais détruite : Terminer() sort sans démonter Qt.
        if (o.sortie)
            new QCoreApplication(argc, argv);
        ComplementsContenu complements(o);
        return Executer(o, &complements);
    } catch (...) {
        return CodeEchec(std::current_exception());
    }
}

}

int main(int argc, char **argv)
{
    Terminer(lancer(argc, argv));
}
