// The device skins of the skin preview, its sample screens and its capture cursor.
#include "resources/artgen/art_skins.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr int kCote = 498;
// Where the preview puts its portrait screen; the skins leave it open.
constexpr QRect kEcran{129, 55, 240, 320};
// The four round buttons (the preview's hot spots) and the close slot.
constexpr QRect kBoutons[4] = {{136, 418, 28, 28}, {172, 430, 28, 28}, {297, 430, 28, 28}, {332, 418, 28, 28}};
constexpr QRect kFente{227, 8, 39, 27};

// One device: the colours of its body and the details that tell it apart.
// Every colour of the body stays well above black: the preview cuts out the
// pixels close to the black surround.
struct Modele
{
    const char *nom;
    QColor clair;  // body edges
    QColor sombre; // body middle
    QColor cadre;  // screen surround
    QColor bouton;
    QRectF corps;
    double rayon;
    const char *marque;
    bool feuilles;
};

const Modele kModeles[] = {
    {"SKINJPG", QColor(0xD8, 0xDA, 0xDE), QColor(0x9A, 0x9E, 0xA6), QColor(0x4A, 0x4E, 0x56),
     QColor(0x70, 0x76, 0x80), QRectF(100, 2, 298, 494), 46, "Pocket PC", false},
    {"SKINQTEK", QColor(0x6A, 0x70, 0x88), QColor(0x3A, 0x40, 0x58), QColor(0x50, 0x54, 0x60),
     QColor(0xA8, 0xAC, 0xB8), QRectF(104, 2, 290, 494), 30, "Phone Edition", false},
    {"SKINACER", QColor(0x9C, 0xC4, 0xEC), QColor(0x3C, 0x6C, 0xA8), QColor(0x40, 0x48, 0x5C),
     QColor(0xD0, 0xDC, 0xEC), QRectF(98, 2, 302, 494), 56, "n-Series", false},
    {"SKINAXIM", QColor(0xE4, 0xE4, 0xE0), QColor(0xB0, 0xB2, 0xAE), QColor(0x44, 0x46, 0x4C),
     QColor(0x58, 0x5C, 0x68), QRectF(106, 2, 286, 494), 22, "Handheld", false},
    {"SKINJPGFEUILLES", QColor(0x8C, 0xC0, 0x6C), QColor(0x3C, 0x78, 0x34), QColor(0x3A, 0x4A, 0x34),
     QColor(0xC8, 0xB0, 0x60), QRectF(100, 2, 298, 494), 46, "Pocket PC", true},
};

void dessineFeuille(QPainter &p, QPointF centre, double angle, double longueur, const QColor &couleur)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    QPainterPath f;
    f.moveTo(-longueur / 2, 0);
    f.quadTo(0, -longueur / 3, longueur / 2, 0);
    f.quadTo(0, longueur / 3, -longueur / 2, 0);
    p.setPen(QPen(couleur.darker(140), 1));
    p.setBrush(couleur);
    p.drawPath(f);
    p.drawLine(QPointF(-longueur / 2, 0), QPointF(longueur / 2, 0));
    p.restore();
}

QImage dessineSkin(const Modele &m)
{
    QImage img(kCote, kCote, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // The body: a brushed edge-to-middle gradient and a darker rim.
    QPainterPath corps;
    corps.addRoundedRect(m.corps, m.rayon, m.rayon);
    QLinearGradient g(m.corps.left(), 0, m.corps.right(), 0);
    g.setColorAt(0, m.clair);
    g.setColorAt(0.5, m.sombre);
    g.setColorAt(1, m.clair);
    p.setPen(QPen(m.sombre.darker(130), 3));
    p.setBrush(g);
    p.drawPath(corps);
    // A soft highlight on the upper half.
    QLinearGradient reflet(0, m.corps.top(), 0, m.corps.top() + 200);
    reflet.setColorAt(0, QColor(255, 255, 255, 70));
    reflet.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(reflet);
    p.drawPath(corps);

    if (m.feuilles) {
        const QColor teintes[3] = {QColor(0x6C, 0xB0, 0x3C), QColor(0xA8, 0xC8, 0x48), QColor(0x4C, 0x98, 0x50)};
        const struct { double x, y, a, l; } feuilles[] = {
            {114, 80, 60, 30},   {116, 180, 110, 34}, {113, 300, 75, 28}, {385, 90, 120, 30},
            {383, 220, 70, 34},  {384, 340, 100, 28}, {130, 470, 20, 36}, {368, 472, 150, 36},
            {250, 480, 0, 40},   {150, 20, 160, 26},  {350, 22, 20, 26},
        };
        int i = 0;
        for (const auto &f : feuilles)
            dessineFeuille(p, QPointF(f.x, f.y), f.a, f.l, teintes[i++ % 3]);
    }

    // The screen surround and the glass the preview draws over.
    p.setPen(QPen(m.cadre.lighter(130), 2));
    p.setBrush(m.cadre);
    p.drawRoundedRect(QRectF(kEcran).adjusted(-9, -9, 9, 9), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x6E, 0x7A));
    p.drawRect(kEcran.adjusted(-1, -1, 1, 1));

    // The close slot: a power key with its light.
    p.setPen(QPen(m.sombre.darker(150), 1.5));
    p.setBrush(m.bouton);
    p.drawRoundedRect(QRectF(kFente), 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE0, 0x40, 0x30));
    p.drawEllipse(QPointF(kFente.center()) + QPointF(0.5, 0.5), 4, 4);

    // The round buttons and the navigation pad between them.
    for (const QRect &b : kBoutons) {
        QRadialGradient rg(QPointF(b.center()) - QPointF(4, 4), 18);
        rg.setColorAt(0, m.bouton.lighter(150));
        rg.setColorAt(1, m.bouton);
        p.setPen(QPen(m.sombre.darker(160), 2));
        p.setBrush(rg);
        p.drawEllipse(QRectF(b));
    }
    const QPointF pad(249, 444);
    QRadialGradient rp(pad - QPointF(6, 6), 30);
    rp.setColorAt(0, m.bouton.lighter(140));
    rp.setColorAt(1, m.bouton.darker(115));
    p.setPen(QPen(m.sombre.darker(160), 2));
    p.setBrush(rp);
    p.drawEllipse(pad, 24, 24);
    p.setBrush(m.bouton.darker(125));
    p.drawEllipse(pad, 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(m.bouton.darker(160));
    for (int k = 0; k < 4; ++k) {
        const double a = k * M_PI / 2;
        const QPointF c = pad + QPointF(16 * std::cos(a), 16 * std::sin(a));
        p.drawEllipse(c, 2.5, 2.5);
    }

    // The maker's line under the screen.
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(m.cadre.lighter(115));
    p.drawText(QRectF(kEcran.left(), kEcran.bottom() + 12, kEcran.width(), 16), Qt::AlignCenter,
               QString::fromLatin1(m.marque));
    p.end();
    return img;
}

