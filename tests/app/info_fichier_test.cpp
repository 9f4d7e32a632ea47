// The program file's own data: times in the French long form, the size, the
// attributes; nothing for a missing file or a folder; the about box's hint.

#include "app/about_box.h"
#include "app/info_fichier.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

TEST(InfoFichier, TimesSizeAndAttributesOfAFile)
{
    const QString chemin = testenv::tempDir() + QStringLiteral("/orvandel.bin");
    testenv::writeFile(chemin, QByteArray(1234567, 'x'));
    const QDateTime ecrit(QDate(2026, 12, 7), QTime(9, 5, 3), Qt::LocalTime);
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(ecrit, QFileDevice::FileModificationTime));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2025, 1, 20), QTime(23, 59, 0), Qt::LocalTime),
                                  QFileDevice::FileAccessTime));
    }
    DonneesFichier d = LitDonneesFichier(chemin);
    ASSERT_TRUE(d.existe);
    EXPECT_EQ(d.LastWrite, QStringLiteral("lundi 7 décembre 2026 à 9 h 5 mn 3 s"));
    EXPECT_EQ(d.LastAccess, QStringLiteral("lundi 20 janvier 2025 à 23 h 59 mn 0 s"));
    // The size in full, not rounded to six digits.
    EXPECT_EQ(d.Taille, QStringLiteral("1234567 octets"));
    EXPECT_EQ(d.AttributsFichier, QStringLiteral("Normal, "));

    QFile::setPermissions(chemin, QFileDevice::ReadOwner);
    EXPECT_EQ(LitDonneesFichier(chemin).AttributsFichier, QStringLiteral("Lecture seule, "));
    const QString cache = testenv::tempDir() + QStringLiteral("/.cache.bin");
    testenv::writeFile(cache, QByteArray());
    QFile::setPermissions(cache, QFileDevice::ReadOwner);
    d = LitDonneesFichier(cache);
    EXPECT_EQ(d.AttributsFichier, QStringLiteral("Lecture seule, Caché, "));
    EXPECT_EQ(d.Taille, QStringLiteral("0 octets"));
}

TEST(InfoFichier, NothingForAMissingFileAFolderOrAnInvalidTime)
{
    EXPECT_FALSE(LitDonneesFichier(testenv::tempDir() + QStringLiteral("/absent")).existe);
    EXPECT_FALSE(LitDonneesFichier(testenv::tempDir()).existe);
    EXPECT_FALSE(LitDonneesFichier(QString()).existe);
    EXPECT_TRUE(LitDonneesFichier(testenv::tempDir()).Taille.isEmpty());
    EXPECT_TRUE(FormatDateFichier(QDateTime()).isEmpty());
}

TEST(InfoFichier, TheAboutBoxShowsTheProgramFilesData)
{
    const QString chemin = testenv::tempDir() + QStringLiteral("/Orvandel");
    testenv::writeFile(chemin, QByteArray(42, 'x'));
    ScriptedPrompts prompts;
    TAboutBox boite(prompts, nullptr, chemin);
    EXPECT_TRUE(boite.donneesFichier().existe);
    const QString bulle = boite.ProgramIcon->toolTip();
    EXPECT_TRUE(bulle.contains(QStringLiteral("Taille : 42 octets"))) << bulle.toStdString();
    EXPECT_TRUE(bulle.contains(QStringLiteral("Modification : ") + LitDonneesFichier(chemin).LastWrite));
}
