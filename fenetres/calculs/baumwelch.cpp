#include "calculs/baumwelch.h"
#include "model/regles_edition.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "graph/nombres.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

TForm11::TForm11(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Entraînement de BaumWelch"), QStringLiteral("Lancer l'entraînement"),
                                   QStringLiteral("IDH_8"), true})
{
    setObjectName(QStringLiteral("Form11"));
    AjouterZoneSequences();
    GroupBox3 = new QGroupBox(QStringLiteral(" Critère d'arrêt de l'algorithme : "), this);
    auto *g = new QGridLayout(GroupBox3);
    RadioButton3 = new QRadioButton(QStringLiteral("Nombre d'itérations :"), GroupBox3);
    RadioButton4 = new QRadioButton(QStringLiteral("Jusqu'à ce que P(O|H) soit superieur ou égale à :"), GroupBox3);
    CSpinEditIteration = new QSpinBox(GroupBox3);
    CSpinEditIteration->setObjectName(QStringLiteral("CSpinEditIteration"));
    // Aucune borne utile : un nombre inférieur à 1 ne fait aucune itération.
    CSpinEditIteration->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    CSpinEditIteration->setValue(10);
    Edit1 = new QLineEdit(GroupBox3);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    g->addWidget(RadioButton3, 0, 0);
    g->addWidget(CSpinEditIteration, 0, 1);
    g->addWidget(RadioButton4, 1, 0);
    g->addWidget(Edit1, 1, 1);
    ZoneSupplementaire->addWidget(GroupBox3);
    RadioButton3->setChecked(true);
    connect(RadioButton3, &QRadioButton::toggled, this, &TForm11::critereChange);
    critereChange();
}

void TForm11::FormShow()
{
    DialogueAlgorithme::FormShow();
    RadioButton3->setChecked(true);
    CSpinEditIteration->setValue(10);
    Edit1->clear();
    critereChange();
    LabeledEdit1->setFocus();
}

void TForm11::critereChange()
{
    const bool iterations = RadioButton3->isChecked();
    CSpinEditIteration->setEnabled(iterations);
    Edit1->setEnabled(!iterations);
}

bool TForm11::ToucheAcceptee(const QString &texteActuel, const QString &frappe)
{
    if (frappe.size() != 1)
        return frappe.isEmpty();
    const QChar c = frappe[0];
    if (c == QChar(8))
        return true;
    return !ReglesEdition::SaisieNombre(texteActuel, c).isNull();
}

bool TForm11::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == Edit1 && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        // Seules les touches qui produisent un caractère sont filtrées (flèches, Suppr passent).
        QString frappe = k->text();
        if (k->key() == Qt::Key_Backspace)
            frappe = QString(QChar(8));
        // Entrée, Tab, Suppr, Échap et les raccourcis (Ctrl+A...) ne tapent rien : ils passent.
        const bool commande = (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ||
                              (frappe.size() == 1 && frappe[0] != QChar(8) && !frappe[0].isPrint());
        if (!commande && !ToucheAcceptee(Edit1->text(), frappe))
            return true;
        // "." ou "," : le séparateur de la langue ; "e" : "E".
        if (!commande && frappe.size() == 1 && frappe[0] != QChar(8)) {
            const QChar ecrit = ReglesEdition::SaisieNombre(Edit1->text(), frappe[0]);
            if (ecrit != frappe[0]) {
                Edit1->insert(QString(ecrit));
                return true;
            }
        }
    }
    return DialogueAlgorithme::eventFilter(objet, e);
}

void TForm11::LireReglages()
{
    EspaceTravail &e = espace();
    if (RadioButton3->isChecked()) {
        e.NombreIterations = CSpinEditIteration->value();
        e.Seuil = 2;
        return;
    }
    bool ok = false;
    const long double s = Nombres::VersExtended(Edit1->text(), &ok);
    if (!ok)
        throw ERefusCalcul(QStringLiteral("« ") + Edit1->text() +
                           QStringLiteral(" » n'est pas un nombre décimal : donnez le seuil que P(O|H) doit "
                                          "atteindre, par exemple 0") +
                           Nombres::Separateur() + QStringLiteral("001."));
    e.Seuil = s;
}

void TForm11::Executer()
{
    EspaceTravail &e = espace();
    const QString sequence = e.SequenceObservations;
    DebuterCalculLong(false);
    // Entre deux itérations : la boucle d'événements tourne et "Arrêter" est entendu.
    ObservateurDialogue observateur(f, [this] {
        LaisserRespirer();
        return !ArretDemande();
    });
    const IssueEntrainement issue = Entrainer(Entrainement::BaumWelch, *f.Document, e, &observateur);
    fermetureDemandee = false; // l'épilogue ferme la boîte lui-même
    TerminerCalculLong();
    QString message =
        e.PlusieursSequences()
            ? QStringLiteral("L'entraînement de BaumWelch pour les %1 séquences de formation est terminé avec succès.")
                  .arg(e.Formation.size())
            : QStringLiteral("L'entraînement de BaumWelch pour la séquence de formation est terminé avec succès.");
    switch (issue) {
    case IssueEntrainement::SeuilDejaAtteint:
        // Rien n'a changé dans le modèle.
        message += QStringLiteral("\n\nP(O|H) atteignait déjà le seuil : le modèle n'est pas modifié.");
        break;
    case IssueEntrainement::LimiteAtteinte:
        message += QStringLiteral("\n\nLe seuil n'est pas atteint après %1 itérations : l'entraînement s'arrête là.")
                       .arg(LimiteIterationsSeuil);
        break;
    case IssueEntrainement::Interrompu:
        message = QStringLiteral("L'entraînement de BaumWelch a été arrêté après %1 itération(s) ; les probabilités "
                                 "obtenues sont reportées dans le modèle.")
                      .arg(e.IterationsEffectuees);
        break;
    case IssueEntrainement::Termine:
        break;
    }
    ListerProbabilitesFormation(QStringLiteral("Baum-Welch"));
    Epilogue(QStringLiteral("Entraînement de BaumWelch"), message);
}
