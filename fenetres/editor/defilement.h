#pragma once
// Le canevas défile : il grandit pour contenir tout le modèle (boîtes, boucles, étiquettes)
// avec une marge, et la zone de défilement qui le porte montre des barres au besoin.
#include <QObject>

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
    DocumentModele &doc;
    QWidget *panneau;
    bool prevu = false;
};
