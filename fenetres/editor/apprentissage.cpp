// Commandes de l'apprentissage dans la fenêtre principale.
#include "editor/apprentissage.h"
#include "algorithms/convergence.h"
#include "algorithms/direct.h"
#include "algorithms/espace.h"
#include "algorithms/posterieur.h"
#include "algorithms/sequence.h"
#include "apprentissage/dialogue_generation.h"
#include "apprentissage/dialogue_posterieur.h"
#include "apprentissage/fenetre_convergence.h"
#include "apprentissage/fenetre_treillis.h"
#include "direct/graphe_gamma.h"
#include "editor/apercu_etiquettes.h"
#include "editor/listes.h"
#include "editor/principale.h"
#include "graph/nombres.h"
#include "model/json_modele.h"
#include "skin/messages.h"
#include "skin/presentation.h"
#include "trace/traces_evaluation.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QMenu>
#include <QToolBar>
#include <memory>

namespace {

QMenu *menuDe(QAction *a)
{
    for (QObject *o : a->associatedObjects())
        if (auto *m = qobject_cast<QMenu *>(o))
            return m;
    return nullptr;
}

// Insère `nouvelle` juste après `repere` dans son menu.
void insererApres(QAction *repere, QAction *nouvelle)
{
    QMenu *m = menuDe(repere);
    if (!m)
        return;
    const QList<QAction *> l = m->actions();
    const qsizetype i = l.indexOf(repere);
    m->insertAction(i + 1 < l.size() ? l[i + 1] : nullptr, nouvelle);
}

class Apprentissage;

// L'historique passe chaque point à la fenêtre de convergence, puis relaie à la trace.
class HistoriqueFenetre : public HistoriqueConvergence {
public:
    HistoriqueFenetre(Apprentissage &a, ObservateurEntrainement *suivant) : HistoriqueConvergence(suivant), a(a)
    {
        GarderModeles = true;
    }
    void Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;
    // Fini (le modèle porte déjà le résultat) : la fenêtre peut revoir chaque itération.
    void Fin(Entrainement type, const ParametresModele &p, EspaceTravail &e) override;

private:
    Apprentissage &a;
};

class Apprentissage : public QObject {
public:
    explicit Apprentissage(TForm1 &f) : QObject(&f), f(f), parties(Parties(f)) {}
    TForm1 &f;
    PartiesPrincipale &parties;
    std::unique_ptr<HistoriqueFenetre> Historique;
    FenetreTreillis *Treillis = nullptr;
    FenetreConvergence *Convergence = nullptr;
    QAction *Importer1 = nullptr, *Exporter1 = nullptr, *Generer1 = nullptr, *Posterieur1 = nullptr,
            *Treillis1 = nullptr, *Convergence1 = nullptr;

    // La revue d'un entraînement : la séquence dont γ est tracé à chaque itération (la
    // première quand il y en a plusieurs), les étiquettes du graphe en aperçu.
    QString SequenceRevue;
    bool CaractereRevue = true;
    GrapheGamma *GrapheRevue = nullptr;
    QLabel *TitreRevue = nullptr;
    QPointer<ApercuEtiquettes> Apercu;
    QTimer *AttenteRevue = nullptr;

    ApercuEtiquettes *apercu()
    {
        if (!Apercu)
            Apercu = new ApercuEtiquettes(*parties.Document);
        return Apercu;
    }

    // L'itération montrée par le curseur : ses étiquettes en aperçu sur le graphe tant que le
    // modèle est celui de l'entraînement ; son γ (calculé une fois le curseur posé).
    void suivreRevue(int indice)
    {
        const ParametresModele *p = indice >= 0 ? Convergence->ModeleMontre() : nullptr;
        if (p && !Convergence->Perimee())
            apercu()->Montrer(*p);
        else if (Apercu)
            Apercu->Effacer();
        AttenteRevue->start();
    }

