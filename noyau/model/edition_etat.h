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

struct Refus {
    QString Message; // vide : accepté
    bool SurLeNom = false; // le nom est fautif (la fenêtre le remet et le sélectionne)
    bool Accepte() const { return Message.isEmpty(); }
};

// `indice` : la place de l'état édité dans doc.Etats (il ne se compare pas à lui-même).
Refus Controler(const DocumentModele &doc, int indice, const QString &nom, const QStringList &probabilites);

}
