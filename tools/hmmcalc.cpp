// hmmcalc : les calculs du programme en ligne de commande, sans affichage.
// Codes de sortie : 0 succès, 1 modèle incorrect ou calcul refusé, 2 mauvais usage ou
// fichier illisible.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/chrono.h"
#include "algorithms/decodage.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/enumeration.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "trace/document_trace.h"
#include "trace/enregistrement.h"
#include "trace/image.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace {

enum Code { Succes = 0, Refus = 1, Usage = 2 };

struct Echec {
    int code;
    QString message;
};

void ecrire(FILE *f, const QString &texte)
{
    std::fputs(texte.toLocal8Bit().constData(), f);
    std::fputc('\n', f);
}

const char *const Aide = R"(hmmcalc — calculs sur un modèle de Markov caché discret (fichier .hmm), sans fenêtre.

Usage :
  hmmcalc verifier MODELE.hmm
  hmmcalc parametres MODELE.hmm
  hmmcalc forward|backward|direct|viterbi MODELE.hmm SEQUENCE [--mot] [--trace TRACE.htm]
  hmmcalc chemins MODELE.hmm SEQUENCE [--mot]
  hmmcalc baumwelch MODELE.hmm SEQUENCE [--iterations K | --seuil S] [--mot] [--sortie NOUVEAU.hmm]
                    [--trace TRACE.htm]
  hmmcalc entrainement-viterbi MODELE.hmm SEQUENCE [--mot] [--sortie NOUVEAU.hmm] [--trace TRACE.htm]
  hmmcalc --help

Commandes :
  verifier              le rapport de vérification du modèle ; code 0 quand il est correct, 1 sinon.
  parametres            N, M, les états, les symboles, puis le vecteur π et les matrices A et B
                        (colonnes séparées par des tabulations).
  forward, backward     P(O|λ) par la récurrence avant ou arrière.
  direct                P(O|λ) comme somme des probabilités de tous les chemins (approche directe).
  viterbi               le chemin de Viterbi (« Start - E1 - E2 ») puis sa probabilité.
  chemins               une ligne par chemin de probabilité non nulle : le chemin, une tabulation,
                        la probabilité ; le meilleur chemin est suivi d'une tabulation et de
                        « meilleur ».
  baumwelch             entraînement de Baum-Welch : --iterations K (10 par défaut) itérations au
                        plus, ou --seuil S : jusqu'à ce que P(O|λ) >= S, au plus 1000 itérations.
                        S = 2 choisit le mode nombre d'itérations. Les deux s'arrêtent plus tôt
                        quand les paramètres ne changent plus.
  entrainement-viterbi  entraînement de Viterbi (comptes le long du chemin de Viterbi).
                        Les entraînements affichent le nombre d'itérations, P(O|λ) avant et après,
                        puis les nouveaux π, A et B.

Les commandes de calcul vérifient d'abord le modèle, comme le programme. Viterbi et les deux
entraînements refusent une séquence que le modèle ne génère pas (P(O|λ) = 0). L'énumération
(direct, chemins) est refusée au-delà d'un million de chemins (N^T).

Options :
  --mot                 découper la séquence mot par mot (mots séparés par des espaces) ;
                        sinon caractère par caractère.
  --mot-de-passe P      le mot de passe d'un modèle protégé.
  --chiffres C          écrire les nombres avec C chiffres significatifs (15 par défaut, 1 à 30),
                        par exemple --chiffres 17.
  --sortie FICHIER      enregistrer le modèle entraîné dans FICHIER (.hmm).
  --trace FICHIER.htm   écrire la trace d'exécution du calcul (page HTML, comme « Voir la trace
                        d'exécution » du programme) dans FICHIER.htm, avec l'image du modèle dans
                        le dossier FICHIER_fichiers à côté. Les modèles de trace sont lus dans le
                        dossier Modeles à côté de hmmcalc.
  --chrono              après le résultat, le temps processeur du calcul seul (modèle et séquence
                        déjà lus) : « Durée du calcul : 0,42 ms ».
  --help                cette aide.

