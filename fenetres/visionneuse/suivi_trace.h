#pragma once
// Le lien entre la fenêtre principale et la trace : l'observateur branché sur les
// entraînements, la copie de ce que le dernier calcul traçable a laissé, la fenêtre TForm20.
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"

#include <QObject>

class QWidget;
class DocumentModele;
struct EspaceTravail;
class TForm20;

class SuiviTrace : public QObject {
    Q_OBJECT
public:
    // `fenetre` : la fenêtre principale (parent de TForm20) ; `doc` et `espace` : le modèle et
    // l'espace de travail qu'elle porte.
    SuiviTrace(QWidget *fenetre, DocumentModele &doc, EspaceTravail &espace);

    Trace::ObservateurTrace Observateur;
    Trace::InstantaneTrace Instantane;

    // À la fin d'un calcul traçable, DernierAlgorithme posé : garde ce que sa trace lira, pour
    // qu'un calcul non traçable fait ensuite (énumération des chemins) ne la fausse pas.
    void Memoriser();

    // La fenêtre des traces, créée au premier besoin puis gardée (elle montre la page
    // précédente quand une trace échoue).
    TForm20 *Fenetre();
    // Prépare TForm20 pour DernierAlgorithme ; `modale` : l'ouvre agrandie et attend sa
    // fermeture ; sinon la montre seulement (tests).
    TForm20 *Voir(bool modale = true);

private:
    QWidget *fenetre;
    DocumentModele &doc;
    EspaceTravail &espace;
    TForm20 *form20 = nullptr;
};
