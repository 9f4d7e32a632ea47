#include "tools/charger_bitmap.h"
#include "tools/decodage_jpeg.h"
#include "tests/support/test_env.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <random>

// The JPEG path decodes into the final 32-bit format by itself; Qt's reader,
// built on the same libjpeg, is the oracle for its pixels.

namespace {

QImage photo(int w, int h, unsigned graine)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 gen(graine);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + int(gen() % 40)) % 256, (y * 5) % 256, (x * y + int(gen() % 9)) % 256));
    return img;
}

QString ecritJpeg(const QString &nom, const QImage &img, int qualite, bool progressif = false)
{
    const QString p = testenv::cheminTemp(nom);
    QImageWriter w(p, "jpeg");
    w.setQuality(qualite);
    w.setProgressiveScanWrite(progressif);
    EXPECT_TRUE(w.write(img)) << qPrintable(w.errorString());
    return p;
}

QImage parQt(const QString &p)
{
    QImageReader r(p);
    r.setDecideFormatFromContent(true);
    return r.read().convertToFormat(QImage::Format_ARGB32);
}

::testing::AssertionResult memeImage(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") " << std::hex
                                                     << a.pixel(x, y) << " != " << b.pixel(x, y);
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(DecodageJpeg, PixelsAreThoseOfQtsReader)
{
    int n = 0;
    for (QSize t : {QSize(1, 1), QSize(17, 9), QSize(33, 65), QSize(640, 480)}) {
        const QImage src = photo(t.width(), t.height(), unsigned(t.width()));
        struct Cas { const char *nom; QImage image; int qualite; bool progressif; };
        for (const Cas &c : {Cas{"couleur", src, 90, false}, Cas{"q100", src, 100, false},
                             Cas{"progressif", src, 75, true},
                             Cas{"gris", src.convertToFormat(QImage::Format_Grayscale8), 85, false}}) {
            const QString p = ecritJpeg(QStringLiteral("%1_%2.jpg").arg(c.nom).arg(++n), c.image, c.qualite,
                                        c.progressif);
            EchecJpeg echec{};
            const auto img = DecodeJpeg32(p, &echec);
            ASSERT_TRUE(img) << c.nom << " " << int(echec);
            EXPECT_EQ(img->format(), QImage::Format_ARGB32);
            EXPECT_TRUE(memeImage(*img, parQt(p))) << c.nom << " " << t.width() << "x" << t.height();
            // The loader takes this path, whatever the file is called.
            const QString gif = testenv::cheminTemp(QStringLiteral("tdywater%1.gif").arg(n));
            QFile::copy(p, gif);
            const auto charge = ChargerBitmap32GDIP(gif);
            ASSERT_TRUE(charge);
            EXPECT_TRUE(memeImage(*charge, *img));
        }
    }
}

TEST(DecodageJpeg, ReducedDecodingRoundsTheSidesUp)
{
    QImage uni(17, 9, QImage::Format_RGB32);
    uni.fill(qRgb(200, 40, 90));
    const QString p = ecritJpeg(QStringLiteral("uni.jpg"), uni, 100);
    for (auto [r, w, h] : {std::tuple{1, 17, 9}, {2, 9, 5}, {4, 5, 3}, {8, 3, 2}, {3, 17, 9}}) {
        const auto img = DecodeJpeg32(p, nullptr, r);
        ASSERT_TRUE(img) << r;
        EXPECT_EQ(img->size(), QSize(w, h)) << r;
        for (int y = 0; y < img->height(); ++y)
            for (int x = 0; x < img->width(); ++x) {
                const QRgb c = img->pixel(x, y);
                ASSERT_NEAR(qRed(c), 200, 4);
                ASSERT_NEAR(qGreen(c), 40, 4);
                ASSERT_NEAR(qBlue(c), 90, 4);
                ASSERT_EQ(qAlpha(c), 255);
            }
    }
}

TEST(DecodageJpeg, DamagedAndForeignFiles)
{
    EchecJpeg echec{};
    EXPECT_FALSE(DecodeJpeg32(testenv::cheminTemp(QStringLiteral("absent.jpg")), &echec));
    EXPECT_EQ(echec, EchecJpeg::Illisible);

    const QString vide = testenv::cheminTemp(QStringLiteral("vide.jpg"));
    testenv::writeFile(vide, {});
    EXPECT_FALSE(DecodeJpeg32(vide, &echec));
    EXPECT_EQ(echec, EchecJpeg::PasJpeg);

    QByteArray png;
    {
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        photo(5, 5, 1).save(&b, "PNG");
    }
    const QString fauxJpeg = testenv::cheminTemp(QStringLiteral("png.jpg"));
    testenv::writeFile(fauxJpeg, png);
    EXPECT_FALSE(DecodeJpeg32(fauxJpeg, &echec));
    EXPECT_EQ(echec, EchecJpeg::PasJpeg);
    EXPECT_TRUE(ChargerBitmap32GDIP(fauxJpeg)); // Qt's reader takes it

    const QString casse = testenv::cheminTemp(QStringLiteral("casse.jpg"));
    testenv::writeFile(casse, QByteArray("\xFF\xD8\xFF\xE0 not a picture"));
    EXPECT_FALSE(DecodeJpeg32(casse, &echec));
    EXPECT_EQ(echec, EchecJpeg::Illisible);
    ErreurImage erreur{};
    EXPECT_FALSE(ChargerBitmap32GDIP(casse, &erreur));

    // A file cut in the middle decodes as far as its data goes, then grey,
    // as Qt's reader gives it.
    const QImage src = photo(160, 120, 4);
    const QByteArray entier = testenv::readFile(ecritJpeg(QStringLiteral("entier.jpg"), src, 90));
    const QString coupe = testenv::cheminTemp(QStringLiteral("coupe.jpg"));
    testenv::writeFile(coupe, entier.left(entier.size() / 2));
    const auto moitie = DecodeJpeg32(coupe, &echec);
    ASSERT_TRUE(moitie);
    EXPECT_EQ(moitie->size(), QSize(160, 120));
    EXPECT_EQ(moitie->pixel(80, 119), qRgb(128, 128, 128));
    const QImage qt = parQt(coupe);
    if (!qt.isNull()) {
        EXPECT_TRUE(memeImage(*moitie, qt));
    }

    // A header announcing 65000 x 65000 pixels is refused before any allocation.
    QByteArray enorme = testenv::readFile(ecritJpeg(QStringLiteral("petit.jpg"), photo(8, 8, 2), 90));
    const qsizetype sof = enorme.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    enorme[sof + 5] = char(0xFD);
    enorme[sof + 6] = char(0xE8);
    enorme[sof + 7] = char(0xFD);
    enorme[sof + 8] = char(0xE8);
    const QString geant = testenv::cheminTemp(QStringLiteral("geant.jpg"));
    testenv::writeFile(geant, enorme);
    EXPECT_FALSE(DecodeJpeg32(geant, &echec));
    EXPECT_EQ(echec, EchecJpeg::Illisible);
}

TEST(DecodageJpeg, CmykIsLeftToQtsReader)
{
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert-im6.q16"));
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick is not installed";
    const QString png = testenv::cheminTemp(QStringLiteral("source.png"));
    ASSERT_TRUE(photo(24, 16, 9).save(png));
    const QString cmyk = testenv::cheminTemp(QStringLiteral("cmyk.jpg"));
    ASSERT_EQ(QProcess::execute(convert, {png, QStringLiteral("-colorspace"), QStringLiteral("CMYK"), cmyk}), 0);
    EchecJpeg echec{};
    EXPECT_FALSE(DecodeJpeg32(cmyk, &echec));
    EXPECT_EQ(echec, EchecJpeg::NonPrisEnCharge);
    const auto img = ChargerBitmap32GDIP(cmyk);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->size(), QSize(24, 16));
    EXPECT_TRUE(memeImage(*img, parQt(cmyk)));
}
