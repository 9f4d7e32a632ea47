#include "theme/setup_xml_reader.h"

#include <gtest/gtest.h>

namespace {

// A document laid out as the package writer writes it.
QByteArray document(const QStringList &fichiers, const QString &registre, const QString &avant = {})
{
    QString s = avant + "<wap-provisioningdoc>\r\n\t<characteristic type=\"Install\">\r\n"
                "\t\t<parm name=\"InstallPhase\" value=\"install\"/>\r\n"
                "\t\t<parm name=\"ProcessorType\" value=\"2577\"/>\r\n"
                "\t\t<parm name=\"OSVersionMin\" value=\"3.0\"/>\r\n"
                "\t\t<parm name=\"OSVersionMax\" value=\"100.0\"/>\r\n"
                "\t\t<parm name=\"AppName\" value=\"Mon &amp; Theme\"/>\r\n"
                "\t\t<parm name=\"NumFiles\" value=\"2\"/>\r\n"
                "\t</characteristic>\r\n\t<characteristic type=\"FileOperation\">\r\n"
                "\t\t<characteristic type=\"%CE2%\" translation=\"install\">\r\n"
                "\t\t\t<characteristic type=\"MakeDir\"/>\r\n";
    for (const QString &f : fichiers) {
        const QStringList p = f.split('|');
        s += "\t\t\t<characteristic type=\"" + p[0] + "\" translation=\"install\">\r\n"
             "\t\t\t\t<characteristic type=\"Extract\">\r\n\t\t\t\t\t<parm name=\"Source\" value=\"" + p[1]
             + "\"/>\r\n\t\t\t\t</characteristic>\r\n\t\t\t</characteristic>\r\n";
    }
    s += "\t\t</characteristic>\r\n\t</characteristic>\r\n" + registre + "</wap-provisioningdoc>\r\n";
    return s.toUtf8();
}

const QString registreComplet =
    "\t<characteristic type=\"Registry\">\r\n"
    "\t\t<characteristic type=\"HKLM\\Software\\Microsoft\\Color\">\r\n"
    "\t\t\t<parm name=\"5\" value=\"14915374\" datatype=\"integer\"/>\r\n"
    "\t\t\t<parm name=\"34\" value=\"LpfjAA==\" datatype=\"binary\"/>\r\n"
    "\t\t\t<parm name=\"BaseHue\" value=\"260\" datatype=\"integer\"/>\r\n"
    "\t\t</characteristic>\r\n"
    "\t\t<characteristic type=\"HKCU\\Software\\Microsoft\\Today\">\r\n"
    "\t\t\t<parm name=\"DPI\" value=\"192\" datatype=\"integer\"/>\r\n"
    "\t\t\t<parm name=\"UseStartImage\" value=\"1\" datatype=\"integer\"/>\r\n"
    "\t\t</characteristic>\r\n"
    "\t\t<characteristic type=\"hkcu\\software\\microsoft\\today\\A.tsk\">\r\n"
    "\t\t\t<parm name=\"UseDefaultTitleColor\" value=\"-1\" datatype=\"integer\"/>\r\n"
    "\t\t\t<parm name=\"Color_Highlight\" value=\"14915374\" datatype=\"integer\"/>\r\n"
    "\t\t</characteristic>\r\n\t</characteristic>\r\n";

} // namespace

