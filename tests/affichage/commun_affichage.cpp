#include "commun_affichage.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/fichier.h"
#include "model/graphe_contenu.h"
#include "skin/presentation.h"

#include <QApplication>

void Affichage::SetUp()
{
    TestAvecRepertoire::SetUp();
    Presentation::DefinirAnimations(false);
    Messages::DefinirRepondeur([this](const Messages::Message &m) {
        messages << m.Texte;
        return Messages::Reponse::Ok;
    });
}

void Affichage::TearDown()
{
    Messages::DefinirRepondeur({});
    // Fenêtres créées à neuf par les commandes : libérées avant le test suivant.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->testAttribute(Qt::WA_DeleteOnClose))
            w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TestAvecRepertoire::TearDown();
}

std::unique_ptr<TForm1> Affichage::fenetre(bool avecModele)
{
    auto f = std::make_unique<TForm1>();
    Parties(*f).LancerInstance = [] {};
    Parties(*f).DemanderOuverture = [] { return QString(); };
    Parties(*f).DemanderEnregistrement = [] { return QString(); };
    Parties(*f).DemanderMotDePasse = [](const QString &) { return false; };
    f->PremiereActivation();
    f->resize(1000, 800);
    f->show();
    if (avecModele)
        chargerModele(*f);
    return f;
}

void Affichage::chargerModele(TForm1 &f)
{
    ContenuModele c;
    c.Start = true;
    c.Dernier = 2;
    auto etat = [](const char *nom, int x, int y, int w, int h, QList<QPair<QString, QString>> paires) {
        ContenuModele::Etat e;
        e.Nom = QString::fromLatin1(nom);
        e.Left = x, e.Top = y, e.Width = w, e.Height = h;
        e.Paires = paires;
        return e;
    };
    c.Etats << etat("START", 20, 150, 95, 26, {}) << etat("Etat_1", 250, 60, 200, 120, {})
            << etat("Etat_2", 520, 300, 180, 110, {{"a", "0.5"}, {"bb", "0.5"}});
    // Arcs mis en place comme à l'écran.
    GrapheContenu::AjouterArcs(c, {{0, 1, QStringLiteral("1")}, {1, 2, QStringLiteral("0.5")},
                                   {1, 1, QStringLiteral("0.5")}, {2, 2, QStringLiteral("1")}});
    QString e;
    ASSERT_EQ(Parties(f).Document->ChargerLignes(FichierModele::Ecrire(c), false, QStringLiteral("test"), &e),
              Chargement::Reussi)
        << e.toStdString();
    ASSERT_FALSE(Parties(f).Document->EstModifie());
}
