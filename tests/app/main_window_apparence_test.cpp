// The window's look driven from the options page: the form colour panels
// through the colour dialog, the uniform look, the gradient direction and
// the skin choice, kept in the options file across a restart.

#include "tests/support/fenetre_principale.h"

#include "apercu/apparence_principale.h"
#include "apercu/fond_fenetre.h"
#include "apercu/preview_hp.h"
#include "app/panneau_couleur.h"
#include "ui/options.h"
#include "theme/ini_file.h"
#include "tools/hls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using fenetretest::Fenetre;

namespace {

QImage tuileBarre(TOrvandel &w)
{
    auto *barre = w.findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    return barre ? barre->palette().brush(QPalette::Window).textureImage() : QImage();
}

PeintreFond *peintre(TOrvandel &w)
{
    return w.centralWidget()->findChild<PeintreFond *>(QStringLiteral("PeintreFond"));
}

// Opens the options page so that its controls can be clicked.
void montreOptions(Fenetre &f)
{
    auto *pages = f.trouve<QTabWidget>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.w.get()));
}

} // namespace

TEST(MainWindowApparence, AtCreationTheLookIsAppliedFromTheOptions)
{
    Fenetre f;
    const QString fichier = testenv::programDir() + QStringLiteral("/OptionsOVD.ini");
    IniFile ini;
    ini.writeInteger(QStringLiteral("Options"), QStringLiteral("CouleurFormInfG"), 0x00FF00); // green
    ini.writeInteger(QStringLiteral("Options"), QStringLiteral("CouleurFormSupD"), 0xFFFFFF);
    ini.writeInteger(QStringLiteral("Options"), QStringLiteral("GradientRG"), 2);
    ASSERT_TRUE(ini.save(fichier));
    TOrvandel &w = f.ouvre();

    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("CoulFormPnl"))->couleur(), TColor::fromValue(0x00FF00));
    EXPECT_TRUE(f.trouve<QRadioButton>(QStringLiteral("GradientRG2"))->isChecked());
    // The tile, the tool buttons and the background are in place.
    const QImage tuile = tuileBarre(w);
    ASSERT_EQ(tuile.size(), QSize(42, 48));
    EXPECT_EQ(w.contexte().apparence.derivees, CalculeCouleursFond(TColor::fromValue(0x00FF00)));
    ASSERT_TRUE(peintre(w));
    // Drawn at the first paint.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QImage fond = peintre(w)->image();
    ASSERT_FALSE(fond.isNull());
    // Direction "|": white at the top, green at the bottom-left.
    const QColor haut = fond.pixelColor(2, 1);
    EXPECT_GT(haut.red(), 200);
    EXPECT_GT(haut.blue(), 200);
    const QColor bas = fond.pixelColor(2, fond.height() - 2);
    EXPECT_LT(bas.red(), 60);
    EXPECT_GT(bas.green(), 150);

    // The tool bar shows the tile on screen, not a black band.
    auto *barre = f.trouve<QToolBar>(QStringLiteral("ToolBar1"));
    const QImage vue = barre->grab().toImage();
    const QColor coin = vue.pixelColor(vue.width() - 3, vue.height() / 2);
    EXPECT_EQ(coin.rgb(), tuile.pixelColor((vue.width() - 3) % 42, (vue.height() / 2) % 48).rgb())
        << qPrintable(coin.name());
}

