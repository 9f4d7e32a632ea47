#include "ui/dossiers_programme.h"
#include "ui/fonctions_indep.h"
#include "app/orvandel_main_window.h"
#include "app/panneau_couleur.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/ini_file.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLockFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct Fenetre
{
    ScriptedPrompts prompts;
    DossiersProgramme dossiers;
    Demarrage demarrage;
    std::unique_ptr<TOrvandel> w;

    Fenetre()
    {
        demarrage = InitialisationUnite(dossiers, prompts);
        dossiers.DossierAppli = testenv::programDir() + QLatin1Char('/');
        dossiers.FichierCouleurs = FichierCouleursPour(dossiers.DossierAppli, QStringLiteral("/opt/orvandel"));
    }
    TOrvandel &ouvre()
    {
        w = std::make_unique<TOrvandel>(dossiers, &prompts);
        w->show();
        return *w;
    }
    template<typename T>
    T *trouve(const QString &nom)
    {
        return w->findChild<T *>(nom);
    }
};

} // namespace

TEST(MainWindow, ShowsTheTwentyTwoSlotsAndTheNames)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    for (int i = 1; i <= 22; ++i) {
        const QString n = QString::number(i);
        ASSERT_TRUE(f.trouve<PanneauCouleur>(QStringLiteral("Panel") + n)) << i;
        ASSERT_TRUE(f.trouve<QCheckBox>(QStringLiteral("CB") + n)) << i;
        ASSERT_TRUE(f.trouve<QLabel>(QStringLiteral("Label") + n)) << i;
    }
    EXPECT_EQ(f.trouve<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("05 Navigation Bar, Color 1"));
    EXPECT_EQ(f.trouve<QLabel>(QStringLiteral("Label22"))->text(), QStringLiteral("40 Tap-and-hold dots"));
    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("Panel1"))->couleur(), TColor::fromRgb(0x2E, 0x97, 0xE3));
    ASSERT_TRUE(f.trouve<QToolButton>(QStringLiteral("SauveCoulTbtn")));
    ASSERT_TRUE(f.trouve<QToolButton>(QStringLiteral("ChargeCoulTBtn")));
    ASSERT_TRUE(w.zoneOptionsFormat());
    EXPECT_TRUE(f.prompts.messages.isEmpty());

    // The view follows the document, and the name boxes feed it.
    w.contexte().document.setCouleur(21, TColor::fromRgb(0x01, 0x02, 0x03));
    w.contexte().document.setNomTheme(QStringLiteral("Sky"));
    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("Panel22"))->couleur(), TColor::fromRgb(0x01, 0x02, 0x03));
    EXPECT_EQ(f.trouve<QLineEdit>(QStringLiteral("ThemeEdit"))->text(), QStringLiteral("Sky"));
    auto *interne = f.trouve<QLineEdit>(QStringLiteral("ThemeAppEdt"));
    interne->setFocus();
    QTest::keyClicks(interne, QStringLiteral("App"));
    EXPECT_EQ(w.contexte().document.nomInterne(), QStringLiteral("App"));
}

TEST(MainWindow, ClickingAPanelAsksForAColourAndChangesTheDocument)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    auto *panneau = f.trouve<PanneauCouleur>(QStringLiteral("Panel5"));
    f.prompts.color(TColor::fromRgb(0xAA, 0x11, 0x22));
    QTest::mouseClick(panneau, Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.slot(4).couleur, TColor::fromRgb(0xAA, 0x11, 0x22));
    EXPECT_EQ(panneau->couleur(), TColor::fromRgb(0xAA, 0x11, 0x22));
    EXPECT_EQ(panneau->grab().toImage().pixel(panneau->width() / 2, panneau->height() / 2), qRgb(0xAA, 0x11, 0x22));

    // Cancelling keeps the colour.
    f.prompts.color(std::nullopt);
    QTest::mouseClick(panneau, Qt::LeftButton);
    EXPECT_EQ(w.contexte().document.slot(4).couleur, TColor::fromRgb(0xAA, 0x11, 0x22));
    EXPECT_TRUE(f.prompts.exhausted());
    EXPECT_FALSE(w.contexte().animation.isPaused());

    QTest::mouseClick(f.trouve<QCheckBox>(QStringLiteral("CB3")), Qt::LeftButton);
    EXPECT_TRUE(w.contexte().document.slot(2).inclus);
}

TEST(MainWindow, StartsFromTheWorkingColourFileAndSavesACopyFromItsButton)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.FichierCouleurs, "[CouleursTSK]   ; App\r\ncoul05 = 01,02,03,00;  x\r\n"
                                                   "[NomTheme]   ; \r\nNomFic = Night\r\nNomInterne = App\r\n"
                                                   "[WM5]\r\nDPI=2\r\n");
    TOrvandel &w = f.ouvre();
    EXPECT_EQ(f.trouve<QLineEdit>(QStringLiteral("ThemeEdit"))->text(), QStringLiteral("Night"));
    EXPECT_EQ(f.trouve<QLineEdit>(QStringLiteral("ThemeAppEdt"))->text(), QStringLiteral("App"));
    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("Panel1"))->couleur(), TColor::fromRgb(1, 2, 3));
    EXPECT_TRUE(w.contexte().document.parametres().DPIDefini);
    EXPECT_TRUE(w.contexte().indicateurWM5);

    const QString copie = testenv::programDir() + QStringLiteral("/Night coul.ini");
    f.prompts.saveFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>(QStringLiteral("SauveCoulTbtn")), Qt::LeftButton);
    EXPECT_TRUE(testenv::readFile(copie).startsWith("[CouleursTSK]   ; App\r\ncoul05 = 01,02,03,00;  Navigation Bar, Color 1\r\n"));

    w.contexte().document.setCouleur(0, TColor::fromRgb(9, 9, 9));
    f.prompts.openFileName(copie);
    QTest::mouseClick(f.trouve<QToolButton>(QStringLiteral("ChargeCoulTBtn")), Qt::LeftButton);
    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("Panel1"))->couleur(), TColor::fromRgb(1, 2, 3));
}

