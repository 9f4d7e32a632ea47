// A package read from the main window replaces the theme wholesale: no
// working picture of the theme before stays (size variants of another
// picture set, pictures a format change put aside), the Start menu of the
// preview closes, and a read that is refused leaves every file as it was.
// The read command asks in the opening folder, which follows the package.

#include "apercu/vue_apercu_ecran.h"
#include "app/options_form.h"
#include "tests/support/cab_fabrique.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/setup_ce_builder.h"

#include <QButtonGroup>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <map>

using fenetretest::Fenetre;
using fenetretest::surFenetreModale;

namespace {

void ecritPaquet(const QString &chemin, const std::vector<std::pair<QByteArray, QByteArray>> &membres)
{
    std::vector<cabtest::MembreBrut> m;
    for (const auto &[nom, donnees] : membres) {
        cabtest::MembreBrut b;
        b.nom = nom;
        b.donnees = donnees;
        m.push_back(b);
    }
    testenv::writeFile(chemin, cabtest::fabriqueCab(m));
}

// A VGA portrait and landscape theme: four pictures of the 480 by 640 pair.
QString paquetVga()
{
    auto s = SetupCeBuilder::theme("Vga.tsk");
    s.fichier(1, "tdywater_480_640.gif");
    s.fichier(2, "tdywater_640_480.gif");
    s.fichier(3, "stwater_480_640.gif");
    s.fichier(4, "stwater_640_480.gif");
    s.cleBinaire(1, "5", QByteArray("\x01\x02\x03\x00", 4));
    const QString p = testenv::tempDir() + QStringLiteral("/paquets/Vga.tsk");
    ecritPaquet(p, {{"VGA~1.000", s.build()}, {"TDYWAT~1.001", "GIF89a vga today P"}, {"TDYWAT~2.002", "GIF89a vga today L"},
                    {"STWATE~1.003", "GIF89a vga start P"}, {"STWATE~2.004", "GIF89a vga start L"}});
    return p;
}

// A portrait-only theme, Today and Start.
QString paquetSimple(const QString &nom = QStringLiteral("Simple.tsk"))
{
    auto s = SetupCeBuilder::theme("Simple.tsk");
    s.fichier(1, "tdywater.gif");
    s.fichier(2, "stwater.gif");
    const QString p = testenv::tempDir() + QStringLiteral("/paquets/") + nom;
    ecritPaquet(p, {{"SIMPLE~1.000", s.build()}, {"tdywater.001", "GIF89a simple today"}, {"0stwater.002", "GIF89a simple start"}});
    return p;
}

// Every file of the program folder, hidden ones included, with its bytes.
std::map<QString, QByteArray> contenu(const QString &dossier)
{
    std::map<QString, QByteArray> fichiers;
    QDirIterator it(dossier, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString chemin = it.next();
        fichiers[it.fileName()] = testenv::readFile(chemin);
    }
    return fichiers;
}

QStringList images(const QString &dossier)
{
    return QDir(dossier).entryList({QStringLiteral("*.gif")}, QDir::Files | QDir::Hidden, QDir::Name);
}

void lit(Fenetre &f, const QString &paquet)
{
    f.prompts.openPackageName(paquet);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
}

} // namespace

TEST(LectureRemplaceTheme, APortraitOnlyPackageLeavesNothingOfTheThemeBefore)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString appli = f.dossiers.DossierAppli;
    lit(f, paquetVga());
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 5);
    ASSERT_EQ(testenv::readFile(appli + "stwater_640_480.gif"), QByteArray("GIF89a vga start L"));
    // Pictures an earlier format change put aside, and one of the user's own.
    testenv::writeFile(appli + "tdywater_garde.gif", "GIF89a kept today");
    testenv::writeFile(appli + "stwater_garde2.gif", "GIF89a kept start");
    testenv::writeFile(appli + "tdywater_garde.png", "not a working picture");
    testenv::writeFile(appli + "stwater_gardien.gif", "not a working picture");

    // The Start menu is open over the preview when the next package comes.
    VueApercuEcran *v = w.apercu();
    QTest::mouseClick(v, Qt::LeftButton, {}, GeometrieApercu::BarreNavigation.topLeft() + QPoint(40, 10));
    ASSERT_EQ(v->surimpression(), Surimpression::MenuDemarrer);

    lit(f, paquetSimple());
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    EXPECT_EQ(images(appli), (QStringList{"stwater.gif", "stwater_gardien.gif", "tdywater.gif"}));
    EXPECT_EQ(testenv::readFile(appli + "tdywater.gif"), QByteArray("GIF89a simple today"));
    EXPECT_EQ(testenv::readFile(appli + "stwater.gif"), QByteArray("GIF89a simple start"));
    EXPECT_TRUE(QFileInfo::exists(appli + "tdywater_garde.png"));
    // No staged or old copy is left behind either.
    for (const auto &[nom, octets] : contenu(appli))
        EXPECT_FALSE(nom.endsWith(QLatin1String(".lecture")) || nom.endsWith(QLatin1String(".ancien"))) << nom.toStdString();
    EXPECT_EQ(w.contexte().document.format().FormatTheme, 3);
    EXPECT_EQ(v->surimpression(), Surimpression::Aucune);
    EXPECT_TRUE(v->images().surimpression.isNull());

    // Back to the VGA portrait and landscape format: no picture of the theme
    // before comes back as the new theme's.
    surFenetreModale([](QWidget *d) {
        auto *options = qobject_cast<TOptionsForm *>(d);
        ASSERT_TRUE(options);
        QAbstractButton *b = options->FormatImgRG->button(5);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
        d->findChild<QPushButton *>("ValiderBtn")->click();
    });
    QTest::mouseClick(f.trouve<QPushButton>("OptionsBtn"), Qt::LeftButton);
    ASSERT_EQ(w.contexte().document.format().FormatTheme, 5);
    for (const auto &[nom, octets] : contenu(appli))
        EXPECT_FALSE(octets.startsWith("GIF89a vga") || octets.startsWith("GIF89a kept")) << nom.toStdString();
    EXPECT_EQ(testenv::readFile(appli + "stwater_garde.gif"), QByteArray("GIF89a simple start"));
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}