    void tracerRevue()
    {
        const int k = Convergence->isVisible() ? Convergence->IterationMontree() : -1;
        const ParametresModele *p = k >= 0 ? Convergence->ModeleMontre() : nullptr;
        if (!p || SequenceRevue.isEmpty()) {
            GrapheRevue->Tracer(ResultatDirect());
            TitreRevue->setText(QStringLiteral("γ a posteriori de l'itération montrée"));
            return;
        }
        const ResultatDirect r = Direct::CalculerLambda(*p, {SequenceRevue}, CaractereRevue);
        GrapheRevue->Tracer(r);
        const QString texte = r.Gamma.empty()
                                  ? QStringLiteral("γ non tracé pour cette itération : %1")
                                        .arg(r.Sequences.empty() || r.Sequences.front().Erreur.isEmpty()
                                                 ? QStringLiteral("séquence trop longue")
                                                 : r.Sequences.front().Erreur.section(QLatin1Char('\n'), 0, 0))
                                  : QStringLiteral("γ a posteriori, itération %1 : %2")
                                        .arg(k)
                                        .arg(SequenceRevue.size() > 40 ? SequenceRevue.left(40) + QStringLiteral("...")
                                                                       : SequenceRevue);
        TitreRevue->setText(texte);
        GrapheRevue->setAccessibleDescription(texte);
    }

    FenetreConvergence *FenetreCourbe()
    {
        if (!Convergence) {
            Convergence = new FenetreConvergence(&f);
            auto *revue = new QWidget;
            auto *l = new QVBoxLayout(revue);
            l->setContentsMargins(0, 0, 0, 0);
            TitreRevue = new QLabel(QStringLiteral("γ a posteriori de l'itération montrée"), revue);
            TitreRevue->setObjectName(QStringLiteral("TitreRevue"));
            TitreRevue->setWordWrap(true);
            GrapheRevue = new GrapheGamma(revue);
            GrapheRevue->setObjectName(QStringLiteral("GrapheRevue"));
            GrapheRevue->setAccessibleName(QStringLiteral("Graphe de γ_t(i) de l'itération montrée"));
            GrapheRevue->setMinimumSize(300, 260);
            l->addWidget(TitreRevue);
            l->addWidget(GrapheRevue, 1);
            Convergence->PoserVueRevue(revue);
            AttenteRevue = new QTimer(this);
            AttenteRevue->setSingleShot(true);
            AttenteRevue->setInterval(20); // un glissement du curseur ne calcule que la dernière
            connect(AttenteRevue, &QTimer::timeout, this, [this] { tracerRevue(); });
            connect(Convergence, &FenetreConvergence::iterationMontree, this, [this](int k) { suivreRevue(k); });
            // Garder une itération : ses paramètres reportés sur le graphe, en une étape.
            connect(Convergence, &FenetreConvergence::iterationGardee, this, [this](const ParametresModele &p, int k) {
                garde = true;
                parties.Document->ReporterParametres(p, QStringLiteral("l'itération %1 de l'entraînement").arg(k));
                garde = false;
                suivreRevue(Convergence->IterationMontree()); // le modèle porte l'itération : l'aperçu n'a plus rien à montrer
            });
            // Tout autre changement du modèle rend ses itérations étrangères au modèle.
            connect(parties.Document, &DocumentModele::modifie, Convergence, [this] {
                if (!garde)
                    Convergence->Perimer();
            });
            connect(parties.Document, &DocumentModele::modeleCharge, Convergence, [this] { Convergence->Perimer(); });
        }
        return Convergence;
    }
    bool garde = false;

    void Importer()
    {
        if (parties.Document->EstModifie()) {
            const auto r = Messages::Afficher(&f, Messages::TitreConfirmation,
                                              QStringLiteral("Le modèle a été modifié. Voulez-vous l'enregistrer avant "
                                                             "d'importer ?"),
                                              Messages::Icone::Question, Messages::Boutons::OuiNonAnnuler);
            if (r == Messages::Reponse::Annuler || (r == Messages::Reponse::Oui && !f.Enregistrer1Click()))
                return;
        }
        const QString chemin = QFileDialog::getOpenFileName(&f, QStringLiteral("Importer un modèle"), QString(),
                                                            QStringLiteral("Modèle JSON (*.json)"));
        if (chemin.isEmpty())
            return;
        QString erreur;
        QStringList lignes;
        if (!ModeleJson::ImporterFichier(chemin, &lignes, &erreur) ||
            !parties.Document->Remplacer(lignes, QStringLiteral("Importer un modèle"), &erreur)) {
            Messages::Erreur(&f, erreur);
            return;
        }
    }

