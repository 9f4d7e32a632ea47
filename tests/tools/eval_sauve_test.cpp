#include "tools/eval_sauve.h"
#include "tools/choix_images.h"

#include "ui/app_context.h"
#include "ui/fonctions_indep.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QImage degrade(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, (x * y) % 256));
    return img;
}

const QRegularExpression FormeTexte(QStringLiteral(R"(^\d+([.,]\d+)? (Kb|Mb) \(\d+ bytes\) \(Build in \d+ ms\)$)"));

} // namespace

TEST(EvalSauve, SixEssaisAvecLeursVraiesTailles)
{
    const QImage finale = degrade(240, 294);
    const QString temp = testenv::tempDir() + QStringLiteral("/EvalSauve.jpg");
    const auto r = EvalueSauvegardes(finale, temp);
    EXPECT_FALSE(QFileInfo::exists(temp));
    for (int i = 0; i < NombreEssaisEval; ++i) {
        const EssaiEvalSauve e = EssaisEvalSauve[size_t(i)];
        ASSERT_TRUE(r[size_t(i)].reussi) << i;
        // The size is the file's: the encoder's bytes for this trial (the EXIF date has a fixed length).
        const auto octets = EncodeImageFormat(finale, e.qualite, e.type, QDateTime::currentDateTime());
        ASSERT_TRUE(octets);
        EXPECT_EQ(r[size_t(i)].octets, octets->size()) << i;
        EXPECT_TRUE(FormeTexte.match(r[size_t(i)].texte).hasMatch()) << r[size_t(i)].texte.toStdString();
        EXPECT_TRUE(r[size_t(i)].texte.startsWith(TexteTaille(octets->size()))) << i;
        EXPECT_EQ(r[size_t(i)].vignette.size(), QSize(240, 287));
    }
    // JPEG 50 is smaller than JPEG 100.
    EXPECT_LT(r[5].octets, r[0].octets);
}

TEST(EvalSauve, EssaiEnEchecLaisseSaPlaceVide)
{
    const QString temp = testenv::tempDir() + QStringLiteral("/EvalSauve.jpg");
    const auto r = EvalueSauvegardes(degrade(120, 100), temp,
                                     [](const QImage &img, const QString &f, int q, TypeSauver t) {
                                         return t == TypeSauver::BmpOptimise ? StatutImage::GenericError
                                                                             : SauveImageFormat(img, f, q, t);
                                     });
    TEvalSauve fenetre;
    fenetre.remplit(r);
    for (int slot = 1; slot <= NombreEssaisEval; ++slot) {
        const bool vide = slot == 3;
        EXPECT_EQ(fenetre.resultat(slot)->text().isEmpty(), vide) << slot;
        EXPECT_EQ(fenetre.image(slot)->pixmap().isNull(), vide) << slot;
    }
    EXPECT_FALSE(QFileInfo::exists(temp));
}

TEST(EvalSauve, DetailRondAuCentre)
{
    QImage g(300, 200, QImage::Format_ARGB32);
    g.fill(qRgb(0, 0, 200));
    g.setPixel(150, 100, qRgb(250, 10, 20)); // lands at (50, 50) of the detail
    const QImage d = DetailRond(g);
    ASSERT_EQ(d.size(), QSize(100, 100));
    EXPECT_EQ(d.pixel(50, 50), qRgba(250, 10, 20, 255));
    EXPECT_EQ(d.pixel(49, 50), qRgba(0, 0, 200, 255));
    EXPECT_EQ(qAlpha(d.pixel(3, 3)), 0); // outside the disc

    // Smaller than the detail: only the overlap, no reads outside.
    QImage petit(5, 5, QImage::Format_ARGB32);
    petit.fill(qRgb(9, 99, 199));
    const QImage dp = DetailRond(petit);
    EXPECT_EQ(dp.pixel(49, 49), qRgba(9, 99, 199, 255));
    EXPECT_EQ(qAlpha(dp.pixel(40, 40)), 0);
}

TEST(EvalSauve, FenetreDepuisLeChoixEtFermeture)
{
    ScriptedPrompts prompts;
    DossiersProgramme d;
    d.DossierAppli = testenv::programDir() + QLatin1Char('/');
    d.DossierTravail = testenv::tempDir() + QLatin1Char('/');
    AppContext ctx(d, &prompts);
    const QString source = testenv::tempDir() + QStringLiteral("/s.png");
    ASSERT_TRUE(degrade(640, 480).save(source, "PNG"));
    prompts.openPictureName(source);
    TChoixImages choix(ctx);
    choix.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return choix.ImageChargee(); }, 5000));

    QStringList textes;
    QPoint coinSlot6;
    bool ferme = false;
    // The window opens after its animation: answer it once it is there.
    QTimer reponse;
    QObject::connect(&reponse, &QTimer::timeout, [&] {
        auto *e = qobject_cast<TEvalSauve *>(QApplication::activeModalWidget());
        if (!e || !e->isVisible())
            return;
        reponse.stop();
        EXPECT_EQ(e->windowTitle(), QStringLiteral("Quality Evaluation of Images"));
        for (int slot = 1; slot <= NombreEssaisEval; ++slot)
            textes << e->resultat(slot)->text();
        coinSlot6 = e->image(6)->pos();
        EXPECT_EQ(e->titre(6)->text(), QStringLiteral("JPEG (24 bpp - quality 50%)"));
        EXPECT_FALSE(QFileInfo::exists(d.DossierTravail + QStringLiteral("EvalSauve.jpg")));
        // A click on a picture closes the window.
        QTest::mouseClick(e->image(4), Qt::LeftButton);
        ferme = !e->isVisible();
    });
    reponse.start(20);
    QTest::mouseClick(choix.findChild<QToolButton *>(QStringLiteral("EvalTBtn")), Qt::LeftButton);
    EXPECT_TRUE(ferme);
    ASSERT_EQ(textes.size(), NombreEssaisEval);
    for (const QString &t : textes)
        EXPECT_TRUE(FormeTexte.match(t).hasMatch()) << t.toStdString();
    EXPECT_EQ(coinSlot6, QPoint(256, 8)); // JPEG 50 in the middle of the top row

    // Esc and a click on a label close it too.
    TEvalSauve e;
    e.show();
    QTest::keyClick(&e, Qt::Key_Escape);
    EXPECT_FALSE(e.isVisible());
    e.show();
    QTest::mouseClick(e.resultat(2), Qt::LeftButton);
    EXPECT_FALSE(e.isVisible());
}

