#include "dialogs/aide.h"
#include "model/repertoire.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

FenetreAide::FenetreAide(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Aide de hmmbench"));
    resize(760, 620);
    auto *v = new QVBoxLayout(this);
    auto *barre = new QHBoxLayout;
    auto *sommaire = new QPushButton(QStringLiteral("Sommaire"), this);
    auto *precedent = new QPushButton(QStringLiteral("Précédent"), this);
    auto *fermer = new QPushButton(QStringLiteral("Fermer"), this);
    barre->addWidget(sommaire);
    barre->addWidget(precedent);
    barre->addStretch();
    barre->addWidget(fermer);
    v->addLayout(barre);
    Navigateur = new QTextBrowser(this);
    Navigateur->setOpenLinks(true);
    v->addWidget(Navigateur);
    connect(sommaire, &QPushButton::clicked, this, [this] { Ouvrir(QString()); });
    connect(precedent, &QPushButton::clicked, Navigateur, &QTextBrowser::backward);
    connect(Navigateur, &QTextBrowser::backwardAvailable, precedent, &QPushButton::setEnabled);
    connect(fermer, &QPushButton::clicked, this, &QWidget::close);
    precedent->setEnabled(false);
}

void FenetreAide::Ouvrir(const QString &sujet)
{
    const QString page = Aide::Page(sujet);
    if (QFileInfo::exists(page)) {
        Navigateur->setSource(QUrl::fromLocalFile(page));
    } else {
        Navigateur->setHtml(QStringLiteral("<h2>Aide introuvable</h2><p>La page d'aide « %1 » n'existe pas à "
                                           "côté du programme.</p>")
                                .arg(page.toHtmlEscaped()));
    }
}

bool FenetreAide::event(QEvent *e)
{
    // Une boîte bloquante ouverte après l'aide la bloquerait jusqu'à sa fermeture : l'aide
    // passe devant elle, comme quand on l'ouvre depuis la boîte.
    if (e->type() == QEvent::WindowBlocked && isVisible() && windowModality() != Qt::ApplicationModal)
        QTimer::singleShot(0, this, [this] {
            hide();
            setWindowModality(Qt::ApplicationModal);
            show();
        });
    return QWidget::event(e);
}

namespace Aide {

QString Page(const QString &sujet)
{
    return Repertoire::Fichier(QStringLiteral("Aide/") + (sujet.isEmpty() ? QStringLiteral("index") : sujet) +
                               QStringLiteral(".htm"));
}

FenetreAide *Afficher(const QString &sujet)
{
    static QPointer<FenetreAide> fenetre;
    if (!fenetre) {
        fenetre = new FenetreAide;
        fenetre->setAttribute(Qt::WA_DeleteOnClose);
    }
    // Ouverte depuis une boîte qui bloque la fenêtre principale : l'aide passe devant elle
    // et reste utilisable (sinon la boîte la bloquerait aussi).
    if (QApplication::activeModalWidget() && fenetre->windowModality() != Qt::ApplicationModal) {
        fenetre->hide();
        fenetre->setWindowModality(Qt::ApplicationModal);
    }
    fenetre->Ouvrir(sujet);
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
    return fenetre;
}

}
