// Import JSON : un texte quelconque est importé ; un modèle accepté s'enregistre, se rouvre à
// l'identique et s'exporte en un JSON que l'import accepte de nouveau.
#include "commun_fuzz.h"
#include "model/document.h"
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
    DocumentModele d;
    QString erreur;
    if (!ModeleJson::Importer(json, d, &erreur)) {
        if (erreur.isEmpty())
            Fuzz::Echec(QStringLiteral("import refusé sans message"));
        if (d.N != 0)
            Fuzz::Echec(QStringLiteral("import refusé mais document changé"));
        return 0;
    }
    const QString chemin = Fuzz::Dossier() + QStringLiteral("/importe.hmm");
    if (!d.EnregistrerFichier(chemin, &erreur))
        Fuzz::Echec(QStringLiteral("modèle importé impossible à enregistrer : ") + erreur);
    DocumentModele relu;
    relu.Identifier = [](const QString &) { return true; };
    if (relu.DessinerFichier(chemin, &erreur) != Chargement::Reussi)
        Fuzz::Echec(QStringLiteral("modèle importé qui ne se rouvre pas : ") + erreur);
    if (relu.LignesModele() != d.LignesModele())
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
    DocumentModele reimporte;
    if (!ModeleJson::Importer(exporte, reimporte, &erreur))
        Fuzz::Echec(QStringLiteral("JSON exporté que l'import refuse : ") + erreur);
    return 0;
}
