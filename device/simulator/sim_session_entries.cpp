// Session, system information, window and partnership entries of the
// simulated device. Values come from the device folder's device.ini.

#include "device/simulator/sim_device.h"

#include <cstring>
#include <strings.h>

using namespace devsim;

namespace {

DWORD nombre(const char *section, const char *cle, int64_t defaut)
{
    return DWORD(appareil().config.nombre(section, cle, defaut));
}

// A small fixed window tree: window 0 stands for the desktop.
struct Fenetre {
    CEHWND id;
    CEHWND parent;
    const char16_t *classe;
    const char16_t *titre;
    LONG style;
    LONG exStyle;
};

constexpr Fenetre kFenetres[] = {
    {1, 0, u"DesktopExplorerWindow", u"Desktop", LONG(0x10000000), 0},
    {2, 0, u"HHTaskBar", u"", LONG(0x90000000u), 0x8},
    {3, 0, u"MSStartMenu", u"Start", LONG(0x80C00000u), 0x20000000},
    {4, 1, u"DesktopListView", u"Today", LONG(0x10000000), 0},
    {5, 1, u"static", u"", LONG(0x10000000), 0x80},
};

const Fenetre *fenetre(CEHWND h)
{
    for (const auto &f : kFenetres)
        if (f.id == h)
            return &f;
    return nullptr;
}

int copieTronquee(const std::u16string &s, WCHAR *buf, int cch)
{
    if (!buf || cch <= 0)
        return 0;
    const size_t n = std::min(s.size(), size_t(cch - 1));
    std::memcpy(buf, s.data(), n * sizeof(char16_t));
    buf[n] = 0;
    return int(n);
}

} // namespace

