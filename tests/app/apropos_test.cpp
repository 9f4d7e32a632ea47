#include "app/about_box.h"
#include "ui/info_version.h"
#include "app/scroll_text.h"
#include "app/switch_control.h"
#include "ui/version_info.h"
#include "tests/support/attente.h"
#include "tests/support/scripted_prompts.h"
#include "theme/animation_pause.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QString versionAttendue()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version_info::Majeure)
        .arg(version_info::Mineure)
        .arg(version_info::Release)
        .arg(version_info::Build);
}

} // namespace

// ---- Version information -------------------------------------------------

TEST(InfoVersion, PairsFromTheTableWithFrenchLabelsOrRawKeys)
{
    const InfoVersion info = InfoVersionProgramme();
    ASSERT_TRUE(info.ExisteInfo);
    ASSERT_EQ(info.InfoSupNb, int(std::size(version_info::Chaines)));
    ASSERT_EQ(info.Infos.size(), 2 * info.InfoSupNb);
    EXPECT_EQ(info.Infos.at(0), QStringLiteral("Entreprise"));
    EXPECT_EQ(info.Infos.at(2), QStringLiteral("Description"));
    EXPECT_EQ(info.Infos.at(4), QStringLiteral("Version du fichier"));
    EXPECT_EQ(info.Infos.at(8), QStringLiteral("Légal Copyright"));
    // The version line everyone shows is the sixth line: the file version.
    EXPECT_EQ(LigneVersionProgramme(), versionAttendue());
    EXPECT_EQ(QStringList({info.Majeure, info.Mineure, info.Release, info.Build}).join('.'), versionAttendue());

    const InfoVersion brut = InfoVersionProgramme(true);
    EXPECT_EQ(brut.Infos.at(0), QStringLiteral("CompanyName"));
    EXPECT_EQ(brut.Infos.at(4), QStringLiteral("FileVersion"));
    EXPECT_EQ(brut.Infos.at(5), info.Infos.at(5));
}

TEST(InfoVersion, UnshowableStringsAreSkippedAndCustomKeysKeepTheirName)
{
    const InfoVersion info = InfoVersionDe({{QStringLiteral("Comments"), QStringLiteral("a\tb\r\nc")},
                                            {QStringLiteral("SpecialBuild"), QStringLiteral("bad\x01value")},
                                            {QStringLiteral("Maison"), QStringLiteral("Kelm")},
                                            {QStringLiteral("Bad\x02Key"), QStringLiteral("x")}},
                                           2, 3, 4, 5);
    EXPECT_EQ(info.InfoSupNb, 2);
    EXPECT_EQ(info.Infos, QStringList({QStringLiteral("Commentaires"), QStringLiteral("a\tb\r\nc"),
                                       QStringLiteral("Maison"), QStringLiteral("Kelm")}));
    EXPECT_EQ(info.Build, QStringLiteral("5"));
    EXPECT_EQ(info.valeur(QStringLiteral("Maison")), QStringLiteral("Kelm"));
    EXPECT_EQ(info.valeur(QStringLiteral("Absent")), QString());
}

// ---- Scroll text -----------------------------------------------------------

TEST(ScrollText, AdvancesOnItsTimerAndStopsWhenHidden)
{
    TScrollText s;
    s.setItems({QStringLiteral("une"), QStringLiteral("deux")});
    EXPECT_EQ(s.positionTexte(), QPoint(0, s.height())); // comes from the bottom
    EXPECT_GE(s.tailleTexte().height(), s.height());
    s.setDelay(5);
    s.setActive(true);
    EXPECT_FALSE(s.defilementEnCours()); // not shown yet
    s.show();
    QSignalSpy pas(&s, &TScrollText::avance);
    ASSERT_TRUE(testenv::attendCondition([&] { return pas.count() >= 5; }, 10000));
    EXPECT_EQ(s.positionTexte().y(), s.height() - int(pas.count()));

    s.hide();
    EXPECT_FALSE(s.defilementEnCours());
    const QPoint arret = s.positionTexte();
    QCoreApplication::processEvents();
    EXPECT_EQ(s.positionTexte(), arret);

    s.show();
    const int avant = int(pas.count());
    ASSERT_TRUE(testenv::attendCondition([&] { return pas.count() > avant + 2; }, 10000));
    EXPECT_LT(s.positionTexte().y(), arret.y());
}

