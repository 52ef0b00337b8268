#include "calculs/backward.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "model/document.h"
#include "graph/nombres.h"

TForm14::TForm14(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Calculer la probabilité de génération (Backward)"),
                                   QStringLiteral("Lancer le calcul"), QStringLiteral("IDH_4")})
{
    setObjectName(QStringLiteral("Form14"));
}

void TForm14::Executer()
{
    PreparerCalcul();
    EspaceTravail &e = espace();
    CalculerBackward(f.Document->Parametres, e);
    f.Resultats->AjouterProbabilite(e.SequenceObservations, Nombres::Formater(e.Probabilite), QStringLiteral("Backward"));
    Epilogue(QStringLiteral("Backward"), QStringLiteral("Le calcul de probabilité, avec l'algorithme de Backward, de la "
                                                        "séquence d'observations est terminé avec succès."));
}
