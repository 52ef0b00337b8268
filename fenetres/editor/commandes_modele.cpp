// TForm1 : commandes du menu "Modèle" (vérification, algorithmes, paramètres), listes de
// résultats, volet de vérification et programmes du menu "Outils".
#include "calculs/app_viterbi.h"
#include "calculs/approchedirect.h"
#include "calculs/backward.h"
#include "calculs/baumwelch.h"
#include "calculs/cheminspossible.h"
#include "calculs/forward.h"
#include "calculs/viterbi.h"
#include "dialogs/proprietesmodele.h"
#include "editor/listes.h"
#include "editor/principale.h"
#include "editor/verification_panneau.h"
#include "graph/nombres.h"
#include "model/aleatoire.h"
#include "model/image_modele.h"
#include "skin/messages.h"
#include "skin/presentation.h"
#include "trace/document_trace.h"
#include "trace/image.h"

#include <QAction>
#include <QInputDialog>
#include <QProcess>
#include <QSplitter>
#include <QStandardPaths>
#include <limits>

void TForm1::BrancherModele()
{
    Listes = new ListesResultats(*this, SeparateurCentral);
    SeparateurCentral->insertWidget(0, Listes->PanneauGauche);
    SeparateurCentral->setStretchFactor(0, 0);
    SeparateurCentral->setStretchFactor(1, 1);
    SeparateurCentral->setSizes({330, 950});

    Verification = new PanneauVerification(SeparateurCanevas);
    SeparateurCanevas->addWidget(Verification);
    SeparateurCanevas->setStretchFactor(0, 1);
    SeparateurCanevas->setStretchFactor(1, 0);
    Verification->hide(); // caché au démarrage, avec son séparateur
    connect(Verification, &PanneauVerification::cacheDemande, this, [this] { Verification->hide(); });

    for (QAction *a : {Viderchemins1, ViderViterbi1, Viderprobabilites1, Vidertout1, Parametres1, Aleatoire1, Verifier1, Enumerer1,
                       Approchedirect1, Forward1, Backward1, Viterbi1, AppViterbi1, AppBaumWelch1, Word1, BlocNote1,
                       Calculatrice1})
        a->setEnabled(true);

    connect(Viderchemins1, &QAction::triggered, Listes, &ListesResultats::ViderChemins);
    connect(ViderViterbi1, &QAction::triggered, Listes, &ListesResultats::ViderViterbi);
    connect(Viderprobabilites1, &QAction::triggered, Listes, &ListesResultats::ViderProbabilites);
    connect(Vidertout1, &QAction::triggered, Listes, &ListesResultats::ViderTout);
    connect(Verifier1, &QAction::triggered, this, &TForm1::Verifier1Click);
    connect(Parametres1, &QAction::triggered, this, &TForm1::Parametres1Click);
    connect(Aleatoire1, &QAction::triggered, this, &TForm1::Aleatoire1Click);
    connect(Enumerer1, &QAction::triggered, this, &TForm1::Enumerer1Click);
    connect(Approchedirect1, &QAction::triggered, this, &TForm1::Approchedirect1Click);
    connect(Forward1, &QAction::triggered, this, &TForm1::Forward1Click);
    connect(Backward1, &QAction::triggered, this, &TForm1::Backward1Click);
    connect(Viterbi1, &QAction::triggered, this, &TForm1::Viterbi1Click);
    connect(AppViterbi1, &QAction::triggered, this, &TForm1::AppViterbi1Click);
    connect(AppBaumWelch1, &QAction::triggered, this, &TForm1::AppBaumWelch1Click);
    connect(Rapport1, &QAction::triggered, this, &TForm1::VoirTrace);
    for (QAction *outil : {Word1, BlocNote1, Calculatrice1})
        connect(outil, &QAction::triggered, this, [this, outil] { LancerOutil(ProgrammesOutil(outil)); });

    // Un échec du lancement n'est pas signalé.
    LancerProgramme = [](const QString &programme, const QStringList &arguments) {
        QProcess::startDetached(programme, arguments);
    };
}

// ---- Vérification ----

void TForm1::Verifier1Click()
{
    QStringList rapport;
    try {
        Document->VerifierModele(rapport);
    } catch (const EConversion &e) {
        // Le rapport s'arrête sur la probabilité illisible.
        rapport << QStringLiteral("       Erreur : ") + e.Message();
    }
    const bool cache = Verification->isHidden();
    Verification->show();
    if (cache) {
        const int total = SeparateurCanevas->height();
        SeparateurCanevas->setSizes({std::max(total - PanneauVerification::HauteurAffichee, 1),
                                     PanneauVerification::HauteurAffichee});
    }
    Verification->Ecrire(rapport);
}

