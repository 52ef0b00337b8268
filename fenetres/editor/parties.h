#pragma once
// Les parties de la fenêtre principale : document, canevas, collaborateurs, actions, barres.
// TForm1 en hérite en privé ; seuls ses collaborateurs d'editor/ et les essais de la fenêtre
// y accèdent, par Parties(fenetre). Les autres fenêtres n'en voient rien (ContexteCalcul).
#include "algorithms/espace.h"
#include "model/document.h"

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QToolButton;
class QSplitter;
class QWidget;
class CanevasFenetre;
class EditeurSouris;
class Annulation;
class PressePapiers;
class VueZoom;
class ImpressionModele;
class ListesResultats;
class PanneauVerification;
class ObservateurEntrainement;
class SuiviTrace;
class PanneauDirect;
class TForm1;

struct PartiesPrincipale {
    DocumentModele *Document = nullptr;
    QWidget *Panneau = nullptr; // le panneau de dessin : Hmm1 et les boîtes
    CanevasFenetre *Canevas = nullptr; // crée les contrôles du document sur le panneau

    // Points d'accroche remplaçables par les tests (aucun processus, aucune boîte système).
    std::function<void()> LancerInstance;          // nouvelle instance du programme
    std::function<QString()> DemanderOuverture;     // boîte d'ouverture ; vide = annulé
    std::function<QString()> DemanderEnregistrement; // boîte d'enregistrement ; vide = annulé
    std::function<bool(const QString &)> DemanderMotDePasse; // identification à l'ouverture
    // Lance un programme extérieur (Outils).
    std::function<void(const QString &programme, const QStringList &arguments)> LancerProgramme;

    // Édition à la souris et au clavier, journaux d'annulation, presse-papiers des états.
    EditeurSouris *Souris = nullptr;
    Annulation *Historique = nullptr;
    PressePapiers *Presse = nullptr;
    // Zoom et impression (editor/zoom.*, editor/impression.*).
    VueZoom *Zoom = nullptr;
    ImpressionModele *Impressions = nullptr;

    // L'espace de travail que chaque calcul écrase et que la trace lit ensuite, les trois
    // listes de résultats, le volet de vérification sous le canevas.
    EspaceTravail Espace;
    ListesResultats *Listes = nullptr;
    PanneauVerification *Verification = nullptr;
    QSplitter *SeparateurCentral = nullptr; // listes | canevas et volet
    QSplitter *SeparateurCanevas = nullptr; // canevas / volet de vérification
    // La trace d'exécution s'attache ici pour suivre les entraînements (nul : aucune trace).
    ObservateurEntrainement *ObservateurTrace = nullptr;
    // Trace d'exécution : l'observateur ci-dessus, la copie de ce que le dernier calcul
    // traçable a laissé (SuiviTrace::Memoriser), la fenêtre TForm20.
    SuiviTrace *Traces = nullptr;
    // Le panneau « Calcul en direct », dans son dock.
    PanneauDirect *CalculDirect = nullptr;

    // Actions (menus, barres d'outils, menus surgissants partagent les mêmes).
    QAction *Nouveau1, *Ouvrir1, *Enregistrer1, *Enregistrersous1, *Apercu1, *Imprimer1, *Configuration1, *Quitter1;
    QMenu *Reouvrir1 = nullptr;
    QAction *Defaire1, *Refaire1, *Couper1, *Copier1, *Coller1, *Supprimer1, *Selectionnertout1;
    QAction *Viderchemins1, *ViderViterbi1, *Viderprobabilites1, *Vidertout1;
    QAction *Zoomavant1, *Zoomarriere1, *Ajuster1;
    QAction *Editeretat1, *Parametres1, *Aleatoire1, *Verifier1, *Enumerer1, *Approchedirect1, *Forward1, *Backward1, *Viterbi1,
        *AppViterbi1, *AppBaumWelch1, *Voiralgorithmes1, *Rapport1;
    QAction *Ajouterunmotdepasse1, *Modifierlemotdepasse1, *Supprimerlemotdepasse1;
    QAction *Word1, *BlocNote1, *Calculatrice1, *Optionsgenerales1;
    QAction *Aide1, *Apropos1;
    QActionGroup *Palette = nullptr;
    QAction *Sourie, *Start, *Etat, *Arc, *Boucle;
    QToolBar *BarreOutils = nullptr;  // barre principale (fichier, édition, calculs)
    QToolBar *BarrePalette = nullptr; // outils de dessin
    QToolButton *ToolButtonOuvrir = nullptr;
    QToolButton *ToolButtonSecuriser = nullptr;
    QMenu *MenuSecuriser = nullptr;
};

// La porte des parties : définie avec TForm1 (editor/principale.cpp).
PartiesPrincipale &Parties(TForm1 &fenetre);
