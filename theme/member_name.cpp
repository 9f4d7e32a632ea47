#include "theme/member_name.h"

#include <QRegularExpression>

bool estNomMembreSur(const QString &name)
{
    if (name.isEmpty() || name.size() > 255 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('\\') || c == QLatin1Char('/')
            || c == QLatin1Char(':'))
            return false;
    }
    static const QRegularExpression device(
        QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (device.match(name).hasMatch())
        return false;
    // Trailing dots and blanks are dropped by Windows and would name another file there.
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    return true;
}

QString cleNomMembre(const QString &name)
{
    return name.toLower();
}
