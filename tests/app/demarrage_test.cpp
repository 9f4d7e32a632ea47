#include "ui/dossiers_programme.h"
#include "ui/fonctions_indep.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

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

// Waits for a condition the other process brings about; fails after a minute.
bool attend(const std::function<bool()> &condition)
{
    QDeadlineTimer limite(60000);
    while (!condition()) {
        if (limite.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
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
    ASSERT_TRUE(attend([&] { return QFileInfo::exists(tmp + QStringLiteral("/Points.gif")); }))
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
    ASSERT_TRUE(attend([&] {
        return !QFileInfo::exists(tmp + QStringLiteral("/in-use.txt"))
               && QFileInfo::exists(tmp + QStringLiteral("/Points.gif"));
    })) << troisieme->readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp + QStringLiteral("/tempTsk")));
    EXPECT_EQ(troisieme->state(), QProcess::Running);
    troisieme->kill();
    troisieme->waitForFinished(60000);
}
