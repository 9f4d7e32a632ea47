#include "tests/support/setup_ce_builder.h"
#include "theme/setup_ce_reader.h"

#include <gtest/gtest.h>

using Etat = ResultatSetupCE::Etat;

namespace {
QByteArray setupAvec(const std::vector<std::pair<uint16_t, QByteArray>> &fichiers, QByteArray signature = "MSCE")
{
    auto b = SetupCeBuilder::theme();
    b.signature = signature;
    for (const auto &[id, nom] : fichiers)
        b.fichier(id, nom);
    return b.build();
}
} // namespace

TEST(ClasseImageTheme, TenNamesFourExtensionsAndNothingElse)
{
    const char *noms[] = {"stwater", "tdywater", "stwater_240_320", "stwater_320_240", "tdywater_240_320",
                          "tdywater_320_240", "stwater_480_640", "stwater_640_480", "tdywater_480_640",
                          "tdywater_640_480"};
    for (int k = 0; k < 10; ++k)
        for (const char *ext : {".bmp", ".gif", ".jpg", ".png"}) {
            MembresImages s;
            EXPECT_EQ(ClasseImageTheme(QLatin1String(noms[k]) + QLatin1String(ext), QStringLiteral("m"), s), 1 << k);
            EXPECT_EQ(s[k], QStringLiteral("m"));
        }
    MembresImages s;
    for (const char *n : {"tdywater.GIF", "tdywater.jpeg", "tdywater.bmp.txt", "TDYWATER.gif", "readme.txt", "tdywater"})
        EXPECT_EQ(ClasseImageTheme(QLatin1String(n), QStringLiteral("m"), s), 0) << n;
    EXPECT_EQ(s, MembresImages{});
}

TEST(GroupeFormat, SixSetsAndEverythingElseIsNotATheme)
{
    EXPECT_EQ(GroupeFormatDeSomme(3), 0);
    EXPECT_EQ(GroupeFormatDeSomme(1), 1);
    EXPECT_EQ(GroupeFormatDeSomme(60), 2);
    EXPECT_EQ(GroupeFormatDeSomme(12), 3);
    EXPECT_EQ(GroupeFormatDeSomme(960), 4);
    EXPECT_EQ(GroupeFormatDeSomme(192), 5);
    for (int s : {0, 2, 20, 4, 61, 1023})
        EXPECT_EQ(GroupeFormatDeSomme(s), 6);
}

TEST(LitFichierSetupCE, PairsRecordsWithMembersAndFindsTheSet)
{
    const QStringList membres{"tdywat~1.001", "tdywat~2.002", "stwate~1.003", "stwate~2.004", "x~1.000"};
    const auto r = LitFichierSetupCE(setupAvec({{3, "stwater_240_320.gif"}, {4, "stwater_320_240.gif"},
                                                {1, "tdywater_240_320.gif"}, {2, "tdywater_320_240.gif"}}),
                                     membres);
    ASSERT_EQ(r.etat, Etat::Reconnu);
    EXPECT_EQ(r.groupeFormat, 2);
    EXPECT_EQ(r.membres[4], QStringLiteral("tdywat~1.001"));
    EXPECT_EQ(r.membres[5], QStringLiteral("tdywat~2.002"));
    EXPECT_EQ(r.membres[2], QStringLiteral("stwate~1.003"));
    EXPECT_EQ(r.membres[3], QStringLiteral("stwate~2.004"));

    // Install names in capitals are recognised; "CE4+" reads like "MSCE"; other files add nothing.
    const auto m = LitFichierSetupCE(setupAvec({{1, "TDYWATER.GIF"}, {2, "STWATER.GIF"}, {3, "readme.txt"}}, "CE4+"),
                                     {"tdywater.001", "0stwater.002", "readme.003"});
    EXPECT_EQ(m.etat, Etat::Reconnu);
    EXPECT_EQ(m.groupeFormat, 0);
}

TEST(LitFichierSetupCE, PairingRules)
{
    // Id 12 pairs with ".012"; "tdywater.012.bak" has the extension ".bak".
    const auto bak = LitFichierSetupCE(setupAvec({{12, "stwater.gif"}}), {"tdywater.012.bak"});
    EXPECT_EQ(bak.etat, Etat::MembreManquant);
    EXPECT_EQ(bak.groupeFormat, 6);
    const auto ok = LitFichierSetupCE(setupAvec({{12, "stwater.gif"}}), {"tdywater.012.bak", "st.012"});
    EXPECT_EQ(ok.groupeFormat, 1);
    EXPECT_EQ(ok.membres[0], QStringLiteral("st.012"));
    // An empty member list pairs every record with twelve tildes.
    const auto vide = LitFichierSetupCE(setupAvec({{1, "tdywater.gif"}, {2, "stwater.gif"}}), {});
    EXPECT_EQ(vide.groupeFormat, 0);
    EXPECT_EQ(vide.membres[1], QStringLiteral("~~~~~~~~~~~~"));
    // Id 1234 -> ".1234".
    EXPECT_EQ(SetupCE::extensionMembre(1234), QStringLiteral(".1234"));
}

TEST(LitFichierSetupCE, IncompleteSetsAndDuplicatesAreNotThemes)
{
    EXPECT_EQ(LitFichierSetupCE(setupAvec({{1, "tdywater.gif"}}), {}).etat, Etat::NonTheme);
    EXPECT_EQ(LitFichierSetupCE(setupAvec({{1, "tdywater_240_320.gif"}, {2, "stwater_240_320.gif"}}), {}).groupeFormat, 6);
    EXPECT_EQ(LitFichierSetupCE(setupAvec({}), {}).etat, Etat::NonTheme);
    // Three Start pictures sum to 3 like Today + Start: refused.
    const auto trois = LitFichierSetupCE(setupAvec({{1, "stwater.gif"}, {2, "stwater.gif"}, {3, "stwater.gif"}}), {});
    EXPECT_EQ(trois.etat, Etat::NonTheme);
    EXPECT_EQ(LitFichierSetupCE(setupAvec({{1, "stwater.gif"}, {2, "stwater.gif"}}), {}).groupeFormat, 6);
}

TEST(LitFichierSetupCE, HostileFilesAreNotRecognised)
{
    const QByteArray bon = setupAvec({{1, "tdywater.gif"}, {2, "stwater.gif"}});
    ASSERT_EQ(LitFichierSetupCE(bon, {}).etat, Etat::Reconnu);
    auto refuse = [](QByteArray b, const char *quoi) {
        EXPECT_EQ(LitFichierSetupCE(b, {}).etat, Etat::NonReconnu) << quoi;
    };
    refuse(bon.left(99), "shorter than the header");
    refuse(bon.left(bon.size() - 1), "truncated");
    refuse(QByteArray("XXXX") + bon.mid(4), "signature");
    QByteArray b = bon;
    patch32(b, 8, uint32_t(bon.size() + 1));
    refuse(b, "length field");
    b = bon;
    patch32(b, 68, uint32_t(bon.size() - 3));
    refuse(b, "table past the end");
    b = bon;
    patch32(b, 68, 0xFFFFFFF0u);
    refuse(b, "huge offset");
    b = bon;
    patch16(b, 52, 0xFFFF);
    refuse(b, "count that cannot fit");
    // A name length running past the end.
    b = bon;
    const int offFichiers = int(uint8_t(b[68]) | uint8_t(b[69]) << 8);
    patch16(b, offFichiers + 10, 0xFFFF);
    refuse(b, "name past the end");
}
