// Bornes des traces : tableaux des temps et journal des entraînements gardent début et fin,
// le milieu compté en une ligne.
#include "algorithms/evaluation.h"
#include "modeles_test.h"
#include "trace/bornes_trace.h"
#include "trace/traces_evaluation.h"

#include <gtest/gtest.h>

using namespace Trace;

TEST(BornesTrace, TableauDesTempsLongCompteLesInstantsOmis)
{
    const ParametresModele p = ModeleE1E2();
    for (const int T : {InstantsMontres, InstantsMontres + 1, 5000}) {
        EspaceTravail e = EspacePour(std::vector<int>(std::size_t(T), 1));
        CalculerForward(p, e);
        const QString t = TableauAlpha(p, e);
        const int omis = T - InstantsMontres;
        EXPECT_EQ(t.count(QStringLiteral("t=")), std::min(T, InstantsMontres)) << T;
        EXPECT_TRUE(t.contains(QStringLiteral("t=1&nbsp;")) && t.contains(QStringLiteral("t=%1&nbsp;").arg(T))) << T;
        EXPECT_EQ(t.contains(QStringLiteral("t=%1&nbsp;").arg(InstantsMontres / 2 + 1)), omis == 0) << T;
        EXPECT_EQ(t.contains(LigneInstantsOmis(p.N + 1, omis)), omis > 0) << T;
    }
}

TEST(BornesTrace, JournalGardeLesPremieresEtLesDernieresIterations)
{
    // Itérations d'environ 10 000 caractères : la borne est franchie vers la quarantième.
    const QString remplissage(10000, QLatin1Char('x'));
    for (const int n : {1, 20, 39, 1000}) {
        EspaceTravail e;
        e.JournalEntrainement << QStringLiteral("ancien");
        e.JournalEntrainement.clear(); // un journal vidé repart de zéro
        for (int k = 1; k <= n; ++k)
            AjouterIteration(e, {QStringLiteral("<b>Itération %1</b>").arg(k), remplissage, QStringLiteral("<HR><br>")});
        const QStringList &j = e.JournalEntrainement;
        qsizetype taille = 0, gardees = 0, lignesOmission = 0;
        for (const QString &l : j) {
            taille += l.size() + 2;
            gardees += l.startsWith(QStringLiteral("<b>Itération")) ? 1 : 0;
            lignesOmission += l.contains(QStringLiteral("omise")) ? 1 : 0;
        }
        EXPECT_LE(taille, TailleJournalMax + 10100) << n;
        EXPECT_EQ(j.first(), QStringLiteral("<b>Itération 1</b>")) << n;
        EXPECT_EQ(j[j.size() - 3], QStringLiteral("<b>Itération %1</b>").arg(n)) << n;
        EXPECT_EQ(lignesOmission, gardees < n ? 1 : 0) << n;
        if (gardees < n) {
            EXPECT_TRUE(j.contains(LigneIterationsOmises(n - gardees))) << n;
        }
    }
}
