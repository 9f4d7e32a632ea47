#include "apercu/apercu_ecran.h"
#include "apercu/miniatures.h"
#include "apercu/textes_statut.h"
#include "apercu/vue_apercu_ecran.h"
#include "tests/support/pixels.h"
#include "tests/support/test_env.h"
#include "theme/theme_document.h"
#include "tools/teintes_images.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Distinct colours whose red differs from their blue.
TColor couleurSlot(int i)
{
    return TColor::fromRgb(20 + 9 * i, 200 - 7 * i, 90 + 3 * i);
}

void couleursDistinctes(ThemeDocument &doc)
{
    for (int i = 0; i < 22; ++i)
        doc.setCouleur(i, couleurSlot(i));
}

bool contient(const QImage &img, QRect zone, TColor couleur)
{
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            if (img.pixel(x, y) == couleur.toQRgb())
                return true;
    return false;
}

// A working picture: the name says ".gif" but the content is PNG, as the
// program's working pictures may be.
void ecritImage(const QString &nom, QSize taille, QColor couleur)
{
    QImage img(taille, QImage::Format_RGB32);
    img.fill(couleur);
    ASSERT_TRUE(img.save(QDir(testenv::programDir()).filePath(nom), "PNG"));
}

QPoint centreZone(int zone)
{
    const QPoint centres[3] = {{190, 10}, {146, 10}, {40, 10}};
    return GeometrieApercu::BarreNavigation.topLeft() + centres[zone - 1];
}

CouleursApercu couleursApercu()
{
    CouleursApercu c;
    for (int i = 0; i < 22; ++i)
        c[i] = couleurSlot(i);
    return c;
}

} // namespace

TEST(ApercuEcran, HotZonesHoldTheirLeftAndTopEdgesOnly)
{
    EXPECT_EQ(ZoneMessage(180, 6), 1);
    EXPECT_EQ(ZoneMessage(203, 17), 1);
    EXPECT_EQ(ZoneMessage(204, 10), 0);
    EXPECT_EQ(ZoneMessage(190, 18), 0);
    EXPECT_EQ(ZoneMessage(179, 10), 0);
    EXPECT_EQ(ZoneMessage(140, 6), 2);
    EXPECT_EQ(ZoneMessage(153, 17), 2);
    EXPECT_EQ(ZoneMessage(154, 17), 0);
    EXPECT_EQ(ZoneMessage(1, 6), 3);
    EXPECT_EQ(ZoneMessage(0, 6), 0);
    EXPECT_EQ(ZoneMessage(81, 17), 3);
    EXPECT_EQ(ZoneMessage(82, 10), 0);
    EXPECT_EQ(ZoneMessage(40, 5), 0);
    EXPECT_EQ(IndiceZone(3), QStringLiteral("Show Startup Image"));
    EXPECT_EQ(IndiceZone(0), QString());
}

TEST(ApercuEcran, StartMenuGeometryPerFormat)
{
    const RessourcesApercu res = RessourcesApercu::charge();
    QImage blanc(1000, 1000, QImage::Format_ARGB32);
    blanc.fill(Qt::white);
    for (int f : {0, 1, 2}) {
        FormatImages fmt;
        FixeTailles(fmt, f);
        fmt.FormatTheme = f;
        const GeometrieMenu g = CalculeGeometrieMenu(fmt);
        const QImage menu = DessineMenuDemarrer(FondMenuDemarrer(blanc, g), g, couleursApercu(), res);
        EXPECT_EQ(menu.width(), 152) << f;
        EXPECT_LE(menu.height(), 268 + 19 + 2) << f;
        EXPECT_EQ(menu.pixel(140, 267), qRgb(0, 0, 0)) << f; // the outline's bottom edge
        EXPECT_EQ(menu.pixel(140, 266), qRgb(255, 255, 255)) << f;
    }
    for (int f : {3, 5}) {
        FormatImages fmt;
        FixeTailles(fmt, f);
        fmt.FormatTheme = f;
        const GeometrieMenu g = CalculeGeometrieMenu(fmt);
        EXPECT_EQ(g.largeurMenu, 150);
        EXPECT_EQ(g.hauteurMenu, 287);
        EXPECT_EQ(g.source, QRect(0, 0, 300, 574));
        const QImage menu = DessineMenuDemarrer(FondMenuDemarrer(blanc, g), g, couleursApercu(), res);
        EXPECT_EQ(menu.size(), QSize(152, 289));
        EXPECT_EQ(menu.pixel(140, 267), qRgb(255, 255, 255)) << f; // outline bottom lies outside
        EXPECT_EQ(menu.pixel(150, 267), qRgb(255, 255, 255)) << f; // and so does its right edge
        EXPECT_TRUE(contient(menu, QRect(31, 25, 100, 14), couleurSlot(20))); // entries in slot 21
    }
}

