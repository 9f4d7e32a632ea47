// The device-skin preview driven through its widgets: the theme's Today
// screen inside the skin in both orientations, the window cut to the skin's
// outline, the hot spots (double click only), the BaseHue and Start views,
// the captures in four formats with their counter, and a capture folder that
// refuses the file.

#include "apercu/preview_hp.h"
#include "ui/app_context.h"
#include "ui/charge_image_res.h"
#include "ui/options.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/pixels.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tools/hls.h"
#include "tools/charger_bitmap.h"
#include "tools/nk_image_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <libexif/exif-data.h>

#include <gtest/gtest.h>

#include <tuple>

namespace {

const TColor kBarreHaut1 = TColor::fromRgb(200, 30, 60);  // slot 1 (Panel1)
const TColor kBarreHaut2 = TColor::fromRgb(30, 60, 200);  // slot 2
const TColor kBarreBas = TColor::fromRgb(250, 160, 10);   // slot 6
const QRgb kFondToday = qRgb(20, 180, 90);
const QRgb kFondStart = qRgb(90, 40, 170);
const QDateTime kMoment(QDate(2024, 3, 9), QTime(14, 25, 0));

struct Apercu
{
    ScriptedPrompts prompts;
    DossiersProgramme dossiers;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<TPreviewHP> f;

    explicit Apercu(int format = 3)
    {
        dossiers.DossierAppli = testenv::programDir();
        dossiers.DossierSauveCapt = testenv::tempDir() + QStringLiteral("/captures");
        QDir().mkpath(dossiers.DossierSauveCapt);
        ctx = std::make_unique<AppContext>(dossiers, &prompts);
        ctx->document.setFormatTheme(format);
        ctx->document.setCouleur(0, kBarreHaut1);
        ctx->document.setCouleur(1, kBarreHaut2);
        ctx->document.setCouleur(5, kBarreBas);
        gifecrit::ecritFichier(testenv::programDir() + QStringLiteral("/tdywater.gif"), 640, 588, kFondToday);
        gifecrit::ecritFichier(testenv::programDir() + QStringLiteral("/stwater.gif"), 399, 586, kFondStart);
        f = std::make_unique<TPreviewHP>(*ctx);
        f->setHorloge([] { return kMoment; });
    }
    TPreviewHP &ouvre()
    {
        f->show();
        return *f;
    }
    // A double click (or a single press) on the skin at a hot spot's middle.
    void doubleClic(ZoneHP zone)
    {
        QTest::mouseDClick(f->skin(), Qt::LeftButton, {}, RectZoneHP(zone, f->paysage()).center());
    }
    void clicEcran()
    {
        QLabel *e = f->ecran(f->paysage());
        QTest::mouseClick(e, Qt::LeftButton, {}, e->rect().center());
    }
    // The window as shown, in its own coordinates.
    QImage vue() { return f->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

QByteArray tagExif(const QString &fichier, ExifTag tag)
{
    QByteArray valeur;
    ExifData *d = exif_data_new_from_file(QFile::encodeName(fichier).constData());
    if (!d)
        return valeur;
    if (ExifEntry *e = exif_content_get_entry(d->ifd[EXIF_IFD_0], tag))
        valeur = QByteArray(reinterpret_cast<const char *>(e->data), int(e->size));
    exif_data_unref(d);
    return valeur;
}

} // namespace

TEST(PreviewHP, TheTodayScreenShowsInsideTheSkinsScreenInTheThemeColours)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    EXPECT_FALSE(f.paysage());
    EXPECT_TRUE(f.ecran(false)->isVisible());
    EXPECT_FALSE(f.ecran(true)->isVisible());
    EXPECT_EQ(f.ecran(false)->geometry(), GeometrieHP::EcranPortrait);

    // VGA: the 480 x 536 area fills the 240 x 268 screen between the bars.
    const QPoint o = GeometrieHP::EcranPortrait.topLeft();
    const QImage v = a.vue();
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(0, 12)), kBarreHaut1, 12));
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(239, 12)), kBarreHaut2, 12));
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(120, 26 + 268 + 12)), kBarreBas, 6));
    // The working picture below the Today rows.
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(200, 250)), kFondToday, 6));
    // The skin round the screen: its body, not the theme.
    const QPoint corps(110, 250);
    EXPECT_FALSE(testenv::proche(v.pixel(corps), kFondToday, 40));
    EXPECT_TRUE(f.mask().contains(corps));
}

