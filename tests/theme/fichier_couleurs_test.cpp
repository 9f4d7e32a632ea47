#include "theme/animation_pause.h"
#include "theme/commandes_couleurs.h"
#include "theme/fichier_couleurs.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QString fichierTravail() { return testenv::programDir() + QStringLiteral("/orvandelCoul.inf"); }

QByteArray sectionCouleurs(const QStringList &lignes)
{
    return ("[CouleursTSK]   ; x\r\n" + lignes.join(QStringLiteral("\r\n")) + "\r\n").toLatin1();
}

} // namespace

TEST(FichierCouleurs, WritesTheExactBytesWithAndWithoutNames)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Été bleu"));
    doc.setCouleur(1, TColor::fromRgb(0xAB, 0x01, 0xCD));
    const QString f = testenv::programDir() + QStringLiteral("/a coul.ini");
    ASSERT_TRUE(SauveCouleurs(doc, f, false));
    const QByteArray octets = testenv::readFile(f);

    QByteArray attendu = "[CouleursTSK]   ; \xC9t\xE9 bleu\r\n"
                         "coul05 = 2E,97,E3,00;  Navigation Bar, Color 1\r\n"
                         "coul08 = AB,01,CD,00;  Navigation Bar, Color 2\r\n"
                         "coul09 = FF,FF,FF,00;  Navigation Bar, Text\r\n"
                         "coul04 = FF,FF,FF,00;  Today text, Text\r\n";
    ASSERT_TRUE(octets.startsWith(attendu)) << octets.left(300).toStdString();
    EXPECT_TRUE(octets.endsWith("coul40 = 4A,B2,EB,00;  Tap-and-hold dots\r\n"));
    EXPECT_EQ(octets.count("\r\n"), 23);
    EXPECT_FALSE(octets.contains("NomTheme"));

    doc.setNomInterne(QStringLiteral("Interne"));
    ASSERT_TRUE(SauveCouleurs(doc, f, true));
    const QByteArray avecNoms = testenv::readFile(f);
    EXPECT_TRUE(avecNoms.startsWith("[CouleursTSK]   ; Interne\r\n"));
    EXPECT_TRUE(avecNoms.endsWith("coul40 = 4A,B2,EB,00;  Tap-and-hold dots\r\n"
                                  "[NomTheme]   ; \r\n"
                                  "NomFic = \xC9t\xE9 bleu\r\n"
                                  "NomInterne = Interne\r\n"));
}

TEST(FichierCouleurs, RefusesANameWindows1252CannotHoldAndKeepsTheOldFile)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Theme \u4E2D"));
    const QString f = testenv::programDir() + QStringLiteral("/c.ini");
    testenv::writeFile(f, "old");
    QString erreur;
    EXPECT_FALSE(SauveCouleurs(doc, f, true, &erreur));
    EXPECT_TRUE(erreur.contains(QStringLiteral("\u4E2D")));
    EXPECT_EQ(testenv::readFile(f), QByteArray("old"));
}

TEST(FichierCouleurs, WithoutAWorkingFileLoadsTheDefaults)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Keep"));
    doc.setNomInterne(QStringLiteral("Gone"));
    doc.setCouleur(0, TColor::fromRgb(1, 2, 3));
    doc.setLibelle(1, QStringLiteral("99 x"));
    doc.setInclus(2, true);
    ParametresWM5 p;
    p.BaseHueDefini = p.DPIDefini = p.Coul34Definie = p.UseStartImageDefini = p.ClesThemeDefinies = true;
    doc.setParametres(p);

    const auto r = ChargeCouleurs(doc, fichierTravail(), true);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.indicateurWM5, std::optional<bool>(false));
    EXPECT_TRUE(r.majMiniatures);
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0x2E, 0x97, 0xE3));
    EXPECT_EQ(doc.slot(0).libelle, QStringLiteral("05 Navigation Bar, Color 1"));
    EXPECT_EQ(doc.slot(1).libelle, QStringLiteral("08 Navigation Bar, Color 2"));
    EXPECT_EQ(doc.slot(21).libelle, QStringLiteral("40 Tap-and-hold dots"));
    EXPECT_TRUE(doc.slot(2).inclus);
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Keep"));
    EXPECT_TRUE(doc.nomInterne().isEmpty());
    EXPECT_FALSE(doc.parametres().BaseHueDefini || doc.parametres().DPIDefini || doc.parametres().Coul34Definie
                 || doc.parametres().UseStartImageDefini);
    EXPECT_TRUE(doc.parametres().ClesThemeDefinies);
}

