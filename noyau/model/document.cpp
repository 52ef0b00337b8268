#include "model/document.h"
#include "graph/nombres.h"
#include "model/aleatoire.h"
#include "model/bloc_copie.h"
#include "model/edition_etat.h"
#include "model/graphe_contenu.h"
#include "model/report_parametres.h"
#include "model/regles_edition.h"

#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace {
CanevasModele sansFenetre;
}

DocumentModele::DocumentModele(CanevasModele *c, QObject *parent)
    : QObject(parent), canevas(c ? c : &sansFenetre), fenetre(c != nullptr), graphe(canevas->CreerGraphe())
{
    graphe->RayonBoucle = 20;
    graphe->TypeFleche = 3;
    // Les boucles se placent d'après la boîte de leur état.
    graphe->InterieurEtat = [this](int e) {
        const BoiteEtat *b = Etat(e);
        return b && e <= n ? b->Interieur() : QRect();
    };
}

DocumentModele::~DocumentModele()
{
    vider();
}

BoiteEtat *DocumentModele::creerEtat()
{
    BoiteEtat *e = canevas->CreerBoite();
    e->CouleurFond = graphe->CouleurFond;
    e->DefautRemplissage = false;
    e->DefautStylo = false;
    e->CouleurStylo = couleurStyloEtat;
    e->CouleurRemplissage = couleurFondEtat;
    e->CouleurSurligne = couleurSurligne;
    e->EpaisseurSurligne = epaisseurSurligne;
    return e;
}

BoiteEtat *DocumentModele::boite(const BoiteEtat *b) const
{
    const int k = IndiceBoite(b);
    return k >= 0 ? etats[k] : nullptr;
}

int DocumentModele::RechercherIndice(const QString &nom, bool symbole) const
{
    if (symbole)
        return parametres.RechercherSymbole(nom);
    int trouve = -1;
    for (int k = startPresent ? 0 : 1; k <= n; ++k)
        if (etats[k] && etats[k]->Nom == nom)
            trouve = k;
    return trouve;
}

void DocumentModele::redessinerArcsEtat(const BoiteEtat *etat)
{
    GrapheContenu::RedessinerArcsEtat(*graphe, IndiceBoite(etat), [this](int e) -> std::optional<QRect> {
        const BoiteEtat *b = Etat(e);
        return b ? std::optional<QRect>(b->Interieur()) : std::nullopt;
    });
}

QStringList DocumentModele::NomsEtats() const
{
    QStringList noms;
    for (int i = 1; i <= n; ++i)
        noms << etats[i]->Nom;
    return noms;
}

int DocumentModele::IndiceBoite(const BoiteEtat *etat) const
{
    // Par identité et non par nom : deux états du même nom ne se confondent pas.
    if (!etat)
        return -1;
    if (startPresent && etats[0] == etat)
        return 0;
    for (int i = 1; i <= n; ++i)
        if (etats[i] == etat)
            return i;
    return -1;
}

void DocumentModele::supprimerEtat(BoiteEtat *etat)
{
    const int k = IndiceBoite(etat);
    if (etatCourant == etat)
        etatCourant = nullptr;
    if (k == 0) {
        startPresent = false;
        etats[0] = nullptr;
        delete etat;
    } else {
        delete etat;
        etatCourant = nullptr;
        if (k >= 1) {
            --n;
            for (int i = k; i <= n; ++i)
                etats[i] = etats[i + 1];
            etats[n + 1] = nullptr;
        }
    }
    if (k >= 0)
        graphe->SuppETAT(k);
    graphe->Actualiser();
}

void DocumentModele::vider()
{
    for (int i = 0; i < 100; ++i) {
        delete etats[i];
        etats[i] = nullptr;
    }
    n = 0;
    startPresent = false;
    etatCourant = nullptr;
    while (graphe->NbArcs > 0)
        graphe->SuppARC(graphe->NbArcs);
    graphe->Redessiner();
}

ContenuModele::Etat DocumentModele::ContenuEtat(const BoiteEtat *b)
{
    ContenuModele::Etat e;
    e.Nom = b->Nom;
    e.Left = b->Left();
    e.Top = b->Top();
    e.Height = b->Height();
    e.Width = b->Width();
    for (int p = 1; p <= b->NbSymboles && p < BoiteEtat::Taille; ++p)
        e.Paires.append({b->Generation[p][1], b->Generation[p][2]});
    return e;
}

