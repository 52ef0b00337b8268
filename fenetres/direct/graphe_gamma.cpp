#include "direct/graphe_gamma.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QLegendMarker>
#include <QValueAxis>
#include <algorithm>

namespace {
const QString NomMarque = QStringLiteral("Point choisi");
}

GrapheGamma::GrapheGamma(QWidget *parent) : QChartView(new QChart, parent)
{
    // Sans titre ni marges : à 800 × 600 le graphe n'a que la hauteur qui reste.
    chart()->legend()->setAlignment(Qt::AlignBottom);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->layout()->setContentsMargins(0, 0, 0, 0);
    chart()->setBackgroundRoundness(0);
    setRenderHint(QPainter::Antialiasing);
}

int GrapheGamma::instantProche(double x) const
{
    auto it = std::lower_bound(instants.begin(), instants.end(), x);
    if (it == instants.end() || (it != instants.begin() && x - *(it - 1) < *it - x))
        --it;
    return int(it - instants.begin());
}

void GrapheGamma::Tracer(const ResultatDirect &r)
{
    QChart *graphe = chart();
    graphe->removeAllSeries();
    for (QAbstractAxis *a : graphe->axes())
        graphe->removeAxis(a);
    instants = r.Instants;
    gamma = r.Gamma;
    chemin = r.CheminGamma;
    tMarque = iMarque = 0;
    if (r.Gamma.empty())
        return;
    auto *x = new QValueAxis;
    x->setTitleText(QStringLiteral("Instant t"));
    x->setLabelFormat(QStringLiteral("%d"));
    const int debut = r.Instants.front(), fin = std::max(r.Instants.back(), debut + 1);
    x->setRange(debut, fin);
    // Graduations sur des instants entiers : pas de 1, 2 ou 5 × 10^k, au plus huit.
    int pas = 1;
    for (int echelle = 1; (fin - debut) / pas > 8; echelle *= 10)
        for (int m : {1, 2, 5})
            if ((fin - debut) / pas > 8)
                pas = m * echelle;
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(debut);
    x->setTickInterval(pas);
    auto *y = new QCategoryAxis;
    y->setTitleText(QStringLiteral("γ_t(i) a posteriori"));
    y->setRange(0, 1);
    y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const QLocale langue;
    for (int k = 0; k <= 5; ++k)
        y->append(langue.toString(k / 5.0, 'g', 2), k / 5.0);
    graphe->addAxis(x, Qt::AlignBottom);
    graphe->addAxis(y, Qt::AlignLeft);
    for (qsizetype i = 0; i < r.Etats.size(); ++i) {
        auto *s = new QLineSeries;
        s->setName(r.Etats[i]);
        QList<QPointF> points;
        points.reserve(qsizetype(r.Instants.size()));
        for (std::size_t k = 0; k < r.Instants.size(); ++k)
            points.append(QPointF(r.Instants[k], r.Gamma[k][std::size_t(i)]));
        s->replace(points);
        graphe->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
        connect(s, &QLineSeries::clicked, this, [this, i](const QPointF &point) {
            emit pointChoisi(instants[std::size_t(instantProche(point.x()))], int(i) + 1);
        });
    }
    if (!r.CheminGamma.empty()) {
        auto *v = new QScatterSeries;
        v->setName(QStringLiteral("Chemin de Viterbi"));
        v->setMarkerSize(6);
        QList<QPointF> points;
        for (std::size_t k = 0; k < r.Instants.size() && k < r.CheminGamma.size(); ++k)
            if (r.CheminGamma[k] >= 0)
                points.append(QPointF(r.Instants[k], r.Gamma[k][std::size_t(r.CheminGamma[k])]));
        v->replace(points);
        graphe->addSeries(v);
        v->attachAxis(x);
        v->attachAxis(y);
        connect(v, &QScatterSeries::clicked, this, [this](const QPointF &point) {
            const std::size_t k = std::size_t(instantProche(point.x()));
            if (k < chemin.size() && chemin[k] >= 0)
                emit pointChoisi(instants[k], chemin[k] + 1);
        });
    }
}

void GrapheGamma::Marquer(int t, int i)
{
    // Le point choisi, cerclé dans la couleur de sa courbe : on voit quelle valeur la formule développe.
    for (QAbstractSeries *s : chart()->series())
        if (s->name() == NomMarque) {
            chart()->removeSeries(s);
            delete s;
        }
    tMarque = iMarque = 0;
    const auto it = std::find(instants.begin(), instants.end(), t);
    if (it == instants.end() || i < 1 || std::size_t(i) > (gamma.empty() ? 0 : gamma.front().size()))
        return;
    const QList<QAbstractSeries *> series = chart()->series();
    auto *courbe = qobject_cast<QLineSeries *>(series.value(i - 1));
    if (!courbe || chart()->axes().size() < 2)
        return;
    tMarque = t;
    iMarque = i;
    auto *m = new QScatterSeries;
    m->setName(NomMarque);
    m->setMarkerSize(14);
    m->setColor(Qt::transparent);
    m->setBorderColor(courbe->color());
    m->append(t, gamma[std::size_t(it - instants.begin())][std::size_t(i - 1)]);
    chart()->addSeries(m);
    // Le thème impose son stylo à l'ajout : il est fixé ensuite.
    m->setColor(Qt::transparent);
    m->setPen(QPen(courbe->color().darker(130), 3));
    for (QAbstractAxis *a : chart()->axes())
        m->attachAxis(a);
    // Sans légende propre : ce n'est pas une série de données.
    if (const auto marqueurs = chart()->legend()->markers(m); !marqueurs.isEmpty())
        marqueurs.first()->setVisible(false);
}
