#include "outils_fiabilite.h"

#include <QFile>
#include <QProcess>

Issue LancerHmmcalc(const QStringList &arguments, const QByteArray &entree, const std::function<void()> &avantDemarrage,
                    const QString &temporaire)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("LANG", "C.UTF-8");
    env.remove("QT_QPA_PLATFORM");
    if (!temporaire.isEmpty())
        env.insert("TMPDIR", temporaire);
    p.setProcessEnvironment(env);
    if (avantDemarrage)
        p.setChildProcessModifier(avantDemarrage);
    p.start(QStringLiteral(HMMCALC), arguments);
    Issue r;
    if (!p.waitForStarted())
        return r;
    p.write(entree);
    p.closeWriteChannel();
    if (!p.waitForFinished(300000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.sortie = QString::fromUtf8(p.readAllStandardOutput());
    r.erreurs = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Exemple(const char *nom)
{
    return QStringLiteral(HMM_EXEMPLES) + QLatin1Char('/') + QLatin1String(nom);
}

QByteArray Octets(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illisible>");
}
