#pragma once
// Report de λ sur la valeur du modèle, le même pour le document et pour hmmcalc.
struct ContenuModele;
struct ParametresModele;

// Les étiquettes des arcs (π, A) et les probabilités des paires (B) prennent les valeurs de λ,
// écrites au format des nombres. Rien n'est ôté : l'appelant applique ensuite la règle des
// probabilités nulles (FichierModele::Normaliser, ou Actualiser sur les contrôles).
void ReporterValeurs(ContenuModele &modele, const ParametresModele &parametres);
