#pragma once
// Commandes "Defaire" et "Refaire" de la fenêtre principale. Les journaux et la restauration
// des étapes sont au document (model/journal.h, DocumentModele::Defaire) ; les légendes des
// deux commandes suivent le document (TForm1::ActualiserVues).
#include "model/journal.h"

#include <QObject>

class TForm1;
struct PartiesPrincipale;

class Annulation : public QObject {
    Q_OBJECT
public:
    explicit Annulation(TForm1 &fenetre);

    // Les journaux du document (lecture).
    const Journal &Defaire, &Refaire;

    void Defaire1Click();
    void Refaire1Click();

private:
    TForm1 &f;
    PartiesPrincipale &parties; // les parties privées de f
};
