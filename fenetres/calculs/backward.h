#pragma once
// TForm14 : "Calculer la probabilité de génération (Backward)".
#include "calculs/dialogue_algorithme.h"

class TForm14 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm14(const ContexteCalcul &contexte);

protected:
    void Executer() override;
};
