// Commandes de hmmcalc pour l'apprentissage : génération, décodage a posteriori, échange
// JSON, treillis.
#include "apprentissage.h"
#include "arguments.h"
#include "commandes.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/generation.h"
#include "algorithms/posterieur.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/fichier.h"
#include "model/json_modele.h"
#include "model/parametres.h"
#include "model/textes.h"
#include "trace/treillis.h"

#include <QHash>
#include <QRandomGenerator>
#include <cstdio>
#include <optional>

namespace {

using namespace Arguments;

void ecrire(FILE *f, const QString &texte)
{
    std::fputs(Textes::Visible(texte).toLocal8Bit().constData(), f);
    std::fputc('\n', f);
}

struct Options {
    QString commande;
    QStringList positions;
    bool mot = false, chemin = false;
    std::optional<QString> motDePasse, image;
    std::optional<quint64> graine;
    QString valeurs = QStringLiteral("alpha");
    int chiffres = 15;
    int debut = 1, fin = 0; // --colonnes DEBUT:FIN ; fin = 0 : jusqu'au dernier instant
};

// --colonnes DEBUT:FIN : deux instants entiers, 1 <= DEBUT <= FIN (FIN est vérifié contre T).
void lireColonnes(const QString &v, Options &o)
{
    const QStringList l = v.split(QLatin1Char(':'));
    bool ok1 = false, ok2 = false;
    if (l.size() == 2) {
        o.debut = l[0].toInt(&ok1);
        o.fin = l[1].toInt(&ok2);
    }
    if (!ok1 || !ok2 || o.debut < 1 || o.fin < o.debut)
        throw Echec{Usage, QStringLiteral("Colonnes incorrectes : « %1 » (DEBUT:FIN, deux instants avec 1 <= DEBUT <= FIN).").arg(v)};
}

Options lire(const QStringList &args)
{
    // Options inconnues, valeurs manquantes, options étrangères à la commande : refusées ici.
    const Lecture l = Analyser(args);
    Options o;
    o.commande = l.commande;
    o.positions = l.positions;
    o.mot = l.A(QStringLiteral("mot"));
    o.chemin = l.A(QStringLiteral("chemin"));
    o.motDePasse = l.Valeur(QStringLiteral("mot-de-passe"));
    o.image = l.Valeur(QStringLiteral("image"));
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("valeurs"))) {
        o.valeurs = *v;
        if (!QStringList{"alpha", "beta", "delta", "gamma"}.contains(o.valeurs))
            throw Echec{Usage, QStringLiteral("Valeurs inconnues : « %1 » (alpha, beta, delta ou gamma).").arg(o.valeurs)};
    }
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("graine"))) {
        bool ok = false;
        o.graine = v->toULongLong(&ok);
        if (!ok)
            throw Echec{Usage, QStringLiteral("Graine incorrecte : « %1 » (entier de 0 à 18446744073709551615).").arg(*v)};
    }
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("chiffres")))
        o.chiffres = Chiffres(*v);
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("colonnes")))
        lireColonnes(*v, o);
    if (o.positions.size() != 2)
        throw Echec{Usage, QStringLiteral("Usage : ") + Synopsis(o.commande)};
    // posterieur et treillis lisent la séquence « - » sur l'entrée standard.
    if (o.motDePasse == QStringLiteral("-") && o.positions[1] == QLatin1String("-") &&
        (o.commande == QLatin1String("posterieur") || o.commande == QLatin1String("treillis")))
        throw Echec{Usage, QStringLiteral("L'entrée standard « - » ne se lit qu'une fois.")};
    if (o.commande == QLatin1String("treillis") && !o.image)
        throw Echec{Usage, QStringLiteral("La commande treillis attend --image F.png ou F.svg.")};
    return o;
}

// Le modèle vérifié et ses paramètres λ.
ParametresModele verifier(const ContenuModele &c)
{
    QStringList rapport;
    if (!VerifierContenu(c, rapport))
        throw Echec{Refus, QStringLiteral("Le modèle est incorrect !\n") + rapport.join(QLatin1Char('\n'))};
    ParametresModele p;
    CalculerParametres(c, p);
    return p;
}

