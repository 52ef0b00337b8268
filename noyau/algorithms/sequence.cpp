#include "algorithms/sequence.h"
#include "algorithms/citation.h"
#include "algorithms/espace.h"
#include "model/parametres.h"
#include "model/repertoire.h"
#include "model/textes.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

// Les mots déjà vus d'une séquence et leur symbole (-1 : pas encore cherché), adressage ouvert
// sur un hachage FNV des caractères : bien moins cher par mot que le hachage à graine des
// chaînes, pour quelques dizaines de symboles distincts répétés des millions de fois.
class MotsVus {
public:
    int &Case(QStringView mot)
    {
        if (2 * (nombre + 1) > cases.size())
            agrandir();
        const std::size_t masque = cases.size() - 1;
        for (std::size_t k = hacher(mot) & masque;; k = (k + 1) & masque) {
            Entree &c = cases[k];
            if (c.valeur == Vide) {
                ++nombre;
                c.mot = mot;
                c.valeur = -1;
                return c.valeur;
            }
            if (c.mot == mot)
                return c.valeur;
        }
    }

private:
    static constexpr int Vide = -2;
    struct Entree {
        QStringView mot;
        int valeur = Vide;
    };
    static std::uint64_t hacher(QStringView mot)
    {
        std::uint64_t h = 14695981039346656037ULL;
        for (const QChar c : mot) {
            h ^= c.unicode();
            h *= 1099511628211ULL;
        }
        return h ^ (h >> 29);
    }
    void agrandir()
    {
        std::vector<Entree> anciennes(std::max<std::size_t>(64, 2 * cases.size()));
        anciennes.swap(cases);
        const std::size_t masque = cases.size() - 1;
        for (const Entree &c : anciennes) {
            if (c.valeur == Vide)
                continue;
            std::size_t k = hacher(c.mot) & masque;
            while (cases[k].valeur != Vide)
                k = (k + 1) & masque;
            cases[k] = c;
        }
    }
    std::vector<Entree> cases;
    std::size_t nombre = 0;
};

}

void DecouperSequence(const ParametresModele &p, EspaceTravail &e)
{
    const QString &texte = e.SequenceObservations;
    std::vector<int> o(1, 0);
    auto symbole = [&](const QString &morceau) {
        const int k = p.RechercherSymbole(morceau);
        return k == -1 ? 0 : k;
    };
    if (e.DecoupageCaractere && !texte.isEmpty()) {
        // Un symbole par caractère : les observations vont droit à leur place, sans table
        // intermédiaire (dix millions de symboles : 40 Mo de moins au plus fort).
        const qsizetype T = texte.size();
        if (T >= qsizetype(INT32_MAX))
            throw ERefusCalcul(QStringLiteral("La séquence d'observations est trop longue (%1 symboles).").arg(T));
        MemoireTables::Exiger(std::size_t(T + 1) * sizeof(int));
        e.Observations.resize(std::size_t(T) + 1);
        int *obs = e.Observations.data();
        obs[0] = 0;
        // Le symbole d'un caractère déjà vu n'est pas recherché de nouveau : table directe pour
        // les caractères latins, table de hachage pour les autres.
        int latins[256];
        std::fill(std::begin(latins), std::end(latins), -1);
        QHash<char16_t, int> vus;
        const QChar *u = texte.constData();
        for (qsizetype t = 0; t < T; ++t) {
            const char16_t c = u[t].unicode();
            if (c < 256) {
                int &k = latins[c];
                if (k < 0)
                    k = symbole(QString(QChar(c)));
                obs[t + 1] = k;
                continue;
            }
            auto it = vus.constFind(c);
            if (it == vus.constEnd())
                it = vus.insert(c, symbole(QString(QChar(c))));
            obs[t + 1] = *it;
        }
        e.LongueurSequence = int(T);
        return;
    } else if (!e.DecoupageCaractere) {
        const qsizetype n = texte.size();
        qsizetype pos = 0;
        const QChar *u = texte.constData();
        const QChar blanc(u' ');
        // Un mot déjà vu n'est pas recherché de nouveau parmi les symboles.
        MotsVus vus;
        o.reserve(std::size_t(n / 2 + 2));
        while (pos < n) {
            const qsizetype debut = pos;
            while (pos < n && u[pos] != blanc)
                ++pos;
            if (pos > debut) {
                const QStringView mot(u + debut, pos - debut);
                int &k = vus.Case(mot);
                if (k < 0)
                    k = symbole(mot.toString());
                o.push_back(k);
            }
            while (pos < n && u[pos] == blanc)
                ++pos;
        }
    }
    const int T = int(o.size()) - 1;
    if (T == 0) {
        e.Observations.resize(1);
        e.Observations[0] = 0;
        e.LongueurSequence = 0;
        if (texte.isEmpty())
            throw ERefusCalcul(QStringLiteral("La séquence d'observations est vide : il n'y a rien à calculer."));
        throw ERefusCalcul(QStringLiteral("La séquence d'observations « %1 » ne contient aucune observation "
                                          "(elle n'est faite que d'espaces) : il n'y a rien à calculer.")
                               .arg(CiterSequence(texte)));
    }
    e.Observations.resize(o.size());
    for (int t = 0; t <= T; ++t)
        e.Observations[t] = o[std::size_t(t)];
    e.LongueurSequence = T;
}

QString HistoriqueSequences::Chemin()
{
    return Repertoire::Fichier(QStringLiteral("Sequences.txt"));
}

void HistoriqueSequences::Charger(QString *erreur)
{
    liste.clear();
    refus.clear();
    if (!QFileInfo::exists(Chemin()))
        return;
    bool ok = false;
    QString cause;
    liste = Textes::LireLignesPartagees(Chemin(), Textes::LimiteLignes, &ok, &cause);
    if (!ok)
        refus = QStringLiteral("L'historique des séquences « %1 » n'est pas lu : %2.").arg(Chemin(), cause);
    if (erreur)
        *erreur = refus;
}

namespace {
bool ajouterA(QStringList &l, const QString &texte)
{
    if (texte.isEmpty())
        return false;
    for (const QString &s : l)
        if (s.compare(texte, Qt::CaseInsensitive) == 0)
            return false;
    l << texte;
    return true;
}
}

bool HistoriqueSequences::Ajouter(const QString &texte)
{
    return ajouterA(liste, texte);
}

bool HistoriqueSequences::Enregistrer(QString *erreur) const
{
    if (!refus.isEmpty()) {
        if (erreur)
            *erreur = refus + QStringLiteral(" Il n'est pas remplacé.");
        return false;
    }
    // Fusion sous verrou avec ce qu'une autre instance a ajouté entre-temps.
    return Textes::ModifierLignesPartagees(Chemin(), Textes::LimiteLignes, [&](QStringList &l) {
        bool change = false;
        for (const QString &s : liste)
            change |= ajouterA(l, s);
        return change;
    }, nullptr, erreur);
}

bool HistoriqueSequences::Memoriser(const QString &texte, QString *erreur)
{
    if (!Ajouter(texte))
        return true;
    if (!refus.isEmpty()) {
        if (erreur)
            *erreur = refus + QStringLiteral(" Il n'est pas remplacé.");
        return false;
    }
    return Textes::ModifierLignesPartagees(Chemin(), Textes::LimiteLignes, [&](QStringList &l) {
        return ajouterA(l, texte);
    }, &liste, erreur);
}
