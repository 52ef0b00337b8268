#include "model/journal.h"

namespace {
const QString Debut = QStringLiteral("debut ");
const QString Fin = QStringLiteral("Fin ");
}

void Journal::Ajouter(const QString &description, const QStringList &lignes)
{
    etapes.append({description, lignes});
}

QString Journal::DerniereDescription() const
{
    return etapes.isEmpty() ? QString() : etapes.last().Description;
}

QStringList Journal::Descriptions() const
{
    QStringList r;
    for (const EtapeAnnulation &e : etapes)
        r << e.Description;
    return r;
}

EtapeAnnulation Journal::Retirer()
{
    return etapes.isEmpty() ? EtapeAnnulation() : etapes.takeLast();
}

QStringList Journal::Texte() const
{
    QStringList r;
    for (const EtapeAnnulation &e : etapes) {
        r << Debut + e.Description;
        r << e.Lignes;
        r << Fin + e.Description;
    }
    return r;
}
