// The device link on the main window: the state without the library, and a
// simulated device plugged and unplugged while the window runs.

#include "app/anime_thread.h"
#include "device/etat_pda.h"
#include "tests/support/attente.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/devsim_support.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/pixels.h"
#include "tools/hue_calc.h"
#include "ui/charge_image_res.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using fenetretest::Fenetre;

namespace {

// Tile k of the strip of state icons, as the window shows it.
QImage tuileEtat(int k)
{
    return ChargeImageRes(QStringLiteral("uneligneimg.png")).copy(k * 42, 0, 42, 42).convertToFormat(QImage::Format_ARGB32);
}

QImage imageEtat(Fenetre &f)
{
    return f.trouve<QLabel>("Image11")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(MainWindowAppareil, WithoutTheLibraryTheStateReadsMissing)
{
    qputenv("ORVANDEL_RAPI", (testenv::tempDir() + "/absent/librapi.so").toLocal8Bit());
    Fenetre f;
    TOrvandel &w = f.ouvre();
    EXPECT_EQ(f.trouve<QLabel>("EtatASLbl")->text(), QStringLiteral("Missing"));
    EXPECT_FALSE(w.contexte().appareil.RapiPresent);
    ASSERT_TRUE(w.etatPDA());
    EXPECT_FALSE(w.etatPDA()->DccMan);
    EXPECT_FALSE(w.animationBouton());
    // The missing library has its own icon, not the "active" handheld.
    EXPECT_EQ(w.iconeEtatAS(), 14);
    EXPECT_EQ(imageEtat(f), tuileEtat(14));
    EXPECT_NE(tuileEtat(14), tuileEtat(11));
    EXPECT_NE(tuileEtat(14), tuileEtat(12));
    EXPECT_NE(tuileEtat(14), tuileEtat(17));
    f.ferme();
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindowAppareil, RepeatedActiveWhileConnectedOnlyRenamesTheState)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    const TBtnAnimeThread *animation = w.animationBouton();
    ASSERT_TRUE(animation && animation->enCours());

    QSignalSpy spy(w.etatPDA()->DccMan.get(), &TDccMan::OnChange);
    ASSERT_EQ(c.OvdSimRaise(dir.constData(), 1, ip(10, 1, 2, 3)), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));
    EXPECT_EQ(f.trouve<QLabel>("EtatASLbl")->text(), QStringLiteral("Active ( IP Adress : 10.1.2.3 )"));
    EXPECT_EQ(w.iconeEtatAS(), 11);
    // The same animation goes on; the connection is the same one.
    EXPECT_EQ(w.animationBouton(), animation);
    EXPECT_TRUE(w.animationBouton()->enCours());
    EXPECT_TRUE(w.etatPDA()->PDAConnecte);
    EXPECT_EQ(c.OvdSimSessionCount(), 1);
    EXPECT_TRUE(f.prompts.messages.isEmpty());
    f.ferme();
}

