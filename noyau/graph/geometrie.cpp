// THmm : géométrie des arcs (points d'attache sur les boîtes, cercles des paires
// aller-retour) et recherche de l'arc sous la souris. Calculs en simple précision,
// conversions tronquées vers zéro : les valeurs stockées vont dans le fichier modèle.
#include "graph/graphe.h"
#include "graph/nombres.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace {

// Rectangle intérieur d'une boîte (Left + 2, Top + 2, Width - 4, Height - 4).
struct Boite {
    int x, y, l, h;
};

// Centre d'une boîte : moitiés tronquées, puis utilisé en float.
PointF Centre(const Boite &b)
{
    return {float(b.x + b.l / 2), float(b.y + b.h / 2)};
}

// Recouvrement sur un axe : étendue de la boîte la plus à gauche (ou en haut) + sa
// position - position de l'autre. Positif quand les deux intervalles se chevauchent.
int Recouvrement(int a, int la, int b, int lb)
{
    return a < b ? la + a - b : lb + b - a;
}

// Point d'attache de la droite y = a·x + q sur la boîte b. Les côtés sont essayés dans
// l'ordre gauche, droite, haut, bas, chacun seulement s'il fait face à l'autre centre.
bool Attache(const Boite &b, float a, float q, bool gauche, bool droite, bool haut, bool bas, PointF &res)
{
    if (gauche) {
        const float v = a * float(b.x) + q;
        if (float(b.y) <= v && v <= float(b.y + b.h)) {
            res = {float(b.x), v};
            return true;
        }
    }
    if (droite) {
        const float v = a * float(b.x + b.l) + q;
        if (float(b.y) <= v && v <= float(b.y + b.h)) {
            res = {float(b.x + b.l), v};
            return true;
        }
    }
    // Droite horizontale (a = 0) : elle ne coupe ni le haut ni le bas, et la division
    // par zéro est évitée.
    if (a == 0)
        return false;
    if (haut) {
        const float u = (float(b.y) - q) / a;
        if (float(b.x) <= u && u <= float(b.x + b.l)) {
            res = {u, float(b.y)};
            return true;
        }
    }
    if (bas) {
        const float u = (float(b.y + b.h) - q) / a;
        if (float(b.x) <= u && u <= float(b.x + b.l)) {
            res = {u, float(b.y + b.h)};
            return true;
        }
    }
    return false;
}

// Aucun côté retenu (arrondi au ras d'un coin, boîte de taille négative) : le coin
// tourné vers l'autre centre, valeur finie et au plus près du cas normal.
PointF CoinVers(const Boite &b, PointF c, PointF autre)
{
    return {float(autre.x >= c.x ? b.x + b.l : b.x), float(autre.y >= c.y ? b.y + b.h : b.y)};
}

QPoint VersPoint(PointF p)
{
    return {GrapheHmm::Tronquer(p.x), GrapheHmm::Tronquer(p.y)};
}

} // namespace

int GrapheHmm::Tronquer(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, -1e9, 1e9);
    return int(v);
}

long double GrapheHmm::CA(float v) const
{
    return static_cast<long double>(v) * static_cast<long double>(v);
}

bool GrapheHmm::Accepter(float ax, float ay, float bx, float by, float r) const
{
    return std::sqrt(CA(ax - bx) + CA(ay - by)) <= static_cast<long double>(r);
}

