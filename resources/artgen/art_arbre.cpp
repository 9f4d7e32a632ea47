#include "resources/artgen/art_arbre.h"

#include <QImage>
#include <QPainter>
#include <QLinearGradient>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor kFond(255, 0, 255); // the strip's transparent colour

void dossier(QPainter &p, int x)
{
    p.setPen(QColor(0x80, 0x60, 0x10));
    p.setBrush(QColor(0xF4, 0xC8, 0x4A));
    p.drawRect(x + 1, 4, 13, 9);
    p.drawRect(x + 1, 2, 5, 2);
}

void paquet(QPainter &p, int x, const QColor &couleur)
{
    p.setPen(QColor(0x10, 0x30, 0x60));
    p.setBrush(couleur);
    p.drawRect(x + 3, 1, 9, 13);
    p.setBrush(QColor(0xB8, 0xE8, 0xFF));
    p.drawRect(x + 5, 3, 5, 6);
}

QImage bouton()
{
    QImage img(42, 42, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

} // namespace

bool writeUneLigneArbre(const QString &path)
{
    QImage img(48, 16, QImage::Format_ARGB32);
    img.fill(kFond);
    QPainter p(&img);
    dossier(p, 0);
    paquet(p, 16, QColor(0x12, 0x57, 0xB1));
    paquet(p, 32, QColor(0xE3, 0x3E, 0x2E));
    p.end();
    return img.save(path, "PNG");
}

bool writeArbreExp(const QString &path)
{
    QImage img = bouton();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x12, 0x57, 0xB1), 3));
    p.drawLine(10, 8, 10, 34);
    for (int y : {12, 22, 32}) {
        p.drawLine(10, y, 20, y);
        p.fillRect(21, y - 3, 12, 7, QColor(0xF4, 0xC8, 0x4A));
    }
    p.end();
    return img.save(path, "PNG");
}

namespace {
bool coche(const QString &path, const QColor &couleur)
{
    QImage img = bouton();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(couleur, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath c;
    c.moveTo(8, 22);
    c.lineTo(17, 32);
    c.lineTo(34, 10);
    p.drawPath(c);
    p.end();
    return img.save(path, "PNG");
}
} // namespace

bool writeArbreVal(const QString &path) { return coche(path, QColor(0x1B, 0x9B, 0x2E)); }
bool writeArbreValGris(const QString &path) { return coche(path, QColor(0xA0, 0xA0, 0xA0)); }

bool writeArbreQuit(const QString &path)
{
    QImage img = bouton();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xC8, 0x20, 0x20), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(10, 10, 32, 32);
    p.drawLine(32, 10, 10, 32);
    p.end();
    return img.save(path, "PNG");
}

bool writeInterdit(const QString &path)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xD0, 0x10, 0x10), 2.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.end();
    return img.save(path, "PNG");
}

namespace {

QImage icone32()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A theme package: a blue box with a light screen and a gold band.
void paquet32(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(0x10, 0x30, 0x60), 1.2));
    p.setBrush(QColor(0x12, 0x57, 0xB1));
    p.drawRoundedRect(r, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB8, 0xE8, 0xFF));
    p.drawRect(r.adjusted(r.width() * 0.22, r.height() * 0.14, -r.width() * 0.22, -r.height() * 0.42));
    p.setBrush(QColor(0xF4, 0xC8, 0x4A));
    p.drawRect(QRectF(r.left(), r.bottom() - r.height() * 0.24, r.width(), r.height() * 0.12));
}

// A Pocket PC: dark body, screen with the theme's blue gradient.
void pocketPc(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(0x20, 0x20, 0x28), 1.2));
    p.setBrush(QColor(0x50, 0x54, 0x60));
    p.drawRoundedRect(r, 3, 3);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0x2E, 0x97, 0xE3));
    g.setColorAt(1, QColor(0x12, 0x57, 0xB1));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(r.adjusted(2.5, 3, -2.5, -r.height() * 0.28));
    p.setBrush(QColor(0xC0, 0xC4, 0xCC));
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - r.height() * 0.14), 2.2, 2.2);
}

} // namespace

bool writeTskArbre(const QString &path)
{
    QImage img = icone32();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The tree's trunk and branches, a folder on each, the package last.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.drawLine(QPointF(5, 6), QPointF(5, 25));
    p.drawLine(QPointF(5, 12), QPointF(10, 12));
    p.drawLine(QPointF(5, 25), QPointF(14, 25));
    p.setPen(QColor(0x80, 0x60, 0x10));
    p.setBrush(QColor(0xF4, 0xC8, 0x4A));
    p.drawRect(QRectF(1, 1, 10, 7));
    p.drawRect(QRectF(10, 8, 10, 7));
    paquet32(p, QRectF(15, 14, 15, 17));
    p.end();
    return img.save(path, "PNG");
}

bool writeTskAs(const QString &path)
{
    QImage img = icone32();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paquet32(p, QRectF(1, 2, 12, 14));
    pocketPc(p, QRectF(17, 6, 14, 25));
    // The arrow from the package to the device.
    p.setPen(QPen(QColor(0x1B, 0x9B, 0x2E), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(7, 19), QPointF(7, 25));
    p.drawLine(QPointF(7, 25), QPointF(14, 25));
    p.drawLine(QPointF(11, 22), QPointF(14, 25));
    p.drawLine(QPointF(11, 28), QPointF(14, 25));
    p.end();
    return img.save(path, "PNG");
}

bool writeTskImg(const QString &path)
{
    QImage img = icone32();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paquet32(p, QRectF(16, 15, 15, 16));
    // A picture in its frame: sky, sun and two hills.
    const QRectF cadre(1, 2, 22, 18);
    p.setPen(QPen(QColor(0x5A, 0x3A, 0x10), 1.5));
    p.setBrush(QColor(0x9C, 0xD4, 0xF4));
    p.drawRect(cadre);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF8, 0xD0, 0x30));
    p.drawEllipse(QPointF(17, 7), 2.5, 2.5);
    QPainterPath collines;
    collines.moveTo(2, 19);
    collines.lineTo(9, 10);
    collines.lineTo(14, 15);
    collines.lineTo(17, 12);
    collines.lineTo(22, 19);
    collines.closeSubpath();
    p.setBrush(QColor(0x2E, 0x8B, 0x3A));
    p.drawPath(collines);
    p.end();
    return img.save(path, "PNG");
}

bool writeTskAct(const QString &path)
{
    QImage img = icone32();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    pocketPc(p, QRectF(6, 1, 20, 30));
    // The star of the theme in use.
    QPainterPath etoile;
    const QPointF c(22, 22);
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = i % 2 ? 3.2 : 8.0;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            etoile.moveTo(pt);
        else
            etoile.lineTo(pt);
    }
    etoile.closeSubpath();
    p.setPen(QPen(QColor(0x90, 0x60, 0x00), 1));
    p.setBrush(QColor(0xFF, 0xD0, 0x30));
    p.drawPath(etoile);
    p.end();
    return img.save(path, "PNG");
}
