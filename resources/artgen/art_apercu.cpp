#include "resources/artgen/art_apercu.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

// The key colour of every preview picture (transparent when drawn).
const QColor kCle(255, 0, 255);

using Dessin = std::function<void(QPainter &, int w, int h)>;

bool ecritIcone(const QString &path, int w, int h, const Dessin &dessin)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kCle);
    {
        QPainter p(&img);
        dessin(p, w, h);
    }
    // The key stays in the lower-left pixel whatever the drawing did.
    img.setPixelColor(0, h - 1, kCle);
    return img.save(path, "BMP");
}

void cadre(QPainter &p, QRect r, QColor fond, QColor bord)
{
    p.setPen(bord);
    p.setBrush(fond);
    p.drawRect(r);
}

// One drawing per icon id, each made of plain shapes.
Dessin dessinIcone(int id)
{
    const QColor bleu(0x12, 0x57, 0xB1), bleuClair(0x6C, 0xB4, 0xF0), gris(0x60, 0x60, 0x60);
    const QColor jaune(0xF5, 0xC8, 0x2A), rouge(0xD0, 0x30, 0x28), vert(0x3C, 0xA0, 0x3C), blanc(Qt::white);
    switch (id) {
    case 133: // jobs: a checked list
    case 159: // notes
        return [=](QPainter &p, int w, int h) {
            cadre(p, QRect(1, 1, w - 3, h - 3), blanc, gris);
            p.setPen(id == 133 ? vert : bleu);
            for (int y = 4; y < h - 3; y += 3)
                p.drawLine(3, y, w - 4, y);
        };
    case 135: // date
    case 154: // calendar
        return [=](QPainter &p, int w, int h) {
            cadre(p, QRect(1, 1, w - 3, h - 3), blanc, gris);
            p.fillRect(QRect(2, 2, w - 4, 3), rouge);
            p.setPen(gris);
            for (int x = 4; x < w - 3; x += 3)
                for (int y = 7; y < h - 3; y += 3)
                    p.drawPoint(x, y);
        };
    case 136: // messages: an envelope
        return [=](QPainter &p, int w, int h) {
            cadre(p, QRect(1, 2, w - 3, h - 5), blanc, gris);
            p.setPen(gris);
            p.drawLine(1, 2, w / 2, h / 2);
            p.drawLine(w - 2, 2, w / 2, h / 2);
        };
    case 137: // owner, contacts: a bust
        return [=](QPainter &p, int w, int h) {
            p.setPen(gris);
            p.setBrush(jaune);
            p.drawEllipse(QRect(w / 2 - 3, 1, 6, 6));
            p.setBrush(bleu);
            p.drawRoundedRect(QRect(3, 8, w - 7, h - 10), 3, 3);
        };
    case 139: // Start: four panes
        return [=](QPainter &p, int w, int h) {
            const int cx = w / 2, cy = h / 2;
            p.fillRect(QRect(3, 2, cx - 3, cy - 2), rouge);
            p.fillRect(QRect(cx + 1, 2, w - cx - 4, cy - 2), vert);
            p.fillRect(QRect(3, cy + 1, cx - 3, h - cy - 4), bleuClair);
            p.fillRect(QRect(cx + 1, cy + 1, w - cx - 4, h - cy - 4), jaune);
        };
    case 140: // sound
        return [=](QPainter &p, int w, int h) {
            p.setPen(Qt::NoPen);
            p.setBrush(blanc);
            p.drawPolygon(QPolygon({QPoint(2, 5), QPoint(5, 5), QPoint(9, 1), QPoint(9, h - 2), QPoint(5, h - 6), QPoint(2, h - 6)}));
            p.setPen(blanc);
            p.drawArc(QRect(w - 9, 4, 6, h - 8), -60 * 16, 120 * 16);
        };
    case 206: // connectivity: antenna bars
        return [=](QPainter &p, int w, int h) {
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRect(2 + i * 3, h - 3 - (i + 1) * 3, 2, (i + 1) * 3), blanc);
            p.fillRect(QRect(w - 3, 1, 1, 1), blanc);
        };
    case 153: // ActiveSync: two arrows
    case 194:
        return [=](QPainter &p, int w, int h) {
            p.setPen(QPen(id == 153 ? vert : bleu, 2));
            p.drawArc(QRect(3, 3, w - 7, h - 7), 30 * 16, 150 * 16);
            p.drawArc(QRect(3, 3, w - 7, h - 7), 210 * 16, 150 * 16);
        };
    case 158: // Internet Explorer: a globe
        return [=](QPainter &p, int w, int h) {
            p.setPen(bleu);
            p.setBrush(bleuClair);
            p.drawEllipse(QRect(2, 1, w - 5, h - 4));
            p.drawLine(2, h / 2 - 1, w - 3, h / 2 - 1);
            p.drawEllipse(QRect(w / 2 - 3, 1, 5, h - 4));
        };
    case 161: // Today: a house
        return [=](QPainter &p, int w, int h) {
            p.setPen(gris);
            p.setBrush(rouge);
            p.drawPolygon(QPolygon({QPoint(1, 7), QPoint(w / 2, 1), QPoint(w - 2, 7)}));
            p.setBrush(blanc);
            p.drawRect(QRect(3, 7, w - 7, h - 10));
        };
    case 162: // settings: a cog
        return [=](QPainter &p, int w, int h) {
            p.setPen(QPen(gris, 3));
            p.drawLine(w / 2, 1, w / 2, h - 3);
            p.drawLine(2, h / 2 - 1, w - 3, h / 2 - 1);
            p.setPen(gris);
            p.setBrush(blanc);
            p.drawEllipse(QRect(w / 2 - 4, h / 2 - 5, 8, 8));
        };
    case 163: // programs: a folder
        return [=](QPainter &p, int w, int h) {
            p.setPen(gris);
            p.setBrush(jaune);
            p.drawRect(QRect(1, 4, w - 3, h - 7));
            p.drawRect(QRect(1, 2, 6, 2));
        };
    case 164: // help: a question mark
        return [=](QPainter &p, int w, int h) {
            p.setPen(bleu);
            p.setBrush(bleuClair);
            p.drawEllipse(QRect(1, 1, w - 3, h - 4));
            p.setPen(QPen(blanc, 2));
            p.drawArc(QRect(w / 2 - 3, 3, 6, 5), -90 * 16, 270 * 16);
            p.drawPoint(w / 2, h - 5);
        };
    case 177: // battery
        return [=](QPainter &p, int w, int h) {
            cadre(p, QRect(1, 4, w - 4, h - 9), blanc, gris);
            p.fillRect(QRect(w - 3, 6, 2, h - 13), gris);
            p.fillRect(QRect(2, 5, 3, h - 10), rouge);
        };
    case 199: // warning
        return [=](QPainter &p, int w, int h) {
            p.setPen(gris);
            p.setBrush(jaune);
            p.drawPolygon(QPolygon({QPoint(w / 2, 1), QPoint(w - 2, h - 3), QPoint(1, h - 3)}));
            p.setPen(Qt::black);
            p.drawLine(w / 2, 5, w / 2, h - 7);
        };
    case 200: // critical: a red disc
        return [=](QPainter &p, int w, int h) {
            p.setPen(gris);
            p.setBrush(rouge);
            p.drawEllipse(QRect(1, 1, w - 3, h - 4));
            p.setPen(QPen(blanc, 2));
            p.drawLine(5, 5, w - 6, h - 7);
            p.drawLine(w - 6, 5, 5, h - 7);
        };
    case 201: // information
        return [=](QPainter &p, int w, int h) {
            p.setPen(bleu);
            p.setBrush(blanc);
            p.drawEllipse(QRect(1, 1, w - 3, h - 4));
            p.fillRect(QRect(w / 2 - 1, 6, 2, h - 10), bleu);
            p.fillRect(QRect(w / 2 - 1, 3, 2, 2), bleu);
        };
    case 300: // keyboard
    default:
        return [=](QPainter &p, int w, int h) {
            cadre(p, QRect(1, 4, w - 3, h - 8), blanc, gris);
            p.setPen(gris);
            for (int x = 3; x < w - 3; x += 3)
                p.drawPoint(x, 7);
            p.drawLine(4, h - 6, w - 5, h - 6);
        };
    }
}