int GrapheHmm::DessinerARC(int x1, int y1, int l1, int h1, int x2, int y2, int l2, int h2, int i, int source,
                      int destination)
{
    if (i == -1) {
        // Table pleine : refus sans rien écrire (la ligne 99 de ARC n'existe pas).
        if (NbArcs >= CapaciteArcs)
            return -1;
        ++NbArcs;
        i = NbArcs;
        Etiquette[i] = QStringLiteral("??");
        ARC[i][1] = source;
        ARC[i][2] = destination;
    } else if (i < 1 || i > NbArcs) {
        return -1;
    }

    const Boite b1{x1, y1, l1, h1};
    const Boite b2{x2, y2, l2, h2};
    const int j = source != destination ? ExisteARC(destination, source) : -1;

    if (source == destination) {
        // Boucle : cercle de rayon RayonBoucle autour du coin haut-gauche intérieur.
        const int R = RayonBoucle;
        PointsARC[i][1] = QPoint(x1 - 5, y1 + R - 1);
        PointsARC[i][2] = QPoint(x1, y1 + R + 1);
        PosEtiquette[i] = QPoint(x1, y1 - R);
    } else if (j != -1) {
        DoubleARC(x1, y1, l1, h1, x2, y2, l2, h2);
        const ResultatDoubleArc &r = ResultatDouble;
        const bool surB = r.ArcDirectSurB;
        const PointF i1 = surB ? r.PointB1 : r.PointA1, i2 = surB ? r.PointB2 : r.PointA2;
        const PointF j1 = surB ? r.PointA1 : r.PointB1, j2 = surB ? r.PointA2 : r.PointB2;
        const int rayon = Tronquer(r.Rayon);
        PointsARC[i][1] = VersPoint(i1);
        PointsARC[i][2] = VersPoint(i2);
        CentreCourbe[i] = VersPoint(surB ? r.CentreB : r.CentreA);
        RayonCourbe[i] = rayon;
        // L'arc opposé part de la boîte 2 et arrive sur la boîte 1.
        PointsARC[j][1] = VersPoint(j2);
        PointsARC[j][2] = VersPoint(j1);
        CentreCourbe[j] = VersPoint(surB ? r.CentreA : r.CentreB);
        RayonCourbe[j] = rayon;
    } else {
        PointF c1 = Centre(b1), c2 = Centre(b2);
        if (c2.x == c1.x)
            c2.x -= 1;
        PointF S = CoinVers(b1, c1, c2), E = CoinVers(b2, c2, c1);
        // Au-delà de 2^24 pixels le décalage d'un pixel se perd en float : on garde les coins.
        if (const float dx = c2.x - c1.x; dx != 0) {
            const float a = (c2.y - c1.y) / dx;
            const float q = (c1.y * c2.x - c2.y * c1.x) / dx;
            if (!Attache(b1, a, q, c1.x >= c2.x, c2.x >= c1.x, c1.y >= c2.y, c1.y <= c2.y, S))
                S = CoinVers(b1, c1, c2);
            if (!Attache(b2, a, q, c2.x >= c1.x, c1.x >= c2.x, c2.y >= c1.y, c2.y <= c1.y, E))
                E = CoinVers(b2, c2, c1);
        }
        // Boîtes qui se chevauchent franchement : l'arc n'a pas de place, il est rangé en (0, 0).
        if (Recouvrement(x1, l1, x2, l2) > 5 && Recouvrement(y1, h1, y2, h2) > 5)
            S = E = PointF{0, 0};
        PointsARC[i][1] = VersPoint(S);
        PointsARC[i][2] = VersPoint(E);
        PosEtiquette[i] = QPoint(Tronquer((S.x + E.x) / 2), Tronquer((S.y + E.y) / 2));
    }
    ArcSelectionne[i] = false;
    Actualiser();
    return i;
}

void GrapheHmm::DoubleARC(int x1, int y1, int l1, int h1, int x2, int y2, int l2, int h2)
{
    const Boite b1{x1, y1, l1, h1};
    const Boite b2{x2, y2, l2, h2};
    PointF c1 = Centre(b1);
    const PointF c2 = Centre(b2);
    // Centres alignés verticalement : le décalage d'un pixel garde d > 0 et fixe l'ordre.
    if (c1.x == c2.x)
        c1.x -= 1;
    const float d = float(std::sqrt(CA(c2.x - c1.x) + CA(c2.y - c1.y)));
    ResultatDoubleArc &r = ResultatDouble;
    r.Rayon = d;
    r.ArcDirectSurB = c1.x < c2.x;

    if (Recouvrement(x1, l1, x2, l2) >= 1 && Recouvrement(y1, h1, y2, h2) >= 1) {
        // Boîtes qui se touchent : la paire est rejetée hors de la surface.
        const PointF dehors{-5, -5};
        r.PointA1 = r.PointA2 = r.PointB1 = r.PointB2 = dehors;
        r.CentreA = r.CentreB = PointF{-(d + 5), -(d + 5)};
        return;
    }

    // Sommets des deux triangles équilatéraux sur c1c2 : milieu ± (√3/2)·(-dy, dx).
    // Forme directe plutôt que l'équation du second degré, qui perd toute précision
    // en float quand les boîtes sont presque l'une au-dessus de l'autre.
    const double mx = (double(c1.x) + c2.x) / 2, my = (double(c1.y) + c2.y) / 2;
    const double dx = double(c2.x) - c1.x, dy = double(c2.y) - c1.y;
    const double k = std::sqrt(3.0) / 2;
    PointF o1{float(mx - k * dy), float(my + k * dx)};
    PointF o2{float(mx + k * dy), float(my - k * dx)};
    if (o2.y < o1.y)
        std::swap(o1, o2);
    r.CentreA = o1;
    r.CentreB = o2;

    // Premier des huit candidats qui existe, tombe sur un côté de la boîte et regarde
    // l'autre centre (à moins de d de lui) ; sinon le résultat précédent reste.
    auto extremite = [&](PointF O, const Boite &b, PointF autre, PointF &res) {
        auto essai = [&](float px, float py, bool surVertical) {
            const bool dansCote = surVertical ? (float(b.y) <= py && py <= float(b.y + b.h))
                                              : (float(b.x) <= px && px <= float(b.x + b.l));
            if (dansCote && Accepter(px, py, autre.x, autre.y, d)) {
                res = {px, py};
                return true;
            }
            return false;
        };
        for (int cote : {b.x, b.x + b.l}) {
            const long double rad = CA(d) - CA(float(cote) - O.x);
            if (rad < 0)
                continue;
            const float s = float(std::sqrt(rad));
            if (essai(float(cote), O.y + s, true) || essai(float(cote), O.y - s, true))
                return;
        }
        for (int cote : {b.y, b.y + b.h}) {
            const long double rad = CA(d) - CA(float(cote) - O.y);
            if (rad < 0)
                continue;
            const float t = float(std::sqrt(rad));
            if (essai(O.x + t, float(cote), false) || essai(O.x - t, float(cote), false))
                return;
        }
    };
    extremite(r.CentreA, b1, c2, r.PointA1);
    extremite(r.CentreA, b2, c1, r.PointA2);
    extremite(r.CentreB, b1, c2, r.PointB1);
    extremite(r.CentreB, b2, c1, r.PointB2);
}

