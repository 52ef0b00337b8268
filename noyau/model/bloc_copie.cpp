// Bloc de copie des états : forme en clair, lecture validée, brouillage du presse-papiers.
#include "model/bloc_copie.h"
#include "graph/boite.h"
#include "model/document.h"
#include "model/textes.h"

#include <QHash>
#include <QRegularExpression>
#include <array>

namespace {

const QString Entete = QStringLiteral("[Etats_Copies]=");
// Bornes de position acceptées à la lecture : au-delà, le bloc n'est pas crédible.
constexpr int PositionMax = 100000;

// Octet brouillé -> caractère du presse-papiers : Windows-1252 là où il définit l'octet,
// sinon le caractère de même code. La correspondance est réversible octet par octet.
const std::array<QChar, 256> &versCaractere()
{
    static const std::array<QChar, 256> t = [] {
        std::array<QChar, 256> a;
        for (int o = 0; o < 256; ++o) {
            const QString s = Textes::Decoder(QByteArray(1, char(o)));
            a[o] = s.size() == 1 && s[0] != QChar(0xFFFD) ? s[0] : QChar(o);
        }
        return a;
    }();
    return t;
}

const QHash<char16_t, unsigned char> &versOctet()
{
    static const QHash<char16_t, unsigned char> h = [] {
        QHash<char16_t, unsigned char> r;
        for (int o = 0; o < 256; ++o)
            r.insert(versCaractere()[o].unicode(), static_cast<unsigned char>(o));
        return r;
    }();
    return h;
}

}

namespace BlocCopie {

QString Ecrire(const QList<ContenuModele::Etat> &etats)
{
    QString t = Entete + QLatin1Char(' ') + QString::number(etats.size()) + QStringLiteral("\r\n");
    for (const auto &e : etats)
        t += FichierModele::LigneEtat(e) + QStringLiteral("\r\n");
    return t;
}

bool Lire(const QString &clair, QList<ContenuModele::Etat> *etats, QString *erreur)
{
    auto refuser = [erreur](const QString &m) {
        *erreur = m;
        return false;
    };
    if (clair.size() > LimiteTexte)
        return refuser(QStringLiteral("le texte compte %1 caractères, au-delà de la limite de %2").arg(clair.size()).arg(LimiteTexte));
    static const QRegularExpression blancs(QStringLiteral("\\s+"));
    const QStringList t = clair.split(blancs, Qt::SkipEmptyParts);
    if (t.isEmpty() || t[0] != Entete)
        return refuser(QStringLiteral("le texte ne commence pas par « %1 »").arg(Entete));
    bool ok = false;
    const int c = t.value(1).toInt(&ok);
    if (!ok || c < 0)
        return refuser(QStringLiteral("le nombre d'états copiés est illisible"));
    if (c > DocumentModele::CapaciteEtats)
        return refuser(QStringLiteral("le bloc annonce %1 états (au plus %2)").arg(c).arg(DocumentModele::CapaciteEtats));
    QList<ContenuModele::Etat> r;
    qsizetype pos = 2;
    for (int k = 0; k < c; ++k) {
        if (pos + 6 > t.size())
            return refuser(QStringLiteral("le bloc annonce %1 états mais n'en décrit que %2").arg(c).arg(k));
        const int nb = t[pos + 1].toInt(&ok);
        if (!ok || nb < 0 || nb > BoiteEtat::CapacitePaires)
            return refuser(QStringLiteral("nombre de symboles illisible pour l'état « %1 »").arg(t[pos]));
        if (pos + 6 + 2 * nb > t.size())
            return refuser(QStringLiteral("les symboles de l'état « %1 » sont incomplets").arg(t[pos]));
        ContenuModele::Etat e;
        QString m;
        if (!FichierModele::LireLigneEtat(t.mid(pos, 6 + 2 * nb).join(QLatin1Char(' ')), &e, &m))
            return refuser(m);
        if (std::abs(e.Left) > PositionMax || std::abs(e.Top) > PositionMax)
            return refuser(QStringLiteral("position impossible pour l'état « %1 »").arg(e.Nom));
        if (!FichierModele::TextePortable(e.Nom, &m))
            return refuser(QStringLiteral("nom d'état impossible « %1 » : %2").arg(e.Nom, m));
        for (const auto &p : e.Paires)
            if (!FichierModele::TextePortable(p.first, &m))
                return refuser(QStringLiteral("symbole impossible « %1 » : %2").arg(p.first, m));
        r.append(e);
        pos += 6 + 2 * nb;
    }
    *etats = r;
    return true;
}

QString VersPressePapiers(const QString &clair)
{
    const QByteArray b = FichierModele::Brouiller(Textes::Encoder(clair), FichierModele::Cle);
    QString r;
    r.reserve(b.size());
    for (char o : b)
        r += versCaractere()[static_cast<unsigned char>(o)];
    return r;
}

QString DepuisPressePapiers(const QString &texte)
{
    if (texte.size() > LimiteTexte)
        return QString();
    QByteArray b;
    b.reserve(texte.size());
    for (QChar c : texte) {
        const auto i = versOctet().constFind(c.unicode());
        if (i == versOctet().constEnd())
            return QString();
        b += char(i.value());
    }
    return Textes::Decoder(FichierModele::Brouiller(b, FichierModele::Cle));
}

QString NomColle(const QString &nomLu, const QStringList &existants, int *numero)
{
    qsizetype i = nomLu.size();
    while (i > 0 && nomLu[i - 1] >= QLatin1Char('0') && nomLu[i - 1] <= QLatin1Char('9'))
        --i;
    bool ok = false;
    const qint64 k = nomLu.mid(i).toLongLong(&ok);
    QString base = nomLu;
    // Le nombre final est retiré par la longueur de son écriture décimale : "Etat_0" garde
    // son 0, "Etat_3" devient "Etat_".
    if (ok && k > 0)
        base.chop(QString::number(k).size());
    int n = 1;
    while (existants.contains(base + QString::number(n)))
        ++n;
    if (numero)
        *numero = n;
    return base + QString::number(n);
}

}