TEST(ApercuEcran, SlotColoursAppearWhereTheScreenDrawsThem)
{
    ThemeDocument doc;
    couleursDistinctes(doc);
    VueApercuEcran vue(doc, testenv::programDir());
    const ImagesApercu &im = vue.images();

    EXPECT_TRUE(testenv::proche(im.barreHaut.pixel(0, 1), couleurSlot(0), 2));    // gradient from slot 1
    EXPECT_TRUE(testenv::proche(im.barreHaut.pixel(239, 1), couleurSlot(1), 2));  // to slot 2
    EXPECT_EQ(im.barreHaut.pixel(28, 1), couleurSlot(2).toQRgb());       // separator in slot 3
    EXPECT_TRUE(contient(im.barreHaut, QRect(30, 6, 40, 14), couleurSlot(2))); // "Start"
    EXPECT_EQ(im.barreBas.pixel(100, 1), couleurSlot(5).toQRgb());       // menu bar in slot 6
    for (int y : {20, 56, 76, 96})
        EXPECT_EQ(im.ecranToday.pixel(200, y), couleurSlot(4).toQRgb()) << y; // rows in slot 5
    EXPECT_TRUE(contient(im.ecranToday, QRect(30, 23, 150, 14), couleurSlot(3))); // texts in slot 4
    EXPECT_TRUE(contient(im.ecranToday, QRect(30, 100, 100, 14), couleurSlot(3)));
    // The detail is the 48 x 48 area at (96, 110).
    EXPECT_EQ(im.detail.size(), QSize(48, 48));
    EXPECT_EQ(im.detail, im.ecranToday.copy(96, 110, 48, 48));
    // The panel puts the parts in their places.
    const QImage &panneau = vue.imageApercu();
    EXPECT_EQ(panneau.pixel(8 + 200, 28 + 20), couleurSlot(4).toQRgb());
    EXPECT_EQ(panneau.pixel(8 + 100, 296 + 1), couleurSlot(5).toQRgb());
    EXPECT_EQ(vue.couleursTheme()[21], couleurSlot(21));
}

TEST(ApercuEcran, NotificationsUseTheirSlots)
{
    const RessourcesApercu res = RessourcesApercu::charge();
    const QDateTime t(QDate(2024, 3, 9), QTime(14, 5));
    const QImage normal = DessineNotification(false, couleursApercu(), res, t);
    ASSERT_EQ(normal.size(), QSize(221, 129));
    EXPECT_TRUE(testenv::proche(normal.pixel(3, 38), couleurSlot(9), 3));     // title gradient slot 10
    EXPECT_TRUE(testenv::proche(normal.pixel(218, 38), couleurSlot(10), 3));  // to slot 11
    EXPECT_TRUE(contient(normal, QRect(8, 20, 160, 14), couleurSlot(15)));
    EXPECT_EQ(qAlpha(normal.pixel(0, 128)), 0); // transparent round the balloon
    EXPECT_EQ(qAlpha(normal.pixel(50, 80)), 255);

    const QImage critique = DessineNotification(true, couleursApercu(), res, t);
    EXPECT_TRUE(testenv::proche(critique.pixel(3, 38), couleurSlot(13), 3));
    EXPECT_TRUE(testenv::proche(critique.pixel(218, 38), couleurSlot(14), 3));
    EXPECT_TRUE(contient(critique, QRect(8, 20, 160, 14), couleurSlot(16)));
    const QImage rangee = DessineRangeeIcones(couleursApercu(), res);
    EXPECT_EQ(rangee.size(), QSize(240, 24));
    EXPECT_EQ(rangee.pixel(2, 2), couleurSlot(6).toQRgb());
}

