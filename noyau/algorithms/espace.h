#pragma once
// L'espace de travail des algorithmes : chaque calcul écrase les champs qu'il emploie,
// les écrivains de trace les lisent ensuite. Matrices et vecteurs indexés à partir de 1,
// l'index 0 existe et reste réservé.
#include "algorithms/grande_probabilite.h"
#include "algorithms/memoire.h"
#include "model/vecteur.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cfloat>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Matrice pleine rangée ligne par ligne dans un seul bloc : les calculs parcourent les
// lignes sans indirection ; l'accès m[i][j] ou m(i, j) vérifie les deux indices.
template <typename T>
class Matrice {
public:
    class Ligne {
    public:
        Ligne(T *p, long long n) : p(p), n(n) {}
        T &operator[](long long j) const
        {
            if (j < 0 || j >= n)
                throw EHorsBornes(j, n);
            return p[j];
        }
        long long size() const { return n; }

    private:
        T *p;
        long long n;
    };

    // Toutes les cases valent 0 après le dimensionnement. Une grande table est d'abord
    // comparée à la mémoire disponible (ERefusCalcul en français sinon).
    void Dimensionner(long long lignes, long long colonnes)
    {
        if (lignes < 0 || colonnes < 0 || (colonnes > 0 && lignes > (long long)(PTRDIFF_MAX / sizeof(T)) / colonnes))
            MemoireTables::Exiger(std::size_t(-1));
        MemoireTables::Exiger(std::size_t(lignes) * std::size_t(colonnes) * sizeof(T));
        nl = lignes;
        nc = colonnes;
        v.assign(std::size_t(lignes * colonnes), T{});
    }
    long long Lignes() const { return nl; }
    long long Colonnes() const { return nc; }

    T &operator()(long long i, long long j) { return v[index(i, j)]; }
    const T &operator()(long long i, long long j) const { return v[index(i, j)]; }
    Ligne operator[](long long i)
    {
        verifierLigne(i);
        return Ligne(v.data() + i * nc, nc);
    }
    Ligne operator[](long long i) const
    {
        verifierLigne(i);
        return Ligne(const_cast<T *>(v.data()) + i * nc, nc);
    }
    // Début de la ligne i, sans vérification (noyaux de calcul).
    T *LigneBrute(long long i) { return v.data() + i * nc; }
    const T *LigneBrute(long long i) const { return v.data() + i * nc; }

private:
    void verifierLigne(long long i) const
    {
        if (i < 0 || i >= nl)
            throw EHorsBornes(i, nl);
    }
    std::size_t index(long long i, long long j) const
    {
        verifierLigne(i);
        if (j < 0 || j >= nc)
            throw EHorsBornes(j, nc);
        return std::size_t(i * nc + j);
    }
    long long nl = 0, nc = 0;
    std::vector<T, AllocateurTables<T>> v; // grandes tables en pages de 2 Mio
};

// Table des chemins de probabilité non nulle, remplie au fil de l'énumération (elle n'est
// jamais dimensionnée à N^T). Une ligne garde les numéros d'états et la probabilité en
// double précision ; les textes (noms, probabilité au format général) se lisent à la demande.
class TableDesChemins {
public:
    void Vider(int longueur, const QStringList &noms);
    void Ajouter(const int *etats, double probabilite); // etats[1..T]
    long long Lignes() const { return (long long)probabilites.size(); }
    int Longueur() const { return T; }
    // r dans 1..Lignes(), t dans 1..T.
    int Etat(long long r, int t) const;
    double Probabilite(long long r) const;
    // Entrée t de la ligne r : nom de l'état pour t = 1..T, probabilité en texte pour t = T + 1.
    QString Texte(long long r, int t) const;
    // "Start - E1 - E2".
    QString TexteChemin(long long r) const;

private:
    void verifier(long long r) const;
    int T = 0;
    QStringList noms;
    std::vector<unsigned char> etats;
    std::vector<double> probabilites;
};

// Calcul refusé avant de commencer (séquence vide, trop de chemins, modèle qui ne génère
// pas la séquence...) : le message s'adresse à l'utilisateur.
class ERefusCalcul : public std::runtime_error {
public:
    explicit ERefusCalcul(const QString &message);
    QString Message() const;
};

// Entiers rangés bout à bout sur un octet tant qu'ils tiennent dans 0..255, puis sur deux
// (0..65535), puis sur quatre : symboles et états du programme (99 au plus) tiennent sur un octet.
class EntiersPlats {
public:
    std::size_t size() const { return n; }
    void Reserver(std::size_t nombre) { octets.reserve(nombre * std::size_t(largeur)); }
    // `nombre` entiers de plus, à 0.
    void Agrandir(std::size_t nombre);
    void Ajouter(const int *v, std::size_t nombre);
    // v[0..nombre) aux places debut.. (déjà là).
    void Ecrire(std::size_t debut, const int *v, std::size_t nombre);
    void Lire(std::size_t debut, std::size_t nombre, int *v) const;
    int operator[](std::size_t i) const;

private:
    void elargir(const int *v, std::size_t nombre);
    std::vector<unsigned char> octets;
    int largeur = 1;
    std::size_t n = 0;
};

