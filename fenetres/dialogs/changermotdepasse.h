#pragma once
// TForm8 : modifier le mot de passe du modèle.
#include "dialogs/motdepasse_commun.h"

class DocumentModele;

class TForm8 : public DialogueMotDePasse {
    Q_OBJECT
public:
    TForm8(DocumentModele &doc, QWidget *parent = nullptr);
    QLineEdit *Edit1, *Edit2, *Edit3;

protected:
    void Confirmer() override;

private:
    DocumentModele &doc;
};