TEST(ScrollText, PauseSlowsToAStopAndUnpauseSpeedsUp)
{
    TScrollText s;
    s.setItems({QStringLiteral("texte")});
    s.setScrollPixels(3);
    s.setDelay(5);
    s.show();
    s.setActive(true);
    QList<int> positions;
    QObject::connect(&s, &TScrollText::avance, [&] { positions << s.positionTexte().y(); });
    ASSERT_TRUE(testenv::attendCondition([&] { return positions.size() >= 2; }, 10000));
    s.Pause();
    QSignalSpy actif(&s, &TScrollText::activeChanged);
    const int n = int(positions.size());
    ASSERT_TRUE(testenv::attendCondition([&] { return !s.Active(); }, 10000));
    EXPECT_FALSE(s.defilementEnCours());
    ASSERT_EQ(actif.count(), 1);
    // Slowing: steps of 2 then 1, then the stop (no more movement).
    ASSERT_GE(positions.size(), n + 2);
    EXPECT_EQ(positions.at(n) - positions.at(n - 1), -2);
    EXPECT_EQ(positions.at(n + 1) - positions.at(n), -1);
    EXPECT_EQ(positions.size(), n + 2);

    s.Unpause();
    EXPECT_TRUE(s.Active());
    EXPECT_EQ(s.pasCourant(), 0);
    ASSERT_TRUE(testenv::attendCondition([&] { return positions.size() >= n + 6; }, 10000));
    EXPECT_EQ(positions.at(n + 2) - positions.at(n + 1), -1);
    EXPECT_EQ(positions.at(n + 3) - positions.at(n + 2), -2);
    EXPECT_EQ(positions.at(n + 4) - positions.at(n + 3), -3);
    EXPECT_EQ(positions.at(n + 5) - positions.at(n + 4), -3);
}

TEST(ScrollText, HorizontalTextWrapsAndDragFollowsThePointer)
{
    TScrollText s;
    s.resize(100, 40);
    s.setScrollDirection(drFromLeft);
    s.setItems({QStringLiteral("gauche")});
    EXPECT_EQ(s.positionTexte().x(), 100);
    s.setScrollPixels(50);
    s.setDelay(5);
    s.show();
    QList<int> xs;
    QObject::connect(&s, &TScrollText::avance, [&] { xs << s.positionTexte().x(); });
    s.setActive(true);
    ASSERT_TRUE(testenv::attendCondition([&] { return xs.size() >= 6; }, 10000));
    s.setActive(false);
    // 50, 0, -50, -100, then fully out at -150: back at the right edge.
    EXPECT_EQ(xs.mid(0, 6), QList<int>({50, 0, -50, -100, 100, 50}));

    // Dragging shifts the text along the scroll axis, wrapping past the edges.
    s.Reset();
    s.setScrollDirection(drFromTop);
    s.Reset();
    EXPECT_EQ(s.positionTexte().y(), -s.tailleTexte().height());
    s.setScrollDirection(drFromBottom);
    s.Reset();
    EXPECT_EQ(s.positionTexte().y(), 40);
    s.setScrollDirection(drFromRight);
    s.Reset();
    EXPECT_EQ(s.positionTexte().x(), -100);
    QTest::mouseMove(&s, QPoint(60, 10));
    // The text is outside the control: a press there does not take it.
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(60, 10));
    QTest::mouseMove(&s, QPoint(80, 10));
    EXPECT_EQ(s.positionTexte().x(), -100);
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(80, 10));

    s.setActive(true);
    ASSERT_TRUE(testenv::attendCondition([&] { return s.positionTexte().x() >= 0; }, 10000));
    s.setActive(false);
    const int x0 = s.positionTexte().x();
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(x0 + 5, 10));
    EXPECT_FALSE(s.defilementEnCours());
    QTest::mouseMove(&s, QPoint(x0 + 15, 10));
    EXPECT_EQ(s.positionTexte().x(), x0 + 10);
    QTest::mouseMove(&s, QPoint(x0 + 15 + 200, 10));
    EXPECT_EQ(s.positionTexte().x(), -100); // passed the right edge: back on the left
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(x0 + 215, 10));
}