void DocumentModele::RemplirPaires(BoiteEtat *b, const ContenuModele::Etat &e)
{
    // Les lectures ont déjà refusé plus de paires que la boîte n'en porte.
    b->NbSymboles = int(qMin<qsizetype>(e.Paires.size(), BoiteEtat::CapacitePaires));
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
        c.Etats.append(ContenuEtat(etats[k]));
    c.Arcs = GrapheContenu::Arcs(*graphe);
    return c;
}

QStringList DocumentModele::LignesModele() const
{
    return FichierModele::Ecrire(Contenu());
}

// Les paramètres et la vérification lisent le contenu, comme hmmcalc lit celui d'un fichier :
// un seul calcul pour les deux.
static_assert(FichierModele::CapacitePaires == BoiteEtat::CapacitePaires &&
              FichierModele::CapaciteArcs == GrapheHmm::CapaciteArcs);

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
        if (!identification || !identification(c.MotDePasse)) {
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
    vider();
    motDePasseModele = c.MotDePasse;
    startPresent = c.Start;
    n = c.N();
    dernier = c.Dernier;
    int k = c.Start ? 0 : 1;
    for (const auto &ce : c.Etats) {
        BoiteEtat *b = creerEtat();
        b->DefinirNom(ce.Nom);
        b->DefinirBornes(QRect(ce.Left, ce.Top, ce.Width, ce.Height));
        RemplirPaires(b, ce);
        etats[k++] = b;
    }
    GrapheContenu::PoserArcs(*graphe, c.Arcs);
}

void DocumentModele::PoserContenu(const ContenuModele &c)
{
    poser(c);
    graphe->Redessiner();
    emit modeleCharge();
}

void DocumentModele::installer(const ContenuModele &c)
{
    poser(c);
    for (int k = startPresent ? 0 : 1; k <= n; ++k)
        etats[k]->Actualiser();
    graphe->Actualiser();
    // Dans une fenêtre, les boîtes suivent la règle de taille de l'écran avant toute vue ; sans
    // fenêtre (hmmcalc), le modèle reste tel qu'il a été lu.
    if (fenetre)
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
bool DocumentModele::operation(const QString &description, F &&changement)
{
    // Une opération qui ne change rien ne range rien ; un changement qui lève reste annulable.
    const ContenuModele avant = Contenu();
    auto conclure = [&] {
        if (Contenu() == avant)
            return false;
        ranger(description, avant);
        terminer(description);
        return true;
    };
    try {
        changement();
    } catch (...) {
        conclure();
        throw;
    }
    return conclure();
}

QString DocumentModele::nomEtat(int k) const
{
    const BoiteEtat *e = Etat(k);
    return e ? e->Nom : QString();
}

BoiteEtat *DocumentModele::placerNouvelle(const QString &nom, const ContenuModele::Etat *paires, const QRect &bornes,
                                          bool tailleMinimale)
{
    BoiteEtat *b = creerEtat();
    if (paires)
        RemplirPaires(b, *paires);
    b->DefinirNom(nom);
    if (tailleMinimale)
        ReglesEdition::Placer(b, bornes);
    else
        b->DefinirBornes(bornes);
    if (nom == NomStart && !startPresent) {
        startPresent = true;
        etats[0] = b;
    } else {
        etats[++n] = b;
    }
    return b;
}

BoiteEtat *DocumentModele::NouvelEtat(bool start, QPoint centre, const QRect *bande)
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
    BoiteEtat *b = placerNouvelle(nom, nullptr, r, true);
    const QString description = QStringLiteral("la création de l'état: ") + nom;
    ranger(description, avant);
    terminer(description);
    return b;
}

BoiteEtat *DocumentModele::AjouterEtat(const ContenuModele::Etat &e, bool tailleMinimale)
{
    if (e.Nom == NomStart ? startPresent : !PeutAjouterEtat())
        return nullptr;
    BoiteEtat *b = nullptr;
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
            BoiteEtat *b = creerEtat();
            RemplirPaires(b, e);
            b->DefinirNom(BlocCopie::NomColle(e.Nom, NomsEtats(), &dernier));
            ReglesEdition::Placer(b, QRect(e.Left + decalage, e.Top + decalage, e.Width, e.Height));
            this->etats[++n] = b;
        }
    });
}

