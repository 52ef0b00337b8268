#pragma once
// Le répertoire du programme : tous les fichiers de travail y sont (Chemin.txt,
// FichiersRecent.txt, Options.ini, Modeles/, Aide/...). Les tests le redirigent.
#include <QString>

namespace Repertoire {
QString Programme();
void Definir(const QString &chemin);
// Chemin d'un fichier de travail : Programme() + "/" + nom.
QString Fichier(const QString &nom);
}
