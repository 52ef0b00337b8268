#include "dialogs/motdepass.h"
#include "model/document.h"

#include <QLineEdit>

namespace {
const QString pasConfirme = QStringLiteral("Le mot de passe ne correspond pas à la confirmation");
const QString incorrect = QStringLiteral("Mot de passe incorrect");
}

TForm6::TForm6(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Ajouter un mot de passe"), QStringLiteral("Valider   "), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
    Edit2 = AjouterChamp(QStringLiteral("Confirmation :"));
}

void TForm6::Confirmer()
{
    if (Edit2->text() != Edit1->text())
        return Refuser(Edit2, pasConfirme);
    if (!Acceptable(Edit1))
        return;
    doc.MotDePasse = Edit1->text();
    doc.Modifie = true;
    accept();
}

TForm7::TForm7(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Supprimer le mot de passe"), QStringLiteral("Supprimer "), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
}

void TForm7::Confirmer()
{
    if (Edit1->text() != doc.MotDePasse)
        return Refuser(Edit1, incorrect);
    doc.MotDePasse = QStringLiteral("Vide");
    doc.Modifie = true;
    accept();
}

TForm8::TForm8(DocumentModele &d, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Modifier le mot de passe"), QStringLiteral("Changer"), parent), doc(d)
{
    Edit1 = AjouterChamp(QStringLiteral("Encien mot de passe :"));
    Edit2 = AjouterChamp(QStringLiteral("Nouveau mot de passe :"));
    Edit3 = AjouterChamp(QStringLiteral("Confirmation :"));
}

void TForm8::Confirmer()
{
    if (Edit1->text() != doc.MotDePasse)
        return Refuser(Edit1, incorrect);
    if (Edit2->text() != Edit3->text())
        return Refuser(Edit3, pasConfirme);
    if (!Acceptable(Edit2))
        return;
    doc.MotDePasse = Edit2->text();
    doc.Modifie = true;
    accept();
}

TForm9::TForm9(const QString &m, QWidget *parent)
    : DialogueMotDePasse(QStringLiteral("Identification"), QStringLiteral("OK"), parent), motDePasse(m)
{
    Edit1 = AjouterChamp(QStringLiteral("Mot de passe :"));
}

void TForm9::Confirmer()
{
    if (Edit1->text() != motDePasse)
        return Refuser(Edit1, incorrect);
    Accepte = true;
    accept();
}
