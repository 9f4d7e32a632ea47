// The idle pass of the main window: what the working pictures, the format,
// UseStartImage and the device link allow, and the first pass's check of the
// pictures' sizes against the format.

#include "app/etat_commandes.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/gif_test_writer.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using fenetretest::Fenetre;

namespace {

std::array<bool, NbImagesTravail> presents(std::initializer_list<const char *> noms)
{
    std::array<bool, NbImagesTravail> p{};
    for (const char *nom : noms) {
        const auto &tous = NomsImagesTravail();
        const auto it = std::find(tous.begin(), tous.end(), QLatin1String(nom));
        EXPECT_NE(it, tous.end()) << nom;
        if (it != tous.end())
            p[size_t(it - tous.begin())] = true;
    }
    return p;
}

QColor couleurTexte(QLabel *l)
{
    return l->palette().color(QPalette::WindowText);
}

} // namespace

TEST(EtatCommandes, FormatFourTakesItsOwnPairsOnly)
{
    // Today landscape missing: no Today set, so no package unless Start only.
    const auto p = presents({"tdywater_240_320.gif", "stwater_240_320.gif", "stwater_320_240.gif"});
    EtatCommandes e = CalculeEtatCommandes(p, 4, false, true);
    EXPECT_FALSE(e.tdyDispo);
    EXPECT_TRUE(e.stDispo);
    EXPECT_FALSE(e.creer);
    EXPECT_FALSE(e.transfert);
    EXPECT_EQ(e.miniatures, (std::array<bool, 4>{true, true, false, true}));
    e = CalculeEtatCommandes(p, 4, true, true);
    EXPECT_TRUE(e.creer);
    EXPECT_TRUE(e.transfert);
    // UseStartImage hides the Today thumbnails.
    EXPECT_EQ(e.miniatures, (std::array<bool, 4>{false, true, false, true}));

    // The plain pictures and the format-5 pictures do not count in format 4.
    const auto autres = presents({"tdywater.gif", "stwater.gif", "tdywater_480_640.gif", "tdywater_640_480.gif",
                                  "stwater_480_640.gif", "stwater_640_480.gif"});
    e = CalculeEtatCommandes(autres, 4, false, true);
    EXPECT_FALSE(e.tdyDispo || e.stDispo || e.creer);
    EXPECT_EQ(e.miniatures, (std::array<bool, 4>{}));
    e = CalculeEtatCommandes(autres, 5, false, false);
    EXPECT_TRUE(e.tdyDispo && e.stDispo && e.creer);
    EXPECT_FALSE(e.transfert); // no device
    EXPECT_EQ(e.miniatures, (std::array<bool, 4>{true, true, true, true}));
}

TEST(EtatCommandes, SinglePictureFormatsUseThePlainNames)
{
    for (int format : {0, 1, 2, 3, 6, 7, 8}) {
        // Start only with UseStartImage: the package can be made.
        EtatCommandes e = CalculeEtatCommandes(presents({"stwater.gif"}), format, true, false);
        EXPECT_TRUE(e.creer) << format;
        EXPECT_EQ(e.miniatures, (std::array<bool, 4>{false, true, false, false})) << format;
        e = CalculeEtatCommandes(presents({"stwater.gif"}), format, false, false);
        EXPECT_FALSE(e.creer) << format;
        // Today alone is never enough.
        e = CalculeEtatCommandes(presents({"tdywater.gif"}), format, true, true);
        EXPECT_FALSE(e.creer || e.transfert) << format;
        EXPECT_EQ(e.miniatures, (std::array<bool, 4>{})) << format;
        e = CalculeEtatCommandes(presents({"tdywater.gif", "stwater.gif", "tdywater_320_240.gif"}), format, false,
                                 true);
        EXPECT_TRUE(e.creer && e.transfert) << format;
        EXPECT_EQ(e.miniatures, (std::array<bool, 4>{true, true, false, false})) << format;
    }
}

TEST(EtatCommandes, SizesMatchOnlyWhenAllFourDo)
{
    FormatImages f; // format 3: Today 640 x 588, Start 399 x 586
    EXPECT_TRUE(TaillesConformes({588, 640, 586, 399}, f));
    EXPECT_FALSE(TaillesConformes({640, 588, 586, 399}, f)); // width and height swapped
    EXPECT_FALSE(TaillesConformes({588, 640, -1, -1}, f));   // Start missing
    EXPECT_FALSE(TaillesConformes({588, 640, 586, 398}, f));
    FixeTailles(f, 2);
    EXPECT_FALSE(TaillesConformes({588, 640, 586, 399}, f));
}

