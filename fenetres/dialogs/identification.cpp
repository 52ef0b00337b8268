#include "dialogs/identification.h"

#include <QLineEdit>

TForm9::TForm9(const QString &m, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Identification"), QStringLiteral("OK"), parent), motDePasse(m)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
}

void TForm9::Confirmer()
{
    if (Edit1->text() != motDePasse)
        return Refuser(Edit1, Incorrect);
    Accepte = true;
    accept();
}
