// Hints and hint sounds of the main window: the two buttons switch them, the
// sound keeps its 500 ms pause on a fixed clock, both choices survive a
// restart; the sound itself is a well-formed short WAVE file.

#include "tests/support/connexion_fenetre.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/gif_test_writer.h"
#include "device/infos_pda.h"
#include "device/rapport_couleurs_ce.h"
#include "device/tsk_reg_today.h"
#include "theme/ini_file.h"
#include "tools/choix_images.h"

#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QtEndian>

using fenetretest::Fenetre;

namespace {

void entre(QWidget *w)
{
    QEvent e(QEvent::Enter);
    QCoreApplication::sendEvent(w, &e);
}

// Asks the widget for its hint; true when the hint shows.
bool bulleMontree(QWidget *w)
{
    QToolTip::hideText();
    const QPoint local = w->rect().center();
    QHelpEvent e(QEvent::ToolTip, local, w->mapToGlobal(local));
    QCoreApplication::sendEvent(w, &e);
    const bool vu = QToolTip::isVisible() && QToolTip::text() == w->toolTip();
    QToolTip::hideText();
    return vu;
}

quint32 le32(const QByteArray &b, int i)
{
    return qFromLittleEndian<quint32>(b.constData() + i);
}
quint16 le16(const QByteArray &b, int i)
{
    return qFromLittleEndian<quint16>(b.constData() + i);
}

} // namespace

TEST(MainWindowHints, TheSoundPlaysOnAControlWithAHintAtMostEvery500Ms)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    qint64 maintenant = 10'000;
    w.setHorlogeSons([&maintenant] { return maintenant; });
    auto *creer = f.trouve<QToolButton>("CreerTBtn");
    ASSERT_FALSE(creer->toolTip().isEmpty());
    EXPECT_FALSE(f.trouve<QToolButton>("SonSP")->isChecked());

    entre(creer);
    EXPECT_EQ(f.prompts.sounds, QStringList{"TOE"});
    // Within 500 ms (500 included) nothing more plays, nor is the pause restarted.
    maintenant += 300;
    entre(creer);
    maintenant += 200;
    entre(creer);
    EXPECT_EQ(f.prompts.sounds.size(), 1);
    maintenant += 1;
    entre(creer);
    EXPECT_EQ(f.prompts.sounds.size(), 2);
    // A control without a hint plays nothing.
    maintenant += 10'000;
    entre(f.trouve<QWidget>("Centre"));
    EXPECT_EQ(f.prompts.sounds.size(), 2);

    // Pressed, the sound button silences the hints.
    QTest::mouseClick(f.trouve<QToolButton>("SonSP"), Qt::LeftButton);
    EXPECT_TRUE(w.contexte().options.Sons);
    maintenant += 10'000;
    entre(creer);
    EXPECT_EQ(f.prompts.sounds.size(), 2);
    QTest::mouseClick(f.trouve<QToolButton>("SonSP"), Qt::LeftButton);
    entre(creer);
    EXPECT_EQ(f.prompts.sounds.size(), 3);
}

TEST(MainWindowHints, HintsAndSoundsSwitchedOffStayOffAfterARestart)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *creer = f.trouve<QToolButton>("CreerTBtn");
    EXPECT_TRUE(bulleMontree(creer));
    EXPECT_TRUE(w.bullesVisibles());

    QTest::mouseClick(f.trouve<QToolButton>("HintSP"), Qt::LeftButton);
    QTest::mouseClick(f.trouve<QToolButton>("SonSP"), Qt::LeftButton);
    EXPECT_FALSE(bulleMontree(creer));
    // Hints are off in the other windows too: any widget with a hint.
    EXPECT_FALSE(bulleMontree(f.trouve<QWidget>("HintSP")));

    f.ferme();
    const IniFile ini(f.dossiers.DossierAppli + "OptionsOVD.ini");
    EXPECT_TRUE(ini.readBool("Options", "Hints", false));
    EXPECT_TRUE(ini.readBool("Options", "Sons", false));

    f.demarre();
    TOrvandel &w2 = f.ouvre();
    w2.setHorlogeSons([] { return qint64(1'000'000); });
    EXPECT_TRUE(f.trouve<QToolButton>("HintSP")->isChecked());
    EXPECT_TRUE(f.trouve<QToolButton>("SonSP")->isChecked());
    EXPECT_FALSE(bulleMontree(f.trouve<QToolButton>("CreerTBtn")));
    entre(f.trouve<QToolButton>("CreerTBtn"));
    EXPECT_TRUE(f.prompts.sounds.isEmpty());

    // Switched on again, and kept so.
    QTest::mouseClick(f.trouve<QToolButton>("HintSP"), Qt::LeftButton);
    QTest::mouseClick(f.trouve<QToolButton>("SonSP"), Qt::LeftButton);
    EXPECT_TRUE(bulleMontree(f.trouve<QToolButton>("CreerTBtn")));
    f.ferme();
    f.demarre();
    f.ouvre();
    EXPECT_FALSE(f.trouve<QToolButton>("HintSP")->isChecked());
    EXPECT_FALSE(f.trouve<QToolButton>("SonSP")->isChecked());
    EXPECT_TRUE(bulleMontree(f.trouve<QToolButton>("CreerTBtn")));
}

