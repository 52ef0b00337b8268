// hmmcalc-complet : hmmcalc avec le document du programme (boîtes et graphe, donc Qt Widgets),
// pour ce qui en a besoin : traces, entraînements et report des valeurs, apprentissage. hmmcalc
// le lance pour ces commandes ; les autres lui sont communes (commandes.cpp).
#include "apprentissage.h"
#include "commandes.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/convergence.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "trace/document_trace.h"
#include "trace/enregistrement.h"
#include "trace/image.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"
#include "sortie_json.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace Commandes;

// --trace : les modèles de trace livrés à côté de hmmcalc sont copiés dans le répertoire de
// travail, la trace y est produite comme dans le programme, puis copiée avec son image.
void preparerTrace()
{
    const QDir livres(Repertoire::DossierRessources() + QStringLiteral("/Modeles"));
    if (livres.entryList({QStringLiteral("*.htm")}, QDir::Files).isEmpty())
        throw Echec{Usage, QStringLiteral("Les modèles de trace sont introuvables dans « %1 ».")
                               .arg(QDir::toNativeSeparators(livres.path()))};
    QDir().mkpath(Trace::CheminModele(QString()));
    for (const QString &f : livres.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
        QByteArray octets;
        QString erreur;
        if (!Textes::LireOctets(livres.filePath(f), Textes::LimiteLignes, &octets, &erreur) ||
            !Textes::EcrireOctets(Trace::CheminModele(f), octets, &erreur))
            throw Echec{Usage, QStringLiteral("Le modèle de trace « %1 » ne peut pas être copié : %2.").arg(f, erreur)};
    }
}

void ecrireTrace(const QString &destination)
{
    try {
        Trace::EnregistrerTraceSous(destination);
    } catch (const ETrace &x) {
        throw Echec{Usage, x.Message()};
    }
}

// Le document, bâti du contenu déjà lu (mot de passe compris) et vérifié.
class ComplementsDocument : public Complements {
public:
    explicit ComplementsDocument(const Options &o) : o(o) {}

    void Preparer(const ContenuModele &contenu) override
    {
        // Un entraînement sans --sortie ni --trace n'a pas besoin du document.
        if (!o.sortie && !o.trace)
            return;
        QString erreur;
        if (d.ChargerLignes(FichierModele::Ecrire(contenu), false, QFileInfo(o.modele).fileName(), &erreur) !=
            Chargement::Reussi)
            throw Echec{Usage, erreur};
        if (o.trace)
            preparerTrace();
    }

    void TracerEvaluation(const QString &commande, const ParametresModele &p, EspaceTravail &e) override
    {
        const QString algorithme = commande == QLatin1String("forward")    ? Trace::AlgorithmeForward
                                   : commande == QLatin1String("backward") ? Trace::AlgorithmeBackward
                                   : commande == QLatin1String("viterbi")  ? Trace::AlgorithmeViterbi
                                                                           : Trace::AlgorithmeDirect;
        try {
            Trace::ProduireTrace(algorithme, p, e, &d);
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
        ecrireTrace(*o.trace);
    }

    void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e) override;

private:
    const Options &o;
    DocumentModele d;
};

