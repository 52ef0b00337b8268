#include "dialogs/pi_a_b.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

TForm18::TForm18(const QString &titre, int colonnes, int lignes, int hauteurBarreEtat, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form18"));
    setWindowTitle(titre);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    Tableau = new QTableWidget(lignes, colonnes, this);
    Tableau->setObjectName(QStringLiteral("Tableau"));
    Tableau->horizontalHeader()->hide();
    Tableau->verticalHeader()->hide();
    Tableau->horizontalHeader()->setDefaultSectionSize(LargeurColonne);
    Tableau->verticalHeader()->setDefaultSectionSize(HauteurLigne);
    Tableau->horizontalHeader()->setMinimumSectionSize(8);
    Tableau->verticalHeader()->setMinimumSectionSize(8);
    Tableau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tableau->setShowGrid(true);
    v->addWidget(Tableau, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    v->addWidget(StatusBar1);

    // Ligne et colonne d'en-tête fixes : fond grisé, en gras.
    for (int c = 0; c < colonnes; ++c)
        for (int r = 0; r < lignes; ++r)
            Ecrire(c, r, QString());

    barre = hauteurBarreEtat;
    Ajuster();
}

void TForm18::Ajuster()
{
    const int C = Tableau->columnCount(), R = Tableau->rowCount();
    QSize t = TailleFenetre(C, R, barre);
    int surplus = 0;
    for (int c = 0; c < C; ++c) {
        int voulu = 0;
        for (int r = 0; r < R; ++r)
            if (const QTableWidgetItem *i = Tableau->item(r, c))
                voulu = std::max(voulu, QFontMetrics(i->font()).horizontalAdvance(i->text()) + 10);
        if (voulu > LargeurColonne) {
            Tableau->setColumnWidth(c, voulu);
            surplus += voulu - LargeurColonne;
        } else {
            Tableau->setColumnWidth(c, LargeurColonne);
        }
    }
    t.rwidth() += surplus;
    // Une grande table tient dans l'écran ; la grille défile alors.
    if (QScreen *e = QGuiApplication::primaryScreen())
        t = t.boundedTo(e->availableGeometry().size() - QSize(40, 80));
    resize(t);
}

QSize TForm18::TailleFenetre(int C, int R, int hauteurBarreEtat)
{
    return QSize(LargeurColonne * C + Trait * (C + 3), HauteurLigne * R + Trait * (R + 3) + hauteurBarreEtat + 24);
}

void TForm18::Ecrire(int colonne, int ligne, const QString &texte)
{
    auto *i = Tableau->item(ligne, colonne);
    if (!i) {
        i = new QTableWidgetItem;
        if (ligne == 0 || colonne == 0) {
            i->setBackground(palette().button());
            QFont g = i->font();
            g.setBold(true);
            i->setFont(g);
            i->setFlags(Qt::ItemIsEnabled);
        } else {
            i->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        Tableau->setItem(ligne, colonne, i);
    }
    i->setText(texte);
}

QString TForm18::Lire(int colonne, int ligne) const
{
    const auto *i = Tableau->item(ligne, colonne);
    return i ? i->text() : QString();
}
