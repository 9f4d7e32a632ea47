// The start-up pictures: the tap-and-hold dots animation and the pictures of
// the colour-set tool buttons.
#include "resources/artgen/art_demarrage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gif_lib.h>

#include <cmath>
#include <vector>

namespace {

// The dots are exactly this blue ($800000 as the theme stores it): the
// animation recolours them into the "Tap-and-hold dots" colour and every
// other pixel into the window's colour.
constexpr GifColorType kPoint{0x00, 0x00, 0x80};
constexpr GifColorType kFond{0xFF, 0xFF, 0xFF};
constexpr int kCote = 42;
constexpr int kNbPoints = 8;
constexpr int kDelaiCentiemes = 12;

// Frame k: the first k + 1 dots of a ring, each a solid disc (no smoothing,
// so that every dot pixel keeps the exact blue).
std::vector<GifByteType> image(int k)
{
    std::vector<GifByteType> px(kCote * kCote, 0);
    const double c = (kCote - 1) / 2.0, rayon = 14.0, r = 3.2;
    for (int d = 0; d <= k; ++d) {
        const double a = -M_PI / 2 + d * 2 * M_PI / kNbPoints;
        const double cx = c + rayon * std::cos(a), cy = c + rayon * std::sin(a);
        for (int y = 0; y < kCote; ++y)
            for (int x = 0; x < kCote; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    px[y * kCote + x] = 1;
    }
    return px;
}

} // namespace

bool writePointsGif(const QString &path)
{
    int err = 0;
    GifFileType *gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &err);
    if (!gif)
        return false;
    EGifSetGifVersion(gif, true);
    const GifColorType couleurs[2] = {kFond, kPoint};
    ColorMapObject *palette = GifMakeMapObject(2, couleurs);
    bool ok = palette && EGifPutScreenDesc(gif, kCote, kCote, 1, 0, palette) == GIF_OK;

    // Loop forever.
    static const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType boucle[] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
         && EGifPutExtensionBlock(gif, sizeof netscape, netscape) == GIF_OK
         && EGifPutExtensionBlock(gif, sizeof boucle, boucle) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;

    for (int k = 0; ok && k < kNbPoints; ++k) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.DelayTime = k == kNbPoints - 1 ? 4 * kDelaiCentiemes : kDelaiCentiemes;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        std::vector<GifByteType> px = image(k);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_OK
             && EGifPutImageDesc(gif, 0, 0, kCote, kCote, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < kCote; ++y)
            ok = EGifPutLine(gif, px.data() + y * kCote, kCote) == GIF_OK;
    }
    GifFreeMapObject(palette);
    return EGifCloseFile(gif, &err) == GIF_OK && ok;
}

namespace {

// A small palette of four colour chips with an arrow going in (load) or out (save).
bool boutonCouleurs(const QString &path, bool entree)
{
    QImage img(42, 42, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0xF4, 0xEE, 0xE0));
    p.drawRoundedRect(QRectF(3, 12, 26, 26), 4, 4);
    const QColor puces[] = {QColor(0xE3, 0x2E, 0x2E), QColor(0x2E, 0x97, 0xE3), QColor(0x3C, 0xB3, 0x4A),
                            QColor(0xF2, 0xC1, 0x1D)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(puces[i]);
        p.drawEllipse(QRectF(7 + (i % 2) * 10, 16 + (i / 2) * 10, 8, 8));
    }
    QPainterPath fleche;
    if (entree) { // down into the palette
        fleche.moveTo(33, 3);
        fleche.lineTo(33, 17);
        fleche.lineTo(28, 17);
        fleche.lineTo(35.5, 26);
        fleche.lineTo(43, 17);
        fleche.lineTo(38, 17);
        fleche.lineTo(38, 3);
    } else { // up out of the palette
        fleche.moveTo(33, 26);
        fleche.lineTo(33, 12);
        fleche.lineTo(28, 12);
        fleche.lineTo(35.5, 3);
        fleche.lineTo(43, 12);
        fleche.lineTo(38, 12);
        fleche.lineTo(38, 26);
    }
    fleche.closeSubpath();
    p.setBrush(entree ? QColor(0x1B, 0x85, 0xD2) : QColor(0x2E, 0x9E, 0x4F));
    p.drawPath(fleche);
    p.end();
    return img.save(path, "PNG");
}

} // namespace

bool writeCoulIn(const QString &path) { return boutonCouleurs(path, true); }
bool writeCoulOut(const QString &path) { return boutonCouleurs(path, false); }
