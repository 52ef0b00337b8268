// hmmcalc : les calculs du programme en ligne de commande, sans affichage.
// Codes de sortie : 0 succès, 1 modèle incorrect ou calcul refusé, 2 mauvais usage ou
// fichier illisible.
//
// Ce programme ne charge que Qt Core : vérifier, paramètres, évaluations, Viterbi et chemins
// démarrent sans Qt Widgets (une vingtaine de millisecondes de moins par appel), et les
// entraînements aussi quand ni --sortie ni --trace n'est demandé. Ce qui demande le document du
// programme (traces, modèle entraîné enregistré, apprentissage) est confié à hmmcalc-complet,
// qui reçoit les mêmes arguments, la même entrée standard et rend le même code.
#include "commandes.h"
#include "model/textes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

#ifndef HMM_BIN_VERS_AUXILIAIRE
#define HMM_BIN_VERS_AUXILIAIRE "../libexec/hmmbench"
#endif

namespace {

using namespace Commandes;

// hmmcalc-complet : à côté de hmmcalc dans l'arbre de construction, dans libexec/hmmbench une
// fois installé.
QString cheminComplet()
{
    const QString ici = QCoreApplication::applicationDirPath();
    const QString voisin = ici + QStringLiteral("/hmmcalc-complet");
    if (QFileInfo(voisin).isExecutable())
        return voisin;
    return QDir::cleanPath(ici + QStringLiteral("/" HMM_BIN_VERS_AUXILIAIRE "/hmmcalc-complet"));
}

[[noreturn]] void confier(char **argv)
{
    const QByteArray chemin = QFile::encodeName(cheminComplet());
    std::fflush(stdout);
    ::execv(chemin.constData(), argv);
    throw Echec{Usage, QStringLiteral("Le programme « %1 » ne peut pas être lancé : %2.")
                           .arg(QFile::decodeName(chemin), Textes::CauseSysteme(errno))};
}

int lancer(int argc, char **argv)
{
    // Les avertissements de Qt ne doivent pas se mêler aux messages.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Jamais détruite : Terminer() sort sans démonter Qt.
    const QCoreApplication *app = new QCoreApplication(argc, argv);
    try {
        const QStringList args = app->arguments();
        if (const std::optional<int> code = AideOuVersion(args))
            return *code;
        NoterFormat(args);
        if (EstCommandeApprentissage(Lire(args).commande))
            confier(argv);
        const Options o = LireOptions(args);
        // Un entraînement sans --sortie ni --trace ne touche pas au document : il se fait ici.
        if (o.trace || (o.Entrainement() && o.sortie))
            confier(argv);
        return Executer(o, nullptr);
    } catch (...) {
        return CodeEchec(std::current_exception());
    }
}

}

int main(int argc, char **argv)
{
    Terminer(lancer(argc, argv));
}
