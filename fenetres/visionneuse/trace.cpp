#include "visionneuse/trace.h"
#include "model/image_modele.h"
#include "model/textes.h"
#include "skin/messages.h"
#include "trace/document_trace.h"
#include "trace/enregistrement.h"
#include "trace/traces_entrainement.h"
#include "trace/traces_evaluation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPrintDialog>
#include <QPointer>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QProgressBar>
#include <QShowEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStringDecoder>
#include <QStyle>
#include <QTextDocument>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>
#include <memory>

namespace {

// Les pages du système sont en Windows-1252 ; une page qui déclare un autre jeu le garde.
QString DecoderPage(const QByteArray &octets)
{
    QStringDecoder d = QStringDecoder::decoderForHtml(octets);
    if (!d.isValid() || d.name() == QLatin1String("ISO-8859-1"))
        d = QStringDecoder("windows-1252");
    if (!d.isValid())
        return QString::fromLatin1(octets);
    return QString(d.decode(octets));
}

} // namespace

// Une lecture en fond : le fil, et le document qu'il prépare (rendu au fil de la fenêtre).
struct NavigateurTrace::Lecture {
    QThread *fil = nullptr;
    std::unique_ptr<QTextDocument> document;
    int numero = 0;
};

NavigateurTrace::~NavigateurTrace()
{
    // Un fil encore en cours finit son analyse (on ne peut l'interrompre) ; son document est
    // détruit ici, dans le fil de la fenêtre.
    for (Lecture *l : std::as_const(lectures)) {
        l->fil->disconnect(this);
        l->fil->wait();
        delete l->fil;
        delete l;
    }
}

QVariant NavigateurTrace::loadResource(int type, const QUrl &nom)
{
    const QUrl url = source().isValid() ? source().resolved(nom) : nom;
    if (!url.isLocalFile())
        return QTextBrowser::loadResource(type, nom);
    // Lecture bornée : un tube ou un périphérique nommé dans la page n'est pas lu.
    QByteArray octets;
    if (!Textes::LireOctets(url.toLocalFile(), LimiteLecture, &octets, nullptr))
        return QVariant();
    if (type == QTextDocument::HtmlResource)
        return DecoderPage(octets);
    if (type == QTextDocument::ImageResource) {
        QImage image;
        image.loadFromData(octets);
        return image;
    }
    return octets;
}

void NavigateurTrace::Ouvrir(const QString &chemin)
{
    const int n = ++numero;
    const qint64 taille = QFileInfo(chemin).size();
    if (taille <= TailleLectureDirecte) {
        const bool attendait = EnChargement();
        attendu = 0;
        // Document neuf : ni page ni image gardées en cache d'une ouverture à l'autre.
        remplacerDocument(new QTextDocument(this));
        const QUrl url = QUrl::fromLocalFile(chemin);
        if (source() == url)
            reload();
        else
            setSource(url, QTextDocument::HtmlResource);
        if (attendait)
            emit chargementTermine();
        return;
    }
    // Grande page : lecture, décodage et analyse du HTML dans un fil à part. Le document, sans
    // parent, est rendu au fil de la fenêtre avant d'y être montré ; les images se chargent
    // ensuite par loadResource, relatives à l'adresse de la page.
    auto *l = new Lecture;
    l->numero = n;
    QThread *cible = thread();
    l->fil = QThread::create([l, chemin, cible] {
        QByteArray octets;
        if (!Textes::LireOctets(chemin, LimiteLecture, &octets, nullptr))
            return;
        auto d = std::make_unique<QTextDocument>();
        d->setBaseUrl(QUrl::fromLocalFile(chemin));
        d->setHtml(DecoderPage(octets));
        d->moveToThread(cible);
        l->document = std::move(d);
    });
    lectures << l;
    attendu = n;
    connect(l->fil, &QThread::finished, this, [this, l] { terminer(l); });
    emit chargementCommence(taille);
    l->fil->start();
}

void NavigateurTrace::remplacerDocument(QTextDocument *d)
{
    // setDocument ne détruit l'ancien document que quand il est le sien, pas quand il
    // appartient au navigateur.
    const QPointer<QTextDocument> ancien = document();
    setDocument(d);
    if (ancien && ancien != d && ancien->parent() == this)
        ancien->deleteLater();
}

