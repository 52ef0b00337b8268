// Impression du graphe, mise en page et aperçu.
#include "editor/impression.h"
#include "editor/canevas.h"
#include "editor/principale.h"
#include "graph/hmm.h"
#include "model/document.h"
#include "model/image_modele.h"
#include "model/repertoire.h"
#include "model/textes.h"
#include "skin/messages.h"
#include "skin/presentation.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {
Impression::Demande demande;

bool demandeParDefaut(QPrinter &imprimante, QWidget *proprietaire)
{
    QPrintDialog d(&imprimante, proprietaire);
    d.setWindowTitle(QStringLiteral("Imprimer"));
    return d.exec() == QDialog::Accepted;
}

void messageEcriture(QWidget *parent, const QString &chemin, const QString &cause = QString())
{
    Messages::Erreur(parent, QStringLiteral("Impossible d'écrire le fichier \"%1\".").arg(chemin) +
                                 (cause.isEmpty() ? QString() : QLatin1Char('\n') + cause));
}

// Le bitmap passe par l'écriture vérifiée : un disque plein ne laisse pas d'image tronquée.
bool ecrireBmp(const QImage &image, const QString &chemin, QString *erreur)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&tampon, "BMP"))
        return false;
    return Textes::EcrireOctets(chemin, octets, erreur);
}
}

// ---- Impression ----

