// The simulator's connection manager and its control entries.
//
// A manager binds datagram sockets in folders only the user can reach (the
// user's runtime folder, and a private folder in /tmp), named after the
// device folder's canonical path, so no other local user can take the name
// first; its descriptor is an epoll set over them. The ovd-devsim tool, or a test, sends it one
// datagram per event ("plug <ip>", "unplug", "event <code> <arg>"); the
// kernel attaches the sender's credentials and datagrams from another user
// are dropped. The program watches the descriptor and calls DccManDispatch,
// which turns every datagram into the notifications of the sequence and
// delivers them synchronously to the advised sinks.

#include "device/simulator/sim_device.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>

using namespace devsim;

struct OvdDccMan {
    int fd = -1;
    std::string dossier;
    std::vector<int> sockets;          // bound, read by DccManDispatch
    std::vector<std::string> chemins;  // their files, removed on release
    struct Abonne {
        DWORD cookie;
        DccManSinkVtbl sink;
        void *context;
        uint64_t depuis; // receives only events queued from then on
    };
    std::vector<Abonne> abonnes;
    struct Evenement {
        DWORD cookie; // 0: every sink
        int code;
        DWORD argument;
        uint64_t sequence;
    };
    std::deque<Evenement> file;
    uint64_t sequence = 0;
    int enDistribution = 0;
    bool libere = false;
};

namespace {

DWORD g_prochainCookie = 1;

// The device folder's one name, whether or not it exists yet and however it
// is written: made absolute, "." and ".." and repeated or trailing slashes
// removed, then the longest part that exists resolved (links included) and
// the rest appended. A program started before "init", or given the folder
// with a trailing slash, finds the same channel as the tool.
std::string canonique(const std::string &dir)
{
    std::string abs = dir;
    if (abs.empty() || abs[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            abs = std::string(cwd) + "/" + abs;
    }
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= abs.size()) {
        size_t sep = abs.find('/', pos);
        if (sep == std::string::npos)
            sep = abs.size();
        const std::string c = abs.substr(pos, sep - pos);
        if (c == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!c.empty() && c != ".") {
            parts.push_back(c);
        }
        pos = sep + 1;
    }
    // The longest existing prefix, resolved; the missing rest as written.
    for (size_t n = parts.size() + 1; n-- > 0;) {
        std::string prefixe;
        for (size_t i = 0; i < n; ++i)
            prefixe += "/" + parts[i];
        char buf[PATH_MAX];
        if (!::realpath(prefixe.empty() ? "/" : prefixe.c_str(), buf))
            continue;
        std::string r = buf;
        if (r == "/")
            r.clear();
        for (size_t i = n; i < parts.size(); ++i)
            r += "/" + parts[i];
        return r.empty() ? std::string("/") : r;
    }
    std::string r;
    for (const auto &c : parts)
        r += "/" + c;
    return r.empty() ? std::string("/") : r;
}

// A folder only this user can reach: owned by the user, no access for
// anyone else, and not a link.
bool dossierPrive(const std::string &d)
{
    struct stat st {};
    return ::lstat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
           && (st.st_mode & 077) == 0;
}

// Where the channels live, in order: the user's runtime folder, and a
// private folder of ours in /tmp (made when missing, refused when someone
// else made it or others can enter it). A manager binds in the first; a
// sender tries both, so a tool run without the runtime folder (another
// login, su) still reaches a program that has it, and the other way round.
std::vector<std::string> dossiersCanaux()
{
    std::vector<std::string> l;
    // The socket's name (34 characters) must fit in an address with the folder.
    constexpr size_t kPlace = sizeof(sockaddr_un::sun_path) - 40;
    if (const char *x = std::getenv("XDG_RUNTIME_DIR"); x && *x == '/' && std::strlen(x) < kPlace && dossierPrive(x))
        l.push_back(x);
    const std::string d = "/tmp/orvandel-devsim-" + std::to_string(::getuid());
    if ((::mkdir(d.c_str(), 0700) == 0 || errno == EEXIST) && dossierPrive(d))
        l.push_back(d);
    return l;
}

// The channel of a device folder in one of those folders: a socket file
// named after the folder's canonical path.
bool adresseDans(const std::string &base, const std::string &dir, sockaddr_un &a, socklen_t &len)
{
    uint64_t h = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : canonique(dir)) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char nom[160];
    const int n = std::snprintf(nom, sizeof nom, "%s/orvandel-devsim-%016llx", base.c_str(),
                                static_cast<unsigned long long>(h));
    a = sockaddr_un{};
    a.sun_family = AF_UNIX;
    if (n <= 0 || size_t(n) >= sizeof a.sun_path)
        return false;
    std::memcpy(a.sun_path, nom, size_t(n) + 1);
    len = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(n) + 1);
    return true;
}

