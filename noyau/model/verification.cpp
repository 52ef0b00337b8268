// Vérification du modèle : rapport français ligne par ligne et verdict. Une ligne passe quand
// sa somme tenue en simple précision vaut exactement 1 (0,1 + 0,2 + 0,7, les étiquettes
// entraînées à 15 chiffres) ou quand la somme décimale exacte de ses textes vaut 1
// (0,35 + 0,3 + 0,15 + 0,2, dix fois 0,1) ; 3 × 0,33 ne passe pas.
#include "graph/nombres.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/sommes.h"

#include <QMap>

namespace {
const QString Puce = QStringLiteral("  -    ");
const QString Retrait = QStringLiteral("       ");
// Ligne d'un état fautif : seize espaces, "->", puis le nom entre guillemets espacés.
QString LigneEtat(const QString &nom)
{
    return QString(16, QLatin1Char(' ')) + QStringLiteral("-> \" ") + nom + QStringLiteral(" \"");
}

// Un groupe du rapport : son en-tête d'erreur est écrit une fois, avant son premier élément ;
// chaque élément compte une erreur.
struct Groupe {
    QStringList &rapport;
    int &erreurs;
    QString entete;
    bool ecrit = false;

    void Ajouter(const QString &ligne)
    {
        if (!ecrit) {
            rapport << Retrait + entete;
            ecrit = true;
        }
        rapport << ligne;
        ++erreurs;
    }
};
}

bool VerifierContenu(const ContenuModele &c, QStringList &rapport)
{
    const int N = c.N();
    const bool StartPresent = c.Start;
    const auto etat = [&](int k) { return c.EtatRegistre(k); };
    rapport.clear();
    int erreurs = 0;

    if (N == 0) {
        rapport << QStringLiteral("Le modèle est vide !\nAucune vérification n'est faite.");
        return false;
    }

    rapport << QStringLiteral(" Vérifiant les états ...");
    rapport << Puce + QStringLiteral("Existence de l'état initiale START");
    if (!StartPresent) {
        rapport << Retrait + QStringLiteral("Erreur : l'état START est introuvable");
        ++erreurs;
    }

    // Unicité : les paramètres retrouvent les états par leur nom, si bien qu'un nom porté
    // par deux états ferait répondre le dernier pour tous. Une erreur par nom en double,
    // dans l'ordre de première apparition.
    rapport << Puce + QStringLiteral("Unicité du nom d'état");
    {
        QStringList ordre;
        QMap<QString, int> compte;
        for (int i = StartPresent ? 0 : 1; i <= N; ++i) {
            if (!etat(i))
                continue;
            const QString &nom = etat(i)->Nom;
            if (!compte.contains(nom))
                ordre << nom;
            ++compte[nom];
        }
        Groupe doubles{rapport, erreurs, QStringLiteral("Erreur : Les noms suivants sont portés par plusieurs états")};
        for (const QString &nom : ordre)
            if (compte.value(nom) >= 2)
                doubles.Ajouter(LigneEtat(nom) + QStringLiteral(" : %1 états").arg(compte.value(nom)));
    }
    rapport << Puce + QStringLiteral("Longueur maximale du nom d'état");

    rapport << Puce + QStringLiteral("Somme des probabilités de générations ");
    {
        Groupe generation{rapport, erreurs,
                          QStringLiteral("Erreur : La somme des probabilités de génération associée aux "
                                         "états suivants est différente de 1  ")};
        for (int i = 1; i <= N; ++i) {
            const ContenuModele::Etat *e = etat(i);
            float s = 0;
            QStringList textes;
            // Addition en précision étendue, arrondie en simple précision à chaque pas.
            for (const auto &paire : e->Paires) {
                s = float(static_cast<long double>(s) + Nombres::VersExtended(paire.second));
                textes << paire.second;
            }
            if (s != 1.0f && !Sommes::DecimaleVautUn(textes))
                generation.Ajouter(LigneEtat(e->Nom));
        }
    }

    rapport << Puce + QStringLiteral("Somme des probabilités de transitions ");
    {
        Groupe transitions{rapport, erreurs,
                           QStringLiteral("Erreur : La somme des probabilités de transitions sortant des "
                                          "états suivants est différente de 1  ")};
        const IndexGraphe index(c);
        for (int i = StartPresent ? 0 : 1; i <= N; ++i) {
            const int source = index.Etat(i);
            float s = 0;
            QStringList textes;
            for (int j = 1; j <= N; ++j) {
                const int a = index.Arc(source, index.Etat(j));
                if (a == -1)
                    continue;
                bool ok = false;
                // Conversion qui ne lève pas : "??" compte pour 0, l'étape des arcs le signale.
                const QString &etiquette = c.Arcs[a - 1].Etiquette;
                const float v = float(Nombres::VersExtended(etiquette, &ok));
                s = float(static_cast<long double>(s) + static_cast<long double>(ok ? v : 0.0f));
                textes << etiquette;
            }
            if (s != 1.0f && !Sommes::DecimaleVautUn(textes))
                transitions.Ajouter(LigneEtat(etat(i)->Nom));
        }
        // Chaque état demande au moins un arc sortant (START compris) : au-delà de la capacité
        // du fichier, aucune correction des arcs ne rendra le modèle correct.
        const int arcsNecessaires = N + (StartPresent ? 1 : 0);
        if (arcsNecessaires > FichierModele::CapaciteArcs) {
            Groupe capacite{rapport, erreurs,
                            QStringLiteral("Erreur : Le modèle dépasse la capacité du fichier")};
            capacite.Ajouter(QString(16, QLatin1Char(' ')) +
                             QStringLiteral("-> %1 états demandent au moins %2 arcs sortants ; un modèle en "
                                            "porte au plus %3 : retirez au moins %4 état(s).")
                                 .arg(N + (StartPresent ? 1 : 0))
                                 .arg(arcsNecessaires)
                                 .arg(FichierModele::CapaciteArcs)
                                 .arg(arcsNecessaires - FichierModele::CapaciteArcs));
        }
    }

    rapport << QStringLiteral(" Vérifiant les arcs ...");
    rapport << Puce + QStringLiteral("Existence des probabilités ");
    {
        Groupe indefinis{rapport, erreurs, QStringLiteral("Erreur : La probabilité des arcs suivants est indéfinie")};
        auto nom = [&](int k) {
            return (k >= 0 && k < 100 && etat(k)) ? etat(k)->Nom : QStringLiteral("?");
        };
        for (const ContenuModele::Arc &a : c.Arcs) {
            if (a.Etiquette == QLatin1String("??"))
                indefinis.Ajouter(QString(18, QLatin1Char(' ')) + QStringLiteral("-> ") + nom(a.Source) +
                                  QStringLiteral(" --> ") + nom(a.Destination));
        }
    }

    rapport << QString();
    rapport << QStringLiteral(" %1 erreur(s).").arg(erreurs);
    if (erreurs > 0) {
        rapport << QStringLiteral(" Le modèle est incorrect, il y a %1 erreur(s).").arg(erreurs);
        return false;
    }
    rapport << QStringLiteral(" Le modèle est correct, pas de erreurs trouvées.");
    return true;
}
