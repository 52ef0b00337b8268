#include "complements.h"
#include "algorithms/entrainement_contenu.h"

namespace Commandes {

namespace {
[[noreturn]] void sansModule()
{
    throw Echec{Usage, QStringLiteral("L'option --trace demande le module de dessin de hmmcalc.")};
}
}

void ComplementsContenu::Preparer(const ContenuModele &contenu)
{
    modele = contenu;
    if (o.trace)
        PreparerTrace();
}

void ComplementsContenu::PreparerTrace()
{
    sansModule();
}

void ComplementsContenu::TracerEvaluation(const QString &, const ParametresModele &, EspaceTravail &)
{
    sansModule();
}

ObservateurEntrainement *ComplementsContenu::DebuterTraceEntrainement()
{
    sansModule();
}

void ComplementsContenu::TerminerTraceEntrainement()
{
    sansModule();
}

void ComplementsContenu::Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e)
{
    // Sans --sortie ni --trace, rien n'est réécrit ni journalisé : l'entraînement porte sur une
    // copie de λ.
    if (!o.sortie && !o.trace) {
        Commandes::Entrainer(x, p, e, nullptr, {});
        return;
    }
    // La trace d'un entraînement s'écrit pendant le calcul ; l'image est celle d'avant.
    ObservateurEntrainement *trace = o.trace ? DebuterTraceEntrainement() : nullptr;
    const auto surModele = [&](Entrainement type, ObservateurEntrainement *observateur, ModeCalcul mode,
                               const ParametresModele **lambda) {
        *lambda = &appris;
        return EntrainerContenu(type, modele, appris, e, observateur, mode, o.trace.has_value());
    };
    Commandes::Entrainer(x, p, e, trace, surModele);
    if (o.sortie) {
        QString erreur;
        if (!FichierModele::EcrireFichier(*o.sortie, FichierModele::Ecrire(modele), &erreur))
            throw Echec{Usage, QStringLiteral("Impossible d'enregistrer le modèle dans « %1 » :\n%2").arg(*o.sortie, erreur)};
    }
    if (o.trace)
        TerminerTraceEntrainement();
}

}
