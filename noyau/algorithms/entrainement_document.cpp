// Les entraînements appliqués au document : paramètres tirés du graphe, calcul (sans document,
// dans les fichiers des algorithmes), puis report des valeurs dans le graphe et journal. Seul
// fichier des calculs qui connaisse le document : le reste se lie sans Qt Widgets (hmmcalc).
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "algorithms/sequence.h"
#include "model/document.h"
#include "model/parametres.h"
#include "model/textes.h"

namespace {
// Après la boucle : le graphe n'est touché que si le seuil n'était pas déjà atteint.
IssueEntrainement conclure(Entrainement type, DocumentModele &doc, const ParametresModele &lambda, EspaceTravail &e,
                           ObservateurEntrainement *obs, IssueEntrainement issue)
{
    if (issue != IssueEntrainement::SeuilDejaAtteint)
        ConclureEntrainement(type, doc, lambda, e, obs);
    return issue;
}

// λ tiré du graphe : l'entraînement travaille sur sa copie, que le document ne reçoit qu'au report.
ParametresModele tirer(DocumentModele &doc)
{
    doc.CalculerParametres();
    return doc.Parametres();
}
}

ParametresModele PreparerEntrainement(DocumentModele &doc, EspaceTravail &e)
{
    ParametresModele lambda = tirer(doc);
    DecouperSequence(lambda, e);
    ExigerGeneration(lambda, e);
    return lambda;
}

void ConclureEntrainement(Entrainement type, DocumentModele &doc, const ParametresModele &lambda, EspaceTravail &e,
                          ObservateurEntrainement *obs)
{
    if (obs)
        obs->AvantModification(type);
    ReporterParametres(doc, lambda,
                       e.PlusieursSequences()
                           ? DescriptionEntrainement(type, int(e.Formation.size()))
                           : DescriptionEntrainement(type, CiterSequence(e.SequenceObservations, !e.DecoupageCaractere)));
    // Le journal reste dans le répertoire du programme pour la trace ; un échec d'écriture
    // n'annule pas l'entraînement (la trace le signalera en ne trouvant pas le journal).
    Textes::EcrireLignes(CheminJournalEntrainement(), e.JournalEntrainement);
    if (obs)
        obs->Fin(type, doc.Parametres(), e);
}

IssueEntrainement EntrainerBaumWelch(DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs)
{
    ParametresModele lambda = PreparerEntrainement(doc, e);
    return conclure(Entrainement::BaumWelch, doc, lambda, e, obs, BouclerBaumWelch(lambda, e, obs));
}

void ReporterParametres(DocumentModele &doc, const ParametresModele &lambda, const QString &description)
{
    if (lambda.N != doc.N())
        throw ERefusCalcul(QStringLiteral("Le modèle a changé pendant l'entraînement : "
                                          "les paramètres ne peuvent pas y être reportés."));
    doc.ReporterParametres(lambda, description);
}

IssueEntrainement EntrainerViterbi(DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs)
{
    ParametresModele lambda = PreparerEntrainement(doc, e);
    const IssueEntrainement issue = BouclerViterbi(lambda, e, obs);
    ConclureEntrainement(Entrainement::Viterbi, doc, lambda, e, obs);
    return issue;
}

IssueEntrainement EntrainerFormation(Entrainement type, DocumentModele &doc, EspaceTravail &e,
                                     ObservateurEntrainement *obs, ModeCalcul mode)
{
    ParametresModele lambda = tirer(doc);
    return conclure(type, doc, lambda, e, obs, EntrainerParametresFormation(type, lambda, e, obs, mode));
}

IssueEntrainement Entrainer(Entrainement type, DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs,
                            ModeCalcul mode)
{
    // Une seule séquence de formation : le calcul d'une séquence, à l'identique.
    if (e.Formation.size() == 1) {
        e.SequenceObservations = e.Formation.Texte(0);
        e.Formation.clear();
    }
    if (e.PlusieursSequences())
        return EntrainerFormation(type, doc, e, obs, mode);
    ParametresModele lambda = tirer(doc);
    return conclure(type, doc, lambda, e, obs, EntrainerParametres(type, lambda, e, obs, mode));
}
