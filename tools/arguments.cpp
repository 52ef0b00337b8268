#include "arguments.h"

namespace Arguments {

QString Valeur(const QStringList &args, int &i)
{
    if (i + 1 >= args.size())
        throw Echec{Usage, QStringLiteral("L'option %1 attend une valeur.").arg(args[i])};
    return args[++i];
}

int Chiffres(const QString &v)
{
    bool ok = false;
    const int chiffres = v.toInt(&ok);
    if (!ok || chiffres < 1 || chiffres > 30)
        throw Echec{Usage, QStringLiteral("Nombre de chiffres incorrect : « %1 » (de 1 à 30).").arg(v)};
    return chiffres;
}

}
