#include "editor/calcul_direct.h"
#include "direct/panneau_direct.h"
#include "editor/listes.h"
#include "editor/principale.h"
#include "model/document.h"
#include "model/reglages.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
const QString CleVisible = QStringLiteral("CalculDirect/Visible");
const QString CleSequences = QStringLiteral("CalculDirect/Sequences");
const QString CleMotParMot = QStringLiteral("CalculDirect/MotParMot");
}

PanneauDirect *BrancherCalculDirect(TForm1 &f)
{
    auto *dock = new QDockWidget(QStringLiteral("Calcul en direct"), &f);
    dock->setObjectName(QStringLiteral("DockCalculDirect"));
    auto *panneau = new PanneauDirect(dock);
    dock->setWidget(panneau);
    f.addDockWidget(Qt::RightDockWidgetArea, dock);
    // Un tiers de l'écran au plus : le canevas reste lisible à 800 × 600.
    f.resizeDocks({dock}, {std::min(360, f.screen() ? f.screen()->availableGeometry().width() / 3 : 360)}, Qt::Horizontal);
    dock->hide();

    QAction *action = dock->toggleViewAction();
    action->setText(QStringLiteral("Calcul en &direct"));
    action->setShortcut(QKeySequence(Qt::Key_F6));
    action->setStatusTip(QStringLiteral("P(O|λ), chemin de Viterbi et γ recalculés à chaque changement du modèle"));
    for (QObject *o : Parties(f).Ajuster1->associatedObjects())
        if (auto *menu = qobject_cast<QMenu *>(o)) {
            menu->addSeparator();
            menu->addAction(action);
            break;
        }
    f.addAction(action); // le raccourci vaut aussi quand le menu n'est pas ouvert

    DocumentModele *doc = Parties(f).Document;
    auto nourrir = [dock, panneau, doc] {
        if (dock->isVisible())
            panneau->DefinirModele(doc->Contenu());
    };
    QObject::connect(doc, &DocumentModele::modifie, panneau, nourrir);
    QObject::connect(doc, &DocumentModele::modeleCharge, panneau, nourrir);
    QObject::connect(dock, &QDockWidget::visibilityChanged, panneau, [&f, panneau, nourrir](bool visible) {
        if (!visible)
            return;
        if (panneau->Sequences().isEmpty() && !Parties(f).Espace.SequenceObservations.isEmpty())
            panneau->DefinirSequences(Parties(f).Espace.SequenceObservations);
        panneau->Saisie->setFocus();
        nourrir();
    });
    QObject::connect(panneau, &PanneauDirect::resultatMontre, &f, [&f, dock](const QStringList &chemin) {
        if (!dock->isVisible())
            return;
        if (chemin.isEmpty())
            Parties(f).Listes->EffacerSurlignage();
        else
            Parties(f).Listes->Surligner(chemin);
    });

    // Retenu pour l'utilisateur.
    panneau->MotParMot->setChecked(Reglages::LireBooleen(CleMotParMot, false));
    panneau->DefinirSequences(Reglages::Lire(CleSequences));
    if (Reglages::LireBooleen(CleVisible, false))
        dock->show();
    QObject::connect(action, &QAction::toggled, panneau, [](bool visible) { Reglages::EcrireBooleen(CleVisible, visible); });
    // Les séquences sont écrites une fois la frappe arrêtée, pas à chaque touche.
    auto *ecriture = new QTimer(panneau);
    ecriture->setSingleShot(true);
    ecriture->setInterval(800);
    QObject::connect(panneau->Saisie, &QPlainTextEdit::textChanged, ecriture, qOverload<>(&QTimer::start));
    QObject::connect(ecriture, &QTimer::timeout, panneau, [panneau] {
        Reglages::Ecrire(CleSequences, panneau->Saisie->toPlainText().left(100000));
    });
    QObject::connect(panneau->MotParMot, &QCheckBox::toggled, panneau,
                     [](bool mot) { Reglages::EcrireBooleen(CleMotParMot, mot); });
    return panneau;
}
