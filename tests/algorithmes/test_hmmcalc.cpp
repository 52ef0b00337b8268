// hmmcalc lancé comme un utilisateur le ferait : sorties, codes de retour, fichiers écrits.
#include "outils_test.h"
#include "graph/graphe.h"
#include "model/document.h"
#include "algorithms/direct.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cmath>

namespace {

struct Resultat {
    int code = -1;
    QString sortie, erreurs;
};

// `variables` : « NOM=valeur » ajoutées à l'environnement ; `entree` : l'entrée standard.
Resultat Lancer(const QStringList &arguments, const QString &dossier = QString(), const QByteArray &entree = {},
                const QStringList &variables = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("LANG", "C.UTF-8");
    env.remove("QT_QPA_PLATFORM"); // hmmcalc le choisit lui-même
    env.remove("HMMCALC_MOT_DE_PASSE");
    for (const QString &v : variables)
        env.insert(v.section('=', 0, 0), v.section('=', 1));
    p.setProcessEnvironment(env);
    if (!dossier.isEmpty())
        p.setWorkingDirectory(dossier);
    p.start(QStringLiteral(HMMCALC), arguments);
    p.write(entree);
    p.closeWriteChannel();
    Resultat r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.sortie = QString::fromUtf8(p.readAllStandardOutput());
    r.erreurs = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Exemple(const char *nom)
{
    return QStringLiteral(HMM_EXEMPLES) + QLatin1Char('/') + QLatin1String(nom);
}

struct CasLigne {
    const char *nom;
    QStringList arguments; // "@e1e2" et "@meteo" désignent les exemples
    int code;
    QString sortie;  // sortie exacte, ou vide
    QString contient; // sortie ou erreurs doivent le contenir, ou vide
    QString absent = {}; // la sortie ne doit pas le contenir, ou vide
};

class LigneDeCommande : public TestAvecRepertoire, public ::testing::WithParamInterface<CasLigne> {};

}

TEST_P(LigneDeCommande, SortieEtCode)
{
    const CasLigne &c = GetParam();
    QStringList args;
    for (const QString &a : c.arguments)
        args << (a.startsWith('@') ? Exemple(qPrintable(a.mid(1) + ".hmm")) : a);
    const Resultat r = Lancer(args, dossier->path());
    EXPECT_EQ(r.code, c.code) << qPrintable(r.sortie + r.erreurs);
    if (!c.sortie.isEmpty()) {
        EXPECT_EQ(r.sortie, c.sortie) << qPrintable(r.erreurs);
    }
    if (!c.contient.isEmpty()) {
        EXPECT_TRUE((r.sortie + r.erreurs).contains(c.contient)) << qPrintable(r.sortie + "|" + r.erreurs);
    }
    if (!c.absent.isEmpty()) {
        EXPECT_FALSE(r.sortie.contains(c.absent)) << qPrintable(r.sortie);
    }
    if (c.code != 0) {
        EXPECT_FALSE(r.erreurs.isEmpty());
    }
    // Aucun fichier de travail dans le répertoire courant.
    EXPECT_TRUE(QDir(dossier->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cas, LigneDeCommande,
    ::testing::Values(
        CasLigne{"Forward", {"forward", "@e1e2", "ab"}, 0, "0.1915\n", ""},
        CasLigne{"Backward", {"backward", "@e1e2", "ab"}, 0, "0.1915\n", ""},
        CasLigne{"Direct", {"direct", "@e1e2", "ab"}, 0, "0.1915\n", ""},
        CasLigne{"Viterbi", {"viterbi", "@e1e2", "ab"}, 0, "Start - E1 - E2\n0.108\n", ""},
        CasLigne{"Chemins",
                 {"chemins", "@e1e2", "ab"},
                 0,
                 "Start - E1 - E1\t0.0315\nStart - E2 - E1\t0.004\nStart - E1 - E2\t0.108\tmeilleur\n"
                 "Start - E2 - E2\t0.048\n",
                 ""},
        CasLigne{"Verifier", {"verifier", "@e1e2"}, 0, "", " Le modèle est correct, pas de erreurs trouvées.\n"},
        CasLigne{"Parametres", {"parametres", "@e1e2"}, 0, "", "Matrice A :\n\tE1\tE2\nE1\t0.7\t0.3\nE2\t0.4\t0.6\n"},
        CasLigne{"MotParMot", {"forward", "@meteo", "promenade courses", "--mot"}, 0, "", ""},
        CasLigne{"Chrono", {"forward", "@e1e2", "ab", "--chrono"}, 0, "", "0.1915\nDurée du calcul : "},
        CasLigne{"BaumWelchDixSeptChiffres",
                 {"baumwelch", "@e1e2", "ab", "--iterations", "1", "--chiffres", "17"},
                 0,
                 "",
                 "P(O|λ) après : 0.41182857142857143\n"},
        CasLigne{"BaumWelchSeuilDejaAtteint", {"baumwelch", "@e1e2", "ab", "--seuil", "0.1"}, 0, "", "déjà atteint"},
        CasLigne{"EntrainementViterbi", {"entrainement-viterbi", "@e1e2", "ab"}, 0, "", "Itérations : 2\n"},
        CasLigne{"NonGeneree", {"viterbi", "@e1e2", "ac"}, 1, "",
                 "Ce modèle ne génère pas la séquence d'observations : ac"},
        CasLigne{"SequenceVide", {"forward", "@e1e2", "   ", "--mot"}, 1, "", "aucune observation"},
        CasLigne{"TropDeChemins", {"chemins", "@e1e2", "abababababababababab"}, 1, "", "2^20 = 1048576"},
        CasLigne{"Aide", {"--help"}, 0, "", "hmmcalc baumwelch MODELE.hmm SEQUENCE"},
        CasLigne{"CommandeInconnue", {"calculer", "@e1e2"}, 2, "", "Commande inconnue"},
        CasLigne{"SequenceManquante", {"forward", "@e1e2"}, 2, "", "attend un modèle et une séquence"},
        CasLigne{"OptionInconnue", {"forward", "@e1e2", "ab", "--vite"}, 2, "", "Option inconnue : --vite"},
        CasLigne{"OptionInconnueCourte", {"forward", "@e1e2", "ab", "-x"}, 2, "", "Option inconnue : -x"},
        CasLigne{"JsonParEgal", {"viterbi", "@e1e2", "ab", "--format=json"}, 0, "", "\"chemin\":[\"Start\",\"E1\",\"E2\"]"},
        CasLigne{"JsonParEspace", {"--format", "json", "viterbi", "@e1e2", "ab"}, 0, "", "\"chemin\":[\"Start\",\"E1\",\"E2\"]"},
        CasLigne{"ValeurManquante", {"forward", "@e1e2", "ab", "--chiffres"}, 2, "", "L'option --chiffres attend une valeur"},
        CasLigne{"ValeurEnTrop", {"forward", "@e1e2", "ab", "--mot=oui"}, 2, "", "--mot ne prend pas de valeur"},
        CasLigne{"OptionDUneAutreCommande", {"forward", "@e1e2", "ab", "--graine", "3"}, 2, "", "qu'avec generer"},
        CasLigne{"IterationsZero", {"baumwelch", "@e1e2", "ab", "--iterations", "0"}, 2, "", "itérations incorrect"},
        CasLigne{"IterationsNegatives", {"baumwelch", "@e1e2", "ab", "--iterations=-2"}, 2, "", "itérations incorrect"},
        CasLigne{"FinDesOptions", {"forward", "@e1e2", "--", "ab"}, 0, "0.1915\n", ""},
        CasLigne{"Version", {"--version"}, 0, "", "hmmcalc "},
        CasLigne{"AideDeForward", {"forward", "--help"}, 0, "", "  --trace FICHIER.htm", "--iterations"},
        CasLigne{"AideDeGenerer", {"generer", "--help"}, 0, "", "  --graine S", "--format"},
        CasLigne{"DeuxCriteres", {"baumwelch", "@e1e2", "ab", "--seuil", "0.5", "--iterations", "3"}, 2, "", ""},
        CasLigne{"SeuilNonNumerique", {"baumwelch", "@e1e2", "ab", "--seuil", "beaucoup"}, 2, "", "Seuil incorrect"},
        CasLigne{"FichierAbsent", {"forward", "/inexistant/modele.hmm", "ab"}, 2, "", "modele.hmm"},
        CasLigne{"EchelleForcee", {"forward", "@e1e2", "ab", "--echelle"}, 0,
                 "0.1915\nlog10 P(O|λ) = -0.717831221695358\n", ""},
        CasLigne{"ZeroImpossibleExplique", {"backward", "@e1e2", "ac"}, 0, "", "0\nP(O|λ) = 0 : la séquence est impossible"}),
    [](const auto &i) { return std::string(i.param.nom); });

class OutilFichiers : public TestAvecRepertoire {};

TEST_F(OutilFichiers, SortieDuModeleEntraine)
{
    const QString sortie = Chemin("appris.hmm");
    const Resultat r = Lancer({"baumwelch", Exemple("e1e2.hmm"), "ab", "--iterations", "1", "--sortie", sortie});
    ASSERT_EQ(r.code, 0) << qPrintable(r.erreurs);
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.DessinerFichier(sortie, &erreur), Chargement::Reussi) << qPrintable(erreur);
    EXPECT_EQ(d.GrapheVue()->Etiquette[d.GrapheVue()->ExisteARC(0, 1)], "0.72845953002611");
    EXPECT_EQ(d.GrapheVue()->Etiquette[d.GrapheVue()->ExisteARC(2, 2)], "0.923076923076923");
    // Rien d'autre n'est écrit à côté du programme.
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(QStringLiteral(HMMCALC)).dir().filePath("APP.txt")));
}