// Sends one message to the manager watching dir: 1 delivered, 0 nobody
// watches, -1 error.
int envoie(const std::string &dir, const std::string &message)
{
    const auto dossiers = dossiersCanaux();
    if (dossiers.empty())
        return -1;
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    int r = 0;
    for (const std::string &base : dossiers) {
        socklen_t len = 0;
        sockaddr_un a{};
        if (!adresseDans(base, dir, a, len))
            continue;
        const ssize_t n = ::sendto(s, message.data(), message.size(), MSG_DONTWAIT,
                                   reinterpret_cast<const sockaddr *>(&a), len);
        if (n == ssize_t(message.size())) {
            r = 1;
            break;
        }
        if (errno != ECONNREFUSED && errno != ENOENT)
            r = -1;
    }
    ::close(s);
    return r;
}

// Whether a manager watches dir: a datagram socket connects only to a bound
// address, so this asks without sending anything.
bool surveille(const std::string &dir)
{
    bool oui = false;
    for (const std::string &base : dossiersCanaux()) {
        const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        socklen_t len = 0;
        sockaddr_un a{};
        oui = s >= 0 && adresseDans(base, dir, a, len)
              && ::connect(s, reinterpret_cast<const sockaddr *>(&a), len) == 0;
        if (s >= 0)
            ::close(s);
        if (oui)
            break;
    }
    return oui;
}

// A datagram socket bound at a, passing its senders' credentials; a file
// left there by a program that ended without removing it is taken over, one
// that a running program watches is not. -1 on failure.
[[maybe_unused]] int lieSocket(const sockaddr_un &a, socklen_t len)
{
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int un = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &un, sizeof un) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), len) == 0)
        return fd;
    if (errno == EADDRINUSE) {
        const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const bool vivant = s >= 0 && ::connect(s, reinterpret_cast<const sockaddr *>(&a), len) == 0;
        const int err = errno;
        if (s >= 0)
            ::close(s);
        if (!vivant && err == ECONNREFUSED && ::unlink(a.sun_path) == 0
            && ::bind(fd, reinterpret_cast<const sockaddr *>(&a), len) == 0)
            return fd;
    }
    ::close(fd);
    return -1;
}

bool memeDossier(const std::string &a, const std::string &b)
{
    return canonique(a) == canonique(b);
}

void metsEnFile(OvdDccMan *m, DWORD cookie, std::initializer_list<std::pair<int, DWORD>> evts)
{
    for (const auto &[c, arg] : evts)
        m->file.push_back({cookie, c, arg, m->sequence++});
}

DWORD ipDe(const std::string &dir)
{
    return DWORD(litIni(dir + "/state.ini").nombre("State", "Ip", 0));
}

void litSocket(OvdDccMan *m, int fd);

void lit(OvdDccMan *m)
{
    for (int fd : m->sockets)
        litSocket(m, fd);
}

void litSocket(OvdDccMan *m, int fd)
{
    for (;;) {
        char buf[256];
        iovec io{buf, sizeof buf - 1};
        alignas(cmsghdr) char ctrl[CMSG_SPACE(sizeof(ucred))];
        msghdr msg{};
        msg.msg_iov = &io;
        msg.msg_iovlen = 1;
        msg.msg_control = ctrl;
        msg.msg_controllen = sizeof ctrl;
        const ssize_t n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return;
        bool deConfiance = false;
        for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred cr;
                std::memcpy(&cr, CMSG_DATA(c), sizeof cr);
                deConfiance = cr.uid == ::getuid();
            }
        if (!deConfiance)
            continue;
        buf[n] = 0;
        unsigned long a = 0, b = 0;
        Appareil &app = appareil();
        const bool ici = !app.dossier.empty() && memeDossier(app.dossier, m->dossier);
        if (std::sscanf(buf, "plug %lu", &a) == 1) {
            if (ici)
                app.debranche = false;
            metsEnFile(m, 0, {{OVD_DCC_ANSWERED, 0}, {OVD_DCC_ACTIVE, 0}, {OVD_DCC_IPADDR, DWORD(a)}});
        } else if (std::strcmp(buf, "unplug") == 0) {
            if (ici)
                app.debranche = true; // calls in flight now fail, as on a real removal
            metsEnFile(m, 0, {{OVD_DCC_DISCONNECTION, 0}, {OVD_DCC_LISTEN, 0}});
        } else if (std::sscanf(buf, "event %lu %lu", &a, &b) == 2 && a >= 1 && a <= 8) {
            metsEnFile(m, 0, {{int(a), DWORD(b)}});
        } else if (std::sscanf(buf, "advise %lu", &a) == 1) {
            if (estBranche(m->dossier))
                metsEnFile(m, DWORD(a),
                           {{OVD_DCC_ANSWERED, 0}, {OVD_DCC_ACTIVE, 0}, {OVD_DCC_IPADDR, ipDe(m->dossier)}});
            else
                metsEnFile(m, DWORD(a), {{OVD_DCC_LISTEN, 0}});
        }
    }
}

