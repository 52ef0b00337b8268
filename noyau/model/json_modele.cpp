// Import et export JSON des modèles.
#include "model/json_modele.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/fichier.h"
#include "model/graphe_contenu.h"
#include "model/parametres.h"
#include "model/textes.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <cmath>
#include <vector>

namespace {

// Le texte d'une étiquette tel quel quand c'est déjà un nombre JSON une fois le séparateur
// ramené au point ; sinon sa valeur au format général à 17 chiffres.
QString nombreJson(const QString &texte)
{
    static const QRegularExpression json(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    QString t = texte.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.startsWith(QLatin1Char('.')))
        t.prepend(QLatin1Char('0'));
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    if (json.match(t).hasMatch())
        return t;
    QString v = Nombres::Formater(Nombres::VersExtended(texte), 17);
    v.replace(Nombres::Separateur(), QLatin1Char('.'));
    return v;
}

QString chaineJson(const QString &s)
{
    // QJsonDocument échappe correctement une chaîne seule dans un tableau.
    const QByteArray a = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

QString listeChaines(const QStringList &l)
{
    QStringList e;
    for (const QString &s : l)
        e << chaineJson(s);
    return QLatin1Char('[') + e.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString listeNombres(const QStringList &l)
{
    return QLatin1Char('[') + l.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString texteValeur(double v)
{
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

const QJsonValue cle(const QJsonObject &o, const char *nom)
{
    const QString n = QLatin1String(nom);
    if (o.contains(n))
        return o.value(n);
    return o.value(n + QLatin1Char('_'));
}

// Un nom plus long ferait une boîte plus large que le fichier ne l'accepte.
constexpr int LongueurNomMax = 1000;

struct Lu {
    QStringList etats, symboles;
    std::vector<double> pi;
    std::vector<std::vector<double>> a, b;
};

// Refus d'un import : le message s'adresse à l'utilisateur.
struct ERefusImport {
    QString message;
};

[[noreturn]] void refuser(const QString &message)
{
    throw ERefusImport{message};
}

std::vector<double> vecteur(const QJsonValue &v, const QString &nom, int attendu)
{
    if (!v.isArray())
        refuser(QStringLiteral("« %1 » doit être un tableau de nombres.").arg(nom));
    const QJsonArray t = v.toArray();
    if (attendu >= 0 && t.size() != attendu)
        refuser(QStringLiteral("« %1 » doit avoir %2 valeurs, il en a %3.").arg(nom).arg(attendu).arg(t.size()));
    std::vector<double> r;
    for (const QJsonValue &x : t) {
        if (!x.isDouble())
            refuser(QStringLiteral("« %1 » contient une valeur qui n'est pas un nombre.").arg(nom));
        const double d = x.toDouble();
        if (!std::isfinite(d) || d < 0 || d > 1)
            refuser(QStringLiteral("« %1 » contient %2, qui n'est pas une probabilité (entre 0 et 1).")
                        .arg(nom, texteValeur(d)));
        r.push_back(d);
    }
    return r;
}

std::vector<std::vector<double>> matrice(const QJsonValue &v, const QString &nom, int lignes, int colonnes)
{
    if (!v.isArray())
        refuser(QStringLiteral("« %1 » doit être un tableau de lignes.").arg(nom));
    const QJsonArray t = v.toArray();
    if (t.size() != lignes)
        refuser(QStringLiteral("« %1 » doit avoir %2 lignes (une par état), il en a %3.").arg(nom).arg(lignes).arg(t.size()));
    std::vector<std::vector<double>> r;
    for (int i = 0; i < lignes; ++i)
        r.push_back(vecteur(t[i], QStringLiteral("%1[%2]").arg(nom).arg(i), colonnes));
    return r;
}

QStringList noms(const QJsonValue &v, const QString &nom, int attendu, const QString &defaut, int premier)
{
    QStringList r;
    if (v.isUndefined() || v.isNull()) {
        for (int i = 0; i < attendu; ++i)
            r << defaut.arg(i + premier);
        return r;
    }
    if (!v.isArray() || v.toArray().size() != attendu)
        refuser(QStringLiteral("« %1 » doit être un tableau de %2 noms.").arg(nom).arg(attendu));
    for (const QJsonValue &x : v.toArray()) {
        QString s;
        if (x.isString())
            s = x.toString();
        else if (x.isDouble())
            s = texteValeur(x.toDouble());
        else
            refuser(QStringLiteral("« %1 » contient un nom qui n'est pas un texte.").arg(nom));
        if (s.size() > LongueurNomMax)
            refuser(QStringLiteral("Un nom de « %1 » a %2 caractères : au plus %3.").arg(nom).arg(s.size()).arg(LongueurNomMax));
        QString raison;
        if (!FichierModele::TextePortable(s, &raison))
            refuser(QStringLiteral("Le nom « %1 » de « %2 » ne convient pas : %3").arg(s, nom, raison));
        if (r.contains(s))
            refuser(QStringLiteral("Le nom « %1 » apparaît deux fois dans « %2 ».").arg(s, nom));
        r << s;
    }
    return r;
}

Lu lire(const QByteArray &json)
{
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &e);
    if (e.error != QJsonParseError::NoError)
        refuser(QStringLiteral("Le texte n'est pas du JSON valide (%1, position %2).").arg(e.errorString()).arg(e.offset));
    if (!doc.isObject())
        refuser(QStringLiteral("Le JSON doit être un objet portant startprob, transmat et emissionprob."));
    const QJsonObject o = doc.object();
    for (const char *c : {"startprob", "transmat", "emissionprob"})
        if (cle(o, c).isUndefined())
            refuser(QStringLiteral("Le tableau « %1 » manque.").arg(QLatin1String(c)));
    Lu l;
    const QJsonValue pi = cle(o, "startprob");
    const int n = pi.isArray() ? int(pi.toArray().size()) : 0;
    if (n < 1)
        refuser(QStringLiteral("« startprob » doit être un tableau non vide de nombres."));
    if (n > ModeleJson::CapaciteEtats)
        refuser(QStringLiteral("Le modèle a %1 états : le programme en accepte au plus %2 en plus de START.")
                    .arg(n)
                    .arg(ModeleJson::CapaciteEtats));
    const QJsonValue b = cle(o, "emissionprob");
    const int m = b.isArray() && !b.toArray().isEmpty() && b.toArray()[0].isArray() ? int(b.toArray()[0].toArray().size()) : 0;
    if (m < 1)
        refuser(QStringLiteral("« emissionprob » doit être un tableau de lignes non vides."));
    if (m > ParametresModele::CapaciteSymboles)
        refuser(QStringLiteral("Le modèle a %1 symboles : le programme en accepte au plus %2.")
                    .arg(m)
                    .arg(ParametresModele::CapaciteSymboles));
    l.pi = vecteur(pi, QStringLiteral("startprob"), n);
    l.a = matrice(cle(o, "transmat"), QStringLiteral("transmat"), n, n);
    l.b = matrice(b, QStringLiteral("emissionprob"), n, m);
    l.etats = noms(cle(o, "states"), QStringLiteral("states"), n, QStringLiteral("E%1"), 1);
    l.symboles = noms(cle(o, "symbols"), QStringLiteral("symbols"), m, QStringLiteral("%1"), 0);
    if (l.etats.contains(QStringLiteral("START")))
        refuser(QStringLiteral("Aucun état ne peut s'appeler START : ce nom est celui de l'état initial."));
    int arcs = 0;
    for (int i = 0; i < n; ++i) {
        arcs += l.pi[std::size_t(i)] != 0;
        int paires = 0;
        for (int j = 0; j < n; ++j)
            arcs += l.a[std::size_t(i)][std::size_t(j)] != 0;
        for (int k = 0; k < m; ++k)
            paires += l.b[std::size_t(i)][std::size_t(k)] != 0;
        if (paires > FichierModele::CapacitePaires)
            refuser(QStringLiteral("L'état « %1 » génère %2 symboles : une boîte en accepte au plus %3.")
                        .arg(l.etats[i])
                        .arg(paires)
                        .arg(FichierModele::CapacitePaires));
    }
    if (arcs > FichierModele::CapaciteArcs)
        refuser(QStringLiteral("Le modèle a %1 transitions non nulles (START compris) : le programme accepte au plus "
                               "%2 arcs.")
                    .arg(arcs)
                    .arg(FichierModele::CapaciteArcs));
    return l;
}

// Disposition : START à gauche, au milieu ; les états sur un cercle à sa droite, assez grand
// pour que deux boîtes voisines laissent entre elles la place d'une étiquette.
QStringList construire(const Lu &l)
{
    const int n = int(l.etats.size());
    // La police de l'application : celle des boîtes du programme.
    const QFontMetrics fm{QFont()};
    // Boîtes : le nom en tête, une ligne par paire « symbole : probabilité » dessous.
    int largeur = 80, paires = 0;
    for (int i = 0; i < n; ++i) {
        largeur = std::max(largeur, fm.horizontalAdvance(l.etats[i]) + 40);
        int p = 0;
        for (int k = 0; k < int(l.symboles.size()); ++k) {
            const double v = l.b[std::size_t(i)][std::size_t(k)];
            if (v == 0)
                continue;
            ++p;
            largeur = std::max(largeur, fm.horizontalAdvance(l.symboles[k] + QStringLiteral(" : ") + texteValeur(v)) + 40);
        }
        paires = std::max(paires, p);
    }
    const int hauteur = std::max(60, 30 + (fm.height() + 1) * paires);
    // Cercle : deux boîtes voisines laissent entre elles la place de deux étiquettes ; il
    // grandit avec le nombre d'états pour écarter les étiquettes des cordes vers le centre.
    const double ecart = std::max(largeur, hauteur) + 200.0;
    double rayon = n == 1 ? 0.0 : std::max(200.0, ecart / (2 * std::sin(M_PI / n))) * (1 + 0.1 * std::max(0, n - 3));
    // Le cercle reste dans les positions que le fichier accepte (boîtes, arcs, étiquettes).
    const double rayonMax = (FichierModele::PositionMax - 2000 - std::max(largeur, hauteur)) / 2.0;
    rayon = std::max(0.0, std::min(rayon, rayonMax));
    const int largeurStart = 80, hauteurStart = 40;
    const double cx = 30 + largeurStart + 200 + rayon + largeur / 2.0;
    const double cy = 40 + rayon + hauteur / 2.0;

    ContenuModele c;
    c.Start = true;
    auto poser = [&](const QString &nom, int x, int y, int lg, int h) -> ContenuModele::Etat & {
        ContenuModele::Etat e;
        e.Nom = nom;
        e.Left = x;
        e.Top = y;
        e.Width = lg;
        e.Height = h;
        c.Etats.append(e);
        return c.Etats.last();
    };
    poser(QStringLiteral("START"), 30, int(cy - hauteurStart / 2.0), largeurStart, hauteurStart);
    for (int i = 0; i < n; ++i) {
        // Premier état en haut, puis dans le sens des aiguilles d'une montre.
        const double angle = -M_PI / 2 + 2 * M_PI * i / n;
        const int x = int(std::lround(cx + rayon * std::cos(angle) - largeur / 2.0));
        const int y = int(std::lround(cy + rayon * std::sin(angle) - hauteur / 2.0));
        ContenuModele::Etat &e = poser(l.etats[i], x, y, largeur, hauteur);
        for (int k = 0; k < int(l.symboles.size()); ++k) {
            const double v = l.b[std::size_t(i)][std::size_t(k)];
            if (v != 0)
                e.Paires.append({l.symboles[k], texteValeur(v)});
        }
    }
    c.Dernier = n;
    // Les arcs comme les pose le document : rayon des boucles 20, géométrie de GrapheHmm.
    GrapheHmm g;
    g.RayonBoucle = 20;
    g.TypeFleche = 3;
    const auto interieur = [&](int k) -> std::optional<QRect> {
        if (k < 0 || k >= c.Etats.size())
            return std::nullopt;
        const ContenuModele::Etat &e = c.Etats[k];
        return QRect(e.Left + 2, e.Top + 2, e.Width - 4, e.Height - 4);
    };
    auto arc = [&](int source, int destination, double v) {
        if (v == 0)
            return;
        const QRect r = *interieur(source), q = *interieur(destination);
        const int a = g.DessinerARC(r.x(), r.y(), r.width(), r.height(), q.x(), q.y(), q.width(), q.height(), -1, source,
                                    destination);
        g.Etiquette[a] = texteValeur(v);
    };
    for (int i = 0; i < n; ++i)
        arc(0, i + 1, l.pi[std::size_t(i)]);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            arc(i + 1, j + 1, l.a[std::size_t(i)][std::size_t(j)]);
    // Géométrie finale : les paires d'arcs opposés deviennent courbes.
    for (int k = 0; k <= n; ++k)
        GrapheContenu::RedessinerArcsEtat(g, k, interieur);
    c.Arcs = GrapheContenu::Arcs(g);
    return FichierModele::Ecrire(c);
}

}

namespace ModeleJson {

QByteArray Exporter(const ContenuModele &c)
{
    ParametresModele p;
    CalculerParametres(c, p);
    QStringList etats, symboles, pi, a, b;
    for (int i = 1; i <= p.N; ++i)
        etats << p.NomEtat(i);
    for (int k = 1; k <= p.M; ++k)
        symboles << p.Symboles[k];
    // Les indices du graphe comme CalculerParametres les lit (le dernier nom, le dernier arc
    // répondent).
    const IndexGraphe index(c);
    auto etiquette = [&](int source, int destination) {
        const int i = index.Arc(source, destination);
        return i < 1 || i > c.Arcs.size() ? QStringLiteral("0") : nombreJson(c.Arcs[i - 1].Etiquette);
    };
    for (int i = 1; i <= p.N; ++i)
        pi << etiquette(0, index.Etat(i));
    for (int i = 1; i <= p.N; ++i) {
        QStringList ligne;
        for (int j = 1; j <= p.N; ++j)
            ligne << etiquette(index.Etat(i), index.Etat(j));
        a << QStringLiteral("    ") + listeNombres(ligne);
    }
    for (int i = 1; i <= p.N; ++i) {
        QStringList ligne;
        const ContenuModele::Etat *e = c.EtatRegistre(i);
        for (int k = 1; k <= p.M; ++k) {
            QString v = QStringLiteral("0");
            for (const auto &paire : e->Paires)
                if (paire.first == p.Symboles[k])
                    v = nombreJson(paire.second);
            ligne << v;
        }
        b << QStringLiteral("    ") + listeNombres(ligne);
    }
    QStringList l;
    l << QStringLiteral("{");
    l << QStringLiteral("  \"n_components\": %1,").arg(p.N);
    l << QStringLiteral("  \"n_features\": %1,").arg(p.M);
    l << QStringLiteral("  \"states\": ") + listeChaines(etats) + QLatin1Char(',');
    l << QStringLiteral("  \"symbols\": ") + listeChaines(symboles) + QLatin1Char(',');
    l << QStringLiteral("  \"startprob\": ") + listeNombres(pi) + QLatin1Char(',');
    l << QStringLiteral("  \"transmat\": [");
    l << a.join(QStringLiteral(",\n"));
    l << QStringLiteral("  ],");
    l << QStringLiteral("  \"emissionprob\": [");
    l << b.join(QStringLiteral(",\n"));
    l << QStringLiteral("  ]");
    l << QStringLiteral("}");
    return l.join(QLatin1Char('\n')).toUtf8() + '\n';
}

bool ExporterFichier(const ContenuModele &c, const QString &chemin, QString *erreur)
{
    const QByteArray json = Exporter(c);
    // Le JSON écrit doit s'importer : ce que l'import refuserait n'est pas écrit.
    try {
        lire(json);
    } catch (const ERefusImport &x) {
        if (erreur)
            *erreur = QStringLiteral("Le modèle ne peut pas être exporté : le JSON produit ne s'importerait pas.\n%1").arg(x.message);
        return false;
    }
    return Textes::EcrireOctets(chemin, json, erreur);
}

bool Importer(const QByteArray &json, QStringList *modele, QString *erreur)
{
    QStringList lignes;
    try {
        lignes = construire(lire(json));
    } catch (const ERefusImport &x) {
        if (erreur)
            *erreur = x.message;
        return false;
    }
    // Le modèle importé doit pouvoir s'enregistrer et se rouvrir.
    QString raison;
    if (!FichierModele::Relisible(lignes, &raison)) {
        if (erreur)
            *erreur = QStringLiteral("Le modèle ne pourrait pas être enregistré : %1.").arg(raison);
        return false;
    }
    *modele = lignes;
    return true;
}

bool LireJson(const QString &chemin, QByteArray *octets, QString *erreur)
{
    QString cause;
    const bool lu = chemin == QLatin1String("-") ? Textes::LireEntreeStandard(LimiteTaille, octets, &cause)
                                                 : Textes::LireOctets(chemin, LimiteTaille, octets, &cause);
    if (!lu && erreur)
        *erreur = chemin == QLatin1String("-")
                      ? QStringLiteral("Impossible de lire le modèle JSON sur l'entrée standard : %1.").arg(cause)
                      : QStringLiteral("Impossible de lire le fichier « %1 » : %2.").arg(QFileInfo(chemin).fileName(), cause);
    return lu;
}

bool ImporterFichier(const QString &chemin, QStringList *modele, QString *erreur)
{
    QByteArray json;
    if (!LireJson(chemin, &json, erreur))
        return false;
    QString e;
    if (!Importer(json, modele, &e)) {
        if (erreur)
            *erreur = QStringLiteral("Le fichier « %1 » ne peut pas être importé :\n%2").arg(QFileInfo(chemin).fileName(), e);
        return false;
    }
    return true;
}

}
