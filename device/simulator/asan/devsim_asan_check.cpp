// The device simulator's C interface driven directly, without Qt, so that it
// can run under AddressSanitizer and UndefinedBehaviorSanitizer. Every case
// gets a fresh default device in its own temporary folder; the buffer cases
// surround the caller's buffers with guard bytes, so an overrun shows both as
// a sanitizer report and as a failed expectation.

#include "device/rapi_api.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD ip(int a, int b, int c, int d)
{
    return DWORD(a) | DWORD(b) << 8 | DWORD(c) << 16 | DWORD(d) << 24;
}

std::string litTout(const fs::path &p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Waits until fd is readable (the simulator answers at once; the bound only
// keeps a broken build from hanging the check).
bool lisible(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 10000) == 1 && (p.revents & POLLIN);
}

class Appareil : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char *t = std::getenv("TMPDIR");
        std::string modele = std::string(t && *t ? t : "/tmp") + "/ovd-devsim-asan.XXXXXX";
        ASSERT_NE(::mkdtemp(modele.data()), nullptr);
        racine = modele;
        dir = racine / "device";
        ASSERT_GE(OvdSimInit(dir.c_str()), 0); // 1: no theme packages beside this build
        ASSERT_EQ(OvdSimAttach(dir.c_str()), 0);
    }
    void TearDown() override
    {
        if (OvdSimSessionCount() > 0)
            CeRapiUninit();
        EXPECT_EQ(OvdSimSessionCount(), 0);
        std::error_code ec;
        fs::remove_all(racine, ec);
    }

    // Opens a session on the plugged device, as the program does.
    bool connecte()
    {
        RAPIINIT init{OVD_RAPIINIT_SIZE, -1, -1};
        if (CeRapiInitEx(&init) != 0)
            return false;
        return init.heRapiInit >= 0 && lisible(init.heRapiInit) && init.hrRapiInit == 0;
    }

    CEHKEY ouvre(CEHKEY root, const char16_t *sous)
    {
        CEHKEY k = 0;
        EXPECT_EQ(CeRegOpenKeyEx(root, sous, 0, 0, &k), OVD_ERROR_SUCCESS);
        return k;
    }

    fs::path racine;
    fs::path dir;
};

struct Journal {
    std::vector<int> codes;
    std::vector<DWORD> adresses;
};

HRESULT surIp(void *c, DWORD a)
{
    static_cast<Journal *>(c)->codes.push_back(OVD_DCC_IPADDR);
    static_cast<Journal *>(c)->adresses.push_back(a);
    return 0;
}
#define OVD_SINK_SLOT(nom, code) \
    HRESULT nom(void *c) { static_cast<Journal *>(c)->codes.push_back(code); return 0; }
OVD_SINK_SLOT(surTermine, OVD_DCC_TERMINATED)
OVD_SINK_SLOT(surActif, OVD_DCC_ACTIVE)
OVD_SINK_SLOT(surInactif, OVD_DCC_INACTIVE)
OVD_SINK_SLOT(surRepondu, OVD_DCC_ANSWERED)
OVD_SINK_SLOT(surEcoute, OVD_DCC_LISTEN)
OVD_SINK_SLOT(surDeconnexion, OVD_DCC_DISCONNECTION)
OVD_SINK_SLOT(surErreur, OVD_DCC_ERROR)
#undef OVD_SINK_SLOT

constexpr DccManSinkVtbl kSink{surIp, surTermine, surActif, surInactif,
                               surRepondu, surEcoute, surDeconnexion, surErreur};

} // namespace

TEST_F(Appareil, SansSessionToutEchoue)
{
    CEHKEY k = 0;
    EXPECT_NE(CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), OVD_ERROR_SUCCESS);
    DWORD taille = 0;
    EXPECT_NE(CeRegQueryValueEx(OVD_HKEY_LOCAL_MACHINE, u"x", nullptr, nullptr, nullptr, &taille), 0);
    EXPECT_EQ(CeCreateFile(u"\\Temp\\a", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0),
              OVD_INVALID_HANDLE);
    EXPECT_FALSE(fs::exists(dir / "fs/Temp/a"));
    EXPECT_EQ(CeRapiUninit(), OVD_E_UNEXPECTED);

    // Unplugged: the attempt never completes and nothing works.
    RAPIINIT init{OVD_RAPIINIT_SIZE, -1, -1};
    ASSERT_EQ(CeRapiInitEx(&init), 0);
    pollfd p{init.heRapiInit, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0);
    EXPECT_NE(CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), OVD_ERROR_SUCCESS);
    EXPECT_EQ(CeRapiUninit(), 0);

    RAPIINIT mauvais{OVD_RAPIINIT_SIZE + 4, -1, -1};
    EXPECT_EQ(CeRapiInitEx(&mauvais), OVD_E_INVALIDARG);
    EXPECT_EQ(CeRapiInitEx(nullptr), OVD_E_INVALIDARG);
    EXPECT_EQ(OvdSimSessionCount(), 0);
}

