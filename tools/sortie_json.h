#pragma once
// hmmcalc --format json : un objet JSON par exécution, pour jq et Python. Chaque
// probabilité y est un objet {"valeur": nombre, "texte": "17 chiffres significatifs"},
// les chemins des listes de noms d'états, les paramètres des listes imbriquées
// accompagnées des noms des états et des symboles.
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <vector>

struct GrandeProbabilite;
struct ParametresModele;
class TableDesChemins;
enum class IssueEntrainement;

namespace SortieJson {
// Texte exact d'une probabilité : 17 chiffres significatifs, point décimal quelle que soit la langue.
QString Texte17(long double x);
QJsonObject Probabilite(long double x);
// Une probabilité hors de l'étendu : la valeur 0, accompagnée de son texte et de log10.
QJsonObject HorsEtendu(const GrandeProbabilite &g, bool misALEchelle);
QJsonArray Noms(const QStringList &noms);
// {"N", "M", "etats", "symboles", "pi": [..N], "A": [[..N]..N], "B": [[..M]..N]}.
QJsonObject Parametres(const ParametresModele &p);
// {"correct": booléen, "erreurs": [...]} : les lignes du rapport quand le modèle est incorrect.
QJsonObject Verification(bool correct, const QStringList &rapport);
// [{"chemin": [...], "probabilite": {...}, "meilleur": booléen}...] ; meilleur = numéro de ligne.
QJsonArray Chemins(const TableDesChemins &t, long long meilleur);
QString Issue(IssueEntrainement issue);
// Écrit l'objet sur la sortie standard, sur une ligne.
void Ecrire(const QJsonObject &objet);
// Le même objet suivi de la clé "chemins", écrite chemin par chemin sans bâtir le tableau :
// la mémoire ne croît pas avec le nombre de chemins.
void EcrireAvecChemins(const QJsonObject &objet, const TableDesChemins &t, long long meilleur);
// Un tableau écrit élément par élément sans être bâti : element(k), k = 0..nombre-1.
struct TableauEnFlux {
    QString cle;
    qsizetype nombre;
    std::function<QJsonValue(qsizetype)> element;
};
// L'objet et ses tableaux en flux, chacun à la place de sa clé : les mêmes octets que l'objet
// qui les contiendrait, sans que la mémoire croisse avec leur longueur.
void EcrireAvecTableaux(const QJsonObject &objet, const std::vector<TableauEnFlux> &tableaux);
}
