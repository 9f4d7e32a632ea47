// The device-screen preview on the real main window: the colour panels, the
// UseStartImage choice and the format redraw it; the working pictures show in
// the thumbnails with their dominant colours; the status bar's format texts;
// the hot zones, the dropper and the full-size picture preview.

#include "apercu/fenetre_preview.h"
#include "apercu/miniatures.h"
#include "apercu/vue_apercu_ecran.h"
#include "app/panneau_couleur.h"
#include "app/options_form.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/pixels.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFrame>
#include <QImageReader>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

// A point of the Today screen (Image1) in the preview panel.
QPoint ecran(int x, int y)
{
    return GeometrieApercu::EcranToday.topLeft() + QPoint(x, y);
}

// The preview as the user sees it.
QRgb pixel(TOrvandel &w, QPoint p)
{
    return w.apercu()->grab().toImage().pixel(p) | 0xFF000000u;
}

QRgb rvb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

void choisitFormat(Fenetre &f, int format)
{
    surFenetreModale([format](QWidget *d) {
        auto *fenetre = qobject_cast<TOptionsForm *>(d);
        ASSERT_TRUE(fenetre);
        QAbstractButton *b = fenetre->FormatImgRG->button(format);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
}

QColor couleurPanneau(QFrame *panneau)
{
    return panneau->palette().color(QPalette::Window);
}

} // namespace

TEST(MainWindowApercu, AColourPanelChangeRedrawsTheSlotWhereThePreviewDrawsIt)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(w.apercu());
    // Slot 5 draws the Today screen's separating lines, the first at y = 20.
    const QRgb nouvelle = rvb(0x12, 0x34, 0xE5);
    EXPECT_NE(pixel(w, ecran(120, 20)), nouvelle);

    f.prompts.color(TColor::fromRgb(0x12, 0x34, 0xE5));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel5"), Qt::LeftButton);
    EXPECT_EQ(pixel(w, ecran(120, 20)), nouvelle);
    EXPECT_EQ(pixel(w, ecran(5, 56)), nouvelle);
    EXPECT_EQ(pixel(w, ecran(239, 96)), nouvelle);
    EXPECT_EQ(w.apercu()->couleursTheme()[4], TColor::fromRgb(0x12, 0x34, 0xE5));
    // The dropper takes the chosen colour.
    EXPECT_EQ(f.trouve<PanneauCouleur>("Panel26")->couleur(), TColor::fromRgb(0x12, 0x34, 0xE5));

    // Slot 4 colours the texts: the date row changes, and so does the detail
    // when a text crosses it.
    f.prompts.color(TColor::fromRgb(0xF0, 0x10, 0x80));
    const QImage avant = w.apercu()->grab().toImage().copy(QRect(ecran(30, 4), QSize(150, 14)));
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel4"), Qt::LeftButton);
    const QImage apres = w.apercu()->grab().toImage().copy(QRect(ecran(30, 4), QSize(150, 14)));
    EXPECT_NE(avant, apres);
    bool texteRose = false;
    for (int y = 0; y < apres.height(); ++y)
        for (int x = 0; x < apres.width(); ++x)
            texteRose = texteRose || (apres.pixel(x, y) | 0xFF000000u) == rvb(0xF0, 0x10, 0x80);
    EXPECT_TRUE(texteRose);

    // Image9 shows the preview's detail as it is now.
    const QPixmap detail = f.trouve<QLabel>("Image9")->pixmap();
    ASSERT_FALSE(detail.isNull());
    EXPECT_EQ(detail.size(), QSize(48, 48));
    EXPECT_EQ(detail.toImage().convertToFormat(QImage::Format_ARGB32),
              w.apercu()->detail().convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, TheDropperPicksFromTheTodayScreenAndPaintsASlot)
{
    Fenetre f;
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 640, 588, rvb(200, 30, 40));
    TOrvandel &w = f.ouvre();
    auto *pipette = f.trouve<QToolButton>("PipetteSBtn");
    auto *panel26 = f.trouve<PanneauCouleur>("Panel26");
    ASSERT_TRUE(pipette && panel26);
    // Up, a press on the Today screen picks nothing.
    const TColor avant = panel26->couleur();
    QTest::mouseClick(w.apercu(), Qt::LeftButton, {}, ecran(120, 200));
    EXPECT_EQ(panel26->couleur(), avant);

    QTest::mouseClick(pipette, Qt::LeftButton);
    ASSERT_TRUE(pipette->isChecked());
    QTest::mouseClick(w.apercu(), Qt::LeftButton, {}, ecran(120, 200));
    EXPECT_EQ(panel26->couleur(), TColor::fromRgb(200, 30, 40));

    // With the dropper down a colour panel takes the dropper's colour; no
    // colour dialog is asked for.
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel5"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.slot(4).couleur, TColor::fromRgb(200, 30, 40));
    EXPECT_EQ(pixel(w, ecran(120, 20)), rvb(200, 30, 40));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, TheDropperColourPanelClosesTheStartMenuAndAsksForNoColourWhileTheDropperIsDown)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *pipette = f.trouve<QToolButton>("PipetteSBtn");
    auto *panel26 = f.trouve<PanneauCouleur>("Panel26");
    ASSERT_TRUE(pipette && panel26);
    const TColor avant = panel26->couleur();

    // Dropper down: a click keeps the dropper's colour, asks for no colour
    // (the scripted prompts would fail the test), and closes the Start menu.
    QTest::mouseClick(pipette, Qt::LeftButton);
    ASSERT_TRUE(pipette->isChecked());
    w.apercu()->basculeZone(3);
    ASSERT_EQ(w.apercu()->surimpression(), Surimpression::MenuDemarrer);
    QTest::mouseClick(panel26, Qt::LeftButton);
    EXPECT_EQ(w.apercu()->surimpression(), Surimpression::Aucune);
    EXPECT_EQ(panel26->couleur(), avant);
    EXPECT_TRUE(f.prompts.exhausted());

    // Dropper up: the colour dialog; a cancel changes nothing, a choice is
    // the dropper's new colour; the Start menu closes either way.
    QTest::mouseClick(pipette, Qt::LeftButton);
    ASSERT_FALSE(pipette->isChecked());
    w.apercu()->basculeZone(3);
    f.prompts.color(std::nullopt);
    QTest::mouseClick(panel26, Qt::LeftButton);
    EXPECT_EQ(panel26->couleur(), avant);
    EXPECT_EQ(w.apercu()->surimpression(), Surimpression::Aucune);
    f.prompts.color(TColor::fromRgb(10, 200, 30));
    QTest::mouseClick(panel26, Qt::LeftButton);
    EXPECT_EQ(panel26->couleur(), TColor::fromRgb(10, 200, 30));
    // No slot changed on the way.
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        EXPECT_NE(w.contexte().document.slot(i).couleur, TColor::fromRgb(10, 200, 30)) << i;
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, UseStartImageAndTheFormatRedrawTheBackground)
{
    Fenetre f;
    // Today: red on the left half, blue on the right; Start: green.
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 640, 588, rvb(255, 0, 0), rvb(0, 0, 255), 320);
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 399, 586, rvb(0, 160, 0));
    TOrvandel &w = f.ouvre();
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 3);
    // Format 3 shows the top-left 480 x 536 of the picture at half size.
    EXPECT_EQ(pixel(w, ecran(100, 200)), rvb(255, 0, 0));
    EXPECT_EQ(pixel(w, ecran(200, 200)), rvb(0, 0, 255));

    ParametresWM5 p = w.contexte().document.parametres();
    p.UseStartImageDefini = true;
    w.contexte().document.setParametres(p);
    EXPECT_EQ(pixel(w, ecran(100, 200)), rvb(0, 160, 0));
    p.UseStartImageDefini = false;
    w.contexte().document.setParametres(p);
    EXPECT_EQ(pixel(w, ecran(100, 200)), rvb(255, 0, 0));

    // Format 2 shows the picture's top-left 240 x 268 at 1:1: red only.
    choisitFormat(f, 2);
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 2);
    EXPECT_EQ(pixel(w, ecran(200, 200)), rvb(255, 0, 0));
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("Theme Format : (320x293 - 319x292)"));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, WorkingPicturesShowInTheThumbnailsWithTheirDominantColour)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    Miniatures *m = w.miniatures();
    ASSERT_TRUE(m);
    EXPECT_FALSE(f.trouve<QLabel>("MinTD")->isVisible());
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (---x--- - ---x---)"));

    // A picture tool saves the two pictures: red Today, grey Start.
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 100, 120, rvb(255, 0, 0));
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 50, 60, rvb(128, 128, 128));
    w.imagesEnregistrees();

    auto *minTD = f.trouve<QLabel>("MinTD");
    auto *panelTD = f.trouve<QFrame>("PanelTD");
    ASSERT_TRUE(minTD && panelTD);
    EXPECT_TRUE(minTD->isVisible());
    EXPECT_TRUE(panelTD->isVisible());
    EXPECT_EQ(m->couleurDominante(0), TColor::fromRgb(192, 0, 0));
    EXPECT_EQ(couleurPanneau(panelTD), QColor(192, 0, 0));
    const QImage vignette = minTD->grab().toImage();
    EXPECT_EQ(vignette.pixel(vignette.width() / 2, vignette.height() / 2) | 0xFF000000u, rvb(255, 0, 0));
    EXPECT_EQ(minTD->toolTip(), QStringLiteral("(Img : 100 - 120)\r\nClick here to see real Image Preview"));
    // A grey picture has no coloured pixel: no swatch.
    EXPECT_TRUE(f.trouve<QLabel>("MinST")->isVisible());
    EXPECT_FALSE(f.trouve<QFrame>("PanelST")->isVisible());
    EXPECT_FALSE(m->couleurDominante(1).has_value());
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (100x120 - 50x60)"));
    // The preview draws the new picture too.
    EXPECT_EQ(pixel(w, ecran(20, 45)), rvb(255, 0, 0));

    // The swatch puts its colour in the dropper.
    QTest::mouseClick(panelTD, Qt::LeftButton);
    EXPECT_EQ(f.trouve<PanneauCouleur>("Panel26")->couleur(), TColor::fromRgb(192, 0, 0));

    // The thumbnail shows the picture at full size; a click on it closes it.
    QSize vue;
    surFenetreModale([&](QWidget *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("PreviewForm"));
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Preview"));
        auto *fp = qobject_cast<FenetrePreview *>(d);
        ASSERT_TRUE(fp);
        vue = fp->imageAffichee().size();
        QTest::mouseClick(d->findChild<QLabel *>("Image"), Qt::LeftButton);
    });
    QTest::mouseClick(minTD, Qt::LeftButton);
    EXPECT_EQ(vue, QSize(100, 120));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, TheFormatDecidesTheLandscapeThumbnailsAndTheStatusTexts)
{
    Fenetre f;
    const QString d = f.dossiers.DossierAppli;
    gifecrit::ecritFichier(d + "tdywater_240_320.gif", 240, 320, rvb(255, 0, 0));
    gifecrit::ecritFichier(d + "stwater_240_320.gif", 240, 320, rvb(0, 200, 0));
    gifecrit::ecritFichier(d + "tdywater_320_240.gif", 320, 240, rvb(255, 0, 0));
    gifecrit::ecritFichier(d + "stwater_320_240.gif", 320, 240, rvb(0, 0, 255));
    TOrvandel &w = f.ouvre();
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("Theme Format : (640x588 - 399x586)"));
    EXPECT_FALSE(f.trouve<QLabel>("MinTDL")->isVisible());

    choisitFormat(f, 4);
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 4);
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("Theme Format :  QVGA Portrait + Landscape"));
    // The plain pictures became copies of the portrait pair.
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (240x320 - 240x320)"));
    EXPECT_TRUE(f.trouve<QLabel>("MinTDL")->isVisible());
    EXPECT_TRUE(f.trouve<QLabel>("MinSTL")->isVisible());
    EXPECT_EQ(couleurPanneau(f.trouve<QFrame>("PanelTDL")), QColor(192, 0, 0));
    EXPECT_TRUE(f.trouve<QFrame>("PanelTDL")->isVisible());
    // Pure blue counts as no hue: its swatch stays hidden.
    EXPECT_FALSE(f.trouve<QFrame>("PanelSTL")->isVisible());
    EXPECT_EQ(f.trouve<QLabel>("MinSTL")->toolTip(),
              QStringLiteral("(Img : 320 - 240)\r\nClick here to see real Image Preview"));

    choisitFormat(f, 5);
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("Theme Format :  VGA Portrait + Landscape"));
    // Format 5 has no pictures here: the plain ones are gone with it.
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Images Format : (---x--- - ---x---)"));
    EXPECT_FALSE(f.trouve<QLabel>("MinTDL")->isVisible());

    choisitFormat(f, 2);
    EXPECT_EQ(f.trouve<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("Theme Format : (320x293 - 319x292)"));
    EXPECT_FALSE(f.trouve<QLabel>("MinTDL")->isVisible());
    EXPECT_FALSE(f.trouve<QLabel>("MinSTL")->isVisible());
    EXPECT_FALSE(f.trouve<QFrame>("PanelTDL")->isVisible());
    EXPECT_FALSE(f.trouve<QFrame>("PanelSTL")->isVisible());
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowApercu, TheHotZonesAnswerClicksOnTheMainWindow)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    VueApercuEcran *v = w.apercu();
    const QPoint barre = GeometrieApercu::BarreNavigation.topLeft();
    // A point of the normal notification's title gradient.
    const QPoint titre = GeometrieApercu::MessageNormal.topLeft() + QPoint(100, 30);
    const QRgb fondNotification = pixel(w, titre);

    // Zone 1, twice: the normal notification shows, then hides.
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(190, 10));
    EXPECT_EQ(v->surimpression(), Surimpression::MessageNormal);
    EXPECT_NE(pixel(w, titre), fondNotification);
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(190, 10));
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);
    EXPECT_EQ(pixel(w, titre), fondNotification);

    // Zone 1 then zone 2: the critical notification replaces the normal one,
    // with its icon row on slot 7.
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(190, 10));
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(145, 10));
    EXPECT_EQ(v->surimpression(), Surimpression::MessageCritique);
    EXPECT_EQ(pixel(w, ecran(2, 2)), w.contexte().document.slot(6).couleur.toQRgb() | 0xFF000000u);

    // Zone 3: the Start menu; a press on the Today screen beside it closes it.
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(40, 10));
    EXPECT_EQ(v->surimpression(), Surimpression::MenuDemarrer);
    const QRect menu(v->images().positionSurimpression, v->images().surimpression.size());
    ASSERT_LT(menu.right(), GeometrieApercu::EcranToday.right());
    QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(GeometrieApercu::EcranToday.right() - 2, menu.center().y()));
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);

    // The right and bottom edges of a zone are outside it.
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(204, 10));
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(190, 18));
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);

    // A colour panel click closes the Start menu.
    QTest::mouseClick(v, Qt::LeftButton, {}, barre + QPoint(40, 10));
    ASSERT_EQ(v->surimpression(), Surimpression::MenuDemarrer);
    f.prompts.color(std::nullopt);
    QTest::mouseClick(f.trouve<PanneauCouleur>("Panel1"), Qt::LeftButton);
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);
    EXPECT_TRUE(f.prompts.exhausted());
}