void ComplementsDocument::Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e)
{
    // La trace d'un entraînement s'écrit pendant le calcul ; l'image est celle d'avant.
    Trace::ObservateurTrace trace;
    if (o.trace) {
        try {
            Trace::ExporterImageModele(d);
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
    }
    const auto surDocument = [&](Entrainement type, ObservateurEntrainement *observateur, ModeCalcul mode,
                                 const ParametresModele **lambda) {
        *lambda = &d.Parametres;
        return ::Entrainer(type, d, e, observateur, mode);
    };
    if (o.sortie || o.trace)
        Commandes::Entrainer(x, p, e, o.trace ? &trace : nullptr, surDocument);
    else
        Commandes::Entrainer(x, p, e, nullptr, {});
    if (o.sortie) {
        QString erreur;
        if (!d.EnregistrerFichier(*o.sortie, &erreur))
            throw Echec{Usage, erreur};
    }
    if (o.trace) {
        if (!trace.Erreur.isEmpty())
            throw Echec{Usage, trace.Erreur};
        try {
            Trace::CompleterTraceEntrainement();
        } catch (const ETrace &erreur) {
            throw Echec{Usage, erreur.Message()};
        }
        ecrireTrace(*o.trace);
    }
}

int executer(const QStringList &args)
{
    if (const std::optional<int> code = AideOuVersion(args))
        return *code;
    NoterFormat(args);
    if (EstCommandeApprentissage(Lire(args).commande))
        return ExecuterApprentissage(args);
    const Options o = LireOptions(args);
    ComplementsDocument complements(o);
    return Executer(o, &complements);
}

// Le répertoire de travail privé est effacé aussi quand hmmcalc est interrompu (SIGINT, SIGTERM,
// SIGHUP, SIGPIPE). Le gestionnaire n'appelle que des fonctions permises dans un signal
// (fork, execv, waitpid, raise) : « rm -rf » efface, puis le signal reprend son effet.
char cheminTravail[4096];

void interrompu(int numero)
{
    const int sauve = errno;
    if (cheminTravail[0]) {
        const pid_t enfant = ::fork();
        if (enfant == 0) {
            const char *const args[] = {"rm", "-rf", "--", cheminTravail, nullptr};
            ::execv("/bin/rm", const_cast<char *const *>(args));
            ::_exit(127);
        }
        if (enfant > 0)
            while (::waitpid(enfant, nullptr, 0) < 0 && errno == EINTR) {
            }
    }
    errno = sauve;
    ::signal(numero, SIG_DFL);
    ::raise(numero);
}

void protegerTravail(const QTemporaryDir &travail)
{
    const QByteArray c = QFile::encodeName(travail.path());
    if (c.size() >= qsizetype(sizeof cheminTravail))
        return;
    std::memcpy(cheminTravail, c.constData(), std::size_t(c.size()) + 1);
    struct sigaction a {};
    a.sa_handler = interrompu;
    sigfillset(&a.sa_mask);
    // Un signal ignoré à l'appel (nohup, tâche de fond) le reste.
    for (int numero : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction avant {};
        if (::sigaction(numero, nullptr, &avant) == 0 && avant.sa_handler != SIG_IGN)
            ::sigaction(numero, &a, nullptr);
    }
}

// Un hmmcalc tué par SIGKILL n'efface pas son répertoire : le suivant efface ceux de
// l'utilisateur dont le processus noté dans « pid » n'existe plus.
void balayerTravauxAbandonnes()
{
    const QDir tmp(QDir::tempPath());
    for (const QFileInfo &i : tmp.entryInfoList({QStringLiteral("hmmcalc-??????")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (i.isSymLink() || i.ownerId() != ::getuid())
            continue;
        QFile f(i.filePath() + QStringLiteral("/pid"));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const qint64 pid = f.read(32).trimmed().toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QDir(i.filePath()).removeRecursively();
    }
}

int lancer(int argc, char **argv)
{
    balayerTravauxAbandonnes();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Les avertissements de Qt (plate-forme hors écran...) ne doivent pas se mêler aux messages.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Fichiers de travail (journal d'entraînement...) dans un répertoire privé, effacé à la fin ;
    // il sert aussi de répertoire d'exécution à Qt, qui sinon en créerait un dans /tmp.
    QTemporaryDir travail(QDir::tempPath() + QStringLiteral("/hmmcalc-XXXXXX"));
    if (!travail.isValid()) {
        std::fputs("Impossible de créer un répertoire de travail temporaire.\n", stderr);
        return Usage;
    }
    protegerTravail(travail);
    {
        QFile pid(travail.path() + QStringLiteral("/pid"));
        if (pid.open(QIODevice::WriteOnly))
            pid.write(QByteArray::number(qint64(::getpid())));
    }
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(travail.path()));
    // Les fenêtres du document (boîtes, graphe) exigent une QApplication. Elle n'est jamais
    // détruite : main() termine le processus sans démonter Qt, ce qui coûterait presque autant
    // que de le monter.
    QApplication *app = new QApplication(argc, argv);
    Repertoire::Definir(travail.path());
    try {
        return executer(app->arguments());
    } catch (...) {
        return CodeEchec(std::current_exception());
    }
}

}

int main(int argc, char **argv)
{
    Terminer(lancer(argc, argv));
}
