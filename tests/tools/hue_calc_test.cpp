// The hue calculator driven through its widgets: picks by mouse, Ctrl, wheel
// and buttons, the opening from a stored BaseHue, what Validate and every
// other close leave in the theme, the histogram window's hand-over, and the
// live preview on a simulated device (written on each pick, put back on close).

#include "device/etat_pda.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/animation_pause.h"
#include "tools/histo_teinte.h"
#include "tools/hls.h"
#include "tools/hue_calc.h"
#include "tools/restauration_pda.h"
#include "tools/sauvegarde_pda.h"
#include "tools/teintes_images.h"
#include "tests/support/devsim_support.h"
#include "tests/support/etat_appareil.h"
#include "tests/support/pixels.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/tube_surveille.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

struct Calc
{
    ThemeDocument doc;
    TeintesImages teintes;
    ScriptedPrompts prompts;
    SourcesHueCalc sources;
    std::unique_ptr<THueCalc> f;

    Calc()
    {
        sources.teintes = &teintes;
        sources.dossierAppli = testenv::programDir();
        sources.dossierTravail = testenv::tempDir();
    }
    THueCalc &ouvre()
    {
        f = std::make_unique<THueCalc>(doc, sources, prompts);
        f->show();
        return *f;
    }
    template <class T> T *w(const char *nom) { return f->findChild<T *>(QLatin1String(nom)); }
    QString panneau(int k) { return w<QLabel>(QStringLiteral("Panel%1").arg(k).toLatin1())->text(); }
    void souris(QEvent::Type t, QPoint p, Qt::MouseButtons b, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QMouseEvent e(t, p, f->echellesImg()->mapToGlobal(p), t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      b, m);
        QApplication::sendEvent(f->echellesImg(), &e);
    }
    void molette(QPoint p, int delta, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QWheelEvent e(p, f->echellesImg()->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(f->echellesImg(), &e);
    }
};

// A mouse event on the histogram picture at (x, 100).
void envoie(QWidget *w, QEvent::Type t, int x)
{
    const QPointF p(x, 100);
    const bool bouton = t != QEvent::MouseMove;
    const Qt::MouseButtons tenus = t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick
                                       ? Qt::MouseButtons(Qt::LeftButton)
                                       : Qt::MouseButtons(Qt::NoButton);
    QMouseEvent e(t, p, w->mapToGlobal(p), bouton ? Qt::LeftButton : Qt::NoButton, tenus, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(HueCalc, OpensOnTheStoredBaseHueAndDpi)
{
    Calc c;
    ParametresWM5 p;
    p.BaseHueDefini = true;
    p.ValBaseHue = 0x1C8;
    p.DPIDefini = true;
    p.ValDPI = 120; // not in the list
    c.doc.setParametres(p);
    THueCalc &f = c.ouvre();
    EXPECT_EQ(f.hueK(), 456);
    EXPECT_EQ(f.derniereTeinte(), 200);
    EXPECT_EQ(c.w<QLabel>("BaseHueLbl")->text(), QStringLiteral("456(d) <=> 01C8(h)"));
    EXPECT_EQ(c.w<QLabel>("BHExisteLbl")->text(), QStringLiteral("BaseHue in TSK : 456"));
    EXPECT_EQ(c.w<QLabel>("DPIExisteLbl")->text(), QStringLiteral("DPI in TSK : 120"));
    EXPECT_EQ(c.w<QComboBox>("ComboBox1")->currentText(), QStringLiteral("192"));
    EXPECT_TRUE(c.w<QCheckBox>("BaseHueCB")->isChecked());
    // The marker under the scales stands at hue 200, red for a coloured BaseHue.
    const QImage vue = f.grab().toImage();
    EXPECT_EQ(vue.pixelColor(48 + 20 + 200, 109), QColor(Qt::red));
    EXPECT_NE(vue.pixelColor(48 + 20 + 199, 109), QColor(Qt::red));

    // A stored hue past 239 folds back on the lower strip.
    Calc d;
    p.ValBaseHue = 0x0F5;
    d.doc.setParametres(p);
    EXPECT_EQ(d.ouvre().hueK(), 206);
}

TEST(HueCalc, MousePicksFollowTheStripsAndIgnorePointsOutside)
{
    Calc c;
    THueCalc &f = c.ouvre();
    // Moving without a button or Ctrl does nothing.
    c.souris(QEvent::MouseMove, {100, 40}, Qt::NoButton);
    EXPECT_EQ(f.derniereTeinte(), 0);

    c.souris(QEvent::MouseButtonPress, {20, 70}, Qt::LeftButton);
    c.souris(QEvent::MouseButtonRelease, {20, 70}, Qt::NoButton);
    EXPECT_EQ(f.hueK(), 0);
    EXPECT_EQ(c.panneau(0), QStringLiteral("HueK = 000"));

    c.souris(QEvent::MouseButtonPress, {30, 40}, Qt::LeftButton);
    c.souris(QEvent::MouseMove, {259, 40}, Qt::LeftButton);
    EXPECT_EQ(f.hueK(), 495);
    c.souris(QEvent::MouseMove, {260, 40}, Qt::LeftButton);
    c.souris(QEvent::MouseMove, {100, 96}, Qt::LeftButton);
    EXPECT_EQ(f.hueK(), 495);
    EXPECT_EQ(f.derniereTeinte(), 239);
    c.souris(QEvent::MouseButtonRelease, {100, 96}, Qt::NoButton);

    // Ctrl alone follows the mouse too.
    c.souris(QEvent::MouseMove, {20 + 140, 80}, Qt::NoButton, Qt::ControlModifier);
    EXPECT_EQ(f.hueK(), 140);
    EXPECT_EQ(f.couleurChoisie(), TColor::fromRgb(112, 112, 112)); // grey of (43, 128, 213)
    EXPECT_EQ(c.panneau(6), QStringLiteral("Grey = 112"));
}

TEST(HueCalc, StatusAndColoursOfAColouredPick)
{
    Calc c;
    THueCalc &f = c.ouvre();
    f.placeEtChoisit(140, 35);
    EXPECT_EQ(f.hueK(), 396);
    EXPECT_EQ(f.couleurChoisie(), TColor::fromRgb(43, 128, 213));
    EXPECT_EQ(f.couleurCompagne(), ColorAdjustLuma(TColor::fromRgb(43, 128, 213), 90));
    const QStringList attendus{"HueK = 396", "Hue = 140   (0 - 240)", QStringLiteral("Angle = 210\u00B0"),
                               "R = 043",    "G = 128",               "B = 213", "Grey = 112"};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(c.panneau(k), attendus[k]) << k;
    // The bars run from the chosen colour at the edges to the companion in the middle.
    EXPECT_TRUE(testenv::proche(f.barreHaut().pixel(0, 12), TColor::fromRgb(43, 128, 213), 2));
    EXPECT_TRUE(testenv::proche(f.barreHaut().pixel(120, 12), f.couleurCompagne(), 2));
    EXPECT_TRUE(testenv::proche(f.barreHaut().pixel(120, 25), ColorAdjustLuma(f.couleurCompagne(), 45), 2));
    EXPECT_TRUE(testenv::proche(f.barreBas().pixel(239, 20), TColor::fromRgb(43, 128, 213), 2));
    EXPECT_TRUE(testenv::proche(f.barreBas().pixel(120, 0), ColorAdjustLuma(f.couleurCompagne(), 45), 2));
}

TEST(HueCalc, TheWheelStepsAndWrapsToTheEnds)
{
    Calc c;
    THueCalc &f = c.ouvre();
    c.molette({50, 70}, 120);
    EXPECT_EQ(f.derniereTeinte(), 239);
    EXPECT_EQ(f.hueK(), 239);
    c.molette({50, 40}, -120);
    EXPECT_EQ(f.hueK(), 256);
    f.placeEtChoisit(235, 40);
    c.molette({50, 40}, -120, Qt::ShiftModifier);
    EXPECT_EQ(f.derniereTeinte(), 0);
    c.molette({50, 40}, -120, Qt::ShiftModifier);
    EXPECT_EQ(f.derniereTeinte(), 10);
    c.molette({5, 40}, -120); // outside the scales
    EXPECT_EQ(f.derniereTeinte(), 10);
}

TEST(HueCalc, OnlyValidateChangesTheTheme)
{
    Calc c;
    c.doc.setCouleur(0, TColor::fromRgb(1, 2, 3));
    const ParametresWM5 avant = c.doc.parametres();
    QSignalSpy spy(&c.doc, &ThemeDocument::parametresChanged);

    // Cancel, Esc and the close box, each after a pick with both keys asked for.
    for (int k = 0; k < 3; ++k) {
        QTimer::singleShot(0, [k] {
            auto *f = qobject_cast<THueCalc *>(QApplication::activeModalWidget());
            ASSERT_NE(f, nullptr);
            f->placeEtChoisit(50, 35);
            f->findChild<QCheckBox *>("BaseHueCB")->setChecked(true);
            f->findChild<QCheckBox *>("DPICb")->setChecked(true);
            if (k == 0)
                f->findChild<QPushButton *>("AnnulerBtn")->click();
            else if (k == 1)
                QTest::keyClick(f, Qt::Key_Escape);
            else
                f->close();
        });
        EXPECT_EQ(OuvreHueCalc(c.doc, c.prompts, c.sources), QDialog::Rejected);
    }
    EXPECT_EQ(c.doc.parametres(), avant);
    EXPECT_EQ(spy.count(), 0);

    // Validate without pointing: the opening pick counts (hue 0, lower strip).
    AnimationPause animation;
    QTimer::singleShot(0, [] {
        auto *f = QApplication::activeModalWidget();
        f->findChild<QCheckBox *>("BaseHueCB")->setChecked(true);
        f->findChild<QCheckBox *>("DPICb")->setChecked(true);
        f->findChild<QComboBox *>("ComboBox1")->setCurrentIndex(1);
        f->findChild<QCheckBox *>("PipetteCB")->setChecked(true);
        f->findChild<QPushButton *>("ValiderBtn")->click();
    });
    std::optional<TColor> pipette;
    EXPECT_EQ(OuvreHueCalc(c.doc, c.prompts, c.sources, &animation, nullptr, &pipette), QDialog::Accepted);
    EXPECT_FALSE(animation.isPaused());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(c.doc.parametres().BaseHueDefini);
    EXPECT_EQ(c.doc.parametres().ValBaseHue, 0);
    EXPECT_TRUE(c.doc.parametres().DPIDefini);
    EXPECT_EQ(c.doc.parametres().ValDPI, 96);
    ASSERT_TRUE(pipette);
    const int g = NiveauGris(ColorHLSToRGB(0, 120, 160));
    EXPECT_EQ(*pipette, TColor::fromRgb(g, g, g));
}

TEST(HueCalc, DominantHueButtonsAndTheHistogramHandOver)
{
    Calc c;
    c.teintes.PicImage = {5, 0, 0, 0};
    c.teintes.TeinteImage = {30, 90, 0, 0};
    c.teintes.HistoImages[0][30] = 5;
    c.sources.miniatureTD = QImage(64, 80, QImage::Format_ARGB32);
    c.sources.miniatureST = QImage(64, 80, QImage::Format_ARGB32); // no coloured pixel
    THueCalc &f = c.ouvre();
    EXPECT_TRUE(c.w<QToolButton>("OKTDBtn")->isEnabled());
    EXPECT_FALSE(c.w<QToolButton>("OKSTBtn")->isEnabled());
    EXPECT_FALSE(c.w<QToolButton>("HistoTDSTSBtn")->isEnabled());
    EXPECT_EQ(c.w<QLabel>("MaxHueLblTD")->text(), QStringLiteral("Today : 30 ->"));
    c.w<QToolButton>("OKTDBtn")->click();
    EXPECT_EQ(f.hueK(), 286);

    // Hovering the histogram moves the calculator; Esc puts it back.
    f.placeEtChoisit(7, 70);
    QString titre;
    QTimer::singleShot(0, [&] {
        auto *h = qobject_cast<THistoTeinte *>(QApplication::activeModalWidget());
        ASSERT_NE(h, nullptr);
        titre = h->windowTitle();
        envoie(h->imageHisto(), QEvent::MouseMove, 15 + 50);
        EXPECT_EQ(f.hueK(), 306);
        QTest::keyClick(h, Qt::Key_Escape);
    });
    c.w<QToolButton>("HistoTDSBtn")->click();
    EXPECT_EQ(titre, QStringLiteral("Hues in Today Image"));
    EXPECT_EQ(f.hueK(), 7);
    EXPECT_EQ(f.derniereTeinte(), 7);

    // A double-click keeps the hovered hue.
    QTimer::singleShot(0, [&] {
        auto *h = qobject_cast<THistoTeinte *>(QApplication::activeModalWidget());
        ASSERT_NE(h, nullptr);
        envoie(h->imageHisto(), QEvent::MouseMove, 15 + 60);
        envoie(h->imageHisto(), QEvent::MouseButtonPress, 15 + 60);
        envoie(h->imageHisto(), QEvent::MouseButtonRelease, 15 + 60);
        envoie(h->imageHisto(), QEvent::MouseButtonDblClick, 15 + 60);
        envoie(h->imageHisto(), QEvent::MouseButtonRelease, 15 + 60);
    });
    c.w<QToolButton>("HistoTDSBtn")->click();
    EXPECT_EQ(f.hueK(), 316);
    EXPECT_EQ(f.derniereTeinte(), 60);
}

TEST(HueCalc, HistogramCaptionCountsTheLandscapePicturesOfTheFormat)
{
    Calc c;
    c.teintes.PicImage = {5, 5, 0, 0};
    c.sources.miniatureTD = c.sources.miniatureST = QImage(64, 80, QImage::Format_ARGB32);
    c.sources.format = 4;
    testenv::writeFile(testenv::programDir() + "/tdywater_320_240.gif", "GIF89a");
    testenv::writeFile(testenv::programDir() + "/stwater_320_240.gif", "GIF89a");
    c.ouvre();
    QString titre;
    QTimer::singleShot(0, [&] {
        auto *h = QApplication::activeModalWidget();
        ASSERT_NE(h, nullptr);
        titre = h->windowTitle();
        h->close();
    });
    c.w<QToolButton>("HistoTDSTSBtn")->click();
    EXPECT_EQ(titre, QStringLiteral("Hues in 4 images"));
}

TEST(HueCalc, WithoutADeviceTheLivePreviewIsNotOffered)
{
    Calc c;
    c.ouvre();
    EXPECT_FALSE(c.w<QWidget>("VoirSurPDAPnl")->isVisible());
    EXPECT_FALSE(c.w<QCheckBox>("ActifSurPDACb")->isEnabled());

    // A device library without a connection: the same.
    EtatPDA pda(devsimtest::cheminSimulateur());
    c.sources.pda = &pda;
    c.ouvre();
    EXPECT_FALSE(c.w<QWidget>("VoirSurPDAPnl")->isVisible());
    EXPECT_FALSE(c.w<QCheckBox>("ActifSurPDACb")->isEnabled());
}

namespace {

// A plugged simulated device holding its own Today picture and no Start picture.
struct Appareil
{
    devsimtest::Controle ctl;
    QByteArray dir;
    EtatPDA pda{devsimtest::cheminSimulateur()};

    // lecturesEnPanneApres: the device's file reads fail after that many bytes.
    explicit Appareil(const char *lecturesEnPanneApres = nullptr)
    {
        dir = devsimtest::nouvelAppareil(ctl);
        if (lecturesEnPanneApres) {
            EXPECT_EQ(ctl.OvdSimSetOption(dir.constData(), "Faults", "ReadFailsAfter", lecturesEnPanneApres), 0);
        }
        EXPECT_EQ(ctl.OvdSimPlug(dir.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
        pda.PDAConnecte = pda.Rapi.ConnecteCE(5000);
        EXPECT_TRUE(pda.PDAConnecte);
        testenv::writeFile(fichier("tdywater.gif"), "DEVICE-TODAY");
    }
    ~Appareil()
    {
        if (pda.PDAConnecte)
            pda.Rapi.DeconnecteCE();
    }
    QString fichier(const char *nom) { return QString::fromLocal8Bit(dir) + "/fs/Windows/" + nom; }
    devsimtest::EtatAppareil etat(const QByteArray &d = {})
    {
        return devsimtest::litEtatAppareil(QString::fromLocal8Bit(d.isEmpty() ? dir : d));
    }
    // The cable pulled, as the main window reports it to the calculator.
    void debranche(THueCalc &f, const QByteArray &d = {})
    {
        EXPECT_GE(ctl.OvdSimUnplug((d.isEmpty() ? dir : d).constData()), 0);
        pda.Rapi.DeconnecteCE();
        pda.PDAConnecte = false;
        f.ConnexionChangee();
    }
    // The device in folder d (this one by default) plugged in and connected.
    void branche(THueCalc &f, const QByteArray &d = {})
    {
        const QByteArray qui = d.isEmpty() ? dir : d;
        EXPECT_EQ(ctl.OvdSimAttach(qui.constData()), 0);
        EXPECT_GE(ctl.OvdSimPlug(qui.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
        pda.PDAConnecte = pda.Rapi.ConnecteCE(5000);
        EXPECT_TRUE(pda.PDAConnecte);
        f.ConnexionChangee();
    }
    int baseHue()
    {
        EtatCouleursCE etat;
        int bh = -2, dpi = -2, usi = -2;
        LitCouleursCE(pda.Rapi, etat, bh, dpi, usi);
        return bh;
    }
};

} // namespace

TEST(HueCalc, LivePreviewWritesEachPickAndPutsTheDeviceBackOnClose)
{
    Appareil a;
    ASSERT_EQ(a.baseHue(), 0x1A0);
    Calc c;
    c.sources.pda = &a.pda;
    c.doc.setInclus(0, true);
    c.doc.setCouleur(0, TColor::fromRgb(0x11, 0x22, 0x33));
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", "OUR-TODAY");
    testenv::writeFile(testenv::programDir() + "/stwater.gif", "OUR-START");
    THueCalc &f = c.ouvre();
    ASSERT_TRUE(c.w<QWidget>("VoirSurPDAPnl")->isVisible());
    ASSERT_TRUE(f.lectureAppareil());

    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "OUR-TODAY");
    EXPECT_EQ(testenv::readFile(a.fichier("stwater.gif")), "OUR-START");
    EXPECT_EQ(testenv::readFile(testenv::tempDir() + "/SauveTDPDA.gif"), "DEVICE-TODAY");
    EXPECT_EQ(a.baseHue(), 0); // the opening pick, written again

    f.placeEtChoisit(100, 35);
    // Picks in quick succession are coalesced; the last one always arrives.
    f.placeEtChoisit(101, 35);
    QTRY_COMPARE(a.baseHue(), 357);

    f.reject();
    EXPECT_EQ(a.baseHue(), 0x1A0);
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "DEVICE-TODAY");
    EXPECT_FALSE(QFile::exists(a.fichier("stwater.gif"))); // the device had none
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/SauveTDPDA.gif"));
    EXPECT_FALSE(c.doc.parametres().BaseHueDefini);
    EXPECT_TRUE(c.prompts.messages.isEmpty());
}

TEST(HueCalc, WithoutRestoreTheDeviceKeepsThePreview)
{
    Appareil a;
    Calc c;
    c.sources.pda = &a.pda;
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", "OUR-TODAY");
    THueCalc &f = c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    f.placeEtChoisit(20, 70);
    c.w<QCheckBox>("RestaurerCB")->click();
    ASSERT_FALSE(c.w<QCheckBox>("RestaurerCB")->isChecked());
    c.w<QCheckBox>("ActifSurPDACb")->click(); // unchecked
    EXPECT_EQ(a.baseHue(), 20);
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "OUR-TODAY");
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/SauveTDPDA.gif"));
    // Further picks no longer reach the device.
    f.placeEtChoisit(30, 70);
    EXPECT_EQ(a.baseHue(), 20);
}

TEST(HueCalc, ADevicePictureThatCannotBeSavedIsNeverReplaced)
{
    Appareil a("0");
    Calc c;
    c.sources.pda = &a.pda;
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", "OUR-TODAY");
    testenv::writeFile(testenv::programDir() + "/stwater.gif", "OUR-START");
    c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "DEVICE-TODAY");
    EXPECT_EQ(testenv::readFile(a.fichier("stwater.gif")), "OUR-START");
    c.f->close();
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "DEVICE-TODAY");
    EXPECT_FALSE(QFile::exists(a.fichier("stwater.gif")));
    EXPECT_EQ(a.baseHue(), 0x1A0);
}

// The DPI is chosen from the list only: no key changes it (arrows, digits,
// Home/End, page keys), the list still does; the window keeps its width of
// 517; the histogram buttons show their pictures, not texts.
TEST(HueCalc, DpiListIgnoresKeysAndHistogramButtonsShowPictures)
{
    Calc c;
    c.teintes.PicImage[0] = c.teintes.PicImage[1] = 10;
    c.sources.miniatureTD = c.sources.miniatureST = QImage(20, 20, QImage::Format_ARGB32);
    THueCalc &f = c.ouvre();
    EXPECT_EQ(f.width(), 517);
    auto *dpi = c.w<QComboBox>("ComboBox1");
    dpi->setFocus();
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown,
                      Qt::Key_4, Qt::Key_9, Qt::Key_1})
        QTest::keyClick(dpi, k);
    QTest::keyClicks(dpi, QStringLiteral("48"));
    EXPECT_EQ(dpi->currentText(), QStringLiteral("192"));
    dpi->setCurrentIndex(1);
    EXPECT_EQ(dpi->currentText(), QStringLiteral("96"));
    QTest::keyClick(dpi, Qt::Key_Down);
    EXPECT_EQ(dpi->currentText(), QStringLiteral("96"));

