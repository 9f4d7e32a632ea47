#include "theme/fichier_couleurs.h"
#include "tests/support/test_env.h"

#include <QDir>
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

// Other programs read the colour-set file as Windows-1252: a name in another
// script is written there with "?" for each character the code page lacks,
// and the save still succeeds.
TEST(FichierCouleurs, WritesANameWindows1252CannotHoldWithQuestionMarks)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Theme \u4E2D\u00E9"));
    const QString f = testenv::programDir() + QStringLiteral("/c.ini");
    testenv::writeFile(f, "old");
    QString erreur;
    ASSERT_TRUE(SauveCouleurs(doc, f, true, &erreur)) << erreur.toStdString();
    const QByteArray octets = testenv::readFile(f);
    EXPECT_TRUE(octets.startsWith("[CouleursTSK]   ; Theme ?\xE9\r\n"));
    EXPECT_TRUE(octets.endsWith("NomFic = Theme ?\xE9\r\nNomInterne = Theme ?\xE9\r\n"));
    ASSERT_TRUE(SauveCouleurs(doc, f, false, &erreur)) << erreur.toStdString();
    EXPECT_TRUE(testenv::readFile(f).startsWith("[CouleursTSK]   ; Theme ?\xE9\r\ncoul05 = "));
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
    // UseStartImage comes back too: the working file carries it for the next start.
    EXPECT_TRUE(doc.parametres().UseStartImageDefini);
    EXPECT_EQ(doc.parametres().ValUseStartImage, 1);
    EXPECT_TRUE(doc.parametres().Coul34Definie);
    EXPECT_EQ(r.indicateurWM5, std::optional<bool>(true));

    // A file without [WM5] keeps the flags as they were.
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")}));
    ASSERT_TRUE(ChargeCouleurs(doc, fichierTravail(), true).ok);
    EXPECT_TRUE(doc.parametres().BaseHueDefini);
    EXPECT_EQ(doc.parametres().ValBaseHue, 260);
}

namespace {

// A theme in which every part differs from the start-up state.
void themeComplet(ThemeDocument &doc)
{
    doc.setNomTheme(QStringLiteral("Soir d'été"));
    doc.setNomInterne(QString()); // left empty: the theme name stands in for it
    for (int i : {0, 4, 21}) {
        doc.setInclus(i, true);
        doc.setCouleur(i, TColor::fromRgb(0x10 + i, 0x80, 0xF0 - i));
    }
    doc.setCouleur(7, TColor::fromRgb(1, 2, 3)); // not ticked, kept anyway
    ParametresWM5 p;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(0xC1, 0x22, 0x07);
    p.BaseHueDefini = true;
    p.ValBaseHue = 300;
    p.DPIDefini = true;
    p.ValDPI = -1;
    p.UseStartImageDefini = true;
    p.ValUseStartImage = 0;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    doc.setClesTheme({"Color_Highlight\tC0FFEE00\t\t1", "UseDefaultTitleColor\t00000001\t\t65537",
                      "Odd; name = x%\tnot hex\t\t0", "Color_MenuText\t00A1B2C3\t\t65537"});
}

} // namespace

// The working file brings the whole theme back into a fresh document, and
// the colour-set reader that ignores the new parts still reads the same
// colours and names from it.
TEST(ThemeTravail, AFreshDocumentGetsTheWholeThemeBack)
{
    ThemeDocument ecrit;
    themeComplet(ecrit);
    QString erreur;
    ASSERT_TRUE(SauveThemeTravail(ecrit, fichierTravail(), &erreur)) << erreur.toStdString();

    ThemeDocument lu;
    const auto r = ChargeCouleurs(lu, fichierTravail(), true);
    ASSERT_TRUE(r.ok) << r.erreur.toStdString();
    EXPECT_EQ(lu.nomTheme(), ecrit.nomTheme());
    EXPECT_EQ(lu.nomInterne(), QString());
    EXPECT_TRUE(lu.jeuCouleurs() == ecrit.jeuCouleurs());
    EXPECT_EQ(lu.parametres(), ecrit.parametres());
    EXPECT_EQ(lu.clesTheme(), ecrit.clesTheme());
    EXPECT_EQ(r.indicateurWM5, std::optional<bool>(true));

    // The loader of the colour-set command takes only the colours.
    ThemeDocument seul;
    ASSERT_TRUE(ChargeCouleurs(seul, fichierTravail(), false).ok);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        EXPECT_EQ(seul.slot(i).couleur, ecrit.slot(i).couleur) << i;
        EXPECT_FALSE(seul.slot(i).inclus) << i;
    }
    EXPECT_EQ(seul.parametres(), ParametresWM5{});
    EXPECT_TRUE(seul.clesTheme().isEmpty());
}

