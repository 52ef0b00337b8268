#include "algorithms/viterbi.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "editor/listes.h"
#include "editor/principale.h"
#include "graph/nombres.h"

TForm15::TForm15(TForm1 &fenetre)
    : DialogueAlgorithme(fenetre, {QStringLiteral("Trouver le chemin de Viterbi"), QStringLiteral("Trouver le chemin"),
                                   QStringLiteral("IDH_6")})
{
    setObjectName(QStringLiteral("Form15"));
}

bool TForm15::Executer()
{
    PreparerCalcul();
    EspaceTravail &e = espace();
    const ParametresModele &p = f.Document->Parametres;
    // Une séquence que le modèle ne génère pas n'a pas de chemin à décoder.
    CalculerForward(p, e);
    if (e.Probabilite == 0) {
        Erreur(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") + e.SequenceObservations);
        return false;
    }
    CalculerViterbi(p, e);
    QStringList etats;
    for (int t = 1; t <= e.LongueurSequence; ++t)
        etats << p.NomEtat(e.CheminViterbi[t]);
    f.Listes->ViderViterbi();
    f.Listes->AjouterViterbi(etats, Nombres::Formater(e.Probabilite));
    Epilogue(QStringLiteral("Viterbi"),
             QStringLiteral("L'opération de décodage de la séquence d'observations est terminée avec succès."));
    return true;
}
