#include "app/memo_inf.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/package_reader.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(TMemoInf, ShowsTheTextsAndSavesTheInfAsCrLfWindows1252)
{
    ScriptedPrompts prompts;
    TMemoInf w(prompts, testenv::programDir(), [] { return QStringLiteral("Mon Th\u00e8me"); });
    InfosLecture infos;
    infos.texteInf = {"[Version]", "Raccourci00 = 0, %CE11% ; R\u00e9pertoire (ID Dir 002) = \\Windows"};
    infos.texteFic = {"File(s) :", "", "001\ttdywater.001\ttdywater.gif"};
    infos.statut0 = "/x/Mon Th\u00e8me.tsk";
    w.afficher(infos);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.Memo1->toPlainText().split('\n'), infos.texteInf);
    EXPECT_TRUE(w.MemoFic->toPlainText().contains("tdywater.001"));

    const QString cible = testenv::programDir() + "/sortie.inf";
    prompts.saveFileName(cible);
    QTest::mouseClick(w.SauveInfBtn, Qt::LeftButton);
    ASSERT_EQ(prompts.fileDialogs.size(), 1);
    EXPECT_EQ(prompts.fileDialogs[0].fileName, "Mon Th\u00e8me(Orig).inf");
    EXPECT_EQ(prompts.fileDialogs[0].initialDir, testenv::programDir());
    EXPECT_EQ(testenv::readFile(cible),
              QByteArray("[Version]\r\nRaccourci00 = 0, %CE11% ; R\xE9pertoire (ID Dir 002) = \\Windows\r\n"));

    // Cancelling writes nothing; Escape closes the window.
    prompts.saveFileName(std::nullopt);
    QTest::mouseClick(w.SauveInfBtn, Qt::LeftButton);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompts.exhausted());
}

TEST(TMemoInf, TextWindows1252CannotHoldIsRefusedAndNothingIsWritten)
{
    ScriptedPrompts prompts;
    TMemoInf w(prompts, testenv::programDir(), [] { return QStringLiteral("T"); });
    InfosLecture infos;
    infos.texteInf = {"[Version]", "AppName = \u30c6\u30fc\u30de"};
    w.afficher(infos);
    const QString cible = testenv::programDir() + "/sortie.inf";
    testenv::writeFile(cible, "old");
    prompts.saveFileName(cible);
    QTest::mouseClick(w.SauveInfBtn, Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("Windows-1252"));
    EXPECT_EQ(testenv::readFile(cible), QByteArray("old"));
}
