#include "tools/rgb_vers_teinte.h"
#include "tests/support/scripted_prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct Fenetre
{
    ScriptedPrompts prompts;
    TRGBversTeinte f{prompts};

    explicit Fenetre(TColor depart)
    {
        f.setCouleur(depart);
        f.show();
    }
    QSpinBox *spin(const char *nom) { return f.findChild<QSpinBox *>(QLatin1String(nom)); }
    QString texte(const char *nom) { return f.findChild<QLabel *>(QLatin1String(nom))->text(); }
    QStringList labels()
    {
        return {texte("TeinteAngleLbl"), texte("TeinteValLbl"), texte("SaturationLbl"),
                texte("LuminanceLbl")};
    }
    // Types a value into a spin edit as a user would: select all, then the digits.
    void tape(const char *nom, int v)
    {
        QSpinBox *s = spin(nom);
        s->setFocus();
        QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(s, QString::number(v));
    }
};

QStringList attendu(int angle, int teinte, int saturation, int luminance)
{
    return {QString::fromUtf8("Angle = %1\u00B0").arg(angle, 3, 10, QLatin1Char('0')),
            QStringLiteral("Hue (0-240) = %1").arg(teinte, 3, 10, QLatin1Char('0')),
            QStringLiteral("Saturation (0-240) = %1").arg(saturation, 3, 10, QLatin1Char('0')),
            QStringLiteral("Luminance (0-240) = %1").arg(luminance, 3, 10, QLatin1Char('0'))};
}

} // namespace

TEST(RGBversTeinte, ShowsTheStartingColourOnTheScale)
{
    Fenetre w(TColor::fromRgb(255, 0, 0));
    EXPECT_EQ(w.f.windowTitle(), QStringLiteral("RGB to Hue"));
    EXPECT_EQ(w.f.findChild<QPushButton *>("ChoixCoulBtn")->text(), QStringLiteral("Choose a color"));
    EXPECT_EQ(w.f.findChild<QPushButton *>("QuitterBtn")->text(), QStringLiteral("Quit"));
    EXPECT_EQ(w.texte("Label1"), QStringLiteral("R"));
    EXPECT_EQ(w.texte("Label2"), QStringLiteral("G"));
    EXPECT_EQ(w.texte("Label3"), QStringLiteral("B"));
    EXPECT_EQ(w.spin("RSE")->value(), 255);
    EXPECT_EQ(w.spin("VSE")->value(), 0);
    EXPECT_EQ(w.spin("BSE")->value(), 0);
    EXPECT_EQ(w.texte("TeinteAngleLbl"), QString::fromUtf8("Angle = 000°"));
    EXPECT_EQ(w.labels(), attendu(0, 0, 240, 120));
}

TEST(RGBversTeinte, TypedValuesGiveTheExactLabelTexts)
{
    Fenetre w(TColor::fromRgb(0, 0, 0));
    EXPECT_EQ(w.labels(), attendu(240, 160, 0, 0)); // black

    struct Cas { int r, g, b; QStringList textes; };
    const Cas cas[] = {
        {0, 0, 255, attendu(240, 160, 240, 120)},     // blue: hue 160 like the greys
        {128, 128, 128, attendu(240, 160, 0, 121)},   // grey
        {255, 255, 255, attendu(240, 160, 0, 240)},   // white
        {46, 151, 227, attendu(205, 137, 184, 129)},  // 137 * 360 / 240 = 205.5, truncated
        {18, 87, 177, attendu(214, 143, 196, 92)},
        {0, 255, 0, attendu(120, 80, 240, 120)},
        {255, 0, 1, attendu(360, 240, 240, 120)},     // a hue of 240 is shown as such
        {255, 0, 0, attendu(0, 0, 240, 120)},
    };
    for (const Cas &c : cas) {
        w.tape("RSE", c.r);
        w.tape("VSE", c.g);
        w.tape("BSE", c.b);
        EXPECT_EQ(w.spin("RSE")->value(), c.r);
        EXPECT_EQ(w.labels(), c.textes) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(RGBversTeinte, SwatchFollowsTheSpinEdits)
{
    Fenetre w(TColor::fromRgb(46, 151, 227));
    const QRect r = TRGBversTeinte::rectApercu();
    QImage img = w.f.grab().toImage();
    EXPECT_EQ(img.pixel(r.center()), qRgb(46, 151, 227));
    EXPECT_EQ(img.pixel(r.topLeft()), qRgb(46, 151, 227));
    EXPECT_EQ(img.pixel(r.bottomRight()), qRgb(46, 151, 227));
    EXPECT_NE(img.pixel(r.bottomRight() + QPoint(1, 1)), qRgb(46, 151, 227));

    w.tape("VSE", 7);
    img = w.f.grab().toImage();
    EXPECT_EQ(img.pixel(r.center()), qRgb(46, 7, 227));
}

TEST(RGBversTeinte, EmptySpinTextLeavesTheLabelsAsTheyWere)
{
    Fenetre w(TColor::fromRgb(46, 151, 227));
    const QStringList avant = w.labels();
    QSpinBox *s = w.spin("VSE");
    s->setFocus();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Backspace);
    ASSERT_TRUE(s->cleanText().isEmpty());
    EXPECT_EQ(w.labels(), avant);
    QTest::keyClicks(s, QStringLiteral("0"));
    EXPECT_EQ(w.labels(), attendu(252, 168, 240, 107)); // (46, 0, 227): S = 240.5, even
}

TEST(RGBversTeinte, ColourDialogReloadsTheSpinEdits)
{
    Fenetre w(TColor::fromRgb(255, 0, 0));
    w.prompts.color(TColor::fromRgb(18, 87, 177));
    QTest::mouseClick(w.f.findChild<QPushButton *>("ChoixCoulBtn"), Qt::LeftButton);
    EXPECT_EQ(w.spin("RSE")->value(), 18);
    EXPECT_EQ(w.spin("VSE")->value(), 87);
    EXPECT_EQ(w.spin("BSE")->value(), 177);
    EXPECT_EQ(w.f.couleur(), TColor::fromRgb(18, 87, 177));
    EXPECT_EQ(w.labels(), attendu(214, 143, 196, 92));

    // A cancelled dialog changes nothing, even after the spins were edited.
    w.tape("RSE", 46);
    w.prompts.color(std::nullopt);
    QTest::mouseClick(w.f.findChild<QPushButton *>("ChoixCoulBtn"), Qt::LeftButton);
    EXPECT_EQ(w.spin("RSE")->value(), 46);
    EXPECT_EQ(w.f.couleur(), TColor::fromRgb(18, 87, 177));
    EXPECT_TRUE(w.prompts.exhausted());
}

TEST(RGBversTeinte, QuitCloses)
{
    Fenetre w(TColor::fromRgb(1, 2, 3));
    ASSERT_TRUE(w.f.isVisible());
    QTest::mouseClick(w.f.findChild<QPushButton *>("QuitterBtn"), Qt::LeftButton);
    EXPECT_FALSE(w.f.isVisible());
}
