// Édition du graphe à la souris et au clavier sur le canevas de la fenêtre principale.
#include "editor/souris.h"
#include "editor/defaire.h"
#include "editor/pressepapiers.h"
#include "editor/principale.h"
#include "dialogs/proprieres.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "editor/clavier.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QString NomStart = QStringLiteral("START");
const QString NomEnd = QStringLiteral("END");

bool curseurDePoignee(Qt::CursorShape c)
{
    return c == Qt::SizeFDiagCursor || c == Qt::SizeBDiagCursor || c == Qt::SizeHorCursor || c == Qt::SizeVerCursor;
}

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

// ---- Calculs sans fenêtre ----

namespace Souris {

QSize TailleMinimale(const QString &nom, int nbSymboles, const QString generation[][3])
{
    if (nom == NomStart)
        return QSize(95, 26);
    if (nom == NomEnd)
        return QSize(75, 26);
    const int n = std::clamp(nbSymboles, 0, TEtat2::Taille - 1);
    int w = int(nom.size() * 7.5 + 10);
    for (int k = 1; k <= n; ++k) {
        const int v = int((generation[k][1].size() + generation[k][2].size()) * 5 + 3);
        if (v > w)
            w = v;
    }
    return QSize(w + 40, n > 0 ? n * 15 + 35 : 50);
}

QSize TailleMinimale(const TEtat2 &e)
{
    return TailleMinimale(e.Nom, e.NbSymboles, e.Generation);
}

void Reappliquer(TEtat2 *e)
{
    // Qt relève aussitôt la taille courante quand elle passe sous le minimum, et toute
    // demande de taille plus petite (y compris 0 x 0) est ramenée au minimum.
    e->setMinimumSize(TailleMinimale(*e));
}

void Placer(TEtat2 *e, const QRect &bornes)
{
    Reappliquer(e);
    const QSize m = e->minimumSize();
    e->setGeometry(bornes.x(), bornes.y(), std::max(bornes.width(), m.width()), std::max(bornes.height(), m.height()));
}

QString NomAutomatique(const QStringList &noms, int *dernier)
{
    int d = int(noms.size()) + 1;
    QString nom = QStringLiteral("Etat_") + QString::number(d);
    while (noms.contains(nom)) {
        ++d;
        nom = QStringLiteral("Etat_") + QString::number(d);
    }
    if (dernier)
        *dernier = d;
    return nom;
}

bool Chevauche(const QRect &boite, const QRect &bande)
{
    return boite.x() < bande.x() + bande.width() && boite.x() + boite.width() > bande.x() &&
           boite.y() < bande.y() + bande.height() && boite.y() + boite.height() > bande.y();
}

QRect Bande(QPoint a, QPoint b)
{
    const int g = std::min(a.x(), b.x()), d = std::max(a.x(), b.x());
    const int h = std::min(a.y(), b.y()), bas = std::max(a.y(), b.y());
    return QRect(g, h, d - g, bas - h);
}

Qt::CursorShape Poignee(int x, int y, int w, int h)
{
    const bool gauche = x < 5, droite = x >= w - 4, haut = y < 5, bas = y >= h - 4;
    const bool milieuV = h / 2 - 2 <= y && y <= h / 2 + 2;
    const bool milieuH = w / 2 - 4 <= x && x <= w / 2 + 4;
    if ((gauche && haut) || (droite && bas))
        return Qt::SizeFDiagCursor;
    if ((gauche && bas) || (droite && haut))
        return Qt::SizeBDiagCursor;
    if ((gauche || droite) && milieuV)
        return Qt::SizeHorCursor;
    if ((haut || bas) && milieuH)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

QRect Redimensionner(const QRect &depart, Qt::CursorShape poignee, QPoint appui, QPoint souris)
{
    int g = depart.x(), d = depart.x() + depart.width();
    int h = depart.y(), b = depart.y() + depart.height();
    const bool cote = appui.x() >= 4; // côté droit (ou coin de droite) de la poignée saisie
    switch (poignee) {
    case Qt::SizeHorCursor:
        (cote ? d : g) = souris.x();
        break;
    case Qt::SizeVerCursor:
        (appui.y() >= 4 ? b : h) = souris.y();
        break;
    case Qt::SizeFDiagCursor: // haut-gauche / bas-droit
        if (cote) {
            d = souris.x();
            b = souris.y();
        } else {
            g = souris.x();
            h = souris.y();
        }
        break;
    case Qt::SizeBDiagCursor: // haut-droit / bas-gauche
        if (cote) {
            d = souris.x();
            h = souris.y();
        } else {
            g = souris.x();
            b = souris.y();
        }
        break;
    default:
        break;
    }
    return Bande(QPoint(g, h), QPoint(d, b));
}

QString NettoyerEtiquette(QString t)
{
    if (t != QLatin1String("??") && t.contains(QLatin1Char('?'))) {
        t.remove(t.indexOf(QLatin1Char('?')), 1);
        const qsizetype i = t.indexOf(QLatin1Char('?'));
        if (i >= 0)
            t.remove(i, 1);
    }
    if (t.isEmpty())
        t = QStringLiteral("0");
    return t;
}

bool CaractereProbabilite(const QString &texteActuel, QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    const QChar s = Nombres::Separateur();
    return c == s && !texteActuel.contains(s);
}

} // namespace Souris

// ---- L'éditeur ----

EditeurSouris::EditeurSouris(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre)
{
    QWidget *panneau = f.Panneau;

    // Edit1 : invisible à l'œil (hors du panneau) mais capable de prendre le clavier.
    Edit1 = new QWidget(panneau);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFocusPolicy(Qt::StrongFocus);
    Edit1->setGeometry(-10, -10, 1, 1);
    Edit1->installEventFilter(this);

    Edit3 = new QLineEdit(panneau);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setFrame(false);
    Edit3->setAlignment(Qt::AlignCenter);
    Edit3->setTextMargins(0, 0, 0, 0);
    Edit3->setFont(hmm()->font());
    Edit3->hide();
    Edit3->installEventFilter(this);
    connect(Edit3, &QLineEdit::textChanged, this, &EditeurSouris::texteEtiquetteChange);

    calque = new Calque(*this, panneau);
    calque->setGeometry(panneau->rect());
    calque->show();
    panneau->installEventFilter(this);

    hmm()->setMouseTracking(true);
    hmm()->installEventFilter(this);

    // Chaque nouvelle boîte reçoit les gestionnaires (en plus de ceux déjà branchés).
    auto precedent = doc().SurCreationEtat;
    doc().SurCreationEtat = [this, precedent](TEtat2 *e) {
        if (precedent)
            precedent(e);
        brancherBoite(e);
    };
    connect(&doc(), &DocumentModele::modeleCharge, this, [this] {
        // Règle de taille minimale sur les boîtes chargées ; leurs arcs suivent.
        for (TEtat2 *b : boites()) {
            const QSize avant = b->size();
            Souris::Reappliquer(b);
            if (b->size() != avant)
                doc().RedessinerArcsEtat(b);
        }
        Reinitialiser();
    });

    connect(f.Palette, &QActionGroup::triggered, this, [this] { AppliquerCurseursPalette(); });

    f.Editeretat1->setEnabled(true);
    connect(f.Editeretat1, &QAction::triggered, &f, &TForm1::Editeretat1Click);

    // Menus surgissants : leurs entrées renvoient aux actions de la fenêtre ; certaines y
    // sont toujours grisées.
    auto menu = [this](const QList<QPair<QAction *, bool>> &entrees) {
        auto *m = new QMenu(&f);
        for (const auto &[action, grise] : entrees) {
            QString texte = action->text();
            texte.truncate(texte.indexOf(QLatin1Char('\t')) >= 0 ? texte.indexOf(QLatin1Char('\t')) : texte.size());
            QAction *relais = m->addAction(action->icon(), texte);
            relais->setProperty("grise", grise);
            relais->setProperty("action", QVariant::fromValue(static_cast<QObject *>(action)));
            connect(relais, &QAction::triggered, action, [action] {
                if (action->isEnabled())
                    action->trigger();
            });
        }
        connect(m, &QMenu::aboutToShow, m, [m] {
            for (QAction *r : m->actions()) {
                auto *a = qobject_cast<QAction *>(r->property("action").value<QObject *>());
                r->setEnabled(a && a->isEnabled() && !r->property("grise").toBool());
            }
        });
        return m;
    };
    menuCanevas = menu({{f.Editeretat1, true},
                        {f.Parametres1, false},
                        {f.Couper1, false},
                        {f.Copier1, true},
                        {f.Coller1, false},
                        {f.Supprimer1, true},
                        {f.Selectionnertout1, false}});
    menuEtat = menu({{f.Editeretat1, false},
                     {f.Parametres1, true},
                     {f.Couper1, false},
                     {f.Copier1, false},
                     {f.Coller1, false},
                     {f.Supprimer1, false},
                     {f.Selectionnertout1, true}});
}

EditeurSouris::~EditeurSouris()
{
    if (curseurForce)
        QApplication::restoreOverrideCursor();
}

DocumentModele &EditeurSouris::doc() const
{
    return *f.Document;
}

THmm *EditeurSouris::hmm() const
{
    return f.Document->Hmm1;
}

QList<TEtat2 *> EditeurSouris::boites() const
{
    QList<TEtat2 *> r;
    const DocumentModele &d = doc();
    if (d.StartPresent && d.Etats[0])
        r << d.Etats[0];
    for (int i = 1; i <= d.N; ++i)
        if (d.Etats[i])
            r << d.Etats[i];
    return r;
}

TEtat2 *EditeurSouris::boiteEn(QPoint p) const
{
    // La boîte visible la plus haute sous le point.
    const QObjectList enfants = f.Panneau->children();
    for (qsizetype i = enfants.size() - 1; i >= 0; --i) {
        auto *b = qobject_cast<TEtat2 *>(enfants[i]);
        if (b && b->isVisibleTo(f.Panneau) && b->geometry().contains(p) && doc().IndiceBoite(b) >= 0)
            return b;
    }
    return nullptr;
}

void EditeurSouris::redessinerCalque()
{
    calque->raise();
    if (Edit3->isVisible())
        Edit3->raise();
    calque->update();
}

void EditeurSouris::brancherBoite(TEtat2 *e)
{
    // La taille minimale n'est posée qu'une fois le nom et les paires connus (création,
    // collage, chargement) : posée sur une boîte sans nom, elle grandirait START.
    e->installEventFilter(this);
    e->setMouseTracking(true);
    if (f.Start->isChecked())
        e->setCursor(CurseurStart());
    else if (f.Etat->isChecked())
        e->setCursor(CurseurEtat());
}

void EditeurSouris::Reinitialiser()
{
    enEdition = false;
    Edit3->hide();
    ArcEdite = -1;
    arcTouche = -1;
    ancienneEtiquette.clear();
    boutonCanevas = false;
    bandeDessinee = bandeSelection = bandeUtilisee = multiSelection = false;
    deplacement = redimensionnement = cadreDessine = false;
    finGlisser();
    aucuneLigne = true;
    calque->update();
}

void EditeurSouris::OublierBande()
{
    bandeDessinee = false;
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
    if (f.Start->isChecked() || f.Etat->isChecked()) {
        const QCursor c = f.Start->isChecked() ? CurseurStart() : CurseurEtat();
        hmm()->setCursor(c);
        for (TEtat2 *b : boites())
            b->setCursor(c);
    } else {
        CurseursParDefaut();
    }
}

void EditeurSouris::FocusCanevas()
{
    Edit1->setFocus(Qt::OtherFocusReason);
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

bool EditeurSouris::toutArcDeselectionne()
{
    for (int i = 1; i < THmm::Taille; ++i)
        if (hmm()->ArcSelectionne[i])
            return false;
    return true;
}

void EditeurSouris::deselectionnerArcs()
{
    if (toutArcDeselectionne())
        return;
    for (bool &s : hmm()->ArcSelectionne)
        s = false;
    hmm()->update();
}

void EditeurSouris::effacerCibles()
{
    for (TEtat2 *b : boites())
        if (b->Surligne) {
            b->Surligne = false;
            b->update();
        }
}

bool EditeurSouris::peutAjouterArc()
{
    if (hmm()->PeutAjouterArc())
        return true;
    Messages::Erreur(&f, QStringLiteral("Le modèle compte déjà %1 arcs : impossible d'en créer un autre.")
                             .arg(THmm::CapaciteArcs));
    return false;
}

// ---- Aiguillage des événements ----

bool EditeurSouris::eventFilter(QObject *objet, QEvent *ev)
{
    // Pendant la destruction de la fenêtre le document n'existe plus.
    if (!f.Document)
        return false;
    const QEvent::Type t = ev->type();
    if (objet == f.Panneau) {
        if (t == QEvent::Resize)
            calque->setGeometry(f.Panneau->rect());
        return false;
    }
    if (objet == hmm()) {
        switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            canevasAppui(static_cast<QMouseEvent *>(ev));
            return true;
        case QEvent::MouseMove:
            canevasMouvement(static_cast<QMouseEvent *>(ev));
            return true;
        case QEvent::MouseButtonRelease:
            canevasRelache(static_cast<QMouseEvent *>(ev));
            return true;
        case QEvent::ContextMenu:
            menuSurgissant(false, static_cast<QContextMenuEvent *>(ev)->globalPos());
            return true;
        default:
            return false;
        }
    }
    if (objet == Edit1) {
        if (t == QEvent::KeyPress)
            return clavierCanevas(static_cast<QKeyEvent *>(ev));
        if (t == QEvent::FocusIn && ArcEdite > 0 && ArcEdite < THmm::Taille) {
            hmm()->EtiquetteVisible[ArcEdite] = true;
            hmm()->update();
        }
        return false;
    }
    if (objet == Edit3) {
        if (t == QEvent::ShortcutOverride) {
            // Les raccourcis Ctrl+lettre et F1 de la fenêtre passent avant ceux du champ.
            auto *k = static_cast<QKeyEvent *>(ev);
            if (k->key() == Qt::Key_F1 ||
                ((k->modifiers() & Qt::ControlModifier) && k->key() >= Qt::Key_A && k->key() <= Qt::Key_Z)) {
                ev->ignore();
                return true;
            }
            return false;
        }
        if (t == QEvent::KeyPress)
            return toucheEtiquette(static_cast<QKeyEvent *>(ev));
        if (t == QEvent::FocusOut)
            TerminerEdition();
        return false;
    }
    auto *b = qobject_cast<TEtat2 *>(objet);
    if (!b || doc().IndiceBoite(b) < 0)
        return false;
    switch (t) {
    case QEvent::MouseButtonPress:
        boiteAppui(b, static_cast<QMouseEvent *>(ev));
        return true;
    case QEvent::MouseButtonDblClick:
        boiteAppui(b, static_cast<QMouseEvent *>(ev));
        if (static_cast<QMouseEvent *>(ev)->button() == Qt::LeftButton)
            boiteDoubleClic(b);
        return true;
    case QEvent::MouseMove:
        boiteMouvement(b, static_cast<QMouseEvent *>(ev));
        return true;
    case QEvent::MouseButtonRelease:
        boiteRelache(b, static_cast<QMouseEvent *>(ev));
        return true;
    case QEvent::ContextMenu:
        menuSurgissant(true, static_cast<QContextMenuEvent *>(ev)->globalPos());
        return true;
    default:
        return false;
    }
}

void EditeurSouris::menuSurgissant(bool surEtat, QPoint global)
{
    (surEtat ? menuEtat : menuCanevas)->popup(global);
}

// ---- Canevas ----

void EditeurSouris::canevasAppui(QMouseEvent *e)
{
    boutonCanevas = true;
    multiSelection = false;
    const QPoint p = e->position().toPoint();
    arcTouche = hmm()->Verifier(p.x(), p.y());
    if (arcTouche == -1) {
        debutBande = p;
        if (TEtat2 *c = doc().EtatCourant) {
            c->Selectionne = false;
            c->update();
        } else {
            bandeSelection = false;
        }
    }
}

void EditeurSouris::canevasMouvement(QMouseEvent *e)
{
    if ((e->buttons() & Qt::LeftButton) && boutonCanevas && toutArcDeselectionne()) {
        bande = Souris::Bande(debutBande, e->position().toPoint());
        bandeDessinee = true;
        redessinerCalque();
    } else if (f.Boucle->isChecked()) {
        effacerCibles();
    }
}

void EditeurSouris::canevasRelache(QMouseEvent *e)
{
    boutonCanevas = false;
    if (arcTouche == -1)
        FocusCanevas();
    else
        ouvrirEditeurEtiquette(arcTouche);

    // Sélection par la bande.
    if (!bandeDessinee || bandeSelection) {
        bandeUtilisee = false;
        for (TEtat2 *b : boites())
            if (b->Selectionne) {
                b->Selectionne = false;
                b->update();
            }
    } else {
        bool une = false;
        for (TEtat2 *b : boites()) {
            const bool dedans = Souris::Chevauche(b->geometry(), bande);
            une = une || dedans;
            if (b->Selectionne != dedans) {
                b->Selectionne = dedans;
                b->update();
            }
        }
        bandeSelection = une;
        bandeDessinee = false;
        bandeUtilisee = true;
        calque->update();
    }
    doc().EtatCourant = nullptr;

    if (f.Start->isChecked() || f.Etat->isChecked())
        creerEtat(e->position().toPoint());
}

void EditeurSouris::creerEtat(QPoint point)
{
    DocumentModele &d = doc();
    const bool start = f.Start->isChecked();
    if (start && d.StartPresent)
        return;
    if (!start && !d.PeutAjouterEtat()) {
        Messages::Erreur(&f, QStringLiteral("Le modèle compte déjà %1 états en plus de START : impossible d'en créer un autre.")
                                 .arg(DocumentModele::CapaciteEtats));
        return;
    }
    const QStringList lignes = d.PreparerFichier();
    TEtat2 *b = d.CreerEtat();
    QString nom;
    if (start) {
        d.StartPresent = true;
        d.Modifie = true;
        f.Start->setEnabled(false);
        nom = NomStart;
    } else {
        nom = Souris::NomAutomatique(d.NomsEtats(), &d.Dernier);
    }
    b->Nom = nom;
    Souris::Reappliquer(b);
    QRect r;
    if (!bandeUtilisee) {
        const QSize t = Souris::TailleMinimale(*b);
        r = QRect(point.x() - t.width() / 2, point.y() - t.height() / 2, t.width(), t.height());
    } else {
        d.Modifie = true;
        r = bande;
    }
    b->setParent(f.Panneau);
    Souris::Placer(b, r);
    b->show();
    if (start) {
        d.Etats[0] = b;
    } else {
        ++d.N;
        d.Etats[d.N] = b;
        d.Modifie = true;
    }
    redessinerCalque();
    f.Historique->Enregistrer(QStringLiteral("la création de l'état: ") + nom, lignes);
    f.Sourie->setChecked(true);
    CurseursParDefaut();
}

void EditeurSouris::ouvrirEditeurEtiquette(int a)
{
    if (a < 1 || a > hmm()->NbArcs)
        return;
    // Une édition en cours sur un autre arc se termine d'abord (son étape est gardée).
    if (enEdition)
        TerminerEdition();
    arcTouche = a;
    if (ArcEdite > 0 && ArcEdite < THmm::Taille)
        hmm()->EtiquetteVisible[ArcEdite] = true;
    hmm()->EtiquetteVisible[a] = false;
    ancienneEtiquette = hmm()->Etiquette[a];
    ArcEdite = a;
    // L'éditeur prend les couleurs des étiquettes (options d'affichage).
    QPalette couleurs = Edit3->palette();
    couleurs.setColor(QPalette::Base, VersQColor(hmm()->CouleurFond));
    couleurs.setColor(QPalette::Text, VersQColor(hmm()->CouleurProb));
    Edit3->setPalette(couleurs);
    changementInterne = true;
    Edit3->setText(hmm()->Etiquette[a]);
    changementInterne = false;
    placerEditeur(Edit3->text());
    enEdition = true;
    Edit3->show();
    Edit3->raise();
    Edit3->setFocus(Qt::MouseFocusReason);
    Edit3->selectAll();
    hmm()->update();
}

void EditeurSouris::placerEditeur(const QString &t)
{
    const QFontMetrics fm(hmm()->font());
    // Quelques pixels de plus que le texte : la place du curseur d'insertion.
    const int w = fm.horizontalAdvance(t) + 8;
    const int h = fm.height() + 2;
    const int a = arcTouche > 0 && arcTouche <= hmm()->NbArcs ? arcTouche : ArcEdite;
    if (a < 1 || a >= THmm::Taille)
        return;
    const QPoint c = hmm()->PosEtiquette[a];
    Edit3->setGeometry(c.x() - w / 2, c.y() - h / 2, w, h);
}

void EditeurSouris::texteEtiquetteChange(const QString &t0)
{
    if (changementInterne)
        return;
    const QString t = Souris::NettoyerEtiquette(t0);
    if (t != t0) {
        changementInterne = true;
        Edit3->setText(t);
        changementInterne = false;
    }
    placerEditeur(t);
    const int a = arcTouche;
    if (a < 1 || a > hmm()->NbArcs)
        return;
    if (t != QLatin1String("??")) {
        // Un texte qui n'est pas (encore) un nombre, comme un séparateur seul, laisse
        // l'étiquette à sa valeur précédente.
        bool ok = false;
        const long double v = Nombres::VersExtended(t, &ok);
        if (ok)
            hmm()->Etiquette[a] = Nombres::Formater(v);
    }
    doc().Modifie = true;
}

bool EditeurSouris::toucheEtiquette(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        const int a = arcTouche;
        if (ArcEdite > 0 && ArcEdite < THmm::Taille)
            hmm()->EtiquetteVisible[ArcEdite] = true;
        FocusCanevas();
        TerminerEdition();
        if (a > 0 && a < THmm::Taille) {
            hmm()->ArcSelectionne[a] = false;
            hmm()->EtiquetteVisible[a] = true;
        }
        Edit3->setGeometry(0, 0, 1, Edit3->height());
        hmm()->update();
        arcTouche = -1;
        return true;
    }
    const QString texte = e->text();
    if (texte.isEmpty() || e->key() == Qt::Key_Backspace || (e->modifiers() & Qt::ControlModifier))
        return false;
    const QChar c = texte.at(0);
    if (!c.isPrint())
        return false;
    return !Souris::CaractereProbabilite(Edit3->text(), c);
}

