#include "ui/dossiers_programme.h"
#include "ui/fonctions_indep.h"
#include "tests/support/attente.h"
#include "tests/support/disque_plein.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"
#include "theme/journal_lecture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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
Demarrage demarreAvec(const QString &tmpdir, const QString &appli, ScriptedPrompts &prompts,
                      const QString &fichierCouleurs = {})
{
    QDir().mkpath(tmpdir);
    QDir().mkpath(appli);
    const QByteArray ancien = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmpdir));
    DossiersProgramme d;
    d.DossierAppli = appli + QLatin1Char('/');
    d.FichierCouleurs = fichierCouleurs;
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

namespace {

bool estFichierOrdinaire(const QString &chemin)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(chemin).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString dossierPrive(const QString &tmpdir)
{
    return tmpdir + QStringLiteral("/orvandel-%1").arg(getuid());
}

} // namespace

TEST(Demarrage, ALockNameThatIsAPipeIsReplacedWithoutEverBeingOpened)
{
    // Both guards: the program folder's and the work folder's. The pipes are
    // watched, so a start that opened one would be counted, not hang.
    const QString appli = testenv::programDir();
    const QString tmpdir = testenv::rootDir() + QStringLiteral("/tmpTube");
    const QString prive = dossierPrive(tmpdir);
    QDir().mkpath(prive);
    ::chmod(QFile::encodeName(prive).constData(), 0700);
    testenv::TubeSurveille tubeAppli(appli + QLatin1Char('/') + NomVerrouAppli);
    testenv::TubeSurveille tubePrive(prive + QStringLiteral("/orvandel.lock"));
    ASSERT_TRUE(tubeAppli.cree());
    ASSERT_TRUE(tubePrive.cree());

    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(tmpdir, appli, prompts);
    tubeAppli.arrete();
    tubePrive.arrete();
    EXPECT_EQ(tubeAppli.lecteurs(), 0);
    EXPECT_EQ(tubePrive.lecteurs(), 0);
    EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(r.verrouAppli);
    EXPECT_TRUE(r.verrou);
    EXPECT_TRUE(estFichierOrdinaire(appli + QLatin1Char('/') + NomVerrouAppli));
    EXPECT_TRUE(estFichierOrdinaire(prive + QStringLiteral("/orvandel.lock")));

    // The guards put in the pipes' place are real ones.
    ScriptedPrompts p2;
    EXPECT_EQ(demarreAvec(tmpdir, appli, p2).codeSortie, CodeSortieDejaLance);
    EXPECT_EQ(p2.messages, QStringList{MessageDejaLance()});
}

TEST(Demarrage, ALockNameThatIsALinkOrAFolderIsNoRunningInstance)
{
    const QString appli = testenv::programDir();
    const QString nom = appli + QLatin1Char('/') + NomVerrouAppli;
    const QString victime = testenv::rootDir() + QStringLiteral("/victime.txt");
    testenv::writeFile(victime, "precious");
    ASSERT_EQ(::symlink(QFile::encodeName(victime).constData(), QFile::encodeName(nom).constData()), 0);
    {
        ScriptedPrompts prompts;
        const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts);
        EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
        EXPECT_TRUE(r.verrouAppli);
        EXPECT_TRUE(estFichierOrdinaire(nom));
        EXPECT_EQ(testenv::readFile(victime), QByteArray("precious"));
    }
    // An instance that ends removes its lock.
    EXPECT_FALSE(QFileInfo::exists(nom));

    // A folder under the name is never removed: the start goes on without the
    // program folder's guard, and so leaves the working files' leftovers alone.
    testenv::writeFile(nom + QStringLiteral("/inside.txt"), "kept");
    testenv::writeFile(appli + QStringLiteral("/OptionsOVD.ini.AbqdEf"), "maybe being written");
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts);
    EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(r.verrouAppli);
    EXPECT_TRUE(r.verrou);
    EXPECT_EQ(testenv::readFile(nom + QStringLiteral("/inside.txt")), QByteArray("kept"));
    EXPECT_TRUE(QFileInfo::exists(appli + QStringLiteral("/OptionsOVD.ini.AbqdEf")));
}

TEST(Demarrage, AKilledRunsLockInAReadOnlyProgramFolderIsTakenOverAndStillGuards)
{
    const QString appli = testenv::programDir() + QStringLiteral("/lecture-seule");
    const QString nom = appli + QLatin1Char('/') + NomVerrouAppli;
    testenv::writeFile(nom, "4242\nOrvandel\n");
    testenv::DossierVerrouille verrou(appli);
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpA"), appli, prompts);
    EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(r.verrouAppli);

    // While it runs, a start with another TMPDIR on the same folder is refused.
    ScriptedPrompts p2;
    const Demarrage second = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpB"), appli, p2);
    verrou.libere();
    EXPECT_EQ(second.codeSortie, CodeSortieDejaLance);
    EXPECT_EQ(p2.messages, QStringList{MessageDejaLance()});
}

