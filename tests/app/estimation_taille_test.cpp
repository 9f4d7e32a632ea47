#include "app/estimation_taille.h"

#include "ui/app_context.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "theme/package_writer.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QString dossierAppli()
{
    return testenv::programDir() + QLatin1Char('/');
}

void image(const QString &nom, qint64 taille)
{
    testenv::writeFile(dossierAppli() + nom, QByteArray(taille, 'g'));
}

// Format 3, a three-character internal name, nothing included, nothing set.
void themeSimple(ThemeDocument &doc)
{
    doc.setNomTheme(QStringLiteral("Sunset"));
    doc.setNomInterne(QStringLiteral("Abc"));
    doc.setFormatTheme(3);
}

QString message(qint64 t, const QString &texte, qint64 h, qint64 s, qint64 images)
{
    return QStringLiteral("TSK Size : %1 bytes (%2)\r\nCab Header\t: %3 bytes\r\nInf\t\t: %4 bytes\r\n"
                          "Img(s)\t\t: %5 bytes")
        .arg(t)
        .arg(texte)
        .arg(h)
        .arg(s)
        .arg(images);
}

} // namespace

TEST(EstimationTaille, TodayAndStartPicturesInFormat3)
{
    ThemeDocument doc;
    themeSimple(doc);
    image("tdywater.gif", 10000);
    image("stwater.gif", 20000);
    ScriptedPrompts prompts;
    const auto e = TailleTskBtnClick(doc, dossierAppli(), prompts);
    ASSERT_TRUE(e);
    EXPECT_EQ(*e, (EstimationTsk{3, 30000, 263, 143, 30406}));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], message(30406, "30 Kb", 143, 263, 30000));
}

TEST(EstimationTaille, StartOnlyReadsTheStartPictureAlone)
{
    ThemeDocument doc;
    themeSimple(doc);
    ParametresWM5 p;
    p.UseStartImageDefini = true;
    doc.setParametres(p);
    image("stwater.gif", 20000); // no Today picture: it is not read
    ScriptedPrompts prompts;
    const auto e = TailleTskBtnClick(doc, dossierAppli(), prompts);
    ASSERT_TRUE(e);
    EXPECT_EQ(*e, (EstimationTsk{2, 20000, 294, 110, 20404}));
    EXPECT_EQ(prompts.messages.value(0), message(20404, "20 Kb", 110, 294, 20000));
}

TEST(EstimationTaille, SlotsAddByTheirDeviceNumber)
{
    ThemeDocument doc;
    themeSimple(doc);
    const qint64 base = TailleFichiersTsk(doc);
    doc.setInclus(0, true); // device colour 5
    EXPECT_EQ(TailleFichiersTsk(doc), base + 18);
    doc.setInclus(0, false);
    doc.setInclus(6, true); // device colour 10
    EXPECT_EQ(TailleFichiersTsk(doc), base + 19);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        doc.setInclus(i, true);
    // 5, 8, 9, 4, 6, 7 below 10; the 16 others from 10 up.
    EXPECT_EQ(TailleFichiersTsk(doc), base + 6 * 18 + 16 * 19);
}

TEST(EstimationTaille, ValuesAndPictureSetsByFormat)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Sunset")); // no internal name: the theme name counts
    ParametresWM5 p;
    for (int format : {0, 1, 2, 3, 6, 7, 8}) {
        doc.setFormatTheme(format);
        EXPECT_EQ(TailleFichiersTsk(doc), 6 + 211 + 49) << format;
        EXPECT_EQ(EstimeTailleTsk(doc, 0).membres, 3) << format;
    }
    for (int format : {4, 5}) {
        doc.setFormatTheme(format);
        doc.setParametres({});
        EXPECT_EQ(TailleFichiersTsk(doc), 6 + 211 + 130) << format;
        EXPECT_EQ(EstimeTailleTsk(doc, 0).membres, 5);
        EXPECT_EQ(EstimeTailleTsk(doc, 0).enteteCab, 5 * 33 + 44);
        p = {};
        p.UseStartImageDefini = true;
        doc.setParametres(p);
        EXPECT_EQ(TailleFichiersTsk(doc), 6 + 211 + 10 + 30 + 64 + 16) << format;
        EXPECT_EQ(EstimeTailleTsk(doc, 0).membres, 3);
    }
    EXPECT_EQ(ImagesEstimation(4, false),
              QStringList({"tdywater_240_320.gif", "tdywater_320_240.gif", "stwater_240_320.gif",
                           "stwater_320_240.gif"}));
    EXPECT_EQ(ImagesEstimation(5, true), QStringList({"stwater_480_640.gif", "stwater_640_480.gif"}));
    EXPECT_EQ(ImagesEstimation(7, true), QStringList({"stwater.gif"}));

    doc.setFormatTheme(0);
    p = {};
    p.Coul34Definie = true;
    doc.setParametres(p);
    EXPECT_EQ(TailleFichiersTsk(doc), 266 + 19);
    p = {};
    p.BaseHueDefini = true;
    doc.setParametres(p);
    EXPECT_EQ(TailleFichiersTsk(doc), 266 + 24);
    p = {};
    p.DPIDefini = true;
    doc.setParametres(p);
    EXPECT_EQ(TailleFichiersTsk(doc), 266 + 10 + 20 + 16);
    p.UseStartImageDefini = true;
    doc.setParametres(p);
    // Without the Today picture: 30 + 24 in place of 49.
    EXPECT_EQ(TailleFichiersTsk(doc), 217 + 10 + 20 + 30 + 24 + 16);
}

