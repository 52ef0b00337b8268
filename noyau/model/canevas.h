#pragma once
// Ce qui porte les arcs et les boîtes d'un document : par défaut des objets sans fenêtre ; le
// programme y met ses contrôles (THmm, TEtat2), posés sur son panneau.
#include "graph/boite.h"
#include "graph/graphe.h"

#include <memory>

class CanevasModele {
public:
    virtual ~CanevasModele() = default;
    // Appelé une fois, à la construction du document.
    virtual std::unique_ptr<GrapheHmm> CreerGraphe() { return std::make_unique<GrapheHmm>(); }
    // Une boîte neuve ; le document la pose, la remplit et la détruit.
    virtual BoiteEtat *CreerBoite() { return new BoiteEtat; }
};
