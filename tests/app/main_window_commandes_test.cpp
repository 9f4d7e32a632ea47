// The main window's commands: context help, the theme name's keys, the slot
// selection, the save folder, the device commands and state icon, the
// device's colours for a package read while connected, and which commands
// each state enables.

#include "tests/support/attente.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/devsim_support.h"
#include "tests/support/fenetre_principale.h"

#include "app/aide_html.h"
#include "device/etat_pda.h"
#include "theme/fichier_couleurs.h"
#include "ui/options.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;

namespace {

struct AideEnregistree : AideHtml
{
    QList<int> *rubriques;
    int *sommaires;
    AideEnregistree(QList<int> *r, int *s) : rubriques(r), sommaires(s) {}
    void AfficheContexte(int id) override { *rubriques << id; }
    void AfficheSommaire() override { ++*sommaires; }
    void AfficheSujet(const QString &) override {}
    void AfficheMotCle(const QString &) override {}
    void SoftShutDown() override {}
};

// A package that defines slots 3 and 20 only, made through the window.
QString paquetPartiel()
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, QByteArray("GIF89a ") + nom);
    TOrvandel &w = f.ouvre();
    QTest::mouseClick(f.trouve<QPushButton>("DeSelALLSBtn"), Qt::LeftButton);
    for (int slot : {2, 19})
        w.contexte().document.setInclus(slot, true);
    w.contexte().document.setNomTheme(QStringLiteral("Partial"));
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::LeftButton);
    const QString paquet = w.contexte().dossiers.DossierTsk + QStringLiteral("Partial.tsk");
    EXPECT_TRUE(QFile::exists(paquet)) << f.prompts.messages.join('\n').toStdString();
    f.ferme();
    const QString copie = testenv::tempDir() + "/Partial.tsk";
    EXPECT_TRUE(QFile::copy(paquet, copie));
    return copie;
}

// Plugs a fresh simulated device into an open window and waits until the
// window is connected.
bool connecte(Fenetre &f, devsimtest::Controle &c, const QByteArray &dir)
{
    QSignalSpy spy(f.w->etatPDA()->DccMan.get(), &TDccMan::OnChange);
    if (!testenv::attendSignaux(spy, 1, 5000) || c.OvdSimPlug(dir.constData(), devsimtest::ip(169, 254, 2, 1)) != 1)
        return false;
    return QTest::qWaitFor([&] { return f.w->contexte().appareil.connecte; }, 5000);
}

// The commands that open their windows whatever the state.
const char *const kToujours[] = {"ImageTBtn", "ImgChoix",    "BlancTBtn",   "AproposBtn",
                                 "WM5Btn",    "TailleTskBtn", "AddTextSBtn", "PreviewSBtn"};
// The commands that need a connected device.
const char *const kAppareil[] = {"LireTskCETBtn", "WinVerTBtn", "InfPDASBtn"};

} // namespace

