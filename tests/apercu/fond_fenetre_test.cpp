#include "apercu/fond_fenetre.h"
#include "tools/hls.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

const TColor kL = TColor::fromRgb(20, 60, 210);  // lower form colour
const TColor kU = TColor::fromRgb(250, 220, 40); // upper form colour

ParamsFond params(int direction, QSize taille = QSize(600, 400))
{
    ParamsFond p;
    p.taille = taille;
    p.hauteurBarreEtat = 20;
    p.inferieure = kL;
    p.superieure = kU;
    p.direction = direction;
    p.version = QStringLiteral("1.0.0.0");
    return p;
}

int distance(QRgb a, TColor c)
{
    return std::abs(qRed(a) - c.red()) + std::abs(qGreen(a) - c.green()) + std::abs(qBlue(a) - c.blue());
}

// Mean colour of a row, over the columns [x0, x1).
QRgb moyenneLigne(const QImage &img, int y, int x0, int x1)
{
    long r = 0, g = 0, b = 0;
    for (int x = x0; x < x1; ++x) {
        r += qRed(img.pixel(x, y));
        g += qGreen(img.pixel(x, y));
        b += qBlue(img.pixel(x, y));
    }
    const int n = x1 - x0;
    return qRgb(int(r / n), int(g / n), int(b / n));
}

bool plusProcheDe(QRgb p, TColor vise, TColor autre)
{
    return distance(p, vise) < distance(p, autre);
}

} // namespace

TEST(DessineFond, VerticalGradientRunsFromUpperToLower)
{
    for (int largeur : {300, 900}) {
        const QImage img = DessineFond(params(2, QSize(largeur, 400)));
        ASSERT_EQ(img.size(), QSize(largeur, 400));
        // Faint overlays (alpha 16) leave the rows close to the end colours.
        EXPECT_LT(distance(moyenneLigne(img, 0, 0, largeur), kU), 90) << largeur;
        EXPECT_LT(distance(moyenneLigne(img, 399, 0, largeur), kL), 90) << largeur;
        EXPECT_TRUE(plusProcheDe(moyenneLigne(img, 0, 0, largeur), kU, kL));
        EXPECT_TRUE(plusProcheDe(moyenneLigne(img, 399, 0, largeur), kL, kU));
    }
}

TEST(DessineFond, DiagonalGradientsAndTheirCorners)
{
    const QImage slash = DessineFond(params(0));
    EXPECT_TRUE(plusProcheDe(slash.pixel(599, 0), kU, kL));
    EXPECT_TRUE(plusProcheDe(slash.pixel(0, 399), kL, kU));
    const QImage antislash = DessineFond(params(1));
    EXPECT_TRUE(plusProcheDe(antislash.pixel(0, 0), kU, kL));
    EXPECT_TRUE(plusProcheDe(antislash.pixel(599, 399), kL, kU));
    // On a square picture the corners off the gradient's line are half-way on
    // both diagonals (and lie outside the curve and the rays).
    const QImage slashCarre = DessineFond(params(0, QSize(400, 400)));
    const QImage antislashCarre = DessineFond(params(1, QSize(400, 400)));
    const QRgb milieu = qRgb((kU.red() + kL.red()) / 2, (kU.green() + kL.green()) / 2, (kU.blue() + kL.blue()) / 2);
    EXPECT_LE(distance(slashCarre.pixel(0, 0), TColor::fromQRgb(milieu)), 6);
    EXPECT_LE(distance(antislashCarre.pixel(0, 399), TColor::fromQRgb(milieu)), 6);
    EXPECT_LE(distance(slashCarre.pixel(0, 0), TColor::fromQRgb(antislashCarre.pixel(0, 399))), 3);
}

TEST(DessineFond, EveryPixelIsFilledEvenWithAnUnknownDirection)
{
    const QImage sept = DessineFond(params(7));
    for (int y = 0; y < sept.height(); y += 7)
        for (int x = 0; x < sept.width(); x += 7)
            ASSERT_EQ(qAlpha(sept.pixel(x, y)), 255) << x << "," << y;
    EXPECT_EQ(sept, DessineFond(params(2)));
    EXPECT_TRUE(DessineFond(params(0, QSize(0, 10))).isNull());
}

TEST(DessineFond, LetteringSitsAboveTheStatusBarRightOfCentre)
{
    ParamsFond sans = params(2);
    sans.version.clear();
    const QImage a = DessineFond(sans), b = DessineFond(params(2));
    int differents = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++differents;
                ASSERT_GE(x, 300) << x << "," << y;
                ASSERT_GE(y, 400 - 20 - 17 - 4) << x << "," << y;
            }
    EXPECT_GT(differents, 0);
}

