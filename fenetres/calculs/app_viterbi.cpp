#include "calculs/app_viterbi.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "model/document.h"

TForm17::TForm17(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Entraînement de Viterbi"), QStringLiteral("Lancer l'entraînement"),
                                   QStringLiteral("IDH_7"), true})
{
    setObjectName(QStringLiteral("Form17"));
    AjouterZoneSequences();
}

void TForm17::Executer()
{
    EspaceTravail &e = espace();
    // Deux passes au plus, sans boucle d'événements : rien à arrêter.
    ObservateurDialogue observateur(f, {});
    Entrainer(Entrainement::Viterbi, *f.Document, e, &observateur);
    ListerProbabilitesFormation(QStringLiteral("Entraînement de Viterbi"));
    Epilogue(QStringLiteral("Entraînement de Viterbi"),
             e.PlusieursSequences()
                 ? QStringLiteral("L'entraînement de Viterbi pour les %1 séquences de formation est terminé avec succès.")
                       .arg(e.Formation.size())
                 : QStringLiteral("L'entraînement de Viterbi pour la séquence de formation est terminé avec succès."));
}
