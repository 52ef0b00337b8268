#pragma once
// TForm2 : l'éditeur d'un état (nom, symboles émis et probabilités de génération, avec leur
// camembert). Il valide puis fait appliquer par le document (DocumentModele::ModifierEtat).
#include <QDialog>
#include <QPointer>

class DocumentModele;
class BoiteEtat;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;
class QChartView;
class QPieSeries;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(DocumentModele &doc, const BoiteEtat *etat, QWidget *parent = nullptr);

    QLineEdit *Edit1 = nullptr; // "Nom de l'état :"
    QLineEdit *Edit2 = nullptr; // "Symbole :"
    QLineEdit *Edit3 = nullptr; // "Probabilité :"
    QPushButton *BoutonAjouter = nullptr, *BoutonRetirer = nullptr;
    QPushButton *BoutonCompleter = nullptr, *BoutonNormaliser = nullptr;
    QPushButton *BoutonOk = nullptr, *BoutonAnnuler = nullptr, *BoutonAide = nullptr;
    QTableWidget *StringGrid1 = nullptr;
    QChartView *Chart1 = nullptr;
    QPieSeries *Series1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    int NbLignes = 0;

    void AjouterClick();
    void RetirerClick();
    // « Compléter » : la ligne choisie (sinon la première sans probabilité ou à 0) reçoit ce qui
    // manque pour que la somme fasse 1. « Normaliser » : les probabilités ramenées à une somme de 1.
    void CompleterClick();
    void NormaliserClick();
    // "Ok" : false quand une validation a échoué (la fenêtre reste ouverte).
    bool OkClick();
    // Remplace par "0" chaque probabilité du tableau qui n'est pas un nombre.
    void NettoyerProbabilites();
    void ConstruireCamembert();

    // Couleur de la part de la ligne (1, 2, ...) : les cinq de la description, puis d'autres.
    static QColor CouleurLigne(int ligne);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    QString symbole(int ligne) const;     // ligne 0..
    QString probabilite(int ligne) const; // ligne 0..
    void ecrire(int ligne, const QString &symbole, const QString &probabilite);
    void compterLignes();
    void echec(const QString &message, bool remettreNom);
    void appliquer();
    void terminerEditionCellule();
    // La cellule en cours d'édition validée, les probabilités des lignes du tableau.
    QStringList probabilitesSaisies();

    DocumentModele &document;
    // La boîte éditée, nulle quand elle a quitté le document depuis l'ouverture.
    const BoiteEtat *boite() const;
    const BoiteEtat *etat;
    int k = -1;
};
