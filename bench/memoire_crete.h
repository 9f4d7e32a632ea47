#pragma once

// Peak memory of one operation, measured in a child process: the child starts
// as a copy of the benchmark (its resident pages, the test pictures among
// them, count from the start), runs the operation once and reports how far
// its peak resident size rose above where it started. Linux only.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

namespace memoire {

// VmRSS or VmHWM of this process, in bytes.
inline int64_t ligneStatus(const char *cle)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char ligne[256];
    int64_t valeur = -1;
    const size_t n = std::strlen(cle);
    while (std::fgets(ligne, sizeof ligne, f)) {
        if (std::strncmp(ligne, cle, n) == 0 && ligne[n] == ':') {
            valeur = std::strtoll(ligne + n + 1, nullptr, 10) * 1024;
            break;
        }
    }
    std::fclose(f);
    return valeur;
}

// Bytes by which the peak resident size rose while `operation` ran, or
// nothing when the child could not report.
inline std::optional<int64_t> hausseCrete(const std::function<void()> &operation)
{
    int tube[2];
    if (pipe(tube) != 0)
        return std::nullopt;
    const pid_t pid = fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        close(tube[0]);
        const int64_t depart = ligneStatus("VmRSS");
        operation();
        const int64_t crete = ligneStatus("VmHWM");
        const int64_t hausse = depart < 0 || crete < 0 ? -1 : crete - depart;
        (void)!write(tube[1], &hausse, sizeof hausse);
        _exit(0);
    }
    close(tube[1]);
    int64_t hausse = -1;
    const bool lu = read(tube[0], &hausse, sizeof hausse) == sizeof hausse;
    close(tube[0]);
    int etat = 0;
    waitpid(pid, &etat, 0);
    if (!lu || hausse < 0)
        return std::nullopt;
    return hausse;
}

} // namespace memoire
