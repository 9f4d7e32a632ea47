#include "theme/controle_noms.h"

#include "theme/cp1252.h"
#include "theme/member_name.h"

namespace {

bool estControle(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

QString controleCommun(const QString &nom, const QString &quoi)
{
    for (QChar c : nom)
        if (estControle(c))
            return QStringLiteral("The %1 cannot contain a control character.").arg(quoi);
    const QString horsCp1252 = cp1252::firstUnencodable(nom);
    if (!horsCp1252.isEmpty())
        return QStringLiteral("The %1 cannot contain the character \"%2\": the device's character set "
                              "(Windows-1252) has no place for it.")
            .arg(quoi, horsCp1252);
    if (nom.size() > ControleNoms::LongueurMax)
        return QStringLiteral("The %1 is too long: %2 characters at most.").arg(quoi).arg(ControleNoms::LongueurMax);
    return {};
}

} // namespace

namespace ControleNoms {

QString nomTheme(const QString &nom)
{
    if (nom.isEmpty())
        return QStringLiteral("Need a name for the Theme !");
    static const QString interdits = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : nom)
        if (interdits.contains(c))
            return QStringLiteral("The theme name cannot contain \"%1\": it names files (\\ / : * ? \" < > | "
                                  "are not allowed).")
                .arg(c);
    const QString commun = controleCommun(nom, QStringLiteral("theme name"));
    if (!commun.isEmpty())
        return commun;
    if (nom.endsWith(QLatin1Char(' ')) || nom.endsWith(QLatin1Char('.')))
        return QStringLiteral("The theme name cannot end with a blank or a dot.");
    if (!estNomMembreSur(nom + QStringLiteral(".tsk")))
        return QStringLiteral("The theme name \"%1\" is reserved by Windows for a device.").arg(nom);
    return {};
}

QString nomApplication(const QString &nom)
{
    return controleCommun(nom, QStringLiteral("application name"));
}

} // namespace ControleNoms
