#include "tests/support/test_env.h"

#include "resources/ressources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {
QString g_root;
}

namespace testenv {

QString rootDir() { return g_root; }
QString programDir() { return g_root + QStringLiteral("/prog"); }
QString tempDir() { return g_root + QStringLiteral("/tmp"); }

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

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    // A private tree for this process, made before Qt reads TMPDIR.
    std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    std::string templ = base + "/orvandel-test-XXXXXX";
    if (!mkdtemp(templ.data()))
        return 3;
    g_root = QString::fromStdString(templ);
    QDir().mkpath(testenv::programDir());
    QDir().mkpath(testenv::tempDir());
    setenv("TMPDIR", testenv::tempDir().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    initialiseRessources();
    const int rc = RUN_ALL_TESTS();
    if (!qEnvironmentVariableIsSet("ORVANDEL_KEEP_TEST_DIR"))
        QDir(g_root).removeRecursively();
    return rc;
}
