#pragma once
// Noms accessibles : tout contrôle que l'utilisateur peut atteindre a un nom français lu par
// les aides techniques. Ceux que Qt ne nomme pas d'eux-mêmes (champs, listes, curseurs,
// boutons à icône seule, dessins) le tirent, quand ils paraissent, de leur étiquette
// associée, de leur bulle ou du titre de leur groupe ; un nom donné par le code prime.
#include <QString>

class QMenu;
class QMenuBar;
class QWidget;

namespace Accessibilite {
// Suit toutes les fenêtres de l'application.
void Installer();
// Le nom que reçoit `w` quand il n'en a pas (vide : Qt le nomme déjà, ou rien ne le nomme).
QString NomDerive(const QWidget *w);
// Nomme `w` et ses descendants qui n'ont pas de nom.
void Nommer(QWidget *w);
// Mnémoniques des entrées des menus de la barre (et de leurs sous-menus) qui n'en ont pas :
// la première lettre que leurs voisines ne prennent pas déjà.
void AjouterMnemoniques(QMenuBar *barre);
void AjouterMnemoniques(QMenu *menu);
}
