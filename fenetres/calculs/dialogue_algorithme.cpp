#include "calculs/dialogue_algorithme.h"
#include "algorithms/chrono.h"
#include "algorithms/enumeration.h"
#include "algorithms/espace.h"
#include "algorithms/formation.h"
#include "algorithms/portee.h"
#include "dialogs/aide.h"
#include "model/document.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "model/textes.h"
#include "skin/champ_sequence.h"
#include "skin/messages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidgetItem>
#include <QAbstractItemView>
#include <QVBoxLayout>
#include <new>

namespace {

// Temps processeur du calcul en cours : démarré quand modèle et séquence sont lus, arrêté
// quand les résultats arrivent (avant le remplissage d'une longue liste de chemins).
ChronoCalcul chronoCalcul;
double dureeCalcul = -1;

void demarrerChrono()
{
    chronoCalcul = ChronoCalcul();
    dureeCalcul = -1;
}

double arreterChrono()
{
    if (dureeCalcul < 0)
        dureeCalcul = chronoCalcul.Millisecondes();
    return dureeCalcul;
}

}

DialogueAlgorithme::DialogueAlgorithme(const ContexteCalcul &contexte, const Description &d)
    : QDialog(contexte.Fenetre), f(contexte), sujetAide(d.SujetAide)
{
    setWindowTitle(d.Titre);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *v = new QVBoxLayout(this);
    v->setSizeConstraint(QLayout::SetFixedSize); // taille fixe : le redimensionnement est refusé
    v->setContentsMargins(8, 8, 8, 0);

    GroupBox1 = new QGroupBox(d.Formation ? QStringLiteral(" La séquence de formation : ")
                                          : QStringLiteral(" La séquence d'observation : "),
                              this);
    auto *g1 = new QVBoxLayout(GroupBox1);
    LabeledEdit1 = new QComboBox(GroupBox1);
    LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
    // Largeur fixe quel que soit l'historique, élision au milieu, bulle et copie du texte entier.
    ChampSequence::Equiper(LabeledEdit1);
    LabeledEdit1->setMinimumWidth(360);
    g1->addWidget(LabeledEdit1);
    v->addWidget(GroupBox1);

    GroupBox2 = new QGroupBox(QStringLiteral(" Découper la séquence : "), this);
    auto *g2 = new QHBoxLayout(GroupBox2);
    RadioButton1 = new QRadioButton(QStringLiteral("Caractère par caractère"), GroupBox2);
    RadioButton2 = new QRadioButton(QStringLiteral("Mot par mot"), GroupBox2);
    RadioButton1->setChecked(true);
    g2->addWidget(RadioButton1);
    g2->addWidget(RadioButton2);
    g2->addStretch();
    v->addWidget(GroupBox2);

    ZoneSupplementaire = new QVBoxLayout;
    v->addLayout(ZoneSupplementaire);

    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), d.Lancer, this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Annuler"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&Aide"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    boutons->addWidget(BitBtn1);
    boutons->addWidget(BitBtn2);
    boutons->addWidget(BitBtn3);
    v->addSpacing(4);
    v->addLayout(boutons);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(22);
    v->addWidget(StatusBar1);

    connect(LabeledEdit1, &QComboBox::editTextChanged, this,
            [this](const QString &t) {
                BitBtn1->setEnabled(!enCours && (!t.isEmpty() || sequenceDonnee()));
            });
    connect(BitBtn1, &QPushButton::clicked, this, &DialogueAlgorithme::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &DialogueAlgorithme::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &DialogueAlgorithme::BitBtn3Click);
}

EspaceTravail &DialogueAlgorithme::espace() const
{
    return *f.Espace;
}

void DialogueAlgorithme::AjouterProgression()
{
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    placerProgression();
}

