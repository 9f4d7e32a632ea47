// A hostile metafile through the program's loader: a 24 MB EMF of 1,000,000
// rectangles (under the 32 MB input limit) and a 2.4 MB one of 100,000, each
// loaded at its own size (ChargerBitmap32GDIP, what the working-picture and
// text tools use) and drawn at the chooser's preview size over a colour
// (DessineMetafichier). The converter program does the drawing under its own
// memory cap; what is measured is this process: the time to an answer and
// the rise of its peak resident size ("crete_Mo"), with "dessine" 1 when a
// picture came back and 0 when the converter refused the file.
#include "memoire_crete.h"
#include "tests/support/metafichiers_test.h"
#include "tools/charger_bitmap.h"
#include "tools/charger_bitmap_metafichier.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

QString fichierEmf(int rectangles)
{
    static QTemporaryDir dossier;
    const QString chemin = dossier.path() + QStringLiteral("/rectangles_%1.emf").arg(rectangles);
    if (!QFile::exists(chemin)) {
        QFile f(chemin);
        if (f.open(QIODevice::WriteOnly))
            f.write(metafichiers::emfRectangles(1000, 1000, rectangles, 0x00C08040));
    }
    return chemin;
}

void mesure(benchmark::State &state, const std::function<bool(const QString &)> &charge)
{
    const QString chemin = fichierEmf(int(state.range(0)));
    bool dessine = false;
    for (auto _ : state)
        dessine = charge(chemin);
    const auto hausse = memoire::hausseCrete([&] { charge(chemin); });
    state.counters["crete_Mo"] = hausse ? double(*hausse) / (1024.0 * 1024.0) : -1.0;
    state.counters["dessine"] = dessine ? 1 : 0;
    state.counters["fichier_Mo"] = double(QFile(chemin).size()) / (1024.0 * 1024.0);
}

void BM_EmfTaillePropre(benchmark::State &state)
{
    mesure(state, [](const QString &c) { return ChargerBitmap32GDIP(c).has_value(); });
}
BENCHMARK(BM_EmfTaillePropre)->Arg(1000000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_EmfApercuChoix(benchmark::State &state)
{
    mesure(state, [](const QString &c) {
        return DessineMetafichier(c, QSize(306, 306), qRgb(230, 200, 40)).has_value();
    });
}
BENCHMARK(BM_EmfApercuChoix)->Arg(1000000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

BENCHMARK_MAIN();
