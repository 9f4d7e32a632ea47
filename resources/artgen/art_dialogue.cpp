#include "resources/artgen/art_dialogue.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <functional>

namespace {

// A pale grey stone: soft value noise, seamless because the lattice wraps.
// The package dialog's tile is the same stone with a blue tint.
bool writePierreTeinte(const QString &path, int teinteBleue)
{
    constexpr int Cote = 128, Pas = 16, N = Cote / Pas;
    QRandomGenerator alea(0x5EED);
    double grille[N][N];
    for (auto &ligne : grille)
        for (double &v : ligne)
            v = alea.bounded(1.0);
    const auto lisse = [](double t) { return t * t * (3 - 2 * t); };
    QImage img(Cote, Cote, QImage::Format_RGB32);
    for (int y = 0; y < Cote; ++y)
        for (int x = 0; x < Cote; ++x) {
            const int gx = x / Pas, gy = y / Pas;
            const double fx = lisse(double(x % Pas) / Pas), fy = lisse(double(y % Pas) / Pas);
            const double a = grille[gy][gx], b = grille[gy][(gx + 1) % N];
            const double c = grille[(gy + 1) % N][gx], d = grille[(gy + 1) % N][(gx + 1) % N];
            const double v = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
            const int grain = int(alea.bounded(9)) - 4;
            const int g = qBound(0, 222 + int(v * 26) + grain, 255);
            img.setPixel(x, y, qRgb(g - teinteBleue, g - 2, qMin(255, g - 6 + teinteBleue)));
        }
    return img.save(path, "PNG");
}

bool writePierre(const QString &path)
{
    return writePierreTeinte(path, 0);
}

bool writePierreTsk(const QString &path)
{
    return writePierreTeinte(path, 14);
}

using Dessin = std::function<void(QPainter &)>;

ArtworkItem glyphe(const char *nom, Dessin dessin)
{
    return {QString::fromLatin1(nom) + QStringLiteral(".png"), [dessin](const QString &path) {
                QImage img(16, 16, QImage::Format_ARGB32);
                img.fill(Qt::transparent);
                QPainter p(&img);
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(QColor(0x20, 0x30, 0x60), 1.2));
                dessin(p);
                p.end();
                return img.save(path, "PNG");
            }};
}

void page(QPainter &p)
{
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 1.5, 9, 13));
}

void lignes(QPainter &p, int n)
{
    for (int i = 0; i < n; ++i)
        p.drawLine(QPointF(5, 4.5 + 2.5 * i), QPointF(11, 4.5 + 2.5 * i));
}

} // namespace

std::vector<ArtworkItem> artDialogueOuverture()
{
    const QColor bleu(0x2E, 0x6F, 0xD0), orange(0xE0, 0x8A, 0x20);
    return {
        {QStringLiteral("pierre.png"), writePierre},
        {QStringLiteral("pierretsk.png"), writePierreTsk},
        glyphe("previewtsk", [bleu](QPainter &p) {
            p.fillRect(QRectF(1, 1, 9, 7), bleu);
            p.drawRect(QRectF(1.5, 1.5, 8, 6));
            p.drawEllipse(QRectF(5.5, 5.5, 6, 6));
            p.setPen(QPen(QColor(0x20, 0x30, 0x60), 2.2));
            p.drawLine(QPointF(10.5, 10.5), QPointF(14.5, 14.5));
        }),
        glyphe("previewglyph2", [](QPainter &p) {
            p.drawEllipse(QRectF(2.5, 2.5, 8, 8));
            p.setPen(QPen(QColor(0x20, 0x30, 0x60), 2.5));
            p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
        }),
        glyphe("selimg", [bleu](QPainter &p) {
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRectF(2 + (i % 2) * 7, 2 + (i / 2) * 7, 5, 5), bleu);
        }),
        glyphe("invsel", [bleu](QPainter &p) {
            for (int i = 0; i < 4; ++i) {
                const QRectF r(2 + (i % 2) * 7, 2 + (i / 2) * 7, 5, 5);
                if (i == 0 || i == 3)
                    p.fillRect(r, bleu);
                else
                    p.drawRect(r);
            }
        }),
        glyphe("prisle", [](QPainter &p) {
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
            p.drawLine(QPointF(8, 8), QPointF(11, 9));
        }),
        glyphe("apn", [](QPainter &p) {
            p.setBrush(QColor(0x60, 0x60, 0x70));
            p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 2, 2);
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(5.5, 6.5, 5, 5));
            p.drawRect(QRectF(4.5, 2.5, 3, 2));
        }),
        glyphe("nom", [](QPainter &p) {
            page(p);
            lignes(p, 4);
        }),
        glyphe("dim", [](QPainter &p) {
            p.drawRect(QRectF(4.5, 4.5, 9, 9));
            p.drawLine(QPointF(1.5, 2), QPointF(1.5, 14));
            p.drawLine(QPointF(4, 1.5), QPointF(14, 1.5));
        }),
        glyphe("taille", [bleu](QPainter &p) {
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRectF(2 + i * 3.5, 14 - (i + 1) * 3, 2.5, (i + 1) * 3), bleu);
        }),
        glyphe("modif", [orange](QPainter &p) {
            page(p);
            p.setPen(QPen(orange, 2));
            p.drawLine(QPointF(6, 11), QPointF(12, 5));
        }),
        glyphe("groupe", [bleu, orange](QPainter &p) {
            p.fillRect(QRectF(2, 2, 5, 5), bleu);
            p.fillRect(QRectF(2, 9, 5, 5), bleu);
            p.fillRect(QRectF(9, 2, 5, 5), orange);
            p.fillRect(QRectF(9, 9, 5, 5), orange);
        }),
        glyphe("type", [](QPainter &p) {
            QPainterPath coin;
            coin.moveTo(3.5, 1.5);
            coin.lineTo(9.5, 1.5);
            coin.lineTo(12.5, 4.5);
            coin.lineTo(12.5, 14.5);
            coin.lineTo(3.5, 14.5);
            coin.closeSubpath();
            p.setBrush(Qt::white);
            p.drawPath(coin);
            p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
            p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
        }),
    };
}
