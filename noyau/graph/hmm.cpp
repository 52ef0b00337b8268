// THmm : le contrôle du graphe ; les arcs et leur dessin sont ceux de GrapheHmm.
#include "graph/hmm.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

THmm::THmm(QWidget *owner)
    : QWidget(owner)
{
    Police = font();
}

void THmm::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange)
        Police = font();
    QWidget::changeEvent(e);
}

void THmm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Dessiner(p);
}

bool THmm::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        const QPoint pos = static_cast<QHelpEvent *>(e)->pos();
        const int k = EtiquetteSous(pos.x(), pos.y());
        if (k != -1)
            QToolTip::showText(static_cast<QHelpEvent *>(e)->globalPos(), Etiquette[k], this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
