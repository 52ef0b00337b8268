#pragma once
// λ = (π, A, B) tiré du graphe. Indices à partir de 1 ; l'index 0 existe, vaut 0, n'est pas lu.
#include "model/vecteur.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

struct ContenuModele;

struct ParametresModele {
    static constexpr int CapaciteSymboles = 99;
    static constexpr int Taille = 100;

    int N = 0;
    // Noms des états relevés par CalculerParametres (Noms[0] = "START") : les calculs et
    // leurs textes ne dépendent pas des boîtes, qui peuvent changer pendant un dialogue.
    QString Noms[Taille];
    int M = 0;
    QString Symboles[Taille];
    VecteurVerifie<long double> PI;
    VecteurVerifie<VecteurVerifie<long double>> A;
    VecteurVerifie<VecteurVerifie<long double>> B;

    // Index du symbole dans Symboles[1..M] (le dernier trouvé), ou -1.
    int RechercherSymbole(const QString &nom) const;
    // Nom de l'état i (1..N), "START" pour 0.
    QString NomEtat(int i) const;
    // Tailles des vecteurs pour n états et m symboles (valeurs gardées quand elles tiennent,
    // cases nouvelles à 0) ; ne touche ni aux noms ni aux symboles.
    void Dimensionner(int n, int m);
};

// Un 100e symbole distinct : le modèle est refusé avec ce message.
class ETropDeSymboles : public std::runtime_error {
public:
    ETropDeSymboles();
    QString Message() const;
};

// Le graphe d'un modèle relevé une fois, pour les parcours de toutes les paires d'états :
// l'index de registre de chaque état d'après son nom (RechercherIndice, avec des noms en double
// le dernier répond pour tous) et l'arc de chaque paire (ExisteARC, le dernier trouvé). Le
// relevé coûte O(N + arcs), chaque question O(1). Index de registre : 0 pour START, 1..N.
class IndexGraphe {
public:
    explicit IndexGraphe(const ContenuModele &contenu);
    // RechercherIndice(nom de l'état i, false), i = 0..N.
    int Etat(int i) const { return (i >= 0 && i < ParametresModele::Taille) ? etats[std::size_t(i)] : -1; }
    // Hmm1->ExisteARC(source, destination).
    int Arc(int source, int destination) const
    {
        if (source < 0 || destination < 0 || source >= ParametresModele::Taille ||
            destination >= ParametresModele::Taille)
            return -1;
        const int a = arcs[std::size_t(source * ParametresModele::Taille + destination)];
        return a != 0 ? a : -1;
    }

private:
    std::vector<int> etats;
    // Numéro d'arc (1..), 0 sans arc : 20 Kio au lieu de 40 à remplir pour chaque modèle lu.
    std::vector<std::uint16_t> arcs;
};

// λ tiré du contenu d'un modèle (celui d'un fichier ou d'un document) : symboles dans l'ordre
// de première apparition, π, A et B en précision étendue. Lève ETropDeSymboles au 100e symbole
// distinct, EConversion sur une probabilité illisible.
void CalculerParametres(const ContenuModele &contenu, ParametresModele &p);

// π, A, B en colonnes séparées par des tabulations, comme « hmmcalc parametres » (fenêtre de
// convergence).
QString TexteParametres(const ParametresModele &p);

// Rapport français de vérification du modèle, ligne par ligne ; true quand il est correct.
bool VerifierContenu(const ContenuModele &contenu, QStringList &rapport);
