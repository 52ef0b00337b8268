#pragma once
// L'aide : pages HTML françaises livrées dans Aide/ à côté du programme, une par sujet
// ("IDH_1" ... "IDH_13") et une page de sommaire, montrées dans une fenêtre d'aide unique.
#include <QString>
#include <QWidget>

class QTextBrowser;

class FenetreAide : public QWidget {
    Q_OBJECT
public:
    explicit FenetreAide(QWidget *parent = nullptr);
    void Ouvrir(const QString &sujet);
    QTextBrowser *Navigateur = nullptr;

protected:
    bool event(QEvent *e) override;
};

namespace Aide {
// Chemin de la page d'un sujet ; sujet vide = sommaire ("index.htm").
QString Page(const QString &sujet);
// Ouvre la fenêtre d'aide (une seule pour le programme) sur le sujet.
FenetreAide *Afficher(const QString &sujet = QString());
}
