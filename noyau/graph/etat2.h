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

    // La place de la boîte est celle du contrôle (Left, Top, Width, Height, Interieur la lisent).
    QRect Bornes() const override { return geometry(); }
    void DefinirBornes(const QRect &r) override { setGeometry(r); }
    QSize TailleMinimale() const override { return minimumSize(); }
    void DefinirTailleMinimale(QSize m) override { setMinimumSize(m); }
    bool Cachee() const override { return isHidden(); }
    void Peindre(QPainter &p, const QFont &) override { Dessiner(p); }

protected:
    // Un état renommé est annoncé sous son nouveau nom.
    void NomChange() override;
    void Rafraichir() override { update(); }
    void paintEvent(QPaintEvent *) override;
};