TEST(Demarrage, AFullTmpdirIsNoSecondInstance)
{
    testenv::DisquePlein plein(testenv::rootDir() + QStringLiteral("/plein"));
    if (!plein.pret())
        GTEST_SKIP() << "no way to fill a disk here";
    plein.remplit();
    const QString appli = testenv::programDir();
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(plein.dossier(), appli, prompts);
    EXPECT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(r.verrou);
    EXPECT_TRUE(r.verrouAppli);
    // The work folder is there; only the animation's picture found no room,
    // and the warning says where and why.
    const QString travail = dossierPrive(plein.dossier()) + QStringLiteral("/ThemeTmp");
    EXPECT_TRUE(QFileInfo(travail).isDir());
    EXPECT_FALSE(QFileInfo::exists(travail + QStringLiteral("/Points.gif")));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QDir::toNativeSeparators(travail + QStringLiteral("/Points.gif"))))
        << prompts.messages[0].toStdString();
    EXPECT_TRUE(prompts.messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << prompts.messages[0].toStdString();

    // The guard holds on the full disk: another program folder sharing the
    // work folder is refused.
    ScriptedPrompts p2;
    EXPECT_EQ(demarreAvec(plein.dossier(), testenv::rootDir() + QStringLiteral("/prog2"), p2).codeSortie,
              CodeSortieDejaLance);
}

TEST(Demarrage, WithoutAWorkFolderTheMessageNamesTheFolderAndTheReason)
{
    // TMPDIR itself refuses the private folder.
    {
        const QString tmpdir = testenv::rootDir() + QStringLiteral("/tmpFerme");
        QDir().mkpath(tmpdir);
        testenv::DossierVerrouille verrou(tmpdir);
        if (!verrou.actif())
            GTEST_SKIP() << "this file system cannot lock a folder";
        ScriptedPrompts prompts;
        const Demarrage r = demarreAvec(tmpdir, testenv::programDir(), prompts);
        verrou.libere();
        EXPECT_EQ(r.codeSortie, 1);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].contains(dossierPrive(tmpdir))) << prompts.messages[0].toStdString();
        EXPECT_FALSE(r.verrouAppli);
    }
    // The private folder is there but takes no work folder (and no lock).
    const QString tmpdir = testenv::rootDir() + QStringLiteral("/tmpPlein");
    const QString prive = dossierPrive(tmpdir);
    QDir().mkpath(prive);
    ::chmod(QFile::encodeName(prive).constData(), 0700);
    testenv::DossierVerrouille verrou(prive);
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(tmpdir, testenv::programDir(), prompts);
    const int attendu = ::geteuid() == 0 ? EPERM : EACCES;
    verrou.libere();
    EXPECT_EQ(r.codeSortie, 1);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("Cannot create the work folder %1: %2")
                                                .arg(prive + QStringLiteral("/ThemeTmp"),
                                                     QString::fromLocal8Bit(std::strerror(attendu)))});
}