TEST(LireXmlSetup, ReadsAWriterDocument)
{
    const auto r = LireXmlSetup(document({"tdywater.gif|tdywater.001", "stwater.gif|0stwater.002"}, registreComplet));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->groupeFormat, 0);
    EXPECT_EQ(r->membres[1], "tdywater.001");
    EXPECT_EQ(r->membres[0], "0stwater.002");
    EXPECT_EQ(r->NomInterneLu, "Mon & Theme");
    EXPECT_EQ(r->ProcessorType, "2577");
    EXPECT_EQ(r->NumFiles, 2);
    EXPECT_EQ(r->NomSousCleTheme, "A.tsk");
    EXPECT_EQ(r->ListeEnrFichiers, (QStringList{"\"tdywater.gif\",,,0x40000000", "\"stwater.gif\",,,0x40000000"}));
    EXPECT_EQ(r->ValeursCouleurs,
              (QStringList{"5\t00E3972E\t\t65537", "34\t2E97E300\t\t1", "BaseHue\t00000104\t\t65537"}));
    EXPECT_EQ(r->ValeursToday, (QStringList{"DPI\t000000C0", "UseStartImage\t00000001"}));
    // A colour key of datatype "integer" is a DWORD line, like any other integer.
    EXPECT_EQ(r->ClesTheme, (QStringList{"UseDefaultTitleColor\tFFFFFFFF\t\t65537", "Color_Highlight\t00E3972E\t\t65537"}));
    const ParametresWM5 &p = r->parametres;
    EXPECT_TRUE(p.Coul34Definie);
    EXPECT_EQ(p.Coul34, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_TRUE(p.BaseHueDefini);
    EXPECT_EQ(p.ValBaseHue, 260);
    EXPECT_EQ(p.ValDPI, 192);
    EXPECT_EQ(p.ValUseStartImage, 1);
    EXPECT_TRUE(p.ClesThemeDefinies);
    const QStringList &t = r->TexteInfOrig;
    EXPECT_EQ(t.mid(0, 8), (QStringList{"[Version]", "Signature = \"$Chicago$\"", "CESignature = \"$Windows CE$\"",
                                        "Provider = \"Pelorin\"", "", "[CEStrings]", "Appname = Mon & Theme",
                                        "InstallDir = \"%CE2%\" ; (\\Windows)"}));
    EXPECT_TRUE(t.contains("\"tdywater.gif\" = 1"));
    EXPECT_TRUE(t.contains("reg_path02 = Software\\Microsoft\\Today\\A.tsk"));
    EXPECT_TRUE(t.contains("HKLM,%reg_path00%,5,0x00010001,14915374"));
    EXPECT_TRUE(t.contains("HKLM,%reg_path00%,34,0x00000001,2E,97,E3,00"));
    EXPECT_TRUE(t.contains("HKCU,%reg_path02%,Color_Highlight,0x00010001,14915374"));
    EXPECT_TRUE(t.contains("HKCU,%reg_path02%,UseDefaultTitleColor,0x00010001,-1"));
    EXPECT_TRUE(r->texteDocument.startsWith("<wap-provisioningdoc>"));
    EXPECT_TRUE(r->texteDocument.contains("type=\"Install\""));
}

// The theme key line of the rebuilt INF is read whole by an INF reader when
// the key's name holds ";" or ",".
TEST(LireXmlSetup, ThemeKeyPathHoldingInfMarksIsQuoted)
{
    QString cles = registreComplet;
    cles.replace("today\\A.tsk", "today\\semi;colon, 5%.tsk");
    const auto r = LireXmlSetup(document({"tdywater.gif|tdywater.001", "stwater.gif|0stwater.002"}, cles));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->NomSousCleTheme, "semi;colon, 5%.tsk");
    EXPECT_TRUE(r->TexteInfOrig.contains("reg_path02 = \"Software\\Microsoft\\Today\\semi;colon, 5%%.tsk\""))
        << r->TexteInfOrig.join('\n').toStdString();
}

