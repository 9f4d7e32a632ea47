// Device file operations against the simulated device: copies both ways,
// listings, the file hint, the size text and the tree walk.

#include "device/fonctions_rapi_fichiers.h"
#include "tests/support/devsim_support.h"
#include "tests/support/disque_plein.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QRandomGenerator>
#include <QTimeZone>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

using namespace devsimtest;

namespace {

class FichiersCE : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = nouvelAppareil(c);
        ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 9)), 0);
        ASSERT_TRUE(lien.ConnecteCE(5000));
    }
    void TearDown() override
    {
        EXPECT_EQ(c.OvdSimOpenHandleCount(), 0); // every operation closes what it opened
        if (c.OvdSimSessionCount() > 0)
            lien.DeconnecteCE();
    }
    QString fs(const QString &rel) const { return QString::fromLocal8Bit(dir) + QStringLiteral("/fs/") + rel; }
    QString bureau(const QString &nom) const { return testenv::tempDir() + QLatin1Char('/') + nom; }
    void option(const char *section, const char *cle, const char *valeur)
    {
        ASSERT_EQ(c.OvdSimSetOption(dir.constData(), section, cle, valeur), 0);
        lien.DeconnecteCE(); // the device reads its settings when a connection opens
        ASSERT_TRUE(lien.ConnecteCE(5000));
    }

    Controle c;
    QByteArray dir;
    LienRapi lien{cheminSimulateur()};
};

QByteArray tousLesOctets()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
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

