#pragma once
// Le canevas défile : il grandit pour contenir tout le modèle (boîtes, boucles, étiquettes)
// avec une marge, et la zone de défilement qui le porte montre des barres au besoin.
#include <QObject>
#include <QPointer>

class DocumentModele;
class QWidget;

class CanevasDefilant : public QObject {
public:
    static constexpr int Marge = 40;
    // `panneau` porte la surface du graphe et les boîtes ; il est déjà dans une QScrollArea
    // à contenu redimensionnable.
    CanevasDefilant(DocumentModele &doc, QWidget *panneau);
    // Taille minimale du panneau recalculée d'après l'étendue du modèle.
    void Ajuster();

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    // Suivis par QPointer : à la fermeture, la surface peut encore peindre quand le document
    // n'est plus là ; le filtre ne touche alors à rien.
    QPointer<DocumentModele> doc;
    QPointer<QObject> surface;
    QWidget *panneau;
    bool prevu = false;
};
