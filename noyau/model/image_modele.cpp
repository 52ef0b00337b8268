#include "model/image_modele.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"

#include <QPainter>
#include <algorithm>

namespace ImageModele {

QImage Rendre(const DocumentModele &doc)
{
    THmm *h = doc.Hmm1;
    const QSize taille(std::max(1, h->width()), std::max(1, h->height()));
    QImage image(taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    h->Dessiner(p);
    // Les boîtes par-dessus, dans l'ordre d'empilement du panneau (START d'abord).
    for (int k = 0; k <= doc.N && k < 100; ++k) {
        TEtat2 *b = doc.Etats[k];
        if (!b || (k == 0 && !doc.StartPresent) || b->isHidden())
            continue;
        p.save();
        p.translate(b->Left() - h->x(), b->Top() - h->y());
        b->Dessiner(p);
        p.restore();
    }
    p.end();
    return image;
}

QImage Rendre(const DocumentModele &doc, QSize cible)
{
    const QImage brute = Rendre(doc);
    if (cible.width() < 1 || cible.height() < 1)
        return brute;
    if (cible == brute.size())
        return brute;
    // Étirement lissé : une image réduite reste lisible (traits fins, étiquettes).
    return brute.scaled(cible, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}
