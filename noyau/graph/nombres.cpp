#include "graph/nombres.h"

#include <QLocale>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <optional>

namespace {
std::optional<QChar> separateurFixe;
int chiffresAffiches = Nombres::ChiffresParDefaut;

// QCoreApplication appelle setlocale(LC_ALL, "") : sous une langue française, strtold
// s'arrêterait au "." et snprintf écrirait une virgule. Les conversions internes se font
// donc dans la langue "C", le temps de l'appel et pour ce seul fil.
class LangueC {
public:
    LangueC()
    {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        precedente = c ? uselocale(c) : locale_t(nullptr);
    }
    ~LangueC()
    {
        if (precedente)
            uselocale(precedente);
    }
    LangueC(const LangueC &) = delete;
    LangueC &operator=(const LangueC &) = delete;

private:
    locale_t precedente = nullptr;
};
}

EConversion::EConversion(const QString &texte)
    : std::runtime_error(QStringLiteral("« %1 » n'est pas une valeur numérique correcte").arg(texte).toStdString()),
      Texte(texte)
{
}

QString EConversion::Message() const
{
    return QString::fromStdString(what());
}

namespace Nombres {

QChar Separateur()
{
    if (separateurFixe)
        return *separateurFixe;
    const QString p = QLocale::system().decimalPoint();
    return p.isEmpty() ? QChar('.') : p.at(0);
}

void DefinirSeparateur(QChar c)
{
    separateurFixe = c;
}

void SeparateurSysteme()
{
    separateurFixe.reset();
}

long double VersExtended(const QString &texte, bool *ok)
{
    *ok = false;
    // Blancs de tête et de fin tolérés, comme la conversion de la plate-forme.
    const QString t = texte.trimmed();
    if (t.isEmpty())
        return 0;
    // Forme acceptée : [signe] chiffres [sep chiffres] [E [signe] chiffres], un seul séparateur.
    QByteArray a;
    a.reserve(t.size());
    int i = 0;
    const int n = int(t.size());
    auto chiffre = [&](int k) { return k < n && t.at(k) >= QChar('0') && t.at(k) <= QChar('9'); };
    if (i < n && (t.at(i) == QChar('+') || t.at(i) == QChar('-')))
        a.append(char(t.at(i++).unicode()));
    int chiffresMantisse = 0;
    while (chiffre(i)) {
        a.append(char(t.at(i++).unicode()));
        ++chiffresMantisse;
    }
    if (i < n && (t.at(i) == QChar(',') || t.at(i) == QChar('.'))) {
        a.append('.');
        ++i;
        while (chiffre(i)) {
            a.append(char(t.at(i++).unicode()));
            ++chiffresMantisse;
        }
    }
    if (chiffresMantisse == 0)
        return 0;
    if (i < n && (t.at(i) == QChar('e') || t.at(i) == QChar('E'))) {
        a.append('E');
        ++i;
        if (i < n && (t.at(i) == QChar('+') || t.at(i) == QChar('-')))
            a.append(char(t.at(i++).unicode()));
        if (!chiffre(i))
            return 0;
        while (chiffre(i))
            a.append(char(t.at(i++).unicode()));
    }
    if (i != n)
        return 0;
    long double v;
    {
        LangueC c;
        v = std::strtold(a.constData(), nullptr);
    }
    *ok = true;
    return v;
}

long double VersExtended(const QString &texte)
{
    bool ok = false;
    const long double v = VersExtended(texte, &ok);
    if (!ok)
        throw EConversion(texte);
    return v;
}

QString Formater(long double x, int chiffres)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (x == 0)
        return QStringLiteral("0");
    if (chiffres < 1)
        chiffres = 1;
    if (chiffres > 30)
        chiffres = 30;
    // Arrondi à `chiffres` chiffres significatifs en notation scientifique, puis
    // choix de la forme d'après l'exposant de la valeur arrondie.
    char tampon[80];
    {
        LangueC c;
        std::snprintf(tampon, sizeof tampon, "%.*Le", chiffres - 1, x);
    }
    const QString s = QString::fromLatin1(tampon);
    const int posE = int(s.indexOf(QChar('e')));
    const bool negatif = s.startsWith(QChar('-'));
    QString mantisse = s.left(posE);
    if (negatif)
        mantisse.remove(0, 1);
    mantisse.remove(QChar('.'));
    const int exposant = s.mid(posE + 1).toInt();
    // Chiffres significatifs sans les zéros de fin.
    while (mantisse.size() > 1 && mantisse.endsWith(QChar('0')))
        mantisse.chop(1);
    const QChar sep = Separateur();
    QString r;
    if (exposant >= -5 && exposant < chiffres) {
        if (exposant < 0) {
            r = QStringLiteral("0") + sep + QString(-exposant - 1, QChar('0')) + mantisse;
        } else if (mantisse.size() <= exposant + 1) {
            r = mantisse + QString(exposant + 1 - int(mantisse.size()), QChar('0'));
        } else {
            r = mantisse.left(exposant + 1) + sep + mantisse.mid(exposant + 1);
        }
    } else {
        r = mantisse.left(1);
        if (mantisse.size() > 1)
            r += sep + mantisse.mid(1);
        r += QChar('E');
        if (exposant < 0)
            r += QChar('-');
        r += QString::number(std::abs(exposant));
    }
    return negatif ? QStringLiteral("-") + r : r;
}

int ChiffresAffiches()
{
    return chiffresAffiches;
}

void DefinirChiffresAffiches(int chiffres)
{
    chiffresAffiches = chiffres >= 2 && chiffres <= 6 ? chiffres : ChiffresTous;
}

QString TexteAffiche(const QString &texte, int chiffres)
{
    bool ok = false;
    const long double v = VersExtended(texte, &ok);
    if (!ok)
        return texte;
    if (chiffres == ChiffresTous) {
        // Le texte tel qu'il est tapé, seul le séparateur suit la langue.
        QString t = texte.trimmed();
        for (QChar &c : t)
            if (c == QChar(',') || c == QChar('.'))
                c = Separateur();
        return t;
    }
    return Formater(v, chiffres);
}

QString TexteAffiche(const QString &texte)
{
    return TexteAffiche(texte, chiffresAffiches);
}

}
