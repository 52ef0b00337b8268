// TEtat2 : tenue des paires (symbole, probabilité). Le dessin est dans dessin.cpp.
#include "graph/etat2.h"
#include "graph/nombres.h"

#include <QPainter>

TEtat2::TEtat2(QWidget *owner)
    : QWidget(owner)
{
    Image = QImage(1, 1, QImage::Format_RGB32);
}

TEtat2::~TEtat2() = default;

void TEtat2::DefinirNom(const QString &nom)
{
    Nom = nom;
    setAccessibleName(QStringLiteral("État %1").arg(nom));
}

void TEtat2::Actualiser()
{
    int k = 1;
    while (k <= NbSymboles) {
        if (Nombres::VersExtended(Generation[k][2]) == 0) {
            for (int j = k; j < NbSymboles; ++j) {
                Generation[j][1] = Generation[j + 1][1];
                Generation[j][2] = Generation[j + 1][2];
            }
            Generation[NbSymboles][1].clear();
            Generation[NbSymboles][2].clear();
            --NbSymboles;
        } else {
            ++k;
        }
    }
    update();
}

void TEtat2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Dessiner(p);
}
