// Paramètres du modèle : CalculerParametres lit le contenu (arcs, paires des états) et
// remplit π, A, B en précision étendue. Sans contrôle ni fenêtre : hmmcalc s'en sert sans Qt Widgets.
#include "model/parametres.h"
#include "graph/nombres.h"
#include "model/fichier.h"

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

IndexGraphe::IndexGraphe(const ContenuModele &c)
    : etats(std::size_t(ParametresModele::Taille), -1),
      arcs(std::size_t(ParametresModele::Taille) * std::size_t(ParametresModele::Taille), 0)
{
    const int n = c.N();
    QHash<QString, int> dernier;
    for (int k = c.Start ? 0 : 1; k <= n && k < ParametresModele::Taille; ++k)
        if (const ContenuModele::Etat *e = c.EtatRegistre(k))
            dernier.insert(e->Nom, k);
    for (int i = 0; i <= n && i < ParametresModele::Taille; ++i)
        if (const ContenuModele::Etat *e = c.EtatRegistre(i))
            etats[std::size_t(i)] = dernier.value(e->Nom, -1);
    // Au plus 65 535 arcs numérotés (un modèle en porte 98).
    for (int a = 1; a <= int(c.Arcs.size()) && a <= 0xFFFF; ++a) {
        const int s = c.Arcs[a - 1].Source, t = c.Arcs[a - 1].Destination;
        if (s >= 0 && t >= 0 && s < ParametresModele::Taille && t < ParametresModele::Taille)
            arcs[std::size_t(s * ParametresModele::Taille + t)] = std::uint16_t(a);
    }
}

void CalculerParametres(const ContenuModele &c, ParametresModele &p)
{
    const int N = c.N();
    const auto etat = [&](int i) { return c.EtatRegistre(i); };

    // 1. Symboles, dans l'ordre de première apparition. La liste est bâtie à part : un
    //    101e symbole (au-delà de la capacité) est refusé avant toute modification.
    QString symboles[ParametresModele::Taille];
    int m = 0;
    QHash<QString, int> indices; // symbole -> index (les symboles relevés sont distincts)
    auto indiceSymbole = [&](const QString &s) { return indices.value(s, -1); };
    for (int i = 1; i <= N; ++i) {
        for (const auto &paire : etat(i)->Paires) {
            const QString &s = paire.first;
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
        p.Noms[k] = (k >= 1 && k <= N && etat(k)) ? etat(k)->Nom : QString();
    }
    p.Noms[0] = QStringLiteral("START");

    // 2. Tailles.
    p.Dimensionner(N, m);

    // Index d'un état d'après son nom : avec des noms en double, le dernier répond pour tous.
    const IndexGraphe index(c);
    auto indiceEtat = [&](int i) { return index.Etat(i); };
    auto valeurArc = [&](int source, int destination) -> long double {
        const int a = index.Arc(source, destination);
        return a != -1 ? Nombres::VersExtended(c.Arcs[a - 1].Etiquette) : 0.0L;
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
        for (const auto &paire : etat(i)->Paires)
            p.B[i][indiceSymbole(paire.first)] = Nombres::VersExtended(paire.second);
    }
}

QString TexteParametres(const ParametresModele &p)
{
    QStringList l, etats;
    for (int i = 1; i <= p.N; ++i)
        etats << p.NomEtat(i);
    const QString entete = QStringLiteral("\t") + etats.join(QLatin1Char('\t'));
    l << QStringLiteral("Vecteur π :") << entete;
    QString x = QStringLiteral("START");
    for (int i = 1; i <= p.N; ++i)
        x += QLatin1Char('\t') + Nombres::Formater(p.PI[i]);
    l << x << QStringLiteral("Matrice A :") << entete;
    for (int i = 1; i <= p.N; ++i) {
        x = p.NomEtat(i);
        for (int j = 1; j <= p.N; ++j)
            x += QLatin1Char('\t') + Nombres::Formater(p.A[i][j]);
        l << x;
    }
    l << QStringLiteral("Matrice B :");
    x.clear();
    for (int k = 1; k <= p.M; ++k)
        x += QStringLiteral("\t\"") + p.Symboles[k] + QLatin1Char('"');
    l << x;
    for (int i = 1; i <= p.N; ++i) {
        x = p.NomEtat(i);
        for (int k = 1; k <= p.M; ++k)
            x += QLatin1Char('\t') + Nombres::Formater(p.B[i][k]);
        l << x;
    }
    return l.join(QLatin1Char('\n'));
}