// ---- Switch ----------------------------------------------------------------

TEST(Switch, ClicksAndTheToggleKeyToggleItWithItsSignals)
{
    QWidget parent;
    TSwitch sw(&parent);
    EXPECT_EQ(sw.size(), QSize(50, 60));
    EXPECT_FALSE(sw.GlyphOff().isNull());
    EXPECT_FALSE(sw.GlyphOn().isNull());
    parent.show();
    QApplication::setActiveWindow(&parent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    QSignalSpy on(&sw, &TSwitch::OnOn), off(&sw, &TSwitch::OnOff), clic(&sw, &TSwitch::clicked);

    QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(25, 30));
    EXPECT_TRUE(sw.StateOn());
    EXPECT_TRUE(sw.hasFocus());
    EXPECT_EQ(on.count(), 1);
    EXPECT_EQ(off.count(), 0);
    EXPECT_EQ(clic.count(), 1);
    QTest::mouseClick(&sw, Qt::RightButton, {}, QPoint(25, 30));
    EXPECT_TRUE(sw.StateOn());

    QKeyEvent espace(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(&sw, &espace);
    EXPECT_TRUE(espace.isAccepted()); // swallowed
    EXPECT_FALSE(sw.StateOn());
    EXPECT_EQ(off.count(), 1);
    EXPECT_EQ(clic.count(), 1); // keys are no clicks

    sw.setToggleKey(Qt::Key_T);
    QTest::keyClick(&sw, Qt::Key_Space);
    EXPECT_FALSE(sw.StateOn());
    QTest::keyClick(&sw, Qt::Key_T);
    EXPECT_TRUE(sw.StateOn());

    sw.setStateOn(true); // no change, no signal
    EXPECT_EQ(on.count(), 2);
    EXPECT_EQ(off.count(), 1);
}

TEST(Switch, DisabledDrawsTheEmbossedCopyAndPlainBitmapsGetTheirCornerTransparent)
{
    TSwitch sw;
    sw.show();
    const QImage actif = sw.grab().toImage();
    sw.setEnabled(false);
    const QImage inactif = sw.grab().toImage();
    EXPECT_NE(actif, inactif);
    // The grey copy holds only the two emboss colours.
    const QImage copie = sw.glypheDesactive(false).toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb clair = sw.palette().color(QPalette::Light).rgb();
    const QRgb sombre = sw.palette().color(QPalette::Dark).rgb();
    int visibles = 0;
    for (int y = 0; y < copie.height(); ++y)
        for (int x = 0; x < copie.width(); ++x) {
            const QRgb c = copie.pixel(x, y);
            if (qAlpha(c) == 0)
                continue;
            ++visibles;
            EXPECT_TRUE((c | 0xFF000000) == clair || (c | 0xFF000000) == sombre);
        }
    EXPECT_GT(visibles, 50);

    // A user picture without alpha: its bottom-left colour becomes transparent.
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(QColor(0xFF, 0x00, 0xFF));
    for (int i = 2; i < 8; ++i)
        img.setPixel(i, i, qRgb(0x10, 0x20, 0x30));
    sw.setGlyphOff(QPixmap::fromImage(img));
    const QImage g = sw.GlyphOff().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(g.pixel(0, 0)), 0);
    EXPECT_EQ(g.pixel(3, 3), qRgb(0x10, 0x20, 0x30));
    sw.setGlyphOff(QPixmap()); // back to the default picture
    EXPECT_EQ(sw.GlyphOff().size(), QPixmap(QStringLiteral(":/art/switch_off.png")).size());
}

