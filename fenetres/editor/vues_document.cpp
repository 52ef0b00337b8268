// TForm1 : les vues qui suivent le document, et les résultats que lui rendent les boîtes des
// algorithmes.
#include "algorithms/espace.h"
#include "editor/listes.h"
#include "editor/principale.h"
#include <QStatusBar>
#include "visionneuse/suivi_trace.h"

#include <QAction>
#include <QTreeWidgetItem>

namespace {
// Une description s'affiche telle quelle dans un menu : "&" n'y marque pas de raccourci.
QString libelle(const QString &prefixe, const QString &description)
{
    QString d = description;
    d.replace(QLatin1Char('&'), QLatin1String("&&"));
    return prefixe + d;
}

// Légende d'une commande d'annulation : la dernière étape du journal, sinon le nom de la
// commande (gardé tel quel, raccourci compris, tant qu'aucune étape n'a été montrée).
void legende(QAction *a, const Journal &j, const QString &prefixe, const QString &repos)
{
    a->setEnabled(!j.EstVide());
    if (!j.EstVide())
        a->setText(libelle(prefixe, j.DerniereDescription()));
    else if (a->text().startsWith(prefixe))
        a->setText(repos);
}
}

void TForm1::BrancherVues()
{
    connect(Document, &DocumentModele::modifie, this, &TForm1::ActualiserVues);
    connect(Document, &DocumentModele::etatChange, this, &TForm1::ActualiserVues);
    connect(Document, &DocumentModele::modeleCharge, this, &TForm1::ActualiserVues);
}

void TForm1::ActualiserVues()
{
    MettreAJourTitre();
    legende(Defaire1, Document->Annulations(), QStringLiteral("Annuler "), QStringLiteral("Defaire"));
    legende(Refaire1, Document->Retablissements(), QStringLiteral("Rétablir "), QStringLiteral("Refaire"));
    Start->setEnabled(!Document->StartPresent());
    MettreAJourMenusMotDePasse();
}

// ---- Résultats des calculs ----

ContexteCalcul TForm1::Contexte()
{
    return {this, Document, &Espace, this};
}

void TForm1::AjouterProbabilite(const QString &sequence, const QString &probabilite, const QString &methode)
{
    Listes->AjouterProbabilite(sequence, probabilite, methode);
}

void TForm1::AfficherViterbi(const QStringList &etats, const QString &probabilite)
{
    Listes->ViderViterbi();
    Listes->AjouterViterbi(etats, probabilite);
}

void TForm1::AfficherChemins(const TableDesChemins &t, long long meilleure)
{
    // La meilleure ligne est celle que l'énumération a retenue.
    Listes->AfficherChemins(t, meilleure);
}

void TForm1::AfficherDuree(const QString &texte)
{
    statusBar()->showMessage(texte);
}

void TForm1::TraceDisponible(const QString &nom)
{
    // La trace lira cette copie : un calcul non traçable fait ensuite ne la fausse pas.
    if (Traces)
        Traces->Memoriser();
    Rapport1->setText(QStringLiteral("Voir la trace d'exécution (") + nom + QLatin1Char(')'));
    Rapport1->setEnabled(true); // et ToolButton23, qui porte la même action
}

ObservateurEntrainement *TForm1::ObservateurCalcul()
{
    return ObservateurTrace;
}