TEST(Demarrage, TemporariesOfInterruptedWritesToTheWorkingFilesAreRemovedAtStart)
{
    const QString appli = testenv::programDir();
    // The very names the atomic write's save file gives its temporary files
    // (Qt's own generator, on the working file's name), left as a killed run
    // would leave them.
    QStringList reels;
    for (const char *travail : {"stwater.gif", "OptionsOVD.ini", "tdywater_320_240.gif", ".lecture.journal"}) {
        for (int i = 0; i < 4; ++i) {
            QTemporaryFile t(appli + QLatin1Char('/') + QLatin1String(travail) + QStringLiteral(".XXXXXX"));
            t.setAutoRemove(false);
            ASSERT_TRUE(t.open());
            t.write("half");
            reels << QFileInfo(t.fileName()).fileName();
        }
    }
    const QStringList restes{QStringLiteral("OptionsOVD.ini.AbqdEf"),      QStringLiteral("tdywater.gif.XyZqWa"),
                             QStringLiteral("orvandelCoul.inf.QwErTy"),    QStringLiteral("stwater_640_480.gif.aBcDeF"),
                             QStringLiteral("tdywater_garde2.gif.GhIjKl"), QStringLiteral(".stwater.gif.ancien.MnOpQr"),
                             QStringLiteral(".tdywater.gif.intention.StUvWx"), QStringLiteral(".lecture.journal.YzAbCd")};
    const QStringList gardes{QStringLiteral("tdywater.gif"),         QStringLiteral("OptionsOVD.ini"),
                             QStringLiteral("tdywater.gif.bak"),     QStringLiteral("tdywater.gif.Ab12C"),
                             QStringLiteral("tdywater.gif.Ab12Cde"), QStringLiteral("tdywater.gif.Ab-2Cd"),
                             QStringLiteral("notes.txt.AbCdEf"),     QStringLiteral("mytdywater.gif.AbCdEf"),
                             QStringLiteral("autreCoul.inf.AbCdEf"), QStringLiteral("tdywater_gardeX.gif.AbCdEf"),
                             QStringLiteral("Tdywater.gif.AbCdEf"),  QStringLiteral("stwater.gif.lecture.AbCdEf"),
                             QStringLiteral("tdywater.gif.a1B2c3"),  QStringLiteral("OptionsOVD.ini.202401"),
                             QStringLiteral(".tdywater.gif.intention")};
    for (const QString &n : restes + gardes)
        testenv::writeFile(appli + QLatin1Char('/') + n, n.toUtf8());
    // Names that match but hold no plain file: a link (its target outside),
    // a folder, a pipe. And a match in a subfolder.
    const QString victime = testenv::rootDir() + QStringLiteral("/victime.gif");
    testenv::writeFile(victime, "precious");
    const QString lien = appli + QStringLiteral("/stwater.gif.LiEnAb");
    ASSERT_EQ(::symlink(QFile::encodeName(victime).constData(), QFile::encodeName(lien).constData()), 0);
    testenv::writeFile(appli + QStringLiteral("/tdywater.gif.DoSsIe/inside.gif"), "kept");
    const QString tube = appli + QStringLiteral("/OptionsOVD.ini.TuBeAb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tube).constData(), 0600), 0);
    testenv::writeFile(appli + QStringLiteral("/sous/tdywater.gif.AbCdEf"), "kept");

    ScriptedPrompts prompts;
    const Demarrage r =
        demarreAvec(testenv::tempDir(), appli, prompts, appli + QStringLiteral("/orvandelCoul.inf"));
    ASSERT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    for (const QString &n : reels + restes)
        EXPECT_FALSE(QFileInfo::exists(appli + QLatin1Char('/') + n)) << n.toStdString();
    for (const QString &n : gardes)
        EXPECT_EQ(testenv::readFile(appli + QLatin1Char('/') + n), n.toUtf8()) << n.toStdString();
    EXPECT_TRUE(QFileInfo(lien).isSymLink());
    EXPECT_EQ(testenv::readFile(victime), QByteArray("precious"));
    EXPECT_EQ(testenv::readFile(appli + QStringLiteral("/tdywater.gif.DoSsIe/inside.gif")), QByteArray("kept"));
    struct stat st{};
    EXPECT_TRUE(::lstat(QFile::encodeName(tube).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(testenv::readFile(appli + QStringLiteral("/sous/tdywater.gif.AbCdEf")), QByteArray("kept"));
}

// A package read killed while it put its working files in place: the start
// puts the theme before it back from the read's journal, whatever stage each
// file had reached, and leaves nothing hidden behind.
TEST(Demarrage, AReadCutShortIsUndoneAtStart)
{
    const QString appli = testenv::programDir();
    const auto f = [&](const QString &nom) { return appli + QLatin1Char('/') + nom; };
    testenv::writeFile(f(QStringLiteral("tdywater.gif")), "new today");           // replaced
    testenv::writeFile(f(QStringLiteral(".tdywater.gif.ancien")), "old today");
    testenv::writeFile(f(QStringLiteral("stwater.gif")), "old start");            // kept, not yet replaced
    testenv::writeFile(f(QStringLiteral(".stwater.gif.ancien")), "old start");
    testenv::writeFile(f(QStringLiteral(".stwater.gif.lecture")), "new start");
    testenv::writeFile(f(QStringLiteral("tdywater_240_320.gif")), "new size");    // added where there was none
    testenv::writeFile(f(QStringLiteral(".tdywater_480_640.gif.ancien")), "old size"); // deleted
    testenv::writeFile(f(QStringLiteral("orvandelCoul.inf")), "new colours");
    testenv::writeFile(f(QStringLiteral(".orvandelCoul.inf.ancien")), "old colours");
    testenv::writeFile(f(QStringLiteral("stwater_240_320.gif")), "mine");         // not reached yet
    testenv::writeFile(f(QStringLiteral("notes.txt")), "mine");
    const auto journal = TexteJournalLecture({{QStringLiteral("tdywater.gif"), true},
                                              {QStringLiteral("stwater.gif"), true},
                                              {QStringLiteral("tdywater_240_320.gif"), false},
                                              {QStringLiteral("stwater_240_320.gif"), true},
                                              {QStringLiteral("orvandelCoul.inf"), true},
                                              {QStringLiteral("tdywater_480_640.gif"), true}},
                                             QStringLiteral("orvandelCoul.inf"));
    ASSERT_TRUE(journal);
    testenv::writeFile(f(NomJournalLecture()), *journal);

    ScriptedPrompts prompts;
    const Demarrage r = demarreAvec(testenv::tempDir(), appli, prompts, f(QStringLiteral("orvandelCoul.inf")));
    ASSERT_EQ(r.codeSortie, 0) << prompts.messages.join('|').toStdString();
    QStringList restent = QDir(appli).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    restent.removeAll(NomVerrouAppli);
    EXPECT_EQ(restent, (QStringList{QStringLiteral("notes.txt"), QStringLiteral("orvandelCoul.inf"),
                                    QStringLiteral("stwater.gif"), QStringLiteral("stwater_240_320.gif"),
                                    QStringLiteral("tdywater.gif"), QStringLiteral("tdywater_480_640.gif")}));
    EXPECT_EQ(testenv::readFile(f(QStringLiteral("tdywater.gif"))), "old today");
    EXPECT_EQ(testenv::readFile(f(QStringLiteral("stwater.gif"))), "old start");
    EXPECT_EQ(testenv::readFile(f(QStringLiteral("tdywater_480_640.gif"))), "old size");
    EXPECT_EQ(testenv::readFile(f(QStringLiteral("orvandelCoul.inf"))), "old colours");
    EXPECT_EQ(testenv::readFile(f(QStringLiteral("stwater_240_320.gif"))), "mine");
}

TEST(Demarrage, AStartRefusedByARunningInstanceLeavesItsTemporariesAlone)
{
    const QString appli = testenv::programDir();
    ScriptedPrompts p1;
    const Demarrage premier = demarreAvec(testenv::rootDir() + QStringLiteral("/tmpA"), appli, p1);
    ASSERT_TRUE(premier.verrouAppli);
    // The running instance is writing its options file.
    testenv::writeFile(appli + QStringLiteral("/OptionsOVD.ini.AbqdEf"), "being written");
    ScriptedPrompts p2;
    EXPECT_EQ(demarreAvec(testenv::rootDir() + QStringLiteral("/tmpB"), appli, p2).codeSortie, CodeSortieDejaLance);
    EXPECT_EQ(testenv::readFile(appli + QStringLiteral("/OptionsOVD.ini.AbqdEf")), QByteArray("being written"));
}

TEST(Demarrage, TheProgramTakesOverAKilledRunInAReadOnlyFolderAndRefusesASecondInstance)
{
    const QString appli = testenv::programDir();
    const QString tmp = themeTmp();
    // The program's own colour file name: its leftover goes at the start.
    testenv::writeFile(appli + QStringLiteral("/orvandelCoul.inf.QwErTy"), "half");
    auto premier = lance();
    ASSERT_TRUE(testenv::attendCondition([&] { return QFileInfo::exists(tmp + QStringLiteral("/Points.gif")); }, 60000))
        << premier->readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(appli + QStringLiteral("/orvandelCoul.inf.QwErTy")));
    premier->kill();
    ASSERT_TRUE(premier->waitForFinished(60000));
    ASSERT_TRUE(estFichierOrdinaire(appli + QLatin1Char('/') + NomVerrouAppli));

    // The killed run's lock stays in a folder that now refuses every change.
    testenv::DossierVerrouille verrou(appli);
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    QFile::remove(tmp + QStringLiteral("/Points.gif"));
    auto deuxieme = lance();
    testenv::attendCondition([&] {
        return QFileInfo::exists(tmp + QStringLiteral("/Points.gif")) || deuxieme->state() == QProcess::NotRunning;
    }, 60000);
    ASSERT_TRUE(QFileInfo::exists(tmp + QStringLiteral("/Points.gif"))) << deuxieme->readAllStandardError().toStdString();
    EXPECT_EQ(deuxieme->state(), QProcess::Running);

    auto troisieme = lance();
    ASSERT_TRUE(troisieme->waitForFinished(60000));
    EXPECT_EQ(troisieme->exitCode(), 999 & 0xFF);
    EXPECT_TRUE(troisieme->readAllStandardError().contains("Program already loaded."));
    EXPECT_EQ(deuxieme->state(), QProcess::Running);
    deuxieme->kill();
    deuxieme->waitForFinished(60000);
}
