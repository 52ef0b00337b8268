// Placement des fenêtres secondaires.
#include "skin/placement.h"
#include "model/reglages.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace Placement {

QRect Zone(const QRect &ecran, const QRect &menus)
{
    QRect z = ecran;
    if (!menus.isEmpty() && menus.bottom() >= z.top() && menus.top() <= z.bottom())
        z.setTop(menus.bottom() + 1);
    return z;
}

QRect Ajuster(const QRect &cadre, const QRect &zone, const QSize &minimum)
{
    QRect r = cadre;
    r.setWidth(std::max(std::min(r.width(), zone.width()), minimum.width()));
    r.setHeight(std::max(std::min(r.height(), zone.height()), minimum.height()));
    // Le coin haut-gauche d'abord : une fenêtre trop grande déborde à droite ou en bas,
    // jamais sur les menus.
    if (r.right() > zone.right())
        r.moveRight(zone.right());
    if (r.bottom() > zone.bottom())
        r.moveBottom(zone.bottom());
    if (r.left() < zone.left())
        r.moveLeft(zone.left());
    if (r.top() < zone.top())
        r.moveTop(zone.top());
    return r;
}

QString Cle(const QWidget *f)
{
    // Un message ou une boîte de fichier prend la taille de son contenu : rien à retenir.
    if (qobject_cast<const QMessageBox *>(f) || qobject_cast<const QFileDialog *>(f))
        return QString();
    const QString nom = f->objectName();
    return nom.isEmpty() ? QString::fromLatin1(f->metaObject()->className()) : nom;
}

namespace {

QPointer<QWidget> principale;

// Un échec d'écriture n'interrompt pas l'utilisateur : dit une fois sur la sortie d'erreur.
void retenirRectangle(const QString &cle, const QRect &r)
{
    static bool dit = false;
    QString erreur;
    if (!Reglages::EcrireRectangle(cle, r, &erreur) && !dit) {
        dit = true;
        qWarning("%s", qPrintable(QStringLiteral("Places des fenêtres non retenues : %1").arg(erreur)));
    }
}

QRect zone(const QWidget *w)
{
    const QScreen *s = principale && principale->isVisible() ? principale->screen() : w->screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    QRect menus;
    if (auto *m = qobject_cast<QMainWindow *>(principale.data()); m && m->isVisible() && m->menuBar() &&
                                                                 m->menuBar()->isVisible())
        menus = QRect(m->menuBar()->mapToGlobal(QPoint(0, 0)), m->menuBar()->size());
    return Zone(s ? s->availableGeometry() : QRect(0, 0, 800, 600), menus);
}

QMargins cadre(const QWidget *w)
{
    const QRect f = w->frameGeometry(), g = w->geometry();
    if (f != g)
        return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    return CadreEstime;
}

void retenir(const QWidget *w)
{
    const QString cle = Cle(w);
    if (!cle.isEmpty() && w->property("hmmPlacee").toBool() &&
        !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        retenirRectangle(QStringLiteral("Fenetres/") + cle, w->geometry());
}

bool suivie(const QWidget *w)
{
    if (!w->isWindow() || w == principale)
        return false;
    const Qt::WindowType t = w->windowType();
    return t != Qt::Popup && t != Qt::ToolTip && t != Qt::Desktop && t != Qt::SplashScreen;
}

class Suivi : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::Show && e->type() != QEvent::Hide)
            return false;
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || !principale || !suivie(w))
            return false;
        if (e->type() == QEvent::Hide)
            retenir(w);
        else if (!w->property("hmmAnimee").toBool())
            Placer(w);
        return false;
    }
};

}

void Placer(QWidget *w)
{
    // Une fenêtre agrandie occupe déjà l'écran : le gestionnaire de fenêtres la place.
    if (!principale || !suivie(w) || (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QMargins m = cadre(w);
    const QRect z = zone(w);
    const QString cle = Cle(w);
    QRect g = w->geometry();
    bool retenue = false;
    if (!cle.isEmpty()) {
        const QRect r = Reglages::LireRectangle(QStringLiteral("Fenetres/") + cle);
        if (r.isValid()) {
            // Une fenêtre de taille fixe garde sa taille ; seule sa place revient.
            g = w->minimumSize() == w->maximumSize() ? QRect(r.topLeft(), g.size()) : r;
            retenue = true;
        }
    }
    if (!retenue && !w->property("hmmPlacee").toBool()) {
        // Première fois : au-dessus de la fenêtre principale, sous ses menus, en cascade.
        int decalage = 0;
        for (QWidget *autre : QApplication::topLevelWidgets())
            if (autre != w && suivie(autre) && autre->isVisible())
                decalage += 24;
        const QPoint centre = principale->isVisible() ? principale->geometry().center() : z.center();
        g.moveTopLeft(QPoint(centre.x() - g.width() / 2, std::max(z.top() + m.top(), centre.y() - g.height() / 2)) +
                      QPoint(decalage, decalage));
    }
    w->setProperty("hmmPlacee", true);
    const QSize minimum = w->minimumSizeHint().expandedTo(w->minimumSize()).boundedTo(w->maximumSize());
    const QRect c = Ajuster(g.marginsAdded(m), z,
                            QSize(std::min(minimum.width() + m.left() + m.right(), z.width()),
                                  std::min(minimum.height() + m.top() + m.bottom(), z.height())));
    const QRect voulu = c.marginsRemoved(m);
    // Une fenêtre plus grande que la zone y est ramenée : son minimum cède.
    if (w->minimumWidth() > voulu.width() || w->minimumHeight() > voulu.height())
        w->setMinimumSize(std::min(w->minimumWidth(), voulu.width()), std::min(w->minimumHeight(), voulu.height()));
    if (voulu != w->geometry())
        w->setGeometry(voulu);
}

void Installer(QWidget *p)
{
    principale = p;
    static QPointer<Suivi> suivi;
    if (!suivi) {
        suivi = new Suivi(qApp);
        qApp->installEventFilter(suivi);
    }
}

}
