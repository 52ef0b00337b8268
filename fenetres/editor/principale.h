#pragma once
// TForm1 : la fenêtre principale, seule fenêtre de document. Elle porte le document
// (le modèle), le canevas, les menus et barres d'outils, et sert toutes les commandes.
#include "algorithms/espace.h"
#include "calculs/contexte_calcul.h"
#include "model/document.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QToolButton;
class QSplitter;
class TEtat2;
class CanevasFenetre;
class EditeurSouris;
class Annulation;
class PressePapiers;
class VueZoom;
class ImpressionModele;
class TForm19;
class TForm10;
class TForm3;
class TForm4;
class TForm11;
class TForm12;
class TForm13;
class TForm14;
class TForm15;
class TForm16;
class TForm17;
class ListesResultats;
class PanneauVerification;
class ObservateurEntrainement;
class SuiviTrace;
class PanneauDirect;

class TForm1 : public QMainWindow, public ResultatsCalcul {
    Q_OBJECT
public:
    static inline const QString TitreApplication = QStringLiteral("hmmbench 1.0");

    // `argument` : le chemin donné sur la ligne de commande (vide sinon).
    explicit TForm1(const QString &argument = QString(), QWidget *parent = nullptr);
    ~TForm1() override;

    DocumentModele *Document = nullptr;
    QWidget *Panneau = nullptr; // le panneau de dessin : Hmm1 et les boîtes
    CanevasFenetre *Canevas = nullptr; // crée les contrôles du document sur le panneau

    // Points d'accroche remplaçables par les tests (aucun processus, aucune boîte système).
    std::function<void()> LancerInstance;          // nouvelle instance du programme
    std::function<QString()> DemanderOuverture;     // boîte d'ouverture ; vide = annulé
    std::function<QString()> DemanderEnregistrement; // boîte d'enregistrement ; vide = annulé
    std::function<bool(const QString &)> DemanderMotDePasse; // identification à l'ouverture

    // Première activation (une seule fois) : curseurs, état, récents, modèle à ouvrir, options.
    void PremiereActivation();

    // Commandes du menu "Fichier".
    void Nouveau1Click();
    void Ouvrir1Click();
    void OuvrirRecent(const QString &libelle);
    bool Enregistrer1Click();      // false quand rien n'a été enregistré
    bool Enregistrersous1Click();  // false quand annulé ou en échec
    void Quitter1Click();

    // Mot de passe.
    void Ajouterunmotdepasse1Click();
    void Modifierlemotdepasse1Click();
    void Supprimerlemotdepasse1Click();
    void MettreAJourMenusMotDePasse();

    // Les vues suivent le document : titre, légendes et états de "Defaire" et "Refaire",
    // outil START, menus du mot de passe. Branché sur les signaux du document.
    void ActualiserVues();

    // Édition à la souris et au clavier, journaux d'annulation, presse-papiers des états.
    EditeurSouris *Souris = nullptr;
    Annulation *Historique = nullptr;
    PressePapiers *Presse = nullptr;
    // "Editer l'état" : l'éditeur d'état sur EtatCourant (sauf START).
    void Editeretat1Click();

    // Options d'affichage : lit "Options.ini" et l'applique.
    void LireOptions();

    // Zoom, impression, options, galerie, "A propos ..." (editor/affichage.cpp).
    VueZoom *Zoom = nullptr;
    ImpressionModele *Impressions = nullptr;
    TForm19 *Optionsgenerales1Click();
    TForm10 *Voiralgorithmes1Click();
    TForm3 *Apropos1Click();

    // Algorithmes (editor/commandes_modele.cpp) : l'espace de travail que chaque calcul
    // écrase et que la trace lit ensuite, les trois listes de résultats, le volet de
    // vérification sous le canevas.
    EspaceTravail Espace;
    ListesResultats *Listes = nullptr;
    PanneauVerification *Verification = nullptr;
    QSplitter *SeparateurCentral = nullptr; // listes | canevas et volet
    QSplitter *SeparateurCanevas = nullptr; // canevas / volet de vérification
    // La trace d'exécution s'attache ici pour suivre les entraînements (nul : aucune trace).
    ObservateurEntrainement *ObservateurTrace = nullptr;
    // Trace d'exécution (trace/suivi_trace.h) : l'observateur ci-dessus, la copie de ce que le
    // dernier calcul traçable a laissé (SuiviTrace::Memoriser), la fenêtre TForm20.
    SuiviTrace *Traces = nullptr;
    // Le panneau « Calcul en direct » (editor/calcul_direct.cpp), dans son dock.
    PanneauDirect *CalculDirect = nullptr;
    // Lance un programme extérieur (Outils) ; remplaçable par les tests.
    std::function<void(const QString &programme, const QStringList &arguments)> LancerProgramme;

    // "Vérifier le modèle" : le volet (85 pixels) et le rapport.
    void Verifier1Click();
    // Ce que reçoivent les boîtes des algorithmes ; la fenêtre reçoit leurs résultats.
    ContexteCalcul Contexte();
    void AjouterProbabilite(const QString &sequence, const QString &probabilite, const QString &methode) override;
    void AfficherDuree(const QString &texte) override;
    void AfficherViterbi(const QStringList &etats, const QString &probabilite) override;
    void AfficherChemins(const TableDesChemins &table, long long meilleur) override;
    void TraceDisponible(const QString &nom) override;
    ObservateurEntrainement *ObservateurCalcul() override;
    // Avant un algorithme : vérifie le modèle ; s'il est incorrect, propose le rapport.
    bool ModelePretPourCalcul();
    TForm16 *Enumerer1Click();
    TForm12 *Approchedirect1Click();
    TForm13 *Forward1Click();
    TForm14 *Backward1Click();
    TForm15 *Viterbi1Click();
    TForm17 *AppViterbi1Click();
    TForm11 *AppBaumWelch1Click();
    TForm4 *Parametres1Click();
    // "Probabilités aléatoires..." : la graine demandée, puis le tirage (une étape).
    void Aleatoire1Click();
    // "Voir la trace d'exécution" (Rapport1, ToolButton23).
    void VoirTrace();
    // "Microsoft Word", "Bloc Note", "Calculatrice" : le premier programme trouvé de la liste.
    QStringList ProgrammesOutil(const QAction *outil) const;
    void LancerOutil(const QStringList &candidats);

    void MettreAJourTitre();
    void ConstruireMenuRecents();
    void ActualiserRecents(); // active / désactive chaque entrée selon l'existence du fichier

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

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void creerActions();
    void creerMenus();
    void creerBarres();
    void creerRaccourcis();
    void BrancherAffichage();
    void BrancherModele();
    void BrancherVues();
    // Ouvre un chemin choisi : ici quand la fenêtre est libre, sinon dans une nouvelle instance.
    void ouvrirChemin(const QString &chemin);
    void chargerIci(const QString &chemin);

    bool premiereActivation = true;
    QString argumentDemarrage;
};
