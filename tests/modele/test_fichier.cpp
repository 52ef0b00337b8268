// Format des modèles : brouillage, aller-retour, fichiers mal formés.
#include "outils_test.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/textes.h"

#include <QFile>

namespace {

// Modèle de l'exemple annoté : START, deux états, trois arcs.
const QStringList exemple = {
    QStringLiteral("[MotDePasse]=Vide"),
    QStringLiteral("[Start]=1"),
    QStringLiteral("[Etats]=2"),
    QStringLiteral("[Dernier]=2"),
    QStringLiteral("START 0 20 20 40 80 "),
    QStringLiteral("Etat_1 2 160 40 70 110 a 0.6 b 0.4 "),
    QStringLiteral("Etat_2 1 160 160 60 110 b 1 "),
    QStringLiteral("[Arcs]=3"),
    QStringLiteral("98 48 162 63 214 108 214 162 157 61 162 63 "),
    QStringLiteral("1 0.7 0.3 "),
    QStringLiteral("0 0 0 0 0 0 "),
    QStringLiteral("0 0 0 "),
    QStringLiteral("0 1 1 2 1 1 "),
    QStringLiteral("130 55 214 135 162 22 "),
};

class Fichier : public TestAvecRepertoire {};

QByteArray brut(const QStringList &lignes)
{
    QByteArray o;
    for (const QString &l : lignes)
        o += FichierModele::Brouiller(Textes::Encoder(l)) + "\r\n";
    return o;
}

void ecrireBrut(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(octets);
}

}

TEST_F(Fichier, BrouillageOctetParOctetEtInvolutif)
{
    const QByteArray clair("[Start]=1");
    const QByteArray b = FichierModele::Brouiller(clair);
    ASSERT_EQ(b.size(), clair.size());
    for (int i = 0; i < clair.size(); ++i)
        EXPECT_EQ(char(clair[i] ^ char(5871 & 0xFF)), b[i]);
    EXPECT_EQ(FichierModele::Brouiller(b), clair);
}

TEST_F(Fichier, AllerRetourDonneLesMemesLignes)
{
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.ChargerLignes(exemple, false, QStringLiteral("x"), &erreur), Chargement::Reussi) << qPrintable(erreur);
    EXPECT_EQ(d.N(), 2);
    EXPECT_TRUE(d.StartPresent());
    EXPECT_EQ(d.GrapheVue()->NbArcs, 3);
    EXPECT_EQ(d.LignesModele(), exemple);

    // Sur disque : brouillé, fins de ligne CR LF, relu à l'identique.
    const QString chemin = Chemin(QStringLiteral("m.hmm"));
    ASSERT_TRUE(d.EnregistrerFichier(chemin, &erreur));
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), brut(exemple));
    DocumentModele e;
    ASSERT_EQ(e.DessinerFichier(chemin, &erreur), Chargement::Reussi);
    EXPECT_EQ(e.LignesModele(), exemple);
}

TEST_F(Fichier, SansStartSansArcEtAvecMotDePasse)
{
    const QStringList sansStart = {
        QStringLiteral("[MotDePasse]=secret"), QStringLiteral("[Start]=0"), QStringLiteral("[Etats]=1"),
        QStringLiteral("[Dernier]=0"),         QStringLiteral("Seul 1 10 10 60 100 x 1 "),
        QStringLiteral("[Arcs]=0"),            QString(), QString(), QString(), QString(), QString(), QString(),
    };
    DocumentModele d;
    QString erreur;
    bool demande = false;
    d.DefinirIdentification([&](const QString &m) {
        demande = true;
        return m == QLatin1String("secret");
    });
    const QString chemin = Chemin(QStringLiteral("s.hmm"));
    ecrireBrut(chemin, brut(sansStart));
    ASSERT_EQ(d.DessinerFichier(chemin, &erreur), Chargement::Reussi) << qPrintable(erreur);
    EXPECT_TRUE(demande);
    EXPECT_FALSE(d.StartPresent());
    EXPECT_EQ(d.MotDePasse(), QStringLiteral("secret"));
    EXPECT_EQ(d.GrapheVue()->NbArcs, 0);
    EXPECT_EQ(d.LignesModele(), sansStart);

    // Annulation de l'identification : rien n'est chargé, plus de nom de fichier.
    DocumentModele e;
    ASSERT_TRUE(e.Enregistrer(Chemin(QStringLiteral("avant.hmm")), &erreur));
    e.NouvelEtat(true, QPoint(50, 50));
    e.DefinirIdentification([](const QString &) { return false; });
    EXPECT_EQ(e.DessinerFichier(chemin, &erreur), Chargement::MotDePasseRefuse);
    EXPECT_EQ(e.N(), 0);
    EXPECT_TRUE(e.NomFichier().isEmpty());
    EXPECT_FALSE(e.EstModifie());
}

