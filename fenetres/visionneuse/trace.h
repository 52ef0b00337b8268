#pragma once
// TForm20 : la fenêtre où l'on lit la trace d'exécution du dernier calcul traçable,
// l'enregistre sous un autre nom ou l'imprime. Son ouverture produit la trace.
#include <QDialog>
#include <QTextBrowser>
#include <functional>

class QAction;
class QTextDocument;
class QMenu;
class QPrinter;
class QProgressBar;
class QStatusBar;
class QToolBar;
class DocumentModele;
struct EspaceTravail;
struct ParametresModele;
namespace Trace {
class ObservateurTrace;
}

// Le navigateur de la trace : lit les pages locales en Windows-1252 (le jeu déclaré par la
// page sinon) et relit le disque à chaque navigation, image comprise.
class NavigateurTrace : public QTextBrowser {
    Q_OBJECT
public:
    // Jusqu'à cette taille, une page est lue d'un coup (quelques dizaines de millisecondes) ;
    // au-delà, elle est lue et analysée dans un fil à part, la fenêtre reste disponible.
    static constexpr qint64 TailleLectureDirecte = 128 * 1024;
    // Au-delà, une page ou une image n'est pas lue (les traces sont bornées bien en deçà).
    static constexpr qint64 LimiteLecture = 64 * 1024 * 1024;

    using QTextBrowser::QTextBrowser;
    ~NavigateurTrace() override;
    QVariant loadResource(int type, const QUrl &nom) override;
    // Affiche le fichier, relu même si c'est déjà la page montrée. Une grande page est montrée
    // à la fin de sa lecture (chargementTermine) ; une ouverture plus récente l'emporte.
    void Ouvrir(const QString &chemin);
    bool EnChargement() const { return attendu != 0; }

signals:
    void chargementCommence(qint64 octets);
    void chargementTermine();

private:
    struct Lecture;
    QList<Lecture *> lectures; // fils de lecture pas encore terminés
    int numero = 0;            // dernière ouverture demandée
    int attendu = 0;           // ouverture en fond attendue (0 : aucune)
    void terminer(Lecture *l);
    void remplacerDocument(QTextDocument *d);
};

class TForm20 : public QDialog {
    Q_OBJECT
public:
    static inline const QString Titre = QStringLiteral(" Voir la trace d'exécution");
    static inline const QString Legende = QStringLiteral("Voir la trace d'exécution");
    // Largeur (pixels) sur laquelle la page est mise en forme pour l'impression.
    static constexpr double LargeurImpression = 1050;

    explicit TForm20(QWidget *parent = nullptr);

    // Copie de la page à imprimer : une coupure permise après chaque « + » hors des tableaux de
    // nombres,
    // pour que les longues sommes passent à la ligne au lieu de sortir de la page.
    static void PermettreCoupures(QTextDocument &document);

    // Ce que la fenêtre lit à chaque ouverture (posé par la fenêtre principale).
    QString DernierAlgorithme;
    const ParametresModele *Parametres = nullptr;
    const EspaceTravail *Espace = nullptr;
    DocumentModele *Document = nullptr;              // image du graphe des évaluations
    const Trace::ObservateurTrace *Observateur = nullptr; // erreurs des étapes d'un entraînement

    QToolBar *ToolBar1 = nullptr;
    NavigateurTrace *CppWebBrowser1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    // Indication de chargement d'une grande trace (barre sans fin, dans la barre d'état).
    QProgressBar *Progression = nullptr;
    QAction *Enregistrersous1 = nullptr, *Imprimer1 = nullptr, *Fermer1 = nullptr;

    // Points d'accroche remplaçables par les tests : boîte d'enregistrement (vide = annulé),
    // boîte d'impression (false = annulé).
    std::function<QString()> DemanderEnregistrement;
    std::function<bool(QPrinter &)> DemanderImpression;

    // Produit la trace choisie par DernierAlgorithme et l'affiche ; une erreur est dite à
    // l'utilisateur et la page montrée jusque-là reste. Rend true quand une trace est affichée
    // ou, pour une grande trace, quand son chargement est lancé.
    bool Produire();
    void Enregistrersous1Click();
    void Imprimer1Click();

protected:
    void showEvent(QShowEvent *e) override;
};