int executer(const Options &o)
{
    const auto N = [&](long double x) { return Nombres::Formater(x, o.chiffres); };
    if (o.commande == QLatin1String("importer")) {
        QString erreur;
        QStringList lignes;
        if (!ModeleJson::ImporterFichier(o.positions[0], &lignes, &erreur))
            throw Echec{Refus, erreur};
        if (!FichierModele::EcrireFichier(o.positions[1], lignes, &erreur))
            throw Echec{Usage, QStringLiteral("Impossible d'enregistrer le modèle dans « %1 » :\n%2").arg(o.positions[1], erreur)};
        return Succes;
    }
    const ContenuModele c = Commandes::ChargerModele(o.positions[0], o.motDePasse);
    if (o.commande == QLatin1String("exporter")) {
        QString erreur;
        if (!ModeleJson::ExporterFichier(c, o.positions[1], &erreur))
            throw Echec{Usage, erreur};
        return Succes;
    }
    const ParametresModele p = verifier(c);
    if (o.commande == QLatin1String("generer")) {
        bool ok = false;
        const int T = o.positions[1].toInt(&ok);
        if (!ok || T < 1 || T > LongueurGenerationMax)
            throw Echec{Usage, QStringLiteral("Longueur incorrecte : « %1 » (de 1 à %2).").arg(o.positions[1]).arg(LongueurGenerationMax)};
        quint64 graine = 0;
        if (o.graine) {
            graine = *o.graine;
        } else {
            graine = QRandomGenerator::system()->generate64();
            ecrire(stderr, QStringLiteral("Graine : %1").arg(graine));
        }
        const SequenceGeneree s = GenererSequence(p, T, graine);
        ecrire(stdout, TexteObservations(p, s, nullptr));
        if (o.chemin)
            ecrire(stdout, TexteCheminEtats(NomsEtatsGeneres(p, s)));
        return Succes;
    }
    EspaceTravail e;
    e.SequenceObservations = Commandes::LireSequence(o.positions[1], o.mot);
    e.DecoupageCaractere = !o.mot;
    DecouperSequence(p, e);
    if (o.commande == QLatin1String("posterieur")) {
        const std::vector<int> q = CalculerCheminPosterieur(p, e);
        ecrire(stdout, TexteCheminEtats(EtatsChemin(p, q)));
        QString l = QStringLiteral("t\tO(t)");
        for (int i = 1; i <= p.N; ++i)
            l += QStringLiteral("\tγ(") + p.NomEtat(i) + QLatin1Char(')');
        ecrire(stdout, l);
        for (int t = 1; t <= e.LongueurSequence; ++t) {
            const int ot = e.Observations[t];
            l = QString::number(t) + QLatin1Char('\t') + (ot > 0 ? p.Symboles[ot] : QStringLiteral("?"));
            for (int i = 1; i <= p.N; ++i)
                l += QLatin1Char('\t') + N(e.Gamma(t, i));
            ecrire(stdout, l);
        }
        return Succes;
    }
    // treillis
    const QHash<QString, Treillis::Valeurs> valeurs = {{"alpha", Treillis::Valeurs::Alpha},
                                                       {"beta", Treillis::Valeurs::Beta},
                                                       {"delta", Treillis::Valeurs::Delta},
                                                       {"gamma", Treillis::Valeurs::Gamma}};
    const Treillis::Donnees t = Treillis::Preparer(p, e, valeurs.value(o.valeurs));
    QString erreur;
    if (!Treillis::Exporter(t, *o.image, &erreur, o.debut, o.fin))
        throw Echec{Usage, erreur};
    // Les valeurs de l'image en entier : mises à l'échelle, P(O|λ), c_t et log10 des valeurs
    // vraies (γ reste dans [0 ; 1]).
    const bool echelle = t.TableEchelle();
    if (echelle) {
        ecrire(stdout, Treillis::TexteEntete(t));
    } else {
        ecrire(stdout, QStringLiteral("P(O|λ) = ") + N(t.P));
    }
    const bool log = echelle && t.Quoi != Treillis::Valeurs::Gamma;
    const bool facteurs = echelle && t.Quoi != Treillis::Valeurs::Delta;
    QString l = QStringLiteral("t\tO(t)") + (facteurs ? QStringLiteral("\tc_t") : QString());
    for (int i = 1; i <= p.N; ++i)
        l += QLatin1Char('\t') + (log ? QStringLiteral("log10 ") : QString()) + Treillis::Symbole(t.Quoi) +
             QLatin1Char('(') + p.NomEtat(i) + QLatin1Char(')');
    ecrire(stdout, l);
    for (int u = 1; u <= t.T; ++u) {
        l = QString::number(u) + QLatin1Char('\t') + t.Symboles[u];
        if (facteurs)
            l += QLatin1Char('\t') + N(t.C[std::size_t(u)]);
        for (int i = 1; i <= p.N; ++i)
            l += QLatin1Char('\t') + (log ? N(Treillis::Log10Valeur(t, u, i)) : N(t.Table()(u, i)));
        ecrire(stdout, l);
    }
    return Succes;
}

}

int ExecuterApprentissage(const QStringList &arguments)
{
    try {
        return executer(lire(arguments));
    } catch (const Echec &e) {
        ecrire(stderr, e.message);
        return e.code;
    } catch (const ERefusCalcul &e) {
        ecrire(stderr, e.Message());
        return Refus;
    } catch (const EConversion &e) {
        ecrire(stderr, QStringLiteral("Le modèle est incorrect : ") + e.Message());
        return Refus;
    } catch (const ETropDeSymboles &e) {
        ecrire(stderr, e.Message());
        return Refus;
    }
}
