// Speed of the cabinet component on a typical package: ten pictures of about
// 200 KB, stored uncompressed (as packages are) and with MSZIP. For comparison,
// cabextract extracts the same cabinet when it is installed.
#include "theme/cab_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kNbImages = 10;
constexpr int kTailleImage = 200 * 1024;

// Picture-like bytes: runs and gradients with some noise, so MSZIP has work to do.
QByteArray image(int graine)
{
    std::minstd_rand gen(graine);
    QByteArray b(kTailleImage, Qt::Uninitialized);
    for (int i = 0; i < kTailleImage; ++i)
        b[i] = char(((i / 7) % 97) + int(gen() % 5));
    return b;
}

struct Jeu
{
    QTemporaryDir dir;
    QStringList sources;

    Jeu()
    {
        for (int i = 0; i < kNbImages; ++i) {
            const QString chemin = dir.path() + QStringLiteral("/image%1.gif").arg(i);
            QFile f(chemin);
            f.open(QIODevice::WriteOnly);
            f.write(image(i));
            sources << chemin;
        }
    }

    QString construit(TCompressionType type, const QString &nom)
    {
        TCABFile cab;
        cab.CompressionType = type;
        cab.CABFile = dir.path() + "/" + nom;
        for (const QString &s : sources)
            cab.CABFileContents().Add()->Name = s;
        cab.CreateCAB();
        return cab.CABFile;
    }
};

Jeu &jeu()
{
    static Jeu j;
    return j;
}

void BM_Construit(benchmark::State &state)
{
    const auto type = TCompressionType(state.range(0));
    for (auto _ : state)
        jeu().construit(type, "bench.tsk");
    state.SetBytesProcessed(state.iterations() * qint64(kNbImages) * kTailleImage);
}

void BM_ExtraitTout(benchmark::State &state)
{
    const auto type = TCompressionType(state.range(0));
    const QString cabinet = jeu().construit(type, QStringLiteral("lu%1.tsk").arg(int(type)));
    TCABFile cab;
    cab.CABFile = cabinet;
    cab.ReadContents();
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;
    cab.TargetPath = jeu().dir.path() + "/nous";
    for (auto _ : state) {
        QDir(cab.TargetPath).removeRecursively();
        cab.ExtractSelected();
    }
    state.SetBytesProcessed(state.iterations() * qint64(kNbImages) * kTailleImage);
}

void BM_Cabextract(benchmark::State &state)
{
    if (QStandardPaths::findExecutable("cabextract").isEmpty()) {
        state.SkipWithError("cabextract not installed");
        return;
    }
    const auto type = TCompressionType(state.range(0));
    const QString cabinet = jeu().construit(type, QStringLiteral("lu%1.tsk").arg(int(type)));
    const QString cible = jeu().dir.path() + "/eux";
    for (auto _ : state) {
        QDir(cible).removeRecursively();
        QProcess p;
        p.start("cabextract", {"-q", "-d", cible, cabinet});
        p.waitForFinished();
    }
    state.SetBytesProcessed(state.iterations() * qint64(kNbImages) * kTailleImage);
}

} // namespace

BENCHMARK(BM_Construit)->Arg(typNone)->Arg(typMSZIP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtraitTout)->Arg(typNone)->Arg(typMSZIP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cabextract)->Arg(typNone)->Arg(typMSZIP)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
