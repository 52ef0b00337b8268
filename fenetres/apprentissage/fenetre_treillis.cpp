// La fenêtre « Treillis ».
#include "apprentissage/fenetre_treillis.h"
#include "algorithms/sequence.h"
#include "dialogs/aide.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "skin/messages.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QTabWidget>
#include <QTableView>
#include <QHeaderView>
#include <functional>

namespace {

// Une bande fixe du défilement : la partie `zone` du dessin (coordonnées du dessin) qui suit
// le défilement sur un seul axe.
class BandeTreillis : public QWidget {
public:
    BandeTreillis(const VueTreillis *vue, QWidget *parent, std::function<QRect()> zone)
        : QWidget(parent), vue(vue), zone(std::move(zone))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        // Rien sous la dernière ligne ni après la dernière colonne (la légende est à part).
        const Treillis::Geometrie g(vue->Donnees());
        const QRect z = zone().intersected(QRect(0, 0, g.Taille().width(), g.Taille().height() - Treillis::Geometrie::Bas));
        if (z.isEmpty())
            return;
        p.translate(-zone().topLeft());
        p.setClipRect(z);
        Treillis::Dessiner(p, vue->Donnees(), z, vue->Etape(), vue->TSurligne(), vue->JSurligne());
    }

private:
    const VueTreillis *vue;
    std::function<QRect()> zone;
};

}

VueTreillis::VueTreillis(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VueTreillis::Definir(Treillis::Donnees donnees)
{
    d = std::move(donnees);
    etape = d.T;
    tS = jS = 0;
    const Treillis::Geometrie g(d);
    origine = QPoint(g.Gauche, g.Haut);
    // Les nœuds seuls : ni noms, ni en-têtes, ni légende.
    setFixedSize(g.Taille() - QSize(origine.x(), origine.y() + Treillis::Geometrie::Bas));
    update();
}

void VueTreillis::DefinirEtape(int e)
{
    etape = e;
    update();
}

void VueTreillis::Surligner(int t, int j)
{
    tS = t;
    jS = j;
    update();
}

void VueTreillis::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.translate(-origine);
    // Seules les colonnes qui coupent la zone à repeindre sont dessinées : T = 1000 reste fluide.
    Treillis::Dessiner(p, d, e->rect().translated(origine), etape, tS, jS);
}

void VueTreillis::mouseMoveEvent(QMouseEvent *e)
{
    int t = 0, j = 0;
    if (Treillis::Geometrie(d).Case(e->position().toPoint() + origine, &t, &j) && Treillis::Visible(d, etape, t))
        emit caseSurvolee(t, j);
}

void VueTreillis::mousePressEvent(QMouseEvent *e)
{
    int t = 0, j = 0;
    if (Treillis::Geometrie(d).Case(e->position().toPoint() + origine, &t, &j) && Treillis::Visible(d, etape, t))
        emit caseCliquee(t, j);
    else
        emit caseCliquee(0, 0);
}

// ---- Défilement aux bandes fixes ----

DefilementTreillis::DefilementTreillis(VueTreillis *v, QWidget *parent) : QScrollArea(parent), vue(v)
{
    setWidget(vue);
    setBackgroundRole(QPalette::Base);
    const auto decalage = [this] { return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()); };
    BandeEtats = new BandeTreillis(vue, this, [this, decalage] {
        const QPoint o = vue->Origine();
        return QRect(0, o.y() + decalage().y(), o.x(), viewport()->height());
    });
    BandeInstants = new BandeTreillis(vue, this, [this, decalage] {
        const QPoint o = vue->Origine();
        return QRect(o.x() + decalage().x(), 0, viewport()->width(), o.y());
    });
    Coin = new BandeTreillis(vue, this, [this] { return QRect(QPoint(0, 0), QSize(vue->Origine().x(), vue->Origine().y())); });
    BandeEtats->setAccessibleName(QStringLiteral("Noms des états"));
    BandeInstants->setAccessibleName(QStringLiteral("Instants et observations"));
}

void DefilementTreillis::Actualiser()
{
    setViewportMargins(vue->Origine().x(), vue->Origine().y(), 0, 0);
    placerBandes();
}

