// Dessine les cinq images de la galerie des algorithmes (BMP) dans le répertoire donné :
//   generer_galerie <répertoire>
// Chaque image explique un algorithme : le treillis des états dans le temps, la
// récurrence, les formules.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <cmath>
#include <cstdio>

namespace {

const QColor BleuTitre(0x1E, 0x3C, 0x8C);
const QColor BleuArc(0x00, 0x00, 0xC8);
const QColor RougeChemin(0xC8, 0x10, 0x10);
const QColor VertEtat(0xE7, 0xFF, 0x9D);
const QColor GrisLeger(0xB4, 0xB4, 0xB4);
const QColor FondEncadre(0xF4, 0xF7, 0xFC);
const QString Police = QStringLiteral("DejaVu Sans");

// Document de texte riche dans la police des images, sans marge, à sa largeur idéale ou
// à `largeur` quand elle est donnée.
void Preparer(QTextDocument &d, const QString &html, int taille, qreal largeur = -1)
{
    QFont f(Police);
    f.setPixelSize(taille);
    d.setDefaultFont(f);
    d.setDocumentMargin(0);
    d.setHtml(html);
    d.setTextWidth(largeur > 0 ? largeur : d.idealWidth());
}

// Texte riche (indices, exposants, lettres grecques) posé à (x, y), largeur libre ou imposée.
QSizeF Texte(QPainter &p, qreal x, qreal y, const QString &html, int taille = 12, qreal largeur = -1,
             Qt::Alignment alignement = Qt::AlignLeft)
{
    QTextDocument d;
    Preparer(d,
             alignement & Qt::AlignHCenter ? QStringLiteral("<div align=\"center\">") + html + QStringLiteral("</div>")
                                           : html,
             taille, largeur);
    p.save();
    p.translate(x, y);
    d.drawContents(&p);
    p.restore();
    return d.size();
}

QSizeF Mesure(const QString &html, int taille)
{
    QTextDocument d;
    Preparer(d, html, taille);
    return d.size();
}

// "gauche = numérateur / dénominateur" avec une vraie barre de fraction ; rend la largeur.
qreal Fraction(QPainter &p, qreal x, qreal y, const QString &gauche, const QString &num, const QString &den,
               int taille = 12, const QString &droite = QString())
{
    const QSizeF g = Mesure(gauche, taille), n = Mesure(num, taille), d = Mesure(den, taille);
    const qreal l = std::max(n.width(), d.width()) + 8;
    const qreal milieu = y + n.height() + 2;
    Texte(p, x, milieu - g.height() / 2, gauche, taille);
    const qreal fx = x + g.width() + 4;
    Texte(p, fx + (l - n.width()) / 2, y, num, taille);
    p.save();
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(fx, milieu), QPointF(fx + l, milieu));
    p.restore();
    Texte(p, fx + (l - d.width()) / 2, milieu + 3, den, taille);
    qreal fin = fx + l + 4;
    if (!droite.isEmpty()) {
        const QSizeF r = Mesure(droite, taille);
        Texte(p, fin, milieu - r.height() / 2, droite, taille);
        fin += r.width();
    }
    return fin - x;
}

void Titre(QPainter &p, int largeur, const QString &titre, const QString &sousTitre)
{
    p.fillRect(QRect(0, 0, largeur, 30), BleuTitre);
    QFont f(Police);
    f.setPixelSize(15);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(10, 0, largeur - 20, 30), Qt::AlignVCenter | Qt::AlignLeft, titre);
    f.setPixelSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(10, 0, largeur - 20, 30), Qt::AlignVCenter | Qt::AlignRight, sousTitre);
}

// Encadré aux coins arrondis avec un intitulé en gras.
void Encadre(QPainter &p, QRectF r, const QString &intitule = QString())
{
    p.save();
    p.setPen(QPen(QColor(0x9A, 0xAC, 0xD0), 1));
    p.setBrush(FondEncadre);
    p.drawRoundedRect(r, 6, 6);
    if (!intitule.isEmpty()) {
        QFont f(Police);
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(BleuTitre);
        p.drawText(QPointF(r.x() + 8, r.y() + 14), intitule);
    }
    p.restore();
}