    void Exporter()
    {
        if (parties.Document->N() == 0) {
            Messages::Erreur(&f, QStringLiteral("Le modèle n'a aucun état : il n'y a rien à exporter."));
            return;
        }
        QString chemin = QFileDialog::getSaveFileName(&f, QStringLiteral("Exporter le modèle"), QString(),
                                                      QStringLiteral("Modèle JSON (*.json)"));
        if (chemin.isEmpty())
            return;
        if (QFileInfo(chemin).suffix().isEmpty())
            chemin += QStringLiteral(".json");
        QString erreur;
        try {
            if (!ModeleJson::ExporterFichier(parties.Document->Contenu(), chemin, &erreur))
                Messages::Erreur(&f, erreur);
        } catch (const EConversion &x) {
            Messages::Erreur(&f, QStringLiteral("Le modèle est incorrect : ") + x.Message());
        } catch (const ETropDeSymboles &x) {
            Messages::Erreur(&f, x.Message());
        }
    }

    void Generer()
    {
        if (!f.ModelePretPourCalcul())
            return;
        parties.Document->CalculerParametres();
        DialogueGeneration d(parties.Document->Parametres(), &f);
        Presentation::Centrer(&d);
        d.exec();
    }

    void Posterieur()
    {
        if (!f.ModelePretPourCalcul())
            return;
        HistoriqueSequences h;
        h.Charger();
        const QString texte = DialoguePosterieur::Demander(h.Sequences(), &f);
        if (texte.trimmed().isEmpty())
            return;
        EspaceTravail e;
        e.SequenceObservations = texte;
        e.DecoupageCaractere = !texte.trimmed().contains(QLatin1Char(' '));
        try {
            parties.Document->CalculerParametres();
            DecouperSequence(parties.Document->Parametres(), e);
            const QStringList etats = EtatsChemin(parties.Document->Parametres(), CalculerCheminPosterieur(parties.Document->Parametres(), e));
            h.Memoriser(texte);
            parties.Listes->AjouterViterbi(etats, QStringLiteral("a posteriori (argmax γ)"));
            parties.Listes->Surligner(etats);
        } catch (const ERefusCalcul &x) {
            Messages::Erreur(&f, x.Message());
        }
    }

    void VoirTreillis()
    {
        if (!f.ModelePretPourCalcul())
            return;
        const QString &a = parties.Espace.DernierAlgorithme;
        const Treillis::Valeurs v = a == Trace::AlgorithmeBackward ? Treillis::Valeurs::Beta
                                    : a == Trace::AlgorithmeViterbi ? Treillis::Valeurs::Delta
                                                                    : Treillis::Valeurs::Alpha;
        if (!Treillis) {
            Treillis = new FenetreTreillis(&f);
            // La case choisie dans le treillis montre sur le graphe les arcs que lit sa formule.
            connect(Treillis, &FenetreTreillis::entreesChoisies, parties.Listes, &ListesResultats::SurlignerEntrees);
        }
        QString erreur;
        parties.Document->CalculerParametres();
        if (!Treillis->Montrer(parties.Document->Parametres(), parties.Espace.SequenceObservations, parties.Espace.DecoupageCaractere, v,
                               &erreur)) {
            Messages::Erreur(&f, erreur);
            return;
        }
        Treillis->show();
        Treillis->raise();
        Treillis->activateWindow();
    }

