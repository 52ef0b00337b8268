#include "modeles_test.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/graphe_contenu.h"

#include <cmath>
#include <random>

ParametresModele ParametresTextes(const QStringList &noms, const QStringList &symboles, const QStringList &pi,
                                  const QList<QStringList> &A, const QList<QStringList> &B)
{
    ParametresModele p;
    p.N = int(noms.size());
    p.M = int(symboles.size());
    p.Noms[0] = QStringLiteral("START");
    for (int i = 1; i <= p.N; ++i)
        p.Noms[i] = noms[i - 1];
    for (int k = 1; k <= p.M; ++k)
        p.Symboles[k] = symboles[k - 1];
    p.Dimensionner(p.N, p.M);
    for (int i = 1; i <= p.N; ++i) {
        p.PI[i] = Nombres::VersExtended(pi[i - 1]);
        for (int j = 1; j <= p.N; ++j)
            p.A[i][j] = Nombres::VersExtended(A[i - 1][j - 1]);
        for (int k = 1; k <= p.M; ++k)
            p.B[i][k] = Nombres::VersExtended(B[i - 1][k - 1]);
    }
    return p;
}

ParametresModele ModeleE1E2()
{
    return ParametresTextes({"E1", "E2"}, {"a", "b"}, {"0.5", "0.5"}, {{"0.7", "0.3"}, {"0.4", "0.6"}},
                            {{"0.9", "0.1"}, {"0.2", "0.8"}});
}

EspaceTravail EspacePour(const std::vector<int> &O)
{
    EspaceTravail e;
    e.LongueurSequence = int(O.size());
    e.Observations.resize(O.size() + 1);
    e.Observations[0] = 0;
    for (std::size_t t = 0; t < O.size(); ++t)
        e.Observations[(long long)t + 1] = O[t];
    return e;
}

// Lignes de π, A et B ramenées à une somme de 1 : un vrai modèle, dont P(O|λ) décroît
// géométriquement avec T.
void Stochastique(ParametresModele &p)
{
    auto ramener = [](auto &&valeur, int n) {
        long double s = 0;
        for (int k = 1; k <= n; ++k)
            s += valeur(k);
        for (int k = 1; k <= n; ++k)
            valeur(k) /= s;
    };
    ramener([&](int k) -> long double & { return p.PI[k]; }, p.N);
    for (int i = 1; i <= p.N; ++i) {
        ramener([&](int k) -> long double & { return p.A[i][k]; }, p.N);
        ramener([&](int k) -> long double & { return p.B[i][k]; }, p.M);
    }
}

