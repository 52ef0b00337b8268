// La fenêtre des traces : ouverture, choix de la trace, erreurs, enregistrement, impression.
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/entrainement_viterbi.h"
#include "algorithms/enumeration.h"
#include "algorithms/evaluation.h"
#include "algorithms/sequence.h"
#include "model/document.h"
#include "modeles_test.h"
#include "outils_trace.h"
#include "skin/messages.h"
#include "trace/enregistrement.h"
#include "visionneuse/suivi_trace.h"
#include "trace/traces_evaluation.h"
#include "visionneuse/trace.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>

class FenetreTrace : public TestTrace {
protected:
    QWidget principale;
    DocumentModele d;
    EspaceTravail espace;
    SuiviTrace *suivi = nullptr;
    QList<Messages::Message> messages;

    void SetUp() override
    {
        TestTrace::SetUp();
        Messages::DefinirRepondeur([this](const Messages::Message &m) {
            messages << m;
            return Messages::Reponse::Ok;
        });
        ConstruireE1E2(d);
        suivi = new SuiviTrace(&principale, d, espace);
    }
    void TearDown() override
    {
        Messages::DefinirRepondeur(nullptr);
        delete suivi;
        TestTrace::TearDown();
    }
    // Un calcul comme le fait sa boîte : paramètres tirés du graphe, séquence découpée.
    void Preparer(const QString &sequence)
    {
        espace.SequenceObservations = sequence;
        espace.DecoupageCaractere = true;
        d.CalculerParametres();
        DecouperSequence(d.Parametres(), espace);
    }
    void Fin(const QString &algorithme)
    {
        espace.DernierAlgorithme = algorithme;
        suivi->Memoriser();
    }
    QString Page(TForm20 *f) { return f->CppWebBrowser1->toPlainText(); }
    QImage ImageAffichee(TForm20 *f)
    {
        const QVariant v = f->CppWebBrowser1->document()->resource(QTextDocument::ImageResource,
                                                                   QUrl("A_directe_fichiers/Hmm.bmp"));
        return v.value<QImage>();
    }
};

TEST_F(FenetreTrace, Presentation)
{
    TForm20 *f = suivi->Fenetre();
    EXPECT_EQ(f->windowTitle(), "Voir la trace d'exécution");
    EXPECT_EQ(TForm20::Titre, " Voir la trace d'exécution");
    EXPECT_EQ(f->minimumWidth(), 200);
    QStringList barre, menu;
    for (QAction *a : f->ToolBar1->actions())
        barre << (a->isSeparator() ? "-" : a->text());
    for (QAction *a : f->PopupMenu1->actions())
        menu << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(barre, (QStringList{"Enregistrer sous ...", "Imprimer", "-", "Fermer"}));
    EXPECT_EQ(menu, barre);
    EXPECT_EQ(f->CppWebBrowser1->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(FenetreTrace, TraceForwardAvecImage)
{
    Preparer("ab");
    CalculerForward(d.Parametres(), espace);
    Fin("Forward");
    TForm20 *f = suivi->Voir(false);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(f->windowTitle(), "Voir la trace d'exécution (Forward)");
    EXPECT_TRUE(messages.isEmpty());
    const QString page = Page(f);
    EXPECT_TRUE(page.contains("Séquence d'observations étudiée")) << page.left(300).toStdString();
    EXPECT_TRUE(page.contains("\"a-b\""));
    EXPECT_TRUE(page.contains("α2(E1)+α2(E2)"));
    EXPECT_TRUE(page.contains("0.1915"));
    EXPECT_EQ(f->CppWebBrowser1->source(), QUrl::fromLocalFile(Chemin("Modeles/Trace.htm")));
    EXPECT_EQ(ImageAffichee(f).size(), QSize(500, 400));
    f->close();
}

TEST_F(FenetreTrace, EnumerationApresForwardGardeSaTrace)
{
    Preparer("ab");
    CalculerForward(d.Parametres(), espace);
    Fin("Forward");
    // L'énumération réécrit séquence et probabilité sans changer le dernier algorithme.
    Preparer("abba");
    ASSERT_TRUE(EnumererChemins(d.Parametres(), espace));
    TForm20 *f = suivi->Voir(false);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(f->windowTitle(), "Voir la trace d'exécution (Forward)");
    EXPECT_TRUE(Page(f).contains("\"a-b\""));
    EXPECT_TRUE(Page(f).contains("0.1915"));
    EXPECT_FALSE(Page(f).contains("abba"));
    f->close();
}

TEST_F(FenetreTrace, ModeleAbsentLaFenetreSOuvreSurLaPagePrecedente)
{
    Preparer("ab");
    CalculerForward(d.Parametres(), espace);
    Fin("Forward");
    TForm20 *f = suivi->Voir(false);
    f->close();
    const QString avant = Page(f);
    ASSERT_TRUE(QFile::remove(Chemin("Modeles/Backward.htm")));
    CalculerBackward(d.Parametres(), espace);
    Fin("Backward");
    f = suivi->Voir(false);
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].Titre, Messages::TitreErreur);
    EXPECT_TRUE(messages[0].Texte.contains("Backward.htm"));
    EXPECT_EQ(f->windowTitle(), "Voir la trace d'exécution (Backward)");
    EXPECT_EQ(Page(f), avant);
    f->close();
}

