// The two text forms of a theme's setup: the setup XML document and the INF
// text of the CAB wizard, line for line.
#include "theme/inf_builder.h"
#include "theme/setup_xml_writer.h"

#include "tests/support/test_env.h"
#include "theme/theme_document.h"

#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// Expected text: one line per line, "|" standing for a TAB.
QStringList lines(const char *text)
{
    QStringList out = QString::fromUtf8(text).split(QLatin1Char('\n'));
    out.removeFirst(); // the raw string starts on its own line
    out.removeLast();
    for (QString &l : out)
        l.replace(QLatin1Char('|'), QLatin1Char('\t'));
    return out;
}

void expectLines(const QStringList &actual, const QStringList &expected)
{
    for (int i = 0; i < std::min(actual.size(), expected.size()); ++i)
        EXPECT_EQ(actual[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());
}

// A full theme: slots 1 and 14, colour 34 with red != blue, BaseHue, DPI and
// theme values, format 4 with both pictures.
void fullTheme(ThemeDocument &doc)
{
    doc.setFormatTheme(4);
    doc.setInclus(0, true);
    doc.setInclus(13, true);
    doc.setCouleur(13, TColor::fromRgb(0xA0, 0xB0, 0xC0));
    ParametresWM5 p;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(0x11, 0x22, 0x33);
    p.BaseHueDefini = true;
    p.ValBaseHue = 170;
    p.DPIDefini = true;
    p.ValDPI = 192;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme({
        "Color_Highlight\tFF804000\t\t1",
        "Unlisted\t00000001\t\t65537",
        "UseDefaultTitleColor\t00000001\t\t65537",
        "Color_MenuText\tnothex00\t\t1",
        "Color34\tFFFFFFFF\t\t1",
    });
}

} // namespace

TEST(SetupXmlWriter, FullThemeLineByLine)
{
    ThemeDocument doc;
    fullTheme(doc);
    QStringList actual;
    GenereSetupXml(&actual, doc, QStringLiteral("Black & White"), QStringLiteral("A & B <x> \"q\" é"));
    expectLines(actual, lines(R"(
<wap-provisioningdoc>
|<characteristic type="Install">
||<parm name="InstallPhase" value="install"/>
||<parm name="ProcessorType" value="2577"/>
||<parm name="OSVersionMin" value="3.0"/>
||<parm name="OSVersionMax" value="100.0"/>
||<parm name="AppName" value="A &amp; B &lt;x&gt; &quot;q&quot; &#233;"/>
||<parm name="InstallDir" value="%CE2%" translation="install"/>
||<parm name="NumDirs" value="2"/>
||<parm name="NumFiles" value="4"/>
||<parm name="NumRegKeys" value="3"/>
||<parm name="NumRegVals" value="7"/>
||<parm name="NumShortcuts" value="0"/>
|</characteristic>
|<characteristic type="FileOperation">
||<characteristic type="%CE2%" translation="install">
|||<characteristic type="MakeDir"/>
|||<characteristic type="tdywater_240_320.gif" translation="install">
||||<characteristic type="Extract">
|||||<parm name="Source" value="TDYWAT~1.001"/>
||||</characteristic>
|||</characteristic>
|||<characteristic type="tdywater_320_240.gif" translation="install">
||||<characteristic type="Extract">
|||||<parm name="Source" value="TDYWAT~2.002"/>
||||</characteristic>
|||</characteristic>
|||<characteristic type="stwater_240_320.gif" translation="install">
||||<characteristic type="Extract">
|||||<parm name="Source" value="STWATE~1.003"/>
||||</characteristic>
|||</characteristic>
|||<characteristic type="stwater_320_240.gif" translation="install">
||||<characteristic type="Extract">
|||||<parm name="Source" value="STWATE~2.004"/>
||||</characteristic>
|||</characteristic>
||</characteristic>
||<characteristic type="%InstallDir%" translation="install">
|||<characteristic type="MakeDir"/>
||</characteristic>
|</characteristic>
|<characteristic type="Registry">
||<characteristic type="HKLM\Software\Microsoft\Color">
|||<parm name="5" value="14915374" datatype="integer"/>
|||<parm name="25" value="12628128" datatype="integer"/>
|||<parm name="34" value="3351057" datatype="integer"/>
||</characteristic>
||<characteristic type="HKCU\Software\Microsoft\Today">
|||<parm name="DPI" value="192" datatype="integer"/>
||</characteristic>
||<characteristic type="HKCU\Software\Microsoft\Today\Black &amp; White.tsk">
|||<parm name="Color_Highlight" value="4227327" datatype="integer"/>
|||<parm name="UseDefaultTitleColor" value="1" datatype="integer"/>
|||<parm name="Color34" value="-1" datatype="integer"/>
||</characteristic>
|</characteristic>
</wap-provisioningdoc>
)"));

    // Well formed, and the names read back as they were.
    QXmlStreamReader xml(actual.join(QStringLiteral("\r\n")));
    QStringList appNames, types;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.attributes().value("name") == QLatin1String("AppName"))
            appNames << xml.attributes().value("value").toString();
        types << xml.attributes().value("type").toString();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(appNames, QStringList{QStringLiteral("A & B <x> \"q\" é")});
    EXPECT_TRUE(types.contains(QStringLiteral("HKCU\\Software\\Microsoft\\Today\\Black & White.tsk")));
}

