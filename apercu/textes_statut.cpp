#include "apercu/textes_statut.h"

QString TexteTaillesImages(QSize today, QSize start)
{
    const QString t = today.isValid() ? QStringLiteral("(%1x%2 - ").arg(today.width()).arg(today.height())
                                      : QStringLiteral("(---x--- - ");
    const QString s = start.isValid() ? QStringLiteral("%1x%2)").arg(start.width()).arg(start.height())
                                      : QStringLiteral("---x---)");
    return t + s;
}

QString TexteFormatImages(QSize today, QSize start)
{
    return QStringLiteral("Images Format : ") + TexteTaillesImages(today, start);
}

QString TexteFormatTheme(const FormatImages &format)
{
    const int f = format.FormatTheme;
    if (f < 0 || f >= FormatImages::NbFormats)
        return {};
    QString suite;
    if (f == 4)
        suite = QStringLiteral(" QVGA Portrait + Landscape");
    else if (f == 5)
        suite = QStringLiteral(" VGA Portrait + Landscape");
    else {
        const auto &t = format.TailleImages;
        suite = QStringLiteral("(%1x%2 - %3x%4)").arg(t[0]).arg(t[1]).arg(t[2]).arg(t[3]);
    }
    return QStringLiteral("Theme Format : ") + suite;
}
