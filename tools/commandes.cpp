// Les commandes de calcul de hmmcalc, communes aux deux programmes : lecture des options et du
// modèle, vérification, évaluations, décodage, énumération. Qt Core seul.
#include "commandes.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/decodage.h"
#include "algorithms/observateur.h"
#include "algorithms/convergence.h"
#include "algorithms/enumeration.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/fichier.h"
#include "model/parametres.h"
#include "model/textes.h"
#include "sortie_json.h"
#include "version.h"

#include <QJsonArray>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>

namespace Commandes {

namespace {
// --format json : une exécution en échec écrit aussi {"erreur", "code"} sur la sortie standard,
// avec le dernier message d'erreur.
bool formatJson = false;
bool rapportEcrit = false;
QString derniereErreur;

// Le contenu du fichier du modèle ; un modèle protégé exige son mot de passe.
ContenuModele charger(const Options &o)
{
    return ChargerModele(o.modele, o.motDePasse);
}

void verifierAvantCalcul(const ContenuModele &c)
{
    QStringList rapport;
    if (VerifierContenu(c, rapport))
        return;
    throw Echec{Refus, QStringLiteral("Le modèle est incorrect !\n") + rapport.join(QLatin1Char('\n'))};
}

}

ContenuModele ChargerModele(const QString &chemin, const std::optional<QString> &option)
{
    ContenuModele c;
    QString erreur;
    if (!FichierModele::OuvrirContenu(chemin, &c, &erreur))
        throw Echec{Usage, erreur};
    if (c.MotDePasse == QLatin1String("Vide"))
        return c;
    // Le mot de passe n'est lu (entrée standard, environnement) que si le modèle en demande un.
    const std::optional<QString> motDePasse = MotDePasse(option);
    if (!motDePasse)
        throw Echec{Usage, QStringLiteral("Le modèle « %1 » est protégé : donnez son mot de passe avec --mot-de-passe "
                                          "ou HMMCALC_MOT_DE_PASSE.")
                               .arg(chemin)};
    if (*motDePasse != c.MotDePasse)
        throw Echec{Usage, QStringLiteral("Mot de passe incorrect pour le modèle « %1 ».").arg(chemin)};
    return c;
}

void Ecrire(FILE *f, const QString &texte)
{
    if (f == stderr)
        derniereErreur = texte;
    // Un nom venu du modèle ne pilote pas le terminal : ses caractères de commande sont échappés.
    std::fputs(Textes::Visible(texte).toLocal8Bit().constData(), f);
    std::fputc('\n', f);
}

std::optional<int> AideOuVersion(const QStringList &args)
{
    // Une faute d'usage est dite par la lecture des options, même avec --help.
    const Lecture l = Lire(args);
    if (l.erreur)
        return std::nullopt;
    if (l.completion) {
        std::fputs(CompletionBash().toUtf8().constData(), stdout);
        return Succes;
    }
    if (l.aide) {
        std::fputs(Aide(l.commande).toLocal8Bit().constData(), stdout);
        return Succes;
    }
    if (l.version) {
        std::fputs("hmmcalc " HMM_VERSION "\n", stdout);
        return Succes;
    }
    return std::nullopt;
}

bool EstCommandeApprentissage(const QString &commande)
{
    return QStringList{"generer", "posterieur", "exporter", "importer", "treillis"}.contains(commande);
}

void NoterFormat(const QStringList &args)
{
    formatJson = Lire(args).Valeur(QStringLiteral("format")) == QLatin1String("json");
}

bool Options::Entrainement() const
{
    return commande == QLatin1String("baumwelch") || commande == QLatin1String("entrainement-viterbi");
}

Options LireOptions(const QStringList &args)
{
    // Options inconnues, valeurs manquantes, options étrangères à la commande : refusées ici.
    const Lecture l = Analyser(args);
    Options o;
    o.commande = l.commande;
    o.mot = l.A(QStringLiteral("mot"));
    o.echelle = l.A(QStringLiteral("echelle"));
    o.historique = l.A(QStringLiteral("historique"));
    o.chrono = l.A(QStringLiteral("chrono"));
    o.motDePasse = l.Valeur(QStringLiteral("mot-de-passe"));
    o.sortie = l.Valeur(QStringLiteral("sortie"));
    o.trace = l.Valeur(QStringLiteral("trace"));
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("iterations"))) {
        bool ok = false;
        o.iterations = v->toInt(&ok);
        if (!ok || *o.iterations < 1)
            throw Echec{Usage, QStringLiteral("Nombre d'itérations incorrect : « %1 » (un entier, 1 au moins).").arg(*v)};
    }
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("seuil"))) {
        bool ok = false;
        o.seuil = Nombres::VersExtended(*v, &ok);
        if (!ok)
            throw Echec{Usage, QStringLiteral("Seuil incorrect : « %1 » n'est pas un nombre décimal.").arg(*v)};
    }
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("chiffres")))
        o.chiffres = Chiffres(*v);
    if (const std::optional<QString> v = l.Valeur(QStringLiteral("format"))) {
        if (*v != QLatin1String("texte") && *v != QLatin1String("json"))
            throw Echec{Usage, QStringLiteral("Format inconnu : « %1 » (texte ou json).").arg(*v)};
        o.json = *v == QLatin1String("json");
    }
    const QStringList positions = l.positions;
    const QStringList avecSequence = {"forward", "backward", "direct", "viterbi", "chemins", "baumwelch",
                                      "entrainement-viterbi"};
    const bool veutSequence = avecSequence.contains(o.commande);
    const int attendus = veutSequence ? 2 : 1;
    // Les entraînements, seuls à accepter plusieurs séquences.
    const bool plusieurs = o.Entrainement();
    if (plusieurs ? positions.size() < attendus : positions.size() != attendus)
        throw Echec{Usage, veutSequence ? QStringLiteral("La commande %1 attend un modèle et une séquence.").arg(o.commande)
                                        : QStringLiteral("La commande %1 attend un modèle.").arg(o.commande)};
    o.modele = positions[0];
    if (veutSequence)
        o.sequence = positions[1];
    if (plusieurs)
        o.sequences = positions.mid(1);
    const int entrees = int(o.sequences.count(QStringLiteral("-"))) +
                        int(!plusieurs && o.sequence == QLatin1String("-")) +
                        int(o.motDePasse == QStringLiteral("-"));
    if (entrees > 1)
        throw Echec{Usage, QStringLiteral("L'entrée standard « - » ne se lit qu'une fois.")};
    if (o.iterations && o.seuil)
        throw Echec{Usage, QStringLiteral("Choisissez --iterations ou --seuil, pas les deux.")};
    return o;
}

