#include "tools/choix_images.h"
#include "tools/eval_sauve.h"
#include "theme/image_et_copie.h"

#include "ui/app_context.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/instantane_dossier.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"
#include "tests/tools/choix_images_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QPainter>
#include <QTransform>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace choixtest;

TEST(ChoixImagesGeometrie, AjustementCadreEtRotations)
{
    // A small picture is enlarged and centred; a 4:3 one fills the view.
    EXPECT_EQ(AjusteDansVue(100, 50), QRect(0, 51, 408, 204));
    EXPECT_EQ(AjusteDansVue(800, 600), QRect(0, 0, 408, 306));
    const QRect fin = AjusteDansVue(10000, 10);
    EXPECT_GE(fin.height(), 1);
    EXPECT_EQ(fin.width(), 408);

    // 240 x 320 in 408 x 306: 229.5 rounds to the even 230; Today hides 18 rows.
    const CadreRecadrage c = CalculeCadre(QSize(240, 320), QSize(408, 306));
    EXPECT_EQ(c.fw, 230);
    EXPECT_EQ(c.fh, 306);
    EXPECT_DOUBLE_EQ(c.s, 0.95625);

    EXPECT_EQ(CadreCentreSur(QPoint(400, 0), QSize(230, 306), QRect(0, 0, 408, 306)), QPoint(178, 0));
    EXPECT_EQ(CadreCentreSur(QPoint(3, 3), QSize(50, 40), QRect(10, 20, 300, 200)), QPoint(10, 20));
    EXPECT_EQ(TexteLimiteCadre(7, 408), QStringLiteral("007 - 408"));

    EXPECT_EQ(TypeRotationPour(0, true, true), 2);
    EXPECT_EQ(TypeRotationPour(0, true, false), 4);
    EXPECT_EQ(TypeRotationPour(0, false, true), 6);
    EXPECT_EQ(TypeRotationPour(3, true, true), 1);

    EXPECT_EQ(TailleCibleChoix(FormatImages{4}, false, true, false), QSize(320, 214));
    FormatImages f;
    FixeTailles(f, 3);
    EXPECT_EQ(TailleCibleChoix(f, false, false, true), QSize(f.TailleImages[0], f.TailleImages[1]));
    EXPECT_EQ(NomImageTravail(5, false, true), QStringLiteral("stwater_640_480.gif"));
    EXPECT_EQ(NomImageTravail(2, true, true), QStringLiteral("tdywater.gif"));
}

TEST(ChoixImagesGeometrie, RotateFlipSurUneImage3x2)
{
    const QImage src = photo(3, 2, 3);
    // Clockwise quarter turn, then the left-right mirror for types 4..7.
    auto quart = [](const QImage &s) {
        QImage d(s.height(), s.width(), QImage::Format_ARGB32);
        for (int y = 0; y < d.height(); ++y)
            for (int x = 0; x < d.width(); ++x)
                d.setPixel(x, y, s.pixel(y, s.height() - 1 - x));
        return d;
    };
    auto miroir = [](const QImage &s) {
        QImage d(s.size(), QImage::Format_ARGB32);
        for (int y = 0; y < d.height(); ++y)
            for (int x = 0; x < d.width(); ++x)
                d.setPixel(x, y, s.pixel(s.width() - 1 - x, y));
        return d;
    };
    for (int type = 0; type < 8; ++type) {
        QImage attendu = src;
        for (int q = 0; q < type % 4; ++q)
            attendu = quart(attendu);
        if (type >= 4)
            attendu = miroir(attendu);
        EXPECT_TRUE(memeImage(TourneImage(src, type), attendu)) << "type " << type;
    }
}

TEST(ChoixImagesGeometrie, ReechantillonnageVoisinageEtIdentite)
{
    const QImage src = photo(40, 30, 5);
    const QRect r(4, 6, 20, 12);
    // Same size: a plain copy, whatever the mode.
    for (int m = 0; m < NombreModesInterpolation; ++m)
        EXPECT_TRUE(memeImage(Reechantillonne(src, r, r.size(), ModeInterpolation(m)), src.copy(r))) << m;
    // Doubling with the nearest neighbour repeats every pixel twice.
    const QImage d = Reechantillonne(src, r, QSize(40, 24), ModeInterpolation::Voisinage);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(d.pixel(x, y), src.pixel(r.x() + x / 2, r.y() + y / 2));
    // A flat picture stays flat through every filter.
    QImage uni(50, 50, QImage::Format_ARGB32);
    uni.fill(qRgb(10, 200, 30));
    for (int m = 0; m < NombreModesInterpolation; ++m) {
        QImage attendu(17, 23, QImage::Format_ARGB32);
        attendu.fill(qRgb(10, 200, 30));
        EXPECT_TRUE(memeImage(Reechantillonne(uni, uni.rect(), QSize(17, 23), ModeInterpolation(m)), attendu)) << m;
    }
}

