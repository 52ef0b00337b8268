#include "arguments.h"

#include <QCommandLineParser>
#include <QSet>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace Arguments {

namespace {

const QStringList Evaluations = {"forward", "backward", "direct", "viterbi"};
const QStringList Entrainements = {"baumwelch", "entrainement-viterbi"};
const QStringList AvecSequence = Evaluations + QStringList{"chemins"} + Entrainements + QStringList{"posterieur", "treillis"};
const QStringList Calculs = Evaluations + QStringList{"chemins"} + Entrainements;
const QStringList SortieTexteOuJson = QStringList{"verifier", "parametres"} + Calculs;

// Paragraphes communs à plusieurs commandes, repris par leur aide et, une fois, par l'aide générale.
const QList<QPair<QString, QString>> &notes()
{
    static const QList<QPair<QString, QString>> n = {
        {"entrainement",
         "Les entraînements affichent le nombre d'itérations, P(O|λ) avant et après, puis les nouveaux π, A et B. "
         "Plusieurs séquences de formation (SEQUENCE répété, ou « - ») : chaque séquence compte avec sa propre "
         "P(O_k|λ), les espérances (ou les comptes) sont sommées sur les séquences, π est la moyenne des γ_1 (des "
         "départs des chemins). La sortie donne P(O_k|λ) de chaque séquence, avant et après, puis leur produit "
         "« P(O|λ) avant (produit) » ; --seuil compare ce produit au seuil."},
        {"sequence",
         "SEQUENCE « - » : la séquence est lue sur l'entrée standard (16 Mio au plus ; les fins de ligne sont "
         "ignorées, ou séparent les mots avec --mot). Pour baumwelch et entrainement-viterbi, « - » lit une séquence "
         "par ligne (les lignes vides sont ignorées). Une séquence qui commence par un tiret se donne après « -- », "
         "qui termine les options."},
        {"calcul",
         "Les commandes de calcul vérifient d'abord le modèle, comme le programme. Viterbi et les deux entraînements "
         "refusent une séquence que le modèle ne génère pas (P(O|λ) = 0) ; une probabilité seulement trop petite "
         "pour l'étendu n'est pas un refus : le calcul est alors mis à l'échelle. L'énumération (direct, chemins) "
         "est refusée au-delà d'un million de chemins (N^T)."},
        {"general",
         "Une option à valeur s'écrit « --chiffres 17 » ou « --chiffres=17 ». Les probabilités s'écrivent au format "
         "général, avec le séparateur décimal de la langue de l'utilisateur. hmmcalc n'écrit que les fichiers "
         "demandés par --sortie, --trace et les commandes qui en nomment un."},
        {"codes",
         "Codes de sortie : 0 succès ; 1 l'entrée ne se calcule pas (modèle incorrect, séquence impossible, trop de "
         "chemins) ; 2 mauvais usage (option inconnue, valeur manquante ou incorrecte, fichier illisible, mot de "
         "passe absent ou faux)."},
    };
    return n;
}

QString note(const QString &cle)
{
    for (const auto &[c, texte] : notes())
        if (c == cle)
            return texte;
    return QString();
}

// L'option cachée qui écrit le script de complétion (construction du paquet).
const QString OptionCompletion = QStringLiteral("completion-bash");

const Option *trouverOption(const QString &nom)
{
    for (const Option &o : TableOptions())
        if (o.nom == nom)
            return &o;
    return nullptr;
}

const Commande *trouverCommande(const QString &nom)
{
    for (const Commande &c : TableCommandes())
        if (c.nom == nom)
            return &c;
    return nullptr;
}

bool accepte(const Option &o, const QString &commande)
{
    return o.commandes.isEmpty() || o.commandes.contains(commande);
}

QString tirets(const QString &nom)
{
    return (nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nom;
}

// « a, b ou c »
QString enumeration(const QStringList &l)
{
    if (l.size() < 2)
        return l.join(QString());
    return l.mid(0, l.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" ou ") + l.last();
}

// Le texte en lignes de 79 colonnes au plus, en retrait ; la tête (« --mot ») en début de la
// première ligne, ou seule sur sa ligne quand elle dépasse le retrait.
QString couper(const QString &tete, const QString &texte, int retrait)
{
    constexpr int largeur = 79;
    const QString marge(retrait, QLatin1Char(' '));
    QStringList lignes;
    QString ligne = tete;
    if (!tete.isEmpty() && ligne.size() > retrait - 2) {
        lignes << ligne;
        ligne = marge;
    } else {
        ligne = ligne.leftJustified(retrait, QLatin1Char(' '));
    }
    // Les guillemets restent collés à ce qu'ils entourent.
    const QChar insecable(0x00A0);
    QString t = texte;
    t.replace(QStringLiteral("« "), QStringLiteral("«") + insecable).replace(QStringLiteral(" »"), insecable + QStringLiteral("»"));
    for (QString mot : t.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        mot.replace(insecable, QLatin1Char(' '));
        if (ligne.size() > retrait && ligne.size() + 1 + mot.size() > largeur) {
            lignes << ligne;
            ligne = marge;
        }
        if (ligne.size() > retrait)
            ligne += QLatin1Char(' ');
        ligne += mot;
    }
    lignes << ligne;
    return lignes.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString usage(const Commande &c)
{
    return QStringLiteral("hmmcalc %1 %2 [OPTIONS]").arg(c.nom, c.arguments);
}

QString enteteOption(const Option &o)
{
    return QStringLiteral("  --") + o.nom + (o.valeur.isEmpty() ? QString() : QLatin1Char(' ') + o.valeur);
}

// Où s'arrête l'analyse de Qt quand elle échoue sans option inconnue : une option à valeur en
// dernier argument, ou une valeur donnée par « = » à une option qui n'en prend pas.
QString fauteDeValeur(const QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--"))
            break;
        if (!a.startsWith(QLatin1Char('-')) || a.size() < 2)
            continue;
        const bool longue = a.startsWith(QLatin1String("--"));
        const QString nom = longue ? a.mid(2).section(QLatin1Char('='), 0, 0) : a.mid(a.size() - 1);
        const Option *o = trouverOption(nom);
        const bool avecValeur = o && !o->valeur.isEmpty();
        const bool egal = longue && a.contains(QLatin1Char('='));
        if (avecValeur && !egal && ++i >= args.size())
            return QStringLiteral("L'option %1 attend une valeur.").arg(tirets(nom));
        if (!avecValeur && egal)
            return QStringLiteral("L'option %1 ne prend pas de valeur.").arg(tirets(nom));
    }
    return QStringLiteral("Ligne de commande incorrecte. « hmmcalc --help » donne l'usage.");
}

}

const QList<Commande> &TableCommandes()
{
    static const QList<Commande> c = {
        {"verifier", "MODELE.hmm", "le rapport de vérification du modèle ; code 0 quand il est correct, 1 sinon.", {}},
        {"parametres", "MODELE.hmm",
         "N, M, les états, les symboles, puis le vecteur π et les matrices A et B (colonnes séparées par des "
         "tabulations).",
         {}},
        {"forward", "MODELE.hmm SEQUENCE", "P(O|λ) par la récurrence avant.", {"sequence", "calcul"}},
        {"backward", "MODELE.hmm SEQUENCE", "P(O|λ) par la récurrence arrière.", {"sequence", "calcul"}},
        {"direct", "MODELE.hmm SEQUENCE",
         "P(O|λ) comme somme des probabilités de tous les chemins (approche directe).", {"sequence", "calcul"}},
        {"viterbi", "MODELE.hmm SEQUENCE", "le chemin de Viterbi (« Start - E1 - E2 ») puis sa probabilité.",
         {"sequence", "calcul"}},
        {"chemins", "MODELE.hmm SEQUENCE",
         "une ligne par chemin de probabilité non nulle : le chemin, une tabulation, la probabilité ; le meilleur "
         "chemin est suivi d'une tabulation et de « meilleur ».",
         {"sequence", "calcul"}},
        {"baumwelch", "MODELE.hmm SEQUENCE...",
         "entraînement de Baum-Welch : --iterations K (10 par défaut) itérations au plus, ou --seuil S : jusqu'à ce "
         "que P(O|λ) >= S, au plus 1000 itérations. S = 2 choisit le mode nombre d'itérations. Les deux s'arrêtent "
         "plus tôt quand les paramètres ne changent plus.",
         {"entrainement", "sequence", "calcul"}},
        {"entrainement-viterbi", "MODELE.hmm SEQUENCE...",
         "entraînement de Viterbi (comptes le long du chemin de Viterbi).", {"entrainement", "sequence", "calcul"}},
        {"generer", "MODELE.hmm T",
         "une séquence de T observations tirée du modèle (chemin caché depuis START), sur une ligne ; --chemin "
         "ajoute le chemin caché. Même graine, même séquence sur toute machine ; sans --graine, la graine tirée est "
         "écrite sur l'erreur.",
         {}},
        {"posterieur", "MODELE.hmm SEQUENCE",
         "le chemin des états les plus probables à chaque instant (argmax γ_t), puis la table des "
         "γ_t(i) = α_t(i) β_t(i) / P(O|λ).",
         {}},
        {"treillis", "MODELE.hmm SEQUENCE --image F.png|F.svg",
         "l'image du treillis (états × instants) avec α, β, δ ou γ dans chaque nœud (--valeurs, alpha par défaut) "
         "et le chemin de Viterbi en gras, en PNG ou en SVG d'après l'extension ; puis P(O|λ) et la table des "
         "valeurs. Hors de la plage de l'étendu, le calcul est mis à l'échelle : l'en-tête donne log10 P(O|λ), la "
         "table les facteurs c_t et log10 des valeurs (γ est tiré de ᾱ et β̂). --colonnes DEBUT:FIN n'en dessine que "
         "les instants DEBUT à FIN.",
         {}},
        {"exporter", "MODELE.hmm FICHIER.json",
         "le modèle au format JSON (startprob, transmat, emissionprob, states, symbols, comme les attributs d'un "
         "CategoricalHMM de hmmlearn). Un modèle qui ne se rouvrirait pas n'est pas exporté.",
         {}},
        {"importer", "FICHIER.json NOUVEAU.hmm",
         "le modèle JSON (celui d'exporter, 16 Mio au plus ; « - » : l'entrée standard) enregistré en modèle .hmm ; "
         "un modèle qui ne se rouvrirait pas n'est pas importé.",
         {}},
    };
    return c;
}

const QList<Option> &TableOptions()
{
    static const QList<Option> o = {
        {"mot", "", "découper la séquence mot par mot (mots séparés par des espaces) ; sinon caractère par caractère.",
         AvecSequence, {}, {}},
        {"mot-de-passe", "P",
         "le mot de passe d'un modèle protégé ; « - » le lit sur la première ligne de l'entrée standard. Sans cette "
         "option, la variable d'environnement HMMCALC_MOT_DE_PASSE le donne. L'un et l'autre le gardent hors de la "
         "liste des processus (ps).",
         Calculs + QStringList{"verifier", "parametres", "generer", "posterieur", "treillis", "exporter"}, {}, {}},
        {"chiffres", "C",
         "écrire les nombres avec C chiffres significatifs (15 par défaut, 1 à 30), par exemple --chiffres 17.",
         QStringList{"parametres"} + Calculs + QStringList{"posterieur"}, {}, {}},
        {"iterations", "K", "le nombre d'itérations au plus (entier, 1 au moins ; 10 par défaut).", {"baumwelch"}, {}, {}},
        {"seuil", "S", "entraîner jusqu'à ce que P(O|λ) >= S (nombre décimal), au plus 1000 itérations.",
         {"baumwelch"}, {}, {}},
        {"sortie", "FICHIER", "enregistrer le modèle entraîné dans FICHIER (.hmm).", Entrainements, {}, "*.hmm"},
        {"trace", "FICHIER.htm",
         "écrire la trace d'exécution du calcul (page HTML, comme « Voir la trace d'exécution » du programme) dans "
         "FICHIER.htm, avec l'image du modèle dans le dossier FICHIER_fichiers à côté. Les modèles de trace sont lus "
         "dans share/hmmbench/Modeles (dans l'arbre de construction : Modeles à côté de hmmcalc).",
         Evaluations + Entrainements, {}, "*.htm"},
        {"echelle", "",
         "calcul mis à l'échelle (facteurs c_t ; Viterbi ramené par puissances de deux, ln δ) d'emblée. Sans cette "
         "option, il n'est employé que lorsque P(O|λ) sort de la plage de l'étendu (séquences longues) ; la "
         "probabilité s'écrit alors « 9,23E-6237 », suivie d'une ligne « log10 P(O|λ) = ... ».",
         QStringList{"forward", "backward", "viterbi"} + Entrainements, {}, {}},
        {"historique", "",
         "une ligne par itération avant le résultat : le numéro (0 pour le modèle initial), P(O|λ) et log10 P(O|λ), "
         "séparés par des tabulations.",
         Entrainements, {}, {}},
        {"format", "texte|json",
         "la forme de la sortie : texte (par défaut) ou un objet JSON par exécution, où chaque probabilité est "
         "{\"valeur\": nombre, \"texte\": \"17 chiffres significatifs\"} ; « man hmmcalc » décrit ses clés.",
         SortieTexteOuJson, {"texte", "json"}, {}},
        {"chrono", "",
         "après le résultat, le temps processeur du calcul seul (modèle et séquence déjà lus) : « Durée du calcul : "
         "0,42 ms ».",
         Calculs, {}, {}},
        {"graine", "S", "la graine du tirage (entier de 0 à 18446744073709551615).", {"generer"}, {}, {}},
        {"chemin", "", "écrire aussi le chemin caché, sur une deuxième ligne.", {"generer"}, {}, {}},
        {"valeurs", "alpha|beta|delta|gamma", "les valeurs écrites dans les nœuds (alpha par défaut).", {"treillis"},
         {"alpha", "beta", "delta", "gamma"}, {}},
        {"image", "F.png|F.svg", "le fichier de l'image, PNG ou SVG d'après son extension.", {"treillis"}, {},
         "*.@(png|svg)"},
        {"colonnes", "DEBUT:FIN",
         "ne dessiner que les instants DEBUT à FIN. Une image de plus de 64 Mo est refusée.", {"treillis"}, {}, {}},
        {"version", "", "la version de hmmcalc.", {}, {}, {}},
        {"help", "", "cette aide (-h) ; « hmmcalc COMMANDE --help » : l'aide de la commande.", {}, {}, {}},
    };
    return o;
}

std::optional<QString> Lecture::Valeur(const QString &nom) const
{
    const auto v = valeurs.constFind(nom);
    if (v == valeurs.constEnd())
        return std::nullopt;
    return *v;
}

Lecture Lire(const QStringList &args)
{
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const Option &o : TableOptions()) {
        const QStringList noms = o.nom == QLatin1String("help") ? QStringList{"help", "h"} : QStringList{o.nom};
        p.addOption(QCommandLineOption(noms, o.aide, o.valeur));
    }
    QCommandLineOption completion(OptionCompletion);
    completion.setFlags(QCommandLineOption::HiddenFromHelp);
    p.addOption(completion);

