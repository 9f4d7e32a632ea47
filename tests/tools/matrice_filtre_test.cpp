#include "tools/bandes_contexte.h"
#include "tools/matrice_filtre.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <tuple>
#include <vector>

// Each filter is checked against a plain, slow evaluation of its formula
// written here pixel by pixel, on small random pictures (random alpha too),
// compared whole-picture.

namespace {

QImage aleatoire(int w, int h, unsigned graine)
{
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 gen(graine);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, gen());
    return img;
}

// Random pictures with flat patches, so that thresholds and ties are met.
QImage aPlats(int w, int h, unsigned graine)
{
    QImage img(w, h, QImage::Format_ARGB32);
    std::mt19937 gen(graine);
    QRgb c = gen();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (gen() % 4 == 0)
                c = gen() % 3 == 0 ? (gen() & 0xFF0F0F0F) : gen();
            img.setPixel(x, y, c);
        }
    return img;
}

::testing::AssertionResult memeImage(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") " << std::hex << a.pixel(x, y) << " != "
                       << b.pixel(x, y) << " on " << std::dec << a.width() << "x" << a.height();
    return ::testing::AssertionSuccess();
}

const std::vector<QSize> &tailles()
{
    static const std::vector<QSize> t{{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 3}, {4, 9}, {13, 11}, {32, 17}};
    return t;
}

int canal(QRgb p, int c) { return c == 0 ? qBlue(p) : c == 1 ? qGreen(p) : qRed(p); }
QRgb avecCanaux(QRgb p, int b, int g, int r) { return qRgba(r, g, b, qAlpha(p)); }
int borne(long long v) { return int(std::clamp<long long>(v, 0, 255)); }

// The picture with a mirrored margin of m, written from its description:
// index −1 is 1, n is n − 2, held inside the picture when thinner.
QImage MargeMiroirReference(const QImage &img, int m)
{
    const int w = img.width(), h = img.height();
    const auto miroir = [](int i, int n) {
        if (i < 0)
            i = -i;
        if (i >= n)
            i = 2 * (n - 1) - i;
        return std::clamp(i, 0, n - 1);
    };
    QImage g(w + 2 * m, h + 2 * m, QImage::Format_ARGB32);
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x)
            g.setPixel(x, y, img.pixel(miroir(x - m, w), miroir(y - m, h)));
    return g;
}

// --- plain evaluations -----------------------------------------------------

QImage refConvolution(const QImage &img, const ConvMatrix &m)
{
    QImage out = img;
    for (int y = 0; y + 2 < img.height(); ++y)
        for (int x = 0; x + 2 < img.width(); ++x) {
            int v[3];
            for (int c = 0; c < 3; ++c) {
                long long s = 0;
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < 3; ++i)
                        s += (long long)m.coefficients[size_t(j * 3 + i)] * canal(img.pixel(x + i, y + j), c);
                v[c] = borne(s / m.diviseur + m.decalage);
            }
            out.setPixel(x + 1, y + 1, avecCanaux(img.pixel(x + 1, y + 1), v[0], v[1], v[2]));
        }
    return out;
}

QImage refGris(const QImage &img)
{
    QImage out = img;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            const int g = (79 * qRed(p) + 156 * qGreen(p) + 21 * qBlue(p)) / 256;
            out.setPixel(x, y, avecCanaux(p, g, g, g));
        }
    return out;
}

QImage refAccentuation(const QImage &img, int c, int a)
{
    QImage flou = img;
    ConvMatrix m;
    m.Remplir(1);
    m.coefficients[4] = c;
    m.diviseur = c + 8;
    if (m.diviseur != 0)
        flou = refConvolution(img, m);
    QImage out = img;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y), b = flou.pixel(x, y);
            int v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = borne((long long)(canal(p, k) - canal(b, k)) * a + canal(p, k));
            out.setPixel(x, y, avecCanaux(p, v[0], v[1], v[2]));
        }
    return out;
}

QImage refMedian(const QImage &img, int n)
{
    QImage out = img;
    for (int y = 0; y + n <= img.height(); ++y)
        for (int x = 0; x + n <= img.width(); ++x) {
            int v[3];
            for (int c = 0; c < 3; ++c) {
                std::vector<int> valeurs;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                        valeurs.push_back(canal(img.pixel(x + i, y + j), c));
                std::sort(valeurs.begin(), valeurs.end());
                v[c] = valeurs[size_t((n * n + 1) / 2)]; // count first exceeds (n²+1) div 2
            }
            out.setPixel(x + n / 2, y + n / 2, avecCanaux(img.pixel(x + n / 2, y + n / 2), v[0], v[1], v[2]));
        }
    return out;
}

QImage refDetection(const QImage &source, int t, TColor bord, bool median)
{
    QImage img = refGris(source);
    QImage copie = median ? refMedian(img, 3) : img;
    const auto distance = [&](int x1, int y1, int x2, int y2) {
        double s = 0;
        for (int c = 0; c < 3; ++c) {
            const double d = canal(copie.pixel(x1, y1), c) - canal(copie.pixel(x2, y2), c);
            s += d * d;
        }
        return std::sqrt(s);
    };
    for (int y = 0; y + 2 < img.height(); ++y)
        for (int x = 0; x + 2 < img.width(); ++x) {
            const double d1 = distance(x + 1, y + 1, x + 2, y + 1);
            const double d2 = distance(x + 1, y + 1, x + 1, y + 2);
            const QRgb p = img.pixel(x + 1, y + 1);
            img.setPixel(x + 1, y + 1, t > d1 && t > d2 ? avecCanaux(p, 255, 255, 255)
                                                        : avecCanaux(p, bord.blue(), bord.green(), bord.red()));
        }
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1)
                img.setPixel(x, y, 0xFF000000u);
    return img;
}

QImage refKuwahara(const QImage &img, int n)
{
    QImage out = img;
    const int k = (n - 1) / 2, q = k + 1;
    for (int y = 0; y + n <= img.height(); ++y)
        for (int x = 0; x + n <= img.width(); ++x) {
            int v[3];
            for (int c = 0; c < 3; ++c) {
                const int coins[4][2] = {{x, y}, {x + k, y}, {x, y + k}, {x + k, y + k}};
                long long meilleure = -1;
                for (const auto &coin : coins) {
                    long long somme = 0;
                    for (int j = 0; j < q; ++j)
                        for (int i = 0; i < q; ++i)
                            somme += canal(img.pixel(coin[0] + i, coin[1] + j), c);
                    const long long moyenne = somme / (q * q);
                    long long variance = 0;
                    for (int j = 0; j < q; ++j)
                        for (int i = 0; i < q; ++i) {
                            const long long d = moyenne - canal(img.pixel(coin[0] + i, coin[1] + j), c);
                            variance += d * d;
                        }
                    if (meilleure < 0 || variance < meilleure) {
                        meilleure = variance;
                        v[c] = int(moyenne);
                    }
                }
            }
            out.setPixel(x + k, y + k, avecCanaux(img.pixel(x + k, y + k), v[0], v[1], v[2]));
        }
    return out;
}

