#pragma once
// TForm7 : supprimer le mot de passe du modèle.
#include "dialogs/motdepasse_commun.h"

class DocumentModele;

class TForm7 : public DialogueMotDePasse {
    Q_OBJECT
public:
    TForm7(DocumentModele &doc, QWidget *parent = nullptr);
    QLineEdit *Edit1;

protected:
    void Confirmer() override;

private:
    DocumentModele &doc;
};