TEST_F(OutilFichiers, ModeleProtegeEtIncorrect)
{
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.DessinerFichier(Exemple("e1e2.hmm"), &erreur), Chargement::Reussi);
    d.ChangerMotDePasse("secret");
    const QString protege = Chemin("protege.hmm");
    ASSERT_TRUE(d.EnregistrerFichier(protege, &erreur)) << qPrintable(erreur);
    EXPECT_EQ(Lancer({"forward", protege, "ab"}).code, 2);
    EXPECT_EQ(Lancer({"forward", protege, "ab", "--mot-de-passe", "faux"}).code, 2);
    // Le mot de passe en argument, sur l'entrée standard ou dans l'environnement, pour hmmcalc,
    // l'entraînement enregistré et l'apprentissage (module de dessin).
    const struct {
        QStringList arguments;
        QByteArray entree;
        QStringList variables;
        int code;
        QString sortie; // son début
    } mots[] = {
        {{"forward", protege, "ab", "--mot-de-passe", "secret"}, {}, {}, 0, "0.1915\n"},
        {{"forward", protege, "ab", "--mot-de-passe", "-"}, "secret\n", {}, 0, "0.1915\n"},
        {{"forward", protege, "ab"}, {}, {"HMMCALC_MOT_DE_PASSE=secret"}, 0, "0.1915\n"},
        {{"forward", protege, "ab"}, {}, {"HMMCALC_MOT_DE_PASSE=faux"}, 2, {}},
        {{"baumwelch", protege, "ab", "--iterations", "1", "--mot-de-passe=-"}, "secret\r\n", {}, 0, "Itérations : 1"},
        {{"posterieur", protege, "ab"}, {}, {"HMMCALC_MOT_DE_PASSE=secret"}, 0, "Start - "},
        {{"forward", protege, "-", "--mot-de-passe", "-"}, "secret\nab\n", {}, 2, {}},
    };
    for (const auto &m : mots) {
        const Resultat r = Lancer(m.arguments, QString(), m.entree, m.variables);
        EXPECT_EQ(r.code, m.code) << qPrintable(m.arguments.join(' ') + " : " + r.erreurs);
        if (m.code == 0) {
            EXPECT_TRUE(r.sortie.startsWith(m.sortie)) << qPrintable(m.arguments.join(" ") + " : " + r.sortie);
        }
    }

    d.ChangerMotDePasse("Vide");
    d.GrapheVue()->Etiquette[d.GrapheVue()->ExisteARC(1, 1)] = "0.6"; // la ligne E1 ne fait plus 1
    const QString faux = Chemin("incorrect.hmm");
    ASSERT_TRUE(d.EnregistrerFichier(faux, &erreur));
    const Resultat v = Lancer({"verifier", faux});
    EXPECT_EQ(v.code, 1);
    EXPECT_TRUE(v.sortie.contains(" Le modèle est incorrect, il y a 1 erreur(s).")) << qPrintable(v.sortie);
    const Resultat f = Lancer({"forward", faux, "ab"});
    EXPECT_EQ(f.code, 1);
    EXPECT_TRUE(f.erreurs.contains("Le modèle est incorrect")) << qPrintable(f.erreurs);
}

