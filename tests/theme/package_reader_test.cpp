#include "tests/support/fake_cabinets.h"
#include "tests/support/instantane_dossier.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/setup_ce_builder.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"
#include "theme/animation_pause.h"
#include "theme/fichier_couleurs.h"
#include "theme/journal_lecture.h"
#include "theme/package_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

#include <csignal>
#include <unistd.h>

namespace {

const QByteArray ImgTd = "GIF89a today", ImgSt = "GIF89a start", ImgTdL = "GIF89a today L", ImgStL = "GIF89a start L";

struct Banc
{
    ScriptedPrompts prompts;
    DossierCabinet cabinet;
    AnimationPause pause;
    ThemeDocument doc;
    ContexteLecture ctx{testenv::programDir(), testenv::programDir() + "/orvandelCoul.inf",
                        testenv::tempDir() + "/ThemeTmp", prompts, cabinet, &pause, {}};

    // A package folder named after the theme.
    QString paquet(const QString &nom, const std::vector<std::pair<QString, QByteArray>> &membres)
    {
        const QString chemin = testenv::tempDir() + "/paquets/" + nom;
        DossierCabinet::ecrire(chemin, membres);
        return chemin;
    }
    QByteArray image(const QString &nom) { return testenv::readFile(ctx.dossierAppli + "/" + nom); }
    bool existe(const QString &nom) { return QFileInfo::exists(ctx.dossierAppli + "/" + nom); }
    void verifierPropre()
    {
        EXPECT_FALSE(QFileInfo::exists(ctx.dossierTravail + "/tempTsk"));
        EXPECT_FALSE(pause.isPaused());
    }
};

QByteArray setupTheme(int format4 = false)
{
    auto b = SetupCeBuilder::theme("My Theme.tsk");
    b.appli = "Interne";
    if (format4) {
        b.fichier(3, "stwater_240_320.gif");
        b.fichier(4, "stwater_320_240.gif");
        b.fichier(1, "tdywater_240_320.gif");
        b.fichier(2, "tdywater_320_240.gif");
    } else {
        b.fichier(1, "tdywater.gif");
        b.fichier(2, "stwater.gif");
    }
    b.cleBinaire(1, "5", QByteArray("\x01\x02\x03\x00", 4));
    b.cleDword(1, "8", 0x00332211);
    b.cleBinaire(1, "34", QByteArray("\x2E\x97\xE3\x00", 4));
    b.cleDword(1, "BaseHue", 260);
    b.cleDword(2, "DPI", 192);
    b.cleBinaire(3, "Color_Highlight", QByteArray("\x0A\x0B\x0C\x00", 4));
    b.cleDword(3, "Color_MenuText", 0x00332211); // a colour key stored as a DWORD
    return b.build();
}

QByteArray xmlTheme(const QString &sources)
{
    return ("<wap-provisioningdoc><characteristic type=\"Install\"><parm name=\"AppName\" value=\"X\"/></characteristic>"
            "<characteristic type=\"FileOperation\"><characteristic type=\"%CE2%\" translation=\"install\">"
            + sources
            + "</characteristic></characteristic><characteristic type=\"Registry\">"
              "<characteristic type=\"HKLM\\Software\\Microsoft\\Color\"><parm name=\"5\" value=\"197121\" datatype=\"integer\"/>"
              "</characteristic></characteristic></wap-provisioningdoc>")
        .toUtf8();
}

QString source(const QString &install, const QString &membre)
{
    return "<characteristic type=\"" + install + "\" translation=\"install\"><characteristic type=\"Extract\">"
           "<parm name=\"Source\" value=\"" + membre + "\"/></characteristic></characteristic>";
}

} // namespace

TEST(LitTsk, CeSetupFileRoadFillsTheThemeAndTheWorkingFiles)
{
    Banc b;
    b.doc.setFormatTheme(4);
    const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
    const auto infos = LitTsk(p, b.doc, b.ctx);
    ASSERT_TRUE(infos) << b.prompts.messages.join("|").toStdString();
    EXPECT_TRUE(b.prompts.messages.isEmpty());
    b.verifierPropre();
    EXPECT_EQ(b.doc.nomTheme(), "My Theme");
    EXPECT_EQ(b.doc.nomInterne(), "Interne");
    EXPECT_EQ(b.doc.slot(0).couleur, TColor::fromRgb(1, 2, 3));
    EXPECT_TRUE(b.doc.slot(0).inclus);
    EXPECT_EQ(b.doc.slot(1).couleur, TColor::fromRgb(0x11, 0x22, 0x33)) << "DWORD colours give the same text";
    EXPECT_FALSE(b.doc.slot(2).inclus);
    EXPECT_EQ(b.doc.slot(2).couleur, JeuCouleurs::couleurDefaut(2));
    EXPECT_EQ(b.doc.parametres().ValBaseHue, 260);
    EXPECT_TRUE(b.doc.parametres().Coul34Definie);
    // Each theme key keeps the type of its record.
    EXPECT_EQ(b.doc.clesTheme(), (QStringList{"Color_Highlight\t0A0B0C00\t\t1", "Color_MenuText\t00332211\t\t65537"}));
    EXPECT_EQ(b.doc.groupeFormat(), 0);
    EXPECT_EQ(b.doc.format().FormatTheme, 2) << "format 4 with a single-size set becomes 2";
    EXPECT_EQ(b.image("tdywater.gif"), ImgTd);
    EXPECT_EQ(b.image("stwater.gif"), ImgSt);
    EXPECT_TRUE(infos->infOuXml);
    EXPECT_EQ(infos->statut1, "mythem~1.000");
    EXPECT_TRUE(infos->texteInf.contains("InstallDir = \"%CE2%\" ; (\\Windows)"));
    EXPECT_TRUE(infos->texteFic.contains("Defined Colors : (Strings : 2,3,4)"));
    EXPECT_TRUE(infos->texteFic.contains("Theme KeysMy Theme.tsk\" in HKCU\\Software\\Microsoft\\Today : (Strings : 2,3,5,6)"));

    const QStringList coul = QString::fromLatin1(testenv::readFile(b.ctx.fichierCouleurs)).split("\r\n");
    EXPECT_EQ(coul.at(0), "[CouleursTSK]   ; ");
    EXPECT_EQ(coul.at(1), "coul05 = 01,02,03,00; Navigation Bar, Color 1 ");
    EXPECT_EQ(coul.at(2), "coul08 = 11,22,33,00; Navigation Bar, Color 2 ");
    EXPECT_EQ(coul.at(3), "coul09 = FF,FF,FF,00; Navigation Bar, Text (Added)");
    EXPECT_TRUE(coul.contains("coul34 = 2E,97,E3,00; Couleur 34 (WM5) (Added)"));
    EXPECT_TRUE(coul.contains("NomFic = My Theme"));
    EXPECT_TRUE(coul.contains("BaseHue = 260"));
    EXPECT_TRUE(coul.contains("Color_Highlight = 0A,0B,0C,00; 00000001"));
    EXPECT_TRUE(coul.contains("Color_MenuText = 3351057; 00010001"));
}

