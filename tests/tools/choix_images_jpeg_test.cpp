#include "tools/charger_bitmap.h"
#include "tools/choix_images.h"
#include "tools/decodage_jpeg.h"
#include "tools/geometrie_choix_images.h"

#include "ui/app_context.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <random>

// A large JPEG opened in the image chooser shows its first preview from a
// reduced decoding; the full picture follows at once, and everything that
// depends on it (the exact preview, turns, the saved picture) uses it.

namespace {

QImage photo(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 gen(5);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 255 / w + int(gen() % 30)) % 256, (y * 255 / h) % 256,
                                    (x * y / 97 + int(gen() % 11)) % 256));
    return img;
}

QString ecritJpeg(const QString &nom, const QImage &img)
{
    const QString p = testenv::tempDir() + QLatin1Char('/') + nom;
    QImageWriter w(p, "jpeg");
    w.setQuality(92);
    EXPECT_TRUE(w.write(img));
    return p;
}

struct Choix
{
    ScriptedPrompts prompts;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TChoixImages> w;

    Choix()
    {
        DossiersProgramme d;
        d.DossierAppli = testenv::programDir() + QLatin1Char('/');
        d.DossierTravail = testenv::tempDir() + QLatin1Char('/');
        d.DossierImg = testenv::tempDir() + QLatin1Char('/');
        ctx = std::make_unique<AppContext>(d, &prompts);
        ctx->document.setFormatTheme(4);
        w = std::make_unique<TChoixImages>(*ctx);
        w->setGraineExplosion(1);
    }
    QString texte(const char *nom) const
    {
        const auto *l = w->findChild<QLabel *>(QString::fromLatin1(nom));
        return l ? l->text() : QString();
    }
    // The preview the chooser makes from a whole source picture.
    QImage apercuDe(const QImage &source) const
    {
        return ConstruitApercu(source, w->RectImage().size(), ModeInterpolation::HauteQualite,
                               ctx->options.CouleurFond);
    }
};

} // namespace

TEST(ChoixImagesJpeg, FirstPreviewReducedThenFullPicture)
{
    const QString fichier = ecritJpeg(QStringLiteral("grande.jpg"), photo(1800, 1200));
    const auto complete = DecodeJpeg32(fichier);
    const auto reduite = DecodeJpeg32(fichier, nullptr, 2);
    ASSERT_TRUE(complete && reduite);
    ASSERT_EQ(reduite->size(), QSize(900, 600));

    Choix c;
    ASSERT_TRUE(c.w->chargeFichier(fichier));
    // The first preview: the full size everywhere, the pixels from the reduced picture.
    EXPECT_EQ(c.texte("LargLbl"), QStringLiteral("Width  : 1800"));
    EXPECT_EQ(c.texte("HautLbl"), QStringLiteral("Height : 1200"));
    EXPECT_EQ(c.w->RectImage(), AjusteDansVue(1800, 1200));
    EXPECT_EQ(c.w->BmpApercu(), c.apercuDe(*reduite));
    // A picture saved now is built from the full picture all the same.
    const QImage finaleTot = c.w->ConstruitImageFinale();
    EXPECT_EQ(finaleTot, ConstruitImageFinale(*complete, c.w->parametresFinale()));

    // Once the events run, the full picture is in and the preview is exact.
    QApplication::processEvents();
    EXPECT_EQ(c.w->BmpApercu(), c.apercuDe(*complete));
    EXPECT_EQ(c.w->ConstruitImageFinale(), finaleTot);
    EXPECT_EQ(c.w->RectImage(), AjusteDansVue(1800, 1200));
}

TEST(ChoixImagesJpeg, TurningBeforeTheFullPictureDecodesItAtOnce)
{
    const QString fichier = ecritJpeg(QStringLiteral("grande.jpg"), photo(1800, 1200));
    const auto complete = DecodeJpeg32(fichier);
    ASSERT_TRUE(complete);
    Choix c;
    ASSERT_TRUE(c.w->chargeFichier(fichier));
    auto *quart = c.w->findChild<QToolButton *>(QStringLiteral("RotHSBtn"));
    ASSERT_NE(quart, nullptr);
    quart->click(); // no event processed in between
    EXPECT_EQ(c.w->TypeRotation(), 1);
    EXPECT_EQ(c.texte("LargLbl"), QStringLiteral("Width  : 1200"));
    EXPECT_EQ(c.w->RectImage(), AjusteDansVue(1200, 1800));
    EXPECT_EQ(c.w->BmpApercu(), c.apercuDe(TourneImage(*complete, 1)));
    QApplication::processEvents();
    EXPECT_EQ(c.w->BmpApercu(), c.apercuDe(TourneImage(*complete, 1)));
}

TEST(ChoixImagesJpeg, SmallJpegAndVanishedFile)
{
    // Under twice the preview's size: decoded whole from the start.
    const QString petit = ecritJpeg(QStringLiteral("petite.jpg"), photo(700, 500));
    const auto complete = DecodeJpeg32(petit);
    ASSERT_TRUE(complete);
    Choix c;
    ASSERT_TRUE(c.w->chargeFichier(petit));
    EXPECT_EQ(c.w->BmpApercu(), c.apercuDe(*complete));

    // A large file removed before its full picture was read: nothing to
    // save from, no crash, and the first preview stays.
    const QString grande = ecritJpeg(QStringLiteral("disparue.jpg"), photo(1800, 1200));
    ASSERT_TRUE(c.w->chargeFichier(grande));
    const QImage apercu = c.w->BmpApercu();
    ASSERT_TRUE(QFile::remove(grande));
    EXPECT_TRUE(c.w->ConstruitImageFinale().isNull());
    QApplication::processEvents();
    EXPECT_EQ(c.w->BmpApercu(), apercu);
    EXPECT_TRUE(c.w->ConstruitImageFinale().isNull());
}
