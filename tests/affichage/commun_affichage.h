#pragma once
// Fixture des tests d'affichage : une fenêtre principale montrée hors écran, un petit
// modèle chargé (START, Etat_1 sans paire, Etat_2 avec deux paires, trois arcs).
#include "outils_test.h"
#include "editor/principale.h"
#include "skin/messages.h"

#include <QStringList>
#include <memory>

class Affichage : public TestAvecRepertoire {
protected:
    void SetUp() override;
    void TearDown() override;
    // Fenêtre 1000 x 800 montrée (hors écran), sans instance ni boîte système.
    std::unique_ptr<TForm1> fenetre(bool avecModele = true);
    void chargerModele(TForm1 &f);

    QStringList messages;
};
