// The default simulated device written by "ovd-devsim init": a Windows
// Mobile 5 Pocket PC with its colours, Today settings, installed themes,
// owner and partnership, described by our own values.

#include "device/simulator/sim_couleurs_defaut.h"
#include "device/simulator/sim_device.h"

#include <dirent.h>
#include <dlfcn.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

using namespace devsim;

namespace {

using Octets = std::vector<uint8_t>;

Octets rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return {r, g, b, 0};
}

const auto &kCouleurs = kCouleursBleu;

// 41 shell colours, entry k = colour number k (R, G, B, 0 each).
Octets tableShell(bool defaut)
{
    Octets t;
    for (int k = 0; k < 41; ++k) {
        uint8_t r = uint8_t(0x20 + 5 * k), g = uint8_t(0x60 + 3 * k), b = uint8_t(0xA0 + k);
        for (const auto &c : kCouleurs)
            if (c.numero == k) {
                r = c.r;
                g = c.g;
                b = c.b;
            }
        if (defaut && k == 5) { // the default table differs from the current one
            r = 0x00;
            g = 0x33;
            b = 0x99;
        }
        const auto e = rgb(r, g, b);
        t.insert(t.end(), e.begin(), e.end());
    }
    return t;
}

// 29 system colours, entry k = system colour index k.
Octets tableSysteme(bool defaut)
{
    static const uint32_t kRgb[29] = {
        0xC0C0C0, 0x008080, 0x0A246A, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,
        0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,
        0xFFFFE1, 0xD4D0C8, 0x000000, 0xA6CAF0, 0xC0C0C0,
    };
    Octets t;
    for (int k = 0; k < 29; ++k) {
        uint32_t v = kRgb[k];
        if (!defaut && k == 13)
            v = 0x2E97E3; // the theme's highlight
        const auto e = rgb(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v));
        t.insert(t.end(), e.begin(), e.end());
    }
    return t;
}

// The owner record: NUL-terminated UTF-16 strings at fixed byte offsets.
Octets proprietaire()
{
    Octets o(726, 0);
    const auto place = [&o](size_t offset, const std::u16string &s) {
        for (size_t i = 0; i < s.size(); ++i) {
            o[offset + 2 * i] = uint8_t(s[i]);
            o[offset + 2 * i + 1] = uint8_t(s[i] >> 8);
        }
    };
    place(0, u"Camille Durand");
    place(72, u"Atelier Orvandel");
    place(144, u"12 rue des Lilas\r\n75011 Paris");
    place(516, u"+33 1 23 45 67 89");
    place(566, u"camille.durand@example.org");
    return o;
}

