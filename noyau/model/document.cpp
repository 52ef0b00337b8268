#include "model/document.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/textes.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>

DocumentModele::DocumentModele(QWidget *surface, QObject *parent)
    : QObject(parent), Surface(surface)
{
    if (!Surface) {
        // Sans fenêtre : le document porte son propre panneau, jamais affiché.
        Surface = new QWidget;
        Surface->resize(1000, 700);
        surfacePropre = true;
    }
    Hmm1 = new THmm(Surface);
    Hmm1->setGeometry(0, 0, Surface->width(), Surface->height());
    Hmm1->RayonBoucle = 20;
    Hmm1->TypeFleche = 3;
    Surface->installEventFilter(this);
}

bool DocumentModele::eventFilter(QObject *objet, QEvent *evenement)
{
    // Hmm1 couvre toujours tout le panneau.
    if (objet == Surface && evenement->type() == QEvent::Resize)
        Hmm1->setGeometry(0, 0, Surface->width(), Surface->height());
    return QObject::eventFilter(objet, evenement);
}

DocumentModele::~DocumentModele()
{
    Vider();
    if (surfacePropre)
        delete Surface;
}

TEtat2 *DocumentModele::CreerEtat()
{
    auto *e = new TEtat2(nullptr);
    e->CouleurFond = Hmm1->CouleurFond;
    e->DefautRemplissage = false;
    e->DefautStylo = false;
    e->CouleurStylo = CouleurStyloEtat;
    e->CouleurRemplissage = CouleurFondEtat;
    e->CouleurSurligne = CouleurSurligne;
    e->EpaisseurSurligne = EpaisseurSurligne;
    if (SurCreationEtat)
        SurCreationEtat(e);
    return e;
}

int DocumentModele::RechercherIndice(const QString &nom, bool symbole) const
{
    if (symbole)
        return Parametres.RechercherSymbole(nom);
    int trouve = -1;
    for (int k = StartPresent ? 0 : 1; k <= N; ++k)
        if (Etats[k] && Etats[k]->Nom == nom)
            trouve = k;
    return trouve;
}

void DocumentModele::RedessinerArcsEtat(TEtat2 *etat)
{
    const int k = IndiceBoite(etat);
    for (int i = 1; i <= Hmm1->NbArcs; ++i) {
        if (k < 0 || (Hmm1->ARC[i][1] != k && Hmm1->ARC[i][2] != k))
            continue;
        TEtat2 *s = Etats[Hmm1->ARC[i][1]];
        TEtat2 *d = Etats[Hmm1->ARC[i][2]];
        if (!s || !d)
            continue;
        const QRect a = s->Interieur(), b = d->Interieur();
        Hmm1->DessinerARC(a.x(), a.y(), a.width(), a.height(), b.x(), b.y(), b.width(), b.height(), i, Hmm1->ARC[i][1],
                          Hmm1->ARC[i][2]);
    }
    Hmm1->Actualiser();
}

QStringList DocumentModele::NomsEtats() const
{
    QStringList noms;
    for (int i = 1; i <= N; ++i)
        noms << Etats[i]->Nom;
    return noms;
}

int DocumentModele::IndiceBoite(const TEtat2 *etat) const
{
    // Par identité et non par nom : deux états du même nom ne se confondent pas.
    if (StartPresent && Etats[0] == etat)
        return 0;
    for (int i = 1; i <= N; ++i)
        if (Etats[i] == etat)
            return i;
    return -1;
}

void DocumentModele::SupprimerEtat(TEtat2 *etat)
{
    const int k = IndiceBoite(etat);
    if (EtatCourant == etat)
        EtatCourant = nullptr;
    if (k == 0) {
        StartPresent = false;
        Etats[0] = nullptr;
        delete etat;
    } else {
        delete etat;
        EtatCourant = nullptr;
        if (k >= 1) {
            --N;
            for (int i = k; i <= N; ++i)
                Etats[i] = Etats[i + 1];
            Etats[N + 1] = nullptr;
        }
    }
    if (k >= 0)
        Hmm1->SuppETAT(k);
    Hmm1->Actualiser();
}

void DocumentModele::Vider()
{
    for (int i = 0; i < 100; ++i) {
        delete Etats[i];
        Etats[i] = nullptr;
    }
    N = 0;
    StartPresent = false;
    EtatCourant = nullptr;
    while (Hmm1->NbArcs > 0)
        Hmm1->SuppARC(Hmm1->NbArcs);
    Hmm1->update();
}

ContenuModele::Etat DocumentModele::ContenuEtat(const TEtat2 *b)
{
    ContenuModele::Etat e;
    e.Nom = b->Nom;
    e.Left = b->Left();
    e.Top = b->Top();
    e.Height = b->Height();
    e.Width = b->Width();
    for (int p = 1; p <= b->NbSymboles && p < TEtat2::Taille; ++p)
        e.Paires.append({b->Generation[p][1], b->Generation[p][2]});
    return e;
}

