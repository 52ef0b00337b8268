#pragma once
// Le document : l'état du modèle que la fenêtre principale affiche (registre des états et
// leurs boîtes, arcs du graphe, fichier, mot de passe, paramètres). Ses boîtes et son graphe
// sont des objets sans fenêtre ; le programme lui donne un canevas qui les crée en contrôles
// (THmm, TEtat2) sur son panneau : le modèle ne connaît pas les fenêtres qui le montrent.
// Il est la seule porte du modèle : chaque changement est une de ses opérations, qui range
// l'étape d'annulation, marque le modèle modifié et émet un seul signal `modifie`. Les
// fenêtres suivent ses signaux ; le registre, le nom du fichier, le mot de passe, l'état
// modifié et les journaux ne se lisent que par leurs accesseurs, et ne changent que par ses
// opérations.
#include "graph/couleurs.h"
#include "model/canevas.h"
#include "model/fichier.h"
#include "model/journal.h"
#include "model/parametres.h"

#include <QObject>
#include <QPair>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

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

    // `canevas` crée le graphe et les boîtes (il doit vivre plus longtemps que le document) ;
    // nul : des objets sans fenêtre (hmmcalc, essais), et le modèle reste tel qu'il est lu.
    explicit DocumentModele(CanevasModele *canevas = nullptr, QObject *parent = nullptr);
    ~DocumentModele() override;

    // Le graphe et la boîte de l'état k (0 : START), en lecture ; nul hors registre.
    const GrapheHmm &Graphe() const { return *graphe; }
    const BoiteEtat *Etat(int k) const { return k >= 0 && k < 100 ? etats[k] : nullptr; }
    // Les mêmes pour la vue qui les montre : indicateurs d'affichage (sélection, surlignage,
    // couleurs) et dessin, jamais le modèle, qui ne change que par les opérations.
    GrapheHmm *GrapheVue() const { return graphe.get(); }
    BoiteEtat *BoiteVue(int k) const { return k >= 0 && k < 100 ? etats[k] : nullptr; }
    // Nombre d'états en plus de START, présence de START, dernier numéro de nom automatique.
    int N() const { return n; }
    bool StartPresent() const { return startPresent; }
    int Dernier() const { return dernier; }
    // La boîte que vise l'éditeur (éditeur d'état, clavier) ; oubliée quand elle disparaît.
    const BoiteEtat *EtatCourant() const { return etatCourant; }
    void DefinirEtatCourant(const BoiteEtat *boite) { etatCourant = boite; }
    // Lus par les fenêtres ; seules les opérations ci-dessous les changent.
    const QString &MotDePasse() const { return motDePasseModele; } // "Vide" : aucun
    const QString &NomFichier() const { return nomFichier; }
    bool EstModifie() const { return estModifie; }
    // λ tiré du graphe par le dernier CalculerParametres, ou reporté par ReporterParametres.
    const ParametresModele &Parametres() const { return parametres; }

    // Couleurs données aux boîtes créées (options d'affichage) et à leur surlignage.
    void DefinirCouleursEtats(TCouleur fond, TCouleur stylo)
    {
        couleurFondEtat = fond;
        couleurStyloEtat = stylo;
    }
    void DefinirSurlignage(TCouleur couleur, int epaisseur)
    {
        couleurSurligne = couleur;
        epaisseurSurligne = epaisseur;
    }

    // Demande le mot de passe d'un modèle protégé ; rend true quand il est juste.
    void DefinirIdentification(std::function<bool(const QString &motDePasse)> identifier)
    {
        identification = std::move(identifier);
    }

    int RechercherIndice(const QString &nom, bool symbole) const;
    // Noms des états 1..N, dans l'ordre.
    QStringList NomsEtats() const;
    // Index de la boîte au registre (0 pour START), -1 quand elle n'y est pas.
    int IndiceBoite(const BoiteEtat *etat) const;
    bool PeutAjouterEtat() const { return n < CapaciteEtats; }

    // La ligne d'état d'une boîte (fichiers, historique, presse-papiers).
    static ContenuModele::Etat ContenuEtat(const BoiteEtat *boite);

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
    BoiteEtat *NouvelEtat(bool start, QPoint centre, const QRect *bande = nullptr);
    // Création d'un état décrit par sa ligne (START quand il en porte le nom) ; `tailleMinimale`
    // relève la boîte à la règle de taille minimale, sinon la géométrie est prise telle quelle.
    BoiteEtat *AjouterEtat(const ContenuModele::Etat &etat, bool tailleMinimale = true);
    // Collage d'un bloc d'états, décalés de `decalage` pixels, renommés pour rester uniques.
    void Coller(const QList<ContenuModele::Etat> &etats, int decalage);
    // Suppression des boîtes données (START compris) et de leurs arcs.
    void SupprimerEtats(const QList<const BoiteEtat *> &choisies);
    void DeplacerEtat(const BoiteEtat *boite, QPoint position);
    void RedimensionnerEtat(const BoiteEtat *boite, const QRect &bornes);
    // "Ajuster au texte" : la boîte revient à sa taille minimale. Peut lever EConversion
    // (étiquette illisible en redessinant les arcs) ; l'étape est alors déjà rangée.
    void AjusterEtat(const BoiteEtat *boite);
    // Arc (ou boucle quand source == destination) entre deux index d'états ; rend son index.
    int AjouterArc(int source, int destination);
    void SupprimerArc(int arc);
    void ChangerEtiquette(int arc, const QString &texte);
    // Étiquette tapée en place : chaque frappe l'écrit aussitôt (sans étape) ; la validation
    // range une seule étape, celle du texte d'avant l'édition, quand il a changé.
    void EcrireEtiquette(int arc, const QString &texte);
    void ValiderEtiquette(int arc, const QString &ancienne);
    // Arcs sortants d'un état : « Compléter » donne à l'arc ce qui manque aux autres arcs de sa
    // source pour faire 1 ; « Normaliser » ramène les arcs sortants de l'état à une somme de 1.
    // Une étape chacun ; false (rien ne change) quand il n'y a rien à faire : les autres
    // dépassent déjà 1, ou la somme est nulle.
    bool CompleterArc(int arc);
    bool NormaliserArcs(int source);
    // Éditeur d'état : nouveau nom et paires (symbole, probabilité). Jusqu'à trois étapes,
    // dans l'ordre : nom, nombre de symboles non nuls, symboles ; un seul signal.
    void ModifierEtat(const BoiteEtat *boite, const QString &nom, const QList<QPair<QString, QString>> &paires);
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

