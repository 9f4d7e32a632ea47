// The simulator's connection manager and its control entries.
//
// A manager binds a datagram socket in the abstract namespace, named after
// the user id and the device folder's canonical path (no file to clean up,
// no path-length limit). The ovd-devsim tool, or a test, sends it one
// datagram per event ("plug <ip>", "unplug", "event <code> <arg>"); the
// kernel attaches the sender's credentials and datagrams from another user
// are dropped. The program watches the descriptor and calls DccManDispatch,
// which turns every datagram into the notifications of the sequence and
// delivers them synchronously to the advised sinks.

#include "device/simulator/sim_device.h"

#include <sys/socket.h>
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

std::string canonique(const std::string &dir)
{
    char buf[PATH_MAX];
    if (::realpath(dir.c_str(), buf))
        return buf;
    return dir;
}

sockaddr_un adresse(const std::string &dir, socklen_t &len)
{
    uint64_t h = 1469598103934665603ull; // FNV-1a
    for (unsigned char c : canonique(dir)) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char nom[80];
    const int n = std::snprintf(nom, sizeof nom, "orvandel-devsim-%u-%016llx", unsigned(::getuid()),
                                static_cast<unsigned long long>(h));
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    a.sun_path[0] = 0; // abstract namespace
    std::memcpy(a.sun_path + 1, nom, size_t(n));
    len = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(n));
    return a;
}

// Sends one message to the manager watching dir: 1 delivered, 0 nobody
// watches, -1 error.
int envoie(const std::string &dir, const std::string &message)
{
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return -1;
    socklen_t len = 0;
    const sockaddr_un a = adresse(dir, len);
    const ssize_t n = ::sendto(s, message.data(), message.size(), MSG_DONTWAIT,
                               reinterpret_cast<const sockaddr *>(&a), len);
    const int err = errno;
    ::close(s);
    if (n == ssize_t(message.size()))
        return 1;
    return (err == ECONNREFUSED || err == ENOENT) ? 0 : -1;
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

void lit(OvdDccMan *m)
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
        const ssize_t n = ::recvmsg(m->fd, &msg, MSG_DONTWAIT);
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
    m->fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int un = 1;
    socklen_t len = 0;
    const sockaddr_un a = adresse(m->dossier, len);
    if (m->fd < 0 || ::setsockopt(m->fd, SOL_SOCKET, SO_PASSCRED, &un, sizeof un) != 0
        || ::bind(m->fd, reinterpret_cast<const sockaddr *>(&a), len) != 0) {
        detruit(m); // another manager already watches this device
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
    return manager ? 0 : OVD_E_INVALIDARG; // the simulator has no settings dialog
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
    // A datagram socket connects only to a bound address: this tells whether
    // a program watches the device, without sending it anything.
    bool surveille = false;
    if (const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0); s >= 0) {
        socklen_t len = 0;
        const sockaddr_un a = adresse(dir, len);
        surveille = ::connect(s, reinterpret_cast<const sockaddr *>(&a), len) == 0;
        ::close(s);
    }
    char ipTexte[32] = "";
    if (branche)
        std::snprintf(ipTexte, sizeof ipTexte, " (IP %u.%u.%u.%u)", ip & 0xFF, (ip >> 8) & 0xFF,
                      (ip >> 16) & 0xFF, ip >> 24);
    return std::snprintf(buffer, buffer ? size : 0, "Device folder: %s\nState: %s%s\nWatched by a program: %s\n",
                         canonique(dir).c_str(), branche ? "plugged" : "unplugged", ipTexte,
                         surveille ? "yes" : "no");
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

int OvdSimFlush(void)
{
    return appareil().enregistreRegistre() ? 0 : -1;
}

} // extern "C"
