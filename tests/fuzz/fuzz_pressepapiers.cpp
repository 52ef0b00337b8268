// Bloc de copie du presse-papiers : un texte quelconque est débrouillé puis lu ; un bloc
// accepté, réécrit, se relit à l'identique, et le brouillage aller-retour rend le texte.
#include "commun_fuzz.h"
#include "model/bloc_copie.h"
#include "model/textes.h"

#include <cstdint>

namespace {
bool memes(const QList<ContenuModele::Etat> &a, const QList<ContenuModele::Etat> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].Nom != b[i].Nom || a[i].Left != b[i].Left || a[i].Top != b[i].Top || a[i].Height != b[i].Height ||
            a[i].Width != b[i].Width || a[i].Paires != b[i].Paires)
            return false;
    return true;
}
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzz::Initialiser(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *donnees, size_t taille)
{
    const QByteArray octets(reinterpret_cast<const char *>(donnees), qsizetype(taille));
    // Le texte tel qu'il viendrait du presse-papiers, et le même en clair.
    const QString brouille = QString::fromUtf8(octets);
    const QString clair = Textes::Decoder(octets);
    for (const QString &t : {BlocCopie::DepuisPressePapiers(brouille), clair}) {
        QList<ContenuModele::Etat> etats;
        QString erreur;
        if (!BlocCopie::Lire(t, &etats, &erreur)) {
            if (erreur.isEmpty())
                Fuzz::Echec(QStringLiteral("refus sans message"));
            continue;
        }
        const QString ecrit = BlocCopie::Ecrire(etats);
        QList<ContenuModele::Etat> relus;
        if (!BlocCopie::Lire(ecrit, &relus, &erreur) || !memes(etats, relus))
            Fuzz::Echec(QStringLiteral("le bloc réécrit ne se relit pas à l'identique : ") + erreur);
        if (BlocCopie::DepuisPressePapiers(BlocCopie::VersPressePapiers(ecrit)) != ecrit)
            Fuzz::Echec(QStringLiteral("le brouillage aller-retour change le bloc"));
    }
    if (Textes::Representable(clair) && BlocCopie::DepuisPressePapiers(BlocCopie::VersPressePapiers(clair)) != clair)
        Fuzz::Echec(QStringLiteral("le brouillage aller-retour change le texte"));
    return 0;
}
