#pragma once

// Reading the guarded wrappers' failure values safely. Some of them look
// like success to a naive caller: a partnership enumeration "succeeds" while
// its result has the top bit clear (0xFFFF has), a window walk ends on 0
// (0xFFFF is none either), and 0xFFFE is neither "no device" nor "guest".

#include "device/lien_rapi.h"

// Partnerships counted: only results equal to 0 count, and the count is
// capped, so a missing library or a misbehaving device cannot loop forever.
inline constexpr int kMaxProfilsCE = 256;

inline int CompteProfilsCE(LienRapi &rapi, HCESVC &service)
{
    int n = 0;
    DWORD profil = 0;
    while (n < kMaxProfilsCE && rapi.CeSvcEnumProfiles(&service, DWORD(n), &profil) == 0)
        ++n;
    return n;
}

// A window handle worth walking into: neither none (0) nor the failure value.
inline constexpr bool estFenetreCE(CEHWND h)
{
    return h != 0 && h != 0xFFFFu;
}

// The device id with a missing partnership library read as "no device".
inline DWORD IdAppareilCE(LienRapi &rapi)
{
    const DWORD id = rapi.CeGetDeviceId();
    return id == 0xFFFEu ? 0 : id;
}
