// The device-connection pictures.
#include "resources/artgen/art_appareil.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kCote = 42;
constexpr int kNbImages = 16;

void dessineImage(QPainter &p, int k)
{
    p.save();
    p.translate(k * kCote, 0);
    // The handheld.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.setBrush(QColor(0x50, 0x58, 0x60));
    p.drawRoundedRect(QRectF(13, 7, 16, 28), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0xD8, 0xFF));
    p.drawRect(QRectF(15.5, 10, 11, 15));
    // The signal: a bright dot going round with a fading tail.
    for (int t = 0; t < 4; ++t) {
        const double a = -M_PI / 2 + (k - t) * 2 * M_PI / kNbImages;
        const double cx = kCote / 2.0 + 17 * std::cos(a), cy = kCote / 2.0 + 17 * std::sin(a);
        p.setBrush(QColor(0x10, 0xB0, 0x30, 255 - t * 60));
        p.drawEllipse(QPointF(cx, cy), 3.2 - t * 0.5, 3.2 - t * 0.5);
    }
    p.restore();
}

} // namespace

bool writeAs16Img(const QString &path)
{
    QImage img(kCote * kNbImages, kCote, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < kNbImages; ++k)
        dessineImage(p, k);
    p.end();
    return img.save(path, "PNG");
}