// SEQUENCE « - » : l'entrée standard, car Linux borne un argument à 128 Kio. Bornée elle aussi ;
// les fins de ligne d'un texte coupé en lignes ne sont pas des symboles.
namespace {
constexpr qint64 LimiteEntree = 16 * 1024 * 1024;
}

QString LireEntree()
{
    QByteArray octets;
    char tampon[65536];
    for (;;) {
        const std::size_t n = std::fread(tampon, 1, sizeof tampon, stdin);
        octets.append(tampon, qsizetype(n));
        if (octets.size() > LimiteEntree)
            throw Echec{Usage, QStringLiteral("La séquence lue sur l'entrée standard dépasse %1 octets.").arg(LimiteEntree)};
        if (n < sizeof tampon) {
            if (std::ferror(stdin))
                throw Echec{Usage, QStringLiteral("Impossible de lire la séquence sur l'entrée standard.")};
            break;
        }
    }
    QString t = QString::fromLocal8Bit(octets);
    t.remove(QLatin1Char('\r'));
    return t;
}

QString LireSequence(const QString &argument, bool parMot)
{
    if (argument != QLatin1String("-"))
        return argument;
    QString t = LireEntree();
    if (parMot) {
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    } else {
        t.remove(QLatin1Char('\n'));
    }
    return t;
}

namespace {
// Les séquences d'un entraînement : chaque argument, « - » donnant une séquence par ligne,
// rangées droit dans Formation (ni liste de lignes ni copie par séquence).
void lireSequences(EspaceTravail &e, const QStringList &arguments)
{
    e.Formation.clear();
    for (const QString &a : arguments) {
        if (a == QLatin1String("-"))
            e.Formation.AjouterLignes(LireEntree());
        else
            e.Formation.Ajouter(a);
    }
    TerminerSequencesFormation(e);
}
}

QString Sortie::N(long double x) const
{
    return Nombres::Formater(x, chiffres);
}

void Sortie::Ligne(const QString &t) const
{
    if (!muet)
        Ecrire(stdout, t);
}

