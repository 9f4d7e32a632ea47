#include "theme/setup_ce_writer.h"

#include "tests/support/test_env.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// Expected bytes are spelled out by hand from the published layout: hex
// pieces and zero-terminated texts.
QByteArray h(const char *hex)
{
    return QByteArray::fromHex(hex);
}
QByteArray z(const char *text)
{
    return QByteArray(text) + '\0';
}
QByteArray cat(std::initializer_list<QByteArray> pieces)
{
    QByteArray out;
    for (const QByteArray &p : pieces)
        out += p;
    return out;
}

const QByteArray kProvider = h("50656c6f72696e00");                 // "Pelorin\0"
const QByteArray kPlatforms = h("48504300 4a55504954455200 00");     // "HPC\0JUPITER\0\0"
const QByteArray kStrings1to5 = cat({h("0100 0600"), z("%CE2%"), h("0200 0600"), z("%CE2%"), h("0300 0900"),
                                     z("Software"), h("0400 0a00"), z("Microsoft"), h("0500 0600"), z("Color")});
const QByteArray kDirectories = h("0200 0400 0200 0000 0100 0400 0100 0000");
const QByteArray kFilesBoth = cat({h("0100 0200 0100 00000040 0d00"), z("tdywater.gif"),
                                   h("0200 0200 0200 00000040 0c00"), z("stwater.gif")});
const QByteArray kHive1 = h("0100 0300 0000 0800 0300 0400 0500 0000");

// Header from its counts and offsets (app name length includes its zero).
QByteArray header(uint32_t length, uint16_t strings, uint16_t files, uint16_t hives, uint16_t keys,
                  uint32_t oStrings, uint32_t oDirs, uint32_t oFiles, uint32_t oHives, uint32_t oKeys,
                  uint16_t appLen)
{
    QByteArray b = h("4d534345 00000000");
    const auto u32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b += char((v >> (8 * i)) & 0xFF);
    };
    const auto u16 = [&b](uint16_t v) {
        b += char(v & 0xFF);
        b += char(v >> 8);
    };
    u32(length);
    b += h("00000000 01000000 110a0000 03000000 00000000 64000000 00000000 00000000 00000000");
    u16(strings);
    u16(2);
    u16(files);
    u16(hives);
    u16(keys);
    u16(0);
    for (uint32_t o : {oStrings, oDirs, oFiles, oHives, oKeys, length})
        u32(o);
    u16(100);
    u16(appLen);
    u16(uint16_t(100 + appLen));
    u16(8);
    u16(uint16_t(100 + appLen + 8));
    u16(13);
    u32(0);
    return b;
}

// An independent walk of a setup file by its header: every section read
// record by record must end exactly where the next one starts.
struct Walk
{
    QList<QPair<int, QByteArray>> strings;
    struct File { int id, dir, number; uint32_t flags; QByteArray name; };
    QList<File> files;
    QList<QList<int>> hives;
    struct Key { int id, hive; uint32_t flags; QByteArray name; QByteArray data; };
    QList<Key> keys;
};

uint16_t rd16(const QByteArray &b, int o)
{
    return uint16_t(uint8_t(b[o]) | uint8_t(b[o + 1]) << 8);
}
uint32_t rd32(const QByteArray &b, int o)
{
    return rd16(b, o) | uint32_t(rd16(b, o + 2)) << 16;
}

