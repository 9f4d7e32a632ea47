#include "theme/cp1252.h"

namespace {

// Code points of the bytes 0x80..0x9F; the other bytes are Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

namespace cp1252 {

std::optional<QByteArray> encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const int b = byteFor(ch.unicode());
        if (b < 0)
            return std::nullopt;
        out.append(char(b));
    }
    return out;
}

bool canEncode(const QString &text)
{
    return firstUnencodable(text).isEmpty();
}

QString representable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (byteFor(ch.unicode()) >= 0) {
            out.append(ch);
            continue;
        }
        out.append(QLatin1Char('?'));
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return out;
}

QByteArray encodeLossy(const QString &text)
{
    return *encode(representable(text));
}

QString firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (byteFor(text.at(i).unicode()) >= 0)
            continue;
        // Keep a surrogate pair together so the message shows the character.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            return text.mid(i, 2);
        return text.mid(i, 1);
    }
    return {};
}

QString decode(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        out.append(QChar(u >= 0x80 && u < 0xA0 ? kHigh[u - 0x80] : char16_t(u)));
    }
    return out;
}

} // namespace cp1252
