#include "ui/options.h"
#include "theme/ini_file.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

DossiersProgramme dossiers()
{
    DossiersProgramme d;
    d.DossierAppli = testenv::programDir() + QLatin1Char('/');
    return d;
}

QString fichier() { return testenv::programDir() + QStringLiteral("/OptionsOVD.ini"); }

struct Lu
{
    OptionsOVD o;
    FormatImages f;
    DossiersProgramme d = dossiers();
};

Lu lit(const QByteArray &texte)
{
    testenv::writeFile(fichier(), texte);
    Lu lu;
    LitOptions(fichier(), lu.o, lu.f, lu.d);
    return lu;
}

} // namespace

TEST(Options, AFirstStartWritesTheTwentyKeysInOrder)
{
    Lu lu;
    lu.o.CouleurFormInfG = TColor::fromRgb(0x10, 0x20, 0x30);
    LitOptions(fichier(), lu.o, lu.f, lu.d);
    EXPECT_EQ(lu.f.FormatTheme, 3);
    EXPECT_EQ(lu.f.TaillesPerso, (std::array<int, 4>{5, 5, 5, 5}));
    EXPECT_EQ(lu.d.DossierTsk, lu.d.DossierAppli);
    EXPECT_EQ(lu.d.DossierSauveCapt, lu.d.DossierAppli);
    EXPECT_EQ(lu.o.CouleurFormInfG, TColor::fromRgb(0x10, 0x20, 0x30));

    FixeTailles(lu.f, lu.f.FormatTheme);
    ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
    const QByteArray p = lu.d.DossierAppli.toUtf8();
    const QByteArray attendu = "[Options]\r\n"
                               "DefautFmtTsk=3\r\n"
                               "Dossier=" + p + "\r\n"
                               "DossierImg=" + p + "\r\n"
                               "DossierLitTSK=" + p + "\r\n"
                               "Hints=0\r\n"
                               "Sons=0\r\n"
                               "Skin=0\r\n"
                               "seLTD=640\r\n"
                               "seHTD=588\r\n"
                               "seLST=399\r\n"
                               "seHST=586\r\n"
                               "CouleurFormInfG=3153936\r\n"
                               "CouleurFormSupD=16777215\r\n"
                               "GradientRG=0\r\n"
                               "CoulFormUni=0\r\n"
                               "InterpolImg=2\r\n"
                               "TypeImgSauver=0\r\n"
                               "CouleurFond=14737632\r\n"
                               "TskInfXmlRG=0\r\n"
                               "DossierSauveCapt=" + p + "\r\n";
    EXPECT_EQ(testenv::readFile(fichier()), attendu);

    // Read back: the VGA sizes become the customized ones.
    Lu relu = lit(attendu);
    EXPECT_EQ(relu.f.TaillesPerso, (std::array<int, 4>{640, 588, 399, 586}));
    EXPECT_EQ(relu.o, lu.o);
}

TEST(Options, OutOfRangeValuesAreReplaced)
{
    EXPECT_EQ(lit("[Options]\r\nDefautFmtTsk=9\r\n").f.FormatTheme, 3);
    EXPECT_EQ(lit("[Options]\r\nDefautFmtTsk=-1\r\n").f.FormatTheme, 3);
    EXPECT_EQ(lit("[Options]\r\nDefautFmtTsk=8\r\n").f.FormatTheme, 8);
    EXPECT_EQ(lit("[Options]\r\nSkin=1\r\n").f.FormatTheme, 0); // absent key: 0
    EXPECT_EQ(lit("[Options]\r\nDefautFmtTsk=$4\r\n").f.FormatTheme, 4);

    const Lu t = lit("[Options]\r\nseLTD=4\r\nseHTD=1000\r\nseLST=999\r\nseHST=abc\r\nSkin=5\r\n");
    EXPECT_EQ(t.f.TaillesPerso, (std::array<int, 4>{5, 5, 999, 5}));
    EXPECT_EQ(t.o.Skin, 0);

    // Indexes used to pick items and table entries stay in range.
    const Lu i = lit("[Options]\r\nGradientRG=7\r\nInterpolImg=8\r\nTypeImgSauver=-1\r\nTskInfXmlRG=3\r\n"
                     "CouleurFond=-16777214\r\nHints=2\r\nSons=0\r\n");
    EXPECT_EQ(i.o.GradientRG, 0);
    EXPECT_EQ(i.o.InterpolImg, 2);
    EXPECT_EQ(i.o.TypeImgSauver, 0);
    EXPECT_EQ(i.o.TskInfXmlRG, 0);
    EXPECT_EQ(i.o.CouleurFond.value(), 2u); // $FF000002: only the colour bits
    EXPECT_TRUE(i.o.Hints);
    EXPECT_FALSE(i.o.Sons);
    const Lu ok = lit("[Options]\r\nGradientRG=2\r\nInterpolImg=7\r\nTypeImgSauver=4\r\nTskInfXmlRG=2\r\n");
    EXPECT_EQ(ok.o.GradientRG, 2);
    EXPECT_EQ(ok.o.InterpolImg, 7);
    EXPECT_EQ(ok.o.TypeImgSauver, 4);
    EXPECT_EQ(ok.o.TskInfXmlRG, 2);
}

