// The simulated device's registry store on its own: every name a key or a
// value may hold (any UTF-16 units, surrogates without their partner
// included) is written in a form that reads back to the same name and the
// same text, and the files written before such names had a form read as
// they did.

#include "device/simulator/sim_registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using devsim::CleReg;
using devsim::Registre;

namespace {

// Writes r, reads it back, and checks that writing it again gives the same text.
std::optional<Registre> relit(const Registre &r)
{
    const std::string ecrit = r.texte();
    auto lu = Registre::lire(ecrit);
    if (lu && lu->texte() != ecrit)
        ADD_FAILURE() << "written again differently:\n" << ecrit << "---\n" << lu->texte();
    return lu;
}

std::u16string u16(std::initializer_list<char16_t> unites)
{
    return std::u16string(unites);
}

} // namespace

TEST(RegistreSimule, DeuxNomsCommencantParUnSurrogatSeulRestentDistincts)
{
    // Two value names that differ only in a leading high surrogate with no
    // low one after it, with the bytes and types the fuzz input gave them.
    const std::u16string a = u16({0xDAF3, 0x2E65, 0x7374});
    const std::u16string b = u16({0xDA00, 0x2E65, 0x7374});
    const std::vector<uint8_t> octets{0x00, 0x00, 0xF3, 0xDA, 0x65, 0x2E, 0x74, 0x73,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0xDA, 0x65, 0x2E};
    for (const bool aDabord : {true, false}) {
        const std::u16string &premier = aDabord ? a : b;
        const std::u16string &second = aDabord ? b : a;
        Registre r;
        r.racine(Registre::HKCU)->fixeValeur(premier, 1, octets);
        r.racine(Registre::HKCU)->fixeValeur(second, 3, octets);
        auto lu = relit(r);
        ASSERT_TRUE(lu) << aDabord;
        const CleReg &k = *lu->racine(Registre::HKCU);
        ASSERT_EQ(k.valeurs.size(), 2u) << aDabord;
        EXPECT_EQ(k.valeurs[0].nom, premier);
        EXPECT_EQ(k.valeurs[0].type, 1u);
        EXPECT_EQ(k.valeurs[0].donnees, octets);
        EXPECT_EQ(k.valeurs[1].nom, second);
        EXPECT_EQ(k.valeurs[1].type, 3u);
        EXPECT_EQ(k.valeurs[1].donnees, octets);
    }
}

TEST(RegistreSimule, TouteSuiteDUnitesSurvitAuxAllersRetours)
{
    // Lone surrogates at either end and in the middle, a low before a high,
    // a lone high just before a pair, a real pair and a literal U+FFFD: all
    // different names, kept as they are, in key and value names alike.
    const std::vector<std::u16string> noms{
        u16({0xD800}), u16({0xDC00}), u16({0xDC00, 0xD800}), u16({0xD800, 0xD800, 0xDC00}),
        u16({0xD83D, 0xDE00}), u16({0xFFFD}), u16({u'x', 0xDBFF}), u16({u'%', 0xDFFF, u'\n', u'"'})};
    Registre r;
    CleReg *k = r.racine(Registre::HKLM);
    for (const auto &n : noms) {
        k->fixeValeur(n, 4, devsim::octetsDword(7));
        k->ajouteSousCle(n).fixeValeur(n, 1, devsim::octetsChaine(n));
    }
    auto lu = relit(r);
    ASSERT_TRUE(lu);
    const CleReg &l = *lu->racine(Registre::HKLM);
    ASSERT_EQ(l.valeurs.size(), noms.size());
    ASSERT_EQ(l.sousCles.size(), noms.size());
    for (size_t i = 0; i < noms.size(); ++i) {
        EXPECT_EQ(l.valeurs[i].nom, noms[i]) << i;
        EXPECT_EQ(l.sousCles[i]->nom, noms[i]) << i;
        ASSERT_EQ(l.sousCles[i]->valeurs.size(), 1u) << i;
        EXPECT_EQ(l.sousCles[i]->valeurs[0].donnees, devsim::octetsChaine(noms[i])) << i;
    }
    // The escapes as they stand in the file; a pair keeps its UTF-8 form.
    const std::string t = r.texte();
    EXPECT_NE(t.find("\n\"\\ud800\xF0\x90\x80\x80\"=dword:00000007\n"), std::string::npos) << t;
    EXPECT_NE(t.find("\n\"%\\udfff\\x0a\\\"\"=dword:00000007\n"), std::string::npos) << t;
    EXPECT_NE(t.find("\n[HKEY_LOCAL_MACHINE\\%uDC00%uD800]\n"), std::string::npos) << t;
    EXPECT_NE(t.find("\n[HKEY_LOCAL_MACHINE\\%25%uDFFF%0A\"]\n"), std::string::npos) << t;
    EXPECT_NE(t.find("\n[HKEY_LOCAL_MACHINE\\\xF0\x9F\x98\x80]\n"), std::string::npos) << t;
    // A lone surrogate in string data keeps the hex form it always had.
    EXPECT_NE(t.find("\n\"\\ud800\"=hex(1):00,d8,00,00\n"), std::string::npos) << t;
}

