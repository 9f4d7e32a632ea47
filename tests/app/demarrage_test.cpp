#include "ui/dossiers_programme.h"
#include "ui/fonctions_indep.h"
#include "tests/support/attente.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray pointsGif()
{
    QFile f(QStringLiteral(":/art/points.gif"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString themeTmp()
{
    return DossierTemp().value_or(QString()) + QStringLiteral("ThemeTmp");
}

// The real program, with this test's folders and no modal dialog.
std::unique_ptr<QProcess> lance()
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), testenv::tempDir());
    env.insert(QStringLiteral("ORVANDEL_PROGRAM_DIR"), testenv::programDir());
    env.insert(QStringLiteral("ORVANDEL_BATCH"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p->setProcessEnvironment(env);
    p->setProgram(testenv::buildDir() + QStringLiteral("/bin/orvandel"));
    p->start();
    return p;
}

} // namespace

TEST(Demarrage, ALeftoverWorkFolderIsEmptiedAndMadeAgainWithPointsGif)
{
    const QString tmp = themeTmp();
    testenv::writeFile(tmp + QStringLiteral("/tempTsk/deep/old.gif"), "old");
    testenv::writeFile(tmp + QStringLiteral("/ro.txt"), "ro");
    chmod(QFile::encodeName(tmp + QStringLiteral("/ro.txt")).constData(), 0444);

    DossiersProgramme d;
    ScriptedPrompts prompts;
    const Demarrage r = InitialisationUnite(d, prompts);
    ASSERT_EQ(r.codeSortie, 0) << prompts.messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(r.verrou);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(d.DossierThemeTmp, tmp);
    EXPECT_EQ(d.DossierTravail, tmp + QLatin1Char('/'));
    EXPECT_EQ(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Points.gif")});
    EXPECT_EQ(testenv::readFile(tmp + QStringLiteral("/Points.gif")), pointsGif());
}

TEST(Demarrage, AWorkFolderThatIsALinkIsRemovedWithoutTouchingItsTarget)
{
    const QString cible = testenv::rootDir() + QStringLiteral("/victim");
    testenv::writeFile(cible + QStringLiteral("/precious.txt"), "p");
    const QString tmp = themeTmp();
    ASSERT_EQ(symlink(QFile::encodeName(cible).constData(), QFile::encodeName(tmp).constData()), 0);
    DossiersProgramme d;
    ScriptedPrompts prompts;
    ASSERT_EQ(InitialisationUnite(d, prompts).codeSortie, 0);
    EXPECT_FALSE(QFileInfo(tmp).isSymLink());
    EXPECT_TRUE(QFileInfo(tmp + QStringLiteral("/Points.gif")).isFile());
    EXPECT_TRUE(QFileInfo::exists(cible + QStringLiteral("/precious.txt")));
    EXPECT_FALSE(QFileInfo::exists(cible + QStringLiteral("/Points.gif")));
}

TEST(Demarrage, AWorkFolderThatCannotBeEmptiedEndsTheStartWithAnError)
{
    const QString tmp = themeTmp();
    testenv::writeFile(tmp + QStringLiteral("/locked/f.txt"), "x");
    testenv::DossierVerrouille verrou(tmp + QStringLiteral("/locked"));
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    DossiersProgramme d;
    ScriptedPrompts prompts;
    const Demarrage r = InitialisationUnite(d, prompts);
    verrou.libere();
    EXPECT_EQ(r.codeSortie, 1);
    EXPECT_EQ(prompts.messages, QStringList{MessageDossierTravailOccupe()});
    EXPECT_FALSE(r.verrou);
}

TEST(Demarrage, AProgramFileGivesItsColourFileInTheProgramFolder)
{
    EXPECT_EQ(FichierCouleursPour(QStringLiteral("/p/"), QStringLiteral("/opt/bin/X.exe")), QStringLiteral("/p/XCoul.inf"));
    EXPECT_EQ(FichierCouleursPour(QStringLiteral("/p"), QStringLiteral("/opt/bin/orvandel")),
              QStringLiteral("/p/orvandelCoul.inf"));
    EXPECT_EQ(FichierCouleursPour(QStringLiteral("/p/"), QStringLiteral("/a.b.exe")), QStringLiteral("/p/a.bCoul.inf"));
    qputenv(kVariableDossierProgramme, QFile::encodeName(testenv::programDir() + QStringLiteral("/sub")));
    EXPECT_EQ(DossierAppliPour(QStringLiteral("/usr/bin")), testenv::programDir() + QStringLiteral("/sub/"));
    EXPECT_TRUE(QFileInfo(testenv::programDir() + QStringLiteral("/sub")).isDir());
}

TEST(Demarrage, ASecondInstanceExitsWith999AndLeavesTheFirstOnesWorkFolder)
{
    const QString tmp = themeTmp();
    auto premier = lance();
    ASSERT_TRUE(premier->waitForStarted(60000));
    ASSERT_TRUE(testenv::attendCondition([&] { return QFileInfo::exists(tmp + QStringLiteral("/Points.gif")); }, 60000))
        << premier->readAllStandardError().toStdString();
    testenv::writeFile(tmp + QStringLiteral("/in-use.txt"), "mine");

    auto second = lance();
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 999 & 0xFF);
    EXPECT_TRUE(second->readAllStandardError().contains("Program already loaded."));
    EXPECT_EQ(testenv::readFile(tmp + QStringLiteral("/in-use.txt")), QByteArray("mine"));
    EXPECT_EQ(premier->state(), QProcess::Running);

    // A crash leaves its lock and work folder behind: the next start takes both over.
    premier->kill();
    ASSERT_TRUE(premier->waitForFinished(60000));
    testenv::writeFile(tmp + QStringLiteral("/tempTsk/old.gif"), "old");
    QFile::remove(tmp + QStringLiteral("/Points.gif"));
    auto troisieme = lance();
    ASSERT_TRUE(testenv::attendCondition([&] {
        return !QFileInfo::exists(tmp + QStringLiteral("/in-use.txt"))
               && QFileInfo::exists(tmp + QStringLiteral("/Points.gif"));
    }, 60000)) << troisieme->readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp + QStringLiteral("/tempTsk")));
    EXPECT_EQ(troisieme->state(), QProcess::Running);
    troisieme->kill();
    troisieme->waitForFinished(60000);
}

