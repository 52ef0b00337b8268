#include "model/image_modele.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "model/fichier.h"
#include "model/graphe_contenu.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ImageModele {

double Echelle(QSize canevas)
{
    const double octets = 4.0 * std::max(1, canevas.width()) * std::max(1, canevas.height());
    return octets <= double(LimiteOctets) ? 1.0 : std::sqrt(double(LimiteOctets) / octets);
}

QImage RendreCanevas(QSize surface, const std::function<void(QPainter &)> &peindre)
{
    const QSize canevas(std::max(1, surface.width()), std::max(1, surface.height()));
    // Un graphe très étendu est dessiné réduit : l'image reste sous LimiteOctets.
    const double f = Echelle(canevas);
    const QSize taille(std::max(1, int(canevas.width() * f)), std::max(1, int(canevas.height() * f)));
    QImage image(taille, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(f, f);
    peindre(p);
    p.end();
    return image;
}

QSize SurfacePour(QSize avant, const QRect &etendue)
{
    return etendue.isNull() ? avant
                            : QSize(std::max(avant.width(), etendue.right() + 2),
                                    std::max(avant.height(), etendue.bottom() + 2));
}

QRect Etendue(const GrapheHmm &graphe, const QList<QRect> &boites, int marge)
{
    QRect r;
    for (const QRect &b : boites)
        r |= b;
    const GrapheHmm *h = &graphe;
    const int n = std::min(h->NbArcs, GrapheHmm::Taille - 1);
    for (int i = 1; i <= n; ++i) {
        const QPoint P1 = h->PointsARC[i][1], P2 = h->PointsARC[i][2];
        if (h->ARC[i][1] == h->ARC[i][2])
            r |= h->PlacerBoucle(i).Cercle; // au coin où la boucle est dessinée
        else if (h->ExisteARC(h->ARC[i][2], h->ARC[i][1]) != -1)
            // Le sommet de la courbe : l'ancre de l'étiquette, recalculée (PosEtiquette ne l'est
            // qu'au dessin et peut dater du fichier).
            r |= QRect(P1, P2).normalized().united(QRect(h->RectangleEtiquette(i).center(), QSize(1, 1)));
        else
            r |= QRect(P1, P2).normalized();
        if (h->EtiquetteVisible[i])
            r |= h->RectangleEtiquette(i);
    }
    return r.isNull() ? r : r.adjusted(-marge, -marge, marge, marge);
}

QImage Decouper(const QImage &canevas, const QRect &etendue, QSize taille)
{
    // Le canevas a pu être réduit : l'étendue suit la même échelle.
    const double f = taille.width() > 0 ? double(canevas.width()) / taille.width() : 1.0;
    const QRect r = f == 1.0 ? etendue
                             : QRect(int(etendue.x() * f), int(etendue.y() * f), int(std::ceil(etendue.width() * f)),
                                     int(std::ceil(etendue.height() * f)));
    const QRect e = r.intersected(canevas.rect());
    return e.isEmpty() ? canevas : canevas.copy(e);
}

QImage RendreModele(const ContenuModele &c, const Apparence &a)
{
    // Les arcs et les boîtes tels qu'un document sans fenêtre les pose (installer) : boîtes aux
    // bornes lues, sans règle de taille, couleurs de l'apparence.
    GrapheHmm graphe;
    graphe.Police = a.Police;
    graphe.RayonBoucle = 20;
    graphe.TypeFleche = 3;
    QList<BoiteEtat> boites;
    QList<QRect> bornes;
    for (const ContenuModele::Etat &e : c.Etats) {
        BoiteEtat b;
        b.CouleurFond = graphe.CouleurFond;
        b.DefautRemplissage = b.DefautStylo = false;
        b.CouleurStylo = a.CouleurStyloEtat;
        b.CouleurRemplissage = a.CouleurFondEtat;
        b.Nom = e.Nom;
        b.NbSymboles = int(std::min<qsizetype>(e.Paires.size(), BoiteEtat::CapacitePaires));
        for (int p = 0; p < b.NbSymboles; ++p) {
            b.Generation[p + 1][1] = e.Paires[p].first;
            b.Generation[p + 1][2] = e.Paires[p].second;
        }
        boites << b;
        bornes << QRect(e.Left, e.Top, e.Width, e.Height);
    }
    // Index de registre (0 = START) -> bornes des boîtes.
    const int decalage = c.Start ? 0 : 1;
    graphe.InterieurEtat = [bornes, decalage](int k) {
        const qsizetype x = qsizetype(k) - decalage;
        return x >= 0 && x < bornes.size() ? bornes[x].adjusted(2, 2, -2, -2) : QRect();
    };
    GrapheContenu::PoserArcs(graphe, c.Arcs);
    const QRect etendue = Etendue(graphe, bornes, 10);
    const QSize surface = SurfacePour(a.Surface, etendue);
    const QImage canevas = RendreCanevas(surface, [&](QPainter &p) {
        graphe.Dessiner(p, surface);
        for (qsizetype k = 0; k < boites.size(); ++k) {
            p.save();
            p.translate(bornes[k].topLeft());
            QSize taille = bornes[k].size();
            boites[k].Dessiner(p, taille, a.Police);
            p.restore();
        }
    });
    return Decouper(canevas, etendue, surface);
}

}
