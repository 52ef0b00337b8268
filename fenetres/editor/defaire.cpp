// TForm1 : annulation et rétablissement.
#include "editor/defaire.h"
#include "editor/principale.h"
#include "editor/souris.h"
#include "model/document.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "skin/messages.h"

#include <QAction>

namespace {

const QString Debut = QStringLiteral("debut ");
const QString Fin = QStringLiteral("Fin ");

// Une description s'affiche telle quelle dans un menu : "&" n'y marque pas de raccourci.
QString libelle(const QString &prefixe, const QString &description)
{
    QString d = description;
    d.replace(QLatin1Char('&'), QLatin1String("&&"));
    return prefixe + d;
}

// Écrit les lignes stockées (déjà brouillées, un octet par caractère) avec CR LF.
bool ecrireLignesStockees(const QString &chemin, const QStringList &lignes, QString *erreur)
{
    QByteArray tout;
    for (const QString &l : lignes)
        tout += l.toLatin1() + "\r\n";
    return Textes::EcrireOctets(chemin, tout, erreur);
}

}

// ---- Journal ----

void Journal::Ajouter(const QString &description, const QStringList &lignes)
{
    etapes.append({description, lignes});
}

QString Journal::DerniereDescription() const
{
    return etapes.isEmpty() ? QString() : etapes.last().Description;
}

EtapeAnnulation Journal::Retirer()
{
    return etapes.isEmpty() ? EtapeAnnulation() : etapes.takeLast();
}

QStringList Journal::Texte() const
{
    QStringList r;
    for (const EtapeAnnulation &e : etapes) {
        r << Debut + e.Description;
        r << e.Lignes;
        r << Fin + e.Description;
    }
    return r;
}

// ---- Commandes ----

Annulation::Annulation(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre)
{
    // Les bulles des boutons restent celles de la barre quand les libellés changent.
    f.Defaire1->setToolTip(QStringLiteral("Défaire"));
    f.Refaire1->setToolTip(QStringLiteral("Récupérer"));
    f.Defaire1->setEnabled(false);
    f.Refaire1->setEnabled(false);
    connect(f.Defaire1, &QAction::triggered, this, &Annulation::Defaire1Click);
    connect(f.Refaire1, &QAction::triggered, this, &Annulation::Refaire1Click);
}

void Annulation::Enregistrer(const QString &description, const QStringList &lignes)
{
    f.Defaire1->setEnabled(true);
    f.Refaire1->setEnabled(false);
    Refaire.Vider();
    Defaire.Ajouter(description, lignes);
    f.Defaire1->setText(libelle(QStringLiteral("Annuler "), description));
}

bool Annulation::restaurer(const EtapeAnnulation &e, const QString &fichier)
{
    QString erreur;
    const QString chemin = Repertoire::Fichier(fichier);
    if (!ecrireLignesStockees(chemin, e.Lignes, &erreur)) {
        Messages::Erreur(&f, QStringLiteral("Impossible d'écrire le fichier de travail « %1 » :\n%2").arg(chemin, erreur));
        return false;
    }
    // Le mot de passe n'est pas une étape : celui du modèle courant est gardé.
    const QString motDePasse = f.Document->MotDePasse;
    f.Souris->Reinitialiser();
    if (f.Document->DefaireFichier(chemin, &erreur) != Chargement::Reussi) {
        Messages::Erreur(&f, erreur);
        return false;
    }
    f.Document->MotDePasse = motDePasse;
    f.Document->Modifie = true;
    f.Start->setEnabled(!f.Document->StartPresent);
    return true;
}

void Annulation::Defaire1Click()
{
    if (Defaire.EstVide())
        return;
    // Une étiquette en cours d'édition est d'abord validée : elle devient l'étape annulée.
    f.Souris->TerminerEdition();
    const QStringList courant = f.Document->PreparerFichier();
    const EtapeAnnulation e = Defaire.Retirer();
    Refaire.Ajouter(e.Description, courant);
    if (!restaurer(e, QStringLiteral("Defaire.tmp"))) {
        // Rien n'a changé dans le modèle : les journaux reviennent à leur état.
        Refaire.Retirer();
        Defaire.Ajouter(e.Description, e.Lignes);
        return;
    }
    f.Refaire1->setText(libelle(QStringLiteral("Rétablir "), e.Description));
    f.Refaire1->setEnabled(true);
    if (Defaire.EstVide()) {
        f.Defaire1->setEnabled(false);
        f.Defaire1->setText(QStringLiteral("Defaire"));
    } else {
        f.Defaire1->setText(libelle(QStringLiteral("Annuler "), Defaire.DerniereDescription()));
    }
}

void Annulation::Refaire1Click()
{
    if (Refaire.EstVide())
        return;
    f.Souris->TerminerEdition();
    const QStringList courant = f.Document->PreparerFichier();
    const EtapeAnnulation e = Refaire.Retirer();
    Defaire.Ajouter(e.Description, courant);
    if (!restaurer(e, QStringLiteral("Refaire.tmp"))) {
        Defaire.Retirer();
        Refaire.Ajouter(e.Description, e.Lignes);
        return;
    }
    f.Defaire1->setText(libelle(QStringLiteral("Annuler "), e.Description));
    f.Defaire1->setEnabled(true);
    if (Refaire.EstVide()) {
        f.Refaire1->setEnabled(false);
        f.Refaire1->setText(QStringLiteral("Refaire"));
    } else {
        f.Refaire1->setText(libelle(QStringLiteral("Rétablir "), Refaire.DerniereDescription()));
    }
}

void TForm1::MemoriserEtape(const QString &description)
{
    Historique->Enregistrer(description, Document->PreparerFichier());
}