// Shown from the chooser, the window opens centred on the main window, after
// a frame has grown from the chooser's rectangle to its own.
TEST(EvalSauve, OpensCentredOnTheMainWindowFromTheChoosersRectangle)
{
    QWidget principale;
    // Inside the test screen (800 x 800), so that the centred window is too.
    principale.setGeometry(10, 20, 780, 760);
    principale.show();
    QDialog choix(&principale);
    choix.setGeometry(150, 160, 400, 300);
    choix.show();
    TEvalSauve e(&choix);
    QSignalSpy fin(&e, &TEvalSauve::animationTerminee);
    QList<QRect> vues; // the frame's rectangle part-way through
    QTimer sonde;
    QObject::connect(&sonde, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("AnimationEvalSauve") && w->isVisible())
                vues << w->geometry();
    });
    sonde.start(20);
    e.show();
    sonde.stop();
    ASSERT_EQ(fin.count(), 1);
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(e.animationDepart(), choix.frameGeometry());
    EXPECT_EQ(e.animationFin().size(), e.size());
    const QPoint ecart = e.frameGeometry().center() - principale.frameGeometry().center();
    EXPECT_LE(ecart.manhattanLength(), 6) << ecart.x() << "," << ecart.y();
    // The frame was seen moving: strictly between its two ends at least once.
    ASSERT_FALSE(vues.isEmpty());
    EXPECT_TRUE(std::any_of(vues.cbegin(), vues.cend(), [&](const QRect &r) {
        return r != e.animationDepart() && r != e.animationFin() && r.width() > e.animationDepart().width()
               && r.width() < e.animationFin().width();
    }));
    // Hidden and shown again: a new opening, no stray frame left behind.
    e.hide();
    e.show();
    EXPECT_EQ(fin.count(), 2);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == QLatin1String("AnimationEvalSauve") && w->isVisible());
}

// The titles by their names, the detail at 1:1 in (1, 1, 100, 100), and a
// long size text whole within its label and clear of its neighbours.
TEST(EvalSauve, TitlesDetailAndSizeTextsFitTheirPlaces)
{
    TEvalSauve e;
    const struct { const char *nom; int slot; const char *texte; } titres[] = {
        {"Label7", 1, "JPEG (24 bpp - quality 100%)"}, {"Label8", 6, "JPEG (24 bpp - quality 50%)"},
        {"Label9", 2, "PNG (8 bpp - Optimized)"},      {"Label10", 3, "Bmp (8 bpp - Optimized)"},
        {"Label11", 4, "Gif (8 bpp - Optimized)"},     {"Label12", 5, "Gif (Half tones)"},
    };
    for (const auto &t : titres) {
        auto *l = e.findChild<QLabel *>(QString::fromLatin1(t.nom));
        ASSERT_NE(l, nullptr) << t.nom;
        EXPECT_EQ(l, e.titre(t.slot)) << t.nom;
        EXPECT_EQ(l->text(), QString::fromLatin1(t.texte));
    }

    const QString long_ = QStringLiteral("274 Kb (280076 bytes) (Build in 106 ms)");
    for (int slot = 1; slot <= NombreEssaisEval; ++slot) {
        QLabel *r = e.resultat(slot);
        EXPECT_EQ(r->objectName(), QStringLiteral("Label%1").arg(slot));
        r->setText(long_);
        EXPECT_LE(r->fontMetrics().horizontalAdvance(long_), r->width()) << slot;
        EXPECT_LE(r->geometry().right(), e.width() - 1) << slot;
        for (int autre = 1; autre <= NombreEssaisEval; ++autre)
            if (autre != slot) {
                EXPECT_FALSE(r->geometry().intersects(e.resultat(autre)->geometry())) << slot << " " << autre;
                EXPECT_FALSE(r->geometry().intersects(e.titre(autre)->geometry())) << slot << " " << autre;
                EXPECT_FALSE(r->geometry().intersects(e.image(autre)->geometry())) << slot << " " << autre;
            }
    }

    // Saved losslessly, the thumbnail holds the detail pixel for pixel from (1, 1).
    const QImage finale = degrade(240, 294);
    const QString temp = testenv::tempDir() + QStringLiteral("/EvalSauve.jpg");
    const auto r = EvalueSauvegardes(finale, temp, [](const QImage &img, const QString &f, int, TypeSauver) {
        return img.save(f, "PNG") ? StatutImage::Ok : StatutImage::GenericError;
    });
    ASSERT_TRUE(r[0].reussi);
    const QImage detail = DetailRond(finale);
    int opaques = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (qAlpha(detail.pixel(x, y)) == 255 && !(x < 40 && y < 16)) { // "Zoom" is written over the corner
                ++opaques;
                ASSERT_EQ(r[0].vignette.pixel(1 + x, 1 + y), detail.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(opaques, 6000);
}