void EditeurSouris::TerminerEdition()
{
    if (!enEdition)
        return;
    enEdition = false;
    THmm *h = hmm();
    const bool valide = ArcEdite > 0 && ArcEdite <= h->NbArcs;
    if (valide)
        h->EtiquetteVisible[ArcEdite] = true;
    Edit3->hide();
    const QString t = Edit3->text();
    if (!t.isEmpty() && t != ancienneEtiquette && valide) {
        const QString nouvelle = h->Etiquette[ArcEdite];
        h->Etiquette[ArcEdite] = ancienneEtiquette;
        const TEtat2 *s = doc().Etats[h->ARC[ArcEdite][1]];
        const TEtat2 *d = doc().Etats[h->ARC[ArcEdite][2]];
        const QString ns = s ? s->Nom : QString(), nd = d ? d->Nom : QString();
        f.MemoriserEtape(ns == nd ? QStringLiteral("la modification de la boucle de l'état: ") + ns
                                  : QStringLiteral("la modification de l'arc (") + ns + QLatin1Char(',') + nd +
                                        QLatin1Char(')'));
        h->Etiquette[ArcEdite] = nouvelle;
        ancienneEtiquette.clear();
        ArcEdite = -1;
        doc().Modifie = true;
        // Un arc mis à 0 disparaît tout de suite, sans attendre le prochain calcul.
        if (bool ok = false; Nombres::VersExtended(nouvelle, &ok) == 0 && ok) {
            try {
                h->Actualiser();
            } catch (const EConversion &) {
                // Une autre étiquette encore "??" : l'arc partira au prochain calcul.
            }
        }
    }
    h->update();
}

