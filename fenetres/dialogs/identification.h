#pragma once
// TForm9 : identification à l'ouverture d'un modèle protégé.
#include "dialogs/motdepasse_commun.h"

class TForm9 : public DialogueMotDePasse {
    Q_OBJECT
public:
    TForm9(const QString &motDePasse, QWidget *parent = nullptr);
    QLineEdit *Edit1;
    bool Accepte = false;

protected:
    void Confirmer() override;

private:
    QString motDePasse;
};