TEST(ChoixImages, OuvertureAuDemarrageEtAide)
{
    Choix c(3);
    const QString source = ecritPhoto(QStringLiteral("p.png"), photo(816, 612));
    c.prompts.openPictureName(source);
    c.montre();
    ASSERT_EQ(c.prompts.fileDialogs.size(), 1);
    EXPECT_EQ(c.prompts.fileDialogs[0].title, QStringLiteral("Choose an Image for Today"));
    EXPECT_TRUE(c.prompts.fileDialogs[0].filter.startsWith(QStringLiteral("All (*.jpg;*.jpeg;")));
    EXPECT_EQ(c.w->FichierSource(), source);
    EXPECT_EQ(c.w->RectImage(), QRect(0, 0, 408, 306));
    EXPECT_EQ(c.trouve<QLabel>("LargLbl")->text(), QStringLiteral("Width  : 816"));
    EXPECT_EQ(c.trouve<QLabel>("LeftLbl")->text(), QStringLiteral("000 - 000"));
    EXPECT_TRUE(c.trouve<QToolButton>("SauverTBtn")->isEnabled());

    // Right clicks reach the context help with the panel's id.
    auto aide = [&](QWidget *w) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &e);
    };
    aide(c.trouve<QWidget>("Image1"));
    aide(c.trouve<QWidget>("SauverTBtn"));
    aide(c.trouve<QWidget>("QualJpgTB"));
    EXPECT_EQ(c.aides, (QList<int>{1011, 1001, 1022}));

    // An unreadable file changes nothing.
    const QString casse = testenv::tempDir() + QStringLiteral("/casse.jpg");
    testenv::writeFile(casse, QByteArray("\xFF\xD8\xFF\xE0 not a picture"));
    c.prompts.openPictureName(casse);
    c.clique(c.trouve<QToolButton>("OuvrirTBtn"));
    EXPECT_EQ(c.prompts.messages, QStringList{QStringLiteral("Unknown Format for GDI+")});
    EXPECT_EQ(c.w->FichierSource(), source);
    EXPECT_TRUE(c.prompts.exhausted());
}

