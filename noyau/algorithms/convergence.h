#pragma once
// Convergence d'un entraînement : P(O|λ) avant la première itération puis après chacune.
// L'historique est un observateur qui relaie tout à un observateur suivant (la trace, la
// fenêtre), pour s'ajouter sans rien changer aux entraînements.
#include "algorithms/observateur.h"
#include "model/parametres.h"

#include <functional>
#include <vector>

#include "algorithms/grande_probabilite.h"

struct PointConvergence {
    int Iteration = 0;    // 0 : le modèle initial
    long double P = 0;    // P(O|λ) en étendu : 0 ou sous-normale hors de la plage
    GrandeProbabilite PEchelle; // la même, hors de la plage s'il le faut
    long double Log10P = 0; // -inf quand P(O|λ) = 0, fini hors de la plage de l'étendu
};

class HistoriqueConvergence : public RelaisEntrainement {
public:
    using RelaisEntrainement::RelaisEntrainement;

    std::vector<PointConvergence> Points;
    // π, A, B de chaque point (même indice que Points), pour revoir l'entraînement itération par
    // itération ; au-delà de LimiteModeles octets, les itérations suivantes n'en gardent plus.
    // Seulement quand GarderModeles (la fenêtre) : hmmcalc --historique n'en a pas besoin.
    bool GarderModeles = false;
    std::vector<ParametresModele> Modeles;
    static constexpr long long LimiteModeles = 64LL * 1024 * 1024;
    // Appelé à chaque point ajouté (fenêtre mise à jour pendant le calcul).
    std::function<void(const PointConvergence &)> SurPoint;

    void Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;
    void Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;

private:
    void ajouter(int iteration, const EspaceTravail &e);
    void garder(const ParametresModele &p);
};