void Sortie::Tables(const ParametresModele &p) const
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
    // Une case après une tabulation, sans chaîne temporaire ; un zéro (la plupart des cases d'un
    // modèle creux) sans passer par le formatage.
    const auto cellule = [&](QString &ligne, long double x) {
        ligne += QLatin1Char('\t');
        if (x == 0)
            ligne += QLatin1Char('0');
        else
            ligne += N(x);
    };
    Ligne(QStringLiteral("Vecteur π :"));
    Ligne(entetesEtats);
    QString l = QStringLiteral("START");
    for (int i = 1; i <= p.N; ++i)
        cellule(l, p.PI[i]);
    Ligne(l);
    Ligne(QStringLiteral("Matrice A :"));
    Ligne(entetesEtats);
    for (int i = 1; i <= p.N; ++i) {
        l.clear();
        l += p.NomEtat(i);
        for (int j = 1; j <= p.N; ++j)
            cellule(l, p.A[i][j]);
        Ligne(l);
    }
    Ligne(QStringLiteral("Matrice B :"));
    l.clear();
    for (int k = 1; k <= p.M; ++k) {
        l += QStringLiteral("\t\"");
        l += p.Symboles[k];
        l += QLatin1Char('"');
    }
    Ligne(l);
    for (int i = 1; i <= p.N; ++i) {
        l.clear();
        l += p.NomEtat(i);
        for (int k = 1; k <= p.M; ++k)
            cellule(l, p.B[i][k]);
        Ligne(l);
    }
}

Execution::Execution(const Options &o)
    : o(o), s(o.chiffres, o.json),
      r{{QStringLiteral("commande"), o.commande}, {QStringLiteral("modele"), o.modele}}
{
    if (!o.sequence.isEmpty())
        r[QStringLiteral("sequence")] = o.sequence;
}

void Execution::Probabilite(const ParametresModele &p, const EspaceTravail &e, const QString &prefixe)
{
    s.Ligne(prefixe + TexteProbabilite(e, o.chiffres));
    if (e.MisALEchelle)
        s.Ligne(QStringLiteral("log10 ") + (prefixe.isEmpty() ? QStringLiteral("P(O|λ) = ") : prefixe) +
                s.N(e.ProbabiliteEchelle.Log10()));
    const QString pourquoi = ExplicationZero(p, e);
    if (!pourquoi.isEmpty())
        s.Ligne(pourquoi);
}

void Execution::JsonEchelle(const EspaceTravail &e, const QString &cle)
{
    if (!e.MisALEchelle)
        return;
    r[cle] = SortieJson::HorsEtendu(e.ProbabiliteEchelle, true);
}

int Execution::Rendre(int code)
{
    if (o.json) {
        if (CheminsEnFlux)
            SortieJson::EcrireAvecChemins(r, CheminsEnFlux->TableChemins, CheminsEnFlux->MeilleurChemin);
        else if (!TableauxEnFlux.empty())
            SortieJson::EcrireAvecTableaux(r, TableauxEnFlux);
        else
            SortieJson::Ecrire(r);
        rapportEcrit = true;
    }
    return code;
}

int Execution::Reussir()
{
    if (o.chrono) {
        s.Ligne(TexteDureeCalcul(duree));
        r[QStringLiteral("duree_ms")] = duree;
    }
    return Rendre(Succes);
}

namespace {
// Relaie tout à l'observateur suivant ; à Debut, appelle d'abord SurDebut.
class RelaisDebut : public RelaisEntrainement {
public:
    using RelaisEntrainement::RelaisEntrainement;
    std::function<void()> SurDebut;

    void Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e) override
    {
        if (SurDebut)
            SurDebut();
        RelaisEntrainement::Debut(type, p, e);
    }
};
}

