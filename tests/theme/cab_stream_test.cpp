// Building streams each source while the cabinet is written: what was listed
// must still be what is read, the layout of folders and blocks follows the
// format, extraction of many members keeps its names straight, and
// temporaries left by killed processes are swept.
#include "theme/cab_file.h"
#include "theme/cab_temporaire.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cabtest;

namespace {

QByteArray aleatoire(qsizetype n, quint32 graine)
{
    QRandomGenerator g(graine);
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(g.bounded(256));
    return b;
}

quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Three sources; the second is the one a test tampers with.
QStringList troisSources()
{
    const QString dir = testenv::programDir() + "/src";
    const QStringList chemins = {dir + "/a.gif", dir + "/b.gif", dir + "/c.gif"};
    for (int i = 0; i < 3; ++i)
        testenv::writeFile(chemins[i], aleatoire(100000 + i, quint32(i)));
    return chemins;
}

enum class Changement { Grandit, Retrecit, Reecrit };

} // namespace

// A source that changes between the listing and its reading (grown, shrunk,
// or rewritten with the same size) fails the build as an unreadable source:
// no cabinet, no temporary, the previous cabinet untouched.
TEST(CabStream, ASourceThatChangesDuringTheBuildFailsItCleanly)
{
    for (const Changement c : {Changement::Grandit, Changement::Retrecit, Changement::Reecrit}) {
        SCOPED_TRACE(int(c));
        QDir(testenv::programDir()).removeRecursively();
        const QStringList sources = troisSources();
        const QString sortie = testenv::programDir() + "/out";
        testenv::writeFile(sortie + "/theme.tsk", "previous package");

        ScriptedPrompts prompts;
        TCABFile cab(nullptr, &prompts);
        cab.CompressionType = typNone;
        cab.CABFile = sortie + "/theme.tsk";
        for (const QString &s : sources)
            cab.CABFileContents().Add()->Name = s;
        int appels = 0;
        // Called once the first source is stored: the second changes now.
        cab.OnCompressProgress = [&](TCABFile *, qint64, qint64) {
            if (appels++ > 0)
                return;
            QFile f(sources[1]);
            switch (c) {
            case Changement::Grandit:
                ASSERT_TRUE(f.open(QIODevice::Append));
                f.write("more");
                break;
            case Changement::Retrecit:
                ASSERT_TRUE(f.resize(5000));
                break;
            case Changement::Reecrit: {
                // Same size, other bytes, a later time.
                const QByteArray autre = aleatoire(f.size(), 99);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(autre);
                f.close();
                ASSERT_TRUE(f.open(QIODevice::ReadWrite));
                f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
                break;
            }
            }
        };
        try {
            cab.CreateCAB();
            ADD_FAILURE() << "built from a changing source";
        } catch (const ECABFileError &e) {
            EXPECT_EQ(e.code(), 2);
            EXPECT_EQ(e.message(), "Failure reading file to be stored in cabinet");
        }
        EXPECT_EQ(appels, 1);
        EXPECT_EQ(testenv::readFile(cab.CABFile), QByteArray("previous package"));
        EXPECT_EQ(arborescence(sortie), QStringList{"theme.tsk"});
        // A change is no system failure: no "Error" box.
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

// The codes still tell a source that cannot be read from a cabinet that
// cannot be written.
TEST(CabStream, SourceAndCabinetFailuresKeepTheirCodes)
{
    const QStringList sources = troisSources();
    TCABFile cab;
    for (const QString &s : sources)
        cab.CABFileContents().Add()->Name = s;

    // A folder given as a source.
    cab.CABFileContents().Add()->Name = testenv::programDir() + "/src";
    cab.CABFile = testenv::programDir() + "/out.cab";
    try {
        cab.CreateCAB();
        ADD_FAILURE();
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), 1);
    }
    EXPECT_FALSE(QFile::exists(cab.CABFile));

    // A cabinet in a folder that refuses new files.
    cab.CABFileContents().Clear();
    for (const QString &s : sources)
        cab.CABFileContents().Add()->Name = s;
    const QString ferme = testenv::programDir() + "/ferme";
    QDir().mkpath(ferme);
    testenv::DossierVerrouille verrou(ferme);
    if (!verrou.actif())
        GTEST_SKIP() << "no way to lock a folder here";
    cab.CABFile = ferme + "/out.cab";
    try {
        cab.CreateCAB();
        ADD_FAILURE();
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), 6);
        EXPECT_EQ(e.message(), "Could not create cabinet file");
    }
    verrou.libere();
    EXPECT_EQ(arborescence(ferme), QStringList{});
}

