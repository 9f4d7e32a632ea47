#include "theme/images_package.h"

std::vector<ImagePackage> ImagesPackage(int formatTheme, bool startSeul)
{
    std::vector<ImagePackage> images;
    const auto ajoute = [&images](const QString &image, const QString &membre, bool today) {
        const int id = int(images.size()) + 1;
        images.push_back({image, membre + QStringLiteral(".%1").arg(id, 3, 10, QLatin1Char('0')), id, today});
    };

    if (formatTheme == 4 || formatTheme == 5) {
        const QString portrait = formatTheme == 4 ? QStringLiteral("_240_320") : QStringLiteral("_480_640");
        const QString paysage = formatTheme == 4 ? QStringLiteral("_320_240") : QStringLiteral("_640_480");
        if (!startSeul) {
            ajoute(QStringLiteral("tdywater") + portrait + QStringLiteral(".gif"), QStringLiteral("TDYWAT~1"), true);
            ajoute(QStringLiteral("tdywater") + paysage + QStringLiteral(".gif"), QStringLiteral("TDYWAT~2"), true);
        }
        ajoute(QStringLiteral("stwater") + portrait + QStringLiteral(".gif"), QStringLiteral("STWATE~1"), false);
        ajoute(QStringLiteral("stwater") + paysage + QStringLiteral(".gif"), QStringLiteral("STWATE~2"), false);
    } else {
        if (!startSeul)
            ajoute(QStringLiteral("tdywater.gif"), QStringLiteral("tdywater"), true);
        ajoute(QStringLiteral("stwater.gif"), QStringLiteral("0stwater"), false);
    }
    return images;
}