// ---- Boîtes ----

void EditeurSouris::boiteAppui(TEtat2 *b, QMouseEvent *e)
{
    TerminerEdition();
    // Le clavier du canevas (Ctrl+flèches, Suppr) suit la boîte pressée.
    FocusCanevas();
    doc().EtatCourant = b;
    const QPoint p = e->position().toPoint();
    if (e->modifiers() & Qt::ControlModifier) {
        // START n'est jamais basculé ainsi.
        if (doc().IndiceBoite(b) >= 1) {
            b->Selectionne = !b->Selectionne;
            b->update();
        }
        return;
    }
    for (TEtat2 *x : boites()) {
        const bool s = x == b;
        if (x->Selectionne != s) {
            x->Selectionne = s;
            x->update();
        }
    }
    deselectionnerArcs();
    if (e->button() != Qt::LeftButton)
        return;
    const Qt::CursorShape c = b->cursor().shape();
    if (curseurDePoignee(c)) {
        cadre = b->geometry();
        cadreDessine = true;
        appuiPoignee = p;
        poignee = c;
        redimensionnement = true;
        redessinerCalque();
        return;
    }
    if (f.Sourie->isChecked()) {
        deplacement = true;
        prise = p;
        fantome = b->geometry();
        redessinerCalque();
        return;
    }
    // Tout autre outil : la boîte est glissée (ligne élastique vers la cible).
    prise = p;
    ancreArc = dernierPointArc = QPoint(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
    source = b;
    glisse = true;
    ligneVisible = false;
    QApplication::setOverrideCursor(f.Arc->isChecked() ? CurseurArc() : QCursor(Qt::DragMoveCursor));
    curseurForce = true;
    if (f.Arc->isChecked()) {
        aucuneLigne = false;
        b->Selectionne = false;
        b->update();
        doc().Modifie = true;
    }
}

void EditeurSouris::boiteMouvement(TEtat2 *b, QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (glisse) {
        // La boîte source garde la souris pendant le glisser : la cible se trouve par la position.
        glisserAuDessus(b->mapTo(f.Panneau, p));
        return;
    }
    if ((e->buttons() & Qt::LeftButton) && deplacement) {
        fantome = b->geometry().translated(p - prise);
        redessinerCalque();
    }
    const int k = doc().IndiceBoite(b);
    if (f.Boucle->isChecked() && b->Nom != NomStart && hmm()->ExisteARC(k, k) == -1) {
        b->setCursor(CurseurBoucle());
        hmm()->unsetCursor();
        if (!b->Surligne) {
            b->Surligne = true;
            b->update();
        }
    } else {
        b->setCursor(Qt::ArrowCursor);
    }
    if (b->Selectionne) {
        if (redimensionnement) {
            doc().Modifie = true;
            cadre = Souris::Redimensionner(b->geometry(), poignee, appuiPoignee, b->mapTo(f.Panneau, p));
            cadreDessine = true;
            redessinerCalque();
        } else {
            const Qt::CursorShape c = Souris::Poignee(p.x(), p.y(), b->Width(), b->Height());
            if (c != Qt::ArrowCursor)
                b->setCursor(c);
        }
    }
}

void EditeurSouris::boiteRelache(TEtat2 *b, QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool clic = e->button() == Qt::LeftButton && b->rect().contains(p);
    if (glisse) {
        deposer(b->mapTo(f.Panneau, p));
        finGlisser();
        if (clic && doc().IndiceBoite(b) >= 0)
            boiteClic(b, ctrl);
        bandeSelection = false;
        return;
    }
    // Le clic passe avant le relâchement, comme sur le système d'origine.
    if (clic)
        boiteClic(b, ctrl);
    bandeSelection = false;
    if (deplacement) {
        deplacement = false;
        redessinerCalque();
        if (fantome.topLeft() != b->pos()) {
            doc().Modifie = true;
            f.MemoriserEtape(QStringLiteral("le déplacement de l'état: ") + b->Nom);
        }
        b->move(fantome.topLeft());
        b->setCursor(Qt::ArrowCursor);
        doc().RedessinerArcsEtat(b);
    }
    if (redimensionnement) {
        redimensionnement = false;
        if (cadreDessine) {
            cadreDessine = false;
            redessinerCalque();
            if (cadre.size() != b->size()) {
                const TEtat2 *c = doc().EtatCourant ? doc().EtatCourant : b;
                f.MemoriserEtape(QStringLiteral("le redimentionnement de l'état: ") + c->Nom);
                Souris::Placer(b, cadre);
            }
        }
        b->setCursor(Qt::ArrowCursor);
        doc().RedessinerArcsEtat(b);
        doc().Modifie = true;
    }
}

void EditeurSouris::boiteClic(TEtat2 *b, bool ctrl)
{
    DocumentModele &d = doc();
    const int k = doc().IndiceBoite(b);
    if (f.Boucle->isChecked() && b->Nom != NomStart && b->Nom != NomEnd && hmm()->ExisteARC(k, k) == -1) {
        if (!peutAjouterArc())
            return;
        f.MemoriserEtape(QStringLiteral("la création d'arc boucle de l'etat: ") + b->Nom);
        const QRect r = b->Interieur();
        hmm()->DessinerARC(r.x(), r.y(), r.width(), r.height(), r.x(), r.y(), r.width(), r.height(), -1, k, k);
        if (!Clavier::OutilMaintenu(f.Boucle)) {
            f.Sourie->setChecked(true);
            CurseursParDefaut();
        }
        b->Surligne = false;
        b->Selectionne = false;
        b->update();
        d.Modifie = true;
        return;
    }
    d.EtatCourant = b;
    // Avec Ctrl sur la souris, l'appui a déjà basculé la sélection de la boîte : on la garde.
    const bool multi = multiSelection || ctrl;
    for (int i = 1; i <= d.N; ++i) {
        TEtat2 *x = d.Etats[i];
        bool s = x->Selectionne;
        if (!multi)
            s = x == b;
        else if (x == b && !ctrl)
            s = true;
        if (x->Selectionne != s) {
            x->Selectionne = s;
            x->update();
        }
    }
    deselectionnerArcs();
}

void EditeurSouris::boiteDoubleClic(TEtat2 *b)
{
    // La fenêtre de l'état va bloquer la souris : rien ne doit rester en cours.
    deplacement = redimensionnement = cadreDessine = false;
    finGlisser();
    redessinerCalque();
    doc().EtatCourant = b;
    f.Editeretat1Click();
}

void EditeurSouris::glisserAuDessus(QPoint p)
{
    TEtat2 *cible = boiteEn(p);
    TEtat2 *src = source;
    if (cible) {
        if (f.Arc->isChecked() && src && cible != src && cible->Nom != NomStart && !cible->Surligne &&
            hmm()->ExisteARC(doc().IndiceBoite(src), doc().IndiceBoite(cible)) == -1) {
            cible->Surligne = true;
            cible->update();
        }
        return;
    }
    if (f.Panneau->rect().contains(p)) {
        dernierPointArc = p;
        ligneVisible = true;
        redessinerCalque();
        effacerCibles();
    }
}

void EditeurSouris::deposer(QPoint p)
{
    TEtat2 *cible = boiteEn(p);
    TEtat2 *src = source;
    DocumentModele &d = doc();
    if (cible) {
        bool cree = false;
        if (f.Arc->isChecked() && src && cible != src && src->Nom != NomEnd && cible->Nom != NomStart) {
            const int s = doc().IndiceBoite(src), t = doc().IndiceBoite(cible);
            if (s >= 0 && t >= 0 && hmm()->ExisteARC(s, t) == -1) {
                if (peutAjouterArc()) {
                    f.MemoriserEtape(QStringLiteral("la création de l'arc: (") + src->Nom + QLatin1Char(',') + cible->Nom +
                                     QLatin1Char(')'));
                    const QRect a = src->Interieur(), b = cible->Interieur();
                    hmm()->DessinerARC(a.x(), a.y(), a.width(), a.height(), b.x(), b.y(), b.width(), b.height(), -1, s, t);
                    if (!Clavier::OutilMaintenu(f.Arc)) {
                        f.Sourie->setChecked(true);
                        CurseursParDefaut();
                    }
                    d.Modifie = true;
                    cree = true;
                }
            }
        }
        if (!cree)
            hmm()->update();
        cible->Surligne = false;
        cible->update();
    } else if (f.Panneau->rect().contains(p)) {
        hmm()->update();
    } else if (!aucuneLigne) {
        hmm()->update();
        aucuneLigne = true;
    }
}

void EditeurSouris::finGlisser()
{
    glisse = false;
    ligneVisible = false;
    source = nullptr;
    if (curseurForce) {
        QApplication::restoreOverrideCursor();
        curseurForce = false;
    }
    // Aucune boîte ne reste marquée comme cible une fois le glisser fini.
    if (f.Document)
        effacerCibles();
    calque->update();
}

// ---- Clavier du canevas ----

bool EditeurSouris::clavierCanevas(QKeyEvent *e)
{
    if (ArcEdite > 0 && ArcEdite < THmm::Taille) {
        hmm()->EtiquetteVisible[ArcEdite] = true;
        hmm()->update();
    }
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    multiSelection = ctrl;
    if (e->key() == Qt::Key_Escape) {
        for (bool &s : hmm()->ArcSurligne)
            s = false;
        hmm()->update();
        for (TEtat2 *b : boites())
            b->update();
        return true;
    }
    TEtat2 *c = doc().EtatCourant;
    if (ctrl && c) {
        QPoint d;
        switch (e->key()) {
        case Qt::Key_Left:
            d = QPoint(-3, 0);
            break;
        case Qt::Key_Up:
            d = QPoint(0, -3);
            break;
        case Qt::Key_Right:
            d = QPoint(3, 0);
            break;
        case Qt::Key_Down:
            d = QPoint(0, 3);
            break;
        default:
            return true;
        }
        f.MemoriserEtape(QStringLiteral("le déplacement de l'état: ") + c->Nom);
        c->move(c->pos() + d);
        doc().Modifie = true;
        doc().RedessinerArcsEtat(c);
    } else if (e->key() == Qt::Key_Delete) {
        f.Presse->Supprimer1Click();
    }
    return true;
}

// ---- Commande "Editer l'état" ----

void TForm1::Editeretat1Click()
{
    TEtat2 *e = Document->EtatCourant;
    if (!e || e->Nom == QLatin1String("START"))
        return;
    auto *d = new TForm2(*Document, e, [this](const QString &s) { MemoriserEtape(s); }, this);
    Presentation::Presenter(d, true);
}
