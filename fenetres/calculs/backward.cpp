#include "calculs/backward.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
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
    Evaluer(f.Document->Parametres(), e, true);
    f.Resultats->AjouterProbabilite(e.SequenceObservations, TexteProbabilite(e), NomMethode(QStringLiteral("Backward"), e));
    Epilogue(QStringLiteral("Backward"), QStringLiteral("Le calcul de probabilité, avec l'algorithme de Backward, de la "
                                                        "séquence d'observations est terminé avec succès.") +
                                   ParagrapheZero(f.Document->Parametres(), e));
}