TEST(ApercuEcran, HotZoneClicksToggleTheOverlays)
{
    ThemeDocument doc;
    couleursDistinctes(doc);
    VueApercuEcran vue(doc, testenv::programDir());
    vue.show();

    QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(1));
    EXPECT_EQ(vue.surimpression(), Surimpression::MessageNormal);
    EXPECT_TRUE(testenv::proche(vue.imageApercu().pixel(16 + 3, 26 + 38), couleurSlot(9), 3));
    QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(1));
    EXPECT_EQ(vue.surimpression(), Surimpression::Aucune);
    EXPECT_TRUE(vue.images().surimpression.isNull());

    QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(1));
    QTest::mouseClick(&vue, Qt::RightButton, {}, centreZone(2));
    EXPECT_EQ(vue.surimpression(), Surimpression::MessageCritique);
    EXPECT_FALSE(vue.images().rangeeIcones.isNull());
    EXPECT_EQ(vue.imageApercu().pixel(8 + 2, 28 + 2), couleurSlot(6).toQRgb()); // icon row on slot 7
    EXPECT_TRUE(testenv::proche(vue.imageApercu().pixel(26 + 3, 51 + 38), couleurSlot(13), 3));

    QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(3));
    EXPECT_EQ(vue.surimpression(), Surimpression::MenuDemarrer);
    EXPECT_TRUE(vue.images().rangeeIcones.isNull());
    EXPECT_EQ(vue.images().surimpression.width(), 152);
    QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(3));
    EXPECT_EQ(vue.surimpression(), Surimpression::Aucune);

    // Outside the zones nothing happens.
    QTest::mouseClick(&vue, Qt::LeftButton, {}, QPoint(8 + 100, 2 + 10));
    QTest::mouseClick(&vue, Qt::LeftButton, {}, QPoint(120, 150));
    EXPECT_EQ(vue.surimpression(), Surimpression::Aucune);
}

TEST(ApercuEcran, UseStartImageSwitchesTheBackgroundAndChangesRedraw)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(480, 536), QColor(220, 30, 40));
    ecritImage(QStringLiteral("stwater.gif"), QSize(399, 586), QColor(40, 200, 60));
    ThemeDocument doc;
    VueApercuEcran vue(doc, testenv::programDir());
    QSignalSpy redessine(&vue, &VueApercuEcran::apercuRedessine);
    EXPECT_EQ(vue.images().ecranToday.pixel(120, 200), qRgb(220, 30, 40));

    ParametresWM5 p = doc.parametres();
    p.UseStartImageDefini = true;
    doc.setParametres(p);
    EXPECT_EQ(vue.images().ecranToday.pixel(120, 200), qRgb(40, 200, 60));
    EXPECT_EQ(redessine.count(), 1);

    doc.setCouleur(4, TColor::fromRgb(1, 2, 250));
    EXPECT_EQ(vue.images().ecranToday.pixel(200, 20), qRgb(1, 2, 250));
    EXPECT_EQ(redessine.count(), 2);

    // A tool rewrites the picture: the preview shows the new one.
    ecritImage(QStringLiteral("stwater.gif"), QSize(399, 586), QColor(10, 20, 230));
    vue.imagesChangees();
    EXPECT_EQ(vue.images().ecranToday.pixel(120, 200), qRgb(10, 20, 230));

    doc.setFormatTheme(0);
    EXPECT_EQ(redessine.count(), 4);
}

TEST(ApercuEcran, TinyCustomFormatDrawsWithoutAreas)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(5, 5), QColor(220, 30, 40));
    ecritImage(QStringLiteral("stwater.gif"), QSize(5, 5), QColor(40, 200, 60));
    ThemeDocument doc;
    FormatImages f = doc.format();
    f.TaillesPerso = {5, 5, 5, 5};
    f.FormatTheme = FormatImages::FormatPerso;
    FixeTailles(f, FormatImages::FormatPerso);
    doc.setFormat(f);
    VueApercuEcran vue(doc, testenv::programDir());
    for (int zone : {3, 1, 2, 3})
        QTest::mouseClick(&vue, Qt::LeftButton, {}, centreZone(zone));
    EXPECT_EQ(vue.imageApercu().size(), GeometrieApercu::Panneau);
    EXPECT_EQ(vue.images().ecranToday.pixel(120, 200), qRgb(255, 255, 255)); // a 5 x 1 area at (117, 133)
    EXPECT_EQ(vue.images().ecranToday.pixel(118, 133), qRgb(220, 30, 40));

    // Sizes that leave no visible area at all draw an empty screen and no menu.
    FormatImages vide = f;
    vide.TailleImages = {5, 5, 5, 5, 5, -14, 640, 376};
    EXPECT_FALSE(CalculeGeometrieMenu(vide).valide());
    EXPECT_TRUE(DessineMenuDemarrer(QImage(), CalculeGeometrieMenu(vide), CouleursApercu{}, RessourcesApercu{}).isNull());
    EXPECT_EQ(FondToday(QImage(5, 5, QImage::Format_RGB32), vide).pixel(120, 134), qRgb(255, 255, 255));
    vide.TailleImages[5] = 0;
    EXPECT_FALSE(CalculeGeometrieMenu(vide).valide());

    // A visible area one row high still draws.
    f.TaillesPerso = {5, 20, 5, 1};
    FixeTailles(f, FormatImages::FormatPerso);
    doc.setFormat(f);
    vue.basculeZone(3);
    EXPECT_EQ(vue.images().ecranToday.size(), QSize(240, 268));
}

