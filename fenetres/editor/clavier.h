#pragma once
// Accès au clavier et outils de dessin : Alt+lettre ouvre un menu de la barre (F10 le
// premier), sans changer le texte des menus ; un double-clic sur un outil de la palette le
// garde actif après chaque arc ou boucle, jusqu'à Échap ou un clic sur l'outil de sélection
// (un simple clic garde le retour à la sélection après usage).
#include <QList>

class QAction;
class QMainWindow;
class QToolBar;

namespace Clavier {
// Un raccourci Alt+lettre par menu de la barre (première lettre libre de son titre) et F10.
void DonnerAccesMenus(QMainWindow &f);
// Double-clic sur le bouton d'un des `outils` de `barre` : l'outil est maintenu.
void MaintenirOutils(QMainWindow &f, QToolBar *barre, QAction *selection, const QList<QAction *> &outils);
// L'outil est-il maintenu (il ne rend pas la main à la sélection après usage) ?
bool OutilMaintenu(const QAction *outil);
}
