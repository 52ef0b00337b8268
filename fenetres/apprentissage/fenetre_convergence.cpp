// La fenêtre « Convergence ».
#include "apprentissage/fenetre_convergence.h"
#include "dialogs/aide.h"
#include "graph/nombres.h"
#include "model/textes.h"
#include "skin/messages.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QShowEvent>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

namespace {
// Millisecondes entre deux dessins de la courbe pendant un entraînement.
constexpr int IntervalleDessin = 50;
// Points tracés au plus : la largeur de la courbe à l'écran n'en montre pas davantage.
constexpr qsizetype PointsAffiches = 1500;
const QString BulleGarder = QStringLiteral("Mettre dans le modèle les paramètres de l'itération montrée (une étape d'annulation)");
}

int FenetreConvergence::PasGraduation(double derniere)
{
    // Pas entier « rond » (1, 2, 5, 10, 20, 50...) : une dizaine de graduations au plus.
    for (int pas = 1;; pas *= 10)
        for (const int m : {1, 2, 5})
            if (derniere / (pas * m) <= 10)
                return pas * m;
}

FenetreConvergence::FenetreConvergence(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FenetreConvergence"));
    setWindowTitle(QStringLiteral("Convergence de l'entraînement"));
    resize(860, 680);
    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    Courbe = new QLineSeries;
    Courbe->setName(QStringLiteral("log10 P(O|λ)"));
    Courbe->setPointsVisible(true);
    Seuil = new QLineSeries;
    Seuil->setName(QStringLiteral("seuil"));
    chart->addSeries(Courbe);
    chart->addSeries(Seuil);
    // Le thème impose ses stylos à l'ajout : ils sont fixés ensuite.
    Courbe->setPen(QPen(QColor(25, 70, 170), 2));
    Seuil->setPen(QPen(QColor(200, 20, 20), 1.5, Qt::DashLine));
    AxeX = new QCategoryAxis;
    AxeX->setTitleText(QStringLiteral("Itération"));
    AxeX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    AxeX->setStartValue(0);
    AxeY = new QValueAxis;
    AxeY->setTitleText(QStringLiteral("log10 P(O|λ)"));
    AxeY->setLabelFormat(QStringLiteral("%.4g"));
    // Les nombres des axes suivent la langue de l'utilisateur (virgule en français).
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    chart->addAxis(AxeX, Qt::AlignBottom);
    chart->addAxis(AxeY, Qt::AlignLeft);
    for (QLineSeries *s : {Courbe, Seuil}) {
        s->attachAxis(AxeX);
        s->attachAxis(AxeY);
    }
    Vue = new QChartView(chart, this);
    Vue->setRenderHint(QPainter::Antialiasing);
    Etat = new QLabel(this);
    Exporter = new QPushButton(QStringLiteral("Exporter l'image..."), this);
    BoutonAide = new QPushButton(QStringLiteral("Aide"), this);
    auto *bas = new QHBoxLayout;
    bas->addWidget(Etat, 1);
    bas->addWidget(Exporter);
    bas->addWidget(BoutonAide);
    // Revoir l'entraînement : une itération à la fois, sans toucher au modèle avant « Garder ».
    Curseur = new QSlider(Qt::Horizontal, this);
    Curseur->setAccessibleName(QStringLiteral("Itération montrée"));
    Choix = new QLabel(this);
    Garder = new QPushButton(QStringLiteral("&Garder cette itération"), this);
    Garder->setToolTip(BulleGarder);
    Valeurs = new QPlainTextEdit(this);
    Valeurs->setReadOnly(true);
    Valeurs->setLineWrapMode(QPlainTextEdit::NoWrap);
    Valeurs->setMinimumHeight(8 * fontMetrics().height());
    Valeurs->setAccessibleName(QStringLiteral("Paramètres de l'itération montrée"));
    auto *revoir = new QHBoxLayout;
    revoir->addWidget(new QLabel(QStringLiteral("Itération :"), this));
    revoir->addWidget(Curseur, 1);
    revoir->addWidget(Garder);
    activerRevue(false);
    connect(Curseur, &QSlider::valueChanged, this, &FenetreConvergence::MontrerIteration);
    connect(Garder, &QPushButton::clicked, this, [this] {
        const int k = Curseur->value();
        if (k >= 0 && std::size_t(k) < modeles.size())
            emit iterationGardee(modeles[std::size_t(k)], revus[std::size_t(k)].Iteration);
    });
    auto *l = new QVBoxLayout(this);
    l->addWidget(Vue, 1);
    l->addLayout(revoir);
    l->addWidget(Choix);
    // Paramètres et γ de l'itération côte à côte, sous la courbe.
    zoneRevue = new QHBoxLayout;
    zoneRevue->addWidget(Valeurs, 2);
    l->addLayout(zoneRevue, 1);
    l->addLayout(bas);
    connect(Exporter, &QPushButton::clicked, this, [this] {
        QString chemin = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter la courbe"), QStringLiteral("convergence.png"),
                                                      QStringLiteral("Image PNG (*.png)"));
        if (chemin.isEmpty())
            return;
        if (!chemin.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            chemin += QStringLiteral(".png");
        QString erreur;
        if (!ExporterImage(chemin, &erreur))
            Messages::Erreur(this, QStringLiteral("Impossible d'écrire l'image « %1 » :\n%2.").arg(chemin, erreur));
    });
    connect(BoutonAide, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("Convergence")); });
    minuterie.setSingleShot(true);
    minuterie.setInterval(IntervalleDessin);
    connect(&minuterie, &QTimer::timeout, this, &FenetreConvergence::Vider);
}

