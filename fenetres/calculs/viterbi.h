#pragma once
// TForm15 : "Trouver le chemin de Viterbi".
#include "calculs/dialogue_algorithme.h"

class TForm15 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm15(const ContexteCalcul &contexte);

protected:
    void Executer() override;
};
