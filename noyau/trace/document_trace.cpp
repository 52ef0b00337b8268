#include "trace/document_trace.h"
#include "algorithms/baumwelch_calcul.h"
#include "algorithms/espace.h"
#include "graph/nombres.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ETrace::ETrace(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString ETrace::Message() const
{
    return QString::fromStdString(what());
}

namespace Trace {

// Les modèles de trace sont des ressources en lecture seule ; la trace courante et son
// image sont écrites dans le dossier de session.
QString CheminModele(const QString &nom)
{
    return Repertoire::Ressource(QStringLiteral("Modeles/") + nom);
}

QString CheminDocument()
{
    return Repertoire::Fichier(QStringLiteral("Modeles/Trace.htm"));
}

QString CheminImage()
{
    return Repertoire::Fichier(QStringLiteral("Modeles/A_directe_fichiers/Hmm.bmp"));
}

QString CheminJournal()
{
    return CheminJournalEntrainement();
}

QString FormaterExposant(const QString &texte)
{
    const qsizetype p = texte.indexOf(QLatin1Char('E'));
    if (p < 0)
        return texte;
    return texte.left(p) + QStringLiteral(".10<sup>") + texte.mid(p + 1) + QStringLiteral("</sup>");
}

bool RemplirMarqueur(QString &document, const QString &fragment)
{
    const qsizetype p = document.indexOf(Marqueur);
    if (p < 0)
        return false;
    document.replace(p, Marqueur.size(), fragment);
    return true;
}

void RemplirMarqueurOuEchouer(QString &document, const QString &fragment, const QString &modele)
{
    if (!RemplirMarqueur(document, fragment))
        throw ETrace(QStringLiteral("Le modèle de trace « %1 » est incomplet : il lui manque un marqueur « !! ».")
                         .arg(QDir::toNativeSeparators(modele)));
}

QString Nom(const QString &brut)
{
    // Un caractère de commande n'entre pas brut dans la page : il y est écrit « \x1b ».
    const QString nom = Textes::Visible(brut);
    if (!nom.contains(Marqueur) && !nom.contains(MarqueurJournal))
        return nom;
    QString s = nom;
    s.replace(QLatin1Char('!'), QStringLiteral("&#33;"));
    s.replace(QLatin1Char('?'), QStringLiteral("&#63;"));
    return s;
}

QString Symbole(const ParametresModele &p, int o)
{
    if (o < 0 || o > p.M || o >= ParametresModele::Taille)
        throw EHorsBornes(o, p.M + 1);
    return p.Symboles[o];
}

QString TexteObservations(const ParametresModele &p, const EspaceTravail &e)
{
    QStringList symboles;
    for (int t = 1; t <= e.LongueurSequence; ++t)
        symboles << Nom(Symbole(p, e.Observations[t]));
    return QLatin1Char('"') + symboles.join(QLatin1Char('-')) + QLatin1Char('"');
}

QString CelluleEtat(const QString &nom)
{
    return QStringLiteral("<td><center><b>&nbsp;") + Nom(nom) + QStringLiteral("&nbsp;</b></center></td>");
}

QString CelluleSymbole(const QString &symbole)
{
    return QStringLiteral("<td><center><b>&nbsp;'") + Nom(symbole) + QStringLiteral("'&nbsp;</b></center></td>");
}

QString CelluleValeur(const QString &valeur)
{
    return QStringLiteral("<td><center>&nbsp;") + valeur + QStringLiteral("&nbsp;</center></td>");
}

QString EnteteLigne(const QString &libelle)
{
    return QStringLiteral("<tr><td><center><b>&nbsp;") + libelle + QStringLiteral("&nbsp;</b></center></td>");
}

QString FragmentTablesModele(const ParametresModele &p, bool avecExposants)
{
    const auto F = [avecExposants](long double x) {
        const QString t = Nombres::Formater(x);
        return avecExposants ? FormaterExposant(t) : t;
    };
    QString s;
    // π : un tableau d'une seule ligne, START en tête de ligne.
    s += QStringLiteral("<i>Le tableau &#960; :</i><BR>") + BaliseTableau + CelluleCoin;
    for (int i = 1; i <= p.N; ++i)
        s += CelluleEtat(p.NomEtat(i));
    s += QStringLiteral("</tr><tr><td><b>&nbsp;START&nbsp;</b></td>");
    for (int i = 1; i <= p.N; ++i)
        s += CelluleValeur(F(p.PI[i]));
    s += QStringLiteral("</tr></table><BR>");

    // A et B côte à côte dans un tableau de disposition d'une seule ligne.
    s += BaliseDisposition + QStringLiteral("<tr><td width=40%>");
    s += QStringLiteral("<i>La matrice de transitions A :</i><BR>") + BaliseTableau + CelluleCoin;
    for (int j = 1; j <= p.N; ++j)
        s += CelluleEtat(p.NomEtat(j));
    s += QStringLiteral("</tr>");
    for (int i = 1; i <= p.N; ++i) {
        s += EnteteLigne(Nom(p.NomEtat(i)));
        for (int j = 1; j <= p.N; ++j)
            s += CelluleValeur(F(p.A[i][j]));
        s += QStringLiteral("</tr>");
    }
    s += QStringLiteral("</table></td><td>&nbsp;</td><td width=40%>");
    s += QStringLiteral("<i>La matrice de génération B :</i><BR>") + BaliseTableau + CelluleCoin;
    for (int k = 1; k <= p.M; ++k)
        s += CelluleSymbole(p.Symboles[k]);
    s += QStringLiteral("</tr>");
    for (int i = 1; i <= p.N; ++i) {
        s += EnteteLigne(Nom(p.NomEtat(i)));
        for (int k = 1; k <= p.M; ++k)
            s += CelluleValeur(F(p.B[i][k]));
        s += QStringLiteral("</tr>");
    }
    s += QStringLiteral("</table></td></tr></table><BR>");
    return s;
}

void EcrireTablesModele(QString &document, const ParametresModele &p, bool avecExposants, const QString &modele)
{
    RemplirMarqueurOuEchouer(document, FragmentTablesModele(p, avecExposants), modele);
}

QString LireFichier(const QString &chemin)
{
    const QString nom = QDir::toNativeSeparators(chemin);
    if (!QFileInfo::exists(chemin))
        throw ETrace(QStringLiteral("Le fichier « %1 » est introuvable.").arg(nom));
    // Modèles de trace : quelques Kio ; un tube ou un fichier démesuré n'est pas lu.
    QByteArray octets;
    QString cause;
    if (!Textes::LireOctets(chemin, 16 * 1024 * 1024, &octets, &cause))
        throw ETrace(QStringLiteral("Impossible d'ouvrir le fichier « %1 » : %2").arg(nom, cause));
    return Textes::Decoder(octets);
}

void EcrireFichier(const QString &chemin, const QString &texte)
{
    // Le document est écrit en entier ou pas du tout.
    QString erreur;
    if (!Textes::EcrireOctets(chemin, Textes::Encoder(texte), &erreur))
        throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : %2")
                         .arg(QDir::toNativeSeparators(chemin), erreur));
}

QString LireModele(const QString &nom)
{
    return LireFichier(CheminModele(nom));
}

}