TEST(Options, AFolderThatNoLongerExistsBecomesTheProgramFolder)
{
    const QString garde = testenv::rootDir() + QStringLiteral("/keep");
    QDir().mkpath(garde);
    Lu lu = lit(("[options]\r\ndossier=" + testenv::rootDir() + "/deleted\r\nDossierImg=" + garde
                 + "\r\nDossierLitTSK=\r\n")
                    .toUtf8());
    EXPECT_EQ(lu.d.DossierTsk, lu.d.DossierAppli);
    EXPECT_EQ(lu.d.DossierImg, garde);
    EXPECT_EQ(lu.d.DossierLitTSK, lu.d.DossierAppli);

    ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
    EXPECT_EQ(lu.d.DossierImg, garde + QLatin1Char('/'));
    const Lu relu = lit(testenv::readFile(fichier()));
    EXPECT_EQ(relu.d.DossierTsk, lu.d.DossierAppli);
    EXPECT_EQ(relu.d.DossierImg, garde + QLatin1Char('/'));
}

// A folder whose name is UTF-8 read as Windows-1252 ("CafÃ©"): its
// Windows-1252 bytes are valid UTF-8 and would read back as "Café", another
// folder. The file keeps every folder as it was saved.
TEST(Options, FoldersWhoseNamesLookLikeUtf8ComeBackExact)
{
    for (const QString &autre : {QStringLiteral("ascii"), QStringLiteral("Été")}) {
        const QString mojibake = testenv::rootDir() + QStringLiteral("/CafÃ©/");
        const QString voisin = testenv::rootDir() + QStringLiteral("/") + autre + QStringLiteral("/");
        ASSERT_TRUE(QDir().mkpath(mojibake) && QDir().mkpath(voisin));
        ASSERT_TRUE(QDir().mkpath(testenv::rootDir() + QStringLiteral("/Café")));
        Lu lu;
        lu.d.DossierTsk = mojibake;
        lu.d.DossierImg = voisin;
        lu.d.DossierLitTSK = lu.d.DossierSauveCapt = lu.d.DossierAppli;
        ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
        const Lu relu = lit(testenv::readFile(fichier()));
        EXPECT_EQ(relu.d.DossierTsk, mojibake) << autre.toStdString();
        EXPECT_EQ(relu.d.DossierImg, voisin) << autre.toStdString();
    }
}

TEST(Options, AFailedWriteIsReportedAndKeepsTheOldFile)
{
    const QByteArray ancien = "[Options]\r\nSkin=2\r\n";
    testenv::writeFile(fichier(), ancien);
    testenv::DossierVerrouille verrou(testenv::programDir());
    if (!verrou.actif())
        GTEST_SKIP() << "this file system cannot lock a folder";
    Lu lu;
    QString erreur;
    EXPECT_FALSE(SauveOptions(fichier(), lu.o, lu.f, lu.d, &erreur));
    verrou.libere();
    EXPECT_TRUE(erreur.contains(QStringLiteral("OptionsOVD.ini")));
    EXPECT_EQ(testenv::readFile(fichier()), ancien);
}

