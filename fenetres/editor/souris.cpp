// Édition du graphe à la souris et au clavier sur le canevas de la fenêtre principale.
#include "editor/souris.h"
#include "editor/canevas.h"
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

} // namespace

// ---- L'éditeur ----

EditeurSouris::EditeurSouris(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre), parties(Parties(fenetre))
{
    QWidget *panneau = parties.Panneau;

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

    calque = creerCalque(panneau);
    calque->setGeometry(panneau->rect());
    calque->show();
    panneau->installEventFilter(this);

    hmm()->setMouseTracking(true);
    hmm()->installEventFilter(this);

    // Chaque nouvelle boîte reçoit les gestionnaires (en plus de ceux déjà branchés).
    parties.Canevas->SurCreation([this](TEtat2 *e) { brancherBoite(e); });
    connect(&doc(), &DocumentModele::modeleCharge, this, [this] { ReinitialiserEdition(); });

    connect(parties.Palette, &QActionGroup::triggered, this, [this] { AppliquerCurseursPalette(); });

    parties.Editeretat1->setEnabled(true);
    connect(parties.Editeretat1, &QAction::triggered, &f, &TForm1::Editeretat1Click);

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
            connect(relais, &QAction::triggered, action, [action = action] {
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
    menuCanevas = menu({{parties.Editeretat1, true},
                        {parties.Parametres1, false},
                        {parties.Couper1, false},
                        {parties.Copier1, true},
                        {parties.Coller1, false},
                        {parties.Supprimer1, true},
                        {parties.Selectionnertout1, false}});
    menuArc = new QMenu(&f);
    connect(menuArc->addAction(QStringLiteral("&Compléter la probabilité de l'arc")), &QAction::triggered, this,
            &EditeurSouris::completerArc);
    connect(menuArc->addAction(QStringLiteral("&Normaliser les arcs de l'état")), &QAction::triggered, this,
            &EditeurSouris::normaliserArcs);
    menuEtat = menu({{parties.Editeretat1, false},
                     {parties.Parametres1, true},
                     {parties.Couper1, false},
                     {parties.Copier1, false},
                     {parties.Coller1, false},
                     {parties.Supprimer1, false},
                     {parties.Selectionnertout1, true}});
}

EditeurSouris::~EditeurSouris()
{
    if (curseurForce)
        QApplication::restoreOverrideCursor();
}

DocumentModele &EditeurSouris::doc() const
{
    return *parties.Document;
}

THmm *EditeurSouris::hmm() const
{
    return VueGraphe(*parties.Document);
}

QList<TEtat2 *> EditeurSouris::boites() const
{
    QList<TEtat2 *> r;
    const DocumentModele &d = doc();
    if (d.StartPresent() && VueEtat(d, 0))
        r << VueEtat(d, 0);
    for (int i = 1; i <= d.N(); ++i)
        if (VueEtat(d, i))
            r << VueEtat(d, i);
    return r;
}

TEtat2 *EditeurSouris::boiteEn(QPoint p) const
{
    // La boîte visible la plus haute sous le point.
    const QObjectList enfants = parties.Panneau->children();
    for (qsizetype i = enfants.size() - 1; i >= 0; --i) {
        auto *b = qobject_cast<TEtat2 *>(enfants[i]);
        if (b && b->isVisibleTo(parties.Panneau) && b->geometry().contains(p) && doc().IndiceBoite(b) >= 0)
            return b;
    }
    return nullptr;
}

void EditeurSouris::brancherBoite(TEtat2 *e)
{
    // La taille minimale n'est posée qu'une fois le nom et les paires connus (création,
    // collage, chargement) : posée sur une boîte sans nom, elle grandirait START.
    e->installEventFilter(this);
    e->setMouseTracking(true);
    if (parties.Start->isChecked())
        e->setCursor(CurseurStart());
    else if (parties.Etat->isChecked())
        e->setCursor(CurseurEtat());
}

void EditeurSouris::ReinitialiserEdition()
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

void EditeurSouris::FocusCanevas()
{
    Edit1->setFocus(Qt::OtherFocusReason);
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
    if (!parties.Document)
        return false;
    const QEvent::Type t = ev->type();
    if (objet == parties.Panneau) {
        if (t == QEvent::Resize)
            calque->setGeometry(parties.Panneau->rect());
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
    // Sur un arc ou son étiquette : ses probabilités sortantes à compléter ou à normaliser.
    const QPoint p = hmm()->mapFromGlobal(global);
    const int etiquette = surEtat ? -1 : hmm()->EtiquetteSous(p.x(), p.y());
    const int arc = surEtat ? -1 : (etiquette > 0 ? etiquette : hmm()->Verifier(p.x(), p.y()));
    if (arc > 0) {
        arcMenu = arc;
        menuArc->popup(global);
        return;
    }
    (surEtat ? menuEtat : menuCanevas)->popup(global);
}

void EditeurSouris::completerArc()
{
    TerminerEdition();
    if (arcMenu > 0 && !doc().CompleterArc(arcMenu))
        Messages::Information(&f, QStringLiteral("Rien à compléter : les arcs de cet état font déjà 1, ou les autres "
                                                 "dépassent déjà 1."));
}

void EditeurSouris::normaliserArcs()
{
    TerminerEdition();
    if (arcMenu > 0 && arcMenu <= hmm()->NbArcs && !doc().NormaliserArcs(hmm()->ARC[arcMenu][1]))
        Messages::Information(&f, QStringLiteral("Rien à normaliser : les arcs de cet état font déjà 1, ou leur somme "
                                                 "est nulle."));
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
        if (TEtat2 *c = Controle(doc(), doc().EtatCourant())) {
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
        bande = ReglesEdition::Bande(debutBande, e->position().toPoint());
        bandeDessinee = true;
        redessinerCalque();
    } else if (parties.Boucle->isChecked()) {
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
            const bool dedans = ReglesEdition::Chevauche(b->geometry(), bande);
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
    doc().DefinirEtatCourant(nullptr);

    if (parties.Start->isChecked() || parties.Etat->isChecked())
        creerEtat(e->position().toPoint());
}

void EditeurSouris::creerEtat(QPoint point)
{
    DocumentModele &d = doc();
    const bool start = parties.Start->isChecked();
    if (start && d.StartPresent())
        return;
    if (!start && !d.PeutAjouterEtat()) {
        Messages::Erreur(&f, QStringLiteral("Le modèle compte déjà %1 états en plus de START : impossible d'en créer un autre.")
                                 .arg(DocumentModele::CapaciteEtats));
        return;
    }
    d.NouvelEtat(start, point, bandeUtilisee ? &bande : nullptr);
    redessinerCalque();
    parties.Sourie->setChecked(true);
    CurseursParDefaut();
}

// ---- Boîtes ----

void EditeurSouris::boiteAppui(TEtat2 *b, QMouseEvent *e)
{
    TerminerEdition();
    // Le clavier du canevas (Ctrl+flèches, Suppr) suit la boîte pressée.
    FocusCanevas();
    doc().DefinirEtatCourant(b);
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
    if (parties.Sourie->isChecked()) {
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
    QApplication::setOverrideCursor(parties.Arc->isChecked() ? CurseurArc() : QCursor(Qt::DragMoveCursor));
    curseurForce = true;
    if (parties.Arc->isChecked()) {
        aucuneLigne = false;
        b->Selectionne = false;
        b->update();
    }
}

void EditeurSouris::boiteMouvement(TEtat2 *b, QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    if (glisse) {
        // La boîte source garde la souris pendant le glisser : la cible se trouve par la position.
        glisserAuDessus(b->mapTo(parties.Panneau, p));
        return;
    }
    if ((e->buttons() & Qt::LeftButton) && deplacement) {
        fantome = b->geometry().translated(p - prise);
        redessinerCalque();
    }
    const int k = doc().IndiceBoite(b);
    if (parties.Boucle->isChecked() && b->Nom != NomStart && hmm()->ExisteARC(k, k) == -1) {
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
            cadre = ReglesEdition::Redimensionner(b->geometry(), poignee, appuiPoignee, b->mapTo(parties.Panneau, p));
            cadreDessine = true;
            redessinerCalque();
        } else {
            const Qt::CursorShape c = ReglesEdition::Poignee(p.x(), p.y(), b->Width(), b->Height());
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
        deposer(b->mapTo(parties.Panneau, p));
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
        if (fantome.topLeft() != b->pos())
            doc().DeplacerEtat(b, fantome.topLeft());
        b->setCursor(Qt::ArrowCursor);
    }
    if (redimensionnement) {
        redimensionnement = false;
        if (cadreDessine) {
            cadreDessine = false;
            redessinerCalque();
            if (cadre.size() != b->size())
                doc().RedimensionnerEtat(b, cadre);
        }
        b->setCursor(Qt::ArrowCursor);
    }
}

void EditeurSouris::boiteClic(TEtat2 *b, bool ctrl)
{
    DocumentModele &d = doc();
    const int k = doc().IndiceBoite(b);
    if (parties.Boucle->isChecked() && b->Nom != NomStart && b->Nom != NomEnd && hmm()->ExisteARC(k, k) == -1) {
        if (!peutAjouterArc())
            return;
        d.AjouterArc(k, k);
        if (!Clavier::OutilMaintenu(parties.Boucle)) {
            parties.Sourie->setChecked(true);
            CurseursParDefaut();
        }
        b->Surligne = false;
        b->Selectionne = false;
        b->update();
        return;
    }
    d.DefinirEtatCourant(b);
    // Avec Ctrl sur la souris, l'appui a déjà basculé la sélection de la boîte : on la garde.
    const bool multi = multiSelection || ctrl;
    for (int i = 1; i <= d.N(); ++i) {
        TEtat2 *x = VueEtat(d, i);
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
    doc().DefinirEtatCourant(b);
    f.Editeretat1Click();
}

void EditeurSouris::glisserAuDessus(QPoint p)
{
    TEtat2 *cible = boiteEn(p);
    TEtat2 *src = source;
    if (cible) {
        if (parties.Arc->isChecked() && src && cible != src && cible->Nom != NomStart && !cible->Surligne &&
            hmm()->ExisteARC(doc().IndiceBoite(src), doc().IndiceBoite(cible)) == -1) {
            cible->Surligne = true;
            cible->update();
        }
        return;
    }
    if (parties.Panneau->rect().contains(p)) {
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
        if (parties.Arc->isChecked() && src && cible != src && src->Nom != NomEnd && cible->Nom != NomStart) {
            const int s = doc().IndiceBoite(src), t = doc().IndiceBoite(cible);
            if (s >= 0 && t >= 0 && hmm()->ExisteARC(s, t) == -1) {
                if (peutAjouterArc()) {
                    d.AjouterArc(s, t);
                    if (!Clavier::OutilMaintenu(parties.Arc)) {
                        parties.Sourie->setChecked(true);
                        CurseursParDefaut();
                    }
                    cree = true;
                }
            }
        }
        if (!cree)
            hmm()->update();
        cible->Surligne = false;
        cible->update();
    } else if (parties.Panneau->rect().contains(p)) {
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
    if (parties.Document)
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
    TEtat2 *c = Controle(doc(), doc().EtatCourant());
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
        doc().DeplacerEtat(c, c->pos() + d);
    } else if (e->key() == Qt::Key_Delete) {
        parties.Presse->Supprimer1Click();
    }
    return true;
}

// ---- Commande "Editer l'état" ----

void TForm1::Editeretat1Click()
{
    TEtat2 *e = Controle(*Document, Document->EtatCourant());
    if (!e || e->Nom == QLatin1String("START"))
        return;
    auto *d = new TForm2(*Document, e, this);
    Presentation::Presenter(d, true);
}
