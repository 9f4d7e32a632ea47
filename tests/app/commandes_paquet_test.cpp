#include "app/commandes_paquet.h"

#include "tests/support/banc_paquet.h"
#include "tests/support/fake_cabinets.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/setup_ce_builder.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/cp1252.h"
#include "theme/inf_builder.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using Banc = BancPaquet;

// A theme value whose text is not hexadecimal stops the build with the
// conversion error: no colour file, no member, no package, the user's package
// untouched. A value under an unlisted name is never written, so never checked.
TEST(GenereBtnClick, AThemeValueThatIsNotHexadecimalStopsTheBuild)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    b.doc.setNomTheme("Sky");
    testenv::writeFile(b.sauvegarde + "/Sky.tsk", "the user's package");
    for (const QString &mauvaise : {QStringLiteral("Color_MenuText\tnothex00\t\t1"),
                                    QStringLiteral("UseDefaultTitleColor\t\t\t65537"),
                                    QStringLiteral("Color_Highlight\t12 4\t\t65537")}) {
        SCOPED_TRACE(mauvaise.toStdString());
        b.prompts.messages.clear();
        b.doc.setClesTheme({"Color_Highlight\tFF804000\t\t1", mauvaise});
        ParametresWM5 p = b.doc.parametres();
        p.ClesThemeDefinies = true;
        b.doc.setParametres(p);
        b.prompts.answer(Prompts::Answer::Yes); // overwrite
        EXPECT_FALSE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
        const QString hex = mauvaise.section(QLatin1Char('\t'), 1, 1);
        EXPECT_EQ(b.prompts.messages, QStringList{QStringLiteral("'$%1' is not a valid integer value").arg(hex)});
        EXPECT_EQ(b.sauvegardesCouleurs, 0);
        EXPECT_EQ(b.cabinet.appels, 0);
        EXPECT_TRUE(b.travail().isEmpty());
        EXPECT_EQ(testenv::readFile(b.sauvegarde + "/Sky.tsk"), QByteArray("the user's package"));
        EXPECT_FALSE(b.pause.isPaused());
    }
    // The INF and XML save refuses it too, before any dialog.
    SauveInfBtnClick(b.doc, b.prompts, testenv::programDir(), &b.pause);
    EXPECT_TRUE(b.prompts.fileDialogs.isEmpty());
    EXPECT_EQ(b.prompts.messages.size(), 2);

    b.doc.setClesTheme({"Color_Highlight\tFF804000\t\t1", "Unlisted\tnothex\t\t1"});
    b.prompts.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde)) << b.prompts.messages.join('|').toStdString();
    EXPECT_TRUE(b.prompts.exhausted());
}

TEST(GenereBtnClick, NameOverwriteQuestionAndMove)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    EXPECT_FALSE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
    EXPECT_EQ(b.prompts.messages, QStringList{"Need a name for the Theme !"});

    b.prompts.messages.clear();
    b.doc.setNomTheme("Sky");
    b.doc.setNomInterne("Sky app");
    ASSERT_TRUE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
    EXPECT_TRUE(b.prompts.questions.isEmpty());
    EXPECT_EQ(testenv::readFile(b.sauvegarde + "/Sky.tsk"), QByteArray("Sky000~1.000\ntdywater.001\n0stwater.002"));
    EXPECT_FALSE(QFile::exists(b.ctx.dossierTravail + "/Sky.tsk"));

    // Answering No leaves the package as it was and builds nothing.
    testenv::writeFile(b.sauvegarde + "/Sky.tsk", "the user's package");
    b.prompts.answer(Prompts::Answer::No);
    EXPECT_FALSE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
    EXPECT_EQ(b.prompts.questions, QStringList{"Overwrite original (or existing) ?"});
    EXPECT_EQ(testenv::readFile(b.sauvegarde + "/Sky.tsk"), QByteArray("the user's package"));
    EXPECT_EQ(b.cabinet.appels, 1);

    // A failed build moves nothing, even with a package of an earlier build
    // in the work folder.
    b.prompts.answer(Prompts::Answer::Yes);
    b.cabinet.echec = QStringLiteral("Could not create cabinet file");
    testenv::writeFile(b.ctx.dossierTravail + "/Sky.tsk", "stale");
    EXPECT_FALSE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
    EXPECT_EQ(testenv::readFile(b.sauvegarde + "/Sky.tsk"), QByteArray("the user's package"));

    // Yes replaces it.
    b.prompts.answer(Prompts::Answer::Yes);
    b.cabinet.echec.clear();
    EXPECT_TRUE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde));
    EXPECT_TRUE(testenv::readFile(b.sauvegarde + "/Sky.tsk").startsWith("Sky000~1.000"));
    EXPECT_TRUE(b.prompts.exhausted());
    EXPECT_FALSE(b.pause.isPaused());
}

