// A working picture and its plain copy are written under a note; a process
// killed between the two writes leaves the note, and the next start makes
// the copy equal to the picture when (and only when) the picture had taken
// its new bytes. Notes that are not the program's own change no picture.

#include "theme/image_et_copie.h"

#include "tests/support/instantane_dossier.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"
#include "tests/support/tube_surveille.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {

QString dans(const QString &nom)
{
    return QDir(testenv::programDir()).filePath(nom);
}

QByteArray lit(const QString &nom)
{
    return testenv::readFile(dans(nom));
}

bool existe(const QString &nom)
{
    return QFileInfo::exists(dans(nom));
}

ino_t inode(const QString &nom)
{
    struct stat st{};
    return ::stat(QFile::encodeName(dans(nom)).constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray note(const QString &image, const QByteArray &octets)
{
    return image.toLatin1() + '\n' + QCryptographicHash::hash(octets, QCryptographicHash::Sha256).toHex() + '\n';
}

const QString Portrait = QStringLiteral("tdywater_240_320.gif");
const QString Simple = QStringLiteral("tdywater.gif");
const QByteArray Ancien("GIF89a old picture");
const QByteArray Nouveau("GIF89a the picture just saved");

} // namespace

TEST(ImageEtCopie, NormalSaveWritesBothAndLeavesNoNote)
{
    testenv::writeFile(dans(Portrait), Ancien);
    testenv::writeFile(dans(Simple), Ancien);
    int appels = 0;
    QString raison;
    EXPECT_EQ(EcritImageEtCopie(testenv::programDir(), Portrait, Nouveau, Simple, &raison, [&] {
                  ++appels;
                  // Between the two: the picture is new, the copy still old, the note there.
                  EXPECT_EQ(lit(Portrait), Nouveau);
                  EXPECT_EQ(lit(Simple), Ancien);
                  EXPECT_EQ(lit(NomNoteCopie(Simple)), note(Portrait, Nouveau));
              }),
              ResultatImageEtCopie::Ok)
        << raison.toStdString();
    EXPECT_EQ(appels, 1);
    EXPECT_EQ(lit(Portrait), Nouveau);
    EXPECT_EQ(lit(Simple), Nouveau);
    EXPECT_EQ(QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{Simple, Portrait}));

    // Without a copy: the picture alone, no note, no pause between writes.
    EXPECT_EQ(EcritImageEtCopie(testenv::programDir(), QStringLiteral("tdywater_320_240.gif"), Ancien, {}, nullptr,
                                [&] { ++appels; }),
              ResultatImageEtCopie::Ok);
    EXPECT_EQ(appels, 1);
    EXPECT_EQ(QDir(testenv::programDir()).entryList(QDir::Files | QDir::Hidden).size(), 3);

    // A landscape picture is no picture's plain copy: nothing is written.
    EXPECT_EQ(EcritImageEtCopie(testenv::programDir(), QStringLiteral("tdywater_320_240.gif"), Nouveau, Simple),
              ResultatImageEtCopie::ImageNonEcrite);
    EXPECT_EQ(lit(QStringLiteral("tdywater_320_240.gif")), Ancien);
    EXPECT_EQ(lit(Simple), Nouveau);
}

// The process is really killed (SIGKILL) between the two writes.
TEST(ImageEtCopie, KillBetweenTheWritesIsFinishedAtTheNextStart)
{
    for (const auto &[image, copie] : {std::pair{Portrait, Simple},
                                       std::pair{QStringLiteral("stwater_480_640.gif"), QStringLiteral("stwater.gif")},
                                       std::pair{QStringLiteral("stwater.gif"), Simple}}) {
        SCOPED_TRACE(image.toStdString());
        testenv::writeFile(dans(image), Ancien);
        testenv::writeFile(dans(copie), Ancien);
        ASSERT_TRUE(testenv::executeJusquAuKill([&] {
            EcritImageEtCopie(testenv::programDir(), image, Nouveau, copie, nullptr, [] { ::raise(SIGKILL); });
        }));
        // What the kill left: the two disagree.
        EXPECT_EQ(lit(image), Nouveau);
        EXPECT_EQ(lit(copie), Ancien);
        ASSERT_TRUE(existe(NomNoteCopie(copie)));

        ScriptedPrompts prompts;
        AcheveCopiesInterrompues(testenv::programDir(), &prompts);
        EXPECT_EQ(lit(image), Nouveau);
        EXPECT_EQ(lit(copie), Nouveau);
        EXPECT_FALSE(existe(NomNoteCopie(copie)));
        EXPECT_TRUE(prompts.messages.isEmpty());
    }
}