TEST(MainWindowCommandes, RightClickShowsTheControlsHelpTopicOnce)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QList<int> rubriques;
    int sommaires = 0;
    w.setAide(std::make_unique<AideEnregistree>(&rubriques, &sommaires));

    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::RightButton);
    EXPECT_EQ(rubriques, QList<int>{1008});
    // A left click on the dots shows their topic too; on a command it does not.
    QTest::mouseClick(f.trouve<QLabel>("Image8"), Qt::LeftButton);
    EXPECT_EQ(rubriques, (QList<int>{1008, 1026}));
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(2, 2), QPoint(2, 2));
    QApplication::sendEvent(f.trouve<QLineEdit>("ThemeEdit"), &menu);
    EXPECT_EQ(rubriques, (QList<int>{1008, 1026, 1002}));
    EXPECT_TRUE(menu.isAccepted());
    // The request that follows a right-button press shows nothing more.
    QContextMenuEvent souris(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
    QApplication::sendEvent(f.trouve<QToolButton>("CreerTBtn"), &souris);
    EXPECT_EQ(rubriques.size(), 3);

    QTest::mouseClick(f.trouve<QToolButton>("AideTBtn"), Qt::LeftButton);
    EXPECT_EQ(sommaires, 1);
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // Without a help viewer nothing happens.
    w.setAide(nullptr);
    QTest::mouseClick(f.trouve<QToolButton>("CreerTBtn"), Qt::RightButton);
    QTest::mouseClick(f.trouve<QToolButton>("AideTBtn"), Qt::LeftButton);
    EXPECT_EQ(rubriques.size(), 3);
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindowCommandes, ThemeNameRefusesFileNameCharactersWithABeep)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *edit = f.trouve<QLineEdit>("ThemeEdit");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("a:b"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab"));
    EXPECT_EQ(f.prompts.beeps, 1);
    QTest::keyClicks(edit, QStringLiteral("\"'*+,/;<=>?[\\]^|"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab"));
    EXPECT_EQ(f.prompts.beeps, 17);
    QTest::keyClicks(edit, QStringLiteral(" x-_.()&"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab x-_.()&"));
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("ab x-_.()&"));
}

TEST(MainWindowCommandes, SelectAllShowsEveryPanelAndDeselectHidesThem)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QTest::mouseClick(f.trouve<QPushButton>("SelALLBtn"), Qt::LeftButton);
    for (int n = 1; n <= 22; ++n) {
        const QString s = QString::number(n);
        EXPECT_TRUE(f.trouve<QCheckBox>("CB" + s)->isChecked()) << n;
        EXPECT_FALSE(f.trouve<QWidget>("Panel" + s)->isHidden()) << n;
        EXPECT_TRUE(f.trouve<QLabel>("Label" + s)->isEnabled()) << n;
        EXPECT_TRUE(w.contexte().document.slot(n - 1).inclus) << n;
    }
    QTest::mouseClick(f.trouve<QPushButton>("DeSelALLSBtn"), Qt::LeftButton);
    for (int n = 1; n <= 22; ++n) {
        const QString s = QString::number(n);
        EXPECT_TRUE(f.trouve<QWidget>("Panel" + s)->isHidden()) << n;
        EXPECT_FALSE(f.trouve<QLabel>("Label" + s)->isEnabled()) << n;
        EXPECT_FALSE(w.contexte().document.slot(n - 1).inclus) << n;
    }
    // One box brings back its own panel only.
    QTest::mouseClick(f.trouve<QCheckBox>("CB7"), Qt::LeftButton);
    EXPECT_FALSE(f.trouve<QWidget>("Panel7")->isHidden());
    EXPECT_TRUE(f.trouve<QWidget>("Panel8")->isHidden());
}

TEST(MainWindowCommandes, SaveFolderIsChosenAndShown)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString dossier = testenv::tempDir() + "/themes";
    QDir().mkpath(dossier);
    f.prompts.folder(dossier);
    QTest::mouseClick(f.trouve<QPushButton>("ChangeDirBtn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().dossiers.DossierTsk, dossier + "/");
    EXPECT_EQ(f.trouve<QLineEdit>("DossierEdit")->toolTip(), dossier + "/");
    // A cancel keeps it.
    f.prompts.folder(std::nullopt);
    QTest::mouseClick(f.trouve<QToolButton>("ChangeDirTBtn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().dossiers.DossierTsk, dossier + "/");
    EXPECT_TRUE(f.prompts.exhausted());
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // A long path is shortened in the middle to fit.
    const QString longue = "/" + QString(300, 'x') + "/fin/";
    const QString court = w.AffDossier(longue);
    EXPECT_LT(court.size(), longue.size());
    EXPECT_TRUE(court.contains(QChar(0x2026)));
    EXPECT_TRUE(court.endsWith("fin/"));
}

// A folder whose name holds a line break cannot be kept in the options file:
// it is refused with a message and the save folder stays as it was, in the
// window and at the next start.
TEST(MainWindowCommandes, ASaveFolderWithALineBreakIsRefused)
{
    const QString dossier = testenv::tempDir() + "/themes/";
    QDir().mkpath(dossier);
    {
        Fenetre f;
        TOrvandel &w = f.ouvre();
        f.prompts.folder(dossier);
        QTest::mouseClick(f.trouve<QPushButton>("ChangeDirBtn"), Qt::LeftButton);
        ASSERT_EQ(w.contexte().dossiers.DossierTsk, dossier);
        for (const QString &piege : {QString(testenv::tempDir() + "/a\nDefautFmtTsk=5"),
                                     QString(testenv::tempDir() + "/b\r")}) {
            ASSERT_TRUE(QDir().mkpath(piege));
            f.prompts.folder(piege);
            QTest::mouseClick(f.trouve<QToolButton>("ChangeDirTBtn"), Qt::LeftButton);
            EXPECT_EQ(f.prompts.messages, QStringList{MessageDossierSurPlusieursLignes(piege)});
            EXPECT_TRUE(f.prompts.messages.value(0).contains("line break"));
            f.prompts.messages.clear();
            EXPECT_EQ(w.contexte().dossiers.DossierTsk, dossier);
            EXPECT_EQ(f.trouve<QLineEdit>("DossierEdit")->toolTip(), dossier);
        }
        EXPECT_TRUE(f.prompts.exhausted());
        ASSERT_TRUE(w.close());
    }
    // The next start: the folder chosen before, the format of the file.
    Fenetre f;
    TOrvandel &w = f.ouvre();
    EXPECT_EQ(w.contexte().dossiers.DossierTsk, dossier);
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 3);
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindowCommandes, CommandsFollowTheirEnablingRules)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        testenv::writeFile(f.dossiers.DossierAppli + nom, "GIF89a");
    TOrvandel &w = f.ouvre();
    auto *transfert = f.trouve<QAbstractButton>("TransfertTskTBtn");
    ASSERT_TRUE(transfert);
    for (const char *nom : kToujours) {
        auto *b = f.trouve<QAbstractButton>(nom);
        ASSERT_TRUE(b) << nom;
        EXPECT_TRUE(b->isEnabled()) << nom;
    }
    for (const char *nom : kAppareil) {
        auto *b = f.trouve<QAbstractButton>(nom);
        ASSERT_TRUE(b) << nom;
        EXPECT_FALSE(b->isEnabled() && !b->isHidden()) << nom;
    }
    EXPECT_FALSE(transfert->isEnabled());

    ASSERT_TRUE(connecte(f, c, dir));
    w.TempsLibre();
    EXPECT_TRUE(transfert->isEnabled());
    for (const char *nom : kAppareil) {
        auto *b = f.trouve<QAbstractButton>(nom);
        EXPECT_TRUE(b->isEnabled() && !b->isHidden()) << nom;
    }
    // Sending needs the pictures that make a package.
    QFile::remove(f.dossiers.DossierAppli + "stwater.gif");
    w.TempsLibre();
    EXPECT_TRUE(f.trouve<QAbstractButton>("LireTskCETBtn")->isEnabled());
    EXPECT_FALSE(transfert->isEnabled());
    f.ferme();
}

TEST(MainWindowCommandes, DeviceStateShowsItsIconAndEnablesTheDeviceCommands)
{
    using namespace devsimtest;
    const QString paquet = paquetPartiel();
    ASSERT_FALSE(HasFailure());
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *tskAct = f.trouve<QToolButton>("TskActSBtn");
    auto *taskActLbl = f.trouve<QLabel>("TaskActLbl");
    auto *infPDA = f.trouve<QToolButton>("InfPDASBtn");
    ASSERT_TRUE(tskAct && taskActLbl && infPDA);
    EXPECT_FALSE(tskAct->isEnabled());
    EXPECT_FALSE(taskActLbl->isEnabled());
    EXPECT_TRUE(infPDA->isHidden());

    QSignalSpy spy(w.etatPDA()->DccMan.get(), &TDccMan::OnChange);
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));
    EXPECT_EQ(w.iconeEtatAS(), 15); // listening
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.contexte().appareil.connecte; }, 5000));
    EXPECT_EQ(w.iconeEtatAS(), 11);
    EXPECT_TRUE(tskAct->isEnabled());
    EXPECT_TRUE(taskActLbl->isEnabled());
    EXPECT_FALSE(infPDA->isHidden());

    // The device's current theme ("\\Windows\\Blue.tsk"): absent, the user
    // is told and the theme stays.
    ASSERT_TRUE(QFile::remove(QString::fromLocal8Bit(dir) + "/fs/Windows/Blue.tsk"));
    w.contexte().document.setNomTheme(QStringLiteral("Before"));
    QTest::mouseClick(tskAct, Qt::LeftButton);
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("\\Windows\\Blue.tsk is not on the Pocket PC !")});
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Before"));
    f.prompts.messages.clear();
    // Present: it is copied, opened and the copy removed; the colours show.
    ASSERT_TRUE(QFile::copy(paquet, QString::fromLocal8Bit(dir) + "/fs/Windows/Blue.tsk"));
    f.trouve<QTabWidget>("PageControl1")->setCurrentIndex(0);
    QTest::mouseClick(tskAct, Qt::LeftButton);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('\n').toStdString();
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Blue"));
    EXPECT_TRUE(w.contexte().document.slot(19).inclus);
    EXPECT_FALSE(QFile::exists(f.dossiers.DossierTravail + "Blue.tsk"));
    EXPECT_EQ(f.trouve<QTabWidget>("PageControl1")->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
    EXPECT_FALSE(w.contexte().animation.isPaused());

    const int avant = spy.count();
    ASSERT_EQ(c.OvdSimUnplug(dir.constData()), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, avant + 2, 5000));
    EXPECT_FALSE(w.contexte().appareil.connecte);
    EXPECT_FALSE(tskAct->isEnabled());
    EXPECT_TRUE(infPDA->isHidden());
    EXPECT_EQ(w.iconeEtatAS(), 15);
    f.ferme();
}