    void ActualiserTreillis()
    {
        const QString &a = parties.Espace.DernierAlgorithme;
        Treillis1->setEnabled(parties.Rapport1->isEnabled() &&
                              (a == Trace::AlgorithmeForward || a == Trace::AlgorithmeBackward ||
                               a == Trace::AlgorithmeViterbi || a == Trace::AlgorithmeDirect));
    }
};

void HistoriqueFenetre::Fin(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    a.FenetreCourbe()->Terminer(Points, Modeles);
    HistoriqueConvergence::Fin(type, p, e);
}

void HistoriqueFenetre::Debut(Entrainement type, const ParametresModele &p, EspaceTravail &e)
{
    FenetreConvergence *c = a.FenetreCourbe();
    const bool seuil = type == Entrainement::BaumWelch && e.Seuil != 2;
    c->Commencer(QStringLiteral("%1 : %2").arg(type == Entrainement::BaumWelch ? QStringLiteral("Baum-Welch")
                                                                                : QStringLiteral("entraînement de Viterbi"),
                                               e.PlusieursSequences()
                                                   ? QStringLiteral("%1 séquences").arg(e.Formation.size())
                                                   : e.SequenceObservations.left(60)),
                 seuil ? e.Seuil : -1);
    a.SequenceRevue = e.PlusieursSequences() ? e.Formation.Texte(0) : e.SequenceObservations;
    a.CaractereRevue = e.DecoupageCaractere;
    c->show();
    c->raise();
    SurPoint = [c](const PointConvergence &point) { c->Ajouter(point); };
    HistoriqueConvergence::Debut(type, p, e);
}

}

QObject *BrancherApprentissage(TForm1 &f)
{
    auto *a = new Apprentissage(f);
    PartiesPrincipale &parties = a->parties;
    auto action = [&](const QString &texte, auto membre) {
        auto *x = new QAction(texte, &f);
        QObject::connect(x, &QAction::triggered, a, [a, membre] { (a->*membre)(); });
        return x;
    };
    a->Importer1 = action(QStringLiteral("Importer..."), &Apprentissage::Importer);
    a->Exporter1 = action(QStringLiteral("Exporter..."), &Apprentissage::Exporter);
    a->Generer1 = action(QStringLiteral("Générer une séquence..."), &Apprentissage::Generer);
    a->Posterieur1 = action(QStringLiteral("Chemin a posteriori..."), &Apprentissage::Posterieur);
    a->Treillis1 = action(QStringLiteral("Treillis"), &Apprentissage::VoirTreillis);
    a->Convergence1 = new QAction(QStringLiteral("Convergence des entraînements"), &f);
    QObject::connect(a->Convergence1, &QAction::triggered, a, [a] {
        a->FenetreCourbe()->show();
        a->FenetreCourbe()->raise();
    });
    a->Treillis1->setObjectName(QStringLiteral("Treillis1"));
    a->Treillis1->setIcon(QIcon::fromTheme(QStringLiteral("view-grid"), QIcon::fromTheme(QStringLiteral("x-office-spreadsheet"))));
    a->Treillis1->setToolTip(QStringLiteral("Treillis"));
    a->Treillis1->setEnabled(false);

    insererApres(parties.Enregistrersous1, a->Exporter1);
    insererApres(parties.Enregistrersous1, a->Importer1);
    insererApres(parties.Viterbi1, a->Posterieur1);
    if (QMenu *sousMenu = menuDe(parties.AppBaumWelch1)) // après le sous-menu « Apprentissage »
        insererApres(sousMenu->menuAction(), a->Generer1);
    if (QMenu *outils = menuDe(parties.Word1)) {
        outils->insertAction(parties.Word1, a->Treillis1);
        outils->insertAction(parties.Word1, a->Convergence1);
        outils->insertSeparator(parties.Word1);
    }
    if (auto *barre = parties.BarreOutils) {
        const QList<QAction *> l = barre->actions();
        const qsizetype i = l.indexOf(parties.Rapport1);
        barre->insertAction(i >= 0 && i + 1 < l.size() ? l[i + 1] : nullptr, a->Treillis1);
        if (QWidget *w = barre->widgetForAction(a->Treillis1))
            w->setToolTip(QStringLiteral("Treillis"));
    }
    QObject::connect(parties.Rapport1, &QAction::changed, a, [a] { a->ActualiserTreillis(); });

    // L'historique se place devant l'observateur de la trace : la courbe suit chaque itération.
    a->Historique = std::make_unique<HistoriqueFenetre>(*a, parties.ObservateurTrace);
    parties.ObservateurTrace = a->Historique.get();
    return a;
}
