#include "tests/support/setup_ce_builder.h"
#include "theme/inf_rebuilder.h"

#include <gtest/gtest.h>

namespace {

SetupCeBuilder themeComplet()
{
    auto b = SetupCeBuilder::theme();
    b.fichier(1, "tdywater.gif");
    b.fichier(2, "stwater_240_320.gif");
    b.cleBinaire(1, "5", QByteArray("\x2E\x97\xE3\x00", 4));
    b.cleBinaire(1, "34", QByteArray("\x2E\x97\xE3\x00", 4));
    b.cleDword(1, "BaseHue", 260);
    b.cleDword(2, "DPI", 192);
    b.cleDword(2, "UseStartImage", 1);
    b.cleDword(3, "UseDefaultTitleColor", 0xFFFFFFFF);
    b.cleBinaire(3, "Color_Highlight", QByteArray("\x01\x02\x03\x00", 4));
    return b;
}

LectureSetup avecMembres(QStringList m)
{
    LectureSetup l;
    l.ListeFichiersCab = m;
    return l;
}

} // namespace

TEST(ReconstruireInf, ThemePackageRebuildsItsInfAndValues)
{
    LectureSetup avant = avecMembres({"tdywater.001", "stwate~1.002", "montheme~1.000"});
    avant.ChainesSetup << "stale";
    const auto r = ReconstruireInf(themeComplet().build(), avant, ParametresWM5{});
    ASSERT_TRUE(r);
    const QStringList &t = r->lecture.TexteInfOrig;
    const QStringList attendu{
        "[Version]", "Signature = \"$Chicago$\"", "CESignature = \"$Windows CE$\"", "Provider = \"Pelorin\"", "",
        "[CEStrings]", "Appname = \"MonTheme\"", "InstallDir = \"%CE2%\" ; (\\Windows)", "",
        "[CEDevice]", "ProcessorType = 2577", "UnsupportedPlatforms = \"HPC\",\"JUPITER\"", "VersionMin = 3.0",
        "VersionMax = 100.0", "",
        "[SourceDisksNames]", "1 = ,\"Autre\",,\\", "", "[SourceDisksFiles]", "tdywater.gif = 1",
        "\"stwater_240_320.gif\" = 1", "", "[DefaultInstall]", "AddReg = ClesRegistre", "CopyFiles = CopierVersDir00", "",
        "[CopierVersDir00]  ; (%CE2% : \\Windows)", "tdywater.gif,,,0x40000000", "\"stwater_240_320.gif\",,,0x40000000", "",
        "[DestinationDirs]", "CopierVersDir00 = 0, %InstallDir%", "",
        "[Strings]", "reg_path00 = Software\\Microsoft\\Color", "reg_path01 = Software\\Microsoft\\Today",
        "reg_path02 = Software\\Microsoft\\Today\\MonTheme.tsk", "",
        "[ClesRegistre]", "HKLM,%reg_path00%,5,0x00000001,2E,97,E3,00", "HKLM,%reg_path00%,34,0x00000001,2E,97,E3,00",
        "HKLM,%reg_path00%,BaseHue,0x00010001,260", "HKCU,%reg_path01%,DPI,0x00010001,192",
        "HKCU,%reg_path01%,UseStartImage,0x00010001,1", "HKCU,%reg_path02%,UseDefaultTitleColor,0x00010001,-1",
        "HKCU,%reg_path02%,Color_Highlight,0x00000001,01,02,03,00"};
    EXPECT_EQ(t, attendu);

    const LectureSetup &l = r->lecture;
    EXPECT_EQ(l.NomInterneLu, "MonTheme");
    EXPECT_EQ(l.ChainesCleCouleurs, "2,3,4");
    EXPECT_EQ(l.ChainesCleToday, "2,3,5");
    EXPECT_EQ(l.ChainesCleTheme, "2,3,5,6");
    EXPECT_EQ(l.NomCleTheme, "MonTheme.tsk");
    EXPECT_EQ(l.ListeFichiers, (QStringList{"001\ttdywater.001\ttdywater.gif", "002\tstwate~1.002\t\"stwater_240_320.gif\""}));
    EXPECT_EQ(l.ListeEnrFichiers.size(), 2);
    EXPECT_EQ(l.ChainesSetup.size(), 7);
    EXPECT_EQ(l.ValeursCouleurs, (QStringList{"5\t2E97E300\t\t1", "34\t2E97E300\t\t1", "BaseHue\t00000104\t\t65537"}));
    EXPECT_EQ(l.ValeursToday, (QStringList{"DPI\t000000C0", "UseStartImage\t00000001"}));
    EXPECT_EQ(l.ClesTheme, (QStringList{"UseDefaultTitleColor\tFFFFFFFF\t\t65537", "Color_Highlight\t01020300\t\t1"}));

    const ParametresWM5 &p = r->parametres;
    EXPECT_TRUE(p.BaseHueDefini);
    EXPECT_EQ(p.ValBaseHue, 260);
    EXPECT_TRUE(p.DPIDefini);
    EXPECT_EQ(p.ValDPI, 192);
    EXPECT_TRUE(p.UseStartImageDefini);
    EXPECT_TRUE(p.Coul34Definie);
    EXPECT_EQ(p.Coul34, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_TRUE(p.ClesThemeDefinies);
}

TEST(ReconstruireInf, HeaderCommentsSelfRegisterShortcutsAndSetupDll)
{
    auto b = SetupCeBuilder::theme();
    b.signature = "CE4+";
    b.buildMax = 0xC0000000u;
    b.buildMin = 7;
    b.chaines.push_back({8, "Mon Appli"});
    b.fichiers.push_back({1, 2, 0x50000000, "prog.exe"});
    b.fichiers.push_back({2, 2, 0, "a b.txt"});
    b.liens.push_back({0, 11, 1, 1, {8}});  // kind 0, base %CE11%
    b.liens.push_back({1, 0, 1, 1, {8}});   // directory 1 is "%CE2%" = the first string: kind 0, base 0
    const auto r = ReconstruireInf(b.build(), avecMembres({"prog.001", "ab.002", "setup.999"}), {});
    ASSERT_TRUE(r);
    const QStringList &t = r->lecture.TexteInfOrig;
    EXPECT_TRUE(t.contains("BuildMax = -1073741824; Screen Rotation Support"));
    EXPECT_TRUE(t.contains("BuildMin = 7"));
    EXPECT_TRUE(t.contains("CESelfRegister = prog.exe"));
    EXPECT_TRUE(t.contains("prog.exe,,,0x40000000"));
    EXPECT_TRUE(t.contains("\"a b.txt\"")) << "flags 0: the install name alone";
    EXPECT_TRUE(t.contains("setup.dll = 1"));
    EXPECT_TRUE(t.contains("CESetupDLL = setup.dll ; (setup.999)"));
    EXPECT_TRUE(t.contains("CEShortcuts = RaccourcisCourts"));
    EXPECT_TRUE(t.contains("RaccourcisCourts = 0, %InstallDir%"));
    EXPECT_TRUE(t.contains("Mon Appli, 0, prog.exe, %CE11% ; (\\Windows\\Programs)"));
    EXPECT_TRUE(t.contains("Mon Appli, 0, prog.exe ; (%InstallDir%)"));
    EXPECT_FALSE(t.contains("AddReg = ClesRegistre"));
    EXPECT_FALSE(t.contains("[ClesRegistre]"));
    EXPECT_FALSE(r->parametres.BaseHueDefini || r->parametres.DPIDefini || r->parametres.UseStartImageDefini
                 || r->parametres.Coul34Definie || r->parametres.ClesThemeDefinies);
}

TEST(ReconstruireInf, SetupStringsAreEscapedForTheInf)
{
    auto echappe = [](QString s) { EchapperValeurInf(s); return s; };
    EXPECT_EQ(echappe("%CE2%\\100% sure"), "%CE2%\\100%% sure");
    EXPECT_EQ(echappe("%InstallDir%\\x"), "%InstallDir%\\x");
    EXPECT_EQ(echappe("a,b"), "\"a,b\"");
    EXPECT_EQ(echappe("dir\\"), "\"dir\\\"");
    EXPECT_EQ(echappe("say \"hi\""), "say \"\"\"hi\"\"\"");
    EXPECT_EQ(echappe("%CE10%%"), "%CE10%%%");
    QString liste = "\"a%\",\"b,c\"";
    EchapperListeInf(liste);
    EXPECT_EQ(liste, "a%%,\"b,c\"");

    auto b = SetupCeBuilder::theme();
    b.cles.push_back({1, 0, "Chemin", QByteArray("%CE2%\\100% sure\0", 16)});
    b.cles.push_back({1, 0x10000, "Liste", QByteArray("a\0b,c\0\0", 7)});
    const auto r = ReconstruireInf(b.build(), {}, {});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->lecture.TexteInfOrig.contains("HKLM,%reg_path00%,Chemin,0x00000000,%CE2%\\100%% sure"));
    EXPECT_TRUE(r->lecture.TexteInfOrig.contains("HKLM,%reg_path00%,Liste,0x00010000,a,\"b,c\""));
}

