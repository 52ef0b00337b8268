#pragma once
// Le choix du calcul : exact en étendu d'abord (le calcul de référence, inchangé), puis mis à
// l'échelle quand son résultat sort de la plage de l'étendu (0 ou sous-normal) alors que le
// modèle génère la séquence. Les fenêtres et hmmcalc n'appellent que ces fonctions.
#include "algorithms/grande_probabilite.h"
#include "algorithms/observateur.h"

#include <QString>

struct ParametresModele;
struct EspaceTravail;
class DocumentModele;

// Forward (arriere = false) ou Backward : P(O|λ) dans Probabilite, et ProbabiliteEchelle quand
// le calcul a été mis à l'échelle. Une séquence impossible donne 0, comme le calcul exact.
void Evaluer(const ParametresModele &parametres, EspaceTravail &espace, bool arriere,
             ModeCalcul mode = ModeCalcul::Automatique);

// Le chemin de Viterbi. ERefusCalcul (« Ce modèle ne génère pas la séquence d'observations : ... »)
// quand la séquence est impossible ; sinon CheminViterbi, et Probabilite ou ProbabiliteEchelle.
void Decoder(const ParametresModele &parametres, EspaceTravail &espace, ModeCalcul mode = ModeCalcul::Automatique);

// Forward puis Backward avec leurs tables entières (treillis, décodage a posteriori) : exacts
// quand P(O|λ) est dans la plage de l'étendu, mis à l'échelle sinon (Alpha = ᾱ, Beta = β̂,
// FacteursEchelle = c_t, MisALEchelle). Une séquence impossible garde les tables exactes et
// P(O|λ) = 0. Probabilite est celle du Backward, comme pour CalculerGamma.
void EvaluerTables(const ParametresModele &parametres, EspaceTravail &espace);
// γ des tables d'EvaluerTables dans Gamma : α_t(i) β_t(i) / P, ou ᾱ_t(i) β̂_t(i) / c_t une fois
// mis à l'échelle. ERefusCalcul quand le modèle ne génère pas la séquence.
void CalculerGammaTables(const ParametresModele &parametres, EspaceTravail &espace);

// Les deux entraînements sur le document (mêmes refus et même conclusion que EntrainerBaumWelch
// et EntrainerViterbi, qui restent le calcul exact). Avec plusieurs séquences dans Formation :
// EntrainerFormation.
IssueEntrainement Entrainer(Entrainement type, DocumentModele &document, EspaceTravail &espace,
                            ObservateurEntrainement *observateur = nullptr,
                            ModeCalcul mode = ModeCalcul::Automatique);
// Le calcul d'Entrainer sur une séquence, sans document : paramètres déjà tirés du modèle,
// séquence découpée, refus, boucle exacte ou mise à l'échelle ; rien n'est reporté.
IssueEntrainement EntrainerParametres(Entrainement type, ParametresModele &parametres, EspaceTravail &espace,
                                      ObservateurEntrainement *observateur, ModeCalcul mode);

// La probabilité du dernier calcul en texte : celle du calcul exact au format général, ou celle
// du calcul mis à l'échelle en mantisse et exposant décimal ("9,23E-6237").
QString TexteProbabilite(const EspaceTravail &espace, int chiffres = 15);
// Le nom de la méthode, suivi de " (mis à l'échelle)" quand le calcul l'a été.
QString NomMethode(const QString &methode, const EspaceTravail &espace);
// Quand la probabilité montrée est 0, une ligne qui dit pourquoi : « impossible » (un zéro du
// modèle) ou « trop petite pour être représentée » ; vide sinon. `exacte` : Probabilite vient
// d'un calcul qui n'est jamais mis à l'échelle (l'énumération des chemins), les champs du calcul
// mis à l'échelle ne sont pas lus.
QString ExplicationZero(const ParametresModele &parametres, const EspaceTravail &espace, bool exacte = false);
// La même ligne précédée d'une ligne vide, à ajouter à un message ; vide quand P(O|λ) n'est pas 0.
QString ParagrapheZero(const ParametresModele &parametres, const EspaceTravail &espace, bool exacte = false);