// 20 000 symboles : P(O|λ) vers 10^-6000, hors de l'étendu. forward donne log10 P comme un
// Forward logarithmique indépendant (π, A, B de e1e2 écrits ici), viterbi un chemin complet,
// baumwelch entraîne ; la trace forcée à l'échelle prend son propre modèle.
TEST_F(OutilFichiers, LongueSequenceMiseALEchelle)
{
    QString sequence;
    unsigned x = 12345;
    for (int t = 0; t < 20000; ++t) {
        x = x * 1103515245u + 12345u;
        sequence += QLatin1Char((x >> 16) & 1 ? 'a' : 'b');
    }
    const long double pi[2] = {0.5L, 0.5L}, A[2][2] = {{0.7L, 0.3L}, {0.4L, 0.6L}};
    const auto b = [](int i, QChar o) { return o == QLatin1Char('a') ? (i == 0 ? 0.9L : 0.2L) : (i == 0 ? 0.1L : 0.8L); };
    long double a[2] = {std::log(pi[0] * b(0, sequence[0])), std::log(pi[1] * b(1, sequence[0]))};
    const auto lse = [](long double u, long double v) {
        const long double m = std::max(u, v);
        return m + std::log(std::exp(u - m) + std::exp(v - m));
    };
    for (int t = 1; t < sequence.size(); ++t) {
        const long double n0 = lse(a[0] + std::log(A[0][0]), a[1] + std::log(A[1][0])) + std::log(b(0, sequence[t]));
        const long double n1 = lse(a[0] + std::log(A[0][1]), a[1] + std::log(A[1][1])) + std::log(b(1, sequence[t]));
        a[0] = n0;
        a[1] = n1;
    }
    const long double reference = lse(a[0], a[1]) / std::log(10.0L);

    const Resultat f = Lancer({"forward", Exemple("e1e2.hmm"), sequence});
    ASSERT_EQ(f.code, 0) << qPrintable(f.erreurs);
    const QStringList lignes = f.sortie.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 2) << qPrintable(f.sortie);
    EXPECT_LT(reference, -4952.0L); // hors de l'étendu
    EXPECT_TRUE(lignes[0].contains(QStringLiteral("E-"))) << qPrintable(lignes[0]);
    ASSERT_TRUE(lignes[1].startsWith(QStringLiteral("log10 P(O|λ) = ")));
    const long double l = lignes[1].mid(15).toDouble();
    EXPECT_LE(std::fabs(l - reference) / std::fabs(reference), 1e-10L) << double(l) << " " << double(reference);

    const Resultat v = Lancer({"viterbi", Exemple("e1e2.hmm"), sequence});
    ASSERT_EQ(v.code, 0) << qPrintable(v.erreurs);
    const QStringList lv = v.sortie.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lv.size(), 3);
    EXPECT_EQ(lv[0].count(QStringLiteral(" - ")), 20000);
    EXPECT_TRUE(lv[2].startsWith(QStringLiteral("log10 P(O|λ) = ")));

    const Resultat bw = Lancer({"baumwelch", Exemple("e1e2.hmm"), sequence, "--iterations", "2"});
    ASSERT_EQ(bw.code, 0) << qPrintable(bw.erreurs);
    EXPECT_TRUE(bw.sortie.contains(QStringLiteral("Itérations : 2\n")));
    EXPECT_TRUE(bw.sortie.contains(QStringLiteral("log10 P(O|λ) après : "))) << qPrintable(bw.sortie.left(400));

    const QString trace = Chemin("echelle.htm");
    const Resultat t = Lancer({"forward", Exemple("e1e2.hmm"), "abba", "--echelle", "--trace", trace});
    ASSERT_EQ(t.code, 0) << qPrintable(t.erreurs);
    QFile page(trace);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray contenu = page.readAll();
    EXPECT_TRUE(contenu.contains("facteurs d'&eacute;chelle"));
    EXPECT_FALSE(contenu.contains("!!"));
}

