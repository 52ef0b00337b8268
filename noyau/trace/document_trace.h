#pragma once
// Ce que partagent toutes les traces d'exécution : fichiers sous "Modeles", marqueurs "!!"
// et "???", format des nombres, balises des tableaux et tableaux du modèle (π, A, B).
#include <QString>
#include <QStringList>
#include <stdexcept>

struct ParametresModele;
struct EspaceTravail;

// Échec d'une trace (fichier illisible ou impossible à écrire, modèle de trace incomplet) :
// le message, en français, nomme le fichier.
class ETrace : public std::runtime_error {
public:
    explicit ETrace(const QString &message);
    QString Message() const;
};

namespace Trace {

// Balises d'ouverture des tableaux : bordé et de disposition (ce dernier toujours suivi de "<tr>").
inline const QString BaliseTableau = QStringLiteral(
    "<table border=\"1\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: collapse\" "
    "bordercolor=\"#111111\" id=\"AutoNumber1\">");
inline const QString BaliseDisposition = QStringLiteral(
    "<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" style=\"border-collapse: collapse\" "
    "bordercolor=\"#111111\" id=\"AutoNumber1\">");

// Préfixes des lignes de suite des formules développées (alignées sous le premier "=").
inline const QString P11 = QStringLiteral(
    "<BR>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;=&nbsp;");
inline const QString P11B = P11 + QStringLiteral("<b>");

// L'image du modèle, relative à "Trace.htm".
inline const QString FragmentImage = QStringLiteral("<img src=\"A_directe_fichiers/Hmm.bmp\"></img>");

inline const QString Marqueur = QStringLiteral("!!");
inline const QString MarqueurJournal = QStringLiteral("???");

// Chemins sous le répertoire du programme.
QString CheminModele(const QString &nom);   // Modeles/<nom>
QString CheminDocument();                    // Modeles/Trace.htm
QString CheminImage();                       // Modeles/A_directe_fichiers/Hmm.bmp
QString CheminJournal();                     // APP.txt

// Nombre déjà formaté (Nombres::Formater) dont l'exposant est réécrit en puissance de dix.
QString FormaterExposant(const QString &texte);

// Remplace le premier "!!" du document par le fragment ; false quand il n'en reste aucun.
bool RemplirMarqueur(QString &document, const QString &fragment);
// Même remplacement, mais un marqueur manquant est une erreur qui nomme le modèle de trace.
void RemplirMarqueurOuEchouer(QString &document, const QString &fragment, const QString &modele);

// Nom d'état ou de symbole tel qu'il entre dans la page, caractères de commande rendus
// visibles (Textes::Visible). Inchangé sinon, sauf s'il contient "!!" ou
// "???" : ses "!" et "?" sont alors écrits en références numériques (même rendu), pour que la
// recherche des marqueurs ne le prenne jamais pour l'un d'eux.
QString Nom(const QString &nom);

// Symboles[o] (o = 0 : le morceau de séquence qui n'est pas un symbole, texte vide) ; lève
// EHorsBornes hors de 0..M.
QString Symbole(const ParametresModele &p, int o);

// "a-b-a" entre guillemets : les symboles de O[1..T].
QString TexteObservations(const ParametresModele &p, const EspaceTravail &e);

// Cellules et lignes des tableaux.
QString CelluleEtat(const QString &nom);        // en-tête de colonne d'un état
QString CelluleSymbole(const QString &symbole); // en-tête de colonne d'un symbole, entre apostrophes
QString CelluleValeur(const QString &valeur);
QString EnteteLigne(const QString &libelle);    // début de ligne d'une matrice
inline const QString CelluleCoin = QStringLiteral("<tr><td>&nbsp;</td>");

// Le fragment des tableaux du modèle : π, puis A et B côte à côte.
QString FragmentTablesModele(const ParametresModele &p, bool avecExposants);
// Remplace le prochain "!!" du document par ce fragment.
void EcrireTablesModele(QString &document, const ParametresModele &p, bool avecExposants,
                        const QString &modele = QString());

// Fichiers texte des traces (Windows-1252, fins de ligne gardées telles quelles).
QString LireFichier(const QString &chemin);
void EcrireFichier(const QString &chemin, const QString &texte);
// Le texte entier d'un modèle de trace.
QString LireModele(const QString &nom);

}
