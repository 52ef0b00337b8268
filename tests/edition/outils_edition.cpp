#include "editor/canevas.h"
#include "outils_edition.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "model/document.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWindow>

namespace {
QPoint versFenetre(TForm1 *f, QPoint p)
{
    return Parties(*f).Panneau->mapTo(f, p);
}
}

void EditionFenetre::SetUp()
{
    TestAvecRepertoire::SetUp();
    Presentation::DefinirAnimations(false);
    Messages::DefinirRepondeur([this](const Messages::Message &m) {
        messages << m.Texte;
        return Messages::Reponse::Ok;
    });
    QGuiApplication::clipboard()->clear();
    f = std::make_unique<TForm1>();
    Parties(*f).LancerInstance = [] {};
    Parties(*f).DemanderOuverture = [] { return QString(); };
    Parties(*f).DemanderEnregistrement = [] { return QString(); };
    f->setGeometry(0, 0, 1200, 900);
    f->show();
    QApplication::setActiveWindow(f.get());
    f->PremiereActivation();
    ASSERT_TRUE(f->windowHandle());
    ASSERT_GE(Parties(*f).Panneau->width(), 700);
    ASSERT_GE(Parties(*f).Panneau->height(), 500);
}

void EditionFenetre::TearDown()
{
    // Les éditeurs d'état encore ouverts sont des enfants de la fenêtre.
    f.reset();
    Messages::DefinirRepondeur({});
    TestAvecRepertoire::TearDown();
}

void EditionFenetre::appuyer(QPoint p, Qt::KeyboardModifiers m, Qt::MouseButton b)
{
    QTest::mousePress(f->windowHandle(), b, m, versFenetre(f.get(), p));
}

void EditionFenetre::deplacer(QPoint p)
{
    QTest::mouseMove(f->windowHandle(), versFenetre(f.get(), p));
}

void EditionFenetre::relacher(QPoint p, Qt::KeyboardModifiers m, Qt::MouseButton b)
{
    QTest::mouseRelease(f->windowHandle(), b, m, versFenetre(f.get(), p));
}

void EditionFenetre::cliquer(QPoint p, Qt::KeyboardModifiers m)
{
    deplacer(p);
    appuyer(p, m);
    relacher(p, m);
}

void EditionFenetre::doubleCliquer(QPoint p)
{
    deplacer(p);
    QTest::mouseDClick(f->windowHandle(), Qt::LeftButton, {}, versFenetre(f.get(), p));
}

void EditionFenetre::glisser(QPoint de, QPoint a, const QList<QPoint> &par)
{
    deplacer(de);
    appuyer(de);
    for (QPoint p : par)
        deplacer(p);
    deplacer(a);
    relacher(a);
}

void EditionFenetre::touche(int cle, Qt::KeyboardModifiers m)
{
    Parties(*f).Souris->FocusCanevas();
    QTest::keyClick(Parties(*f).Souris->Edit1, Qt::Key(cle), m);
}

TEtat2 *EditionFenetre::creerEtat(QPoint p)
{
    Parties(*f).Etat->trigger();
    cliquer(p);
    return VueEtat(*Parties(*f).Document, Parties(*f).Document->N());
}

TEtat2 *EditionFenetre::creerStart(QPoint p)
{
    Parties(*f).Start->trigger();
    cliquer(p);
    return Parties(*f).Document->StartPresent() ? VueEtat(*Parties(*f).Document, 0) : nullptr;
}

void EditionFenetre::creerArc(TEtat2 *a, TEtat2 *b)
{
    Parties(*f).Arc->trigger();
    const QPoint ca = centre(a), cb = centre(b);
    // Un point du canevas entre les deux boîtes, hors de l'une et de l'autre.
    const QPoint milieu((ca.x() + cb.x()) / 2, std::max(a->Top() + a->Height(), b->Top() + b->Height()) + 40);
    glisser(ca, cb, {milieu, milieu + QPoint(3, 3)});
}

QPoint EditionFenetre::centre(const TEtat2 *b)
{
    return QPoint(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
}

QStringList EditionFenetre::noms() const
{
    QStringList r;
    const DocumentModele &d = *Parties(*f).Document;
    for (int i = d.StartPresent() ? 0 : 1; i <= d.N(); ++i)
        r << VueEtat(d, i)->Nom;
    return r;
}
