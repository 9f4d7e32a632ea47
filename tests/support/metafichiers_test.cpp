#include "tests/support/metafichiers_test.h"

#include <QList>
#include <QtEndian>

namespace metafichiers {

namespace {

// Little-endian writers for records built byte by byte.
void u16(QByteArray &o, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    o.append(b, 2);
}
void u32(QByteArray &o, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    o.append(b, 4);
}

QByteArray enregistrementEmf(quint32 type, const QList<quint32> &champs)
{
    QByteArray r;
    u32(r, type);
    u32(r, quint32(8 + 4 * champs.size()));
    for (quint32 c : champs)
        u32(r, c);
    return r;
}

} // namespace

// A w x h EMF: a solid brush of `couleur` (COLORREF 0x00BBGGRR), the null
// pen, and a rectangle over the left half; the rest is left blank.
QByteArray emf(int w, int h, quint32 couleur)
{
    QByteArray corps;
    corps += enregistrementEmf(39, {1, 0, couleur, 0});      // CREATEBRUSHINDIRECT, solid
    corps += enregistrementEmf(37, {1});                      // SELECTOBJECT brush
    corps += enregistrementEmf(37, {0x80000008});             // SELECTOBJECT NULL_PEN
    corps += enregistrementEmf(43, {0, 0, quint32(w / 2), quint32(h)}); // RECTANGLE
    corps += enregistrementEmf(14, {0, 16, 20});              // EOF
    QByteArray entete;
    u32(entete, 1);
    u32(entete, 88);
    for (quint32 v : {0u, 0u, quint32(w - 1), quint32(h - 1)}) // bounds, inclusive
        u32(entete, v);
    for (quint32 v : {0u, 0u, quint32(w * 2540 / 96), quint32(h * 2540 / 96)}) // frame, 0.01 mm
        u32(entete, v);
    u32(entete, 0x464D4520); // " EMF"
    u32(entete, 0x10000);
    u32(entete, quint32(88 + corps.size()));
    u32(entete, 6);
    u16(entete, 2);
    u16(entete, 0);
    for (quint32 v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        u32(entete, v);
    Q_ASSERT(entete.size() == 88);
    return entete + corps;
}

// A w x h EMF of n rectangles of one colour, tiled in rows of 1-pixel-high
// rectangles: 24 bytes a rectangle, so a million make a 24 MB file.
QByteArray emfRectangles(int w, int h, int n, quint32 couleur)
{
    QByteArray corps;
    corps += enregistrementEmf(39, {1, 0, couleur, 0});
    corps += enregistrementEmf(37, {1});
    corps += enregistrementEmf(37, {0x80000008});
    corps.reserve(corps.size() + qsizetype(n) * 24 + 20);
    for (int i = 0; i < n; ++i) {
        const quint32 x = quint32(i % w), y = quint32((i / w) % h);
        corps += enregistrementEmf(43, {x, y, x + 1, y + 1});
    }
    corps += enregistrementEmf(14, {0, 16, 20});
    QByteArray o = emf(w, h, couleur);
    o.truncate(88);
    qToLittleEndian<quint32>(quint32(88 + corps.size()), o.data() + 48);
    qToLittleEndian<quint32>(quint32(4 + n), o.data() + 52);
    return o + corps;
}

static QByteArray enregistrementWmf(quint16 fonction, const QList<quint16> &params)
{
    QByteArray r;
    u32(r, quint32(3 + params.size()));
    u16(r, fonction);
    for (quint16 p : params)
        u16(r, p);
    return r;
}

namespace {

// A placeable WMF of w x h pixels (96 units per inch) with its origin at
// (org, org): a solid brush, the null pen, and one shape record.
QByteArray wmfForme(int w, int h, quint32 couleur, qint16 org, const QByteArray &forme)
{
    QByteArray recs;
    recs += enregistrementWmf(0x020B, {quint16(org), quint16(org)}); // SETWINDOWORG y, x
    recs += enregistrementWmf(0x020C, {quint16(h), quint16(w)});     // SETWINDOWEXT y, x
    recs += enregistrementWmf(0x02FC, {0, quint16(couleur & 0xFFFF), quint16(couleur >> 16), 0}); // brush
    recs += enregistrementWmf(0x012D, {0});
    recs += enregistrementWmf(0x02FA, {5, 0, 0, 0, 0}); // PS_NULL pen
    recs += enregistrementWmf(0x012D, {1});
    recs += forme;
    recs += enregistrementWmf(0x0000, {});
    QByteArray placable;
    u32(placable, 0x9AC6CDD7);
    u16(placable, 0);
    for (qint16 v : {org, org, qint16(org + w), qint16(org + h)})
        u16(placable, quint16(v));
    u16(placable, 96);
    u32(placable, 0);
    quint16 somme = 0;
    for (int i = 0; i < 10; ++i)
        somme ^= qFromLittleEndian<quint16>(placable.constData() + 2 * i);
    u16(placable, somme);
    QByteArray entete;
    u16(entete, 1);
    u16(entete, 9);
    u16(entete, 0x300);
    u32(entete, quint32(9 + recs.size() / 2));
    u16(entete, 2);
    u32(entete, 8);
    u16(entete, 0);
    return placable + entete + recs;
}

} // namespace

// The same drawing as emf(): a rectangle over the left half.
QByteArray wmf(int w, int h, quint32 couleur, qint16 org)
{
    return wmfForme(w, h, couleur, org,
                    enregistrementWmf(0x041B, {quint16(org + h), quint16(org + w / 2), quint16(org), quint16(org)}));
}

QByteArray wmfEllipse(int w, int h, quint32 couleur)
{
    // ELLIPSE: bottom, right, top, left.
    return wmfForme(w, h, couleur, 0,
                    enregistrementWmf(0x0418, {quint16(3 * h / 4), quint16(3 * w / 4), quint16(h / 4), quint16(w / 4)}));
}

} // namespace metafichiers
