// Le module de dessin de hmmcalc : ce qui dessine ou mesure du texte (l'image du modèle des
// traces, le treillis, l'import JSON) et donc demande Qt Gui. hmmcalc le charge dans son propre
// processus pour ces commandes seulement : les autres démarrent sans Qt Gui. Il se sert des
// fonctions de hmmcalc (exportées par l'exécutable) : un seul état, une seule sortie.
#include "apprentissage.h"
#include "commandes.h"
#include "complements.h"
#include "model/image_modele.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "trace/document_trace.h"
#include "trace/enregistrement.h"
#include "trace/image.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
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

// Les traces, sur la valeur du modèle : image dessinée sans contrôle.
class ComplementsTrace : public ComplementsContenu {
public:
    using ComplementsContenu::ComplementsContenu;

    void TracerEvaluation(const QString &commande, const ParametresModele &p, EspaceTravail &e) override
    {
        const QString algorithme = commande == QLatin1String("forward")    ? Trace::AlgorithmeForward
                                   : commande == QLatin1String("backward") ? Trace::AlgorithmeBackward
                                   : commande == QLatin1String("viterbi")  ? Trace::AlgorithmeViterbi
                                                                           : Trace::AlgorithmeDirect;
        try {
            const QImage image = ImageModele::RendreModele(modele);
            Trace::ProduireTrace(algorithme, p, e, &image);
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
        ecrireTrace(*o.trace);
    }

protected:
    void PreparerTrace() override { preparerTrace(); }

    ObservateurEntrainement *DebuterTraceEntrainement() override
    {
        try {
            Trace::ExporterImageModele(ImageModele::RendreModele(modele));
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
        return &trace;
    }

    void TerminerTraceEntrainement() override
    {
        if (!trace.Erreur.isEmpty())
            throw Echec{Usage, trace.Erreur};
        try {
            Trace::CompleterTraceEntrainement();
        } catch (const ETrace &erreur) {
            throw Echec{Usage, erreur.Message()};
        }
        ecrireTrace(*o.trace);
    }

private:
    Trace::ObservateurTrace trace;
};

// Le répertoire de travail privé est effacé aussi quand hmmcalc est interrompu (SIGINT, SIGTERM,
// SIGHUP, SIGPIPE). Le gestionnaire n'appelle que des appels système permis dans un signal
// (open, getdents64, unlinkat, close, raise) : pas d'allocation, pas de processus lancé.
char cheminTravail[4096];

// Efface le contenu du répertoire ouvert en `dossier` (sous-dossiers compris, profondeur bornée).
void effacerContenu(int dossier, int profondeur)
{
    alignas(8) char tampon[4096];
    for (;;) {
        const long lus = ::syscall(SYS_getdents64, dossier, tampon, sizeof tampon);
        if (lus <= 0)
            return;
        bool efface = false;
        for (long pos = 0; pos < lus;) {
            const auto *e = reinterpret_cast<const struct dirent64 *>(tampon + pos);
            pos += e->d_reclen;
            const char *nom = e->d_name;
            if (nom[0] == '.' && (nom[1] == 0 || (nom[1] == '.' && nom[2] == 0)))
                continue;
            if (e->d_type == DT_DIR && profondeur < 8) {
                const int sous = ::openat(dossier, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sous >= 0) {
                    effacerContenu(sous, profondeur + 1);
                    ::close(sous);
                }
                efface |= ::unlinkat(dossier, nom, AT_REMOVEDIR) == 0;
            } else {
                efface |= ::unlinkat(dossier, nom, 0) == 0;
            }
        }
        // Le répertoire a changé sous la lecture : on la reprend du début.
        if (efface)
            ::lseek(dossier, 0, SEEK_SET);
    }
}

void interrompu(int numero)
{
    const int sauve = errno;
    if (cheminTravail[0]) {
        const int dossier = ::open(cheminTravail, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dossier >= 0) {
            effacerContenu(dossier, 0);
            ::close(dossier);
        }
        ::rmdir(cheminTravail);
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

// Fichiers de travail d'une trace (modèles copiés, journal, image) dans un répertoire privé,
// effacé à la fin ; il sert aussi de répertoire d'exécution à Qt Gui, qui sinon en créerait un
// dans /tmp.
std::unique_ptr<QTemporaryDir> creerTravail()
{
    balayerTravauxAbandonnes();
    auto travail = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/hmmcalc-XXXXXX"));
    if (!travail->isValid())
        throw Echec{Usage, QStringLiteral("Impossible de créer un répertoire de travail temporaire.")};
    protegerTravail(*travail);
    QFile pid(travail->path() + QStringLiteral("/pid"));
    if (pid.open(QIODevice::WriteOnly))
        pid.write(QByteArray::number(qint64(::getpid())));
    return travail;
}

int lancer(int argc, char **argv)
{
    try {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const std::unique_ptr<QTemporaryDir> travail = creerTravail();
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(travail->path()));
        // Jamais détruite : Terminer() sort sans démonter Qt, ce qui coûterait presque autant
        // que de le monter.
        const QGuiApplication *app = new QGuiApplication(argc, argv);
        Repertoire::Definir(travail->path());
        const QStringList args = app->arguments();
        NoterFormat(args);
        if (EstCommandeApprentissage(Lire(args).commande))
            return ExecuterApprentissage(args);
        const Options o = LireOptions(args);
        ComplementsTrace complements(o);
        return Executer(o, &complements);
    } catch (...) {
        return CodeEchec(std::current_exception());
    }
}

}

extern "C" Q_DECL_EXPORT void hmmcalc_dessin(int argc, char **argv)
{
    Terminer(lancer(argc, argv));
}