PlacementBoucle GrapheHmm::PlacerBoucle(int i, const QFontMetrics &fm) const
{
    if (i < 1 || i >= Taille || i > NbArcs)
        return {};
    const int R = RayonBoucle;
    // Coin haut-gauche tel que rangé par DessinerARC ; les autres coins s'en déduisent avec la
    // taille de la boîte.
    const QPoint coin(PointsARC[i][2].x(), PointsARC[i][2].y() - R - 1);
    const QRect boite = InterieurEtat ? InterieurEtat(ARC[i][1]) : QRect();
    const bool tailleConnue = boite.isValid();
    const int w = fm.horizontalAdvance(Nombres::TexteAffiche(Etiquette[i]));
    const int hTexte = fm.height();

    auto construire = [&](CoinBoucle c) {
        const bool droite = c == CoinBoucle::HautDroite || c == CoinBoucle::BasDroite;
        const bool bas = c == CoinBoucle::BasGauche || c == CoinBoucle::BasDroite;
        const int sx = droite ? -1 : 1, sy = bas ? -1 : 1;
        PlacementBoucle p;
        p.Coin = c;
        p.Centre = coin + QPoint(droite ? boite.width() : 0, bas ? boite.height() : 0);
        p.Debut = p.Centre + QPoint(-5 * sx, (R - 1) * sy);
        p.Fin = p.Centre + QPoint(0, (R + 1) * sy);
        if (c == CoinBoucle::HautGauche) {
            p.Debut = PointsARC[i][1];
            p.Fin = PointsARC[i][2];
        }
        p.Cercle = QRect(p.Centre.x() - R, p.Centre.y() - R - 2, 2 * R + 1, 2 * R + 5);
        // En haut : 2 R + 7 au-dessus de la fin de la boucle ; en bas : l'image symétrique.
        const int yTexte = bas ? p.Centre.y() + R + 6 - hTexte : p.Centre.y() - R - 6;
        p.Etiquette = QRect(p.Centre.x() - w / 2, yTexte, w, hTexte);
        return p;
    };
    auto surSurface = [&](const PlacementBoucle &p) {
        const bool texte = !EtiquetteVisible[i] || (p.Etiquette.left() >= 0 && p.Etiquette.top() >= 0);
        return p.Cercle.left() >= 0 && p.Cercle.top() >= 0 && texte;
    };
    // Libre : aucune pointe d'un arc qui arrive sur la boîte sous le cercle (ailes de la flèche
    // comprises) ni sous l'étiquette.
    auto libre = [&](const PlacementBoucle &p) {
        const int n = std::min(NbArcs, Taille - 1);
        const QRect texte = p.Etiquette.adjusted(-4, -4, 4, 4);
        for (int j = 1; j <= n; ++j) {
            if (j == i || ARC[j][2] != ARC[i][1] || ARC[j][1] == ARC[j][2])
                continue;
            const QPoint pointe = PointsARC[j][2];
            const double d = std::hypot(double(pointe.x()) - p.Centre.x(), double(pointe.y()) - p.Centre.y());
            if (d <= R + 10 || (EtiquetteVisible[i] && texte.contains(pointe)))
                return false;
        }
        return true;
    };

    const PlacementBoucle habituel = construire(CoinBoucle::HautGauche);
    if (!tailleConnue || (surSurface(habituel) && libre(habituel)))
        return habituel;
    PlacementBoucle candidats[] = {habituel, construire(CoinBoucle::HautDroite), construire(CoinBoucle::BasGauche),
                                   construire(CoinBoucle::BasDroite)};
    for (const PlacementBoucle &p : candidats)
        if (surSurface(p) && libre(p))
            return p;
    for (const PlacementBoucle &p : candidats)
        if (surSurface(p))
            return p;
    return habituel;
}