// What older readers read keeps its place and form: the 22 slot keys first
// in "[CouleursTSK]", colour 34 after them, the names block, "[WM5]" as the
// package reader writes it; the new section comes last.
TEST(ThemeTravail, ExactBytesOfTheWorkingFile)
{
    ThemeDocument doc;
    themeComplet(doc);
    const auto octets = TexteThemeTravail(doc);
    ASSERT_TRUE(octets);
    const QList<QByteArray> lignes = octets->split('\n');
    ASSERT_GE(lignes.size(), 36);
    EXPECT_EQ(lignes[0], "[CouleursTSK]   ; Soir d'\xE9t\xE9\r");
    EXPECT_EQ(lignes[1], "coul05 = 10,80,F0,00;  Navigation Bar, Color 1\r");
    EXPECT_EQ(lignes[23], "coul34 = C1,22,07,00;  Couleur 34 (WM5)\r");
    const QByteArray reste = lignes.mid(24).join('\n');
    EXPECT_EQ(reste, "[NomTheme]   ; \r\n"
                     "NomFic = Soir d'\xE9t\xE9\r\n"
                     "NomInterne = Soir d'\xE9t\xE9\r\n"
                     "[WM5]   ; \r\n"
                     "BaseHue = 300\r\n"
                     "DPI = 4294967295\r\n"
                     "UseStartImage = 0\r\n"
                     "[EtatTheme]   ; \r\n"
                     "NomInterneSaisi = \r\n"
                     "Inclus = 1,0,0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\n"
                     "ClesThemeDefinies = 1\r\n"
                     "Cle1 = Color_Highlight%09C0FFEE00%09%091\r\n"
                     "Cle2 = UseDefaultTitleColor%0900000001%09%0965537\r\n"
                     "Cle3 = Odd%3B%20name%20%3D%20x%25%09not%20hex%09%090\r\n"
                     "Cle4 = Color_MenuText%0900A1B2C3%09%0965537\r\n");
}

// Nothing defined: no colour 34, no "[WM5]", no values; the next start
// clears nothing that the file does not hold.
TEST(ThemeTravail, AnEmptyThemeComesBackEmpty)
{
    ThemeDocument ecrit;
    ASSERT_TRUE(SauveThemeTravail(ecrit, fichierTravail()));
    const QByteArray octets = testenv::readFile(fichierTravail());
    EXPECT_FALSE(octets.contains("coul34"));
    EXPECT_FALSE(octets.contains("[WM5]"));
    EXPECT_FALSE(octets.contains("Cle1"));
    ThemeDocument lu;
    themeComplet(lu);
    ParametresWM5 p = lu.parametres();
    p.Coul34Definie = p.BaseHueDefini = p.DPIDefini = p.UseStartImageDefini = false; // as the start-up leaves them
    lu.setParametres(p);
    ASSERT_TRUE(ChargeCouleurs(lu, fichierTravail(), true).ok);
    EXPECT_TRUE(lu.jeuCouleurs() == ecrit.jeuCouleurs());
    const ParametresWM5 &q = lu.parametres();
    EXPECT_FALSE(q.Coul34Definie || q.BaseHueDefini || q.DPIDefini || q.UseStartImageDefini || q.ClesThemeDefinies);
    EXPECT_TRUE(lu.clesTheme().isEmpty());
    EXPECT_EQ(lu.nomTheme(), QString());
}

// Hostile or damaged sections: a bad colour 34 refuses the file as a bad slot
// colour does; ticks that are not 22 zeros and ones are not used.
TEST(ThemeTravail, DamagedStateIsRefusedOrIgnored)
{
    testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00"),
                                                          QStringLiteral("coul34 = zz,02,03,00")}));
    ThemeDocument doc;
    EXPECT_FALSE(ChargeCouleurs(doc, fichierTravail(), true).ok);
    EXPECT_FALSE(doc.parametres().Coul34Definie);

    for (const char *inclus : {"1,1,1", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,2",
                               "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1"}) {
        testenv::writeFile(fichierTravail(), sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")})
                                                 + "[EtatTheme]\r\nInclus = " + inclus + "\r\n");
        ThemeDocument d;
        ASSERT_TRUE(ChargeCouleurs(d, fichierTravail(), true).ok);
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
            EXPECT_FALSE(d.slot(i).inclus) << inclus;
    }
}