void FenetreConvergence::Terminer(std::vector<PointConvergence> points, std::vector<ParametresModele> m)
{
    revus = std::move(points);
    modeles = std::move(m);
    perimee = false;
    const bool revoir = !modeles.empty();
    activerRevue(revoir);
    Garder->setToolTip(BulleGarder);
    const QSignalBlocker bloque(Curseur);
    Curseur->setRange(0, std::max(0, int(modeles.size()) - 1));
    Curseur->setValue(Curseur->maximum());
    MontrerIteration(Curseur->value());
}

void FenetreConvergence::activerRevue(bool oui)
{
    for (QWidget *w : {static_cast<QWidget *>(Curseur), static_cast<QWidget *>(Garder), static_cast<QWidget *>(Valeurs)})
        w->setEnabled(oui);
}

void FenetreConvergence::Perimer()
{
    if (perimee || modeles.empty())
        return;
    perimee = true;
    // Le graphe montre de nouveau le modèle : ses étiquettes ne sont plus celles d'une itération.
    emit iterationMontree(Curseur->value());
    Garder->setEnabled(false);
    Garder->setToolTip(QStringLiteral("Le modèle a changé depuis l'entraînement : ses itérations ne peuvent plus être gardées"));
}

void FenetreConvergence::MontrerIteration(int k)
{
    if (k < 0 || std::size_t(k) >= modeles.size()) {
        Choix->clear();
        Valeurs->clear();
        return;
    }
    const PointConvergence &p = revus[std::size_t(k)];
    QString texte = QStringLiteral("Itération %1 sur %2 : P(O|λ) = %3 ; log10 P = %4")
                        .arg(p.Iteration)
                        .arg(revus.back().Iteration)
                        .arg(p.PEchelle.Texte(), Nombres::Formater(p.Log10P, 6));
    if (modeles.size() < revus.size())
        texte += QStringLiteral(" (les %1 premières itérations seulement sont gardées)").arg(modeles.size());
    Choix->setText(texte);
    Choix->setAccessibleName(texte);
    Valeurs->setPlainText(TexteParametres(modeles[std::size_t(k)]));
    if (isVisible())
        emit iterationMontree(k);
}

const ParametresModele *FenetreConvergence::ModeleMontre() const
{
    const int k = IterationMontree();
    return k >= 0 ? &modeles[std::size_t(k)] : nullptr;
}

int FenetreConvergence::IterationMontree() const
{
    const int k = Curseur->value();
    return Curseur->isEnabled() && k >= 0 && std::size_t(k) < modeles.size() ? k : -1;
}

void FenetreConvergence::PoserVueRevue(QWidget *vue)
{
    vue->setParent(this);
    zoneRevue->addWidget(vue, 3);
}

void FenetreConvergence::hideEvent(QHideEvent *e)
{
    // Fermée (pas réduite) : le graphe revient au modèle.
    if (!e->spontaneous())
        emit iterationMontree(-1);
    QWidget::hideEvent(e);
}

void FenetreConvergence::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        emit iterationMontree(IterationMontree());
}

