#pragma once

#include <QImage>

#include <algorithm>
#include <cstring>
#include <vector>

// Runs a window filter over a 32-bit picture strip by strip, top to bottom,
// so that it needs memory for a strip of rows rather than a copy of the
// picture. Each strip is a picture of its own holding the ORIGINAL rows the
// filter reads for output rows [y0, y1): `contexte` rows above and below,
// held inside the picture (direct strips), or a mirrored margin of
// `contexte` rows and columns on every side (mirror strips: the edge row and
// column are not repeated, and on pictures thinner than the margin the
// mirrored index is held inside the picture).
//
// `filtre(bande, premiere, y0, y1)` gets the strip (which it may change),
// the row of the picture its first row stands for (for mirror strips, the
// row of the margined picture), and must write rows y0..y1−1 of the picture
// and nothing else. The rows just above a strip have been written by the
// strip before: their originals are kept aside when it runs.
// A filter reading at most `contexte` rows away gives the same bytes as on
// the whole picture.
enum class BordBande { Direct, Miroir };

namespace bandes_detail {
inline int reflete(int i, int n)
{
    if (i < 0)
        i = -i;
    if (i >= n)
        i = 2 * (n - 1) - i;
    return std::clamp(i, 0, n - 1);
}
} // namespace bandes_detail

// A strip holds at least this many rows and this many pixels: narrow
// pictures (the chooser's preview) then run in one strip or a few, each
// with few thread starts, while a 12-megapixel photo keeps strips of a
// small part of its size.
constexpr int LIGNES_PAR_BANDE = 128;
constexpr qsizetype PIXELS_PAR_BANDE = qsizetype(LIGNES_PAR_BANDE) * 4096;

template<typename Filtre>
void ParBandesAvecContexte(QImage &image, int contexte, BordBande bord, Filtre &&filtre,
                           int lignesParBande = LIGNES_PAR_BANDE, qsizetype pixelsParBande = PIXELS_PAR_BANDE)
{
    const int w = image.width(), h = image.height();
    if (image.isNull() || w <= 0 || h <= 0 || image.format() != QImage::Format_ARGB32)
        return;
    const int c = std::max(0, contexte);
    const bool miroir = bord == BordBande::Miroir;
    // A strip at least as high as its context: the rows an output can read
    // above its strip then lie in the strip before only.
    const int hauteurBande = int(std::max<qsizetype>(
        {1, lignesParBande, c, std::min<qsizetype>(h, (std::max<qsizetype>(0, pixelsParBande) + w - 1) / w)}));
    const size_t octetsLigne = size_t(w) * 4;
    // Originals of rows [y0 − c, y0), written by the strip before.
    // With one strip nothing needs keeping aside; with several, c < h.
    const size_t gardeesLignes = h > hauteurBande ? size_t(c) : 0;
    std::vector<uchar> gardees(octetsLigne * gardeesLignes);
    const auto original = [&](int y0, int i) -> const uchar * {
        if (i >= y0)
            return image.constScanLine(i);
        return gardees.data() + octetsLigne * size_t(i - (y0 - c));
    };
    std::vector<uchar> suivantes(octetsLigne * gardeesLignes);
    for (int y0 = 0; y0 < h; y0 += hauteurBande) {
        const int y1 = std::min(h, y0 + hauteurBande);
        QImage bande;
        int premiere;
        if (miroir) {
            premiere = y0; // margined rows y0 .. y1 + 2c − 1 are picture rows y0 − c .. y1 + c − 1
            bande = QImage(w + 2 * c, y1 - y0 + 2 * c, QImage::Format_ARGB32);
            if (bande.isNull())
                return;
            for (int r = 0; r < bande.height(); ++r) {
                const auto *s = reinterpret_cast<const QRgb *>(original(y0, bandes_detail::reflete(y0 + r - c, h)));
                auto *d = reinterpret_cast<QRgb *>(bande.scanLine(r));
                for (int x = 0; x < c; ++x)
                    d[x] = s[bandes_detail::reflete(x - c, w)];
                std::memcpy(d + c, s, octetsLigne);
                for (int x = w + c; x < w + 2 * c; ++x)
                    d[x] = s[bandes_detail::reflete(x - c, w)];
            }
        } else {
            premiere = std::max(0, y0 - c);
            const int fin = std::min(h, y1 + c);
            bande = QImage(w, fin - premiere, QImage::Format_ARGB32);
            if (bande.isNull())
                return;
            for (int r = 0; r < bande.height(); ++r)
                std::memcpy(bande.scanLine(r), original(y0, premiere + r), octetsLigne);
        }
        // The originals the next strip needs above it, before this one writes.
        for (int i = std::max(0, y1 - c); y1 < h && i < y1; ++i)
            std::memcpy(suivantes.data() + octetsLigne * size_t(i - (y1 - c)), original(y0, i), octetsLigne);
        filtre(bande, premiere, y0, y1);
        std::swap(gardees, suivantes);
    }
}
