// Génération, décodage a posteriori, échange JSON, convergence et treillis.
#include "outils_test.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/convergence.h"
#include "algorithms/direct.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/generation.h"
#include "algorithms/portee.h"
#include "algorithms/posterieur.h"
#include "algorithms/sequence.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/json_modele.h"
#include "model/textes.h"
#include "trace/treillis.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <map>

namespace {

class Apprentissage : public TestAvecRepertoire {
protected:
    void Charger(DocumentModele &d, const char *exemple)
    {
        QString erreur;
        ASSERT_EQ(d.DessinerFichier(QStringLiteral(HMM_EXEMPLES "/%1.hmm").arg(QLatin1String(exemple)), &erreur),
                  Chargement::Reussi)
            << erreur.toStdString();
        d.CalculerParametres();
    }
    static EspaceTravail Espace(const ParametresModele &p, const QString &sequence, bool mot)
    {
        EspaceTravail e;
        e.SequenceObservations = sequence;
        e.DecoupageCaractere = !mot;
        DecouperSequence(p, e);
        return e;
    }
};

struct CasExemple {
    const char *modele;
    QStringList sequences;
    bool mot;
};
const QList<CasExemple> exemples = {
    {"e1e2", {"a", "abba", "bbbbbbbbab"}, false},
    {"meteo", {"promenade courses menage", "menage menage promenade courses"}, true},
    {"gauche_droite", {"xyzz", "xxyyz", "xz"}, false}};

}

// Le générateur est fixé bit pour bit ; les fréquences suivent la loi stationnaire :
// pour e1e2, π* = (a21, a12) / (a12 + a21) = (4/7, 3/7), P(a) = Σ π*_i b_i(a) = 0,6.
TEST_F(Apprentissage, GenerationReproductibleEtStationnaire)
{
    GenerateurAleatoire g(7), h(7);
    const std::uint64_t premier = g.Suivant();
    EXPECT_EQ(premier, h.Suivant());
    EXPECT_NE(premier, GenerateurAleatoire(8).Suivant());

    DocumentModele d;
    Charger(d, "e1e2");
    const ParametresModele &p = d.Parametres();
    const int T = 200000;
    const SequenceGeneree s = GenererSequence(p, T, 7), s2 = GenererSequence(p, T, 7);
    EXPECT_EQ(s.Observations, s2.Observations);
    EXPECT_EQ(s.Etats, s2.Etats);
    const long double a12 = p.A[1][2], a21 = p.A[2][1];
    const long double stationnaire[3] = {0, a21 / (a12 + a21), a12 / (a12 + a21)};
    long double attendu = 0;
    for (int i = 1; i <= 2; ++i)
        attendu += stationnaire[i] * p.B[i][p.RechercherSymbole("a")];
    EXPECT_NEAR(double(attendu), 0.6, 1e-15);
    long long nombreA = 0;
    for (int t = 1; t <= T; ++t)
        nombreA += s.Observations[std::size_t(t)] == p.RechercherSymbole("a");
    EXPECT_NEAR(double(nombreA) / T, double(attendu), 0.01);

    // Le texte se redécoupe en les mêmes observations.
    bool caractere = false;
    EspaceTravail e = Espace(p, TexteObservations(p, s, &caractere), false);
    EXPECT_TRUE(caractere);
    for (int t = 1; t <= T; t += 997)
        ASSERT_EQ(e.Observations[t], s.Observations[std::size_t(t)]);
}

// γ se somme à 1 à chaque instant et le chemin a posteriori en prend l'argmax.
TEST_F(Apprentissage, CheminPosterieur)
{
    for (const CasExemple &c : exemples) {
        DocumentModele d;
        Charger(d, c.modele);
        for (const QString &sequence : c.sequences) {
            EspaceTravail e = Espace(d.Parametres(), sequence, c.mot);
            const std::vector<int> q = CalculerCheminPosterieur(d.Parametres(), e);
            for (int t = 1; t <= e.LongueurSequence; ++t) {
                long double somme = 0;
                for (int i = 1; i <= d.Parametres().N; ++i) {
                    somme += e.Gamma(t, i);
                    EXPECT_LE(e.Gamma(t, i), e.Gamma(t, q[std::size_t(t)]));
                }
                EXPECT_NEAR(double(somme), 1.0, 1e-15) << c.modele << " " << sequence.toStdString();
            }
        }
    }
    DocumentModele d;
    Charger(d, "e1e2");
    EspaceTravail e = Espace(d.Parametres(), "abba", false);
    EXPECT_EQ(EtatsChemin(d.Parametres(), CalculerCheminPosterieur(d.Parametres(), e)),
              (QStringList{"E1", "E2", "E2", "E1"}));

    // 10 000 observations : P(O|λ) sort de la plage de l'étendu sans que la séquence soit
    // impossible ; le décodage se fait mis à l'échelle et garde le même motif.
    EspaceTravail longue = Espace(d.Parametres(), QStringLiteral("abba").repeated(2500), false);
    const QStringList q = EtatsChemin(d.Parametres(), CalculerCheminPosterieur(d.Parametres(), longue));
    ASSERT_EQ(q.size(), 10000);
    EXPECT_EQ(q.join(QString()), QStringLiteral("E1E2E2E1").repeated(2500));
    // Une séquence vraiment impossible reste refusée.
    EspaceTravail impossible = Espace(d.Parametres(), QStringLiteral("abba").repeated(2500) + QStringLiteral("c"), false);
    EXPECT_THROW(CalculerCheminPosterieur(d.Parametres(), impossible), ERefusCalcul);
}

