// Tool-button pictures of the main window: the device package commands, the
// image chooser, the save folder, help, device information, the web site and
// quit; and the grey pictures shown while a command is disabled.
#include "resources/artgen/art_apparence.h"
#include "resources/artgen/art_commun.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using ArtCommun::fleche;
using ArtCommun::paquet;
using ArtCommun::texte;
const QColor &kTrait = ArtCommun::Trait;

using Dessin = std::function<void(QPainter &)>;

// A handheld device: body, screen.
void pda(QPainter &p, QRectF r)
{
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(QColor(0x50, 0x58, 0x68));
    p.drawRoundedRect(r, 4, 4);
    p.setBrush(QColor(0xB8, 0xE8, 0xFF));
    p.setPen(Qt::NoPen);
    p.drawRect(r.adjusted(3, 4, -3, -9));
    p.setBrush(QColor(0xC0, 0xC0, 0xC8));
    p.drawEllipse(QPointF(r.center().x(), r.bottom() - 4), 2.5, 2.5);
}

void lireTskPda(QPainter &p)
{
    pda(p, QRectF(4, 6, 18, 32));
    paquet(p, QRectF(22, 24, 16, 13));
    fleche(p, 30, 22, true, QColor(0x3C, 0xB0, 0x4A), 12, 6, 7);
}

void ecrireTskPda(QPainter &p)
{
    paquet(p, QRectF(3, 6, 16, 13));
    pda(p, QRectF(20, 6, 18, 32));
    fleche(p, 11, 36, true, QColor(0xE0, 0x60, 0x30), 12, 6, 7);
}

void monaLisa(QPainter &p)
{
    p.setPen(QPen(QColor(0x7A, 0x4A, 0x1A), 3));
    p.setBrush(QColor(0x5A, 0x7A, 0x4A));
    p.drawRect(QRectF(6, 3, 30, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x28, 0x18));
    p.drawEllipse(QRectF(13, 9, 16, 20));
    p.setBrush(QColor(0xE8, 0xC0, 0x90));
    p.drawEllipse(QRectF(16, 11, 10, 13));
    p.setBrush(QColor(0x2A, 0x1E, 0x12));
    p.drawChord(QRectF(11, 25, 20, 20), 0, 180 * 16);
}

void changeDir(QPainter &p)
{
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(QColor(0xE8, 0xB8, 0x40));
    p.drawRoundedRect(QRectF(4, 10, 14, 8), 2, 2);
    p.setBrush(QColor(0xF6, 0xD0, 0x60));
    p.drawRoundedRect(QRectF(4, 14, 34, 22), 3, 3);
    p.setPen(QPen(QColor(0x2E, 0x6E, 0xC0), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14, 18, 14, 14), 30 * 16, 270 * 16);
}

void aide(QPainter &p)
{
    QLinearGradient g(0, 4, 0, 38);
    g.setColorAt(0, QColor(0x6A, 0xB8, 0xF0));
    g.setColorAt(1, QColor(0x1A, 0x5A, 0xB0));
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(g);
    p.drawEllipse(QRectF(4, 4, 34, 34));
    texte(p, QRectF(4, 4, 34, 34), QStringLiteral("?"), 24, Qt::white);
}

void infoSas(QPainter &p)
{
    pda(p, QRectF(12, 5, 18, 32));
    p.setPen(QPen(kTrait, 1.2));
    p.setBrush(QColor(0x2E, 0x97, 0xE3));
    p.drawEllipse(QRectF(22, 22, 17, 17));
    texte(p, QRectF(22, 22, 17, 17), QStringLiteral("i"), 13, Qt::white);
}

void zantiq(QPainter &p)
{
    QLinearGradient g(0, 4, 0, 38);
    g.setColorAt(0, QColor(0x9A, 0xE0, 0x8A));
    g.setColorAt(1, QColor(0x2A, 0x8A, 0x4A));
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(g);
    p.drawEllipse(QRectF(4, 4, 34, 34));
    p.setPen(QPen(QColor(0xFF, 0xFF, 0xFF, 0xB0), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(13, 4, 16, 34));
    p.drawLine(QPointF(4, 21), QPointF(38, 21));
    texte(p, QRectF(4, 4, 34, 34), QStringLiteral("Z"), 18, QColor(0x10, 0x40, 0x20));
}

void fermer(QPainter &p)
{
    QLinearGradient g(0, 4, 0, 38);
    g.setColorAt(0, QColor(0xF0, 0x70, 0x60));
    g.setColorAt(1, QColor(0xB0, 0x20, 0x18));
    p.setPen(QPen(kTrait, 1.5));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(5, 5, 32, 32), 7, 7);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(28, 28));
    p.drawLine(QPointF(28, 14), QPointF(14, 28));
}

QImage dessine(const Dessin &d)
{
    QImage img(42, 42, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    d(p);
    p.end();
    return img;
}

// The disabled look: grey levels, lighter, the alpha kept.
QImage grise(QImage img)
{
    for (int y = 0; y < img.height(); ++y) {
        auto *ligne = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = ligne[x];
            const int g = 96 + ((77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c)) >> 8) * 5 / 8;
            ligne[x] = qRgba(g, g, g, qAlpha(c));
        }
    }
    return img;
}

// The grey twin of a picture drawn here.
ArtworkItem gris(const QString &nom, const Dessin &d)
{
    return {nom, [d](const QString &path) { return grise(dessine(d)).save(path, "PNG"); }};
}

ArtworkItem item(const QString &nom, const Dessin &d)
{
    return {nom, [d](const QString &path) { return dessine(d).save(path, "PNG"); }};
}

// The grey twin of a package picture, read back from the output folder
// (the package pictures come earlier in the list).
ArtworkItem grisDe(const QString &nom, const QString &source)
{
    return {nom, [source](const QString &path) {
                const QString dossier = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
                QImage img(dossier + source);
                if (img.isNull())
                    return false;
                return grise(img.convertToFormat(QImage::Format_ARGB32)).save(path, "PNG");
            }};
}

} // namespace

std::vector<ArtworkItem> artApparence()
{
    return {
        item(QStringLiteral("liretskpda.png"), lireTskPda),
        gris(QStringLiteral("liretskpdagris.png"), lireTskPda),
        item(QStringLiteral("ecriretskpda.png"), ecrireTskPda),
        gris(QStringLiteral("ecriretskpdagris.png"), ecrireTskPda),
        grisDe(QStringLiteral("ecriretskgris.png"), QStringLiteral("ecriretsk.png")),
        grisDe(QStringLiteral("infxmlgris.png"), QStringLiteral("infxml.png")),
        item(QStringLiteral("monalisa.png"), monaLisa),
        item(QStringLiteral("changedir.png"), changeDir),
        item(QStringLiteral("aide.png"), aide),
        item(QStringLiteral("infosas.png"), infoSas),
        gris(QStringLiteral("infosasgris.png"), infoSas),
        item(QStringLiteral("zantiq.png"), zantiq),
        item(QStringLiteral("fermer.png"), fermer),
    };
}