TEST(PreviewHP, LandscapeTurnsTheSkinAndShowsTheWideScreenThenPortraitAgainAfterClose)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    ASSERT_TRUE(f.paysagePermis());
    a.doubleClic(ZoneHP::Orientation);
    ASSERT_TRUE(f.paysage());
    EXPECT_TRUE(f.ecran(true)->isVisible());
    EXPECT_FALSE(f.ecran(false)->isVisible());
    EXPECT_EQ(f.skin()->image(), f.skinPaysage());

    // 640 x 376 fills the 320 x 188 screen.
    const QPoint o = GeometrieHP::EcranPaysage.topLeft();
    const QImage v = a.vue();
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(0, 12)), kBarreHaut1, 12));
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(160, 26 + 188 + 12)), kBarreBas, 6));
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(300, 180)), kFondToday, 6));
    EXPECT_EQ(f.imageEcran(true).size(), QSize(320, 240));

    // The landscape mask is the portrait one turned: the body now lies across.
    EXPECT_TRUE(f.mask().contains(QPoint(20, 249)));
    EXPECT_FALSE(f.mask().contains(QPoint(249, 20)));

    f.close();
    EXPECT_FALSE(f.paysage());
    f.show();
    EXPECT_FALSE(f.paysage());
    EXPECT_TRUE(f.ecran(false)->isVisible());
    EXPECT_EQ(f.skin()->image(), f.skinPortrait());
    EXPECT_TRUE(f.mask().contains(QPoint(249, 20)));
}

TEST(PreviewHP, SmallFormatsOfferNoLandscape)
{
    for (int format : {0, 1, 6, 7, 8}) {
        Apercu a(format);
        TPreviewHP &f = a.ouvre();
        EXPECT_FALSE(f.paysagePermis()) << format;
        const QPoint bouton = RectZoneHP(ZoneHP::Orientation, false).center();
        QTest::mouseMove(f.skin(), bouton);
        EXPECT_TRUE(f.skin()->toolTip().endsWith(QStringLiteral("No Landscape"))) << format;
        a.doubleClic(ZoneHP::Orientation);
        EXPECT_FALSE(f.paysage()) << format;
    }
}

TEST(PreviewHP, TheWindowIsCutToTheSkinsOutline)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    EXPECT_EQ(f.size(), GeometrieHP::TailleSkin);
    const QRegion m = f.mask();
    const QImage skin = f.skinPortrait();
    // Inside: the screen, the buttons, the close key, the body's edges.
    for (QPoint p : {QPoint(249, 215), RectZoneHP(ZoneHP::Start, false).center(),
                     RectZoneHP(ZoneHP::Fermer, false).center(), QPoint(104, 250), QPoint(249, 490)})
        EXPECT_TRUE(m.contains(p)) << p.x() << "," << p.y();
    // Outside: the black surround, corners included.
    for (QPoint p : {QPoint(0, 0), QPoint(497, 0), QPoint(0, 497), QPoint(497, 497), QPoint(50, 250),
                     QPoint(450, 250), QPoint(102, 4)})
        EXPECT_FALSE(m.contains(p)) << p.x() << "," << p.y();
    // Every kept pixel is brighter than the cut-out colour's tolerance, every cut one is not.
    int ecarts = 0;
    for (int y = 0; y < skin.height(); y += 7)
        for (int x = 0; x < skin.width(); x += 7) {
            const QRgb c = skin.pixel(x, y);
            const bool transparent = qRed(c) <= 25 && qGreen(c) <= 25 && qBlue(c) <= 25;
            ecarts += transparent == m.contains(QPoint(x, y));
        }
    EXPECT_EQ(ecarts, 0);
}

