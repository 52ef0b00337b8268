// Le treillis des calculs : données, formules et dessin.
#include "trace/treillis.h"
#include "algorithms/decodage.h"
#include "algorithms/evaluation.h"
#include "algorithms/portee.h"
#include "algorithms/sequence.h"
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

// Produits des 1/c_t depuis le début et depuis la fin : α = ᾱ × Avant, β = β̂ × Apres.
void cumuler(Donnees &d)
{
    if (!d.Echelle)
        return;
    const std::size_t T = std::size_t(d.T);
    d.Avant.assign(T + 2, GrandeProbabilite::De(1));
    d.Apres.assign(T + 2, GrandeProbabilite::De(1));
    for (std::size_t t = 1; t <= T; ++t) {
        d.Avant[t] = d.Avant[t - 1];
        d.Avant[t] *= 1 / d.C[t];
    }
    for (std::size_t t = T; t >= 1; --t) {
        d.Apres[t] = d.Apres[t + 1];
        d.Apres[t] *= 1 / d.C[t];
    }
}

// Bornes des teintes, une fois la table remplie.
void echelle(Donnees &d)
{
    cumuler(d);
    d.MaxColonne.assign(std::size_t(d.T) + 1, 0);
    long double etendue = 0;
    for (int t = 1; t <= d.T; ++t) {
        bool premier = true;
        long double bas = 0, haut = 0;
        for (int i = 1; i <= d.N; ++i)
            if (const long double l = Log10Valeur(d, t, i); std::isfinite(l)) {
                bas = premier ? l : std::min(bas, l);
                haut = premier ? l : std::max(haut, l);
                premier = false;
            }
        d.MaxColonne[std::size_t(t)] = haut;
        etendue = std::max(etendue, haut - bas);
    }
    d.Etendue = std::clamp(etendue, 1.0L, 12.0L);
}

// Ce que le calcul laisse dans l'espace quand il a été mis à l'échelle.
void copierEchelle(const EspaceTravail &e, Donnees &d)
{
    d.Echelle = e.MisALEchelle;
    d.PEchelle = e.ProbabiliteEchelle;
    d.C.assign(e.FacteursEchelle.data(), e.FacteursEchelle.data() + e.FacteursEchelle.size());
}

}

Donnees Preparer(const ParametresModele &p, EspaceTravail &e, Valeurs valeurs)
{
    Donnees d;
    copierModele(p, e, valeurs, d);
    EvaluerTables(p, e);
    if (valeurs == Valeurs::Gamma)
        CalculerGammaTables(p, e); // refus d'une séquence impossible avant tout dessin
    d.Alpha = e.Alpha;
    d.Beta = e.Beta;
    d.P = e.Probabilite;
    copierEchelle(e, d);
    if (!d.PEchelle.EstNulle()) {
        if (valeurs != Valeurs::Gamma)
            CalculerGammaTables(p, e);
        d.Gamma = e.Gamma;
        // Le chemin de Viterbi, exact ou mis à l'échelle (ln δ) quand il sort de la plage.
        Decoder(p, e);
        d.DeltaLog = e.MisALEchelle;
    } else {
        d.Gamma.Dimensionner(d.T + 1, p.N + 1);
        CalculerViterbi(p, e);
        e.ProbabiliteEchelle = GrandeProbabilite::De(e.Probabilite);
    }
    d.Delta = e.Delta;
    d.Psi = e.Psi;
    d.PViterbi = e.Probabilite;
    d.PViterbiEchelle = e.ProbabiliteEchelle;
    if (!d.PViterbiEchelle.EstNulle())
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
        copierEchelle(e, d);
        break;
    case Valeurs::Beta:
        d.Beta = e.Beta;
        copierEchelle(e, d);
        break;
    case Valeurs::Delta:
        d.Delta = e.Delta;
        d.Psi = e.Psi;
        d.DeltaLog = e.MisALEchelle;
        d.PViterbi = e.Probabilite;
        d.PViterbiEchelle = e.ProbabiliteEchelle;
        break;
    case Valeurs::Gamma:
        d.Alpha = e.Alpha;
        d.Beta = e.Beta;
        d.Gamma = e.Gamma;
        d.P = e.Probabilite;
        copierEchelle(e, d);
        break;
    }
    echelle(d);
    return d;
}