// Un état du treillis : un disque et son nom (S<sub>i</sub>...).
void Etat(QPainter &p, QPointF c, const QString &nom, bool marque = false, qreal rayon = 14)
{
    p.save();
    p.setPen(QPen(marque ? RougeChemin : BleuArc, marque ? 2.5 : 1.5));
    p.setBrush(marque ? QColor(0xFF, 0xE4, 0xC8) : VertEtat);
    p.drawEllipse(c, rayon, rayon);
    p.restore();
    const QSizeF t = Mesure(nom, 11);
    Texte(p, c.x() - t.width() / 2, c.y() - t.height() / 2, nom, 11);
}

// Flèche entre deux disques (s'arrête à leur bord).
void Fleche(QPainter &p, QPointF a, QPointF b, const QColor &couleur, qreal epaisseur = 1.2, qreal rayon = 14)
{
    const QPointF v = b - a;
    const qreal l = std::hypot(v.x(), v.y());
    if (l <= 2 * rayon)
        return;
    const QPointF u = v / l;
    const QPointF debut = a + u * rayon, fin = b - u * (rayon + 1);
    p.save();
    p.setPen(QPen(couleur, epaisseur));
    p.drawLine(debut, fin);
    const QPointF n(-u.y(), u.x());
    QPolygonF pointe;
    pointe << fin << fin - u * 9 + n * 4 << fin - u * 9 - n * 4;
    p.setBrush(couleur);
    p.setPen(Qt::NoPen);
    p.drawPolygon(pointe);
    p.restore();
}

QImage Nouvelle(int l, int h)
{
    QImage im(l, h, QImage::Format_RGB32);
    im.fill(Qt::white);
    return im;
}

// ---- Forward ----

QImage Forward()
{
    QImage im = Nouvelle(473, 345);
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    Titre(p, im.width(), QStringLiteral("Forward"), QStringLiteral("probabilité P(O | λ) de gauche à droite"));

    // Treillis : tous les états de l'instant t mènent à l'état S_j de l'instant t+1.
    Encadre(p, QRectF(8, 38, 222, 178), QStringLiteral("Un pas de la récurrence"));
    const qreal xt = 62, xs = 165;
    const qreal ys[3] = {82, 128, 186};
    const QString noms[3] = {QStringLiteral("S<sub>1</sub>"), QStringLiteral("S<sub>i</sub>"),
                             QStringLiteral("S<sub>N</sub>")};
    const QString poids[3] = {QStringLiteral("a<sub>1j</sub>"), QStringLiteral("a<sub>ij</sub>"),
                              QStringLiteral("a<sub>Nj</sub>")};
    const QPointF j(xs, 128);
    for (int k = 0; k < 3; ++k) {
        Etat(p, QPointF(xt, ys[k]), noms[k]);
        Fleche(p, QPointF(xt, ys[k]), j, BleuArc, 1.4);
        Texte(p, 14, ys[k] - 8, QStringLiteral("α<sub>t</sub>(%1)").arg(k == 0 ? "1" : k == 1 ? "i" : "N"), 10);
        const QPointF m = (QPointF(xt, ys[k]) + j) / 2;
        Texte(p, m.x() - 8, m.y() - (k == 2 ? -2 : 16), poids[k], 10);
    }
    Texte(p, xt - 3, 150, QStringLiteral("⋮"), 14);
    Etat(p, j, QStringLiteral("S<sub>j</sub>"), true);
    Texte(p, 160, 96, QStringLiteral("α<sub>t+1</sub>(j)"), 10);
    Texte(p, 160, 148, QStringLiteral("× b<sub>j</sub>(o<sub>t+1</sub>)"), 10);
    Texte(p, xt - 4, 200, QStringLiteral("t"), 11);
    Texte(p, xs - 10, 200, QStringLiteral("t+1"), 11);

    // Sens de α.
    Encadre(p, QRectF(238, 38, 227, 178), QStringLiteral("La variable avant α"));
    Texte(p, 246, 58,
          QStringLiteral("α<sub>t</sub>(i) = P(o<sub>1</sub> o<sub>2</sub> … o<sub>t</sub>, q<sub>t</sub> = S<sub>i</sub> | λ)"
                         "<br><br>probabilité d'avoir émis le début o<sub>1</sub> … o<sub>t</sub> de la séquence "
                         "et d'être dans l'état S<sub>i</sub> à l'instant t."
                         "<br><br>Le tableau α se remplit colonne par colonne, de t = 1 à t = T : "
                         "N<sup>2</sup>·T opérations au lieu des N<sup>T</sup> chemins de l'approche directe."),
          11, 211);

    // Les trois étapes.
    Encadre(p, QRectF(8, 224, 457, 114), QStringLiteral("Algorithme"));
    Texte(p, 18, 244, QStringLiteral("<b>1. Initialisation :</b> α<sub>1</sub>(i) = π<sub>i</sub> · b<sub>i</sub>(o<sub>1</sub>),"
                                     "  1 ≤ i ≤ N"), 12);
    Texte(p, 18, 270, QStringLiteral("<b>2. Récurrence :</b> α<sub>t+1</sub>(j) = [ <big>Σ</big><sub>i=1..N</sub> "
                                     "α<sub>t</sub>(i) · a<sub>ij</sub> ] · b<sub>j</sub>(o<sub>t+1</sub>),"
                                     "  1 ≤ t ≤ T−1"), 12);
    Texte(p, 18, 300, QStringLiteral("<b>3. Terminaison :</b> P(O | λ) = <big>Σ</big><sub>i=1..N</sub> "
                                     "α<sub>T</sub>(i)"), 12);
    return im;
}