    for (const char *nom : {"HistoTDSBtn", "HistoSTSBtn", "HistoTDSTSBtn"}) {
        auto *b = c.w<QToolButton>(nom);
        ASSERT_TRUE(b->isEnabled()) << nom;
        EXPECT_TRUE(b->text().isEmpty()) << nom;
        EXPECT_FALSE(b->icon().isNull()) << nom;
        // The picture's coloured hue bars are drawn on the button.
        const QImage vue = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int vives = 0;
        for (int y = 0; y < vue.height(); ++y)
            for (int x = 0; x < vue.width(); ++x) {
                const QColor p = vue.pixelColor(x, y);
                vives += p.hsvSaturation() > 150 && p.value() > 150;
            }
        EXPECT_GT(vives, 30) << nom;
    }
    // The two that differ show different pictures.
    EXPECT_NE(c.w<QToolButton>("HistoTDSBtn")->grab().toImage(), c.w<QToolButton>("HistoSTSBtn")->grab().toImage());
}

namespace {

// A theme whose preview changes a colour the device holds as a DWORD (slot
// 13, value "25"), adds one it does not hold (slot 21, value "40") and
// deletes its DPI; our two pictures stand in the program folder.
void themeApercu(Calc &c)
{
    c.doc.setInclus(13, true);
    c.doc.setCouleur(13, TColor::fromRgb(0x01, 0x02, 0x03));
    c.doc.setInclus(21, true);
    c.doc.setCouleur(21, TColor::fromRgb(0x0A, 0x0B, 0x0C));
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", "OUR-TODAY");
    testenv::writeFile(testenv::programDir() + "/stwater.gif", "OUR-START");
}

const QString kCouleurs = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color");
const QString kToday = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Today");

QStringList dossiersGardes()
{
    const QDir d(testenv::programDir() + "/" + kDossierSauvegardesPDA);
    QStringList l;
    for (const QString &n : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        l << d.filePath(n);
    return l;
}

} // namespace

// The cable pulled during a live preview and plugged back in: the restore
// point read before the preview stays, the picks made meanwhile reach the
// device once it is back, and unticking puts back every value (a DWORD as a
// DWORD, an absent value absent again) and picture.
TEST(HueCalc, APreviewBrokenByAnUnplugIsPutBackAfterThePlug)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    ASSERT_FALSE(devsimtest::valeurAppareil(avant, kToday, "DPI").isEmpty());
    ASSERT_TRUE(devsimtest::valeurAppareil(avant, kCouleurs, "40").isEmpty());
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    f.placeEtChoisit(100, 35);
    QTRY_COMPARE(a.baseHue(), 356);
    const devsimtest::EtatAppareil apercu = a.etat();
    EXPECT_EQ(devsimtest::valeurAppareil(apercu, kCouleurs, "25"), QStringLiteral("\"25\"=hex:01,02,03,00"));
    EXPECT_EQ(devsimtest::valeurAppareil(apercu, kCouleurs, "40"), QStringLiteral("\"40\"=hex:0a,0b,0c,00"));
    EXPECT_TRUE(devsimtest::valeurAppareil(apercu, kToday, "DPI").isEmpty());