TEST_F(FichiersCE, AllerRetourDOctetsQuelconquesPetitsEtGrands)
{
    // 256 byte values, nothing, and a file of several buffers with a tail.
    const QList<QByteArray> contenus{tousLesOctets(), QByteArray(), aleatoire(3 * kMorceauCopieCE + 12345, 7)};
    for (const QByteArray &contenu : contenus) {
        SCOPED_TRACE(contenu.size());
        testenv::writeFile(bureau(QStringLiteral("src.bin")), contenu);
        ASSERT_TRUE(CopieVersCE(lien, QStringLiteral("\\Temp\\copie.bin"), bureau(QStringLiteral("src.bin"))));
        EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/copie.bin"))), contenu); // seen on the device itself
        ASSERT_TRUE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\copie.bin"), bureau(QStringLiteral("retour.bin"))));
        EXPECT_EQ(testenv::readFile(bureau(QStringLiteral("retour.bin"))), contenu);
    }
    // A second copy replaces the device file, a shorter one included.
    testenv::writeFile(bureau(QStringLiteral("court.bin")), "abc");
    ASSERT_TRUE(CopieVersCE(lien, QStringLiteral("\\Temp\\copie.bin"), bureau(QStringLiteral("court.bin"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/copie.bin"))), QByteArray("abc"));
    // And a copy from the device replaces the desktop file.
    ASSERT_TRUE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\copie.bin"), bureau(QStringLiteral("retour.bin"))));
    EXPECT_EQ(testenv::readFile(bureau(QStringLiteral("retour.bin"))), QByteArray("abc"));
    EXPECT_EQ(QDir(testenv::tempDir()).entryList(QDir::Files).size(), 3); // no temporary left behind
}

TEST_F(FichiersCE, NomsSansEgardALaCasse)
{
    testenv::writeFile(bureau(QStringLiteral("t.tsk")), "theme");
    ASSERT_TRUE(CopieVersCE(lien, QStringLiteral("\\Temp\\Theme.TSK"), bureau(QStringLiteral("t.tsk"))));
    EXPECT_TRUE(ExisteFichierCE(lien, QStringLiteral("\\TEMP\\theme.tsk")));
    ASSERT_TRUE(CopieDepuisCE(lien, QStringLiteral("\\temp\\THEME.tsk"), bureau(QStringLiteral("r.tsk"))));
    EXPECT_EQ(testenv::readFile(bureau(QStringLiteral("r.tsk"))), QByteArray("theme"));
    // Replacing under another letter case keeps one device file.
    ASSERT_TRUE(CopieVersCE(lien, QStringLiteral("\\temp\\theme.tsk"), bureau(QStringLiteral("r.tsk"))));
    EXPECT_EQ(QDir(fs(QStringLiteral("Temp"))).entryList(QDir::Files), QStringList{QStringLiteral("Theme.TSK")});
}

TEST_F(FichiersCE, FichierAbsentNeDetruitRien)
{
    // Missing on the device: false, and the desktop file of that name untouched.
    testenv::writeFile(bureau(QStringLiteral("garde.tsk")), "precieux");
    EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\absent.tsk"), bureau(QStringLiteral("garde.tsk"))));
    EXPECT_EQ(testenv::readFile(bureau(QStringLiteral("garde.tsk"))), QByteArray("precieux"));
    EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\absent.tsk"), bureau(QStringLiteral("nouveau.tsk"))));
    EXPECT_FALSE(QFile::exists(bureau(QStringLiteral("nouveau.tsk"))));
    EXPECT_FALSE(ExisteFichierCE(lien, QStringLiteral("\\Temp\\absent.tsk")));
    // A folder is no file.
    EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Windows"), bureau(QStringLiteral("dossier"))));
    EXPECT_FALSE(QFile::exists(bureau(QStringLiteral("dossier"))));

    // Missing on the desktop: false, and the device file as it was.
    testenv::writeFile(fs(QStringLiteral("Windows/tdywater.gif")), "GIF89a-original");
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Windows\\tdywater.gif"), bureau(QStringLiteral("jamais.gif"))));
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Windows\\tdywater.gif"), testenv::tempDir())); // a folder
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/tdywater.gif"))), QByteArray("GIF89a-original"));
}

TEST_F(FichiersCE, EchecDeRemplacementGardeLAncienFichier)
{
    // A full store: the copy fails, the old device file stays byte for byte
    // and nothing of the copy is left on the device.
    const QByteArray ancien = aleatoire(5000, 8);
    testenv::writeFile(fs(QStringLiteral("Temp/theme.tsk")), ancien);
    option("Faults", "WriteFailsAfter", "100000");
    testenv::writeFile(bureau(QStringLiteral("gros.tsk")), aleatoire(300000, 3));
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Temp\\theme.tsk"), bureau(QStringLiteral("gros.tsk"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/theme.tsk"))), ancien);
    EXPECT_EQ(QDir(fs(QStringLiteral("Temp"))).entryList(QDir::Files), QStringList{QStringLiteral("theme.tsk")});
    // A new file that does not fit leaves nothing either.
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Temp\\nouveau.tsk"), bureau(QStringLiteral("gros.tsk"))));
    EXPECT_FALSE(ExisteFichierCE(lien, QStringLiteral("\\Temp\\nouveau.tsk")));
    // What fits still replaces it.
    testenv::writeFile(bureau(QStringLiteral("petit.tsk")), aleatoire(99999, 4));
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Temp\\theme.tsk"), bureau(QStringLiteral("petit.tsk"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Temp/theme.tsk"))), aleatoire(99999, 4));
    EXPECT_EQ(QDir(fs(QStringLiteral("Temp"))).entryList(QDir::Files), QStringList{QStringLiteral("theme.tsk")});
}

TEST_F(FichiersCE, FichierOuvertAilleursNEstPasRemplace)
{
    // Another program holds the device file open without sharing it: the
    // new copy cannot take its place, the old file stays, no spare is left.
    const QByteArray ancien("en cours d'utilisation");
    testenv::writeFile(fs(QStringLiteral("Windows/tdywater.gif")), ancien);
    const CEHANDLE tenu = lien.CeCreateFile(u"\\Windows\\tdywater.gif", OVD_GENERIC_READ, 0, nullptr,
                                            OVD_OPEN_EXISTING, OVD_FILE_ATTRIBUTE_NORMAL, 0);
    ASSERT_NE(tenu, OVD_INVALID_HANDLE);
    testenv::writeFile(bureau(QStringLiteral("neuf.gif")), "GIF89a-neuf");
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Windows\\tdywater.gif"), bureau(QStringLiteral("neuf.gif"))));
    EXPECT_TRUE(lien.CeCloseHandle(tenu));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/tdywater.gif"))), ancien);
    EXPECT_EQ(QDir(fs(QStringLiteral("Windows"))).entryList({"~ovd*"}, QDir::Files), QStringList());
    // Once it is closed, the copy goes through.
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Windows\\tdywater.gif"), bureau(QStringLiteral("neuf.gif"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/tdywater.gif"))), QByteArray("GIF89a-neuf"));
}

