// Speed of the cabinet component against the usual tools, on the same files in
// the same run: a typical VGA theme (four pictures, about 1 MB) and a 100 MB
// set, stored uncompressed (as packages are) and with MSZIP. Building is
// compared with `gcab -c`, extraction with `cabextract`, both on the cabinet
// we build. Wall-clock time throughout (the tools run in their own process);
// at the end a table gives our time over theirs (<= 1.0: we are no slower).
#include "theme/cab_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

enum JeuId { kTheme = 0, kCentMo = 1 };

struct Jeu
{
    QTemporaryDir dir;
    QStringList noms; // relative to dir
    qint64 octets = 0;
    std::map<int, QString> cabinets; // by compression, built once for the extraction runs

    QString chemin(const QString &nom) const { return dir.path() + QLatin1Char('/') + nom; }
};

// Picture-like bytes: runs and gradients with some noise, so MSZIP has work to do.
QByteArray image(qint64 taille, int graine)
{
    std::minstd_rand gen(graine);
    QByteArray b(taille, Qt::Uninitialized);
    char *p = b.data();
    for (qint64 i = 0; i < taille; ++i)
        p[i] = char(((i / 7) % 97) + int(gen() % 5));
    return b;
}

std::unique_ptr<Jeu> creeJeu(JeuId id)
{
    auto jeu = std::make_unique<Jeu>();
    QDir(jeu->dir.path()).mkpath("src");
    std::vector<std::pair<QString, qint64>> fichiers;
    if (id == kTheme) {
        // The four pictures of a VGA theme: today, the start screen and its two
        // variants (1 MiB in all).
        fichiers = {{"tdywater.001", 320 * 1024}, {"0stwater.002", 320 * 1024},
                    {"stwate~1.003", 200 * 1024}, {"stwate~2.004", 184 * 1024}};
    } else {
        for (int i = 0; i < 50; ++i)
            fichiers.emplace_back(QStringLiteral("image%1.bmp").arg(i, 2, 10, QLatin1Char('0')), 2 * 1024 * 1024);
    }
    int graine = 1;
    for (const auto &[nom, taille] : fichiers) {
        QFile f(jeu->chemin("src/" + nom));
        if (!f.open(QIODevice::WriteOnly) || f.write(image(taille, graine++)) != taille)
            return nullptr;
        jeu->noms << "src/" + nom;
        jeu->octets += taille;
    }
    return jeu;
}

Jeu *jeu(int id)
{
    static std::unique_ptr<Jeu> jeux[2] = {creeJeu(kTheme), creeJeu(kCentMo)};
    return jeux[id].get();
}

bool construitNous(Jeu &j, TCompressionType type, const QString &cabinet)
{
    TCABFile cab;
    cab.CompressionType = type;
    cab.CABFile = cabinet;
    for (const QString &n : j.noms)
        cab.CABFileContents().Add()->Name = j.chemin(n);
    try {
        return cab.CreateCAB();
    } catch (const ECABFileError &) {
        return false;
    }
}

QString cabinetDe(Jeu &j, TCompressionType type)
{
    auto it = j.cabinets.find(int(type));
    if (it != j.cabinets.end())
        return it->second;
    const QString cabinet = j.chemin(QStringLiteral("lu%1.cab").arg(int(type)));
    if (!construitNous(j, type, cabinet))
        return {};
    return j.cabinets[int(type)] = cabinet;
}

