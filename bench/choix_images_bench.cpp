// Speed of the image chooser on a 12-megapixel photo (4000 x 3000): the live
// preview's recompute (the effect chain on the fitted 408 x 306 copy), the
// same chain on the full photo for comparison, fitting the photo into the
// view with each family of interpolation modes, a quarter turn, and the
// final picture (crop, resample to 640 x 588, chain). The preview's recompute
// with every page active is shown beside the one with nothing active. Opening
// a 12-megapixel JPEG up to its first preview is measured beside djpeg
// decoding the same file, and the whole opening with its peak memory as a
// multiple of the decoded picture ("crete_images").
#include "memoire_crete.h"
#include "tools/chaine_effets.h"
#include "tools/charger_bitmap.h"
#include "tools/decodage_jpeg.h"
#include "tools/geometrie_choix_images.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

QImage photo12mp()
{
    static const QImage img = [] {
        QImage i(4000, 3000, QImage::Format_ARGB32);
        std::minstd_rand gen(2024);
        for (int y = 0; y < i.height(); ++y) {
            auto *l = reinterpret_cast<QRgb *>(i.scanLine(y));
            for (int x = 0; x < i.width(); ++x)
                l[x] = qRgb((x / 16 + int(gen() % 16)) % 256, (y / 12) % 256, (100 + int(gen() % 50)) % 256);
        }
        return i;
    }();
    return img;
}

// Sepia, contrast and gamma: a typical set of settings while trying looks.
OptionsEffets reglages()
{
    OptionsEffets o;
    o.SepiaCB = true;
    o.ContrasteTB = 30;
    o.GammaTB = 13;
    o.ClairTB = 7;
    return o;
}

void BM_ApercuRecalcul(benchmark::State &state)
{
    const QRect vue = AjusteDansVue(4000, 3000);
    const QImage apercu = ConstruitApercu(photo12mp(), vue.size(), ModeInterpolation::HauteQualite, TColor());
    ContexteChaine ctx;
    ctx.imageDansVue = vue;
    ctx.graineExplosion = 1;
    const OptionsEffets o = reglages();
    for (auto _ : state)
        benchmark::DoNotOptimize(AppliqueChaine(apercu, o, ctx));
}
BENCHMARK(BM_ApercuRecalcul)->Unit(benchmark::kMillisecond);

// Every page active: all of page 1, the centred gradient of page 2, the
// pattern, the Floyd-Steinberg dither, the radial blur and the zoom blur at
// their default strengths, centres in the middle of the pickers.
OptionsEffets toutesLesPages()
{
    OptionsEffets o;
    o.ExploseCB = true;
    o.KuwaharaCB = true;
    o.ClairTB = 7;
    o.NegCB = true;
    o.GrisCB = true;
    o.GammaTB = 14;
    o.MasqueFlouCB = true;
    o.TraitsCB = true;
    o.ImgPlusCB = true;
    o.SepiaCB = true;
    o.FRCB = true;
    o.ZoomCB = true;
    o.TeinteTb = 30;
    o.SaturationTb = 20;
    o.LuminanceTb = -10;
    o.RTB = 90;
    o.ContrasteTB = 20;
    o.TramageCB = true;
    o.AppliquerCB = true;
    o.TranspCB = true;
    o.TranspTB = 50;
    o.TypeGradient = 4;
    o.CenterImg = o.CenterFlouRImg = o.CenterZoomImg = QPoint(30, 22);
    return o;
}

// The preview's recompute, argument 0 with nothing active, 1 with every page
// active; the second argument is the thread count (0: as the chooser runs it).
void BM_ApercuRecalcul_Pages(benchmark::State &state)
{
    const QRect vue = AjusteDansVue(4000, 3000);
    const QImage apercu = ConstruitApercu(photo12mp(), vue.size(), ModeInterpolation::HauteQualite, TColor());
    ContexteChaine ctx;
    ctx.imageDansVue = vue;
    ctx.facteurPicker = FacteurPicker(LargeurVueChoix, 61);
    ctx.graineExplosion = 1;
    ctx.fils = int(state.range(1));
    const OptionsEffets o = state.range(0) ? toutesLesPages() : OptionsEffets{};
    for (auto _ : state)
        benchmark::DoNotOptimize(AppliqueChaine(apercu, o, ctx));
}
BENCHMARK(BM_ApercuRecalcul_Pages)->Args({0, 0})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChaineSurLaPhotoEntiere(benchmark::State &state)
{
    ContexteChaine ctx;
    ctx.imageDansVue = AjusteDansVue(4000, 3000);
    ctx.graineExplosion = 1;
    const OptionsEffets o = reglages();
    for (auto _ : state)
        benchmark::DoNotOptimize(AppliqueChaine(photo12mp(), o, ctx));
}
BENCHMARK(BM_ChaineSurLaPhotoEntiere)->Unit(benchmark::kMillisecond);

