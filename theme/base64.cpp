#include "theme/base64.h"

std::optional<int> TBase64::ValeurCaractere(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 26;
    if (u >= u'0' && u <= u'9')
        return u - u'0' + 52;
    if (u == u'+')
        return 62;
    if (u == u'/')
        return 63;
    return std::nullopt;
}

QString TBase64::FiltreCaracteres(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('=') || ValeurCaractere(c))
            out.append(c);
    }
    return out;
}

uint8_t TBase64::Decode(const QString &input, QByteArray &output) const
{
    output.clear();
    if (input.isEmpty())
        return Ok;
    const QString s = FiltreActif ? FiltreCaracteres(input) : input;
    if (s.isEmpty())
        return Ok;
    if (s.size() % 4 != 0)
        return LongueurInvalide;
    output.reserve(s.size() / 4 * 3);
    const qsizetype n = s.size();
    for (qsizetype g = 0; g < n; g += 4) {
        const auto a = ValeurCaractere(s[g]);
        const auto b = ValeurCaractere(s[g + 1]);
        if (!a || !b)
            return CaractereInvalide;
        output.append(char((*a << 2 | *b >> 4) & 0xFF));
        if (s[g + 2] == QLatin1Char('=')) {
            if (g + 2 != n - 2)
                return RemplissageAvantFin;
            if (s[g + 3] != QLatin1Char('='))
                return RemplissageIncomplet;
            break;
        }
        const auto c = ValeurCaractere(s[g + 2]);
        if (!c)
            return CaractereInvalide;
        output.append(char((*b << 4 | *c >> 2) & 0xFF));
        if (s[g + 3] == QLatin1Char('=')) {
            if (g + 3 != n - 1)
                return RemplissageAvantFin;
            break;
        }
        const auto d = ValeurCaractere(s[g + 3]);
        if (!d)
            return CaractereInvalide;
        output.append(char((*c << 6 | *d) & 0xFF));
    }
    return Ok;
}

bool DecoderBase64(const QString &input, QByteArray &output)
{
    return TBase64().Decode(input, output) != TBase64::Ok;
}