TEST_F(Appareil, ValeurLueAuOctetPres)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 9)), 0); // nobody watches yet
    ASSERT_TRUE(connecte());
    const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, u"software\\MICROSOFT\\today");
    DWORD type = 0, taille = 0;
    ASSERT_EQ(CeRegQueryValueEx(k, u"SKIN", nullptr, &type, nullptr, &taille), OVD_ERROR_SUCCESS);
    const std::u16string attendu = u"\\Windows\\Blue.tsk";
    ASSERT_EQ(taille, (attendu.size() + 1) * 2);
    EXPECT_EQ(type, DWORD(OVD_REG_SZ));

    // Exactly sized heap blocks: one byte too many written is an ASan report.
    {
        std::vector<BYTE> court(taille - 1, 0xAB);
        DWORD cb = DWORD(court.size());
        EXPECT_EQ(CeRegQueryValueEx(k, u"Skin", nullptr, &type, court.data(), &cb), OVD_ERROR_MORE_DATA);
        EXPECT_EQ(cb, taille);
        EXPECT_TRUE(std::all_of(court.begin(), court.end(), [](BYTE b) { return b == 0xAB; }));
    }
    std::vector<BYTE> exact(taille);
    DWORD cb = taille;
    ASSERT_EQ(CeRegQueryValueEx(k, u"Skin", nullptr, &type, exact.data(), &cb), OVD_ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(exact.data(), attendu.c_str(), taille), 0);

    EXPECT_EQ(CeRegQueryValueEx(k, u"Absent", nullptr, &type, nullptr, &cb), OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CeRegQueryValueEx(k, u"Skin", nullptr, &type, exact.data(), nullptr), OVD_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CeRegCloseKey(k), OVD_ERROR_SUCCESS);
    EXPECT_EQ(CeRegCloseKey(k), OVD_ERROR_INVALID_HANDLE);
    EXPECT_EQ(OvdSimOpenHandleCount(), 0);
}

