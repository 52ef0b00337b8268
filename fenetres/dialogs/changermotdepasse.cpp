#include "dialogs/changermotdepasse.h"
#include "model/document.h"

#include <QLineEdit>

TForm8::TForm8(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Modifier le mot de passe"), QStringLiteral("Changer"), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Encien mot de passe :"));
    Edit2 = AjouterChamp(QStringLiteral("Nouveau mot de passe :"));
    Edit3 = AjouterChamp(QStringLiteral("Confirmation :"));
}

void TForm8::Confirmer()
{
    if (Edit1->text() != doc.MotDePasse())
        return Refuser(Edit1, Incorrect);
    if (Edit2->text() != Edit3->text())
        return Refuser(Edit3, PasConfirme);
    if (!Acceptable(Edit2))
        return;
    doc.ChangerMotDePasse(Edit2->text());
    accept();
}
