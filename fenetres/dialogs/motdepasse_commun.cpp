#include "dialogs/motdepasse_commun.h"
#include "model/fichier.h"
#include "skin/messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

DialogueMotDePasse::DialogueMotDePasse(const QString &titre, const QString &texteValider, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(titre);
    auto *v = new QVBoxLayout(this);
    formulaire = new QFormLayout;
    v->addLayout(formulaire);
    auto *b = new QHBoxLayout;
    b->addStretch();
    Valider = new QPushButton(texteValider, this);
    Valider->setDefault(true);
    Annuler = new QPushButton(QStringLiteral("Annuler"), this);
    b->addWidget(Valider);
    b->addWidget(Annuler);
    v->addLayout(b);
    auto *barre = new QStatusBar(this);
    barre->setSizeGripEnabled(false);
    v->addWidget(barre);
    connect(Valider, &QPushButton::clicked, this, [this] { Confirmer(); });
    connect(Annuler, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint().expandedTo(QSize(330, 0)));
}

QLineEdit *DialogueMotDePasse::AjouterChamp(const QString &libelle)
{
    auto *c = new QLineEdit(this);
    c->setEchoMode(QLineEdit::Password);
    formulaire->addRow(libelle, c);
    champs << c;
    setFixedSize(sizeHint().expandedTo(QSize(330, 0)));
    return c;
}

void DialogueMotDePasse::Refuser(QLineEdit *champ, const QString &message)
{
    Messages::Erreur(this, message);
    champ->setFocus();
    champ->selectAll();
}

bool DialogueMotDePasse::Acceptable(QLineEdit *champ)
{
    const QString m = champ->text();
    QString raison;
    if (m == QLatin1String("Vide"))
        raison = QStringLiteral("Le mot de passe « Vide » est réservé : il désigne un modèle sans mot de passe.");
    else if (m.isEmpty())
        raison = QStringLiteral("Le mot de passe ne peut pas être vide.");
    else if (!FichierModele::TextePortable(m, &raison))
        raison = QStringLiteral("Ce mot de passe ne peut pas être enregistré :\n") + raison;
    if (raison.isEmpty())
        return true;
    Refuser(champ, raison);
    return false;
}

void DialogueMotDePasse::showEvent(QShowEvent *e)
{
    for (QLineEdit *c : champs)
        c->clear();
    if (!champs.isEmpty())
        champs.first()->setFocus();
    QDialog::showEvent(e);
}
