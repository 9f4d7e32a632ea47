#include "ui/fonctions_indep.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/byte_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// One 32-bit DIB icon image of w x w pixels, the XOR part filled with argb.
QByteArray dibIcone(int w, QRgb argb)
{
    ByteWriter b;
    b.u32(40);
    b.u32(uint32_t(w));
    b.u32(uint32_t(2 * w)); // XOR and AND masks
    b.u16(1);
    b.u16(32);
    b.u32(0);
    b.u32(0);
    b.zeros(16);
    for (int i = 0; i < w * w; ++i)
        b.u32(argb);
    b.zeros(((w + 31) / 32) * 4 * w);
    return b.take();
}

struct Entree
{
    int l, h;
    QByteArray donnees;
    int64_t tailleDite = -1; // what the directory claims, when not the real size
    int64_t decalageDit = -1;
};

QByteArray fichierIco(const QList<Entree> &entrees, int nombreDit = -1)
{
    ByteWriter b;
    b.u16(0);
    b.u16(1);
    b.u16(uint16_t(nombreDit >= 0 ? nombreDit : entrees.size()));
    uint32_t decalage = uint32_t(6 + 16 * entrees.size());
    for (const Entree &e : entrees) {
        b.u8(uint8_t(e.l));
        b.u8(uint8_t(e.h));
        b.u8(0);
        b.u8(0);
        b.u16(1);
        b.u16(32);
        b.u32(e.tailleDite >= 0 ? uint32_t(e.tailleDite) : uint32_t(e.donnees.size()));
        b.u32(e.decalageDit >= 0 ? uint32_t(e.decalageDit) : decalage);
        decalage += uint32_t(e.donnees.size());
    }
    for (const Entree &e : entrees)
        b.bytes(e.donnees);
    return b.take();
}

} // namespace

TEST(FonctionsIndep, RectProportionnelFitsWithoutEnlarging)
{
    EXPECT_EQ(RectProportionnel(100, 50, 240, 268), QRect(70, 109, 100, 50));
    EXPECT_EQ(RectProportionnel(480, 240, 240, 268), QRect(0, 74, 240, 120));
    EXPECT_EQ(RectProportionnel(0, 300, 240, 268), QRect(0, 0, 240, 268));
    // Portrait too tall: height H, width from the ratio.
    EXPECT_EQ(RectProportionnel(300, 600, 240, 268), QRect(53, 0, 134, 268));
    // Landscape whose fitted height still exceeds H.
    EXPECT_EQ(RectProportionnel(500, 400, 240, 100), QRect(57, 0, 125, 100));
    // Halves go to the even neighbour.
    EXPECT_EQ(RectProportionnel(4, 1, 2, 2), QRect(0, 1, 2, 0)); // 2 / 4 = 0.5 -> 0
    EXPECT_EQ(RectProportionnel(4, 3, 2, 2), QRect(0, 0, 2, 2)); // 2 / 1.333 = 1.5 -> 2
    EXPECT_FALSE(EstWindowsXP());
    EXPECT_EQ(CouleurVersTexte(TColor::fromRgb(0x2E, 0x97, 0xE3)), QStringLiteral("2E,97,E3,00"));
}

TEST(FonctionsIndep, TailleFichierTexteSwitchesToMegabytesAbove1024000Bytes)
{
    const QString f = testenv::programDir() + QStringLiteral("/a.bin");
    testenv::writeFile(f, QByteArray(1024000, 'x'));
    ASSERT_EQ(chmod(QFile::encodeName(f).constData(), 0444), 0);
    EXPECT_EQ(TailleFichierTexte(f), QStringLiteral("1000 Kb (1024000 bytes)"));
    testenv::writeFile(testenv::programDir() + QStringLiteral("/b.bin"), QByteArray(1024001, 'x'));
    const QString sep = QLocale().decimalPoint();
    EXPECT_EQ(TailleFichierTexte(testenv::programDir() + QStringLiteral("/b.bin")),
              QStringLiteral("0") + sep + QStringLiteral("98 Mb (1024001 bytes)"));
    EXPECT_EQ(TexteTaille(1572864), QStringLiteral("1") + sep + QStringLiteral("5 Mb (1572864 bytes)"));
    EXPECT_EQ(TexteTaille(512), QStringLiteral("0 Kb (512 bytes)")); // 0.5 goes to even
    EXPECT_EQ(TexteTaille(1536), QStringLiteral("2 Kb (1536 bytes)"));
    EXPECT_FALSE(TailleFichierTexte(testenv::programDir() + QStringLiteral("/missing")).has_value());
}

