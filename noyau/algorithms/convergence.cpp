// Historique de convergence des entraînements.
#include "algorithms/convergence.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "model/parametres.h"

#include <cmath>

void HistoriqueConvergence::ajouter(int iteration, const EspaceTravail &e)
{
    PointConvergence point;
    point.Iteration = iteration;
    point.P = e.Probabilite;
    // Calcul mis à l'échelle ou produit de plusieurs séquences : P(O|λ) peut sortir de l'étendu.
    point.PEchelle = e.MisALEchelle || e.PlusieursSequences() ? e.ProbabiliteEchelle : GrandeProbabilite::De(e.Probabilite);
    point.Log10P = point.PEchelle.Log10();
    Points.push_back(point);
    if (SurPoint)
        SurPoint(point);
}

void HistoriqueConvergence::garder(const ParametresModele &p)
{
    if (!GarderModeles)
        return;
    const long long taille = (long long)(p.N + 1) * (p.N + p.M + 3) * (long long)sizeof(long double) + (long long)sizeof(p);
    if ((long long)(Modeles.size() + 1) * taille <= LimiteModeles && Modeles.size() + 1 == Points.size())
        Modeles.push_back(p);
}

void HistoriqueConvergence::Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    // Au début de l'entraînement de Viterbi, Probabilite est celle du meilleur chemin : P(O|λ)
    // du modèle initial est recalculée à part (mise à l'échelle s'il le faut), sans toucher aux
    // tables de l'entraînement.
    Points.clear();
    Modeles.clear();
    if (e.PlusieursSequences()) {
        // Plusieurs séquences : le produit des P(O_k|λ) du modèle initial est déjà là.
        ajouter(0, e);
    } else {
        EspaceTravail avant;
        avant.Observations = e.Observations;
        avant.LongueurSequence = e.LongueurSequence;
        avant.GarderTables = false;
        Evaluer(p, avant, false);
        ajouter(0, avant);
    }
    garder(p);
    RelaisEntrainement::Debut(type, p, e);
}

void HistoriqueConvergence::Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    ajouter(e.IterationCourante, e);
    garder(p);
    RelaisEntrainement::Iteration(type, p, e);
}