TEST(EstimationTaille, ThemeValuesCountOnlyListedNames)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Sky"));
    doc.setFormatTheme(0);
    doc.setClesTheme({"Color_Highlight\tFF000000\t\t1", "UseDefaultTitleColor\t00000001\t\t65537",
                      "NotAThemeKey\t01\t\t1", "color_highlight\tFF000000\t\t1", "Color34"});
    // The lines alone count nothing while the flag is not set.
    EXPECT_EQ(TailleFichiersTsk(doc), 3 + 211 + 49);
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    const qint64 n = QStringLiteral("Sky.tsk").length() + 5;
    const qint64 k = (15 + 17) + (20 + 17) + (7 + 17); // "Color34" with no TAB is its own name
    EXPECT_EQ(TailleFichiersTsk(doc), 3 + 211 + 10 + 49 + n + 18 + k);
}

TEST(EstimationTaille, LongValueListsDoNotWrapAround)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Sky"));
    doc.setFormatTheme(0);
    ParametresWM5 p;
    p.ClesThemeDefinies = true;
    doc.setParametres(p);
    // Duplicate lines, as a read package may leave: 3000 x 37 bytes passes 65,535.
    doc.setClesTheme(QStringList(3000, QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")));
    const qint64 attendu = 3 + 211 + 10 + 49 + 12 + 18 + 3000 * 37;
    ASSERT_GT(attendu, 65535);
    EXPECT_EQ(TailleFichiersTsk(doc), attendu);
}

TEST(EstimationTaille, SizeTextInKbAndMb)
{
    const QString sep = QLocale().decimalPoint();
    const auto texte = [](qint64 total) {
        EstimationTsk e;
        e.total = total;
        const QString m = MessageEstimationTsk(e);
        return m.mid(m.indexOf('(') + 1, m.indexOf(')') - m.indexOf('(') - 1);
    };
    EXPECT_EQ(texte(1024000), "1000 Kb");
    EXPECT_EQ(texte(1024001), "0" + sep + "98 Mb");
    EXPECT_EQ(texte(1572864), "1" + sep + "5 Mb");
    EXPECT_EQ(texte(1048576), "1" + sep + "0 Mb");
    EXPECT_EQ(texte(1179648), "1" + sep + "12 Mb"); // 1.125: the half goes to the even neighbour
    EXPECT_EQ(texte(1536), "2 Kb");
    EXPECT_EQ(texte(2560), "2 Kb");
    EXPECT_EQ(texte(0), "0 Kb");
}

TEST(EstimationTaille, UnreadablePictureShowsNoEstimate)
{
    ThemeDocument doc;
    themeSimple(doc);
    image("stwater.gif", 100);
    ScriptedPrompts prompts;
    EXPECT_FALSE(TailleTskBtnClick(doc, dossierAppli(), prompts));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("tdywater.gif")) << prompts.messages[0].toStdString();
    EXPECT_FALSE(prompts.messages[0].contains("TSK Size"));

    QString erreur;
    EXPECT_FALSE(TailleFichier(dossierAppli(), &erreur)); // a folder is not a picture
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_EQ(TailleFichier(dossierAppli() + "stwater.gif"), 100);
}

TEST(EstimationTaille, AnimationPausedWhileTheMessageIsUp)
{
    struct Observateur : ScriptedPrompts
    {
        AnimationPause *pause = nullptr;
        bool enPause = false;
        void message(const QString &text, const QString &caption, Icon icon) override
        {
            enPause = pause->isPaused();
            ScriptedPrompts::message(text, caption, icon);
        }
    } prompts;
    DossiersProgramme dossiers;
    dossiers.DossierAppli = dossierAppli();
    AppContext ctx(dossiers, &prompts);
    prompts.pause = &ctx.animation;
    themeSimple(ctx.document);
    image("tdywater.gif", 1);
    image("stwater.gif", 2);
    const auto e = OuvreEstimationTaille(ctx);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->images, 3);
    EXPECT_TRUE(prompts.enPause);
    EXPECT_FALSE(ctx.animation.isPaused());
}

