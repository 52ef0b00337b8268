#pragma once
// Commandes de hmmcalc pour l'apprentissage : generer, posterieur, exporter, importer,
// treillis.
#include <QStringList>

// Exécute la commande ; rend le code de sortie (0, 1 ou 2) après avoir écrit les messages.
int ExecuterApprentissage(const QStringList &arguments);
