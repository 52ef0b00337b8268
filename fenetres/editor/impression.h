#pragma once
// Impression du graphe : l'image du canevas enregistrée sous "Hmm.bmp" à côté du
// programme puis imprimée, ajustée à la page ; mise en page ; aperçu (TForm21).
#include <QDialog>
#include <QImage>
#include <QObject>
#include <functional>

class DocumentModele;
class QPrinter;
class QPushButton;
class QStatusBar;
class TForm1;
struct PartiesPrincipale;

// Le contrôle image de l'aperçu : son image étirée à son cadre.
class ImageApercu : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    QImage Picture;

protected:
    void paintEvent(QPaintEvent *) override;
};

// L'aperçu avant impression : taille fixe, l'image, "Imprimer" (Entrée),
// "Enregistrer sous ..." (Échap), "&Fermer".
class TForm21 : public QDialog {
    Q_OBJECT
public:
    explicit TForm21(QWidget *parent = nullptr);

    ImageApercu *Image1 = nullptr;
    QPushButton *BitBtn1 = nullptr; // "Imprimer"
    QPushButton *BitBtn2 = nullptr; // "Enregistrer sous ..."
    QPushButton *BitBtn3 = nullptr; // "&Fermer"
    QStatusBar *StatusBar1 = nullptr;

    // Fenêtre propriétaire de l'impression (la fenêtre principale).
    QWidget *Proprietaire = nullptr;
    // Le modèle : imprimé à la résolution de l'imprimante (sinon l'image de l'aperçu).
    DocumentModele *Document = nullptr;
    // Boîte d'enregistrement d'image ; vide = annulé. Remplaçable par les tests.
    std::function<QString()> DemanderFichier;

    void BitBtn1Click(); // imprimer l'image
    bool BitBtn2Click(); // enregistrer l'image ; false quand annulé ou en échec

protected:
    void keyPressEvent(QKeyEvent *e) override;
};

namespace Impression {
// Les réglages d'impression du processus (choisis par la mise en page).
QPrinter &Imprimante();
// Boîte d'impression ; false = annulée. Remplaçable par les tests (sortie PDF).
using Demande = std::function<bool(QPrinter &, QWidget *proprietaire)>;
void DefinirDemande(Demande d);

// Enregistre `image` sous "Hmm.bmp" dans le répertoire du programme ; message en cas d'échec.
bool EnregistrerHmmBmp(const QImage &image, QWidget *parent);
// Imprime l'image ajustée à la page (proportions gardées) ; false quand rien n'est imprimé.
bool ImprimerImage(const QImage &image, QWidget *proprietaire);
// Dessine l'image ajustée à la zone imprimable de l'imprimante (sans boîte).
bool Peindre(QPrinter &imprimante, const QImage &image);
// Le modèle (sans poignées) tracé pour un cadre de `cadre` points de l'imprimante : à sa
// résolution, bornée pour la mémoire (au moins celle de l'écran).
QImage ImageImpression(DocumentModele &doc, QSize cadre);
// Imprime le modèle tracé à la résolution de l'imprimante, ajusté à la page.
bool PeindreModele(QPrinter &imprimante, DocumentModele &doc);
bool ImprimerModele(DocumentModele &doc, QWidget *proprietaire);
// Où va l'image sur la page : la plus grande taille qui tient, proportions gardées,
// centrée en largeur, en haut de la page.
QRect Cadre(QSize image, QRect page);
}

// Les commandes d'impression de la fenêtre principale.
class ImpressionModele : public QObject {
    Q_OBJECT
public:
    explicit ImpressionModele(TForm1 &fenetre);

    TForm21 *Form21 = nullptr; // créé une fois : l'image garde sa taille d'une fois sur l'autre

    void Configuration1Click();
    void Apercu1Click();
    void Imprimer1Click();

private:
    TForm1 &f;
    PartiesPrincipale &parties; // les parties privées de f
};
