// The hue histogram window: the curve scaling (linear, logarithmic, peaks that
// cannot scale, counts of a 12-megapixel picture), the hover and click picks
// it hands out, what each way of closing sends back, and the curves drawn by
// mode and format.

#include "tools/echelles_teinte.h"
#include "tools/histo_teinte.h"
#include "tools/teintes_images.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace GeometrieHisto;

namespace {

constexpr int Haute = EchellesTeinte::HautBandeHaute;
constexpr int Basse = EchellesTeinte::HautBandeBasse;

QList<int> choix(const QList<QVariant> &emission)
{
    return {emission.at(0).toInt(), emission.at(1).toInt()};
}

void bouge(QWidget *w, int x, Qt::KeyboardModifiers m = Qt::NoModifier, Qt::MouseButtons b = Qt::NoButton)
{
    const QPointF pos(x, 100);
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, b, m);
    QApplication::sendEvent(w, &e);
}

struct Fenetre
{
    TeintesImages teintes;
    std::unique_ptr<THistoTeinte> f;
    std::unique_ptr<QSignalSpy> spy;

    explicit Fenetre(int mode, int format = 0)
    {
        teintes.HistoImages[0][30] = 400;
        teintes.HistoImages[0][100] = 7;
        teintes.PicImage[0] = 400;
        teintes.MaxBrutImage[0] = 30;
        teintes.TeinteImage[0] = 30;
        teintes.HistoImages[1][150] = 90;
        teintes.PicImage[1] = 90;
        teintes.TeinteImage[1] = 150;
        teintes.TeinteImage[3] = 77; // a landscape slot never analysed: peak 0
        f = std::make_unique<THistoTeinte>(teintes, mode, format, testenv::programDir(), QImage());
        f->setCalculateur(12, Basse, 120, 160, TColor::fromRgb(10, 20, 30));
        spy = std::make_unique<QSignalSpy>(f.get(), &THistoTeinte::choix);
        f->show();
    }
    QLabel *panneau(int k) { return f->findChild<QLabel *>(QStringLiteral("Panel%1").arg(k)); }
};

} // namespace

TEST(HistoTeinte, CurvesScaleLinearlyAndLogarithmically)
{
    HistogrammeTeintes bins{};
    bins[0] = 100;
    bins[10] = 50;
    bins[239] = 1;
    const QList<QPoint> lin = PointsCourbeHisto(bins, 100, false);
    ASSERT_EQ(lin.size(), 242);
    EXPECT_EQ(lin.first(), QPoint(X0, Y0));
    EXPECT_EQ(lin.last(), QPoint(X0 + 241, Y0));
    EXPECT_EQ(lin[1], QPoint(X0 + 1, Y0 - 200));
    EXPECT_EQ(lin[11], QPoint(X0 + 11, Y0 - 100));
    EXPECT_EQ(lin[240], QPoint(X0 + 240, Y0 - 2));
    EXPECT_EQ(lin[2].y(), Y0);

    const QList<QPoint> log = PointsCourbeHisto(bins, 100, true);
    EXPECT_EQ(log[1].y(), Y0 - 200);
    EXPECT_EQ(log[11].y(), Y0 - 170); // ln 50 / ln 100 * 200 = 169.9
    EXPECT_EQ(log[240].y(), Y0);      // ln 1 = 0
}

TEST(HistoTeinte, PeaksThatCannotScaleAndHugeCountsStayInTheBand)
{
    HistogrammeTeintes bins{};
    bins[5] = 3;
    for (const QPoint &p : PointsCourbeHisto(bins, 0, false))
        EXPECT_EQ(p.y(), Y0);
    for (const QPoint &p : PointsCourbeHisto(bins, 0, true))
        EXPECT_EQ(p.y(), Y0);
    // A peak of 1 on the logarithmic scale: counted bins at full height.
    EXPECT_EQ(PointsCourbeHisto(bins, 1, true)[6].y(), Y0 - 200);
    EXPECT_EQ(PointsCourbeHisto(bins, 1, true)[7].y(), Y0);
    // A stale count above the peak is capped.
    EXPECT_EQ(PointsCourbeHisto(bins, 1, false)[6].y(), Y0 - 200);

    // One bin of a 12-megapixel picture: count * 200 does not fit 32 bits.
    bins[5] = 15'000'000;
    EXPECT_EQ(PointsCourbeHisto(bins, 20'000'000, false)[6].y(), Y0 - 150);
}