// Argument: the interpolation mode (5 nearest, 3 bilinear, 2 prefiltered
// bilinear, 4 bicubic, 7 prefiltered bicubic).
void BM_AjusteDansLaVue(benchmark::State &state)
{
    const QSize taille = AjusteDansVue(4000, 3000).size();
    const auto mode = ModeInterpolation(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ConstruitApercu(photo12mp(), taille, mode, TColor()));
}
BENCHMARK(BM_AjusteDansLaVue)->Arg(5)->Arg(3)->Arg(2)->Arg(4)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_QuartDeTour(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TourneImage(photo12mp(), 1));
}
BENCHMARK(BM_QuartDeTour)->Unit(benchmark::kMillisecond);

void BM_ImageFinale(benchmark::State &state)
{
    ParametresFinale p;
    p.cible = QSize(640, 588);
    p.rectImage = AjusteDansVue(4000, 3000);
    const CadreRecadrage c = CalculeCadre(p.cible, p.rectImage.size());
    p.s = c.s;
    p.coinCadre = p.rectImage.topLeft() + QPoint(40, 0);
    p.interpolation = ModeInterpolation(state.range(0));
    p.effets = reglages();
    p.graineExplosion = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(ConstruitImageFinale(photo12mp(), p));
}
BENCHMARK(BM_ImageFinale)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);

// --- The first picture: opening a 12-megapixel JPEG and showing its preview --

struct FichierJpeg
{
    QTemporaryDir dossier;
    QString chemin;
    QString djpeg;
};

// The 12-megapixel photo as a baseline JPEG of quality 90, as cameras write.
const FichierJpeg &jpeg12mp()
{
    static const FichierJpeg *f = [] {
        auto *j = new FichierJpeg;
        j->chemin = j->dossier.filePath(QStringLiteral("photo.jpg"));
        photo12mp().convertToFormat(QImage::Format_RGB888).save(j->chemin, "JPEG", 90);
        j->djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
        return j;
    }();
    return *f;
}

// What the chooser does when a picture is opened, up to its first preview:
// a JPEG at least twice the preview's size is decoded reduced by libjpeg,
// fitted into the view with the default interpolation, and the chain runs
// with every effect at rest.
QImage apercuDepuis(const QImage &source, QSize taille)
{
    const QRect vue = AjusteDansVue(taille.width(), taille.height());
    const QImage apercu = ConstruitApercu(source, vue.size(), ModeInterpolation::HauteQualite, TColor());
    ContexteChaine ctx;
    ctx.imageDansVue = vue;
    return AppliqueChaine(apercu, OptionsEffets{}, ctx);
}

QImage premiereImage(const QString &chemin)
{
    if (const auto taille = TailleJpeg(chemin)) {
        const QSize apercu = AjusteDansVue(taille->width(), taille->height()).size();
        const int reduction = ReductionPour(*taille, 2 * apercu);
        if (reduction > 1) {
            if (const auto reduite = DecodeJpeg32(chemin, nullptr, reduction))
                return apercuDepuis(TourneImage(*reduite, 0), *taille);
        }
    }
    const auto source = ChargerBitmap32GDIP(chemin);
    return source ? apercuDepuis(TourneImage(*source, 0), source->size()) : QImage();
}

// Then, right after, the full picture for the saved crop and the preview
// made again from it: the whole of opening a picture.
QImage imageComplete(const QString &chemin)
{
    const QImage premiere = premiereImage(chemin);
    const auto source = ChargerBitmap32GDIP(chemin);
    if (premiere.isNull() || !source)
        return {};
    return apercuDepuis(TourneImage(*source, 0), source->size());
}

void BM_PremiereImage_Jpeg12MP(benchmark::State &state)
{
    const QString chemin = jpeg12mp().chemin;
    if (premiereImage(chemin).isNull()) {
        state.SkipWithError("the JPEG could not be read");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(premiereImage(chemin));
}
BENCHMARK(BM_PremiereImage_Jpeg12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first preview, the full picture and the exact preview; peak memory
// as a multiple of the decoded picture (4000 x 3000 x 4 bytes).
void BM_ImageComplete_Jpeg12MP(benchmark::State &state)
{
    const QString chemin = jpeg12mp().chemin;
    for (auto _ : state)
        benchmark::DoNotOptimize(imageComplete(chemin));
    const double decodee = 4000.0 * 3000.0 * 4.0;
    const auto hausse = memoire::hausseCrete([&] { benchmark::DoNotOptimize(imageComplete(chemin)); });
    state.counters["crete_images"] = hausse ? double(*hausse) / decodee : -1.0;
}
BENCHMARK(BM_ImageComplete_Jpeg12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file decoded by libjpeg-turbo's own command-line decoder into a
// PPM thrown away; the figure includes starting the program.
void BM_Djpeg_Jpeg12MP(benchmark::State &state)
{
    const FichierJpeg &f = jpeg12mp();
    if (f.djpeg.isEmpty()) {
        state.SkipWithError("djpeg is not installed (libjpeg-turbo-progs)");
        return;
    }
    const QStringList arguments{QStringLiteral("-outfile"), QStringLiteral("/dev/null"), f.chemin};
    for (auto _ : state) {
        if (QProcess::execute(f.djpeg, arguments) != 0) {
            state.SkipWithError("djpeg failed");
            return;
        }
    }
}
BENCHMARK(BM_Djpeg_Jpeg12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