// Folders close at the first member past 900000 bytes; every header field is
// where the format puts it, and an independent reader checks every block.
TEST(CabStream, FoldersBlocksAndHeadersFollowTheFormat)
{
    const QString dir = testenv::programDir() + "/src";
    const std::vector<qsizetype> tailles = {500000, 500000, 40000, 0, 32768};
    std::vector<QByteArray> contenus;
    TCABFile cab;
    cab.CompressionType = typNone;
    for (size_t i = 0; i < tailles.size(); ++i) {
        contenus.push_back(aleatoire(tailles[i], quint32(i + 10)));
        const QString chemin = dir + QStringLiteral("/m%1.bin").arg(i);
        testenv::writeFile(chemin, contenus.back());
        cab.CABFileContents().Add()->Name = chemin;
    }
    cab.CABFile = testenv::programDir() + "/couches.cab";
    ASSERT_TRUE(cab.CreateCAB());
    const QByteArray b = testenv::readFile(cab.CABFile);

    ASSERT_EQ(b.left(4), QByteArray("MSCF"));
    EXPECT_EQ(u32(b, 8), quint32(b.size()));
    EXPECT_EQ(b[24], 3);
    EXPECT_EQ(b[25], 1);
    ASSERT_EQ(u16(b, 26), 2); // folders: {0, 1} then {2, 3, 4}
    ASSERT_EQ(u16(b, 28), 5);
    EXPECT_EQ(u16(b, 32), 12345);
    EXPECT_EQ(u32(b, 16), 36u + 2 * 8);
    // Each folder's blocks: 1000000 and 72768 bytes in 32 KiB blocks.
    const int blocs[2] = {31, 3};
    for (int d = 0; d < 2; ++d)
        EXPECT_EQ(u16(b, 36 + 8 * d + 4), blocs[d]);
    const quint16 dossierDe[5] = {0, 0, 1, 1, 1};
    const quint32 offsetDe[5] = {0, 500000, 0, 40000, 40000};
    qsizetype at = 36 + 16;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(u32(b, at), quint32(tailles[size_t(i)]));
        EXPECT_EQ(u32(b, at + 4), offsetDe[i]);
        EXPECT_EQ(u16(b, at + 8), dossierDe[i]);
        EXPECT_EQ(b.mid(at + 16, 6), QStringLiteral("m%1.bin").arg(i).toLatin1());
        at += 16 + 7;
    }
    // The blocks of each folder follow one another: full 32 KiB blocks, the
    // last one short, data stored as is.
    for (int d = 0; d < 2; ++d) {
        qsizetype p = u32(b, 36 + 8 * d);
        const QByteArray attendu = d == 0 ? contenus[0] + contenus[1] : contenus[2] + contenus[3] + contenus[4];
        QByteArray lu;
        for (int k = 0; k < blocs[d]; ++k) {
            const int n = u16(b, p + 4);
            EXPECT_EQ(u16(b, p + 6), n);
            EXPECT_EQ(n, k + 1 < blocs[d] ? 32768 : int(attendu.size() - 32768 * (blocs[d] - 1)));
            EXPECT_NE(u32(b, p), 0u); // checksummed
            lu += b.mid(p + 8, n);
            p += 8 + n;
        }
        EXPECT_EQ(lu, attendu);
    }

    // cabextract checks every block's checksum as it extracts.
    for (TCompressionType type : {typNone, typMSZIP}) {
        cab.CompressionType = type;
        ASSERT_TRUE(cab.CreateCAB());
        const QString eux = testenv::programDir() + QStringLiteral("/eux%1").arg(int(type));
        ASSERT_EQ(extraitCabextract(cab.CABFile, eux), 0);
        for (size_t i = 0; i < contenus.size(); ++i)
            EXPECT_EQ(testenv::readFile(eux + QStringLiteral("/m%1.bin").arg(i)), contenus[i]);
    }
}