TEST(Switch, CaptionAcceleratorFocusesIt)
{
    QWidget fenetre;
    auto *autre = new QPushButton(QStringLiteral("x"), &fenetre);
    auto *sw = new TSwitch(&fenetre);
    sw->move(0, 40);
    sw->setTextPosition(tpRight);
    sw->setCaption(QStringLiteral("&Marche"));
    sw->resize(120, 60);
    EXPECT_EQ(sw->rectangleImage().left(), 0);
    fenetre.show();
    QApplication::setActiveWindow(&fenetre);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
    autre->setFocus();
    QTest::keyClick(&fenetre, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(sw->hasFocus());
}

// ---- About box ---------------------------------------------------------------

TEST(AboutBox, TextsComeFromTheVersionTableAndTheSystem)
{
    ScriptedPrompts prompts;
    TAboutBox box(prompts, nullptr, QStringLiteral("/opt/prog/orvandel"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("A propos de : orvandel"));
    EXPECT_EQ(box.VersionOslbl->text(),
              QSysInfo::prettyProductName() + QStringLiteral(" Build: ") + QSysInfo::kernelVersion());

    const InfoVersion info = InfoVersionProgramme();
    QStringList attendu{QStringLiteral("orvandel"), QString(), QStringLiteral("Version : "), versionAttendue()};
    for (int i = 0; i < info.Infos.size(); i += 2)
        attendu << info.Infos.at(i) + QStringLiteral(" : ") << info.Infos.at(i + 1);
    attendu << QStringLiteral("Conçu pour : ") << QSysInfo::kernelType().toUpper() << QStringLiteral("Type fichier : ")
            << QStringLiteral("APPLICATION");
    EXPECT_EQ(box.ScrollText1->Items(), attendu);
    EXPECT_TRUE(attendu.contains(QStringLiteral("Version du fichier : ")));

    // "Plus": the description, under the title with the rights line.
    QTest::mouseClick(box.Plus, Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages.at(0), info.valeur(QStringLiteral("Description")));
    EXPECT_EQ(box.titrePlus(),
              QStringLiteral("orvandel ® ") + info.valeur(QStringLiteral("Légal Copyright")));
}

TEST(AboutBox, ScrollsWhenShownAndTheSwitchClosesItHalfASecondLater)
{
    ScriptedPrompts prompts;
    TAboutBox box(prompts);
    box.show();
    EXPECT_TRUE(box.ScrollText1->Active());
    EXPECT_EQ(box.ScrollText1->Delay(), 30);
    EXPECT_TRUE(box.ScrollText1->defilementEnCours());
    QSignalSpy fini(&box, &QDialog::finished);
    QTest::mouseClick(box.Switch1, Qt::LeftButton, {}, QPoint(25, 30));
    QTest::mouseClick(box.Switch1, Qt::LeftButton, {}, QPoint(25, 30)); // a second click changes nothing
    EXPECT_TRUE(box.isVisible());
    ASSERT_TRUE(testenv::attendCondition([&] { return !box.isVisible(); }, 10000));
    ASSERT_EQ(fini.count(), 1);
    EXPECT_EQ(fini.at(0).at(0).toInt(), int(QDialog::Accepted));
    EXPECT_FALSE(box.ScrollText1->Active());
    EXPECT_FALSE(box.ScrollText1->defilementEnCours());
    EXPECT_TRUE(box.Switch1->StateOn());
}

TEST(AboutBox, OpenedModallyWithTheAnimationPaused)
{
    ScriptedPrompts prompts;
    AnimationPause pause;
    bool enPause = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        enPause = pause.isPaused();
        box->close(); // closing by the window's own button
    });
    OuvreAboutBox(nullptr, prompts, &pause);
    EXPECT_TRUE(enPause);
    EXPECT_FALSE(pause.isPaused());
}