TEST_F(FichiersCE, LectureEnPanneLaisseLeBureauIntact)
{
    testenv::writeFile(fs(QStringLiteral("Temp/theme.tsk")), aleatoire(200000, 5));
    testenv::writeFile(bureau(QStringLiteral("theme.tsk")), "version du bureau");
    option("Faults", "ReadFailsAfter", "70000");
    EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\theme.tsk"), bureau(QStringLiteral("theme.tsk"))));
    EXPECT_EQ(testenv::readFile(bureau(QStringLiteral("theme.tsk"))), QByteArray("version du bureau"));
    EXPECT_EQ(QDir(testenv::tempDir()).entryList(QDir::Files), QStringList{QStringLiteral("theme.tsk")});
}

TEST_F(FichiersCE, TaillesHorsDePorteeRefusees)
{
    // Sparse files: a size over 32 bits, and one over the copy limit.
    for (const qint64 taille : {qint64(5) << 30, kTailleMaxCopieCE + 1}) {
        QFile f(fs(QStringLiteral("Temp/enorme.tsk")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(taille));
        f.close();
        EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\enorme.tsk"), bureau(QStringLiteral("e.tsk"))));
        EXPECT_FALSE(QFile::exists(bureau(QStringLiteral("e.tsk"))));
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(QFile::resize(fs(QStringLiteral("Temp/enorme.tsk")), qint64(5) << 30));
    EXPECT_TRUE(InfosFichierCE(lien, QStringLiteral("\\Temp\\enorme.tsk"))
                    .endsWith(QStringLiteral("Size : 5368709120 bytes (5120.0 Mb)")));
}

TEST_F(FichiersCE, CheminsQuiSortentRefuses)
{
    testenv::writeFile(bureau(QStringLiteral("x")), "x");
    const QString dehors = QString::fromLocal8Bit(dir) + QStringLiteral("/evil");
    for (const QString &p : {QStringLiteral("\\Temp\\..\\..\\evil"), QStringLiteral("\\..\\evil"),
                             QStringLiteral("\\Temp/../../evil"), QStringLiteral("Temp\\evil"),
                             QStringLiteral("\\Temp\\evil") + QChar(0) + QStringLiteral("x"), QString()}) {
        SCOPED_TRACE(p.toStdString());
        EXPECT_FALSE(CopieVersCE(lien, p, bureau(QStringLiteral("x"))));
    }
    EXPECT_FALSE(QFile::exists(dehors));
    EXPECT_FALSE(QFile::exists(fs(QStringLiteral("Temp/evil"))));
    EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\..\\registry.reg"), bureau(QStringLiteral("r"))));
    EXPECT_FALSE(QFile::exists(bureau(QStringLiteral("r"))));

    // Local names taken from device paths never leave the folder they go to.
    EXPECT_EQ(NomLocalCE(QStringLiteral("\\Windows\\Blue.tsk")), QStringLiteral("Blue.tsk"));
    EXPECT_EQ(NomLocalCE(QStringLiteral("Blue.tsk")), QStringLiteral("Blue.tsk"));
    for (const QString &p : {QStringLiteral("\\Windows\\..\\/.."), QStringLiteral("\\Windows\\.."),
                             QStringLiteral("\\Windows\\"), QStringLiteral("a/.."), QString(),
                             QStringLiteral("\\x\\a") + QChar(1)})
        EXPECT_TRUE(NomLocalCE(p).isEmpty()) << p.toStdString();
    EXPECT_EQ(NomLocalCE(QStringLiteral("\\x\\..\\/../evil.tsk")), QStringLiteral("evil.tsk"));
}

TEST_F(FichiersCE, ListesDeNoms)
{
    QStringList l{QStringLiteral("deja")};
    ListeFichiersCE(lien, QStringLiteral("\\Windows\\AppMgr\\*"), &l);
    EXPECT_EQ(l, (QStringList{QStringLiteral("deja"), QStringLiteral("Install"), QStringLiteral("Notes"),
                              QStringLiteral("Notes.DAT"), QStringLiteral("Sample Tool"),
                              QStringLiteral("Sample Tool.DAT"), QStringLiteral("Solitaire"),
                              QStringLiteral("Solitaire.DAT")}));
    ListeFichiersCE(lien, QStringLiteral("\\windows\\appmgr\\*.dat"), &l);
    EXPECT_EQ(l.size(), 11);
    ListeFichiersCE(lien, QStringLiteral("\\Absent\\*"), &l);
    ListeFichiersCE(lien, QStringLiteral("\\Windows\\AppMgr\\*"), nullptr);
    EXPECT_EQ(l.size(), 11);
}

TEST_F(FichiersCE, InfosDateEtTaille)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(InfosFichierCE(lien, QStringLiteral("\\Temp\\absent")).isEmpty());

    // A file just created (no write) has equal creation and write times.
    const QByteArray neuf = QFile::encodeName(fs(QStringLiteral("Temp/neuf.tsk")));
    const int fd = ::open(neuf.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString infos = InfosFichierCE(lien, QStringLiteral("\\Temp\\neuf.tsk"));
    EXPECT_TRUE(infos.startsWith(QStringLiteral("\r\n\r\nDate of creation : "))) << infos.toStdString();
    EXPECT_TRUE(infos.endsWith(QStringLiteral("\r\nSize : 0 bytes (0 Kb)"))) << infos.toStdString();

    // Once written to at another time, the last write time is shown.
    testenv::writeFile(fs(QStringLiteral("Temp/neuf.tsk")), QByteArray(2560, 'x'));
    const QDateTime quand(QDate(2020, 1, 15), QTime(12, 30, 44), Qt::LocalTime);
    const timespec t[2] = {{quand.toSecsSinceEpoch(), 0}, {quand.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, neuf.constData(), t, 0), 0);
    const QString apres = InfosFichierCE(lien, QStringLiteral("\\Temp\\neuf.tsk"));
    const QString date = QLocale().toString(QDate(2020, 1, 15), QLocale::ShortFormat);
    EXPECT_TRUE(apres.startsWith(QStringLiteral("\r\n\r\nDate of modification : ") + date + QLatin1Char(' ')))
        << apres.toStdString();
    EXPECT_TRUE(apres.contains(QStringLiteral("12:30:44"))) << apres.toStdString();
    EXPECT_TRUE(apres.endsWith(QStringLiteral("\r\nSize : 2560 bytes (2 Kb)"))) << apres.toStdString();
}

TEST(TailleTexteCE, Seuils)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TailleTexte(0), QStringLiteral("0 Kb"));
    EXPECT_EQ(TailleTexte(1024000), QStringLiteral("1000 Kb"));
    EXPECT_EQ(TailleTexte(1024001), QStringLiteral("0.98 Mb"));
    EXPECT_EQ(TailleTexte(2560), QStringLiteral("2 Kb")); // 2.5: halves to even
    EXPECT_EQ(TailleTexte(3584), QStringLiteral("4 Kb")); // 3.5
    EXPECT_EQ(TailleTexte(1048576), QStringLiteral("1.0 Mb"));
    EXPECT_EQ(TailleTexte(3000000000LL), QStringLiteral("2861.02 Mb"));
}