TEST_F(FenetreTrace, SansDernierAlgorithme)
{
    TForm20 *f = suivi->Voir(false);
    EXPECT_EQ(f->windowTitle(), "Voir la trace d'exécution ()");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Chemin("Modeles/Trace.htm")));
    EXPECT_TRUE(Page(f).isEmpty());
    f->close();
}

TEST_F(FenetreTrace, EntrainementSansJournal)
{
    espace.SequenceObservations = "ab";
    espace.NombreIterations = 1;
    espace.Seuil = 2;
    EntrainerBaumWelch(d, espace, &suivi->Observateur);
    Fin("Entraînement de BaumWelch");
    ASSERT_TRUE(QFile::remove(Chemin("APP.txt")));
    TForm20 *f = suivi->Voir(false);
    EXPECT_TRUE(f->isVisible());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].Texte.contains("APP.txt"));
    f->close();
}

TEST_F(FenetreTrace, EntrainementDontLaTraceAEchoue)
{
    ASSERT_TRUE(QFile::remove(Chemin("Modeles/AppViterbi.htm")));
    espace.SequenceObservations = "ab";
    EntrainerViterbi(d, espace, &suivi->Observateur);
    Fin("Entraînement de Viterbi");
    TForm20 *f = suivi->Voir(false);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].Texte.contains("AppViterbi.htm"));
    f->close();
}

TEST_F(FenetreTrace, EnregistrerSousAvecSonImage)
{
    Preparer("ab");
    CalculerForward(d.Parametres(), espace);
    Fin("Forward");
    TForm20 *f = suivi->Voir(false);
    f->close();
    const QString dossier = Chemin("copies");
    QDir().mkpath(dossier);
    QString choisi = dossier + "/Ma trace é.htm";
    f->DemanderEnregistrement = [&] { return choisi; };
    f->Enregistrersous1Click();
    EXPECT_TRUE(messages.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(choisi));
    EXPECT_TRUE(QFileInfo::exists(dossier + "/Ma trace é_fichiers/Hmm.bmp"));
    const QString copie = Texte("copies/Ma trace é.htm");
    EXPECT_TRUE(copie.contains("<img src=\"Ma%20trace%20%C3%A9_fichiers/Hmm.bmp\"></img>"));
    EXPECT_FALSE(copie.contains("A_directe_fichiers"));

    // La copie montre encore l'image, même une fois l'original effacé.
    QFile::remove(Chemin("Modeles/A_directe_fichiers/Hmm.bmp"));
    NavigateurTrace n;
    n.Ouvrir(choisi);
    EXPECT_TRUE(n.toPlainText().contains("0.1915"));
    QTextDocument *doc = n.document();
    bool trouvee = false;
    for (QTextBlock b = doc->begin(); b != doc->end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString nom = it.fragment().charFormat().toImageFormat().name();
                trouvee = !doc->resource(QTextDocument::ImageResource, QUrl(nom)).value<QImage>().isNull();
            }
    EXPECT_TRUE(trouvee);

    // Un chemin impossible : message, rien de perdu.
    choisi = Chemin("absent/dossier/x.htm");
    f->DemanderEnregistrement = [&] { return choisi; };
    f->Enregistrersous1Click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].Texte.contains("x.htm"));
    // Annulé : rien.
    f->DemanderEnregistrement = [] { return QString(); };
    f->Enregistrersous1Click();
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(FenetreTrace, ImprimerEnPdf)
{
    Preparer("ab");
    CalculerForward(d.Parametres(), espace);
    Fin("Forward");
    TForm20 *f = suivi->Voir(false);
    const QString pdf = Chemin("trace.pdf");
    bool demande = false;
    f->DemanderImpression = [&](QPrinter &p) {
        demande = true;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return true;
    };
    f->Imprimer1Click();
    EXPECT_TRUE(demande);
    QFile fichier(pdf);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.read(4) == "%PDF");
    EXPECT_GT(fichier.size(), 10000); // texte et image
    // Impression annulée : rien n'est produit.
    QFile::remove(pdf);
    f->DemanderImpression = [](QPrinter &) { return false; };
    f->Imprimer1Click();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    f->close();
}

