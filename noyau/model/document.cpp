#include "model/document.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/aleatoire.h"
#include "model/bloc_copie.h"
#include "model/graphe_contenu.h"
#include "model/report_parametres.h"
#include "model/regles_edition.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>
#include <algorithm>
#include <limits>

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
    // Les boucles se placent d'après la boîte de leur état.
    Hmm1->InterieurEtat = [this](int e) {
        const TEtat2 *b = e >= 0 && e <= n && e < 100 ? Etats[e] : nullptr;
        return b ? b->Interieur() : QRect();
    };
    Surface->installEventFilter(this);
}

bool DocumentModele::eventFilter(QObject *objet, QEvent *evenement)
{
    // Hmm1 couvre toujours tout le panneau.
    if (objet == Surface && evenement->type() == QEvent::Resize)
        Hmm1->setGeometry(0, 0, Surface->width(), Surface->height());
    return false; // l'événement suit son cours
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
        return parametres.RechercherSymbole(nom);
    int trouve = -1;
    for (int k = startPresent ? 0 : 1; k <= n; ++k)
        if (Etats[k] && Etats[k]->Nom == nom)
            trouve = k;
    return trouve;
}

void DocumentModele::RedessinerArcsEtat(TEtat2 *etat)
{
    GrapheContenu::RedessinerArcsEtat(*Hmm1, IndiceBoite(etat), [this](int e) -> std::optional<QRect> {
        const TEtat2 *b = e >= 0 && e < 100 ? Etats[e] : nullptr;
        return b ? std::optional<QRect>(b->Interieur()) : std::nullopt;
    });
}

QStringList DocumentModele::NomsEtats() const
{
    QStringList noms;
    for (int i = 1; i <= n; ++i)
        noms << Etats[i]->Nom;
    return noms;
}

int DocumentModele::IndiceBoite(const TEtat2 *etat) const
{
    // Par identité et non par nom : deux états du même nom ne se confondent pas.
    if (startPresent && Etats[0] == etat)
        return 0;
    for (int i = 1; i <= n; ++i)
        if (Etats[i] == etat)
            return i;
    return -1;
}

