#include "theme/nom_interne_theme.h"

namespace {

QChar casseAscii(QChar c, bool majuscule)
{
    const char16_t u = c.unicode();
    if (majuscule && u >= u'a' && u <= u'z')
        return QChar(char16_t(u - 32));
    if (!majuscule && u >= u'A' && u <= u'Z')
        return QChar(char16_t(u + 32));
    return c;
}

} // namespace

QString NomInterneTheme(const QString &nom)
{
    constexpr int Longueur = 6;
    QString base;
    for (QChar c : nom)
        if (c != QLatin1Char(' '))
            base += casseAscii(c, base.isEmpty());
    if (base.size() >= Longueur)
        return base.left(Longueur);
    // The padding comes from a text of five zeros: an empty name gives "00000".
    return base + QStringLiteral("00000").left(Longueur - base.size());
}