// ---- Backward ----

QImage Backward()
{
    QImage im = Nouvelle(475, 345);
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing, true);
    Titre(p, im.width(), QStringLiteral("Backward"), QStringLiteral("probabilité P(O | λ) de droite à gauche"));

    // Treillis : l'état S_i de l'instant t regarde tous les états de l'instant t+1.
    Encadre(p, QRectF(8, 38, 222, 178), QStringLiteral("Un pas de la récurrence"));
    const qreal xt = 46, xs = 172;
    const qreal ys[3] = {82, 128, 186};
    const QString noms[3] = {QStringLiteral("S<sub>1</sub>"), QStringLiteral("S<sub>j</sub>"),
                             QStringLiteral("S<sub>N</sub>")};
    const QPointF i(xt, 128);
    for (int k = 0; k < 3; ++k) {
        Etat(p, QPointF(xs, ys[k]), noms[k]);
        Fleche(p, i, QPointF(xs, ys[k]), BleuArc, 1.4);
        Texte(p, xs + 18, ys[k] - 8, QStringLiteral("β<sub>t+1</sub>(%1)").arg(k == 0 ? "1" : k == 1 ? "j" : "N"), 10);
    }
    Texte(p, 36, 70, QStringLiteral("a<sub>ij</sub> b<sub>j</sub>(o<sub>t+1</sub>)"), 10);
    Texte(p, xs - 3, 150, QStringLiteral("⋮"), 14);
    Etat(p, i, QStringLiteral("S<sub>i</sub>"), true);
    Texte(p, 20, 150, QStringLiteral("β<sub>t</sub>(i)"), 10);
    Texte(p, xt - 4, 200, QStringLiteral("t"), 11);
    Texte(p, xs - 10, 200, QStringLiteral("t+1"), 11);

    Encadre(p, QRectF(238, 38, 229, 178), QStringLiteral("La variable arrière β"));
    Texte(p, 246, 58,
          QStringLiteral("β<sub>t</sub>(i) = P(o<sub>t+1</sub> o<sub>t+2</sub> … o<sub>T</sub> | q<sub>t</sub> = S<sub>i</sub>, λ)"
                         "<br><br>probabilité d'émettre la fin o<sub>t+1</sub> … o<sub>T</sub> de la séquence "
                         "en partant de l'état S<sub>i</sub> à l'instant t."
                         "<br><br>Le tableau β se remplit de t = T à t = 1 ; il donne la même probabilité que "
                         "Forward et sert, avec α, à l'entraînement de Baum-Welch."),
          11, 213);

    Encadre(p, QRectF(8, 224, 459, 114), QStringLiteral("Algorithme"));
    Texte(p, 18, 244, QStringLiteral("<b>1. Initialisation :</b> β<sub>T</sub>(i) = 1,  1 ≤ i ≤ N"), 12);
    Texte(p, 18, 270, QStringLiteral("<b>2. Récurrence :</b> β<sub>t</sub>(i) = <big>Σ</big><sub>j=1..N</sub> "
                                     "a<sub>ij</sub> · b<sub>j</sub>(o<sub>t+1</sub>) · β<sub>t+1</sub>(j),"
                                     "  t = T−1, …, 1"), 12);
    Texte(p, 18, 300, QStringLiteral("<b>3. Terminaison :</b> P(O | λ) = <big>Σ</big><sub>i=1..N</sub> "
                                     "π<sub>i</sub> · b<sub>i</sub>(o<sub>1</sub>) · β<sub>1</sub>(i)"), 12);
    return im;
}

