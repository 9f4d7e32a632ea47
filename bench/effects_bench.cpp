// Speed of the picture filters and of the image chooser's effect chain on a
// 12-megapixel photo (4000 x 3000), plus the chain on the chooser's preview
// and final sizes. Arguments: 0 = threads chosen by the filter, 1 = one
// thread. For comparison, ImageMagick's equivalent operations on the same
// picture (read from its in-memory format, written nowhere) run when
// Debian's convert-im6.q16 is installed; their figures include starting the
// program and mapping the picture. The one-pass chain is measured beside a
// plain memcpy of the same bytes (and a copy into a new picture, whose fresh
// pages cost their first touch), with its peak memory as a multiple of the
// picture ("crete_images").
#include "memoire_crete.h"
#include "tools/chaine_effets.h"
#include "tools/matrice_filtre.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr int LARGEUR = 4000;
constexpr int HAUTEUR = 3000;

QImage photo(int largeur, int hauteur)
{
    QImage img(largeur, hauteur, QImage::Format_ARGB32);
    std::minstd_rand gen(2024);
    for (int y = 0; y < hauteur; ++y) {
        QRgb *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        const double fy = double(y) / hauteur;
        for (int x = 0; x < largeur; ++x) {
            const double fx = double(x) / largeur;
            const double colline = 0.45 + 0.08 * std::sin(fx * 9.0);
            int r, g, b;
            if (fy < colline) {
                r = int(90 + 100 * fy);
                g = int(140 + 80 * fy);
                b = int(235 - 30 * fy);
            } else {
                r = int(60 + 90 * (fy - colline) + 40 * std::sin(fx * 50.0));
                g = int(130 - 50 * (fy - colline));
                b = int(40 + 20 * fx);
            }
            const int bruit = int(gen() % 17) - 8;
            ligne[x] = qRgb(std::clamp(r + bruit, 0, 255), std::clamp(g + int(gen() % 9) - 4, 0, 255),
                            std::clamp(b - bruit, 0, 255));
        }
    }
    return img;
}

const QImage &grande()
{
    static const QImage img = photo(LARGEUR, HAUTEUR);
    return img;
}

// Runs a filter on a fresh copy of the photo each time; the copy is not timed.
void mesure(benchmark::State &state, const std::function<void(QImage &, int)> &filtre,
            const QImage &source = grande())
{
    const int fils = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QImage img = source.copy();
        state.ResumeTiming();
        filtre(img, fils);
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetItemsProcessed(state.iterations() * source.width() * source.height());
}