Walk walk(const QByteArray &b)
{
    Walk w;
    EXPECT_EQ(b.left(4), QByteArray("MSCE"));
    EXPECT_EQ(rd32(b, 8), uint32_t(b.size()));
    EXPECT_EQ(rd32(b, 80), uint32_t(b.size()));
    EXPECT_EQ(rd16(b, 84), 100);
    const int appLen = rd16(b, 86);
    EXPECT_EQ(b.at(100 + appLen - 1), '\0');
    EXPECT_EQ(b.mid(rd16(b, 88), 8), kProvider);
    EXPECT_EQ(b.mid(rd16(b, 92), 13), kPlatforms);
    int pos = int(rd32(b, 60));
    EXPECT_EQ(pos, 100 + appLen + 8 + 13);
    for (int i = 0; i < rd16(b, 48); ++i) {
        const int len = rd16(b, pos + 2);
        EXPECT_EQ(b.at(pos + 4 + len - 1), '\0');
        w.strings.append({rd16(b, pos), b.mid(pos + 4, len - 1)});
        pos += 4 + len;
    }
    EXPECT_EQ(pos, int(rd32(b, 64)));
    EXPECT_EQ(b.mid(pos, 16), kDirectories);
    pos += 16;
    EXPECT_EQ(pos, int(rd32(b, 68)));
    for (int i = 0; i < rd16(b, 52); ++i) {
        const int len = rd16(b, pos + 10);
        w.files.append({rd16(b, pos), rd16(b, pos + 2), rd16(b, pos + 4), rd32(b, pos + 6), b.mid(pos + 12, len - 1)});
        pos += 12 + len;
    }
    EXPECT_EQ(pos, int(rd32(b, 72)));
    for (int i = 0; i < rd16(b, 54); ++i) {
        const int len = rd16(b, pos + 6);
        QList<int> ids{rd16(b, pos), rd16(b, pos + 2)};
        for (int k = 0; k < len / 2; ++k)
            ids << rd16(b, pos + 8 + 2 * k);
        w.hives.append(ids);
        pos += 8 + len;
    }
    EXPECT_EQ(pos, int(rd32(b, 76)));
    for (int i = 0; i < rd16(b, 56); ++i) {
        const int len = rd16(b, pos + 10);
        const QByteArray data = b.mid(pos + 12, len);
        const int zero = data.indexOf('\0');
        w.keys.append({rd16(b, pos), rd16(b, pos + 2), rd32(b, pos + 6), data.left(zero), data.mid(zero + 1)});
        pos += 12 + len;
    }
    EXPECT_EQ(pos, b.size());
    return w;
}

QByteArray build(const ThemeDocument &doc, const QString &app, const QString &theme = QStringLiteral("Theme"))
{
    QString err;
    const auto bytes = ConstruitFichier000(doc, app, theme, &err);
    EXPECT_TRUE(bytes.has_value()) << err.toStdString();
    return bytes.value_or(QByteArray());
}

} // namespace

TEST(SetupCeWriter, NothingIncludedIs266BytesForASixCharacterName)
{
    ThemeDocument doc; // format 3, both pictures
    const QByteArray expected = cat({header(266, 5, 2, 1, 0, 128, 185, 201, 250, 266, 7), z("Orvand"), kProvider,
                                     kPlatforms, kStrings1to5, kDirectories, kFilesBoth, kHive1});
    ASSERT_EQ(expected.size(), 266);
    EXPECT_EQ(build(doc, "Orvand"), expected);
}

TEST(SetupCeWriter, OneSlotAddsAnEighteenByteKey)
{
    ThemeDocument doc;
    doc.setInclus(0, true); // number 5, default colour 2E,97,E3
    const QByteArray expected =
        cat({header(284, 5, 2, 1, 1, 128, 185, 201, 250, 266, 7), z("Orvand"), kProvider, kPlatforms, kStrings1to5,
             kDirectories, kFilesBoth, kHive1, h("0100 0100 0000 01000000 0600"), z("5"), h("2e97e300")});
    EXPECT_EQ(build(doc, "Orvand"), expected);
}

TEST(SetupCeWriter, ThemeValuesWithoutTodayValuesUseHivesOneAndThree)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme({
        "Color_Highlight\t2E97E300\t\t1",
        "UseDefaultTitleColor\t00000001\t\t65537",
        "NotListed\t01020304\t\t1",     // not a theme key name
        "Color_MenuText\tZZ\t\t1",      // not hexadecimal
        "Color_TitleFlat\t2E97E3\t\t1", // three bytes only
        "Color34\t00E3972E\t\t65537",   // a colour read as DWORD: same four bytes
        "Color_CommandBar\tABC\t\t0",   // a string: no record for it
        "Color_CaptionFlat 2E97E300 1", // no TABs
    });
    // "Été" in Windows-1252 is C9 74 E9.
    const QByteArray expected = cat({
        header(396, 7, 2, 2, 3, 125, 204, 220, 269, 303, 4),
        h("c974e900"), kProvider, kPlatforms, kStrings1to5,
        h("0600 0600"), z("Today"), h("0700 0800 c974e9"), z(".tsk"),
        kDirectories, kFilesBoth, kHive1,
        h("0300 0200 0000 0a00 0300 0400 0600 0700 0000"),
        h("0100 0300 0000 01000000 1400"), z("Color_Highlight"), h("2e97e300"),
        h("0200 0300 0000 01000100 1900"), z("UseDefaultTitleColor"), h("01000000"),
        h("0300 0300 0000 01000000 0c00"), z("Color34"), h("2e97e300"),
    });
    EXPECT_EQ(build(doc, QStringLiteral("Été"), QStringLiteral("Été")), expected);
    walk(expected);
}

