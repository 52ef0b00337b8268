#include "algorithms/direct.h"
#include "algorithms/decodage.h"
#include "algorithms/echelle.h"
#include "algorithms/evaluation.h"
#include "algorithms/espace.h"
#include "algorithms/portee.h"
#include "algorithms/posterieur.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/parametres.h"

#include <algorithm>
#include <new>

namespace {

// Au-delà, γ demanderait des tables T×N de plusieurs centaines de Mo : le graphe s'en passe.
constexpr long long CellulesGammaMax = 4'000'000;

// Les tables T×N de γ tiennent-elles sous le plafond ?
bool gammaPossible(const ParametresModele &p, const EspaceTravail &e)
{
    const int T = e.LongueurSequence;
    return T >= 1 && (long long)T * (p.N + 1) <= CellulesGammaMax;
}

bool arrete(const std::atomic<bool> *arret)
{
    return arret && arret->load(std::memory_order_relaxed);
}

QString rapportCourt(const QStringList &rapport)
{
    // Les lignes d'erreur et la conclusion ; les lignes de progression n'apprennent rien ici.
    QStringList l;
    for (const QString &x : rapport) {
        const QString t = x.trimmed();
        if (!t.isEmpty() && !t.startsWith(QLatin1String("Vérifiant")))
            l << t;
    }
    if (l.size() > 6)
        l = l.mid(0, 5) << l.last();
    return l.join(QLatin1Char('\n'));
}

// γ tiré des tables du Forward que vient de faire Evaluer (gardées) : le Backward seul s'y
// ajoute, comme EvaluerTables puis CalculerGammaTables l'auraient fait, aux mêmes bits.
// Rend false quand la séquence n'est pas générée (γ refusé).
bool gammaDesTables(const ParametresModele &p, EspaceTravail &e, ResultatDirect &r)
{
    const int T = e.LongueurSequence, N = p.N;
    if (e.MisALEchelle)
        Echelle::Backward(p, e); // ᾱ et c_t refaits avec β̂, comme dans EvaluerTables
    else if (e.Probabilite == 0)
        return false;
    else
        CalculerBackward(p, e);
    CalculerGammaTables(p, e);
    const int pas = std::max(1, (T + Direct::PointsGamma - 1) / Direct::PointsGamma);
    for (int i = 1; i <= N; ++i)
        r.Etats << p.NomEtat(i);
    for (int t = 1; t <= T; t += pas) {
        r.Instants.push_back(t);
        std::vector<double> ligne(static_cast<std::size_t>(N));
        for (int i = 1; i <= N; ++i)
            ligne[std::size_t(i - 1)] = double(e.Gamma(t, i));
        r.Gamma.push_back(std::move(ligne));
    }
    return true;
}

// Le calcul des séquences sur des paramètres déjà tirés du modèle.
void calculerSequences(const ParametresModele &p, const QStringList &sequences, bool caractere,
                       const std::atomic<bool> *arret, ResultatDirect &r)
{
    int premiere = -1; // la première séquence calculable, dans r.Sequences
    for (const QString &s : sequences) {
        if (arrete(arret)) {
            r.Arrete = true;
            return;
        }
        ResultatSequenceDirect x;
        x.Sequence = s;
        try {
            EspaceTravail e;
            e.SequenceObservations = s;
            e.DecoupageCaractere = caractere;
            DecouperSequence(p, e);
            // La première séquence garde les tables de son Forward : γ n'en refait pas un.
            const bool gamma = premiere < 0 && gammaPossible(p, e);
            e.GarderTables = gamma;
            Evaluer(p, e, false);
            x.Probabilite = TexteProbabilite(e);
            x.MisALEchelle = e.MisALEchelle;
            if (arrete(arret)) {
                r.Arrete = true;
                return;
            }
            if (gamma) {
                ResultatDirect g;
                try {
                    if (gammaDesTables(p, e, g))
                        r.Etats = g.Etats, r.Instants = std::move(g.Instants), r.Gamma = std::move(g.Gamma);
                } catch (const ERefusCalcul &) {
                    // Séquence non générée : Decoder le dit plus bas.
                } catch (const std::bad_alloc &) {
                }
                e.Alpha = Matrice<long double>(), e.Beta = Matrice<long double>(), e.Gamma = Matrice<long double>();
                if (arrete(arret)) {
                    r.Arrete = true;
                    return;
                }
            }
            e.GarderTables = false; // seuls la probabilité et le chemin sont lus
            Decoder(p, e);
            x.CheminViterbi = EtatsCheminViterbi(p, e);
            x.TexteViterbi = TexteCheminEtats(x.CheminViterbi);
            x.ProbabiliteViterbi = TexteProbabilite(e);
            if (premiere < 0) {
                premiere = int(r.Sequences.size());
                if (!r.Gamma.empty())
                    r.SequenceGamma = s;
            }
        } catch (const ERefusCalcul &refus) {
            x.Erreur = refus.Message();
            if (premiere < 0) // γ de cette séquence refusée : il ira à la suivante
                r.Etats.clear(), r.Instants.clear(), r.Gamma.clear();
        } catch (const std::bad_alloc &) {
            x.Erreur = QStringLiteral("Mémoire insuffisante pour cette séquence.");
            if (premiere < 0)
                r.Etats.clear(), r.Instants.clear(), r.Gamma.clear();
        }
        r.Sequences.push_back(std::move(x));
    }
    if (premiere >= 0 && !r.Gamma.empty()) {
        // Le chemin de Viterbi de la même séquence, aux mêmes instants (par index : deux
        // états ne portent pas le même nom dans un modèle vérifié).
        const ResultatSequenceDirect &v = r.Sequences[std::size_t(premiere)];
        for (int t : r.Instants)
            r.CheminGamma.push_back(int(r.Etats.indexOf(v.CheminViterbi.value(t - 1))));
    }
    r.Arrete = arrete(arret);
}

}

namespace Direct {

ResultatDirect Calculer(const ContenuModele &modele, const QStringList &sequences, bool caractere,
                        const std::atomic<bool> *arret)
{
    ResultatDirect r;
    QStringList rapport;
    if (!VerifierContenu(modele, rapport)) {
        r.ErreurModele = rapportCourt(rapport);
        return r;
    }
    ParametresModele p;
    try {
        CalculerParametres(modele, p);
    } catch (const EConversion &x) {
        r.ErreurModele = x.Message();
        return r;
    } catch (const ETropDeSymboles &x) {
        r.ErreurModele = x.Message();
        return r;
    }
    calculerSequences(p, sequences, caractere, arret, r);
    return r;
}

ResultatDirect CalculerLambda(const ParametresModele &p, const QStringList &sequences, bool caractere,
                              const std::atomic<bool> *arret)
{
    ResultatDirect r;
    calculerSequences(p, sequences, caractere, arret, r);
    return r;
}

}
