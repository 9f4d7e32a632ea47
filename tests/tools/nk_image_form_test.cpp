// The shaped-window image control: the region of a picture's kept pixels
// (tolerance, clamped ranges, many runs), the window it shapes (mask, size,
// frame, moved controls, solid controls, the colour taken from a corner) and
// its mouse behaviour (a press drags, a double click is passed on).

#include "tools/nk_image_form.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QImage uni(int w, int h, QColor c)
{
    QImage i(w, h, QImage::Format_RGB32);
    i.fill(c);
    return i;
}

} // namespace

TEST(NKImageForm, RegionKeepsPixelsOutsideTheToleranceOnEveryChannel)
{
    QImage i = uni(20, 10, Qt::black);
    i.setPixel(1, 1, qRgb(25, 25, 25)); // at the limit: cut
    i.setPixel(2, 1, qRgb(26, 0, 0));   // one channel beyond: kept
    i.setPixel(3, 1, qRgb(0, 0, 26));
    for (int x = 10; x < 15; ++x)
        i.setPixel(x, 5, qRgb(200, 200, 200));
    const QRegion r = CreateRegionFromBitmap(i, TColor::fromRgb(0, 0, 0), 25);
    EXPECT_FALSE(r.contains(QPoint(1, 1)));
    EXPECT_TRUE(r.contains(QPoint(2, 1)));
    EXPECT_TRUE(r.contains(QPoint(3, 1)));
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_EQ(r.boundingRect(), QRect(2, 1, 13, 5));
    // A run is one rectangle: 10..14 on row 5.
    EXPECT_TRUE(r.contains(QRect(10, 5, 5, 1)));
    EXPECT_FALSE(r.contains(QPoint(15, 5)));
    EXPECT_FALSE(r.contains(QPoint(9, 5)));
}

TEST(NKImageForm, RangesAreClampedAndAllTransparentGivesNoRegion)
{
    // Near white with tolerance 25: 225..255 on each channel is cut.
    QImage i = uni(4, 1, QColor(250, 250, 250));
    i.setPixel(1, 0, qRgb(255, 230, 255));
    i.setPixel(2, 0, qRgb(224, 255, 255));
    const QRegion r = CreateRegionFromBitmap(i, TColor::fromRgb(250, 250, 250), 25);
    EXPECT_FALSE(r.contains(QPoint(0, 0)));
    EXPECT_FALSE(r.contains(QPoint(1, 0)));
    EXPECT_TRUE(r.contains(QPoint(2, 0)));

    EXPECT_TRUE(CreateRegionFromBitmap(uni(30, 30, QColor(10, 20, 5)), TColor::fromRgb(0, 0, 0), 25).isEmpty());
    EXPECT_TRUE(CreateRegionFromBitmap(QImage(), TColor::fromRgb(0, 0, 0), 25).isEmpty());
}

TEST(NKImageForm, ThousandsOfRunsAllLandInTheRegion)
{
    // 100 rows of 50 one-pixel runs: 5,000 rectangles, more than two batches.
    QImage i = uni(100, 100, Qt::black);
    for (int y = 0; y < 100; ++y)
        for (int x = (y % 2); x < 100; x += 2)
            i.setPixel(x, y, qRgb(255, 255, 255));
    const QRegion r = CreateRegionFromBitmap(i, TColor::fromRgb(0, 0, 0), 0);
    int dedans = 0, erreurs = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool garde = (x % 2) == (y % 2);
            dedans += garde;
            erreurs += r.contains(QPoint(x, y)) != garde;
        }
    EXPECT_EQ(erreurs, 0);
    EXPECT_EQ(dedans, 5000);
}

TEST(NKImageForm, ShapesItsWindowFromTheTopLeftColour)
{
    QWidget fenetre;
    fenetre.resize(400, 300);
    auto *autre = new QLabel(&fenetre);
    autre->setGeometry(5, 5, 10, 10);
    auto *image = new TNKImageForm(&fenetre);
    image->setTolerance(25);
    image->setAutoRender(TAutoRender::arTopLeft);
    // A red picture with a grey disc-like block: red is taken from (0, 0).
    QImage i = uni(120, 80, QColor(200, 0, 0));
    for (int y = 20; y < 60; ++y)
        for (int x = 30; x < 90; ++x)
            i.setPixel(x, y, qRgb(90, 90, 120));
    image->setImage(i);

    EXPECT_EQ(image->TransparentColor(), TColor::fromRgb(200, 0, 0));
    EXPECT_TRUE(fenetre.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(fenetre.size(), QSize(120, 80));
    const QRegion masque = fenetre.mask();
    EXPECT_TRUE(masque.contains(QPoint(30, 20)));
    EXPECT_TRUE(masque.contains(QPoint(89, 59)));
    EXPECT_FALSE(masque.contains(QPoint(29, 20)));
    EXPECT_FALSE(masque.contains(QPoint(60, 60)));
    // Other controls are cut like the rest without SolidControls.
    EXPECT_FALSE(masque.contains(QPoint(7, 7)));

    image->setSolidControls(true);
    image->RenderForm();
    EXPECT_TRUE(fenetre.mask().contains(QPoint(7, 7)));
}

TEST(NKImageForm, CornerChoicesAndControlsMovedWithTheImage)
{
    QWidget fenetre;
    auto *autre = new QLabel(&fenetre);
    autre->setGeometry(50, 40, 10, 10);
    auto *image = new TNKImageForm(&fenetre);
    image->move(20, 10);
    QImage i = uni(60, 40, Qt::white);
    i.setPixel(59, 39, qRgb(0, 0, 255));
    image->setAutoRender(TAutoRender::arBottomRight);
    image->setImage(i);
    EXPECT_EQ(image->TransparentColor(), TColor::fromRgb(0, 0, 255));
    // Every control, the image included, moved by (-20, -10).
    EXPECT_EQ(image->pos(), QPoint(0, 0));
    EXPECT_EQ(autre->pos(), QPoint(30, 30));

    // An all-transparent picture leaves the window its rectangle.
    image->setAutoRender(TAutoRender::arCenter);
    image->setImage(uni(60, 40, Qt::green));
    EXPECT_TRUE(image->region().isEmpty());
    EXPECT_TRUE(fenetre.mask().isEmpty());

    // arNone neither takes a colour nor shapes.
    image->setAutoRender(TAutoRender::arNone);
    image->setTransparentColor(TColor::fromRgb(1, 2, 3));
    image->setImage(i);
    EXPECT_EQ(image->TransparentColor(), TColor::fromRgb(1, 2, 3));
}

TEST(NKImageForm, APressDragsAndOnlyADoubleClickIsPassedOn)
{
    QWidget fenetre;
    auto *image = new TNKImageForm(&fenetre);
    image->setMoveForm(true);
    image->setAutoRender(TAutoRender::arTopLeft);
    QImage i = uni(50, 50, Qt::black);
    i.fill(qRgb(100, 100, 100));
    image->setImage(i);
    fenetre.show();
    QSignalSpy appuis(image, &TNKImageForm::sourisEnfoncee);

    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(appuis.count(), 0);

    QTest::mouseDClick(image, Qt::LeftButton, {}, QPoint(12, 14));
    ASSERT_EQ(appuis.count(), 1);
    EXPECT_EQ(appuis.at(0).at(0).toPoint(), QPoint(12, 14));
    EXPECT_TRUE(appuis.at(0).at(2).toBool());

    // Without MoveForm a press is an ordinary press.
    image->setMoveForm(false);
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(3, 4));
    ASSERT_EQ(appuis.count(), 2);
    EXPECT_FALSE(appuis.at(1).at(2).toBool());
}
