#include "direct/panneau_direct.h"
#include "trace/treillis.h"

#include <QCheckBox>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {
// Les frappes et les glissements rapprochés ne lancent qu'un calcul.
constexpr int DelaiRegroupement = 15;

QTableWidgetItem *cellule(const QString &texte)
{
    auto *c = new QTableWidgetItem(texte);
    c->setToolTip(texte.size() > 12 ? texte.left(2000) : QString());
    c->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return c;
}
}

PanneauDirect::PanneauDirect(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PanneauDirect"));
    Saisie = new QPlainTextEdit(this);
    Saisie->setPlaceholderText(QStringLiteral("Une séquence d'observations par ligne"));
    Saisie->setAccessibleName(QStringLiteral("Séquences d'observations, une par ligne"));
    Saisie->setMaximumHeight(fontMetrics().lineSpacing() * 3 + 12);
    Saisie->setLineWrapMode(QPlainTextEdit::NoWrap);
    MotParMot = new QCheckBox(QStringLiteral("Mot &par mot"), this); // Alt+M ouvre le menu « Modèle »
    MotParMot->setToolTip(QStringLiteral("Découper les séquences aux espaces plutôt que caractère par caractère"));

    Table = new QTableWidget(0, 4, this);
    Table->setHorizontalHeaderLabels({QStringLiteral("Séquence"), QStringLiteral("P(O|λ) (Forward)"),
                                      QStringLiteral("Chemin de Viterbi"), QStringLiteral("Probabilité du chemin")});
    Table->setAccessibleName(QStringLiteral("Résultats du calcul en direct"));
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setTextElideMode(Qt::ElideMiddle);
    Table->setWordWrap(false);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Table->horizontalHeader()->setStretchLastSection(true);
    // Quelques lignes suffisent : la place va au graphe.
    Table->setMaximumHeight(Table->horizontalHeader()->sizeHint().height() + 4 * (fontMetrics().height() + 10));
    Table->setColumnWidth(0, 80);
    Table->setColumnWidth(1, 165);
    Table->setColumnWidth(2, 160);

    Etat = new QLabel(this);
    Etat->setWordWrap(true);
    Etat->setAccessibleName(QStringLiteral("État du calcul en direct"));

    Vue = new GrapheGamma(this);
    Vue->setMinimumHeight(200);
    Vue->setAccessibleName(QStringLiteral("Graphe de γ_t(i) de la première séquence"));

    // La formule d'un point cliqué du graphe : γ = α·β / P, avec ses nombres.
    Formule = new QLabel(QStringLiteral("Cliquez un point du graphe pour voir sa formule."), this);
    Formule->setWordWrap(true);
    Formule->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Formule->setAccessibleName(QStringLiteral("Formule développée"));

    auto *haut = new QWidget(this);
    auto *h = new QVBoxLayout(haut);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(Saisie);
    h->addWidget(MotParMot);
    h->addWidget(Etat);
    h->addWidget(Table);
    auto *separateur = new QSplitter(Qt::Vertical, this);
    separateur->addWidget(haut);
    auto *bas = new QWidget(this);
    auto *b = new QVBoxLayout(bas);
    b->setContentsMargins(0, 0, 0, 0);
    b->addWidget(Vue, 1);
    b->addWidget(Formule);
    separateur->addWidget(bas);
    separateur->setStretchFactor(1, 1);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(separateur);

    attente = new QTimer(this);
    attente->setSingleShot(true);
    attente->setInterval(DelaiRegroupement);
    connect(attente, &QTimer::timeout, this, &PanneauDirect::lancer);
    connect(Saisie, &QPlainTextEdit::textChanged, this, &PanneauDirect::demander);
    connect(MotParMot, &QCheckBox::toggled, this, &PanneauDirect::demander);
    connect(Vue, &GrapheGamma::pointChoisi, this, &PanneauDirect::MontrerFormule);
    Etat->setText(QStringLiteral("Tapez une séquence : ses résultats suivent chaque changement du modèle."));
}

PanneauDirect::~PanneauDirect()
{
    if (arret)
        arret->store(true);
}

void PanneauDirect::DefinirModele(const ContenuModele &m)
{
    modele = m;
    modeleRecu = true;
    demander();
}

void PanneauDirect::DefinirSequences(const QString &texte)
{
    Saisie->setPlainText(texte);
}

