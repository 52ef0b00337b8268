#include "algorithms/espace.h"
#include "graph/nombres.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

ERefusCalcul::ERefusCalcul(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString ERefusCalcul::Message() const
{
    return QString::fromStdString(what());
}

void TableDesChemins::Vider(int longueur, const QStringList &nomsEtats)
{
    T = longueur;
    noms = nomsEtats;
    etats.clear();
    probabilites.clear();
}

void TableDesChemins::Ajouter(const int *chemin, double probabilite)
{
    for (int t = 1; t <= T; ++t)
        etats.push_back((unsigned char)chemin[t]);
    probabilites.push_back(probabilite);
}

void TableDesChemins::verifier(long long r) const
{
    if (r < 1 || r > Lignes())
        throw EHorsBornes(r, Lignes() + 1);
}

int TableDesChemins::Etat(long long r, int t) const
{
    verifier(r);
    if (t < 1 || t > T)
        throw EHorsBornes(t, T + 1);
    return etats[std::size_t((r - 1) * T + (t - 1))];
}

double TableDesChemins::Probabilite(long long r) const
{
    verifier(r);
    return probabilites[std::size_t(r - 1)];
}

QString TableDesChemins::Texte(long long r, int t) const
{
    if (t == T + 1)
        return Nombres::Formater(Probabilite(r));
    const int e = Etat(r, t);
    return e < noms.size() ? noms.at(e) : QString();
}

QString TableDesChemins::TexteChemin(long long r) const
{
    QString s = QStringLiteral("Start");
    for (int t = 1; t <= T; ++t)
        s += QStringLiteral(" - ") + Texte(r, t);
    return s;
}

namespace {

int largeurPour(int x)
{
    return x >= 0 && x <= 0xFF ? 1 : x >= 0 && x <= 0xFFFF ? 2 : 4;
}

int lireEntier(const unsigned char *p, int largeur)
{
    if (largeur == 1)
        return *p;
    if (largeur == 2) {
        std::uint16_t x;
        std::memcpy(&x, p, sizeof x);
        return x;
    }
    std::int32_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

void ecrireEntier(unsigned char *p, int largeur, int x)
{
    if (largeur == 1) {
        *p = (unsigned char)x;
    } else if (largeur == 2) {
        const std::uint16_t y = std::uint16_t(x);
        std::memcpy(p, &y, sizeof y);
    } else {
        const std::int32_t y = x;
        std::memcpy(p, &y, sizeof y);
    }
}

}

void EntiersPlats::elargir(const int *v, std::size_t nombre)
{
    int l = largeur;
    for (std::size_t i = 0; i < nombre && l < 4; ++i)
        l = std::max(l, largeurPour(v[i]));
    if (l == largeur)
        return;
    // Rare (M ou N au-delà de 255) : tout est recopié une fois à la nouvelle largeur.
    std::vector<unsigned char> larges;
    larges.reserve(std::max(n, octets.capacity() / std::size_t(largeur)) * std::size_t(l));
    larges.resize(n * std::size_t(l));
    for (std::size_t i = 0; i < n; ++i)
        ecrireEntier(larges.data() + i * std::size_t(l), l, (*this)[i]);
    octets.swap(larges);
    largeur = l;
}

void EntiersPlats::Agrandir(std::size_t nombre)
{
    octets.resize((n + nombre) * std::size_t(largeur), 0);
    n += nombre;
}

void EntiersPlats::Ajouter(const int *v, std::size_t nombre)
{
    Agrandir(nombre);
    Ecrire(n - nombre, v, nombre);
}

void EntiersPlats::Ecrire(std::size_t debut, const int *v, std::size_t nombre)
{
    if (debut > n || nombre > n - debut)
        throw EHorsBornes((long long)(debut + nombre), (long long)n);
    if (nombre == 0)
        return; // octets peut être vide : pas de memcpy depuis un pointeur nul
    elargir(v, nombre);
    unsigned char *p = octets.data() + debut * std::size_t(largeur);
    if (largeur == 1) {
        for (std::size_t i = 0; i < nombre; ++i)
            p[i] = (unsigned char)v[i];
    } else {
        for (std::size_t i = 0; i < nombre; ++i)
            ecrireEntier(p + i * std::size_t(largeur), largeur, v[i]);
    }
}

void EntiersPlats::Lire(std::size_t debut, std::size_t nombre, int *v) const
{
    if (debut > n || nombre > n - debut)
        throw EHorsBornes((long long)(debut + nombre), (long long)n);
    if (nombre == 0)
        return; // octets peut être vide : pas de memcpy depuis un pointeur nul
    const unsigned char *p = octets.data() + debut * std::size_t(largeur);
    if (largeur == 1) {
        for (std::size_t i = 0; i < nombre; ++i)
            v[i] = p[i];
    } else if (largeur == 4) {
        std::memcpy(v, p, nombre * sizeof(int));
    } else {
        for (std::size_t i = 0; i < nombre; ++i)
            v[i] = lireEntier(p + i * 2, 2);
    }
}

int EntiersPlats::operator[](std::size_t i) const
{
    if (i >= n)
        throw EHorsBornes((long long)i, (long long)n);
    return lireEntier(octets.data() + i * std::size_t(largeur), largeur);
}

#if LDBL_MANT_DIG == 64
ProbabiliteRangee::ProbabiliteRangee(const GrandeProbabilite &g) : exposant(g.Exposant)
{
    if (g.Mantisse == 0 || (g.Mantisse >= 0.5L && g.Mantisse < 1)) {
        chiffres = std::uint64_t(std::ldexp(g.Mantisse, 64));
        return;
    }
    const double m = double(g.Mantisse);
    std::memcpy(&chiffres, &m, sizeof m);
    exposant = LLONG_MIN;
}

GrandeProbabilite ProbabiliteRangee::Valeur() const
{
    GrandeProbabilite g;
    if (exposant == LLONG_MIN) {
        double m;
        std::memcpy(&m, &chiffres, sizeof m);
        g.Mantisse = m;
        return g;
    }
    g.Mantisse = std::ldexp((long double)chiffres, -64);
    g.Exposant = exposant;
    return g;
}
#else
ProbabiliteRangee::ProbabiliteRangee(const GrandeProbabilite &g) : g(g) {}

GrandeProbabilite ProbabiliteRangee::Valeur() const
{
    return g;
}
#endif

void SequencesFormation::verifier(std::size_t k, std::size_t rangees) const
{
    if (k >= rangees)
        throw EHorsBornes((long long)k, (long long)rangees);
}

void SequencesFormation::Ajouter(QStringView texte)
{
    const QStringView t = texte.trimmed();
    if (t.isEmpty())
        return;
    textes.append(t);
    debutsTexte.push_back(textes.size());
}

void SequencesFormation::AjouterLignes(QStringView texte)
{
    // Place réservée d'un coup : pas de recopie en grandissant (les pages non écrites ne
    // comptent pas dans la mémoire résidente).
    textes.reserve(textes.size() + texte.size());
    debutsTexte.reserve(debutsTexte.size() + std::size_t(texte.count(u'\n')) + 1);
    ParcourirLignes(texte, [this](QStringView ligne) { Ajouter(ligne); });
}

QStringView SequencesFormation::VueTexte(std::size_t k) const
{
    verifier(k, size());
    return QStringView(textes).sliced(debutsTexte[k], debutsTexte[k + 1] - debutsTexte[k]);
}

void SequencesFormation::ViderObservations()
{
    symboles = EntiersPlats();
    decoupees = 0;
    debutsSymboles = {};
    chemins = EntiersPlats();
    probabilites = {};
    // Par caractère, autant de symboles que de caractères ; par mot, moins.
    symboles.Reserver(std::size_t(textes.size()));
}

void SequencesFormation::RangerObservations(const int *O, int T)
{
    verifier(decoupees, size());
    const std::size_t k = decoupees, debut = symboles.size(), fin = debut + std::size_t(std::max(T, 0));
    if (debutsSymboles.empty() && fin != std::size_t(debutsTexte[k + 1]))
        debutsSymboles.assign(debutsTexte.begin(), debutsTexte.begin() + qsizetype(k) + 1);
    symboles.Ajouter(O, fin - debut);
    if (!debutsSymboles.empty())
        debutsSymboles.push_back(fin);
    ++decoupees;
}

int SequencesFormation::Longueur(std::size_t k) const
{
    verifier(k, decoupees);
    return int(debutSymboles(k + 1) - debutSymboles(k));
}

void SequencesFormation::ChargerObservations(std::size_t k, VecteurVerifie<int> &O) const
{
    const int T = Longueur(k);
    O.resize(std::size_t(T) + 1);
    O.data()[0] = 0;
    symboles.Lire(debutSymboles(k), std::size_t(T), O.data() + 1);
}

void SequencesFormation::RangerChemin(std::size_t k, const VecteurVerifie<int> &Q)
{
    const int T = Longueur(k);
    if (Q.longueur() < T + 1)
        throw EHorsBornes(T, Q.longueur());
    if (chemins.size() == 0)
        chemins.Agrandir(symboles.size() + decoupees);
    chemins.Ecrire(debutSymboles(k) + k, Q.data(), std::size_t(T) + 1);
}

void SequencesFormation::ChargerChemin(std::size_t k, VecteurVerifie<int> &Q) const
{
    const int T = Longueur(k);
    Q.resize(std::size_t(T) + 1);
    chemins.Lire(debutSymboles(k) + k, std::size_t(T) + 1, Q.data());
}

void SequencesFormation::DefinirProbabilite(std::size_t k, const GrandeProbabilite &g)
{
    verifier(k, size());
    if (probabilites.size() != size())
        probabilites.resize(size());
    probabilites[k] = ProbabiliteRangee(g);
}
