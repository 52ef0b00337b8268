#pragma once
// Le bloc de copie des états, sans fenêtre (le presse-papiers de la fenêtre principale s'en
// sert ; les tests l'appellent directement).
#include "model/fichier.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace BlocCopie {
// Borne de lecture : 99 états de 98 symboles tiennent en moins d'un million de caractères ;
// un texte plus long n'est ni débrouillé ni lu (refus en français).
constexpr qsizetype LimiteTexte = 4 * 1024 * 1024;
// Forme en clair : "[Etats_Copies]= " + C puis C lignes d'état, chaque ligne suivie de CR LF.
QString Ecrire(const QList<ContenuModele::Etat> &etats);
// Lecture validée du bloc en clair (suite de jetons) : false et un message français quand il
// ne suit pas le format ; rien n'est alors collé.
bool Lire(const QString &clair, QList<ContenuModele::Etat> *etats, QString *erreur);
// Brouillage du bloc pour le presse-papiers (clé 5871) et son inverse ; un texte étranger
// qui ne peut pas venir d'un bloc donne un texte vide.
QString VersPressePapiers(const QString &clair);
QString DepuisPressePapiers(const QString &texte);
// Nom donné à un état collé : le nom lu sans son numéro final, puis le premier numéro
// (à partir de 1) qui ne désigne aucun des états existants ; *numero reçoit ce numéro.
QString NomColle(const QString &nomLu, const QStringList &existants, int *numero);
}
