// Pictures of the package tool buttons and of the dropper. The same small
// vocabulary as the colour-set buttons: a rounded object with a coloured
// arrow or mark, dark outlines.
#include "resources/artgen/art_boutons.h"
#include "resources/artgen/art_commun.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

using ArtCommun::fleche;
using ArtCommun::paquet;
using ArtCommun::texte;
const QColor &kTrait = ArtCommun::Trait;

QImage toile(int cote)
{
    QImage img(cote, cote, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

// A sheet of paper with a folded corner.
void feuille(QPainter &p, QRectF r)
{
    QPainterPath f;
    f.moveTo(r.topLeft());
    f.lineTo(r.right() - 8, r.top());
    f.lineTo(r.right(), r.top() + 8);
    f.lineTo(r.bottomRight());
    f.lineTo(r.bottomLeft());
    f.closeSubpath();
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(QColor(0xFC, 0xFC, 0xF6));
    p.drawPath(f);
    p.setBrush(QColor(0xDD, 0xDD, 0xD2));
    QPainterPath coin;
    coin.moveTo(r.right() - 8, r.top());
    coin.lineTo(r.right() - 8, r.top() + 8);
    coin.lineTo(r.right(), r.top() + 8);
    coin.closeSubpath();
    p.drawPath(coin);
}

bool enregistre(QPainter &p, QImage &img, const QString &path)
{
    p.end();
    return img.save(path, "PNG");
}

} // namespace

bool writeLireTsk(const QString &path)
{
    QImage img = toile(42);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // An open folder with the package coming out of it.
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(QColor(0xF2, 0xC1, 0x1D));
    p.drawRoundedRect(QRectF(3, 16, 36, 23), 3, 3);
    p.setBrush(QColor(0xF7, 0xD8, 0x5A));
    QPainterPath rabat;
    rabat.moveTo(3, 39);
    rabat.lineTo(9, 24);
    rabat.lineTo(41, 24);
    rabat.lineTo(36, 39);
    rabat.closeSubpath();
    paquet(p, QRectF(11, 4, 18, 15));
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(QColor(0xF7, 0xD8, 0x5A));
    p.drawPath(rabat);
    fleche(p, 33, 3, false, QColor(0x2E, 0x9E, 0x4F));
    return enregistre(p, img, path);
}

bool writeEcrireTsk(const QString &path)
{
    QImage img = toile(42);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The package with a sparkle: a new theme.
    paquet(p, QRectF(4, 14, 28, 25));
    QPainterPath etoile;
    const QPointF c(33, 10);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4, r = i % 2 ? 3.2 : 9;
        const QPointF pt(c.x() + r * std::sin(a), c.y() - r * std::cos(a));
        i ? etoile.lineTo(pt) : etoile.moveTo(pt);
    }
    etoile.closeSubpath();
    p.setPen(QPen(QColor(0x9A, 0x6A, 0x00), 1));
    p.setBrush(QColor(0xFF, 0xD6, 0x2E));
    p.drawPath(etoile);
    return enregistre(p, img, path);
}

bool writeInfXml(const QString &path)
{
    QImage img = toile(42);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Two sheets, INF and XML, and a save arrow.
    feuille(p, QRectF(13, 3, 24, 30));
    texte(p, QRectF(13, 15, 24, 14), QStringLiteral("XML"), 8, QColor(0x2E, 0x6E, 0xC0));
    feuille(p, QRectF(4, 9, 24, 30));
    texte(p, QRectF(4, 21, 24, 14), QStringLiteral("INF"), 9, QColor(0xB0, 0x30, 0x30));
    fleche(p, 35, 41, true, QColor(0x1B, 0x85, 0xD2));
    return enregistre(p, img, path);
}

bool writeInfTextIco(const QString &path)
{
    QImage img = toile(42);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheet of setup text under a magnifying glass.
    feuille(p, QRectF(4, 3, 26, 34));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.5));
    for (int y = 12; y <= 30; y += 5)
        p.drawLine(QPointF(8, y), QPointF(y % 2 ? 22 : 25, y));
    p.setPen(QPen(kTrait, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(33, 33), QPointF(39, 39));
    p.setPen(QPen(kTrait, 2));
    p.setBrush(QColor(0xB8, 0xE8, 0xFF, 200));
    p.drawEllipse(QPointF(28, 28), 8, 8);
    return enregistre(p, img, path);
}

bool writePipette(const QString &path)
{
    QImage img = toile(24);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(12, 12);
    p.rotate(45);
    // Bulb, collar and glass tube, the tip down-left.
    p.setPen(QPen(kTrait, 1.2));
    p.setBrush(QColor(0x2E, 0x2E, 0x2E));
    p.drawRoundedRect(QRectF(-3.5, -12, 7, 7), 3, 3);
    p.setBrush(QColor(0x9A, 0x9A, 0x9A));
    p.drawRect(QRectF(-4.5, -5.5, 9, 2.5));
    p.setBrush(QColor(0xDD, 0xF1, 0xFF));
    QPainterPath tube;
    tube.moveTo(-2, -3);
    tube.lineTo(2, -3);
    tube.lineTo(2, 7);
    tube.lineTo(0, 11);
    tube.lineTo(-2, 7);
    tube.closeSubpath();
    p.drawPath(tube);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE3, 0x2E, 0x2E));
    p.drawRect(QRectF(-1.5, 3, 3, 4));
    return enregistre(p, img, path);
}
