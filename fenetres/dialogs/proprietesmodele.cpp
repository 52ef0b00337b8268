#include "dialogs/proprietesmodele.h"
#include "dialogs/aide.h"
#include "dialogs/pi_a_b.h"
#include "graph/nombres.h"
#include "skin/presentation.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

TForm4::TForm4(const ParametresModele &parametres, bool start, QWidget *parent)
    : QDialog(parent), p(parametres)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Les paramètres du modèle"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *v = new QVBoxLayout(this);
    v->setSizeConstraint(QLayout::SetFixedSize);
    v->setContentsMargins(10, 10, 10, 0);

    auto rouge = [this](int n) {
        auto *l = new QLabel(QString::number(n), this);
        l->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
        return l;
    };
    auto *g = new QGridLayout;
    g->addWidget(new QLabel(QStringLiteral("Le nombre des états (N) :"), this), 0, 0);
    g->addWidget(LabelN = rouge(p.N), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Le nombre des symboles (M) :"), this), 1, 0);
    g->addWidget(LabelM = rouge(p.M), 1, 1);
    v->addLayout(g);

    auto *listes = new QGridLayout;
    listes->addWidget(new QLabel(QStringLiteral("Les Etats :"), this), 0, 0);
    listes->addWidget(new QLabel(QStringLiteral("Les Symboles :"), this), 0, 1);
    ListBoxEtats = new QListWidget(this);
    ListBoxSymboles = new QListWidget(this);
    ListBoxEtats->setFixedSize(170, 140);
    ListBoxSymboles->setFixedSize(170, 140);
    if (start)
        ListBoxEtats->addItem(QStringLiteral("Start"));
    for (int i = 1; i <= p.N; ++i)
        ListBoxEtats->addItem(p.NomEtat(i));
    for (int k = 1; k <= p.M; ++k)
        ListBoxSymboles->addItem(p.Symboles[k]);
    listes->addWidget(ListBoxEtats, 1, 0);
    listes->addWidget(ListBoxSymboles, 1, 1);
    v->addLayout(listes);

    auto *tables = new QGridLayout;
    auto ligne = [&](int r, const QString &texte) {
        tables->addWidget(new QLabel(texte, this), r, 0);
        auto *b = new QPushButton(QStringLiteral("Voir ..."), this);
        b->setAutoDefault(false);
        tables->addWidget(b, r, 1);
        return b;
    };
    BoutonPI = ligne(0, QStringLiteral("La distribution initiale PI :"));
    BoutonA = ligne(1, QStringLiteral("La matrice de transition A :"));
    BoutonB = ligne(2, QStringLiteral("La matrice de génération B :"));
    v->addLayout(tables);
    BoutonPI->setEnabled(p.N > 0);
    BoutonA->setEnabled(p.N > 0);
    BoutonB->setEnabled(p.N > 0 && p.M > 0);

    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("  &Fermer"), this);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&Aide"), this);
    BitBtn1->setDefault(true);
    BitBtn2->setAutoDefault(false);
    boutons->addWidget(BitBtn1);
    boutons->addWidget(BitBtn2);
    v->addLayout(boutons);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(22);
    v->addWidget(StatusBar1);

    connect(BoutonPI, &QPushButton::clicked, this, [this] { VoirPI(); });
    connect(BoutonA, &QPushButton::clicked, this, [this] { VoirA(); });
    connect(BoutonB, &QPushButton::clicked, this, [this] { VoirB(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::close);
    connect(BitBtn2, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("IDH_1")); });
}

TForm18 *TForm4::montrer(TForm18 *t)
{
    t->setAttribute(Qt::WA_DeleteOnClose);
    t->Ajuster();
    t->setWindowModality(Qt::ApplicationModal);
    Presentation::Centrer(t);
    t->show();
    return t;
}

TForm18 *TForm4::VoirPI()
{
    if (p.N <= 0)
        return nullptr;
    auto *t = new TForm18(QStringLiteral(" La distribution initiale PI"), p.N + 1, 2, StatusBar1->height(), this);
    for (int j = 1; j <= p.N; ++j) {
        t->Ecrire(j, 0, p.NomEtat(j));
        t->Ecrire(j, 1, Nombres::Formater(p.PI[j]));
    }
    t->Ecrire(0, 1, QStringLiteral("Start"));
    return montrer(t);
}

TForm18 *TForm4::VoirA()
{
    if (p.N <= 0)
        return nullptr;
    auto *t = new TForm18(QStringLiteral(" La matrice de transition A"), p.N + 1, p.N + 1, StatusBar1->height(), this);
    for (int i = 1; i <= p.N; ++i) {
        t->Ecrire(i, 0, p.NomEtat(i));
        t->Ecrire(0, i, p.NomEtat(i));
        for (int j = 1; j <= p.N; ++j)
            t->Ecrire(j, i, Nombres::Formater(p.A[i][j])); // ligne = départ, colonne = arrivée
    }
    return montrer(t);
}

TForm18 *TForm4::VoirB()
{
    if (p.N <= 0 || p.M <= 0)
        return nullptr;
    auto *t = new TForm18(QStringLiteral(" La matrice de génération B"), p.M + 1, p.N + 1, StatusBar1->height(), this);
    for (int k = 1; k <= p.M; ++k)
        t->Ecrire(k, 0, p.Symboles[k]);
    for (int i = 1; i <= p.N; ++i) {
        t->Ecrire(0, i, p.NomEtat(i));
        for (int k = 1; k <= p.M; ++k)
            t->Ecrire(k, i, Nombres::Formater(p.B[i][k]));
    }
    return montrer(t);
}
