// TForm2 : éditeur d'un état.
#include "dialogs/proprieres.h"
#include "model/edition_etat.h"
#include "dialogs/aide.h"
#include "model/regles_edition.h"
#include "graph/boite.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/fichier.h"
#include "skin/messages.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int ColSymbole = 0, ColProbabilite = 1;

// Délégué du tableau : l'éditeur de cellule reçoit le filtre de touches de la fenêtre.
class Delegue : public QStyledItemDelegate {
public:
    Delegue(QObject *filtre, QObject *parent)
        : QStyledItemDelegate(parent), filtre(filtre)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *w = QStyledItemDelegate::createEditor(parent, option, index);
        if (w) {
            w->setProperty("colonne", index.column());
            w->installEventFilter(filtre);
            Courant = w;
        }
        return w;
    }
    mutable QPointer<QWidget> Courant;

private:
    QObject *filtre;
};

// Frappe dans un champ de probabilité : true quand elle est absorbée (refusée, ou écrite
// autrement : "." ou "," en séparateur de la langue, "e" en "E").
bool saisirNombre(QLineEdit *champ, const QString &texte, QChar c)
{
    const QChar ecrit = ReglesEdition::SaisieNombre(texte, c);
    if (ecrit.isNull())
        return true;
    if (ecrit == c || !champ)
        return false;
    champ->insert(QString(ecrit));
    return true;
}

bool estEntree(const QKeyEvent *k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

// Caractère saisi par une touche (vide pour les touches de déplacement, Ctrl+..., etc.).
QChar caractere(const QKeyEvent *k)
{
    if (k->text().isEmpty() || (k->modifiers() & Qt::ControlModifier) || k->key() == Qt::Key_Backspace)
        return QChar();
    const QChar c = k->text().at(0);
    return c.isPrint() || c == QLatin1Char(' ') ? c : QChar();
}

}

TForm2::TForm2(DocumentModele &d, const BoiteEtat *e, QWidget *parent)
    : QDialog(parent), document(d), etat(e)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edition de l'état --> (") + e->Nom + QLatin1Char(')'));
    // L'index de l'état est fixé à l'ouverture (par l'adresse de la boîte).
    k = d.IndiceBoite(e);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    BoutonAjouter = new QPushButton(QStringLiteral("Ajouter"), this);
    BoutonRetirer = new QPushButton(QStringLiteral("Retirer"), this);
    BoutonCompleter = new QPushButton(QStringLiteral("&Compléter"), this);
    BoutonNormaliser = new QPushButton(QStringLiteral("&Normaliser"), this);
    BoutonOk = new QPushButton(QStringLiteral("Ok"), this);
    BoutonAnnuler = new QPushButton(QStringLiteral("Annuler"), this);
    BoutonAide = new QPushButton(QStringLiteral("&Aide"), this);
    // Entrée est servie par les champs eux-mêmes, jamais par un bouton par défaut.
    for (QPushButton *b : {BoutonAjouter, BoutonRetirer, BoutonCompleter, BoutonNormaliser, BoutonOk, BoutonAnnuler,
                           BoutonAide}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    BoutonAjouter->setToolTip(QStringLiteral("Ajouter le symbole et sa probabilité au tableau"));
    BoutonRetirer->setToolTip(QStringLiteral("Retirer la ligne sélectionnée du tableau"));
    BoutonCompleter->setToolTip(QStringLiteral("Donner à la ligne sélectionnée (ou à la première vide) ce qui manque pour "
                                               "que la somme fasse 1"));
    BoutonNormaliser->setToolTip(QStringLiteral("Diviser chaque probabilité par leur somme"));

    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("  Symbole"), QStringLiteral("  Probabilité")});
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setItemDelegate(new Delegue(this, StringGrid1));
    StringGrid1->installEventFilter(this);
    StringGrid1->setMinimumWidth(230);

    auto *graphique = new QChart;
    graphique->legend()->hide();
    graphique->setBackgroundRoundness(0);
    Series1 = new QPieSeries;
    graphique->addSeries(Series1);
    Chart1 = new QChartView(graphique, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setMinimumSize(300, 280);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);

    auto *champs = new QGridLayout;
    champs->addWidget(new QLabel(QStringLiteral("Nom de l'état :"), this), 0, 0);
    champs->addWidget(Edit1, 0, 1, 1, 2);
    champs->addWidget(new QLabel(QStringLiteral("Symbole :"), this), 1, 0);
    champs->addWidget(Edit2, 1, 1, 1, 2);
    champs->addWidget(new QLabel(QStringLiteral("Probabilité :"), this), 2, 0);
    champs->addWidget(Edit3, 2, 1, 1, 2);
    champs->addWidget(BoutonAjouter, 3, 1);
    champs->addWidget(BoutonRetirer, 3, 2);
    champs->addWidget(StringGrid1, 4, 0, 1, 3);
    champs->addWidget(BoutonCompleter, 5, 1);
    champs->addWidget(BoutonNormaliser, 5, 2);
    auto *haut = new QHBoxLayout;
    haut->addLayout(champs);
    haut->addWidget(Chart1, 1);
    auto *boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(BoutonOk);
    boutons->addWidget(BoutonAnnuler);
    boutons->addWidget(BoutonAide);
    auto *v = new QVBoxLayout(this);
    v->addLayout(haut, 1);
    v->addLayout(boutons);
    v->addWidget(StatusBar1);

    for (QLineEdit *c : {Edit1, Edit2, Edit3})
        c->installEventFilter(this);

    connect(BoutonAjouter, &QPushButton::clicked, this, &TForm2::AjouterClick);
    connect(BoutonCompleter, &QPushButton::clicked, this, &TForm2::CompleterClick);
    connect(BoutonNormaliser, &QPushButton::clicked, this, &TForm2::NormaliserClick);
    connect(BoutonRetirer, &QPushButton::clicked, this, &TForm2::RetirerClick);
    connect(BoutonOk, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(BoutonAnnuler, &QPushButton::clicked, this, &QDialog::close);
    connect(BoutonAide, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("IDH_13")); });
    connect(StringGrid1, &QTableWidget::itemChanged, this, [this] {
        compterLignes();
        bool tous = true;
        for (int r = 0; r < NbLignes; ++r) {
            bool ok = false;
            Nombres::VersExtended(probabilite(r), &ok);
            tous = tous && ok;
        }
        if (tous)
            ConstruireCamembert();
    });
    // Quand le focus quitte le tableau, les probabilités illisibles deviennent "0".
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *avant, QWidget *apres) {
        auto dansTableau = [this](QWidget *w) { return w && (w == StringGrid1 || StringGrid1->isAncestorOf(w)); };
        if (dansTableau(avant) && !dansTableau(apres))
            NettoyerProbabilites();
    });

    // Contenu initial : une ligne par paire, ou une ligne vide.
    Edit1->setText(e->Nom);
    const int n = std::clamp(e->NbSymboles, 0, BoiteEtat::Taille - 1);
    {
        const QSignalBlocker bloque(StringGrid1);
        StringGrid1->setRowCount(std::max(1, n));
        for (int r = 0; r < std::max(1, n); ++r)
            ecrire(r, r < n ? e->Generation[r + 1][1] : QString(), r < n ? e->Generation[r + 1][2] : QString());
    }
    NbLignes = n;
    StringGrid1->setCurrentCell(0, 0);
    ConstruireCamembert();
    Edit1->selectAll();
    Edit1->setFocus();
    resize(720, 420);
}