TEST(PreviewHP, HotSpotsActOnADoubleClickOnly)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    const QPoint fermer = RectZoneHP(ZoneHP::Fermer, false).center();
    QTest::mousePress(f.skin(), Qt::LeftButton, {}, fermer);
    QTest::mouseRelease(f.skin(), Qt::LeftButton, {}, fermer);
    EXPECT_TRUE(f.isVisible());
    QTest::mousePress(f.skin(), Qt::LeftButton, {}, RectZoneHP(ZoneHP::BaseHue, false).center());
    EXPECT_FALSE(f.vueBaseHue());

    // The sample picture until the next drawing.
    a.doubleClic(ZoneHP::Exemple);
    EXPECT_EQ(f.imageEcran(false), ChargeImageRes(QStringLiteral("VossiryP.jpg")));
    a.doubleClic(ZoneHP::Start);
    EXPECT_TRUE(f.menuStart());
    EXPECT_NE(f.imageEcran(false), ChargeImageRes(QStringLiteral("VossiryP.jpg")));

    // Beside every hot spot nothing happens.
    QTest::mouseDClick(f.skin(), Qt::LeftButton, {}, QPoint(249, 215));
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.menuStart());

    a.doubleClic(ZoneHP::Fermer);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.menuStart());
}

TEST(PreviewHP, StartMenuAndBaseHueViews)
{
    Apercu a;
    ParametresWM5 p = a.ctx->document.parametres();
    p.BaseHueDefini = true;
    p.ValBaseHue = 0x10000 + BIT_BANDE_HAUTE + 80; // upper strip, green; only the low nine bits count
    a.ctx->document.setParametres(p);
    TPreviewHP &f = a.ouvre();

    a.doubleClic(ZoneHP::Start);
    const QImage menu = f.imageEcran(false);
    // The panel's frame at the screen's left, the Start picture inside it
    // below the last entry, the Today picture beside it.
    EXPECT_TRUE(testenv::proche(menu.pixel(0, 100), qRgb(0, 0, 0), 6));
    EXPECT_TRUE(testenv::proche(menu.pixel(140, 300), kFondStart, 6));
    EXPECT_TRUE(testenv::proche(menu.pixel(200, 250), kFondToday, 6));

    a.doubleClic(ZoneHP::BaseHue);
    ASSERT_TRUE(f.vueBaseHue());
    const CouleursBaseHue c = CouleursBaseHueHP(true, p.ValBaseHue, 0);
    EXPECT_EQ(c.choisie, ColorHLSToRGB(80, 120, 160));
    EXPECT_EQ(c.compagne, ColorAdjustLuma(c.choisie, 90));
    const QImage vue = f.imageEcran(false);
    EXPECT_TRUE(testenv::proche(vue.pixel(0, 12), c.choisie, 8));
    EXPECT_TRUE(testenv::proche(vue.pixel(120, 12), c.compagne, 8));
    EXPECT_TRUE(testenv::proche(vue.pixel(120, 25), c.claire, 8));
    EXPECT_TRUE(testenv::proche(vue.pixel(239, 26 + 268 + 15), c.choisie, 8));

    // Without a stored BaseHue: the Today picture's hue on the upper strip.
    const CouleursBaseHue d = CouleursBaseHueHP(false, 0, 40);
    EXPECT_EQ(d.choisie, ColorHLSToRGB(40, 120, 160));
    // A stored lower-strip value gives greys.
    const CouleursBaseHue g = CouleursBaseHueHP(true, 80, 0);
    EXPECT_EQ(g.choisie.red(), g.choisie.green());
    EXPECT_EQ(g.choisie.green(), g.choisie.blue());
}

