#include "model/journal.h"

void Journal::Ajouter(const QString &description, const ContenuModele &modele)
{
    etapes.append({description, modele});
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
