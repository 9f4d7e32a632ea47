// Pictures of the main window's tabs and page buttons, and its hint sound.
#include "resources/artgen/art_fenetre.h"
#include "resources/artgen/art_commun.h"

#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

using Dessin = std::function<void(QPainter &)>;
const QColor &kTrait = ArtCommun::Trait;

ArtworkItem image(const QString &nom, int largeur, int hauteur, Dessin dessin)
{
    return {nom, [largeur, hauteur, dessin](const QString &path) {
                QImage img(largeur, hauteur, QImage::Format_ARGB32);
                img.fill(Qt::transparent);
                QPainter p(&img);
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(kTrait, 1.2));
                dessin(p);
                p.end();
                return img.save(path, "PNG");
            }};
}

// A small picture: sky over a green hill, framed.
void paysage(QPainter &p, QRectF r)
{
    QLinearGradient ciel(r.topLeft(), r.bottomLeft());
    ciel.setColorAt(0, QColor(0x6F, 0xB7, 0xF0));
    ciel.setColorAt(1, QColor(0xD8, 0xEE, 0xFF));
    p.setBrush(ciel);
    p.drawRect(r);
    QPainterPath colline;
    colline.moveTo(r.left(), r.bottom());
    colline.quadTo(r.center().x(), r.top() + r.height() * 0.35, r.right(), r.bottom());
    colline.closeSubpath();
    p.setBrush(QColor(0x4C, 0xA0, 0x3C));
    p.drawPath(colline);
    p.setBrush(QColor(0xFF, 0xD2, 0x3A));
    p.drawEllipse(QPointF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3), r.height() * 0.13,
                  r.height() * 0.13);
}

// Three overlapping pictures.
void multiImages(QPainter &p, QRectF zone)
{
    const double l = zone.width() * 0.62, h = zone.height() * 0.62;
    for (int i = 0; i < 3; ++i) {
        const double dx = (zone.width() - l) * i / 2.0, dy = (zone.height() - h) * (2 - i) / 2.0;
        p.setPen(QPen(kTrait, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(zone.left() + dx, zone.top() + dy, l, h));
        paysage(p, QRectF(zone.left() + dx + 1.5, zone.top() + dy + 1.5, l - 3, h - 3));
    }
}

// Colour swatches in a row.
void nuancier(QPainter &p, QRectF zone)
{
    const QColor couleurs[] = {QColor(0x2E, 0x97, 0xE3), QColor(0xE3, 0x4A, 0x2E), QColor(0x3C, 0xB0, 0x4C),
                               QColor(0xF0, 0xC0, 0x20), QColor(0x8E, 0x4C, 0xC8)};
    const double l = zone.width() / 5.0;
    for (int i = 0; i < 5; ++i) {
        p.setBrush(couleurs[i]);
        p.drawRoundedRect(QRectF(zone.left() + i * l + 0.5, zone.top() + (i % 2) * 2, l - 1.5, zone.height() - 2),
                          2, 2);
    }
}

// A key (the theme's registry keys).
void cle(QPainter &p, QPointF o, QColor c)
{
    p.setBrush(c);
    p.drawEllipse(QRectF(o.x(), o.y(), 8, 8));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(o.x() + 2.5, o.y() + 2.5, 3, 3));
    p.setBrush(c);
    QPainterPath tige;
    tige.addRect(QRectF(o.x() + 7.5, o.y() + 3, 7, 2.2));
    tige.addRect(QRectF(o.x() + 10, o.y() + 5, 1.8, 2.5));
    tige.addRect(QRectF(o.x() + 13, o.y() + 5, 1.8, 2.5));
    p.drawPath(tige.simplified());
}

// The "WM5" lettering in blocks, readable without any font.
void wm5(QPainter &p, QPointF o, QColor c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const double x = o.x(), y = o.y(), h = 9;
    p.drawRect(QRectF(x, y, 1.6, h));
    p.drawRect(QRectF(x + 3, y + 3, 1.6, h - 3));
    p.drawRect(QRectF(x + 6, y, 1.6, h));
    p.drawRect(QRectF(x, y + h - 1.6, 7.6, 1.6));
    p.drawRect(QRectF(x + 9.5, y, 1.6, h));
    p.drawRect(QRectF(x + 15.5, y, 1.6, h));
    p.drawRect(QRectF(x + 9.5, y, 7.6, 1.6));
    p.drawRect(QRectF(x + 12.5, y, 1.6, h - 3));
    p.drawRect(QRectF(x + 19, y, 6, 1.6));
    p.drawRect(QRectF(x + 19, y, 1.6, 5));
    p.drawRect(QRectF(x + 19, y + 3.6, 6, 1.6));
    p.drawRect(QRectF(x + 23.4, y + 3.6, 1.6, h - 3.6));
    p.drawRect(QRectF(x + 19, y + h - 1.6, 6, 1.6));
}

