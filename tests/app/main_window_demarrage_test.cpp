// The main window's start-up: the background is drawn once, at the size the
// window is shown at; the windows it does not show are made when first
// needed; and none of that changes what the window looks like. A picture
// save cut short is finished first.

#include "tests/support/fenetre_principale.h"
#include "tests/support/instantane_dossier.h"

#include "apercu/fond_fenetre.h"
#include "apercu/vue_apercu_ecran.h"
#include "app/memo_inf.h"
#include "app/options_form.h"
#include "theme/animation_pause.h"
#include "theme/fichier_couleurs.h"
#include "theme/image_et_copie.h"
#include "theme/ini_file.h"
#include "theme/theme_document.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

using fenetretest::Fenetre;

namespace {

PeintreFond *peintre(TOrvandel &w)
{
    return w.centralWidget()->findChild<PeintreFond *>(QStringLiteral("PeintreFond"));
}

// Shown, painted, and past its first idle pass; the preview's clock fixed
// so that two pictures of the window can be compared.
void montreEtAttend(TOrvandel &w)
{
    w.apercu()->setHorloge([] { return QDateTime(QDate(2009, 4, 29), QTime(14, 46)); });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(!w.verifFormatEnAttente());
    QCoreApplication::processEvents();
}

QImage vue(TOrvandel &w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(MainWindowDemarrage, TheBackgroundIsDrawnOnceAtTheSizeTheWindowIsShownAt)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(peintre(w));
    // Nothing drawn while the window was being made.
    EXPECT_FALSE(peintre(w)->aJour());
    EXPECT_EQ(peintre(w)->nombreDessins(), 0);
    montreEtAttend(w);

    EXPECT_EQ(peintre(w)->nombreDessins(), 1);
    const QWidget *centre = w.centralWidget();
    const int barre = w.statusBar()->isHidden() ? 0 : w.statusBar()->height();
    EXPECT_EQ(peintre(w)->image().size(), QSize(centre->width(), centre->height() + barre));
    // The window's copy is the picture drawn.
    EXPECT_EQ(w.contexte().apparence.BmpFond, peintre(w)->image());
    // Painting again draws nothing new.
    w.repaint();
    EXPECT_EQ(peintre(w)->nombreDessins(), 1);
}

TEST(MainWindowDemarrage, WindowsNotShownAreMadeWhenFirstNeeded)
{
    Fenetre f;
    // A format other than the default, kept in the options file.
    IniFile ini;
    ini.writeInteger(QStringLiteral("Options"), QStringLiteral("DefautFmtTsk"), 2);
    ASSERT_TRUE(ini.save(testenv::programDir() + QStringLiteral("/OptionsOVD.ini")));
    TOrvandel &w = f.ouvre();
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 2);
    EXPECT_EQ(w.findChild<TMemoInf *>(), nullptr);
    EXPECT_EQ(w.findChild<TOptionsForm *>(), nullptr);

    // Made once, then kept; the size options window starts on the format in force.
    TOptionsForm *options = w.optionsForm();
    ASSERT_TRUE(options);
    EXPECT_EQ(w.optionsForm(), options);
    EXPECT_EQ(options->indexSauve(), 2);
    EXPECT_EQ(options->parentWidget(), &w);
    TMemoInf *memo = w.memoInf();
    ASSERT_TRUE(memo);
    EXPECT_EQ(w.memoInf(), memo);
    EXPECT_EQ(w.findChildren<TMemoInf *>().size(), 1);
    EXPECT_FALSE(memo->isVisible());
}

// What the window shows after its start-up is what it shows once everything
// it put off is done: the background drawn again from the options, the
// windows it did not show made.
TEST(MainWindowDemarrage, TheStartUpShowsTheSameWindow)
{
    QApplication::setCursorFlashTime(0); // no blinking cursor between two pictures
    Fenetre f;
    TOrvandel &w = f.ouvre();
    // The dots play on a timer: held still, so that both pictures show the same frame.
    AnimationPauseGuard pause(&w.contexte().animation);
    montreEtAttend(w);
    const QImage avant = vue(w);
    ASSERT_FALSE(avant.isNull());

    w.optionsForm();
    w.memoInf();
    const int dessins = peintre(w)->nombreDessins();
    w.GradientRGClick(); // applies the look again: the background is drawn anew
    EXPECT_EQ(peintre(w)->nombreDessins(), dessins + 1);
    QCoreApplication::processEvents();
    const QImage apres = vue(w);
    ASSERT_EQ(apres.size(), avant.size());
    int differents = 0;
    for (int y = 0; y < avant.height(); ++y)
        for (int x = 0; x < avant.width(); ++x)
            differents += avant.pixel(x, y) != apres.pixel(x, y);
    EXPECT_EQ(differents, 0);
    QApplication::setCursorFlashTime(1000);
}

