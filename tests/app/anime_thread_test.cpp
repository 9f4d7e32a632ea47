#include "app/anime_thread.h"
#include "tests/support/attente.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "theme/theme_document.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const std::vector<QRgb> kPalette{qRgb(255, 255, 255), qRgb(0, 0, 128), qRgb(0, 0, 127), qRgb(1, 0, 128)};
const TColor kFond = TColor::fromRgb(10, 200, 250);
const TColor kDots = TColor::fromRgb(250, 20, 5);
constexpr int kSlotDots = 21; // slot 22, "Tap-and-hold dots"

QString ecritFichier(const QString &nom, const QByteArray &octets)
{
    const QString chemin = testenv::tempDir() + "/" + nom;
    testenv::writeFile(chemin, octets);
    return chemin;
}

// A 10 x 10 GIF: frame 0 has the key colour in its top-left 4 x 4 block,
// frame 1 in its bottom-right one; near-key colours elsewhere.
QString gifDeuxImages(int delai0, int delai1)
{
    auto c0 = gifecrit::uni(10, 10, 2, 1, 0, 0, 4, 4, delai0);
    auto c1 = gifecrit::uni(10, 10, 3, 1, 6, 6, 4, 4, delai1);
    return ecritFichier("deux.gif", gifecrit::ecrit(10, 10, kPalette, {c0, c1}));
}

// What a 20 x 20 target must show: the key block of the frame, offset by the
// centring (5, 5), in `trait`, everything else the background.
QImage attendu(int bx, int by, TColor trait)
{
    QImage i(20, 20, QImage::Format_ARGB32);
    i.fill(kFond.toQRgb());
    for (int y = by; y < by + 4; ++y)
        for (int x = bx; x < bx + 4; ++x)
            i.setPixel(5 + x, 5 + y, trait.toQRgb());
    return i;
}

bool memesPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000) != (b.pixel(x, y) | 0xFF000000))
                return false;
    return true;
}

QImage ecran(QLabel &l) { return l.grab().toImage(); }

struct Banc
{
    ThemeDocument doc;
    QLabel label;
    AnimationPause pause;
    Banc()
    {
        label.resize(20, 20);
        doc.setCouleur(kSlotDots, kDots);
    }
    TAnimeThread::SourceCouleur couleur()
    {
        return [this] { return doc.slot(kSlotDots).couleur; };
    }
};

} // namespace

TEST(AnimeThread, FramesAreRecolouredIntoTwoColoursInOrderWithTheirDelays)
{
    Banc b;
    TAnimeThread anim(&b.label, gifDeuxImages(5, 20), kFond, b.couleur(), &b.pause);
    ASSERT_TRUE(anim.pret());
    EXPECT_EQ(anim.nombreImages(), 2);
    EXPECT_EQ(anim.rectangleAjuste(), QRect(5, 5, 10, 10));
    // The first frame is on screen at once, for the frame's own delay.
    EXPECT_EQ(anim.imageCourante(), 0);
    EXPECT_TRUE(anim.enCours());
    EXPECT_EQ(anim.intervalleMs(), 50);
    EXPECT_TRUE(memesPixels(ecran(b.label), attendu(0, 0, kDots)));

    QSignalSpy spy(&anim, &TAnimeThread::imageDessinee);
    anim.imageSuivante();
    EXPECT_EQ(anim.imageCourante(), 1);
    EXPECT_EQ(anim.intervalleMs(), 200);
    EXPECT_TRUE(memesPixels(ecran(b.label), attendu(6, 6, kDots)));
    anim.imageSuivante();
    EXPECT_EQ(anim.imageCourante(), 0);
    EXPECT_EQ(anim.intervalleMs(), 50);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy[0][0].toInt(), 1);
    EXPECT_EQ(spy[1][0].toInt(), 0);
}

