#pragma once
// TForm11 : "Entraînement de BaumWelch", avec son critère d'arrêt (nombre d'itérations ou
// seuil de P(O|H)).
#include "calculs/dialogue_algorithme.h"

class QLineEdit;
class QSpinBox;

class TForm11 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm11(const ContexteCalcul &contexte);

    QGroupBox *GroupBox3 = nullptr; // " Critère d'arrêt de l'algorithme : "
    QRadioButton *RadioButton3 = nullptr, *RadioButton4 = nullptr;
    QSpinBox *CSpinEditIteration = nullptr;
    QLineEdit *Edit1 = nullptr;

    // Filtre de frappe du seuil : chiffres, retour arrière, et le séparateur décimal quand le
    // texte n'en a pas encore. `frappe` est le texte de la touche.
    static bool ToucheAcceptee(const QString &texteActuel, const QString &frappe);

protected:
    void Executer() override;
    void LireReglages() override;
    void FormShow() override;
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void critereChange();
};
