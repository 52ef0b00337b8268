#pragma once
// TForm12 : "Calculer la probabilité de génération (Aproche dirrecte)".
#include "calculs/dialogue_algorithme.h"

class QCheckBox;

class TForm12 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm12(const ContexteCalcul &contexte);
    QCheckBox *CheckBox1 = nullptr; // "Enumérer tout les chemins possible"

protected:
    void Executer() override;
    void FormShow() override;
};