TEST(MainWindowTempsLibre, PicturesListAndCommandsFollowTheFilesAndUseStartImage)
{
    Fenetre f;
    const QString d = f.dossiers.DossierAppli;
    gifecrit::ecritFichier(d + "stwater.gif", 40, 60, qRgb(200, 30, 30));
    TOrvandel &w = f.ouvre();
    auto *creer = f.trouve<QToolButton>("CreerTBtn");
    auto *sauveInf = f.trouve<QToolButton>("SauveInfTBtn");
    auto *taille = f.trouve<QPushButton>("TailleTskBtn");
    auto *feu = f.trouve<QLabel>("FeuImg");
    ASSERT_TRUE(creer && sauveInf && taille && feu);

    // The list shows which of the ten pictures exist.
    EXPECT_FALSE(f.trouve<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_TRUE(f.trouve<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_EQ(couleurTexte(f.trouve<QLabel>("FicLbl1")), QColor(0xFF, 0, 0));
    EXPECT_EQ(couleurTexte(f.trouve<QLabel>("FicLbl2")), QColor(0, 0x80, 0));
    EXPECT_EQ(f.trouve<QLabel>("FicLbl10")->text(), QStringLiteral("stwater_640_480.gif"));
    EXPECT_FALSE(f.trouve<QCheckBox>("TdyDispoCB")->isChecked());
    EXPECT_TRUE(f.trouve<QCheckBox>("StDispoCB")->isChecked());
    EXPECT_FALSE(creer->isEnabled());
    EXPECT_FALSE(sauveInf->isEnabled());
    EXPECT_TRUE(taille->isHidden());
    EXPECT_FALSE(feu->property("etatCreation").toBool());
    EXPECT_TRUE(f.trouve<QToolButton>("AddTextSBtn")->isHidden());

    // UseStartImage makes a Start-only theme: the package can be created,
    // the Today thumbnail goes.
    f.trouve<QTabWidget>("PageControl1")->setCurrentWidget(f.trouve<QWidget>("WM5TabS"));
    auto *usi = f.trouve<QCheckBox>("USIcb");
    QTest::mouseClick(usi, Qt::LeftButton, {}, QPoint(5, usi->height() / 2));
    EXPECT_TRUE(w.contexte().document.parametres().UseStartImageDefini);
    EXPECT_EQ(w.contexte().document.parametres().ValUseStartImage, 1);
    EXPECT_TRUE(creer->isEnabled());
    EXPECT_TRUE(sauveInf->isEnabled());
    EXPECT_FALSE(taille->isHidden());
    EXPECT_TRUE(feu->property("etatCreation").toBool());
    EXPECT_FALSE(f.trouve<QToolButton>("AddTextSBtn")->isHidden());
    EXPECT_TRUE(f.trouve<QLabel>("MinTD")->isHidden());
    EXPECT_FALSE(f.trouve<QLabel>("MinST")->isHidden());
    // A new theme is called "Theme" until it is renamed.
    EXPECT_EQ(creer->toolTip(), QStringLiteral("Create the Theme on the PC : \r\n")
                                    + w.contexte().dossiers.DossierTsk + QStringLiteral("Theme.tsk"));
    // No device: nothing to send to.
    EXPECT_FALSE(f.trouve<QToolButton>("TransfertTskTBtn")->isEnabled());

    // The Today picture arrives; UseStartImage off again.
    gifecrit::ecritFichier(d + "tdywater.gif", 40, 60, qRgb(200, 30, 30));
    QTest::mouseClick(usi, Qt::LeftButton, {}, QPoint(5, usi->height() / 2));
    EXPECT_FALSE(w.contexte().document.parametres().UseStartImageDefini);
    EXPECT_EQ(w.contexte().document.parametres().ValUseStartImage, 0);
    EXPECT_TRUE(creer->isEnabled());
    EXPECT_TRUE(f.trouve<QCheckBox>("TdyDispoCB")->isChecked());
    EXPECT_EQ(couleurTexte(f.trouve<QLabel>("FicLbl1")), QColor(0, 0x80, 0));
    w.imagesEnregistrees();
    EXPECT_FALSE(f.trouve<QLabel>("MinTD")->isHidden());
    EXPECT_FALSE(f.trouve<QFrame>("PanelTD")->isHidden());

    // The Start picture goes: nothing can be created any more.
    QFile::remove(d + "stwater.gif");
    w.TempsLibre();
    EXPECT_FALSE(creer->isEnabled());
    EXPECT_FALSE(sauveInf->isEnabled());
    EXPECT_FALSE(feu->property("etatCreation").toBool());
    EXPECT_TRUE(f.trouve<QLabel>("MinST")->isHidden());
    EXPECT_TRUE(f.trouve<QFrame>("PanelST")->isHidden());
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindowTempsLibre, CreateHintNamesThePackage)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        gifecrit::ecritFichier(f.dossiers.DossierAppli + nom, 40, 60, qRgb(200, 30, 30));
    TOrvandel &w = f.ouvre();
    w.contexte().document.setNomTheme(QStringLiteral("Night"));
    w.MajEtatCreation();
    EXPECT_EQ(f.trouve<QToolButton>("CreerTBtn")->toolTip(),
              QStringLiteral("Create the Theme on the PC : \r\n") + w.contexte().dossiers.DossierTsk
                  + QStringLiteral("Night.tsk"));
    EXPECT_EQ(f.trouve<QToolButton>("SauveInfTBtn")->toolTip(),
              QStringLiteral("Save File \r\n - Night.inf\r\n - Night.xml"));
}

TEST(MainWindowTempsLibre, CreateHintFollowsARenameAndTheSaveFolder)
{
    Fenetre f;
    for (const char *nom : {"tdywater.gif", "stwater.gif"})
        gifecrit::ecritFichier(f.dossiers.DossierAppli + nom, 40, 60, qRgb(200, 30, 30));
    TOrvandel &w = f.ouvre();
    auto *creer = f.trouve<QToolButton>("CreerTBtn");
    ASSERT_TRUE(creer->isEnabled());
    const auto bulle = [&](const QString &chemin) { return QStringLiteral("Create the Theme on the PC : \r\n") + chemin; };
    const QString dossier = w.contexte().dossiers.DossierTsk;
    EXPECT_EQ(creer->toolTip(), bulle(dossier + QStringLiteral("Theme.tsk")));

    // Typed: the hint names the package the command now writes.
    auto *nom = f.trouve<QLineEdit>("ThemeEdit");
    nom->setFocus();
    nom->selectAll();
    QTest::keyClicks(nom, QStringLiteral("Zima VGA"));
    EXPECT_EQ(creer->toolTip(), bulle(dossier + QStringLiteral("Zima VGA.tsk")));
    // Another save folder.
    const QString autre = testenv::tempDir() + QStringLiteral("/Paquets");
    ASSERT_TRUE(QDir().mkpath(autre));
    f.prompts.folder(autre);
    QTest::mouseClick(f.trouve<QPushButton>("ChangeDirBtn"), Qt::LeftButton);
    EXPECT_EQ(creer->toolTip(), bulle(autre + QStringLiteral("/Zima VGA.tsk")));
    // While the command cannot run it still says where its package goes.
    QFile::remove(f.dossiers.DossierAppli + "stwater.gif");
    w.TempsLibre();
    ASSERT_FALSE(creer->isEnabled());
    nom->selectAll();
    QTest::keyClicks(nom, QStringLiteral("Nuit"));
    EXPECT_EQ(creer->toolTip(), bulle(autre + QStringLiteral("/Nuit.tsk")));
    nom->clear();
    EXPECT_EQ(creer->toolTip(), QStringLiteral("Create the Theme on the PC"));
    EXPECT_TRUE(f.prompts.exhausted());
}

TEST(MainWindowTempsLibre, FirstPassWithPicturesOfTheFormatSaysNothing)
{
    Fenetre f;
    f.controleTailles = true;
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 640, 588, qRgb(200, 30, 30));
    gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 399, 586, qRgb(200, 30, 30));
    TOrvandel &w = f.ouvre();
    // Not before the window is on the screen.
    w.TempsLibre();
    EXPECT_TRUE(w.verifFormatEnAttente());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.TempsLibre();
    EXPECT_FALSE(w.verifFormatEnAttente());
    EXPECT_EQ(w.taillesImages(), (TaillesImagesMesurees{588, 640, 586, 399}));
    EXPECT_TRUE(f.prompts.messages.isEmpty());
    EXPECT_EQ(f.trouve<QTabWidget>("PageControl1")->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
    // The status bar's reminder stands there whatever the sizes.
    EXPECT_FALSE(f.trouve<QLabel>("StatusBar1Panel2")->isHidden());
}