TEST(LireXmlSetup, PictureSetsAndNames)
{
    EXPECT_EQ(LireXmlSetup(document({"stwater.gif|0stwater.001"}, {}))->groupeFormat, 1);
    const auto maj = LireXmlSetup(document({"TDYWATER.GIF|a.001", "stwater.gif|b.002"}, {}));
    EXPECT_EQ(maj->groupeFormat, 1);
    EXPECT_EQ(maj->ListeEnrFichiers.size(), 2);
    EXPECT_EQ(LireXmlSetup(document({"stwater_480_640.gif|s1.001", "stwater_640_480.gif|s2.002"}, {}))->groupeFormat, 5);
    EXPECT_EQ(LireXmlSetup(document({"stwater.gif|a.001", "stwater.gif|b.002", "stwater.gif|c.003"}, {}))->groupeFormat, 6);
    // An XML declaration and a comment beside the root change nothing.
    const auto decl = LireXmlSetup(document({"tdywater.gif|t.001", "stwater.gif|s.002"}, {},
                                            "<?xml version=\"1.0\"?>\r\n<!-- a theme -->\r\n"));
    ASSERT_TRUE(decl);
    EXPECT_EQ(decl->groupeFormat, 0);
    EXPECT_EQ(decl->TexteInfOrig.count("[Version]"), 1);
}

TEST(LireXmlSetup, CharacteristicIsKnownByItsFirstAttributeOnly)
{
    QByteArray d = document({"tdywater.gif|t.001", "stwater.gif|s.002"}, registreComplet);
    d.replace("<characteristic type=\"Registry\">", "<characteristic x=\"1\" type=\"Registry\">");
    const auto r = LireXmlSetup(d);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->ValeursCouleurs.isEmpty());
    EXPECT_FALSE(r->parametres.BaseHueDefini);
    EXPECT_EQ(r->groupeFormat, 0);
}

TEST(LireXmlSetup, Colour34AsIntegerEqualsBinary)
{
    QString reg = registreComplet;
    reg.replace("value=\"LpfjAA==\" datatype=\"binary\"", "value=\"14915374\" datatype=\"integer\"");
    const auto r = LireXmlSetup(document({}, reg));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->parametres.Coul34, TColor::fromRgb(0x2E, 0x97, 0xE3));
}

TEST(LireXmlSetup, HostileDocumentsAreRefused)
{
    ErreurXmlSetup e;
    EXPECT_FALSE(LireXmlSetup(QByteArray(), &e));
    EXPECT_FALSE(LireXmlSetup("<a><b></a>", &e));
    EXPECT_EQ(e, ErreurXmlSetup::Illisible);
    EXPECT_FALSE(LireXmlSetup("<!-- only a comment -->", &e));
    EXPECT_FALSE(LireXmlSetup("<!DOCTYPE a [<!ENTITY x \"xxxxxxxx\">]><a>&x;&x;</a>", &e));
    EXPECT_EQ(e, ErreurXmlSetup::Illisible);
    QByteArray profond;
    for (int i = 0; i < 200; ++i)
        profond += "<c type=\"x\">";
    EXPECT_FALSE(LireXmlSetup(profond, &e));
    EXPECT_EQ(e, ErreurXmlSetup::TropGrand);
    EXPECT_FALSE(LireXmlSetup(QByteArray("<a>") + QByteArray(2 << 20, ' ') + "</a>", &e));
    EXPECT_EQ(e, ErreurXmlSetup::TropGrand);
    QString reg = registreComplet;
    reg.replace("value=\"260\"", "value=\"26O\"");
    EXPECT_FALSE(LireXmlSetup(document({}, reg), &e));
    EXPECT_EQ(e, ErreurXmlSetup::NombreInvalide);
    reg = registreComplet;
    reg.replace("LpfjAA==", "Lp");
    EXPECT_FALSE(LireXmlSetup(document({}, reg), &e)) << "colour 34 of fewer than 3 bytes";
    EXPECT_EQ(e, ErreurXmlSetup::ValeurInvalide);
    // A fourth key and bad Base64 elsewhere are read without harm.
    reg = registreComplet;
    reg.replace("\t</characteristic>\r\n", "\t\t<characteristic type=\"HKCU\\Software\\Other\">"
                "<parm name=\"Y\" value=\"!!!\" datatype=\"binary\"/></characteristic>\r\n\t</characteristic>\r\n");
    EXPECT_TRUE(LireXmlSetup(document({}, reg)));
}
