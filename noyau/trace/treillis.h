#pragma once
// Le treillis : états en lignes, instants en colonnes (en-têtes t et o_t), nœuds reliés par
// les transitions du modèle. Chaque nœud montre α, β, δ ou γ, sa teinte suit la valeur sur
// une échelle logarithmique ; le chemin de Viterbi est en gras (et, pour δ, les pointeurs ψ
// de chaque nœud). Le même dessin sert à la fenêtre, aux images PNG et SVG de hmmcalc.
#include "algorithms/espace.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;
struct ParametresModele;
struct ContenuModele;

namespace Treillis {

enum class Valeurs { Alpha, Beta, Delta, Gamma };

// Tout ce que le dessin et les formules lisent, copié du calcul : le modèle et l'espace de
// travail peuvent changer ensuite sans que le treillis change.
struct Donnees {
    Valeurs Quoi = Valeurs::Alpha;
    int N = 0, T = 0, M = 0;
    QStringList Etats;        // noms des états 1..N (indice 0 : START)
    QStringList Symboles;     // o_t en texte, indice t (0 inutilisé)
    std::vector<int> O;       // O[1..T]
    std::vector<long double> PI, A, B; // PI[i], A[i * (N + 1) + j], B[i * (M + 1) + k]
    Matrice<long double> Alpha, Beta, Delta, Gamma;
    Matrice<int> Psi;
    long double P = 0;         // P(O|λ)
    long double PViterbi = 0;  // probabilité du meilleur chemin
    // Hors de la plage de l'étendu : Alpha et Beta tiennent ᾱ et β̂ (facteurs c_t dans C[1..T],
    // γ en est tiré), Delta tient ln δ ; les probabilités vraies sont dans PEchelle et
    // PViterbiEchelle, Avant[t] = Π_{s<=t} 1/c_s et Apres[t] = Π_{s>=t} 1/c_s.
    bool Echelle = false, DeltaLog = false;
    std::vector<long double> C;
    std::vector<GrandeProbabilite> Avant, Apres;
    GrandeProbabilite PEchelle, PViterbiEchelle;
    std::vector<int> Chemin;   // chemin de Viterbi q[0..T], vide quand PViterbi = 0
    // Échelle des teintes : log10 de la valeur rapportée au maximum de sa colonne (α, β, δ
    // décroissent avec t : une échelle commune rendrait toutes les colonnes d'un long treillis
    // pareilles), sur Etendue décades, la plus grande étendue d'une colonne (1 à 12).
    std::vector<long double> MaxColonne; // log10 du maximum de chaque colonne
    long double Etendue = 1;

