#pragma once

// The colours of the simulated device's current theme ("Blue"): the device
// registry holds them, and the package \Windows\Blue.tsk built for the
// device carries the same ones, so reading the device's current theme gives
// back what the device shows. Plain data, shared by the simulator and the
// build's package generator.

#include <cstdint>

namespace devsim {

struct CouleurTheme {
    int numero; // the device's colour number
    uint8_t r, g, b;
};

inline constexpr CouleurTheme kCouleursBleu[] = {
    {5, 0x2E, 0x97, 0xE3},  {8, 0x12, 0x57, 0xB1},  {9, 0xFF, 0xFF, 0xFF},  {4, 0xFF, 0xFF, 0xFF},
    {6, 0x10, 0x51, 0x99},  {7, 0xB8, 0xE8, 0xFF},  {10, 0x1B, 0x85, 0xD2}, {11, 0x1B, 0x85, 0xD2},
    {12, 0x1B, 0x85, 0xD2}, {13, 0x12, 0x57, 0xB1}, {14, 0x2E, 0x97, 0xE3}, {15, 0xFF, 0xFF, 0xFF},
    {16, 0xC4, 0xE7, 0xFF}, {25, 0x12, 0x57, 0xB1}, {26, 0x2E, 0x97, 0xE3}, {27, 0xFF, 0xFF, 0xFF},
    {28, 0xFF, 0xFF, 0xFF}, {36, 0xFE, 0xFE, 0xFF}, {37, 0xDE, 0xEC, 0xF5}, {38, 0x2E, 0x97, 0xE3},
    {39, 0xFF, 0xFF, 0xFF},
};

inline constexpr uint32_t kBaseHueBleu = 0x1A0;

// Where the build puts the device's theme packages, beside the simulator
// library: "<library folder>/devsim-packages/<device path>".
inline constexpr const char *kDossierPaquets = "devsim-packages";

} // namespace devsim