    Lecture l;
    // Qt lit toute la ligne même après une faute : les options reconnues restent connues.
    const bool lue = p.parse(args.isEmpty() ? QStringList{QStringLiteral("hmmcalc")} : args);
    for (const Option &o : TableOptions()) {
        if (!p.isSet(o.nom))
            continue;
        l.options << o.nom;
        if (!o.valeur.isEmpty())
            l.valeurs.insert(o.nom, p.value(o.nom));
    }
    l.aide = p.isSet(QStringLiteral("help"));
    l.version = p.isSet(QStringLiteral("version"));
    l.completion = p.isSet(completion);
    QStringList positions = p.positionalArguments();
    if (!positions.isEmpty() && positions.first() == QLatin1String("aide")) {
        l.aide = true;
        positions.removeFirst();
    }
    if (!positions.isEmpty())
        l.commande = positions.takeFirst();
    l.positions = positions;

    if (!lue) {
        const QStringList inconnues = p.unknownOptionNames();
        l.erreur = Echec{Usage, inconnues.isEmpty()
                                    ? fauteDeValeur(args)
                                    : QStringLiteral("Option inconnue : %1 (« hmmcalc --help » donne les options).")
                                          .arg(tirets(inconnues.first()))};
        return l;
    }
    if (l.commande.isEmpty()) {
        if (!l.aide && !l.version && !l.completion)
            l.erreur = Echec{Usage, QStringLiteral("Aucune commande. « hmmcalc --help » donne l'usage.")};
        return l;
    }
    if (!trouverCommande(l.commande)) {
        l.erreur = Echec{Usage, QStringLiteral("Commande inconnue : %1. « hmmcalc --help » donne l'usage.").arg(l.commande)};
        return l;
    }
    for (const QString &nom : l.options) {
        const Option &o = *trouverOption(nom);
        if (!accepte(o, l.commande)) {
            l.erreur = Echec{Usage, QStringLiteral("L'option --%1 ne s'emploie qu'avec %2 (« hmmcalc %3 --help » donne "
                                                   "les options de %3).")
                                        .arg(nom, enumeration(o.commandes), l.commande)};
            return l;
        }
    }
    return l;
}

