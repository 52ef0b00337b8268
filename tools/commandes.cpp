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
#include <new>

namespace Commandes {

namespace {
// --format json : une exécution en échec écrit aussi {"erreur", "code"} sur la sortie standard,
// avec le dernier message d'erreur.
bool formatJson = false;
bool rapportEcrit = false;
QString derniereErreur;

const char *const Aide = R"(hmmcalc — calculs sur un modèle de Markov caché discret (fichier .hmm), sans fenêtre.

Usage :
  hmmcalc verifier MODELE.hmm
  hmmcalc parametres MODELE.hmm
  hmmcalc forward|backward|direct|viterbi MODELE.hmm SEQUENCE [--mot] [--trace TRACE.htm]
  hmmcalc chemins MODELE.hmm SEQUENCE [--mot]
  hmmcalc baumwelch MODELE.hmm SEQUENCE... [--iterations K | --seuil S] [--mot] [--sortie NOUVEAU.hmm]
                    [--trace TRACE.htm]
  hmmcalc entrainement-viterbi MODELE.hmm SEQUENCE... [--mot] [--sortie NOUVEAU.hmm] [--trace TRACE.htm]
  (les deux entraînements acceptent aussi --historique)
  hmmcalc generer MODELE.hmm T [--graine S] [--chemin]
  hmmcalc posterieur MODELE.hmm SEQUENCE [--mot]
  hmmcalc treillis MODELE.hmm SEQUENCE [--mot] --valeurs alpha|beta|delta|gamma --image F.png|F.svg
                   [--colonnes DEBUT:FIN]
  hmmcalc exporter MODELE.hmm FICHIER.json
  hmmcalc importer FICHIER.json NOUVEAU.hmm
  hmmcalc --help | --version

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
                        Plusieurs séquences de formation (SEQUENCE répété, ou « - ») : chaque
                        séquence compte avec sa propre P(O_k|λ), les espérances (ou les comptes)
                        sont sommées sur les séquences, π est la moyenne des γ_1 (des départs
                        des chemins). La sortie donne P(O_k|λ) de chaque séquence, avant et
                        après, puis leur produit « P(O|λ) avant (produit) » ; --seuil compare
                        ce produit au seuil.
  generer               une séquence de T observations tirée du modèle (chemin caché depuis START),
                        sur une ligne ; --chemin ajoute le chemin caché. Même graine, même séquence
                        sur toute machine ; sans --graine, la graine tirée est écrite sur l'erreur.
  posterieur            le chemin des états les plus probables à chaque instant (argmax γ_t), puis
                        la table des γ_t(i) = α_t(i) β_t(i) / P(O|λ).
  treillis              l'image du treillis (états × instants) avec α, β, δ ou γ dans chaque nœud
                        et le chemin de Viterbi en gras, en PNG ou en SVG d'après l'extension ;
                        puis P(O|λ) et la table des valeurs. Hors de la plage de l'étendu, le
                        calcul est mis à l'échelle : l'en-tête donne log10 P(O|λ), la table les
                        facteurs c_t et log10 des valeurs (γ est tiré de ᾱ et β̂).
                        --colonnes DEBUT:FIN n'en dessine que les instants DEBUT à FIN. Une image
                        de plus de 64 Mo est refusée.
  exporter, importer    modèle au format JSON (startprob, transmat, emissionprob, states, symbols,
                        comme les attributs d'un CategoricalHMM de hmmlearn). importer lit
                        16 Mio au plus, « - » : l'entrée standard ; un modèle qui ne se
                        rouvrirait pas n'est ni importé ni exporté.

SEQUENCE « - » : la séquence est lue sur l'entrée standard (16 Mio au plus ; les fins de ligne
sont ignorées, ou séparent les mots avec --mot). Pour baumwelch et entrainement-viterbi, « - »
lit une séquence par ligne (les lignes vides sont ignorées).

Les commandes de calcul vérifient d'abord le modèle, comme le programme. Viterbi et les deux
entraînements refusent une séquence que le modèle ne génère pas (P(O|λ) = 0) ; une probabilité
seulement trop petite pour l'étendu n'est pas un refus : le calcul est alors mis à l'échelle.
L'énumération (direct, chemins) est refusée au-delà d'un million de chemins (N^T).

Options :
  --mot                 découper la séquence mot par mot (mots séparés par des espaces) ;
                        sinon caractère par caractère.
  --mot-de-passe P      le mot de passe d'un modèle protégé.
  --chiffres C          écrire les nombres avec C chiffres significatifs (15 par défaut, 1 à 30),
                        par exemple --chiffres 17.
  --sortie FICHIER      enregistrer le modèle entraîné dans FICHIER (.hmm).
  --echelle             forward, backward, viterbi et entraînements : calcul mis à l'échelle
                        (facteurs c_t ; Viterbi ramené par puissances
                        de deux, ln δ) d'emblée. Sans cette option, il
                        n'est employé que lorsque P(O|λ) sort de la plage de l'étendu (séquences
                        longues) ; la probabilité s'écrit alors « 9,23E-6237 », suivie d'une
                        ligne « log10 P(O|λ) = ... ».
  --trace FICHIER.htm   écrire la trace d'exécution du calcul (page HTML, comme « Voir la trace
                        d'exécution » du programme) dans FICHIER.htm, avec l'image du modèle dans
                        le dossier FICHIER_fichiers à côté. Les modèles de trace sont lus dans
                        share/hmmbench/Modeles (dans l'arbre de construction : Modeles à côté
                        de hmmcalc).
  --historique          entraînements : une ligne par itération avant le résultat : le numéro
                        (0 pour le modèle initial), P(O|λ) et log10 P(O|λ), séparés par des
                        tabulations.
  --format texte|json   la forme de la sortie : texte (par défaut) ou un objet JSON par
                        exécution, où chaque probabilité est {"valeur": nombre, "texte": "17
                        chiffres significatifs"} ; « man hmmcalc » décrit ses clés.
  --version             la version de hmmcalc.
  --chrono              après le résultat, le temps processeur du calcul seul (modèle et séquence
                        déjà lus) : « Durée du calcul : 0,42 ms ».
  --help                cette aide.

Les probabilités s'écrivent au format général, avec le séparateur décimal de la langue de
l'utilisateur. hmmcalc n'écrit que les fichiers demandés par --sortie et --trace.

Codes de sortie : 0 succès ; 1 modèle incorrect ou calcul refusé ; 2 mauvais usage ou fichier
illisible.)";


// Le contenu du fichier du modèle ; un modèle protégé exige son mot de passe.
ContenuModele charger(const Options &o)
{
    ContenuModele c;
    QString erreur;
    if (!FichierModele::OuvrirContenu(o.modele, &c, &erreur))
        throw Echec{Usage, erreur};
    if (c.MotDePasse != QLatin1String("Vide") && !(o.motDePasse && *o.motDePasse == c.MotDePasse)) {
        if (!o.motDePasse)
            throw Echec{Usage, QStringLiteral("Le modèle « %1 » est protégé : donnez son mot de passe avec --mot-de-passe.")
                                   .arg(o.modele)};
        throw Echec{Usage, QStringLiteral("Mot de passe incorrect pour le modèle « %1 ».").arg(o.modele)};
    }
    return c;
}

void verifierAvantCalcul(const ContenuModele &c)
{
    QStringList rapport;
    if (VerifierContenu(c, rapport))
        return;
    throw Echec{Refus, QStringLiteral("Le modèle est incorrect !\n") + rapport.join(QLatin1Char('\n'))};
}

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
    if (args.size() >= 2 && (args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h") ||
                             args[1] == QLatin1String("aide"))) {
        std::fputs(Aide, stdout);
        std::fputc('\n', stdout);
        return Succes;
    }
    if (args.size() >= 2 && args[1] == QLatin1String("--version")) {
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
    formatJson = args.indexOf(QLatin1String("--format")) >= 0 &&
                 args.value(args.indexOf(QLatin1String("--format")) + 1) == QLatin1String("json");
}

bool Options::Entrainement() const
{
    return commande == QLatin1String("baumwelch") || commande == QLatin1String("entrainement-viterbi");
}

Options LireOptions(const QStringList &args)
{
    Options o;
    QStringList positions;
    auto valeur = [&](int &i) { return Valeur(args, i); };
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--mot")) {
            o.mot = true;
        } else if (a == QLatin1String("--echelle")) {
            o.echelle = true;
        } else if (a == QLatin1String("--historique")) {
            o.historique = true;
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
            o.chiffres = Chiffres(valeur(i));
        } else if (a == QLatin1String("--format")) {
            const QString v = valeur(i);
            if (v != QLatin1String("texte") && v != QLatin1String("json"))
                throw Echec{Usage, QStringLiteral("Format inconnu : « %1 » (texte ou json).").arg(v)};
            o.json = v == QLatin1String("json");
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
    if (o.sequences.count(QStringLiteral("-")) > 1)
        throw Echec{Usage, QStringLiteral("L'entrée standard « - » ne se lit qu'une fois.")};
    if (o.mot && !veutSequence)
        throw Echec{Usage, QStringLiteral("L'option --mot ne s'emploie qu'avec une séquence.")};
    if (o.sortie && !plusieurs)
        throw Echec{Usage, QStringLiteral("L'option --sortie ne s'emploie qu'avec un entraînement.")};
    if (o.trace && (!veutSequence || o.commande == QLatin1String("chemins")))
        throw Echec{Usage, QStringLiteral("L'option --trace ne s'emploie qu'avec forward, backward, direct, viterbi, "
                                          "baumwelch ou entrainement-viterbi.")};
    if ((o.iterations || o.seuil) && o.commande != QLatin1String("baumwelch"))
        throw Echec{Usage, QStringLiteral("Les options --iterations et --seuil ne s'emploient qu'avec baumwelch.")};
    if (o.historique && !plusieurs)
        throw Echec{Usage, QStringLiteral("L'option --historique ne s'emploie qu'avec un entraînement.")};
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
// Les séquences d'un entraînement : chaque argument, « - » donnant une séquence par ligne.
QStringList lireSequences(const QStringList &arguments)
{
    QStringList l;
    for (const QString &a : arguments)
        l << (a == QLatin1String("-") ? LignesSequences(LireEntree()) : QStringList{a});
    return l;
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
    r[cle] = QJsonObject{{QStringLiteral("valeur"), 0.0},
                         {QStringLiteral("texte"), e.ProbabiliteEchelle.Texte(17)},
                         {QStringLiteral("log10"), double(e.ProbabiliteEchelle.Log10())},
                         {QStringLiteral("mis_a_l_echelle"), true}};
}

int Execution::Rendre(int code)
{
    if (o.json) {
        if (CheminsEnFlux)
            SortieJson::EcrireAvecChemins(r, CheminsEnFlux->TableChemins, CheminsEnFlux->MeilleurChemin);
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

// Un entraînement et ses sorties (texte et JSON) : sur le document quand `document` est donné
// (hmmcalc-complet, pour --sortie et --trace), sinon sur une copie de λ.
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
    // séquences ne coûtent ainsi que quelques dizaines d'octets chacune.
    std::vector<GrandeProbabilite> avantSequences;
    std::vector<long double> avantValeurs;
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
        avantSequences.reserve(e.Formation.size());
        for (const SequenceFormation &f : e.Formation) {
            avantSequences.push_back(f.ProbabiliteEchelle);
            if (o.json)
                avantValeurs.push_back(f.Probabilite);
        }
    };
    if (!plusieurs) {
        Evaluer(p, e, false, mode);
        if (e.ProbabiliteEchelle.EstNulle())
            throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                               CiterSequence(e.SequenceObservations, !e.DecoupageCaractere));
        releverAvant();
    }
    ObservateurEntrainement *observateur = suivant;
    const bool baumWelch = o.commande == QLatin1String("baumwelch");
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
    // Sans document (ni --sortie ni --trace), le modèle n'est ni réécrit ni journalisé :
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
            s.Ligne(QStringLiteral("P(O_%1|λ) avant : ").arg(k) + avantSequences[std::size_t(k - 1)].Texte(o.chiffres));
        s.Ligne(QStringLiteral("P(O|λ) avant (produit) : ") + avant);
        if (avantEchelle)
            s.Ligne(QStringLiteral("log10 P(O|λ) avant (produit) : ") + s.N(log10Avant));
        for (int k = 1; k <= K && !o.json; ++k)
            s.Ligne(QStringLiteral("P(O_%1|λ) après : ").arg(k) + TexteProbabiliteFormation(e, k, o.chiffres));
        s.Ligne(QStringLiteral("P(O|λ) après (produit) : ") + TexteProbabilite(e, o.chiffres));
        if (e.MisALEchelle || !e.ProbabiliteEchelle.Representable())
            s.Ligne(QStringLiteral("log10 P(O|λ) après (produit) : ") + s.N(e.ProbabiliteEchelle.Log10()));
        if (o.json) {
            QJsonArray avantJson, apresJson;
            for (int k = 1; k <= K; ++k) {
                SequenceFormation avantK;
                avantK.Probabilite = avantValeurs[std::size_t(k - 1)];
                avantK.ProbabiliteEchelle = avantSequences[std::size_t(k - 1)];
                avantJson << sequenceJson(avantK);
                apresJson << sequenceJson(e.Formation[std::size_t(k - 1)]);
            }
            r[QStringLiteral("avant_sequences")] = avantJson;
            r[QStringLiteral("apres_sequences")] = apresJson;
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
            r[cle] = QJsonObject{{QStringLiteral("valeur"), 0.0},
                                 {QStringLiteral("texte"), g.Texte(17)},
                                 {QStringLiteral("log10"), double(g.Log10())},
                                 {QStringLiteral("mis_a_l_echelle"), e.MisALEchelle}};
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
        throw Echec{Usage, QStringLiteral("La commande %1 demande le programme complet (hmmcalc-complet).").arg(o.commande)};

    verifierAvantCalcul(contenu);
    EspaceTravail e;
    e.DecoupageCaractere = !o.mot;
    if (o.sequences.isEmpty())
        e.SequenceObservations = LireSequence(o.sequence, o.mot);
    else
        DefinirSequencesFormation(e, lireSequences(o.sequences));
    // La liste JSON des séquences n'est bâtie que pour la sortie JSON (des millions de courtes
    // séquences en feraient des centaines de Mo).
    if (e.PlusieursSequences() && o.json) {
        QStringList textesFormation;
        for (const SequenceFormation &f : e.Formation)
            textesFormation << f.Texte;
        r[QStringLiteral("sequences")] = SortieJson::Noms(textesFormation);
    }
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