TEST(ImageEtCopie, NoteWhosePictureNeverChangedTouchesNothing)
{
    // Killed after the note, before the picture took its bytes. The copy
    // here even differs from the picture: it stays as it is.
    testenv::writeFile(dans(Portrait), Ancien);
    testenv::writeFile(dans(Simple), QByteArray("GIF89a another"));
    testenv::writeFile(dans(NomNoteCopie(Simple)), note(Portrait, Nouveau));
    const ino_t avant = inode(Simple);
    AcheveCopiesInterrompues(testenv::programDir(), nullptr);
    EXPECT_EQ(lit(Portrait), Ancien);
    EXPECT_EQ(lit(Simple), QByteArray("GIF89a another"));
    EXPECT_EQ(inode(Simple), avant);
    EXPECT_FALSE(existe(NomNoteCopie(Simple)));

    // Killed after both writes, before the note went: nothing is rewritten.
    testenv::writeFile(dans(Portrait), Nouveau);
    testenv::writeFile(dans(Simple), Nouveau);
    testenv::writeFile(dans(NomNoteCopie(Simple)), note(Portrait, Nouveau));
    const ino_t copie = inode(Simple);
    AcheveCopiesInterrompues(testenv::programDir(), nullptr);
    EXPECT_EQ(inode(Simple), copie);
    EXPECT_EQ(lit(Simple), Nouveau);
    EXPECT_FALSE(existe(NomNoteCopie(Simple)));

    // A missing copy is made.
    QFile::remove(dans(QStringLiteral("stwater.gif")));
    testenv::writeFile(dans(QStringLiteral("stwater_240_320.gif")), Nouveau);
    testenv::writeFile(dans(NomNoteCopie(QStringLiteral("stwater.gif"))),
                       note(QStringLiteral("stwater_240_320.gif"), Nouveau));
    AcheveCopiesInterrompues(testenv::programDir(), nullptr);
    EXPECT_EQ(lit(QStringLiteral("stwater.gif")), Nouveau);
}

TEST(ImageEtCopie, ForeignOrHostileNotesChangeNoPicture)
{
    const QString paysage = QStringLiteral("tdywater_320_240.gif");
    testenv::writeFile(dans(paysage), Nouveau);
    testenv::writeFile(dans(Portrait), Nouveau);
    testenv::writeFile(dans(Simple), Ancien);
    testenv::writeFile(testenv::tempDir() + QStringLiteral("/secret.gif"), Nouveau);
    const QByteArray bonneEmpreinte = QCryptographicHash::hash(Nouveau, QCryptographicHash::Sha256).toHex();
    const QList<QByteArray> notes{
        note(paysage, Nouveau),                         // a landscape picture has no plain copy
        note(QStringLiteral("stwater_240_320.gif"), Nouveau), // a Start picture for Today
        note(QStringLiteral("../tmp/secret.gif"), Nouveau),   // outside the folder
        note(Simple, Nouveau),                          // itself
        Portrait.toLatin1() + '\n' + bonneEmpreinte.toUpper() + '\n',
        Portrait.toLatin1() + '\n' + bonneEmpreinte.left(63) + '\n',
        Portrait.toLatin1() + '\n' + bonneEmpreinte,    // cut short
        note(Portrait, Nouveau) + "more\n",
        note(Portrait, Nouveau) + QByteArray(300, ' '), // oversized
        QByteArray(),
    };
    for (const QByteArray &n : notes) {
        SCOPED_TRACE(n.toStdString());
        testenv::writeFile(dans(NomNoteCopie(Simple)), n);
        ScriptedPrompts prompts;
        AcheveCopiesInterrompues(testenv::programDir(), &prompts);
        EXPECT_EQ(lit(Simple), Ancien);
        EXPECT_FALSE(existe(NomNoteCopie(Simple)));
        EXPECT_TRUE(prompts.messages.isEmpty());
    }

    // Something that is no file under the note's name is left alone, and
    // the start never waits on a pipe.
    QDir().mkpath(dans(NomNoteCopie(Simple)));
    {
        testenv::TubeSurveille tube(dans(NomNoteCopie(QStringLiteral("stwater.gif"))));
        ASSERT_TRUE(tube.cree());
        AcheveCopiesInterrompues(testenv::programDir(), nullptr);
        EXPECT_EQ(tube.lecteurs(), 0);
    }
    EXPECT_TRUE(QFileInfo(dans(NomNoteCopie(Simple))).isDir());
    EXPECT_EQ(lit(Simple), Ancien);
    EXPECT_EQ(lit(paysage), Nouveau);
}

TEST(ImageEtCopie, ACopyThatCannotBeWrittenIsReportedAndFinishedLater)
{
    testenv::writeFile(dans(Portrait), Ancien);
    // A folder under the copy's name: no file can take its place.
    QDir().mkpath(dans(Simple));
    QString raison;
    EXPECT_EQ(EcritImageEtCopie(testenv::programDir(), Portrait, Nouveau, Simple, &raison),
              ResultatImageEtCopie::CopieNonEcrite);
    EXPECT_FALSE(raison.isEmpty());
    EXPECT_EQ(lit(Portrait), Nouveau);
    EXPECT_TRUE(existe(NomNoteCopie(Simple)));

    ScriptedPrompts prompts;
    AcheveCopiesInterrompues(testenv::programDir(), &prompts);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith(QStringLiteral("Cannot copy "))) << prompts.messages[0].toStdString();
    EXPECT_TRUE(existe(NomNoteCopie(Simple)));

    // Once the way is clear, the following start makes the copy.
    ASSERT_TRUE(QDir().rmdir(dans(Simple)));
    AcheveCopiesInterrompues(testenv::programDir(), &prompts);
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(lit(Simple), Nouveau);
    EXPECT_FALSE(existe(NomNoteCopie(Simple)));

    // A picture that cannot be written leaves no note and no change.
    QDir().mkpath(dans(QStringLiteral("stwater_240_320.gif")));
    testenv::writeFile(dans(QStringLiteral("stwater.gif")), Ancien);
    EXPECT_EQ(EcritImageEtCopie(testenv::programDir(), QStringLiteral("stwater_240_320.gif"), Nouveau,
                                QStringLiteral("stwater.gif")),
              ResultatImageEtCopie::ImageNonEcrite);
    EXPECT_EQ(lit(QStringLiteral("stwater.gif")), Ancien);
    EXPECT_FALSE(existe(NomNoteCopie(QStringLiteral("stwater.gif"))));
}