Lecture Analyser(const QStringList &args)
{
    Lecture l = Lire(args);
    if (l.erreur)
        throw *l.erreur;
    return l;
}

QString Synopsis(const QString &commande)
{
    const Commande *c = trouverCommande(commande);
    return c ? usage(*c) : QStringLiteral("hmmcalc --help");
}

QString Aide(const QString &commande)
{
    QString t;
    const auto options = [&](const QString &pour) {
        for (const Option &o : TableOptions()) {
            if (!pour.isEmpty() && !accepte(o, pour))
                continue;
            QString texte = o.aide;
            if (pour.isEmpty() && !o.commandes.isEmpty())
                texte += QStringLiteral(" [") + o.commandes.join(QStringLiteral(", ")) + QLatin1Char(']');
            t += couper(enteteOption(o), texte, 24);
        }
    };
    if (const Commande *c = trouverCommande(commande)) {
        t += QStringLiteral("Usage : ") + usage(*c) + QStringLiteral("\n\n");
        t += couper(QString(), c->nom + QStringLiteral(" : ") + c->aide, 0);
        t += QStringLiteral("\nOptions de %1 :\n").arg(c->nom);
        options(c->nom);
        for (const QString &n : c->notes + QStringList{"general", "codes"})
            t += QLatin1Char('\n') + couper(QString(), note(n), 0);
        return t;
    }
    t += QStringLiteral("hmmcalc — calculs sur un modèle de Markov caché discret (fichier .hmm), sans fenêtre.\n\n"
                        "Usage :\n");
    for (const Commande &c : TableCommandes())
        t += QStringLiteral("  ") + usage(c) + QLatin1Char('\n');
    t += QStringLiteral("  hmmcalc COMMANDE --help\n  hmmcalc --help | --version\n\nCommandes :\n");
    for (const Commande &c : TableCommandes())
        t += couper(QStringLiteral("  ") + c.nom, c.aide, 24);
    t += QStringLiteral("\nOptions (entre crochets, les commandes qui les acceptent) :\n");
    options(QString());
    for (const auto &n : notes())
        t += QLatin1Char('\n') + couper(QString(), n.second, 0);
    return t;
}

