// LZX cabinets: built at every window size from inputs that exercise the
// encoder (empty, one byte, text, pictures, random bytes, long runs, members
// across frames and across the folder threshold), then read back by our
// reader and by two independent tools.
#include "theme/cab_file.h"
#include "theme/lzx_compresseur.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

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

// Words drawn from a small vocabulary, lines of varying length.
QByteArray texte(qsizetype n, quint32 graine)
{
    static const char *mots[] = {"theme", "Today", "Start", "colour", "picture", "device", "[HKEY_CURRENT_USER]",
                                 "Color_Highlight", "=", "\"stwater_240_320.jpg\"", "00FF8800", "the", "of",
                                 "Windows", "Mobile", "package", "\r\n"};
    QRandomGenerator g(graine);
    QByteArray b;
    while (b.size() < n) {
        b += mots[g.bounded(int(std::size(mots)))];
        b += g.bounded(5) == 0 ? "\r\n" : " ";
    }
    b.truncate(n);
    return b;
}

QByteArray photo()
{
    QImage img(320, 240, QImage::Format_RGB32);
    QRandomGenerator g(5);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 255) / 320, (y * 255) / 240, int(g.bounded(64)) + 96));
    QByteArray b;
    QBuffer tampon(&b);
    tampon.open(QIODevice::WriteOnly);
    img.save(&tampon, "JPG", 90);
    return b;
}

QByteArray gif()
{
    std::vector<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(qRgb(i * 16, 255 - i * 16, i * 8));
    return gifecrit::ecrit(240, 320, palette,
                           {gifecrit::uni(240, 320, 1, 7, 30, 40, 120, 200, 0),
                            gifecrit::uni(240, 320, 3, 9, 10, 10, 60, 60, 10)});
}

// 16-byte records: a counter, a few recurring values, sparse random words;
// the offsets of their matches are multiples of 8 plus the same remainder.
QByteArray enregistrements(int n, quint32 graine)
{
    QRandomGenerator g(graine);
    static const quint32 valeurs[] = {0, 1, 2, 0xFFFFFFFF, 1000};
    QByteArray b(qsizetype(n) * 16, '\0');
    for (int i = 0; i < n; ++i) {
        char *r = b.data() + qsizetype(i) * 16;
        qToLittleEndian<quint32>(quint32(i), r);
        qToLittleEndian<quint32>(valeurs[g.bounded(5)], r + 4);
        qToLittleEndian<quint16>(quint16(g.bounded(4)), r + 8);
        qToLittleEndian<quint32>(g.bounded(10) < 3 ? g.bounded(1u << 20) : 0u, r + 12);
    }
    return b;
}

quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

struct Membre
{
    QString nom;
    QByteArray octets;
};

std::vector<Membre> ecritSources(const std::vector<Membre> &membres, TCABFile &cab)
{
    const QString src = testenv::programDir() + "/src";
    cab.CABFileContents().Clear();
    for (const Membre &m : membres) {
        testenv::writeFile(src + "/" + m.nom, m.octets);
        cab.CABFileContents().Add()->Name = src + "/" + m.nom;
    }
    return membres;
}

struct Bloc
{
    int dossier;
    int compresse;
    int decompresse;
    QByteArray donnees;
};

// The folders' compression codes and their data blocks, read by the format.
std::vector<Bloc> blocs(const QByteArray &cab, std::vector<int> *codes = nullptr)
{
    std::vector<Bloc> liste;
    const int dossiers = u16(cab, 26);
    for (int d = 0; d < dossiers; ++d) {
        const qsizetype entree = 36 + 8 * d;
        if (codes)
            codes->push_back(u16(cab, entree + 6));
        qsizetype p = u32(cab, entree);
        for (int k = 0; k < u16(cab, entree + 4); ++k) {
            const int n = u16(cab, p + 4);
            liste.push_back({d, n, u16(cab, p + 6), cab.mid(p + 8, n)});
            p += 8 + n;
        }
    }
    return liste;
}