// Export puis import : les mêmes résultats Forward, au bit près.
TEST_F(Apprentissage, AllerRetourJson)
{
    for (const CasExemple &c : exemples) {
        DocumentModele d, importe;
        Charger(d, c.modele);
        const QByteArray json = ModeleJson::Exporter(d.Contenu());
        QString erreur;
        QStringList lignes;
        ASSERT_TRUE(ModeleJson::Importer(json, &lignes, &erreur)) << erreur.toStdString();
        ASSERT_TRUE(importe.Remplacer(lignes, "import", &erreur)) << erreur.toStdString();
        importe.CalculerParametres();
        EXPECT_EQ(importe.NomsEtats(), d.NomsEtats());
        EXPECT_EQ(ModeleJson::Exporter(importe.Contenu()), json) << c.modele;
        for (const QString &sequence : c.sequences) {
            EspaceTravail e = Espace(d.Parametres(), sequence, c.mot), f = Espace(importe.Parametres(), sequence, c.mot);
            CalculerForward(d.Parametres(), e);
            CalculerForward(importe.Parametres(), f);
            EXPECT_EQ(e.Probabilite, f.Probabilite) << c.modele << " " << sequence.toStdString();
        }
    }
}

// Textes refusés : le message nomme la règle ou la capacité dépassée, rien n'est rendu.
TEST_F(Apprentissage, ImportRefuse)
{
    auto matrice = [](int n, int m, const char *v) {
        QStringList lignes;
        for (int i = 0; i < n; ++i)
            lignes << QLatin1Char('[') + QStringList(m, QLatin1String(v)).join(',') + QLatin1Char(']');
        return QLatin1Char('[') + lignes.join(',') + QLatin1Char(']');
    };
    auto modele = [&](int n, int m) {
        return QStringLiteral("{\"startprob\": %1, \"transmat\": %2, \"emissionprob\": %3}")
            .arg(matrice(1, n, "0.01").mid(1).chopped(1), matrice(n, n, "0.01"), matrice(n, m, "0.5"));
    };
    const struct {
        QString json, attendu;
    } cas[] = {
        {modele(100, 2), "au plus 99"},
        {modele(2, 100), "100 symboles"},
        {modele(10, 2), "au plus 98 arcs"},
        {"{\"startprob\": [1], \"transmat\": [[1]]}", "emissionprob"},
        {"{\"startprob\": [1, 0], \"transmat\": [[1, 0], [0.5]], \"emissionprob\": [[1], [1]]}", "2 valeurs"},
        {"{\"startprob\": [-1], \"transmat\": [[1]], \"emissionprob\": [[1]]}", "probabilité"},
        {"{\"startprob\": [1], \"transmat\": [[1]], \"emissionprob\": [[1]], \"states\": [\"START\"]}", "START"},
        {"[1, 2", "JSON"},
        // Ce que le fichier du modèle ne relirait pas : NUL, caractère de commande, nom démesuré.
        {"{\"startprob\": [1], \"transmat\": [[1]], \"emissionprob\": [[1]], \"states\": [\"a\\u0000b\"]}", "\\x00"},
        {"{\"startprob\": [1], \"transmat\": [[1]], \"emissionprob\": [[1]], \"symbols\": [\"\\u001b[2J\"]}", "\\x1b"},
        {"{\"startprob\": [1], \"transmat\": [[1]], \"emissionprob\": [[1]], \"states\": [\"" + QString(5000, 'x') + "\"]}",
         "caractères"},
    };
    for (const auto &c : cas) {
        QStringList lignes = {"intact"};
        QString erreur;
        EXPECT_FALSE(ModeleJson::Importer(c.json.toUtf8(), &lignes, &erreur));
        EXPECT_TRUE(erreur.contains(c.attendu)) << erreur.toStdString();
        EXPECT_EQ(lignes, QStringList{"intact"});
    }
}