    a.debranche(f);
    EXPECT_FALSE(c.w<QWidget>("VoirSurPDAPnl")->isVisible());
    EXPECT_TRUE(c.w<QCheckBox>("ActifSurPDACb")->isChecked());
    EXPECT_FALSE(f.apercuJoignable());
    EXPECT_EQ(testenv::readFile(testenv::tempDir() + "/SauveTDPDA.gif"), "DEVICE-TODAY");
    f.placeEtChoisit(120, 35); // made while the device is away

    a.branche(f);
    EXPECT_TRUE(c.w<QWidget>("VoirSurPDAPnl")->isVisible());
    EXPECT_TRUE(c.w<QCheckBox>("ActifSurPDACb")->isChecked());
    EXPECT_TRUE(c.w<QCheckBox>("ActifSurPDACb")->isEnabled());
    EXPECT_TRUE(f.apercuJoignable());
    EXPECT_EQ(a.baseHue(), 376); // the device caught up
    EXPECT_EQ(a.etat().images, apercu.images);

    c.w<QCheckBox>("ActifSurPDACb")->click(); // unticked, "Restore" ticked
    EXPECT_EQ(a.etat(), avant);
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/SauveTDPDA.gif"));
    EXPECT_TRUE(c.prompts.messages.isEmpty());
    EXPECT_TRUE(dossiersGardes().isEmpty());
    // Another preview after that starts from the device's own values again.
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "OUR-TODAY");
    c.f->reject();
    EXPECT_EQ(a.etat(), avant);
}

