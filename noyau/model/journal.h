#pragma once
// Journaux d'annulation : avant chaque opération du document, tout le modèle (sa valeur, en
// mémoire) est rangé avec la description française de l'opération. Défaire échange le modèle
// courant avec la dernière étape ; Refaire fait l'inverse. Rien ne passe par le disque : une
// annulation ne peut pas échouer.
#include "model/fichier.h"

#include <QList>
#include <QString>
#include <QStringList>

struct EtapeAnnulation {
    QString Description;
    ContenuModele Modele;
};

// Un journal : suite d'étapes, la plus récente en dernier.
class Journal {
public:
    void Ajouter(const QString &description, const ContenuModele &modele);
    bool EstVide() const { return etapes.isEmpty(); }
    int Taille() const { return int(etapes.size()); }
    QString DerniereDescription() const;
    QStringList Descriptions() const; // de la plus ancienne à la plus récente
    EtapeAnnulation Retirer(); // la plus récente
    void Vider() { etapes.clear(); }

private:
    QList<EtapeAnnulation> etapes;
};
