#pragma once
// λ = (π, A, B) tiré du graphe. Indices à partir de 1 ; l'index 0 existe, vaut 0, n'est pas lu.
#include "model/vecteur.h"

#include <QString>

class TEtat2;

struct ParametresModele {
    static constexpr int CapaciteSymboles = 99;

    int N = 0;
    TEtat2 *Etats[100] = {};
    int M = 0;
    QString Symboles[100];
    VecteurVerifie<long double> PI;
    VecteurVerifie<VecteurVerifie<long double>> A;
    VecteurVerifie<VecteurVerifie<long double>> B;

    // Index du symbole dans Symboles[1..M] (le dernier trouvé), ou -1.
    int RechercherSymbole(const QString &nom) const;
    // Nom de l'état i (1..N), "START" pour 0.
    QString NomEtat(int i) const;
};

// Un 100e symbole distinct : le modèle est refusé avec ce message.
class ETropDeSymboles : public std::runtime_error {
public:
    ETropDeSymboles();
};
