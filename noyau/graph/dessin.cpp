// Dessin de la surface (THmm) et des boîtes d'états (TEtat2). Sans anticrénelage pour
// que les pixels soient exacts ; le même code sert à l'écran, à l'impression et aux images.
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// Texte posé par son coin haut-gauche sur un fond opaque, comme une sortie de texte
// de la surface. QPainter dessine le texte avec le stylo : on le rend ensuite.
void TexteOpaque(QPainter &p, int x, int y, const QString &texte, TCouleur couleur, TCouleur fond)
{
    const QFontMetrics fm = p.fontMetrics();
    p.fillRect(QRect(x, y, fm.horizontalAdvance(texte), fm.height()), VersQColor(fond));
    const QPen stylo = p.pen();
    p.setPen(VersQColor(couleur));
    p.drawText(x, y + fm.ascent(), texte);
    p.setPen(stylo);
}

// Poignée de sélection : carré de 4 x 4 pixels centré sur (x, y).
void Poignee(QPainter &p, int x, int y)
{
    p.drawRect(x - 2, y - 2, 3, 3);
}

// Rectangle (x1, y1)-(x2, y2) bord droit et bas exclus, à la manière de la surface
// d'origine : QPainter trace un rectangle de largeur w sur w + 1 pixels.
void RectangleExclusif(QPainter &p, int x1, int y1, int x2, int y2)
{
    p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

// Point du cercle (c, r) au-dessus du point m de la corde : intersection de la droite
// (c, m) avec le cercle, la plus proche de m. m.x décalé d'un pixel s'il vaut c.x.
QPointF SurCercle(double cx, double cy, double r, double mx, double my)
{
    if (mx == cx)
        mx -= 1;
    const double a = (my - cy) / (mx - cx);
    const double ex = r / std::sqrt(1 + a * a);
    const QPointF pa(cx + ex, cy + a * ex), pb(cx - ex, cy - a * ex);
    auto d2 = [&](QPointF q) { return (q.x() - mx) * (q.x() - mx) + (q.y() - my) * (q.y() - my); };
    return d2(pa) <= d2(pb) ? pa : pb;
}

} // namespace

