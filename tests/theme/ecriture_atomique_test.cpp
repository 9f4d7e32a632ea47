// The atomic-write helper on an ordinary disk: exact bytes, the old file kept
// on every failure, and never a temporary file left beside the target.

#include "tests/support/test_env.h"
#include "theme/ecriture_atomique.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString dossier()
{
    return testenv::rootDir() + QStringLiteral("/ecrit");
}

QString chemin(const QString &nom)
{
    return dossier() + QLatin1Char('/') + nom;
}

QStringList entrees()
{
    return QDir(dossier()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray aleatoire(qsizetype n, quint32 graine)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator g(graine);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = char(g.bounded(256));
    return b;
}

} // namespace

TEST(EcritureAtomique, WritesExactBytesAndReplacesWholly)
{
    QDir().mkpath(dossier());
    const QByteArray court("\r\n\0\xff", 4);
    ASSERT_TRUE(EcritFichierAtomique(chemin(QStringLiteral("f.bin")), court));
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("f.bin"))), court);
    // A longer file, in several calls, then a shorter one over it: no tail of the old.
    const QByteArray long_ = aleatoire(3 * 1000 * 1000 + 17, 5);
    {
        EcritureAtomique e(chemin(QStringLiteral("f.bin")));
        ASSERT_TRUE(e.ouvre());
        for (qsizetype k = 0; k < long_.size(); k += 100000)
            ASSERT_TRUE(e.ecrit(long_.constData() + k, std::min<qsizetype>(100000, long_.size() - k)));
        ASSERT_TRUE(e.valide());
    }
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("f.bin"))), long_);
    ASSERT_TRUE(EcritFichierAtomique(chemin(QStringLiteral("f.bin")), "ab"));
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("f.bin"))), QByteArray("ab"));
    // An empty file is a file too.
    ASSERT_TRUE(EcritFichierAtomique(chemin(QStringLiteral("vide")), QByteArray()));
    EXPECT_TRUE(QFileInfo(chemin(QStringLiteral("vide"))).isFile());
    EXPECT_EQ(QFileInfo(chemin(QStringLiteral("vide"))).size(), 0);
    EXPECT_EQ(entrees(), (QStringList{QStringLiteral("f.bin"), QStringLiteral("vide")}));
}

TEST(EcritureAtomique, AbandonedOrUnvalidatedWritesLeaveTheOldFile)
{
    testenv::writeFile(chemin(QStringLiteral("garde")), "precious");
    {
        EcritureAtomique e(chemin(QStringLiteral("garde")));
        ASSERT_TRUE(e.ouvre());
        ASSERT_TRUE(e.ecrit("half"));
        e.abandonne();
        EXPECT_FALSE(e.valide()) << "an abandoned write cannot be validated";
    }
    {
        EcritureAtomique e(chemin(QStringLiteral("garde")));
        ASSERT_TRUE(e.ouvre());
        ASSERT_TRUE(e.ecrit("never validated"));
    } // destroyed without valide()
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("garde"))), QByteArray("precious"));
    EXPECT_EQ(entrees(), QStringList{QStringLiteral("garde")});
    // Writing before opening is refused, with a reason.
    EcritureAtomique e(chemin(QStringLiteral("garde")));
    EXPECT_FALSE(e.ecrit("x"));
    EXPECT_FALSE(e.raison().isEmpty());
}

TEST(EcritureAtomique, FailuresKeepTheOldFileAndSayWhy)
{
    testenv::writeFile(chemin(QStringLiteral("garde")), "precious");
    QDir().mkpath(chemin(QStringLiteral("un dossier")));
    testenv::writeFile(chemin(QStringLiteral("un dossier/dedans")), "inside");

    QString raison;
    // A folder stands where the file should go.
    EXPECT_FALSE(EcritFichierAtomique(chemin(QStringLiteral("un dossier")), "x", &raison));
    EXPECT_FALSE(raison.isEmpty());
    EXPECT_TRUE(QFileInfo(chemin(QStringLiteral("un dossier"))).isDir());
    // A missing folder.
    raison.clear();
    EXPECT_FALSE(EcritFichierAtomique(chemin(QStringLiteral("absent/f")), "x", &raison));
    EXPECT_FALSE(raison.isEmpty());

    // A folder that refuses new entries: the old file stays, nothing is added.
    {
        testenv::DossierVerrouille verrou(dossier());
        if (verrou.actif()) {
            raison.clear();
            EXPECT_FALSE(EcritFichierAtomique(chemin(QStringLiteral("garde")), "new", &raison));
            EXPECT_FALSE(raison.isEmpty());
            QString r2;
            EXPECT_FALSE(CopieFichierAtomique(chemin(QStringLiteral("un dossier/dedans")), chemin(QStringLiteral("garde")), &r2));
            EXPECT_FALSE(r2.isEmpty());
        }
    }
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("garde"))), QByteArray("precious"));
    EXPECT_EQ(entrees(), (QStringList{QStringLiteral("garde"), QStringLiteral("un dossier")}));
}

TEST(EcritureAtomique, CopyIsExactAndAMissingSourceChangesNothing)
{
    const QByteArray grand = aleatoire((1 << 20) * 2 + 333, 9); // more than one block
    testenv::writeFile(chemin(QStringLiteral("source")), grand);
    testenv::writeFile(chemin(QStringLiteral("cible")), "old");
    ASSERT_TRUE(CopieFichierAtomique(chemin(QStringLiteral("source")), chemin(QStringLiteral("cible"))));
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("cible"))), grand);

    testenv::writeFile(chemin(QStringLiteral("cible")), "old");
    QString raison;
    EXPECT_FALSE(CopieFichierAtomique(chemin(QStringLiteral("pas là")), chemin(QStringLiteral("cible")), &raison));
    EXPECT_FALSE(raison.isEmpty());
    EXPECT_EQ(testenv::readFile(chemin(QStringLiteral("cible"))), QByteArray("old"));
    EXPECT_EQ(entrees(), (QStringList{QStringLiteral("cible"), QStringLiteral("source")}));
}

TEST(EcritureAtomique, TheOldFilesModeIsKept)
{
    testenv::writeFile(chemin(QStringLiteral("prive")), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(chemin(QStringLiteral("prive"))).constData(), 0600), 0);
    ASSERT_TRUE(EcritFichierAtomique(chemin(QStringLiteral("prive")), "new"));
    struct stat s{};
    ASSERT_EQ(::stat(QFile::encodeName(chemin(QStringLiteral("prive"))).constData(), &s), 0);
    EXPECT_EQ(s.st_mode & 0777, 0600u);
}