TEST(PreviewHP, ScreenDrawingEdgeCases)
{
    const RessourcesApercu res = RessourcesApercu::charge();
    DonneesEcranHP d;
    d.moment = kMoment;
    d.couleurs.fill(TColor::fromRgb(120, 120, 120));
    FixeTailles(d.format, 7);
    d.format.FormatTheme = 7;
    // The square format: 240 x 214 sits lower, with gradients above and below.
    const QRect r = RectEcranHP(d.format, false);
    ASSERT_GT(r.top(), 2);
    const QImage i = DessineEcranHP(d, {}, res);
    EXPECT_EQ(i.size(), QSize(240, 320));
    EXPECT_GT(qGray(i.pixel(120, 0)), 200);
    EXPECT_LT(qGray(i.pixel(120, r.top() - 3)), 60);
    // No working picture: the screen stays white under the rows.
    EXPECT_TRUE(testenv::proche(i.pixel(200, r.top() + 26 + 180), qRgb(255, 255, 255), 0));

    // A custom format with no visible area: a white screen, nothing drawn.
    DonneesEcranHP vide = d;
    vide.format.TailleImages[4] = 0;
    const QImage blanc = DessineEcranHP(vide, {}, res);
    EXPECT_TRUE(testenv::proche(blanc.pixel(120, 160), qRgb(255, 255, 255), 0));

    // Working picture names by format and orientation.
    EXPECT_EQ(NomImageTravailHP(3, false, false), QStringLiteral("tdywater.gif"));
    EXPECT_EQ(NomImageTravailHP(4, true, true), QStringLiteral("stwater_320_240.gif"));
    EXPECT_EQ(NomImageTravailHP(4, false, false), QStringLiteral("tdywater_240_320.gif"));
    EXPECT_EQ(NomImageTravailHP(5, true, false), QStringLiteral("tdywater_640_480.gif"));
    EXPECT_EQ(NomImageTravailHP(5, false, true), QStringLiteral("stwater_480_640.gif"));
}

TEST(PreviewHP, SkinsTurnWithTheirHotSpotsAndFollowTheOptions)
{
    const QImage skin = ChargeSkin(QStringLiteral("SKINACER"));
    ASSERT_EQ(skin.size(), GeometrieHP::TailleSkin);
    const QImage tourne = TourneSkin(skin);
    for (QPoint p : {QPoint(0, 0), QPoint(130, 60), QPoint(300, 440), QPoint(497, 3)})
        EXPECT_EQ(tourne.pixel(p.y(), 497 - p.x()), skin.pixel(p));
    EXPECT_EQ(TourneRectSkin(QRect(332, 418, 28, 28)), QRect(418, 138, 28, 28));
    EXPECT_EQ(RectZoneHP(ZoneHP::Fermer, true), QRect(8, 232, 27, 39));
    // A hot spot is its ellipse: the corner of its rectangle is outside.
    EXPECT_EQ(ZoneSkinHP(QPoint(346, 432), false), ZoneHP::Orientation);
    EXPECT_EQ(ZoneSkinHP(QPoint(333, 419), false), ZoneHP::Aucune);
    EXPECT_EQ(ZoneSkinHP(QPoint(432, 152), true), ZoneHP::Orientation);
    for (int k = 0; k < NombreSkins; ++k)
        EXPECT_FALSE(ChargeSkin(NomRessourceSkin(k)).isNull()) << k;
    EXPECT_TRUE(ChargeSkin(QStringLiteral("NOSKIN")).isNull());

    Apercu a;
    a.ctx->options.Skin = 4;
    TPreviewHP &f = a.ouvre();
    EXPECT_EQ(f.NomSkin(), QStringLiteral("SKINJPGFEUILLES"));
    // Its captions are yellow: "Quit" under the close key.
    const QRect zone(232, 40, 30, 14);
    int jaunes = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x) {
            const QRgb c = f.skinPortrait().pixel(x, y);
            jaunes += qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80;
        }
    EXPECT_GT(jaunes, 5);
    EXPECT_TRUE(f.curseur().valide());
    EXPECT_GT(f.curseur().images.size(), 1);
}