QImage refFlouRadial(const QImage &img, int s, int cx, int cy)
{
    QImage out = img;
    const int w = img.width(), h = img.height();
    const long double f = (long double)s / (w * w + h * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const long double d2 = (long double)((long long)(cx - x) * (cx - x) + (long long)(cy - y) * (cy - y));
            const long long r = std::llrint(d2 * f + 0.5L);
            long long somme[3] = {0, 0, 0}, nombre = 0;
            for (long long j = -r; j <= r; ++j)
                for (long long i = -r; i <= r; ++i) {
                    if (i * i + j * j > r * r || x + i < 0 || x + i >= w || y + j < 0 || y + j >= h)
                        continue;
                    const QRgb p = img.pixel(int(x + i), int(y + j));
                    for (int c = 0; c < 3; ++c)
                        somme[c] += canal(p, c);
                    ++nombre;
                }
            out.setPixel(x, y, avecCanaux(img.pixel(x, y), int(somme[0] / nombre), int(somme[1] / nombre),
                                          int(somme[2] / nombre)));
        }
    return out;
}

QImage refFlouZoom(const QImage &img, int cx, int cy, int pct, int avant, int apres, float k)
{
    QImage out = img;
    const int w = img.width(), h = img.height();
    const long long R = std::llrint(std::sqrt((long double)(w * w + h * h)) * pct / 100 + 0.5L);
    const long double R2 = (long double)(R * R);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const long double d2 = (long double)((long long)(cx - x) * (cx - x) + (long long)(cy - y) * (cy - y));
            const long double d = std::sqrt(d2);
            if (d == 0)
                continue;
            const long double omega = 1 / (std::exp((1 - d2 / R2) * (long double)k) + 1);
            const long long a = std::llrint(d - avant * omega + 0.5L);
            const long long b = std::llrint(apres * omega + d + 0.5L);
            long long somme[3] = {0, 0, 0}, nombre = 0;
            for (long long t = a; t <= b; ++t) {
                const long long sx = std::llrint((long double)(x - cx) * t / d + cx + 0.5L);
                const long long sy = std::llrint((long double)(y - cy) * t / d + cy + 0.5L);
                if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                    continue;
                const QRgb p = img.pixel(int(sx), int(sy));
                for (int c = 0; c < 3; ++c)
                    somme[c] += canal(p, c);
                ++nombre;
            }
            if (nombre > 0)
                out.setPixel(x, y, avecCanaux(img.pixel(x, y), int(somme[0] / nombre), int(somme[1] / nombre),
                                              int(somme[2] / nombre)));
        }
    return out;
}

QImage refFloydSteinberg(const QImage &source)
{
    QImage img = refGris(source);
    const int w = img.width(), h = img.height();
    const auto ajoute = [&](int x, int y, int e) {
        if (x < 0 || x >= w || y >= h)
            return;
        const int v = borne(qBlue(img.pixel(x, y)) + e);
        img.setPixel(x, y, avecCanaux(img.pixel(x, y), v, v, v));
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int ancien = qBlue(img.pixel(x, y));
            const int nouveau = ancien < 128 ? 0 : 255;
            const int e = ancien - nouveau;
            img.setPixel(x, y, avecCanaux(img.pixel(x, y), nouveau, nouveau, nouveau));
            ajoute(x + 1, y, e * 7 / 16);
            ajoute(x - 1, y + 1, e * 3 / 16);
            ajoute(x, y + 1, e * 5 / 16);
            ajoute(x + 1, y + 1, e * 1 / 16);
        }
    return img;
}

// --- the tests ---------------------------------------------------------------

TEST(MatriceFiltre, ConvolutionMatchesPlainEvaluation)
{
    std::mt19937 gen(7);
    for (const QSize &t : tailles()) {
        for (int essai = 0; essai < 6; ++essai) {
            ConvMatrix m;
            for (int32_t &c : m.coefficients)
                c = int32_t(gen() % 21) - 10;
            m.diviseur = int32_t(gen() % 13) - 6;
            if (m.diviseur == 0)
                m.diviseur = -3;
            m.decalage = int32_t(gen() % 61) - 30;
            const QImage src = aleatoire(t.width(), t.height(), gen());
            QImage img = src;
            ASSERT_TRUE(FiltreConvolution(img, m));
            EXPECT_TRUE(memeImage(img, refConvolution(src, m)));
        }
    }
    // Coefficients too large for a table fall back to plain division.
    ConvMatrix grand;
    grand.Remplir(5000000);
    grand.diviseur = 9000001;
    grand.decalage = -7;
    const QImage src = aleatoire(9, 8, 3);
    QImage img = src;
    ASSERT_TRUE(FiltreConvolution(img, grand));
    EXPECT_TRUE(memeImage(img, refConvolution(src, grand)));
}

