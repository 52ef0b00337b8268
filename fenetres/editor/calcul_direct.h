#pragma once
// Le dock « Calcul en direct » de la fenêtre principale (menu « Affichage », F6) : il reçoit
// la valeur du modèle à chaque changement du document tant qu'il est visible, et surligne sur
// le graphe le chemin de Viterbi de la première séquence. Visibilité, séquences et découpage
// sont retenus pour l'utilisateur.
class TForm1;
class PanneauDirect;

PanneauDirect *BrancherCalculDirect(TForm1 &fenetre);