TEST(MainWindowCommandes, StateIconsByStatus)
{
    EXPECT_EQ(TOrvandel::IconeEtatPour(1, 3), 11);
    for (int s : {2, 4, 8})
        EXPECT_EQ(TOrvandel::IconeEtatPour(s, 3), 12) << s;
    EXPECT_EQ(TOrvandel::IconeEtatPour(5, 3), 16);
    EXPECT_EQ(TOrvandel::IconeEtatPour(6, 3), 15);
    EXPECT_EQ(TOrvandel::IconeEtatPour(7, 3), 17);
    for (int s : {-1, 0, 3, 9})
        EXPECT_EQ(TOrvandel::IconeEtatPour(s, 14), 14) << s;
}

TEST(MainWindowCommandes, DevicePackageReadNeedsAPathAndAConnection)
{
    qputenv("ORVANDEL_RAPI", (testenv::tempDir() + "/absent/librapi.so").toLocal8Bit());
    Fenetre f;
    TOrvandel &w = f.ouvre();
    w.LitTskPDA(QString());
    w.LitTskPDA(QStringLiteral("\\Windows\\Night.tsk"));
    EXPECT_EQ(f.prompts.messages, (QStringList{"No Tsk chosen !", "Not connected !"}));
    // The device information without a device.
    w.WinVerTBtnClick();
    EXPECT_EQ(f.prompts.messages.last(), QStringLiteral("Not connected !"));
}