TEST(GenereBtnClick, AFailedMoveIsReported)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    b.doc.setNomTheme("Sky");
    EXPECT_FALSE(GenereBtnClick(b.doc, b.ctx, b.sauvegarde + "/missing/folder"));
    ASSERT_EQ(b.prompts.messages.size(), 1);
    EXPECT_TRUE(b.prompts.messages[0].startsWith("The package could not be saved as"))
        << b.prompts.messages[0].toStdString();
    EXPECT_FALSE(b.pause.isPaused());
}

TEST(SauveInfBtnClick, SavesBothFilesAndSkipsACancelledOne)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Thème"));
    doc.setInclus(0, true);
    AnimationPause pause;
    ScriptedPrompts prompts;
    const QString dir = testenv::tempDir();
    prompts.saveFileName(dir + "/out.inf");
    prompts.saveFileName(std::nullopt); // the XML dialog is cancelled
    SauveInfBtnClick(doc, prompts, testenv::programDir(), &pause);
    EXPECT_FALSE(pause.isPaused());
    ASSERT_EQ(prompts.fileDialogs.size(), 2);
    EXPECT_EQ(prompts.fileDialogs[0].fileName, QStringLiteral("Thème.inf"));
    EXPECT_EQ(prompts.fileDialogs[0].filter, QStringLiteral("Inf (*.inf)|*.inf"));
    EXPECT_EQ(prompts.fileDialogs[0].defaultSuffix, QStringLiteral("inf"));
    EXPECT_EQ(prompts.fileDialogs[0].initialDir, testenv::programDir());
    EXPECT_EQ(prompts.fileDialogs[1].fileName, QStringLiteral("Thème.xml"));
    EXPECT_EQ(prompts.fileDialogs[1].filter, QStringLiteral("Xml (*.xml)|*.xml"));

    // Empty internal name: the theme name is the application name. The file
    // is Windows-1252 with CR LF.
    QStringList inf;
    GenereInf(&inf, doc, QStringLiteral("Thème"), QStringLiteral("Thème"));
    EXPECT_EQ(testenv::readFile(dir + "/out.inf"), cp1252::encode(inf.join("\r\n") + "\r\n").value());
    EXPECT_TRUE(testenv::readFile(dir + "/out.inf").contains("AppName =\"Th\xe8me\"\r\n"));
    EXPECT_FALSE(QFile::exists(dir + "/out.xml"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST(SauveInfBtnClick, FailedWriteStopsBeforeTheSecondDialogAndNamesAreCheckedForWhatTheFilesCarry)
{
    ThemeDocument doc;
    doc.setNomTheme("Sky");
    ScriptedPrompts prompts;
    prompts.saveFileName(testenv::tempDir() + "/no/such/folder/x.inf");
    SauveInfBtnClick(doc, prompts, testenv::programDir());
    EXPECT_EQ(prompts.fileDialogs.size(), 1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Cannot write")) << prompts.messages[0].toStdString();

    // A theme name that names no file is only an application name here: the
    // files hold it, the dialog proposes no name that could leave the folder.
    for (const QString &nom : {QStringLiteral("../x"), QStringLiteral("a/b")}) {
        ScriptedPrompts p;
        doc.setNomTheme(nom);
        p.saveFileName(std::nullopt);
        p.saveFileName(std::nullopt);
        SauveInfBtnClick(doc, p, testenv::programDir());
        EXPECT_TRUE(p.messages.isEmpty()) << p.messages.join('|').toStdString();
        ASSERT_EQ(p.fileDialogs.size(), 2);
        EXPECT_TRUE(p.fileDialogs[0].fileName.isEmpty());
        EXPECT_TRUE(p.fileDialogs[1].fileName.isEmpty());
    }
    // No name at all: nothing to install under.
    ScriptedPrompts refused;
    doc.setNomTheme(QString());
    SauveInfBtnClick(doc, refused, testenv::programDir());
    EXPECT_TRUE(refused.fileDialogs.isEmpty());
    EXPECT_EQ(refused.messages, QStringList{"Need a name for the Theme !\nNo file is saved."});
    // An internal name longer than the CE setup file's field: the INF text and
    // the XML document have no such field, both are saved.
    ScriptedPrompts longs;
    doc.setNomTheme("Sky");
    doc.setNomInterne(QString(80, QLatin1Char('n')));
    longs.saveFileName(testenv::tempDir() + "/long.inf");
    longs.saveFileName(testenv::tempDir() + "/long.xml");
    SauveInfBtnClick(doc, longs, testenv::programDir());
    EXPECT_TRUE(longs.messages.isEmpty()) << longs.messages.join('|').toStdString();
    EXPECT_TRUE(testenv::readFile(testenv::tempDir() + "/long.inf").contains("AppName =\"" + QByteArray(80, 'n') + "\"\r\n"));
    EXPECT_TRUE(testenv::readFile(testenv::tempDir() + "/long.xml").contains("value=\"" + QByteArray(80, 'n') + "\""));
}