TEST(RegistreSimule, FichiersAnciensLusEtEchappementsDouteuxRefuses)
{
    // A file written before names could hold lone surrogates reads as it did.
    const std::string ancien = "; Orvandel device simulator registry\n\n[HKEY_CURRENT_USER\\Soft%25w%0Aare]\n"
                               "\"a\\x0ab\"=\"\\\\Windows\\\\u1.tsk\"\n\"\xEF\xBF\xBD\"=dword:00000001\n";
    auto lu = Registre::lire(ancien);
    ASSERT_TRUE(lu);
    CleReg *k = lu->trouve(Registre::HKCU, {u"Soft%w\nare"});
    ASSERT_TRUE(k);
    ASSERT_EQ(k->valeurs.size(), 2u);
    EXPECT_EQ(k->valeurs[0].nom, u"a\nb");
    EXPECT_EQ(k->valeurs[0].donnees, devsim::octetsChaine(u"\\Windows\\u1.tsk"));
    EXPECT_EQ(k->valeurs[1].nom, u"\uFFFD");

    // An escaped unit in string data is read, and written back as hex.
    lu = Registre::lire("[HKEY_CURRENT_USER]\n\"v\"=\"a\\udfff\"\n");
    ASSERT_TRUE(lu);
    EXPECT_EQ(lu->racine(Registre::HKCU)->valeurs.at(0).donnees, (std::vector<uint8_t>{'a', 0, 0xFF, 0xDF, 0, 0}));
    EXPECT_TRUE(relit(*lu));

    // An escape stands for one surrogate that stays alone, in four hex
    // digits; anything else makes the file unreadable, not another name.
    for (const char *mauvais :
         {"[HKEY_CURRENT_USER]\n\"\\u0041\"=dword:00000001\n", "[HKEY_CURRENT_USER]\n\"\\ud800\\udc00\"=dword:00000001\n",
          "[HKEY_CURRENT_USER]\n\"\\ud80\"=dword:00000001\n", "[HKEY_CURRENT_USER]\n\"\\ud80g\"=dword:00000001\n",
          "[HKEY_CURRENT_USER]\n\"\\u+d80\"=dword:00000001\n", "[HKEY_CURRENT_USER]\n\"v\"=\"\\ud8\"\n",
          "[HKEY_CURRENT_USER\\%uD80]\n", "[HKEY_CURRENT_USER\\%uD800%uDC00]\n", "[HKEY_CURRENT_USER\\%u 800]\n",
          "[HKEY_CURRENT_USER\\%u0025]\n", "[HKEY_CURRENT_USER\\a%u]\n"})
        EXPECT_FALSE(Registre::lire(mauvais)) << mauvais;
}
