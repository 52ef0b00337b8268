#pragma once
// TForm13 : "Calculer la probabilité de génération (Forward)".
#include "calculs/dialogue_algorithme.h"

class TForm13 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm13(const ContexteCalcul &contexte);

protected:
    void Executer() override;
};
