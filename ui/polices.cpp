#include "ui/polices.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

#include <mutex>

namespace {

void enregistrePolicesWineUneFois()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char *f : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
            const QString chemin = QString::fromLatin1(f);
            if (QFile::exists(chemin))
                QFontDatabase::addApplicationFont(chemin);
        }
    });
}

} // namespace

void EnregistrePolices()
{
    enregistrePolicesWineUneFois();
}

QStringList FamillesPolice(const QString &nom)
{
    const QString n = nom.toLower();
    QStringList f{nom};
    // The misspelt "Courrier New" is the preview's own name; Windows maps it
    // to its fixed-pitch family too.
    if (n == QLatin1String("courier new") || n == QLatin1String("courrier new"))
        f << QStringLiteral("Courier New") << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono");
    else if (n == QLatin1String("times new roman"))
        f << QStringLiteral("Liberation Serif") << QStringLiteral("DejaVu Serif");
    else
        f << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    f.removeDuplicates();
    return f;
}

QFont PoliceImage(const QString &nom, double taillePoints, int style)
{
    EnregistrePolices();
    QFont police;
    police.setFamilies(FamillesPolice(nom));
    police.setPointSizeF(taillePoints > 0 ? taillePoints : 1);
    police.setBold(style & 1);
    police.setItalic(style & 2);
    police.setUnderline(style & 4);
    police.setStrikeOut(style & 8);
    police.setHintingPreference(QFont::PreferNoHinting);
    return police;
}

QFont PoliceHauteurCellule(const QString &nom, int hauteurPixels, int style)
{
    QFont police = PoliceImage(nom, 9, style);
    const QImage surface = NouvelleImage32(1, 1);
    for (int px = qMax(1, hauteurPixels); px > 1; --px) {
        police.setPixelSize(px);
        if (QFontMetrics(police, &surface).height() <= hauteurPixels)
            return police;
    }
    police.setPixelSize(1);
    return police;
}

void Fixe96Dpi(QImage &image)
{
    image.setDotsPerMeterX(PointsParMetre96);
    image.setDotsPerMeterY(PointsParMetre96);
}

QImage NouvelleImage32(int largeur, int hauteur)
{
    QImage image(qMax(0, largeur), qMax(0, hauteur), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    Fixe96Dpi(image);
    return image;
}
