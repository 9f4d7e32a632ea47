#include "theme/cab_file.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace cabtest;

namespace {

QByteArray aleatoire(qsizetype n, quint32 graine)
{
    QRandomGenerator g(graine);
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(g.bounded(256));
    return b;
}

void ecrit(const QString &chemin, const QByteArray &octets, const QDateTime &date)
{
    testenv::writeFile(chemin, octets);
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(date, QFileDevice::FileModificationTime));
}

struct Source
{
    QString chemin;
    QString relPath;
    QString nomStocke;
    QByteArray octets;
    QDateTime date;      // the file's own time
    QDateTime dateDos;   // as stored (two-second steps)
    quint16 attributs;
};

// Three files: empty, binary over several 32 KiB blocks (read-only), text in a folder.
std::vector<Source> sourcesTypes()
{
    const QString dir = testenv::programDir() + QStringLiteral("/src");
    std::vector<Source> s = {
        {dir + "/vide.txt", {}, "vide.txt", {}, QDateTime({2009, 4, 29}, {14, 46, 22}),
         QDateTime({2009, 4, 29}, {14, 46, 22}), 0x20},
        {dir + "/donnees.bin", {}, "donnees.bin", aleatoire(150000, 7), QDateTime({2003, 8, 4}, {10, 11, 5}),
         QDateTime({2003, 8, 4}, {10, 11, 4}), 0x21},
        {dir + "/texte.txt", "Images\\Sous", "Images\\Sous\\texte.txt",
         QByteArray("Today theme\r\n").repeated(4000), QDateTime({2107, 12, 31}, {23, 59, 59}),
         QDateTime({2107, 12, 31}, {23, 59, 58}), 0x20},
    };
    for (const Source &x : s)
        ecrit(x.chemin, x.octets, x.date);
    QFile::setPermissions(s[1].chemin, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    return s;
}

void remplit(TCABFile &cab, const std::vector<Source> &sources)
{
    cab.CABFileContents().Clear();
    for (const Source &x : sources) {
        TCABFileEntry *e = cab.CABFileContents().Add();
        e->Name = x.chemin;
        e->RelPath = x.relPath;
    }
}

void selectionneTout(TCABFile &cab)
{
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        cab.CABFileContents().GetItem(i)->Selected = true;
}

class RoundTrip : public ::testing::TestWithParam<TCompressionType>
{
};

} // namespace

TEST_P(RoundTrip, BuildsListsAndExtractsWithNamesTimesAndAttributes)
{
    const auto sources = sourcesTypes();
    TCABFile cab;
    cab.CompressionType = GetParam();
    cab.CABFile = testenv::programDir() + "/out/theme.tsk";
    QDir().mkpath(testenv::programDir() + "/out");
    remplit(cab, sources);
    std::vector<std::pair<qint64, qint64>> progres;
    cab.OnCompressProgress = [&](TCABFile *s, qint64 pos, qint64 tot) {
        EXPECT_EQ(s, &cab);
        progres.emplace_back(pos, tot);
    };
    ASSERT_TRUE(cab.CreateCAB());
    // Only the cabinet in its folder: no temporary left.
    EXPECT_EQ(arborescence(testenv::programDir() + "/out"), QStringList{"theme.tsk"});

    const qint64 total = 150000 + 13 * 4000;
    ASSERT_FALSE(progres.empty());
    for (size_t i = 1; i < progres.size(); ++i)
        EXPECT_LE(progres[i - 1].first, progres[i].first);
    EXPECT_EQ(progres.back(), std::make_pair(total, total));

    const QByteArray octets = testenv::readFile(cab.CABFile);
    EXPECT_EQ(octets.left(4), QByteArray("MSCF"));
    EXPECT_EQ(uchar(octets[32]) | uchar(octets[33]) << 8, 12345); // set id
    EXPECT_EQ(uchar(octets[42]), GetParam() == typNone ? 0 : 1);  // the folder's compression

    TCABFile lu;
    lu.CABFile = cab.CABFile;
    ASSERT_TRUE(lu.ReadContents());
    ASSERT_EQ(lu.CABFileContents().Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const TCABFileEntry *e = lu.CABFileContents().GetItem(i);
        SCOPED_TRACE(sources[size_t(i)].nomStocke.toStdString());
        EXPECT_EQ(e->Name, sources[size_t(i)].nomStocke);
        EXPECT_EQ(e->Size, sources[size_t(i)].octets.size());
        EXPECT_EQ(e->DateTime, sources[size_t(i)].dateDos);
        EXPECT_EQ(e->Attributes, sources[size_t(i)].attributs);
    }

    selectionneTout(lu);
    lu.TargetPath = testenv::programDir() + "/cible";
    ASSERT_TRUE(lu.ExtractSelected());
    EXPECT_EQ(arborescence(lu.TargetPath),
              (QStringList{"Images", "Images/Sous", "Images/Sous/texte.txt", "donnees.bin", "vide.txt"}));
    for (const Source &x : sources) {
        const QString chemin = lu.TargetPath + "/" + QString(x.nomStocke).replace('\\', '/');
        EXPECT_EQ(testenv::readFile(chemin), x.octets);
        EXPECT_EQ(QFileInfo(chemin).lastModified(), x.dateDos);
    }
}

