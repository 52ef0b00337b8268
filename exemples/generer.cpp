// Génère les modèles d'exemple (exemples/*.hmm) avec l'écrivain du programme lui-même.
// Usage : generer_exemples DOSSIER
#include "graph/boite.h"
#include "graph/nombres.h"
#include "model/document.h"

#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Etat {
    const char *nom;
    int x, y, l, h;
    QList<QPair<QString, QString>> paires;
};
struct Arc {
    int source, destination;
    const char *probabilite;
};

bool ecrire(const QString &chemin, const QList<Etat> &etats, const QList<Arc> &arcs)
{
    DocumentModele d;
    d.GrapheVue()->DefinirTailleSurface(QSize(900, 600));
    // Tout passe par les opérations du document, comme à la souris.
    for (const Etat &e : etats) {
        ContenuModele::Etat c;
        c.Nom = QLatin1String(e.nom);
        c.Left = e.x;
        c.Top = e.y;
        c.Width = e.l;
        c.Height = e.h;
        c.Paires = e.paires;
        d.AjouterEtat(c, false);
    }
    for (const Arc &a : arcs)
        d.ChangerEtiquette(d.AjouterArc(a.source, a.destination), QLatin1String(a.probabilite));
    // Géométrie finale : chaque boîte recalcule ses arcs (les paires deviennent courbes),
    // déplacée sur place comme à la souris.
    for (int k = 0; k <= d.N(); ++k)
        if (const BoiteEtat *b = d.Etat(k))
            d.DeplacerEtat(b, b->Bornes().topLeft());
    QString erreur;
    if (!d.EnregistrerFichier(chemin, &erreur)) {
        std::fprintf(stderr, "%s\n", qPrintable(erreur));
        return false;
    }
    return true;
}

QPair<QString, QString> p(const char *s, const char *v)
{
    return {QLatin1String(s), QLatin1String(v)};
}

}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "Usage : generer_exemples DOSSIER\n");
        return 2;
    }
    // Les exemples s'écrivent avec le point décimal, lisible sous toutes les langues.
    Nombres::DefinirSeparateur(QChar('.'));
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);
    bool ok = true;
    ok &= ecrire(dossier + QStringLiteral("/e1e2.hmm"),
                 {{"START", 30, 470, 80, 40, {}},
                  {"E1", 250, 80, 110, 70, {p("a", "0.9"), p("b", "0.1")}},
                  {"E2", 250, 330, 110, 70, {p("a", "0.2"), p("b", "0.8")}}},
                 {{0, 1, "0.5"}, {0, 2, "0.5"}, {1, 1, "0.7"}, {1, 2, "0.3"}, {2, 1, "0.4"}, {2, 2, "0.6"}});
    ok &= ecrire(dossier + QStringLiteral("/meteo.hmm"),
                 {{"START", 30, 520, 80, 40, {}},
                  {"Pluie", 260, 80, 150, 85, {p("promenade", "0.1"), p("courses", "0.4"), p("menage", "0.5")}},
                  {"Soleil", 260, 350, 150, 85, {p("promenade", "0.6"), p("courses", "0.3"), p("menage", "0.1")}}},
                 {{0, 1, "0.6"}, {0, 2, "0.4"}, {1, 1, "0.7"}, {1, 2, "0.3"}, {2, 1, "0.4"}, {2, 2, "0.6"}});
    ok &= ecrire(dossier + QStringLiteral("/gauche_droite.hmm"),
                 {{"START", 20, 300, 80, 40, {}},
                  {"S1", 170, 150, 110, 70, {p("x", "0.7"), p("y", "0.3")}},
                  {"S2", 420, 150, 110, 70, {p("y", "0.6"), p("z", "0.4")}},
                  {"S3", 670, 150, 110, 70, {p("z", "1")}}},
                 {{0, 1, "1"}, {1, 1, "0.6"}, {1, 2, "0.4"}, {2, 2, "0.5"}, {2, 3, "0.5"}, {3, 3, "1"}});
    return ok ? 0 : 1;
}
