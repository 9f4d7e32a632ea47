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
    const auto petit = ChargeMetafichier(testenv::tempDir() + QStringLiteral("/dessin.wmf"), QSize(30, 30));
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
        const auto img = ChargeMetafichier(p, {}, &erreur, &message);
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
    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("enorme.emf"), enorme), {}, nullptr, &message));
    EXPECT_TRUE(message.contains(QStringLiteral("size"))) << qPrintable(message);
}

TEST(Metafichier, OversizedAndForeignFilesAreRefusedBeforeReading)
{
    QByteArray gros = emf(10, 10, 0xFF);
    gros.append(QByteArray(int(TailleMaxMetafichier), '\0'));
    QString message;
    ErreurImage erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("gros.emf"), gros), {}, &erreur, &message));
    EXPECT_EQ(erreur, ErreurImage::Illisible);
    EXPECT_TRUE(message.contains(QStringLiteral("too large"))) << qPrintable(message);

    EXPECT_FALSE(ChargeMetafichier(ecrit(QStringLiteral("texte.emf"), QByteArray("not a metafile")), {}, &erreur,
                                   &message));
    EXPECT_EQ(erreur, ErreurImage::FormatInconnu);
    EXPECT_FALSE(ChargeMetafichier(testenv::tempDir() + QStringLiteral("/absent.emf"), {}, &erreur, &message));
    EXPECT_EQ(erreur, ErreurImage::Introuvable);
}

// The converter is a program of ours, beside the others in the build tree,
// started afresh for each file under a memory cap: a few bytes asking for an
// 8192 x 8192 drawing (256 MB) are stopped when they allocate, quickly, while
// the same file fitted into a small box is drawn.
TEST(Metafichier, ConverterProgramStopsADrawingBeyondItsMemoryCap)
{
    const QString programme = CheminConvertisseurMetafichier();
    ASSERT_FALSE(programme.isEmpty());
    EXPECT_EQ(QFileInfo(programme).fileName(), QStringLiteral("ovd-metafichier"));
    EXPECT_EQ(QFileInfo(programme).absolutePath(), QFileInfo(testenv::buildDir() + QStringLiteral("/bin")).absoluteFilePath());

    const QByteArray vaste = wmf(CoteMaxMetafichier, CoteMaxMetafichier, 0x0000FF);
    ASSERT_LT(vaste.size(), 1024);
    const QString p = ecrit(QStringLiteral("vaste.wmf"), vaste);
    const auto petit = ChargeMetafichier(p, QSize(64, 64));
    ASSERT_TRUE(petit);
    EXPECT_EQ(petit->size(), QSize(64, 64));
    EXPECT_EQ(petit->pixel(10, 32), qRgb(255, 0, 0));
    EXPECT_EQ(petit->pixel(54, 32), qRgb(255, 255, 255));

    QElapsedTimer montre;
    montre.start();
    QString message;
    ErreurImage erreur = ErreurImage::Introuvable;
    EXPECT_FALSE(ChargeMetafichier(p, {}, &erreur, &message));
    EXPECT_LT(montre.elapsed(), 4000) << "stopped by the cap, not by the time limit";
    EXPECT_EQ(erreur, ErreurImage::Illisible);
    EXPECT_TRUE(message.contains(QStringLiteral("memory"))) << qPrintable(message);
    // A drawing well within the cap still comes whole at its own size.
    const auto moyen = ChargeMetafichier(ecrit(QStringLiteral("moyen.wmf"), wmf(1600, 1200, 0x0000FF)));
    ASSERT_TRUE(moyen);
    EXPECT_EQ(moyen->size(), QSize(1600, 1200));
}

// The converter run by hand: a wrong command, an empty input and an input
// past the size limit are refused with their exit codes, a good file drawn.
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
    const QByteArray e = emf(40, 20, 0x00FF00);
    EXPECT_EQ(lance({QStringLiteral("gif")}, e), convertisseur::SortieUsage);
    EXPECT_EQ(lance({}, e), convertisseur::SortieUsage);
    EXPECT_EQ(lance({QStringLiteral("emf")}, QByteArray()), convertisseur::SortieUsage);
    QByteArray trop = e;
    trop.append(QByteArray(int(convertisseur::EntreeMax), '\0'));
    EXPECT_EQ(lance({QStringLiteral("emf")}, trop), convertisseur::SortieUsage);
    EXPECT_EQ(lance({QStringLiteral("wmf")}, QByteArray("not a metafile at all, not at all")),
              convertisseur::SortieIllisible);
    QByteArray sortie;
    ASSERT_EQ(lance({QStringLiteral("emf")}, e, &sortie), 0);
    const qsizetype ligne = sortie.indexOf('\n');
    ASSERT_GT(ligne, 0);
    const QList<QByteArray> champs = sortie.left(ligne).split(' ');
    ASSERT_EQ(champs.size(), 5);
    EXPECT_EQ(champs[0], "40");
    EXPECT_EQ(champs[1], "20");
    EXPECT_EQ(champs[4].toLongLong(), sortie.size() - ligne - 1);
    EXPECT_TRUE(sortie.mid(ligne + 1).contains("<svg"));
}
