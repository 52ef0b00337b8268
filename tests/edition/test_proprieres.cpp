// Éditeur d'état TForm2 : validations dans l'ordre, paires, camembert, étapes d'annulation.
#include "outils_edition.h"
#include "dialogs/proprieres.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/graphe_contenu.h"
#include "skin/messages.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPieSeries>
#include <QPieSlice>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

namespace {

class EditeurEtat : public TestAvecRepertoire {
protected:
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        Messages::DefinirRepondeur([this](const Messages::Message &m) {
            messages << m.Texte;
            return Messages::Reponse::Ok;
        });
        doc = std::make_unique<DocumentModele>();
        ContenuModele c;
        c.Start = true;
        for (const QString &nom : {QStringLiteral("START"), QStringLiteral("Etat_1"), QStringLiteral("Etat_2")})
            c.Etats.append({nom, 18 + 280 * int(c.Etats.size()), 18, nom == QLatin1String("START") ? 26 : 50, 95, {}});
        GrapheContenu::AjouterArcs(c, {{0, 1, QStringLiteral("??")}});
        doc->PoserContenu(c);
    }
    void TearDown() override
    {
        fenetre.reset();
        doc.reset();
        Messages::DefinirRepondeur({});
        TestAvecRepertoire::TearDown();
    }
    TForm2 *ouvrir(int i)
    {
        fenetre = std::make_unique<TForm2>(*doc, doc->BoiteVue(i));
        return fenetre.get();
    }
    // Frappe caractère par caractère, accents compris.
    static void taper(QWidget *w, const QString &texte)
    {
        for (QChar c : texte) {
            const auto cle = Qt::Key(c.toUpper().unicode());
            QKeyEvent appui(QEvent::KeyPress, cle, Qt::NoModifier, QString(c));
            QKeyEvent relache(QEvent::KeyRelease, cle, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &appui);
            QApplication::sendEvent(w, &relache);
        }
    }
    static void paire(TForm2 *e, const QString &s, const QString &p)
    {
        e->Edit2->setText(s);
        e->Edit3->setText(p);
        e->AjouterClick();
    }

    std::unique_ptr<DocumentModele> doc;
    std::unique_ptr<TForm2> fenetre;
    QStringList messages;
};

}

TEST_F(EditeurEtat, ValidationsDansLOrdre)
{
    TForm2 *e = ouvrir(1);
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Edition de l'état --> (Etat_1)"));
    EXPECT_EQ(e->NbLignes, 0);
    EXPECT_EQ(e->StringGrid1->rowCount(), 1);

    struct Cas {
        QString nom, message;
        bool nomRemis;
    };
    const QList<Cas> cas = {
        {QString(), QStringLiteral("Le nom ne peut pas être vide"), true},
        {QStringLiteral("E 1"), QStringLiteral("Le nom de l'état ne doit pas contenir des blancs"), true},
        {QStringLiteral("Etat_2"), QStringLiteral("Un état nomé \" Etat_2 \" existe déjà"), true},
        {QStringLiteral("START"), QStringLiteral("Un état nomé \" START \" existe déjà"), true},
        // Noms valides mais aucune paire : la somme, sans remettre le nom.
        {QStringLiteral("Etat_1"), QStringLiteral("La somme des probabilités de génération est différente de 1"), false},
        {QStringLiteral("E1"), QStringLiteral("La somme des probabilités de génération est différente de 1"), false},
    };
    for (const Cas &c : cas) {
        messages.clear();
        e->Edit1->setText(c.nom);
        EXPECT_FALSE(e->OkClick()) << c.nom.toStdString();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0], c.message);
        EXPECT_EQ(e->Edit1->text(), c.nomRemis ? QStringLiteral("Etat_1") : c.nom);
    }
    paire(e, QStringLiteral("a"), QStringLiteral("0.9"));
    paire(e, QStringLiteral("b"), QStringLiteral("0.1"));
    messages.clear();
    e->Edit1->setText(QStringLiteral("E1"));
    EXPECT_TRUE(e->OkClick());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(doc->Annulations().Descriptions().isEmpty() == false);
    EXPECT_EQ(doc->Annulations().Descriptions(), QStringList({QStringLiteral("le changement du nom de l'état: \" Etat_1 en \" E1 \""),
                                   QStringLiteral("la modification du nombre de symboles de l'état: \" E1 \""),
                                   QStringLiteral("la modification des symboles de l'état \" E1 \"")}));
    const BoiteEtat *b = doc->BoiteVue(1);
    EXPECT_EQ(b->Nom, QStringLiteral("E1"));
    EXPECT_EQ(b->NbSymboles, 2);
    EXPECT_EQ(b->Generation[1][1], QStringLiteral("a"));
    EXPECT_EQ(b->Generation[2][2], QStringLiteral("0.1"));
    EXPECT_TRUE(doc->EstModifie());
    // La boîte a pris la hauteur de ses deux paires ; ses arcs suivent.
    EXPECT_EQ(b->Height(), 2 * 15 + 35);
}