// Un entraînement et ses sorties (texte et JSON) : sur la valeur du modèle quand `document` est
// donné (--sortie, --trace), sinon sur une copie de λ.
void Entrainer(Execution &x, const ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *suivant,
               const EntrainementDocument &document)
{
    const Options &o = x.o;
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
    // P(O_k|λ) du modèle initial, gardées en nombres (pas en textes) : des millions de courtes
    // séquences ne coûtent ainsi que 16 octets chacune.
    std::vector<ProbabiliteRangee> avantSequences;
    // P(O_k|λ) en JSON : hors de l'étendu, la valeur 0 est accompagnée de son texte et de log10.
    const auto sequenceJson = [&e](const GrandeProbabilite &g) {
        if (g.Representable() || g.EstNulle())
            return SortieJson::Probabilite(g.VersEtendu());
        return SortieJson::HorsEtendu(g, e.MisALEchelle);
    };
    const auto releverAvant = [&] {
        avant = TexteProbabilite(e, o.chiffres);
        avantEchelle = e.MisALEchelle || (plusieurs && !e.ProbabiliteEchelle.Representable());
        log10Avant = e.ProbabiliteEchelle.Log10();
        valeurAvant = e.Probabilite;
        produitAvant = e.ProbabiliteEchelle;
        avantSequences = e.Formation.Probabilites();
    };
    const bool baumWelch = o.commande == QLatin1String("baumwelch");
    // Baum-Welch sur une séquence : P(O|λ) du modèle initial est celle du Forward qui décide du
    // calcul (et refuse une séquence impossible), relevée à Debut ; un Forward de moins. Viterbi
    // n'y laisse que la probabilité du meilleur chemin : P(O|λ) est calculée à part.
    if (!plusieurs && !baumWelch) {
        Evaluer(p, e, false, mode);
        if (e.ProbabiliteEchelle.EstNulle())
            throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                               CiterSequence(e.SequenceObservations, !e.DecoupageCaractere));
        releverAvant();
    }
    RelaisDebut relais(suivant);
    if (!plusieurs && baumWelch) {
        relais.SurDebut = releverAvant;
        suivant = &relais;
    }
    ObservateurEntrainement *observateur = suivant;
    // --historique : une ligne par itération (numéro, P, log10 P), écrite au fil du calcul.
    HistoriqueConvergence historique(observateur);
    if (o.historique || plusieurs) {
        historique.SurPoint = [&](const PointConvergence &point) {
            if (plusieurs && point.Iteration == 0 && avant.isEmpty())
                releverAvant();
            if (o.historique)
                s.Ligne(QStringLiteral("%1\t%2\t%3")
                            .arg(point.Iteration)
                            .arg(point.PEchelle.Texte(o.chiffres), s.N(point.Log10P)));
        };
        observateur = &historique;
    }
    if (baumWelch) {
        e.NombreIterations = o.iterations.value_or(10);
        e.Seuil = o.seuil.value_or(2.0L);
    }
    const Entrainement type = baumWelch ? Entrainement::BaumWelch : Entrainement::Viterbi;
    // Sans --sortie ni --trace, le modèle n'est ni réécrit ni journalisé :
    // l'entraînement porte sur une copie de λ.
    ParametresModele appris;
    const ParametresModele *lambdaDocument = nullptr;
    IssueEntrainement issue;
    if (document) {
        issue = document(type, observateur, mode, &lambdaDocument);
    } else {
        appris = p;
        issue = e.PlusieursSequences() ? EntrainerParametresFormation(type, appris, e, observateur, mode)
                                       : EntrainerParametres(type, appris, e, observateur, mode);
    }
    const ParametresModele &lambda = lambdaDocument ? *lambdaDocument : appris;
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
        for (int k = 1; k <= K && !o.json; ++k)
            s.Ligne(QStringLiteral("P(O_%1|λ) avant : ").arg(k) +
                    avantSequences[std::size_t(k - 1)].Valeur().Texte(o.chiffres));
        s.Ligne(QStringLiteral("P(O|λ) avant (produit) : ") + avant);
        if (avantEchelle)
            s.Ligne(QStringLiteral("log10 P(O|λ) avant (produit) : ") + s.N(log10Avant));
        for (int k = 1; k <= K && !o.json; ++k)
            s.Ligne(QStringLiteral("P(O_%1|λ) après : ").arg(k) + TexteProbabiliteFormation(e, k, o.chiffres));
        s.Ligne(QStringLiteral("P(O|λ) après (produit) : ") + TexteProbabilite(e, o.chiffres));
        if (e.MisALEchelle || !e.ProbabiliteEchelle.Representable())
            s.Ligne(QStringLiteral("log10 P(O|λ) après (produit) : ") + s.N(e.ProbabiliteEchelle.Log10()));
        if (o.json) {
            // Écrits au fil de la sortie (Rendre) : e vit jusque-là, les P(O_k|λ) d'avant partent avec.
            auto avantK = std::make_shared<std::vector<ProbabiliteRangee>>(std::move(avantSequences));
            x.TableauxEnFlux.push_back({QStringLiteral("avant_sequences"), K, [avantK, sequenceJson](qsizetype k) {
                                            return QJsonValue(sequenceJson((*avantK)[std::size_t(k)].Valeur()));
                                        }});
            x.TableauxEnFlux.push_back({QStringLiteral("apres_sequences"), K, [&e, sequenceJson](qsizetype k) {
                                            return QJsonValue(sequenceJson(e.Formation.ProbabiliteEchelle(std::size_t(k))));
                                        }});
        }
    } else {
        s.Ligne(QStringLiteral("P(O|λ) avant : ") + avant);
        if (avantEchelle)
            s.Ligne(QStringLiteral("log10 P(O|λ) avant : ") + s.N(log10Avant));
        x.Probabilite(lambda, e, QStringLiteral("P(O|λ) après : "));
    }
    s.Tables(lambda);
    r[QStringLiteral("issue")] = SortieJson::Issue(issue);
    r[QStringLiteral("iterations")] = e.IterationsEffectuees;
    r[QStringLiteral("avant")] = SortieJson::Probabilite(valeurAvant);
    r[QStringLiteral("apres")] = SortieJson::Probabilite(e.Probabilite);
    x.JsonEchelle(e, QStringLiteral("apres"));
    // Plusieurs séquences : un produit hors de l'étendu garde son texte et son log10.
    const auto produitJson = [&](const QString &cle, const GrandeProbabilite &g) {
        if (plusieurs && !g.Representable())
            r[cle] = SortieJson::HorsEtendu(g, e.MisALEchelle);
    };
    produitJson(QStringLiteral("avant"), produitAvant);
    produitJson(QStringLiteral("apres"), e.ProbabiliteEchelle);
    // Les tables en JSON ne sont bâties que pour la sortie JSON (97 états : 20 000 nombres).
    if (o.json)
        r[QStringLiteral("parametres")] = SortieJson::Parametres(lambda);
}

