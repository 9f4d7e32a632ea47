#include "tools/charger_bitmap.h"
#include "tools/charger_bitmap_metafichier.h"
#include "tests/support/metafichiers_test.h"
#include "tests/support/test_env.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using metafichiers::emf;
using metafichiers::wmf;
using metafichiers::emfRectangles;

QString ecrit(const QString &nom, const QByteArray &octets)
{
    const QString p = testenv::tempDir() + QLatin1Char('/') + nom;
    QFile f(p);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_EQ(f.write(octets), octets.size());
    return p;
}

// The left half holds the brush colour, the right half the white page.
void verifieDessin(const QImage &img, QRgb attendu)
{
    ASSERT_EQ(img.format(), QImage::Format_ARGB32);
    for (int y : {2, img.height() / 2, img.height() - 3}) {
        EXPECT_EQ(img.pixel(3, y), attendu) << "y " << y;
        EXPECT_EQ(img.pixel(img.width() / 2 - 4, y), attendu) << "y " << y;
        EXPECT_EQ(img.pixel(img.width() / 2 + 4, y), qRgb(255, 255, 255)) << "y " << y;
        EXPECT_EQ(img.pixel(img.width() - 2, y), qRgb(255, 255, 255)) << "y " << y;
    }
}

} // namespace

TEST(Metafichier, DetectsEmfAndBothWmfHeaders)
{
    EXPECT_EQ(DetecteMetafichier(emf(10, 10, 0xFF)), TypeMetafichier::Emf);
    EXPECT_EQ(DetecteMetafichier(wmf(10, 10, 0xFF)), TypeMetafichier::Wmf);
    EXPECT_EQ(DetecteMetafichier(wmf(10, 10, 0xFF).mid(22)), TypeMetafichier::Wmf); // without the placeable header
    EXPECT_EQ(DetecteMetafichier(QByteArray("GIF89a")), TypeMetafichier::Aucun);
    EXPECT_EQ(DetecteMetafichier(QByteArray()), TypeMetafichier::Aucun);
    EXPECT_EQ(DetecteMetafichier(emf(10, 10, 0xFF).left(40)), TypeMetafichier::Aucun); // signature cut off
}

TEST(Metafichier, EmfAndWmfOpenAtTheirSizeWithTheirPixels)
{
    // Red and blue differ, so a swapped channel shows.
    const quint32 colorref = 0x00C01020; // R 0x20, G 0x10, B 0xC0
    const QRgb attendu = qRgb(0x20, 0x10, 0xC0);

    const auto e = ChargerBitmap32GDIP(ecrit(QStringLiteral("dessin.emf"), emf(100, 50, colorref)));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->size(), QSize(100, 50));
    verifieDessin(*e, attendu);

    const auto w = ChargerBitmap32GDIP(ecrit(QStringLiteral("dessin.wmf"), wmf(120, 60, colorref)));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->size(), QSize(120, 60));
    verifieDessin(*w, attendu);

    // The origin of the placeable frame is where the picture starts.
    const auto decale = ChargerBitmap32GDIP(ecrit(QStringLiteral("decale.wmf"), wmf(80, 40, colorref, 25)));
    ASSERT_TRUE(decale);
    EXPECT_EQ(decale->size(), QSize(80, 40));
    verifieDessin(*decale, attendu);

    // The content decides, not the name: a working picture named ".gif".
    const auto gif = ChargerBitmap32GDIP(ecrit(QStringLiteral("tdywater.gif"), emf(60, 30, colorref)));
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->size(), QSize(60, 30));

    // Header-only size, and a box that shrinks the drawing, aspect kept.
    EXPECT_EQ(TailleMetafichier(testenv::tempDir() + QStringLiteral("/dessin.emf")), QSize(100, 50));
    EXPECT_EQ(TailleMetafichier(testenv::tempDir() + QStringLiteral("/dessin.wmf")), QSize(120, 60));
    const auto petit =
        ChargeMetafichier(testenv::tempDir() + QStringLiteral("/dessin.wmf"), QSize(30, 30), qRgb(255, 255, 255));
    ASSERT_TRUE(petit);
    EXPECT_EQ(petit->size(), QSize(30, 15));
}

