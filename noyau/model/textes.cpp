#include "model/textes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Textes {

QString Decoder(const QByteArray &octets)
{
    // ASCII : le même texte en Windows-1252, sans ouvrir de convertisseur (un par ligne lue).
    if (std::all_of(octets.begin(), octets.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(octets);
    QStringDecoder d("windows-1252");
    if (!d.isValid())
        return QString::fromLatin1(octets);
    return d.decode(octets);
}

QByteArray Encoder(const QString &texte)
{
    QStringEncoder e("windows-1252");
    if (!e.isValid())
        return texte.toLatin1();
    return e.encode(texte);
}

QString Visible(const QString &texte)
{
    const auto commande = [](QChar c) {
        return c.category() == QChar::Other_Control && c != QLatin1Char('\t') && c != QLatin1Char('\n');
    };
    if (std::none_of(texte.begin(), texte.end(), commande))
        return texte;
    QString r;
    r.reserve(texte.size() + 8);
    for (QChar c : texte) {
        if (commande(c))
            r += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            r += c;
    }
    return r;
}

bool Representable(const QString &texte)
{
    QStringEncoder e("windows-1252", QStringEncoder::Flag::Stateless);
    if (!e.isValid())
        return true;
    QByteArray o = e.encode(texte);
    return !e.hasError() && Decoder(o) == texte;
}

QString CauseSysteme(int numero)
{
    switch (numero) {
    case ENOSPC:
        return QStringLiteral("il n'y a plus de place sur le disque");
    case EDQUOT:
        return QStringLiteral("le quota de disque est dépassé");
    case EFBIG:
        return QStringLiteral("le fichier dépasse la taille permise");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission refusée");
    case EROFS:
        return QStringLiteral("le disque est en lecture seule");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie du disque");
    case ENOENT:
        return QStringLiteral("le fichier ou son dossier n'existe pas");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ENAMETOOLONG:
        return QStringLiteral("le nom est trop long");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques dans le chemin");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("le fichier est occupé");
    case EXDEV:
        return QStringLiteral("le fichier temporaire est sur un autre disque");
    case EAGAIN:
        return QStringLiteral("le fichier n'est pas prêt (tube ou périphérique)");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("le périphérique n'existe pas");
    default:
        return QStringLiteral("erreur du système n° %1").arg(numero);
    }
}

namespace {

QString nomNatif(const QString &chemin)
{
    return QDir::toNativeSeparators(chemin);
}

}

bool LireOctets(const QString &chemin, qint64 limite, QByteArray *octets, QString *erreur)
{
    auto refuser = [&](const QString &cause) {
        if (erreur)
            *erreur = cause;
        return false;
    };
    // O_NONBLOCK : un tube sans écrivain ne bloque pas l'ouverture ; il est refusé juste après.
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuser(CauseSysteme(errno));
    struct Fermer {
        int fd;
        ~Fermer() { ::close(fd); }
    } fermer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return refuser(CauseSysteme(errno));
    if (S_ISDIR(st.st_mode))
        return refuser(QStringLiteral("c'est un dossier"));
    if (!S_ISREG(st.st_mode))
        return refuser(QStringLiteral("ce n'est pas un fichier ordinaire (tube, périphérique ou socket)"));
    if (st.st_size > limite)
        return refuser(QStringLiteral("il fait %1 octets, au-delà de la limite de %2 octets").arg(st.st_size).arg(limite));
    // Lecture bornée : le fichier peut grandir entre fstat et read.
    QByteArray r;
    r.resize(qsizetype(st.st_size) + 1);
    qsizetype lus = 0;
    for (;;) {
        if (lus == r.size()) {
            if (lus > limite)
                return refuser(QStringLiteral("il dépasse la limite de %1 octets").arg(limite));
            r.resize(qMin<qint64>(limite + 1, qint64(r.size()) * 2 + 4096));
        }
        const ssize_t n = ::read(fd, r.data() + lus, std::size_t(r.size() - lus));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return refuser(CauseSysteme(errno));
        }
        if (n == 0)
            break;
        lus += n;
    }
    if (lus > limite)
        return refuser(QStringLiteral("il dépasse la limite de %1 octets").arg(limite));
    r.resize(lus);
    *octets = r;
    return true;
}

bool LireEntreeStandard(qint64 limite, QByteArray *octets, QString *erreur)
{
    QByteArray r;
    char tampon[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, tampon, sizeof tampon);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (erreur)
                *erreur = CauseSysteme(errno);
            return false;
        }
        if (n == 0)
            break;
        if (r.size() + n > limite) {
            if (erreur)
                *erreur = QStringLiteral("l'entrée standard dépasse la limite de %1 octets").arg(limite);
            return false;
        }
        r.append(tampon, qsizetype(n));
    }
    *octets = r;
    return true;
}