void DialogueAlgorithme::AjouterZoneSequences()
{
    auto *g1 = static_cast<QVBoxLayout *>(GroupBox1->layout());
    auto *titre = new QLabel(QStringLiteral("Ou plusieurs séquences, une par ligne :"), GroupBox1);
    g1->addWidget(titre);
    auto *ligne = new QHBoxLayout;
    MemoSequences = new QPlainTextEdit(GroupBox1);
    MemoSequences->setObjectName(QStringLiteral("MemoSequences"));
    // Taille fixe quel que soit le texte : de longues séquences défilent sans élargir la boîte.
    MemoSequences->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoSequences->setFixedHeight(5 * MemoSequences->fontMetrics().lineSpacing() + 12);
    MemoSequences->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    MemoSequences->setTabChangesFocus(true);
    BoutonCharger = new QPushButton(QStringLiteral("Charger…"), GroupBox1);
    BoutonCharger->setObjectName(QStringLiteral("BoutonCharger"));
    BoutonCharger->setAutoDefault(false);
    BoutonCharger->setToolTip(QStringLiteral("Lire les séquences d'un fichier texte, une par ligne."));
    ligne->addWidget(MemoSequences, 1);
    ligne->addWidget(BoutonCharger, 0, Qt::AlignTop);
    g1->addLayout(ligne);
    titre->setBuddy(MemoSequences);
    connect(MemoSequences, &QPlainTextEdit::textChanged, this,
            [this] { BitBtn1->setEnabled(!enCours && sequenceDonnee()); });
    connect(BoutonCharger, &QPushButton::clicked, this, [this] {
        const QString chemin = QFileDialog::getOpenFileName(this, QStringLiteral("Charger des séquences"), QString(),
                                                            QStringLiteral("Textes (*.txt);;Tous les fichiers (*)"));
        if (!chemin.isEmpty())
            ChargerSequences(chemin);
    });
}

bool DialogueAlgorithme::ChargerSequences(const QString &chemin)
{
    QByteArray octets;
    QString erreur;
    if (!Textes::LireOctets(chemin, Textes::LimiteLignes, &octets, &erreur)) {
        Erreur(QStringLiteral("Les séquences du fichier « %1 » ne peuvent pas être lues : %2")
                   .arg(QDir::toNativeSeparators(chemin), erreur));
        return false;
    }
    const QStringList l = LignesSequences(Textes::Decoder(octets).remove(QLatin1Char('\r')));
    MemoSequences->setPlainText(l.join(QLatin1Char('\n')));
    StatusBar1->showMessage(QStringLiteral("%1 séquence(s) chargée(s).").arg(l.size()), 5000);
    return true;
}

bool DialogueAlgorithme::sequenceDonnee() const
{
    return !LabeledEdit1->currentText().isEmpty() ||
           (MemoSequences && !MemoSequences->toPlainText().trimmed().isEmpty());
}

void DialogueAlgorithme::ListerProbabilitesFormation(const QString &methode)
{
    const EspaceTravail &e = espace();
    if (!e.PlusieursSequences())
        return;
    const int K = int(e.Formation.size());
    const QString nom = NomMethode(methode, e);
    for (int k = 1; k <= K; ++k)
        f.Resultats->AjouterProbabilite(e.Formation.Texte(std::size_t(k - 1)), TexteProbabiliteFormation(e, k),
                                        nom + QStringLiteral(" (séquence %1/%2)").arg(k).arg(K));
    f.Resultats->AjouterProbabilite(QStringLiteral("Produit des %1 séquences").arg(K), TexteProbabiliteFormation(e, 0),
                                    nom + QStringLiteral(" (produit)"));
}

void DialogueAlgorithme::placerProgression()
{
    // À gauche dans la barre d'état, à 3 pixels de son haut.
    if (ProgressBar1)
        ProgressBar1->setGeometry(0, 3, std::max(StatusBar1->width() / 2, 100), StatusBar1->height() - 5);
}

void DialogueAlgorithme::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    placerProgression();
}

void DialogueAlgorithme::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!montre) {
        montre = true;
        FormShow();
    }
}

