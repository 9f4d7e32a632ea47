#pragma once

#include <QColor>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <optional>

// A colour as the theme stores it: 32 bits laid out $00BBGGRR, red in the low
// byte. Conversions to and from Qt's ARGB are explicit so that red and blue
// cannot be swapped by accident.
class TColor
{
public:
    constexpr TColor() = default;
    static constexpr TColor fromValue(uint32_t bbggrr) { return TColor(bbggrr); }
    static constexpr TColor fromRgb(int r, int g, int b)
    {
        return TColor(uint32_t(r & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(b & 0xFF) << 16);
    }
    static constexpr TColor fromQRgb(QRgb argb)
    {
        return fromRgb(qRed(argb), qGreen(argb), qBlue(argb));
    }

    constexpr uint32_t value() const { return m_value; }
    constexpr int red() const { return int(m_value & 0xFF); }
    constexpr int green() const { return int((m_value >> 8) & 0xFF); }
    constexpr int blue() const { return int((m_value >> 16) & 0xFF); }
    constexpr QRgb toQRgb(int alpha = 255) const { return qRgba(red(), green(), blue(), alpha); }
    QColor toQColor(int alpha = 255) const { return QColor::fromRgba(toQRgb(alpha)); }
    static constexpr TColor gris(int g) { return fromRgb(g, g, g); }

    constexpr bool operator==(const TColor &) const = default;

private:
    constexpr explicit TColor(uint32_t v) : m_value(v) {}
    uint32_t m_value = 0;
};

// "RR,GG,BB,00": two upper-case hexadecimal digits each for red, green and
// blue, then "00", separated by commas.
QString CouleurVersTexte(TColor c);

// Reads colour text: characters 1-2 are red, 4-5 green, 7-8 blue; whatever
// follows the eighth character is ignored. Empty when those digits are not
// hexadecimal or the text is too short.
std::optional<TColor> TexteVersCouleur(const QString &texte);
