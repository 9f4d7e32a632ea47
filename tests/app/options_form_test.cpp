#include "app/changement_format.h"
#include "app/options_form.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/theme_document.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Tailles8 = std::array<int, 8>;

std::array<int, 4> quatre(const ThemeDocument &doc)
{
    const auto &t = doc.format().TailleImages;
    return {t[0], t[1], t[2], t[3]};
}

void clique(TOptionsForm &f, int format)
{
    QAbstractButton *b = f.FormatImgRG->button(format);
    ASSERT_TRUE(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
}

void tape(QSpinBox *s, int v)
{
    s->setFocus();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(s, QString::number(v));
}

bool spinsActifs(const TOptionsForm &f)
{
    return f.LTDse->isEnabled() && f.HTDse->isEnabled() && f.LSTse->isEnabled() && f.HSTse->isEnabled();
}

bool spinsInactifs(const TOptionsForm &f)
{
    return !f.LTDse->isEnabled() && !f.HTDse->isEnabled() && !f.LSTse->isEnabled() && !f.HSTse->isEnabled();
}

} // namespace

TEST(OptionsForm, TextsAndTheNineFormats)
{
    ThemeDocument doc;
    TOptionsForm f(doc);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Size Images Options"));
    const QStringList attendus{
        "Tessary Like (TD 240x287,  ST 152x287)", "Standard (TD 240x293, ST 239x292)",
        "QVGA (TD 320x293, ST 319x292)",          "VGA (TD 640x588, ST 399x586)",
        "QVGA P + L (240x294, 320x214)",          "VGA P + L (480x588, 640x428)",
        "Customized",                             "240 x 240 (TD, ST : 240x214)",
        "480 x 480 (TD, ST : 480x428)"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(f.FormatImgRG->button(i)->text(), attendus[i]) << i;
    EXPECT_EQ(f.Label1->text(), QStringLiteral("\"TODAY\" Width"));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("\"TODAY\" Height"));
    EXPECT_EQ(f.Label3->text(), QStringLiteral("\"Start\" Width"));
    EXPECT_EQ(f.Label4->text(), QStringLiteral("\"Start\" Height"));
    EXPECT_EQ(f.Label6->text(), QStringLiteral("(Including 19 pixels more than visualisation)"));
    EXPECT_EQ(f.AlerteLbl->text(), QStringLiteral("Beware of this. The program may don't play well if you change this"));
    EXPECT_EQ(f.ValiderBtn->text(), QStringLiteral("Validate"));
    EXPECT_EQ(f.AnnulerBtn->text(), QStringLiteral("Cancel"));
    for (QSpinBox *s : {f.LTDse, f.HTDse, f.LSTse, f.HSTse}) {
        EXPECT_EQ(s->minimum(), 5);
        EXPECT_EQ(s->maximum(), 999);
    }
    EXPECT_EQ(f.itemIndex(), 3);
}

TEST(OptionsForm, CustomizedSizesAreValidatedIntoTheDocument)
{
    ThemeDocument doc;
    TOptionsForm f(doc);
    f.show();
    const auto avant = quatre(doc);
    // Spin edits enabled and warning shown for "Customized" only.
    EXPECT_TRUE(spinsInactifs(f));
    EXPECT_FALSE(f.AlerteLbl->isVisible());
    EXPECT_EQ(f.LTDse->value(), 640);
    clique(f, 6);
    EXPECT_TRUE(spinsActifs(f));
    EXPECT_TRUE(f.AlerteLbl->isVisible());
    clique(f, 7);
    EXPECT_TRUE(spinsInactifs(f));
    EXPECT_FALSE(f.AlerteLbl->isVisible());
    clique(f, 6);

    tape(f.LTDse, 300);
    tape(f.HTDse, 400);
    tape(f.LSTse, 200);
    tape(f.HSTse, 400);
    QTest::mouseClick(f.ValiderBtn, Qt::LeftButton);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(f.indexSauve(), 6);
    EXPECT_EQ(doc.format().TailleImages, (Tailles8{300, 400, 200, 400, 300, 381, 640, 376}));
    EXPECT_EQ(doc.format().TaillesPerso, (std::array<int, 4>{300, 400, 200, 400}));
    EXPECT_EQ(doc.format().FormatTheme, 3); // until the command applies the outcome

    EXPECT_TRUE(ChangementFormat(doc, testenv::programDir(), avant, f.indexSauve()));
    EXPECT_EQ(doc.format().FormatTheme, 6);
    EXPECT_EQ(doc.format().TailleImages, (Tailles8{300, 400, 200, 400, 300, 381, 640, 376}));

    // Reopened, it shows the custom sizes in its enabled spin edits.
    f.show();
    EXPECT_EQ(f.itemIndex(), 6);
    EXPECT_TRUE(spinsActifs(f));
    EXPECT_EQ(f.HTDse->value(), 400);
}

