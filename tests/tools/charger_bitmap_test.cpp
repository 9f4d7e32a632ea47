#include "tools/charger_bitmap.h"
#include "tools/teinte_dominante.h"
#include "tests/support/test_env.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace {

QByteArray encode(const QImage &img, const char *format, int qualite = -1)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QImageWriter w(&tampon, format);
    w.setQuality(qualite);
    EXPECT_TRUE(w.write(img)) << qPrintable(w.errorString());
    return octets;
}

QImage indexee(const QList<QRgb> &palette)
{
    QImage img(7, 5, QImage::Format_Indexed8);
    img.setColorTable(palette);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, uint((x + y) % palette.size()));
    return img;
}

std::optional<QImage> charge(const QString &p, ErreurImage *e = nullptr)
{
    return ChargerBitmap32GDIP(p, e);
}

} // namespace

TEST(ChargerBitmap, PaletteFilesBecome32BitWithTheirColours)
{
    const QList<QRgb> palette{qRgb(46, 151, 227), qRgb(255, 0, 7), qRgb(18, 87, 177)};
    const QImage src = indexee(palette);
    for (const char *format : {"png", "bmp"}) {
        const QString p = testenv::cheminTemp(QStringLiteral("pal.") + QLatin1String(format));
        testenv::writeFile(p, encode(src, format));
        const auto img = charge(p);
        ASSERT_TRUE(img) << format;
        EXPECT_EQ(img->format(), QImage::Format_ARGB32);
        ASSERT_EQ(img->size(), src.size());
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x)
                ASSERT_EQ(img->pixel(x, y), palette[(x + y) % 3]) << format << " " << x << "," << y;
    }
}

TEST(ChargerBitmap, FormatIsDecidedByContentNotName)
{
    QImage src(40, 30, QImage::Format_RGB32);
    src.fill(qRgb(200, 30, 60));
    const QString p = testenv::cheminTemp(QStringLiteral("tdywater.gif"));
    testenv::writeFile(p, encode(src, "jpeg", 100));
    const auto img = charge(p);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->format(), QImage::Format_ARGB32);
    EXPECT_EQ(img->size(), QSize(40, 30));
    const QRgb c = img->pixel(20, 15);
    EXPECT_NEAR(qRed(c), 200, 3);
    EXPECT_NEAR(qGreen(c), 30, 3);
    EXPECT_NEAR(qBlue(c), 60, 3);
    EXPECT_EQ(qAlpha(c), 255);
}

TEST(ChargerBitmap, TransparencyIsDrawnOverOpaqueBlack)
{
    // A palette picture with transparent entries, as a GIF's transparent index.
    const QList<QRgb> palette{qRgba(0, 255, 0, 0), qRgb(255, 0, 7), qRgba(255, 0, 0, 128)};
    const QImage src = indexee(palette);
    const QString p = testenv::cheminTemp(QStringLiteral("trans.png"));
    testenv::writeFile(p, encode(src, "png"));
    const auto img = charge(p);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(img->pixel(1, 0), qRgb(255, 0, 7));
    const QRgb moitie = img->pixel(2, 0);
    EXPECT_EQ(qAlpha(moitie), 255);
    EXPECT_NEAR(qRed(moitie), 128, 1);
    EXPECT_EQ(qGreen(moitie), 0);
    EXPECT_EQ(qBlue(moitie), 0);

    // Transparent green no longer counts in the histogram: it is black now.
    const auto a = TeinteDominante(*img);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->histogramme[80], 0);
}

