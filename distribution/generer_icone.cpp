// Dessine l'icône de hmmbench en PNG aux tailles du thème hicolor, d'après les mêmes
// formes que hmmbench.svg (Qt n'a pas besoin de son module SVG pour la construire) :
//   generer_icone <répertoire>   ->  <répertoire>/<T>x<T>/apps/hmmbench.png
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

void Dessiner(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1E, 0x3C, 0x8C));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    p.setBrush(Qt::NoBrush);
    QPainterPath haut(QPointF(80, 150));
    haut.quadTo(128, 70, 176, 150);
    p.setPen(QPen(Qt::white, 10));
    p.drawPath(haut);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(176, 150), QPointF(172, 124), QPointF(154, 140)}));
    p.setBrush(Qt::NoBrush);
    QPainterPath bas(QPointF(176, 178));
    bas.quadTo(128, 238, 80, 178);
    p.setPen(QPen(QColor(0x9D, 0xC8, 0xFF), 8));
    p.drawPath(bas);
    QPainterPath boucle(QPointF(176, 110));
    boucle.cubicTo(150, 40, 214, 40, 196, 112);
    p.setPen(QPen(Qt::white, 8));
    p.drawPath(boucle);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(40);
    p.setFont(f);
    for (const auto &[x, lettre] : {std::pair{72, "a"}, std::pair{184, "b"}}) {
        p.setPen(QPen(QColor(0x00, 0x00, 0xC8), 8));
        p.setBrush(QColor(0xE7, 0xFF, 0x9D));
        p.drawEllipse(QPointF(x, 164), 34, 34);
        p.setPen(QColor(0x1E, 0x3C, 0x8C));
        p.drawText(QRectF(x - 34, 130, 68, 68), Qt::AlignCenter, QLatin1String(lettre));
    }
}

}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage : generer_icone <répertoire>\n", stderr);
        return 2;
    }
    for (int t : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dossier = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(t);
        QDir().mkpath(dossier);
        QImage im(t, t, QImage::Format_ARGB32_Premultiplied);
        im.fill(Qt::transparent);
        QPainter p(&im);
        p.scale(t / 256.0, t / 256.0);
        Dessiner(p);
        p.end();
        if (!im.save(dossier + QStringLiteral("/hmmbench.png"), "PNG"))
            return 1;
    }
    return 0;
}