TEST_P(RoundTrip, CabextractReadsOurCabinetsAlike)
{
    auto sources = sourcesTypes();
    const QString accent = testenv::programDir() + QStringLiteral("/src/d\u00e9part.gif");
    ecrit(accent, aleatoire(5000, 3), QDateTime({2020, 2, 29}, {8, 0, 0}));
    sources.push_back({accent, {}, QStringLiteral("d\u00e9part.gif"), aleatoire(5000, 3),
                       QDateTime({2020, 2, 29}, {8, 0, 0}), QDateTime({2020, 2, 29}, {8, 0, 0}), 0x20});
    TCABFile cab;
    cab.CompressionType = GetParam();
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());

    bool ok = false;
    const auto lignes = listeCabextract(cab.CABFile, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(lignes.size(), sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(lignes[i].nom, QString(sources[i].nomStocke).replace('\\', '/'));
        EXPECT_EQ(lignes[i].taille, sources[i].octets.size());
        EXPECT_EQ(lignes[i].date, sources[i].dateDos);
    }
    const QString dir = testenv::programDir() + "/cabextract";
    ASSERT_EQ(extraitCabextract(cab.CABFile, dir), 0);
    for (const Source &x : sources)
        EXPECT_EQ(testenv::readFile(dir + "/" + QString(x.nomStocke).replace('\\', '/')), x.octets);
}

INSTANTIATE_TEST_SUITE_P(Compressions, RoundTrip, ::testing::Values(typNone, typMSZIP),
                         [](const auto &info) { return info.param == typNone ? "None" : "MSZIP"; });

TEST(CabFile, CompressionCodesReachTheFolders)
{
    EXPECT_EQ(TCABFile::CodeCompression(typNone, lzxHigh), 0);
    EXPECT_EQ(TCABFile::CodeCompression(typMSZIP, lzxHigh), 1);
    EXPECT_EQ(TCABFile::CodeCompression(typLZX, lzxLowest), 0x0F03);
    EXPECT_EQ(TCABFile::CodeCompression(typLZX, lzxMedium), 0x1203);
    EXPECT_EQ(TCABFile::CodeCompression(typLZX, lzxHighest), 0x1503);

    const auto sources = sourcesTypes();
    TCABFile cab;
    EXPECT_EQ(cab.CompressionType, typMSZIP);
    EXPECT_EQ(cab.LZXMemory, lzxLowest);
    cab.CompressionType = typLZX;
    cab.LZXMemory = lzxMedium;
    cab.CABFile = testenv::programDir() + "/lzx.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());
    const QByteArray octets = testenv::readFile(cab.CABFile);
    EXPECT_EQ(uchar(octets[42]) | uchar(octets[43]) << 8, 0x1203);
}

