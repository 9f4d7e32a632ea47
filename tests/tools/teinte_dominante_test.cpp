#include "tools/hls.h"
#include "tools/teinte_dominante.h"
#include "tools/teintes_images.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QImage image(int w, int h, QRgb fond = qRgb(128, 128, 128))
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fond);
    return img;
}

// A histogram counted the slow way, pixel by pixel through the conversion.
HistogrammeTeintes histoLent(const QImage &img)
{
    HistogrammeTeintes bins{};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int h = ColorRGBToHLS(TColor::fromQRgb(img.pixel(x, y))).teinte;
            if (h != 160)
                ++bins[h == 240 ? 0 : h];
        }
    bins[160] = (bins[159] + bins[161]) / 2;
    return bins;
}

// The window and dominant rules evaluated naively (nine bins summed afresh).
AnalyseTeintes analyseLente(const HistogrammeTeintes &bins)
{
    AnalyseTeintes a;
    a.histogramme = bins;
    for (int i = 0; i < 240; ++i)
        if (bins[i] > a.picBrut) {
            a.picBrut = bins[i];
            a.maxBrut = i;
        }
    const auto at = [&](int i) { return bins[((i % 240) + 240) % 240]; };
    long long best = 0;
    int c = 0;
    for (int i = 0; i < 240; ++i) {
        long long w = 0;
        for (int k = i - 4; k <= i + 4; ++k)
            w += at(k);
        if (w > best) {
            best = w;
            c = i;
        }
    }
    int bestBin = 0;
    for (int k = c - 4; k <= c + 4; ++k)
        if (at(k) > bestBin) {
            bestBin = at(k);
            a.teinteDominante = ((k % 240) + 240) % 240;
        }
    return a;
}

void attendEgal(const AnalyseTeintes &a, const AnalyseTeintes &b)
{
    EXPECT_EQ(a.histogramme, b.histogramme);
    EXPECT_EQ(a.teinteDominante, b.teinteDominante);
    EXPECT_EQ(a.maxBrut, b.maxBrut);
    EXPECT_EQ(a.picBrut, b.picBrut);
}

} // namespace

TEST(TeinteDominante, PureBlueAndGreysCountNothing)
{
    QImage img = image(20, 10, qRgb(0, 0, 255));
    img.setPixel(3, 3, qRgb(10, 10, 200)); // hue 160 without being grey
    img.setPixel(4, 4, qRgb(77, 77, 77));
    const auto a = TeinteDominante(img);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->histogramme, HistogrammeTeintes{});
    EXPECT_EQ(a->picBrut, 0);
    EXPECT_EQ(a->maxBrut, 0);
    EXPECT_EQ(a->teinteDominante, 0);
    EXPECT_FALSE(CouleurDominante(a->teinteDominante, a->picBrut));
}

TEST(TeinteDominante, GreyAndRedCountInBinZeroAndHue240Too)
{
    QImage img = image(8, 4);
    for (int x = 0; x < 5; ++x)
        img.setPixel(x, 1, qRgb(255, 0, 0));
    img.setPixel(0, 2, qRgb(255, 0, 1)); // hue 240
    const auto a = TeinteDominante(img);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->histogramme[0], 6);
    EXPECT_EQ(a->picBrut, 6);
    EXPECT_EQ(a->maxBrut, 0);
    EXPECT_EQ(a->teinteDominante, 0);
    int total = 0;
    for (int v : a->histogramme)
        total += v;
    EXPECT_EQ(total, 6);
    EXPECT_EQ(CouleurDominante(a->teinteDominante, a->picBrut), TColor::fromRgb(192, 0, 0));
}

TEST(TeinteDominante, Bin160IsTheMeanOfItsNeighbours)
{
    ASSERT_EQ(ColorRGBToHLS(TColor::fromRgb(0, 1, 40)).teinte, 159);
    ASSERT_EQ(ColorRGBToHLS(TColor::fromRgb(1, 0, 40)).teinte, 161);
    QImage img = image(10, 1, qRgb(0, 0, 255));
    for (int x = 0; x < 3; ++x)
        img.setPixel(x, 0, qRgb(0, 1, 40));
    for (int x = 3; x < 7; ++x)
        img.setPixel(x, 0, qRgb(1, 0, 40));
    const auto a = TeinteDominante(img);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->histogramme[159], 3);
    EXPECT_EQ(a->histogramme[161], 4);
    EXPECT_EQ(a->histogramme[160], 3);
    EXPECT_EQ(a->maxBrut, 161);
    // Window 156 holds bins 159 and 160 (6), windows from 157 on all three
    // (10): centre 157, in which bin 161 is the highest.
    EXPECT_EQ(a->teinteDominante, 161);
}

