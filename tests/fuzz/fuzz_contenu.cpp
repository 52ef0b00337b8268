// Lecteur de contenu : le même fichier lu par le programme (document et ses boîtes) et par
// hmmcalc (contenu seul) donne la même réponse, le même rapport de vérification et les mêmes
// paramètres.
#include "commun_fuzz.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/textes.h"

#include <QStringList>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::Initialiser(argc, argv);
    return 0;
}

namespace {

// Paramètres, ou le texte du refus annoncé.
QString parametres(const std::function<void(ParametresModele &)> &calculer, ParametresModele &p)
{
    try {
        calculer(p);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what()) + QStringLiteral(" (refus)");
    }
    return QString();
}

bool memes(const ParametresModele &a, const ParametresModele &b)
{
    if (a.N != b.N || a.M != b.M)
        return false;
    for (int k = 1; k <= a.M; ++k)
        if (a.Symboles[k] != b.Symboles[k])
            return false;
    for (int i = 1; i <= a.N; ++i) {
        if (a.NomEtat(i) != b.NomEtat(i) || a.PI[i] != b.PI[i])
            return false;
        for (int j = 1; j <= a.N; ++j)
            if (a.A[i][j] != b.A[i][j])
                return false;
        for (int k = 1; k <= a.M; ++k)
            if (a.B[i][k] != b.B[i][k])
                return false;
    }
    return true;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QString entree = Fuzz::Dossier() + QStringLiteral("/contenu.hmm");
    if (!Textes::EcrireOctets(entree, QByteArray(reinterpret_cast<const char *>(donnees), qsizetype(taille))))
        Fuzz::Echec(QStringLiteral("écriture de l'entrée impossible"));
    DocumentModele d;
    d.DefinirIdentification([](const QString &) { return true; });
    QString erreurProgramme, erreurHmmcalc;
    const bool programme = d.DessinerFichier(entree, &erreurProgramme) == Chargement::Reussi;
    ContenuModele c;
    const bool hmmcalc = FichierModele::OuvrirContenu(entree, &c, &erreurHmmcalc);
    if (programme != hmmcalc)
        Fuzz::Echec(QStringLiteral("le programme et hmmcalc ne s'accordent pas : « %1 » / « %2 »")
                        .arg(erreurProgramme, erreurHmmcalc));
    if (!programme) {
        if (erreurProgramme != erreurHmmcalc)
            Fuzz::Echec(QStringLiteral("messages de refus différents"));
        return 0;
    }
    QStringList rapportProgramme, rapportHmmcalc;
    const bool correct = d.VerifierModele(rapportProgramme);
    if (VerifierContenu(c, rapportHmmcalc) != correct || rapportProgramme != rapportHmmcalc)
        Fuzz::Echec(QStringLiteral("rapports de vérification différents"));
    if (!correct)
        return 0;
    ParametresModele p, inutilise;
    const QString refusProgramme = parametres([&](ParametresModele &) { d.CalculerParametres(); }, inutilise);
    const QString refusHmmcalc = parametres([&](ParametresModele &q) { CalculerParametres(c, q); }, p);
    if (refusProgramme != refusHmmcalc || (refusProgramme.isEmpty() && !memes(d.Parametres(), p)))
        Fuzz::Echec(QStringLiteral("paramètres différents"));
    return 0;
}
