#pragma once
// TEtat2 : une boîte d'état (nom, symboles émis et leurs probabilités : BoiteEtat), posée sur
// la surface du graphe.
#include "hmmgraph_export.h"
#include "boite.h"

#include <QWidget>

class HMMGRAPH_EXPORT TEtat2 : public QWidget, public BoiteEtat {
    Q_OBJECT
public:
    explicit TEtat2(QWidget *owner = nullptr);
    ~TEtat2() override;

    // Dessine la boîte (image + poignées) sur p, coin haut-gauche en (0, 0).
    void Dessiner(QPainter &p);

    // Position et taille comme les propriétés Left/Top/Width/Height du contrôle.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    // Rectangle intérieur (bordure de 2 pixels ôtée) : celui que reçoit le calcul des arcs.
    QRect Interieur() const { return QRect(x() + 2, y() + 2, width() - 4, height() - 4); }

protected:
    // Un état renommé est annoncé sous son nouveau nom.
    void NomChange() override;
    void Rafraichir() override { update(); }
    void paintEvent(QPaintEvent *) override;
};