QString CompletionBash()
{
    QStringList commandes, avecValeur, toutes;
    for (const Commande &c : TableCommandes())
        commandes << c.nom;
    for (const Option &o : TableOptions()) {
        toutes << QStringLiteral("--") + o.nom;
        if (!o.valeur.isEmpty())
            avecValeur << QStringLiteral("--") + o.nom;
    }
    QString valeurs, parCommande, positions;
    for (const Option &o : TableOptions()) {
        if (!o.mots.isEmpty())
            valeurs += QStringLiteral("            --%1) COMPREPLY=($(compgen -W \"%2\" -- \"$cur\")); return ;;\n")
                           .arg(o.nom, o.mots.join(QLatin1Char(' ')));
        else if (!o.fichiers.isEmpty())
            valeurs += QStringLiteral("            --%1) _hmmcalc_fichiers '%2'; return ;;\n").arg(o.nom, o.fichiers);
    }
    for (const Commande &c : TableCommandes()) {
        QStringList siennes;
        for (const Option &o : TableOptions())
            if (accepte(o, c.nom))
                siennes << QStringLiteral("--") + o.nom;
        parCommande += QStringLiteral("            %1) options=\"%2\" ;;\n").arg(c.nom, siennes.join(QLatin1Char(' ')));
        // Les arguments nommés d'après un type de fichier se complètent par ces fichiers.
        const QStringList a = c.arguments.split(QLatin1Char(' '));
        for (int i = 0; i < a.size(); ++i) {
            const QString &arg = a[i];
            const int point = arg.lastIndexOf(QLatin1Char('.'));
            if (point > 0 && !arg.startsWith(QLatin1Char('-')) && !arg.contains(QLatin1Char('|')) &&
                !arg.endsWith(QLatin1String("...")))
                positions += QStringLiteral("        %1:%2) _hmmcalc_fichiers '*%3' ;;\n").arg(c.nom).arg(i + 1).arg(arg.mid(point));
        }
    }
    return QStringLiteral(R"(# Complétion bash de hmmcalc, écrite par « hmmcalc --completion-bash » d'après sa table des
# options : chaque commande propose ses seules options ; les valeurs et les fichiers suivent.
_hmmcalc_fichiers()
{
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -X "!$1" -- "$cur") $(compgen -d -- "$cur"))
}

