// ovd-devsim init: the default device holds what the device commands read.

#include "device/lien_rapi.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/devsim_support.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace devsimtest;

namespace {

int outil(const QStringList &args, QByteArray *sortie = nullptr)
{
    QProcess p;
    p.start(cheminOutil(), args);
    if (!p.waitForFinished(10000))
        return -1;
    if (sortie)
        *sortie = p.readAllStandardOutput() + p.readAllStandardError();
    return p.exitCode();
}

std::vector<BYTE> valeur(LienRapi &l, CEHKEY root, const char16_t *cle, const char16_t *nom, DWORD *type)
{
    CEHKEY k = 0;
    if (l.CeRegOpenKeyEx(root, cle, 0, 0, &k) != 0)
        return {};
    DWORD cb = 0;
    std::vector<BYTE> d;
    if (l.CeRegQueryValueEx(k, nom, nullptr, type, nullptr, &cb) == 0) {
        d.resize(cb);
        if (l.CeRegQueryValueEx(k, nom, nullptr, type, d.data(), &cb) != 0)
            d.clear();
    }
    l.CeRegCloseKey(k);
    return d;
}

std::u16string texte(const std::vector<BYTE> &d, size_t offset = 0)
{
    std::u16string s;
    for (size_t i = offset; i + 1 < d.size(); i += 2) {
        const char16_t c = char16_t(d[i] | d[i + 1] << 8);
        if (!c)
            break;
        s += c;
    }
    return s;
}

} // namespace

TEST(OutilDevsim, InitCreeUnAppareilRealiste)
{
    const QString dir = testenv::tempDir() + QStringLiteral("/mon appareil");
    ASSERT_EQ(outil({QStringLiteral("init"), dir}), 0);
    ASSERT_EQ(outil({QStringLiteral("plug"), dir}), 0);

    Controle c;
    ASSERT_EQ(c.OvdSimAttach(dir.toLocal8Bit().constData()), 0);
    LienRapi l(cheminSimulateur());
    ASSERT_TRUE(l.ConnecteCE(5000));
    const CEHKEY hklm = OVD_HKEY_LOCAL_MACHINE, hkcu = OVD_HKEY_CURRENT_USER;
    DWORD t = 0;

    auto d = valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"BaseHue", &t);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(t, DWORD(OVD_REG_DWORD));
    EXPECT_EQ(d[0] | d[1] << 8, 0x1A0);
    d = valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"5", &t);
    EXPECT_EQ(t, DWORD(OVD_REG_BINARY));
    EXPECT_EQ(d, (std::vector<BYTE>{0x2E, 0x97, 0xE3, 0}));
    d = valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"25", &t);
    EXPECT_EQ(t, DWORD(OVD_REG_DWORD));
    EXPECT_TRUE(valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"40", &t).empty());
    d = valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"SHColor", &t);
    ASSERT_EQ(d.size(), 164u); // 41 colours
    EXPECT_EQ(std::vector<BYTE>(d.begin() + 20, d.begin() + 24), (std::vector<BYTE>{0x2E, 0x97, 0xE3, 0}));
    EXPECT_EQ(valeur(l, hklm, u"SOFTWARE\\Microsoft\\Color", u"DefSHColor", &t).size(), 164u);
    EXPECT_EQ(valeur(l, hklm, u"SYSTEM\\GWE", u"SysColor", &t).size(), 116u); // 29 colours
    EXPECT_EQ(valeur(l, hklm, u"SYSTEM\\GWE", u"DefSysColor", &t).size(), 116u);

    EXPECT_EQ(texte(valeur(l, hkcu, u"Software\\Microsoft\\Today", u"Skin", &t)), u"\\Windows\\Blue.tsk");
    EXPECT_EQ(t, DWORD(OVD_REG_SZ));
    EXPECT_EQ(valeur(l, hkcu, u"Software\\Microsoft\\Today", u"UseStartImage", &t).size(), 4u);
    EXPECT_EQ(valeur(l, hkcu, u"Software\\Microsoft\\Today", u"DPI", &t)[0], 96);
    CEHKEY k = 0;
    EXPECT_EQ(l.CeRegOpenKeyEx(hkcu, u"Software\\Microsoft\\Today\\Blue.tsk", 0, 0, &k), 0);
    l.CeRegCloseKey(k);

    d = valeur(l, hkcu, u"ControlPanel\\Owner", u"Owner", &t);
    ASSERT_GE(d.size(), 700u);
    EXPECT_EQ(texte(d, 0), u"Camille Durand");
    EXPECT_EQ(texte(d, 72), u"Atelier Orvandel");
    EXPECT_EQ(texte(d, 566), u"camille.durand@example.org");
    EXPECT_EQ(texte(valeur(l, hklm, u"Ident", u"Name", &t)), u"PocketPC");
    EXPECT_EQ(texte(valeur(l, hklm, u"SOFTWARE\\Microsoft\\Windows CE Services\\Partners\\P1", u"PName", &t)),
              u"DESKTOP");

    // Device information and partnership.
    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    ASSERT_TRUE(l.CeGetVersionEx(&v));
    EXPECT_EQ(v.dwMajorVersion, 5u);
    EXPECT_EQ(v.dwPlatformId, 3u);
    SYSTEM_POWER_STATUS_EX p{};
    ASSERT_TRUE(l.CeGetSystemPowerStatusEx(&p, 1));
    EXPECT_EQ(p.BackupBatteryLifePercent, 255);
    const DWORD id = l.CeGetDeviceId();
    EXPECT_EQ(id, 0x1A2B3C4Du);
    HCESVC h = 0;
    ASSERT_EQ(l.CeSvcOpen(3, id, 0, &h), 0);
    DWORD processeur = 0;
    EXPECT_EQ(l.CeSvcGetDword(h, u"ProcessorType", &processeur), 0);
    EXPECT_EQ(processeur, 2577u);
    WCHAR buf[259];
    EXPECT_EQ(l.CeSvcGetString(h, u"DeviceType", buf, 259), 0);
    EXPECT_EQ(std::u16string(buf), u"PocketPC");
    int profils = 0;
    DWORD profil = 0;
    while (l.CeSvcEnumProfiles(&h, DWORD(profils), &profil) == 0 && profils < 256)
        ++profils;
    EXPECT_EQ(profils, 2);
    EXPECT_EQ(l.CeSvcClose(h), 0);
    WCHAR chemin[259];
    EXPECT_GT(l.CeGetSpecialFolderPath(36, 259, chemin), 0u);
    EXPECT_EQ(std::u16string(chemin), u"\\Windows");
    l.DeconnecteCE();
}