TEST(SetupXmlWriter, EmptyThemeHasNoRegistry)
{
    ThemeDocument doc;
    QStringList actual;
    GenereSetupXml(&actual, doc, "T", "App");
    EXPECT_TRUE(actual.contains(QStringLiteral("\t\t<parm name=\"NumRegKeys\" value=\"0\"/>")));
    EXPECT_TRUE(actual.contains(QStringLiteral("\t\t<parm name=\"NumRegVals\" value=\"0\"/>")));
    EXPECT_EQ(actual.filter("Registry").size(), 0);
    EXPECT_EQ(actual.size(), 33); // root, install (13), files (18), closing root
    EXPECT_EQ(actual.last(), QStringLiteral("</wap-provisioningdoc>"));
    GenereSetupXml(nullptr, doc, "T", "App"); // no list: nothing happens
}

TEST(SetupXmlWriter, StartOnlyTodayValuesAndUnlistedThemeKeys)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.UseStartImageDefini = true;
    p.ValUseStartImage = 1;
    p.BaseHueDefini = true; // never in the document
    doc.setParametres(p);
    doc.setClesTheme({"Unlisted\t00000001\t\t65537"});
    QStringList actual;
    GenereSetupXml(&actual, doc, "Sky", "Sky");
    const QStringList expectedTail = lines(R"(
||<parm name="NumFiles" value="1"/>
||<parm name="NumRegKeys" value="2"/>
||<parm name="NumRegVals" value="1"/>
||<parm name="NumShortcuts" value="0"/>
|</characteristic>
|<characteristic type="FileOperation">
||<characteristic type="%CE2%" translation="install">
|||<characteristic type="MakeDir"/>
|||<characteristic type="stwater.gif" translation="install">
||||<characteristic type="Extract">
|||||<parm name="Source" value="0stwater.001"/>
||||</characteristic>
|||</characteristic>
||</characteristic>
||<characteristic type="%InstallDir%" translation="install">
|||<characteristic type="MakeDir"/>
||</characteristic>
|</characteristic>
|<characteristic type="Registry">
||<characteristic type="HKCU\Software\Microsoft\Today">
|||<parm name="UseStartImage" value="1" datatype="integer"/>
||</characteristic>
||<characteristic type="HKCU\Software\Microsoft\Today\Sky.tsk">
||</characteristic>
|</characteristic>
</wap-provisioningdoc>
)");
    expectLines(actual.mid(9), expectedTail);
}

TEST(SetupXmlWriter, SavedFileIsAsciiWithCrLf)
{
    ThemeDocument doc;
    doc.setInclus(0, true);
    const QString dir = testenv::tempDir();
    QString err;
    ASSERT_TRUE(EcritSetupXml(doc, QStringLiteral("Thème"), QStringLiteral("Thème"), dir, &err)) << err.toStdString();
    const QByteArray bytes = testenv::readFile(dir + "/_setup.xml");
    QStringList expected;
    GenereSetupXml(&expected, doc, QStringLiteral("Thème"), QStringLiteral("Thème"));
    EXPECT_EQ(bytes, expected.join("\r\n").toLatin1() + "\r\n");
    EXPECT_TRUE(bytes.startsWith("<wap-provisioningdoc>\r\n"));
    EXPECT_TRUE(bytes.contains("value=\"Th&#232;me\""));
    for (char c : bytes)
        EXPECT_LT(uint8_t(c), 0x80);
}

