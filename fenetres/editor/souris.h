#pragma once
// Édition du graphe sur le canevas Hmm1 : sélection (clic, Ctrl, bande élastique), création
// de START et des états, déplacement, redimensionnement par les huit poignées, arcs par
// glisser-déposer, boucles, étiquette d'arc éditée en place (Edit3) et clavier du canevas
// (Edit1). Les tracés provisoires (bande, fantôme, cadre, ligne élastique) sont peints sur
// un calque transparent posé au-dessus des boîtes. Chaque changement du modèle est une
// opération du document ; les règles pures sont dans model/regles_edition.h.
// Fichiers : souris.cpp (automate des événements), souris_etiquette.cpp (éditeur
// d'étiquette), souris_calque.cpp (calque et curseurs).
#include "model/regles_edition.h"

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class TForm1;
struct PartiesPrincipale;
class TEtat2;
class THmm;
class DocumentModele;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QKeyEvent;
class QWidget;
class QAction;

class EditeurSouris : public QObject {
    Q_OBJECT
public:
    explicit EditeurSouris(TForm1 &fenetre);
    ~EditeurSouris() override;

    QWidget *Edit1 = nullptr;   // puits du clavier du canevas
    QLineEdit *Edit3 = nullptr; // éditeur d'étiquette en place
    int ArcEdite = -1;

    // État d'interaction remis à zéro (première activation, rechargement du modèle).
    void ReinitialiserEdition();
    // Fin de l'édition de l'étiquette (perte du focus d'Edit3) : enregistre l'étape.
    void TerminerEdition();
    // Plus aucune bande à l'écran (après un collage).
    void OublierBande();
    // Curseur par défaut partout (après une création, au retour à `Sourie`).
    void CurseursParDefaut();
    // Curseurs du mode d'édition enfoncé.
    void AppliquerCurseursPalette();
    // Donne le clavier au canevas.
    void FocusCanevas();

    // Lecture de l'état (tests, calque).
    bool BandeVisible() const { return bandeDessinee; }
    QRect RectangleBande() const { return bande; }
    bool FantomeVisible() const { return deplacement; }
    QRect RectangleFantome() const { return fantome; }
    bool CadreVisible() const { return cadreDessine; }
    QRect RectangleCadre() const { return cadre; }
    bool LigneVisible() const { return glisse && ligneVisible; }
    QPoint AncreLigne() const { return ancreArc; }
    QPoint FinLigne() const { return dernierPointArc; }

    // Curseurs du programme dessinés dans le code.
    static QCursor CurseurStart();
    static QCursor CurseurEtat();
    static QCursor CurseurArc();
    static QCursor CurseurBoucle();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    DocumentModele &doc() const;
    THmm *hmm() const;
    QList<TEtat2 *> boites() const;
    TEtat2 *boiteEn(QPoint surPanneau) const;
    // Calque et curseurs (souris_calque.cpp).
    QWidget *creerCalque(QWidget *panneau);
    void redessinerCalque();
    void brancherBoite(TEtat2 *e);

    // Canevas.
    void canevasAppui(QMouseEvent *e);
    void canevasMouvement(QMouseEvent *e);
    void canevasRelache(QMouseEvent *e);
    void creerEtat(QPoint point);
    void ouvrirEditeurEtiquette(int arc);

    // Boîtes.
    void boiteAppui(TEtat2 *b, QMouseEvent *e);
    void boiteMouvement(TEtat2 *b, QMouseEvent *e);
    void boiteRelache(TEtat2 *b, QMouseEvent *e);
    void boiteClic(TEtat2 *b, bool ctrl);
    void boiteDoubleClic(TEtat2 *b);
    void glisserAuDessus(QPoint surPanneau);
    void deposer(QPoint surPanneau);
    void finGlisser();
    bool toutArcDeselectionne();
    // Plus aucun arc sélectionné.
    void deselectionnerArcs();
    // Plus aucune boîte marquée comme cible d'un arc.
    void effacerCibles();
    // Faux, avec le message, quand la table des arcs est pleine.
    bool peutAjouterArc();

    // Clavier (souris.cpp) et éditeur d'étiquette (souris_etiquette.cpp).
    bool clavierCanevas(QKeyEvent *e);
    bool toucheEtiquette(QKeyEvent *e);
    void texteEtiquetteChange(const QString &t);
    void placerEditeur(const QString &t);
    void menuSurgissant(bool surEtat, QPoint global);
    // Menu d'un arc : « Compléter » (ce qui manque à sa source pour faire 1), « Normaliser ».
    void completerArc();
    void normaliserArcs();

    TForm1 &f;
    PartiesPrincipale &parties; // les parties privées de f
    QWidget *calque = nullptr;
    QMenu *menuCanevas = nullptr;
    QMenu *menuEtat = nullptr;
    QMenu *menuArc = nullptr;
    int arcMenu = -1;

    // Canevas.
    bool boutonCanevas = false;
    int arcTouche = -1;
    QString ancienneEtiquette;
    bool enEdition = false;
    bool changementInterne = false;
    QPoint debutBande;
    QRect bande;
    bool bandeDessinee = false;
    bool bandeSelection = false;
    bool bandeUtilisee = false;
    bool multiSelection = false;

    // Boîtes.
    bool deplacement = false;
    QPoint prise;
    QRect fantome;
    bool redimensionnement = false;
    Qt::CursorShape poignee = Qt::ArrowCursor;
    QPoint appuiPoignee;
    QRect cadre;
    bool cadreDessine = false;

    // Glisser-déposer d'un arc.
    QPointer<TEtat2> source;
    bool glisse = false;
    bool ligneVisible = false;
    bool curseurForce = false;
    QPoint ancreArc, dernierPointArc;
    bool aucuneLigne = true;
};