void GrapheHmm::Dessiner(QPainter &p, QSize surface)
{
    if (DefautFond)
        CouleurFond = Couleurs::Blanc;
    if (DefautArc)
        CouleurArc = Couleurs::Bleu;
    if (DefautProb)
        CouleurProb = Couleurs::Rouge;

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(Police);
    p.fillRect(QRect(QPoint(0, 0), surface), VersQColor(CouleurFond));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    RectangleExclusif(p, 0, 0, surface.width(), surface.height());

    const int n = std::min(NbArcs, Taille - 1);
    const int R = RayonBoucle;
    auto styloArc = [&](int i) {
        const bool couleur = ArcSurligne[i] && CouleurArcSurligne[i].isValid();
        p.setPen(QPen(couleur ? CouleurArcSurligne[i] : VersQColor(CouleurArc), ArcSurligne[i] ? 3 : 1));
        p.setBrush(VersQColor(CouleurFond));
    };
    auto styloPoignees = [&] {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(VersQColor(CouleurFond));
    };

    // Boucles : cercle (rempli du fond) autour du coin choisi, puis petite flèche sur le côté
    // de la boîte.
    for (int i = 1; i <= n; ++i) {
        if (ARC[i][1] != ARC[i][2])
            continue;
        const PlacementBoucle b = PlacerBoucle(i, p.fontMetrics());
        styloArc(i);
        p.drawEllipse(b.Cercle.adjusted(0, 0, -1, -1));
        ModeTrace = 0;
        Fleche(p, b.Debut.x(), b.Debut.y(), b.Fin.x(), b.Fin.y(), CouleurArc, i);
        if (ArcSelectionne[i]) {
            styloPoignees();
            const QPoint c = b.Centre;
            Poignee(p, c.x(), c.y() - R);
            Poignee(p, c.x() - R, c.y());
            Poignee(p, c.x(), c.y() + R);
            Poignee(p, c.x() + R, c.y());
        }
    }
    // Arcs simples : segments droits.
    for (int i = 1; i <= n; ++i) {
        if (ARC[i][1] == ARC[i][2] || ExisteARC(ARC[i][2], ARC[i][1]) != -1)
            continue;
        const QPoint P1 = PointsARC[i][1], P2 = PointsARC[i][2];
        styloArc(i);
        ModeTrace = 1;
        Fleche(p, P1.x(), P1.y(), P2.x(), P2.y(), CouleurArc, i);
        if (ArcSelectionne[i]) {
            styloPoignees();
            const QPoint M((P1.x() + P2.x()) / 2, (P1.y() + P2.y()) / 2);
            Poignee(p, P1.x(), P1.y());
            Poignee(p, P2.x(), P2.y());
            Poignee(p, M.x(), M.y());
            Poignee(p, (P1.x() + M.x()) / 2, (P1.y() + M.y()) / 2);
            Poignee(p, (M.x() + P2.x()) / 2, (M.y() + P2.y()) / 2);
        }
    }
    // Paires aller-retour : arcs de cercle.
    for (int i = 1; i <= n; ++i) {
        if (ARC[i][1] == ARC[i][2] || ExisteARC(ARC[i][2], ARC[i][1]) == -1)
            continue;
        const QPoint P1 = PointsARC[i][1], P2 = PointsARC[i][2];
        const QPoint c = CentreCourbe[i];
        const int r = RayonCourbe[i];
        styloArc(i);
        DessinerARCDouble(p, i, r, c, P1, P2, Etiquette[i]);
        if (ArcSelectionne[i]) {
            styloPoignees();
            Poignee(p, P1.x(), P1.y());
            Poignee(p, P2.x(), P2.y());
            for (double f : {0.5, 0.75, 0.25}) {
                const QPointF q = SurCercle(c.x(), c.y(), r, P1.x() + f * (P2.x() - P1.x()),
                                            P1.y() + f * (P2.y() - P1.y()));
                Poignee(p, Tronquer(q.x()), Tronquer(q.y()));
            }
        }
    }
    p.restore();
}

void GrapheHmm::Fleche(QPainter &p, int x1, int y1, int x2, int y2, TCouleur couleur, int i)
{
    // Différences en double : pas de débordement entier pour des points lointains.
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    double theta = dx == 0 ? std::atan(dy) : std::atan(dy / dx);
    if (dx < 0)
        theta += Pi;

    QPen stylo = p.pen();
    stylo.setColor(VersQColor(couleur));
    stylo.setStyle(Qt::SolidLine);
    p.setPen(stylo);
    if (ModeTrace != 2)
        p.drawLine(x1, y1, x2, y2);

    auto aile = [&](double angle, double l) {
        return QPoint(Tronquer(std::floor(l * std::cos(angle)) + x2), Tronquer(std::floor(l * std::sin(angle)) + y2));
    };
    const QPoint pointe(x2, y2);
    const QPoint gauche = aile(theta + Pi - Pi / 4, 15), droite = aile(theta + Pi + Pi / 4, 15);
    QPoint points[4];
    if (TypeFleche == 1) {
        points[0] = pointe, points[1] = gauche, points[2] = droite, points[3] = pointe;
    } else {
        // Encoche 7 pixels derrière la pointe (style 2) ou 3 pixels (autres styles).
        const QPoint encoche = aile(theta + Pi, TypeFleche == 2 ? 7 : 3);
        points[0] = pointe, points[1] = gauche, points[2] = encoche, points[3] = droite;
    }
    p.setBrush(VersQColor(couleur));
    p.drawPolygon(points, 4);
    p.setBrush(VersQColor(CouleurFond));

    if (i < 1 || i >= Taille || !EtiquetteVisible[i] || ModeTrace == 2)
        return;
    const QRect r = RectangleEtiquette(i, p.fontMetrics());
    TexteOpaque(p, r.x(), r.y(), Nombres::TexteAffiche(Etiquette[i]), CouleurProb, CouleurFond);
}

