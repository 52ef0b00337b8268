// Éditeur à la souris : le calque des tracés provisoires et les curseurs dessinés.
#include "editor/principale.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>

namespace {

// Curseur de mode : une croix de visée et un petit dessin du mode à côté.
QCursor curseurDessine(int motif)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto trait = [&p](const QColor &c, int largeur) { p.setPen(QPen(c, largeur)); };
    // La croix, cernée de blanc pour rester visible sur tout fond.
    for (int passe = 0; passe < 2; ++passe) {
        trait(passe == 0 ? Qt::white : Qt::black, passe == 0 ? 3 : 1);
        p.drawLine(8, 1, 8, 15);
        p.drawLine(1, 8, 15, 8);
    }
    p.setBrush(Qt::NoBrush);
    switch (motif) {
    case 1: // START : une boîte basse marquée S
        trait(Qt::black, 1);
        p.setBrush(QColor(0xE7, 0xFF, 0x9D));
        p.drawRoundedRect(14, 16, 16, 10, 3, 3);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 6, QFont::Bold));
        p.setPen(Qt::red);
        p.drawText(QRect(14, 16, 16, 10), Qt::AlignCenter, QStringLiteral("S"));
        break;
    case 2: // état : une boîte avec sa ligne de séparation
        trait(Qt::black, 1);
        p.setBrush(QColor(0xE7, 0xFF, 0x9D));
        p.drawRoundedRect(14, 14, 16, 14, 3, 3);
        p.drawLine(14, 19, 30, 19);
        break;
    case 3: // arc : une flèche
        trait(Qt::blue, 2);
        p.drawLine(14, 26, 28, 14);
        p.drawLine(28, 14, 22, 15);
        p.drawLine(28, 14, 27, 20);
        break;
    case 4: // boucle : un cercle fléché
        trait(Qt::blue, 2);
        p.drawArc(14, 12, 14, 14, 30 * 16, 300 * 16);
        p.drawLine(27, 15, 28, 10);
        p.drawLine(27, 15, 22, 14);
        break;
    }
    p.end();
    return QCursor(pm, 8, 8);
}

// Les quatre curseurs de mode, dessinés une fois.
QCursor curseurMode(int motif)
{
    static const QCursor c[] = {curseurDessine(1), curseurDessine(2), curseurDessine(3), curseurDessine(4)};
    return c[motif - 1];
}

// Calque transparent posé sur tout le panneau : bande élastique, fantôme du déplacement,
// cadre du redimensionnement et ligne élastique de l'arc, en pointillés.
class Calque : public QWidget {
public:
    Calque(const EditeurSouris &e, QWidget *parent)
        : QWidget(parent), editeur(e)
    {
        setObjectName(QStringLiteral("Calque"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        auto cadre = [&p](const QRect &r) {
            // Trait blanc sous le pointillé noir : lisible sur les boîtes comme sur le fond.
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(r.x(), r.y(), std::max(0, r.width() - 1), std::max(0, r.height() - 1));
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(r.x(), r.y(), std::max(0, r.width() - 1), std::max(0, r.height() - 1));
        };
        if (editeur.BandeVisible())
            cadre(editeur.RectangleBande());
        if (editeur.FantomeVisible())
            cadre(editeur.RectangleFantome());
        if (editeur.CadreVisible())
            cadre(editeur.RectangleCadre());
        if (editeur.LigneVisible()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawLine(editeur.AncreLigne(), editeur.FinLigne());
        }
    }

private:
    const EditeurSouris &editeur;
};

} // namespace

QWidget *EditeurSouris::creerCalque(QWidget *panneau)
{
    return new Calque(*this, panneau);
}

void EditeurSouris::redessinerCalque()
{
    calque->raise();
    if (Edit3->isVisible())
        Edit3->raise();
    calque->update();
}

void EditeurSouris::CurseursParDefaut()
{
    hmm()->unsetCursor();
    for (TEtat2 *b : boites())
        b->unsetCursor();
}

void EditeurSouris::AppliquerCurseursPalette()
{
    if (parties.Start->isChecked() || parties.Etat->isChecked()) {
        const QCursor c = parties.Start->isChecked() ? CurseurStart() : CurseurEtat();
        hmm()->setCursor(c);
        for (TEtat2 *b : boites())
            b->setCursor(c);
    } else {
        CurseursParDefaut();
    }
}

QCursor EditeurSouris::CurseurStart()
{
    return curseurMode(1);
}

QCursor EditeurSouris::CurseurEtat()
{
    return curseurMode(2);
}

QCursor EditeurSouris::CurseurArc()
{
    return curseurMode(3);
}

QCursor EditeurSouris::CurseurBoucle()
{
    return curseurMode(4);
}
