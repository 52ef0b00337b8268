#include "dialogs/motdepass.h"
#include "model/document.h"

#include <QLineEdit>

TForm6::TForm6(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Ajouter un mot de passe"), QStringLiteral("Valider   "), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
    Edit2 = AjouterChamp(QStringLiteral("Confirmation :"));
}

void TForm6::Confirmer()
{
    if (Edit2->text() != Edit1->text())
        return Refuser(Edit2, PasConfirme);
    if (!Acceptable(Edit1))
        return;
    doc.ChangerMotDePasse(Edit1->text());
    accept();
}
