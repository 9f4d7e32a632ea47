#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <optional>

constexpr int NOMBRE_BINS_TEINTE = 240;
using HistogrammeTeintes = std::array<int32_t, NOMBRE_BINS_TEINTE>;

// The hue analysis of one picture.
struct AnalyseTeintes
{
    HistogrammeTeintes histogramme{};
    int32_t teinteDominante = 0; // best bin inside the best nine-bin window
    int32_t maxBrut = 0;         // index of the highest raw bin
    int32_t picBrut = 0;         // count in that bin; 0 when no pixel is coloured
};

// The hue of a colour exactly as ColorRGBToHLS gives it (0..240, 160 for
// greys), computed in integers: the hue is an offset plus 40·n/δ rounded half
// to even, with δ = max − min and n the difference of the two other channels.
// The tests check it against the double formula on every colour.
int TeinteRapide(int r, int g, int b);

// Peak, best window and dominant hue of a finished histogram (bin 160
// included as it stands). Ties go to the lower index, windows wrap around the
// circle.
AnalyseTeintes AnalyseHistogramme(const HistogrammeTeintes &bins);

// Hue histogram of a picture (alpha ignored, so transparent pixels count with
// their colour): hue 160 is not counted, 240 counts in bin 0, and bin 160 is
// then set to the integer mean of bins 159 and 161. Large pictures are split
// in row bands over threads. Empty for a null or empty picture.
std::optional<AnalyseTeintes> TeinteDominante(const QImage &image);
