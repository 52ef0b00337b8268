#pragma once
// La fenêtre « Treillis » : le dessin du cœur (trace/treillis.h) dans une zone qui défile,
// noms des états et en-tête des instants fixes au défilement, la légende à part (passée à
// la ligne), le même treillis en tableau (lisible au clavier et par les aides techniques),
// la relecture colonne par colonne et la formule de la case survolée, cliquée ou choisie.
#include "trace/treillis.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPair>
#include <QScrollArea>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTabWidget;
class QTableView;
class QTimer;

// Les nœuds du treillis seuls : le coin haut gauche du widget est le point (Gauche, Haut)
// du dessin ; noms et en-têtes sont peints par les bandes du défilement.
class VueTreillis : public QWidget {
    Q_OBJECT
public:
    explicit VueTreillis(QWidget *parent = nullptr);
    void Definir(Treillis::Donnees donnees);
    const Treillis::Donnees &Donnees() const { return d; }
    void DefinirEtape(int etape);
    int Etape() const { return etape; }
    void Surligner(int t, int j);
    int TSurligne() const { return tS; }
    int JSurligne() const { return jS; }
    // Position dans le dessin du coin haut gauche du widget.
    QPoint Origine() const { return origine; }

signals:
    void caseSurvolee(int t, int j);
    void caseCliquee(int t, int j);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    Treillis::Donnees d;
    QPoint origine;
    int etape = 0, tS = 0, jS = 0;
};

// Zone qui défile sous une colonne de noms et un en-tête d'instants fixes.
class DefilementTreillis : public QScrollArea {
    Q_OBJECT
public:
    explicit DefilementTreillis(VueTreillis *vue, QWidget *parent = nullptr);
    // Marges des bandes d'après le treillis montré.
    void Actualiser();
    QWidget *BandeEtats = nullptr, *BandeInstants = nullptr, *Coin = nullptr;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void placerBandes();
    VueTreillis *vue;
};

// Le treillis en tableau : une ligne par état, une colonne par instant, la valeur entière.
class ModeleTreillis : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeleTreillis(const VueTreillis *vue, QObject *parent = nullptr) : QAbstractTableModel(parent), vue(vue) {}
    void Actualiser();
    // La relecture a montré ou caché des colonnes.
    void EtapeChangee();
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const VueTreillis *vue;
};

class FenetreTreillis : public QWidget {
    Q_OBJECT
public:
    explicit FenetreTreillis(QWidget *parent = nullptr);
    // Recalcule le treillis du modèle pour la séquence et le découpage donnés. Rend false
    // (message dans *erreur) quand le calcul est refusé.
    bool Montrer(const ParametresModele &parametres, const QString &sequence, bool decoupageCaractere,
                 Treillis::Valeurs valeurs, QString *erreur);

    VueTreillis *Vue = nullptr;
    QComboBox *ChoixValeurs = nullptr;
    QSlider *Curseur = nullptr;
    QPushButton *Lecture = nullptr, *Exporter = nullptr, *BoutonAide = nullptr;
    QLabel *Formule = nullptr, *Legende = nullptr;
    DefilementTreillis *Defilement = nullptr;
    QTabWidget *Onglets = nullptr;      // « Dessin », « Tableau des valeurs »
    QTableView *Tableau = nullptr;
    ModeleTreillis *Valeurs = nullptr;
    // Relecture : une colonne par pas.
    QTimer *Minuterie = nullptr;

signals:
    // La case cliquée ou choisie au clavier lit ces arcs (noms source, destination ; START
    // pour π), chacun dans la couleur de son terme, et se trouve sur `etat` ; `etat` vide :
    // plus de case choisie.
    void entreesChoisies(const QList<QPair<QString, QString>> &arcs, const QList<QColor> &couleurs, const QString &etat);

protected:
    void hideEvent(QHideEvent *e) override;

private:
    void montrerFormule(int t, int j);
    // Case épinglée (0, 0 : aucune) : ses arcs vont au graphe.
    void choisir(int t, int j);
    void exporter();
    bool recalculer(QString *erreur);
    ParametresModele *parametres = nullptr;
    QString sequence;
    bool caractere = true;
    bool epingle = false;
};