GrandeProbabilite Valeur(const Donnees &d, int t, int j)
{
    const long double x = d.Table()(t, j);
    if (!d.TableEchelle() || d.Quoi == Valeurs::Gamma)
        return GrandeProbabilite::De(x);
    if (d.Quoi == Valeurs::Delta)
        return GrandeProbabilite::DeLogarithme(x);
    GrandeProbabilite g = GrandeProbabilite::De(x);
    g *= d.Quoi == Valeurs::Alpha ? d.Avant[std::size_t(t)] : d.Apres[std::size_t(t)];
    return g;
}

long double Log10Valeur(const Donnees &d, int t, int j)
{
    if (d.Quoi == Valeurs::Delta && d.DeltaLog)
        return d.Delta(t, j) / 2.302585092994045684017991454684364208L; // ln δ sans détour
    return Valeur(d, t, j).Log10();
}

QString TexteValeur(const Donnees &d, int t, int j, int chiffres)
{
    if (!d.TableEchelle())
        return Nombres::Formater(d.Table()(t, j), chiffres);
    return Valeur(d, t, j).Texte(chiffres);
}

QString TexteEntete(const Donnees &d)
{
    if (!d.TableEchelle())
        return {};
    const bool delta = d.Quoi == Valeurs::Delta;
    const GrandeProbabilite &g = delta ? d.PViterbiEchelle : d.PEchelle;
    const QString p = delta ? QStringLiteral("P(O, Q*|λ)") : QStringLiteral("P(O|λ)");
    return QStringLiteral("%1 = %2 (mis à l'échelle) ; log10 %1 = %3")
        .arg(p, g.Texte(), Nombres::Formater(g.Log10()));
}

