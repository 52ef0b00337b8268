// Bulles, copie et colonnes des listes de résultats.
#include "editor/listes_outils.h"
#include "skin/champ_sequence.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>

namespace {

// Bulle de la case sous la souris : son texte entier, même coupé à l'écran.
class BulleCase : public QObject {
public:
    explicit BulleCase(QAbstractItemView *vue)
        : QObject(vue), vue(vue)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::ToolTip)
            return false;
        auto *h = static_cast<QHelpEvent *>(e);
        const QModelIndex i = vue->indexAt(h->pos());
        const QString texte = i.isValid() ? OutilsListe::TexteBulle(i.data(Qt::DisplayRole).toString()) : QString();
        if (texte.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(h->globalPos(), texte, vue->viewport(), vue->visualRect(i));
        return true;
    }

private:
    QAbstractItemView *vue;
};

}

namespace OutilsListe {

void Equiper(QTreeView *liste)
{
    liste->setSelectionMode(QAbstractItemView::ExtendedSelection);
    liste->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    liste->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    liste->header()->setStretchLastSection(true);
    // Une longue séquence est coupée au milieu : son début et sa fin restent lisibles.
    liste->setTextElideMode(Qt::ElideMiddle);
    liste->viewport()->installEventFilter(new BulleCase(liste));

    auto *copier = new QAction(QStringLiteral("&Copier"), liste);
    copier->setShortcut(QKeySequence::Copy);
    copier->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copier, &QAction::triggered, liste, [liste] {
        const QString texte = TexteLignesChoisies(liste);
        if (!texte.isEmpty())
            QGuiApplication::clipboard()->setText(texte);
    });
    liste->addAction(copier);
    liste->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QString TexteLignesChoisies(const QAbstractItemView *liste)
{
    const QAbstractItemModel *m = liste->model();
    if (!m || !liste->selectionModel())
        return QString();
    QModelIndexList lignes = liste->selectionModel()->selectedRows();
    std::sort(lignes.begin(), lignes.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList texte;
    for (const QModelIndex &l : lignes) {
        QStringList cases;
        for (int c = 0; c < m->columnCount(l.parent()); ++c)
            cases << m->index(l.row(), c, l.parent()).data(Qt::DisplayRole).toString();
        texte << cases.join(QLatin1Char('\t'));
    }
    return texte.join(QLatin1Char('\n'));
}

void AjusterColonnes(QTreeView *liste)
{
    const QAbstractItemModel *m = liste->model();
    if (!m)
        return;
    // La vue ne mesure que les lignes qu'elle montre : rapide même pour une longue liste.
    // Aucune colonne ne dépasse LargeurMax : la probabilité reste à l'écran.
    int total = 0;
    for (int c = 0; c < m->columnCount(); ++c) {
        liste->resizeColumnToContents(c);
        if (liste->columnWidth(c) > LargeurMax)
            liste->setColumnWidth(c, LargeurMax);
        total += liste->columnWidth(c);
    }
    // Dans une liste étroite, la première colonne (séquence, chemin : le texte coupé au milieu)
    // cède sa place pour que la probabilité qui la suit reste lisible.
    const int manque = total - liste->viewport()->width();
    if (manque > 0 && m->columnCount() > 1)
        liste->setColumnWidth(0, std::max(LargeurMin, liste->columnWidth(0) - manque));
}

QString TexteBulle(const QString &texte)
{
    return ChampSequence::Bulle(texte);
}

}
