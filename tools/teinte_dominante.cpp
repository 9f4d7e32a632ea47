#include "tools/teinte_dominante.h"

#include "tools/hls.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// 40·a/δ rounded half to even, for 1 <= δ <= 255 and 0 <= a <= δ: 64 KiB,
// small enough to stay in cache while a picture is walked.
struct TableQuotients
{
    uint8_t q[256][256];

    TableQuotients()
    {
        for (int d = 0; d < 256; ++d) {
            for (int a = 0; a < 256; ++a) {
                if (d == 0 || a > d) {
                    q[d][a] = 0;
                    continue;
                }
                const int num = 40 * a;
                int quotient = num / d;
                const int reste2 = 2 * (num % d);
                if (reste2 > d || (reste2 == d && (quotient & 1)))
                    ++quotient;
                q[d][a] = uint8_t(quotient);
            }
        }
    }
};

const TableQuotients &tableQuotients()
{
    static const TableQuotients table;
    return table;
}

inline int teinte(const TableQuotients &t, int r, int g, int b)
{
    if (r >= g && r >= b) {
        const int mn = std::min(g, b);
        const int d = r - mn;
        if (d == 0)
            return TEINTE_GRIS;
        // Red is the largest: the hue is 40·(g − b)/δ, wrapped below 0.
        return g >= b ? t.q[d][g - b] : HLSMAX - t.q[d][b - g];
    }
    if (g >= b) {
        const int d = g - std::min(r, b);
        return b >= r ? 80 + t.q[d][b - r] : 80 - t.q[d][r - b];
    }
    const int d = b - std::min(r, g);
    return r >= g ? 160 + t.q[d][r - g] : 160 - t.q[d][g - r];
}

using Compteurs = std::array<uint32_t, HLSMAX + 1>;

void compteBande(const QImage &image, int ligneDebut, int ligneFin, Compteurs &compteurs)
{
    const TableQuotients &t = tableQuotients();
    const int largeur = image.width();
    for (int y = ligneDebut; y < ligneFin; ++y) {
        const QRgb *ligne = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < largeur; ++x) {
            const QRgb p = ligne[x];
            ++compteurs[teinte(t, qRed(p), qGreen(p), qBlue(p))];
        }
    }
}

// Below this many pixels a single thread is quicker than starting others.
constexpr qsizetype PIXELS_PAR_FIL_MIN = 1 << 18;
constexpr unsigned FILS_MAX = 16;

} // namespace

int TeinteRapide(int r, int g, int b)
{
    return teinte(tableQuotients(), r, g, b);
}

AnalyseTeintes AnalyseHistogramme(const HistogrammeTeintes &bins)
{
    AnalyseTeintes a;
    a.histogramme = bins;

    for (int i = 0; i < NOMBRE_BINS_TEINTE; ++i) {
        if (bins[i] > a.picBrut) {
            a.picBrut = bins[i];
            a.maxBrut = i;
        }
    }

    const auto bin = [&bins](int i) {
        return int64_t(bins[(i + NOMBRE_BINS_TEINTE) % NOMBRE_BINS_TEINTE]);
    };

    // Nine-bin window sums around the circle, kept as a running sum.
    int64_t somme = 0;
    for (int k = -4; k <= 4; ++k)
        somme += bin(k);
    int64_t meilleureSomme = 0;
    int centre = 0;
    for (int i = 0; i < NOMBRE_BINS_TEINTE; ++i) {
        if (i > 0)
            somme += bin(i + 4) - bin(i - 5);
        if (somme > meilleureSomme) {
            meilleureSomme = somme;
            centre = i;
        }
    }

    int64_t meilleur = 0;
    for (int k = centre - 4; k <= centre + 4; ++k) {
        if (bin(k) > meilleur) {
            meilleur = bin(k);
            a.teinteDominante = (k + NOMBRE_BINS_TEINTE) % NOMBRE_BINS_TEINTE;
        }
    }
    return a;
}

std::optional<AnalyseTeintes> TeinteDominante(const QImage &source)
{
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        return std::nullopt;

    // 32-bit pixels read as B, G, R, A; other layouts are converted first.
    QImage image = source;
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;

    const int hauteur = image.height();
    const qsizetype pixels = qsizetype(image.width()) * hauteur;
    unsigned fils = std::max(1u, std::thread::hardware_concurrency());
    fils = std::min({fils, FILS_MAX, unsigned(std::max<qsizetype>(1, pixels / PIXELS_PAR_FIL_MIN)),
                     unsigned(hauteur)});

    std::vector<Compteurs> parBande(fils, Compteurs{});
    {
        std::vector<std::jthread> travailleurs;
        travailleurs.reserve(fils - 1);
        const auto bande = [&](unsigned i) {
            const int debut = int(qsizetype(hauteur) * i / fils);
            const int fin = int(qsizetype(hauteur) * (i + 1) / fils);
            compteBande(image, debut, fin, parBande[i]);
        };
        for (unsigned i = 1; i < fils; ++i)
            travailleurs.emplace_back(bande, i);
        bande(0);
    }

    HistogrammeTeintes bins{};
    for (const Compteurs &c : parBande) {
        for (int h = 0; h < NOMBRE_BINS_TEINTE; ++h)
            bins[h] += int32_t(c[h]);
        bins[0] += int32_t(c[HLSMAX]); // hue 240 is the same point as 0
    }
    bins[TEINTE_GRIS] = (bins[TEINTE_GRIS - 1] + bins[TEINTE_GRIS + 1]) / 2;
    return AnalyseHistogramme(bins);
}
