// Liste des chemins énumérés : lignes compactes, textes faits à la demande, tri par permutation.
#include "editor/modele_chemins.h"
#include "algorithms/espace.h"
#include "graph/nombres.h"

#include <algorithm>
#include <numeric>

void ModeleChemins::Remplir(const TableDesChemins &table, long long meilleur)
{
    beginResetModel();
    T = table.Longueur();
    lignes = int(table.Lignes());
    etats.resize(std::size_t(lignes) * std::size_t(T));
    probabilites.resize(std::size_t(lignes));
    noms.clear();
    for (int k = 0; k < lignes; ++k) {
        for (int t = 1; t <= T; ++t) {
            const int e = table.Etat(k + 1, t);
            etats[std::size_t(k) * std::size_t(T) + std::size_t(t - 1)] = (unsigned char)e;
            // Chaque nom n'est lu qu'une fois, au premier chemin qui passe par l'état.
            if (e >= noms.size())
                noms.resize(e + 1);
            if (noms.at(e).isNull())
                noms[e] = table.Texte(k + 1, t);
        }
        probabilites[std::size_t(k)] = table.Probabilite(k + 1);
    }
    meilleure = (meilleur >= 1 && meilleur <= lignes) ? int(meilleur - 1) : -1;
    ordre.clear();
    endResetModel();
}

void ModeleChemins::Vider()
{
    beginResetModel();
    T = 0;
    lignes = 0;
    std::vector<unsigned char>().swap(etats);
    std::vector<double>().swap(probabilites);
    std::vector<int>().swap(ordre);
    noms.clear();
    meilleure = -1;
    endResetModel();
}

void ModeleChemins::DefinirIcones(int numeroL, const QIcon &ligne, int numeroM, const QIcon &meilleur)
{
    numeroLigne = numeroL;
    numeroMeilleure = numeroM;
    iconeLigne = ligne;
    iconeMeilleure = meilleur;
}

QStringList ModeleChemins::Etats(int ligne) const
{
    QStringList r;
    if (ligne < 0 || ligne >= lignes)
        return r;
    const unsigned char *s = etats.data() + std::size_t(rangTable(ligne)) * std::size_t(T);
    for (int t = 0; t < T; ++t)
        r << noms.value(s[t]);
    return r;
}

QString ModeleChemins::texteChemin(int k) const
{
    const unsigned char *s = etats.data() + std::size_t(k) * std::size_t(T);
    QString r = QStringLiteral("Start");
    for (int t = 0; t < T; ++t)
        r += QStringLiteral(" - ") + noms.value(s[t]);
    return r;
}

int ModeleChemins::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : lignes;
}

int ModeleChemins::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ModeleChemins::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= lignes)
        return {};
    const int k = rangTable(index.row());
    if (role == Qt::DisplayRole)
        return index.column() == ColonneChemin ? texteChemin(k) : Nombres::Formater(probabilites[std::size_t(k)]);
    if (index.column() != ColonneChemin)
        return {};
    if (role == Qt::DecorationRole)
        return k == meilleure ? iconeMeilleure : iconeLigne;
    if (role == RoleIcone)
        return k == meilleure ? numeroMeilleure : numeroLigne;
    return {};
}

QVariant ModeleChemins::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    // Premier clic sur un en-tête : ordre croissant.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    if (role != Qt::DisplayRole)
        return {};
    if (section == ColonneChemin)
        return QStringLiteral("Chemin");
    if (section == ColonneProbabilite)
        return QStringLiteral("Probabilité");
    return {};
}

void ModeleChemins::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Les index persistants (choix, ligne courante) suivent leur ligne de la table.
    const QModelIndexList avant = persistentIndexList();
    std::vector<int> rangs;
    rangs.reserve(std::size_t(avant.size()));
    for (const QModelIndex &i : avant)
        rangs.push_back(i.isValid() && i.row() < lignes ? rangTable(i.row()) : -1);

    if (column != ColonneChemin && column != ColonneProbabilite) {
        std::vector<int>().swap(ordre);
    } else {
        ordre.resize(std::size_t(lignes));
        std::iota(ordre.begin(), ordre.end(), 0);
        const bool croissant = order == Qt::AscendingOrder;
        if (column == ColonneProbabilite) {
            const double *p = probabilites.data();
            std::stable_sort(ordre.begin(), ordre.end(), [p, croissant](int a, int b) {
                return croissant ? p[a] < p[b] : p[b] < p[a];
            });
        } else {
            // Ordre du texte "Start - E1 - E2" : celui des noms, temps par temps (un nom ne
            // contient pas d'espace, le séparateur " - " ne départage donc jamais avant lui).
            std::vector<int> indices(std::size_t(noms.size()));
            std::iota(indices.begin(), indices.end(), 0);
            std::sort(indices.begin(), indices.end(), [this](int a, int b) { return noms.at(a) < noms.at(b); });
            std::vector<unsigned char> rang(256, 0);
            for (std::size_t r = 0, n = indices.size(); r < n; ++r)
                rang[std::size_t(indices[r])] = (unsigned char)(r > 0 && noms.at(indices[r]) == noms.at(indices[r - 1])
                                                                    ? rang[std::size_t(indices[r - 1])]
                                                                    : r);
            const unsigned char *e = etats.data();
            const std::size_t L = std::size_t(T);
            auto avantTexte = [&](int a, int b) {
                const unsigned char *x = e + std::size_t(a) * L, *y = e + std::size_t(b) * L;
                for (std::size_t t = 0; t < L; ++t)
                    if (rang[x[t]] != rang[y[t]])
                        return rang[x[t]] < rang[y[t]];
                return false;
            };
            std::stable_sort(ordre.begin(), ordre.end(),
                             [&](int a, int b) { return croissant ? avantTexte(a, b) : avantTexte(b, a); });
        }
    }

    std::vector<int> position(static_cast<std::size_t>(lignes));
    for (int r = 0; r < lignes; ++r)
        position[std::size_t(rangTable(r))] = r;
    QModelIndexList apres;
    apres.reserve(avant.size());
    for (qsizetype k = 0; k < avant.size(); ++k)
        apres << (rangs[std::size_t(k)] < 0 ? QModelIndex()
                                            : index(position[std::size_t(rangs[std::size_t(k)])], avant[k].column()));
    changePersistentIndexList(avant, apres);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