extern "C" {

HRESULT CeRapiInitEx(RAPIINIT *pRapiInit)
{
    compteAppel("CeRapiInitEx");
    if (!pRapiInit || pRapiInit->cbSize != OVD_RAPIINIT_SIZE)
        return OVD_E_INVALIDARG;
    if (!appareil().ouvreSession(pRapiInit))
        return OVD_E_UNEXPECTED;
    return 0;
}

HRESULT CeRapiUninit(void)
{
    compteAppel("CeRapiUninit");
    Appareil &a = appareil();
    if (!a.sessionOuverte)
        return OVD_E_UNEXPECTED;
    a.fermeSession();
    return 0;
}

HRESULT CeRapiGetError(void)
{
    compteAppel("CeRapiGetError");
    return appareil().sessionActive() ? 0 : OVD_E_FAIL;
}

DWORD CeGetLastError(void)
{
    compteAppel("CeGetLastError");
    return appareil().derniereErreur;
}

BOOL CeGetVersionEx(CEOSVERSIONINFO *info)
{
    compteAppel("CeGetVersionEx");
    if (!appareil().exigeSession())
        return 0;
    if (!info || info->dwOSVersionInfoSize != OVD_CEOSVERSIONINFO_SIZE)
        return 0;
    info->dwMajorVersion = nombre("Version", "Major", 5);
    info->dwMinorVersion = nombre("Version", "Minor", 1);
    info->dwBuildNumber = nombre("Version", "Build", 1700);
    info->dwPlatformId = nombre("Version", "Platform", 3);
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    copieTronquee(depuisUtf8(appareil().config.valeur("Version", "CSD")), info->szCSDVersion, 128);
    return 1;
}

int CeGetSystemMetrics(int index)
{
    compteAppel("CeGetSystemMetrics");
    if (!appareil().exigeSession())
        return 0;
    if (index == 0)
        return int(nombre("Screen", "Width", 240));
    if (index == 1)
        return int(nombre("Screen", "Height", 320));
    return 0;
}

void CeGlobalMemoryStatus(CEMEMORYSTATUS *status)
{
    compteAppel("CeGlobalMemoryStatus");
    if (!status || !appareil().exigeSession())
        return;
    std::memset(status, 0, sizeof *status);
    status->dwLength = sizeof *status;
    status->dwMemoryLoad = nombre("Memory", "Load", 0);
    status->dwTotalPhys = nombre("Memory", "TotalPhys", 0);
    status->dwAvailPhys = nombre("Memory", "AvailPhys", 0);
}

BOOL CeGetStoreInformation(STORE_INFORMATION *info)
{
    compteAppel("CeGetStoreInformation");
    if (!info || !appareil().exigeSession())
        return 0;
    info->dwStoreSize = nombre("Store", "Size", 0);
    info->dwFreeSize = nombre("Store", "Free", 0);
    return 1;
}

BOOL CeGetSystemPowerStatusEx(SYSTEM_POWER_STATUS_EX *status, BOOL)
{
    compteAppel("CeGetSystemPowerStatusEx");
    if (!status || !appareil().exigeSession())
        return 0;
    std::memset(status, 0, sizeof *status);
    status->ACLineStatus = BYTE(nombre("Power", "AC", 255));
    status->BatteryLifePercent = BYTE(nombre("Power", "Main", 255));
    status->BackupBatteryLifePercent = BYTE(nombre("Power", "Backup", 255));
    return 1;
}

// Both path queries return the length without the NUL, or, when the buffer
// is too small, the length needed with it and nothing written; 0 on failure.
DWORD CeGetTempPath(DWORD cchBuffer, WCHAR *buffer)
{
    compteAppel("CeGetTempPath");
    if (!appareil().exigeSession())
        return 0;
    const std::u16string p = depuisUtf8(appareil().config.valeur("Folders", "Temp", "\\Temp\\"));
    if (!copieChaine(p, buffer, cchBuffer))
        return DWORD(p.size() + 1);
    return DWORD(p.size());
}

DWORD CeGetSpecialFolderPath(int folder, DWORD cchBuffer, WCHAR *buffer)
{
    compteAppel("CeGetSpecialFolderPath");
    if (!appareil().exigeSession())
        return 0;
    const std::string v = appareil().config.valeur("SpecialFolders", std::to_string(folder));
    if (v.empty()) {
        appareil().derniereErreur = OVD_ERROR_FILE_NOT_FOUND;
        return 0;
    }
    const std::u16string p = depuisUtf8(v);
    if (!copieChaine(p, buffer, cchBuffer))
        return DWORD(p.size() + 1);
    return DWORD(p.size());
}

BOOL CeQueryInstructionSet(DWORD query, DWORD *instructionSet)
{
    compteAppel("CeQueryInstructionSet");
    if (!appareil().exigeSession() || query != 0 || !instructionSet)
        return 0;
    *instructionSet = nombre("Cpu", "InstructionSet", 0x05020000);
    return 1;
}

#ifndef OVD_SIM_WITHOUT_CEGETWINDOW
CEHWND CeGetWindow(CEHWND hWnd, UINT cmd)
{
    compteAppel("CeGetWindow");
    if (!appareil().exigeSession())
        return 0;
    const Fenetre *f = fenetre(hWnd);
    if (!f && hWnd != 0)
        return 0;
    const CEHWND parent = f ? f->parent : CEHWND(-1);
    std::vector<CEHWND> freres, enfants;
    for (const auto &w : kFenetres) {
        if (f && w.parent == parent)
            freres.push_back(w.id);
        if (w.parent == hWnd)
            enfants.push_back(w.id);
    }
    switch (cmd) {
    case 0: // first sibling
        return freres.empty() ? 0 : freres.front();
    case 1: // last sibling
        return freres.empty() ? 0 : freres.back();
    case 2: // next
    case 3: // previous
        for (size_t i = 0; i < freres.size(); ++i)
            if (freres[i] == hWnd) {
                if (cmd == 2)
                    return i + 1 < freres.size() ? freres[i + 1] : 0;
                return i > 0 ? freres[i - 1] : 0;
            }
        return 0;
    case 5: // first child
        return enfants.empty() ? 0 : enfants.front();
    default:
        return 0;
    }
}
#endif

LONG CeGetWindowLong(CEHWND hWnd, int index)
{
    compteAppel("CeGetWindowLong");
    if (!appareil().exigeSession())
        return 0;
    const Fenetre *f = fenetre(hWnd);
    if (!f)
        return 0;
    return index == -16 ? f->style : index == -20 ? f->exStyle : 0;
}

int CeGetWindowText(CEHWND hWnd, WCHAR *text, int cchMax)
{
    compteAppel("CeGetWindowText");
    const Fenetre *f = appareil().exigeSession() ? fenetre(hWnd) : nullptr;
    return f ? copieTronquee(f->titre, text, cchMax) : 0;
}

int CeGetClassName(CEHWND hWnd, WCHAR *name, int cchMax)
{
    compteAppel("CeGetClassName");
    const Fenetre *f = appareil().exigeSession() ? fenetre(hWnd) : nullptr;
    return f ? copieTronquee(f->classe, name, cchMax) : 0;
}

// ---------------------------------------------------------------------------
// Partnership services

DWORD CeGetDeviceId(void)
{
    compteAppel("CeGetDeviceId");
    if (!appareil().sessionActive())
        return 0; // no device
    return nombre("Partnership", "DeviceId", 0);
}

HRESULT CeSvcOpen(UINT service, DWORD deviceId, BOOL, HCESVC *result)
{
    compteAppel("CeSvcOpen");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_E_FAIL;
    if (!result)
        return OVD_E_INVALIDARG;
    const DWORD id = nombre("Partnership", "DeviceId", 0);
    if (deviceId != id || id == 0 || id == 0xFFFFFFFFu || (service != 3 && service != 13))
        return OVD_E_FAIL;
    const HCESVC h = a.nouveauHandle();
    a.services[h] = {service};
    *result = h;
    return 0;
}

HRESULT CeSvcClose(HCESVC hSvc)
{
    compteAppel("CeSvcClose");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_E_FAIL;
    return a.services.erase(hSvc) ? 0 : OVD_E_INVALIDARG;
}

HRESULT CeSvcGetString(HCESVC hSvc, const WCHAR *valueName, WCHAR *buffer, DWORD cchBuffer)
{
    compteAppel("CeSvcGetString");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_E_FAIL;
    const auto it = a.services.find(hSvc);
    const auto nom = lireChaine(valueName, 256);
    if (it == a.services.end() || !nom || !buffer)
        return OVD_E_INVALIDARG;
    const std::string section = "Service" + std::to_string(it->second.service);
    const std::string cle = versUtf8(*nom);
    bool present = false;
    for (const auto &[k, v] : a.config.section(section))
        present = present || strcasecmp(k.c_str(), cle.c_str()) == 0;
    if (!present)
        return HRESULT(0x80070002);
    if (!copieChaine(depuisUtf8(a.config.valeur(section, cle)), buffer, cchBuffer))
        return OVD_HRESULT_INSUFFICIENT_BUFFER;
    return 0;
}

HRESULT CeSvcGetDword(HCESVC hSvc, const WCHAR *valueName, DWORD *value)
{
    compteAppel("CeSvcGetDword");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_E_FAIL;
    const auto it = a.services.find(hSvc);
    const auto nom = lireChaine(valueName, 256);
    if (it == a.services.end() || !nom || !value)
        return OVD_E_INVALIDARG;
    const std::string section = "Service" + std::to_string(it->second.service);
    const int64_t v = a.config.nombre(section, versUtf8(*nom), -1);
    if (v < 0)
        return HRESULT(0x80070002);
    *value = DWORD(v);
    return 0;
}

HRESULT CeSvcEnumProfiles(HCESVC *hSvc, DWORD index, DWORD *profile)
{
    compteAppel("CeSvcEnumProfiles");
    if (!appareil().exigeSession())
        return OVD_E_FAIL;
    if (!hSvc || !profile)
        return OVD_E_INVALIDARG;
    if (index >= nombre("Partnership", "ProfileCount", 0))
        return OVD_HRESULT_NO_MORE_ITEMS;
    *profile = index + 1;
    return 0;
}

} // extern "C"
