#include "tests/support/pixels.h"

#include <cstdlib>

namespace testenv {

bool proche(QRgb a, QRgb b, int ecart)
{
    return std::abs(qRed(a) - qRed(b)) <= ecart && std::abs(qGreen(a) - qGreen(b)) <= ecart &&
           std::abs(qBlue(a) - qBlue(b)) <= ecart;
}

bool proche(QRgb a, TColor b, int ecart)
{
    return proche(a, b.toQRgb(), ecart);
}

QByteArray pngNoirGeant(int w, int h)
{
    const auto crc = [](const QByteArray &octets) {
        quint32 c = 0xFFFFFFFFu;
        for (const char o : octets) {
            c ^= quint8(o);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    const auto be32 = [](QByteArray &b, quint32 v) {
        b.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
    };
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    const auto bloc = [&](const char *type, const QByteArray &donnees) {
        be32(png, quint32(donnees.size()));
        const QByteArray corps = QByteArray(type, 4) + donnees;
        png.append(corps);
        be32(png, crc(corps));
    };
    QByteArray ihdr;
    be32(ihdr, quint32(w));
    be32(ihdr, quint32(h));
    ihdr.append(char(1)).append(char(0)).append(3, char(0)); // 1 bit, grey
    bloc("IHDR", ihdr);
    // Each row: filter 0, then the bits, all 0 (black).
    const QByteArray lignes(qsizetype(h) * (1 + (w + 7) / 8), char(0));
    bloc("IDAT", qCompress(lignes, 9).mid(4)); // the zlib stream, without Qt's length
    bloc("IEND", {});
    return png;
}

} // namespace testenv
