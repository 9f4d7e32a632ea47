#include "tools/hls.h"

#include "theme/arrondi.h"

#include <algorithm>

// Every expression below keeps the order of operations of the scale's
// definition: the results at exact halves depend on it (double rounding of
// the intermediate terms), so do not simplify the fractions.

CouleurHLS ColorRGBToHLS(TColor couleur)
{
    const int r = couleur.red();
    const int g = couleur.green();
    const int b = couleur.blue();
    const int cMax = std::max({r, g, b});
    const int cMin = std::min({r, g, b});

    CouleurHLS hls;
    const double l = (double(cMax + cMin) * HLSMAX + RGBMAX) / (2.0 * RGBMAX);
    hls.luminance = uint16_t(arrondi(l));

    if (cMax == cMin) {
        hls.teinte = TEINTE_GRIS;
        hls.saturation = 0;
        return hls;
    }

    const double somme = cMax + cMin;
    const double ecart = cMax - cMin;
    double s;
    if (l <= HLSMAX / 2)
        s = (ecart * HLSMAX + somme / 2.0) / somme;
    else
        s = (ecart * HLSMAX + (2.0 * RGBMAX - somme) / 2.0) / (2.0 * RGBMAX - somme);

    const double dR = (double(cMax - r) * (HLSMAX / 6) + ecart / 2.0) / ecart;
    const double dG = (double(cMax - g) * (HLSMAX / 6) + ecart / 2.0) / ecart;
    const double dB = (double(cMax - b) * (HLSMAX / 6) + ecart / 2.0) / ecart;

    double h;
    if (r == cMax)
        h = dB - dG;
    else if (g == cMax)
        h = (HLSMAX / 3) + dR - dB;
    else
        h = (2 * HLSMAX / 3) + dG - dR;

    if (h < 0)
        h += HLSMAX;
    if (h > HLSMAX)
        h -= HLSMAX;

    hls.teinte = uint16_t(arrondi(h));
    hls.saturation = uint16_t(arrondi(s));
    return hls;
}

namespace {

int canal(double m1, double m2, double h)
{
    if (h < 0)
        h += HLSMAX;
    if (h > HLSMAX)
        h -= HLSMAX;
    double x;
    if (h < HLSMAX / 6)
        x = m1 + ((m2 - m1) * h + HLSMAX / 12) / (HLSMAX / 6);
    else if (h < HLSMAX / 2)
        x = m2;
    else if (h < 2 * HLSMAX / 3)
        x = m1 + ((m2 - m1) * (2 * HLSMAX / 3 - h) + HLSMAX / 12) / (HLSMAX / 6);
    else
        x = m1;
    return arrondi(x);
}

int versOctet(double v)
{
    if (v > RGBMAX)
        return RGBMAX;
    return std::max(0, arrondi(v));
}

} // namespace

TColor ColorHLSToRGB(int teinte, int luminance, int saturation)
{
    const long long h = teinte;
    const long long l = luminance;
    const long long s = saturation;

    if (s == 0) {
        const int v = versOctet(double(l) * RGBMAX / HLSMAX);
        return TColor::fromRgb(v, v, v);
    }

    double m2;
    if (l <= HLSMAX / 2)
        m2 = (double(l * (HLSMAX + s)) + HLSMAX / 2) / HLSMAX;
    else
        m2 = double(l) + double(s) - (double(l * s) + HLSMAX / 2) / HLSMAX;
    const double m1 = 2.0 * double(l) - m2;

    const double hd = double(h);
    const int r = versOctet((double(canal(m1, m2, hd + HLSMAX / 3)) * RGBMAX + HLSMAX / 2) / HLSMAX);
    const int g = versOctet((double(canal(m1, m2, hd)) * RGBMAX + HLSMAX / 2) / HLSMAX);
    const int b = versOctet((double(canal(m1, m2, hd - HLSMAX / 3)) * RGBMAX + HLSMAX / 2) / HLSMAX);
    return TColor::fromRgb(r, g, b);
}

TColor ColorAdjustLuma(TColor couleur, int n)
{
    const CouleurHLS hls = ColorRGBToHLS(couleur);
    const uint16_t luminance = uint16_t(hls.luminance + n);
    return ColorHLSToRGB(hls.teinte, luminance, hls.saturation);
}

PositionTeinte BaseHueVersPosition(uint32_t baseHue)
{
    const int v = int(baseHue & 511);
    PositionTeinte p;
    p.bandeHaute = v > 255;
    p.teinte = p.bandeHaute ? v - BIT_BANDE_HAUTE : v;
    if (p.teinte > 239)
        p.teinte = 200 + arrondi((p.teinte - 239) * 14.0 / 15.0);
    return p;
}

std::optional<TColor> CouleurDominante(int teinteDominante, int picBrut)
{
    if (picBrut < 1)
        return std::nullopt;
    return ColorHLSToRGB(teinteDominante, 90, 240);
}