QRect GrapheHmm::RectangleEtiquette(int i, const QFontMetrics &fm) const
{
    if (i < 1 || i >= Taille || i > NbArcs)
        return QRect();
    const QString texte = Nombres::TexteAffiche(Etiquette[i]);
    const int w = fm.horizontalAdvance(texte);
    const QPoint P1 = PointsARC[i][1], P2 = PointsARC[i][2];
    QPoint coin;
    if (ARC[i][1] == ARC[i][2]) {
        coin = PlacerBoucle(i, fm).Etiquette.topLeft();
    } else if (ExisteARC(ARC[i][2], ARC[i][1]) == -1) {
        const int mx = Tronquer((double(P1.x()) + P2.x()) / 2), my = Tronquer((double(P1.y()) + P2.y()) / 2);
        coin = QPoint(mx - w / 2, my - 5);
    } else {
        // Ancre : le point de l'arc au-dessus du milieu de la corde.
        const QPointF ancre = SurCercle(CentreCourbe[i].x(), CentreCourbe[i].y(), RayonCourbe[i],
                                        (double(P1.x()) + P2.x()) / 2, (double(P1.y()) + P2.y()) / 2);
        coin = QPoint(Tronquer(ancre.x() - w / 2.0), Tronquer(ancre.y() - 5));
    }
    // Une étiquette reste sur la surface : rien n'est écrit hors du bord haut ou gauche.
    return QRect(std::max(coin.x(), 0), std::max(coin.y(), 0), w, fm.height());
}

QRect GrapheHmm::RectangleEtiquette(int i) const
{
    return RectangleEtiquette(i, QFontMetrics(Police));
}

int GrapheHmm::EtiquetteSous(int x, int y) const
{
    // La dernière dessinée est au-dessus : boucles, arcs simples, puis paires.
    const int n = std::min(NbArcs, Taille - 1);
    const QFontMetrics fm(Police);
    int trouve = -1;
    for (int passe = 0; passe < 3; ++passe)
        for (int k = 1; k <= n; ++k) {
            const bool boucle = ARC[k][1] == ARC[k][2];
            const bool paire = !boucle && ExisteARC(ARC[k][2], ARC[k][1]) != -1;
            if ((passe == 0) != boucle || (passe == 2) != paire || !EtiquetteVisible[k])
                continue;
            // Zone visée : la bande des chiffres (hauteur des capitales, un pixel de plus de
            // chaque côté), pas l'interligne, qui déborde sur le trait de l'arc.
            const QRect r = RectangleEtiquette(k, fm);
            const QRect bande(r.x(), r.y() + fm.ascent() - fm.capHeight() - 1, r.width(), fm.capHeight() + 2);
            if (bande.contains(x, y))
                trouve = k;
        }
    return trouve;
}