TEST(FonctionsIndep, SupprimeDossierUsesTheWholePathAndNeverFollowsLinks)
{
    const QString base = testenv::rootDir() + QStringLiteral("/del/");
    // A path longer than 254 characters, and a sibling named by its 254-character prefix.
    // Names are at most 255 bytes: the long path is two folders deep.
    const QString longue = base + QString(200, QLatin1Char('a')) + QLatin1Char('/') + QString(99 - base.size(), QLatin1Char('b'));
    ASSERT_GT(longue.size(), 254);
    testenv::writeFile(longue + QStringLiteral("/f.txt"), "x");
    testenv::writeFile(longue.left(254) + QStringLiteral("x/keep.txt"), "keep");

    // A link inside the tree to an outside folder: the link goes, the target stays.
    const QString dehors = testenv::rootDir() + QStringLiteral("/outside");
    testenv::writeFile(dehors + QStringLiteral("/precious.txt"), "p");
    ASSERT_EQ(symlink(QFile::encodeName(dehors).constData(), QFile::encodeName(longue + QStringLiteral("/lnk")).constData()), 0);

    EXPECT_TRUE(SupprimeDossier(longue));
    EXPECT_FALSE(QFileInfo::exists(longue));
    EXPECT_TRUE(QFileInfo::exists(longue.left(254) + QStringLiteral("x/keep.txt")));
    EXPECT_TRUE(QFileInfo::exists(dehors + QStringLiteral("/precious.txt")));

    // A top-level link is removed as a link.
    const QString lien = testenv::rootDir() + QStringLiteral("/toplink");
    ASSERT_EQ(symlink(QFile::encodeName(dehors).constData(), QFile::encodeName(lien).constData()), 0);
    EXPECT_TRUE(SupprimeDossier(lien));
    EXPECT_FALSE(QFileInfo(lien).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(dehors + QStringLiteral("/precious.txt")));

    // A plain file; nothing at all; the root and an empty path are refused.
    testenv::writeFile(base + QStringLiteral("file.txt"), "x");
    EXPECT_TRUE(SupprimeDossier(base + QStringLiteral("file.txt")));
    EXPECT_FALSE(SupprimeDossier(base + QStringLiteral("file.txt")));
    EXPECT_FALSE(SupprimeDossier(QString()));
    EXPECT_FALSE(SupprimeDossier(QStringLiteral("/")));
}

