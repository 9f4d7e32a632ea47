#include "tools/charger_bitmap.h"
#include "tools/encodeurs_image.h"

#include "ui/gif_frames.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

extern "C" {
#include <libexif/exif-data.h>
}

namespace {

// A picture with thousands of colours, red and blue running different ways.
QImage degrade(int w = 96, int h = 64)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / (w - 1), (x + y) * 2 % 256, y * 255 / (h - 1)));
    return img;
}

double ecartMoyen(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double somme = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            somme += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return somme / (3.0 * x.width() * x.height());
}

int couleursUtilisees(const QImage &image)
{
    const QImage x = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> vues;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i)
            vues.insert(x.pixel(i, j));
    return int(vues.size());
}

struct TagExif
{
    bool present = false;
    ExifFormat format = EXIF_FORMAT_BYTE;
    unsigned long composants = 0;
    QByteArray octets;
};

TagExif litTag(const QString &fichier, ExifTag tag)
{
    TagExif t;
    ExifData *d = exif_data_new_from_file(QFile::encodeName(fichier).constData());
    if (!d)
        return t;
    if (ExifEntry *e = exif_content_get_entry(d->ifd[EXIF_IFD_0], tag)) {
        t.present = true;
        t.format = e->format;
        t.composants = e->components;
        t.octets = QByteArray(reinterpret_cast<const char *>(e->data), int(e->size));
    }
    exif_data_unref(d);
    return t;
}

} // namespace

TEST(EncodeursImage, JpegDecodesCloseToSourceAndCarriesBothExifTags)
{
    const QImage source = degrade();
    const QString f = testenv::cheminTemp("photo.jpg");
    const QDateTime moment(QDate(2006, 7, 14), QTime(9, 5, 33));
    ASSERT_EQ(SauveImageFormat(source, f, 95, TypeSauver::Jpeg, moment), StatutImage::Ok);

    const auto relue = ChargerBitmap32GDIP(f);
    ASSERT_TRUE(relue);
    EXPECT_EQ(relue->size(), source.size());
    EXPECT_LT(ecartMoyen(*relue, source), 4.0);

    const TagExif logiciel = litTag(f, EXIF_TAG_SOFTWARE);
    ASSERT_TRUE(logiciel.present);
    EXPECT_EQ(logiciel.format, EXIF_FORMAT_ASCII);
    EXPECT_EQ(logiciel.composants, 9u);
    EXPECT_EQ(logiciel.octets, QByteArray("Orvandel", 9)); // with its NUL

    const TagExif date = litTag(f, EXIF_TAG_DATE_TIME);
    ASSERT_TRUE(date.present);
    EXPECT_EQ(date.format, EXIF_FORMAT_ASCII);
    EXPECT_EQ(date.composants, 20u);
    EXPECT_EQ(date.octets, QByteArray("2006:07:14 09:05:33", 20));

    // The APP1 block follows SOI directly.
    const QByteArray octets = testenv::readFile(f);
    EXPECT_EQ(octets.left(4), QByteArray("\xFF\xD8\xFF\xE1", 4));
    EXPECT_EQ(octets.mid(6, 6), QByteArray("Exif\0\0", 6));
}

TEST(EncodeursImage, JpegDateTimeIsTheCurrentLocalTimeByDefault)
{
    const QString f = testenv::cheminTemp("maintenant.jpg");
    const QDateTime avant = QDateTime::currentDateTime().addSecs(-1);
    ASSERT_EQ(SauveImageFormat(degrade(), f, 80, TypeSauver::Jpeg), StatutImage::Ok);
    const TagExif date = litTag(f, EXIF_TAG_DATE_TIME);
    ASSERT_TRUE(date.present);
    const QString texte = QString::fromLatin1(date.octets.left(19));
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}:\\d\\d:\\d\\d \\d\\d:\\d\\d:\\d\\d$")).match(texte).hasMatch())
        << texte.toStdString();
    const QDateTime lu = QDateTime::fromString(texte, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    EXPECT_GE(lu.secsTo(QDateTime::currentDateTime()), 0);
    EXPECT_LE(avant.secsTo(lu), 60);
}

