#pragma once
// Annulation et rétablissement : avant chaque changement, tout le modèle (les lignes
// brouillées du fichier) est rangé dans un journal avec la description du changement.
// Défaire échange le modèle courant avec la dernière étape ; Refaire fait l'inverse.
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TForm1;

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
    EtapeAnnulation Retirer(); // la plus récente
    void Vider() { etapes.clear(); }
    // Forme texte : pour chaque étape "debut " + d, ses lignes, "Fin " + d.
    QStringList Texte() const;

private:
    QList<EtapeAnnulation> etapes;
};

class Annulation : public QObject {
    Q_OBJECT
public:
    explicit Annulation(TForm1 &fenetre);

    Journal Defaire, Refaire;

    // Une nouvelle étape (MemoriserEtape, ou la création d'un état qui a préparé ses lignes).
    void Enregistrer(const QString &description, const QStringList &lignes);
    void Defaire1Click();
    void Refaire1Click();

private:
    // Recharge les lignes d'une étape depuis le fichier de travail ; false en cas d'échec.
    bool restaurer(const EtapeAnnulation &e, const QString &fichier);
    void legendes();

    TForm1 &f;
};
