#pragma once
// Présentation des boîtes de dialogue ouvertes depuis la fenêtre principale :
// créées à neuf, centrées sur l'écran, animées (croissance depuis le centre),
// montrées sans être modales ; la fenêtre principale est inutilisable tant qu'elles
// sont ouvertes quand `bloquer` est vrai.
class QWidget;

namespace Presentation {
constexpr int DureeAnimation = 250;
enum class Animation { Croissance, Fondu, Aucune };

void Centrer(QWidget *fenetre);
void Presenter(QWidget *fenetre, bool bloquer, Animation animation = Animation::Croissance,
               int duree = DureeAnimation);
// Désactive les animations (tests).
void DefinirAnimations(bool actives);
}