// Sums near the 16-bit limit (Σ|c|·255 of 32640 and 32895 fall on either side
// of it) on black, white and ramp pictures, so every sum reaches its extreme,
// with divisors and offsets of every kind; and every quotient the centre
// coefficient can make, checked against the integer formula.
TEST(MatriceFiltre, ConvolutionSumsAtTheLimitOfSixteenBits)
{
    QImage rampe(258, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 258; ++x) {
            const int v = std::clamp(x - 1, 0, 255);
            rampe.setPixel(x, y, qRgba(v, 255 - v, v / 2, 77));
        }
    QImage noir(7, 5, QImage::Format_ARGB32), blanc(7, 5, QImage::Format_ARGB32);
    noir.fill(qRgba(0, 0, 0, 255));
    blanc.fill(qRgba(255, 255, 255, 10));
    QImage damier = blanc.copy();
    for (int y = 0; y < 5; ++y)
        for (int x = (y % 2); x < 7; x += 2)
            damier.setPixel(x, y, qRgba(0, 0, 0, 3));
    const std::vector<std::array<int32_t, 9>> matrices{
        {16, 16, 16, 16, 0, 16, 16, 16, 16},     // 128: fits
        {-16, -16, -16, -16, 0, -16, -16, -16, -16},
        {-64, 0, 0, 0, 64, 0, 0, 0, 0},          // 128
        {16, 16, 16, 16, 1, 16, 16, 16, 16},     // 129: too wide
        {-60, 3, 2, 1, 128, -1, -2, -3, 4},      // wider still
        {0, 0, 0, 0, 128, 0, 0, 0, 0}};
    for (const auto &coefficients : matrices)
        for (int32_t d : {1, -1, 2, 7, -13, 255, 32768, 2147483647})
            for (int32_t decalage : {0, 1, -255, 300, 2147483647, -2147483647})
                for (const QImage *src : {&rampe, &noir, &blanc, &damier}) {
                    ConvMatrix m;
                    m.coefficients = coefficients;
                    m.diviseur = d;
                    m.decalage = decalage;
                    QImage img = *src;
                    ASSERT_TRUE(FiltreConvolution(img, m, 1));
                    ASSERT_TRUE(memeImage(img, refConvolution(*src, m)))
                        << "d " << d << " offset " << decalage << " centre " << coefficients[4];
                }
    // The centre coefficient k alone: each interior byte is clamp(k·p div d + o).
    for (int k = -128; k <= 128; k += 3)
        for (int32_t d : {2, 3, -7, 10, 127, -128, 255, 1000}) {
            ConvMatrix m;
            m.coefficients = {0, 0, 0, 0, k, 0, 0, 0, 0};
            m.diviseur = d;
            m.decalage = 128;
            QImage img = rampe;
            FiltreConvolution(img, m);
            for (int x = 1; x < 257; ++x) {
                const QRgb p = rampe.pixel(x, 1), q = img.pixel(x, 1);
                ASSERT_EQ(qRed(q), borne((long long)k * qRed(p) / d + 128)) << k << " " << d << " " << x;
                ASSERT_EQ(qGreen(q), borne((long long)k * qGreen(p) / d + 128)) << k << " " << d;
                ASSERT_EQ(qAlpha(q), 77);
            }
        }
}

TEST(MatriceFiltre, ConvolutionIdentityDivisorZeroAndTinyPictures)
{
    const QImage src = aleatoire(12, 9, 1);
    QImage img = src;
    EXPECT_TRUE(FiltreConvolution(img, ConvMatrix()));
    EXPECT_TRUE(memeImage(img, src));

    ConvMatrix zero;
    zero.Remplir(1);
    zero.diviseur = 0;
    EXPECT_FALSE(FiltreConvolution(img, zero));
    EXPECT_TRUE(memeImage(img, src));

    ConvMatrix m;
    m.Remplir(2);
    m.diviseur = 3;
    for (QSize t : {QSize(1, 1), QSize(2, 2), QSize(2, 9), QSize(9, 2)}) {
        const QImage petit = aleatoire(t.width(), t.height(), 4);
        QImage p = petit;
        EXPECT_TRUE(FiltreConvolution(p, m));
        EXPECT_TRUE(memeImage(p, petit));
    }
    // The border keeps its value whatever the matrix does.
    img = src;
    FiltreConvolution(img, m);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(img.pixel(x, 0), src.pixel(x, 0));
        EXPECT_EQ(img.pixel(x, 8), src.pixel(x, 8));
    }
}

TEST(MatriceFiltre, ConvolutionTruncatesNegativeQuotientsTowardZero)
{
    // One interior pixel: s = −7 over divisor 2 is −3 (not −4), plus 10 = 7.
    QImage img(3, 3, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 0, 200));
    img.setPixel(2, 1, qRgba(7, 7, 7, 200));
    ConvMatrix m;
    m.coefficients = {0, 0, 0, 0, 0, -1, 0, 0, 0};
    m.diviseur = 2;
    m.decalage = 10;
    FiltreConvolution(img, m);
    EXPECT_EQ(img.pixel(1, 1), qRgba(7, 7, 7, 200));
}

TEST(MatriceFiltre, GreySharpenSepiaChannelsContrast)
{
    std::mt19937 gen(11);
    for (const QSize &t : tailles()) {
        const QImage src = aleatoire(t.width(), t.height(), gen());
        QImage img = src;
        NiveauxDeGris(img);
        EXPECT_TRUE(memeImage(img, refGris(src)));

        for (int c : {3, -8, 0, 40, -20}) {
            for (int a : {2, 0, -3, 100}) {
                img = src;
                Accentuation(img, c, a);
                EXPECT_TRUE(memeImage(img, refAccentuation(src, c, a))) << "c " << c << " a " << a;
            }
        }

        for (int d : {40, 0, 127}) {
            img = src;
            Sepia(img, d);
            QImage ref = src;
            for (int y = 0; y < src.height(); ++y)
                for (int x = 0; x < src.width(); ++x) {
                    const QRgb p = src.pixel(x, y);
                    const int l = (77 * qRed(p) + 150 * qGreen(p) + 29 * qBlue(p)) / 256;
                    ref.setPixel(x, y, avecCanaux(p, l, std::min(l + d, 255), std::min(l + 2 * d, 255)));
                }
            EXPECT_TRUE(memeImage(img, ref));
        }

        img = src;
        AjusteCanaux(img, 100, 37, 0);
        QImage ref = src;
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb p = src.pixel(x, y);
                ref.setPixel(x, y, avecCanaux(p, 0, qGreen(p) * 37 / 100, qRed(p)));
            }
        EXPECT_TRUE(memeImage(img, ref));

        for (int pas : {-100, -37, 0, 55, 100}) {
            img = src;
            Contraste(img, pas);
            const long long k = std::llrint(pas * 2.56L);
            QImage r = src;
            const auto t = [k](int i) {
                return borne(i < 128 ? i - (128 - i) * k / 256 : i + (i - 128) * k / 256);
            };
            for (int y = 0; y < src.height(); ++y)
                for (int x = 0; x < src.width(); ++x) {
                    const QRgb p = src.pixel(x, y);
                    r.setPixel(x, y, avecCanaux(p, t(qBlue(p)), t(qGreen(p)), t(qRed(p))));
                }
            EXPECT_TRUE(memeImage(img, r)) << pas;
        }
    }
}

TEST(MatriceFiltre, ContrastTableValues)
{
    TableOctets t;
    TableContraste(t, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(t[size_t(i)], i);
    TableContraste(t, 100);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[64], 0);
    EXPECT_EQ(t[127], 126);
    EXPECT_EQ(t[128], 128);
    EXPECT_EQ(t[192], 255);
    EXPECT_EQ(t[255], 255);
    TableContraste(t, -100); // k = −256: everything pulled to the middle
    EXPECT_EQ(t[0], 128);
    EXPECT_EQ(t[255], 255 - 127);
}

