#pragma once

// What tells one device from another across connections: its name, its
// partnership id and the version of its system. None of these changes when
// a theme is applied, so a device reconnected later can be recognised.

#include "device/lien_rapi.h"

#include <QString>

#include <cstdint>

struct IdentiteCE
{
    bool lue = false;          // a session answered
    QString nom;               // HKLM\Ident "Name"; empty when absent
    uint32_t idPartenariat = 0; // 0: none, 0xFFFFFFFF: a guest
    uint32_t majeure = 0, mineure = 0, build = 0;

    bool operator==(const IdentiteCE &) const = default;
};

// The identity of the device of the open session; lue is false without one.
IdentiteCE LitIdentiteCE(LienRapi &rapi);
