#include "trace/image.h"
#include "trace/document_trace.h"
#include "model/textes.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QBuffer>
#include <algorithm>

namespace Trace {

CadrageImage Cadrer(QSize modele)
{
    const double w = std::max(1, modele.width()), h = std::max(1, modele.height());
    double echelle = std::min({1.0, LargeurImage / w, HauteurImage / h});
    if (echelle < EchelleLisible)
        echelle = std::min({EchelleLisible, LargeurImageMax / w, HauteurImageMax / h});
    // Arrondi vers le bas : le modèle réduit tient toujours dans l'image.
    const QSize reduit(std::max(1, int(w * echelle)), std::max(1, int(h * echelle)));
    return {QSize(std::max(LargeurImage, reduit.width()), std::max(HauteurImage, reduit.height())), echelle};
}

QImage ImageModele(const QImage &modele)
{
    // Le modèle seul (son étendue, pas la fenêtre), centré sur fond blanc ; jamais agrandi,
    // pour que le texte reste net.
    const CadrageImage cadre = Cadrer(modele.size());
    QImage image(cadre.Taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QSize taille = cadre.Echelle >= 1 ? modele.size()
                                            : QSize(std::max(1, int(modele.width() * cadre.Echelle)),
                                                    std::max(1, int(modele.height() * cadre.Echelle)));
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((image.width() - taille.width()) / 2, (image.height() - taille.height()) / 2), taille),
                modele);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

void ExporterImageModele(const QImage &modele)
{
    const QString chemin = CheminImage();
    // Le sous-répertoire de l'image n'est pas livré : il naît avec la première trace.
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QString erreur;
    if (!ImageModele(modele).save(&tampon, "BMP"))
        erreur = QStringLiteral("l'image n'a pas pu être produite");
    else
        Textes::EcrireOctets(chemin, octets, &erreur);
    if (!erreur.isEmpty())
        throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : %2")
                         .arg(QDir::toNativeSeparators(chemin), erreur));
}

}