TEST(HistoTeinte, HoverPicksTheColouredStripAndAnyKeyOrButtonTheGreyOne)
{
    Fenetre w(THistoTeinte::ModeToday);
    QWidget *image = w.f->imageHisto();
    bouge(image, 15);
    ASSERT_EQ(w.spy->count(), 1);
    EXPECT_EQ(choix(w.spy->last()), (QList<int>{0, Haute}));
    EXPECT_EQ(w.panneau(0)->text(), QStringLiteral("HueK : 256"));

    bouge(image, 15 + 100);
    EXPECT_EQ(w.panneau(1)->text(), QStringLiteral("Hue : 100 (0-240), Angle : 150\u00B0, Nb : 7"));

    bouge(image, 254);
    EXPECT_EQ(choix(w.spy->last()), (QList<int>{239, Haute}));

    bouge(image, 255);
    EXPECT_EQ(w.spy->count(), 3);
    EXPECT_TRUE(w.panneau(0)->text().isEmpty());
    EXPECT_TRUE(w.panneau(1)->text().isEmpty());
    EXPECT_EQ(w.f->teinteSurvolee(), -1);

    bouge(image, 15 + 40, Qt::NoModifier, Qt::LeftButton);
    EXPECT_EQ(choix(w.spy->last()), (QList<int>{40, Basse}));
    EXPECT_EQ(w.panneau(0)->text(), QStringLiteral("HueK : 40"));
    bouge(image, 15 + 41, Qt::ControlModifier);
    EXPECT_EQ(choix(w.spy->last()), (QList<int>{41, Basse}));
}

TEST(HistoTeinte, EveryCloseButADoubleClickPutsTheCalculatorBack)
{
    {
        // A click picks (grey with Ctrl), then Esc sends the opening pick back.
        Fenetre w(THistoTeinte::ModeStart);
        QTest::mouseClick(w.f->imageHisto(), Qt::LeftButton, Qt::ControlModifier, QPoint(15 + 60, 50));
        EXPECT_EQ(choix(w.spy->last()), (QList<int>{60, Basse}));
        QTest::keyClick(w.f.get(), Qt::Key_Escape);
        EXPECT_FALSE(w.f->isVisible());
        EXPECT_EQ(w.f->result(), QDialog::Rejected);
        EXPECT_EQ(choix(w.spy->last()), (QList<int>{12, Basse}));
    }
    {
        Fenetre w(THistoTeinte::ModeToday);
        bouge(w.f->imageHisto(), 15 + 90);
        w.f->close();
        EXPECT_FALSE(w.f->valide());
        EXPECT_EQ(choix(w.spy->last()), (QList<int>{12, Basse}));
    }
    {
        Fenetre w(THistoTeinte::ModeToday);
        bouge(w.f->imageHisto(), 15 + 90);
        QTest::mouseDClick(w.f->imageHisto(), Qt::LeftButton, Qt::NoModifier, QPoint(15 + 90, 50));
        EXPECT_TRUE(w.f->valide());
        EXPECT_EQ(w.f->result(), QDialog::Accepted);
        EXPECT_EQ(choix(w.spy->last()), (QList<int>{90, Haute}));
    }
}

TEST(HistoTeinte, BothPicturesOfFormat4DrawTheLandscapeCurvesWhoseFilesExist)
{
    testenv::writeFile(testenv::programDir() + "/stwater_320_240.gif", "GIF89a");
    Fenetre w(THistoTeinte::ModeTodayStart, 4);
    EXPECT_EQ(w.f->emplacementsDessines(), (QList<int>{1, 0, 3}));
    EXPECT_EQ(w.f->findChild<QLabel *>("TeinteEval")->text(), QStringLiteral("Suggested Hue : 30"));
    EXPECT_EQ(w.f->findChild<QLabel *>("TeinteEval2")->text(), QStringLiteral("Suggested Hue : 150, 77"));
    EXPECT_EQ(w.f->rendu(false).size(), QSize(Largeur, Hauteur));

    // The two scales give two renderings; the box switches between them.
    const QImage lin = w.f->rendu(false);
    const QImage log = w.f->rendu(true);
    EXPECT_NE(lin, log);
    w.f->findChild<QCheckBox *>("EchelleCB")->click();
    EXPECT_EQ(w.f->imageHisto()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              log.convertToFormat(QImage::Format_ARGB32));

    // Other formats ignore landscape files.
    Fenetre autre(THistoTeinte::ModeTodayStart, 0);
    EXPECT_EQ(autre.f->emplacementsDessines(), (QList<int>{1, 0}));
    Fenetre today(THistoTeinte::ModeToday, 4);
    EXPECT_EQ(today.f->emplacementsDessines(), (QList<int>{0}));
    EXPECT_FALSE(today.f->findChild<QLabel *>("TeinteEval2")->isVisible());
}