TEST(DessineFond, FifthRayReachesThePreviewButton)
{
    ParamsFond avec = params(2);
    avec.boutonApercu = QRect(20, 100, 40, 40);
    const QImage a = DessineFond(params(2)), b = DessineFond(avec);
    EXPECT_NE(a.pixel(45, 125), b.pixel(45, 125));
    EXPECT_EQ(a.pixel(300, 30), b.pixel(300, 30));
}

TEST(DessineFond, ShadowColourIsDarkerNeverWhite)
{
    const CouleurHLS avant = ColorRGBToHLS(kL);
    const CouleurHLS apres = ColorRGBToHLS(CouleurOmbre(kL));
    EXPECT_NEAR(int(apres.luminance), int(avant.luminance) - 100, 1);
    EXPECT_NEAR(int(apres.teinte), int(avant.teinte), 2);
    // Darker than 100 steps: black, not the wrapped-around white.
    EXPECT_EQ(CouleurOmbre(TColor::fromRgb(60, 10, 10)), TColor::fromValue(0));
}

TEST(CourbeCardinale, ClosedThroughItsPointsAndSymmetric)
{
    const QVector<QPointF> carre = {QPointF(0, 0), QPointF(100, 0), QPointF(100, 100), QPointF(0, 100)};
    const QPainterPath c = CourbeCardinaleFermee(carre);
    // It passes through every point, bulging out of the square evenly.
    for (const QPointF &p : carre) {
        bool passe = false;
        for (int i = 0; i < c.elementCount(); ++i)
            passe |= QPointF(c.elementAt(i)) == p;
        EXPECT_TRUE(passe) << p.x() << "," << p.y();
    }
    const QRectF r = c.boundingRect();
    EXPECT_LT(r.left(), 0);
    EXPECT_NEAR(r.center().x(), 50, 1e-9);
    EXPECT_NEAR(r.center().y(), 50, 1e-9);
    EXPECT_NEAR(r.width(), r.height(), 1e-9);
    EXPECT_TRUE(CourbeCardinaleFermee({}).isEmpty());
}

TEST(PeintreFond, PaintsThePictureOrThePlainText)
{
    QWidget zone;
    zone.resize(400, 300);
    auto *peintre = new PeintreFond(&zone);
    ParamsFond p = params(2);
    p.hauteurBarreEtat = 0;
    peintre->fixe(p, false);
    // Not shown yet: drawn at the first paint, at the size the widget has then.
    EXPECT_EQ(peintre->nombreDessins(), 0);
    EXPECT_FALSE(peintre->aJour());
    zone.resize(420, 310);
    QImage vu = zone.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(peintre->nombreDessins(), 1);
    EXPECT_TRUE(peintre->aJour());
    EXPECT_EQ(peintre->image().size(), QSize(420, 310));
    zone.resize(400, 300);
    vu = zone.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(peintre->nombreDessins(), 2);
    ASSERT_EQ(peintre->image().size(), QSize(400, 300));
    EXPECT_EQ(peintre->image(), DessineFond([&] {
                  ParamsFond q = p;
                  q.taille = QSize(400, 300);
                  return q;
              }()));

    EXPECT_EQ(vu.pixel(200, 150), peintre->image().pixel(200, 150));
    // Painting again at the same size draws nothing new.
    zone.grab();
    EXPECT_EQ(peintre->nombreDessins(), 2);

    // The uniform look: no picture.
    peintre->fixe(p, true);
    vu = zone.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(vu.pixel(200, 150), zone.palette().color(QPalette::Window).rgb());

    // A new size (the layout moved things) gets a picture of that size.
    peintre->fixe(p, false);
    const int avant = peintre->nombreDessins();
    zone.resize(500, 320);
    zone.grab();
    EXPECT_EQ(peintre->nombreDessins(), avant + 1);
    EXPECT_EQ(peintre->image().size(), QSize(500, 320));

    // On the screen, new colours are drawn at once, and only once.
    zone.show();
    QCoreApplication::processEvents();
    const int montre = peintre->nombreDessins();
    std::vector<QSize> dessins;
    peintre->apresDessin = [&](const QImage &image) { dessins.push_back(image.size()); };
    p.inferieure = TColor::fromValue(0x0000C0);
    peintre->fixe(p, false);
    EXPECT_EQ(peintre->nombreDessins(), montre + 1);
    EXPECT_EQ(dessins, std::vector<QSize>{QSize(500, 320)});
    zone.grab();
    EXPECT_EQ(peintre->nombreDessins(), montre + 1);
}
