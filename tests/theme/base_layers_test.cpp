#include "theme/arrondi.h"
#include "theme/byte_io.h"
#include "theme/couleur.h"
#include "theme/cp1252.h"
#include "theme/ini_file.h"
#include "theme/member_name.h"
#include "theme/prompts.h"
#include "tests/support/test_env.h"

#include <gtest/gtest.h>

TEST(Arrondi, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(arrondi(0.5), 0);
    EXPECT_EQ(arrondi(1.5), 2);
    EXPECT_EQ(arrondi(2.5), 2);
    EXPECT_EQ(arrondi(-2.5), -2);
    EXPECT_EQ(arrondi(-1.5), -2);
    EXPECT_EQ(arrondi(2.4999), 2);
    EXPECT_EQ(arrondi(2.5001), 3);
}

TEST(Couleur, RedLivesInTheLowByteAndConvertsExplicitly)
{
    const TColor c = TColor::fromRgb(0x2E, 0x97, 0xE3);
    EXPECT_EQ(c.value(), 0xE3972Eu);
    EXPECT_EQ(c.toQRgb(), qRgba(0x2E, 0x97, 0xE3, 255));
    EXPECT_EQ(TColor::fromQRgb(qRgb(1, 2, 3)), TColor::fromRgb(1, 2, 3));
    EXPECT_EQ(CouleurVersTexte(c), QStringLiteral("2E,97,E3,00"));
    EXPECT_EQ(CouleurVersTexte(TColor::fromRgb(0x0a, 0, 0xff)), QStringLiteral("0A,00,FF,00"));
}

TEST(Couleur, TextReadsCharactersOneToEightAndIgnoresTheRest)
{
    EXPECT_EQ(TexteVersCouleur(QStringLiteral("FF,80,00,00;  comment")), TColor::fromRgb(0xFF, 0x80, 0));
    EXPECT_EQ(TexteVersCouleur(QStringLiteral("2e,97,e3")), TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_FALSE(TexteVersCouleur(QStringLiteral("GG,00,00,00")));
    EXPECT_FALSE(TexteVersCouleur(QStringLiteral("FF,00,0")));
    EXPECT_FALSE(TexteVersCouleur(QStringLiteral("+F,00,00,00")));
    EXPECT_FALSE(TexteVersCouleur(QString()));
}

TEST(Cp1252, RoundTripsEveryByteAndRefusesWhatItCannotHold)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = cp1252::decode(all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0xE9), QChar(0xE9));
    EXPECT_EQ(cp1252::encode(text), all);

    EXPECT_EQ(cp1252::encode(QStringLiteral("Thème €")), QByteArray("Th\xe8me \x80"));
    EXPECT_FALSE(cp1252::encode(QStringLiteral("日本")));
    EXPECT_EQ(cp1252::firstUnencodable(QStringLiteral("ab\u0416c")), QStringLiteral("\u0416"));
    EXPECT_TRUE(cp1252::canEncode(QStringLiteral("plain")));
}

// What a Windows-1252 file holds of any text: one "?" per character the code
// page lacks (a surrogate pair is one character, a lone surrogate too), every
// other character as its own byte.
TEST(Cp1252, LossyEncodingPutsOneQuestionMarkPerMissingCharacter)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(cp1252::encodeLossy(cp1252::decode(all)), all);
    EXPECT_EQ(cp1252::encodeLossy(QStringLiteral("Тема €é")), QByteArray("???? \x80\xe9"));
    EXPECT_EQ(cp1252::representable(QStringLiteral("a\U0001F319b")), QStringLiteral("a?b"));
    EXPECT_EQ(cp1252::representable(QString(QChar(0xD83C)) + "x" + QChar(0xDF19)), QStringLiteral("?x?"));
    EXPECT_EQ(cp1252::representable(QString(QChar(0xD83C))), QStringLiteral("?"));
    EXPECT_EQ(cp1252::encodeLossy(QString()), QByteArray());
}