// Closing while the previewed device is away: the window offers to stay open
// (so that the device can be plugged in again and put back); closed all the
// same, it keeps the device's own pictures and previous values in a folder
// of the program folder, says where, and writes nothing to the device later.
TEST(HueCalc, ClosingWhileTheDeviceIsAwayKeepsWhatItHeld)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    QSignalSpy valide(&f, &THueCalc::valide);
    c.w<QCheckBox>("ActifSurPDACb")->click();
    const devsimtest::EtatAppareil apercu = a.etat();
    a.debranche(f);

    // Validate, then Enter (the question's safe answer): the window stays,
    // and Validate did not go through.
    c.prompts.answerDefault();
    c.w<QPushButton>("ValiderBtn")->click();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(valide.count(), 0);
    ASSERT_EQ(c.prompts.questions.size(), 1);
    EXPECT_TRUE(c.prompts.questions[0].contains("Close this window anyway?"));

    // Cancel, then Yes: closed; the device's own Today picture and its values
    // are kept; the Start picture it did not have is named for deletion.
    c.prompts.answer(Prompts::Answer::Yes);
    c.w<QPushButton>("AnnulerBtn")->click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(valide.count(), 0);
    const QStringList gardes = dossiersGardes();
    ASSERT_EQ(gardes.size(), 1);
    const QDir garde(gardes[0]);
    // The restore point's record stays beside them: the device is offered
    // back at its next connection.
    EXPECT_EQ(garde.entryList(QDir::Files), (QStringList{"Restore.ini", "Restore.reg", "tdywater.gif"}));
    EXPECT_EQ(testenv::readFile(garde.filePath("tdywater.gif")), "DEVICE-TODAY");
    const QByteArray reg = testenv::readFile(garde.filePath("Restore.reg"));
    EXPECT_TRUE(reg.startsWith("REGEDIT4\r\n"));
    for (const char *ligne : {"\"BaseHue\"=dword:000001a0\r\n", "\"25\"=dword:00b15712\r\n", "\"40\"=-\r\n",
                              "\"DPI\"=dword:00000060\r\n", "; \\Windows\\stwater.gif was added by the preview"})
        EXPECT_TRUE(reg.contains(ligne)) << ligne;
    ASSERT_EQ(c.prompts.messages.size(), 1);
    EXPECT_TRUE(c.prompts.messages[0].contains(QDir::toNativeSeparators(gardes[0])))
        << c.prompts.messages[0].toStdString();
    EXPECT_TRUE(c.prompts.messages[0].contains("\\Windows\\stwater.gif was added by the preview: delete it."));
    // The work folder's copies went; the kept ones outlive it.
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/SauveTDPDA.gif"));

    // Plugged in after the close, the device still shows the preview.
    a.branche(f);
    EXPECT_EQ(a.etat(), apercu);
}

