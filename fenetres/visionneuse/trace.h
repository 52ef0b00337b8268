#pragma once
// TForm20 : la fenêtre où l'on lit la trace d'exécution du dernier calcul traçable,
// l'enregistre sous un autre nom ou l'imprime. Son ouverture produit la trace.
#include <QDialog>
#include <QTextBrowser>
#include <functional>

class QAction;
class QMenu;
class QPrinter;
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
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl &nom) override;
    // Affiche le fichier, relu même si c'est déjà la page montrée.
    void Ouvrir(const QString &chemin);
};

class TForm20 : public QDialog {
    Q_OBJECT
public:
    static inline const QString Titre = QStringLiteral(" Voir la trace d'exécution");
    static inline const QString Legende = QStringLiteral("Voir la trace d'exécution");
    // Largeur (pixels) sur laquelle la page est mise en forme pour l'impression.
    static constexpr double LargeurImpression = 1050;

    explicit TForm20(QWidget *parent = nullptr);

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
    QAction *Enregistrersous1 = nullptr, *Imprimer1 = nullptr, *Fermer1 = nullptr;

    // Points d'accroche remplaçables par les tests : boîte d'enregistrement (vide = annulé),
    // boîte d'impression (false = annulé).
    std::function<QString()> DemanderEnregistrement;
    std::function<bool(QPrinter &)> DemanderImpression;

    // Produit la trace choisie par DernierAlgorithme et l'affiche ; une erreur est dite à
    // l'utilisateur et la page montrée jusque-là reste. Rend true quand une trace est affichée.
    bool Produire();
    void Enregistrersous1Click();
    void Imprimer1Click();

protected:
    void showEvent(QShowEvent *e) override;
};
