// The connection events' channel between the ovd-devsim tool and a program:
// found whatever the order of starting and however the folder is written,
// and reachable by this user only.

#include "device/dcc_man.h"
#include "device/fonctions_rapi_registre.h"
#include "device/lien_rapi.h"
#include "tests/support/devsim_support.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace devsimtest;

namespace {

QByteArray outil(const QStringList &args, int *code = nullptr, bool sansRuntime = false)
{
    QProcess p;
    if (sansRuntime) { // as from another login, without the runtime folder
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        p.setProcessEnvironment(env);
    }
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(cheminOutil(), args);
    if (!p.waitForFinished(10000))
        ADD_FAILURE() << "ovd-devsim did not end";
    if (code)
        *code = p.exitCode();
    return p.readAll();
}

bool attendsCode(QSignalSpy &spy, TDccMan &w, int code)
{
    for (int essais = 0; essais < 20; ++essais) {
        if (w.Status() == code)
            return true;
        if (!spy.wait(5000))
            return false;
    }
    return w.Status() == code;
}

// The socket files of device channels in a folder.
QStringList canaux(const QString &dossier)
{
    QStringList l;
    for (const QFileInfo &f : QDir(dossier).entryInfoList({"orvandel-devsim-*"}, QDir::System | QDir::Files)) {
        struct stat st {};
        if (::lstat(QFile::encodeName(f.filePath()).constData(), &st) == 0 && S_ISSOCK(st.st_mode))
            l << f.fileName();
    }
    return l;
}

} // namespace

TEST(CanalEvenements, ProgrammeAvantInitEtDossierEcritAutrementVoitBrancherEtDebrancher)
{
    // A private runtime folder of the test's own; the tool inherits it.
    const QString run = testenv::tempDir() + QStringLiteral("/run");
    ASSERT_TRUE(QDir().mkpath(run));
    ASSERT_EQ(::chmod(QFile::encodeName(run).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));

    // The program starts first, given the device folder with a trailing
    // slash and a "." in it; the folder and its parents do not exist yet.
    const QString dir = testenv::tempDir() + QStringLiteral("/pas/encore/appareil");
    Controle c;
    ASSERT_TRUE(c.charge);
    ASSERT_EQ(c.OvdSimAttach(QFile::encodeName(testenv::tempDir() + QStringLiteral("/pas/./encore/appareil/"))), 0);
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    ASSERT_TRUE(w.managerCree());
    QSignalSpy spy(&w, &TDccMan::OnChange);
    w.Advise();
    ASSERT_TRUE(attendsCode(spy, w, 6)); // listening: no device yet

    // The channel is a socket file in the private folder, nothing else.
    EXPECT_EQ(canaux(run).size(), 1);

    int code = -1;
    outil({QStringLiteral("init"), dir}, &code);
    ASSERT_EQ(code, 0);
    const QByteArray etat = outil({QStringLiteral("status"), dir + QStringLiteral("//")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(etat.contains("Watched by a program: yes")) << etat.toStdString();

    // A tool run without the runtime folder finds the program all the same.
    EXPECT_TRUE(outil({QStringLiteral("status"), dir}, &code, true).contains("Watched by a program: yes"));
    const QByteArray branche =
        outil({QStringLiteral("plug"), dir, QStringLiteral("--ip"), QStringLiteral("10.1.2.3")}, &code, true);
    EXPECT_TRUE(branche.contains("the running program was told")) << branche.toStdString();
    ASSERT_TRUE(attendsCode(spy, w, 1));
    EXPECT_EQ(w.StatusText(), QStringLiteral("IP Adress : 10.1.2.3"));
    // The program connects and reads the new device's current theme.
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_EQ(LitSkinToday(lien), QStringLiteral("\\Windows\\Blue.tsk"));

    outil({QStringLiteral("unplug"), dir + QLatin1Char('/')}, &code);
    EXPECT_EQ(code, 0);
    ASSERT_TRUE(attendsCode(spy, w, 6));
    EXPECT_TRUE(LitSkinToday(lien).isEmpty()); // calls fail once the device is gone
    lien.DeconnecteCE();
}

TEST(CanalEvenements, UnDossierDExecutionPartageNEstPasUtilise)
{
    // A runtime folder others can enter is not used: the channel goes to the
    // private fallback, where the tool finds it all the same.
    const QString run = testenv::tempDir() + QStringLiteral("/partage");
    ASSERT_TRUE(QDir().mkpath(run));
    ASSERT_EQ(::chmod(QFile::encodeName(run).constData(), 0777), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));

    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    {
        TDccMan w(lien);
        ASSERT_TRUE(w.managerCree());
        EXPECT_TRUE(canaux(run).isEmpty());
        const QString repli = QStringLiteral("/tmp/orvandel-devsim-%1").arg(::getuid());
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(repli).constData(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_uid, ::getuid());
        EXPECT_EQ(st.st_mode & 077, 0u);
        int code = -1;
        EXPECT_TRUE(outil({QStringLiteral("status"), QString::fromLocal8Bit(dir)}, &code)
                        .contains("Watched by a program: yes"));
        // A second watcher of the same device is refused while the first lives.
        TDccMan second(lien);
        EXPECT_FALSE(second.managerCree());
    }
    // Once released, the device is watched by nobody, and can be again.
    int code = -1;
    EXPECT_TRUE(outil({QStringLiteral("status"), QString::fromLocal8Bit(dir)}, &code)
                    .contains("Watched by a program: no"));
    TDccMan encore(lien);
    EXPECT_TRUE(encore.managerCree());
}
