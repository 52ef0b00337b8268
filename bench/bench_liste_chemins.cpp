// Banc d'essai de la liste des chemins de la fenêtre principale : le million de chemins d'une
// énumération montré dans la vue (modèle rempli, colonnes ajustées, lignes visibles dessinées),
// trié par chaque colonne, défilé ; à côté, l'ancienne liste à un élément par ligne sur
// 100 000 lignes (au million, elle demanderait deux gigaoctets). Le compteur « Mo » donne la
// mémoire ajoutée au processus (résidente).
//   bench_liste_chemins [options de Google Benchmark]
//   bench_liste_chemins --modele FICHIER : écrit une clique de 9 états (un seul symbole « a »),
//     dont la séquence « aaaaaa » a 9^6 = 531 441 chemins non nuls, pour regarder la fenêtre.
#include "familles.h"
#include "editor/listes.h"
#include "editor/listes_outils.h"
#include "editor/modele_chemins.h"
#include "graph/nombres.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// Table de n chemins de longueur 6 sur 10 états (tous les chemins de 10^6 pour n = 10^6),
// probabilités distinctes en désordre.
TableDesChemins table(int n)
{
    TableDesChemins t;
    QStringList noms{QStringLiteral("START")};
    for (int i = 1; i <= 10; ++i)
        noms << QStringLiteral("E%1").arg(i);
    t.Vider(6, noms);
    int s[7] = {0, 1, 1, 1, 1, 1, 1};
    for (int r = 0; r < n; ++r) {
        int x = r;
        for (int k = 1; k <= 6; ++k, x /= 10)
            s[k] = x % 10 + 1;
        t.Ajouter(s, double((r * 7919LL) % 1000003 + 1) * 1e-12);
    }
    return t;
}

double memoireMo()
{
    long pages = 0, residentes = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &residentes) != 2)
            residentes = 0;
        std::fclose(f);
    }
    return double(residentes) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

std::unique_ptr<QTreeView> vue()
{
    auto v = std::make_unique<QTreeView>();
    v->setUniformRowHeights(true);
    v->setRootIsDecorated(false);
    v->setItemsExpandable(false);
    v->resize(400, 600);
    OutilsListe::Equiper(v.get());
    return v;
}

// Mesure commune aux deux listes : la vue bâtie par `construire` (lignes comprises), colonnes
// ajustées, vue dessinée ; le compteur « Mo » donne la mémoire prise.
template <class Construire>
void mesurerListe(benchmark::State &st, Construire construire)
{
    double mo = 0;
    for (auto _ : st) {
        const double avant = memoireMo();
        std::unique_ptr<QTreeView> v = construire();
        OutilsListe::AjusterColonnes(v.get());
        v->show();
        benchmark::DoNotOptimize(v->viewport()->grab());
        mo = std::max(mo, memoireMo() - avant); // la première itération : la mémoire rendue reste au processus
        v.reset();
    }
    st.counters["Mo"] = mo;
}

// Ce que fait la fenêtre : modèle rempli, colonnes ajustées, vue dessinée.
void lister(benchmark::State &st)
{
    const TableDesChemins t = table(int(st.range(0)));
    mesurerListe(st, [&] {
        auto v = vue();
        auto *m = new ModeleChemins(v.get());
        v->setModel(m);
        v->setSortingEnabled(true);
        m->Remplir(t, 1);
        return v;
    });
}

// L'ancienne liste : un élément (et ses textes) par ligne.
void listerElements(benchmark::State &st)
{
    const int n = int(st.range(0));
    const TableDesChemins t = table(n);
    mesurerListe(st, [&]() -> std::unique_ptr<QTreeView> {
        auto v = std::make_unique<QTreeWidget>();
        v->setColumnCount(2);
        v->setUniformRowHeights(true);
        v->resize(400, 600);
        QList<QTreeWidgetItem *> lignes;
        lignes.reserve(n);
        for (long long r = 1; r <= t.Lignes(); ++r) {
            auto *i = new QTreeWidgetItem(QStringList{t.TexteChemin(r), t.Texte(r, t.Longueur() + 1)});
            i->setIcon(0, ListesResultats::Icone(ListesResultats::IconeLigne));
            lignes << i;
        }
        v->addTopLevelItems(lignes);
        return v;
    });
}

// Une vue montrée, son modèle (qu'elle possède) rempli du million de chemins.
std::unique_ptr<QTreeView> millionMontre(const TableDesChemins &t, ModeleChemins *&m)
{
    auto v = vue();
    m = new ModeleChemins(v.get());
    v->setModel(m);
    m->Remplir(t, 1);
    v->show();
    return v;
}

// Un clic sur un en-tête (colonne 0 : chemin, 1 : probabilité), puis la vue redessinée.
void trier(benchmark::State &st)
{
    const TableDesChemins t = table(1000000);
    ModeleChemins *m = nullptr;
    const auto v = millionMontre(t, m);
    const int colonne = int(st.range(0));
    bool croissant = true;
    for (auto _ : st) {
        m->sort(colonne, croissant ? Qt::AscendingOrder : Qt::DescendingOrder);
        croissant = !croissant;
        benchmark::DoNotOptimize(v->viewport()->grab());
    }
}

// Une page de défilement ailleurs dans la liste, puis la vue redessinée.
void defiler(benchmark::State &st)
{
    const TableDesChemins t = table(1000000);
    ModeleChemins *m = nullptr;
    const auto v = millionMontre(t, m);
    QScrollBar *b = v->verticalScrollBar();
    int k = 0;
    for (auto _ : st) {
        b->setValue(int((k++ * 104729LL) % (b->maximum() + 1)));
        benchmark::DoNotOptimize(v->viewport()->grab());
    }
}

int ecrireClique(const char *chemin)
{
    Bancs::Donnees d;
    ParametresModele &p = d.p;
    p.N = 9;
    p.M = 1;
    p.Noms[0] = QStringLiteral("START");
    for (int i = 1; i <= 9; ++i)
        p.Noms[i] = QStringLiteral("E%1").arg(i);
    p.Symboles[1] = QStringLiteral("a");
    p.Dimensionner(9, 1);
    // Huit fois 0,11 et une fois 0,12 : chaque ligne fait exactement 1.
    for (int i = 0; i <= 9; ++i)
        for (int j = 1; j <= 9; ++j)
            (i == 0 ? p.PI[j] : p.A[i][j]) = j == 9 ? 0.12L : 0.11L;
    for (int i = 1; i <= 9; ++i)
        p.B[i][1] = 1;
    return Bancs::EcrireFichier(p, QString::fromLocal8Bit(chemin)) ? 0 : 1;
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--modele") == 0) {
        Nombres::DefinirSeparateur(QChar('.'));
        return ecrireClique(argv[2]);
    }
    benchmark::RegisterBenchmark("liste/modele", lister)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("liste/elements", listerElements)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("tri/chemin", trier)->Arg(0)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("tri/probabilite", trier)->Arg(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("defilement", defiler)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
