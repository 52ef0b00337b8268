#pragma once
// Modèle de la liste des chemins (ListView1) : jusqu'au million de lignes de l'énumération,
// gardées sous forme compacte (numéros d'états sur un octet, probabilité en double précision).
// Aucun texte n'est rangé : les cases se mettent en forme à la demande, seules les lignes que
// la vue montre (ou que l'on copie) en coûtent. Le tri par colonne ne déplace rien : il range
// une permutation des lignes.
#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <vector>

class TableDesChemins;

class ModeleChemins : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rôle qui porte le numéro d'icône de la ligne (celui des autres listes de résultats).
    static constexpr int RoleIcone = Qt::UserRole;
    enum Colonne { ColonneChemin = 0, ColonneProbabilite = 1 };

    using QAbstractTableModel::QAbstractTableModel;

    // Copie les lignes de la table ; `meilleure` (1..Lignes(), 0 = aucune) reçoit l'étoile.
    // La liste revient à l'ordre de l'énumération.
    void Remplir(const TableDesChemins &table, long long meilleure);
    void Vider();
    // Numéros (rôle RoleIcone) et images des icônes des lignes, ceux des autres listes.
    void DefinirIcones(int numeroLigne, const QIcon &ligne, int numeroMeilleure, const QIcon &meilleure);

    // Noms des états de la ligne affichée `ligne`, temps 1..T.
    QStringList Etats(int ligne) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Colonne < 0 : ordre de l'énumération. Le chemin se trie sur son texte, la probabilité
    // sur sa valeur ; à égalité, l'ordre de l'énumération est gardé.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    int rangTable(int ligne) const { return ordre.empty() ? ligne : ordre[std::size_t(ligne)]; }
    QString texteChemin(int k) const;

    int T = 0;
    int lignes = 0;
    std::vector<unsigned char> etats; // [k * T + t - 1]
    std::vector<double> probabilites;
    QStringList noms;                 // noms des états par numéro
    int meilleure = -1;               // rang dans la table (0..), -1 = aucune
    std::vector<int> ordre;           // rang affiché -> rang dans la table ; vide = énumération
    int numeroLigne = 0, numeroMeilleure = 0;
    QIcon iconeLigne, iconeMeilleure;
};
