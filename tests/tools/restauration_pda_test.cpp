// The live preview's restore point on disk: its record read back exactly,
// hostile or damaged records refused whole, and the device put back only
// when it is the record's own.

#include "device/etat_pda.h"
#include "tools/restauration_pda.h"
#include "tools/sauvegarde_pda.h"
#include "tests/support/devsim_support.h"
#include "tests/support/etat_appareil.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/tube_surveille.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

PointRestaurationPDA pointExemple()
{
    PointRestaurationPDA p;
    p.cree = QStringLiteral("2026-12-07 10:11:12");
    p.identite.lue = true;
    p.identite.nom = QStringLiteral("Pocket=PC\n\u00e9t\u00e9 %41");
    p.identite.idPartenariat = 0x0BADF00D;
    p.identite.majeure = 5;
    p.identite.mineure = 2;
    p.identite.build = 21234;
    p.etat.valide = true;
    p.etat.baseHue = {ValeurCouleurCE::Lue, OVD_REG_DWORD, QByteArray::fromHex("a0010000")};
    p.etat.dpi = {ValeurCouleurCE::Absente, 0, {}};
    p.etat.valeurs[0] = {ValeurCouleurCE::Lue, OVD_REG_BINARY, QByteArray::fromHex("2e97e300")};
    p.etat.valeurs[13] = {ValeurCouleurCE::Lue, OVD_REG_DWORD, QByteArray::fromHex("1257b100")};
    p.etat.valeurs[21] = {ValeurCouleurCE::Lue, OVD_REG_SZ, QByteArray::fromHex("410000")};
    p.images = {PointRestaurationPDA::Image::Gardee, PointRestaurationPDA::Image::Absente};
    p.empreintes[0] = QByteArray(32, '\x5a');
    return p;
}

void compare(const PointRestaurationPDA &a, const PointRestaurationPDA &b)
{
    EXPECT_EQ(a.cree, b.cree);
    EXPECT_EQ(a.identite, b.identite);
    EXPECT_EQ(a.etat.valide, b.etat.valide);
    const auto egales = [](const ValeurCouleurCE &x, const ValeurCouleurCE &y) {
        return x.etat == y.etat && x.type == y.type && x.octets == y.octets;
    };
    EXPECT_TRUE(egales(a.etat.baseHue, b.etat.baseHue));
    EXPECT_TRUE(egales(a.etat.dpi, b.etat.dpi));
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        EXPECT_TRUE(egales(a.etat.valeurs[i], b.etat.valeurs[i])) << i;
    EXPECT_EQ(a.images, b.images);
    EXPECT_EQ(a.empreintes, b.empreintes);
}

} // namespace

// Every value as the device stored it (a DWORD, binary bytes, another type,
// an absent one), the device's name whatever it holds, and each picture's fate
// come back exactly.
TEST(RestaurationPda, TheRecordReadsBackExactly)
{
    const PointRestaurationPDA p = pointExemple();
    const QByteArray texte = TextePointRestauration(p);
    EXPECT_TRUE(texte.contains("\r\n5=3:2e97e300\r\n"));
    EXPECT_TRUE(texte.contains("\r\n25=4:1257b100\r\n"));
    EXPECT_TRUE(texte.contains("\r\n8=-\r\n"));
    EXPECT_TRUE(texte.contains("\r\nstwater.gif=absent\r\n"));
    QString raison;
    const std::optional<PointRestaurationPDA> lu = LitTextePointRestauration(texte, &raison);
    ASSERT_TRUE(lu) << raison.toStdString();
    compare(*lu, p);
    // Written with bare line feeds, the same.
    QByteArray lf = texte;
    lf.replace("\r\n", "\n");
    ASSERT_TRUE(LitTextePointRestauration(lf));
    compare(*LitTextePointRestauration(lf), p);
}

