// TForm1 : annulation et rétablissement.
#include "editor/defaire.h"
#include "editor/principale.h"
#include "editor/souris.h"
#include "model/document.h"

#include <QAction>

Annulation::Annulation(TForm1 &fenetre)
    : QObject(&fenetre), Defaire(Parties(fenetre).Document->Annulations()), Refaire(Parties(fenetre).Document->Retablissements()),
      f(fenetre), parties(Parties(fenetre))
{
    // Les bulles des boutons restent celles de la barre quand les libellés changent.
    parties.Defaire1->setToolTip(QStringLiteral("Défaire"));
    parties.Refaire1->setToolTip(QStringLiteral("Récupérer"));
    parties.Defaire1->setEnabled(false);
    parties.Refaire1->setEnabled(false);
    connect(parties.Defaire1, &QAction::triggered, this, &Annulation::Defaire1Click);
    connect(parties.Refaire1, &QAction::triggered, this, &Annulation::Refaire1Click);
}

void Annulation::Defaire1Click()
{
    if (Defaire.EstVide())
        return;
    // Une étiquette en cours d'édition est d'abord validée : elle devient l'étape annulée.
    parties.Souris->TerminerEdition();
    parties.Document->Defaire();
}

void Annulation::Refaire1Click()
{
    if (Refaire.EstVide())
        return;
    parties.Souris->TerminerEdition();
    parties.Document->Refaire();
}
