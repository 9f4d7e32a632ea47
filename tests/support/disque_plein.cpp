#include "tests/support/disque_plein.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

// Under a sanitizer the runtime intercepts write() itself: no second
// interposition there; the tests then need the tmpfs.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVANDEL_SANS_INTERPOSITION 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ORVANDEL_SANS_INTERPOSITION 1
#endif
#endif

namespace {

// The folder whose writes fail, when no tmpfs could be mounted.
std::atomic<bool> g_plein{false};
std::atomic<long long> g_reste{0}; // bytes still accepted
std::mutex g_mutex;
std::string g_prefixe;

// The bytes of a write to a file under the full folder that still fit:
// -1 when the folder is not full or the file lies elsewhere.
long long placeRestante(int fd, size_t taille)
{
    if (!g_plein.load())
        return -1;
    char lien[64];
    std::snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
    char cible[PATH_MAX];
    const ssize_t n = ::readlink(lien, cible, sizeof cible - 1);
    if (n <= 0)
        return -1;
    cible[n] = '\0';
    std::lock_guard<std::mutex> verrou(g_mutex);
    if (std::strncmp(cible, g_prefixe.c_str(), g_prefixe.size()) != 0)
        return -1;
    const long long pris = std::min<long long>(g_reste, (long long)taille);
    g_reste -= pris;
    return pris;
}

} // namespace

#ifndef ORVANDEL_SANS_INTERPOSITION
// The program's writes go through these while the test runs: the executable's
// definitions take the place of the C library's for every shared library.
extern "C" ssize_t write(int fd, const void *donnees, size_t taille)
{
    const long long place = taille > 0 ? placeRestante(fd, taille) : -1;
    if (place == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::syscall(SYS_write, fd, donnees, place < 0 ? taille : size_t(place));
}

extern "C" ssize_t pwrite64(int fd, const void *donnees, size_t taille, off_t position)
{
    const long long place = taille > 0 ? placeRestante(fd, taille) : -1;
    if (place == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::syscall(SYS_pwrite64, fd, donnees, place < 0 ? taille : size_t(place), position);
}

extern "C" ssize_t writev(int fd, const struct iovec *morceaux, int nombre)
{
    // Kept simple: a vector write is refused whole once the room is gone.
    size_t total = 0;
    for (int i = 0; i < nombre; ++i)
        total += morceaux[i].iov_len;
    const long long place = total > 0 ? placeRestante(fd, total) : -1;
    if (place >= 0 && size_t(place) < total) {
        errno = ENOSPC;
        return -1;
    }
    return ::syscall(SYS_writev, fd, morceaux, nombre);
}

#endif

namespace testenv {

DisquePlein::DisquePlein(const QString &dossier) : m_dossier(QDir::cleanPath(dossier))
{
    QDir().mkpath(m_dossier);
    const QByteArray chemin = QFile::encodeName(m_dossier);
    // ORVANDEL_DISQUE_PLEIN=ecriture forces the interposed writes, to try them as root.
    const bool force = qgetenv("ORVANDEL_DISQUE_PLEIN") == "ecriture";
    if (!force && ::mount("orvandel-plein", chemin.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=2m,mode=0755") == 0) {
        m_tmpfs = true;
        ::mount(nullptr, chemin.constData(), nullptr, MS_PRIVATE, nullptr);
    }
    m_remplissage = m_dossier + QStringLiteral("/.remplissage");
#ifdef ORVANDEL_SANS_INTERPOSITION
    m_pret = m_tmpfs;
#else
    m_pret = true;
#endif
}

DisquePlein::~DisquePlein()
{
    libere();
    if (m_tmpfs)
        ::umount2(QFile::encodeName(m_dossier).constData(), MNT_DETACH);
}

void DisquePlein::remplit(qint64 reste)
{
    if (m_tmpfs) {
        // Every free block taken, down to the last byte.
        const int fd = ::open(QFile::encodeName(m_remplissage).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        static char bloc[64 * 1024];
        for (size_t taille = sizeof bloc; taille > 0; taille /= 2)
            while (::syscall(SYS_write, fd, bloc, taille) > 0) {
            }
        if (reste > 0) {
            const off_t fin = ::lseek(fd, 0, SEEK_END);
            if (::ftruncate(fd, fin > reste ? fin - reste : 0) != 0)
                reste = 0;
        }
        ::close(fd);
        return;
    }
    {
        std::lock_guard<std::mutex> verrou(g_mutex);
        g_prefixe = QFile::encodeName(m_dossier + QLatin1Char('/')).toStdString();
        g_reste = reste;
    }
    g_plein = true;
}

void DisquePlein::libere()
{
    g_plein = false;
    if (m_tmpfs)
        QFile::remove(m_remplissage);
}

} // namespace testenv