private:
    // Boîte créée par le canevas, aux couleurs des options ; posée par l'appelant.
    BoiteEtat *creerEtat();
    // La boîte k (celle qu'un appelant désigne) en écriture ; nulle hors registre.
    BoiteEtat *boite(const BoiteEtat *b) const;
    void supprimerEtat(BoiteEtat *etat);
    static void RemplirPaires(BoiteEtat *boite, const ContenuModele::Etat &etat);
    // Libère toutes les boîtes et tous les arcs.
    void vider();
    // Les arcs de la boîte suivent sa place.
    void redessinerArcsEtat(const BoiteEtat *etat);
    // Déroulement commun des opérations : instantané, changement, étape, Modifie, signal.
    // Rend true quand une étape a été rangée.
    template <class F>
    bool operation(const QString &description, F &&changement);
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
    BoiteEtat *placerNouvelle(const QString &nom, const ContenuModele::Etat *paires, const QRect &bornes,
                              bool tailleMinimale);
    bool restaurer(Journal &depuis, Journal &vers);
    QList<int> arcsSortants(int source) const;
    void ecrireArcs(const QList<int> &arcs, const QStringList &textes);
    // Les arcs de probabilité 0 ôtés ; une étiquette encore illisible ("??") les laisse.
    void oterArcsNuls();
    QString nomEtat(int indice) const;

    CanevasModele *canevas;
    // Dans une fenêtre, les boîtes chargées suivent la règle de taille de l'écran.
    bool fenetre;
    std::unique_ptr<GrapheHmm> graphe;
    BoiteEtat *etats[100] = {};
    int n = 0;
    bool startPresent = false;
    int dernier = 0;
    const BoiteEtat *etatCourant = nullptr;
    TCouleur couleurFondEtat = Couleurs::VertClair;
    TCouleur couleurStyloEtat = Couleurs::Bleu;
    TCouleur couleurSurligne = Couleurs::Bleu;
    int epaisseurSurligne = 3;
    std::function<bool(const QString &motDePasse)> identification;
    QString motDePasseModele = QStringLiteral("Vide");
    QString nomFichier;
    bool estModifie = false;
    ParametresModele parametres;
    Journal journalDefaire, journalRefaire;
};