TEST(ApercuEcran, StatusTexts)
{
    FormatImages f;
    FixeTailles(f, 3);
    f.FormatTheme = 3;
    EXPECT_EQ(TexteFormatTheme(f), QStringLiteral("Theme Format : (640x588 - 399x586)"));
    f.FormatTheme = 4;
    EXPECT_EQ(TexteFormatTheme(f), QStringLiteral("Theme Format :  QVGA Portrait + Landscape"));
    f.FormatTheme = 5;
    EXPECT_EQ(TexteFormatTheme(f), QStringLiteral("Theme Format :  VGA Portrait + Landscape"));
    f.TaillesPerso = {300, 400, 200, 400};
    FixeTailles(f, 6);
    f.FormatTheme = 6;
    EXPECT_EQ(TexteFormatTheme(f), QStringLiteral("Theme Format : (300x400 - 200x400)"));
    f.FormatTheme = 9;
    EXPECT_EQ(TexteFormatTheme(f), QString());
    EXPECT_EQ(TexteFormatImages(QSize(240, 320), QSize()), QStringLiteral("Images Format : (240x320 - ---x---)"));
    EXPECT_EQ(TexteFormatImages(QSize(), QSize(152, 287)), QStringLiteral("Images Format : (---x--- - 152x287)"));
}

TEST(Miniatures, DominantColourSwatchAndVisibility)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(64, 48), QColor(255, 0, 0));
    ecritImage(QStringLiteral("stwater.gif"), QSize(64, 48), QColor(0, 0, 255));
    ecritImage(QStringLiteral("tdywater_320_240.gif"), QSize(320, 240), QColor(255, 0, 0));
    ThemeDocument doc;
    TeintesImages teintes;
    Miniatures min(doc, testenv::programDir(), teintes);

    EXPECT_FALSE(min.miniature(0)->isHidden());
    EXPECT_EQ(min.couleurDominante(0), TColor::fromRgb(192, 0, 0));
    EXPECT_FALSE(min.panneau(0)->isHidden());
    EXPECT_EQ(min.panneau(0)->palette().color(QPalette::Window), QColor(192, 0, 0));
    // Pure blue has no coloured pixel on the hue scale: no swatch.
    EXPECT_FALSE(min.miniature(1)->isHidden());
    EXPECT_EQ(min.couleurDominante(1), std::nullopt);
    EXPECT_TRUE(min.panneau(1)->isHidden());
    EXPECT_EQ(teintes.PicImage[1], 0);
    // Format 3 has one picture per screen: no landscape thumbnails.
    EXPECT_TRUE(min.miniature(2)->isHidden());
    EXPECT_TRUE(min.panneau(2)->isHidden());

    doc.setFormatTheme(4);
    EXPECT_FALSE(min.miniature(2)->isHidden());
    EXPECT_FALSE(min.panneau(2)->isHidden());
    EXPECT_TRUE(min.miniature(3)->isHidden()); // its picture is missing
    // The thumbnail fits the picture, centred, never enlarged.
    const QImage vignette = min.imageMiniature(2);
    EXPECT_EQ(vignette.size(), Miniatures::TaillePaysage);
    EXPECT_EQ(vignette.pixel(40, 32), qRgb(255, 0, 0));

    doc.setFormatTheme(2);
    EXPECT_TRUE(min.miniature(2)->isHidden());
    EXPECT_TRUE(min.panneau(2)->isHidden());
}

TEST(Miniatures, SwatchClickHandsTheColour)
{
    ecritImage(QStringLiteral("tdywater.gif"), QSize(64, 48), QColor(0, 255, 0));
    ThemeDocument doc;
    TeintesImages teintes;
    Miniatures min(doc, testenv::programDir(), teintes);
    min.show();
    QSignalSpy spy(&min, &Miniatures::panneauClique);
    QTest::mouseClick(min.panneau(0), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 0);
    EXPECT_EQ(spy.at(0).at(1).value<TColor>(), *min.couleurDominante(0));
    EXPECT_TRUE(min.miniature(1)->isHidden());
}