// Entraînements : P(O|λ) ne décroît pas d'une itération à l'autre sur les exemples.
TEST_F(Apprentissage, ConvergenceCroissante)
{
    for (const CasExemple &c : exemples) {
        for (const Entrainement type : {Entrainement::BaumWelch, Entrainement::Viterbi}) {
            DocumentModele d;
            Charger(d, c.modele);
            EspaceTravail e;
            e.SequenceObservations = c.sequences.last();
            e.DecoupageCaractere = !c.mot;
            e.NombreIterations = 30;
            HistoriqueConvergence h;
            if (type == Entrainement::BaumWelch)
                EntrainerBaumWelch(d, e, &h);
            else
                EntrainerViterbi(d, e, &h);
            ASSERT_GE(h.Points.size(), 2u);
            for (std::size_t k = 1; k < h.Points.size(); ++k) {
                EXPECT_EQ(h.Points[k].Iteration, int(k));
                if (type == Entrainement::BaumWelch) {
                    EXPECT_GE(h.Points[k].P, h.Points[k - 1].P * (1 - 1e-12L)) << c.modele << " " << k;
                }
            }
        }
    }
}

// Le treillis : formules développées avec leurs nombres, image aux dimensions du dessin.
TEST_F(Apprentissage, Treillis)
{
    DocumentModele d;
    Charger(d, "e1e2");
    const struct {
        Treillis::Valeurs v;
        int t, j;
        QString formule;
    } cas[] = {
        {Treillis::Valeurs::Alpha, 1, 1, "α1(E1) = π(E1)·b(E1,a) = 0.5 × 0.9 = 0.45"},
        {Treillis::Valeurs::Alpha, 2, 1,
         "α2(E1) = [α1(E1)·a(E1,E1) + α1(E2)·a(E2,E1)]·b(E1,b) = [0.45 × 0.7 + 0.1 × 0.4] × 0.1 = 0.0355"},
        {Treillis::Valeurs::Beta, 1, 2, "β1(E2) = a(E2,E1)·b(E1,b)·β2(E1) + a(E2,E2)·b(E2,b)·β2(E2) = 0.4 × 0.1 × 1 + 0.6 × 0.8 × 1 = 0.52"},
        {Treillis::Valeurs::Delta, 2, 2,
         "δ2(E2) = max[δ1(E1)·a(E1,E2) ; δ1(E2)·a(E2,E2)]·b(E2,b) = max[0.45 × 0.3 ; 0.1 × 0.6] × 0.8 = 0.108 ; ψ2(E2) = E1"},
        {Treillis::Valeurs::Gamma, 2, 2, "γ2(E2) = α2(E2)·β2(E2) / P(O|λ) = 0.156 × 1 / 0.1915 = 0.814621409921671"},
    };
    for (const auto &c : cas) {
        EspaceTravail e = Espace(d.Parametres(), "ab", false);
        const Treillis::Donnees t = Treillis::Preparer(d.Parametres(), e, c.v);
        EXPECT_EQ(Treillis::Formule(t, c.t, c.j), c.formule);
    }
    EspaceTravail e = Espace(d.Parametres(), "ab", false);
    const Treillis::Donnees t = Treillis::Preparer(d.Parametres(), e, Treillis::Valeurs::Alpha);
    EXPECT_EQ(t.Chemin, (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(Treillis::Exporter(t, Chemin("t.png"), nullptr));
    const QImage image(Chemin("t.png"));
    EXPECT_EQ(image.height(), Treillis::Geometrie(t).Taille().height());
    ASSERT_TRUE(Treillis::Exporter(t, Chemin("t.svg"), nullptr));
    EXPECT_FALSE(QImage(Chemin("t.svg")).isNull());
}

// Ce que lit la formule d'une case : cases, arcs (START = 0) et émissions, exacts ou mis à
// l'échelle (20 000 symboles après « ab »), avec une transition E2 → E1 ôtée ; la formule en
// couleurs garde le texte de la formule et porte la couleur de chaque terme.
TEST_F(Apprentissage, EntreesDesFormules)
{
    DocumentModele doc;
    Charger(doc, "e1e2");
    const ParametresModele &plein = doc.Parametres();
    ParametresModele coupe = plein;
    coupe.A[2][1] = 0;
    coupe.A[2][2] = 1;
    const QString longue = QStringLiteral("ab") + TexteObservations(plein, GenererSequence(plein, 20000, 11), nullptr);
    using V = Treillis::Valeurs;
    struct Lu {
        V table;
        int t, i, de, vers;
        bool operator==(const Lu &) const = default;
    };
    const struct {
        const ParametresModele *p;
        QString sequence;
        V v;
        int t, j;
        QString texte;
        std::vector<Lu> termes;
    } cas[] = {
        {&plein, "ab", V::Alpha, 1, 1, "Cases lues : aucune ; arcs : START → E1 ; émissions : b(E1,a)", {{V::Alpha, 0, 0, 0, 1}}},
        {&plein, "ab", V::Alpha, 2, 2, "Cases lues : α1(E1), α1(E2) ; arcs : E1 → E2, E2 → E2 ; émissions : b(E2,b)",
         {{V::Alpha, 1, 1, 1, 2}, {V::Alpha, 1, 2, 2, 2}}},
        {&coupe, "ab", V::Beta, 1, 2, "Cases lues : β2(E2) ; arcs : E2 → E2 ; émissions : b(E2,b)", {{V::Beta, 2, 2, 2, 2}}},
        {&plein, "ab", V::Beta, 1, 1, "Cases lues : β2(E1), β2(E2) ; arcs : E1 → E1, E1 → E2 ; émissions : b(E1,b), b(E2,b)",
         {{V::Beta, 2, 1, 1, 1}, {V::Beta, 2, 2, 1, 2}}},
        {&plein, "ab", V::Beta, 2, 1, "Cases lues : aucune ; arcs : aucun ; émissions : aucune", {}},
        {&coupe, "ab", V::Delta, 2, 1, "Cases lues : δ1(E1) ; arcs : E1 → E1 ; émissions : b(E1,b)", {{V::Delta, 1, 1, 1, 1}}},
        {&plein, "ab", V::Gamma, 2, 2, "Cases lues : α2(E2), β2(E2)", {{V::Alpha, 2, 2, -1, -1}, {V::Beta, 2, 2, -1, -1}}},
        {&plein, longue, V::Alpha, 2, 2, "Cases lues : ᾱ1(E1), ᾱ1(E2) ; arcs : E1 → E2, E2 → E2 ; émissions : b(E2,b)",
         {{V::Alpha, 1, 1, 1, 2}, {V::Alpha, 1, 2, 2, 2}}},
        {&coupe, longue, V::Beta, 1, 2, "Cases lues : β̂2(E2) ; arcs : E2 → E2 ; émissions : b(E2,b)", {{V::Beta, 2, 2, 2, 2}}},
        {&coupe, longue, V::Delta, 2, 1, "Cases lues : δ1(E1) ; arcs : E1 → E1 ; émissions : b(E1,b)", {{V::Delta, 1, 1, 1, 1}}},
        {&plein, longue, V::Gamma, 2, 2, "Cases lues : ᾱ2(E2), β̂2(E2)", {{V::Alpha, 2, 2, -1, -1}, {V::Beta, 2, 2, -1, -1}}},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(Treillis::Symbole(c.v).toStdString() + " " + std::to_string(c.t) + " " + std::to_string(c.j) + " " +
                     std::to_string(c.sequence.size()));
        EspaceTravail e = Espace(*c.p, c.sequence, false);
        const Treillis::Donnees d = Treillis::Preparer(*c.p, e, c.v);
        ASSERT_EQ(d.TableEchelle(), c.sequence.size() > 2);
        const Treillis::Entrees lues = Treillis::Lues(d, c.t, c.j);
        EXPECT_EQ(lues.Texte, c.texte);
        std::vector<Lu> termes;
        const QString couleurs = Treillis::FormuleCouleurs(d, c.t, c.j);
        for (const Treillis::Terme &x : lues.Termes) {
            termes.push_back({x.Table, x.T, x.I, x.De, x.Vers});
            EXPECT_EQ(x.Couleur, int(termes.size()) - 1);
            EXPECT_TRUE(couleurs.contains(Treillis::CouleurTerme(x.Couleur).name())) << couleurs.toStdString();
        }
        EXPECT_TRUE(termes == c.termes);
        EXPECT_EQ(QString(couleurs).remove(QRegularExpression(QStringLiteral("<[^>]*>"))),
                  Treillis::Formule(d, c.t, c.j).toHtmlEscaped());
    }
}

namespace {

// Référence indépendante des noyaux, en logarithmes : ln α, ln β (sommes log-exp), ln δ (max).
// Chaque ligne garde à part un décalage entier (exact), pour que ses arrondis restent ceux de
// petits nombres même quand ln α atteint -14 000.
struct ReferenceLog {
    int N = 0;
    std::vector<long double> a, b, d;  // partie fractionnaire, [t * (N + 1) + i]
    std::vector<long double> ka, kb, kd; // décalage entier de la ligne t
    long double kP = 0, rP = 0;         // ln P(O|λ) = kP + rP
    long double A(int t, int i) const { return ka[std::size_t(t)] + a[std::size_t(t * (N + 1) + i)]; }
    long double B(int t, int i) const { return kb[std::size_t(t)] + b[std::size_t(t * (N + 1) + i)]; }
    long double D(int t, int i) const { return kd[std::size_t(t)] + d[std::size_t(t * (N + 1) + i)]; }
    long double LnP() const { return kP + rP; }
    long double Gamma(int t, int i) const
    {
        const std::size_t c = std::size_t(t * (N + 1) + i);
        return std::exp((ka[std::size_t(t)] + kb[std::size_t(t)] - kP) + (a[c] + b[c] - rP));
    }
};

ReferenceLog referenceLog(const ParametresModele &p, const EspaceTravail &e)
{
    const int N = p.N, T = e.LongueurSequence, L = N + 1;
    const auto ln = [](long double x) { return x > 0 ? std::log(x) : -INFINITY; };
    const auto somme = [](const std::vector<long double> &v) {
        long double m = -INFINITY, s = 0;
        for (long double x : v)
            m = std::max(m, x);
        for (long double x : v)
            s += std::exp(x - m);
        return m + std::log(s);
    };
    ReferenceLog r;
    r.N = N;
    r.a.assign(std::size_t((T + 1) * L), 0);
    r.b = r.d = r.a;
    r.ka.assign(std::size_t(T) + 1, 0);
    r.kb = r.kd = r.ka;
    // La partie entière du maximum de la ligne passe dans son décalage.
    const auto decaler = [&](std::vector<long double> &v, std::vector<long double> &k, int t) {
        long double m = -INFINITY;
        for (int i = 1; i <= N; ++i)
            m = std::max(m, v[std::size_t(t * L + i)]);
        const long double f = std::floor(m);
        for (int i = 1; i <= N; ++i)
            v[std::size_t(t * L + i)] -= f;
        k[std::size_t(t)] += f;
    };
    for (int t = 1; t <= T; ++t) {
        if (t > 1)
            r.ka[std::size_t(t)] = r.ka[std::size_t(t - 1)], r.kd[std::size_t(t)] = r.kd[std::size_t(t - 1)];
        for (int j = 1; j <= N; ++j) {
            const long double lb = ln(p.B[j][e.Observations[t]]);
            std::vector<long double> v, w;
            for (int i = 1; i <= N && t > 1; ++i) {
                v.push_back(r.a[std::size_t((t - 1) * L + i)] + ln(p.A[i][j]));
                w.push_back(r.d[std::size_t((t - 1) * L + i)] + ln(p.A[i][j]));
            }
            r.a[std::size_t(t * L + j)] = (t == 1 ? ln(p.PI[j]) : somme(v)) + lb;
            r.d[std::size_t(t * L + j)] = (t == 1 ? ln(p.PI[j]) : *std::max_element(w.begin(), w.end())) + lb;
        }
        decaler(r.a, r.ka, t);
        decaler(r.d, r.kd, t);
    }
    for (int t = T - 1; t >= 1; --t) {
        r.kb[std::size_t(t)] = r.kb[std::size_t(t + 1)];
        for (int i = 1; i <= N; ++i) {
            std::vector<long double> v;
            for (int j = 1; j <= N; ++j)
                v.push_back(ln(p.A[i][j]) + ln(p.B[j][e.Observations[t + 1]]) + r.b[std::size_t((t + 1) * L + j)]);
            r.b[std::size_t(t * L + i)] = somme(v);
        }
        decaler(r.b, r.kb, t);
    }
    std::vector<long double> fin;
    for (int i = 1; i <= N; ++i)
        fin.push_back(r.a[std::size_t(T * L + i)]);
    r.kP = r.ka[std::size_t(T)];
    r.rP = somme(fin);
    return r;
}

}

// 20 000 symboles : P(O|λ) sort de l'étendu. Treillis, décodage a posteriori et historique de
// convergence donnent des valeurs finies, celles d'un calcul en logarithmes à 1e-12 près.
TEST_F(Apprentissage, VuesMisesALEchelle)
{
    DocumentModele doc;
    Charger(doc, "e1e2");
    const ParametresModele &p = doc.Parametres();
    const QString texte = TexteObservations(p, GenererSequence(p, 20000, 11), nullptr);
    const EspaceTravail e0 = Espace(p, texte, false);
    const int T = e0.LongueurSequence;
    const ReferenceLog ref = referenceLog(p, e0);
    const long double ln10 = std::log(10.0L);

    std::map<Treillis::Valeurs, Treillis::Donnees> treillis;
    for (const Treillis::Valeurs v : {Treillis::Valeurs::Alpha, Treillis::Valeurs::Beta, Treillis::Valeurs::Delta,
                                      Treillis::Valeurs::Gamma}) {
        EspaceTravail e = e0;
        treillis[v] = Treillis::Preparer(p, e, v);
        ASSERT_TRUE(treillis[v].TableEchelle());
    }
    EspaceTravail post = e0;
    CalculerCheminPosterieur(p, post);
    ParametresModele appris = p;
    EspaceTravail formation = e0;
    formation.SequenceObservations = texte;
    formation.NombreIterations = 3;
    HistoriqueConvergence h;
    EntrainerParametres(Entrainement::BaumWelch, appris, formation, &h, ModeCalcul::Automatique);
    ASSERT_EQ(h.Points.size(), 4u);

    using Lecture = std::function<long double(int t, int i)>;
    const auto log10Treillis = [&](Treillis::Valeurs v) -> Lecture {
        return [&, v](int t, int i) { return Treillis::Log10Valeur(treillis[v], t, i); };
    };
    const Lecture gammaRef = [&](int t, int i) { return ref.Gamma(t, i); };
    const struct {
        const char *vue;
        Lecture obtenu, attendu;
        bool toutesCases; // sinon la seule case (1, 1)
    } cas[] = {
        {"treillis alpha", log10Treillis(Treillis::Valeurs::Alpha), [&](int t, int i) { return ref.A(t, i) / ln10; }, true},
        {"treillis beta", log10Treillis(Treillis::Valeurs::Beta), [&](int t, int i) { return ref.B(t, i) / ln10; }, true},
        {"treillis delta", log10Treillis(Treillis::Valeurs::Delta), [&](int t, int i) { return ref.D(t, i) / ln10; }, true},
        {"treillis gamma", [&](int t, int i) { return treillis[Treillis::Valeurs::Gamma].Gamma(t, i); }, gammaRef, true},
        {"posterieur", [&](int t, int i) { return post.Gamma(t, i); }, gammaRef, true},
        {"en-tête du treillis", [&](int, int) { return treillis[Treillis::Valeurs::Alpha].PEchelle.Log10(); },
         [&](int, int) { return ref.LnP() / ln10; }, false},
        {"historique, modèle initial", [&](int, int) { return h.Points.front().Log10P; },
         [&](int, int) { return ref.LnP() / ln10; }, false},
        {"historique, modèle appris", [&](int, int) { return h.Points.back().Log10P; },
         [&](int, int) { return referenceLog(appris, e0).LnP() / ln10; }, false},
    };
    for (const auto &c : cas)
        for (int t = 1; t <= (c.toutesCases ? T : 1); t += (t < T - 500 ? 97 : 1))
            for (int i = 1; i <= (c.toutesCases ? p.N : 1); ++i) {
                const long double o = c.obtenu(t, i), a = c.attendu(t, i);
                ASSERT_TRUE(std::isfinite(o)) << c.vue << " t = " << t;
                ASSERT_LE(std::fabs(o - a), 1e-12L * std::fabs(a)) << c.vue << " t = " << t << " i = " << i;
            }
}

// hmmcalc : les commandes de l'apprentissage, comme un utilisateur les lance. La séquence de
// graine 7 est figée : elle doit être la même sur toute machine.
TEST_F(Apprentissage, LigneDeCommande)
{
    const QString e1e2 = QStringLiteral(HMM_EXEMPLES "/e1e2.hmm");
    // Fichiers que le lecteur accepte mais qui piégeraient la sortie : un nom qui porte ESC ;
    // un modèle sans aucune émission, dont le JSON ne s'importerait pas.
    ContenuModele c0;
    ASSERT_TRUE(FichierModele::OuvrirContenu(e1e2, &c0, nullptr));
    ContenuModele esc = c0, vide = c0;
    esc.Etats.last().Nom = QStringLiteral("E\x1b[2J");
    for (auto &e : vide.Etats)
        e.Paires.clear();
    ASSERT_TRUE(Textes::EcrireOctets(Chemin("esc.hmm"), FichierModele::Octets(FichierModele::Ecrire(esc))));
    ASSERT_TRUE(Textes::EcrireOctets(Chemin("vide.hmm"), FichierModele::Octets(FichierModele::Ecrire(vide))));
    const struct {
        QStringList arguments;
        int code;
        QString sortie;   // début exact de la sortie, ou vide
        QString contient; // dans la sortie ou les erreurs, ou vide
        QByteArray entree = {}; // entrée standard
    } cas[] = {
        {{"generer", e1e2, "30", "--graine", "7", "--chemin"}, 0,
         "bbbaaabbaaaaaaaabbabbaabbbbaab\nStart - E2 - E2 - E2 - E1 - E1 - E1 - E2 - E2 - E1 - E1 - E1 - E1 - E2 - E1 - "
         "E1 - E1 - E2 - E2 - E1 - E2 - E2 - E2 - E2 - E2 - E2 - E2 - E1 - E1 - E1 - E2\n",
         ""},
        {{"posterieur", e1e2, "abba"}, 0, "Start - E1 - E2 - E2 - E1\nt\tO(t)\tγ(E1)\tγ(E2)\n1\ta\t0.716886797062033\t", ""},
        {{"baumwelch", e1e2, "abba", "--iterations", "2", "--historique"}, 0, "0\t0.04605225\t", "\n2\t"},
        {{"posterieur", e1e2, "-"}, 0, "Start - E1 - E2 - E2 - E1\n", "", "ab\nba\n"},
        {{"treillis", e1e2, "-", "--valeurs", "beta", "--image", Chemin("b.png")}, 0, "P(O|λ) = 0.1915\n", "\n2\tb\t1\t1", "ab"},
        {{"treillis", e1e2, "ab", "--valeurs", "gamma", "--image", Chemin("t.svg")}, 0, "", ""},
        {{"generer", e1e2, "0"}, 2, "", "Longueur incorrecte"},
        {{"treillis", e1e2, "ab"}, 2, "", "--image"},
        {{"posterieur", e1e2, "ab", "--graine", "3"}, 2, "", "--graine"},
        {{"importer", Chemin("absent.json"), Chemin("n.hmm")}, 1, "", "absent.json"},
        {{"treillis", e1e2, QString(5000, 'a'), "--image", Chemin("long.png")}, 2, "", "--colonnes 1:"},
        {{"treillis", e1e2, QString(5000, 'a'), "--image", Chemin("long.png"), "--colonnes", "4990:5000"}, 0, "", ""},
        {{"treillis", e1e2, "ab", "--image", Chemin("c.png"), "--colonnes", "2:3"}, 2, "", "hors du treillis"},
        // SVG : la limite est celle du texte écrit, ni plus ni moins.
        {{"treillis", e1e2, QString(20000, 'a'), "--image", Chemin("grand.svg")}, 0, "", ""},
        {{"treillis", e1e2, QString(26000, 'a'), "--image", Chemin("trop.svg")}, 2, "", "--colonnes 1:"},
        {{"parametres", Chemin("esc.hmm")}, 0, "", "E\\x1b[2J"},
        {{"exporter", Chemin("vide.hmm"), Chemin("v.json")}, 2, "", "ne s'importerait pas"},
    };
    for (const auto &c : cas) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LC_ALL", "C.UTF-8");
        env.remove("QT_QPA_PLATFORM");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HMMCALC), c.arguments);
        p.write(c.entree);
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString sortie = QString::fromUtf8(p.readAllStandardOutput()), erreurs = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), c.code) << c.arguments.join(' ').toStdString() << erreurs.toStdString();
        EXPECT_TRUE(c.sortie.isEmpty() || sortie.startsWith(c.sortie)) << sortie.left(300).toStdString();
        EXPECT_TRUE((sortie + erreurs).contains(c.contient)) << (sortie + erreurs).toStdString();
        EXPECT_FALSE((sortie + erreurs).contains(QChar(0x1b)));
    }
    EXPECT_TRUE(QFileInfo(Chemin("t.svg")).size() > 0);
    // Onze colonnes seulement, pas 5000.
    const int largeur = QImage(Chemin("long.png")).width();
    EXPECT_TRUE(largeur > 11 * Treillis::Geometrie::Colonne && largeur < 12 * Treillis::Geometrie::Colonne + 400) << largeur;
    EXPECT_FALSE(QFileInfo::exists(Chemin("v.json")));
    const qint64 svg = QFileInfo(Chemin("grand.svg")).size();
    EXPECT_TRUE(svg > Treillis::LimiteImage * 3 / 4 && svg <= Treillis::LimiteImage) << svg;
    EXPECT_FALSE(QFileInfo::exists(Chemin("trop.svg")));
}