// 2048 members, several folders, extracted beside files whose names differ
// only in case: those are replaced in place under their own names, the rest
// created under the stored names, every byte right. Two members whose names
// differ only in case land in one file, the later one winning.
TEST(CabStream, ManyMembersExtractWithTheirNamesBesideCaseVariants)
{
    constexpr int kMembres = 2048;
    const QString src = testenv::programDir() + "/src";
    TCABFile cab;
    cab.CompressionType = typMSZIP;
    std::vector<QByteArray> contenus;
    for (int i = 0; i < kMembres; ++i) {
        const QString nom = QStringLiteral("Img%1.Gif").arg(i, 4, 10, QLatin1Char('0'));
        contenus.push_back(aleatoire(1000 + (i % 7) * 700, quint32(i)));
        testenv::writeFile(src + "/" + nom, contenus.back());
        TCABFileEntry *e = cab.CABFileContents().Add();
        e->Name = src + "/" + nom;
        e->RelPath = i % 2 ? "Sous" : "SOUS\\Bas";
    }
    // A last member that matches an earlier one without regard to case.
    testenv::writeFile(src + "/dup/IMG0002.GIF", "the later one");
    TCABFileEntry *dup = cab.CABFileContents().Add();
    dup->Name = src + "/dup/IMG0002.GIF";
    dup->RelPath = "sous\\bas";
    cab.CABFile = testenv::programDir() + "/many.cab";
    ASSERT_TRUE(cab.CreateCAB());

    const QString cible = testenv::programDir() + "/cible";
    // Already there: "sous" and "sous/img0010.gif" in lower case, and an
    // unrelated file.
    testenv::writeFile(cible + "/sous/img0011.gif", "old");
    testenv::writeFile(cible + "/sous/unrelated.txt", "stay");

    TCABFile lu;
    lu.CABFile = cab.CABFile;
    ASSERT_TRUE(lu.ReadContents());
    ASSERT_EQ(lu.CABFileContents().Count(), kMembres + 1);
    for (int i = 0; i < lu.CABFileContents().Count(); ++i)
        lu.CABFileContents().GetItem(i)->Selected = true;
    lu.TargetPath = cible;
    QStringList remplaces;
    lu.OnOverWriteFile = [&](TCABFile *, const QString &f, bool &) { remplaces << QDir(cible).relativeFilePath(f); };
    ASSERT_TRUE(lu.ExtractSelected());

    EXPECT_EQ(remplaces, (QStringList{"sous/img0011.gif", "sous/Bas/Img0002.Gif"}));
    const QStringList fichiers = arborescence(cible);
    // Two folders, the unrelated file, and one file per member name.
    EXPECT_EQ(fichiers.size(), 2 + 1 + kMembres);
    EXPECT_TRUE(fichiers.contains("sous/unrelated.txt"));
    EXPECT_FALSE(fichiers.contains("sous/Img0011.Gif"));
    for (int i = 0; i < kMembres; ++i) {
        const QString nom = QStringLiteral("Img%1.Gif").arg(i, 4, 10, QLatin1Char('0'));
        QString chemin = (i % 2 ? "sous/" : "sous/Bas/") + nom;
        if (i == 11)
            chemin = "sous/img0011.gif";
        const QByteArray attendu = i == 2 ? QByteArray("the later one") : contenus[size_t(i)];
        ASSERT_EQ(testenv::readFile(cible + "/" + chemin), attendu) << chemin.toStdString();
    }
    EXPECT_EQ(testenv::readFile(cible + "/sous/unrelated.txt"), QByteArray("stay"));

    // The independent reader sees the same members.
    bool ok = false;
    EXPECT_EQ(listeCabextract(cab.CABFile, &ok).size(), size_t(kMembres + 1));
    EXPECT_TRUE(ok);
}

