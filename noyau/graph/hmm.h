#pragma once
// THmm : la surface de dessin du graphe. Elle possède tous les arcs (extrémités,
// étiquette, géométrie, indicateurs d'affichage : GrapheHmm) ; les boîtes d'états (TEtat2)
// sont des contrôles frères posés au-dessus d'elle. Tables à 100 cases utilisées à partir de 1.
#include "hmmgraph_export.h"
#include "graphe.h"

#include <QWidget>

class HMMGRAPH_EXPORT THmm : public QWidget, public GrapheHmm {
    Q_OBJECT
public:
    explicit THmm(QWidget *owner = nullptr);

    using GrapheHmm::Dessiner;
    // Dessin complet de la surface, à sa taille.
    void Dessiner(QPainter &p) { Dessiner(p, size()); }
    // La surface est celle du contrôle.
    QSize TailleSurface() const override { return size(); }
    void DefinirTailleSurface(QSize t) override { resize(t); }

protected:
    void Rafraichir() override { update(); }
    void paintEvent(QPaintEvent *) override;
    void changeEvent(QEvent *e) override;
    // Bulle : la valeur entière de l'étiquette sous la souris.
    bool event(QEvent *e) override;
};
