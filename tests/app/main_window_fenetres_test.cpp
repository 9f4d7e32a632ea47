// The windows the main window opens, driven through its real buttons: the
// image chooser and the text tool refresh the pictures they save, the hue
// calculator's Validate reaches the theme and the dropper, the size
// estimate, the skin preview, the screen capture keys, the about box and the
// site window, the help viewer, and the device browser, send-to-device and
// device information windows against the simulated device.

#include "tests/device/fenetres_appareil_support.h"
#include "tests/support/connexion_fenetre.h"
#include "tests/support/fenetre_principale.h"

#include "app/about_box.h"
#include "apercu/preview_hp.h"
#include "app/aide_html.h"
#include "app/capture_ecran.h"
#include "apercu/miniatures.h"
#include "app/panneau_couleur.h"
#include "app/zantiq_form.h"
#include "device/infos_pda.h"
#include "device/transfert_vers_ce.h"
#include "tools/choix_images.h"
#include "tools/hue_calc.h"
#include "tools/texte_sur_image.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;
using fenetrestest::noeud;
using fenetrestest::surModale;

namespace {

// A working picture of the given size (PNG bytes, as the picture tools may write them).
void ecritImage(const QString &chemin, QSize taille, QRgb couleur)
{
    QImage image(taille, QImage::Format_RGB32);
    image.fill(couleur);
    ASSERT_TRUE(image.save(chemin, "PNG"));
}

// A help viewer that records the topics asked for.
struct AideEnregistree : AideHtml
{
    QList<int> *rubriques;
    explicit AideEnregistree(QList<int> *r) : rubriques(r) {}
    void AfficheContexte(int id) override { *rubriques << id; }
    void AfficheSommaire() override {}
    void AfficheSujet(const QString &) override {}
    void AfficheMotCle(const QString &) override {}
    void SoftShutDown() override {}
};

} // namespace

TEST(MainWindowFenetres, ImageChooserSaveRefreshesTheThumbnailsAndTheCreateState)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString source = testenv::tempDir() + "/photo.png";
    ecritImage(source, QSize(500, 400), qRgb(200, 30, 30));
    f.prompts.openPictureName(source);
    auto *miniatureTD = w.miniatures()->miniature(0);
    EXPECT_TRUE(miniatureTD->isHidden());

    bool ouvert = false;
    surModale<TChoixImages>([&](TChoixImages *c) {
        ouvert = true;
        ASSERT_TRUE(QTest::qWaitFor([&] { return c->ImageChargee(); }, 5000));
        EXPECT_TRUE(w.contexte().animation.isPaused());
        QTest::mouseClick(c->findChild<QToolButton *>("SauverTBtn"), Qt::LeftButton);
        c->reject();
    });
    QTest::mouseClick(f.trouve<QPushButton>("ImgChoix"), Qt::LeftButton);
    ASSERT_TRUE(ouvert);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    const QString tdy = f.dossiers.DossierAppli + "tdywater.gif";
    ASSERT_TRUE(QFile::exists(tdy)) << f.prompts.messages.join('|').toStdString();
    // The window saw the new picture at once: listed, thumbnail shown, its size in the status bar.
    EXPECT_TRUE(f.trouve<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_FALSE(miniatureTD->isHidden());
    EXPECT_FALSE(w.miniatures()->imageMiniature(0).isNull());
    const QSize taille = QImage(tdy).size();
    EXPECT_TRUE(f.trouve<QLabel>("StatusBar1Panel0")
                    ->text()
                    .contains(QStringLiteral("%1x%2").arg(taille.width()).arg(taille.height())));
    // The toolbar button opens the same window.
    ouvert = false;
    surModale<TChoixImages>([&](TChoixImages *c) {
        ouvert = true;
        c->reject();
    });
    QTest::mouseClick(f.trouve<QToolButton>("ImageTBtn"), Qt::LeftButton);
    EXPECT_TRUE(ouvert);
    f.ferme();
}

