#include "graph/couleurs.h"

QColor VersQColor(TCouleur c)
{
    if (c == Couleurs::Aucune)
        return QColor(Qt::transparent);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TCouleur DepuisQColor(const QColor &c)
{
    if (c.alpha() == 0)
        return Couleurs::Aucune;
    return TCouleur(c.red()) | (TCouleur(c.green()) << 8) | (TCouleur(c.blue()) << 16);
}