void DocumentModele::SupprimerEtats(const QList<const BoiteEtat *> &choisies)
{
    int s = 0;
    for (int i = startPresent ? 0 : 1; i <= n; ++i)
        if (etats[i] && choisies.contains(etats[i]))
            ++s;
    if (s == 0)
        return;
    operation(QStringLiteral("la suppression de(s) ") + QString::number(s) + QStringLiteral(" etat(s)"), [&] {
        for (int i = n; i >= (startPresent ? 0 : 1); --i) {
            BoiteEtat *b = etats[i];
            if (!b || !choisies.contains(b))
                continue;
            // Un fichier peut porter [dernier]=-2147483648 : pas de débordement en décomptant.
            if (i == n && dernier > std::numeric_limits<int>::min())
                --dernier;
            supprimerEtat(b);
        }
    });
}

void DocumentModele::DeplacerEtat(const BoiteEtat *boiteVisee, QPoint position)
{
    BoiteEtat *b = boite(boiteVisee);
    if (!b)
        return;
    operation(QStringLiteral("le déplacement de l'état: ") + b->Nom, [&] {
        b->DefinirBornes(QRect(position, b->Bornes().size()));
        redessinerArcsEtat(b);
    });
}

void DocumentModele::RedimensionnerEtat(const BoiteEtat *boiteVisee, const QRect &bornes)
{
    BoiteEtat *b = boite(boiteVisee);
    if (!b)
        return;
    operation(QStringLiteral("le redimentionnement de l'état: ") + b->Nom, [&] {
        ReglesEdition::Placer(b, bornes);
        redessinerArcsEtat(b);
    });
}

void DocumentModele::AjusterEtat(const BoiteEtat *boiteVisee)
{
    BoiteEtat *b = boite(boiteVisee);
    if (!b)
        return;
    operation(QStringLiteral("le redimentionnement de l'état: ") + b->Nom, [&] {
        // Largeur et hauteur 0 : la règle de taille minimale les relève au plus petit
        // que permettent le nom et les paires.
        ReglesEdition::Reappliquer(b);
        b->DefinirBornes(QRect(b->Bornes().topLeft(), QSize(0, 0)));
        b->Redessiner();
        redessinerArcsEtat(b);
    });
}

int DocumentModele::AjouterArc(int s, int t)
{
    const BoiteEtat *a = Etat(s), *b = Etat(t);
    if (!a || !b || !graphe->PeutAjouterArc())
        return -1;
    const QString description = s == t ? QStringLiteral("la création d'arc boucle de l'etat: ") + a->Nom
                                       : QStringLiteral("la création de l'arc: (") + a->Nom + QLatin1Char(',') + b->Nom +
                                             QLatin1Char(')');
    int i = -1;
    operation(description, [&] {
        const QRect r = a->Interieur(), q = b->Interieur();
        i = graphe->DessinerARC(r.x(), r.y(), r.width(), r.height(), q.x(), q.y(), q.width(), q.height(), -1, s, t);
    });
    return i;
}

