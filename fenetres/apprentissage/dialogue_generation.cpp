// « Générer une séquence... ».
#include "apprentissage/dialogue_generation.h"
#include "algorithms/decodage.h"
#include "algorithms/espace.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "dialogs/aide.h"
#include "skin/messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// Au-delà, la comparaison ne montre que le début dans la table (la part porte sur tout).
constexpr int LignesComparaisonMax = 5000;
}

DialogueGeneration::DialogueGeneration(const ParametresModele &parametres, QWidget *parent)
    : QDialog(parent), p(parametres)
{
    setObjectName(QStringLiteral("DialogueGeneration"));
    setWindowTitle(QStringLiteral("Générer une séquence"));
    resize(640, 560);
    Longueur = new QSpinBox(this);
    Longueur->setRange(1, 1000000);
    Longueur->setValue(20);
    Graine = new QLineEdit(QString::number(QRandomGenerator::global()->bounded(1000000)), this);
    Graine->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,19}")), Graine));
    NouvelleGraine = new QPushButton(QStringLiteral("Nouvelle graine"), this);
    auto *ligneGraine = new QHBoxLayout;
    ligneGraine->addWidget(Graine, 1);
    ligneGraine->addWidget(NouvelleGraine);
    auto *formulaire = new QFormLayout;
    formulaire->addRow(QStringLiteral("Longueur T :"), Longueur);
    formulaire->addRow(QStringLiteral("Graine :"), ligneGraine);

    Observations = new QPlainTextEdit(this);
    Observations->setReadOnly(true);
    Observations->setMaximumHeight(70);
    Chemin = new QPlainTextEdit(this);
    Chemin->setReadOnly(true);
    Chemin->setMaximumHeight(70);
    Comparaison = new QTableWidget(0, 5, this);
    Comparaison->setHorizontalHeaderLabels(
        {QStringLiteral("t"), QStringLiteral("o_t"), QStringLiteral("État caché"), QStringLiteral("Viterbi"), QString()});
    Comparaison->verticalHeader()->hide();
    Comparaison->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Comparaison->horizontalHeader()->setStretchLastSection(true);
    Accord = new QLabel(this);

    Generer = new QPushButton(QStringLiteral("Générer"), this);
    Generer->setDefault(true);
    Comparer = new QPushButton(QStringLiteral("Comparer avec Viterbi"), this);
    Comparer->setEnabled(false);
    BoutonAide = new QPushButton(QStringLiteral("Aide"), this);
    Fermer = new QPushButton(QStringLiteral("Fermer"), this);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(Generer);
    boutons->addWidget(Comparer);
    boutons->addStretch(1);
    boutons->addWidget(BoutonAide);
    boutons->addWidget(Fermer);

    auto *l = new QVBoxLayout(this);
    l->addLayout(formulaire);
    l->addWidget(new QLabel(QStringLiteral("Observations (ajoutées à l'historique des séquences) :"), this));
    l->addWidget(Observations);
    l->addWidget(new QLabel(QStringLiteral("Chemin caché :"), this));
    l->addWidget(Chemin);
    l->addWidget(Comparaison, 1);
    l->addWidget(Accord);
    l->addLayout(boutons);

    connect(NouvelleGraine, &QPushButton::clicked, this,
            [this] { Graine->setText(QString::number(QRandomGenerator::global()->bounded(1000000))); });
    connect(Generer, &QPushButton::clicked, this, &DialogueGeneration::GenererClick);
    connect(Comparer, &QPushButton::clicked, this, &DialogueGeneration::ComparerClick);
    connect(Fermer, &QPushButton::clicked, this, &QDialog::accept);
    connect(BoutonAide, &QPushButton::clicked, this, [] { Aide::Afficher(QStringLiteral("Generation")); });
}

void DialogueGeneration::GenererClick()
{
    bool ok = false;
    const quint64 graine = Graine->text().toULongLong(&ok);
    if (!ok) {
        Messages::Erreur(this, QStringLiteral("La graine doit être un entier de 0 à 18446744073709551615."));
        return;
    }
    try {
        s = GenererSequence(p, Longueur->value(), graine);
    } catch (const ERefusCalcul &x) {
        Messages::Erreur(this, x.Message());
        return;
    }
    Texte = TexteObservations(p, s, &DecoupageCaractere);
    Observations->setPlainText(Texte);
    Chemin->setPlainText((QStringList{QStringLiteral("Start")} + NomsEtatsGeneres(p, s)).join(QStringLiteral(" - ")));
    HistoriqueSequences h;
    h.Charger();
    h.Memoriser(Texte);
    Comparaison->setRowCount(0);
    Accord->setText(DecoupageCaractere ? QString()
                                       : QStringLiteral("Symboles de plusieurs caractères : découpez la séquence mot par mot."));
    Comparer->setEnabled(true);
}

void DialogueGeneration::ComparerClick()
{
    EspaceTravail e;
    e.SequenceObservations = Texte;
    e.DecoupageCaractere = DecoupageCaractere;
    try {
        DecouperSequence(p, e);
        ExigerGeneration(p, e);
        CalculerViterbi(p, e);
    } catch (const ERefusCalcul &x) {
        // Une très longue séquence peut avoir une probabilité qui sort des nombres représentables.
        Messages::Erreur(this, x.Message());
        return;
    }
    std::vector<int> decode(std::size_t(e.LongueurSequence) + 1, 0);
    for (int t = 1; t <= e.LongueurSequence; ++t)
        decode[std::size_t(t)] = e.CheminViterbi[t];
    const int T = s.Longueur();
    const int lignes = std::min(T, LignesComparaisonMax);
    Comparaison->setRowCount(lignes);
    int egaux = 0;
    for (int t = 1; t <= T; ++t) {
        const int cache = s.Etats[std::size_t(t)], v = decode[std::size_t(t)];
        egaux += cache == v;
        if (t > lignes)
            continue;
        const QStringList cellules = {QString::number(t), p.Symboles[s.Observations[std::size_t(t)]], p.NomEtat(cache),
                                      p.NomEtat(v), cache == v ? QStringLiteral("=") : QStringLiteral("≠")};
        for (int c = 0; c < cellules.size(); ++c) {
            auto *i = new QTableWidgetItem(cellules[c]);
            if (cache != v)
                i->setBackground(QColor(255, 225, 225));
            Comparaison->setItem(t - 1, c, i);
        }
    }
    Accord->setText(QStringLiteral("Le chemin de Viterbi retrouve l'état caché à %1 instants sur %2 : %3 %.")
                        .arg(egaux)
                        .arg(T)
                        .arg(QLocale().toString(100.0 * PartAccord(s.Etats, decode), 'f', 1)));
}
