// Les trois listes de résultats : hauteurs, animation des en-têtes, lignes, surlignage.
#include "editor/listes.h"
#include "editor/canevas.h"
#include "algorithms/decodage.h"
#include "editor/listes_outils.h"
#include "editor/modele_chemins.h"
#include "editor/principale.h"
#include "graph/etat2.h"
#include "graph/hmm.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

namespace {
constexpr int RoleIcone = Qt::UserRole;
}

void PanneauListes::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (Redimensionne)
        Redimensionne();
}

QIcon ListesResultats::Icone(int indice)
{
    if (indice == IconeMeilleur) {
        // Étoile jaune du meilleur chemin, dessinée ici : les thèmes n'en ont pas toujours une en couleur.
        static const QIcon etoile = [] {
            QPixmap p(16, 16);
            p.fill(Qt::transparent);
            QPainter g(&p);
            g.setRenderHint(QPainter::Antialiasing);
            QPolygonF branches;
            for (int k = 0; k < 10; ++k) {
                const double r = (k % 2 == 0) ? 7.5 : 3.2;
                const double a = -M_PI / 2 + k * M_PI / 5;
                branches << QPointF(8 + r * std::cos(a), 8.5 + r * std::sin(a));
            }
            g.setPen(QPen(QColor(160, 110, 0), 1));
            g.setBrush(QColor(255, 200, 0));
            g.drawPolygon(branches);
            return QIcon(p);
        }();
        return etoile;
    }
    // Une seule icône partagée par toutes les lignes : une icône du thème par ligne coûterait
    // des dizaines de kilo-octets chacune.
    static const QIcon fleche =
        QIcon::fromTheme(QStringLiteral("go-next"), QApplication::style()->standardIcon(QStyle::SP_ArrowRight));
    return fleche;
}

ListesResultats::ListesResultats(TForm1 &fenetre, QWidget *parent)
    : QObject(&fenetre), f(fenetre), parties(Parties(fenetre))
{
    PanneauGauche = new PanneauListes(parent);
    PanneauGauche->setObjectName(QStringLiteral("PanneauGauche"));
    PanneauGauche->setMinimumWidth(1);
    EnteteChemins = creerEntete(QStringLiteral("Les chemins"), QStringLiteral("EnteteChemins"));
    ListView1 = new QTreeView(PanneauGauche);
    Chemins = new ModeleChemins(ListView1);
    Chemins->DefinirIcones(IconeLigne, Icone(IconeLigne), IconeMeilleur, Icone(IconeMeilleur));
    ListView1->setModel(Chemins);
    configurer(ListView1, QStringLiteral("ListView1"));
    // Tri au clic sur un en-tête : croissant, décroissant, puis retour à l'ordre de
    // l'énumération ; rien n'est trié avant le premier clic.
    ListView1->header()->setSortIndicatorClearable(true);
    ListView1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ListView1->setSortingEnabled(true);
    EnteteViterbi = creerEntete(QStringLiteral("Le chemin de Viterbi"), QStringLiteral("EnteteViterbi"));
    ListView3 = creerListe({QStringLiteral("Chemin"), QStringLiteral("Probabilité")}, QStringLiteral("ListView3"));
    EnteteProbabilites = creerEntete(QStringLiteral("Les probabilités"), QStringLiteral("EnteteProbabilites"));
    ListView2 = creerListe({QStringLiteral("Séquence"), QStringLiteral("Probabilité"), QStringLiteral("Méthode")},
                           QStringLiteral("ListView2"));
    // Les aides techniques lisent le titre de chaque liste.
    ListView1->setAccessibleName(EnteteChemins->text());
    ListView3->setAccessibleName(EnteteViterbi->text());
    ListView2->setAccessibleName(EnteteProbabilites->text());
    ListView1->setColumnWidth(0, LargeurChemin);
    ListView3->setColumnWidth(0, LargeurChemin);
    ListView2->setColumnWidth(0, LargeurSequence);
    ListView2->setColumnWidth(1, LargeurProbabilite);

    minuteur = new QTimer(this);
    minuteur->setInterval(Periode);
    connect(minuteur, &QTimer::timeout, this, &ListesResultats::Pas);

    connect(EnteteChemins, &QPushButton::clicked, this, &ListesResultats::EntetesCheminsClick);
    connect(EnteteViterbi, &QPushButton::clicked, this, &ListesResultats::EnteteViterbiClick);
    connect(EnteteProbabilites, &QPushButton::clicked, this, &ListesResultats::EnteteProbabilitesClick);
    // Un clic sur une ligne (une ligne étant choisie) surligne son chemin.
    connect(ListView3, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item)
            Surligner(EtatsDe(item));
    });
    connect(ListView1, &QTreeView::clicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            Surligner(Chemins->Etats(i.row()));
    });

    PanneauGauche->Redimensionne = [this] { panneauRedimensionne(); };
    // Un chemin surligné ne vaut que pour le modèle du calcul : tout changement l'efface.
    connect(parties.Document, &DocumentModele::modifie, this, [this] { EffacerSurlignage(); });
    connect(parties.Document, &DocumentModele::modeleCharge, this, [this] { EffacerSurlignage(); });
}

