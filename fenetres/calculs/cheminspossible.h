#pragma once
// TForm16 : "Enumérer tous les chemins possible".
#include "calculs/dialogue_algorithme.h"

class TForm16 : public DialogueAlgorithme {
    Q_OBJECT
public:
    explicit TForm16(const ContexteCalcul &contexte);

protected:
    void Executer() override;
};