void verifieLecteurs(const QString &cabinet, const std::vector<Membre> &membres, const QString &dossier)
{
    // Our reader.
    TCABFile lu;
    lu.CABFile = cabinet;
    ASSERT_TRUE(lu.ReadContents());
    ASSERT_EQ(lu.CABFileContents().Count(), int(membres.size()));
    for (int i = 0; i < lu.CABFileContents().Count(); ++i)
        lu.CABFileContents().GetItem(i)->Selected = true;
    lu.TargetPath = dossier + "/nous";
    ASSERT_TRUE(lu.ExtractSelected());
    for (const Membre &m : membres)
        EXPECT_EQ(testenv::readFile(lu.TargetPath + "/" + m.nom), m.octets) << m.nom.toStdString();

    // cabextract, which checks every block's checksum.
    ASSERT_EQ(extraitCabextract(cabinet, dossier + "/cabextract"), 0);
    for (const Membre &m : membres)
        EXPECT_EQ(testenv::readFile(dossier + "/cabextract/" + m.nom), m.octets) << m.nom.toStdString();

    // gcab lists what it finds.
    QProcess p;
    p.start(QStringLiteral("gcab"), {QStringLiteral("-l"), cabinet});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    // One line per member: its name, its size, its date.
    QStringList attendus, listes;
    for (const Membre &m : membres)
        attendus << m.nom + " " + QString::number(m.octets.size());
    for (const QString &l : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        listes << l.section(' ', 0, 1);
    EXPECT_EQ(listes.join('|').toStdString(), attendus.join('|').toStdString());
}

class LzxFenetres : public ::testing::TestWithParam<TLZXMemory>
{
};

} // namespace

// Every window size: the folders say LZX with their window, every block but
// a folder's last holds one whole 32 KiB frame and stays within the format's
// limit, a new folder starts past 900,000 bytes, and both readers give back
// every byte.
TEST_P(LzxFenetres, EveryInputRoundTripsThroughOurReaderCabextractAndGcab)
{
    const QByteArray mixte = texte(400000, 11) + aleatoire(60000, 12) + texte(500000, 13);
    const std::vector<Membre> membres = {
        {"vide.bin", {}},
        {"un.bin", "Z"},
        {"texte.txt", texte(150000, 1)},
        {"image.gif", gif()},
        {"photo.jpg", photo()},
        {"aleatoire.bin", aleatoire(70000, 2)},
        {"suites.bin", QByteArray(200000, '\0') + QByteArray(70000, 'x') + QByteArray("ab").repeated(9000)},
        {"moins.bin", texte(32767, 3)},
        {"plus.bin", texte(65537, 4)},
        {"table.bin", enregistrements(9000, 6)},
        {"mixte.bin", mixte},
        {"apres.txt", texte(40000, 5) + texte(40000, 5)},
    };
    TCABFile cab;
    cab.CompressionType = typLZX;
    cab.LZXMemory = GetParam();
    cab.CABFile = testenv::programDir() + "/lzx.cab";
    ecritSources(membres, cab);
    qint64 total = 0;
    for (const Membre &m : membres)
        total += m.octets.size();
    qint64 dernier = -1;
    cab.OnCompressProgress = [&](TCABFile *, qint64 pos, qint64 tot) {
        EXPECT_GE(pos, dernier);
        dernier = pos;
        EXPECT_EQ(tot, total);
    };
    ASSERT_TRUE(cab.CreateCAB());

    const QByteArray octets = testenv::readFile(cab.CABFile);
    std::vector<int> codes;
    const auto liste = blocs(octets, &codes);
    ASSERT_EQ(codes.size(), 2u); // "apres.txt" opens the second folder
    for (int c : codes)
        EXPECT_EQ(c, 3 + 256 * (15 + int(GetParam())));
    for (size_t i = 0; i < liste.size(); ++i) {
        const bool dernierDuDossier = i + 1 == liste.size() || liste[i + 1].dossier != liste[i].dossier;
        if (!dernierDuDossier) {
            EXPECT_EQ(liste[i].decompresse, 32768);
        }
        EXPECT_EQ(liste[i].compresse % 2, 0); // frames end on 16-bit boundaries
        EXPECT_LE(liste[i].compresse, 32768 + 6144);
    }
    EXPECT_EQ(dernier, total);
    verifieLecteurs(cab.CABFile, membres, testenv::programDir());
}

INSTANTIATE_TEST_SUITE_P(Fenetres, LzxFenetres,
                         ::testing::Values(lzxLowest, lzxLower, lzxLow, lzxMedium, lzxHigh, lzxHigher, lzxHighest),
                         [](const auto &info) { return "Bits" + std::to_string(15 + int(info.param)); });

