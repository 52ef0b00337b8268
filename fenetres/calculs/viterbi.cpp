#include "calculs/viterbi.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "graph/nombres.h"

TForm15::TForm15(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Trouver le chemin de Viterbi"), QStringLiteral("Trouver le chemin"),
                                   QStringLiteral("IDH_6")})
{
    setObjectName(QStringLiteral("Form15"));
}

void TForm15::Executer()
{
    PreparerCalcul();
    EspaceTravail &e = espace();
    const ParametresModele &p = f.Document->Parametres();
    Decoder(p, e);
    f.Resultats->AfficherViterbi(EtatsCheminViterbi(p, e), NomMethode(TexteProbabilite(e), e));
    Epilogue(QStringLiteral("Viterbi"),
             QStringLiteral("L'opération de décodage de la séquence d'observations est terminée avec succès."));
}
