#pragma once
// Le calcul en direct : sur une valeur du modèle (copie prise au moment du changement), pour
// chaque séquence, P(O|λ) par Forward et le chemin de Viterbi ; pour la première, γ_t(i) de
// chaque état. Aucun document, aucune fenêtre : le calcul tourne hors du fil de l'interface,
// et un indicateur partagé l'arrête entre deux étapes quand un changement plus récent arrive.
#include "model/fichier.h"
#include "model/parametres.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

struct ResultatSequenceDirect {
    QString Sequence;
    QString Probabilite;      // comme hmmcalc forward (mantisse et exposant quand mis à l'échelle)
    bool MisALEchelle = false;
    QStringList CheminViterbi; // états 1..T, sans START
    QString TexteViterbi;      // « Start - E1 - E2 », comme les listes et hmmcalc
    QString ProbabiliteViterbi;
    QString Erreur;            // refus en français (séquence impossible, symbole inconnu...)
};

struct ResultatDirect {
    // Le modèle lui-même ne se calcule pas (rapport de vérification, nombre illisible) : rien d'autre.
    QString ErreurModele;
    std::vector<ResultatSequenceDirect> Sequences;
    // γ de la première séquence calculable : Gamma[k][i] à l'instant Instants[k] (au plus
    // PointsGamma instants, pris à pas réguliers), i = 0..N-1 pour les états 1..N.
    QStringList Etats;
    QString SequenceGamma; // la séquence dont γ est tracé
    std::vector<int> Instants;
    std::vector<std::vector<double>> Gamma;
    std::vector<int> CheminGamma; // état de Viterbi (0..N-1) à chaque instant retenu
    bool Arrete = false;          // interrompu par un changement plus récent : à jeter
};

namespace Direct {
constexpr int PointsGamma = 2000;
// `arret` lu entre les étapes ; `caractere` : découpage caractère par caractère (sinon mot par mot).
ResultatDirect Calculer(const ContenuModele &modele, const QStringList &sequences, bool caractere,
                        const std::atomic<bool> *arret = nullptr);
// Le même calcul sur des paramètres donnés (une itération d'un entraînement revue).
ResultatDirect CalculerLambda(const ParametresModele &parametres, const QStringList &sequences, bool caractere,
                              const std::atomic<bool> *arret = nullptr);
}
