// TForm19 : options d'affichage.
#include "editor/options_fenetre.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/repertoire.h"
#include "skin/messages.h"

#include <QApplication>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>

namespace {

struct CouleurNommee {
    const char *nom;
    TCouleur valeur;
};

// Couleurs standard puis étendues, en 0x00BBGGRR.
const CouleurNommee Nommees[] = {
    {"Noir", 0x000000},        {"Marron", 0x000080},     {"Vert", 0x008000},      {"Olive", 0x008080},
    {"Bleu marine", 0x800000}, {"Violet", 0x800080},     {"Sarcelle", 0x808000},  {"Gris", 0x808080},
    {"Argent", 0xC0C0C0},      {"Rouge", 0x0000FF},      {"Vert citron", 0x00FF00}, {"Jaune", 0x00FFFF},
    {"Bleu", 0xFF0000},        {"Fuchsia", 0xFF00FF},    {"Cyan", 0xFFFF00},      {"Blanc", 0xFFFFFF},
    {"Vert monnaie", 0xC0DCC0}, {"Bleu ciel", 0xF0CAA6}, {"Crème", 0xF0FBFF},     {"Gris moyen", 0xA4A0A0},
};

struct CouleurSysteme {
    const char *nom;
    QPalette::ColorRole role;
};

// Couleurs du système : résolues en valeur RVB au moment du choix.
const CouleurSysteme Systeme[] = {
    {"Fond des boutons", QPalette::Button},    {"Texte des boutons", QPalette::ButtonText},
    {"Fond des fenêtres", QPalette::Window},   {"Texte des fenêtres", QPalette::WindowText},
    {"Zone de saisie", QPalette::Base},        {"Texte de saisie", QPalette::Text},
    {"Sélection", QPalette::Highlight},        {"Texte sélectionné", QPalette::HighlightedText},
    {"Info-bulle", QPalette::ToolTipBase},     {"Texte d'info-bulle", QPalette::ToolTipText},
    {"Ombre", QPalette::Dark},                 {"Lumière", QPalette::Light},
};

constexpr int RoleCouleur = Qt::UserRole;

QIcon Pastille(TCouleur c)
{
    QPixmap pm(16, 12);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(Qt::black);
    if (c == Couleurs::Aucune) {
        // Pas de couleur : case blanche barrée.
        p.drawRect(0, 0, 15, 11);
        p.setPen(QPen(Qt::red, 1));
        p.drawLine(1, 10, 14, 1);
    } else {
        p.setBrush(VersQColor(c));
        p.drawRect(0, 0, 15, 11);
    }
    return QIcon(pm);
}

QLabel *Etiquette(const QString &texte, QWidget *parent, int x, int y, bool gras = false)
{
    auto *l = new QLabel(texte, parent);
    if (gras) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    l->adjustSize();
    l->move(x, y);
    return l;
}

}

// ---- Liste de couleurs ----

std::function<QColor(const QColor &, QWidget *)> ListeCouleurs::DemanderCouleur = [](const QColor &initiale,
                                                                                    QWidget *parent) {
    return QColorDialog::getColor(initiale, parent, QStringLiteral("Couleur personnalisée"));
};

ListeCouleurs::ListeCouleurs(TCouleur d, bool avecAucune, QWidget *parent)
    : QComboBox(parent), defaut(d)
{
    setMaxVisibleItems(16);
    addItem(Pastille(Couleurs::Noir), QStringLiteral("Personnalisée ..."), qulonglong(Couleurs::Noir));
    addItem(Pastille(d), QStringLiteral("Par défaut"), qulonglong(d));
    if (avecAucune)
        addItem(Pastille(Couleurs::Aucune), QStringLiteral("Aucune"), qulonglong(Couleurs::Aucune));
    for (const auto &c : Nommees)
        addItem(Pastille(c.valeur), QString::fromUtf8(c.nom), qulonglong(c.valeur));
    const QPalette pal = QApplication::palette();
    for (const auto &c : Systeme) {
        const TCouleur v = DepuisQColor(pal.color(QPalette::Active, c.role)) & 0xFFFFFF;
        addItem(Pastille(v), QString::fromUtf8(c.nom), qulonglong(v));
    }
    interne = true;
    DefinirCouleur(d);
    interne = false;

    connect(this, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (interne || i == IndexPersonnalisee || i < 0)
            return;
        precedent = i;
        emit couleurChangee();
    });
    connect(this, &QComboBox::activated, this, &ListeCouleurs::choisir);
}