// ---- Viterbi ----

QImage Viterbi()
{
    QImage im = Nouvelle(470, 425);
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing, true);
    Titre(p, im.width(), QStringLiteral("Viterbi"), QStringLiteral("le chemin d'états le plus probable"));

    // Treillis complet : 3 états, 4 instants ; le meilleur chemin en rouge.
    Encadre(p, QRectF(8, 38, 454, 176), QStringLiteral("Treillis : le meilleur prédécesseur de chaque état"));
    const qreal xs[4] = {70, 180, 290, 400};
    const qreal ys[3] = {80, 130, 180};
    const int chemin[4] = {0, 1, 1, 2};
    for (int t = 0; t < 3; ++t)
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                if (!(chemin[t] == a && chemin[t + 1] == b))
                    Fleche(p, QPointF(xs[t], ys[a]), QPointF(xs[t + 1], ys[b]), GrisLeger, 1);
    for (int t = 0; t < 3; ++t)
        Fleche(p, QPointF(xs[t], ys[chemin[t]]), QPointF(xs[t + 1], ys[chemin[t + 1]]), RougeChemin, 2.6);
    for (int t = 0; t < 4; ++t) {
        for (int s = 0; s < 3; ++s)
            Etat(p, QPointF(xs[t], ys[s]), QStringLiteral("S<sub>%1</sub>").arg(s + 1), chemin[t] == s);
        Texte(p, xs[t] - 16, 196, QStringLiteral("t = %1").arg(t + 1), 10);
    }
    Texte(p, 18, 72, QStringLiteral("δ<sub>t</sub>(i)"), 10);
    Texte(p, 414, 58, QStringLiteral("q*<sub>T</sub>"), 10);

    Encadre(p, QRectF(8, 222, 454, 196), QStringLiteral("Algorithme"));
    Texte(p, 18, 242, QStringLiteral("<b>1. Initialisation :</b> δ<sub>1</sub>(i) = π<sub>i</sub> · b<sub>i</sub>(o<sub>1</sub>),"
                                     "  ψ<sub>1</sub>(i) = 0"), 12);
    Texte(p, 18, 266, QStringLiteral("<b>2. Récurrence :</b> δ<sub>t</sub>(j) = max<sub>i</sub> [ δ<sub>t−1</sub>(i) · "
                                     "a<sub>ij</sub> ] · b<sub>j</sub>(o<sub>t</sub>)"), 12);
    Texte(p, 130, 290, QStringLiteral("ψ<sub>t</sub>(j) = argmax<sub>i</sub> [ δ<sub>t−1</sub>(i) · a<sub>ij</sub> ]"), 12);
    Texte(p, 18, 316, QStringLiteral("<b>3. Terminaison :</b> P* = max<sub>i</sub> δ<sub>T</sub>(i),"
                                     "  q*<sub>T</sub> = argmax<sub>i</sub> δ<sub>T</sub>(i)"), 12);
    Texte(p, 18, 342, QStringLiteral("<b>4. Retour arrière :</b> q*<sub>t</sub> = ψ<sub>t+1</sub>(q*<sub>t+1</sub>),"
                                     "  t = T−1, …, 1"), 12);
    Texte(p, 18, 372, QStringLiteral("Forward additionne les chemins ; Viterbi garde le maximum et note dans ψ "
                                     "d'où il vient, pour retrouver le chemin q*<sub>1</sub> … q*<sub>T</sub>."),
          11, 436);
    return im;
}

// ---- Entraînement de Viterbi ----