TEST(TeinteDominante, TiesGoToTheLowerIndexAndTheFirstBinOfTheWindow)
{
    HistogrammeTeintes bins{};
    bins[10] = 5;
    bins[100] = 5;
    AnalyseTeintes a = AnalyseHistogramme(bins);
    EXPECT_EQ(a.maxBrut, 10);
    EXPECT_EQ(a.picBrut, 5);
    EXPECT_EQ(a.teinteDominante, 10);

    bins = {};
    bins[50] = 3;
    bins[150] = 3;
    EXPECT_EQ(AnalyseHistogramme(bins).teinteDominante, 50);

    // Windows 18..24 all hold both bins; the first is centred on 18 and within
    // it bin 20 comes before the equal bin 22.
    bins = {};
    bins[20] = 4;
    bins[22] = 4;
    a = AnalyseHistogramme(bins);
    EXPECT_EQ(a.teinteDominante, 20);
    EXPECT_EQ(a.maxBrut, 20);

    // A window beats a higher single bin.
    bins = {};
    bins[30] = 9;
    bins[200] = 5;
    bins[203] = 5;
    a = AnalyseHistogramme(bins);
    EXPECT_EQ(a.maxBrut, 30);
    EXPECT_EQ(a.teinteDominante, 200);
}

TEST(TeinteDominante, WindowsWrapAcrossTheEndOfTheCircle)
{
    HistogrammeTeintes bins{};
    bins[1] = 2;
    bins[238] = 3;
    // The window centred on 0 already holds both (236..4): it wins, and bin 238
    // is the highest of its bins.
    AnalyseTeintes a = AnalyseHistogramme(bins);
    EXPECT_EQ(a.maxBrut, 238);
    EXPECT_EQ(a.teinteDominante, 238);

    bins = {};
    bins[2] = 4;
    bins[236] = 4;
    // Only windows 238, 239 and 0 hold both; 0 comes first, and 236 comes
    // before 2 in its order 236..4.
    a = AnalyseHistogramme(bins);
    EXPECT_EQ(a.teinteDominante, 236);
    EXPECT_EQ(a.maxBrut, 2);

    bins = {};
    bins[239] = 1;
    EXPECT_EQ(AnalyseHistogramme(bins).teinteDominante, 239);
}

TEST(TeinteDominante, RunningWindowMatchesNaiveSums)
{
    std::mt19937 gen(12345);
    for (int essai = 0; essai < 2000; ++essai) {
        HistogrammeTeintes bins{};
        const int n = 1 + int(gen() % 12);
        for (int i = 0; i < n; ++i)
            bins[gen() % 240] = int32_t(gen() % 6);
        attendEgal(AnalyseHistogramme(bins), analyseLente(bins));
        if (HasFailure())
            return;
    }
}

TEST(TeinteDominante, LargeThreadedPictureMatchesThePixelByPixelCount)
{
    std::mt19937 gen(7);
    QImage img(1013, 777, QImage::Format_ARGB32); // odd sizes: uneven bands
    for (int y = 0; y < img.height(); ++y) {
        QRgb *l = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            l[x] = gen() & 0xFFFFFFFFu;
    }
    const auto a = TeinteDominante(img);
    ASSERT_TRUE(a);
    attendEgal(*a, analyseLente(histoLent(img)));
}

TEST(TeinteDominante, AlphaIsIgnoredAndOtherLayoutsAreConverted)
{
    QImage img = image(6, 6);
    img.setPixel(1, 1, qRgba(0, 255, 0, 0)); // fully transparent green still counts
    img.setPixel(2, 2, qRgba(46, 151, 227, 10));
    const auto a = TeinteDominante(img);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->histogramme[80], 1);
    EXPECT_EQ(a->histogramme[137], 1);

    QImage rgb888(5, 3, QImage::Format_RGB888);
    rgb888.fill(QColor(18, 87, 177));
    const auto b = TeinteDominante(rgb888);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->histogramme[143], 15);
    EXPECT_EQ(b->teinteDominante, 143);

    QImage indexe(4, 4, QImage::Format_Indexed8);
    indexe.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
    indexe.fill(1);
    indexe.setPixel(0, 0, 0);
    const auto c = TeinteDominante(indexe);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->histogramme[80], 15);
    EXPECT_EQ(c->histogramme[0], 1);
}

TEST(TeinteDominante, NullPictureIsAFailure)
{
    EXPECT_FALSE(TeinteDominante(QImage()));
    EXPECT_FALSE(TeinteDominante(QImage(0, 5, QImage::Format_ARGB32)));
}

TEST(TeintesImages, SlotsStartAtZeroAndKeepTheHistogramOnFailure)
{
    TeintesImages t;
    for (int s = 0; s < TeintesImages::NOMBRE_EMPLACEMENTS; ++s) {
        EXPECT_EQ(t.HistoImages[s], HistogrammeTeintes{});
        EXPECT_EQ(t.TeinteImage[s] + t.MaxBrutImage[s] + t.PicImage[s], 0);
    }

    QImage img = image(4, 4, qRgb(46, 151, 227));
    EXPECT_TRUE(t.analyse(TeintesImages::TodayPaysage, img));
    EXPECT_EQ(t.TeinteImage[2], 137);
    EXPECT_EQ(t.MaxBrutImage[2], 137);
    EXPECT_EQ(t.PicImage[2], 16);
    EXPECT_EQ(t.HistoImages[2][137], 16);
    EXPECT_EQ(t.PicImage[0], 0);

    EXPECT_FALSE(t.analyse(TeintesImages::TodayPaysage, QImage()));
    EXPECT_EQ(t.TeinteImage[2], 0);
    EXPECT_EQ(t.MaxBrutImage[2], 0);
    EXPECT_EQ(t.PicImage[2], 0);
    EXPECT_EQ(t.HistoImages[2][137], 16);

    EXPECT_FALSE(t.analyse(4, img));
    EXPECT_FALSE(t.analyse(-1, img));
}
