// Cabinets made by hand to attack the reader: each asserts its exact outcome,
// that nothing is written outside the target folder and that no partial or
// temporary file is left behind.
#include "theme/cab_file.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace cabtest;

namespace {

class Hostile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        racine = testenv::programDir() + "/h";
        cible = racine + "/a/b/cible";
        QDir().mkpath(cible);
        testenv::writeFile(racine + "/a/temoin.txt", "sentinel");
    }

    // Writes the cabinet beside the target and returns a component on it.
    void prepare(const QByteArray &octets)
    {
        cab.CABFile = racine + "/hostile.cab";
        testenv::writeFile(cab.CABFile, octets);
        cab.TargetPath = cible;
    }

    // Everything under the root except the target's contents.
    QStringList horsCible() const
    {
        QStringList l;
        for (const QString &p : arborescence(racine))
            if (!p.startsWith("a/b/cible/"))
                l << p;
        return l;
    }

    const QStringList attenduHors = {"a", "a/b", "a/b/cible", "a/temoin.txt", "hostile.cab"};
    QString racine, cible;
    TCABFile cab;
};

MembreBrut membre(const QByteArray &nom, const QByteArray &donnees)
{
    MembreBrut m;
    m.nom = nom;
    m.donnees = donnees;
    return m;
}

} // namespace

TEST_F(Hostile, NamesLeavingTheTargetAreSkippedAndReported)
{
    const QList<QByteArray> mauvais = {"..\\x",      "..\\..\\..\\x", "/etc/x",   "\\abs",       "C:\\x",
                                       "a\\..\\..\\x", "a\\\\x",       "con",      "lpt1.txt",   "ok\x01.txt",
                                       "x.",         "sub/../../x",   "..",       "tab\there"};
    std::vector<MembreBrut> membres;
    for (const QByteArray &n : mauvais)
        membres.push_back(membre(n, "evil"));
    membres.push_back(membre("bon.txt", "good"));
    membres.push_back(membre("Dossier\\bon2.txt", "good2"));
    prepare(fabriqueCab(membres));

    ASSERT_TRUE(cab.ReadContents());
    ASSERT_EQ(cab.CABFileContents().Count(), int(membres.size()));
    EXPECT_EQ(cab.CABFileContents().GetItem(0)->Name, "..\\x");
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;

    EXPECT_FALSE(cab.ExtractSelected());
    EXPECT_EQ(arborescence(cible), (QStringList{"Dossier", "Dossier/bon2.txt", "bon.txt"}));
    EXPECT_EQ(testenv::readFile(cible + "/bon.txt"), QByteArray("good"));
    EXPECT_EQ(horsCible(), attenduHors);
    EXPECT_EQ(testenv::readFile(racine + "/a/temoin.txt"), QByteArray("sentinel"));

    for (const QByteArray &n : mauvais) {
        SCOPED_TRACE(n.toStdString());
        EXPECT_FALSE(cab.ExtractFile(QString::fromLatin1(n)));
    }
    EXPECT_EQ(horsCible(), attenduHors);
}

