#pragma once
// Points d'attache des deux entraînements : la trace d'exécution (en-tête, chaque itération,
// fin), l'étape d'annulation de l'éditeur et la boucle d'événements. Toutes les méthodes
// ne font rien par défaut ; chaque client redéfinit celles qui le concernent. L'espace de
// travail est passé modifiable pour JournalEntrainement seulement : les tables calculées
// (Alpha, Gamma, comptes...) servent encore à l'itération suivante.
struct ParametresModele;
struct EspaceTravail;

enum class Entrainement { BaumWelch, Viterbi };

// Comment un entraînement s'est terminé.
enum class IssueEntrainement {
    Termine,          // nombre d'itérations, seuil ou stabilité atteints
    SeuilDejaAtteint, // mode seuil : P(O|λ) atteignait déjà le seuil, rien n'a changé
    LimiteAtteinte,   // mode seuil : LimiteIterationsSeuil itérations sans atteindre le seuil
    Interrompu        // arrêt demandé par Continuer()
};

class ObservateurEntrainement {
public:
    virtual ~ObservateurEntrainement() = default;
    // En-tête : la séquence est acceptée, rien n'est encore réestimé (Viterbi : le chemin
    // du modèle initial est décodé, CheminViterbi est prêt).
    virtual void Debut(Entrainement, const ParametresModele &, EspaceTravail &) {}
    // Fin de chaque itération : π, A, B réestimés, Probabilite recalculée, compteurs
    // (Esperances* ou Nombre*), Stable, IterationCourante, LimiteAtteinte et Interrompu à jour.
    virtual void Iteration(Entrainement, const ParametresModele &, EspaceTravail &) {}
    // Après chaque itération de Baum-Welch, avant Iteration() : l'appelant y laisse tourner
    // la boucle d'événements ; rendre false arrête l'entraînement après cette itération.
    virtual bool Continuer(Entrainement) { return true; }
    // Juste avant que le graphe ne change (écriture des paramètres entraînés) : l'éditeur y
    // mémorise l'étape d'annulation.
    virtual void AvantModification(Entrainement) {}
    // Après l'écriture dans le graphe et l'enregistrement du journal dans "APP.txt".
    virtual void Fin(Entrainement, const ParametresModele &, EspaceTravail &) {}
    // Mode seuil, seuil déjà atteint : appelé à la place des itérations et de Fin().
    virtual void FinSansIteration(Entrainement, const ParametresModele &, EspaceTravail &) {}
};

// Observateur qui relaie tout à un suivant (nul : à personne) ; on en dérive pour s'ajouter
// devant un autre sans rien changer aux entraînements.
class RelaisEntrainement : public ObservateurEntrainement {
public:
    explicit RelaisEntrainement(ObservateurEntrainement *suivant = nullptr) : suivant(suivant) {}
    void Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e) override
    {
        if (suivant)
            suivant->Debut(type, p, e);
    }
    void Iteration(Entrainement type, const ParametresModele &p, EspaceTravail &e) override
    {
        if (suivant)
            suivant->Iteration(type, p, e);
    }
    bool Continuer(Entrainement type) override { return !suivant || suivant->Continuer(type); }
    void AvantModification(Entrainement type) override
    {
        if (suivant)
            suivant->AvantModification(type);
    }
    void Fin(Entrainement type, const ParametresModele &p, EspaceTravail &e) override
    {
        if (suivant)
            suivant->Fin(type, p, e);
    }
    void FinSansIteration(Entrainement type, const ParametresModele &p, EspaceTravail &e) override
    {
        if (suivant)
            suivant->FinSansIteration(type, p, e);
    }

private:
    ObservateurEntrainement *suivant;
};