QPushButton *ListesResultats::creerEntete(const QString &texte, const QString &nom)
{
    auto *b = new QPushButton(texte, PanneauGauche);
    b->setObjectName(nom);
    b->setFlat(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 6px; font-weight: bold;"));
    return b;
}

QTreeWidget *ListesResultats::creerListe(const QStringList &colonnes, const QString &nom)
{
    auto *l = new QTreeWidget(PanneauGauche);
    l->setColumnCount(int(colonnes.size()));
    l->setHeaderLabels(colonnes);
    configurer(l, nom);
    return l;
}

void ListesResultats::configurer(QTreeView *l, const QString &nom)
{
    l->setObjectName(nom);
    l->setRootIsDecorated(false);
    l->setItemsExpandable(false);
    l->setUniformRowHeights(true);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setSelectionBehavior(QAbstractItemView::SelectRows);
    l->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->setAllColumnsShowFocus(true);
    // Lignes de grille : un trait sous chaque cellule et entre les colonnes.
    l->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                    "border-bottom: 1px solid #d0d0d0; }"
                                    "QTreeView::item:selected { background: palette(highlight); "
                                    "color: palette(highlighted-text); }"));
    l->header()->setStretchLastSection(true);
    OutilsListe::Equiper(l);
}

// ---- Lignes ----

QString ListesResultats::TexteChemin(const QStringList &etats)
{
    return TexteCheminEtats(etats);
}

int ListesResultats::IconeDe(const QTreeWidgetItem *item)
{
    return item ? item->data(0, RoleIcone).toInt() : -1;
}

int ListesResultats::IconeDe(const QModelIndex &index)
{
    return index.isValid() ? index.siblingAtColumn(0).data(RoleIcone).toInt() : -1;
}

void ListesResultats::MarquerMeilleur(QTreeWidgetItem *item)
{
    item->setIcon(0, Icone(IconeMeilleur));
    item->setData(0, RoleIcone, IconeMeilleur);
}

QStringList ListesResultats::EtatsDe(const QTreeWidgetItem *item)
{
    // Le texte "Start - E1 - E2" suffit : un nom d'état ne contient pas d'espace.
    return item ? item->text(0).split(QStringLiteral(" - ")).mid(1) : QStringList();
}

void ListesResultats::AfficherChemins(const TableDesChemins &table, long long meilleure)
{
    ListView1->header()->setSortIndicator(-1, Qt::AscendingOrder);
    Chemins->Remplir(table, meilleure);
    OutilsListe::AjusterColonnes(ListView1);
}

QTreeWidgetItem *ListesResultats::AjouterViterbi(const QStringList &etats, const QString &probabilite)
{
    auto *i = new QTreeWidgetItem(ListView3, {TexteChemin(etats), probabilite});
    MarquerMeilleur(i);
    OutilsListe::AjusterColonnes(ListView3);
    // La liste ne montre qu'une ligne : la dernière ajoutée (a posteriori après Viterbi).
    ListView3->scrollToItem(i);
    return i;
}

