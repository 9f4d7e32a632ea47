#include "tools/matrice_filtre.h"

#include "theme/arrondi.h"
#include "tools/bandes_contexte.h"

#include <QPainter>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Byte offsets inside a pixel.
constexpr int OB = 0, OG = 1, OR = 2, OA = 3;

// Brings the picture to 32-bit ARGB; False for a null picture.
bool prepare(QImage &image)
{
    if (image.isNull())
        return false;
    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);
    return !image.isNull();
}

// Read-only view of the rows of a picture, safe to share between threads.
struct Lecture
{
    explicit Lecture(const QImage &img) : base(img.constBits()), pas(img.bytesPerLine()) {}
    const uchar *ligne(int y) const { return base + qsizetype(y) * pas; }
    const uchar *base;
    qsizetype pas;
};

// Writable view; bits() detaches once here, before any thread starts.
struct Ecriture
{
    explicit Ecriture(QImage &img) : base(img.bits()), pas(img.bytesPerLine()) {}
    uchar *ligne(int y) const { return base + qsizetype(y) * pas; }
    uchar *base;
    qsizetype pas;
};

inline uchar borne(int v)
{
    return uchar(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline uchar borne64(int64_t v)
{
    return uchar(v < 0 ? 0 : (v > 255 ? 255 : v));
}

qsizetype pixelsDe(const QImage &img)
{
    return qsizetype(img.width()) * img.height();
}

// Maps B, G and R of every pixel through one table each.
void appliqueTables(QImage &image, const TableOctets &tb, const TableOctets &tg, const TableOctets &tr,
                    int fils)
{
    const Ecriture e(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            for (int x = 0; x < w; ++x, p += 4) {
                p[OB] = tb[p[OB]];
                p[OG] = tg[p[OG]];
                p[OR] = tr[p[OR]];
            }
        }
    });
}

// clamp(s div diviseur + decalage) for every s in [min, max], when the range is
// small enough to be worth a table: the division then costs one read.
struct TableQuotient
{
    TableQuotient(int64_t min, int64_t max, int32_t diviseur, int32_t decalage)
        : minimum(min), diviseur(diviseur), decalage(decalage)
    {
        if (max - min < (int64_t(1) << 22)) {
            valeurs.resize(size_t(max - min + 1));
            for (int64_t s = min; s <= max; ++s)
                valeurs[size_t(s - min)] = calcule(s);
        }
    }
    uchar calcule(int64_t s) const { return borne64(s / diviseur + decalage); }
    uchar operator()(int64_t s) const
    {
        return valeurs.empty() ? calcule(s) : valeurs[size_t(s - minimum)];
    }
    std::vector<uchar> valeurs;
    int64_t minimum;
    int32_t diviseur, decalage;
};

// The median of a 3x3 window (sixth-smallest of nine values) for whole rows
// of bytes at once: a 25-comparator sorting network on nine byte arrays,
// which the compiler turns into vector min/max.
struct Median3Lignes
{
    explicit Median3Lignes(int octets) : longueur(octets)
    {
        for (auto &v : tampons)
            v.resize(size_t(octets));
    }

    // Fills `sortie` (octets long) with the median of the nine bytes
    // haut[i−4..i+4 step 4], milieu[...], bas[...] for each i.
    void calcule(const uchar *haut, const uchar *milieu, const uchar *bas, uchar *sortie)
    {
        const uchar *lignes[3] = {haut, milieu, bas};
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                std::copy_n(lignes[j] + i * 4, longueur, tampons[size_t(j * 3 + i)].data());
        static constexpr int reseau[25][2] = {
            {0, 3}, {1, 7}, {2, 5}, {4, 8}, {0, 7}, {2, 4}, {3, 8}, {5, 6}, {0, 2},
            {1, 3}, {4, 5}, {7, 8}, {1, 4}, {3, 6}, {5, 7}, {0, 1}, {2, 4}, {3, 5},
            {6, 8}, {2, 3}, {4, 5}, {6, 7}, {1, 2}, {3, 4}, {5, 6}};
        for (const auto &c : reseau)
            echange(tampons[size_t(c[0])].data(), tampons[size_t(c[1])].data(), longueur);
        std::copy_n(tampons[5].data(), longueur, sortie);
    }

    // Distinct buffers: the loop becomes vector min/max.
    static void echange(uchar *__restrict a, uchar *__restrict b, int n)
    {
        for (int i = 0; i < n; ++i) {
            const uchar x = a[i], y = b[i];
            a[i] = x < y ? x : y;
            b[i] = x < y ? y : x;
        }
    }

    int longueur;
    std::array<std::vector<uchar>, 9> tampons;
};

void medianGeneral(const Lecture &src, const Ecriture &dst, int w, int n, int y0, int y1)
{
    const int seuil = (n * n + 1) / 2;
    const int k = n / 2;
    std::array<std::array<int, 256>, 3> histo;
    const auto median = [&](const std::array<int, 256> &h) {
        int cumul = 0;
        for (int v = 0; v < 256; ++v) {
            cumul += h[size_t(v)];
            if (cumul > seuil)
                return v;
        }
        return 255;
    };
    for (int y = y0; y < y1; ++y) {
        for (auto &h : histo)
            h.fill(0);
        for (int j = 0; j < n; ++j) {
            const uchar *l = src.ligne(y + j);
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < 3; ++c)
                    ++histo[size_t(c)][l[i * 4 + c]];
        }
        uchar *out = dst.ligne(y + k);
        for (int x = 0; x + n <= w; ++x) {
            if (x > 0) {
                for (int j = 0; j < n; ++j) {
                    const uchar *l = src.ligne(y + j);
                    for (int c = 0; c < 3; ++c) {
                        --histo[size_t(c)][l[(x - 1) * 4 + c]];
                        ++histo[size_t(c)][l[(x + n - 1) * 4 + c]];
                    }
                }
            }
            for (int c = 0; c < 3; ++c)
                out[(x + k) * 4 + c] = uchar(median(histo[size_t(c)]));
        }
    }
}

