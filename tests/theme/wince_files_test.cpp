// Real Windows CE installer cabinets that no one here wrote: their setup
// files and setup documents read without harm and are not themes.
#include "tests/support/test_env.h"
#include "theme/inf_rebuilder.h"
#include "theme/setup_ce_reader.h"
#include "theme/setup_xml_reader.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

TEST(WinceCabinets, SetupFilesAndDocumentsParseAndAreNotThemes)
{
    const QDir source(testenv::testDataDir() + "/wince");
    const QStringList cabs = source.entryList({"*.CAB"}, QDir::Files);
    if (cabs.isEmpty() || QProcess::execute("cabextract", {"--version"}) != 0)
        GTEST_SKIP() << "no test cabinets or no cabextract";
    int setups = 0, xmls = 0;
    for (const QString &cab : cabs) {
        const QString dest = testenv::tempDir() + "/x/" + cab;
        QDir().mkpath(dest);
        ASSERT_EQ(QProcess::execute("cabextract", {"-q", "-d", dest, source.filePath(cab)}), 0) << cab.toStdString();
        QStringList membres;
        for (const QString &m : QDir(dest).entryList(QDir::Files))
            membres << m.toLower();
        for (const QString &m : QDir(dest).entryList(QDir::Files)) {
            const QByteArray bytes = testenv::readFile(dest + "/" + m);
            if (m.endsWith(".000")) {
                ++setups;
                const auto r = LitFichierSetupCE(bytes, membres);
                EXPECT_EQ(r.etat, ResultatSetupCE::Etat::NonTheme) << m.toStdString();
                EXPECT_EQ(r.groupeFormat, 6);
                LectureSetup l;
                l.ListeFichiersCab = membres;
                const auto inf = ReconstruireInf(bytes, l, {});
                ASSERT_TRUE(inf) << m.toStdString();
                EXPECT_TRUE(inf->lecture.TexteInfOrig.contains("[DestinationDirs]"));
                EXPECT_FALSE(inf->lecture.ListeFichiers.isEmpty());
                EXPECT_FALSE(inf->lecture.NomInterneLu.isEmpty());
            } else if (m == "_setup.xml") {
                ++xmls;
                ErreurXmlSetup e;
                const auto r = LireXmlSetup(bytes, &e);
                ASSERT_TRUE(r) << cab.toStdString() << " error " << int(e);
                EXPECT_EQ(r->groupeFormat, 6);
                EXPECT_FALSE(r->ListeEnrFichiers.isEmpty());
            }
        }
    }
    EXPECT_EQ(setups, 4);
    EXPECT_EQ(xmls, 3);
}
