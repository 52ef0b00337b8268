#include "calculs/approchedirect.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "graph/nombres.h"

#include <QCheckBox>
#include <QVBoxLayout>

TForm12::TForm12(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Calculer la probabilité de génération (Aproche dirrecte)"),
                                   QStringLiteral("Lancer le calcul"), QStringLiteral("IDH_5")})
{
    setObjectName(QStringLiteral("Form12"));
    CheckBox1 = new QCheckBox(QStringLiteral("Enumérer tout les chemins possible"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    ZoneSupplementaire->addWidget(CheckBox1);
    AjouterProgression();
}

void TForm12::FormShow()
{
    DialogueAlgorithme::FormShow();
    CheckBox1->setChecked(false);
}

void TForm12::Executer()
{
    if (!Enumerer())
        return;
    EspaceTravail &e = espace();
    f.Resultats->AjouterProbabilite(e.SequenceObservations, Nombres::Formater(e.Probabilite), QStringLiteral("A. Direct"));
    if (CheckBox1->isChecked() && e.Probabilite != 0)
        ListerChemins();
    Epilogue(QStringLiteral("Evaluation, Approche directe"),
             QStringLiteral("Le calcul de probabilité, avec l'approche directe, de la séquence d'observations est "
                            "terminé avec succès.") +
                 ParagrapheZero(f.Document->Parametres(), e, true));
}
