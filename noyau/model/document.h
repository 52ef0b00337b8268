#pragma once
// Le document : l'état du modèle que la fenêtre principale affiche (registre des états,
// arcs de Hmm1, fichier, mot de passe, paramètres). Les opérations sur le graphe passent
// toutes par lui ; la fenêtre s'y branche par les rappels ci-dessous.
#include "graph/couleurs.h"
#include "model/fichier.h"
#include "model/parametres.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class THmm;
class TEtat2;
class QWidget;

// Résultat d'un chargement (DessinerFichier / DefaireFichier).
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
    int N = 0;
    bool StartPresent = false;
    int Dernier = 0;
    TEtat2 *EtatCourant = nullptr;
    QString MotDePasse = QStringLiteral("Vide");
    QString NomFichier;
    bool Modifie = false;
    ParametresModele Parametres;

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
    bool PeutAjouterEtat() const { return N < CapaciteEtats; }

    // Une boîte <-> sa ligne d'état (fichiers, historique, presse-papiers).
    static ContenuModele::Etat ContenuEtat(const TEtat2 *boite);
    static void RemplirPaires(TEtat2 *boite, const ContenuModele::Etat &etat);

    // Lignes en clair du modèle (format des fichiers, de l'historique et du presse-papiers).
    QStringList LignesModele() const;
    // Forme stockée : chaque ligne brouillée.
    QStringList PreparerFichier() const;
    // Enregistre de façon atomique ; false et *erreur quand l'écriture échoue.
    bool EnregistrerFichier(const QString &chemin, QString *erreur);

    // Chargement d'un fichier brouillé dans le graphe (vidé d'abord).
    Chargement DessinerFichier(const QString &chemin, QString *erreur);
    // Même chargement sans question de mot de passe (instantanés d'annulation).
    Chargement DefaireFichier(const QString &chemin, QString *erreur);
    // Chargement depuis des lignes en clair.
    Chargement ChargerLignes(const QStringList &lignes, bool demanderMotDePasse, const QString &nomPourErreur,
                             QString *erreur);

    // Libère toutes les boîtes et tous les arcs.
    void Vider();

    // Paramètres λ tirés du graphe (ne change rien au graphe). Lève EConversion, ETropDeSymboles.
    void CalculerParametres();
    // Rapport de vérification, ligne par ligne ; rend true quand le modèle est correct.
    bool VerifierModele(QStringList &rapport);

signals:
    void modeleCharge();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    bool surfacePropre = false;
};
