#pragma once
// TForm10 : la galerie des algorithmes, cinq pages illustrées (une par algorithme).
// Les images sont relues à chaque activation de la fenêtre, qui revient alors à la page Forward.
#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

// Un contrôle image : l'image à sa taille (coin haut-gauche) ou étirée à son cadre.
class ImageGalerie : public QWidget {
    Q_OBJECT
public:
    ImageGalerie(bool etiree, QWidget *parent);
    QImage Picture;
    QString Absente; // nom du fichier manquant, montré à la place de l'image

protected:
    void paintEvent(QPaintEvent *) override;

private:
    bool etiree;
};

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget *parent = nullptr);

    // Les cinq images, dans l'ordre de chargement.
    static const char *const Fichiers[5];

    QTabWidget *PageControl1 = nullptr;
    ImageGalerie *ImageForward = nullptr;
    ImageGalerie *ImageBackward = nullptr;
    ImageGalerie *ImageViterbi = nullptr;
    ImageGalerie *ImageAppViterbi = nullptr;
    ImageGalerie *ImageAppBaum = nullptr;
    QPushButton *BitBtn1 = nullptr; // "&Fermer"
    QPushButton *BitBtn2 = nullptr; // "&Aide"
    QStatusBar *StatusBar1 = nullptr;

    // Activation : relit les cinq images et montre la page Forward.
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    ImageGalerie *Image(int i) const;

protected:
    void changeEvent(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    // Un clic sur un onglet a activé la fenêtre : c'est lui qui choisit la page.
    bool ongletClique = false;
};