// A device that is not the previewed one, or that has changed since, is left
// alone: the user is told, picks do not reach it, and it is never given the
// other device's values. The previewed device plugged back in as it was goes
// on with the preview.
TEST(HueCalc, AnotherDeviceOrOneChangedSinceIsLeftAlone)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    a.debranche(f);

    // Another device of the same kind, with its own partnership id, that
    // happens to show what the preview left: our pictures and its BaseHue.
    const QByteArray autre = devsimtest::nouvelAppareil(a.ctl, "other");
    ASSERT_EQ(a.ctl.OvdSimSetOption(autre.constData(), "Partnership", "DeviceId", "0x0BADF00D"), 0);
    ASSERT_EQ(a.ctl.OvdSimSetDword(autre.constData(), "HKLM\\SOFTWARE\\Microsoft\\Color", "BaseHue", 0), 0);
    testenv::writeFile(QString::fromLocal8Bit(autre) + "/fs/Windows/tdywater.gif", "OUR-TODAY");
    testenv::writeFile(QString::fromLocal8Bit(autre) + "/fs/Windows/stwater.gif", "OUR-START");
    const devsimtest::EtatAppareil autreAvant = a.etat(autre);
    a.branche(f, autre);
    ASSERT_EQ(c.prompts.messages.size(), 1);
    EXPECT_TRUE(c.prompts.messages[0].startsWith("The device connected is not the one of the live preview"));
    EXPECT_TRUE(c.w<QCheckBox>("ActifSurPDACb")->isChecked());
    EXPECT_FALSE(c.w<QCheckBox>("ActifSurPDACb")->isEnabled());
    EXPECT_FALSE(f.apercuJoignable());
    f.placeEtChoisit(30, 35);
    EXPECT_EQ(a.etat(autre), autreAvant);
    a.debranche(f, autre);

    // The previewed device again: the preview goes on.
    a.branche(f);
    EXPECT_TRUE(f.apercuJoignable());
    EXPECT_EQ(a.baseHue(), 286);
    EXPECT_EQ(c.prompts.messages.size(), 1);

    // Changed since on the device itself: another BaseHue set, left alone;
    // set back as the preview left it, the preview goes on.
    const auto baseHueSurAppareil = [&](DWORD v) {
        a.debranche(f);
        ASSERT_EQ(a.ctl.OvdSimSetDword(a.dir.constData(), "HKLM\\SOFTWARE\\Microsoft\\Color", "BaseHue", v), 0);
        a.branche(f);
    };
    baseHueSurAppareil(0xAB);
    EXPECT_FALSE(f.apercuJoignable());
    EXPECT_EQ(c.prompts.messages.size(), 2);
    EXPECT_EQ(a.baseHue(), 0xAB);
    baseHueSurAppareil(286);
    EXPECT_TRUE(f.apercuJoignable());

    // Another theme's picture applied on the device: left alone, and the
    // close, answered Yes, keeps the restore point.
    a.debranche(f);
    testenv::writeFile(a.fichier("tdywater.gif"), "APPLIED-ON-THE-DEVICE");
    a.branche(f);
    EXPECT_FALSE(f.apercuJoignable());
    EXPECT_EQ(c.prompts.messages.size(), 3);
    c.prompts.answer(Prompts::Answer::Yes);
    c.f->reject();
    ASSERT_EQ(c.prompts.questions.size(), 1);
    EXPECT_TRUE(c.prompts.questions[0].startsWith("The device connected is not the one of the live preview"));
    ASSERT_EQ(c.prompts.messages.size(), 4);
    EXPECT_TRUE(c.prompts.messages[3].contains("nothing was put back on it"));
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "APPLIED-ON-THE-DEVICE");
    EXPECT_EQ(a.baseHue(), 286);
    ASSERT_EQ(dossiersGardes().size(), 1);
    EXPECT_EQ(testenv::readFile(dossiersGardes()[0] + "/tdywater.gif"), "DEVICE-TODAY");
    EXPECT_EQ(a.etat(autre), autreAvant);
    EXPECT_NE(a.etat(), avant);
}