TEST(ChoixImages, RecadrageRotationEtFiltresDansLImageEnregistree)
{
    Choix c(4); // Today portrait 240 x 294
    const QImage src = photo(900, 700);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("grande.png"), src));
    c.montre();

    // A quarter turn and the mirror: RotateFlipType 5.
    c.clique(c.trouve<QToolButton>("RotHSBtn"));
    c.clique(c.trouve<QCheckBox>("MiroirCB"));
    ASSERT_EQ(c.w->TypeRotation(), 5);
    // Bicubic resampling, sepia and some contrast.
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("InterpolRG")->button(4)));
    c.clique(c.trouve<QCheckBox>("SepiaCB"));
    c.trouve<QSlider>("ContrasteTB")->setValue(35);
    // Drag the frame down to the bottom of the picture.
    auto *vue = c.trouve<QWidget>("Image1");
    const QRect img = c.w->RectImage();
    QTest::mousePress(vue, Qt::LeftButton, {}, img.center());
    QTest::mouseMove(vue, QPoint(img.center().x(), img.bottom()));
    QTest::mouseRelease(vue, Qt::LeftButton, {}, QPoint(img.center().x(), img.bottom()));
    const QRect cadre = c.w->RectCadre();
    EXPECT_EQ(cadre.bottom(), img.bottom());
    EXPECT_GT(cadre.top(), img.top());
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeSauverRG")->button(2))); // BMP
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    EXPECT_TRUE(c.prompts.messages.isEmpty()) << c.prompts.messages.join(',').toStdString();
    ASSERT_TRUE(c.w->imageEnregistree());

    // The same picture computed directly from the source.
    const QImage tournee = src.transformed(QTransform().rotate(90)).mirrored(true, false);
    ASSERT_EQ(tournee.size(), QSize(700, 900));
    const double es = 700.0 / img.width();
    const CadreRecadrage cr = CalculeCadre(QSize(240, 294), img.size());
    const QRect rs(int(std::nearbyint((cadre.left() - img.left()) * es)), int(std::nearbyint((cadre.top() - img.top()) * es)),
                   int(std::nearbyint(es * cr.s * 240)), int(std::nearbyint(es * cr.s * 294)));
    QImage recadree(240, 294, QImage::Format_ARGB32);
    recadree.fill(c.ctx->options.CouleurFond.toQRgb());
    {
        QPainter p(&recadree);
        p.drawImage(0, 0, Reechantillonne(tournee, rs.intersected(tournee.rect()), QSize(240, 294),
                                           ModeInterpolation::Bicubique));
    }
    OptionsEffets o;
    o.SepiaCB = true;
    o.ContrasteTB = 35;
    ContexteChaine ctx;
    ctx.imageDansVue = img;
    ctx.facteurPicker = FacteurPicker(408, 61);
    ctx.graineExplosion = 1;
    const QImage attendue = AppliqueChaine(recadree, o, ctx);

    const auto octets = EncodeImageFormat(attendue, 100, TypeSauver::BmpOptimise, QDateTime::currentDateTime());
    ASSERT_TRUE(octets);
    const QByteArray ecrits = testenv::readFile(c.appli(QStringLiteral("tdywater_240_320.gif")));
    EXPECT_TRUE(ecrits == *octets);
    EXPECT_TRUE(memeImage(QImage::fromData(ecrits), QImage::fromData(*octets)));
    // Format 4 portrait Today also goes to "tdywater.gif".
    EXPECT_TRUE(testenv::readFile(c.appli(QStringLiteral("tdywater.gif"))) == ecrits);
    // After the save the window shows the saved picture with the effects reset.
    EXPECT_EQ(c.w->FichierSource(), c.appli(QStringLiteral("tdywater_240_320.gif")));
    EXPECT_FALSE(c.trouve<QCheckBox>("SepiaCB")->isChecked());
    // The saved picture is already turned: it is shown as saved, not turned again.
    EXPECT_EQ(c.w->TypeRotation(), 0);
    EXPECT_FALSE(c.trouve<QCheckBox>("MiroirCB")->isChecked());
    const QRect montre = c.w->RectImage();
    EXPECT_NEAR(double(montre.width()) / montre.height(), 240.0 / 294.0, 0.01);
}

TEST(ChoixImages, TodayEffaceUseStartImageEtStartLeCopie)
{
    Choix c(3);
    ParametresWM5 p;
    p.UseStartImageDefini = true;
    p.ValUseStartImage = 1;
    c.ctx->document.setParametres(p);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("a.png"), photo(500, 400)));
    c.montre();

    // Start while UseStartImage is set: the Today size, copied to "tdywater.gif".
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeImgRG")->button(1)));
    const auto &t = c.ctx->document.format().TailleImages;
    EXPECT_EQ(c.w->TailleCible(), QSize(t[0], t[1]));
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    const QByteArray start = testenv::readFile(c.appli(QStringLiteral("stwater.gif")));
    ASSERT_FALSE(start.isEmpty());
    EXPECT_TRUE(testenv::readFile(c.appli(QStringLiteral("tdywater.gif"))) == start);
    EXPECT_TRUE(c.ctx->document.parametres().UseStartImageDefini);

    // A Today save clears it (the value itself stays).
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeImgRG")->button(0)));
    c.prompts.answer(Prompts::Answer::Yes); // overwrite the copy
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    EXPECT_EQ(c.prompts.questions, QStringList{QStringLiteral("Overwrite original file (or existing) ?")});
    EXPECT_FALSE(c.ctx->document.parametres().UseStartImageDefini);
    EXPECT_EQ(c.ctx->document.parametres().ValUseStartImage, 1);
    EXPECT_TRUE(c.prompts.exhausted());
}