// A single byte cannot shrink: it goes in an uncompressed block, whose layout
// is fixed: no E8 translation, type 3, length 1, padding to 16 bits, R0 to
// R2 at 1, the byte, a pad byte. Random data stays within the block limit,
// and text repeated farther away than MSZIP can see comes out smaller.
TEST(CabLzx, UncompressedBlocksHaveTheFormatsLayoutAndTextShrinks)
{
    TCABFile cab;
    cab.CompressionType = typLZX;
    cab.CABFile = testenv::programDir() + "/un.cab";
    ecritSources({{"un.bin", "Z"}}, cab);
    ASSERT_TRUE(cab.CreateCAB());
    auto liste = blocs(testenv::readFile(cab.CABFile));
    ASSERT_EQ(liste.size(), 1u);
    EXPECT_EQ(liste[0].donnees.toHex(), QByteArray("00301000" "01000000" "01000000" "01000000" "5a00"));

    const QByteArray hasard = aleatoire(300000, 77);
    cab.LZXMemory = lzxHighest;
    ecritSources({{"hasard.bin", hasard}}, cab);
    ASSERT_TRUE(cab.CreateCAB());
    liste = blocs(testenv::readFile(cab.CABFile));
    ASSERT_EQ(liste.size(), 10u);
    for (const Bloc &b : liste)
        EXPECT_LE(b.compresse, b.decompresse + 18);
    verifieLecteurs(cab.CABFile, {{"hasard.bin", hasard}}, testenv::programDir() + "/hasard");

    // The encoder alone, on frames that cannot shrink at all.
    cabecriture::CompresseurLzx lzx(16);
    std::vector<unsigned char> sortie(cabecriture::CompresseurLzx::kMaxTrameCompressee);
    for (int i = 0; i < 8; ++i) {
        const QByteArray trame = aleatoire(32768, quint32(100 + i));
        const int n = lzx.compresseTrame(reinterpret_cast<const unsigned char *>(trame.constData()), 32768,
                                         sortie.data());
        EXPECT_LE(n, 32768 + 16);
    }

    const QByteArray prose = texte(100000, 8).repeated(2);
    qint64 tailles[2] = {};
    for (int k = 0; k < 2; ++k) {
        cab.CompressionType = k == 0 ? typMSZIP : typLZX;
        cab.LZXMemory = lzxMedium;
        ecritSources({{"prose.txt", prose}}, cab);
        ASSERT_TRUE(cab.CreateCAB());
        tailles[k] = QFileInfo(cab.CABFile).size();
    }
    EXPECT_LT(tailles[1], tailles[0]);
}

// 2,048 small members in LZX folders come back whole from both readers.
TEST(CabLzx, ManySmallMembersRoundTrip)
{
    std::vector<Membre> membres;
    for (int i = 0; i < 2048; ++i)
        membres.push_back({QStringLiteral("m%1.txt").arg(i, 4, 10, QLatin1Char('0')),
                           i % 3 ? texte(100 + (i * 37) % 900, quint32(i)) : aleatoire(i % 50, quint32(i))});
    TCABFile cab;
    cab.CompressionType = typLZX;
    cab.LZXMemory = lzxLow;
    cab.CABFile = testenv::programDir() + "/many.cab";
    ecritSources(membres, cab);
    ASSERT_TRUE(cab.CreateCAB());
    verifieLecteurs(cab.CABFile, membres, testenv::programDir() + "/many");
}

