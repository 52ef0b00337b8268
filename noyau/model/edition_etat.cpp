#include "model/edition_etat.h"
#include "graph/boite.h"
#include "graph/nombres.h"
#include "model/document.h"
#include "model/fichier.h"
#include "model/sommes.h"

namespace EditionEtat {

namespace {
long double valeur(const QString &texte)
{
    bool ok = false;
    const long double v = Nombres::VersExtended(texte, &ok);
    return ok ? v : 0;
}
}

QString Completer(const QStringList &p, int ligne)
{
    long double autres = 0;
    for (qsizetype r = 0; r < p.size(); ++r)
        if (r != ligne)
            autres += valeur(p[r]);
    const long double reste = 1 - autres;
    // Un reste négatif d'un arrondi près vaut 0 ; au-delà, il n'y a rien à compléter.
    if (reste < -1e-12L)
        return QString();
    return Nombres::Formater(reste < 0 ? 0 : reste);
}

QStringList Normaliser(const QStringList &p)
{
    long double somme = 0;
    for (const QString &t : p)
        somme += valeur(t);
    if (!(somme > 0))
        return p;
    QStringList r;
    for (const QString &t : p)
        r << Nombres::Formater(valeur(t) / somme);
    return r;
}

float Somme(const QStringList &probabilites)
{
    float s = 0;
    for (const QString &p : probabilites) {
        bool ok = false;
        const long double v = Nombres::VersExtended(p, &ok);
        s = float(static_cast<long double>(s) + (ok ? v : 0.0L));
    }
    return s;
}

bool SommeAcceptee(const QStringList &probabilites)
{
    return !probabilites.isEmpty() && (Somme(probabilites) == 1.0f || Sommes::DecimaleVautUn(probabilites));
}

QString TexteSomme(const QStringList &probabilites)
{
    const QString un = Nombres::Formater(1.0L, 7);
    if (SommeAcceptee(probabilites))
        return un;
    const float s = Somme(probabilites);
    const QString texte = Nombres::Formater(s, 7);
    // Neuf chiffres distinguent tout float de 1.
    return texte == un ? Nombres::Formater(s, 9) : texte;
}

Refus Controler(const DocumentModele &doc, int indice, const QString &nom, const QStringList &probabilites)
{
    auto surLeNom = [](const QString &m) { return Refus{m, true}; };
    if (nom.isEmpty())
        return surLeNom(QStringLiteral("Le nom ne peut pas être vide"));
    for (QChar c : nom)
        if (c.isSpace())
            return surLeNom(QStringLiteral("Le nom de l'état ne doit pas contenir des blancs"));
    QString raison;
    if (!FichierModele::TextePortable(nom, &raison))
        return surLeNom(
            QStringLiteral("Le nom « %1 » ne peut pas être enregistré dans le fichier du modèle :\n%2").arg(nom, raison));
    for (int i = doc.StartPresent() ? 0 : 1; i <= doc.N(); ++i)
        if (i != indice && doc.Etat(i) && doc.Etat(i)->Nom == nom)
            return surLeNom(QStringLiteral("Un état nomé \" ") + nom + QStringLiteral(" \" existe déjà"));
    // Sans START dans le modèle : un état ordinaire nommé START se confondrait avec lui.
    if (nom == QLatin1String("START"))
        return surLeNom(QStringLiteral("Le nom START est réservé à l'état initial"));
    if (!SommeAcceptee(probabilites))
        return Refus{QStringLiteral("La somme des probabilités de génération est différente de 1"), false};
    return {};
}

}