// Le calcul en direct tire γ du Forward qui donne P(O|λ) : ses γ et sa P restent ceux du
// décodage a posteriori et de l'évaluation seule, au bit près, exacts ou mis à l'échelle ; une
// première séquence impossible laisse γ à la suivante.
TEST_F(Apprentissage, CalculDirectMemesBits)
{
    const struct {
        const char *modele;
        QStringList sequences;
        bool mot;
        bool echelle;
    } cas[] = {
        {"e1e2", {"abba"}, false, false},
        {"e1e2", {"abc", "bbab"}, false, false},
        {"meteo", {"promenade courses menage courses"}, true, false},
        {"e1e2", {QStringLiteral("abba").repeated(5000)}, false, true},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(std::string(c.modele) + " " + c.sequences.join('/').left(20).toStdString());
        DocumentModele d;
        Charger(d, c.modele);
        const ResultatDirect r = Direct::Calculer(d.Contenu(), c.sequences, !c.mot);
        const QString &s = c.sequences.back();
        ASSERT_EQ(r.SequenceGamma, s);
        EspaceTravail seule = Espace(d.Parametres(), s, c.mot);
        seule.GarderTables = false;
        Evaluer(d.Parametres(), seule, false);
        EXPECT_EQ(r.Sequences.back().Probabilite, TexteProbabilite(seule));
        EXPECT_EQ(r.Sequences.back().MisALEchelle, c.echelle);
        EspaceTravail e = Espace(d.Parametres(), s, c.mot);
        CalculerCheminPosterieur(d.Parametres(), e);
        ASSERT_FALSE(r.Instants.empty());
        for (std::size_t k = 0; k < r.Instants.size(); ++k)
            for (int i = 1; i <= d.Parametres().N; ++i)
                ASSERT_EQ(r.Gamma[k][std::size_t(i - 1)], double(e.Gamma(r.Instants[k], i))) << r.Instants[k] << " " << i;
    }
}