// Names in any script, and names with blanks at an end that the INI reading
// trims, come back exactly from the working file; the Windows-1252 lines say
// "?" for what the code page lacks, and names they hold as they are get no
// extra line.
TEST(ThemeTravail, NamesInAnyScriptComeBackExactly)
{
    ThemeDocument ecrit;
    ecrit.setNomTheme(QStringLiteral("Тема \U0001F319"));
    ecrit.setNomInterne(QStringLiteral(" 内部 % "));
    const auto octets = TexteThemeTravail(ecrit);
    ASSERT_TRUE(octets);
    EXPECT_TRUE(octets->startsWith("[CouleursTSK]   ;  ?? % \r\n"));
    EXPECT_TRUE(octets->contains("\r\nNomFic = ???? ?\r\nNomInterne =  ?? % \r\n"));
    EXPECT_TRUE(octets->contains("\r\nNomInterneSaisi =  ?? % \r\n"));
    EXPECT_TRUE(octets->endsWith("\r\nNomFicExact = %D0%A2%D0%B5%D0%BC%D0%B0%20%F0%9F%8C%99\r\n"
                                 "NomInterneExact = %20%E5%86%85%E9%83%A8%20%25%20\r\n"));

    ThemeDocument lu;
    const auto r = LitJeuCouleurs(*octets, lu, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->nomTheme, ecrit.nomTheme());
    EXPECT_EQ(r->nomInterne, ecrit.nomInterne());

    ThemeDocument simple;
    simple.setNomTheme(QStringLiteral("\u00C9t\u00E9 \u20AC"));
    EXPECT_FALSE(TexteThemeTravail(simple)->contains("Exact"));
    EXPECT_TRUE(LignesNomsExacts({}, QStringLiteral("Soir"), QString()).isEmpty());
    EXPECT_EQ(LignesNomsExacts({}, QStringLiteral("Soir "), QStringLiteral("\u0416")),
              (QStringList{"NomFicExact = Soir%20", "NomInterneExact = %D0%96"}));
}

// When another program renamed the theme in the Windows-1252 lines, the
// exact name no longer stands for them and the new name is read.
TEST(ThemeTravail, AnExactNameGivesWayToLinesChangedByAnotherProgram)
{
    ThemeDocument ecrit;
    ecrit.setNomTheme(QStringLiteral("Тема"));
    ecrit.setNomInterne(QStringLiteral("Имя"));
    QByteArray octets = *TexteThemeTravail(ecrit);
    ASSERT_TRUE(octets.contains("NomFic = ????\r\n"));
    octets.replace("NomFic = ????\r\n", "NomFic = Autre\r\n");
    ThemeDocument lu;
    const auto r = LitJeuCouleurs(octets, lu, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->nomTheme, QStringLiteral("Autre"));
    EXPECT_EQ(r->nomInterne, QStringLiteral("Имя"));
}

// A name from a package (its file name, its setup XML) may hold line breaks
// or quotes: no line of its own reaches the file, and the exact name still
// comes back.
TEST(ThemeTravail, ANameWithLineBreaksOrQuotesStaysOnItsLine)
{
    ThemeDocument ecrit;
    ecrit.setNomTheme(QStringLiteral("A\r\n[WM5]\r\nBaseHue = 7"));
    ecrit.setNomInterne(QStringLiteral("\"Q\""));
    const QByteArray octets = *TexteThemeTravail(ecrit);
    EXPECT_TRUE(octets.contains("\r\nNomFic = A??[WM5]??BaseHue = 7\r\n")) << octets.toStdString();
    EXPECT_FALSE(octets.contains("\r\n[WM5]"));
    EXPECT_TRUE(octets.startsWith("[CouleursTSK]   ; \"Q\"\r\n"));
    ThemeDocument lu;
    const auto r = LitJeuCouleurs(octets, lu, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->nomTheme, ecrit.nomTheme());
    EXPECT_EQ(r->nomInterne, ecrit.nomInterne());
    EXPECT_FALSE(r->wm5.BaseHueDefini);
}

