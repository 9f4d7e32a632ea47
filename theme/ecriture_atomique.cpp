#include "theme/ecriture_atomique.h"

#include "theme/fichier_ordinaire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString texteErrno(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Makes the rename durable; a folder that cannot be synced (some file systems
// refuse) does not make the write fail: the file itself is already synced.
void syncDossier(const QString &chemin)
{
    SynchroniseDossier(QFileInfo(chemin).absolutePath());
}

} // namespace

void SynchroniseDossier(const QString &dossier)
{
    const int fd = ::open(QFile::encodeName(dossier).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

EcritureAtomique::EcritureAtomique(const QString &chemin) : m_chemin(chemin), m_fichier(chemin) {}

EcritureAtomique::~EcritureAtomique()
{
    abandonne();
}

bool EcritureAtomique::echoue(const QString &raison)
{
    m_echec = true;
    m_raison = raison.isEmpty() ? QStringLiteral("the file could not be written") : raison;
    abandonne();
    return false;
}

bool EcritureAtomique::ouvre()
{
    m_ecrits = 0;
    m_echec = false;
    m_raison.clear();
    if (!m_fichier.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return echoue(m_fichier.errorString());
    return true;
}

bool EcritureAtomique::ecrit(const char *donnees, qint64 taille)
{
    if (m_echec || !m_fichier.isOpen())
        return m_echec ? false : echoue(QStringLiteral("the file is not open"));
    // A short write is followed by another, which gives the reason (a full
    // disk answers the first with a short count and no error).
    while (taille > 0) {
        const qint64 n = m_fichier.write(donnees, taille);
        if (n <= 0)
            return echoue(m_fichier.errorString());
        donnees += n;
        taille -= n;
        m_ecrits += n;
    }
    return true;
}

bool EcritureAtomique::valide()
{
    if (m_echec || !m_fichier.isOpen())
        return m_echec ? false : echoue(QStringLiteral("the file is not open"));
    if (m_fichier.error() != QFileDevice::NoError)
        return echoue(m_fichier.errorString());
    const int fd = m_fichier.handle();
    struct stat etat{};
    if (fd < 0 || ::fstat(fd, &etat) != 0)
        return echoue(texteErrno(errno));
    if (qint64(etat.st_size) != m_ecrits)
        return echoue(QStringLiteral("%1 bytes of %2 reached the disk").arg(qint64(etat.st_size)).arg(m_ecrits));
    // Some file systems report a full disk only when the data is synced.
    if (::fsync(fd) != 0)
        return echoue(texteErrno(errno));
    if (!m_fichier.commit()) {
        m_echec = true;
        m_raison = m_fichier.errorString();
        return false;
    }
    syncDossier(m_chemin);
    return true;
}

void EcritureAtomique::abandonne()
{
    if (m_fichier.isOpen()) {
        m_fichier.cancelWriting();
        m_fichier.commit(); // removes the temporary file; returns false by design
    }
}

bool EcritFichierAtomique(const QString &chemin, const QByteArray &octets, QString *raison)
{
    EcritureAtomique e(chemin);
    if (e.ouvre() && e.ecrit(octets) && e.valide())
        return true;
    if (raison)
        *raison = e.raison();
    return false;
}

bool CopieFichierAtomique(const QString &source, const QString &cible, QString *raison)
{
    const auto echec = [raison](const QString &texte) {
        if (raison)
            *raison = texte;
        return false;
    };
    // Only a plain file is copied: a pipe under the name would never end.
    QFile entree;
    if (!OuvreFichierOrdinaire(entree, source))
        return echec(texteErrno(errno));
    EcritureAtomique sortie(cible);
    if (!sortie.ouvre())
        return echec(sortie.raison());
    QByteArray bloc(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = entree.read(bloc.data(), bloc.size());
        if (n < 0)
            return echec(entree.errorString());
        if (n == 0)
            break;
        if (!sortie.ecrit(bloc.constData(), n))
            return echec(sortie.raison());
    }
    if (!sortie.valide())
        return echec(sortie.raison());
    return true;
}