TEST(DateDosCE, ConversionEtLimites)
{
    qputenv("TZ", "UTC");
    ::tzset();
    const auto temps = [](const QDateTime &utc) {
        const quint64 ticks = quint64(utc.toSecsSinceEpoch() + 11644473600LL) * 10000000ULL;
        return CEFILETIME{DWORD(ticks), DWORD(ticks >> 32)};
    };
    const CEFILETIME t = temps(QDateTime(QDate(2021, 6, 15), QTime(13, 45, 31), QTimeZone::utc()));
    const quint32 attendu = (41u << 9 | 6u << 5 | 15u) << 16 | (13u << 11 | 45u << 5 | 15u);
    EXPECT_EQ(quint32(FileTimeToDosDate(t)), attendu);
    EXPECT_EQ(FileTimeToDosDate(CEFILETIME{0, 0}), -1); // 1601
    EXPECT_EQ(FileTimeToDosDate(temps(QDateTime(QDate(1979, 12, 31), QTime(23, 0), QTimeZone::utc()))), -1);
    EXPECT_EQ(FileTimeToDosDate(temps(QDateTime(QDate(2108, 1, 1), QTime(0, 0), QTimeZone::utc()))), -1);
    EXPECT_NE(FileTimeToDosDate(temps(QDateTime(QDate(2107, 12, 31), QTime(0, 0), QTimeZone::utc()))), -1);
}

