#pragma once
// Éléments communs aux quatre boîtes du mot de passe : champs masqués, barre d'état,
// contrôle de ce que le fichier du modèle peut porter.
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QFormLayout;
class QStatusBar;

class DialogueMotDePasse : public QDialog {
    Q_OBJECT
public:
    DialogueMotDePasse(const QString &titre, const QString &texteValider, QWidget *parent);

    static inline const QString PasConfirme = QStringLiteral("Le mot de passe ne correspond pas à la confirmation");
    static inline const QString Incorrect = QStringLiteral("Mot de passe incorrect");

    QPushButton *Valider = nullptr;
    QPushButton *Annuler = nullptr;

protected:
    QLineEdit *AjouterChamp(const QString &libelle);
    // Message d'erreur, puis focus et sélection du champ fautif.
    void Refuser(QLineEdit *champ, const QString &message);
    // Un nouveau mot de passe que le fichier peut porter (ni vide, ni "Vide", sans blanc...).
    bool Acceptable(QLineEdit *champ);
    void showEvent(QShowEvent *e) override;
    virtual void Confirmer() = 0;

private:
    QFormLayout *formulaire = nullptr;
    QList<QLineEdit *> champs;
};
