#include "editor/canevas.h"
#include "outils_principale.h"
#include "calculs/app_viterbi.h"
#include "calculs/approchedirect.h"
#include "calculs/backward.h"
#include "calculs/baumwelch.h"
#include "calculs/cheminspossible.h"
#include "calculs/dialogue_algorithme.h"
#include "calculs/forward.h"
#include "calculs/viterbi.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "skin/presentation.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

void FenetreComplete::SetUp()
{
    TestAvecRepertoire::SetUp();
    Presentation::DefinirAnimations(false);
    Messages::DefinirRepondeur([this](const Messages::Message &m) {
        messages << m;
        return reponse;
    });
}

void FenetreComplete::TearDown()
{
    f.reset();
    traiterFermetures();
    Messages::DefinirRepondeur({});
    TestAvecRepertoire::TearDown();
}

void FenetreComplete::ouvrir(const QString &exemple)
{
    const QString chemin = exemple.isEmpty() ? QString() : QStringLiteral(HMM_EXEMPLES "/") + exemple;
    f = std::make_unique<TForm1>(chemin);
    Parties(*f).LancerInstance = [] {};
    Parties(*f).LancerProgramme = [](const QString &, const QStringList &) {};
    f->PremiereActivation();
    f->resize(1200, 900);
    f->show();
    QCoreApplication::processEvents();
}

void FenetreComplete::lancer(DialogueAlgorithme *d, const QString &sequence, bool motParMot)
{
    ASSERT_NE(d, nullptr);
    d->LabeledEdit1->lineEdit()->clear();
    QTest::keyClicks(d->LabeledEdit1->lineEdit(), sequence);
    (motParMot ? d->RadioButton2 : d->RadioButton1)->setChecked(true);
    QTest::mouseClick(d->BitBtn1, Qt::LeftButton);
}

void FenetreComplete::traiterFermetures()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QStringList FenetreComplete::ligne(const QAbstractItemView *liste, int rang)
{
    QStringList t;
    const QAbstractItemModel *m = liste->model();
    if (rang < 0 || rang >= m->rowCount())
        return t;
    for (int c = 0; c < m->columnCount(); ++c)
        t << m->index(rang, c).data(Qt::DisplayRole).toString();
    return t;
}

int FenetreComplete::arc(const QString &a, const QString &b) const
{
    DocumentModele &d = *Parties(*f).Document;
    const int i = a == QLatin1String("START") ? 0 : d.RechercherIndice(a, false);
    const int j = d.RechercherIndice(b, false);
    if (i < 0 || j < 0)
        return -1;
    return VueGraphe(d)->ExisteARC(i, j);
}

std::vector<std::function<DialogueAlgorithme *()>> FenetreComplete::ouvreursBoites()
{
    TForm1 *g = f.get();
    return {
        [g] { return g->Enumerer1Click(); },  [g] { return g->Approchedirect1Click(); },
        [g] { return g->Forward1Click(); },   [g] { return g->Backward1Click(); },
        [g] { return g->Viterbi1Click(); },   [g] { return g->AppViterbi1Click(); },
        [g] { return g->AppBaumWelch1Click(); },
    };
}