// Integer square root, exact.
int racineEntiere(int64_t v)
{
    int64_t r = int64_t(std::sqrt(double(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return int(r);
}

// Round (halves to even) of a value known only by a double-precision
// estimate within 10^-9 of it: false when the estimate is too near a half
// for the rounding to be sure.
inline bool arrondiEstime(double estimation, long long &resultat)
{
    if (!(std::fabs(estimation) < 1e15))
        return false;
    long long plancher = (long long)estimation; // toward zero, then down
    if (double(plancher) > estimation)
        --plancher;
    const double reste = estimation - double(plancher);
    if (std::fabs(reste - 0.5) < 1e-6)
        return false;
    resultat = plancher + (reste > 0.5 ? 1 : 0);
    return true;
}

// The sample positions of the zoom blur along one coordinate of a ray:
// Round(u·τ + c) for τ = debut..debut + n − 1, with c the centre plus one
// half, estimated in fixed point with 40 fraction bits: for |u| ≤ 1 and
// |τ| < 2^16 the estimate is within 10^-7 of the value. Returns whether some
// estimate lay within 2^-20 (about 10^-6) of a half, where the rounding is
// not sure (positionDouteuse tells which). Written for the vectoriser.
constexpr int BITS_FRACTION = 40;
constexpr int64_t DOUTE = int64_t(1) << (BITS_FRACTION - 20);

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("default", "avx2")))
#endif
bool positionsRayon(double u, double c, long long debut, int n, int32_t *__restrict sortie)
{
    constexpr uint64_t masque = (uint64_t(1) << BITS_FRACTION) - 1;
    constexpr uint64_t moitie = uint64_t(1) << (BITS_FRACTION - 1);
    // A bias keeps the values positive, so the shift is a floor.
    constexpr int64_t biais = int64_t(1) << 21;
    constexpr double echelle = double(int64_t(1) << BITS_FRACTION);
    const int64_t pas = int64_t(std::nearbyint(u * echelle));
    const uint64_t depart = uint64_t(pas * debut + int64_t(std::nearbyint(c * echelle))
                                     + (biais << BITS_FRACTION));
    uint64_t douteux = 0;
    for (int i = 0; i < n; ++i) {
        const uint64_t v = depart + uint64_t(i) * uint64_t(pas);
        const uint64_t reste = v & masque;
        sortie[i] = int32_t(int64_t(v >> BITS_FRACTION) - biais) + (reste > moitie ? 1 : 0);
        douteux |= (reste - (moitie - uint64_t(DOUTE))) < uint64_t(2 * DOUTE) ? 1 : 0;
    }
    return douteux != 0;
}

inline bool positionDouteuse(double u, double c, long long t)
{
    const double v = u * double(t) + c;
    const double reste = v - std::floor(v) - 0.5;
    return std::fabs(reste) < 2e-6;
}

// Runs fn(y) for every row of [y0, y1) on the threads ParBandesDeLignes
// would start, each taking the next row not yet taken: rows of unequal cost
// then keep every thread busy until the end. fn must write its row only.
template<typename Fonction>
void lignesAuFil(int y0, int y1, qsizetype pixels, int fils, Fonction &&fn)
{
    std::atomic<int> suivante{y0};
    ParBandesDeLignes(y1 - y0, pixels, fils, [&](int, int) {
        for (int y = suivante++; y < y1; y = suivante++)
            fn(y);
    });
}

uint64_t melange(uint64_t z)
{
    // splitmix64's finaliser.
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Runs a 3x3 window filter in place without a copy of the picture: each
// band keeps the original of the row above the one it writes. The rows just
// outside a band belong to its neighbours, which may already have written
// them: they are saved first, while every thread only reads. `ligne(haut,
// milieu, bas, sortie)` makes the 4·(w − 2) bytes of the interior of one
// output row from the three original rows (each starting at column 0).
template<typename Ligne>
void fenetre3EnPlace(QImage &image, int fils, Ligne &&ligne)
{
    const int w = image.width(), h = image.height();
    const Ecriture e(image);
    const size_t octetsLigne = size_t(w) * 4;
    const int interieur = 4 * (w - 2);
    // Output rows 1..h−2 are band rows 0..h−3.
    std::vector<std::vector<uchar>> dessus(static_cast<size_t>(h)), dessous(static_cast<size_t>(h));
    ParBandesDeLignes(h - 2, pixelsDe(image), fils, [&](int t0, int t1) {
        dessus[size_t(t0)].assign(e.ligne(t0), e.ligne(t0) + octetsLigne);
        dessous[size_t(t0)].assign(e.ligne(t1 + 1), e.ligne(t1 + 1) + octetsLigne);
    });
    ParBandesDeLignes(h - 2, pixelsDe(image), fils, [&](int t0, int t1) {
        std::vector<uchar> precedente(octetsLigne);
        std::vector<uchar> sortie(static_cast<size_t>(interieur));
        const uchar *haut = dessus[size_t(t0)].data();
        for (int t = t0; t < t1; ++t) {
            uchar *milieu = e.ligne(t + 1);
            const uchar *bas = t + 1 == t1 ? dessous[size_t(t0)].data() : e.ligne(t + 2);
            ligne(haut, milieu, bas, sortie.data());
            std::copy_n(milieu, octetsLigne, precedente.data());
            haut = precedente.data();
            auto *d = reinterpret_cast<uint32_t *>(milieu + 4);
            const auto *s = reinterpret_cast<const uint32_t *>(sortie.data());
            for (int x = 0; x < w - 2; ++x)
                d[x] = (s[x] & 0x00FFFFFFu) | (d[x] & 0xFF000000u);
        }
    });
}

// Sums of one 3x3 convolution for a row of bytes in 16 bits: the caller
// has checked that Σ|coefficient|·255 fits, so every partial sum does too
// and the wrapping 16-bit arithmetic is exact. Written for the vectoriser.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("default", "avx2")))
#endif
void sommesConvolution16(const uchar *__restrict r0, const uchar *__restrict r1, const uchar *__restrict r2,
                         const int16_t *__restrict c, int16_t *__restrict somme, int octets)
{
    const int16_t c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5], c6 = c[6], c7 = c[7],
                  c8 = c[8];
    for (int o = 0; o < octets; ++o) {
        const uint16_t s = uint16_t(c0 * r0[o] + c1 * r0[o + 4] + c2 * r0[o + 8] + c3 * r1[o] + c4 * r1[o + 4]
                                    + c5 * r1[o + 8] + c6 * r2[o] + c7 * r2[o + 4] + c8 * r2[o + 8]);
        somme[o] = int16_t(s);
    }
}

// clamp(s div d + offset) for 16-bit sums. With |s| < 2^24 the quotient of
// the single-precision division lies within 1/|d| of the exact one, closer
// than any integer it could be mistaken for, so truncating it is exact.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("default", "avx2")))
#endif
void quotientsConvolution16(const int16_t *__restrict somme, uchar *__restrict sortie, int octets,
                            int32_t diviseur, int32_t decalage)
{
    if (diviseur == 1) {
        for (int o = 0; o < octets; ++o) {
            const int32_t v = somme[o] + decalage;
            sortie[o] = uchar(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
        return;
    }
    const float d = float(diviseur);
    for (int o = 0; o < octets; ++o) {
        const int32_t v = int32_t(float(somme[o]) / d) + decalage;
        sortie[o] = uchar(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

} // namespace

ConvMatrix::ConvMatrix()
{
    coefficients[4] = 1;
}

void ConvMatrix::Remplir(int32_t valeur)
{
    coefficients.fill(valeur);
}

bool FiltreConvolution(QImage &image, const ConvMatrix &m, int fils)
{
    if (m.diviseur == 0)
        return false;
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    if (w < 3 || h < 3)
        return true;
    int64_t minimum = 0, maximum = 0;
    for (int32_t c : m.coefficients)
        (c < 0 ? minimum : maximum) += int64_t(c) * 255;
    if (maximum - minimum <= 32767) {
        // The common case: every sum fits in 16 bits. The quotient is at most
        // 32767 in size, so an offset beyond ±65535 gives the same bytes
        // as ±65535 and the 32-bit addition cannot overflow.
        std::array<int16_t, 9> c;
        for (size_t i = 0; i < 9; ++i)
            c[i] = int16_t(m.coefficients[i]);
        const int32_t decalage = std::clamp<int32_t>(m.decalage, -65535, 65535);
        const int octets = 4 * (w - 2);
        fenetre3EnPlace(image, fils, [&](const uchar *haut, const uchar *milieu, const uchar *bas, uchar *sortie) {
            thread_local std::vector<int16_t> sommes;
            sommes.resize(size_t(octets));
            sommesConvolution16(haut, milieu, bas, c.data(), sommes.data(), octets);
            quotientsConvolution16(sommes.data(), sortie, octets, m.diviseur, decalage);
        });
        return true;
    }
    const TableQuotient quotient(minimum, maximum, m.diviseur, m.decalage);
    const QImage copie = image.copy();
    const Lecture src(copie);
    const Ecriture dst(image);
    const int octets = 4 * (w - 2);
    ParBandesDeLignes(h - 2, pixelsDe(image), fils, [&](int y0, int y1) {
        std::vector<int64_t> somme(static_cast<size_t>(octets));
        for (int y = y0; y < y1; ++y) {
            std::fill(somme.begin(), somme.end(), 0);
            for (int j = 0; j < 3; ++j) {
                const uchar *l = src.ligne(y + j);
                for (int i = 0; i < 3; ++i) {
                    const int64_t c = m.coefficient(i, j);
                    if (c == 0)
                        continue;
                    const uchar *p = l + i * 4;
                    for (int o = 0; o < octets; ++o)
                        somme[size_t(o)] += c * p[o];
                }
            }
            uchar *out = dst.ligne(y + 1) + 4;
            for (int o = 0; o < octets; o += 4) {
                out[o + OB] = quotient(somme[size_t(o + OB)]);
                out[o + OG] = quotient(somme[size_t(o + OG)]);
                out[o + OR] = quotient(somme[size_t(o + OR)]);
            }
        }
    });
    return true;
}

bool NiveauxDeGris(QImage &image, int fils)
{
    if (!prepare(image))
        return true;
    const Ecriture e(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            for (int x = 0; x < w; ++x, p += 4)
                p[OB] = p[OG] = p[OR] = uchar(NiveauGris79(p[OR], p[OG], p[OB]));
        }
    });
    return true;
}

bool Accentuation(QImage &image, int centre, int quantite, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    const int diviseur = centre + 8;
    // With no blur (too small a picture, or a divisor of 0) every pixel equals
    // its blur and the picture stays as it is.
    if (w < 3 || h < 3 || diviseur == 0)
        return true;
    // The blur's sum is the 3x3 box sum plus (c − 1)·centre: the box is
    // separable, so each row's horizontal sums are made once and reused.
    const int64_t poidsCentre = int64_t(centre) - 1;
    const int64_t minimum = std::min<int64_t>(0, poidsCentre * 255);
    const int64_t maximum = 9 * 255 + std::max<int64_t>(0, poidsCentre * 255);
    const TableQuotient flou(minimum, maximum, diviseur, 0);
    // (p − b)·a + p, clamped, for every pair of bytes.
    std::vector<uchar> combine(256 * 256);
    for (int p = 0; p < 256; ++p)
        for (int b = 0; b < 256; ++b)
            combine[size_t(p * 256 + b)] = borne64((int64_t(p) - b) * quantite + p);

    // In place: each band keeps the original of the row above it.
    const int octets = 4 * (w - 2);
    fenetre3EnPlace(image, fils, [&](const uchar *haut, const uchar *milieu, const uchar *bas, uchar *sortie) {
        const uchar *p = milieu + 4;
        for (int o = 0; o < octets; ++o) {
            const int64_t s = int64_t(haut[o]) + haut[o + 4] + haut[o + 8] + milieu[o] + milieu[o + 4]
                              + milieu[o + 8] + bas[o] + bas[o + 4] + bas[o + 8] + poidsCentre * p[o];
            sortie[o] = combine[size_t(p[o] * 256 + flou(s))];
        }
    });
    return true;
}

namespace {

// The edge steps in one pass over the picture, in place. The edges are found
// on the grey picture, its interior first put through a 3x3 median when
// asked: pixel (x, y) is an edge unless its grey differs from the next pixel
// on the right and from the one below by less than the threshold. Each band
// keeps the grey and median rows it needs in a few rolling buffers, made
// from each row before it is written; the rows of the neighbouring bands it
// reads are saved first, while every thread only reads.
// `peint(pixel, cadre, bord)` writes one pixel: on the outer frame, or
// inside with the edge test's answer.
template<typename Peint>
void contoursEnPlace(QImage &image, int seuil, bool median, int fils, Peint &&peint)
{
    const int w = image.width(), h = image.height();
    const Ecriture e(image);
    if (w < 3 || h < 3) {
        // All frame.
        ParBandesDeLignes(h, pixelsDe(image), fils, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y)
                for (int x = 0; x < w; ++x)
                    peint(e.ligne(y) + x * 4, true, false);
        });
        return;
    }
    // t > √d² for an integer t holds exactly when t > 0 and t² > d².
    const int64_t seuil2 = seuil > 0 ? int64_t(seuil) * seuil : -1;
    const size_t octetsLigne = size_t(w) * 4;
    const int interieur = 4 * (w - 2);
    // For the band starting at t0: the originals of rows t0 − 1, t1, t1 + 1.
    std::vector<std::vector<uchar>> voisines(size_t(h) * 3);
    ParBandesDeLignes(h, pixelsDe(image), fils, [&](int t0, int t1) {
        for (const int r : {t0 - 1, t1, t1 + 1})
            if (r >= 0 && r < h)
                voisines[size_t(t0) * 3 + size_t(r == t0 - 1 ? 0 : r - t1 + 1)].assign(e.ligne(r),
                                                                                   e.ligne(r) + octetsLigne);
    });
    // The same bands as above: the same height, weight and thread count.
    ParBandesDeLignes(h, pixelsDe(image), fils, [&](int t0, int t1) {
        const auto originale = [&](int r) -> const uchar * {
            if (r == t0 - 1)
                return voisines[size_t(t0) * 3].data();
            if (r >= t1)
                return voisines[size_t(t0) * 3 + size_t(r - t1 + 1)].data();
            return e.ligne(r);
        };
        // Grey rows y − 1 .. y + 2 and median rows y, y + 1, by row number.
        std::array<std::vector<uchar>, 4> gris;
        std::array<int, 4> grisDe{-1, -1, -1, -1};
        std::array<std::vector<uchar>, 2> med;
        std::array<int, 2> medDe{-1, -1};
        for (auto &g : gris)
            g.resize(octetsLigne);
        for (auto &m : med)
            m.resize(octetsLigne);
        Median3Lignes calcul(interieur);
        const auto G = [&](int r) -> const uchar * {
            const size_t i = size_t(r & 3);
            if (grisDe[i] != r) {
                const uchar *s = originale(r);
                uchar *d = gris[i].data();
                for (int x = 0; x < w; ++x, s += 4, d += 4) {
                    d[OB] = d[OG] = d[OR] = uchar(NiveauGris79(s[OR], s[OG], s[OB]));
                    d[OA] = s[OA];
                }
                grisDe[i] = r;
            }
            return gris[i].data();
        };
        const auto M = [&](int r) -> const uchar * {
            if (!median || r == 0 || r == h - 1)
                return G(r);
            const size_t i = size_t(r & 1);
            if (medDe[i] != r) {
                const uchar *haut = G(r - 1), *milieu = G(r), *bas = G(r + 1);
                uchar *d = med[i].data();
                std::copy_n(milieu, octetsLigne, d);
                calcul.calcule(haut, milieu, bas, d + 4);
                medDe[i] = r;
            }
            return med[i].data();
        };
        for (int y = t0; y < t1; ++y) {
            // Every grey row still to be read is made before this row is written.
            for (int r = y; r <= std::min(y + 2, h - 1); ++r)
                G(r);
            uchar *out = e.ligne(y);
            if (y == 0 || y == h - 1) {
                for (int x = 0; x < w; ++x)
                    peint(out + x * 4, true, false);
                continue;
            }
            const uchar *p = M(y) + 4;
            const uchar *bas = M(y + 1) + 4;
            peint(out, true, false);
            for (int x = 1; x < w - 1; ++x, p += 4, bas += 4) {
                int64_t d1 = 0, d2 = 0;
                for (int c = 0; c < 3; ++c) {
                    const int a = p[c] - p[c + 4];
                    const int b = p[c] - bas[c];
                    d1 += a * a;
                    d2 += b * b;
                }
                peint(out + x * 4, false, !(seuil2 > d1 && seuil2 > d2));
            }
            peint(out + (w - 1) * 4, true, false);
        }
    });
}

} // namespace

bool DetectionContours(QImage &image, int seuil, TColor bord, bool median, int fils)
{
    if (!prepare(image))
        return true;
    const uchar eb = uchar(bord.blue()), eg = uchar(bord.green()), er = uchar(bord.red());
    contoursEnPlace(image, seuil, median, fils, [&](uchar *p, bool cadre, bool contour) {
        if (cadre) {
            p[OB] = p[OG] = p[OR] = 0;
            p[OA] = 255;
        } else if (contour) {
            p[OB] = eb;
            p[OG] = eg;
            p[OR] = er;
        } else {
            p[OB] = p[OG] = p[OR] = 255;
        }
    });
    return true;
}

bool Sepia(QImage &image, int profondeur, int fils)
{
    if (!prepare(image))
        return true;
    const Ecriture e(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const int l = Luminance77(p[OR], p[OG], p[OB]);
                p[OB] = uchar(l);
                p[OG] = borne(l + profondeur);
                p[OR] = borne(l + 2 * profondeur);
            }
        }
    });
    return true;
}

