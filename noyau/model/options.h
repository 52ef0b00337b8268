#pragma once
// Options d'affichage ("Options.ini") : couleurs du graphe et style des flèches.
#include "graph/couleurs.h"

class DocumentModele;

struct OptionsAffichage {
    TCouleur FondArcs = Couleurs::Blanc;   // [Arcs] Fond
    TCouleur StyloArcs = Couleurs::Bleu;   // [Arcs] Stylo
    TCouleur Prob = Couleurs::Rouge;       // [Arcs] Prob
    int Fleche = 2;                        // [Arcs] Fleche
    TCouleur FondEtats = Couleurs::VertClair; // [Etats] Fond
    TCouleur StyloEtats = Couleurs::Bleu;     // [Etats] Stylo
    int Chiffres = 4; // [Graphe] Chiffres : chiffres significatifs sur le graphe, 2 à 6 ; 0 = tous
};

namespace Options {
// Lit "Options.ini" ; un fichier ou une clé absente donne `defauts`.
OptionsAffichage Lire(const OptionsAffichage &defauts = OptionsAffichage());
bool Ecrire(const OptionsAffichage &o);
// Applique au graphe : couleurs de Hmm1, style des flèches, couleurs de toutes les boîtes,
// chiffres des nombres affichés.
void Appliquer(DocumentModele &doc, const OptionsAffichage &o);
}
