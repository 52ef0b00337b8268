#pragma once
// hmmcalc lancé comme un utilisateur le ferait, avec une entrée standard et un réglage du
// processus enfant avant son démarrage (limite de taille de fichier...).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct Issue {
    int code = -1;
    QString sortie, erreurs;
};

Issue LancerHmmcalc(const QStringList &arguments, const QByteArray &entree = QByteArray(),
                    const std::function<void()> &avantDemarrage = {}, const QString &temporaire = QString());
QString Exemple(const char *nom);
QByteArray Octets(const QString &chemin);
