// hmmcalc-complet : hmmcalc avec le document du programme (boîtes et graphe, donc Qt Widgets),
// pour ce qui en a besoin : traces, entraînements et report des valeurs, apprentissage. hmmcalc
// le lance pour ces commandes ; les autres lui sont communes (commandes.cpp).
#include "apprentissage.h"
#include "commandes.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/convergence.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "trace/document_trace.h"
#include "trace/enregistrement.h"
#include "trace/image.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"
#include "sortie_json.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace Commandes;

// --trace : les modèles de trace livrés à côté de hmmcalc sont copiés dans le répertoire de
// travail, la trace y est produite comme dans le programme, puis copiée avec son image.
void preparerTrace()
{
    const QDir livres(Repertoire::DossierRessources() + QStringLiteral("/Modeles"));
    if (livres.entryList({QStringLiteral("*.htm")}, QDir::Files).isEmpty())
        throw Echec{Usage, QStringLiteral("Les modèles de trace sont introuvables dans « %1 ».")
                               .arg(QDir::toNativeSeparators(livres.path()))};
    QDir().mkpath(Trace::CheminModele(QString()));
    for (const QString &f : livres.entryList({QStringLiteral("*.htm")}, QDir::Files)) {
        QByteArray octets;
        QString erreur;
        if (!Textes::LireOctets(livres.filePath(f), Textes::LimiteLignes, &octets, &erreur) ||
            !Textes::EcrireOctets(Trace::CheminModele(f), octets, &erreur))
            throw Echec{Usage, QStringLiteral("Le modèle de trace « %1 » ne peut pas être copié : %2.").arg(f, erreur)};
    }
}

void ecrireTrace(const QString &destination)
{
    try {
        Trace::EnregistrerTraceSous(destination);
    } catch (const ETrace &x) {
        throw Echec{Usage, x.Message()};
    }
}

// Le document, bâti du contenu déjà lu (mot de passe compris) et vérifié.
class ComplementsDocument : public Complements {
public:
    explicit ComplementsDocument(const Options &o) : o(o) {}

    void Preparer(const ContenuModele &contenu) override
    {
        QString erreur;
        if (d.ChargerLignes(FichierModele::Ecrire(contenu), false, QFileInfo(o.modele).fileName(), &erreur) !=
            Chargement::Reussi)
            throw Echec{Usage, erreur};
        if (o.trace)
            preparerTrace();
    }

    void TracerEvaluation(const QString &commande, const ParametresModele &p, EspaceTravail &e) override
    {
        const QString algorithme = commande == QLatin1String("forward")    ? Trace::AlgorithmeForward
                                   : commande == QLatin1String("backward") ? Trace::AlgorithmeBackward
                                   : commande == QLatin1String("viterbi")  ? Trace::AlgorithmeViterbi
                                                                           : Trace::AlgorithmeDirect;
        try {
            Trace::ProduireTrace(algorithme, p, e, &d);
        } catch (const ETrace &x) {
            throw Echec{Usage, x.Message()};
        }
        ecrireTrace(*o.trace);
    }

    void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e) override;

private:
    const Options &o;
    DocumentModele d;
};

