// Opérations du document : chacune range une étape d'annulation, émet un seul signal, marque
// le modèle modifié ; Défaire rend le texte du fichier d'avant, Refaire celui d'après.
#include "outils_test.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "model/aleatoire.h"
#include "model/document.h"
#include "model/sommes.h"

#include <QSignalSpy>
#include <functional>

namespace {

// START, A, B, C ; arcs START->A, A->C, C->C, B->A.
const QStringList Modele = {
    QStringLiteral("[MotDePasse]=Vide"), QStringLiteral("[Start]=1"), QStringLiteral("[Etats]=3"),
    QStringLiteral("[Dernier]=0"), QStringLiteral("START 0 10 10 40 80 "),
    QStringLiteral("A 1 150 10 60 100 x 1 "), QStringLiteral("B 1 150 150 60 100 x 1 "),
    QStringLiteral("C 1 300 10 60 100 x 1 "), QStringLiteral("[Arcs]=4"),
    QStringLiteral("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "), QStringLiteral("1 0.5 1 1 "),
    QStringLiteral("0 0 0 0 0 0 0 0 "), QStringLiteral("0 0 0 0 "), QStringLiteral("0 1 1 3 3 3 2 1 "),
    QStringLiteral("0 0 0 0 0 0 0 0 "),
};

ContenuModele::Etat etat(const QString &nom, int x, int y)
{
    ContenuModele::Etat e;
    e.Nom = nom;
    e.Left = x;
    e.Top = y;
    e.Width = 90;
    e.Height = 60;
    e.Paires = {{QStringLiteral("x"), QStringLiteral("0.5")}, {QStringLiteral("y"), QStringLiteral("0.5")}};
    return e;
}

class Operations : public TestAvecRepertoire {};

}

TEST_F(Operations, UneEtapeUnSignalEtAllerRetour)
{
    using Op = std::function<void(DocumentModele &)>;
    struct Cas {
        const char *nom;
        Op preparer, operation;
        QString description;
    };
    const QRect bande(400, 300, 120, 80);
    const QList<Cas> cas = {
        {"état à la souris", {}, [](DocumentModele &d) { d.NouvelEtat(false, QPoint(500, 300)); },
         "la création de l'état: Etat_4"},
        {"état dans la bande", {}, [&](DocumentModele &d) { d.NouvelEtat(false, QPoint(), &bande); },
         "la création de l'état: Etat_4"},
        {"START à la souris", [](DocumentModele &d) { d.SupprimerEtats({d.Etat(0)}); },
         [](DocumentModele &d) { d.NouvelEtat(true, QPoint(60, 400)); }, "la création de l'état: START"},
        {"état décrit", {}, [](DocumentModele &d) { d.AjouterEtat(etat(QStringLiteral("D"), 450, 200)); },
         "la création de l'état: D"},
        {"collage", {},
         [](DocumentModele &d) { d.Coller({etat(QStringLiteral("Etat_3"), 10, 300), etat(QStringLiteral("A"), 90, 300)}, 5); },
         "le collage de(s) 2 etat(s)"},
        {"suppression d'états", {}, [](DocumentModele &d) { d.SupprimerEtats({d.BoiteVue(2), d.BoiteVue(0)}); },
         "la suppression de(s) 2 etat(s)"},
        {"déplacement", {}, [](DocumentModele &d) { d.DeplacerEtat(d.BoiteVue(1), QPoint(170, 40)); },
         "le déplacement de l'état: A"},
        {"redimensionnement", {}, [](DocumentModele &d) { d.RedimensionnerEtat(d.BoiteVue(3), QRect(300, 10, 200, 150)); },
         "le redimentionnement de l'état: C"},
        {"ajustement au texte", {}, [](DocumentModele &d) { d.AjusterEtat(d.BoiteVue(1)); },
         "le redimentionnement de l'état: A"},
        {"arc", {}, [](DocumentModele &d) { d.AjouterArc(2, 3); }, "la création de l'arc: (B,C)"},
        {"boucle", {}, [](DocumentModele &d) { d.AjouterArc(1, 1); }, "la création d'arc boucle de l'etat: A"},
        {"suppression d'arc", {}, [](DocumentModele &d) { d.SupprimerArc(4); }, "la suppression de l'arc (B,A)"},
        {"étiquette", {}, [](DocumentModele &d) { d.ChangerEtiquette(2, QStringLiteral("0.25")); },
         "la modification de l'arc (A,C)"},
        {"étiquette tapée en place", {},
         [](DocumentModele &d) {
             const QString avant = d.GrapheVue()->Etiquette[3];
             d.EcrireEtiquette(3, QStringLiteral("0.7"));
             d.EcrireEtiquette(3, QStringLiteral("0.75"));
             d.ValiderEtiquette(3, avant);
         },
         "la modification de la boucle de l'état: C"},
        {"compléter un arc", [](DocumentModele &d) { d.AjouterArc(1, 1); },
         [](DocumentModele &d) { EXPECT_TRUE(d.CompleterArc(d.Graphe().ExisteARC(1, 1))); },
         "la modification de la boucle de l'état: A"},
        {"normaliser les arcs", {}, [](DocumentModele &d) { EXPECT_TRUE(d.NormaliserArcs(1)); },
         "la normalisation des arcs de l'état: A"},
        {"éditeur d'état", {},
         [](DocumentModele &d) { d.ModifierEtat(d.BoiteVue(2), QStringLiteral("B2"), {{QStringLiteral("x"), QStringLiteral("1")}}); },
         "le changement du nom de l'état: \" B en \" B2 \""},
        {"probabilités aléatoires", [](DocumentModele &d) { d.AjouterArc(0, 2); },
         [](DocumentModele &d) { d.RemplirAuHasard(7); }, "le tirage des probabilités au hasard"},
        {"report des paramètres", [](DocumentModele &d) { d.CalculerParametres(); },
         [](DocumentModele &d) {
             ParametresModele p = d.Parametres();
             p.A[1][3] = 0.4L;
             d.ReporterParametres(p, QStringLiteral("l'entraînement"));
         },
         "l'entraînement"},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        DocumentModele d;
        QString erreur;
        ASSERT_EQ(d.ChargerLignes(Modele, false, QStringLiteral("t"), &erreur), Chargement::Reussi);
        if (c.preparer)
            c.preparer(d);
        const QStringList avant = d.LignesModele();
        const int etapes = d.Annulations().Taille();
        QSignalSpy signaux(&d, &DocumentModele::modifie);
        c.operation(d);
        const QStringList apres = d.LignesModele();
        EXPECT_NE(apres, avant);
        EXPECT_EQ(d.Annulations().Taille(), etapes + 1);
        EXPECT_EQ(d.Annulations().DerniereDescription(), c.description);
        ASSERT_EQ(signaux.size(), 1);
        EXPECT_EQ(signaux[0][0].toString(), c.description);
        EXPECT_TRUE(d.EstModifie());

        ASSERT_TRUE(d.Defaire());
        EXPECT_EQ(d.LignesModele(), avant);
        EXPECT_EQ(signaux.size(), 2);
        ASSERT_TRUE(d.Refaire());
        EXPECT_EQ(d.LignesModele(), apres);
        EXPECT_EQ(signaux.size(), 3);
        EXPECT_EQ(d.Annulations().Taille(), etapes + 1);
        EXPECT_TRUE(d.Retablissements().EstVide());
    }
}

