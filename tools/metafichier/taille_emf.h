#pragma once

// The size of an EMF picture from its header record, shared by the program
// and its metafile converter (no Qt: the converter links only the libraries
// that read metafiles).

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace emf {

inline std::int32_t litS32(const unsigned char *o, std::size_t n, std::size_t pos)
{
    if (pos + 4 > n)
        return 0;
    return std::int32_t(std::uint32_t(o[pos]) | std::uint32_t(o[pos + 1]) << 8 | std::uint32_t(o[pos + 2]) << 16
                        | std::uint32_t(o[pos + 3]) << 24);
}

// The EMF's size in pixels: its bounds (inclusive), or its frame (0.01 mm)
// through the reference device's pixels per millimetre when the bounds are
// empty. False when neither gives a size.
inline bool TailleEmf(const unsigned char *o, std::size_t n, double &largeur, double &hauteur)
{
    const std::int64_t gauche = litS32(o, n, 8), haut = litS32(o, n, 12), droite = litS32(o, n, 16),
                       bas = litS32(o, n, 20);
    if (droite >= gauche && bas >= haut && (droite > gauche || bas > haut)) {
        largeur = double(droite - gauche + 1);
        hauteur = double(bas - haut + 1);
        return true;
    }
    const std::int64_t fg = litS32(o, n, 24), fh = litS32(o, n, 28), fd = litS32(o, n, 32), fb = litS32(o, n, 36);
    const std::int64_t px = litS32(o, n, 72), py = litS32(o, n, 76), mmx = litS32(o, n, 80), mmy = litS32(o, n, 84);
    if (fd <= fg || fb <= fh || px <= 0 || py <= 0 || mmx <= 0 || mmy <= 0)
        return false;
    largeur = double(fd - fg) * double(px) / (double(mmx) * 100.0);
    hauteur = double(fb - fh) * double(py) / (double(mmy) * 100.0);
    return true;
}

} // namespace emf
