#include "theme/package_writer.h"

#include "tests/support/banc_paquet.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/test_env.h"
#include "theme/controle_noms.h"
#include "theme/nom_interne_theme.h"
#include "theme/setup_ce_writer.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using Banc = BancPaquet;

TEST(NomInterneTheme, BlanksCaseAndLength)
{
    EXPECT_EQ(NomInterneTheme("Blue sky"), QStringLiteral("Bluesk"));
    EXPECT_EQ(NomInterneTheme("Ab"), QStringLiteral("Ab0000"));
    EXPECT_EQ(NomInterneTheme(""), QStringLiteral("00000"));
    EXPECT_EQ(NomInterneTheme("my theme"), QStringLiteral("Mythem"));
    EXPECT_EQ(NomInterneTheme("  a B c "), QStringLiteral("Abc000"));
    EXPECT_EQ(NomInterneTheme(QStringLiteral("éTÉ")), QStringLiteral("étÉ000")); // ASCII letters only
}

TEST(ControleNoms, RefusesNamesThatCannotNameAPackage)
{
    EXPECT_EQ(ControleNoms::nomTheme(""), QStringLiteral("Need a name for the Theme !"));
    for (const char *bad : {"../x", "a/b", "a\\b", "x:", "..", ".", "a.", "a ", "CON", "nul", "a?b", "a\"b", "a|b"})
        EXPECT_FALSE(ControleNoms::nomTheme(QString::fromUtf8(bad)).isEmpty()) << bad;
    EXPECT_FALSE(ControleNoms::nomTheme(QStringLiteral("a\tb")).isEmpty());
    EXPECT_FALSE(ControleNoms::nomTheme(QStringLiteral("日本")).isEmpty());
    EXPECT_FALSE(ControleNoms::nomTheme(QString(80, QLatin1Char('a'))).isEmpty());
    for (const char *good : {"Black & White", "Été 2024", "..x", "a.b", "50% grey"})
        EXPECT_TRUE(ControleNoms::nomTheme(QString::fromUtf8(good)).isEmpty()) << good;
    EXPECT_TRUE(ControleNoms::nomTheme(QString(79, QLatin1Char('a'))).isEmpty());
    EXPECT_TRUE(ControleNoms::nomApplication(QStringLiteral("A & B <x> \"q\"")).isEmpty());
    EXPECT_FALSE(ControleNoms::nomApplication(QString(80, QLatin1Char('a'))).isEmpty());
}

// Each document refuses only what it carries: the package file the theme
// name, the CE setup file and the INF text names in Windows-1252 (the setup
// file at most 79 characters), the XML document any character; the theme's
// own keys bring the theme name into the setup documents. A refusal names
// the character by its code point and, for a package, the way out.
TEST(ControleNoms, EachDocumentRefusesOnlyWhatItCarries)
{
    using namespace ControleNoms;
    const unsigned inf = DocumentsPaquet(OptionSetupPackage::Inf);
    const unsigned xml = DocumentsPaquet(OptionSetupPackage::Xml);
    const unsigned infXml = DocumentsPaquet(OptionSetupPackage::InfXml);
    const QString cyr = QStringLiteral("Тема Зима");
    const QString n80(80, QLatin1Char('n'));
    struct Cas
    {
        Noms noms;
        unsigned documents;
        QStringList theme;   // pieces of the theme name's refusal; empty: fit
        QStringList interne; // the same for the internal name
    };
    const Cas cas[] = {
        {{cyr, {}, false}, inf, {"\"Т\" (U+0422) in a package with a CE setup file", "\"+ Xml\"", "Internal Theme Name"}, {}},
        {{cyr, {}, false}, infXml, {"(U+0422)"}, {}},
        {{cyr, {}, true}, xml, {}, {}},
        {{cyr, "Zima", false}, inf, {}, {}},
        {{cyr, "Zima", true}, inf, {"(U+0422)", "registry keys", "\"+ Xml\""}, {}},
        {{cyr, "Zima", true}, TexteInf, {"(U+0422) in the INF file", "registry keys"}, {}},
        {{cyr, "Zima", true}, DocumentXml, {}, {}},
        {{"Zima", "Имя", false}, inf, {}, {"The internal name cannot contain the character \"И\" (U+0418)"}},
        {{"\U0001F319", {}, false}, inf, {"(U+1F319)"}, {}},
        {{"Zima", n80, false}, inf, {}, {"79 characters at most", "\"+ Xml\""}},
        {{"Zima", n80, false}, xml | TexteInf, {}, {}},
        {{"Zima", QString(QChar(0xD800)), false}, xml, {}, {"U+D800"}},
        {{"Zima", "a\tb", false}, xml, {}, {"control character"}},
        {{{}, "Zima", false}, TexteInf | DocumentXml, {}, {}},
        {{{}, "Zima", false}, xml, {"Need a name for the Theme !"}, {}},
        {{{}, {}, false}, TexteInf, {"Need a name for the Theme !"}, {}},
        {{"a/b", {}, false}, TexteInf | DocumentXml, {}, {}},
        {{"a/b", {}, false}, xml, {"\"/\""}, {}},
    };
    for (const Cas &c : cas) {
        const Refus r = verifie(c.noms, c.documents);
        const std::string quoi = (c.noms.theme + " | " + c.noms.interne).toStdString() + " / " + std::to_string(c.documents);
        EXPECT_EQ(r.theme.isEmpty(), c.theme.isEmpty()) << quoi << ": " << r.theme.toStdString();
        EXPECT_EQ(r.interne.isEmpty(), c.interne.isEmpty()) << quoi << ": " << r.interne.toStdString();
        for (const QString &morceau : c.theme)
            EXPECT_TRUE(r.theme.contains(morceau)) << quoi << ": " << r.theme.toStdString();
        for (const QString &morceau : c.interne)
            EXPECT_TRUE(r.interne.contains(morceau)) << quoi << ": " << r.interne.toStdString();
        // Only the package with a CE setup file points to "+ Xml".
        if (!(c.documents & FichierPaquet) || !(c.documents & FichierCE)) {
            EXPECT_FALSE(r.texte().contains(QStringLiteral("+ Xml"))) << quoi;
        }
    }
}

