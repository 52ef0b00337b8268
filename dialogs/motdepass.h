#pragma once
// Les quatre boîtes du mot de passe : ajouter (TForm6), supprimer (TForm7),
// modifier (TForm8), identification à l'ouverture (TForm9).
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
