#pragma once
// Placement des fenêtres secondaires (boîtes, treillis, convergence, messages) : toujours dans
// l'écran, sous la barre de menus de la fenêtre principale (jamais dessus), réduites à la
// place disponible ; position et taille de chaque fenêtre retenues pour l'utilisateur
// (Fenetres.ini dans son dossier de configuration).
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace Placement {
// Cadre estimé (barre de titre, bords) d'une fenêtre pas encore décorée.
inline const QMargins CadreEstime(4, 30, 4, 4);

// La zone permise : `ecran` (partie disponible) privé de ce qui est au-dessus du bas de
// `menus` (barre de menus de la fenêtre principale, en coordonnées de l'écran) quand elle
// est vide : rien.
QRect Zone(const QRect &ecran, const QRect &menus);
// Le rectangle `cadre` (fenêtre décorée) ramené dans `zone` : réduit d'abord (jamais sous
// `minimum`, qui l'emporte), puis déplacé du moins possible.
QRect Ajuster(const QRect &cadre, const QRect &zone, const QSize &minimum = QSize(0, 0));

// Suit toutes les fenêtres secondaires de l'application montrées à côté de `principale`
// (la dernière fenêtre principale créée) : chacune est placée par Placer quand elle paraît.
void Installer(QWidget *principale);
// Place `fenetre` : sa géométrie retenue, sinon au-dessus de la fenêtre principale, puis
// ramenée dans la zone permise.
void Placer(QWidget *fenetre);
// Nom sous lequel la géométrie d'une fenêtre est retenue (vide : non retenue).
QString Cle(const QWidget *fenetre);
}