    long double a(int i, int j) const { return A[std::size_t(i * (N + 1) + j)]; }
    long double b(int i, int t) const { return O[std::size_t(t)] > 0 ? B[std::size_t(i * (M + 1) + O[std::size_t(t)])] : 0; }
    const Matrice<long double> &Table() const;
    // La table montrée tient-elle des valeurs mises à l'échelle (ᾱ, β̂, ln δ, ou γ tiré d'eux) ?
    bool TableEchelle() const { return Quoi == Valeurs::Delta ? DeltaLog : Echelle; }
};

// La valeur vraie de la case (t, j) de la table montrée (α, β, δ ou γ, pas ᾱ ni β̂), en
// mantisse et exposant : elle peut sortir de la plage de l'étendu.
GrandeProbabilite Valeur(const Donnees &d, int t, int j);
// Son log10, -inf pour 0.
long double Log10Valeur(const Donnees &d, int t, int j);
// Son texte : format général, ou mantisse et exposant décimal hors de la plage ("9,23E-6237").
QString TexteValeur(const Donnees &d, int t, int j, int chiffres = 15);
// L'en-tête d'un treillis mis à l'échelle : P(O|λ) et son log10 (et ceux du meilleur chemin
// pour δ) ; vide pour un calcul exact.
QString TexteEntete(const Donnees &d);

// Forward, Backward et Viterbi sur la séquence déjà découpée de l'espace, γ quand P > 0 ;
// exacts, ou mis à l'échelle quand leur résultat sort de la plage de l'étendu.
// Lève ERefusCalcul pour γ quand le modèle ne génère pas la séquence.
Donnees Preparer(const ParametresModele &parametres, EspaceTravail &espace, Valeurs valeurs);

// Les mêmes données tirées d'un calcul déjà fait, sans rien recalculer : seule la table de
// `valeurs` est copiée de l'espace (les traces y prennent une case développée).
Donnees Copier(const ParametresModele &parametres, const EspaceTravail &espace, Valeurs valeurs);

// "α", "β", "δ", "γ".
QString Symbole(Valeurs v);
// Nom de la quantité pour les textes : "α (Forward)"...
QString Titre(Valeurs v);

// Formule développée de la case (t, j) avec ses nombres, au format des traces.
QString Formule(const Donnees &d, int t, int j);

// La formule de γ_t(j) avec ses nombres, pour cette séquence sur ce modèle (le graphe du calcul
// en direct) ; vide quand le calcul est refusé, ou que ses tables dépasseraient un million de cases.
QString FormuleGamma(const ContenuModele &modele, const QString &sequence, bool caractere, int t, int j);

// La même formule pour une page HTML : caractères spéciaux et non ASCII en entités.
QString FormuleHtml(const Donnees &d, int t, int j);

// Un terme de la formule de (t, j) : la case qu'il lit, l'arc et l'émission qu'il emploie.
struct Terme {
    Valeurs Table = Valeurs::Alpha; // table de la case lue (γ lit α et β)
    int T = 0, I = 0;               // case lue (T, I) ; T = 0 : aucune (π et b à t = 1)
    int De = -1, Vers = -1;         // arc De → Vers, De = 0 : START ; -1 : aucun (γ)
    int EtatEmission = 0, TEmission = 0; // b(EtatEmission, o_TEmission) ; 0 : aucune
    int Couleur = 0;                // indice de CouleurTerme, le même dans le dessin et le texte
};

// Ce que lit la formule de (t, j), dans l'ordre de ses termes, et ce même contenu en une ligne
// pour les aides techniques : « Cases lues : α1(E1), α1(E2) ; arcs : E1 → E2, E2 → E2 ».
struct Entrees {
    std::vector<Terme> Termes;
    QString Texte;
};
Entrees Lues(const Donnees &d, int t, int j);

// Couleur du terme d'indice k (les couleurs reviennent après la dernière).
QColor CouleurTerme(int k);

// La formule de Formule, ses termes colorés comme dans le dessin, en texte riche.
QString FormuleCouleurs(const Donnees &d, int t, int j);

// Géométrie du dessin, en pixels.
struct Geometrie {
    int Gauche = 0; // largeur de la colonne des noms
    int Haut = 56;  // en-têtes t et o_t ; mis à l'échelle : P(O|λ) au-dessus, c_t dessous
    static constexpr int Colonne = 124, Ligne = 66;
    static constexpr int LargeurNoeud = 98, HauteurNoeud = 36;
    static constexpr int Bas = 34;  // légende
    int N = 0, T = 0;

    explicit Geometrie(const Donnees &d);
    QSize Taille() const;
    QRect Noeud(int t, int j) const;
    // Case sous le point, false quand il n'y en a pas.
    bool Case(QPoint p, int *t, int *j) const;
};

// La légende écrite sous le treillis (la fenêtre la montre à part, passée à la ligne).
QString Legende(const Donnees &d);

// Largeur qui laisse lire la légende sous le treillis.
int LargeurMinimale(const Donnees &d);

// Colonnes montrées à l'étape k de la relecture (0..T) : 1..k, ou T-k+1..T pour β.
bool Visible(const Donnees &d, int etape, int t);

// Dessine les colonnes qui coupent `zone` (coordonnées du dessin). `etape` = T : tout.
// (tSurligne, jSurligne) : case mise en évidence, 0 pour aucune ; les cases que lit sa formule
// sont alors bordées et les transitions qui les y mènent épaissies, dans la couleur du terme.
void Dessiner(QPainter &p, const Donnees &d, const QRect &zone, int etape, int tSurligne = 0, int jSurligne = 0);

// Plafond d'une image exportée : pixels (4 octets chacun) ou texte SVG.
constexpr qint64 LimiteImage = 64LL * 1024 * 1024;

// Image des instants debut..fin (fin = 0 : jusqu'à T) en PNG (ou autre format d'image d'après
// l'extension) ou en SVG, écrite de façon atomique. Refusée, avec l'indication de --colonnes,
// quand elle dépasserait LimiteImage.
bool Exporter(const Donnees &d, const QString &chemin, QString *erreur, int debut = 1, int fin = 0);

}
