// ovd-devsim: creates a simulated Pocket PC in a folder, plugs or unplugs
// it, and changes what a user needs to try the device windows; a running
// Orvandel watching that device sees the change.

#include "device/rapi_api.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char *kAide =
    "Usage: ovd-devsim COMMAND [DIR] [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  init [DIR]                      create a simulated Pocket PC (unplugged): its current\n"
    "                                  theme \\Windows\\Blue.tsk and two more theme packages\n"
    "  plug [DIR] [--ip A.B.C.D]       plug the device in (default IP 192.168.55.101)\n"
    "  unplug [DIR]                    unplug the device\n"
    "  status [DIR]                    show whether the device is plugged and watched\n"
    "  policy [DIR] N                  set the AppInstall policy\n"
    "                                  (HKLM\\Security\\Policies\\Policies\\00001001);\n"
    "                                  1 lets the program change application roles\n"
    "  set-dword [DIR] KEY NAME VALUE [--create]\n"
    "                                  set a DWORD value of an existing key of the device\n"
    "                                  registry, e.g.\n"
    "                                  set-dword 'HKCU\\Software\\Microsoft\\Today' DPI 192\n"
    "                                  --create makes the key when it is missing\n"
    "  event DIR CODE [ARG]            send one raw connection event (CODE 1 to 8)\n"
    "  help, --help                    show this text\n"
    "\n"
    "DIR defaults to $ORVANDEL_DEVSIM_DIR, else the per-user device folder\n"
    "(~/.local/share/orvandel-devsim/device). The program finds the same device\n"
    "through ORVANDEL_DEVSIM_DIR, or the per-user folder when it is not set.\n"
    "\n"
    "Faults: edit DIR/device.ini (a text file; init writes its [Device] lines).\n"
    "The device reads it each time the program connects: after a change, unplug\n"
    "and plug the device again.\n"
    "  [Device] AnswerDelayMs=N       the device answers a connection after N ms\n"
    "                                 (the program waits 5000 ms, then gives up)\n"
    "  [Device] NeverAnswer=1         the device never answers a connection\n"
    "  [Device] ConnectResult=N       a connection ends with error code N\n"
    "                                 (e.g. 0x80004005; 0 connects)\n"
    "  [Faults] WriteFailsAfter=N     a full store: no file on the device grows past\n"
    "                                 N bytes, the write that would fails\n"
    "  [Faults] ReadFailsAfter=N      a failing medium: reading any file of the\n"
    "                                 device fails at byte N\n"
    "  [Faults] UnplugAfterMoves=N    the device is pulled out right after the N-th\n"
    "                                 file move of a connection; every later call\n"
    "                                 fails until it is plugged again\n"
    "A value of 0 (the [Device] lines) or -1 (the [Faults] lines), or no line,\n"
    "turns the fault off.\n";

int usage()
{
    std::fputs(kAide, stderr);
    return 2;
}

std::string dossierParDefaut()
{
    char buf[4096];
    const int n = OvdSimDefaultDir(buf, sizeof buf);
    return n > 0 && size_t(n) < sizeof buf ? std::string(buf) : std::string();
}

void annonce(int r, const std::string &dir, const char *action)
{
    if (r > 0)
        std::printf("Device %s: %s (the running program was told).\n", action, dir.c_str());
    else
        std::printf("Device %s: %s (no program is watching it now; it will see the state when it starts).\n",
                    action, dir.c_str());
}

int pasUnAppareil(const std::string &dir)
{
    std::fprintf(stderr, "ovd-devsim: %s is no device folder (run init first).\n", dir.c_str());
    return 1;
}