// A save cut between the portrait picture and its plain copy (the program
// killed there): at the next start the two agree again, on the new picture.
// Today and Start of format 4, and the Start picture that stands for Today.
TEST(ChoixImages, UneSauvegardeCoupeeEntreLImageEtSaCopieEstAcheveeAuDemarrage)
{
    struct Cas
    {
        int format;
        bool today;
        bool useStartImage;
        QString image, copie;
    };
    for (const Cas &k : {Cas{4, true, false, QStringLiteral("tdywater_240_320.gif"), QStringLiteral("tdywater.gif")},
                         Cas{5, false, false, QStringLiteral("stwater_480_640.gif"), QStringLiteral("stwater.gif")},
                         Cas{3, false, true, QStringLiteral("stwater.gif"), QStringLiteral("tdywater.gif")}}) {
        SCOPED_TRACE(k.image.toStdString());
        for (const QString &nom : QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(testenv::programDir()).filePath(nom));
        Choix c(k.format);
        ParametresWM5 p;
        p.UseStartImageDefini = k.useStartImage;
        c.ctx->document.setParametres(p);
        // The pair as an earlier save left it.
        const QByteArray ancien = testenv::readFile(ecritPhoto(QStringLiteral("ancien.png"), photo(120, 90, 3)));
        testenv::writeFile(c.appli(k.image), ancien);
        testenv::writeFile(c.appli(k.copie), ancien);

        c.prompts.openPictureName(ecritPhoto(QStringLiteral("nouveau.png"), photo(700, 500)));
        c.montre();
        if (!k.today)
            c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeImgRG")->button(1)));
        c.clique(c.trouve<QToolButton>("OuvrirTBtn"));
        std::optional<testenv::Instantane> coupure;
        c.ctx->entreImageEtCopie = [&] { coupure = testenv::prendInstantane(testenv::programDir()); };
        c.prompts.answer(Prompts::Answer::Yes); // overwrite
        c.clique(c.trouve<QToolButton>("SauverTBtn"));
        ASSERT_TRUE(c.w->imageEnregistree());
        ASSERT_TRUE(coupure);
        const QByteArray nouveau = testenv::readFile(c.appli(k.image));
        ASSERT_NE(nouveau, ancien);
        // The save that went through: both alike, no note left.
        EXPECT_EQ(testenv::readFile(c.appli(k.copie)), nouveau);
        EXPECT_FALSE(QFileInfo::exists(c.appli(NomNoteCopie(k.copie))));

        // Killed between the two writes: the copy still holds the old picture.
        testenv::remetInstantane(testenv::programDir(), *coupure);
        EXPECT_EQ(testenv::readFile(c.appli(k.image)), nouveau);
        EXPECT_EQ(testenv::readFile(c.appli(k.copie)), ancien);
        // The next start.
        AcheveCopiesInterrompues(c.ctx->dossiers.DossierAppli, &c.prompts);
        EXPECT_EQ(testenv::readFile(c.appli(k.image)), nouveau);
        EXPECT_EQ(testenv::readFile(c.appli(k.copie)), nouveau);
        EXPECT_FALSE(QFileInfo::exists(c.appli(NomNoteCopie(k.copie))));
        EXPECT_TRUE(c.prompts.messages.isEmpty()) << c.prompts.messages.join(',').toStdString();
        EXPECT_TRUE(c.prompts.exhausted());
        c.w->close();
    }
}

// Pictures without a plain copy are written alone: no note, and no copy touched.
TEST(ChoixImages, LesImagesSansCopieSontEcritesSeules)
{
    for (const int format : {3, 4}) {
        SCOPED_TRACE(format);
        for (const QString &nom : QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(QDir(testenv::programDir()).filePath(nom));
        Choix c(format);
        const QByteArray autre("GIF89a kept as it is");
        if (format == 4)
            testenv::writeFile(c.appli(QStringLiteral("tdywater.gif")), autre);
        int coupures = 0;
        c.ctx->entreImageEtCopie = [&] { ++coupures; };
        c.prompts.openPictureName(ecritPhoto(QStringLiteral("e.png"), photo(640, 480)));
        c.montre();
        if (format == 4) {
            // The landscape Today picture has no plain copy.
            c.prompts.openPictureName(ecritPhoto(QStringLiteral("e.png"), photo(640, 480)));
            c.clique(c.trouve<QCheckBox>("LandscapeCB"));
        }
        c.clique(c.trouve<QToolButton>("SauverTBtn"));
        ASSERT_TRUE(c.w->imageEnregistree());
        EXPECT_EQ(coupures, 0);
        QStringList attendus{QStringLiteral("tdywater.gif")};
        if (format == 4) {
            attendus << QStringLiteral("tdywater_320_240.gif");
            EXPECT_EQ(testenv::readFile(c.appli(QStringLiteral("tdywater.gif"))), autre);
        }
        EXPECT_EQ(QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden), attendus);
        EXPECT_TRUE(c.prompts.messages.isEmpty()) << c.prompts.messages.join(',').toStdString();
        EXPECT_TRUE(c.prompts.exhausted());
        c.w->close();
    }
}

