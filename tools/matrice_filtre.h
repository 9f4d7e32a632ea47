#pragma once

#include "theme/couleur.h"
#include "tools/bandes_lignes.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

// Pixel filters on 32-bit pictures (QImage::Format_ARGB32, bytes B, G, R, A).
// Each filter works in place on the picture it is given and keeps no state;
// a picture in another format is converted to ARGB32 first. Unless a filter
// says otherwise only B, G and R are written and A keeps its value.
// Filters that read neighbours read the original values (a copy of a strip
// of rows, or of the rows a band needs); their windows never leave the
// picture, so a band along each edge keeps its value.
// Row bands run on threads where the result stays the same (`fils`, see
// bandes_lignes.h); Floyd-Steinberg is sequential by nature.

// A 3x3 convolution: nine coefficients in row order, a divisor and an offset.
// A new matrix is the identity.
class ConvMatrix
{
public:
    ConvMatrix();
    void Remplir(int32_t valeur); // all nine coefficients; divisor and offset stay
    int32_t &coefficient(int colonne, int ligne) { return coefficients[ligne * 3 + colonne]; }
    int32_t coefficient(int colonne, int ligne) const { return coefficients[ligne * 3 + colonne]; }

    std::array<int32_t, 9> coefficients{};
    int32_t diviseur = 1;
    int32_t decalage = 0;
};

