#pragma once
// TForm1 : la fenêtre principale, seule fenêtre de document. Elle porte le document
// (le modèle), le canevas, les menus et barres d'outils, et sert toutes les commandes.
// Ses parties (document, collaborateurs, actions) lui sont privées : editor/parties.h.
#include "calculs/contexte_calcul.h"
#include "editor/parties.h"

#include <QMainWindow>
#include <QStringList>

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

class TForm1 : public QMainWindow, public ResultatsCalcul, private PartiesPrincipale {
    Q_OBJECT
public:
    static inline const QString TitreApplication = QStringLiteral("hmmbench 1.0");

    // `argument` : le chemin donné sur la ligne de commande (vide sinon).
    explicit TForm1(const QString &argument = QString(), QWidget *parent = nullptr);
    ~TForm1() override;

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

    // "Editer l'état" : l'éditeur d'état sur EtatCourant (sauf START).
    void Editeretat1Click();

    // Options, galerie, "A propos ..." (editor/affichage.cpp).
    TForm19 *Optionsgenerales1Click();
    TForm10 *Voiralgorithmes1Click();
    TForm3 *Apropos1Click();

    // Algorithmes (editor/commandes_modele.cpp). "Vérifier le modèle" : le volet et le rapport.
    void Verifier1Click();
    // Ce que reçoivent les boîtes des algorithmes ; la fenêtre reçoit leurs résultats.
    ContexteCalcul Contexte();
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

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    friend PartiesPrincipale &Parties(TForm1 &fenetre);

    // Résultats des boîtes d'algorithmes (ResultatsCalcul), vers les listes et la trace.
    void AjouterProbabilite(const QString &sequence, const QString &probabilite, const QString &methode) override;
    void AfficherDuree(const QString &texte) override;
    void AfficherViterbi(const QStringList &etats, const QString &probabilite) override;
    void AfficherChemins(const TableDesChemins &table, long long meilleur) override;
    void TraceDisponible(const QString &nom) override;
    ObservateurEntrainement *ObservateurCalcul() override;

    // Les vues suivent le document : titre, légendes et états de "Defaire" et "Refaire",
    // outil START, menus du mot de passe. Branché sur les signaux du document.
    void ActualiserVues();
    void MettreAJourMenusMotDePasse();
    void MettreAJourTitre();
    void ConstruireMenuRecents();
    void ActualiserRecents(); // active / désactive chaque entrée selon l'existence du fichier
    // Options d'affichage : lit "Options.ini" et l'applique.
    void LireOptions();

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