bool AjusteTSV(QImage &image, int dh, int ds, int dv, int fils)
{
    if (!prepare(image))
        return true;
    dh = (dh % 360 + 360) % 360;
    const Ecriture e(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const RGBEntiers c = AjustePixelTSV(p[OR], p[OG], p[OB], dh, ds, dv);
                p[OR] = uchar(c.r);
                p[OG] = uchar(c.g);
                p[OB] = uchar(c.b);
            }
        }
    });
    return true;
}

bool AjusteCanaux(QImage &image, int pr, int pg, int pb, int fils)
{
    if (!prepare(image))
        return true;
    TableOctets tr, tg, tb;
    for (int v = 0; v < 256; ++v) {
        tr[size_t(v)] = borne(v * pr / 100);
        tg[size_t(v)] = borne(v * pg / 100);
        tb[size_t(v)] = borne(v * pb / 100);
    }
    appliqueTables(image, tb, tg, tr, fils);
    return true;
}

MasqueMotif MasqueDeForme(int n, int forme)
{
    MasqueMotif masque{};
    n = std::clamp(n, MOTIF_TAILLE_MIN, MOTIF_TAILLE_MAX);
    // The shape is drawn black on white without anti-aliasing, as the mask
    // bitmap is; a cell belongs to the shape when it is no longer white.
    QImage dessin(n, n, QImage::Format_RGB32);
    dessin.fill(0xFFFFFFFFu);
    {
        QPainter p(&dessin);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QPen plume(Qt::black, 1.0);
        const QBrush pinceau(Qt::black);
        const int d = n / 2, q = n / 4, tq = 3 * n / 4;
        const auto polygone = [&](std::initializer_list<QPoint> points) {
            p.setPen(Qt::NoPen);
            p.setBrush(pinceau);
            p.drawPolygon(QPolygon(QList<QPoint>(points)));
        };
        const auto ellipse = [&](int x, int y, int l, int h) {
            p.setPen(plume);
            p.setBrush(pinceau);
            p.drawEllipse(QRectF(x, y, l, h));
        };
        switch (forme) {
        case MotifCercle:
            ellipse(0, 0, n, n);
            break;
        case MotifLosange:
            polygone({{d, 0}, {0, d}, {d, n}, {n, d}});
            break;
        case MotifOctogone:
            polygone({{q, 0}, {0, q}, {0, tq}, {q, n}, {tq, n}, {n, tq}, {n, q}, {tq, 0}});
            break;
        case MotifEtoile:
            polygone({{d, 0}, {0, q}, {d, d}});
            polygone({{0, d}, {q, n}, {d, d}});
            polygone({{d, d}, {d, n}, {n, tq}});
            polygone({{d, d}, {n, d}, {tq, 0}});
            break;
        case MotifCarre:
            polygone({{0, 0}, {0, n}, {n, n}, {n, 0}});
            break;
        case MotifCarreBorde:
            polygone({{1, 1}, {1, n}, {n, n}, {n, 1}});
            break;
        case MotifEtoile2:
            p.setPen(QPen(Qt::black, 3.0));
            p.drawLine(0, 0, n, n);
            p.drawLine(n, 0, 0, n);
            p.drawLine(0, d, n, d);
            p.drawLine(d, 0, d, n);
            break;
        case Motif4Points:
            ellipse(0, 0, d, d);
            ellipse(d, 0, d, d);
            ellipse(0, d, d, d);
            ellipse(d, d, d, d);
            break;
        default:
            break;
        }
    }
    for (int j = 0; j < n; ++j) {
        const QRgb *l = reinterpret_cast<const QRgb *>(dessin.constScanLine(j));
        for (int i = 0; i < n; ++i)
            masque[size_t(j)][size_t(i)] = l[i] != 0xFFFFFFFFu;
    }
    return masque;
}