TEST(InfBuilder, FullThemeLineByLine)
{
    ThemeDocument doc;
    fullTheme(doc);
    QStringList actual;
    GenereInf(&actual, doc, QStringLiteral("Black & White"), QStringLiteral("Été \"q\" 50%"));
    expectLines(actual, lines(R"(
[Version]
Signature = "$Chicago$"
CESignature = "$Windows CE$"
Provider = "Pelorin"

[CEStrings]
AppName ="Été ""q"" 50%%"
InstallDir = "%CE2%" ; (\Windows)

[CEDevice]
ProcessorType = 2577
UnsupportedPlatforms = "HPC","JUPITER"
VersionMin = 3.0
VersionMax = 100.0

[SourceDisksNames]
1 = ,"Autre",,\

[SourceDisksFiles]
"tdywater_240_320.gif" = 1
"tdywater_320_240.gif" = 1
"stwater_240_320.gif" = 1
"stwater_320_240.gif" = 1

[DefaultInstall]
AddReg = ClesRegistre
CopyFiles = CopierVersDir00

[CopierVersDir00]  ; (%CE2% : \Windows)
"tdywater_240_320.gif",,,0x40000000
"tdywater_320_240.gif",,,0x40000000
"stwater_240_320.gif",,,0x40000000
"stwater_320_240.gif",,,0x40000000

[DestinationDirs]
CopierVersDir00 = 0, %InstallDir%

[Strings]
reg_path00 = Software\Microsoft\Color
reg_path01 = Software\Microsoft\Today
reg_path02 = Software\Microsoft\Today\Black & White.tsk

[ClesRegistre]
HKLM,%reg_path00%, 5,0x00000001,2E,97,E3,00        ;Navigation Bar, Color 1
HKLM,%reg_path00%,25,0x00000001,A0,B0,C0,00        ;Important Message (Col 1)
HKLM,%reg_path00%,34,0x00000001,11,22,33,00        ;Couleur 34 (WM5)
HKLM,%reg_path00%,BaseHue,0x00010001,170           ; WM5
HKCU,%reg_path01%,DPI,0x00010001,192               ; WM5
HKCU,%reg_path02%,Color_Highlight,0x00010001,4227327
HKCU,%reg_path02%,UseDefaultTitleColor,0x00010001,1
HKCU,%reg_path02%,Color34,0x00010001,-1
)"));
}

// The theme's own key names the theme: a "%" in it is doubled, as in AppName,
// so that the INF reader does not take it for a string reference.
TEST(InfBuilder, APercentInTheThemeNameIsDoubledOnTheKeyLine)
{
    ThemeDocument doc;
    doc.setClesTheme({QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")});
    QStringList l;
    GenereInf(&l, doc, QStringLiteral("50% %reg_path00% Gris"), QStringLiteral("A"));
    EXPECT_EQ(l.filter(QStringLiteral("reg_path02 =")),
              QStringList{QStringLiteral("reg_path02 = Software\\Microsoft\\Today\\50%% %%reg_path00%% Gris.tsk")});
    EXPECT_EQ(l.last(), QStringLiteral("HKCU,%reg_path02%,UseDefaultTitleColor,0x00010001,1"));
}

TEST(InfBuilder, EmptyThemeAndStartOnlyAndBaseHueAlone)
{
    ThemeDocument doc;
    QStringList empty;
    GenereInf(&empty, doc, "T", "T");
    ASSERT_GE(empty.size(), 3);
    EXPECT_EQ(empty.mid(empty.size() - 3), (QStringList{"[Strings]", "", "[ClesRegistre]"}));
    EXPECT_EQ(empty.filter("gif").size(), 4);

    doc.setFormatTheme(4);
    ParametresWM5 p;
    p.UseStartImageDefini = true;
    p.ValUseStartImage = 1;
    doc.setParametres(p);
    QStringList startOnly;
    GenereInf(&startOnly, doc, "T", "T");
    EXPECT_EQ(startOnly.filter("gif"), (QStringList{
                                           "\"stwater_240_320.gif\" = 1",
                                           "\"stwater_320_240.gif\" = 1",
                                           "\"stwater_240_320.gif\",,,0x40000000",
                                           "\"stwater_320_240.gif\",,,0x40000000",
                                       }));
    EXPECT_EQ(startOnly.mid(startOnly.size() - 5),
              (QStringList{"[Strings]", "reg_path01 = Software\\Microsoft\\Today", "", "[ClesRegistre]",
                           "HKCU,%reg_path01%,UseStartImage,0x00010001,1 ; WM5"}));

    // BaseHue lives under the colour key even with no slot and no colour 34:
    // the key and its value are written (the CE setup file carries it too).
    p = {};
    p.BaseHueDefini = true;
    p.ValBaseHue = -3;
    doc.setParametres(p);
    QStringList baseHue;
    GenereInf(&baseHue, doc, "T", "T");
    EXPECT_EQ(baseHue.mid(baseHue.size() - 5),
              (QStringList{"[Strings]", "reg_path00 = Software\\Microsoft\\Color", "", "[ClesRegistre]",
                           "HKLM,%reg_path00%,BaseHue,0x00010001,-3           ; WM5"}));
}