TEST(ChoixImages, LesEncodagesDonnentLeBonType)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("b.png"), photo(300, 200)));
    c.montre();
    const QList<QByteArray> signatures{QByteArray("\xFF\xD8\xFF", 3), QByteArray("\x89PNG"), QByteArray("BM"),
                                       QByteArray("GIF8"), QByteArray("GIF8")};
    for (int type = 0; type < NombreTypesSauver; ++type) {
        c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeSauverRG")->button(type)));
        if (type > 0)
            c.prompts.answer(Prompts::Answer::Yes);
        c.clique(c.trouve<QToolButton>("SauverTBtn"));
        const QByteArray octets = testenv::readFile(c.appli(QStringLiteral("tdywater.gif")));
        EXPECT_TRUE(octets.startsWith(signatures[type])) << "type " << type;
        const QImage relue = QImage::fromData(octets);
        EXPECT_EQ(relue.size(), c.w->TailleCible()) << "type " << type;
    }
    EXPECT_TRUE(c.prompts.messages.isEmpty());
    EXPECT_TRUE(c.prompts.exhausted());
}

TEST(ChoixImages, ApercuRecalculeUneFoisApresPlusieursChangements)
{
    Choix c(3);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("c.png"), photo(640, 480)));
    c.montre();
    QSignalSpy spy(c.w.get(), &TChoixImages::apercuRecalcule);
    const int avant = c.w->nombreCalculsApercu();
    c.clique(c.trouve<QCheckBox>("GrisCB"));
    c.clique(c.trouve<QCheckBox>("NegCB"));
    c.trouve<QSlider>("ContrasteTB")->setValue(20);
    c.trouve<QSlider>("GammaTB")->setValue(14);
    EXPECT_EQ(c.w->nombreCalculsApercu(), avant);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(c.w->nombreCalculsApercu(), avant + 1);
    // Nothing else is pending.
    EXPECT_FALSE(spy.wait(3 * TChoixImages::DelaiApercuMs));
    EXPECT_EQ(spy.count(), 1);

    // The preview is the chain on the fitted copy.
    ContexteChaine ctx;
    ctx.imageDansVue = c.w->RectImage();
    ctx.facteurPicker = FacteurPicker(408, 61);
    ctx.graineExplosion = 1;
    const OptionsEffets &o = c.w->optionsEffets();
    EXPECT_TRUE(o.GrisCB && o.NegCB && o.ContrasteTB == 20 && o.GammaTB == 14);
    EXPECT_TRUE(memeImage(c.w->apercuFiltre(), AppliqueChaine(c.w->BmpApercu(), o, ctx)));
    EXPECT_EQ(c.w->BmpApercu().size(), c.w->RectImage().size());
}

TEST(ChoixImages, AnnulerNeChangeAucuneImageDeTravail)
{
    Choix c(3);
    const QByteArray ancien = photo(200, 150).save(testenv::tempDir() + "/x.png", "PNG")
                                  ? testenv::readFile(testenv::tempDir() + "/x.png")
                                  : QByteArray();
    ASSERT_FALSE(ancien.isEmpty());
    testenv::writeFile(c.appli(QStringLiteral("tdywater.gif")), ancien);
    testenv::writeFile(c.appli(QStringLiteral("stwater.gif")), ancien);

    // Shown: the Today working picture is preloaded, no dialog.
    c.montre();
    EXPECT_EQ(c.w->FichierSource(), c.appli(QStringLiteral("tdywater.gif")));
    EXPECT_TRUE(c.prompts.fileDialogs.isEmpty());

    c.prompts.openPictureName(ecritPhoto(QStringLiteral("d.png"), photo(500, 500)));
    c.clique(c.trouve<QToolButton>("OuvrirTBtn"));
    c.clique(c.trouve<QCheckBox>("GrisCB"));
    c.prompts.answer(Prompts::Answer::No);
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    EXPECT_FALSE(c.w->imageEnregistree());

    // Closing with Esc.
    QTest::keyClick(c.w.get(), Qt::Key_Escape);
    EXPECT_FALSE(c.w->isVisible());
    EXPECT_TRUE(testenv::readFile(c.appli(QStringLiteral("tdywater.gif"))) == ancien);
    EXPECT_TRUE(testenv::readFile(c.appli(QStringLiteral("stwater.gif"))) == ancien);
    EXPECT_TRUE(c.prompts.exhausted());
}