// A number: decimal, or hexadecimal after "0x"; false when it is not one.
bool nombre(const std::string &texte, unsigned long &valeur)
{
    if (texte.empty() || texte[0] == '-')
        return false;
    char *fin = nullptr;
    valeur = std::strtoul(texte.c_str(), &fin, 0);
    return fin && *fin == 0 && valeur <= 0xFFFFFFFFul;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string cmd = argv[1];
    if (cmd == "help" || cmd == "--help" || cmd == "-h") {
        std::fputs(kAide, stdout);
        return 0;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string ipTexte = "192.168.55.101";
    bool creer = false;
    if (cmd == "set-dword")
        for (size_t i = 0; i < args.size(); ++i)
            if (args[i] == "--create") {
                creer = true;
                args.erase(args.begin() + long(i));
                break;
            }
    for (size_t i = 0; i < args.size(); ++i)
        if (args[i] == "--ip" && i + 1 < args.size()) {
            ipTexte = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            break;
        }
    // How many arguments follow the optional folder.
    size_t suivants = 0;
    if (cmd == "policy")
        suivants = 1;
    else if (cmd == "set-dword")
        suivants = 3;
    else if (cmd == "event")
        suivants = args.size() > 2 ? 2 : 1;
    else if (cmd != "init" && cmd != "plug" && cmd != "unplug" && cmd != "status")
        return usage();
    if (args.size() < suivants || args.size() > suivants + 1)
        return usage();
    if (cmd == "event" && args.size() < 2)
        return usage(); // event names its folder
    const std::string dir = args.size() > suivants ? args[0] : dossierParDefaut();
    const std::vector<std::string> reste(args.end() - long(suivants), args.end());
    if (dir.empty())
        return usage();

    if (cmd == "init") {
        const int r = OvdSimInit(dir.c_str());
        if (r == -2) {
            std::fprintf(stderr, "ovd-devsim: %s already holds a device; nothing was changed.\n", dir.c_str());
            return 1;
        }
        if (r < 0) {
            std::fprintf(stderr, "ovd-devsim: cannot create the device in %s.\n", dir.c_str());
            return 1;
        }
        std::printf("Device created in %s (unplugged).\n", dir.c_str());
        if (r > 0)
            std::printf("Its theme packages were not found beside the simulator library: the device has "
                        "no theme package.\n");
        return 0;
    }
    if (cmd == "plug") {
        in_addr a{};
        if (inet_pton(AF_INET, ipTexte.c_str(), &a) != 1) {
            std::fprintf(stderr, "ovd-devsim: bad IP address \"%s\".\n", ipTexte.c_str());
            return 2;
        }
        // s_addr is in network order: its lowest byte is the first number.
        const int r = OvdSimPlug(dir.c_str(), a.s_addr);
        if (r < 0)
            return pasUnAppareil(dir);
        annonce(r, dir, "plugged");
        return 0;
    }
    if (cmd == "unplug") {
        const int r = OvdSimUnplug(dir.c_str());
        if (r < 0)
            return pasUnAppareil(dir);
        annonce(r, dir, "unplugged");
        return 0;
    }
    if (cmd == "status") {
        char buf[8192];
        const int n = OvdSimStatus(dir.c_str(), buf, sizeof buf);
        if (n < 0)
            return pasUnAppareil(dir);
        std::fputs(buf, stdout);
        return 0;
    }
    if (cmd == "policy" || cmd == "set-dword") {
        unsigned long valeur = 0;
        if (!nombre(reste.back(), valeur)) {
            std::fprintf(stderr, "ovd-devsim: \"%s\" is no number.\n", reste.back().c_str());
            return 2;
        }
        const std::string cle = cmd == "policy" ? "HKLM\\Security\\Policies\\Policies" : reste[0];
        const std::string nom = cmd == "policy" ? "00001001" : reste[1];
        // A mistyped key must not look like a change made.
        if (cmd == "set-dword" && !creer && OvdSimKeyExists(dir.c_str(), cle.c_str()) == 0) {
            std::fprintf(stderr, "ovd-devsim: the key %s does not exist on the device in %s; nothing was changed "
                                 "(--create makes it).\n",
                         cle.c_str(), dir.c_str());
            return 1;
        }
        if (OvdSimSetDword(dir.c_str(), cle.c_str(), nom.c_str(), DWORD(valeur)) != 0) {
            std::fprintf(stderr, "ovd-devsim: cannot set %s\\%s in %s (no device folder, or a key that is "
                                 "neither HKLM\\... nor HKCU\\...).\n",
                         cle.c_str(), nom.c_str(), dir.c_str());
            return 1;
        }
        std::printf("%s\\%s = %lu on the device in %s.\n", cle.c_str(), nom.c_str(), valeur, dir.c_str());
        return 0;
    }
    // event
    unsigned long code = 0, arg = 0;
    if (!nombre(reste[0], code) || code < 1 || code > 8 || (reste.size() > 1 && !nombre(reste[1], arg)))
        return usage();
    const int r = OvdSimRaise(dir.c_str(), int(code), DWORD(arg));
    if (r < 0)
        return 1;
    if (r > 0)
        std::printf("Event sent.\n");
    else
        std::printf("No program is watching %s.\n", dir.c_str());
    return 0;
}
