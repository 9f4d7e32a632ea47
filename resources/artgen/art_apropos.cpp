// The about box's switch and logo, the site window's watermark and flags.
#include "resources/artgen/art_apropos.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QImage toile(int l, int h)
{
    QImage img(l, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A rocker switch seen from the front, 40 x 50: the lever up when on.
bool interrupteur(const QString &path, bool on)
{
    QImage img = toile(40, 50);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient socle(0, 0, 40, 0);
    socle.setColorAt(0, QColor(0x9A, 0x9A, 0xA4));
    socle.setColorAt(0.5, QColor(0xE4, 0xE4, 0xEA));
    socle.setColorAt(1, QColor(0x7A, 0x7A, 0x84));
    p.setPen(QPen(QColor(0x40, 0x40, 0x48), 1.5));
    p.setBrush(socle);
    p.drawRoundedRect(QRectF(3, 2, 34, 46), 6, 6);
    // The slot and the lever.
    p.setBrush(QColor(0x30, 0x30, 0x36));
    p.drawRoundedRect(QRectF(13, 9, 14, 32), 4, 4);
    const QColor levier = on ? QColor(0x2E, 0xB8, 0x4A) : QColor(0xC8, 0x32, 0x28);
    QLinearGradient g(13, 0, 27, 0);
    g.setColorAt(0, levier.lighter(140));
    g.setColorAt(1, levier.darker(130));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.drawRoundedRect(on ? QRectF(14, 10, 12, 16) : QRectF(14, 24, 12, 16), 3, 3);
    p.end();
    return img.save(path, "PNG");
}

// Horizontal or vertical bands of a 24 x 16 flag.
bool drapeau(const QString &path, std::initializer_list<QColor> bandes, bool verticales)
{
    QImage img(24, 16, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    const int n = int(bandes.size());
    int i = 0;
    for (const QColor &c : bandes) {
        if (verticales)
            p.fillRect(QRect(i * 24 / n, 0, (i + 1) * 24 / n - i * 24 / n, 16), c);
        else
            p.fillRect(QRect(0, i * 16 / n, 24, (i + 1) * 16 / n - i * 16 / n), c);
        ++i;
    }
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawRect(0, 0, 23, 15);
    p.end();
    return img.save(path, "PNG");
}

} // namespace

bool writeSwitchOff(const QString &path)
{
    return interrupteur(path, false);
}

bool writeSwitchOn(const QString &path)
{
    return interrupteur(path, true);
}

// A "Z" in a round badge.
bool writeLogoZantiq(const QString &path)
{
    QImage img = toile(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(24, 20), 44);
    g.setColorAt(0, QColor(0xF7, 0xDF, 0xD6));
    g.setColorAt(1, QColor(0x21, 0x56, 0xB8));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x18, 0x30, 0x60), 2));
    p.drawEllipse(QRectF(3, 3, 58, 58));
    QPainterPath z;
    z.moveTo(18, 18);
    z.lineTo(46, 18);
    z.lineTo(22, 44);
    z.lineTo(46, 44);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(z);
    p.end();
    return img.save(path, "PNG");
}

// A pocket device with a few theme colours on its screen, 236 x 268.
bool writeFiligraneZantiq(const QString &path)
{
    QImage img(236, 268, QImage::Format_RGB32);
    img.fill(QColor(0xFF, 0xFF, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x50, 0x58, 0x68));
    p.setPen(QPen(QColor(0x20, 0x24, 0x30), 3));
    p.drawRoundedRect(QRectF(38, 10, 160, 248), 18, 18);
    p.setPen(Qt::NoPen);
    QLinearGradient ecran(0, 30, 0, 200);
    ecran.setColorAt(0, QColor(0x21, 0x56, 0xB8));
    ecran.setColorAt(1, QColor(0xF7, 0xDF, 0xD6));
    p.setBrush(ecran);
    p.drawRect(QRectF(54, 34, 128, 170));
    p.setBrush(QColor(0x10, 0x30, 0x80));
    p.drawRect(QRectF(54, 34, 128, 14));
    p.setBrush(QColor(0xD0, 0xD4, 0xDC));
    p.drawEllipse(QRectF(102, 216, 32, 32));
    p.end();
    return img.save(path, "JPEG", 90);
}

bool writeDrapeauFr(const QString &path)
{
    return drapeau(path, {QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xED, 0x29, 0x39)}, true);
}

// A plain blue field with a red and white cross stands for English.
bool writeDrapeauEn(const QString &path)
{
    QImage img(24, 16, QImage::Format_ARGB32);
    img.fill(QColor(0x01, 0x21, 0x69));
    QPainter p(&img);
    p.fillRect(QRect(9, 0, 6, 16), Qt::white);
    p.fillRect(QRect(0, 5, 24, 6), Qt::white);
    p.fillRect(QRect(10, 0, 4, 16), QColor(0xC8, 0x10, 0x2E));
    p.fillRect(QRect(0, 6, 24, 4), QColor(0xC8, 0x10, 0x2E));
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawRect(0, 0, 23, 15);
    p.end();
    return img.save(path, "PNG");
}

bool writeDrapeauIt(const QString &path)
{
    return drapeau(path, {QColor(0x00, 0x92, 0x46), Qt::white, QColor(0xCE, 0x2B, 0x37)}, true);
}

bool writeDrapeauEs(const QString &path)
{
    return drapeau(path, {QColor(0xAA, 0x15, 0x1B), QColor(0xF1, 0xBF, 0x00), QColor(0xF1, 0xBF, 0x00),
                          QColor(0xAA, 0x15, 0x1B)},
                   false);
}

bool writeDrapeauDe(const QString &path)
{
    return drapeau(path, {Qt::black, QColor(0xDD, 0x00, 0x00), QColor(0xFF, 0xCE, 0x00)}, false);
}
