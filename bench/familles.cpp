#include "familles.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/graphe_contenu.h"

#include <map>
#include <random>

namespace Bancs {

namespace {

// k valeurs tirées au hasard, multiples de 2^-20 écrits exactement en décimal, de somme
// exactement 1 (la vérification les accepte, même en simple précision).
std::vector<QString> ligne(std::mt19937 &g, int k)
{
    std::vector<int> u(static_cast<std::size_t>(k));
    long long total = 0;
    for (int &x : u) {
        x = 500 + int(g() % 1000);
        total += x;
    }
    std::vector<QString> r;
    const long long Un = 1LL << 20;
    long long reste = Un;
    for (int q = 0; q < k; ++q) {
        const long long v = q + 1 < k ? u[std::size_t(q)] * Un / total : reste;
        reste -= v;
        r.push_back(v == Un ? QStringLiteral("1") : QString::number(double(v) / double(Un), 'f', 20));
    }
    return r;
}

long double x(const QString &s)
{
    return Nombres::VersExtended(s);
}

}

const char *Nom(Famille f)
{
    switch (f) {
    case Famille::Dense99:
        return "dense99";
    case Famille::Chaine97:
        return "chaine97";
    case Famille::Ergodique10:
        return "ergodique10";
    case Famille::Enseignement:
        return "enseignement3";
    }
    return "";
}

Donnees Modele(Famille f, int T, unsigned graine)
{
    std::mt19937 g(graine);
    Donnees d;
    ParametresModele &p = d.p;
    const int N = f == Famille::Dense99 ? 99 : f == Famille::Chaine97 ? 97 : f == Famille::Ergodique10 ? 10 : 3;
    const int M = f == Famille::Dense99 ? 99 : f == Famille::Chaine97 ? 98 : f == Famille::Ergodique10 ? 10 : 2;
    p.N = N;
    p.M = M;
    p.Noms[0] = QStringLiteral("START");
    for (int i = 1; i <= N; ++i)
        p.Noms[i] = QStringLiteral("E%1").arg(i);
    for (int k = 1; k <= M; ++k)
        p.Symboles[k] = QStringLiteral("s%1").arg(k);
    p.Dimensionner(N, M);

    // Arcs existants de chaque ligne (0 = START).
    auto existe = [&](int i, int j) {
        switch (f) {
        case Famille::Chaine97:
            return i == 0 ? j == 1 : j == i % N + 1;
        case Famille::Ergodique10:
            // 12 cases de A absentes : 88 arcs dans A et 10 depuis START.
            for (int k = 0; k < 12; ++k)
                if (i == 1 + k % N && j == 1 + (k * 7 + k / N) % N)
                    return false;
            return true;
        default:
            return true;
        }
    };
    for (int i = 0; i <= N; ++i) {
        std::vector<int> js;
        for (int j = 1; j <= N; ++j)
            if (existe(i, j))
                js.push_back(j);
        const std::vector<QString> v = ligne(g, int(js.size()));
        for (std::size_t q = 0; q < js.size(); ++q)
            (i == 0 ? p.PI[js[q]] : p.A[i][js[q]]) = x(v[q]);
    }
    for (int i = 1; i <= N; ++i) {
        if (f == Famille::Chaine97) {
            // Quatre symboles par état : s(i) .. s(i+3), 98 symboles en tout.
            const char *v[] = {"0.4", "0.3", "0.2", "0.1"};
            for (int q = 0; q < 4; ++q)
                p.B[i][(i - 1 + q) % M + 1] = x(QLatin1String(v[q]));
        } else {
            const std::vector<QString> v = ligne(g, M);
            for (int k = 1; k <= M; ++k)
                p.B[i][k] = x(v[std::size_t(k - 1)]);
        }
    }

    // Séquence générée par le modèle.
    std::uniform_real_distribution<double> u(0.0, 1.0);
    auto tirer = [&](auto valeur, int n) {
        double r = u(g), s = 0;
        int dernier = 1;
        for (int k = 1; k <= n; ++k)
            if (valeur(k) > 0) {
                dernier = k;
                s += double(valeur(k));
                if (r < s)
                    return k;
            }
        return dernier;
    };
    d.e.LongueurSequence = T;
    d.e.Observations.resize(std::size_t(T) + 1);
    d.e.Observations[0] = 0;
    int q = tirer([&](int j) { return p.PI[j]; }, N);
    for (int t = 1; t <= T; ++t) {
        d.e.Observations[t] = tirer([&](int k) { return p.B[q][k]; }, M);
        q = tirer([&](int j) { return p.A[q][j]; }, N);
    }
    QStringList symboles;
    for (int t = 1; t <= T; ++t)
        symboles << p.Symboles[d.e.Observations[t]];
    d.e.SequenceObservations = symboles.join(QLatin1Char(' '));
    d.e.DecoupageCaractere = false;
    return d;
}

bool EcrireFichier(const ParametresModele &p, const QString &chemin)
{
    const int colonnes = 10;
    ContenuModele c;
    c.Start = true;
    auto placer = [&](const QString &nom, int k) -> ContenuModele::Etat & {
        c.Etats.append({nom, 20 + 150 * (k % colonnes), 20 + 120 * (k / colonnes), 60, 100, {}});
        return c.Etats.last();
    };
    placer(QStringLiteral("START"), 0);
    for (int i = 1; i <= p.N; ++i) {
        ContenuModele::Etat &e = placer(p.Noms[i], i);
        for (int k = 1; k <= p.M; ++k)
            if (p.B[i][k] != 0)
                e.Paires.append({p.Symboles[k], Nombres::Formater(p.B[i][k])});
    }
    QList<GrapheContenu::ArcPose> arcs;
    for (int j = 1; j <= p.N; ++j)
        if (p.PI[j] != 0)
            arcs.append({0, j, Nombres::Formater(p.PI[j])});
    for (int i = 1; i <= p.N; ++i)
        for (int j = 1; j <= p.N; ++j)
            if (p.A[i][j] != 0)
                arcs.append({i, j, Nombres::Formater(p.A[i][j])});
    GrapheContenu::AjouterArcs(c, arcs);
    QString erreur;
    return FichierModele::EcrireFichier(chemin, FichierModele::Ecrire(c), &erreur);
}

// Le calcul que fait hmmcalc : exact, mis à l'échelle quand il sort de la plage de l'étendu.
void Executer(Donnees &d, Algo a, ModeCalcul mode)
{
    d.e.GarderTables = false; // ni trace ni treillis
    switch (a) {
    case Algo::Forward:
        Evaluer(d.p, d.e, false, mode);
        break;
    case Algo::Backward:
        Evaluer(d.p, d.e, true, mode);
        break;
    case Algo::Viterbi:
        Decoder(d.p, d.e, mode);
        break;
    case Algo::BaumWelch: {
        ParametresModele p = d.p;
        d.e.NombreIterations = 1;
        d.e.Seuil = 2;
        EntrainerParametres(Entrainement::BaumWelch, p, d.e, nullptr, mode);
        break;
    }
    }
}

Donnees &DonneesCas(int k)
{
    static std::map<int, Donnees> d;
    auto it = d.find(k);
    if (it == d.end())
        it = d.emplace(k, Modele(LesCas[k].f, LesCas[k].T)).first;
    return it->second;
}

void Programme(benchmark::State &st, int k, Algo a, ModeCalcul mode)
{
    Donnees &d = DonneesCas(k);
    for (auto _ : st) {
        Executer(d, a, mode);
        benchmark::DoNotOptimize(d.e.Probabilite);
    }
}

}
