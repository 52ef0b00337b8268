#include "model/regles_edition.h"
#include "graph/boite.h"
#include "graph/nombres.h"

#include <algorithm>

namespace {
const QString NomStart = QStringLiteral("START");
const QString NomEnd = QStringLiteral("END");
}

namespace ReglesEdition {

QSize TailleMinimale(const QString &nom, int nbSymboles, const QString generation[][3])
{
    if (nom == NomStart)
        return QSize(95, 26);
    if (nom == NomEnd)
        return QSize(75, 26);
    const int n = std::clamp(nbSymboles, 0, BoiteEtat::Taille - 1);
    int w = int(nom.size() * 7.5 + 10);
    for (int k = 1; k <= n; ++k) {
        const int v = int((generation[k][1].size() + generation[k][2].size()) * 5 + 3);
        if (v > w)
            w = v;
    }
    return QSize(w + 40, n > 0 ? n * 15 + 35 : 50);
}

QSize TailleMinimale(const BoiteEtat &e)
{
    return TailleMinimale(e.Nom, e.NbSymboles, e.Generation);
}

void Reappliquer(BoiteEtat *e)
{
    // La taille courante est aussitôt relevée quand elle passe sous le minimum, et toute
    // demande de taille plus petite (y compris 0 x 0) est ramenée au minimum.
    e->DefinirTailleMinimale(TailleMinimale(*e));
}

void Placer(BoiteEtat *e, const QRect &bornes)
{
    Reappliquer(e);
    const QSize m = e->TailleMinimale();
    e->DefinirBornes(QRect(bornes.x(), bornes.y(), std::max(bornes.width(), m.width()), std::max(bornes.height(), m.height())));
}

QString NomAutomatique(const QStringList &noms, int *dernier)
{
    int d = int(noms.size()) + 1;
    QString nom = QStringLiteral("Etat_") + QString::number(d);
    while (noms.contains(nom)) {
        ++d;
        nom = QStringLiteral("Etat_") + QString::number(d);
    }
    if (dernier)
        *dernier = d;
    return nom;
}

bool Chevauche(const QRect &boite, const QRect &bande)
{
    return boite.x() < bande.x() + bande.width() && boite.x() + boite.width() > bande.x() &&
           boite.y() < bande.y() + bande.height() && boite.y() + boite.height() > bande.y();
}

QRect Bande(QPoint a, QPoint b)
{
    const int g = std::min(a.x(), b.x()), d = std::max(a.x(), b.x());
    const int h = std::min(a.y(), b.y()), bas = std::max(a.y(), b.y());
    return QRect(g, h, d - g, bas - h);
}

Qt::CursorShape Poignee(int x, int y, int w, int h)
{
    const bool gauche = x < 5, droite = x >= w - 4, haut = y < 5, bas = y >= h - 4;
    const bool milieuV = h / 2 - 2 <= y && y <= h / 2 + 2;
    const bool milieuH = w / 2 - 4 <= x && x <= w / 2 + 4;
    if ((gauche && haut) || (droite && bas))
        return Qt::SizeFDiagCursor;
    if ((gauche && bas) || (droite && haut))
        return Qt::SizeBDiagCursor;
    if ((gauche || droite) && milieuV)
        return Qt::SizeHorCursor;
    if ((haut || bas) && milieuH)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

QRect Redimensionner(const QRect &depart, Qt::CursorShape poignee, QPoint appui, QPoint souris)
{
    int g = depart.x(), d = depart.x() + depart.width();
    int h = depart.y(), b = depart.y() + depart.height();
    const bool cote = appui.x() >= 4; // côté droit (ou coin de droite) de la poignée saisie
    switch (poignee) {
    case Qt::SizeHorCursor:
        (cote ? d : g) = souris.x();
        break;
    case Qt::SizeVerCursor:
        (appui.y() >= 4 ? b : h) = souris.y();
        break;
    case Qt::SizeFDiagCursor: // haut-gauche / bas-droit
        if (cote) {
            d = souris.x();
            b = souris.y();
        } else {
            g = souris.x();
            h = souris.y();
        }
        break;
    case Qt::SizeBDiagCursor: // haut-droit / bas-gauche
        if (cote) {
            d = souris.x();
            h = souris.y();
        } else {
            g = souris.x();
            b = souris.y();
        }
        break;
    default:
        break;
    }
    return Bande(QPoint(g, h), QPoint(d, b));
}

QString NettoyerEtiquette(QString t)
{
    if (t != QLatin1String("??") && t.contains(QLatin1Char('?'))) {
        t.remove(t.indexOf(QLatin1Char('?')), 1);
        const qsizetype i = t.indexOf(QLatin1Char('?'));
        if (i >= 0)
            t.remove(i, 1);
    }
    if (t.isEmpty())
        t = QStringLiteral("0");
    return t;
}

QChar SaisieNombre(const QString &texteActuel, QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c;
    const bool exposant = texteActuel.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    // Point ou virgule : le séparateur de la langue, comme le lisent les conversions.
    if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
        const bool separateur = texteActuel.contains(QLatin1Char('.')) || texteActuel.contains(QLatin1Char(','));
        return separateur || exposant ? QChar() : Nombres::Separateur();
    }
    // Exposant ("1E-30") : une fois, après un chiffre ; son signe juste après.
    if (c == QLatin1Char('e') || c == QLatin1Char('E')) {
        const bool chiffre = std::any_of(texteActuel.begin(), texteActuel.end(), [](QChar x) { return x.isDigit(); });
        return chiffre && !exposant ? QChar(QLatin1Char('E')) : QChar();
    }
    if ((c == QLatin1Char('-') || c == QLatin1Char('+')) && texteActuel.endsWith(QLatin1Char('E'), Qt::CaseInsensitive))
        return c;
    return QChar();
}

bool CaractereProbabilite(const QString &texteActuel, QChar c)
{
    return !SaisieNombre(texteActuel, c).isNull();
}

} // namespace ReglesEdition
