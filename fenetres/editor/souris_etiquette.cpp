// Éditeur à la souris : l'étiquette d'arc éditée en place (Edit3). Chaque frappe s'écrit
// dans le document ; la fin de l'édition y range l'étape d'annulation.
#include "editor/souris.h"
#include "graph/couleurs.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>

void EditeurSouris::ouvrirEditeurEtiquette(int a)
{
    if (a < 1 || a > hmm()->NbArcs)
        return;
    // Une édition en cours sur un autre arc se termine d'abord (son étape est gardée).
    if (enEdition)
        TerminerEdition();
    arcTouche = a;
    if (ArcEdite > 0 && ArcEdite < THmm::Taille)
        hmm()->EtiquetteVisible[ArcEdite] = true;
    hmm()->EtiquetteVisible[a] = false;
    ancienneEtiquette = hmm()->Etiquette[a];
    ArcEdite = a;
    // L'éditeur prend les couleurs des étiquettes (options d'affichage).
    QPalette couleurs = Edit3->palette();
    couleurs.setColor(QPalette::Base, VersQColor(hmm()->CouleurFond));
    couleurs.setColor(QPalette::Text, VersQColor(hmm()->CouleurProb));
    Edit3->setPalette(couleurs);
    changementInterne = true;
    Edit3->setText(hmm()->Etiquette[a]);
    changementInterne = false;
    placerEditeur(Edit3->text());
    enEdition = true;
    Edit3->show();
    Edit3->raise();
    Edit3->setFocus(Qt::MouseFocusReason);
    Edit3->selectAll();
    hmm()->update();
}

void EditeurSouris::placerEditeur(const QString &t)
{
    const QFontMetrics fm(hmm()->font());
    // Quelques pixels de plus que le texte : la place du curseur d'insertion.
    const int w = fm.horizontalAdvance(t) + 8;
    const int h = fm.height() + 2;
    const int a = arcTouche > 0 && arcTouche <= hmm()->NbArcs ? arcTouche : ArcEdite;
    if (a < 1 || a >= THmm::Taille)
        return;
    QPoint c = hmm()->PosEtiquette[a];
    // Une boucle déplacée vers un autre coin de sa boîte : l'éditeur suit son étiquette.
    if (hmm()->ARC[a][1] == hmm()->ARC[a][2])
        if (const PlacementBoucle b = hmm()->PlacerBoucle(a, fm); b.Coin != CoinBoucle::HautGauche)
            c = b.Etiquette.center();
    Edit3->setGeometry(c.x() - w / 2, c.y() - h / 2, w, h);
}

void EditeurSouris::texteEtiquetteChange(const QString &t0)
{
    if (changementInterne)
        return;
    const QString t = ReglesEdition::NettoyerEtiquette(t0);
    if (t != t0) {
        changementInterne = true;
        Edit3->setText(t);
        changementInterne = false;
    }
    placerEditeur(t);
    const int a = arcTouche;
    if (a < 1 || a > hmm()->NbArcs)
        return;
    // Un texte qui n'est pas (encore) un nombre, comme un séparateur seul, laisse
    // l'étiquette à sa valeur précédente.
    QString etiquette = hmm()->Etiquette[a];
    if (t != QLatin1String("??")) {
        bool ok = false;
        const long double v = Nombres::VersExtended(t, &ok);
        if (ok)
            etiquette = Nombres::Formater(v);
    }
    doc().EcrireEtiquette(a, etiquette);
}

bool EditeurSouris::toucheEtiquette(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        const int a = arcTouche;
        if (ArcEdite > 0 && ArcEdite < THmm::Taille)
            hmm()->EtiquetteVisible[ArcEdite] = true;
        FocusCanevas();
        TerminerEdition();
        if (a > 0 && a < THmm::Taille) {
            hmm()->ArcSelectionne[a] = false;
            hmm()->EtiquetteVisible[a] = true;
        }
        Edit3->setGeometry(0, 0, 1, Edit3->height());
        hmm()->update();
        arcTouche = -1;
        return true;
    }
    const QString texte = e->text();
    if (texte.isEmpty() || e->key() == Qt::Key_Backspace || (e->modifiers() & Qt::ControlModifier))
        return false;
    const QChar c = texte.at(0);
    if (!c.isPrint())
        return false;
    // "." ou "," : écrit comme le séparateur de la langue ; "e" comme "E".
    const QChar ecrit = ReglesEdition::SaisieNombre(Edit3->text(), c);
    if (!ecrit.isNull() && ecrit != c)
        Edit3->insert(QString(ecrit));
    return ecrit != c;
}

void EditeurSouris::TerminerEdition()
{
    if (!enEdition)
        return;
    enEdition = false;
    THmm *h = hmm();
    const bool valide = ArcEdite > 0 && ArcEdite <= h->NbArcs;
    if (valide)
        h->EtiquetteVisible[ArcEdite] = true;
    Edit3->hide();
    const QString t = Edit3->text();
    if (!t.isEmpty() && t != ancienneEtiquette && valide) {
        doc().ValiderEtiquette(ArcEdite, ancienneEtiquette);
        ancienneEtiquette.clear();
        ArcEdite = -1;
    }
    h->update();
}
