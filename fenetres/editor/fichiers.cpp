// TForm1 : démarrage, fermeture, commandes du menu "Fichier", fichiers récents,
// mot de passe et options d'affichage.
#include "dialogs/changermotdepasse.h"
#include "dialogs/motdepass.h"
#include "dialogs/suppmotdepass.h"
#include "editor/principale.h"
#include "editor/canevas.h"
#include "graph/hmm.h"
#include "model/fichier.h"
#include "model/options.h"
#include "model/recents.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

namespace {
QString cheminTxt()
{
    return Repertoire::Fichier(QStringLiteral("Chemin.txt"));
}

const QString introuvable = QStringLiteral("Fichier introuvable\npeut être qu'il est supprimmé ou déplacé");

// Chemin d'une entrée du menu "Réouvrir" : son libellé, « && » redevenu « & », sans le « & »
// seul d'un raccourci.
QString cheminDuLibelle(const QString &libelle)
{
    QString r;
    for (qsizetype i = 0; i < libelle.size(); ++i) {
        if (libelle[i] == QLatin1Char('&') && i + 1 < libelle.size() && libelle[i + 1] == QLatin1Char('&'))
            ++i;
        else if (libelle[i] == QLatin1Char('&'))
            continue;
        r += libelle[i];
    }
    return r;
}
}

void TForm1::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (premiereActivation)
        PremiereActivation();
}

void TForm1::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && premiereActivation)
        PremiereActivation();
}

void TForm1::PremiereActivation()
{
    if (!premiereActivation)
        return;
    premiereActivation = false;
    Document->DefinirSurlignage(Couleurs::Bleu, 3);
    VueGraphe(*Document)->RayonBoucle = 20;
    VueGraphe(*Document)->TypeFleche = 3;
    Rapport1->setEnabled(false);
    Sourie->setChecked(true);
    Document->Reinitialiser();
    ConstruireMenuRecents();
    QString refus;
    Recents::Lire(&refus);

    // Le modèle à ouvrir : l'argument, sinon la première ligne de "Chemin.txt" (254 caractères au plus).
    QString chemin = Textes::LireLignesPartagees(cheminTxt(), Textes::LimiteLignes, nullptr, nullptr).value(0).section(QLatin1Char('\r'), 0, 0).left(254);
    if (chemin.isEmpty())
        chemin = QStringLiteral("Vide");
    if (!argumentDemarrage.isEmpty())
        chemin = argumentDemarrage;
    if (chemin != QLatin1String("Vide"))
        chargerIci(chemin);
    LireOptions();
    // Un fichier de réglages refusé (trop gros, dossier...) est ignoré sans bloquer le démarrage,
    // mais l'utilisateur doit savoir pourquoi ses réglages manquent.
    if (!refus.isEmpty())
        statusBar()->showMessage(refus);
}

void TForm1::LireOptions()
{
    QString refus;
    Options::Appliquer(*Document, Options::Lire(OptionsAffichage(), &refus));
    if (!refus.isEmpty())
        statusBar()->showMessage(refus);
}

void TForm1::MettreAJourTitre()
{
    const QString nom = QFileInfo(Document->NomFichier()).fileName();
    // "[*]" : Qt y montre une étoile tant que le modèle n'est pas enregistré.
    setWindowTitle((nom.isEmpty() ? QLatin1Char(' ') + TitreApplication
                                  : QLatin1Char(' ') + TitreApplication + QStringLiteral(" - ") + nom) +
                   QStringLiteral("[*]"));
    setWindowModified(Document->EstModifie());
}

void TForm1::MettreAJourMenusMotDePasse()
{
    const bool protege = Document->MotDePasse() != QLatin1String("Vide");
    Ajouterunmotdepasse1->setEnabled(!protege);
    Modifierlemotdepasse1->setEnabled(protege);
    Supprimerlemotdepasse1->setEnabled(protege);
}

void TForm1::chargerIci(const QString &chemin)
{
    // Le nom du document reste vide : la fenêtre n'est appelée ici que quand elle est libre.
    if (!QFileInfo::exists(chemin)) {
        Messages::Erreur(this, introuvable);
        return;
    }
    // Titre, menus et outil START suivent le document (ActualiserVues).
    QString erreur;
    if (Document->Ouvrir(chemin, &erreur) == Chargement::Erreur)
        Messages::Erreur(this, erreur);
}

// ---- Fichiers récents ----

