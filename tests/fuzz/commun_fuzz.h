#pragma once
// Outils communs des cibles libFuzzer : une QGuiApplication hors écran, un dossier de travail
// (en mémoire quand /dev/shm existe : chaque enregistrement est synchronisé sur le disque).
#include <QString>
#include <cstdlib>

namespace Fuzz {
// À appeler depuis LLVMFuzzerInitialize.
void Initialiser(int *argc, char ***argv);
QString Dossier();
// Un invariant violé : message sur stderr puis abort(), que libFuzzer relève comme un plantage.
[[noreturn]] void Echec(const QString &message);
}
