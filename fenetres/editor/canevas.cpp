#include "editor/canevas.h"

#include <QEvent>

CanevasFenetre::CanevasFenetre(QWidget *p)
    : QObject(p), panneau(p)
{
    panneau->installEventFilter(this);
}

std::unique_ptr<GrapheHmm> CanevasFenetre::CreerGraphe()
{
    auto h = std::make_unique<THmm>(panneau);
    h->setObjectName(QStringLiteral("Hmm1"));
    h->setGeometry(0, 0, panneau->width(), panneau->height());
    graphe = h.get();
    return h;
}

BoiteEtat *CanevasFenetre::CreerBoite()
{
    auto *e = new TEtat2(panneau);
    for (const auto &b : branchements)
        b(e);
    e->show();
    return e;
}

bool CanevasFenetre::eventFilter(QObject *objet, QEvent *evenement)
{
    // Le graphe couvre toujours tout le panneau.
    if (objet == panneau && evenement->type() == QEvent::Resize && graphe)
        graphe->setGeometry(0, 0, panneau->width(), panneau->height());
    return false; // l'événement suit son cours
}
