#pragma once
// Outils communs des tests : chaque test travaille dans son propre répertoire de programme.
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Fixture : répertoire de programme temporaire, séparateur décimal fixé à ".".
class TestAvecRepertoire : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QString Chemin(const QString &nom) const;
    std::unique_ptr<QTemporaryDir> dossier;
};

// Lit un fichier de données de test (tests/donnees/...).
QString FichierDonnees(const QString &nom);