// Every prefix of a good file, and files whose record sizes lie: each one is
// either drawn or refused with a message, the program survives and none of
// them takes long.
TEST(Metafichier, TruncatedAndLyingFilesFailCleanly)
{
    struct Cas
    {
        const char *nom;
        QByteArray octets;
    };
    QList<Cas> cas;
    const QByteArray e = emf(40, 20, 0xFF), w = wmf(40, 20, 0xFF);
    for (int n : {0, 1, 8, 40, 44, 60, 87, 88, 96, 110, 130, int(e.size()) - 4})
        cas.append({"emf", e.left(n)});
    for (int n : {0, 4, 21, 22, 30, 40, 46, 60, 80, int(w.size()) - 2})
        cas.append({"wmf", w.left(n)});
    QByteArray tailleFausse = e;
    qToLittleEndian<quint32>(0xFFFFFFF0u, tailleFausse.data() + 88 + 4); // first record's size
    cas.append({"emf record size", tailleFausse});
    QByteArray enteteFaux = e;
    qToLittleEndian<quint32>(0x7FFFFFFFu, enteteFaux.data() + 4); // header size
    cas.append({"emf header size", enteteFaux});
    QByteArray enorme = e;
    qToLittleEndian<quint32>(0x7FFFFFF0u, enorme.data() + 16); // bounds far beyond any screen
    qToLittleEndian<quint32>(0x7FFFFFF0u, enorme.data() + 20);
    cas.append({"emf huge bounds", enorme});
    QByteArray wmfFaux = w;
    qToLittleEndian<quint32>(0x0FFFFFFFu, wmfFaux.data() + 22 + 18); // first record's size in words
    cas.append({"wmf record size", wmfFaux});

    for (const Cas &c : cas) {
        const QString p = ecrit(QStringLiteral("cas.bin"), c.octets);
        QElapsedTimer montre;
        montre.start();
        ErreurImage erreur = ErreurImage::Introuvable;
        QString message;
        const auto img = ChargeMetafichier(p, {}, qRgb(255, 255, 255), &erreur, &message);
        EXPECT_LT(montre.elapsed(), 7000) << c.nom << " " << c.octets.size();
        if (img) {
            EXPECT_FALSE(img->isNull());
            EXPECT_LE(img->width(), CoteMaxMetafichier);
        } else {
            EXPECT_FALSE(message.isEmpty()) << c.nom << " " << c.octets.size();
            EXPECT_NE(erreur, ErreurImage::Introuvable) << c.nom;
        }
    }
    // The huge bounds are refused by size, not drawn.
    QString message;
    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("enorme.emf"), enorme), {}, 0, nullptr, &message));
    EXPECT_TRUE(message.contains(QStringLiteral("size"))) << qPrintable(message);
}

TEST(Metafichier, OversizedAndForeignFilesAreRefusedBeforeReading)
{
    QByteArray gros = emf(10, 10, 0xFF);
    gros.append(QByteArray(int(TailleMaxMetafichier), '\0'));
    QString message;
    ErreurImage erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("gros.emf"), gros), {}, 0, &erreur, &message));
    EXPECT_EQ(erreur, ErreurImage::Illisible);
    EXPECT_TRUE(message.contains(QStringLiteral("too large"))) << qPrintable(message);

    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("texte.emf"), QByteArray("not a metafile")), {}, 0, &erreur,
                                   &message));
    EXPECT_EQ(erreur, ErreurImage::FormatInconnu);
    EXPECT_FALSE(ChargeMetafichier(testenv::tempDir() + QStringLiteral("/absent.emf"), {}, 0, &erreur, &message));
    EXPECT_EQ(erreur, ErreurImage::Introuvable);
}