namespace {

void remplitBloc(const Ecriture &e, int x0, int y0, int largeur, int hauteur, const MasqueMotif &masque,
                 QRgb fond)
{
    // Tiles never overlap, so reading the tile before writing it is the same
    // as reading a copy of the picture.
    uint64_t somme[3] = {0, 0, 0};
    for (int j = 0; j < hauteur; ++j) {
        const uchar *p = e.ligne(y0 + j) + qsizetype(x0) * 4;
        for (int i = 0; i < largeur; ++i, p += 4)
            for (int c = 0; c < 3; ++c)
                somme[c] += p[c];
    }
    const uint64_t n = uint64_t(largeur) * uint64_t(hauteur);
    uchar moyenne[3];
    for (int c = 0; c < 3; ++c)
        moyenne[c] = uchar(std::min<uint64_t>(255, somme[c] / n));
    const uchar arriere[3] = {uchar(qBlue(fond)), uchar(qGreen(fond)), uchar(qRed(fond))};
    for (int j = 0; j < hauteur; ++j) {
        uchar *p = e.ligne(y0 + j) + qsizetype(x0) * 4;
        for (int i = 0; i < largeur; ++i, p += 4) {
            const uchar *v = masque[size_t(j)][size_t(i)] ? moyenne : arriere;
            p[OB] = v[0];
            p[OG] = v[1];
            p[OR] = v[2];
        }
    }
}

} // namespace