// A save in the text tool shows in the main window's thumbnail and preview at
// once, while the tool is still open.
TEST(MainWindowApercu, TextToolSavesRefreshTheThumbnailsWhileItIsOpen)
{
    Fenetre f;
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 640, 588, rvb(255, 0, 0));
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 399, 586, rvb(255, 0, 0));
    f.ouvre();
    auto *minTD = f.trouve<QLabel>("MinTD");
    ASSERT_TRUE(minTD && minTD->isVisible());
    const QImage avant = minTD->grab().toImage();
    QImage pendant;
    surFenetreModale([&](QWidget *d) {
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        ASSERT_TRUE(edit);
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("WWWWWWWWWWWWWW"));
        f.prompts.answer(Prompts::Answer::Yes);
        QTest::mouseClick(d->findChild<QToolButton *>(QStringLiteral("SauverSBtn")), Qt::LeftButton, {}, QPoint(3, 3));
        pendant = minTD->grab().toImage();
        f.prompts.answer(Prompts::Answer::Yes); // quit without saving
        QTest::mouseClick(d->findChild<QToolButton *>(QStringLiteral("QuitterSBtn")), Qt::LeftButton, {}, QPoint(3, 3));
    });
    QTest::mouseClick(f.trouve<QToolButton>("AddTextSBtn"), Qt::LeftButton);
    ASSERT_FALSE(pendant.isNull());
    EXPECT_NE(pendant, avant);
    EXPECT_TRUE(f.prompts.exhausted());
}

