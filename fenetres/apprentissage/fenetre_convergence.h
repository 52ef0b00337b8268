#pragma once
// La fenêtre « Convergence » : log10 P(O|λ) à chaque itération d'un entraînement, tracé
// pendant le calcul et gardé ensuite ; le seuil en pointillé quand il y en a un.
#include "algorithms/convergence.h"

#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;

class FenetreConvergence : public QWidget {
    Q_OBJECT
public:
    explicit FenetreConvergence(QWidget *parent = nullptr);
    // Nouvelle courbe ; seuil < 0 ou >= 1 : aucun seuil.
    void Commencer(const QString &titre, long double seuil);
    void Ajouter(const PointConvergence &point);
    bool ExporterImage(const QString &chemin);

    QChartView *Vue = nullptr;
    QLineSeries *Courbe = nullptr, *Seuil = nullptr;
    QValueAxis *AxeX = nullptr, *AxeY = nullptr;
    QLabel *Etat = nullptr;
    QPushButton *Exporter = nullptr, *BoutonAide = nullptr;

private:
    void ajuster();
    double seuilLog = 0;
    bool avecSeuil = false;
};