void DefilementTreillis::placerBandes()
{
    const QRect v = viewport()->geometry();
    const QPoint o = vue->Origine();
    Coin->setGeometry(v.left() - o.x(), v.top() - o.y(), o.x(), o.y());
    BandeEtats->setGeometry(v.left() - o.x(), v.top(), o.x(), v.height());
    BandeInstants->setGeometry(v.left(), v.top() - o.y(), v.width(), o.y());
    for (QWidget *b : {Coin, BandeEtats, BandeInstants})
        b->update();
}

void DefilementTreillis::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    placerBandes();
}

void DefilementTreillis::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    if (dx)
        BandeInstants->update();
    if (dy)
        BandeEtats->update();
}

// ---- Tableau ----

void ModeleTreillis::Actualiser()
{
    beginResetModel();
    endResetModel();
}

void ModeleTreillis::EtapeChangee()
{
    if (rowCount() && columnCount())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ModeleTreillis::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : vue->Donnees().N;
}

int ModeleTreillis::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : vue->Donnees().T;
}

QVariant ModeleTreillis::data(const QModelIndex &index, int role) const
{
    const Treillis::Donnees &d = vue->Donnees();
    const int t = index.column() + 1, j = index.row() + 1;
    if (!index.isValid() || t > d.T || j > d.N)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return Treillis::Visible(d, vue->Etape(), t) ? Nombres::Formater(d.Table()(t, j)) : QString();
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
        return Treillis::Visible(d, vue->Etape(), t) ? Treillis::Formule(d, t, j) : QString();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ModeleTreillis::headerData(int section, Qt::Orientation o, int role) const
{
    const Treillis::Donnees &d = vue->Donnees();
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return section + 1 <= d.N ? d.Etats.value(section + 1) : QVariant();
    if (section + 1 > d.T)
        return {};
    return QStringLiteral("t = %1 (%2)").arg(section + 1).arg(d.Symboles.value(section + 1));
}

FenetreTreillis::FenetreTreillis(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FenetreTreillis"));
    setWindowTitle(QStringLiteral("Treillis"));
    resize(1000, 520);
    auto *haut = new QHBoxLayout;
    auto *etiquette = new QLabel(QStringLiteral("&Valeurs :"), this);
    haut->addWidget(etiquette);
    ChoixValeurs = new QComboBox(this);
    ChoixValeurs->setAccessibleName(QStringLiteral("Valeurs montrées"));
    etiquette->setBuddy(ChoixValeurs);
    for (const Treillis::Valeurs v :
         {Treillis::Valeurs::Alpha, Treillis::Valeurs::Beta, Treillis::Valeurs::Delta, Treillis::Valeurs::Gamma})
        ChoixValeurs->addItem(Treillis::Titre(v), int(v));
    haut->addWidget(ChoixValeurs);
    haut->addSpacing(16);
    Lecture = new QPushButton(QStringLiteral("&Lecture"), this);
    Lecture->setAccessibleName(QStringLiteral("Lecture colonne par colonne"));
    Lecture->setCheckable(true);
    haut->addWidget(Lecture);
    Curseur = new QSlider(Qt::Horizontal, this);
    Curseur->setToolTip(QStringLiteral("Colonnes calculées"));
    Curseur->setAccessibleName(QStringLiteral("Colonnes calculées"));
    haut->addWidget(Curseur, 1);
    Exporter = new QPushButton(QStringLiteral("&Exporter l'image..."), this);
    Exporter->setAccessibleName(QStringLiteral("Exporter l'image du treillis"));
    haut->addWidget(Exporter);
    BoutonAide = new QPushButton(QStringLiteral("&Aide"), this);
    BoutonAide->setAccessibleName(QStringLiteral("Aide du treillis"));
    haut->addWidget(BoutonAide);

    Vue = new VueTreillis;
    Vue->setAccessibleName(QStringLiteral("Dessin du treillis"));
    Defilement = new DefilementTreillis(Vue, this);
    Defilement->setObjectName(QStringLiteral("Defilement"));
    Legende = new QLabel(this);
    Legende->setObjectName(QStringLiteral("Legende"));
    Legende->setWordWrap(true);
    auto *dessin = new QWidget(this);
    auto *ld = new QVBoxLayout(dessin);
    ld->setContentsMargins(0, 0, 0, 0);
    ld->addWidget(Defilement, 1);
    ld->addWidget(Legende);

    Valeurs = new ModeleTreillis(Vue, this);
    Tableau = new QTableView(this);
    Tableau->setObjectName(QStringLiteral("Tableau"));
    Tableau->setAccessibleName(QStringLiteral("Valeurs du treillis"));
    Tableau->setModel(Valeurs);
    Tableau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tableau->setSelectionMode(QAbstractItemView::SingleSelection);
    Tableau->horizontalHeader()->setDefaultSectionSize(130);

    Onglets = new QTabWidget(this);
    Onglets->setObjectName(QStringLiteral("Onglets"));
    Onglets->setAccessibleName(QStringLiteral("Vues du treillis"));
    Onglets->addTab(dessin, QStringLiteral("&Dessin"));
    Onglets->addTab(Tableau, QStringLiteral("&Tableau des valeurs"));

    Formule = new QLabel(QStringLiteral("Survolez ou cliquez un nœud pour voir sa formule développée."), this);
    Formule->setObjectName(QStringLiteral("Formule"));
    Formule->setWordWrap(true);
    Formule->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Formule->setMinimumHeight(48);
    Formule->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Formule->setTextFormat(Qt::RichText);
    Formule->setAccessibleName(QStringLiteral("Formule développée"));

    auto *l = new QVBoxLayout(this);
    l->addLayout(haut);
    l->addWidget(Onglets, 1);
    l->addWidget(Formule);

    Minuterie = new QTimer(this);
    connect(Minuterie, &QTimer::timeout, this, [this] {
        if (Curseur->value() >= Curseur->maximum()) {
            Lecture->setChecked(false);
            return;
        }
        Curseur->setValue(Curseur->value() + 1);
    });
    connect(Lecture, &QPushButton::toggled, this, [this](bool marche) {
        if (!marche) {
            Minuterie->stop();
            return;
        }
        if (Curseur->value() >= Curseur->maximum())
            Curseur->setValue(0);
        const int T = Vue->Donnees().T;
        Minuterie->start(std::clamp(6000 / std::max(T, 1), 15, 700));
    });
    connect(Curseur, &QSlider::valueChanged, this, [this](int etape) {
        Vue->DefinirEtape(etape);
        Valeurs->EtapeChangee();
        Defilement->BandeInstants->update();
        const Treillis::Donnees &d = Vue->Donnees();
        if (etape < 1)
            return;
        // La colonne qui vient d'être calculée reste visible.
        const int t = d.Quoi == Treillis::Valeurs::Beta ? d.T - etape + 1 : etape;
        const QRect r = Treillis::Geometrie(d).Noeud(t, 1).translated(-Vue->Origine());
        Defilement->ensureVisible(r.center().x(), r.top(), Treillis::Geometrie::Colonne, 10);
    });
    connect(ChoixValeurs, &QComboBox::currentIndexChanged, this, [this] {
        QString erreur;
        if (parametres && !recalculer(&erreur))
            Messages::Erreur(this, erreur);
    });
    connect(Vue, &VueTreillis::caseSurvolee, this, [this](int t, int j) {
        if (!epingle)
            montrerFormule(t, j);
    });
    connect(Vue, &VueTreillis::caseCliquee, this, &FenetreTreillis::choisir);
    // Au clavier, la case courante du tableau donne sa formule et se voit dans le dessin ; une
    // aide technique, elle, sélectionne la case sans la rendre courante.
    const auto caseDuTableau = [this](const QModelIndex &i) {
        if (i.isValid() && Treillis::Visible(Vue->Donnees(), Vue->Etape(), i.column() + 1))
            choisir(i.column() + 1, i.row() + 1);
    };
    connect(Tableau->selectionModel(), &QItemSelectionModel::currentChanged, this, caseDuTableau);
    connect(Tableau->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, caseDuTableau] {
        if (const QModelIndexList l = Tableau->selectionModel()->selectedIndexes(); l.size() == 1)
            caseDuTableau(l.first());
    });
    connect(Exporter, &QPushButton::clicked, this, &FenetreTreillis::exporter);
    connect(BoutonAide, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("Treillis")); });
}