// The registry file of a kept device state, byte for byte: each value as it
// was stored, absent ones deleted, one the device would not give left out.
TEST(HueCalc, KeptRegistryValuesAreARegistryFile)
{
    EtatCouleursCE e;
    e.baseHue = {ValeurCouleurCE::Lue, OVD_REG_DWORD, QByteArray::fromHex("a0010000")};
    for (auto &v : e.valeurs)
        v.etat = ValeurCouleurCE::Illisible;
    e.valeurs[0] = {ValeurCouleurCE::Lue, OVD_REG_BINARY, QByteArray::fromHex("2e97e300")};
    e.valeurs[1] = {ValeurCouleurCE::Absente, 0, {}};
    e.valeurs[13] = {ValeurCouleurCE::Lue, OVD_REG_DWORD, QByteArray::fromHex("1257b100")};
    e.valeurs[21] = {ValeurCouleurCE::Lue, OVD_REG_SZ, QByteArray::fromHex("410000")};
    e.dpi = {ValeurCouleurCE::Absente, 0, {}};
    EXPECT_EQ(TexteRegRestauration(e, {"\\Windows\\stwater.gif"}),
              QByteArray("REGEDIT4\r\n\r\n"
                         "; The device's values before the live preview of the hue calculator.\r\n"
                         "; \\Windows\\stwater.gif was added by the preview: delete it.\r\n"
                         "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color]\r\n"
                         "\"BaseHue\"=dword:000001a0\r\n"
                         "\"5\"=hex:2e,97,e3,00\r\n"
                         "\"8\"=-\r\n"
                         "\"25\"=dword:00b15712\r\n"
                         "\"40\"=hex(1):41,00,00\r\n"
                         "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Today]\r\n"
                         "\"DPI\"=-\r\n"));
}