TEST(MainWindowHints, TheHintSoundIsAShortMonoPcmWave)
{
    QFile f(QStringLiteral(":/art/toe.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GT(b.size(), 44);
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(le32(b, 4), quint32(b.size() - 8));
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u);    // PCM format chunk
    EXPECT_EQ(le16(b, 20), 1);      // PCM
    EXPECT_EQ(le16(b, 22), 1);      // mono
    EXPECT_EQ(le32(b, 24), 22050u); // rate
    EXPECT_EQ(le32(b, 28), 44100u); // bytes per second
    EXPECT_EQ(le16(b, 32), 2);      // block
    EXPECT_EQ(le16(b, 34), 16);     // bits
    EXPECT_EQ(b.mid(36, 4), "data");
    const quint32 donnees = le32(b, 40);
    ASSERT_EQ(donnees, quint32(b.size() - 44));
    // A short tap: well under a tenth of a second, audible, and dying away
    // to silence so that it ends without a click.
    const int echantillons = int(donnees / 2);
    EXPECT_LT(echantillons, 22050 / 10);
    int crete = 0;
    for (int i = 0; i < echantillons; ++i)
        crete = std::max(crete, std::abs(int(qint16(le16(b, 44 + 2 * i)))));
    EXPECT_GT(crete, 8000);
    EXPECT_LT(std::abs(int(qint16(le16(b, 44 + 2 * (echantillons - 1))))), 400);
    EXPECT_EQ(std::abs(int(qint16(le16(b, 44)))), 0);
}

namespace {

// Shows, within a second, whether a hint came up; then takes it away.
bool bulleVenue()
{
    const bool vue = QTest::qWaitFor([] { return QToolTip::isVisible(); }, 1000);
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    return vue;
}

} // namespace

TEST(MainWindowHints, StopHintsAlsoStopsTheHintsThatFollowTheMouseInTheOtherWindows)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 64, 48, qRgb(200, 30, 30));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));

    // Each time, the hints seen over a colour swatch of the device
    // information, a theme key's row of its Today keys window, and an effect
    // tab of the image chooser.
    const auto tour = [&](bool arretees) {
        EXPECT_EQ(f.trouve<QToolButton>("HintSP")->isChecked(), arretees);
        QList<bool> vues;
        fenetretest::surFenetreModale([&](QWidget *d) {
            auto *infos = qobject_cast<TInfosPDA *>(d);
            ASSERT_TRUE(infos);
            infos->findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(4);
            auto *sh = infos->findChild<QLabel *>(QStringLiteral("ImageCoulSH"));
            const QPoint p = CelluleNuancier(5).center();
            QMouseEvent survol(QEvent::MouseMove, QPointF(p), sh->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                               Qt::NoModifier);
            QApplication::sendEvent(sh, &survol);
            EXPECT_EQ(infos->swatchSurvole(), 5);
            vues << bulleVenue();

            fenetretest::surFenetreModale([&](QWidget *g) {
                auto *liste = g->findChild<QListWidget *>(QStringLiteral("CheckListBox1"));
                ASSERT_TRUE(liste && liste->count() > 0);
                const QPoint p = liste->visualItemRect(liste->item(0)).center();
                QMouseEvent survol(QEvent::MouseMove, QPointF(p), liste->viewport()->mapToGlobal(QPointF(p)),
                                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(liste->viewport(), &survol);
                EXPECT_FALSE(liste->toolTip().isEmpty());
                vues << bulleVenue();
                static_cast<QDialog *>(g)->reject();
            });
            infos->findChild<QPushButton *>(QStringLiteral("VoirTskReg"))->click();
            infos->reject();
        });
        QTest::mouseClick(f.trouve<QToolButton>("WinVerTBtn"), Qt::LeftButton);

        f.prompts.openPictureName(f.dossiers.DossierAppli + "tdywater.gif");
        fenetretest::surFenetreModale([&](QWidget *d) {
            auto *choix = qobject_cast<TChoixImages *>(d);
            ASSERT_TRUE(choix);
            EXPECT_TRUE(QTest::qWaitFor([&] { return choix->ImageChargee(); }, 5000));
            QTabBar *onglets = choix->findChild<QTabWidget *>(QStringLiteral("PageControl1"))->tabBar();
            const QPoint p = onglets->tabRect(3).center();
            QMouseEvent survol(QEvent::MouseMove, QPointF(p), onglets->mapToGlobal(QPointF(p)), Qt::NoButton,
                               Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(onglets, &survol);
            vues << bulleVenue();
            choix->reject();
        });
        QTest::mouseClick(f.trouve<QToolButton>("ImageTBtn"), Qt::LeftButton);
        return vues;
    };

    EXPECT_EQ(tour(false), (QList<bool>{true, true, true}));
    QTest::mouseClick(f.trouve<QToolButton>("HintSP"), Qt::LeftButton);
    EXPECT_EQ(tour(true), (QList<bool>{false, false, false}));
    f.ferme();
}
