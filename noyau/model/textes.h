#pragma once
// Fichiers texte du système : Windows-1252, fins de ligne CR LF.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Textes {
QString Decoder(const QByteArray &octets);
QByteArray Encoder(const QString &texte);
// Vrai quand chaque caractère a une place dans Windows-1252.
bool Representable(const QString &texte);

// Lignes d'un fichier (CR LF ou LF) ; liste vide quand le fichier manque.
QStringList LireLignes(const QString &chemin, bool *ok = nullptr);
// Chaque ligne suivie de CR LF ; écriture atomique.
bool EcrireLignes(const QString &chemin, const QStringList &lignes, QString *erreur = nullptr);
// Écriture atomique : le fichier complet ou rien.
bool EcrireOctets(const QString &chemin, const QByteArray &octets, QString *erreur = nullptr);
// Texte brut sans fin de ligne (Chemin.txt).
bool EcrireTexte(const QString &chemin, const QString &texte, QString *erreur = nullptr);
}
