// The device link on the main window: the state without the library, and a
// simulated device plugged and unplugged while the window runs.

#include "app/anime_thread.h"
#include "device/etat_pda.h"
#include "tests/support/attente.h"
#include "tests/support/devsim_support.h"
#include "tests/support/fenetre_principale.h"

#include <QLabel>
#include <QSignalSpy>

using fenetretest::Fenetre;

namespace {

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
    f.ferme();
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindowAppareil, PlugAndUnplugFollowTheStateConnectAndDisconnect)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    qputenv("ORVANDEL_RAPI", cheminSimulateur().toLocal8Bit());
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