namespace {

// Start-up with this program folder and TMPDIR set to `tmpdir` (made when missing).
Demarrage demarreAvec(const QString &tmpdir, const QString &appli, ScriptedPrompts &prompts)
{
    QDir().mkpath(tmpdir);
    QDir().mkpath(appli);
    const QByteArray ancien = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmpdir));
    DossiersProgramme d;
    d.DossierAppli = appli + QLatin1Char('/');
    Demarrage r = InitialisationUnite(d, prompts);
    qputenv("TMPDIR", ancien);
    return r;
}

} // namespace

TEST(Demarrage, OneInstancePerProgramFolderWhateverItsTmpdir)
{
    const QString appli = testenv::programDir();
    ScriptedPrompts p1, p2, p3, p4;
    const Demarrage premier = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpA"), appli, p1);
    ASSERT_EQ(premier.codeSortie, 0) << p1.messages.join('|').toStdString();
    ASSERT_TRUE(premier.verrouAppli);

    // Another TMPDIR, the same program folder: refused before touching anything.
    const Demarrage second = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpB"), appli, p2);
    EXPECT_EQ(second.codeSortie, CodeSortieDejaLance);
    EXPECT_EQ(p2.messages, QStringList{MessageDejaLance()});
    EXPECT_FALSE(second.verrou);
    EXPECT_FALSE(QFileInfo::exists(testenv::rootDir() + QStringLiteral("/tmpB/orvandel-%1/ThemeTmp").arg(getuid())));

    // The same TMPDIR with another program folder: the work folder is shared, refused too.
    const Demarrage troisieme = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpA"),
                                            testenv::rootDir() + QStringLiteral("/prog2"), p3);
    EXPECT_EQ(troisieme.codeSortie, CodeSortieDejaLance);

    // Another TMPDIR and another program folder: nothing shared, it starts.
    const Demarrage quatrieme = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpB"),
                                            testenv::rootDir() + QStringLiteral("/prog2"), p4);
    EXPECT_EQ(quatrieme.codeSortie, 0) << p4.messages.join('|').toStdString();
}