void appelle(const OvdDccMan::Abonne &ab, int code, DWORD arg)
{
    const DccManSinkVtbl &s = ab.sink;
    void *c = ab.context;
    switch (code) {
    case OVD_DCC_IPADDR: if (s.OnLogIpAddr) s.OnLogIpAddr(c, arg); break;
    case OVD_DCC_TERMINATED: if (s.OnLogTerminated) s.OnLogTerminated(c); break;
    case OVD_DCC_ACTIVE: if (s.OnLogActive) s.OnLogActive(c); break;
    case OVD_DCC_INACTIVE: if (s.OnLogInactive) s.OnLogInactive(c); break;
    case OVD_DCC_ANSWERED: if (s.OnLogAnswered) s.OnLogAnswered(c); break;
    case OVD_DCC_LISTEN: if (s.OnLogListen) s.OnLogListen(c); break;
    case OVD_DCC_DISCONNECTION: if (s.OnLogDisconnection) s.OnLogDisconnection(c); break;
    case OVD_DCC_ERROR: if (s.OnLogError) s.OnLogError(c); break;
    default: break;
    }
}

void detruit(OvdDccMan *m)
{
    for (const std::string &c : m->chemins)
        ::unlink(c.c_str());
    for (int s : m->sockets)
        ::close(s);
    if (m->fd >= 0)
        ::close(m->fd);
    delete m;
}

int ecritEtat(const std::string &dir, bool branche, DWORD ip)
{
    Ini etat = litIni(dir + "/state.ini");
    etat.fixe("State", "Plugged", branche ? "1" : "0");
    if (branche)
        etat.fixe("State", "Ip", std::to_string(ip));
    return ecritAtomique(dir + "/state.ini", etat.texte()) ? 0 : -1;
}

bool estDossierAppareil(const char *dir)
{
    return dir && *dir && litFichier(std::string(dir) + "/device.ini").has_value();
}

} // namespace