TEST_F(EditeurEtat, NomStartReserveSansEtatStart)
{
    // Le même modèle sans START.
    ContenuModele c = doc->Contenu();
    c.Start = false;
    c.Etats.removeFirst();
    c.Arcs.clear();
    doc->PoserContenu(c);
    TForm2 *e = ouvrir(1);
    paire(e, QStringLiteral("a"), QStringLiteral("1"));
    e->Edit1->setText(QStringLiteral("START"));
    EXPECT_FALSE(e->OkClick());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("START")));
    EXPECT_EQ(doc->BoiteVue(1)->Nom, QStringLiteral("Etat_1"));
}

TEST_F(EditeurEtat, PairesAjouteesRetireesEtSommes)
{
    TForm2 *e = ouvrir(2);
    paire(e, QStringLiteral("a"), QStringLiteral("0.50"));
    EXPECT_EQ(e->NbLignes, 1);
    EXPECT_EQ(e->StringGrid1->rowCount(), 1);
    EXPECT_EQ(e->StringGrid1->item(0, 1)->text(), QStringLiteral("0.5")); // normalisée
    EXPECT_TRUE(e->Edit2->text().isEmpty());
    // Le même symbole une seconde fois.
    paire(e, QStringLiteral("a"), QStringLiteral("0.2"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Un symbole nomé \" a \" existe déjà"));
    EXPECT_EQ(e->NbLignes, 1);
    // Un champ vide : rien.
    paire(e, QStringLiteral("b"), QString());
    EXPECT_EQ(e->NbLignes, 1);
    paire(e, QStringLiteral("b"), QStringLiteral("0.3"));
    paire(e, QStringLiteral("c"), QStringLiteral("0.2"));
    ASSERT_EQ(e->Series1->count(), 3);
    EXPECT_EQ(e->Series1->slices()[0]->brush().color(), QColor(0, 0, 255));
    EXPECT_EQ(e->Series1->slices()[1]->brush().color(), QColor(255, 0, 0));
    EXPECT_EQ(e->Series1->slices()[2]->label(), QStringLiteral("c"));

    // Retirer la ligne du milieu, puis tout.
    e->StringGrid1->setCurrentCell(1, 0);
    e->RetirerClick();
    EXPECT_EQ(e->NbLignes, 2);
    EXPECT_EQ(e->StringGrid1->item(1, 0)->text(), QStringLiteral("c"));
    EXPECT_EQ(e->Series1->count(), 2);
    e->RetirerClick();
    e->RetirerClick();
    EXPECT_EQ(e->NbLignes, 0);
    EXPECT_EQ(e->StringGrid1->rowCount(), 1);
    EXPECT_TRUE(e->StringGrid1->item(0, 0)->text().isEmpty());
    e->RetirerClick();
    EXPECT_EQ(e->NbLignes, 0);

    // Trois fois 0.33 : ni la somme en simple précision ni la somme décimale exacte ne font 1
    // (dix fois 0.1 passe désormais : sa somme décimale exacte vaut 1).
    for (int i = 0; i < 3; ++i)
        paire(e, QStringLiteral("s") + QString::number(i), QStringLiteral("0.33"));
    messages.clear();
    EXPECT_FALSE(e->OkClick());
    EXPECT_EQ(messages, QStringList{QStringLiteral("La somme des probabilités de génération est différente de 1")});

    // « Normaliser » ramène la somme à 1 ; « Compléter » donne le reste à la ligne choisie.
    e->NormaliserClick();
    EXPECT_EQ(e->StringGrid1->item(0, 1)->text(), QStringLiteral("0.333333333333333"));
    e->StringGrid1->item(2, 1)->setText(QStringLiteral("0.1"));
    e->StringGrid1->setCurrentCell(2, 1);
    e->CompleterClick();
    EXPECT_EQ(e->StringGrid1->item(2, 1)->text(), QStringLiteral("0.333333333333334"));
    messages.clear();
    EXPECT_TRUE(e->OkClick());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(EditeurEtat, PaireNulleEtCelluleIllisible)
{
    TForm2 *e = ouvrir(2);
    paire(e, QStringLiteral("a"), QStringLiteral("1"));
    paire(e, QStringLiteral("b"), QStringLiteral("0"));
    paire(e, QStringLiteral("c"), QStringLiteral("0.5"));
    // Une cellule retouchée à la main en texte illisible devient "0" avant la somme.
    e->StringGrid1->item(2, 1)->setText(QStringLiteral("x."));
    EXPECT_TRUE(e->OkClick());
    const BoiteEtat *b = doc->BoiteVue(2);
    EXPECT_EQ(b->NbSymboles, 1); // les paires à 0 disparaissent
    EXPECT_EQ(b->Generation[1][1], QStringLiteral("a"));
}

TEST_F(EditeurEtat, SansChangementAucuneEtape)
{
    BoiteEtat *b = doc->BoiteVue(1);
    b->NbSymboles = 2;
    b->Generation[1][1] = QStringLiteral("a");
    b->Generation[1][2] = QStringLiteral("0.5");
    b->Generation[2][1] = QStringLiteral("b");
    b->Generation[2][2] = QStringLiteral("0.5");
    TForm2 *e = ouvrir(1);
    EXPECT_EQ(e->NbLignes, 2);
    EXPECT_TRUE(e->OkClick());
    EXPECT_TRUE(doc->Annulations().Descriptions().isEmpty());
    // Seule une probabilité change : une seule étape, celle des symboles.
    e = ouvrir(1);
    e->StringGrid1->item(0, 1)->setText(QStringLiteral("0.25"));
    e->StringGrid1->item(1, 1)->setText(QStringLiteral("0.75"));
    EXPECT_TRUE(e->OkClick());
    EXPECT_EQ(doc->Annulations().Descriptions(), QStringList{QStringLiteral("la modification des symboles de l'état \" Etat_1 \"")});
}

TEST_F(EditeurEtat, FiltresDeTouches)
{
    TForm2 *e = ouvrir(1);
    // "," comme "." donnent le séparateur de la langue, une seule fois.
    QTest::keyClicks(e->Edit3, QStringLiteral("a0,5.x5.1"));
    EXPECT_EQ(e->Edit3->text(), QStringLiteral("0.551"));
    EXPECT_TRUE(messages.isEmpty());
    // Caractères que le fichier ne sait pas porter : refusés à la frappe, avec un message.
    e->Edit1->clear();
    taper(e->Edit1, QStringLiteral("Eâté"));
    EXPECT_EQ(e->Edit1->text(), QStringLiteral("Eté"));
    EXPECT_EQ(messages.size(), 1);
    taper(e->Edit2, QStringLiteral("a b"));
    EXPECT_EQ(e->Edit2->text(), QStringLiteral("ab"));
    EXPECT_EQ(messages.size(), 2);
    // Entrée avec un seul champ rempli : rien n'est ajouté.
    e->Edit3->clear();
    QTest::keyClick(e->Edit2, Qt::Key_Return);
    EXPECT_EQ(e->NbLignes, 0);
    QTest::keyClicks(e->Edit3, QStringLiteral("1"));
    QTest::keyClick(e->Edit3, Qt::Key_Return);
    EXPECT_EQ(e->NbLignes, 1);
    // Entrée dans le nom : "Ok".
    e->Edit1->setText(QStringLiteral("Eté"));
    QTest::keyClick(e->Edit1, Qt::Key_Return);
    EXPECT_EQ(doc->BoiteVue(1)->Nom, QStringLiteral("Eté"));
}

// La barre d'état ne dit « 1 » que si Ok accepte la somme (même règle, dans le noyau).
TEST_F(EditeurEtat, BarreDEtatDAccordAvecOk)
{
    const struct {
        QStringList probas;
        bool accepte;
    } cas[] = {
        {{"0,35", "0,3", "0,15", "0,2"}, true}, // somme décimale exacte
        {{"0,33", "0,33", "0,33"}, false},
        {{"0,99999996"}, false}, // se lisait 1 avec sept chiffres
    };
    const QString un = QStringLiteral("Somme des probabilités : 1");
    for (const auto &c : cas) {
        TForm2 *e = ouvrir(2);
        while (e->NbLignes > 0) {
            e->StringGrid1->setCurrentCell(0, 0);
            e->RetirerClick();
        }
        for (int i = 0; i < c.probas.size(); ++i)
            paire(e, QStringLiteral("s") + QString::number(i), c.probas[i]);
        const QString barre = e->StatusBar1->currentMessage();
        EXPECT_EQ(barre == un, c.accepte) << c.probas.join(' ').toStdString() << " : " << barre.toStdString();
        EXPECT_EQ(e->OkClick(), c.accepte) << c.probas.join(' ').toStdString();
    }
}
