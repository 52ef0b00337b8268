#include "algorithms/entrainement_contenu.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/report_parametres.h"
#include "model/textes.h"

IssueEntrainement EntrainerContenu(Entrainement type, ContenuModele &modele, ParametresModele &lambda,
                                   EspaceTravail &e, ObservateurEntrainement *obs, ModeCalcul mode, bool journal)
{
    // Une seule séquence de formation : le calcul d'une séquence, à l'identique.
    if (e.Formation.size() == 1) {
        e.SequenceObservations = e.Formation.Texte(0);
        e.Formation.clear();
    }
    CalculerParametres(modele, lambda);
    const IssueEntrainement issue = e.PlusieursSequences()
                                        ? EntrainerParametresFormation(type, lambda, e, obs, mode)
                                        : EntrainerParametres(type, lambda, e, obs, mode);
    // Le modèle n'est touché que si le seuil n'était pas déjà atteint.
    if (issue == IssueEntrainement::SeuilDejaAtteint)
        return issue;
    if (obs)
        obs->AvantModification(type);
    ReporterValeurs(modele, lambda);
    FichierModele::Normaliser(&modele);
    // Un échec d'écriture n'annule pas l'entraînement (la trace le signalera).
    if (journal)
        Textes::EcrireLignes(CheminJournalEntrainement(), e.JournalEntrainement);
    if (obs)
        obs->Fin(type, lambda, e);
    return issue;
}
