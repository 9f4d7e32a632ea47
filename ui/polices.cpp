#include "ui/polices.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

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

namespace {

// The families a name is drawn with: its list from the first family the
// font database holds. The font matched is the same, without the lookups
// (fontconfig's fallbacks) for names that are not installed.
QStringList famillesDessin(const QString &nom)
{
    static std::mutex verrou;
    static QHash<QString, QStringList> resolues;
    {
        const std::lock_guard<std::mutex> garde(verrou);
        const auto it = resolues.constFind(nom);
        if (it != resolues.constEnd())
            return *it;
    }
    EnregistrePolices();
    const QStringList liste = FamillesPolice(nom);
    const QStringList installees = QFontDatabase::families();
    QStringList f = liste;
    // No name is not a missing name: Qt then matches on the rest of the
    // request, which a list without it would change.
    for (qsizetype i = 0; !nom.isEmpty() && i < liste.size(); ++i) {
        const auto j = std::find_if(installees.cbegin(), installees.cend(), [&](const QString &n) {
            return n.compare(liste.at(i), Qt::CaseInsensitive) == 0;
        });
        if (j != installees.cend()) {
            f = QStringList{*j} + liste.mid(i + 1);
            break;
        }
    }
    const std::lock_guard<std::mutex> garde(verrou);
    resolues.insert(nom, f);
    return f;
}

} // namespace

QFont PoliceImage(const QString &nom, double taillePoints, int style)
{
    QFont police;
    police.setFamilies(famillesDessin(nom));
    police.setPointSizeF(taillePoints > 0 ? taillePoints : 1);
    police.setBold(style & 1);
    police.setItalic(style & 2);
    police.setUnderline(style & 4);
    police.setStrikeOut(style & 8);
    police.setHintingPreference(QFont::PreferNoHinting);
    return police;
}

namespace {

bool celluleTient(QFont &police, int px, int hauteurPixels, const QImage &surface)
{
    police.setPixelSize(px);
    return QFontMetrics(police, &surface).height() <= hauteurPixels;
}

} // namespace

QFont PoliceHauteurCellule(const QString &nom, int hauteurPixels, int style)
{
    using Cle = std::tuple<QString, int, int>;
    static std::mutex verrou;
    static std::map<Cle, QFont> faites;
    const Cle cle{nom, hauteurPixels, style};
    {
        const std::lock_guard<std::mutex> garde(verrou);
        const auto it = faites.find(cle);
        if (it != faites.end())
            return it->second;
    }
    QFont police = PoliceImage(nom, 9, style);
    const QImage surface = NouvelleImage32(1, 1);
    // The largest pixel size whose cell fits (1 when none does). The cell
    // grows with the size: start from the size the name's cell proportion
    // suggests (measured at the height itself the first time) and step to
    // the last size that fits.
    static QHash<QString, double> proportions; // cell height / pixel size, by name
    const int h = qMax(1, hauteurPixels);
    double proportion = 0;
    {
        const std::lock_guard<std::mutex> garde(verrou);
        proportion = proportions.value(nom, 0.0);
    }
    if (proportion <= 0) {
        police.setPixelSize(h);
        proportion = QFontMetrics(police, &surface).height() / double(h);
        const std::lock_guard<std::mutex> garde(verrou);
        proportions.insert(nom, proportion);
    }
    int bas = qBound(1, int(h / qMax(proportion, 0.01)), h);
    if (celluleTient(police, bas, hauteurPixels, surface)) {
        while (bas < h && celluleTient(police, bas + 1, hauteurPixels, surface))
            ++bas;
    } else {
        while (bas > 1 && !celluleTient(police, --bas, hauteurPixels, surface)) {
        }
    }
    police.setPixelSize(bas);
    const std::lock_guard<std::mutex> garde(verrou);
    faites.emplace(cle, police);
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