// P(O_k|λ) rangée en 16 octets au lieu de 32 : les 64 chiffres de la mantisse de l'étendu x87
// tiennent exactement dans un entier, la valeur relue est la même.
class ProbabiliteRangee {
public:
    ProbabiliteRangee() = default;
    explicit ProbabiliteRangee(const GrandeProbabilite &g);
    GrandeProbabilite Valeur() const;

private:
#if LDBL_MANT_DIG == 64
    std::uint64_t chiffres = 0;
    long long exposant = 0; // LLONG_MIN : mantisse infinie ou NaN, en double dans chiffres
#else
    GrandeProbabilite g;
#endif
};

// Chaque ligne du texte (fins de ligne LF) débarrassée de ses blancs aux deux bouts, les lignes
// vides sautées : une séquence d'entraînement par ligne.
template <typename F>
void ParcourirLignes(QStringView texte, F &&f)
{
    for (qsizetype debut = 0; debut <= texte.size();) {
        qsizetype fin = texte.indexOf(u'\n', debut);
        if (fin < 0)
            fin = texte.size();
        const QStringView ligne = texte.sliced(debut, fin - debut).trimmed();
        if (!ligne.isEmpty())
            f(ligne);
        debut = fin + 1;
    }
}

// Les séquences d'un entraînement sur plusieurs séquences, rangées à plat pour que des millions
// de courtes séquences ne coûtent guère plus que leurs symboles : les textes bout à bout, les
// symboles O_k[1..T_k] bout à bout (leurs débuts sont ceux des textes tant que T_k est la
// longueur du texte, découpage par caractère), les chemins de Viterbi Q_k[0..T_k] de même, et
// P(O_k|λ). Les séquences sont numérotées k = 0..K-1.
class SequencesFormation {
public:
    std::size_t size() const { return debutsTexte.size() - 1; }
    bool empty() const { return size() == 0; }
    // Rend aussi la mémoire.
    void clear() { *this = SequencesFormation(); }

    // Le texte débarrassé de ses blancs aux deux bouts ; un texte vide n'est pas ajouté.
    void Ajouter(QStringView texte);
    // Une séquence par ligne (ParcourirLignes ; un CR restant compte comme un blanc).
    void AjouterLignes(QStringView texte);
    QString Texte(std::size_t k) const { return VueTexte(k).toString(); }
    QStringView VueTexte(std::size_t k) const;

    // Symboles (DecouperFormation) : Vider, puis les séquences dans l'ordre, O[1..T].
    void ViderObservations();
    void RangerObservations(const int *O, int T);
    bool Decoupee() const { return !empty() && decoupees == size(); }
    int Longueur(std::size_t k) const;
    // O[0..T_k], O[0] = 0 ; ni allocation ni copie superflue quand O a déjà la place.
    void ChargerObservations(std::size_t k, VecteurVerifie<int> &O) const;

    // Chemins de Viterbi, Q[0..T_k].
    void RangerChemin(std::size_t k, const VecteurVerifie<int> &Q);
    void ChargerChemin(std::size_t k, VecteurVerifie<int> &Q) const;

    // P(O_k|λ) du modèle courant ; Probabilite est la même en étendu.
    void DefinirProbabilite(std::size_t k, const GrandeProbabilite &g);
    GrandeProbabilite ProbabiliteEchelle(std::size_t k) const { return probabilites.at(k).Valeur(); }
    long double Probabilite(std::size_t k) const { return ProbabiliteEchelle(k).VersEtendu(); }
    const std::vector<ProbabiliteRangee> &Probabilites() const { return probabilites; }

private:
    void verifier(std::size_t k, std::size_t rangees) const;
    std::size_t debutSymboles(std::size_t k) const
    {
        return debutsSymboles.empty() ? std::size_t(debutsTexte[k]) : debutsSymboles[k];
    }
    QString textes;
    std::vector<qsizetype> debutsTexte{0};
    EntiersPlats symboles;
    std::size_t decoupees = 0;
    std::vector<std::size_t> debutsSymboles; // vide tant qu'ils sont ceux des textes
    EntiersPlats chemins;                    // Q_k à debutSymboles(k) + k
    std::vector<ProbabiliteRangee> probabilites;
};