Les probabilités s'écrivent au format général, avec le séparateur décimal de la langue de
l'utilisateur. hmmcalc n'écrit que les fichiers demandés par --sortie et --trace.

Codes de sortie : 0 succès ; 1 modèle incorrect ou calcul refusé ; 2 mauvais usage ou fichier
illisible.)";

struct Options {
    QString commande, modele, sequence;
    bool mot = false;
    std::optional<QString> motDePasse, sortie, trace;
    std::optional<int> iterations;
    std::optional<long double> seuil;
    int chiffres = 15;
    bool chrono = false;
};

Options lireOptions(const QStringList &args)
{
    Options o;
    QStringList positions;
    auto valeur = [&](int &i) {
        if (i + 1 >= args.size())
            throw Echec{Usage, QStringLiteral("L'option %1 attend une valeur.").arg(args[i])};
        return args[++i];
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--mot")) {
            o.mot = true;
        } else if (a == QLatin1String("--chrono")) {
            o.chrono = true;
        } else if (a == QLatin1String("--mot-de-passe")) {
            o.motDePasse = valeur(i);
        } else if (a == QLatin1String("--sortie")) {
            o.sortie = valeur(i);
        } else if (a == QLatin1String("--trace")) {
            o.trace = valeur(i);
        } else if (a == QLatin1String("--iterations")) {
            bool ok = false;
            const QString v = valeur(i);
            o.iterations = v.toInt(&ok);
            if (!ok)
                throw Echec{Usage, QStringLiteral("Nombre d'itérations incorrect : « %1 ».").arg(v)};
        } else if (a == QLatin1String("--seuil")) {
            const QString v = valeur(i);
            bool ok = false;
            o.seuil = Nombres::VersExtended(v, &ok);
            if (!ok)
                throw Echec{Usage, QStringLiteral("Seuil incorrect : « %1 » n'est pas un nombre décimal.").arg(v)};
        } else if (a == QLatin1String("--chiffres")) {
            bool ok = false;
            const QString v = valeur(i);
            o.chiffres = v.toInt(&ok);
            if (!ok || o.chiffres < 1 || o.chiffres > 30)
                throw Echec{Usage, QStringLiteral("Nombre de chiffres incorrect : « %1 » (de 1 à 30).").arg(v)};
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            throw Echec{Usage, QStringLiteral("Option inconnue : %1").arg(a)};
        } else {
            positions << a;
        }
    }
    if (positions.isEmpty())
        throw Echec{Usage, QStringLiteral("Aucune commande. « hmmcalc --help » donne l'usage.")};
    o.commande = positions.takeFirst();
    const QStringList sansSequence = {"verifier", "parametres"};
    const QStringList avecSequence = {"forward", "backward", "direct", "viterbi", "chemins", "baumwelch",
                                      "entrainement-viterbi"};
    const bool veutSequence = avecSequence.contains(o.commande);
    if (!veutSequence && !sansSequence.contains(o.commande))
        throw Echec{Usage, QStringLiteral("Commande inconnue : %1. « hmmcalc --help » donne l'usage.").arg(o.commande)};
    const int attendus = veutSequence ? 2 : 1;
    if (positions.size() != attendus)
        throw Echec{Usage, veutSequence ? QStringLiteral("La commande %1 attend un modèle et une séquence.").arg(o.commande)
                                        : QStringLiteral("La commande %1 attend un modèle.").arg(o.commande)};
    o.modele = positions[0];
    if (veutSequence)
        o.sequence = positions[1];
    const bool entrainement = o.commande == QLatin1String("baumwelch") || o.commande == QLatin1String("entrainement-viterbi");
    if (o.mot && !veutSequence)
        throw Echec{Usage, QStringLiteral("L'option --mot ne s'emploie qu'avec une séquence.")};
    if (o.sortie && !entrainement)
        throw Echec{Usage, QStringLiteral("L'option --sortie ne s'emploie qu'avec un entraînement.")};
    if (o.trace && (!veutSequence || o.commande == QLatin1String("chemins")))
        throw Echec{Usage, QStringLiteral("L'option --trace ne s'emploie qu'avec forward, backward, direct, viterbi, "
                                          "baumwelch ou entrainement-viterbi.")};
    if ((o.iterations || o.seuil) && o.commande != QLatin1String("baumwelch"))
        throw Echec{Usage, QStringLiteral("Les options --iterations et --seuil ne s'emploient qu'avec baumwelch.")};
    if (o.iterations && o.seuil)
        throw Echec{Usage, QStringLiteral("Choisissez --iterations ou --seuil, pas les deux.")};
    return o;
}

