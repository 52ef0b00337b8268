#pragma once
// BoiteEtat : le contenu d'une boîte d'état (nom, symboles émis et leurs probabilités, couleurs)
// et son dessin, sans contrôle : le modèle et ses images s'en servent sans fenêtre, et TEtat2,
// le contrôle, en hérite. La boîte se dessine dans son image hors écran puis la recopie d'un coup.
#include "hmmgraph_export.h"
#include "couleurs.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

class HMMGRAPH_EXPORT BoiteEtat {
public:
    static constexpr int Taille = 100;
    static constexpr int CapacitePaires = 98;
    // Largeur au-delà de laquelle un nom n'élargit plus la boîte : il est montré coupé.
    static constexpr int LargeurMax = 400;

    BoiteEtat();
    virtual ~BoiteEtat();
    BoiteEtat(const BoiteEtat &) = default;
    BoiteEtat &operator=(const BoiteEtat &) = default;

    QImage Image;
    TCouleur CouleurRemplissage = Couleurs::VertClair;
    TCouleur CouleurStylo = Couleurs::Bleu;
    TCouleur CouleurFond = Couleurs::Blanc;
    TCouleur CouleurSurligne = Couleurs::Bleu;
    int EpaisseurSurligne = 3;
    bool DefautRemplissage = true, DefautStylo = true;
    bool Selectionne = false;
    bool Surligne = false;
    QString Nom;
    int NbSymboles = 0;
    QString Generation[Taille][3];

    // Le nom (le contrôle le donne aussi à l'aide technique).
    void DefinirNom(const QString &nom);

    // Supprime les paires de probabilité 0 puis redessine. Lève EConversion.
    void Actualiser();

    // Dessine la boîte de taille `taille` (image + poignées) sur p, coin haut-gauche en (0, 0).
    // Une boîte trop étroite pour sa plus longue ligne s'élargit : `taille` reçoit sa largeur.
    // `*bulle` (si donné) : le nom entier et les valeurs entières quand l'image en montre
    // moins, vide sinon.
    void Dessiner(QPainter &p, QSize &taille, const QFont &police, QString *bulle = nullptr);

    // Place de la boîte sur la surface (celle du contrôle quand il y en a un), jamais sous sa
    // taille minimale : une demande plus petite y est ramenée, un minimum relevé l'agrandit.
    virtual QRect Bornes() const { return bornes; }
    virtual void DefinirBornes(const QRect &r) { bornes = QRect(r.topLeft(), r.size().expandedTo(minimum)); }
    virtual QSize TailleMinimale() const { return minimum; }
    virtual void DefinirTailleMinimale(QSize m)
    {
        minimum = m;
        bornes.setSize(bornes.size().expandedTo(m));
    }
    // Boîte posée mais cachée (le contrôle seulement) : ni dessinée ni comptée dans l'étendue.
    virtual bool Cachee() const { return false; }
    int Left() const { return Bornes().x(); }
    int Top() const { return Bornes().y(); }
    int Width() const { return Bornes().width(); }
    int Height() const { return Bornes().height(); }
    QRect Interieur() const
    {
        const QRect r = Bornes();
        return QRect(r.x() + 2, r.y() + 2, r.width() - 4, r.height() - 4);
    }
    // Redessine : le contrôle se fait repeindre ; sans contrôle, rien.
    void Redessiner() { Rafraichir(); }
    // Dessine la boîte à sa taille, coin haut-gauche en (0, 0), dans `police` (le contrôle :
    // dans la sienne) ; une boîte trop étroite s'élargit, comme à l'écran.
    virtual void Peindre(QPainter &p, const QFont &police)
    {
        QSize taille = Bornes().size();
        Dessiner(p, taille, police);
        if (taille != Bornes().size())
            DefinirBornes(QRect(Bornes().topLeft(), taille));
    }

protected:
    // Appelés après un changement du nom ou des paires : le contrôle suit.
    virtual void NomChange() {}
    virtual void Rafraichir() {}

private:
    QRect bornes{0, 0, 100, 30};
    QSize minimum{0, 0};
};
