// The one road by which files are read by name: plain files only, and an
// open that never waits on a pipe, a socket or a folder under the name.

#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/ini_file.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using testenv::TubeSurveille;

namespace {

QString chemin(const char *nom)
{
    return testenv::cheminTemp(QLatin1String(nom));
}

} // namespace

TEST(FichierOrdinaire, OnlyPlainFilesAndLinksToThemAreRead)
{
    testenv::writeFile(chemin("plain.gif"), "GIF89a");
    ASSERT_EQ(::symlink(QFile::encodeName(chemin("plain.gif")).constData(),
                        QFile::encodeName(chemin("lien.gif")).constData()),
              0);
    ASSERT_EQ(::symlink("absent", QFile::encodeName(chemin("casse.gif")).constData()), 0);
    ASSERT_TRUE(QDir().mkpath(chemin("dossier.gif")));
    TubeSurveille tube(chemin("tube.gif"));
    ASSERT_TRUE(tube.cree());
    // A socket under a picture's name.
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const QByteArray nomSocket = QFile::encodeName(chemin("socket.gif"));
    ASSERT_LT(size_t(nomSocket.size()), sizeof adresse.sun_path);
    std::memcpy(adresse.sun_path, nomSocket.constData(), size_t(nomSocket.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr *>(&adresse), sizeof adresse), 0);

    EXPECT_TRUE(EstFichierOrdinaire(chemin("plain.gif")));
    EXPECT_TRUE(EstFichierOrdinaire(chemin("lien.gif")));
    for (const char *nom : {"casse.gif", "dossier.gif", "tube.gif", "socket.gif", "absent.gif"}) {
        SCOPED_TRACE(nom);
        EXPECT_FALSE(EstFichierOrdinaire(chemin(nom)));
        QFile f;
        EXPECT_FALSE(OuvreFichierOrdinaire(f, chemin(nom)));
        EXPECT_FALSE(f.isOpen());
        EXPECT_EQ(OuvreDescripteurOrdinaire(chemin(nom)), -1);
        EXPECT_FALSE(LitFichierOrdinaire(chemin(nom), 1 << 20));
        EXPECT_FALSE(EmpreinteFichierOrdinaire(chemin(nom), 1 << 20));
    }
    EXPECT_FALSE(EstFichierOrdinaire(QString()));
    EXPECT_EQ(LitFichierOrdinaire(chemin("lien.gif"), 6), QByteArray("GIF89a"));
    // Why a file is not read: too large, or no plain file.
    errno = 0;
    EXPECT_FALSE(LitFichierOrdinaire(chemin("plain.gif"), 5));
    EXPECT_EQ(errno, EFBIG);
    errno = 0;
    EXPECT_FALSE(LitFichierOrdinaire(chemin("tube.gif"), 1 << 20));
    EXPECT_EQ(errno, EINVAL);
    ::close(s);

    // The digest, read in blocks (one, then four), and nothing past the cap.
    EXPECT_EQ(EmpreinteFichierOrdinaire(chemin("lien.gif"), 6).value_or(QByteArray()).toHex(),
              QByteArray("610f5ae4d76e332636a17bd357fd6ce99029316a99d320280d4d77a746bf29e8"));
    testenv::writeFile(chemin("grand.gif"), QByteArray(200 * 1024 + 1, 'x'));
    EXPECT_EQ(EmpreinteFichierOrdinaire(chemin("grand.gif"), 200 * 1024 + 1).value_or(QByteArray()).toHex(),
              QByteArray("a088ba51b59e79f79bcb21f165e4786b3327d9fd890f8cae294fb748cd02d1b6"));
    errno = 0;
    EXPECT_FALSE(EmpreinteFichierOrdinaire(chemin("grand.gif"), 200 * 1024));
    EXPECT_EQ(errno, EFBIG);

    // The readers built on it: a pipe is an empty options file, and a copy
    // from it fails, leaving its target whole.
    EXPECT_TRUE(IniFile(chemin("tube.gif")).sections().isEmpty());
    testenv::writeFile(chemin("cible.gif"), "ancien");
    QString raison;
    EXPECT_FALSE(CopieFichierAtomique(chemin("tube.gif"), chemin("cible.gif"), &raison));
    EXPECT_FALSE(raison.isEmpty());
    EXPECT_EQ(testenv::readFile(chemin("cible.gif")), QByteArray("ancien"));
    tube.arrete();
    EXPECT_EQ(tube.lecteurs(), 0);
}
