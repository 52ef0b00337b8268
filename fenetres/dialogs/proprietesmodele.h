#pragma once
// TForm4 : "Les paramètres du modèle" : N, M, les états, les symboles, et sur demande π, A
// et B, chacun dans une fenêtre de table (TForm18). Ne change rien au modèle.
#include "model/parametres.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class TForm18;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // `parametres` : tirés du graphe juste avant l'ouverture ; `start` : START existe.
    TForm4(const ParametresModele &parametres, bool start, QWidget *parent = nullptr);

    QLabel *LabelN = nullptr, *LabelM = nullptr;
    QListWidget *ListBoxEtats = nullptr, *ListBoxSymboles = nullptr;
    QPushButton *BoutonPI = nullptr, *BoutonA = nullptr, *BoutonB = nullptr;
    QPushButton *BitBtn1 = nullptr; // "  &Fermer"
    QPushButton *BitBtn2 = nullptr; // "&Aide"
    QStatusBar *StatusBar1 = nullptr;

    // "Voir ..." : la fenêtre de table, montrée de façon modale ; rendue pour les tests.
    TForm18 *VoirPI();
    TForm18 *VoirA();
    TForm18 *VoirB();

private:
    TForm18 *montrer(TForm18 *t);
    ParametresModele p;
};