void DialogueAlgorithme::FormShow()
{
    BitBtn1->setEnabled(false);
    QString refusHistorique;
    historique.Charger(&refusHistorique);
    ChampSequence::Remplir(LabeledEdit1, historique.Sequences());
    LabeledEdit1->setToolTip(QString());
    RadioButton1->setChecked(true);
    LabeledEdit1->setFocus();
    StatusBar1->showMessage(refusHistorique.isEmpty() ? QStringLiteral("Tapez ou choisissez une séquence.")
                                                      : refusHistorique);
}

void DialogueAlgorithme::BitBtn1Click()
{
    if (enCours || !BitBtn1->isEnabled())
        return;
    const QString texte = LabeledEdit1->currentText();
    QString refus;
    try {
        // Prologue : historique (sans égard à la casse), puis les deux champs de l'espace.
        if (historique.Ajouter(texte)) {
            LabeledEdit1->blockSignals(true);
            ChampSequence::Ajouter(LabeledEdit1, texte);
            LabeledEdit1->setEditText(texte);
            LabeledEdit1->blockSignals(false);
            QString erreur;
            if (!historique.Enregistrer(&erreur))
                StatusBar1->showMessage(QStringLiteral("Historique des séquences non enregistré : ") + erreur, 5000);
        }
        espace().DecoupageCaractere = RadioButton1->isChecked();
        espace().SequenceObservations = texte;
        espace().Formation.clear();
        // Entraînements : le champ multiligne, quand il a des lignes, donne les séquences.
        const QStringList lignes = MemoSequences ? LignesSequences(MemoSequences->toPlainText()) : QStringList();
        if (!lignes.isEmpty())
            DefinirSequencesFormation(espace(), lignes);
        LireReglages();
        demarrerChrono();
        Executer();
        return;
    } catch (const ERefusCalcul &e) {
        refus = e.Message();
    } catch (const EConversion &e) {
        refus = QStringLiteral("Le modèle contient une probabilité qui n'est pas un nombre : ") + e.Message();
    } catch (const ETropDeSymboles &e) {
        refus = e.Message();
    } catch (const std::bad_alloc &) {
        refus = MemoireTables::MessageManque() + QStringLiteral(" Essayez une séquence plus courte.");
    } catch (const std::exception &e) {
        refus = QStringLiteral("Le calcul n'a pas pu être mené à bien : ") + QString::fromLocal8Bit(e.what());
    }
    if (enCours)
        TerminerCalculLong();
    Erreur(refus);
}

void DialogueAlgorithme::BitBtn2Click()
{
    if (enCours)
        demanderArret(false);
    else
        close();
}

void DialogueAlgorithme::demanderArret(bool fermer)
{
    arretDemande = true;
    fermetureDemandee = fermetureDemandee || fermer;
    espace().ArretEnumeration = true;
}

void DialogueAlgorithme::BitBtn3Click()
{
    Aide::Afficher(sujetAide);
}

void DialogueAlgorithme::PreparerCalcul()
{
    f.Document->CalculerParametres();
    DecouperSequence(f.Document->Parametres(), espace());
    demarrerChrono(); // modèle et séquence lus : le calcul seul est chronométré
}

void DialogueAlgorithme::Epilogue(const QString &nom, const QString &message)
{
    f.Resultats->AfficherDuree(TexteDureeCalcul(arreterChrono()));
    if (!nom.isEmpty()) {
        espace().DernierAlgorithme = nom;
        f.Resultats->TraceDisponible(nom);
    }
    Messages::Information(this, message);
    close();
}

void DialogueAlgorithme::Erreur(const QString &texte)
{
    Messages::Erreur(this, texte, Messages::TitreErreur2);
}

void DialogueAlgorithme::DebuterCalculLong(bool barreProgression)
{
    enCours = true;
    arretDemande = false;
    fermetureDemandee = false;
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(false);
    BitBtn2->setText(QStringLiteral("Arrêter"));
    StatusBar1->clearMessage();
    if (barreProgression && ProgressBar1) {
        ProgressBar1->setValue(0);
        placerProgression();
        ProgressBar1->show();
    }
}

