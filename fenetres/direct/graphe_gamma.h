#pragma once
// Le graphe de γ_t(i) : une courbe par état sur les instants retenus, le chemin de Viterbi
// posé sur la courbe de l'état qu'il traverse. Le même pour le calcul en direct et pour la
// revue d'un entraînement, itération par itération.
#include "algorithms/direct.h"

#include <QChartView>

class GrapheGamma : public QChartView {
    Q_OBJECT
public:
    explicit GrapheGamma(QWidget *parent = nullptr);
    // Rien à tracer quand r.Gamma est vide.
    void Tracer(const ResultatDirect &r);
    // Le point (t, i) marqué sur sa courbe, i = 1..N ; 0 : aucun.
    void Marquer(int t, int i);
    int TMarque() const { return tMarque; }
    int IMarque() const { return iMarque; }

signals:
    // Un clic sur une courbe (ou un point du chemin) : l'instant tracé le plus proche, état 1..N.
    void pointChoisi(int t, int i);

private:
    int instantProche(double x) const;
    std::vector<int> instants;
    std::vector<std::vector<double>> gamma;
    std::vector<int> chemin;
    int tMarque = 0, iMarque = 0;
};
