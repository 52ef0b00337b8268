// Faute volontaire : une fenêtre de l'apprentissage qui voit la fenêtre principale.
#include "editor/principale.h"