TEST(EncodeursImage, JpegQualityChangesTheSize)
{
    const QImage source = degrade(200, 150);
    const auto q10 = EncodeImageFormat(source, 10, TypeSauver::Jpeg, QDateTime::currentDateTime());
    const auto q100 = EncodeImageFormat(source, 100, TypeSauver::Jpeg, QDateTime::currentDateTime());
    const auto q0 = EncodeImageFormat(source, -5, TypeSauver::Jpeg, QDateTime::currentDateTime());
    ASSERT_TRUE(q10 && q100 && q0);
    EXPECT_LT(q10->size(), q100->size());
    EXPECT_LE(q0->size(), q10->size()); // clamped to quality 1
}

TEST(EncodeursImage, QuantisationGivesAtMost236ColoursFromTheQuality100RoundTrip)
{
    const QImage source = degrade(128, 96);
    ASSERT_GT(couleursUtilisees(source), 1000);
    const auto q = QuantifieImage236(source);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->format(), QImage::Format_Indexed8);
    EXPECT_EQ(q->size(), source.size());
    EXPECT_LE(q->colorCount(), 236);
    EXPECT_GT(q->colorCount(), 100); // a rich picture uses most of them
    EXPECT_LE(couleursUtilisees(*q), 236);
    EXPECT_LT(ecartMoyen(*q, source), 12.0);
}

