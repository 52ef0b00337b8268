#pragma once
// TForm19 : la fenêtre des options d'affichage (couleurs du canevas, des arcs, des
// étiquettes et des états, style des flèches), enregistrées dans "Options.ini".
#include "graph/couleurs.h"
#include "model/options.h"

#include <QComboBox>
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;
class THmm;
class TEtat2;

// Liste de couleurs : couleurs standard, étendues et système avec leur nom et leur
// pastille, "Par défaut" (la valeur par défaut du réglage), éventuellement "Aucune",
// et une couleur personnalisée choisie dans la boîte de couleurs.
class ListeCouleurs : public QComboBox {
    Q_OBJECT
public:
    ListeCouleurs(TCouleur defaut, bool avecAucune, QWidget *parent = nullptr);

    TCouleur Couleur() const;
    // Choisit l'entrée de cette couleur ; une couleur hors liste devient la personnalisée.
    void DefinirCouleur(TCouleur c);

    static constexpr int IndexPersonnalisee = 0;
    // Boîte de choix d'une couleur ; couleur invalide = annulé. Remplaçable par les tests.
    static std::function<QColor(const QColor &initiale, QWidget *parent)> DemanderCouleur;

signals:
    void couleurChangee();

private:
    void choisir(int index);
    void personnaliser(TCouleur c);
    TCouleur defaut;
    int precedent = -1;
    bool interne = false;
};

class TForm19 : public QDialog {
    Q_OBJECT
public:
    // `appliquer` : relit "Options.ini" et l'applique au canevas (TForm1::LireOptions).
    explicit TForm19(std::function<void()> appliquer, QWidget *parent = nullptr);

    // Réglages par défaut de la fenêtre (le style de flèche y vaut 3).
    static OptionsAffichage DefautsFenetre();

    ListeCouleurs *ColorBoxFondEtat = nullptr;   // [Etats] Fond
    ListeCouleurs *ColorBoxStyloEtat = nullptr;  // [Etats] Stylo
    ListeCouleurs *ColorBoxStyloArc = nullptr;   // [Arcs] Stylo
    ListeCouleurs *ColorBoxProb = nullptr;       // [Arcs] Prob
    ListeCouleurs *ColorBoxFond = nullptr;       // [Arcs] Fond
    QComboBox *ComboBoxFleche = nullptr;         // [Arcs] Fleche = position + 1
    QComboBox *ComboBoxChiffres = nullptr;       // [Graphe] Chiffres : "2".."6", "tous" (donnée 0)
    TEtat2 *ApercuEtat = nullptr;
    THmm *ApercuArcs = nullptr;
    QPushButton *BitBtnOk = nullptr;
    QPushButton *BitBtnAppliquer = nullptr;
    QPushButton *BitBtnAnnuler = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    // Les réglages affichés par les contrôles.
    OptionsAffichage Reglages() const;
    // Enregistre "Options.ini" puis l'applique ; false (et message) quand l'écriture échoue.
    bool Enregistrer();
    void BitBtnOkClick();
    void BitBtnAppliquerClick();

    // Image d'un style de flèche (1 à 3), dessinée par le graphe lui-même.
    static QPixmap ImageFleche(int style, QSize taille);

private:
    void lire();
    void etatsChanges();
    void arcsChanges();
    std::function<void()> appliquer;
};