void GrapheHmm::DessinerARCDouble(QPainter &p, int i, int r, QPoint c, QPoint p1, QPoint p2, const QString &etiquette)
{
    const bool valide = i >= 1 && i < Taille;
    QPen stylo = p.pen();
    stylo.setWidth(valide && ArcSurligne[i] ? 3 : 1);
    p.setPen(stylo);

    // Arc dans le sens trigonométrique de P2 vers P1. Les angles de Qt se mesurent
    // vers le haut de l'écran (y inversé), en seizièmes de degré.
    const double cx = c.x(), cy = c.y();
    auto angle = [&](QPoint q) { return std::atan2(cy - q.y(), q.x() - cx); };
    double ouverture = angle(p1) - angle(p2);
    while (ouverture < 0)
        ouverture += 2 * Pi;
    while (ouverture >= 2 * Pi)
        ouverture -= 2 * Pi;
    // Extrémités confondues : rien à tracer (pas le cercle entier).
    if (r > 0 && ouverture > 0)
        p.drawArc(QRectF(cx - r, cy - r, 2.0 * r, 2.0 * r), int(std::lround(angle(p2) * 180 / Pi * 16)),
                  int(std::lround(ouverture * 180 / Pi * 16)));

    // Pointe en P2 le long de la tangente : intersection T des tangentes en P1 et P2.
    auto tangente = [&](QPoint q, double &m, double &o) {
        double qx = q.x(), qy = q.y();
        if (qx == cx)
            qx -= 1;
        if (qy == cy)
            qy -= 1;
        m = -(qx - cx) / (qy - cy);
        o = qy - m * qx;
    };
    double m1, o1, m2, o2;
    tangente(p1, m1, o1);
    tangente(p2, m2, o2);
    double tx = 0, ty = 0;
    if (m1 != m2) {
        tx = (o2 - o1) / (m1 - m2);
        ty = m1 * tx + o1;
    }
    if (m1 == m2 || !std::isfinite(tx) || !std::isfinite(ty) || std::fabs(tx) > 1e7 || std::fabs(ty) > 1e7) {
        // Tangentes parallèles (extrémités confondues ou diamétrales) : on recule de P2
        // le long de la tangente, dans le sens de parcours (horaire à l'écran).
        const double vx = p2.x() - cx, vy = p2.y() - cy;
        const double n = std::hypot(vx, vy);
        tx = n > 0 ? p2.x() + 100 * vy / n : p2.x() - 1.0;
        ty = n > 0 ? p2.y() - 100 * vx / n : p2.y();
    }
    ModeTrace = 2;
    Fleche(p, Tronquer(tx), Tronquer(ty), p2.x(), p2.y(), CouleurArc, -1);

    // Ancre de l'étiquette : le point de l'arc au-dessus du milieu de la corde.
    const QPointF ancre = SurCercle(cx, cy, r, (double(p1.x()) + p2.x()) / 2, (double(p1.y()) + p2.y()) / 2);
    if (!valide)
        return;
    PosEtiquette[i] = QPoint(Tronquer(ancre.x()), Tronquer(ancre.y()));
    if (EtiquetteVisible[i]) {
        const QString texte = Nombres::TexteAffiche(etiquette);
        const int w = p.fontMetrics().horizontalAdvance(texte);
        TexteOpaque(p, std::max(0, Tronquer(ancre.x() - w / 2.0)), std::max(0, Tronquer(ancre.y() - 5)), texte,
                    CouleurProb, CouleurFond);
    }
}

