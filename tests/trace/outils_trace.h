#pragma once
// Outils des tests de trace : répertoire de programme muni des modèles de trace, modèle E1/E2
// sur "ab" déjà calculé.
#include "algorithms/espace.h"
#include "model/parametres.h"
#include "outils_test.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Fixture : répertoire temporaire avec Modeles/ (les six modèles de trace livrés).
class TestTrace : public TestAvecRepertoire {
protected:
    void SetUp() override;
    // Contenu brut (octets) d'un fichier du répertoire de programme.
    QByteArray Octets(const QString &nom) const;
    // Texte Windows-1252 d'un fichier du répertoire de programme.
    QString Texte(const QString &nom) const;
    // Les morceaux d'un modèle de trace autour de ses marqueurs "!!" (n marqueurs : n + 1 morceaux).
    QStringList Morceaux(const QString &modele) const;
};

// Espace de travail pour O = a, b (symboles 1, 2) et la séquence tapée "ab".
EspaceTravail EspaceAB();

// Morceaux attendus des tableaux des traces, écrits en toutes lettres : en-tête de colonne,
// case de valeur, début de ligne, case de coin.
inline QString H(const QString &n) { return "<td><center><b>&nbsp;" + n + "&nbsp;</b></center></td>"; }
inline QString V(const QString &v) { return "<td><center>&nbsp;" + v + "&nbsp;</center></td>"; }
inline QString R(const QString &n) { return "<tr><td><center><b>&nbsp;" + n + "&nbsp;</b></center></td>"; }
inline const QString C = QStringLiteral("<tr><td>&nbsp;</td>");