// What cannot be put back though the device is connected (its store is full)
// stays in the restore point and is said. A second preview of that device
// starts from the same restore point (what the device shows then is left
// from the first one), and once the store has room again the device gets its
// own theme back. A program folder that refuses the restore point keeps the
// preview from starting, and nothing is written to the device.
TEST(HueCalc, WhatCannotBePutBackIsKeptAndSaid)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    auto *actif = c.w<QCheckBox>("ActifSurPDACb");
    // The device reads its faults when a connection opens.
    const auto magasinPlein = [&](bool plein) {
        ASSERT_EQ(a.ctl.OvdSimSetOption(a.dir.constData(), "Faults", "WriteFailsAfter", plein ? "3" : "100000"), 0);
        a.debranche(f);
        a.branche(f);
        ASSERT_EQ(actif->isChecked(), f.apercuJoignable());
    };
    for (int tour = 1; tour <= 2; ++tour) {
        magasinPlein(false);
        actif->click();
        magasinPlein(true);
        actif->click(); // unticked: the Today picture cannot go back
        EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "OUR-TODAY");
        EXPECT_FALSE(QFile::exists(a.fichier("stwater.gif")));
        EXPECT_EQ(a.baseHue(), 0x1A0);
        ASSERT_EQ(dossiersGardes().size(), 1);
        ASSERT_EQ(c.prompts.messages.size(), tour);
        EXPECT_TRUE(c.prompts.messages.last().startsWith("The device could not be put back entirely"));
        EXPECT_TRUE(c.prompts.messages.last().contains(QDir::toNativeSeparators(dossiersGardes()[0])));
    }
    EXPECT_EQ(QDir(dossiersGardes()[0]).entryList(QDir::Files),
              (QStringList{"Restore.ini", "Restore.reg", "tdywater.gif"}));
    EXPECT_EQ(testenv::readFile(dossiersGardes()[0] + "/tdywater.gif"), "DEVICE-TODAY");

    magasinPlein(false);
    actif->click();
    actif->click();
    EXPECT_EQ(a.etat(), avant);
    EXPECT_TRUE(dossiersGardes().isEmpty());
    EXPECT_EQ(c.prompts.messages.size(), 2);

    QDir().mkpath(testenv::programDir() + "/" + kDossierSauvegardesPDA);
    testenv::DossierVerrouille verrou(testenv::programDir() + "/" + kDossierSauvegardesPDA);
    if (!verrou.actif())
        GTEST_SKIP() << "no way to lock a folder here";
    actif->click();
    EXPECT_FALSE(actif->isChecked());
    EXPECT_FALSE(f.apercuJoignable());
    ASSERT_EQ(c.prompts.messages.size(), 3);
    EXPECT_TRUE(c.prompts.messages.last().contains("the live preview does not start"))
        << c.prompts.messages.last().toStdString();
    EXPECT_EQ(a.etat(), avant);
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/SauveTDPDA.gif"));
    f.placeEtChoisit(50, 35);
    EXPECT_EQ(a.etat(), avant);
}

namespace {

// A live preview whose program was killed after its first device writes: the
// window goes without its close path, and the next start clears the work
// folder. Returns what the device shows then.
devsimtest::EtatAppareil apercuInterrompu(Appareil &a)
{
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    f.placeEtChoisit(100, 35);
    EXPECT_TRUE(QTest::qWaitFor([&] { return a.baseHue() == 356; }, 5000));
    // The restore point was on disk before the first write, outside the work folder.
    EXPECT_EQ(dossiersGardes().size(), 1);
    c.f.reset();
    QFile::remove(testenv::tempDir() + "/SauveTDPDA.gif");
    return a.etat();
}

// The same device, connected anew.
void reconnecte(Appareil &a)
{
    a.pda.Rapi.DeconnecteCE();
    a.pda.PDAConnecte = a.pda.Rapi.ConnecteCE(5000);
    EXPECT_TRUE(a.pda.PDAConnecte);
}

} // namespace