_hmmcalc()
{
    local cur prev commande= options= i n=0 fin=0
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    # « --format=js » : bash coupe au signe égal.
    [[ $prev == = ]] && prev=${COMP_WORDS[COMP_CWORD-2]}
    # La commande est le premier mot qui n'est ni une option ni sa valeur.
    for ((i = 1; i < COMP_CWORD; i++)); do
        local w=${COMP_WORDS[i]}
        if ((fin)); then ((n++)); [[ -z $commande ]] && commande=$w; continue; fi
        case $w in
            --) fin=1 ;;
            %1) [[ ${COMP_WORDS[i+1]} == = ]] && ((i++)); ((i++)) ;;
            =) ((i++)) ;;
            -) ((n++)) ;;
            -*) ;;
            *) ((n++)); [[ -z $commande ]] && commande=$w ;;
        esac
    done
    if ((!fin)); then
        case $prev in
%2            %1) return ;;
        esac
    fi
    if [[ $cur == -* ]] && ((!fin)); then
        case $commande in
%3            *) options="%4" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    if ((n == 0)); then
        COMPREPLY=($(compgen -W "%5" -- "$cur"))
        return
    fi
    case $commande:$n in
%6    esac
}
complete -F _hmmcalc hmmcalc
)")
        .arg(avecValeur.join(QLatin1Char('|')), valeurs, parCommande, toutes.join(QLatin1Char(' ')),
             commandes.join(QLatin1Char(' ')), positions);
}

