#pragma once
// Découpage de la séquence d'observations et historique des séquences ("Sequences.txt").
#include <QString>
#include <QStringList>

struct ParametresModele;
struct EspaceTravail;

// Remplit Observations[1..T] et LongueurSequence depuis SequenceObservations, caractère par
// caractère ou mot par mot (mots séparés par des espaces, code 32). Un morceau qui n'est pas
// un symbole du modèle donne 0. Lève ERefusCalcul quand le texte ne donne aucune observation
// (T = 0) : aucun algorithme n'est défini pour une séquence vide.
void DecouperSequence(const ParametresModele &parametres, EspaceTravail &espace);

// Les séquences déjà employées, dans l'ordre de première utilisation, partagées par les
// dialogues des algorithmes.
class HistoriqueSequences {
public:
    static QString Chemin();
    // Un fichier absent ou illisible donne un historique vide, de même qu'un fichier de plus
    // de Textes::LimiteLignes octets ou qui n'est pas un fichier ordinaire (*erreur : la cause,
    // vide quand le fichier n'existe pas encore). Un fichier refusé n'est ensuite jamais
    // remplacé par Enregistrer : il garderait sinon la seule dernière séquence.
    void Charger(QString *erreur = nullptr);
    // Ajoute un texte non vide absent de la liste (comparaison sans égard à la casse) ;
    // rend true quand il a été ajouté.
    bool Ajouter(const QString &texte);
    bool Enregistrer(QString *erreur = nullptr) const;
    // Ajouter puis, quand la liste a changé, Enregistrer.
    bool Memoriser(const QString &texte, QString *erreur = nullptr);
    const QStringList &Sequences() const { return liste; }

private:
    QStringList liste;
    QString refus;
};