// Grey level with the weights 79, 156, 21 and luminance with 77, 150, 29.
constexpr int NiveauGris79(int r, int g, int b) { return (79 * r + 156 * g + 21 * b) >> 8; }
constexpr int Luminance77(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

// Interior only; False (picture unchanged) when the divisor is 0.
bool FiltreConvolution(QImage &image, const ConvMatrix &m, int fils = FILS_AUTO);
bool NiveauxDeGris(QImage &image, int fils = FILS_AUTO);
// Sharpening against a blur of centre weight c: v = (p − blur)·a + p.
bool Accentuation(QImage &image, int centre, int quantite, int fils = FILS_AUTO);
// White picture with the edges in `bord` and a black frame (opaque).
bool DetectionContours(QImage &image, int seuil, TColor bord, bool median, int fils = FILS_AUTO);
bool Sepia(QImage &image, int profondeur, int fils = FILS_AUTO);

struct TSV { int h = 0, s = 0, v = 0; };
struct RGBEntiers { int r = 0, g = 0, b = 0; };
inline TSV RGBversTSV(int r, int g, int b)
{
    TSV t;
    t.v = std::max(r, std::max(g, b));
    const int m = std::min(r, std::min(g, b));
    const int delta = t.v - m;
    t.s = t.v > 0 ? delta * 255 / t.v : 0;
    if (t.s == 0)
        return t;
    if (r == t.v)
        t.h = (g - b) * 60 / delta;
    else if (g == t.v)
        t.h = (b - r) * 60 / delta + 120;
    else
        t.h = (r - g) * 60 / delta + 240;
    if (t.h < 0)
        t.h += 360;
    return t;
}

inline RGBEntiers TSVversRGB(int h, int s, int v)
{
    if (s == 0)
        return {v, v, v};
    if (h < 0 || h > 360)
        h = (h % 360 + 360) % 360;
    if (h == 360)
        h = 0;
    const int f = h % 60;
    const int secteur = h / 60;
    const int p = v - v * s / 255;
    const int q = v - v * s * f / 15300;
    const int t = v - v * s * (60 - f) / 15300;
    switch (secteur) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

// The HSV adjustment of one colour; dh already in 0..359.
inline RGBEntiers AjustePixelTSV(int r, int g, int b, int dh, int ds, int dv)
{
    TSV t = RGBversTSV(r, g, b);
    t.h += dh;
    if (t.h > 360)
        t.h -= 360;
    t.s = std::clamp(t.s * (100 + ds) / 100, 0, 255);
    t.v = std::clamp(t.v * (100 + dv) / 100, 0, 255);
    return TSVversRGB(t.h, t.s, t.v);
}

// Hue shift 0..359 (other values are brought into that range), saturation
// and value percentages −100..100.
bool AjusteTSV(QImage &image, int dh, int ds, int dv, int fils = FILS_AUTO);
bool AjusteCanaux(QImage &image, int pr, int pg, int pb, int fils = FILS_AUTO);

// Shapes of the mosaic, in the order of its item list.
enum FormeMotif { MotifCercle, MotifLosange, MotifOctogone, MotifEtoile, MotifCarre,
                  MotifCarreBorde, MotifEtoile2, Motif4Points };
constexpr int MOTIF_TAILLE_MIN = 2;
constexpr int MOTIF_TAILLE_MAX = 50; // the mask is kept as a 50x50 array

// The n×n mask of a shape, true where the shape covers the cell (row-major).
// A shape index outside 0..7 gives an empty mask.
using MasqueMotif = std::array<std::array<bool, MOTIF_TAILLE_MAX>, MOTIF_TAILLE_MAX>; // [j][i]
MasqueMotif MasqueDeForme(int n, int forme);
// One tile of the mosaic: its mean colour where the mask is set, the
// background elsewhere (the mask's top-left part for a narrow tile).
void RemplitBloc(QImage &image, int x0, int y0, int largeur, int hauteur, const MasqueMotif &masque,
                 QRgb fond);
// Block size n is brought into 2..50; background as ARGB.
bool Motif(QImage &image, int n, QRgb fond, int forme, int fils = FILS_AUTO);

// Per-channel median: the first value whose running count exceeds (n·n+1) div 2.
bool FiltreMedian(QImage &image, int n, int fils = FILS_AUTO);
// Black and white dithers of the whole picture, edges included (on B, after
// the grey when asked); the error diffusion drops what falls outside.
bool TramageFloydSteinberg(QImage &image, bool gris);
bool TramageOrdonne2x2(QImage &image, bool gris, int fils = FILS_AUTO);
bool TramageOrdonne3x3(QImage &image, bool gris, int fils = FILS_AUTO);
bool FiltreKuwahara(QImage &image, int n, int fils = FILS_AUTO);
// Edges of DetectionContours (black) painted in `couleur` over the picture.
bool ContoursCouleur(QImage &image, int seuil, TColor couleur, bool median, int fils = FILS_AUTO);

// The displacement of the explosion for the window at (x, y): dx then dy, each
// uniform in 0..n−1, drawn from a generator keyed by the seed and the place,
// so that bands can run on threads and give the same picture.
std::pair<int, int> DeplacementExplosion(uint64_t graine, int x, int y, int n);
// Seeded from the clock when no seed is given.
bool Explosion(QImage &image, int n, std::optional<uint64_t> graine = std::nullopt, int fils = FILS_AUTO);
// The explosion of a strip of rows of a taller picture, the strip's first
// row being row `premiereLigne` of it: the displacements are the taller
// picture's, so strips give the same bytes as the whole picture.
bool ExplosionBande(QImage &image, int n, uint64_t graine, int premiereLigne, int fils = FILS_AUTO);

// Every pixel the opaque `pourBlanc` when its B is not 0, else the opaque `pourNoir`.
bool Bicolore(QImage &image, TColor pourNoir, TColor pourBlanc, int fils = FILS_AUTO);
// A := L77 of the source pixel; False (nothing changed) when the sizes differ.
bool AlphaDepuisLuminance(QImage &image, const QImage &source, int fils = FILS_AUTO);

using TableOctets = std::array<uint8_t, 256>;
void TableContraste(TableOctets &table, int pas);
bool Contraste(QImage &image, int pas, int fils = FILS_AUTO);

// Blur over a disc whose radius grows with the squared distance from (cx, cy).
bool FlouRadial(QImage &image, int force, int cx, int cy, int fils = FILS_AUTO);
// Zoom blur along rays from (cx, cy); k is the transition of the weight.
bool FlouZoom(QImage &image, int cx, int cy, int pourcentNet, int avant, int apres, float k,
              int fils = FILS_AUTO);
