#pragma once
// Modèles pour les tests : λ rempli directement, modèles aléatoires, graphes construits
// boîte par boîte, espace de travail prêt pour une séquence.
#include "algorithms/espace.h"
#include "model/parametres.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <vector>

class DocumentModele;

// λ à partir de textes (séparateur "." ou ",").
ParametresModele ParametresTextes(const QStringList &noms, const QStringList &symboles, const QStringList &pi,
                                  const QList<QStringList> &A, const QList<QStringList> &B);
// Le modèle E1/E2 des exemples : π = (0,5 ; 0,5), A = ((0,7 ; 0,3), (0,4 ; 0,6)),
// B = ((0,9 ; 0,1), (0,2 ; 0,8)) sur a, b.
ParametresModele ModeleE1E2();

// Espace de travail pour O[1..T] (indices de symboles).
EspaceTravail EspacePour(const std::vector<int> &O);

// Réglages d'un modèle aléatoire.
struct ReglageAleatoire {
    const char *nom;
    int N, M, T;
    double zeros;      // part des cases mises à 0
    bool egalites;     // valeurs tirées dans {0,25 ; 0,5} : beaucoup d'égalités exactes
    const char *extra; // "" ou "grand" (une valeur de A > 16), "negatif", "minuscule" (A non découpable en doubles),
                       // "enorme" (A[1][1] = 1e1000 : α déborde), "chaine" (cycle de N + 1 arcs), "chaine4" (le
                       // même, chaque état n'émettant que 4 symboles, séquence émise par le cycle), "arcs98",
                       // "bminuscule" (B non découpable), "doubles" (π, A, B multiples de 2^-20)
};
ParametresModele ModeleAleatoire(const ReglageAleatoire &r, unsigned graine, std::vector<int> &O);
// Lignes de π, A et B ramenées à une somme de 1 : un vrai modèle, dont P(O|λ) décroît
// géométriquement avec T.
void Stochastique(ParametresModele &p);

// Graphe boîte par boîte dans un document (START en tête quand `start`).
struct EtatTest {
    QString nom;
    QList<QPair<QString, QString>> paires;
};
struct ArcTest {
    int source, destination; // indices du registre : 0 = START
    QString etiquette;
};
void Construire(DocumentModele &d, bool start, const QList<EtatTest> &etats, const QList<ArcTest> &arcs);
// Le graphe E1/E2 (START, E1, E2).
void ConstruireE1E2(DocumentModele &d);
