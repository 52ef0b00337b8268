#pragma once
// Ce qui écrit des fichiers à côté d'un calcul de hmmcalc, sur la valeur du modèle : le modèle
// entraîné (--sortie), ici sans Qt Gui ; les traces (--trace) dans le module de dessin, qui
// en hérite.
#include "commandes.h"
#include "model/fichier.h"
#include "model/parametres.h"

namespace Commandes {

class ComplementsContenu : public Complements {
public:
    explicit ComplementsContenu(const Options &o) : o(o) {}

    void Preparer(const ContenuModele &contenu) override;
    void TracerEvaluation(const QString &commande, const ParametresModele &p, EspaceTravail &e) override;
    void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e) override;

protected:
    // Les étapes de --trace, que seul le module de dessin sait faire.
    virtual void PreparerTrace();
    // Avant l'entraînement : l'image du modèle exportée ; rend l'observateur qui écrit la trace.
    virtual ObservateurEntrainement *DebuterTraceEntrainement();
    virtual void TerminerTraceEntrainement();

    const Options &o;
    ContenuModele modele;

private:
    ParametresModele appris;
};

}
