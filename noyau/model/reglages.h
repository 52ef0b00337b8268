#pragma once
// "Fenetres.ini" : ce que l'utilisateur retrouve d'une session à l'autre (places des fenêtres,
// calcul en direct). Lu et écrit par le même écrivain que l'historique et les récents : sous
// verrou, atomique, jamais à la place d'un fichier qui n'est pas ordinaire.
#include <QRect>
#include <QString>

namespace Reglages {
// Borne du fichier : au-delà il n'est ni lu ni remplacé.
constexpr qint64 LimiteTaille = 1024 * 1024;
// Valeur de la clé « Groupe/Nom », ou `defaut` quand elle manque ou que le fichier est refusé.
QString Lire(const QString &cle, const QString &defaut = QString());
bool LireBooleen(const QString &cle, bool defaut);
// Rectangle invalide quand la clé manque ou ne se lit pas.
QRect LireRectangle(const QString &cle);
// Faux, avec la cause en français dans *erreur, quand le fichier n'est pas écrit (l'ancien reste).
bool Ecrire(const QString &cle, const QString &valeur, QString *erreur = nullptr);
bool EcrireBooleen(const QString &cle, bool valeur, QString *erreur = nullptr);
bool EcrireRectangle(const QString &cle, const QRect &r, QString *erreur = nullptr);
}
