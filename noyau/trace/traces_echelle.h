#pragma once
// La trace d'un calcul mis à l'échelle (Forward, Backward, Viterbi hors de la plage de
// l'étendu) : son propre modèle, qui explique c_t, ᾱ, β̂ et le retour à log P(O|λ).
#include <QString>

struct ParametresModele;
struct EspaceTravail;
class QImage;

namespace Trace {

inline const QString ModeleEchelle = QStringLiteral("Echelle.htm");

// Le document entier (marqueurs remplis), sans rien écrire ; `algorithme` : AlgorithmeForward,
// AlgorithmeBackward ou AlgorithmeViterbi. `imageModele` : l'image du modèle seul (nul : image laissée).
QString DocumentEchelle(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e,
                        const QImage *imageModele);

// L'explication de la mise à l'échelle (facteurs c_t, ᾱ, β̂, γ et ξ, retour à log P(O|λ)), prise
// dans le modèle Echelle.htm entre ses commentaires « explication » : les traces des
// entraînements mis à l'échelle la reprennent telle quelle.
QString ExplicationEchelle();

// La case développée d'un calcul mis à l'échelle, avec ses nombres : ᾱ_2 (Forward), β̂_T-1
// (Backward) ou ln δ_2 (Viterbi) du premier état.
QString CaseDeveloppeeEchelle(const QString &algorithme, const ParametresModele &p, const EspaceTravail &e);

}
