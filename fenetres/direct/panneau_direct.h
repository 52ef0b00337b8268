#pragma once
// Le panneau « Calcul en direct » : les séquences tapées (une par ligne), puis pour chacune
// P(O|λ) par Forward et le chemin de Viterbi, et le graphe de γ_t(i) de la première. Chaque
// valeur du modèle reçue relance le calcul hors du fil de l'interface ; un calcul dépassé est
// arrêté et son résultat jeté ; rien n'est recalculé quand ni le modèle ni les séquences n'ont
// changé.
#include "algorithms/direct.h"
#include "direct/graphe_gamma.h"
#include "model/fichier.h"

#include <QWidget>
#include <atomic>
#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
class QTimer;

class PanneauDirect : public QWidget {
    Q_OBJECT
public:
    explicit PanneauDirect(QWidget *parent = nullptr);
    ~PanneauDirect() override;

    // La valeur courante du modèle (après chaque changement du document).
    void DefinirModele(const ContenuModele &modele);
    void DefinirSequences(const QString &texte);
    QStringList Sequences() const;
    // Le dernier résultat montré ; `CalculsLances` compte les calculs réellement démarrés.
    const ResultatDirect &Resultat() const { return resultat; }
    int CalculsLances() const { return lances; }
    bool EnCours() const { return enCours; }

    QPlainTextEdit *Saisie = nullptr;
    QCheckBox *MotParMot = nullptr;
    QTableWidget *Table = nullptr;
    QLabel *Etat = nullptr;
    GrapheGamma *Vue = nullptr;
    QLabel *Formule = nullptr;

    // La formule de γ_t(i), i = 1..N, du graphe montré (un clic sur une courbe l'appelle).
    void MontrerFormule(int t, int i);

signals:
    // Après l'affichage d'un résultat : le chemin de Viterbi de la première séquence (vide
    // quand il n'y en a pas), pour le surlignage du graphe.
    void resultatMontre(const QStringList &cheminViterbi);

private:
    void demander();
    void lancer();
    void montrer(const ResultatDirect &r);

    ContenuModele modele;
    bool modeleRecu = false;
    // Ce qu'a calculé le dernier calcul lancé : un changement qui n'y change rien ne relance rien.
    ContenuModele calculeModele;
    QStringList calculeSequences;
    bool calculeCaractere = true;
    bool dejaLance = false;

    ResultatDirect resultat;
    std::shared_ptr<std::atomic<bool>> arret;
    int generation = 0;
    int lances = 0;
    bool enCours = false;
    QTimer *attente = nullptr;
};
