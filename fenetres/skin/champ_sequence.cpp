#include "skin/champ_sequence.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>

namespace ChampSequence {

QString Bulle(const QString &texte)
{
    // Une bulle tient à l'écran : lignes de 80 caractères, au plus 24 lignes (début et fin).
    constexpr int Ligne = 80, Lignes = 24;
    if (texte.size() <= Ligne)
        return texte;
    QStringList l;
    for (qsizetype k = 0; k < texte.size(); k += Ligne)
        l << texte.mid(k, Ligne);
    if (l.size() > Lignes) {
        const qsizetype omis = l.size() - Lignes;
        l = l.mid(0, Lignes / 2) +
            QStringList{QStringLiteral("… (%1 caractères en tout ; « Copier » les donne tous) …").arg(texte.size())} +
            l.mid(Lignes / 2 + omis);
    }
    return l.join(QLatin1Char('\n'));
}

void Equiper(QComboBox *champ)
{
    champ->setEditable(true);
    champ->setInsertPolicy(QComboBox::NoInsert);
    // Pas de complétion automatique : "ab" tapé ne doit pas devenir "abab" de l'historique.
    champ->setCompleter(nullptr);
    champ->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    champ->setMinimumContentsLength(Largeur);
    champ->setMaxVisibleItems(12);
    champ->view()->setTextElideMode(Qt::ElideMiddle);
    champ->view()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    champ->setAccessibleName(QStringLiteral("Séquence d'observations"));

    auto *copier = new QAction(QStringLiteral("Copier la &séquence"), champ);
    copier->setObjectName(QStringLiteral("CopierSequence"));
    copier->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copier->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copier, &QAction::triggered, champ, [champ] {
        if (!champ->currentText().isEmpty())
            QGuiApplication::clipboard()->setText(champ->currentText());
    });
    champ->addAction(copier);
    // Le menu du champ garde ses commandes d'édition, suivies de la copie de la séquence entière.
    QLineEdit *ligne = champ->lineEdit();
    ligne->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(ligne, &QWidget::customContextMenuRequested, champ, [ligne, copier](const QPoint &p) {
        QMenu *menu = ligne->createStandardContextMenu();
        menu->addSeparator();
        menu->addAction(copier);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(ligne->mapToGlobal(p));
    });
    QObject::connect(champ, &QComboBox::editTextChanged, champ,
                     [champ](const QString &t) { champ->setToolTip(Bulle(t)); });
}

void Ajouter(QComboBox *champ, const QString &sequence)
{
    champ->addItem(sequence);
    champ->setItemData(champ->count() - 1, Bulle(sequence), Qt::ToolTipRole);
}

void Remplir(QComboBox *champ, const QStringList &sequences)
{
    const QSignalBlocker bloque(champ);
    champ->clear();
    for (const QString &s : sequences)
        Ajouter(champ, s);
    champ->setEditText(QString());
}

}