TEST(CabFile, ErrorTexts)
{
    const char *attendus[] = {"No error",
                              "Failure opening file to be stored in cabinet",
                              "Failure reading file to be stored in cabinet",
                              "Insufficient memory in FCI",
                              "Could not create a temporary file",
                              "Unknown compression type",
                              "Could not create cabinet file",
                              "Client requested abort",
                              "Failure compressing data",
                              "Unknown error"};
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(ECABFileError(code).message(), QString::fromUtf8(attendus[code]));
    EXPECT_EQ(ECABFileError(-1).message(), "Unknown error");
}

TEST(CabFile, MissingSourceRaisesAndKeepsTheOldCabinet)
{
    auto sources = sourcesTypes();
    TCABFile cab;
    cab.CABFile = testenv::programDir() + "/out/theme.tsk";
    testenv::writeFile(cab.CABFile, "old package");
    remplit(cab, sources);
    cab.CABFileContents().Add()->Name = testenv::programDir() + "/src/absent.gif";
    try {
        cab.CreateCAB();
        ADD_FAILURE() << "built without a source";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), 1);
        EXPECT_EQ(e.message(), "Failure opening file to be stored in cabinet");
    }
    EXPECT_EQ(testenv::readFile(cab.CABFile), QByteArray("old package"));
    EXPECT_EQ(arborescence(testenv::programDir() + "/out"), QStringList{"theme.tsk"});

    // A cabinet in a folder that does not exist.
    remplit(cab, sources);
    cab.CABFile = testenv::programDir() + "/nowhere/theme.tsk";
    EXPECT_THROW(cab.CreateCAB(), ECABFileError);
}

TEST(CabFile, ExtractFileMatchesWithoutCaseAndUnknownNamesWriteNothing)
{
    const auto sources = sourcesTypes();
    TCABFile cab;
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());

    cab.TargetPath = testenv::programDir() + "/cible";
    EXPECT_TRUE(cab.ExtractFile("pas-la.gif"));
    EXPECT_FALSE(QFileInfo::exists(cab.TargetPath));

    EXPECT_TRUE(cab.ExtractFile("IMAGES\\SOUS\\TEXTE.TXT"));
    // Written under its stored name, found again without regard to case.
    EXPECT_EQ(arborescence(cab.TargetPath), (QStringList{"Images", "Images/Sous", "Images/Sous/texte.txt"}));
    EXPECT_EQ(TCABFile::CheminExtrait(cab.TargetPath, "images\\sous\\texte.txt"),
              cab.TargetPath + "/Images/Sous/texte.txt");
    EXPECT_EQ(TCABFile::CheminExtrait(cab.TargetPath, "donnees.bin"), QString());
    EXPECT_EQ(TCABFile::CheminExtrait(cab.TargetPath, "..\\cible\\Images\\Sous\\texte.txt"), QString());
}

TEST(CabFile, ExtractSelectedFollowsTheFirstEntryOfAName)
{
    const auto sources = sourcesTypes();
    TCABFile cab;
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());

    cab.CABFileContents().Clear();
    auto *a = cab.CABFileContents().Add();
    a->Name = "DONNEES.BIN";
    a->Selected = false;
    auto *b = cab.CABFileContents().Add();
    b->Name = "donnees.bin";
    b->Selected = true;
    auto *c = cab.CABFileContents().Add();
    c->Name = "Vide.TXT";
    c->Selected = true;
    cab.TargetPath = testenv::programDir() + "/cible";
    EXPECT_TRUE(cab.ExtractSelected());
    EXPECT_EQ(arborescence(cab.TargetPath), QStringList{"vide.txt"});
}

