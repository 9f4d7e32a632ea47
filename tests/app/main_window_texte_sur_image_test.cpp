// The text tool opened from the real main window: the save format it keeps
// for the run, the JPEG tags of its saves, and the background it paints over
// its whole window in the default look.

#include "tools/exif_photo.h"
#include "tools/texte_sur_image.h"

#include "tests/support/fenetre_principale.h"

#include <QImageReader>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

void ecritImage(const QString &chemin, QRgb couleur)
{
    QImage image(240, 320, QImage::Format_RGB32);
    image.fill(couleur);
    ASSERT_TRUE(image.save(chemin, "PNG"));
}

// The tool button of the pictures page, once the working pictures are seen.
QToolButton *boutonTexte(Fenetre &f)
{
    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("ImgTabS"));
    auto *b = f.trouve<QToolButton>("AddTextSBtn");
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->isVisible(); }, 2000));
    return b;
}

// Opens the tool, runs `action` on it, then closes it (quit confirmed).
void dansOutil(Fenetre &f, const std::function<void(TTexteSurImg *)> &action)
{
    bool vu = false;
    surFenetreModale([&](QWidget *m) {
        auto *t = qobject_cast<TTexteSurImg *>(m);
        ASSERT_TRUE(t);
        vu = true;
        action(t);
        f.prompts.answer(Prompts::Answer::Yes);
        t->reject();
    });
    QTest::mouseClick(boutonTexte(f), Qt::LeftButton);
    EXPECT_TRUE(vu);
}

QRadioButton *format(TTexteSurImg *t, int i)
{
    return t->findChild<QRadioButton *>(QStringLiteral("TypeSauverRG%1").arg(i));
}

// The points of a window where no control lies, on a grid.
QList<QPoint> pointsLibres(QWidget *w)
{
    QList<QPoint> points;
    for (int y = 1; y < w->height() - 1; y += 5)
        for (int x = 1; x < w->width() - 1; x += 5)
            if (!w->childAt(x, y))
                points << QPoint(x, y);
    return points;
}

} // namespace

TEST(MainWindowTexteSurImage, SaveFormatLastsTheRunAndJpegSavesCarryTheTags)
{
    Fenetre f;
    const QString tdy = f.dossiers.DossierAppli + "tdywater.gif";
    ecritImage(tdy, qRgb(20, 40, 160));
    ecritImage(f.dossiers.DossierAppli + "stwater.gif", qRgb(20, 160, 40));
    TOrvandel &w = f.ouvre();
    w.contexte().options.TypeImgSauver = 0; // the chooser's choice: JPEG

    // At first the chooser's choice; PNG chosen here, and saved as PNG.
    dansOutil(f, [&](TTexteSurImg *t) {
        EXPECT_TRUE(format(t, 0)->isChecked());
        QTest::mouseClick(format(t, 1), Qt::LeftButton, {}, QPoint(6, format(t, 1)->height() / 2));
        ASSERT_TRUE(format(t, 1)->isChecked());
        f.prompts.answer(Prompts::Answer::Yes); // overwrite
        QTest::mouseClick(t->findChild<QToolButton *>("SauverSBtn"), Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_TRUE(t->imageSauvee());
    });
    EXPECT_EQ(QImageReader(tdy).format(), QByteArray("png"));
    EXPECT_EQ(w.contexte().options.TypeImgSauver, 0); // the chooser keeps its own

    // Opened again: still PNG. JPEG chosen and saved: with both tags.
    dansOutil(f, [&](TTexteSurImg *t) {
        EXPECT_TRUE(format(t, 1)->isChecked());
        EXPECT_FALSE(format(t, 0)->isChecked());
        QTest::mouseClick(format(t, 0), Qt::LeftButton, {}, QPoint(6, format(t, 0)->height() / 2));
        auto *edit = t->findChild<QLineEdit *>("Edit1");
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Tags"));
        f.prompts.answer(Prompts::Answer::Yes);
        QTest::mouseClick(t->findChild<QToolButton *>("SauverSBtn"), Qt::LeftButton, {}, QPoint(3, 3));
    });
    EXPECT_EQ(QImageReader(tdy).format(), QByteArray("jpeg"));
    EXPECT_EQ(TagExifTexte(tdy, 305), QByteArray("Orvandel"));
    const auto date = TagExifTexte(tdy, 306);
    ASSERT_TRUE(date);
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(*date), QStringLiteral("yyyy:MM:dd HH:mm:ss")).isValid());
    dansOutil(f, [&](TTexteSurImg *t) { EXPECT_TRUE(format(t, 0)->isChecked()); });
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}

// In the default look the main window's background is drawn over the whole
// tool window, as the main window draws its own: every point that no control
// covers shows it, also beyond the main window's own width (no bare band).
TEST(MainWindowTexteSurImage, BackgroundCoversTheWholeWindowInTheDefaultLook)
{
    Fenetre f;
    ecritImage(f.dossiers.DossierAppli + "tdywater.gif", qRgb(20, 40, 160));
    ecritImage(f.dossiers.DossierAppli + "stwater.gif", qRgb(20, 160, 40));
    TOrvandel &w = f.ouvre();
    const ApparenceFenetre &apparence = w.contexte().apparence;
    ASSERT_FALSE(apparence.uniforme);
    ASSERT_TRUE(apparence.FondPourTaille);

    dansOutil(f, [&](TTexteSurImg *t) {
        const QImage vue = t->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (const QByteArray dossier = qgetenv("ORVANDEL_CAPTURES"); !dossier.isEmpty())
            vue.save(QString::fromLocal8Bit(dossier) + QStringLiteral("/TexteSurImg-fond.png"));
        const QImage fond = t->fondPeint().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(fond.size(), t->size());
        EXPECT_EQ(fond, apparence.FondPourTaille(t->size()).convertToFormat(QImage::Format_RGB32));
        const QList<QPoint> libres = pointsLibres(t);
        ASSERT_GT(libres.size(), 200);
        int auDela = 0, differents = 0;
        for (const QPoint &p : libres) {
            differents += vue.pixel(p) != fond.pixel(p);
            auDela += p.x() >= apparence.BmpFond.width();
        }
        EXPECT_EQ(differents, 0);
        EXPECT_GT(auDela, 20) << "the tool is wider than the main window's picture";
        // The picture's gradient runs over the whole width: its two ends differ.
        EXPECT_NE(fond.pixel(2, fond.height() / 2), fond.pixel(fond.width() - 3, fond.height() / 2));
    });
    f.ferme();
}
