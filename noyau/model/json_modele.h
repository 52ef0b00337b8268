#pragma once
// Modèles échangés avec un carnet Python : un objet JSON aux tableaux `startprob`,
// `transmat`, `emissionprob` (ceux que portent les attributs startprob_, transmat_,
// emissionprob_ d'un CategoricalHMM de hmmlearn), plus les noms des états (`states`) et des
// symboles (`symbols`). Les clés suivies de « _ » sont acceptées à la lecture.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

struct ContenuModele;


namespace ModeleJson {
// Le nombre d'états au plus, START non compris.
constexpr int CapaciteEtats = 99;
// Texte JSON du modèle : les nombres sont les textes exacts des étiquettes et des paires
// (séparateur décimal ramené au point), 0 pour un arc ou une paire absents.
// Lève EConversion, ETropDeSymboles.
QByteArray Exporter(const ContenuModele &modele);
bool ExporterFichier(const ContenuModele &modele, const QString &chemin, QString *erreur);

// Le modèle du texte JSON, en lignes de fichier (lisibles et enregistrables) : START à gauche,
// états disposés en cercle, arcs et paires de probabilité nulle omis ; la police de
// l'application mesure les boîtes. false et *erreur (message français) quand le texte n'est
// pas un modèle ou dépasse une capacité ; *modele est alors intact.
bool Importer(const QByteArray &json, QStringList *modele, QString *erreur);
// Plafond d'un JSON lu : un modèle de 99 états et 99 symboles en prend moins d'un Mio.
constexpr qint64 LimiteTaille = 16 * 1024 * 1024;
// Le texte d'un fichier ordinaire (ou de l'entrée standard pour « - ») d'au plus LimiteTaille
// octets ; sinon false et *erreur en français.
bool LireJson(const QString &chemin, QByteArray *octets, QString *erreur);
bool ImporterFichier(const QString &chemin, QStringList *modele, QString *erreur);
}