QString TForm2::symbole(int r) const
{
    const QTableWidgetItem *i = StringGrid1->item(r, ColSymbole);
    return i ? i->text() : QString();
}

QString TForm2::probabilite(int r) const
{
    const QTableWidgetItem *i = StringGrid1->item(r, ColProbabilite);
    return i ? i->text() : QString();
}

void TForm2::ecrire(int r, const QString &s, const QString &p)
{
    StringGrid1->setItem(r, ColSymbole, new QTableWidgetItem(s));
    StringGrid1->setItem(r, ColProbabilite, new QTableWidgetItem(p));
}

QStringList TForm2::probabilitesSaisies()
{
    terminerEditionCellule();
    compterLignes();
    QStringList probas;
    for (int r = 0; r < NbLignes; ++r)
        probas << probabilite(r);
    return probas;
}

void TForm2::CompleterClick()
{
    const QStringList probas = probabilitesSaisies();
    int ligne = StringGrid1->currentRow();
    if (ligne < 0 || ligne >= NbLignes)
        for (int r = 0; r < NbLignes && ligne < 0; ++r) {
            bool ok = false;
            if (probabilite(r).trimmed().isEmpty() || (Nombres::VersExtended(probabilite(r), &ok) == 0 && ok))
                ligne = r;
        }
    if (ligne < 0 || ligne >= NbLignes) {
        StatusBar1->showMessage(QStringLiteral("Choisissez la ligne à compléter."));
        return;
    }
    const QString reste = EditionEtat::Completer(probas, ligne);
    if (reste.isEmpty()) {
        StatusBar1->showMessage(QStringLiteral("Les autres probabilités font déjà plus de 1 : rien à compléter."));
        return;
    }
    ecrire(ligne, symbole(ligne), reste);
    ConstruireCamembert();
}

