// The simulated device is as strict as a real one: these tests hold it to
// the buffer, key and path contracts that the device operations rely on.

#include "device/lien_rapi.h"
#include "tests/support/devsim_support.h"
#include "tests/support/tube_surveille.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace devsimtest;

namespace {

class Simulateur : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = nouvelAppareil(c);
        ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 9)), 0);
        ASSERT_TRUE(lien.ConnecteCE(5000));
    }
    void TearDown() override
    {
        if (c.OvdSimSessionCount() > 0)
            lien.DeconnecteCE();
    }
    QString chemin(const char *rel) const { return QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(rel); }

    CEHKEY ouvre(CEHKEY root, const char16_t *sub)
    {
        CEHKEY k = 0;
        EXPECT_EQ(lien.CeRegOpenKeyEx(root, sub, 0, 0, &k), 0);
        return k;
    }

    Controle c;
    QByteArray dir;
    LienRapi lien{cheminSimulateur()};
};

} // namespace

TEST(SimulateurSansSession, ToutAppelEchoue)
{
    Controle c;
    nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    CEHKEY k = 0;
    EXPECT_NE(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), 0);
    EXPECT_NE(lien.CeRegQueryValueEx(OVD_HKEY_LOCAL_MACHINE, u"x", nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(lien.CeCreateFile(u"\\Temp\\a", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0),
              OVD_INVALID_HANDLE);
    DWORD n = 0;
    CE_FIND_DATA *tab = nullptr;
    EXPECT_EQ(lien.CeFindAllFiles(u"\\*", 0x81, &n, &tab), 0);
    EXPECT_EQ(lien.CeGetDeviceId(), 0u);
    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    EXPECT_EQ(lien.CeGetVersionEx(&v), 0);
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + QStringLiteral("/device/fs/Temp/a")));
    EXPECT_EQ(lien.CeRapiUninit(), OVD_E_UNEXPECTED); // nothing to end
}

TEST_F(Simulateur, LectureDeValeurEnDeuxAppelsSansDebordement)
{
    const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, u"software\\MICROSOFT\\today"); // any letter case
    DWORD type = 0, taille = 0;
    ASSERT_EQ(lien.CeRegQueryValueEx(k, u"skin", nullptr, &type, nullptr, &taille), 0);
    EXPECT_EQ(type, DWORD(OVD_REG_SZ));
    const std::u16string attendu = u"\\Windows\\Blue.tsk";
    ASSERT_EQ(taille, (attendu.size() + 1) * 2);

    // One byte short: 234, the size needed, and not one byte written.
    std::vector<BYTE> buf(taille + 8, 0xAB);
    DWORD court = taille - 1;
    EXPECT_EQ(lien.CeRegQueryValueEx(k, u"Skin", nullptr, &type, buf.data(), &court), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(court, taille);
    EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](BYTE b) { return b == 0xAB; }));

    DWORD exact = taille;
    ASSERT_EQ(lien.CeRegQueryValueEx(k, u"Skin", nullptr, &type, buf.data(), &exact), 0);
    EXPECT_EQ(std::memcmp(buf.data(), attendu.c_str(), taille), 0);
    EXPECT_EQ(buf[taille], 0xAB);

    EXPECT_EQ(lien.CeRegQueryValueEx(k, u"Absent", nullptr, &type, nullptr, &taille), OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lien.CeRegQueryValueEx(k, u"Skin", nullptr, &type, buf.data(), nullptr), OVD_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    EXPECT_EQ(lien.CeRegCloseKey(k), OVD_ERROR_INVALID_HANDLE);
}