TEST(LectureRemplaceTheme, ARefusedReadKeepsEveryFileByteForByte)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString appli = f.dossiers.DossierAppli;
    lit(f, paquetVga());
    ASSERT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    testenv::writeFile(appli + "tdywater_garde.gif", "GIF89a kept today");
    const auto avant = contenu(appli);
    ASSERT_TRUE(avant.count("tdywater_640_480.gif"));
    ASSERT_TRUE(avant.count(QFileInfo(f.dossiers.FichierCouleurs).fileName()));

    // A member name that climbs out of the folder; a theme whose Start picture
    // is not in the cabinet; no cabinet at all.
    auto s = SetupCeBuilder::theme("X.tsk");
    s.fichier(1, "tdywater.gif");
    s.fichier(2, "stwater.gif");
    const QString refuse1 = testenv::tempDir() + QStringLiteral("/paquets/Refus.tsk");
    ecritPaquet(refuse1, {{"X~1.000", s.build()}, {"..\\..\\tdywater.001", "GIF89a other"}, {"0stwater.002", "GIF89a o"}});
    const QString refuse2 = testenv::tempDir() + QStringLiteral("/paquets/Manque.tsk");
    ecritPaquet(refuse2, {{"Y~1.000", s.build()}, {"tdywater.001", "GIF89a other"}});
    const QString refuse3 = testenv::tempDir() + QStringLiteral("/paquets/Faux.tsk");
    testenv::writeFile(refuse3, "MSCF but no cabinet");

    for (const QString &paquet : {refuse1, refuse2, refuse3}) {
        SCOPED_TRACE(paquet.toStdString());
        f.prompts.messages.clear();
        lit(f, paquet);
        EXPECT_EQ(f.prompts.messages.size(), paquet == refuse2 ? 2 : 1) << f.prompts.messages.join('|').toStdString();
        EXPECT_TRUE(contenu(appli) == avant);
        EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Vga"));
        EXPECT_EQ(w.contexte().document.format().FormatTheme, 5);
    }
    f.ferme();
}

// The read command asks through the package dialog in the opening folder; a
// cancel reads nothing and keeps the folder, a chosen package is read and the
// folder follows it.
TEST(LectureRemplaceTheme, TheReadCommandAsksInTheOpeningFolderAndFollowsThePackage)
{
    Fenetre f;
    TOrvandel &w = f.ouvre();
    const QString ouverture = testenv::tempDir() + QStringLiteral("/ouverture/");
    w.contexte().dossiers.DossierLitTSK = ouverture;
    w.contexte().document.setNomTheme(QStringLiteral("Before"));

    // Cancelled, then closed with no name: nothing is read.
    f.prompts.openPackageName(std::nullopt);
    QTest::mouseClick(f.trouve<QToolButton>("LireTskTBtn"), Qt::LeftButton);
    lit(f, QString());
    ASSERT_EQ(f.prompts.fileDialogs.size(), 2);
    const Prompts::FileDialog &d = f.prompts.fileDialogs.first();
    EXPECT_EQ(d.filter, QStringLiteral("TSK (*.tsk)|*.tsk"));
    EXPECT_EQ(d.defaultSuffix, QStringLiteral("tsk"));
    EXPECT_EQ(d.initialDir, ouverture);
    EXPECT_EQ(w.contexte().dossiers.DossierLitTSK, ouverture);
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Before"));

    const QString paquet = paquetSimple(QStringLiteral("Sky.tsk"));
    lit(f, paquet);
    EXPECT_TRUE(f.prompts.messages.isEmpty()) << f.prompts.messages.join('|').toStdString();
    EXPECT_EQ(f.prompts.fileDialogs.last().initialDir, ouverture);
    EXPECT_EQ(QDir::cleanPath(w.contexte().dossiers.DossierLitTSK), QDir::cleanPath(QFileInfo(paquet).absolutePath()));
    EXPECT_EQ(w.contexte().document.nomTheme(), QStringLiteral("Sky"));
    EXPECT_EQ(testenv::readFile(f.dossiers.DossierAppli + "tdywater.gif"), QByteArray("GIF89a simple today"));
    EXPECT_FALSE(w.contexte().animation.isPaused());
    EXPECT_TRUE(f.prompts.exhausted());
    f.ferme();
}
