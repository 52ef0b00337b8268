#pragma once
// Presse-papiers des états : "Couper", "Copier", "Coller", "Supprimer", "Selectionner tout ...".
// Les états copiés voyagent par le presse-papiers du système dans un bloc de texte brouillé,
// si bien qu'ils se collent aussi dans une autre instance du programme.
#include "model/fichier.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TForm1;

// Le bloc de copie, sans fenêtre (les tests l'appellent directement).
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

class PressePapiers : public QObject {
    Q_OBJECT
public:
    explicit PressePapiers(TForm1 &fenetre);

    // Décalage des boîtes collées : 5 après une copie, puis 5 de plus à chaque collage.
    int Decalage = 0;

    void Couper1Click();
    void Copier1Click();
    void Coller1Click();
    void Supprimer1Click();
    void Selectionnertout1Click();

private:
    // Bloc brouillé des états sélectionnés ; *c reçoit leur nombre.
    QString preparerCopie(int *c);

    TForm1 &f;
};
