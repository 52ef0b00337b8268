#pragma once
// Les commandes de calcul de hmmcalc. Le modèle est lu en contenu de fichier ; λ et la
// vérification sont ceux que le document calcule du même contenu.
#include "arguments.h"
#include "algorithms/chrono.h"
#include "algorithms/grande_probabilite.h"
#include "algorithms/observateur.h"
#include "sortie_json.h"

#include <QJsonObject>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

struct ContenuModele;
struct EspaceTravail;
struct ParametresModele;

namespace Commandes {

using namespace Arguments;

// Écrit une ligne sur stdout ou stderr (la dernière erreur est gardée pour --format json).
void Ecrire(FILE *f, const QString &texte);

// --help (générale ou d'une commande), --version, --completion-bash : la réponse est écrite et
// son code rendu ; rien sinon, ni sur une ligne de commande fautive.
std::optional<int> AideOuVersion(const QStringList &args);
// generer, posterieur, exporter, importer, treillis.
bool EstCommandeApprentissage(const QString &commande);
// --format json demandé : un échec écrit alors aussi {"erreur", "code"} (voir Terminer).
void NoterFormat(const QStringList &args);

struct Options {
    QString commande, modele, sequence;
    QStringList sequences; // entraînements : toutes les séquences données (SEQUENCE répété)
    bool mot = false;
    bool echelle = false;
    bool historique = false;
    std::optional<QString> motDePasse, sortie, trace;
    std::optional<int> iterations;
    std::optional<long double> seuil;
    int chiffres = 15;
    bool json = false;
    bool chrono = false;

    bool Entrainement() const;
};

Options LireOptions(const QStringList &args);

class Sortie {
public:
    explicit Sortie(int chiffres, bool muet = false) : chiffres(chiffres), muet(muet) {}
    QString N(long double x) const;
    void Ligne(const QString &t) const;
    // N, M, états, symboles, puis π, A et B en colonnes séparées par des tabulations.
    void Tables(const ParametresModele &p) const;

private:
    int chiffres;
    bool muet; // --format json : le texte laisse la place à l'objet JSON
};

// Une exécution : ses options, sa sortie, l'objet JSON rempli par la commande, la durée du calcul.
class Execution {
public:
    explicit Execution(const Options &o);
    const Options &o;
    const Sortie s;
    QJsonObject r;
    // chemins --format json : la table dont Rendre écrit les chemins au fil de l'eau.
    const EspaceTravail *CheminsEnFlux = nullptr;
    // Les tableaux par séquence d'un entraînement, écrits par Rendre élément par élément.
    std::vector<SortieJson::TableauEnFlux> TableauxEnFlux;

    // --chrono : le temps processeur du calcul court de Demarrer à Arreter.
    void Demarrer() { chrono = ChronoCalcul(); }
    void Arreter() { duree = chrono.Millisecondes(); }
    // P(O|λ) en texte (log10 quand le calcul a été mis à l'échelle, puis pourquoi elle est nulle).
    void Probabilite(const ParametresModele &p, const EspaceTravail &e, const QString &prefixe);
    // Mis à l'échelle : la valeur étendue est 0, le texte et log10 P disent la vraie valeur.
    void JsonEchelle(const EspaceTravail &e, const QString &cle);
    // Écrit l'objet JSON (--format json) ; rend le code.
    int Rendre(int code);
    // La durée (--chrono), puis Rendre(Succes).
    int Reussir();

private:
    ChronoCalcul chrono;
    double duree = 0;
};

// Ce qui écrit des fichiers à côté du calcul : traces, modèle entraîné.
class Complements {
public:
    virtual ~Complements() = default;
    // --trace ou entraînement, avant tout calcul : le modèle gardé, les modèles de trace prêts.
    virtual void Preparer(const ContenuModele &contenu) = 0;
    // --trace d'une évaluation (forward, backward, viterbi, direct), après son calcul.
    virtual void TracerEvaluation(const QString &commande, const ParametresModele &p, EspaceTravail &e) = 0;
    // baumwelch, entrainement-viterbi : séquences découpées, chrono démarré.
    virtual void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e) = 0;
};

// La boucle d'un entraînement sur la valeur du modèle : elle rend son issue et désigne λ appris.
using EntrainementDocument =
    std::function<IssueEntrainement(Entrainement, ObservateurEntrainement *, ModeCalcul, const ParametresModele **)>;
// Un entraînement (baumwelch, entrainement-viterbi) et ses sorties : séquences découpées, chrono
// démarré. `suivant` observe aussi (la trace) ; sans `document`, λ appris est une copie de λ.
void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *suivant,
               const EntrainementDocument &document);

// Le modèle du fichier `chemin`, son mot de passe vérifié quand il en a un (--mot-de-passe,
// entrée standard ou HMMCALC_MOT_DE_PASSE, lu seulement alors). Lève Echec.
ContenuModele ChargerModele(const QString &chemin, const std::optional<QString> &motDePasse);

// SEQUENCE « - » : l'entrée standard (bornée).
QString LireEntree();
// La séquence d'un argument : lui-même, ou pour « - » l'entrée standard, fins de ligne ôtées
// (ou changées en espaces avec --mot).
QString LireSequence(const QString &argument, bool parMot);

// Les commandes de LireOptions ; `complements` est exigé pour --trace et les entraînements.
int Executer(const Options &o, Complements *complements);

// Le code de sortie d'une exception levée par une commande, son message écrit sur l'erreur.
int CodeEchec(std::exception_ptr x);
// Fin du processus sans démonter Qt : rapport JSON d'un échec, sorties vidées, _Exit.
[[noreturn]] void Terminer(int code);

}
