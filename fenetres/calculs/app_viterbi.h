#pragma once
// TForm17 : "Entraînement de Viterbi".
#include "calculs/dialogue_algorithme.h"

class TForm17 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm17(const ContexteCalcul &contexte);

protected:
    void Executer() override;
};
