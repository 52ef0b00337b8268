// Presse-papiers des états de la fenêtre principale.
#include "editor/pressepapiers.h"
#include "editor/canevas.h"
#include "editor/principale.h"
#include "editor/souris.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "skin/messages.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace {

const QString Entete = QStringLiteral("[Etats_Copies]=");

bool pasPropre(const QString &nom)
{
    return nom == QLatin1String("START") || nom == QLatin1String("END");
}

}

PressePapiers::PressePapiers(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre), parties(Parties(fenetre))
{
    const QList<QPair<QAction *, void (PressePapiers::*)()>> commandes = {
        {parties.Couper1, &PressePapiers::Couper1Click},
        {parties.Copier1, &PressePapiers::Copier1Click},
        {parties.Coller1, &PressePapiers::Coller1Click},
        {parties.Supprimer1, &PressePapiers::Supprimer1Click},
        {parties.Selectionnertout1, &PressePapiers::Selectionnertout1Click},
    };
    for (const auto &[action, commande] : commandes) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, commande);
    }
}

QString PressePapiers::preparerCopie(int *c)
{
    const DocumentModele &d = *parties.Document;
    QList<ContenuModele::Etat> etats;
    for (int i = 1; i <= d.N(); ++i)
        if (VueEtat(d, i)->Selectionne && !pasPropre(VueEtat(d, i)->Nom))
            etats.append(DocumentModele::ContenuEtat(VueEtat(d, i)));
    *c = int(etats.size());
    Decalage = 5;
    return BlocCopie::VersPressePapiers(BlocCopie::Ecrire(etats));
}

void PressePapiers::Copier1Click()
{
    int c = 0;
    const QString bloc = preparerCopie(&c);
    if (c > 0)
        QGuiApplication::clipboard()->setText(bloc);
}

void PressePapiers::Couper1Click()
{
    int c = 0;
    const QString bloc = preparerCopie(&c);
    if (c == 0)
        return;
    Supprimer1Click();
    QGuiApplication::clipboard()->setText(bloc);
}

void PressePapiers::Coller1Click()
{
    DocumentModele &d = *parties.Document;
    const QString clair = BlocCopie::DepuisPressePapiers(QGuiApplication::clipboard()->text());
    if (!clair.contains(Entete))
        return;
    // Le bloc en clair passe par le fichier de travail : relu ligne à ligne, il a les fins de ligne d'un fichier.
    const QString tmp = Repertoire::Fichier(QStringLiteral("EtatsCopies.tmp"));
    QString relu = clair;
    bool lu = false;
    if (Textes::EcrireTexte(tmp, clair)) {
        const QStringList l = Textes::LireLignes(tmp, &lu);
        if (lu)
            relu = l.join(QStringLiteral("\r\n"));
    }
    QList<ContenuModele::Etat> etats;
    QString erreur;
    if (!BlocCopie::Lire(relu, &etats, &erreur)) {
        Messages::Erreur(&f, QStringLiteral("Le presse-papiers ne contient pas d'états utilisables :\n%1.").arg(erreur));
        return;
    }
    const int c = int(etats.size());
    if (c == 0)
        return;
    if (d.N() + c > DocumentModele::CapaciteEtats) {
        Messages::Erreur(&f, QStringLiteral("Impossible de coller %1 état(s) : le modèle en compte déjà %2 et ne peut pas "
                                            "dépasser %3 états en plus de START.")
                                 .arg(c)
                                 .arg(d.N())
                                 .arg(DocumentModele::CapaciteEtats));
        return;
    }
    d.Coller(etats, Decalage);
    parties.Souris->OublierBande();
    Decalage += 5;
}

void PressePapiers::Supprimer1Click()
{
    DocumentModele &d = *parties.Document;
    THmm *h = VueGraphe(d);
    parties.Souris->TerminerEdition();
    QList<const BoiteEtat *> selection;
    for (int i = d.StartPresent() ? 0 : 1; i <= d.N(); ++i)
        if (VueEtat(d, i) && VueEtat(d, i)->Selectionne)
            selection << VueEtat(d, i);
    d.SupprimerEtats(selection);
    int a = -1;
    for (int i = 1; i <= h->NbArcs; ++i)
        if (h->ArcSelectionne[i])
            a = i;
    if (a != -1)
        d.SupprimerArc(a);
}

void PressePapiers::Selectionnertout1Click()
{
    DocumentModele &d = *parties.Document;
    for (int i = d.StartPresent() ? 0 : 1; i <= d.N(); ++i)
        if (TEtat2 *b = VueEtat(d, i)) {
            b->Selectionne = true;
            b->update();
        }
    parties.Souris->FocusCanevas();
}
