#include "tools/hls.h"
#include "tools/teinte_dominante.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

// A plain evaluation of the scale's formulas, written out separately from the
// program's code: the exhaustive tests compare the two on every input.
struct Ref { int h, l, s; };

int roundEven(double v) { return int(std::nearbyint(v)); }

Ref refVersHls(int R, int G, int B)
{
    const int mx = std::max(R, std::max(G, B));
    const int mn = std::min(R, std::min(G, B));
    const double L = ((mx + mn) * 240.0 + 255.0) / 510.0;
    if (mx == mn)
        return {160, roundEven(L), 0};
    double S;
    if (L <= 120.0)
        S = ((mx - mn) * 240.0 + (mx + mn) / 2.0) / (mx + mn);
    else
        S = ((mx - mn) * 240.0 + (510.0 - mx - mn) / 2.0) / (510.0 - mx - mn);
    const double dr = ((mx - R) * 40.0 + (mx - mn) / 2.0) / (mx - mn);
    const double dg = ((mx - G) * 40.0 + (mx - mn) / 2.0) / (mx - mn);
    const double db = ((mx - B) * 40.0 + (mx - mn) / 2.0) / (mx - mn);
    double H;
    if (R == mx)
        H = db - dg;
    else if (G == mx)
        H = 80.0 + dr - db;
    else
        H = 160.0 + dg - dr;
    if (H < 0)
        H = H + 240.0;
    if (H > 240)
        H = H - 240.0;
    return {roundEven(H), roundEven(L), roundEven(S)};
}

int refV(double M1, double M2, double h)
{
    if (h < 0) h = h + 240.0;
    if (h > 240) h = h - 240.0;
    double x;
    if (h < 40) x = M1 + ((M2 - M1) * h + 20.0) / 40.0;
    else if (h < 120) x = M2;
    else if (h < 160) x = M1 + ((M2 - M1) * (160.0 - h) + 20.0) / 40.0;
    else x = M1;
    return roundEven(x);
}

int refOctet(double v) { return v > 255 ? 255 : roundEven(v); }

std::array<int, 3> refVersRgb(int H, int L, int S)
{
    if (S == 0) {
        const int v = refOctet(L * 255.0 / 240.0);
        return {v, v, v};
    }
    double M2;
    if (L <= 120)
        M2 = (double(L * (240 + S)) + 120.0) / 240.0;
    else
        M2 = L + S - (double(L * S) + 120.0) / 240.0;
    const double M1 = 2.0 * L - M2;
    return {refOctet((refV(M1, M2, H + 80.0) * 255.0 + 120.0) / 240.0),
            refOctet((refV(M1, M2, H) * 255.0 + 120.0) / 240.0),
            refOctet((refV(M1, M2, H - 80.0) * 255.0 + 120.0) / 240.0)};
}

CouleurHLS hls(int r, int g, int b) { return ColorRGBToHLS(TColor::fromRgb(r, g, b)); }
CouleurHLS triple(int h, int l, int s) { return {uint16_t(h), uint16_t(l), uint16_t(s)}; }

// Runs f(first) for first in 0..count-1 on all cores; f returns an error text
// (empty when fine). Returns the first error found.
template <typename F>
std::string surTousLesCoeurs(int count, F f)
{
    const unsigned n = std::max(2u, std::thread::hardware_concurrency());
    std::vector<std::string> erreurs(n);
    {
        std::vector<std::jthread> fils;
        for (unsigned t = 0; t < n; ++t)
            fils.emplace_back([&, t] {
                for (int i = int(t); i < count && erreurs[t].empty(); i += int(n))
                    erreurs[t] = f(i);
            });
    }
    for (const std::string &e : erreurs)
        if (!e.empty())
            return e;
    return {};
}

std::string texte(int a, int b, int c) { return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c); }

} // namespace

