// ovd-devsim: creates a simulated Pocket PC in a folder and plugs or
// unplugs it; a running Orvandel watching that device sees the change.

#include "device/rapi_api.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "Usage: ovd-devsim COMMAND [DIR] [options]\n"
                 "  init [DIR]                 create a device folder with a default Pocket PC\n"
                 "  plug [DIR] [--ip A.B.C.D]  plug the device in (default IP 192.168.55.101)\n"
                 "  unplug [DIR]               unplug the device\n"
                 "  status [DIR]               show whether the device is plugged and watched\n"
                 "  event DIR CODE [ARG]       send one raw connection event (CODE 1 to 8)\n"
                 "DIR defaults to $ORVANDEL_DEVSIM_DIR, else the per-user device folder.\n"
                 "A program finds the same device through ORVANDEL_DEVSIM_DIR.\n");
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

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string ipTexte = "192.168.55.101";
    for (size_t i = 0; i < args.size(); ++i)
        if (args[i] == "--ip" && i + 1 < args.size()) {
            ipTexte = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
            break;
        }
    std::string dir = (!args.empty() && cmd != "event") ? args[0] : dossierParDefaut();
    if (cmd == "event") {
        if (args.size() < 2)
            return usage();
        dir = args[0];
    }
    if (dir.empty())
        return usage();

    if (cmd == "init") {
        const int r = OvdSimInit(dir.c_str());
        if (r == -2) {
            std::fprintf(stderr, "ovd-devsim: %s already holds a device; nothing was changed.\n", dir.c_str());
            return 1;
        }
        if (r != 0) {
            std::fprintf(stderr, "ovd-devsim: cannot create the device in %s.\n", dir.c_str());
            return 1;
        }
        std::printf("Device created in %s (unplugged).\n", dir.c_str());
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
        if (r < 0) {
            std::fprintf(stderr, "ovd-devsim: %s is no device folder (run init first).\n", dir.c_str());
            return 1;
        }
        annonce(r, dir, "plugged");
        return 0;
    }
    if (cmd == "unplug") {
        const int r = OvdSimUnplug(dir.c_str());
        if (r < 0) {
            std::fprintf(stderr, "ovd-devsim: %s is no device folder (run init first).\n", dir.c_str());
            return 1;
        }
        annonce(r, dir, "unplugged");
        return 0;
    }
    if (cmd == "status") {
        char buf[8192];
        const int n = OvdSimStatus(dir.c_str(), buf, sizeof buf);
        if (n < 0) {
            std::fprintf(stderr, "ovd-devsim: %s is no device folder (run init first).\n", dir.c_str());
            return 1;
        }
        std::fputs(buf, stdout);
        return 0;
    }
    if (cmd == "event") {
        char *end = nullptr;
        const long code = std::strtol(args[1].c_str(), &end, 10);
        const unsigned long arg = args.size() > 2 ? std::strtoul(args[2].c_str(), nullptr, 0) : 0;
        if (*end || code < 1 || code > 8)
            return usage();
        const int r = OvdSimRaise(dir.c_str(), int(code), DWORD(arg));
        if (r < 0)
            return 1;
        std::printf(r > 0 ? "Event sent.\n" : "No program is watching %s.\n", dir.c_str());
        return 0;
    }
    return usage();
}
