#pragma once
// La liste des fichiers récents ("FichiersRecent.txt" : un chemin par ligne, le plus ancien d'abord).
#include <QString>
#include <QStringList>

namespace Recents {
constexpr int LimiteRecents = 5;
// Borne de lecture du fichier (cinq chemins) : au-delà, ou s'il n'est pas un fichier
// ordinaire, la liste est vide et *erreur en donne la cause.
constexpr qint64 LimiteTaille = 64 * 1024;
QStringList Lire(QString *erreur = nullptr);
// Les entrées du menu "Réouvrir" : les cinq dernières lignes, la plus récente d'abord.
QStringList EntreesMenu();
// Ajoute un chemin (rien pour un chemin vide ou déjà présent, à des blancs près) ;
// garde au plus cinq lignes. Rend true quand la liste a changé.
bool Ajouter(const QString &chemin);
}