// A source rewritten while an LZX cabinet is built fails the build: the error
// text, no cabinet, no temporary left.
TEST(CabLzx, ASourceThatChangesDuringTheBuildLeavesNoCabinet)
{
    ScriptedPrompts prompts;
    TCABFile cab(nullptr, &prompts);
    cab.CompressionType = typLZX;
    cab.LZXMemory = lzxHighest;
    cab.CABFile = testenv::programDir() + "/out/theme.tsk";
    QDir().mkpath(testenv::programDir() + "/out");
    const auto membres = ecritSources({{"a.txt", texte(100000, 1)}, {"b.txt", texte(100000, 2)}}, cab);
    int appels = 0;
    cab.OnCompressProgress = [&](TCABFile *, qint64, qint64) {
        if (appels++ > 0)
            return;
        QFile f(testenv::programDir() + "/src/b.txt");
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("more");
    };
    try {
        cab.CreateCAB();
        ADD_FAILURE() << "built from a changing source";
    } catch (const ECABFileError &e) {
        EXPECT_EQ(e.code(), 2);
        EXPECT_EQ(e.message(), "Failure reading file to be stored in cabinet");
    }
    EXPECT_TRUE(arborescence(testenv::programDir() + "/out").isEmpty());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// Records whose matches sit at offsets with the same low bits are coded in
// aligned-offset blocks, which both readers decode.
TEST(CabLzx, AlignedOffsetBlocksCarryRecordData)
{
    const std::vector<Membre> membres = {{"table.bin", enregistrements(40000, 3)}};
    for (TLZXMemory memoire : {lzxLowest, lzxHighest}) {
        TCABFile cab;
        cab.CompressionType = typLZX;
        cab.LZXMemory = memoire;
        cab.CABFile = testenv::programDir() + QStringLiteral("/table%1.cab").arg(int(memoire));
        ecritSources(membres, cab);
        ASSERT_TRUE(cab.CreateCAB());
        const auto liste = blocs(testenv::readFile(cab.CABFile));
        ASSERT_FALSE(liste.empty());
        // The first frame opens with the E8 flag (0), then the block type.
        EXPECT_EQ((u16(liste[0].donnees, 0) >> 12) & 7, 2);
        verifieLecteurs(cab.CABFile, membres, testenv::programDir() + QStringLiteral("/x%1").arg(int(memoire)));
    }
}

// Skewed frequencies would give codes longer than the format allows: the
// lengths are cut to the limit and the code stays complete (Kraft sum 1).
TEST(CabLzx, HuffmanLengthsStayWithinTheLimitsAndComplete)
{
    struct Cas
    {
        int symboles, limite;
    };
    for (const Cas c : {Cas{656, 16}, Cas{20, 15}, Cas{8, 7}, Cas{249, 16}}) {
        std::vector<std::uint32_t> frequences(size_t(c.symboles), 0);
        std::uint32_t a = 1, b = 1;
        // Fibonacci weights on every third symbol, the others unused.
        for (int i = 0; i < c.symboles; i += 3) {
            frequences[size_t(i)] = a;
            const std::uint32_t s = a + b;
            a = b;
            b = std::min<std::uint32_t>(s, 1u << 30);
        }
        std::vector<std::uint8_t> longueurs(size_t(c.symboles));
        cabecriture::CompresseurLzx::longueursHuffman(frequences, c.limite, longueurs.data());
        double kraft = 0;
        int plusLong = 0;
        for (int i = 0; i < c.symboles; ++i) {
            EXPECT_EQ(longueurs[size_t(i)] > 0, frequences[size_t(i)] > 0) << i;
            if (longueurs[size_t(i)] > 0)
                kraft += std::ldexp(1.0, -longueurs[size_t(i)]);
            plusLong = std::max(plusLong, int(longueurs[size_t(i)]));
        }
        EXPECT_LE(plusLong, c.limite);
        EXPECT_DOUBLE_EQ(kraft, 1.0);
        if (c.symboles > 20) {
            EXPECT_EQ(plusLong, c.limite); // the cut was needed
        }
    }
}

// A folder of whole frames only (its last block full too), and frames that
// alternate between stored and compressed: the trees of the compressed ones
// still follow one another across the stored frames between them.
TEST(CabLzx, WholeFramesAndAlternatingBlockKindsRoundTrip)
{
    QByteArray alterne;
    for (int i = 0; i < 6; ++i)
        alterne += i % 2 ? aleatoire(32768, quint32(i)) : texte(32768, quint32(i));
    const std::vector<Membre> membres = {{"entier.txt", texte(65536, 21)}, {"alterne.bin", alterne}};
    TCABFile cab;
    cab.CompressionType = typLZX;
    cab.LZXMemory = lzxLow;
    cab.CABFile = testenv::programDir() + "/entier.cab";
    ecritSources(membres, cab);
    ASSERT_TRUE(cab.CreateCAB());
    const auto liste = blocs(testenv::readFile(cab.CABFile));
    ASSERT_EQ(liste.size(), 8u);
    for (const Bloc &b : liste)
        EXPECT_EQ(b.decompresse, 32768);
    // The random frames are stored: header, R0 to R2, the bytes.
    for (size_t i : {3, 5, 7}) {
        EXPECT_EQ(liste[i].compresse, 4 + 12 + 32768) << i;
        EXPECT_EQ((u16(liste[i].donnees, 0) >> 13) & 7, 3) << i;
    }
    verifieLecteurs(cab.CABFile, membres, testenv::programDir());
}
