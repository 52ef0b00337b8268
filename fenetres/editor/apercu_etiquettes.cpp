#include "editor/apercu_etiquettes.h"
#include "graph/couleurs.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "editor/canevas.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/report_parametres.h"

#include <QEvent>
#include <QPainter>

namespace {
// Fond des étiquettes de l'aperçu : on voit d'un coup d'œil qu'elles ne sont pas le modèle.
const QColor FondApercu(255, 240, 170);

// Les probabilités des paires d'une boîte d'état, peintes par-dessus leurs lignes, aux places
// où la boîte les écrit (police de 8 points, ligne k à 25 + (k - 1) × hauteur sous l'image).
class ApercuBoite : public QWidget {
public:
    ApercuBoite(TEtat2 *boite, QHash<int, QString> paires) : QWidget(boite), boite(boite), paires(std::move(paires))
    {
        setObjectName(QStringLiteral("ApercuBoite"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(boite->rect());
        boite->installEventFilter(this);
        show();
    }
    QString Texte(int k) const
    {
        if (const auto it = paires.constFind(k); it != paires.constEnd())
            return Nombres::TexteAffiche(*it);
        return boite && k >= 1 && k <= boite->NbSymboles ? Nombres::TexteAffiche(boite->Generation[k][2]) : QString();
    }

protected:
    bool eventFilter(QObject *objet, QEvent *e) override
    {
        if (objet == boite && e->type() == QEvent::Resize)
            setGeometry(boite->rect());
        return QWidget::eventFilter(objet, e);
    }
    void paintEvent(QPaintEvent *) override
    {
        if (!boite)
            return;
        QPainter p(this);
        QFont police = boite->font();
        police.setPointSize(8);
        police.setBold(false);
        p.setFont(police);
        const QFontMetrics m(police, &boite->Image);
        const int h = m.height();
        for (auto it = paires.constBegin(); it != paires.constEnd(); ++it) {
            const int k = it.key();
            if (k < 1 || k > boite->NbSymboles)
                continue;
            const QString texte = boite->Generation[k][1] + QStringLiteral(" : ") + Nombres::TexteAffiche(it.value());
            const QRect ligne(2 + 15, 2 + 25 + (k - 1) * h, width() - 4 - 15 - 2, h);
            p.fillRect(ligne, VersQColor(boite->CouleurRemplissage));
            p.fillRect(QRect(ligne.topLeft(), QSize(std::min(ligne.width(), m.horizontalAdvance(texte) + 2), h)), FondApercu);
            p.setPen(VersQColor(Couleurs::Noir));
            p.drawText(ligne.left(), ligne.top() + m.ascent(), texte);
        }
    }

private:
    QPointer<TEtat2> boite;
    QHash<int, QString> paires; // paire k -> probabilité de l'itération
};
}

ApercuEtiquettes::ApercuEtiquettes(DocumentModele &d) : QWidget(VueGraphe(d)), document(d), graphe(VueGraphe(d))
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
    Effacer();
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
        // Les paires : l'état x de la valeur est la boîte k du registre (START en tête s'il existe).
        qsizetype x = 0;
        for (int k = document.StartPresent() ? 0 : 1; k <= document.N() && x < c.Etats.size(); ++k, ++x) {
            TEtat2 *boite = VueEtat(document, k);
            if (!boite)
                continue;
            QHash<int, QString> paires;
            const auto &nouvelles = c.Etats[x].Paires;
            for (int s = 0; s < nouvelles.size() && s < boite->NbSymboles; ++s)
                if (Nombres::TexteAffiche(nouvelles[s].second) != Nombres::TexteAffiche(boite->Generation[s + 1][2]))
                    paires.insert(s + 1, nouvelles[s].second);
            if (!paires.isEmpty())
                boites.insert(k, new ApercuBoite(boite, std::move(paires)));
        }
    }
    setVisible(!textes.isEmpty());
    update();
}

void ApercuEtiquettes::Effacer()
{
    textes.clear();
    for (const QPointer<QWidget> &b : std::as_const(boites))
        delete b.data();
    boites.clear();
    hide();
}

QString ApercuEtiquettes::TextePaire(int etat, int k) const
{
    if (const auto it = boites.constFind(etat); it != boites.constEnd() && *it)
        return static_cast<const ApercuBoite *>(it->data())->Texte(k);
    const TEtat2 *boite = etat >= 0 && etat < 100 ? VueEtat(document, etat) : nullptr;
    return boite && k >= 1 && k <= boite->NbSymboles ? Nombres::TexteAffiche(boite->Generation[k][2]) : QString();
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