// A temporary left by a killed build is swept at the next build into its
// folder, and at the next extraction there; one still held by a live process
// stays, and a link that merely bears such a name is not followed.
TEST(CabStream, TemporariesOfKilledProcessesAreSwept)
{
    const QString dossier = testenv::programDir() + "/out";
    QDir().mkpath(dossier);

    auto tueUnConstructeur = [&]() {
        int tube[2];
        if (::pipe(tube) != 0)
            return QString();
        const pid_t pid = ::fork();
        if (pid == 0) {
            cabtemp::Temporaire t;
            QString erreur;
            if (t.cree(dossier, erreur)) {
                ::write(t.fd(), "partial", 7);
                const QByteArray nom = QFile::encodeName(t.chemin());
                ::write(tube[1], nom.constData(), size_t(nom.size()));
            }
            ::close(tube[1]);
            ::pause();
            ::_exit(0);
        }
        ::close(tube[1]);
        char nom[4096];
        const ssize_t n = ::read(tube[0], nom, sizeof nom);
        ::close(tube[0]);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return n > 0 ? QFile::decodeName(QByteArray(nom, int(n))) : QString();
    };

    const QString abandonne = tueUnConstructeur();
    ASSERT_FALSE(abandonne.isEmpty());
    ASSERT_TRUE(QFile::exists(abandonne));

    // Still being written: this process holds its lock.
    const QString vivant = dossier + "/.orvandel-cab-00000000000000aa.tmp";
    testenv::writeFile(vivant, "in progress");
    const int fd = ::open(QFile::encodeName(vivant).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    // A link with the name of a temporary, to a file elsewhere.
    testenv::writeFile(testenv::programDir() + "/precieux", "keep");
    const QString lien = dossier + "/.orvandel-cab-00000000000000bb.tmp";
    ASSERT_TRUE(QFile::link(testenv::programDir() + "/precieux", lien));

    const QStringList sources = troisSources();
    TCABFile cab;
    cab.CompressionType = typNone;
    for (const QString &s : sources)
        cab.CABFileContents().Add()->Name = s;
    cab.CABFile = dossier + "/theme.tsk";
    ASSERT_TRUE(cab.CreateCAB());

    EXPECT_FALSE(QFile::exists(abandonne));
    EXPECT_TRUE(QFile::exists(vivant));
    EXPECT_TRUE(QFileInfo(lien).isSymLink());
    EXPECT_EQ(testenv::readFile(testenv::programDir() + "/precieux"), QByteArray("keep"));
    EXPECT_EQ(arborescence(dossier),
              (QStringList{".orvandel-cab-00000000000000aa.tmp", ".orvandel-cab-00000000000000bb.tmp", "theme.tsk"}));

    // Once its holder lets go, the next build takes it too.
    ::close(fd);
    ASSERT_TRUE(cab.CreateCAB());
    EXPECT_FALSE(QFile::exists(vivant));

    // An extraction sweeps its target folder the same way.
    const QString cible = testenv::programDir() + "/cible";
    QDir().mkpath(cible);
    ASSERT_TRUE(QFile::rename(tueUnConstructeur(), cible + "/.orvandel-cab-00000000000000cc.tmp"));
    ASSERT_TRUE(QFile::exists(cible + "/.orvandel-cab-00000000000000cc.tmp"));
    cab.TargetPath = cible;
    ASSERT_TRUE(cab.ExtractFile("a.gif"));
    EXPECT_EQ(arborescence(cible), QStringList{"a.gif"});
}