TEST(PreviewHP, CapturesInEachFormatWithTheirCounter)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    const QString dossier = a.dossiers.DossierSauveCapt;
    const QString autre = testenv::tempDir() + QStringLiteral("/autre");
    QDir().mkpath(autre);
    a.prompts.saveFileName(dossier + QStringLiteral("/Capture00.bmp"));
    a.prompts.saveFileName(dossier + QStringLiteral("/ecran.jpg"));
    a.prompts.saveFileName(autre + QStringLiteral("/ecran.gif"));
    a.prompts.saveFileName(autre + QStringLiteral("/ecran.png"));
    a.prompts.saveFileName(autre + QStringLiteral("/sans"));
    a.prompts.saveFileName(std::nullopt);
    for (int k = 0; k < 6; ++k)
        a.clicEcran();
    EXPECT_TRUE(a.prompts.exhausted());
    ASSERT_EQ(a.prompts.fileDialogs.size(), 6);
    EXPECT_EQ(a.prompts.fileDialogs[0].fileName, QStringLiteral("Capture00.bmp"));
    EXPECT_EQ(a.prompts.fileDialogs[0].title, QStringLiteral("Screen Capture"));
    EXPECT_EQ(a.prompts.fileDialogs[0].initialDir, dossier);
    EXPECT_EQ(a.prompts.fileDialogs[1].fileName, QStringLiteral("Capture01.bmp"));
    EXPECT_EQ(a.prompts.fileDialogs[3].initialDir, autre);
    EXPECT_EQ(a.prompts.fileDialogs[5].fileName, QStringLiteral("Capture05.bmp"));
    EXPECT_EQ(f.compteurCapture(), 5); // the cancelled dialog saved nothing

    const struct { QString fichier; QByteArray format; } attendus[] = {
        {dossier + QStringLiteral("/Capture00.bmp"), "bmp"}, {dossier + QStringLiteral("/ecran.jpg"), "jpeg"},
        {autre + QStringLiteral("/ecran.gif"), "gif"},       {autre + QStringLiteral("/ecran.png"), "png"},
        {autre + QStringLiteral("/sans.bmp"), "bmp"},
    };
    for (const auto &e : attendus) {
        QImageReader r(e.fichier);
        EXPECT_EQ(r.format(), e.format) << e.fichier.toStdString();
        const QImage i = r.read();
        EXPECT_EQ(i.size(), QSize(240, 320)) << e.fichier.toStdString();
    }
    // The JPEG carries the capture's time and the program's name.
    const QString jpeg = dossier + QStringLiteral("/ecran.jpg");
    EXPECT_EQ(tagExif(jpeg, EXIF_TAG_SOFTWARE), QByteArray("Orvandel", 9));
    EXPECT_EQ(tagExif(jpeg, EXIF_TAG_DATE_TIME), QByteArray("2024:03:09 14:25:00", 20));
    // The captured picture is the screen shown: its bottom bar survives the palette.
    const QImage bmp(dossier + QStringLiteral("/Capture00.bmp"));
    EXPECT_TRUE(testenv::proche(bmp.pixel(120, 26 + 268 + 12), kBarreBas, 16));

    // The save dialog's filter change.
    EXPECT_EQ(NomSelonFiltre(QStringLiteral("Capture00.bmp"), 2), QStringLiteral("Capture00.jpg"));
    EXPECT_EQ(NomSelonFiltre(QStringLiteral("/a.b/Capture00"), 4), QStringLiteral("/a.b/Capture00.png"));
    EXPECT_EQ(FiltreCaptureNom(QStringLiteral("x.JPEG")), 2);
}

TEST(PreviewHP, ACaptureFolderThatRefusesTheFileIsReported)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    const QString dossier = testenv::tempDir() + QStringLiteral("/refus");
    QDir().mkpath(dossier);
    testenv::DossierVerrouille verrou(dossier);
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot refuse writes";
    a.prompts.saveFileName(dossier + QStringLiteral("/Capture00.png"));
    a.clicEcran();
    ASSERT_EQ(a.prompts.messages.size(), 1);
    EXPECT_TRUE(a.prompts.messages[0].contains(QStringLiteral("Capture00.png")));
    EXPECT_FALSE(QFile::exists(dossier + QStringLiteral("/Capture00.png")));
    EXPECT_EQ(f.compteurCapture(), 0);
    EXPECT_EQ(QDir(dossier).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(PreviewHP, KeysAndTheMainWindowCommand)
{
    Apercu a;
    TPreviewHP &f = a.ouvre();
    QSignalSpy captures(&f, &TPreviewHP::demandeCapture);
    QTest::keyClick(&f, Qt::Key_J, Qt::ShiftModifier);
    QTest::keyClick(&f, Qt::Key_P, Qt::ShiftModifier);
    QTest::keyClick(&f, Qt::Key_J);
    ASSERT_EQ(captures.count(), 2);
    EXPECT_TRUE(captures.at(0).at(1).toBool());
    EXPECT_FALSE(captures.at(1).at(1).toBool());
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());

    // The command: modal, the animation paused meanwhile, the same window next time.
    QWidget principale;
    principale.setGeometry(300, 200, 800, 700);
    bool enPause = false;
    QWidget *modale = nullptr;
    QTimer::singleShot(0, [&] {
        enPause = a.ctx->animation.isPaused();
        modale = QApplication::activeModalWidget();
        if (modale)
            modale->close();
    });
    TPreviewHP *premiere = OuvrePreviewHP(*a.ctx, &principale);
    ASSERT_NE(premiere, nullptr);
    EXPECT_EQ(modale, premiere);
    EXPECT_TRUE(enPause);
    EXPECT_FALSE(a.ctx->animation.isPaused());
    const QRect m = principale.frameGeometry();
    EXPECT_EQ(premiere->pos(), QPoint(m.left() - 2, m.top() + (m.height() - 498) / 2 - 26));
    QTimer::singleShot(0, [&] {
        if (QWidget *m = QApplication::activeModalWidget())
            m->close();
    });
    EXPECT_EQ(OuvrePreviewHP(*a.ctx, &principale), premiere);
}