TEST_F(Appareil, EnumerationBornee)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 9)), 0);
    ASSERT_TRUE(connecte());
    const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today");
    DWORD nb = 0, maxNom = 0, nbValeurs = 0, maxNomValeur = 0, maxValeur = 0;
    ASSERT_EQ(CeRegQueryInfoKey(k, nullptr, nullptr, nullptr, &nb, &maxNom, nullptr, &nbValeurs, &maxNomValeur,
                                &maxValeur, nullptr, nullptr),
              OVD_ERROR_SUCCESS);
    EXPECT_EQ(nb, 4u);
    EXPECT_EQ(maxNom, 9u); // "Green.TSK"
    EXPECT_EQ(nbValeurs, 3u);

    std::vector<std::u16string> noms;
    for (DWORD i = 0;; ++i) {
        std::vector<WCHAR> nom(maxNom + 1); // the longest name and its NUL, not one unit more
        DWORD cch = DWORD(nom.size());
        const LONG r = CeRegEnumKeyEx(k, i, nom.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == OVD_ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, OVD_ERROR_SUCCESS);
        ASSERT_LT(cch, nom.size());
        EXPECT_EQ(nom[cch], 0);
        noms.emplace_back(nom.data(), cch);
        ASSERT_LT(i, 10u);
    }
    EXPECT_EQ(noms, (std::vector<std::u16string>{u"Blue.tsk", u"Green.TSK", u"Items", u"Other"}));

    std::vector<WCHAR> petit(4, u'#');
    DWORD cch = 4;
    EXPECT_EQ(CeRegEnumKeyEx(k, 1, petit.data(), &cch, nullptr, nullptr, nullptr, nullptr), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(petit[0], u'#');

    // Values: names and data into exactly sized blocks; 234 on a short one.
    std::vector<std::u16string> valeurs;
    for (DWORD i = 0;; ++i) {
        std::vector<WCHAR> nom(maxNomValeur + 1);
        std::vector<BYTE> donnees(maxValeur);
        DWORD cchV = DWORD(nom.size()), cb = DWORD(donnees.size()), type = 0;
        const LONG r = CeRegEnumValue(k, i, nom.data(), &cchV, nullptr, &type, donnees.data(), &cb);
        if (r == OVD_ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, OVD_ERROR_SUCCESS);
        ASSERT_LE(cb, maxValeur);
        valeurs.emplace_back(nom.data(), cchV);
        ASSERT_LT(i, 10u);
    }
    EXPECT_EQ(valeurs, (std::vector<std::u16string>{u"Skin", u"UseStartImage", u"DPI"}));
    std::vector<WCHAR> nomV(maxNomValeur + 1);
    std::vector<BYTE> deux(2, 0xCD);
    DWORD cchV = DWORD(nomV.size()), cb = 2;
    EXPECT_EQ(CeRegEnumValue(k, 2, nomV.data(), &cchV, nullptr, nullptr, deux.data(), &cb), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(cb, 4u);
    EXPECT_EQ(deux[0], 0xCD);
    std::vector<WCHAR> nomCourt(3);
    cchV = 3;
    EXPECT_EQ(CeRegEnumValue(k, 0, nomCourt.data(), &cchV, nullptr, nullptr, nullptr, nullptr), OVD_ERROR_MORE_DATA);
    EXPECT_EQ(CeRegCloseKey(k), OVD_ERROR_SUCCESS);
}

TEST_F(Appareil, EcrituresDuRegistreAtomiques)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 9)), 0);
    ASSERT_TRUE(connecte());
    const fs::path reg = dir / "registry.reg";
    // A second name for the file as it stands: an update made in place would
    // show through it; a new file renamed over it leaves it untouched.
    const std::string avant = litTout(reg);
    fs::create_hard_link(reg, racine / "ancien.reg");

    CEHKEY k = 0;
    EXPECT_EQ(CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Absent", 0, 0, &k),
              OVD_ERROR_FILE_NOT_FOUND); // opening never creates
    k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Color");
    const BYTE hue[] = {0xA0, 0x02, 0, 0};
    ASSERT_EQ(CeRegSetValueEx(k, u"BaseHue", 0, OVD_REG_DWORD, hue, sizeof hue), OVD_ERROR_SUCCESS);
    const BYTE brut[] = {'A', 0, 'B', 0}; // a string without NUL survives as it is
    ASSERT_EQ(CeRegSetValueEx(k, u"a\"b\\c\nd", 0, OVD_REG_SZ, brut, sizeof brut), OVD_ERROR_SUCCESS);
    EXPECT_EQ(CeRegDeleteValue(k, u"40"), OVD_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CeRegDeleteValue(k, u"39"), OVD_ERROR_SUCCESS);
    EXPECT_EQ(CeRegDeleteKey(k, u""), OVD_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CeRegSetValueEx(k, u"x", 0, OVD_REG_BINARY, nullptr, 4), OVD_ERROR_INVALID_PARAMETER);
    ASSERT_EQ(CeRegCloseKey(k), OVD_ERROR_SUCCESS);

    const std::string apres = litTout(reg);
    EXPECT_NE(apres.find("\"BaseHue\"=dword:000002a0"), std::string::npos);
    EXPECT_EQ(apres.find("\"39\"="), std::string::npos);
    EXPECT_EQ(litTout(racine / "ancien.reg"), avant);
    for (const auto &e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().rfind("registry.reg.", 0), std::string::npos)
            << "left behind: " << e.path();

    // Deleting a key takes its sub-keys; handles under it go stale.
    const CEHKEY today = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today");
    const CEHKEY items = ouvre(OVD_HKEY_CURRENT_USER, u"Software\\Microsoft\\Today\\Items");
    ASSERT_EQ(CeRegDeleteKey(today, u"ITEMS"), OVD_ERROR_SUCCESS);
    DWORD n = 0;
    EXPECT_EQ(CeRegQueryInfoKey(items, nullptr, nullptr, nullptr, &n, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr),
              OVD_ERROR_KEY_DELETED);
    CeRegCloseKey(items);
    CeRegCloseKey(today);

    // Read back in a new session.
    ASSERT_EQ(CeRapiUninit(), 0);
    EXPECT_EQ(litTout(reg).find("Calendar"), std::string::npos);
    ASSERT_TRUE(connecte());
    k = ouvre(OVD_HKEY_LOCAL_MACHINE, u"software\\microsoft\\color");
    BYTE buf[sizeof brut];
    DWORD type = 0, cb = sizeof buf;
    ASSERT_EQ(CeRegQueryValueEx(k, u"A\"B\\C\nD", nullptr, &type, buf, &cb), OVD_ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(OVD_REG_SZ));
    ASSERT_EQ(cb, sizeof brut);
    EXPECT_EQ(std::memcmp(buf, brut, sizeof brut), 0);
    CeRegCloseKey(k);
}

