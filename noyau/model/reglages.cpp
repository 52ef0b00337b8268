#include "model/reglages.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QRegularExpression>

namespace {

QString fichier()
{
    return Repertoire::Fichier(QStringLiteral("Fenetres.ini"));
}

// Une valeur tient sur une ligne : fin de ligne et barre oblique inverse échappées.
QString echapper(const QString &v)
{
    QString r;
    r.reserve(v.size());
    for (QChar c : v) {
        if (c == QLatin1Char('\\'))
            r += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            r += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            r += QLatin1String("\\r");
        else
            r += c;
    }
    return r;
}

QString desechapper(const QString &v)
{
    QString r;
    r.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != QLatin1Char('\\') || i + 1 == v.size()) {
            r += v[i];
            continue;
        }
        const QChar c = v[++i];
        r += c == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : c == QLatin1Char('r') ? QChar(QLatin1Char('\r')) : c;
    }
    return r;
}

void scinder(const QString &cle, QString *groupe, QString *nom)
{
    const qsizetype i = cle.indexOf(QLatin1Char('/'));
    *groupe = i < 0 ? QStringLiteral("General") : cle.left(i);
    *nom = i < 0 ? cle : cle.mid(i + 1);
}

// Ligne de la clé dans son groupe, -1 si absente ; *fin : où l'ajouter dans le groupe (-1 : groupe absent).
qsizetype chercher(const QStringList &l, const QString &groupe, const QString &nom, qsizetype *fin)
{
    const QString entete = QLatin1Char('[') + groupe + QLatin1Char(']');
    bool dans = false;
    *fin = -1;
    for (qsizetype i = 0; i < l.size(); ++i) {
        const QString &ligne = l[i];
        if (ligne.startsWith(QLatin1Char('['))) {
            dans = ligne.trimmed() == entete;
            if (dans)
                *fin = i + 1;
            continue;
        }
        if (!dans)
            continue;
        if (!ligne.trimmed().isEmpty())
            *fin = i + 1;
        const qsizetype egal = ligne.indexOf(QLatin1Char('='));
        if (egal > 0 && ligne.left(egal).trimmed() == nom)
            return i;
    }
    return -1;
}

}

namespace Reglages {

QString Lire(const QString &cle, const QString &defaut)
{
    bool ok = false;
    const QStringList l = Textes::LireLignesPartagees(fichier(), LimiteTaille, &ok, nullptr);
    QString groupe, nom;
    scinder(cle, &groupe, &nom);
    qsizetype fin = 0;
    const qsizetype i = chercher(l, groupe, nom, &fin);
    if (!ok || i < 0)
        return defaut;
    return desechapper(l[i].mid(l[i].indexOf(QLatin1Char('=')) + 1));
}

bool LireBooleen(const QString &cle, bool defaut)
{
    const QString v = Lire(cle).trimmed();
    return v == QLatin1String("true") ? true : v == QLatin1String("false") ? false : defaut;
}

QRect LireRectangle(const QString &cle)
{
    // « x,y,l,h » ; la forme « @Rect(x y l h) » des versions précédentes se relit aussi.
    static const QRegularExpression forme(QStringLiteral("^(?:@Rect\\()?(-?\\d+)[ ,](-?\\d+)[ ,](\\d+)[ ,](\\d+)\\)?$"));
    const QRegularExpressionMatch m = forme.match(Lire(cle).trimmed());
    if (!m.hasMatch())
        return QRect();
    bool ok[4];
    const int v[4] = {m.captured(1).toInt(&ok[0]), m.captured(2).toInt(&ok[1]), m.captured(3).toInt(&ok[2]),
                      m.captured(4).toInt(&ok[3])};
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || v[2] > 100000 || v[3] > 100000)
        return QRect();
    return QRect(v[0], v[1], v[2], v[3]);
}

bool Ecrire(const QString &cle, const QString &valeur, QString *erreur)
{
    QString groupe, nom;
    scinder(cle, &groupe, &nom);
    const QString ligne = nom + QLatin1Char('=') + echapper(valeur);
    return Textes::ModifierLignesPartagees(
        fichier(), LimiteTaille,
        [&](QStringList &l) {
            qsizetype fin = -1;
            const qsizetype i = chercher(l, groupe, nom, &fin);
            if (i >= 0) {
                if (l[i] == ligne)
                    return false;
                l[i] = ligne;
            } else if (fin >= 0) {
                l.insert(fin, ligne);
            } else {
                if (!l.isEmpty() && !l.last().isEmpty())
                    l << QString();
                l << QLatin1Char('[') + groupe + QLatin1Char(']') << ligne;
            }
            return true;
        },
        nullptr, erreur);
}

bool EcrireBooleen(const QString &cle, bool valeur, QString *erreur)
{
    return Ecrire(cle, valeur ? QStringLiteral("true") : QStringLiteral("false"), erreur);
}

bool EcrireRectangle(const QString &cle, const QRect &r, QString *erreur)
{
    return Ecrire(cle, QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()), erreur);
}

}