ParametresModele ModeleAleatoire(const ReglageAleatoire &r, unsigned graine, std::vector<int> &O)
{
    std::mt19937 g(graine);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    ParametresModele p;
    p.N = r.N;
    p.M = r.M;
    p.Noms[0] = QStringLiteral("START");
    for (int i = 1; i <= r.N; ++i)
        p.Noms[i] = QStringLiteral("E%1").arg(i);
    for (int k = 1; k <= r.M; ++k)
        p.Symboles[k] = QStringLiteral("s%1").arg(k);
    p.Dimensionner(r.N, r.M);
    auto valeur = [&]() -> long double {
        if (u(g) < r.zeros)
            return 0;
        if (r.egalites)
            return u(g) < 0.5 ? 0.25L : 0.5L;
        // Un texte décimal comme ceux que l'on tape : 0,xxxx.
        return Nombres::VersExtended(QStringLiteral("0.%1").arg(1 + int(u(g) * 9998), 4, 10, QChar('0')));
    };
    for (int i = 1; i <= r.N; ++i) {
        p.PI[i] = valeur();
        for (int j = 1; j <= r.N; ++j)
            p.A[i][j] = valeur();
        for (int k = 1; k <= r.M; ++k)
            p.B[i][k] = valeur();
    }
    const QString extra = QLatin1String(r.extra);
    if (extra == QLatin1String("grand"))
        p.A[1][r.N] = 20;
    else if (extra == QLatin1String("negatif"))
        p.A[r.N][1] = -0.5L;
    else if (extra == QLatin1String("minuscule"))
        p.A[1][1] = 1e-320L;
    else if (extra == QLatin1String("bminuscule"))
        p.B[r.N][1] = 1e-4000L;
    else if (extra == QLatin1String("enorme"))
        p.A[1][1] = 1e1000L;
    else if (extra == QLatin1String("doubles"))
        // Multiples de 2^-20 : π, A et B tiennent exactement en doubles (lus comme tels).
        for (int i = 1; i <= r.N; ++i) {
            p.PI[i] = std::ldexp(std::round(std::ldexp(p.PI[i], 20)), -20);
            for (int j = 1; j <= r.N; ++j)
                p.A[i][j] = std::ldexp(std::round(std::ldexp(p.A[i][j], 20)), -20);
            for (int k = 1; k <= r.M; ++k)
                p.B[i][k] = std::ldexp(std::round(std::ldexp(p.B[i][k], 20)), -20);
        }
    else if (extra == QLatin1String("chaine") || extra == QLatin1String("chaine4")) {
        // Un cycle : START -> E1 -> E2 -> ... -> EN -> E1, soit N + 1 arcs.
        for (int i = 1; i <= r.N; ++i) {
            p.PI[i] = i == 1 ? 1 : 0;
            for (int j = 1; j <= r.N; ++j)
                if (j != i % r.N + 1)
                    p.A[i][j] = 0;
            // "chaine4" : Ei n'émet que s(i) .. s(i+3).
            for (int k = 1; k <= r.M && extra == QLatin1String("chaine4"); ++k)
                if ((k - i + r.M) % r.M >= 4)
                    p.B[i][k] = 0;
        }
    } else if (extra == QLatin1String("arcs98")) {
        // 98 arcs en tout : les N arcs de START et N² + N - 98 cases de A mises à 0.
        for (int k = 0, nuls = r.N * r.N + r.N - 98; k < nuls; ++k)
            p.A[1 + k % r.N][1 + (k * 7 + k / r.N) % r.N] = 0;
    }
    O.assign(std::size_t(r.T) + 1, 0);
    for (int t = 1; t <= r.T; ++t)
        O[std::size_t(t)] = 1 + int(g() % unsigned(r.M));
    if (extra == QLatin1String("chaine4"))
        // Une séquence que le cycle peut émettre : à l'instant t l'état est E((t - 1) mod N + 1).
        for (int t = 1; t <= r.T; ++t)
            O[std::size_t(t)] = ((t - 1) % r.N + int(g() % 4u)) % r.M + 1;
    return p;
}

void Construire(DocumentModele &d, bool start, const QList<EtatTest> &etats, const QList<ArcTest> &arcs)
{
    d.GrapheVue()->DefinirTailleSurface(QSize(2000, 400));
    ContenuModele c;
    c.Start = start;
    auto placer = [&](const QString &nom, int k) -> ContenuModele::Etat & {
        ContenuModele::Etat e;
        e.Nom = nom;
        e.Left = 20 + 130 * k;
        e.Top = 40 + (k % 2) * 150;
        e.Width = 100;
        e.Height = 60;
        c.Etats.append(e);
        return c.Etats.last();
    };
    if (start)
        placer(QStringLiteral("START"), 0);
    int k = 0;
    for (const EtatTest &e : etats)
        placer(e.nom, ++k).Paires = e.paires;
    QList<GrapheContenu::ArcPose> poses;
    for (const ArcTest &a : arcs)
        poses.append({a.source, a.destination, a.etiquette});
    GrapheContenu::AjouterArcs(c, poses);
    d.PoserContenu(c);
}

void ConstruireE1E2(DocumentModele &d)
{
    Construire(d, true,
               {{"E1", {{"a", "0.9"}, {"b", "0.1"}}}, {"E2", {{"a", "0.2"}, {"b", "0.8"}}}},
               {{0, 1, "0.5"}, {0, 2, "0.5"}, {1, 1, "0.7"}, {1, 2, "0.3"}, {2, 1, "0.4"}, {2, 2, "0.6"}});
}