void ComplementsDocument::Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e)
{
    const Sortie &s = x.s;
    QJsonObject &r = x.r;
    const ModeCalcul mode = o.echelle ? ModeCalcul::Echelle : ModeCalcul::Automatique;
    // Plusieurs séquences : l'entraînement refuse lui-même une séquence impossible, et les
    // P(O_k|λ) du modèle initial sont relevées à son début (SurPoint de l'itération 0).
    const bool plusieurs = e.PlusieursSequences();
    QString avant;
    bool avantEchelle = false;
    long double log10Avant = 0, valeurAvant = 0;
    GrandeProbabilite produitAvant;
    QStringList avantSequences;
    QJsonArray avantJson;
    // P(O_k|λ) en JSON : hors de l'étendu, la valeur 0 est accompagnée de son texte et de log10.
    const auto sequenceJson = [&](const SequenceFormation &f) {
        if (f.ProbabiliteEchelle.Representable() || f.ProbabiliteEchelle.EstNulle())
            return SortieJson::Probabilite(f.Probabilite);
        return QJsonObject{{QStringLiteral("valeur"), 0.0},
                           {QStringLiteral("texte"), f.ProbabiliteEchelle.Texte(17)},
                           {QStringLiteral("log10"), double(f.ProbabiliteEchelle.Log10())},
                           {QStringLiteral("mis_a_l_echelle"), e.MisALEchelle}};
    };
    const auto releverAvant = [&] {
        avant = TexteProbabilite(e, o.chiffres);
        avantEchelle = e.MisALEchelle || (plusieurs && !e.ProbabiliteEchelle.Representable());
        log10Avant = e.ProbabiliteEchelle.Log10();
        valeurAvant = e.Probabilite;
        produitAvant = e.ProbabiliteEchelle;
        for (int k = 1; k <= int(e.Formation.size()); ++k) {
            avantSequences << TexteProbabiliteFormation(e, k, o.chiffres);
            avantJson << sequenceJson(e.Formation[std::size_t(k - 1)]);
        }
    };
    if (!plusieurs) {
        Evaluer(p, e, false, mode);
        if (e.ProbabiliteEchelle.EstNulle())
            throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                               CiterSequence(e.SequenceObservations, !e.DecoupageCaractere));
        releverAvant();
    }
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
    const bool baumWelch = o.commande == QLatin1String("baumwelch");
    // --historique : une ligne par itération (numéro, P, log10 P), écrite au fil du calcul.
    HistoriqueConvergence historique(observateur);
    if (o.historique || plusieurs) {
        historique.SurPoint = [&](const PointConvergence &point) {
            if (plusieurs && point.Iteration == 0 && avant.isEmpty())
                releverAvant();
            if (o.historique)
                s.Ligne(QStringLiteral("%1\t%2\t%3").arg(point.Iteration).arg(s.N(point.P), s.N(point.Log10P)));
        };
        observateur = &historique;
    }
    if (baumWelch) {
        e.NombreIterations = o.iterations.value_or(10);
        e.Seuil = o.seuil.value_or(2.0L);
    }
    const IssueEntrainement issue =
        ::Entrainer(baumWelch ? Entrainement::BaumWelch : Entrainement::Viterbi, d, e, observateur, mode);
    x.Arreter();
    if (issue == IssueEntrainement::SeuilDejaAtteint) {
        s.Ligne(QStringLiteral("Le seuil est déjà atteint (P(O|λ) = %1) : le modèle n'est pas modifié.")
                    .arg(avant));
    } else {
        s.Ligne(QStringLiteral("Itérations : %1").arg(e.IterationsEffectuees));
        if (issue == IssueEntrainement::LimiteAtteinte)
            Ecrire(stderr, QStringLiteral("Le seuil n'est pas atteint après %1 itérations : l'entraînement s'arrête là.")
                               .arg(LimiteIterationsSeuil));
    }
    if (plusieurs) {
        // Chaque séquence, puis le produit (log10 quand il sort de l'étendu ou que le calcul
        // a été mis à l'échelle).
        const int K = int(e.Formation.size());
        s.Ligne(QStringLiteral("Séquences : %1").arg(K));
        for (int k = 1; k <= K; ++k)
            s.Ligne(QStringLiteral("P(O_%1|λ) avant : ").arg(k) + avantSequences.value(k - 1));
        s.Ligne(QStringLiteral("P(O|λ) avant (produit) : ") + avant);
        if (avantEchelle)
            s.Ligne(QStringLiteral("log10 P(O|λ) avant (produit) : ") + s.N(log10Avant));
        QJsonArray apresJson;
        for (int k = 1; k <= K; ++k) {
            s.Ligne(QStringLiteral("P(O_%1|λ) après : ").arg(k) + TexteProbabiliteFormation(e, k, o.chiffres));
            apresJson << sequenceJson(e.Formation[std::size_t(k - 1)]);
        }
        s.Ligne(QStringLiteral("P(O|λ) après (produit) : ") + TexteProbabilite(e, o.chiffres));
        if (e.MisALEchelle || !e.ProbabiliteEchelle.Representable())
            s.Ligne(QStringLiteral("log10 P(O|λ) après (produit) : ") + s.N(e.ProbabiliteEchelle.Log10()));
        r[QStringLiteral("avant_sequences")] = avantJson;
        r[QStringLiteral("apres_sequences")] = apresJson;
    } else {
        s.Ligne(QStringLiteral("P(O|λ) avant : ") + avant);
        if (avantEchelle)
            s.Ligne(QStringLiteral("log10 P(O|λ) avant : ") + s.N(log10Avant));
        x.Probabilite(d.Parametres, e, QStringLiteral("P(O|λ) après : "));
    }
    s.Tables(d.Parametres);
    r[QStringLiteral("issue")] = SortieJson::Issue(issue);
    r[QStringLiteral("iterations")] = e.IterationsEffectuees;
    r[QStringLiteral("avant")] = SortieJson::Probabilite(valeurAvant);
    r[QStringLiteral("apres")] = SortieJson::Probabilite(e.Probabilite);
    x.JsonEchelle(e, QStringLiteral("apres"));
    // Plusieurs séquences : un produit hors de l'étendu garde son texte et son log10.
    const auto produitJson = [&](const QString &cle, const GrandeProbabilite &g) {
        if (plusieurs && !g.Representable())
            r[cle] = QJsonObject{{QStringLiteral("valeur"), 0.0},
                                 {QStringLiteral("texte"), g.Texte(17)},
                                 {QStringLiteral("log10"), double(g.Log10())},
                                 {QStringLiteral("mis_a_l_echelle"), e.MisALEchelle}};
    };
    produitJson(QStringLiteral("avant"), produitAvant);
    produitJson(QStringLiteral("apres"), e.ProbabiliteEchelle);
    r[QStringLiteral("parametres")] = SortieJson::Parametres(d.Parametres);
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
        } catch (const ETrace &erreur) {
            throw Echec{Usage, erreur.Message()};
        }
        ecrireTrace(*o.trace);
    }
}