// A pocket device with its screen and the link waves.
void appareil(QPainter &p, QRectF r)
{
    p.setBrush(QColor(0x50, 0x56, 0x60));
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setBrush(QColor(0xB8, 0xE8, 0xFF));
    p.drawRect(r.adjusted(2, 2.5, -2, -5));
}

// A sheet of setup text.
void feuilleTexte(QPainter &p, QRectF r)
{
    p.setBrush(QColor(0xFC, 0xFC, 0xF6));
    p.drawRect(r);
    p.setPen(QPen(QColor(0x70, 0x70, 0x90), 1));
    for (double y = r.top() + 3.5; y < r.bottom() - 1; y += 3)
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
    p.setPen(QPen(kTrait, 1.2));
}

// A speech bubble, crossed out when `barre`.
void bulle(QPainter &p, QRectF r, bool barre)
{
    QPainterPath b;
    b.addRoundedRect(r.adjusted(0, 0, 0, -5), 4, 4);
    QPainterPath pointe;
    pointe.moveTo(r.left() + 5, r.bottom() - 6);
    pointe.lineTo(r.left() + 4, r.bottom());
    pointe.lineTo(r.left() + 11, r.bottom() - 6);
    pointe.closeSubpath();
    p.setBrush(QColor(0xFF, 0xFF, 0xE1));
    p.drawPath((b + pointe).simplified());
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    for (double y = r.top() + 5; y < r.bottom() - 7; y += 3.5)
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
    if (barre) {
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 2.4));
        p.drawLine(QPointF(r.left() + 1, r.bottom() - 1), QPointF(r.right() - 1, r.top() + 1));
    }
    p.setPen(QPen(kTrait, 1.2));
}

// A loudspeaker with its sound waves, crossed out when `barre`.
void hautParleur(QPainter &p, QRectF r, bool barre)
{
    const double cy = r.center().y(), x = r.left();
    QPainterPath hp;
    hp.moveTo(x, cy - 3.5);
    hp.lineTo(x + 5, cy - 3.5);
    hp.lineTo(x + 11, cy - 9);
    hp.lineTo(x + 11, cy + 9);
    hp.lineTo(x + 5, cy + 3.5);
    hp.lineTo(x, cy + 3.5);
    hp.closeSubpath();
    p.setBrush(QColor(0x50, 0x58, 0x68));
    p.drawPath(hp);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x2E, 0x6F, 0xD0), 1.6));
    for (double rayon : {4.5, 8.5})
        p.drawArc(QRectF(x + 11 - rayon, cy - rayon, 2 * rayon, 2 * rayon), -50 * 16, 100 * 16);
    if (barre) {
        p.setPen(QPen(QColor(0xD0, 0x20, 0x20), 2.4));
        p.drawLine(QPointF(r.left() + 1, r.bottom() - 1), QPointF(r.right() - 1, r.top() + 1));
    }
    p.setPen(QPen(kTrait, 1.2));
}

bool ecrit(const QString &path, const QByteArray &octets)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size() && f.flush();
}

