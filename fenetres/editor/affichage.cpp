// TForm1 : branchement du zoom, de l'impression, des options d'affichage, de la
// galerie des algorithmes et de la fenêtre "A propos ...".
#include "dialogs/aide.h"
#include "dialogs/algorithmes.h"
#include "dialogs/apropos.h"
#include "editor/impression.h"
#include "editor/options_fenetre.h"
#include "editor/principale.h"
#include "editor/zoom.h"
#include "skin/presentation.h"

#include <QAction>

void TForm1::BrancherAffichage()
{
    Zoom = new VueZoom(*this);
    Impressions = new ImpressionModele(*this);

    for (QAction *a : {Zoomavant1, Zoomarriere1, Ajuster1, Apercu1, Imprimer1, Configuration1, Optionsgenerales1,
                       Voiralgorithmes1, Apropos1, Aide1})
        a->setEnabled(true);

    connect(Zoomavant1, &QAction::triggered, Zoom, &VueZoom::Zoomavant1Click);
    connect(Zoomarriere1, &QAction::triggered, Zoom, &VueZoom::Zoomarriere1Click);
    connect(Ajuster1, &QAction::triggered, Zoom, &VueZoom::Ajuster1Click);
    connect(Configuration1, &QAction::triggered, Impressions, &ImpressionModele::Configuration1Click);
    connect(Apercu1, &QAction::triggered, Impressions, &ImpressionModele::Apercu1Click);
    connect(Imprimer1, &QAction::triggered, Impressions, &ImpressionModele::Imprimer1Click);
    connect(Optionsgenerales1, &QAction::triggered, this, &TForm1::Optionsgenerales1Click);
    connect(Voiralgorithmes1, &QAction::triggered, this, &TForm1::Voiralgorithmes1Click);
    connect(Apropos1, &QAction::triggered, this, &TForm1::Apropos1Click);
    // "Aide" et F1 : le sommaire de l'aide.
    connect(Aide1, &QAction::triggered, this, [] { Aide::Afficher(); });
}

TForm19 *TForm1::Optionsgenerales1Click()
{
    // Créée à neuf, centrée, animée ; la fenêtre principale reste utilisable.
    auto *f = new TForm19([this] { LireOptions(); }, this);
    Presentation::Presenter(f, false);
    return f;
}

TForm10 *TForm1::Voiralgorithmes1Click()
{
    auto *f = new TForm10(this);
    Presentation::Presenter(f, false);
    return f;
}

TForm3 *TForm1::Apropos1Click()
{
    return TForm3::Ouvrir(this);
}
