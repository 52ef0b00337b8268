// La fenêtre « Convergence ».
#include "apprentissage/fenetre_convergence.h"
#include "dialogs/aide.h"
#include "graph/nombres.h"
#include "skin/messages.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <cmath>

FenetreConvergence::FenetreConvergence(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FenetreConvergence"));
    setWindowTitle(QStringLiteral("Convergence de l'entraînement"));
    resize(720, 460);
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
    AxeX = new QValueAxis;
    AxeX->setTitleText(QStringLiteral("itération"));
    AxeX->setLabelFormat(QStringLiteral("%d"));
    AxeY = new QValueAxis;
    AxeY->setTitleText(QStringLiteral("log10 P(O|λ)"));
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
    auto *l = new QVBoxLayout(this);
    l->addWidget(Vue, 1);
    l->addLayout(bas);
    connect(Exporter, &QPushButton::clicked, this, [this] {
        QString chemin = QFileDialog::getSaveFileName(this, QStringLiteral("Exporter la courbe"), QStringLiteral("convergence.png"),
                                                      QStringLiteral("Image PNG (*.png)"));
        if (chemin.isEmpty())
            return;
        if (!chemin.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            chemin += QStringLiteral(".png");
        if (!ExporterImage(chemin))
            Messages::Erreur(this, QStringLiteral("Impossible d'écrire l'image « %1 ».").arg(chemin));
    });
    connect(BoutonAide, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("Convergence")); });
}

void FenetreConvergence::Commencer(const QString &titre, long double seuil)
{
    Courbe->clear();
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
    if (point.P > 0)
        Courbe->append(point.Iteration, double(point.Log10P));
    Etat->setText(QStringLiteral("Itération %1 : P(O|λ) = %2 ; log10 P = %3")
                      .arg(point.Iteration)
                      .arg(Nombres::Formater(point.P), Nombres::Formater(point.Log10P, 6)));
    ajuster();
    // Le tracé suit le calcul : la fenêtre se repeint entre deux itérations.
    Vue->repaint();
}

void FenetreConvergence::ajuster()
{
    const int n = Courbe->count();
    const double dernier = n ? Courbe->at(n - 1).x() : 0;
    AxeX->setRange(0, std::max(1.0, dernier));
    AxeX->setTickCount(int(std::min(11.0, std::max(2.0, dernier + 1))));
    double bas = avecSeuil ? seuilLog : 0, haut = bas;
    bool premier = !avecSeuil;
    for (int i = 0; i < n; ++i) {
        const double y = Courbe->at(i).y();
        bas = premier ? y : std::min(bas, y);
        haut = premier ? y : std::max(haut, y);
        premier = false;
    }
    const double marge = std::max(1e-6, (haut - bas) * 0.08);
    AxeY->setRange(bas - marge, haut + marge);
    if (avecSeuil) {
        Seuil->clear();
        Seuil->append(0, seuilLog);
        Seuil->append(std::max(1.0, dernier), seuilLog);
    }
}

bool FenetreConvergence::ExporterImage(const QString &chemin)
{
    return Vue->grab().save(chemin, "PNG");
}