TEST(LitTsk, XmlRoadMembersInAnyCaseAndTheFormatFollowsThePictures)
{
    Banc b;
    const QString p = b.paquet("X.tsk", {{"_setup.xml", xmlTheme(source("tdywater_240_320.gif", "TDYWAT~1.001")
                                                              + source("tdywater_320_240.gif", "TDYWAT~2.002")
                                                              + source("stwater_240_320.gif", "STWATE~1.003")
                                                              + source("stwater_320_240.gif", "STWATE~2.004"))},
                                         {"TDYWAT~1.001", ImgTd}, {"TDYWAT~2.002", ImgTdL},
                                         {"STWATE~1.003", ImgSt}, {"STWATE~2.004", ImgStL}});
    ASSERT_TRUE(LitTsk(p, b.doc, b.ctx)) << b.prompts.messages.join("|").toStdString();
    EXPECT_EQ(b.doc.groupeFormat(), 2);
    EXPECT_EQ(b.doc.format().FormatTheme, 4);
    EXPECT_EQ(b.image("tdywater_320_240.gif"), ImgTdL);
    EXPECT_EQ(b.image("stwater_320_240.gif"), ImgStL);
    EXPECT_EQ(b.image("stwater.gif"), ImgSt);
    EXPECT_EQ(b.doc.slot(0).couleur, TColor::fromRgb(1, 2, 3));
    b.verifierPropre();
}

// A setup XML read after a setup file: the information text and the theme key
// name come from the XML alone, and its theme keys keep their stored type.
TEST(LitTsk, XmlRoadAfterASetupFileShowsNothingOfTheEarlierPackage)
{
    Banc b;
    const QString ce = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
    ASSERT_TRUE(LitTsk(ce, b.doc, b.ctx));
    ASSERT_EQ(b.doc.lectureSetup().NomCleTheme, "My Theme.tsk");

    const QByteArray xml =
        "<wap-provisioningdoc><characteristic type=\"Install\"><parm name=\"AppName\" value=\"X\"/></characteristic>"
        "<characteristic type=\"FileOperation\"><characteristic type=\"%CE2%\" translation=\"install\">"
        + source("tdywater.gif", "t.001").toUtf8() + source("stwater.gif", "s.002").toUtf8()
        + "</characteristic></characteristic><characteristic type=\"Registry\">"
          "<characteristic type=\"HKLM\\Software\\Microsoft\\Color\"><parm name=\"5\" value=\"197121\" datatype=\"integer\"/></characteristic>"
          "<characteristic type=\"HKCU\\Software\\Microsoft\\Today\"><parm name=\"DPI\" value=\"96\" datatype=\"integer\"/></characteristic>"
          "<characteristic type=\"HKCU\\Software\\Microsoft\\Today\\Xml Theme.tsk\">"
          "<parm name=\"Color_Highlight\" value=\"789516\" datatype=\"integer\"/>"
          "<parm name=\"Color_MenuText\" value=\"LpfjAA==\" datatype=\"binary\"/></characteristic>"
          "</characteristic></wap-provisioningdoc>";
    const QString p = b.paquet("Xml Theme.tsk", {{"_setup.xml", xml}, {"t.001", ImgTd}, {"s.002", ImgSt}});
    const auto infos = LitTsk(p, b.doc, b.ctx);
    ASSERT_TRUE(infos) << b.prompts.messages.join("|").toStdString();
    const LectureSetup &l = b.doc.lectureSetup();
    EXPECT_EQ(l.NomCleTheme, "Xml Theme.tsk");
    EXPECT_TRUE(l.ChainesCleCouleurs.isEmpty());
    EXPECT_TRUE(l.ChainesCleToday.isEmpty());
    EXPECT_TRUE(l.ChainesCleTheme.isEmpty());
    const QString texte = infos->texteFic.join('\n');
    EXPECT_FALSE(texte.contains("Strings")) << texte.toStdString();
    EXPECT_FALSE(texte.contains("My Theme")) << texte.toStdString();
    EXPECT_TRUE(infos->texteFic.contains("Defined Colors"));
    EXPECT_TRUE(infos->texteFic.contains("Today Keys"));
    EXPECT_TRUE(infos->texteFic.contains("Theme KeysXml Theme.tsk\" in HKCU\\Software\\Microsoft\\Today"));
    // 789516 is $000C0C0C: a DWORD stays a DWORD; the binary value stays binary.
    EXPECT_EQ(b.doc.clesTheme(), (QStringList{"Color_Highlight\t000C0C0C\t\t65537", "Color_MenuText\t2E97E300\t\t1"}));
    b.verifierPropre();
}

TEST(LitTsk, SetupFileIsPreferredAndStartOnlyDeletesTheTodayPicture)
{
    Banc b;
    testenv::writeFile(b.ctx.dossierAppli + "/tdywater.gif", "old");
    b.doc.setFormatTheme(5);
    auto s = SetupCeBuilder::theme();
    s.fichier(1, "stwater.gif");
    const QString p = b.paquet("S.tsk", {{"_setup.xml", xmlTheme(source("tdywater.gif", "x.009"))},
                                         {"s~1.000", s.build()}, {"0stwater.001", ImgSt}});
    ASSERT_TRUE(LitTsk(p, b.doc, b.ctx));
    EXPECT_EQ(b.doc.groupeFormat(), 1);
    EXPECT_FALSE(b.existe("tdywater.gif"));
    EXPECT_EQ(b.image("stwater.gif"), ImgSt);
    EXPECT_EQ(b.doc.format().FormatTheme, 3);
}

