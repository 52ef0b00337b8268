#include "model/repertoire.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <unistd.h>

#ifndef HMM_RESSOURCES_RELATIF
#define HMM_RESSOURCES_RELATIF "../share/hmmbench"
#endif

namespace {
QString repertoireFixe;
QString session;

QString dossierExecutable()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

// Un dossier où l'on peut vraiment écrire : on le crée puis on y pose un fichier
// (les droits affichés ne suffisent pas, par exemple sur un support en lecture seule).
bool inscriptible(const QString &dossier)
{
    if (dossier.isEmpty() || !QDir().mkpath(dossier))
        return false;
    QSaveFile essai(dossier + QStringLiteral("/.essai"));
    if (!essai.open(QIODevice::WriteOnly))
        return false;
    essai.cancelWriting();
    return true;
}

QString sousDossier(QStandardPaths::StandardLocation lieu, const QString &nom = QStringLiteral("hmmbench"))
{
    const QString base = QStandardPaths::writableLocation(lieu);
    return base.isEmpty() ? QString() : base + QLatin1Char('/') + nom;
}

bool processusVivant(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Les dossiers de session laissés par un processus qui ne tourne plus (arrêt brutal).
void effacerOrphelins(const QString &parent)
{
    const QDir d(parent);
    for (const QString &nom : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = nom.toLongLong(&ok);
        if (ok && pid != QCoreApplication::applicationPid() && !processusVivant(pid))
            QDir(d.filePath(nom)).removeRecursively();
    }
}

// Le parent des dossiers de session : le dossier d'exécution de l'utilisateur, sinon son
// cache, sinon un dossier à son nom dans le dossier temporaire.
QString parentSession()
{
    const QStringList candidats = {
        sousDossier(QStandardPaths::RuntimeLocation),
        sousDossier(QStandardPaths::GenericCacheLocation, QStringLiteral("hmmbench/sessions")),
        QDir::tempPath() + QStringLiteral("/hmmbench-") + QString::number(::getuid()),
    };
    for (const QString &c : candidats)
        if (inscriptible(c)) {
            QFile::setPermissions(c, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            return c;
        }
    return {};
}

void fermerALaFin()
{
    Repertoire::FermerSession();
}
}

namespace Repertoire {

QString Programme()
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe;
    return dossierExecutable();
}

void Definir(const QString &chemin)
{
    repertoireFixe = chemin;
}

QString DossierRessources()
{
    // Arbre de construction : les ressources sont copiées à côté de l'exécutable.
    const QString ici = dossierExecutable();
    if (QFileInfo(ici + QStringLiteral("/Aide")).isDir())
        return ici;
    // Installé : vu de bin/.
    const QString installe = QDir::cleanPath(ici + QStringLiteral("/" HMM_RESSOURCES_RELATIF));
    return QFileInfo(installe).isDir() ? installe : ici;
}

QString DossierConfiguration()
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe;
    return sousDossier(QStandardPaths::GenericConfigLocation);
}

QString DossierDonnees()
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe;
    return sousDossier(QStandardPaths::GenericDataLocation);
}

QString DossierSession()
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe;
    if (session.isEmpty()) {
        const QString parent = parentSession();
        if (parent.isEmpty()) {
            // Rien d'inscriptible : les écritures échoueront et seront signalées une fois.
            session = QDir::tempPath() + QStringLiteral("/hmmbench-indisponible");
            return session;
        }
        effacerOrphelins(parent);
        session = parent + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid());
        QDir().mkpath(session);
        if (QCoreApplication::instance())
            qAddPostRoutine(fermerALaFin);
    }
    return session;
}

QString Fichier(const QString &nom)
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe + QLatin1Char('/') + nom;
    QString dossier;
    if (nom == QLatin1String("Options.ini") || nom == QLatin1String("FichiersRecent.txt"))
        dossier = DossierConfiguration();
    else if (nom == QLatin1String("Sequences.txt") || nom == QLatin1String("Chemin.txt"))
        dossier = DossierDonnees();
    else if (nom.startsWith(QLatin1String("Aide/")))
        return Ressource(nom);
    else
        dossier = DossierSession();
    const QString chemin = dossier + QLatin1Char('/') + nom;
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    return chemin;
}

QString Ressource(const QString &nom)
{
    return (repertoireFixe.isEmpty() ? DossierRessources() : repertoireFixe) + QLatin1Char('/') + nom;
}

QStringList Indisponibles()
{
    QStringList r;
    if (!inscriptible(DossierConfiguration()))
        r << QStringLiteral("Les options d'affichage et la liste des fichiers récents ne seront pas enregistrées "
                            "(dossier « %1 » inaccessible en écriture).")
                 .arg(QDir::toNativeSeparators(DossierConfiguration()));
    if (!inscriptible(DossierDonnees()))
        r << QStringLiteral("Les dernières séquences d'observations et le dernier dossier ouvert ne seront pas "
                            "retenus (dossier « %1 » inaccessible en écriture).")
                 .arg(QDir::toNativeSeparators(DossierDonnees()));
    if (!inscriptible(DossierSession()))
        r << QStringLiteral("L'annulation, le journal d'entraînement et les traces d'exécution ne sont pas "
                            "disponibles : aucun dossier de travail temporaire n'est accessible en écriture.");
    return r;
}

void FermerSession()
{
    if (session.isEmpty())
        return;
    if (session.endsWith(QLatin1Char('/') + QString::number(QCoreApplication::applicationPid())))
        QDir(session).removeRecursively();
    session.clear();
}

}
