#include "model/recents.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QFileInfo>

namespace {
QString fichier()
{
    return Repertoire::Fichier(QStringLiteral("FichiersRecent.txt"));
}
}

namespace Recents {

QStringList Lire(QString *erreur)
{
    // Pas encore de liste : rien à signaler.
    QString cause;
    bool ok = false;
    const QStringList l = Textes::LireLignesPartagees(fichier(), LimiteTaille, &ok, &cause);
    if (!ok && erreur)
        *erreur = QStringLiteral("La liste des fichiers récents « %1 » n'est pas lue : %2.").arg(fichier(), cause);
    return l;
}

QStringList EntreesMenu()
{
    const QStringList l = Lire();
    QStringList r;
    for (qsizetype i = l.size() - 1; i >= qMax<qsizetype>(l.size() - LimiteRecents, 0); --i)
        r << l[i];
    return r;
}

bool Ajouter(const QString &chemin)
{
    if (chemin.isEmpty())
        return false;
    // Relue sous verrou : une autre instance a pu l'allonger depuis.
    bool change = false;
    Textes::ModifierLignesPartagees(fichier(), LimiteTaille, [&](QStringList &l) {
        for (const QString &p : l)
            if (p.trimmed() == chemin.trimmed())
                return false;
        l << chemin;
        while (l.size() > LimiteRecents)
            l.removeFirst();
        change = true;
        return true;
    });
    return change;
}

}
