#include "app/commandes_couleurs.h"

#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"
#include "theme/animation_pause.h"
#include "theme/fichier_couleurs.h"

#include <gtest/gtest.h>

namespace {

QString fichierTravail() { return testenv::programDir() + QStringLiteral("/orvandelCoul.inf"); }

QByteArray sectionCouleurs(const QStringList &lignes)
{
    return ("[CouleursTSK]   ; x\r\n" + lignes.join(QStringLiteral("\r\n")) + "\r\n").toLatin1();
}

} // namespace

TEST(CommandesCouleurs, SaveAndLoadThroughTheButtonsKeepColoursCaptionsAndLeaveNamesAlone)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Mine"));
    doc.setCouleur(3, TColor::fromRgb(0x12, 0x34, 0x56));
    doc.setLibelle(4, QStringLiteral("66 Today Screen horizontal bars (Col 1)"));
    ScriptedPrompts prompts;
    AnimationPause pause;
    const CibleCommandesCouleurs cible{doc, prompts, testenv::programDir(), fichierTravail(), &pause};

    const QString copie = testenv::programDir() + QStringLiteral("/Mine coul.ini");
    prompts.saveFileName(copie);
    ASSERT_TRUE(SauveCoulTbtnClick(cible));
    ASSERT_EQ(prompts.fileDialogs.size(), 1);
    EXPECT_EQ(prompts.fileDialogs[0].fileName, QStringLiteral("Mine coul.ini"));
    EXPECT_EQ(prompts.fileDialogs[0].initialDir, testenv::programDir());
    EXPECT_EQ(prompts.fileDialogs[0].defaultSuffix, QStringLiteral("ini"));
    EXPECT_EQ(prompts.fileDialogs[0].filter, QStringLiteral("Colors File (*.ini)|*.ini"));
    EXPECT_FALSE(testenv::readFile(copie).contains("[NomTheme]"));

    ThemeDocument autre;
    autre.setNomTheme(QStringLiteral("Other"));
    autre.setNomInterne(QStringLiteral("OtherApp"));
    ParametresWM5 p;
    p.BaseHueDefini = true;
    autre.setParametres(p);
    const CibleCommandesCouleurs cible2{autre, prompts, testenv::programDir(), fichierTravail(), &pause};
    prompts.openFileName(copie);
    const auto r = ChargeCoulBtnClick(cible2);
    ASSERT_TRUE(r && r->ok);
    EXPECT_EQ(pause.count(), 0);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        EXPECT_EQ(autre.slot(i).couleur, doc.slot(i).couleur) << i;
        EXPECT_EQ(autre.slot(i).libelle, doc.slot(i).libelle) << i;
    }
    EXPECT_EQ(autre.nomTheme(), QStringLiteral("Other"));
    EXPECT_EQ(autre.nomInterne(), QStringLiteral("OtherApp"));
    EXPECT_TRUE(autre.parametres().BaseHueDefini);
    // The working file holds the whole theme with the loaded colours at once,
    // for a start that follows without a close.
    EXPECT_NE(testenv::readFile(fichierTravail()), testenv::readFile(copie));
    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, fichierTravail(), true).ok);
    EXPECT_EQ(relu.nomTheme(), QStringLiteral("Other"));
    EXPECT_EQ(relu.nomInterne(), QStringLiteral("OtherApp"));
    EXPECT_TRUE(relu.parametres().BaseHueDefini);
    EXPECT_TRUE(relu.jeuCouleurs() == autre.jeuCouleurs());
}

TEST(CommandesCouleurs, LoadingAFileThatIsNotAColourSetKeepsTheWorkingFile)
{
    const QByteArray travail = sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")});
    testenv::writeFile(fichierTravail(), travail);
    const QString mauvais = testenv::programDir() + QStringLiteral("/bad.ini");
    testenv::writeFile(mauvais, sectionCouleurs({QStringLiteral("coul05 = zz,02,03,00")}));

    ThemeDocument doc;
    ScriptedPrompts prompts;
    const CibleCommandesCouleurs cible{doc, prompts, testenv::programDir(), fichierTravail(), nullptr};
    prompts.openFileName(mauvais);
    const auto r = ChargeCoulBtnClick(cible);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->ok);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("zz,02,03,00")));
    EXPECT_EQ(testenv::readFile(fichierTravail()), travail);
    EXPECT_EQ(doc.slot(0).couleur, JeuCouleurs::couleurDefaut(0));

    // Cancelling changes nothing either.
    prompts.openFileName(std::nullopt);
    EXPECT_FALSE(ChargeCoulBtnClick(cible).has_value());
}


// A pipe or a file too large chosen as the colour set: refused at once with
// a message naming it, the pipe never opened; nothing changes.
TEST(CommandesCouleurs, APipeOrAFileTooLargeIsRefusedAndChangesNothing)
{
    const QByteArray travail = sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")});
    testenv::writeFile(fichierTravail(), travail);
    const QString tube = testenv::tempDir() + QStringLiteral("/pipe coul.ini");
    testenv::TubeSurveille surveille(tube);
    ASSERT_TRUE(surveille.cree());
    const QString gros = testenv::tempDir() + QStringLiteral("/big coul.ini");
    testenv::writeFile(gros, sectionCouleurs({QStringLiteral("coul05 = 0A,0B,0C,00")})
                                 + QByteArray(TailleFichierCouleursMax, ' '));

    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Mine"));
    ScriptedPrompts prompts;
    const CibleCommandesCouleurs cible{doc, prompts, testenv::programDir(), fichierTravail(), nullptr};
    for (const QString &nom : {tube, gros}) {
        SCOPED_TRACE(nom.toStdString());
        prompts.messages.clear();
        prompts.openFileName(nom);
        const auto r = ChargeCoulBtnClick(cible);
        ASSERT_TRUE(r);
        EXPECT_FALSE(r->ok);
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].contains(nom)) << prompts.messages[0].toStdString();
        EXPECT_EQ(doc.slot(0).couleur, JeuCouleurs::couleurDefaut(0));
        EXPECT_EQ(testenv::readFile(fichierTravail()), travail);
    }
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("too large"))) << prompts.messages[0].toStdString();
    surveille.arrete();
    EXPECT_EQ(surveille.lecteurs(), 0);
}
