#include "theme/fichier_ordinaire.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool EstFichierOrdinaire(const QString &chemin)
{
    if (chemin.isEmpty()) {
        errno = ENOENT;
        return false;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(chemin).constData(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    return true;
}

int OuvreDescripteurOrdinaire(const QString &chemin)
{
    if (!EstFichierOrdinaire(chemin))
        return -1;
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // A plain file never waits; the flag goes so that readers see the usual
    // behaviour.
    if (const int drapeaux = ::fcntl(fd, F_GETFL); drapeaux != -1)
        ::fcntl(fd, F_SETFL, drapeaux & ~O_NONBLOCK);
    return fd;
}

bool OuvreFichierOrdinaire(QFile &f, const QString &chemin)
{
    f.close();
    const int fd = OuvreDescripteurOrdinaire(chemin);
    if (fd < 0)
        return false;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        errno = EIO;
        return false;
    }
    return true;
}

std::optional<QByteArray> LitFichierOrdinaire(const QString &chemin, qint64 maximum)
{
    QByteArray octets;
    int cause = 0;
    {
        QFile f;
        if (!OuvreFichierOrdinaire(f, chemin))
            return std::nullopt;
        const qint64 taille = f.size();
        if (taille < 0) {
            cause = EIO;
        } else if (taille > maximum) {
            cause = EFBIG;
        } else {
            octets = f.read(taille);
            // A file that changed size while it was read is not read.
            char encore = 0;
            if (octets.size() != taille || f.read(&encore, 1) != 0)
                cause = EIO;
        }
    }
    if (cause != 0) {
        errno = cause;
        return std::nullopt;
    }
    return octets;
}

std::optional<QByteArray> EmpreinteFichierOrdinaire(const QString &chemin, qint64 maximum)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin))
        return std::nullopt;
    QCryptographicHash h(QCryptographicHash::Sha256);
    QByteArray bloc(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 n = f.read(bloc.data(), bloc.size());
        if (n < 0) {
            errno = EIO;
            return std::nullopt;
        }
        if (n == 0)
            break;
        total += n;
        if (total > maximum) {
            errno = EFBIG;
            return std::nullopt;
        }
        h.addData(QByteArrayView(bloc.constData(), n));
    }
    return h.result();
}