// The "Quit" captions: in portrait under the close key (its left + 5, its
// top + 32), in landscape beside it and clear of the screen's bezel; on
// every skin the caption stands out from what lies under it.
TEST(PreviewHP, QuitCaptionsStandAtTheirPlaceAndAreLegible)
{
    for (const char *nom : {"SKINJPG", "SKINQTEK", "SKINACER", "SKINAXIM", "SKINJPGFEUILLES"}) {
        QImage portrait = ChargeSkin(QString::fromLatin1(nom));
        ASSERT_FALSE(portrait.isNull()) << nom;
        QImage paysage = TourneSkin(portrait);
        const QImage nuPortrait = portrait.copy(), nuPaysage = paysage.copy();
        LegendesSkinPortrait(portrait, QString::fromLatin1(nom));
        LegendesSkinPaysage(paysage, QString::fromLatin1(nom));
        for (const auto &[avant, apres, ecran, paysageOui] :
             {std::tuple{nuPortrait, portrait, QRect(129, 55, 240, 320), false},
              std::tuple{nuPaysage, paysage, QRect(56, 130, 320, 240), true}}) {
            const QRect fermer = RectZoneHP(ZoneHP::Fermer, paysageOui);
            const QPoint coin = fermer.topLeft() + QPoint(5, paysageOui ? 60 : 32);
            // "Quit" in bold Tahoma 8 is less than 30 x 16 pixels.
            const QRect legende(coin, QSize(30, 16));
            const QRect autour = fermer.adjusted(-40, -40, 80, 80).intersected(apres.rect());
            const QRect bezel = ecran.adjusted(-12, -12, 12, 12);
            int changes = 0, ecartTotal = 0;
            for (int y = autour.top(); y <= autour.bottom(); ++y)
                for (int x = autour.left(); x <= autour.right(); ++x) {
                    const QRgb a = avant.pixel(x, y), b = apres.pixel(x, y);
                    if (a == b || fermer.contains(x, y))
                        continue;
                    ++changes;
                    ecartTotal += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                                  + std::abs(qBlue(a) - qBlue(b));
                    EXPECT_TRUE(legende.contains(x, y)) << nom << (paysageOui ? " landscape " : " portrait ") << x
                                                        << "," << y;
                    if (paysageOui) {
                        EXPECT_FALSE(bezel.contains(x, y)) << nom << " landscape " << x << "," << y;
                    }
                }
            ASSERT_GT(changes, 10) << nom;
            // On average the letters differ from the skin by far more than
            // the JPEG's own noise.
            EXPECT_GT(ecartTotal / changes, 120) << nom << (paysageOui ? " landscape" : " portrait");
        }
    }
}