namespace {

// Termes marqués dans le texte d'une formule : U+E000 + couleur devant, U+E0FF derrière ;
// FormuleCouleurs en fait des balises (après l'échappement du reste), Formule n'en pose pas.
constexpr int MarqueDebut = 0xE000, MarqueFin = 0xE0FF, NombreMarques = 0xFF;

struct Marqueur {
    bool Actif = false;
    QString operator()(int k, const QString &texte) const
    {
        return Actif ? QChar(MarqueDebut + k % NombreMarques) + texte + QChar(MarqueFin) : texte;
    }
};

// La formule d'une case mise à l'échelle : ᾱ et β̂ avec leurs facteurs c_t, γ tiré d'eux, δ en
// mantisse et exposant ; la valeur vraie suit.
QString formuleEchelle(const Donnees &d, int t, int j, const Marqueur &m)
{
    const QString &nj = d.Etats[j];
    const auto a = [&](int i, int k) { return QStringLiteral("a(%1,%2)").arg(d.Etats[i], d.Etats[k]); };
    const auto b = [&](int i, int tt) { return QStringLiteral("b(%1,%2)").arg(d.Etats[i], d.Symboles[tt]); };
    const auto c = [&](int tt) { return n(d.C[std::size_t(tt)]); };
    const QString alpha = QStringLiteral("ᾱ"), beta = QStringLiteral("β\u0302");
    const auto nom = [&](const QString &q, int tt, int i) { return QStringLiteral("%1%2(%3)").arg(q).arg(tt).arg(d.Etats[i]); };
    QString lettres, nombres, valeur = n(d.Table()(t, j));
    switch (d.Quoi) {
    case Valeurs::Alpha: {
        if (t == 1) {
            lettres = QStringLiteral("c1·") + m(0, QStringLiteral("π(%1)·%2").arg(nj, b(j, 1)));
            nombres = c(1) + QStringLiteral(" × ") + m(0, QStringLiteral("%1 × %2").arg(n(d.PI[std::size_t(j)]), n(d.b(j, 1))));
            break;
        }
        QStringList l, v;
        for (int i = 1; i <= d.N; ++i)
            if (d.a(i, j) != 0) {
                l << m(int(l.size()), nom(alpha, t - 1, i) + QStringLiteral("·") + a(i, j));
                v << m(int(v.size()), n(d.Alpha(t - 1, i)) + QStringLiteral(" × ") + n(d.a(i, j)));
            }
        if (l.isEmpty()) {
            lettres = QStringLiteral("0 (aucune transition vers %1)").arg(nj);
            nombres = QStringLiteral("0");
        } else {
            lettres = QStringLiteral("c%1·[%2]·%3").arg(t).arg(l.join(QStringLiteral(" + ")), b(j, t));
            nombres = QStringLiteral("%1 × [%2] × %3").arg(c(t), v.join(QStringLiteral(" + ")), n(d.b(j, t)));
        }
        break;
    }
    case Valeurs::Beta: {
        if (t == d.T) {
            lettres = QStringLiteral("c%1").arg(t);
            break;
        }
        QStringList l, v;
        for (int k = 1; k <= d.N; ++k)
            if (d.a(j, k) != 0) {
                l << m(int(l.size()), a(j, k) + QStringLiteral("·") + b(k, t + 1) + QStringLiteral("·") + nom(beta, t + 1, k));
                v << m(int(v.size()), n(d.a(j, k)) + QStringLiteral(" × ") + n(d.b(k, t + 1)) + QStringLiteral(" × ") +
                                          n(d.Beta(t + 1, k)));
            }
        if (l.isEmpty()) {
            lettres = QStringLiteral("0 (aucune transition depuis %1)").arg(nj);
        } else {
            lettres = QStringLiteral("c%1·[%2]").arg(t).arg(l.join(QStringLiteral(" + ")));
            nombres = QStringLiteral("%1 × [%2]").arg(c(t), v.join(QStringLiteral(" + ")));
        }
        break;
    }
    case Valeurs::Gamma:
        lettres = QStringLiteral("%1·%2 / c%3").arg(m(0, nom(alpha, t, j)), m(1, nom(beta, t, j))).arg(t);
        nombres = QStringLiteral("%1 × %2 / %3").arg(m(0, n(d.Alpha(t, j))), m(1, n(d.Beta(t, j))), c(t));
        break;
    case Valeurs::Delta: {
        valeur = TexteValeur(d, t, j);
        if (t == 1) {
            lettres = m(0, QStringLiteral("π(%1)·%2").arg(nj, b(j, 1)));
            nombres = m(0, QStringLiteral("%1 × %2").arg(n(d.PI[std::size_t(j)]), n(d.b(j, 1))));
            break;
        }
        QStringList l, v;
        for (int i = 1; i <= d.N; ++i)
            if (d.a(i, j) != 0) {
                l << m(int(l.size()), nom(QStringLiteral("δ"), t - 1, i) + QStringLiteral("·") + a(i, j));
                v << m(int(v.size()), TexteValeur(d, t - 1, i) + QStringLiteral(" × ") + n(d.a(i, j)));
            }
        if (l.isEmpty()) {
            lettres = QStringLiteral("0 (aucune transition vers %1)").arg(nj);
            nombres = QStringLiteral("0");
        } else {
            lettres = QStringLiteral("max[") + l.join(QStringLiteral(" ; ")) + QStringLiteral("]·") + b(j, t);
            nombres = QStringLiteral("max[") + v.join(QStringLiteral(" ; ")) + QStringLiteral("] × ") + n(d.b(j, t));
        }
        break;
    }
    }
    const QString s = d.Quoi == Valeurs::Alpha ? alpha : d.Quoi == Valeurs::Beta ? beta : Symbole(d.Quoi);
    QString r = nom(s, t, j) + QStringLiteral(" = ") + lettres;
    if (!nombres.isEmpty())
        r += QStringLiteral(" = ") + nombres;
    r += QStringLiteral(" = ") + valeur;
    if (d.Quoi == Valeurs::Alpha || d.Quoi == Valeurs::Beta)
        r += QStringLiteral(" ; ") + nom(Symbole(d.Quoi), t, j) + QStringLiteral(" = ") + TexteValeur(d, t, j);
    if (d.Quoi == Valeurs::Delta && t > 1 && std::isfinite(d.Delta(t, j)))
        r += QStringLiteral(" ; ψ%1(%2) = %3").arg(t).arg(nj, d.Etats[d.Psi(t, j)]);
    return r;
}

QString formule(const Donnees &d, int t, int j, const Marqueur &m)
{
    if (d.TableEchelle())
        return formuleEchelle(d, t, j, m);
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
            lettres = m(0, QStringLiteral("π(%1)·%2").arg(nj, b(j, 1)));
            nombres = m(0, QStringLiteral("%1 × %2").arg(n(d.PI[std::size_t(j)]), n(d.b(j, 1))));
            break;
        }
        QStringList l, v;
        for (int i = 1; i <= d.N; ++i) {
            if (d.a(i, j) == 0)
                continue;
            l << m(int(l.size()), nom(s, t - 1, i) + QStringLiteral("·") + a(i, j));
            v << m(int(v.size()), n(prec(t - 1, i)) + QStringLiteral(" × ") + n(d.a(i, j)));
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
            l << m(int(l.size()), a(j, k) + QStringLiteral("·") + b(k, t + 1) + QStringLiteral("·") + nom(s, t + 1, k));
            v << m(int(v.size()),
                   n(d.a(j, k)) + QStringLiteral(" × ") + n(d.b(k, t + 1)) + QStringLiteral(" × ") + n(d.Beta(t + 1, k)));
        }
        lettres = l.isEmpty() ? QStringLiteral("0 (aucune transition depuis %1)").arg(nj) : l.join(QStringLiteral(" + "));
        nombres = l.isEmpty() ? QString() : v.join(QStringLiteral(" + "));
        break;
    }
    case Valeurs::Gamma:
        lettres = QStringLiteral("%1·%2 / P(O|λ)").arg(m(0, nom(QStringLiteral("α"), t, j)), m(1, nom(QStringLiteral("β"), t, j)));
        nombres = QStringLiteral("%1 × %2 / %3").arg(m(0, n(d.Alpha(t, j))), m(1, n(d.Beta(t, j))), n(d.P));
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

}