TEST(MainWindowFenetres, HueCalculatorValidateSetsBaseHueTheMarkerAndTheDropper)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *image12 = f.trouve<QLabel>("Image12");
    EXPECT_TRUE(image12->isHidden());
    const TColor avant = f.trouve<PanneauCouleur>("Panel26")->couleur();

    QString capture;
    surModale<THueCalc>([&](THueCalc *h) {
        EXPECT_TRUE(w.contexte().animation.isPaused());
        // Shift + P in the calculator: the main window's capture, named after the calculator.
        QTest::keyClick(h, Qt::Key_P, Qt::ShiftModifier);
        capture = f.dossiers.DossierTempWin + "CaptureOVD01 (HueCalc).bmp";
        h->placeEtChoisit(50, 35);
        h->findChild<QCheckBox *>("BaseHueCB")->setChecked(true);
        h->findChild<QCheckBox *>("PipetteCB")->setChecked(true);
        h->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(capture)) << capture.toStdString();
    EXPECT_EQ(w.contexte().capture->CompteurCapture(), 2);

    const ParametresWM5 &p = w.contexte().document.parametres();
    EXPECT_TRUE(p.BaseHueDefini);
    EXPECT_TRUE(w.contexte().indicateurWM5);
    EXPECT_FALSE(image12->isHidden());
    EXPECT_NE(f.trouve<PanneauCouleur>("Panel26")->couleur(), avant);
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // A cancel changes nothing.
    const ParametresWM5 garde = p;
    surModale<THueCalc>([](THueCalc *h) {
        h->placeEtChoisit(120, 35);
        h->findChild<QPushButton *>("AnnulerBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("WM5Btn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.parametres(), garde);
    f.ferme();
}

TEST(MainWindowFenetres, SizeEstimateShowsThePictureAndHeaderBytes)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", QByteArray(10000, 'a'));
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", QByteArray(20000, 'b'));
    TOrvandel &w = f.ouvre();
    auto *taille = f.trouve<QPushButton>("TailleTskBtn");
    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("ImgTabS"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return taille->isVisible(); }, 2000));
    ASSERT_GE(w.contexte().document.format().FormatTheme, 0);
    ASSERT_FALSE(FormatImages::deuxOrientations(w.contexte().document.format().FormatTheme));
    QTest::mouseClick(taille, Qt::LeftButton);
    ASSERT_EQ(f.prompts.messages.size(), 1);
    const QStringList lignes = f.prompts.messages.first().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lignes.size(), 4);
    EXPECT_TRUE(lignes[0].startsWith(QStringLiteral("TSK Size : "))) << lignes[0].toStdString();
    EXPECT_EQ(lignes[1], QStringLiteral("Cab Header\t: 143 bytes")); // 3 members
    EXPECT_EQ(lignes[3], QStringLiteral("Img(s)\t\t: 30000 bytes"));
    // The total is the sum of its parts.
    const qint64 inf = lignes[2].section(QLatin1Char(':'), 1).section(QLatin1Char(' '), 1, 1).toLongLong();
    EXPECT_TRUE(lignes[0].startsWith(QStringLiteral("TSK Size : %1 bytes").arg(30000 + 143 + inf)));

    // Without the Start picture there is no package: the button goes away.
    QFile::remove(f.dossiers.DossierAppli + "stwater.gif");
    w.TempsLibre();
    EXPECT_FALSE(taille->isVisible());
    f.ferme();
}

TEST(MainWindowFenetres, ShiftPAndShiftJCaptureTheMainWindow)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(w.contexte().capture);
    QTest::keyClick(f.trouve<QToolButton>("CreerTBtn"), Qt::Key_P, Qt::ShiftModifier);
    const QString bmp = f.dossiers.DossierTempWin + "CaptureOVD01 (Orvandel).bmp";
    ASSERT_TRUE(QFile::exists(bmp));
    EXPECT_TRUE(testenv::readFile(bmp).startsWith("BM"));
    EXPECT_FALSE(QImage(bmp).isNull());
    QTest::keyClick(&w, Qt::Key_J, Qt::ShiftModifier);
    const QString jpg = f.dossiers.DossierTempWin + "CaptureOVD02 (Orvandel).jpg";
    ASSERT_TRUE(QFile::exists(jpg));
    EXPECT_TRUE(testenv::readFile(jpg).startsWith("\xFF\xD8"));
    // A capital P typed into the theme name is text, not a capture.
    auto *nom = f.trouve<QLineEdit>("ThemeEdit");
    nom->setFocus();
    QKeyEvent majP(QEvent::KeyPress, Qt::Key_P, Qt::ShiftModifier, QStringLiteral("P"));
    QApplication::sendEvent(nom, &majP);
    EXPECT_TRUE(nom->text().endsWith('P')) << nom->text().toStdString();
    EXPECT_EQ(w.contexte().capture->CompteurCapture(), 3);
    EXPECT_TRUE(f.prompts.messages.isEmpty());
    f.ferme();
}

TEST(MainWindowFenetres, AboutBoxAndSiteWindowOpenModallyWithTheAnimationPaused)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    for (const char *bouton : {"AproposBtn", "BlancTBtn"}) {
        QString classe;
        bool pause = false;
        fenetretest::surFenetreModale([&](QWidget *m) {
            classe = QString::fromLatin1(m->metaObject()->className());
            pause = w.contexte().animation.isPaused();
            EXPECT_EQ(m->parentWidget(), &w);
            qobject_cast<QDialog *>(m)->reject();
        });
        QTest::mouseClick(f.trouve<QToolButton>(bouton), Qt::LeftButton);
        EXPECT_EQ(classe, QString::fromLatin1(bouton == QByteArray("AproposBtn") ? "TAboutBox" : "TZantiqForm"));
        EXPECT_TRUE(pause) << bouton;
        EXPECT_FALSE(w.contexte().animation.isPaused()) << bouton;
    }
    f.ferme();
}

