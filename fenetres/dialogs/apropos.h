#pragma once
// TForm3 : la fenêtre "A propos ...", en forme d'étoile entourée d'un anneau (masque de
// fenêtre). Un clic n'importe où la ferme ; la fenêtre principale est bloquée tant
// qu'elle est ouverte.
#include <QRegion>
#include <QWidget>

class TForm3 : public QWidget {
    Q_OBJECT
public:
    static constexpr int Largeur = 624, Hauteur = 436;

    explicit TForm3(QWidget *parent = nullptr);

    // Forme de la fenêtre pour une taille W x H : étoile à cinq branches (remplie avec
    // la règle d'enroulement, pentagone central compris) réunie à un anneau elliptique.
    static QRegion Forme(int W, int H);
    // Centre de l'étoile.
    static QPoint Centre(int W, int H);

    // Crée, centre et montre la fenêtre en fondu, la fenêtre principale bloquée.
    static TForm3 *Ouvrir(QWidget *principale);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *) override;
};
