#include "dialogs/suppmotdepass.h"
#include "model/document.h"

#include <QLineEdit>

TForm7::TForm7(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Supprimer le mot de passe"), QStringLiteral("Supprimer "), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
}

void TForm7::Confirmer()
{
    if (Edit1->text() != doc.MotDePasse())
        return Refuser(Edit1, Incorrect);
    doc.ChangerMotDePasse(QStringLiteral("Vide"));
    accept();
}