struct EspaceTravail {
    // Séquence.
    QString SequenceObservations;
    bool DecoupageCaractere = true;
    VecteurVerifie<int> Observations; // O[1..T], 0 pour un morceau qui n'est pas un symbole
    int LongueurSequence = 0;

    long double Probabilite = 0;
    // Calcul mis à l'échelle (echelle.h), quand Probabilite sort de la plage de l'étendu :
    // Alpha et Beta tiennent alors ᾱ et β̂, Delta tient ln δ ; FacteursEchelle c[1..T].
    bool MisALEchelle = false;
    GrandeProbabilite ProbabiliteEchelle;
    VecteurVerifie<long double> FacteursEchelle;

    // Forward, Backward, Viterbi : (T + 1) × (N + 1).
    Matrice<long double> Alpha, Beta, Delta;
    Matrice<int> Psi;
    // false : seule la probabilité est demandée (ni trace, ni treillis, ni postérieur). Alpha,
    // Beta et Delta ne gardent alors que deux lignes de travail (indice t & 1), et Viterbi
    // range ses pointeurs dans PsiOctets (un octet par case, N <= 255) au lieu de Psi. Un
    // entraînement mis à l'échelle sur une séquence ne garde alors que ᾱ entier (ni β̂ ni γ).
    bool GarderTables = true;
    std::vector<unsigned char> PsiOctets; // [t * (N + 1) + j]
    // Interne au choix du calcul (portee.cpp) : le calcul exact peut s'arrêter dès que son
    // résultat sort sûrement de la plage ; il rend alors Probabilite = 0 et ArreteHorsPortee.
    bool ArretHorsPortee = false;
    bool ArreteHorsPortee = false;
    VecteurVerifie<int> CheminViterbi; // Q[0..T], Q[0] = 0 pour START

    // Baum-Welch. ξ n'est pas gardé en entier ((T + 1)(N + 1)² étendus) : seul
    // EsperancesTransitions le lit, ses sommes sont faites au fil du calcul, t croissant.
    Matrice<long double> Gamma;

    // Énumération des chemins.
    TableDesChemins TableChemins;
    VecteurVerifie<int> CheminCourant; // numéros des états du chemin évalué, temps 1..T
    long long NombreCheminsNonNuls = 0;
    long long CheminsEvalues = 0;
    bool ArretEnumeration = false;
    long long MeilleurChemin = 0; // ligne marquée « meilleure », 0 quand la table est vide

    // Entraînements.
    int NombreIterations = 10;
    long double Seuil = 2; // 2 : mode nombre d'itérations
    int IterationCourante = 0;
    int IterationsEffectuees = 0; // itérations (ou passes) terminées par le dernier entraînement
    bool Stable = false;
    bool LimiteAtteinte = false; // mode seuil : borne d'itérations atteinte
    bool Interrompu = false;     // arrêt demandé par l'utilisateur
    VecteurVerifie<long double> EsperancesDepuis, EsperancesEtat;
    Matrice<long double> EsperancesTransitions, EsperancesGeneration;
    VecteurVerifie<int> NombreDepuis, NombreEtat;
    Matrice<int> NombreTransitions, NombreGeneration;
    // Plusieurs séquences de formation (au moins deux) ; vide : l'entraînement porte sur
    // SequenceObservations seule. Probabilite et ProbabiliteEchelle tiennent alors le produit
    // des P(O_k|λ) ; Observations reste la première séquence.
    SequencesFormation Formation;
    // La séquence k prend la place de celle de l'espace (Observations, LongueurSequence).
    void ChargerFormation(std::size_t k)
    {
        Formation.ChargerObservations(k, Observations);
        LongueurSequence = Formation.Longueur(k);
    }
    bool PlusieursSequences() const { return Formation.size() >= 2; }
    QStringList JournalEntrainement;
    // Tenue du journal borné (Trace::AjouterIteration), remise à zéro quand le journal est vide.
    struct SuiviJournal {
        qsizetype TailleTete = 0, TailleQueue = 0, DebutQueue = 0;
        bool TeteComplete = false;
        long long Omises = 0;
        QList<qsizetype> LignesQueue, TaillesQueue;
    } Suivi;

    QString DernierAlgorithme;
};

// Le temps d'une boucle sur les séquences de Formation (ChargerFormation) : la première revient
// dans l'espace à la fin, même sur une exception (trace et listes la lisent ensuite).
class RetourPremiereSequence {
public:
    explicit RetourPremiereSequence(EspaceTravail &e) : e(e) {}
    ~RetourPremiereSequence()
    {
        if (e.Formation.Decoupee())
            e.ChargerFormation(0);
    }
    RetourPremiereSequence(const RetourPremiereSequence &) = delete;
    RetourPremiereSequence &operator=(const RetourPremiereSequence &) = delete;

private:
    EspaceTravail &e;
};
