#pragma once
// Entraînement de Baum-Welch et report des paramètres dans le graphe.
#include "algorithms/observateur.h"

#include <QString>
#include <cmath>
#include <functional>

struct ParametresModele;
struct EspaceTravail;
struct SommesFormation;
class DocumentModele;

// Mode seuil : au plus ce nombre d'itérations, même si P(O|λ) n'atteint jamais le seuil et que
// les paramètres ne se stabilisent pas exactement (sinon l'entraînement pourrait ne pas finir).
constexpr int LimiteIterationsSeuil = 1000;

// Réestimation, commune aux entraînements : le quotient d'une espérance (0/0, « NAN », garde
// l'ancienne valeur), et le remplacement d'une valeur, `stable` restant vrai tant qu'aucune
// ne change.
inline long double QuotientReestime(long double numerateur, long double denominateur, long double ancien)
{
    const long double q = numerateur / denominateur;
    return std::isnan(q) ? ancien : q;
}
inline void Remplacer(long double &valeur, long double nouveau, bool &stable)
{
    if (stable)
        stable = (valeur == nouveau);
    valeur = nouveau;
}

// γ[1..T] et les tables d'espérances de la trace aux dimensions du modèle et de la séquence.
void DimensionnerEsperances(const ParametresModele &parametres, EspaceTravail &espace);
// γ[t][i] = (β[t][i] × α[t][i]) / P pour t = 1..T, avec P = Probabilite (celle du Backward).
void CalculerGamma(const ParametresModele &parametres, EspaceTravail &espace);
// Sommes Σ_{t=1..T-1} ξ[t][i][j], ξ[t][i][j] = (((β[t+1][j] × α[t][i]) × A[i][j]) ×
// B[j][O[t+1]]) / P, ajoutées t croissant à partir de 0, dans EsperancesTransitions.
void CalculerXi(const ParametresModele &parametres, EspaceTravail &espace);

// Une itération : Forward, Backward, γ, ξ, réestimation de π, A, B (un quotient 0/0 garde
// l'ancienne valeur), Stable, puis Forward du modèle réestimé.
void IterationBaumWelch(ParametresModele &parametres, EspaceTravail &espace);

// Plusieurs séquences (Formation) : pour chacune, Forward, Backward, γ et ξ normalisés par sa
// propre P(O_k|λ), puis ses sommes ajoutées à `s` (déjà vidée), séquence après séquence.
void SommesBaumWelch(const ParametresModele &parametres, EspaceTravail &espace, SommesFormation &s);

// La boucle sur des paramètres déjà calculés et une séquence déjà découpée : mode nombre
// d'itérations quand Seuil = 2 (au plus NombreIterations itérations), mode seuil sinon (au
// plus LimiteIterationsSeuil). Les deux s'arrêtent dès que Stable ; Continuer() est consulté
// après chaque itération dans les deux modes. Ne touche pas au graphe.
IssueEntrainement BouclerBaumWelch(ParametresModele &parametres, EspaceTravail &espace,
                                   ObservateurEntrainement *observateur = nullptr);

// Le déroulement des itérations de Baum-Welch à partir de la première, commun au calcul exact,
// au calcul mis à l'échelle et aux séquences multiples : arrêts du mode nombre d'itérations et
// du mode seuil, limite, interruption et observateur, dans cet ordre. `iterer` fait une
// itération ; `seuilAtteint` dit, après elle, si la probabilité suivie atteint le seuil.
IssueEntrainement DeroulerIterations(ParametresModele &parametres, EspaceTravail &espace,
                                     ObservateurEntrainement *observateur, const std::function<void()> &iterer,
                                     const std::function<bool()> &seuilAtteint);

// L'entraînement complet sur le document : paramètres tirés du graphe, séquence découpée,
// refus (ERefusCalcul, rien n'est changé) quand le modèle ne génère pas la séquence, boucle,
// puis AvantModification(), ReporterParametres, journal dans "APP.txt" et Fin(). Quand le
// seuil est déjà atteint, le graphe n'est pas touché.
IssueEntrainement EntrainerBaumWelch(DocumentModele &document, EspaceTravail &espace,
                                     ObservateurEntrainement *observateur = nullptr);

// Écrit π, A et B de `lambda` dans les étiquettes des arcs existants et les
// probabilités des paires existantes, au format général à 15 chiffres ; ne crée ni arc ni
// paire. Les boîtes puis le graphe sont ensuite actualisés (un arc ou une paire qui vaut
// désormais 0 disparaît, comme à la saisie). C'est une opération du document : une étape
// d'annulation décrite par `description`, le document marqué modifié ; λ devient ses
// Parametres(). ERefusCalcul quand le nombre d'états a changé.
void ReporterParametres(DocumentModele &document, const ParametresModele &lambda, const QString &description);
// Description de l'étape d'annulation d'un entraînement sur la séquence donnée.
QString DescriptionEntrainement(Entrainement type, const QString &sequence);
// La même pour un entraînement sur `nombre` séquences (« ... avec 3 séquences »).
QString DescriptionEntrainement(Entrainement type, int nombre);

// Commun aux deux entraînements : λ tiré du document (rendu, le document n'en garde qu'une
// copie), séquence découpée, puis ExigerGeneration.
ParametresModele PreparerEntrainement(DocumentModele &document, EspaceTravail &espace);
// Le journal des itérations, lu par la trace : "APP.txt" du répertoire du programme.
QString CheminJournalEntrainement();

// Commun aux deux entraînements, après la boucle : AvantModification, report, "APP.txt", Fin.
void ConclureEntrainement(Entrainement type, DocumentModele &document, const ParametresModele &lambda,
                          EspaceTravail &espace, ObservateurEntrainement *observateur);
