// Menus au clavier et outils maintenus par double-clic.
#include "editor/clavier.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

namespace {

const char *const ProprieteMaintenu = "hmmOutilMaintenu";

// Double-clic sur le bouton d'un outil : l'outil est choisi et maintenu.
class DoubleClicOutil : public QObject {
public:
    DoubleClicOutil(QAction *outil, QShortcut *echap)
        : QObject(outil), outil(outil), echap(echap)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonDblClick) {
            outil->setChecked(true);
            outil->setProperty(ProprieteMaintenu, true);
            echap->setEnabled(true);
            return true;
        }
        return false;
    }

private:
    QAction *outil;
    QShortcut *echap;
};

}

namespace Clavier {

void DonnerAccesMenus(QMainWindow &f)
{
    QMenuBar *barre = f.menuBar();
    QString prises;
    for (QAction *menu : barre->actions()) {
        if (!menu->menu())
            continue;
        QChar lettre;
        for (const QChar c : menu->text().toUpper())
            if (c.isLetter() && !prises.contains(c)) {
                lettre = c;
                break;
            }
        if (lettre.isNull())
            continue;
        prises += lettre;
        // Mnémonique du titre : la barre de menus ouvre elle-même ce menu par Alt+lettre et les
        // aides techniques l'annoncent.
        if (!menu->text().contains(QLatin1Char('&'))) {
            QString t = menu->text();
            t.insert(t.toUpper().indexOf(lettre), QLatin1Char('&'));
            menu->setText(t);
        }
        menu->setToolTip(QStringLiteral("Alt+") + lettre);
    }
    auto *f10 = new QShortcut(QKeySequence(Qt::Key_F10), &f);
    QObject::connect(f10, &QShortcut::activated, barre, [barre] {
        const QList<QAction *> menus = barre->actions();
        if (!menus.isEmpty())
            barre->setActiveAction(menus.first());
    });
}

void MaintenirOutils(QMainWindow &f, QToolBar *barre, QAction *selection, const QList<QAction *> &outils)
{
    auto *echap = new QShortcut(QKeySequence(Qt::Key_Escape), &f);
    echap->setEnabled(false); // seulement quand un outil est maintenu : Échap reste aux autres sinon
    auto relacher = [outils, echap] {
        for (QAction *a : outils)
            a->setProperty(ProprieteMaintenu, false);
        echap->setEnabled(false);
    };
    QObject::connect(echap, &QShortcut::activated, selection, [selection, relacher] {
        relacher();
        selection->setChecked(true);
    });
    // Choisir un autre outil (la sélection comprise) relâche l'outil maintenu.
    if (QActionGroup *groupe = selection->actionGroup())
        QObject::connect(groupe, &QActionGroup::triggered, selection, [outils, relacher](QAction *a) {
            for (QAction *o : outils)
                if (o != a && o->property(ProprieteMaintenu).toBool())
                    relacher();
        });
    for (QAction *a : outils)
        if (QWidget *bouton = barre->widgetForAction(a))
            bouton->installEventFilter(new DoubleClicOutil(a, echap));
}

bool OutilMaintenu(const QAction *outil)
{
    return outil && outil->property(ProprieteMaintenu).toBool();
}

}
