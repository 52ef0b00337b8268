#pragma once
// Ce que les commandes de hmmcalc partagent pour lire leurs arguments : codes de sortie, échec
// porteur de son message, valeurs des options.
#include <QStringList>

namespace Arguments {

enum Code { Succes = 0, Refus = 1, Usage = 2 };

// Échec d'une commande : son code de sortie et le message écrit sur l'erreur standard.
struct Echec {
    int code;
    QString message;
};

// La valeur de l'option args[i] ; i passe sur elle. Échec d'usage quand elle manque.
QString Valeur(const QStringList &args, int &i);
// La valeur de --chiffres : un entier de 1 à 30.
int Chiffres(const QString &valeur);

}