void ajouteLE(QByteArray &b, quint32 v, int octets)
{
    for (int i = 0; i < octets; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray SonToe()
{
    // A damped pair of partials, like a fingertip on wood, 45 ms long.
    constexpr int kFrequence = 22050;
    constexpr int kEchantillons = kFrequence * 45 / 1000;
    QByteArray donnees;
    donnees.reserve(kEchantillons * 2);
    for (int i = 0; i < kEchantillons; ++i) {
        const double t = double(i) / kFrequence;
        const double attaque = std::min(1.0, t / 0.002);
        const double enveloppe = attaque * std::exp(-t / 0.009);
        const double s = 0.65 * std::sin(2 * std::numbers::pi * 1150 * t)
                         + 0.25 * std::sin(2 * std::numbers::pi * 2870 * t);
        const auto v = qint16(std::lround(s * enveloppe * 26000));
        ajouteLE(donnees, quint16(v), 2);
    }
    QByteArray wav;
    wav.append("RIFF");
    ajouteLE(wav, quint32(36 + donnees.size()), 4);
    wav.append("WAVE");
    wav.append("fmt ");
    ajouteLE(wav, 16, 4);             // chunk size
    ajouteLE(wav, 1, 2);              // PCM
    ajouteLE(wav, 1, 2);              // mono
    ajouteLE(wav, kFrequence, 4);     // sample rate
    ajouteLE(wav, kFrequence * 2, 4); // byte rate
    ajouteLE(wav, 2, 2);              // block align
    ajouteLE(wav, 16, 2);             // bits per sample
    wav.append("data");
    ajouteLE(wav, quint32(donnees.size()), 4);
    wav.append(donnees);
    return wav;
}

std::vector<ArtworkItem> artFenetrePrincipale()
{
    const QColor bleu(0x12, 0x57, 0xB1), gris(0x90, 0x90, 0x90);
    return {
        {QStringLiteral("toe.wav"), [](const QString &path) { return ecrit(path, SonToe()); }},
        // The tabs of the pages, 42 x 21.
        image(QStringLiteral("onglet_imgmulti.png"), 42, 21, [](QPainter &p) { multiImages(p, QRectF(6, 1, 30, 19)); }),
        image(QStringLiteral("onglet_couleurs.png"), 42, 21, [](QPainter &p) { nuancier(p, QRectF(4, 3, 34, 16)); }),
        image(QStringLiteral("onglet_wm5cles.png"), 42, 21,
              [bleu](QPainter &p) {
                  cle(p, QPointF(0.5, 6.5), QColor(0xE0, 0xB0, 0x20));
                  wm5(p, QPointF(16, 6), bleu);
              }),
        image(QStringLiteral("onglet_wm5clesnot.png"), 42, 21,
              [gris](QPainter &p) {
                  cle(p, QPointF(0.5, 6.5), QColor(0xC8, 0xC8, 0xC8));
                  wm5(p, QPointF(16, 6), gris);
              }),
        image(QStringLiteral("onglet_astextico.png"), 42, 21,
              [](QPainter &p) {
                  appareil(p, QRectF(4, 2, 11, 17));
                  p.setBrush(QColor(0x3A, 0x8F, 0xD8));
                  ArtCommun::fleche(p, 27, 4, false, QColor(0x3C, 0xB0, 0x4C), 8, 5, 4.5);
                  ArtCommun::fleche(p, 34, 18, true, QColor(0x2E, 0x6F, 0xD0), 8, 5, 4.5);
              }),
        image(QStringLiteral("onglet_inftextico.png"), 42, 21,
              [](QPainter &p) {
                  feuilleTexte(p, QRectF(8.5, 1.5, 14, 18));
                  feuilleTexte(p, QRectF(19.5, 3.5, 14, 16));
              }),
        // The pictures shortcut of the options page (42 x 42).
        image(QStringLiteral("multimg.png"), 42, 42, [](QPainter &p) { multiImages(p, QRectF(2, 4, 38, 34)); }),
        // The page buttons, 24 x 24.
        image(QStringLiteral("hintonoff.png"), 24, 24, [](QPainter &p) { bulle(p, QRectF(2, 3, 20, 18), true); }),
        image(QStringLiteral("sononoff.png"), 24, 24, [](QPainter &p) { hautParleur(p, QRectF(2, 3, 20, 18), true); }),
        image(QStringLiteral("addtexte.png"), 24, 24,
              [](QPainter &p) {
                  paysage(p, QRectF(1.5, 5.5, 21, 15));
                  ArtCommun::texte(p, QRectF(2, 1, 20, 14), QStringLiteral("Ab"), 11, QColor(0xC0, 0x20, 0x20));
              }),
        image(QStringLiteral("previewtsk24.png"), 24, 24,
              [bleu](QPainter &p) {
                  appareil(p, QRectF(3, 1.5, 13, 20));
                  p.setBrush(Qt::NoBrush);
                  p.setPen(QPen(kTrait, 1.6));
                  p.drawEllipse(QRectF(11, 10, 8, 8));
                  p.setPen(QPen(bleu, 2.6));
                  p.drawLine(QPointF(18, 17), QPointF(22.5, 21.5));
              }),
    };
}