TCouleur ListeCouleurs::Couleur() const
{
    const int i = currentIndex();
    return i < 0 ? defaut : TCouleur(itemData(i, RoleCouleur).toULongLong());
}

void ListeCouleurs::DefinirCouleur(TCouleur c)
{
    const bool avant = interne;
    interne = true;
    int trouve = -1;
    // Une couleur nommée d'abord, puis "Par défaut", puis la personnalisée.
    for (int i = 2; i < count() && trouve < 0; ++i)
        if (TCouleur(itemData(i, RoleCouleur).toULongLong()) == c)
            trouve = i;
    if (trouve < 0 && c == defaut)
        trouve = 1;
    if (trouve < 0) {
        personnaliser(c);
        trouve = IndexPersonnalisee;
    }
    setCurrentIndex(trouve);
    precedent = trouve;
    interne = avant;
}

void ListeCouleurs::personnaliser(TCouleur c)
{
    setItemData(IndexPersonnalisee, qulonglong(c), RoleCouleur);
    setItemIcon(IndexPersonnalisee, Pastille(c));
}

void ListeCouleurs::choisir(int index)
{
    if (index != IndexPersonnalisee)
        return;
    const QColor initiale = VersQColor(TCouleur(itemData(IndexPersonnalisee, RoleCouleur).toULongLong()));
    const QColor choisie = DemanderCouleur ? DemanderCouleur(initiale, this) : QColor();
    interne = true;
    if (choisie.isValid()) {
        personnaliser(DepuisQColor(choisie) & 0xFFFFFF);
        setCurrentIndex(IndexPersonnalisee);
        precedent = IndexPersonnalisee;
        interne = false;
        emit couleurChangee();
        return;
    }
    // Annulé : l'entrée précédente revient, rien ne change.
    setCurrentIndex(precedent);
    interne = false;
}

// ---- Fenêtre ----

OptionsAffichage TForm19::DefautsFenetre()
{
    OptionsAffichage o;
    o.Fleche = 3;
    return o;
}

QPixmap TForm19::ImageFleche(int style, QSize taille)
{
    QPixmap pm(taille);
    pm.fill(Qt::white);
    THmm g;
    g.resize(taille);
    g.TypeFleche = style;
    g.ModeTrace = 1;
    QPainter p(&pm);
    p.setPen(QPen(VersQColor(Couleurs::Bleu), 1));
    const int y = taille.height() / 2;
    g.Fleche(p, 6, y, taille.width() - 8, y, Couleurs::Bleu, -1);
    return pm;
}

