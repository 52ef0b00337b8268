#pragma once
// La boîte « Chemin a posteriori » : une séquence tapée ou choisie dans l'historique. Petite
// et de largeur bornée : une longue séquence de l'historique ne l'élargit pas.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QDialogButtonBox;

class DialoguePosterieur : public QDialog {
    Q_OBJECT
public:
    DialoguePosterieur(const QStringList &historique, QWidget *parent = nullptr);
    QComboBox *Sequence = nullptr;
    QDialogButtonBox *Boutons = nullptr;

    // La séquence choisie ; vide quand la boîte est annulée.
    static QString Demander(const QStringList &historique, QWidget *parent);
};
