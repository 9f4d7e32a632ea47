// The windows placed beside the main window by a formula (the hue calculator
// and its histogram, the device-skin preview, the save evaluation) open
// inside the screen's available area even when the main window stands at the
// screen's top-left corner, where the formulas alone put them above the top
// edge or left of the screen.

#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/fenetre_principale.h"

#include "apercu/preview_hp.h"
#include "tools/choix_images.h"
#include "tools/eval_sauve.h"
#include "tools/histo_teinte.h"
#include "tools/hue_calc.h"

#include <QAbstractButton>
#include <QScreen>
#include <QTest>

using fenetretest::Fenetre;

namespace {

// The frame of a shown window lies inside the available area of its screen.
void verifieDansEcran(QWidget *fenetre, const char *nom)
{
    ASSERT_TRUE(fenetre) << nom;
    const QRect zone = fenetre->screen()->availableGeometry();
    const QRect cadre = fenetre->frameGeometry();
    EXPECT_TRUE(zone.contains(cadre.topLeft())) << nom << " at " << cadre.x() << "," << cadre.y();
    // Taller or wider than the screen: at least the title bar is on it.
    if (cadre.width() <= zone.width() && cadre.height() <= zone.height()) {
        EXPECT_TRUE(zone.contains(cadre)) << nom << " " << cadre.x() << "," << cadre.y() << " " << cadre.width() << "x"
                                          << cadre.height() << " in " << zone.width() << "x" << zone.height();
    }
}

// Runs `action` on the modal window of type T that shows next (waiting for
// it, as some windows animate their opening first), then closes it.
template <typename T> void surModale(bool &vu, std::function<void(T *)> action = {})
{
    fenetrestest::surModale<T>([&vu, action](T *t) {
        vu = true;
        if (action)
            action(t);
        t->reject();
    });
}

} // namespace

TEST(FenetresDansEcran, WindowsPlacedByAFormulaStayInsideTheScreenWithTheMainWindowAtItsTopEdge)
{
    Fenetre f;
    // Pictures for the thumbnails, the histograms and the chooser.
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", fenetrestest::gif(240, 320, qRgb(30, 120, 200)));
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", fenetrestest::gif(240, 320, qRgb(200, 60, 30)));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect zone = w.screen()->availableGeometry();
    w.move(zone.topLeft());
    QApplication::processEvents();
    ASSERT_EQ(w.frameGeometry().topLeft(), zone.topLeft());

    bool calc = false, histo = false, preview = false, choix = false, eval = false;
    surModale<THueCalc>(calc, [&](THueCalc *h) {
        // Its formula: main window's top + (main height - own height) / 2,
        // above the screen whenever the calculator is the taller window.
        verifieDansEcran(h, "HueCalc");
        EXPECT_EQ(h->frameGeometry().left(), w.frameGeometry().left() + 90);
        surModale<THistoTeinte>(histo, [](THistoTeinte *t) { verifieDansEcran(t, "HistoTeinte"); });
        h->findChild<QAbstractButton *>(QStringLiteral("HistoTDSTSBtn"))->click();
    });
    w.findChild<QAbstractButton *>(QStringLiteral("WM5Btn"))->click();

    // Its formula: the main window's left - 2.
    surModale<TPreviewHP>(preview, [](TPreviewHP *p) { verifieDansEcran(p, "PreviewHP"); });
    w.findChild<QAbstractButton *>(QStringLiteral("PreviewSBtn"))->click();

    f.prompts.openPictureName(f.dossiers.DossierAppli + "tdywater.gif");
    surModale<TChoixImages>(choix, [&](TChoixImages *ch) {
        (void)QTest::qWaitFor([&] { return ch->ImageChargee(); }, 5000);
        surModale<TEvalSauve>(eval, [](TEvalSauve *e) { verifieDansEcran(e, "EvalSauve"); });
        ch->findChild<QAbstractButton *>(QStringLiteral("EvalTBtn"))->click();
    });
    w.findChild<QAbstractButton *>(QStringLiteral("ImgChoix"))->click();

    EXPECT_TRUE(calc);
    EXPECT_TRUE(histo);
    EXPECT_TRUE(preview);
    EXPECT_TRUE(choix);
    EXPECT_TRUE(eval);
    f.ferme();
}
