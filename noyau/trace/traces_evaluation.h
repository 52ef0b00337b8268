#pragma once
// Les quatre traces d'évaluation (approche directe, Forward, Backward, Viterbi), produites à
// l'ouverture de la fenêtre des traces depuis ce que le dernier calcul a laissé.
#include "algorithms/espace.h"
#include "model/parametres.h"

#include <QString>
#include <QStringList>

class QImage;

namespace Trace {

// Noms exacts du dernier algorithme (DernierAlgorithme) qui choisissent chaque trace.
inline const QString AlgorithmeDirect = QStringLiteral("Evaluation, Approche directe");
inline const QString AlgorithmeForward = QStringLiteral("Forward");
inline const QString AlgorithmeBackward = QStringLiteral("Backward");
inline const QString AlgorithmeViterbi = QStringLiteral("Viterbi");
inline const QString AlgorithmeBaumWelch = QStringLiteral("Entraînement de BaumWelch");
inline const QString AlgorithmeAppViterbi = QStringLiteral("Entraînement de Viterbi");

// Les fragments propres à chaque algorithme, dans l'ordre de leurs marqueurs (à partir du 4e).
QStringList FragmentsDirecte(const ParametresModele &p, const EspaceTravail &e);
QStringList FragmentsForward(const ParametresModele &p, const EspaceTravail &e);
QStringList FragmentsBackward(const ParametresModele &p, const EspaceTravail &e);
QStringList FragmentsViterbi(const ParametresModele &p, const EspaceTravail &e);

// Tableaux des temps (α, β, δ, ψ), sans leur "</table>" de fin.
QString TableauAlpha(const ParametresModele &p, const EspaceTravail &e);
QString TableauBeta(const ParametresModele &p, const EspaceTravail &e);
QString TableauDelta(const ParametresModele &p, const EspaceTravail &e);
QString TableauPsi(const ParametresModele &p, const EspaceTravail &e);

// Le document entier, sans rien écrire : modèle de trace lu, marqueurs remplis. `imageModele`,
// l'image du modèle seul, est exportée avant le 2e marqueur ; nul = image laissée telle quelle.
QString DocumentEvaluation(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e,
                           const QImage *imageModele);

// GenererTraceDirecte, ...Forward, ...Backward, ...Viterbi : le document écrit dans
// "Modeles/Trace.htm". Lèvent ETrace (rien n'est écrit quand le modèle de trace manque).
void GenererTraceDirecte(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele);
void GenererTraceForward(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele);
void GenererTraceBackward(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele);
void GenererTraceViterbi(const ParametresModele &p, const EspaceTravail &e, const QImage *imageModele);

// Ce qu'un calcul traçable laisse pour sa trace, copié à la fin du calcul : l'énumération
// des chemins, qui suit sans être traçable, réécrit la séquence et la probabilité de
// l'espace de travail ; la trace du calcul précédent doit rester juste.
struct InstantaneTrace {
    QString Algorithme;
    ParametresModele Parametres;
    EspaceTravail Espace;
    void Prendre(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e);
};

// Produit la trace choisie par `algorithme` (évaluations : document écrit ; entraînements :
// étape de consultation). Rend false quand le nom ne choisit aucune trace (rien n'est fait).
// Lève ETrace.
bool ProduireTrace(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e,
                   const QImage *imageModele);

}