TEST(ChargerBitmap, UnreadableFilesFailWithTheirReason)
{
    ErreurImage e = ErreurImage::Illisible;
    EXPECT_FALSE(charge(testenv::cheminTemp(QStringLiteral("absent.png")), &e));
    EXPECT_EQ(e, ErreurImage::Introuvable);
    EXPECT_FALSE(charge(QString(), &e));
    EXPECT_EQ(e, ErreurImage::Introuvable);
    QDir().mkpath(testenv::cheminTemp(QStringLiteral("dossier.png")));
    EXPECT_FALSE(charge(testenv::cheminTemp(QStringLiteral("dossier.png")), &e));
    EXPECT_EQ(e, ErreurImage::Introuvable);

    const QString texte = testenv::cheminTemp(QStringLiteral("notes.gif"));
    testenv::writeFile(texte, QByteArray("this is not a picture at all\r\n").repeated(20));
    EXPECT_FALSE(charge(texte, &e));
    EXPECT_EQ(e, ErreurImage::FormatInconnu);

    const QString vide = testenv::cheminTemp(QStringLiteral("vide.bmp"));
    testenv::writeFile(vide, QByteArray());
    EXPECT_FALSE(charge(vide, &e));
    EXPECT_NE(e, ErreurImage::Introuvable);

    // A PNG cut inside its header: recognised, but it cannot be decoded.
    QImage src(64, 64, QImage::Format_RGB32);
    src.fill(qRgb(1, 2, 3));
    const QString tronque = testenv::cheminTemp(QStringLiteral("tronque.png"));
    testenv::writeFile(tronque, encode(src, "png").left(20));
    EXPECT_FALSE(charge(tronque, &e));
    EXPECT_EQ(e, ErreurImage::Illisible);

    // A BMP header claiming an enormous picture is refused, not allocated.
    QByteArray bmp = encode(src, "bmp");
    const qint32 enorme = 2000000;
    memcpy(bmp.data() + 18, &enorme, 4);
    memcpy(bmp.data() + 22, &enorme, 4);
    const QString geant = testenv::cheminTemp(QStringLiteral("geant.bmp"));
    testenv::writeFile(geant, bmp);
    EXPECT_FALSE(charge(geant, &e));
    EXPECT_EQ(e, ErreurImage::Illisible);

    for (ErreurImage x : {ErreurImage::Introuvable, ErreurImage::FormatInconnu, ErreurImage::Illisible})
        EXPECT_FALSE(texteErreurImage(x).isEmpty());
}

TEST(ChargerBitmap, PicturesBeyondThePixelLimitAreRefusedFromTheirHeader)
{
    // A GIF header claiming 16000 x 16000 pixels, a PNG claiming 9000 x 9000:
    // refused before any pixel is decoded.
    auto mot = [](QByteArray &g, int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    QByteArray gif("GIF89a");
    mot(gif, 16000);
    mot(gif, 16000);
    gif.append(QByteArray("\x80\0\0\0\0\0\xff\xff\xff\x2c\0\0\0\0", 14));
    mot(gif, 16000);
    mot(gif, 16000);
    gif.append(QByteArray("\0\x02\x02\x4c\x01\0\x3b", 7));
    const QString bombe = testenv::tempDir() + QStringLiteral("/tdywater.gif");
    testenv::writeFile(bombe, gif);
    ErreurImage erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(ChargerBitmap32GDIP(bombe, &erreur));
    EXPECT_EQ(erreur, ErreurImage::TropGrande);
    EXPECT_TRUE(texteErreurImage(erreur).contains(QLatin1String("too large")));

    QImage large(9000, 9000, QImage::Format_Mono);
    large.fill(0);
    const QString png = testenv::tempDir() + QStringLiteral("/large.png");
    ASSERT_TRUE(large.save(png, "PNG"));
    erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(ChargerBitmap32GDIP(png, &erreur));
    EXPECT_EQ(erreur, ErreurImage::TropGrande);

    // A photo of a real camera's size still opens.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    photo.fill(qRgb(10, 20, 30));
    const QString jpg = testenv::tempDir() + QStringLiteral("/photo.jpg");
    ASSERT_TRUE(photo.save(jpg, "JPEG"));
    const auto lue = ChargerBitmap32GDIP(jpg);
    ASSERT_TRUE(lue);
    EXPECT_EQ(lue->size(), QSize(4000, 3000));
}