int executer(const QStringList &args)
{
    if (const std::optional<int> code = AideOuVersion(args))
        return *code;
    NoterFormat(args);
    if (EstCommandeApprentissage(Lire(args).commande))
        return ExecuterApprentissage(args);
    const Options o = LireOptions(args);
    ComplementsDocument complements(o);
    return Executer(o, &complements);
}

// Le répertoire de travail privé est effacé aussi quand hmmcalc est interrompu (SIGINT, SIGTERM,
// SIGHUP, SIGPIPE). Le gestionnaire n'appelle que des fonctions permises dans un signal
// (fork, execv, waitpid, raise) : « rm -rf » efface, puis le signal reprend son effet.
char cheminTravail[4096];

void interrompu(int numero)
{
    const int sauve = errno;
    if (cheminTravail[0]) {
        const pid_t enfant = ::fork();
        if (enfant == 0) {
            const char *const args[] = {"rm", "-rf", "--", cheminTravail, nullptr};
            ::execv("/bin/rm", const_cast<char *const *>(args));
            ::_exit(127);
        }
        if (enfant > 0)
            while (::waitpid(enfant, nullptr, 0) < 0 && errno == EINTR) {
            }
    }
    errno = sauve;
    ::signal(numero, SIG_DFL);
    ::raise(numero);
}

void protegerTravail(const QTemporaryDir &travail)
{
    const QByteArray c = QFile::encodeName(travail.path());
    if (c.size() >= qsizetype(sizeof cheminTravail))
        return;
    std::memcpy(cheminTravail, c.constData(), std::size_t(c.size()) + 1);
    struct sigaction a {};
    a.sa_handler = interrompu;
    sigfillset(&a.sa_mask);
    // Un signal ignoré à l'appel (nohup, tâche de fond) le reste.
    for (int numero : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction avant {};
        if (::sigaction(numero, nullptr, &avant) == 0 && avant.sa_handler != SIG_IGN)
            ::sigaction(numero, &a, nullptr);
    }
}

int lancer(int argc, char **argv)
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
    protegerTravail(travail);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(travail.path()));
    // Les fenêtres du document (boîtes, graphe) exigent une QApplication. Elle n'est jamais
    // détruite : main() termine le processus sans démonter Qt, ce qui coûterait presque autant
    // que de le monter.
    QApplication *app = new QApplication(argc, argv);
    Repertoire::Definir(travail.path());
    try {
        return executer(app->arguments());
    } catch (...) {
        return CodeEchec(std::current_exception());
    }
}

}

int main(int argc, char **argv)
{
    Terminer(lancer(argc, argv));
}
