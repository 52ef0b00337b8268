#pragma once
// TEtat2 : une boîte d'état (nom, symboles émis et leurs probabilités), posée sur la
// surface du graphe. Elle se dessine dans son image hors écran puis la recopie d'un coup.
#include "hmmgraph_export.h"
#include "couleurs.h"

#include <QImage>
#include <QString>
#include <QWidget>

class HMMGRAPH_EXPORT TEtat2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int Taille = 100;
    static constexpr int CapacitePaires = 98;
    // Largeur au-delà de laquelle un nom n'élargit plus la boîte : il est montré coupé.
    static constexpr int LargeurMax = 400;

    explicit TEtat2(QWidget *owner = nullptr);
    ~TEtat2() override;

    QImage Image;
    TCouleur CouleurRemplissage = Couleurs::VertClair;
    TCouleur CouleurStylo = Couleurs::Bleu;
    TCouleur CouleurFond = Couleurs::Blanc;
    TCouleur CouleurSurligne = Couleurs::Bleu;
    int EpaisseurSurligne = 3;
    bool DefautRemplissage = true, DefautStylo = true;
    bool Selectionne = false;
    bool Surligne = false;
    QString Nom;
    int NbSymboles = 0;
    QString Generation[Taille][3];

    // Le nom, et celui que lit l'aide technique : un état renommé est annoncé sous son nouveau nom.
    void DefinirNom(const QString &nom);

    // Supprime les paires de probabilité 0 puis redessine. Lève EConversion.
    void Actualiser();

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
    void paintEvent(QPaintEvent *) override;
};