void BoiteEtat::Dessiner(QPainter &p, QSize &taille, const QFont &police, QString *bulleMontree)
{
    if (DefautRemplissage)
        CouleurRemplissage = Couleurs::VertClair;
    if (DefautStylo)
        CouleurStylo = Couleurs::Bleu;
    if (Image.isNull())
        Image = QImage(1, 1, QImage::Format_RGB32);

    QFont policeNom = police;
    policeNom.setPointSize(10);
    policeNom.setBold(true);
    QFont policePaire = police;
    policePaire.setPointSize(8);
    policePaire.setBold(false);
    // Mesures faites pour l'image, sur laquelle le texte est écrit.
    const QFontMetrics mNom(policeNom, &Image), mPaire(policePaire, &Image);
    const int n = std::clamp(NbSymboles, 0, Taille - 1);
    auto textePaire = [&](int k) {
        return Generation[k][1] + QStringLiteral(" : ") + Nombres::TexteAffiche(Generation[k][2]);
    };

    // La boîte s'élargit pour sa plus longue ligne, retrait de 15 pixels des paires compris ;
    // elle ne rétrécit jamais. Un nom trop long pour la largeur permise est coupé (bulle entière).
    // Place exigée : nom centré avec 5 pixels de chaque côté ; paire après le retrait de 15
    // pixels, bordures (2 + 2) et 2 pixels de marge à droite. Élargie, la boîte prend 30 pixels
    // de plus que sa plus longue ligne.
    const int wNom = std::min(mNom.horizontalAdvance(Nom), LargeurMax - 30);
    int wPaire = 0;
    for (int k = 1; k <= n; ++k)
        wPaire = std::max(wPaire, mPaire.horizontalAdvance(textePaire(k)));
    const int h = mPaire.height();
    if (taille.width() < std::max(wNom + 10, wPaire + 21))
        taille.setWidth(std::max(wNom, wPaire) + 30);
    const QString nomMontre = mNom.elidedText(Nom, Qt::ElideMiddle, std::max(taille.width() - 12, 1));
    // Bulle : le nom entier et les valeurs entières, quand l'image en montre moins.
    bool coupe = nomMontre != Nom;
    QString bulle = Nom;
    for (int k = 1; k <= n; ++k) {
        coupe = coupe || Nombres::TexteAffiche(Generation[k][2]) != Generation[k][2];
        bulle += QLatin1Char('\n') + Generation[k][1] + QStringLiteral(" : ") + Generation[k][2];
    }
    if (!coupe)
        bulle.clear();
    if (bulleMontree)
        *bulleMontree = bulle;

    const int W = taille.width(), H = taille.height();
    const QSize image(std::max(1, W - 4), std::max(1, H - 4));
    // Sur une surface plus fine que l'écran (impression), la boîte est tracée à sa finesse.
    const qreal finesse = p.device() ? std::max<qreal>(1, p.device()->devicePixelRatioF()) : 1;
    if (Image.deviceIndependentSize().toSize() != image || Image.devicePixelRatio() != finesse) {
        Image = QImage(image * finesse, QImage::Format_RGB32);
        Image.setDevicePixelRatio(finesse);
    }
    // Le fond de la surface d'abord : les coins hors de l'arrondi en prennent la couleur.
    Image.fill(VersQColor(CouleurFond));
    {
        QPainter q(&Image);
        q.setRenderHint(QPainter::Antialiasing, false);
        const QRect cadre(0, 0, image.width() - 1, image.height() - 1);
        q.setPen(VersQColor(CouleurFond));
        q.setBrush(VersQColor(CouleurFond));
        q.drawRoundedRect(cadre, 5, 5);
        const QPen bord = Surligne ? QPen(VersQColor(CouleurSurligne), EpaisseurSurligne) : QPen(VersQColor(CouleurStylo), 1);
        q.setPen(bord);
        q.setBrush(VersQColor(CouleurRemplissage));
        q.drawRoundedRect(cadre, 5, 5);

        q.setFont(policeNom);
        q.setPen(VersQColor(Couleurs::Rouge));
        q.drawText((image.width() - mNom.horizontalAdvance(nomMontre)) / 2, 2 + mNom.ascent(), nomMontre);

        if (Nom != QLatin1String("START")) {
            q.setPen(bord);
            q.drawLine(0, 20, W, 20);
            q.setFont(policePaire);
            q.setPen(VersQColor(Couleurs::Noir));
            for (int k = 1; k <= n; ++k)
                q.drawText(15, 25 + (k - 1) * h + mPaire.ascent(), textePaire(k));
        }
    }

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawImage(2, 2, Image);
    if (Selectionne) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        RectangleExclusif(p, 0, 0, 4, 4);
        RectangleExclusif(p, W / 2 - 2, 0, W / 2 + 2, 4);
        RectangleExclusif(p, W - 4, 0, W, 4);
        RectangleExclusif(p, 0, H / 2 - 2, 4, H / 2 + 2);
        RectangleExclusif(p, W - 4, H / 2 - 2, W, H / 2 + 2);
        RectangleExclusif(p, 0, H - 4, 4, H);
        RectangleExclusif(p, W / 2 - 2, H - 4, W / 2 + 2, H);
        RectangleExclusif(p, W - 4, H - 4, W, H);
    }
    p.restore();
}
