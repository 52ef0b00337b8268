#pragma once
// Couleurs 32 bits dans l'ordre 0x00BBGGRR : c'est la forme stockée dans
// "Options.ini", on ne convertit en QColor qu'au moment de dessiner.
#include "hmmgraph_export.h"
#include <QColor>
#include <cstdint>

using TCouleur = std::uint32_t;

namespace Couleurs {
constexpr TCouleur Blanc = 0xFFFFFF;
constexpr TCouleur Noir = 0x000000;
constexpr TCouleur Bleu = 0xFF0000;
constexpr TCouleur Rouge = 0x0000FF;
constexpr TCouleur VertClair = 0x9DFFE7;
// « Pas de couleur » des listes de couleurs : rien n'est dessiné.
constexpr TCouleur Aucune = 0x1FFFFFFF;
}

HMMGRAPH_EXPORT QColor VersQColor(TCouleur c);
HMMGRAPH_EXPORT TCouleur DepuisQColor(const QColor &c);
