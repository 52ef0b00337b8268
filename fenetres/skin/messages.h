#pragma once
// La boîte de message unique du système : titre, texte, icône, un à trois boutons.
#include <QString>
#include <functional>

class QWidget;

namespace Messages {
enum class Icone { Erreur, Avertissement, Question, Information };
enum class Boutons { Ok, OuiNon, OuiNonAnnuler };
enum class Reponse { Ok, Oui, Non, Annuler };

inline const QString TitreErreur = QStringLiteral("hmmbench    Erreur");
inline const QString TitreErreur2 = QStringLiteral("hmmbench   Erreur");
inline const QString TitreAvertissement = QStringLiteral("hmmbench   Avertissement");
inline const QString TitreConfirmation = QStringLiteral("hmmbench   Confirmation");
inline const QString TitreInformation = QStringLiteral("hmmbench   Information");

Reponse Afficher(QWidget *parent, const QString &titre, const QString &texte, Icone icone, Boutons boutons);

// Raccourcis des usages courants.
void Erreur(QWidget *parent, const QString &texte, const QString &titre = TitreErreur);
void Information(QWidget *parent, const QString &texte);

// Pour les tests : un répondeur remplace la boîte (aucune fenêtre modale n'est ouverte).
struct Message {
    QString Titre, Texte;
    Icone IconeMessage;
    Boutons BoutonsMessage;
};
using Repondeur = std::function<Reponse(const Message &)>;
void DefinirRepondeur(Repondeur r);
}