TEST(MainWindowFenetres, TextToolSaveRefreshesThePicturesAndKeepsItsOptions)
{
    Fenetre f;
    const QString tdy = f.dossiers.DossierAppli + "tdywater.gif";
    ecritImage(tdy, QSize(240, 320), qRgb(20, 40, 160));
    ecritImage(f.dossiers.DossierAppli + "stwater.gif", QSize(240, 320), qRgb(20, 160, 40));
    TOrvandel &w = f.ouvre();
    auto *texte = f.trouve<QToolButton>("AddTextSBtn");
    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("ImgTabS"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return texte->isVisible(); }, 2000));
    const QByteArray avant = testenv::readFile(tdy);
    const QImage miniatureAvant = w.miniatures()->imageMiniature(0);

    bool ouvert = false;
    surModale<TTexteSurImg>([&](TTexteSurImg *t) {
        ouvert = true;
        EXPECT_TRUE(w.contexte().animation.isPaused());
        auto *edit = t->findChild<QLineEdit *>("Edit1");
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("HELLO"));
        f.prompts.answer(Prompts::Answer::Yes); // overwrite
        QTest::mouseClick(t->findChild<QToolButton *>("SauverSBtn"), Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_TRUE(t->imageSauvee());
        f.prompts.answer(Prompts::Answer::Yes); // quit
        t->reject();
    });
    QTest::mouseClick(texte, Qt::LeftButton);
    ASSERT_TRUE(ouvert);
    EXPECT_NE(testenv::readFile(tdy), avant) << f.prompts.messages.join('|').toStdString();
    EXPECT_NE(w.miniatures()->imageMiniature(0), miniatureAvant);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    f.ferme();
}

TEST(MainWindowFenetres, TheDeviceBrowserOfTheSendWindowPlaysNoHintSound)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", fenetrestest::gif(24, 32, qRgb(200, 0, 0)));
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", fenetrestest::gif(30, 40, qRgb(0, 0, 200)));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    w.TempsLibre();
    auto *son = f.trouve<QToolButton>("SonSP");
    auto *transfert = f.trouve<QToolButton>("TransfertTskTBtn");
    ASSERT_TRUE(transfert->isEnabled());

    // Hint sounds on (the button not pressed), then off: after the browser the
    // handler is what the options say, whatever it was while the browser ran.
    for (const bool sons : {true, false}) {
        if (son->isChecked() == sons)
            son->click();
        ASSERT_EQ(w.sonDesBulles(), sons);
        bool pendant = true;
        int sonsPendant = -1;
        surModale<TTransfertVersCE>([&](TTransfertVersCE *t) {
            surModale<TArbreCE>([&](TArbreCE *a) {
                pendant = w.sonDesBulles();
                // The pointer entering a control with a hint in the browser: no sound.
                const qsizetype avant = f.prompts.sounds.size();
                auto *quitter = a->findChild<QToolButton *>(QStringLiteral("ToolButton1"));
                EXPECT_FALSE(quitter->toolTip().isEmpty());
                QEvent entre(QEvent::Enter);
                QApplication::sendEvent(quitter, &entre);
                sonsPendant = int(f.prompts.sounds.size() - avant);
                quitter->click();
            });
            t->findChild<QPushButton *>(QStringLiteral("DossierCEBtn"))->click();
            EXPECT_EQ(w.sonDesBulles(), sons);
            t->reject();
        });
        QTest::mouseClick(transfert, Qt::LeftButton);
        EXPECT_FALSE(pendant) << sons;
        EXPECT_EQ(sonsPendant, 0) << sons;
        EXPECT_EQ(w.sonDesBulles(), sons);
    }
    f.ferme();
}

