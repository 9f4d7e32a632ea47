// What the title bars get on X11: each window's own caption, with nothing
// appended. The first case runs this binary again under Xvfb on the xcb
// platform; there the second case reads the window names from the X server.

#include "app/identite_application.h"
#include "app/qt_prompts.h"
#include "tests/support/attente.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include <functional>

#include <gtest/gtest.h>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

constexpr const char *kEnfant = "ORVANDEL_TITRES_X11";

// The names of the windows on the X server, as a window manager reads them.
QStringList nomsFenetresX()
{
    QProcess p;
    p.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!p.waitForFinished(10000))
        return {};
    static const QRegularExpression ligne(QStringLiteral("^\\s*0x[0-9a-f]+ \"(.*)\": \\("),
                                          QRegularExpression::MultilineOption);
    QStringList noms;
    for (auto it = ligne.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();)
        noms << it.next().captured(1);
    return noms;
}

// Waits until a window of exactly that name is on the server.
::testing::AssertionResult titreMontre(const QString &titre)
{
    QStringList noms;
    if (testenv::attendCondition([&] { return (noms = nomsFenetresX()).contains(titre); }, 10000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no window named \"" << titre.toStdString() << "\" among: "
                                         << noms.join(QStringLiteral(" | ")).toStdString();
}

void fermeModale(QWidget *fenetre)
{
    if (auto *d = qobject_cast<QDialog *>(fenetre))
        d->reject();
    else
        fenetre->close();
}

} // namespace

TEST(TitresBarre, SousX11LaBarreMontreLaLegendeSeule)
{
    if (qEnvironmentVariableIsSet(kEnfant))
        GTEST_SKIP() << "the run under Xvfb itself";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "needs xvfb-run and xwininfo";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QLatin1String(kEnfant), QStringLiteral("1"));
    // Under the sanitizers, the X11 platform's own libraries are not ours to
    // check: libxkbcommon-x11 reads its keymap names with strndup past their
    // end, and libdbus keeps a buffer to the end of the process.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("intercept_strndup=0"));
    const QString suppressions = QDir::temp().filePath(QStringLiteral("lsan-x11.supp"));
    testenv::writeFile(suppressions, "leak:libdbus-1.so\n");
    const QString lsan = env.value(QStringLiteral("LSAN_OPTIONS"));
    env.insert(QStringLiteral("LSAN_OPTIONS"), (lsan.isEmpty() ? QString() : lsan + QLatin1Char(':'))
                                                   + QStringLiteral("suppressions=") + suppressions);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                   QCoreApplication::applicationFilePath(), QStringLiteral("--gtest_filter=TitresBarre.SurXvfb*")});
    ASSERT_TRUE(p.waitForFinished(240000));
    const QByteArray sortie = p.readAll();
    EXPECT_EQ(p.exitCode(), 0) << sortie.toStdString();
    // The case really ran there rather than skipping.
    EXPECT_TRUE(sortie.contains("[  PASSED  ] 1 test")) << sortie.toStdString();
    EXPECT_FALSE(sortie.contains("SKIPPED")) << sortie.toStdString();
}

TEST(TitresBarre, SurXvfbChaqueFenetre)
{
    if (!qEnvironmentVariableIsSet(kEnfant))
        GTEST_SKIP() << "run under Xvfb by SousX11LaBarreMontreLaLegendeSeule";
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    IdentiteApplication(); // as the program entry does

    Fenetre f;
    // A Today picture for the thumbnail's full-size preview.
    QImage image(60, 80, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 30));
    ASSERT_TRUE(image.save(f.dossiers.DossierAppli + QStringLiteral("tdywater.gif"), "PNG"));
    TOrvandel &w = f.ouvre();
    EXPECT_TRUE(titreMontre(QStringLiteral("Orvandel (Options WM5)")));

    // Each modal window as `ouvre` shows it, named as its caption.
    const auto montre = [](const QString &titre, const std::function<void()> &ouvre) {
        bool vu = false;
        surFenetreModale([&](QWidget *d) {
            vu = true;
            EXPECT_TRUE(titreMontre(titre));
            fermeModale(d);
        });
        ouvre();
        EXPECT_TRUE(vu) << titre.toStdString();
    };
    montre(QStringLiteral("Size Images Options"), [&] { f.trouve<QPushButton>("OptionsBtn")->click(); });
    w.TempsLibre();
    auto *minTD = f.trouve<QLabel>("MinTD");
    ASSERT_TRUE(minTD && minTD->isVisible());
    montre(QStringLiteral("Preview"), [&] { QTest::mouseClick(minTD, Qt::LeftButton); });
    // The program's own message boxes and folder browser.
    QtPrompts prompts;
    prompts.setParent(&w);
    montre(QStringLiteral("Orvandel ActiveSync"), [&] {
        prompts.message(QStringLiteral("Disconnected"), QStringLiteral("Orvandel ActiveSync"), Prompts::Icon::Warning);
    });
    montre(QStringLiteral("Choose Dir for Theme"),
           [&] { prompts.chooseFolder(QStringLiteral("Validate Save Dir for \"TODAY\":"), testenv::tempDir()); });

    for (const QString &nom : nomsFenetresX())
        EXPECT_FALSE(nom.contains(QStringLiteral(" \u2014 "))) << nom.toStdString();
    f.ferme();
}
