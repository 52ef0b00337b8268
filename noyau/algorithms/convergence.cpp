// Historique de convergence des entraînements.
#include "algorithms/convergence.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "model/parametres.h"

#include <cmath>

void HistoriqueConvergence::ajouter(int iteration, long double p)
{
    PointConvergence point;
    point.Iteration = iteration;
    point.P = p;
    point.Log10P = p > 0 ? std::log10(p) : -HUGE_VALL;
    Points.push_back(point);
    if (SurPoint)
        SurPoint(point);
}

void HistoriqueConvergence::Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    // Au début de l'entraînement de Viterbi, Probabilite est celle du meilleur chemin : P(O|λ)
    // du modèle initial est recalculée à part, sans toucher aux tables de l'entraînement.
    Points.clear();
    if (e.PlusieursSequences()) {
        // Plusieurs séquences : le produit des P(O_k|λ) du modèle initial est déjà là.
        ajouter(0, e.Probabilite);
    } else {
        EspaceTravail avant;
        avant.Observations = e.Observations;
        avant.LongueurSequence = e.LongueurSequence;
        CalculerForward(p, avant);
        ajouter(0, avant.Probabilite);
    }
    if (suivant)
        suivant->Debut(type, p, e);
}

void HistoriqueConvergence::Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    ajouter(e.IterationCourante, e.Probabilite);
    if (suivant)
        suivant->Iteration(type, p, e);
}