TEST(MainWindow, ABadWorkingColourFileIsReportedAndTheDefaultsStay)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.FichierCouleurs, "[CouleursTSK]\r\ncoul05 = X1,02,03,00\r\n");
    TOrvandel &w = f.ouvre();
    ASSERT_EQ(f.prompts.messages.size(), 1);
    EXPECT_TRUE(f.prompts.messages[0].contains(QStringLiteral("X1,02,03,00")));
    EXPECT_EQ(w.contexte().document.slot(0).couleur, TColor::fromRgb(0x2E, 0x97, 0xE3));
}

TEST(MainWindow, ClosingDeletesTheWorkFolderAndWritesTheOptionsFile)
{
    Fenetre f;
    ASSERT_EQ(f.demarrage.codeSortie, 0);
    const char *images[] = {"tdywater.gif",         "stwater.gif",          "stwater_240_320.gif",
                            "stwater_320_240.gif",  "stwater_480_640.gif",  "stwater_640_480.gif",
                            "tdywater_240_320.gif", "tdywater_320_240.gif", "tdywater_480_640.gif",
                            "tdywater_640_480.gif"};
    for (const char *nom : images)
        testenv::writeFile(f.dossiers.DossierAppli + QLatin1String(nom), "gif");
    // Pictures a format change put aside go too; a look-alike of the user's stays.
    const char *misesDeCote[] = {"tdywater_garde.gif", "stwater_garde.gif", "stwater_garde3.gif"};
    for (const char *nom : misesDeCote)
        testenv::writeFile(f.dossiers.DossierAppli + QLatin1String(nom), "gif");
    testenv::writeFile(f.dossiers.DossierAppli + QStringLiteral("other.gif"), "keep");
    testenv::writeFile(f.dossiers.DossierAppli + QStringLiteral("stwater_garde_old.gif"), "keep");

    TOrvandel &w = f.ouvre();
    w.contexte().document.setFormatTheme(5);
    QTest::mouseClick(f.trouve<QCheckBox>(QStringLiteral("EffacerCB")), Qt::LeftButton);
    ASSERT_TRUE(w.close());

    for (const char *nom : images)
        EXPECT_FALSE(QFileInfo::exists(f.dossiers.DossierAppli + QLatin1String(nom))) << nom;
    for (const char *nom : misesDeCote)
        EXPECT_FALSE(QFileInfo::exists(f.dossiers.DossierAppli + QLatin1String(nom))) << nom;
    EXPECT_TRUE(QFileInfo::exists(f.dossiers.DossierAppli + QStringLiteral("other.gif")));
    EXPECT_TRUE(QFileInfo::exists(f.dossiers.DossierAppli + QStringLiteral("stwater_garde_old.gif")));
    EXPECT_FALSE(QFileInfo::exists(f.dossiers.DossierThemeTmp));

    const IniFile ini(f.dossiers.DossierAppli + QStringLiteral("OptionsOVD.ini"));
    EXPECT_EQ(ini.keys(QStringLiteral("Options")),
              (QStringList{"DefautFmtTsk", "Dossier", "DossierImg", "DossierLitTSK", "Hints", "Sons", "Skin", "seLTD",
                           "seHTD", "seLST", "seHST", "CouleurFormInfG", "CouleurFormSupD", "GradientRG",
                           "CoulFormUni", "InterpolImg", "TypeImgSauver", "CouleurFond", "TskInfXmlRG",
                           "DossierSauveCapt"}));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Options"), QStringLiteral("DefautFmtTsk"), -1), 5);
    EXPECT_EQ(ini.readString(QStringLiteral("Options"), QStringLiteral("Dossier")), f.dossiers.DossierAppli);
    EXPECT_TRUE(f.prompts.messages.isEmpty());
}

TEST(MainWindow, ClosingWithoutTheEraseBoxKeepsTheWorkingPictures)
{
    Fenetre f;
    testenv::writeFile(f.dossiers.DossierAppli + QStringLiteral("tdywater.gif"), "gif");
    testenv::writeFile(f.dossiers.DossierAppli + QStringLiteral("OptionsOVD.ini"), "[Options]\r\nDefautFmtTsk=4\r\n");
    TOrvandel &w = f.ouvre();
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 4);
    ASSERT_TRUE(w.close());
    EXPECT_TRUE(QFileInfo::exists(f.dossiers.DossierAppli + QStringLiteral("tdywater.gif")));
    EXPECT_EQ(IniFile(f.dossiers.DossierAppli + QStringLiteral("OptionsOVD.ini"))
                  .readInteger(QStringLiteral("Options"), QStringLiteral("seLTD"), -1),
              240);
}
