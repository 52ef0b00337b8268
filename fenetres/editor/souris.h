#pragma once
// Édition du graphe sur le canevas Hmm1 : sélection (clic, Ctrl, bande élastique), création
// de START et des états, déplacement, redimensionnement par les huit poignées, arcs par
// glisser-déposer, boucles, étiquette d'arc éditée en place (Edit3) et clavier du canevas
// (Edit1). Les tracés provisoires (bande, fantôme, cadre, ligne élastique) sont peints sur
// un calque transparent posé au-dessus des boîtes.
#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class TForm1;
class TEtat2;
class THmm;
class DocumentModele;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QKeyEvent;
class QWidget;
class QAction;

// Calculs sans fenêtre, appelés directement par les tests.
namespace Souris {
// Règle de taille minimale de toute boîte (START 95 x 26, "END" 75 x 26, sinon selon le
// nom et les paires).
QSize TailleMinimale(const QString &nom, int nbSymboles, const QString generation[][3]);
QSize TailleMinimale(const TEtat2 &e);
// Donne à la boîte ces bornes, taille relevée au minimum : aucune boîte n'est plus petite.
void Placer(TEtat2 *e, const QRect &bornes);
// Réapplique la taille courante (après un changement de nom ou de paires).
void Reappliquer(TEtat2 *e);

// Nom automatique d'un nouvel état : "Etat_" suivi de n + 1, ou du premier numéro suivant
// libre parmi `noms` (les états 1..N) ; *dernier reçoit le numéro retenu.
QString NomAutomatique(const QStringList &noms, int *dernier);

// Chevauchement strict d'une boîte et de la bande : se toucher par un bord ne suffit pas.
bool Chevauche(const QRect &boite, const QRect &bande);
// Rectangle normalisé tendu entre deux points.
QRect Bande(QPoint a, QPoint b);

// Poignée sous la souris (coordonnées dans une boîte w x h) ; Qt::ArrowCursor quand aucune.
Qt::CursorShape Poignee(int x, int y, int w, int h);
// Rectangle de redimensionnement : la poignée saisie (désignée par son curseur et le point
// d'appui dans la boîte) suit la souris, le bord opposé reste fixe.
QRect Redimensionner(const QRect &depart, Qt::CursorShape poignee, QPoint appui, QPoint souris);

// Texte de l'éditeur d'étiquette après une frappe : le "??" d'un arc neuf s'efface dès le
// premier chiffre, un texte vide devient "0".
QString NettoyerEtiquette(QString t);
// Caractère accepté par les éditeurs de probabilité (chiffres, un seul séparateur décimal).
bool CaractereProbabilite(const QString &texteActuel, QChar c);
}

class EditeurSouris : public QObject {
    Q_OBJECT
public:
    explicit EditeurSouris(TForm1 &fenetre);
    ~EditeurSouris() override;

    QWidget *Edit1 = nullptr;   // puits du clavier du canevas
    QLineEdit *Edit3 = nullptr; // éditeur d'étiquette en place
    int ArcEdite = -1;

    // État d'interaction remis à zéro (première activation, rechargement du modèle).
    void Reinitialiser();
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
    bool MultiSelection() const { return multiSelection; }

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

    // Clavier et éditeur d'étiquette.
    bool clavierCanevas(QKeyEvent *e);
    bool toucheEtiquette(QKeyEvent *e);
    void texteEtiquetteChange(const QString &t);
    void placerEditeur(const QString &t);
    void menuSurgissant(bool surEtat, QPoint global);

    TForm1 &f;
    QWidget *calque = nullptr;
    QMenu *menuCanevas = nullptr;
    QMenu *menuEtat = nullptr;

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