// Killed during a live preview: the device keeps the preview, its own theme
// is kept under the program folder. The next opening of the calculator with
// that device asks first, and Yes puts the device back byte for byte.
TEST(HueCalc, APreviewKilledAfterItsFirstWriteIsPutBackAtTheNextOpening)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    const devsimtest::EtatAppareil apercu = apercuInterrompu(a);
    ASSERT_NE(apercu, avant);
    ASSERT_EQ(dossiersGardes().size(), 1);
    EXPECT_EQ(QDir(dossiersGardes()[0]).entryList(QDir::Files),
              (QStringList{"Restore.ini", "Restore.reg", "tdywater.gif"}));
    EXPECT_EQ(testenv::readFile(dossiersGardes()[0] + "/tdywater.gif"), "DEVICE-TODAY");

    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    c.prompts.answer(Prompts::Answer::Yes);
    bool vu = false;
    QTimer::singleShot(0, [&] {
        auto *h = qobject_cast<THueCalc *>(QApplication::activeModalWidget());
        ASSERT_TRUE(h);
        vu = true;
        // Opened after the device was put back.
        EXPECT_EQ(a.etat(), avant);
        h->reject();
    });
    OuvreHueCalc(c.doc, c.prompts, c.sources);
    EXPECT_TRUE(vu);
    ASSERT_EQ(c.prompts.questions.size(), 1);
    EXPECT_TRUE(c.prompts.questions[0].contains("still shows the live preview"));
    EXPECT_EQ(a.etat(), avant);
    EXPECT_TRUE(dossiersGardes().isEmpty());
    EXPECT_EQ(c.prompts.messages, QStringList{"The device was put back as it was before the preview."});
}

// Reopened while the restore point remains (put back later): the preview
// starts from the record, not from what the device shows, and Restore puts
// back the device's own theme.
TEST(HueCalc, ReopenedWhileARestorePointRemainsThePreviewStartsFromIt)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    apercuInterrompu(a);
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    THueCalc &f = c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    f.placeEtChoisit(30, 70);
    QTRY_COMPARE(a.baseHue(), 30);
    EXPECT_EQ(dossiersGardes().size(), 1); // the same record, no second one
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(a.etat(), avant);
    EXPECT_TRUE(dossiersGardes().isEmpty());
    EXPECT_TRUE(c.prompts.messages.isEmpty());
}

// A restore cut half way (the device's store full: its picture cannot go
// back) leaves the record; the next time it is finished.
TEST(HueCalc, ARestoreCutHalfWayIsFinishedTheNextTime)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    const devsimtest::EtatAppareil apercu = apercuInterrompu(a);
    ASSERT_EQ(a.ctl.OvdSimSetOption(a.dir.constData(), "Faults", "WriteFailsAfter", "3"), 0);
    reconnecte(a);
    ScriptedPrompts prompts;
    prompts.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("The device could not be put back entirely"));
    EXPECT_NE(a.etat(), avant);
    EXPECT_EQ(a.baseHue(), 0x1A0); // the registry went back, the picture did not
    ASSERT_EQ(dossiersGardes().size(), 1);

    ASSERT_EQ(a.ctl.OvdSimSetOption(a.dir.constData(), "Faults", "WriteFailsAfter", "-1"), 0);
    reconnecte(a);
    prompts.answer(Prompts::Answer::Yes);
    EXPECT_FALSE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    EXPECT_EQ(a.etat(), avant);
    EXPECT_TRUE(dossiersGardes().isEmpty());
    EXPECT_NE(apercu, avant);
}

// The record of one device is never applied to another, nor asked about.
TEST(HueCalc, ARestorePointOfAnotherDeviceIsLeftAlone)
{
    Appareil a;
    apercuInterrompu(a);
    a.pda.Rapi.DeconnecteCE();
    ASSERT_GE(a.ctl.OvdSimUnplug(a.dir.constData()), 0);
    const QByteArray autre = devsimtest::nouvelAppareil(a.ctl, "other");
    ASSERT_EQ(a.ctl.OvdSimSetOption(autre.constData(), "Partnership", "DeviceId", "0x0BADF00D"), 0);
    ASSERT_GE(a.ctl.OvdSimPlug(autre.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
    a.pda.PDAConnecte = a.pda.Rapi.ConnecteCE(5000);
    ASSERT_TRUE(a.pda.PDAConnecte);
    const devsimtest::EtatAppareil autreAvant = a.etat(autre);
    ScriptedPrompts prompts;
    EXPECT_FALSE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(a.etat(autre), autreAvant);
    EXPECT_EQ(dossiersGardes().size(), 1);

    // Its live preview keeps a record of its own, and puts it back.
    Calc c;
    c.sources.pda = &a.pda;
    themeApercu(c);
    c.ouvre();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(dossiersGardes().size(), 2);
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_EQ(a.etat(autre), autreAvant);
    EXPECT_EQ(dossiersGardes().size(), 1);
}

// Our Today picture a named pipe: no picture, nothing pushed in its place,
// and the window never waits on it.
TEST(HueCalc, APipeUnderTheWorkingPictureIsNoPicture)
{
    Appareil a;
    const devsimtest::EtatAppareil avant = a.etat();
    Calc c;
    c.sources.pda = &a.pda;
    testenv::writeFile(testenv::programDir() + "/stwater.gif", "OUR-START");
    testenv::TubeSurveille tube(testenv::programDir() + "/tdywater.gif");
    ASSERT_TRUE(tube.cree());
    c.ouvre();
    QElapsedTimer chrono;
    chrono.start();
    c.w<QCheckBox>("ActifSurPDACb")->click();
    EXPECT_LT(chrono.elapsed(), 5000);
    EXPECT_EQ(testenv::readFile(a.fichier("tdywater.gif")), "DEVICE-TODAY");
    EXPECT_EQ(testenv::readFile(a.fichier("stwater.gif")), "OUR-START");
    c.w<QCheckBox>("ActifSurPDACb")->click();
    tube.arrete();
    EXPECT_EQ(tube.lecteurs(), 0);
    EXPECT_EQ(a.etat(), avant);
}