TEST_F(Simulateur, EnumerationDesClesEtValeurs)
{
    const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today");
    DWORD nb = 0, maxLong = 0, nbValeurs = 0;
    ASSERT_EQ(lien.CeRegQueryInfoKey(k, nullptr, nullptr, nullptr, &nb, &maxLong, nullptr, &nbValeurs, nullptr,
                                     nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(nb, 4u);
    EXPECT_EQ(maxLong, 9u); // "Green.TSK", without its NUL
    EXPECT_EQ(nbValeurs, 3u);

    std::vector<std::u16string> noms;
    for (DWORD i = 0;; ++i) {
        WCHAR nom[16];
        std::fill(std::begin(nom), std::end(nom), u'#');
        DWORD cch = maxLong + 1;
        const LONG r = lien.CeRegEnumKeyEx(k, i, nom, &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == OVD_ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, 0);
        EXPECT_EQ(nom[cch], 0);
        EXPECT_EQ(nom[cch + 1], u'#'); // nothing past the name and its NUL
        noms.emplace_back(nom, cch);
    }
    EXPECT_EQ(noms, (std::vector<std::u16string>{u"Blue.tsk", u"Green.TSK", u"Items", u"Other"}));

    WCHAR petit[4] = {u'#', u'#', u'#', u'#'};
    DWORD cch = 4;
    EXPECT_EQ(lien.CeRegEnumKeyEx(k, 0, petit, &cch, nullptr, nullptr, nullptr, nullptr), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(petit[0], u'#');

    WCHAR nomValeur[255];
    DWORD cchV = 255, type = 0;
    ASSERT_EQ(lien.CeRegEnumValue(k, 2, nomValeur, &cchV, nullptr, &type, nullptr, nullptr), 0);
    EXPECT_EQ(std::u16string(nomValeur, cchV), u"DPI");
    EXPECT_EQ(type, DWORD(OVD_REG_DWORD));
    cchV = 255;
    EXPECT_EQ(lien.CeRegEnumValue(k, 3, nomValeur, &cchV, nullptr, nullptr, nullptr, nullptr), OVD_ERROR_NO_MORE_ITEMS);
    BYTE donnee[2];
    DWORD cb = 2;
    cchV = 255;
    EXPECT_EQ(lien.CeRegEnumValue(k, 2, nomValeur, &cchV, nullptr, nullptr, donnee, &cb), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(cb, 4u);
    lien.CeRegCloseKey(k);
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(Simulateur, LesLecturesNeCreentJamaisDeCle)
{
    const QByteArray avant = testenv::readFile(chemin("registry.reg"));
    CEHKEY k = 0;
    EXPECT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Security\\AppInstall\\Absent", 0, 0, &k),
              OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"\\Ident", 0, 0, &k), OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident\\\\", 0, 0, &k), OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(lien.CeRegOpenKeyEx(0x80000003u, u"Ident", 0, 0, &k), OVD_ERROR_INVALID_HANDLE);
    lien.DeconnecteCE();
    EXPECT_EQ(testenv::readFile(chemin("registry.reg")), avant);
}

TEST_F(Simulateur, EcrituresEnregistreesAtomiquementEtRelues)
{
    const CEHKEY k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Color");
    const DWORD hue = 0x2A0;
    ASSERT_EQ(lien.CeRegSetValueEx(k, u"BaseHue", 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>(&hue), 4), 0);
    // Odd values survive byte for byte: a string without NUL, a name with
    // quotes, backslashes and a line break.
    const BYTE brut[] = {'A', 0, 'B', 0};
    const std::u16string nomBizarre = u"a\"b\\c\nd";
    ASSERT_EQ(lien.CeRegSetValueEx(k, nomBizarre.c_str(), 0, OVD_REG_SZ, brut, sizeof brut), 0);
    ASSERT_EQ(lien.CeRegDeleteValue(k, u"40"), OVD_ERROR_FILE_NOT_FOUND); // absent on this device
    ASSERT_EQ(lien.CeRegDeleteValue(k, u"39"), 0);
    EXPECT_EQ(lien.CeRegDeleteKey(k, u""), OVD_ERROR_INVALID_PARAMETER); // never the key itself
    ASSERT_EQ(lien.CeRegCloseKey(k), 0);

    // Closed: on disk, with no temporary file left beside it.
    const QByteArray texte = testenv::readFile(chemin("registry.reg"));
    EXPECT_TRUE(texte.contains("\"BaseHue\"=dword:000002a0"));
    EXPECT_FALSE(texte.contains("\"39\"="));
    EXPECT_EQ(QDir(QString::fromLocal8Bit(dir)).entryList({QStringLiteral("registry.reg*")}, QDir::Files),
              QStringList{QStringLiteral("registry.reg")});

    lien.DeconnecteCE();
    ASSERT_TRUE(lien.ConnecteCE(5000));
    const CEHKEY k2 = ouvre(OVD_HKEY_LOCAL_MACHINE, u"software\\microsoft\\color");
    BYTE buf[16];
    DWORD type = 0, cb = sizeof buf;
    ASSERT_EQ(lien.CeRegQueryValueEx(k2, nomBizarre.c_str(), nullptr, &type, buf, &cb), 0);
    EXPECT_EQ(type, DWORD(OVD_REG_SZ));
    ASSERT_EQ(cb, sizeof brut);
    EXPECT_EQ(std::memcmp(buf, brut, sizeof brut), 0);
    cb = sizeof buf;
    ASSERT_EQ(lien.CeRegQueryValueEx(k2, u"BaseHue", nullptr, &type, buf, &cb), 0);
    EXPECT_EQ(buf[0] | buf[1] << 8, 0x2A0);
    lien.CeRegCloseKey(k2);
}

TEST_F(Simulateur, LesRestesDUnEnregistrementInterrompuPartentALOuverture)
{
    lien.DeconnecteCE();
    const QString d = QString::fromLocal8Bit(dir) + QLatin1Char('/');
    const QByteArray registre = testenv::readFile(d + QStringLiteral("registry.reg"));
    ASSERT_FALSE(registre.isEmpty());

    // What a process killed before the rename leaves beside the device's
    // own files, cut short.
    const QStringList restes{QStringLiteral("registry.reg.a1B2c3"), QStringLiteral("state.ini.Zz9Yy8"),
                             QStringLiteral("device.ini.QQQQQQ")};
    for (const QString &r : restes)
        testenv::writeFile(d + r, "[HKEY_LOC");
    // A writer killed while it held its temporary: its lock dies with it.
    const QByteArray tue = (d + QStringLiteral("registry.reg.TUE123")).toLocal8Bit();
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    const pid_t enfant = ::fork();
    ASSERT_GE(enfant, 0);
    if (enfant == 0) {
        const int fd = ::open(tue.constData(), O_CREAT | O_WRONLY, 0600);
        ::flock(fd, LOCK_EX);
        ::write(tube[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(tube[1]);
    char octet = 0; // the child's write, or an end of file should it die first
    ASSERT_EQ(::read(tube[0], &octet, 1), 1);
    ::close(tube[0]);
    ::kill(enfant, SIGKILL);
    ::waitpid(enfant, nullptr, 0);

    // Not its own: other names, another folder, and what is not a plain file.
    const QStringList autres{QStringLiteral("registry.reg.bak"), QStringLiteral("registry.reg.abcdefg"),
                             QStringLiteral("registry.reg.ab-cde"), QStringLiteral("Registry.reg.ABCDEF"),
                             QStringLiteral("notes.txt.ABCDEF"), QStringLiteral("fs/registry.reg.ABCDEF")};
    for (const QString &a : autres)
        testenv::writeFile(d + a, "a garder");
    ASSERT_TRUE(QDir().mkpath(d + QStringLiteral("registry.reg.DOSSIE/dedans")));
    testenv::writeFile(testenv::tempDir() + QStringLiteral("/cible.txt"), "cible");
    ASSERT_TRUE(QFile::link(testenv::tempDir() + QStringLiteral("/cible.txt"), d + QStringLiteral("registry.reg.LIEN12")));
    testenv::TubeSurveille fifo(d + QStringLiteral("registry.reg.TUBE12"));
    ASSERT_TRUE(fifo.cree());
    // A writer at work: its temporary is locked and stays.
    const QString vivant = d + QStringLiteral("registry.reg.VIVANT");
    testenv::writeFile(vivant, "en cours");
    const int verrou = ::open(vivant.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(verrou, 0);
    ASSERT_EQ(::flock(verrou, LOCK_EX), 0);

    ASSERT_TRUE(lien.ConnecteCE(5000));
    for (const QString &r : restes)
        EXPECT_FALSE(QFileInfo::exists(d + r)) << r.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromLocal8Bit(tue)));
    for (const QString &a : autres)
        EXPECT_EQ(testenv::readFile(d + a), QByteArray("a garder")) << a.toStdString();
    EXPECT_TRUE(QFileInfo(d + QStringLiteral("registry.reg.DOSSIE/dedans")).isDir());
    EXPECT_TRUE(QFileInfo(d + QStringLiteral("registry.reg.LIEN12")).isSymLink());
    EXPECT_EQ(testenv::readFile(testenv::tempDir() + QStringLiteral("/cible.txt")), QByteArray("cible"));
    fifo.arrete();
    EXPECT_EQ(fifo.lecteurs(), 0); // never opened for reading
    EXPECT_TRUE(QFileInfo::exists(d + QStringLiteral("registry.reg.TUBE12")));
    EXPECT_EQ(testenv::readFile(vivant), QByteArray("en cours"));

    // The registry as it was, and read as ever.
    EXPECT_EQ(testenv::readFile(d + QStringLiteral("registry.reg")), registre);
    const CEHKEY k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Color");
    DWORD type = 0, cb = 0;
    EXPECT_EQ(lien.CeRegQueryValueEx(k, u"BaseHue", nullptr, &type, nullptr, &cb), 0);
    EXPECT_EQ(type, DWORD(OVD_REG_DWORD));
    lien.CeRegCloseKey(k);

    // Its writer gone, the next opening takes it.
    ::close(verrou);
    lien.DeconnecteCE();
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_FALSE(QFileInfo::exists(vivant));
}

TEST_F(Simulateur, LOutilEnregistreSansEchecPendantQueLAppareilSOuvre)
{
    // The tool saves the registry over and over while this process opens
    // the device over and over: the sweep at each opening never takes a
    // temporary whose writer is still at work.
    lien.DeconnecteCE();
    QProcess boucle;
    boucle.setProcessChannelMode(QProcess::MergedChannels);
    boucle.start(QStringLiteral("bash"),
                 {QStringLiteral("-c"),
                  QStringLiteral("for i in $(seq 60); do \"$0\" policy \"$1\" $((i % 3)) >/dev/null || echo echec $i; done"),
                  cheminOutil(), QString::fromLocal8Bit(dir)});
    ASSERT_TRUE(boucle.waitForStarted());
    QElapsedTimer temps;
    temps.start();
    int ouvertures = 0;
    while (boucle.state() != QProcess::NotRunning && temps.elapsed() < 60000) {
        ASSERT_TRUE(lien.ConnecteCE(5000));
        lien.DeconnecteCE();
        ++ouvertures;
        boucle.waitForFinished(0);
    }
    ASSERT_EQ(boucle.state(), QProcess::NotRunning);
    EXPECT_EQ(boucle.exitCode(), 0);
    EXPECT_EQ(boucle.readAll(), QByteArray()) << ouvertures << " openings";
    EXPECT_GT(ouvertures, 10);
    EXPECT_TRUE(testenv::readFile(chemin("registry.reg")).contains("\"00001001\"=dword:00000000"));
    EXPECT_EQ(QDir(QString::fromLocal8Bit(dir)).entryList({QStringLiteral("registry.reg*")}, QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("registry.reg")});
}

TEST_F(Simulateur, SuppressionDeCleRecursiveEtHandlesPerimes)
{
    const CEHKEY today = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today");
    const CEHKEY items = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today\\Items");
    ASSERT_EQ(lien.CeRegDeleteKey(today, u"ITEMS"), 0);
    DWORD n = 0;
    EXPECT_EQ(lien.CeRegQueryInfoKey(items, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr),
              OVD_ERROR_KEY_DELETED);
    CEHKEY k = 0;
    EXPECT_EQ(lien.CeRegOpenKeyEx(today, u"Items\\Calendar", 0, 0, &k), OVD_ERROR_FILE_NOT_FOUND);
    lien.CeRegCloseKey(items);
    lien.CeRegCloseKey(today);
    EXPECT_FALSE(testenv::readFile(chemin("registry.reg")).contains("Calendar"));
}

TEST_F(Simulateur, FichiersSansCasseEtSansEvasion)
{
    CE_FIND_DATA fd{};
    CEHANDLE h = lien.CeFindFirstFile(u"\\WINDOWS\\appmgr\\notes.dat", &fd);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    EXPECT_EQ(std::u16string(fd.cFileName), u"Notes.DAT");
    EXPECT_EQ(fd.nFileSizeLow, 64u);
    EXPECT_TRUE(lien.CeFindClose(h));

    // Paths that would leave the device folder are refused.
    testenv::writeFile(testenv::tempDir() + QStringLiteral("/secret.txt"), "secret");
    QFile::link(testenv::tempDir() + QStringLiteral("/secret.txt"), chemin("fs/Temp/lien.txt"));
    for (const char16_t *p : {u"\\..\\device.ini", u"\\Windows\\..\\..\\registry.reg", u"..\\device.ini",
                              u"/etc/passwd", u"\\Temp\\lien.txt", u"\\Temp/..", u"\\Temp\\.\\x"}) {
        EXPECT_EQ(lien.CeFindFirstFile(p, &fd), OVD_INVALID_HANDLE);
        EXPECT_EQ(lien.CeCreateFile(p, OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0), OVD_INVALID_HANDLE);
        EXPECT_EQ(lien.CeCreateFile(p, OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0), OVD_INVALID_HANDLE);
    }
    EXPECT_EQ(testenv::readFile(testenv::tempDir() + QStringLiteral("/secret.txt")), QByteArray("secret"));

    // No folder is created on the way.
    EXPECT_EQ(lien.CeCreateFile(u"\\Nouveau\\a.txt", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0),
              OVD_INVALID_HANDLE);
    EXPECT_FALSE(QFile::exists(chemin("fs/Nouveau")));
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(Simulateur, CopieDUnFichierAllerRetour)
{
    QByteArray octets;
    for (int i = 0; i < 70000; ++i)
        octets += char(i * 7);
    CEHANDLE h = lien.CeCreateFile(u"\\temp\\Essai.bin", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    DWORD ecrits = 0;
    ASSERT_TRUE(lien.CeWriteFile(h, octets.constData(), DWORD(octets.size()), &ecrits, nullptr));
    EXPECT_EQ(ecrits, DWORD(octets.size()));
    ASSERT_TRUE(lien.CeCloseHandle(h));
    EXPECT_EQ(testenv::readFile(chemin("fs/Temp/Essai.bin")), octets);

    h = lien.CeCreateFile(u"\\TEMP\\essai.BIN", OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    QByteArray lu(octets.size() + 10, '\0');
    DWORD n = 0;
    ASSERT_TRUE(lien.CeReadFile(h, lu.data(), DWORD(lu.size()), &n, nullptr));
    EXPECT_EQ(n, DWORD(octets.size()));
    EXPECT_EQ(lu.left(int(n)), octets);
    ASSERT_TRUE(lien.CeCloseHandle(h));
    EXPECT_FALSE(lien.CeCloseHandle(h));
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);

    EXPECT_TRUE(lien.CeCopyFile(u"\\Temp\\Essai.bin", u"\\My Documents\\Copie.bin", 1));
    EXPECT_FALSE(lien.CeCopyFile(u"\\Temp\\Essai.bin", u"\\My Documents\\copie.BIN", 1));
    EXPECT_TRUE(lien.CeMoveFile(u"\\My Documents\\Copie.bin", u"\\Temp\\Deplace.bin"));
    EXPECT_EQ(testenv::readFile(chemin("fs/Temp/Deplace.bin")), octets);
    EXPECT_TRUE(lien.CeDeleteFile(u"\\Temp\\deplace.bin"));
    EXPECT_TRUE(lien.CeCreateDirectory(u"\\Temp\\Dossier", nullptr));
    EXPECT_FALSE(lien.CeCreateDirectory(u"\\temp\\DOSSIER", nullptr));
    EXPECT_EQ(lien.CeGetFileAttributes(u"\\Temp\\Dossier"), OVD_FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(lien.CeRemoveDirectory(u"\\Temp\\Dossier"));
}

TEST_F(Simulateur, ListeDUnDossierTrieeEtTamponLibere)
{
    DWORD n = 0;
    CE_FIND_DATA *tab = nullptr;
    ASSERT_TRUE(lien.CeFindAllFiles(u"\\Windows\\AppMgr\\*", 0x81, &n, &tab));
    ASSERT_EQ(n, 7u);
    EXPECT_EQ(std::u16string(tab[0].cFileName), u"Install");
    EXPECT_EQ(tab[0].dwFileAttributes, OVD_FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(std::u16string(tab[1].cFileName), u"Notes");
    EXPECT_EQ(std::u16string(tab[2].cFileName), u"Notes.DAT");
    EXPECT_EQ(std::u16string(tab[6].cFileName), u"Solitaire.DAT");
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 1);
    int etranger = 0;
    EXPECT_EQ(lien.CeRapiFreeBuffer(&etranger), OVD_E_INVALIDARG); // not the library's
    EXPECT_EQ(lien.CeRapiFreeBuffer(tab), 0);
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
    EXPECT_FALSE(lien.CeFindAllFiles(u"\\Absent\\*", 0x81, &n, &tab));
    ASSERT_TRUE(lien.CeFindAllFiles(u"\\Storage Card\\*.TSK", 0x81, &n, &tab));
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(std::u16string(tab[0].cFileName), u"Odd.tsk");
    lien.CeRapiFreeBuffer(tab);
}

TEST_F(Simulateur, PartageDesFichiersCommeSurLAppareil)
{
    const auto ouvreFichier = [this](DWORD acces, DWORD partage, DWORD disposition = OVD_OPEN_ALWAYS) {
        return lien.CeCreateFile(u"\\Temp\\p.tsk", acces, partage, nullptr, disposition, 0x80, 0);
    };
    // A writer that shares reading: a reader that lets it write may come,
    // a second writer may not, nor a reader that refuses to share writing.
    const CEHANDLE ecrivain = ouvreFichier(OVD_GENERIC_WRITE, OVD_FILE_SHARE_READ);
    ASSERT_NE(ecrivain, OVD_INVALID_HANDLE);
    EXPECT_EQ(ouvreFichier(OVD_GENERIC_WRITE, OVD_FILE_SHARE_READ), OVD_INVALID_HANDLE);
    EXPECT_EQ(lien.CeGetLastError(), DWORD(OVD_ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ouvreFichier(OVD_GENERIC_READ, OVD_FILE_SHARE_READ), OVD_INVALID_HANDLE);
    const CEHANDLE lecteur = ouvreFichier(OVD_GENERIC_READ, OVD_FILE_SHARE_READ | OVD_FILE_SHARE_WRITE);
    EXPECT_NE(lecteur, OVD_INVALID_HANDLE);
    // CREATE_ALWAYS over the open file is refused before anything is cut.
    DWORD n = 0;
    ASSERT_TRUE(lien.CeWriteFile(ecrivain, "abc", 3, &n, nullptr));
    EXPECT_EQ(ouvreFichier(OVD_GENERIC_WRITE, 0, OVD_CREATE_ALWAYS), OVD_INVALID_HANDLE);
    // An open file is neither deleted nor moved.
    EXPECT_FALSE(lien.CeDeleteFile(u"\\Temp\\p.tsk"));
    EXPECT_FALSE(lien.CeMoveFile(u"\\Temp\\p.tsk", u"\\Temp\\q.tsk"));
    EXPECT_TRUE(lien.CeCloseHandle(ecrivain));
    EXPECT_TRUE(lien.CeCloseHandle(lecteur));
    EXPECT_EQ(QFile(chemin("fs/Temp/p.tsk")).size(), 3);
    // All closed: exclusive opens work again, one at a time.
    const CEHANDLE seul = ouvreFichier(OVD_GENERIC_READ | OVD_GENERIC_WRITE, 0);
    ASSERT_NE(seul, OVD_INVALID_HANDLE);
    EXPECT_EQ(ouvreFichier(OVD_GENERIC_READ, OVD_FILE_SHARE_READ | OVD_FILE_SHARE_WRITE), OVD_INVALID_HANDLE);
    EXPECT_TRUE(lien.CeCloseHandle(seul));
    EXPECT_TRUE(lien.CeDeleteFile(u"\\Temp\\p.tsk"));
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(Simulateur, CheminTermineParUneBarreRefuse)
{
    CE_FIND_DATA fd{};
    EXPECT_EQ(lien.CeFindFirstFile(u"\\Windows\\Blue.tsk\\", &fd), OVD_INVALID_HANDLE);
    EXPECT_EQ(lien.CeGetLastError(), DWORD(OVD_ERROR_INVALID_NAME));
    EXPECT_EQ(lien.CeCreateFile(u"\\Temp\\x.tsk\\", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0),
              OVD_INVALID_HANDLE);
    EXPECT_FALSE(QFile::exists(chemin("fs/Temp/x.tsk")));
    EXPECT_FALSE(lien.CeDeleteFile(u"\\Windows\\Blue.tsk\\"));
    EXPECT_TRUE(QFile::exists(chemin("fs/Windows/Blue.tsk")));
    // The same paths without the last "\" work; so do folder patterns and
    // the root itself.
    const CEHANDLE h = lien.CeFindFirstFile(u"\\Windows\\Blue.tsk", &fd);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    EXPECT_TRUE(lien.CeFindClose(h));
    DWORD n = 0;
    CE_FIND_DATA *tab = nullptr;
    ASSERT_TRUE(lien.CeFindAllFiles(u"\\Windows\\*", 0x81, &n, &tab));
    EXPECT_GT(n, 0u);
    lien.CeRapiFreeBuffer(tab);
    ASSERT_TRUE(lien.CeFindAllFiles(u"\\*", 0x81, &n, &tab));
    EXPECT_GT(n, 0u);
    lien.CeRapiFreeBuffer(tab);
}

TEST_F(Simulateur, NomsDeClesHostilesNeCassentPasLeRegistre)
{
    // A key whose name holds a newline cannot be made by a call...
    CEHKEY k = 0;
    DWORD disposition = 0;
    EXPECT_NE(lien.CeRegCreateKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\a\nb", 0, nullptr, 0, 0, nullptr, &k,
                                    &disposition),
              0);
    // ...and one written in the file (by hand, or as an overlong UTF-8 form
    // of a control character) survives the next sessions as it is.
    lien.DeconnecteCE();
    QByteArray texte = testenv::readFile(chemin("registry.reg"));
    texte += "\n[HKEY_CURRENT_USER\\Software\\Nouvelle%0ALigne 100%25]\n\"v\"=dword:00000007\n"
             "[HKEY_CURRENT_USER\\Software\\Long\xC0\x8A" "forme]\n";
    testenv::writeFile(chemin("registry.reg"), texte);
    for (int session = 0; session < 2; ++session) {
        ASSERT_TRUE(lien.ConnecteCE(5000));
        ASSERT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Nouvelle\nLigne 100%", 0, 0, &k), 0)
            << session;
        DWORD type = 0, v = 0, cb = 4;
        EXPECT_EQ(lien.CeRegQueryValueEx(k, u"v", nullptr, &type, reinterpret_cast<BYTE *>(&v), &cb), 0);
        EXPECT_EQ(v, 7u);
        // A change makes the registry be written again.
        EXPECT_EQ(lien.CeRegSetValueEx(k, u"w", 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>(&v), 4), 0);
        EXPECT_EQ(lien.CeRegCloseKey(k), 0);
        // The overlong form is no newline: each of its bytes is one U+FFFD.
        EXPECT_NE(lien.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Long\nforme", 0, 0, &k), 0);
        ASSERT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_CURRENT_USER, u"Software\\Long\uFFFD\uFFFDforme", 0, 0, &k), 0);
        EXPECT_EQ(lien.CeRegCloseKey(k), 0);
        lien.DeconnecteCE();
        // Every key line of the file stays on one line.
        const QByteArray ecrit = testenv::readFile(chemin("registry.reg"));
        EXPECT_TRUE(ecrit.contains("[HKEY_CURRENT_USER\\Software\\Nouvelle%0ALigne 100%25]\n")) << session;
    }
    ASSERT_TRUE(lien.ConnecteCE(5000));
}

TEST_F(Simulateur, NomsAUnSurrogatSeulGardesDUneSessionALAutre)
{
    // Names that differ only in a surrogate without its partner, made by
    // the device's own calls, stay apart and unchanged in the next session.
    const std::u16string cleA = u"Software\\" + std::u16string(1, char16_t(0xDAF3)) + u"x";
    const std::u16string cleB = u"Software\\" + std::u16string(1, char16_t(0xDA00)) + u"x";
    const std::u16string valA{char16_t(0xDAF3), u'\u2E65', u'\u7374'};
    const std::u16string valB{char16_t(0xDA00), u'\u2E65', u'\u7374'};
    DWORD disposition = 0;
    for (DWORD i = 0; i < 2; ++i) {
        CEHKEY k = 0;
        ASSERT_EQ(lien.CeRegCreateKeyEx(OVD_HKEY_CURRENT_USER, (i ? cleB : cleA).c_str(), 0, nullptr, 0, 0, nullptr,
                                        &k, &disposition),
                  0);
        ASSERT_EQ(lien.CeRegSetValueEx(k, valA.c_str(), 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>(&i), 4), 0);
        ASSERT_EQ(lien.CeRegSetValueEx(k, valB.c_str(), 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>(&i), 4), 0);
        EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    }
    lien.DeconnecteCE();
    ASSERT_TRUE(lien.ConnecteCE(5000));
    for (DWORD i = 0; i < 2; ++i) {
        const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, (i ? cleB : cleA).c_str());
        for (const auto &nom : {valA, valB}) {
            DWORD type = 0, v = 9, cb = 4;
            EXPECT_EQ(lien.CeRegQueryValueEx(k, nom.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&v), &cb), 0);
            EXPECT_EQ(v, i);
        }
        DWORD sousCles = 0, valeurs = 0;
        ASSERT_EQ(lien.CeRegQueryInfoKey(k, nullptr, nullptr, nullptr, &sousCles, nullptr, nullptr, &valeurs,
                                         nullptr, nullptr, nullptr, nullptr),
                  0);
        EXPECT_EQ(valeurs, 2u);
        lien.CeRegCloseKey(k);
    }
}

TEST_F(Simulateur, LOutilChangeLeRegistreDUneSessionOuverte)
{
    // policy / set-dword edit the file; the open session reads it again.
    CEHKEY k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"Security\\Policies\\Policies");
    DWORD type = 0, v = 0, cb = 4;
    ASSERT_EQ(lien.CeRegQueryValueEx(k, u"00001001", nullptr, &type, reinterpret_cast<BYTE *>(&v), &cb), 0);
    EXPECT_EQ(v, 2u);
    EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    ASSERT_EQ(c.OvdSimSetDword(dir.constData(), "HKLM\\Security\\Policies\\Policies", "00001001", 1), 0);
    k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"Security\\Policies\\Policies");
    cb = 4;
    ASSERT_EQ(lien.CeRegQueryValueEx(k, u"00001001", nullptr, &type, reinterpret_cast<BYTE *>(&v), &cb), 0);
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    // A new key through the tool; other roots and control characters refused.
    EXPECT_EQ(c.OvdSimSetDword(dir.constData(), "HKEY_CURRENT_USER\\Software\\Essai", "N", 5), 0);
    EXPECT_LT(c.OvdSimSetDword(dir.constData(), "HKCR\\x", "N", 5), 0);
    EXPECT_LT(c.OvdSimSetDword(dir.constData(), "HKCU\\a\nb", "N", 5), 0);
    EXPECT_LT(c.OvdSimSetDword(dir.constData(), "HKCU\\\\double", "N", 5), 0);
    k = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Essai");
    EXPECT_EQ(lien.CeRegCloseKey(k), 0);
}

TEST_F(Simulateur, CeQuiEstListeSOuvreEtLesNomsRefusesNeSeFontPas)
{
    // Host files under names the device's file system cannot hold, and two
    // names that differ only by case: none of them is one of its files.
    for (const char *nom : {"a<b.tsk", "c>d.tsk", "e:f.tsk", "g*h.tsk", "i?j.tsk", "k\"l.tsk", "m|n.tsk",
                            "o\x01p.tsk", "Jumeau.tsk", "JUMEAU.tsk"})
        testenv::writeFile(chemin("fs/Temp/") + QString::fromLatin1(nom), "x");
    ASSERT_TRUE(QDir().mkpath(chemin("fs/Temp/dossier<1>")));
    testenv::writeFile(chemin("fs/Temp/ordinaire.tsk"), "y");

    DWORD n = 0;
    CE_FIND_DATA *tab = nullptr;
    ASSERT_TRUE(lien.CeFindAllFiles(u"\\Temp\\*", 0x81, &n, &tab));
    std::vector<std::u16string> noms;
    for (DWORD i = 0; i < n; ++i)
        noms.emplace_back(tab[i].cFileName);
    lien.CeRapiFreeBuffer(tab);
    EXPECT_EQ(noms, std::vector<std::u16string>{u"ordinaire.tsk"});

    // Every name the whole device lists opens, with its date and size.
    std::vector<std::u16string> dossiers{u"\\"};
    int fichiers = 0;
    while (!dossiers.empty()) {
        const std::u16string dossier = dossiers.back();
        dossiers.pop_back();
        const std::u16string base = dossier == u"\\" ? dossier : dossier + u"\\";
        ASSERT_TRUE(lien.CeFindAllFiles((base + u"*").c_str(), 0x81, &n, &tab));
        for (DWORD i = 0; i < n; ++i) {
            const std::u16string p = base + tab[i].cFileName;
            CE_FIND_DATA fd{};
            const CEHANDLE h = lien.CeFindFirstFile(p.c_str(), &fd);
            ASSERT_NE(h, OVD_INVALID_HANDLE) << QString::fromStdU16String(p).toStdString();
            lien.CeFindClose(h);
            EXPECT_EQ(fd.nFileSizeLow, tab[i].nFileSizeLow);
            if (tab[i].dwFileAttributes & OVD_FILE_ATTRIBUTE_DIRECTORY) {
                dossiers.push_back(p);
                continue;
            }
            const CEHANDLE f = lien.CeCreateFile(p.c_str(), OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0);
            EXPECT_NE(f, OVD_INVALID_HANDLE) << QString::fromStdU16String(p).toStdString();
            lien.CeCloseHandle(f);
            ++fichiers;
        }
        lien.CeRapiFreeBuffer(tab);
    }
    EXPECT_GT(fichiers, 5);

    // Such names are refused where files are made, moved or copied to.
    for (const char16_t *p : {u"\\Temp\\a<b.bin", u"\\Temp\\e:f.bin", u"\\Temp\\g|h.bin", u"\\Temp\\x\x01.bin",
                              u"\\Temp\\q\"r.bin"}) {
        const std::string trace = QString::fromUtf16(p).toStdString();
        EXPECT_EQ(lien.CeCreateFile(p, OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_NEW, 0x80, 0), OVD_INVALID_HANDLE)
            << trace;
        EXPECT_FALSE(lien.CeCreateDirectory(p, nullptr)) << trace;
        EXPECT_FALSE(lien.CeMoveFile(u"\\Temp\\ordinaire.tsk", p)) << trace;
        EXPECT_FALSE(lien.CeCopyFile(u"\\Temp\\ordinaire.tsk", p, 0)) << trace;
    }
    EXPECT_EQ(testenv::readFile(chemin("fs/Temp/ordinaire.tsk")), QByteArray("y"));
    EXPECT_EQ(QDir(chemin("fs/Temp")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 12);
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(Simulateur, UnCheminPlusLongQueLesAppelsNEstPasListe)
{
    // Host files whose full device path is 259 units (the longest a path
    // call takes) or one more, in \Temp and one folder further down.
    const auto nom = [](size_t n, char16_t c) { return std::u16string(n - 4, c) + u".tsk"; };
    const std::u16string dossier = u"\\Temp\\" + std::u16string(200, u'd');
    const std::u16string auxLimites[] = {u"\\Temp\\" + nom(253, u'a'), dossier + u"\\" + nom(52, u'b')};
    const std::u16string tropLongs[] = {u"\\Temp\\" + nom(254, u'c'), dossier + u"\\" + nom(53, u'e'),
                                        dossier + u"\\" + nom(54, u'f')};
    const auto hote = [this](const std::u16string &p) {
        return QString::fromLocal8Bit(dir) + QStringLiteral("/fs") + QString::fromStdU16String(p).replace(u'\\', u'/');
    };
    ASSERT_TRUE(QDir().mkpath(hote(dossier)));
    for (const auto &p : auxLimites) {
        ASSERT_EQ(p.size(), 259u);
        testenv::writeFile(hote(p), "limite");
    }
    for (const auto &p : tropLongs) {
        ASSERT_GT(p.size(), 259u);
        testenv::writeFile(hote(p), "trop long");
    }

    // What a folder lists: exactly the names whose path a call takes.
    const auto liste = [this](const std::u16string &motif) {
        DWORD n = 0;
        CE_FIND_DATA *tab = nullptr;
        std::vector<std::u16string> noms;
        EXPECT_TRUE(lien.CeFindAllFiles(motif.c_str(), 0x81, &n, &tab));
        for (DWORD i = 0; i < n; ++i)
            noms.emplace_back(tab[i].cFileName);
        lien.CeRapiFreeBuffer(tab);
        return noms;
    };
    const auto dernier = [](const std::u16string &p) { return p.substr(p.rfind(u'\\') + 1); };
    const auto dansTemp = liste(u"\\Temp\\*");
    EXPECT_NE(std::find(dansTemp.begin(), dansTemp.end(), dernier(auxLimites[0])), dansTemp.end());
    EXPECT_NE(std::find(dansTemp.begin(), dansTemp.end(), dernier(dossier)), dansTemp.end());
    EXPECT_EQ(std::find(dansTemp.begin(), dansTemp.end(), dernier(tropLongs[0])), dansTemp.end());
    EXPECT_EQ(liste(dossier + u"\\*"), std::vector<std::u16string>{dernier(auxLimites[1])});
    EXPECT_EQ(liste(dossier + u"\\*.tsk"), std::vector<std::u16string>{dernier(auxLimites[1])});

    // What is listed opens and reads; what is not is not there either.
    for (const auto &p : auxLimites) {
        CE_FIND_DATA fd{};
        const CEHANDLE h = lien.CeFindFirstFile(p.c_str(), &fd);
        ASSERT_NE(h, OVD_INVALID_HANDLE);
        lien.CeFindClose(h);
        EXPECT_EQ(fd.nFileSizeLow, 6u);
        const CEHANDLE f = lien.CeCreateFile(p.c_str(), OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0);
        ASSERT_NE(f, OVD_INVALID_HANDLE);
        char lu[16] = {};
        DWORD n = 0;
        EXPECT_TRUE(lien.CeReadFile(f, lu, sizeof lu, &n, nullptr));
        EXPECT_EQ(QByteArray(lu, int(n)), QByteArray("limite"));
        lien.CeCloseHandle(f);
    }
    for (const auto &p : tropLongs) {
        CE_FIND_DATA fd{};
        EXPECT_EQ(lien.CeFindFirstFile(p.c_str(), &fd), OVD_INVALID_HANDLE);
        EXPECT_EQ(lien.CeCreateFile(p.c_str(), OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0),
                  OVD_INVALID_HANDLE);
    }
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}
