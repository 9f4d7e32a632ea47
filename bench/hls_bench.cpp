// Speed of the hue tools: the hue histogram of a 12-megapixel picture and the
// RGB-to-HLS conversion. For comparison, ImageMagick's HSL histogram of the
// same picture (from its own in-memory format, made once beforehand) runs
// when Debian's convert-im6.q16 is installed.
#include "tools/hls.h"
#include "tools/teinte_dominante.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr int LARGEUR = 4000;
constexpr int HAUTEUR = 3000;

// A photo-like picture: a sky gradient, hills, a few warm objects, sensor
// noise. Deterministic.
QImage photo()
{
    QImage img(LARGEUR, HAUTEUR, QImage::Format_ARGB32);
    std::minstd_rand gen(2024);
    for (int y = 0; y < HAUTEUR; ++y) {
        QRgb *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double fy = double(y) / HAUTEUR;
        for (int x = 0; x < LARGEUR; ++x) {
            const double fx = double(x) / LARGEUR;
            const double colline = 0.45 + 0.08 * std::sin(fx * 9.0) + 0.05 * std::sin(fx * 23.0 + 1.0);
            int r, g, b;
            if (fy < colline) { // sky
                r = int(90 + 100 * fy);
                g = int(140 + 80 * fy);
                b = int(235 - 30 * fy);
            } else { // grass and earth
                r = int(60 + 90 * (fy - colline) + 40 * std::sin(fx * 50.0));
                g = int(130 - 50 * (fy - colline));
                b = int(40 + 20 * fx);
            }
            const double dx = fx - 0.7, dy = fy - 0.7;
            if (dx * dx + dy * dy < 0.01) { // a red roof
                r = 190;
                g = 50 + int(30 * fx);
                b = 40;
            }
            const int bruit = int(gen() % 17) - 8;
            r = std::clamp(r + bruit, 0, 255);
            g = std::clamp(g + int(gen() % 9) - 4, 0, 255);
            b = std::clamp(b - bruit, 0, 255);
            ligne[x] = qRgb(r, g, b);
        }
    }
    return img;
}

QImage aleatoire()
{
    QImage img(LARGEUR, HAUTEUR, QImage::Format_ARGB32);
    std::mt19937 gen(99);
    for (int y = 0; y < HAUTEUR; ++y) {
        QRgb *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < LARGEUR; ++x)
            ligne[x] = gen() | 0xFF000000u;
    }
    return img;
}

const QImage &imagePhoto()
{
    static const QImage img = photo();
    return img;
}

const QImage &imageAleatoire()
{
    static const QImage img = aleatoire();
    return img;
}

void BM_TeinteDominante_Photo(benchmark::State &state)
{
    const QImage &img = imagePhoto();
    for (auto _ : state)
        benchmark::DoNotOptimize(TeinteDominante(img));
    state.SetItemsProcessed(state.iterations() * LARGEUR * HAUTEUR);
}
BENCHMARK(BM_TeinteDominante_Photo)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TeinteDominante_Aleatoire(benchmark::State &state)
{
    const QImage &img = imageAleatoire();
    for (auto _ : state)
        benchmark::DoNotOptimize(TeinteDominante(img));
    state.SetItemsProcessed(state.iterations() * LARGEUR * HAUTEUR);
}
BENCHMARK(BM_TeinteDominante_Aleatoire)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain way, for comparison: the double conversion on every pixel, one thread.
void BM_HistogrammeDouble_UnFil_Photo(benchmark::State &state)
{
    const QImage &img = imagePhoto();
    for (auto _ : state) {
        HistogrammeTeintes bins{};
        for (int y = 0; y < img.height(); ++y) {
            const QRgb *ligne = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const int h = ColorRGBToHLS(TColor::fromQRgb(ligne[x])).teinte;
                if (h != TEINTE_GRIS)
                    ++bins[h == HLSMAX ? 0 : h];
            }
        }
        benchmark::DoNotOptimize(AnalyseHistogramme(bins));
    }
    state.SetItemsProcessed(state.iterations() * LARGEUR * HAUTEUR);
}
BENCHMARK(BM_HistogrammeDouble_UnFil_Photo)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr uint32_t COULEURS = 1u << 20;

uint32_t couleur(uint32_t i)
{
    return (i * 0x9E3779B1u) & 0xFFFFFFu;
}

void BM_ColorRGBToHLS(benchmark::State &state)
{
    for (auto _ : state)
        for (uint32_t i = 0; i < COULEURS; ++i)
            benchmark::DoNotOptimize(ColorRGBToHLS(TColor::fromValue(couleur(i))));
    state.SetItemsProcessed(state.iterations() * COULEURS);
}
BENCHMARK(BM_ColorRGBToHLS)->Unit(benchmark::kMillisecond);

void BM_TeinteRapide(benchmark::State &state)
{
    for (auto _ : state)
        for (uint32_t i = 0; i < COULEURS; ++i) {
            const uint32_t c = couleur(i);
            benchmark::DoNotOptimize(TeinteRapide(int(c & 0xFF), int((c >> 8) & 0xFF), int(c >> 16)));
        }
    state.SetItemsProcessed(state.iterations() * COULEURS);
}
BENCHMARK(BM_TeinteRapide)->Unit(benchmark::kMillisecond);

void BM_ColorHLSToRGB(benchmark::State &state)
{
    for (auto _ : state)
        for (uint32_t i = 0; i < COULEURS; ++i) {
            const uint32_t c = couleur(i);
            benchmark::DoNotOptimize(ColorHLSToRGB(int(c % 241), int((c >> 8) % 241), int((c >> 16) % 241)));
        }
    state.SetItemsProcessed(state.iterations() * COULEURS);
}
BENCHMARK(BM_ColorHLSToRGB)->Unit(benchmark::kMillisecond);

// ImageMagick's HSL histogram of the same photo, read from its own in-memory
// format (.mpc) so that decoding is not counted. Called by its Debian name:
// another "convert" may come first on the path.
void BM_ImageMagick_HistogrammeHSL_Photo(benchmark::State &state)
{
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert-im6.q16"));
    if (convert.isEmpty()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    QTemporaryDir dossier;
    const QString ppm = dossier.filePath(QStringLiteral("in.ppm"));
    const QString mpc = dossier.filePath(QStringLiteral("in.mpc"));
    const QString sortie = dossier.filePath(QStringLiteral("out.png"));
    if (!imagePhoto().convertToFormat(QImage::Format_RGB888).save(ppm, "PPM")
        || QProcess::execute(convert, {ppm, mpc}) != 0) {
        state.SkipWithError("cannot prepare the .mpc picture");
        return;
    }
    const QStringList arguments{mpc, QStringLiteral("-colorspace"), QStringLiteral("HSL"),
                                QStringLiteral("-define"), QStringLiteral("histogram:unique-colors=false"),
                                QStringLiteral("histogram:") + sortie};
    for (auto _ : state) {
        if (QProcess::execute(convert, arguments) != 0) {
            state.SkipWithError("convert-im6.q16 failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * LARGEUR * HAUTEUR);
}
BENCHMARK(BM_ImageMagick_HistogrammeHSL_Photo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