TEST(Options, AFailedWriteIntoAMissingFolderIsReported)
{
    Lu lu;
    QString erreur;
    const QString f = testenv::rootDir() + QStringLiteral("/no/such/dir/OptionsOVD.ini");
    testenv::writeFile(testenv::rootDir() + QStringLiteral("/no"), "a file where a folder should be");
    EXPECT_FALSE(SauveOptions(f, lu.o, lu.f, lu.d, &erreur));
    EXPECT_TRUE(erreur.contains(QStringLiteral("OptionsOVD.ini")));
}

// A folder whose name holds a line feed or carriage return would split its
// line and write keys of its own ("a<LF>DefautFmtTsk=5"). The writer never
// writes it, for any of the four folder keys: the key keeps the folder the
// file held (or is left empty on a first write), and every other key reads
// back as written.
TEST(Options, AFolderOnSeveralLinesWritesNoStrayLine)
{
    const QString garde = testenv::rootDir() + QStringLiteral("/garde/");
    ASSERT_TRUE(QDir().mkpath(garde));
    const QStringList cles = {"DefautFmtTsk", "Dossier", "DossierImg", "DossierLitTSK", "Hints", "Sons", "Skin",
                              "seLTD", "seHTD", "seLST", "seHST", "CouleurFormInfG", "CouleurFormSupD",
                              "GradientRG", "CoulFormUni", "InterpolImg", "TypeImgSauver", "CouleurFond",
                              "TskInfXmlRG", "DossierSauveCapt"};
    const auto pieges = [&](DossiersProgramme &d) {
        d.DossierTsk = garde + QStringLiteral("a\nDefautFmtTsk=5/");
        d.DossierImg = garde + QStringLiteral("b\r\nHints=1");
        d.DossierLitTSK = garde + QStringLiteral("c\rSkin=3/");
        d.DossierSauveCapt = garde + QStringLiteral("d\n[Autre]\nCle=1");
        for (const QString *p : {&d.DossierTsk, &d.DossierImg, &d.DossierLitTSK, &d.DossierSauveCapt})
            EXPECT_FALSE(DossierSurUneLigne(*p));
    };
    const auto verifie = [&](const QString &dossierAttendu, const char *cas) {
        const QByteArray octets = testenv::readFile(fichier());
        EXPECT_EQ(octets.count('\n'), 21) << cas;
        EXPECT_EQ(octets.count('\r'), 21) << cas;
        const IniFile ini(fichier());
        EXPECT_EQ(ini.sections(), QStringList{QStringLiteral("Options")}) << cas;
        EXPECT_EQ(ini.keys(QStringLiteral("Options")), cles) << cas;
        const Lu relu = lit(octets);
        EXPECT_EQ(relu.f.FormatTheme, 2) << cas;
        EXPECT_FALSE(relu.o.Hints) << cas;
        EXPECT_EQ(relu.o.Skin, 1) << cas;
        EXPECT_TRUE(relu.o.Sons) << cas;
        EXPECT_EQ(relu.o.CouleurFond, TColor::fromValue(0x123456)) << cas;
        EXPECT_EQ(relu.f.TaillesPerso, (std::array<int, 4>{320, 293, 319, 292})) << cas;
        for (const QString *p : {&relu.d.DossierTsk, &relu.d.DossierImg, &relu.d.DossierLitTSK, &relu.d.DossierSauveCapt})
            EXPECT_EQ(*p, dossierAttendu) << cas;
    };
    Lu lu;
    lu.o.Skin = 1;
    lu.o.Sons = true;
    lu.o.CouleurFond = TColor::fromValue(0x123456);
    FixeTailles(lu.f, 2);
    lu.f.FormatTheme = 2;

    // A first write: the folder keys in their places, empty.
    pieges(lu.d);
    ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
    verifie(lu.d.DossierAppli, "first write");
    EXPECT_TRUE(testenv::readFile(fichier()).contains("\r\nDossier=\r\nDossierImg=\r\nDossierLitTSK=\r\n"));

    // Over a file that held good folders: they stay.
    lu.d.DossierTsk = lu.d.DossierImg = lu.d.DossierLitTSK = lu.d.DossierSauveCapt = garde;
    ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
    const QByteArray avant = testenv::readFile(fichier());
    pieges(lu.d);
    ASSERT_TRUE(SauveOptions(fichier(), lu.o, lu.f, lu.d));
    EXPECT_EQ(testenv::readFile(fichier()), avant);
    verifie(garde, "over good folders");
}