TEST(AnimeThread, TheTimerPlaysTheFramesAndAColourChangeShowsFromTheNextFrame)
{
    Banc b;
    TAnimeThread anim(&b.label, gifDeuxImages(1, 1), kFond, b.couleur(), &b.pause);
    QSignalSpy spy(&anim, &TAnimeThread::imageDessinee);
    ASSERT_TRUE(testenv::attendSignaux(spy, 3, 5000));
    EXPECT_EQ(spy[0][0].toInt(), 1);
    EXPECT_EQ(spy[1][0].toInt(), 0);
    EXPECT_EQ(spy[2][0].toInt(), 1);

    // No event runs between these lines: the frame on screen keeps the old
    // colour, the next one drawn by the timer takes the new one.
    const QImage avant = ecran(b.label);
    const TColor neuve = TColor::fromRgb(3, 140, 70);
    b.doc.setCouleur(kSlotDots, neuve);
    EXPECT_TRUE(memesPixels(ecran(b.label), avant));
    ASSERT_TRUE(testenv::attendSignaux(spy, int(spy.size()) + 1, 5000));
    const int k = spy.last()[0].toInt();
    EXPECT_TRUE(memesPixels(ecran(b.label), k == 0 ? attendu(0, 0, neuve) : attendu(6, 6, neuve)));
}

TEST(AnimeThread, ColourReadAtEveryFrame)
{
    Banc b;
    TAnimeThread anim(&b.label, gifDeuxImages(5, 5), kFond, b.couleur(), &b.pause);
    const TColor neuve = TColor::fromRgb(3, 140, 70);
    b.doc.setCouleur(kSlotDots, neuve);
    EXPECT_TRUE(memesPixels(anim.imageAffichee(), attendu(0, 0, kDots)));
    anim.imageSuivante();
    EXPECT_TRUE(memesPixels(anim.imageAffichee(), attendu(6, 6, neuve)));
}

TEST(AnimeThread, StillGifOneFrameZeroDelayAndOtherPictures)
{
    Banc b;
    {
        // No frame-delay table: not animated, the target stays empty.
        auto c = gifecrit::uni(10, 10, 0, 1, 0, 0, 4, 4, 0);
        c.controle = false;
        QPixmap ancien(20, 20);
        ancien.fill(Qt::red);
        b.label.setPixmap(ancien);
        TAnimeThread anim(&b.label, ecritFichier("fixe.gif", gifecrit::ecrit(10, 10, kPalette, {c, c})), kFond,
                          b.couleur(), &b.pause);
        EXPECT_FALSE(anim.pret());
        EXPECT_FALSE(anim.enCours());
        EXPECT_EQ(anim.imageCourante(), -1);
        EXPECT_TRUE(b.label.pixmap().isNull());
        anim.imageSuivante();
        EXPECT_TRUE(b.label.pixmap().isNull());
    }
    {
        // One frame: redrawn every delay with that frame.
        TAnimeThread anim(&b.label,
                          ecritFichier("un.gif", gifecrit::ecrit(10, 10, kPalette,
                                                                 {gifecrit::uni(10, 10, 0, 1, 0, 0, 4, 4, 7)})),
                          kFond, b.couleur(), &b.pause);
        ASSERT_TRUE(anim.pret());
        EXPECT_EQ(anim.intervalleMs(), 70);
        QSignalSpy spy(&anim, &TAnimeThread::imageDessinee);
        ASSERT_TRUE(testenv::attendSignaux(spy, 2, 5000));
        EXPECT_EQ(spy[0][0].toInt(), 0);
        EXPECT_EQ(spy[1][0].toInt(), 0);
        EXPECT_TRUE(memesPixels(ecran(b.label), attendu(0, 0, kDots)));
    }
    {
        // A delay of 0 is shown for the floor, not spun.
        TAnimeThread anim(&b.label, gifDeuxImages(0, 3), kFond, b.couleur(), &b.pause);
        EXPECT_EQ(anim.intervalleMs(), TAnimeThread::DelaiNulMs);
        EXPECT_EQ(TAnimeThread::DelaiNulMs, 100);
        anim.imageSuivante();
        EXPECT_EQ(anim.intervalleMs(), 30);
    }
    {
        // A PNG changes every 750 ms.
        QImage png(10, 10, QImage::Format_ARGB32);
        png.fill(qRgb(0, 0, 129));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                png.setPixel(x, y, qRgb(0, 0, 128));
        const QString chemin = testenv::tempDir() + "/p.png";
        ASSERT_TRUE(png.save(chemin));
        TAnimeThread anim(&b.label, chemin, kFond, b.couleur(), &b.pause);
        ASSERT_TRUE(anim.pret());
        EXPECT_EQ(anim.intervalleMs(), 750);
        EXPECT_TRUE(memesPixels(ecran(b.label), attendu(0, 0, kDots)));
    }
    {
        // Missing and damaged files: nothing is drawn.
        TAnimeThread absent(&b.label, testenv::tempDir() + "/absent.gif", kFond, b.couleur(), &b.pause);
        EXPECT_FALSE(absent.pret());
        const QByteArray bon = gifecrit::ecrit(10, 10, kPalette, {gifecrit::uni(10, 10, 0, 1, 0, 0, 4, 4, 7)});
        TAnimeThread tronque(&b.label, ecritFichier("t.gif", bon.left(bon.size() - 5)), kFond, b.couleur(),
                             &b.pause);
        EXPECT_FALSE(tronque.pret());
        EXPECT_TRUE(b.label.pixmap().isNull());
    }
}

