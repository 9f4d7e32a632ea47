// The create-state pictures, the WM5 marker and the strip of state icons.
#include "resources/artgen/art_etat.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kTuile = 42;
constexpr int kNbTuiles = 18;

QImage toile(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

bool feu(const QString &path, bool vert)
{
    QImage img = toile(21, 42);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.setBrush(QColor(0x38, 0x3C, 0x42));
    p.drawRoundedRect(QRectF(1.5, 1.5, 18, 39), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(vert ? QColor(0x50, 0x18, 0x18) : QColor(0xF0, 0x28, 0x20));
    p.drawEllipse(QPointF(10.5, 12), 6, 6);
    p.setBrush(vert ? QColor(0x20, 0xE0, 0x40) : QColor(0x18, 0x48, 0x20));
    p.drawEllipse(QPointF(10.5, 30), 6, 6);
    p.end();
    return img.save(path, "PNG");
}

bool coche(const QString &path, bool oui)
{
    QImage img = toile(24, 24);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    if (oui) {
        p.setPen(QPen(QColor(0x10, 0x90, 0x30), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath trait;
        trait.moveTo(4, 13);
        trait.lineTo(10, 19);
        trait.lineTo(20, 5);
        p.drawPath(trait);
    } else {
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
    }
    p.end();
    return img.save(path, "PNG");
}

// A handheld in the middle of a tile, its screen in the given colour.
void appareil(QPainter &p, QColor ecran)
{
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.setBrush(QColor(0x50, 0x58, 0x60));
    p.drawRoundedRect(QRectF(13, 7, 16, 28), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(ecran);
    p.drawRect(QRectF(15.5, 10, 11, 15));
}

void tuile(QPainter &p, int k)
{
    p.save();
    p.translate(k * kTuile, 0);
    switch (k) {
    case 2: // the image chooser
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        p.setBrush(QColor(0xFF, 0xF4, 0xD0));
        p.drawRect(QRectF(6, 9, 30, 24));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x90, 0x30));
        p.drawPolygon(QPolygonF({QPointF(8, 31), QPointF(18, 17), QPointF(26, 31)}));
        p.setBrush(QColor(0xF0, 0xA0, 0x10));
        p.drawEllipse(QPointF(29, 16), 3.5, 3.5);
        break;
    case 9: // device information
        appareil(p, QColor(0x9C, 0xD8, 0xFF));
        p.setPen(QPen(QColor(0x10, 0x40, 0xC0), 2.5));
        p.drawLine(QPointF(21, 15), QPointF(21, 22));
        p.drawPoint(QPointF(21, 12));
        break;
    case 11: appareil(p, QColor(0x9C, 0xD8, 0xFF)); break; // active
    case 12: // closed, inactive or in error
        appareil(p, QColor(0x70, 0x70, 0x70));
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 9), QPointF(33, 33));
        break;
    case 14: { // missing: no device library, so only the outline of a handheld
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5, Qt::DashLine));
        p.setBrush(QColor(0xF4, 0xF4, 0xF4, 0x90));
        p.drawRoundedRect(QRectF(13, 7, 16, 28), 3, 3);
        // A question mark on the empty screen, drawn without a font.
        p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath question;
        question.moveTo(17.5, 14);
        question.cubicTo(17.5, 9.5, 24.5, 9.5, 24.5, 14);
        question.cubicTo(24.5, 17, 21, 17, 21, 20.5);
        p.drawPath(question);
        p.drawPoint(QPointF(21, 25));
        break;
    }
    case 15: // listening
        appareil(p, QColor(0xC8, 0xC8, 0xC8));
        p.setPen(QPen(QColor(0x10, 0x80, 0xD0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4, 4, 34, 34), 30 * 16, 120 * 16);
        break;
    case 16: // answering
        appareil(p, QColor(0xFF, 0xE8, 0x90));
        break;
    case 17: // disconnected
        appareil(p, QColor(0x70, 0x70, 0x70));
        p.setPen(QPen(QColor(0xE0, 0x90, 0x10), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 38), QPointF(36, 38));
        break;
    default: appareil(p, QColor(0xB0, 0xB0, 0xB0)); break;
    }
    p.restore();
}

} // namespace

bool writeFeuRouge(const QString &path) { return feu(path, false); }
bool writeFeuVert(const QString &path) { return feu(path, true); }
bool writeCoche(const QString &path) { return coche(path, true); }
bool writeCocheNon(const QString &path) { return coche(path, false); }

bool writeWm5(const QString &path)
{
    QImage img = toile(42, 21);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x12, 0x57, 0xB1));
    p.drawRoundedRect(QRectF(1, 1, 40, 19), 4, 4);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    // "WM5" in blocks, readable without any font.
    const double y = 5, h = 11;
    for (double x : {5.0, 9.0, 13.0})
        p.drawRect(QRectF(x, y + (x == 9.0 ? 4 : 0), 2, h - (x == 9.0 ? 4 : 0)));
    p.drawRect(QRectF(5, y + h - 2, 10, 2));
    for (double x : {18.0, 26.0})
        p.drawRect(QRectF(x, y, 2, h));
    p.drawRect(QRectF(18, y, 10, 2));
    p.drawRect(QRectF(22, y, 2, h - 4));
    p.drawRect(QRectF(31, y, 7, 2));
    p.drawRect(QRectF(31, y, 2, 6));
    p.drawRect(QRectF(31, y + 4, 7, 2));
    p.drawRect(QRectF(36, y + 4, 2, 7));
    p.drawRect(QRectF(31, y + h - 2, 7, 2));
    p.end();
    return img.save(path, "PNG");
}

bool writeUneLigneImg(const QString &path)
{
    QImage img = toile(kTuile * kNbTuiles, kTuile);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < kNbTuiles; ++k)
        tuile(p, k);
    p.end();
    return img.save(path, "PNG");
}
