#pragma once
// Format des modèles : lignes en clair, brouillage, lecture validée.
// Le même format sert aux fichiers .hmm, aux instantanés d'annulation et au presse-papiers.
#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

// Contenu d'un modèle tel qu'il est écrit, indépendant des contrôles.
struct ContenuModele {
    struct Etat {
        QString Nom;
        int Left = 0, Top = 0, Height = 0, Width = 0;
        QList<QPair<QString, QString>> Paires; // (symbole, probabilité)
        bool operator==(const Etat &) const = default;
    };
    struct Arc {
        QPoint Debut, Fin, Centre, PosEtiquette;
        QString Etiquette;
        int Rayon = 0;
        int Source = 0, Destination = 0;
        bool operator==(const Arc &) const = default;
    };
    QString MotDePasse = QStringLiteral("Vide");
    bool Start = false;
    int Dernier = 0;
    QList<Etat> Etats; // START en tête quand Start
    QList<Arc> Arcs;

    bool operator==(const ContenuModele &) const = default;
    int N() const { return int(Etats.size()) - (Start ? 1 : 0); }
    // L'état d'index de registre k (0 = START, puis 1..N comme dans le document), ou nul.
    const Etat *EtatRegistre(int k) const
    {
        const qsizetype x = qsizetype(k) - (Start ? 0 : 1);
        return (x >= 0 && x < Etats.size()) ? &Etats[x] : nullptr;
    }
};

namespace FichierModele {
constexpr int Cle = 5871;
// Bornes de lecture : un modèle de 99 états et 98 arcs tient en quelques dizaines de Kio ;
// au-delà de 16 Mio le fichier n'est pas lu. Positions et tailles des boîtes et des arcs :
// au plus PositionMax en valeur absolue (pas de débordement des rectangles à l'affichage).
constexpr qint64 LimiteTaille = 16 * 1024 * 1024;
constexpr int PositionMax = 100000;
// Ce que les contrôles portent au plus (boîte : paires ; graphe : arcs), sans dépendre d'eux.
constexpr int CapacitePaires = 98;
constexpr int CapaciteArcs = 98;

// Brouillage octet par octet (ou exclusif avec l'octet bas de la clé) ; sa propre inverse.
QByteArray Brouiller(const QByteArray &texte, int cle = Cle);

// Ligne d'état : Nom NbSymboles Left Top Height Width (symbole probabilité)*, chaque jeton suivi d'un espace.
QString LigneEtat(const ContenuModele::Etat &e);
// Lit une ligne d'état ; false et *erreur quand elle ne suit pas le format.
bool LireLigneEtat(const QString &ligne, ContenuModele::Etat *e, QString *erreur);

QStringList Ecrire(const ContenuModele &c);
// La règle de lecture commune au programme et à hmmcalc, appliquée par Lire : les paires et les
// arcs de probabilité 0 sont ôtés (comme Actualiser les ôte des boîtes et du graphe) ; les
// doublons restent, dans l'ordre du fichier, et le calcul des paramètres les lit de la même
// façon sur les deux chemins.
void Normaliser(ContenuModele *c);
// Lecture validée : en cas d'erreur, false et un message français (sans le nom du fichier).
bool Lire(const QStringList &lignes, ContenuModele *c, QString *erreur);

// Lecture validée avec le message complet qui nomme le fichier : « Le fichier « x » n'est pas
// un modèle valide :\n... ».
bool LireContenu(const QStringList &lignes, const QString &nomPourErreur, ContenuModele *c, QString *erreur);
// Le contenu d'un fichier .hmm ; sinon false et « Le fichier « x » ne peut pas être ouvert :\n... »
// ou le message de LireContenu. Le mot de passe n'est pas demandé ici.
bool OuvrirContenu(const QString &chemin, ContenuModele *c, QString *erreur);
// « Le fichier « x » ne peut pas être ouvert :\n<cause>. »
QString MessageOuverture(const QString &chemin, const QString &cause);

// Fichier brouillé <-> lignes en clair. Aucune copie en clair n'est écrite sur le disque.
bool LireFichier(const QString &chemin, QStringList *lignesClaires, QString *erreur);
// Le découpage et le débrouillage de LireFichier, sur des octets déjà lus.
bool LignesDepuisOctets(const QByteArray &octets, QStringList *lignesClaires, QString *erreur);
// Écrit seulement ce que LireFichier et Lire accepteraient (sinon false, rien d'écrit).
bool EcrireFichier(const QString &chemin, const QStringList &lignesClaires, QString *erreur);
// Vrai quand ces lignes, écrites, se reliraient à l'identique : textes portables, taille sous
// LimiteTaille, format accepté par Lire ; sinon *erreur en français.
bool Relisible(const QStringList &lignesClaires, QString *erreur);
// Forme stockée des lignes : brouillées, chacune suivie de CR LF.
QByteArray Octets(const QStringList &lignesClaires);

// Un texte (nom, symbole, mot de passe) que le format peut porter : non vide, sans blanc,
// tout en Windows-1252 et sans caractère dont l'octet brouillé serait CR, LF ou NUL.
bool TextePortable(const QString &texte, QString *raison = nullptr);
}
