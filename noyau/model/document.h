#pragma once
// Le document : l'état du modèle que la fenêtre principale affiche (registre des états,
// arcs de Hmm1, fichier, mot de passe, paramètres). Il est la seule porte du modèle : chaque
// changement est une de ses opérations, qui range l'étape d'annulation, marque le modèle
// modifié et émet un seul signal `modifie`. Les fenêtres lisent ses champs et suivent ses
// signaux ; le nom du fichier, le mot de passe, l'état modifié et les journaux ne se lisent
// que par leurs accesseurs, et ne changent que par ses opérations.
#include "graph/couleurs.h"
#include "model/fichier.h"
#include "model/journal.h"
#include "model/parametres.h"

#include <QObject>
#include <QPair>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class THmm;
class TEtat2;
class QWidget;

// Résultat d'un chargement de fichier.
enum class Chargement {
    Reussi,
    MotDePasseRefuse, // identification annulée : rien n'est chargé
    Erreur            // fichier illisible ou mal formé : rien n'est chargé, message dans *erreur
};

class DocumentModele : public QObject {
    Q_OBJECT
public:
    static constexpr int CapaciteEtats = 99; // états en plus de START

    // `surface` : le panneau qui porte Hmm1 et les boîtes ; nul = panneau propre (sans fenêtre).
    explicit DocumentModele(QWidget *surface = nullptr, QObject *parent = nullptr);
    ~DocumentModele() override;

    QWidget *Surface = nullptr;
    THmm *Hmm1 = nullptr;
    TEtat2 *Etats[100] = {};
    // Nombre d'états en plus de START, présence de START, dernier numéro de nom automatique.
    int N() const { return n; }
    bool StartPresent() const { return startPresent; }
    int Dernier() const { return dernier; }
    // La boîte que vise l'éditeur (éditeur d'état, clavier) ; oubliée quand elle disparaît.
    TEtat2 *EtatCourant() const { return etatCourant; }
    void DefinirEtatCourant(TEtat2 *boite) { etatCourant = boite; }
    // Lus par les fenêtres ; seules les opérations ci-dessous les changent.
    const QString &MotDePasse() const { return motDePasseModele; } // "Vide" : aucun
    const QString &NomFichier() const { return nomFichier; }
    bool EstModifie() const { return estModifie; }
    // λ tiré du graphe par le dernier CalculerParametres, ou reporté par ReporterParametres.
    const ParametresModele &Parametres() const { return parametres; }

    // Couleurs données aux boîtes créées (options d'affichage).
    TCouleur CouleurFondEtat = Couleurs::VertClair;
    TCouleur CouleurStyloEtat = Couleurs::Bleu;
    TCouleur CouleurSurligne = Couleurs::Bleu;
    int EpaisseurSurligne = 3;

    // Appelé pour chaque boîte créée : la fenêtre y branche ses gestionnaires.
    std::function<void(TEtat2 *)> SurCreationEtat;
    // Demande le mot de passe d'un modèle protégé ; rend true quand il est juste.
    std::function<bool(const QString &motDePasse)> Identifier;

    TEtat2 *CreerEtat();
    int RechercherIndice(const QString &nom, bool symbole) const;
    void RedessinerArcsEtat(TEtat2 *etat);
    void SupprimerEtat(TEtat2 *etat);
    // Noms des états 1..N, dans l'ordre.
    QStringList NomsEtats() const;
    // Index de la boîte dans Etats (0 pour START), -1 quand elle n'y est pas.
    int IndiceBoite(const TEtat2 *etat) const;
    bool PeutAjouterEtat() const { return n < CapaciteEtats; }

    // Une boîte <-> sa ligne d'état (fichiers, historique, presse-papiers).
    static ContenuModele::Etat ContenuEtat(const TEtat2 *boite);
    static void RemplirPaires(TEtat2 *boite, const ContenuModele::Etat &etat);

    // Le modèle tel qu'il s'écrit (noms, paires, arcs et leurs étiquettes, positions).
    ContenuModele Contenu() const;
    // Lignes en clair du modèle (format des fichiers, de l'historique et du presse-papiers).
    QStringList LignesModele() const;
    // Enregistre de façon atomique ; false et *erreur quand l'écriture échoue.
    bool EnregistrerFichier(const QString &chemin, QString *erreur);

    // Chargement d'un fichier brouillé dans le graphe (vidé d'abord).
    Chargement DessinerFichier(const QString &chemin, QString *erreur);
    // Chargement depuis des lignes en clair.
    Chargement ChargerLignes(const QStringList &lignes, bool demanderMotDePasse, const QString &nomPourErreur,
                             QString *erreur);

    // Libère toutes les boîtes et tous les arcs.
    void Vider();
    // Pose ce contenu tel quel, boîtes et arcs compris, sans lecture, sans règle ni étape :
    // les modèles construits par les programmes d'essai et les bancs. Émet modeleCharge.
    void PoserContenu(const ContenuModele &c);

    // Paramètres λ tirés du graphe dans Parametres() (ne change rien au graphe). Lève
    // EConversion, ETropDeSymboles.
    void CalculerParametres();
    // Rapport de vérification, ligne par ligne ; rend true quand le modèle est correct.
    bool VerifierModele(QStringList &rapport) const;

    // ---- Opérations : une étape d'annulation (sauf mention), Modifie, un signal `modifie` ----

