#pragma once
// Ce que les commandes de hmmcalc partagent pour lire leurs arguments : codes de sortie, échec
// porteur de son message, et la table des commandes et des options d'où sortent l'analyse de
// la ligne de commande (QCommandLineParser), l'aide de chaque commande et la complétion bash.
#include <QHash>
#include <QList>
#include <QStringList>
#include <optional>

namespace Arguments {

// 0 succès ; 1 l'entrée ne se calcule pas (modèle incorrect, séquence impossible, trop de
// chemins) ; 2 mauvais usage (ligne de commande, fichier illisible, mot de passe).
enum Code { Succes = 0, Refus = 1, Usage = 2 };

// Échec d'une commande : son code de sortie et le message écrit sur l'erreur standard.
struct Echec {
    int code;
    QString message;
};

struct Commande {
    QString nom;
    QString arguments; // « MODELE.hmm SEQUENCE »
    QString aide;
    QStringList notes; // paragraphes communs (Notes()) repris dans son aide
};

struct Option {
    QString nom;           // « format » pour --format
    QString valeur;        // nom de la valeur dans l'aide ; vide pour une option sans valeur
    QString aide;
    QStringList commandes; // les commandes qui l'acceptent ; vide : toutes
    QStringList mots;      // complétion de la valeur : ces mots...
    QString fichiers;      // ... ou ces fichiers (motif bash, « *.hmm »)
};

const QList<Commande> &TableCommandes();
const QList<Option> &TableOptions();

// Une ligne de commande lue d'après la table.
struct Lecture {
    QString commande;                // premier argument qui n'est pas une option
    QStringList positions;           // les suivants
    QStringList options;             // noms des options données
    QHash<QString, QString> valeurs; // la dernière valeur de chaque option à valeur
    bool aide = false, version = false, completion = false;
    std::optional<Echec> erreur;     // la première faute d'usage

    bool A(const QString &nom) const { return options.contains(nom); }
    std::optional<QString> Valeur(const QString &nom) const;
};

// Lit sans rien lever : une option inconnue, une valeur manquante ou en trop, une commande
// inconnue, une option que la commande n'accepte pas sont notées dans erreur.
Lecture Lire(const QStringList &args);
// Lire, et l'échec d'usage s'il y en a un.
Lecture Analyser(const QStringList &args);

// « hmmcalc forward MODELE.hmm SEQUENCE [OPTIONS] »
QString Synopsis(const QString &commande);
// L'aide générale (commande vide) ou celle d'une commande et de ses seules options.
QString Aide(const QString &commande);
// Le script de complétion bash, tiré de la table.
QString CompletionBash();

// La valeur de --chiffres : un entier de 1 à 30.
int Chiffres(const QString &valeur);
// Le mot de passe : celui de --mot-de-passe (« - » : la première ligne de l'entrée standard),
// sinon la variable HMMCALC_MOT_DE_PASSE. Lu seulement quand le modèle est protégé.
std::optional<QString> MotDePasse(const std::optional<QString> &option);

}
