// The README's device session, run exactly as written by a new user: a fresh
// home folder, the commands of "Trying the device link" pasted into a shell
// in the repository folder, the program started among them.

#include "tests/support/devsim_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace devsimtest;

namespace {

// The source folder, as the build tree records it.
QString dossierSources()
{
    QFile cache(testenv::buildDir() + QStringLiteral("/CMakeCache.txt"));
    if (!cache.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression re(QStringLiteral("^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$"),
                                QRegularExpression::MultilineOption);
    return re.match(QString::fromUtf8(cache.readAll())).captured(1).trimmed();
}

// The command lines of a README section: its lines indented by four blanks.
QStringList commandesDeSection(const QString &readme, const QString &titre)
{
    QStringList lignes;
    bool dedans = false;
    for (const QString &l : readme.split(QLatin1Char('\n'))) {
        if (l.startsWith(QLatin1String("## ")))
            dedans = l == QStringLiteral("## ") + titre;
        else if (dedans && l.startsWith(QLatin1String("    ")) && !l.trimmed().isEmpty())
            lignes << l.mid(4);
    }
    return lignes;
}

} // namespace

TEST(ReadmeAppareil, LaSessionDuReadmeMarcheDepuisUnCompteNeuf)
{
    const QString sources = dossierSources();
    ASSERT_FALSE(sources.isEmpty());
    QFile readme(sources + QStringLiteral("/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QStringList commandes = commandesDeSection(QString::fromUtf8(readme.readAll()),
                                                     QStringLiteral("Trying the device link"));
    // The session creates, starts, plugs and shows the device.
    ASSERT_GE(commandes.size(), 3);
    EXPECT_EQ(commandes.first(), QStringLiteral("build/bin/ovd-devsim init"));
    EXPECT_TRUE(commandes.contains(QStringLiteral("build/bin/orvandel &")));
    EXPECT_TRUE(commandes.contains(QStringLiteral("build/bin/ovd-devsim plug")));

    // A repository folder whose build/ is this build tree, and a new account.
    const QString depot = testenv::tempDir() + QStringLiteral("/depot");
    const QString home = testenv::tempDir() + QStringLiteral("/home");
    ASSERT_TRUE(QDir().mkpath(depot) && QDir().mkpath(home));
    ASSERT_TRUE(QFile::link(testenv::buildDir(), depot + QStringLiteral("/build")));

    // The lines as written, one after the other; then, once the program
    // watches the device, the state it reports, and the program ended.
    const QString script = QStringLiteral("set -e\n") + commandes.join(QLatin1Char('\n'))
                           + QStringLiteral("\nfor i in $(seq 150); do\n"
                                            "  build/bin/ovd-devsim status | grep -q 'Watched by a program: yes' && break\n"
                                            "  sleep 0.1\n"
                                            "done\n"
                                            "echo '--- final state'\n"
                                            "build/bin/ovd-devsim status\n"
                                            "build/bin/ovd-devsim unplug\n"
                                            "kill $! 2>/dev/null || true\n"
                                            "wait || true\n");
    QProcess shell;
    shell.setWorkingDirectory(depot);
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("TMPDIR"), testenv::tempDir());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ORVANDEL_PROGRAM_DIR"), testenv::programDir());
    shell.setProcessEnvironment(env);
    shell.setProcessChannelMode(QProcess::MergedChannels);
    shell.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QString sortie = QString::fromUtf8(shell.readAll());
    ASSERT_EQ(shell.exitCode(), 0) << sortie.toStdString();

    const QString appareil = home + QStringLiteral("/.local/share/orvandel-devsim/device");
    EXPECT_TRUE(sortie.contains(QStringLiteral("Device created in ") + appareil)) << sortie.toStdString();
    const QString fin = sortie.mid(sortie.indexOf(QLatin1String("--- final state")));
    EXPECT_TRUE(fin.contains(QStringLiteral("State: plugged"))) << sortie.toStdString();
    EXPECT_TRUE(fin.contains(QStringLiteral("Watched by a program: yes"))) << sortie.toStdString();
    EXPECT_TRUE(fin.contains(QStringLiteral("(the running program was told)"))) << sortie.toStdString();
    // What the session set is on the device.
    EXPECT_TRUE(QFile::exists(appareil + QStringLiteral("/fs/Windows/Blue.tsk")));
    const QByteArray registre = testenv::readFile(appareil + QStringLiteral("/registry.reg"));
    EXPECT_TRUE(registre.contains("\"00001001\"=dword:00000001"));
}

TEST(ReadmeAppareil, LAideCiteChaqueCommande)
{
    QProcess p;
    p.start(cheminOutil(), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString aide = QString::fromUtf8(p.readAllStandardOutput());
    for (const char *commande : {"init", "plug", "unplug", "status", "policy", "set-dword", "event", "help"})
        EXPECT_TRUE(aide.contains(QRegularExpression(QStringLiteral("^  %1[ ,]").arg(QLatin1String(commande)),
                                                     QRegularExpression::MultilineOption)))
            << commande;
    // An unknown command shows the same text on the error output and fails.
    QProcess q;
    q.start(cheminOutil(), {QStringLiteral("frobnicate")});
    ASSERT_TRUE(q.waitForFinished(10000));
    EXPECT_EQ(q.exitCode(), 2);
    EXPECT_EQ(QString::fromUtf8(q.readAllStandardError()), aide);
}

TEST(ReadmeAppareil, ChaqueReglageDePanneEstDansLAideEtLeReadme)
{
    // Every [Device] and [Faults] setting the simulator reads from its
    // device.ini, taken from its own sources...
    const QString sources = dossierSources();
    ASSERT_FALSE(sources.isEmpty());
    QSet<QString> lus;
    const QRegularExpression lecture(QStringLiteral("nombre\\(\"(Device|Faults)\",\\s*\"(\\w+)\""));
    const QDir simulateur(sources + QStringLiteral("/device/simulator"));
    for (const QString &f : simulateur.entryList({QStringLiteral("*.cpp")}, QDir::Files)) {
        const QString texte = QString::fromUtf8(testenv::readFile(simulateur.filePath(f)));
        for (auto it = lecture.globalMatch(texte); it.hasNext();) {
            const auto m = it.next();
            lus << QStringLiteral("[%1] %2=").arg(m.captured(1), m.captured(2));
        }
    }
    EXPECT_TRUE(lus.contains(QStringLiteral("[Faults] UnplugAfterMoves=")));
    EXPECT_GE(lus.size(), 6);

    // ... is a line of the tool's help and a row of the README's table.
    QProcess p;
    p.start(cheminOutil(), {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QString aide = QString::fromUtf8(p.readAllStandardOutput());
    const QString readme = QString::fromUtf8(testenv::readFile(sources + QStringLiteral("/README.md")));
    const QString section = readme.section(QStringLiteral("## Simulating device faults"), 1).section(QStringLiteral("\n## "), 0, 0);
    ASSERT_FALSE(section.isEmpty());
    QSet<QString> dansLAide, dansLeReadme;
    const QRegularExpression ligneAide(QStringLiteral("^  (\\[\\w+\\] \\w+=)"), QRegularExpression::MultilineOption);
    for (auto it = ligneAide.globalMatch(aide); it.hasNext();)
        dansLAide << it.next().captured(1);
    const QRegularExpression ligneTable(QStringLiteral("^\\| `(\\[\\w+\\])` `(\\w+=)"), QRegularExpression::MultilineOption);
    for (auto it = ligneTable.globalMatch(section); it.hasNext();) {
        const auto m = it.next();
        dansLeReadme << m.captured(1) + QLatin1Char(' ') + m.captured(2);
    }
    EXPECT_EQ(dansLAide, lus) << aide.toStdString();
    EXPECT_EQ(dansLeReadme, lus) << section.toStdString();
}