PlacementBoucle GrapheHmm::PlacerBoucle(int i) const
{
    return PlacerBoucle(i, QFontMetrics(Police));
}

int GrapheHmm::Verifier(int x, int y)
{
    int resultat = -1;
    const int n = std::min(NbArcs, Taille - 1);
    const float px = float(x), py = float(y);
    auto ordonneeProche = [&](float cy, long double rad) {
        const float s = float(std::sqrt(rad));
        return std::fabs(cy + s - py) <= 5 || std::fabs(cy - s - py) <= 5;
    };

    // 1. Arcs simples : près de la droite SE et entre S et E.
    for (int k = 1; k <= n && resultat == -1; ++k) {
        if (ARC[k][1] == ARC[k][2] || ExisteARC(ARC[k][2], ARC[k][1]) != -1)
            continue;
        float sx = float(PointsARC[k][1].x()), sy = float(PointsARC[k][1].y());
        const float ex = float(PointsARC[k][2].x()), ey = float(PointsARC[k][2].y());
        if (ex == sx)
            sx -= 1;
        if (ey == sy)
            sy -= 1;
        if (ex == sx) // coordonnées trop grandes pour le décalage en float
            continue;
        const float a = (ey - sy) / (ex - sx);
        const float b = (sy * ex - ey * sx) / (ex - sx);
        bool proche = std::fabs(py - (a * px + b)) <= 5;
        if (!proche && a != 0)
            proche = std::fabs(px - (py - b) / a) <= 5;
        const float longueur = float(std::sqrt(CA(ex - sx) + CA(ey - sy)));
        if (proche && Accepter(px, py, ex, ey, longueur) && Accepter(px, py, sx, sy, longueur))
            resultat = k;
    }
    // 2. Boucles : cercle de rayon RayonBoucle autour du coin de la boîte où elle est placée.
    for (int k = 1; k <= n && resultat == -1; ++k) {
        if (ARC[k][1] != ARC[k][2])
            continue;
        const float R = float(RayonBoucle);
        const PlacementBoucle placement = PlacerBoucle(k);
        const float cx = float(placement.Centre.x());
        const float cy = float(placement.Centre.y());
        const long double rad = CA(R) - CA(px - cx);
        if (rad >= 0 && ordonneeProche(cy, rad))
            resultat = k;
    }
    // 3. Arcs des paires aller-retour : sur leur cercle, du côté de la corde.
    for (int k = 1; k <= n && resultat == -1; ++k) {
        if (ARC[k][1] == ARC[k][2] || ExisteARC(ARC[k][2], ARC[k][1]) == -1)
            continue;
        const float r = float(RayonCourbe[k]);
        const float cx = float(CentreCourbe[k].x()), cy = float(CentreCourbe[k].y());
        const long double rad = CA(r) - CA(px - cx);
        const QPoint S = PointsARC[k][1], E = PointsARC[k][2];
        if (rad >= 0 && Accepter(px, py, float(S.x()), float(S.y()), r) &&
            Accepter(px, py, float(E.x()), float(E.y()), r) && ordonneeProche(cy, rad))
            resultat = k;
    }

    // 4. Le texte d'une étiquette : on la vise plus facilement que le trait.
    if (resultat == -1)
        resultat = EtiquetteSous(x, y);

    for (bool &s : ArcSelectionne)
        s = false;
    if (resultat != -1) {
        ArcSelectionne[resultat] = true;
        Actualiser();
    }
    return resultat;
}
