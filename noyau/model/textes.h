#pragma once
// Fichiers texte du système : Windows-1252, fins de ligne CR LF.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace Textes {
QString Decoder(const QByteArray &octets);
QByteArray Encoder(const QString &texte);
// Le texte où chaque caractère de commande (C0 sauf tabulation et fin de ligne, DEL, C1)
// devient visible : « \x1b » pour ESC. Tout ce qui va vers un terminal ou dans une trace
// passe par ici : un nom ne pilote jamais le terminal.
QString Visible(const QString &texte);
// Vrai quand chaque caractère a une place dans Windows-1252.
bool Representable(const QString &texte);

// Borne des fichiers de lignes (historique des séquences, "Chemin.txt"...) : au-delà, le
// fichier n'est pas lu.
constexpr qint64 LimiteLignes = 8 * 1024 * 1024;

// Lignes d'un fichier (CR LF ou LF) ; liste vide quand le fichier manque, n'est pas un fichier
// ordinaire ou dépasse `limite` octets (*ok faux, *erreur en donne la cause en français).
QStringList LireLignes(const QString &chemin, bool *ok = nullptr);
QStringList LireLignes(const QString &chemin, qint64 limite, bool *ok, QString *erreur);
// Contenu d'un fichier ordinaire d'au plus `limite` octets. Un dossier, un tube, un
// périphérique ou un fichier plus grand est refusé sans être lu et sans bloquer ; *erreur en
// donne alors la cause, en français.
bool LireOctets(const QString &chemin, qint64 limite, QByteArray *octets, QString *erreur);
// L'entrée standard jusqu'à sa fin, au plus `limite` octets (au-delà : refus sans tout lire).
bool LireEntreeStandard(qint64 limite, QByteArray *octets, QString *erreur);
// Chaque ligne suivie de CR LF ; écriture atomique.
bool EcrireLignes(const QString &chemin, const QStringList &lignes, QString *erreur = nullptr);
// Le seul chemin d'écriture des fichiers : un fichier temporaire du même dossier, écrit en
// entier, synchronisé sur le disque puis renommé. Au moindre échec (écriture courte, disque
// plein, synchronisation, renommage) le temporaire est effacé, l'ancien fichier reste intact
// et *erreur nomme le fichier et la cause en français.
bool EcrireOctets(const QString &chemin, const QByteArray &octets, QString *erreur = nullptr);
// Fichiers par utilisateur que plusieurs instances partagent (historique, récents, options) :
// lignes en UTF-8 (tout nom de fichier s'y écrit ; un ancien fichier Windows-1252 se relit),
// CR LF. Absent : liste vide et *ok vrai.
QStringList LireLignesPartagees(const QString &chemin, qint64 limite, bool *ok, QString *erreur);
// Lecture, `changer`, écriture atomique, le tout sous le verrou « chemin.lock » (QLockFile) :
// deux instances qui ajoutent en même temps ne perdent rien. Un fichier présent mais refusé à
// la lecture n'est pas remplacé. *resultat : les lignes écrites (ou lues quand rien ne change :
// `changer` rend false).
bool ModifierLignesPartagees(const QString &chemin, qint64 limite, const std::function<bool(QStringList &)> &changer,
                             QStringList *resultat = nullptr, QString *erreur = nullptr);
// La cause d'un échec du système (errno), en français.
QString CauseSysteme(int numero);
// Texte brut sans fin de ligne (Chemin.txt).
bool EcrireTexte(const QString &chemin, const QString &texte, QString *erreur = nullptr);
}
