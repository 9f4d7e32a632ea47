// Every writer of the program against a full file system: the failure is
// reported, the old file keeps every byte, and no temporary file is left.

#include "app/capture_ecran.h"
#include "app/changement_format.h"
#include "device/rapport_couleurs_ce.h"
#include "tests/support/disque_plein.h"
#include "tests/support/fake_cabinets.h"
#include "tests/support/fenetre_principale.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/setup_ce_builder.h"
#include "tests/support/test_env.h"
#include "theme/animation_pause.h"
#include "app/commandes_couleurs.h"
#include "app/commandes_paquet.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_couleurs.h"
#include "theme/fichier_lignes.h"
#include "theme/ini_file.h"
#include "theme/package_reader.h"
#include "theme/package_writer.h"
#include "theme/setup_ce_writer.h"
#include "tools/choix_images.h"
#include "tools/encodeurs_image.h"
#include "ui/app_context.h"
#include "ui/fonctions_indep.h"
#include "ui/options.h"

#include <QAbstractButton>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

const QByteArray AncienneImage = "GIF89a the old picture, which must survive";
const QByteArray AnciennesCouleurs = "[CouleursTSK]   ; old\r\ncoul05 = 01,02,03,00;  old\r\n";

class DisquePleinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        disque = std::make_unique<testenv::DisquePlein>(dossier);
        if (!disque->pret())
            GTEST_SKIP() << "no way to fill a file system here";
    }
    void TearDown() override { disque.reset(); }

    QString f(const QString &nom) const { return dossier + QLatin1Char('/') + nom; }
    void ancien(const QString &nom, const QByteArray &octets) { testenv::writeFile(f(nom), octets); }

    // Every entry of the folder (hidden ones too) with its bytes.
    std::map<QString, QByteArray> etat() const
    {
        std::map<QString, QByteArray> e;
        QDirIterator it(dossier, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString chemin = it.next();
            if (QFileInfo(chemin).fileName() == QLatin1String(".remplissage"))
                continue;
            e[QDir(dossier).relativeFilePath(chemin)] = QFileInfo(chemin).isDir() ? QByteArray("<dir>") : testenv::readFile(chemin);
        }
        return e;
    }
    void remplit(qint64 reste = 0)
    {
        avant = etat();
        ASSERT_FALSE(avant.empty()) << "a writer must have an old file to keep";
        disque->remplit(reste);
    }
    // The old files as they were, and nothing new (no temporary file left).
    void verifieIntact()
    {
        disque->libere();
        const auto apres = etat();
        EXPECT_EQ(apres.size(), avant.size());
        for (const auto &[nom, octets] : avant) {
            const auto it = apres.find(nom);
            ASSERT_NE(it, apres.end()) << nom.toStdString() << " is gone";
            EXPECT_EQ(it->second, octets) << nom.toStdString() << " changed";
        }
        for (const auto &[nom, octets] : apres)
            EXPECT_TRUE(avant.count(nom)) << nom.toStdString() << " was left behind";
    }

    QString dossier = testenv::rootDir() + QStringLiteral("/plein");
    std::unique_ptr<testenv::DisquePlein> disque;
    std::map<QString, QByteArray> avant;
};

QByteArray beaucoup(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += "line " + QByteArray::number(i) + "\r\n";
    return b;
}

} // namespace

