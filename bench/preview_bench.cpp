// Redraw cost of the device-screen preview with a 12-megapixel working
// picture: a colour change (pictures already decoded and scaled) against a
// picture change (decode and scale again).
#include "apercu/apercu_ecran.h"
#include "apercu/vue_apercu_ecran.h"
#include "theme/theme_document.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QImage grandeImage()
{
    QImage img(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        QRgb *l = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            l[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
    }
    return img;
}

struct Banc
{
    QTemporaryDir dossier;
    ThemeDocument document;
    Banc()
    {
        const QImage img = grandeImage();
        img.save(QDir(dossier.path()).filePath(QStringLiteral("tdywater.gif")), "PNG");
        img.save(QDir(dossier.path()).filePath(QStringLiteral("stwater.gif")), "PNG");
    }
};

void BM_RedessinChangementCouleur(benchmark::State &state)
{
    Banc banc;
    VueApercuEcran vue(banc.document, banc.dossier.path());
    vue.basculeZone(3); // Start menu shown too
    int i = 0;
    for (auto _ : state)
        banc.document.setCouleur(3, TColor::fromRgb(i++ & 0xFF, 40, 200));
}
BENCHMARK(BM_RedessinChangementCouleur)->Unit(benchmark::kMillisecond);

void BM_RedessinNouvelleImage(benchmark::State &state)
{
    Banc banc;
    VueApercuEcran vue(banc.document, banc.dossier.path());
    for (auto _ : state)
        vue.imagesChangees();
}
BENCHMARK(BM_RedessinNouvelleImage)->Unit(benchmark::kMillisecond);

void BM_FondTodayDepuisImageDecodee(benchmark::State &state)
{
    const QImage img = grandeImage();
    FormatImages f;
    for (auto _ : state)
        benchmark::DoNotOptimize(FondToday(img, f));
}
BENCHMARK(BM_FondTodayDepuisImageDecodee)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
