#pragma once
// Presse-papiers des états : "Couper", "Copier", "Coller", "Supprimer", "Selectionner tout ...".
// Les états copiés voyagent par le presse-papiers du système dans un bloc de texte brouillé,
// si bien qu'ils se collent aussi dans une autre instance du programme.
#include "model/bloc_copie.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TForm1;
struct PartiesPrincipale;

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
    PartiesPrincipale &parties; // les parties privées de f
};
