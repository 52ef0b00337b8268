#pragma once
// TForm18 : une table (π, A ou B) dans sa propre fenêtre : une grille `Tableau` avec une
// ligne et une colonne d'en-tête fixes, et une barre d'état ; montrée de façon modale.
#include <QDialog>

class QStatusBar;
class QTableWidget;

class TForm18 : public QDialog {
    int barre = 0;
    Q_OBJECT
public:
    // Dimensions d'une grille à l'ancienne : largeur de colonne, hauteur de ligne, trait.
    static constexpr int LargeurColonne = 64;
    static constexpr int HauteurLigne = 24;
    static constexpr int Trait = 1;

    TForm18(const QString &titre, int colonnes, int lignes, int hauteurBarreEtat, QWidget *parent = nullptr);

    QTableWidget *Tableau = nullptr;
    QStatusBar *StatusBar1 = nullptr;

    // Cellule (colonne, ligne) comme dans la grille d'origine ; ligne 0 et colonne 0 : en-têtes.
    void Ecrire(int colonne, int ligne, const QString &texte);
    QString Lire(int colonne, int ligne) const;

    // Taille de la fenêtre pour C colonnes et R lignes (avant la limite de l'écran).
    static QSize TailleFenetre(int colonnes, int lignes, int hauteurBarreEtat);
    // Une fois la grille remplie : une colonne trop étroite pour son texte (1,5E-7, noms
    // longs) s'élargit, et la fenêtre avec elle ; sinon la taille reste celle de la règle.
    void Ajuster();
};