extern "C" {

#ifndef OVD_SIM_WITHOUT_DCCMANCREATE
HRESULT DccManCreate(DCCMAN *result)
{
    compteAppel("DccManCreate");
    if (!result)
        return OVD_E_INVALIDARG;
    auto *m = new OvdDccMan;
    m->dossier = appareil().dossierCourant();
    // One manager per device, wherever the other one bound.
    if (surveille(m->dossier)) {
        detruit(m);
        return OVD_E_FAIL;
    }
    // A socket in each private folder (a tool reaches the first it knows),
    // all watched through one descriptor.
    m->fd = ::epoll_create1(EPOLL_CLOEXEC);
    for (const std::string &base : dossiersCanaux()) {
        socklen_t len = 0;
        sockaddr_un a{};
        if (m->fd < 0 || !adresseDans(base, m->dossier, a, len))
            continue;
        const int s = lieSocket(a, len);
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = s;
        if (s < 0)
            continue;
        if (::epoll_ctl(m->fd, EPOLL_CTL_ADD, s, &ev) != 0) {
            ::close(s);
            ::unlink(a.sun_path);
            continue;
        }
        m->sockets.push_back(s);
        m->chemins.push_back(a.sun_path);
    }
    if (m->sockets.empty()) {
        detruit(m);
        return OVD_E_FAIL;
    }
    *result = m;
    return 0;
}
#endif

void DccManRelease(DCCMAN manager)
{
    compteAppel("DccManRelease");
    if (!manager)
        return;
    manager->abonnes.clear();
    manager->file.clear();
    if (manager->enDistribution) {
        manager->libere = true; // freed when the outer dispatch returns
        return;
    }
    detruit(manager);
}

HRESULT DccManAdvise(DCCMAN manager, const DccManSinkVtbl *sink, void *context, DWORD *cookie)
{
    compteAppel("DccManAdvise");
    if (!manager || manager->libere || !sink || !cookie)
        return OVD_E_INVALIDARG;
    // Events already waiting belong to the sinks advised before this one.
    lit(manager);
    const DWORD c = g_prochainCookie++;
    manager->abonnes.push_back({c, *sink, context, manager->sequence});
    *cookie = c;
    // The current state reaches the new sink through the descriptor, like
    // every other notification.
    envoie(manager->dossier, "advise " + std::to_string(c));
    return 0;
}

HRESULT DccManUnadvise(DCCMAN manager, DWORD cookie)
{
    compteAppel("DccManUnadvise");
    if (!manager)
        return OVD_E_INVALIDARG;
    for (auto it = manager->abonnes.begin(); it != manager->abonnes.end(); ++it)
        if (it->cookie == cookie) {
            manager->abonnes.erase(it);
            return 0;
        }
    return OVD_E_INVALIDARG;
}

HRESULT DccManShowCommSettings(DCCMAN manager)
{
    compteAppel("DccManShowCommSettings");
    // The simulator has no connection settings window: it says so, and the
    // program tells the user.
    return manager ? OVD_E_NOTIMPL : OVD_E_INVALIDARG;
}

int DccManEventFd(DCCMAN manager)
{
    return manager ? manager->fd : -1;
}

HRESULT DccManDispatch(DCCMAN manager)
{
    compteAppel("DccManDispatch");
    if (!manager || manager->libere)
        return OVD_E_INVALIDARG;
    ++manager->enDistribution;
    lit(manager);
    while (!manager->file.empty() && !manager->libere) {
        const auto e = manager->file.front();
        manager->file.pop_front();
        std::vector<DWORD> cookies;
        for (const auto &ab : manager->abonnes)
            if ((e.cookie == 0 || e.cookie == ab.cookie) && e.sequence >= ab.depuis)
                cookies.push_back(ab.cookie);
        for (DWORD c : cookies) {
            // A sink unadvised by an earlier callback receives nothing more.
            for (const auto &ab : manager->abonnes)
                if (ab.cookie == c) {
                    const auto copie = ab;
                    appelle(copie, e.code, e.argument);
                    break;
                }
            if (manager->libere)
                break;
        }
    }
    if (--manager->enDistribution == 0 && manager->libere)
        detruit(manager);
    return 0;
}

// ---------------------------------------------------------------------------
// Control

int OvdSimAttach(const char *dir)
{
    if (!dir || !appareil().attache(dir))
        return -1;
    // The call counts tell what was asked of the device now attached.
    appareil().appels.clear();
    return 0;
}

int OvdSimPlug(const char *dir, DWORD ipAddress)
{
    if (!estDossierAppareil(dir) || ecritEtat(dir, true, ipAddress) != 0)
        return -1;
    Appareil &a = appareil();
    if (!a.dossier.empty() && memeDossier(a.dossier, dir))
        a.debranche = false;
    return envoie(dir, "plug " + std::to_string(ipAddress));
}

int OvdSimUnplug(const char *dir)
{
    if (!estDossierAppareil(dir) || ecritEtat(dir, false, 0) != 0)
        return -1;
    Appareil &a = appareil();
    if (!a.dossier.empty() && memeDossier(a.dossier, dir))
        a.debranche = true;
    return envoie(dir, "unplug");
}

int OvdSimRaise(const char *dir, int code, DWORD argument)
{
    if (!dir || code < 1 || code > 8)
        return -1;
    return envoie(dir, "event " + std::to_string(code) + " " + std::to_string(argument));
}

int OvdSimSetOption(const char *dir, const char *section, const char *key, const char *value)
{
    if (!estDossierAppareil(dir) || !section || !key || !value)
        return -1;
    const std::string path = std::string(dir) + "/device.ini";
    Ini ini = litIni(path);
    ini.fixe(section, key, value);
    return ecritAtomique(path, ini.texte()) ? 0 : -1;
}

int OvdSimStatus(const char *dir, char *buffer, size_t size)
{
    if (!estDossierAppareil(dir))
        return -1;
    const Ini etat = litIni(std::string(dir) + "/state.ini");
    const bool branche = etat.nombre("State", "Plugged", 0) == 1;
    const auto ip = DWORD(etat.nombre("State", "Ip", 0));
    const bool estSurveille = surveille(dir);
    char ipTexte[32] = "";
    if (branche)
        std::snprintf(ipTexte, sizeof ipTexte, " (IP %u.%u.%u.%u)", ip & 0xFF, (ip >> 8) & 0xFF,
                      (ip >> 16) & 0xFF, ip >> 24);
    return std::snprintf(buffer, buffer ? size : 0, "Device folder: %s\nState: %s%s\nWatched by a program: %s\n",
                         canonique(dir).c_str(), branche ? "plugged" : "unplugged", ipTexte,
                         estSurveille ? "yes" : "no");
}

int OvdSimSessionCount(void)
{
    return appareil().sessionOuverte ? 1 : 0;
}

int OvdSimOpenHandleCount(void)
{
    const Appareil &a = appareil();
    return int(a.cles.size() + a.fichiers.size() + a.recherches.size() + a.services.size()
               + a.tampons.size());
}

int OvdSimCallCount(const char *entry)
{
    if (!entry)
        return -1;
    const auto it = appareil().appels.find(entry);
    return it == appareil().appels.end() ? 0 : it->second;
}

int OvdSimDefaultDir(char *buffer, size_t size)
{
    return std::snprintf(buffer, buffer ? size : 0, "%s", dossierParDefaut().c_str());
}

} // extern "C"