// A record that is not whole and well formed is refused with a reason, and
// none of it is taken.
TEST(RestaurationPda, DamagedOrHostileRecordsAreRefused)
{
    const QByteArray bon = TextePointRestauration(pointExemple());
    const auto remplace = [&](const char *de, const char *par) {
        QByteArray t = bon;
        EXPECT_TRUE(t.contains(de)) << de;
        t.replace(de, par);
        return t;
    };
    const QList<std::pair<const char *, QByteArray>> cas{
        {"truncated", bon.left(bon.indexOf("[Today]"))},
        {"empty", QByteArray()},
        {"repeated value", bon + "\r\n[Color]\r\nBaseHue=-\r\n"},
        {"unknown key", remplace("\r\n8=-\r\n", "\r\n8=-\r\n99=-\r\n")},
        {"value outside its section", remplace("[Today]", "[Other]")},
        {"odd hex", remplace("5=3:2e97e300", "5=3:2e97e30")},
        {"not hex", remplace("5=3:2e97e300", "5=3:2e97e3zz")},
        {"type too large", remplace("5=3:", "5=4294967296:")},
        {"signed type", remplace("5=3:", "5=-3:")},
        {"value too large",
         remplace("5=3:2e97e300", QByteArray("5=3:" + QByteArray(2 * 64 * 1024 + 2, 'a')).constData())},
        {"unknown format", remplace("Format=1", "Format=2")},
        {"bad version", remplace("DeviceVersion=5.2.21234", "DeviceVersion=5.2")},
        {"bad partnership", remplace("DevicePartnership=0badf00d", "DevicePartnership=xyz")},
        {"short digest", remplace("tdywater.gif=kept:5a5a", "tdywater.gif=kept:5a")},
        {"unknown picture state", remplace("stwater.gif=absent", "stwater.gif=gone")},
        {"line without a value", remplace("[Today]\r\n", "[Today]\r\nDPI\r\n")},
        {"oversized", bon + QByteArray(kTailleMaxPointPDA, ';')},
    };
    for (const auto &[nom, texte] : cas) {
        QString raison;
        EXPECT_FALSE(LitTextePointRestauration(texte, &raison)) << nom;
        EXPECT_FALSE(raison.isEmpty()) << nom;
    }
}

// The folder holds the device's picture, "Restore.reg" and the record; the
// folder is found again, and one whose picture or record was damaged, or
// whose record is a pipe, is reported and never applied; a folder without a
// record is no restore point.
TEST(RestaurationPda, FoldersOnDiskAreCheckedBeforeUse)
{
    const QString appli = testenv::programDir();
    const QString copie = testenv::tempDir() + "/SauveTDPDA.gif";
    testenv::writeFile(copie, "DEVICE-TODAY");
    PointRestaurationPDA p = pointExemple();
    QString raison;
    ASSERT_TRUE(EcritPointRestauration(appli, p, {copie, QString()}, &raison)) << raison.toStdString();
    EXPECT_EQ(QDir(p.dossier).entryList(QDir::Files), (QStringList{"Restore.ini", "Restore.reg", "tdywater.gif"}));
    EXPECT_EQ(testenv::readFile(p.dossier + "/tdywater.gif"), "DEVICE-TODAY");
    ASSERT_TRUE(LitPointRestauration(p.dossier));
    compare(*LitPointRestauration(p.dossier), p);
    EXPECT_EQ(PointRestaurationDe(appli, p.identite)->dossier, p.dossier);
    IdentiteCE autre = p.identite;
    autre.idPartenariat = 1;
    EXPECT_FALSE(PointRestaurationDe(appli, autre));

    // A folder the user was given to keep (no record) is not listed.
    QDir().mkpath(appli + "/DeviceBackup/old");
    testenv::writeFile(appli + "/DeviceBackup/old/tdywater.gif", "X");
    EXPECT_EQ(PointsRestaurationEnAttente(appli).points.size(), 1);
    EXPECT_TRUE(PointsRestaurationEnAttente(appli).illisibles.isEmpty());

    // The kept picture changed: refused.
    testenv::writeFile(p.dossier + "/tdywater.gif", "DEVICE-TODAX");
    EXPECT_FALSE(LitPointRestauration(p.dossier, &raison));
    EXPECT_TRUE(raison.contains("damaged")) << raison.toStdString();
    const PointsEnAttente attente = PointsRestaurationEnAttente(appli);
    EXPECT_TRUE(attente.points.isEmpty());
    ASSERT_EQ(attente.illisibles.size(), 1);
    EXPECT_EQ(attente.illisibles[0].first, p.dossier);

    // The record a pipe: refused at once, never waited on.
    QFile::remove(p.dossier + "/Restore.ini");
    testenv::TubeSurveille tube(p.dossier + "/Restore.ini");
    ASSERT_TRUE(tube.cree());
    QElapsedTimer chrono;
    chrono.start();
    EXPECT_EQ(PointsRestaurationEnAttente(appli).illisibles.size(), 1);
    EXPECT_LT(chrono.elapsed(), 5000);
    tube.arrete();
    EXPECT_EQ(tube.lecteurs(), 0);

    // Deleting takes the folder, and DeviceBackup once empty.
    QDir(appli + "/DeviceBackup/old").removeRecursively();
    QFile::remove(p.dossier + "/Restore.ini");
    testenv::writeFile(p.dossier + "/Restore.ini", TextePointRestauration(p));
    EXPECT_TRUE(SupprimePointRestauration(p));
    EXPECT_FALSE(QFileInfo::exists(appli + "/DeviceBackup"));
}

