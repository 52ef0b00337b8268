#pragma once
// Énumération de tous les chemins d'états de longueur T et approche directe :
// P(O|λ) comme somme des probabilités des chemins.
#include <functional>

struct ParametresModele;
struct EspaceTravail;

// Au-delà de ce nombre de chemins (N^T), l'énumération est refusée : chaque chemin laisse
// tourner la boucle d'événements et chaque chemin non nul devient une ligne de la liste des
// chemins de la fenêtre principale ; un million de lignes est déjà la limite de l'utilisable.
constexpr long long LimiteChemins = 1000000;

// N^T en précision étendue, calculé comme 1 multiplié T fois par N.
long double NombreDeChemins(int N, int T);

// Probabilité de CheminCourant[1..T] avec O, le produit courant tenu en double précision
// entre deux pas.
double ProbabiliteChemin(const ParametresModele &parametres, const EspaceTravail &espace);

struct SuiviEnumeration {
    // Pourcentage des chemins évalués, appelé chaque fois qu'il change.
    std::function<void(int pourcent)> Progression;
    // Appelé après chaque chemin : l'appelant y laisse tourner la boucle d'événements, d'où
    // peut venir une demande d'arrêt (espace.ArretEnumeration = true).
    std::function<void()> ApresChemin;
};

// Remet à zéro compteurs et table, énumère les chemins (l'état du temps T varie le plus
// lentement, celui du temps 1 le plus vite) et garde ceux de probabilité non nulle. Une
// demande d'arrêt prend effet au début du groupe suivant des N chemins qui ne diffèrent que
// par l'état du temps 1. Rend false quand l'énumération a été arrêtée (rien n'est alors
// calculé) ; sinon Probabilite est la somme des textes des probabilités, ligne par ligne, et
// MeilleurChemin la première ligne de plus grande valeur.
// Lève ERefusCalcul quand T = 0 ou quand N^T dépasse LimiteChemins (le message donne N^T).
bool EnumererChemins(const ParametresModele &parametres, EspaceTravail &espace, const SuiviEnumeration &suivi = {});