// The open Start menu keeps its entries inside its panel, and in landscape
// (where the screen is shorter than the menu) every entry down to "Help" is
// there, the menu squeezed rather than cut off.
TEST(PreviewHP, StartMenuTextStaysInsideItsPanel)
{
    const TColor magenta = TColor::fromRgb(255, 0, 255);
    for (const bool paysage : {false, true}) {
        Apercu a(4);
        a.ctx->document.setCouleur(20, magenta);
        // A grey Start picture under the menu, a lighter Today picture beside it.
        for (const char *nom : {"/stwater_240_320.gif", "/stwater_320_240.gif"})
            gifecrit::ecritFichier(testenv::programDir() + QLatin1String(nom), 240, 320, qRgb(150, 150, 150));
        for (const char *nom : {"/tdywater_240_320.gif", "/tdywater_320_240.gif"})
            gifecrit::ecritFichier(testenv::programDir() + QLatin1String(nom), 320, 320, qRgb(220, 220, 220));
        a.ouvre();
        if (paysage)
            a.doubleClic(ZoneHP::Orientation);
        ASSERT_EQ(a.f->paysage(), paysage);
        a.doubleClic(ZoneHP::Start);
        const QImage e = a.f->ecran(paysage)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(e.isNull());
        // The panel's right edge: where the black line under the icon row
        // ends (it runs across the whole menu).
        int droite = 0;
        for (int y = 26; y < 70; ++y) {
            int x = 2;
            while (x < e.width() && qGray(e.pixel(x, y)) < 40 && qRed(e.pixel(x, y)) < 40)
                ++x;
            droite = qMax(droite, x);
        }
        ASSERT_GT(droite, 140) << paysage;
        ASSERT_LT(droite, 170) << paysage;
        // Text (even its antialiased edge) ends before the panel's frame.
        int dedans = 0, dehors = 0;
        for (int y = 26; y < e.height(); ++y)
            for (int x = 0; x < e.width(); ++x)
                if (testenv::proche(e.pixel(x, y), magenta, 110))
                    (x < droite - 1 ? dedans : dehors)++;
        EXPECT_GT(dedans, 200) << paysage;
        EXPECT_EQ(dehors, 0) << paysage;
        // The whole menu is there: its bottom frame line is inside the picture.
        int basCadre = -1;
        for (int y = e.height() - 1; y > 100 && basCadre < 0; --y) {
            int noirs = 0;
            for (int x = 2; x < droite - 2; ++x)
                noirs += qGray(e.pixel(x, y)) < 80;
            if (noirs >= droite - 6)
                basCadre = y;
        }
        EXPECT_GT(basCadre, 100) << paysage;
        // ... with its eleven entries, "Today" to "Help", however squeezed:
        // eleven bands of rows holding text.
        int entrees = 0;
        bool dansTexte = false;
        for (int y = 26; y < basCadre; ++y) {
            bool texte = false;
            for (int x = 0; x < droite && !texte; ++x)
                texte = testenv::proche(e.pixel(x, y), magenta, 110);
            entrees += texte && !dansTexte;
            dansTexte = texte;
        }
        EXPECT_EQ(entrees, 11) << paysage;
    }
}

// The filter chosen in the save dialog decides the type, whatever the name
// says; changing the filter renames the proposed file.
TEST(PreviewHP, CaptureTypeFollowsTheChosenFilter)
{
    Apercu a;
    a.ouvre();
    const QString dossier = a.dossiers.DossierSauveCapt;
    a.prompts.saveFileName(dossier + QStringLiteral("/sansext"));
    a.prompts.saveFilter(2); // JPEG
    a.prompts.saveFileName(dossier + QStringLiteral("/ecran.bmp"));
    a.prompts.saveFilter(4); // PNG
    a.prompts.saveFileName(dossier + QStringLiteral("/image.jpg"));
    a.prompts.saveFilter(3); // GIF
    for (int k = 0; k < 3; ++k)
        a.clicEcran();
    EXPECT_TRUE(a.prompts.exhausted());
    const struct { const char *nom; QByteArray format; } attendus[] = {
        {"/sansext.jpg", "jpeg"}, {"/ecran.png", "png"}, {"/image.gif", "gif"}};
    for (const auto &e : attendus) {
        QImageReader r(dossier + QLatin1String(e.nom));
        EXPECT_EQ(r.format(), e.format) << e.nom;
        EXPECT_EQ(r.size(), QSize(240, 320)) << e.nom;
    }
    EXPECT_FALSE(QFileInfo::exists(dossier + QStringLiteral("/sansext")));
    EXPECT_FALSE(QFileInfo::exists(dossier + QStringLiteral("/ecran.bmp")));

    // What the dialog does when the user picks another filter.
    ASSERT_EQ(a.prompts.fileDialogs.size(), 3);
    const auto &renomme = a.prompts.fileDialogs[0].nameForFilter;
    ASSERT_TRUE(bool(renomme));
    EXPECT_EQ(renomme(QStringLiteral("Capture00.bmp"), 2), QStringLiteral("Capture00.jpg"));
    EXPECT_EQ(renomme(QStringLiteral("Capture00.jpg"), 4), QStringLiteral("Capture00.png"));
    EXPECT_EQ(renomme(QStringLiteral("ecran"), 3), QStringLiteral("ecran.gif"));
    EXPECT_EQ(renomme(QStringLiteral("mes.photos/ecran"), 1), QStringLiteral("mes.photos/ecran.bmp"));
}

