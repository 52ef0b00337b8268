// "Voir la trace d'exécution" depuis la fenêtre principale : boîtes des algorithmes, menu et
// bouton ToolButton23, fenêtre modale.
#include "outils_principale.h"
#include "calculs/baumwelch.h"
#include "calculs/cheminspossible.h"
#include "calculs/forward.h"
#include "visionneuse/trace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QToolButton>

class PrincipaleTrace : public FenetreComplete {
protected:
    void SetUp() override
    {
        FenetreComplete::SetUp();
        const QDir source(QStringLiteral(HMM_MODELES_TRACE));
        QDir().mkpath(Chemin("Modeles"));
        for (const QString &n : source.entryList({"*.htm"}, QDir::Files))
            QFile::copy(source.filePath(n), Chemin("Modeles/" + n));
        ouvrir();
    }
    struct Vue {
        QString titre, page;
        bool modale = false, agrandie = false;
    };
    // Déclenche `commande` ; la fenêtre des traces, modale, est relevée puis fermée dès que sa
    // boucle tourne.
    Vue Voir(const std::function<void()> &commande)
    {
        Vue v;
        QTimer::singleShot(0, [&] {
            auto *t = qobject_cast<TForm20 *>(QApplication::activeModalWidget());
            if (!t)
                return;
            v = {t->windowTitle(), t->CppWebBrowser1->toPlainText(), true,
                 bool(t->windowState() & Qt::WindowMaximized)};
            t->close();
        });
        commande();
        return v;
    }
};

TEST_F(PrincipaleTrace, ForwardPuisEnumerationPuisTrace)
{
    lancer(f->Forward1Click(), QStringLiteral("ab"));
    traiterFermetures();
    // L'énumération ne change pas la trace disponible.
    lancer(f->Enumerer1Click(), QStringLiteral("abba"));
    traiterFermetures();
    ASSERT_TRUE(Parties(*f).Rapport1->isEnabled());
    const Vue v = Voir([&] { Parties(*f).Rapport1->trigger(); });
    EXPECT_TRUE(v.modale);
    EXPECT_TRUE(v.agrandie);
    EXPECT_EQ(v.titre, QStringLiteral("Voir la trace d'exécution (Forward)"));
    EXPECT_TRUE(v.page.contains("\"a-b\""));
    EXPECT_TRUE(v.page.contains("0.1915"));
    EXPECT_TRUE(QFile::exists(Chemin("Modeles/A_directe_fichiers/Hmm.bmp")));
}

TEST_F(PrincipaleTrace, EntrainementVuDeuxFoisParLeBouton)
{
    QFile::remove(Chemin("Modeles/A_directe_fichiers/Hmm.bmp"));
    TForm11 *d = f->AppBaumWelch1Click();
    // L'image du modèle est prise à l'ouverture de la boîte d'entraînement.
    EXPECT_TRUE(QFile::exists(Chemin("Modeles/A_directe_fichiers/Hmm.bmp")));
    lancer(d, QStringLiteral("ab"));
    traiterFermetures();
    auto *bouton = f->findChild<QToolButton *>(QStringLiteral("ToolButton23"));
    ASSERT_NE(bouton, nullptr);
    const Vue v1 = Voir([&] { bouton->click(); });
    EXPECT_EQ(v1.titre, QStringLiteral("Voir la trace d'exécution (Entraînement de BaumWelch)"));
    EXPECT_EQ(v1.page.count("L'itération Numéro 1 :"), 1);
    EXPECT_FALSE(v1.page.contains("???"));
    const Vue v2 = Voir([&] { bouton->click(); });
    EXPECT_EQ(v2.page, v1.page);
    EXPECT_TRUE(messages.size() == 1 && messages[0].Titre == Messages::TitreInformation);
}
