// Paramètres du modèle : CalculerParametres lit le graphe (arcs de Hmm1, paires des boîtes)
// et remplit π, A, B en précision étendue, sans rien changer au graphe.
#include "model/parametres.h"
#include "graph/etat2.h"
#include "graph/hmm.h"
#include "graph/nombres.h"
#include "model/document.h"

#include <QHash>

ETropDeSymboles::ETropDeSymboles()
    : std::runtime_error(QStringLiteral("Le modèle emploie plus de %1 symboles différents : "
                                        "un centième symbole ne peut pas être pris en compte.")
                             .arg(ParametresModele::CapaciteSymboles)
                             .toStdString())
{
}

QString ETropDeSymboles::Message() const
{
    return QString::fromStdString(what());
}

int ParametresModele::RechercherSymbole(const QString &nom) const
{
    int trouve = -1;
    for (int k = 1; k <= M; ++k)
        if (Symboles[k] == nom)
            trouve = k;
    return trouve;
}

QString ParametresModele::NomEtat(int i) const
{
    if (i == 0)
        return QStringLiteral("START");
    if (i < 0 || i >= Taille)
        return QString();
    return Noms[i];
}

void ParametresModele::Dimensionner(int n, int m)
{
    PI.resize(std::size_t(n) + 1);
    A.resize(std::size_t(n) + 1);
    B.resize(std::size_t(n) + 1);
    A[0].resize(0);
    B[0].resize(0);
    for (int i = 1; i <= n; ++i) {
        A[i].resize(std::size_t(n) + 1);
        B[i].resize(std::size_t(m) + 1);
    }
}

IndexGraphe::IndexGraphe(const DocumentModele &d)
    : etats(std::size_t(ParametresModele::Taille), -1),
      arcs(std::size_t(ParametresModele::Taille) * std::size_t(ParametresModele::Taille), -1)
{
    QHash<QString, int> dernier;
    for (int k = d.StartPresent ? 0 : 1; k <= d.N && k < ParametresModele::Taille; ++k)
        if (d.Etats[k])
            dernier.insert(d.Etats[k]->Nom, k);
    for (int i = 0; i <= d.N && i < ParametresModele::Taille; ++i)
        if (d.Etats[i])
            etats[std::size_t(i)] = dernier.value(d.Etats[i]->Nom, -1);
    const THmm *h = d.Hmm1;
    for (int a = 1; h && a <= h->NbArcs; ++a) {
        const int s = h->ARC[a][1], t = h->ARC[a][2];
        if (s >= 0 && t >= 0 && s < ParametresModele::Taille && t < ParametresModele::Taille)
            arcs[std::size_t(s * ParametresModele::Taille + t)] = a;
    }
}

void DocumentModele::CalculerParametres()
{
    ParametresModele &p = Parametres;

    // 1. Symboles, dans l'ordre de première apparition. La liste est bâtie à part : un
    //    101e symbole (au-delà de la capacité) est refusé avant toute modification.
    QString symboles[ParametresModele::Taille];
    int m = 0;
    QHash<QString, int> indices; // symbole -> index (les symboles relevés sont distincts)
    auto indiceSymbole = [&](const QString &s) { return indices.value(s, -1); };
    for (int i = 1; i <= N; ++i) {
        const TEtat2 *e = Etats[i];
        for (int k = 1; k <= e->NbSymboles; ++k) {
            const QString &s = e->Generation[k][1];
            if (indiceSymbole(s) == -1) {
                if (m == ParametresModele::CapaciteSymboles)
                    throw ETropDeSymboles();
                symboles[++m] = s;
                indices.insert(s, m);
            }
        }
    }
    p.N = N;
    p.M = m;
    for (int k = 0; k < ParametresModele::Taille; ++k) {
        p.Symboles[k] = k <= m ? symboles[k] : QString();
        p.Noms[k] = (k >= 1 && k <= N && Etats[k]) ? Etats[k]->Nom : QString();
    }
    p.Noms[0] = QStringLiteral("START");

    // 2. Tailles.
    p.Dimensionner(N, m);

    // Index d'un état d'après son nom : avec des noms en double, le dernier répond pour tous.
    const IndexGraphe index(*this);
    auto indiceEtat = [&](int i) { return index.Etat(i); };
    auto valeurArc = [&](int source, int destination) -> long double {
        const int a = index.Arc(source, destination);
        return a != -1 ? Nombres::VersExtended(Hmm1->Etiquette[a]) : 0.0L;
    };

    // 3. π.
    p.PI[0] = 0;
    for (int i = 1; i <= N; ++i)
        p.PI[i] = valeurArc(0, indiceEtat(i));

    // 4. A.
    for (int i = 1; i <= N; ++i) {
        p.A[i][0] = 0;
        const int ei = indiceEtat(i);
        for (int j = 1; j <= N; ++j)
            p.A[i][j] = valeurArc(ei, indiceEtat(j));
    }

    // 5. B : la dernière paire d'un symbole répété l'emporte.
    for (int i = 1; i <= N; ++i) {
        for (int k = 1; k <= m; ++k)
            p.B[i][k] = 0;
        p.B[i][0] = 0;
        const TEtat2 *e = Etats[i];
        for (int k = 1; k <= e->NbSymboles; ++k)
            p.B[i][indiceSymbole(e->Generation[k][1])] = Nombres::VersExtended(e->Generation[k][2]);
    }
}