namespace Impression {

QPrinter &Imprimante()
{
    static QPrinter imprimante(QPrinter::HighResolution);
    return imprimante;
}

void DefinirDemande(Demande d)
{
    demande = std::move(d);
}

bool EnregistrerHmmBmp(const QImage &image, QWidget *parent)
{
    const QString chemin = Repertoire::Fichier(QStringLiteral("Hmm.bmp"));
    QString erreur;
    if (!ecrireBmp(image, chemin, &erreur)) {
        messageEcriture(parent, chemin, erreur);
        return false;
    }
    return true;
}

bool Peindre(QPrinter &imprimante, const QImage &image)
{
    if (image.isNull())
        return false;
    QPainter p;
    if (!p.begin(&imprimante))
        return false;
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(Cadre(image.size(), p.viewport()), image);
    return p.end();
}

QRect Cadre(QSize image, QRect page)
{
    if (image.isEmpty() || page.isEmpty())
        return {};
    QSize taille = image;
    taille.scale(page.size(), Qt::KeepAspectRatio);
    return {page.x() + (page.width() - taille.width()) / 2, page.y(), taille.width(), taille.height()};
}

QImage ImageImpression(DocumentModele &doc, QSize cadre)
{
    const QSize canevas(std::max(1, VueGraphe(doc)->width()), std::max(1, VueGraphe(doc)->height()));
    // Quarante millions de points au plus (160 Mo) : une page A4 entière à 600 points par pouce.
    constexpr double PointsMax = 40e6;
    double finesse = std::min(double(cadre.width()) / canevas.width(), double(cadre.height()) / canevas.height());
    finesse = std::clamp(std::min(finesse, std::sqrt(PointsMax / (double(canevas.width()) * canevas.height()))), 1.0, 32.0);
    QImage image(QSize(int(canevas.width() * finesse), int(canevas.height() * finesse)), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.setDevicePixelRatio(finesse);
    image.fill(Qt::white);
    QPainter p(&image);
    ImageModele::PeindreSansSelection(p, doc);
    p.end();
    return image;
}

bool PeindreModele(QPrinter &imprimante, DocumentModele &doc)
{
    QPainter p;
    if (!p.begin(&imprimante))
        return false;
    const QSize canevas(std::max(1, VueGraphe(doc)->width()), std::max(1, VueGraphe(doc)->height()));
    const QRect cadre = Cadre(canevas, p.viewport());
    const QImage image = ImageImpression(doc, cadre.size());
    if (image.isNull()) {
        p.end();
        return false;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // La taille en points de l'image, pas sa taille logique : un point de l'image par point
    // de l'imprimante (ou presque).
    p.drawImage(Cadre(image.size(), p.viewport()), image, image.rect());
    return p.end();
}

bool ImprimerModele(DocumentModele &doc, QWidget *proprietaire)
{
    QPrinter &imprimante = Imprimante();
    imprimante.setDocName(QStringLiteral("Hmm.bmp"));
    const bool accepte = demande ? demande(imprimante, proprietaire) : demandeParDefaut(imprimante, proprietaire);
    if (!accepte)
        return false;
    if (!PeindreModele(imprimante, doc)) {
        Messages::Erreur(proprietaire, QStringLiteral("L'impression n'a pas pu être lancée."));
        return false;
    }
    return true;
}

bool ImprimerImage(const QImage &image, QWidget *proprietaire)
{
    QPrinter &imprimante = Imprimante();
    imprimante.setDocName(QStringLiteral("Hmm.bmp"));
    const bool accepte = demande ? demande(imprimante, proprietaire) : demandeParDefaut(imprimante, proprietaire);
    if (!accepte)
        return false;
    if (!Peindre(imprimante, image)) {
        Messages::Erreur(proprietaire, QStringLiteral("L'impression n'a pas pu être lancée."));
        return false;
    }
    return true;
}

}

// ---- Aperçu ----

void ImageApercu::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (Picture.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(rect(), Picture);
}

TForm21::TForm21(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form21"));
    setWindowTitle(QStringLiteral(" Aperçu avant impréssion"));
    // Taille fixe : tout redimensionnement est refusé.
    setFixedSize(477, 500);

    Image1 = new ImageApercu(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 34, 458, 399);
    // Sans image, le cadre reste visible.
    Image1->setAutoFillBackground(true);
    QPalette pal = Image1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Image1->setPalette(pal);

    BitBtn1 = new QPushButton(QStringLiteral("Imprimer"), this);
    BitBtn2 = new QPushButton(QStringLiteral("Enregistrer sous ..."), this);
    BitBtn3 = new QPushButton(QStringLiteral("&Fermer"), this);
    BitBtn1->setGeometry(8, 444, 140, 27);
    BitBtn2->setGeometry(168, 444, 140, 27);
    BitBtn3->setGeometry(326, 444, 140, 27);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    // "Imprimer" répond à Entrée.
    BitBtn1->setDefault(true);
    BitBtn2->setAutoDefault(false);
    BitBtn3->setAutoDefault(false);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 481, 477, 19);

    connect(BitBtn1, &QPushButton::clicked, this, &TForm21::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::close);

    DemanderFichier = [this] {
        QFileDialog d(this, QStringLiteral("Enregistrer l'image sous"), QStringLiteral("Hmm.bmp"),
                      QStringLiteral("Images bitmap (*.bmp);;Tous les fichiers (*)"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("bmp"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
            return QString();
        return d.selectedFiles().first();
    };
}

void TForm21::keyPressEvent(QKeyEvent *e)
{
    // Échap est le raccourci d'"Enregistrer sous ...", pas celui de la fermeture.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        BitBtn2Click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TForm21::BitBtn1Click()
{
    QWidget *proprietaire = Proprietaire ? Proprietaire : this;
    Impression::EnregistrerHmmBmp(Image1->Picture, this);
    if (Document)
        Impression::ImprimerModele(*Document, proprietaire);
    else
        Impression::ImprimerImage(Image1->Picture, proprietaire);
}

bool TForm21::BitBtn2Click()
{
    const QString chemin = DemanderFichier ? DemanderFichier() : QString();
    if (chemin.isEmpty())
        return false;
    // L'image est un bitmap : elle est écrite comme telle, quel que soit le nom choisi.
    QString erreur;
    if (!ecrireBmp(Image1->Picture, chemin, &erreur)) {
        messageEcriture(this, chemin, erreur);
        return false;
    }
    return true;
}

// ---- Commandes de la fenêtre principale ----

ImpressionModele::ImpressionModele(TForm1 &fenetre)
    : QObject(&fenetre), f(fenetre), parties(Parties(fenetre))
{
    Form21 = new TForm21(&f);
    Form21->Proprietaire = &f;
    Form21->Image1->Picture = QImage(Form21->Image1->size(), QImage::Format_RGB32);
    Form21->Image1->Picture.fill(Qt::white);
}

void ImpressionModele::Configuration1Click()
{
    QPageSetupDialog d(&Impression::Imprimante(), &f);
    d.setWindowTitle(QStringLiteral("Configuration d'impréssion"));
    d.exec();
}

void ImpressionModele::Apercu1Click()
{
    // Le canevas entier étiré dans l'image, à la taille qu'elle a (celle du cadre, ou
    // celle du canevas après une impression).
    Form21->Image1->Picture = ImageModele::Rendre(*parties.Document, Form21->Image1->Picture.size());
    Form21->Image1->update();
    Form21->Document = parties.Document;
    // Modale, sans animation.
    Form21->setWindowModality(Qt::ApplicationModal);
    Presentation::Centrer(Form21);
    Form21->show();
    Form21->raise();
    Form21->activateWindow();
}

void ImpressionModele::Imprimer1Click()
{
    // L'image prend la taille du canevas : copie un pour un.
    // Sans poignées de sélection : elles ne s'impriment pas.
    Form21->Image1->Picture = ImageModele::RendreSansSelection(*parties.Document);
    Form21->Image1->update();
    // Un "Hmm.bmp" impossible à écrire est signalé, l'impression se fait quand même.
    Impression::EnregistrerHmmBmp(Form21->Image1->Picture, &f);
    Impression::ImprimerModele(*parties.Document, &f);
}
