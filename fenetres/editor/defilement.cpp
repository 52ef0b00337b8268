// Canevas qui grandit avec le modèle.
#include "editor/defilement.h"
#include "editor/canevas.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/image_modele.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

CanevasDefilant::CanevasDefilant(DocumentModele &d, QWidget *p)
    : QObject(p), doc(&d), surface(VueGraphe(d)), panneau(p)
{
    // Tout changement du modèle redessine la surface : c'est le moment de revoir la taille.
    surface->installEventFilter(this);
}

bool CanevasDefilant::eventFilter(QObject *objet, QEvent *e)
{
    if (doc && objet == surface && e->type() == QEvent::Paint && !prevu) {
        prevu = true;
        QTimer::singleShot(0, this, [this] {
            prevu = false;
            Ajuster();
        });
    }
    return false;
}

void CanevasDefilant::Ajuster()
{
    if (!doc)
        return;
    const QRect e = ImageModele::Etendue(*doc);
    const int l = std::max(200, e.isNull() ? 0 : e.right() + Marge);
    const int h = std::max(200, e.isNull() ? 0 : e.bottom() + Marge);
    if (panneau->minimumSize() != QSize(l, h))
        panneau->setMinimumSize(l, h);
}