TEST(FichierCouleurs, KeysGoToSlotsInFileOrderAndTheCaptionComesFromTheKey)
{
    QStringList lignes{QStringLiteral("coul09 = FF,80,00,00;comment"), QStringLiteral("COUL05=01,02,03,00")};
    for (int i = 2; i < 23; ++i)
        lignes << QStringLiteral("coul%1 = 10,20,30,00").arg(50 + i);
    lignes[22] = QStringLiteral("coul99 = 77,77,77,00"); // the 23rd key
    testenv::writeFile(fichierTravail(), sectionCouleurs(lignes));

    ThemeDocument doc;
    const auto r = ChargeCouleurs(doc, fichierTravail(), false);
    ASSERT_TRUE(r.ok) << r.erreur.toStdString();
    EXPECT_FALSE(r.indicateurWM5.has_value());
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0xFF, 0x80, 0x00));
    EXPECT_EQ(doc.slot(0).couleur.value(), 0x0080FFu);
    EXPECT_EQ(doc.slot(0).libelle, QStringLiteral("09 Navigation Bar, Color 1"));
    EXPECT_EQ(doc.slot(1).couleur, TColor::fromRgb(1, 2, 3));
    EXPECT_EQ(doc.slot(1).libelle, QStringLiteral("05 Navigation Bar, Color 2"));
    EXPECT_EQ(doc.slot(21).libelle, QStringLiteral("71 Tap-and-hold dots"));
    EXPECT_EQ(doc.slot(21).couleur, TColor::fromRgb(0x10, 0x20, 0x30));
}

TEST(FichierCouleurs, FewerKeysLeaveTheOtherSlots)
{
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")}));
    ThemeDocument doc;
    doc.setLibelle(5, QStringLiteral("77 mine"));
    ASSERT_TRUE(ChargeCouleurs(doc, fichierTravail(), false).ok);
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(1, 2, 3));
    EXPECT_EQ(doc.slot(5).libelle, QStringLiteral("77 mine"));
}

TEST(FichierCouleurs, ABadColourChangesNothing)
{
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00"),
                                                          QStringLiteral("coul08 = 0G,02,03,00")})
                                             + "[NomTheme]\r\nNomFic=New\r\n[WM5]\r\nBaseHue=12\r\n");
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Old"));
    const auto avant = doc.jeuCouleurs();
    QSignalSpy spy(&doc, &ThemeDocument::slotChanged);
    const auto r = ChargeCouleurs(doc, fichierTravail(), true);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.erreur.contains(QStringLiteral("0G,02,03,00")));
    EXPECT_TRUE(doc.jeuCouleurs() == avant);
    EXPECT_EQ(spy.size(), 0);
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Old"));
    EXPECT_FALSE(doc.parametres().BaseHueDefini);

    // Too short to hold three channels.
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02")}));
    EXPECT_FALSE(ChargeCouleurs(doc, fichierTravail(), false).ok);
    EXPECT_TRUE(doc.jeuCouleurs() == avant);
}

TEST(FichierCouleurs, WithNamesReadsNamesAndSetsButNeverClearsWm5Flags)
{
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")})
                                             + "[NomTheme]   ; \r\nNomFic = Blue\r\nNomInterne = BlueApp\r\n"
                                               "[WM5]\r\nBaseHue=260\r\nDPI=4294967295\r\nUseStartImage=1\r\n");
    ThemeDocument doc;
    ParametresWM5 p;
    p.UseStartImageDefini = false;
    p.Coul34Definie = true;
    doc.setParametres(p);
    const auto r = ChargeCouleurs(doc, fichierTravail(), true);
    ASSERT_TRUE(r.ok) << r.erreur.toStdString();
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Blue"));
    EXPECT_EQ(doc.nomInterne(), QStringLiteral("BlueApp"));
    EXPECT_TRUE(doc.parametres().BaseHueDefini);
    EXPECT_EQ(doc.parametres().ValBaseHue, 260);
    EXPECT_TRUE(doc.parametres().DPIDefini);
    EXPECT_EQ(doc.parametres().ValDPI, -1);
    EXPECT_FALSE(doc.parametres().UseStartImageDefini);
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_EQ(r.indicateurWM5, std::optional<bool>(true));

    // A file without [WM5] keeps the flags as they were.
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")}));
    ASSERT_TRUE(ChargeCouleurs(doc, fichierTravail(), true).ok);
    EXPECT_TRUE(doc.parametres().BaseHueDefini);
    EXPECT_EQ(doc.parametres().ValBaseHue, 260);
}

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
    EXPECT_EQ(testenv::readFile(fichierTravail()), testenv::readFile(copie));
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
