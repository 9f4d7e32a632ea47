// A theme sent to the device through the main window's send-to-device
// window, the device pulled out between the copy's two moves: the window
// says the transfer failed, and once the device is back the main window's
// new connection gives the device a whole file again and leaves no spare
// file of the copy.

#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/attente.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/fenetre_principale.h"

#include "device/transfert_vers_ce.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;

TEST(CopieInterrompue, TheNextConnectionPutsTheDeviceFileRight)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    const QString fs = QString::fromLocal8Bit(dir) + QStringLiteral("/fs/");
    const QByteArray ancien = testenv::readFile(fs + "Windows/Blue.tsk");
    ASSERT_FALSE(ancien.isEmpty());
    // The device is pulled out right after the first move of the connection.
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Faults", "UnplugAfterMoves", "1"), 0);
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", fenetrestest::gif(24, 32, qRgb(200, 0, 0)));
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", fenetrestest::gif(30, 40, qRgb(0, 0, 200)));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    w.TempsLibre();

    // "Blue" into \Windows, over the current skin, confirmed.
    f.prompts.answer(Prompts::Answer::Yes);
    fenetrestest::envoieDansDossier(QStringLiteral("\\Windows"), QStringLiteral("Blue"));
    QTest::mouseClick(f.trouve<QToolButton>("TransfertTskTBtn"), Qt::LeftButton);
    ASSERT_TRUE(f.prompts.messages.contains(QStringLiteral("Transfer Error")))
        << f.prompts.messages.join('|').toStdString();
    // Cut between the moves: no file under the name, both under spare names.
    EXPECT_FALSE(QFile::exists(fs + "Windows/Blue.tsk"));
    EXPECT_EQ(testenv::readFile(fs + "Windows/~ovd0.old"), ancien);
    EXPECT_TRUE(testenv::readFile(fs + "Windows/~ovd0.tmp").startsWith("MSCF"));
    ASSERT_TRUE(testenv::attendCondition([&] { return !w.etatPDA()->PDAConnecte; }, 5000));

    // Back in: the old file has its name again and no spare file is left.
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Faults", "UnplugAfterMoves", "0"), 0);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(testenv::attendCondition([&] { return w.etatPDA()->PDAConnecte; }, 5000));
    EXPECT_EQ(testenv::readFile(fs + "Windows/Blue.tsk"), ancien);
    EXPECT_EQ(QDir(fs + "Windows").entryList({QStringLiteral("~ovd*")}, QDir::Files), QStringList());
    EXPECT_EQ(QDir(fs).entryList({QStringLiteral("~ovd*")}, QDir::Files), QStringList());
    f.ferme();
    EXPECT_TRUE(f.prompts.exhausted());
}
