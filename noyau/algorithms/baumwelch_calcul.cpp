// Baum-Welch. Les sommes sur t se font toujours t croissant à partir de 0 ; ξ n'est pas
// rangé en entier : chaque ξ[t][i][j] est ajouté à sa somme dès qu'il est calculé, ce qui
// donne exactement les mêmes additions que de sommer la table complète ensuite.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "algorithms/tables.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <algorithm>
#include <cmath>

namespace {

using LD = long double;
using Calcul::TablesModele;

// Les sommes n[i][j] = Σ_t ξ[t][i][j] : pour chaque case, t croissant, comme la définition.
// Le calcul parcourt t à l'intérieur (la somme reste dans un registre, A[i][j] et P aussi) par
// tuiles de t, sur des copies transposées de α, β et de B[j][O[t+1]] lues en continu.
template <bool Scinde>
void sommesXi(const TablesModele &m, const int *O, int T, const Matrice<LD> &alpha, const Matrice<LD> &beta, LD P,
              Matrice<LD> &n)
{
    const int N = m.N;
    const std::size_t L = std::size_t(m.L);
    if (T < 2)
        return;
    const std::size_t nt = std::size_t(T - 1); // k = t - 1, t = 1..T-1
    std::vector<LD> aT(L * nt), bT(L * nt);
    std::vector<double> cH(L * nt), cB(Scinde ? L * nt : 0);
    std::vector<LD> cE(Scinde ? 0 : L * nt);
    for (std::size_t k = 0; k < nt; ++k) {
        const int t = int(k) + 1;
        const LD *a = alpha.LigneBrute(t);
        const LD *b = beta.LigneBrute(t + 1);
        const std::size_t o = std::size_t(O[t + 1]) * L;
        for (std::size_t i = 1; i <= std::size_t(N); ++i) {
            aT[i * nt + k] = a[i];
            bT[i * nt + k] = b[i];
            if constexpr (Scinde) {
                cH[i * nt + k] = m.Bth[o + i];
                cB[i * nt + k] = m.Btl[o + i];
            } else {
                cE[i * nt + k] = m.Bt[o + i];
            }
        }
    }
    constexpr std::size_t Tuile = 256;
    auto c = [&](std::size_t j, std::size_t k) -> LD {
        if constexpr (Scinde)
            return static_cast<LD>(cH[j * nt + k]) + cB[j * nt + k];
        else
            return cE[j * nt + k];
    };
    for (std::size_t k0 = 0; k0 < nt; k0 += Tuile) {
        const std::size_t k1 = std::min(nt, k0 + Tuile);
        for (std::size_t i = 1; i <= std::size_t(N); ++i) {
            const LD *ai = aT.data() + i * nt;
            LD *ni = n.LigneBrute(static_cast<long long>(i));
            std::size_t j = 1;
            // Deux cases à la fois : deux sommes indépendantes en vol.
            for (; j + 1 <= std::size_t(N); j += 2) {
                const LD a0 = m.A[i * L + j], a1 = m.A[i * L + j + 1];
                const LD *b0 = bT.data() + j * nt, *b1 = b0 + nt;
                LD s0 = ni[j], s1 = ni[j + 1];
                for (std::size_t k = k0; k < k1; ++k) {
                    const LD x = ai[k];
                    s0 = s0 + (((b0[k] * x) * a0) * c(j, k)) / P;
                    s1 = s1 + (((b1[k] * x) * a1) * c(j + 1, k)) / P;
                }
                ni[j] = s0;
                ni[j + 1] = s1;
            }
            for (; j <= std::size_t(N); ++j) {
                const LD a0 = m.A[i * L + j];
                const LD *b0 = bT.data() + j * nt;
                LD s0 = ni[j];
                for (std::size_t k = k0; k < k1; ++k)
                    s0 = s0 + (((b0[k] * ai[k]) * a0) * c(j, k)) / P;
                ni[j] = s0;
            }
        }
    }
}

// Quotient réestimé ; 0/0 (texte "NAN") garde l'ancienne valeur.
LD quotient(LD numerateur, LD denominateur, LD ancien)
{
    const LD q = numerateur / denominateur;
    return std::isnan(q) ? ancien : q;
}

void dimensionnerComptes(const ParametresModele &p, EspaceTravail &e)
{
    const int L = p.N + 1;
    e.Gamma.Dimensionner(e.LongueurSequence + 1, L);
    e.EsperancesDepuis.resize(std::size_t(L));
    e.EsperancesEtat.resize(std::size_t(L));
    e.EsperancesTransitions.Dimensionner(L, L);
    e.EsperancesGeneration.Dimensionner(L, p.M + 1);
}

}

