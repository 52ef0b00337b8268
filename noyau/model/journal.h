#pragma once
// Journaux d'annulation : avant chaque opération du document, tout le modèle (les lignes
// brouillées du fichier) est rangé avec la description française de l'opération. Défaire
// échange le modèle courant avec la dernière étape ; Refaire fait l'inverse.
#include <QList>
#include <QString>
#include <QStringList>

struct EtapeAnnulation {
    QString Description;
    QStringList Lignes; // lignes du modèle, sous leur forme stockée (brouillée)
};

// Un journal : suite d'étapes, la plus récente en dernier.
class Journal {
public:
    void Ajouter(const QString &description, const QStringList &lignes);
    bool EstVide() const { return etapes.isEmpty(); }
    int Taille() const { return int(etapes.size()); }
    QString DerniereDescription() const;
    QStringList Descriptions() const; // de la plus ancienne à la plus récente
    EtapeAnnulation Retirer(); // la plus récente
    void Vider() { etapes.clear(); }
    // Forme texte : pour chaque étape "debut " + d, ses lignes, "Fin " + d.
    QStringList Texte() const;

private:
    QList<EtapeAnnulation> etapes;
};
