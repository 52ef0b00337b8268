// Canevas qui grandit avec le modèle.
#include "editor/defilement.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/image_modele.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

CanevasDefilant::CanevasDefilant(DocumentModele &d, QWidget *p)
    : QObject(p), doc(d), panneau(p)
{
    // Tout changement du modèle redessine la surface : c'est le moment de revoir la taille.
    doc.Hmm1->installEventFilter(this);
}

bool CanevasDefilant::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == doc.Hmm1 && e->type() == QEvent::Paint && !prevu) {
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
    const QRect e = ImageModele::Etendue(doc);
    const int l = std::max(200, e.isNull() ? 0 : e.right() + Marge);
    const int h = std::max(200, e.isNull() ? 0 : e.bottom() + Marge);
    if (panneau->minimumSize() != QSize(l, h))
        panneau->setMinimumSize(l, h);
}