// Le calcul en direct donne, séquence par séquence, ce qu'impriment hmmcalc forward et viterbi ;
// γ de la première séquence somme à 1 à chaque instant ; un arrêt demandé rend un résultat à jeter.
TEST(CalculDirect, CommeHmmcalc)
{
    struct Cas {
        const char *modele;
        QStringList sequences;
        bool mot;
    };
    const Cas cas[] = {
        {"e1e2.hmm", {"ab", "abbaab", "abc"}, false},
        {"meteo.hmm", {"promenade courses menage courses", "menage"}, true},
        {"gauche_droite.hmm", {"aaa"}, false},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.modele);
        ContenuModele m;
        QString erreur;
        ASSERT_TRUE(FichierModele::OuvrirContenu(Exemple(c.modele), &m, &erreur)) << qPrintable(erreur);
        const ResultatDirect r = Direct::Calculer(m, c.sequences, !c.mot);
        ASSERT_TRUE(r.ErreurModele.isEmpty()) << qPrintable(r.ErreurModele);
        ASSERT_EQ(r.Sequences.size(), std::size_t(c.sequences.size()));
        for (qsizetype k = 0; k < c.sequences.size(); ++k) {
            const ResultatSequenceDirect &x = r.Sequences[std::size_t(k)];
            QStringList args = {Exemple(c.modele), c.sequences[k]};
            if (c.mot)
                args << "--mot";
            const Resultat f = Lancer(QStringList{"forward"} + args);
            if (f.code == 0) {
                EXPECT_EQ(f.sortie.section('\n', 0, 0), x.Probabilite) << qPrintable(c.sequences[k]);
            }
            const Resultat v = Lancer(QStringList{"viterbi"} + args);
            if (v.code == 0) {
                EXPECT_EQ(v.sortie, "Start - " + x.CheminViterbi.join(" - ") + '\n' + x.ProbabiliteViterbi + '\n');
            } else {
                EXPECT_FALSE(x.Erreur.isEmpty());
                EXPECT_TRUE(v.erreurs.contains(x.Erreur.section('\n', 0, 0))) << qPrintable(v.erreurs);
            }
        }
        if (!r.Gamma.empty()) {
            EXPECT_EQ(r.Etats.size(), qsizetype(r.Gamma.front().size()));
            for (const auto &ligne : r.Gamma) {
                double somme = 0;
                for (double g : ligne)
                    somme += g;
                EXPECT_NEAR(somme, 1.0, 1e-12);
            }
        }
    }
    ContenuModele m;
    QString erreur;
    ASSERT_TRUE(FichierModele::OuvrirContenu(Exemple("e1e2.hmm"), &m, &erreur));
    const std::atomic<bool> arret{true};
    EXPECT_TRUE(Direct::Calculer(m, {"ab"}, true, &arret).Arrete);
}
