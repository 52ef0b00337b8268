#pragma once
// Fenêtre principale hors écran, ouverte sur l'exemple E1/E2, et pilotage de ses boîtes.
#include "outils_test.h"
#include "editor/principale.h"
#include "skin/messages.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

class DialogueAlgorithme;
class QAbstractItemView;

class FenetreComplete : public TestAvecRepertoire {
protected:
    void SetUp() override;
    void TearDown() override;

    // Fenêtre montrée (hors écran) sur un modèle d'exemple ; vide = aucun modèle.
    void ouvrir(const QString &exemple = QStringLiteral("e1e2.hmm"));
    // Tape la séquence dans la boîte, choisit le découpage et clique le bouton de lancement.
    void lancer(DialogueAlgorithme *d, const QString &sequence, bool motParMot = false);
    // Laisse passer les destructions différées (boîtes fermées).
    static void traiterFermetures();
    // Texte des colonnes d'une ligne.
    static QStringList ligne(const QAbstractItemView *liste, int rang);
    // Les sept boîtes d'algorithme qui prennent une séquence, chacune ouverte par sa commande.
    std::vector<std::function<DialogueAlgorithme *()>> ouvreursBoites();
    // Index de l'arc a -> b (noms d'états, "START" compris), -1 s'il n'existe pas.
    int arc(const QString &a, const QString &b) const;

    std::unique_ptr<TForm1> f;
    QList<Messages::Message> messages;
    Messages::Reponse reponse = Messages::Reponse::Ok;
};