struct Taille
{
    int id, w, h;
};
constexpr Taille kTailles[] = {
    {133, 13, 16}, {135, 15, 15}, {136, 16, 15}, {137, 16, 14}, {139, 21, 18}, {140, 17, 16}, {153, 16, 14},
    {154, 16, 14}, {158, 16, 16}, {159, 16, 16}, {161, 16, 16}, {162, 16, 16}, {163, 16, 16}, {164, 16, 16},
    {177, 16, 16}, {194, 16, 16}, {199, 16, 16}, {200, 16, 16}, {201, 16, 16}, {206, 16, 15}, {300, 16, 16},
};

// A notification balloon: white body with a grey frame, a pointer tab up to
// the tray icon, a title band (painted over by the preview) and a button.
bool ecritNotification(const QString &path, bool critique)
{
    QImage img(221, 129, QImage::Format_RGB32);
    img.fill(kCle);
    {
        QPainter p(&img);
        const QColor bord(0x50, 0x50, 0x50);
        const QPolygon pointe = critique ? QPolygon({QPoint(103, 15), QPoint(128, 2), QPoint(129, 2), QPoint(129, 15)})
                                         : QPolygon({QPoint(164, 15), QPoint(188, 3), QPoint(188, 15)});
        p.setPen(bord);
        p.setBrush(Qt::white);
        p.drawRect(QRect(1, 14, 219, 113));
        p.drawPolygon(pointe);
        p.setPen(Qt::white);
        p.drawLine(pointe.first().x() + 1, 14, pointe.last().x() - 1, 14);
        // The dismiss button.
        p.setPen(bord);
        p.setBrush(QColor(0xE6, 0xE6, 0xE6));
        p.drawRect(QRect(150, 104, 60, 17));
        p.setPen(QColor(0xA0, 0xA0, 0xA0));
        p.drawLine(8, 96, 212, 96);
        if (critique) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xD0, 0x30, 0x28));
            p.drawEllipse(QRect(12, 46, 18, 18));
        }
    }
    // Eight bits per pixel, as the device's pictures.
    const QImage indexee = img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    return indexee.save(path, "BMP");
}

} // namespace

ArtworkItem artApercu(const char *fileName)
{
    const QString nom = QString::fromLatin1(fileName);
    if (nom == QLatin1String("NLMESS.bmp"))
        return {nom, [](const QString &path) { return ecritNotification(path, false); }};
    if (nom == QLatin1String("CRITMESS.bmp"))
        return {nom, [](const QString &path) { return ecritNotification(path, true); }};
    const int id = nom.section(QLatin1Char('.'), 0, 0).toInt();
    for (const Taille &t : kTailles)
        if (t.id == id)
            return {nom, [t](const QString &path) { return ecritIcone(path, t.w, t.h, dessinIcone(t.id)); }};
    return {nom, [](const QString &) { return false; }};
}
