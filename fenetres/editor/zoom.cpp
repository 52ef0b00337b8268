// Zoom, vue d'ensemble et "Ajuster au texte".
#include "editor/zoom.h"
#include "editor/canevas.h"
#include "editor/principale.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/image_modele.h"
#include "skin/messages.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {
// Mise à l'échelle d'une dimension comme le contrôle d'origine : m / d arrondi au plus proche.
int Echelle(int valeur, int m, int d)
{
    return int(std::llround(double(valeur) * m / d));
}
}

// ---- Panneau image ----

ImageZoom::ImageZoom(VueZoom &z, QWidget *parent)
    : QWidget(parent), zoom(z)
{
    setObjectName(QStringLiteral("ImageZoom"));
    // Curseurs "MAIN1" (main ouverte) et "MAIN2" (main fermée, pendant le glisser).
    setCursor(Qt::OpenHandCursor);
}

void ImageZoom::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (Image.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(rect(), Image);
}

void ImageZoom::mousePressEvent(QMouseEvent *e)
{
    // Une image qui tient dans la vue ne se déplace pas.
    if (!zoom.Deplacable())
        return;
    glisse = true;
    appui = e->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void ImageZoom::mouseReleaseEvent(QMouseEvent *e)
{
    if (!glisse)
        return;
    glisse = false;
    setCursor(Qt::OpenHandCursor);
    const QPoint lache = e->position().toPoint();
    // Seul un lâcher sur l'image la déplace.
    if (rect().contains(lache))
        zoom.DeplacerImage(lache - appui);
}

void ImageZoom::mouseDoubleClickEvent(QMouseEvent *)
{
    glisse = false;
    zoom.Quitter();
}

// ---- Vue ----

namespace {
// Le fond de la vue : un double-clic y quitte aussi le zoom.
class FondZoom : public QWidget {
public:
    FondZoom(VueZoom &z, QWidget *parent)
        : QWidget(parent), zoom(z)
    {
        setObjectName(QStringLiteral("VueZoom"));
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(pal);
    }

protected:
    void mouseDoubleClickEvent(QMouseEvent *) override { zoom.Quitter(); }

private:
    VueZoom &zoom;
};
}

VueZoom::VueZoom(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre), parties(Parties(fenetre))
{
    Vue = new FondZoom(*this, parties.Panneau);
    Vue->setGeometry(parties.Panneau->rect());
    Vue->hide();
    Image = new ImageZoom(*this, Vue);
    auto *consigne = new QLabel(QStringLiteral("Vue en lecture seule : double-cliquez pour revenir à l'édition."), Vue);
    consigne->setObjectName(QStringLiteral("ConsigneZoom"));
    consigne->setAccessibleName(QStringLiteral("Consigne du zoom"));
    // Le double-clic sur la consigne atteint la vue comme ailleurs.
    consigne->setAttribute(Qt::WA_TransparentForMouseEvents);
    consigne->setAutoFillBackground(true);
    consigne->setMargin(3);
    QPalette pal = consigne->palette();
    pal.setColor(QPalette::Window, QColor(0xff, 0xff, 0xe1));
    pal.setColor(QPalette::WindowText, Qt::black);
    consigne->setPalette(pal);
    Consigne = consigne;
    etendreImage();
    parties.Panneau->installEventFilter(this);
    // Un modèle remplacé ou modifié pendant le zoom (ouverture, import, annulation,
    // entraînement) : l'image montrée est reprise, les boîtes recréées restent dessous.
    connect(parties.Document, &DocumentModele::modeleCharge, this, [this] {
        if (Visible())
            reprendre();
    });
    connect(parties.Document, &DocumentModele::modifie, this, [this] {
        if (Visible())
            reprendre();
    });
}

bool VueZoom::eventFilter(QObject *objet, QEvent *evenement)
{
    // La vue couvre toujours la zone de dessin ; hors zoom l'image remplit la vue.
    if (objet == parties.Panneau && evenement->type() == QEvent::Resize) {
        Vue->setGeometry(parties.Panneau->rect());
        if (!Visible())
            etendreImage();
        else
            placerConsigne();
    }
    return QObject::eventFilter(objet, evenement);
}

bool VueZoom::Visible() const
{
    return !Vue->isHidden();
}

void VueZoom::etendreImage()
{
    Image->setGeometry(Vue->rect());
    placerConsigne();
}

void VueZoom::placerConsigne()
{
    // En bas de la partie visible, par-dessus l'image.
    const QRect v = partieVisible();
    Consigne->adjustSize();
    Consigne->move(v.left(), v.bottom() + 1 - Consigne->height());
    Consigne->raise();
}

void VueZoom::prendreImages()
{
    canevas = ImageModele::Rendre(*parties.Document);
    ensemble = ImageModele::Decouper(canevas, ImageModele::Etendue(*parties.Document, 10), VueGraphe(*parties.Document)->size());
}

QRect VueZoom::geometrieEnsemble() const
{
    // Vue d'ensemble : l'étendue du modèle ajustée à la partie visible, jamais plus grande
    // qu'au pas arrière ordinaire (3/4) ; puis 3/4 par pas.
    const QRect v = partieVisible();
    QSize s = ensemble.size().scaled(v.size(), Qt::KeepAspectRatio);
    const QSize pasOrdinaire(Echelle(ensemble.width(), 75, 100), Echelle(ensemble.height(), 75, 100));
    if (s.width() > pasOrdinaire.width())
        s = pasOrdinaire;
    for (int k = -1; k > Niveau; --k)
        s = QSize(Echelle(s.width(), 75, 100), Echelle(s.height(), 75, 100));
    return QRect(v.topLeft(), s);
}

void VueZoom::reprendre()
{
    const QImage ancienne = Image->Image;
    const QSize montree = Image->size();
    const QPoint position = Image->pos();
    prendreImages();
    if (Niveau < 0) {
        Image->Image = ensemble;
        Image->setGeometry(geometrieEnsemble());
    } else {
        // Même facteur d'agrandissement qu'avant, appliqué au nouveau canevas.
        const double fx = ancienne.isNull() ? 1.0 : double(montree.width()) / ancienne.width();
        const double fy = ancienne.isNull() ? 1.0 : double(montree.height()) / ancienne.height();
        Image->Image = canevas;
        const QSize s(int(std::lround(canevas.width() * fx)), int(std::lround(canevas.height() * fy)));
        Image->resize(s);
        Image->move(Deplacer(position, s, Vue->size(), QPoint()));
    }
    Vue->raise();
    placerConsigne();
    Image->update();
}

QRect VueZoom::partieVisible() const
{
    // Le panneau défile dans une zone dont il est le contenu : seule la partie montrée
    // par cette zone compte.
    const QWidget *zone = parties.Panneau->parentWidget();
    if (!zone)
        return Vue->rect();
    const QRect r = QRect(parties.Panneau->mapFrom(zone, QPoint(0, 0)), zone->size()).intersected(parties.Panneau->rect());
    return r.isEmpty() ? Vue->rect() : r;
}

void VueZoom::pas(int sens)
{
    if (!Visible()) {
        // L'image du canevas, prise maintenant, à la taille du canevas.
        THmm *h = VueGraphe(*parties.Document);
        prendreImages();
        Image->Image = canevas;
        Image->setGeometry(0, 0, h->width(), h->height());
        Vue->setGeometry(parties.Panneau->rect());
        Vue->show();
        Vue->raise();
        // Le clavier quitte le canevas : rien ne s'y édite tant que la vue le recouvre.
        Vue->setFocus(Qt::OtherFocusReason);
    }
    Image->move(0, 0);
    Niveau += sens;
    if (sens > 0) {
        parties.Zoomarriere1->setEnabled(true);
        if (std::abs(Niveau) == NiveauMax)
            parties.Zoomavant1->setEnabled(false);
    } else {
        parties.Zoomavant1->setEnabled(true);
        if (std::abs(Niveau) == NiveauMax)
            parties.Zoomarriere1->setEnabled(false);
    }
    if (Niveau < 0) {
        Image->Image = ensemble;
        Image->setGeometry(geometrieEnsemble());
    } else if (Niveau == 0 && sens > 0) {
        // Retour de la vue d'ensemble : le canevas à sa taille.
        Image->Image = canevas;
        Image->resize(canevas.size());
    } else if (sens > 0) {
        Image->resize(Echelle(Image->width(), 100, 75), Echelle(Image->height(), 100, 75));
    } else {
        Image->resize(Echelle(Image->width(), 75, 100), Echelle(Image->height(), 75, 100));
    }
    placerConsigne();
    Image->update();
}

void VueZoom::Zoomavant1Click()
{
    pas(+1);
}

void VueZoom::Zoomarriere1Click()
{
    pas(-1);
}

void VueZoom::Quitter()
{
    Vue->hide();
    Niveau = 0;
    etendreImage();
    Image->Image = canevas = ensemble = QImage();
    parties.Zoomavant1->setEnabled(true);
    parties.Zoomarriere1->setEnabled(true);
}

bool VueZoom::Deplacable() const
{
    return Image->width() > Vue->width() || Image->height() > Vue->height();
}

QPoint VueZoom::Deplacer(QPoint position, QSize image, QSize vue, QPoint d)
{
    auto axe = [](int debut, int taille, int vue, int delta) {
        if (taille <= vue)
            return 0;
        int n = std::min(debut + delta, 0);
        if (n + taille < vue)
            n = vue - taille;
        return n;
    };
    return {axe(position.x(), image.width(), vue.width(), d.x()), axe(position.y(), image.height(), vue.height(), d.y())};
}

void VueZoom::DeplacerImage(QPoint d)
{
    if (!Deplacable())
        return;
    Image->move(Deplacer(Image->pos(), Image->size(), Vue->size(), d));
}

void VueZoom::Ajuster1Click()
{
    DocumentModele &d = *parties.Document;
    // START n'est jamais ajusté ; une étape d'annulation par boîte, dans l'ordre des index.
    for (int k = 1; k <= d.N(); ++k) {
        TEtat2 *b = VueEtat(d, k);
        if (!b || !b->Selectionne)
            continue;
        try {
            d.AjusterEtat(b);
        } catch (const EConversion &e) {
            // Une étiquette illisible ne doit pas interrompre la commande sans le dire.
            Messages::Erreur(&f, e.Message());
        }
    }
}
