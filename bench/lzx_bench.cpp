// LZX against MSZIP in the cabinet component, in the same run: for a theme
// set, 100 MiB of mixed files and text, the time to build the cabinet
// (MB/s of source bytes), its size, and its size as a share of the MSZIP
// cabinet's. After the timed runs every cabinet is extracted by our reader
// and by cabextract and compared with its sources ("identique" 1 when every
// byte is back from both).
//
//   lzx_bench [--benchmark_filter=...]
#include "theme/cab_file.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>

namespace {

struct Fichier
{
    QString nom;
    QByteArray octets;
};

// Text with a vocabulary of made-up words drawn with Zipf's law, in
// sentences and lines, with numbers and registry-like lines here and there.
QByteArray texte(qsizetype n, unsigned graine)
{
    std::mt19937 g(graine);
    static const char *syllabes[] = {"ta", "re", "mo", "li", "ka", "so", "ne", "vi", "du", "pa", "er", "on",
                                     "st", "ch", "an", "ou", "le", "ri", "ga", "be"};
    std::vector<std::string> mots;
    for (int i = 0; i < 3000; ++i) {
        std::string m;
        const int n = 1 + int(g() % 4);
        for (int k = 0; k < n; ++k)
            m += syllabes[g() % 20];
        mots.push_back(m);
    }
    std::vector<double> poids;
    for (int i = 0; i < 3000; ++i)
        poids.push_back(1.0 / (i + 1));
    std::discrete_distribution<int> zipf(poids.begin(), poids.end());
    QByteArray b;
    b.reserve(n + 200);
    while (b.size() < n) {
        if (g() % 20 == 0) {
            b += QByteArrayLiteral("\"Color_") + mots[size_t(zipf(g))].c_str() + "\"=dword:"
                 + QByteArray::number(quint32(g()), 16).rightJustified(8, '0') + "\r\n";
            continue;
        }
        const int longueur = 5 + int(g() % 15);
        for (int k = 0; k < longueur; ++k) {
            std::string m = mots[size_t(zipf(g))];
            if (k == 0)
                m[0] = char(std::toupper(m[0]));
            b += m.c_str();
            b += k + 1 < longueur ? (g() % 12 == 0 ? ", " : " ") : ". ";
        }
        if (g() % 4 == 0)
            b += "\r\n";
    }
    b.truncate(n);
    return b;
}

QImage paysage(int l, int h, unsigned graine)
{
    QImage img(l, h, QImage::Format_RGB32);
    std::minstd_rand g(graine);
    for (int y = 0; y < h; ++y) {
        QRgb *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < l; ++x) {
            const double c = 0.5 + 0.1 * std::sin(x * 0.03 + graine);
            const bool ciel = double(y) / h < c;
            const int bruit = int(g() % 9);
            ligne[x] = ciel ? qRgb(80 + y * 100 / h + bruit, 140 + bruit, 230 - bruit)
                            : qRgb(60 + bruit, 120 + (x * 40 / l) + bruit, 50 + bruit);
        }
    }
    QPainter p(&img);
    p.setPen(Qt::white);
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("Today"));
    return img;
}

QByteArray encode(const QImage &img, const char *format, int qualite = -1)
{
    QByteArray b;
    QBuffer t(&b);
    t.open(QIODevice::WriteOnly);
    img.save(&t, format, qualite);
    return b;
}

// The pictures and setup documents of a VGA theme package.
std::vector<Fichier> jeuTheme()
{
    QByteArray xml = "<wap-provisioningdoc>\r\n";
    for (int i = 0; i < 40; ++i)
        xml += "  <characteristic type=\"Registry\"><parm name=\"Color" + QByteArray::number(i)
               + "\" value=\"" + QByteArray::number(i * 7919 % 16777216) + "\" datatype=\"integer\" /></characteristic>\r\n";
    xml += "</wap-provisioningdoc>\r\n";
    QByteArray ce("MSCE");
    ce += QByteArray(96, '\0') + texte(1500, 9);
    return {{"tdywater_480_640.jpg", encode(paysage(480, 640, 1), "JPG", 90)},
            {"stwater_480_640.jpg", encode(paysage(480, 640, 2), "JPG", 90)},
            {"tdywater_640_480.png", encode(paysage(640, 480, 3), "PNG")},
            {"stwater_640_480.bmp", encode(paysage(640, 480, 4).convertToFormat(QImage::Format_RGB888), "BMP")},
            {"_setup.xml", xml},
            {"MYTHEM~1.000", ce}};
}

// 50 files of 2 MiB: text, bitmaps, photos (incompressible) and sparse data in turn.
std::vector<Fichier> jeuMixte()
{
    std::vector<Fichier> f;
    const QByteArray bmp = encode(paysage(1024, 682, 7).convertToFormat(QImage::Format_RGB888), "BMP").left(2 << 20);
    std::mt19937 g(5);
    for (int i = 0; i < 50; ++i) {
        QByteArray b;
        switch (i % 4) {
        case 0: b = texte(2 << 20, unsigned(i)); break;
        case 1: b = bmp; b[100 + i] = char(i); break;
        case 2:
            b.resize(2 << 20);
            for (auto &c : b)
                c = char(g());
            break;
        default:
            b = QByteArray(2 << 20, '\0');
            for (int k = 0; k < 4000; ++k)
                b[qsizetype(g() % b.size())] = char(g());
            break;
        }
        f.push_back({QStringLiteral("f%1.bin").arg(i, 2, 10, QLatin1Char('0')), b});
    }
    return f;
}