TEST_F(Fichier, LesProbabilitesNullesDisparaissentAuChargement)
{
    QStringList l = exemple;
    l[5] = QStringLiteral("Etat_1 2 160 40 70 110 a 0 b 0.4 ");
    l[9] = QStringLiteral("1 0.0 0.3 ");
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.ChargerLignes(l, false, QStringLiteral("x"), &erreur), Chargement::Reussi);
    EXPECT_EQ(d.BoiteVue(1)->NbSymboles, 1);
    EXPECT_EQ(d.BoiteVue(1)->Generation[1][1], QStringLiteral("b"));
    EXPECT_EQ(d.GrapheVue()->NbArcs, 2);
    const QStringList r = d.LignesModele();
    EXPECT_EQ(r[5], QStringLiteral("Etat_1 1 160 40 70 110 b 0.4 "));
    EXPECT_EQ(r[7], QStringLiteral("[Arcs]=2"));
    EXPECT_EQ(r[9], QStringLiteral("1 0.3 "));
    // hmmcalc lit le contenu sans boîtes : la même règle, le même modèle.
    ContenuModele c;
    ASSERT_TRUE(FichierModele::Lire(l, &c, &erreur));
    EXPECT_EQ(FichierModele::Ecrire(c), r);
}

TEST_F(Fichier, JetonsLongsEtCaracteresAccentuesIntacts)
{
    QStringList l = exemple;
    l[0] = QStringLiteral("[MotDePasse]=UnMotDePasseTresLong");
    // « â » se brouille en CR au milieu de la ligne : le lecteur l'accepte, l'écrivain aussi.
    l[5] = QStringLiteral("EtatAuNomVraimentTresLongâ 2 160 40 70 110 symbole_long_à_é 0.6 b 0.4 ");
    DocumentModele d;
    QString erreur;
    d.DefinirIdentification([](const QString &) { return true; });
    const QString chemin = Chemin(QStringLiteral("long.hmm"));
    ecrireBrut(chemin, brut(l));
    ASSERT_EQ(d.DessinerFichier(chemin, &erreur), Chargement::Reussi) << qPrintable(erreur);
    EXPECT_EQ(d.BoiteVue(1)->Nom, QStringLiteral("EtatAuNomVraimentTresLongâ"));
    EXPECT_EQ(d.LignesModele(), l);
    EXPECT_TRUE(d.EnregistrerFichier(Chemin(QStringLiteral("relu.hmm")), &erreur)) << qPrintable(erreur);
}

TEST_F(Fichier, TextesQueLeFormatNePeutPasPorter)
{
    EXPECT_TRUE(FichierModele::TextePortable(QStringLiteral("Etat_é")));
    for (const QString &t : {QString(), QStringLiteral("a b"), QStringLiteral("â"), QStringLiteral("å"),
                             QStringLiteral("ï"), QStringLiteral("漢"),
                             QStringLiteral("a\x1b[2J"), QStringLiteral("a\x07"), QString(QChar(0)) + QStringLiteral("x")})
        EXPECT_FALSE(FichierModele::TextePortable(t)) << qPrintable(t);
}