TEST(Hls, RgbToHlsEdgeValuesRoundHalvesToEven)
{
    EXPECT_EQ(hls(255, 0, 0), triple(0, 120, 240)); // 120.5 and 240.5 go down
    EXPECT_EQ(hls(0, 255, 0), triple(80, 120, 240));
    EXPECT_EQ(hls(0, 0, 255), triple(160, 120, 240));
    EXPECT_EQ(hls(255, 255, 255), triple(160, 240, 0));
    EXPECT_EQ(hls(0, 0, 0), triple(160, 0, 0));
    EXPECT_EQ(hls(128, 128, 128), triple(160, 121, 0));
    EXPECT_EQ(hls(255, 0, 1).teinte, 240);
    EXPECT_EQ(hls(46, 151, 227), triple(137, 129, 184));
    EXPECT_EQ(hls(18, 87, 177), triple(143, 92, 196));
    // Red equal to green is taken as red the largest; green equal to blue as green.
    EXPECT_EQ(hls(200, 200, 0).teinte, 40);
    EXPECT_EQ(hls(0, 200, 200).teinte, 120);
}

TEST(Hls, HlsToRgbEdgeValues)
{
    EXPECT_EQ(ColorHLSToRGB(0, 120, 240), TColor::fromRgb(255, 0, 0));
    EXPECT_EQ(ColorHLSToRGB(80, 120, 240), TColor::fromRgb(0, 255, 0));
    EXPECT_EQ(ColorHLSToRGB(160, 120, 240), TColor::fromRgb(0, 0, 255));
    EXPECT_EQ(ColorHLSToRGB(0, 90, 240), TColor::fromRgb(192, 0, 0));
    EXPECT_EQ(ColorHLSToRGB(120, 240, 0), TColor::fromRgb(255, 255, 255));
    EXPECT_EQ(ColorHLSToRGB(239, 120, 240), TColor::fromRgb(255, 0, 7));
    EXPECT_EQ(ColorHLSToRGB(140, 120, 160), TColor::fromRgb(43, 128, 213));
    // A tie that exact arithmetic would round the other way (14, 9, 8): the
    // double evaluation order decides.
    EXPECT_EQ(ColorHLSToRGB(2, 10, 68), TColor::fromRgb(14, 8, 8));
    // Hue 240 is red again.
    EXPECT_EQ(ColorHLSToRGB(240, 120, 240), TColor::fromRgb(255, 0, 0));
    EXPECT_EQ(ColorHLSToRGB(triple(137, 129, 184)), ColorHLSToRGB(137, 129, 184));
}

TEST(Hls, OutOfScaleInputsStillGiveAValidColour)
{
    // Luminance beyond 240 is not clamped; the channel clamp keeps the colour valid.
    EXPECT_EQ(ColorHLSToRGB(0, 65535, 240), TColor::fromRgb(255, 255, 255));
    EXPECT_EQ(ColorHLSToRGB(0, 300, 0), TColor::fromRgb(255, 255, 255));
    // A saturation far beyond the scale drives M1 below zero: channels stay at 0.
    EXPECT_EQ(ColorHLSToRGB(0, 60, 65535), TColor::fromRgb(255, 0, 0));
}

TEST(Hls, AdjustLumaStepsTheLuminanceOnly)
{
    for (const TColor c : {TColor::fromRgb(46, 151, 227), TColor::fromRgb(18, 87, 177), TColor::fromRgb(120, 10, 30)}) {
        for (const int n : {90, 45}) {
            const Ref h = refVersHls(c.red(), c.green(), c.blue());
            const auto rgb = refVersRgb(h.h, h.l + n, h.s);
            EXPECT_EQ(ColorAdjustLuma(c, n), TColor::fromRgb(rgb[0], rgb[1], rgb[2]))
                << texte(c.red(), c.green(), c.blue()) << " +" << n;
        }
    }
    EXPECT_EQ(ColorAdjustLuma(TColor::fromRgb(128, 0, 0), 90), TColor::fromRgb(255, 67, 66));
    // A negative step wraps as an unsigned 16-bit luminance, which gives white.
    EXPECT_EQ(ColorAdjustLuma(TColor::fromRgb(255, 0, 0), -200), TColor::fromRgb(255, 255, 255));
}

