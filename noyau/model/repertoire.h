#pragma once
// Où sont les fichiers du programme. Les ressources en lecture seule (Aide/, Modeles/,
// images de la galerie, exemples/) sont à côté de l'exécutable dans l'arbre de
// construction, sous ../share/hmmbench une fois installé. Tout ce qu'il écrit va dans
// les dossiers de l'utilisateur : réglages et fichiers récents dans sa configuration,
// Sequences.txt et Chemin.txt dans ses données, journaux d'annulation, APP.txt et trace
// dans un dossier propre au processus, effacé à la sortie (ou au démarrage suivant après
// un arrêt brutal). Jamais dans le dossier d'installation.
// Les tests (et hmmcalc) fixent un répertoire unique qui remplace tous ces dossiers.
#include <QString>
#include <QStringList>

namespace Repertoire {
// Le répertoire fixé par Definir, sinon celui de l'exécutable.
QString Programme();
void Definir(const QString &chemin);

// Le dossier des ressources en lecture seule (indépendant de Definir).
QString DossierRessources();
// Les dossiers où le programme écrit ; créés au besoin.
QString DossierConfiguration();
QString DossierDonnees();
QString DossierSession();

// Chemin d'un fichier du programme d'après son nom ("Options.ini", "Aide/index.htm",
// "Modeles/Trace.htm"...) : ressource, configuration, données ou session.
QString Fichier(const QString &nom);
// Chemin d'une ressource en lecture seule (sous le répertoire fixé par Definir s'il y en a un).
QString Ressource(const QString &nom);

// Ce que le programme ne pourra pas garder faute de pouvoir écrire dans un dossier de
// l'utilisateur, une phrase par dossier ; vide quand tout est accessible.
QStringList Indisponibles();

// Efface le dossier de session de ce processus (fait aussi à la fin de l'application).
void FermerSession();
}