void CalculerGamma(const ParametresModele &p, EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    const int N = p.N;
    const LD P = e.Probabilite;
    if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1)
        e.Gamma.Dimensionner(T + 1, N + 1);
    for (int t = 1; t <= T; ++t) {
        const LD *a = e.Alpha.LigneBrute(t);
        const LD *b = e.Beta.LigneBrute(t);
        LD *g = e.Gamma.LigneBrute(t);
        for (int i = 1; i <= N; ++i)
            g[i] = (b[i] * a[i]) / P;
    }
}

void CalculerXi(const ParametresModele &p, EspaceTravail &e)
{
    Calcul::ControlerSequence(p, e);
    const TablesModele m(p);
    e.EsperancesTransitions.Dimensionner(m.L, m.L);
    if (m.BScinde)
        sommesXi<true>(m, e.Observations.data(), e.LongueurSequence, e.Alpha, e.Beta, e.Probabilite,
                       e.EsperancesTransitions);
    else
        sommesXi<false>(m, e.Observations.data(), e.LongueurSequence, e.Alpha, e.Beta, e.Probabilite,
                        e.EsperancesTransitions);
}

namespace {

// `alphaAJour` : Alpha est déjà celui de ces paramètres (le Forward qui clôt l'itération
// précédente) ; le recalculer donnerait exactement les mêmes valeurs.
void iteration(ParametresModele &p, EspaceTravail &e, bool alphaAJour)
{
    const int N = p.N, M = p.M, T = e.LongueurSequence;
    if (!alphaAJour)
        CalculerForward(p, e);
    CalculerBackward(p, e);
    if (e.Gamma.Lignes() != T + 1 || e.Gamma.Colonnes() != N + 1 || e.EsperancesGeneration.Colonnes() != M + 1 ||
        e.EsperancesDepuis.longueur() != N + 1)
        dimensionnerComptes(p, e);
    CalculerGamma(p, e);
    CalculerXi(p, e);

    bool stable = true;
    const LD *g1 = e.Gamma.LigneBrute(1);
    for (int i = 1; i <= N; ++i) {
        if (stable)
            stable = (p.PI[i] == g1[i]);
        p.PI[i] = g1[i];
    }

    const int *O = e.Observations.data();
    std::vector<LD> g(std::size_t(M) + 1);
    for (int i = 1; i <= N; ++i) {
        // d = Σ_{t<T} γ, e = Σ_{t<=T} γ : la seconde somme prolonge exactement la première.
        LD d = 0;
        for (int t = 1; t < T; ++t)
            d = d + e.Gamma.LigneBrute(t)[i];
        const LD eI = d + e.Gamma.LigneBrute(T)[i];
        e.EsperancesDepuis[i] = d;
        const LD *n = e.EsperancesTransitions.LigneBrute(i);
        for (int j = 1; j <= N; ++j) {
            const LD ancien = p.A[i][j];
            const LD nouveau = quotient(n[j], d, ancien);
            if (stable)
                stable = (ancien == nouveau);
            p.A[i][j] = nouveau;
        }

        e.EsperancesEtat[i] = eI;
        std::fill(g.begin(), g.end(), 0.0L);
        for (int t = 1; t <= T; ++t)
            if (O[t] >= 1)
                g[std::size_t(O[t])] = g[std::size_t(O[t])] + e.Gamma.LigneBrute(t)[i];
        LD *eg = e.EsperancesGeneration.LigneBrute(i);
        for (int k = 1; k <= M; ++k) {
            eg[k] = g[std::size_t(k)];
            const LD ancien = p.B[i][k];
            const LD nouveau = quotient(g[std::size_t(k)], eI, ancien);
            if (stable)
                stable = (ancien == nouveau);
            p.B[i][k] = nouveau;
        }
    }
    e.Stable = stable;
    CalculerForward(p, e);
}

}