TEST(ReconstruireInf, OddValuesGiveNoThemeValue)
{
    auto b = SetupCeBuilder::theme();
    b.cles.push_back({1, 0x10001, "BaseHue", QByteArray("\x01\x02", 2)}); // not 4 bytes
    b.cleBinaire(1, "34", QByteArray("\x01\x02", 2));                      // shorter than a colour
    QByteArray f = b.build();
    const auto r = ReconstruireInf(f, {}, {});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->parametres.BaseHueDefini);
    EXPECT_FALSE(r->parametres.Coul34Definie);
    EXPECT_TRUE(r->lecture.TexteInfOrig.contains("HKLM,%reg_path00%,BaseHue,0x00010001,"));

    // A 300-byte string is cut to 260 bytes; an empty string table still rebuilds.
    auto longue = SetupCeBuilder::theme();
    longue.chaines[2].texte = QByteArray(300, 'x');
    const auto rl = ReconstruireInf(longue.build(), {}, {});
    ASSERT_TRUE(rl);
    EXPECT_EQ(rl->lecture.ChainesSetup.at(2).size(), 260);
    SetupCeBuilder vide;
    const auto rv = ReconstruireInf(vide.build(), {}, {});
    ASSERT_TRUE(rv);
    EXPECT_TRUE(rv->lecture.TexteInfOrig.contains("InstallDir = \"\" ; ()"));
}

