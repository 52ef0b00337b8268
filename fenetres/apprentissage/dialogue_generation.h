#pragma once
// « Générer une séquence... » : longueur T et graine, le chemin caché et les observations
// tirés du modèle, l'ajout à l'historique des séquences et la comparaison avec Viterbi.
#include "algorithms/generation.h"
#include "model/parametres.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

class DialogueGeneration : public QDialog {
    Q_OBJECT
public:
    DialogueGeneration(const ParametresModele &parametres, QWidget *parent = nullptr);

    QSpinBox *Longueur = nullptr;
    QLineEdit *Graine = nullptr;
    QPushButton *Generer = nullptr, *NouvelleGraine = nullptr, *Comparer = nullptr, *Fermer = nullptr,
                *BoutonAide = nullptr;
    QPlainTextEdit *Observations = nullptr, *Chemin = nullptr;
    QTableWidget *Comparaison = nullptr;
    QLabel *Accord = nullptr;

    // Observations et découpage de la dernière génération.
    QString Texte;
    bool DecoupageCaractere = true;

    void GenererClick();
    void ComparerClick();

private:
    ParametresModele p;
    SequenceGeneree s;
};