// A colour set loaded by the command goes into the working file at once,
// with everything else of the theme: a start after a crash right after the
// load finds the whole theme with the new colours. The chosen file is only
// read.
TEST(ThemeTravail, ALoadedColourSetIsKeptWithTheWholeTheme)
{
    ThemeDocument doc;
    themeComplet(doc);
    doc.setNomInterne(QStringLiteral("Interne"));
    testenv::writeFile(fichierTravail(), "[CouleursTSK]   ; stale\r\ncoul05 = 01,01,01,00\r\n");
    const QString jeu = testenv::tempDir() + QStringLiteral("/bleu coul.ini");
    const QByteArray octetsJeu = sectionCouleurs({QStringLiteral("coul09 = AA,BB,CC,00;  first"),
                                                  QStringLiteral("coul05 = 0A,0B,0C,00")});
    testenv::writeFile(jeu, octetsJeu);

    const auto r = ChargeJeuCouleurs(doc, jeu, fichierTravail());
    ASSERT_TRUE(r.ok) << r.erreur.toStdString();
    EXPECT_FALSE(r.indicateurWM5);
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0xAA, 0xBB, 0xCC));
    EXPECT_TRUE(doc.slot(0).libelle.startsWith(QStringLiteral("09 ")));
    EXPECT_EQ(doc.slot(1).couleur, TColor::fromRgb(0x0A, 0x0B, 0x0C));
    EXPECT_EQ(testenv::readFile(jeu), octetsJeu);
    // The working file is what the close would write.
    EXPECT_EQ(testenv::readFile(fichierTravail()), *TexteThemeTravail(doc));

    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, fichierTravail(), true).ok);
    EXPECT_EQ(relu.nomTheme(), doc.nomTheme());
    EXPECT_EQ(relu.nomInterne(), QStringLiteral("Interne"));
    // Slots 1 and 3 both go under "coul09" now; each keeps its own colour.
    EXPECT_TRUE(relu.jeuCouleurs() == doc.jeuCouleurs());
    EXPECT_EQ(relu.slot(2).couleur, JeuCouleurs::couleurDefaut(2));
    EXPECT_TRUE(relu.slot(4).inclus && relu.slot(21).inclus);
    EXPECT_EQ(relu.parametres(), doc.parametres());
    EXPECT_EQ(relu.clesTheme(), doc.clesTheme());

    // The working file itself chosen: read, then written whole from the document.
    ASSERT_TRUE(ChargeJeuCouleurs(doc, fichierTravail(), fichierTravail()).ok);
    EXPECT_EQ(testenv::readFile(fichierTravail()), *TexteThemeTravail(doc));
}

// A colour set that cannot be read, is not one or is too large, and a
// working file that cannot be written: the message names the file, and
// neither the document nor the working file changes.
TEST(ThemeTravail, ALoadThatFailsChangesNothing)
{
    ThemeDocument doc;
    themeComplet(doc);
    const QByteArray travail = *TexteThemeTravail(doc);
    testenv::writeFile(fichierTravail(), travail);
    const auto couleurs = doc.jeuCouleurs();

    const QString mauvais = testenv::tempDir() + QStringLiteral("/bad.ini");
    testenv::writeFile(mauvais, sectionCouleurs({QStringLiteral("coul05 = 0A,0B,0C,00"), QStringLiteral("coul08 = 0A,0B,0Z,00")}));
    // Past the size limit by one byte, though the start of it is a colour set.
    const QString gros = testenv::tempDir() + QStringLiteral("/big.ini");
    QByteArray octetsGros = sectionCouleurs({QStringLiteral("coul05 = 0A,0B,0C,00")});
    octetsGros += QByteArray(TailleFichierCouleursMax - octetsGros.size() + 1, ';');
    testenv::writeFile(gros, octetsGros);
    const struct
    {
        QString jeu, dit;
    } cas[] = {{mauvais, QStringLiteral("0A,0B,0Z,00")},
               {gros, QStringLiteral("too large (more than 16 MB)")},
               {testenv::tempDir() + QStringLiteral("/absent.ini"), QStringLiteral("Cannot read")},
               {testenv::tempDir(), QStringLiteral("not a plain file")}};
    for (const auto &c : cas) {
        SCOPED_TRACE(c.jeu.toStdString());
        const auto r = ChargeJeuCouleurs(doc, c.jeu, fichierTravail());
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.erreur.contains(c.dit)) << r.erreur.toStdString();
        EXPECT_TRUE(r.erreur.contains(QDir::toNativeSeparators(QDir::cleanPath(c.jeu)))) << r.erreur.toStdString();
        EXPECT_TRUE(doc.jeuCouleurs() == couleurs);
        EXPECT_EQ(testenv::readFile(fichierTravail()), travail);
    }

    // At the limit exactly, it is read.
    octetsGros.chop(1);
    testenv::writeFile(gros, octetsGros);
    ASSERT_TRUE(ChargeJeuCouleurs(doc, gros, fichierTravail()).ok);
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0x0A, 0x0B, 0x0C));

    // A folder stands where the working file goes: the write fails.
    const QString bloque = testenv::programDir() + QStringLiteral("/blocked");
    ASSERT_TRUE(QDir().mkpath(bloque));
    const QString jeu = testenv::tempDir() + QStringLiteral("/ok.ini");
    testenv::writeFile(jeu, sectionCouleurs({QStringLiteral("coul05 = 33,33,33,00")}));
    const auto r = ChargeJeuCouleurs(doc, jeu, bloque);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.erreur.startsWith(QStringLiteral("Cannot write the colors file "))) << r.erreur.toStdString();
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(0x0A, 0x0B, 0x0C));
}

