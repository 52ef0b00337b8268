// Entraînement sur plusieurs séquences : la boucle commune au calcul exact et au calcul mis à
// l'échelle ; les sommes propres à chacun sont dans baumwelch_calcul.cpp et echelle.cpp.
#include "algorithms/formation.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/citation.h"
#include "algorithms/decodage.h"
#include "algorithms/echelle.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "algorithms/tables.h"
#include "model/parametres.h"

#include <algorithm>
#include <cmath>

namespace {

using LD = long double;

[[noreturn]] void refuser(const EspaceTravail &e, std::size_t k)
{
    throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations n° %1 : ").arg(k + 1) +
                       CiterSequence(e.Formation.Texte(k), !e.DecoupageCaractere));
}

void dimensionnerComptes(const ParametresModele &p, EspaceTravail &e)
{
    const int L = p.N + 1;
    e.EsperancesDepuis.resize(std::size_t(L));
    e.EsperancesEtat.resize(std::size_t(L));
    if (e.EsperancesTransitions.Lignes() != L || e.EsperancesTransitions.Colonnes() != L)
        e.EsperancesTransitions.Dimensionner(L, L);
    e.EsperancesGeneration.Dimensionner(L, p.M + 1);
    DimensionnerComptes(p.N, p.M, e);
}

// Une passe de l'entraînement de Viterbi : les comptes des chemins de toutes les séquences,
// π = part des séquences dont le chemin part de S_i ; un état jamais compté garde sa ligne.
void passeViterbi(ParametresModele &p, EspaceTravail &e, bool echelle)
{
    const int N = p.N, M = p.M;
    std::vector<int> depart(std::size_t(N) + 1, 0);
    ViderComptes(N, M, e);
    // Chemin et symboles de chaque séquence relus dans deux vecteurs de travail.
    VecteurVerifie<int> Q, O;
    for (std::size_t k = 0; k < e.Formation.size(); ++k) {
        e.Formation.ChargerChemin(k, Q);
        e.Formation.ChargerObservations(k, O);
        if (Q[1] >= 1 && Q[1] <= N)
            ++depart[std::size_t(Q[1])];
        AjouterComptes(N, M, Q, O, e.Formation.Longueur(k), e);
    }
    const LD K = LD(e.Formation.size());
    for (int i = 1; i <= N; ++i)
        p.PI[i] = LD(depart[std::size_t(i)]) / K;
    e.Stable = ReestimerParComptes(p, e);
    EvaluerFormation(p, e, echelle);
}

// Les chemins de Viterbi de chaque séquence, décodés une fois ; le premier reste aussi dans
// CheminViterbi (avec Observations, la première séquence).
void decoderFormation(const ParametresModele &p, EspaceTravail &e, bool echelle)
{
    {
        RetourPremiereSequence retour(e);
        for (std::size_t k = 0; k < e.Formation.size(); ++k) {
            e.ChargerFormation(k);
            if (echelle)
                Echelle::Viterbi(p, e);
            else
                CalculerViterbi(p, e);
            e.Formation.RangerChemin(k, e.CheminViterbi);
        }
    }
    e.Formation.ChargerChemin(0, e.CheminViterbi);
}

IssueEntrainement bouclerBaumWelch(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs, bool echelle)
{
    const bool modeIterations = (e.Seuil == 2);
    EvaluerFormation(p, e, echelle);
    if (obs)
        obs->Debut(Entrainement::BaumWelch, p, e);
    dimensionnerComptes(p, e);
    if (!modeIterations && AuMoins(e.ProbabiliteEchelle, e.Seuil)) {
        if (obs)
            obs->FinSansIteration(Entrainement::BaumWelch, p, e);
        return IssueEntrainement::SeuilDejaAtteint;
    }
    SommesFormation s;
    return DeroulerIterations(
        p, e, obs,
        [&] {
            s.Vider(p.N, p.M);
            if (echelle)
                Echelle::SommesBaumWelch(p, e, s);
            else
                SommesBaumWelch(p, e, s);
            ReestimerFormation(p, e, s);
            EvaluerFormation(p, e, echelle);
        },
        [&] { return AuMoins(e.ProbabiliteEchelle, e.Seuil); });
}

IssueEntrainement bouclerViterbi(ParametresModele &p, EspaceTravail &e, ObservateurEntrainement *obs, bool echelle)
{
    decoderFormation(p, e, echelle);
    EvaluerFormation(p, e, echelle);
    return DeroulerPassesViterbi(p, e, obs, [&] { passeViterbi(p, e, echelle); });
}

}

void SommesFormation::Vider(int N, int M)
{
    L = N + 1;
    Mc = M + 1;
    Pi.assign(std::size_t(L), 0.0L);
    Depuis.assign(std::size_t(L), 0.0L);
    Etat.assign(std::size_t(L), 0.0L);
    Transitions.assign(std::size_t(L) * std::size_t(L), 0.0L);
    Generation.assign(std::size_t(L) * std::size_t(Mc), 0.0L);
}

QStringList LignesSequences(const QString &texte)
{
    QStringList l;
    ParcourirLignes(texte, [&l](QStringView ligne) { l << ligne.toString(); });
    return l;
}