TEST(MainWindowFenetres, SendToDeviceAndImportFromTheDevice)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + "tdywater.gif", fenetrestest::gif(24, 32, qRgb(200, 0, 0)));
    testenv::writeFile(f.dossiers.DossierAppli + "stwater.gif", fenetrestest::gif(30, 40, qRgb(0, 0, 200)));
    TOrvandel &w = f.ouvre();
    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    w.TempsLibre();
    auto *transfert = f.trouve<QToolButton>("TransfertTskTBtn");
    ASSERT_TRUE(transfert->isEnabled());
    w.contexte().document.setCouleur(3, TColor::fromRgb(0x12, 0x34, 0xAB));
    w.contexte().document.setInclus(3, true);

    // The theme built and copied into the device folder chosen in the browser.
    fenetrestest::envoieDansDossier(QStringLiteral("\\Storage Card"), QStringLiteral("Ocean"));
    QTest::mouseClick(transfert, Qt::LeftButton);
    const QString surAppareil = QString::fromLocal8Bit(dir) + "/fs/Storage Card/Ocean.tsk";
    ASSERT_TRUE(QFile::exists(surAppareil)) << f.prompts.messages.join('|').toStdString();
    EXPECT_TRUE(testenv::readFile(surAppareil).startsWith("MSCF"));
    EXPECT_FALSE(w.contexte().animation.isPaused());

    // Importing it back: the browser in package mode, the package opened.
    w.contexte().document.setNomTheme(QStringLiteral("Other"));
    w.contexte().document.setCouleur(3, TColor::fromRgb(1, 1, 1));
    QFile::remove(f.dossiers.DossierAppli + "tdywater.gif");
    surModale<TArbreCE>([](TArbreCE *a) {
        a->ConstruireArbreBtnClick();
        auto *vue = a->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
        QTreeWidgetItem *n = noeud(vue, QStringLiteral("\\Storage Card\\Ocean.tsk"));
        ASSERT_TRUE(n);
        vue->scrollToItem(n);
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(n).center());
        a->findChild<QToolButton *>(QStringLiteral("ValiderTBtn"))->click();
    });
    QTest::mouseClick(f.trouve<QToolButton>("LireTskCETBtn"), Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Ocean"));
    EXPECT_EQ(w.contexte().document.slot(3).couleur, TColor::fromRgb(0x12, 0x34, 0xAB));
    EXPECT_EQ(testenv::readFile(f.dossiers.DossierAppli + "tdywater.gif"), fenetrestest::gif(24, 32, qRgb(200, 0, 0)));
    // The device copy was removed from the work folder.
    EXPECT_FALSE(QFile::exists(f.dossiers.DossierTravail + "Ocean.tsk"));

    // Quitting the browser opens nothing and says so.
    surModale<TArbreCE>([](TArbreCE *a) { a->findChild<QToolButton *>(QStringLiteral("ToolButton1"))->click(); });
    QTest::mouseClick(f.trouve<QToolButton>("LireTskCETBtn"), Qt::LeftButton);
    EXPECT_EQ(f.prompts.messages.last(), QStringLiteral("No Tsk chosen !"));
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Ocean"));
    f.ferme();
}

TEST(MainWindowFenetres, SkinPreviewIsKeptCapturesTheMainWindowAndSkipsOneHelpRequest)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    QList<int> rubriques;
    w.setAide(std::make_unique<AideEnregistree>(&rubriques));
    auto *preview = f.trouve<QToolButton>("PreviewSBtn");
    TPreviewHP *premiere = nullptr;
    surModale<TPreviewHP>([&](TPreviewHP *p) {
        premiere = p;
        EXPECT_TRUE(w.contexte().animation.isPaused());
        QTest::keyClick(p, Qt::Key_J, Qt::ShiftModifier);
        p->reject();
    });
    QTest::mouseClick(preview, Qt::LeftButton);
    ASSERT_TRUE(premiere);
    EXPECT_FALSE(w.contexte().animation.isPaused());
    EXPECT_TRUE(QFile::exists(f.dossiers.DossierTempWin + "CaptureOVD01 (PreviewHP).jpg"));
    // The right click that closed it shows no help; the next one does.
    QTest::mouseClick(preview, Qt::RightButton);
    EXPECT_TRUE(rubriques.isEmpty());
    QTest::mouseClick(preview, Qt::RightButton);
    EXPECT_EQ(rubriques, QList<int>{1020});
    // The same window comes back.
    TPreviewHP *seconde = nullptr;
    surModale<TPreviewHP>([&](TPreviewHP *p) {
        seconde = p;
        p->reject();
    });
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_EQ(seconde, premiere);
    f.ferme();
}

TEST(MainWindowFenetres, DeviceInformationOpensOnlyWhenConnected)
{
    using namespace devsimtest;
    Controle c;
    const QByteArray dir = fenetretest::appareilPourFenetre(c);
    Fenetre f;
    TOrvandel &w = f.ouvre();
    w.WinVerTBtnClick();
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Not connected !")});

    ASSERT_TRUE(fenetretest::attendsConnexion(w, c, dir));
    for (const char *bouton : {"WinVerTBtn", "InfPDASBtn"}) {
        bool ouvert = false;
        surModale<TInfosPDA>([&](TInfosPDA *i) {
            ouvert = true;
            EXPECT_TRUE(w.contexte().animation.isPaused());
            i->reject();
        });
        QTest::mouseClick(f.trouve<QToolButton>(bouton), Qt::LeftButton);
        EXPECT_TRUE(ouvert) << bouton;
        EXPECT_FALSE(w.contexte().animation.isPaused());
    }
    EXPECT_EQ(f.prompts.messages.size(), 1) << f.prompts.messages.join('|').toStdString();
    f.ferme();
}
