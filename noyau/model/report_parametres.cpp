#include "model/report_parametres.h"
#include "graph/nombres.h"
#include "model/fichier.h"
#include "model/parametres.h"

#include <QHash>

void ReporterValeurs(ContenuModele &c, const ParametresModele &p)
{
    const int n = p.N;
    // Indices des états et arcs trouvés une fois : O(N²) au plus, pas de recherche par nom.
    const IndexGraphe index(c);
    QHash<QString, int> symboles; // le dernier trouvé, comme RechercherIndice
    for (int k = 1; k <= p.M; ++k)
        symboles.insert(p.Symboles[k], k);
    const auto poser = [&](int source, int destination, long double v) {
        const int a = index.Arc(source, destination);
        if (a >= 1 && a <= c.Arcs.size())
            c.Arcs[a - 1].Etiquette = Nombres::Formater(v);
    };
    for (int i = 1; i <= n; ++i)
        poser(0, index.Etat(i), p.PI[i]);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            poser(index.Etat(i), index.Etat(j), p.A[i][j]);
    // L'état i du registre (START en tête quand il existe).
    const qsizetype decalage = c.Start ? 0 : -1;
    for (int i = 1; i <= n && i + decalage < c.Etats.size(); ++i) {
        for (auto &paire : c.Etats[i + decalage].Paires) {
            const int s = symboles.value(paire.first, -1);
            if (s >= 1)
                paire.second = Nombres::Formater(p.B[i][s]);
        }
    }
}