TEST(GenereTsk, MissingPicturesListTheMissingPartsAndWriteNothing)
{
    Banc b;
    b.doc.setFormatTheme(4);
    b.image("tdywater_240_320.gif"); // its landscape partner is missing
    b.image("stwater_240_320.gif");
    b.image("stwater_320_240.gif");
    EXPECT_FALSE(GenereTsk(b.doc, b.ctx, "Sky", "Sky"));
    EXPECT_EQ(b.prompts.messages, QStringList{"Not enough files to generate Theme !\n\r\t- Today (tdywater)\n\r"});
    EXPECT_EQ(b.sauvegardesCouleurs, 0);
    EXPECT_EQ(b.cabinet.appels, 0);
    EXPECT_TRUE(b.travail().isEmpty());
    EXPECT_FALSE(b.pause.isPaused());

    Banc vide;
    EXPECT_FALSE(GenereTsk(vide.doc, vide.ctx, "Sky", "Sky"));
    EXPECT_EQ(vide.prompts.messages,
              QStringList{"Not enough files to generate Theme !\n\r\t- Today (tdywater)\n\r\t- Start (stwater)\n\r"});

    // Start only needs no Today picture.
    Banc start;
    ParametresWM5 p;
    p.UseStartImageDefini = true;
    start.doc.setParametres(p);
    start.image("stwater.gif");
    EXPECT_TRUE(GenereTsk(start.doc, start.ctx, "Sky", "Sky"));
    EXPECT_EQ(start.cabinet.membres, (QStringList{"Sky000~1.000", "0stwater.001"}));
}

TEST(GenereTsk, MembersInOrderForEachOptionAndOnlyTheUnusedDocumentStays)
{
    struct Cas { OptionSetupPackage option; QStringList setup; QStringList reste; };
    const QList<Cas> cas{
        {OptionSetupPackage::Inf, {"Mythem~1.000"}, {"_setup.xml"}},
        {OptionSetupPackage::Xml, {"_setup.xml"}, {"Mythem~1.000"}},
        {OptionSetupPackage::InfXml, {"Mythem~1.000", "_setup.xml"}, {}},
    };
    for (const Cas &c : cas) {
        Banc b;
        b.ctx.option = c.option;
        b.doc.setFormatTheme(5);
        for (const char *n : {"tdywater_480_640.gif", "tdywater_640_480.gif", "stwater_480_640.gif",
                              "stwater_640_480.gif", "tdywater.gif", "stwater.gif"})
            b.image(n);
        ASSERT_TRUE(GenereTsk(b.doc, b.ctx, "my theme", "App"));
        const QStringList images{"TDYWAT~1.001", "TDYWAT~2.002", "STWATE~1.003", "STWATE~2.004"};
        EXPECT_EQ(b.cabinet.membres, c.setup + images);
        // Each picture member holds its working picture.
        const int n = int(c.setup.size());
        EXPECT_EQ(b.cabinet.contenus[n], QByteArray("GIF89a tdywater_480_640.gif"));
        EXPECT_EQ(b.cabinet.contenus[n + 3], QByteArray("GIF89a stwater_640_480.gif"));
        if (c.setup.first() == "Mythem~1.000") {
            EXPECT_EQ(b.cabinet.contenus[0], ConstruitFichier000(b.doc, "App", "my theme").value());
        }
        QStringList attendus = QStringList{"my theme.tsk"} + c.reste;
        attendus.sort();
        QStringList restants = b.travail();
        restants.sort();
        EXPECT_EQ(restants, attendus);
        EXPECT_EQ(b.sauvegardesCouleurs, 1);
        EXPECT_TRUE(b.prompts.messages.isEmpty());
        EXPECT_FALSE(b.pause.isPaused());
    }
}

