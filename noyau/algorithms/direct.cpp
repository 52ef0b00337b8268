#include "algorithms/direct.h"
#include "algorithms/decodage.h"
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

void calculerGamma(const ParametresModele &p, const QString &sequence, bool caractere, ResultatDirect &r)
{
    EspaceTravail e;
    e.SequenceObservations = sequence;
    e.DecoupageCaractere = caractere;
    DecouperSequence(p, e);
    const int T = e.LongueurSequence, N = p.N;
    if (T < 1 || (long long)T * (N + 1) > CellulesGammaMax)
        return;
    CalculerCheminPosterieur(p, e);
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
    int premiere = -1; // la première séquence calculable, dans r.Sequences
    for (const QString &s : sequences) {
        if (arrete(arret)) {
            r.Arrete = true;
            return r;
        }
        ResultatSequenceDirect x;
        x.Sequence = s;
        try {
            EspaceTravail e;
            e.SequenceObservations = s;
            e.DecoupageCaractere = caractere;
            e.GarderTables = false; // seules la probabilité et le chemin sont lus
            DecouperSequence(p, e);
            Evaluer(p, e, false);
            x.Probabilite = TexteProbabilite(e);
            x.MisALEchelle = e.MisALEchelle;
            if (arrete(arret)) {
                r.Arrete = true;
                return r;
            }
            Decoder(p, e);
            x.CheminViterbi = EtatsCheminViterbi(p, e);
            x.TexteViterbi = TexteCheminEtats(x.CheminViterbi);
            x.ProbabiliteViterbi = TexteProbabilite(e);
            if (premiere < 0)
                premiere = int(r.Sequences.size());
        } catch (const ERefusCalcul &refus) {
            x.Erreur = refus.Message();
        } catch (const std::bad_alloc &) {
            x.Erreur = QStringLiteral("Mémoire insuffisante pour cette séquence.");
        }
        r.Sequences.push_back(std::move(x));
    }
    if (premiere >= 0 && !arrete(arret)) {
        const ResultatSequenceDirect &v = r.Sequences[std::size_t(premiere)];
        try {
            calculerGamma(p, v.Sequence, caractere, r);
            r.SequenceGamma = v.Sequence;
        } catch (const ERefusCalcul &) {
            // Déjà dit par la ligne de la séquence.
        } catch (const std::bad_alloc &) {
            r.Instants.clear();
            r.Gamma.clear();
        }
        // Le chemin de Viterbi de la même séquence, aux mêmes instants (par index : deux
        // états ne portent pas le même nom dans un modèle vérifié).
        for (int t : r.Instants)
            r.CheminGamma.push_back(int(r.Etats.indexOf(v.CheminViterbi.value(t - 1))));
    }
    r.Arrete = arrete(arret);
    return r;
}

}