TEST(AnimeThread, ALargerPictureIsFittedWithoutLosingTheKeyColour)
{
    Banc b;
    auto c = gifecrit::uni(40, 20, 0, 1, 0, 0, 20, 20, 5); // key colour on the left half
    TAnimeThread anim(&b.label, ecritFichier("large.gif", gifecrit::ecrit(40, 20, kPalette, {c})), kFond,
                      b.couleur(), &b.pause);
    EXPECT_EQ(anim.rectangleAjuste(), QRect(0, 5, 20, 10));
    const QImage i = ecran(b.label);
    EXPECT_EQ(i.pixel(2, 10) | 0xFF000000, kDots.toQRgb());
    EXPECT_EQ(i.pixel(9, 14) | 0xFF000000, kDots.toQRgb());
    EXPECT_EQ(i.pixel(10, 10) | 0xFF000000, kFond.toQRgb());
    EXPECT_EQ(i.pixel(2, 2) | 0xFF000000, kFond.toQRgb());
    EXPECT_EQ(i.pixel(2, 17) | 0xFF000000, kFond.toQRgb());
}

TEST(AnimeThread, PausesNestAndEveryPathResumes)
{
    Banc b;
    TAnimeThread anim(&b.label, gifDeuxImages(1, 1), kFond, b.couleur(), &b.pause);
    QSignalSpy spy(&anim, &TAnimeThread::imageDessinee);

    b.pause.pause();
    b.pause.pause();
    b.pause.resume();
    EXPECT_TRUE(b.pause.isPaused());
    EXPECT_FALSE(anim.enCours());
    const int figee = anim.imageCourante();
    anim.imageSuivante(); // a late timer tick draws nothing
    EXPECT_EQ(anim.imageCourante(), figee);
    EXPECT_EQ(spy.size(), 0);
    b.pause.resume();
    EXPECT_TRUE(anim.enCours());
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));

    // The guard resumes when an error leaves the paused section...
    try {
        AnimationPauseGuard garde(&b.pause);
        EXPECT_FALSE(anim.enCours());
        throw std::runtime_error("read failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(b.pause.isPaused());
    EXPECT_TRUE(anim.enCours());
    // ...and on an early return.
    auto operation = [&](bool abandon) {
        AnimationPauseGuard garde(&b.pause);
        if (abandon)
            return false;
        return true;
    };
    EXPECT_FALSE(operation(true));
    EXPECT_TRUE(anim.enCours());
    const int avant = int(spy.size());
    ASSERT_TRUE(testenv::attendSignaux(spy, avant + 2, 5000));
}

TEST(AnimeThread, CreatedWhilePausedStartsOnResumeAndStopsForGood)
{
    Banc b;
    b.pause.pause();
    auto anim = std::make_unique<TAnimeThread>(&b.label, gifDeuxImages(1, 1), kFond, b.couleur(), &b.pause);
    EXPECT_TRUE(anim->pret());
    EXPECT_EQ(anim->imageCourante(), -1);
    EXPECT_TRUE(b.label.pixmap().isNull());
    b.pause.resume();
    EXPECT_EQ(anim->imageCourante(), 0);
    EXPECT_TRUE(anim->enCours());
    anim->arreter();
    EXPECT_FALSE(anim->enCours());
    b.pause.pause();
    b.pause.resume();
    EXPECT_FALSE(anim->enCours());
    // Destroyed while paused: nothing hangs.
    b.pause.pause();
    anim.reset();
    b.pause.resume();
}

// --- The connection icon ----------------------------------------------------

TEST(BtnAnimeThread, CyclesFirstToLastEveryInterval)
{
    QList<QImage> liste;
    for (int i = 0; i < 18; ++i) {
        QImage im(8, 8, QImage::Format_ARGB32);
        im.fill(qRgb(i * 10, 255 - i * 10, 7));
        liste << im;
    }
    // Picture 0 is half transparent: the label's background shows through.
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            liste[0].setPixel(x, y, qRgba(0, 0, 0, 0));
    QLabel label;
    label.resize(8, 8);
    QPalette pal = label.palette();
    pal.setColor(label.backgroundRole(), QColor(90, 30, 160));
    label.setPalette(pal);

    TBtnAnimeThread anim(&label, liste, 0, 15, 200);
    EXPECT_EQ(anim.imageCourante(), 0);
    EXPECT_EQ(anim.intervalleMs(), 200);
    EXPECT_TRUE(anim.enCours());
    QImage i = label.grab().toImage();
    EXPECT_EQ(i.pixel(1, 1) | 0xFF000000, qRgb(0, 255, 7));
    EXPECT_EQ(i.pixel(6, 1) | 0xFF000000, qRgb(90, 30, 160));

    QList<int> suite;
    for (int n = 0; n < 17; ++n) {
        anim.imageSuivante();
        suite << anim.imageCourante();
        const int k = anim.imageCourante();
        EXPECT_EQ(anim.imageAffichee().pixel(1, 1) | 0xFF000000, qRgb(k * 10, 255 - k * 10, 7));
    }
    EXPECT_EQ(suite, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1}));

    QSignalSpy spy(&anim, &TBtnAnimeThread::imageDessinee);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy[0][0].toInt(), 2);
    anim.arreter();
    EXPECT_FALSE(anim.enCours());
}

TEST(BtnAnimeThread, OnAToolButtonTheIconChanges)
{
    QList<QImage> liste;
    for (int i = 0; i < 3; ++i) {
        QImage im(16, 16, QImage::Format_ARGB32);
        im.fill(qRgb(40 * i, 0, 200));
        liste << im;
    }
    QToolButton bouton;
    TBtnAnimeThread anim(&bouton, liste, 1, 2, 200);
    EXPECT_EQ(anim.imageCourante(), 1);
    EXPECT_FALSE(bouton.icon().isNull());
    EXPECT_EQ(bouton.icon().pixmap(16, 16).toImage().pixel(3, 3) | 0xFF000000, qRgb(40, 0, 200));
    anim.imageSuivante();
    EXPECT_EQ(bouton.icon().pixmap(16, 16).toImage().pixel(3, 3) | 0xFF000000, qRgb(80, 0, 200));
    anim.imageSuivante();
    EXPECT_EQ(anim.imageCourante(), 1);
}