TEST_F(Hostile, UndecodableUtf8NameIsNotWritten)
{
    MembreBrut m = membre("bad\xff\xfe.txt", "x");
    m.attributs = 0x20 | 0x80; // name flagged UTF-8
    prepare(fabriqueCab({m, membre("ok.txt", "y")}));
    ASSERT_TRUE(cab.ReadContents());
    for (int i = 0; i < 2; ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;
    EXPECT_FALSE(cab.ExtractSelected());
    EXPECT_EQ(arborescence(cible), QStringList{"ok.txt"});
}

TEST_F(Hostile, SymbolicLinkInTheTargetIsNotFollowed)
{
    ASSERT_TRUE(QFile::link(racine + "/a", cible + "/lien"));
    prepare(fabriqueCab({membre("lien\\x.txt", "evil")}));
    EXPECT_FALSE(cab.ExtractFile("lien\\x.txt"));
    EXPECT_FALSE(QFileInfo::exists(racine + "/a/x.txt"));
}

TEST_F(Hostile, NotACabinetMissingOrBadHeaderFails)
{
    TCABFileEntry *vieux = cab.CABFileContents().Add();
    vieux->Name = "stale";
    prepare("This is not a cabinet at all, just text.\r\n");
    EXPECT_FALSE(cab.ReadContents());
    EXPECT_EQ(cab.CABFileContents().Count(), 0);
    EXPECT_FALSE(cab.ExtractFile("x"));

    QByteArray octets = fabriqueCab({membre("a.txt", "abc")});
    octets[3] = 'X'; // "MSCX"
    prepare(octets);
    EXPECT_FALSE(cab.ReadContents());

    prepare({});
    EXPECT_FALSE(cab.ReadContents());

    cab.CABFile = racine + "/absent.cab";
    EXPECT_FALSE(cab.ReadContents());
    EXPECT_FALSE(cab.ExtractFile("a.txt"));
    EXPECT_EQ(arborescence(cible), QStringList{});
    EXPECT_EQ(horsCible(), (QStringList{"a", "a/b", "a/b/cible", "a/temoin.txt", "hostile.cab"}));
}

TEST_F(Hostile, InconsistentHeadersFail)
{
    // More files declared than present.
    QByteArray trop = fabriqueCab({membre("a.txt", "abc")});
    trop[kOffsetNbFichiers] = char(0xF4);
    trop[kOffsetNbFichiers + 1] = char(0x01);
    prepare(trop);
    EXPECT_FALSE(cab.ReadContents());
    EXPECT_FALSE(cab.ExtractFile("a.txt"));

    // A file in a folder that does not exist.
    MembreBrut m = membre("a.txt", "abc");
    m.dossier = 5;
    prepare(fabriqueCab({m}));
    EXPECT_FALSE(cab.ReadContents());

    // Zero files.
    prepare(fabriqueCab({}));
    EXPECT_FALSE(cab.ReadContents());
    EXPECT_EQ(arborescence(cible), QStringList{});
}

TEST_F(Hostile, TruncatedCabinetLeavesNoPartialFile)
{
    QByteArray octets = fabriqueCab({membre("petit.txt", "small"), membre("gros.bin", QByteArray(100000, 'g'))});
    octets.truncate(octets.size() / 2);
    prepare(octets);
    ASSERT_TRUE(cab.ReadContents()); // the headers are whole
    EXPECT_TRUE(cab.ExtractFile("petit.txt"));
    EXPECT_FALSE(cab.ExtractFile("gros.bin"));
    EXPECT_EQ(arborescence(cible), QStringList{"petit.txt"});

    // An older copy of the member is left untouched.
    testenv::writeFile(cible + "/gros.bin", "previous");
    EXPECT_FALSE(cab.ExtractFile("gros.bin"));
    EXPECT_EQ(testenv::readFile(cible + "/gros.bin"), QByteArray("previous"));
    EXPECT_EQ(arborescence(cible), (QStringList{"gros.bin", "petit.txt"}));
}

TEST_F(Hostile, AbsurdSizesAreRefused)
{
    MembreBrut enorme = membre("enorme.bin", "tiny");
    enorme.tailleDeclaree = 0xFFFFFFF0;
    MembreBrut menteur = membre("menteur.bin", "short");
    menteur.tailleDeclaree = 70000; // the last member, and more than the folder's blocks hold
    prepare(fabriqueCab({enorme, membre("ok.txt", QByteArray(3 * 1024 * 1024, 'o')), menteur}));
    ASSERT_TRUE(cab.ReadContents());
    EXPECT_EQ(cab.CABFileContents().GetItem(0)->Size, 0xFFFFFFF0);
    EXPECT_FALSE(cab.ExtractFile("enorme.bin"));
    EXPECT_FALSE(cab.ExtractFile("menteur.bin"));
    cab.TailleMaxMembre = 1024 * 1024;
    EXPECT_FALSE(cab.ExtractFile("ok.txt"));
    EXPECT_EQ(arborescence(cible), QStringList{});
    cab.TailleMaxMembre = 4 * 1024 * 1024;
    EXPECT_TRUE(cab.ExtractFile("ok.txt"));
    EXPECT_EQ(arborescence(cible), QStringList{"ok.txt"});
}

TEST_F(Hostile, ChecksumsAreCheckedWhenPresent)
{
    const std::vector<MembreBrut> membres = {membre("a.bin", QByteArray(40000, 'a'))};
    prepare(fabriqueCab(membres, true));
    EXPECT_TRUE(cab.ExtractFile("a.bin"));
    QFile::remove(cible + "/a.bin");

    QByteArray corrompu = fabriqueCab(membres, true);
    corrompu[corrompu.size() - 10] = 'b';
    prepare(corrompu);
    EXPECT_FALSE(cab.ExtractFile("a.bin"));
    EXPECT_EQ(arborescence(cible), QStringList{});

    // A zero checksum means none was stored.
    QByteArray sansSomme = fabriqueCab(membres, false);
    sansSomme[sansSomme.size() - 10] = 'b';
    prepare(sansSomme);
    EXPECT_TRUE(cab.ExtractFile("a.bin"));
}

TEST_F(Hostile, DuplicateNamesAskBeforeReplacing)
{
    prepare(fabriqueCab({membre("dup.txt", "first"), membre("DUP.TXT", "second")}));
    ASSERT_TRUE(cab.ReadContents());
    EXPECT_EQ(cab.CABFileContents().Count(), 2);
    QStringList demandes;
    cab.OnOverWriteFile = [&](TCABFile *, const QString &f, bool &) { demandes << f; };
    EXPECT_TRUE(cab.ExtractFile("Dup.txt"));
    EXPECT_EQ(demandes, QStringList{cible + "/dup.txt"});
    EXPECT_EQ(arborescence(cible), QStringList{"dup.txt"});
    EXPECT_EQ(testenv::readFile(cible + "/dup.txt"), QByteArray("second"));
}

TEST_F(Hostile, FolderStandingWhereAFileGoesFails)
{
    QDir().mkpath(cible + "/x.txt");
    testenv::writeFile(cible + "/f", "file");
    prepare(fabriqueCab({membre("x.txt", "a"), membre("f\\y.txt", "b")}));
    EXPECT_FALSE(cab.ExtractFile("x.txt"));
    EXPECT_FALSE(cab.ExtractFile("f\\y.txt"));
    EXPECT_EQ(arborescence(cible), (QStringList{"f", "x.txt"}));
}
