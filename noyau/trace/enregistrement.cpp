#include "trace/enregistrement.h"
#include "model/textes.h"
#include "trace/document_trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace Trace {

QString DossierImageCopie(const QString &destination)
{
    const QFileInfo d(destination);
    return d.absolutePath() + QLatin1Char('/') + d.completeBaseName() + QStringLiteral("_fichiers");
}

void EnregistrerTraceSous(const QString &destination, const QString &source)
{
    const QString document = source.isEmpty() ? CheminDocument() : source;
    const QString image = QFileInfo(document).absolutePath() + QStringLiteral("/A_directe_fichiers/Hmm.bmp");
    QString texte = LireFichier(document);
    // Le dossier choisi doit exister : aucun chemin n'est créé au-dessus de la copie.
    const QString parent = QFileInfo(destination).absolutePath();
    if (!QFileInfo(parent).isDir())
        throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : le dossier « %2 » n'existe pas.")
                         .arg(QDir::toNativeSeparators(destination), QDir::toNativeSeparators(parent)));

    const QString dossier = DossierImageCopie(destination);
    const QString copieImage = dossier + QStringLiteral("/Hmm.bmp");
    if (QFileInfo::exists(image)) {
        if (!QDir().mkpath(dossier))
            throw ETrace(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(QDir::toNativeSeparators(dossier)));
        const bool meme = QFileInfo(image).canonicalFilePath() == QFileInfo(copieImage).canonicalFilePath();
        if (!meme) {
            // Copie par l'écriture vérifiée : une copie tronquée ne remplace pas l'ancienne.
            QByteArray octets;
            QString erreur;
            if (!Textes::LireOctets(image, 64 * 1024 * 1024, &octets, &erreur) ||
                !Textes::EcrireOctets(copieImage, octets, &erreur))
                throw ETrace(QStringLiteral("Impossible de créer le fichier « %1 » : %2")
                                 .arg(QDir::toNativeSeparators(copieImage), erreur));
        }
        // Chemin relatif encodé comme une adresse : espaces et accents du nom restent lisibles.
        const QString relatif =
            QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(dossier).fileName())) + QStringLiteral("/Hmm.bmp");
        // Le fragment entier contient une espace : aucun nom d'état ou de symbole ne peut le porter.
        texte.replace(FragmentImage, QStringLiteral("<img src=\"") + relatif + QStringLiteral("\"></img>"));
    }
    EcrireFichier(destination, texte);
}

}
