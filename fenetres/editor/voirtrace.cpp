// "Voir la trace d'exécution" (Rapport1, ToolButton23) : TForm20, modale et agrandie, produit
// la trace du dernier calcul traçable.
#include "editor/principale.h"
#include "visionneuse/suivi_trace.h"

void TForm1::VoirTrace()
{
    if (Traces)
        Traces->Voir();
}