void RemplitBloc(QImage &image, int x0, int y0, int largeur, int hauteur, const MasqueMotif &masque,
                 QRgb fond)
{
    if (!prepare(image))
        return;
    const QRect bloc = QRect(x0, y0, std::min(largeur, MOTIF_TAILLE_MAX), std::min(hauteur, MOTIF_TAILLE_MAX))
                           .intersected(image.rect());
    if (bloc.isEmpty() || bloc.topLeft() != QPoint(x0, y0))
        return;
    remplitBloc(Ecriture(image), bloc.x(), bloc.y(), bloc.width(), bloc.height(), masque, fond);
}

bool Motif(QImage &image, int n, QRgb fond, int forme, int fils)
{
    if (!prepare(image))
        return true;
    n = std::clamp(n, MOTIF_TAILLE_MIN, MOTIF_TAILLE_MAX);
    const MasqueMotif masque = MasqueDeForme(n, forme);
    const int w = image.width(), h = image.height();
    const int rangees = (h + n - 1) / n;
    const Ecriture e(image);
    ParBandesDeLignes(rangees, pixelsDe(image), fils, [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r) {
            const int y = r * n;
            const int bh = std::min(n, h - y);
            for (int x = 0; x < w; x += n)
                remplitBloc(e, x, y, std::min(n, w - x), bh, masque, fond);
        }
    });
    return true;
}

bool FiltreMedian(QImage &image, int n, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    // A window of one pixel has no value past the half count: nothing to do.
    if (n < 2 || w < n || h < n)
        return true;
    if (n == 3) {
        // In place, each band keeping the original of the row above.
        const int octets = 4 * (w - 2);
        fenetre3EnPlace(image, fils, [&](const uchar *haut, const uchar *milieu, const uchar *bas, uchar *sortie) {
            thread_local std::unique_ptr<Median3Lignes> calcul;
            if (!calcul || calcul->longueur != octets)
                calcul = std::make_unique<Median3Lignes>(octets);
            calcul->calcule(haut, milieu, bas, sortie);
        });
        return true;
    }
    const QImage copie = image.copy();
    const Lecture src(copie);
    const Ecriture dst(image);
    ParBandesDeLignes(h - n + 1, pixelsDe(image), fils, [&](int y0, int y1) {
        medianGeneral(src, dst, w, n, y0, y1);
    });
    return true;
}

bool TramageFloydSteinberg(QImage &image, bool gris)
{
    if (!prepare(image))
        return true;
    if (gris)
        NiveauxDeGris(image);
    const int w = image.width(), h = image.height();
    const Ecriture e(image);
    // Every pixel is set to black or white, the edges too: the error that
    // would fall outside the picture is dropped. Only B is read; each share
    // of the error is added to B and clamped at once, in scan order. The row
    // below is worked on in a buffer and written when its turn comes.
    std::vector<uchar> bas(size_t(w) + 1);
    std::vector<uchar> courante(size_t(w) + 1);
    const auto ajoute = [](uchar &v, int erreur) { v = borne(v + erreur); };
    {
        const uchar *l = e.ligne(0);
        for (int x = 0; x < w; ++x)
            courante[size_t(x)] = l[x * 4 + OB];
    }
    for (int y = 0; y < h; ++y) {
        const bool suivante = y + 1 < h;
        if (suivante) {
            const uchar *s = e.ligne(y + 1);
            for (int x = 0; x < w; ++x)
                bas[size_t(x)] = s[x * 4 + OB];
        }
        uchar *l = e.ligne(y);
        for (int x = 0; x < w; ++x) {
            const int ancien = courante[size_t(x)];
            const int nouveau = ancien < 128 ? 0 : 255;
            const int erreur = ancien - nouveau;
            l[x * 4 + OB] = l[x * 4 + OG] = l[x * 4 + OR] = uchar(nouveau);
            if (erreur == 0)
                continue;
            if (x + 1 < w)
                ajoute(courante[size_t(x + 1)], erreur * 7 / 16);
            if (!suivante)
                continue;
            if (x > 0)
                ajoute(bas[size_t(x - 1)], erreur * 3 / 16);
            ajoute(bas[size_t(x)], erreur * 5 / 16);
            if (x + 1 < w)
                ajoute(bas[size_t(x + 1)], erreur * 1 / 16);
        }
        std::swap(courante, bas);
    }
    return true;
}