TEST(ReconstruireInf, HostileTablesAreRefusedAndNothingChanges)
{
    const QByteArray bon = themeComplet().build();
    ASSERT_TRUE(ReconstruireInf(bon, {}, {}));
    auto refuse = [](const QByteArray &b, const char *quoi) {
        EXPECT_FALSE(ReconstruireInf(b, {}, {})) << quoi;
    };
    refuse(bon.left(99), "short");
    refuse(bon.left(bon.size() - 2), "truncated");
    for (int offTable : {60, 64, 68, 72, 76}) {
        QByteArray b = bon;
        patch32(b, offTable, uint32_t(bon.size() - 1));
        refuse(b, "table at the end");
        patch32(b, offTable, 0xFFFFFFFFu);
        refuse(b, "table far away");
    }
    for (int count : {48, 50, 52, 54, 56, 58}) {
        QByteArray b = bon;
        patch16(b, count, 0xFFFF);
        refuse(b, "huge count");
    }
    QByteArray b = bon;
    patch16(b, 86, 0xFFFF);
    refuse(b, "application name past the end");
    // Every byte of the file spoiled in turn must never crash.
    for (int i = 0; i < bon.size(); ++i) {
        QByteArray s = bon;
        s[i] = char(0xFF);
        (void)ReconstruireInf(s, {}, {});
    }
}

// A theme key whose name holds ";", "," or "%" (a package saved under such a
// file name) is rebuilt on a [Strings] line that an INF reader reads whole;
// plain names stay bare.
TEST(ReconstruireInf, ThemeKeyPathHoldingInfMarksIsQuoted)
{
    const std::pair<QByteArray, QString> cas[] = {
        {"semi;colon.tsk", "reg_path02 = \"Software\\Microsoft\\Today\\semi;colon.tsk\""},
        {"comma, 50%.tsk", "reg_path02 = \"Software\\Microsoft\\Today\\comma, 50%%.tsk\""},
        {"say \"hi\".tsk", "reg_path02 = \"Software\\Microsoft\\Today\\say \"\"hi\"\".tsk\""},
        {"100%.tsk", "reg_path02 = Software\\Microsoft\\Today\\100%%.tsk"},
    };
    for (const auto &[cle, ligne] : cas) {
        auto b = SetupCeBuilder::theme(cle);
        b.cleDword(3, "UseDefaultTitleColor", 1);
        const auto r = ReconstruireInf(b.build(), {}, {});
        ASSERT_TRUE(r) << cle.constData();
        EXPECT_TRUE(r->lecture.TexteInfOrig.contains(ligne)) << r->lecture.TexteInfOrig.join('\n').toStdString();
        EXPECT_TRUE(r->lecture.TexteInfOrig.contains("reg_path00 = Software\\Microsoft\\Color"));
    }
}
