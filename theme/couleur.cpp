#include "theme/couleur.h"

#include <cctype>

QString CouleurVersTexte(TColor c)
{
    return QStringLiteral("%1,%2,%3,00")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

static int hexPair(const QString &t, int pos)
{
    if (t.size() < pos + 2)
        return -1;
    bool ok = false;
    const int v = t.mid(pos, 2).toInt(&ok, 16);
    // toInt accepts a sign or blanks; colour text never holds them.
    for (int i = pos; i < pos + 2; ++i)
        if (!isxdigit(t.at(i).toLatin1()))
            return -1;
    return ok ? v : -1;
}

std::optional<TColor> TexteVersCouleur(const QString &texte)
{
    const int r = hexPair(texte, 0), g = hexPair(texte, 3), b = hexPair(texte, 6);
    if (r < 0 || g < 0 || b < 0)
        return std::nullopt;
    return TColor::fromRgb(r, g, b);
}
