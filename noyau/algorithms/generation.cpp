// Génération d'une séquence : générateur spécifié et tirages par inversion.
#include "algorithms/generation.h"
#include "algorithms/espace.h"
#include "model/parametres.h"

namespace {

std::uint64_t splitmix64(std::uint64_t &x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

}

GenerateurAleatoire::GenerateurAleatoire(std::uint64_t graine)
{
    // SplitMix64 remplit l'état : jamais quatre zéros, même pour la graine 0.
    for (std::uint64_t &v : s)
        v = splitmix64(graine);
}

std::uint64_t GenerateurAleatoire::Suivant()
{
    const std::uint64_t resultat = rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return resultat;
}

double GenerateurAleatoire::Uniforme()
{
    return double(Suivant() >> 11) * 0x1.0p-53;
}

int GenerateurAleatoire::Tirer(const long double *w, int n)
{
    long double somme = 0;
    int dernier = 0;
    for (int k = 1; k <= n; ++k)
        if (w[k] > 0) {
            somme += w[k];
            dernier = k;
        }
    const long double u = (long double)Uniforme() * somme;
    if (dernier == 0)
        return 0;
    long double cumul = 0;
    for (int k = 1; k <= n; ++k) {
        if (!(w[k] > 0))
            continue;
        cumul += w[k];
        if (u < cumul)
            return k;
    }
    return dernier; // u × somme arrondi au-delà du dernier cumul
}

SequenceGeneree GenererSequence(const ParametresModele &p, int T, std::uint64_t graine)
{
    if (p.N < 1)
        throw ERefusCalcul(QStringLiteral("Le modèle n'a aucun état : il ne peut rien générer."));
    if (T < 1 || T > LongueurGenerationMax)
        throw ERefusCalcul(QStringLiteral("La longueur de la séquence doit être comprise entre 1 et %1.")
                               .arg(LongueurGenerationMax));
    GenerateurAleatoire g(graine);
    SequenceGeneree s;
    s.Etats.assign(std::size_t(T) + 1, 0);
    s.Observations.assign(std::size_t(T) + 1, 0);
    std::vector<long double> ligne(std::size_t(std::max(p.N, p.M)) + 1);
    auto copier = [&](const VecteurVerifie<long double> &v, int n) {
        for (int k = 1; k <= n; ++k)
            ligne[std::size_t(k)] = v[k];
    };
    copier(p.PI, p.N);
    int q = g.Tirer(ligne.data(), p.N);
    if (q == 0)
        throw ERefusCalcul(QStringLiteral("Aucune transition ne part de START : le modèle ne peut rien générer."));
    for (int t = 1; t <= T; ++t) {
        s.Etats[std::size_t(t)] = q;
        copier(p.B[q], p.M);
        const int o = g.Tirer(ligne.data(), p.M);
        if (o == 0)
            throw ERefusCalcul(QStringLiteral("L'état « %1 » ne génère aucun symbole : la génération s'arrête à "
                                              "l'instant %2.")
                                   .arg(p.NomEtat(q))
                                   .arg(t));
        s.Observations[std::size_t(t)] = o;
        if (t == T)
            break;
        copier(p.A[q], p.N);
        const int suivant = g.Tirer(ligne.data(), p.N);
        if (suivant == 0)
            throw ERefusCalcul(QStringLiteral("Aucune transition ne part de l'état « %1 » : la génération s'arrête à "
                                              "l'instant %2.")
                                   .arg(p.NomEtat(q))
                                   .arg(t));
        q = suivant;
    }
    return s;
}

QString TexteObservations(const ParametresModele &p, const SequenceGeneree &s, bool *decoupageCaractere)
{
    bool caractere = true;
    for (int k = 1; k <= p.M; ++k)
        if (p.Symboles[k].size() != 1 || p.Symboles[k] == QLatin1String(" "))
            caractere = false;
    if (decoupageCaractere)
        *decoupageCaractere = caractere;
    QString texte;
    texte.reserve(caractere ? s.Longueur() : s.Longueur() * 4);
    for (int t = 1; t <= s.Longueur(); ++t) {
        if (!caractere && t > 1)
            texte += QLatin1Char(' ');
        texte += p.Symboles[s.Observations[std::size_t(t)]];
    }
    return texte;
}

QStringList NomsEtatsGeneres(const ParametresModele &p, const SequenceGeneree &s)
{
    QStringList noms;
    noms.reserve(s.Longueur());
    for (int t = 1; t <= s.Longueur(); ++t)
        noms << p.NomEtat(s.Etats[std::size_t(t)]);
    return noms;
}

double PartAccord(const std::vector<int> &a, const std::vector<int> &b)
{
    const std::size_t n = std::min(a.size(), b.size());
    if (n <= 1)
        return 0;
    std::size_t egaux = 0;
    for (std::size_t t = 1; t < n; ++t)
        egaux += a[t] == b[t];
    return double(egaux) / double(n - 1);
}
