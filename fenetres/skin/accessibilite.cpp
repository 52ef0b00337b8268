#include "skin/accessibilite.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QRegularExpression>
#include <QTextEdit>
#include "graph/etat2.h"

namespace {

QString nettoyer(QString t)
{
    // « &Valeurs : » se lit « Valeurs ».
    t.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    t = t.section(QLatin1Char('\n'), 0, 0).trimmed();
    while (t.endsWith(QLatin1Char(':')) || t.endsWith(QChar(0x2026)) || t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t.trimmed();
}

// Contrôles de la fenêtre principale et de Qt qui ne portent ni texte ni bulle.
QString nomConnu(const QWidget *w)
{
    static const QHash<QString, QString> noms = {
        {QStringLiteral("DefilementCanevas"), QStringLiteral("Canevas du modèle")},
        {QStringLiteral("Panneau"), QStringLiteral("Canevas du modèle")},
        {QStringLiteral("Hmm1"), QStringLiteral("Graphe du modèle")},
        {QStringLiteral("RichEdit1"), QStringLiteral("Rapport de vérification")},
        {QStringLiteral("PanneauVerification"), QStringLiteral("Vérification du modèle")},
        {QStringLiteral("qt_toolbar_ext_button"), QStringLiteral("Autres boutons de la barre")},
        // Le clavier du canevas (Suppr, flèches...) et la saisie de la probabilité d'un arc.
        {QStringLiteral("Edit1"), QStringLiteral("Graphe du modèle, au clavier")},
        {QStringLiteral("Edit3"), QStringLiteral("Probabilité de l'arc")},
        {QStringLiteral("FondZoom"), QStringLiteral("Vue du zoom (double-clic : retour à l'édition)")},
        {QStringLiteral("ImageZoom"), QStringLiteral("Image du modèle zoomé")},
    };
    const QString n = noms.value(w->objectName());
    return n.isEmpty() ? noms.value(QString::fromLatin1(w->metaObject()->className())) : n;
}

// Un contrôle que l'utilisateur atteint, ou une vue que l'aide technique parcourt.
bool concerne(const QWidget *w)
{
    if (qobject_cast<const QLabel *>(w) || w->isWindow())
        return false;
    if (!nomConnu(w).isEmpty() || qobject_cast<const TEtat2 *>(w))
        return true;
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        return b->text().isEmpty(); // Qt lit le texte du bouton
    if (qobject_cast<const QLineEdit *>(w) && qobject_cast<const QComboBox *>(w->parentWidget()))
        return false; // le champ d'une liste déroulante : la liste porte le nom
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
           qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QTextEdit *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QProgressBar *>(w) ||
           qobject_cast<const QTabWidget *>(w) || qobject_cast<const QScrollArea *>(w) ||
           w->focusPolicy() != Qt::NoFocus;
}

class Suivi : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto *w = static_cast<QWidget *>(o);
            if (w->isWindow())
                Accessibilite::Nommer(w);
            else if (w->accessibleName().isEmpty() && concerne(w))
                w->setAccessibleName(Accessibilite::NomDerive(w));
        }
        return false;
    }
};

}

namespace Accessibilite {

QString NomDerive(const QWidget *w)
{
    if (!w->accessibleName().isEmpty() || !concerne(w))
        return QString();
    if (!nomConnu(w).isEmpty())
        return nomConnu(w);
    if (auto *e = qobject_cast<const TEtat2 *>(w))
        return QStringLiteral("État %1").arg(e->Nom);
    // L'étiquette qui le désigne.
    if (const QWidget *fenetre = w->window())
        for (const QLabel *l : fenetre->findChildren<QLabel *>())
            if (l->buddy() == w && !nettoyer(l->text()).isEmpty())
                return nettoyer(l->text());
    for (const QString &t : {w->toolTip(), w->statusTip(), w->whatsThis()})
        if (!nettoyer(t).isEmpty() && !Qt::mightBeRichText(t))
            return nettoyer(t);
    // Le titre du groupe qui l'entoure.
    for (const QWidget *p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (auto *g = qobject_cast<const QGroupBox *>(p); g && !nettoyer(g->title()).isEmpty())
            return nettoyer(g->title());
    return QString();
}

void Nommer(QWidget *w)
{
    QList<QWidget *> l = w->findChildren<QWidget *>();
    l.prepend(w);
    for (QWidget *c : l)
        if (c->accessibleName().isEmpty()) {
            const QString n = NomDerive(c);
            if (!n.isEmpty())
                c->setAccessibleName(n);
        }
}

void AjouterMnemoniques(QMenu *menu)
{
    const QList<QAction *> l = menu->actions();
    QString prises;
    for (const QAction *a : l) {
        const qsizetype i = a->text().indexOf(QRegularExpression(QStringLiteral("&(?!&)")));
        if (i >= 0 && i + 1 < a->text().size())
            prises += a->text().at(i + 1).toUpper();
    }
    for (QAction *a : l) {
        // Les entrées de « Réouvrir » sont des chemins de fichiers, relus tels quels.
        if (a->menu() && a->menu()->title() != QLatin1String("Réouvrir"))
            AjouterMnemoniques(a->menu());
        if (a->isSeparator() || a->text().contains(QLatin1Char('&')))
            continue;
        const QString t = a->text().section(QLatin1Char('\t'), 0, 0);
        for (qsizetype k = 0; k < t.size(); ++k)
            if (t.at(k).isLetter() && !prises.contains(t.at(k).toUpper())) {
                prises += t.at(k).toUpper();
                a->setText(a->text().insert(k, QLatin1Char('&')));
                break;
            }
    }
}

void AjouterMnemoniques(QMenuBar *barre)
{
    for (QAction *a : barre->actions())
        if (a->menu())
            AjouterMnemoniques(a->menu());
}

void Installer()
{
    static QPointer<Suivi> suivi;
    if (!suivi) {
        suivi = new Suivi(qApp);
        qApp->installEventFilter(suivi);
    }
}

}
