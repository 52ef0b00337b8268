#pragma once
// Bornes des traces : une trace doit rester lisible et s'ouvrir vite quelle que soit la
// longueur du calcul. Au-delà des tailles ci-dessous, on garde le début et la fin et une
// ligne dit combien d'éléments ont été omis au milieu.
//
// - Tableaux des temps (α, β, δ, ψ) et retour arrière de Viterbi : au plus InstantsMontres
//   instants (les InstantsMontres/2 premiers et les InstantsMontres/2 derniers).
// - Journal des entraînements (trace et "APP.txt") : les itérations sont gardées entières
//   tant que le journal tient en TailleJournalMax caractères ; ensuite les premières
//   itérations (jusqu'à la moitié de cette taille) et les dernières (l'autre moitié), avec
//   une ligne qui compte les itérations omises. La première et la dernière itération sont
//   toujours gardées, même plus grandes que la borne.
#include <QString>
#include <QStringList>

struct EspaceTravail;

namespace Trace {

constexpr int InstantsMontres = 200;
constexpr qsizetype TailleJournalMax = 400'000;

// Vrai quand l'instant de rang k (1..T, dans l'ordre du tableau) est montré.
bool InstantMontre(int k, int T);
// Rang du premier instant omis (k = InstantMontre faux), et leur nombre.
int PremierOmis(int T);
int NombreOmis(int T);
// La ligne de tableau qui remplace les instants omis (`colonnes` cases en tout).
QString LigneInstantsOmis(int colonnes, int omis);

// Ajoute les lignes d'une itération au journal de e en tenant la borne de taille.
void AjouterIteration(EspaceTravail &e, const QStringList &lignes);
// La ligne qui remplace les itérations omises.
QString LigneIterationsOmises(long long omises);

}