TEST(FonctionsIndep, DossierTempIsPrivateAndRefusesALink)
{
    QString erreur;
    const auto d = DossierTemp(&erreur);
    ASSERT_TRUE(d) << erreur.toStdString();
    EXPECT_EQ(*d, QDir::tempPath() + QStringLiteral("/orvandel-") + QString::number(getuid()) + QLatin1Char('/'));
    struct stat st{};
    ASSERT_EQ(stat(QFile::encodeName(*d).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Widened by someone: narrowed again.
    chmod(QFile::encodeName(*d).constData(), 0755);
    ASSERT_TRUE(DossierTemp());
    stat(QFile::encodeName(*d).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A planted link is refused.
    QDir(*d).removeRecursively();
    const QString cible = testenv::rootDir() + QStringLiteral("/elsewhere");
    QDir().mkpath(cible);
    ASSERT_EQ(symlink(QFile::encodeName(cible).constData(), QFile::encodeName(d->chopped(1)).constData()), 0);
    EXPECT_FALSE(DossierTemp(&erreur));
    EXPECT_TRUE(erreur.contains(QStringLiteral("symbolic link")));
}

TEST(FonctionsIndep, IconLoaderTakesTheLargestEntryAndSquaresDoubleHeights)
{
    const QByteArray petit = dibIcone(16, 0xFF00FF00), grand = dibIcone(32, 0xFFFF0000);
    int l = 0, h = 0;
    QImage ico = ChargeIconeOctets(fichierIco({{16, 16, petit}, {32, 64, grand}}), &l, &h);
    ASSERT_FALSE(ico.isNull());
    EXPECT_EQ(l, 32);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(ico.size(), QSize(32, 32));
    EXPECT_EQ(ico.pixel(5, 5), 0xFFFF0000u);

    // Equal sizes: the first stays.
    ico = ChargeIconeOctets(fichierIco({{16, 16, dibIcone(16, 0xFF0000FF)}, {16, 16, petit}}), &l, &h);
    ASSERT_FALSE(ico.isNull());
    EXPECT_EQ(ico.pixel(1, 1), 0xFF0000FFu);

    // Over the background colour, as a bitmap.
    const QString f = testenv::programDir() + QStringLiteral("/i.ico");
    testenv::writeFile(f, fichierIco({{16, 16, dibIcone(16, 0x00000000)}}));
    const QImage b = IconeVersBitmap(f, TColor::fromRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(b.size(), QSize(16, 16));
    EXPECT_EQ(b.pixel(3, 3), qRgb(0x11, 0x22, 0x33));
}

TEST(FonctionsIndep, HostileIconFilesGiveNoIcon)
{
    const QByteArray d = dibIcone(16, 0xFF00FF00);
    const QList<QByteArray> hostiles{
        fichierIco({{16, 16, d}}, 65535),                       // count far beyond the file
        fichierIco({{16, 16, d, 0x7FFFFFF0}}),                  // size of 2 GB
        fichierIco({{16, 16, d, -1, 0xFFFFFF00}}),              // offset beyond the end
        fichierIco({{16, 16, d, d.size() + 1}}),                // one byte past the end
        fichierIco({{16, 16, d}}, 0),                           // no entry
        fichierIco({{16, 16, QByteArray(40, '\xFF')}}),         // garbage image data
        QByteArray("\0\0\1\0", 4),                              // truncated header
        QByteArray(),
    };
    for (int i = 0; i < hostiles.size(); ++i) {
        int l = -7, h = -7;
        EXPECT_TRUE(ChargeIconeOctets(hostiles[i], &l, &h).isNull()) << i;
        EXPECT_EQ(l, -7) << i;
        const QString f = testenv::programDir() + QStringLiteral("/h%1.ico").arg(i);
        testenv::writeFile(f, hostiles[i]);
        EXPECT_EQ(IconeVersBitmap(f, TColor::fromRgb(1, 2, 3)).size(), QSize(1, 1)) << i;
    }
}

TEST(FonctionsIndep, ResourcesAndPictureFacts)
{
    const QString gif = testenv::programDir() + QStringLiteral("/Points.gif");
    ASSERT_TRUE(ExtraitRessource(QStringLiteral(":/art/points.gif"), gif));
    QFile res(QStringLiteral(":/art/points.gif"));
    ASSERT_TRUE(res.open(QIODevice::ReadOnly));
    EXPECT_EQ(testenv::readFile(gif), res.readAll());
    // Replacing an existing copy works.
    ASSERT_TRUE(ExtraitRessource(QStringLiteral(":/art/points.gif"), gif));
    QString erreur;
    EXPECT_FALSE(ExtraitRessource(QStringLiteral(":/art/none.gif"), gif, &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    const InfosImage infos = LitInfosImage(gif);
    EXPECT_EQ(NomFormatImage(infos), QStringLiteral("GIF"));
    EXPECT_EQ(BitsParPixel(infos), QStringLiteral("8"));
    EXPECT_GT(NombreImages(infos), 1);

    const QString png = testenv::programDir() + QStringLiteral("/p.png");
    QImage rgb(100, 1, QImage::Format_RGB888);
    for (int x = 0; x < 100; ++x)
        rgb.setPixel(x, 0, qRgb(x, 2 * x, 0));
    ASSERT_TRUE(rgb.save(png, "PNG"));
    EXPECT_EQ(NomFormatImage(LitInfosImage(png)), QStringLiteral("PNG"));
    EXPECT_EQ(BitsParPixel(LitInfosImage(png)), QStringLiteral("24"));
    const QString bmp = testenv::programDir() + QStringLiteral("/p.bmp");
    ASSERT_TRUE(rgb.convertToFormat(QImage::Format_Indexed8).save(bmp, "BMP"));
    EXPECT_EQ(NomFormatImage(LitInfosImage(bmp)), QStringLiteral("Bitmap"));
    EXPECT_EQ(BitsParPixel(LitInfosImage(bmp)), QStringLiteral("8"));
    EXPECT_EQ(NomFormatImage(InfosImageMemoire(rgb)), QStringLiteral("BMP created in memory"));
    testenv::writeFile(testenv::programDir() + QStringLiteral("/junk.png"), "not a picture");
    EXPECT_TRUE(NomFormatImage(LitInfosImage(testenv::programDir() + QStringLiteral("/junk.png"))).isEmpty());

    ScriptedPrompts prompts;
    prompts.folder(QStringLiteral("/x"));
    prompts.folder(std::nullopt);
    EXPECT_EQ(ChoisirDossier(prompts, QStringLiteral("t"), QStringLiteral("/")), QStringLiteral("/x"));
    EXPECT_TRUE(ChoisirDossier(prompts, QStringLiteral("t"), QStringLiteral("/")).isEmpty());
}

TEST(FonctionsIndep, TheDotsAnimationHasTimedFramesInTheKeyBlueOnAnotherColour)
{
    QImageReader r(QStringLiteral(":/art/points.gif"));
    ASSERT_TRUE(r.canRead());
    EXPECT_GE(r.imageCount(), 4);
    int cles = 0, frames = 0;
    QImage derniere;
    while (r.canRead()) {
        const QImage img = r.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(img.isNull());
        EXPECT_GT(r.nextImageDelay(), 0);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                EXPECT_TRUE(p == qRgb(0, 0, 0x80) || p == qRgb(0xFF, 0xFF, 0xFF));
                cles += p == qRgb(0, 0, 0x80);
            }
        ++frames;
        derniere = img;
    }
    EXPECT_EQ(frames, 8);
    EXPECT_GT(cles, 0);
}

TEST(FonctionsIndep, BitmapStripsAreCutIntoSquareTilesWithTheirKeyColourTransparent)
{
    const QString f = testenv::programDir() + QStringLiteral("/strip.png");
    QImage bande(30, 10, QImage::Format_RGB32);
    bande.fill(qRgb(0xFF, 0, 0xFF));
    bande.setPixel(15, 5, qRgb(1, 2, 3));
    ASSERT_TRUE(bande.save(f));
    const QList<QImage> tuiles = ChargeBitmapDansListe(f);
    ASSERT_EQ(tuiles.size(), 3);
    EXPECT_EQ(tuiles[1].size(), QSize(10, 10));
    EXPECT_EQ(qAlpha(tuiles[1].pixel(0, 0)), 0);
    EXPECT_EQ(tuiles[1].pixel(5, 5), qRgb(1, 2, 3));
    EXPECT_TRUE(ChargeBitmapDansListe(QStringLiteral(":/art/none.png")).isEmpty());
}