void TForm2::NormaliserClick()
{
    const QStringList n = EditionEtat::Normaliser(probabilitesSaisies());
    for (int r = 0; r < NbLignes; ++r)
        ecrire(r, symbole(r), n.value(r));
    ConstruireCamembert();
}

void TForm2::compterLignes()
{
    const int n = StringGrid1->rowCount();
    NbLignes = n == 1 && symbole(0).isEmpty() && probabilite(0).isEmpty() ? 0 : n;
}

QColor TForm2::CouleurLigne(int ligne)
{
    // Les cinq premières sont imposées (valeurs 0x00BBGGRR) ; ensuite une suite fixe.
    static const TCouleur imposees[5] = {0xFF0000, 0x0000FF, 0x008000, 0x00FFFF, 0xFFFFFF};
    static const QColor suite[] = {QColor(255, 0, 255), QColor(0, 255, 255), QColor(128, 0, 0),  QColor(0, 0, 128),
                                   QColor(128, 128, 0), QColor(128, 0, 128), QColor(0, 128, 128), QColor(128, 128, 128),
                                   QColor(0, 255, 0),   QColor(192, 192, 192), QColor(255, 128, 0)};
    if (ligne >= 1 && ligne <= 5)
        return VersQColor(imposees[ligne - 1]);
    const int n = int(sizeof(suite) / sizeof(suite[0]));
    return suite[(std::max(ligne, 6) - 6) % n];
}

void TForm2::ConstruireCamembert()
{
    Series1->clear();
    QStringList probas;
    for (int r = 0; r < NbLignes; ++r) {
        bool ok = false;
        const long double v = Nombres::VersExtended(probabilite(r), &ok);
        probas << probabilite(r);
        if (!ok)
            continue;
        QPieSlice *s = Series1->append(symbole(r), double(v));
        s->setLabelVisible(true);
        // Couleurs posées après l'ajout : le thème du graphique les écraserait sinon.
        s->setBrush(CouleurLigne(r + 1));
        s->setPen(QPen(Qt::black, 1));
    }
    StatusBar1->showMessage(QStringLiteral("Somme des probabilités : ") + EditionEtat::TexteSomme(probas));
}

void TForm2::NettoyerProbabilites()
{
    bool change = false;
    const QSignalBlocker bloque(StringGrid1);
    for (int r = 0; r < NbLignes; ++r) {
        bool ok = false;
        Nombres::VersExtended(probabilite(r), &ok);
        if (!ok) {
            StringGrid1->item(r, ColProbabilite) ? StringGrid1->item(r, ColProbabilite)->setText(QStringLiteral("0"))
                                                 : StringGrid1->setItem(r, ColProbabilite, new QTableWidgetItem(QStringLiteral("0")));
            change = true;
        }
    }
    if (change)
        StringGrid1->viewport()->update();
    ConstruireCamembert();
}

void TForm2::terminerEditionCellule()
{
    auto *d = static_cast<Delegue *>(StringGrid1->itemDelegate());
    if (QWidget *ed = d->Courant) {
        emit d->commitData(ed);
        emit d->closeEditor(ed, QAbstractItemDelegate::NoHint);
    }
}

void TForm2::AjouterClick()
{
    const QString s = Edit2->text(), p = Edit3->text();
    for (int r = 0; r < NbLignes; ++r)
        if (!s.isEmpty() && symbole(r) == s) {
            Messages::Erreur(this, QStringLiteral("Un symbole nomé \" ") + s + QStringLiteral(" \" existe déjà"));
            return;
        }
    if (s.isEmpty() || p.isEmpty())
        return;
    QString raison;
    if (!FichierModele::TextePortable(s, &raison)) {
        Messages::Erreur(this, QStringLiteral("Le symbole « %1 » ne peut pas être enregistré dans le fichier du modèle :\n%2")
                                   .arg(s, raison));
        return;
    }
    bool ok = false;
    const long double v = Nombres::VersExtended(p, &ok);
    if (!ok) {
        Messages::Erreur(this, QStringLiteral("La probabilité « %1 » n'est pas un nombre.").arg(p));
        return;
    }
    if (NbLignes >= BoiteEtat::CapacitePaires) {
        Messages::Erreur(this, QStringLiteral("Un état ne peut pas émettre plus de %1 symboles : impossible d'en ajouter un autre.")
                                   .arg(BoiteEtat::CapacitePaires));
        return;
    }
    {
        const QSignalBlocker bloque(StringGrid1);
        if (NbLignes > 0)
            StringGrid1->setRowCount(NbLignes + 1);
        ecrire(NbLignes, s, Nombres::Formater(v));
    }
    ++NbLignes;
    ConstruireCamembert();
    Edit2->clear();
    Edit3->clear();
    Edit2->setFocus();
}