void NavigateurTrace::terminer(Lecture *l)
{
    lectures.removeOne(l);
    l->fil->deleteLater();
    std::unique_ptr<Lecture> fin(l);
    if (l->numero != attendu)
        return; // une ouverture plus récente l'a remplacée
    attendu = 0;
    if (QTextDocument *d = l->document.release()) {
        d->setParent(this);
        remplacerDocument(d);
    }
    emit chargementTermine();
}

TForm20::TForm20(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form20"));
    setWindowTitle(Legende);
    setMinimumWidth(200);
    setSizeGripEnabled(true);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    auto icone = [this](const char *theme, QStyle::StandardPixmap repli) {
        return QIcon::fromTheme(QLatin1String(theme), style()->standardIcon(repli));
    };
    Enregistrersous1 = new QAction(icone("document-save-as", QStyle::SP_DialogSaveButton),
                                   QStringLiteral("Enregistrer sous ..."), this);
    Imprimer1 = new QAction(icone("document-print", QStyle::SP_FileDialogDetailedView), QStringLiteral("Imprimer"), this);
    Fermer1 = new QAction(icone("window-close", QStyle::SP_DialogCloseButton), QStringLiteral("Fermer"), this);
    connect(Enregistrersous1, &QAction::triggered, this, &TForm20::Enregistrersous1Click);
    connect(Imprimer1, &QAction::triggered, this, &TForm20::Imprimer1Click);
    connect(Fermer1, &QAction::triggered, this, &QDialog::close);

    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->addAction(Enregistrersous1);
    ToolBar1->addAction(Imprimer1);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Fermer1);
    v->addWidget(ToolBar1);

    CppWebBrowser1 = new NavigateurTrace(this);
    CppWebBrowser1->setObjectName(QStringLiteral("CppWebBrowser1"));
    // Un lien de la page s'ouvre dans le navigateur du système : rien n'est refusé.
    CppWebBrowser1->setOpenExternalLinks(true);
    // Un nombre n'est jamais coupé en deux dans une case, à l'écran comme à l'impression (page
    // plus étroite que l'écran).
    CppWebBrowser1->setWordWrapMode(QTextOption::WordWrap);
    v->addWidget(CppWebBrowser1, 1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(Enregistrersous1);
    PopupMenu1->addAction(Imprimer1);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Fermer1);
    CppWebBrowser1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CppWebBrowser1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { PopupMenu1->popup(CppWebBrowser1->viewport()->mapToGlobal(p)); });

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    v->addWidget(StatusBar1);
    Progression = new QProgressBar(StatusBar1);
    Progression->setObjectName(QStringLiteral("Progression"));
    Progression->setRange(0, 0); // l'analyse d'une page ne se mesure pas : barre sans fin
    Progression->setMaximumWidth(200);
    Progression->hide();
    StatusBar1->addPermanentWidget(Progression);
    // Grande trace : la fenêtre reste disponible (Fermer, Enregistrer sous) pendant sa lecture ;
    // l'impression attend la page.
    connect(CppWebBrowser1, &NavigateurTrace::chargementCommence, this, [this](qint64 octets) {
        StatusBar1->showMessage(QStringLiteral("Chargement de la trace (%1 Ko) ...").arg((octets + 1023) / 1024));
        Progression->show();
        Imprimer1->setEnabled(false);
        CppWebBrowser1->viewport()->setCursor(Qt::BusyCursor);
    });
    connect(CppWebBrowser1, &NavigateurTrace::chargementTermine, this, [this] {
        StatusBar1->clearMessage();
        Progression->hide();
        Imprimer1->setEnabled(true);
        CppWebBrowser1->viewport()->unsetCursor();
    });

    DemanderEnregistrement = [this] {
        const QString dossier = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QFileDialog d(this, QStringLiteral("Enregistrer la trace sous"), dossier + QStringLiteral("/Trace.htm"),
                      QStringLiteral("Page Web (*.htm *.html)"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("htm"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
            return QString();
        return d.selectedFiles().constFirst();
    };
    DemanderImpression = [this](QPrinter &imprimante) {
        QPrintDialog d(&imprimante, this);
        d.setWindowTitle(QStringLiteral("Imprimer la trace"));
        return d.exec() == QDialog::Accepted;
    };
}

void TForm20::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Une fenêtre rendue après réduction ne refait pas la trace.
    if (e->spontaneous())
        return;
    setWindowTitle(Legende + QStringLiteral(" (") + DernierAlgorithme + QLatin1Char(')'));
    StatusBar1->clearMessage();
    Produire();
}

bool TForm20::Produire()
{
    const bool entrainement =
        DernierAlgorithme == Trace::AlgorithmeBaumWelch || DernierAlgorithme == Trace::AlgorithmeAppViterbi;
    // Indication de chargement, montrée avant le travail : les traces sont bornées
    // (trace/bornes_trace.h), leur production tient en une fraction de seconde ; une grande
    // page est ensuite lue en fond (NavigateurTrace), avec sa propre indication.
    StatusBar1->showMessage(QStringLiteral("Chargement de la trace ..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Fin {
        QStatusBar *barre;
        const NavigateurTrace *navigateur;
        ~Fin()
        {
            QApplication::restoreOverrideCursor();
            if (!navigateur->EnChargement())
                barre->clearMessage();
        }
    } fin{StatusBar1, CppWebBrowser1};
    // Peinte tout de suite, sans faire tourner la boucle d'événements (rien d'autre ne doit
    // se passer pendant la production de la trace).
    StatusBar1->repaint();
    try {
        if (entrainement && Observateur && !Observateur->Erreur.isEmpty())
            throw ETrace(Observateur->Erreur);
        if (!entrainement && (!Parametres || !Espace))
            return false;
        static const ParametresModele aucunsParametres;
        static const EspaceTravail aucunEspace;
        const QImage modele = Document ? ImageModele::RendreModele(*Document) : QImage();
        if (!Trace::ProduireTrace(DernierAlgorithme, Parametres ? *Parametres : aucunsParametres,
                                  Espace ? *Espace : aucunEspace, Document ? &modele : nullptr))
            return false;
    } catch (const ETrace &x) {
        Messages::Erreur(this, x.Message());
        return false;
    }
    CppWebBrowser1->Ouvrir(Trace::CheminDocument());
    return true;
}

void TForm20::Enregistrersous1Click()
{
    const QString chemin = DemanderEnregistrement ? DemanderEnregistrement() : QString();
    if (chemin.isEmpty())
        return;
    try {
        Trace::EnregistrerTraceSous(chemin);
        StatusBar1->showMessage(QStringLiteral("Trace enregistrée sous « %1 ».").arg(QDir::toNativeSeparators(chemin)));
    } catch (const ETrace &x) {
        Messages::Erreur(this, x.Message());
    }
}

void TForm20::Imprimer1Click()
{
    if (CppWebBrowser1->EnChargement())
        return; // la page n'est pas encore là
    QPrinter imprimante(QPrinter::HighResolution);
    imprimante.setDocName(windowTitle());
    if (!DemanderImpression || !DemanderImpression(imprimante))
        return;
    // Mise en page sur une largeur d'écran, réduite ensuite à la page : les tableaux côte à côte
    // tiennent sans déborder ni couper leurs nombres. La copie lit ses images dans l'original.
    QTextDocument *original = CppWebBrowser1->document();
    std::unique_ptr<QTextDocument> copie(original->clone(original));
    const QRectF page = imprimante.pageRect(QPrinter::Point);
    if (page.width() > 0 && page.height() > 0)
        copie->setPageSize(QSizeF(LargeurImpression, LargeurImpression * page.height() / page.width()));
    PermettreCoupures(*copie);
    copie->print(&imprimante);
}

void TForm20::PermettreCoupures(QTextDocument &document)
{
    // Les sommes des formules sont des termes collés par « + » : sans coupure possible, la
    // ligne sort de la page. Un espace sans largeur en permet une.
    const QString coupure(QChar(0x200B));
    QTextCursor bloc(&document);
    bloc.beginEditBlock();
    for (QTextCursor c = document.find(QStringLiteral("+")); !c.isNull(); c = document.find(QStringLiteral("+"), c)) {
        // Les tableaux de nombres (plusieurs colonnes) restent tels quels ; un cadre d'une
        // seule case, comme celui de la somme, passe à la ligne.
        if (c.currentTable() && c.currentTable()->columns() > 1)
            continue;
        c.clearSelection();
        c.insertText(coupure);
    }
    bloc.endEditBlock();
}