TEST(MainWindowApparence, AFormColourFromTheDialogReachesTheOptionsTheToolBarAndTheBackground)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    montreOptions(f);
    auto *panneau = f.trouve<PanneauCouleur>(QStringLiteral("CoulFormPnl"));
    ASSERT_TRUE(panneau && panneau->isVisible());
    const QImage tuileAvant = tuileBarre(w);
    const int dessinsAvant = peintre(w)->nombreDessins();

    // Cancel changes nothing and draws nothing again.
    f.prompts.color(std::nullopt);
    QTest::mouseClick(panneau, Qt::LeftButton);
    const OptionsOVD avant = w.contexte().options;
    EXPECT_EQ(peintre(w)->nombreDessins(), dessinsAvant);
    EXPECT_EQ(tuileBarre(w), tuileAvant);

    const TColor rouge = TColor::fromValue(0x0000C0);
    f.prompts.color(rouge);
    QTest::mouseClick(panneau, Qt::LeftButton);
    EXPECT_TRUE(f.prompts.exhausted());
    EXPECT_EQ(panneau->couleur(), rouge);
    EXPECT_EQ(w.contexte().options.CouleurFormInfG, rouge);
    EXPECT_EQ(w.contexte().options.CouleurFormSupD, avant.CouleurFormSupD);
    EXPECT_EQ(w.contexte().apparence.derivees, CalculeCouleursFond(rouge));
    EXPECT_EQ(w.contexte().apparence.derivees.c0, ColorHLSToRGB(0, 60, 240));

    // The tool bar's tile follows the deep shade: mostly red now.
    const QImage tuile = tuileBarre(w);
    ASSERT_FALSE(tuile.isNull());
    EXPECT_NE(tuile, tuileAvant);
    EXPECT_EQ(tuile, w.contexte().apparence.BmpDegrade);
    const QColor milieu = tuile.pixelColor(20, 30);
    EXPECT_GT(milieu.red(), milieu.green() + 40);

    // The background picture was drawn again, from the red at the
    // bottom-left (direction "/") to white at the top-right.
    EXPECT_GT(peintre(w)->nombreDessins(), dessinsAvant);
    const QImage fond = peintre(w)->image();
    const QColor basGauche = fond.pixelColor(1, fond.height() - 2);
    EXPECT_GT(basGauche.red(), 150);
    EXPECT_LT(basGauche.green(), 60);
    const QColor hautDroit = fond.pixelColor(fond.width() - 2, 1);
    EXPECT_GT(hautDroit.green(), 200);

    // The swap box exchanges the two colours and draws again.
    QTest::mouseClick(f.trouve<QCheckBox>(QStringLiteral("InvCoulCB")), Qt::LeftButton);
    EXPECT_EQ(w.contexte().options.CouleurFormSupD, rouge);
    EXPECT_EQ(f.trouve<PanneauCouleur>(QStringLiteral("CoulFormSupDPnl"))->couleur(), rouge);
    EXPECT_EQ(w.contexte().options.CouleurFormInfG, avant.CouleurFormSupD);

    // Kept in the options file.
    f.ferme();
    OptionsOVD relues;
    FormatImages format;
    DossiersProgramme dossiers = f.dossiers;
    LitOptions(FichierOptions(dossiers), relues, format, dossiers);
    EXPECT_EQ(relues.CouleurFormSupD, rouge);
}

TEST(MainWindowApparence, WhileTheDropperIsDownAPanelTakesTheDropperColour)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    montreOptions(f);
    auto *pipette = f.trouve<PanneauCouleur>(QStringLiteral("Panel26"));
    auto *bouton = f.trouve<QToolButton>(QStringLiteral("PipetteSBtn"));
    ASSERT_TRUE(pipette && bouton);
    pipette->setCouleur(TColor::fromValue(0x40A000));
    bouton->setChecked(true);
    QTest::mouseClick(f.trouve<PanneauCouleur>(QStringLiteral("CoulFormSupDPnl")), Qt::LeftButton);
    EXPECT_EQ(w.contexte().options.CouleurFormSupD, TColor::fromValue(0x40A000));
    EXPECT_TRUE(f.prompts.exhausted()); // no colour dialog
}

TEST(MainWindowApparence, TheUniformLookHidesTheColourChoiceAndTheTile)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    montreOptions(f);
    const char *const caches[] = {"GradientRG", "CoulFormPnl", "CoulFormSupDPnl", "InvCoulCB"};
    for (const char *nom : caches)
        EXPECT_TRUE(f.trouve<QWidget>(QLatin1String(nom))->isVisible()) << nom;
    auto *unie = f.trouve<QCheckBox>(QStringLiteral("FicheUnieCB"));
    QTest::mouseClick(unie, Qt::LeftButton);
    EXPECT_TRUE(w.contexte().options.CoulFormUni);
    for (const char *nom : caches)
        EXPECT_FALSE(f.trouve<QWidget>(QLatin1String(nom))->isVisible()) << nom;
    EXPECT_TRUE(unie->isVisible());
    EXPECT_TRUE(tuileBarre(w).isNull());
    EXPECT_TRUE(peintre(w)->uniforme());

    // Off again: everything is back, the tile too.
    QTest::mouseClick(unie, Qt::LeftButton);
    EXPECT_FALSE(w.contexte().options.CoulFormUni);
    for (const char *nom : caches)
        EXPECT_TRUE(f.trouve<QWidget>(QLatin1String(nom))->isVisible()) << nom;
    EXPECT_FALSE(tuileBarre(w).isNull());

    // A restart in the uniform look starts with them hidden.
    QTest::mouseClick(unie, Qt::LeftButton);
    f.ferme();
    f.demarre();
    f.ouvre();
    montreOptions(f);
    EXPECT_TRUE(f.trouve<QCheckBox>(QStringLiteral("FicheUnieCB"))->isChecked());
    for (const char *nom : caches)
        EXPECT_FALSE(f.trouve<QWidget>(QLatin1String(nom))->isVisible()) << nom;
}