void charger(DocumentModele &d, const Options &o)
{
    bool demande = false;
    d.Identifier = [&](const QString &motDePasse) {
        demande = true;
        return o.motDePasse && *o.motDePasse == motDePasse;
    };
    QString erreur;
    switch (d.DessinerFichier(o.modele, &erreur)) {
    case Chargement::Reussi:
        return;
    case Chargement::MotDePasseRefuse:
        if (!o.motDePasse)
            throw Echec{Usage, QStringLiteral("Le modèle « %1 » est protégé : donnez son mot de passe avec --mot-de-passe.")
                                   .arg(o.modele)};
        throw Echec{Usage, QStringLiteral("Mot de passe incorrect pour le modèle « %1 ».").arg(o.modele)};
    case Chargement::Erreur:
        throw Echec{Usage, erreur};
    }
}

void verifierAvantCalcul(DocumentModele &d)
{
    QStringList rapport;
    if (d.VerifierModele(rapport))
        return;
    throw Echec{Refus, QStringLiteral("Le modèle est incorrect !\n") + rapport.join(QLatin1Char('\n'))};
}

class Sortie {
public:
    explicit Sortie(int chiffres) : chiffres(chiffres) {}
    QString N(long double x) const { return Nombres::Formater(x, chiffres); }
    void Ligne(const QString &t) const { ecrire(stdout, t); }
    void Tables(const ParametresModele &p) const
    {
        QStringList etats, symboles;
        for (int i = 1; i <= p.N; ++i)
            etats << p.NomEtat(i);
        for (int k = 1; k <= p.M; ++k)
            symboles << p.Symboles[k];
        Ligne(QStringLiteral("N = %1 états, M = %2 symboles").arg(p.N).arg(p.M));
        Ligne(QStringLiteral("Etats : ") + etats.join(QStringLiteral(", ")));
        Ligne(QStringLiteral("Symboles : ") + symboles.join(QStringLiteral(", ")));
        const QString entetesEtats = QStringLiteral("\t") + etats.join(QLatin1Char('\t'));
        Ligne(QStringLiteral("Vecteur π :"));
        Ligne(entetesEtats);
        QString l = QStringLiteral("START");
        for (int i = 1; i <= p.N; ++i)
            l += QLatin1Char('\t') + N(p.PI[i]);
        Ligne(l);
        Ligne(QStringLiteral("Matrice A :"));
        Ligne(entetesEtats);
        for (int i = 1; i <= p.N; ++i) {
            l = p.NomEtat(i);
            for (int j = 1; j <= p.N; ++j)
                l += QLatin1Char('\t') + N(p.A[i][j]);
            Ligne(l);
        }
        Ligne(QStringLiteral("Matrice B :"));
        l.clear();
        for (int k = 1; k <= p.M; ++k)
            l += QStringLiteral("\t\"") + p.Symboles[k] + QLatin1Char('"');
        Ligne(l);
        for (int i = 1; i <= p.N; ++i) {
            l = p.NomEtat(i);
            for (int k = 1; k <= p.M; ++k)
                l += QLatin1Char('\t') + N(p.B[i][k]);
            Ligne(l);
        }
    }

private:
    int chiffres;
};