TEST(MainWindowTempsLibre, FirstPassWithAMissingOrWrongPicturePointsToTheOptions)
{
    for (const bool manquante : {true, false}) {
        Fenetre f;
        f.controleTailles = true;
        gifecrit::ecritFichier(f.dossiers.DossierAppli + "tdywater.gif", 640, 588, qRgb(200, 30, 30));
        if (!manquante)
            gifecrit::ecritFichier(f.dossiers.DossierAppli + "stwater.gif", 400, 586, qRgb(200, 30, 30));
        TOrvandel &w = f.ouvre();
        auto *pages = f.trouve<QTabWidget>("PageControl1");
        EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
        EXPECT_FALSE(f.trouve<QLabel>("StatusBar1Panel2")->isHidden());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.TempsLibre();
        EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Adapt Theme format if needed !")}) << manquante;
        EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("OptionsTabS"));
        EXPECT_FALSE(w.contexte().animation.isPaused());
        // Only the first pass says it.
        pages->setCurrentWidget(f.trouve<QWidget>("CoulTabS"));
        w.TempsLibre();
        w.TempsLibre();
        EXPECT_EQ(f.prompts.messages.size(), 1);
        EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("CoulTabS"));
    }
}

TEST(MainWindowTempsLibre, FirstPassRunsFromTheTimerAfterTheWindowIsShown)
{
    Fenetre f;
    f.controleTailles = true;
    TOrvandel &w = f.ouvre();
    auto *minuterie = w.findChild<QTimer *>("MinuterieTempsLibre");
    ASSERT_TRUE(minuterie);
    EXPECT_TRUE(minuterie->isActive());
    EXPECT_GT(minuterie->interval(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.verifFormatEnAttente(); }, 5000));
    EXPECT_EQ(f.prompts.messages, QStringList{QStringLiteral("Adapt Theme format if needed !")});
}