TEST(CabFile, OverwriteAskedThroughPrompts)
{
    const auto sources = sourcesTypes();
    TCABFile cab;
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());

    ScriptedPrompts prompts;
    cab.OnOverWriteFile = [&](TCABFile *, const QString &fichier, bool &allow) {
        allow = prompts.question("Overwrite " + fichier + " ?", "Confirm", Prompts::Buttons::YesNo,
                                 Prompts::Icon::Question)
                == Prompts::Answer::Yes;
    };
    cab.TargetPath = testenv::programDir() + "/cible";
    // An existing file under another case is the same member.
    const QString ancien = cab.TargetPath + "/IMAGES/sous/TEXTE.txt";
    testenv::writeFile(ancien, "keep me");

    prompts.answer(Prompts::Answer::No);
    EXPECT_TRUE(cab.ExtractFile("images\\sous\\texte.txt"));
    EXPECT_EQ(prompts.questions, QStringList{"Overwrite " + ancien + " ?"});
    EXPECT_EQ(testenv::readFile(ancien), QByteArray("keep me"));

    prompts.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(cab.ExtractFile("images\\sous\\texte.txt"));
    EXPECT_EQ(testenv::readFile(ancien), sources[2].octets);
    EXPECT_EQ(QFileInfo(ancien).lastModified(), sources[2].dateDos);
    EXPECT_EQ(arborescence(cab.TargetPath), (QStringList{"IMAGES", "IMAGES/sous", "IMAGES/sous/TEXTE.txt"}));
    EXPECT_TRUE(prompts.exhausted());

    // No question for a new file.
    EXPECT_TRUE(cab.ExtractFile("vide.txt"));
    EXPECT_EQ(prompts.questions.size(), 2);
}

TEST(CabFile, DecompressProgressRisesToTheMemberSize)
{
    const auto sources = sourcesTypes();
    TCABFile cab;
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());
    std::vector<qint64> positions;
    cab.OnDecompressProgress = [&](TCABFile *, const QString &nom, qint64 pos, qint64 tot) {
        EXPECT_EQ(nom, "donnees.bin");
        EXPECT_EQ(tot, 150000);
        positions.push_back(pos);
    };
    cab.TargetPath = testenv::programDir() + "/cible";
    ASSERT_TRUE(cab.ExtractFile("donnees.bin"));
    ASSERT_GE(positions.size(), 2u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back(), 150000);
}

TEST(CabFile, SystemErrorsGoToThePrompts)
{
    const auto sources = sourcesTypes();
    ScriptedPrompts prompts;
    TCABFile cab(nullptr, &prompts);
    cab.CABFile = testenv::programDir() + "/theme.tsk";
    remplit(cab, sources);
    ASSERT_TRUE(cab.CreateCAB());
    testenv::writeFile(testenv::programDir() + "/fichier", "x");
    cab.TargetPath = testenv::programDir() + "/fichier/cible";
    EXPECT_FALSE(cab.ExtractFile("vide.txt"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("fichier"));
}

// Cabinets written by the desktop tools of the time.
TEST(CabFile, RealCabinetsListAndExtractLikeCabextract)
{
    const QStringList fichiers = {"App.WM.CAB", "BenchmarkDotNet_PPC.ARM.CAB", "MSCE.WM.CAB",
                                  "Runtime.HPC_2577.CAB"};
    for (const QString &f : fichiers) {
        SCOPED_TRACE(f.toStdString());
        const QString chemin = testenv::testDataDir() + "/wince/" + f;
        ASSERT_TRUE(QFileInfo::exists(chemin));
        bool ok = false;
        const auto attendu = listeCabextract(chemin, &ok);
        ASSERT_TRUE(ok);

        TCABFile cab;
        cab.CABFile = chemin;
        ASSERT_TRUE(cab.ReadContents());
        ASSERT_EQ(size_t(cab.CABFileContents().Count()), attendu.size());
        for (size_t i = 0; i < attendu.size(); ++i) {
            const TCABFileEntry *e = cab.CABFileContents().GetItem(int(i));
            EXPECT_EQ((LigneListe{e->Size, e->DateTime, e->Name}), attendu[i]);
        }
        selectionneTout(cab);
        cab.TargetPath = testenv::programDir() + "/nous/" + f;
        ASSERT_TRUE(cab.ExtractSelected());
        const QString leur = testenv::programDir() + "/eux/" + f;
        ASSERT_EQ(extraitCabextract(chemin, leur), 0);
        const QStringList noms = arborescence(leur);
        EXPECT_EQ(arborescence(cab.TargetPath), noms);
        for (const QString &n : noms) {
            EXPECT_EQ(testenv::readFile(cab.TargetPath + "/" + n), testenv::readFile(leur + "/" + n))
                << n.toStdString();
            EXPECT_EQ(QFileInfo(cab.TargetPath + "/" + n).lastModified(),
                      QFileInfo(leur + "/" + n).lastModified());
        }
    }
}
