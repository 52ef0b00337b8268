// "Voir la trace d'exécution" : la visionneuse de trace s'y branchera.
#include "editor/principale.h"

void TForm1::VoirTrace()
{
}
