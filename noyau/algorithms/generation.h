#pragma once
// Génération d'une séquence par le modèle : un chemin caché tiré depuis START, puis une
// observation par état. Le générateur est entièrement spécifié ici (SplitMix64 pour la
// graine, xoshiro256** pour les tirages, conversion en réel et inversion de la fonction de
// répartition écrites à la main) : le même modèle, la même longueur et la même graine donnent
// la même séquence sur toutes les machines, ce que les lois de std:: ne garantissent pas.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct ParametresModele;

class GenerateurAleatoire {
public:
    explicit GenerateurAleatoire(std::uint64_t graine);
    // xoshiro256** : 64 bits.
    std::uint64_t Suivant();
    // Réel uniforme dans [0, 1) : les 53 bits de poids fort, multipliés par 2^-53 (exact).
    double Uniforme();
    // Indice k de 1..n tiré selon les poids w[1..n] (>= 0, somme > 0) : le premier k dont la
    // somme cumulée (en précision étendue, k croissant) dépasse u × somme ; l'arrondi ne peut
    // alors donner qu'un indice de poids non nul. Rend 0 quand tous les poids sont nuls.
    int Tirer(const long double *w, int n);

private:
    std::uint64_t s[4];
};

struct SequenceGeneree {
    std::vector<int> Etats;        // q[1..T] (index 0 inutilisé)
    std::vector<int> Observations; // o[1..T], indices de symboles (index 0 inutilisé)
    int Longueur() const { return int(Etats.size()) - 1; }
};

// Longueur maximale acceptée (au-delà, le texte de la séquence devient déraisonnable).
constexpr int LongueurGenerationMax = 10000000;

// Tire q1 selon π, o_t selon B[q_t], q_{t+1} selon A[q_t]. Lève ERefusCalcul quand T < 1 ou
// trop grand, quand π est nul, ou quand l'état atteint n'a ni transition sortante (t < T) ni
// observation : le message nomme l'état.
SequenceGeneree GenererSequence(const ParametresModele &parametres, int T, std::uint64_t graine);

// Texte de la séquence, que DecouperSequence redécoupe en les mêmes observations : symboles
// collés quand tous font un caractère (découpage caractère par caractère), sinon séparés par
// une espace (*decoupageCaractere = false, découpage mot par mot).
QString TexteObservations(const ParametresModele &parametres, const SequenceGeneree &s, bool *decoupageCaractere);
// Noms des états q1..qT.
QStringList NomsEtatsGeneres(const ParametresModele &parametres, const SequenceGeneree &s);
// Part (0..1) des instants où deux chemins q[1..T] coïncident.
double PartAccord(const std::vector<int> &a, const std::vector<int> &b);