// The converter is a program of ours, beside the others in the build tree,
// started afresh for each file under a memory cap. An EMF of 400,000 shapes
// (10 MB, within the input limit) needs more than the cap to be drawn: it is
// stopped when it allocates, quickly, and the program hears why. A few bytes
// claiming an 8192 x 8192 picture are drawn whole within the drawing limits.
TEST(Metafichier, ConverterProgramStopsADrawingBeyondItsMemoryCap)
{
    const QString programme = CheminConvertisseurMetafichier();
    ASSERT_FALSE(programme.isEmpty());
    EXPECT_EQ(QFileInfo(programme).fileName(), QStringLiteral("ovd-metafichier"));
    EXPECT_EQ(QFileInfo(programme).absolutePath(), QFileInfo(testenv::buildDir() + QStringLiteral("/bin")).absoluteFilePath());

    const QString dense = ecrit(QStringLiteral("dense.emf"), metafichiers::emfRectangles(1000, 1000, 400000, 0xFF));
    QString message;
    ErreurImage erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(DessineMetafichier(dense, QSize(408, 306), qRgb(255, 255, 255), &erreur, &message));
    // Stopped by the cap, not by the time limit.
    EXPECT_EQ(erreur, ErreurImage::Illisible);
    EXPECT_TRUE(message.contains(QStringLiteral("memory"))) << qPrintable(message);

    const QByteArray vaste = wmf(CoteMaxMetafichier, CoteMaxMetafichier, 0x0000FF);
    ASSERT_LT(vaste.size(), 1024);
    const QString p = ecrit(QStringLiteral("vaste.wmf"), vaste);
    const auto petit = ChargeMetafichier(p, QSize(64, 64), qRgb(255, 255, 255));
    ASSERT_TRUE(petit);
    EXPECT_EQ(petit->size(), QSize(64, 64));
    EXPECT_EQ(petit->pixel(10, 32), qRgb(255, 0, 0));
    EXPECT_EQ(petit->pixel(54, 32), qRgb(255, 255, 255));
    // At its own size it comes reduced to the drawing limits.
    const auto entier = ChargerBitmap32GDIP(p);
    ASSERT_TRUE(entier);
    EXPECT_EQ(entier->size(), QSize(CoteMaxDessinMetafichier, CoteMaxDessinMetafichier));
    // A drawing well within the limits comes whole at its own size.
    const auto moyen = ChargerBitmap32GDIP(ecrit(QStringLiteral("moyen.wmf"), wmf(1600, 1200, 0x0000FF)));
    ASSERT_TRUE(moyen);
    EXPECT_EQ(moyen->size(), QSize(1600, 1200));
}

// The converter run by hand: a wrong command, sizes past the drawing limits,
// an empty input and an input past the size limit are refused with their exit
// codes; a good file gives exactly the header and the pixels asked for.
TEST(Metafichier, ConverterProgramCheckItsCommandAndInput)
{
    const QString programme = CheminConvertisseurMetafichier();
    ASSERT_FALSE(programme.isEmpty());
    const auto lance = [&](const QStringList &arguments, const QByteArray &entree, QByteArray *sortie = nullptr) {
        QProcess p;
        p.start(programme, arguments);
        EXPECT_TRUE(p.waitForStarted(5000));
        p.write(entree);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(10000));
        if (sortie)
            *sortie = p.readAllStandardOutput();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const auto args = [](const char *genre, const char *l, const char *h, const char *fond) {
        return QStringList{QString::fromLatin1(genre), QString::fromLatin1(l), QString::fromLatin1(h),
                           QString::fromLatin1(fond)};
    };
    const QByteArray e = emf(40, 20, 0x00FF00);
    for (const QStringList &faux : {QStringList{QStringLiteral("emf")}, QStringList{},
                                    args("gif", "4", "4", "FFFFFFFF"), args("emf", "4", "x", "FFFFFFFF"),
                                    args("emf", "-4", "4", "FFFFFFFF"), args("emf", "4", "0", "FFFFFFFF"),
                                    args("emf", "4097", "1", "FFFFFFFF"), args("emf", "4096", "4097", "FFFFFFFF"),
                                    args("emf", "4", "4", "FFFFFFF"), args("emf", "4", "4", "FFFFFFFG"),
                                    args("emf", "123456", "4", "FFFFFFFF")})
        EXPECT_EQ(lance(faux, e), convertisseur::SortieUsage) << qPrintable(faux.join(QLatin1Char(' ')));
    EXPECT_EQ(lance(args("emf", "4", "4", "FFFFFFFF"), QByteArray()), convertisseur::SortieUsage);
    QByteArray trop = e;
    trop.append(QByteArray(int(convertisseur::EntreeMax), '\0'));
    EXPECT_EQ(lance(args("emf", "4", "4", "FFFFFFFF"), trop), convertisseur::SortieUsage);
    EXPECT_EQ(lance(args("wmf", "4", "4", "FFFFFFFF"), QByteArray("not a metafile at all, not at all")),
              convertisseur::SortieIllisible);

    // Measured only: the header and nothing else.
    QByteArray sortie;
    ASSERT_EQ(lance(args("emf", "0", "0", "00000000"), e, &sortie), 0);
    EXPECT_EQ(sortie.toHex(), QByteArray("4f56444d" "28000000" "14000000" "00000000" "00000000"));
    // Drawn at 8 x 2 over opaque red: the brush's half, then red, exactly 64 bytes of pixels.
    ASSERT_EQ(lance(args("emf", "8", "2", "ffff0000"), e, &sortie), 0);
    ASSERT_EQ(sortie.size(), 20 + 8 * 2 * 4);
    EXPECT_EQ(sortie.left(20).toHex(), QByteArray("4f56444d" "28000000" "14000000" "08000000" "02000000"));
    EXPECT_EQ(qFromLittleEndian<quint32>(sortie.constData() + 20), 0xFF00FF00u);
    EXPECT_EQ(qFromLittleEndian<quint32>(sortie.constData() + 20 + 7 * 4), 0xFFFF0000u);
}