// A working file past the limit is reported at start and changes nothing,
// as a damaged one; the writer never makes one the start would refuse.
TEST(ThemeTravail, AWorkingFileTooLargeIsNeitherReadNorWritten)
{
    QByteArray octets = sectionCouleurs({QStringLiteral("coul05 = 0A,0B,0C,00")}) + "[NomTheme]\r\nNomFic = Big\r\n";
    octets += QByteArray(TailleFichierCouleursMax - octets.size() + 1, '\n');
    testenv::writeFile(fichierTravail(), octets);
    ThemeDocument doc;
    const auto r = ChargeCouleurs(doc, fichierTravail(), true);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.erreur.contains(QStringLiteral("too large"))) << r.erreur.toStdString();
    EXPECT_EQ(doc.nomTheme(), QString());
    EXPECT_EQ(doc.slot(0).couleur, JeuCouleurs::couleurDefaut(0));

    // One value of 17 MB of text.
    ThemeDocument enorme;
    enorme.setClesTheme({QStringLiteral("Color_Highlight\t") + QString(17 << 20, QLatin1Char('A')) + QStringLiteral("\t\t1")});
    const QByteArray ancien = "[CouleursTSK]   ; old\r\n";
    testenv::writeFile(fichierTravail(), ancien);
    QString erreur;
    EXPECT_FALSE(SauveThemeTravail(enorme, fichierTravail(), &erreur));
    EXPECT_TRUE(erreur.contains(QStringLiteral("larger than 16 MB"))) << erreur.toStdString();
    EXPECT_EQ(testenv::readFile(fichierTravail()), ancien);
}

// A theme with tens of thousands of values of its own comes back whole and
// in order; in "[EtatTheme]" keys match without regard to case, the first of
// a key written twice counts, and the values stop at the first number missing.
TEST(ThemeTravail, ManyThemeValuesComeBackInOrder)
{
    ThemeDocument ecrit;
    QStringList cles;
    for (int k = 0; k < 30000; ++k)
        cles << QStringLiteral("Value %1\t%2\t\t65537").arg(k).arg(uint(k) * 2654435761u, 8, 16, QLatin1Char('0'));
    ecrit.setClesTheme(cles);
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    ecrit.setParametres(p);
    ASSERT_TRUE(SauveThemeTravail(ecrit, fichierTravail()));
    ThemeDocument lu;
    ASSERT_TRUE(ChargeCouleurs(lu, fichierTravail(), true).ok);
    EXPECT_EQ(lu.clesTheme(), cles);
    EXPECT_TRUE(lu.parametres().ClesThemeDefinies);

    const QByteArray main = sectionCouleurs({QStringLiteral("coul05 = 01,02,03,00")})
                            + "[EtatTheme]\r\nclesthemedefinies = 1\r\nCLE1 = a\r\ncle2 = b\r\nCle2 = c\r\n"
                              "; Cle3 = comment\r\nCle4 = d\r\nNomInterneSaisi = first\r\nnominternesaisi = second\r\n"
                              "[Other]\r\nCle3 = e\r\n[EtatTheme]\r\nCle3 = f\r\n";
    const auto r = LitJeuCouleurs(main, lu, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->clesTheme, std::optional<QStringList>(QStringList{"a", "b"}));
    EXPECT_EQ(r->nomInterne, QStringLiteral("first"));
    EXPECT_TRUE(r->wm5.ClesThemeDefinies);
}