QImage EntrainementViterbi()
{
    QImage im = Nouvelle(474, 345);
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing, true);
    Titre(p, im.width(), QStringLiteral("Entraînement de Viterbi"), QStringLiteral("réestimer λ en comptant"));

    // Le cycle : décoder, compter, réestimer.
    const QRectF etapes[3] = {QRectF(12, 44, 142, 70), QRectF(166, 44, 142, 70), QRectF(320, 44, 142, 70)};
    const QString textes[3] = {
        QStringLiteral("<b>1. Décoder</b><br>chemin de Viterbi<br>Q = q<sub>1</sub> … q<sub>T</sub>"),
        QStringLiteral("<b>2. Compter</b><br>le long de Q : départ, transitions, émissions"),
        QStringLiteral("<b>3. Réestimer</b><br>π, A et B par des fréquences"),
    };
    for (int k = 0; k < 3; ++k) {
        Encadre(p, etapes[k]);
        Texte(p, etapes[k].x() + 6, etapes[k].y() + 8, textes[k], 11, etapes[k].width() - 12, Qt::AlignHCenter);
    }
    for (int k = 0; k < 2; ++k) {
        const QPointF a(etapes[k].right() + 1, etapes[k].center().y()), b(etapes[k + 1].left() - 1, a.y());
        p.save();
        p.setPen(QPen(BleuTitre, 2));
        p.drawLine(a, b - QPointF(6, 0));
        p.setBrush(BleuTitre);
        p.drawPolygon(QPolygonF() << b << b + QPointF(-7, -4) << b + QPointF(-7, 4));
        p.restore();
    }
    Texte(p, 12, 120, QStringLiteral("On répète le comptage tant que les paramètres changent (au plus deux passes, "
                                     "le chemin étant décodé une seule fois)."), 11, 450);

    // Exemple : un chemin et ses comptes.
    Encadre(p, QRectF(8, 156, 458, 70), QStringLiteral("Exemple : O = a b b, Q = E1 E2 E2"));
    const qreal y = 198;
    const char *etats[3] = {"E1", "E2", "E2"};
    const char *obs[3] = {"a", "b", "b"};
    for (int t = 0; t < 3; ++t) {
        const QPointF c(60 + t * 70, y);
        Etat(p, c, QString::fromLatin1(etats[t]), false, 13);
        if (t < 2)
            Fleche(p, c, c + QPointF(70, 0), RougeChemin, 2, 13);
        Texte(p, c.x() + 15, c.y() + 2, QString::fromLatin1(obs[t]), 10);
    }
    Texte(p, 260, 176, QStringLiteral("π(E1) = 1 ; a(E1→E2) = 1/1<br>a(E2→E2) = 1/1 ; b(E2, b) = 2/2"), 11, 200);

    Encadre(p, QRectF(8, 234, 458, 104), QStringLiteral("Réestimation"));
    Texte(p, 18, 252, QStringLiteral("π̄<sub>i</sub> = 1 si q<sub>1</sub> = S<sub>i</sub>, 0 sinon"), 12);
    Fraction(p, 18, 274, QStringLiteral("ā<sub>ij</sub> ="),
             QStringLiteral("n(q<sub>t</sub> = S<sub>i</sub>, q<sub>t+1</sub> = S<sub>j</sub>)"),
             QStringLiteral("n(q<sub>t</sub> = S<sub>i</sub>), t ≤ T−1"), 11);
    Fraction(p, 250, 274, QStringLiteral("b̄<sub>i</sub>(k) ="),
             QStringLiteral("n(q<sub>t</sub> = S<sub>i</sub>, o<sub>t</sub> = v<sub>k</sub>)"),
             QStringLiteral("n(q<sub>t</sub> = S<sub>i</sub>)"), 11);
    Texte(p, 18, 318, QStringLiteral("Un état absent du chemin garde ses lignes de A et de B."), 10);
    return im;
}

// ---- Entraînement de Baum-Welch ----

