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
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

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
    QSize s = Treillis::Geometrie(d).Taille();
    s.setWidth(std::max(s.width(), Treillis::LargeurMinimale(d)));
    setFixedSize(s);
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
    // Seules les colonnes qui coupent la zone à repeindre sont dessinées : T = 1000 reste fluide.
    Treillis::Dessiner(p, d, e->rect(), etape, tS, jS);
}

void VueTreillis::mouseMoveEvent(QMouseEvent *e)
{
    int t = 0, j = 0;
    if (Treillis::Geometrie(d).Case(e->position().toPoint(), &t, &j) && Treillis::Visible(d, etape, t))
        emit caseSurvolee(t, j);
}

void VueTreillis::mousePressEvent(QMouseEvent *e)
{
    int t = 0, j = 0;
    if (Treillis::Geometrie(d).Case(e->position().toPoint(), &t, &j) && Treillis::Visible(d, etape, t))
        emit caseCliquee(t, j);
    else
        emit caseCliquee(0, 0);
}

FenetreTreillis::FenetreTreillis(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FenetreTreillis"));
    setWindowTitle(QStringLiteral("Treillis"));
    resize(1000, 520);
    auto *haut = new QHBoxLayout;
    haut->addWidget(new QLabel(QStringLiteral("Valeurs :"), this));
    ChoixValeurs = new QComboBox(this);
    for (const Treillis::Valeurs v :
         {Treillis::Valeurs::Alpha, Treillis::Valeurs::Beta, Treillis::Valeurs::Delta, Treillis::Valeurs::Gamma})
        ChoixValeurs->addItem(Treillis::Titre(v), int(v));
    haut->addWidget(ChoixValeurs);
    haut->addSpacing(16);
    Lecture = new QPushButton(QStringLiteral("Lecture"), this);
    Lecture->setCheckable(true);
    haut->addWidget(Lecture);
    Curseur = new QSlider(Qt::Horizontal, this);
    Curseur->setToolTip(QStringLiteral("Colonnes calculées"));
    haut->addWidget(Curseur, 1);
    Exporter = new QPushButton(QStringLiteral("Exporter l'image..."), this);
    haut->addWidget(Exporter);
    BoutonAide = new QPushButton(QStringLiteral("Aide"), this);
    haut->addWidget(BoutonAide);

    Vue = new VueTreillis;
    Defilement = new QScrollArea(this);
    Defilement->setWidget(Vue);
    Defilement->setBackgroundRole(QPalette::Base);
    Formule = new QLabel(QStringLiteral("Survolez ou cliquez un nœud pour voir sa formule développée."), this);
    Formule->setWordWrap(true);
    Formule->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Formule->setMinimumHeight(48);
    Formule->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *l = new QVBoxLayout(this);
    l->addLayout(haut);
    l->addWidget(Defilement, 1);
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
        const Treillis::Donnees &d = Vue->Donnees();
        if (etape < 1)
            return;
        // La colonne qui vient d'être calculée reste visible.
        const int t = d.Quoi == Treillis::Valeurs::Beta ? d.T - etape + 1 : etape;
        const QRect r = Treillis::Geometrie(d).Noeud(t, 1);
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
    connect(Vue, &VueTreillis::caseCliquee, this, [this](int t, int j) {
        epingle = t > 0;
        if (t > 0)
            montrerFormule(t, j);
        else
            Vue->Surligner(0, 0);
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
    epingle = false;
    Curseur->setRange(0, Vue->Donnees().T);
    Curseur->setValue(Vue->Donnees().T);
    setWindowTitle(QStringLiteral("Treillis - ") + Treillis::Titre(Vue->Donnees().Quoi) + QStringLiteral(" - ") +
                   (sequence.size() > 60 ? sequence.left(60) + QStringLiteral("...") : sequence));
    const Treillis::Donnees &d = Vue->Donnees();
    const QString entete = d.TableEchelle() ? Treillis::TexteEntete(d)
                                            : QStringLiteral("P(O|λ) = ") + Nombres::Formater(d.P);
    Formule->setText(entete + QStringLiteral(". Survolez ou cliquez un nœud pour voir sa formule développée."));
    return true;
}

void FenetreTreillis::montrerFormule(int t, int j)
{
    Vue->Surligner(t, j);
    Formule->setText(Treillis::Formule(Vue->Donnees(), t, j));
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
