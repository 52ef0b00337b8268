#pragma once
// La fenêtre « Convergence » : log10 P(O|λ) à chaque itération d'un entraînement, tracé
// pendant le calcul et gardé ensuite ; le seuil en pointillé quand il y en a un.
#include "algorithms/convergence.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <QWidget>

class QCategoryAxis;
class QHBoxLayout;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QValueAxis;

class FenetreConvergence : public QWidget {
    Q_OBJECT
public:
    explicit FenetreConvergence(QWidget *parent = nullptr);
    // Nouvelle courbe ; seuil < 0 ou >= 1 : aucun seuil.
    void Commencer(const QString &titre, long double seuil);
    void Ajouter(const PointConvergence &point);
    bool ExporterImage(const QString &chemin, QString *erreur = nullptr);

    QChartView *Vue = nullptr;
    QLineSeries *Courbe = nullptr, *Seuil = nullptr;
    // Abscisses : une graduation nommée sur les itérations elles-mêmes (0, pas entier).
    QCategoryAxis *AxeX = nullptr;
    QValueAxis *AxeY = nullptr;
    QLabel *Etat = nullptr;
    QPushButton *Exporter = nullptr, *BoutonAide = nullptr;

    // Pas des graduations des itérations (entier) quand la dernière est `derniere`.
    static int PasGraduation(double derniere);

    // Montre tout de suite les points en attente (appelé aussi par la minuterie).
    void Vider();

    // L'entraînement fini : le curseur parcourt ses itérations (π, A, B et log10 P de chacune) ;
    // « Garder cette itération » la demande pour le modèle.
    void Terminer(std::vector<PointConvergence> points, std::vector<ParametresModele> modeles);
    // Le modèle a changé depuis : l'itération montrée ne peut plus être gardée.
    void Perimer();
    void MontrerIteration(int indice);
    QSlider *Curseur = nullptr;
    QLabel *Choix = nullptr;
    QPlainTextEdit *Valeurs = nullptr;
    QPushButton *Garder = nullptr;

    // Les paramètres de l'itération montrée par le curseur, nul sans revue.
    const ParametresModele *ModeleMontre() const;
    int IterationMontree() const;
    // Le modèle a changé depuis l'entraînement (Perimer).
    bool Perimee() const { return perimee; }
    // Une vue de plus dans la zone de revue, à droite des paramètres (γ de l'itération).
    void PoserVueRevue(QWidget *vue);

signals:
    void iterationGardee(const ParametresModele &parametres, int iteration);
    // Le curseur montre une autre itération (indice dans la revue), ou aucune (-1 : fenêtre
    // cachée, nouvel entraînement) ; l'aperçu sur le graphe et γ suivent.
    void iterationMontree(int indice);

protected:
    void hideEvent(QHideEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void ajuster();
    void activerRevue(bool oui);
    double seuilLog = 0;
    bool avecSeuil = false;
    // Les points arrivent par milliers : ils attendent et la courbe n'est redessinée qu'à
    // intervalle régulier, bornes tenues à jour à l'arrivée (sinon coût quadratique).
    QList<QPointF> enAttente, points;
    QString dernierEtat;
    QElapsedTimer depuisDessin;
    QTimer minuterie;
    double bas = 0, haut = 0;
    int graduees = -1; // dernière itération des graduations posées
    bool vide = true;
    bool perimee = false;
    QHBoxLayout *zoneRevue = nullptr;
    std::vector<PointConvergence> revus;
    std::vector<ParametresModele> modeles;
};