namespace {

// The device registry as the tool edits it: the file read back, the root and
// the key's path below it. Nothing when the folder, the key's text or the
// file is not usable.
struct CleOutil {
    std::string fichier;
    Registre registre;
    uint32_t hkey = 0;
    std::vector<std::u16string> chemin;
};

std::optional<CleOutil> cleOutil(const char *dir, const char *key)
{
    // key: "HKLM\\..." or "HKCU\\..." (or the roots' long names).
    if (!estDossierAppareil(dir) || !key)
        return std::nullopt;
    const auto parts = decoupeCle(depuisUtf8(key));
    if (!parts || parts->empty())
        return std::nullopt;
    const std::u16string racine = cleSansCasse((*parts)[0]);
    const uint32_t hkey = (racine == u"HKLM" || racine == u"HKEY_LOCAL_MACHINE") ? Registre::HKLM
                          : (racine == u"HKCU" || racine == u"HKEY_CURRENT_USER") ? Registre::HKCU
                                                                                 : 0;
    if (!hkey)
        return std::nullopt;
    for (const auto &p : *parts)
        for (char16_t c : p)
            if (c < 0x20 || c == 0x7F)
                return std::nullopt;
    const std::string path = std::string(dir) + "/registry.reg";
    const auto texte = litFichier(path);
    std::optional<Registre> r = texte ? Registre::lire(*texte) : std::nullopt;
    if (!r)
        return std::nullopt; // a damaged registry is never overwritten
    return CleOutil{path, std::move(*r), hkey, std::vector<std::u16string>(parts->begin() + 1, parts->end())};
}

} // namespace

extern "C" {

int OvdSimKeyExists(const char *dir, const char *key)
{
    std::optional<CleOutil> c = cleOutil(dir, key);
    if (!c)
        return -1;
    return c->registre.trouve(c->hkey, c->chemin) ? 1 : 0;
}

int OvdSimSetDword(const char *dir, const char *key, const char *valueName, DWORD value)
{
    // The key is made when missing: this is the user's hand on the device,
    // not a call of the program (the tool asks first whether it exists).
    if (!valueName)
        return -1;
    std::optional<CleOutil> c = cleOutil(dir, key);
    if (!c)
        return -1;
    CleReg *k = c->registre.racine(c->hkey);
    for (const auto &p : c->chemin)
        k = &k->ajouteSousCle(p);
    k->fixeValeur(depuisUtf8(valueName), OVD_REG_DWORD, octetsDword(value));
    return ecritAtomique(c->fichier, c->registre.texte()) ? 0 : -1;
}

int OvdSimFlush(void)
{
    return appareil().enregistreRegistre() ? 0 : -1;
}

} // extern "C"
