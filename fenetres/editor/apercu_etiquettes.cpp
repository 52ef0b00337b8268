#include "editor/apercu_etiquettes.h"
#include "graph/couleurs.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/report_parametres.h"

#include <QEvent>
#include <QPainter>

namespace {
// Fond des étiquettes de l'aperçu : on voit d'un coup d'œil qu'elles ne sont pas le modèle.
const QColor FondApercu(255, 240, 170);
}

ApercuEtiquettes::ApercuEtiquettes(DocumentModele &d) : QWidget(d.Hmm1), document(d), graphe(d.Hmm1)
{
    setObjectName(QStringLiteral("ApercuEtiquettes"));
    // Par-dessus le dessin des arcs, sous les boîtes des états (sœurs du graphe posées au-dessus
    // de lui) ; la souris passe au travers : l'édition continue dessous.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (graphe) {
        setGeometry(graphe->rect());
        graphe->installEventFilter(this);
    }
    hide();
}

void ApercuEtiquettes::Montrer(const ParametresModele &p)
{
    textes.clear();
    if (graphe) {
        const ContenuModele actuel = document.Contenu();
        ContenuModele c = actuel;
        // Le report que ferait « Garder cette itération », sur une copie.
        ReporterValeurs(c, p);
        for (int i = 1; i <= graphe->NbArcs && i <= c.Arcs.size(); ++i) {
            const QString &nouvelle = c.Arcs[i - 1].Etiquette;
            if (Nombres::TexteAffiche(nouvelle) != Nombres::TexteAffiche(actuel.Arcs[i - 1].Etiquette))
                textes.insert(i, nouvelle);
        }
    }
    setVisible(!textes.isEmpty());
    update();
}

void ApercuEtiquettes::Effacer()
{
    textes.clear();
    hide();
}

QString ApercuEtiquettes::Texte(int arc) const
{
    if (const auto it = textes.constFind(arc); it != textes.constEnd())
        return Nombres::TexteAffiche(*it);
    return graphe && arc >= 1 && arc <= graphe->NbArcs ? Nombres::TexteAffiche(graphe->Etiquette[arc]) : QString();
}

bool ApercuEtiquettes::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == graphe && e->type() == QEvent::Resize)
        setGeometry(graphe->rect());
    return QWidget::eventFilter(objet, e);
}

void ApercuEtiquettes::paintEvent(QPaintEvent *)
{
    if (!graphe)
        return;
    QPainter p(this);
    p.setFont(graphe->Police);
    const QFontMetrics fm = p.fontMetrics();
    for (auto it = textes.constBegin(); it != textes.constEnd(); ++it) {
        const int i = it.key();
        if (i < 1 || i > graphe->NbArcs || !graphe->EtiquetteVisible[i])
            continue;
        // L'étiquette du modèle effacée, celle de l'itération centrée à sa place.
        const QRect ancien = graphe->RectangleEtiquette(i, fm);
        p.fillRect(QRect(ancien.topLeft(), QSize(ancien.width(), fm.height())), VersQColor(graphe->CouleurFond));
        const QString texte = Nombres::TexteAffiche(it.value());
        const int w = fm.horizontalAdvance(texte);
        const QRect r(ancien.center().x() - w / 2, ancien.top(), w, fm.height());
        p.fillRect(r.adjusted(-1, 0, 1, 0), FondApercu);
        p.setPen(VersQColor(graphe->CouleurProb));
        p.drawText(r.left(), r.top() + fm.ascent(), texte);
    }
}