bool TForm1::ModelePretPourCalcul()
{
    QStringList rapport;
    bool correct = false;
    try {
        correct = Document->VerifierModele(rapport);
    } catch (const EConversion &) {
        correct = false;
    }
    if (correct)
        return true;
    if (Messages::Afficher(this, Messages::TitreAvertissement,
                           QStringLiteral("Le modèle est incorrect !\n\nVoulez vous voir le rapport des erreurs ?"),
                           Messages::Icone::Question, Messages::Boutons::OuiNon) == Messages::Reponse::Oui)
        Verifier1Click();
    return false;
}

// ---- Boîtes des algorithmes ----

namespace {
// Créée à neuf, centrée, animée, non modale ; la fenêtre principale est inutilisable tant
// qu'elle est ouverte. Un entraînement exporte d'abord l'image du modèle que montrera la
// trace (500 x 400) ; un échec d'écriture ne l'empêche pas, la trace sera sans image.
template <class Dialogue>
Dialogue *ouvrir(TForm1 &f, bool imageAvant = false)
{
    if (!f.ModelePretPourCalcul())
        return nullptr;
    if (imageAvant) {
        try {
            Trace::ExporterImageModele(ImageModele::RendreModele(*Parties(f).Document));
        } catch (const ETrace &) {
        }
    }
    auto *d = new Dialogue(f.Contexte());
    Presentation::Presenter(d, true);
    return d;
}
}

TForm16 *TForm1::Enumerer1Click()
{
    return ouvrir<TForm16>(*this);
}

TForm12 *TForm1::Approchedirect1Click()
{
    return ouvrir<TForm12>(*this);
}

TForm13 *TForm1::Forward1Click()
{
    return ouvrir<TForm13>(*this);
}

TForm14 *TForm1::Backward1Click()
{
    return ouvrir<TForm14>(*this);
}

TForm15 *TForm1::Viterbi1Click()
{
    return ouvrir<TForm15>(*this);
}

TForm17 *TForm1::AppViterbi1Click()
{
    return ouvrir<TForm17>(*this, true);
}

TForm11 *TForm1::AppBaumWelch1Click()
{
    return ouvrir<TForm11>(*this, true);
}

void TForm1::Aleatoire1Click()
{
    if (!Aleatoire::AQuoiTirer(Document->Contenu())) {
        Messages::Information(this, QStringLiteral("Rien à tirer au hasard : dessinez d'abord les arcs du modèle et les "
                                                   "symboles de ses états."));
        return;
    }
    bool ok = false;
    const int graine = QInputDialog::getInt(this, QStringLiteral("Probabilités aléatoires"),
                                            QStringLiteral("Graine du tirage (la même graine redonne les mêmes "
                                                           "probabilités) :"),
                                            1, 0, std::numeric_limits<int>::max(), 1, &ok);
    if (ok)
        Document->RemplirAuHasard(quint32(graine));
}

TForm4 *TForm1::Parametres1Click()
{
    try {
        Document->CalculerParametres();
    } catch (const EConversion &e) {
        Messages::Erreur(this, QStringLiteral("Les paramètres du modèle ne peuvent pas être calculés : ") + e.Message());
        return nullptr;
    } catch (const ETropDeSymboles &e) {
        Messages::Erreur(this, e.Message());
        return nullptr;
    }
    auto *d = new TForm4(Document->Parametres(), Document->StartPresent(), this);
    Presentation::Presenter(d, true);
    return d;
}

// ---- Outils ----

QStringList TForm1::ProgrammesOutil(const QAction *outil) const
{
    if (outil == Calculatrice1)
        return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
                QStringLiteral("xcalc")};
    if (outil == BlocNote1)
        return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
                QStringLiteral("mousepad"), QStringLiteral("xed")};
    if (outil == Word1)
        return {QStringLiteral("libreoffice --writer"), QStringLiteral("abiword")};
    return {};
}

void TForm1::LancerOutil(const QStringList &candidats)
{
    for (const QString &c : candidats) {
        QStringList morceaux = c.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (morceaux.isEmpty())
            continue;
        const QString chemin = QStandardPaths::findExecutable(morceaux.takeFirst());
        if (chemin.isEmpty())
            continue;
        if (LancerProgramme)
            LancerProgramme(chemin, morceaux);
        return;
    }
}
