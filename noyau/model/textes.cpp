#include "model/textes.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace Textes {

QString Decoder(const QByteArray &octets)
{
    QStringDecoder d("windows-1252");
    if (!d.isValid())
        return QString::fromLatin1(octets);
    return d.decode(octets);
}

QByteArray Encoder(const QString &texte)
{
    QStringEncoder e("windows-1252");
    if (!e.isValid())
        return texte.toLatin1();
    return e.encode(texte);
}

bool Representable(const QString &texte)
{
    QStringEncoder e("windows-1252", QStringEncoder::Flag::Stateless);
    if (!e.isValid())
        return true;
    QByteArray o = e.encode(texte);
    return !e.hasError() && Decoder(o) == texte;
}

QStringList LireLignes(const QString &chemin, bool *ok)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return {};
    }
    if (ok)
        *ok = true;
    QString t = Decoder(f.readAll());
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList l = t.split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

bool EcrireOctets(const QString &chemin, const QByteArray &octets, QString *erreur)
{
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size() || !f.commit()) {
        if (erreur)
            *erreur = f.errorString();
        return false;
    }
    return true;
}

bool EcrireTexte(const QString &chemin, const QString &texte, QString *erreur)
{
    return EcrireOctets(chemin, Encoder(texte), erreur);
}

bool EcrireLignes(const QString &chemin, const QStringList &lignes, QString *erreur)
{
    QString t;
    for (const QString &l : lignes)
        t += l + QLatin1String("\r\n");
    return EcrireTexte(chemin, t, erreur);
}

}
