#pragma once
// Contrôles de l'éditeur d'état, sans fenêtre : le nom et les probabilités proposés pour
// un état sont-ils acceptables ? Les messages sont ceux montrés à l'utilisateur, dans l'ordre.
#include <QString>
#include <QStringList>

class DocumentModele;

namespace EditionEtat {

// Somme en simple précision : chaque ajout en précision étendue, rangé en simple précision.
// Un texte qui n'est pas un nombre compte pour 0. Controler accepte aussi une somme décimale
// exacte de 1 (Sommes::DecimaleVautUn).
float Somme(const QStringList &probabilites);

// La règle de Controler sur la somme : une liste non vide dont la somme en simple précision
// ou la somme décimale exacte vaut 1.
bool SommeAcceptee(const QStringList &probabilites);

// Texte de la barre d'état de l'éditeur : « 1 » seulement quand SommeAcceptee ; une somme
// refusée est écrite avec assez de chiffres pour ne jamais se lire 1.
QString TexteSomme(const QStringList &probabilites);

// « Compléter » : le texte de la probabilité de la ligne `ligne` qui porte la somme à 1 (un
// moins la somme des autres) ; vide quand les autres dépassent déjà 1.
QString Completer(const QStringList &probabilites, int ligne);
// « Normaliser » : chaque probabilité divisée par leur somme (un texte qui n'est pas un nombre
// compte pour 0) ; la liste inchangée quand la somme est nulle.
QStringList Normaliser(const QStringList &probabilites);

struct Refus {
    QString Message; // vide : accepté
    bool SurLeNom = false; // le nom est fautif (la fenêtre le remet et le sélectionne)
    bool Accepte() const { return Message.isEmpty(); }
};

// `indice` : la place de l'état édité dans doc.Etats (il ne se compare pas à lui-même).
Refus Controler(const DocumentModele &doc, int indice, const QString &nom, const QStringList &probabilites);

}