TEST(ByteReader, NeverReadsPastTheEndAndKeepsItsPositionOnFailure)
{
    const QByteArray data("\x01\x02\x03\x04\x05", 5);
    ByteReader r(data);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_EQ(r.pos(), 2);
    EXPECT_FALSE(r.u32());
    EXPECT_EQ(r.pos(), 2);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.u8(), 3);
    EXPECT_FALSE(r.bytes(-1));
    EXPECT_FALSE(r.bytes(3));
    EXPECT_EQ(r.bytes(2), QByteArray("\x04\x05", 2));
    EXPECT_EQ(r.u32At(1), 0x05040302u);
    EXPECT_FALSE(r.u32At(2));
    EXPECT_FALSE(r.bytesAt(4, 2));
    EXPECT_FALSE(r.bytesAt(-1, 1));
    EXPECT_FALSE(r.seek(6));
}

TEST(ByteWriter, WritesLittleEndianAndPatches)
{
    ByteWriter w;
    w.u32(0x11223344);
    w.u16(0xAABB);
    w.zeros(2);
    w.patchU16(6, 0x0102);
    EXPECT_EQ(w.data(), QByteArray("\x44\x33\x22\x11\xBB\xAA\x02\x01", 8));
}

TEST(IniFile, ReadsLikeTheWindowsProfileReader)
{
    const IniFile ini = IniFile::fromBytes(
        "[CouleursTSK]   ; My theme\r\n"
        "coul09 = FF,80,00,00;  a comment\r\n"
        "COUL05=01,02,03,00\r\n"
        "coul09 = 00,00,00,00\r\n"
        "; a comment line\r\n"
        "no equals sign\r\n"
        "[Options]\r\n"
        "Hex=$10\r\n"
        "Neg=-4\r\n"
        "Bad=12a\r\n"
        "Quoted=\"a b\"\r\n");
    EXPECT_EQ(ini.keys(QStringLiteral("couleurstsk")),
              (QStringList{"coul09", "COUL05", "coul09"}));
    EXPECT_EQ(ini.readString("CouleursTSK", "Coul09"), QStringLiteral("FF,80,00,00;  a comment"));
    EXPECT_EQ(ini.readString("CouleursTSK", "coul05"), QStringLiteral("01,02,03,00"));
    EXPECT_EQ(ini.readInteger("Options", "Hex", 0), 16);
    EXPECT_EQ(ini.readInteger("Options", "Neg", 0), -4);
    EXPECT_EQ(ini.readInteger("Options", "Bad", 7), 7);
    EXPECT_EQ(ini.readInteger("Options", "Missing", 9), 9);
    EXPECT_EQ(ini.readString("Options", "Quoted"), QStringLiteral("a b"));
    EXPECT_TRUE(ini.readBool("Options", "Hex", false));
    EXPECT_EQ(IniFile::parseInteger("$FFFFFFFF"), -1);
    EXPECT_FALSE(IniFile::parseInteger("99999999999"));
}