TEST(OutilDevsim, InitNEcrasePasUnAppareilEtLesErreursSontClaires)
{
    const QString dir = testenv::tempDir() + QStringLiteral("/dev");
    ASSERT_EQ(outil({QStringLiteral("init"), dir}), 0);
    const QByteArray reg = testenv::readFile(dir + QStringLiteral("/registry.reg"));
    testenv::writeFile(dir + QStringLiteral("/registry.reg"), reg + "\n; edited\n");
    QByteArray sortie;
    EXPECT_EQ(outil({QStringLiteral("init"), dir}, &sortie), 1);
    EXPECT_TRUE(sortie.contains("already holds a device"));
    EXPECT_TRUE(testenv::readFile(dir + QStringLiteral("/registry.reg")).endsWith("; edited\n"));

    EXPECT_EQ(outil({QStringLiteral("plug"), testenv::tempDir() + QStringLiteral("/rien")}, &sortie), 1);
    EXPECT_TRUE(sortie.contains("run init first"));
    EXPECT_EQ(outil({QStringLiteral("plug"), dir, QStringLiteral("--ip"), QStringLiteral("300.1.1.1")}, &sortie), 2);
    EXPECT_EQ(outil({QStringLiteral("status"), dir}, &sortie), 0);
    EXPECT_TRUE(sortie.contains("State: unplugged"));
    EXPECT_TRUE(sortie.contains("Watched by a program: no"));
    EXPECT_EQ(outil({QStringLiteral("frobnicate")}, &sortie), 2);
}

