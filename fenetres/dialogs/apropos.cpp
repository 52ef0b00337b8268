// TForm3 : "A propos ...".
#include "dialogs/apropos.h"
#include "skin/presentation.h"
#include "version.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <numbers>

namespace {

// La bannière (369 x 81) : le nom du programme à gauche de la petite image, le sujet à droite.
void Banniere(QPainter &p, QRect r)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(0x1E, 0x3C, 0x8C));
    g.setColorAt(1, QColor(0x3C, 0x8C, 0xD2));
    QPainterPath cadre;
    cadre.addRoundedRect(r, 12, 12);
    p.fillPath(cadre, g);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(r.x() + 8, r.y(), 300 - r.x() - 14, r.height()), Qt::AlignCenter, QStringLiteral("hmmbench"));
    f.setPixelSize(12);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(340, r.y(), r.right() - 340 - 6, r.height()), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Modèles de Markov cachés discrets"));
}

// La petite image (33 x 33) : deux états reliés par un arc, avec une boucle.
void Embleme(QPainter &p, QRect r)
{
    p.save();
    p.translate(r.topLeft());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(0, 0, 33, 33));
    p.setPen(QPen(QColor(0x00, 0x00, 0xFF), 1.5));
    p.setBrush(QColor(0xE7, 0xFF, 0x9D));
    p.drawEllipse(QRectF(2, 18, 12, 12));
    p.drawEllipse(QRectF(19, 18, 12, 12));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 8, 20, 20), 30 * 16, 120 * 16);
    p.drawEllipse(QRectF(20, 4, 10, 12));
    p.restore();
}

}

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("A propos ..."));
    setFixedSize(Largeur, Hauteur);
    // Fond de la couleur des menus du système.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setMask(Forme(width(), height()));
}

QPoint TForm3::Centre(int W, int H)
{
    return {W / 2, H / 2 - 20};
}

QRegion TForm3::Forme(int W, int H)
{
    const QPoint c = Centre(W, H);
    const int r = 300;
    QPolygon etoile;
    for (int degres : {0, 144, 288, 72, 216}) {
        const double a = degres * std::numbers::pi / 180;
        etoile << QPoint(c.x() - int(std::trunc(std::sin(a) * r)), c.y() - int(std::trunc(std::cos(a) * r)));
    }
    // Ellipses bornées par (x1, y1)-(x2, y2), bord droit et bas exclus.
    const QRegion exterieure(0, 0, W - 6, H - 6, QRegion::Ellipse);
    const QRegion interieure(50, 50, W - 20 - 50, H - 10 - 50, QRegion::Ellipse);
    return QRegion(etoile, Qt::WindingFill).united(exterieure.subtracted(interieure));
}

void TForm3::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    // Le bord de l'anneau et de l'étoile, pour que la forme se lise.
    p.setPen(QPen(QColor(0x1E, 0x3C, 0x8C), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRect(1, 1, width() - 9, height() - 9));
    p.drawEllipse(QRect(50, 50, width() - 71, height() - 61));

    Banniere(p, QRect(115, 123, 369, 81));
    Embleme(p, QRect(300, 147, 33, 33));

    QFont f(QStringLiteral("Brussels"));
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(320, 204 + QFontMetrics(f).ascent() + 2, QStringLiteral("Version " HMM_VERSION));
    // Sous la version, là où l'étoile est encore assez large pour le texte.
    f.setBold(false);
    f.setPixelSize(12);
    p.setFont(f);
    p.drawText(QRect(212, 226, 200, 16), Qt::AlignCenter, QStringLiteral("Atelier d'enseignement"));
    f.setPixelSize(11);
    f.setItalic(true);
    p.setFont(f);
    p.drawText(QRect(232, 246, 160, 16), Qt::AlignCenter, QStringLiteral("Cliquez pour fermer"));
}

void TForm3::mousePressEvent(QMouseEvent *)
{
    // Un clic n'importe où (fond, images, textes) ferme la fenêtre.
    close();
}

TForm3 *TForm3::Ouvrir(QWidget *principale)
{
    auto *f = new TForm3(principale);
    // Fondu sur 4 x DureeAnimation ; la fenêtre principale ne répond plus tant qu'elle est ouverte.
    Presentation::Presenter(f, true, Presentation::Animation::Fondu, 4 * Presentation::DureeAnimation);
    return f;
}
