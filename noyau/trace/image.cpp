#include "trace/image.h"
#include "model/image_modele.h"
#include "trace/document_trace.h"
#include "model/textes.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QBuffer>

namespace Trace {

QImage ImageModele(DocumentModele &doc)
{
    // Le modèle seul (son étendue, pas la fenêtre), réduit sans déformation pour tenir dans
    // 500 × 400 et centré sur fond blanc ; jamais agrandi, pour que le texte reste net.
    const QImage modele = ::ImageModele::RendreModele(doc);
    QImage image(LargeurImage, HauteurImage, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QSize taille = modele.width() <= LargeurImage && modele.height() <= HauteurImage
                             ? modele.size()
                             : modele.size().scaled(LargeurImage, HauteurImage, Qt::KeepAspectRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((LargeurImage - taille.width()) / 2, (HauteurImage - taille.height()) / 2), taille),
                modele);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

void ExporterImageModele(DocumentModele &doc)
{
    const QString chemin = CheminImage();
    // Le sous-répertoire de l'image n'est pas livré : il naît avec la première trace.
    QDir().mkpath(QFileInfo(chemin).absolutePath());
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QString erreur;
    if (!ImageModele(doc).save(&tampon, "BMP"))
        erreur = QStringLiteral("l'image n'a pas pu être produite");
    else
        Textes::EcrireOctets(chemin, octets, &erreur);
    if (!erreur.isEmpty())
        throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : %2")
                         .arg(QDir::toNativeSeparators(chemin), erreur));
}

}