// La longue somme de l'approche directe passe à la ligne sur la page imprimée ; la page
// montrée, elle, ne change pas.
TEST_F(FenetreTrace, ImpressionCoupeLesLonguesSommes)
{
    Preparer("abbaabba");
    ASSERT_TRUE(EnumererChemins(d.Parametres(), espace));
    Fin(Trace::AlgorithmeDirect);
    TForm20 *f = suivi->Voir(false);
    const QString montree = Page(f);
    std::unique_ptr<QTextDocument> copie(f->CppWebBrowser1->document()->clone());
    copie->setPageSize(QSizeF(TForm20::LargeurImpression, 1500));
    EXPECT_GT(copie->size().width(), TForm20::LargeurImpression); // sans coupure, elle sort de la page
    TForm20::PermettreCoupures(*copie);
    EXPECT_LE(copie->size().width(), TForm20::LargeurImpression);
    EXPECT_EQ(copie->toPlainText().remove(QChar(0x200B)), montree);
    EXPECT_EQ(Page(f), montree);
    f->close();
}

// Une grande page se lit en fond : indication de chargement et impression suspendue, puis la
// page entière avec son image ; la dernière ouverture demandée l'emporte.
TEST_F(FenetreTrace, GrandePageLueEnFond)
{
    QDir().mkpath(Chemin("grande_fichiers"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(Chemin("grande_fichiers/Hmm.bmp"), "BMP"));
    auto ecrire = [&](const QString &nom, int lignes) {
        QFile f(Chemin(nom));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body><img src=\"grande_fichiers/Hmm.bmp\"></img><table>");
        for (int k = 0; k < lignes; ++k)
            f.write(QStringLiteral("<tr><td>%1</td><td>0,123456789012345</td></tr>").arg(k).toLatin1());
        f.write(QStringLiteral("</table>FIN-%1</body></html>").arg(nom).toLatin1());
    };
    ecrire("grande.htm", 5000);
    ecrire("petite.htm", 10);
    ASSERT_GT(QFileInfo(Chemin("grande.htm")).size(), NavigateurTrace::TailleLectureDirecte);
    const struct {
        QStringList ouvertures;
        const char *montre;
    } cas[] = {
        {{"grande.htm"}, "FIN-grande.htm"},
        {{"grande.htm", "petite.htm"}, "FIN-petite.htm"},
        {{"petite.htm", "grande.htm"}, "FIN-grande.htm"},
    };
    for (const auto &c : cas) {
        TForm20 f;
        f.show();
        QSignalSpy fin(f.CppWebBrowser1, &NavigateurTrace::chargementTermine);
        for (const QString &o : c.ouvertures)
            f.CppWebBrowser1->Ouvrir(Chemin(o));
        const bool enFond = c.ouvertures.constLast() == "grande.htm";
        EXPECT_EQ(f.Progression->isVisible(), enFond) << c.montre;
        EXPECT_EQ(f.Imprimer1->isEnabled(), !enFond) << c.montre;
        if (enFond) {
            ASSERT_TRUE(fin.wait(120000)) << c.montre;
        }
        EXPECT_TRUE(f.CppWebBrowser1->toPlainText().contains(c.montre)) << c.montre;
        EXPECT_FALSE(f.Progression->isVisible()) << c.montre;
        EXPECT_TRUE(f.Imprimer1->isEnabled()) << c.montre;
        const QVariant v = f.CppWebBrowser1->document()->resource(QTextDocument::ImageResource,
                                                                  QUrl("grande_fichiers/Hmm.bmp"));
        EXPECT_EQ(v.value<QImage>().size(), QSize(40, 30)) << c.montre;
    }
}
