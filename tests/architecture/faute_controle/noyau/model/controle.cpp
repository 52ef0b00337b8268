// Faute : le modèle inclut un contrôle.
#include "graph/hmm.h"
