#pragma once

// Peak memory of one operation: the kernel's peak resident size of this
// process is reset (/proc/self/clear_refs), the operation runs once, and the
// rise of the peak above the resident size at the start is its cost. Large
// blocks are given back to the system as soon as they are freed (fixed
// mmap threshold), so memory freed by earlier work cannot hide a peak.
// Linux only.

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
// nothing when the kernel does not offer the reset.
inline std::optional<int64_t> hausseCrete(const std::function<void()> &operation)
{
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
    malloc_trim(0);
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return std::nullopt;
    const bool remis = std::fputs("5", f) >= 0;
    if (std::fclose(f) != 0 || !remis)
        return std::nullopt;
    const int64_t depart = ligneStatus("VmRSS");
    operation();
    const int64_t crete = ligneStatus("VmHWM");
    if (depart < 0 || crete < 0)
        return std::nullopt;
    return crete - depart;
}

} // namespace memoire
