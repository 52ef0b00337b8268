#include "editor/verification_panneau.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

PanneauVerification::PanneauVerification(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PanneauVerification"));
    setMinimumHeight(30); // le volet s'ouvre sur 85 pixels
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setMinimumHeight(10);
    RichEdit1->setContextMenuPolicy(Qt::DefaultContextMenu);
    RichEdit1->installEventFilter(this);
    RichEdit1->viewport()->installEventFilter(this);
    // Petit bouton au coin haut-gauche, à gauche de la zone de texte.
    auto *h = new QHBoxLayout;
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(0);
    BoutonFermer = new QToolButton(this);
    BoutonFermer->setObjectName(QStringLiteral("BoutonFermer"));
    BoutonFermer->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    BoutonFermer->setToolTip(QStringLiteral("Cacher"));
    BoutonFermer->setAutoRaise(true);
    BoutonFermer->setFixedSize(16, 16);
    BoutonFermer->setIconSize(QSize(10, 10));
    connect(BoutonFermer, &QToolButton::clicked, this, &PanneauVerification::Cacher);
    h->addWidget(BoutonFermer, 0, Qt::AlignTop);
    h->addWidget(RichEdit1, 1);
    v->addLayout(h, 1);

    Onglets = new QTabBar(this);
    Onglets->setShape(QTabBar::RoundedSouth);
    Onglets->addTab(QStringLiteral("Vérification du modèle"));
    Onglets->setDrawBase(false);
    Onglets->setExpanding(false);
    v->addWidget(Onglets, 0, Qt::AlignLeft);


    MenuRapport = new QMenu(this);
    Copier1 = MenuRapport->addAction(QStringLiteral("Copier\tCtrl+C"), this, &PanneauVerification::Copier);
    Toutselectionner1 =
        MenuRapport->addAction(QStringLiteral("Tout sélectionner\tCtrl+A"), this, &PanneauVerification::ToutSelectionner);
    Imprimer1 = MenuRapport->addAction(QStringLiteral("Imprimer\tCtrl+P"), this, [this] { Imprimer(); });
    MenuRapport->addSeparator();
    Cacher1 = MenuRapport->addAction(QStringLiteral("Cacher"), this, &PanneauVerification::Cacher);
    Supprimer1 = MenuRapport->addAction(QStringLiteral("Supprimer"), this, &PanneauVerification::Supprimer);
    Toutselectionner1->setEnabled(false);
    Imprimer1->setEnabled(false);

    DemanderImprimante = [this](QPrinter &p) {
        QPrintDialog d(&p, this);
        d.setWindowTitle(QStringLiteral("Imprimer le rapport"));
        return d.exec() == QDialog::Accepted;
    };
}

void PanneauVerification::Ecrire(const QStringList &rapport)
{
    RichEdit1->setPlainText(rapport.join(QLatin1Char('\n')));
    Toutselectionner1->setEnabled(true);
}

QString PanneauVerification::Texte() const
{
    return RichEdit1->toPlainText();
}

void PanneauVerification::Copier()
{
    const QString t = RichEdit1->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    if (!t.isEmpty())
        QGuiApplication::clipboard()->setText(t);
}

void PanneauVerification::ToutSelectionner()
{
    if (!Toutselectionner1->isEnabled())
        return;
    RichEdit1->selectAll();
    Imprimer1->setEnabled(true);
}

bool PanneauVerification::Imprimer()
{
    if (!Imprimer1->isEnabled())
        return false;
    QPrinter p;
    p.setDocName(Texte());
    if (!DemanderImprimante || !DemanderImprimante(p))
        return false;
    RichEdit1->document()->print(&p);
    return true;
}

void PanneauVerification::Cacher()
{
    emit cacheDemande();
}

void PanneauVerification::Supprimer()
{
    RichEdit1->clear();
    Toutselectionner1->setEnabled(false);
    Imprimer1->setEnabled(false);
}

bool PanneauVerification::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == RichEdit1 || objet == RichEdit1->viewport()) {
        if (e->type() == QEvent::ContextMenu) {
            MenuRapport->popup(static_cast<QContextMenuEvent *>(e)->globalPos());
            return true;
        }
        // Les raccourcis du menu du rapport passent avant ceux de la fenêtre principale.
        if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->modifiers() == Qt::ControlModifier &&
                (k->key() == Qt::Key_C || k->key() == Qt::Key_A || k->key() == Qt::Key_P)) {
                if (e->type() == QEvent::ShortcutOverride) {
                    e->accept();
                    return true;
                }
                if (k->key() == Qt::Key_C)
                    Copier();
                else if (k->key() == Qt::Key_A)
                    ToutSelectionner();
                else
                    Imprimer();
                return true;
            }
        }
    }
    return QWidget::eventFilter(objet, e);
}