bool FenetreTreillis::Montrer(const ParametresModele &p, const QString &s, bool decoupageCaractere,
                              Treillis::Valeurs valeurs, QString *erreur)
{
    delete parametres;
    parametres = new ParametresModele(p);
    sequence = s;
    caractere = decoupageCaractere;
    const QSignalBlocker bloque(ChoixValeurs);
    ChoixValeurs->setCurrentIndex(ChoixValeurs->findData(int(valeurs)));
    return recalculer(erreur);
}

bool FenetreTreillis::recalculer(QString *erreur)
{
    Lecture->setChecked(false);
    EspaceTravail e;
    e.SequenceObservations = sequence;
    e.DecoupageCaractere = caractere;
    try {
        DecouperSequence(*parametres, e);
        Vue->Definir(Treillis::Preparer(*parametres, e, Treillis::Valeurs(ChoixValeurs->currentData().toInt())));
    } catch (const ERefusCalcul &x) {
        if (erreur)
            *erreur = x.Message();
        return false;
    } catch (const std::bad_alloc &) {
        if (erreur)
            *erreur = MemoireTables::MessageManque();
        return false;
    }
    if (epingle)
        emit entreesChoisies({}, {}, QString());
    epingle = false;
    Defilement->Actualiser();
    Valeurs->Actualiser();
    Legende->setText(Treillis::Legende(Vue->Donnees()));
    Curseur->setRange(0, Vue->Donnees().T);
    Curseur->setValue(Vue->Donnees().T);
    setWindowTitle(QStringLiteral("Treillis - ") + Treillis::Titre(Vue->Donnees().Quoi) + QStringLiteral(" - ") +
                   (sequence.size() > 60 ? sequence.left(60) + QStringLiteral("...") : sequence));
    const Treillis::Donnees &d = Vue->Donnees();
    const QString entete = d.TableEchelle() ? Treillis::TexteEntete(d)
                                            : QStringLiteral("P(O|λ) = ") + Nombres::Formater(d.P);
    Formule->setText((entete + QStringLiteral(". Survolez ou cliquez un nœud pour voir sa formule développée.")).toHtmlEscaped());
    Formule->setAccessibleName(QStringLiteral("Formule développée"));
    Formule->setAccessibleDescription(QString());
    return true;
}

