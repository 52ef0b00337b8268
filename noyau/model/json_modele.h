#pragma once
// Modèles échangés avec un carnet Python : un objet JSON aux tableaux `startprob`,
// `transmat`, `emissionprob` (ceux que portent les attributs startprob_, transmat_,
// emissionprob_ d'un CategoricalHMM de hmmlearn), plus les noms des états (`states`) et des
// symboles (`symbols`). Les clés suivies de « _ » sont acceptées à la lecture.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

class DocumentModele;

namespace ModeleJson {
// Texte JSON du modèle du document : les nombres sont les textes exacts des étiquettes et
// des paires (séparateur décimal ramené au point), 0 pour un arc ou une paire absents.
// Lève EConversion, ETropDeSymboles.
QByteArray Exporter(DocumentModele &document);
bool ExporterFichier(DocumentModele &document, const QString &chemin, QString *erreur);

// Remplace le modèle du document par celui du texte JSON : START à gauche, états disposés
// en cercle, arcs et paires de probabilité nulle omis. false et *erreur (message français)
// quand le texte n'est pas un modèle ou dépasse une capacité ; le document est alors intact.
bool Importer(const QByteArray &json, DocumentModele &document, QString *erreur);
// Plafond d'un JSON lu : un modèle de 99 états et 99 symboles en prend moins d'un Mio.
constexpr qint64 LimiteTaille = 16 * 1024 * 1024;
// Le texte d'un fichier ordinaire (ou de l'entrée standard pour « - ») d'au plus LimiteTaille
// octets ; sinon false et *erreur en français.
bool LireJson(const QString &chemin, QByteArray *octets, QString *erreur);
bool ImporterFichier(const QString &chemin, DocumentModele &document, QString *erreur);
}