namespace {

struct Comptes {
    int dossiers = 0, fichiers = 0, paquets = 0;
};

// The same walk on the host side, as an independent count.
Comptes compteHote(const std::filesystem::path &racine)
{
    Comptes n;
    for (auto it = std::filesystem::recursive_directory_iterator(racine);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        if (it->is_symlink())
            continue;
        if (it->is_directory()) {
            ++n.dossiers;
            continue;
        }
        ++n.fichiers;
        const QString nom = QString::fromStdString(it->path().filename().string());
        if (nom.endsWith(QLatin1String(".tsk"), Qt::CaseInsensitive))
            ++n.paquets;
    }
    return n;
}

QTreeWidgetItem *enfant(QTreeWidgetItem *parent, const QString &nom)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == nom)
            return parent->child(i);
    return nullptr;
}

} // namespace

TEST_F(FichiersCE, ArbreDesDossiersEtDesPaquets)
{
    // The new device's own packages (Blue, Green, Sunset), the skin renamed
    // into another letter case, and one more package.
    ASSERT_TRUE(QFile::rename(fs(QStringLiteral("Windows/Blue.tsk")), fs(QStringLiteral("Windows/blue.TSK"))));
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/Autre.TsK")), "paquet");
    testenv::writeFile(fs(QStringLiteral("Storage Card/Themes/lisez.txt")), "texte");
    QTreeWidget arbre;
    auto *racine = new QTreeWidgetItem(&arbre, QStringList(QStringLiteral("\\")));
    QWidget barre;
    QLabel chemin(&barre), dossiers(&barre), paquets(&barre);
    chemin.resize(120, 20);
    int nbDossiers = 0, nbFichiers = 0, nbPaquets = 0;
    RemplitArbreCE(lien, QStringLiteral("\\"), racine, nbDossiers, QStringLiteral("\\Windows\\Blue.tsk"),
                   {&chemin, &dossiers, &paquets, &barre}, nbFichiers, nbPaquets);

    const Comptes hote = compteHote(QFile::encodeName(fs(QString())).toStdString());
    EXPECT_EQ(nbDossiers, hote.dossiers);
    EXPECT_EQ(nbFichiers, hote.fichiers);
    EXPECT_EQ(nbPaquets, 4);
    EXPECT_EQ(hote.paquets, 4);
    EXPECT_EQ(dossiers.text(), QStringLiteral("%1 Dir(s)").arg(hote.dossiers));
    EXPECT_EQ(paquets.text(), QStringLiteral("4 TSK (%1 Files)").arg(hote.fichiers));
    EXPECT_LE(QFontMetrics(chemin.font()).horizontalAdvance(chemin.text()), chemin.width() - 10);

    QTreeWidgetItem *windows = enfant(racine, QStringLiteral("Windows"));
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->data(0, kRoleImageCE).toInt(), ImageDossierCE);
    QTreeWidgetItem *skin = enfant(windows, QStringLiteral("blue.TSK"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->data(0, kRoleImageCE).toInt(), ImageSkinCE); // the skin, in other letter case
    EXPECT_FALSE(enfant(windows, QStringLiteral("AppMgr"))->childCount() == 0); // "Install" below it
    QTreeWidgetItem *carte = enfant(racine, QStringLiteral("Storage Card"));
    ASSERT_TRUE(carte);
    QTreeWidgetItem *odd = enfant(carte, QStringLiteral("Odd.tsk"));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->data(0, kRoleImageCE).toInt(), ImageDossierCE); // a folder named like a package
    QTreeWidgetItem *themes = enfant(carte, QStringLiteral("Themes"));
    ASSERT_TRUE(themes);
    ASSERT_EQ(themes->childCount(), 2); // the text file adds no node
    QTreeWidgetItem *autre = enfant(themes, QStringLiteral("Autre.TsK"));
    ASSERT_TRUE(autre);
    EXPECT_EQ(autre->data(0, kRoleImageCE).toInt(), ImagePaquetCE);
    EXPECT_EQ(enfant(themes, QStringLiteral("Green.tsk"))->data(0, kRoleImageCE).toInt(), ImagePaquetCE);
    // Every folder is a node, also an empty one.
    EXPECT_TRUE(enfant(racine, QStringLiteral("Temp")));
}