// The folder of the last capture is kept in the options file and is where
// the next run's first capture is proposed.
TEST(PreviewHP, CaptureFolderSurvivesARestart)
{
    const QString autre = testenv::tempDir() + QStringLiteral("/mes captures");
    QDir().mkpath(autre);
    {
        Apercu a;
        a.ouvre();
        a.prompts.saveFileName(autre + QStringLiteral("/Capture00.bmp"));
        a.prompts.saveFilter(1);
        a.clicEcran();
        EXPECT_EQ(a.ctx->dossiers.DossierSauveCapt, autre);
        OptionsOVD options;
        FormatImages format;
        FixeTailles(format, 3);
        QString erreur;
        ASSERT_TRUE(SauveOptions(FichierOptions(a.ctx->dossiers), options, format, a.ctx->dossiers, &erreur))
            << erreur.toStdString();
    }
    // The next run reads the options, then opens the preview.
    DossiersProgramme lus;
    lus.DossierAppli = testenv::programDir();
    OptionsOVD options;
    FormatImages format;
    LitOptions(FichierOptions(lus), options, format, lus);
    EXPECT_EQ(lus.DossierSauveCapt, autre);
    ScriptedPrompts prompts;
    AppContext ctx(lus, &prompts);
    TPreviewHP f(ctx);
    f.show();
    prompts.saveFileName(std::nullopt);
    QTest::mouseClick(f.ecran(false), Qt::LeftButton, {}, f.ecran(false)->rect().center());
    ASSERT_EQ(prompts.fileDialogs.size(), 1);
    EXPECT_EQ(prompts.fileDialogs[0].initialDir, autre);
}

// A working picture of more pixels than the program decodes (a 12000 x 12000
// PNG of a few kilobytes) is refused from its header, as every other reader
// of the program refuses it, and the screen shows white as for a missing
// picture; an ordinary picture put in its place shows again.
TEST(PreviewHP, AWorkingPictureTooLargeToDecodeIsTreatedAsMissing)
{
    // Once any picture has been read the program lets Qt decode up to 1 GiB:
    // only the pixel limit stands between this file and 576 MB.
    QImageReader::setAllocationLimit(1024);
    const QString tdy = testenv::programDir() + QStringLiteral("/tdywater.gif");
    Apercu a;
    const QByteArray geant = testenv::pngNoirGeant(12000, 12000);
    ASSERT_LT(geant.size(), 200 * 1024);
    testenv::writeFile(tdy, geant);
    {
        QImageReader lecteur(tdy);
        ASSERT_EQ(lecteur.size(), QSize(12000, 12000));
    }
    ErreurImage erreur{};
    EXPECT_FALSE(ChargerImage32(tdy, &erreur));
    EXPECT_EQ(erreur, ErreurImage::TropGrande);

    const QPoint o = GeometrieHP::EcranPortrait.topLeft();
    a.ouvre();
    QImage v = a.vue();
    // White below the Today rows, where the (black) picture would show.
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(200, 250)), qRgb(255, 255, 255), 0));
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(20, 280)), qRgb(255, 255, 255), 0));
    // The bars are drawn all the same.
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(0, 12)), kBarreHaut1, 12));
    a.f->close();

    // An ordinary picture under the same name shows at the next opening.
    gifecrit::ecritFichier(tdy, 640, 588, kFondToday);
    a.ouvre();
    v = a.vue();
    EXPECT_TRUE(testenv::proche(v.pixel(o + QPoint(200, 250)), kFondToday, 6));
}