TEST(GenereTsk, CabinetFailureLeavesNoPackageAndCleansUp)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    testenv::writeFile(b.ctx.dossierTravail + "/Sky.tsk", "stale package of an earlier build");
    b.cabinet.echec = QStringLiteral("Failure compressing data");
    EXPECT_FALSE(GenereTsk(b.doc, b.ctx, "Sky", "Sky"));
    EXPECT_EQ(b.prompts.messages, QStringList{"Failure compressing data"});
    EXPECT_EQ(b.travail(), QStringList{"_setup.xml"});
    EXPECT_FALSE(b.pause.isPaused());

    // The cabinet component reports a file it cannot store with its own text
    // and leaves no cabinet.
    CabinetTCABFile composant;
    QString erreur;
    const QString cab = testenv::tempDir() + "/x.tsk";
    EXPECT_FALSE(composant.construit(cab, {testenv::tempDir() + "/absent.001"}, &erreur));
    EXPECT_EQ(erreur, QStringLiteral("Failure opening file to be stored in cabinet"));
    EXPECT_FALSE(QFile::exists(cab));

    Banc couleurs;
    couleurs.image("tdywater.gif");
    couleurs.image("stwater.gif");
    couleurs.ctx.sauveCouleurs = [](QString *e) {
        *e = QStringLiteral("Cannot write the colour file");
        return false;
    };
    EXPECT_FALSE(GenereTsk(couleurs.doc, couleurs.ctx, "Sky", "Sky"));
    EXPECT_EQ(couleurs.prompts.messages, QStringList{"Cannot write the colour file"});
    EXPECT_EQ(couleurs.cabinet.appels, 0);
}

TEST(GenereTsk, RefusesUnsafeNamesBeforeWritingAnything)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    EXPECT_FALSE(GenereTsk(b.doc, b.ctx, "../evil", "App"));
    EXPECT_FALSE(GenereTsk(b.doc, b.ctx, "Sky", QString(80, QLatin1Char('a'))));
    EXPECT_EQ(b.prompts.messages.size(), 2);
    EXPECT_EQ(b.sauvegardesCouleurs, 0);
    EXPECT_TRUE(b.travail().isEmpty());
    EXPECT_FALSE(QFile::exists(testenv::tempDir() + "/evil.tsk"));
}