    // Journaux d'annulation et de rétablissement (valeurs du modèle, en mémoire).
    const Journal &Annulations() const { return journalDefaire; }
    const Journal &Retablissements() const { return journalRefaire; }

    // Création d'un état à la souris : START, ou un état au nom automatique. Sans `bande`
    // (nul), la boîte de taille minimale est centrée sur `centre`. Nul quand START
    // existe déjà ou que le modèle est plein.
    TEtat2 *NouvelEtat(bool start, QPoint centre, const QRect *bande = nullptr);
    // Création d'un état décrit par sa ligne (START quand il en porte le nom) ; `tailleMinimale`
    // relève la boîte à la règle de taille minimale, sinon la géométrie est prise telle quelle.
    TEtat2 *AjouterEtat(const ContenuModele::Etat &etat, bool tailleMinimale = true);
    // Collage d'un bloc d'états, décalés de `decalage` pixels, renommés pour rester uniques.
    void Coller(const QList<ContenuModele::Etat> &etats, int decalage);
    // Suppression des boîtes données (START compris) et de leurs arcs.
    void SupprimerEtats(const QList<TEtat2 *> &choisies);
    void DeplacerEtat(TEtat2 *boite, QPoint position);
    void RedimensionnerEtat(TEtat2 *boite, const QRect &bornes);
    // "Ajuster au texte" : la boîte revient à sa taille minimale. Peut lever EConversion
    // (étiquette illisible en redessinant les arcs) ; l'étape est alors déjà rangée.
    void AjusterEtat(TEtat2 *boite);
    // Arc (ou boucle quand source == destination) entre deux index d'états ; rend son index.
    int AjouterArc(int source, int destination);
    void SupprimerArc(int arc);
    void ChangerEtiquette(int arc, const QString &texte);
    // Étiquette tapée en place : chaque frappe l'écrit aussitôt (sans étape) ; la validation
    // range une seule étape, celle du texte d'avant l'édition, quand il a changé.
    void EcrireEtiquette(int arc, const QString &texte);
    void ValiderEtiquette(int arc, const QString &ancienne);
    // Éditeur d'état : nouveau nom et paires (symbole, probabilité). Jusqu'à trois étapes,
    // dans l'ordre : nom, nombre de symboles non nuls, symboles ; un seul signal.
    void ModifierEtat(TEtat2 *boite, const QString &nom, const QList<QPair<QString, QString>> &paires);
    // Report de λ sur les étiquettes et les probabilités des boîtes ; λ devient Parametres().
    void ReporterParametres(const ParametresModele &lambda, const QString &description);
    // « Probabilités aléatoires » : les étiquettes des arcs et les probabilités des symboles
    // tirées de la graine (Aleatoire::Remplir), en une étape ; la structure ne change pas.
    void RemplirAuHasard(quint32 graine);
    // Remplace tout le modèle par ces lignes (import) : une étape d'annulation ; rien ne change
    // et false quand les lignes ne forment pas un modèle.
    bool Remplacer(const QStringList &lignes, const QString &description, QString *erreur);
    // Défaire / Refaire : échange le modèle avec la dernière étape du journal ; false quand le
    // journal est vide.
    bool Defaire();
    bool Refaire();

    // ---- Sans étape d'annulation : signal `etatChange` ----

    // Ouverture d'un fichier (Modifie remis à faux, NomFichier tenu à jour).
    Chargement Ouvrir(const QString &chemin, QString *erreur);
    // Enregistrement sous `chemin`, qui devient le nom du document.
    bool Enregistrer(const QString &chemin, QString *erreur);
    // Nouveau mot de passe ("Vide" : aucun) ; le modèle est modifié.
    void ChangerMotDePasse(const QString &motDePasse);
    // Document neuf au premier affichage de la fenêtre.
    void Reinitialiser();

signals:
    void modeleCharge();
    // Après chaque opération : la description de sa (dernière) étape d'annulation.
    void modifie(const QString &description);
    // Modifie, NomFichier ou MotDePasse changés sans étape d'annulation.
    void etatChange();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    // Déroulement commun des opérations : instantané, changement, étape, Modifie, signal.
    template <class F>
    void operation(const QString &description, F &&changement);
    void ranger(const QString &description, const ContenuModele &avant);
    // Remplace le graphe par ce contenu (déjà lu et validé) ; émet modeleCharge.
    void installer(const ContenuModele &c);
    // Les boîtes et les arcs de ce contenu, tels quels (commun à installer et PoserContenu).
    void poser(const ContenuModele &c);
    // Règle de taille minimale appliquée aux boîtes chargées ; leurs arcs suivent (ni étape ni
    // Modifie : c'est la mise en forme du chargement dans une fenêtre).
    void appliquerTaillesMinimales();
    void terminer(const QString &description);
    // Étiquettes et probabilités de ce contenu (même structure) écrites dans les boîtes et le graphe.
    void ecrireValeurs(const ContenuModele &c);
    TEtat2 *placerNouvelle(const QString &nom, const ContenuModele::Etat *paires, const QRect &bornes,
                           bool tailleMinimale);
    bool restaurer(Journal &depuis, Journal &vers);
    QString nomEtat(int indice) const;

    bool surfacePropre = false;
    int n = 0;
    bool startPresent = false;
    int dernier = 0;
    TEtat2 *etatCourant = nullptr;
    QString motDePasseModele = QStringLiteral("Vide");
    QString nomFichier;
    bool estModifie = false;
    ParametresModele parametres;
    Journal journalDefaire, journalRefaire;
};
