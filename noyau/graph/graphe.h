#pragma once
// GrapheHmm : les arcs du graphe (extrémités, étiquette, géométrie, indicateurs d'affichage),
// leur géométrie et leur dessin, sans contrôle : le modèle et ses images s'en servent sans
// fenêtre, et THmm, le contrôle, en hérite. Tables à 100 cases utilisées à partir de 1.
#include "hmmgraph_export.h"
#include "couleurs.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QFontMetrics;
class QPainter;

// Point en simple précision : la géométrie des arcs est calculée en float.
struct PointF {
    float x = 0;
    float y = 0;
};

// Résultat partagé de DoubleARC (13 valeurs simple précision), lu juste après l'appel.
struct ResultatDoubleArc {
    PointF PointA1, PointA2; // cercle Oa : point sur la boîte 1, point sur la boîte 2
    PointF PointB1, PointB2; // cercle Ob : point sur la boîte 1, point sur la boîte 2
    PointF CentreA, CentreB;
    float Rayon = 0;
    // Vrai quand l'arc boîte 1 -> boîte 2 prend le cercle Ob (centres c1.x < c2.x).
    bool ArcDirectSurB = false;
};

// Coin de sa boîte où une boucle est dessinée. Le fichier garde toujours la géométrie du coin
// haut-gauche ; le coin montré est recalculé à chaque usage.
enum class CoinBoucle { HautGauche, HautDroite, BasGauche, BasDroite };

// Où se dessine une boucle : cercle centré sur un coin intérieur de la boîte, petite flèche
// sur le côté vertical de la boîte, étiquette posée sur le haut (ou le bas) du cercle.
struct PlacementBoucle {
    CoinBoucle Coin = CoinBoucle::HautGauche;
    QPoint Centre;     // le coin intérieur de la boîte
    QPoint Debut, Fin; // la petite flèche
    QRect Cercle;      // rectangle du cercle tracé (trait compris)
    QRect Etiquette;   // texte de l'étiquette, tel quel (pas ramené sur la surface)
};

class HMMGRAPH_EXPORT GrapheHmm {
public:
    static constexpr int Taille = 100;
    static constexpr int CapaciteArcs = 98;

    GrapheHmm();
    virtual ~GrapheHmm() = default;
    GrapheHmm(const GrapheHmm &) = default;
    GrapheHmm &operator=(const GrapheHmm &) = default;

    TCouleur CouleurFond = Couleurs::Blanc;
    TCouleur CouleurArc = Couleurs::Bleu;
    TCouleur CouleurProb = Couleurs::Rouge;
    bool DefautFond = true, DefautArc = true, DefautProb = true;
    int RayonBoucle = 20;
    int TypeFleche = 3;
    int ModeTrace = 0;
    // Police des étiquettes : celle du contrôle, ou celle de l'application sans contrôle.
    QFont Police;

    QString Etiquette[Taille];
    QPoint PointsARC[Taille][3];
    QPoint PosEtiquette[Taille];
    QPoint CentreCourbe[Taille];
    int RayonCourbe[Taille] = {};
    bool ArcSelectionne[Taille] = {};
    bool EtiquetteVisible[Taille];
    bool ArcSurligne[Taille] = {};
    // Couleur d'un arc surligné ; invalide : celle des arcs (CouleurArc).
    QColor CouleurArcSurligne[Taille];
    int ARC[Taille][3] = {};
    int NbArcs = 0;

    // Index de l'arc source -> destination (le plus grand s'il y en a plusieurs), ou -1.
    int ExisteARC(int source, int destination) const;
    void SuppARC(int i);
    void SuppETAT(int e);
    // Supprime les arcs dont l'étiquette vaut 0 (hors "??") puis redessine.
    // Lève EConversion pour une étiquette non numérique.
    void Actualiser();
    // Calcule la géométrie de l'arc i ; i = -1 crée l'arc. Rend l'index de l'arc,
    // ou -1 quand la table est pleine (rien n'est alors modifié).
    int DessinerARC(int x1, int y1, int l1, int h1, int x2, int y2, int l2, int h2, int i, int source,
                    int destination);
    void DoubleARC(int x1, int y1, int l1, int h1, int x2, int y2, int l2, int h2);
    int Verifier(int x, int y);
    bool Accepter(float ax, float ay, float bx, float by, float r) const;
    long double CA(float v) const;
    bool PeutAjouterArc() const { return NbArcs < CapaciteArcs; }
    // Troncature vers zéro sans comportement indéfini : NaN -> 0, valeurs bornées à ±1e9.
    static int Tronquer(double v);

    // Dessin complet d'une surface de cette taille (fond, arcs, flèches, étiquettes, poignées) sur p.
    void Dessiner(QPainter &p, QSize surface);
    void Fleche(QPainter &p, int x1, int y1, int x2, int y2, TCouleur couleur, int i);
    void DessinerARCDouble(QPainter &p, int i, int r, QPoint c, QPoint p1, QPoint p2, const QString &etiquette);
    // Rectangle du texte de l'étiquette de l'arc i tel qu'il est dessiné (vide hors table).
    QRect RectangleEtiquette(int i, const QFontMetrics &fm) const;
    QRect RectangleEtiquette(int i) const;
    // L'arc dont l'étiquette visible est sous (x, y), celle dessinée au-dessus ; -1 sinon.
    int EtiquetteSous(int x, int y) const;

    ResultatDoubleArc ResultatDouble;

    // Rectangle intérieur de la boîte de l'état e (posé par le propriétaire). Sans lui, ou
    // vide, une boucle reste au coin haut-gauche de sa boîte.
    std::function<QRect(int etat)> InterieurEtat;
    // Placement de la boucle i : le coin haut-gauche quand boucle et étiquette restent sur la
    // surface (x, y >= 0) sans couvrir la pointe d'un arc qui arrive sur la boîte ; sinon le
    // premier coin qui remplit ces deux conditions, dans l'ordre haut-droite, bas-gauche,
    // bas-droite ; à défaut le premier qui reste sur la surface, enfin le coin haut-gauche.
    PlacementBoucle PlacerBoucle(int i, const QFontMetrics &fm) const;
    PlacementBoucle PlacerBoucle(int i) const;

    // Taille de la surface où le graphe se dessine (celle du contrôle quand il y en a un).
    virtual QSize TailleSurface() const { return tailleSurface; }
    virtual void DefinirTailleSurface(QSize t) { tailleSurface = t; }
    // Redessine : le contrôle se fait repeindre ; sans contrôle, rien.
    void Redessiner() { Rafraichir(); }

protected:
    // Appelé après chaque changement des arcs : le contrôle se fait repeindre.
    virtual void Rafraichir() {}

private:
    QSize tailleSurface{1000, 700};
};
