#pragma once
// Tables internes des calculs : λ recopié en blocs contigus, rangés pour l'ordre de lecture
// des noyaux. Les valeurs sont exactement celles de ParametresModele ; seule la disposition
// change, jamais l'ordre des opérations.
#include <vector>

struct ParametresModele;
struct EspaceTravail;

namespace Calcul {

// Un étendu de A lu en deux doubles (haut + bas) : charger un étendu de 80 bits depuis la
// mémoire coûte cher (instruction microcodée), deux doubles et une addition exacte non.
// La découpe n'est employée que si elle rend chaque valeur exactement.
struct TablesModele {
    int N = 0, M = 0;
    int L = 1;                   // N + 1 : longueur d'une ligne d'états
    std::vector<long double> PI; // [i]
    std::vector<long double> A;  // A[i * L + j]
    std::vector<long double> At; // At[j * L + i] = A[i][j]
    std::vector<long double> Bt; // Bt[o * L + j] = B[j][o], o = 0..M (ligne 0 nulle)
    bool Scinde = false;         // découpes exactes de A disponibles
    std::vector<double> Ah, Al;  // A = Ah + Al
    std::vector<double> Ath, Atl; // At = Ath + Atl
    bool BScinde = false;         // découpes exactes de Bt disponibles
    std::vector<double> Bth, Btl; // Bt = Bth + Btl

    explicit TablesModele(const ParametresModele &p);
};

// Contrôle commun : N >= 1, T >= 1 (sinon ERefusCalcul) et chaque observation dans 0..M
// (sinon EHorsBornes).
void ControlerSequence(const ParametresModele &p, const EspaceTravail &e);

// Découpe exacte d'un étendu en deux doubles ; false quand elle n'existe pas.
bool Scinder(long double x, double &haut, double &bas);

}