TEST_F(Appareil, FichiersAllerRetour)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 9)), 0);
    ASSERT_TRUE(connecte());
    std::string octets;
    for (int i = 0; i < 70000; ++i)
        octets += char(i * 7);
    CEHANDLE h = CeCreateFile(u"\\temp\\Essai.bin", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    DWORD ecrits = 0;
    ASSERT_TRUE(CeWriteFile(h, octets.data(), DWORD(octets.size()), &ecrits, nullptr));
    EXPECT_EQ(ecrits, DWORD(octets.size()));
    ASSERT_TRUE(CeCloseHandle(h));
    EXPECT_EQ(litTout(dir / "fs/Temp/Essai.bin"), octets);
    EXPECT_EQ(CeCreateFile(u"\\Temp\\ESSAI.bin", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_NEW, 0x80, 0),
              OVD_INVALID_HANDLE);

    h = CeCreateFile(u"\\TEMP\\essai.BIN", OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    DWORD haut = 1;
    EXPECT_EQ(CeGetFileSize(h, &haut), DWORD(octets.size()));
    EXPECT_EQ(haut, 0u);
    std::vector<char> lu(4096); // several short reads into an exactly sized block
    std::string relu;
    for (;;) {
        DWORD n = 0;
        ASSERT_TRUE(CeReadFile(h, lu.data(), DWORD(lu.size()), &n, nullptr));
        if (n == 0)
            break;
        ASSERT_LE(n, lu.size());
        relu.append(lu.data(), n);
    }
    EXPECT_EQ(relu, octets);
    ASSERT_TRUE(CeCloseHandle(h));
    EXPECT_FALSE(CeCloseHandle(h));

    CE_FIND_DATA fd{};
    h = CeFindFirstFile(u"\\WINDOWS\\appmgr\\*.dat", &fd);
    ASSERT_NE(h, OVD_INVALID_HANDLE);
    std::vector<std::u16string> trouves{fd.cFileName};
    while (CeFindNextFile(h, &fd))
        trouves.emplace_back(fd.cFileName);
    EXPECT_TRUE(CeFindClose(h));
    std::sort(trouves.begin(), trouves.end());
    EXPECT_EQ(trouves, (std::vector<std::u16string>{u"Notes.DAT", u"Sample Tool.DAT", u"Solitaire.DAT"}));

    DWORD n = 0;
    CE_FIND_DATA *tab = nullptr;
    ASSERT_TRUE(CeFindAllFiles(u"\\Windows\\AppMgr\\*", 0x81, &n, &tab));
    ASSERT_EQ(n, 7u);
    EXPECT_EQ(std::u16string(tab[2].cFileName), u"Notes.DAT");
    EXPECT_EQ(tab[2].nFileSizeLow, 64u);
    int etranger = 0;
    EXPECT_EQ(CeRapiFreeBuffer(&etranger), OVD_E_INVALIDARG);
    EXPECT_EQ(CeRapiFreeBuffer(tab), 0);
    EXPECT_EQ(CeRapiFreeBuffer(tab), OVD_E_INVALIDARG); // never freed twice

    EXPECT_TRUE(CeCopyFile(u"\\Temp\\Essai.bin", u"\\My Documents\\Copie.bin", 1));
    EXPECT_FALSE(CeCopyFile(u"\\Temp\\Essai.bin", u"\\My Documents\\copie.BIN", 1));
    EXPECT_TRUE(CeMoveFile(u"\\My Documents\\Copie.bin", u"\\Temp\\Deplace.bin"));
    EXPECT_EQ(litTout(dir / "fs/Temp/Deplace.bin"), octets);
    EXPECT_TRUE(CeDeleteFile(u"\\Temp\\deplace.bin"));
    EXPECT_TRUE(CeCreateDirectory(u"\\Temp\\Dossier", nullptr));
    EXPECT_EQ(CeGetFileAttributes(u"\\temp\\DOSSIER"), OVD_FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(CeRemoveDirectory(u"\\Temp\\Dossier"));
    EXPECT_EQ(OvdSimOpenHandleCount(), 0);
}

TEST_F(Appareil, AucunCheminNeQuitteLAppareil)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 9)), 0);
    ASSERT_TRUE(connecte());
    { std::ofstream(racine / "secret.txt") << "secret"; }
    fs::create_symlink(racine / "secret.txt", dir / "fs/Temp/lien.txt");
    std::u16string long_(5000, u'a');
    long_.insert(0, u"\\Temp\\");
    CE_FIND_DATA fd{};
    for (const std::u16string &p : {std::u16string(u"\\..\\device.ini"), std::u16string(u"\\Windows\\..\\..\\registry.reg"),
                                    std::u16string(u"..\\device.ini"), std::u16string(u"/etc/passwd"),
                                    std::u16string(u"\\Temp\\lien.txt"), std::u16string(u"\\Temp/.."),
                                    std::u16string(u"\\Temp\\.\\x"), std::u16string(u"\\Temp\\a\x01"), long_}) {
        EXPECT_EQ(CeFindFirstFile(p.c_str(), &fd), OVD_INVALID_HANDLE);
        EXPECT_EQ(CeCreateFile(p.c_str(), OVD_GENERIC_READ, 1, nullptr, OVD_OPEN_EXISTING, 0x80, 0), OVD_INVALID_HANDLE);
        EXPECT_EQ(CeCreateFile(p.c_str(), OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0), OVD_INVALID_HANDLE);
        EXPECT_FALSE(CeDeleteFile(p.c_str()));
        EXPECT_FALSE(CeCopyFile(u"\\My Documents\\Welcome.txt", p.c_str(), 0));
    }
    EXPECT_EQ(litTout(racine / "secret.txt"), "secret");
    EXPECT_EQ(CeCreateFile(u"\\Nouveau\\a.txt", OVD_GENERIC_WRITE, 1, nullptr, OVD_CREATE_ALWAYS, 0x80, 0),
              OVD_INVALID_HANDLE);
    EXPECT_FALSE(fs::exists(dir / "fs/Nouveau"));
    EXPECT_EQ(OvdSimOpenHandleCount(), 0);
}

