#pragma once
// Branche sur la fenêtre principale les commandes de l'apprentissage : « Importer... » et
// « Exporter... » (Fichier), « Générer une séquence... » et « Chemin a posteriori... »
// (Modèle), « Treillis » et « Convergence des entraînements » (Outils, bouton du treillis),
// et l'historique de convergence devant l'observateur de la trace. Ce branchement vit avec la
// fenêtre principale : les fenêtres de l'apprentissage ne la connaissent pas.
class TForm1;
class QObject;

// Rend l'objet qui porte les fenêtres (enfant de la fenêtre principale).
QObject *BrancherApprentissage(TForm1 &fenetre);
