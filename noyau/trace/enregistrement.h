#pragma once
// "Enregistrer sous ..." d'une trace : le document et son image, pour que la copie montre
// encore l'image où qu'elle soit rangée.
#include <QString>

namespace Trace {
// Le dossier de l'image d'une copie : "<répertoire>/<nom sans extension>_fichiers".
QString DossierImageCopie(const QString &destination);

// Copie `source` (par défaut "Modeles/Trace.htm") sous `destination` et son image
// "A_directe_fichiers/Hmm.bmp" dans DossierImageCopie(destination) ; la copie pointe vers
// cette image. Deux traces enregistrées dans le même répertoire gardent chacune la sienne.
// Lève ETrace.
void EnregistrerTraceSous(const QString &destination, const QString &source = QString());
}