// The pixels come at exactly the size asked for, over the colour given: the
// brush's half, then the background, with a sharp edge at any scale; an alpha
// of 0 leaves the blank half transparent. Both kinds, and the own size beside.
TEST(Metafichier, DrawnAtTheSizeAskedOverTheColourGiven)
{
    const QRgb pinceau = qRgb(0x20, 0x10, 0xC0), rouge = qRgb(250, 0, 0);
    for (const auto &[nom, octets] : {std::pair{QStringLiteral("a.emf"), emf(40, 20, 0x00C01020)},
                                      std::pair{QStringLiteral("a.wmf"), wmf(40, 20, 0x00C01020)}}) {
        const QString p = ecrit(nom, octets);
        for (const QSize taille : {QSize(400, 200), QSize(1000, 100), QSize(20, 10)}) {
            QSize propre;
            const auto img = DessineMetafichier(p, taille, rouge, nullptr, nullptr, &propre);
            ASSERT_TRUE(img) << qPrintable(nom);
            EXPECT_EQ(img->size(), taille);
            EXPECT_EQ(img->format(), QImage::Format_ARGB32);
            EXPECT_EQ(propre, QSize(40, 20));
            const int y = taille.height() / 2;
            EXPECT_EQ(img->pixel(0, y), pinceau) << qPrintable(nom) << " " << taille.width();
            EXPECT_EQ(img->pixel(taille.width() / 2 - 2, y), pinceau) << qPrintable(nom) << " " << taille.width();
            EXPECT_EQ(img->pixel(taille.width() - 1, y), rouge) << qPrintable(nom) << " " << taille.width();
            // One edge near the middle (libemf2svg strokes the rectangle
            // with a 1-unit pen even under the null pen: half a unit more),
            // at most one blended pixel wide: drawn at this size, not enlarged.
            int x = 0;
            while (x < taille.width() && img->pixel(x, y) == pinceau)
                ++x;
            EXPECT_NEAR(x, taille.width() / 2, taille.width() / 80 + 2) << qPrintable(nom) << " " << taille.width();
            for (int suite = x + 1; suite < taille.width(); ++suite)
                ASSERT_EQ(img->pixel(suite, y), rouge) << qPrintable(nom) << " " << taille.width() << " x " << suite;
        }
        const auto transparent = DessineMetafichier(p, QSize(80, 40), qRgba(0, 0, 0, 0));
        ASSERT_TRUE(transparent);
        EXPECT_EQ(transparent->pixel(10, 20), pinceau);
        EXPECT_EQ(qAlpha(transparent->pixel(70, 20)), 0) << qPrintable(nom);
        // Sizes past the drawing limits are refused before anything starts.
        QString message;
        ErreurImage erreur = ErreurImage::Introuvable;
        for (const QSize trop : {QSize(CoteMaxDessinMetafichier + 1, 1), QSize(4096, 4097), QSize(0, 10), QSize()}) {
            EXPECT_FALSE(DessineMetafichier(p, trop, rouge, &erreur, &message)) << trop.width() << "x" << trop.height();
            EXPECT_EQ(erreur, ErreurImage::Illisible);
            EXPECT_FALSE(message.isEmpty());
        }
    }
    // Boxes reduce, never enlarge, and the limits hold.
    EXPECT_EQ(TailleDessinMetafichier(QSize(40, 20), QSize(408, 306)), QSize(40, 20));
    EXPECT_EQ(TailleDessinMetafichier(QSize(800, 200), QSize(400, 300)), QSize(400, 100));
    EXPECT_EQ(TailleDessinMetafichier(QSize(8192, 4096)), QSize(4096, 2048));
    EXPECT_EQ(TailleDessinMetafichier(QSize(8192, 8192)), QSize(4096, 4096));
    EXPECT_EQ(TailleDessinMetafichier(QSize(8192, 1)), QSize(4096, 1));
}