bool lance(const QString &programme, const QStringList &arguments, const QString &dossier = {})
{
    QProcess p;
    if (!dossier.isEmpty())
        p.setWorkingDirectory(dossier);
    p.start(programme, arguments);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool prepare(benchmark::State &state, Jeu *&j, const char *outil = nullptr)
{
    j = jeu(int(state.range(0)));
    if (!j) {
        state.SkipWithError("could not write the files");
        return false;
    }
    if (outil && QStandardPaths::findExecutable(outil).isEmpty()) {
        state.SkipWithError((std::string(outil) + " not installed").c_str());
        return false;
    }
    return true;
}

void fin(benchmark::State &state, const Jeu &j)
{
    state.SetBytesProcessed(state.iterations() * j.octets);
}

void BM_Construit(benchmark::State &state)
{
    Jeu *j;
    if (!prepare(state, j))
        return;
    const auto type = TCompressionType(state.range(1));
    const QString cabinet = j->chemin("nous.cab");
    for (auto _ : state) {
        QFile::remove(cabinet);
        if (!construitNous(*j, type, cabinet)) {
            state.SkipWithError("CreateCAB failed");
            return;
        }
    }
    fin(state, *j);
}

void BM_GcabCree(benchmark::State &state)
{
    Jeu *j;
    if (!prepare(state, j, "gcab"))
        return;
    QStringList arguments{"-c", "-n"};
    if (TCompressionType(state.range(1)) == typMSZIP)
        arguments << "-z";
    arguments << "eux.cab" << j->noms;
    for (auto _ : state) {
        QFile::remove(j->chemin("eux.cab"));
        if (!lance("gcab", arguments, j->dir.path())) {
            state.SkipWithError("gcab -c failed");
            return;
        }
    }
    fin(state, *j);
}

void BM_ExtraitTout(benchmark::State &state)
{
    Jeu *j;
    if (!prepare(state, j))
        return;
    TCABFile cab;
    cab.CABFile = cabinetDe(*j, TCompressionType(state.range(1)));
    if (!cab.ReadContents()) {
        state.SkipWithError("ReadContents failed");
        return;
    }
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;
    cab.TargetPath = j->chemin("nous");
    for (auto _ : state) {
        QDir(cab.TargetPath).removeRecursively();
        if (!cab.ExtractSelected()) {
            state.SkipWithError("ExtractSelected failed");
            return;
        }
    }
    fin(state, *j);
}

void BM_Cabextract(benchmark::State &state)
{
    Jeu *j;
    if (!prepare(state, j, "cabextract"))
        return;
    const QString cabinet = cabinetDe(*j, TCompressionType(state.range(1)));
    const QString cible = j->chemin("eux");
    for (auto _ : state) {
        QDir(cible).removeRecursively();
        if (!lance("cabextract", {"-q", "-d", cible, cabinet})) {
            state.SkipWithError("cabextract failed");
            return;
        }
    }
    fin(state, *j);
}

void arguments(benchmark::internal::Benchmark *b)
{
    for (int jeu : {kTheme, kCentMo})
        for (int type : {typNone, typMSZIP})
            b->Args({jeu, type});
    b->ArgNames({"set", "mszip"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

// The console report, plus each run's wall time per iteration kept for the ratios.
class Rapport : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> temps;
    std::set<std::string> moyennes;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the mean of them stands for the benchmark.
        for (const Run &r : runs) {
            if (r.error_occurred)
                continue;
            if (r.run_type == Run::RT_Iteration && !moyennes.count(r.run_name.str()))
                temps[r.run_name.str()] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "mean") {
                temps[r.run_name.str()] = r.GetAdjustedRealTime();
                moyennes.insert(r.run_name.str());
            }
        }
    }
};

void afficheRapports(const Rapport &rapport)
{
    const char *ensembles[] = {"VGA theme, 1 MiB", "100 MiB set"};
    const char *compressions[] = {"stored", "MSZIP"};
    std::printf("\nRatios (our time / tool's time; <= 1.0 means no slower):\n");
    for (int e : {kTheme, kCentMo}) {
        for (int c : {typNone, typMSZIP}) {
            const std::string suffixe = "/set:" + std::to_string(e) + "/mszip:" + std::to_string(c) + "/real_time";
            auto ratio = [&](const char *nous, const char *eux) {
                const auto a = rapport.temps.find(std::string(nous) + suffixe);
                const auto b = rapport.temps.find(std::string(eux) + suffixe);
                if (a == rapport.temps.end() || b == rapport.temps.end() || b->second <= 0)
                    return std::string("n/a");
                char texte[32];
                std::snprintf(texte, sizeof texte, "%.2f", a->second / b->second);
                return std::string(texte);
            };
            std::printf("  %-17s %-7s build vs gcab -c: %-5s  extract vs cabextract: %s\n", ensembles[e],
                        compressions[c], ratio("BM_Construit", "BM_GcabCree").c_str(),
                        ratio("BM_ExtraitTout", "BM_Cabextract").c_str());
        }
    }
}

} // namespace

BENCHMARK(BM_Construit)->Apply(arguments);
BENCHMARK(BM_GcabCree)->Apply(arguments);
BENCHMARK(BM_ExtraitTout)->Apply(arguments);
BENCHMARK(BM_Cabextract)->Apply(arguments);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Rapport rapport;
    benchmark::RunSpecifiedBenchmarks(&rapport);
    afficheRapports(rapport);
    benchmark::Shutdown();
    return 0;
}
