#include "app/memo_inf.h"
#include "tests/support/devsim_support.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/cabinet_paquet.h"
#include "theme/package_reader.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextCursor>

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

namespace {

// Where, in the box, the text after the last run of TABs (the first run
// when `premiere`) starts, in each line that `motif` matches.
QList<int> abscisses(QPlainTextEdit *texte, const QString &motif, bool premiere = false)
{
    const QRegularExpression re(motif);
    QList<int> x;
    const QStringList lignes = texte->toPlainText().split('\n');
    int debut = 0;
    for (const QString &l : lignes) {
        if (re.match(l).hasMatch() && l.contains('\t')) {
            int i = premiere ? int(l.indexOf('\t')) : int(l.lastIndexOf('\t'));
            while (i + 1 < l.size() && l[i + 1] == '\t')
                ++i;
            QTextCursor c(texte->document());
            c.setPosition(debut + i + 1);
            x << texte->cursorRect(c).left();
        }
        debut += int(l.size()) + 1;
    }
    return x;
}

} // namespace

TEST(TMemoInf, TheInformationColumnsLineUpWhateverTheValuesAndNames)
{
    // The simulated device's theme, through the reader and the window.
    ScriptedPrompts prompts;
    CabinetPaquet cabinet;
    AnimationPause pause;
    ThemeDocument doc;
    const QString d = testenv::programDir();
    QDir().mkpath(d + "/travail");
    const ContexteLecture ctx{d, d + "/c.inf", d + "/travail", prompts, cabinet, &pause, {}};
    const ResultatLecture lu = LitTsk(devsimtest::dossierBin() + "/devsim-packages/Windows/Blue.tsk", doc, ctx);
    ASSERT_TRUE(lu);
    TMemoInf w(prompts, d, [] { return QStringLiteral("Blue"); });
    w.afficher(*lu);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    // The 21 colour values and BaseHue: every type under the legend, whatever
    // the width of the value's digits.
    const QList<int> types = abscisses(w.MemoFic, QStringLiteral("^([0-9]+|BaseHue)\t.*\t\t"));
    ASSERT_EQ(types.size(), 22);
    const QList<int> legende = abscisses(w.MemoFic, QStringLiteral("REG_BINARY"), true);
    ASSERT_EQ(legende.size(), 1);
    for (int x : types)
        EXPECT_EQ(x, legende[0]);
    // The theme's own keys: values in one column, types in one column.
    const QString cles = QStringLiteral("^(Color_|UseDefaultTitleColor)");
    const QList<int> valeurs = abscisses(w.MemoFic, cles, true), typesCles = abscisses(w.MemoFic, cles);
    ASSERT_EQ(valeurs.size(), 3);
    ASSERT_EQ(typesCles.size(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(valeurs[i], valeurs[0]);
        EXPECT_EQ(typesCles[i], typesCles[0]);
    }
    // The page of the main window shows the same text.
    EXPECT_EQ(w.MemoFic->toPlainText(), TexteInfosEnColonnes(lu->texteFic));
}