int Executer(const Options &o, Complements *complements)
{
    Execution x(o);
    const Sortie &s = x.s;
    QJsonObject &r = x.r;
    const ContenuModele contenu = charger(o);

    if (o.commande == QLatin1String("verifier")) {
        QStringList rapport;
        const bool correct = VerifierContenu(contenu, rapport);
        for (const QString &l : rapport)
            s.Ligne(l);
        r[QStringLiteral("verification")] = SortieJson::Verification(correct, rapport);
        return x.Rendre(correct ? Succes : Refus);
    }
    ParametresModele p;
    if (o.commande == QLatin1String("parametres")) {
        CalculerParametres(contenu, p);
        s.Tables(p);
        if (o.json)
            r[QStringLiteral("parametres")] = SortieJson::Parametres(p);
        return x.Rendre(Succes);
    }
    if ((o.trace || (o.Entrainement() && o.sortie)) && !complements)
        throw Echec{Usage, QStringLiteral("La commande %1 demande les compléments du modèle (traces, enregistrement).").arg(o.commande)};

    verifierAvantCalcul(contenu);
    EspaceTravail e;
    e.DecoupageCaractere = !o.mot;
    if (o.sequences.isEmpty())
        e.SequenceObservations = LireSequence(o.sequence, o.mot);
    else
        lireSequences(e, o.sequences);
    // La liste JSON des séquences n'est bâtie que pour la sortie JSON (des millions de courtes
    // séquences en feraient des centaines de Mo).
    if (e.PlusieursSequences() && o.json)
        x.TableauxEnFlux.push_back({QStringLiteral("sequences"), qsizetype(e.Formation.size()),
                                    [&e](qsizetype k) { return QJsonValue(e.Formation.Texte(std::size_t(k))); }});
    CalculerParametres(contenu, p);
    DecouperSequence(p, e);
    // Tables entières pour une trace ou un entraînement seulement : P(O|λ) ou le chemin seuls
    // se calculent sur deux lignes de travail (et les pointeurs de Viterbi en octets).
    // Un entraînement mis à l'échelle sur une séquence ne garde que ᾱ entier.
    e.GarderTables = o.trace.has_value() || (o.Entrainement() && e.PlusieursSequences());
    if (complements && (o.trace || o.Entrainement()))
        complements->Preparer(contenu);
    // Trace d'une évaluation, produite comme à l'ouverture de la fenêtre des traces.
    const auto tracerEvaluation = [&] {
        if (o.trace)
            complements->TracerEvaluation(o.commande, p, e);
    };
    // Calcul exact, mis à l'échelle quand il sort de la plage de l'étendu (ou --echelle).
    const ModeCalcul mode = o.echelle ? ModeCalcul::Echelle : ModeCalcul::Automatique;
    // --chrono : temps processeur du calcul seul, relevé avant toute écriture.
    x.Demarrer();
    if (o.commande == QLatin1String("forward") || o.commande == QLatin1String("backward")) {
        const bool arriere = o.commande == QLatin1String("backward");
        Evaluer(p, e, arriere, mode);
        x.Arreter();
        x.Probabilite(p, e, QString());
        r[QStringLiteral("probabilite")] = SortieJson::Probabilite(e.Probabilite);
        x.JsonEchelle(e, QStringLiteral("probabilite"));
        tracerEvaluation();
    } else if (o.commande == QLatin1String("viterbi")) {
        Decoder(p, e, mode);
        x.Arreter();
        if (o.json) {
            r[QStringLiteral("chemin")] = SortieJson::Noms(QStringList{QStringLiteral("Start")} + EtatsCheminViterbi(p, e));
        } else {
            // Le chemin écrit par morceaux, sans liste de noms ni texte entier (dix millions
            // d'états : des centaines de Mo de moins).
            QByteArray noms[ParametresModele::Taille];
            for (int i = 1; i <= p.N; ++i)
                noms[i] = (QStringLiteral(" - ") + p.NomEtat(i)).toLocal8Bit();
            QByteArray morceau("Start");
            for (int t = 1; t <= e.LongueurSequence; ++t) {
                morceau += noms[e.CheminViterbi[t]];
                if (morceau.size() >= 65536) {
                    std::fwrite(morceau.constData(), 1, std::size_t(morceau.size()), stdout);
                    morceau.clear();
                }
            }
            morceau += '\n';
            std::fwrite(morceau.constData(), 1, std::size_t(morceau.size()), stdout);
        }
        x.Probabilite(p, e, QString());
        r[QStringLiteral("probabilite")] = SortieJson::Probabilite(e.Probabilite);
        x.JsonEchelle(e, QStringLiteral("probabilite"));
        tracerEvaluation();
    } else if (o.commande == QLatin1String("direct") || o.commande == QLatin1String("chemins")) {
        EnumererChemins(p, e);
        x.Arreter();
        r[QStringLiteral("probabilite")] = SortieJson::Probabilite(e.Probabilite);
        // Le tableau JSON des chemins est écrit au fil de la table, à la fin (Rendre).
        if (o.commande == QLatin1String("chemins") && o.json)
            x.CheminsEnFlux = &e;
        if (o.commande == QLatin1String("direct")) {
            s.Ligne(s.N(e.Probabilite));
            const QString pourquoi = ExplicationZero(p, e, true);
            if (!pourquoi.isEmpty())
                s.Ligne(pourquoi);
            tracerEvaluation();
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
    } else if (complements) {
        complements->Entrainer(x, p, e);
    } else {
        Entrainer(x, p, e, nullptr, {});
    }
    return x.Reussir();
}

int CodeEchec(std::exception_ptr erreur)
{
    try {
        std::rethrow_exception(erreur);
    } catch (const Echec &e) {
        Ecrire(stderr, e.message);
        return e.code;
    } catch (const ERefusCalcul &e) {
        Ecrire(stderr, e.Message());
        return Refus;
    } catch (const EConversion &e) {
        Ecrire(stderr, QStringLiteral("Le modèle est incorrect : ") + e.Message());
        return Refus;
    } catch (const ETropDeSymboles &e) {
        Ecrire(stderr, e.Message());
        return Refus;
    } catch (const std::bad_alloc &) {
        Ecrire(stderr, MemoireTables::MessageManque());
        return Refus;
    } catch (const std::exception &e) {
        Ecrire(stderr, QStringLiteral("Erreur : ") + QString::fromLocal8Bit(e.what()));
        return Refus;
    }
}

void Terminer(int code)
{
    if (formatJson && !rapportEcrit)
        SortieJson::Ecrire({{QStringLiteral("erreur"), derniereErreur}, {QStringLiteral("code"), code}});
    // Tout est écrit (fichiers validés, répertoire de travail effacé) : sortie immédiate, sans
    // destructeurs.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

}
