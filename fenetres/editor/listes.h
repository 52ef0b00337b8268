#pragma once
// Les trois listes de résultats du panneau gauche de la fenêtre principale : "Les chemins"
// (ListView1), "Le chemin de Viterbi" (ListView3), "Les probabilités" (ListView2). Chaque
// en-tête replie ou déplie sa liste par une animation de 20 ms ; un clic sur un chemin
// surligne ses arcs dans le graphe.
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPushButton;
class QModelIndex;
class QTimer;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class ModeleChemins;
class TableDesChemins;
class TEtat2;
class TForm1;
struct PartiesPrincipale;

// Le panneau gauche : place les en-têtes et les listes selon leurs hauteurs.
class PanneauListes : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::function<void()> Redimensionne;

protected:
    void resizeEvent(QResizeEvent *e) override;
};

class ListesResultats : public QObject {
    Q_OBJECT
public:
    static constexpr int HauteurEntete = 25;  // trois en-têtes : les 75 pixels des règles
    static constexpr int HauteurViterbi = 40;
    static constexpr int Periode = 20;        // ms entre deux pas d'animation
    // Images de la liste d'images de la fenêtre principale employées par les lignes.
    static constexpr int IconeLigne = 19;
    static constexpr int IconeMeilleur = 22;
    // Largeurs de départ des premières colonnes, rendues quand une liste est vidée.
    static constexpr int LargeurChemin = 170, LargeurSequence = 90, LargeurProbabilite = 110;
    static QIcon Icone(int indice);

    explicit ListesResultats(TForm1 &fenetre, QWidget *parent);

    PanneauListes *PanneauGauche = nullptr;
    QPushButton *EnteteChemins = nullptr, *EnteteViterbi = nullptr, *EnteteProbabilites = nullptr;
    QTreeView *ListView1 = nullptr; // chemins : modèle/vue, jusqu'au million de lignes
    ModeleChemins *Chemins = nullptr;
    QTreeWidget *ListView3 = nullptr; // chemin de Viterbi
    QTreeWidget *ListView2 = nullptr; // probabilités

    // Lignes ajoutées par les algorithmes. La liste des chemins reçoit la table entière, dans
    // l'ordre de l'énumération ; `meilleure` (ligne 1.., 0 = aucune) est marquée.
    void AfficherChemins(const TableDesChemins &table, long long meilleure);
    QTreeWidgetItem *AjouterViterbi(const QStringList &etats, const QString &probabilite);
    QTreeWidgetItem *AjouterProbabilite(const QString &sequence, const QString &probabilite, const QString &methode);
    static QString TexteChemin(const QStringList &etats); // "Start - E1 - E2"
    static int IconeDe(const QTreeWidgetItem *item);
    static int IconeDe(const QModelIndex &index);
    static void MarquerMeilleur(QTreeWidgetItem *item);
    static QStringList EtatsDe(const QTreeWidgetItem *item);

    // "Vider".
    void ViderChemins();
    void ViderViterbi();
    void ViderProbabilites();
    void ViderTout();

    // Surlignage : marque les arcs START -> s(1), s(1) -> s(2), ... du chemin et redessine.
    void Surligner(const QStringList &etats);
    void EffacerSurlignage();
    // Ce que lit la formule d'une case du treillis : ces arcs (noms source, destination) et la
    // boîte de `etat`, seuls surlignés. `etat` vide : efface ce surlignage-là seulement.
    void SurlignerEntrees(const QList<QPair<QString, QString>> &arcs, const QList<QColor> &couleurs, const QString &etat);

    // En-têtes : replier ou déplier.
    void EntetesCheminsClick();
    void EnteteViterbiClick();
    void EnteteProbabilitesClick();
    // Un pas d'animation (le minuteur l'appelle toutes les 20 ms ; les tests aussi).
    void Pas();
    bool Anime() const;
    // Hauteurs courantes (1 = repliée).
    int Hauteur(const QTreeView *liste) const;
    static bool Ouverte(int hauteur) { return hauteur > 1; }
    int H() const; // hauteur du panneau gauche

private:
    QTreeWidget *creerListe(const QStringList &colonnes, const QString &nom);
    void configurer(QTreeView *liste, const QString &nom);
    QPushButton *creerEntete(const QString &texte, const QString &nom);
    void fixer(QTreeView *liste, int hauteur);
    void animer(QTreeView *liste, int cible);
    // En-tête des chemins ou des probabilités : replie ou déplie `liste` à côté de `autre`.
    void basculer(QTreeView *liste, QTreeView *autre);
    void disposer();
    void panneauRedimensionne();

    TForm1 &f;
    PartiesPrincipale &parties; // les parties privées de f
    int h1 = 1, h3 = HauteurViterbi, h2 = 1;
    bool dispose = false; // hauteurs initiales données au premier redimensionnement
    QTimer *minuteur = nullptr;
    QTreeView *enCours = nullptr;
    int cible = 0;
    bool repli = false;
    bool entrees = false;          // le surlignage vient d'une case du treillis
    QPointer<TEtat2> etatEntrees;  // sa boîte surlignée
};
