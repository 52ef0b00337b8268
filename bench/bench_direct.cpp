// Latence du calcul en direct : du changement du modèle (valeur prise du document) aux nombres
// du panneau — P(O|λ), chemin de Viterbi et γ de la séquence — sur l'exemple E1/E2 et sur la
// chaîne de 97 états avec T = 2000 (cibles : 50 ms et 150 ms).
//   bench_direct [options de Google Benchmark]
#include "familles.h"
#include "algorithms/direct.h"
#include "model/document.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct CasDirect {
    ContenuModele modele;
    QString sequence;
    bool caractere = true;
};

CasDirect exemple()
{
    CasDirect c;
    QString erreur;
    if (!FichierModele::OuvrirContenu(QStringLiteral(HMM_EXEMPLES "/e1e2.hmm"), &c.modele, &erreur))
        qFatal("%s", qPrintable(erreur));
    c.sequence = QStringLiteral("abbaabbbaaabababbbab");
    return c;
}

CasDirect chaine()
{
    Bancs::Donnees &d = Bancs::DonneesCas(1); // la chaîne de 97 états, T = 2000
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("chaine.hmm"));
    CasDirect c;
    QString erreur;
    if (!Bancs::EcrireFichier(d.p, chemin) || !FichierModele::OuvrirContenu(chemin, &c.modele, &erreur))
        qFatal("chaîne illisible : %s", qPrintable(erreur));
    c.sequence = d.e.SequenceObservations;
    c.caractere = d.e.DecoupageCaractere;
    return c;
}

void latence(benchmark::State &st, const CasDirect &c)
{
    for (auto _ : st) {
        const ResultatDirect r = Direct::Calculer(c.modele, {c.sequence}, c.caractere);
        if (!r.ErreurModele.isEmpty() || r.Sequences.front().Probabilite.isEmpty())
            st.SkipWithError("calcul refusé");
        benchmark::DoNotOptimize(r);
    }
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // l'écriture du fichier de la chaîne passe par le document
    const CasDirect e = exemple(), ch = chaine();
    benchmark::RegisterBenchmark("Direct/Exemple_E1E2_T20", [&](benchmark::State &s) { latence(s, e); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Direct/Chaine97_T2000", [&](benchmark::State &s) { latence(s, ch); })
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