// --trace : les modèles de trace livrés à côté de hmmcalc sont copiés dans le répertoire de
// travail, la trace y est produite comme dans le programme, puis copiée avec son image.
void preparerTrace()
{
    const QDir livres(QCoreApplication::applicationDirPath() + QStringLiteral("/Modeles"));
    if (livres.entryList({QStringLiteral("*.htm")}, QDir::Files).isEmpty())
        throw Echec{Usage, QStringLiteral("Les modèles de trace sont introuvables dans « %1 ».")
                               .arg(QDir::toNativeSeparators(livres.path()))};
    QDir().mkpath(Trace::CheminModele(QString()));
    for (const QString &f : livres.entryList({QStringLiteral("*.htm")}, QDir::Files))
        QFile::copy(livres.filePath(f), Trace::CheminModele(f));
}

void ecrireTrace(const QString &destination)
{
    try {
        Trace::EnregistrerTraceSous(destination);
    } catch (const ETrace &x) {
        throw Echec{Usage, x.Message()};
    }
}

int executer(const QStringList &args)
{
    if (args.size() >= 2 && (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h") ||
                             args[1] == QLatin1String("aide"))) {
        std::fputs(Aide, stdout);
        std::fputc('\n', stdout);
        return Succes;
    }
    const Options o = lireOptions(args);
    const Sortie s(o.chiffres);
    DocumentModele d;
    charger(d, o);

    if (o.commande == QLatin1String("verifier")) {
        QStringList rapport;
        const bool correct = d.VerifierModele(rapport);
        for (const QString &l : rapport)
            s.Ligne(l);
        return correct ? Succes : Refus;
    }
    if (o.commande == QLatin1String("parametres")) {
        d.CalculerParametres();
        s.Tables(d.Parametres);
        return Succes;
    }

    verifierAvantCalcul(d);
    EspaceTravail e;
    e.SequenceObservations = o.sequence;
    e.DecoupageCaractere = !o.mot;
    d.CalculerParametres();
    DecouperSequence(d.Parametres, e);
    const ParametresModele &p = d.Parametres;
    if (o.trace)
        preparerTrace();
    // Trace d'une évaluation, produite comme à l'ouverture de la fenêtre des traces.
    const auto tracerEvaluation = [&](const QString &algorithme) {
        if (!o.trace)
            return;
        try {
            Trace::ProduireTrace(algorithme, p, e, &d);
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
        ecrireTrace(*o.trace);
    };
    // --chrono : temps processeur du calcul seul, relevé avant toute écriture.
    const ChronoCalcul chrono;
    double duree = 0;
    const auto arreter = [&] { duree = chrono.Millisecondes(); };
    if (o.commande == QLatin1String("forward")) {
        CalculerForward(p, e);
        arreter();
        s.Ligne(s.N(e.Probabilite));
        tracerEvaluation(Trace::AlgorithmeForward);
    } else if (o.commande == QLatin1String("backward")) {
        CalculerBackward(p, e);
        arreter();
        s.Ligne(s.N(e.Probabilite));
        tracerEvaluation(Trace::AlgorithmeBackward);
    } else if (o.commande == QLatin1String("viterbi")) {
        ExigerGeneration(p, e);
        CalculerViterbi(p, e);
        arreter();
        s.Ligne((QStringList{QStringLiteral("Start")} + EtatsCheminViterbi(p, e)).join(QStringLiteral(" - ")));
        s.Ligne(s.N(e.Probabilite));
        tracerEvaluation(Trace::AlgorithmeViterbi);
    } else if (o.commande == QLatin1String("direct") || o.commande == QLatin1String("chemins")) {
        EnumererChemins(p, e);
        arreter();
        if (o.commande == QLatin1String("direct")) {
            s.Ligne(s.N(e.Probabilite));
            tracerEvaluation(Trace::AlgorithmeDirect);
        } else if (e.Probabilite == 0) {
            s.Ligne(QStringLiteral("Aucun chemin ne génère la séquence d'observations."));
        } else {
            const TableDesChemins &t = e.TableChemins;
            for (long long r = 1; r <= t.Lignes(); ++r) {
                const QString pr = o.chiffres == 15 ? t.Texte(r, t.Longueur() + 1) : s.N(t.Probabilite(r));
                s.Ligne(t.TexteChemin(r) + QLatin1Char('\t') + pr +
                        (r == e.MeilleurChemin ? QStringLiteral("\tmeilleur") : QString()));
            }
        }
    } else {
        ExigerGeneration(p, e);
        const long double avant = e.Probabilite;
        // La trace d'un entraînement s'écrit pendant le calcul ; l'image est celle d'avant.
        Trace::ObservateurTrace trace;
        ObservateurEntrainement *observateur = nullptr;
        if (o.trace) {
            try {
                Trace::ExporterImageModele(d);
            } catch (const ETrace &x) {
                throw Echec{Usage, x.Message()};
            }
            observateur = &trace;
        }
        IssueEntrainement issue;
        if (o.commande == QLatin1String("baumwelch")) {
            e.NombreIterations = o.iterations.value_or(10);
            e.Seuil = o.seuil.value_or(2.0L);
            issue = EntrainerBaumWelch(d, e, observateur);
        } else {
            issue = EntrainerViterbi(d, e, observateur);
        }
        arreter();
        if (issue == IssueEntrainement::SeuilDejaAtteint) {
            s.Ligne(QStringLiteral("Le seuil est déjà atteint (P(O|λ) = %1) : le modèle n'est pas modifié.")
                        .arg(s.N(avant)));
        } else {
            s.Ligne(QStringLiteral("Itérations : %1").arg(e.IterationsEffectuees));
            if (issue == IssueEntrainement::LimiteAtteinte)
                ecrire(stderr, QStringLiteral("Le seuil n'est pas atteint après %1 itérations : l'entraînement s'arrête là.")
                                   .arg(LimiteIterationsSeuil));
        }
        s.Ligne(QStringLiteral("P(O|λ) avant : ") + s.N(avant));
        s.Ligne(QStringLiteral("P(O|λ) après : ") + s.N(e.Probabilite));
        s.Tables(d.Parametres);
        if (o.sortie) {
            QString erreur;
            if (!d.EnregistrerFichier(*o.sortie, &erreur))
                throw Echec{Usage, erreur};
        }
        if (o.trace) {
            if (!trace.Erreur.isEmpty())
                throw Echec{Usage, trace.Erreur};
            try {
                Trace::CompleterTraceEntrainement();
            } catch (const ETrace &x) {
                throw Echec{Usage, x.Message()};
            }
            ecrireTrace(*o.trace);
        }
    }
    if (o.chrono)
        s.Ligne(TexteDureeCalcul(duree));
    return Succes;
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Les avertissements de Qt (plate-forme hors écran...) ne doivent pas se mêler aux messages.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Fichiers de travail (journal d'entraînement...) dans un répertoire privé, effacé à la fin ;
    // il sert aussi de répertoire d'exécution à Qt, qui sinon en créerait un dans /tmp.
    QTemporaryDir travail(QDir::tempPath() + QStringLiteral("/hmmcalc-XXXXXX"));
    if (!travail.isValid()) {
        std::fputs("Impossible de créer un répertoire de travail temporaire.\n", stderr);
        return Usage;
    }
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(travail.path()));
    QApplication app(argc, argv);
    Repertoire::Definir(travail.path());
    try {
        return executer(app.arguments());
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
    } catch (const std::exception &e) {
        ecrire(stderr, QStringLiteral("Erreur : ") + QString::fromLocal8Bit(e.what()));
        return Refus;
    }
}
