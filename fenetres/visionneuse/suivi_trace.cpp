#include "visionneuse/suivi_trace.h"
#include "algorithms/espace.h"
#include "model/document.h"
#include "visionneuse/trace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

SuiviTrace::SuiviTrace(QWidget *fenetre, DocumentModele &doc, EspaceTravail &espace)
    : QObject(fenetre), fenetre(fenetre), doc(doc), espace(espace)
{
}

void SuiviTrace::Memoriser()
{
    Instantane.Prendre(espace.DernierAlgorithme, doc.Parametres(), espace);
}

TForm20 *SuiviTrace::Fenetre()
{
    if (!form20)
        form20 = new TForm20(fenetre);
    return form20;
}

TForm20 *SuiviTrace::Voir(bool modale)
{
    TForm20 *f = Fenetre();
    f->DernierAlgorithme = espace.DernierAlgorithme;
    f->Document = &doc;
    f->Observateur = &Observateur;
    // La copie prise à la fin du calcul quand elle est celle du dernier calcul ; sinon ce que
    // l'espace de travail contient encore.
    const bool copie = !Instantane.Algorithme.isEmpty() && Instantane.Algorithme == espace.DernierAlgorithme;
    f->Parametres = copie ? &Instantane.Parametres : &doc.Parametres();
    f->Espace = copie ? &Instantane.Espace : &espace;
    // Agrandie : l'écran entier d'abord, pour le cas où aucun gestionnaire de fenêtres
    // n'applique l'état « agrandie ».
    if (QScreen *ecran = fenetre ? fenetre->screen() : QGuiApplication::primaryScreen())
        f->setGeometry(ecran->availableGeometry());
    f->setWindowState(f->windowState() | Qt::WindowMaximized);
    if (modale)
        f->exec();
    else
        f->show();
    return f;
}