// libwmf's raster device draws a full ellipse as an empty chord: ours comes
// filled, at any size, over the background, with its outside left blank.
TEST(Metafichier, WmfEllipseIsFilled)
{
    const QString p = ecrit(QStringLiteral("ellipse.wmf"), metafichiers::wmfEllipse(200, 100, 0x0000C000));
    const QRgb vert = qRgb(0, 0xC0, 0), fond = qRgb(10, 20, 30);
    for (const QSize taille : {QSize(200, 100), QSize(50, 25), QSize(800, 400)}) {
        const auto img = DessineMetafichier(p, taille, fond);
        ASSERT_TRUE(img);
        const double kx = taille.width() / 200.0, ky = taille.height() / 100.0;
        const auto px = [&](double x, double y) { return img->pixel(int(x * kx), int(y * ky)); };
        EXPECT_EQ(px(100, 50), vert) << taille.width();
        EXPECT_EQ(px(60, 50), vert) << taille.width();
        EXPECT_EQ(px(138, 50), vert) << taille.width();
        EXPECT_EQ(px(100, 30), vert) << taille.width();
        EXPECT_EQ(px(100, 70), vert) << taille.width();
        // Outside: the corners of the ellipse's box and the picture's edges.
        EXPECT_EQ(px(55, 28), fond) << taille.width();
        EXPECT_EQ(px(145, 72), fond) << taille.width();
        EXPECT_EQ(px(2, 50), fond) << taille.width();
        EXPECT_EQ(px(100, 2), fond) << taille.width();
    }
}

// A WMF without its placeable header has its size only in its records: the
// header reader does not know it, the converter measures it from what the
// records draw, and the fitted load draws it.
TEST(Metafichier, PlainWmfIsMeasuredByTheConverter)
{
    const QString p = ecrit(QStringLiteral("simple.wmf"), wmf(120, 60, 0x00C01020).mid(22));
    EXPECT_FALSE(TailleMetafichier(p).isValid());
    const QSize mesure = MesureMetafichier(p);
    ASSERT_TRUE(mesure.isValid());
    // Its records cover a square (the rectangle of 60 x 60 units).
    EXPECT_EQ(mesure.width(), mesure.height());
    const auto img = ChargeMetafichier(p, QSize(60, 60), qRgb(255, 255, 255));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->size(), TailleDessinMetafichier(mesure, QSize(60, 60)));
    EXPECT_EQ(img->pixel(2, img->height() / 2), qRgb(0x20, 0x10, 0xC0));
}

// The header the converter answers with: the bytes it is made of, and a
// wrong signature refused.
TEST(Metafichier, ConverterHeaderBytes)
{
    convertisseur::Entete e;
    e.largeur = 0x01020304;
    e.hauteur = 5;
    e.largeurDessin = 4096;
    e.hauteurDessin = 0xA0B0C0D0;
    unsigned char o[convertisseur::TailleEntete];
    convertisseur::EcritEntete(e, o);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(o), sizeof o).toHex(),
              QByteArray("4f56444d" "04030201" "05000000" "00100000" "d0c0b0a0"));
    convertisseur::Entete relu;
    ASSERT_TRUE(convertisseur::LitEntete(o, relu));
    EXPECT_EQ(relu.largeur, e.largeur);
    EXPECT_EQ(relu.hauteurDessin, e.hauteurDessin);
    o[3] = 'N';
    EXPECT_FALSE(convertisseur::LitEntete(o, relu));
    EXPECT_TRUE(convertisseur::DessinPermis(0, 0));
    EXPECT_TRUE(convertisseur::DessinPermis(4096, 4096));
    EXPECT_FALSE(convertisseur::DessinPermis(0, 1));
    EXPECT_FALSE(convertisseur::DessinPermis(4097, 1));
    EXPECT_FALSE(convertisseur::DessinPermis(-1, -1));
}
