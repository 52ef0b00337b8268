// Le dock « Calcul en direct » suit le document : chaque changement du modèle, puis son
// annulation, donne les nombres du calcul sans fenêtre sur la nouvelle valeur du modèle.
#include "outils_principale.h"
#include "algorithms/direct.h"
#include "direct/panneau_direct.h"
#include "model/document.h"

#include <QChart>
#include <QChartView>
#include <QDockWidget>
#include <QLabel>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {
class CalculDirectFenetre : public FenetreComplete {
protected:
    // Attend la fin du calcul lancé et rend la probabilité et le chemin de la première ligne.
    QStringList attendre()
    {
        PanneauDirect *p = Parties(*f).CalculDirect;
        QTest::qWait(40);
        EXPECT_TRUE(QTest::qWaitFor([p] { return !p->EnCours(); }, 5000));
        const QTableWidget *t = p->Table;
        if (t->rowCount() < 1 || !t->item(0, 1) || !t->item(0, 2))
            return {};
        return {t->item(0, 1)->text(), t->item(0, 2)->text()};
    }
    QStringList horsFenetre()
    {
        const ResultatDirect r = Direct::Calculer(Parties(*f).Document->Contenu(), {QStringLiteral("ab")}, true);
        return {r.Sequences.at(0).Probabilite, QStringLiteral("Start - ") + r.Sequences.at(0).CheminViterbi.join(" - ")};
    }
};
}

TEST_F(CalculDirectFenetre, SuitLesChangementsEtLAnnulation)
{
    ouvrir();
    auto *dock = qobject_cast<QDockWidget *>(Parties(*f).CalculDirect->parentWidget());
    ASSERT_TRUE(dock);
    dock->toggleViewAction()->trigger();
    ASSERT_TRUE(dock->isVisible());
    Parties(*f).CalculDirect->DefinirSequences(QStringLiteral("ab"));
    const QStringList avant = attendre();
    EXPECT_EQ(avant, QStringList({QStringLiteral("0.1915"), QStringLiteral("Start - E1 - E2")}));

    // Un clic sur la courbe de E1 à t = 2 : γ2(E1) = α·β / P, avec les nombres du calcul.
    {
        PanneauDirect *p = Parties(*f).CalculDirect;
        auto *courbe = qobject_cast<QLineSeries *>(p->Vue->chart()->series().value(0));
        ASSERT_TRUE(courbe);
        ASSERT_EQ(courbe->name(), QStringLiteral("E1"));
        const QPointF point = courbe->at(1);
        const QPoint clic = p->Vue->mapFromScene(p->Vue->chart()->mapToPosition(point, courbe));
        QTest::mouseClick(p->Vue->viewport(), Qt::LeftButton, {}, clic);
        EXPECT_TRUE(p->Formule->text().startsWith(QStringLiteral("γ2(E1) = α2(E1)·β2(E1) / P(O|λ) = "))) << p->Formule->text().toStdString();
        EXPECT_TRUE(p->Formule->text().contains(QStringLiteral(" / 0.1915 = "))) << p->Formule->text().toStdString();
        EXPECT_TRUE(p->Formule->accessibleName().endsWith(p->Formule->text()));
        // Le point est cerclé sur sa courbe ; les aides techniques lisent ce que lit la formule.
        EXPECT_EQ(std::make_pair(p->Vue->TMarque(), p->Vue->IMarque()), std::make_pair(2, 1));
        EXPECT_EQ(p->Formule->accessibleDescription(), QStringLiteral("Cases lues : α2(E1), β2(E1) ; P(O|λ)"));
    }

    // Une étiquette changée (deux étapes, la ligne de E1 reste à 1) : les nombres suivent.
    Parties(*f).Document->ChangerEtiquette(arc(QStringLiteral("E1"), QStringLiteral("E1")), QStringLiteral("0.2"));
    Parties(*f).Document->ChangerEtiquette(arc(QStringLiteral("E1"), QStringLiteral("E2")), QStringLiteral("0.8"));
    const QStringList apres = attendre();
    EXPECT_EQ(apres, horsFenetre());
    EXPECT_NE(apres, avant);

    // Ce qui ne change pas le modèle ne relance rien.
    const int lances = Parties(*f).CalculDirect->CalculsLances();
    Parties(*f).CalculDirect->DefinirModele(Parties(*f).Document->Contenu());
    attendre();
    EXPECT_EQ(Parties(*f).CalculDirect->CalculsLances(), lances);

    Parties(*f).Defaire1->trigger();
    Parties(*f).Defaire1->trigger();
    EXPECT_EQ(attendre(), avant);
}

// Une longue séquence se calcule hors du fil de l'interface : pendant le calcul, la boucle
// d'événements continue de tourner (un événement posté est servi avant la fin), puis le
// résultat arrive (une probabilité minuscule, écrite avec son exposant).
TEST_F(CalculDirectFenetre, LongueSequenceHorsDuFilDeLInterface)
{
    ouvrir();
    auto *dock = qobject_cast<QDockWidget *>(Parties(*f).CalculDirect->parentWidget());
    ASSERT_TRUE(dock);
    dock->toggleViewAction()->trigger();
    PanneauDirect *p = Parties(*f).CalculDirect;
    p->DefinirSequences(QString(100000, QLatin1Char('a')));
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->EnCours(); }, 5000));
    bool servi = false, pendantLeCalcul = false;
    QTimer::singleShot(0, p, [&] {
        servi = true;
        pendantLeCalcul = p->EnCours();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return servi; }, 5000));
    EXPECT_TRUE(pendantLeCalcul);
    ASSERT_TRUE(QTest::qWaitFor([p] { return !p->EnCours(); }, 60000));
    ASSERT_GE(p->Table->rowCount(), 1);
    EXPECT_TRUE(p->Table->item(0, 1)->text().contains(QStringLiteral("E-"))) << p->Table->item(0, 1)->text().toStdString();
}