TEST_F(DisquePleinTest, LeFichierDeTestEstVraimentPlein)
{
    // The fixture itself: a plain write to the folder fails once it is full.
    ancien(QStringLiteral("a"), "x");
    remplit();
    QFile g(f(QStringLiteral("b")));
    ASSERT_TRUE(g.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_EQ(g.write(QByteArray(8192, 'z')), -1);
    g.close();
    QFile::remove(f(QStringLiteral("b")));
    verifieIntact();
}

TEST_F(DisquePleinTest, EcritureAtomiqueSmallAndLargeWrites)
{
    ancien(QStringLiteral("petit"), "old small");
    ancien(QStringLiteral("grand"), beaucoup(2000));
    remplit();
    QString raison;
    // A few bytes are exactly what a buffered save loses in commit().
    EXPECT_FALSE(EcritFichierAtomique(f(QStringLiteral("petit")), "new", &raison));
    EXPECT_TRUE(raison.contains(QLatin1String("No space left on device"))) << raison.toStdString();
    EXPECT_FALSE(EcritFichierAtomique(f(QStringLiteral("grand")), beaucoup(200000), &raison));
    EXPECT_FALSE(EcritFichierAtomique(f(QStringLiteral("nouveau")), "n", &raison));
    verifieIntact();
}

TEST_F(DisquePleinTest, FichierCouleursEtLignesEtIniEtSetupCE)
{
    ancien(QStringLiteral("Theme coul.ini"), AnciennesCouleurs);
    ancien(QStringLiteral("lignes.inf"), "old line\r\n");
    ancien(QStringLiteral("OptionsOVD.ini"), "[Options]\r\nSons=1\r\n");
    ancien(QStringLiteral("Theme~1.000"), "MSCE old setup file");
    remplit();

    ThemeDocument doc;
    QString erreur;
    EXPECT_FALSE(SauveCouleurs(doc, f(QStringLiteral("Theme coul.ini")), true, &erreur));
    EXPECT_TRUE(erreur.contains(QLatin1String("No space left on device"))) << erreur.toStdString();

    erreur.clear();
    EXPECT_FALSE(EcritLignesCRLF(f(QStringLiteral("lignes.inf")), {QStringLiteral("new")}, &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    IniFile ini;
    ini.writeBool(QStringLiteral("Options"), QStringLiteral("Sons"), false);
    EXPECT_FALSE(ini.save(f(QStringLiteral("OptionsOVD.ini"))));
    EXPECT_FALSE(ini.errorString().isEmpty());

    erreur.clear();
    OptionsOVD options;
    FormatImages format;
    DossiersProgramme dossiers;
    EXPECT_FALSE(SauveOptions(f(QStringLiteral("OptionsOVD.ini")), options, format, dossiers, &erreur));
    EXPECT_TRUE(erreur.contains(QLatin1String("OptionsOVD.ini"))) << erreur.toStdString();

    erreur.clear();
    EXPECT_FALSE(EcritFichier000(doc, QStringLiteral("App"), QStringLiteral("Theme"), QStringLiteral("Theme"), dossier,
                                 &erreur));
    EXPECT_FALSE(erreur.isEmpty());
    verifieIntact();
}

TEST_F(DisquePleinTest, CommandesCouleurs)
{
    const QString travail = f(QStringLiteral("orvandelCoul.inf"));
    ancien(QStringLiteral("orvandelCoul.inf"), AnciennesCouleurs);
    ancien(QStringLiteral("Blue coul.ini"), AnciennesCouleurs);
    const QString autre = testenv::tempDir() + QStringLiteral("/autre coul.ini");
    testenv::writeFile(autre, "[CouleursTSK]   ; x\r\ncoul05 = 0A,0B,0C,00;  x\r\n");
    remplit();

    ThemeDocument doc;
    ScriptedPrompts prompts;
    CibleCommandesCouleurs c{doc, prompts, dossier, travail, nullptr};
    // Load: writing the working colour file fails and is reported; the document keeps its colours.
    const TColor avantCouleur = doc.slot(0).couleur;
    prompts.openFileName(autre);
    const auto r = ChargeCoulBtnClick(c);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->ok);
    EXPECT_EQ(doc.slot(0).couleur, avantCouleur);
    // Save under a chosen name.
    prompts.saveFileName(f(QStringLiteral("Blue coul.ini")));
    prompts.answer(Prompts::Answer::Yes); // replace it
    EXPECT_FALSE(SauveCoulTbtnClick(c));
    ASSERT_GE(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages.at(0).contains(QLatin1String("orvandelCoul.inf")));
    verifieIntact();
}

class LecturePaquetDisquePlein : public DisquePleinTest, public ::testing::WithParamInterface<bool>
{
};

// With no room at all, and with room for the two pictures but not the colour file.
TEST_P(LecturePaquetDisquePlein, RienNeChange)
{
    ancien(QStringLiteral("orvandelCoul.inf"), AnciennesCouleurs);
    ancien(QStringLiteral("tdywater.gif"), AncienneImage);
    ancien(QStringLiteral("stwater.gif"), AncienneImage + " start");
    auto b = SetupCeBuilder::theme("Blue.tsk");
    b.fichier(1, "tdywater.gif");
    b.fichier(2, "stwater.gif");
    b.cleBinaire(1, "5", QByteArray("\x01\x02\x03\x00", 4));
    const QString paquet = testenv::tempDir() + QStringLiteral("/Blue.tsk");
    DossierCabinet::ecrire(paquet, {{"BLUE~1.000", b.build()}, {"tdywater.001", "GIF89a new today"},
                                    {"stwater.002", "GIF89a new start"}});
    // Room for the two new pictures (a page each on a tmpfs, their bytes
    // otherwise), not for the colour file.
    remplit(GetParam() ? (disque->tmpfs() ? 2 * 4096 : 32) : 0);

    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Before"));
    ScriptedPrompts prompts;
    DossierCabinet cabinet;
    AnimationPause pause;
    // The folders as the program passes them, each ending with "/".
    const ContexteLecture ctx{dossier + QLatin1Char('/'), f(QStringLiteral("orvandelCoul.inf")),
                              testenv::tempDir() + QStringLiteral("/ThemeTmp/"), prompts, cabinet, &pause, {}};
    const ResultatLecture lu = LitTsk(paquet, doc, ctx);
    ASSERT_NE(lu.echec(), nullptr);
    EXPECT_EQ(lu.echec()->erreur, ErreurLecture::Installation);
    const QStringList textes = TextesLecture(lu);
    ASSERT_EQ(textes.size(), 1);
    EXPECT_TRUE(textes[0].contains(QLatin1String("No space left on device"))) << textes[0].toStdString();
    EXPECT_FALSE(textes[0].contains(QLatin1String("//"))) << textes[0].toStdString();
    EXPECT_EQ(doc.nomTheme(), QStringLiteral("Before"));
    verifieIntact();
}

INSTANTIATE_TEST_SUITE_P(PlacePourLesImages, LecturePaquetDisquePlein, ::testing::Bool());

TEST_F(DisquePleinTest, CommandeCreerNeVidePasLeFichierCouleurs)
{
    ancien(QStringLiteral("orvandelCoul.inf"), AnciennesCouleurs);
    ancien(QStringLiteral("tdywater.gif"), AncienneImage);
    ancien(QStringLiteral("stwater.gif"), AncienneImage);
    ancien(QStringLiteral("saved/Blue.tsk"), "MSCF the old package");
    remplit();

    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Blue"));
    ScriptedPrompts prompts;
    AnimationPause pause;
    ContextePackage ctx;
    ctx.prompts = &prompts;
    ctx.pause = &pause;
    ctx.dossierAppli = dossier;
    ctx.dossierTravail = testenv::tempDir() + QStringLiteral("/ThemeTmp");
    ctx.sauveCouleurs = [&](QString *erreur) { return SauveCouleurs(doc, f(QStringLiteral("orvandelCoul.inf")), true, erreur); };
    prompts.answer(Prompts::Answer::Yes); // replace the old package
    EXPECT_FALSE(GenereBtnClick(doc, ctx, f(QStringLiteral("saved"))));
    EXPECT_FALSE(prompts.messages.isEmpty());
    verifieIntact();
}

TEST_F(DisquePleinTest, CreerAvecUnDossierDeSauvegardePlein)
{
    // The colour file and the build on a disk with room; only the save folder is full.
    if (!disque->tmpfs())
        GTEST_SKIP() << "the move is a rename within one file system here: it needs no room";
    const QString appli = testenv::programDir();
    testenv::writeFile(appli + QStringLiteral("/tdywater.gif"), AncienneImage);
    testenv::writeFile(appli + QStringLiteral("/stwater.gif"), AncienneImage);
    ancien(QStringLiteral("Blue.tsk"), "MSCF the old package");
    remplit();

    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Blue"));
    ScriptedPrompts prompts;
    ContextePackage ctx;
    ctx.prompts = &prompts;
    ctx.dossierAppli = appli;
    ctx.dossierTravail = testenv::tempDir() + QStringLiteral("/ThemeTmp");
    prompts.answer(Prompts::Answer::Yes);
    EXPECT_FALSE(GenereBtnClick(doc, ctx, dossier + QLatin1Char('/')));
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_FALSE(prompts.messages.last().contains(QLatin1String("Unknown error"))) << prompts.messages.last().toStdString();
    EXPECT_FALSE(prompts.messages.last().contains(QLatin1String("//"))) << prompts.messages.last().toStdString();
    verifieIntact();
}

TEST_F(DisquePleinTest, ImagesEtCapturesEtRessources)
{
    ancien(QStringLiteral("tdywater.gif"), AncienneImage);
    ancien(QStringLiteral("capture.bmp"), "BM old capture");
    ancien(QStringLiteral("points.gif"), AncienneImage);
    ancien(QStringLiteral("stwater.gif"), AncienneImage + " plain");
    ancien(QStringLiteral("stwater_240_320.gif"), AncienneImage + " portrait");
    ancien(QStringLiteral("tdywater_240_320.gif"), AncienneImage + " today portrait");
    remplit();

    QImage image(24, 32, QImage::Format_ARGB32);
    image.fill(qRgb(200, 40, 10));
    for (TypeSauver type : {TypeSauver::GifOptimise, TypeSauver::Jpeg, TypeSauver::PngOptimise})
        EXPECT_NE(SauveImageFormat(image, f(QStringLiteral("tdywater.gif")), 90, type, QDateTime::currentDateTime()),
                  StatutImage::Ok);

    QString erreur;
    EXPECT_FALSE(EcritCapture(image, f(QStringLiteral("capture.bmp")), false, &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    erreur.clear();
    EXPECT_FALSE(ExtraitRessource(QStringLiteral(":/art/points.gif"), f(QStringLiteral("points.gif")), &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    // A change to format 4 copies the portrait picture over the plain one.
    ThemeDocument doc;
    ScriptedPrompts prompts;
    const auto &t = doc.format().TailleImages;
    ChangementFormat(doc, dossier, {t[0], t[1], t[2], t[3]}, 4, &prompts);
    EXPECT_EQ(prompts.messages.size(), 2) << prompts.messages.join('|').toStdString();
    verifieIntact();
}

TEST_F(DisquePleinTest, RapportCouleursAppareil)
{
    ancien(QStringLiteral("Defaut SysCouleurs.inf"), "old report");
    remplit();
    TablesCouleursCE tables;
    TableSysColor sys{};
    tables.sys = sys;
    QString erreur;
    EXPECT_FALSE(SauveRapportCouleurs(dossier, QString(), tables, LibellesCouleursDefaut(), &erreur));
    EXPECT_TRUE(erreur.contains(QLatin1String("SysCouleurs.inf"))) << erreur.toStdString();
    verifieIntact();
}

TEST_F(DisquePleinTest, ChoixImagesEnregistrer)
{
    ancien(QStringLiteral("tdywater.gif"), AncienneImage);
    QImage photo(300, 200, QImage::Format_ARGB32);
    photo.fill(qRgb(30, 140, 220));
    const QString source = testenv::tempDir() + QStringLiteral("/photo.png");
    ASSERT_TRUE(photo.save(source, "PNG"));

    ScriptedPrompts prompts;
    DossiersProgramme d;
    d.DossierAppli = dossier + QLatin1Char('/');
    d.DossierTravail = testenv::tempDir() + QLatin1Char('/');
    d.DossierImg = testenv::tempDir() + QLatin1Char('/');
    AppContext ctx(d, &prompts);
    ctx.document.setFormatTheme(2);
    prompts.openPictureName(source);
    TChoixImages w(ctx);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ImageChargee(); }, 5000));
    remplit();
    prompts.answer(Prompts::Answer::Yes); // overwrite the working picture
    auto *sauver = w.findChild<QToolButton *>(QStringLiteral("SauverTBtn"));
    ASSERT_NE(sauver, nullptr);
    QTest::mouseClick(sauver, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages.contains(QStringLiteral("Save Error !"))) << prompts.messages.join('|').toStdString();
    w.close();
    verifieIntact();
}

TEST_F(DisquePleinTest, FermerLeProgrammeSignaleLOptionsNonEcrit)
{
    fenetretest::Fenetre fen;
    fen.dossiers.DossierAppli = dossier + QLatin1Char('/');
    fen.dossiers.FichierCouleurs = f(QStringLiteral("orvandelCoul.inf"));
    ancien(QStringLiteral("orvandelCoul.inf"), AnciennesCouleurs);
    ancien(QStringLiteral("OptionsOVD.ini"), "[Options]\r\nSons=0\r\n");
    TOrvandel &w = fen.ouvre();
    remplit();
    // The working colour file cannot be written either: the user may keep
    // the program open, then closes anyway.
    fen.prompts.answer(Prompts::Answer::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(fen.prompts.questions.size(), 1);
    EXPECT_TRUE(fen.prompts.questions[0].contains(QLatin1String("orvandelCoul.inf"))) << fen.prompts.questions[0].toStdString();
    fen.prompts.answer(Prompts::Answer::Ok);
    fen.ferme();
    EXPECT_EQ(fen.prompts.questions.size(), 2);
    bool signale = false;
    for (const QString &m : fen.prompts.messages)
        signale = signale || m.contains(QLatin1String("OptionsOVD.ini"));
    EXPECT_TRUE(signale) << fen.prompts.messages.join('|').toStdString();
    verifieIntact();
}

TEST_F(DisquePleinTest, CreerAvecUnDossierDeTravailPlein)
{
    // The work folder fills up at each step of the build in turn: the setup
    // file, the setup XML, each member copy, the cabinet itself.
    const QString appli = testenv::programDir();
    testenv::writeFile(appli + QStringLiteral("/tdywater.gif"), AncienneImage);
    testenv::writeFile(appli + QStringLiteral("/stwater.gif"), AncienneImage);
    ancien(QStringLiteral("ThemeTmp/Points.gif"), "GIF89a points");
    const qint64 pas = disque->tmpfs() ? 4096 : 150;
    for (int etape = 0; etape <= 4; ++etape) {
        SCOPED_TRACE(etape);
        remplit(etape * pas);
        ThemeDocument doc;
        doc.setNomTheme(QStringLiteral("Blue"));
        ScriptedPrompts prompts;
        ContextePackage ctx;
        ctx.prompts = &prompts;
        ctx.dossierAppli = appli;
        ctx.dossierTravail = f(QStringLiteral("ThemeTmp"));
        EXPECT_FALSE(GenereBtnClick(doc, ctx, testenv::tempDir()));
        // The failure is reported once; the cabinet step may first show the
        // system's own reason ("No space left on device").
        EXPECT_GE(prompts.messages.size(), 1);
        EXPECT_LE(prompts.messages.size(), etape == 4 ? 2 : 1) << prompts.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_FALSE(QFileInfo::exists(testenv::tempDir() + QStringLiteral("/Blue.tsk")));
        // The setup document the package does not hold stays in the work folder by design.
        QFile::remove(f(QStringLiteral("ThemeTmp/_setup.xml")));
        verifieIntact();
    }
}
