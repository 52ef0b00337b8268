#pragma once
// La fenêtre « Treillis » : le dessin du cœur (trace/treillis.h) dans une zone qui défile,
// la relecture colonne par colonne et la formule de la case survolée ou cliquée.
#include "trace/treillis.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;

class VueTreillis : public QWidget {
    Q_OBJECT
public:
    explicit VueTreillis(QWidget *parent = nullptr);
    void Definir(Treillis::Donnees donnees);
    const Treillis::Donnees &Donnees() const { return d; }
    void DefinirEtape(int etape);
    void Surligner(int t, int j);

signals:
    void caseSurvolee(int t, int j);
    void caseCliquee(int t, int j);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    Treillis::Donnees d;
    int etape = 0, tS = 0, jS = 0;
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
    QLabel *Formule = nullptr;
    QScrollArea *Defilement = nullptr;
    // Relecture : une colonne par pas.
    QTimer *Minuterie = nullptr;

private:
    void montrerFormule(int t, int j);
    void exporter();
    bool recalculer(QString *erreur);
    ParametresModele *parametres = nullptr;
    QString sequence;
    bool caractere = true;
    bool epingle = false;
};