void DialogueAlgorithme::TerminerCalculLong()
{
    enCours = false;
    if (ProgressBar1) {
        ProgressBar1->hide();
        ProgressBar1->setValue(0);
    }
    BitBtn1->setEnabled(sequenceDonnee());
    BitBtn3->setEnabled(true);
    BitBtn2->setText(QStringLiteral("Annuler"));
    if (fermetureDemandee)
        close();
}

void DialogueAlgorithme::AfficherProgression(int pourcent)
{
    if (ProgressBar1 && ProgressBar1->value() != pourcent)
        ProgressBar1->setValue(pourcent);
}

void DialogueAlgorithme::LaisserRespirer()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void DialogueAlgorithme::closeEvent(QCloseEvent *e)
{
    // Fermer pendant un calcul long l'arrête ; la boîte se ferme dès qu'il a rendu la main.
    if (enCours) {
        demanderArret(true);
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void DialogueAlgorithme::done(int r)
{
    if (enCours) {
        demanderArret(true);
        return;
    }
    QDialog::done(r);
    // Le clavier revient à la fenêtre principale (sinon, sous certains gestionnaires de
    // fenêtres, il n'est plus à personne et les menus ne s'ouvrent plus par Alt).
    if (QWidget *p = parentWidget()) {
        QWidget *principale = p->window();
        principale->activateWindow();
        // Les fenêtres qu'elle porte (convergence, treillis) restent devant elle.
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible() && w->parentWidget() && w->parentWidget()->window() == principale)
                w->raise();
    }
    if (testAttribute(Qt::WA_DeleteOnClose))
        deleteLater();
}

bool DialogueAlgorithme::Enumerer()
{
    PreparerCalcul();
    EspaceTravail &e = espace();
    DebuterCalculLong(true);
    SuiviEnumeration suivi;
    // La barre n'est touchée que quand son pourcentage change ; "Arrêter" et la fermeture
    // lèvent ArretEnumeration eux-mêmes.
    suivi.Progression = [this](int pourcent) { AfficherProgression(pourcent); };
    suivi.ApresChemin = [this] { LaisserRespirer(); };
    const bool fini = EnumererChemins(f.Document->Parametres(), e, suivi);
    TerminerCalculLong();
    return fini && !fermetureDemandee;
}

void DialogueAlgorithme::ListerChemins()
{
    arreterChrono();
    StatusBar1->showMessage(QStringLiteral("Remplissage de la liste des chemins ..."));
    StatusBar1->repaint();
    f.Resultats->AfficherChemins(espace().TableChemins, espace().MeilleurChemin);
    StatusBar1->clearMessage();
}

// ---- Observateur des entraînements ----

ObservateurDialogue::ObservateurDialogue(const ContexteCalcul &contexte, std::function<bool()> continuer)
    : trace(contexte.Resultats ? contexte.Resultats->ObservateurCalcul() : nullptr), continuer(std::move(continuer))
{
}

void ObservateurDialogue::Debut(Entrainement t, const ParametresModele &p, EspaceTravail &e)
{
    if (trace)
        trace->Debut(t, p, e);
}

void ObservateurDialogue::Iteration(Entrainement t, const ParametresModele &p, EspaceTravail &e)
{
    if (trace)
        trace->Iteration(t, p, e);
}

bool ObservateurDialogue::Continuer(Entrainement t)
{
    const bool suite = continuer ? continuer() : true;
    if (trace && !trace->Continuer(t))
        return false;
    return suite;
}

void ObservateurDialogue::AvantModification(Entrainement t)
{
    if (trace)
        trace->AvantModification(t);
}

void ObservateurDialogue::Fin(Entrainement t, const ParametresModele &p, EspaceTravail &e)
{
    if (trace)
        trace->Fin(t, p, e);
}

void ObservateurDialogue::FinSansIteration(Entrainement t, const ParametresModele &p, EspaceTravail &e)
{
    if (trace)
        trace->FinSansIteration(t, p, e);
}
