#include "theme/theme_document.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(ThemeDocument, StartsWithTheDefaultSlotsAndNoWm5Values)
{
    ThemeDocument doc;
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(doc.slot(0).libelle, QStringLiteral("05 Navigation Bar, Color 1"));
    EXPECT_EQ(doc.slot(3).libelle, QStringLiteral("04 Today text, Text"));
    EXPECT_EQ(doc.slot(21).libelle, QStringLiteral("40 Tap-and-hold dots"));
    EXPECT_EQ(doc.slot(21).couleur, TColor::fromRgb(0x4A, 0xB2, 0xEB));
    EXPECT_EQ(doc.nombreInclus(), 0);
    EXPECT_EQ(doc.parametres(), ParametresWM5());
    EXPECT_EQ(doc.format().FormatTheme, 3);
    EXPECT_EQ(ListeTDThemeCles.size(), 17);
    EXPECT_EQ(ListeTDThemeCles.last(), QStringLiteral("Color34"));
}

TEST(ThemeDocument, InternalNameFallsBackToTheThemeName)
{
    ThemeDocument doc;
    doc.setNomTheme("Blue");
    EXPECT_EQ(doc.nomInterneEffectif(), QStringLiteral("Blue"));
    doc.setNomInterne("BlueApp");
    EXPECT_EQ(doc.nomInterneEffectif(), QStringLiteral("BlueApp"));
}

TEST(ThemeDocument, SignalsOnlyRealChanges)
{
    ThemeDocument doc;
    QSignalSpy slotSpy(&doc, &ThemeDocument::slotChanged);
    doc.setCouleur(4, doc.slot(4).couleur);
    doc.setCouleur(4, TColor::fromRgb(1, 2, 3));
    doc.setInclus(4, true);
    ASSERT_EQ(slotSpy.size(), 2);
    EXPECT_EQ(slotSpy.at(0).at(0).toInt(), 4);

    QSignalSpy format(&doc, &ThemeDocument::formatChanged);
    doc.setFormatTheme(9);
    doc.setFormatTheme(4);
    EXPECT_EQ(format.size(), 1);
    EXPECT_EQ(doc.format().TailleImages, (std::array<int, 8>{240, 294, 240, 294, 240, 268, 320, 188}));
}

TEST(FormatImages, CustomizedTakesItsSizesAndDropsNineteenRows)
{
    FormatImages f;
    f.TaillesPerso = {300, 400, 200, 400};
    FixeTailles(f, 6);
    EXPECT_EQ(f.TailleImages, (std::array<int, 8>{300, 400, 200, 400, 300, 381, 640, 376}));
    FixeTailles(f, -1);
    EXPECT_EQ(f.TailleImages[0], 300);
    EXPECT_EQ(NomFormatTheme(0), QStringLiteral("Tessary Like (TD 240x287,  ST 152x287)"));
    EXPECT_TRUE(NomFormatTheme(9).isEmpty());
}
