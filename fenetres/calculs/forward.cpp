#include "calculs/forward.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "graph/nombres.h"

TForm13::TForm13(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Calculer la probabilité de génération (Forward)"),
                                   QStringLiteral("Lancer le calcul"), QStringLiteral("IDH_3")})
{
    setObjectName(QStringLiteral("Form13"));
}

void TForm13::Executer()
{
    PreparerCalcul();
    EspaceTravail &e = espace();
    Evaluer(f.Document->Parametres(), e, false);
    f.Resultats->AjouterProbabilite(e.SequenceObservations, TexteProbabilite(e), NomMethode(QStringLiteral("Forward"), e));
    Epilogue(QStringLiteral("Forward"), QStringLiteral("Le calcul de probabilité, avec l'algorithme de Forward, de la "
                                                       "séquence d'observations est terminé avec succès.") +
                                   ParagrapheZero(f.Document->Parametres(), e));
}
