#pragma once
// Ce que les sept boîtes des algorithmes partagent : le groupe de la séquence (avec
// l'historique "Sequences.txt"), le groupe du découpage, les boutons "Lancer", "Annuler",
// "&Aide", la barre d'état, le prologue et l'épilogue du bouton de lancement, et l'état
// « calcul en cours » des calculs longs (bouton "Arrêter", fermeture qui arrête).
#include "algorithms/observateur.h"
#include "algorithms/sequence.h"
#include "calculs/contexte_calcul.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QVBoxLayout;
struct EspaceTravail;

class DialogueAlgorithme : public QDialog {
    Q_OBJECT
public:
    struct Description {
        QString Titre;          // légende de la fenêtre
        QString Lancer;         // libellé du bouton de lancement
        QString SujetAide;      // "IDH_3"...
        bool Formation = false; // dialogues d'entraînement : " La séquence de formation : "
    };

    DialogueAlgorithme(const ContexteCalcul &contexte, const Description &description);

    QGroupBox *GroupBox1 = nullptr;   // la séquence
    QComboBox *LabeledEdit1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;   // le découpage
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr; // dans la barre d'état ; seulement pour les énumérations
    // Entraînements : plusieurs séquences, une par ligne, et leur chargement depuis un fichier
    // texte (nuls dans les autres boîtes).
    QPlainTextEdit *MemoSequences = nullptr;
    QPushButton *BoutonCharger = nullptr;

    // Remplit le champ multiligne avec le texte du fichier (Windows-1252, lecture bornée) ;
    // un fichier illisible est dit en français et le champ reste tel quel. Rend false alors.
    bool ChargerSequences(const QString &chemin);

    // Bouton de lancement : prologue, calcul, épilogue. Un refus (séquence vide, modèle qui ne
    // génère pas la séquence, trop de chemins, nombre illisible...) est dit en français et la
    // boîte reste ouverte.
    void BitBtn1Click();
    // "Annuler" ferme ; "Arrêter" (pendant un calcul long) demande l'arrêt.
    void BitBtn2Click();
    void BitBtn3Click();

    bool ArretDemande() const { return arretDemande; }

protected:
    // Le calcul propre à la boîte, épilogue compris ; peut lever ERefusCalcul.
    virtual void Executer() = 0;
    // Relevé des réglages propres (avant le prologue du calcul) ; lève ERefusCalcul.
    virtual void LireReglages() {}
    // Remise à l'état de l'affichage, à chaque présentation.
    virtual void FormShow();

    // Zone où les boîtes ajoutent leurs contrôles propres, sous le découpage.
    QVBoxLayout *ZoneSupplementaire = nullptr;
    // Barre de progression 0..100 cachée, dans la barre d'état (énumérations).
    void AjouterProgression();
    // Le champ multiligne des séquences et "Charger…", sous le champ de l'historique.
    void AjouterZoneSequences();
    // Les P(O_k|λ) de chaque séquence et leur produit, dans la liste des probabilités, après un
    // entraînement sur plusieurs séquences ; rien pour une seule séquence.
    void ListerProbabilitesFormation(const QString &methode);

    const ContexteCalcul f;
    EspaceTravail &espace() const;
    // Étape 3 du prologue : paramètres tirés du graphe, séquence découpée.
    void PreparerCalcul();
    // Épilogue commun : DernierAlgorithme, trace, message de réussite, fermeture. `nom` vide :
    // calcul sans trace (énumération des chemins).
    void Epilogue(const QString &nom, const QString &message);
    void Erreur(const QString &texte);

    // Calcul long : boutons de lancement et d'aide grisés, "Arrêter" ; la fin rétablit tout
    // et ferme la boîte si la fermeture a été demandée entre-temps.
    void DebuterCalculLong(bool barreProgression);
    void TerminerCalculLong();
    void AfficherProgression(int pourcent);
    // Laisse passer les événements en attente (bouton "Arrêter", dessin).
    void LaisserRespirer();
    // Énumération des chemins avec barre de progression et arrêt (les deux dialogues
    // d'énumération) ; rend false quand elle a été arrêtée ou que la fermeture est demandée.
    bool Enumerer();
    // Remplit la liste des chemins de la fenêtre principale depuis la table des chemins ;
    // la première ligne de plus grande valeur reçoit l'icône du meilleur chemin.
    void ListerChemins();
    bool fermetureDemandee = false;

    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void done(int r) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void placerProgression();
    // Une séquence est donnée : dans le champ de l'historique ou dans le champ multiligne.
    bool sequenceDonnee() const;
    // "Arrêter", ou fermeture (`fermer`) pendant un calcul long.
    void demanderArret(bool fermer);
    HistoriqueSequences historique;
    QString sujetAide;
    bool enCours = false;
    bool arretDemande = false;
    bool montre = false;
};

// Observateur des deux entraînements branché par leurs boîtes : boucle d'événements et arrêt
// entre deux itérations, relais vers la trace d'exécution quand la fenêtre en fournit une.
// L'étape d'annulation du report est rangée par le document lui-même.
class ObservateurDialogue : public ObservateurEntrainement {
public:
    ObservateurDialogue(const ContexteCalcul &contexte, std::function<bool()> continuer);
    void Debut(Entrainement t, const ParametresModele &p, EspaceTravail &e) override;
    void Iteration(Entrainement t, const ParametresModele &p, EspaceTravail &e) override;
    bool Continuer(Entrainement t) override;
    void AvantModification(Entrainement t) override;
    void Fin(Entrainement t, const ParametresModele &p, EspaceTravail &e) override;
    void FinSansIteration(Entrainement t, const ParametresModele &p, EspaceTravail &e) override;

private:
    ObservateurEntrainement *trace;
    std::function<bool()> continuer;
};
