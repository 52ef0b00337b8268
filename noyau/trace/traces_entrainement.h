#pragma once
// Les traces des deux entraînements, écrites en quatre étapes : en-tête avant la première
// itération, journal de chaque itération (JournalEntrainement, enregistré dans "APP.txt"),
// tableaux du modèle entraîné à la fin, journal inséré au marqueur "???" à la consultation.
#include "algorithms/observateur.h"

#include <QString>
#include <QStringList>

struct ParametresModele;
struct EspaceTravail;

namespace Trace {

// En-tête : vide le journal et "Trace.htm", puis remplit les marqueurs du modèle de trace
// jusqu'au critère d'arrêt (Baum-Welch) ou au chemin de Viterbi (entraînement de Viterbi).
void DebuterTraceBaumWelch(const ParametresModele &p, EspaceTravail &e);
void DebuterTraceViterbi(const ParametresModele &p, EspaceTravail &e);

// Fragments de l'en-tête (tests).
QString FragmentCritereArret(const EspaceTravail &e);
QString FragmentCheminViterbi(const ParametresModele &p, const EspaceTravail &e);

// Les lignes d'une itération, ajoutées à e.JournalEntrainement.
QStringList LignesIterationBaumWelch(const ParametresModele &p, const EspaceTravail &e);
QStringList LignesIterationViterbi(const ParametresModele &p, const EspaceTravail &e);
void TracerIterationBaumWelch(const ParametresModele &p, EspaceTravail &e);
void TracerIterationViterbi(const ParametresModele &p, EspaceTravail &e);

// Fin : le prochain "!!" de "Trace.htm" reçoit les tableaux du modèle entraîné.
void TerminerTraceBaumWelch(const ParametresModele &p);
void TerminerTraceViterbi(const ParametresModele &p);

// Consultation : le premier "???" de "Trace.htm" reçoit le texte de "APP.txt". Sans "???"
// (trace déjà complétée) le document reste tel quel et "APP.txt" n'est pas lu.
void CompleterTraceEntrainement();

// Branche la trace sur les entraînements (ObservateurEntrainement). Une étape qui échoue
// (modèle de trace absent...) n'interrompt pas l'entraînement : son message est gardé dans
// Erreur, que la fenêtre des traces montre à la consultation.
class ObservateurTrace : public ObservateurEntrainement {
public:
    void Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;
    void Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;
    void Fin(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;
    void FinSansIteration(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;

    bool Continuer(Entrainement type) override;
    void AvantModification(Entrainement type) override;

    // Observateur de l'appelant (boucle d'événements, étape d'annulation...), prévenu de
    // chaque point d'attache après la trace.
    ObservateurEntrainement *Relais = nullptr;

    // Message de la première étape en échec du dernier entraînement ; vide quand tout a réussi.
    QString Erreur;
};

}
