// TForm10 : galerie des algorithmes.
#include "dialogs/algorithmes.h"
#include "dialogs/aide.h"
#include "model/repertoire.h"

#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

const char *const TForm10::Fichiers[5] = {"Forward2.bmp", "Backward2.bmp", "Viterbi2.bmp", "app_Viterbi2.bmp",
                                          "app_Baumwelch2.bmp"};

ImageGalerie::ImageGalerie(bool e, QWidget *parent)
    : QWidget(parent), etiree(e)
{
}

void ImageGalerie::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!Picture.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (etiree)
            p.drawImage(rect(), Picture);
        else
            p.drawImage(0, 0, Picture);
        return;
    }
    if (!Absente.isEmpty())
        p.drawText(rect().adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("Image introuvable :\n%1").arg(Absente));
}

TForm10::TForm10(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Les algorithmes"));
    // Taille fixe : tout redimensionnement est refusé.
    setFixedSize(523, 565);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 34, 505, 473);
    PageControl1->setUsesScrollButtons(true);
    struct Page {
        const char *titre;
        ImageGalerie **image;
        QSize taille;
        bool etiree;
    };
    const Page pages[] = {
        {"Forward        ", &ImageForward, {473, 345}, false},
        {"Backward        ", &ImageBackward, {475, 345}, false},
        {"Viterbi        ", &ImageViterbi, {470, 425}, true},
        {"Entraînement de Viterbi        ", &ImageAppViterbi, {474, 345}, false},
        {"Entraînement de Baum-Welch        ", &ImageAppBaum, {475, 417}, false},
    };
    for (const Page &p : pages) {
        auto *feuille = new QWidget;
        *p.image = new ImageGalerie(p.etiree, feuille);
        (*p.image)->setGeometry(8, 8, p.taille.width(), p.taille.height());
        PageControl1->addTab(feuille, QString::fromUtf8(p.titre));
    }
    ImageForward->setObjectName(QStringLiteral("ImageForward"));
    ImageBackward->setObjectName(QStringLiteral("ImageBackward"));
    ImageViterbi->setObjectName(QStringLiteral("ImageViterbi"));
    ImageAppViterbi->setObjectName(QStringLiteral("ImageAppViterbi"));
    ImageAppBaum->setObjectName(QStringLiteral("ImageAppBaum"));

    BitBtn1 = new QPushButton(QStringLiteral("&Fermer"), this);
    BitBtn2 = new QPushButton(QStringLiteral("&Aide"), this);
    BitBtn1->setGeometry(300, 516, 100, 28);
    BitBtn2->setGeometry(412, 516, 100, 28);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 546, 523, 19);

    PageControl1->tabBar()->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm10::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm10::BitBtn2Click);
}

ImageGalerie *TForm10::Image(int i) const
{
    ImageGalerie *const images[5] = {ImageForward, ImageBackward, ImageViterbi, ImageAppViterbi, ImageAppBaum};
    return i >= 0 && i < 5 ? images[i] : nullptr;
}

bool TForm10::eventFilter(QObject *objet, QEvent *evenement)
{
    // Sous X11 l'activation arrive après le clic qui l'a provoquée : sans cette marque,
    // l'onglet cliqué dans une galerie inactive serait aussitôt remplacé par Forward.
    if (objet == PageControl1->tabBar() && evenement->type() == QEvent::MouseButtonPress && !isActiveWindow())
        ongletClique = true;
    return QDialog::eventFilter(objet, evenement);
}

void TForm10::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm10::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Les images sont là dès l'ouverture, même quand le système n'active pas la fenêtre.
    FormActivate();
}

void TForm10::FormActivate()
{
    // Une image manquante est signalée dans sa page, sans boîte de message : une boîte
    // rendrait l'activation à la galerie en se fermant, et la relirait sans fin.
    for (int i = 0; i < 5; ++i) {
        ImageGalerie *im = Image(i);
        const QString chemin = Repertoire::Ressource(QLatin1String(Fichiers[i]));
        QImage lue;
        im->Absente.clear();
        if (!QFileInfo::exists(chemin) || !lue.load(chemin))
            im->Absente = chemin;
        im->Picture = lue;
        im->update();
    }
    if (!ongletClique)
        PageControl1->setCurrentIndex(0);
    ongletClique = false;
}

void TForm10::BitBtn1Click()
{
    for (int i = 0; i < 5; ++i)
        Image(i)->Picture = QImage();
    close();
}

void TForm10::BitBtn2Click()
{
    Aide::Afficher(QStringLiteral("IDH_1"));
}