TEST(MatriceFiltre, HsvConversionAndAdjustment)
{
    EXPECT_EQ(RGBversTSV(255, 0, 0).h, 0);
    EXPECT_EQ(RGBversTSV(0, 255, 0).h, 120);
    EXPECT_EQ(RGBversTSV(0, 0, 255).h, 240);
    const TSV gris = RGBversTSV(90, 90, 90);
    EXPECT_EQ(gris.s, 0);
    EXPECT_EQ(gris.h, 0);
    EXPECT_EQ(gris.v, 90);
    // (G − B)·60 div δ truncates toward zero before the wrap: (0 − 1)·60 div 255 = 0.
    EXPECT_EQ(RGBversTSV(255, 0, 1).h, 0);
    EXPECT_EQ(RGBversTSV(255, 0, 200).h, 360 - 47);
    const RGBEntiers rouge = TSVversRGB(360, 255, 255);
    EXPECT_EQ(rouge.r, 255);
    EXPECT_EQ(rouge.g, 0);
    EXPECT_EQ(rouge.b, 0);

    // Plain evaluation of the adjustment on every pixel.
    const QImage src = aleatoire(19, 7, 5);
    for (auto [dh, ds, dv] : {std::tuple{17, -30, 45}, {359, 100, -100}, {0, 0, 0}, {200, -100, 100}}) {
        QImage img = src;
        AjusteTSV(img, dh, ds, dv);
        QImage ref = src;
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb p = src.pixel(x, y);
                TSV t = RGBversTSV(qRed(p), qGreen(p), qBlue(p));
                int h = t.h + dh;
                if (h > 360)
                    h -= 360;
                const int s = std::min(t.s * (100 + ds) / 100, 255);
                const int v = std::min(t.v * (100 + dv) / 100, 255);
                const RGBEntiers c = TSVversRGB(h, s, v);
                ref.setPixel(x, y, avecCanaux(p, c.b, c.g, c.r));
            }
        EXPECT_TRUE(memeImage(img, ref));
    }

    // A hue sum of exactly 360 is hue 0; 361 is hue 1.
    QImage rougeImg(1, 1, QImage::Format_ARGB32);
    rougeImg.setPixel(0, 0, qRgb(255, 0, 0));
    QImage a = rougeImg;
    AjusteTSV(a, 0, 0, 0);
    QImage b(1, 1, QImage::Format_ARGB32);
    b.setPixel(0, 0, qRgb(0, 255, 0)); // hue 120
    AjusteTSV(b, 240, 0, 0);
    EXPECT_EQ(b.pixel(0, 0), a.pixel(0, 0));
    QImage c(1, 1, QImage::Format_ARGB32);
    c.setPixel(0, 0, qRgb(0, 255, 0));
    AjusteTSV(c, 241, 0, 0);
    const RGBEntiers h1 = TSVversRGB(1, 255, 255);
    EXPECT_EQ(c.pixel(0, 0), qRgb(h1.r, h1.g, h1.b));
    EXPECT_NE(c.pixel(0, 0), a.pixel(0, 0));
}

