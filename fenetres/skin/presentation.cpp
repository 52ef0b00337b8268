#include "skin/presentation.h"
#include "skin/placement.h"

#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>

namespace {
bool animationsActives = true;
}

namespace Presentation {

void DefinirAnimations(bool actives)
{
    animationsActives = actives;
}

void Centrer(QWidget *f)
{
    QScreen *e = f->screen() ? f->screen() : QGuiApplication::primaryScreen();
    const QRect r = e ? e->geometry() : QRect(0, 0, 1280, 1024);
    const QSize t = f->frameSize().isValid() && f->isVisible() ? f->frameSize() : f->size();
    f->move(r.x() + r.width() / 2 - t.width() / 2, r.y() + r.height() / 2 - t.height() / 2);
}

void Presenter(QWidget *f, bool bloquer, Animation animation, int duree)
{
    f->setAttribute(Qt::WA_DeleteOnClose);
    if (bloquer)
        f->setWindowModality(Qt::ApplicationModal);
    f->adjustSize();
    Centrer(f);
    // Dans l'écran, sous les menus de la fenêtre principale, à sa place retenue.
    Placement::Placer(f);
    const bool anime = animationsActives && animation != Animation::Aucune &&
                       QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!anime) {
        f->show();
        return;
    }
    if (animation == Animation::Fondu) {
        f->setWindowOpacity(0.0);
        f->show();
        auto *a = new QPropertyAnimation(f, "windowOpacity", f);
        a->setDuration(duree);
        a->setStartValue(0.0);
        a->setEndValue(1.0);
        a->start(QAbstractAnimation::DeleteWhenStopped);
        return;
    }
    const QRect fin = f->geometry();
    const QRect debut(fin.center(), QSize(1, 1));
    // Les boîtes de taille fixe sont libérées le temps de l'animation.
    const QSize mini = f->minimumSize(), maxi = f->maximumSize();
    f->setMinimumSize(1, 1);
    f->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    f->setGeometry(debut);
    f->setProperty("hmmAnimee", true);
    f->show();
    auto *a = new QPropertyAnimation(f, "geometry", f);
    a->setDuration(duree);
    a->setStartValue(debut);
    a->setEndValue(fin);
    QObject::connect(a, &QPropertyAnimation::finished, f, [f, mini, maxi, fin] {
        f->setMinimumSize(mini);
        f->setMaximumSize(maxi);
        f->setGeometry(fin);
        f->setProperty("hmmAnimee", false);
    });
    a->start(QAbstractAnimation::DeleteWhenStopped);
}

}
