#pragma once
// Le volet de vérification sous le canevas : le rapport de VerifierModele dans une zone de
// texte, un onglet "Vérification du modèle", un petit bouton de fermeture et un menu
// surgissant (Copier, Tout sélectionner, Imprimer, Cacher, Supprimer).
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QPrinter;
class QTabBar;
class QTextEdit;
class QToolButton;

class PanneauVerification : public QWidget {
    Q_OBJECT
public:
    static constexpr int HauteurAffichee = 85;

    explicit PanneauVerification(QWidget *parent = nullptr);

    QToolButton *BoutonFermer = nullptr;
    QTextEdit *RichEdit1 = nullptr;
    QTabBar *Onglets = nullptr;
    QMenu *MenuRapport = nullptr;
    QAction *Copier1 = nullptr, *Toutselectionner1 = nullptr, *Imprimer1 = nullptr, *Cacher1 = nullptr,
            *Supprimer1 = nullptr;

    // Choix de l'imprimante ; rend false quand l'utilisateur annule. Remplaçable par les tests.
    std::function<bool(QPrinter &)> DemanderImprimante;

    // Écrit le rapport (une entrée par ligne ; une entrée peut contenir des sauts de ligne).
    void Ecrire(const QStringList &rapport);
    QString Texte() const;

    void Copier();
    void ToutSelectionner();
    // Imprime le texte ; le travail d'impression porte le texte comme titre.
    bool Imprimer();
    void Cacher();
    void Supprimer();

signals:
    void cacheDemande();

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;
};
