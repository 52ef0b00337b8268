// BoiteEtat : tenue des paires (symbole, probabilité). Le dessin est dans dessin.cpp.
#include "graph/boite.h"
#include "graph/nombres.h"

BoiteEtat::BoiteEtat()
{
    Image = QImage(1, 1, QImage::Format_RGB32);
}

BoiteEtat::~BoiteEtat() = default;

void BoiteEtat::DefinirNom(const QString &nom)
{
    Nom = nom;
    NomChange();
}

void BoiteEtat::Actualiser()
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
    Rafraichir();
}