void FenetreConvergence::Commencer(const QString &titre, long double seuil)
{
    revus.clear();
    modeles.clear();
    perimee = false;
    emit iterationMontree(-1);
    activerRevue(false);
    Garder->setToolTip(BulleGarder);
    Choix->clear();
    Valeurs->clear();
    minuterie.stop();
    enAttente.clear();
    points.clear();
    depuisDessin.invalidate();
    dernierEtat.clear();
    vide = true;
    graduees = -1;
    Courbe->clear();
    Courbe->setPointsVisible(true);
    Seuil->clear();
    avecSeuil = seuil > 0 && seuil < 1;
    seuilLog = avecSeuil ? double(std::log10(seuil)) : 0;
    Seuil->setVisible(avecSeuil);
    Vue->chart()->setTitle(titre);
    Etat->clear();
    ajuster();
}

void FenetreConvergence::Ajouter(const PointConvergence &point)
{
    // Hors de la plage de l'étendu, P vaut 0 mais log10 P reste fini : le point est tracé.
    if (std::isfinite(point.Log10P)) {
        const double y = double(point.Log10P);
        enAttente.append(QPointF(point.Iteration, y));
        bas = vide ? y : std::min(bas, y);
        haut = vide ? y : std::max(haut, y);
        vide = false;
    }
    dernierEtat = QStringLiteral("Itération %1 : P(O|λ) = %2 ; log10 P = %3")
                      .arg(point.Iteration)
                      .arg(point.PEchelle.Texte(), Nombres::Formater(point.Log10P, 6));
    // Le tracé suit le calcul, au plus une fois par intervalle ; le reste part à la minuterie.
    if (!depuisDessin.isValid() || depuisDessin.elapsed() >= IntervalleDessin)
        Vider();
    else if (!minuterie.isActive())
        minuterie.start();
}

void FenetreConvergence::Vider()
{
    minuterie.stop();
    depuisDessin.start();
    if (!enAttente.isEmpty()) {
        const bool ajout = points.size() + enAttente.size() <= PointsAffiches;
        points.append(enAttente);
        if (ajout) {
            Courbe->append(enAttente);
        } else {
            // Au-delà, un point sur `pas` (et le dernier) : le tracé d'un chemin de dizaines de
            // milliers de segments coûterait plus que l'entraînement lui-même.
            const qsizetype pas = (points.size() + PointsAffiches - 1) / PointsAffiches;
            QList<QPointF> affiches;
            affiches.reserve(PointsAffiches + 1);
            for (qsizetype i = 0; i < points.size(); i += pas)
                affiches.append(points[i]);
            if (affiches.last() != points.last())
                affiches.append(points.last());
            Courbe->replace(affiches);
        }
        enAttente.clear();
    }
    // Des milliers de marques cachent la courbe et coûtent à chaque dessin.
    if (points.size() > 200)
        Courbe->setPointsVisible(false);
    Etat->setText(dernierEtat);
    ajuster();
    Vue->repaint();
}

void FenetreConvergence::ajuster()
{
    const int n = Courbe->count();
    const double dernier = n ? Courbe->at(n - 1).x() : 0;
    AxeX->setRange(0, std::max(1.0, dernier));
    if (int(dernier) != graduees) {
        graduees = int(dernier);
        for (const QString &l : AxeX->categoriesLabels())
            AxeX->remove(l);
        const int pas = PasGraduation(std::max(1.0, dernier));
        for (int k = pas; k <= std::max(1, graduees); k += pas)
            AxeX->append(QString::number(k), k);
    }
    double b = avecSeuil ? seuilLog : 0, h = b;
    if (n) {
        b = avecSeuil ? std::min(b, bas) : bas;
        h = avecSeuil ? std::max(h, haut) : haut;
    }
    const double marge = std::max(1e-6, (h - b) * 0.08);
    AxeY->setRange(b - marge, h + marge);
    if (avecSeuil) {
        Seuil->clear();
        Seuil->append(0, seuilLog);
        Seuil->append(std::max(1.0, dernier), seuilLog);
    }
}

bool FenetreConvergence::ExporterImage(const QString &chemin, QString *erreur)
{
    // Par l'écriture atomique : un échec laisse l'ancienne image intacte.
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    if (!Vue->grab().save(&tampon, "PNG")) {
        if (erreur)
            *erreur = QStringLiteral("l'image n'a pas pu être produite");
        return false;
    }
    return Textes::EcrireOctets(chemin, octets, erreur);
}