QTreeWidgetItem *ListesResultats::AjouterProbabilite(const QString &sequence, const QString &probabilite,
                                                     const QString &methode)
{
    auto *i = new QTreeWidgetItem(ListView2, {sequence, probabilite, methode});
    i->setIcon(0, Icone(IconeLigne));
    i->setData(0, RoleIcone, IconeLigne);
    OutilsListe::AjusterColonnes(ListView2);
    ListView2->scrollToItem(i);
    return i;
}

void ListesResultats::ViderChemins()
{
    // Les chemins montrés disparaissent (ou une autre séquence arrive) : leur surlignage aussi.
    EffacerSurlignage();
    Chemins->Vider();
    ListView1->setColumnWidth(0, LargeurChemin);
}

void ListesResultats::ViderViterbi()
{
    EffacerSurlignage();
    ListView3->clear();
    ListView3->setColumnWidth(0, LargeurChemin);
}

void ListesResultats::ViderProbabilites()
{
    // Colonnes remises à leur largeur de départ : une longue séquence effacée ne les garde pas.
    ListView2->clear();
    ListView2->setColumnWidth(0, LargeurSequence);
    ListView2->setColumnWidth(1, LargeurProbabilite);
}

void ListesResultats::ViderTout()
{
    ViderChemins();
    ViderViterbi();
    ViderProbabilites();
}

// ---- Surlignage ----

void ListesResultats::EffacerSurlignage()
{
    entrees = false;
    if (etatEntrees) {
        etatEntrees->Surligne = false;
        etatEntrees->update();
    }
    etatEntrees = nullptr;
    THmm *h = VueGraphe(*parties.Document);
    bool change = false;
    for (bool &s : h->ArcSurligne) {
        change = change || s;
        s = false;
    }
    for (QColor &c : h->CouleurArcSurligne)
        c = QColor();
    if (change)
        h->update();
}

void ListesResultats::Surligner(const QStringList &etats)
{
    DocumentModele &d = *parties.Document;
    EffacerSurlignage();
    // START vaut l'indice 0 ; un nom disparu depuis le calcul (-1) interrompt la suite des arcs.
    int precedent = d.StartPresent() ? 0 : -1;
    for (const QString &nom : etats) {
        const int i = d.RechercherIndice(nom, false);
        if (precedent >= 0 && i >= 0) {
            const int a = VueGraphe(d)->ExisteARC(precedent, i);
            if (a > 0 && a < THmm::Taille)
                VueGraphe(d)->ArcSurligne[a] = true;
        }
        precedent = i;
    }
    VueGraphe(d)->update();
    for (int i = 0; i <= d.N(); ++i)
        if (VueEtat(d, i))
            VueEtat(d, i)->update();
}

void ListesResultats::SurlignerEntrees(const QList<QPair<QString, QString>> &arcs, const QList<QColor> &couleurs,
                                       const QString &etat)
{
    if (etat.isEmpty()) {
        // Un chemin surligné depuis reste en place.
        if (entrees)
            EffacerSurlignage();
        return;
    }
    DocumentModele &d = *parties.Document;
    EffacerSurlignage();
    // Chaque arc dans la couleur de son terme, comme dans le treillis et la formule.
    for (qsizetype x = 0; x < arcs.size(); ++x) {
        const auto &[source, destination] = arcs[x];
        const int i = d.RechercherIndice(source, false), k = d.RechercherIndice(destination, false);
        const int a = i >= 0 && k >= 0 ? VueGraphe(d)->ExisteARC(i, k) : -1;
        if (a > 0 && a < THmm::Taille) {
            VueGraphe(d)->ArcSurligne[a] = true;
            VueGraphe(d)->CouleurArcSurligne[a] = x < couleurs.size() ? couleurs[x] : QColor();
        }
    }
    entrees = true;
    if (const int k = d.RechercherIndice(etat, false); k >= 0 && VueEtat(d, k)) {
        etatEntrees = VueEtat(d, k);
        etatEntrees->Surligne = true;
        etatEntrees->update();
    }
    VueGraphe(d)->update();
}

// ---- Hauteurs et animation ----

int ListesResultats::H() const
{
    return PanneauGauche->height();
}

int ListesResultats::Hauteur(const QTreeView *l) const
{
    if (l == ListView1)
        return h1;
    if (l == ListView3)
        return h3;
    return h2;
}

