// The image chooser on metafiles: the converter draws them at the preview's
// size over the background colour, and again at the saved picture's scale.
#include "tests/support/metafichiers_test.h"
#include "tests/tools/choix_images_fixture.h"

#include "tools/charger_bitmap_metafichier.h"

#include <QAbstractButton>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace choixtest;

namespace {

// COLORREF 0x00C01020: R 0x20, G 0x10, B 0xC0.
constexpr quint32 Pinceau = 0x00C01020;
const QRgb CouleurPinceau = qRgb(0x20, 0x10, 0xC0);

QString ecritMetafichier(const QString &nom, const QByteArray &octets)
{
    const QString chemin = testenv::tempDir() + QLatin1Char('/') + nom;
    testenv::writeFile(chemin, octets);
    return chemin;
}

bool attendApercu(Choix &c, const std::function<void()> &action)
{
    const int avant = c.w->nombreCalculsApercu();
    action();
    return QTest::qWaitFor([&] { return c.w->nombreCalculsApercu() > avant && !c.w->apercuEnAttente(); }, 8000);
}

} // namespace

// A 40 x 20 EMF (its left half in the brush colour) shown 408 x 204: drawn at
// that size over the background colour, not enlarged from 40 x 20 on white.
// The edge between brush and background stays sharp, the blank half shows the
// colour, a new colour and a quarter turn draw it again.
TEST(ChoixImagesMetafichier, DrawnAtThePreviewSizeOverTheBackgroundColour)
{
    Choix c(4); // Today portrait 240 x 294
    const TColor fond = TColor::fromRgb(230, 200, 40);
    c.ctx->options.CouleurFond = fond;
    c.prompts.openPictureName(ecritMetafichier(QStringLiteral("petit.emf"), metafichiers::emf(40, 20, Pinceau)));
    c.montre();
    ASSERT_EQ(c.w->RectImage(), QRect(0, 51, 408, 204));
    EXPECT_EQ(c.trouve<QLabel>("LargLbl")->text(), QStringLiteral("Width  : 40"));
    const QImage apercu = c.w->BmpApercu();
    ASSERT_EQ(apercu.size(), QSize(408, 204));
    for (int y : {1, 100, 202}) {
        // Enlarged 10 times from a raster, the edge would blur over 10 pixels.
        EXPECT_EQ(apercu.pixel(3, y), CouleurPinceau) << y;
        EXPECT_EQ(apercu.pixel(200, y), CouleurPinceau) << y;
        // libemf2svg strokes the rectangle with a 1-unit pen: half a unit
        // (5 view pixels) more.
        EXPECT_EQ(apercu.pixel(213, y), fond.toQRgb()) << y;
        EXPECT_EQ(apercu.pixel(405, y), fond.toQRgb()) << y;
    }
    EXPECT_EQ(c.trouve<TVueChoixImages>("Image1")->affichage().pixel(300, 150), fond.toQRgb());

    const TColor vert = TColor::fromRgb(20, 180, 60);
    c.prompts.color(vert);
    ASSERT_TRUE(attendApercu(c, [&] { c.clique(c.trouve<QAbstractButton>("Panel7")); }));
    EXPECT_EQ(c.w->BmpApercu().pixel(300, 100), vert.toQRgb());
    EXPECT_EQ(c.w->BmpApercu().pixel(100, 100), CouleurPinceau);

    // A quarter turn clockwise: the brush's half is now the top one, and the
    // picture is drawn 153 x 306 for its new place.
    ASSERT_TRUE(attendApercu(c, [&] { c.clique(c.trouve<QToolButton>("RotHSBtn")); }));
    const QImage tournee = c.w->BmpApercu();
    ASSERT_EQ(tournee.size(), c.w->RectImage().size());
    EXPECT_EQ(tournee.size(), QSize(153, 306));
    EXPECT_EQ(tournee.pixel(76, 20), CouleurPinceau);
    EXPECT_EQ(tournee.pixel(76, 148), CouleurPinceau);
    EXPECT_EQ(tournee.pixel(76, 158), vert.toQRgb());
    EXPECT_EQ(tournee.pixel(76, 290), vert.toQRgb());
}

// The final picture is the metafile drawn again at the target's scale over
// the background colour: with the frame across the edge, the brush on the
// left and the colour on the right, one sharp edge where the frame put it
// (enlarged from the 40 x 20 source it would blur over 6 pixels).
TEST(ChoixImagesMetafichier, FinalPictureDrawnAtTheTargetScale)
{
    Choix c(4); // Today portrait 240 x 294
    const TColor fond = TColor::fromRgb(200, 30, 160);
    c.ctx->options.CouleurFond = fond;
    c.prompts.openPictureName(ecritMetafichier(QStringLiteral("petit.wmf"), metafichiers::wmf(40, 20, Pinceau)));
    c.montre();
    const QRect img = c.w->RectImage();
    ASSERT_EQ(img, QRect(0, 51, 408, 204));
    // The frame (167 x 204 view pixels) centred on the picture's middle.
    auto *vue = c.trouve<QWidget>("Image1");
    QTest::mousePress(vue, Qt::LeftButton, {}, img.center());
    QTest::mouseMove(vue, QPoint(img.center().x() + 1, img.center().y()));
    QTest::mouseRelease(vue, Qt::LeftButton, {}, QPoint(img.center().x() + 1, img.center().y()));
    const QRect cadre = c.w->RectCadre();
    ASSERT_LT(cadre.left(), 204);
    ASSERT_GT(cadre.right(), 204);
    const QImage finale = c.w->ConstruitImageFinale().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(finale.size(), QSize(240, 294));
    // Where the edge falls in the final picture: 240 target pixels for the frame's width.
    const double bord = (204.0 - cadre.left()) * 240.0 / cadre.width();
    for (int y : {2, 150, 291}) {
        EXPECT_EQ(finale.pixel(1, y), CouleurPinceau) << y;
        EXPECT_EQ(finale.pixel(int(bord) - 2, y), CouleurPinceau) << y;
        EXPECT_EQ(finale.pixel(int(bord) + 3, y), fond.toQRgb()) << y;
        EXPECT_EQ(finale.pixel(238, y), fond.toQRgb()) << y;
    }
}