TEST(Hls, GreyLevelAngleHueKAndBaseHue)
{
    EXPECT_EQ(NiveauGris(255, 255, 255), 255);
    EXPECT_EQ(NiveauGris(TColor::fromRgb(255, 0, 0)), 76);
    EXPECT_EQ(NiveauGris(TColor::fromRgb(0, 0, 255)), 28);
    EXPECT_EQ(NiveauGris(TColor::fromRgb(10, 20, 30)), (770 + 3000 + 870) >> 8);

    EXPECT_EQ(AngleTeinte(0), 0);
    EXPECT_EQ(AngleTeinte(160), 240);
    EXPECT_EQ(AngleTeinte(239), 358);
    EXPECT_EQ(AngleTeinte(137), 205);

    EXPECT_EQ(HueK(100, false), 100);
    EXPECT_EQ(HueK(100, true), 356);

    EXPECT_EQ(BaseHueVersPosition(0x1C8), (PositionTeinte{200, true}));
    EXPECT_EQ(BaseHueVersPosition(0x0F5), (PositionTeinte{206, false}));
    EXPECT_EQ(BaseHueVersPosition(0x2A5), (PositionTeinte{165, false}));
    EXPECT_EQ(BaseHueVersPosition(0xF0), (PositionTeinte{240 - 40 + 1, false})); // 240 -> 201
    EXPECT_EQ(BaseHueVersPosition(0xFF), (PositionTeinte{215, false}));
    EXPECT_EQ(BaseHueVersPosition(0x1FF), (PositionTeinte{215, true}));
    EXPECT_EQ(BaseHueVersPosition(0xEF), (PositionTeinte{239, false}));
    EXPECT_EQ(BaseHueVersPosition(0xFFFFFFFFu), (PositionTeinte{215, true}));
    for (int h = 240; h <= 255; ++h)
        EXPECT_EQ(BaseHueVersPosition(uint32_t(h)).teinte, 200 + int(std::nearbyint((h - 239) * 14.0 / 15.0)));

    EXPECT_FALSE(CouleurDominante(0, 0));
    EXPECT_EQ(CouleurDominante(0, 1), TColor::fromRgb(192, 0, 0));
}

TEST(HlsExhaustive, EveryColourMatchesThePlainFormulas)
{
    const std::string erreur = surTousLesCoeurs(256, [](int r) -> std::string {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                const Ref e = refVersHls(r, g, b);
                const CouleurHLS h = ColorRGBToHLS(TColor::fromRgb(r, g, b));
                if (h.teinte != e.h || h.luminance != e.l || h.saturation != e.s)
                    return "RGB " + texte(r, g, b) + " gives " + texte(h.teinte, h.luminance, h.saturation)
                           + ", expected " + texte(e.h, e.l, e.s);
                const int rapide = TeinteRapide(r, g, b);
                if (rapide != e.h)
                    return "integer hue of " + texte(r, g, b) + " is " + std::to_string(rapide);
            }
        }
        return {};
    });
    EXPECT_EQ(erreur, "");
}

TEST(HlsExhaustive, EveryHlsTripleOfTheScaleMatchesThePlainFormulas)
{
    const std::string erreur = surTousLesCoeurs(241, [](int h) -> std::string {
        for (int l = 0; l <= 240; ++l) {
            for (int s = 0; s <= 240; ++s) {
                const auto e = refVersRgb(h, l, s);
                const TColor c = ColorHLSToRGB(h, l, s);
                if (c != TColor::fromRgb(e[0], e[1], e[2]))
                    return "HLS " + texte(h, l, s) + " gives " + texte(c.red(), c.green(), c.blue())
                           + ", expected " + texte(e[0], e[1], e[2]);
            }
        }
        return {};
    });
    EXPECT_EQ(erreur, "");
}
