// Reading the working colour file at start-up when the theme carries many of
// its own registry values: "[EtatTheme]" holds one key "Cle1", "Cle2"... per
// value. The file is written by the program itself (the close's writer) and
// read back as the start reads it, from disk.
#include "theme/fichier_couleurs.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// A theme with n values of its own, as a package could bring them.
void ecritTheme(const QString &fichier, int n)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Many keys"));
    doc.setNomInterne(QStringLiteral("ManyKeysApp"));
    QStringList cles;
    cles.reserve(n);
    for (int k = 0; k < n; ++k)
        cles << QStringLiteral("Value%1\t%2\t\t65537").arg(k).arg(uint(k), 8, 16, QLatin1Char('0'));
    doc.setClesTheme(cles);
    ParametresWM5 p;
    p.ClesThemeDefinies = p.BaseHueDefini = true;
    p.ValBaseHue = 120;
    doc.setParametres(p);
    if (!SauveThemeTravail(doc, fichier))
        std::abort();
}

void BM_ChargeCouleurs_ClesTheme(benchmark::State &state)
{
    const int n = int(state.range(0));
    QTemporaryDir dossier;
    const QString fichier = dossier.filePath(QStringLiteral("orvandelCoul.inf"));
    ecritTheme(fichier, n);
    for (auto _ : state) {
        ThemeDocument doc;
        const ResultatChargeCouleurs r = ChargeCouleurs(doc, fichier, true);
        if (!r.ok || doc.clesTheme().size() != n) {
            state.SkipWithError("the theme's values did not come back");
            return;
        }
        benchmark::DoNotOptimize(doc.clesTheme().constData());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ChargeCouleurs_ClesTheme)->Arg(100)->Arg(1000)->Arg(8000)->Arg(30000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
