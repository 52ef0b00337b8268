#include "apprentissage/dialogue_posterieur.h"
#include "skin/champ_sequence.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialoguePosterieur::DialoguePosterieur(const QStringList &historique, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialoguePosterieur"));
    setWindowTitle(QStringLiteral("Chemin a posteriori"));
    auto *l = new QVBoxLayout(this);
    l->setSizeConstraint(QLayout::SetFixedSize);
    auto *texte = new QLabel(QStringLiteral("&Séquence d'observations (symboles séparés par des espaces : découpage "
                                            "mot par mot) :"),
                             this);
    texte->setWordWrap(true);
    Sequence = new QComboBox(this);
    Sequence->setObjectName(QStringLiteral("Sequence"));
    ChampSequence::Equiper(Sequence);
    ChampSequence::Remplir(Sequence, historique);
    // La dernière séquence employée est proposée.
    if (!historique.isEmpty()) {
        Sequence->setCurrentIndex(int(historique.size()) - 1);
        Sequence->setToolTip(ChampSequence::Bulle(historique.last()));
    }
    texte->setBuddy(Sequence);
    // Le texte passe à la ligne à la largeur du champ, jamais au-delà.
    texte->setFixedWidth(Sequence->sizeHint().width());
    Boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Calculer le chemin"));
    Boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    l->addWidget(texte);
    l->addWidget(Sequence);
    l->addWidget(Boutons);
    connect(Boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto actualiser = [this] {
        Boutons->button(QDialogButtonBox::Ok)->setEnabled(!Sequence->currentText().trimmed().isEmpty());
    };
    connect(Sequence, &QComboBox::editTextChanged, this, actualiser);
    actualiser();
    Sequence->setFocus();
}

QString DialoguePosterieur::Demander(const QStringList &historique, QWidget *parent)
{
    DialoguePosterieur d(historique, parent);
    return d.exec() == QDialog::Accepted ? d.Sequence->currentText() : QString();
}
