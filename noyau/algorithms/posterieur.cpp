// Décodage a posteriori à partir des récurrences avant et arrière existantes.
#include "algorithms/posterieur.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/echelle.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "model/parametres.h"

std::vector<int> CalculerCheminPosterieur(const ParametresModele &p, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    std::vector<int> q(std::size_t(T) + 1, 0);
    const auto choisir = [&](auto valeur) {
        for (int t = 1; t <= T; ++t) {
            int meilleur = 1;
            for (int i = 2; i <= p.N; ++i)
                if (valeur(t, i) > valeur(t, meilleur))
                    meilleur = i;
            q[std::size_t(t)] = meilleur;
        }
    };
    CalculerForward(p, e);
    if (e.Probabilite == 0) {
        // Une longue séquence sort de la plage de l'étendu sans être impossible : mise à
        // l'échelle, γ_t(i) = ᾱ_t(i) β̂_t(i) / c_t, et c_t ne change pas l'état choisi à t.
        Echelle::Forward(p, e);
        if (e.ProbabiliteEchelle.EstNulle())
            ExigerGeneration(p, e); // refus qui dit pourquoi
        Echelle::Backward(p, e);
        choisir([&](int t, int i) { return e.Alpha(t, i) * e.Beta(t, i); });
        return q;
    }
    CalculerBackward(p, e);
    CalculerGamma(p, e);
    choisir([&](int t, int i) { return e.Gamma(t, i); });
    return q;
}

QStringList EtatsChemin(const ParametresModele &p, const std::vector<int> &chemin)
{
    QStringList noms;
    for (std::size_t t = 1; t < chemin.size(); ++t)
        noms << p.NomEtat(chemin[t]);
    return noms;
}