// Une opération qui ne change rien ne range rien, ne marque rien et n'émet rien.
TEST_F(Operations, RienDeChangeRienDeRange)
{
    struct Cas {
        const char *nom;
        std::function<void(DocumentModele &)> operation;
        bool frappe = false; // chaque frappe marque le modèle modifié, même revenue au texte d'avant
    };
    const Cas cas[] = {
        {"déplacement sur place", [](DocumentModele &d) { d.DeplacerEtat(d.Etat(1), d.Etat(1)->Bornes().topLeft()); }},
        {"même étiquette", [](DocumentModele &d) { d.ChangerEtiquette(2, d.GrapheVue()->Etiquette[2]); }},
        {"arcs déjà normés", [](DocumentModele &d) { EXPECT_FALSE(d.NormaliserArcs(3)); }},
        {"arc déjà complet", [](DocumentModele &d) { EXPECT_FALSE(d.CompleterArc(3)); }},
        {"étiquette retapée", [](DocumentModele &d) {
             const QString avant = d.GrapheVue()->Etiquette[3];
             d.EcrireEtiquette(3, QStringLiteral("0.7"));
             d.EcrireEtiquette(3, avant);
             d.ValiderEtiquette(3, avant);
         }, true},
        {"éditeur d'état sans changement", [](DocumentModele &d) {
             QList<QPair<QString, QString>> paires;
             for (int k = 1; k <= d.BoiteVue(2)->NbSymboles; ++k)
                 paires.append({d.BoiteVue(2)->Generation[k][1], d.BoiteVue(2)->Generation[k][2]});
             d.ModifierEtat(d.BoiteVue(2), d.BoiteVue(2)->Nom, paires);
         }},
    };
    for (const Cas &c : cas) {
        SCOPED_TRACE(c.nom);
        // Dans une fenêtre : les boîtes chargées suivent la règle de taille minimale.
        CanevasModele canevas;
        QString erreur;
        // Arcs mis en place comme à l'écran (le modèle de test n'a pas de géométrie d'arcs) :
        // chaque boîte déplacée sur place, puis le modèle relu dans un document neuf.
        DocumentModele prepare(&canevas);
        ASSERT_EQ(prepare.ChargerLignes(Modele, false, QStringLiteral("t"), &erreur), Chargement::Reussi);
        for (int k = 0; k <= prepare.N(); ++k)
            prepare.DeplacerEtat(prepare.Etat(k), prepare.Etat(k)->Bornes().topLeft());
        DocumentModele d(&canevas);
        ASSERT_EQ(d.ChargerLignes(prepare.LignesModele(), false, QStringLiteral("t"), &erreur), Chargement::Reussi);
        const QStringList avant = d.LignesModele();
        QSignalSpy signaux(&d, &DocumentModele::modifie);
        c.operation(d);
        EXPECT_EQ(d.LignesModele(), avant);
        EXPECT_TRUE(d.Annulations().EstVide());
        EXPECT_EQ(signaux.size(), 0);
        EXPECT_EQ(d.EstModifie(), c.frappe);
    }
}