void DocumentModele::SupprimerArc(int a)
{
    if (a < 1 || a > graphe->NbArcs)
        return;
    const BoiteEtat *source = Etat(graphe->ARC[a][1]);
    const QString description = QStringLiteral("la suppression de l'arc (") + nomEtat(graphe->ARC[a][1]) +
                                QLatin1Char(',') + nomEtat(graphe->ARC[a][2]) + QLatin1Char(')');
    operation(description, [&] {
        graphe->SuppARC(a);
        if (source)
            redessinerArcsEtat(source);
        graphe->Redessiner();
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
    if (a < 1 || a > graphe->NbArcs)
        return;
    operation(descriptionEtiquette(nomEtat(graphe->ARC[a][1]), nomEtat(graphe->ARC[a][2])), [&] {
        graphe->Etiquette[a] = texte;
        graphe->Redessiner();
    });
}

void DocumentModele::EcrireEtiquette(int a, const QString &texte)
{
    if (a >= 1 && a <= graphe->NbArcs)
        graphe->Etiquette[a] = texte;
    estModifie = true;
}

void DocumentModele::ValiderEtiquette(int a, const QString &ancienne)
{
    if (a < 1 || a > graphe->NbArcs)
        return;
    // L'étape garde le modèle d'avant l'édition : l'ancienne étiquette le temps de l'instantané.
    const QString nouvelle = graphe->Etiquette[a];
    if (nouvelle == ancienne)
        return;
    graphe->Etiquette[a] = ancienne;
    const ContenuModele avant = Contenu();
    graphe->Etiquette[a] = nouvelle;
    const QString description = descriptionEtiquette(nomEtat(graphe->ARC[a][1]), nomEtat(graphe->ARC[a][2]));
    ranger(description, avant);
    // Un arc mis à 0 disparaît tout de suite, sans attendre le prochain calcul.
    if (bool ok = false; Nombres::VersExtended(nouvelle, &ok) == 0 && ok)
        oterArcsNuls();
    graphe->Redessiner();
    terminer(description);
}

QList<int> DocumentModele::arcsSortants(int source) const
{
    QList<int> arcs;
    for (int i = 1; i <= graphe->NbArcs; ++i)
        if (graphe->ARC[i][1] == source)
            arcs << i;
    return arcs;
}

void DocumentModele::ecrireArcs(const QList<int> &arcs, const QStringList &textes)
{
    for (qsizetype x = 0; x < arcs.size() && x < textes.size(); ++x)
        graphe->Etiquette[arcs[x]] = textes[x];
    // Un arc mis à 0 disparaît, comme à la main.
    oterArcsNuls();
    graphe->Redessiner();
}

void DocumentModele::oterArcsNuls()
{
    try {
        graphe->Actualiser();
    } catch (const EConversion &) {
        // Une autre étiquette encore "??" : l'arc partira au prochain calcul.
    }
}

bool DocumentModele::CompleterArc(int a)
{
    if (a < 1 || a > graphe->NbArcs)
        return false;
    const QList<int> arcs = arcsSortants(graphe->ARC[a][1]);
    QStringList textes;
    for (int i : arcs)
        textes << graphe->Etiquette[i];
    const QString reste = EditionEtat::Completer(textes, int(arcs.indexOf(a)));
    if (reste.isEmpty())
        return false;
    return operation(descriptionEtiquette(nomEtat(graphe->ARC[a][1]), nomEtat(graphe->ARC[a][2])),
                     [&] { ecrireArcs({a}, {reste}); });
}

bool DocumentModele::NormaliserArcs(int source)
{
    const QList<int> arcs = arcsSortants(source);
    QStringList textes;
    for (int i : arcs)
        textes << graphe->Etiquette[i];
    const QStringList normes = EditionEtat::Normaliser(textes);
    if (arcs.isEmpty() || normes == textes)
        return false;
    return operation(QStringLiteral("la normalisation des arcs de l'état: ") + nomEtat(source),
                     [&] { ecrireArcs(arcs, normes); });
}

void DocumentModele::ModifierEtat(const BoiteEtat *visee, const QString &nom, const QList<QPair<QString, QString>> &paires)
{
    BoiteEtat *e = boite(visee);
    if (!e)
        return;
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

    const int ancien = std::clamp(e->NbSymboles, 0, BoiteEtat::Taille - 1);
    for (int r = 1; r <= ancien; ++r) {
        e->Generation[r][1].clear();
        e->Generation[r][2].clear();
    }
    for (int r = 0; r < lignes && r + 1 < BoiteEtat::Taille; ++r) {
        e->Generation[r + 1][1] = paires[r].first;
        e->Generation[r + 1][2] = paires[r].second;
    }
    e->NbSymboles = std::min(lignes, BoiteEtat::CapacitePaires);
    try {
        e->Actualiser();
    } catch (const EConversion &) {
        // Impossible après le nettoyage du tableau : chaque probabilité y est un nombre.
    }
    // La taille est réappliquée : la règle de taille minimale suit le nouveau contenu.
    ReglesEdition::Placer(e, e->Bornes());
    e->Redessiner();
    redessinerArcsEtat(e);
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
    for (int i = 1; i <= graphe->NbArcs && i <= c.Arcs.size(); ++i)
        graphe->Etiquette[i] = c.Arcs[i - 1].Etiquette;
    qsizetype x = 0;
    for (int k = startPresent ? 0 : 1; k <= n && x < c.Etats.size(); ++k, ++x) {
        RemplirPaires(etats[k], c.Etats[x]);
        etats[k]->Actualiser();
    }
    graphe->Actualiser();
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
        BoiteEtat *b = etats[k];
        if (!b)
            continue;
        const QSize avant = b->Bornes().size();
        ReglesEdition::Reappliquer(b);
        if (b->Bornes().size() != avant)
            redessinerArcsEtat(b);
    }
}