TEST(SetupCeWriter, StartOnlyFormatFourWithEveryWm5Value)
{
    ThemeDocument doc;
    doc.setFormatTheme(4);
    doc.setInclus(13, true); // number 25
    doc.setCouleur(13, TColor::fromRgb(0xA0, 0xB0, 0xC0));
    ParametresWM5 p;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(0x11, 0x22, 0x33);
    p.BaseHueDefini = true;
    p.ValBaseHue = -5;
    p.DPIDefini = true;
    p.ValDPI = 192;
    p.UseStartImageDefini = true;
    p.ValUseStartImage = 1;
    doc.setParametres(p);
    const QByteArray expected = cat({
        header(419, 6, 2, 2, 5, 128, 195, 211, 275, 307, 7),
        z("Orvand"), kProvider, kPlatforms, kStrings1to5, h("0600 0600"), z("Today"), kDirectories,
        h("0100 0200 0100 00000040 1400"), z("stwater_240_320.gif"),
        h("0200 0200 0200 00000040 1400"), z("stwater_320_240.gif"),
        kHive1, h("0200 0200 0000 0800 0300 0400 0600 0000"),
        h("0100 0100 0000 01000000 0700"), z("25"), h("a0b0c000"),
        h("0200 0100 0000 01000000 0700"), z("34"), h("11223300"),
        h("0300 0100 0000 01000100 0c00"), z("BaseHue"), h("fbffffff"),
        h("0400 0200 0000 01000100 0800"), z("DPI"), h("c0000000"),
        h("0500 0200 0000 01000100 1200"), z("UseStartImage"), h("01000000"),
    });
    EXPECT_EQ(build(doc, "Orvand"), expected);
}