Registre registreParDefaut()
{
    Registre r;
    CleReg &hkcu = *r.racine(Registre::HKCU);
    CleReg &hklm = *r.racine(Registre::HKLM);

    CleReg &today = hkcu.ajouteSousCle(u"Software").ajouteSousCle(u"Microsoft").ajouteSousCle(u"Today");
    today.fixeValeur(u"Skin", OVD_REG_SZ, octetsChaine(u"\\Windows\\Blue.tsk"));
    today.fixeValeur(u"UseStartImage", OVD_REG_DWORD, octetsDword(0));
    today.fixeValeur(u"DPI", OVD_REG_DWORD, octetsDword(96));
    CleReg &bleu = today.ajouteSousCle(u"Blue.tsk");
    bleu.fixeValeur(u"UseDefaultTitleColor", OVD_REG_DWORD, octetsDword(1));
    bleu.fixeValeur(u"Color_Highlight", OVD_REG_BINARY, rgb(0x2E, 0x97, 0xE3));
    bleu.fixeValeur(u"Color_HighlightText", OVD_REG_BINARY, rgb(0xFF, 0xFF, 0xFF));
    today.ajouteSousCle(u"Green.TSK");
    today.ajouteSousCle(u"Items").ajouteSousCle(u"Calendar").fixeValeur(u"Enabled", OVD_REG_DWORD, octetsDword(1));
    today.ajouteSousCle(u"Other");

    hkcu.ajouteSousCle(u"ControlPanel").ajouteSousCle(u"Owner").fixeValeur(u"Owner", OVD_REG_BINARY, proprietaire());

    CleReg &couleurs = hklm.ajouteSousCle(u"SOFTWARE").ajouteSousCle(u"Microsoft").ajouteSousCle(u"Color");
    couleurs.fixeValeur(u"BaseHue", OVD_REG_DWORD, octetsDword(kBaseHueBleu));
    for (const auto &c : kCouleurs) {
        const std::u16string nom = depuisUtf8(std::to_string(c.numero));
        if (c.numero == 25) // one colour kept as a DWORD, as some devices do
            couleurs.fixeValeur(nom, OVD_REG_DWORD, octetsDword(c.r | (c.g << 8) | (c.b << 16)));
        else
            couleurs.fixeValeur(nom, OVD_REG_BINARY, rgb(c.r, c.g, c.b));
    }
    couleurs.fixeValeur(u"SHColor", OVD_REG_BINARY, tableShell(false));
    couleurs.fixeValeur(u"DefSHColor", OVD_REG_BINARY, tableShell(true));

    CleReg &system = hklm.ajouteSousCle(u"SYSTEM");
    CleReg &gwe = system.ajouteSousCle(u"GWE");
    gwe.fixeValeur(u"SysColor", OVD_REG_BINARY, tableSysteme(false));
    gwe.fixeValeur(u"DefSysColor", OVD_REG_BINARY, tableSysteme(true));
    system.ajouteSousCle(u"GDI").ajouteSousCle(u"ROTATION").fixeValeur(u"ANGLE", OVD_REG_DWORD, octetsDword(0));

    CleReg &securite = hklm.ajouteSousCle(u"Security");
    CleReg &appInstall = securite.ajouteSousCle(u"AppInstall");
    appInstall.ajouteSousCle(u"Notes").fixeValeur(u"Role", OVD_REG_DWORD, octetsDword(24));
    appInstall.ajouteSousCle(u"Solitaire").fixeValeur(u"Role", OVD_REG_DWORD, octetsDword(8));
    appInstall.ajouteSousCle(u"Sample Tool").fixeValeur(u"Role", OVD_REG_DWORD, octetsDword(16));
    securite.ajouteSousCle(u"Policies").ajouteSousCle(u"Policies").fixeValeur(u"00001001", OVD_REG_DWORD, octetsDword(2));

    CleReg &ident = hklm.ajouteSousCle(u"Ident");
    ident.fixeValeur(u"Name", OVD_REG_SZ, octetsChaine(u"PocketPC"));
    ident.fixeValeur(u"Desc", OVD_REG_SZ, octetsChaine(u"Pocket PC"));
    ident.fixeValeur(u"OrigName", OVD_REG_MULTI_SZ, octetsMultiChaine({u"PocketPC", u"Pocket_PC"}));

    CleReg &partners = hklm.ajouteSousCle(u"SOFTWARE")
                           .ajouteSousCle(u"Microsoft")
                           .ajouteSousCle(u"Windows CE Services")
                           .ajouteSousCle(u"Partners");
    partners.fixeValeur(u"PCur", OVD_REG_DWORD, octetsDword(1));
    partners.ajouteSousCle(u"P1").fixeValeur(u"PName", OVD_REG_SZ, octetsChaine(u"DESKTOP"));
    partners.ajouteSousCle(u"P2").fixeValeur(u"PName", OVD_REG_SZ, octetsChaine(u"LAPTOP"));
    return r;
}

constexpr const char *kDeviceIni =
    "; Simulated Pocket PC (Orvandel device simulator)\n"
    "[Device]\n"
    "AnswerDelayMs=0\n"
    "NeverAnswer=0\n"
    "ConnectResult=0\n"
    "\n[Version]\nMajor=5\nMinor=1\nBuild=1700\nPlatform=3\nCSD=\n"
    "\n[Screen]\nWidth=240\nHeight=320\n"
    "\n[Memory]\nLoad=42\nTotalPhys=50331648\nAvailPhys=29360128\n"
    "\n[Store]\nSize=33554432\nFree=20971520\n"
    "\n[Power]\nAC=1\nMain=87\nBackup=255\n"
    "\n[Cpu]\nInstructionSet=0x05020000\n"
    "\n[Folders]\nTemp=\\Temp\\\n"
    "\n[SpecialFolders]\n"
    "0=\\Windows\\Desktop\n2=\\Windows\\Start Menu\\Programs\n5=\\My Documents\n"
    "6=\\Windows\\Favorites\n7=\\Windows\\StartUp\n8=\\Windows\\Recent\n10=\\Windows\\Recycle Bin\n"
    "11=\\Windows\\Start Menu\n20=\\Windows\\Fonts\n36=\\Windows\n38=\\Program Files\n"
    "\n[Partnership]\nDeviceId=0x1A2B3C4D\nProfileCount=2\n"
    "\n[Service3]\nOemInfo=Orvandel Simulated PDA\nDeviceType=PocketPC\nNoSubFolderIn=1\n"
    "DataFolder=C:\\Users\\Camille\\Documents\\Pocket_PC My Documents\nProcessorType=2577\n"
    "\n[Service13]\nData File=C:\\Users\\Camille\\AppData\\Roaming\\ActiveSync\\Profiles\\P1\\repl.dat\n";

