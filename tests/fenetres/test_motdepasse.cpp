// Les quatre boîtes du mot de passe, manipulées comme un utilisateur.
#include "outils_test.h"
#include "dialogs/changermotdepasse.h"
#include "dialogs/identification.h"
#include "dialogs/motdepass.h"
#include "dialogs/suppmotdepass.h"
#include "model/document.h"
#include "skin/messages.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class MotDePasse : public TestAvecRepertoire {
protected:
    void SetUp() override
    {
        TestAvecRepertoire::SetUp();
        Messages::DefinirRepondeur([this](const Messages::Message &m) {
            messages << m.Texte;
            EXPECT_EQ(m.Titre, QStringLiteral("hmmbench    Erreur"));
            return Messages::Reponse::Ok;
        });
    }
    void TearDown() override
    {
        Messages::DefinirRepondeur({});
        TestAvecRepertoire::TearDown();
    }
    void taper(QLineEdit *e, const QString &t)
    {
        e->clear();
        // QTest ne sait frapper que l'ASCII ; le reste est collé.
        bool ascii = true;
        for (QChar c : t)
            ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(e, t);
        else
            e->insert(t);
    }
    QStringList messages;
    DocumentModele doc;
};

}

TEST_F(MotDePasse, AjouterRefuseConfirmationFausseEtMotsImpossibles)
{
    TForm6 f(doc);
    f.show();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Ajouter un mot de passe"));
    taper(f.Edit1, QStringLiteral("abc"));
    taper(f.Edit2, QStringLiteral("abd"));
    QTest::mouseClick(f.Valider, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QStringLiteral("Le mot de passe ne correspond pas à la confirmation"));
    EXPECT_EQ(f.Edit2->selectedText(), QStringLiteral("abd"));
    EXPECT_TRUE(f.isVisible());

    for (const QString &m : {QStringLiteral("Vide"), QStringLiteral("a b"), QStringLiteral("mâ")}) {
        taper(f.Edit1, m);
        taper(f.Edit2, m);
        QTest::mouseClick(f.Valider, Qt::LeftButton);
        EXPECT_EQ(doc.MotDePasse(), QStringLiteral("Vide")) << qPrintable(m);
    }
    EXPECT_EQ(messages.size(), 4);

    taper(f.Edit1, QStringLiteral("secret"));
    taper(f.Edit2, QStringLiteral("secret"));
    QTest::mouseClick(f.Valider, Qt::LeftButton);
    EXPECT_EQ(doc.MotDePasse(), QStringLiteral("secret"));
    EXPECT_TRUE(doc.EstModifie());
    EXPECT_EQ(f.result(), QDialog::Accepted);
}

TEST_F(MotDePasse, SupprimerEtModifier)
{
    doc.ChangerMotDePasse(QStringLiteral("secret"));
    TForm7 s(doc);
    s.show();
    taper(s.Edit1, QStringLiteral("Secret"));
    QTest::mouseClick(s.Valider, Qt::LeftButton);
    EXPECT_EQ(messages.value(0), QStringLiteral("Mot de passe incorrect"));
    EXPECT_EQ(doc.MotDePasse(), QStringLiteral("secret"));
    taper(s.Edit1, QStringLiteral("secret"));
    QTest::mouseClick(s.Valider, Qt::LeftButton);
    EXPECT_EQ(doc.MotDePasse(), QStringLiteral("Vide"));

    doc.ChangerMotDePasse(QStringLiteral("un"));
    TForm8 m(doc);
    m.show();
    taper(m.Edit1, QStringLiteral("deux"));
    taper(m.Edit2, QStringLiteral("trois"));
    taper(m.Edit3, QStringLiteral("trois"));
    QTest::mouseClick(m.Valider, Qt::LeftButton);
    EXPECT_EQ(messages.value(1), QStringLiteral("Mot de passe incorrect"));
    taper(m.Edit1, QStringLiteral("un"));
    taper(m.Edit3, QStringLiteral("quatre"));
    QTest::mouseClick(m.Valider, Qt::LeftButton);
    EXPECT_EQ(messages.value(2), QStringLiteral("Le mot de passe ne correspond pas à la confirmation"));
    taper(m.Edit3, QStringLiteral("trois"));
    QTest::mouseClick(m.Valider, Qt::LeftButton);
    EXPECT_EQ(doc.MotDePasse(), QStringLiteral("trois"));
}

TEST_F(MotDePasse, IdentificationSansLimiteDEssais)
{
    TForm9 f(QStringLiteral("clef"));
    f.show();
    EXPECT_FALSE(f.Accepte);
    for (int i = 0; i < 3; ++i) {
        taper(f.Edit1, QStringLiteral("faux"));
        QTest::mouseClick(f.Valider, Qt::LeftButton);
    }
    EXPECT_EQ(messages.size(), 3);
    EXPECT_FALSE(f.Accepte);
    taper(f.Edit1, QStringLiteral("clef"));
    QTest::mouseClick(f.Valider, Qt::LeftButton);
    EXPECT_TRUE(f.Accepte);
}
