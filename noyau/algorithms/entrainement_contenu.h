#pragma once
// Les entraînements sur la valeur du modèle (hmmcalc --sortie, --trace) : les mêmes étapes que
// sur le document, sans contrôle ni étape d'annulation.
#include "algorithms/grande_probabilite.h"
#include "algorithms/observateur.h"

struct ContenuModele;
struct EspaceTravail;
struct ParametresModele;

// λ tiré du modèle dans `lambda`, le calcul (une ou plusieurs séquences), puis, sauf seuil
// déjà atteint : AvantModification, les valeurs reportées dans `modele` (probabilités nulles
// ôtées), le journal d'entraînement écrit quand `journal`, enfin Fin.
IssueEntrainement EntrainerContenu(Entrainement type, ContenuModele &modele, ParametresModele &lambda,
                                   EspaceTravail &espace, ObservateurEntrainement *observateur, ModeCalcul mode,
                                   bool journal);