// La case γ choisie montre α et β qu'elle lit, dans la couleur de leur terme : au-dessus du
// nœud pour α (terme 0), au-dessous pour β (terme 1) ; rien sans case choisie ni pour α.
TEST_F(Apprentissage, TreillisGammaMontreSesEntrees)
{
    DocumentModele doc;
    Charger(doc, "e1e2");
    const struct {
        Treillis::Valeurs v;
        int t, j;
        bool entrees;
    } cas[] = {
        {Treillis::Valeurs::Gamma, 2, 1, true},
        {Treillis::Valeurs::Gamma, 0, 0, false},
        {Treillis::Valeurs::Alpha, 2, 1, false},
    };
    for (const auto &c : cas) {
        SCOPED_TRACE(Treillis::Symbole(c.v).toStdString() + " " + std::to_string(c.t));
        EspaceTravail e = Espace(doc.Parametres(), "abb", false);
        const Treillis::Donnees d = Treillis::Preparer(doc.Parametres(), e, c.v);
        const Treillis::Geometrie g(d);
        QImage image(g.Taille(), QImage::Format_RGB32);
        QPainter p(&image);
        Treillis::Dessiner(p, d, QRect(QPoint(0, 0), g.Taille()), d.T, c.t, c.j);
        p.end();
        // Pixels proches de la couleur du terme k dans la bande entre les nœuds, au-dessus ou au-dessous.
        const QRect n = g.Noeud(2, 1);
        const auto compte = [&](int k, bool dessus) {
            const QColor couleur = Treillis::CouleurTerme(k);
            const int h = (Treillis::Geometrie::Ligne - Treillis::Geometrie::HauteurNoeud) / 2;
            const QRect bande = dessus ? QRect(n.left() - 10, n.top() - h, n.width() + 20, h)
                                       : QRect(n.left() - 10, n.bottom() + 1, n.width() + 20, h);
            int total = 0;
            for (int y = bande.top(); y <= bande.bottom(); ++y)
                for (int x = bande.left(); x <= bande.right(); ++x) {
                    const QColor q = image.pixelColor(x, y);
                    total += std::abs(q.red() - couleur.red()) + std::abs(q.green() - couleur.green()) +
                                 std::abs(q.blue() - couleur.blue()) < 40;
                }
            return total;
        };
        EXPECT_EQ(compte(0, true) > 50, c.entrees);
        EXPECT_EQ(compte(1, false) > 50, c.entrees);
    }
}