TEST(Demarrage, ALockLeftByADeadProcessIsTakenOverInAnyFormat)
{
    const QString appli = testenv::programDir();
    const QString verrou = appli + QLatin1Char('/') + NomVerrouAppli;
    // An empty file (killed between creating and filling it), another
    // version's text, a bare process id: nobody holds any of them.
    for (const QByteArray &texte : {QByteArray(), QByteArray("locked by orvandel 0.9\n"), QByteArray("2147483000\n")}) {
        SCOPED_TRACE(texte.toStdString());
        testenv::writeFile(verrou, texte);
        ScriptedPrompts prompts;
        const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts);
        EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
        EXPECT_TRUE(r.verrouAppli);
    }
}

TEST(Demarrage, ALockHeldByALiveProcessIsNeverTakenOver)
{
    const QString appli = testenv::programDir();
    const QString verrou = appli + QLatin1Char('/') + NomVerrouAppli;
    // A live holder whose text this version cannot read: it holds the file.
    testenv::writeFile(verrou, "held by another version\n");
    const int fd = ::open(QFile::encodeName(verrou).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts);
    EXPECT_EQ(r.codeSortie, CodeSortieDejaLance);
    EXPECT_EQ(testenv::readFile(verrou), QByteArray("held by another version\n"));
    ::close(fd);

    // A lock of this version held in this process by another object.
    QFile::remove(verrou);
    QLockFile vivant(verrou);
    ASSERT_TRUE(vivant.tryLock(0));
    ScriptedPrompts p2;
    EXPECT_EQ(demarreAvec(testenv::tempDir(), appli, p2).codeSortie, CodeSortieDejaLance);
}

TEST(Demarrage, FilesLeftByAKilledPackageReadAreRemovedAtStart)
{
    const QString appli = testenv::programDir();
    testenv::writeFile(appli + QStringLiteral("/.stwater.gif.lecture"), QByteArray(4096, 'x'));
    testenv::writeFile(appli + QStringLiteral("/.orvandelCoul.inf.lecture"), "half");
    testenv::writeFile(appli + QStringLiteral("/.tdywater.gif.lecture.Ab12Cd"), "being written");
    testenv::writeFile(appli + QStringLiteral("/.tdywater.gif.ancien"), "old");
    testenv::writeFile(appli + QStringLiteral("/stwater.gif"), "GIF89a kept");
    testenv::writeFile(appli + QStringLiteral("/.config"), "kept");
    testenv::writeFile(appli + QStringLiteral("/notes.lecture"), "kept: not hidden");
    ScriptedPrompts prompts;
    ASSERT_EQ(demarreAvec(testenv::tempDir(), appli, prompts).codeSortie, 0);
    QStringList restes = QDir(appli).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    restes.removeAll(NomVerrouAppli);
    EXPECT_EQ(restes, (QStringList{QStringLiteral(".config"), QStringLiteral("notes.lecture"), QStringLiteral("stwater.gif")}));
}

TEST(Demarrage, AReadOnlyProgramFolderIsNoSecondInstance)
{
    const QString appli = testenv::programDir() + QStringLiteral("/lecture-seule");
    QDir().mkpath(appli);
    testenv::DossierVerrouille verrou(appli);
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts);
    verrou.libere();
    EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(r.verrou);
    EXPECT_FALSE(r.verrouAppli);
}
