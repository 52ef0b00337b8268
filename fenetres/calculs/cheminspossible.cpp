#include "calculs/cheminspossible.h"
#include "algorithms/espace.h"

TForm16::TForm16(const ContexteCalcul &contexte)
    : DialogueAlgorithme(contexte, {QStringLiteral("Enumérer tous les chemins possible"),
                                   QStringLiteral("Enumérer les chemins"), QStringLiteral("IDH_2")})
{
    setObjectName(QStringLiteral("Form16"));
    AjouterProgression();
}

void TForm16::Executer()
{
    // Arrêtée : rien n'est ajouté, la boîte reste ouverte pour un autre essai.
    if (!Enumerer())
        return;
    // Aucun chemin non nul : la liste garde son contenu précédent. L'énumération seule n'a
    // pas de trace : "Voir la trace d'exécution" reste sur le calcul précédent.
    if (espace().Probabilite != 0)
        ListerChemins();
    Epilogue(QString(), QStringLiteral("L'énumération de tous les chemins qui génèrent la séquence d'observations est "
                                       "terminée avec succès."));
}