TEST_F(FichiersCE, ArbreDUnListingHostileSeTermine)
{
    // Names a device should never list ("\" inside a name), a link back to
    // the root, and a chain deeper than the walk goes.
    testenv::writeFile(fs(QStringLiteral("Temp/a\\..\\b.tsk")), "x");
    ASSERT_TRUE(QDir().mkpath(fs(QStringLiteral("Temp/c\\d"))));
    ASSERT_EQ(::symlink(QFile::encodeName(fs(QString())).constData(),
                        QFile::encodeName(fs(QStringLiteral("Temp/boucle"))).constData()),
              0);
    QString profond = QStringLiteral("P");
    for (int i = 0; i < 80; ++i)
        profond += QStringLiteral("/p");
    ASSERT_TRUE(QDir().mkpath(fs(profond)));

    QTreeWidget arbre;
    auto *racine = new QTreeWidgetItem(&arbre, QStringList(QStringLiteral("\\")));
    int nbDossiers = 0, nbFichiers = 0, nbPaquets = 0;
    RemplitArbreCE(lien, QStringLiteral("\\"), racine, nbDossiers, QString(), {}, nbFichiers, nbPaquets);
    QTreeWidgetItem *temp = enfant(racine, QStringLiteral("Temp"));
    ASSERT_TRUE(temp);
    EXPECT_EQ(temp->childCount(), 0);
    EXPECT_EQ(nbPaquets, 3); // only the device's own three packages
    int profondeur = 0;
    for (QTreeWidgetItem *n = enfant(racine, QStringLiteral("P")); n; n = n->childCount() ? n->child(0) : nullptr)
        ++profondeur;
    EXPECT_GT(profondeur, 30);
    EXPECT_LE(profondeur, kProfondeurMaxArbreCE + 1);
}

TEST(FichiersCESansAppareil, RienNEstFaitNiLance)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c); // attached, never plugged: no session
    testenv::writeFile(testenv::tempDir() + QStringLiteral("/src"), "x");
    testenv::writeFile(testenv::tempDir() + QStringLiteral("/garde"), "garde");
    for (const QString &bib : {cheminSimulateur(), QStringLiteral("/nonexistent/librapi.so")}) {
        SCOPED_TRACE(bib.toStdString());
        LienRapi lien(bib);
        EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Temp\\a"), testenv::tempDir() + QStringLiteral("/src")));
        EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\My Documents\\Welcome.txt"),
                                   testenv::tempDir() + QStringLiteral("/garde")));
        EXPECT_EQ(testenv::readFile(testenv::tempDir() + QStringLiteral("/garde")), QByteArray("garde"));
        EXPECT_FALSE(ExisteFichierCE(lien, QStringLiteral("\\Windows")));
        QStringList l;
        ListeFichiersCE(lien, QStringLiteral("\\*"), &l);
        EXPECT_TRUE(l.isEmpty());
        EXPECT_TRUE(InfosFichierCE(lien, QStringLiteral("\\My Documents\\Welcome.txt")).isEmpty());
        QTreeWidget arbre;
        auto *racine = new QTreeWidgetItem(&arbre);
        int d = 0, f = 0, p = 0;
        RemplitArbreCE(lien, QStringLiteral("\\"), racine, d, QString(), {}, f, p);
        EXPECT_EQ(racine->childCount() + d + f + p, 0);
    }
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(dir) + QStringLiteral("/fs/Temp/a")));
    EXPECT_EQ(c.OvdSimOpenHandleCount(), 0);
}

TEST_F(FichiersCE, ACopyOntoAFullDiskFailsAndKeepsTheDesktopFile)
{
    // A small file (it fits a write buffer) with no room at all, and a larger
    // one with room for part of it only.
    for (const auto &[taille, reste] : {std::pair<int, qint64>{3000, 0}, std::pair<int, qint64>{50000, 4096}}) {
        SCOPED_TRACE(taille);
        testenv::DisquePlein disque(testenv::rootDir() + QStringLiteral("/plein%1").arg(taille));
        if (!disque.pret())
            GTEST_SKIP() << "no way to fill a file system here";
        testenv::writeFile(bureau(QStringLiteral("src.bin")), aleatoire(taille, 3));
        ASSERT_TRUE(CopieVersCE(lien, QStringLiteral("\\Temp\\gros.bin"), bureau(QStringLiteral("src.bin"))));
        const QString cible = disque.dossier() + QStringLiteral("/garde.bin");
        testenv::writeFile(cible, "precious");
        disque.remplit(reste);
        EXPECT_FALSE(CopieDepuisCE(lien, QStringLiteral("\\Temp\\gros.bin"), cible));
        disque.libere();
        EXPECT_EQ(testenv::readFile(cible), QByteArray("precious"));
        EXPECT_EQ(QDir(disque.dossier()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("garde.bin")});
    }
}