TEST(LitTsk, DeviceColoursFillUndefinedSlots)
{
    Banc b;
    QStringList table;
    for (int n = 0; n < 41; ++n)
        table << QString::asprintf("%02X,00,00,00", n);
    b.ctx.couleursAppareil = [&] { return std::optional<QStringList>(table); };
    const QString p = b.paquet("D.tsk", {{"d~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
    ASSERT_TRUE(LitTsk(p, b.doc, b.ctx));
    const QString coul = QString::fromLatin1(testenv::readFile(b.ctx.fichierCouleurs));
    EXPECT_TRUE(coul.contains("coul09 = 09,00,00,00; Navigation Bar, Text (SHColor)"));
    EXPECT_EQ(b.doc.slot(2).couleur, TColor::fromRgb(9, 0, 0));
    EXPECT_FALSE(b.doc.slot(2).inclus);
}

TEST(LitTsk, HostilePackagesLeaveTheThemeExactlyAsItWas)
{
    Banc b;
    const QString bon = b.paquet("Bon.tsk", {{"b~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
    ASSERT_TRUE(LitTsk(bon, b.doc, b.ctx));
    const QByteArray coulAvant = testenv::readFile(b.ctx.fichierCouleurs);
    const auto slotsAvant = b.doc.jeuCouleurs();
    const auto lectureAvant = b.doc.lectureSetup();
    const auto paramsAvant = b.doc.parametres();

    QByteArray tronque = setupTheme();
    tronque.chop(3);
    QByteArray horsFichier = setupTheme();
    patch32(horsFichier, 76, 0x7FFFFFFF);
    const QString nonReconnu = QStringLiteral("Th\u00e8me non reconnu !");
    struct Cas { const char *nom; std::vector<std::pair<QString, QByteArray>> membres; ErreurLecture erreur; QStringList textes; };
    const std::vector<Cas> cas = {
        {"traversal member", {{"h~1.000", setupTheme()}, {"../../tdywater.001", ImgTdL}, {"0stwater.002", ImgSt}}, ErreurLecture::MembreRefuse, {nonReconnu}},
        {"same member twice", {{"h~1.000", setupTheme()}, {"tdywater.001", ImgTdL}, {"TDYWATER.001", ImgTd}, {"0stwater.002", ImgSt}}, ErreurLecture::MembreRefuse, {nonReconnu}},
        {"truncated setup", {{"h~1.000", tronque}, {"tdywater.001", ImgTdL}, {"0stwater.002", ImgSt}}, ErreurLecture::SetupNonReconnu, {nonReconnu}},
        {"table past the end", {{"h~1.000", horsFichier}, {"tdywater.001", ImgTdL}, {"0stwater.002", ImgSt}}, ErreurLecture::InfNonReconnue, {nonReconnu}},
        {"missing member", {{"h~1.000", setupTheme()}, {"tdywater.001", ImgTdL}}, ErreurLecture::MembreManquant, {"Erreur", nonReconnu}},
        {"xml source traversal", {{"_setup.xml", xmlTheme(source("tdywater.gif", "../../../etc/passwd") + source("stwater.gif", "s.002"))}, {"s.002", ImgSt}}, ErreurLecture::ImageHorsPaquet, {nonReconnu}},
        {"xml source not in the cabinet", {{"_setup.xml", xmlTheme(source("tdywater.gif", "autre.001") + source("stwater.gif", "s.002"))}, {"s.002", ImgSt}}, ErreurLecture::ImageHorsPaquet, {nonReconnu}},
        {"bad xml", {{"_setup.xml", "<wap-provisioningdoc><oops>"}, {"s.002", ImgSt}}, ErreurLecture::SetupNonReconnu, {nonReconnu}},
        {"no setup document", {{"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}}, ErreurLecture::SansDocumentSetup, {}},
        {"no portrait picture", {{"_setup.xml", xmlTheme(source("tdywater_320_240.gif", "l.001"))}, {"l.001", ImgTdL}}, ErreurLecture::SansImagePortrait, {}},
    };
    for (const Cas &c : cas) {
        const QString p = b.paquet(QString::fromLatin1(c.nom) + ".tsk", c.membres);
        const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
        ASSERT_FALSE(r) << c.nom;
        ASSERT_NE(r.echec(), nullptr) << c.nom;
        EXPECT_EQ(r.echec()->erreur, c.erreur) << c.nom;
        EXPECT_EQ(TextesLecture(r), c.textes) << c.nom << ": " << TextesLecture(r).join("|").toStdString();
        EXPECT_TRUE(b.prompts.messages.isEmpty()) << c.nom << ": the reader shows nothing itself";
        EXPECT_EQ(b.doc.nomTheme(), "Bon") << c.nom;
        EXPECT_EQ(b.doc.jeuCouleurs(), slotsAvant) << c.nom;
        EXPECT_EQ(b.doc.lectureSetup(), lectureAvant) << c.nom;
        EXPECT_EQ(b.doc.parametres(), paramsAvant) << c.nom;
        EXPECT_EQ(testenv::readFile(b.ctx.fichierCouleurs), coulAvant) << c.nom;
        EXPECT_EQ(b.image("tdywater.gif"), ImgTd) << c.nom;
        b.verifierPropre();
    }
    // Members the cabinet lists but cannot give: the setup file, then a picture.
    const std::pair<int, ErreurLecture> illisibles[] = {{0, ErreurLecture::ExtractionSetup},
                                                        {1, ErreurLecture::ExtractionImage}};
    for (const auto &[membre, erreur] : illisibles) {
        const QString p = b.paquet(QStringLiteral("Illisible%1.tsk").arg(membre),
                                   {{"h~1.000", setupTheme()}, {"tdywater.001", ImgTdL}, {"0stwater.002", ImgSt}});
        ASSERT_TRUE(QFile::remove(p + "/m" + QString::number(membre)));
        const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
        ASSERT_NE(r.echec(), nullptr) << membre;
        EXPECT_EQ(r.echec()->erreur, erreur) << membre;
        EXPECT_EQ(TextesLecture(r), QStringList{"Extracting Files Error (Cab error)"}) << membre;
        EXPECT_EQ(b.doc.nomTheme(), "Bon") << membre;
        EXPECT_EQ(b.image("tdywater.gif"), ImgTd) << membre;
        b.verifierPropre();
    }

    // Nothing was ever asked of the cabinet under a name that leaves the scratch folder.
    for (const QString &m : b.cabinet.extraits)
        EXPECT_FALSE(m.contains("..")) << m.toStdString();

    // A file that is not a cabinet at all.
    const ResultatLecture absent = LitTsk(testenv::tempDir() + "/absent.tsk", b.doc, b.ctx);
    ASSERT_NE(absent.echec(), nullptr);
    EXPECT_EQ(absent.echec()->erreur, ErreurLecture::CabinetIllisible);
    EXPECT_EQ(TextesLecture(absent), QStringList{"Extracting Files Error (Cab error)"});
    EXPECT_EQ(b.doc.nomTheme(), "Bon");
    b.verifierPropre();
}

TEST(LitTsk, RealCabinetsAreNotThemesAndLeaveNoTrace)
{
    const QString dossier = testenv::testDataDir() + "/wince";
    if (!CabextractCabinet::disponible() || QDir(dossier).entryList({"*.CAB"}).isEmpty())
        GTEST_SKIP() << "no cabextract or no test cabinets";
    ScriptedPrompts prompts;
    CabextractCabinet cab;
    ThemeDocument doc;
    ContexteLecture ctx{testenv::programDir(), testenv::programDir() + "/c.inf", testenv::tempDir() + "/ThemeTmp",
                        prompts, cab, nullptr, {}};
    for (const QString &f : QDir(dossier).entryList({"*.CAB"})) {
        const ResultatLecture r = LitTsk(dossier + "/" + f, doc, ctx);
        EXPECT_FALSE(r) << f.toStdString();
        EXPECT_EQ(TextesLecture(r), QStringList{"Th\u00e8me non reconnu !"}) << f.toStdString();
    }
    EXPECT_TRUE(QDir(testenv::programDir()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ctx.dossierTravail + "/tempTsk"));
}

TEST(LitTsk, ExtraPackagesOpenOrAreRefusedCleanly)
{
    const QString dossier = qEnvironmentVariable("ORVANDEL_EXTRA_PACKAGES");
    if (dossier.isEmpty() || !CabextractCabinet::disponible())
        GTEST_SKIP() << "ORVANDEL_EXTRA_PACKAGES not set";
    ScriptedPrompts prompts;
    CabextractCabinet cab;
    ThemeDocument doc;
    ContexteLecture ctx{testenv::programDir(), testenv::programDir() + "/c.inf", testenv::tempDir() + "/ThemeTmp",
                        prompts, cab, nullptr, {}};
    const QStringList permis{"c.inf", "tdywater.gif", "stwater.gif", "tdywater_240_320.gif", "tdywater_320_240.gif",
                             "stwater_240_320.gif", "stwater_320_240.gif", "tdywater_480_640.gif",
                             "tdywater_640_480.gif", "stwater_480_640.gif", "stwater_640_480.gif"};
    QDirIterator it(dossier, {"*.tsk", "*.TSK"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        (void)LitTsk(f, doc, ctx);
        for (const QString &e : QDir(testenv::programDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            EXPECT_TRUE(permis.contains(e)) << f.toStdString() << ": " << e.toStdString();
        EXPECT_FALSE(QFileInfo::exists(ctx.dossierTravail + "/tempTsk"));
    }
}

#include "theme/cab_file.h"
#include "theme/cabinet_paquet.h"

TEST(LitTsk, RealCabinetWithMixedCaseMembersThroughTheCabinetComponent)
{
    const QString src = testenv::tempDir() + "/src";
    auto s = SetupCeBuilder::theme("Cab.tsk");
    s.fichier(3, "stwater_480_640.gif");
    s.fichier(4, "stwater_640_480.gif");
    s.fichier(1, "tdywater_480_640.gif");
    s.fichier(2, "tdywater_640_480.gif");
    s.cleBinaire(1, "5", QByteArray("\x01\x02\x03\x00", 4));
    const std::vector<std::pair<QString, QByteArray>> membres{{"CAB~1.000", s.build()}, {"TDYWAT~1.001", ImgTd},
        {"TDYWAT~2.002", ImgTdL}, {"STWATE~1.003", ImgSt}, {"STWATE~2.004", ImgStL}};
    TCABFile cab;
    cab.CABFile = testenv::tempDir() + "/Cab.tsk";
    cab.CompressionType = typNone;
    for (const auto &[nom, octets] : membres) {
        testenv::writeFile(src + "/" + nom, octets);
        cab.CABFileContents().Add()->Name = src + "/" + nom;
    }
    ASSERT_TRUE(cab.CreateCAB());

    ScriptedPrompts prompts;
    CabinetPaquet lecteur;
    AnimationPause pause;
    ThemeDocument doc;
    ContexteLecture ctx{testenv::programDir(), testenv::programDir() + "/c.inf", testenv::tempDir() + "/ThemeTmp",
                        prompts, lecteur, &pause, {}};
    ASSERT_TRUE(LitTsk(cab.CABFile, doc, ctx)) << prompts.messages.join("|").toStdString();
    EXPECT_EQ(doc.groupeFormat(), 4);
    EXPECT_EQ(doc.format().FormatTheme, 5);
    EXPECT_EQ(doc.nomTheme(), "Cab");
    EXPECT_EQ(testenv::readFile(ctx.dossierAppli + "/tdywater_640_480.gif"), ImgTdL);
    EXPECT_EQ(testenv::readFile(ctx.dossierAppli + "/stwater_480_640.gif"), ImgSt);
    EXPECT_EQ(testenv::readFile(ctx.dossierAppli + "/stwater.gif"), ImgSt);
    EXPECT_EQ(doc.slot(0).couleur, TColor::fromRgb(1, 2, 3));
    EXPECT_FALSE(QFileInfo::exists(ctx.dossierTravail + "/tempTsk"));
    EXPECT_FALSE(pause.isPaused());
}

namespace {

// Old working files the tests expect back, byte for byte.
struct AnciensFichiers
{
    explicit AnciensFichiers(Banc &banc) : b(banc) {}

    Banc &b;
    QStringList noms;
    std::map<QString, QByteArray> octets;
    void pose(const QString &nom, const QByteArray &o)
    {
        testenv::writeFile(b.ctx.dossierAppli + "/" + nom, o);
        octets[nom] = o;
    }
    void verifie()
    {
        for (const auto &[nom, o] : octets)
            EXPECT_EQ(testenv::readFile(b.ctx.dossierAppli + "/" + nom), o) << nom.toStdString();
        // No staged copy, no kept old file.
        const QStringList caches = QDir(b.ctx.dossierAppli).entryList({".*.lecture", ".*.ancien"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(caches.isEmpty()) << caches.join(' ').toStdString();
    }
};

// A GIF whose header claims width x height, with one tiny block of data.
QByteArray gifAnnonce(int largeur, int hauteur)
{
    QByteArray g("GIF89a");
    auto mot = [&g](int v) { g.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    mot(largeur);
    mot(hauteur);
    g.append(char(0x80)).append('\0').append('\0'); // a 2-colour global table
    g.append(QByteArray("\0\0\0\xff\xff\xff", 6));
    g.append(char(0x2C));
    mot(0);
    mot(0);
    mot(largeur);
    mot(hauteur);
    g.append('\0');
    g.append(char(2)).append(char(2)).append(QByteArray("\x4c\x01", 2)).append('\0');
    g.append(char(0x3B));
    return g;
}

} // namespace

TEST(LitTsk, AReplacementThatFailsPutsEveryOldFileBack)
{
    // "stwater.gif" is a folder: the picture before it and the colour file
    // after it must come back as they were.
    {
        Banc b;
        AnciensFichiers a{b};
        a.pose("tdywater.gif", "GIF89a old today");
        a.pose("orvandelCoul.inf", "[CouleursTSK]   ; old\r\n");
        a.pose("stwater.gif/inside", "a file in the way");
        b.doc.setNomTheme("Before");
        const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
        const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
        ASSERT_NE(r.echec(), nullptr);
        EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
        const QStringList textes = TextesLecture(r);
        ASSERT_EQ(textes.size(), 1);
        EXPECT_TRUE(textes[0].startsWith("Cannot replace ")) << textes[0].toStdString();
        EXPECT_TRUE(textes[0].contains("stwater.gif"));
        EXPECT_FALSE(textes[0].contains("//"));
        EXPECT_EQ(b.doc.nomTheme(), "Before");
        a.verifie();
        b.verifierPropre();
    }
    // The colour file is the one that cannot be replaced: both pictures go back.
    {
        Banc b;
        b.ctx.dossierAppli = testenv::programDir() + "/deux";
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        AnciensFichiers a{b};
        a.pose("tdywater.gif", "GIF89a old today");
        a.pose("stwater.gif", "GIF89a old start");
        a.pose("orvandelCoul.inf/inside", "a file in the way");
        const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
        const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
        ASSERT_NE(r.echec(), nullptr);
        EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
        ASSERT_EQ(TextesLecture(r).size(), 1);
        EXPECT_TRUE(TextesLecture(r)[0].contains("orvandelCoul.inf"));
        a.verifie();
    }
    // With nothing in the way the same package reads, and leaves nothing hidden behind.
    {
        Banc b;
        b.ctx.dossierAppli = testenv::programDir() + "/trois";
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        AnciensFichiers a{b};
        a.pose("tdywater.gif", "GIF89a old today");
        const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
        ASSERT_TRUE(LitTsk(p, b.doc, b.ctx));
        a.octets = {{"tdywater.gif", ImgTd}, {"stwater.gif", ImgSt}};
        a.verifie();
    }
}

// A read deletes every working picture the package does not give (the size
// variants of another set, the pictures a format change put aside) and
// nothing else; a deletion that fails puts every old file back, those
// already deleted and those already replaced.
TEST(LitTsk, ThePicturesOfTheThemeBeforeGoInTheSameTransaction)
{
    const char *const avant[] = {"tdywater_480_640.gif", "tdywater_640_480.gif", "stwater_480_640.gif",
                                 "stwater_640_480.gif",  "stwater_240_320.gif",  "tdywater_garde.gif",
                                 "tdywater_garde12.gif", "stwater_garde.gif"};
    const char *const autres[] = {"tdywater_garde.png", "tdywater_gardeX.gif", "stwater_garde_2.gif", "mine.gif",
                                  "TDYWATER_480_640.GIF", "tdywater_garde\u0663.gif"};
    {
        Banc b;
        b.ctx.dossierAppli = testenv::programDir() + "/un";
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        AnciensFichiers a{b};
        a.pose("tdywater.gif", "GIF89a old today");
        a.pose("orvandelCoul.inf", "[CouleursTSK]   ; old\r\n");
        for (const char *nom : avant)
            a.pose(QString::fromUtf8(nom), QByteArray("old ") + nom);
        for (const char *nom : autres)
            a.pose(QString::fromUtf8(nom), QByteArray("mine ") + nom);
        // The last deletion cannot be made: its kept name is taken by a folder.
        a.pose(".stwater_garde.gif.ancien/inside", "in the way");
        const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
        const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
        ASSERT_NE(r.echec(), nullptr);
        EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
        ASSERT_EQ(TextesLecture(r).size(), 1);
        EXPECT_TRUE(TextesLecture(r)[0].startsWith("Cannot delete ")) << TextesLecture(r)[0].toStdString();
        EXPECT_TRUE(TextesLecture(r)[0].contains("stwater_garde.gif"));
        a.verifie();
        EXPECT_FALSE(QFileInfo::exists(b.ctx.dossierAppli + "/stwater.gif"));
    }
    {
        Banc b;
        b.ctx.dossierAppli = testenv::programDir() + "/deux";
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        AnciensFichiers a{b};
        for (const char *nom : avant)
            a.pose(QString::fromUtf8(nom), "old");
        for (const char *nom : autres)
            a.pose(QString::fromUtf8(nom), QByteArray("mine ") + nom);
        const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", ImgTd}, {"0stwater.002", ImgSt}});
        ASSERT_TRUE(LitTsk(p, b.doc, b.ctx)) << TextesLecture(LitTsk(p, b.doc, b.ctx)).join('|').toStdString();
        for (const char *nom : avant)
            a.octets.erase(QString::fromUtf8(nom));
        a.octets["tdywater.gif"] = ImgTd;
        a.octets["stwater.gif"] = ImgSt;
        a.verifie();
        QStringList restent = QDir(b.ctx.dossierAppli).entryList({"*.gif", "*.GIF", "*.png"}, QDir::Files, QDir::Name);
        QStringList attendus{"tdywater.gif", "stwater.gif"};
        for (const char *nom : autres)
            attendus << QString::fromUtf8(nom);
        restent.sort();
        attendus.sort();
        EXPECT_EQ(restent, attendus);
    }
}

// An AppName whose character references make line breaks, and a package
// name in another script: the working colour file keeps each on its line,
// and both names come back whole from it.
TEST(LitTsk, NamesFromThePackageNeverBreakTheColourFileLines)
{
    Banc b;
    QByteArray xml = xmlTheme(source("tdywater.gif", "t.001") + source("stwater.gif", "s.002"));
    xml.replace("value=\"X\"", "value=\"I&#13;&#10;[WM5]&#13;&#10;BaseHue = 7 &#x436;\"");
    const QString p = b.paquet(QStringLiteral("日本.tsk"), {{"_setup.xml", xml}, {"t.001", ImgTd}, {"s.002", ImgSt}});
    ASSERT_TRUE(LitTsk(p, b.doc, b.ctx)) << TextesLecture(LitTsk(p, b.doc, b.ctx)).join('|').toStdString();
    EXPECT_EQ(b.doc.nomTheme(), QStringLiteral("日本"));
    EXPECT_EQ(b.doc.nomInterne(), QStringLiteral("I\r\n[WM5]\r\nBaseHue = 7 \u0436"));
    const QByteArray octets = testenv::readFile(b.ctx.fichierCouleurs);
    EXPECT_TRUE(octets.contains("\r\nNomFic = ??\r\nNomInterne = I??[WM5]??BaseHue = 7 ?\r\n")) << octets.toStdString();
    EXPECT_FALSE(octets.contains("\r\n[WM5]"));
    ThemeDocument relu;
    ASSERT_TRUE(ChargeCouleurs(relu, b.ctx.fichierCouleurs, true).ok);
    EXPECT_EQ(relu.nomTheme(), b.doc.nomTheme());
    EXPECT_EQ(relu.nomInterne(), b.doc.nomInterne());
    EXPECT_FALSE(relu.parametres().BaseHueDefini);
}

TEST(LitTsk, FilesAKilledReadLeftAreSweptByTheNextRead)
{
    Banc b;
    testenv::writeFile(b.ctx.dossierAppli + "/.stwater.gif.lecture", QByteArray(1 << 16, 'x'));
    testenv::writeFile(b.ctx.dossierAppli + "/.tdywater.gif.ancien", "old");
    const QString p = b.paquet("My Theme.tsk", {{"MYTHEM~1.000", setupTheme()}});
    EXPECT_FALSE(LitTsk(p, b.doc, b.ctx)); // no picture member: refused
    EXPECT_TRUE(QDir(b.ctx.dossierAppli).entryList({".*.lecture", ".*.ancien"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST(LitTsk, APictureBombIsRefusedFromItsHeader)
{
    Banc b;
    testenv::writeFile(b.ctx.dossierAppli + "/tdywater.gif", "GIF89a old today");
    b.doc.setNomTheme("Before");
    const QByteArray bombe = gifAnnonce(16000, 16000);
    ASSERT_LT(bombe.size(), 100);
    const QString p = b.paquet("Bomb.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", bombe}, {"0stwater.002", ImgSt}});
    const ResultatLecture r = LitTsk(p, b.doc, b.ctx);
    ASSERT_NE(r.echec(), nullptr);
    EXPECT_EQ(r.echec()->erreur, ErreurLecture::ImageTropGrande);
    const QStringList textes = TextesLecture(r);
    ASSERT_EQ(textes.size(), 1);
    EXPECT_TRUE(textes[0].contains("too large")) << textes[0].toStdString();
    EXPECT_TRUE(textes[0].contains("16000 x 16000"));
    EXPECT_EQ(b.doc.nomTheme(), "Before");
    EXPECT_EQ(testenv::readFile(b.ctx.dossierAppli + "/tdywater.gif"), QByteArray("GIF89a old today"));
    b.verifierPropre();

    // The largest picture the limit allows is not refused for its size.
    Banc c;
    const QString q = c.paquet("Big.tsk", {{"MYTHEM~1.000", setupTheme()}, {"tdywater.001", gifAnnonce(8192, 8192)}, {"0stwater.002", ImgSt}});
    EXPECT_TRUE(LitTsk(q, c.doc, c.ctx)) << c.prompts.messages.join('|').toStdString();
}

namespace {

// A theme of format 2 in its own folder (a set-aside picture, a size variant
// of another set, the user's own file), and the format 4 package that
// replaces all of it: pictures replaced, added, deleted, and the colour file.
struct ThemeAvantPaquet
{
    explicit ThemeAvantPaquet(Banc &banc, const QString &sousDossier) : b(banc)
    {
        b.ctx.dossierAppli = testenv::programDir() + "/" + sousDossier;
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        for (const char *nom : {"tdywater.gif", "stwater.gif", "stwater_240_320.gif", "tdywater_480_640.gif",
                                "stwater_garde.gif", "mine.txt"})
            testenv::writeFile(chemin(nom), QByteArray("old ") + nom);
        testenv::writeFile(b.ctx.fichierCouleurs, "[CouleursTSK]   ; \r\nNomFic = Before\r\n");
        paquet = b.paquet("New.tsk", {{"_setup.xml", xmlTheme(source("tdywater_240_320.gif", "TDYWAT~1.001")
                                                              + source("tdywater_320_240.gif", "TDYWAT~2.002")
                                                              + source("stwater_240_320.gif", "STWATE~1.003")
                                                              + source("stwater_320_240.gif", "STWATE~2.004"))},
                                      {"TDYWAT~1.001", ImgTd}, {"TDYWAT~2.002", ImgTdL},
                                      {"STWATE~1.003", ImgSt}, {"STWATE~2.004", ImgStL}});
        ancien = testenv::prendInstantane(b.ctx.dossierAppli);
    }
    QString chemin(const QString &nom) const { return b.ctx.dossierAppli + "/" + nom; }
    bool balaie() const { return BalaieFichiersLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs); }
    // Reads the package in a child process killed at install step k; false
    // when the read ran to its end before.
    bool litJusquA(int k)
    {
        ContexteLecture ctx = b.ctx;
        ctx.etapeInstallation = [k](int etape) {
            if (etape == k)
                ::kill(::getpid(), SIGKILL);
        };
        return testenv::executeJusquAuKill([&] {
            ThemeDocument doc;
            LitTsk(paquet, doc, ctx);
        });
    }

    Banc &b;
    QString paquet;
    testenv::Instantane ancien;
};

std::string noms(const testenv::Instantane &i)
{
    std::string s;
    for (const auto &[nom, octets] : i)
        s += nom.toStdString() + " ";
    return s;
}

} // namespace

// Whatever step of putting the working files in place the read is killed at,
// the sweep of the next start leaves exactly the old theme (killed before the
// journal was removed) or exactly the new one (after), never a mix.
TEST(JournalLecture, AReadKilledAtAnyStepLeavesTheOldThemeOrTheNewOneWhole)
{
    Banc b;
    ThemeAvantPaquet t(b, "theme");
    // The new theme as a read that runs to its end leaves it: no journal, nothing hidden.
    {
        ThemeDocument doc;
        ASSERT_TRUE(LitTsk(t.paquet, doc, b.ctx)) << TextesLecture(LitTsk(t.paquet, doc, b.ctx)).join('|').toStdString();
    }
    const testenv::Instantane nouveau = testenv::prendInstantane(b.ctx.dossierAppli);
    ASSERT_EQ(noms(nouveau), "mine.txt orvandelCoul.inf stwater.gif stwater_240_320.gif stwater_320_240.gif "
                             "tdywater.gif tdywater_240_320.gif tdywater_320_240.gif ");
    ASSERT_NE(nouveau.at("orvandelCoul.inf"), t.ancien.at("orvandelCoul.inf"));

    int anciens = 0, nouveaux = 0;
    bool fin = false;
    for (int k = 1; k < 100 && !fin; ++k) {
        testenv::remetInstantane(b.ctx.dossierAppli, t.ancien);
        if (!t.litJusquA(k)) {
            fin = true;
            EXPECT_EQ(testenv::prendInstantane(b.ctx.dossierAppli), nouveau) << "uncut read";
            break;
        }
        EXPECT_TRUE(t.balaie()) << k;
        const testenv::Instantane apres = testenv::prendInstantane(b.ctx.dossierAppli);
        if (apres == t.ancien) {
            EXPECT_EQ(nouveaux, 0) << "the old theme came back after a cut past the commit, step " << k;
            ++anciens;
        } else {
            EXPECT_EQ(apres, nouveau) << "step " << k << ": " << noms(apres);
            ++nouveaux;
        }
        // A second sweep changes nothing.
        EXPECT_TRUE(t.balaie());
        EXPECT_EQ(testenv::prendInstantane(b.ctx.dossierAppli), apres) << k;
    }
    EXPECT_TRUE(fin);
    // Staged, journal, each of the 7 files kept then replaced, 2 deletions:
    // every cut up to there gives the old theme back.
    EXPECT_GE(anciens, 2 + 2 * 7 + 2);
    EXPECT_GE(nouveaux, 1);
}

// An old file that cannot be put back (a folder now stands under its name):
// the journal and every kept file stay, the read is refused meanwhile, and
// the next sweep finishes the work once the way is clear.
TEST(JournalLecture, ARollbackStepThatFailsKeepsTheJournalAndTheOldFilesForTheNextSweep)
{
    Banc b;
    ThemeAvantPaquet t(b, "theme");
    // Cut once every replacement and deletion is done, before the commit.
    ASSERT_TRUE(t.litJusquA(2 + 2 * 7 + 2));
    ASSERT_TRUE(QFileInfo::exists(t.chemin(NomJournalLecture())));
    ASSERT_EQ(testenv::readFile(t.chemin(".stwater.gif.ancien")), "old stwater.gif");
    ASSERT_TRUE(QFile::remove(t.chemin("stwater.gif")));
    testenv::writeFile(t.chemin("stwater.gif/in the way"), "x");

    EXPECT_FALSE(t.balaie());
    EXPECT_TRUE(QFileInfo::exists(t.chemin(NomJournalLecture())));
    EXPECT_EQ(testenv::readFile(t.chemin(".stwater.gif.ancien")), "old stwater.gif");
    EXPECT_EQ(testenv::readFile(t.chemin("tdywater.gif")), "old tdywater.gif");
    EXPECT_EQ(testenv::readFile(t.chemin("stwater_garde.gif")), "old stwater_garde.gif");
    EXPECT_FALSE(QFileInfo::exists(t.chemin("tdywater_320_240.gif")));
    EXPECT_TRUE(QDir(b.ctx.dossierAppli).entryList({".*.lecture"}, QDir::Files | QDir::Hidden).isEmpty());

    // No read on top of an unfinished one: its journal would be lost.
    const QByteArray journal = testenv::readFile(t.chemin(NomJournalLecture()));
    ThemeDocument doc;
    const ResultatLecture r = LitTsk(t.paquet, doc, b.ctx);
    ASSERT_NE(r.echec(), nullptr);
    EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
    EXPECT_TRUE(TextesLecture(r).value(0).startsWith("Cannot write ")) << TextesLecture(r).join('|').toStdString();
    EXPECT_TRUE(TextesLecture(r).value(0).contains(NomJournalLecture()));
    EXPECT_EQ(testenv::readFile(t.chemin(NomJournalLecture())), journal);
    EXPECT_EQ(testenv::readFile(t.chemin(".stwater.gif.ancien")), "old stwater.gif");

    ASSERT_TRUE(QDir(t.chemin("stwater.gif")).removeRecursively());
    EXPECT_TRUE(t.balaie());
    EXPECT_EQ(testenv::prendInstantane(b.ctx.dossierAppli), t.ancien);
    ASSERT_TRUE(LitTsk(t.paquet, doc, b.ctx));
    EXPECT_EQ(testenv::readFile(t.chemin("stwater_320_240.gif")), ImgStL);
    EXPECT_FALSE(QFileInfo::exists(t.chemin(NomJournalLecture())));
}

// A journal the program did not write, or not whole, is removed and nothing
// else is touched: no old file is put back, none is deleted, nothing outside
// the folder is reached. A pipe under its name never blocks the sweep.
TEST(JournalLecture, AHostileJournalTouchesNothing)
{
    const QByteArray entete = "Orvandel read journal 1\n";
    const std::vector<std::pair<const char *, QByteArray>> journaux{
        {"traversal", entete + "1 tdywater.gif\n1 ../victime.gif\n"},
        {"slash", entete + "1 tdywater.gif\n0 sous/stwater.gif\n"},
        {"unknown name", entete + "1 tdywater.gif\n1 notes.txt\n"},
        {"hidden name", entete + "1 tdywater.gif\n0 .stwater.gif.ancien\n"},
        {"dot dot", entete + "1 tdywater.gif\n1 ..\n"},
        {"twice", entete + "1 tdywater.gif\n0 tdywater.gif\n"},
        {"nul", entete + "1 tdywater.gif\n1 stwater.gif" + QByteArray(1, '\0') + "x\n"},
        {"bad flag", entete + "1 tdywater.gif\n2 stwater.gif\n"},
        {"no header", "1 tdywater.gif\n"},
        {"cut", entete + "1 tdywater.gif\n1 stwater.g"},
        {"oversized", entete + QByteArray("1 tdywater.gif\n").repeated(20000)},
        {"too many", entete + [] {
             QByteArray t;
             for (int i = 0; i < 513; ++i)
                 t += "0 tdywater_garde" + QByteArray::number(i) + ".gif\n";
             return t;
         }()},
        {"long name", entete + "1 tdywater.gif\n0 tdywater_garde" + QByteArray(300, '7') + ".gif\n"},
        {"unknown colour file", entete + "1 tdywater.gif\n1 autreCoul.inf\n"},
    };
    const QString victime = testenv::rootDir() + "/victime.gif";
    int cas = 0;
    const auto prepare = [&](Banc &b, const QString &sous) {
        b.ctx.dossierAppli = testenv::programDir() + "/" + sous;
        b.ctx.fichierCouleurs = b.ctx.dossierAppli + "/orvandelCoul.inf";
        const QDir d(b.ctx.dossierAppli);
        testenv::writeFile(d.filePath("tdywater.gif"), "current today");
        testenv::writeFile(d.filePath("stwater.gif"), "current start");
        testenv::writeFile(d.filePath(".tdywater.gif.ancien"), "kept today");
        testenv::writeFile(d.filePath(".stwater.gif.ancien"), "kept start");
        testenv::writeFile(d.filePath(".stwater.gif.lecture"), "staged");
        testenv::writeFile(victime, "precious");
    };
    const auto verifie = [&](Banc &b, const std::string &quoi) {
        const QDir d(b.ctx.dossierAppli);
        EXPECT_EQ(testenv::readFile(d.filePath("tdywater.gif")), "current today") << quoi;
        EXPECT_EQ(testenv::readFile(d.filePath("stwater.gif")), "current start") << quoi;
        EXPECT_EQ(testenv::readFile(d.filePath(".tdywater.gif.ancien")), "kept today") << quoi;
        EXPECT_EQ(testenv::readFile(d.filePath(".stwater.gif.ancien")), "kept start") << quoi;
        EXPECT_FALSE(QFileInfo::exists(d.filePath(".stwater.gif.lecture"))) << quoi;
        EXPECT_EQ(testenv::readFile(victime), "precious") << quoi;
    };
    for (const auto &[quoi, texte] : journaux) {
        Banc b;
        prepare(b, QString::number(++cas));
        testenv::writeFile(b.ctx.dossierAppli + "/" + NomJournalLecture(), texte);
        EXPECT_FALSE(LitJournalLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs)) << quoi;
        EXPECT_TRUE(BalaieFichiersLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs)) << quoi;
        EXPECT_FALSE(QFileInfo::exists(b.ctx.dossierAppli + "/" + NomJournalLecture())) << quoi;
        verifie(b, quoi);
    }
    // The same entries, well formed, are carried out: the check above is what stopped them.
    {
        Banc b;
        prepare(b, "valid");
        testenv::writeFile(b.ctx.dossierAppli + "/" + NomJournalLecture(), entete + "1 tdywater.gif\n1 orvandelCoul.inf\n");
        EXPECT_TRUE(BalaieFichiersLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs));
        EXPECT_EQ(testenv::readFile(b.ctx.dossierAppli + "/tdywater.gif"), "kept today");
        EXPECT_FALSE(QFileInfo::exists(b.ctx.dossierAppli + "/.stwater.gif.ancien"));
    }
    // A link to a well-formed journal elsewhere is no journal of the program.
    {
        Banc b;
        prepare(b, "link");
        const QString ailleurs = testenv::rootDir() + "/journal";
        testenv::writeFile(ailleurs, entete + "1 tdywater.gif\n");
        ASSERT_EQ(::symlink(QFile::encodeName(ailleurs).constData(),
                            QFile::encodeName(b.ctx.dossierAppli + "/" + NomJournalLecture()).constData()), 0);
        EXPECT_TRUE(BalaieFichiersLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs));
        EXPECT_FALSE(QFileInfo(b.ctx.dossierAppli + "/" + NomJournalLecture()).isSymLink());
        EXPECT_EQ(testenv::readFile(ailleurs), entete + "1 tdywater.gif\n");
        verifie(b, "link");
    }
    // A pipe: never opened.
    {
        Banc b;
        prepare(b, "pipe");
        testenv::TubeSurveille tube(b.ctx.dossierAppli + "/" + NomJournalLecture());
        ASSERT_TRUE(tube.cree());
        EXPECT_TRUE(BalaieFichiersLecture(b.ctx.dossierAppli, b.ctx.fichierCouleurs));
        tube.arrete();
        EXPECT_EQ(tube.lecteurs(), 0);
        verifie(b, "pipe");
    }
}

// A journal that cannot be written stops the read before any working file
// is touched: here more set-aside pictures than a journal may list.
TEST(JournalLecture, AJournalThatCannotBeWrittenChangesNothing)
{
    Banc b;
    ThemeAvantPaquet t(b, "theme");
    for (int i = 1; i <= 600; ++i)
        testenv::writeFile(t.chemin(QStringLiteral("tdywater_garde%1.gif").arg(i)), "set aside");
    const testenv::Instantane avant = testenv::prendInstantane(b.ctx.dossierAppli);
    ThemeDocument doc;
    doc.setNomTheme("Before");
    const ResultatLecture r = LitTsk(t.paquet, doc, b.ctx);
    ASSERT_NE(r.echec(), nullptr);
    EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
    ASSERT_EQ(TextesLecture(r).size(), 1);
    EXPECT_TRUE(TextesLecture(r)[0].startsWith("Cannot write ")) << TextesLecture(r)[0].toStdString();
    EXPECT_TRUE(TextesLecture(r)[0].contains(NomJournalLecture()));
    EXPECT_EQ(doc.nomTheme(), "Before");
    EXPECT_TRUE(testenv::prendInstantane(b.ctx.dossierAppli) == avant);
}

// The journal cannot be removed when the new theme is in place (a folder has
// taken its name): the read is not committed, every old file comes back and
// the failure is reported.
TEST(JournalLecture, AJournalThatCannotBeRemovedUndoesTheRead)
{
    Banc b;
    ThemeAvantPaquet t(b, "theme");
    const QString journal = t.chemin(NomJournalLecture());
    b.ctx.etapeInstallation = [&](int etape) {
        if (etape == 2) { // the journal is written, no working file touched yet
            ASSERT_TRUE(QFile::remove(journal));
            testenv::writeFile(journal + "/in the way", "x");
        }
    };
    ThemeDocument doc;
    doc.setNomTheme("Before");
    const ResultatLecture r = LitTsk(t.paquet, doc, b.ctx);
    ASSERT_NE(r.echec(), nullptr);
    EXPECT_EQ(r.echec()->erreur, ErreurLecture::Installation);
    ASSERT_EQ(TextesLecture(r).size(), 1);
    EXPECT_TRUE(TextesLecture(r)[0].startsWith("Cannot delete ")) << TextesLecture(r)[0].toStdString();
    EXPECT_TRUE(TextesLecture(r)[0].contains(NomJournalLecture()));
    EXPECT_EQ(doc.nomTheme(), "Before");
    EXPECT_EQ(testenv::prendInstantane(b.ctx.dossierAppli), t.ancien);
}