bool TramageOrdonne2x2(QImage &image, bool gris, int fils)
{
    if (!prepare(image))
        return true;
    if (gris)
        NiveauxDeGris(image, fils);
    // Every pixel, an odd last row or column too, by its place in the 2x2 cell.
    static constexpr int seuils[2][2] = {{32, 160}, {222, 96}};
    const int w = image.width();
    const Ecriture e(image);
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            const int *s = seuils[y & 1];
            for (int x = 0; x < w; ++x, p += 4)
                p[OB] = p[OG] = p[OR] = p[OB] < s[x & 1] ? 0 : 255;
        }
    });
    return true;
}

bool TramageOrdonne3x3(QImage &image, bool gris, int fils)
{
    if (!prepare(image))
        return true;
    if (gris)
        NiveauxDeGris(image, fils);
    static constexpr int seuils[3][3] = {{184, 240, 127}, {42, 14, 99}, {155, 70, 212}};
    const int w = image.width();
    const Ecriture e(image);
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *p = e.ligne(y);
            const int *s = seuils[y % 3];
            for (int x = 0; x < w; ++x, p += 4)
                p[OB] = p[OG] = p[OR] = p[OB] >= s[x % 3] ? 255 : 0;
        }
    });
    return true;
}

bool FiltreKuwahara(QImage &image, int n, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    if (n < 2 || w < n || h < n)
        return true;
    const int k = (n - 1) / 2;
    const int q = k + 1;
    const int q2 = q * q;
    // Integer means of a quadrant by table: its sum is at most q²·255.
    std::vector<uchar> moyenne(size_t(q2) * 255 + 1);
    for (int s = 0; s <= q2 * 255; ++s)
        moyenne[size_t(s)] = uchar(s / q2);

    const QImage copie = image.copy();
    const Lecture src(copie);
    const Ecriture dst(image);
    ParBandesDeLignes(h - n + 1, pixelsDe(image) * 8, fils, [&](int y0, int y1) {
        // Column sums of v and v² over q rows, for the quadrants starting at
        // row y (haut) and at row y + k (bas), kept up to date row by row.
        // With the integer mean m, Σ(m − v)² = Σv² − 2mΣv + q²m² exactly.
        const size_t cols = size_t(w) * 3;
        std::vector<int32_t> hautS(cols), basS(cols);
        std::vector<int64_t> hautQ(cols), basQ(cols);
        std::vector<int64_t> pHautS(cols + 3), pBasS(cols + 3), pHautQ(cols + 3), pBasQ(cols + 3);
        const auto compte = [&](int debut, std::vector<int32_t> &s, std::vector<int64_t> &sq) {
            std::fill(s.begin(), s.end(), 0);
            std::fill(sq.begin(), sq.end(), 0);
            for (int r = debut; r < debut + q; ++r) {
                const uchar *l = src.ligne(r);
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c) {
                        const int v = l[x * 4 + c];
                        s[size_t(x * 3 + c)] += v;
                        sq[size_t(x * 3 + c)] += v * v;
                    }
            }
        };
        const auto glisse = [&](int debut, std::vector<int32_t> &s, std::vector<int64_t> &sq) {
            // from rows debut..debut+q−1 to debut+1..debut+q
            const uchar *ancienne = src.ligne(debut);
            const uchar *nouvelle = src.ligne(debut + q);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int a = ancienne[x * 4 + c], b = nouvelle[x * 4 + c];
                    s[size_t(x * 3 + c)] += b - a;
                    sq[size_t(x * 3 + c)] += b * b - a * a;
                }
        };
        // Prefix sums along the row, per channel: p[(x)*3 + c] = Σ over columns < x.
        const auto prefixe = [&](const std::vector<int32_t> &s, const std::vector<int64_t> &sq,
                                 std::vector<int64_t> &ps, std::vector<int64_t> &pq) {
            for (int c = 0; c < 3; ++c) {
                ps[size_t(c)] = 0;
                pq[size_t(c)] = 0;
            }
            for (size_t i = 0; i < cols; ++i) {
                ps[i + 3] = ps[i] + s[i];
                pq[i + 3] = pq[i] + sq[i];
            }
        };
        compte(y0, hautS, hautQ);
        compte(y0 + k, basS, basQ);
        for (int y = y0; y < y1; ++y) {
            if (y > y0) {
                glisse(y - 1, hautS, hautQ);
                glisse(y - 1 + k, basS, basQ);
            }
            prefixe(hautS, hautQ, pHautS, pHautQ);
            prefixe(basS, basQ, pBasS, pBasQ);
            uchar *out = dst.ligne(y + k);
            for (int x = 0; x + n <= w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const size_t gauche = size_t(x * 3 + c), droite = size_t((x + k) * 3 + c);
                    const size_t l = size_t(q) * 3;
                    const int64_t sommes[4] = {
                        pHautS[gauche + l] - pHautS[gauche], pHautS[droite + l] - pHautS[droite],
                        pBasS[gauche + l] - pBasS[gauche], pBasS[droite + l] - pBasS[droite]};
                    const int64_t carres[4] = {
                        pHautQ[gauche + l] - pHautQ[gauche], pHautQ[droite + l] - pHautQ[droite],
                        pBasQ[gauche + l] - pBasQ[gauche], pBasQ[droite + l] - pBasQ[droite]};
                    int64_t meilleure = std::numeric_limits<int64_t>::max();
                    uchar choisie = 0;
                    for (int i = 0; i < 4; ++i) {
                        const int64_t m = moyenne[size_t(sommes[i])];
                        const int64_t variance = carres[i] - 2 * m * sommes[i] + int64_t(q2) * m * m;
                        if (variance < meilleure) {
                            meilleure = variance;
                            choisie = uchar(m);
                        }
                    }
                    out[(x + k) * 4 + c] = choisie;
                }
            }
        }
    });
    return true;
}

