// TEtat2 : le contrôle d'une boîte d'état ; son contenu et son dessin sont ceux de BoiteEtat.
#include "graph/etat2.h"

#include <QPainter>

TEtat2::TEtat2(QWidget *owner)
    : QWidget(owner)
{
}

TEtat2::~TEtat2() = default;

void TEtat2::NomChange()
{
    setAccessibleName(QStringLiteral("État %1").arg(Nom));
}

void TEtat2::Dessiner(QPainter &p)
{
    QSize taille = size();
    QString bulle;
    BoiteEtat::Dessiner(p, taille, font(), &bulle);
    if (taille != size())
        resize(taille);
    if (toolTip() != bulle)
        setToolTip(bulle);
}

void TEtat2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Dessiner(p);
}