TEST(MainWindowAppareil, TheOpenHueCalculatorFollowsUnplugAndPlug)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));

    bool vu = false;
    fenetretest::surFenetreModale([&](QWidget *m) {
        auto *h = qobject_cast<THueCalc *>(m);
        ASSERT_TRUE(h);
        vu = true;
        auto *panneau = h->findChild<QWidget *>("VoirSurPDAPnl");
        auto *actif = h->findChild<QCheckBox *>("ActifSurPDACb");
        EXPECT_TRUE(panneau->isVisible());
        EXPECT_TRUE(actif->isEnabled());

        ASSERT_EQ(c.OvdSimUnplug(dir.constData()), 1);
        EXPECT_TRUE(testenv::attendCondition([&] { return !w.etatPDA()->PDAConnecte; }, 5000));
        EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Disconnected")});
        // Gone with the device: "PDA Interaction" and "Restore" cannot be reached.
        EXPECT_FALSE(panneau->isVisible());
        EXPECT_FALSE(actif->isVisible());
        EXPECT_FALSE(h->findChild<QCheckBox *>("RestaurerCB")->isVisible());

        ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
        EXPECT_TRUE(testenv::attendCondition([&] { return w.etatPDA()->PDAConnecte; }, 5000));
        EXPECT_TRUE(panneau->isVisible());
        EXPECT_TRUE(actif->isEnabled());
        EXPECT_FALSE(actif->isChecked());
        EXPECT_TRUE(h->lectureAppareil());
        // Ticked now, the live preview reaches the device plugged again.
        const int avant = c.OvdSimCallCount("CeFindFirstFile");
        QTest::mouseClick(actif, Qt::LeftButton, {}, QPoint(8, actif->height() / 2));
        EXPECT_TRUE(actif->isChecked());
        EXPECT_GT(c.OvdSimCallCount("CeFindFirstFile"), avant);
        h->findChild<QPushButton *>("AnnulerBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton);
    EXPECT_TRUE(vu);
    f.ferme();
}

TEST(MainWindowAppareil, PlugAndUnplugFollowTheStateConnectAndDisconnect)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(w.contexte().appareil.RapiPresent);
    ASSERT_TRUE(w.etatPDA() && w.etatPDA()->DccMan);
    auto *etat = f.trouve<QLabel>("EtatASLbl");
    QSignalSpy spy(w.etatPDA()->DccMan.get(), &TDccMan::OnChange);
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));
    EXPECT_EQ(etat->text(), QStringLiteral("Listen"));

    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 4, 5000));
    EXPECT_EQ(etat->text(), QStringLiteral("Active ( IP Adress : 169.254.2.1 )"));
    EXPECT_TRUE(w.etatPDA()->PDAConnecte);
    EXPECT_TRUE(w.contexte().appareil.connecte);
    EXPECT_EQ(c.OvdSimSessionCount(), 1);
    // The connection icon turns while connected.
    ASSERT_TRUE(w.animationBouton());
    EXPECT_TRUE(w.animationBouton()->enCours());
    EXPECT_EQ(w.animationBouton()->intervalleMs(), 200);

    ASSERT_EQ(c.OvdSimUnplug(dir.constData()), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 6, 5000));
    EXPECT_EQ(etat->text(), QStringLiteral("Listen"));
    EXPECT_FALSE(w.etatPDA()->PDAConnecte);
    EXPECT_FALSE(w.animationBouton());
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Disconnected")});
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // The close ends an open connection.
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 9, 5000));
    ASSERT_TRUE(w.etatPDA()->PDAConnecte);
    f.ferme();
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
}

TEST(MainWindowAppareil, StateTexts)
{
    const QStringList attendus{"Missing", "", "Active ( x )", "Closed", "Active", "InActive",
                               "Answer",  "Listen", "Disconnected", "Error", ""};
    for (int s = -1; s <= 9; ++s)
        EXPECT_EQ(TOrvandel::TexteEtatAS(s, QStringLiteral("x")), attendus[s + 1]) << s;
}

TEST(MainWindowAppareil, TheTurningStateIconLiesOnTheToolBarsTileAsTheStillOnesDo)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_FALSE(w.contexte().apparence.uniforme); // the tiled look
    auto *barre = f.trouve<QWidget>("ToolBar1");
    auto *icone = f.trouve<QLabel>("Image11");
    // The corners of the picture (the frames are clear there) and, three
    // pixels left of each, the bar itself: the tile's bands run across the
    // bar, so a corner and its neighbour are the same colour on the tile.
    const auto coins = [&] {
        const QImage vu = barre->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint o = icone->mapTo(barre, QPoint(0, 0));
        int ecarts = 0;
        for (const QPoint c : {QPoint(0, 1), QPoint(1, 40), QPoint(40, 1), QPoint(40, 40)}) {
            const QPoint p = o + c, voisin = QPoint(o.x() - 3, p.y());
            ecarts += !testenv::proche(vu.pixel(p), vu.pixel(voisin), 6);
        }
        return ecarts;
    };
    ASSERT_EQ(coins(), 0) << "still icon";
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    auto *animation = const_cast<TBtnAnimeThread *>(w.animationBouton());
    ASSERT_TRUE(animation && animation->enCours());
    // Every frame of the turn.
    for (int n = 0; n < 16; ++n) {
        animation->imageSuivante();
        EXPECT_EQ(coins(), 0) << "frame " << animation->imageCourante();
        // What the frame adds is drawn: it is not the bare bar.
        EXPECT_GT(animation->imageAffichee().pixelColor(21, 21).alpha(), 0) << animation->imageCourante();
    }
    f.ferme();
}
