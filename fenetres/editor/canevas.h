#pragma once
// Le canevas de la fenêtre principale : le document y crée son graphe et ses boîtes en
// contrôles (THmm couvrant le panneau, TEtat2 posés dessus). Les vues retrouvent ici les
// contrôles du document ; elles n'y changent que l'affichage.
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/canevas.h"
#include "model/document.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class CanevasFenetre : public QObject, public CanevasModele {
    Q_OBJECT
public:
    explicit CanevasFenetre(QWidget *panneau);

    std::unique_ptr<GrapheHmm> CreerGraphe() override;
    BoiteEtat *CreerBoite() override;

    // Appelé pour chaque boîte créée : l'éditeur y branche ses gestionnaires.
    void SurCreation(std::function<void(TEtat2 *)> branchement) { branchements.append(std::move(branchement)); }

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    QWidget *panneau;
    QPointer<THmm> graphe;
    QList<std::function<void(TEtat2 *)>> branchements;
};

// Les contrôles d'un document posé sur un CanevasFenetre.
inline THmm *VueGraphe(const DocumentModele &d)
{
    return static_cast<THmm *>(d.GrapheVue());
}
inline TEtat2 *VueEtat(const DocumentModele &d, int k)
{
    return static_cast<TEtat2 *>(d.BoiteVue(k));
}
// Une boîte du document (rendue par une opération, ou l'état courant) en contrôle ; nul
// quand elle n'est plus au document.
inline TEtat2 *Controle(const DocumentModele &d, const BoiteEtat *b)
{
    return VueEtat(d, d.IndiceBoite(b));
}