QStringList LireLignes(const QString &chemin, qint64 limite, bool *ok, QString *erreur)
{
    QByteArray tout;
    if (!LireOctets(chemin, limite, &tout, erreur)) {
        if (ok)
            *ok = false;
        return {};
    }
    if (ok)
        *ok = true;
    QString t = Decoder(tout);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList l = t.split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

QStringList LireLignes(const QString &chemin, bool *ok)
{
    return LireLignes(chemin, LimiteLignes, ok, nullptr);
}

namespace {

// La cible finale d'une chaîne de liens symboliques (même pendante) ; vide quand la chaîne
// boucle ou ne se lit pas.
QString suivreLiens(const QString &chemin)
{
    QString c = QFileInfo(chemin).absoluteFilePath();
    for (int tours = 0; tours < 40; ++tours) {
        const QFileInfo i(c);
        if (!i.isSymLink())
            return c;
        const QString lien = i.symLinkTarget();
        if (lien.isEmpty())
            return QString();
        c = lien;
    }
    return QString();
}

}

bool EcrireOctets(const QString &chemin, const QByteArray &octets, QString *erreur)
{
    auto echec = [&](const QString &cause) {
        if (erreur)
            *erreur = QStringLiteral("le fichier « %1 » n'a pas pu être écrit : %2").arg(nomNatif(chemin), cause);
        return false;
    };
    // Un lien symbolique est suivi : c'est sa cible qui est remplacée, le lien reste.
    const QString cible = suivreLiens(chemin);
    if (cible.isEmpty())
        return echec(CauseSysteme(ELOOP));
    // Le renommage remplacerait un périphérique, un tube ou un dossier par un fichier ordinaire.
    struct stat existant {};
    if (::stat(QFile::encodeName(cible).constData(), &existant) == 0 && !S_ISREG(existant.st_mode))
        return echec(S_ISDIR(existant.st_mode)
                         ? QStringLiteral("c'est un dossier")
                         : QStringLiteral("ce n'est pas un fichier ordinaire (tube, périphérique ou socket) : il n'est pas remplacé"));
    const QFileInfo infoCible(cible);
    const QByteArray dossier = QFile::encodeName(infoCible.absolutePath());
    QByteArray modele = dossier + '/' + '.' + QFile::encodeName(infoCible.fileName()) + ".XXXXXX";
    const int fd = ::mkostemp(modele.data(), O_CLOEXEC);
    if (fd < 0)
        return echec(CauseSysteme(errno));
    const QByteArray temporaire = modele;
    auto abandonner = [&](int numero, bool fermer) {
        if (fermer)
            ::close(fd);
        ::unlink(temporaire.constData());
        return echec(CauseSysteme(numero));
    };
    // Droits : ceux du fichier remplacé, sinon ceux d'un fichier neuf (0666 moins l'umask).
    struct stat st {};
    mode_t droits;
    if (::stat(QFile::encodeName(cible).constData(), &st) == 0) {
        droits = st.st_mode & 07777;
    } else {
        const mode_t masque = ::umask(0);
        ::umask(masque);
        droits = 0666 & ~masque;
    }
    if (::fchmod(fd, droits) != 0)
        return abandonner(errno, true);
    const char *p = octets.constData();
    qsizetype reste = octets.size();
    while (reste > 0) {
        const ssize_t n = ::write(fd, p, std::size_t(reste));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandonner(errno, true);
        }
        if (n == 0)
            return abandonner(EIO, true);
        p += n;
        reste -= n;
    }
    if (::fsync(fd) != 0)
        return abandonner(errno, true);
    if (::close(fd) != 0)
        return abandonner(errno, false);
    if (::rename(temporaire.constData(), QFile::encodeName(cible).constData()) != 0)
        return abandonner(errno, false);
    // Le renommage lui-même doit survivre à une coupure : on synchronise le dossier.
    const int d = ::open(dossier.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
    return true;
}

bool EcrireTexte(const QString &chemin, const QString &texte, QString *erreur)
{
    return EcrireOctets(chemin, Encoder(texte), erreur);
}

bool EcrireLignes(const QString &chemin, const QStringList &lignes, QString *erreur)
{
    QString t;
    for (const QString &l : lignes)
        t += l + QLatin1String("\r\n");
    return EcrireTexte(chemin, t, erreur);
}

namespace {

QStringList decouper(QString t)
{
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList l = t.split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

}

QStringList LireLignesPartagees(const QString &chemin, qint64 limite, bool *ok, QString *erreur)
{
    if (ok)
        *ok = true;
    if (!QFileInfo::exists(chemin) && !QFileInfo(chemin).isSymLink())
        return {};
    QByteArray octets;
    if (!LireOctets(chemin, limite, &octets, erreur)) {
        if (ok)
            *ok = false;
        return {};
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString t = utf8.decode(octets);
    // Un fichier écrit avant le passage à UTF-8 reste lisible.
    if (utf8.hasError())
        t = Decoder(octets);
    return decouper(t);
}

bool ModifierLignesPartagees(const QString &chemin, qint64 limite, const std::function<bool(QStringList &)> &changer,
                             QStringList *resultat, QString *erreur)
{
    QLockFile verrou(chemin + QStringLiteral(".lock"));
    // Un verrou laissé par une instance tuée est repris (QLockFile vérifie son processus).
    verrou.setStaleLockTime(10000);
    if (!verrou.tryLock(20000)) {
        if (erreur)
            *erreur = verrou.error() == QLockFile::LockFailedError
                          ? QStringLiteral("le fichier « %1 » est verrouillé par une autre instance").arg(nomNatif(chemin))
                          : QStringLiteral("le verrou du fichier « %1 » ne peut pas être créé (disque plein ou en "
                                           "lecture seule ?) : il n'est pas modifié")
                                .arg(nomNatif(chemin));
        return false;
    }
    bool ok = false;
    QString cause;
    QStringList l = LireLignesPartagees(chemin, limite, &ok, &cause);
    if (!ok) {
        if (erreur)
            *erreur = QStringLiteral("le fichier « %1 » n'est pas lu (%2) : il n'est pas remplacé").arg(nomNatif(chemin), cause);
        return false;
    }
    if (!changer(l)) {
        if (resultat)
            *resultat = l;
        return true;
    }
    QByteArray octets;
    for (const QString &ligne : l)
        octets += ligne.toUtf8() + "\r\n";
    if (!EcrireOctets(chemin, octets, erreur))
        return false;
    if (resultat)
        *resultat = l;
    return true;
}

}
