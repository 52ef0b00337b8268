#include "model/repertoire.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString repertoireFixe;
}

namespace Repertoire {

QString Programme()
{
    if (!repertoireFixe.isEmpty())
        return repertoireFixe;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void Definir(const QString &chemin)
{
    repertoireFixe = chemin;
}

QString Fichier(const QString &nom)
{
    return Programme() + QLatin1Char('/') + nom;
}

}