TEST(ChoixImages, OuvreChoixImagesRenvoieSiUneImageAEteEnregistree)
{
    ScriptedPrompts prompts;
    DossiersProgramme d;
    d.DossierAppli = testenv::programDir() + QLatin1Char('/');
    AppContext ctx(d, &prompts);
    prompts.openPictureName(ecritPhoto(QStringLiteral("e.png"), photo(300, 300)));
    // Save then leave, from inside the modal loop.
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([] {
            auto *w = qobject_cast<TChoixImages *>(QApplication::activeModalWidget());
            return w && w->ImageChargee();
        }, 5000));
        auto *w = qobject_cast<TChoixImages *>(QApplication::activeModalWidget());
        QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("SauverTBtn")), Qt::LeftButton);
        QTest::mouseClick(w->findChild<QToolButton *>(QStringLiteral("QuitterTBtn")), Qt::LeftButton);
    });
    EXPECT_TRUE(OuvreChoixImages(ctx, {}, nullptr));
    EXPECT_TRUE(QFileInfo::exists(d.DossierAppli + QStringLiteral("tdywater.gif")));
    EXPECT_FALSE(ctx.animation.isPaused());
}


TEST(ChoixImages, UnTubeSousLeNomDeLImageTodayEstUneImageAbsente)
{
    // A pipe under the Today picture's name: its button stays off and the
    // Start picture is the one loaded; the pipe is never opened.
    Choix c(3);
    testenv::TubeSurveille tube(c.appli(QStringLiteral("tdywater.gif")));
    ASSERT_TRUE(tube.cree());
    ASSERT_TRUE(photo(80, 60).save(c.appli(QStringLiteral("stwater.gif")), "PNG"));
    c.montre();
    EXPECT_FALSE(c.trouve<QToolButton>("TodayEnCoursTBtn")->isEnabled());
    EXPECT_TRUE(c.trouve<QToolButton>("StartEnCoursTBtn")->isEnabled());
    EXPECT_EQ(c.w->FichierSource(), c.appli(QStringLiteral("stwater.gif")));
    EXPECT_TRUE(c.prompts.fileDialogs.isEmpty());
    tube.arrete();
    EXPECT_EQ(tube.lecteurs(), 0);
}

namespace {

// A smooth picture: red across, green down, blue fixed (no pure black or
// white anywhere).
QImage degradeLisse(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / (w - 1), y * 255 / (h - 1), 90));
    return img;
}

double ecartMoyen(const QImage &a0, const QImage &b0)
{
    const QImage a = a0.convertToFormat(QImage::Format_RGB32), b = b0.convertToFormat(QImage::Format_RGB32);
    double somme = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            somme += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return somme / (3.0 * a.width() * a.height());
}

// The pixels of the view's row `y` (in picture coordinates) from x0 to x1,
// as the view draws them (enlarged when the window gives it room).
QList<QRgb> ligneVue(QWidget *vue, int y, int x0, int x1)
{
    const QImage g = vue->grab().toImage().convertToFormat(QImage::Format_RGB32);
    double k = std::min(double(vue->width()) / 408, double(vue->height()) / 306);
    if (k < 1.2)
        k = 1.0;
    const double gauche = k > 1.0 ? (vue->width() - 408 * k) / 2 : 0.0;
    QList<QRgb> l;
    for (int x = x0; x <= x1; ++x)
        l << g.pixel(int(gauche + (x + 0.5) * k), int((y + 0.5) * k));
    return l;
}

} // namespace

