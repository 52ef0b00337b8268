#include "skin/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
Messages::Repondeur repondeur;
}

namespace Messages {

void DefinirRepondeur(Repondeur r)
{
    repondeur = std::move(r);
}

Reponse Afficher(QWidget *parent, const QString &titre, const QString &texte, Icone icone, Boutons boutons)
{
    if (repondeur)
        return repondeur(Message{titre, texte, icone, boutons});
    QMessageBox b(parent);
    b.setWindowTitle(titre);
    b.setText(texte);
    switch (icone) {
    case Icone::Erreur: b.setIcon(QMessageBox::Critical); break;
    case Icone::Avertissement: b.setIcon(QMessageBox::Warning); break;
    case Icone::Question: b.setIcon(QMessageBox::Question); break;
    case Icone::Information: b.setIcon(QMessageBox::Information); break;
    }
    QPushButton *ok = nullptr, *oui = nullptr, *non = nullptr, *annuler = nullptr;
    if (boutons == Boutons::Ok) {
        ok = b.addButton(QStringLiteral("Ok"), QMessageBox::AcceptRole);
        b.setDefaultButton(ok);
        b.setEscapeButton(ok);
    } else {
        oui = b.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
        non = b.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
        b.setDefaultButton(oui);
        if (boutons == Boutons::OuiNonAnnuler) {
            annuler = b.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
            b.setEscapeButton(annuler);
        } else {
            b.setEscapeButton(non);
        }
    }
    b.exec();
    QAbstractButton *r = b.clickedButton();
    if (r && r == oui)
        return Reponse::Oui;
    if (r && r == non)
        return Reponse::Non;
    if (r && r == annuler)
        return Reponse::Annuler;
    if (boutons == Boutons::Ok)
        return Reponse::Ok;
    return boutons == Boutons::OuiNonAnnuler ? Reponse::Annuler : Reponse::Non;
}

void Erreur(QWidget *parent, const QString &texte, const QString &titre)
{
    Afficher(parent, titre, texte, Icone::Erreur, Boutons::Ok);
}

void Information(QWidget *parent, const QString &texte)
{
    Afficher(parent, TitreInformation, texte, Icone::Information, Boutons::Ok);
}

}