namespace {

// The spare files of copies ("~ovd...") in a device folder ("" is the root).
QStringList restesCopie(const QString &dossierFs)
{
    return QDir(dossierFs).entryList({QStringLiteral("~ovd*")}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST_F(FichiersCE, UneCopieCoupeeEntreSesDeuxDeplacementsEstRepareeALaConnexionSuivante)
{
    const QByteArray ancien = testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk")));
    ASSERT_FALSE(ancien.isEmpty());
    const QByteArray nouveau = aleatoire(150000, 11);
    testenv::writeFile(bureau(QStringLiteral("neuf.tsk")), nouveau);
    const auto rebranche = [&] {
        ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Faults", "UnplugAfterMoves", "0"), 0);
        ASSERT_GE(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 9)), 0);
        lien.DeconnecteCE();
        ASSERT_TRUE(lien.ConnecteCE(5000));
    };

    // Pulled out once the old file stepped aside, before the new one took
    // its name: the copy fails and leaves both under spare names, and a
    // journal at the root naming the target.
    option("Faults", "UnplugAfterMoves", "1");
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Windows\\Blue.tsk"), bureau(QStringLiteral("neuf.tsk"))));
    EXPECT_FALSE(QFile::exists(fs(QStringLiteral("Windows/Blue.tsk"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/~ovd0.old"))), ancien);
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/~ovd0.tmp"))), nouveau);
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("~ovd0.jnl"))), QByteArray("\\Windows\\Blue.tsk\n"));

    // The next connection puts the old file back and leaves nothing else.
    rebranche();
    EXPECT_TRUE(RepareCopiesCE(lien));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk"))), ancien);
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList());
    EXPECT_EQ(restesCopie(fs(QString())), QStringList());
    EXPECT_TRUE(RepareCopiesCE(lien)); // nothing left to do

    // The same cut, put right this time by the next copy into that folder.
    option("Faults", "UnplugAfterMoves", "1");
    EXPECT_FALSE(CopieVersCE(lien, QStringLiteral("\\Windows\\Blue.tsk"), bureau(QStringLiteral("neuf.tsk"))));
    rebranche();
    testenv::writeFile(bureau(QStringLiteral("autre.gif")), "GIF89a");
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Windows\\tdywater.gif"), bureau(QStringLiteral("autre.gif"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk"))), ancien);
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList());
    EXPECT_EQ(restesCopie(fs(QString())), QStringList());

    // Pulled out just after the new file took the name: the copy stands,
    // and the old file set aside goes at the next connection.
    option("Faults", "UnplugAfterMoves", "2");
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Windows\\Blue.tsk"), bureau(QStringLiteral("neuf.tsk"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk"))), nouveau);
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList{QStringLiteral("~ovd0.old")});
    rebranche();
    EXPECT_TRUE(RepareCopiesCE(lien));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk"))), nouveau);
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList());
    EXPECT_EQ(restesCopie(fs(QString())), QStringList());

    // A new file whose only move was its last step; into the root as well.
    option("Faults", "UnplugAfterMoves", "1");
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Neuf.tsk"), bureau(QStringLiteral("neuf.tsk"))));
    rebranche();
    EXPECT_TRUE(RepareCopiesCE(lien));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Neuf.tsk"))), nouveau);
    EXPECT_EQ(restesCopie(fs(QString())), QStringList());
}

