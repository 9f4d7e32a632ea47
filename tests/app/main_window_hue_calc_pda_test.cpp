// The hue calculator's live preview through the real windows and the
// simulated device, with the cable pulled in the middle.

#include "device/etat_pda.h"
#include "tests/support/attente.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/devsim_support.h"
#include "tests/support/etat_appareil.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/gif_test_writer.h"
#include "tools/hue_calc.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

// The fault as a user met it: "PDA Interaction" ticked and a hue picked (the
// device shows it), unplug, OK on "Disconnected", plug back, Cancel with
// "Restore" ticked. The device's registry and pictures are as before the
// preview, and the saved copy of its own picture is gone.
TEST(MainWindowHueCalcPda, PreviewUnplugPlugCancelPutsTheDeviceBack)
{
    devsimtest::Controle c;
    const QByteArray dir = devsimtest::nouvelAppareil(c);
    const QString dossier = QString::fromLocal8Bit(dir);
    testenv::writeFile(dossier + "/fs/Windows/tdywater.gif", "DEVICE-TODAY");
    const std::vector<QRgb> palette{qRgb(200, 30, 40), qRgb(20, 90, 210)};
    const QByteArray notreToday = gifecrit::ecrit(24, 32, palette, {gifecrit::uni(24, 32, 0, 1, 2, 2, 8, 8, 0)});
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", notreToday);
    testenv::writeFile(testenv::programDir() + "/stwater.gif",
                       gifecrit::ecrit(24, 32, palette, {gifecrit::uni(24, 32, 1, 0, 4, 4, 8, 8, 0)}));
    const devsimtest::EtatAppareil avant = devsimtest::litEtatAppareil(dossier);
    const QString today = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Today");
    ASSERT_EQ(devsimtest::valeurAppareil(avant, today, "DPI"), QStringLiteral("\"DPI\"=dword:00000060"));
    ASSERT_FALSE(avant.images.contains("stwater.gif"));

    qputenv("ORVANDEL_RAPI", devsimtest::cheminSimulateur().toLocal8Bit());
    fenetretest::Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    const QString sauvegarde = f.dossiers.DossierTravail + QStringLiteral("SauveTDPDA.gif");
    bool vu = false;
    fenetretest::surFenetreModale([&](QWidget *m) {
        auto *h = qobject_cast<THueCalc *>(m);
        ASSERT_TRUE(h);
        vu = true;
        auto *actif = h->findChild<QCheckBox *>("ActifSurPDACb");
        QTest::mouseClick(actif, Qt::LeftButton, {}, QPoint(8, actif->height() / 2));
        ASSERT_TRUE(actif->isChecked());
        QTest::mousePress(h->echellesImg(), Qt::LeftButton, {}, QPoint(20 + 92, 40));
        QTest::mouseRelease(h->echellesImg(), Qt::LeftButton, {}, QPoint(20 + 92, 40));
        ASSERT_EQ(h->hueK(), 0x15C);
        const QString couleurs = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color");
        ASSERT_TRUE(testenv::attendCondition(
            [&] {
                return devsimtest::valeurAppareil(devsimtest::litEtatAppareil(dossier), couleurs, "BaseHue")
                       == QStringLiteral("\"BaseHue\"=dword:0000015c");
            },
            5000));
        const devsimtest::EtatAppareil apercu = devsimtest::litEtatAppareil(dossier);
        EXPECT_EQ(apercu.images.value("tdywater.gif"), notreToday);
        EXPECT_TRUE(apercu.images.contains("stwater.gif"));
        EXPECT_TRUE(devsimtest::valeurAppareil(apercu, today, "DPI").isEmpty());
        EXPECT_EQ(testenv::readFile(sauvegarde), "DEVICE-TODAY");

        ASSERT_GE(c.OvdSimUnplug(dir.constData()), 0);
        ASSERT_TRUE(testenv::attendCondition([&] { return !w.etatPDA()->PDAConnecte; }, 5000));
        EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Disconnected")});
        ASSERT_GE(c.OvdSimPlug(dir.constData(), devsimtest::ip(169, 254, 2, 1)), 0);
        ASSERT_TRUE(testenv::attendCondition([&] { return w.etatPDA()->PDAConnecte; }, 5000));
        EXPECT_TRUE(h->findChild<QWidget *>("VoirSurPDAPnl")->isVisible());
        EXPECT_TRUE(actif->isChecked());
        EXPECT_TRUE(actif->isEnabled());
        EXPECT_TRUE(h->findChild<QCheckBox *>("RestaurerCB")->isChecked());
        h->findChild<QPushButton *>("AnnulerBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton);
    ASSERT_TRUE(vu);
    EXPECT_EQ(devsimtest::litEtatAppareil(dossier), avant);
    EXPECT_FALSE(QFile::exists(sauvegarde));
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Disconnected")});
    EXPECT_TRUE(f.prompts.questions.isEmpty());
    EXPECT_FALSE(QDir(testenv::programDir() + "/DeviceBackup").exists());
    f.ferme();
}

// The program killed during a live preview, after its first device writes
// (the calculator and the main window gone without their close): the next
// start clears its work folder, but the restore point stays under the
// program folder; the device's connection offers it back, and Yes puts the
// device back byte for byte.
TEST(MainWindowHueCalcPda, APreviewKilledIsPutBackAtTheNextStartsConnection)
{
    devsimtest::Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    const QString dossier = QString::fromLocal8Bit(dir);
    testenv::writeFile(dossier + "/fs/Windows/tdywater.gif", "DEVICE-TODAY");
    testenv::writeFile(testenv::programDir() + "/tdywater.gif", "OUR-TODAY");
    testenv::writeFile(testenv::programDir() + "/stwater.gif", "OUR-START");
    const devsimtest::EtatAppareil avant = devsimtest::litEtatAppareil(dossier);

    fenetretest::Fenetre f;
    {
        TOrvandel &w = f.ouvre();
        ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
        SourcesHueCalc sources;
        sources.dossierAppli = f.dossiers.DossierAppli;
        sources.dossierTravail = f.dossiers.DossierTravail;
        sources.pda = const_cast<EtatPDA *>(w.etatPDA());
        ThemeDocument doc;
        // Opened over the main window, as its hue command opens it.
        auto calc = std::make_unique<THueCalc>(doc, sources, f.prompts, &w);
        calc->show();
        auto *actif = calc->findChild<QCheckBox *>("ActifSurPDACb");
        ASSERT_TRUE(actif->isEnabled());
        actif->click();
        calc->placeEtChoisit(100, 35);
        const QString couleurs = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Color");
        ASSERT_TRUE(testenv::attendCondition(
            [&] {
                return devsimtest::valeurAppareil(devsimtest::litEtatAppareil(dossier), couleurs, "BaseHue")
                       == QStringLiteral("\"BaseHue\"=dword:00000164");
            },
            5000));
        calc.reset();
        f.w.reset();
    }
    const devsimtest::EtatAppareil apercu = devsimtest::litEtatAppareil(dossier);
    ASSERT_NE(apercu, avant);
    ASSERT_EQ(testenv::readFile(dossier + "/fs/Windows/tdywater.gif"), "OUR-TODAY");
    ASSERT_GE(c.OvdSimUnplug(dir.constData()), 0);

    // The next start: the work folder is made anew.
    f.demarre();
    EXPECT_FALSE(QFile::exists(f.dossiers.DossierTravail + QStringLiteral("SauveTDPDA.gif")));
    f.prompts.answer(Prompts::Answer::Yes);
    TOrvandel &w = f.ouvre();
    // Never asked over another window waiting for an answer.
    auto modale = std::make_unique<QDialog>(&w);
    modale->setModal(true);
    modale->show();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    QTest::qWait(800);
    EXPECT_TRUE(f.prompts.questions.isEmpty());
    EXPECT_EQ(devsimtest::litEtatAppareil(dossier), apercu);
    modale.reset();
    // Asked by the idle pass, once the start has said its own message.
    ASSERT_TRUE(testenv::attendCondition([&] { return !f.prompts.questions.isEmpty(); }, 5000));
    ASSERT_EQ(f.prompts.questions.size(), 1);
    EXPECT_TRUE(f.prompts.questions[0].contains("Put the device back as it was before the preview?"));
    EXPECT_EQ(devsimtest::litEtatAppareil(dossier), avant);
    EXPECT_EQ(f.prompts.messages, QStringList{"The device was put back as it was before the preview."});
    EXPECT_FALSE(QDir(testenv::programDir() + "/DeviceBackup").exists());

    // The calculator opened afterwards asks nothing more.
    bool vu = false;
    fenetretest::surFenetreModale([&](QWidget *m) {
        vu = qobject_cast<THueCalc *>(m) != nullptr;
        qobject_cast<QDialog *>(m)->reject();
    });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton);
    EXPECT_TRUE(vu);
    EXPECT_EQ(f.prompts.questions.size(), 1);
    f.ferme();
}
