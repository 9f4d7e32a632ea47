#include "ui/verrou_instance.h"

#include "theme/fichier_ordinaire.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool memeFichier(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::unique_ptr<VerrouInstance> VerrouInstance::prends(const QString &chemin, Etat *etat, QString *raison)
{
    const QByteArray natif = QFile::encodeName(chemin);
    const auto resultat = [&](Etat e, int code = 0) -> std::unique_ptr<VerrouInstance> {
        if (etat)
            *etat = e;
        if (raison)
            *raison = code ? QString::fromLocal8Bit(std::strerror(code)) : QString();
        return nullptr;
    };

    // Each turn either holds the lock or finds the name changed under it (a
    // holder leaving, another start taking over the same leftover): a few
    // turns settle it.
    for (int tour = 0; tour < 16; ++tour) {
        struct stat nomme{};
        int fd = -1;
        if (::lstat(natif.constData(), &nomme) != 0) {
            if (errno != ENOENT)
                return resultat(Etat::Impossible, errno);
            // The file holds nothing: nothing is written, so a full disk
            // cannot stop the guard.
            fd = ::open(natif.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return resultat(Etat::Impossible, errno);
            }
        } else if (!S_ISREG(nomme.st_mode)) {
            // A pipe would make a reader wait for ever, a link points anywhere:
            // neither is a lock. Only the entry itself goes, never a folder.
            if (S_ISDIR(nomme.st_mode))
                return resultat(Etat::Impossible, EISDIR);
            if (::unlink(natif.constData()) != 0 && errno != ENOENT)
                return resultat(Etat::Impossible, errno);
            continue;
        } else {
            // A leftover or a running instance's lock: opened without waiting,
            // read-only (a read-only folder may hold the leftover of a killed run).
            fd = OuvreDescripteurOrdinaire(chemin);
            if (fd < 0) {
                if (errno == ENOENT || errno == EINVAL)
                    continue;
                return resultat(Etat::Impossible, errno);
            }
        }

        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK)
                return resultat(Etat::PrisAilleurs);
            return resultat(Etat::Impossible, code);
        }
        // Held; the name must still name this very file (a link swapped in
        // meanwhile, or the file removed by an instance that just ended).
        struct stat ouvert{}, maintenant{};
        if (::fstat(fd, &ouvert) == 0 && ::lstat(natif.constData(), &maintenant) == 0 && S_ISREG(ouvert.st_mode)
            && memeFichier(ouvert, maintenant)) {
            if (etat)
                *etat = Etat::Tenu;
            if (raison)
                raison->clear();
            return std::unique_ptr<VerrouInstance>(new VerrouInstance(chemin, fd));
        }
        ::close(fd);
    }
    return resultat(Etat::Impossible, EAGAIN);
}

VerrouInstance::~VerrouInstance()
{
    // The file goes while the lock is still held, and only when the name
    // still names it.
    const QByteArray natif = QFile::encodeName(m_chemin);
    struct stat ouvert{}, nomme{};
    if (::fstat(m_fd, &ouvert) == 0 && ::lstat(natif.constData(), &nomme) == 0 && memeFichier(ouvert, nomme))
        ::unlink(natif.constData());
    ::close(m_fd);
}
