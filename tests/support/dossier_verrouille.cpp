#include "tests/support/test_env.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testenv {

namespace {

bool changeImmuable(const QString &dossier, bool immuable)
{
    const int fd = ::open(QFile::encodeName(dossier).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int attributs = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &attributs) == 0;
    if (ok) {
        attributs = immuable ? (attributs | FS_IMMUTABLE_FL) : (attributs & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &attributs) == 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

DossierVerrouille::DossierVerrouille(const QString &dossier) : m_dossier(dossier)
{
    if (::geteuid() == 0) {
        m_immuable = true;
        m_actif = changeImmuable(dossier, true);
        return;
    }
    struct stat st{};
    if (::stat(QFile::encodeName(dossier).constData(), &st) != 0)
        return;
    m_mode = st.st_mode & 07777;
    m_actif = ::chmod(QFile::encodeName(dossier).constData(), 0555) == 0;
}

DossierVerrouille::~DossierVerrouille()
{
    libere();
}

void DossierVerrouille::libere()
{
    if (!m_actif)
        return;
    if (m_immuable)
        changeImmuable(m_dossier, false);
    else
        ::chmod(QFile::encodeName(m_dossier).constData(), m_mode);
    m_actif = false;
}

} // namespace testenv
