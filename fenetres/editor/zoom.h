#pragma once
// Zoom et vue d'ensemble : une image du canevas, prise au début du zoom, montrée à la
// place du canevas jusqu'au double-clic (reprise à chaque changement du modèle) ; agrandie par 4/3 ou réduite par 3/4 à chaque
// pas (niveau -4 à 4) et déplaçable à la souris quand elle dépasse la vue. Au niveau -1,
// tout le modèle ajusté à la partie visible (réduit de 3/4 au moins) ; chaque pas arrière
// suivant le réduit de 3/4.
// Aussi "Ajuster au texte" : les boîtes choisies ramenées à leur taille minimale.
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QWidget>

class TForm1;
struct PartiesPrincipale;
class VueZoom;

// Le panneau image : l'image du canevas étirée à sa propre taille.
class ImageZoom : public QWidget {
    Q_OBJECT
public:
    ImageZoom(VueZoom &zoom, QWidget *parent);
    QImage Image;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

private:
    VueZoom &zoom;
    bool glisse = false;
    QPoint appui;
};

class VueZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int NiveauMax = 4;

    explicit VueZoom(TForm1 &fenetre);

    int Niveau = 0;
    QWidget *Vue = nullptr;       // couvre la zone de dessin quand elle est visible
    ImageZoom *Image = nullptr;   // le panneau image, enfant de Vue
    QWidget *Consigne = nullptr;  // la ligne qui dit comment revenir à l'édition

    bool Visible() const;
    void Zoomavant1Click();
    void Zoomarriere1Click();
    // Double-clic dans la vue : retour au canevas, niveau 0, les deux commandes actives.
    void Quitter();
    void Ajuster1Click();

    // L'image dépasse la vue dans un sens au moins : elle peut être déplacée.
    bool Deplacable() const;
    // Déplace l'image de `d` : jamais au-delà du coin haut-gauche de la vue, jamais
    // de vide à droite ni en bas. Une image plus étroite (ou moins haute) que la vue
    // reste collée au bord gauche (ou haut).
    static QPoint Deplacer(QPoint position, QSize image, QSize vue, QPoint d);
    void DeplacerImage(QPoint d);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void pas(int sens);
    // Le modèle a changé sous la vue : nouvelle image, même niveau, même position.
    void reprendre();
    void prendreImages();
    QRect geometrieEnsemble() const;
    void etendreImage();
    void placerConsigne();
    QRect partieVisible() const;
    TForm1 &f;
    PartiesPrincipale &parties; // les parties privées de f
    // Prises au début du zoom : le canevas entier (niveaux 0 et plus) et l'étendue du
    // modèle (niveaux négatifs : la vue d'ensemble montre tout le modèle, ajusté à la vue).
    QImage canevas, ensemble;
};
