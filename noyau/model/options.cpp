#include "model/options.h"
#include "graph/boite.h"
#include "graph/graphe.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QFileInfo>
#include <QSettings>

namespace {
QString fichier()
{
    return Repertoire::Fichier(QStringLiteral("Options.ini"));
}

TCouleur couleur(QSettings &s, const char *cle, TCouleur defaut)
{
    bool ok = false;
    const qlonglong v = s.value(QLatin1String(cle)).toLongLong(&ok);
    return ok ? TCouleur(v) : defaut;
}
}

namespace Options {

OptionsAffichage Lire(const OptionsAffichage &d, QString *erreur)
{
    QByteArray octets;
    QString cause;
    if (QFileInfo::exists(fichier()) && !Textes::LireOctets(fichier(), LimiteTaille, &octets, &cause)) {
        if (erreur)
            *erreur = QStringLiteral("Les options « %1 » ne sont pas lues : %2.").arg(fichier(), cause);
        return d;
    }
    OptionsAffichage o;
    QSettings s(fichier(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Arcs"));
    o.FondArcs = couleur(s, "Fond", d.FondArcs);
    o.StyloArcs = couleur(s, "Stylo", d.StyloArcs);
    o.Prob = couleur(s, "Prob", d.Prob);
    bool ok = false;
    o.Fleche = s.value(QStringLiteral("Fleche")).toInt(&ok);
    if (!ok)
        o.Fleche = d.Fleche;
    s.endGroup();
    s.beginGroup(QStringLiteral("Etats"));
    o.FondEtats = couleur(s, "Fond", d.FondEtats);
    o.StyloEtats = couleur(s, "Stylo", d.StyloEtats);
    s.endGroup();
    s.beginGroup(QStringLiteral("Graphe"));
    o.Chiffres = s.value(QStringLiteral("Chiffres")).toInt(&ok);
    if (!ok || (o.Chiffres != 0 && (o.Chiffres < 2 || o.Chiffres > 6)))
        o.Chiffres = d.Chiffres;
    s.endGroup();
    return o;
}

bool Ecrire(const OptionsAffichage &o)
{
    // Écrit à la main : fichier texte Windows (CR LF) comme les autres fichiers de travail.
    auto n = [](qlonglong v) { return QString::number(v); };
    const QStringList lignes = {
        QStringLiteral("[Arcs]"),
        QStringLiteral("Fond=") + n(o.FondArcs),
        QStringLiteral("Stylo=") + n(o.StyloArcs),
        QStringLiteral("Prob=") + n(o.Prob),
        QStringLiteral("Fleche=") + n(o.Fleche),
        QString(),
        QStringLiteral("[Etats]"),
        QStringLiteral("Fond=") + n(o.FondEtats),
        QStringLiteral("Stylo=") + n(o.StyloEtats),
        QString(),
        QStringLiteral("[Graphe]"),
        QStringLiteral("Chiffres=") + n(o.Chiffres),
    };
    // Sous le verrou commun des fichiers partagés entre instances.
    return Textes::ModifierLignesPartagees(fichier(), LimiteTaille, [&](QStringList &l) {
        l = lignes;
        return true;
    });
}

void Appliquer(DocumentModele &doc, const OptionsAffichage &o)
{
    GrapheHmm *h = doc.GrapheVue();
    h->DefautFond = h->DefautArc = h->DefautProb = false;
    h->CouleurFond = o.FondArcs;
    h->CouleurArc = o.StyloArcs;
    h->CouleurProb = o.Prob;
    h->TypeFleche = o.Fleche;
    Nombres::DefinirChiffresAffiches(o.Chiffres);
    doc.DefinirCouleursEtats(o.FondEtats, o.StyloEtats);
    for (int k = doc.StartPresent() ? 0 : 1; k <= doc.N(); ++k) {
        BoiteEtat *b = doc.BoiteVue(k);
        if (!b)
            continue;
        b->CouleurFond = o.FondArcs;
        b->CouleurRemplissage = o.FondEtats;
        b->CouleurStylo = o.StyloEtats;
        b->Redessiner();
    }
    h->Actualiser();
}

}