TEST_F(Appareil, BranchementsSurLeDescripteur)
{
    DCCMAN m = nullptr;
    ASSERT_EQ(DccManCreate(&m), 0);
    DCCMAN second = nullptr;
    EXPECT_NE(DccManCreate(&second), 0); // one manager per device
    Journal j, retire;
    DWORD cookie = 0, cookieRetire = 0;
    ASSERT_EQ(DccManAdvise(m, &kSink, &j, &cookie), 0);
    ASSERT_EQ(DccManAdvise(m, &kSink, &retire, &cookieRetire), 0);
    const int fd = DccManEventFd(m);
    ASSERT_GE(fd, 0);

    // The current state first: an unplugged device listens.
    ASSERT_TRUE(lisible(fd));
    ASSERT_EQ(DccManDispatch(m), 0);
    EXPECT_EQ(j.codes, std::vector<int>{OVD_DCC_LISTEN});
    ASSERT_EQ(DccManUnadvise(m, cookieRetire), 0);
    EXPECT_NE(DccManUnadvise(m, cookieRetire), 0);
    j.codes.clear();

    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(192, 168, 55, 101)), 1);
    ASSERT_TRUE(lisible(fd));
    ASSERT_EQ(DccManDispatch(m), 0);
    EXPECT_EQ(j.codes, (std::vector<int>{OVD_DCC_ANSWERED, OVD_DCC_ACTIVE, OVD_DCC_IPADDR}));
    EXPECT_EQ(j.adresses, std::vector<DWORD>{ip(192, 168, 55, 101)});
    ASSERT_TRUE(connecte());

    j.codes.clear();
    ASSERT_EQ(OvdSimUnplug(dir.c_str()), 1);
    CEHKEY k = 0;
    EXPECT_NE(CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), OVD_ERROR_SUCCESS); // gone at once
    ASSERT_TRUE(lisible(fd));
    ASSERT_EQ(DccManDispatch(m), 0);
    EXPECT_EQ(j.codes, (std::vector<int>{OVD_DCC_DISCONNECTION, OVD_DCC_LISTEN}));
    EXPECT_EQ(CeRapiUninit(), 0);

    j.codes.clear();
    for (int code = 1; code <= 8; ++code)
        ASSERT_EQ(OvdSimRaise(dir.c_str(), code, DWORD(code)), 1);
    EXPECT_EQ(OvdSimRaise(dir.c_str(), 9, 0), -1);
    ASSERT_TRUE(lisible(fd));
    ASSERT_EQ(DccManDispatch(m), 0);
    EXPECT_EQ(j.codes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(retire.codes.size() == 1u); // only the state it was advised with

    // Nothing reaches a sink after it is unadvised, nor after release.
    ASSERT_EQ(DccManUnadvise(m, cookie), 0);
    j.codes.clear();
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 1)), 1);
    ASSERT_TRUE(lisible(fd));
    ASSERT_EQ(DccManDispatch(m), 0);
    EXPECT_TRUE(j.codes.empty());
    DccManRelease(m);
    EXPECT_EQ(OvdSimUnplug(dir.c_str()), 0); // nobody watches any more
    EXPECT_TRUE(j.codes.empty());
}