void TForm1::ConstruireMenuRecents()
{
    Reouvrir1->clear();
    for (const QString &p : Recents::EntreesMenu()) {
        // « & » doublé : affiché tel quel, pas pris pour un raccourci.
        QAction *a = Reouvrir1->addAction(QString(p).replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setEnabled(QFileInfo::exists(p));
        connect(a, &QAction::triggered, this, [this, a] { OuvrirRecent(a->text()); });
    }
    Reouvrir1->setEnabled(!Reouvrir1->actions().isEmpty());
}

void TForm1::ActualiserRecents()
{
    for (QAction *a : Reouvrir1->actions())
        a->setEnabled(QFileInfo::exists(cheminDuLibelle(a->text())));
}

void TForm1::OuvrirRecent(const QString &libelle)
{
    const QString chemin = cheminDuLibelle(libelle);
    if (!QFileInfo::exists(chemin)) {
        Messages::Erreur(this, introuvable);
        return;
    }
    ouvrirChemin(chemin);
    ActualiserRecents();
}

void TForm1::ouvrirChemin(const QString &chemin)
{
    if (Document->NomFichier().isEmpty() && !Document->EstModifie()) {
        chargerIci(chemin);
    } else {
        // Un modèle par fenêtre : le suivant s'ouvre dans une nouvelle instance. En UTF-8 : tout
        // nom de fichier se transmet.
        Textes::EcrireOctets(cheminTxt(), chemin.toUtf8());
        if (LancerInstance)
            LancerInstance();
    }
}

// ---- Menu "Fichier" ----

void TForm1::Nouveau1Click()
{
    Textes::EcrireTexte(cheminTxt(), QStringLiteral("Vide"));
    if (LancerInstance)
        LancerInstance();
}

void TForm1::Ouvrir1Click()
{
    ActualiserRecents();
    const QString chemin = DemanderOuverture ? DemanderOuverture() : QString();
    if (chemin.isEmpty())
        return;
    if (Document->NomFichier().isEmpty() && !Document->EstModifie() && !QFileInfo::exists(chemin)) {
        Messages::Erreur(this, QStringLiteral("Fichier introuvable"));
        return;
    }
    ouvrirChemin(chemin);
    // Seul un fichier qui se lit comme un modèle entre dans "Réouvrir".
    ContenuModele c;
    QString refus;
    if (FichierModele::OuvrirContenu(chemin, &c, &refus) && Recents::Ajouter(chemin))
        ConstruireMenuRecents();
}

bool TForm1::Enregistrer1Click()
{
    if (Document->NomFichier().isEmpty())
        return Enregistrersous1Click();
    QString erreur;
    if (!Document->Enregistrer(Document->NomFichier(), &erreur)) {
        Messages::Erreur(this, erreur);
        return false;
    }
    return true;
}

bool TForm1::Enregistrersous1Click()
{
    QString chemin = DemanderEnregistrement ? DemanderEnregistrement() : QString();
    if (chemin.isEmpty())
        return false;
    // Un nom tapé sans extension reçoit celle des modèles.
    if (QFileInfo(chemin).suffix().isEmpty())
        chemin += QStringLiteral(".hmm");
    QString erreur;
    if (!Document->Enregistrer(chemin, &erreur)) {
        Messages::Erreur(this, erreur);
        return false;
    }
    if (Recents::Ajouter(chemin))
        ConstruireMenuRecents();
    return true;
}

void TForm1::Quitter1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent *e)
{
    if (Document->EstModifie()) {
        const auto r = Messages::Afficher(this, Messages::TitreConfirmation,
                                          QStringLiteral("Voulez vous enregistrer les modifications apportées au modèle ?"),
                                          Messages::Icone::Question, Messages::Boutons::OuiNonAnnuler);
        // Un enregistrement annulé ou en échec garde la fenêtre ouverte : rien n'est perdu.
        if (r == Messages::Reponse::Annuler || (r == Messages::Reponse::Oui && !Enregistrer1Click())) {
            e->ignore();
            return;
        }
    }
    Textes::EcrireTexte(cheminTxt(), QStringLiteral("Vide"));
    e->accept();
}

// ---- Mot de passe ----

void TForm1::Ajouterunmotdepasse1Click()
{
    auto *f = new TForm6(*Document, this);
    connect(f, &QDialog::finished, this, &TForm1::MettreAJourMenusMotDePasse);
    Presentation::Presenter(f, true);
}

void TForm1::Modifierlemotdepasse1Click()
{
    auto *f = new TForm8(*Document, this);
    connect(f, &QDialog::finished, this, &TForm1::MettreAJourMenusMotDePasse);
    Presentation::Presenter(f, true);
}

void TForm1::Supprimerlemotdepasse1Click()
{
    auto *f = new TForm7(*Document, this);
    connect(f, &QDialog::finished, this, &TForm1::MettreAJourMenusMotDePasse);
    Presentation::Presenter(f, true);
}
