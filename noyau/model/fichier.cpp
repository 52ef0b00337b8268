#include "model/fichier.h"
#include "graph/nombres.h"
#include "model/textes.h"

#include <QFileInfo>
#include <QStringView>
#include <vector>


namespace {

const QString espace = QStringLiteral(" ");

// Les jetons d'une ligne, vus dans la ligne sans copie (une ligne d'arcs en porte des centaines).
QList<QStringView> jetons(const QString &ligne)
{
    return QStringView(ligne).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool entier(QStringView t, int *v)
{
    bool ok = false;
    *v = t.toInt(&ok);
    return ok;
}

// Valeur d'une ligne d'en-tête "[Clé]=valeur".
bool entete(const QString &ligne, const QString &cle, QString *valeur)
{
    const QString debut = QLatin1Char('[') + cle + QStringLiteral("]=");
    if (!ligne.startsWith(debut))
        return false;
    *valeur = ligne.mid(debut.size());
    return true;
}

// Sans std::abs : la valeur absolue de INT_MIN déborde.
bool horsBornes(int v)
{
    return v < -FichierModele::PositionMax || v > FichierModele::PositionMax;
}

bool probabilite(const QString &t)
{
    bool ok = false;
    Nombres::VersExtended(t, &ok);
    return ok;
}

// Probabilité lue : lisible, et nulle ou non (la règle de Normaliser, sans seconde conversion).
bool probabilite(const QString &t, bool *nulle)
{
    bool ok = false;
    *nulle = Nombres::VersExtended(t, &ok) == 0;
    return ok;
}

// Une ligne d'état ; `sansZeros` : les paires de probabilité 0 sont ôtées (Normaliser).
bool lireLigneEtat(const QString &ligne, ContenuModele::Etat *e, QString *erreur, bool sansZeros)
{
    using FichierModele::CapacitePaires;
    using FichierModele::PositionMax;
    const QList<QStringView> t = jetons(ligne);
    if (t.size() < 6) {
        *erreur = QStringLiteral("ligne d'état incomplète : « %1 »").arg(ligne);
        return false;
    }
    const QString nom = t[0].toString();
    int nb = 0;
    if (!entier(t[1], &nb) || nb < 0) {
        *erreur = QStringLiteral("nombre de symboles illisible dans la ligne « %1 »").arg(ligne);
        return false;
    }
    if (nb > CapacitePaires) {
        *erreur = QStringLiteral("l'état « %1 » a %2 symboles (au plus %3)").arg(nom).arg(nb).arg(CapacitePaires);
        return false;
    }
    if (t.size() != 6 + 2 * nb) {
        *erreur = QStringLiteral("l'état « %1 » annonce %2 symboles mais la ligne en porte un autre nombre").arg(nom).arg(nb);
        return false;
    }
    ContenuModele::Etat r;
    r.Nom = nom;
    if (!entier(t[2], &r.Left) || !entier(t[3], &r.Top) || !entier(t[4], &r.Height) || !entier(t[5], &r.Width)) {
        *erreur = QStringLiteral("position ou taille illisible pour l'état « %1 »").arg(nom);
        return false;
    }
    if (r.Height < 0 || r.Width < 0 || r.Height > PositionMax || r.Width > PositionMax) {
        *erreur = QStringLiteral("taille impossible pour l'état « %1 »").arg(nom);
        return false;
    }
    if (horsBornes(r.Left) || horsBornes(r.Top)) {
        *erreur = QStringLiteral("position impossible pour l'état « %1 » (au plus %2 en valeur absolue)")
                      .arg(nom)
                      .arg(PositionMax);
        return false;
    }
    r.Paires.reserve(nb);
    for (int k = 0; k < nb; ++k) {
        const QString p = t[7 + 2 * k].toString();
        bool nulle = false;
        if (!probabilite(p, &nulle)) {
            *erreur = QStringLiteral("probabilité illisible « %1 » pour l'état « %2 »").arg(p, nom);
            return false;
        }
        if (!(sansZeros && nulle))
            r.Paires.append({t[6 + 2 * k].toString(), p});
    }
    *e = r;
    return true;
}

}

namespace FichierModele {

QByteArray Brouiller(const QByteArray &texte, int cle)
{
    QByteArray r = texte;
    const char k = char(cle & 0xFF);
    for (char &c : r)
        c = char(c ^ k);
    return r;
}

bool TextePortable(const QString &texte, QString *raison)
{
    auto refuser = [&](const QString &m) {
        if (raison)
            *raison = m;
        return false;
    };
    if (texte.isEmpty())
        return refuser(QStringLiteral("Le texte est vide."));
    for (QChar c : texte) {
        if (c.isSpace())
            return refuser(QStringLiteral("Le texte ne doit pas contenir d'espace."));
        // NUL rend le fichier illisible ; ESC, BEL... piloteraient un terminal.
        if (c.category() == QChar::Other_Control)
            return refuser(QStringLiteral("Le texte ne doit pas contenir de caractère de commande (%1).")
                               .arg(Textes::Visible(QString(c))));
    }
    if (!Textes::Representable(texte))
        return refuser(QStringLiteral("Le texte contient un caractère que le fichier du modèle ne peut pas enregistrer."));
    const QByteArray clair = Textes::Encoder(texte);
    const QByteArray brouille = Brouiller(clair);
    for (qsizetype i = 0; i < brouille.size(); ++i) {
        const char b = brouille[i];
        if (b == '\r' || b == '\n' || b == '\0')
            return refuser(QStringLiteral("Le caractère « %1 » ne peut pas être enregistré dans le fichier du modèle.")
                               .arg(Textes::Decoder(clair.mid(i, 1))));
    }
    return true;
}

QString LigneEtat(const ContenuModele::Etat &e)
{
    QString l = e.Nom + espace + QString::number(e.Paires.size()) + espace + QString::number(e.Left) + espace +
                QString::number(e.Top) + espace + QString::number(e.Height) + espace + QString::number(e.Width) + espace;
    for (const auto &p : e.Paires)
        l += p.first + espace + p.second + espace;
    return l;
}

bool LireLigneEtat(const QString &ligne, ContenuModele::Etat *e, QString *erreur)
{
    return lireLigneEtat(ligne, e, erreur, false);
}

QStringList Ecrire(const ContenuModele &c)
{
    QStringList l;
    l << QStringLiteral("[MotDePasse]=") + c.MotDePasse;
    l << (c.Start ? QStringLiteral("[Start]=1") : QStringLiteral("[Start]=0"));
    l << QStringLiteral("[Etats]=") + QString::number(c.N());
    l << QStringLiteral("[Dernier]=") + QString::number(c.Dernier);
    for (const auto &e : c.Etats)
        l << LigneEtat(e);
    l << QStringLiteral("[Arcs]=") + QString::number(c.Arcs.size());
    QString points, etiquettes, centres, rayons, arcs, positions;
    auto n = [](int v) { return QString::number(v) + QLatin1Char(' '); };
    for (const auto &a : c.Arcs) {
        points += n(a.Debut.x()) + n(a.Debut.y()) + n(a.Fin.x()) + n(a.Fin.y());
        etiquettes += a.Etiquette + espace;
        centres += n(a.Centre.x()) + n(a.Centre.y());
        rayons += n(a.Rayon);
        arcs += n(a.Source) + n(a.Destination);
        positions += n(a.PosEtiquette.x()) + n(a.PosEtiquette.y());
    }
    l << points << etiquettes << centres << rayons << arcs << positions;
    return l;
}

bool Lire(const QStringList &lignesBrutes, ContenuModele *sortie, QString *erreur)
{
    // Des lignes vides en trop à la fin sont tolérées (éditeurs, fin de fichier).
    const QStringList &lignes = lignesBrutes;
    auto manque = [&](const QString &quoi) {
        *erreur = QStringLiteral("le fichier s'arrête avant %1").arg(quoi);
        return false;
    };
    ContenuModele c;
    QString v;
    if (lignes.isEmpty())
        return manque(QStringLiteral("la ligne du mot de passe"));
    if (!entete(lignes[0], QStringLiteral("MotDePasse"), &v) || v.isEmpty() || v.contains(QLatin1Char(' '))) {
        *erreur = QStringLiteral("la première ligne n'est pas celle du mot de passe");
        return false;
    }
    c.MotDePasse = v;
    if (lignes.size() < 4)
        return manque(QStringLiteral("l'en-tête complet"));
    if (!entete(lignes[1], QStringLiteral("Start"), &v) || (v != QLatin1String("0") && v != QLatin1String("1"))) {
        *erreur = QStringLiteral("la ligne « [Start]= » est absente ou illisible");
        return false;
    }
    c.Start = v == QLatin1String("1");
    int n = 0;
    if (!entete(lignes[2], QStringLiteral("Etats"), &v) || !entier(v, &n) || n < 0) {
        *erreur = QStringLiteral("la ligne « [Etats]= » est absente ou illisible");
        return false;
    }
    if (n > 99) {
        *erreur = QStringLiteral("le modèle a %1 états (au plus 99 en plus de START)").arg(n);
        return false;
    }
    if (!entete(lignes[3], QStringLiteral("Dernier"), &v) || !entier(v, &c.Dernier)) {
        *erreur = QStringLiteral("la ligne « [Dernier]= » est absente ou illisible");
        return false;
    }
    const int nbLignesEtats = n + (c.Start ? 1 : 0);
    if (lignes.size() < 4 + nbLignesEtats + 1)
        return manque(QStringLiteral("la fin de la liste des états"));
    for (int k = 0; k < nbLignesEtats; ++k) {
        ContenuModele::Etat e;
        if (!lireLigneEtat(lignes[4 + k], &e, erreur, true))
            return false;
        if (c.Start && k == 0 && e.Nom != QLatin1String("START")) {
            *erreur = QStringLiteral("le premier état devrait être START");
            return false;
        }
        c.Etats.append(e);
    }
    int i = 4 + nbLignesEtats;
    int nbArcs = 0;
    if (!entete(lignes[i], QStringLiteral("Arcs"), &v) || !entier(v, &nbArcs) || nbArcs < 0) {
        *erreur = QStringLiteral("la ligne « [Arcs]= » est absente ou illisible (le nombre d'états ne correspond pas à ses lignes ?)");
        return false;
    }
    if (nbArcs > CapaciteArcs) {
        *erreur = QStringLiteral("le modèle a %1 arcs (au plus %2)").arg(nbArcs).arg(CapaciteArcs);
        return false;
    }
    ++i;
    if (lignes.size() < i + 6)
        return manque(QStringLiteral("les six lignes des arcs"));
    for (int k = i + 6; k < lignes.size(); ++k)
        if (!lignes[k].trimmed().isEmpty()) {
            *erreur = QStringLiteral("des lignes en trop suivent la description des arcs");
            return false;
        }
    // Les six lignes d'arcs : nombre de jetons par arc, ligne par ligne.
    const int parArc[6] = {4, 1, 2, 1, 2, 2};
    const char *noms[6] = {"des extrémités", "des probabilités", "des centres", "des rayons", "des états reliés",
                           "des positions d'étiquettes"};
    // Chaque valeur entière est lue une fois, ici, et gardée pour les arcs.
    QList<QStringView> t[6];
    std::vector<int> valeurs[6];
    for (int k = 0; k < 6; ++k) {
        t[k] = jetons(lignes[i + k]);
        if (t[k].size() != parArc[k] * nbArcs) {
            *erreur = QStringLiteral("la ligne %1 ne compte pas %2 arcs").arg(QLatin1String(noms[k])).arg(nbArcs);
            return false;
        }
        if (k != 1) {
            valeurs[k].reserve(std::size_t(t[k].size()));
            for (const QStringView j : t[k]) {
                int x;
                if (!entier(j, &x)) {
                    *erreur = QStringLiteral("valeur entière illisible « %1 » dans la ligne %2")
                                  .arg(j.toString(), QLatin1String(noms[k]));
                    return false;
                }
                if (k != 4 && horsBornes(x)) {
                    *erreur = QStringLiteral("valeur impossible « %1 » dans la ligne %2 (au plus %3 en valeur absolue)")
                                  .arg(j.toString(), QLatin1String(noms[k]))
                                  .arg(PositionMax);
                    return false;
                }
                valeurs[k].push_back(x);
            }
        }
    }
    const int premier = c.Start ? 0 : 1;
    const auto lu = [&](int ligne, int k) { return valeurs[ligne][std::size_t(k)]; };
    c.Arcs.reserve(nbArcs);
    for (int a = 0; a < nbArcs; ++a) {
        ContenuModele::Arc arc;
        arc.Debut = QPoint(lu(0, 4 * a), lu(0, 4 * a + 1));
        arc.Fin = QPoint(lu(0, 4 * a + 2), lu(0, 4 * a + 3));
        arc.Etiquette = t[1][a].toString();
        // Un arc de probabilité 0 est validé comme les autres, puis ôté (Normaliser).
        bool nulle = false;
        if (arc.Etiquette != QLatin1String("??") && !probabilite(arc.Etiquette, &nulle)) {
            *erreur = QStringLiteral("probabilité d'arc illisible « %1 »").arg(arc.Etiquette);
            return false;
        }
        arc.Centre = QPoint(lu(2, 2 * a), lu(2, 2 * a + 1));
        arc.Rayon = lu(3, a);
        arc.Source = lu(4, 2 * a);
        arc.Destination = lu(4, 2 * a + 1);
        for (int e : {arc.Source, arc.Destination})
            if (e < premier || e > n) {
                *erreur = QStringLiteral("l'arc %1 relie un état inexistant (index %2)").arg(a + 1).arg(e);
                return false;
            }
        if (arc.Destination == 0) {
            *erreur = QStringLiteral("l'arc %1 mène à START").arg(a + 1);
            return false;
        }
        arc.PosEtiquette = QPoint(lu(5, 2 * a), lu(5, 2 * a + 1));
        if (!nulle)
            c.Arcs.append(arc);
    }
    // Les paires et les arcs de probabilité 0 sont déjà ôtés à la lecture (règle de Normaliser).
    *sortie = std::move(c);
    return true;
}

void Normaliser(ContenuModele *c)
{
    for (auto &e : c->Etats)
        e.Paires.removeIf([](const QPair<QString, QString> &p) { return Nombres::VersExtended(p.second) == 0; });
    c->Arcs.removeIf([](const ContenuModele::Arc &a) {
        return a.Etiquette != QLatin1String("??") && Nombres::VersExtended(a.Etiquette) == 0;
    });
}

bool LireFichier(const QString &chemin, QStringList *lignesClaires, QString *erreur)
{
    QByteArray tout;
    if (!Textes::LireOctets(chemin, LimiteTaille, &tout, erreur))
        return false;
    return LignesDepuisOctets(tout, lignesClaires, erreur);
}

bool LignesDepuisOctets(const QByteArray &tout, QStringList *lignesClaires, QString *erreur)
{
    // Les fins de ligne ne sont pas brouillées : on découpe avant de débrouiller.
    QList<QByteArray> brutes = tout.split('\n');
    if (!brutes.isEmpty() && brutes.last().isEmpty())
        brutes.removeLast();
    QStringList r;
    for (QByteArray b : brutes) {
        if (b.endsWith('\r'))
            b.chop(1);
        const QByteArray clair = Brouiller(b);
        if (clair.contains('\0')) {
            *erreur = QStringLiteral("le contenu n'est pas celui d'un modèle");
            return false;
        }
        r << Textes::Decoder(clair);
    }
    *lignesClaires = r;
    return true;
}

QByteArray Octets(const QStringList &lignesClaires)
{
    QByteArray tout;
    for (const QString &l : lignesClaires)
        tout += Brouiller(Textes::Encoder(l)) + "\r\n";
    return tout;
}

bool Relisible(const QStringList &lignesClaires, QString *erreur)
{
    auto refuser = [&](const QString &m) {
        if (erreur)
            *erreur = m;
        return false;
    };
    const QByteArray octets = Octets(lignesClaires);
    if (octets.size() > LimiteTaille)
        return refuser(QStringLiteral("le fichier ferait %1 octets, au-delà des %2 que la lecture accepte")
                           .arg(octets.size())
                           .arg(LimiteTaille));
    // Les octets relus exactement comme LireFichier les lit, puis le format : ce que le lecteur
    // refuserait n'est pas écrit.
    QStringList relues;
    ContenuModele c;
    QString e;
    if (!LignesDepuisOctets(octets, &relues, &e) || !Lire(relues, &c, &e))
        return refuser(QStringLiteral("le modèle ne se relirait pas (%1)").arg(e));
    return true;
}

bool EcrireFichier(const QString &chemin, const QStringList &lignesClaires, QString *erreur)
{
    if (!Relisible(lignesClaires, erreur))
        return false;
    return Textes::EcrireOctets(chemin, Octets(lignesClaires), erreur);
}

bool LireContenu(const QStringList &lignes, const QString &nomPourErreur, ContenuModele *c, QString *erreur)
{
    QString e;
    if (Lire(lignes, c, &e))
        return true;
    if (erreur)
        *erreur = QStringLiteral("Le fichier « %1 » n'est pas un modèle valide :\n%2.").arg(nomPourErreur, e);
    return false;
}

QString MessageOuverture(const QString &chemin, const QString &cause)
{
    return QStringLiteral("Le fichier « %1 » ne peut pas être ouvert :\n%2.").arg(QFileInfo(chemin).fileName(), cause);
}

bool OuvrirContenu(const QString &chemin, ContenuModele *c, QString *erreur)
{
    QStringList lignes;
    QString e;
    if (!LireFichier(chemin, &lignes, &e)) {
        if (erreur)
            *erreur = MessageOuverture(chemin, e);
        return false;
    }
    return LireContenu(lignes, QFileInfo(chemin).fileName(), c, erreur);
}

}