TEST(EncodeursImage, PaletteFormatsAreEightBitsAndReadBack)
{
    const QImage source = degrade();

    const QString png = testenv::cheminTemp("p.png");
    ASSERT_EQ(SauveImageFormat(source, png, 100, TypeSauver::PngOptimise), StatutImage::Ok);
    const QByteArray pngOctets = testenv::readFile(png);
    ASSERT_GT(pngOctets.size(), 26);
    EXPECT_EQ(pngOctets.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(quint8(pngOctets[24]), 8); // bit depth
    EXPECT_EQ(quint8(pngOctets[25]), 3); // colour type: palette

    const QString bmp = testenv::cheminTemp("b.bmp");
    ASSERT_EQ(SauveImageFormat(source, bmp, 100, TypeSauver::BmpOptimise), StatutImage::Ok);
    const QByteArray bmpOctets = testenv::readFile(bmp);
    ASSERT_GT(bmpOctets.size(), 30);
    EXPECT_EQ(bmpOctets.left(2), QByteArray("BM"));
    EXPECT_EQ(quint8(bmpOctets[28]) | quint8(bmpOctets[29]) << 8, 8); // biBitCount

    const QString gif = testenv::cheminTemp("g.gif");
    ASSERT_EQ(SauveImageFormat(source, gif, 100, TypeSauver::GifOptimise), StatutImage::Ok);
    const QByteArray gifOctets = testenv::readFile(gif);
    ASSERT_GT(gifOctets.size(), 13 + 768);
    EXPECT_TRUE(gifOctets.startsWith("GIF8"));
    EXPECT_EQ(quint8(gifOctets[10]) & 0x87, 0x87); // global table of 2^(7+1) = 256 entries

    for (const QString &f : {png, bmp, gif}) {
        SCOPED_TRACE(f.toStdString());
        const auto relue = ChargerBitmap32GDIP(f);
        ASSERT_TRUE(relue);
        EXPECT_EQ(relue->size(), source.size());
        EXPECT_LE(couleursUtilisees(*relue), 236);
        EXPECT_LT(ecartMoyen(*relue, source), 12.0);
    }
    // The three carry the same quantised picture.
    EXPECT_EQ(ChargerBitmap32GDIP(png)->convertToFormat(QImage::Format_RGB32),
              ChargerBitmap32GDIP(gif)->convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(ChargerBitmap32GDIP(png)->convertToFormat(QImage::Format_RGB32),
              ChargerBitmap32GDIP(bmp)->convertToFormat(QImage::Format_RGB32));
}

TEST(EncodeursImage, HalfTonePaletteIsFixedAndDiffersFromTheOptimisedOne)
{
    const auto tableGlobale = [](const QString &f) { return testenv::readFile(f).mid(13, 768); };
    const QImage a = degrade(), b = degrade(40, 30).mirrored(true, false);
    ASSERT_EQ(SauveImageFormat(a, testenv::cheminTemp("a_ht.gif"), 100, TypeSauver::GifDemiTons), StatutImage::Ok);
    ASSERT_EQ(SauveImageFormat(b, testenv::cheminTemp("b_ht.gif"), 100, TypeSauver::GifDemiTons), StatutImage::Ok);
    ASSERT_EQ(SauveImageFormat(a, testenv::cheminTemp("a_opt.gif"), 100, TypeSauver::GifOptimise), StatutImage::Ok);
    EXPECT_EQ(tableGlobale(testenv::cheminTemp("a_ht.gif")), tableGlobale(testenv::cheminTemp("b_ht.gif")));
    EXPECT_NE(tableGlobale(testenv::cheminTemp("a_ht.gif")), tableGlobale(testenv::cheminTemp("a_opt.gif")));

    EXPECT_EQ(PaletteDemiTons().size(), 256);
    // Pure palette colours map to themselves.
    QImage pur(3, 1, QImage::Format_RGB32);
    pur.setPixel(0, 0, qRgb(255, 0, 0));
    pur.setPixel(1, 0, qRgb(0, 51, 204));
    pur.setPixel(2, 0, qRgb(128, 128, 128));
    const QImage r = ReduitDemiTons(pur).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(r.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(r.pixel(1, 0), qRgb(0, 51, 204));
    EXPECT_EQ(r.pixel(2, 0), qRgb(128, 128, 128));

    const auto gif = decodeImagesGif(testenv::readFile(testenv::cheminTemp("a_ht.gif")));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->largeur, a.width());
    EXPECT_EQ(gif->hauteur, a.height());
}

TEST(EncodeursImage, EveryTypeKeepsTheSize)
{
    const QImage source = degrade(31, 17); // odd sizes: padded rows
    for (int t = 0; t < NombreTypesSauver; ++t) {
        SCOPED_TRACE(t);
        const QString f = testenv::cheminTemp(QStringLiteral("t%1.img").arg(t));
        ASSERT_EQ(SauveImageFormat(source, f, 75, TypeSauver(t)), StatutImage::Ok);
        const auto relue = ChargerBitmap32GDIP(f);
        ASSERT_TRUE(relue);
        EXPECT_EQ(relue->size(), source.size());
    }
}

TEST(EncodeursImage, LibjpegErrorsAreReportedNotFatal)
{
    // An empty picture reaches libjpeg, which refuses it; the program carries on.
    QString erreur;
    EXPECT_FALSE(CompresseJpeg(QImage(0, 0, QImage::Format_RGB32), 90, {}, &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    erreur.clear();
    EXPECT_FALSE(DecompresseJpegQuantifie(QByteArray("not a jpeg at all"), 236, &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    // A JPEG cut in its header.
    const auto bon = CompresseJpeg(degrade(), 90);
    ASSERT_TRUE(bon);
    erreur.clear();
    EXPECT_FALSE(DecompresseJpegQuantifie(bon->left(40), 236, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
    // A good one still decodes afterwards.
    EXPECT_TRUE(DecompresseJpegQuantifie(*bon, 236));

    EXPECT_EQ(SauveImageFormat(QImage(), testenv::cheminTemp("vide.jpg"), 90, TypeSauver::Jpeg), StatutImage::InvalidParameter);
    EXPECT_FALSE(QFile::exists(testenv::cheminTemp("vide.jpg")));
}

TEST(EncodeursImage, UnwritablePathFailsAndLeavesNothingBehind)
{
    testenv::writeFile(testenv::cheminTemp("fichier"), "x");
    const QString impossible = testenv::cheminTemp("fichier/sous/image.jpg"); // its parent is a file
    for (int t = 0; t < NombreTypesSauver; ++t)
        EXPECT_EQ(SauveImageFormat(degrade(), impossible, 90, TypeSauver(t)), StatutImage::Win32Error) << t;

    // A failed save leaves an existing picture as it was, and no temporary file.
    const QString cible = testenv::cheminTemp("garde.gif");
    testenv::writeFile(cible, "ancien contenu");
    EXPECT_NE(SauveImageFormat(QImage(), cible, 90, TypeSauver::GifOptimise), StatutImage::Ok);
    EXPECT_EQ(testenv::readFile(cible), QByteArray("ancien contenu"));
    EXPECT_EQ(QDir(testenv::tempDir()).entryList(QDir::Files).size(), 2);

    // A successful save replaces it.
    EXPECT_EQ(SauveImageFormat(degrade(), cible, 90, TypeSauver::GifOptimise), StatutImage::Ok);
    EXPECT_TRUE(testenv::readFile(cible).startsWith("GIF8"));
}

TEST(EncodeursImage, ChooserTexts)
{
    EXPECT_EQ(ItemTypeSauver(TypeSauver::GifDemiTons), QStringLiteral("GIF (1/2 tons)"));
    EXPECT_EQ(HintTypeSauver(TypeSauver::Jpeg),
              QStringLiteral("Save Image with format JPEG (24 bits per pixel) depending on chosen quality factor"));
    EXPECT_EQ(MimeTypeSauver(TypeSauver::BmpOptimise), QStringLiteral("image/bmp"));
    EXPECT_EQ(TitreTypeSauver(), QStringLiteral("Save as : "));
}

// "BMP (8 bpp)" is written at 8 bits per pixel whatever the number of colours
// (a writer that drops to 4 or 1 bits for small palettes would not be): the
// headers are read here byte by byte, the pixels through the palette the
// file carries and through Qt's BMP reader, against the quantised picture.
TEST(EncodeursImage, BmpIsEightBitsWhateverTheColourCount)
{
    QImage un(1, 1, QImage::Format_RGB32);
    un.fill(qRgb(200, 30, 90));
    QImage deux(6, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            deux.setPixel(x, y, (x + y) % 2 ? qRgb(230, 10, 10) : qRgb(10, 10, 230));
    QImage noir(5, 3, QImage::Format_RGB32);
    noir.fill(Qt::black);
    const struct
    {
        const char *nom;
        QImage image;
    } cas[] = {{"un", un}, {"deux", deux}, {"noir", noir}, {"riche", degrade(31, 17)}};
    const auto u16 = [](const QByteArray &b, int i) { return int(quint8(b[i]) | quint8(b[i + 1]) << 8); };
    const auto u32 = [&](const QByteArray &b, int i) { return qint64(u16(b, i)) | qint64(u16(b, i + 2)) << 16; };
    for (const auto &c : cas) {
        SCOPED_TRACE(c.nom);
        const QString f = testenv::cheminTemp(QStringLiteral("%1.bmp").arg(QLatin1String(c.nom)));
        ASSERT_EQ(SauveImageFormat(c.image, f, 100, TypeSauver::BmpOptimise), StatutImage::Ok);
        const QByteArray o = testenv::readFile(f);
        ASSERT_GE(o.size(), 54);
        const int w = c.image.width(), h = c.image.height();
        EXPECT_EQ(o.left(2), QByteArray("BM"));
        EXPECT_EQ(u32(o, 2), o.size());          // bfSize
        EXPECT_EQ(u32(o, 14), 40);               // BITMAPINFOHEADER
        EXPECT_EQ(u32(o, 18), w);
        EXPECT_EQ(u32(o, 22), h);                // positive: bottom-up rows
        EXPECT_EQ(u16(o, 26), 1);                // planes
        EXPECT_EQ(u16(o, 28), 8);                // biBitCount
        EXPECT_EQ(u32(o, 30), 0);                // BI_RGB
        const int n = int(u32(o, 46));           // biClrUsed
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 236);
        EXPECT_EQ(u32(o, 10), 54 + 4 * n);       // bfOffBits
        const int ligne = (w + 3) / 4 * 4;
        ASSERT_EQ(o.size(), 54 + 4 * n + ligne * h);
        EXPECT_EQ(u32(o, 34), ligne * h);

        const auto quantifiee = QuantifieImage236(c.image);
        ASSERT_TRUE(quantifiee);
        const QImage attendue = quantifiee->convertToFormat(QImage::Format_RGB32);
        QImageReader lecteur(f, "bmp");
        const QImage relue = lecteur.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(relue.isNull()) << lecteur.errorString().toStdString();
        EXPECT_EQ(relue, attendue);
        // The same pixels through the file's own palette, padding bytes zero.
        for (int y = 0; y < h; ++y) {
            const int debut = 54 + 4 * n + (h - 1 - y) * ligne;
            for (int x = 0; x < w; ++x) {
                const int k = quint8(o[debut + x]);
                ASSERT_LT(k, n);
                const int p = 54 + 4 * k;
                EXPECT_EQ(qRgb(quint8(o[p + 2]), quint8(o[p + 1]), quint8(o[p])), attendue.pixel(x, y)) << x << "," << y;
            }
            for (int x = w; x < ligne; ++x)
                EXPECT_EQ(o[debut + x], '\0');
        }
    }
    // Pictures the writer refuses: not 8-bit, or without a colour table.
    EXPECT_FALSE(EncodeBmp8(degrade()));
    QImage sansTable(4, 4, QImage::Format_Indexed8);
    sansTable.fill(0);
    EXPECT_FALSE(EncodeBmp8(sansTable));
}