TEST(AppareilControle, EntreesDeControleBornees)
{
    char petit[8];
    std::memset(petit, '#', sizeof petit);
    const int n = OvdSimDefaultDir(petit, sizeof petit);
    EXPECT_GE(n, 0);
    EXPECT_EQ(petit[sizeof petit - 1], '\0'); // truncated, never overrun
    EXPECT_EQ(OvdSimInit(nullptr), -1);
    EXPECT_EQ(OvdSimInit(""), -1);
    EXPECT_EQ(OvdSimPlug(nullptr, 0), -1);
    EXPECT_EQ(OvdSimStatus("/nonexistent-ovd-device", petit, sizeof petit), -1);
    EXPECT_EQ(OvdSimCallCount(nullptr), -1);
}

TEST_F(Appareil, PartagesEtCheminsRefuses)
{
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 2)), 0);
    ASSERT_TRUE(connecte());
    const CEHANDLE a = CeCreateFile(u"\\Temp\\s.bin", OVD_GENERIC_WRITE, 0, nullptr, OVD_CREATE_ALWAYS, 0x80, 0);
    ASSERT_NE(a, OVD_INVALID_HANDLE);
    EXPECT_EQ(CeCreateFile(u"\\Temp\\s.bin", OVD_GENERIC_WRITE, 0, nullptr, OVD_OPEN_EXISTING, 0x80, 0),
              OVD_INVALID_HANDLE);
    EXPECT_EQ(CeGetLastError(), DWORD(OVD_ERROR_SHARING_VIOLATION));
    EXPECT_EQ(CeDeleteFile(u"\\Temp\\s.bin"), 0);
    EXPECT_NE(CeCloseHandle(a), 0);
    EXPECT_NE(CeDeleteFile(u"\\Temp\\s.bin"), 0);
    CE_FIND_DATA fd{};
    EXPECT_EQ(CeFindFirstFile(u"\\Temp\\", &fd), OVD_INVALID_HANDLE);
    EXPECT_EQ(CeFindFirstFile(u"\\Temp\\\\", &fd), OVD_INVALID_HANDLE);
    EXPECT_EQ(OvdSimOpenHandleCount(), 0);
}