int Chiffres(const QString &v)
{
    bool ok = false;
    const int chiffres = v.toInt(&ok);
    if (!ok || chiffres < 1 || chiffres > 30)
        throw Echec{Usage, QStringLiteral("Nombre de chiffres incorrect : « %1 » (de 1 à 30).").arg(v)};
    return chiffres;
}

std::optional<QString> MotDePasse(const std::optional<QString> &option)
{
    if (option && *option == QLatin1String("-")) {
        // Au terminal : une invite, et le mot de passe tapé sans écho.
        termios avant {};
        const bool terminal = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &avant) == 0;
        if (terminal) {
            std::fputs("Mot de passe : ", stderr);
            termios muet = avant;
            muet.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &muet);
        }
        // Une ligne, bornée : au-delà, ce n'est pas un mot de passe.
        QByteArray ligne;
        bool tropLong = false;
        for (int c; (c = std::getchar()) != EOF && c != '\n';) {
            if (ligne.size() >= 4096)
                tropLong = true;
            else
                ligne.append(char(c));
        }
        if (terminal) {
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &avant);
            std::fputc('\n', stderr);
        }
        if (tropLong)
            throw Echec{Usage, QStringLiteral("Le mot de passe lu sur l'entrée standard est trop long.")};
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        return QString::fromLocal8Bit(ligne);
    }
    if (option)
        return option;
    if (qEnvironmentVariableIsSet("HMMCALC_MOT_DE_PASSE"))
        return qEnvironmentVariable("HMMCALC_MOT_DE_PASSE");
    return std::nullopt;
}

}
