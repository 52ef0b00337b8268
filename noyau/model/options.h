#pragma once
// Options d'affichage ("Options.ini") : couleurs du graphe et style des flèches.
#include "graph/couleurs.h"

#include <QString>

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
// Borne de lecture de "Options.ini" (quelques lignes) : au-delà, le fichier n'est pas lu.
constexpr qint64 LimiteTaille = 64 * 1024;
// Lit "Options.ini" ; un fichier ou une clé absente donne `defauts`, de même qu'un fichier
// refusé (pas un fichier ordinaire, plus grand que la borne) dont *erreur donne la cause.
OptionsAffichage Lire(const OptionsAffichage &defauts = OptionsAffichage(), QString *erreur = nullptr);
bool Ecrire(const OptionsAffichage &o);
// Applique au graphe : couleurs de Hmm1, style des flèches, couleurs de toutes les boîtes,
// chiffres des nombres affichés.
void Appliquer(DocumentModele &doc, const OptionsAffichage &o);
}