// The estimate beside the package really built. Pictures and setup text are
// exact for a package with the CE setup file alone; the cabinet overhead is
// the fixed 33 bytes a member, where the cabinet holds 29 (an entry with its
// 12-character name) and 8 more for every data block of up to 32 KB.
TEST(EstimationTaille, AgainstTheBuiltPackage)
{
    QProcess outil;
    outil.start(QStringLiteral("cabextract"), {QStringLiteral("--version")});
    if (!outil.waitForFinished() || outil.exitCode() != 0)
        GTEST_SKIP() << "no cabextract";

    struct Cas
    {
        int format;
        bool startSeul;
        bool valeurs;
        qint64 tailleImage;
        QString nomInterne;
    };
    const std::vector<Cas> cas{
        {0, false, false, 10000, ""},      {3, true, false, 20000, "My App"},
        {4, false, true, 1000, "Été"},     {5, true, true, 70000, ""},
        {8, false, true, 40000, "X"},      {4, true, false, 5, "An application name"},
    };
    int n = 0;
    for (const Cas &c : cas) {
        SCOPED_TRACE(n);
        ThemeDocument doc;
        doc.setNomTheme(QStringLiteral("Sky %1").arg(++n));
        doc.setNomInterne(c.nomInterne);
        doc.setFormatTheme(c.format);
        ParametresWM5 p;
        p.UseStartImageDefini = c.startSeul;
        p.ValUseStartImage = 1;
        if (c.valeurs) {
            p.BaseHueDefini = true;
            p.ValBaseHue = -5;
            p.DPIDefini = true;
            p.ValDPI = 192;
            p.Coul34Definie = true;
            p.Coul34 = TColor::fromValue(0x00123456);
            p.ClesThemeDefinies = true;
            doc.setClesTheme({"Color_Highlight\tFF000000\t\t1", "UseDefaultTitleColor\t00000001\t\t65537",
                              "Color34\t00FF0000\t\t1"});
            for (int i : {0, 6, 13, 21})
                doc.setInclus(i, true);
        }
        doc.setParametres(p);

        qint64 images = 0;
        int taille = int(c.tailleImage);
        for (const QString &nom : ImagesEstimation(c.format, c.startSeul)) {
            image(nom, taille);
            images += taille;
            taille += 777;
        }
        ScriptedPrompts prompts;
        ContextePackage ctx;
        ctx.prompts = &prompts;
        ctx.dossierAppli = dossierAppli();
        ctx.dossierTravail = testenv::tempDir() + "/ThemeTmp";
        ASSERT_TRUE(GenereTsk(doc, ctx, doc.nomTheme(), doc.nomInterneEffectif())) << prompts.messages.join('\n').toStdString();
        const QString package = ctx.dossierTravail + "/" + doc.nomTheme() + ".tsk";
        const qint64 reelle = QFileInfo(package).size();

        bool ok = false;
        const auto membres = cabtest::listeCabextract(package, &ok);
        ASSERT_TRUE(ok);
        qint64 setup = 0;
        qint64 imagesLues = 0;
        for (const auto &m : membres)
            (m.nom.endsWith(".000") ? setup : imagesLues) += m.taille;

        const EstimationTsk e = EstimeTailleTsk(doc, images);
        EXPECT_EQ(e.membres, int(membres.size()));
        EXPECT_EQ(e.images, imagesLues);
        EXPECT_EQ(e.inf, setup);
        const qint64 donnees = imagesLues + setup;
        const qint64 blocs = (donnees + 32767) / 32768;
        EXPECT_EQ(reelle - donnees, 44 + 29 * e.membres + 8 * blocs);
        EXPECT_EQ(e.total - reelle, 4 * e.membres - 8 * blocs);
    }
}

TEST(EstimationTaille, SetupOptionIsNotCounted)
{
    ThemeDocument doc;
    themeSimple(doc);
    image("tdywater.gif", 300);
    image("stwater.gif", 400);
    ScriptedPrompts prompts;
    ContextePackage ctx;
    ctx.prompts = &prompts;
    ctx.dossierAppli = dossierAppli();
    ctx.dossierTravail = testenv::tempDir() + "/ThemeTmp";
    ctx.option = OptionSetupPackage::InfXml;
    ASSERT_TRUE(GenereTsk(doc, ctx, "Sunset", "Abc"));
    const qint64 avecXml = QFileInfo(ctx.dossierTravail + "/Sunset.tsk").size();
    ctx.option = OptionSetupPackage::Inf;
    ASSERT_TRUE(GenereTsk(doc, ctx, "Sunset", "Abc"));
    const qint64 sansXml = QFileInfo(ctx.dossierTravail + "/Sunset.tsk").size();
    // The package grows by the XML member; the estimate stays the same.
    EXPECT_GT(avecXml, sansXml);
    EXPECT_EQ(EstimeTailleTsk(doc, 700).total, 700 + 263 + 143);
}