bool ContoursCouleur(QImage &image, int seuil, TColor couleur, bool median, int fils)
{
    if (!prepare(image))
        return true;
    const uchar cb = uchar(couleur.blue()), cg = uchar(couleur.green()), cr = uchar(couleur.red());
    contoursEnPlace(image, seuil, median, fils, [&](uchar *p, bool cadre, bool contour) {
        if (cadre || contour) {
            p[OB] = cb;
            p[OG] = cg;
            p[OR] = cr;
        }
    });
    return true;
}

std::pair<int, int> DeplacementExplosion(uint64_t graine, int x, int y, int n)
{
    const uint64_t z = melange(graine + 0x9E3779B97F4A7C15ull * ((uint64_t(uint32_t(y)) << 32 | uint32_t(x)) + 1));
    const uint64_t un = z & 0xFFFFFFFFu, deux = z >> 32;
    return {int((un * uint64_t(n)) >> 32), int((deux * uint64_t(n)) >> 32)};
}

bool Explosion(QImage &image, int n, std::optional<uint64_t> graine, int fils)
{
    const uint64_t g = graine ? *graine
                              : uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    return ExplosionBande(image, n, g, 0, fils);
}

bool ExplosionBande(QImage &image, int n, uint64_t g, int premiereLigne, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    if (n < 1 || w < n || h < n)
        return true;
    const int k = (n - 1) / 2;
    const QImage copie = image.copy();
    const Lecture src(copie);
    const Ecriture dst(image);
    ParBandesDeLignes(h - n + 1, pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uchar *out = dst.ligne(y + k);
            for (int x = 0; x + n <= w; ++x) {
                const auto [dx, dy] = DeplacementExplosion(g, x, y + premiereLigne, n);
                const uchar *s = src.ligne(y + dy) + (x + dx) * 4;
                uchar *p = out + (x + k) * 4;
                p[OB] = s[OB];
                p[OG] = s[OG];
                p[OR] = s[OR];
            }
        }
    });
    return true;
}

bool Bicolore(QImage &image, TColor pourNoir, TColor pourBlanc, int fils)
{
    if (!prepare(image))
        return true;
    const QRgb noir = pourNoir.toQRgb(255), blanc = pourBlanc.toQRgb(255);
    const Ecriture e(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            QRgb *p = reinterpret_cast<QRgb *>(e.ligne(y));
            for (int x = 0; x < w; ++x)
                p[x] = qBlue(p[x]) != 0 ? blanc : noir;
        }
    });
    return true;
}

bool AlphaDepuisLuminance(QImage &image, const QImage &source, int fils)
{
    if (image.isNull() || source.isNull() || image.size() != source.size())
        return false;
    prepare(image);
    const QImage src32 = source.format() == QImage::Format_ARGB32
                             ? source
                             : source.convertToFormat(QImage::Format_ARGB32);
    const Lecture src(src32);
    const Ecriture dst(image);
    const int w = image.width();
    ParBandesDeLignes(image.height(), pixelsDe(image), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uchar *s = src.ligne(y);
            uchar *p = dst.ligne(y);
            for (int x = 0; x < w; ++x, s += 4, p += 4)
                p[OA] = uchar(Luminance77(s[OR], s[OG], s[OB]));
        }
    });
    return true;
}

void TableContraste(TableOctets &table, int pas)
{
    const long long k = arrondiEtendu(pas * 2.56L);
    for (int i = 0; i < 128; ++i)
        table[size_t(i)] = borne64(i - ((128 - i) * k / 256));
    for (int i = 128; i < 256; ++i)
        table[size_t(i)] = borne64(i + ((i - 128) * k / 256));
}

bool Contraste(QImage &image, int pas, int fils)
{
    if (!prepare(image))
        return true;
    TableOctets t;
    TableContraste(t, pas);
    appliqueTables(image, t, t, t, fils);
    return true;
}

bool FlouRadial(QImage &image, int force, int cx, int cy, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    const long double f = (long double)force / (long double)(int64_t(w) * w + int64_t(h) * h);
    // Beyond w + h the disc holds the whole picture: larger radii change nothing.
    const int rayonMax = w + h;
    const auto rayon = [&](int64_t dx, int64_t dy) {
        const long double d2 = (long double)(dx * dx + dy * dy);
        return std::clamp<long long>(arrondiEtendu(d2 * f + 0.5L), 0, rayonMax);
    };
    // The radius grows with the distance: the largest is at a corner, and
    // no disc reaches farther up or down than it.
    long long portee = 0;
    for (const auto &[px, py] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        portee = std::max(portee, rayon(int64_t(cx) - px, int64_t(cy) - py));
    portee = std::min<long long>(portee, h);
    const Ecriture dst(image);

    // Strip by strip, with running sums of B, G, R along each of its rows:
    // a row of the disc is one run.
    const size_t largeurP = size_t(w + 1) * 3;
    std::vector<uint32_t> prefixes;
    // The sums take three times the strip: half-height strips.
    ParBandesAvecContexte(image, int(portee), BordBande::Direct, [&](QImage &bande, int premiere, int b0, int b1) {
    const Lecture src(bande);
    const int lignesBande = bande.height();
    prefixes.resize(largeurP * size_t(lignesBande));
    ParBandesDeLignes(lignesBande, pixelsDe(bande), fils, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint32_t *p = prefixes.data() + largeurP * size_t(y);
            const uchar *l = src.ligne(y);
            p[0] = p[1] = p[2] = 0;
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    p[(x + 1) * 3 + c] = p[x * 3 + c] + l[x * 4 + c];
        }
    });

    lignesAuFil(b0, b1, qsizetype(b1 - b0) * w * 8, fils, [&](int y) {
        thread_local std::vector<int> demiLargeur; // for the last radius met
        thread_local int rayonConnu;
        rayonConnu = -1;
        {
            uchar *out = dst.ligne(y);
            const int64_t dy = int64_t(cy) - y;
            for (int x = 0; x < w; ++x) {
                const long long r = rayon(int64_t(cx) - x, dy);
                if (r == 0)
                    continue; // the pixel alone: its own value
                if (r != rayonConnu) {
                    rayonConnu = int(r);
                    demiLargeur.resize(size_t(r) + 1);
                    for (int j = 0; j <= r; ++j)
                        demiLargeur[size_t(j)] = racineEntiere(r * r - int64_t(j) * j);
                }
                uint64_t somme[3] = {0, 0, 0};
                uint64_t nombre = 0;
                const int jMin = int(std::max<long long>(-r, -y));
                const int jMax = int(std::min<long long>(r, h - 1 - y));
                for (int j = jMin; j <= jMax; ++j) {
                    const int dl = demiLargeur[size_t(std::abs(j))];
                    const int x0 = std::max(0, x - dl), x1 = std::min(w - 1, x + dl);
                    const uint32_t *p = prefixes.data() + largeurP * size_t(y + j - premiere);
                    for (int c = 0; c < 3; ++c)
                        somme[c] += p[(x1 + 1) * 3 + c] - p[x0 * 3 + c];
                    nombre += uint64_t(x1 - x0 + 1);
                }
                for (int c = 0; c < 3; ++c)
                    out[x * 4 + c] = uchar(somme[c] / nombre);
            }
        }
    });
    }, LIGNES_PAR_BANDE / 2, PIXELS_PAR_BANDE / 2);
    return true;
}

