// Import JSON : un texte quelconque est importé ; un modèle accepté s'enregistre, se rouvre à
// l'identique et s'exporte en un JSON que l'import accepte de nouveau.
#include "commun_fuzz.h"
#include "model/fichier.h"
#include "model/json_modele.h"

#include <QStringList>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::Initialiser(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray json(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    QStringList lignes = {QStringLiteral("intact")};
    QString erreur;
    if (!ModeleJson::Importer(json, &lignes, &erreur)) {
        if (erreur.isEmpty())
            Fuzz::Echec(QStringLiteral("import refusé sans message"));
        if (lignes != QStringList{QStringLiteral("intact")})
            Fuzz::Echec(QStringLiteral("import refusé mais modèle rendu"));
        return 0;
    }
    const QString chemin = Fuzz::Dossier() + QStringLiteral("/importe.hmm");
    if (!FichierModele::EcrireFichier(chemin, lignes, &erreur))
        Fuzz::Echec(QStringLiteral("modèle importé impossible à enregistrer : ") + erreur);
    ContenuModele relu;
    if (!FichierModele::OuvrirContenu(chemin, &relu, &erreur))
        Fuzz::Echec(QStringLiteral("modèle importé qui ne se rouvre pas : ") + erreur);
    if (FichierModele::Ecrire(relu) != lignes)
        Fuzz::Echec(QStringLiteral("modèle rouvert différent du modèle importé"));
    QByteArray exporte;
    try {
        exporte = ModeleJson::Exporter(relu);
    } catch (const std::exception &) {
        return 0; // refus annoncé (probabilité illisible, trop de symboles)
    }
    const QString sortie = Fuzz::Dossier() + QStringLiteral("/exporte.json");
    if (!ModeleJson::ExporterFichier(relu, sortie, &erreur))
        return 0; // l'export refuse ce qui ne se réimporterait pas
    QStringList reimporte;
    if (!ModeleJson::Importer(exporte, &reimporte, &erreur))
        Fuzz::Echec(QStringLiteral("JSON exporté que l'import refuse : ") + erreur);
    return 0;
}
