#pragma once
// TForm6 : ajouter un mot de passe au modèle.
#include "dialogs/motdepasse_commun.h"

class DocumentModele;

class TForm6 : public DialogueMotDePasse {
    Q_OBJECT
public:
    TForm6(DocumentModele &doc, QWidget *parent = nullptr);
    QLineEdit *Edit1, *Edit2;

protected:
    void Confirmer() override;

private:
    DocumentModele &doc;
};