TEST(SetupCeWriter, FileRecordsForEveryPictureSetAndFormat)
{
    struct Case { int format; bool startOnly; QList<std::tuple<int, int, const char *>> files; };
    const QList<Case> cases{
        {3, false, {{1, 1, "tdywater.gif"}, {2, 2, "stwater.gif"}}},
        {0, false, {{1, 1, "tdywater.gif"}, {2, 2, "stwater.gif"}}},
        {8, true, {{1, 1, "stwater.gif"}}},
        {4, false, {{3, 1, "stwater_240_320.gif"}, {4, 2, "stwater_320_240.gif"},
                    {1, 3, "tdywater_240_320.gif"}, {2, 4, "tdywater_320_240.gif"}}},
        {5, false, {{3, 1, "stwater_480_640.gif"}, {4, 2, "stwater_640_480.gif"},
                    {1, 3, "tdywater_480_640.gif"}, {2, 4, "tdywater_640_480.gif"}}},
        {4, true, {{1, 1, "stwater_240_320.gif"}, {2, 2, "stwater_320_240.gif"}}},
        {5, true, {{1, 1, "stwater_480_640.gif"}, {2, 2, "stwater_640_480.gif"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format * 10 + c.startOnly);
        ThemeDocument doc;
        doc.setFormatTheme(c.format);
        ParametresWM5 p;
        p.UseStartImageDefini = c.startOnly;
        doc.setParametres(p);
        const Walk w = walk(build(doc, "App"));
        ASSERT_EQ(w.files.size(), c.files.size());
        for (int i = 0; i < c.files.size(); ++i) {
            EXPECT_EQ(w.files[i].id, std::get<0>(c.files[i]));
            EXPECT_EQ(w.files[i].number, std::get<1>(c.files[i]));
            EXPECT_EQ(w.files[i].name, QByteArray(std::get<2>(c.files[i])));
            EXPECT_EQ(w.files[i].dir, 2);
            EXPECT_EQ(w.files[i].flags, 0x40000000u);
        }
    }
}

TEST(SetupCeWriter, FullThemeWalksConsistently)
{
    ThemeDocument doc;
    doc.setFormatTheme(5);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        doc.setInclus(i, true);
    ParametresWM5 p;
    p.Coul34Definie = p.BaseHueDefini = p.DPIDefini = p.ClesThemeDefinies = true;
    doc.setParametres(p);
    QStringList lines;
    for (const QString &name : ListeTDThemeCles)
        lines << name + QStringLiteral("\t0A0B0C00\t\t1");
    doc.setClesTheme(lines);
    const Walk w = walk(build(doc, QString(79, QLatin1Char('x'))));
    // 22 slots, 34, BaseHue, DPI, then 16 binary theme values (the DWORD-only
    // name "UseDefaultTitleColor" as binary is still a listed binary value).
    EXPECT_EQ(w.keys.size(), 22 + 3 + 17);
    EXPECT_EQ(w.keys[0].name, QByteArray("5"));
    EXPECT_EQ(w.keys[13].name, QByteArray("25"));
    EXPECT_EQ(w.keys[21].name, QByteArray("40"));
    EXPECT_EQ(w.keys[21].data, h("4ab2eb00"));
    for (int i = 0; i < w.keys.size(); ++i)
        EXPECT_EQ(w.keys[i].id, i + 1);
    EXPECT_EQ(w.hives.size(), 3);
    EXPECT_EQ(w.strings.last().second, QByteArray("Theme.tsk"));
}

TEST(SetupCeWriter, RefusesNamesItCannotHold)
{
    ThemeDocument doc;
    QString err;
    EXPECT_FALSE(ConstruitFichier000(doc, QString(80, QLatin1Char('x')), "T", &err));
    EXPECT_TRUE(err.contains("79")) << err.toStdString();
    EXPECT_FALSE(ConstruitFichier000(doc, QStringLiteral("Ωmega"), "T", &err));
    EXPECT_TRUE(err.contains(QStringLiteral("Ω")));
    EXPECT_FALSE(ConstruitFichier000(doc, QString::fromLatin1("A\0B", 3), "T", &err));
    // The euro sign has a Windows-1252 byte: one byte of length.
    const QByteArray euro = build(doc, QStringLiteral("€"));
    EXPECT_EQ(euro.mid(100, 2), h("8000"));
    EXPECT_EQ(rd16(euro, 86), 2);

    // The theme name is checked only when it is written (theme values present).
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    EXPECT_FALSE(ConstruitFichier000(doc, "App", QStringLiteral("日本"), &err));

    // Nothing is written, an existing file stays as it was.
    const QString dir = testenv::tempDir();
    testenv::writeFile(dir + "/Orvand~1.000", "old");
    EXPECT_FALSE(EcritFichier000(doc, QString(80, QLatin1Char('x')), "Orvand", "T", dir, &err));
    EXPECT_EQ(testenv::readFile(dir + "/Orvand~1.000"), QByteArray("old"));
    EXPECT_TRUE(EcritFichier000(doc, "Orvand", "Orvand", "T", dir, &err));
    EXPECT_EQ(testenv::readFile(dir + "/Orvand~1.000"), build(doc, "Orvand", "T"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 1);
}

// A setup file that no package carries (the "+ Xml" package leaves it in the
// work folder) holds names as near as it can: "?" for each character
// Windows-1252 lacks (a surrogate pair is one) or for a control character,
// the application name cut to its field; the counts and offsets still agree.
TEST(SetupCeWriter, ApproximateNamesForAFileNoPackageCarries)
{
    ThemeDocument doc;
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme({"UseDefaultTitleColor\t00000001\t\t65537"});
    const QString nom = QStringLiteral("Тема \U0001F319 é");
    QString err;
    EXPECT_FALSE(ConstruitFichier000(doc, nom, nom, &err));
    EXPECT_TRUE(err.contains(QStringLiteral("U+0422"))) << err.toStdString();

    const auto approche = ConstruitFichier000(doc, nom, nom, &err, NomsSetupCE::Approches);
    ASSERT_TRUE(approche);
    const Walk w = walk(*approche);
    EXPECT_EQ(approche->mid(100, rd16(*approche, 86)), QByteArray("???? ? \xe9\0", 9));
    EXPECT_EQ(w.strings.last(), qMakePair(7, QByteArray("???? ? \xe9.tsk")));

    const auto coupe = ConstruitFichier000(doc, QString(100, QLatin1Char('x')), QStringLiteral("a\tb"), &err,
                                           NomsSetupCE::Approches);
    ASSERT_TRUE(coupe);
    const Walk wc = walk(*coupe);
    EXPECT_EQ(rd16(*coupe, 86), 80);
    EXPECT_EQ(wc.strings.last(), qMakePair(7, QByteArray("a?b.tsk")));

    // Written beside the package, replacing an earlier one.
    const QString dir = testenv::tempDir();
    testenv::writeFile(dir + QStringLiteral("/ТемаЗи~1.000"), "old");
    ASSERT_TRUE(EcritFichier000(doc, nom, QStringLiteral("ТемаЗи"), nom, dir, &err, NomsSetupCE::Approches));
    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/ТемаЗи~1.000")), *approche);
}