TForm19::TForm19(std::function<void()> a, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      appliquer(std::move(a))
{
    setObjectName(QStringLiteral("Form19"));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(554, 415);

    const OptionsAffichage d = DefautsFenetre();
    auto *groupe = new QGroupBox(QStringLiteral(" Options d'affichage  "), this);
    groupe->setGeometry(8, 6, 538, 346);

    // États.
    Etiquette(QStringLiteral("Etats :"), groupe, 16, 26, true);
    Etiquette(QStringLiteral("Couleur du fond :"), groupe, 32, 56);
    ColorBoxFondEtat = new ListeCouleurs(d.FondEtats, false, groupe);
    ColorBoxFondEtat->setGeometry(190, 52, 170, 24);
    Etiquette(QStringLiteral("Couleur du stylo :"), groupe, 32, 88);
    ColorBoxStyloEtat = new ListeCouleurs(d.StyloEtats, true, groupe);
    ColorBoxStyloEtat->setGeometry(190, 84, 170, 24);

    auto *apercuEtat = new QGroupBox(QStringLiteral(" Aperçu : "), groupe);
    apercuEtat->setGeometry(384, 20, 138, 100);
    ApercuEtat = new TEtat2(apercuEtat);
    ApercuEtat->setObjectName(QStringLiteral("ApercuEtat"));
    ApercuEtat->setGeometry(12, 26, 114, 64);
    ApercuEtat->Nom = QStringLiteral("Etat_1");
    ApercuEtat->NbSymboles = 1;
    ApercuEtat->Generation[1][1] = QStringLiteral("a");
    ApercuEtat->Generation[1][2] = QStringLiteral("0,5");

    // Arcs.
    Etiquette(QStringLiteral("Arcs :"), groupe, 16, 136, true);
    Etiquette(QStringLiteral("Couleur du stylo :"), groupe, 32, 166);
    ColorBoxStyloArc = new ListeCouleurs(d.StyloArcs, false, groupe);
    ColorBoxStyloArc->setGeometry(190, 162, 170, 24);
    Etiquette(QStringLiteral("Couleur du probabilité :"), groupe, 32, 198);
    ColorBoxProb = new ListeCouleurs(d.Prob, true, groupe);
    ColorBoxProb->setGeometry(190, 194, 170, 24);
    Etiquette(QStringLiteral("Arrière plan :"), groupe, 32, 230);
    ColorBoxFond = new ListeCouleurs(d.FondArcs, false, groupe);
    ColorBoxFond->setGeometry(190, 226, 170, 24);
    Etiquette(QStringLiteral("Style du flêche :"), groupe, 32, 262);
    ComboBoxFleche = new QComboBox(groupe);
    ComboBoxFleche->setGeometry(190, 258, 170, 26);
    ComboBoxFleche->setIconSize(QSize(120, 18));
    for (int style = 1; style <= 3; ++style) {
        ComboBoxFleche->addItem(QIcon(ImageFleche(style, QSize(120, 18))), QString());
        ComboBoxFleche->setItemData(style - 1, QStringLiteral("Style %1").arg(style), Qt::ToolTipRole);
        ComboBoxFleche->setItemData(style - 1, QStringLiteral("Flèche de style %1").arg(style),
                                    Qt::AccessibleTextRole);
    }

    Etiquette(QStringLiteral("Chiffres affichés sur le graphe :"), groupe, 32, 298);
    ComboBoxChiffres = new QComboBox(groupe);
    ComboBoxChiffres->setObjectName(QStringLiteral("ComboBoxChiffres"));
    ComboBoxChiffres->setGeometry(250, 294, 110, 26);
    for (int c = 2; c <= 6; ++c)
        ComboBoxChiffres->addItem(QString::number(c), c);
    ComboBoxChiffres->addItem(QStringLiteral("tous"), 0);
    ComboBoxChiffres->setToolTip(QStringLiteral("Chiffres significatifs des probabilités écrites sur le graphe ; "
                                                "le modèle garde toujours la valeur entière."));

    auto *apercuArcs = new QGroupBox(QStringLiteral(" Aperçu : "), groupe);
    apercuArcs->setGeometry(384, 136, 144, 118);
    ApercuArcs = new THmm(apercuArcs);
    ApercuArcs->setObjectName(QStringLiteral("ApercuArcs"));
    ApercuArcs->setGeometry(12, 26, 120, 82);

    BitBtnOk = new QPushButton(QStringLiteral("Ok"), this);
    BitBtnAppliquer = new QPushButton(QStringLiteral("  Appliquer"), this);
    BitBtnAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
    BitBtnOk->setGeometry(222, 362, 100, 28);
    BitBtnAppliquer->setGeometry(334, 362, 100, 28);
    BitBtnAnnuler->setGeometry(446, 362, 100, 28);
    BitBtnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtnAppliquer->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnAnnuler->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtnOk->setDefault(true);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 396, 554, 19);

    lire();

    for (ListeCouleurs *l : {ColorBoxFondEtat, ColorBoxStyloEtat})
        connect(l, &ListeCouleurs::couleurChangee, this, &TForm19::etatsChanges);
    for (ListeCouleurs *l : {ColorBoxStyloArc, ColorBoxProb, ColorBoxFond})
        connect(l, &ListeCouleurs::couleurChangee, this, &TForm19::arcsChanges);
    connect(ComboBoxFleche, &QComboBox::currentIndexChanged, this, &TForm19::arcsChanges);
    connect(ComboBoxChiffres, &QComboBox::currentIndexChanged, this, &TForm19::arcsChanges);
    connect(BitBtnOk, &QPushButton::clicked, this, &TForm19::BitBtnOkClick);
    connect(BitBtnAppliquer, &QPushButton::clicked, this, &TForm19::BitBtnAppliquerClick);
    // "Annuler" et Échap : fermer sans rien enregistrer.
    connect(BitBtnAnnuler, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm19::lire()
{
    const OptionsAffichage o = Options::Lire(DefautsFenetre());
    ColorBoxFondEtat->DefinirCouleur(o.FondEtats);
    ColorBoxStyloEtat->DefinirCouleur(o.StyloEtats);
    ColorBoxStyloArc->DefinirCouleur(o.StyloArcs);
    ColorBoxProb->DefinirCouleur(o.Prob);
    ColorBoxFond->DefinirCouleur(o.FondArcs);
    // Tout style autre que 1 et 2 se dessine comme le 3 : la liste le montre ainsi.
    {
        const QSignalBlocker b(ComboBoxFleche);
        ComboBoxFleche->setCurrentIndex(o.Fleche == 1 || o.Fleche == 2 ? o.Fleche - 1 : 2);
    }
    {
        const QSignalBlocker b(ComboBoxChiffres);
        ComboBoxChiffres->setCurrentIndex(std::max(0, ComboBoxChiffres->findData(o.Chiffres)));
    }

    // L'aperçu du graphe : un arc droit entre deux états différents, étiqueté "0,5".
    THmm *g = ApercuArcs;
    const int w = g->width(), h = g->height();
    g->NbArcs = 1;
    g->ARC[1][1] = 1;
    g->ARC[1][2] = 2;
    g->PointsARC[1][1] = QPoint(5, h - 10);
    g->PointsARC[1][2] = QPoint(w - 10, 5);
    g->PosEtiquette[1] = QPoint(w / 2, h / 2);
    g->Etiquette[1] = QStringLiteral("0,5");
    g->ArcSelectionne[1] = false;

    arcsChanges();
    etatsChanges();
    BitBtnAppliquer->setEnabled(false);
}

void TForm19::etatsChanges()
{
    TEtat2 *e = ApercuEtat;
    e->DefautRemplissage = e->DefautStylo = false;
    e->CouleurRemplissage = ColorBoxFondEtat->Couleur();
    e->CouleurStylo = ColorBoxStyloEtat->Couleur();
    e->CouleurFond = DepuisQColor(palette().color(QPalette::Window)) & 0xFFFFFF;
    e->update();
    BitBtnAppliquer->setEnabled(true);
}

void TForm19::arcsChanges()
{
    BitBtnAppliquer->setEnabled(true);
    THmm *g = ApercuArcs;
    g->DefautFond = g->DefautArc = g->DefautProb = false;
    g->CouleurArc = ColorBoxStyloArc->Couleur();
    g->CouleurProb = ColorBoxProb->Couleur();
    g->CouleurFond = ColorBoxFond->Couleur();
    g->TypeFleche = ComboBoxFleche->currentIndex() + 1;
    g->update();
}

OptionsAffichage TForm19::Reglages() const
{
    OptionsAffichage o;
    o.FondArcs = ColorBoxFond->Couleur();
    o.StyloArcs = ColorBoxStyloArc->Couleur();
    o.Prob = ColorBoxProb->Couleur();
    o.Fleche = ComboBoxFleche->currentIndex() + 1;
    o.FondEtats = ColorBoxFondEtat->Couleur();
    o.StyloEtats = ColorBoxStyloEtat->Couleur();
    o.Chiffres = ComboBoxChiffres->currentData().toInt();
    return o;
}

bool TForm19::Enregistrer()
{
    if (!Options::Ecrire(Reglages())) {
        Messages::Erreur(this, QStringLiteral("Impossible d'enregistrer les options dans le fichier \"%1\".")
                                   .arg(Repertoire::Fichier(QStringLiteral("Options.ini"))));
        return false;
    }
    if (appliquer)
        appliquer();
    return true;
}

void TForm19::BitBtnAppliquerClick()
{
    if (Enregistrer())
        BitBtnAppliquer->setEnabled(false);
}

void TForm19::BitBtnOkClick()
{
    // Une écriture impossible garde la fenêtre ouverte : les choix ne sont pas perdus.
    if (Enregistrer())
        accept();
}
