#include "algorithms/portee.h"
#include "algorithms/citation.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/echelle.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "graph/nombres.h"
#include "model/parametres.h"


namespace {

// Le calcul exact vient de finir : ProbabiliteEchelle suit Probabilite.
void exact(EspaceTravail &e)
{
    e.MisALEchelle = false;
    e.ProbabiliteEchelle = GrandeProbabilite::De(e.Probabilite);
}

[[noreturn]] void refuser(const ParametresModele &p, const EspaceTravail &e)
{
    throw ERefusCalcul(QStringLiteral("Ce modèle ne génère pas la séquence d'observations : ") +
                       CiterSequence(e.SequenceObservations, !e.DecoupageCaractere) + CauseNonGeneration(p, e));
}

// Calcul exact qui s'arrête dès que son résultat sort sûrement de la plage (il rend alors 0) :
// ce qui suit le refait mis à l'échelle, sans garder de table exacte inutile.
template <typename F>
void exactOuArret(EspaceTravail &e, F &&calcul)
{
    e.ArretHorsPortee = true;
    try {
        calcul();
    } catch (...) {
        e.ArretHorsPortee = false;
        throw;
    }
    e.ArretHorsPortee = false;
    exact(e);
}

// Forward qui dit si le modèle génère la séquence : exact, puis mis à l'échelle quand P(O|λ)
// exacte sort de la plage. Rend true quand le calcul exact suffit. `pourEntrainement` : le
// Forward mis à l'échelle est celui que Baum-Welch sans tables reprend (Echelle::BouclerBaumWelch
// avec forwardFait), fait une fois au lieu de deux.
bool genere(const ParametresModele &p, EspaceTravail &e, ModeCalcul mode, bool pourEntrainement = false)
{
    if (mode == ModeCalcul::Automatique) {
        exactOuArret(e, [&] { CalculerForward(p, e); });
        if (!HorsPortee(e.Probabilite))
            return true;
    }
    if (pourEntrainement)
        Echelle::ForwardPourEntrainement(p, e);
    else
        Echelle::Forward(p, e);
    if (e.ProbabiliteEchelle.EstNulle())
        refuser(p, e);
    return false;
}

}


void Evaluer(const ParametresModele &p, EspaceTravail &e, bool arriere, ModeCalcul mode)
{
    e.Formation.clear(); // une évaluation porte sur une seule séquence
    const auto calculExact = [&] {
        if (arriere)
            CalculerBackward(p, e);
        else
            CalculerForward(p, e);
    };
    if (mode == ModeCalcul::Automatique) {
        exactOuArret(e, calculExact);
        if (!HorsPortee(e.Probabilite))
            return;
    }
    if (arriere)
        Echelle::Backward(p, e);
    else
        Echelle::Forward(p, e);
    if (mode == ModeCalcul::Automatique && e.ProbabiliteEchelle.EstNulle()) {
        // Séquence impossible : elle garde les tables exactes (et sa probabilité 0).
        calculExact();
        exact(e);
    }
}

void Decoder(const ParametresModele &p, EspaceTravail &e, ModeCalcul mode)
{
    e.Formation.clear();
    if (mode == ModeCalcul::Automatique) {
        // Le Forward ne sert qu'à refuser une séquence impossible ; sans tables à montrer, le
        // chemin de probabilité nulle le dit aussi (P(O|λ) = 0 si et seulement si δ_T = 0).
        const bool genereExacte = e.GarderTables ? genere(p, e, mode) : true;
        if (genereExacte) {
            // P(O|λ) est dans la plage ; la probabilité du meilleur chemin, plus petite, peut en sortir.
            exactOuArret(e, [&] { CalculerViterbi(p, e); });
            if (!HorsPortee(e.Probabilite))
                return;
        }
    }
    Echelle::Viterbi(p, e);
    if (e.ProbabiliteEchelle.EstNulle())
        refuser(p, e);
}

void EvaluerTables(const ParametresModele &p, EspaceTravail &e)
{
    e.Formation.clear();
    e.GarderTables = true;
    exactOuArret(e, [&] { CalculerForward(p, e); });
    if (!HorsPortee(e.Probabilite)) {
        CalculerBackward(p, e);
        exact(e);
        return;
    }
    Echelle::Backward(p, e);
    if (e.ProbabiliteEchelle.EstNulle()) {
        // Séquence impossible : les tables exactes (nulles) disent où elle cesse d'être générée.
        CalculerForward(p, e);
        CalculerBackward(p, e);
        exact(e);
    }
}

