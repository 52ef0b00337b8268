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
    const QImage canevas = ::ImageModele::Rendre(doc);
    // Le pixel de marge, hors du canevas, reste blanc comme le fond d'une image neuve.
    QImage source(canevas.width() + 2, canevas.height() + 2, QImage::Format_RGB32);
    source.fill(Qt::white);
    QPainter p(&source);
    p.drawImage(1, 1, canevas);
    p.end();
    return source.scaled(LargeurImage, HauteurImage, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
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