// A working picture of more pixels than the program decodes (12000 x 12000,
// a few kilobytes of PNG) is refused from its header by the full-size
// preview as by its thumbnail: a click on the thumbnail opens nothing.
TEST(MainWindowApercu, APictureTooLargeToDecodeOpensNoFullSizePreview)
{
    QImageReader::setAllocationLimit(1024); // as the program has it once a picture is read
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", testenv::pngNoirGeant(12000, 12000));
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 50, 60, rvb(0, 0, 255));
    f.ouvre();
    QString ouverte;
    QTimer::singleShot(0, [&] {
        if (QWidget *d = QApplication::activeModalWidget()) {
            ouverte = d->objectName();
            d->close();
        }
    });
    QTest::mouseClick(f.trouve<QLabel>("MinTD"), Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_EQ(ouverte, QString());
    EXPECT_TRUE(f.prompts.messages.isEmpty());

    // The Start picture beside it opens as usual.
    QSize vue;
    surFenetreModale([&](QWidget *d) {
        auto *fp = qobject_cast<FenetrePreview *>(d);
        ASSERT_TRUE(fp);
        vue = fp->imageAffichee().size();
        d->close();
    });
    QTest::mouseClick(f.trouve<QLabel>("MinST"), Qt::LeftButton);
    EXPECT_EQ(vue, QSize(50, 60));
}