TEST(OutilDevsim, LesPaquetsDUnAppareilNeufSontDeVraisCabinets)
{
    // Parents made as needed; the packages read by an independent cabinet
    // reader, each with the setup documents its kind holds.
    const QString dir = testenv::tempDir() + QStringLiteral("/a/b/c/appareil");
    QByteArray sortie;
    ASSERT_EQ(outil({QStringLiteral("init"), dir}, &sortie), 0) << sortie.toStdString();
    EXPECT_FALSE(sortie.contains("no theme package"));
    const auto membres = [&](const char *rel) {
        bool ok = false;
        QStringList noms;
        for (const auto &l : cabtest::listeCabextract(dir + QStringLiteral("/fs/") + QLatin1String(rel), &ok))
            noms << l.nom.toLower();
        EXPECT_TRUE(ok) << rel;
        return noms;
    };
    const QStringList bleu = membres("Windows/Blue.tsk");
    EXPECT_EQ(bleu.filter(QStringLiteral(".000")).size(), 1);
    EXPECT_TRUE(bleu.contains(QStringLiteral("_setup.xml")));
    EXPECT_EQ(bleu.size(), 4); // setup file, setup XML, Today and Start
    const QStringList vert = membres("Storage Card/Themes/Green.tsk");
    EXPECT_TRUE(vert.contains(QStringLiteral("_setup.xml")));
    EXPECT_TRUE(vert.filter(QStringLiteral(".000")).isEmpty());
    const QStringList soleil = membres("My Documents/Sunset.tsk");
    EXPECT_EQ(soleil.filter(QStringLiteral(".000")).size(), 1);
    EXPECT_EQ(soleil.size(), 3); // the Start pair only

    // Its setup XML names the colours the device registry holds.
    const QString extrait = testenv::tempDir() + QStringLiteral("/x");
    ASSERT_EQ(cabtest::extraitCabextract(dir + QStringLiteral("/fs/Windows/Blue.tsk"), extrait), 0);
    const QByteArray xml = testenv::readFile(extrait + QStringLiteral("/_setup.xml"));
    // Colour 5 is 2E,97,E3 on the device: the XML's integer 0x00E3972E.
    EXPECT_TRUE(xml.contains("<parm name=\"5\" value=\"14915374\" datatype=\"integer\"/>"))
        << xml.toStdString();
    EXPECT_FALSE(xml.contains("<parm name=\"40\"")); // the one colour the device lacks
    EXPECT_TRUE(xml.contains("<characteristic type=\"HKCU\\Software\\Microsoft\\Today\\Blue.tsk\">"));
}

TEST(OutilDevsim, PolitiqueEtValeursDuRegistre)
{
    const QString dir = testenv::tempDir() + QStringLiteral("/dev");
    ASSERT_EQ(outil({QStringLiteral("init"), dir}), 0);
    QByteArray sortie;
    EXPECT_EQ(outil({QStringLiteral("policy"), dir, QStringLiteral("1")}, &sortie), 0);
    EXPECT_EQ(outil({QStringLiteral("set-dword"), dir, QStringLiteral("HKCU\\Software\\Microsoft\\Today"),
                     QStringLiteral("DPI"), QStringLiteral("0xC0")},
                    &sortie),
              0);
    const QByteArray reg = testenv::readFile(dir + QStringLiteral("/registry.reg"));
    EXPECT_TRUE(reg.contains("\"00001001\"=dword:00000001"));
    EXPECT_TRUE(reg.contains("\"DPI\"=dword:000000c0"));
    // Not numbers, negative numbers, too big, other roots: refused, nothing written.
    for (const QStringList &args :
         {QStringList{"policy", dir, "un"}, QStringList{"policy", dir, "-1"}, QStringList{"policy", dir, "0x100000000"},
          QStringList{"set-dword", dir, "HKCR\\x", "N", "1"}}) {
        EXPECT_NE(outil(args, &sortie), 0) << args.join(' ').toStdString();
    }
    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/registry.reg")), reg);
    // Too many or too few arguments show the usage.
    EXPECT_EQ(outil({QStringLiteral("policy")}, &sortie), 2);
    EXPECT_EQ(outil({QStringLiteral("policy"), dir, QStringLiteral("1"), QStringLiteral("2")}, &sortie), 2);
}