void DocumentModele::SupprimerEtat(TEtat2 *etat)
{
    const int k = IndiceBoite(etat);
    if (etatCourant == etat)
        etatCourant = nullptr;
    if (k == 0) {
        startPresent = false;
        Etats[0] = nullptr;
        delete etat;
    } else {
        delete etat;
        etatCourant = nullptr;
        if (k >= 1) {
            --n;
            for (int i = k; i <= n; ++i)
                Etats[i] = Etats[i + 1];
            Etats[n + 1] = nullptr;
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
    n = 0;
    startPresent = false;
    etatCourant = nullptr;
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

ContenuModele DocumentModele::Contenu() const
{
    ContenuModele c;
    c.MotDePasse = motDePasseModele;
    c.Start = startPresent;
    c.Dernier = dernier;
    for (int k = startPresent ? 0 : 1; k <= n; ++k)
        c.Etats.append(ContenuEtat(Etats[k]));
    c.Arcs = GrapheContenu::Arcs(*Hmm1);
    return c;
}

QStringList DocumentModele::LignesModele() const
{
    return FichierModele::Ecrire(Contenu());
}

// Les paramètres et la vérification lisent le contenu, comme hmmcalc lit celui d'un fichier :
// un seul calcul pour les deux.
static_assert(FichierModele::CapacitePaires == TEtat2::CapacitePaires && FichierModele::CapaciteArcs == THmm::CapaciteArcs);

void DocumentModele::CalculerParametres()
{
    ::CalculerParametres(Contenu(), parametres);
}

bool DocumentModele::VerifierModele(QStringList &rapport) const
{
    return VerifierContenu(Contenu(), rapport);
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
    if (!FichierModele::LireContenu(lignes, nomPourErreur, &c, erreur))
        return Chargement::Erreur;
    if (demanderMotDePasse && c.MotDePasse != QLatin1String("Vide")) {
        if (!Identifier || !Identifier(c.MotDePasse)) {
            estModifie = false;
            nomFichier.clear();
            return Chargement::MotDePasseRefuse;
        }
    }
    installer(c);
    return Chargement::Reussi;
}

void DocumentModele::poser(const ContenuModele &c)
{
    Vider();
    motDePasseModele = c.MotDePasse;
    startPresent = c.Start;
    n = c.N();
    dernier = c.Dernier;
    int k = c.Start ? 0 : 1;
    for (const auto &ce : c.Etats) {
        TEtat2 *b = CreerEtat();
        b->DefinirNom(ce.Nom);
        b->setGeometry(ce.Left, ce.Top, ce.Width, ce.Height);
        RemplirPaires(b, ce);
        b->setParent(Surface);
        b->show();
        Etats[k++] = b;
    }
    GrapheContenu::PoserArcs(*Hmm1, c.Arcs);
}

void DocumentModele::PoserContenu(const ContenuModele &c)
{
    poser(c);
    Hmm1->update();
    emit modeleCharge();
}

void DocumentModele::installer(const ContenuModele &c)
{
    poser(c);
    for (int k = startPresent ? 0 : 1; k <= n; ++k)
        Etats[k]->Actualiser();
    Hmm1->Actualiser();
    // Dans une fenêtre, les boîtes suivent la règle de taille de l'écran avant toute vue ; sans
    // fenêtre (hmmcalc), le modèle reste tel qu'il a été lu.
    if (!surfacePropre)
        appliquerTaillesMinimales();
    emit modeleCharge();
}

Chargement DocumentModele::DessinerFichier(const QString &chemin, QString *erreur)
{
    QStringList lignes;
    QString e;
    if (!FichierModele::LireFichier(chemin, &lignes, &e)) {
        if (erreur)
            *erreur = FichierModele::MessageOuverture(chemin, e);
        return Chargement::Erreur;
    }
    return ChargerLignes(lignes, true, QFileInfo(chemin).fileName(), erreur);
}

// ---- Opérations ----

namespace {
const QString NomStart = QStringLiteral("START");
}

void DocumentModele::ranger(const QString &description, const ContenuModele &avant)
{
    journalRefaire.Vider();
    journalDefaire.Ajouter(description, avant);
}

void DocumentModele::terminer(const QString &description)
{
    estModifie = true;
    emit modifie(description);
}

template <class F>
void DocumentModele::operation(const QString &description, F &&changement)
{
    // Une opération qui ne change rien ne range rien ; un changement qui lève reste annulable.
    const ContenuModele avant = Contenu();
    auto conclure = [&] {
        if (Contenu() == avant)
            return;
        ranger(description, avant);
        terminer(description);
    };
    try {
        changement();
    } catch (...) {
        conclure();
        throw;
    }
    conclure();
}

QString DocumentModele::nomEtat(int k) const
{
    const TEtat2 *e = k >= 0 && k < 100 ? Etats[k] : nullptr;
    return e ? e->Nom : QString();
}

TEtat2 *DocumentModele::placerNouvelle(const QString &nom, const ContenuModele::Etat *paires, const QRect &bornes,
                                       bool tailleMinimale)
{
    TEtat2 *b = CreerEtat();
    if (paires)
        RemplirPaires(b, *paires);
    b->DefinirNom(nom);
    b->setParent(Surface);
    if (tailleMinimale)
        ReglesEdition::Placer(b, bornes);
    else
        b->setGeometry(bornes);
    b->show();
    if (nom == NomStart && !startPresent) {
        startPresent = true;
        Etats[0] = b;
    } else {
        Etats[++n] = b;
    }
    return b;
}

TEtat2 *DocumentModele::NouvelEtat(bool start, QPoint centre, const QRect *bande)
{
    if (start ? startPresent : !PeutAjouterEtat())
        return nullptr;
    const ContenuModele avant = Contenu();
    const QString nom = start ? NomStart : ReglesEdition::NomAutomatique(NomsEtats(), &dernier);
    QRect r;
    if (bande) {
        r = *bande;
    } else {
        QString vide[1][3];
        const QSize t = ReglesEdition::TailleMinimale(nom, 0, vide);
        r = QRect(centre.x() - t.width() / 2, centre.y() - t.height() / 2, t.width(), t.height());
    }
    TEtat2 *b = placerNouvelle(nom, nullptr, r, true);
    const QString description = QStringLiteral("la création de l'état: ") + nom;
    ranger(description, avant);
    terminer(description);
    return b;
}

TEtat2 *DocumentModele::AjouterEtat(const ContenuModele::Etat &e, bool tailleMinimale)
{
    if (e.Nom == NomStart ? startPresent : !PeutAjouterEtat())
        return nullptr;
    TEtat2 *b = nullptr;
    operation(QStringLiteral("la création de l'état: ") + e.Nom, [&] {
        b = placerNouvelle(e.Nom, &e, QRect(e.Left, e.Top, e.Width, e.Height), tailleMinimale);
    });
    return b;
}

void DocumentModele::Coller(const QList<ContenuModele::Etat> &etats, int decalage)
{
    if (etats.isEmpty() || n + etats.size() > CapaciteEtats)
        return;
    operation(QStringLiteral("le collage de(s) ") + QString::number(etats.size()) + QStringLiteral(" etat(s)"), [&] {
        for (const ContenuModele::Etat &e : etats) {
            TEtat2 *b = CreerEtat();
            RemplirPaires(b, e);
            b->DefinirNom(BlocCopie::NomColle(e.Nom, NomsEtats(), &dernier));
            b->setParent(Surface);
            ReglesEdition::Placer(b, QRect(e.Left + decalage, e.Top + decalage, e.Width, e.Height));
            b->show();
            Etats[++n] = b;
        }
    });
}

void DocumentModele::SupprimerEtats(const QList<TEtat2 *> &choisies)
{
    int s = 0;
    for (int i = startPresent ? 0 : 1; i <= n; ++i)
        if (Etats[i] && choisies.contains(Etats[i]))
            ++s;
    if (s == 0)
        return;
    operation(QStringLiteral("la suppression de(s) ") + QString::number(s) + QStringLiteral(" etat(s)"), [&] {
        for (int i = n; i >= (startPresent ? 0 : 1); --i) {
            TEtat2 *b = Etats[i];
            if (!b || !choisies.contains(b))
                continue;
            // Un fichier peut porter [dernier]=-2147483648 : pas de débordement en décomptant.
            if (i == n && dernier > std::numeric_limits<int>::min())
                --dernier;
            SupprimerEtat(b);
        }
    });
}

void DocumentModele::DeplacerEtat(TEtat2 *b, QPoint position)
{
    operation(QStringLiteral("le déplacement de l'état: ") + b->Nom, [&] {
        b->move(position);
        RedessinerArcsEtat(b);
    });
}

void DocumentModele::RedimensionnerEtat(TEtat2 *b, const QRect &bornes)
{
    operation(QStringLiteral("le redimentionnement de l'état: ") + b->Nom, [&] {
        ReglesEdition::Placer(b, bornes);
        RedessinerArcsEtat(b);
    });
}

void DocumentModele::AjusterEtat(TEtat2 *b)
{
    operation(QStringLiteral("le redimentionnement de l'état: ") + b->Nom, [&] {
        // Largeur et hauteur 0 : la règle de taille minimale les relève au plus petit
        // que permettent le nom et les paires.
        ReglesEdition::Reappliquer(b);
        b->resize(0, 0);
        b->update();
        RedessinerArcsEtat(b);
    });
}

int DocumentModele::AjouterArc(int s, int t)
{
    TEtat2 *a = Etats[s], *b = Etats[t];
    if (!a || !b || !Hmm1->PeutAjouterArc())
        return -1;
    const QString description = s == t ? QStringLiteral("la création d'arc boucle de l'etat: ") + a->Nom
                                       : QStringLiteral("la création de l'arc: (") + a->Nom + QLatin1Char(',') + b->Nom +
                                             QLatin1Char(')');
    int i = -1;
    operation(description, [&] {
        const QRect r = a->Interieur(), q = b->Interieur();
        i = Hmm1->DessinerARC(r.x(), r.y(), r.width(), r.height(), q.x(), q.y(), q.width(), q.height(), -1, s, t);
    });
    return i;
}

void DocumentModele::SupprimerArc(int a)
{
    if (a < 1 || a > Hmm1->NbArcs)
        return;
    TEtat2 *source = Etats[Hmm1->ARC[a][1]];
    const QString description = QStringLiteral("la suppression de l'arc (") + nomEtat(Hmm1->ARC[a][1]) +
                                QLatin1Char(',') + nomEtat(Hmm1->ARC[a][2]) + QLatin1Char(')');
    operation(description, [&] {
        Hmm1->SuppARC(a);
        if (source)
            RedessinerArcsEtat(source);
        Hmm1->update();
    });
}

namespace {
QString descriptionEtiquette(const QString &ns, const QString &nd)
{
    return ns == nd ? QStringLiteral("la modification de la boucle de l'état: ") + ns
                    : QStringLiteral("la modification de l'arc (") + ns + QLatin1Char(',') + nd + QLatin1Char(')');
}
}

void DocumentModele::ChangerEtiquette(int a, const QString &texte)
{
    if (a < 1 || a > Hmm1->NbArcs)
        return;
    operation(descriptionEtiquette(nomEtat(Hmm1->ARC[a][1]), nomEtat(Hmm1->ARC[a][2])), [&] {
        Hmm1->Etiquette[a] = texte;
        Hmm1->update();
    });
}

void DocumentModele::EcrireEtiquette(int a, const QString &texte)
{
    if (a >= 1 && a <= Hmm1->NbArcs)
        Hmm1->Etiquette[a] = texte;
    estModifie = true;
}

void DocumentModele::ValiderEtiquette(int a, const QString &ancienne)
{
    if (a < 1 || a > Hmm1->NbArcs)
        return;
    // L'étape garde le modèle d'avant l'édition : l'ancienne étiquette le temps de l'instantané.
    const QString nouvelle = Hmm1->Etiquette[a];
    if (nouvelle == ancienne)
        return;
    Hmm1->Etiquette[a] = ancienne;
    const ContenuModele avant = Contenu();
    Hmm1->Etiquette[a] = nouvelle;
    const QString description = descriptionEtiquette(nomEtat(Hmm1->ARC[a][1]), nomEtat(Hmm1->ARC[a][2]));
    ranger(description, avant);
    // Un arc mis à 0 disparaît tout de suite, sans attendre le prochain calcul.
    if (bool ok = false; Nombres::VersExtended(nouvelle, &ok) == 0 && ok) {
        try {
            Hmm1->Actualiser();
        } catch (const EConversion &) {
            // Une autre étiquette encore "??" : l'arc partira au prochain calcul.
        }
    }
    Hmm1->update();
    terminer(description);
}

void DocumentModele::ModifierEtat(TEtat2 *e, const QString &nom, const QList<QPair<QString, QString>> &paires)
{
    const QString guillemet = QStringLiteral(" \" ");
    // Les étapes ne sont rangées qu'à la fin, et seulement si le modèle a changé.
    const ContenuModele avant = Contenu();
    QList<EtapeAnnulation> etapes;
    auto etape = [&](const QString &description) { etapes.append({description, Contenu()}); };
    if (nom != e->Nom) {
        etape(QStringLiteral("le changement du nom de l'état:") + guillemet + e->Nom + QStringLiteral(" en") + guillemet +
              nom + QStringLiteral(" \""));
        e->DefinirNom(nom);
    }
    const int lignes = int(paires.size());
    int nonNuls = 0;
    for (const auto &p : paires) {
        bool ok = false;
        if (Nombres::VersExtended(p.second, &ok) != 0 && ok)
            ++nonNuls;
    }
    if (nonNuls != e->NbSymboles)
        etape(QStringLiteral("la modification du nombre de symboles de l'état:") + guillemet + e->Nom + QStringLiteral(" \""));
    bool different = lignes != e->NbSymboles;
    for (int r = 0; r < lignes && r + 1 <= e->NbSymboles && !different; ++r)
        different = paires[r].first != e->Generation[r + 1][1] || paires[r].second != e->Generation[r + 1][2];
    if (different)
        etape(QStringLiteral("la modification des symboles de l'état") + guillemet + e->Nom + QStringLiteral(" \""));

    const int ancien = std::clamp(e->NbSymboles, 0, TEtat2::Taille - 1);
    for (int r = 1; r <= ancien; ++r) {
        e->Generation[r][1].clear();
        e->Generation[r][2].clear();
    }
    for (int r = 0; r < lignes && r + 1 < TEtat2::Taille; ++r) {
        e->Generation[r + 1][1] = paires[r].first;
        e->Generation[r + 1][2] = paires[r].second;
    }
    e->NbSymboles = std::min(lignes, TEtat2::CapacitePaires);
    try {
        e->Actualiser();
    } catch (const EConversion &) {
        // Impossible après le nettoyage du tableau : chaque probabilité y est un nombre.
    }
    // La taille est réappliquée : la règle de taille minimale suit le nouveau contenu.
    ReglesEdition::Placer(e, e->geometry());
    e->update();
    RedessinerArcsEtat(e);
    if (Contenu() == avant)
        return;
    for (const EtapeAnnulation &x : etapes)
        ranger(x.Description, x.Modele);
    terminer(etapes.isEmpty() ? QString() : etapes.last().Description);
}

bool DocumentModele::Remplacer(const QStringList &lignes, const QString &description, QString *erreur)
{
    ContenuModele c;
    QString e;
    if (!FichierModele::Lire(lignes, &c, &e)) {
        if (erreur)
            *erreur = e;
        return false;
    }
    // Le modèle importé n'a plus de fichier, même quand il ne diffère pas du modèle courant.
    nomFichier.clear();
    operation(description, [&] { installer(c); });
    if (!estModifie) {
        estModifie = true;
        emit etatChange();
    }
    return true;
}

void DocumentModele::ReporterParametres(const ParametresModele &lambda, const QString &description)
{
    parametres = lambda;
    ContenuModele c = Contenu();
    ReporterValeurs(c, parametres);
    operation(description, [&] { ecrireValeurs(c); });
}

void DocumentModele::ecrireValeurs(const ContenuModele &c)
{
    // Contenu() suit l'ordre des arcs du graphe et du registre des états ; les probabilités
    // nulles disparaissent ensuite, comme à la main.
    for (int i = 1; i <= Hmm1->NbArcs && i <= c.Arcs.size(); ++i)
        Hmm1->Etiquette[i] = c.Arcs[i - 1].Etiquette;
    qsizetype x = 0;
    for (int k = startPresent ? 0 : 1; k <= n && x < c.Etats.size(); ++k, ++x) {
        RemplirPaires(Etats[k], c.Etats[x]);
        Etats[k]->Actualiser();
    }
    Hmm1->Actualiser();
}

void DocumentModele::RemplirAuHasard(quint32 graine)
{
    const ContenuModele c = Aleatoire::Remplir(Contenu(), graine);
    operation(QStringLiteral("le tirage des probabilités au hasard"), [&] { ecrireValeurs(c); });
}

bool DocumentModele::restaurer(Journal &depuis, Journal &vers)
{
    if (depuis.EstVide())
        return false;
    const EtapeAnnulation e = depuis.Retirer();
    vers.Ajouter(e.Description, Contenu());
    // Le mot de passe n'est pas une étape : celui du modèle courant est gardé.
    const QString motDePasse = motDePasseModele;
    installer(e.Modele);
    motDePasseModele = motDePasse;
    terminer(e.Description);
    return true;
}

bool DocumentModele::Defaire()
{
    return restaurer(journalDefaire, journalRefaire);
}

bool DocumentModele::Refaire()
{
    return restaurer(journalRefaire, journalDefaire);
}

// ---- Sans étape ----

Chargement DocumentModele::Ouvrir(const QString &chemin, QString *erreur)
{
    nomFichier = chemin;
    const Chargement r = DessinerFichier(chemin, erreur);
    switch (r) {
    case Chargement::Reussi:
        estModifie = false;
        break;
    case Chargement::MotDePasseRefuse:
        // ChargerLignes a déjà vidé NomFichier et Modifie.
        break;
    case Chargement::Erreur:
        nomFichier.clear();
        estModifie = false;
        break;
    }
    emit etatChange();
    return r;
}

bool DocumentModele::Enregistrer(const QString &chemin, QString *erreur)
{
    if (!EnregistrerFichier(chemin, erreur))
        return false;
    nomFichier = chemin;
    estModifie = false;
    emit etatChange();
    return true;
}

void DocumentModele::ChangerMotDePasse(const QString &motDePasse)
{
    motDePasseModele = motDePasse;
    estModifie = true;
    emit etatChange();
}

void DocumentModele::Reinitialiser()
{
    startPresent = false;
    n = 0;
    etatCourant = nullptr;
    dernier = 0;
    estModifie = false;
    motDePasseModele = QStringLiteral("Vide");
    emit etatChange();
}

void DocumentModele::appliquerTaillesMinimales()
{
    for (int k = startPresent ? 0 : 1; k <= n; ++k) {
        TEtat2 *b = Etats[k];
        if (!b)
            continue;
        const QSize avant = b->size();
        ReglesEdition::Reappliquer(b);
        if (b->size() != avant)
            RedessinerArcsEtat(b);
    }
}