QString Formule(const Donnees &d, int t, int j)
{
    return formule(d, t, j, Marqueur{});
}

QColor CouleurTerme(int k)
{
    // Foncées pour se lire sur fond clair, loin du rouge du chemin de Viterbi et de l'orange
    // de la case mise en évidence.
    static const QColor couleurs[] = {QColor(0, 130, 60),  QColor(130, 50, 170), QColor(0, 120, 150),
                                      QColor(150, 90, 0),  QColor(190, 30, 130), QColor(90, 110, 0),
                                      QColor(60, 60, 200), QColor(110, 70, 50)};
    constexpr int taille = int(sizeof couleurs / sizeof couleurs[0]);
    return couleurs[((k % taille) + taille) % taille];
}

QString FormuleCouleurs(const Donnees &d, int t, int j)
{
    QString r;
    for (const QChar c : formule(d, t, j, Marqueur{true}).toHtmlEscaped()) {
        const int u = c.unicode();
        if (u == MarqueFin)
            r += QStringLiteral("</span>");
        else if (u >= MarqueDebut && u < MarqueDebut + NombreMarques)
            r += QStringLiteral("<span style=\"color:%1\">").arg(CouleurTerme(u - MarqueDebut).name());
        else
            r += c;
    }
    return r;
}

Entrees Lues(const Donnees &d, int t, int j)
{
    Entrees e;
    const auto ajouter = [&](Valeurs table, int tt, int i, int de, int vers, int etat, int te) {
        e.Termes.push_back({table, tt, i, de, vers, etat, te, int(e.Termes.size())});
    };
    switch (d.Quoi) {
    case Valeurs::Alpha:
    case Valeurs::Delta:
        if (t == 1)
            ajouter(d.Quoi, 0, 0, 0, j, j, 1);
        else
            for (int i = 1; i <= d.N; ++i)
                if (d.a(i, j) != 0)
                    ajouter(d.Quoi, t - 1, i, i, j, j, t);
        break;
    case Valeurs::Beta:
        if (t < d.T)
            for (int k = 1; k <= d.N; ++k)
                if (d.a(j, k) != 0)
                    ajouter(Valeurs::Beta, t + 1, k, j, k, k, t + 1);
        break;
    case Valeurs::Gamma:
        ajouter(Valeurs::Alpha, t, j, -1, -1, 0, 0);
        ajouter(Valeurs::Beta, t, j, -1, -1, 0, 0);
        break;
    }
    // Les noms de la formule : ᾱ et β̂ quand la table est mise à l'échelle.
    const bool echelle = d.TableEchelle();
    const auto symbole = [&](Valeurs v) {
        if (echelle && v == Valeurs::Alpha)
            return QStringLiteral("ᾱ");
        if (echelle && v == Valeurs::Beta)
            return QStringLiteral("β\u0302");
        return Symbole(v);
    };
    QStringList cases, arcs, emissions;
    for (const Terme &x : e.Termes) {
        if (x.T > 0)
            cases << QStringLiteral("%1%2(%3)").arg(symbole(x.Table)).arg(x.T).arg(d.Etats[x.I]);
        if (x.De >= 0)
            arcs << d.Etats[x.De] + QStringLiteral(" → ") + d.Etats[x.Vers];
        if (x.EtatEmission > 0) {
            const QString b = QStringLiteral("b(%1,%2)").arg(d.Etats[x.EtatEmission], d.Symboles[x.TEmission]);
            if (!emissions.contains(b))
                emissions << b;
        }
    }
    const auto liste = [](const QStringList &l) { return l.isEmpty() ? QStringLiteral("aucune") : l.join(QStringLiteral(", ")); };
    e.Texte = QStringLiteral("Cases lues : ") + liste(cases);
    if (d.Quoi != Valeurs::Gamma) {
        e.Texte += QStringLiteral(" ; arcs : ") + (arcs.isEmpty() ? QStringLiteral("aucun") : arcs.join(QStringLiteral(", ")));
        e.Texte += QStringLiteral(" ; émissions : ") + liste(emissions);
    }
    return e;
}

