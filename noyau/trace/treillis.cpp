// Le treillis des calculs : données, formules et dessin.
#include "trace/treillis.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/decodage.h"
#include "algorithms/evaluation.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "model/textes.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cmath>

namespace Treillis {

namespace {

QString n(long double x)
{
    return Nombres::Formater(x);
}

QFont police(bool gras = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(gras);
    return f;
}

QString texteLegende(const Donnees &d)
{
    QString legende = Symbole(d.Quoi) + QStringLiteral("_t(i) : ") + Titre(d.Quoi) +
                      QStringLiteral(" ; teinte logarithmique, par colonne : du maximum de la colonne (foncé) "
                                     "à %1 fois moins (clair)")
                          .arg(Nombres::Formater(std::pow(10.0L, d.Etendue), 3));
    if (!d.Chemin.empty())
        legende += QStringLiteral(" ; en rouge : le chemin de Viterbi");
    if (d.Quoi == Valeurs::Delta)
        legende += QStringLiteral(", en gris foncé : les pointeurs ψ");
    return legende;
}

}

const Matrice<long double> &Donnees::Table() const
{
    switch (Quoi) {
    case Valeurs::Beta:
        return Beta;
    case Valeurs::Delta:
        return Delta;
    case Valeurs::Gamma:
        return Gamma;
    case Valeurs::Alpha:
        break;
    }
    return Alpha;
}

QString Symbole(Valeurs v)
{
    switch (v) {
    case Valeurs::Beta:
        return QStringLiteral("β");
    case Valeurs::Delta:
        return QStringLiteral("δ");
    case Valeurs::Gamma:
        return QStringLiteral("γ");
    case Valeurs::Alpha:
        break;
    }
    return QStringLiteral("α");
}

QString Titre(Valeurs v)
{
    switch (v) {
    case Valeurs::Beta:
        return QStringLiteral("β (Backward)");
    case Valeurs::Delta:
        return QStringLiteral("δ (Viterbi)");
    case Valeurs::Gamma:
        return QStringLiteral("γ = αβ/P (a posteriori)");
    case Valeurs::Alpha:
        break;
    }
    return QStringLiteral("α (Forward)");
}

namespace {

// Le modèle et la séquence, recopiés.
void copierModele(const ParametresModele &p, const EspaceTravail &e, Valeurs valeurs, Donnees &d)
{
    d.Quoi = valeurs;
    d.N = p.N;
    d.M = p.M;
    d.T = e.LongueurSequence;
    for (int i = 0; i <= p.N; ++i)
        d.Etats << p.NomEtat(i);
    d.O.assign(std::size_t(d.T) + 1, 0);
    d.Symboles << QString();
    for (int t = 1; t <= d.T; ++t) {
        const int o = e.Observations[t];
        d.O[std::size_t(t)] = o;
        d.Symboles << (o > 0 ? p.Symboles[o] : QStringLiteral("?"));
    }
    const int L = p.N + 1;
    d.PI.assign(std::size_t(L), 0);
    d.A.assign(std::size_t(L * L), 0);
    d.B.assign(std::size_t(L * (p.M + 1)), 0);
    for (int i = 1; i <= p.N; ++i) {
        d.PI[std::size_t(i)] = p.PI[i];
        for (int j = 1; j <= p.N; ++j)
            d.A[std::size_t(i * L + j)] = p.A[i][j];
        for (int k = 1; k <= p.M; ++k)
            d.B[std::size_t(i * (p.M + 1) + k)] = p.B[i][k];
    }
}

// Bornes des teintes, une fois la table remplie.
void echelle(Donnees &d)
{
    const Matrice<long double> &v = d.Table();
    d.MaxColonne.assign(std::size_t(d.T) + 1, 0);
    long double etendue = 0;
    for (int t = 1; t <= d.T; ++t) {
        bool premier = true;
        long double bas = 0, haut = 0;
        for (int i = 1; i <= d.N; ++i)
            if (v(t, i) > 0) {
                const long double l = std::log10(v(t, i));
                bas = premier ? l : std::min(bas, l);
                haut = premier ? l : std::max(haut, l);
                premier = false;
            }
        d.MaxColonne[std::size_t(t)] = haut;
        etendue = std::max(etendue, haut - bas);
    }
    d.Etendue = std::clamp(etendue, 1.0L, 12.0L);
}

}

Donnees Preparer(const ParametresModele &p, EspaceTravail &e, Valeurs valeurs)
{
    Donnees d;
    copierModele(p, e, valeurs, d);
    if (valeurs == Valeurs::Gamma)
        ExigerGeneration(p, e);
    else
        CalculerForward(p, e);
    d.Alpha = e.Alpha;
    CalculerBackward(p, e);
    d.Beta = e.Beta;
    d.P = e.Probabilite;
    if (d.P > 0) {
        CalculerGamma(p, e);
        d.Gamma = e.Gamma;
    } else {
        d.Gamma.Dimensionner(d.T + 1, p.N + 1);
    }
    CalculerViterbi(p, e);
    d.Delta = e.Delta;
    d.Psi = e.Psi;
    d.PViterbi = e.Probabilite;
    if (d.PViterbi > 0)
        for (int t = 0; t <= d.T; ++t)
            d.Chemin.push_back(e.CheminViterbi[t]);
    echelle(d);
    return d;
}

Donnees Copier(const ParametresModele &p, const EspaceTravail &e, Valeurs valeurs)
{
    Donnees d;
    copierModele(p, e, valeurs, d);
    switch (valeurs) {
    case Valeurs::Alpha:
        d.Alpha = e.Alpha;
        break;
    case Valeurs::Beta:
        d.Beta = e.Beta;
        break;
    case Valeurs::Delta:
        d.Delta = e.Delta;
        d.Psi = e.Psi;
        break;
    case Valeurs::Gamma:
        d.Alpha = e.Alpha;
        d.Beta = e.Beta;
        d.Gamma = e.Gamma;
        d.P = e.Probabilite;
        break;
    }
    echelle(d);
    return d;
}

QString Formule(const Donnees &d, int t, int j)
{
    const QString s = Symbole(d.Quoi);
    const QString &nj = d.Etats[j];
    const auto nom = [&](const QString &q, int tt, int i) { return QStringLiteral("%1%2(%3)").arg(q).arg(tt).arg(d.Etats[i]); };
    const auto a = [&](int i, int k) { return QStringLiteral("a(%1,%2)").arg(d.Etats[i], d.Etats[k]); };
    const auto b = [&](int i, int tt) { return QStringLiteral("b(%1,%2)").arg(d.Etats[i], d.Symboles[tt]); };
    const long double valeur = d.Table()(t, j);
    QString lettres, nombres;
    switch (d.Quoi) {
    case Valeurs::Alpha:
    case Valeurs::Delta: {
        const bool max = d.Quoi == Valeurs::Delta;
        const Matrice<long double> &prec = max ? d.Delta : d.Alpha;
        if (t == 1) {
            lettres = QStringLiteral("π(%1)·%2").arg(nj, b(j, 1));
            nombres = QStringLiteral("%1 × %2").arg(n(d.PI[std::size_t(j)]), n(d.b(j, 1)));
            break;
        }
        QStringList l, v;
        for (int i = 1; i <= d.N; ++i) {
            if (d.a(i, j) == 0)
                continue;
            l << nom(s, t - 1, i) + QStringLiteral("·") + a(i, j);
            v << n(prec(t - 1, i)) + QStringLiteral(" × ") + n(d.a(i, j));
        }
        const QString sep = max ? QStringLiteral(" ; ") : QStringLiteral(" + ");
        const QString ouvre = max ? QStringLiteral("max[") : QStringLiteral("[");
        if (l.isEmpty()) {
            lettres = QStringLiteral("0 (aucune transition vers %1)").arg(nj);
            nombres = QStringLiteral("0");
        } else {
            lettres = ouvre + l.join(sep) + QStringLiteral("]·") + b(j, t);
            nombres = ouvre + v.join(sep) + QStringLiteral("] × ") + n(d.b(j, t));
        }
        break;
    }
    case Valeurs::Beta: {
        if (t == d.T) {
            lettres = QStringLiteral("1");
            nombres.clear();
            break;
        }
        QStringList l, v;
        for (int k = 1; k <= d.N; ++k) {
            if (d.a(j, k) == 0)
                continue;
            l << a(j, k) + QStringLiteral("·") + b(k, t + 1) + QStringLiteral("·") + nom(s, t + 1, k);
            v << n(d.a(j, k)) + QStringLiteral(" × ") + n(d.b(k, t + 1)) + QStringLiteral(" × ") + n(d.Beta(t + 1, k));
        }
        lettres = l.isEmpty() ? QStringLiteral("0 (aucune transition depuis %1)").arg(nj) : l.join(QStringLiteral(" + "));
        nombres = l.isEmpty() ? QString() : v.join(QStringLiteral(" + "));
        break;
    }
    case Valeurs::Gamma:
        lettres = QStringLiteral("%1·%2 / P(O|λ)").arg(nom(QStringLiteral("α"), t, j), nom(QStringLiteral("β"), t, j));
        nombres = QStringLiteral("%1 × %2 / %3").arg(n(d.Alpha(t, j)), n(d.Beta(t, j)), n(d.P));
        break;
    }
    QString r = nom(s, t, j) + QStringLiteral(" = ") + lettres;
    if (!nombres.isEmpty())
        r += QStringLiteral(" = ") + nombres;
    r += QStringLiteral(" = ") + n(valeur);
    if (d.Quoi == Valeurs::Delta && t > 1 && valeur > 0)
        r += QStringLiteral(" ; ψ%1(%2) = %3").arg(t).arg(nj, d.Etats[d.Psi(t, j)]);
    return r;
}

QString FormuleHtml(const Donnees &d, int t, int j)
{
    QString r;
    for (const QChar c : Formule(d, t, j)) {
        if (c.unicode() > 0x7E || c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('&') ||
            c == QLatin1Char('!') || c == QLatin1Char('?'))
            r += QStringLiteral("&#%1;").arg(c.unicode());
        else
            r += c;
    }
    return r;
}

Geometrie::Geometrie(const Donnees &d) : N(d.N), T(d.T)
{
    const QFontMetrics fm(police(true));
    int l = fm.horizontalAdvance(QStringLiteral("o_t"));
    for (int i = 1; i <= d.N; ++i)
        l = std::max(l, fm.horizontalAdvance(d.Etats[i]));
    Gauche = l + 30;
}

QSize Geometrie::Taille() const
{
    return QSize(Gauche + T * Colonne + 10, Haut + N * Ligne + Bas);
}

QRect Geometrie::Noeud(int t, int j) const
{
    return QRect(Gauche + (t - 1) * Colonne + (Colonne - LargeurNoeud) / 2, Haut + (j - 1) * Ligne + (Ligne - HauteurNoeud) / 2,
                 LargeurNoeud, HauteurNoeud);
}

bool Geometrie::Case(QPoint p, int *t, int *j) const
{
    if (p.x() < Gauche || p.y() < Haut)
        return false;
    const int tt = (p.x() - Gauche) / Colonne + 1, jj = (p.y() - Haut) / Ligne + 1;
    if (tt > T || jj > N || !Noeud(tt, jj).adjusted(-4, -4, 4, 4).contains(p))
        return false;
    *t = tt;
    *j = jj;
    return true;
}

int LargeurMinimale(const Donnees &d)
{
    return QFontMetrics(police()).horizontalAdvance(texteLegende(d)) + 20;
}

bool Visible(const Donnees &d, int etape, int t)
{
    return d.Quoi == Valeurs::Beta ? t > d.T - etape : t <= etape;
}

void Dessiner(QPainter &p, const Donnees &d, const QRect &zone, int etape, int tSurligne, int jSurligne)
{
    const Geometrie g(d);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(zone, Qt::white);
    const int t0 = std::max(1, (zone.left() - g.Gauche) / Geometrie::Colonne), t1 = std::min(d.T, (zone.right() - g.Gauche) / Geometrie::Colonne + 2);
    const Matrice<long double> &v = d.Table();

    // En-têtes : t et o_t au-dessus de chaque colonne, noms des états à gauche.
    p.setFont(police(true));
    p.setPen(Qt::black);
    p.drawText(QRect(4, 4, g.Gauche - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("t"));
    p.drawText(QRect(4, 26, g.Gauche - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("o_t"));
    for (int i = 1; i <= d.N; ++i)
        p.drawText(QRect(4, Geometrie::Haut + (i - 1) * Geometrie::Ligne, g.Gauche - 8, Geometrie::Ligne),
                   Qt::AlignLeft | Qt::AlignVCenter, d.Etats[i]);
    p.setFont(police());
    for (int t = t0; t <= t1; ++t) {
        const QRect c(g.Gauche + (t - 1) * Geometrie::Colonne, 4, Geometrie::Colonne, 22);
        p.setPen(Visible(d, etape, t) ? Qt::black : Qt::gray);
        p.drawText(c, Qt::AlignCenter, QString::number(t));
        p.drawText(c.translated(0, 22), Qt::AlignCenter, d.Symboles[t]);
    }
    p.setPen(QPen(QColor(210, 210, 210), 1));
    p.drawLine(g.Gauche - 6, Geometrie::Haut - 4, g.Taille().width(), Geometrie::Haut - 4);

    // Transitions du modèle entre colonnes voisines montrées.
    const auto droite = [&](int t, int i) { const QRect r = g.Noeud(t, i); return QPointF(r.right() + 1, r.center().y()); };
    const auto gauche = [&](int t, int i) { const QRect r = g.Noeud(t, i); return QPointF(r.left(), r.center().y()); };
    p.setPen(QPen(QColor(185, 190, 200), 1));
    for (int t = std::max(2, t0); t <= t1; ++t) {
        if (!Visible(d, etape, t) || !Visible(d, etape, t - 1))
            continue;
        for (int i = 1; i <= d.N; ++i)
            for (int j = 1; j <= d.N; ++j)
                if (d.a(i, j) != 0)
                    p.drawLine(droite(t - 1, i), gauche(t, j));
    }
    // Pointeurs ψ (δ) puis chemin de Viterbi, en gras.
    if (d.Quoi == Valeurs::Delta) {
        p.setPen(QPen(QColor(70, 70, 70), 2));
        for (int t = std::max(2, t0); t <= t1; ++t)
            if (Visible(d, etape, t))
                for (int j = 1; j <= d.N; ++j)
                    if (d.Delta(t, j) > 0)
                        p.drawLine(gauche(t, j), droite(t - 1, d.Psi(t, j)));
    }
    if (!d.Chemin.empty()) {
        p.setPen(QPen(QColor(200, 20, 20), 4, Qt::SolidLine, Qt::RoundCap));
        for (int t = std::max(2, t0); t <= t1; ++t)
            if (Visible(d, etape, t) && Visible(d, etape, t - 1))
                p.drawLine(droite(t - 1, d.Chemin[std::size_t(t - 1)]), gauche(t, d.Chemin[std::size_t(t)]));
    }

    // Nœuds : teinte d'après log10 de la valeur entre les bornes de la table.
    const QColor clair(236, 242, 255), fonce(25, 70, 170);
    for (int t = t0; t <= t1; ++t) {
        for (int j = 1; j <= d.N; ++j) {
            const QRect r = g.Noeud(t, j);
            const bool chemin = !d.Chemin.empty() && d.Chemin[std::size_t(t)] == j;
            if (!Visible(d, etape, t)) {
                p.setPen(QPen(QColor(220, 220, 220), 1, Qt::DashLine));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(r, 8, 8);
                continue;
            }
            const long double x = v(t, j);
            QColor fond = Qt::white, texte = Qt::black;
            if (x > 0) {
                const double f = std::clamp(double(1 + (std::log10(x) - d.MaxColonne[std::size_t(t)]) / d.Etendue), 0.0, 1.0);
                fond = QColor::fromRgbF(clair.redF() + (fonce.redF() - clair.redF()) * f,
                                        clair.greenF() + (fonce.greenF() - clair.greenF()) * f,
                                        clair.blueF() + (fonce.blueF() - clair.blueF()) * f);
                texte = f > 0.55 ? Qt::white : Qt::black;
            }
            p.setBrush(fond);
            if (t == tSurligne && j == jSurligne)
                p.setPen(QPen(QColor(255, 140, 0), 4));
            else if (chemin)
                p.setPen(QPen(QColor(200, 20, 20), 3));
            else
                p.setPen(QPen(x > 0 ? QColor(90, 100, 130) : QColor(170, 170, 170), 1, x > 0 ? Qt::SolidLine : Qt::DashLine));
            p.drawRoundedRect(r, 8, 8);
            p.setPen(texte);
            p.setFont(police(chemin));
            p.drawText(r, Qt::AlignCenter, Nombres::Formater(x, 4));
        }
    }

    // Légende.
    p.setFont(police());
    p.setPen(Qt::black);
    const QString legende = texteLegende(d);
    p.drawText(QRect(zone.left() + 4, Geometrie::Haut + d.N * Geometrie::Ligne + 6, std::max(zone.width(), LargeurMinimale(d)), 22),
               Qt::AlignLeft | Qt::AlignVCenter, legende);
    p.restore();
}

namespace {

// Sortie SVG bornée : au-delà de la limite l'écriture échoue et l'image est refusée.
class TamponBorne : public QIODevice {
public:
    explicit TamponBorne(qint64 limite) : limite(limite) {}
    QByteArray Octets;
    bool Deborde = false;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *donnees, qint64 n) override
    {
        if (Deborde || Octets.size() + n > limite) {
            Deborde = true;
            return -1;
        }
        Octets.append(donnees, qsizetype(n));
        return n;
    }

private:
    qint64 limite;
};

// Le plus grand nombre de colonnes dont l'image tient sous LimiteImage : pixels de 4 octets,
// ou estimation haute du texte SVG (le générateur le garde tout entier en mémoire) d'après
// les nœuds, leurs textes et les transitions dessinées par colonne.
qint64 colonnesPermises(const Donnees &d, const Geometrie &g, bool svg)
{
    if (svg) {
        qint64 transitions = 0;
        for (int i = 1; i <= d.N; ++i)
            for (int j = 1; j <= d.N; ++j)
                transitions += d.a(i, j) != 0;
        const qint64 parColonne = 900 + qint64(d.N) * 1200 + transitions * 260;
        return (LimiteImage - 20000 - qint64(d.N) * 600) / parColonne;
    }
    const qint64 largeur = LimiteImage / (4 * qint64(g.Taille().height()));
    return (largeur - g.Gauche - 10) / Geometrie::Colonne;
}

}

bool Exporter(const Donnees &d, const QString &chemin, QString *erreur, int debut, int fin)
{
    auto refuser = [&](const QString &m) {
        if (erreur)
            *erreur = m;
        return false;
    };
    if (fin == 0)
        fin = d.T;
    if (debut < 1 || fin > d.T || debut > fin)
        return refuser(QStringLiteral("Colonnes %1:%2 hors du treillis (instants 1 à %3).").arg(debut).arg(fin).arg(d.T));
    const int colonnes = fin - debut + 1;
    const Geometrie g(d);
    QSize taille(g.Gauche + colonnes * Geometrie::Colonne + 10, g.Taille().height());
    taille.setWidth(std::max(taille.width(), LargeurMinimale(d)));
    const bool svg = QFileInfo(chemin).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    const qint64 permises = colonnesPermises(d, g, svg);
    if (colonnes > permises)
        return refuser(QStringLiteral("L'image du treillis dépasserait %1 Mo (%2 colonnes, au plus %3 ici) : choisissez "
                                      "une partie des instants avec --colonnes DEBUT:FIN (par exemple --colonnes %4:%5).")
                           .arg(LimiteImage / (1024 * 1024))
                           .arg(colonnes)
                           .arg(std::max<qint64>(permises, 0))
                           .arg(debut)
                           .arg(debut + std::max<qint64>(permises, 1) - 1));
    // Les colonnes debut..fin, décalées contre la colonne des noms ; puis les noms par-dessus.
    const int decalage = (debut - 1) * Geometrie::Colonne;
    const QRect visible(QPoint(0, 0), taille);
    const auto peindre = [&](QPainter &p) {
        p.save();
        p.setClipRect(QRect(g.Gauche - 6, 0, taille.width(), taille.height()));
        p.translate(-decalage, 0);
        Dessiner(p, d, visible.translated(decalage, 0), d.T);
        p.restore();
        if (decalage > 0) {
            p.save();
            p.setClipRect(QRect(0, 0, g.Gauche - 6, taille.height()));
            Dessiner(p, d, QRect(0, 0, g.Gauche - 6, taille.height()), d.T);
            p.restore();
        }
    };
    QByteArray octets;
    if (svg) {
        TamponBorne tampon(LimiteImage);
        tampon.open(QIODevice::WriteOnly);
        QSvgGenerator generateur;
        generateur.setOutputDevice(&tampon);
        generateur.setSize(taille);
        generateur.setViewBox(visible);
        generateur.setTitle(QStringLiteral("Treillis ") + Titre(d.Quoi));
        QPainter p;
        if (!p.begin(&generateur))
            return refuser(QStringLiteral("Impossible de dessiner l'image « %1 ».").arg(chemin));
        peindre(p);
        p.end();
        if (tampon.Deborde)
            return refuser(QStringLiteral("L'image du treillis dépasserait %1 Mo : choisissez une partie des instants "
                                          "avec --colonnes DEBUT:FIN.")
                               .arg(LimiteImage / (1024 * 1024)));
        octets = std::move(tampon.Octets);
    } else {
        QImage image(taille, QImage::Format_RGB32);
        if (image.isNull())
            return refuser(QStringLiteral("Mémoire insuffisante pour l'image du treillis (%1 × %2).")
                               .arg(taille.width())
                               .arg(taille.height()));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            peindre(p);
        }
        QBuffer tampon(&octets);
        tampon.open(QIODevice::WriteOnly);
        const QByteArray format = QFileInfo(chemin).suffix().toLower().toLatin1();
        if (!image.save(&tampon, format.isEmpty() ? "PNG" : format.constData()))
            return refuser(QStringLiteral("Impossible d'écrire l'image « %1 » (format inconnu ?).").arg(chemin));
    }
    // Écriture atomique : un échec laisse l'ancienne image intacte.
    QString cause;
    if (!Textes::EcrireOctets(chemin, octets, &cause))
        return refuser(QStringLiteral("Impossible d'écrire l'image : %1.").arg(cause));
    return true;
}

}
