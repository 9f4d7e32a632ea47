#pragma once

// What the metafile converter may use, and the drawing it hands back, shared
// by the program that starts it and the converter itself (no Qt here).
//
//   ovd-metafichier emf|wmf WIDTH HEIGHT AARRGGBB < file > drawing
//
// The converter draws the whole picture at exactly WIDTH x HEIGHT over the
// background colour AARRGGBB (hexadecimal; alpha 00 leaves the background
// transparent). WIDTH and HEIGHT both 0 only measure the picture. The drawing
// is a fixed header followed by exactly WIDTH x HEIGHT x 4 bytes, rows from
// the top, each pixel a little-endian 32-bit 0xAARRGGBB (not premultiplied).

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace convertisseur {

// The converter's program, next to the main program.
inline constexpr char NomProgramme[] = "ovd-metafichier";
// Its address space: Qt's libraries and fonts (about 70 MB mapped), the SVG
// text libemf2svg makes of an EMF and Qt SVG's tree of it (about 1 KB a
// shape) and the drawing (64 MB at most, below). Measured: 100,000 shapes
// drawn at the largest size reach 290 MB; at the chooser's view nearly
// 300,000 fit. A file asking for more is stopped when it allocates.
inline constexpr std::uint64_t MemoireMax = std::uint64_t(384) << 20;
// Largest metafile read.
inline constexpr std::int64_t EntreeMax = std::int64_t(32) << 20;
// Largest side of a picture's own size: beyond it the header is taken for a lie.
inline constexpr int CoteMax = 8192;
// Largest drawing asked for: a side of 4096 and 16 M pixels (64 MB), above
// every size the program draws a picture at (the chooser's view, a theme
// picture, a preview window on a large screen) and within the memory cap
// beside the libraries' own needs.
inline constexpr int CoteDessinMax = 4096;
inline constexpr std::int64_t PixelsDessinMax = std::int64_t(4096) * 4096;
// Exit codes besides 0 (drawn): the file could not be drawn, the drawing
// could not be written out, the command was wrong, memory ran out.
inline constexpr int SortieIllisible = 2;
inline constexpr int SortieEcriture = 3;
inline constexpr int SortieUsage = 4;
inline constexpr int SortieMemoire = 5;

// The drawing's header: "OVDM", then four little-endian 32-bit values: the
// picture's own width and height (96-dpi pixels), the drawing's width and
// height (those asked for; 0 0 when only measuring).
inline constexpr char Signature[4] = {'O', 'V', 'D', 'M'};
inline constexpr std::size_t TailleEntete = 20;

struct Entete
{
    std::uint32_t largeur = 0, hauteur = 0; // the picture's own size
    std::uint32_t largeurDessin = 0, hauteurDessin = 0;
};

inline void EcritEntete(const Entete &e, unsigned char (&o)[TailleEntete])
{
    std::memcpy(o, Signature, 4);
    const std::uint32_t v[4] = {e.largeur, e.hauteur, e.largeurDessin, e.hauteurDessin};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            o[4 + 4 * i + k] = static_cast<unsigned char>(v[i] >> (8 * k));
}

// False when the signature is wrong.
inline bool LitEntete(const unsigned char *o, Entete &e)
{
    if (std::memcmp(o, Signature, 4) != 0)
        return false;
    std::uint32_t v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = 0;
        for (int k = 0; k < 4; ++k)
            v[i] |= std::uint32_t(o[4 + 4 * i + k]) << (8 * k);
    }
    e = {v[0], v[1], v[2], v[3]};
    return true;
}

// A drawing size the converter accepts: both 0 (measure), or both within the limits.
inline bool DessinPermis(std::int64_t l, std::int64_t h)
{
    if (l == 0 && h == 0)
        return true;
    return l >= 1 && h >= 1 && l <= CoteDessinMax && h <= CoteDessinMax && l * h <= PixelsDessinMax;
}

} // namespace convertisseur