QString FormuleGamma(const ContenuModele &modele, const QString &sequence, bool caractere, int t, int j)
{
    try {
        ParametresModele p;
        CalculerParametres(modele, p);
        EspaceTravail e;
        e.SequenceObservations = sequence;
        e.DecoupageCaractere = caractere;
        DecouperSequence(p, e);
        if (t < 1 || t > e.LongueurSequence || j < 1 || j > p.N || qint64(e.LongueurSequence) * (p.N + 1) > 1'000'000)
            return QString();
        return Formule(Preparer(p, e, Valeurs::Gamma), t, j);
    } catch (const ERefusCalcul &) {
    } catch (const EConversion &) {
    } catch (const ETropDeSymboles &) {
    } catch (const std::bad_alloc &) {
    }
    return QString();
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
    if (d.TableEchelle())
        Haut += d.Quoi == Valeurs::Delta ? 22 : 44;
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

QString Legende(const Donnees &d)
{
    return texteLegende(d);
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
    // Mis à l'échelle : P(O|λ) et son log10 au-dessus, les facteurs c_t sous les symboles.
    const bool echelle = d.TableEchelle();
    const int y0 = echelle ? 26 : 4;
    if (echelle)
        p.drawText(QRect(4, 4, std::max(g.Taille().width(), LargeurMinimale(d)), 22), Qt::AlignLeft | Qt::AlignVCenter,
                   TexteEntete(d));
    const bool facteurs = echelle && d.Quoi != Valeurs::Delta && !d.C.empty();
    p.drawText(QRect(4, y0, g.Gauche - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("t"));
    p.drawText(QRect(4, y0 + 22, g.Gauche - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("o_t"));
    if (facteurs)
        p.drawText(QRect(4, y0 + 44, g.Gauche - 8, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("c_t"));
    for (int i = 1; i <= d.N; ++i)
        p.drawText(QRect(4, g.Haut + (i - 1) * Geometrie::Ligne, g.Gauche - 8, Geometrie::Ligne),
                   Qt::AlignLeft | Qt::AlignVCenter, d.Etats[i]);
    p.setFont(police());
    for (int t = t0; t <= t1; ++t) {
        const QRect c(g.Gauche + (t - 1) * Geometrie::Colonne, y0, Geometrie::Colonne, 22);
        p.setPen(Visible(d, etape, t) ? Qt::black : Qt::gray);
        p.drawText(c, Qt::AlignCenter, QString::number(t));
        p.drawText(c.translated(0, 22), Qt::AlignCenter, d.Symboles[t]);
        if (facteurs)
            p.drawText(c.translated(0, 44), Qt::AlignCenter, Nombres::Formater(d.C[std::size_t(t)], 5));
    }
    p.setPen(QPen(QColor(210, 210, 210), 1));
    p.drawLine(g.Gauche - 6, g.Haut - 4, g.Taille().width(), g.Haut - 4);

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
                    if (std::isfinite(Log10Valeur(d, t, j)))
                        p.drawLine(gauche(t, j), droite(t - 1, d.Psi(t, j)));
    }
    if (!d.Chemin.empty()) {
        p.setPen(QPen(QColor(200, 20, 20), 4, Qt::SolidLine, Qt::RoundCap));
        for (int t = std::max(2, t0); t <= t1; ++t)
            if (Visible(d, etape, t) && Visible(d, etape, t - 1))
                p.drawLine(droite(t - 1, d.Chemin[std::size_t(t - 1)]), gauche(t, d.Chemin[std::size_t(t)]));
    }
    // Ce que lit la formule de la case mise en évidence : ses transitions épaissies, ses cases
    // bordées (plus bas), dans la couleur de leur terme. γ lit d'autres tables : ses valeurs à part, plus bas.
    int colonneLue = 0;
    std::vector<int> couleurLue;
    if (tSurligne > 0 && jSurligne > 0 && Visible(d, etape, tSurligne)) {
        couleurLue.assign(std::size_t(d.N) + 1, -1);
        for (const Terme &x : Lues(d, tSurligne, jSurligne).Termes) {
            if (x.T <= 0 || x.Table != d.Quoi || !Visible(d, etape, x.T))
                continue;
            colonneLue = x.T;
            couleurLue[std::size_t(x.I)] = x.Couleur;
            p.setPen(QPen(CouleurTerme(x.Couleur), 4, Qt::SolidLine, Qt::RoundCap));
            if (x.T < tSurligne)
                p.drawLine(droite(x.T, x.I), gauche(tSurligne, jSurligne));
            else
                p.drawLine(droite(tSurligne, jSurligne), gauche(x.T, x.I));
        }
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
            const long double l = Log10Valeur(d, t, j);
            const bool nonNul = std::isfinite(l);
            QColor fond = Qt::white, texte = Qt::black;
            if (nonNul) {
                const double f = std::clamp(double(1 + (l - d.MaxColonne[std::size_t(t)]) / d.Etendue), 0.0, 1.0);
                fond = QColor::fromRgbF(clair.redF() + (fonce.redF() - clair.redF()) * f,
                                        clair.greenF() + (fonce.greenF() - clair.greenF()) * f,
                                        clair.blueF() + (fonce.blueF() - clair.blueF()) * f);
                texte = f > 0.55 ? Qt::white : Qt::black;
            }
            p.setBrush(fond);
            if (t == tSurligne && j == jSurligne)
                p.setPen(QPen(QColor(255, 140, 0), 4));
            else if (t == colonneLue && couleurLue[std::size_t(j)] >= 0)
                p.setPen(QPen(CouleurTerme(couleurLue[std::size_t(j)]), 4));
            else if (chemin)
                p.setPen(QPen(QColor(200, 20, 20), 3));
            else
                p.setPen(QPen(nonNul ? QColor(90, 100, 130) : QColor(170, 170, 170), 1, nonNul ? Qt::SolidLine : Qt::DashLine));
            p.drawRoundedRect(r, 8, 8);
            p.setPen(texte);
            p.setFont(police(chemin));
            p.drawText(r, Qt::AlignCenter, echelle ? TexteValeur(d, t, j, 4) : Nombres::Formater(v(t, j), 4));
        }
    }

    // γ lit α et β de sa propre case, absents de la table montrée : leurs valeurs, bordées
    // dans la couleur de leur terme, au-dessus et au-dessous du nœud mis en évidence.
    if (d.Quoi == Valeurs::Gamma && tSurligne >= t0 && tSurligne <= t1 && jSurligne > 0 && Visible(d, etape, tSurligne) &&
        d.Alpha.Lignes() > tSurligne && d.Beta.Lignes() > tSurligne) {
        const QRect r = g.Noeud(tSurligne, jSurligne);
        const int h = (Geometrie::Ligne - Geometrie::HauteurNoeud) / 2;
        QFont f = police();
        f.setPixelSize(h - 4);
        p.setFont(f);
        const auto puce = [&](const QRect &zone, int couleur, const QString &texte) {
            p.setBrush(Qt::white);
            p.setPen(QPen(CouleurTerme(couleur), 2));
            p.drawRect(zone.adjusted(1, 1, -1, -1));
            p.drawText(zone, Qt::AlignCenter, texte);
        };
        const QString a = echelle ? QStringLiteral("ᾱ") : QStringLiteral("α"), b = echelle ? QStringLiteral("β\u0302") : QStringLiteral("β");
        const int t = tSurligne, j = jSurligne;
        puce(QRect(r.left() - 10, r.top() - h, r.width() + 20, h), 0,
             QStringLiteral("%1%2 = %3").arg(a).arg(t).arg(Nombres::Formater(d.Alpha(t, j), 4)));
        puce(QRect(r.left() - 10, r.bottom() + 1, r.width() + 20, h), 1,
             QStringLiteral("%1%2 = %3").arg(b).arg(t).arg(Nombres::Formater(d.Beta(t, j), 4)));
    }

    // Légende.
    p.setFont(police());
    p.setPen(Qt::black);
    const QString legende = texteLegende(d);
    p.drawText(QRect(zone.left() + 4, g.Haut + d.N * Geometrie::Ligne + 6, std::max(zone.width(), LargeurMinimale(d)), 22),
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

// L'image des instants debut..fin ; le dessin de la colonne des noms par-dessus quand les
// instants ne commencent pas à 1.
void peindreColonnes(QPainter &p, const Donnees &d, const Geometrie &g, const QSize &taille, int debut)
{
    const int decalage = (debut - 1) * Geometrie::Colonne;
    const QRect visible(QPoint(0, 0), taille);
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
}

QSize tailleImage(const Donnees &d, const Geometrie &g, int colonnes)
{
    return QSize(std::max(g.Gauche + colonnes * Geometrie::Colonne + 10, LargeurMinimale(d)), g.Taille().height());
}

// Texte SVG des instants debut..fin, dans un tampon borné par `limite` ; false quand il déborde.
bool texteSvg(const Donnees &d, const Geometrie &g, int debut, int fin, qint64 limite, QByteArray *octets)
{
    const QSize taille = tailleImage(d, g, fin - debut + 1);
    TamponBorne tampon(limite);
    tampon.open(QIODevice::WriteOnly);
    QSvgGenerator generateur;
    generateur.setOutputDevice(&tampon);
    generateur.setSize(taille);
    generateur.setViewBox(QRect(QPoint(0, 0), taille));
    generateur.setTitle(QStringLiteral("Treillis ") + Titre(d.Quoi));
    QPainter p;
    if (!p.begin(&generateur))
        return false;
    peindreColonnes(p, d, g, taille, debut);
    p.end();
    if (tampon.Deborde)
        return false;
    *octets = std::move(tampon.Octets);
    return true;
}

// Le plus grand nombre de colonnes dont l'image tient sous LimiteImage. PNG : pixels de 4
// octets. SVG : mesuré sur quelques colonnes des instants demandés (une, puis neuf), le texte
// d'une colonne ne dépendant que de ses nœuds, de leurs nombres et des transitions.
qint64 colonnesPermises(const Donnees &d, const Geometrie &g, bool svg, int debut, int fin)
{
    if (!svg) {
        const qint64 largeur = LimiteImage / (4 * qint64(g.Taille().height()));
        return (largeur - g.Gauche - 10) / Geometrie::Colonne;
    }
    const int echantillon = std::min(9, fin - debut + 1);
    QByteArray un, plusieurs;
    if (!texteSvg(d, g, debut, debut, LimiteImage, &un))
        return 0;
    if (echantillon < 2)
        return 1;
    if (!texteSvg(d, g, debut, debut + echantillon - 1, LimiteImage, &plusieurs))
        return 0;
    const qint64 parColonne = std::max<qint64>(1, (plusieurs.size() - un.size()) / (echantillon - 1));
    const qint64 fixe = std::max<qint64>(0, un.size() - parColonne);
    return (LimiteImage - fixe) / parColonne;
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
    const QSize taille = tailleImage(d, g, colonnes);
    const bool svg = QFileInfo(chemin).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    const qint64 permises = colonnesPermises(d, g, svg, debut, fin);
    const auto trop = [&](qint64 permises) {
        return refuser(QStringLiteral("L'image du treillis dépasserait %1 Mo (%2 colonnes, au plus %3 ici) : choisissez "
                                      "une partie des instants avec --colonnes DEBUT:FIN (par exemple --colonnes %4:%5).")
                           .arg(LimiteImage / (1024 * 1024))
                           .arg(colonnes)
                           .arg(std::max<qint64>(permises, 0))
                           .arg(debut)
                           .arg(debut + std::max<qint64>(permises, 1) - 1));
    };
    // SVG : les nombres d'une colonne n'ont pas tous la même longueur ; près de la limite,
    // c'est le texte écrit qui décide (tampon borné), pas l'estimation.
    if (svg ? colonnes > permises + permises / 4 : colonnes > permises)
        return trop(permises);
    QByteArray octets;
    if (svg) {
        if (!texteSvg(d, g, debut, fin, LimiteImage, &octets))
            return trop(std::min<qint64>(permises, colonnes - 1));
    } else {
        QImage image(taille, QImage::Format_RGB32);
        if (image.isNull())
            return refuser(QStringLiteral("Mémoire insuffisante pour l'image du treillis (%1 × %2).")
                               .arg(taille.width())
                               .arg(taille.height()));
        image.fill(Qt::white);
        {
            QPainter p(&image);
            peindreColonnes(p, d, g, taille, debut);
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