TEST(OptionsForm, CancelCloseAndEscapeRestoreEverythingTheClicksChanged)
{
    for (int voie = 0; voie < 3; ++voie) {
        SCOPED_TRACE(voie);
        ThemeDocument doc;
        FormatImages depart = doc.format();
        depart.TaillesPerso = {111, 222, 33, 44};
        doc.setFormat(depart);
        depart = doc.format();
        TOptionsForm f(doc);
        f.show();
        QSignalSpy change(&doc, &ThemeDocument::formatChanged);
        clique(f, 0);
        // The main window's sizes follow each click at once.
        EXPECT_EQ(doc.format().TailleImages, (Tailles8{240, 287, 152, 287, 240, 268, 240, 268}));
        clique(f, 6);
        tape(f.LTDse, 320);
        clique(f, 2);
        clique(f, 6); // stores the spin values in TaillesPerso
        EXPECT_EQ(doc.format().TaillesPerso[0], 320);
        clique(f, 5);
        clique(f, 7); // a screen area unlike format 3's
        EXPECT_EQ(doc.format().TailleImages[4], 240);
        EXPECT_GE(change.size(), 5);

        if (voie == 0)
            QTest::mouseClick(f.AnnulerBtn, Qt::LeftButton);
        else if (voie == 1)
            f.close();
        else
            QTest::keyClick(&f, Qt::Key_Escape);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.result(), QDialog::Rejected);
        EXPECT_EQ(f.itemIndex(), 3);
        EXPECT_EQ(f.indexSauve(), 3);
        EXPECT_EQ(doc.format().TailleImages, depart.TailleImages);
        EXPECT_EQ(doc.format().TaillesPerso, depart.TaillesPerso);
        EXPECT_EQ(doc.format().FormatTheme, 3);
        EXPECT_FALSE(ChangementFormat(doc, testenv::programDir(), quatre(doc), f.indexSauve()));

        // The next showing starts again from the document.
        f.show();
        EXPECT_EQ(f.itemIndex(), 3);
        EXPECT_EQ(f.LTDse->value(), 640);
        f.reject();
    }
}

TEST(OptionsForm, ReopeningWithoutChangeTouchesNothing)
{
    ThemeDocument doc;
    doc.setFormatTheme(4);
    const QString dir = testenv::programDir();
    testenv::writeFile(dir + "/tdywater.gif", "plain");
    testenv::writeFile(dir + "/tdywater_240_320.gif", "portrait");
    TOptionsForm f(doc);
    for (int i = 0; i < 2; ++i) {
        const auto avant = quatre(doc);
        f.show();
        EXPECT_EQ(f.itemIndex(), 4);
        QTest::mouseClick(i == 0 ? f.ValiderBtn : f.AnnulerBtn, Qt::LeftButton);
        EXPECT_FALSE(ChangementFormat(doc, dir, avant, f.indexSauve()));
    }
    EXPECT_EQ(testenv::readFile(dir + "/tdywater.gif"), QByteArray("plain"));
}

TEST(OptionsForm, PackageReaderChoosesTheFormat)
{
    ThemeDocument doc;
    TOptionsForm f(doc);
    f.choisitFormat(2);
    EXPECT_EQ(doc.format().FormatTheme, 2);
    EXPECT_EQ(doc.format().TailleImages, (Tailles8{320, 293, 319, 292, 240, 268, 320, 188}));
    EXPECT_EQ(f.itemIndex(), 2);
    f.choisitFormat(9);
    EXPECT_EQ(doc.format().FormatTheme, 2);
    f.show();
    EXPECT_EQ(f.indexSauve(), 2);
    EXPECT_EQ(f.LSTse->value(), 319);
}

// --- What the options command does with the outcome ---------------------

class ChangementFormatTest : public ::testing::Test
{
protected:
    QString dir = testenv::programDir();
    ThemeDocument doc;
    ScriptedPrompts prompts;

    void ecrit(const char *nom, const QByteArray &octets) { testenv::writeFile(dir + "/" + nom, octets); }
    QByteArray lit(const char *nom) { return testenv::readFile(dir + "/" + nom); }
    bool existe(const char *nom) { return QFileInfo::exists(dir + "/" + nom); }
    QStringList fichiers() { return QDir(dir).entryList(QDir::Files, QDir::Name); }