// Format 5, the current-picture buttons and the crop frame through orientation
// changes: the buttons follow the files of the orientation shown; a Landscape
// tick whose open dialog is cancelled frames the picture already shown for the
// new target, and the save writes that framed region.
TEST(ChoixImages, OrientationChangeButtonsAndFrameFollowTheTarget)
{
    Choix c(5);
    const QImage source = degradeLisse(800, 600);
    c.prompts.openPictureName(ecritPhoto(QStringLiteral("large.png"), source));
    c.montre();
    auto *today = c.trouve<QToolButton>("TodayEnCoursTBtn");
    auto *start = c.trouve<QToolButton>("StartEnCoursTBtn");
    auto *paysage = c.trouve<QCheckBox>("LandscapeCB");
    EXPECT_FALSE(today->isEnabled());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(c.w->TailleCible(), QSize(480, 588));

    // Landscape, no landscape picture, the dialog cancelled.
    c.prompts.openPictureName(std::nullopt);
    c.clique(paysage);
    ASSERT_TRUE(paysage->isChecked());
    EXPECT_EQ(c.prompts.fileDialogs.size(), 2);
    EXPECT_EQ(c.w->TailleCible(), QSize(640, 428));
    // The frame has the landscape target's shape: the whole width, 428 * 408 / 640 high.
    EXPECT_EQ(c.w->RectCadre(), QRect(0, 0, 408, 273));
    // Drawn where it is: the bottom of the Today frame (19 rows less, scaled) is
    // the frame's dotted line, the row under the whole frame is the picture.
    const QRect focus = c.w->RectFocus();
    EXPECT_EQ(focus, QRect(0, 0, 408, 273 - 12));
    auto *vue = c.trouve<QWidget>("Image1");
    for (QRgb p : ligneVue(vue, focus.bottom(), 20, 380))
        EXPECT_TRUE(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << std::hex << p;
    int picture = 0;
    for (QRgb p : ligneVue(vue, 290, 20, 380))
        picture += p != qRgb(0, 0, 0) && p != qRgb(255, 255, 255);
    EXPECT_EQ(picture, 361);
    EXPECT_FALSE(today->isEnabled());

    // Saved: the region framed, the source's 800 x 535 top, at 640 x 428.
    c.clique(qobject_cast<QAbstractButton *>(c.groupe("TypeSauverRG")->button(0))); // JPEG
    c.clique(c.trouve<QToolButton>("SauverTBtn"));
    ASSERT_TRUE(c.w->imageEnregistree());
    const QImage ecrite = QImage::fromData(testenv::readFile(c.appli(QStringLiteral("tdywater_640_480.gif"))));
    ASSERT_EQ(ecrite.size(), QSize(640, 428));
    const auto region = [&](int w, int h) {
        return source.copy(0, 0, w, h).scaled(640, 428, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    EXPECT_LT(ecartMoyen(ecrite, region(800, 535)), 3.0);
    // What the portrait-shaped frame gave before: another region altogether.
    EXPECT_GT(ecartMoyen(ecrite, region(653, 437)), 6.0);
    EXPECT_TRUE(today->isEnabled());
    EXPECT_FALSE(start->isEnabled());

    // Back to portrait with only that landscape picture: no current picture
    // for either button; the dialog cancelled, the frame takes the portrait shape.
    c.prompts.openPictureName(std::nullopt);
    c.clique(paysage);
    ASSERT_FALSE(paysage->isChecked());
    EXPECT_FALSE(today->isEnabled());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(c.w->TailleCible(), QSize(480, 588));
    const QRect portrait = c.w->RectCadre();
    EXPECT_NEAR(double(portrait.width()) / portrait.height(), 480.0 / 588.0, 0.01);
    EXPECT_EQ(portrait.height(), c.w->RectImage().height());

    // Landscape again: the saved picture is preloaded, no dialog.
    const qsizetype dialogues = c.prompts.fileDialogs.size();
    c.clique(paysage);
    EXPECT_EQ(c.prompts.fileDialogs.size(), dialogues);
    EXPECT_EQ(c.w->FichierSource(), c.appli(QStringLiteral("tdywater_640_480.gif")));
    EXPECT_TRUE(today->isEnabled());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(c.prompts.exhausted());
}