QImage EntrainementBaumWelch()
{
    QImage im = Nouvelle(475, 417);
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing, true);
    Titre(p, im.width(), QStringLiteral("Entraînement de Baum-Welch"), QStringLiteral("réestimer λ par les espérances"));

    // ξ_t(i, j) : α avant, la transition, β après.
    Encadre(p, QRectF(8, 38, 459, 112), QStringLiteral("Passer de l'état i (instant t) à l'état j (instant t+1)"));
    const QPointF si(150, 96), sj(320, 96);
    Etat(p, si, QStringLiteral("S<sub>i</sub>"), true);
    Etat(p, sj, QStringLiteral("S<sub>j</sub>"), true);
    Fleche(p, si, sj, RougeChemin, 2.4);
    Texte(p, 196, 72, QStringLiteral("a<sub>ij</sub> · b<sub>j</sub>(o<sub>t+1</sub>)"), 11);
    for (int k = -1; k <= 1; k += 2) {
        Fleche(p, QPointF(50, 96 + 30 * k), si, GrisLeger, 1);
        Fleche(p, sj, QPointF(420, 96 + 30 * k), GrisLeger, 1);
    }
    Texte(p, 20, 88, QStringLiteral("α<sub>t</sub>(i)"), 11);
    Texte(p, 420, 88, QStringLiteral("β<sub>t+1</sub>(j)"), 11);
    Texte(p, 136, 118, QStringLiteral("t"), 10);
    Texte(p, 306, 118, QStringLiteral("t+1"), 10);

    Encadre(p, QRectF(8, 158, 459, 96), QStringLiteral("Espérances (à partir de Forward et Backward)"));
    Fraction(p, 18, 176, QStringLiteral("γ<sub>t</sub>(i) ="), QStringLiteral("α<sub>t</sub>(i) · β<sub>t</sub>(i)"),
             QStringLiteral("P(O | λ)"), 11);
    Fraction(p, 200, 176, QStringLiteral("ξ<sub>t</sub>(i, j) ="),
             QStringLiteral("α<sub>t</sub>(i) · a<sub>ij</sub> · b<sub>j</sub>(o<sub>t+1</sub>) · β<sub>t+1</sub>(j)"),
             QStringLiteral("P(O | λ)"), 11);
    Texte(p, 18, 224, QStringLiteral("γ : être en S<sub>i</sub> à l'instant t ;  ξ : passer de S<sub>i</sub> à "
                                     "S<sub>j</sub> entre t et t+1."), 10);

    Encadre(p, QRectF(8, 262, 459, 148), QStringLiteral("Réestimation, puis nouvelle itération"));
    Texte(p, 18, 282, QStringLiteral("π̄<sub>i</sub> = γ<sub>1</sub>(i)"), 12);
    Fraction(p, 18, 304, QStringLiteral("ā<sub>ij</sub> ="), QStringLiteral("Σ<sub>t=1..T−1</sub> ξ<sub>t</sub>(i, j)"),
             QStringLiteral("Σ<sub>t=1..T−1</sub> γ<sub>t</sub>(i)"), 11);
    Fraction(p, 240, 304, QStringLiteral("b̄<sub>j</sub>(k) ="),
             QStringLiteral("Σ<sub>t : o<sub>t</sub> = v<sub>k</sub></sub> γ<sub>t</sub>(j)"),
             QStringLiteral("Σ<sub>t=1..T</sub> γ<sub>t</sub>(j)"), 11);
    Texte(p, 18, 352,
          QStringLiteral("On recommence avec le nouveau modèle jusqu'au nombre d'itérations choisi, jusqu'à ce que "
                         "P(O | λ) atteigne le seuil, ou quand plus aucun paramètre ne change. "
                         "P(O | λ) ne diminue jamais d'une itération à l'autre."),
          10, 440);
    return im;
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage : generer_galerie <répertoire>\n");
        return 2;
    }
    const QDir dossier(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char *nom;
        QImage (*dessin)();
    } images[] = {
        {"Forward2.bmp", Forward},
        {"Backward2.bmp", Backward},
        {"Viterbi2.bmp", Viterbi},
        {"app_Viterbi2.bmp", EntrainementViterbi},
        {"app_Baumwelch2.bmp", EntrainementBaumWelch},
    };
    int erreurs = 0;
    for (const auto &i : images) {
        const QString chemin = dossier.filePath(QLatin1String(i.nom));
        if (!i.dessin().save(chemin, "BMP")) {
            std::fprintf(stderr, "impossible d'écrire %s\n", qPrintable(chemin));
            ++erreurs;
        }
    }
    return erreurs == 0 ? 0 : 1;
}