void IterationBaumWelch(ParametresModele &p, EspaceTravail &e)
{
    iteration(p, e, false);
}

IssueEntrainement BouclerBaumWelch(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs)
{
    const bool modeIterations = (e.Seuil == 2);
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    e.IterationsEffectuees = 0;
    if (!modeIterations)
        CalculerForward(p, e);
    if (obs)
        obs->Debut(Entrainement::BaumWelch, p, e);
    dimensionnerComptes(p, e);
    if (!modeIterations && e.Probabilite >= e.Seuil) {
        if (obs)
            obs->FinSansIteration(Entrainement::BaumWelch, p, e);
        return IssueEntrainement::SeuilDejaAtteint;
    }

    e.IterationCourante = 1;
    bool alphaAJour = !modeIterations; // le Forward du test du seuil vient d'être fait
    for (;;) {
        if (modeIterations && !(e.IterationCourante <= e.NombreIterations && !e.Stable))
            break;
        iteration(p, e, alphaAJour);
        alphaAJour = true;
        ++e.IterationsEffectuees;
        if (!modeIterations)
            e.LimiteAtteinte =
                e.IterationCourante >= LimiteIterationsSeuil && e.Probabilite < e.Seuil && !e.Stable;
        if (obs && !obs->Continuer(Entrainement::BaumWelch))
            e.Interrompu = true;
        if (obs)
            obs->Iteration(Entrainement::BaumWelch, p, e);
        if (e.Interrompu)
            return IssueEntrainement::Interrompu;
        if (!modeIterations) {
            if (!(e.Probabilite < e.Seuil && !e.Stable))
                break;
            if (e.LimiteAtteinte)
                return IssueEntrainement::LimiteAtteinte;
        }
        ++e.IterationCourante;
    }
    return IssueEntrainement::Termine;
}

QString CheminJournalEntrainement()
{
    return Repertoire::Fichier(QStringLiteral("APP.txt"));
}

void PreparerEntrainement(DocumentModele &doc, EspaceTravail &e)
{
    doc.CalculerParametres();
    DecouperSequence(doc.Parametres, e);
    ExigerGeneration(doc.Parametres, e);
}

void ConclureEntrainement(Entrainement type, DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs)
{
    if (obs)
        obs->AvantModification(type);
    ReporterParametres(doc, DescriptionEntrainement(type, CiterSequence(e.SequenceObservations, !e.DecoupageCaractere)));
    // Le journal reste dans le répertoire du programme pour la trace ; un échec d'écriture
    // n'annule pas l'entraînement (la trace le signalera en ne trouvant pas le journal).
    Textes::EcrireLignes(CheminJournalEntrainement(), e.JournalEntrainement);
    if (obs)
        obs->Fin(type, doc.Parametres, e);
}

IssueEntrainement EntrainerBaumWelch(DocumentModele &doc, EspaceTravail &e, ObservateurEntrainement *obs)
{
    PreparerEntrainement(doc, e);
    const IssueEntrainement issue = BouclerBaumWelch(doc.Parametres, e, obs);
    if (issue == IssueEntrainement::SeuilDejaAtteint)
        return issue;
    ConclureEntrainement(Entrainement::BaumWelch, doc, e, obs);
    return issue;
}

void ReporterParametres(DocumentModele &doc, const QString &description)
{
    if (doc.Parametres.N != doc.N)
        throw ERefusCalcul(QStringLiteral("Le modèle a changé pendant l'entraînement : "
                                          "les paramètres ne peuvent pas y être reportés."));
    doc.ReporterParametres(description);
}

QString DescriptionEntrainement(Entrainement type, const QString &sequence)
{
    return (type == Entrainement::BaumWelch ? QStringLiteral("l'Entrainnement de BaumWelch avec la séquence ")
                                            : QStringLiteral("l'Entrainnement de Viterbi avec la séquence ")) +
           sequence;
}