TEST_F(FichiersCE, LesJournauxEtRestesEtrangersNeDeplacentRien)
{
    // Journals cut short, of another kind, or naming a path that leaves the
    // device's folders: they go, and touch nothing else.
    testenv::writeFile(fs(QStringLiteral("Windows/~ovd5.old")), "ancien sans nom");
    testenv::writeFile(fs(QStringLiteral("Windows/~ovd6.tmp")), "octets perdus");
    const QList<QByteArray> journaux{QByteArray("\\Windows\\Blue"),          // cut short
                                     QByteArray("\\Windows\\..\\evil\n"),   // leaves its folder
                                     QByteArray("Windows\\Blue.tsk\n"),     // not from the root
                                     QByteArray("\\Win\ndows\\x\n"),        // two lines
                                     QByteArray("\\Windows\\\xff\xfe.tsk\n"), // not UTF-8
                                     QByteArray(5000, 'x')};                // too large
    for (int i = 0; i < journaux.size(); ++i)
        testenv::writeFile(fs(QStringLiteral("~ovd%1.jnl").arg(i)), journaux[i]);
    testenv::writeFile(fs(QStringLiteral("~ovd.jnl")), "\\Windows\\Blue.tsk\n"); // no number: not ours
    const QByteArray bleu = testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk")));

    EXPECT_TRUE(RepareCopiesCE(lien));
    EXPECT_EQ(restesCopie(fs(QString())), QStringList{QStringLiteral("~ovd.jnl")});
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Blue.tsk"))), bleu);
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(dir) + QStringLiteral("/fs/evil")));
    EXPECT_FALSE(QFile::exists(QString::fromLocal8Bit(dir) + QStringLiteral("/evil")));

    // A copy into the folder: the new bytes no journal speaks for go; an
    // old file whose name nothing tells is kept.
    testenv::writeFile(bureau(QStringLiteral("x.gif")), "GIF89a");
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Windows\\x.gif"), bureau(QStringLiteral("x.gif"))));
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList{QStringLiteral("~ovd5.old")});
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/~ovd5.old"))), QByteArray("ancien sans nom"));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/x.gif"))), QByteArray("GIF89a"));
}

TEST_F(FichiersCE, UnDossierAuNomDeRechangeNEstNiRemisEnPlaceNiEfface)
{
    // A journal whose target is missing, beside folders under the spare
    // names of its copy: a copy only ever sets a file aside, so neither
    // folder is the old file, nor anything of the copy's own.
    ASSERT_TRUE(QDir().mkpath(fs(QStringLiteral("Windows/~ovd3.old/dedans"))));
    testenv::writeFile(fs(QStringLiteral("Windows/~ovd3.old/garde.txt")), "a moi");
    ASSERT_TRUE(QDir().mkpath(fs(QStringLiteral("Windows/~ovd3.tmp"))));
    testenv::writeFile(fs(QStringLiteral("~ovd3.jnl")), "\\Windows\\Perdu.tsk\n");

    // The next connection puts right what it can.
    lien.DeconnecteCE();
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_TRUE(RepareCopiesCE(lien));
    EXPECT_FALSE(QFileInfo::exists(fs(QStringLiteral("Windows/Perdu.tsk"))));
    EXPECT_FALSE(ExisteFichierCE(lien, QStringLiteral("\\Windows\\Perdu.tsk")));
    EXPECT_TRUE(QFileInfo(fs(QStringLiteral("Windows/~ovd3.old/dedans"))).isDir());
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/~ovd3.old/garde.txt"))), QByteArray("a moi"));
    EXPECT_TRUE(QFileInfo(fs(QStringLiteral("Windows/~ovd3.tmp"))).isDir());
    EXPECT_EQ(restesCopie(fs(QString())), QStringList()); // the journal is done with
    EXPECT_TRUE(RepareCopiesCE(lien));

    // A copy to that very name later takes another number and leaves the
    // folders as they are.
    testenv::writeFile(bureau(QStringLiteral("perdu.tsk")), "nouveau");
    EXPECT_TRUE(CopieVersCE(lien, QStringLiteral("\\Windows\\Perdu.tsk"), bureau(QStringLiteral("perdu.tsk"))));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/Perdu.tsk"))), QByteArray("nouveau"));
    EXPECT_EQ(testenv::readFile(fs(QStringLiteral("Windows/~ovd3.old/garde.txt"))), QByteArray("a moi"));
    EXPECT_TRUE(QFileInfo(fs(QStringLiteral("Windows/~ovd3.tmp"))).isDir());
    EXPECT_EQ(restesCopie(fs(QStringLiteral("Windows"))), QStringList());
    EXPECT_EQ(restesCopie(fs(QString())), QStringList());
}