void FenetreTreillis::montrerFormule(int t, int j)
{
    Vue->Surligner(t, j);
    Defilement->BandeEtats->update();
    Defilement->BandeInstants->update();
    const Treillis::Donnees &d = Vue->Donnees();
    // Termes colorés comme dans le dessin ; l'aide technique lit la formule en texte simple et
    // ce qu'elle lit.
    Formule->setText(Treillis::FormuleCouleurs(d, t, j));
    Formule->setAccessibleName(QStringLiteral("Formule développée : ") + Treillis::Formule(d, t, j));
    Formule->setAccessibleDescription(Treillis::Lues(d, t, j).Texte);
}

void FenetreTreillis::choisir(int t, int j)
{
    if (epingle && t == Vue->TSurligne() && j == Vue->JSurligne())
        return; // courante et sélectionnée à la fois : une seule fois
    const bool avant = epingle;
    epingle = t > 0;
    if (!epingle) {
        Vue->Surligner(0, 0);
        if (avant)
            emit entreesChoisies({}, {}, QString());
        return;
    }
    montrerFormule(t, j);
    const Treillis::Donnees &d = Vue->Donnees();
    QList<QPair<QString, QString>> arcs;
    QList<QColor> couleurs;
    for (const Treillis::Terme &x : Treillis::Lues(d, t, j).Termes)
        if (x.De >= 0) {
            arcs.append({d.Etats[x.De], d.Etats[x.Vers]});
            couleurs.append(Treillis::CouleurTerme(x.Couleur));
        }
    emit entreesChoisies(arcs, couleurs, d.Etats[j]);
}

void FenetreTreillis::hideEvent(QHideEvent *e)
{
    // Fenêtre fermée (pas réduite) : le graphe ne garde pas les arcs d'une case qu'on ne voit plus.
    if (epingle && !e->spontaneous()) {
        epingle = false;
        Vue->Surligner(0, 0);
        emit entreesChoisies({}, {}, QString());
    }
    QWidget::hideEvent(e);
}

void FenetreTreillis::exporter()
{
    QString filtre;
    const QString chemin = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter le treillis"), QStringLiteral("treillis.png"),
                                                        QStringLiteral("Image PNG (*.png);;Image SVG (*.svg)"), &filtre);
    if (chemin.isEmpty())
        return;
    QString c = chemin;
    if (QFileInfo(c).suffix().isEmpty())
        c += filtre.contains(QLatin1String("svg")) ? QStringLiteral(".svg") : QStringLiteral(".png");
    QString erreur;
    if (!Treillis::Exporter(Vue->Donnees(), c, &erreur))
        Messages::Erreur(this, erreur);
}