    // Validates the window on `format` as a user would.
    bool choisit(int format)
    {
        TOptionsForm f(doc);
        const auto avant = quatre(doc);
        f.show();
        clique(f, format);
        QTest::mouseClick(f.ValiderBtn, Qt::LeftButton);
        return ChangementFormat(doc, dir, avant, f.indexSauve(), &prompts);
    }
};

TEST_F(ChangementFormatTest, ToFormat4CopiesThePortraitPairOrDeletes)
{
    ecrit("tdywater.gif", "old today");
    ecrit("stwater.gif", "old start");
    ecrit("stwater_240_320.gif", "start portrait");
    ecrit("stwater_480_640.gif", "start vga");
    EXPECT_TRUE(choisit(4));
    EXPECT_EQ(doc.format().FormatTheme, 4);
    EXPECT_EQ(doc.format().TailleImages, (Tailles8{240, 294, 240, 294, 240, 268, 320, 188}));
    EXPECT_FALSE(existe("tdywater.gif")); // tdywater_240_320.gif was missing
    EXPECT_EQ(lit("stwater.gif"), QByteArray("start portrait"));
    EXPECT_EQ(lit("stwater_240_320.gif"), QByteArray("start portrait"));
    // The user's pictures are kept aside, not lost.
    EXPECT_EQ(lit("tdywater_garde.gif"), QByteArray("old today"));
    EXPECT_EQ(lit("stwater_garde.gif"), QByteArray("old start"));
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Moving back to one picture per screen brings them back.
    EXPECT_TRUE(choisit(3));
    EXPECT_EQ(doc.format().FormatTheme, 3);
    EXPECT_EQ(lit("tdywater.gif"), QByteArray("old today"));
    EXPECT_EQ(lit("stwater.gif"), QByteArray("old start"));
    EXPECT_FALSE(existe("tdywater_garde.gif"));
    EXPECT_FALSE(existe("stwater_garde.gif"));

    // Format 5 takes the _480_640 pair.
    ecrit("tdywater_480_640.gif", "today vga");
    EXPECT_TRUE(choisit(5));
    EXPECT_EQ(lit("tdywater.gif"), QByteArray("today vga"));
    EXPECT_EQ(lit("stwater.gif"), QByteArray("start vga"));

    // From 5 to 4 the pictures change again; the copies of format 5's
    // portraits need no keeping, the user's pictures stay aside.
    ecrit("tdywater_240_320.gif", "today qvga");
    const QStringList avant = fichiers();
    EXPECT_TRUE(choisit(4));
    EXPECT_EQ(lit("tdywater.gif"), QByteArray("today qvga"));
    EXPECT_EQ(lit("stwater.gif"), QByteArray("start portrait"));
    EXPECT_EQ(fichiers(), avant);
    EXPECT_EQ(lit("tdywater_garde.gif"), QByteArray("old today"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ChangementFormatTest, SameFormatWithNewCustomSizesRedrawsButTouchesNoFile)
{
    doc.setFormatTheme(6);
    ecrit("tdywater.gif", "x");
    const auto avant = quatre(doc);
    TOptionsForm f(doc);
    f.show();
    tape(f.HTDse, 250);
    QTest::mouseClick(f.ValiderBtn, Qt::LeftButton);
    EXPECT_TRUE(ChangementFormat(doc, dir, avant, f.indexSauve(), &prompts));
    EXPECT_EQ(doc.format().TailleImages[1], 250);
    EXPECT_EQ(doc.format().TailleImages[5], 231);
    EXPECT_EQ(lit("tdywater.gif"), QByteArray("x"));
}

TEST_F(ChangementFormatTest, AFailedCopyIsReportedAndLeavesThePictureAlone)
{
    // A folder where the plain picture should be: it can be neither replaced
    // nor deleted.
    QDir(dir).mkpath("tdywater.gif/inner");
    QDir(dir).mkpath("stwater.gif");
    ecrit("tdywater_240_320.gif", "portrait");
    EXPECT_TRUE(choisit(4));
    EXPECT_EQ(doc.format().FormatTheme, 4);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("tdywater.gif"));
    EXPECT_TRUE(QFileInfo(dir + "/tdywater.gif/inner").isDir());
    EXPECT_TRUE(QFileInfo(dir + "/stwater.gif").isDir());
}

TEST(FormatImages, ASmallCustomTodayHeightNeverEmptiesThePreview)
{
    FormatImages f;
    f.TaillesPerso = {5, 10, 0, -3};
    FixeTailles(f, 6);
    EXPECT_EQ(f.TailleImages, (Tailles8{5, 10, 1, 1, 5, 1, 640, 376}));
    f.TaillesPerso = {5, 20, 5, 5};
    FixeTailles(f, 6);
    EXPECT_EQ(f.TailleImages[5], 1);
}