TEST(OutilDevsim, UneCleAbsenteNEstCreeeQueSurDemande)
{
    const QString dir = testenv::tempDir() + QStringLiteral("/dev");
    ASSERT_EQ(outil({QStringLiteral("init"), dir}), 0);
    const QString fichier = dir + QStringLiteral("/registry.reg");
    const QByteArray avant = testenv::readFile(fichier);
    // A mistyped key: refused with a message naming it, the file untouched.
    QByteArray sortie;
    EXPECT_EQ(outil({QStringLiteral("set-dword"), dir, QStringLiteral("HKCU\\Software\\Microsoft\\Toady"),
                     QStringLiteral("DPI"), QStringLiteral("192")},
                    &sortie),
              1);
    EXPECT_TRUE(sortie.contains("HKCU\\Software\\Microsoft\\Toady")) << sortie.toStdString();
    EXPECT_TRUE(sortie.contains("does not exist")) << sortie.toStdString();
    EXPECT_EQ(testenv::readFile(fichier), avant);
    // The key's case does not matter; a new value under an existing key is a change.
    EXPECT_EQ(outil({QStringLiteral("set-dword"), dir, QStringLiteral("hkcu\\SOFTWARE\\microsoft\\today"),
                     QStringLiteral("Essai"), QStringLiteral("7")},
                    &sortie),
              0);
    EXPECT_TRUE(testenv::readFile(fichier).contains("\"Essai\"=dword:00000007"));
    // Asked for, the key is made, wherever the option stands.
    for (const QStringList &args :
         {QStringList{"set-dword", dir, "HKCU\\Software\\Neuve", "N", "5", "--create"},
          QStringList{"set-dword", "--create", dir, "HKLM\\Autre\\Cle", "M", "6"}})
        EXPECT_EQ(outil(args, &sortie), 0) << args.join(' ').toStdString() << sortie.toStdString();
    const QByteArray apres = testenv::readFile(fichier);
    EXPECT_TRUE(apres.contains("\"N\"=dword:00000005"));
    EXPECT_TRUE(apres.contains("\"M\"=dword:00000006"));
    // The option belongs to set-dword only.
    EXPECT_EQ(outil({QStringLiteral("policy"), dir, QStringLiteral("1"), QStringLiteral("--create")}, &sortie), 2);
}

TEST(OutilDevsim, LesPannesSeReglentCommeLAideLeDit)
{
    QByteArray aide;
    ASSERT_EQ(outil({QStringLiteral("--help")}, &aide), 0);
    for (const char *texte : {"DIR/device.ini", "[Device] AnswerDelayMs=N", "[Device] NeverAnswer=1",
                              "[Device] ConnectResult=N", "[Faults] WriteFailsAfter=N", "[Faults] ReadFailsAfter=N",
                              "[Faults] UnplugAfterMoves=N"})
        EXPECT_TRUE(aide.contains(texte)) << texte;

    // Done as it says: a [Faults] section added to the file by hand is read
    // at the next connection.
    const QString dir = testenv::tempDir() + QStringLiteral("/pannes");
    ASSERT_EQ(outil({QStringLiteral("init"), dir}), 0);
    ASSERT_EQ(outil({QStringLiteral("plug"), dir}), 0);
    testenv::writeFile(dir + QStringLiteral("/fs/Temp/essai.bin"), "0123456789");
    const QString ini = dir + QStringLiteral("/device.ini");
    testenv::writeFile(ini, testenv::readFile(ini) + "\n[Faults]\nReadFailsAfter=4\n");
    Controle c;
    ASSERT_EQ(c.OvdSimAttach(dir.toLocal8Bit().constData()), 0);
    LienRapi l(cheminSimulateur());
    ASSERT_TRUE(l.ConnecteCE(5000));
    const CEHANDLE h = l.CeCreateFile(u"\\Temp\\essai.bin", OVD_GENERIC_READ, 0, nullptr, OVD_OPEN_EXISTING,
                                      OVD_FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    char lu[16] = {};
    DWORD n = 0;
    EXPECT_FALSE(l.CeReadFile(h, lu, 8, &n, nullptr));
    EXPECT_EQ(QByteArray(lu, int(n)), QByteArray("0123"));
    l.CeCloseHandle(h);
    l.DeconnecteCE();

    // Pulled out after the second move of a connection: that move is done,
    // every later call fails, and the device reads as unplugged.
    testenv::writeFile(ini, testenv::readFile(ini) + "UnplugAfterMoves=2\n");
    ASSERT_TRUE(l.ConnecteCE(5000));
    EXPECT_TRUE(l.CeMoveFile(u"\\Temp\\essai.bin", u"\\Temp\\un.bin"));
    EXPECT_TRUE(l.CeMoveFile(u"\\Temp\\un.bin", u"\\Temp\\deux.bin"));
    EXPECT_FALSE(l.CeMoveFile(u"\\Temp\\deux.bin", u"\\Temp\\trois.bin"));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/fs/Temp/deux.bin")));
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/fs/Temp/trois.bin")));
    QByteArray etat;
    ASSERT_EQ(outil({QStringLiteral("status"), dir}, &etat), 0);
    EXPECT_TRUE(etat.contains("State: unplugged")) << etat.toStdString();
    l.DeconnecteCE();
}