TEST(MatriceFiltre, EdgesMatchPlainEvaluation)
{
    std::mt19937 gen(21);
    const TColor bord = TColor::fromRgb(200, 30, 90); // red ≠ blue
    for (const QSize &t : tailles()) {
        const QImage src = aPlats(t.width(), t.height(), gen());
        for (int seuil : {5, 15, 50, 0, -5}) {
            for (bool median : {false, true}) {
                QImage img = src;
                DetectionContours(img, seuil, bord, median);
                EXPECT_TRUE(memeImage(img, refDetection(src, seuil, bord, median)))
                    << "t " << seuil << " median " << median;
            }
        }
        // Coloured contours: pixels black in the edge picture take the colour.
        for (bool median : {false, true}) {
            QImage img = src;
            ContoursCouleur(img, 15, bord, median);
            const QImage contours = refDetection(src, 15, TColor::fromRgb(0, 0, 0), median);
            QImage ref = src;
            for (int y = 0; y < src.height(); ++y)
                for (int x = 0; x < src.width(); ++x)
                    if (qBlue(contours.pixel(x, y)) == 0)
                        ref.setPixel(x, y, avecCanaux(src.pixel(x, y), bord.blue(), bord.green(), bord.red()));
            EXPECT_TRUE(memeImage(img, ref));
        }
    }
    // The threshold is strict: a step of exactly t is an edge.
    QImage marche(4, 4, QImage::Format_ARGB32);
    marche.fill(qRgb(100, 100, 100));
    for (int y = 0; y < 4; ++y)
        marche.setPixel(2, y, qRgb(103, 103, 103)); // d1 = √(3·3²) ≈ 5.196
    QImage a = marche;
    DetectionContours(a, 5, bord, false);
    EXPECT_EQ(a.pixel(1, 1), bord.toQRgb());
    QImage b = marche;
    DetectionContours(b, 6, bord, false);
    EXPECT_EQ(b.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(b.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(MatriceFiltre, MedianAndKuwaharaMatchPlainEvaluation)
{
    std::mt19937 gen(31);
    for (const QSize &t : tailles()) {
        const QImage src = aPlats(t.width(), t.height(), gen());
        for (int n : {2, 3, 4, 5}) {
            QImage img = src;
            FiltreMedian(img, n);
            EXPECT_TRUE(memeImage(img, refMedian(src, n))) << "median " << n;
        }
        for (int n : {3, 4, 5, 7, 9}) {
            QImage img = src;
            FiltreKuwahara(img, n);
            EXPECT_TRUE(memeImage(img, refKuwahara(src, n))) << "kuwahara " << n;
        }
    }
    const QImage grand = aleatoire(40, 31, 8);
    QImage k19 = grand;
    FiltreKuwahara(k19, 19);
    EXPECT_TRUE(memeImage(k19, refKuwahara(grand, 19)));
}

TEST(MatriceFiltre, MedianOfNineIsTheSixthSmallest)
{
    QImage img(3, 3, QImage::Format_ARGB32);
    for (int i = 0; i < 9; ++i)
        img.setPixel(i % 3, i / 3, qRgba(8 - i, i, (i * 4) % 9, 77));
    FiltreMedian(img, 3);
    EXPECT_EQ(img.pixel(1, 1), qRgba(5, 5, 5, 77));

    // Every pattern of zeros and ones: by the 0-1 principle this proves the
    // selection for every input.
    for (int motif = 0; motif < 512; ++motif) {
        QImage m(3, 3, QImage::Format_ARGB32);
        int uns = 0;
        for (int i = 0; i < 9; ++i) {
            const bool un = (motif >> i) & 1;
            uns += un;
            const int v = un ? 255 : 0;
            m.setPixel(i % 3, i / 3, qRgba(v, 255 - v, v, 9));
        }
        FiltreMedian(m, 3);
        const int attendu = uns >= 4 ? 255 : 0;      // sixth-smallest of nine
        const int attenduInverse = 9 - uns >= 4 ? 255 : 0;
        ASSERT_EQ(m.pixel(1, 1), qRgba(attendu, attenduInverse, attendu, 9)) << motif;
    }
}

TEST(MatriceFiltre, KuwaharaTieGoesToTheEarlierQuadrant)
{
    // 3x3 window, q = 2: the top-left quadrant {0, 2, 0, 2} (mean 1) and the
    // top-right one {2, 4, 2, 4} (mean 3) both have variance 4; the lower
    // ones are far more spread. The top-left one wins.
    QImage img(3, 3, QImage::Format_ARGB32);
    const int v[3][3] = {{0, 2, 4}, {0, 2, 4}, {100, 200, 50}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            img.setPixel(x, y, qRgb(v[y][x], v[y][x], v[y][x]));
    FiltreKuwahara(img, 3);
    EXPECT_EQ(img.pixel(1, 1), qRgb(1, 1, 1));
    QImage petit = aleatoire(2, 1, 3);
    const QImage avant = petit;
    FiltreKuwahara(petit, 19);
    EXPECT_TRUE(memeImage(petit, avant));
}

TEST(MatriceFiltre, DithersMatchPlainEvaluation)
{
    std::mt19937 gen(41);
    for (const QSize &t : tailles()) {
        const QImage src = aleatoire(t.width(), t.height(), gen());
        QImage img = src;
        TramageFloydSteinberg(img, true);
        EXPECT_TRUE(memeImage(img, refFloydSteinberg(src)));

        img = src;
        TramageOrdonne2x2(img, true);
        QImage ref = refGris(src);
        const int s2[2][2] = {{32, 160}, {222, 96}};
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const int v = qBlue(ref.pixel(x, y)) < s2[y % 2][x % 2] ? 0 : 255;
                ref.setPixel(x, y, avecCanaux(ref.pixel(x, y), v, v, v));
            }
        EXPECT_TRUE(memeImage(img, ref));

        img = src;
        TramageOrdonne3x3(img, false);
        ref = src;
        const int s3[3][3] = {{184, 240, 127}, {42, 14, 99}, {155, 70, 212}};
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const int v = qBlue(src.pixel(x, y)) >= s3[y % 3][x % 3] ? 255 : 0;
                ref.setPixel(x, y, avecCanaux(src.pixel(x, y), v, v, v));
            }
        EXPECT_TRUE(memeImage(img, ref));
    }
    // A flat 60 % grey: after the two-colour map the edges (left and right
    // columns, bottom row) hold both colours, roughly 60 % of them white, as
    // the inside does; odd sizes put the ordered dithers' cells across the edge.
    const TColor noir = TColor::fromRgb(0, 0, 0), blanc = TColor::fromRgb(255, 255, 255);
    for (QSize t : {QSize(20, 20), QSize(21, 23), QSize(41, 7)}) {
        for (int mode = 0; mode < 3; ++mode) {
            QImage gris(t, QImage::Format_ARGB32);
            gris.fill(qRgb(153, 153, 153));
            if (mode == 0)
                TramageFloydSteinberg(gris, true);
            else if (mode == 1)
                TramageOrdonne2x2(gris, true);
            else
                TramageOrdonne3x3(gris, true);
            Bicolore(gris, noir, blanc);
            int blancs = 0, total = 0;
            const auto compte = [&](int x, int y) {
                ++total;
                blancs += gris.pixel(x, y) == qRgb(255, 255, 255);
            };
            for (int y = 0; y < t.height(); ++y) {
                compte(0, y);
                compte(t.width() - 1, y);
            }
            for (int x = 1; x + 1 < t.width(); ++x)
                compte(x, t.height() - 1);
            const double part = double(blancs) / total;
            EXPECT_GT(part, 0.3) << t.width() << "x" << t.height() << " mode " << mode;
            EXPECT_LT(part, 0.8) << t.width() << "x" << t.height() << " mode " << mode;
        }
    }

    // A dither then the two-colour map: exactly two values.
    QImage img = aleatoire(23, 17, 6);
    TramageOrdonne3x3(img, true);
    Bicolore(img, TColor::fromRgb(10, 20, 250), TColor::fromRgb(240, 200, 5));
    std::set<QRgb> valeurs;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            valeurs.insert(img.pixel(x, y));
    EXPECT_EQ(valeurs, (std::set<QRgb>{qRgb(10, 20, 250), qRgb(240, 200, 5)}));
}

TEST(MatriceFiltre, MosaicTilesMasksAndBackground)
{
    // Square: every tile its mean; 10x10 with n = 4 gives tiles 4, 4, 2.
    const QImage src = aleatoire(10, 10, 12);
    QImage img = src;
    const QRgb fond = qRgba(250, 10, 40, 255);
    Motif(img, 4, fond, MotifCarre);
    const int bords[4] = {0, 4, 8, 10};
    for (int ty = 0; ty < 3; ++ty)
        for (int tx = 0; tx < 3; ++tx) {
            long long s[3] = {0, 0, 0}, n = 0;
            for (int y = bords[ty]; y < bords[ty + 1]; ++y)
                for (int x = bords[tx]; x < bords[tx + 1]; ++x, ++n)
                    for (int c = 0; c < 3; ++c)
                        s[c] += canal(src.pixel(x, y), c);
            for (int y = bords[ty]; y < bords[ty + 1]; ++y)
                for (int x = bords[tx]; x < bords[tx + 1]; ++x)
                    ASSERT_EQ(img.pixel(x, y), avecCanaux(src.pixel(x, y), int(s[0] / n), int(s[1] / n),
                                                          int(s[2] / n)));
        }

    // Bounded square: the first row and column of each tile are background;
    // an unknown shape leaves only background.
    const MasqueMotif borde = MasqueDeForme(5, MotifCarreBorde);
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(borde[size_t(j)][size_t(i)], i > 0 && j > 0);
    const MasqueMotif carre = MasqueDeForme(50, MotifCarre);
    for (int j = 0; j < 50; ++j)
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(carre[size_t(j)][size_t(i)]);
    img = src;
    Motif(img, 3, fond, 9);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(img.pixel(x, y), avecCanaux(src.pixel(x, y), qBlue(fond), qGreen(fond), qRed(fond)));

    // Any shape, against a plain evaluation with its mask; the circle covers
    // the middle and leaves the corner.
    for (int forme = 0; forme < 8; ++forme) {
        for (int n : {2, 5, 9}) {
            const MasqueMotif m = MasqueDeForme(n, forme);
            const QImage s = aleatoire(23, 14, unsigned(forme * 10 + n));
            QImage r = s;
            for (int y0 = 0; y0 < 14; y0 += n)
                for (int x0 = 0; x0 < 23; x0 += n) {
                    const int bw = std::min(n, 23 - x0), bh = std::min(n, 14 - y0);
                    long long somme[3] = {0, 0, 0};
                    for (int y = y0; y < y0 + bh; ++y)
                        for (int x = x0; x < x0 + bw; ++x)
                            for (int c = 0; c < 3; ++c)
                                somme[c] += canal(s.pixel(x, y), c);
                    for (int y = y0; y < y0 + bh; ++y)
                        for (int x = x0; x < x0 + bw; ++x)
                            r.setPixel(x, y, m[size_t(y - y0)][size_t(x - x0)]
                                                 ? avecCanaux(s.pixel(x, y), int(somme[0] / (bw * bh)),
                                                              int(somme[1] / (bw * bh)), int(somme[2] / (bw * bh)))
                                                 : avecCanaux(s.pixel(x, y), qBlue(fond), qGreen(fond),
                                                              qRed(fond)));
                }
            QImage i = s;
            Motif(i, n, fond, forme);
            EXPECT_TRUE(memeImage(i, r)) << "shape " << forme << " n " << n;
        }
    }
    const MasqueMotif cercle = MasqueDeForme(20, MotifCercle);
    EXPECT_TRUE(cercle[10][10]);
    EXPECT_FALSE(cercle[0][0]);
    EXPECT_FALSE(cercle[19][19]);

    // Block sizes outside 2..50 are held inside (no overflow, no division by 0).
    img = src;
    EXPECT_TRUE(Motif(img, 0, fond, MotifCarre));
    QImage deux = src;
    Motif(deux, 2, fond, MotifCarre);
    EXPECT_TRUE(memeImage(img, deux));
    img = src;
    EXPECT_TRUE(Motif(img, 500, fond, MotifCarre));
}

TEST(MatriceFiltre, ExplosionCopiesFromInsideTheWindow)
{
    const QImage src = aleatoire(17, 12, 14);
    for (int n : {3, 4, 7}) {
        QImage img = src;
        Explosion(img, n, 1234);
        QImage ref = src;
        const int k = (n - 1) / 2;
        for (int y = 0; y + n <= 12; ++y)
            for (int x = 0; x + n <= 17; ++x) {
                const auto [dx, dy] = DeplacementExplosion(1234, x, y, n);
                ASSERT_GE(dx, 0);
                ASSERT_LT(dx, n);
                ASSERT_GE(dy, 0);
                ASSERT_LT(dy, n);
                ref.setPixel(x + k, y + k, avecCanaux(src.pixel(x + k, y + k), qBlue(src.pixel(x + dx, y + dy)),
                                                      qGreen(src.pixel(x + dx, y + dy)),
                                                      qRed(src.pixel(x + dx, y + dy))));
            }
        EXPECT_TRUE(memeImage(img, ref));
    }
    // Every displacement is drawn over time.
    std::set<std::pair<int, int>> vus;
    for (int i = 0; i < 400; ++i)
        vus.insert(DeplacementExplosion(99, i % 20, i / 20, 3));
    EXPECT_EQ(vus.size(), 9u);
    // Two calls without a seed differ (clock-seeded), on a busy picture.
    const QImage grand = aleatoire(64, 64, 15);
    QImage a = grand, b = grand;
    Explosion(a, 5);
    Explosion(b, 5);
    EXPECT_FALSE(a == b);
}

TEST(MatriceFiltre, AlphaFromLuminanceAndTwoColours)
{
    const QImage src = aleatoire(9, 6, 16);
    const QImage lum = aleatoire(9, 6, 17);
    QImage img = src;
    EXPECT_TRUE(AlphaDepuisLuminance(img, lum));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) {
            const QRgb s = lum.pixel(x, y), p = src.pixel(x, y);
            const int l = (77 * qRed(s) + 150 * qGreen(s) + 29 * qBlue(s)) / 256;
            ASSERT_EQ(img.pixel(x, y), qRgba(qRed(p), qGreen(p), qBlue(p), l));
        }
    img = src;
    EXPECT_FALSE(AlphaDepuisLuminance(img, aleatoire(9, 5, 1)));
    EXPECT_TRUE(memeImage(img, src));

    // Bicolore reads only B, and writes opaque colours without swapping red and blue.
    QImage deux(2, 1, QImage::Format_ARGB32);
    deux.setPixel(0, 0, qRgba(255, 255, 0, 10));
    deux.setPixel(1, 0, qRgba(0, 0, 1, 10));
    Bicolore(deux, TColor::fromValue(0x0000FF), TColor::fromValue(0xFF0000));
    EXPECT_EQ(deux.pixel(0, 0), qRgba(255, 0, 0, 255)); // $0000FF is red
    EXPECT_EQ(deux.pixel(1, 0), qRgba(0, 0, 255, 255)); // $FF0000 is blue
}

TEST(MatriceFiltre, RadialBlurMatchesPlainEvaluation)
{
    std::mt19937 gen(51);
    // 8x8: w² + h² = 128, so d2·f is exact and the halves of Round are met.
    for (QSize t : {QSize(8, 8), QSize(1, 1), QSize(1, 9), QSize(13, 7), QSize(16, 16)}) {
        const QImage src = aleatoire(t.width(), t.height(), gen());
        for (int s : {1, 37, 100, 0}) {
            for (QPoint c : {QPoint(t.width() / 2, t.height() / 2), QPoint(0, 0), QPoint(-3, 9)}) {
                QImage img = src;
                FlouRadial(img, s, c.x(), c.y());
                EXPECT_TRUE(memeImage(img, refFlouRadial(src, s, c.x(), c.y())))
                    << "s " << s << " centre " << c.x() << "," << c.y();
            }
        }
    }
    // A negative strength gives radius 0: nothing moves (and no division by 0).
    const QImage src = aleatoire(6, 6, 3);
    QImage img = src;
    FlouRadial(img, -50, 0, 0);
    EXPECT_TRUE(memeImage(img, src));
}

TEST(MatriceFiltre, ZoomBlurMatchesPlainEvaluation)
{
    std::mt19937 gen(61);
    for (QSize t : {QSize(9, 9), QSize(1, 1), QSize(1, 8), QSize(21, 13)}) {
        const QImage src = aleatoire(t.width(), t.height(), gen());
        for (auto [pct, avant, apres, k] : {std::tuple{15, 5, 30, 3.0f}, {1, 0, 0, 0.5f}, {100, 40, 2, 10.0f},
                                             {50, 20, 20, 0.0f}}) {
            for (QPoint c : {QPoint(t.width() / 2, t.height() / 2), QPoint(0, 0), QPoint(t.width() + 3, -2)}) {
                QImage img = src;
                FlouZoom(img, c.x(), c.y(), pct, avant, apres, k);
                EXPECT_TRUE(memeImage(img, refFlouZoom(src, c.x(), c.y(), pct, avant, apres, k)))
                    << pct << " " << avant << " " << apres << " " << k;
                if (c.x() >= 0 && c.y() >= 0 && c.x() < t.width() && c.y() < t.height()) {
                    EXPECT_EQ(img.pixel(c), src.pixel(c)); // the centre keeps its value
                }
            }
        }
    }
    // A 64x48 picture (diagonal 80): with 25 % the radius is 20, and at whole
    // distances (3-4-5 triangles, the centre's row and column) the weight and
    // the sample positions fall on exact halves, which round to even.
    const QImage src = aleatoire(64, 48, 5);
    for (auto [pct, avant, apres, k] : {std::tuple{25, 4, 30, 3.0f}, {25, 5, 7, 0.0f}, {15, 6, 30, 3.0f},
                                         {100, 50, 50, 10.0f}, {1, 3, 3, 7.5f}}) {
        for (QPoint c : {QPoint(20, 17), QPoint(32, 24), QPoint(0, 47), QPoint(70, -5), QPoint(70000, -3)}) {
            QImage img = src;
            FlouZoom(img, c.x(), c.y(), pct, avant, apres, k, 3);
            ASSERT_TRUE(memeImage(img, refFlouZoom(src, c.x(), c.y(), pct, avant, apres, k)))
                << pct << " " << avant << " " << apres << " " << k << " centre " << c.x() << "," << c.y();
        }
    }
}

TEST(MatriceFiltre, ThreadedResultEqualsSingleThreaded)
{
    const QImage src = aPlats(41, 37, 71);
    const TColor c = TColor::fromRgb(220, 40, 5);
    const std::vector<std::pair<const char *, std::function<void(QImage &, int)>>> filtres{
        {"convolution", [](QImage &i, int f) {
             ConvMatrix m;
             m.coefficients = {-1, 2, -1, 3, 5, -2, 1, 0, 4};
             m.diviseur = 3;
             m.decalage = 5;
             FiltreConvolution(i, m, f);
         }},
        {"grey", [](QImage &i, int f) { NiveauxDeGris(i, f); }},
        {"sharpen", [](QImage &i, int f) { Accentuation(i, 3, 2, f); }},
        {"edges", [c](QImage &i, int f) { DetectionContours(i, 15, c, true, f); }},
        {"sepia", [](QImage &i, int f) { Sepia(i, 40, f); }},
        {"hsv", [](QImage &i, int f) { AjusteTSV(i, 100, 20, -10, f); }},
        {"channels", [](QImage &i, int f) { AjusteCanaux(i, 50, 80, 20, f); }},
        {"mosaic", [](QImage &i, int f) { Motif(i, 4, qRgb(1, 2, 3), MotifCercle, f); }},
        {"median3", [](QImage &i, int f) { FiltreMedian(i, 3, f); }},
        {"median5", [](QImage &i, int f) { FiltreMedian(i, 5, f); }},
        {"ordered2", [](QImage &i, int f) { TramageOrdonne2x2(i, true, f); }},
        {"ordered3", [](QImage &i, int f) { TramageOrdonne3x3(i, true, f); }},
        {"kuwahara", [](QImage &i, int f) { FiltreKuwahara(i, 7, f); }},
        {"contours", [c](QImage &i, int f) { ContoursCouleur(i, 10, c, false, f); }},
        {"explosion", [](QImage &i, int f) { Explosion(i, 5, 77, f); }},
        {"bicolore", [c](QImage &i, int f) { Bicolore(i, c, TColor::fromRgb(3, 4, 5), f); }},
        {"contrast", [](QImage &i, int f) { Contraste(i, 60, f); }},
        {"radial", [](QImage &i, int f) { FlouRadial(i, 60, 5, 30, f); }},
        {"zoom", [](QImage &i, int f) { FlouZoom(i, 20, 10, 15, 6, 12, 3.0f, f); }},
    };
    for (const auto &[nom, filtre] : filtres) {
        QImage un = src;
        filtre(un, 1);
        EXPECT_FALSE(un == src) << nom;
        for (int fils : {2, 3, 7, 64}) {
            QImage plusieurs = src;
            filtre(plusieurs, fils);
            EXPECT_TRUE(memeImage(plusieurs, un)) << nom << " with " << fils << " threads";
        }
    }
}

TEST(MatriceFiltre, OtherFormatsAndNullPictures)
{
    QImage rgb(5, 4, QImage::Format_RGB888);
    rgb.fill(QColor(10, 200, 30));
    EXPECT_TRUE(NiveauxDeGris(rgb));
    EXPECT_EQ(rgb.format(), QImage::Format_ARGB32);
    const int g = (79 * 10 + 156 * 200 + 21 * 30) / 256;
    EXPECT_EQ(rgb.pixel(2, 2), qRgb(g, g, g));

    QImage vide;
    EXPECT_TRUE(FlouRadial(vide, 10, 0, 0));
    EXPECT_TRUE(FlouZoom(vide, 0, 0, 10, 1, 1, 1.0f));
    EXPECT_TRUE(FiltreKuwahara(vide, 5));
    EXPECT_TRUE(vide.isNull());

    // A shared picture is not changed through its sibling.
    const QImage src = aleatoire(30, 30, 2);
    QImage copie = src;
    FiltreMedian(copie, 3, 4);
    EXPECT_TRUE(memeImage(src, aleatoire(30, 30, 2)));
}


// --- strips and bands --------------------------------------------------------

// Tall pictures with heights one past the strip size and widths thinner
// than the windows, against the plain evaluations; thread counts that do
// not divide the height.
TEST(MatriceFiltre, TallThinPicturesMatchPlainEvaluation)
{
    std::mt19937 gen(81);
    const TColor bord = TColor::fromRgb(200, 30, 90);
    const int s = LIGNES_PAR_BANDE;
    for (QSize t : {QSize(5, 2 * s + 44), QSize(2, s + 1), QSize(1, 2 * s + 1), QSize(9, s + 3), QSize(3, s)}) {
        const QImage src = aPlats(t.width(), t.height(), gen());
        const QImage bruit = aleatoire(t.width(), t.height(), gen());
        const int w = t.width(), h = t.height();
        for (int fils : {1, 3, 7}) {
            const auto info = [&] { return ::testing::Message() << w << "x" << h << " threads " << fils; };
            for (bool median : {false, true}) {
                QImage img = src;
                DetectionContours(img, 15, bord, median, fils);
                EXPECT_TRUE(memeImage(img, refDetection(src, 15, bord, median))) << info() << " median " << median;
                img = src;
                ContoursCouleur(img, 15, bord, median, fils);
                const QImage contours = refDetection(src, 15, TColor::fromRgb(0, 0, 0), median);
                QImage ref = src;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        if (qBlue(contours.pixel(x, y)) == 0)
                            ref.setPixel(x, y, avecCanaux(src.pixel(x, y), bord.blue(), bord.green(), bord.red()));
                EXPECT_TRUE(memeImage(img, ref)) << info() << " coloured, median " << median;
            }
            QImage img = bruit;
            Accentuation(img, 3, 2, fils);
            EXPECT_TRUE(memeImage(img, refAccentuation(bruit, 3, 2))) << info();
            // Radii reaching across a strip and its context (strength 100
            // from a corner gives radii up to 100), and small ones.
            for (auto [force, c] : {std::pair{100, QPoint(0, 0)}, {30, QPoint(w / 2, h / 2)}, {60, QPoint(-4, h + 9)}}) {
                img = bruit;
                FlouRadial(img, force, c.x(), c.y(), fils);
                EXPECT_TRUE(memeImage(img, refFlouRadial(bruit, force, c.x(), c.y())))
                    << info() << " radial " << force;
            }
            // Streaks longer than a strip, and the chooser's defaults.
            for (auto [pct, avant, apres, c] : {std::tuple{15, 6, 30, QPoint(w / 2, h / 2)},
                                                {40, 150, 3, QPoint(w + 2, -5)}, {5, 2, 200, QPoint(0, h / 3)}}) {
                img = bruit;
                FlouZoom(img, c.x(), c.y(), pct, avant, apres, 3.0f, fils);
                EXPECT_TRUE(memeImage(img, refFlouZoom(bruit, c.x(), c.y(), pct, avant, apres, 3.0f)))
                    << info() << " zoom " << avant << " " << apres;
            }
        }
    }
}

// The strip runner hands each strip the ORIGINAL rows around it, although
// the strips before have already written theirs: every filter here writes
// the negative of its rows and checks what it was given.
TEST(MatriceFiltre, StripsHoldTheOriginalRows)
{
    std::mt19937 gen(91);
    for (QSize t : {QSize(1, 1), QSize(2, 1), QSize(3, 2), QSize(4, 9), QSize(7, 20), QSize(1, 13)}) {
        const QImage src = aleatoire(t.width(), t.height(), gen());
        const int w = t.width(), h = t.height();
        for (int contexte : {0, 1, 3, 5}) {
            const QImage marge = MargeMiroirReference(src, contexte);
            for (int hauteur : {1, 2, 3, 7, 200}) {
                for (BordBande bord : {BordBande::Direct, BordBande::Miroir}) {
                    QImage img = src;
                    std::vector<int> vues(size_t(h), 0);
                    bool toutBon = true;
                    ParBandesAvecContexte(img, contexte, bord, [&](QImage &bande, int premiere, int y0, int y1) {
                        QImage attendue;
                        if (bord == BordBande::Direct) {
                            EXPECT_EQ(premiere, std::max(0, y0 - contexte));
                            attendue = src.copy(0, premiere, w, std::min(h, y1 + contexte) - premiere);
                        } else {
                            EXPECT_EQ(premiere, y0);
                            attendue = marge.copy(0, y0, w + 2 * contexte, y1 - y0 + 2 * contexte);
                        }
                        toutBon = toutBon && bande == attendue;
                        // The filter may spoil its strip: the next one is built anew.
                        bande.fill(0xFF123456u);
                        for (int y = y0; y < y1; ++y) {
                            ++vues[size_t(y)];
                            for (int x = 0; x < w; ++x)
                                img.setPixel(x, y, ~src.pixel(x, y));
                        }
                    }, hauteur, 0);
                    EXPECT_TRUE(toutBon) << w << "x" << h << " context " << contexte << " strip " << hauteur
                                         << (bord == BordBande::Direct ? " direct" : " mirror");
                    EXPECT_EQ(std::count(vues.begin(), vues.end(), 1), h); // each row once
                }
            }
        }
    }
}


// With the thread count left to the filter, a picture large enough for
// several threads gives the single thread's bytes.
TEST(MatriceFiltre, ChosenThreadCountGivesTheSingleThreadBytes)
{
    const QImage src = aPlats(410, 390, 101);
    const TColor c = TColor::fromRgb(220, 40, 5);
    const std::vector<std::pair<const char *, std::function<void(QImage &, int)>>> filtres{
        {"edges", [c](QImage &i, int f) { DetectionContours(i, 15, c, true, f); }},
        {"contours", [c](QImage &i, int f) { ContoursCouleur(i, 10, c, true, f); }},
        {"sharpen", [](QImage &i, int f) { Accentuation(i, 3, 2, f); }},
        {"radial", [](QImage &i, int f) { FlouRadial(i, 60, 5, 300, f); }},
        {"zoom", [](QImage &i, int f) { FlouZoom(i, 200, 100, 15, 6, 40, 3.0f, f); }},
    };
    for (const auto &[nom, filtre] : filtres) {
        QImage un = src;
        filtre(un, 1);
        QImage auto_ = src;
        filtre(auto_, FILS_AUTO);
        EXPECT_TRUE(memeImage(auto_, un)) << nom;
    }
}


// A picture wide enough for strips of the least height, over three strips
// (the last one short), against the plain evaluations.
TEST(MatriceFiltre, WidePicturesAcrossStripsMatchPlainEvaluation)
{
    const int w = int((PIXELS_PAR_BANDE + LIGNES_PAR_BANDE - 1) / LIGNES_PAR_BANDE) + 3;
    const int h = 2 * LIGNES_PAR_BANDE + 7;
    const QImage src = aPlats(w, h, 111);
    const TColor bord = TColor::fromRgb(200, 30, 90);
    for (bool median : {false, true}) {
        QImage img = src;
        DetectionContours(img, 15, bord, median, 3);
        EXPECT_TRUE(memeImage(img, refDetection(src, 15, bord, median))) << "median " << median;
    }
    QImage img = src;
    Accentuation(img, 3, 2, 5);
    EXPECT_TRUE(memeImage(img, refAccentuation(src, 3, 2)));
    img = src;
    FlouRadial(img, 30, w / 2, h / 3, 3);
    EXPECT_TRUE(memeImage(img, refFlouRadial(src, 30, w / 2, h / 3)));
    img = src;
    FlouZoom(img, w / 3, h / 2, 15, 6, 30, 3.0f, 3);
    EXPECT_TRUE(memeImage(img, refFlouZoom(src, w / 3, h / 2, 15, 6, 30, 3.0f)));
}

} // namespace
