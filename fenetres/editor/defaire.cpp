// TForm1 : annulation et rétablissement.
#include "editor/defaire.h"
#include "editor/principale.h"
#include "editor/souris.h"
#include "model/document.h"

#include <QAction>

Annulation::Annulation(TForm1 &fenetre)
    : QObject(&fenetre), Defaire(fenetre.Document->Annulations()), Refaire(fenetre.Document->Retablissements()),
      f(fenetre)
{
    // Les bulles des boutons restent celles de la barre quand les libellés changent.
    f.Defaire1->setToolTip(QStringLiteral("Défaire"));
    f.Refaire1->setToolTip(QStringLiteral("Récupérer"));
    f.Defaire1->setEnabled(false);
    f.Refaire1->setEnabled(false);
    connect(f.Defaire1, &QAction::triggered, this, &Annulation::Defaire1Click);
    connect(f.Refaire1, &QAction::triggered, this, &Annulation::Refaire1Click);
}

void Annulation::Defaire1Click()
{
    if (Defaire.EstVide())
        return;
    // Une étiquette en cours d'édition est d'abord validée : elle devient l'étape annulée.
    f.Souris->TerminerEdition();
    f.Document->Defaire();
}

void Annulation::Refaire1Click()
{
    if (Refaire.EstVide())
        return;
    f.Souris->TerminerEdition();
    f.Document->Refaire();
}
