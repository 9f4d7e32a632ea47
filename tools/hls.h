#pragma once

#include "theme/couleur.h"

#include <cstdint>
#include <optional>

// The program's one HLS scale: hue, luminance and saturation each run from 0
// to 240. Hue 0 is red, 80 green, 160 blue; greys take hue 160. A converted
// hue can come out as 240, the same point of the circle as 0.
constexpr int HLSMAX = 240;
constexpr int RGBMAX = 255;
constexpr int TEINTE_GRIS = 160;

struct CouleurHLS
{
    uint16_t teinte = 0;
    uint16_t luminance = 0;
    uint16_t saturation = 0;

    constexpr bool operator==(const CouleurHLS &) const = default;
};

// RGB to HLS in double precision, halves rounded to even. The unrounded
// luminance picks the saturation formula; red is tested before green, green
// before blue.
CouleurHLS ColorRGBToHLS(TColor couleur);

// HLS to RGB. The inputs are taken as given, without clamping; a channel
// above 255 becomes 255 (and one below 0, which only out-of-scale inputs can
// produce, becomes 0).
TColor ColorHLSToRGB(int teinte, int luminance, int saturation);
inline TColor ColorHLSToRGB(CouleurHLS hls)
{
    return ColorHLSToRGB(hls.teinte, hls.luminance, hls.saturation);
}

// Adds n to the luminance as an unsigned 16-bit sum (no clamping) and converts
// back with the same hue and saturation. A negative step therefore wraps to a
// very large luminance and gives white; the callers use +90 and +45.
TColor ColorAdjustLuma(TColor couleur, int n);

// Grey level used by the grey strip and the grey previews, 0..255.
constexpr int NiveauGris(int r, int g, int b)
{
    return (77 * r + 150 * g + 29 * b) >> 8;
}
constexpr int NiveauGris(TColor c)
{
    return NiveauGris(c.red(), c.green(), c.blue());
}

// Angle of a hue on the chromatic wheel, 0..358 for hues 0..239.
constexpr int AngleTeinte(int teinte)
{
    return teinte * 360 / 240;
}

// HueK: a hue, plus 256 when taken from the upper (coloured) strip.
constexpr int BIT_BANDE_HAUTE = 256;
constexpr int HueK(int teinte, bool bandeHaute)
{
    return bandeHaute ? teinte + BIT_BANDE_HAUTE : teinte;
}

struct PositionTeinte
{
    int teinte = 0;
    bool bandeHaute = false;

    constexpr bool operator==(const PositionTeinte &) const = default;
};

// A stored BaseHue back to a strip and a hue: only the low nine bits count;
// hues 240..255 fold onto 201..215.
PositionTeinte BaseHueVersPosition(uint32_t baseHue);

// The colour shown for a picture's dominant hue: HLS(hue, 90, 240), or none
// when the picture has no coloured pixel (raw peak count below 1).
std::optional<TColor> CouleurDominante(int teinteDominante, int picBrut);