TEST(IniFile, WritesInPlaceKeepsOtherLinesAndSavesAtomically)
{
    IniFile ini = IniFile::fromBytes("; head\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ini.writeString("a", "X", "3");
    ini.writeString("A", "z", "4");
    ini.writeInteger("C", "w", -5);
    ini.writeBool("B", "b", true);
    EXPECT_EQ(ini.toBytes(), QByteArray("; head\r\n[A]\r\nX=3\r\nz=4\r\n\r\n[B]\r\ny=2\r\nb=1\r\n[C]\r\nw=-5\r\n"));

    const QString path = testenv::programDir() + "/t.ini";
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(testenv::readFile(path), ini.toBytes());
    EXPECT_FALSE(ini.save(testenv::programDir() + "/missing-folder/t.ini"));
    EXPECT_FALSE(ini.errorString().isEmpty());
}

TEST(IniFile, AFileFarLargerThanAnIniFileIsNotRead)
{
    const QString path = testenv::programDir() + "/grand.ini";
    QByteArray octets("[A]\r\nx=1\r\n");
    testenv::writeFile(path, octets + QByteArray(IniFile::TailleMax - octets.size(), ';'));
    EXPECT_EQ(IniFile(path).readString("A", "x"), QStringLiteral("1"));
    testenv::writeFile(path, octets + QByteArray(IniFile::TailleMax - octets.size() + 1, ';'));
    EXPECT_TRUE(IniFile(path).sections().isEmpty());
}

TEST(IniFile, KeepsTextThatWindows1252CannotHold)
{
    IniFile ini;
    ini.writeString("Options", "Dir", QStringLiteral("/home/user/Thèmes"));
    EXPECT_EQ(ini.toBytes(), QByteArray("[Options]\r\nDir=/home/user/Th\xe8mes\r\n"));
    ini.writeString("Options", "Dir", QStringLiteral("/home/user/テーマ"));
    const IniFile back = IniFile::fromBytes(ini.toBytes());
    EXPECT_EQ(back.readString("Options", "Dir"), QStringLiteral("/home/user/テーマ"));
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=Th\xe8me\r\n").readString("S", "k"), QStringLiteral("Thème"));
}

// One decoding for a whole file: the bytes written read back as the same
// text. Windows-1252 that happens to be valid UTF-8 ("Ã©" is C3 A9, "é" in
// UTF-8) is written in UTF-8; a file read as Windows-1252 writes back byte
// for byte.
TEST(IniFile, WhatItWritesReadsBackAsTheSameText)
{
    for (const QString &valeur : {QStringLiteral("/home/CafÃ©"), QStringLiteral("Ð¢ÐµÐ¼Ð°"), QStringLiteral("Café"),
                                  QStringLiteral("CafÃ© Café"), QStringLiteral("plain"), QStringLiteral("€ â‚¬")}) {
        IniFile ini;
        ini.writeString("Options", "Dir", valeur);
        const QByteArray octets = ini.toBytes();
        EXPECT_EQ(IniFile::fromBytes(octets).readString("Options", "Dir"), valeur) << octets.toHex().toStdString();
        // Windows-1252 whenever that reads back: what the Windows tools read.
        const QByteArray windows1252 = "[Options]\r\nDir=" + cp1252::encodeLossy(valeur) + "\r\n";
        const bool relisible = IniFile::detectEncoding(windows1252) == IniFile::Encoding::Windows1252
                               || valeur == QStringLiteral("plain");
        EXPECT_EQ(octets == windows1252, relisible) << octets.toHex().toStdString();
    }
    for (const QByteArray &fichier : {QByteArray("[S]\r\nk=Caf\xC3\xA9 \xE9\r\n"), QByteArray("[S]\r\nk=Caf\xC3\xA9\r\n"),
                                      QByteArray("[S]\r\nk=\xC3\x83\xC2\xA9\r\n")}) {
        const IniFile ini = IniFile::fromBytes(fichier);
        EXPECT_EQ(ini.encoding(), IniFile::detectEncoding(fichier));
        EXPECT_EQ(IniFile::fromBytes(ini.toBytes()).readString("S", "k"), ini.readString("S", "k"))
            << fichier.toHex().toStdString();
    }
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=Caf\xC3\xA9 \xE9\r\n").toBytes(), "[S]\r\nk=Caf\xC3\xA9 \xE9\r\n");
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=Caf\xC3\xA9 \xE9\r\n").readString("S", "k"), QStringLiteral("CafÃ© é"));
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=Caf\xC3\xA9\r\n").readString("S", "k"), QStringLiteral("Café"));
    // A line read with the decoding of its file, not its own.
    EXPECT_EQ(IniFile::fromBytes("[S]\r\nk=Caf\xC3\xA9\r\n", IniFile::Encoding::Windows1252).readString("S", "k"),
              QStringLiteral("CafÃ©"));
}

TEST(MemberName, RefusesEveryNameThatCouldLeaveTheFolder)
{
    for (const char *bad : {"", ".", "..", "..\\x", "../x", "/etc/x", "C:\\x", "c:x", "a\\b", "a/b",
                            "nul", "CON.txt", "com1", "lpt9.gif", "tab\tname", "x.", "x "})
        EXPECT_FALSE(estNomMembreSur(QString::fromLatin1(bad))) << bad;
    for (const char *good : {"tdywater.001", "TDYWAT~1.001", "_setup.xml", "My Theme~1.000", "console.gif"})
        EXPECT_TRUE(estNomMembreSur(QString::fromLatin1(good))) << good;
    EXPECT_FALSE(estNomMembreSur(QString(256, QLatin1Char('a'))));
    EXPECT_EQ(cleNomMembre("TDYWAT~1.001"), QStringLiteral("tdywat~1.001"));
}

TEST(Prompts, WindowsFiltersBecomeQtFilters)
{
    EXPECT_EQ(filtreVersQt("Colors File (*.ini)|*.ini"), QStringList{"Colors File (*.ini)"});
    EXPECT_EQ(filtreVersQt("Themes|*.tsk;*.cab|All (*.*)|*.*"),
              (QStringList{"Themes (*.tsk *.cab)", "All (*.*)"}));
}