TEST(MainWindowCommandes, PackageReadWhileConnectedTakesTheDevicesColoursForUndefinedSlots)
{
    using namespace devsimtest;
    const QString copie = paquetPartiel();
    ASSERT_FALSE(HasFailure());

    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    // Not connected yet: the reader's own defaults.
    w.LitTsk(copie);
    QString coul = QString::fromLatin1(testenv::readFile(f.dossiers.FichierCouleurs));
    EXPECT_EQ(coul.count(QStringLiteral("(Added)")), 20);
    EXPECT_EQ(coul.count(QStringLiteral("(SHColor)")), 0);

    ASSERT_TRUE(connecte(f, c, dir));
    w.LitTsk(copie);
    coul = QString::fromLatin1(testenv::readFile(f.dossiers.FichierCouleurs));
    EXPECT_EQ(coul.count(QStringLiteral("(SHColor)")), 20);
    EXPECT_EQ(coul.count(QStringLiteral("(Added)")), 0);
    EXPECT_TRUE(w.contexte().document.slot(2).inclus);
    EXPECT_FALSE(w.contexte().document.slot(0).inclus);
    f.ferme();
}

TEST(MainWindowCommandes, ADeviceReadThatNeverStartsKeepsTheSetupTextPageAndOneThatFailsHidesIt)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *infS = f.trouve<QToolButton>("InfSBtn");
    const QString paquet = testenv::tempDir() + QStringLiteral("/Blue.tsk");
    ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(dir) + QStringLiteral("/fs/Windows/Blue.tsk"), paquet));
    w.LitTsk(paquet);
    ASSERT_TRUE(w.ongletInfVisible());
    ASSERT_FALSE(infS->isHidden());
    const auto pageIntacte = [&](const char *quoi) {
        EXPECT_TRUE(w.ongletInfVisible()) << quoi;
        EXPECT_FALSE(infS->isHidden()) << quoi;
        EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Blue")) << quoi;
    };

    // Not connected: no path, a path.
    w.LitTskPDA(QString());
    pageIntacte("no path");
    w.LitTskPDA(QStringLiteral("\\Windows\\Blue.tsk"));
    pageIntacte("not connected");
    ASSERT_TRUE(connecte(f, c, dir));
    // A file the device lacks, a name that is no file name, a device without
    // a current theme.
    w.LitTskPDA(QStringLiteral("\\Temp\\absent.tsk"));
    pageIntacte("missing file");
    w.LitTskPDA(QStringLiteral("\\Temp\\.."));
    pageIntacte("no file name");
    // (a number where the path of the current theme should be)
    ASSERT_GE(c.OvdSimSetDword(dir.constData(), "HKCU\\Software\\Microsoft\\Today", "Skin", 0), 0);
    QTest::mouseClick(f.trouve<QToolButton>("TskActSBtn"), Qt::LeftButton);
    pageIntacte("no current theme");
    ASSERT_EQ(f.prompts.messages.size(), 5) << f.prompts.messages.join('|').toStdString();

    // A file the reader refuses: the read ran, the page goes.
    testenv::writeFile(QString::fromLocal8Bit(dir) + QStringLiteral("/fs/Temp/Casse.tsk"), "not a cabinet");
    w.LitTskPDA(QStringLiteral("\\Temp\\Casse.tsk"));
    EXPECT_FALSE(w.ongletInfVisible());
    EXPECT_TRUE(infS->isHidden());
    EXPECT_EQ(f.prompts.messages.last(), QStringLiteral("Extracting Files Error (Cab error)"));
    f.ferme();
}