// Creates base and every missing folder above it ("mkdir -p"); the last
// folder gets the given mode.
bool creeChemin(const std::string &base, mode_t mode)
{
    if (base.empty())
        return false;
    size_t pos = 1;
    for (;;) {
        const size_t sep = base.find('/', pos);
        const std::string p = base.substr(0, sep);
        if (!p.empty() && p != "/" && ::mkdir(p.c_str(), sep == std::string::npos ? mode : 0755) != 0
            && errno != EEXIST)
            return false;
        if (sep == std::string::npos)
            break;
        pos = sep + 1;
    }
    struct stat st {};
    return ::stat(base.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool creeDossiers(const std::string &base, std::initializer_list<const char *> chemins)
{
    for (const char *c : chemins)
        if (!creeChemin(base + "/" + c, 0755))
            return false;
    return true;
}

// The folder of the theme packages built beside this library; empty when
// the library stands alone.
std::string dossierPaquets()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void *>(&OvdSimInit), &info) || !info.dli_fname)
        return {};
    std::string lib = info.dli_fname;
    const size_t sep = lib.rfind('/');
    const std::string d = (sep == std::string::npos ? std::string(".") : lib.substr(0, sep)) + "/" + kDossierPaquets;
    struct stat st {};
    return ::stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? d : std::string();
}

// Copies the files of the tree source into cible (folders created); the
// number of files copied, -1 on failure.
int copieArbre(const std::string &source, const std::string &cible, int profondeur = 0)
{
    if (profondeur > 8)
        return 0;
    DIR *d = ::opendir(source.c_str());
    if (!d)
        return -1;
    int n = 0;
    while (dirent *e = ::readdir(d)) {
        const std::string nom = e->d_name;
        // A name the device could not hold is not put on it.
        if (nom == "." || nom == ".." || !devsim::composantValide(devsim::depuisUtf8(nom)))
            continue;
        struct stat st {};
        const std::string de = source + "/" + nom, vers = cible + "/" + nom;
        if (::lstat(de.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int k = creeChemin(vers, 0755) ? copieArbre(de, vers, profondeur + 1) : -1;
            if (k < 0) {
                n = -1;
                break;
            }
            n += k;
        } else if (S_ISREG(st.st_mode)) {
            const auto octets = litFichier(de);
            if (!octets || !ecritAtomique(vers, *octets)) {
                n = -1;
                break;
            }
            ++n;
        }
    }
    ::closedir(d);
    return n;
}

} // namespace

extern "C" int OvdSimInit(const char *dir)
{
    if (!dir || !*dir)
        return -1;
    const std::string d = dir;
    // An existing device is never overwritten.
    if (litFichier(d + "/device.ini") || litFichier(d + "/registry.reg"))
        return -2;
    // The folders above the device folder are made as needed (a new
    // account has no ~/.local/share yet).
    if (!creeChemin(d, 0700))
        return -1;
    if (!creeDossiers(d, {"fs/Windows/Start Menu/Programs", "fs/Windows/Desktop", "fs/Windows/Favorites",
                          "fs/Windows/StartUp", "fs/Windows/Recent", "fs/Windows/Recycle Bin",
                          "fs/Windows/Fonts", "fs/Windows/AppMgr/Install", "fs/My Documents",
                          "fs/Program Files/Sample Tool", "fs/Temp", "fs/Storage Card/Themes",
                          "fs/Storage Card/Odd.tsk"}))
        return -1;
    const bool ok = ecritAtomique(d + "/fs/My Documents/Welcome.txt",
                                  "Welcome to the simulated Pocket PC.\r\n")
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Notes.DAT", std::string(64, '\x01'))
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Solitaire.DAT", std::string(48, '\x02'))
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Sample Tool.DAT", std::string(32, '\x03'))
                    // The uninstall entries, named after the applications' install keys.
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Notes", "Notes\r\n")
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Solitaire", "Solitaire\r\n")
                    && ecritAtomique(d + "/fs/Windows/AppMgr/Sample Tool", "Sample Tool\r\n")
                    && ecritAtomique(d + "/device.ini", kDeviceIni)
                    && ecritAtomique(d + "/state.ini", "[State]\nPlugged=0\n")
                    && ecritAtomique(d + "/registry.reg", registreParDefaut().texte());
    if (!ok)
        return -1;
    // The theme packages: the current skin and a few more.
    const std::string paquets = dossierPaquets();
    if (paquets.empty())
        return 1;
    const int n = copieArbre(paquets, d + "/fs");
    return n < 0 ? -1 : n == 0 ? 1 : 0;
}