// The start-up changes the document many times (options, format, colours):
// the preview is drawn once for all of them, and what it shows is what it
// shows when drawn again; later changes draw it at once, as before.
TEST(MainWindowDemarrage, ThePreviewIsDrawnOnceDuringTheStartUp)
{
    Fenetre f;
    // A working colour set unlike the defaults in every slot, and a format
    // other than the default: the start-up changes the document many times.
    ThemeDocument sauve;
    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs{};
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        couleurs[i] = TColor::fromRgb(11 * i + 3, 250 - 9 * i, (37 * i) % 256);
        sauve.setCouleur(i, couleurs[i]);
    }
    ASSERT_TRUE(SauveCouleurs(sauve, f.dossiers.FichierCouleurs, true));
    IniFile ini;
    ini.writeInteger(QStringLiteral("Options"), QStringLiteral("DefautFmtTsk"), 2);
    ASSERT_TRUE(ini.save(testenv::programDir() + QStringLiteral("/OptionsOVD.ini")));

    TOrvandel &w = f.ouvre();
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 2);
    VueApercuEcran *apercu = w.apercu();
    ASSERT_TRUE(apercu);
    EXPECT_EQ(apercu->nombreDessins(), 1);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        EXPECT_EQ(apercu->couleursTheme()[i], couleurs[i]) << i;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(!w.verifFormatEnAttente());
    QCoreApplication::processEvents();
    EXPECT_EQ(apercu->nombreDessins(), 1);

    // The detail beside it came from that drawing.
    const auto *image9 = w.findChild<QLabel *>(QStringLiteral("Image9"));
    ASSERT_TRUE(image9);
    EXPECT_EQ(image9->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              apercu->detail().convertToFormat(QImage::Format_RGB32));

    // It drew the colours the start-up loaded: the same as a drawing now.
    const QImage premier = apercu->imageApercu();
    apercu->AffImage();
    EXPECT_EQ(apercu->nombreDessins(), 2);
    EXPECT_EQ(apercu->imageApercu(), premier);

    // A colour changed after the start-up is drawn at once, and reaches the detail.
    w.contexte().document.setCouleur(0, TColor::fromRgb(0x12, 0x34, 0x56));
    EXPECT_GE(apercu->nombreDessins(), 3);
    EXPECT_EQ(apercu->couleursTheme()[0], TColor::fromRgb(0x12, 0x34, 0x56));
    EXPECT_NE(apercu->imageApercu(), premier);
}

// Held back, the preview marks what is asked and draws once when let
// through; the pictures read meanwhile are drawn from the current state.
TEST(MainWindowDemarrage, APreviewHeldBackDrawsOnceWhenLetThrough)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    VueApercuEcran *apercu = w.apercu();
    const int avant = apercu->nombreDessins();
    QSignalSpy redessine(apercu, &VueApercuEcran::apercuRedessine);
    apercu->suspendDessins();
    apercu->suspendDessins();
    for (int i = 0; i < 5; ++i)
        apercu->AffImage();
    apercu->reprendDessins();
    EXPECT_EQ(apercu->nombreDessins(), avant);
    apercu->reprendDessins();
    EXPECT_EQ(apercu->nombreDessins(), avant + 1);
    EXPECT_EQ(redessine.count(), 1);
    // Nothing asked: letting through draws nothing.
    apercu->suspendDessins();
    apercu->reprendDessins();
    apercu->reprendDessins(); // one too many is harmless
    EXPECT_EQ(apercu->nombreDessins(), avant + 1);

    // Read while held back: the pictures follow the document.
    apercu->suspendDessins();
    w.contexte().document.setCouleur(3, TColor::fromRgb(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(apercu->nombreDessins(), avant + 1);
    EXPECT_EQ(apercu->couleursTheme()[3], TColor::fromRgb(0xAB, 0xCD, 0xEF));
    EXPECT_EQ(apercu->nombreDessins(), avant + 2);
    EXPECT_EQ(redessine.count(), 1);
    // Already drawn: nothing more to draw, but the drawing (and its detail)
    // is announced now.
    QSignalSpy detail(apercu, &VueApercuEcran::detailChange);
    apercu->reprendDessins();
    EXPECT_EQ(apercu->nombreDessins(), avant + 2);
    EXPECT_EQ(redessine.count(), 2);
    ASSERT_EQ(detail.count(), 1);
    EXPECT_EQ(detail.at(0).at(0).value<QImage>(), apercu->detail());
}

// A save killed between a portrait picture and its plain copy: the window's
// start makes the copy the picture saved before anything reads it.
TEST(MainWindowDemarrage, APictureAndItsCopyCutApartAreMadeOneAgainAtTheStart)
{
    const QString dossier = testenv::programDir();
    const QString portrait = QDir(dossier).filePath(QStringLiteral("tdywater_240_320.gif"));
    const QString simple = QDir(dossier).filePath(QStringLiteral("tdywater.gif"));
    QImage ancienne(240, 294, QImage::Format_RGB32), nouvelle(240, 294, QImage::Format_RGB32);
    ancienne.fill(qRgb(200, 30, 30));
    nouvelle.fill(qRgb(30, 30, 200));
    const auto enPng = [](const QImage &im) {
        QByteArray o;
        QBuffer b(&o);
        b.open(QIODevice::WriteOnly);
        im.save(&b, "PNG");
        return o;
    };
    testenv::writeFile(portrait, enPng(ancienne));
    testenv::writeFile(simple, enPng(ancienne));
    ASSERT_TRUE(testenv::executeJusquAuKill([&] {
        EcritImageEtCopie(dossier, QStringLiteral("tdywater_240_320.gif"), enPng(nouvelle),
                          QStringLiteral("tdywater.gif"), nullptr, [] { ::raise(SIGKILL); });
    }));
    ASSERT_EQ(testenv::readFile(simple), enPng(ancienne));

    Fenetre f;
    f.ouvre();
    EXPECT_EQ(testenv::readFile(simple), enPng(nouvelle));
    EXPECT_EQ(testenv::readFile(portrait), enPng(nouvelle));
    EXPECT_FALSE(QFileInfo::exists(QDir(dossier).filePath(NomNoteCopie(QStringLiteral("tdywater.gif")))));
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join(',').toStdString();
}