// Ouvrir, enregistrer et changer le mot de passe ne sont pas des étapes : seul `etatChange`.
TEST_F(Operations, FichierEtMotDePasseSansEtape)
{
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.ChargerLignes(Modele, false, QStringLiteral("t"), &erreur), Chargement::Reussi);
    QSignalSpy modifie(&d, &DocumentModele::modifie), etat(&d, &DocumentModele::etatChange);
    d.ChangerMotDePasse(QStringLiteral("secret"));
    EXPECT_TRUE(d.EstModifie());
    const QString chemin = Chemin(QStringLiteral("m.hmm"));
    ASSERT_TRUE(d.Enregistrer(chemin, &erreur)) << qPrintable(erreur);
    EXPECT_FALSE(d.EstModifie());
    EXPECT_EQ(d.NomFichier(), chemin);
    DocumentModele e;
    e.DefinirIdentification([](const QString &m) { return m == QLatin1String("secret"); });
    ASSERT_EQ(e.Ouvrir(chemin, &erreur), Chargement::Reussi);
    EXPECT_EQ(e.LignesModele(), d.LignesModele());
    EXPECT_FALSE(e.EstModifie());
    EXPECT_EQ(modifie.size(), 0);
    EXPECT_EQ(etat.size(), 2);
    EXPECT_TRUE(d.Annulations().EstVide());
    EXPECT_TRUE(e.Annulations().EstVide());
}

// Le tirage : la même graine redonne le même modèle, chaque ligne somme exactement à 1 en
// décimal, sans probabilité nulle, et seuls les nombres changent.
TEST(Aleatoire, LignesExactesEtReproductibles)
{
    for (const int n : {1, 2, 7, 20, 21, 98}) {
        SCOPED_TRACE(n);
        std::uint32_t etat = 42;
        const QStringList l = Aleatoire::Ligne(n, etat);
        ASSERT_EQ(l.size(), n);
        EXPECT_TRUE(Sommes::DecimaleVautUn(l)) << l.join(QLatin1Char(' ')).toStdString();
        for (const QString &x : l)
            EXPECT_GT(x.toDouble(), 0) << x.toStdString();
    }
    ContenuModele c;
    QString erreur;
    ASSERT_TRUE(FichierModele::Lire(Modele, &c, &erreur)) << erreur.toStdString();
    c.Etats[1].Paires.append({QStringLiteral("y"), QString()});
    c.Arcs.append(c.Arcs[1]);
    c.Arcs.last().Source = 0;
    const ContenuModele r = Aleatoire::Remplir(c, 3);
    EXPECT_EQ(Aleatoire::Remplir(c, 3), r);
    EXPECT_NE(Aleatoire::Remplir(c, 4), r);
    ContenuModele structure = r;
    for (qsizetype a = 0; a < r.Arcs.size(); ++a)
        structure.Arcs[a].Etiquette = c.Arcs[a].Etiquette;
    for (qsizetype e = 0; e < r.Etats.size(); ++e)
        for (qsizetype k = 0; k < r.Etats[e].Paires.size(); ++k)
            structure.Etats[e].Paires[k].second = c.Etats[e].Paires[k].second;
    EXPECT_EQ(structure, c);
    for (int s = 0; s <= c.N(); ++s) {
        QStringList ligne;
        for (const auto &a : r.Arcs)
            if (a.Source == s)
                ligne << a.Etiquette;
        if (!ligne.isEmpty()) {
            EXPECT_TRUE(Sommes::DecimaleVautUn(ligne)) << s;
        }
    }
    for (qsizetype e = 1; e < r.Etats.size(); ++e) {
        QStringList ligne;
        for (const auto &p : r.Etats[e].Paires)
            ligne << p.second;
        EXPECT_TRUE(Sommes::DecimaleVautUn(ligne)) << e;
    }
}