namespace {

struct AppareilConnecte
{
    devsimtest::Controle ctl;
    QByteArray dir;
    EtatPDA pda{devsimtest::cheminSimulateur()};
    explicit AppareilConnecte(const char *nom = "device")
    {
        dir = devsimtest::nouvelAppareil(ctl, nom);
        EXPECT_EQ(ctl.OvdSimPlug(dir.constData(), devsimtest::ip(10, 0, 0, 9)), 0);
        pda.PDAConnecte = pda.Rapi.ConnecteCE(5000);
        EXPECT_TRUE(pda.PDAConnecte);
    }
    ~AppareilConnecte()
    {
        if (pda.PDAConnecte)
            pda.Rapi.DeconnecteCE();
    }
    devsimtest::EtatAppareil etat() { return devsimtest::litEtatAppareil(QString::fromLocal8Bit(dir)); }
};

} // namespace

// A record of another device, or one whose kept picture was damaged, writes
// nothing; the record of the device connected puts it back, and doing it
// again changes nothing more.
TEST(RestaurationPda, OnlyTheRecordsOwnDeviceIsPutBack)
{
    AppareilConnecte a;
    const devsimtest::EtatAppareil avant = a.etat();
    PointRestaurationPDA p;
    p.identite = LitIdentiteCE(a.pda.Rapi);
    ASSERT_TRUE(p.identite.lue);
    int bh = 0, dpi = 0, usi = 0;
    ASSERT_TRUE(LitCouleursCE(a.pda.Rapi, p.etat, bh, dpi, usi));
    p.images = {PointRestaurationPDA::Image::Absente, PointRestaurationPDA::Image::Intacte};
    ASSERT_TRUE(EcritPointRestauration(testenv::programDir(), p, {}));

    // The device changed as a preview would change it.
    ASSERT_EQ(a.ctl.OvdSimSetDword(a.dir.constData(), "HKLM\\SOFTWARE\\Microsoft\\Color", "BaseHue", 7), 0);
    testenv::writeFile(QString::fromLocal8Bit(a.dir) + "/fs/Windows/tdywater.gif", "OURS");
    a.pda.Rapi.DeconnecteCE();
    a.pda.PDAConnecte = a.pda.Rapi.ConnecteCE(5000);
    const devsimtest::EtatAppareil apercu = a.etat();

    PointRestaurationPDA autre = p;
    autre.identite.nom += QLatin1Char('x');
    EXPECT_FALSE(AppliquePointRestauration(a.pda.Rapi, autre));
    EXPECT_EQ(a.etat(), apercu);

    ASSERT_TRUE(AppliquePointRestauration(a.pda.Rapi, p));
    EXPECT_EQ(a.etat(), avant);
    ASSERT_TRUE(AppliquePointRestauration(a.pda.Rapi, p));
    EXPECT_EQ(a.etat(), avant);
}

// The question at a connection: Cancel (the default) changes nothing and
// keeps the record; a damaged record is reported and never applied; No keeps
// what the device shows and forgets the record.
TEST(RestaurationPda, TheQuestionsAnswers)
{
    AppareilConnecte a;
    PointRestaurationPDA p;
    p.identite = LitIdentiteCE(a.pda.Rapi);
    int bh = 0, dpi = 0, usi = 0;
    ASSERT_TRUE(LitCouleursCE(a.pda.Rapi, p.etat, bh, dpi, usi));
    p.images = {PointRestaurationPDA::Image::Absente, PointRestaurationPDA::Image::Absente};
    ASSERT_TRUE(EcritPointRestauration(testenv::programDir(), p, {}));
    testenv::writeFile(QString::fromLocal8Bit(a.dir) + "/fs/Windows/stwater.gif", "OURS");
    const devsimtest::EtatAppareil apercu = a.etat();

    ScriptedPrompts prompts;
    prompts.answerDefault();
    EXPECT_TRUE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions[0].contains("Put the device back as it was before the preview?"));
    EXPECT_EQ(a.etat(), apercu);
    ASSERT_TRUE(LitPointRestauration(p.dossier));

    // Damaged: reported, not asked, nothing written.
    const QByteArray record = testenv::readFile(p.dossier + "/Restore.ini");
    QByteArray abime = record;
    abime.replace("DPI=", "DPI=zz");
    testenv::writeFile(p.dossier + "/Restore.ini", abime);
    EXPECT_FALSE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    EXPECT_EQ(prompts.questions.size(), 1);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("cannot be read")) << prompts.messages[0].toStdString();
    EXPECT_EQ(a.etat(), apercu);

    testenv::writeFile(p.dossier + "/Restore.ini", record);
    prompts.answer(Prompts::Answer::No);
    EXPECT_FALSE(ProposeRestaurationPDA(testenv::programDir(), a.pda.Rapi, prompts));
    EXPECT_EQ(a.etat(), apercu);
    EXPECT_FALSE(QFileInfo::exists(p.dossier));
    EXPECT_TRUE(prompts.exhausted());
}
