#include "theme/cab_temporaire.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cabtemp {
namespace {

QString texteErreur(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool memeFichier(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

Temporaire::~Temporaire()
{
    abandonne();
}

bool Temporaire::cree(const QString &dossier, QString &erreur)
{
    abandonne();
    for (int essai = 0; essai < 8; ++essai) {
        const QString chemin = dossier + QStringLiteral("/.orvandel-cab-%1.tmp")
                                             .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
        const QByteArray local = QFile::encodeName(chemin);
        const int fd = ::open(local.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            erreur = texteErreur(errno);
            return false;
        }
        // A sweep running at this very moment may take the new file for a
        // stale one: keep it only when the lock is ours and the name still
        // leads to it.
        struct stat parFd {}, parNom {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &parFd) == 0 && ::lstat(local.constData(), &parNom) == 0
            && memeFichier(parFd, parNom)) {
            m_fd = fd;
            m_chemin = chemin;
            return true;
        }
        ::close(fd);
    }
    erreur = QStringLiteral("no free temporary name in %1").arg(QDir::toNativeSeparators(dossier));
    return false;
}

bool Temporaire::remplace(const QString &cible, QString &erreur)
{
    if (m_fd < 0) {
        erreur = QStringLiteral("no temporary file");
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        erreur = texteErreur(errno);
        QFile::remove(m_chemin);
        m_chemin.clear();
        return false;
    }
    if (std::rename(QFile::encodeName(m_chemin).constData(), QFile::encodeName(cible).constData()) != 0) {
        erreur = texteErreur(errno);
        QFile::remove(m_chemin);
        m_chemin.clear();
        return false;
    }
    m_chemin.clear();
    return true;
}

void Temporaire::abandonne()
{
    if (m_fd >= 0) {
        // Removed while still locked, so that no sweep sees it half-gone.
        ::unlink(QFile::encodeName(m_chemin).constData());
        ::close(m_fd);
        m_fd = -1;
    }
    m_chemin.clear();
}

int balaie(const QString &dossier)
{
    const QStringList noms = QDir(dossier).entryList({QStringLiteral(".orvandel-cab-*.tmp")},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    int enleves = 0;
    for (const QString &nom : noms) {
        const QByteArray local = QFile::encodeName(dossier + QLatin1Char('/') + nom);
        struct stat avant {};
        if (::lstat(local.constData(), &avant) != 0 || !S_ISREG(avant.st_mode) || avant.st_uid != ::geteuid())
            continue;
        const int fd = ::open(local.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat ouvert {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &ouvert) == 0 && memeFichier(avant, ouvert)
            && ::unlink(local.constData()) == 0)
            ++enleves;
        ::close(fd);
    }
    return enleves;
}

} // namespace cabtemp