void CalculerGammaTables(const ParametresModele &p, EspaceTravail &e)
{
    if (e.MisALEchelle) {
        Echelle::Gamma(p, e);
        return;
    }
    if (e.Probabilite == 0)
        refuser(p, e);
    CalculerGamma(p, e);
}

IssueEntrainement EntrainerParametres(Entrainement type, ParametresModele &p, EspaceTravail &e,
                                      ObservateurEntrainement *obs, ModeCalcul mode)
{
    DecouperSequence(p, e);
    const bool repris = type == Entrainement::BaumWelch && !e.GarderTables;
    bool exacte = genere(p, e, mode, repris);
    if (exacte && type == Entrainement::Viterbi) {
        // Le chemin exact existe-t-il dans la plage ? (BouclerViterbi le recalcule à l'identique.)
        EspaceTravail essai;
        essai.Observations = e.Observations;
        essai.LongueurSequence = e.LongueurSequence;
        essai.GarderTables = false;
        exactOuArret(essai, [&] { CalculerViterbi(p, essai); });
        exacte = !HorsPortee(essai.Probabilite);
    }
    IssueEntrainement issue;
    if (exacte) {
        // Exactement EntrainerBaumWelch / EntrainerViterbi : la suite de PreparerEntrainement.
        // L'entraînement de Viterbi lit ses tables entières ; Baum-Welch sans tables demandées
        // somme γ et ξ au fil du Forward (mêmes valeurs, bien moins de mémoire).
        const bool garder = e.GarderTables;
        e.GarderTables = garder || type == Entrainement::Viterbi;
        issue = type == Entrainement::BaumWelch ? BouclerBaumWelch(p, e, obs) : BouclerViterbi(p, e, obs);
        e.GarderTables = garder;
        exact(e);
    } else {
        issue = type == Entrainement::BaumWelch ? Echelle::BouclerBaumWelch(p, e, obs, repris)
                                                : Echelle::BouclerViterbi(p, e, obs);
    }
    return issue;
}

QString TexteProbabilite(const EspaceTravail &e, int chiffres)
{
    // Plusieurs séquences : le produit des P(O_k|λ), qui peut sortir de l'étendu même quand
    // chacune y tient.
    if (e.MisALEchelle || e.PlusieursSequences())
        return e.ProbabiliteEchelle.Texte(chiffres);
    return Nombres::Formater(e.Probabilite, chiffres);
}

QString NomMethode(const QString &methode, const EspaceTravail &e)
{
    return e.MisALEchelle ? methode + QStringLiteral(" (mis à l'échelle)") : methode;
}

QString ExplicationZero(const ParametresModele &p, const EspaceTravail &e, bool exacte)
{
    const bool echelle = e.MisALEchelle && !exacte;
    if (echelle ? !e.ProbabiliteEchelle.EstNulle() : e.Probabilite != 0)
        return {};
    bool impossible = echelle;
    if (!impossible) {
        EspaceTravail essai;
        essai.Observations = e.Observations;
        essai.LongueurSequence = e.LongueurSequence;
        essai.GarderTables = false;
        try {
            Echelle::Forward(p, essai);
            impossible = essai.ProbabiliteEchelle.EstNulle();
        } catch (const std::exception &) {
            impossible = true;
        }
    }
    if (impossible)
        return QStringLiteral("P(O|λ) = 0 : la séquence est impossible pour ce modèle (un zéro du modèle : "
                              "symbole jamais généré ou transition absente).");
    return QStringLiteral("P(O|λ) = 0 : la probabilité est trop petite pour être représentée, la séquence reste "
                          "possible (le calcul mis à l'échelle la donne).");
}

QString ParagrapheZero(const ParametresModele &p, const EspaceTravail &e, bool exacte)
{
    const QString pourquoi = ExplicationZero(p, e, exacte);
    return pourquoi.isEmpty() ? QString() : QStringLiteral("\n\n") + pourquoi;
}
