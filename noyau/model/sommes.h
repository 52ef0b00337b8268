#pragma once
// Somme exacte des probabilités écrites en décimal. Un enseignant écrit 0,35 + 0,3 + 0,15 + 0,2 :
// la somme vaut exactement 1 en décimal, même si son calcul en virgule flottante s'en écarte.
#include <QStringList>

namespace Sommes {

// La somme exacte des textes vaut-elle 1 ? Chaque texte est lu comme Nombres::VersExtended
// (l'un ou l'autre séparateur, exposant "E" permis) ; un texte qui n'est pas un nombre ("??")
// compte pour 0. Calcul sur des entiers décimaux en chiffres, sans virgule flottante. Un texte
// négatif, ou d'un exposant démesuré, rend false (la règle en simple précision reste seule juge).
bool DecimaleVautUn(const QStringList &textes);

}
