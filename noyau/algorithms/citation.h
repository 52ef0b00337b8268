#pragma once
// Citation d'une séquence d'observations dans un message : jamais en entier quand elle est
// longue (une séquence d'un million de symboles ne s'affiche pas dans une boîte de dialogue).
#include <QString>

// Au plus LimiteCitation symboles sont cités.
constexpr int LimiteCitation = 40;

// La séquence telle quelle quand elle compte au plus LimiteCitation symboles (caractères, ou
// mots séparés par des espaces quand parMot) ; sinon ses LimiteCitation premiers symboles,
// « … » et sa longueur : « abab… (5000 symboles) ».
QString CiterSequence(const QString &texte, bool parMot = false);

struct ParametresModele;
struct EspaceTravail;

// Pourquoi le modèle ne génère pas la séquence d'observations d'e (P(O|λ) = 0) : le premier
// morceau qui n'est pas un symbole du modèle, sinon le premier instant qu'aucun chemin
// n'atteint ; commence par « \n ». Vide quand tous les instants sont atteints.
QString CauseNonGeneration(const ParametresModele &p, const EspaceTravail &e);