void DocumentModele::RemplirPaires(TEtat2 *b, const ContenuModele::Etat &e)
{
    // Les lectures ont déjà refusé plus de paires que la boîte n'en porte.
    b->NbSymboles = int(qMin<qsizetype>(e.Paires.size(), TEtat2::CapacitePaires));
    for (int p = 0; p < b->NbSymboles; ++p) {
        b->Generation[p + 1][1] = e.Paires[p].first;
        b->Generation[p + 1][2] = e.Paires[p].second;
    }
}

QStringList DocumentModele::LignesModele() const
{
    ContenuModele c;
    c.MotDePasse = MotDePasse;
    c.Start = StartPresent;
    c.Dernier = Dernier;
    for (int k = StartPresent ? 0 : 1; k <= N; ++k)
        c.Etats.append(ContenuEtat(Etats[k]));
    for (int i = 1; i <= Hmm1->NbArcs; ++i) {
        ContenuModele::Arc a;
        a.Debut = Hmm1->PointsARC[i][1];
        a.Fin = Hmm1->PointsARC[i][2];
        a.Etiquette = Hmm1->Etiquette[i];
        a.Centre = Hmm1->CentreCourbe[i];
        a.Rayon = Hmm1->RayonCourbe[i];
        a.Source = Hmm1->ARC[i][1];
        a.Destination = Hmm1->ARC[i][2];
        a.PosEtiquette = Hmm1->PosEtiquette[i];
        c.Arcs.append(a);
    }
    return FichierModele::Ecrire(c);
}

QStringList DocumentModele::PreparerFichier() const
{
    QStringList r;
    for (const QString &l : LignesModele())
        r << QString::fromLatin1(FichierModele::Brouiller(Textes::Encoder(l)));
    return r;
}

bool DocumentModele::EnregistrerFichier(const QString &chemin, QString *erreur)
{
    QString e;
    if (!FichierModele::EcrireFichier(chemin, LignesModele(), &e)) {
        if (erreur)
            *erreur = QStringLiteral("Impossible d'enregistrer le modèle dans « %1 » :\n%2").arg(chemin, e);
        return false;
    }
    return true;
}

Chargement DocumentModele::ChargerLignes(const QStringList &lignes, bool demanderMotDePasse, const QString &nomPourErreur,
                                         QString *erreur)
{
    ContenuModele c;
    QString e;
    if (!FichierModele::Lire(lignes, &c, &e)) {
        if (erreur)
            *erreur = QStringLiteral("Le fichier « %1 » n'est pas un modèle valide :\n%2.").arg(nomPourErreur, e);
        return Chargement::Erreur;
    }
    if (demanderMotDePasse && c.MotDePasse != QLatin1String("Vide")) {
        if (!Identifier || !Identifier(c.MotDePasse)) {
            Modifie = false;
            NomFichier.clear();
            return Chargement::MotDePasseRefuse;
        }
    }
    Vider();
    MotDePasse = c.MotDePasse;
    StartPresent = c.Start;
    N = c.N();
    Dernier = c.Dernier;
    int k = c.Start ? 0 : 1;
    for (const auto &ce : c.Etats) {
        TEtat2 *b = CreerEtat();
        b->Nom = ce.Nom;
        b->setGeometry(ce.Left, ce.Top, ce.Width, ce.Height);
        RemplirPaires(b, ce);
        b->setParent(Surface);
        b->show();
        b->Actualiser();
        Etats[k++] = b;
    }
    Hmm1->NbArcs = int(c.Arcs.size());
    for (int i = 1; i <= Hmm1->NbArcs; ++i) {
        const auto &a = c.Arcs[i - 1];
        Hmm1->PointsARC[i][1] = a.Debut;
        Hmm1->PointsARC[i][2] = a.Fin;
        Hmm1->Etiquette[i] = a.Etiquette;
        Hmm1->CentreCourbe[i] = a.Centre;
        Hmm1->RayonCourbe[i] = a.Rayon;
        Hmm1->ARC[i][1] = a.Source;
        Hmm1->ARC[i][2] = a.Destination;
        Hmm1->PosEtiquette[i] = a.PosEtiquette;
        Hmm1->ArcSelectionne[i] = false;
        Hmm1->EtiquetteVisible[i] = true;
        Hmm1->ArcSurligne[i] = false;
    }
    Hmm1->Actualiser();
    emit modeleCharge();
    return Chargement::Reussi;
}

namespace {
Chargement charger(DocumentModele *d, const QString &chemin, bool motDePasse, QString *erreur)
{
    QStringList lignes;
    QString e;
    const QString nom = QFileInfo(chemin).fileName();
    if (!FichierModele::LireFichier(chemin, &lignes, &e)) {
        if (erreur)
            *erreur = QStringLiteral("Le fichier « %1 » ne peut pas être ouvert :\n%2.").arg(nom, e);
        return Chargement::Erreur;
    }
    return d->ChargerLignes(lignes, motDePasse, nom, erreur);
}
}

Chargement DocumentModele::DessinerFichier(const QString &chemin, QString *erreur)
{
    return charger(this, chemin, true, erreur);
}

Chargement DocumentModele::DefaireFichier(const QString &chemin, QString *erreur)
{
    return charger(this, chemin, false, erreur);
}
