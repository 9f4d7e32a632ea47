#include "ui/texte_brut.h"

#include <QTextDocument>

QString BulleTexteBrut(const QString &texte)
{
    if (!Qt::mightBeRichText(texte))
        return texte;
    QString lignes = texte;
    lignes.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lignes.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString html = lignes.toHtmlEscaped();
    html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    // No wrapping and every blank kept, as the plain hint would show them.
    return QStringLiteral("<p style=\"white-space:pre\">") + html + QStringLiteral("</p>");
}