TEST(MainWindowApparence, TheGradientDirectionDrawsTheBackgroundAgain)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    montreOptions(f);
    f.prompts.color(TColor::fromValue(0x000000));
    QTest::mouseClick(f.trouve<PanneauCouleur>(QStringLiteral("CoulFormPnl")), Qt::LeftButton);
    // "/": the bottom-right corner lies half-way between black and white;
    // "|": it is the lower colour, black.
    const auto coinBasDroit = [&] {
        const QImage fond = peintre(w)->image();
        return fond.pixelColor(fond.width() - 2, fond.height() - 2);
    };
    const int dessins = peintre(w)->nombreDessins();
    EXPECT_GT(coinBasDroit().red(), 90);
    QTest::mouseClick(f.trouve<QRadioButton>(QStringLiteral("GradientRG2")), Qt::LeftButton);
    EXPECT_EQ(w.contexte().options.GradientRG, 2);
    EXPECT_GT(peintre(w)->nombreDessins(), dessins);
    EXPECT_LT(coinBasDroit().red(), 40);
}

TEST(MainWindowApparence, TheSkinChoiceIsKeptAcrossARestartAndTheSkinPreviewFollowsIt)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    montreOptions(f);
    auto *acer = f.trouve<QRadioButton>(QStringLiteral("SkinRG2"));
    ASSERT_TRUE(acer);
    EXPECT_TRUE(f.trouve<QRadioButton>(QStringLiteral("SkinRG0"))->isChecked());
    QTest::mouseClick(acer, Qt::LeftButton);
    EXPECT_EQ(w.contexte().options.Skin, 2);

    // The preview, once made, changes its skin at the click.
    TPreviewHP *apercu = nullptr;
    fenetretest::surFenetreModale([&](QWidget *fenetre) {
        apercu = qobject_cast<TPreviewHP *>(fenetre);
        if (apercu)
            apercu->reject();
    });
    w.PreviewSBtnClick();
    ASSERT_TRUE(apercu);
    EXPECT_EQ(apercu->NomSkin(), QStringLiteral("SKINACER"));
    QTest::mouseClick(f.trouve<QRadioButton>(QStringLiteral("SkinRG4")), Qt::LeftButton);
    EXPECT_EQ(apercu->NomSkin(), QStringLiteral("SKINJPGFEUILLES"));
    EXPECT_FALSE(apercu->skinPortrait().isNull());

    f.ferme();
    IniFile ini(FichierOptions(f.dossiers));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Options"), QStringLiteral("Skin"), -1), 4);
    f.demarre();
    TOrvandel &w2 = f.ouvre();
    EXPECT_EQ(w2.contexte().options.Skin, 4);
    EXPECT_TRUE(f.trouve<QRadioButton>(QStringLiteral("SkinRG4"))->isChecked());
}

TEST(MainWindowApparence, TheEmbossedFormatLabelsTurnRedWhileCreationIsDisabled)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const auto &systeme = w.contexte().CouleursSysteme;
    const QImage rouge = DessineEtiquetteRelief(QStringLiteral("Theme Format "), systeme[LegendeActive],
                                                TColor::fromValue(0x0000FF));
    const QImage normale = DessineEtiquetteRelief(QStringLiteral("Theme Format "), systeme[LegendeActive],
                                                  systeme[TexteLegendeInactive]);
    ASSERT_NE(rouge, normale);
    auto *creer = f.trouve<QToolButton>(QStringLiteral("CreerTBtn"));
    ASSERT_TRUE(creer);
    for (bool actif : {false, true, false}) {
        creer->setEnabled(actif);
        w.MajEtatCreation();
        for (const char *nom : {"PaintPanel1", "PaintPanel2"}) {
            auto *etiquette = f.trouve<QLabel>(QLatin1String(nom));
            ASSERT_TRUE(etiquette) << nom;
            const auto premult = [](const QImage &i) {
                return i.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            };
            EXPECT_TRUE(premult(etiquette->pixmap().toImage()) == premult(actif ? normale : rouge))
                << nom << actif;
        }
    }
    // Each sits just before its format label.
    auto *etiquette = f.trouve<QLabel>(QStringLiteral("PaintPanel1"));
    auto *format = f.trouve<QLabel>(QStringLiteral("FmtActuelLbl"));
    EXPECT_EQ(etiquette->parentWidget(), format->parentWidget());
    EXPECT_LT(etiquette->x(), format->x());
}