#define FILTRE(nom, corps)                                                                    \
    void BM_##nom(benchmark::State &state) { mesure(state, [](QImage &i, int f) { corps; }); } \
    BENCHMARK(BM_##nom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()

ConvMatrix nettete()
{
    ConvMatrix m;
    m.coefficients = {0, -1, 0, -1, 5, -1, 0, -1, 0};
    return m;
}

FILTRE(FiltreConvolution, FiltreConvolution(i, nettete(), f));
FILTRE(NiveauxDeGris, NiveauxDeGris(i, f));
FILTRE(Accentuation, Accentuation(i, 3, 2, f));
FILTRE(DetectionContours_Median, DetectionContours(i, 15, TColor::fromRgb(0, 0, 0), true, f));
FILTRE(Sepia, Sepia(i, 40, f));
FILTRE(AjusteTSV, AjusteTSV(i, 40, 20, -10, f));
FILTRE(AjusteCanaux, AjusteCanaux(i, 80, 60, 40, f));
FILTRE(Motif_Cercle9, Motif(i, 9, 0xFFFFFFFFu, MotifCercle, f));
FILTRE(FiltreMedian3, FiltreMedian(i, 3, f));
FILTRE(FiltreMedian5, FiltreMedian(i, 5, f));
FILTRE(TramageFloydSteinberg, (void)f; TramageFloydSteinberg(i, true));
FILTRE(TramageOrdonne2x2, TramageOrdonne2x2(i, true, f));
FILTRE(TramageOrdonne3x3, TramageOrdonne3x3(i, true, f));
FILTRE(FiltreKuwahara7, FiltreKuwahara(i, 7, f));
FILTRE(FiltreKuwahara19, FiltreKuwahara(i, 19, f));
FILTRE(ContoursCouleur, ContoursCouleur(i, 15, TColor::fromRgb(0, 0, 0), true, f));
FILTRE(Explosion3, Explosion(i, 3, 1, f));
FILTRE(Bicolore, Bicolore(i, TColor::fromRgb(0, 0, 0), TColor::fromRgb(255, 255, 255), f));
FILTRE(AlphaDepuisLuminance, AlphaDepuisLuminance(i, grande(), f));
FILTRE(Contraste, Contraste(i, 40, f));
// The chooser's default strength, centre in the middle: radii up to 8.
FILTRE(FlouRadial30_Centre, FlouRadial(i, 30, LARGEUR / 2, HAUTEUR / 2, f));
// The worst case: strength 100 from a corner, radii up to 100.
FILTRE(FlouRadial100_Coin, FlouRadial(i, 100, 0, 0, f));
// The chooser's defaults scaled to this width as the preview would (s = 1):
// sharp radius 15 %, streaks 6 and 30, transition 3.
FILTRE(FlouZoom_Defaut, FlouZoom(i, LARGEUR / 2, HAUTEUR / 2, 15, 6, 30, 3.0f, f));

// The heavier filters on the chooser's preview (408 x 306), as its chain
// runs them with every page active.
const QImage &apercu()
{
    static const QImage img = photo(408, 306);
    return img;
}

#define FILTRE_APERCU(nom, corps)                                                                         \
    void BM_Apercu_##nom(benchmark::State &state) { mesure(state, [](QImage &i, int f) { corps; }, apercu()); } \
    BENCHMARK(BM_Apercu_##nom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()

FILTRE_APERCU(FlouZoom, FlouZoom(i, 204, 153, 15, 6, 30, 3.0f, f));
FILTRE_APERCU(FlouRadial, FlouRadial(i, 30, 204, 153, f));
FILTRE_APERCU(Kuwahara7, FiltreKuwahara(i, 7, f));
FILTRE_APERCU(Explosion3, Explosion(i, 3, 1, f));
FILTRE_APERCU(ContoursCouleur, ContoursCouleur(i, 15, TColor::fromRgb(0, 0, 0), true, f));
FILTRE_APERCU(Accentuation, Accentuation(i, 3, 2, f));
FILTRE_APERCU(Motif, Motif(i, 9, 0xFFFFFFFFu, MotifCercle, f));
FILTRE_APERCU(FloydSteinberg, (void)f; TramageFloydSteinberg(i, true));
FILTRE_APERCU(AjusteTSV, AjusteTSV(i, 40, 20, -10, f));

OptionsEffets toutSaufFlous()
{
    OptionsEffets o;
    o.ExploseCB = true;
    o.KuwaharaCB = true;
    o.ClairTB = 7;
    o.NegCB = true;
    o.GammaTB = 14;
    o.MasqueFlouCB = true;
    o.TraitsCB = true;
    o.ImgPlusCB = true;
    o.SepiaCB = true;
    o.TeinteTb = 30;
    o.SaturationTb = 20;
    o.RTB = 90;
    o.ContrasteTB = 20;
    o.TramageCB = true;
    o.OptComp = 1;
    o.AppliquerCB = true;
    o.TranspCB = true;
    o.TranspTB = 50;
    o.TypeGradient = 4;
    o.CenterImg = QPoint(30, 20);
    return o;
}

OptionsEffets tout()
{
    OptionsEffets o = toutSaufFlous();
    o.FRCB = true;
    o.ZoomCB = true;
    o.CenterFlouRImg = QPoint(30, 23);
    o.CenterZoomImg = QPoint(30, 23);
    return o;
}

void chaine(benchmark::State &state, const OptionsEffets &o, const QImage &source)
{
    ContexteChaine ctx;
    // As in the chooser: a 61-pixel picker over the fitted picture.
    ctx.imageDansVue = QRect(0, 0, source.width(), source.height());
    ctx.facteurPicker = FacteurPicker(source.width(), 61);
    ctx.graineExplosion = 5;
    ctx.fils = int(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(AppliqueChaine(source, o, ctx));
    state.SetItemsProcessed(state.iterations() * source.width() * source.height());
}

// The one-pixel steps the chooser's sliders run most: lighten, gamma,
// sepia, channels and contrast.
OptionsEffets commune()
{
    OptionsEffets o;
    o.ClairTB = 7;
    o.GammaTB = 13;
    o.SepiaCB = true;
    o.RTB = 90;
    o.GTB = 95;
    o.ContrasteTB = 30;
    return o;
}

// Peak memory of one chain run as a multiple of the picture, the source
// counted: 2 means the source and the result and nothing else.
double creteEnImages(const OptionsEffets &o, const QImage &source, int fils)
{
    ContexteChaine ctx;
    ctx.imageDansVue = QRect(0, 0, source.width(), source.height());
    ctx.facteurPicker = FacteurPicker(source.width(), 61);
    ctx.graineExplosion = 5;
    ctx.fils = fils;
    (void)AppliqueChaine(source, o, ctx); // code and tables resident before the child starts
    const double taille = double(source.sizeInBytes());
    const auto hausse = memoire::hausseCrete([&] { benchmark::DoNotOptimize(AppliqueChaine(source, o, ctx)); });
    return hausse ? (double(*hausse) + taille) / taille : -1.0;
}

// The yardstick of the one-pass chain: copying the picture's bytes once.
void BM_Memcpy_12MP(benchmark::State &state)
{
    const QImage &source = grande();
    std::vector<uchar> cible(size_t(source.sizeInBytes()));
    std::memset(cible.data(), 1, cible.size());
    for (auto _ : state) {
        std::memcpy(cible.data(), source.constBits(), cible.size());
        benchmark::DoNotOptimize(cible.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * source.sizeInBytes());
}
BENCHMARK(BM_Memcpy_12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same copy into a new picture, as the chain makes one: the fresh
// pages' first touch is paid too.
void BM_CopieNeuve_12MP(benchmark::State &state)
{
    const QImage &source = grande();
    for (auto _ : state) {
        QImage copie = source.copy();
        benchmark::DoNotOptimize(copie.constBits());
    }
    state.SetBytesProcessed(state.iterations() * source.sizeInBytes());
}
BENCHMARK(BM_CopieNeuve_12MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Chaine_Commune_12MP(benchmark::State &state)
{
    chaine(state, commune(), grande());
    state.counters["crete_images"] = creteEnImages(commune(), grande(), int(state.range(0)));
}
BENCHMARK(BM_Chaine_Commune_12MP)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Chaine_Commune_TSV_12MP(benchmark::State &state)
{
    OptionsEffets o = commune();
    o.TeinteTb = 30;
    o.SaturationTb = 20;
    chaine(state, o, grande());
    state.counters["crete_images"] = creteEnImages(o, grande(), int(state.range(0)));
}
BENCHMARK(BM_Chaine_Commune_TSV_12MP)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Chaine_ToutSaufFlous_12MP(benchmark::State &state)
{
    chaine(state, toutSaufFlous(), grande());
    state.counters["crete_images"] = creteEnImages(toutSaufFlous(), grande(), int(state.range(0)));
}
BENCHMARK(BM_Chaine_ToutSaufFlous_12MP)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Chaine_Tout_12MP(benchmark::State &state)
{
    chaine(state, tout(), grande());
    state.counters["crete_images"] = creteEnImages(tout(), grande(), int(state.range(0)));
}
BENCHMARK(BM_Chaine_Tout_12MP)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every step, the transparency over a one-colour background: the centred
// gradient of tout() is a whole picture drawn by the platform's painter.
void BM_Chaine_Tout_FondUni_12MP(benchmark::State &state)
{
    OptionsEffets o = tout();
    o.TypeGradient = 0;
    chaine(state, o, grande());
    state.counters["crete_images"] = creteEnImages(o, grande(), int(state.range(0)));
}
BENCHMARK(BM_Chaine_Tout_FondUni_12MP)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Chaine_Tout_Apercu408x306(benchmark::State &state)
{
    static const QImage apercu = photo(408, 306);
    chaine(state, tout(), apercu);
}
BENCHMARK(BM_Chaine_Tout_Apercu408x306)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Chaine_Tout_Final640x588(benchmark::State &state)
{
    static const QImage finale = photo(640, 588);
    chaine(state, tout(), finale);
}
BENCHMARK(BM_Chaine_Tout_Final640x588)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- ImageMagick on the same photo ---------------------------------------------

struct ImageMagick
{
    QString convert;
    QString mpc;
    QTemporaryDir dossier;
};

ImageMagick *imageMagick()
{
    static ImageMagick *im = [] {
        auto *i = new ImageMagick;
        i->convert = QStandardPaths::findExecutable(QStringLiteral("convert-im6.q16"));
        if (i->convert.isEmpty())
            return i;
        const QString ppm = i->dossier.filePath(QStringLiteral("in.ppm"));
        i->mpc = i->dossier.filePath(QStringLiteral("in.mpc"));
        if (!grande().convertToFormat(QImage::Format_RGB888).save(ppm, "PPM")
            || QProcess::execute(i->convert, {ppm, i->mpc}) != 0)
            i->convert.clear();
        return i;
    }();
    return im;
}

void magick(benchmark::State &state, const QStringList &operation)
{
    ImageMagick *im = imageMagick();
    if (im->convert.isEmpty()) {
        state.SkipWithError("convert-im6.q16 is not installed");
        return;
    }
    const QStringList arguments = QStringList{im->mpc} + operation + QStringList{QStringLiteral("null:")};
    for (auto _ : state) {
        if (QProcess::execute(im->convert, arguments) != 0) {
            state.SkipWithError("convert-im6.q16 failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * LARGEUR * HAUTEUR);
}

void BM_ImageMagick_Rien(benchmark::State &state) { magick(state, {}); }
BENCHMARK(BM_ImageMagick_Rien)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
void BM_ImageMagick_Convolution3x3(benchmark::State &state)
{
    magick(state, {QStringLiteral("-convolve"), QStringLiteral("0,-1,0,-1,5,-1,0,-1,0")});
}
BENCHMARK(BM_ImageMagick_Convolution3x3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
void BM_ImageMagick_Median3x3(benchmark::State &state)
{
    magick(state, {QStringLiteral("-statistic"), QStringLiteral("Median"), QStringLiteral("3x3")});
}
BENCHMARK(BM_ImageMagick_Median3x3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
void BM_ImageMagick_Kuwahara7(benchmark::State &state)
{
    magick(state, {QStringLiteral("-kuwahara"), QStringLiteral("3")});
}
BENCHMARK(BM_ImageMagick_Kuwahara7)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
void BM_ImageMagick_Gris(benchmark::State &state)
{
    magick(state, {QStringLiteral("-colorspace"), QStringLiteral("Gray")});
}
BENCHMARK(BM_ImageMagick_Gris)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
void BM_ImageMagick_FloydSteinberg(benchmark::State &state)
{
    magick(state, {QStringLiteral("-colorspace"), QStringLiteral("Gray"), QStringLiteral("-dither"),
                   QStringLiteral("FloydSteinberg"), QStringLiteral("-monochrome")});
}
BENCHMARK(BM_ImageMagick_FloydSteinberg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
