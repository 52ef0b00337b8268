#pragma once
// Ce que reçoivent les boîtes des algorithmes : le document, l'espace de travail, et la
// fenêtre à qui rendre les résultats. Elles ne connaissent pas la fenêtre principale.
#include <QString>
#include <QStringList>

class DocumentModele;
class ObservateurEntrainement;
class QWidget;
class TableDesChemins;
struct EspaceTravail;

// Les résultats d'un calcul, tels que la fenêtre principale les montre (ses listes, la
// commande "Voir la trace d'exécution").
class ResultatsCalcul {
public:
    virtual void AjouterProbabilite(const QString &sequence, const QString &probabilite, const QString &methode) = 0;
    // Le chemin de Viterbi remplace le précédent.
    virtual void AfficherViterbi(const QStringList &etats, const QString &probabilite) = 0;
    // Tous les chemins énumérés ; `meilleur` (1..) est la ligne retenue, 0 quand aucune.
    virtual void AfficherChemins(const TableDesChemins &table, long long meilleur) = 0;
    // Un calcul traçable `nom` vient de finir : sa trace peut être vue.
    virtual void TraceDisponible(const QString &nom) = 0;
    // La durée du calcul ("Durée du calcul : 0,42 ms"), montrée dans la barre d'état.
    virtual void AfficherDuree(const QString &texte) = 0;
    // L'observateur de la trace à prévenir pendant les entraînements (nul : aucun).
    virtual ObservateurEntrainement *ObservateurCalcul() = 0;

protected:
    ~ResultatsCalcul() = default;
};

struct ContexteCalcul {
    QWidget *Fenetre = nullptr; // parent des boîtes
    DocumentModele *Document = nullptr;
    EspaceTravail *Espace = nullptr;
    ResultatsCalcul *Resultats = nullptr;
};