bool ecritSkin(const Modele &m, const QString &path)
{
    return dessineSkin(m).save(path, "JPEG", 92);
}

// A lake under hills at sunset, for either orientation.
bool ecritExemple(const QString &path, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ciel(0, 0, 0, h * 0.6);
    ciel.setColorAt(0, QColor(0x2A, 0x3C, 0x8C));
    ciel.setColorAt(0.7, QColor(0xE8, 0x8C, 0x50));
    ciel.setColorAt(1, QColor(0xF8, 0xD0, 0x70));
    p.fillRect(img.rect(), ciel);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE8, 0x90));
    p.drawEllipse(QPointF(w * 0.68, h * 0.5), w * 0.07, w * 0.07);
    QPainterPath collines;
    collines.moveTo(0, h * 0.62);
    collines.cubicTo(w * 0.25, h * 0.42, w * 0.45, h * 0.66, w * 0.7, h * 0.5);
    collines.cubicTo(w * 0.85, h * 0.42, w * 0.95, h * 0.55, w, h * 0.52);
    collines.lineTo(w, h);
    collines.lineTo(0, h);
    p.setBrush(QColor(0x3A, 0x5A, 0x38));
    p.drawPath(collines);
    QLinearGradient lac(0, h * 0.72, 0, h);
    lac.setColorAt(0, QColor(0x5A, 0x7C, 0xB8));
    lac.setColorAt(1, QColor(0x1C, 0x30, 0x60));
    p.setBrush(lac);
    p.drawRect(QRectF(0, h * 0.72, w, h * 0.28));
    p.end();
    return img.save(path, "JPEG", 90);
}

// The capture cursor: a camera whose flash goes round, eight frames.
bool ecritCurseur(const QString &path)
{
    constexpr int c = 32, n = 8;
    QImage img(c * n, c, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < n; ++k) {
        p.save();
        p.translate(k * c, 0);
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(QColor(0x40, 0x48, 0x58));
        p.drawRoundedRect(QRectF(6, 11, 20, 14), 2, 2);
        p.drawRect(QRectF(12, 8, 8, 3));
        p.setBrush(QColor(0x90, 0xC8, 0xF0));
        p.drawEllipse(QPointF(16, 18), 4.5, 4.5);
        const double a = k * 2 * M_PI / n;
        p.setPen(QPen(QColor(0xFF, 0xD0, 0x20), 2));
        for (int r = 0; r < 3; ++r) {
            const double b = a + r * 2 * M_PI / 3;
            p.drawLine(QPointF(16 + 12 * std::cos(b), 18 + 12 * std::sin(b)),
                       QPointF(16 + 15 * std::cos(b), 18 + 15 * std::sin(b)));
        }
        p.restore();
    }
    p.end();
    return img.save(path, "PNG");
}

} // namespace

std::vector<ArtworkItem> artSkins()
{
    std::vector<ArtworkItem> items;
    for (const Modele &m : kModeles)
        items.push_back({QString::fromLatin1(m.nom) + QStringLiteral(".jpg"),
                         [&m](const QString &path) { return ecritSkin(m, path); }});
    items.push_back({QStringLiteral("VossiryP.jpg"), [](const QString &path) { return ecritExemple(path, 240, 320); }});
    items.push_back({QStringLiteral("VossiryL.jpg"), [](const QString &path) { return ecritExemple(path, 320, 240); }});
    items.push_back({QStringLiteral("SAUVEBMPPRW.png"), ecritCurseur});
    return items;
}
