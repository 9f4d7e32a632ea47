// Speed and memory of the cabinet component against the usual tools, on the
// same files in the same run. Every run is a whole process: ours is this
// program started again in a child mode, theirs `gcab -c` (building) and
// `cabextract` (extracting the cabinet we built). Runs go in interleaved
// pairs, the order alternating from pair to pair, and the table gives the
// median of the pairs' time ratios (ours / theirs: <= 1.0 means no slower)
// and each side's peak resident memory.
//
//   cab_bench [--sets theme,100m,1g,2048] [--pairs N] [--dir FOLDER]
//
// The 1 GiB set needs about 4 GiB free in FOLDER (default: the folder the
// program was started in); everything written is removed at the end.
#include "theme/cab_file.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// ---- the child modes: our component, alone in its process ----

int construitNous(int argc, char **argv)
{
    // cab_bench --nous-construit CABINET MSZIP(0|1) FILE...
    TCABFile cab;
    cab.CABFile = QString::fromLocal8Bit(argv[2]);
    cab.CompressionType = std::strcmp(argv[3], "1") == 0 ? typMSZIP : typNone;
    for (int i = 4; i < argc; ++i)
        cab.CABFileContents().Add()->Name = QString::fromLocal8Bit(argv[i]);
    try {
        return cab.CreateCAB() ? 0 : 1;
    } catch (const ECABFileError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

int extraitNous(char **argv)
{
    // cab_bench --nous-extrait CABINET FOLDER
    TCABFile cab;
    cab.CABFile = QString::fromLocal8Bit(argv[2]);
    cab.TargetPath = QString::fromLocal8Bit(argv[3]);
    if (!cab.ReadContents())
        return 1;
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;
    return cab.ExtractSelected() ? 0 : 1;
}

// ---- the driver ----

struct Mesure
{
    double secondes = 0;
    long kio = 0; // peak resident memory of the process
    bool ok = false;
};

Mesure lance(const std::vector<std::string> &arguments, const std::string &dossier)
{
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    const auto debut = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!dossier.empty() && ::chdir(dossier.c_str()) != 0)
            ::_exit(127);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    Mesure m;
    int statut = 0;
    struct rusage ru {};
    if (pid < 0 || ::wait4(pid, &statut, 0, &ru) != pid)
        return m;
    m.secondes = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
    m.kio = ru.ru_maxrss;
    m.ok = WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
    return m;
}

// Picture-like bytes: runs and gradients with some noise, so MSZIP has work to do.
void remplit(QByteArray &b, int graine)
{
    std::minstd_rand gen(graine);
    char *p = b.data();
    for (qsizetype i = 0; i < b.size(); ++i)
        p[i] = char(((i / 7) % 97) + int(gen() % 5));
}

struct Jeu
{
    const char *cle;
    const char *titre;
    std::vector<std::pair<QString, qint64>> fichiers;
};

std::vector<Jeu> jeux()
{
    std::vector<Jeu> j;
    // The four pictures of a VGA theme: today, the start screen and its two variants.
    j.push_back({"theme", "VGA theme, 1 MiB", {{"tdywater.001", 320 * 1024}, {"0stwater.002", 320 * 1024},
                                               {"stwate~1.003", 200 * 1024}, {"stwate~2.004", 184 * 1024}}});
    Jeu cent{"100m", "100 MiB, 50 files", {}};
    for (int i = 0; i < 50; ++i)
        cent.fichiers.emplace_back(QStringLiteral("image%1.bmp").arg(i, 2, 10, QLatin1Char('0')), 2 << 20);
    j.push_back(cent);
    Jeu giga{"1g", "1 GiB, 64 files", {}};
    for (int i = 0; i < 64; ++i)
        giga.fichiers.emplace_back(QStringLiteral("image%1.bmp").arg(i, 2, 10, QLatin1Char('0')), 16 << 20);
    j.push_back(giga);
    Jeu petits{"2048", "2048 x 4 KiB", {}};
    for (int i = 0; i < 2048; ++i)
        petits.fichiers.emplace_back(QStringLiteral("f%1.gif").arg(i, 4, 10, QLatin1Char('0')), 4096);
    j.push_back(petits);
    return j;
}

bool ecritJeu(const Jeu &jeu, const QString &dossier)
{
    QDir().mkpath(dossier);
    int graine = 1;
    QByteArray b;
    for (const auto &[nom, taille] : jeu.fichiers) {
        if (b.size() != taille)
            b.resize(taille);
        remplit(b, graine++);
        QFile f(dossier + QLatin1Char('/') + nom);
        if (!f.open(QIODevice::WriteOnly) || f.write(b) != taille || !f.flush())
            return false;
    }
    return true;
}

double mediane(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Ligne
{
    std::string titre;
    std::vector<double> ratios, nous, eux;
    long kioNous = 0, kioEux = 0;
    bool echec = false;
};

// Runs `paires` interleaved pairs; `avant` prepares each run (untimed).
Ligne compare(const std::string &titre, int paires, const std::vector<std::string> &nous,
              const std::vector<std::string> &eux, const std::string &dossierEux,
              const std::function<void()> &avant)
{
    Ligne l{titre, {}, {}, {}};
    for (int p = 0; p < paires && !l.echec; ++p) {
        Mesure a, b;
        for (int k = 0; k < 2; ++k) {
            const bool leNotre = (p % 2 == 0) == (k == 0);
            avant();
            (leNotre ? a : b) = leNotre ? lance(nous, {}) : lance(eux, dossierEux);
        }
        if (!a.ok || !b.ok) {
            std::fprintf(stderr, "%s: %s failed\n", titre.c_str(), !a.ok ? "ours" : "theirs");
            l.echec = true;
            break;
        }
        l.nous.push_back(a.secondes);
        l.eux.push_back(b.secondes);
        l.ratios.push_back(a.secondes / b.secondes);
        l.kioNous = std::max(l.kioNous, a.kio);
        l.kioEux = std::max(l.kioEux, b.kio);
    }
    if (l.echec)
        std::printf("  %-40s failed\n", titre.c_str());
    else
        std::printf("  %-40s ours %8.3f s  theirs %8.3f s  ratio %5.2f   peak ours %6ld MiB  theirs %6ld MiB\n",
                    titre.c_str(), mediane(l.nous), mediane(l.eux), mediane(l.ratios), l.kioNous / 1024,
                    l.kioEux / 1024);
    std::fflush(stdout);
    return l;
}

void supprime(const QString &chemin)
{
    QFileInfo fi(chemin);
    if (fi.isDir())
        QDir(chemin).removeRecursively();
    else
        QFile::remove(chemin);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--nous-construit") == 0)
        return construitNous(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--nous-extrait") == 0)
        return extraitNous(argv);

    QStringList choisis{"theme", "100m", "1g", "2048"};
    int paires = 5;
    QString base = QDir::currentPath();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--sets") == 0)
            choisis = QString::fromLocal8Bit(argv[i + 1]).split(',');
        else if (std::strcmp(argv[i], "--pairs") == 0)
            paires = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--dir") == 0)
            base = QString::fromLocal8Bit(argv[i + 1]);
        else {
            std::fprintf(stderr, "usage: cab_bench [--sets theme,100m,1g,2048] [--pairs N] [--dir FOLDER]\n");
            return 2;
        }
    }
    for (const char *outil : {"gcab", "cabextract"}) {
        if (QStandardPaths::findExecutable(outil).isEmpty()) {
            std::fprintf(stderr, "%s is not installed\n", outil);
            return 2;
        }
    }
    char soi[4096];
    const ssize_t n = ::readlink("/proc/self/exe", soi, sizeof soi - 1);
    if (n <= 0)
        return 2;
    soi[n] = 0;
    const std::string programme(soi);

    QTemporaryDir tmp(base + "/cab_bench-XXXXXX");
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot create a folder in %s\n", qPrintable(base));
        return 2;
    }
    std::printf("Cabinets: ours (TCABFile, whole process) against gcab -c and cabextract, %d interleaved pairs each;"
                " median times, median of the pair ratios (ours / theirs), peak resident memory\n",
                paires);
    bool echec = false;
    for (const Jeu &jeu : jeux()) {
        if (!choisis.contains(QLatin1String(jeu.cle)))
            continue;
        const QString racine = tmp.path() + "/" + jeu.cle;
        const QString src = racine + "/src";
        if (!ecritJeu(jeu, src)) {
            std::fprintf(stderr, "could not write the %s set\n", jeu.cle);
            return 2;
        }
        std::vector<std::string> chemins, noms;
        for (const auto &f : jeu.fichiers) {
            chemins.push_back((src + "/" + f.first).toStdString());
            noms.push_back("src/" + f.first.toStdString());
        }
        for (int mszip : {0, 1}) {
            const std::string titre = std::string(jeu.titre) + (mszip ? ", MSZIP" : ", stored");
            const QString notre = racine + "/nous.cab", leur = racine + "/eux.cab";
            std::vector<std::string> nous{programme, "--nous-construit", notre.toStdString(), mszip ? "1" : "0"};
            nous.insert(nous.end(), chemins.begin(), chemins.end());
            std::vector<std::string> eux{"gcab", "-c", "-n"};
            if (mszip)
                eux.push_back("-z");
            eux.push_back("eux.cab");
            eux.insert(eux.end(), noms.begin(), noms.end());
            const Ligne b = compare(titre + " build", paires, nous, eux, racine.toStdString(), [&] {
                supprime(notre);
                supprime(leur);
                ::sync();
            });
            supprime(leur);
            // The cabinet both extract is ours, whichever side ran last.
            if (!QFile::exists(notre) && !lance(nous, {}).ok) {
                echec = true;
                continue;
            }

            const QString dNous = racine + "/x-nous", dEux = racine + "/x-eux";
            const Ligne x = compare(titre + " extract", paires,
                                    {programme, "--nous-extrait", notre.toStdString(), dNous.toStdString()},
                                    {"cabextract", "-q", "-d", dEux.toStdString(), notre.toStdString()}, {}, [&] {
                                        supprime(dNous);
                                        supprime(dEux);
                                        ::sync();
                                    });
            supprime(dNous);
            supprime(dEux);
            supprime(notre);
            echec = echec || b.echec || x.echec;
        }
        supprime(racine);
    }
    return echec ? 1 : 0;
}
