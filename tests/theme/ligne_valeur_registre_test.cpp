#include "theme/ligne_valeur_registre.h"

#include <gtest/gtest.h>

TEST(LigneValeurRegistre, SplitsAtTheFirstTabAndTheFirstDoubleTab)
{
    auto l = LigneValeurRegistre::lire("Color_Highlight\t2E97E300\t\t1");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->nom, QStringLiteral("Color_Highlight"));
    EXPECT_EQ(l->texte, QStringLiteral("2E97E300"));
    EXPECT_EQ(l->type, 1);
    EXPECT_EQ(l->octets(), QByteArray("\x2E\x97\xE3\x00", 4));
    EXPECT_EQ(l->ecrire(), QStringLiteral("Color_Highlight\t2E97E300\t\t1"));

    EXPECT_FALSE(LigneValeurRegistre::lire("name\tvalue"));
    EXPECT_FALSE(LigneValeurRegistre::lire("name\tvalue\t\tx"));
    auto vide = LigneValeurRegistre::lire("name\t\t65537");
    ASSERT_TRUE(vide);
    EXPECT_TRUE(vide->texte.isEmpty());
    EXPECT_FALSE(vide->valeurDword());
}

TEST(LigneValeurRegistre, DwordsAreEightDigitsMostSignificantFirst)
{
    const auto l = LigneValeurRegistre::dword("UseDefaultTitleColor", 0x1A);
    EXPECT_EQ(l.ecrire(), QStringLiteral("UseDefaultTitleColor\t0000001A\t\t65537"));
    EXPECT_EQ(l.valeurDword(), 0x1Au);
    EXPECT_EQ(LigneValeurRegistre::binaire("Color34", QByteArray("\x01\xAB\x00\xff", 4)).texte,
              QStringLiteral("01AB00FF"));
    LigneValeurRegistre bad{"x", "12G4", 1};
    EXPECT_FALSE(bad.octets());
    EXPECT_FALSE(bad.valeurDword());
    EXPECT_FALSE((LigneValeurRegistre{"x", "123", 1}).octets());
}