// Fichiers mal formés : chacun refusé avec un message nommant le fichier, rien de chargé.
TEST_F(Fichier, FichiersMalFormesRefusesSansRienCharger)
{
    auto modif = [](int ligne, const QString &v) {
        QStringList l = exemple;
        l[ligne] = v;
        return l;
    };
    auto sans = [](int ligne) {
        QStringList l = exemple;
        l.removeAt(ligne);
        return l;
    };
    QList<QPair<const char *, QByteArray>> cas = {
        {"vide", QByteArray()},
        {"texte en clair", QByteArray("[MotDePasse]=Vide\r\n[Start]=1\r\n")},
        {"octets au hasard", QByteArray("\x01\x02\x03\xff\xfe garbage\r\n\x10\x11")},
        {"tronque apres l'en-tete", brut(exemple.mid(0, 4))},
        {"tronque dans les etats", brut(exemple.mid(0, 6))},
        {"tronque dans les arcs", brut(exemple.mid(0, 11))},
        {"start illisible", brut(modif(1, QStringLiteral("[Start]=oui")))},
        {"nombre d'etats illisible", brut(modif(2, QStringLiteral("[Etats]=deux")))},
        {"nombre d'etats trop grand", brut(modif(2, QStringLiteral("[Etats]=3")))},
        {"nombre d'etats trop petit", brut(modif(2, QStringLiteral("[Etats]=1")))},
        {"nombre d'etats negatif", brut(modif(2, QStringLiteral("[Etats]=-1")))},
        {"plus de 99 etats", brut(modif(2, QStringLiteral("[Etats]=100")))},
        {"dernier illisible", brut(modif(3, QStringLiteral("[Dernier]=x")))},
        {"paires annoncees en trop", brut(modif(5, QStringLiteral("Etat_1 3 160 40 70 110 a 0.6 b 0.4 ")))},
        {"taille illisible", brut(modif(5, QStringLiteral("Etat_1 2 160 40 grand 110 a 0.6 b 0.4 ")))},
        {"probabilite de paire illisible", brut(modif(5, QStringLiteral("Etat_1 2 160 40 70 110 a six b 0.4 ")))},
        {"trop de paires", brut(modif(5, QStringLiteral("Etat_1 99 160 40 70 110 ")))},
        {"nombre d'arcs faux", brut(modif(7, QStringLiteral("[Arcs]=4")))},
        {"plus de 98 arcs", brut(modif(7, QStringLiteral("[Arcs]=99")))},
        {"points incomplets", brut(modif(8, QStringLiteral("98 48 162 63 ")))},
        {"etiquette illisible", brut(modif(9, QStringLiteral("1 abc 0.3 ")))},
        {"rayon illisible", brut(modif(11, QStringLiteral("0 0 r ")))},
        {"index d'etat hors bornes", brut(modif(12, QStringLiteral("0 1 1 7 1 1 ")))},
        {"index negatif", brut(modif(12, QStringLiteral("0 1 1 -2 1 1 ")))},
        {"arc vers START", brut(modif(12, QStringLiteral("1 0 1 2 1 1 ")))},
        {"ligne d'arc manquante", brut(sans(13))},
        {"lignes en trop", brut(exemple + QStringList{QStringLiteral("intrus")})},
        {"sans ligne du mot de passe", brut(sans(0))},
        {"premier etat qui n'est pas START", brut(modif(4, QStringLiteral("DEBUT 0 20 20 40 80 ")))},
        {"NUL dans le fichier", QByteArray(brut(exemple)).replace(5, 1, QByteArray(1, char(0xEF)))},
    };
    ASSERT_GE(cas.size(), 20);
    for (const auto &[nom, octets] : cas) {
        const QString chemin = Chemin(QStringLiteral("mauvais.hmm"));
        ecrireBrut(chemin, octets);
        DocumentModele d;
        d.DefinirIdentification([](const QString &) { return true; });
        // Un modèle déjà là ne doit pas être touché par l'échec.
        QString erreur;
        ASSERT_EQ(d.ChargerLignes(exemple, false, QStringLiteral("x"), &erreur), Chargement::Reussi);
        erreur.clear();
        EXPECT_EQ(d.DessinerFichier(chemin, &erreur), Chargement::Erreur) << nom;
        EXPECT_TRUE(erreur.contains(QStringLiteral("mauvais.hmm"))) << nom << " : " << qPrintable(erreur);
        EXPECT_EQ(d.LignesModele(), exemple) << nom;
    }
}

TEST_F(Fichier, FichierAbsentRefuse)
{
    DocumentModele d;
    QString erreur;
    EXPECT_EQ(d.DessinerFichier(Chemin(QStringLiteral("absent.hmm")), &erreur), Chargement::Erreur);
    EXPECT_TRUE(erreur.contains(QStringLiteral("absent.hmm")));
}

TEST_F(Fichier, EnregistrementEnEchecNeLaisseRien)
{
    DocumentModele d;
    QString erreur;
    ASSERT_EQ(d.ChargerLignes(exemple, false, QStringLiteral("x"), &erreur), Chargement::Reussi);
    EXPECT_FALSE(d.EnregistrerFichier(Chemin(QStringLiteral("dossier/absent/m.hmm")), &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}