void DefinirSequencesFormation(EspaceTravail &e, const QStringList &sequences)
{
    e.Formation.clear();
    for (const QString &s : sequences)
        e.Formation.Ajouter(s);
    TerminerSequencesFormation(e);
}

void TerminerSequencesFormation(EspaceTravail &e)
{
    e.SequenceObservations = e.Formation.empty() ? QString() : e.Formation.Texte(0);
    if (e.Formation.size() < 2)
        e.Formation.clear();
}

void DecouperFormation(const ParametresModele &p, EspaceTravail &e)
{
    SequencesFormation &f = e.Formation;
    f.ViderObservations();
    for (std::size_t k = 0; k < f.size(); ++k) {
        e.SequenceObservations = f.Texte(k);
        DecouperSequence(p, e);
        f.RangerObservations(e.Observations.data() + 1, e.LongueurSequence);
    }
    // La première séquence reste celle de l'espace (trace, listes).
    e.SequenceObservations = f.Texte(0);
    e.ChargerFormation(0);
}

void ReestimerFormation(ParametresModele &p, EspaceTravail &e, const SommesFormation &s)
{
    const int N = p.N, M = p.M;
    const std::size_t L = std::size_t(s.L), Mc = std::size_t(s.Mc);
    const LD K = LD(e.Formation.size());
    bool stable = true;
    for (int i = 1; i <= N; ++i)
        Remplacer(p.PI[i], s.Pi[std::size_t(i)] / K, stable);
    for (int i = 1; i <= N; ++i) {
        const std::size_t si = std::size_t(i);
        const LD d = s.Depuis[si];
        e.EsperancesDepuis[i] = d;
        for (int j = 1; j <= N; ++j) {
            const LD n = s.Transitions[si * L + std::size_t(j)];
            e.EsperancesTransitions(i, j) = n;
            Remplacer(p.A[i][j], QuotientReestime(n, d, p.A[i][j]), stable);
        }
        const LD eI = s.Etat[si];
        e.EsperancesEtat[i] = eI;
        for (int k = 1; k <= M; ++k) {
            const LD g = s.Generation[si * Mc + std::size_t(k)];
            e.EsperancesGeneration(i, k) = g;
            Remplacer(p.B[i][k], QuotientReestime(g, eI, p.B[i][k]), stable);
        }
    }
    e.Stable = stable;
}

void EvaluerFormation(const ParametresModele &p, EspaceTravail &e, bool echelle)
{
    GrandeProbabilite produit = GrandeProbabilite::De(1);
    // Les tables de λ une fois pour toutes les séquences (mêmes résultats que CalculerForward).
    thread_local Calcul::TablesModele m;
    if (!echelle)
        m.Construire(p);
    RetourPremiereSequence retour(e);
    for (std::size_t k = 0; k < e.Formation.size(); ++k) {
        e.ChargerFormation(k);
        // P(O_k|λ) se relit en étendu : VersEtendu de la valeur rangée, la même que Probabilite.
        GrandeProbabilite g;
        if (echelle) {
            Echelle::Forward(p, e);
            g = e.ProbabiliteEchelle;
        } else {
            Calcul::ControlerSequence(p, e);
            Calcul::Forward(m, e);
            g = GrandeProbabilite::De(e.Probabilite);
        }
        e.Formation.DefinirProbabilite(k, g);
        produit *= g;
    }
    e.MisALEchelle = echelle;
    e.ProbabiliteEchelle = produit;
    e.Probabilite = produit.VersEtendu();
}

IssueEntrainement BouclerFormation(Entrainement type, ParametresModele &p, EspaceTravail &e,
                                   ObservateurEntrainement *obs, bool echelle)
{
    e.LimiteAtteinte = false;
    e.Interrompu = false;
    e.Stable = false;
    e.IterationsEffectuees = 0;
    return type == Entrainement::BaumWelch ? bouclerBaumWelch(p, e, obs, echelle) : bouclerViterbi(p, e, obs, echelle);
}

IssueEntrainement EntrainerParametresFormation(Entrainement type, ParametresModele &p, EspaceTravail &e,
                                               ObservateurEntrainement *obs, ModeCalcul mode)
{
    DecouperFormation(p, e);
    // Exact quand toutes les séquences le permettent ; une séquence impossible est refusée.
    bool echelle = mode == ModeCalcul::Echelle;
    {
        RetourPremiereSequence retour(e);
        for (std::size_t k = 0; k < e.Formation.size(); ++k) {
            e.ChargerFormation(k);
            if (mode == ModeCalcul::Automatique) {
                CalculerForward(p, e);
                if (!HorsPortee(e.Probabilite)) {
                    if (type == Entrainement::Viterbi && !echelle) {
                        CalculerViterbi(p, e);
                        echelle = HorsPortee(e.Probabilite);
                    }
                    continue;
                }
            }
            Echelle::Forward(p, e);
            if (e.ProbabiliteEchelle.EstNulle())
                refuser(e, k);
            echelle = true;
        }
    }
    return BouclerFormation(type, p, e, obs, echelle);
}

QString TexteProbabiliteFormation(const EspaceTravail &e, int k, int chiffres)
{
    if (k == 0)
        return e.ProbabiliteEchelle.Texte(chiffres);
    return e.Formation.ProbabiliteEchelle(std::size_t(k - 1)).Texte(chiffres);
}
