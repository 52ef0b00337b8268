// Lecteur de modèles : un fichier quelconque est lu, vérifié, ses paramètres calculés ; un
// modèle accepté est enregistré, relu et réenregistré : les deux fichiers sont identiques.
#include "commun_fuzz.h"
#include "model/document.h"
#include "model/textes.h"

#include <QStringList>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::Initialiser(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QString entree = Fuzz::Dossier() + QStringLiteral("/entree.hmm");
    const QString premier = Fuzz::Dossier() + QStringLiteral("/premier.hmm");
    const QString second = Fuzz::Dossier() + QStringLiteral("/second.hmm");
    if (!Textes::EcrireOctets(entree, QByteArray(reinterpret_cast<const char *>(donnees), qsizetype(taille))))
        Fuzz::Echec(QStringLiteral("écriture de l'entrée impossible"));

    // Sans surface donnée, le document porte la sienne et la détruit avec lui.
    DocumentModele d;
    d.DefinirIdentification([](const QString &) { return true; });
    QString erreur;
    if (d.DessinerFichier(entree, &erreur) != Chargement::Reussi) {
        if (erreur.isEmpty())
            Fuzz::Echec(QStringLiteral("refus sans message"));
        return 0;
    }
    QStringList rapport;
    const bool correct = d.VerifierModele(rapport);
    if (rapport.isEmpty())
        Fuzz::Echec(QStringLiteral("rapport de vérification vide"));
    if (correct) {
        try {
            d.CalculerParametres();
        } catch (const std::exception &) {
            // Refus annoncé (trop de symboles, probabilité illisible) : pas un défaut.
        }
    }
    if (!d.EnregistrerFichier(premier, &erreur))
        Fuzz::Echec(QStringLiteral("enregistrement impossible : ") + erreur);
    DocumentModele relu;
    relu.DefinirIdentification([](const QString &) { return true; });
    if (relu.DessinerFichier(premier, &erreur) != Chargement::Reussi)
        Fuzz::Echec(QStringLiteral("le modèle enregistré ne se relit pas : ") + erreur);
    if (!relu.EnregistrerFichier(second, &erreur))
        Fuzz::Echec(QStringLiteral("second enregistrement impossible : ") + erreur);
    QByteArray a, b;
    if (!Textes::LireOctets(premier, 1 << 26, &a, &erreur) || !Textes::LireOctets(second, 1 << 26, &b, &erreur) || a != b)
        Fuzz::Echec(QStringLiteral("le fichier relu puis réenregistré diffère du premier"));
    return 0;
}