// Every picture set and format with every package option, built by the
// cabinet component and read back by cabextract.
TEST(GenereTsk, PackagesReadBackByCabextract)
{
    struct Set { int format; bool startOnly; QStringList pictures; QStringList members; };
    const QList<Set> sets{
        {3, false, {"tdywater.gif", "stwater.gif"}, {"tdywater.001", "0stwater.002"}},
        {3, true, {"stwater.gif"}, {"0stwater.001"}},
        {4, false, {"tdywater_240_320.gif", "tdywater_320_240.gif", "stwater_240_320.gif", "stwater_320_240.gif"},
         {"TDYWAT~1.001", "TDYWAT~2.002", "STWATE~1.003", "STWATE~2.004"}},
        {4, true, {"stwater_240_320.gif", "stwater_320_240.gif"}, {"STWATE~1.001", "STWATE~2.002"}},
        {5, false, {"tdywater_480_640.gif", "tdywater_640_480.gif", "stwater_480_640.gif", "stwater_640_480.gif"},
         {"TDYWAT~1.001", "TDYWAT~2.002", "STWATE~1.003", "STWATE~2.004"}},
        {5, true, {"stwater_480_640.gif", "stwater_640_480.gif"}, {"STWATE~1.001", "STWATE~2.002"}},
    };
    int n = 0;
    for (const Set &set : sets) {
        for (OptionSetupPackage option :
             {OptionSetupPackage::Inf, OptionSetupPackage::Xml, OptionSetupPackage::InfXml}) {
            SCOPED_TRACE(QStringLiteral("format %1 start only %2 option %3")
                             .arg(set.format).arg(set.startOnly).arg(int(option)).toStdString());
            Banc b;
            b.ctx.cabinet = nullptr; // the cabinet component
            b.ctx.dossierTravail = testenv::tempDir() + QStringLiteral("/work%1").arg(++n);
            b.ctx.option = option;
            b.doc.setFormatTheme(set.format);
            ParametresWM5 p;
            p.UseStartImageDefini = set.startOnly;
            p.ValUseStartImage = 1;
            b.doc.setParametres(p);
            b.doc.setInclus(2, true);
            for (const QString &pic : set.pictures) {
                b.image(pic);
                QFile f(b.ctx.dossierAppli + "/" + pic);
                ASSERT_TRUE(f.open(QIODevice::ReadWrite));
                f.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime);
            }
            const QDateTime debut = QDateTime::currentDateTime().addSecs(-2);
            ASSERT_TRUE(GenereTsk(b.doc, b.ctx, "Blue sky", "Blue sky"));
            const QString tsk = b.ctx.dossierTravail + "/Blue sky.tsk";

            QStringList expected;
            if (option != OptionSetupPackage::Xml)
                expected << "Bluesk~1.000";
            if (option != OptionSetupPackage::Inf)
                expected << "_setup.xml";
            expected += set.members;
            bool ok = false;
            QStringList listed;
            for (const auto &l : cabtest::listeCabextract(tsk, &ok)) {
                listed << l.nom;
                EXPECT_GE(l.date, debut) << l.nom.toStdString(); // every member dated by the build
            }
            EXPECT_TRUE(ok);
            EXPECT_EQ(listed, expected);

            // One folder, stored without compression (the folder record
            // follows the 36-byte header; its compression type is at +6).
            const QByteArray cab = testenv::readFile(tsk);
            ASSERT_GT(cab.size(), 44);
            EXPECT_EQ(cab.left(4), QByteArray("MSCF"));
            EXPECT_EQ(uint8_t(cab[26]) | uint8_t(cab[27]) << 8, 1);
            EXPECT_EQ(uint8_t(cab[42]) | uint8_t(cab[43]) << 8, 0);

            const QString out = testenv::tempDir() + QStringLiteral("/out%1").arg(n);
            ASSERT_EQ(cabtest::extraitCabextract(tsk, out), 0);
            for (int i = 0; i < set.members.size(); ++i)
                EXPECT_EQ(testenv::readFile(out + "/" + set.members[i]),
                          testenv::readFile(b.ctx.dossierAppli + "/" + set.pictures[i]));
            if (option != OptionSetupPackage::Xml) {
                EXPECT_EQ(testenv::readFile(out + "/Bluesk~1.000"),
                          ConstruitFichier000(b.doc, "Blue sky", "Blue sky").value());
            }
            if (option != OptionSetupPackage::Inf) {
                QStringList xml;
                GenereSetupXml(&xml, b.doc, "Blue sky", "Blue sky");
                EXPECT_EQ(testenv::readFile(out + "/_setup.xml"), xml.join("\r\n").toLatin1() + "\r\n");
            }
            // Only the package and the setup document it does not hold remain.
            QStringList left = b.travail();
            left.removeAll("Blue sky.tsk");
            EXPECT_EQ(left.size(), option == OptionSetupPackage::InfXml ? 0 : 1);
        }
    }
}

// Under "+ Inf" a theme name in another script is built when the setup file
// does not carry it (an internal name stands in); the theme's own keys bring
// it in, and the build is then refused before anything is written.
TEST(GenereTsk, AnInfPackageForANameTheSetupFileDoesNotCarry)
{
    Banc b;
    b.image("tdywater.gif");
    b.image("stwater.gif");
    b.ctx.cabinet = nullptr; // the real cabinet, read by cabextract
    ASSERT_TRUE(GenereTsk(b.doc, b.ctx, QStringLiteral("Тема"), QStringLiteral("Zima")))
        << b.prompts.messages.join('|').toStdString();
    const QString paquet = b.ctx.dossierTravail + QStringLiteral("/Тема.tsk");
    const QString extrait = testenv::tempDir() + QStringLiteral("/extrait");
    ASSERT_EQ(cabtest::extraitCabextract(paquet, extrait), 0);
    EXPECT_EQ(testenv::readFile(extrait + QStringLiteral("/Тема00~1.000")).mid(100, 5), QByteArray("Zima\0", 5));

    b.doc.setClesTheme({QStringLiteral("UseDefaultTitleColor\t00000001\t\t65537")});
    QFile::remove(paquet);
    EXPECT_FALSE(GenereTsk(b.doc, b.ctx, QStringLiteral("Тема"), QStringLiteral("Zima")));
    ASSERT_EQ(b.prompts.messages.size(), 1);
    EXPECT_TRUE(b.prompts.messages[0].contains(QStringLiteral("registry keys are named after it")));
    EXPECT_FALSE(QFile::exists(paquet));
}
