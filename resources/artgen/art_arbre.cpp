#include "resources/artgen/art_arbre.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

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
