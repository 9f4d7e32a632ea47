#include "tests/support/test_env.h"

#include "resources/ressources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {
QString g_root;
}

namespace testenv {

QString rootDir() { return g_root; }
QString programDir() { return g_root + QStringLiteral("/prog"); }
QString tempDir() { return g_root + QStringLiteral("/tmp"); }
QString cheminTemp(const QString &nom) { return tempDir() + QLatin1Char('/') + nom; }

QString testDataDir()
{
    const QByteArray env = qgetenv("ORVANDEL_TEST_DATA");
    return QDir::cleanPath(QString::fromLocal8Bit(env.isEmpty() ? QByteArray(ORVANDEL_TEST_DATA_DEFAUT) : env));
}

QString buildDir()
{
    const QByteArray env = qgetenv("ORVANDEL_BUILD_DIR");
    return QString::fromLocal8Bit(env.isEmpty() ? QByteArray(ORVANDEL_BUILD_DIR_DEFAUT) : env);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace testenv

namespace {

std::string g_base; // the TMPDIR this process was started with

// Makes a fresh tree for one test case: program folder and TMPDIR. Returns
// false when the folders cannot be made.
bool nouvelArbre()
{
    std::string templ = g_base + "/orvandel-test-XXXXXX";
    if (!mkdtemp(templ.data()))
        return false;
    g_root = QString::fromStdString(templ);
    QDir().mkpath(testenv::programDir());
    QDir().mkpath(testenv::tempDir());
    setenv("TMPDIR", testenv::tempDir().toLocal8Bit().constData(), 1);
    return true;
}

void supprimeArbre()
{
    if (!g_root.isEmpty() && !qEnvironmentVariableIsSet("ORVANDEL_KEEP_TEST_DIR"))
        QDir(g_root).removeRecursively();
    g_root.clear();
}

// Every test case gets its own folders, whether ctest runs it alone or the
// whole binary runs in one process: nothing one case leaves behind can be
// found by the next.
class ArbreParCas : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo &) override
    {
        supprimeArbre();
        if (!nouvelArbre())
            ADD_FAILURE() << "cannot make the test folders under " << g_base;
    }
    void OnTestEnd(const ::testing::TestInfo &) override { supprimeArbre(); }
};

// Qt paints with a pool of worker threads that is taken down at the end of
// the process; a worker's own last clean-up runs after the pool has seen it
// finish. A leak check at exit that comes in between reports that worker's
// bookkeeping as lost. Registered before Qt starts, this runs after Qt's own
// clean-up and before the leak check: it lets the workers end (half a second
// at most).
void attendFinDesFils()
{
    namespace fs = std::filesystem;
    for (int essai = 0; essai < 50; ++essai) {
        std::error_code erreur;
        const auto fils = fs::directory_iterator("/proc/self/task", erreur);
        if (erreur || std::distance(fs::begin(fils), fs::end(fils)) <= 1)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::atexit(attendFinDesFils);
    ::testing::InitGoogleTest(&argc, argv);

    // A private tree made before Qt reads TMPDIR; each case then gets its own.
    g_base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    if (!nouvelArbre())
        return 3;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    initialiseRessources();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ArbreParCas);
    const int rc = RUN_ALL_TESTS();
    supprimeArbre();
    return rc;
}