QStringList PanneauDirect::Sequences() const
{
    QStringList r;
    for (const QString &l : Saisie->toPlainText().split(QLatin1Char('\n'))) {
        const QString s = l.trimmed();
        if (!s.isEmpty())
            r << s;
    }
    return r;
}

void PanneauDirect::demander()
{
    attente->start();
}

void PanneauDirect::lancer()
{
    const QStringList sequences = Sequences();
    const bool caractere = !MotParMot->isChecked();
    if (!modeleRecu || sequences.isEmpty()) {
        if (arret)
            arret->store(true);
        ++generation;
        enCours = false;
        resultat = ResultatDirect();
        dejaLance = false;
        montrer(resultat);
        return;
    }
    if (dejaLance && modele == calculeModele && sequences == calculeSequences && caractere == calculeCaractere)
        return; // rien n'a changé pour le calcul
    calculeModele = modele;
    calculeSequences = sequences;
    calculeCaractere = caractere;
    dejaLance = true;
    // Le calcul précédent s'arrête à sa prochaine étape ; son résultat sera jeté.
    if (arret)
        arret->store(true);
    arret = std::make_shared<std::atomic<bool>>(false);
    const int numero = ++generation;
    ++lances;
    enCours = true;
    Etat->setText(QStringLiteral("Calcul en cours..."));
    auto *veilleur = new QFutureWatcher<ResultatDirect>(this);
    connect(veilleur, &QFutureWatcher<ResultatDirect>::finished, this, [this, veilleur, numero] {
        veilleur->deleteLater();
        if (numero != generation)
            return;
        enCours = false;
        resultat = veilleur->result();
        montrer(resultat);
    });
    veilleur->setFuture(QtConcurrent::run([m = modele, sequences, caractere, drapeau = arret] {
        return Direct::Calculer(m, sequences, caractere, drapeau.get());
    }));
}

void PanneauDirect::montrer(const ResultatDirect &r)
{
    Table->setRowCount(0);
    QStringList chemin;
    if (!r.ErreurModele.isEmpty()) {
        Etat->setText(QStringLiteral("Le modèle ne se calcule pas :\n") + r.ErreurModele);
    } else if (r.Sequences.empty()) {
        Etat->setText(QStringLiteral("Tapez une séquence : ses résultats suivent chaque changement du modèle."));
    } else {
        Table->setRowCount(int(r.Sequences.size()));
        int ligne = 0;
        QString erreurs;
        for (const ResultatSequenceDirect &s : r.Sequences) {
            Table->setItem(ligne, 0, cellule(s.Sequence));
            // P(O|λ) même quand le chemin est refusé (P = 0) ; le refus à la place du chemin.
            Table->setItem(ligne, 1, cellule(s.Probabilite.isEmpty() ? s.Erreur
                                             : s.Probabilite + (s.MisALEchelle ? QStringLiteral(" (mis à l'échelle)")
                                                                               : QString())));
            if (s.Erreur.isEmpty()) {
                Table->setItem(ligne, 2, cellule(s.TexteViterbi));
                Table->setItem(ligne, 3, cellule(s.ProbabiliteViterbi));
                if (chemin.isEmpty())
                    chemin = s.CheminViterbi;
            } else {
                Table->setItem(ligne, 2, cellule(s.Erreur));
                if (erreurs.isEmpty())
                    erreurs = s.Erreur;
            }
            ++ligne;
        }
        Etat->setText(erreurs.isEmpty() ? QStringLiteral("À jour.") : erreurs);
    }
    Vue->Tracer(r);
    emit resultatMontre(chemin);
}

void PanneauDirect::MontrerFormule(int t, int i)
{
    const QString texte = Treillis::FormuleGamma(calculeModele, resultat.SequenceGamma, calculeCaractere, t, i);
    const QString montre = texte.isEmpty()
                               ? QStringLiteral("La formule de γ%1(%2) n'est pas développée pour une séquence aussi longue.")
                                     .arg(t)
                                     .arg(resultat.Etats.value(i - 1))
                               : texte;
    Formule->setText(montre);
    Formule->setAccessibleName(QStringLiteral("Formule développée : ") + montre);
    // Ce que lit la formule, pour les aides techniques ; le point lui-même est cerclé sur le graphe.
    Formule->setAccessibleDescription(
        texte.isEmpty() ? QString()
                        : QStringLiteral("Cases lues : α%1(%2), β%1(%2) ; P(O|λ)").arg(t).arg(resultat.Etats.value(i - 1)));
    Vue->Marquer(t, i);
}