void ListesResultats::fixer(QTreeView *l, int hauteur)
{
    if (l == ListView1)
        h1 = hauteur;
    else if (l == ListView3)
        h3 = hauteur;
    else
        h2 = hauteur;
    l->setVisible(Ouverte(hauteur) || (l == enCours && !repli));
}

void ListesResultats::disposer()
{
    const int w = PanneauGauche->width();
    int y = 0;
    auto placer = [&](QPushButton *entete, QTreeView *liste, int hauteur) {
        entete->setGeometry(0, y, w, HauteurEntete);
        y += HauteurEntete;
        liste->setGeometry(0, y, w, std::max(hauteur, 1));
        liste->setVisible(Ouverte(hauteur) || liste == enCours);
        y += hauteur;
    };
    placer(EnteteChemins, ListView1, h1);
    placer(EnteteViterbi, ListView3, h3);
    placer(EnteteProbabilites, ListView2, h2);
}

void ListesResultats::panneauRedimensionne()
{
    const int H = this->H();
    const int libre = H - 3 * HauteurEntete - h3;
    if (!dispose) {
        dispose = true;
        h1 = h2 = libre / 2;
    } else if (!Anime()) {
        if (Ouverte(h1) && Ouverte(h2))
            h1 = h2 = libre / 2;
        // Une seule liste ouverte garde toute la place.
        else if (Ouverte(h1))
            h1 = libre - 1;
        else if (Ouverte(h2))
            h2 = libre - 1;
    }
    disposer();
}

bool ListesResultats::Anime() const
{
    return enCours != nullptr;
}

void ListesResultats::animer(QTreeView *liste, int but)
{
    enCours = liste;
    cible = but;
    repli = but <= 1;
    if (!repli) {
        fixer(liste, 1);
        liste->show();
    }
    disposer();
    minuteur->start();
}

void ListesResultats::Pas()
{
    if (!enCours) {
        minuteur->stop();
        return;
    }
    QTreeView *l = enCours;
    int h = Hauteur(l);
    bool fini = false;
    if (repli) {
        h /= 4;
        if (h <= 1) {
            h = 1;
            fini = true;
        }
    } else {
        h *= 4;
        if (h >= cible) {
            h = cible;
            fini = true;
        }
    }
    if (fini) {
        enCours = nullptr;
        minuteur->stop();
    }
    fixer(l, h);
    disposer();
}

void ListesResultats::basculer(QTreeView *liste, QTreeView *autre)
{
    if (Anime())
        return; // une seule liste s'anime à la fois
    const int libre = H() - 3 * HauteurEntete - h3;
    const bool autreOuverte = Ouverte(Hauteur(autre));
    if (Ouverte(Hauteur(liste))) {
        // Repliée : l'autre liste, ouverte, prend toute la place.
        if (autreOuverte)
            fixer(autre, libre - 1);
        animer(liste, 1);
    } else {
        // Dépliée : la place se partage avec l'autre liste quand elle est ouverte.
        if (autreOuverte)
            fixer(autre, libre / 2);
        animer(liste, autreOuverte ? libre / 2 : libre - 1);
    }
}

void ListesResultats::EntetesCheminsClick()
{
    basculer(ListView1, ListView2);
}

void ListesResultats::EnteteProbabilitesClick()
{
    basculer(ListView2, ListView1);
}

void ListesResultats::EnteteViterbiClick()
{
    if (Anime())
        return;
    if (Ouverte(h3)) {
        // La place rendue va à la liste des probabilités, sinon à celle des chemins.
        if (Ouverte(h2))
            fixer(ListView2, h2 + HauteurViterbi);
        else if (Ouverte(h1))
            fixer(ListView1, h1 + HauteurViterbi);
        animer(ListView3, 1);
    } else {
        if (Ouverte(h1) && Ouverte(h2)) {
            const int moitie = (H() - 3 * HauteurEntete - HauteurViterbi) / 2;
            fixer(ListView1, moitie);
            fixer(ListView2, moitie);
        } else if (Ouverte(h1)) {
            fixer(ListView1, h1 - HauteurViterbi);
        } else if (Ouverte(h2)) {
            fixer(ListView2, h2 - HauteurViterbi);
        }
        animer(ListView3, HauteurViterbi);
    }
}