void TForm2::RetirerClick()
{
    terminerEditionCellule();
    const int r = std::max(0, StringGrid1->currentRow());
    {
        const QSignalBlocker bloque(StringGrid1);
        if (StringGrid1->rowCount() <= 1)
            ecrire(0, QString(), QString());
        else
            StringGrid1->removeRow(r);
    }
    NbLignes = std::max(0, NbLignes - 1);
    ConstruireCamembert();
}

const BoiteEtat *TForm2::boite() const
{
    return document.IndiceBoite(etat) >= 0 ? etat : nullptr;
}

void TForm2::echec(const QString &message, bool remettreNom)
{
    Messages::Erreur(this, message);
    if (remettreNom && boite()) {
        Edit1->setText(boite()->Nom);
        Edit1->selectAll();
        Edit1->setFocus();
    }
}

bool TForm2::OkClick()
{
    if (!boite()) {
        close();
        return false;
    }
    terminerEditionCellule();
    NettoyerProbabilites();
    QStringList probas;
    for (int r = 0; r < NbLignes; ++r)
        probas << probabilite(r);
    const EditionEtat::Refus refus = EditionEtat::Controler(document, k, Edit1->text(), probas);
    if (!refus.Accepte()) {
        echec(refus.Message, refus.SurLeNom);
        return false;
    }
    appliquer();
    close();
    return true;
}

void TForm2::appliquer()
{
    // Le document range les étapes d'annulation et réapplique la taille minimale.
    QList<QPair<QString, QString>> paires;
    for (int r = 0; r < NbLignes; ++r)
        paires.append({symbole(r), probabilite(r)});
    document.ModifierEtat(etat, Edit1->text(), paires);
    setWindowTitle(QStringLiteral("Edition de l'état --> (") + etat->Nom + QLatin1Char(')'));
}

bool TForm2::eventFilter(QObject *objet, QEvent *ev)
{
    if (ev->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objet, ev);
    auto *t = static_cast<QKeyEvent *>(ev);
    const QChar c = caractere(t);

    if (objet == Edit1) {
        if (estEntree(t)) {
            OkClick();
            return true;
        }
        // Les blancs sont refusés par "Ok" avec leur propre message ; les autres caractères
        // que le fichier ne sait pas porter sont refusés dès la frappe.
        if (!c.isNull() && !c.isSpace() && !FichierModele::TextePortable(QString(c))) {
            Messages::Erreur(this, QStringLiteral("Le caractère « %1 » ne peut pas figurer dans un nom d'état : le fichier du "
                                                  "modèle ne sait pas l'enregistrer.")
                                       .arg(c));
            return true;
        }
        return false;
    }
    if (objet == Edit2 || objet == Edit3) {
        if (estEntree(t)) {
            if (!Edit2->text().isEmpty() && !Edit3->text().isEmpty())
                AjouterClick();
            else
                (Edit2->text().isEmpty() ? Edit2 : Edit3)->setFocus();
            return true;
        }
        if (c.isNull())
            return false;
        if (objet == Edit3)
            return saisirNombre(Edit3, Edit3->text(), c);
        if (!FichierModele::TextePortable(QString(c))) {
            Messages::Erreur(this, c.isSpace() ? QStringLiteral("Un symbole ne doit pas contenir de blanc.")
                                               : QStringLiteral("Le caractère « %1 » ne peut pas figurer dans un symbole : le "
                                                                "fichier du modèle ne sait pas l'enregistrer.")
                                                     .arg(c));
            return true;
        }
        return false;
    }
    // Tableau et éditeurs de cellule : chiffres et un séparateur pour les probabilités,
    // caractères enregistrables pour les symboles.
    int colonne = -1;
    QString texte;
    if (objet == StringGrid1) {
        // Une frappe sur une cellule non éditée remplace son texte : il compte pour vide.
        colonne = StringGrid1->currentColumn();
    } else if (auto *ed = qobject_cast<QLineEdit *>(objet); ed && ed->property("colonne").isValid()) {
        colonne = ed->property("colonne").toInt();
        texte = ed->text();
        if (ed->hasSelectedText())
            texte.remove(ed->selectionStart(), ed->selectedText().size());
    } else {
        return QDialog::eventFilter(objet, ev);
    }
    if (c.isNull())
        return false;
    if (colonne == ColProbabilite)
        return saisirNombre(qobject_cast<QLineEdit *>(objet), texte, c);
    if (colonne == ColSymbole && !FichierModele::TextePortable(QString(c))) {
        Messages::Erreur(this, QStringLiteral("Le caractère « %1 » ne peut pas figurer dans un symbole.").arg(c.isSpace() ? QStringLiteral("espace") : QString(c)));
        return true;
    }
    return false;
}