std::vector<Fichier> jeuTexte()
{
    return {{"texte.txt", texte(8 << 20, 42)}};
}

struct Jeu
{
    QString dossier;
    std::vector<Fichier> fichiers;
    qint64 total = 0;
};

QTemporaryDir &racine()
{
    static QTemporaryDir d;
    return d;
}

Jeu &jeu(const std::string &cle)
{
    static std::map<std::string, Jeu> jeux;
    auto it = jeux.find(cle);
    if (it != jeux.end())
        return it->second;
    Jeu j;
    j.fichiers = cle == "theme" ? jeuTheme() : cle == "mixte_100m" ? jeuMixte() : jeuTexte();
    j.dossier = racine().filePath(QString::fromStdString(cle));
    QDir().mkpath(j.dossier);
    for (const Fichier &f : j.fichiers) {
        QFile out(j.dossier + "/" + f.nom);
        out.open(QIODevice::WriteOnly);
        out.write(f.octets);
        j.total += f.octets.size();
    }
    return jeux.emplace(cle, std::move(j)).first->second;
}

std::map<std::string, qint64> &taillesMszip()
{
    static std::map<std::string, qint64> t;
    return t;
}

bool identique(const QString &cabinet, const Jeu &j)
{
    const QString cible = cabinet + ".x";
    QDir(cible).removeRecursively();
    TCABFile lu;
    lu.CABFile = cabinet;
    lu.TargetPath = cible;
    if (!lu.ReadContents() || lu.CABFileContents().Count() != int(j.fichiers.size()))
        return false;
    for (int i = 0; i < lu.CABFileContents().Count(); ++i)
        lu.CABFileContents().GetItem(i)->Selected = true;
    bool ok = lu.ExtractSelected();
    const QString eux = cabinet + ".cabextract";
    ok = ok && QProcess::execute(QStringLiteral("cabextract"), {QStringLiteral("-q"), QStringLiteral("-d"), eux, cabinet}) == 0;
    for (const Fichier &f : j.fichiers) {
        for (const QString &dossier : {cible, eux}) {
            QFile in(dossier + "/" + f.nom);
            ok = ok && in.open(QIODevice::ReadOnly) && in.readAll() == f.octets;
        }
    }
    QDir(cible).removeRecursively();
    QDir(eux).removeRecursively();
    return ok;
}

void construit(benchmark::State &state, const std::string &cle, TCompressionType type, TLZXMemory memoire)
{
    Jeu &j = jeu(cle);
    const QString cabinet = racine().filePath(QString::fromStdString(cle) + ".cab");
    TCABFile cab;
    cab.CompressionType = type;
    cab.LZXMemory = memoire;
    cab.CABFile = cabinet;
    for (const Fichier &f : j.fichiers)
        cab.CABFileContents().Add()->Name = j.dossier + "/" + f.nom;
    for (auto _ : state) {
        try {
            cab.CreateCAB();
        } catch (const ECABFileError &e) {
            state.SkipWithError(e.what());
            return;
        }
    }
    const qint64 taille = QFileInfo(cabinet).size();
    if (type == typMSZIP)
        taillesMszip()[cle] = taille;
    state.SetBytesProcessed(state.iterations() * j.total);
    state.counters["source"] = double(j.total);
    state.counters["cabinet"] = double(taille);
    const auto m = taillesMszip().find(cle);
    if (m != taillesMszip().end())
        state.counters["vs_mszip"] = double(taille) / double(m->second);
    state.counters["identique"] = identique(cabinet, j) ? 1 : 0;
    QFile::remove(cabinet);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // the pictures' text needs fonts
    benchmark::Initialize(&argc, argv);
    struct Mode
    {
        const char *nom;
        TCompressionType type;
        TLZXMemory memoire;
    };
    const Mode modes[] = {{"MSZIP", typMSZIP, lzxLowest},
                          {"LZX_lowest", typLZX, lzxLowest},
                          {"LZX_medium", typLZX, lzxMedium},
                          {"LZX_highest", typLZX, lzxHighest}};
    for (const char *cle : {"theme", "texte", "mixte_100m"}) {
        for (const Mode &m : modes) {
            auto *b = benchmark::RegisterBenchmark((std::string(cle) + "/" + m.nom).c_str(),
                                                   [cle = std::string(cle), m](benchmark::State &s) {
                                                       construit(s, cle, m.type, m.memoire);
                                                   });
            b->Unit(benchmark::kMillisecond)->UseRealTime();
            if (std::string(cle) == "mixte_100m")
                b->Iterations(1);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