TEST_F(Appareil, NomsDeClesEchappesEtUtf8Strict)
{
    // Hostile key lines: escapes, a bad escape, overlong and truncated UTF-8.
    std::string texte = litTout(dir / "registry.reg");
    texte += "\n[HKEY_CURRENT_USER\\A%0Ab%25]\n\"x\"=dword:00000001\n"
             "[HKEY_CURRENT_USER\\B\xC0\x8A\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80\xC3]\n";
    std::ofstream(dir / "registry.reg", std::ios::binary) << texte;
    ASSERT_EQ(OvdSimPlug(dir.c_str(), ip(10, 0, 0, 3)), 0);
    ASSERT_TRUE(connecte());
    const CEHKEY k = ouvre(OVD_HKEY_CURRENT_USER, u"A\nb%");
    EXPECT_EQ(CeRegSetValueEx(k, u"y", 0, OVD_REG_DWORD, reinterpret_cast<const BYTE *>("\1\0\0\0"), 4), 0);
    EXPECT_EQ(CeRegCloseKey(k), 0);
    CEHKEY n = 0;
    DWORD disp = 0;
    EXPECT_NE(CeRegCreateKeyEx(OVD_HKEY_CURRENT_USER, u"C\x01", 0, nullptr, 0, 0, nullptr, &n, &disp), 0);
    EXPECT_EQ(CeRapiUninit(), 0);
    const std::string ecrit = litTout(dir / "registry.reg");
    EXPECT_NE(ecrit.find("[HKEY_CURRENT_USER\\A%0Ab%25]\n"), std::string::npos);
    // The next session reads what was written.
    ASSERT_TRUE(connecte());
    EXPECT_EQ(CeRegCloseKey(ouvre(OVD_HKEY_CURRENT_USER, u"A\nb%")), 0);
    EXPECT_EQ(CeRapiUninit(), 0);
    // A bad escape makes the file unreadable: the session refuses it and
    // the file is kept as it is.
    std::ofstream(dir / "registry.reg", std::ios::binary) << "[HKEY_CURRENT_USER\\Z%G1]\n";
    RAPIINIT init{OVD_RAPIINIT_SIZE, -1, -1};
    ASSERT_EQ(CeRapiInitEx(&init), 0);
    ASSERT_TRUE(lisible(init.heRapiInit));
    EXPECT_NE(init.hrRapiInit, 0);
    EXPECT_EQ(CeRapiUninit(), 0);
    EXPECT_EQ(litTout(dir / "registry.reg"), "[HKEY_CURRENT_USER\\Z%G1]\n");
}

TEST_F(Appareil, UnNomDeCanalPourChaqueEcritureDuDossier)
{
    // A manager made before its folder exists, named with a trailing slash
    // and "..": the tool's spelling of the folder reaches it.
    const fs::path plus = racine / "nouveau" / "appareil";
    ASSERT_EQ(OvdSimAttach((racine.string() + "/x/../nouveau//appareil/").c_str()), 0);
    DCCMAN m = nullptr;
    ASSERT_EQ(DccManCreate(&m), 0);
    ASSERT_GE(OvdSimInit(plus.c_str()), 0); // parents made as needed
    char etat[512];
    ASSERT_GT(OvdSimStatus(plus.c_str(), etat, sizeof etat), 0);
    EXPECT_NE(std::string(etat).find("Watched by a program: yes"), std::string::npos) << etat;
    ASSERT_EQ(OvdSimPlug(plus.c_str(), ip(1, 2, 3, 4)), 1);
    DccManRelease(m);
    ASSERT_GT(OvdSimStatus(plus.c_str(), etat, sizeof etat), 0);
    EXPECT_NE(std::string(etat).find("Watched by a program: no"), std::string::npos) << etat;
    EXPECT_EQ(OvdSimSetDword(plus.c_str(), "HKLM\\Security\\Policies\\Policies", "00001001", 1), 0);
    EXPECT_EQ(OvdSimSetDword(plus.c_str(), "HKXX\\a", "b", 1), -1);
    EXPECT_EQ(OvdSimSetDword(plus.c_str(), nullptr, "b", 1), -1);
    EXPECT_EQ(OvdSimKeyExists(plus.c_str(), "HKLM\\Security\\Policies\\Policies"), 1);
    EXPECT_EQ(OvdSimKeyExists(plus.c_str(), "HKCU\\Nowhere\\At\\All"), 0);
    EXPECT_EQ(OvdSimKeyExists(plus.c_str(), "HKXX\\a"), -1);
    EXPECT_EQ(OvdSimKeyExists(plus.c_str(), "HKCU\\a\nb"), -1);
    EXPECT_EQ(OvdSimKeyExists(plus.c_str(), nullptr), -1);
    EXPECT_EQ(OvdSimKeyExists(nullptr, "HKCU\\a"), -1);
}
