// Décodage a posteriori à partir des récurrences avant et arrière existantes.
#include "algorithms/posterieur.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "model/parametres.h"

std::vector<int> CalculerCheminPosterieur(const ParametresModele &p, EspaceTravail &e)
{
    // Hors de la plage de l'étendu, γ vient de ᾱ et β̂ : il reste dans [0 ; 1].
    EvaluerTables(p, e);
    CalculerGammaTables(p, e);
    const int T = e.LongueurSequence;
    std::vector<int> q(std::size_t(T) + 1, 0);
    for (int t = 1; t <= T; ++t) {
        int meilleur = 1;
        for (int i = 2; i <= p.N; ++i)
            if (e.Gamma(t, i) > e.Gamma(t, meilleur))
                meilleur = i;
        q[std::size_t(t)] = meilleur;
    }
    return q;
}

QStringList EtatsChemin(const ParametresModele &p, const std::vector<int> &chemin)
{
    QStringList noms;
    for (std::size_t t = 1; t < chemin.size(); ++t)
        noms << p.NomEtat(chemin[t]);
    return noms;
}