bool FlouZoom(QImage &image, int cx, int cy, int pourcentNet, int avant, int apres, float k, int fils)
{
    if (!prepare(image))
        return true;
    const int w = image.width(), h = image.height();
    const long double diagonale = std::sqrt((long double)(int64_t(w) * w + int64_t(h) * h));
    const long long rayon = arrondiEtendu(diagonale * pourcentNet / 100 + 0.5L);
    // A radius of 0 would divide by zero; the weight is then 1 everywhere.
    const long double r2 = rayon == 0 ? 0.0L : (long double)(rayon * rayon);
    const long double kk = k;
    // A sample farther from the centre than every corner (plus the rounding)
    // is off the picture: the walk along the ray is cut there.
    long double dMax = 0;
    for (const auto &[px, py] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}}) {
        const long double ex = (long double)px - cx, ey = (long double)py - cy;
        dMax = std::max(dMax, std::sqrt(ex * ex + ey * ey));
    }
    const long long limite = (long long)dMax + 3;
    // The fixed-point estimate of the positions holds for |τ| below 2^16
    // and centres below 2^20; beyond, every position is worked out exactly.
    const bool pointFixe = limite < (1 << 16) && std::abs(cx) < (1 << 20) && std::abs(cy) < (1 << 20);
    // A sample lies on the ray at most max(|avant|, |apres|) + 1 from the
    // pixel's distance, so at most that plus the rounding from its row.
    const int portee = int(std::min<int64_t>(h, std::max<int64_t>(std::abs(int64_t(avant)), std::abs(int64_t(apres))) + 3));
    const Ecriture dst(image);
    // The extended-precision rounding is costly and meets its halves only in
    // a few places (pixels on the centre's row or column, whole distances).
    // Each rounded value is first estimated in double precision, whose error
    // here stays below 10^-9; only when the estimate lies within 10^-6 of a
    // half is the value worked out in extended precision as written.
    const double r2d = double(r2), kd = double(k);
    const double cxd = cx + 0.5, cyd = cy + 0.5;
    ParBandesAvecContexte(image, portee, BordBande::Direct, [&](QImage &bande, int premiere, int b0, int b1) {
    const Lecture src(bande);
    lignesAuFil(b0, b1, qsizetype(b1 - b0) * w * 16, fils, [&](int y) {
        thread_local std::vector<int32_t> xs, ys;
        {
            uchar *out = dst.ligne(y);
            const int64_t ey = int64_t(y) - cy;
            for (int x = 0; x < w; ++x) {
                const int64_t ex = int64_t(x) - cx;
                const int64_t d2e = ex * ex + ey * ey;
                if (d2e == 0)
                    continue;
                long long a = 0, b = 0;
                const double dd = std::sqrt(double(d2e));
                const double argument = r2d == 0 ? 0.0 : (1 - double(d2e) / r2d) * kd;
                const double omegad = 1 / (std::exp(argument) + 1);
                const bool estime = r2d != 0 && std::fabs(argument) < 700 && std::isfinite(omegad)
                                    && arrondiEstime(dd - avant * omegad + 0.5, a)
                                    && arrondiEstime(apres * omegad + dd + 0.5, b);
                const long double d2 = (long double)d2e;
                const long double d = std::sqrt(d2);
                if (!estime) {
                    const long double omega = r2 == 0 ? 1.0L : 1 / (std::exp((1 - d2 / r2) * kk) + 1);
                    if (std::isnan(omega))
                        continue;
                    a = arrondiEtendu(d - avant * omega + 0.5L);
                    b = arrondiEtendu(apres * omega + d + 0.5L);
                }
                a = std::max(a, -limite);
                b = std::min(b, limite);
                uint32_t sb = 0, sg = 0, sr = 0, nombre = 0;
                const int n = int(std::max<long long>(0, b - a + 1));
                if (n == 0)
                    continue;
                xs.resize(size_t(n));
                ys.resize(size_t(n));
                // On the centre's row or column that coordinate is the same
                // for every sample (0·τ/d is 0), exactly half-way: worked out once.
                const long double fx = (long double)ex, fy = (long double)ey;
                const auto exact = [&](long double f, int c, long long t) {
                    return int32_t(arrondiEtendu(f * t / d + c + 0.5L));
                };
                if (ex == 0)
                    std::fill(xs.begin(), xs.end(), exact(0, cx, 0));
                else if (!pointFixe || positionsRayon(double(ex) / dd, cxd, a, n, xs.data()))
                    for (int i = 0; i < n; ++i)
                        if (!pointFixe || positionDouteuse(double(ex) / dd, cxd, a + i))
                            xs[size_t(i)] = exact(fx, cx, a + i);
                if (ey == 0)
                    std::fill(ys.begin(), ys.end(), exact(0, cy, 0));
                else if (!pointFixe || positionsRayon(double(ey) / dd, cyd, a, n, ys.data()))
                    for (int i = 0; i < n; ++i)
                        if (!pointFixe || positionDouteuse(double(ey) / dd, cyd, a + i))
                            ys[size_t(i)] = exact(fy, cy, a + i);
                for (int i = 0; i < n; ++i) {
                    const int32_t sx = xs[size_t(i)], sy = ys[size_t(i)];
                    if (uint32_t(sx) >= uint32_t(w) || uint32_t(sy) >= uint32_t(h))
                        continue;
                    const uchar *p = src.ligne(sy - premiere) + sx * 4;
                    sb += p[0];
                    sg += p[1];
                    sr += p[2];
                    ++nombre;
                }
                if (nombre == 0)
                    continue;
                out[x * 4 + OB] = uchar(sb / nombre);
                out[x * 4 + OG] = uchar(sg / nombre);
                out[x * 4 + OR] = uchar(sr / nombre);
            }
        }
    });
    });
    return true;
}
